// -all and -disc-all end to end: a synthesised disc with movies, their
// linked audio, free-standing audio before, between and after them, and
// eight interleaved channels, converted into exactly the expected files and
// report; -skip-movie; the movie and -detail tables when they fill up; and
// failures that must leave earlier outputs intact.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "format/disc/xa_sector.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/xa/xa_fixture.hpp"
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

using xa_test::cp932;
using xa_test::read_wav;
using xa_test::run_korvane;

constexpr int kPcmSectorBytes = 8064;
constexpr int kSearchWindow = 75;  // the default -search:
constexpr int kQuietGap = kSearchWindow + 25;  // more than a movie's closing search

std::string hex8(int64_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", static_cast<uint32_t>(v));
  return text;
}

std::string offsets(int32_t first, int32_t stop) {
  return "  start block offset = " + hex8(first) + "\r\n    end block offset = " +
         hex8(stop - 1) + "\r\n";
}

std::string number(const char* format, int n) {
  char text[32];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

// A disc laid out piece by piece, with what the scan must make of it.
struct ScanDisc {
  mkdisc::SectorList sectors;
  struct MovieAt {
    int32_t start, stop;         // stop: one past the last video sector + the closing search
    int32_t audio_first, audio_stop;
    std::vector<int16_t> pcm;
  };
  struct AudioAt {
    int32_t first, stop;
    int channels;
    int sectors;
  };
  std::vector<MovieAt> movies;
  std::vector<AudioAt> free_audio;

  void gap(int count) { mkdisc::append(sectors, mkdisc::gap_sectors(count)); }

  void movie(int pattern_frame) {
    mkdisc::MovieSpec movie_spec;
    movie_spec.width = 48;
    movie_spec.height = 32;
    movie_spec.frames = 3;
    movie_spec.first_pattern_frame = pattern_frame;
    movie_spec.sectors_per_frame = 10;
    movie_spec.audio = true;  // 37800 Hz stereo, one sector in 8
    const mkdisc::Movie m = mkdisc::build_movie(movie_spec);
    const int32_t base = static_cast<int32_t>(sectors.size());
    MovieAt at{base, 0, -1, 0, m.pcm};
    int32_t last_video = base;
    for (size_t i = 0; i < m.sectors.size(); ++i) {
      const int32_t p = base + static_cast<int32_t>(i);
      if (is_audio_sector(m.sectors[i].data())) {
        if (at.audio_first < 0) at.audio_first = p;
        at.audio_stop = p + 8;  // the next place at the interleave holds no audio
      } else {
        last_video = p;
      }
    }
    at.stop = last_video + 1 + kSearchWindow;
    mkdisc::append(sectors, m.sectors);
    movies.push_back(at);
  }

  // One free stream of `count` sectors at its format's interleave.
  void audio(int channel, mkdisc::AudioFormat format, int count, int file = 1) {
    const auto pcm = mkdisc::make_pcm(mkdisc::Sound::melody, format.rate, format.stereo,
                                      static_cast<size_t>(mkdisc::samples_per_sector(format)) * count);
    const auto audio = mkdisc::encode_xa_audio(pcm, format, file, channel);
    const int interleave = mkdisc::audio_interleave(format);
    const int32_t base = static_cast<int32_t>(sectors.size());
    mkdisc::append(sectors, xa_test::lay_out(audio, interleave));
    gap(interleave - 1);
    free_audio.push_back({base, base + count * interleave, format.stereo ? 2 : 1, count});
  }

  // `channels` streams of one file, one sector each in turn, `rounds` times.
  void interleaved(int channels, int rounds, int file = 2) {
    mkdisc::AudioFormat format;  // 37800 Hz stereo
    std::vector<mkdisc::SectorList> streams;
    for (int c = 0; c < channels; ++c) {
      const auto pcm = mkdisc::make_pcm(mkdisc::Sound::sweep, format.rate, true,
                                        static_cast<size_t>(mkdisc::samples_per_sector(format)) * rounds);
      streams.push_back(mkdisc::encode_xa_audio(pcm, format, file, c));
    }
    const int32_t base = static_cast<int32_t>(sectors.size());
    mkdisc::append(sectors, mkdisc::merge_round_robin(streams));
    for (int c = 0; c < channels; ++c) {
      free_audio.push_back({base + c, base + c + rounds * channels, 2, rounds});
    }
  }
};

// The whole test disc: audio before the first movie, two movies with their
// audio, audio between and after them, then eight channels that stop and
// resume together.
ScanDisc full_disc() {
  ScanDisc d;
  d.gap(5);
  d.audio(3, {37800, false}, 4);  // before any movie
  d.gap(20);
  d.movie(0);
  d.gap(kQuietGap);
  d.audio(4, {18900, true}, 3);  // between the movies
  d.gap(20);
  d.movie(7);
  d.gap(kQuietGap);
  d.audio(5, {18900, false}, 2);  // after the last movie
  d.gap(10);
  d.interleaved(8, 6);  // eight channels at interleave 8 ...
  d.gap(16);
  d.interleaved(8, 3);  // ... stopping and resuming on eight consecutive sectors
  d.gap(3);
  return d;
}

struct Expected {
  std::string report;
  std::vector<std::pair<std::string, int>> wavs;  // name, data bytes
};

// Expected files and report for the full disc scanned from `origin`.
Expected expect_full(const ScanDisc& d, const std::string& base, int32_t origin) {
  Expected e;
  auto off = [&](int32_t first, int32_t stop) { return offsets(first - origin, stop - origin); };
  for (size_t k = 0; k < d.movies.size(); ++k) {
    e.report += base + number("%04d.avi", static_cast<int>(k)) + "\r\n";
    e.report += off(d.movies[k].start, d.movies[k].stop);
  }
  // The audio pass in disc order: free audio 0 (before), movie 0's audio,
  // free audio 1 (between), movie 1's audio, then the rest.
  auto free_entry = [&](size_t i, int number_) {
    const auto& a = d.free_audio[i];
    const std::string name = base + number("%04d.wav", number_);
    std::string line = name;
    int preceding = -1;
    for (size_t k = 0; k < d.movies.size(); ++k)
      if (d.movies[k].start < a.first) preceding = static_cast<int>(k);
    if (preceding < 0) {
      line += "\r\n";
    } else {
      line += cp932("   ムービー音声の可能性あります. もしそうなら") + base +
              number("%04d.wav", preceding) + cp932("と結合してください.") + "\r\n";
    }
    e.report += line + off(a.first, a.stop);
    e.wavs.emplace_back(name, a.sectors * kPcmSectorBytes);
  };
  auto linked_entry = [&](size_t k) {
    const auto& m = d.movies[k];
    const std::string name = base + number("%04d.wav", static_cast<int>(k));
    e.report += name + cp932("   対応ムービーは ") + base + number("%04d.avi", static_cast<int>(k)) +
                "\r\n" + off(m.audio_first, m.audio_stop);
    e.wavs.emplace_back(name, static_cast<int>(m.pcm.size()) * 2);
  };
  free_entry(0, 1000);
  linked_entry(0);
  free_entry(1, 1001);
  linked_entry(1);
  for (size_t i = 2; i < d.free_audio.size(); ++i) free_entry(i, 1000 + static_cast<int>(i));
  return e;
}

void check_outputs(const Expected& e, const TempDir& dir, const std::string& report_name) {
  EXPECT_EQ(read_file(dir.file(report_name)), e.report);
  for (const auto& [name, bytes] : e.wavs) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(file_exists(dir.file(name)));
    const auto wav = read_wav(dir.file(name));
    EXPECT_EQ(wav.field32(40), static_cast<uint32_t>(bytes));
    EXPECT_EQ(wav.bytes.size(), 44u + bytes);
  }
}

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ScanAll, AFileWithMoviesAndAudioGivesExactlyTheExpectedFilesAndReport) {
  TempDir dir;
  const ScanDisc d = full_disc();
  mkdisc::write_sector_file(dir.file("ALL.STR"), d.sectors, mkdisc::SectorForm::form2336);

  const auto r = run_korvane({"-no-cdrom", "-all", "-detail", "ALL.STR", "out"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  const Expected e = expect_full(d, "out", 0);
  check_outputs(e, dir, "out.txt");
  EXPECT_TRUE(file_exists(dir.file("out0000.avi")));
  EXPECT_TRUE(file_exists(dir.file("out0001.avi")));
  EXPECT_FALSE(file_exists(dir.file("out0002.avi")));
  EXPECT_FALSE(file_exists(dir.file("out0002.wav")));
  EXPECT_FALSE(file_exists(dir.file(number("out%04d.wav", 1000 + static_cast<int>(d.free_audio.size())))));

  // The linked audio is the movie's own sound.
  EXPECT_GT(xa_test::snr_db(d.movies[0].pcm, read_wav(dir.file("out0000.wav")).samples,
                            d.movies[0].pcm.size()),
            40.0);

  // -detail: both blocks of eight channels were measured as eight streams at
  // interleave 8; single streams as one stream at their own interleave.
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ最大数 8\n")), 2);
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ数 8\n")), 2);
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ最大数 16\n")), 2);  // before, between
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ最大数 32\n")), 1);  // after
  EXPECT_EQ(count_of(r.out, cp932("ムービーが見つかりました.\n")), 2);
  EXPECT_EQ(r.out.rfind(cp932("仮実装. 途中で止まる場合があるかもしれません.\n"), 0), 0u);
}

TEST(ScanAll, WithoutDetailTheSameDiscGivesTheSameFiles) {
  TempDir dir;
  const ScanDisc d = full_disc();
  mkdisc::write_sector_file(dir.file("ALL.STR"), d.sectors, mkdisc::SectorForm::form2336);
  const auto r = run_korvane({"-no-cdrom", "-all", "ALL.STR", "plain"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  check_outputs(expect_full(d, "plain", 0), dir, "plain.txt");
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ")), 0);
}

TEST(ScanAll, DiscAllOverAnImageReportsOffsetsFromTheDiscStart) {
  TempDir dir;
  const ScanDisc d = full_disc();
  mkdisc::IsoFile file{"MOVIE/ALL.STR", d.sectors, 0};
  const auto image = mkdisc::build_iso_image("SCANTEST", {file});
  mkdisc::write_sector_file(dir.file("disc.img"), image.sectors, mkdisc::SectorForm::form2336);
  const int32_t first = static_cast<int32_t>(image.files.at("MOVIE/ALL.STR").first_sector);

  const auto r = run_korvane({"-disc-all", "-detail", "-image:disc.img", "whole"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  // Offsets count from sector 0 of the image: the file's sectors sit `first` in.
  ScanDisc shifted = d;
  for (auto& m : shifted.movies) {
    m.start += first, m.stop += first, m.audio_first += first, m.audio_stop += first;
  }
  for (auto& a : shifted.free_audio) a.first += first, a.stop += first;
  check_outputs(expect_full(shifted, "whole", 0), dir, "whole.txt");
}

TEST(ScanAll, SkipMovieConvertsAllAudioAsOrdinaryAudio) {
  TempDir dir;
  ScanDisc d;
  d.gap(3);
  d.movie(0);
  d.gap(kQuietGap);
  d.audio(6, {37800, true}, 5);  // runs into the end of the range
  // The last record is cut short: it lies outside the range.
  auto bytes = mkdisc::sector_bytes(d.sectors, mkdisc::SectorForm::form2336);
  bytes.resize(bytes.size() - 1000);
  write_file(dir.file("in.str"), std::string(bytes.begin(), bytes.end()));

  const auto r = run_korvane({"-no-cdrom", "-all", "-skip-movie", "in.str", "s"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(file_exists(dir.file("s0000.avi")));
  EXPECT_FALSE(file_exists(dir.file("s0000.wav")));
  const auto& m = d.movies[0];
  const auto& a = d.free_audio[0];
  const std::string expected = "s1000.wav\r\n" + offsets(m.audio_first, m.audio_stop) +
                               "s1001.wav\r\n" + offsets(a.first, a.stop);
  EXPECT_EQ(read_file(dir.file("s.txt")), expected);
  EXPECT_EQ(read_wav(dir.file("s1001.wav")).field32(40), 5u * kPcmSectorBytes);
  EXPECT_EQ(count_of(r.out, cp932("ムービーを探しています.")), 0);
}

TEST(ScanAll, ARangeWithoutMoviesOrAudioGivesAnEmptyReportAlone) {
  TempDir dir;
  mkdisc::SectorList sectors = mkdisc::gap_sectors(30);
  mkdisc::append(sectors, mkdisc::foreign_sectors(10, 1, 1, mkdisc::kDataSubmode));
  mkdisc::write_sector_file(dir.file("in.str"), sectors, mkdisc::SectorForm::form2336);
  const auto r = run_korvane({"-no-cdrom", "-all", "in.str", "e"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(read_file(dir.file("e.txt")), "");
  EXPECT_FALSE(file_exists(dir.file("e0000.avi")));
  EXPECT_FALSE(file_exists(dir.file("e1000.wav")));
}

TEST(ScanAll, AnUncreatableReportEndsWithMinus3AndItsName) {
  TempDir dir;
  mkdisc::write_sector_file(dir.file("in.str"), mkdisc::gap_sectors(4), mkdisc::SectorForm::form2336);
  const auto r = run_korvane({"-no-cdrom", "-all", "in.str", "nodir/base"}, dir.path());
  EXPECT_EQ(r.status, exit_status_of(-3));
  EXPECT_NE(r.out.find("nodir/base.txt"), std::string::npos);
}

TEST(ScanAll, ADamagedMovieHeaderEndsTheRunAndKeepsEarlierOutputs) {
  TempDir dir;
  ScanDisc d;
  d.audio(2, {37800, false}, 2);
  d.gap(10);
  d.movie(0);
  d.gap(kQuietGap);
  d.movie(3);
  // The second frame of the second movie opens with a broken status word.
  const int32_t second = d.movies[1].start;
  int32_t frame_two = -1;
  for (int32_t p = second; p < static_cast<int32_t>(d.sectors.size()); ++p) {
    const uint8_t* h = d.sectors[p].data() + kSubheaderBytes;
    if (!is_audio_sector(d.sectors[p].data()) && h[4] == 0 && h[8] == 2) {
      frame_two = p;
      break;
    }
  }
  ASSERT_GT(frame_two, second);
  d.sectors[frame_two][kSubheaderBytes] = 0x00;
  mkdisc::write_sector_file(dir.file("in.str"), d.sectors, mkdisc::SectorForm::form2336);

  const auto r = run_korvane({"-no-cdrom", "-all", "in.str", "dmg"}, dir.path());
  EXPECT_EQ(r.status, exit_status_of(-9));
  EXPECT_NE(r.out.find(cp932("ヘッダが異常です.")), std::string::npos);
  const std::string report = read_file(dir.file("dmg.txt"));
  EXPECT_EQ(report, "dmg0000.avi\r\n" + offsets(d.movies[0].start, d.movies[0].stop));
  // The first movie's AVI was completed before the failure.
  const std::string avi = read_file(dir.file("dmg0000.avi"));
  ASSERT_GT(avi.size(), 12u);
  EXPECT_EQ(avi.substr(0, 4), "RIFF");
  EXPECT_EQ(avi.find("idx1") != std::string::npos, true);
}

TEST(ScanAll, MoviesBeyondTheTableAreLeftOutAndTheScanGoesOn) {
  // 1030 one-frame movies back to back: the table holds 1023 of them.
  TempDir dir;
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = 16;
  movie_spec.height = 16;
  movie_spec.frames = 1;
  const mkdisc::Movie m = mkdisc::build_movie(movie_spec);
  ASSERT_EQ(m.sectors.size(), 1u);
  mkdisc::SectorList sectors(1030, m.sectors[0]);
  const auto pcm = mkdisc::make_pcm(mkdisc::Sound::sweep, 37800, true, 2016 * 2);
  mkdisc::append(sectors, mkdisc::gap_sectors(kQuietGap));
  mkdisc::append(sectors, xa_test::lay_out(mkdisc::encode_xa_audio(pcm, {}, 1, 9), 8));
  mkdisc::write_sector_file(dir.file("in.str"), sectors, mkdisc::SectorForm::form2336);

  const auto r = run_korvane({"-no-cdrom", "-all", "in.str", "m"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(file_exists(dir.file("m1022.avi")));
  EXPECT_FALSE(file_exists(dir.file("m1023.avi")));
  EXPECT_NE(r.out.find(cp932("ムービーが1023個を超えたので")), std::string::npos);
  const std::string report = read_file(dir.file("m.txt"));
  EXPECT_EQ(count_of(report, ".avi\r\n"), 1023);
  // The audio after them is still converted, with the last movie as its hint.
  EXPECT_NE(report.find("m1000.wav" + cp932("   ムービー音声の可能性あります. もしそうなら") +
                        "m1022.wav"),
            std::string::npos);
}

TEST(ScanAll, MoreStreamsThanTheDetailTableAreConvertedInTurns) {
  // 40 channels in turn: the window of 40 holds more streams than the table's
  // 32. The first 32 are converted, the other 8 when the scan reaches them;
  // none is converted twice.
  TempDir dir;
  ScanDisc d;
  d.interleaved(40, 3);
  d.gap(5);
  mkdisc::write_sector_file(dir.file("in.str"), d.sectors, mkdisc::SectorForm::form2336);

  const auto r = run_korvane({"-no-cdrom", "-all", "-detail", "in.str", "t"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ数 32\n")), 1);
  EXPECT_EQ(count_of(r.out, cp932("インターリーブ数 8\n")), 1);
  std::string expected;
  for (int c = 0; c < 40; ++c) {
    const auto& a = d.free_audio[c];
    expected += number("t%04d.wav", 1000 + c) + "\r\n" + offsets(a.first, a.stop);
    EXPECT_EQ(read_wav(dir.file(number("t%04d.wav", 1000 + c))).field32(40), 3u * kPcmSectorBytes);
  }
  EXPECT_EQ(read_file(dir.file("t.txt")), expected);
  EXPECT_FALSE(file_exists(dir.file("t1040.wav")));
}

// Sound that ends loud (a full-scale square wave) and sound that opens on a
// swell the encoder predicts with a filter, so that the decoder's history
// at its start matters.
std::vector<int16_t> ending_loud(size_t samples) {
  std::vector<int16_t> pcm(samples);
  for (size_t i = 0; i < samples; ++i) pcm[i] = (i / 5) % 2 ? 30000 : -30000;
  return pcm;
}
std::vector<int16_t> opening_on_a_swell(size_t samples) {
  std::vector<int16_t> pcm(samples);
  for (size_t i = 0; i < samples; ++i)
    pcm[i] = static_cast<int16_t>(20000.0 * std::sin(0.02 * static_cast<double>(i) + 1.0));
  return pcm;
}

// The data of a WAV file, after its header.
std::string wav_data(const std::string& path) { return read_file(path).substr(44); }

// Every stream is decoded from a silent history, whatever the stream before
// it left: in the scan after a stream of its own, and between the streams of
// one -detail block. Each WAV equals the stand-alone -audio conversion.
TEST(ScanAll, EachStreamStartsFromASilentHistory) {
  TempDir dir;
  const mkdisc::AudioFormat mono{37800, false};
  const size_t samples = static_cast<size_t>(mkdisc::samples_per_sector(mono)) * 4;
  const auto loud = mkdisc::encode_xa_audio(ending_loud(samples), mono, 1, 3);
  const auto swell = mkdisc::encode_xa_audio(opening_on_a_swell(samples), mono, 1, 4);
  // The first sound unit of the swell uses a prediction filter: the
  // history it starts from shows in every sample after it.
  constexpr size_t kFirstParameter = 8 + 4;  // subheader, then a group's four header copies
  ASSERT_NE(swell.front()[kFirstParameter] >> 4, 0);

  mkdisc::SectorList sectors;
  mkdisc::append(sectors, xa_test::lay_out(loud, 2));
  mkdisc::append(sectors, mkdisc::gap_sectors(kQuietGap));
  mkdisc::append(sectors, xa_test::lay_out(swell, 2));
  mkdisc::append(sectors, mkdisc::gap_sectors(kQuietGap));
  // A -detail block: the loud stream on channel 5 and the swell on 6, one
  // sector each in turn.
  const auto block_loud = mkdisc::encode_xa_audio(ending_loud(samples), mono, 2, 5);
  const auto block_swell = mkdisc::encode_xa_audio(opening_on_a_swell(samples), mono, 2, 6);
  mkdisc::append(sectors, mkdisc::merge_round_robin({block_loud, block_swell}));
  mkdisc::append(sectors, mkdisc::gap_sectors(kQuietGap));
  mkdisc::write_sector_file(dir.file("XA.STR"), sectors, mkdisc::SectorForm::form2336);

  // Stand-alone, each stream is found from the start through a wide window.
  ASSERT_EQ(run_korvane({"-no-cdrom", "-audio", "-search:1000", "-channel:4", "XA.STR", "alone4.wav"}, dir.path())
                .status,
            0);
  ASSERT_EQ(run_korvane({"-no-cdrom", "-audio", "-search:1000", "-file:2", "-channel:6", "XA.STR", "alone6.wav"},
                        dir.path())
                .status,
            0);
  const std::string alone4 = wav_data(dir.file("alone4.wav"));
  const std::string alone6 = wav_data(dir.file("alone6.wav"));
  ASSERT_EQ(alone4.size(), 4u * kPcmSectorBytes);

  const auto plain = run_korvane({"-no-cdrom", "-all", "XA.STR", "plain"}, dir.path());
  ASSERT_EQ(plain.status, 0) << plain.out;
  EXPECT_TRUE(wav_data(dir.file("plain1001.wav")) == alone4) << "after a stream of the scan";

  const auto detail = run_korvane({"-no-cdrom", "-all", "-detail", "XA.STR", "detail"}, dir.path());
  ASSERT_EQ(detail.status, 0) << detail.out;
  EXPECT_TRUE(wav_data(dir.file("detail1001.wav")) == alone4) << "after a stream of the scan";
  EXPECT_TRUE(wav_data(dir.file("detail1003.wav")) == alone6) << "within a -detail block";
}

}  // namespace
