// The viewer's display over SDL2: a window covering the desktop, the picture
// surface in memory in the display mode's pixel format, and a presentation
// that uploads the picture once a frame into a streaming texture of the same
// format and lets an accelerated SDL renderer scale it into the letterboxed
// mode (or the renderer SDL_RENDER_DRIVER names, the software one included).
// Without one (SDL's dummy driver, a display without OpenGL) the picture is
// scaled once, straight into the window surface. SDL events become window
// messages (keys, close requests).
#pragma once

#include "platform/viewer_devices.hpp"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
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
  bool format_presentable(uint32_t format);
  bool present_with_renderer();
  bool present_in_window_surface();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;  // null: the window-surface fall-back
  SDL_Texture* texture_ = nullptr;    // the picture as the renderer sees it
  SDL_Surface* picture_ = nullptr;    // the offscreen surface the drawing writes
  uint32_t width_ = 0;                // the display mode
  uint32_t height_ = 0;
  uint32_t format_ = 0;
  Rect source_{};                     // the last blit, in picture and mode pixels
  Rect destination_{};
  bool blit_pending_ = false;
  // Fall-back: the window surface and picture placement last drawn, so that
  // the black surround is painted only when either changes.
  SDL_Surface* painted_screen_ = nullptr;
  int painted_w_ = 0;
  int painted_h_ = 0;
  Rect painted_destination_{};
  bool video_ready_ = false;
};
