// mkdisc: builds test discs, sector files and the sample disc from a
// description (see tools/README.md). A thin command over mkdisc_lib.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/mkdisc/cue_disc.hpp"
#include "tools/mkdisc/description.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/sample_description.hpp"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: mkdisc build DESCRIPTION OUTPUT [--dump DIR] [--split]\n"
    "       mkdisc sample OUTPUT_DIR\n"
    "Builds a disc image or sector file from a description; --dump also writes\n"
    "the source frames (PPM) and PCM (16-bit little-endian) of every movie.\n"
    "An OUTPUT ending in .cue is a CUE sheet: raw data in track 1 and a CD audio\n"
    "track after it, in one BIN file, or with --split one BIN per track.\n"
    "`sample` builds the README's sample disc as OUTPUT_DIR/SAMPLE.IMG.\n";

constexpr int kCdAudioRate = 44100;
constexpr int kCdAudioSeconds = 4;

void write_bytes(const std::string& path, const void* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw mkdisc::Error("cannot create \"" + path + "\"");
  const bool ok = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !ok) throw mkdisc::Error("cannot write \"" + path + "\"");
}

void dump_sources(const mkdisc::BuiltDisc& disc, const std::string& dir) {
  int movie_number = 0;
  for (const mkdisc::BuiltFile& file : disc.files)
    for (const mkdisc::Movie& m : file.movies) {
      ++movie_number;
      for (size_t i = 0; i < m.frames.size(); ++i) {
        const mkdisc::RgbFrame& f = m.frames[i];
        char name[64];
        std::snprintf(name, sizeof name, "/movie%d_frame%04zu.ppm", movie_number, i + 1);
        std::string bytes = "P6\n" + std::to_string(f.width) + " " + std::to_string(f.height) + "\n255\n";
        bytes.append(f.rgb.begin(), f.rgb.end());
        write_bytes(dir + name, bytes.data(), bytes.size());
      }
      if (!m.pcm.empty()) {
        std::string bytes;
        for (int16_t s : m.pcm) {
          bytes.push_back(static_cast<char>(s & 0xFF));
          bytes.push_back(static_cast<char>((s >> 8) & 0xFF));
        }
        write_bytes(dir + "/movie" + std::to_string(movie_number) + ".pcm", bytes.data(), bytes.size());
      }
    }
}

void report(const mkdisc::BuiltDisc& disc, const std::string& out) {
  std::printf("%s: %zu sectors (%s form, %s)\n", out.c_str(), disc.sectors.size(),
              disc.form == mkdisc::SectorForm::raw2352 ? "2352-byte" : "2336-byte",
              disc.is_image ? "ISO 9660 image" : "bare sectors");
  for (const mkdisc::BuiltFile& f : disc.files) {
    std::printf("file %s sector %u count %u length %u\n", f.path.empty() ? "-" : f.path.c_str(),
                f.extent.first_sector, f.extent.sector_count, f.extent.data_length);
    for (const mkdisc::Movie& m : f.movies)
      std::printf("  movie %dx%d frames %zu audio-sectors %d\n", m.frames.empty() ? 0 : m.frames[0].width,
                  m.frames.empty() ? 0 : m.frames[0].height, m.frames.size(), m.audio_sectors);
  }
}

bool is_cue_name(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".cue") == 0;
}

int build(const std::string& text, const std::string& out, const std::string& dump, bool split) {
  const mkdisc::BuiltDisc disc = mkdisc::build_from_description(text);
  if (is_cue_name(out)) {
    const std::vector<int16_t> music =
        mkdisc::make_pcm(mkdisc::Sound::melody, kCdAudioRate, true, kCdAudioRate * kCdAudioSeconds);
    mkdisc::write_cue_disc(out, disc.sectors, music,
                           split ? mkdisc::CueFiles::bin_per_track : mkdisc::CueFiles::one_bin);
  } else {
    mkdisc::write_sector_file(out, disc.sectors, disc.form);
  }
  if (!dump.empty()) dump_sources(disc, dump);
  report(disc, out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc >= 4) {
      std::string dump;
      bool split = false;
      bool usable = true;
      for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--dump" && i + 1 < argc)
          dump = argv[++i];
        else if (option == "--split")
          split = true;
        else
          usable = false;
      }
      if (usable) {
        std::ifstream in(argv[2], std::ios::binary);
        if (!in) throw mkdisc::Error(std::string("cannot read \"") + argv[2] + "\"");
        std::ostringstream text;
        text << in.rdbuf();
        return build(text.str(), argv[3], dump, split);
      }
    }
    if (command == "sample" && argc == 3) {
      std::error_code ec;
      std::filesystem::create_directories(argv[2], ec);
      if (ec) throw mkdisc::Error(std::string("cannot create the directory \"") + argv[2] + "\"");
      return build(mkdisc::kSampleDescription, std::string(argv[2]) + "/SAMPLE.IMG", "", false);
    }
    std::fputs(kUsage, stderr);
    return kExitUsage;
  } catch (const mkdisc::Error& e) {
    std::fprintf(stderr, "mkdisc: %s\n", e.what());
    return kExitError;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "mkdisc: out of memory\n");
    return kExitError;
  }
}
