// korvane -avi / -bmp end to end on synthesised movies: the AVI as ffprobe
// reads it, the pictures against the synthesiser's source frames and
// against ffmpeg's decoding of the same stream (raw 2352-byte form), the
// BMP files against the AVI frames, and damaged streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/byte_order.hpp"
#include "platform/text_encoding.hpp"
#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace {

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// A picture as korvane wrote it: bottom row first, bytes p0 p1 p2 (blue,
// green, red) a pixel.
struct Picture {
  uint32_t width = 0, height = 0;
  std::string rows;
  // Component c (0 blue, 1 green, 2 red) of pixel (x, y), y from the top.
  uint8_t at(uint32_t x, uint32_t y, int c) const {
    return static_cast<uint8_t>(rows[((height - 1 - y) * width + x) * 3 + c]);
  }
};

struct Avi {
  uint32_t width = 0, height = 0, frames = 0, rate = 0;
  std::vector<Picture> pictures;
};

Avi read_avi(const std::string& path) {
  const std::string s = read_file(path);
  Avi a;
  if (s.size() < 2048) return a;
  a.width = get_le32(bytes(s) + 64);
  a.height = get_le32(bytes(s) + 68);
  a.frames = get_le32(bytes(s) + 48);
  a.rate = get_le32(bytes(s) + 132);
  for (size_t at = 2048; at + 8 <= s.size() && s.compare(at, 4, "00db") == 0;) {
    const uint32_t size = get_le32(bytes(s) + at + 4);
    a.pictures.push_back({a.width, a.height, s.substr(at + 8, size)});
    at += 8 + size;
  }
  return a;
}

double psnr(double squared_error_sum, double count) {
  if (squared_error_sum == 0) return 99.0;
  return 10.0 * std::log10(255.0 * 255.0 * count / squared_error_sum);
}

enum class Distortion { none, flipped, mirrored, red_blue_swapped };

// The picture against the source frame (R G B, top row first), over the
// source's own size.
double psnr_against_source(const Picture& p, const mkdisc::RgbFrame& f, Distortion d = Distortion::none) {
  double sum = 0;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int px = x, py = y, pc = 2 - c;  // source R G B is korvane's p2 p1 p0
        if (d == Distortion::flipped) py = f.height - 1 - y;
        if (d == Distortion::mirrored) px = f.width - 1 - x;
        if (d == Distortion::red_blue_swapped) pc = c;
        const double e = double(p.at(px, py, pc)) - f.pixel(x, y)[c];
        sum += e * e;
      }
  return psnr(sum, 3.0 * f.width * f.height);
}

// Luminance as a JPEG decoder would form it from korvane's pixel: p0 plays
// the role of red (1.402 x the second chroma block), p2 that of blue.
// gray: ffmpeg's frames of gray_width x gray_height (its own reading of the
// header size, which may be the unrounded one); the common area is compared.
double psnr_luma_against_gray(const Picture& p, const std::string& gray, size_t offset, uint32_t gray_width,
                              uint32_t gray_height) {
  double sum = 0;
  const uint32_t w = std::min(p.width, gray_width), h = std::min(p.height, gray_height);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const double luma = 0.299 * p.at(x, y, 0) + 0.587 * p.at(x, y, 1) + 0.114 * p.at(x, y, 2);
      const double e = luma - static_cast<uint8_t>(gray[offset + y * gray_width + x]);
      sum += e * e;
    }
  return psnr(sum, double(w) * h);
}

uint32_t probe_number(const std::string& text, const std::string& key) {
  const size_t at = text.find(key + "=");
  return at == std::string::npos ? 0 : static_cast<uint32_t>(std::stoul(text.substr(at + key.size() + 1)));
}

