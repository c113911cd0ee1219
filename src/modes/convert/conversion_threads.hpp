// How many threads decode the frames of a conversion: KORVANE_THREADS when it
// holds a number from 1 to 64, otherwise one a processor core. With 1 the
// conversion runs on the program's one thread, with no workers at all.
#pragma once

unsigned conversion_threads();
