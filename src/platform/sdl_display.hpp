// The viewer's display over SDL2: a full-screen window, a back buffer at
// the chosen display mode (320x240 or 640x480, 24 or 32 bits), a picture
// surface in the same pixel format, the stretch blit between them, and a
// flip that shows the back buffer letterboxed in the window. SDL events
// become window messages (keys, close requests).
#pragma once

#include "platform/viewer_devices.hpp"

struct SDL_Window;
struct SDL_Surface;

class SdlDisplay : public DisplayDevice {
 public:
  ~SdlDisplay() override;
  bool create_window() override;
  bool open() override;
  bool set_exclusive() override;
  bool set_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel) override;
  bool create_primary() override;
  void clear_back_buffer() override;
  bool create_offscreen(uint32_t width, uint32_t height, bool video_memory) override;
  bool lock_offscreen(uint8_t** pixels, int32_t* pitch) override;
  bool unlock_offscreen() override;
  bool blit(const Rect& destination, const Rect& source) override;
  bool flip() override;
  bool next_message(WindowMessage* message) override;
  void destroy_window() override;
  void release() override;

 private:
  SDL_Window* window_ = nullptr;
  SDL_Surface* back_buffer_ = nullptr;
  SDL_Surface* offscreen_ = nullptr;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t format_ = 0;
  bool video_ready_ = false;
};
