// Where the output name ends: recorded before the BMP, scan, analysis and
// copy modes run, so that the BMP writer and the scans can append numbers
// and extensions to the name body in output_name.
#pragma once

// Points at the terminating zero of output_name as the user gave it.
extern char* output_name_end;
