// The output stage: steps asked for are gathered into batches, the batches
// are done in order on the stage's thread, and a failure there travels back
// to the asking thread as the fatal error it would have raised there. When
// the stage falls behind, the asking thread decodes the next stream itself
// and hands over its PCM; the ADPCM histories follow whichever thread
// decodes, so the samples are the same either way.
#include "modes/convert/output_stage.hpp"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "base/exit_finishers.hpp"
#include "io/wav_writer.hpp"
#include "modes/convert/xa_decode.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "platform/thread_signals.hpp"
#include "state/mode_flags.hpp"

namespace {

// A batch is handed over once it holds this many bytes (about 28 sectors'
// sound); the asking thread waits while this many batches are waiting. The
// queue is long enough (about 1 MiB) that neither thread waits for the other
// while one stream's sound is decoded on the other thread.
constexpr size_t kBatchBytes = 64 * 1024;
constexpr size_t kBatchesWaiting = 16;

// A stage that falls behind gets help: the asking thread decodes a whole
// stream itself, from its start, when this many batches are waiting.
constexpr size_t kBatchesBehind = 4;

enum class StepKind : uint8_t {
  kConsole,
  kReport,
  kWavOpen,
  kWavFormat,
  kSound,         // sound data, decoded on the stage
  kPcm,           // PCM decoded by the asking thread
  kWavClose,
  kHistoryReset,
  kHistorySet,    // the histories as the asking thread left them
};

// Where the ADPCM histories of the stream being converted are known.
enum class HistoryPlace : uint8_t { kBoth, kAsking, kStage };

struct Step {
  StepKind kind = StepKind::kConsole;
  size_t offset = 0;  // into the batch's bytes: console text, report text, a name, sound data
  size_t size = 0;
  WavFormat format;     // kWavOpen, kWavFormat
  XaCoding coding{};    // kSound
  FILE* report = nullptr;
  AdpcmHistory left;    // kHistorySet
  AdpcmHistory right;
};

struct Batch {
  std::vector<Step> steps;
  std::vector<uint8_t> bytes;
};

struct OutputStage {
  std::mutex lock;
  std::condition_variable work_ready;
  std::condition_variable batch_done;
  std::deque<std::unique_ptr<Batch>> waiting;
  std::vector<std::unique_ptr<Batch>> spare;
  bool busy = false;      // the stage's thread is doing a batch
  bool stopping = false;  // no more batches come
  bool failed = false;
  HeldFatalError failure;  // raised on the stage's thread, reported on the asking one
  std::atomic<bool> abandon{false};  // an early end: stop after the step in hand
  // The asking thread's side.
  std::unique_ptr<Batch> open;       // the batch being gathered
  bool decoding_here = false;        // the open WAV's sound is decoded by the asking thread
  HistoryPlace histories = HistoryPlace::kBoth;
  AdpcmHistory here_left;            // the histories when decoding here
  AdpcmHistory here_right;
  FatalHandler previous_handler = nullptr;
  std::thread thread;
};

OutputStage* stage = nullptr;

void run_step(const Batch& batch, const Step& step) {
  const uint8_t* bytes = batch.bytes.data() + step.offset;
  switch (step.kind) {
    case StepKind::kConsole:
      console_bytes(reinterpret_cast<const char*>(bytes), step.size);
      break;
    case StepKind::kReport:
      if (std::fwrite(bytes, 1, step.size, step.report) != step.size) fatal_error(kErrWrite, "");
      break;
    case StepKind::kWavOpen:
      wav_open(reinterpret_cast<const char*>(bytes), step.format);
      break;
    case StepKind::kWavFormat:
      wav_set_format(step.format);
      break;
    case StepKind::kSound:
      decode_xa_sound(bytes, step.coding);
      break;
    case StepKind::kPcm:
      wav_write(bytes, step.size);
      break;
    case StepKind::kWavClose:
      wav_close();
      break;
    case StepKind::kHistoryReset:
      reset_adpcm_history();
      break;
    case StepKind::kHistorySet:
      adpcm_left = step.left;
      adpcm_right = step.right;
      break;
  }
}

void run_stage(OutputStage& s) {
  keep_signals_off_this_thread();
  set_thread_fatal_handler(throw_held_fatal_error);
  std::unique_lock<std::mutex> hold(s.lock);
  for (;;) {
    s.work_ready.wait(hold, [&] { return !s.waiting.empty() || s.stopping; });
    if (s.waiting.empty()) return;
    std::unique_ptr<Batch> batch = std::move(s.waiting.front());
    s.waiting.pop_front();
    // After a failure nothing more is done: the batches are only given back.
    const bool skip = s.failed;
    s.busy = true;
    hold.unlock();
    HeldFatalError failure;
    bool ok = true;
    if (!skip) {
      try {
        for (const Step& step : batch->steps) {
          if (s.abandon.load(std::memory_order_relaxed)) break;
          run_step(*batch, step);
        }
      } catch (const HeldFatalError& f) {
        failure = f;
        ok = false;
      }
    }
    batch->steps.clear();
    batch->bytes.clear();
    hold.lock();
    if (!ok) {
      s.failed = true;
      s.failure = std::move(failure);
    }
    s.spare.push_back(std::move(batch));
    s.busy = false;
    s.batch_done.notify_all();
  }
}

std::unique_ptr<Batch> new_batch() {
  try {
    auto batch = std::make_unique<Batch>();
    batch->bytes.reserve(kBatchBytes + kSoundDataBytes);
    return batch;
  } catch (const std::bad_alloc&) {
    fatal_error(kErrAlloc, "");
  }
}

// Ends the stage's thread and puts back what the stage replaced.
void stop_stage(OutputStage& s) {
  {
    std::lock_guard<std::mutex> hold(s.lock);
    s.stopping = true;
  }
  s.work_ready.notify_one();
  if (s.thread.joinable()) s.thread.join();
  set_console_diversion(nullptr);
  set_exit_stopper(nullptr);
  set_fatal_handler(s.previous_handler);
  stage = nullptr;
  delete &s;
}

// Stops the stage and reports its failure on this thread.
[[noreturn]] void report_stage_failure(OutputStage& s) {
  const HeldFatalError f = s.failure;
  stop_stage(s);
  report_held_fatal_error(f);
}

// The open batch joins the waiting ones; waits while too many wait. A
// failure on the stage is reported here.
void hand_over(OutputStage& s) {
  std::unique_ptr<Batch> next;
  bool failed = false;
  {
    std::unique_lock<std::mutex> hold(s.lock);
    s.batch_done.wait(hold, [&] { return s.failed || s.waiting.size() < kBatchesWaiting; });
    failed = s.failed;
    if (!failed) {
      if (s.open->steps.empty()) return;
      s.waiting.push_back(std::move(s.open));
      if (!s.spare.empty()) {
        next = std::move(s.spare.back());
        s.spare.pop_back();
      }
    }
  }
  if (failed) report_stage_failure(s);
  s.work_ready.notify_one();
  s.open = next != nullptr ? std::move(next) : new_batch();
}

// Hands everything over and waits until it is done; a failure on the stage
// is reported here.
void drain(OutputStage& s) {
  hand_over(s);
  std::unique_lock<std::mutex> hold(s.lock);
  s.batch_done.wait(hold, [&] { return s.failed || (s.waiting.empty() && !s.busy); });
  const bool failed = s.failed;
  hold.unlock();
  if (failed) report_stage_failure(s);
}

// A failure of the asking thread: what was asked for before it is done
// first (an earlier failure of the stage is reported instead).
void report_after_stage(int code, const char*, const char* detail, bool detail_is_text) {
  OutputStage& s = *stage;
  set_fatal_handler(s.previous_handler);  // a failure while draining is reported plainly
  drain(s);
  stop_stage(s);
  report_held_fatal_error(HeldFatalError{code, detail != nullptr ? detail : "", detail != nullptr, detail_is_text});
}

// An early end: the stage stops after the step in hand.
void abandon_stage() {
  if (stage == nullptr) return;
  stage->abandon.store(true, std::memory_order_relaxed);
  stop_stage(*stage);
}

Step& add_step(StepKind kind, const void* bytes, size_t size) {
  Batch& batch = *stage->open;
  Step step;
  step.kind = kind;
  step.offset = batch.bytes.size();
  step.size = size;
  try {
    const auto* first = static_cast<const uint8_t*>(bytes);
    batch.bytes.insert(batch.bytes.end(), first, first + size);
    batch.steps.push_back(step);
  } catch (const std::bad_alloc&) {
    fatal_error(kErrAlloc, "");
  }
  return batch.steps.back();
}

void hand_over_when_full() {
  if (stage->open->bytes.size() >= kBatchBytes) hand_over(*stage);
}

// Console text of the asking thread: it joins the text asked for just
// before it when it can.
void divert_console(const char* bytes, size_t size) {
  Batch& batch = *stage->open;
  if (!batch.steps.empty() && batch.steps.back().kind == StepKind::kConsole &&
      batch.steps.back().offset + batch.steps.back().size == batch.bytes.size()) {
    try {
      batch.bytes.insert(batch.bytes.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
      fatal_error(kErrAlloc, "");
    }
    batch.steps.back().size += size;
  } else {
    add_step(StepKind::kConsole, bytes, size);
  }
  hand_over_when_full();
}

}  // namespace

void start_output_stage() {
  if (stage != nullptr) return;
  auto* s = new (std::nothrow) OutputStage;
  if (s == nullptr) fatal_error(kErrAlloc, "");
  stage = s;
  s->open = new_batch();
  s->here_left = adpcm_left;
  s->here_right = adpcm_right;
  s->previous_handler = current_fatal_handler();
  try {
    s->thread = std::thread(run_stage, std::ref(*s));
  } catch (const std::exception&) {
    // No thread to be had: the work is done on this thread, as without one.
    stage = nullptr;
    delete s;
    return;
  }
  set_fatal_handler(report_after_stage);
  set_exit_stopper(abandon_stage);
  set_console_diversion(divert_console);
}

void finish_output_stage() {
  if (stage == nullptr) return;
  OutputStage& s = *stage;
  drain(s);
  if (s.histories == HistoryPlace::kAsking) {
    adpcm_left = s.here_left;
    adpcm_right = s.here_right;
  }
  stop_stage(s);
}

void output_wav_open() {
  if (stage == nullptr) {
    wav_open(output_name, stream_wav_format());
    return;
  }
  OutputStage& s = *stage;
  add_step(StepKind::kWavOpen, output_name, std::strlen(output_name) + 1).format = stream_wav_format();
  if (s.histories != HistoryPlace::kStage) {
    std::lock_guard<std::mutex> hold(s.lock);
    s.decoding_here = s.waiting.size() >= kBatchesBehind;
  }
  hand_over_when_full();
}

void output_wav_format() {
  if (stage == nullptr) {
    wav_set_format(stream_wav_format());
    return;
  }
  add_step(StepKind::kWavFormat, nullptr, 0).format = stream_wav_format();
}

void output_xa_sector(const uint8_t* sector) {
  const uint8_t* data = sector + kSubheaderBytes;
  if (stage == nullptr) {
    decode_xa_sound(data, stream_coding());
    return;
  }
  OutputStage& s = *stage;
  if (s.decoding_here) {
    uint8_t pcm[kPcmBytesPerSector];
    add_step(StepKind::kPcm, pcm, decode_xa_pcm(data, stream_coding(), s.here_left, s.here_right, pcm));
    s.histories = HistoryPlace::kAsking;
  } else {
    if (s.histories == HistoryPlace::kAsking) {
      Step& set = add_step(StepKind::kHistorySet, nullptr, 0);
      set.left = s.here_left;
      set.right = s.here_right;
    }
    add_step(StepKind::kSound, data, kSoundDataBytes).coding = stream_coding();
    s.histories = HistoryPlace::kStage;
  }
  hand_over_when_full();
}

void output_wav_close() {
  if (stage == nullptr) {
    wav_close();
    return;
  }
  add_step(StepKind::kWavClose, nullptr, 0);
  stage->decoding_here = false;
}

void output_history_reset() {
  if (stage == nullptr) {
    reset_adpcm_history();
    return;
  }
  add_step(StepKind::kHistoryReset, nullptr, 0);
  stage->here_left = AdpcmHistory{};
  stage->here_right = AdpcmHistory{};
  stage->histories = HistoryPlace::kBoth;
}

void output_report_bytes(FILE* report, std::string bytes) {
  if (stage == nullptr) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), report) != bytes.size()) fatal_error(kErrWrite, "");
    return;
  }
  add_step(StepKind::kReport, bytes.data(), bytes.size()).report = report;
  hand_over_when_full();
}
