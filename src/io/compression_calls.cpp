// Calls into zlib, liblzma, libzstd and libFLAC for CHD hunks. Each thread
// that decompresses keeps one decoder of each kind, made at its first use,
// reset for every hunk and freed when the thread ends.
#include "io/compression_calls.hpp"

#include <FLAC/stream_decoder.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kRawDeflateWindow = -15;  // negative: no zlib header
constexpr uint32_t kLzmaLiteralContext = 3;
constexpr uint32_t kLzmaLiteralPosition = 0;
constexpr uint32_t kLzmaPositionBits = 2;

// The stream header put in front of the FLAC frames: "fLaC", then the one
// metadata block (STREAMINFO, flagged last) describing CD audio.
constexpr uint32_t kCdSampleRate = 44100;
constexpr uint32_t kCdChannels = 2;
constexpr uint32_t kCdSampleBits = 16;
constexpr size_t kFlacHeaderBytes = 4 + 4 + 34;
constexpr uint8_t kLastStreamInfoBlock = 0x80;
constexpr uint8_t kStreamInfoLength = 34;
constexpr int kBytesPerFrame = 4;  // one left and one right 16-bit sample

void make_flac_header(uint32_t block_size, uint8_t* h) {
  std::memset(h, 0, kFlacHeaderBytes);
  std::memcpy(h, "fLaC", 4);
  h[4] = kLastStreamInfoBlock;
  h[7] = kStreamInfoLength;
  uint8_t* info = h + 8;
  info[0] = static_cast<uint8_t>(block_size >> 8);  // smallest block
  info[1] = static_cast<uint8_t>(block_size);
  info[2] = static_cast<uint8_t>(block_size >> 8);  // largest block
  info[3] = static_cast<uint8_t>(block_size);
  // Frame sizes unknown (0); then rate (20 bits), channels - 1 (3), bits - 1 (5),
  // total samples (36 bits, 0: unknown) and the MD5 (zero).
  info[10] = static_cast<uint8_t>(kCdSampleRate >> 12);
  info[11] = static_cast<uint8_t>(kCdSampleRate >> 4);
  info[12] = static_cast<uint8_t>(((kCdSampleRate & 0x0F) << 4) | ((kCdChannels - 1) << 1) |
                                  ((kCdSampleBits - 1) >> 4));
  info[13] = static_cast<uint8_t>(((kCdSampleBits - 1) & 0x0F) << 4);
}

struct FlacJob {
  uint8_t header[kFlacHeaderBytes];
  const uint8_t* data = nullptr;
  size_t length = 0;
  uint64_t position = 0;  // in the header followed by the data
  uint8_t* out = nullptr;
  size_t size = 0;
  size_t written = 0;
  bool failed = false;
};