struct Case {
  const char* name;
  int width, height, frames, version, scale;
  double sectors_per_frame;
  bool audio;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ConvertMovie : public testing::TestWithParam<Case> {};

uint32_t rate_for(int max_chunks) {
  return max_chunks <= 5 ? 30 : max_chunks <= 8 ? 20 : max_chunks <= 10 ? 15 : max_chunks <= 15 ? 10 : 0;
}

TEST_P(ConvertMovie, AviMatchesSourceAndFfmpeg) {
  const Case& c = GetParam();
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = c.width;
  movie_spec.height = c.height;
  movie_spec.frames = c.frames;
  movie_spec.pattern = mkdisc::Pattern::sample;
  movie_spec.encode.version = c.version;
  movie_spec.encode.scale = c.scale;
  movie_spec.sectors_per_frame = c.sectors_per_frame;
  movie_spec.audio = c.audio;
  const mkdisc::Movie movie = mkdisc::build_movie(movie_spec);

  TempDir dir;
  mkdisc::write_sector_file(dir.file("movie.str"), movie.sectors, mkdisc::SectorForm::form2336);
  const ProcessResult r = run_process({KORVANE_EXE, "-no-cdrom", dir.file("movie.str"), dir.file("out.avi")});
  ASSERT_EQ(r.status, 0) << r.out;
  // The last progress line names the last frame; the line is closed by "\n".
  EXPECT_NE(r.out.find("(frame = " + std::to_string(c.frames) + ")\r"), std::string::npos);
  EXPECT_EQ(r.out.back(), '\n');

  const uint32_t width = (c.width + 15) & ~15, height = (c.height + 15) & ~15;
  int max_chunks = 0;
  for (int n : movie.chunks) max_chunks = std::max(max_chunks, n);
  const Avi avi = read_avi(dir.file("out.avi"));
  ASSERT_EQ(avi.pictures.size(), size_t(c.frames));
  EXPECT_EQ(avi.frames, uint32_t(c.frames));
  EXPECT_EQ(avi.width, width);
  EXPECT_EQ(avi.height, height);
  EXPECT_EQ(avi.rate, rate_for(max_chunks));

  // Against the synthesiser's source pictures; a flipped, mirrored or
  // colour-swapped picture would score far lower.
  for (int f = 0; f < c.frames; f += std::max(1, c.frames / 4)) {
    const double good = psnr_against_source(avi.pictures[f], movie.frames[f]);
    EXPECT_GE(good, 25.0) << "frame " << f + 1;
    for (Distortion d : {Distortion::flipped, Distortion::mirrored, Distortion::red_blue_swapped})
      EXPECT_LT(psnr_against_source(avi.pictures[f], movie.frames[f], d), good - 6.0) << "frame " << f + 1;
  }

  const std::string ffprobe = find_on_path("ffprobe"), ffmpeg = find_on_path("ffmpeg");
  if (ffprobe.empty() || ffmpeg.empty()) GTEST_SKIP() << "ffmpeg/ffprobe not installed: outside checks skipped";
  const ProcessResult probe = run_process({ffprobe, "-v", "error", "-select_streams", "v:0", "-count_frames",
                                           "-show_entries", "stream=width,height,r_frame_rate,nb_read_frames",
                                           "-of", "default=noprint_wrappers=1", dir.file("out.avi")});
  ASSERT_EQ(probe.status, 0) << probe.err;
  EXPECT_NE(probe.out.find("width=" + std::to_string(width) + "\n"), std::string::npos) << probe.out;
  EXPECT_NE(probe.out.find("height=" + std::to_string(height) + "\n"), std::string::npos) << probe.out;
  EXPECT_NE(probe.out.find("r_frame_rate=" + std::to_string(rate_for(max_chunks)) + "/1"), std::string::npos)
      << probe.out;
  EXPECT_NE(probe.out.find("nb_read_frames=" + std::to_string(c.frames)), std::string::npos) << probe.out;

  // ffmpeg's own decoding of the raw form: its luminance against korvane's.
  mkdisc::write_sector_file(dir.file("movie.raw"), movie.sectors, mkdisc::SectorForm::raw2352);
  const ProcessResult dec = run_process({ffmpeg, "-v", "error", "-i", dir.file("movie.raw"), "-an", "-f",
                                         "rawvideo", "-pix_fmt", "gray", dir.file("ffmpeg.gray")});
  ASSERT_EQ(dec.status, 0) << dec.err;
  const ProcessResult raw_probe = run_process({ffprobe, "-v", "error", "-select_streams", "v:0", "-show_entries",
                                               "stream=width,height", "-of", "default=noprint_wrappers=1",
                                               dir.file("movie.raw")});
  const uint32_t gray_width = probe_number(raw_probe.out, "width");
  const uint32_t gray_height = probe_number(raw_probe.out, "height");
  ASSERT_GT(gray_width * gray_height, 0u) << raw_probe.out << raw_probe.err;
  const std::string gray = read_file(dir.file("ffmpeg.gray"));
  const size_t frame_bytes = size_t(gray_width) * gray_height;
  // ffmpeg's reader may leave out the last frame of a stream that ends
  // right after it.
  const int decoded = static_cast<int>(gray.size() / frame_bytes);
  ASSERT_GE(decoded, c.frames - 1);
  for (int f = 0; f < decoded; f += std::max(1, decoded / 4))
    EXPECT_GE(psnr_luma_against_gray(avi.pictures[f], gray, f * frame_bytes, gray_width, gray_height), 35.0)
        << "frame " << f + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Movies, ConvertMovie,
    testing::Values(Case{"v2_320x240_10_sectors_audio", 320, 240, 6, 2, 8, 10, true},
                    Case{"v3_208x128_from_200x120_packed", 200, 120, 5, 3, 6, 0, false},
                    Case{"v3_64x48_5_sectors", 64, 48, 8, 3, 4, 5, false},
                    Case{"v2_160x112_7_5_sectors_audio", 160, 112, 6, 2, 10, 7.5, true},
                    Case{"v3_320x240_15_sectors", 320, 240, 4, 3, 2, 15, false}),
    [](const testing::TestParamInfo<Case>& test) { return std::string(test.param.name); });

mkdisc::Movie small_movie(int frames, int width = 48, int height = 32, int scale = 8) {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = width;
  movie_spec.height = height;
  movie_spec.encode.scale = scale;
  movie_spec.frames = frames;
  movie_spec.pattern = mkdisc::Pattern::sample;
  return mkdisc::build_movie(movie_spec);
}

TEST(ConvertMovieBmp, FilesEqualAviFramesAndWidthPlacement) {
  const mkdisc::Movie movie = small_movie(3);
  TempDir dir;
  mkdisc::write_sector_file(dir.file("m.str"), movie.sectors, mkdisc::SectorForm::form2336);
  ASSERT_EQ(run_process({KORVANE_EXE, "-no-cdrom", dir.file("m.str"), dir.file("m.avi")}).status, 0);
  const ProcessResult r = run_process({KORVANE_EXE, "-bmp", "-no-cdrom", dir.file("m.str"), dir.file("pic")});
  ASSERT_EQ(r.status, 0) << r.out;
  const Avi avi = read_avi(dir.file("m.avi"));
  ASSERT_EQ(avi.pictures.size(), 3u);
  for (int f = 1; f <= 3; ++f) {
    char name[32];
    std::snprintf(name, sizeof name, "pic%08d.BMP", f);
    const std::string bmp = read_file(dir.file(name));
    ASSERT_EQ(bmp.size(), 54u + 48 * 32 * 3) << name;
    EXPECT_EQ(bmp.substr(54), avi.pictures[f - 1].rows) << name;
  }
  EXPECT_FALSE(file_exists(dir.file("pic00000004.BMP")));
  // -width places macroblocks by rows: with two macroblock rows the picture
  // differs, and it matches a by-rows arrangement of the same macroblocks.
  ASSERT_EQ(run_process({KORVANE_EXE, "-width", "-no-cdrom", dir.file("m.str"), dir.file("w.avi")}).status, 0);
  const Avi rows = read_avi(dir.file("w.avi"));
  ASSERT_EQ(rows.pictures.size(), 3u);
  // Macroblock i by columns sits at (i / 2, i % 2); by rows at (i % 3, i / 3).
  for (int i = 0; i < 6; ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(rows.pictures[0].at((i % 3) * 16 + x, (i / 3) * 16 + y, c),
                    avi.pictures[0].at((i / 2) * 16 + x, (i % 2) * 16 + y, c))
              << "macroblock " << i;
}

TEST(ConvertMovie, TheLargestSearchWindowsConvertEveryFrame) {
  const mkdisc::Movie movie = small_movie(3);
  TempDir dir;
  mkdisc::write_sector_file(dir.file("m.str"), movie.sectors, mkdisc::SectorForm::form2336);
  ASSERT_EQ(run_process({KORVANE_EXE, "-no-cdrom", dir.file("m.str"), dir.file("m.avi")}).status, 0);
  const std::string expected = read_file(dir.file("m.avi"));
  // A window reaching past 2^32 sectors ends at the end of the input, as any
  // window longer than the input does.
  for (const char* window : {"-search:4294967000", "-search:4294967295"}) {
    const ProcessResult r =
        run_process({KORVANE_EXE, window, "-no-cdrom", dir.file("m.str"), dir.file("w.avi")});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_file(dir.file("w.avi")), expected) << window;
  }
}

// Damaged streams: the sectors of a three-frame movie of a few chunks a
// frame, changed, then converted.
mkdisc::Movie damaged_base(int frames = 3) { return small_movie(frames, 96, 64, 1); }

class DamagedMovie : public testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(movie.chunks[1], 2) << "frames need two chunks"; }
  mkdisc::Movie movie = damaged_base();
  TempDir dir;

  // User data of the n-th video sector (0-based).
  uint8_t* video_data(size_t n) {
    size_t seen = 0;
    for (auto& s : movie.sectors)
      if ((s[2] & 0x08) != 0 && seen++ == n) return s.data() + 8;
    return nullptr;
  }
  size_t first_chunk_of_frame(int frame) {
    size_t n = 0;
    for (int f = 0; f < frame; ++f) n += movie.chunks[f];
    return n;
  }
  ProcessResult convert(const std::vector<std::string>& extra = {}) {
    mkdisc::write_sector_file(dir.file("m.str"), movie.sectors, mkdisc::SectorForm::form2336);
    std::vector<std::string> argv = {KORVANE_EXE};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.insert(argv.end(), {"-no-cdrom", dir.file("m.str"), dir.file("m.avi")});
    return run_process(argv);
  }
  static bool says(const ProcessResult& r, const char* utf8) {
    return r.out.find(utf8_to_cp932(utf8)) != std::string::npos;
  }
};

