// Placeholder until XA audio lands.
#include "common/not_built.hpp"
#include "xa/scan.hpp"
#include "xa/wav_writer.hpp"
#include "xa/xa_stream.hpp"

XaStream xa_stream;

void wav_open() { not_built("wav_open"); }
void wav_close() { not_built("wav_close"); }
int find_xa_stream() { not_built("find_xa_stream"); }
int32_t next_xa_sector(int32_t, int) { not_built("next_xa_sector"); }
void convert_xa_stream() { not_built("convert_xa_stream"); }
void scan_all() { not_built("scan_all"); }
