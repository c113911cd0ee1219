// Placeholder until the movie catalogue lands.
#include "catalogue/catalogue.hpp"
#include "common/not_built.hpp"

void analyze_movies() { not_built("analyze_movies"); }
void lookup_catalogue() { not_built("lookup_catalogue"); }
