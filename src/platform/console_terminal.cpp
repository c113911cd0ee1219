// POSIX: standard output is a terminal and the user's locale character set
// is UTF-8.
#include "platform/console_terminal.hpp"

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <string>

bool stdout_is_utf8_terminal() {
  if (!isatty(STDOUT_FILENO)) return false;
  // Look at the user's locale without changing the program's own.
  const char* saved = std::setlocale(LC_CTYPE, nullptr);
  std::string restore = saved != nullptr ? saved : "C";
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  const bool utf8 = codeset != nullptr &&
                    (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
  std::setlocale(LC_CTYPE, restore.c_str());
  return utf8;
}
