// Finding a movie's sector range in the catalogue text.
#include "format/catalogue/catalogue_lookup.hpp"

#include <string>

namespace {

// The next line, cut at its line ending and upper-cased; false at the end.
bool next_line(LinePieces& lines, std::string& line) {
  std::string piece;
  if (!lines.next(piece)) return false;
  line = upper_case(cut_line(piece));
  return true;
}

}  // namespace

CatalogueRange find_catalogue_range(LinePieces& lines, const uint8_t* label,
                                    std::string_view entry_name) {
  CatalogueRange range;
  // Volume labels are upper case on ISO 9660 discs; the label goes through
  // the same conversion as the line so that any label can be found again.
  const std::string wanted_label =
      upper_case(std::string_view(reinterpret_cast<const char*>(label), kVolumeIdBytes));
  const std::string wanted_entry = upper_case(entry_name);
  std::string line;
  do {
    if (!next_line(lines, line)) return range;
  } while (line != wanted_label);
  do {
    if (!next_line(lines, line)) return range;
  } while (skip_blanks(line) != wanted_entry);
  if (!next_line(lines, line)) return range;
  range.first = leading_number(skip_blanks(line));
  if (!next_line(lines, line)) return range;
  range.end = leading_number(skip_blanks(line));
  range.found = true;
  return range;
}
