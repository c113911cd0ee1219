// The words of the options that only inform: help and version, shared by
// korvane and velmora.
#pragma once

enum class InfoRequest { None, Help, Version };

// Kernel: what an option word, after its leading "-" or "/", asks for:
// "help", "-help", "h" or "?" ask for help, "version" or "-version" for the
// version; letters in any case, nothing after the word.
InfoRequest info_request_of(const char* option);
