// -help and -version: answered before the command line is parsed, without
// reading or creating korvane.ini and without needing a CD drive.
#include "app/info_options.hpp"

#include "app/command_line.hpp"
#include "base/info_words.hpp"
#include "base/messages.hpp"
#include "base/version.hpp"
#include "io/aspi.hpp"
#include "platform/console.hpp"

namespace {

InfoRequest info_request(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!is_option_argument(argv[i])) continue;
    const InfoRequest request = info_request_of(argv[i] + 1);
    if (request != InfoRequest::None) return request;
  }
  return InfoRequest::None;
}

}  // namespace

bool answer_info_option(int argc, char** argv) {
  switch (info_request(argc, argv)) {
    case InfoRequest::None:
      return false;
    case InfoRequest::Help:
      console_text(message_text(Msg::Usage));
      // The drive list only when there is a drive layer to list.
      if (try_aspi_open().result == AspiOpenResult::Ready) print_cd_drives();
      return true;
    case InfoRequest::Version:
      console_printf("korvane %s\n", program_version());
      return true;
  }
  return false;
}
