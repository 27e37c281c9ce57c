#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>

#include "platform/KeyMap.h"
#include "platform/LeakCheck.h"

namespace vx {
namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

TShiftState KeyboardShift(uint16_t mod) {
  TShiftState s = 0;
  if (mod & KMOD_SHIFT) s |= ssShift;
  if (mod & KMOD_ALT) s |= ssAlt;
  if (mod & KMOD_CTRL) s |= ssCtrl;
  return s;
}

TShiftState ButtonShift(uint32_t sdlMask) {
  TShiftState s = 0;
  if (sdlMask & SDL_BUTTON_LMASK) s |= ssLeft;
  if (sdlMask & SDL_BUTTON_RMASK) s |= ssRight;
  if (sdlMask & SDL_BUTTON_MMASK) s |= ssMiddle;
  return s;
}

bool ButtonFromSdl(uint8_t sdlButton, TMouseButton& button, TShiftState& flag) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = mbLeft; flag = ssLeft; return true;
    case SDL_BUTTON_RIGHT: button = mbRight; flag = ssRight; return true;
    case SDL_BUTTON_MIDDLE: button = mbMiddle; flag = ssMiddle; return true;
    default: return false;
  }
}

}  // namespace

FrameRect LetterboxFrame(int areaWidth, int areaHeight, int frameWidth, int frameHeight) {
  if (areaWidth <= 0 || areaHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
  FrameRect box;
  // Compare areaWidth / frameWidth with areaHeight / frameHeight without rounding.
  const int64_t byWidth = static_cast<int64_t>(areaWidth) * frameHeight;
  const int64_t byHeight = static_cast<int64_t>(areaHeight) * frameWidth;
  if (byWidth <= byHeight) {
    box.Width = areaWidth;
    box.Height = static_cast<int>(byWidth / frameWidth);
  } else {
    box.Height = areaHeight;
    box.Width = static_cast<int>(byHeight / frameHeight);
  }
  box.X = (areaWidth - box.Width) / 2;
  box.Y = (areaHeight - box.Height) / 2;
  return box;
}

PlatformWindow::~PlatformWindow() { Destroy(); }

bool PlatformWindow::Create(const std::string& caption, int clientWidth, int clientHeight, std::string* error) {
  if (window_) return true;
  ThirdPartyAllocations driverMemory;  // the GL driver stack loaded here keeps some for good
  if (!videoInit_) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      if (error) *error = std::string("cannot start the video system: ") + SDL_GetError();
      return false;
    }
    videoInit_ = true;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth,
                             clientHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  // Without OpenGL the window is still made: the software devices draw into it.
  if (!window_)
    window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth,
                               clientHeight, SDL_WINDOW_HIDDEN);
  if (!window_) {
    if (error) *error = std::string("cannot create the window: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoInit_ = false;
    return false;
  }
  windowId_ = SDL_GetWindowID(window_);
  mode_ = WindowMode::Windowed;
  // Keys arrive as virtual-key codes only; no text composition.
  SDL_StopTextInput();
  return true;
}

void PlatformWindow::Destroy() {
  if (window_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    windowId_ = 0;
  }
  if (videoInit_) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoInit_ = false;
  }
}

void PlatformWindow::Show() {
  if (window_) SDL_ShowWindow(window_);
}

void PlatformWindow::Hide() {
  if (window_) SDL_HideWindow(window_);
}

void PlatformWindow::SetCaption(const std::string& caption) {
  if (window_) SDL_SetWindowTitle(window_, caption.c_str());
}

std::string PlatformWindow::Caption() const { return window_ ? SDL_GetWindowTitle(window_) : ""; }

void PlatformWindow::Centre() {
  if (window_) SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void PlatformWindow::SetClientSize(int width, int height) {
  if (window_ && width > 0 && height > 0) SDL_SetWindowSize(window_, width, height);
}

void PlatformWindow::GetClientSize(int& width, int& height) const {
  width = height = 0;
  if (window_) SDL_GetWindowSize(window_, &width, &height);
}

void PlatformWindow::GetPosition(int& x, int& y) const {
  x = y = 0;
  if (window_) SDL_GetWindowPosition(window_, &x, &y);
}

void PlatformWindow::SetPosition(int x, int y) {
  if (window_) SDL_SetWindowPosition(window_, x, y);
}

bool PlatformWindow::Bordered() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_BORDERLESS) == 0; }

void PlatformWindow::SetBordered(bool bordered) {
  if (window_) SDL_SetWindowBordered(window_, bordered ? SDL_TRUE : SDL_FALSE);
}

bool PlatformWindow::SetMode(WindowMode mode, int width, int height, std::string* error) {
  if (!window_) {
    if (error) *error = "no window";
    return false;
  }
  int rc = 0;
  switch (mode) {
    case WindowMode::Windowed:
      rc = SDL_SetWindowFullscreen(window_, 0);
      if (rc == 0) {
        SDL_SetWindowBordered(window_, SDL_TRUE);
        SDL_SetWindowSize(window_, kLogicalWidth, kLogicalHeight);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
      }
      break;
    case WindowMode::DesktopFullScreen: {
      // Full screen is a state the window manager gives; without one (a bare X server) SDL
      // only believes the window covers the display. A borderless window of the display's
      // size at its origin covers it in either case.
      SDL_Rect display{};
      if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &display) == 0) {
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, display.x, display.y);
        SDL_SetWindowSize(window_, display.w, display.h);
      }
      rc = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
      break;
    }
    case WindowMode::ExclusiveFullScreen: {
      SDL_DisplayMode want{};
      want.w = width;
      want.h = height;
      SDL_DisplayMode got{};
      int display = SDL_GetWindowDisplayIndex(window_);
      if (display < 0 || !SDL_GetClosestDisplayMode(display, &want, &got)) {
        if (error) *error = std::string("no display mode ") + std::to_string(width) + "x" + std::to_string(height);
        return false;
      }
      rc = SDL_SetWindowDisplayMode(window_, &got);
      if (rc == 0) rc = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
      break;
    }
  }
  if (rc != 0) {
    if (error) *error = SDL_GetError();
    return false;
  }
  mode_ = mode;
  return true;
}

