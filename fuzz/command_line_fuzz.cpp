// Fuzz target: korvane's command line. Input: the arguments after the
// program name, separated by zero bytes. They are taken and checked as at
// start-up; a refusal ends the input as the usage text would end the run.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.hpp"
#include "fuzz/support/fatal_trap.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "state/records.hpp"

namespace {

constexpr size_t kMaxArguments = 64;

[[noreturn]] void refuse() { throw FatalExit{kErrCommandLine}; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments{"korvane"};
  const char* text = reinterpret_cast<const char*>(data);
  for (size_t at = 0; at <= size;) {
    const void* zero = std::memchr(text + at, 0, size - at);
    const size_t end = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : size;
    arguments.emplace_back(text + at, end - at);
    if (arguments.size() > kMaxArguments) return -1;
    at = end + 1;
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  reset_records();
  run_trapped([&] {
    take_arguments(static_cast<int>(arguments.size()), argv.data(), refuse);
    settle_modes(refuse);
  });
  // Whatever was accepted, the names stay within their buffers.
  if (std::memchr(input_name, 0, kNameBufferSize) == nullptr ||
      std::memchr(output_name, 0, kNameBufferSize) == nullptr ||
      std::memchr(image_name, 0, kNameBufferSize) == nullptr ||
      std::memchr(settings_path, 0, kNameBufferSize) == nullptr)
    __builtin_trap();
  return 0;
}
