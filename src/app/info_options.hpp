// The options that only inform and end the run with status 0: -help (also
// --help, -h, -?) prints the usage text and, when a drive layer is there,
// the drive list; -version (also --version) prints the version.
#pragma once

// When an argument asks for help or the version (the first such argument
// decides), prints what it asks for and returns true; the run then ends
// with status 0. Otherwise prints nothing and returns false.
bool answer_info_option(int argc, char** argv);
