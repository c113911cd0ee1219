// Placeholder until the real-time viewer lands.
#include "common/not_built.hpp"
#include "control/playback_loop.hpp"

void run_viewer() { not_built("run_viewer"); }
