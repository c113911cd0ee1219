// Fuzz target: opening a file by name on a disc image, as with -image:. Input:
// the name on the disc up to a zero byte (a "\" is put in front, so the
// name is never one of the host's files), then the image's bytes (2336-byte
// records, or raw 2352-byte ones). The volume descriptor is read, the
// directories are walked, and the file's sector range is set.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "fuzz/support/fatal_trap.hpp"
#include "fuzz/support/memory_file.hpp"
#include "io/sector_source.hpp"
#include "state/mode_flags.hpp"

namespace {
constexpr size_t kNameMax = 510;  // the name buffer holds 511 characters with the "\"
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  if (zero == nullptr) return -1;
  const size_t name_length = static_cast<size_t>(zero - data);
  if (name_length > kNameMax) return -1;
  input_name[0] = '\\';
  std::memcpy(input_name + 1, data, name_length);
  input_name[name_length + 1] = '\0';
  const size_t skip = name_length + 1;

  const char* image = scratch_file(data + skip, size - skip);
  std::strcpy(image_name, image);
  mode_flags = kModeImage;
  sector_source = SectorSource{};
  current_sector = end_sector = 0;
  const int code = run_trapped(open_sector_source);
  if (code == 0 && (current_sector < 0 || end_sector < current_sector)) __builtin_trap();
  if (sector_source.file != nullptr) std::fclose(sector_source.file);
  sector_source.file = nullptr;
  return 0;
}
