// korvane: entry point.
#include "app/run_modes.hpp"

int main(int argc, char** argv) { return run_korvane(argc, argv); }
