// The pipelined conversion loop: assembly, workers, writing in order.
#include "modes/convert/convert_on_workers.hpp"

#include <new>
#include <vector>

#include "io/sector_source.hpp"
#include "modes/convert/frame_assembly.hpp"
#include "modes/convert/frame_output.hpp"
#include "modes/convert/frame_workers.hpp"
#include "platform/errors.hpp"
#include "state/mode_flags.hpp"
#include "state/movie_context.hpp"

namespace {

constexpr unsigned kJobsPerWorker = 2;  // one decoding, one waiting its turn
// A frame of at most this many macroblocks (a 128x128 picture) decodes in
// less time than handing it to another thread and back takes: while no
// frame is in the workers' hands, it is decoded here.
constexpr uint32_t kDecodedHereMacroblocks = 64;

struct Pipeline {
  Pipeline(unsigned threads, MovieOutput out) : output(out), workers(threads), jobs(threads * kJobsPerWorker) {
    chain.early.reserve(jobs.size());
  }
  MovieOutput output;
  FrameWorkers workers;
  std::vector<FrameJob> jobs;  // a ring: in_flight jobs from oldest on
  size_t oldest = 0;
  size_t in_flight = 0;
  bool assembling = false;     // a fatal error now belongs to the frame being assembled
  FatalHandler previous = nullptr;
  SoundChain chain;            // -with-sound: the frames' sound decoded in their order
  uint64_t next_sequence = 0;
};

Pipeline* active = nullptr;

// Prints and writes the oldest frame in hand, or ends with its error.
void write_oldest(Pipeline& p) {
  FrameJob& job = p.jobs[p.oldest];
  p.workers.wait(&job);
  p.oldest = (p.oldest + 1) % p.jobs.size();
  --p.in_flight;
  print_frame_progress(job.sector_after, job.end_sector, job.frame_number);
  if (job.error != 0) {
    p.workers.stop();
    fatal_error(job.error, job.detail);
  }
  if (job.sound_failed) {
    p.workers.stop();
    report_held_fatal_error(job.sound_error);
  }
  if (job.chain != nullptr) {
    decode_sound_in_turn(job);
    if (job.sound_failed) {
      p.workers.stop();
      report_held_fatal_error(job.sound_error);
    }
    write_frame_sound(job.sound);
  }
  // The writers take the frame from MovieContext; assembly has moved on, so
  // its fields are put back afterwards.
  const int32_t counter = movie.frame_counter;
  const uint32_t width = movie.picture_width;
  const uint32_t height = movie.picture_height;
  uint8_t* const picture = movie.frame.picture;
  movie.frame_counter = job.frame_number;
  movie.picture_width = job.params.width;
  movie.picture_height = job.params.height;
  movie.frame.picture = job.picture.data();
  write_converted_frame(p.output);
  movie.frame_counter = counter;
  movie.picture_width = width;
  movie.picture_height = height;
  movie.frame.picture = picture;
}

// Installed while the loop runs: the frames assembled before a fatal error
// are written first, then the error is reported as usual.
void write_then_report(int code, const char* message, const char* detail, bool detail_is_text) {
  Pipeline& p = *active;
  if (p.assembling) {
    p.assembling = false;
    while (p.in_flight != 0) write_oldest(p);  // an earlier frame's error ends it here instead
  }
  p.workers.stop();
  active = nullptr;
  set_fatal_handler(p.previous);
  p.previous(code, message, detail, detail_is_text);
}

// Puts the fatal handler back however the loop ends (a handler that throws
// unwinds through here).
struct HandlerGuard {
  explicit HandlerGuard(Pipeline& p) : pipeline(p) {
    p.previous = current_fatal_handler();
    active = &p;
    set_fatal_handler(write_then_report);
  }
  ~HandlerGuard() {
    if (active == &pipeline) {
      active = nullptr;
      set_fatal_handler(pipeline.previous);
    }
  }
  Pipeline& pipeline;
};

// The frame MovieContext holds, copied into the next free job. Failing to
// find room for it counts as a failure of its assembly.
FrameJob& take_assembled_frame(Pipeline& p) {
  FrameJob& job = p.jobs[(p.oldest + p.in_flight) % p.jobs.size()];
  try {
    job.bitstream.assign(movie.frame.bitstream, movie.frame.bitstream + movie.frame.bitstream_bytes);
  } catch (const std::bad_alloc&) {
    fatal_error(kErrAlloc, "");
  }
  job.bitstream_bytes = movie.frame.bitstream_bytes;
  job.params.width = movie.picture_width;
  job.params.height = movie.picture_height;
  job.params.version = movie.version;
  job.params.quant_scale = movie.quant_scale;
  job.params.by_rows = mode_is(kModeWidth);
  job.frame_number = movie.frame_counter;
  job.sector_after = static_cast<uint32_t>(current_sector);
  job.end_sector = static_cast<uint32_t>(end_sector);
  job.chain = nullptr;
  job.sound_decoded = false;
  job.sound_failed = false;
  movie.macroblock_count = frame_macroblocks(job.params);
  return job;
}

void gather_job_sound(void* job) {
  FrameJob& j = *static_cast<FrameJob*>(job);
  gather_frame_sound(j.sector_after, j.sound);
}

// The sound the frame brings (-with-sound), gathered now, where a frame
// assembled alone would have its sound read at its turn; an error doing so
// is the frame's, reported at its turn. Returns false then.
bool take_frame_sound(Pipeline& p, FrameJob& job) {
  job.chain = &p.chain;
  job.sequence = p.next_sequence++;
  job.sound_failed = !run_holding_fatal_error(gather_job_sound, &job, job.sound_error);
  return !job.sound_failed;
}

}  // namespace

void convert_frames_on_workers(unsigned threads, MovieOutput output) {
  Pipeline p(threads, output);
  HandlerGuard guard(p);
  for (;;) {
    if (p.in_flight == p.jobs.size()) write_oldest(p);
    p.assembling = true;
    if (!assemble_frame()) break;
    const FrameParameters assembled{movie.picture_width, movie.picture_height};
    if (p.in_flight == 0 && frame_macroblocks(assembled) <= kDecodedHereMacroblocks) {
      p.assembling = false;
      convert_assembled_frame(output);
      continue;
    }
    FrameJob& job = take_assembled_frame(p);
    p.assembling = false;
    const bool sound_taken = output != MovieOutput::Avi || take_frame_sound(p, job);
    ++p.in_flight;
    p.workers.submit(&job);
    if (!sound_taken) break;  // the run ends at this frame's turn
  }
  p.assembling = false;
  while (p.in_flight != 0) write_oldest(p);
  p.workers.stop();
}
