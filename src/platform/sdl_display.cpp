// SDL2 stand-in for the viewer's full-screen display. Surfaces live in
// memory in the mode's pixel format (bytes blue, green, red first, as the
// drawing writes them); the flip scales the back buffer into the window,
// keeping its aspect, so the chosen mode is letterboxed on any screen. It
// runs under SDL's dummy and offscreen video drivers as well.
#include "platform/sdl_display.hpp"

#include <SDL.h>

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kBitsTrueColour = 24;

// Pixel formats whose bytes in memory start with blue, green, red.
uint32_t format_for(uint32_t bits_per_pixel) {
  return bits_per_pixel == kBitsTrueColour ? SDL_PIXELFORMAT_BGR24 : SDL_PIXELFORMAT_RGB888;
}

SDL_Rect to_sdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace

SdlDisplay::~SdlDisplay() { release(); }

bool SdlDisplay::create_window() {
  if (!video_ready_) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    video_ready_ = true;
  }
  window_ = SDL_CreateWindow("KORVANE", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                             kWindowWidth, kWindowHeight,
                             SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
  if (window_ == nullptr) return false;
  SDL_ShowCursor(SDL_DISABLE);
  SDL_RaiseWindow(window_);
  return true;
}

bool SdlDisplay::open() { return window_ != nullptr; }

bool SdlDisplay::set_exclusive() { return window_ != nullptr; }

bool SdlDisplay::set_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel) {
  SDL_Surface* probe = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(width),
                                                      static_cast<int>(height),
                                                      static_cast<int>(bits_per_pixel),
                                                      format_for(bits_per_pixel));
  if (probe == nullptr) return false;
  SDL_FreeSurface(probe);
  width_ = width;
  height_ = height;
  format_ = format_for(bits_per_pixel);
  return true;
}

bool SdlDisplay::create_primary() {
  if (format_ == 0) return false;
  back_buffer_ = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(width_),
                                                static_cast<int>(height_),
                                                SDL_BITSPERPIXEL(format_), format_);
  return back_buffer_ != nullptr;
}

void SdlDisplay::clear_back_buffer() {
  if (back_buffer_ != nullptr) SDL_FillRect(back_buffer_, nullptr, 0);
}

bool SdlDisplay::create_offscreen(uint32_t width, uint32_t height, bool) {
  offscreen_ = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(width), static_cast<int>(height),
                                              SDL_BITSPERPIXEL(format_), format_);
  return offscreen_ != nullptr;
}

bool SdlDisplay::lock_offscreen(uint8_t** pixels, int32_t* pitch) {
  if (offscreen_ == nullptr || SDL_LockSurface(offscreen_) != 0) return false;
  *pixels = static_cast<uint8_t*>(offscreen_->pixels);
  *pitch = offscreen_->pitch;
  return true;
}

bool SdlDisplay::unlock_offscreen() {
  if (offscreen_ == nullptr) return false;
  SDL_UnlockSurface(offscreen_);
  return true;
}

bool SdlDisplay::blit(const Rect& destination, const Rect& source) {
  if (back_buffer_ == nullptr || offscreen_ == nullptr) return false;
  SDL_Rect src = to_sdl(source);
  SDL_Rect dst = to_sdl(destination);
  return SDL_BlitScaled(offscreen_, &src, back_buffer_, &dst) == 0;
}

bool SdlDisplay::flip() {
  if (window_ == nullptr || back_buffer_ == nullptr) return false;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return false;
  // The largest rectangle of the mode's aspect that fits the window.
  int w = screen->w;
  int h = static_cast<int>(static_cast<int64_t>(w) * height_ / width_);
  if (h > screen->h) {
    h = screen->h;
    w = static_cast<int>(static_cast<int64_t>(h) * width_ / height_);
  }
  SDL_Rect dst{(screen->w - w) / 2, (screen->h - h) / 2, w, h};
  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
  if (SDL_BlitScaled(back_buffer_, nullptr, screen, &dst) != 0) return false;
  return SDL_UpdateWindowSurface(window_) == 0;
}

bool SdlDisplay::next_message(WindowMessage* message) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_QUIT:
        *message = WindowMessage{kMsgClose, 0};
        return true;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          *message = WindowMessage{kMsgClose, 0};
          return true;
        }
        break;
      case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
          *message = WindowMessage{kMsgKeyDown, kKeyEscape};
        } else if (event.key.keysym.sym == SDLK_SPACE) {
          *message = WindowMessage{kMsgKeyDown, kKeySpace};
        } else {
          *message = WindowMessage{kMsgKeyDown, static_cast<uint32_t>(event.key.keysym.sym)};
        }
        return true;
      default:
        break;
    }
  }
  return false;
}

void SdlDisplay::destroy_window() {
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
}

void SdlDisplay::release() {
  if (offscreen_ != nullptr) SDL_FreeSurface(offscreen_);
  if (back_buffer_ != nullptr) SDL_FreeSurface(back_buffer_);
  offscreen_ = nullptr;
  back_buffer_ = nullptr;
}
