// The display, sound and clock the viewer talks to. Set-up installs the SDL
// stand-ins and the system clock unless something (a test) has put its own
// in place first.
#pragma once

#include "platform/viewer_devices.hpp"

struct ViewerBackends {
  DisplayDevice* display = nullptr;
  SoundDevice* sound = nullptr;
  TickSource* clock = nullptr;
};

extern ViewerBackends viewer_backends;

// Fills the empty entries with the program's own devices.
void install_default_backends();
