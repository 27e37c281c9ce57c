#include "tools/datagen/Packaging.h"

#include "core/Exception.h"
#include "tools/datagen/Canvas.h"

#ifdef VX_HAVE_TOOLS_COMMON
#include "tools/common/ArchiveWriter.h"
#include "tools/common/BmpWriter.h"
#include "tools/common/FontBaker.h"
#endif

namespace vx::datagen {

#ifdef VX_HAVE_TOOLS_COMMON

bool HavePackaging() { return true; }

std::string EncodeBmp(const Picture& pic) {
  if (pic.width <= 0 || pic.height <= 0) throw ::Exception("Cannot store an empty picture");
  const auto bytes = vxtools::EncodeBmp(pic.width, pic.height, pic.pixels.data(), pic.IsOpaque() ? 24 : 32);
  return std::string(bytes.begin(), bytes.end());
}

std::string PackArchive(const std::vector<ArchiveRecord>& records) {
  std::vector<vxtools::TArchiveItem> items;
  items.reserve(records.size());
  for (const auto& r : records) {
    vxtools::TArchiveItem item;
    item.Key = r.key;
    item.Type = r.type;
    item.Data.assign(r.bytes.begin(), r.bytes.end());
    item.Stamp = 0;  // fixed, so the same records give the same archive
    items.push_back(std::move(item));
  }
  const auto bytes = vxtools::BuildArchive(items);
  return std::string(bytes.begin(), bytes.end());
}

ArchiveRecord BakeFont(const EngineFont& font) {
  const std::string path = FindSystemFont(font.fileName);
  if (path.empty()) throw ::Exception("The system font " + font.fileName + " is not installed");
  vxtools::TFontBakeOptions options;
  options.FontFile = path;
  options.PixelSize = font.pixelSize;
  vxtools::TBakedFont baked;
  std::string error;
  if (!vxtools::BakeFont(options, baked, &error))
    throw ::Exception("Cannot bake the font " + font.name + ": " + error);
  return {FontRecordKey(font), kRecordFont, std::string(baked.Record.begin(), baked.Record.end())};
}

#else

bool HavePackaging() { return false; }
std::string EncodeBmp(const Picture&) { throw ::Exception("the shared BMP writer is not built"); }
std::string PackArchive(const std::vector<ArchiveRecord>&) {
  throw ::Exception("the shared archive packer is not built");
}
ArchiveRecord BakeFont(const EngineFont&) { throw ::Exception("the shared font baker is not built"); }

#endif

}  // namespace vx::datagen
