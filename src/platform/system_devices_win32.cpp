// The viewer's devices on Windows: DirectDraw display and DirectSound sound.
#include "platform/system_devices.hpp"

#include "platform/ddraw_display.hpp"
#include "platform/dsound_sound.hpp"

DisplayDevice* new_system_display() { return new DDrawDisplay(); }
SoundDevice* new_system_sound() { return new DSoundSound(); }
