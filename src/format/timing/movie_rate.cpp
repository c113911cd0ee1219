#include "format/timing/movie_rate.hpp"

#include "format/disc/xa_sector.hpp"

namespace {


// Samples one sector carries, all channels counted: 18 sound groups of 8
// units of 28 four-bit samples, or of 4 units of 28 eight-bit samples.
constexpr uint32_t kSamplesPerSector4Bit = 18 * 8 * 28;
constexpr uint32_t kSamplesPerSector8Bit = 18 * 4 * 28;

constexpr uint32_t kMicrosecondsPerSecond = 1000000;

struct TableRow {
  uint32_t max_chunks;
  FrameRate rate;
};
// Double speed with 5, 7.5, 10 and 15 sectors a frame.
constexpr TableRow kChunkTable[] = {
    {5, {30, 1}}, {8, {20, 1}}, {10, {15, 1}}, {15, {10, 1}},
};
constexpr FrameRate kConversionBeyondTable = {0, 1};  // left to velmora
constexpr FrameRate kViewerBeyondTable = {15, 1};

// Fastest first, so that a tie goes to the faster rate.
constexpr FrameRate kUsualRates[] = {
    {30, 1}, {25, 1}, {24, 1}, {20, 1}, {15, 1}, {12, 1}, {10, 1}, {15, 2},
};

void note_pace(AudioPace& pace, uint32_t sector, const uint8_t* subheader) {
  const uint8_t file = subheader[kFileNumberOffset];
  const uint8_t channel = subheader[kChannelNumberOffset];
  if (pace.count == 0) {
    pace = AudioPace{1, file, channel, subheader[kCodingInfoOffset], sector, 0};
    return;
  }
  if (pace.count == 1 && file == pace.file_number && channel == pace.channel_number &&
      sector > pace.first) {
    pace.count = 2;
    pace.second = sector;
    pace.coding_info = subheader[kCodingInfoOffset];
  }
}

uint32_t pace_sectors_per_second(const AudioPace& pace) {
  return disc_sectors_per_second(xa_coding(pace.coding_info), pace.second - pace.first);
}

uint64_t distance(uint64_t a, uint64_t b) { return a > b ? a - b : b - a; }

}  // namespace

uint32_t disc_sectors_per_second(const XaCoding& coding, uint32_t interleave) {
  if (interleave == 0) return kDoubleSpeedSectorsPerSecond;
  const uint64_t per_sector =
      coding.bits == kXaBits8 ? kSamplesPerSector8Bit : kSamplesPerSector4Bit;
  // Sectors a second = interleave x samples a second / samples a sector;
  // compared with 75 and 150 in whole numbers.
  const uint64_t samples_per_second = uint64_t{coding.sample_rate} * coding.channels * interleave;
  const uint64_t off_single = distance(samples_per_second, per_sector * kSingleSpeedSectorsPerSecond);
  const uint64_t off_double = distance(samples_per_second, per_sector * kDoubleSpeedSectorsPerSecond);
  return off_single < off_double ? kSingleSpeedSectorsPerSecond : kDoubleSpeedSectorsPerSecond;
}

void start_rate_evidence(RateEvidence& evidence, uint8_t file_number, uint8_t channel_number) {
  evidence = RateEvidence{};
  evidence.file_number = file_number;
  evidence.channel_number = channel_number;
}

void note_frame_start(RateEvidence& e, uint32_t sector, uint32_t chunks) {
  if (e.frames == 0) {
    e.first_start = sector;
    e.first_chunks = chunks;
  } else if (chunks != e.first_chunks) {
    e.chunks_vary = true;
  }
  e.last_start = sector;
  ++e.frames;
}

void note_audio_sector(RateEvidence& e, uint32_t sector, const uint8_t* subheader) {
  note_pace(e.any_audio, sector, subheader);
  if (subheader[kFileNumberOffset] == e.file_number &&
      subheader[kChannelNumberOffset] == e.channel_number)
    note_pace(e.own_audio, sector, subheader);
}

uint32_t evidence_sectors_per_second(const RateEvidence& e) {
  if (e.own_audio.count == 2) return pace_sectors_per_second(e.own_audio);
  if (e.any_audio.count == 2) return pace_sectors_per_second(e.any_audio);
  return kDoubleSpeedSectorsPerSecond;
}

FrameRate table_frame_rate(RateTable table, uint32_t max_chunks) {
  for (const TableRow& row : kChunkTable)
    if (max_chunks <= row.max_chunks) return row.rate;
  return table == RateTable::viewer ? kViewerBeyondTable : kConversionBeyondTable;
}

FrameRate nearest_usual_rate(uint32_t sectors_per_second, uint64_t frame_steps, uint64_t span) {
  // |sps x steps / span - rate / scale| compared over the common
  // denominator span x scale, in whole numbers.
  FrameRate best = kUsualRates[0];
  uint64_t best_off = 0;
  uint64_t best_scale = 0;
  for (const FrameRate& r : kUsualRates) {
    const uint64_t off = distance(uint64_t{sectors_per_second} * frame_steps * r.scale, uint64_t{r.rate} * span);
    // off / (span x r.scale) < best_off / (span x best_scale)
    if (best_scale == 0 || off * best_scale < best_off * r.scale) {
      best = r;
      best_off = off;
      best_scale = r.scale;
    }
  }
  return best;
}

bool is_table_bound(uint32_t chunks) {
  for (const TableRow& row : kChunkTable)
    if (chunks == row.max_chunks) return true;
  return false;
}

FrameRate movie_frame_rate(const RateEvidence& e, RateTable table, uint32_t max_chunks) {
  const bool table_movie = !e.chunks_vary && is_table_bound(e.first_chunks);
  if (e.frames < 2 || e.last_start <= e.first_start || table_movie) return table_frame_rate(table, max_chunks);
  return nearest_usual_rate(evidence_sectors_per_second(e), e.frames - 1, e.last_start - e.first_start);
}

uint32_t frame_microseconds(const FrameRate& rate) {
  if (rate.rate == 0) return 0;
  return static_cast<uint32_t>(uint64_t{kMicrosecondsPerSecond} * rate.scale / rate.rate);
}
