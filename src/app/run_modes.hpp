// Start-up of korvane and the dispatch to its one run mode.
#pragma once

// The whole run: command line and korvane.ini, the CD drive unless the input
// is a plain file or an image, the input, then one mode. Returns 0; every
// failure ends the process earlier with its error code.
int run_korvane(int argc, char** argv);

// Runs the one mode that ModeFlags selects.
void dispatch_mode();
