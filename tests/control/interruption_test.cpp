// Conversions that end early: by SIGINT, SIGTERM or SIGHUP while the AVI or
// the WAV is being written, and by a damaged frame. The file then holds the
// frames (or sound) written so far under complete headers and an index, and
// the run ends with 128 + the signal, or with the error.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "base/byte_order.hpp"
#include "format/disc/xa_sector.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

constexpr int kHangGuardSeconds = 120;
constexpr uint32_t kAviHeaderBytes = 2048;
constexpr uint32_t kChunkHeaderBytes = 8;
constexpr uint32_t kIndexEntryBytes = 16;
constexpr uint32_t kWavHeaderBytes = 44;
constexpr uint32_t kPcmSectorBytes = 8064;  // one XA sector decoded
constexpr int kSignalBase = 128;

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// What an AVI holds, read the way a player reads it: the header's counts,
// the frame chunks up to the index, and the index.
struct AviFile {
  uint32_t riff_size = 0, header_frames = 0, width = 0, height = 0, movi_size = 0;
  uint32_t chunks = 0, index_entries = 0;
  bool index_found = false;
  uint64_t length = 0;
};

AviFile read_avi(const std::string& path) {
  const std::string s = read_file(path);
  AviFile a;
  a.length = s.size();
  if (s.size() < kAviHeaderBytes) return a;
  a.riff_size = get_le32(bytes(s) + 4);
  a.header_frames = get_le32(bytes(s) + 48);
  a.width = get_le32(bytes(s) + 64);
  a.height = get_le32(bytes(s) + 68);
  a.movi_size = get_le32(bytes(s) + 2040);
  size_t at = kAviHeaderBytes;
  while (at + kChunkHeaderBytes <= s.size() && s.compare(at, 4, "00db") == 0) {
    at += kChunkHeaderBytes + get_le32(bytes(s) + at + 4);
    ++a.chunks;
  }
  if (at + kChunkHeaderBytes <= s.size() && s.compare(at, 4, "idx1") == 0) {
    a.index_found = true;
    a.index_entries = get_le32(bytes(s) + at + 4) / kIndexEntryBytes;
    if (at + kChunkHeaderBytes + a.index_entries * kIndexEntryBytes != s.size()) a.index_found = false;
  }
  return a;
}

void expect_complete(const AviFile& a, uint32_t width, uint32_t height) {
  EXPECT_EQ(a.riff_size, a.length - 8);
  EXPECT_EQ(a.width, width);
  EXPECT_EQ(a.height, height);
  EXPECT_EQ(a.header_frames, a.chunks);
  EXPECT_TRUE(a.index_found);
  EXPECT_EQ(a.index_entries, a.chunks);
  EXPECT_EQ(a.movi_size, 4 + a.chunks * (kChunkHeaderBytes + width * height * 3));
}

class InterruptedRun : public ::testing::Test {
 protected:
  ProcessResult korvane(const std::vector<std::string>& args, ProcessOptions options = {}) {
    std::vector<std::string> argv = {KORVANE_EXE, "-path:" + dir_.path()};
    argv.insert(argv.end(), args.begin(), args.end());
    options.working_directory = dir_.path();
    options.unset_env = {"KORVANE_PATH"};
    options.timeout_seconds = kHangGuardSeconds;
    return run_process(argv, options);
  }
  TempDir dir_;
};

// Long enough that its progress lines fill the output pipe: the run then
// waits on the pipe until the signal has been sent, however fast it is.
mkdisc::SectorList long_movie() {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = 16;
  movie_spec.height = 16;
  movie_spec.frames = 3000;
  return mkdisc::build_movie(movie_spec).sectors;
}

TEST_F(InterruptedRun, AnAviInterruptedBySignalKeepsItsFramesUnderCompleteHeaders) {
  mkdisc::write_sector_file(dir_.file("long.str"), long_movie(), mkdisc::SectorForm::form2336);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const std::string avi = "long" + std::to_string(signal) + ".avi";
    ProcessOptions options;
    options.signal = signal;
    options.when_file = avi;
    options.when_bytes = kAviHeaderBytes + 10 * (kChunkHeaderBytes + 16 * 16 * 3);
    const ProcessResult r = korvane({"-no-cdrom", "long.str", avi}, options);
    EXPECT_EQ(r.status, kSignalBase + signal) << r.signal;
    const AviFile a = read_avi(dir_.file(avi));
    EXPECT_GE(a.chunks, 10u);
    EXPECT_LT(a.chunks, 3000u);
    expect_complete(a, 16, 16);
  }
}

