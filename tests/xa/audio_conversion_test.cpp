// -audio end to end: synthesised XA streams converted by korvane, compared
// with the source PCM, with the synthesiser's decoder and with ffmpeg.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "format/disc/xa_sector.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/xa/xa_fixture.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

using xa_test::read_wav;
using xa_test::run_korvane;

constexpr int kPcmSectorBytes = 8064;
// The encoder tracks the decoder exactly; what is left is 4-bit quantisation.
constexpr double kMinSnrDb = 40.0;  // measured: 51.6 dB at 37800 Hz, 44.3 dB at 18900 Hz
constexpr int kSectors = 12;

struct Format {
  int rate;
  bool stereo;
};
const Format kFormats[] = {{37800, true}, {37800, false}, {18900, true}, {18900, false}};

struct Stream {
  std::vector<int16_t> pcm;
  mkdisc::SectorList audio;
  mkdisc::AudioFormat format;
};

Stream make_stream(const Format& f, int file = 1, int channel = 1, int sectors = kSectors) {
  Stream s;
  s.format.rate = f.rate;
  s.format.stereo = f.stereo;
  const size_t frames = static_cast<size_t>(mkdisc::samples_per_sector(s.format)) * sectors;
  s.pcm = mkdisc::make_pcm(mkdisc::Sound::sweep, f.rate, f.stereo, frames);
  s.audio = mkdisc::encode_xa_audio(s.pcm, s.format, file, channel);
  return s;
}

std::string label(const Format& f) {
  return std::to_string(f.rate) + (f.stereo ? " stereo" : " mono");
}

