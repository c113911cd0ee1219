// korvane converting with one thread (KORVANE_THREADS=1) and with several:
// the files written, the console text and the exit status are the same byte
// for byte, for -avi, -width, -bmp and -all, for free audio streams, and for
// conversions that end with a fatal error late (a bitstream that cannot be
// decoded, a chunk 0 with a bad header, a WAV write that fails), where
// everything before it is written.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

constexpr int kFrames = 40;
// Frames large enough to go to the decoding threads (small ones are decoded
// where they are assembled).
constexpr int kWidth = 176;
constexpr int kHeight = 144;
constexpr int kBadFrame = 33;  // 1-based: frames 1 to 32 come before it
constexpr size_t kSubheaderBytes = 8;
constexpr size_t kStrHeaderBytes = 32;
constexpr size_t kFrameHeaderBytes = 8;
constexpr size_t kChunkBitstreamBytes = 2016;
constexpr size_t kAviHeaderBytes = 2048;
constexpr size_t kChunkHeaderBytes = 8;

mkdisc::Movie test_movie(int version = 2, int channel = 1, int width = kWidth, int height = kHeight) {
  mkdisc::MovieSpec plan;
  plan.width = width;
  plan.height = height;
  plan.frames = kFrames;
  plan.encode.version = version;
  plan.pattern = mkdisc::Pattern::sample;
  plan.channel_number = channel;
  plan.sectors_per_frame = 10;
  plan.audio = true;
  return mkdisc::build_movie(plan);
}

bool is_video(const mkdisc::Sector& sector) { return (sector[2] & 0x08) != 0 && (sector[2] & 0x20) == 0; }

// The sector of chunk 0 of a frame (1-based) and the sectors of its chunks.
std::vector<size_t> chunk_sectors(const mkdisc::Movie& movie, int frame) {
  size_t first = 0;
  for (int f = 0; f < frame - 1; ++f) first += static_cast<size_t>(movie.chunks[f]);
  std::vector<size_t> found;
  size_t seen = 0;
  for (size_t i = 0; i < movie.sectors.size(); ++i) {
    if (!is_video(movie.sectors[i])) continue;
    if (seen >= first && seen < first + static_cast<size_t>(movie.chunks[frame - 1])) found.push_back(i);
    ++seen;
  }
  return found;
}

struct Outcome {
  ProcessResult result;
  std::map<std::string, std::string> files;  // every file the run wrote
};

// Runs korvane in a directory of its own, with the input there as m.str and
// names relative to it, so that both runs print and write the same names.
Outcome run_with_threads(const TempDir& dir, const std::string& threads, const mkdisc::SectorList& sectors,
                         const std::vector<std::string>& options, const std::string& output,
                         long long file_size_limit, mkdisc::SectorForm form) {
  namespace fs = std::filesystem;
  const fs::path work = fs::path(dir.path()) / ("threads" + threads);
  fs::create_directories(work);
  mkdisc::write_sector_file((work / "m.str").string(), sectors, form);
  std::vector<std::string> argv = {KORVANE_EXE};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.insert(argv.end(), {"-no-cdrom", "m.str", output});
  ProcessOptions process;
  process.working_directory = work.string();
  process.env = {{"KORVANE_THREADS", threads}, {"KORVANE_PATH", work.string()}};
  process.file_size_limit = file_size_limit;
  Outcome o;
  o.result = run_process(argv, process);
  for (const auto& entry : fs::directory_iterator(work)) {
    const std::string name = entry.path().filename().string();
    if (name != "m.str") o.files[name] = read_file(entry.path().string());
  }
  return o;
}

// The same run with one thread and with four; returns the one-thread outcome.
// A file size limit makes every write past it fail, as on a full disc.
Outcome expect_same_with_one_and_four(const mkdisc::SectorList& sectors, const std::vector<std::string>& options,
                                      const std::string& output, long long file_size_limit = 0,
                                      mkdisc::SectorForm form = mkdisc::SectorForm::form2336) {
  TempDir dir;
  Outcome one = run_with_threads(dir, "1", sectors, options, output, file_size_limit, form);
  const Outcome four = run_with_threads(dir, "4", sectors, options, output, file_size_limit, form);
  EXPECT_EQ(one.result.status, four.result.status);
  EXPECT_EQ(one.result.out, four.result.out);
  EXPECT_EQ(one.files.size(), four.files.size());
  for (const auto& [name, bytes] : one.files) {
    const auto other = four.files.find(name);
    EXPECT_TRUE(other != four.files.end() && bytes == other->second) << name << " differs";
  }
  return one;
}

size_t avi_bytes_with_frames(size_t frames) {
  return kAviHeaderBytes + frames * (kChunkHeaderBytes + kWidth * kHeight * 3);
}

