// The archive reader takes any file: open it, list it, read every record (a code each time,
// never a crash, a hang or a huge allocation).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/Log.h"
#include "render/RecDb.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  // One scratch file per process, removed at exit.
  static const struct Scratch {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("vx_fuzz_archive_" + std::to_string(std::random_device()()) + ".vxr")).string();
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
  if (!scratch.Store(data, size)) return 0;
  TRecDb db;
  db.SetFileName(path);
  db.SetOpenMode(opReadOnly);
  if (db.Open() != 0) return 0;
  const int32_t n = db.RecordCount() < 64 ? db.RecordCount() : 64;
  for (int32_t i = 0; i < n; ++i) {
    std::vector<uint8_t> buffer;
    uint32_t got = 0;
    const std::string key = db.RecordKey(i);
    (void)db.RecordType(i);
    if (db.ReadRecord(key, buffer, got) == 0 && buffer.size() != got) __builtin_trap();
  }
  return 0;
}
