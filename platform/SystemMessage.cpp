#include "platform/SystemMessage.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace vx {
namespace {

// A display the user can see: SDL's video runs on a real window system, not on the
// offscreen or dummy drivers used headless.
bool HaveDisplay() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

}  // namespace

void ShowSystemMessage(const std::string& title, const std::string& text, SystemMessageKind kind) {
  if (HaveDisplay()) {
    uint32_t flags = kind == SystemMessageKind::Error     ? SDL_MESSAGEBOX_ERROR
                     : kind == SystemMessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                                          : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, title.c_str(), text.c_str(), nullptr) == 0) return;
  }
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(stderr);
}

}  // namespace vx
