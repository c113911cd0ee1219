// The program's own display and sound devices for the viewer: the SDL
// stand-ins on Linux, DirectDraw and DirectSound on Windows.
#pragma once

#include "platform/viewer_devices.hpp"

// Each call makes a new device; it lives until the process ends.
DisplayDevice* new_system_display();
SoundDevice* new_system_sound();
