// velmora: sets the frame rate recorded in the header of an AVI file that
// korvane wrote.
#include <cstdio>
#include <cstdlib>

#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "platform/regular_files.hpp"
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
  const int32_t fps = parse_rate_argument(argv[2]);
  // Only a regular file is patched: a FIFO would never deliver its header.
  FILE* file = open_output_file(argv[1], OutputKind::Update, nullptr, 0).file;
  if (file == nullptr) fatal_error_name(kErrOpen, argv[1]);

  uint8_t header[kAviHeaderBytes];
  if (std::fread(header, 1, kAviHeaderBytes, file) != kAviHeaderBytes)
    finish(file, "ファイルの読み込みに失敗しました.\n", kErrRead);
  // Any other file would be damaged by the patch: it is left untouched.
  if (!is_korvane_avi_header(header)) finish(file, "korvaneのAVIファイルではありません.\n", kErrRead);
  if (!patch_frame_rate(header, fps)) finish(file, "フレームレートが変.\n", kErrCommandLine);
  if (std::fseek(file, 0, SEEK_SET) != 0)
    finish(file, "ファイルの書き込みに失敗しました.\n", kErrWrite);
  if (std::fwrite(header, 1, kAviHeaderBytes, file) != kAviHeaderBytes)
    finish(file, "ファイルの書き込みに失敗しました.\n", kErrWrite);
  if (std::fclose(file) != 0) finish(nullptr, "ファイルの書き込みに失敗しました.\n", kErrWrite);
  return 0;
}
