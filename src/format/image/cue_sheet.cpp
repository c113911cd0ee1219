// Recognising and parsing CUE sheets.
#include "format/image/cue_sheet.hpp"

#include <array>
#include <cctype>

#include "format/image/decimal_text.hpp"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kSecondsPerMinute = 60;
constexpr int kSectorsPerSecond = 75;
constexpr int kLargestTrack = 99;
constexpr int64_t kLargestMinutes = 999;  // far beyond any disc; keeps positions small

// Commands that describe the disc's layout, and those that carry only text.
constexpr std::array<std::string_view, 5> kLayoutCommands = {"FILE", "TRACK", "INDEX", "PREGAP",
                                                             "POSTGAP"};
constexpr std::array<std::string_view, 9> kTextCommands = {
    "REM", "TITLE", "PERFORMER", "SONGWRITER", "CATALOG", "CDTEXTFILE", "FLAGS", "ISRC", "ARRANGER"};

constexpr std::array<TrackTypeName, 5> kTrackTypes = {{
    {"MODE2/2352", TrackKind::Mode2Raw},
    {"MODE2/2336", TrackKind::Mode2},
    {"MODE1/2352", TrackKind::Mode1Raw},
    {"MODE1/2048", TrackKind::Mode1},
    {"AUDIO", TrackKind::Audio},
}};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool same_upper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
  return true;
}

template <size_t N>
bool is_one_of(std::string_view word, const std::array<std::string_view, N>& list) {
  for (std::string_view k : list)
    if (same_upper(word, k)) return true;
  return false;
}

// The words of one line; a word in double quotes may hold blanks.
std::vector<std::string_view> split_words(std::string_view line, bool* unterminated) {
  std::vector<std::string_view> words;
  size_t i = 0;
  *unterminated = false;
  while (i < line.size()) {
    if (is_blank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '"') {
      const size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        *unterminated = true;
        return words;
      }
      words.push_back(line.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    size_t end = i;
    while (end < line.size() && !is_blank(line[end])) ++end;
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

// mm:ss:ff as a count of sectors.
bool parse_msf(std::string_view text, int64_t* sectors) {
  const size_t first = text.find(':');
  if (first == std::string_view::npos) return false;
  const size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return false;
  int64_t m = 0, s = 0, f = 0;
  if (!parse_decimal(text.substr(0, first), kLargestMinutes, &m) ||
      !parse_decimal(text.substr(first + 1, second - first - 1), kSecondsPerMinute - 1, &s) ||
      !parse_decimal(text.substr(second + 1), kSectorsPerSecond - 1, &f))
    return false;
  *sectors = (m * kSecondsPerMinute + s) * kSectorsPerSecond + f;
  return true;
}

// One parsed line applied to the sheet; returns the fault or nullptr.
const char* apply_line(const std::vector<std::string_view>& w, CueSheet& sheet) {
  const std::string_view command = w[0];
  if (is_one_of(command, kTextCommands)) return nullptr;
  if (same_upper(command, "FILE")) {
    if (w.size() < 3) return "FILE needs a name and a type";
    if (!same_upper(w.back(), "BINARY")) return "only BINARY files are read";
    // An unquoted name with blanks: every word between the command and the type.
    std::string name(w[1]);
    for (size_t i = 2; i + 1 < w.size(); ++i) {
      name += ' ';
      name.append(w[i]);
    }
    if (name.empty()) return "FILE has an empty name";
    sheet.files.push_back(CueFile{name, {}});
    return nullptr;
  }
  if (same_upper(command, "TRACK")) {
    if (sheet.files.empty()) return "TRACK before any FILE";
    if (w.size() != 3) return "TRACK needs a number and a type";
    int64_t number = 0;
    if (!parse_decimal(w[1], kLargestTrack, &number) || number < 1) return "bad track number";
    int previous = 0;
    for (const CueFile& f : sheet.files)
      if (!f.tracks.empty()) previous = f.tracks.back().number;
    if (number <= previous) return "track numbers do not increase";
    for (const TrackTypeName& type : kTrackTypes)
      if (same_upper(w[2], type.name)) {
        CueTrack track;
        track.number = static_cast<int>(number);
        track.kind = type.kind;
        sheet.files.back().tracks.push_back(track);
        return nullptr;
      }
    return "unsupported track type";
  }
  if (sheet.files.empty() || sheet.files.back().tracks.empty()) return "command outside a track";
  CueTrack& track = sheet.files.back().tracks.back();
  if (same_upper(command, "INDEX")) {
    int64_t index = 0, at = 0;
    if (w.size() != 3 || !parse_decimal(w[1], kLargestTrack, &index) || !parse_msf(w[2], &at))
      return "bad INDEX";
    if (index == 0) {
      if (track.index0 >= 0 || track.index1 >= 0) return "INDEX 00 out of order";
      track.index0 = at;
    } else if (index == 1) {
      if (track.index1 >= 0) return "INDEX 01 given twice";
      if (track.index0 > at) return "INDEX 01 before INDEX 00";
      track.index1 = at;
    } else if (track.index1 < 0 || at < track.index1) {
      return "INDEX out of order";
    }
    return nullptr;
  }
  if (same_upper(command, "PREGAP") || same_upper(command, "POSTGAP")) {
    int64_t gap = 0;
    if (w.size() != 2 || !parse_msf(w[1], &gap)) return "bad gap length";
    (same_upper(command, "PREGAP") ? track.pregap : track.postgap) = gap;
    return nullptr;
  }
  return "unknown command";
}

std::string_view without_mark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  return text;
}

}  // namespace

bool looks_like_cue_sheet(const uint8_t* start, size_t length) {
  std::string_view text = without_mark(std::string_view(reinterpret_cast<const char*>(start), length));
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  size_t end = i;
  while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
  // The keyword must be followed by a blank; a keyword cut by the end of
  // the sample is not enough.
  if (end == i || end >= text.size() || !is_blank(text[end])) return false;
  const std::string_view word = text.substr(i, end - i);
  return is_one_of(word, kLayoutCommands) || is_one_of(word, kTextCommands);
}

CueParse parse_cue_sheet(std::string_view text) {
  CueParse result;
  text = without_mark(text);
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    bool unterminated = false;
    const std::vector<std::string_view> words = split_words(line, &unterminated);
    const char* fault = unterminated ? "unterminated quotes" : nullptr;
    if (fault == nullptr && !words.empty()) fault = apply_line(words, result.sheet);
    if (fault != nullptr) {
      result.fault = fault;
      result.line = line_number;
      return result;
    }
  }
  bool any_track = false;
  for (const CueFile& f : result.sheet.files) {
    if (f.tracks.empty()) {
      result.fault = "a FILE without tracks";
      return result;
    }
    for (const CueTrack& t : f.tracks) {
      any_track = true;
      if (t.index1 < 0) {
        result.fault = "a track without INDEX 01";
        return result;
      }
    }
  }
  if (!any_track) result.fault = "no tracks";
  return result;
}
