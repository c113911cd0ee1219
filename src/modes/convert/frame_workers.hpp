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
#include "modes/convert/movie_sound.hpp"
#include "platform/errors.hpp"

// The order in which the frames' sound is decoded: frame after frame, each
// with the histories the one before left; turn is the sequence number of
// the first frame whose sound is not decoded yet.
struct FrameJob;
struct SoundChain {
  std::mutex lock;
  uint64_t turn = 0;
  // Frames whose picture was done before their sound's turn came: whoever
  // decodes the sound before theirs goes on with theirs. Room for every job
  // is reserved before the first.
  std::vector<FrameJob*> early;
};

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
  // -with-sound: the sound written before the frame, gathered when it was
  // assembled (or the error gathering it ended with), decoded at its turn
  // in the chain by whichever thread gets there first.
  SoundChain* chain = nullptr;  // none: the frame brings no sound
  uint64_t sequence = 0;
  FrameSound sound;
  bool sound_decoded = false;   // guarded by the chain's lock
  bool sound_failed = false;
  HeldFatalError sound_error;
};

// Decodes the job's sound if its turn in the chain has come.
void decode_sound_in_turn(FrameJob& job);

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