// A conversion that ends on a fatal error still finishes its AVI: the frames
// written so far, then the "idx1" chunk (8 bytes) with 16 bytes a frame.
size_t finished_avi_bytes_with_frames(size_t frames) {
  constexpr size_t kIndexChunkHeaderBytes = 8;
  constexpr size_t kIndexEntryBytes = 16;
  return avi_bytes_with_frames(frames) + kIndexChunkHeaderBytes + frames * kIndexEntryBytes;
}

TEST(ConversionThreads, AviIsTheSameWithOneAndFourThreads) {
  const mkdisc::Movie movie = test_movie(3);
  const Outcome o = expect_same_with_one_and_four(movie.sectors, {}, "m.avi");
  EXPECT_EQ(o.result.status, 0) << o.result.out;
  // The frames, their index and the completed header.
  EXPECT_GT(o.files.at("m.avi").size(), avi_bytes_with_frames(kFrames));
}

TEST(ConversionThreads, AviWithSoundIsTheSameWithOneAndFourThreads) {
  // The sound chunks go in before the frame whose sectors follow them,
  // though frames are assembled ahead of the one being written.
  const Outcome o = expect_same_with_one_and_four(test_movie().sectors, {"-with-sound"}, "s.avi");
  EXPECT_EQ(o.result.status, 0) << o.result.out;
  EXPECT_NE(o.files.at("s.avi").find("01wb"), std::string::npos);
}

TEST(ConversionThreads, WidthPlacementIsTheSameWithOneAndFourThreads) {
  const Outcome o = expect_same_with_one_and_four(test_movie().sectors, {"-width"}, "w.avi");
  EXPECT_EQ(o.result.status, 0) << o.result.out;
}

TEST(ConversionThreads, BmpFilesAreTheSameWithOneAndFourThreads) {
  const Outcome o = expect_same_with_one_and_four(test_movie().sectors, {"-bmp"}, "pic");
  EXPECT_EQ(o.result.status, 0) << o.result.out;
  EXPECT_EQ(o.files.size(), static_cast<size_t>(kFrames) + 1);  // and KORVANE.INI
}

TEST(ConversionThreads, ScanOutputsAreTheSameWithOneAndFourThreads) {
  // Two movies with their sound on two channels one after the other, then
  // a gap wider than the search window, then a movie of small frames.
  mkdisc::SectorList sectors = test_movie(2, 1).sectors;
  mkdisc::append(sectors, mkdisc::gap_sectors(100));
  mkdisc::append(sectors, test_movie(3, 2).sectors);
  mkdisc::append(sectors, mkdisc::gap_sectors(100));
  mkdisc::append(sectors, test_movie(2, 3, 64, 48).sectors);
  const Outcome o = expect_same_with_one_and_four(sectors, {"-all"}, "scan");
  EXPECT_EQ(o.result.status, 0) << o.result.out;
  EXPECT_EQ(o.files.count("scan0000.avi"), 1u);
  EXPECT_EQ(o.files.count("scan0001.avi"), 1u);
  EXPECT_EQ(o.files.count("scan0002.avi"), 1u);
}

TEST(ConversionThreads, ScanOfARawImageIsTheSameWithOneAndFourThreads) {
  // Raw 2352-byte records: the sectors looked at ahead of the movie pass are
  // found at the same place in each record as the pass's own reads find them.
  mkdisc::SectorList sectors = mkdisc::gap_sectors(300);
  mkdisc::append(sectors, test_movie(2, 1, 64, 48).sectors);
  mkdisc::append(sectors, mkdisc::gap_sectors(500));
  mkdisc::append(sectors, test_movie(3, 2).sectors);
  const Outcome o = expect_same_with_one_and_four(sectors, {"-all"}, "raw", 0, mkdisc::SectorForm::raw2352);
  EXPECT_EQ(o.result.status, 0) << o.result.out;
  EXPECT_EQ(o.files.count("raw0000.avi"), 1u);
  EXPECT_EQ(o.files.count("raw0001.avi"), 1u);
  EXPECT_EQ(o.files.count("raw0000.wav"), 1u);
}

TEST(ConversionThreads, ALateUndecodableFrameEndsAfterTheFramesBeforeIt) {
  mkdisc::Movie movie = test_movie();
  // Nothing but zero bits after the frame header: no code matches.
  for (size_t s : chunk_sectors(movie, kBadFrame)) {
    uint8_t* bitstream = movie.sectors[s].data() + kSubheaderBytes + kStrHeaderBytes;
    const size_t skip = s == chunk_sectors(movie, kBadFrame).front() ? kFrameHeaderBytes + 2 : 0;
    std::memset(bitstream + skip, 0, kChunkBitstreamBytes - skip);
  }
  for (const std::string mode : {"-avi", "-bmp"}) {
    const Outcome o = expect_same_with_one_and_four(movie.sectors, {mode}, mode == "-avi" ? "m.avi" : "pic");
    EXPECT_EQ(o.result.status, exit_status_of(-9)) << mode;
    if (mode == "-avi") {
      EXPECT_EQ(o.files.at("m.avi").size(), finished_avi_bytes_with_frames(kBadFrame - 1));
    } else {
      EXPECT_EQ(o.files.count("pic00000032.BMP"), 1u);
      EXPECT_EQ(o.files.count("pic00000033.BMP"), 0u);
    }
  }
}