TEST(AudioToWav, EveryFormatMatchesTheSourceAndHasAnExactHeader) {
  for (const Format& f : kFormats) {
    SCOPED_TRACE(label(f));
    TempDir dir;
    const Stream s = make_stream(f);
    // Video sectors of the same file and channel sit between the audio.
    const mkdisc::Sector video = mkdisc::foreign_sectors(1, 1, 1, mkdisc::kVideoSubmode)[0];
    const int interleave = mkdisc::audio_interleave(s.format);
    auto sectors = xa_test::lay_out(s.audio, interleave, 3, &video);
    mkdisc::write_sector_file(dir.file("in.str"), sectors, mkdisc::SectorForm::form2336);

    const auto r = run_korvane({"-no-cdrom", "-audio", "in.str", "out.wav"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    const auto wav = read_wav(dir.file("out.wav"));
    const int channels = f.stereo ? 2 : 1;
    ASSERT_EQ(wav.bytes.size(), 44u + kSectors * kPcmSectorBytes);
    EXPECT_EQ(wav.bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.field32(4), wav.bytes.size() - 8);
    EXPECT_EQ(wav.bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.field32(16), 16u);
    EXPECT_EQ(wav.field16(20), 1);
    EXPECT_EQ(wav.field16(22), channels);
    EXPECT_EQ(wav.field32(24), static_cast<uint32_t>(f.rate));
    EXPECT_EQ(wav.field32(28), static_cast<uint32_t>(f.rate * 2 * channels));
    EXPECT_EQ(wav.field16(32), 2 * channels);
    EXPECT_EQ(wav.field16(34), 16);
    EXPECT_EQ(wav.bytes.substr(36, 4), "data");
    EXPECT_EQ(wav.field32(40), static_cast<uint32_t>(kSectors * kPcmSectorBytes));

    EXPECT_GT(xa_test::snr_db(s.pcm, wav.samples, s.pcm.size()), kMinSnrDb);
    EXPECT_EQ(wav.samples, mkdisc::decode_xa_audio(s.audio, f.stereo));

    // Progress: one line per sector looked at, the first at the stream start.
    EXPECT_NE(r.out.find("convert block 00000003/"), std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');
  }
}

// ffmpeg decodes the raw 2352-byte form with its own rounding (it limits the
// history), so its samples may differ by a little.
constexpr double kMinFfmpegAgreementDb = 55.0;  // measured: about 61 dB
constexpr int kMaxFfmpegDifference = 48;        // measured: at most 30

TEST(AudioToWav, AgreesWithFfmpegOnTheRawForm) {
  if (!xa_test::have_ffmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  for (const Format& f : kFormats) {
    SCOPED_TRACE(label(f));
    TempDir dir;
    const Stream s = make_stream(f);
    auto sectors = xa_test::lay_out(s.audio, mkdisc::audio_interleave(s.format));
    mkdisc::write_sector_file(dir.file("in.raw"), sectors, mkdisc::SectorForm::raw2352);

    const auto r = run_korvane({"-no-cdrom", "-audio", "in.raw", "out.wav"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    const auto wav = read_wav(dir.file("out.wav"));
    ASSERT_EQ(wav.samples.size(), static_cast<size_t>(kSectors) * kPcmSectorBytes / 2);

    // ffmpeg reports the end of the sectors as an input error; only fatal
    // messages are shown.
    const std::string command = "cd '" + dir.path() +
                                "' && ffmpeg -v fatal -y -f psxstr -i in.raw -map 0:a:0 "
                                "-f s16le -acodec pcm_s16le ff.pcm";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string ff = read_file(dir.file("ff.pcm"));
    std::vector<int16_t> theirs(ff.size() / 2);
    for (size_t i = 0; i < theirs.size(); ++i) {
      theirs[i] = static_cast<int16_t>(static_cast<uint8_t>(ff[2 * i]) |
                                       (static_cast<uint8_t>(ff[2 * i + 1]) << 8));
    }
    ASSERT_EQ(theirs.size(), wav.samples.size());
    int worst = 0;
    for (size_t i = 0; i < theirs.size(); ++i) worst = std::max(worst, std::abs(theirs[i] - wav.samples[i]));
    EXPECT_LE(worst, kMaxFfmpegDifference);
    EXPECT_GT(xa_test::snr_db(theirs, wav.samples, theirs.size()), kMinFfmpegAgreementDb);
  }
}

TEST(AudioToWav, TheSearchWindowBoundsTheDistanceOfTheFirstTwoSectors) {
  TempDir dir;
  const Stream s = make_stream({37800, true}, 1, 1, 3);
  mkdisc::write_sector_file(dir.file("in.str"), xa_test::lay_out(s.audio, 8),
                            mkdisc::SectorForm::form2336);

  auto r = run_korvane({"-no-cdrom", "-audio", "-search:8", "in.str", "a.wav"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(read_wav(dir.file("a.wav")).samples.size(), 3u * kPcmSectorBytes / 2);

  // Eight sectors apart, a window of 7 never sees the second: a header alone,
  // with the counts of no earlier stream.
  r = run_korvane({"-no-cdrom", "-audio", "-search:7", "in.str", "b.wav"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  const auto wav = read_wav(dir.file("b.wav"));
  ASSERT_EQ(wav.bytes.size(), 44u);
  EXPECT_EQ(wav.field32(4), 36u);
  EXPECT_EQ(wav.field16(22), 0);
  EXPECT_EQ(wav.field32(24), 0u);
  EXPECT_EQ(wav.field32(40), 0u);
  EXPECT_EQ(r.out, "");
}

TEST(AudioToWav, AStreamEndsAtTheFirstForeignSectorOnItsInterleave) {
  TempDir dir;
  const Stream one = make_stream({37800, true}, 1, 1, 10);
  const Stream two = make_stream({37800, true}, 1, 2, 10);
  auto sectors = xa_test::lay_out(one.audio, 8);
  sectors[5 * 8] = two.audio[0];  // channel 2 takes the sixth place
  sectors[5 * 8 + 3] = two.audio[1];
  mkdisc::write_sector_file(dir.file("in.str"), sectors, mkdisc::SectorForm::form2336);

  auto r = run_korvane({"-no-cdrom", "-audio", "in.str", "one.wav"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  const auto wav = read_wav(dir.file("one.wav"));
  EXPECT_EQ(wav.samples.size(), 5u * kPcmSectorBytes / 2);  // the later sectors are not reached

  // Channel 2 has its two sectors 3 apart: interleave 3, then nothing more.
  r = run_korvane({"-no-cdrom", "-audio", "-channel:2", "in.str", "two.wav"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(read_wav(dir.file("two.wav")).samples.size(), 2u * kPcmSectorBytes / 2);

  // A single sector of a channel is never a stream.
  sectors[5 * 8 + 3] = mkdisc::gap_sectors(1)[0];
  mkdisc::write_sector_file(dir.file("single.str"), sectors, mkdisc::SectorForm::form2336);
  r = run_korvane({"-no-cdrom", "-audio", "-channel:2", "single.str", "s.wav"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(read_wav(dir.file("s.wav")).bytes.size(), 44u);
}

TEST(AudioToWav, OddParameterBytesAndEightBitSectorsDecodeWithoutHarm) {
  // Random sound data: filter numbers up to 15, shifts up to 15; the coding
  // byte announces 8-bit samples, which are decoded as 4-bit all the same.
  TempDir dir;
  mkdisc::SectorList sectors;
  uint32_t seed = 12345;
  for (int i = 0; i < 40; ++i) {
    mkdisc::Sector s = mkdisc::make_sector(1, 1, mkdisc::kAudioSubmode, 0x10 | kCodingStereo);
    for (int b = kSubheaderBytes; b < kSectorBytes; ++b) {
      seed = seed * 1664525u + 1013904223u;
      s[b] = static_cast<uint8_t>(seed >> 24);
    }
    sectors.push_back(s);
  }
  // A partial record at the end of the file is outside the range.
  auto bytes = mkdisc::sector_bytes(sectors, mkdisc::SectorForm::form2336);
  bytes.resize(bytes.size() + 100, 0x55);
  write_file(dir.file("in.str"), std::string(bytes.begin(), bytes.end()));

  const auto r = run_korvane({"-no-cdrom", "-audio", "in.str", "out.wav"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  const auto wav = read_wav(dir.file("out.wav"));
  EXPECT_EQ(wav.samples.size(), 40u * kPcmSectorBytes / 2);
  EXPECT_EQ(wav.field16(22), 2);
}

TEST(AudioToWav, AnUncreatableWavEndsWithMinus3AndItsName) {
  TempDir dir;
  const Stream s = make_stream({18900, false}, 1, 1, 2);
  mkdisc::write_sector_file(dir.file("in.str"), xa_test::lay_out(s.audio, 32),
                            mkdisc::SectorForm::form2336);
  const auto r =
      run_korvane({"-no-cdrom", "-audio", "in.str", "missing/out.wav"}, dir.path());
  EXPECT_EQ(r.status, exit_status_of(-3));
  EXPECT_NE(r.out.find("missing/out.wav"), std::string::npos);
}

}  // namespace
