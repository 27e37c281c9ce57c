#include "platform/gl/GlSurface.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>
#include <SDL.h>

#include <dlfcn.h>
#include <link.h>

#include <cctype>
#include <cstring>

namespace vx::gl {
namespace {

class WindowSurface final : public Surface {
public:
  WindowSurface(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~WindowSurface() override {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
  }
  bool MakeCurrent() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }
  void Swap() override { SDL_GL_SwapWindow(window_); }
  void DrawableSize(int& width, int& height) const override {
    SDL_GL_GetDrawableSize(window_, &width, &height);
  }
  bool SetSwapInterval(int interval) override { return SDL_GL_SetSwapInterval(interval) == 0; }
  bool HasWindow() const override { return true; }
  void* GetProcAddress(const char* name) override { return SDL_GL_GetProcAddress(name); }
  SDL_Window* Window() const override { return window_; }

private:
  SDL_Window* window_;
  SDL_GLContext context_;
};

class HeadlessSurface final : public Surface {
public:
  HeadlessSurface(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
  ~HeadlessSurface() override {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    // The display stays initialised: EGL displays are process-wide and reference counted
    // by nothing, so terminating it would pull it from under any other headless surface.
  }
  bool MakeCurrent() override {
    return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
  }
  void Swap() override {}
  void DrawableSize(int& width, int& height) const override {
    width = 0;
    height = 0;
  }
  bool SetSwapInterval(int) override { return false; }
  bool HasWindow() const override { return false; }
  void* GetProcAddress(const char* name) override {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
  }

private:
  EGLDisplay display_;
  EGLContext context_;
};

// The DRI driver a GL context loads keeps a few blocks for good and is unloaded when the
// display closes, before the leak check runs; the report then names no module and cannot be
// told from a leak of ours. Keeping the driver mapped lets the check name it (and pass over it).
void KeepDriModulesMapped() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const char* name = info->dlpi_name;
        const size_t n = name ? std::strlen(name) : 0;
        if (n > 7 && std::strcmp(name + n - 7, "_dri.so") == 0) dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

}  // namespace

std::unique_ptr<Surface> CreateWindowSurface(SDL_Window* window, std::string& error) {
  if (window == nullptr) {
    error = "no window";
    return nullptr;
  }
  // The GL driver stays loaded for the life of the process: contexts are re-created on
  // every mode switch, and unloading a driver that keeps its own global state is unsafe.
  static const bool driverHeld = SDL_GL_LoadLibrary(nullptr) == 0;
  (void)driverHeld;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (context == nullptr) {
    error = std::string("cannot create a GL 3.3 core context: ") + SDL_GetError();
    return nullptr;
  }
  KeepDriModulesMapped();
  return std::make_unique<WindowSurface>(window, context);
}

std::unique_ptr<Surface> CreateHeadlessSurface(std::string& error) {
  auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) {
    error = "EGL has no platform displays";
    return nullptr;
  }
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0;
  EGLint minor = 0;
  if (display == EGL_NO_DISPLAY || eglInitialize(display, &major, &minor) != EGL_TRUE) {
    error = "no surfaceless EGL display";
    return nullptr;
  }
  if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
    error = "EGL cannot bind desktop OpenGL";
    return nullptr;
  }
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3,
                               EGL_CONTEXT_MINOR_VERSION, 3,
                               EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                               EGL_NONE};
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  if (context == EGL_NO_CONTEXT) {
    error = "cannot create a GL 3.3 core context on EGL";
    return nullptr;
  }
  auto surface = std::make_unique<HeadlessSurface>(display, context);
  if (!surface->MakeCurrent()) {
    error = "cannot make the EGL context current";
    return nullptr;
  }
  return surface;
}

std::string QueryRenderer(SDL_Window* window, std::string& error) {
  std::unique_ptr<Surface> surface = window != nullptr ? CreateWindowSurface(window, error) : CreateHeadlessSurface(error);
  if (!surface) return {};
  if (!surface->MakeCurrent()) {
    error = "cannot make the GL context current";
    return {};
  }
  const auto getString = reinterpret_cast<PFNGLGETSTRINGPROC>(surface->GetProcAddress("glGetString"));
  const auto* name = getString != nullptr ? reinterpret_cast<const char*>(getString(GL_RENDERER)) : nullptr;
  if (name == nullptr) {
    error = "the driver names no renderer";
    return {};
  }
  return name;
}

bool IsSoftwareRenderer(const std::string& renderer) {
  std::string lower = renderer;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // swrast calls itself "Software Rasterizer".
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
    if (lower.find(name) != std::string::npos) return true;
  return false;
}

}  // namespace vx::gl
