// The window procedure. Pausing stops the sound buffer (it keeps its play
// position) and remembers the time; resuming moves the next deadline on by
// the time spent paused, so no frame counts as late because of the pause.
#include "modes/viewer/window_proc.hpp"

#include "modes/viewer/playback_control.hpp"
#include "modes/viewer/viewer_backends.hpp"
#include "state/viewer_state.hpp"

namespace {

void toggle_pause() {
  viewer_clock.paused ^= 1;
  if (viewer_clock.paused != 0) {
    viewer_clock.pause_started = static_cast<float>(viewer_ticks());
    if (viewer_sound.enabled != 0) viewer_backends.sound->stop();
  } else {
    const long double paused_for =
        static_cast<long double>(viewer_ticks()) - viewer_clock.pause_started;
    viewer_clock.next_frame_time =
        static_cast<float>(static_cast<long double>(viewer_clock.next_frame_time) + paused_for);
    if (viewer_sound.enabled != 0) viewer_backends.sound->play_looping();
  }
}

}  // namespace

int32_t viewer_window_proc(uint32_t message, uint32_t wparam) {
  switch (message) {
    case kMsgDestroy:
    case kMsgClose:  // the window stays
      viewer_clock.quit_requested = 1;
      return 0;
    case kMsgKeyDown:
      if (wparam == kKeyEscape) {
        viewer_backends.display->destroy_window();
        return viewer_window_proc(kMsgDestroy, 0);
      }
      if (wparam == kKeySpace) toggle_pause();
      return 0;
    default:
      return 0;  // what the default window procedure answers
  }
}

void pump_window_messages() {
  WindowMessage message;
  while (viewer_backends.display->next_message(&message))
    viewer_window_proc(message.message, message.wparam);
}
