// Opening the files korvane and velmora read and write so that only a
// regular file (or, where a disc may be read, a block device) is ever read
// or written: a FIFO, a directory or a terminal is refused before a read,
// a write or the open itself could wait on it. An output is refused, before
// it is created or truncated, when it is one of the files the run reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/file_identity.hpp"

enum class OpenOutcome {
  Opened,
  Missing,     // no file of that name
  NotRegular,  // a directory, FIFO, device or socket
  Protected,   // the same file as one the output must not be
  Failed,      // any other refusal (permissions, a full directory, ...)
};

struct OpenedFile {
  FILE* file = nullptr;  // open exactly when outcome is Opened
  OpenOutcome outcome = OpenOutcome::Failed;
  FileIdentity identity;
};

enum class InputKind { RegularFile, RegularFileOrBlockDevice };

// Opens an existing file for binary reading.
OpenedFile open_input_file(const char* name, InputKind kind);

enum class OutputKind {
  Replace,  // created or emptied, written from the start ("wb")
  Append,   // created if missing, read anywhere, written at its end ("a+b")
  Update,   // must exist, read and written in place ("r+b")
};

// Opens a regular file for binary writing; refuses it, leaving it as it is,
// when it is the same file as one of the avoid identities.
OpenedFile open_output_file(const char* name, OutputKind kind, const FileIdentity* avoid,
                            size_t avoid_count);

// The identity of the file a name reaches (links followed); not known when
// nothing of that name exists.
FileIdentity identity_of_path(const char* name);
