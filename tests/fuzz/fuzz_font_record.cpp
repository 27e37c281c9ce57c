// Font records of any content, packed into an archive, load or fail with a code; a loaded
// font measures and draws any text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <memory>
#include <string>

#include "core/Log.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"
#include "render/GfxImg2.h"
#include "render/RecDb.h"
#include "tools/common/ArchiveWriter.h"
#include "tests/support/NullDevice.h"

namespace {

class NullDevice : public vxtest::NullDevice {
public:
  int32_t TextureMap(TGfxImage* image, const TPoint4&, const TColor4&, int32_t, const TGfxPattern& p) override {
    auto* i2 = static_cast<TGfxImage2*>(image);
    TImageTexture texture;
    TGfxRect rect;
    if (i2->GetPatternTexture(p, texture, rect) == 0) (void)i2->GetPixel(rect.Left, rect.Top, 0);
    return 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  // One scratch file per process, removed at exit.
  static const struct Scratch {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("vx_fuzz_font_" + std::to_string(std::random_device()()) + ".vxr")).string();
    ~Scratch() {
      std::error_code ec;
      std::filesystem::remove(path, ec);
    }
    // Rewritten in place: truncating on open costs milliseconds on some file systems.
    bool Store(const uint8_t* bytes, size_t n) const {
      std::FILE* f = std::fopen(path.c_str(), "r+b");
      if (!f) f = std::fopen(path.c_str(), "w+b");
      if (!f) return false;
      const bool ok = n == 0 || std::fwrite(bytes, 1, n, f) == n;
      std::fclose(f);
      std::error_code ec;
      std::filesystem::resize_file(path, n, ec);
      return ok && !ec;
    }
  } scratch;
  const std::string& path = scratch.path;
  vxtools::TArchiveItem item{"F.font", FontRecordType, std::vector<uint8_t>(data, data + size), 0};
  const std::vector<uint8_t> archive = vxtools::BuildArchive({item, {"G.font", FontRecordType, {1, 2, 3}, 0}}, 0);
  if (!scratch.Store(archive.data(), archive.size())) return 0;
  TRecDb db;
  db.SetFileName(path);
  db.SetOpenMode(opReadOnly);
  NullDevice device;
  TGfxFonts fonts;
  fonts.SetDevice(&device);
  fonts.LoadFromRecDb(db);
  for (int32_t i = 0; i < fonts.Count(); ++i) {
    TGfxFont* f = fonts.Items(i);
    for (double scale : {1.0, 2.5}) {
      f->Scale = scale;
      f->SetStyle(static_cast<TFontStyles>(i + static_cast<int>(scale)));
      const char* texts[] = {"Hello, world! ~\x7F\x80\xFF", "#$FF00FF00AB#$zz", ""};
      for (const char* t : texts) {
        (void)f->TextWidth(t);
        (void)f->TextHeight(t);
        f->TextOut(t, -5, 3, 0xFFFFFFFF);
      }
    }
  }
  return 0;
}
