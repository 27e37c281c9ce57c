#include "platform/Cursor.h"

#include <SDL.h>

namespace vx {
namespace {
CursorShape g_shape = CursorShape::Arrow;
SDL_Cursor* g_cursors[2] = {nullptr, nullptr};
}  // namespace

void SetCursorShape(CursorShape shape) {
  g_shape = shape;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  const int i = shape == CursorShape::Wait ? 1 : 0;
  if (!g_cursors[i]) g_cursors[i] = SDL_CreateSystemCursor(i ? SDL_SYSTEM_CURSOR_WAIT : SDL_SYSTEM_CURSOR_ARROW);
  if (g_cursors[i]) SDL_SetCursor(g_cursors[i]);
}

CursorShape GetCursorShape() { return g_shape; }

}  // namespace vx
