// The movie conversion driver: one movie, frame by frame, into numbered BMP
// files (-bmp) or the open AVI file (-avi).
#pragma once

// Where the pictures go; None decodes without writing (the fuzz target).
enum class MovieOutput { Bmp, Avi, None };

void convert_movie(MovieOutput output);
