// A stream's audio converted on a thread of its own while the caller reads
// and matches the stream's sectors. The caller hands over, in order, each
// progress line and each sector to convert; the thread prints the line, or
// decodes the sector with the carried ADPCM histories and appends its PCM to
// the open WAV file. Between begin and end the thread alone prints and
// writes the WAV file, so what the console shows and what the file holds
// come out in exactly the order of the single-threaded conversion.
//
// A failed append is reported on the caller's thread, at its next hand-over
// or at the end, and nothing handed over after it is done. A fatal error of
// the caller is reported once the thread has done everything handed over
// before it (an earlier failed append is reported instead); an interrupting
// signal likewise lets it finish first.
#pragma once

#include <cstdint>

// Begins the pipelined conversion of a stream when more than one thread
// converts (KORVANE_THREADS, or the core count); false, and nothing begun,
// otherwise.
bool begin_xa_pipeline();

// The progress line of the step at sector: printed now, or handed over.
void xa_progress_line(int32_t sector, int32_t end);

// The stream's sector (2336 bytes) decoded and written now, or a copy of it
// handed over.
void convert_xa_sector(const uint8_t* sector);

// Waits until everything handed over is done, reports a failed append, and
// gives the console and the WAV file back to the caller.
void end_xa_pipeline();