TEST_F(DamagedMovie, BadStatusOrTypeInChunkZero) {
  video_data(first_chunk_of_frame(1))[0] = 0x50;
  ProcessResult r = convert();
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_TRUE(says(r, "ヘッダが異常です.\n"));
  // The first frame stays on disk behind the provisional header.
  const std::string partial = read_file(dir.file("m.avi"));
  EXPECT_EQ(partial.size(), 2048u + 8 + 96 * 64 * 3);

  movie = damaged_base();
  put_le16(video_data(0) + 2, 0x8002);
  r = convert();
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_TRUE(says(r, "ヘッダが異常です.\n"));
}

TEST_F(DamagedMovie, MisplacedChunkAndNoChunks) {
  // Frame 2 loses its chunk 0: the next accepted sector is chunk 1.
  uint8_t* chunk0 = video_data(first_chunk_of_frame(1));
  (chunk0 - 8)[0] = 9;  // another file number
  ProcessResult r = convert();
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_TRUE(says(r, "読み込み位置がずれてしまいました.\n"));

  movie = damaged_base();
  put_le16(video_data(0) + 6, 0);  // no chunks per frame
  r = convert();
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_TRUE(says(r, "ヘッダが異常です.\n"));
}

TEST_F(DamagedMovie, BitstreamErrors) {
  // Garbage codes: all zero bits after the first DC.
  std::memset(video_data(0) + 32 + 8 + 2, 0, 2016 - 10);
  ProcessResult r = convert();
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_TRUE(says(r, "ビットストリームデータが異常です.\n"));

  // A picture far larger than its data: the codes run out.
  movie = damaged_base();
  put_le16(video_data(0) + 16, 1024);
  put_le16(video_data(0) + 18, 1024);
  r = convert();
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_TRUE(says(r, "ビットストリームデータが異常です.\n"));
}

