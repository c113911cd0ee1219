// The viewer's devices on Linux: SDL2 display and sound.
#include "platform/system_devices.hpp"

#include "platform/sdl_display.hpp"
#include "platform/sdl_sound.hpp"

DisplayDevice* new_system_display() { return new SdlDisplay(); }
SoundDevice* new_system_sound() { return new SdlSound(); }
