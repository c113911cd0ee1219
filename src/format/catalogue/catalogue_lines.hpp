// Reading FILE.INF back: lines come in pieces of at most 511 characters (a
// longer line gives several pieces, each handled as a line of its own; the
// last line needs no line ending), and the small text steps the lookup takes
// on each of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

constexpr size_t kLinePieceMax = 511;

// A source of line pieces: each holds up to kLinePieceMax bytes and ends
// after the first line feed, if one comes before that.
class LinePieces {
 public:
  virtual ~LinePieces() = default;
  // False at the end of the text (or when the stream cannot be read).
  virtual bool next(std::string& piece) = 0;
};

class TextPieces final : public LinePieces {
 public:
  explicit TextPieces(std::string_view text) : text_(text) {}
  bool next(std::string& piece) override;

 private:
  std::string_view text_;
  size_t at_ = 0;
};

class StreamPieces final : public LinePieces {
 public:
  explicit StreamPieces(FILE* file) : file_(file) {}
  bool next(std::string& piece) override;

 private:
  FILE* file_;
};

// The line up to its first carriage return or line feed.
std::string_view cut_line(std::string_view piece);

// The text after its leading blanks and tabs.
std::string_view skip_blanks(std::string_view text);

// Letters a to z turned into A to Z; every other byte kept.
std::string upper_case(std::string_view text);

// The leading decimal number: an optional sign, then digits up to the first
// other character, kept to 32 bits with wrap-around; no digit gives 0.
int32_t leading_number(std::string_view text);
