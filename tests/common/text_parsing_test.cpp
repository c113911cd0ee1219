// The number, keyword and ON/OFF parsers shared by the command line and
// korvane.ini.
#include "base/text_parsing.hpp"

#include <gtest/gtest.h>

namespace {

bool scan(const char* text, char terminator, int32_t& value, const char** after = nullptr) {
  const char* cursor = text;
  const bool ok = scan_signed_number(cursor, terminator, value);
  if (after != nullptr) *after = cursor;
  if (!ok) {
    EXPECT_EQ(cursor, text) << "a failed scan must leave the cursor";
  }
  return ok;
}

TEST(SignedNumber, BlanksAnywhereAndMinusAnywhere) {
  int32_t v = 0;
  ASSERT_TRUE(scan("1 6", '\0', v));
  EXPECT_EQ(v, 16);
  ASSERT_TRUE(scan("5-00", '\0', v));
  EXPECT_EQ(v, -500);
  ASSERT_TRUE(scan("--7", '\0', v));  // a second minus does not toggle
  EXPECT_EQ(v, -7);
  ASSERT_TRUE(scan("\t 12 \t", '\0', v));
  EXPECT_EQ(v, 12);
  ASSERT_TRUE(scan("", '\0', v));  // no digit at all is zero
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(scan("4294967297", '\0', v));  // wraps at 32 bits
  EXPECT_EQ(v, 1);
}

TEST(SignedNumber, TerminatorMovesCursorPastIt) {
  const char* text = " -1 / -1";
  const char* cursor = text;
  int32_t adapter = 0, target = 0;
  ASSERT_TRUE(scan_signed_number(cursor, '/', adapter));
  EXPECT_EQ(cursor, text + 5);
  ASSERT_TRUE(scan_signed_number(cursor, '\0', target));
  EXPECT_EQ(adapter, -1);
  EXPECT_EQ(target, -1);
}

TEST(SignedNumber, RefusesOtherCharacters) {
  int32_t v = 0;
  EXPECT_FALSE(scan("12", '/', v));   // end of text before the "/"
  EXPECT_FALSE(scan("1\n", '\0', v));
  EXPECT_FALSE(scan("1a", '\0', v));
  EXPECT_FALSE(scan("+1", '\0', v));
  EXPECT_FALSE(scan("1.5", '\0', v));
}

TEST(SignedNumber, FailureActionIsCalled) {
  static int calls;
  calls = 0;
  const char* cursor = "x";
  EXPECT_EQ(parse_signed_number(cursor, '\0', [] { ++calls; }), 0);
  EXPECT_EQ(calls, 1);
  cursor = "42";
  EXPECT_EQ(parse_signed_number(cursor, '\0', [] { ++calls; }), 42);
  EXPECT_EQ(calls, 1);
}

TEST(Keyword, CaseInsensitiveTextAndExactTerminator) {
  const char* text = "auto";
  const char* cursor = text;
  ASSERT_TRUE(match_keyword(cursor, '\0', "AUTO"));
  EXPECT_EQ(cursor, text + 5);

  cursor = text = "AUTOMATIC";
  EXPECT_FALSE(match_keyword(cursor, '\0', "AUTO"));
  EXPECT_EQ(cursor, text);
  cursor = text = "AU";
  EXPECT_FALSE(match_keyword(cursor, '\0', "AUTO"));
  cursor = text = "AU\nTO";
  EXPECT_FALSE(match_keyword(cursor, '\0', "AUTO"));
  cursor = text = "OPTION/1";
  EXPECT_TRUE(match_keyword(cursor, '/', "OPTION"));
  EXPECT_STREQ(cursor, "1");
}

TEST(OnOff, OnlyTheTwoWordsAlone) {
  EXPECT_EQ(parse_on_off("ON"), 1);
  EXPECT_EQ(parse_on_off("on"), 1);
  EXPECT_EQ(parse_on_off("Off"), 0);
  EXPECT_EQ(parse_on_off("ON "), -1);
  EXPECT_EQ(parse_on_off(" ON"), -1);
  EXPECT_EQ(parse_on_off("O"), -1);
  EXPECT_EQ(parse_on_off(""), -1);
  EXPECT_EQ(parse_on_off("1"), -1);
}

}  // namespace
