// The sector survey's thread: it reads blocks of records at their offsets
// and stores each sector's class in a byte of its own; the pass reads those
// bytes and leaves the sector it stands at where the thread looks for it.
#include "io/sector_survey.hpp"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "format/disc/sector_file_form.hpp"
#include "io/sector_source.hpp"
#include "platform/host_file.hpp"
#include "platform/thread_signals.hpp"

namespace {

constexpr int64_t kSurveyRecords = 64;  // records read at once

struct Survey {
  FILE* file = nullptr;
  bool raw_form = false;
  int32_t first = 0;
  int32_t end = 0;
  SectorClassifier classify = nullptr;
  std::unique_ptr<std::atomic<uint8_t>[]> classes;  // one a sector of the range; 0: not surveyed
  std::atomic<int32_t> pass_at{0};  // the sector the pass looked at last
  std::atomic<bool> stopping{false};
  std::thread thread;
};

Survey* survey = nullptr;

void run_survey(Survey& s) {
  keep_signals_off_this_thread();
  const auto record = static_cast<int64_t>(record_bytes(s.raw_form));
  const auto prefix = static_cast<size_t>(record_offset(0, s.raw_form));
  std::vector<uint8_t> block(static_cast<size_t>(kSurveyRecords * record));
  int64_t next = s.first;
  while (next < s.end && !s.stopping.load(std::memory_order_relaxed)) {
    // Behind the pass, nothing is wanted any more.
    const int32_t pass_at = s.pass_at.load(std::memory_order_relaxed);
    if (next <= pass_at) next = pass_at + 1;
    const int64_t count = std::min<int64_t>(kSurveyRecords, s.end - next);
    if (count <= 0) break;
    const int64_t got = read_file_at(s.file, next * record, block.data(), static_cast<size_t>(count * record));
    if (got < 0) break;  // no read beside the stream here
    const int64_t whole = got / record;
    for (int64_t i = 0; i < whole; ++i) {
      const uint8_t c = s.classify(block.data() + static_cast<size_t>(i * record) + prefix);
      s.classes[static_cast<size_t>(next + i - s.first)].store(c, std::memory_order_relaxed);
    }
    // A record that cannot be read whole is left to the pass's own read.
    next += whole < count ? whole + 1 : count;
  }
}

}  // namespace

void start_sector_survey(int32_t first, int32_t end, SectorClassifier classify) {
  if (survey != nullptr || end <= first) return;
  if (sector_source.kind == SourceKind::Cd || sector_source.tracks || sector_source.file == nullptr) return;
  auto* s = new (std::nothrow) Survey;
  if (s == nullptr) return;  // the pass reads every sector itself
  s->file = sector_source.file;
  s->raw_form = sector_source.raw_form;
  s->first = first;
  s->end = end;
  s->classify = classify;
  s->pass_at.store(first - 1, std::memory_order_relaxed);
  s->classes.reset(new (std::nothrow) std::atomic<uint8_t>[static_cast<size_t>(end - first)]());
  if (s->classes == nullptr) {
    delete s;
    return;
  }
  try {
    s->thread = std::thread(run_survey, std::ref(*s));
  } catch (const std::exception&) {
    delete s;
    return;
  }
  survey = s;
}

uint8_t surveyed(int32_t sector) {
  if (survey == nullptr || sector < survey->first || sector >= survey->end) return 0;
  survey->pass_at.store(sector, std::memory_order_relaxed);
  return survey->classes[static_cast<size_t>(sector - survey->first)].load(std::memory_order_relaxed);
}

void stop_sector_survey() {
  if (survey == nullptr) return;
  survey->stopping.store(true, std::memory_order_relaxed);
  survey->thread.join();
  delete survey;
  survey = nullptr;
}
