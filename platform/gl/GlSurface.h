#pragma once
// Where GL draws: a context on the program's SDL window, or a surfaceless EGL context on
// Mesa's software GL for headless runs and tests. Both draw into the renderer's own frame
// buffer object; only a window surface has something to show it on.
#include <memory>
#include <string>

struct SDL_Window;

namespace vx::gl {

class Surface {
public:
  virtual ~Surface() = default;
  virtual bool MakeCurrent() = 0;
  // Shows the default framebuffer (a window swap); nothing for a headless surface.
  virtual void Swap() = 0;
  // The default framebuffer's size in pixels; 0 x 0 when there is none.
  virtual void DrawableSize(int& width, int& height) const = 0;
  // Asks for the swap interval (1 = wait for the vertical retrace); false when refused.
  virtual bool SetSwapInterval(int interval) = 0;
  virtual bool HasWindow() const = 0;
  virtual void* GetProcAddress(const char* name) = 0;
  virtual SDL_Window* Window() const { return nullptr; }
};

// A GL 3.3 core context on the window (created with SDL_WINDOW_OPENGL). Null and an error
// text when the context cannot be made.
std::unique_ptr<Surface> CreateWindowSurface(SDL_Window* window, std::string& error);

// A GL 3.3 core context with no surface at all (EGL_MESA_platform_surfaceless). Null and an
// error text when the platform or the context is not available.
std::unique_ptr<Surface> CreateHeadlessSurface(std::string& error);

// The GL_RENDERER string of the context the GPU device would draw with: one made for the
// asking on the window, or headless without one, and freed again. Empty and an error text
// when no context can be made.
std::string QueryRenderer(SDL_Window* window, std::string& error);

// Whether a GL_RENDERER string names a renderer that draws on the CPU (Mesa's llvmpipe,
// softpipe or swrast, also under another layer such as zink on lavapipe).
bool IsSoftwareRenderer(const std::string& renderer);

}  // namespace vx::gl
