// The fatal error reporter shared by korvane and velmora: thirteen table
// messages chosen by a negative code, a detail text, and the code as the
// process's exit status. Every failure of either program ends here, in the
// fatal handler: by default the console's, which prints and exits; tests and
// fuzz targets may install one that throws.
#pragma once

#include <string>

#include <cstdint>
#include <cstdio>

enum ErrorCode : int {
  kErrUnknown = -1,      // no code of its own (CD access for copy/playback, reads never agree)
  kErrCommandLine = -2,  // invalid command line, after the usage text
  kErrOpen = -3,         // a file cannot be opened or created
  kErrRead = -4,         // a read or seek on an input failed
  kErrWrite = -5,        // a write to an output failed
  kErrAlloc = -6,        // memory could not be allocated
  kErrAspi = -7,         // the ASPI layer or a SCSI command failed
  kErrNotFound = -8,     // the input file is not in the disc's directory
  kErrConvert = -9,      // bad movie header, bad bitstream, XA detection failure
  kErrDirectX = -10,     // display or sound set-up failed
  kErrViewer = -11,      // the viewer window or its stream set-up failed
  kErrSettings = -12,    // korvane.ini invalid, or the MMX requirements not met
  kErrFlip = -13,        // never raised: a failed flip ends playback quietly
};

// The table message of a code in the chosen language (UTF-8 program text),
// or nullptr outside -1..-13.
const char* error_message(int code);

// What a fatal error hands its handler: the code, the code's table message,
// the detail, and whether the detail is program text (UTF-8, to be written in
// the console's encoding) or a user-supplied name (bytes written unchanged).
// A handler reports and then exits or throws; should it return, the process
// exits with the code all the same.
using FatalHandler = void (*)(int code, const char* message, const char* detail,
                              bool detail_is_text);

// Installs handler; nullptr puts back the default, report_fatal_on_console:
// the message, the detail and "\n" on the console, every stream flushed, exit
// with the code.
void set_fatal_handler(FatalHandler handler);
// The handler in place, so that one installed for a while can hand on to it.
FatalHandler current_fatal_handler();

// A handler for the calling thread alone, used before the process-wide one:
// a thread that works for another (an output stage) installs one that throws,
// so the failure is reported on the thread it works for. nullptr removes it.
void set_thread_fatal_handler(FatalHandler handler);

// A fatal error held to be reported later, on another thread or at its turn.
struct HeldFatalError {
  int code = 0;
  std::string detail;
  bool has_detail = false;
  bool detail_is_text = true;
};

// The thread handler that holds: it throws the HeldFatalError.
void throw_held_fatal_error(int code, const char* message, const char* detail, bool detail_is_text);

// Runs work on this thread; a fatal error it raises is held in `held`
// instead of reported, and false returned.
bool run_holding_fatal_error(void (*work)(void*), void* context, HeldFatalError& held);

// Reports a held fatal error as fatal_error or fatal_error_name would have.
[[noreturn]] void report_held_fatal_error(const HeldFatalError& held);

// Prints the code's message, then the detail, then "\n" on standard output,
// flushes every stream and exits with the code (through the fatal handler). The detail is program text
// (UTF-8 in the source, written in the console's encoding).
[[noreturn]] void fatal_error(int code, const char* detail);

// The same, for a detail that is a user-supplied name: its bytes are printed
// unchanged.
[[noreturn]] void fatal_error_name(int code, const char* name);

// fopen, or fatal_error(-3) with the name as detail.
FILE* open_or_fail(const char* name, const char* mode);

// (count + 3) & ~3 zero-filled bytes, or fatal_error(-6). Free with free().
void* alloc_zeroed(uint32_t count);
