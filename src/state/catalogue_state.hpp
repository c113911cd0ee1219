// The working state of an analysis run: the open catalogue, the entry name
// buffer with the end of its base name, and the count of movies found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "format/catalogue/entry_name.hpp"

constexpr char kCatalogueFileName[] = "FILE.INF";

struct CatalogueWriter {
  FILE* stream = nullptr;
  std::string record;   // the lines of this run's record so far, as the file's bytes
  char entry_name[kEntryNameSize] = {};
  size_t base_end = 0;
  int32_t movie_count = 0;
};

extern CatalogueWriter catalogue;

// Appends the record built so far to FILE.INF in one piece and closes it;
// false when the file refused it.
bool append_catalogue_record();

// At a fatal error or an interruption: the record of the movies found so
// far is appended all the same.
void append_record_early();
