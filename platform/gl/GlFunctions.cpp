#include "platform/gl/GlFunctions.h"

#include <string_view>

namespace vx::gl {

bool Functions::Load(ProcLoader loader, std::string& missing) {
  missing.clear();
#define VX_GL_LOAD(type, name, symbol)                          \
  name = reinterpret_cast<type>(loader(symbol));                \
  if (name == nullptr && missing.empty()) missing = symbol;
  VX_GL_FUNCTIONS(VX_GL_LOAD)
#undef VX_GL_LOAD
  if (!missing.empty()) return false;
  // A loader may hand out addresses for entry points the context does not offer: the
  // version or the extension decides.
  GLint major = 0, minor = 0;
  GetIntegerv(GL_MAJOR_VERSION, &major);
  GetIntegerv(GL_MINOR_VERSION, &minor);
  bool copyImage = major > 4 || (major == 4 && minor >= 3);
  const auto getStringi = reinterpret_cast<PFNGLGETSTRINGIPROC>(loader("glGetStringi"));
  GLint extensions = 0;
  if (!copyImage && getStringi != nullptr) GetIntegerv(GL_NUM_EXTENSIONS, &extensions);
  for (GLint i = 0; i < extensions && !copyImage; ++i) {
    const auto* name = reinterpret_cast<const char*>(getStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    copyImage = name != nullptr && std::string_view(name) == "GL_ARB_copy_image";
  }
  if (copyImage) CopyImageSubData = reinterpret_cast<PFNGLCOPYIMAGESUBDATAPROC>(loader("glCopyImageSubData"));
  while (GetError() != GL_NO_ERROR) {
  }
  return true;
}

}  // namespace vx::gl
