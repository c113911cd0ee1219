// Threads that decode frames while the conversion assembles and writes
// others. A job carries one assembled frame in and its picture (or the fatal
// error the frame ends with) out; the driver hands jobs over in frame order
// and takes them back in the same order, so what is written never depends on
// which thread finished first. The workers never report errors themselves:
// that happens on the driver's thread, at the frame's turn.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "format/mdec/frame_decode.hpp"

struct FrameJob {
  // The assembled frame.
  std::vector<uint8_t> bitstream;
  size_t bitstream_bytes = 0;
  FrameParameters params;
  // The progress line printed when the frame is written.
  int32_t frame_number = 0;
  uint32_t sector_after = 0;  // the sector after the frame's last chunk
  uint32_t end_sector = 0;
  // The result: the picture, bottom row first, or the error code and detail.
  std::vector<int16_t> coefficients;
  std::vector<uint8_t> picture;
  int error = 0;
  const char* detail = nullptr;
  bool done = false;  // guarded by the workers' lock while queued
};

// The picture of the job's frame (what a worker does with a job).
void decode_frame_job(FrameJob& job);

class FrameWorkers {
 public:
  explicit FrameWorkers(unsigned threads);
  ~FrameWorkers();
  FrameWorkers(const FrameWorkers&) = delete;
  FrameWorkers& operator=(const FrameWorkers&) = delete;

  // The job is filled in; a worker decodes it.
  void submit(FrameJob* job);
  // Returns once the job has been decoded (never after stop); a job no
  // worker has taken yet is decoded by the caller.
  void wait(FrameJob* job);
  // The workers finish the job in hand and end; later calls do nothing.
  void stop();

 private:
  void run();

  std::mutex lock_;
  std::condition_variable work_ready_;
  std::condition_variable job_done_;
  std::deque<FrameJob*> queue_;
  bool stopping_ = false;
  unsigned thread_count_ = 0;
  std::vector<std::thread> threads_;
};