// One encoded sector of sound repeated: a stream of every sector, long
// enough to fill the output pipe with progress lines.
void write_long_stream(const std::string& path) {
  mkdisc::AudioFormat format;  // 37800 Hz stereo
  const auto pcm = mkdisc::make_pcm(mkdisc::Sound::sweep, format.rate, format.stereo,
                                    static_cast<size_t>(mkdisc::samples_per_sector(format)));
  const mkdisc::SectorList one = mkdisc::encode_xa_audio(pcm, format, 1, 1);
  ASSERT_EQ(one.size(), 1u);
  const mkdisc::SectorList stream(4000, one.front());
  mkdisc::write_sector_file(path, stream, mkdisc::SectorForm::form2336);
}

// An interrupted stream's WAV: whole sectors under a header that tells them.
void expect_whole_wav(const std::string& wav) {
  ASSERT_GE(wav.size(), kWavHeaderBytes + 10 * kPcmSectorBytes);
  EXPECT_LT(wav.size(), kWavHeaderBytes + 4000 * kPcmSectorBytes);
  EXPECT_EQ((wav.size() - kWavHeaderBytes) % kPcmSectorBytes, 0u);
  EXPECT_EQ(get_le32(bytes(wav) + 4), wav.size() - 8);
  EXPECT_EQ(get_le16(bytes(wav) + 22), 2u);
  EXPECT_EQ(get_le32(bytes(wav) + 24), 37800u);
  EXPECT_EQ(get_le32(bytes(wav) + 40), wav.size() - kWavHeaderBytes);
}

TEST_F(InterruptedRun, AWavInterruptedBySignalGetsItsHeader) {
  write_long_stream(dir_.file("sound.xa"));
  ProcessOptions options;
  options.signal = SIGTERM;
  options.when_file = "sound.wav";
  options.when_bytes = kWavHeaderBytes + 10 * kPcmSectorBytes;
  const ProcessResult r = korvane({"-no-cdrom", "-audio", "sound.xa", "sound.wav"}, options);
  EXPECT_EQ(r.status, kSignalBase + SIGTERM);
  expect_whole_wav(read_file(dir_.file("sound.wav")));
}

TEST_F(InterruptedRun, AScanInterruptedWhileItsSoundIsWrittenBesideItFinishesTheWav) {
  // With two threads the scan's sound is decoded and written on a thread
  // beside the one that reads: the signal stops it, and its WAV is finished.
  // (Without -skip-movie the movie pass's progress lines would fill the
  // output pipe before any sound is written.)
  write_long_stream(dir_.file("scan.xa"));
  ProcessOptions options;
  options.signal = SIGINT;
  options.when_file = "scan1000.wav";
  options.when_bytes = kWavHeaderBytes + 10 * kPcmSectorBytes;
  options.env = {{"KORVANE_THREADS", "2"}};
  const ProcessResult r = korvane({"-no-cdrom", "-all", "-skip-movie", "scan.xa", "scan"}, options);
  EXPECT_EQ(r.status, kSignalBase + SIGINT);
  expect_whole_wav(read_file(dir_.file("scan1000.wav")));
}

TEST_F(InterruptedRun, ADamagedFrameLeavesTheFramesBeforeItPlayable) {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = 48;
  movie_spec.height = 32;
  movie_spec.frames = 8;
  movie_spec.sectors_per_frame = 10;
  movie_spec.audio = true;
  mkdisc::SectorList sectors = mkdisc::build_movie(movie_spec).sectors;
  // Frame 6's data blanked: an unknown code in the middle of the movie.
  constexpr size_t kUserData = 8;
  constexpr size_t kStrHeader = 32;
  constexpr size_t kFrameNumberOffset = kUserData + 8;
  constexpr size_t kFrameHeader = 8;
  for (auto& s : sectors) {
    if (!is_video_sector(s.data()) || get_le32(s.data() + kFrameNumberOffset) != 6) continue;
    std::fill(s.begin() + kUserData + kStrHeader + kFrameHeader, s.begin() + kUserData + 2048, 0xFF);
  }
  mkdisc::write_sector_file(dir_.file("damaged.str"), sectors, mkdisc::SectorForm::form2336);
  const ProcessResult r = korvane({"-no-cdrom", "damaged.str", "damaged.avi"});
  EXPECT_EQ(r.status, exit_status_of(-9)) << r.out;
  const AviFile a = read_avi(dir_.file("damaged.avi"));
  EXPECT_EQ(a.chunks, 5u);
  expect_complete(a, 48, 32);
}

}  // namespace
