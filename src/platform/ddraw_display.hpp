// The viewer's display on Windows: a top-most WS_POPUP window of class
// "KORVANE", DirectDraw through IDirectDraw2 in full-screen exclusive mode,
// a flippable primary surface with one back buffer, and an offscreen picture
// surface in the display's pixel format. The window procedure hands close
// requests, the window's destruction and key presses to the viewer as
// window messages; everything else goes to DefWindowProcA.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <deque>

#include "platform/viewer_devices.hpp"

struct IDirectDraw2;
struct IDirectDrawSurface;

class DDrawDisplay : public DisplayDevice {
 public:
  ~DDrawDisplay() override;
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
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam);

  IDirectDraw2* ddraw_ = nullptr;
  IDirectDrawSurface* primary_ = nullptr;
  IDirectDrawSurface* back_buffer_ = nullptr;
  IDirectDrawSurface* offscreen_ = nullptr;
  std::deque<WindowMessage> taken_;  // messages the window procedure passed on
};

// The viewer window, for the sound's cooperative level; nullptr before the
// window exists.
HWND viewer_window_handle();
