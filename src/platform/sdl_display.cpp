// SDL2 stand-in for the viewer's full-screen display. The window covers the
// desktop (created at its size, so it fills the screen even where no window
// manager acts on the full-screen request). The picture surface lives in
// memory in the mode's pixel format (bytes blue, green, red first, as the
// drawing writes them); unlocking it uploads its pixels into a streaming
// texture of the same format, and the flip has the renderer draw the blit's
// rectangles inside the mode, which the renderer letterboxes on the screen.
// Formats the renderer cannot take as they are refuse their display mode, so
// the viewer falls back to one it can, and no frame is ever converted.
#include "platform/sdl_display.hpp"

#include <SDL.h>

#include <cstring>

#include "platform/nearest_scale.hpp"

namespace {

constexpr int kFallbackWindowWidth = 640;  // when the desktop's size is unknown
constexpr int kFallbackWindowHeight = 480;
constexpr uint32_t kBitsTrueColour = 24;
constexpr int kBytesPixel32 = 4;
constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER, the name glGetString gives the rasteriser
constexpr char kOpenGlRenderers[] = "opengl";  // SDL's "opengl", "opengles2", ...

// Pixel formats whose bytes in memory start with blue, green, red.
uint32_t format_for(uint32_t bits_per_pixel) {
  return bits_per_pixel == kBitsTrueColour ? SDL_PIXELFORMAT_BGR24 : SDL_PIXELFORMAT_RGB888;
}

SDL_Rect to_sdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

bool same_rect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The largest rectangle of the mode's aspect that fits the screen, centred.
SDL_Rect letterbox(int screen_w, int screen_h, uint32_t mode_w, uint32_t mode_h) {
  int w = screen_w;
  int h = static_cast<int>(static_cast<int64_t>(w) * mode_h / mode_w);
  if (h > screen_h) {
    h = screen_h;
    w = static_cast<int>(static_cast<int64_t>(h) * mode_w / mode_h);
  }
  return SDL_Rect{(screen_w - w) / 2, (screen_h - h) / 2, w, h};
}

// A rectangle in mode pixels placed in the letterbox on the screen.
SDL_Rect on_screen(const Rect& r, const SDL_Rect& box, uint32_t mode_w, uint32_t mode_h) {
  auto x = [&](int32_t v) { return box.x + static_cast<int>(static_cast<int64_t>(v) * box.w / mode_w); };
  auto y = [&](int32_t v) { return box.y + static_cast<int>(static_cast<int64_t>(v) * box.h / mode_h); };
  return SDL_Rect{x(r.left), y(r.top), x(r.right) - x(r.left), y(r.bottom) - y(r.top)};
}

// An OpenGL renderer whose rasteriser is software (Mesa's llvmpipe or
// softpipe, as on a virtual X display): it clears and draws the whole screen
// on the processor every frame, which costs more than scaling the picture
// straight into the window.
bool opengl_in_software(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, kOpenGlRenderers, sizeof kOpenGlRenderers - 1) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned);
  const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (get_string == nullptr) return false;
  const auto* name = reinterpret_cast<const char*>(get_string(kGlRenderer));
  return name != nullptr && (std::strstr(name, "llvmpipe") != nullptr || std::strstr(name, "softpipe") != nullptr ||
                             std::strstr(name, "Software Rasterizer") != nullptr);
}

ScaleRect to_scale(const SDL_Rect& r) { return ScaleRect{r.x, r.y, r.w, r.h}; }

}  // namespace

SdlDisplay::~SdlDisplay() { release(); }

bool SdlDisplay::create_window() {
  if (!video_ready_) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    video_ready_ = true;
  }
  SDL_DisplayMode desktop;
  int w = kFallbackWindowWidth;
  int h = kFallbackWindowHeight;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    w = desktop.w;
    h = desktop.h;
  }
  window_ = SDL_CreateWindow("KORVANE", 0, 0, w, h,
                             SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
  if (window_ == nullptr) return false;
  SDL_ShowCursor(SDL_DISABLE);
  SDL_RaiseWindow(window_);
  return true;
}

bool SdlDisplay::open() {
  if (window_ == nullptr) return false;
  // Nearest-neighbour scaling, as a stretch blit does.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // An accelerated renderer (hardware where there is one). SDL_RENDER_DRIVER
  // may name any renderer, the software one included; without one the
  // picture is scaled once, straight into the window surface, which costs
  // less than the software renderer or OpenGL rasterised in software (they
  // clear, draw and send the whole screen).
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  if (renderer_ != nullptr && (chosen == nullptr || *chosen == '\0') && opengl_in_software(renderer_)) {
    // The renderer made the window an OpenGL one: a fresh window takes its
    // place, and its surface is the display's own memory (SDL would
    // otherwise draw it through that same OpenGL).
    destroy_window();
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return create_window();
  }
  return true;  // without a renderer the window surface serves
}

bool SdlDisplay::set_exclusive() { return window_ != nullptr; }

