// FILE.INF: movies found by analysis are appended; -use-inf looks a name up.
#pragma once

// -analyze (and -disc-analyze): walks [current_sector, end_sector) and
// appends one record of the movies it finds to FILE.INF.
void analyze_movies();

// Opens or creates FILE.INF for appending, starts the record with the
// volume line and prepares the entry name buffer.
void open_catalogue();

// The input opening of -use-inf: sets current_sector and end_sector from the
// catalogue entry named by input_name, or opens the sector source as usual
// when the catalogue does not give the range.
void lookup_catalogue();

// Ends the process with the write error when a catalogue line was refused.
void require_written(bool written);

// Appends the record built so far to FILE.INF in one piece and closes it;
// false when the file refused it.
bool append_catalogue_record();

// At a fatal error or an interruption: the record of the movies found so
// far is appended all the same.
void append_record_early();