bool PlatformWindow::SetFullScreen(bool fullScreen, std::string* error) {
  const WindowMode before = mode_;
  const WindowMode wanted = fullScreen ? WindowMode::DesktopFullScreen : WindowMode::Windowed;
  if (before == wanted) return window_ != nullptr;
  if (SetMode(wanted, kLogicalWidth, kLogicalHeight, error)) return true;
  // Whatever SDL left half done, the window goes back to what it was.
  SetMode(before);
  return false;
}

FrameRect PlatformWindow::FrameInClient() const {
  int w = 0, h = 0;
  GetClientSize(w, h);
  return LetterboxFrame(w, h);
}

bool PlatformWindow::HasDisplayMode(int width, int height) const {
  int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
  if (display < 0) return false;
  // The desktop's own mode is always available, even from drivers that list no modes.
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && desktop.w == width && desktop.h == height) return true;
  int n = SDL_GetNumDisplayModes(display);
  for (int i = 0; i < n; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(display, i, &m) == 0 && m.w == width && m.h == height) return true;
  }
  return false;
}

void PlatformWindow::GetDisplaySize(int& width, int& height) const {
  width = height = 0;
  int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
  SDL_DisplayMode m;
  if (display >= 0 && SDL_GetCurrentDisplayMode(display, &m) == 0) {
    width = m.w;
    height = m.h;
  }
}

void PlatformWindow::SetLogicalViewport(int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) {
    hasViewport_ = false;
    return;
  }
  hasViewport_ = true;
  vpX_ = x;
  vpY_ = y;
  vpW_ = width;
  vpH_ = height;
}

void PlatformWindow::MapToLogical(int windowX, int windowY, int& x, int& y) const {
  int vx = 0, vy = 0, vw = 0, vh = 0;
  if (hasViewport_) {
    vx = vpX_;
    vy = vpY_;
    vw = vpW_;
    vh = vpH_;
  } else {
    const FrameRect frame = FrameInClient();
    vx = frame.X;
    vy = frame.Y;
    vw = frame.Width;
    vh = frame.Height;
  }
  if (vw <= 0 || vh <= 0) {
    x = windowX;
    y = windowY;
    return;
  }
  x = static_cast<int>(FloorDiv((static_cast<int64_t>(windowX) - vx) * kLogicalWidth, vw));
  y = static_cast<int>(FloorDiv((static_cast<int64_t>(windowY) - vy) * kLogicalHeight, vh));
}

bool SdlEventSource::Translate(const SDL_Event& e, PlatformEvent& ev) {
  using K = PlatformEvent::Kind;
  switch (e.type) {
    case SDL_QUIT:
      ev.kind = K::Close;
      return true;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: ev.kind = K::Close; return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: ev.kind = K::Activate; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: ev.kind = K::Deactivate; return true;
        default: return false;
      }
    case SDL_KEYDOWN: {
      const SDL_Keysym& k = e.key.keysym;
      ev.kind = K::KeyDown;
      ev.key = VirtualKeyFromSdl(k.sym, k.scancode, (k.mod & KMOD_NUM) != 0);
      ev.shift = static_cast<TShiftState>(KeyboardShift(k.mod) | buttons_);
      ev.repeat = e.key.repeat != 0;
      return ev.key != 0;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (e.button.which == SDL_TOUCH_MOUSEID) return false;
      TShiftState flag = 0;
      if (!ButtonFromSdl(e.button.button, ev.button, flag)) return false;
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      if (down) {
        buttons_ |= flag;
      } else {
        buttons_ &= static_cast<TShiftState>(~flag);
      }
      ev.kind = down ? K::MouseDown : K::MouseUp;
      ev.shift = static_cast<TShiftState>(KeyboardShift(SDL_GetModState()) | buttons_);
      if (down && e.button.clicks == 2) ev.shift |= ssDouble;
      window_.MapToLogical(e.button.x, e.button.y, ev.x, ev.y);
      return true;
    }
    case SDL_MOUSEMOTION:
      if (e.motion.which == SDL_TOUCH_MOUSEID) return false;
      ev.kind = K::MouseMove;
      buttons_ = ButtonShift(e.motion.state);
      ev.shift = static_cast<TShiftState>(KeyboardShift(SDL_GetModState()) | buttons_);
      window_.MapToLogical(e.motion.x, e.motion.y, ev.x, ev.y);
      return true;
    default:
      return false;
  }
}

bool SdlEventSource::Poll(PlatformEvent& event) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    event = PlatformEvent();
    if (Translate(e, event)) return true;
  }
  return false;
}

bool SdlEventSource::Wait(PlatformEvent& event, uint32_t timeoutMs) {
  const uint64_t deadline = SDL_GetTicks64() + timeoutMs;
  for (;;) {
    const uint64_t now = SDL_GetTicks64();
    if (now >= deadline) return Poll(event);
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, static_cast<int>(deadline - now))) return false;
    event = PlatformEvent();
    if (Translate(e, event)) return true;
  }
}

}  // namespace vx

