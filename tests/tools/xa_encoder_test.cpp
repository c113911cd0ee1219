// The XA ADPCM encoder: format bytes, quality against the decoder it models,
// sector layout of mono and stereo, clipping and silence.
#include <gtest/gtest.h>

#include "tests/tools/reference_decoder.hpp"
#include "tools/mkdisc/pcm.hpp"
#include "tools/mkdisc/xa_encoder.hpp"

using namespace mkdisc;

TEST(XaEncoder, FormatBytesAndInterleave) {
  EXPECT_EQ(coding_info_of({37800, true}), 0x01);
  EXPECT_EQ(coding_info_of({18900, false}), 0x04);
  EXPECT_EQ(audio_interleave({37800, true}), 8);
  EXPECT_EQ(audio_interleave({37800, false}), 16);
  EXPECT_EQ(audio_interleave({18900, true}), 16);
  EXPECT_EQ(audio_interleave({18900, false}), 32);
  EXPECT_EQ(samples_per_sector({37800, true}), 2016);
  EXPECT_EQ(samples_per_sector({37800, false}), 4032);
  EXPECT_THROW(check_audio_format({44100, true}), Error);
  const SectorList s = encode_xa_audio(std::vector<int16_t>(10, 0), {18900, true}, 3, 7);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0][0], 3);
  EXPECT_EQ(s[0][1], 7);
  EXPECT_EQ(s[0][2], 0x64);
  EXPECT_EQ(s[0][3], 0x05);
  EXPECT_EQ(s[0][4], 3);  // the subheader's copy
  EXPECT_EQ(s[0][7], 0x05);
}

TEST(XaEncoder, EightBitFormatAndQuality) {
  EXPECT_EQ(coding_info_of({37800, true, 8}), 0x11);
  EXPECT_EQ(coding_info_of({18900, false, 8}), 0x14);
  EXPECT_EQ(audio_interleave({37800, true, 8}), 4);
  EXPECT_EQ(audio_interleave({18900, false, 8}), 16);
  EXPECT_EQ(samples_per_sector({37800, true, 8}), 1008);
  EXPECT_EQ(samples_per_sector({37800, false, 8}), 2016);
  EXPECT_THROW(check_audio_format({37800, true, 6}), Error);
  for (bool stereo : {false, true}) {
    const AudioFormat f{37800, stereo, 8};
    const std::vector<int16_t> pcm = make_pcm(Sound::melody, f.rate, stereo, 3 * static_cast<size_t>(samples_per_sector(f)));
    const SectorList sectors = encode_xa_audio(pcm, f, 1, 1);
    ASSERT_EQ(sectors.size(), 3u);
    EXPECT_EQ(sectors[0][3], coding_info_of(f));
    const std::vector<int16_t> back = decode_xa_audio(sectors, stereo, 8);
    ASSERT_EQ(back.size(), pcm.size());
    // Eight bits a sample leave far less quantisation noise than four.
    EXPECT_GE(reference::snr_db(pcm, back), 50.0) << "stereo " << stereo;
  }
}

TEST(XaEncoder, SweepAndMelodyDecodeWithHighSnr) {
  for (bool stereo : {false, true})
    for (Sound sound : {Sound::sweep, Sound::melody}) {
      const AudioFormat f{37800, stereo};
      const std::vector<int16_t> pcm = make_pcm(sound, f.rate, stereo, 3 * static_cast<size_t>(samples_per_sector(f)));
      const SectorList sectors = encode_xa_audio(pcm, f, 1, 1);
      ASSERT_EQ(sectors.size(), 3u);
      const std::vector<int16_t> back = decode_xa_audio(sectors, stereo);
      ASSERT_EQ(back.size(), pcm.size());
      EXPECT_GE(reference::snr_db(pcm, back), 35.0) << "stereo " << stereo;
    }
}

TEST(XaEncoder, StereoKeepsChannelsApart) {
  // Left a tone, right silence: the right channel must stay silent, so left
  // samples live only in the even units.
  const AudioFormat f{37800, true};
  const size_t n = static_cast<size_t>(samples_per_sector(f));
  const std::vector<int16_t> tone = make_pcm(Sound::sweep, f.rate, false, n);
  std::vector<int16_t> pcm(2 * n, 0);
  for (size_t i = 0; i < n; ++i) pcm[2 * i] = tone[i];
  const std::vector<int16_t> back = decode_xa_audio(encode_xa_audio(pcm, f, 1, 1), true);
  for (size_t i = 0; i < n; ++i) ASSERT_EQ(back[2 * i + 1], 0) << i;
  EXPECT_GE(reference::snr_db(pcm, back), 35.0);
}

TEST(XaEncoder, SilenceAndPaddingAreExactZeros) {
  const AudioFormat f{37800, false};
  const std::vector<int16_t> back = decode_xa_audio(encode_xa_audio(std::vector<int16_t>(100, 0), f, 1, 1), false);
  ASSERT_EQ(back.size(), 4032u);
  for (int16_t v : back) ASSERT_EQ(v, 0);
}

TEST(XaEncoder, FullScaleSquareWaveSurvives) {
  // Hard edges between the limits: the encoder must not let the history run
  // away; output stays near the source.
  const AudioFormat f{18900, false};
  std::vector<int16_t> pcm(4032);
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = (i / 50) % 2 ? 32767 : -32768;
  const std::vector<int16_t> back = decode_xa_audio(encode_xa_audio(pcm, f, 1, 1), false);
  EXPECT_GE(reference::snr_db(pcm, back), 15.0);
}

TEST(XaEncoder, HistoryCarriesAcrossSectors) {
  // Encoding sector by sector with one encoder equals encoding the whole run,
  // and decoding the run in one go tracks the source on both sides of the
  // sector boundary.
  const AudioFormat f{37800, true};
  const size_t per = static_cast<size_t>(samples_per_sector(f));
  const std::vector<int16_t> pcm = make_pcm(Sound::melody, f.rate, true, 2 * per);
  XaEncoder enc(f, 1, 1);
  SectorList one_by_one{enc.encode_sector(pcm.data(), per), enc.encode_sector(pcm.data() + 2 * per, per)};
  EXPECT_EQ(one_by_one, encode_xa_audio(pcm, f, 1, 1));
}
