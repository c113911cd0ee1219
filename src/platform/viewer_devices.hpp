// The display, sound and clock services the real-time viewer uses, as small
// interfaces: the SDL stand-ins implement them for the program, tests put
// fakes in their place. Names follow the calls the viewer makes: surfaces
// with lock (pointer, pitch) / unlock, a stretch blit and a flip, a looping
// PCM buffer with lock / unlock / play / stop, and window messages.
#pragma once

#include <cstdint>

// Window messages and keys the viewer's window procedure knows.
constexpr uint32_t kMsgDestroy = 0x0002;
constexpr uint32_t kMsgClose = 0x0010;
constexpr uint32_t kMsgKeyDown = 0x0100;
constexpr uint32_t kKeyEscape = 0x1B;
constexpr uint32_t kKeySpace = 0x20;

struct WindowMessage {
  uint32_t message = 0;
  uint32_t wparam = 0;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

class DisplayDevice {
 public:
  virtual ~DisplayDevice() = default;
  // The full-screen window; false when it cannot be created.
  virtual bool create_window() = 0;
  // The display object itself (the graphics driver).
  virtual bool open() = 0;
  // Exclusive full-screen use.
  virtual bool set_exclusive() = 0;
  // One display mode: width x height at 24 or 32 bits a pixel.
  virtual bool set_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel) = 0;
  // The flippable primary surface with one back buffer.
  virtual bool create_primary() = 0;
  // The back buffer filled with black.
  virtual void clear_back_buffer() = 0;
  // The picture surface in the display's pixel format; video_memory asks
  // for the fast kind first.
  virtual bool create_offscreen(uint32_t width, uint32_t height, bool video_memory) = 0;
  virtual bool lock_offscreen(uint8_t** pixels, int32_t* pitch) = 0;
  virtual bool unlock_offscreen() = 0;
  // Stretch blit from the picture surface to the back buffer.
  virtual bool blit(const Rect& destination, const Rect& source) = 0;
  virtual bool flip() = 0;
  // Removes one waiting message; false when none waits.
  virtual bool next_message(WindowMessage* message) = 0;
  // Destroys the window (the caller then handles the destroy message).
  virtual void destroy_window() = 0;
  // Releases the surfaces and the display object (set-up failure paths).
  virtual void release() = 0;
};

enum class SoundLock { Ok, Lost, Failed };

struct SoundRegions {
  uint8_t* first = nullptr;
  uint32_t first_bytes = 0;
  uint8_t* second = nullptr;
  uint32_t second_bytes = 0;
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // The sound object and its normal cooperative level.
  virtual bool open() = 0;
  // A looping buffer of 16-bit PCM.
  virtual bool create_buffer(uint32_t bytes, uint32_t rate, uint32_t channels) = 0;
  virtual SoundLock lock(uint32_t offset, uint32_t bytes, SoundRegions* regions) = 0;
  virtual bool restore() = 0;
  virtual bool unlock(const SoundRegions& regions) = 0;
  virtual bool play_looping() = 0;
  virtual bool stop() = 0;
  virtual void release() = 0;
};

class TickSource {
 public:
  virtual ~TickSource() = default;
  // Milliseconds, unsigned 32-bit with wrap-around.
  virtual uint32_t tick_count() = 0;
};