bool SdlDisplay::format_presentable(uint32_t format) {
  if (renderer_ != nullptr) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer_, &info) != 0) return false;
    for (uint32_t i = 0; i < info.num_texture_formats; ++i)
      if (info.texture_formats[i] == format) return true;
    return false;
  }
  SDL_Surface* screen = window_ != nullptr ? SDL_GetWindowSurface(window_) : nullptr;
  return screen != nullptr && screen->format->format == format;
}

bool SdlDisplay::set_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel) {
  if (width == 0 || height == 0) return false;
  const uint32_t format = format_for(bits_per_pixel);
  if (!format_presentable(format)) return false;
  width_ = width;
  height_ = height;
  format_ = format;
  return true;
}

bool SdlDisplay::create_primary() {
  if (format_ == 0) return false;
  if (renderer_ == nullptr) return true;
  return SDL_RenderSetLogicalSize(renderer_, static_cast<int>(width_), static_cast<int>(height_)) == 0;
}

void SdlDisplay::clear_back_buffer() {
  if (renderer_ == nullptr) return;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, SDL_ALPHA_OPAQUE);
  SDL_RenderClear(renderer_);
}

bool SdlDisplay::create_offscreen(uint32_t width, uint32_t height, bool) {
  picture_ = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(width), static_cast<int>(height),
                                            SDL_BITSPERPIXEL(format_), format_);
  if (picture_ == nullptr) return false;
  if (renderer_ == nullptr) return true;
  texture_ = SDL_CreateTexture(renderer_, format_, SDL_TEXTUREACCESS_STREAMING, static_cast<int>(width),
                               static_cast<int>(height));
  return texture_ != nullptr;
}

bool SdlDisplay::lock_offscreen(uint8_t** pixels, int32_t* pitch) {
  if (picture_ == nullptr || SDL_LockSurface(picture_) != 0) return false;
  *pixels = static_cast<uint8_t*>(picture_->pixels);
  *pitch = picture_->pitch;
  return true;
}

bool SdlDisplay::unlock_offscreen() {
  if (picture_ == nullptr) return false;
  SDL_UnlockSurface(picture_);
  // The one upload of the frame: the picture's own pixels, in its own format.
  if (texture_ == nullptr) return true;
  return SDL_UpdateTexture(texture_, nullptr, picture_->pixels, picture_->pitch) == 0;
}

bool SdlDisplay::blit(const Rect& destination, const Rect& source) {
  if (picture_ == nullptr || format_ == 0) return false;
  destination_ = destination;
  source_ = source;
  blit_pending_ = true;
  return true;
}

bool SdlDisplay::present_with_renderer() {
  const SDL_Rect src = to_sdl(source_);
  const SDL_Rect dst = to_sdl(destination_);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, SDL_ALPHA_OPAQUE);
  if (SDL_RenderClear(renderer_) != 0) return false;
  if (SDL_RenderCopy(renderer_, texture_, &src, &dst) != 0) return false;
  SDL_RenderPresent(renderer_);
  return true;
}

bool SdlDisplay::present_in_window_surface() {
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return false;
  const SDL_Rect box = letterbox(screen->w, screen->h, width_, height_);
  SDL_Rect src = to_sdl(source_);
  SDL_Rect dst = on_screen(destination_, box, width_, height_);
  const bool repaint = screen != painted_screen_ || screen->w != painted_w_ || screen->h != painted_h_ ||
                       !same_rect(destination_, painted_destination_);
  if (repaint) SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
  // The mode's edges bound the picture, as the back buffer's did.
  const bool source_inside = src.x >= 0 && src.y >= 0 && src.w > 0 && src.h > 0 &&
                             src.x + src.w <= picture_->w && src.y + src.h <= picture_->h;
  if (source_inside && picture_->format->format == screen->format->format &&
      screen->format->BytesPerPixel == kBytesPixel32) {
    if (SDL_LockSurface(screen) != 0) return false;
    scale_nearest_32(static_cast<const uint8_t*>(picture_->pixels), picture_->pitch, to_scale(src),
                     static_cast<uint8_t*>(screen->pixels), screen->pitch, to_scale(dst), to_scale(box));
    SDL_UnlockSurface(screen);
  } else {
    SDL_SetClipRect(screen, &box);
    const bool drawn = SDL_BlitScaled(picture_, &src, screen, &dst) == 0;
    SDL_SetClipRect(screen, nullptr);
    if (!drawn) return false;
  }
  painted_screen_ = screen;
  painted_w_ = screen->w;
  painted_h_ = screen->h;
  painted_destination_ = destination_;
  if (repaint) return SDL_UpdateWindowSurface(window_) == 0;
  SDL_Rect changed;
  if (!SDL_IntersectRect(&dst, &box, &changed)) return true;
  return SDL_UpdateWindowSurfaceRects(window_, &changed, 1) == 0;
}

bool SdlDisplay::flip() {
  if (window_ == nullptr || picture_ == nullptr || !blit_pending_) return false;
  return renderer_ != nullptr ? present_with_renderer() : present_in_window_surface();
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
  // The renderer and its texture go with their window.
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  painted_screen_ = nullptr;
}

void SdlDisplay::release() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (picture_ != nullptr) SDL_FreeSurface(picture_);
  texture_ = nullptr;
  picture_ = nullptr;
}
