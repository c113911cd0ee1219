// velmora: sets the frame rate recorded in the header of an AVI file that
// korvane wrote.
#include <cstdio>
#include <cstdlib>

#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "velmora/rate_patch.hpp"

namespace {

[[noreturn]] void finish(FILE* file, const char* message, int code) {
  console_text(message);
  if (file != nullptr) std::fclose(file);
  std::exit(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    console_text("velmora.exe  AVIfilename  fps\n");
    console_text("fpsは30,20,15,10の内どれか.\n");
    console_text("\n");
    console_text("注意!!! これはkorvane.exeの出力ファイル専用です.\n");
    console_text("他のファイルに使用するとデータが破壊されます.\n");
    std::exit(kErrCommandLine);
  }
  const int32_t fps = parse_leading_integer(argv[2]);
  FILE* file = open_or_fail(argv[1], "r+b");

  uint8_t header[kAviHeaderBytes];
  if (std::fread(header, 1, kAviHeaderBytes, file) != kAviHeaderBytes)
    finish(file, "ファイルの読み込みに失敗しました.\n", kErrRead);
  if (!patch_frame_rate(header, fps)) finish(file, "フレームレートが変.\n", kErrCommandLine);
  if (std::fseek(file, 0, SEEK_SET) != 0)
    finish(file, "ファイルの書き込みに失敗しました.\n", kErrWrite);
  if (std::fwrite(header, 1, kAviHeaderBytes, file) != kAviHeaderBytes)
    finish(file, "ファイルの書き込みに失敗しました.\n", kErrWrite);
  if (std::fclose(file) != 0) finish(nullptr, "ファイルの書き込みに失敗しました.\n", kErrWrite);
  return 0;
}
