// Windows: standard output is a console whose output code page is UTF-8.
#include "platform/console_terminal.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

bool stdout_is_utf8_terminal() {
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return false;
  return GetConsoleOutputCP() == CP_UTF8;
}
