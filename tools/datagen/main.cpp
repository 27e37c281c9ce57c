// vxdatagen: lays out the program folder with the game's data, or writes previews.
//   vxdatagen --source <repo>/data --out <program folder>
//   vxdatagen --source <repo>/data --preview <folder>   (PNG copies and mock-ups)
#include <cstdio>
#include <exception>
#include <string>

#include "tools/datagen/Generator.h"

int main(int argc, char** argv) {
  vx::datagen::GeneratorOptions opt;
  std::string preview;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "vxdatagen: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--source")
      opt.sourceFolder = next();
    else if (a == "--out")
      opt.programFolder = next();
    else if (a == "--preview")
      preview = next();
    else {
      std::fprintf(stderr, "usage: vxdatagen --source <data folder> (--out <program folder> | --preview <folder>)\n");
      return 2;
    }
  }
  try {
    if (!preview.empty()) {
      vx::datagen::WritePreviews(opt.sourceFolder, preview);
      return 0;
    }
    if (opt.sourceFolder.empty() || opt.programFolder.empty()) {
      std::fprintf(stderr, "vxdatagen: --source and --out are required\n");
      return 2;
    }
    const auto report = vx::datagen::GenerateProgramFolder(opt);
    std::printf("vxdatagen: %d written, %d up to date\n", report.written, report.unchanged);
    for (const auto& w : report.warnings) std::fprintf(stderr, "vxdatagen: %s\n", w.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vxdatagen: %s\n", e.what());
    return 1;
  }
}
