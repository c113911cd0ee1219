// Entry names: base name after the last separator, dots to underscores, the
// index suffix, and names too long for the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "format/catalogue/catalogue_lines.hpp"
#include "format/catalogue/entry_name.hpp"
#include "format/catalogue/scan_resume.hpp"

namespace {

std::string entry_for(const char* input, int32_t index) {
  char entry[kEntryNameSize];
  const size_t end = build_entry_base(input, entry);
  set_entry_index(entry, end, index);
  return entry;
}

TEST(EntryName, BaseNameAfterTheLastSeparatorWithDotsReplaced) {
  EXPECT_EQ(entry_for("E:\\MOVIE\\OPEN.STR", 0), "  OPEN_STR_0");
  EXPECT_EQ(entry_for("/discs/movie/open.str", 12), "  open_str_12");
  EXPECT_EQ(entry_for("E:OPEN.STR", 1), "  OPEN_STR_1");
  EXPECT_EQ(entry_for("A.B.C", 3), "  A_B_C_3");
  EXPECT_EQ(entry_for("dir\\sub/x.y:z.w", 0), "  z_w_0");
}

TEST(EntryName, SeparatorInFirstPositionOrLastIsTakenAsItStands) {
  EXPECT_EQ(entry_for("/OPEN.STR", 0), "  /OPEN_STR_0");
  EXPECT_EQ(entry_for("\\X", 0), "  \\X_0");
  EXPECT_EQ(entry_for("MOVIE/", 4), "  _4");
  EXPECT_EQ(entry_for("", 0), "  _0");
}

TEST(EntryName, LaterIndexReplacesTheEarlierSuffix) {
  char entry[kEntryNameSize];
  const size_t end = build_entry_base("BIG.BIN", entry);
  set_entry_index(entry, end, 123456);
  set_entry_index(entry, end, 7);
  EXPECT_STREQ(entry, "  BIG_BIN_7");
  set_entry_index(entry, end, 2147483647);
  EXPECT_STREQ(entry, "  BIG_BIN_2147483647");
}

TEST(EntryName, OverlongNameKeepsRoomForTheSuffixAndFitsOneLinePiece) {
  const std::string input = "DIR/" + std::string(511 - 4, 'N');
  char entry[kEntryNameSize];
  const size_t end = build_entry_base(input.c_str(), entry);
  set_entry_index(entry, end, 2147483647);
  const size_t length = std::strlen(entry);
  EXPECT_EQ(length, kEntryLineLimit);
  EXPECT_EQ(std::string(entry + length - 11), "_2147483647");
  // The line with its CR LF comes back from the reader as one piece.
  const std::string line = std::string(entry) + "\r\n";
  EXPECT_LE(line.size(), kLinePieceMax);
}

TEST(ScanResume, GoesOnRightAfterTheLastVideoSectorButNeverAtTheMovieStart) {
  EXPECT_EQ(resume_sector(100, 400), 401);
  EXPECT_EQ(resume_sector(100, 116), 117);
  EXPECT_EQ(resume_sector(100, 115), 116);
  EXPECT_EQ(resume_sector(100, 101), 102);
  EXPECT_EQ(resume_sector(100, 100), 101);
  EXPECT_EQ(resume_sector(100, 99), 101);
  EXPECT_EQ(resume_sector(0, 3), 4);
}

}  // namespace
