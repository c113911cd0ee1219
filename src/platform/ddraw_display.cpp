// DirectDraw and Win32 window stand-in of the viewer display (Windows).
#include "platform/ddraw_display.hpp"

#include <ddraw.h>
#include <imm.h>

#include "base/messages.hpp"
#include "platform/errors.hpp"

namespace {

constexpr const char* kWindowClass = "KORVANE";
constexpr const char* kWindowTitle = "KORVANE";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT;  // 0x1003
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
// DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX | DDSCL_NOWINDOWCHANGES
constexpr DWORD kCooperation = 0x55;
constexpr UINT kImeControl = 0x0283;            // WM_IME_CONTROL
constexpr WPARAM kImeCloseStatusWindow = 0x21;  // IMC_CLOSESTATUSWINDOW

static_assert((DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX | DDSCL_NOWINDOWCHANGES) ==
              kCooperation);

// One viewer window per process; its procedure finds the display here.
DDrawDisplay* window_owner = nullptr;
HWND viewer_window = nullptr;

template <typename T>
void release_interface(T*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

RECT to_rect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

HWND viewer_window_handle() { return viewer_window; }

DDrawDisplay::~DDrawDisplay() { release(); }

LRESULT CALLBACK DDrawDisplay::window_procedure(HWND window, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      if (window == viewer_window) viewer_window = nullptr;
      [[fallthrough]];
    case WM_CLOSE:  // the window stays; the viewer ends playback
    case WM_KEYDOWN:
      if (window_owner != nullptr)
        window_owner->taken_.push_back(
            WindowMessage{static_cast<uint32_t>(message), static_cast<uint32_t>(wparam)});
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool DDrawDisplay::create_window() {
  window_owner = this;
  WNDCLASSA window_class{};
  window_class.style = kClassStyle;
  window_class.lpfnWndProc = &DDrawDisplay::window_procedure;
  window_class.cbClsExtra = 0;
  window_class.cbWndExtra = 0;
  window_class.hInstance = nullptr;
  window_class.hIcon = nullptr;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszMenuName = nullptr;
  window_class.lpszClassName = kWindowClass;
  if (RegisterClassA(&window_class) == 0)
    fatal_error(kErrViewer, message_text(Msg::WindowClassNotRegistered));

  viewer_window = CreateWindowExA(WS_EX_TOPMOST, kWindowClass, kWindowTitle, WS_POPUP, 0, 0,
                                  kWindowWidth, kWindowHeight, nullptr, nullptr, nullptr, nullptr);
  if (viewer_window == nullptr) return false;
  ShowWindow(viewer_window, SW_SHOWNORMAL);
  UpdateWindow(viewer_window);
  ShowCursor(FALSE);
  SendMessageA(ImmGetDefaultIMEWnd(viewer_window), kImeControl, kImeCloseStatusWindow, 0);
  return true;
}

bool DDrawDisplay::open() {
  IDirectDraw* first = nullptr;
  if (DirectDrawCreate(nullptr, &first, nullptr) != DD_OK) return false;
  void* second = nullptr;
  const HRESULT asked = first->QueryInterface(IID_IDirectDraw2, &second);
  first->Release();
  if (asked != S_OK) return false;
  ddraw_ = static_cast<IDirectDraw2*>(second);
  return true;
}

bool DDrawDisplay::set_exclusive() {
  return ddraw_ != nullptr && ddraw_->SetCooperativeLevel(viewer_window, kCooperation) == DD_OK;
}

bool DDrawDisplay::set_mode(uint32_t width, uint32_t height, uint32_t bits_per_pixel) {
  return ddraw_ != nullptr && ddraw_->SetDisplayMode(width, height, bits_per_pixel, 0, 0) == DD_OK;
}

bool DDrawDisplay::create_primary() {
  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  description.dwBackBufferCount = 1;
  if (ddraw_->CreateSurface(&description, &primary_, nullptr) != DD_OK) {
    primary_ = nullptr;
    return false;
  }
  DDSCAPS back_caps{};
  back_caps.dwCaps = DDSCAPS_BACKBUFFER;
  if (primary_->GetAttachedSurface(&back_caps, &back_buffer_) != DD_OK) {
    back_buffer_ = nullptr;
    return false;
  }
  return true;
}

void DDrawDisplay::clear_back_buffer() {
  if (back_buffer_ == nullptr) return;
  DDBLTFX effects{};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = 0;
  back_buffer_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

bool DDrawDisplay::create_offscreen(uint32_t width, uint32_t height, bool video_memory) {
  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  description.dwWidth = width;
  description.dwHeight = height;
  description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | (video_memory ? DDSCAPS_VIDEOMEMORY : 0);
  if (ddraw_->CreateSurface(&description, &offscreen_, nullptr) != DD_OK) {
    offscreen_ = nullptr;
    return false;
  }
  return true;
}

bool DDrawDisplay::lock_offscreen(uint8_t** pixels, int32_t* pitch) {
  if (offscreen_ == nullptr) return false;
  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  if (offscreen_->Lock(nullptr, &description, DDLOCK_WAIT, nullptr) != DD_OK) return false;
  *pixels = static_cast<uint8_t*>(description.lpSurface);
  *pitch = static_cast<int32_t>(description.lPitch);
  return true;
}

bool DDrawDisplay::unlock_offscreen() {
  return offscreen_ != nullptr && offscreen_->Unlock(nullptr) == DD_OK;
}

bool DDrawDisplay::blit(const Rect& destination, const Rect& source) {
  if (back_buffer_ == nullptr || offscreen_ == nullptr) return false;
  RECT to = to_rect(destination);
  RECT from = to_rect(source);
  return back_buffer_->Blt(&to, offscreen_, &from, 0, nullptr) == DD_OK;
}

bool DDrawDisplay::flip() {
  return primary_ != nullptr && primary_->Flip(nullptr, DDFLIP_WAIT) == DD_OK;
}

// The message pump: every waiting message of the thread is translated and
// dispatched; what the window procedure passed on comes back one at a time.
bool DDrawDisplay::next_message(WindowMessage* message) {
  MSG waiting;
  while (taken_.empty() && PeekMessageA(&waiting, nullptr, 0, 0, PM_REMOVE)) {
    if (TranslateAcceleratorA(waiting.hwnd, nullptr, &waiting) != 0) continue;
    TranslateMessage(&waiting);
    DispatchMessageA(&waiting);
  }
  if (taken_.empty()) return false;
  *message = taken_.front();
  taken_.pop_front();
  return true;
}

void DDrawDisplay::destroy_window() {
  // DestroyWindow sends WM_DESTROY at once; the viewer treats it itself.
  if (viewer_window != nullptr) DestroyWindow(viewer_window);
  taken_.clear();
}

void DDrawDisplay::release() {
  release_interface(offscreen_);
  back_buffer_ = nullptr;  // goes with the primary surface
  release_interface(primary_);
  release_interface(ddraw_);
}
