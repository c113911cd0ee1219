// Empty sectors with a subheader, and the range check of its numbers.
#include "tools/mkdisc/sector.hpp"

namespace mkdisc {

namespace {
constexpr int kMaxSubheaderNumber = 255;
}  // namespace

Sector make_sector(int file_number, int channel_number, uint8_t submode, uint8_t coding_info) {
  check_subheader_number("file number", file_number);
  check_subheader_number("channel number", channel_number);
  Sector s{};
  s[subheader::kFile] = static_cast<uint8_t>(file_number);
  s[subheader::kChannel] = static_cast<uint8_t>(channel_number);
  s[subheader::kSubmode] = submode;
  s[subheader::kCodingInfo] = coding_info;
  for (int i = 0; i < subheader::kCopy; ++i) s[subheader::kCopy + i] = s[i];
  return s;
}

void check_subheader_number(const char* what, int value) {
  if (value < 0 || value > kMaxSubheaderNumber)
    throw Error(std::string(what) + " " + std::to_string(value) + " is outside 0..255");
}

}  // namespace mkdisc
