// The process-wide movie record.
#include "state/movie_context.hpp"

MovieContext movie;
