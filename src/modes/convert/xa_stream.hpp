// Finding and converting one XA audio stream of the selected file and channel.
#pragma once

#include <cstdint>

#include "state/xa_stream_state.hpp"


enum XaSectorMode { kXaSearch = 0, kXaConvert = 1, kXaTest = 2 };

int find_xa_stream();
int32_t next_xa_sector(int32_t sector, int mode);
void convert_xa_stream();
