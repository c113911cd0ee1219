// CUE sheets as rippers write them: one file or one file per track, INDEX
// 00 pregaps stored in the file, PREGAP and POSTGAP that are not, Windows
// line ends and byte order marks; and the sheets that must be refused.
#include <gtest/gtest.h>

#include <string>

#include "format/image/cue_layout.hpp"
#include "format/image/cue_sheet.hpp"

namespace {

constexpr int64_t kRaw = 2352;

bool recognised(const std::string& text) {
  return looks_like_cue_sheet(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

CueLayout lay_out(const std::string& text, const std::vector<int64_t>& sizes) {
  const CueParse parse = parse_cue_sheet(text);
  EXPECT_EQ(parse.fault, nullptr) << (parse.fault ? parse.fault : "");
  return lay_out_cue_sheet(parse.sheet, sizes);
}

TEST(CueSheet, IsRecognisedByItsFirstKeyword) {
  EXPECT_TRUE(recognised("FILE \"a.bin\" BINARY\n"));
  EXPECT_TRUE(recognised("\xEF\xBB\xBFREM made by a ripper\r\nFILE x BINARY\r\n"));
  EXPECT_TRUE(recognised("\r\n  file \"a.bin\" binary\n"));
  EXPECT_TRUE(recognised("CATALOG 0000000000000\n"));
  // Sector data: no keyword, or one not followed by a blank.
  EXPECT_FALSE(recognised(std::string("\x01\x01\x48\x00\x01\x01\x48\x00", 8)));
  EXPECT_FALSE(recognised("FILEFILE"));
  EXPECT_FALSE(recognised("FILE"));
  EXPECT_FALSE(recognised("MOVIE \"a\"\n"));
}

TEST(CueSheet, OneFileWithADataAndAnAudioTrack) {
  const std::string text =
      "\xEF\xBB\xBF" "FILE \"Game (Europe).bin\" BINARY\r\n"
      "  TRACK 01 MODE2/2352\r\n"
      "    INDEX 01 00:00:00\r\n"
      "  track 02 audio\r\n"
      "    INDEX 00 00:40:00\r\n"
      "    INDEX 01 00:42:00\r\n";
  const CueParse parse = parse_cue_sheet(text);
  ASSERT_EQ(parse.fault, nullptr);
  ASSERT_EQ(parse.sheet.files.size(), 1u);
  EXPECT_EQ(parse.sheet.files[0].name, "Game (Europe).bin");
  const CueLayout layout = lay_out_cue_sheet(parse.sheet, {(3000 + 450) * kRaw + 100});
  ASSERT_EQ(layout.fault, nullptr);
  ASSERT_EQ(layout.tracks.size(), 2u);
  EXPECT_EQ(layout.tracks[0].first_sector, 0);
  EXPECT_EQ(layout.tracks[0].sectors, 3000);
  EXPECT_EQ(layout.tracks[1].kind, TrackKind::Audio);
  EXPECT_EQ(layout.tracks[1].first_sector, 3000);  // its INDEX 00 pregap is stored
  EXPECT_EQ(layout.tracks[1].sectors, 450);        // the partial record at the end is not
  EXPECT_EQ(layout.tracks[1].location, static_cast<uint64_t>(3000 * kRaw));
}

TEST(CueSheet, FilePerTrackWithGapsThatAreNotStored) {
  const std::string text =
      "FILE \"t1.bin\" BINARY\n  TRACK 01 MODE2/2336\n    INDEX 01 00:00:00\n    POSTGAP 00:00:10\n"
      "FILE t2 with blanks.bin BINARY\n  TRACK 02 MODE1/2048\n    PREGAP 00:02:00\n    INDEX 01 00:00:00\n"
      "FILE \"t3.bin\" BINARY\n  TRACK 03 AUDIO\n    INDEX 00 00:00:00\n    INDEX 01 00:02:00\n";
  const CueParse parse = parse_cue_sheet(text);
  ASSERT_EQ(parse.fault, nullptr);
  EXPECT_EQ(parse.sheet.files[1].name, "t2 with blanks.bin");
  const CueLayout layout = lay_out_cue_sheet(parse.sheet, {1000 * 2336, 200 * 2048, 400 * kRaw});
  ASSERT_EQ(layout.fault, nullptr);
  ASSERT_EQ(layout.tracks.size(), 3u);
  EXPECT_EQ(layout.tracks[0].sectors, 1000);
  EXPECT_EQ(layout.tracks[1].first_sector, 1000 + 10 + 150);
  EXPECT_EQ(layout.tracks[1].file, 1);
  EXPECT_EQ(layout.tracks[1].location, 0u);
  EXPECT_EQ(layout.tracks[2].first_sector, 1000 + 10 + 150 + 200);
}

TEST(CueSheet, SectorZeroIsTheFirstTracksIndexOne) {
  const CueLayout layout = lay_out(
      "FILE \"d.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 00 00:00:00\nINDEX 01 00:02:00\n", {1000 * kRaw});
  ASSERT_EQ(layout.fault, nullptr);
  EXPECT_EQ(layout.tracks[0].first_sector, -150);
  EXPECT_EQ(layout.tracks[0].sectors, 1000);
}

TEST(CueSheet, DamagedSheetsAreRefusedWithTheLineAtFault) {
  const std::pair<const char*, int> bad[] = {
      {"TRACK 01 MODE2/2352\n", 1},
      {"FILE \"a.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:60:00\n", 3},
      {"FILE \"a.bin\" WAVE\n", 1},
      {"FILE \"a.bin\" BINARY\nTRACK 01 CDG\n", 2},
      {"FILE \"a.bin BINARY\n", 1},
      {"FILE \"a.bin\" BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\n", 4},
      {"FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nWHATEVER\n", 4},
      {"FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:10\nINDEX 00 00:00:00\n", 4},
  };
  for (const auto& [text, line] : bad) {
    const CueParse parse = parse_cue_sheet(text);
    EXPECT_NE(parse.fault, nullptr) << text;
    EXPECT_EQ(parse.line, line) << text;
  }
  // Whole-sheet faults: no tracks, a track without INDEX 01.
  EXPECT_NE(parse_cue_sheet("REM nothing\n").fault, nullptr);
  EXPECT_NE(parse_cue_sheet("FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\n").fault, nullptr);
}

TEST(CueSheet, AFileShorterThanTheSheetSaysIsNamed) {
  const std::string text =
      "FILE \"a.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:10:00\n"
      "FILE \"b.bin\" BINARY\nTRACK 03 AUDIO\nINDEX 01 00:01:00\n";
  const CueParse parse = parse_cue_sheet(text);
  ASSERT_EQ(parse.fault, nullptr);
  CueLayout layout = lay_out_cue_sheet(parse.sheet, {700 * kRaw, 100 * kRaw});
  EXPECT_NE(layout.fault, nullptr);
  EXPECT_EQ(layout.fault_file, 0);  // track 2 starts beyond its end
  layout = lay_out_cue_sheet(parse.sheet, {800 * kRaw, 75 * kRaw});
  EXPECT_NE(layout.fault, nullptr);
  EXPECT_EQ(layout.fault_file, 1);  // track 3's INDEX 01 is beyond its end
  layout = lay_out_cue_sheet(parse.sheet, {800 * kRaw, 76 * kRaw});
  EXPECT_EQ(layout.fault, nullptr);
}

}  // namespace
