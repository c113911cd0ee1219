// The process-wide movie record.
#include "movie/movie_context.hpp"

MovieContext movie;
