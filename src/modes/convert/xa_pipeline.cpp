// The audio conversion thread and the ring of steps handed over to it.
#include "modes/convert/xa_pipeline.hpp"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "base/exit_finishers.hpp"
#include "base/messages.hpp"
#include "format/disc/xa_sector.hpp"
#include "format/xa/adpcm_decoder.hpp"
#include "io/wav_writer.hpp"
#include "modes/convert/conversion_threads.hpp"
#include "modes/convert/xa_decode.hpp"
#include "platform/console.hpp"
#include "platform/errors.hpp"
#include "platform/thread_signals.hpp"

namespace {

constexpr size_t kRingSteps = 64;  // steps handed over and not yet done, at most
constexpr size_t kWakeSteps = 4;  // a sleeping thread is woken for this many steps at once

struct Step {
  bool is_sector = false;
  int32_t sector = 0;  // a progress line's numbers
  int32_t end = 0;
  uint8_t bytes[kSectorBytes];  // a sector to convert
};

struct Pipeline {
  std::mutex lock;
  std::condition_variable work_ready;
  std::condition_variable work_done;
  std::vector<Step> ring = std::vector<Step>(kRingSteps);
  size_t oldest = 0;  // the next step the thread takes
  size_t waiting = 0;  // steps handed over and not yet done
  WavAppendFailure failure;  // the first failed append; later steps are skipped
  // Who sleeps on which condition: each side wakes the other only then.
  bool thread_sleeps = false;
  bool caller_sleeps = false;
  bool step_taken = false;  // one side is doing the oldest step
  uint8_t pcm[kPcmBytesPerSector];
  std::thread thread;
};

// Made at the first pipelined stream and kept, idle between streams, for the
// rest of the process (it is never destroyed, so exiting never meets a
// thread still joinable).
Pipeline* pipeline = nullptr;
bool active = false;
FatalHandler previous_handler = nullptr;

void print_progress(int32_t sector, int32_t end) {
  console_printf(message_text(Msg::ConvertAudioProgress), sector, end);
}

void do_step(Pipeline& p, const Step& step) {
  if (!step.is_sector) {
    print_progress(step.sector, step.end);
    return;
  }
  const WavAppendFailure failure = wav_append(p.pcm, decode_xa_pcm(step.bytes, p.pcm));
  if (failure.code != 0) {
    std::lock_guard<std::mutex> hold(p.lock);
    p.failure = failure;
  }
}

// With the lock held: the oldest step, done by whichever side holds the
// lock (never both at once), the lock let go meanwhile.
void do_oldest(Pipeline& p, std::unique_lock<std::mutex>& hold) {
  p.step_taken = true;
  const Step& step = p.ring[p.oldest];
  const bool skip = p.failure.code != 0;
  hold.unlock();
  if (!skip) do_step(p, step);
  hold.lock();
  p.oldest = (p.oldest + 1) % kRingSteps;
  --p.waiting;
  p.step_taken = false;
}

bool thread_has_work(const Pipeline& p) { return p.waiting != 0 && !p.step_taken; }

// With the lock held: a sleeping thread with steps to do is woken.
void wake_thread(Pipeline& p) {
  if (p.thread_sleeps && thread_has_work(p)) p.work_ready.notify_one();
}

void run(Pipeline& p) {
  keep_signals_off_this_thread();
  std::unique_lock<std::mutex> hold(p.lock);
  for (;;) {
    p.thread_sleeps = true;
    p.work_ready.wait(hold, [&p] { return thread_has_work(p); });
    p.thread_sleeps = false;
    do_oldest(p, hold);
    if (p.caller_sleeps) p.work_done.notify_one();
  }
}

// With the lock held: the caller does the oldest step itself when the thread
// has not taken it (a busy machine may not have run the thread yet), or
// waits for the thread to finish the one it holds.
void help_or_wait(Pipeline& p, std::unique_lock<std::mutex>& hold) {
  if (!p.step_taken) {
    do_oldest(p, hold);
    return;
  }
  p.caller_sleeps = true;
  p.work_done.wait(hold, [&p] { return !p.step_taken; });
  p.caller_sleeps = false;
}

// Until every step handed over is done (or skipped).
void wait_until_done() {
  Pipeline& p = *pipeline;
  std::unique_lock<std::mutex> hold(p.lock);
  while (p.waiting != 0) help_or_wait(p, hold);
}

WavAppendFailure take_failure() {
  std::lock_guard<std::mutex> hold(pipeline->lock);
  const WavAppendFailure failure = pipeline->failure;
  pipeline->failure = WavAppendFailure{};
  return failure;
}

// An interruption's finisher: the steps handed over are done before the
// WAV file's header is completed.
void finish_steps() { wait_until_done(); }

// Gives the console and the WAV file back; returns the handler in place before.
FatalHandler stop_using() {
  set_fatal_handler(previous_handler);
  remove_exit_finisher(finish_steps);
  active = false;
  return previous_handler;
}

// Installed between begin and end: a fatal error of the caller comes after
// what was handed over before it, and a failed append handed over earlier
// is the error reported.
void finish_then_report(int code, const char* message, const char* detail, bool detail_is_text) {
  wait_until_done();
  const WavAppendFailure failure = take_failure();
  const FatalHandler handler = stop_using();
  if (failure.code != 0)
    handler(failure.code, error_message(failure.code), failure.detail, true);
  else
    handler(code, message, detail, detail_is_text);
}

// The next free step, once there is one; a failed append is reported first.
Step& free_step() {
  Pipeline& p = *pipeline;
  std::unique_lock<std::mutex> hold(p.lock);
  while (p.waiting == kRingSteps && p.failure.code == 0) help_or_wait(p, hold);
  if (p.failure.code != 0) {
    const WavAppendFailure failure = p.failure;
    hold.unlock();
    fatal_error(failure.code, failure.detail);  // reported by finish_then_report
  }
  return p.ring[(p.oldest + p.waiting) % kRingSteps];
}

// The step filled in last is the thread's to do.
void hand_over() {
  Pipeline& p = *pipeline;
  std::lock_guard<std::mutex> hold(p.lock);
  ++p.waiting;
  if (p.waiting >= kWakeSteps) wake_thread(p);
}

}  // namespace

bool begin_xa_pipeline() {
  if (active || conversion_threads() < 2) return false;
  if (pipeline == nullptr) {
    pipeline = new Pipeline;
    pipeline->thread = std::thread(run, std::ref(*pipeline));
  }
  previous_handler = current_fatal_handler();
  set_fatal_handler(finish_then_report);
  add_exit_finisher(finish_steps);
  active = true;
  return true;
}

void xa_progress_line(int32_t sector, int32_t end) {
  if (!active) {
    print_progress(sector, end);
    return;
  }
  Step& step = free_step();
  step.is_sector = false;
  step.sector = sector;
  step.end = end;
  hand_over();
}

void convert_xa_sector(const uint8_t* sector) {
  if (!active) {
    decode_xa_sector(sector);
    return;
  }
  Step& step = free_step();
  step.is_sector = true;
  std::memcpy(step.bytes, sector, kSectorBytes);
  hand_over();
}

void end_xa_pipeline() {
  if (!active) return;
  wait_until_done();
  const WavAppendFailure failure = pipeline->failure;  // the thread is idle now
  if (failure.code != 0) fatal_error(failure.code, failure.detail);  // reported by finish_then_report
  stop_using();
}
