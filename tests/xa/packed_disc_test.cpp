// -disc-all and -all on material packed the way mastering tools pack it: STR
// and XA files back to back on one disc, movies back to back on one channel
// in a container, XA files of different formats, 8-bit sound. Every movie's
// soundtrack and every XA channel must come out whole, each in one WAV of its
// own format, with no header-only WAV and nothing converted twice.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "format/disc/xa_sector.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/xa/xa_fixture.hpp"
#include "tools/mkdisc/iso_image.hpp"
#include "tools/mkdisc/movie.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/sector_file.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

namespace {

using xa_test::read_wav;
using xa_test::run_korvane;

// What one WAV must hold: the decoder's reading of the stream's sectors.
struct WantedWav {
  std::vector<int16_t> samples;
  int channels;
  int rate;
};

std::string numbered(const std::string& base, int n, const char* extension) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", n);
  return base + text + extension;
}

// A movie of file 1, channel 1, with 37800 Hz stereo sound on its own
// channel; the audio sector comes first in each group of eight, as some
// encoders lay it out.
mkdisc::Movie packed_movie(int frames, int pattern_frame) {
  mkdisc::MovieSpec movie_spec;
  movie_spec.width = 48;
  movie_spec.height = 32;
  movie_spec.frames = frames;
  movie_spec.first_pattern_frame = pattern_frame;
  movie_spec.sectors_per_frame = 10;
  movie_spec.audio = true;
  movie_spec.audio_slot = 0;
  return mkdisc::build_movie(movie_spec);
}

mkdisc::SectorList audio_of(const mkdisc::Movie& m) {
  mkdisc::SectorList audio;
  for (const auto& s : m.sectors)
    if (is_audio_sector(s.data())) audio.push_back(s);
  return audio;
}

// An XA file of `channels` streams of file 1, channel c in slot c of every
// group of the format's interleave, `rounds` sectors each.
struct XaFile {
  mkdisc::SectorList sectors;
  std::vector<mkdisc::SectorList> streams;
  mkdisc::AudioFormat format;
};

XaFile xa_file(mkdisc::AudioFormat format, int channels, int rounds) {
  XaFile x;
  x.format = format;
  const int interleave = mkdisc::audio_interleave(format);
  for (int c = 0; c < channels; ++c) {
    const auto pcm = mkdisc::make_pcm(c % 2 ? mkdisc::Sound::melody : mkdisc::Sound::sweep, format.rate,
                                      format.stereo, static_cast<size_t>(mkdisc::samples_per_sector(format)) * rounds);
    x.streams.push_back(mkdisc::encode_xa_audio(pcm, format, 1, c));
  }
  for (int r = 0; r < rounds; ++r)
    for (int slot = 0; slot < interleave; ++slot)
      x.sectors.push_back(slot < channels ? x.streams[slot][r] : mkdisc::gap_sectors(1)[0]);
  return x;
}

void expect_wavs(const TempDir& dir, const std::map<std::string, WantedWav>& wanted) {
  // Exactly these WAV files, none of them header-only.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".wav") continue;
    EXPECT_TRUE(wanted.count(name)) << "unexpected " << name;
    EXPECT_GT(std::filesystem::file_size(entry.path()), 44u) << name;
  }
  for (const auto& [name, want] : wanted) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(file_exists(dir.file(name)));
    const auto wav = read_wav(dir.file(name));
    EXPECT_EQ(wav.field16(22), want.channels);
    EXPECT_EQ(wav.field32(24), static_cast<uint32_t>(want.rate));
    EXPECT_EQ(wav.samples, want.samples);
  }
}

TEST(PackedDisc, FilesBackToBackKeepEveryStreamWholeAndApart) {
  TempDir dir;
  const mkdisc::Movie a = packed_movie(4, 0), b = packed_movie(3, 5);
  const XaFile c = xa_file({37800, true, 4}, 8, 4);   // eight channels, one sector in 8
  const XaFile d = xa_file({18900, false, 4}, 2, 3);  // two channels, one sector in 32
  const XaFile e = xa_file({37800, true, 8}, 4, 3);   // 8-bit: four channels, one in 4
  const auto iso = mkdisc::build_iso_image(
      "PACKED", {{"MOVIE/A.STR", a.sectors, 0}, {"MOVIE/B.STR", b.sectors, 0}, {"SOUND/C.XA", c.sectors, 0},
                 {"SOUND/D.XA", d.sectors, 0}, {"SOUND/E.XA", e.sectors, 0}});
  // Back to back: each file starts where the one before ends.
  ASSERT_EQ(iso.files.at("MOVIE/B.STR").first_sector,
            iso.files.at("MOVIE/A.STR").first_sector + a.sectors.size());
  ASSERT_EQ(iso.files.at("SOUND/C.XA").first_sector,
            iso.files.at("MOVIE/B.STR").first_sector + b.sectors.size());
  mkdisc::write_sector_file(dir.file("disc.img"), iso.sectors, mkdisc::SectorForm::form2336);

  const auto r = run_korvane({"-disc-all", "-image:disc.img", "p"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(file_exists(dir.file("p0000.avi")));
  EXPECT_TRUE(file_exists(dir.file("p0001.avi")));
  EXPECT_FALSE(file_exists(dir.file("p0002.avi")));

  std::map<std::string, WantedWav> wanted;
  wanted["p0000.wav"] = {mkdisc::decode_xa_audio(audio_of(a), true), 2, 37800};
  wanted["p0001.wav"] = {mkdisc::decode_xa_audio(audio_of(b), true), 2, 37800};
  int number = 1000;
  for (const XaFile* x : {&c, &d, &e})
    for (const auto& stream : x->streams)
      wanted[numbered("p", number++, ".wav")] = {mkdisc::decode_xa_audio(stream, x->format.stereo, x->format.bits),
                                                 x->format.stereo ? 2 : 1, x->format.rate};
  expect_wavs(dir, wanted);
}

TEST(PackedDisc, MoviesBackToBackOnOneChannelKeepTheirOwnSoundtracks) {
  // Three movies in one container, one after another on file 1, channel 1,
  // each opening with an audio sector: no directory to help, only the span
  // of each movie's frames tells whose the sector before a movie is.
  TempDir dir;
  const mkdisc::Movie m0 = packed_movie(3, 0), m1 = packed_movie(3, 4), m2 = packed_movie(2, 8);
  ASSERT_NE(m0.sectors.size() % 8, 0u) << "the next movie's audio must fall off the first one's interleave";
  mkdisc::SectorList sectors = mkdisc::gap_sectors(4);
  for (const auto* m : {&m0, &m1, &m2}) mkdisc::append(sectors, m->sectors);
  mkdisc::append(sectors, mkdisc::gap_sectors(4));
  mkdisc::write_sector_file(dir.file("ALL.STR"), sectors, mkdisc::SectorForm::form2336);

  const auto r = run_korvane({"-no-cdrom", "-all", "ALL.STR", "b"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.out;
  std::map<std::string, WantedWav> wanted;
  int k = 0;
  for (const auto* m : {&m0, &m1, &m2}) {
    EXPECT_TRUE(file_exists(dir.file(numbered("b", k, ".avi"))));
    wanted[numbered("b", k++, ".wav")] = {mkdisc::decode_xa_audio(audio_of(*m), true), 2, 37800};
  }
  expect_wavs(dir, wanted);
}

}  // namespace
