// The playback mode: set-up, the preload of the frame ring, the start wait,
// then one frame a pass paced against the millisecond clock by busy-waiting.
// Every whole period a flip comes late becomes one frame to drop.
#include "modes/viewer/playback_loop.hpp"

#include "modes/viewer/playback_control.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "modes/viewer/viewer_setup.hpp"
#include "modes/viewer/window_proc.hpp"
#include "platform/interrupt_signals.hpp"
#include "state/conversion_numbers.hpp"
#include "state/settings.hpp"
#include "state/viewer_state.hpp"

namespace {

// Fills PreLoadFrame - 1 slots. False when the stream ends with at most one
// frame: nothing is played. A stream that ends after two or more frames
// plays the frames it has.
bool preload() {
  viewer_clock.preloading = 1;
  viewer_clock.preloaded_frames = 0;
  const int32_t wanted = settings.PreLoadFrame - 1;
  while (viewer_clock.preloaded_frames < wanted) {
    const int32_t stored = viewer_clock.preloaded_frames;
    if (read_frame_ahead() == 0) return false;
    if (frame_ring.draining != 0 && stored >= 2) {
      rewind_ring_for_short_stream(stored);
      break;
    }
    ++viewer_clock.preloaded_frames;
  }
  viewer_clock.preloading = 0;
  return true;
}

bool before(float deadline) {
  return static_cast<double>(viewer_ticks()) < static_cast<double>(deadline);
}

// Playback goes on while nobody asked it to end: neither the window (its
// close, Escape) nor a signal.
bool playing_on() { return viewer_clock.quit_requested == 0 && pending_interrupt() == 0; }

// Busy-waits for the deadline, or until a signal arrives.
void wait_until(float deadline) {
  while (pending_interrupt() == 0 && before(deadline)) {
  }
}

// The start wait, however long, also takes the window's messages, so that
// closing the window or Escape ends it as a signal does. (A pause taken
// during the wait moves its end on, as it moves a frame's.)
void wait_to_start() {
  while (playing_on() && before(viewer_clock.next_frame_time)) pump_window_messages();
}

}  // namespace

void run_viewer() {
  viewer_setup();
  if (!preload()) return;

  // A negative start wait waits not at all.
  const uint32_t start_wait = settings.StartWait > 0 ? static_cast<uint32_t>(settings.StartWait) : 0;
  viewer_clock.next_frame_time = static_cast<float>(viewer_ticks() + start_wait);
  wait_to_start();

  choose_preloaded_rate();
  const float period = viewer_frame_period();
  viewer_clock.next_frame_time =
      static_cast<float>(static_cast<double>(viewer_ticks()) + static_cast<double>(period));
  viewer_clock.frames_to_skip = 0;
  viewer_clock.paused = 0;

  while (playing_on()) {
    pump_window_messages();
    if (viewer_clock.paused != 0) continue;
    if (frame_step() == -1) break;
    if (settings.PlayWait != 0) wait_until(viewer_clock.next_frame_time);
    if (page_flip() != 0) viewer_clock.quit_requested = 1;
    if (settings.PlayWait != 0) {
      const double late = (static_cast<double>(viewer_ticks()) - viewer_clock.next_frame_time) /
                          static_cast<double>(period);
      const auto whole = static_cast<int32_t>(late);
      viewer_clock.frames_to_skip = whole;
      viewer_clock.next_frame_time = static_cast<float>(
          static_cast<double>(whole + 1) * period + viewer_clock.next_frame_time);
    }
  }
  if (viewer_sound.enabled != 0) viewer_backends.sound->stop();
  // Interrupted: the run ends with the signal's status.
  stop_if_interrupted();
}
