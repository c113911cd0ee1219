// Fuzz target: reading korvane.ini. Input: two bytes of OverrideFlags (the
// settings the command line gave, which the file must leave alone), then
// the file's bytes. Every key is looked for and its value parsed; then the
// MMX rules are checked, as at start-up.
#include <cstdint>

#include "app/settings_file.hpp"
#include "base/byte_order.hpp"
#include "fuzz/support/fatal_trap.hpp"
#include "fuzz/support/memory_file.hpp"
#include "state/mode_flags.hpp"
#include "state/settings.hpp"

namespace {
constexpr size_t kPrefixBytes = 2;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefixBytes) return -1;
  override_flags = get_le16(data);
  settings = Settings{};
  MemoryFile file(data + kPrefixBytes, size - kPrefixBytes);
  run_trapped([&] {
    read_settings_from(file.get());
    check_settings();
  });
  return 0;
}
