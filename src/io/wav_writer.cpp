// The open WAV file: provisional header, PCM appended sector by sector, header
// completed from the file length at the end.
#include "io/wav_writer.hpp"

#include <cstdio>

#include "base/exit_finishers.hpp"
#include "base/messages.hpp"
#include "format/riff/wav_header.hpp"
#include "io/output_file.hpp"
#include "platform/errors.hpp"
#include "platform/host_file.hpp"

namespace {

FILE* wav_file = nullptr;
uint64_t wav_length = 0;  // header and whole PCM writes so far
WavFormat wav_format;

bool write_header(uint32_t file_length) {
  uint8_t header[kWavHeaderBytes];
  build_wav_header(header, file_length, wav_format.channel_count, wav_format.sample_rate);
  return std::fwrite(header, 1, sizeof header, wav_file) == sizeof header;
}

// The header for the PCM written so far; a write cut short is left out.
bool complete_wav() {
  if (std::fflush(wav_file) != 0 || !truncate_file(wav_file, static_cast<int64_t>(wav_length)))
    return false;
  if (std::fseek(wav_file, 0, SEEK_SET) != 0) return false;
  return write_header(static_cast<uint32_t>(wav_length));
}

// At a fatal error or an interruption the WAV gets its header all the same.
void finish_wav_early() {
  if (wav_file == nullptr) return;
  complete_wav();
  std::fclose(wav_file);
  wav_file = nullptr;
}

}  // namespace

void wav_open(const char* name, WavFormat format) {
  wav_format = format;
  wav_file = create_output_or_fail(name);
  wav_length = kWavHeaderBytes;
  if (!write_header(kWavHeaderBytes)) fatal_error(kErrWrite, "");
  add_exit_finisher(finish_wav_early);
}

void wav_write(const uint8_t* bytes, size_t size) {
  if (!wav_length_fits(wav_length + size)) fatal_error(kErrWrite, message_text(Msg::WavOver4GB));
  if (std::fwrite(bytes, 1, size, wav_file) != size) fatal_error(kErrWrite, "");
  wav_length += size;
}

void wav_set_format(WavFormat format) { wav_format = format; }

uint64_t wav_data_bytes() { return wav_length - kWavHeaderBytes; }

void wav_close() {
  remove_exit_finisher(finish_wav_early);
  const bool completed = complete_wav();
  const bool closed = std::fclose(wav_file) == 0;
  wav_file = nullptr;
  if (!completed || !closed) fatal_error(kErrWrite, "");
}
