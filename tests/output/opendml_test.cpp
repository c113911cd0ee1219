// AVIs past what one RIFF holds: the OpenDML form (RIFF AVIX continuations,
// super-indexes in the stream headers, ix00/ix01 standard indexes,
// odml/dmlh, the legacy idx1 over the first RIFF), written in this process
// with a small RIFF limit so that it switches after a few hundred kilobytes,
// and read back frame by frame and sample by sample with ffmpeg; velmora
// patching its rate. The same switch-over at the real 4 GiB, from a long
// synthesised movie through korvane, runs when KORVANE_SLOW_TESTS is ON.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/byte_order.hpp"
#include "io/avi_writer.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"
#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/mdec_encoder.hpp"
#include "tools/mkdisc/picture.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/str_video.hpp"

namespace {

constexpr uint32_t kWidth = 64;
constexpr uint32_t kHeight = 48;
constexpr uint32_t kFrameBytes = kWidth * kHeight * 3;
constexpr uint32_t kSoundBytes = 8064;  // one stereo sector's samples

uint32_t le32(const std::string& s, size_t at) { return get_le32(reinterpret_cast<const uint8_t*>(s.data()) + at); }

size_t count_of(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

std::vector<uint8_t> picture_of(uint32_t frame) {
  std::vector<uint8_t> p(kFrameBytes);
  for (uint32_t i = 0; i < kFrameBytes; ++i) p[i] = static_cast<uint8_t>(frame * 5 + i / 97);
  return p;
}

std::vector<uint8_t> sound_of(uint32_t frame) {
  std::vector<uint8_t> s(kSoundBytes);
  for (uint32_t i = 0; i < kSoundBytes; ++i) s[i] = static_cast<uint8_t>(frame * 3 + i * 7);
  return s;
}

// Writes `frames` frames, each followed by a sound chunk when `sound`, with
// RIFFs of at most `riff_limit` bytes (0: as large as 32 bits allow).
std::string write_avi(const std::string& path, uint32_t frames, uint64_t riff_limit, bool sound) {
  std::memset(output_name, 0, kNameBufferSize);
  std::strncpy(output_name, path.c_str(), kNameBufferSize - 1);
  movie.picture_width = kWidth;
  movie.picture_height = kHeight;
  movie.max_chunks = 10;
  movie.rate_evidence = RateEvidence{};
  open_avi();
  if (riff_limit != 0) movie.avi.riff_limit = riff_limit;
  if (sound) start_avi_sound(37800, 2);
  for (uint32_t f = 0; f < frames; ++f) {
    std::vector<uint8_t> picture = picture_of(f);
    movie.frame.picture = picture.data();
    write_avi_frame();
    if (sound) {
      const std::vector<uint8_t> pcm = sound_of(f);
      write_avi_sound(pcm.data(), kSoundBytes);
    }
  }
  movie.frame.picture = nullptr;
  finish_avi();
  return read_file(path);
}

std::string ffmpeg_output(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {find_on_path("ffmpeg"), "-v", "error"};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back("-");
  const ProcessResult r = run_process(argv);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

// Frame n as ffmpeg picks it out by number.
std::string frame_by_number(const std::string& avi, uint32_t n) {
  return ffmpeg_output({"-i", avi, "-map", "0:v", "-vf", "select=eq(n\\," + std::to_string(n) + ")", "-vsync", "0",
                        "-frames:v", "1", "-f", "rawvideo"});
}

TEST(OpenDml, GoesOnPastTheFirstRiffAndEveryFrameAndSampleReadsBack) {
  TempDir dir;
  constexpr uint32_t kFrames = 120;
  constexpr uint64_t kRiffLimit = 300000;  // about 17 frames with their sound a RIFF
  const std::string avi = write_avi(dir.file("long.avi"), kFrames, kRiffLimit, true);
  const std::string plain = write_avi(dir.file("plain.avi"), kFrames, 0, true);

  // The OpenDML pieces, and RIFFs that keep within their limit.
  EXPECT_EQ(avi.substr(0, 4), "RIFF");
  EXPECT_GE(count_of(avi, "AVIX"), 5u);
  EXPECT_EQ(count_of(avi, "idx1"), 1u);
  EXPECT_EQ(count_of(avi, "indx"), 2u);
  EXPECT_GE(count_of(avi, "ix00"), 6u);
  EXPECT_GE(count_of(avi, "ix01"), 6u);
  const size_t dmlh = avi.find("dmlh");
  ASSERT_NE(dmlh, std::string::npos);
  EXPECT_LT(dmlh, 2048u);
  EXPECT_EQ(le32(avi, dmlh + 8), kFrames);
  EXPECT_EQ(le32(avi, 140), kFrames);       // the picture stream's length: every frame
  EXPECT_LT(le32(avi, 48), kFrames);        // the main header: the first RIFF's frames
  for (size_t at = 0; at < avi.size();) {
    const uint32_t size = le32(avi, at + 4);
    EXPECT_LE(size + 8ull, kRiffLimit + 8) << "RIFF at " << at;
    at += 8ull + size;
    if (at < avi.size()) {
      EXPECT_EQ(avi.substr(at, 4), "RIFF") << at;
    }
  }
  // Without a limit the same movie is one RIFF.
  EXPECT_EQ(count_of(plain, "AVIX"), 0u);
  EXPECT_EQ(le32(plain, 4), plain.size() - 8);

  if (find_on_path("ffmpeg").empty() || find_on_path("ffprobe").empty())
    GTEST_SKIP() << "ffmpeg/ffprobe not installed: outside checks skipped";
  const ProcessResult probe =
      run_process({find_on_path("ffprobe"), "-v", "error", "-count_frames", "-show_entries",
                   "stream=codec_type,nb_read_frames,nb_frames", "-of", "default=noprint_wrappers=1",
                   dir.file("long.avi")});
  EXPECT_NE(probe.out.find("nb_read_frames=" + std::to_string(kFrames) + "\n"), std::string::npos) << probe.out;
  const ProcessResult null_run =
      run_process({find_on_path("ffmpeg"), "-v", "warning", "-i", dir.file("long.avi"), "-f", "null", "-"});
  EXPECT_EQ(null_run.status, 0);
  EXPECT_EQ(null_run.err, "");
  // Every frame and sample, against the one-RIFF file and the bytes given.
  EXPECT_EQ(ffmpeg_output({"-i", dir.file("long.avi"), "-map", "0:v", "-f", "rawvideo"}),
            ffmpeg_output({"-i", dir.file("plain.avi"), "-map", "0:v", "-f", "rawvideo"}));
  std::string samples;
  for (uint32_t f = 0; f < kFrames; ++f) {
    const std::vector<uint8_t> s = sound_of(f);
    samples.append(s.begin(), s.end());
  }
  EXPECT_EQ(ffmpeg_output({"-i", dir.file("long.avi"), "-map", "0:a", "-f", "s16le"}), samples);
  // Frames by number around the first switch-over.
  const uint32_t first = le32(avi, 48);
  for (uint32_t n : {0u, first - 1, first, first + 1, kFrames - 1})
    EXPECT_EQ(frame_by_number(dir.file("long.avi"), n), frame_by_number(dir.file("plain.avi"), n)) << "frame " << n;

  // velmora sets the rate; the sound stream and everything after the
  // header stay as they were.
  const ProcessResult v = run_process({VELMORA_EXE, dir.file("long.avi"), "10"});
  EXPECT_EQ(v.status, 0) << v.out;
  const std::string patched = read_file(dir.file("long.avi"));
  EXPECT_EQ(patched.substr(2048), avi.substr(2048));
  const size_t auds = avi.find("auds");
  ASSERT_NE(auds, std::string::npos);
  EXPECT_EQ(patched.substr(auds - 8, 72), avi.substr(auds - 8, 72));
  EXPECT_EQ(le32(patched, 132), 10u);
  const ProcessResult rate = run_process({find_on_path("ffprobe"), "-v", "error", "-select_streams", "v:0",
                                          "-show_entries", "stream=r_frame_rate", "-of", "csv=p=0",
                                          dir.file("long.avi")});
  EXPECT_EQ(rate.out, "10/1\n");
}

// The first RIFF takes a frame only when that frame's chunk and its 16-byte
// idx1 entry both still fit: one byte less than a RIFF of n frames with
// their index needs, and the n-th frame opens the continuation instead.
TEST(OpenDml, TheFirstRiffCountsTheIndexEntryOfTheFrameBeingAdded) {
  TempDir dir;
  constexpr uint32_t kFrames = 6, kFitting = 4;
  // RIFF size (file length - 8) of kFitting frames and their idx1.
  const uint64_t size_for_fitting = 2048 + kFitting * (8 + kFrameBytes) + 8 + 16 * kFitting - 8;
  const std::string tight = write_avi(dir.file("tight.avi"), kFrames, size_for_fitting - 1, false);
  EXPECT_EQ(le32(tight, 48), kFitting - 1);
  EXPECT_LE(le32(tight, 4), size_for_fitting - 1);
  const std::string exact = write_avi(dir.file("exact.avi"), kFrames, size_for_fitting, false);
  EXPECT_EQ(le32(exact, 48), kFitting);
  EXPECT_EQ(le32(exact, 4), size_for_fitting);
}

// The real thing: a movie whose AVI outgrows 4 GiB, converted by korvane
// from a long synthesised stream (eight pictures, encoded once and
// repeated with counting frame numbers). About 4.4 GB are written.
TEST(OpenDml, SlowPastFourGibibytesFromKorvane) {
  const char* slow = std::getenv("KORVANE_SLOW_TESTS");
  if (slow == nullptr || std::string(slow) != "ON")
    GTEST_SKIP() << "writes 4.4 GB: runs with KORVANE_SLOW_TESTS=ON";
  constexpr int kBigWidth = 640, kBigHeight = 480, kPictures = 8, kBigFrames = 4800;
  TempDir dir;
  std::vector<std::vector<uint8_t>> bitstreams;
  for (int p = 0; p < kPictures; ++p)
    bitstreams.push_back(mkdisc::encode_frame(mkdisc::test_pattern(kBigWidth, kBigHeight, p * 10), {}));
  {
    std::ofstream out(dir.file("long.str"), std::ios::binary);
    for (int f = 0; f < kBigFrames; ++f) {
      mkdisc::VideoSectorOptions o;
      o.width = kBigWidth;
      o.height = kBigHeight;
      o.frame_number = f + 1;
      const std::vector<uint8_t> bytes =
          mkdisc::sector_bytes(mkdisc::frame_sectors(bitstreams[f % kPictures], o), mkdisc::SectorForm::form2336);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
  ProcessOptions options;
  options.timeout_seconds = 3600;
  const ProcessResult r = run_process({KORVANE_EXE, "-no-cdrom", dir.file("long.str"), dir.file("long.avi")}, options);
  ASSERT_EQ(r.status, 0) << r.out.substr(r.out.size() > 400 ? r.out.size() - 400 : 0);
  std::ifstream in(dir.file("long.avi"), std::ios::binary);
  std::string header(2048, '\0');
  in.read(header.data(), 2048);
  in.seekg(0, std::ios::end);
  const uint64_t length = static_cast<uint64_t>(in.tellg());
  EXPECT_GT(length, 0x100000000ull);
  const uint32_t first_riff_frames = le32(header, 48);
  EXPECT_LT(first_riff_frames, uint32_t(kBigFrames));
  EXPECT_EQ(le32(header, 140), uint32_t(kBigFrames));
  EXPECT_NE(header.find("dmlh"), std::string::npos);

  if (find_on_path("ffmpeg").empty() || find_on_path("ffprobe").empty())
    GTEST_SKIP() << "ffmpeg/ffprobe not installed: outside checks skipped";
  const ProcessResult probe =
      run_process({find_on_path("ffprobe"), "-v", "error", "-select_streams", "v:0", "-count_packets",
                   "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", dir.file("long.avi")},
                  options);
  EXPECT_EQ(probe.out, std::to_string(kBigFrames) + "\n");
  // Frames by number, around the switch-over: each is its picture, as the
  // first eight frames show them.
  const std::string avi = dir.file("long.avi");
  for (uint32_t n : {first_riff_frames - 1, first_riff_frames, first_riff_frames + 1, uint32_t(kBigFrames - 1)}) {
    const std::string frame = ffmpeg_output({"-i", avi, "-map", "0:v", "-vf", "select=eq(n\\," + std::to_string(n) + ")",
                                             "-vsync", "0", "-frames:v", "1", "-f", "rawvideo"});
    EXPECT_EQ(frame.size(), size_t(kBigWidth) * kBigHeight * 3) << "frame " << n;
    EXPECT_TRUE(frame == frame_by_number(avi, n % kPictures)) << "frame " << n;
  }
}

}  // namespace
