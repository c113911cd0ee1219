// Line pieces and text steps of the catalogue reader.
#include "format/catalogue/catalogue_lines.hpp"

bool TextPieces::next(std::string& piece) {
  if (at_ >= text_.size()) return false;
  size_t length = 0;
  while (length < kLinePieceMax && at_ + length < text_.size()) {
    if (text_[at_ + length++] == '\n') break;
  }
  piece.assign(text_.substr(at_, length));
  at_ += length;
  return true;
}

bool StreamPieces::next(std::string& piece) {
  piece.clear();
  while (piece.size() < kLinePieceMax) {
    const int c = std::fgetc(file_);
    if (c == EOF) break;
    piece.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !piece.empty();
}

std::string_view cut_line(std::string_view piece) {
  const size_t end = piece.find_first_of("\r\n");
  return end == std::string_view::npos ? piece : piece.substr(0, end);
}

std::string_view skip_blanks(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string upper_case(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

int32_t leading_number(std::string_view text) {
  size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  uint32_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    value = value * 10u + static_cast<uint32_t>(text[at] - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}
