// The description language: statements, one a line, "#" starts a comment.
//   output image|sectors, form 2336|2352, volume NAME, file PATH,
//   movie KEY=VALUE..., audio KEY=VALUE..., gap N, foreign N KEY=VALUE...,
//   data size=N|text=WORD
// Stream statements append to the current file (or to the bare sector run);
// statements with different lane= numbers are merged sector by sector.
#include "tools/mkdisc/description.hpp"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <sstream>

namespace mkdisc {

namespace {

constexpr int kMaxCount = 1 << 24;  // sectors, frames or bytes one statement may ask for
constexpr double kMaxFps = 60;
constexpr double kSpeedOneSectors = 75;  // sectors a second at single speed

struct Args {
  std::map<std::string, std::string> kv;
  std::vector<std::string> positional;
  std::map<std::string, bool> used;

  bool has(const std::string& k) const { return kv.count(k) != 0; }
  std::string text(const std::string& k, const std::string& fallback) {
    used[k] = true;
    auto it = kv.find(k);
    return it == kv.end() ? fallback : it->second;
  }
  long long integer(const std::string& k, long long fallback, long long lo, long long hi, const std::string& what) {
    used[k] = true;
    auto it = kv.find(k);
    if (it == kv.end()) return fallback;
    return parse_integer(it->second, lo, hi, what);
  }
  static long long parse_integer(const std::string& v, long long lo, long long hi, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(v.c_str(), &end, 0);
    if (v.empty() || *end != '\0' || errno == ERANGE) throw Error(what + " \"" + v + "\" is not a number");
    if (n < lo || n > hi)
      throw Error(what + " " + v + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return n;
  }
  bool yes_no(const std::string& k, bool fallback) {
    const std::string v = text(k, fallback ? "yes" : "no");
    if (v == "yes" || v == "1" || v == "on") return true;
    if (v == "no" || v == "0" || v == "off") return false;
    throw Error(k + " \"" + v + "\" is not yes or no");
  }
  void check_all_used(const std::string& statement) const {
    for (const auto& [k, v] : kv)
      if (!used.count(k)) throw Error("unknown key \"" + k + "\" in " + statement);
  }
};

Args parse_args(std::istringstream& in) {
  Args a;
  std::string tok;
  while (in >> tok) {
    const size_t eq = tok.find('=');
    if (eq == std::string::npos) {
      if (!a.kv.empty()) throw Error("\"" + tok + "\" must come before the key=value pairs");
      a.positional.push_back(tok);
    } else {
      const std::string k = tok.substr(0, eq);
      if (a.kv.count(k)) throw Error("key \"" + k + "\" is given twice");
      a.kv[k] = tok.substr(eq + 1);
    }
  }
  return a;
}

Pattern parse_pattern(const std::string& v) {
  if (v == "gradient") return Pattern::gradient;
  if (v == "sample") return Pattern::sample;
  if (v == "bars") return Pattern::bars;
  if (v == "flash") return Pattern::flash;
  throw Error("pattern \"" + v + "\" is not gradient, sample, bars or flash");
}

Sound parse_sound(const std::string& v) {
  if (v == "sweep") return Sound::sweep;
  if (v == "melody") return Sound::melody;
  if (v == "silence") return Sound::silence;
  throw Error("sound \"" + v + "\" is not sweep, melody or silence");
}

ColourConvention parse_colour(const std::string& v) {
  if (v == "korvane") return ColourConvention::korvane;
  if (v == "console") return ColourConvention::console;
  throw Error("colour \"" + v + "\" is not korvane or console");
}

// Frames a second, 1 to 60, fractions allowed (7.5).
double parse_fps(const std::string& v) {
  errno = 0;
  char* end = nullptr;
  const double d = std::strtod(v.c_str(), &end);
  if (v.empty() || *end != '\0' || errno == ERANGE) throw Error("fps \"" + v + "\" is not a number");
  if (!(d >= 1 && d <= kMaxFps)) throw Error("fps " + v + " is outside 1..60");
  return d;
}

double parse_sectors_per_frame(const std::string& v) {
  errno = 0;
  char* end = nullptr;
  const double d = std::strtod(v.c_str(), &end);
  if (v.empty() || *end != '\0' || errno == ERANGE) throw Error("sectors-per-frame \"" + v + "\" is not a number");
  if (!(d >= 0 && d <= 65535)) throw Error("sectors-per-frame " + v + " is outside 0..65535");
  return d;
}

int count_of(const Args& a, const std::string& statement) {
  if (a.positional.size() != 1) throw Error(statement + " needs one count");
  return static_cast<int>(Args::parse_integer(a.positional[0], 0, kMaxCount, statement + " count"));
}

// Statements of one file (or of the bare run) gathered by lane.
struct Target {
  std::string path;
  std::map<long long, SectorList> lanes;
  std::vector<Movie> movies;
  std::vector<uint8_t> plain;   // data statements
  bool has_stream = false;
};

SectorList& lane_of(Target& t, Args& a) { return t.lanes[a.integer("lane", 0, 0, 255, "lane")]; }

void add_movie(Target& t, Args& a) {
  MovieSpec s;
  s.width = static_cast<int>(a.integer("width", s.width, 1, 65535, "width"));
  s.height = static_cast<int>(a.integer("height", s.height, 1, 65535, "height"));
  s.frames = static_cast<int>(a.integer("frames", s.frames, 1, kMaxCount, "frame count"));
  s.pattern = parse_pattern(a.text("pattern", "gradient"));
  s.first_pattern_frame = static_cast<int>(a.integer("pattern-start", 0, 0, kMaxCount, "pattern-start"));
  s.encode.version = static_cast<int>(a.integer("version", 2, 2, 3, "bitstream version"));
  s.encode.scale = static_cast<int>(a.integer("scale", s.encode.scale, 1, 63, "quantisation scale"));
  s.encode.colour = parse_colour(a.text("colour", "korvane"));
  s.file_number = static_cast<int>(a.integer("file", 1, 0, 255, "file number"));
  s.channel_number = static_cast<int>(a.integer("channel", 1, 0, 255, "channel number"));
  s.video_submode = static_cast<uint8_t>(a.integer("submode", kVideoSubmode, 0, 255, "submode"));
  s.first_frame_number = static_cast<int>(a.integer("first-frame", 1, 0, 0x7FFFFFFF, "first-frame"));
  s.disc_speed = static_cast<int>(a.integer("speed", 2, 1, 2, "disc speed"));
  if (a.has("sectors-per-frame") && a.has("fps")) throw Error("give sectors-per-frame or fps, not both");
  if (a.has("sectors-per-frame")) s.sectors_per_frame = parse_sectors_per_frame(a.text("sectors-per-frame", "0"));
  if (a.has("fps")) s.sectors_per_frame = kSpeedOneSectors * s.disc_speed / parse_fps(a.text("fps", "15"));
  a.used["sectors-per-frame"] = true;
  a.used["fps"] = true;
  const std::string audio = a.text("audio", "none");
  if (audio != "none") {
    s.audio = true;
    s.audio_format.rate = static_cast<int>(Args::parse_integer(audio, 18900, 37800, "audio rate"));
    s.audio_format.stereo = a.yes_no("stereo", true);
    s.audio_format.bits = static_cast<int>(a.integer("audio-bits", 4, 4, 8, "audio sample width"));
    s.audio_channel = static_cast<int>(a.integer("audio-channel", -1, 0, 255, "audio channel number"));
    s.interleave = static_cast<int>(a.integer("interleave", 0, 2, 1024, "interleave"));
    s.audio_slot = static_cast<int>(a.integer("audio-slot", -1, 0, 1023, "audio slot"));
    s.sound = parse_sound(a.text("sound", "sweep"));
  }
  SectorList& lane = lane_of(t, a);
  a.check_all_used("movie");
  Movie m = build_movie(s);
  append(lane, m.sectors);
  t.movies.push_back(std::move(m));
  t.has_stream = true;
}

void add_audio(Target& t, Args& a) {
  AudioFormat f;
  f.rate = static_cast<int>(a.integer("rate", 37800, 18900, 37800, "audio rate"));
  f.stereo = a.yes_no("stereo", true);
  f.bits = static_cast<int>(a.integer("bits", 4, 4, 8, "audio sample width"));
  check_audio_format(f);
  const int file = static_cast<int>(a.integer("file", 1, 0, 255, "file number"));
  const int channel = static_cast<int>(a.integer("channel", 1, 0, 255, "channel number"));
  const int sectors = static_cast<int>(a.integer("sectors", 8, 1, kMaxCount, "audio sector count"));
  const Sound sound = parse_sound(a.text("sound", "sweep"));
  const int interleave = static_cast<int>(a.integer("interleave", 1, 1, 1024, "interleave"));
  SectorList& lane = lane_of(t, a);
  a.check_all_used("audio");
  const size_t frames = static_cast<size_t>(sectors) * samples_per_sector(f);
  const SectorList audio = encode_xa_audio(make_pcm(sound, f.rate, f.stereo, frames), f, file, channel);
  // One audio sector, then interleave - 1 empty sectors.
  for (const Sector& s : audio) {
    lane.push_back(s);
    if (&s != &audio.back()) append(lane, gap_sectors(interleave - 1));
  }
  t.has_stream = true;
}

std::vector<uint8_t> plain_bytes(Args& a) {
  if (a.has("text")) return std::vector<uint8_t>(a.kv["text"].begin(), a.kv["text"].end());
  const int size = static_cast<int>(a.integer("size", 0, 0, kMaxCount, "data size"));
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  uint32_t x = static_cast<uint32_t>(a.integer("seed", 1, 0, 0xFFFFFFFF, "seed"));
  for (uint8_t& b : bytes) {  // a fixed linear congruential sequence
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return bytes;
}

SectorList sectors_of(Target& t) {
  std::vector<SectorList> lanes;
  for (auto& [n, s] : t.lanes) lanes.push_back(std::move(s));
  SectorList out = merge_round_robin(lanes);
  append(out, data_sectors(t.plain));
  return out;
}

}  // namespace

BuiltDisc build_from_description(const std::string& text) {
  BuiltDisc disc;
  std::string volume = "MKDISC";
  std::vector<Target> targets;
  Target bare;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  bool started = false;
  try {
    while (std::getline(lines, line)) {
      ++number;
      if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
      std::istringstream in(line);
      std::string word;
      if (!(in >> word)) continue;
      Args a = parse_args(in);
      Target* cur = targets.empty() ? &bare : &targets.back();
      if (word == "output" || word == "form" || word == "volume") {
        if (started) throw Error("\"" + word + "\" must come before the first file or stream");
        if (a.positional.size() != 1 || !a.kv.empty()) throw Error(word + " needs one value");
        const std::string& v = a.positional[0];
        if (word == "output") {
          if (v != "image" && v != "sectors") throw Error("output \"" + v + "\" is not image or sectors");
          disc.is_image = v == "image";
        } else if (word == "form") {
          if (v != "2336" && v != "2352") throw Error("form \"" + v + "\" is not 2336 or 2352");
          disc.form = v == "2352" ? SectorForm::raw2352 : SectorForm::form2336;
        } else {
          volume = v;
        }
        continue;
      }
      started = true;
      if (word == "file") {
        if (!disc.is_image) throw Error("\"file\" needs output image");
        if (a.positional.size() != 1 || !a.kv.empty()) throw Error("file needs one path");
        targets.push_back(Target{});
        targets.back().path = a.positional[0];
        continue;
      }
      if (disc.is_image && targets.empty()) throw Error("\"" + word + "\" must follow a file statement");
      if (word == "movie") {
        if (!a.positional.empty()) throw Error("movie takes only key=value pairs");
        add_movie(*cur, a);
      } else if (word == "audio") {
        if (!a.positional.empty()) throw Error("audio takes only key=value pairs");
        add_audio(*cur, a);
      } else if (word == "gap") {
        const int n = count_of(a, "gap");
        append(lane_of(*cur, a), gap_sectors(n));
        a.check_all_used("gap");
        cur->has_stream = true;
      } else if (word == "foreign") {
        const int n = count_of(a, "foreign");
        const int file = static_cast<int>(a.integer("file", 0, 0, 255, "file number"));
        const int channel = static_cast<int>(a.integer("channel", 0, 0, 255, "channel number"));
        const int submode = static_cast<int>(a.integer("submode", kDataSubmode, 0, 255, "submode"));
        const int coding = static_cast<int>(a.integer("coding", 0, 0, 255, "coding"));
        append(lane_of(*cur, a), foreign_sectors(n, file, channel, static_cast<uint8_t>(submode),
                                                 static_cast<uint8_t>(coding)));
        a.check_all_used("foreign");
        cur->has_stream = true;
      } else if (word == "data") {
        const std::vector<uint8_t> bytes = plain_bytes(a);
        a.used["text"] = true;
        a.check_all_used("data");
        cur->plain.insert(cur->plain.end(), bytes.begin(), bytes.end());
      } else {
        throw Error("unknown statement \"" + word + "\"");
      }
    }
    number = 0;
    if (disc.is_image) {
      std::vector<IsoFile> files;
      for (Target& t : targets) {
        IsoFile f;
        f.path = t.path;
        const size_t plain_size = t.plain.size();
        f.sectors = sectors_of(t);
        if (!t.has_stream) f.data_length = static_cast<uint32_t>(plain_size);
        files.push_back(std::move(f));
      }
      IsoImage img = build_iso_image(volume, files);
      disc.sectors = std::move(img.sectors);
      for (size_t i = 0; i < targets.size(); ++i) {
        BuiltFile bf;
        bf.path = files[i].path;
        bf.extent = img.files.at(normalise_iso_path(bf.path));
        bf.movies = std::move(targets[i].movies);
        disc.files.push_back(std::move(bf));
      }
    } else {
      disc.sectors = sectors_of(bare);
      BuiltFile bf;
      bf.extent = {0, static_cast<uint32_t>(disc.sectors.size()), static_cast<uint32_t>(disc.sectors.size() * 2048)};
      bf.movies = std::move(bare.movies);
      disc.files.push_back(std::move(bf));
    }
  } catch (const Error& e) {
    if (number > 0) throw Error("line " + std::to_string(number) + ": " + e.what());
    throw;
  }
  return disc;
}

}  // namespace mkdisc
