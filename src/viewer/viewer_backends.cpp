// The program's own devices: SDL display and sound, the monotonic clock.
#include "viewer/viewer_backends.hpp"

#include "platform/sdl_display.hpp"
#include "platform/sdl_sound.hpp"
#include "platform/tick_clock.hpp"

ViewerBackends viewer_backends;

void install_default_backends() {
  static SystemTickSource system_clock;
  if (viewer_backends.clock == nullptr) viewer_backends.clock = &system_clock;
  if (viewer_backends.display == nullptr) viewer_backends.display = new SdlDisplay();
  if (viewer_backends.sound == nullptr) viewer_backends.sound = new SdlSound();
}
