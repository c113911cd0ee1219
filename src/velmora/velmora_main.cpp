// velmora: sets the frame rate recorded in the header of an AVI file that
// korvane wrote.
#include <cstdio>
#include <cstdlib>

#include "base/info_words.hpp"
#include "base/messages.hpp"
#include "base/version.hpp"
#include "platform/console.hpp"
#include "platform/environment.hpp"
#include "platform/errors.hpp"
#include "platform/regular_files.hpp"
#include "velmora/rate_patch.hpp"

namespace {

[[noreturn]] void finish(FILE* file, const char* message, int code) {
  console_text(message);
  if (file != nullptr) std::fclose(file);
  std::exit(code);
}

// KORVANE_LANG chooses the language as for korvane; velmora reads no
// settings file.
void choose_language() {
  const char* chosen = environment_value(kLanguageVariable);
  Language language = Language::Japanese;
  if (chosen != nullptr && parse_language(chosen, &language)) set_message_language(language);
}

// -help or -version as the first argument: answered, then the run ends with 0.
bool answer_info_option(int argc, char** argv) {
  if (argc < 2 || argv[1][0] != '-') return false;
  switch (info_request_of(argv[1] + 1)) {
    case InfoRequest::None:
      return false;
    case InfoRequest::Help:
      console_text(message_text(Msg::VelmoraUsage));
      return true;
    case InfoRequest::Version:
      console_printf("velmora %s\n", program_version());
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  choose_language();
  if (answer_info_option(argc, argv)) return 0;
  if (argc < 3) {
    console_text(message_text(Msg::VelmoraUsage));
    std::exit(kErrCommandLine);
  }
  const int32_t fps = parse_rate_argument(argv[2]);
  // Only a regular file is patched: a FIFO would never deliver its header.
  FILE* file = open_output_file(argv[1], OutputKind::Update, nullptr, 0).file;
  if (file == nullptr) fatal_error_name(kErrOpen, argv[1]);

  uint8_t header[kAviHeaderBytes];
  if (std::fread(header, 1, kAviHeaderBytes, file) != kAviHeaderBytes)
    finish(file, message_text(Msg::VelmoraReadFailed), kErrRead);
  // Any other file would be damaged by the patch: it is left untouched.
  if (!is_korvane_avi_header(header)) finish(file, message_text(Msg::VelmoraNotKorvaneAvi), kErrRead);
  if (!patch_frame_rate(header, fps)) finish(file, message_text(Msg::VelmoraBadFrameRate), kErrCommandLine);
  if (std::fseek(file, 0, SEEK_SET) != 0)
    finish(file, message_text(Msg::VelmoraWriteFailed), kErrWrite);
  if (std::fwrite(header, 1, kAviHeaderBytes, file) != kAviHeaderBytes)
    finish(file, message_text(Msg::VelmoraWriteFailed), kErrWrite);
  if (std::fclose(file) != 0) finish(nullptr, message_text(Msg::VelmoraWriteFailed), kErrWrite);
  return 0;
}
