// Fuzz target: the search of FILE.INF for an entry, and the entry names
// built from input names. Input: the 32-byte volume label of the disc, the
// input name up to a zero byte, then the catalogue's bytes, read back in
// line pieces from a stream as -use-inf reads them.
#include <cstdint>
#include <cstring>
#include <string>

#include "format/catalogue/catalogue_lookup.hpp"
#include "format/catalogue/entry_name.hpp"
#include "fuzz/support/memory_file.hpp"

namespace {
constexpr size_t kNameMax = 511;  // the name buffers hold 511 characters
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kVolumeIdBytes) return -1;
  const uint8_t* label = data;
  data += kVolumeIdBytes;
  size -= kVolumeIdBytes;
  const auto* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const size_t name_length = zero != nullptr ? static_cast<size_t>(zero - data) : size;
  if (name_length > kNameMax) return -1;
  const std::string name(reinterpret_cast<const char*>(data), name_length);
  const size_t skip = zero != nullptr ? name_length + 1 : name_length;
  data += skip;
  size -= skip;

  char entry[kEntryNameSize];
  const size_t base_end = build_entry_base(name.c_str(), entry);
  if (base_end >= kEntryNameSize) __builtin_trap();
  set_entry_index(entry, base_end, INT32_MIN);

  MemoryFile file(data, size);
  StreamPieces lines(file.get());
  find_catalogue_range(lines, label, name);
  return 0;
}
