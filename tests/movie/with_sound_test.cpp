// -with-sound end to end: the movie's AVI with its XA sound as a second
// stream, as ffprobe and ffmpeg read it; its pictures against the plain
// -avi conversion, its samples against the -audio WAV; the sound placed as
// the disc delivers it (flashes and clicks at the same disc moments); the
// scans; and the rate velmora sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// The chunks of one stream ("00db" or "01wb") of an AVI, walked through
// every RIFF's "movi" list; standard index chunks are stepped over.
std::vector<std::string> stream_chunks(const std::string& avi, const char* id) {
  std::vector<std::string> out;
  size_t at = 12;
  while (at + 8 <= avi.size()) {
    const std::string fourcc = avi.substr(at, 4);
    const uint32_t size = get_le32(bytes(avi) + at + 4);
    if (fourcc == "RIFF") {
      at += 12;
    } else if (fourcc == "LIST" && avi.compare(at + 8, 4, "movi") == 0) {
      at += 12;
    } else {
      if (fourcc == id) out.push_back(avi.substr(at + 8, size));
      at += 8 + size + (size & 1);
    }
  }
  return out;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string s;
  for (const std::string& p : parts) s += p;
  return s;
}

std::string korvane_avi(const std::string& input, const std::string& output, bool with_sound) {
  std::vector<std::string> argv = {KORVANE_EXE, "-no-cdrom"};
  if (with_sound) argv.push_back("-with-sound");
  argv.push_back(input);
  argv.push_back(output);
  const ProcessResult r = run_process(argv);
  EXPECT_EQ(r.status, 0) << r.out;
  return read_file(output);
}

struct Tools {
  std::string ffmpeg = find_on_path("ffmpeg");
  std::string ffprobe = find_on_path("ffprobe");
  bool present() const { return !ffmpeg.empty() && !ffprobe.empty(); }
};

