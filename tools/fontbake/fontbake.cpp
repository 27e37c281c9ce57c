// fontbake --font FILE --size PIXELS [--first CODE] [--last CODE] -o RECORD
// Renders the characters FIRST..LAST (Windows-1252, 32..255 by default) of a font file into
// a font record: white glyphs whose alpha is their coverage. Pack it with "vxpack -t 5".
#include <cstdio>
#include <string>

#include "core/StrUtils.h"
#include "platform/Files.h"
#include "tools/common/FontBaker.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: fontbake --font FILE --size PIXELS [--first CODE] [--last CODE] -o RECORD\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  vxtools::TFontBakeOptions options;
  std::string out;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i], v = argv[i + 1];
    auto number = vx::TryStrToInt(v);
    if (a == "--font") {
      options.FontFile = v;
    } else if (a == "-o") {
      out = v;
    } else if (a == "--size" && number) {
      options.PixelSize = *number;
    } else if (a == "--first" && number && *number >= 0) {
      options.FirstChar = static_cast<uint32_t>(*number);
    } else if (a == "--last" && number && *number >= 0) {
      options.LastChar = static_cast<uint32_t>(*number);
    } else {
      return Usage();
    }
  }
  if (argc % 2 == 0 || options.FontFile.empty() || out.empty()) return Usage();
  vxtools::TBakedFont baked;
  std::string error;
  if (!vxtools::BakeFont(options, baked, &error)) {
    std::fprintf(stderr, "fontbake: %s\n", error.c_str());
    return 1;
  }
  if (!vx::WriteFileAtomic(out, std::string_view(reinterpret_cast<const char*>(baked.Record.data()), baked.Record.size()),
                           &error)) {
    std::fprintf(stderr, "fontbake: %s: %s\n", out.c_str(), error.c_str());
    return 1;
  }
  std::printf("fontbake: %zu glyphs -> %s\n", baked.Info.Glyphs.size(), out.c_str());
  return 0;
}
