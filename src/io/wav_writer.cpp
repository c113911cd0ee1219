// The open WAV file: provisional header, PCM appended sector by sector, header
// completed from the file length at the end.
#include "io/wav_writer.hpp"

#include <cstdio>
#include <new>
#include <vector>

#include "base/exit_finishers.hpp"
#include "base/messages.hpp"
#include "format/riff/wav_header.hpp"
#include "io/output_file.hpp"
#include "platform/errors.hpp"
#include "platform/host_file.hpp"

namespace {

// The PCM of consecutive writes is gathered and written once this much has
// come: one write to the file a block, not one a sector.
constexpr size_t kWavBlockBytes = 64 * 1024;

FILE* wav_file = nullptr;
uint64_t wav_length = 0;  // header and whole PCM writes in the file so far
WavFormat wav_format;
std::vector<uint8_t> gathered;        // PCM not yet in the file
std::vector<uint32_t> gathered_sizes;  // the size of each write it came in

// Writes the gathered PCM. When the file takes less (a full disc), it is
// written again write by write from where the file stood, so the file
// keeps exactly the whole writes that fit, as if each had been written on
// its own; returns false then.
bool write_gathered() {
  if (gathered.empty()) return true;
  bool ok = std::fwrite(gathered.data(), 1, gathered.size(), wav_file) == gathered.size();
  if (ok) {
    wav_length += gathered.size();
  } else {
    std::clearerr(wav_file);
    ok = seek_file(wav_file, static_cast<int64_t>(wav_length));
    size_t at = 0;
    for (size_t i = 0; ok && i < gathered_sizes.size(); ++i) {
      ok = std::fwrite(gathered.data() + at, 1, gathered_sizes[i], wav_file) == gathered_sizes[i];
      if (ok) wav_length += gathered_sizes[i];
      at += gathered_sizes[i];
    }
    ok = false;
  }
  gathered.clear();
  gathered_sizes.clear();
  return ok;
}

bool write_header(uint32_t file_length) {
  uint8_t header[kWavHeaderBytes];
  build_wav_header(header, file_length, wav_format.channel_count, wav_format.sample_rate);
  return std::fwrite(header, 1, sizeof header, wav_file) == sizeof header;
}

// The header for the PCM written so far; a write cut short is left out.
bool complete_wav() {
  const bool all_written = write_gathered();
  if (std::fflush(wav_file) != 0 || !truncate_file(wav_file, static_cast<int64_t>(wav_length)))
    return false;
  if (std::fseek(wav_file, 0, SEEK_SET) != 0) return false;
  return write_header(static_cast<uint32_t>(wav_length)) && all_written;
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
  // Unbuffered: the gathered blocks are the file's writes, and what a write
  // refused is never left behind in a buffer to fail again later.
  std::setvbuf(wav_file, nullptr, _IONBF, 0);
  wav_length = kWavHeaderBytes;
  gathered.clear();
  gathered_sizes.clear();
  if (!write_header(kWavHeaderBytes)) fatal_error(kErrWrite, "");
  add_exit_finisher(finish_wav_early);
}

void wav_write(const uint8_t* bytes, size_t size) {
  if (!wav_length_fits(wav_length + gathered.size() + size)) {
    if (!write_gathered()) fatal_error(kErrWrite, "");
    fatal_error(kErrWrite, message_text(Msg::WavOver4GB));
  }
  try {
    gathered.insert(gathered.end(), bytes, bytes + size);
    gathered_sizes.push_back(static_cast<uint32_t>(size));
  } catch (const std::bad_alloc&) {
    fatal_error(kErrAlloc, "");
  }
  if (gathered.size() >= kWavBlockBytes && !write_gathered()) fatal_error(kErrWrite, "");
}

void wav_set_format(WavFormat format) { wav_format = format; }

uint64_t wav_data_bytes() { return wav_length + gathered.size() - kWavHeaderBytes; }

void wav_close() {
  remove_exit_finisher(finish_wav_early);
  const bool completed = complete_wav();
  const bool closed = std::fclose(wav_file) == 0;
  wav_file = nullptr;
  if (!completed || !closed) fatal_error(kErrWrite, "");
}
