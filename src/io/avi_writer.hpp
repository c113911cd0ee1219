// The uncompressed AVI writer: provisional header, one "00db" chunk per
// frame, then the index and the completed header.
#pragma once

void open_avi();
void write_avi_frame();
void finish_avi();
