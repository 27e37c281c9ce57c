// Path mapping and case-insensitive resolution of arbitrary names against a small fixed
// tree: never a crash, never a path outside the tree for a relative name without "..".
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Log.h"
#include "platform/Files.h"

namespace {
const std::string& Root() {
  // Never destroyed: the exit handler below still needs it.
  static const std::string& root = *new std::string([] {
    auto dir = std::filesystem::temp_directory_path() / ("vx_fuzz_paths_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "Data/Pak/Common");
    std::filesystem::create_directories(dir / "casinos/MakeDefault");
    vx::WriteFileAtomic((dir / "Data/Pak/Common/x.bmp").string(), "x");
    vx::WriteFileAtomic((dir / "Data/Pak/Common/X.BMP").string(), "X");
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(Root(), ec);
    });
    return dir.string();
  }());
  return root;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  if (size > 4096) return 0;
  std::string path(reinterpret_cast<const char*>(data), size);
  if (path.find('\0') != std::string::npos) return 0;
  const std::string native = vx::ToNativePath(path);
  if (native.find('\\') != std::string::npos) std::abort();
  const std::string resolved = vx::ResolvePath(path, Root());
  const bool relative = native.empty() || native[0] != '/';
  if (relative && native.find("..") == std::string::npos && resolved.compare(0, Root().size(), Root()) != 0)
    std::abort();
  std::string out;
  vx::ReadWholeFile(resolved, out, nullptr, 1024);
  vx::FileExists(path);
  vx::DirectoryExists(path);
  vx::ExtractFilePath(path);
  vx::ExtractFileName(path);
  return 0;
}