std::string probe(const Tools& t, const std::string& file, const std::string& stream,
                  const std::string& entries) {
  const ProcessResult r = run_process({t.ffprobe, "-v", "error", "-select_streams", stream, "-count_frames",
                                       "-show_entries", entries, "-of", "default=noprint_wrappers=1", file});
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

std::vector<double> packet_times(const Tools& t, const std::string& file, const std::string& stream) {
  const ProcessResult r = run_process({t.ffprobe, "-v", "error", "-select_streams", stream, "-show_entries",
                                       "packet=pts_time", "-of", "csv=p=0", file});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<double> times;
  size_t at = 0;
  while (at < r.out.size()) {
    const size_t end = r.out.find('\n', at);
    const std::string line = r.out.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (!line.empty()) times.push_back(std::strtod(line.c_str(), nullptr));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return times;
}

std::string decode(const Tools& t, const std::string& file, const std::vector<std::string>& output) {
  std::vector<std::string> argv = {t.ffmpeg, "-v", "error", "-i", file};
  argv.insert(argv.end(), output.begin(), output.end());
  argv.push_back("-");
  const ProcessResult r = run_process(argv);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

mkdisc::MovieSpec movie_spec(int frames, double sectors_per_frame, int rate, bool stereo) {
  mkdisc::MovieSpec s;
  s.width = 64;
  s.height = 48;
  s.frames = frames;
  s.sectors_per_frame = sectors_per_frame;
  s.audio = true;
  s.audio_format.rate = rate;
  s.audio_format.stereo = stereo;
  return s;
}

TEST(WithSound, BothStreamsAreThoseOfTheirOwnConversions) {
  const Tools tools;
  TempDir dir;
  const mkdisc::Movie m = mkdisc::build_movie(movie_spec(30, 10, 37800, true));
  mkdisc::write_sector_file(dir.file("m.str"), m.sectors, mkdisc::SectorForm::form2336);
  const std::string plain = korvane_avi(dir.file("m.str"), dir.file("plain.avi"), false);
  const std::string with = korvane_avi(dir.file("m.str"), dir.file("with.avi"), true);
  const ProcessResult audio = run_process({KORVANE_EXE, "-no-cdrom", "-audio", dir.file("m.str"), dir.file("m.wav")});
  ASSERT_EQ(audio.status, 0) << audio.out;
  const std::string wav = read_file(dir.file("m.wav"));

  // The pictures are those of -avi, the samples those of -audio (the
  // sound here comes before the first frame: no silence is put in front).
  EXPECT_EQ(stream_chunks(with, "00db"), stream_chunks(plain, "00db"));
  const std::vector<std::string> sound = stream_chunks(with, "01wb");
  ASSERT_FALSE(sound.empty());
  EXPECT_EQ(joined(sound), wav.substr(44));
  // Interleaved: no two picture chunks in a row once the sound has begun,
  // so a player never looks far for either.
  EXPECT_GT(sound.size(), size_t(20));

  if (!tools.present()) GTEST_SKIP() << "ffmpeg/ffprobe not installed: outside checks skipped";
  const std::string v = probe(tools, dir.file("with.avi"), "v:0", "stream=codec_name,r_frame_rate,nb_frames,nb_read_frames,duration");
  EXPECT_NE(v.find("codec_name=rawvideo\n"), std::string::npos) << v;
  EXPECT_NE(v.find("r_frame_rate=15/1\n"), std::string::npos) << v;
  EXPECT_NE(v.find("nb_frames=30\n"), std::string::npos) << v;
  EXPECT_NE(v.find("nb_read_frames=30\n"), std::string::npos) << v;
  EXPECT_NE(v.find("duration=2.000000\n"), std::string::npos) << v;
  const std::string a = probe(tools, dir.file("with.avi"), "a:0", "stream=codec_name,sample_rate,channels,nb_frames");
  const size_t samples = (wav.size() - 44) / 4;
  EXPECT_NE(a.find("codec_name=pcm_s16le\n"), std::string::npos) << a;
  EXPECT_NE(a.find("sample_rate=37800\n"), std::string::npos) << a;
  EXPECT_NE(a.find("channels=2\n"), std::string::npos) << a;
  EXPECT_NE(a.find("nb_frames=" + std::to_string(samples) + "\n"), std::string::npos) << a;
  // Decoded without a word of warning, every sample and every frame.
  const ProcessResult null_run = run_process({tools.ffmpeg, "-v", "warning", "-i", dir.file("with.avi"), "-f", "null", "-"});
  EXPECT_EQ(null_run.status, 0);
  EXPECT_EQ(null_run.err, "");
  EXPECT_EQ(decode(tools, dir.file("with.avi"), {"-map", "0:a", "-f", "s16le"}), wav.substr(44));
  EXPECT_EQ(decode(tools, dir.file("with.avi"), {"-map", "0:v", "-f", "rawvideo"}).size(), joined(stream_chunks(plain, "00db")).size());
}

TEST(WithSound, EightBitSoundIsTheSoundOfAudio) {
  TempDir dir;
  mkdisc::MovieSpec plan = movie_spec(12, 10, 37800, true);
  plan.audio_format.bits = 8;
  const mkdisc::Movie m = mkdisc::build_movie(plan);
  mkdisc::write_sector_file(dir.file("m.str"), m.sectors, mkdisc::SectorForm::form2336);
  const std::string with = korvane_avi(dir.file("m.str"), dir.file("with.avi"), true);
  const ProcessResult audio = run_process({KORVANE_EXE, "-no-cdrom", "-audio", dir.file("m.str"), dir.file("m.wav")});
  ASSERT_EQ(audio.status, 0) << audio.out;
  const std::vector<std::string> sound = stream_chunks(with, "01wb");
  ASSERT_FALSE(sound.empty());
  EXPECT_EQ(joined(sound), read_file(dir.file("m.wav")).substr(44));
}

TEST(WithSound, WithoutTheOptionTheAviIsUnchanged) {
  TempDir dir;
  const mkdisc::Movie m = mkdisc::build_movie(movie_spec(6, 10, 37800, true));
  mkdisc::write_sector_file(dir.file("m.str"), m.sectors, mkdisc::SectorForm::form2336);
  const std::string plain = korvane_avi(dir.file("m.str"), dir.file("plain.avi"), false);
  // One stream, the 2048-byte header with its filler, then the frames.
  EXPECT_EQ(get_le32(bytes(plain) + 56), 1u);
  EXPECT_EQ(plain.substr(220, 4), "JUNK");
  EXPECT_EQ(stream_chunks(plain, "01wb").size(), 0u);
  EXPECT_EQ(plain.size(), 2048u + 6 * (8 + 64 * 48 * 3) + 8 + 6 * 16);
}

// The scans put the audio they link to each movie into its AVI, and still
// write that audio's WAV.
TEST(WithSound, ScansPutTheLinkedAudioIntoTheAvi) {
  TempDir dir;
  const mkdisc::Movie m = mkdisc::build_movie(movie_spec(12, 10, 18900, false));
  mkdisc::SectorList sectors = mkdisc::gap_sectors(5);
  mkdisc::append(sectors, m.sectors);
  mkdisc::write_sector_file(dir.file("m.str"), sectors, mkdisc::SectorForm::form2336);
  const ProcessResult r =
      run_process({KORVANE_EXE, "-no-cdrom", "-all", "-with-sound", dir.file("m.str"), dir.file("out")});
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string avi = read_file(dir.file("out0000.avi"));
  const std::string wav = read_file(dir.file("out0000.wav"));
  ASSERT_GT(wav.size(), 44u);
  const std::string sound = joined(stream_chunks(avi, "01wb"));
  ASSERT_GE(sound.size(), wav.size() - 44);
  // Any silence in front places the sound; the rest is the WAV's samples.
  const size_t lead = sound.size() - (wav.size() - 44);
  EXPECT_EQ(sound.substr(lead), wav.substr(44));
  EXPECT_EQ(sound.substr(0, lead), std::string(lead, '\0'));
  EXPECT_EQ(stream_chunks(avi, "00db").size(), 12u);
}

// Sound that comes well before the first frame makes the picture stream
// start late; velmora, setting another rate, keeps that start in seconds
// and leaves the sound stream alone.
TEST(WithSound, LeadingSoundDelaysThePicturesAndVelmoraKeepsItSo) {
  TempDir dir;
  mkdisc::MovieSpec plan = movie_spec(10, 20, 18900, false);  // 7.5 frames a second, one sound sector in 32
  plan.audio_slot = 0;                                       // the sound's first sector opens the movie
  const mkdisc::Movie m = mkdisc::build_movie(plan);
  mkdisc::write_sector_file(dir.file("m.str"), m.sectors, mkdisc::SectorForm::form2336);
  const std::string avi = korvane_avi(dir.file("m.str"), dir.file("m.avi"), true);
  // The first frame's last video sector is 19 sectors after the sound's
  // first: 19 / 150 s, 0.95 frames at 7.5 frames a second: one frame.
  EXPECT_EQ(get_le32(bytes(avi) + 128), 2u);
  EXPECT_EQ(get_le32(bytes(avi) + 132), 15u);
  EXPECT_EQ(get_le32(bytes(avi) + 136), 1u);
  const ProcessResult v = run_process({VELMORA_EXE, dir.file("m.avi"), "30"});
  ASSERT_EQ(v.status, 0) << v.out;
  const std::string patched = read_file(dir.file("m.avi"));
  EXPECT_EQ(get_le32(bytes(patched) + 128), 1u);
  EXPECT_EQ(get_le32(bytes(patched) + 132), 30u);
  EXPECT_EQ(get_le32(bytes(patched) + 136), 4u);  // 1 frame at 7.5 is 4 at 30
  EXPECT_EQ(patched.substr(220), avi.substr(220));  // the sound stream's header and all after it
}

// The disc positions of a movie's sectors: the last video sector of each
// frame, and every audio sector.
struct Positions {
  std::vector<uint32_t> frame_last;
  std::vector<uint32_t> audio;
};

Positions positions_of(const mkdisc::SectorList& sectors) {
  Positions p;
  for (uint32_t i = 0; i < sectors.size(); ++i) {
    const uint8_t* s = sectors[i].data();
    if (is_audio_sector(s)) {
      p.audio.push_back(i);
    } else if (is_video_sector(s)) {
      const uint32_t frame = get_le32(s + kSubheaderBytes + 8);  // 1 for the first
      if (p.frame_last.size() < frame) p.frame_last.resize(frame);
      p.frame_last[frame - 1] = i;
    }
  }
  return p;
}

struct SyncCase {
  int fps;
  int rate;
  bool stereo;
  bool sound_leads;  // the first audio sector comes before the first video sector
};

std::string sync_name(const SyncCase& c) {
  return std::to_string(c.fps) + "fps_" + std::to_string(c.rate) + (c.stereo ? "_stereo" : "_mono") +
         (c.sound_leads ? "_sound_leads" : "_sound_trails");
}

void PrintTo(const SyncCase& c, std::ostream* os) { *os << sync_name(c); }

class SoundSync : public testing::TestWithParam<SyncCase> {};

constexpr int kSyncFrames = 36;           // flashes at frames 5, 15 and 25
constexpr int kClickSamples = 40;
constexpr int16_t kClickLevel = 24000;
constexpr int kLoud = 8000;               // a decoded sample this loud belongs to a click

// The sync rule, shown: frames flash white at known frames, the sound
// clicks at the disc moment each of those frames shows (when its last video
// sector has been read; the sound plays from the moment its sectors are
// read), and in ffmpeg's decoding of the AVI every click lies within one
// frame of its flash.
TEST_P(SoundSync, EveryClickLiesWithinAFrameOfItsFlash) {
  const SyncCase& c = GetParam();
  const Tools tools;
  if (!tools.present()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
  mkdisc::MovieSpec plan = movie_spec(kSyncFrames, 150.0 / c.fps, c.rate, c.stereo);
  plan.pattern = mkdisc::Pattern::flash;
  plan.audio_slot = c.sound_leads ? 0 : -1;
  plan.sound = mkdisc::Sound::silence;
  const Positions layout = positions_of(mkdisc::build_movie(plan).sectors);
  ASSERT_EQ(layout.frame_last.size(), size_t(kSyncFrames));
  ASSERT_FALSE(layout.audio.empty());
  ASSERT_EQ(layout.audio.front() == 0, c.sound_leads);  // sector 0 is video unless the sound leads

  // Sample frame n of the sound plays (n / rate) seconds after the first
  // audio sector is read; a frame shows (last - first audio) / 150 seconds
  // after it.
  const int channels = c.stereo ? 2 : 1;
  std::vector<int16_t> pcm(static_cast<size_t>(layout.audio.size()) * mkdisc::samples_per_sector(plan.audio_format) * channels);
  std::vector<int> flashes;  // the flashing frames that show after the sound has begun
  for (int f = 0; f < kSyncFrames; ++f) {
    const int64_t delta = int64_t(layout.frame_last[f]) - layout.audio.front();
    if (!mkdisc::is_flash_frame(f) || delta <= 0) continue;
    flashes.push_back(f);
    const size_t at = static_cast<size_t>(delta * c.rate / 150);
    for (int i = 0; i < kClickSamples; ++i)
      for (int ch = 0; ch < channels; ++ch)
        pcm[(at + i) * channels + ch] = (i & 8) ? -kClickLevel : kClickLevel;
  }
  plan.pcm = pcm;
  const mkdisc::Movie m = mkdisc::build_movie(plan);

  TempDir dir;
  mkdisc::write_sector_file(dir.file("m.str"), m.sectors, mkdisc::SectorForm::form2336);
  korvane_avi(dir.file("m.str"), dir.file("m.avi"), true);

  // The flashes: the frames ffmpeg decodes bright, at their time stamps.
  const std::vector<double> frame_times = packet_times(tools, dir.file("m.avi"), "v:0");
  const std::string gray =
      decode(tools, dir.file("m.avi"), {"-map", "0:v", "-vsync", "0", "-f", "rawvideo", "-pix_fmt", "gray"});
  const size_t frame_bytes = 64 * 48;
  ASSERT_EQ(gray.size(), frame_bytes * kSyncFrames);
  ASSERT_EQ(frame_times.size(), size_t(kSyncFrames));
  for (int f = 0; f < kSyncFrames; ++f) {
    const bool bright = static_cast<uint8_t>(gray[f * frame_bytes + frame_bytes / 2]) > 128;
    EXPECT_EQ(bright, mkdisc::is_flash_frame(f)) << "frame " << f;
  }

  // The clicks: where ffmpeg's decoded sound first turns loud after quiet.
  const std::vector<double> sound_times = packet_times(tools, dir.file("m.avi"), "a:0");
  ASSERT_FALSE(sound_times.empty());
  const std::string sound = decode(tools, dir.file("m.avi"), {"-map", "0:a", "-f", "s16le", "-ac", "1"});
  std::vector<double> click_times;
  const size_t count = sound.size() / 2;
  size_t quiet_until = 0;
  for (size_t i = 0; i < count; ++i) {
    const int16_t v = static_cast<int16_t>(get_le16(bytes(sound) + 2 * i));
    if (std::abs(v) < kLoud || i < quiet_until) continue;
    click_times.push_back(sound_times.front() + double(i) / c.rate);
    quiet_until = i + c.rate / 10;  // one click is over within a tenth of a second
  }

  ASSERT_FALSE(flashes.empty());
  ASSERT_EQ(click_times.size(), flashes.size());
  for (size_t k = 0; k < flashes.size(); ++k) {
    const double flash_time = frame_times[static_cast<size_t>(flashes[k])];
    EXPECT_LE(std::fabs(click_times[k] - flash_time), 1.0 / c.fps)
        << "flash of frame " << flashes[k] << " at " << flash_time << " s, click at " << click_times[k] << " s";
  }
}

std::vector<SyncCase> sync_cases() {
  std::vector<SyncCase> cases;
  for (int fps : {15, 30})
    for (int rate : {37800, 18900})
      for (bool stereo : {true, false})
        for (bool leads : {true, false}) cases.push_back({fps, rate, stereo, leads});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Movies, SoundSync, testing::ValuesIn(sync_cases()),
                         [](const testing::TestParamInfo<SyncCase>& param_info) { return sync_name(param_info.param); });

}  // namespace
