#include "platform/errors.hpp"

#include <cstdlib>
#include <cstring>

#include "platform/console.hpp"


namespace {

// Indexed by the absolute value of the code; entry 0 is unused.
constexpr const char* kMessages[] = {
    nullptr,
    "\nよくわかんないエラー.\n",
    "\nコマンドラインの設定が違います.\n",
    "\nファイルが開けません.\n",
    "\nファイルの読み込みに失敗しました.\n",
    "\nファイルの書き込みに失敗しました.\n",
    "\n領域の確保ができません.\n",
    "\nASPI関係でエラーが発生しました.\n",
    "\nファイルが見つかりません.\n",
    "\n変換に失敗しました.\n",
    "\nDirectXが使用できません.\n",
    "\nViewerエラー.\n",
    "\n初期化ファイルが異常です.\n",
    "\nFlipでエラーが発生しました.\n",
};
constexpr int kMessageCount = sizeof kMessages / sizeof kMessages[0];

FatalHandler fatal_handler = report_fatal_on_console;

[[noreturn]] void report_and_exit(int code, const char* detail, bool detail_is_text) {
  // Codes outside the table are never passed; report them as the unknown error.
  const char* message = error_message(code);
  if (message == nullptr) message = kMessages[1];
  fatal_handler(code, message, detail, detail_is_text);
  std::fflush(nullptr);
  std::exit(code);
}

}  // namespace

void set_fatal_handler(FatalHandler handler) {
  fatal_handler = handler != nullptr ? handler : report_fatal_on_console;
}

FatalHandler current_fatal_handler() { return fatal_handler; }

const char* error_message(int code) {
  if (code >= 0 || -code >= kMessageCount) return nullptr;
  return kMessages[-code];
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
