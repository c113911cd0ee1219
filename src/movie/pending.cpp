// Placeholder until movie conversion lands.
#include "common/not_built.hpp"
#include "movie/convert_movie.hpp"
#include "movie/movie_context.hpp"

MovieContext movie;

void convert_movie() { not_built("convert_movie"); }