FLAC__StreamDecoderReadStatus flac_read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                        void* client) {
  auto* job = static_cast<FlacJob*>(client);
  const uint64_t total = kFlacHeaderBytes + job->length;
  if (job->position >= total) {
    *bytes = 0;
    return FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
  }
  size_t n = 0;
  if (job->position < kFlacHeaderBytes) {
    const size_t part = std::min<size_t>(*bytes, kFlacHeaderBytes - job->position);
    std::memcpy(buffer, job->header + job->position, part);
    n = part;
    job->position += part;
  }
  if (n < *bytes && job->position < total) {
    const size_t part = static_cast<size_t>(std::min<uint64_t>(*bytes - n, total - job->position));
    std::memcpy(buffer + n, job->data + (job->position - kFlacHeaderBytes), part);
    n += part;
    job->position += part;
  }
  *bytes = n;
  return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderTellStatus flac_tell(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* client) {
  *offset = static_cast<FlacJob*>(client)->position;
  return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderWriteStatus flac_write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                          const FLAC__int32* const channels[], void* client) {
  auto* job = static_cast<FlacJob*>(client);
  if (frame->header.channels != kCdChannels || frame->header.bits_per_sample != kCdSampleBits) {
    job->failed = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  const size_t blocks = frame->header.blocksize;
  if (blocks * kBytesPerFrame > job->size - job->written) {
    job->failed = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  uint8_t* out = job->out + job->written;
  for (size_t i = 0; i < blocks; ++i)
    for (uint32_t c = 0; c < kCdChannels; ++c) {
      const auto sample = static_cast<uint16_t>(channels[c][i]);
      *out++ = static_cast<uint8_t>(sample >> 8);
      *out++ = static_cast<uint8_t>(sample);
    }
  job->written += blocks * kBytesPerFrame;
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void flac_error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* client) {
  static_cast<FlacJob*>(client)->failed = true;
}

// The decoders of one thread.
struct InflateState {
  z_stream stream{};
  bool ready = false;
  ~InflateState() {
    if (ready) inflateEnd(&stream);
  }
};
struct LzmaState {
  lzma_stream stream = LZMA_STREAM_INIT;
  ~LzmaState() { lzma_end(&stream); }
};
struct ZstdState {
  ZSTD_DCtx* context = ZSTD_createDCtx();
  ~ZstdState() { ZSTD_freeDCtx(context); }
};
struct FlacState {
  FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
  ~FlacState() {
    if (decoder != nullptr) FLAC__stream_decoder_delete(decoder);
  }
};

thread_local InflateState inflate_state;
thread_local LzmaState lzma_state;
thread_local ZstdState zstd_state;
thread_local FlacState flac_state;

}  // namespace

bool compression_libraries_present() { return true; }

bool inflate_raw(const uint8_t* data, size_t length, uint8_t* out, size_t size) {
  z_stream& stream = inflate_state.stream;
  if (!inflate_state.ready) {
    if (inflateInit2(&stream, kRawDeflateWindow) != Z_OK) return false;
    inflate_state.ready = true;
  } else if (inflateReset(&stream) != Z_OK) {
    return false;
  }
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(length);
  stream.next_out = out;
  stream.avail_out = static_cast<uInt>(size);
  const int result = inflate(&stream, Z_FINISH);
  if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR) return false;
  return stream.total_out == size;
}

bool decode_lzma_raw(const uint8_t* data, size_t length, uint8_t* out, size_t size) {
  lzma_stream& stream = lzma_state.stream;
  lzma_options_lzma options{};
  if (lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT)) return false;
  // The dictionary need not exceed the data: no match reaches further back.
  options.dict_size = size < LZMA_DICT_SIZE_MIN ? LZMA_DICT_SIZE_MIN : static_cast<uint32_t>(size);
  options.lc = kLzmaLiteralContext;
  options.lp = kLzmaLiteralPosition;
  options.pb = kLzmaPositionBits;
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_raw_decoder(&stream, filters) != LZMA_OK) return false;
  stream.next_in = data;
  stream.avail_in = length;
  stream.next_out = out;
  stream.avail_out = size;
  while (stream.avail_out > 0) {
    const size_t before = stream.avail_in + stream.avail_out;
    const lzma_ret result = lzma_code(&stream, LZMA_RUN);
    if (result != LZMA_OK && result != LZMA_STREAM_END) return false;
    if (result == LZMA_STREAM_END || stream.avail_in + stream.avail_out == before) break;
  }
  return stream.avail_out == 0;
}

bool decode_zstd(const uint8_t* data, size_t length, uint8_t* out, size_t size) {
  ZSTD_DCtx* context = zstd_state.context;
  if (context == nullptr) return false;
  const size_t result = ZSTD_decompressDCtx(context, out, size, data, length);
  return !ZSTD_isError(result) && result == size;
}

bool decode_cd_flac(const uint8_t* data, size_t length, uint32_t block_size, uint8_t* out, size_t size,
                    size_t* used) {
  FLAC__StreamDecoder* decoder = flac_state.decoder;
  if (decoder == nullptr) return false;
  FlacJob job;
  make_flac_header(block_size, job.header);
  job.data = data;
  job.length = length;
  job.out = out;
  job.size = size;
  if (FLAC__stream_decoder_init_stream(decoder, flac_read, nullptr, flac_tell, nullptr, nullptr, flac_write,
                                       nullptr, flac_error, &job) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
    return false;
  bool ok = FLAC__stream_decoder_process_until_end_of_metadata(decoder);
  while (ok && !job.failed && job.written < size) {
    if (!FLAC__stream_decoder_process_single(decoder)) ok = false;
    const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder);
    if (state == FLAC__STREAM_DECODER_END_OF_STREAM || state == FLAC__STREAM_DECODER_ABORTED) break;
  }
  FLAC__uint64 position = 0;
  if (ok && !job.failed && job.written == size &&
      FLAC__stream_decoder_get_decode_position(decoder, &position) && position >= kFlacHeaderBytes &&
      position - kFlacHeaderBytes <= length) {
    *used = static_cast<size_t>(position - kFlacHeaderBytes);
  } else {
    ok = false;
  }
  FLAC__stream_decoder_finish(decoder);
  return ok && !job.failed;
}
