#include "platform/errors.hpp"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/messages.hpp"
#include "platform/console.hpp"

namespace {

// The table message of each code, indexed by the absolute value of the
// code; entry 0 is unused.
constexpr Msg kMessages[] = {
    Msg::ErrorUnknown,  // stands in for entry 0, never looked up
    Msg::ErrorUnknown,     Msg::ErrorCommandLine, Msg::ErrorOpen,     Msg::ErrorRead,
    Msg::ErrorWrite,       Msg::ErrorAlloc,       Msg::ErrorAspi,     Msg::ErrorNotFound,
    Msg::ErrorConvert,     Msg::ErrorDirectX,     Msg::ErrorViewer,   Msg::ErrorSettings,
    Msg::ErrorFlip,
};
constexpr int kMessageCount = sizeof kMessages / sizeof kMessages[0];

FatalHandler fatal_handler = report_fatal_on_console;
thread_local FatalHandler thread_fatal_handler = nullptr;

[[noreturn]] void report_and_exit(int code, const char* detail, bool detail_is_text) {
  // Codes outside the table are never passed; report them as the unknown error.
  const char* message = error_message(code);
  if (message == nullptr) message = message_text(Msg::ErrorUnknown);
  const FatalHandler handler = thread_fatal_handler != nullptr ? thread_fatal_handler : fatal_handler;
  handler(code, message, detail, detail_is_text);
  std::fflush(nullptr);
  std::exit(code);
}

}  // namespace

void set_fatal_handler(FatalHandler handler) {
  fatal_handler = handler != nullptr ? handler : report_fatal_on_console;
}

FatalHandler current_fatal_handler() { return fatal_handler; }

void set_thread_fatal_handler(FatalHandler handler) { thread_fatal_handler = handler; }

void throw_held_fatal_error(int code, const char*, const char* detail, bool detail_is_text) {
  throw HeldFatalError{code, detail != nullptr ? detail : "", detail != nullptr, detail_is_text};
}

bool run_holding_fatal_error(void (*work)(void*), void* context, HeldFatalError& held) {
  const FatalHandler before = thread_fatal_handler;
  thread_fatal_handler = throw_held_fatal_error;
  bool ok = true;
  try {
    work(context);
  } catch (HeldFatalError& e) {
    held = std::move(e);
    ok = false;
  }
  thread_fatal_handler = before;
  return ok;
}

void report_held_fatal_error(const HeldFatalError& held) {
  if (!held.has_detail) report_and_exit(held.code, nullptr, true);
  report_and_exit(held.code, held.detail.c_str(), held.detail_is_text);
}

const char* error_message(int code) {
  if (code >= 0 || -code >= kMessageCount) return nullptr;
  return message_text(kMessages[-code]);
}

void fatal_error(int code, const char* detail) { report_and_exit(code, detail, true); }

void fatal_error_name(int code, const char* name) { report_and_exit(code, name, false); }

FILE* open_or_fail(const char* name, const char* mode) {
  FILE* f = std::fopen(name, mode);
  if (f == nullptr) fatal_error_name(kErrOpen, name);
  return f;
}

void* alloc_zeroed(uint32_t count) {
  const size_t rounded = (static_cast<size_t>(count) + 3) & ~static_cast<size_t>(3);
  // malloc(0) may return null; ask for one byte so a zero-size request succeeds.
  void* block = std::malloc(rounded == 0 ? 1 : rounded);
  if (block == nullptr) fatal_error(kErrAlloc, "");
  std::memset(block, 0, rounded);
  return block;
}
