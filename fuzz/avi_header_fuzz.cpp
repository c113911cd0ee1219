// Fuzz target: velmora's patch of an AVI header. Input: the frame-rate
// argument up to a zero byte, then the file's first bytes (a short file is
// what velmora refuses before patching; here the header is padded with
// zeros). The header is patched as velmora patches it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "velmora/rate_patch.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  if (zero == nullptr) return -1;
  const std::string rate(reinterpret_cast<const char*>(data), static_cast<size_t>(zero - data));
  const size_t skip = rate.size() + 1;

  uint8_t header[kAviHeaderBytes] = {};
  std::memcpy(header, data + skip, std::min(size - skip, kAviHeaderBytes));
  const int32_t fps = parse_rate_argument(rate.c_str());
  uint8_t before[kAviHeaderBytes];
  std::memcpy(before, header, sizeof header);
  // A rate velmora refuses leaves the header as it was.
  if (!patch_frame_rate(header, fps) && std::memcmp(before, header, sizeof header) != 0)
    __builtin_trap();
  return 0;
}
