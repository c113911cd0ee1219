// How many threads korvane works with: KORVANE_THREADS when it holds a number
// from 1 to 64, otherwise one a processor core. With 1 everything runs on the
// program's one thread: no frame-decoding workers, no CHD read-ahead, no
// output stage, no survey of the sectors ahead of a scan.
#pragma once

unsigned thread_count();
