// Reading FILE.INF back: line pieces, the text steps, the lookup over whole
// catalogues (several discs, damaged records, odd lines), and the record
// lines as written.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "format/catalogue/catalogue_lines.hpp"
#include "format/catalogue/catalogue_lookup.hpp"
#include "io/catalogue_record.hpp"

namespace {

std::vector<std::string> pieces_of(const std::string& text) {
  TextPieces pieces(text);
  std::vector<std::string> out;
  std::string piece;
  while (pieces.next(piece)) out.push_back(piece);
  return out;
}

std::vector<std::string> stream_pieces_of(const std::string& text) {
  FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  StreamPieces pieces(file);
  std::vector<std::string> out;
  std::string piece;
  while (pieces.next(piece)) out.push_back(piece);
  std::fclose(file);
  return out;
}

// A label padded with blanks to its 32 bytes.
std::string label(const std::string& text) { return text + std::string(32 - text.size(), ' '); }

std::string record(const std::string& volume, const std::vector<std::string>& movie_lines) {
  std::string text = volume + "\r\n";
  for (const std::string& line : movie_lines) text += line + "\r\n";
  return text + "\r\n";
}

CatalogueRange look_up(const std::string& catalogue, const std::string& volume,
                       const std::string& name) {
  TextPieces lines(catalogue);
  return find_catalogue_range(lines, reinterpret_cast<const uint8_t*>(volume.data()), name);
}

TEST(LinePieces, LinesEndAfterLineFeedAndLongLinesComeInPieces) {
  const std::string long_line(1100, 'x');
  const std::string text = "a\r\nbb\n" + long_line + "\nlast";
  const std::vector<std::string> expected = {"a\r\n", "bb\n", std::string(511, 'x'),
                                             std::string(511, 'x'), std::string(78, 'x') + "\n",
                                             "last"};
  EXPECT_EQ(pieces_of(text), expected);
  EXPECT_EQ(stream_pieces_of(text), expected);
  EXPECT_TRUE(pieces_of("").empty());
  EXPECT_TRUE(stream_pieces_of("").empty());
  const std::string with_zero("a\0b\n", 4);
  EXPECT_EQ(stream_pieces_of(with_zero), std::vector<std::string>{with_zero});
}

TEST(LineSteps, CutSkipUpperAndNumbers) {
  EXPECT_EQ(cut_line("abc\r\n"), "abc");
  EXPECT_EQ(cut_line("ab\rc\n"), "ab");
  EXPECT_EQ(cut_line("abc"), "abc");
  EXPECT_EQ(skip_blanks(" \t \tX Y"), "X Y");
  EXPECT_EQ(skip_blanks(" \t"), "");
  EXPECT_EQ(upper_case("open_str_0.\xe3\x82\xa2z"), "OPEN_STR_0.\xe3\x82\xa2Z");
  EXPECT_EQ(leading_number("1234"), 1234);
  EXPECT_EQ(leading_number("-17x"), -17);
  EXPECT_EQ(leading_number("+8 9"), 8);
  EXPECT_EQ(leading_number("abc"), 0);
  EXPECT_EQ(leading_number("-"), 0);
  EXPECT_EQ(leading_number(""), 0);
  EXPECT_EQ(leading_number("4294967297"), 1);  // kept to 32 bits
  EXPECT_EQ(leading_number("99999999999999999999999"), -159383553);
}

TEST(CatalogueLookup, FindsTheEntryOfTheCurrentDisc) {
  const std::string disc_a = label("DISC_A");
  const std::string disc_b = label("DISC_B");
  const std::string text =
      record(disc_a, {"  OPEN_STR_0", "    100", "    250", "  OPEN_STR_1", "    250", "    400"}) +
      record(disc_b, {"  OPEN_STR_0", "    7", "    9"});
  CatalogueRange range = look_up(text, disc_a, "OPEN_STR_1");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, 250);
  EXPECT_EQ(range.end, 400);
  // Same name on two discs: the volume line decides which record is used.
  range = look_up(text, disc_b, "OPEN_STR_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, 7);
  EXPECT_EQ(range.end, 9);
  range = look_up(text, disc_a, "open_str_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, 100);
  EXPECT_FALSE(look_up(text, label("DISC_C"), "OPEN_STR_0").found);
  EXPECT_FALSE(look_up(text, disc_a, "OPEN_STR_2").found);
  EXPECT_FALSE(look_up(text, disc_a, "OPEN_STR").found);
}

TEST(CatalogueLookup, EntrySearchRunsOnPastItsOwnRecord) {
  const std::string text = record(label("DISC_A"), {}) +
                           record(label("DISC_B"), {"  MOV_0", "    5", "    6"});
  const CatalogueRange range = look_up(text, label("DISC_A"), "MOV_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, 5);
}

TEST(CatalogueLookup, LabelMustMatchAllItsBytesInUpperCase) {
  const std::string text = record(label("DISC"), {"  M_0", "    1", "    2"});
  EXPECT_FALSE(look_up(text, label("DISC_LONGER"), "M_0").found);
  EXPECT_FALSE(look_up(text, std::string("DISC") + std::string(28, '\0'), "M_0").found);
  // A label in lower case is found again: both sides are compared in upper case.
  EXPECT_TRUE(look_up(record(label("Disc"), {"  M_0", "    1", "    2"}), label("Disc"), "M_0").found);
  // A label of zero bytes (no volume descriptor) is still a line of 32 bytes.
  const std::string zero_label(32, '\0');
  const CatalogueRange range = look_up(record(zero_label, {"  M_0", "    3", "    4"}), zero_label, "M_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.end, 4);
}

TEST(CatalogueLookup, RecordCutShortIsNotFound) {
  const std::string disc = label("DISC");
  EXPECT_FALSE(look_up(disc + "\r\n  M_0\r\n    10\r\n", disc, "M_0").found);
  EXPECT_FALSE(look_up(disc + "\r\n  M_0\r\n", disc, "M_0").found);
  EXPECT_FALSE(look_up(disc + "\r\n", disc, "M_0").found);
  EXPECT_FALSE(look_up("", disc, "M_0").found);
  // The end line without its line ending still counts.
  const CatalogueRange range = look_up(disc + "\r\n  M_0\r\n    10\r\n    20", disc, "M_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.end, 20);
}

TEST(CatalogueLookup, OddLinesNeverBreakTheSearch) {
  const std::string disc = label("DISC");
  // Bare LF endings, tabs before the name, signs and junk in the number lines.
  CatalogueRange range = look_up(disc + "\n\t M_0\n\t-5junk\nnot a number\n", disc, "M_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, -5);
  EXPECT_EQ(range.end, 0);
  // An overlong line is read in pieces; none of them is mistaken for the entry.
  const std::string overlong = std::string(600, 'Q') + "\r\n";
  range = look_up(overlong + disc + "\r\n" + overlong + "  M_0\r\n    1\r\n    2\r\n", disc, "M_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, 1);
  // Text after the name on its line means another entry.
  EXPECT_FALSE(look_up(disc + "\r\n  M_0 \r\n    1\r\n    2\r\n", disc, "M_0").found);
  // Binary junk.
  std::string junk(4096, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 7 + 3);
  EXPECT_FALSE(look_up(junk, disc, "M_0").found);
}

TEST(CatalogueRecord, LinesAreWrittenWithCrLf) {
  const std::string volume = label("SAMPLE");
  std::string bytes;
  add_volume_line(bytes, reinterpret_cast<const uint8_t*>(volume.data()));
  add_entry_line(bytes, "  OPEN_STR_0");
  add_sector_line(bytes, 24);
  add_sector_line(bytes, -3);
  add_closing_line(bytes);
  EXPECT_EQ(bytes, volume + "\r\n  OPEN_STR_0\r\n    24\r\n    -3\r\n\r\n");
  // What is written is found again.
  const CatalogueRange range = look_up(bytes, volume, "open_str_0");
  EXPECT_TRUE(range.found);
  EXPECT_EQ(range.first, 24);
  EXPECT_EQ(range.end, -3);
}

}  // namespace
