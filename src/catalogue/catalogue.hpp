// FILE.INF: movies found by analysis are appended; -use-inf looks a name up.
#pragma once

void analyze_movies();
void lookup_catalogue();