TEST(ConversionThreads, ALateBadHeaderEndsAfterTheFramesBeforeIt) {
  mkdisc::Movie movie = test_movie();
  const size_t chunk0 = chunk_sectors(movie, kBadFrame).front();
  movie.sectors[chunk0][kSubheaderBytes] = 0x50;  // the status nibble is no longer 6
  const Outcome o = expect_same_with_one_and_four(movie.sectors, {}, "m.avi");
  EXPECT_EQ(o.result.status, exit_status_of(-9));
  EXPECT_EQ(o.files.at("m.avi").size(), finished_avi_bytes_with_frames(kBadFrame - 1));
}

// Stereo and mono streams in four channels taking turns, then a lone stream.
mkdisc::SectorList free_audio() {
  constexpr int kStreamSectors = 24;
  mkdisc::AudioFormat stereo;
  mkdisc::AudioFormat mono;
  mono.stereo = false;
  mono.rate = 18900;
  std::vector<mkdisc::SectorList> channels;
  for (int c = 0; c < 4; ++c) {
    const mkdisc::AudioFormat& format = c % 2 == 0 ? stereo : mono;
    const auto pcm = mkdisc::make_pcm(c < 2 ? mkdisc::Sound::sweep : mkdisc::Sound::melody, format.rate,
                                      format.stereo,
                                      static_cast<size_t>(mkdisc::samples_per_sector(format)) * kStreamSectors);
    channels.push_back(mkdisc::encode_xa_audio(pcm, format, 1, c));
  }
  mkdisc::SectorList sectors = mkdisc::merge_round_robin(channels);
  mkdisc::append(sectors, mkdisc::gap_sectors(100));
  const auto pcm = mkdisc::make_pcm(mkdisc::Sound::melody, stereo.rate, true,
                                    static_cast<size_t>(mkdisc::samples_per_sector(stereo)) * kStreamSectors);
  mkdisc::append(sectors, mkdisc::encode_xa_audio(pcm, stereo, 2, 5));
  return sectors;
}

TEST(ConversionThreads, FreeAudioStreamsAreTheSameWithOneAndFourThreads) {
  const mkdisc::SectorList sectors = free_audio();
  for (const std::vector<std::string>& options : {std::vector<std::string>{"-all"},
                                                   std::vector<std::string>{"-all", "-detail"}}) {
    const Outcome o = expect_same_with_one_and_four(sectors, options, "scan");
    EXPECT_EQ(o.result.status, 0) << o.result.out;
    size_t wavs = 0;
    for (const auto& [name, bytes] : o.files) wavs += name.ends_with(".wav") ? 1 : 0;
    EXPECT_EQ(wavs, 5u) << options.back();
  }
}

TEST(ConversionThreads, ALateWavWriteFailureEndsAfterTheSectorsBeforeIt) {
  // Room for the header and a few sectors' sound, then the disc is full.
  constexpr long long kLimit = 100000;
  const Outcome o = expect_same_with_one_and_four(free_audio(), {"-audio"}, "a.wav", kLimit);
  EXPECT_EQ(o.result.status, exit_status_of(-5)) << o.result.out;
  // The file keeps the whole sectors that fit and a header that says so.
  const std::string& wav = o.files.at("a.wav");
  constexpr size_t kHeader = 44;
  constexpr size_t kSectorPcm = 8064;
  ASSERT_EQ(wav.size(), kHeader + (kLimit - kHeader) / kSectorPcm * kSectorPcm);
  const auto le32 = [&](size_t at) {
    return static_cast<size_t>(static_cast<uint8_t>(wav[at])) | static_cast<size_t>(static_cast<uint8_t>(wav[at + 1])) << 8 |
           static_cast<size_t>(static_cast<uint8_t>(wav[at + 2])) << 16 |
           static_cast<size_t>(static_cast<uint8_t>(wav[at + 3])) << 24;
  };
  EXPECT_EQ(le32(4), wav.size() - 8);
  EXPECT_EQ(le32(40), wav.size() - kHeader);
  // In a scan the same, with the scan's own lines before the failure.
  const Outcome scan = expect_same_with_one_and_four(free_audio(), {"-all"}, "scan", kLimit);
  EXPECT_EQ(scan.result.status, exit_status_of(-5)) << scan.result.out;
}

}  // namespace
