// The conversion loop with decoding threads: frames are assembled from the
// sectors in order on this thread, decoded by the workers, and printed and
// written here in frame order, so every byte written is what the
// single-threaded loop writes. At most two frames a worker are in hand.
// A fatal error raised while a frame is assembled (a bad header, a read
// error) first writes the frames before it, as the single-threaded loop
// would have; a frame that cannot be decoded ends the program at its turn.
#pragma once

#include "modes/convert/convert_movie.hpp"

void convert_frames_on_workers(unsigned threads, MovieOutput output);
