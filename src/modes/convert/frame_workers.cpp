// The decoding threads of the conversion and what each does with a frame.
#include "modes/convert/frame_workers.hpp"

#include <algorithm>
#include <new>
#include <system_error>

#include "base/messages.hpp"
#include "format/mdec/colour.hpp"
#include "modes/convert/frame_buffers.hpp"
#include "modes/convert/frame_pipeline.hpp"
#include "platform/errors.hpp"
#include "platform/thread_signals.hpp"
#include "state/movie_context.hpp"

namespace {
constexpr size_t kPictureBytesPerMacroblock = kMacroblockPixels * kMacroblockPixels * kBytesPerPixel;
}  // namespace

void decode_frame_job(FrameJob& job) {
  // The checks and messages of the single-threaded stages, in their order.
  const uint32_t macroblocks = frame_macroblocks(job.params);
  job.error = 0;
  if (macroblocks > kMaxMacroblocks) {
    job.error = kErrAlloc;
    job.detail = "";
    return;
  }
  try {
    job.coefficients.resize(frame_coefficient_count(job.params));
    // One byte at least, so that an empty picture still has a valid pointer.
    job.picture.resize(macroblocks == 0 ? 1 : macroblocks * kPictureBytesPerMacroblock);
  } catch (const std::bad_alloc&) {
    job.error = kErrAlloc;
    job.detail = "";
    return;
  }
  // RgbPicture is kept bottom row first, as both writers store it.
  const ptrdiff_t row_bytes = static_cast<ptrdiff_t>(job.params.width) * kBytesPerPixel;
  uint8_t* top_row = job.picture.data() + (job.params.height == 0 ? 0 : (job.params.height - 1) * row_bytes);
  if (decode_frame_rgb(job.params, conversion_routines, job.bitstream.data(), job.bitstream_bytes, top_row,
                       -row_bytes, job.coefficients.data()) != FrameStatus::kOk) {
    job.error = kErrConvert;
    job.detail = message_text(Msg::BitstreamInvalid);
  }
  decode_sound_in_turn(job);
}

void decode_sound_in_turn(FrameJob& job) {
  if (job.chain == nullptr || job.sound_failed) return;
  SoundChain& chain = *job.chain;
  std::lock_guard<std::mutex> hold(chain.lock);
  if (job.sound_decoded) return;
  if (chain.turn != job.sequence) {
    if (std::find(chain.early.begin(), chain.early.end(), &job) == chain.early.end()) chain.early.push_back(&job);
    return;
  }
  for (FrameJob* next = &job; next != nullptr;) {
    FrameJob& j = *next;
    chain.early.erase(std::remove(chain.early.begin(), chain.early.end(), &j), chain.early.end());
    if (j.sound_failed) return;
    try {
      decode_frame_sound(j.sound);
    } catch (const std::bad_alloc&) {
      j.sound_failed = true;
      j.sound_error = HeldFatalError{kErrAlloc, "", true, true};
      return;
    }
    j.sound_decoded = true;
    ++chain.turn;
    const auto waiting = std::find_if(chain.early.begin(), chain.early.end(),
                                      [&chain](const FrameJob* e) { return e->sequence == chain.turn; });
    next = waiting == chain.early.end() ? nullptr : *waiting;
  }
}

FrameWorkers::FrameWorkers(unsigned threads) : thread_count_(threads) {}

FrameWorkers::~FrameWorkers() { stop(); }

void FrameWorkers::submit(FrameJob* job) {
  // The threads start with the first job: a movie of small frames needs none.
  // Should none start, wait() decodes every job on the caller's thread.
  if (threads_.empty() && !stopping_) {
    try {
      for (unsigned i = 0; i < thread_count_; ++i) threads_.emplace_back([this] { run(); });
    } catch (const std::system_error&) {
    }
  }
  {
    std::lock_guard<std::mutex> hold(lock_);
    job->done = false;
    queue_.push_back(job);
  }
  work_ready_.notify_one();
}

void FrameWorkers::wait(FrameJob* job) {
  std::unique_lock<std::mutex> hold(lock_);
  const auto queued = std::find(queue_.begin(), queue_.end(), job);
  if (queued != queue_.end()) {
    // No worker has started it: the caller decodes it rather than sleep.
    queue_.erase(queued);
    hold.unlock();
    decode_frame_job(*job);
    hold.lock();
    job->done = true;
    return;
  }
  job_done_.wait(hold, [job] { return job->done; });
}

void FrameWorkers::stop() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : threads_)
    if (t.joinable()) t.join();
  threads_.clear();
}

void FrameWorkers::run() {
  keep_signals_off_this_thread();
  for (;;) {
    FrameJob* job = nullptr;
    {
      std::unique_lock<std::mutex> hold(lock_);
      work_ready_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      job = queue_.front();
      queue_.pop_front();
    }
    decode_frame_job(*job);
    {
      std::lock_guard<std::mutex> hold(lock_);
      job->done = true;
    }
    job_done_.notify_all();
  }
}
