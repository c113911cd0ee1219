// How a damaged or unreadable disc image ends the run: a line on standard
// error saying what is wrong, then the fatal error with the file's name.
#pragma once

#include <string>

[[noreturn]] void refuse_image(int code, const std::string& name, const char* reason);
