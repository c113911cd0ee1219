// The one reset of every process-wide record. The records themselves are
// declared by their own headers in this folder:
//   mode_flags.hpp       ModeFlags, OverrideFlags and the name buffers (the command line)
//   settings.hpp         Settings (korvane.ini, then the command line)
//   conversion_numbers.hpp, output_name_end.hpp   the -viewer: rate, the end of the name body
//   sector_source_state.hpp   SectorSource, current_sector, end_sector, sector_buffer
//   cd_drives.hpp        the accepted CD drives (the drive scan)
//   movie_context.hpp    MovieContext with its frame buffers and AviState (the conversion)
//   xa_stream_state.hpp  XaStream and the ADPCM histories (the XA conversion)
//   soundtrack.hpp       Soundtrack (the sound -with-sound puts into a movie's AVI)
//   scan_state.hpp       ScanState (-all, -disc-all)
//   catalogue_state.hpp  CatalogueWriter (-analyze)
//   viewer_state.hpp     the viewer's stream, clock, display, sound, ring, buffers, routines
#pragma once

// Puts every record back as the program starts, closing the files the records
// hold open. Heap blocks the records point at (the frame buffers, the scan's
// usage map, the viewer's ring and buffers) are kept: their owners release them.
void reset_records();
