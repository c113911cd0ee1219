// The working state of an analysis run: the open catalogue, the entry name
// buffer with the end of its base name, and the count of movies found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "format/catalogue/entry_name.hpp"

constexpr char kCatalogueFileName[] = "FILE.INF";

struct CatalogueWriter {
  FILE* stream = nullptr;
  char entry_name[kEntryNameSize] = {};
  size_t base_end = 0;
  int32_t movie_count = 0;
};

extern CatalogueWriter catalogue;
