// The open WAV file: provisional header, PCM appended sector by sector, header
// completed from the file length at the end.
#include "io/wav_writer.hpp"

#include <cstdio>

#include "format/riff/wav_header.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "state/xa_stream_state.hpp"

namespace {

FILE* wav_file = nullptr;

void write_header(uint32_t file_length) {
  uint8_t header[kWavHeaderBytes];
  build_wav_header(header, file_length, xa_stream.channel_count, xa_stream.sample_rate);
  if (std::fwrite(header, 1, sizeof header, wav_file) != sizeof header) fatal_error(kErrWrite, "");
}

}  // namespace

void wav_open() {
  wav_file = open_or_fail(output_name, "wb");
  write_header(kWavHeaderBytes);
}

void wav_write(const uint8_t* bytes, size_t size) {
  if (std::fwrite(bytes, 1, size, wav_file) != size) fatal_error(kErrWrite, "");
}

void wav_close() {
  const long length = std::ftell(wav_file);
  if (length < 0 || std::fseek(wav_file, 0, SEEK_SET) != 0) fatal_error(kErrWrite, "");
  write_header(static_cast<uint32_t>(length));
  if (std::fclose(wav_file) != 0) {
    wav_file = nullptr;
    fatal_error(kErrWrite, "");
  }
  wav_file = nullptr;
}
