// The movie conversion driver: one movie, frame by frame, into numbered BMP
// files (-bmp) or the open AVI file (-avi).
#pragma once

enum class MovieOutput { Bmp, Avi };

void convert_movie(MovieOutput output);
