// The output stage of the XA conversions. While it runs, the work that only
// writes (each sector's sound decoded into its WAV file, WAV files opened and
// closed, report lines, console text) is done in the order it was asked for
// on a thread of its own, while the thread that asks goes on reading sectors
// and finding streams. What is written is what the same run writes without
// the stage, byte for byte:
// - a failure on the stage is reported on the asking thread at its next
//   hand-over, with everything asked for before it done and nothing after;
// - a failure of the asking thread is reported once everything asked for
//   before it is done (or the stage's own earlier failure instead);
// - an interruption stops the stage after the step in hand, and the outputs
//   open then are finished as usual.
// Without the stage each output_ call does its work at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Starts the stage; until finish_output_stage the calling thread's console
// text goes through it.
void start_output_stage();

// Waits until everything asked for is done, then stops the stage. Nothing
// happens when no stage runs.
void finish_output_stage();

// A WAV file named output_name, its header in the stream's format.
void output_wav_open();
// The stream's format (xa_stream) is known: the header takes it.
void output_wav_format();
// One audio sector in the 2336-byte form, decoded into the open WAV file as
// the stream is coded, with the carried histories.
void output_xa_sector(const uint8_t* sector);
void output_wav_close();
// Both ADPCM histories back to 0, between the streams of a scan.
void output_history_reset();
// Bytes for the report file as they stand; a short write ends with -5.
void output_report_bytes(FILE* report, std::string bytes);
