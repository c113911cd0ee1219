// Real-time playback: set-up, preload, start wait, then frames paced by the
// millisecond clock.
#pragma once

void run_viewer();
