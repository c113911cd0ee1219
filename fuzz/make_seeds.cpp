// Writes the seed corpora of the fuzz targets: frames, movies, XA audio and
// a disc image from the synthesiser, the default korvane.ini, a FILE.INF
// record as analysis writes it, an AVI header as korvane writes it, a few
// command lines and a drive's answers. Usage: make_fuzz_seeds OUTPUT_DIR;
// each target's seeds land in OUTPUT_DIR/<target>/.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/default_settings_text.hpp"
#include "format/aspi/aspi_block.hpp"
#include "format/aspi/aspi_cdb.hpp"
#include "format/disc/iso9660_walk.hpp"
#include "format/disc/xa_sector.hpp"
#include "format/riff/avi_layout.hpp"
#include "io/catalogue_record.hpp"
#include "platform/text_file.hpp"
#include "tests/support/chd_writer.hpp"
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/mdec_encoder.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

fs::path output_root;

void write_seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  const fs::path dir = output_root / target;
  fs::create_directories(dir);
  FILE* file = std::fopen((dir / name).c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    std::fprintf(stderr, "make_fuzz_seeds: cannot write %s\n", (dir / name).c_str());
    std::exit(1);
  }
  std::fclose(file);
}

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
void append_text(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

// MDEC targets: picture size byte, routine/placement byte, frame bitstream.
void frame_seeds() {
  struct FrameCase {
    int width, height, version, scale;
    mkdisc::Pattern pattern;
  };
  const FrameCase cases[] = {
      {16, 16, 2, 8, mkdisc::Pattern::gradient}, {32, 32, 2, 1, mkdisc::Pattern::bars},
      {48, 32, 3, 8, mkdisc::Pattern::sample},   {64, 48, 3, 63, mkdisc::Pattern::bars},
  };
  int n = 0;
  for (const FrameCase& c : cases) {
    mkdisc::EncodeOptions options;
    options.version = c.version;
    options.scale = c.scale;
    const Bytes frame = mkdisc::encode_frame(mkdisc::test_pattern(c.width, c.height, 0, c.pattern), options);
    const uint8_t size_byte = static_cast<uint8_t>((c.width / 16 - 1) | ((c.height / 16 - 1) << 4));
    for (uint8_t flags = 0; flags < 8; flags += 3) {
      Bytes seed{size_byte, flags};
      append(seed, frame);
      const std::string name = "frame" + std::to_string(n++);
      write_seed("mdec_convert_fuzz", name, seed);
      write_seed("mdec_viewer_fuzz", name, seed);
    }
  }
}

// Frame assembly: placement byte, then movies as sector files.
void movie_seeds() {
  mkdisc::MovieSpec plain;
  plain.width = 32;
  plain.height = 32;
  plain.frames = 2;
  mkdisc::MovieSpec v3 = plain;
  v3.encode.version = 3;
  v3.width = 48;
  v3.height = 16;
  mkdisc::MovieSpec with_audio = plain;
  with_audio.audio = true;
  with_audio.sectors_per_frame = 10;
  const mkdisc::MovieSpec movie_specs[] = {plain, v3, with_audio};
  int n = 0;
  for (const mkdisc::MovieSpec& movie_spec : movie_specs) {
    const mkdisc::Movie movie = mkdisc::build_movie(movie_spec);
    Bytes seed{0};
    append(seed, mkdisc::sector_bytes(movie.sectors, mkdisc::SectorForm::form2336));
    write_seed("frame_assembly_fuzz", "movie" + std::to_string(n), seed);
    Bytes raw{1};
    append(raw, mkdisc::sector_bytes(movie.sectors, mkdisc::SectorForm::raw2352));
    write_seed("frame_assembly_fuzz", "raw_movie" + std::to_string(n), raw);
    ++n;
  }
}

// ADPCM: stereo byte, then the sound data of two audio sectors.
void audio_seeds() {
  int n = 0;
  for (const bool stereo : {false, true}) {
    mkdisc::AudioFormat format;
    format.stereo = stereo;
    const size_t frames = static_cast<size_t>(mkdisc::samples_per_sector(format)) * 2;
    const auto pcm = mkdisc::make_pcm(mkdisc::Sound::melody, format.rate, stereo, frames);
    const mkdisc::SectorList sectors = mkdisc::encode_xa_audio(pcm, format, 1, 1);
    Bytes seed{static_cast<uint8_t>(stereo ? 1 : 0)};
    for (const mkdisc::Sector& sector : sectors)
      seed.insert(seed.end(), sector.begin() + kSubheaderBytes,
                  sector.begin() + kSubheaderBytes + mkdisc::kSoundGroups * mkdisc::kSoundGroupBytes);
    write_seed("adpcm_fuzz", "audio" + std::to_string(n++), seed);
  }
}

// ISO lookup: name, zero, then a small image in either form.
void image_seeds() {
  const std::vector<mkdisc::IsoFile> files = {
      mkdisc::plain_file("MOVIE/A.STR", Bytes(100, 'a')),
      mkdisc::plain_file("README.TXT", Bytes(10, 'r')),
  };
  const mkdisc::IsoImage image = mkdisc::build_iso_image("FUZZ", files);
  int n = 0;
  for (const char* name : {"MOVIE\\A.STR", "README.TXT", "MOVIE\\B.STR"}) {
    for (const auto form : {mkdisc::SectorForm::form2336, mkdisc::SectorForm::raw2352}) {
      Bytes seed;
      append_text(seed, name);
      seed.push_back(0);
      append(seed, mkdisc::sector_bytes(image.sectors, form));
      write_seed("iso_lookup_fuzz", "image" + std::to_string(n++), seed);
    }
  }
}

// CHD files of a small image (plain map and compressed map), and CUE sheets
// as rippers write them behind two bytes of file size.
void container_seeds() {
  const mkdisc::IsoImage image =
      mkdisc::build_iso_image("FUZZ", {mkdisc::plain_file("MOVIE/A.STR", Bytes(100, 'a'))});
  const Bytes raw = mkdisc::sector_bytes(image.sectors, mkdisc::SectorForm::raw2352);
  write_seed("chd_image_fuzz", "plain_map", write_test_chd(raw, ChdCodec{}));
  write_seed("chd_image_fuzz", "compressed_map", write_test_chd(raw, ChdCodec{"cdzl", stored_deflate}));
  const char* sheets[] = {
      "FILE \"disc.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n    INDEX 00 00:10:00\r\n    INDEX 01 00:12:00\r\n",
      "\xEF\xBB\xBFREM GENRE Game\nFILE \"t1.bin\" BINARY\n  TRACK 01 MODE2/2336\n    INDEX 01 00:00:00\n"
      "FILE \"t2.bin\" BINARY\n  TRACK 02 MODE1/2048\n    PREGAP 00:02:00\n    INDEX 01 00:00:00\n"
      "    POSTGAP 00:00:05\nFILE t3.bin BINARY\n  TRACK 03 MODE1/2352\n    INDEX 01 00:00:00\n",
  };
  int n = 0;
  for (const char* sheet : sheets) {
    Bytes seed = {0x20, 0x00};
    append_text(seed, sheet);
    write_seed("cue_sheet_fuzz", "sheet" + std::to_string(n++), seed);
  }
}

// The bytes a writer function puts into a file.
template <typename Write>
Bytes written_bytes(Write&& write) {
  FILE* file = std::tmpfile();
  write(file);
  Bytes bytes(static_cast<size_t>(std::ftell(file)));
  std::rewind(file);
  if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::exit(1);
  std::fclose(file);
  return bytes;
}

void settings_seeds() {
  const Bytes text = written_bytes([](FILE* file) {
    for (const char* piece : kDefaultSettingsWrites) text_file_write(file, piece);
  });
  Bytes seed{0, 0};
  append(seed, text);
  write_seed("settings_file_fuzz", "default", seed);
  Bytes changed{0, 0};
  append_text(changed,
              "CDDrive = 1/2\nMMX=ON\nFixed=ON\nFilter=OFF\nFCSearch=AUTO\nPreLoadFrame=-1 6\n"
              "StartWait=- 100\nDisplayMode=2\n");
  write_seed("settings_file_fuzz", "values", changed);
}

void catalogue_seeds() {
  uint8_t label[kVolumeIdBytes];
  std::memset(label, ' ', sizeof label);
  std::memcpy(label, "FUZZ_DISC", 9);
  std::string lines;
  add_volume_line(lines, label);
  add_entry_line(lines, "  A_STR_1");
  add_sector_line(lines, 22);
  add_sector_line(lines, 600);
  add_closing_line(lines);
  add_entry_line(lines, "  A_STR_2");
  add_sector_line(lines, 600);
  add_sector_line(lines, 1200);
  add_closing_line(lines);
  const Bytes record(lines.begin(), lines.end());
  int n = 0;
  for (const char* name : {"A_STR_1", "A_STR_2", "\\MOVIE\\A.STR"}) {
    Bytes seed(label, label + sizeof label);
    append_text(seed, name);
    seed.push_back(0);
    append(seed, record);
    write_seed("catalogue_lookup_fuzz", "record" + std::to_string(n++), seed);
  }
}

void command_line_seeds() {
  const std::vector<std::vector<std::string>> lines = {
      {"\\MOVIE\\A.STR", "out.avi"},
      {"-bmp", "-file:1", "-channel:2", "-search:100", "-width", "in.str", "out\\"},
      {"/audio", "-no-cdrom", "in.str", "out.wav"},
      {"-viewer:15", "-mmx:on", "-fixed:off", "-cddrive:1/2", "-preloadframe:16", "in.str"},
      {"-all", "-detail", "-skip-movie", "-image:disc.img", "in.str", "out"},
      {"-disc-analyze", "-path:", "-image:disc.img", "x"},
      {"-file-save", "-check", "in.str", "out.str"},
      {"-use-inf", "-fcsearch:auto", "-startwait:-5", "-sound:off", "-soundvolume:50", "a", "b"},
  };
  int n = 0;
  for (const auto& line : lines) {
    Bytes seed;
    for (size_t i = 0; i < line.size(); ++i) {
      if (i > 0) seed.push_back(0);
      append_text(seed, line[i]);
    }
    write_seed("command_line_fuzz", "line" + std::to_string(n++), seed);
  }
}

void avi_seeds() {
  Bytes header(kAviHeaderBytes);
  build_provisional_avi_header(header.data());
  AviTotals totals;
  totals.width = 320;
  totals.height = 240;
  totals.frames = 60;
  totals.rate = table_frame_rate(RateTable::conversion, 10);
  totals.riff_size = 60 * 230400 + 2040;
  totals.movi_size = 60 * 230408 + 4;
  complete_avi_header(header.data(), totals);
  int n = 0;
  for (const char* rate : {"15", "30", " -10", "7"}) {
    Bytes seed;
    append_text(seed, rate);
    seed.push_back(0);
    append(seed, header);
    write_seed("avi_header_fuzz", "header" + std::to_string(n++), seed);
  }
}

// One adapter with one CD drive that passes every step of the scan, a
// READ TOC of two tracks, and a probe that succeeds four times.
void aspi_seeds() {
  Bytes seed{1};
  auto answer = [&](uint8_t status, const Bytes& data) {
    seed.push_back(status);
    seed.push_back(static_cast<uint8_t>(data.size()));
    append(seed, data);
  };
  seed.push_back(kAspiComplete);   // device type request
  seed.push_back(kDeviceTypeCdrom);
  answer(kAspiComplete, Bytes(kRequestSenseBytes));
  Bytes page(kModeSenseBytes);
  page[12] = 0x30;  // Mode 2 Form 1 and Form 2
  page[20] = 0x01;  // 256 KB of buffer
  answer(kAspiComplete, page);
  Bytes inquiry(kInquiryBytes);
  std::memcpy(inquiry.data() + 8, "FUZZ    CD-ROM DRIVE    ", 24);
  answer(kAspiComplete, inquiry);
  for (int target = 1; target < 8; ++target) {
    seed.push_back(kAspiNoDevice);
    seed.push_back(0);
  }
  Bytes toc(kReadTocBytes);
  toc[1] = 18;
  toc[2] = 1;
  toc[3] = 1;
  toc[4 + 7] = 0;            // track 1 at 0
  toc[12 + 2] = 0x01;        // lead-out at 0x100 * 0x100
  seed.insert(seed.end(), toc.begin(), toc.end());
  append(seed, Bytes{1, 1, 1, 1, 0});
  write_seed("aspi_responses_fuzz", "one_drive", seed);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT_DIR\n");
    return 2;
  }
  output_root = argv[1];
  frame_seeds();
  movie_seeds();
  audio_seeds();
  image_seeds();
  container_seeds();
  settings_seeds();
  catalogue_seeds();
  command_line_seeds();
  avi_seeds();
  aspi_seeds();
  return 0;
}
