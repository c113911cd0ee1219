// Where korvane.ini and FILE.INF live: the -path: text when the option was
// given (even empty), else the KORVANE_PATH environment variable, else the
// current directory. A separator is appended to a directory text that does
// not already end in one.
#pragma once

#include <cstddef>

constexpr size_t kSettingsPathSize = 512;

// The name of korvane.ini; a case-sensitive file system sees it in upper case.
constexpr const char* kSettingsFileName = "KORVANE.INI";

// The directory separator of this platform.
#ifdef _WIN32
constexpr char kDirectorySeparator = '\\';
#else
constexpr char kDirectorySeparator = '/';
#endif

// Kernel. path_option is the -path: text, nullptr when the option was not
// given; environment is KORVANE_PATH, nullptr when unset. Writes directory,
// separator if needed, and file name into out. Returns false, leaving out
// empty, when the result (with its terminating zero) exceeds out_size.
bool compose_settings_file_path(const char* path_option, const char* environment,
                                const char* file_name, char* out, size_t out_size);

// The same from the command line's -path: and the process environment.
bool build_settings_file_path(const char* file_name, char out[kSettingsPathSize]);
