#include "platform/ToolWindow.h"

#include <SDL.h>

#include <algorithm>

#include "platform/LeakCheck.h"

namespace vx {
namespace {

std::vector<ToolWindow*>& Windows() {
  static std::vector<ToolWindow*> windows;
  return windows;
}

// The game draws with OpenGL on its own window. Whatever SDL does for this window (a window
// surface may be emulated with a GL renderer of its own) must leave the game's context current.
class KeepGameContext {
public:
  KeepGameContext() : window_(SDL_GL_GetCurrentWindow()), context_(SDL_GL_GetCurrentContext()) {}
  ~KeepGameContext() {
    if (window_ != nullptr && context_ != nullptr && SDL_GL_GetCurrentContext() != context_)
      SDL_GL_MakeCurrent(window_, context_);
  }
  KeepGameContext(const KeepGameContext&) = delete;
  KeepGameContext& operator=(const KeepGameContext&) = delete;

private:
  SDL_Window* window_;
  SDL_GLContext context_;
};

SDL_EventFilter g_previousFilter = nullptr;
void* g_previousData = nullptr;
bool g_filterInstalled = false;

int SDLCALL FilterEvents(void* /*data*/, SDL_Event* event) {
  for (ToolWindow* w : Windows()) {
    if (w->HandleEvent(*event)) return 0;
  }
  return g_previousFilter != nullptr ? g_previousFilter(g_previousData, event) : 1;
}

void InstallFilter() {
  if (g_filterInstalled) return;
  SDL_GetEventFilter(&g_previousFilter, &g_previousData);
  SDL_SetEventFilter(FilterEvents, nullptr);
  g_filterInstalled = true;
}

void RemoveFilter() {
  if (!g_filterInstalled) return;
  SDL_EventFilter current = nullptr;
  void* data = nullptr;
  // Someone installed a filter over ours: leave theirs in place (ours only forwards).
  if (SDL_GetEventFilter(&current, &data) == SDL_TRUE && current == FilterEvents) {
    SDL_SetEventFilter(g_previousFilter, g_previousData);
  }
  g_previousFilter = nullptr;
  g_previousData = nullptr;
  g_filterInstalled = false;
}

}  // namespace

ToolWindow::~ToolWindow() { Destroy(); }

bool ToolWindow::Create(const std::string& caption, int width, int height, int minHeight, std::string* error) {
  if (window_ != nullptr) return true;
  ThirdPartyAllocations driverMemory;  // the video driver keeps some for good
  KeepGameContext keep;
  // A plain software surface: no GL renderer behind this window's pixels.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) *error = std::string("cannot start the video system: ") + SDL_GetError();
    return false;
  }
  videoInit_ = true;
  SDL_Rect usable{0, 0, width, height};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, width, height};
  width_ = width;
  height_ = std::max(minHeight, std::min(height, usable.h));
  const int x = usable.x + std::max(0, usable.w - width_);
  const int y = usable.y;
  window_ = SDL_CreateWindow(caption.c_str(), x, y, width_, height_, SDL_WINDOW_HIDDEN | SDL_WINDOW_UTILITY);
  if (window_ == nullptr) {
    if (error) *error = std::string("cannot create the log window: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoInit_ = false;
    return false;
  }
  windowId_ = SDL_GetWindowID(window_);
  Windows().push_back(this);
  InstallFilter();
  return true;
}

void ToolWindow::Destroy() {
  auto& all = Windows();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  if (all.empty()) RemoveFilter();
  ThirdPartyAllocations driverMemory;
  KeepGameContext keep;
  if (window_ != nullptr) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    windowId_ = 0;
  }
  if (videoInit_) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoInit_ = false;
  }
  visible_ = false;
}

void ToolWindow::Show() {
  if (window_ == nullptr) return;
  ThirdPartyAllocations driverMemory;
  KeepGameContext keep;
  SDL_ShowWindow(window_);
  visible_ = true;
}

void ToolWindow::Hide() {
  KeepGameContext keep;
  if (window_ != nullptr) SDL_HideWindow(window_);
  visible_ = false;
}

bool ToolWindow::HandleEvent(const SDL_Event& e) {
  if (window_ == nullptr) return false;
  switch (e.type) {
    case SDL_WINDOWEVENT:
      if (e.window.windowID != windowId_) return false;
      if (e.window.event == SDL_WINDOWEVENT_CLOSE && OnClose) OnClose();
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED && OnExpose) OnExpose();
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        // The program stays active while either of its windows has the focus: the change
        // goes on as the application's own (window 0), so moving from the game to this
        // window and back does not leave the game deactivated.
        SDL_Event app = e;
        app.window.windowID = 0;
        SDL_PushEvent(&app);
      }
      return true;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.windowID != windowId_) return false;
      if (e.button.button == SDL_BUTTON_LEFT && OnClick) OnClick(e.button.x, e.button.y);
      return true;
    case SDL_MOUSEBUTTONUP:
      return e.button.windowID == windowId_;
    case SDL_MOUSEMOTION:
      return e.motion.windowID == windowId_;
    case SDL_MOUSEWHEEL:
      if (e.wheel.windowID != windowId_) return false;
      if (OnWheel) OnWheel(e.wheel.y);
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return e.key.windowID == windowId_;
    case SDL_TEXTINPUT:
      return e.text.windowID == windowId_;
    default:
      return false;
  }
}

void ToolWindow::Present(const std::vector<uint32_t>& pixels) {
  if (window_ == nullptr || !visible_) return;
  if (pixels.size() != static_cast<size_t>(width_) * static_cast<size_t>(height_)) return;
  ThirdPartyAllocations driverMemory;  // the driver's frame buffer for the window surface
  KeepGameContext keep;
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr) return;
  // SDL reads the pixels only.
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.data()), width_, height_, 32,
                                                           width_ * 4, SDL_PIXELFORMAT_ARGB8888);
  if (source != nullptr) {
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(window_);
  }
}

}  // namespace vx
