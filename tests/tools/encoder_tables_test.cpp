// The synthesiser keeps its own copy of the MDEC tables and the XA sector
// layout, typed in the form an encoder uses. This compares it, entry by
// entry, with the tables korvane decodes with, so that a mistake in either
// copy shows here rather than going unnoticed in both.
#include <gtest/gtest.h>

#include "format/disc/xa_sector.hpp"
#include "format/mdec/mdec_tables.hpp"
#include "tools/mkdisc/encoder_tables.hpp"
#include "tools/mkdisc/sector_layout.hpp"

TEST(EncoderTables, MatchTheDecoderTablesEntryByEntry) {
  // Scan and quantisation: korvane indexes by scan position, the encoder by
  // block position.
  ASSERT_EQ(mkdisc::kBlockCoefficients, kCoefficientsPerBlock);
  for (int k = 0; k < kCoefficientsPerBlock; ++k) {
    const int position = kZigzag[k];
    EXPECT_EQ(int{mkdisc::kScanIndexAt[position]}, k) << "position " << position;
    EXPECT_EQ(int{mkdisc::kQuantMatrix[position]}, int{kQuantTable[k]}) << "scan index " << k;
  }

  // Every code korvane reads is the one the encoder writes for that pair,
  // and the encoder has no code korvane lacks.
  int encoder_codes = 0;
  for (int run = 0; run < mkdisc::kAcRuns; ++run)
    for (int level = 1; level <= mkdisc::kAcLevels; ++level)
      if (mkdisc::ac_code_bits(run, level) != nullptr) ++encoder_codes;
  EXPECT_EQ(encoder_codes, kAcCodeCount);
  for (const AcCode& c : kAcCodes)
    EXPECT_STREQ(mkdisc::ac_code_bits(c.run, c.level), c.bits)
        << "run " << int{c.run} << " level " << int{c.level};
  EXPECT_STREQ(mkdisc::kEndOfBlockCode, kEndOfBlockBits);
  EXPECT_STREQ(mkdisc::escape::kCode, kEscapeBits);
  EXPECT_EQ(mkdisc::escape::kRunBits, kEscapeRunBits);
  EXPECT_EQ(mkdisc::escape::kLevelBits, kEscapeLevelBits);

  EXPECT_EQ(mkdisc::dc::kVersion2Bits, kDcBitsV2);
  ASSERT_EQ(mkdisc::dc::kSizes, kDcSizeCount);
  for (int size = 0; size < kDcSizeCount; ++size) {
    EXPECT_STREQ(mkdisc::dc::kSizeCodes[size].luminance, kDcSizeLuminanceBits[size]) << "size " << size;
    EXPECT_STREQ(mkdisc::dc::kSizeCodes[size].chrominance, kDcSizeChrominanceBits[size]) << "size " << size;
  }

  EXPECT_EQ(mkdisc::frame_header::kBytes, kFrameHeaderBytes);
  EXPECT_EQ(mkdisc::frame_header::kScaleOffset, kFrameHeaderScaleOffset);
  EXPECT_EQ(mkdisc::frame_header::kVersionOffset, kFrameHeaderVersionOffset);
  EXPECT_EQ(mkdisc::frame_header::kMagic, kFrameHeaderMagic);

  // The sector layout.
  EXPECT_EQ(mkdisc::kMode2SectorBytes, kSectorBytes);
  EXPECT_EQ(mkdisc::kCdSectorBytes, kRawSectorBytes);
  EXPECT_EQ(mkdisc::kSyncHeaderBytes, kRawPrefixBytes);
  EXPECT_EQ(mkdisc::subheader::kBytes, kSubheaderBytes);
  EXPECT_EQ(mkdisc::subheader::kFile, kFileNumberOffset);
  EXPECT_EQ(mkdisc::subheader::kChannel, kChannelNumberOffset);
  EXPECT_EQ(mkdisc::subheader::kSubmode, kSubmodeOffset);
  EXPECT_EQ(mkdisc::subheader::kCodingInfo, kCodingInfoOffset);
  EXPECT_EQ(int{mkdisc::submode::kEndOfRecord}, int{kSubmodeEndOfRecord});
  EXPECT_EQ(int{mkdisc::submode::kVideo}, int{kSubmodeVideo});
  EXPECT_EQ(int{mkdisc::submode::kAudio}, int{kSubmodeAudio});
  EXPECT_EQ(int{mkdisc::submode::kData}, int{kSubmodeData});
  EXPECT_EQ(int{mkdisc::submode::kTrigger}, int{kSubmodeTrigger});
  EXPECT_EQ(int{mkdisc::submode::kForm2}, int{kSubmodeForm2});
  EXPECT_EQ(int{mkdisc::submode::kRealTime}, int{kSubmodeRealTime});
  EXPECT_EQ(int{mkdisc::submode::kEndOfFile}, int{kSubmodeEndOfFile});
  EXPECT_EQ(int{mkdisc::coding::kStereo}, int{kCodingStereo});
  EXPECT_EQ(int{mkdisc::coding::kHalfRate}, int{kCodingHalfRate});
}
