#include "support/TempDir.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vxtest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const char* base = std::getenv("VX_TEST_TMP");
  std::filesystem::path root = base ? base : std::filesystem::temp_directory_path() / "vxtest";
  std::filesystem::create_directories(root);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    auto p = root / ("t" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    if (std::filesystem::create_directory(p)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a test folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore write permission on anything a test made read-only, then remove.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void TempDir::WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vxtest
