// Surveying the input for the streams it holds when the chosen one gave
// nothing, and the message that lists them.
#include "modes/convert/nothing_converted.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/messages.hpp"
#include "format/disc/stream_pairs.hpp"
#include "io/sector_source.hpp"
#include "platform/errors.hpp"
#include "state/movie_context.hpp"

namespace {

// More pairs than this are summed up as "..." (a disc rarely has more).
constexpr size_t kListedPairs = 16;
constexpr size_t kSelectionTextBytes = 64;
constexpr size_t kNotFoundTextBytes = 128;  // the sentence around the selection

// Sectors a file read brings in during the survey (a CD is read sector by
// sector, as its conversions are).
constexpr int32_t kSurveyBatch = 64;

StreamPairs survey(WantedStream wanted, int32_t first, int32_t end) {
  StreamPairs pairs;
  set_sector_mode(kSectorMode2336);
  const bool batched = sector_source.kind != SourceKind::Cd;
  const bool bulk_before = sector_source.bulk_reads;
  sector_source.bulk_reads = batched;
  std::vector<uint8_t> batch(static_cast<size_t>(kSurveyBatch) * kSectorBytes);
  // A catalogue entry may name sectors before the first; none exist.
  for (int32_t at = first < 0 ? 0 : first; at < end;) {
    const int32_t count = batched ? std::min(kSurveyBatch, end - at) : 1;
    read_sectors(at, static_cast<uint32_t>(count), batch.data());
    for (int32_t i = 0; i < count; ++i) {
      const uint8_t* sector = batch.data() + static_cast<size_t>(i) * kSectorBytes;
      const bool holds =
          wanted == WantedStream::Movie ? is_video_sector(sector) : is_audio_sector(sector);
      if (holds) note_stream_pair(pairs, sector[kFileNumberOffset], sector[kChannelNumberOffset]);
    }
    at += count;
  }
  sector_source.bulk_reads = bulk_before;
  return pairs;
}

}  // namespace

void report_nothing_converted(WantedStream wanted, int32_t first, int32_t end) {
  const bool movie_wanted = wanted == WantedStream::Movie;
  const StreamPairs pairs = survey(wanted, first, end);
  char selection[kSelectionTextBytes];
  std::snprintf(selection, sizeof selection, "-file:%u -channel:%u", static_cast<unsigned>(movie.file_number),
                static_cast<unsigned>(movie.channel_number));
  char not_found[kSelectionTextBytes + kNotFoundTextBytes];
  std::snprintf(not_found, sizeof not_found, message_text(movie_wanted ? Msg::MovieNotFound : Msg::AudioNotFound),
                selection);
  std::string detail = not_found;
  if (any_stream_pair(pairs)) {
    detail += message_text(movie_wanted ? Msg::MoviesInInput : Msg::AudioInInput);
    detail += stream_pair_lines(pairs, kListedPairs);
  } else {
    detail += message_text(movie_wanted ? Msg::NoMoviesInInput : Msg::NoAudioInInput);
  }
  fatal_error(kErrConvert, detail.c_str());
}