TEST_F(DamagedMovie, HugePictureIsAnAllocationError) {
  put_le16(video_data(0) + 16, 65520);
  put_le16(video_data(0) + 18, 65520);
  const ProcessResult r = convert();
  EXPECT_EQ(r.status, exit_status_of(-6));
}

TEST_F(DamagedMovie, TruncatedMovieEndsQuietly) {
  // The last frame loses its last chunk: two frames are converted.
  movie = damaged_base();
  ASSERT_GE(movie.chunks[2], 1);
  size_t last_video = 0;
  for (size_t i = 0; i < movie.sectors.size(); ++i)
    if ((movie.sectors[i][2] & 0x08) != 0) last_video = i;
  if (movie.chunks[2] == 1) {
    // Frame 3 is one sector: its header claims two.
    put_le16(video_data(first_chunk_of_frame(2)) + 6, 2);
  } else {
    movie.sectors.resize(last_video);
  }
  const ProcessResult r = convert();
  EXPECT_EQ(r.status, 0) << r.out;
  const Avi avi = read_avi(dir.file("m.avi"));
  EXPECT_EQ(avi.frames, 2u);
  EXPECT_EQ(avi.pictures.size(), 2u);
}

TEST_F(DamagedMovie, FirstFrameNumberedTwoGivesNoFrames) {
  put_le32(video_data(0) + 8, 2);
  const ProcessResult r = convert();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n");
  const Avi avi = read_avi(dir.file("m.avi"));
  EXPECT_EQ(avi.frames, 0u);
  EXPECT_EQ(read_file(dir.file("m.avi")).size(), 2048u + 8);
}

TEST_F(DamagedMovie, SearchWindowOfOneStopsAtAForeignSector) {
  // A foreign sector between two chunks of frame 1: with -search:1 the frame
  // is cut and nothing is converted; the default window skips it.
  movie = damaged_base(2);
  size_t second_video = 0, seen = 0;
  for (size_t i = 0; i < movie.sectors.size(); ++i)
    if ((movie.sectors[i][2] & 0x08) != 0 && seen++ == 1) second_video = i;
  const mkdisc::SectorList foreign = mkdisc::foreign_sectors(1, 1, 1, 0x64);
  movie.sectors.insert(movie.sectors.begin() + second_video, foreign[0]);
  EXPECT_EQ(convert({"-search:1"}).status, 0);
  EXPECT_EQ(read_avi(dir.file("m.avi")).frames, 0u);
  EXPECT_EQ(convert().status, 0);
  EXPECT_EQ(read_avi(dir.file("m.avi")).frames, 2u);
}

}  // namespace
