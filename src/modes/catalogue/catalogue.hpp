// FILE.INF: movies found by analysis are appended; -use-inf looks a name up.
#pragma once

// -analyze (and -disc-analyze): walks [current_sector, end_sector) and
// appends one record of the movies it finds to FILE.INF.
void analyze_movies();

// Opens or creates FILE.INF for appending, writes the volume line and
// prepares the entry name buffer.
void open_catalogue();

// The input opening of -use-inf: sets current_sector and end_sector from the
// catalogue entry named by input_name, or opens the sector source as usual
// when the catalogue does not give the range.
void lookup_catalogue();

// Ends the process with the write error when a catalogue line was refused.
void require_written(bool written);
