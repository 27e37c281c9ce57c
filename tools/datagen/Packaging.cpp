#include "tools/datagen/Packaging.h"

#include "core/Exception.h"

#ifdef VX_HAVE_TOOLS_COMMON
// (filled in against the shared writers)
#endif

namespace vx::datagen {

#ifndef VX_HAVE_TOOLS_COMMON
bool HavePackaging() { return false; }
std::string EncodeBmp(const Picture&) { throw ::Exception("the shared BMP writer is not built"); }
std::string PackArchive(const std::vector<ArchiveRecord>&) {
  throw ::Exception("the shared archive packer is not built");
}
ArchiveRecord BakeFont(const EngineFont&) { throw ::Exception("the shared font baker is not built"); }
#endif

}  // namespace vx::datagen
