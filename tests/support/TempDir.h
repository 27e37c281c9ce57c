#pragma once
// A fresh, empty folder for one test, removed again at the end of the test.
#include <filesystem>
#include <string>

namespace vxtest {

class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string Str() const { return path_.string(); }
  // Path of a file inside the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  static std::string ReadFile(const std::string& path);
  static void WriteFile(const std::string& path, const std::string& bytes);

private:
  std::filesystem::path path_;
};

}  // namespace vxtest
