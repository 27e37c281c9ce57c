// vxpack -o ARCHIVE [-C BASE] [-t TYPE] FILE... [-t TYPE] FILE...
// Packs files into a record archive. Each record's key is the file's path relative to BASE
// (the current folder by default) with "\" separators; -t sets the record type of the files
// that follow it (0 by default, 5 for font records).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/StrUtils.h"
#include "platform/Files.h"
#include "tools/common/ArchiveWriter.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: vxpack -o ARCHIVE [-C BASE] [-t TYPE] FILE... [-t TYPE] FILE...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out, base;
  uint16_t type = 0;
  std::vector<vxtools::TArchiveItem> items;
  std::vector<std::string> files;
  std::vector<uint16_t> types;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "-o" || a == "-C" || a == "-t") && i + 1 < argc) {
      const std::string v = argv[++i];
      if (a == "-o") {
        out = v;
      } else if (a == "-C") {
        base = v;
      } else {
        auto t = vx::TryStrToInt(v);
        if (!t || *t < 0 || *t > 65535) return Usage();
        type = static_cast<uint16_t>(*t);
      }
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      files.push_back(a);
      types.push_back(type);
    }
  }
  if (out.empty()) return Usage();
  for (size_t i = 0; i < files.size(); ++i) {
    std::string bytes, error;
    if (!vx::ReadWholeFile(files[i], bytes, &error)) {
      std::fprintf(stderr, "vxpack: %s: %s\n", files[i].c_str(), error.c_str());
      return 1;
    }
    vxtools::TArchiveItem item;
    item.Key = vxtools::ArchiveKeyForPath(base, files[i]);
    item.Type = types[i];
    item.Data.assign(bytes.begin(), bytes.end());
    items.push_back(std::move(item));
  }
  std::string error;
  if (!vxtools::WriteArchiveFile(out, items, &error)) {
    std::fprintf(stderr, "vxpack: %s: %s\n", out.c_str(), error.c_str());
    return 1;
  }
  std::printf("vxpack: %zu records -> %s\n", items.size(), out.c_str());
  return 0;
}
