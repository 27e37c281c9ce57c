#include "platform/gl/GlFunctions.h"

namespace vx::gl {

bool Functions::Load(ProcLoader loader, std::string& missing) {
  missing.clear();
#define VX_GL_LOAD(type, name, symbol)                          \
  name = reinterpret_cast<type>(loader(symbol));                \
  if (name == nullptr && missing.empty()) missing = symbol;
  VX_GL_FUNCTIONS(VX_GL_LOAD)
#undef VX_GL_LOAD
  if (!missing.empty()) return false;
  while (GetError() != GL_NO_ERROR) {
  }
  return true;
}

}  // namespace vx::gl
