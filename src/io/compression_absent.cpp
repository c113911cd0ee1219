// The stand-in for builds without the compression libraries (Windows):
// every call fails, and the CHD reader refuses CHD images up front.
#include "io/compression_calls.hpp"

bool compression_libraries_present() { return false; }
bool inflate_raw(const uint8_t*, size_t, uint8_t*, size_t) { return false; }
bool decode_lzma_raw(const uint8_t*, size_t, uint8_t*, size_t) { return false; }
bool decode_zstd(const uint8_t*, size_t, uint8_t*, size_t) { return false; }
bool decode_cd_flac(const uint8_t*, size_t, uint32_t, uint8_t*, size_t, size_t*) { return false; }
