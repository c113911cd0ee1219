// The program's own devices: the platform's display and sound, the system clock.
#include "modes/viewer/viewer_backends.hpp"

#include "platform/system_devices.hpp"
#include "platform/tick_clock.hpp"

ViewerBackends viewer_backends;

void install_default_backends() {
  static SystemTickSource system_clock;
  if (viewer_backends.clock == nullptr) viewer_backends.clock = &system_clock;
  if (viewer_backends.display == nullptr) viewer_backends.display = new_system_display();
  if (viewer_backends.sound == nullptr) viewer_backends.sound = new_system_sound();
}
