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

// Makes `dir` the current folder for one scope (files the program writes "here" land there)
// and puts the previous one back, also when the test fails on its way.
class ScopedCurrentFolder {
public:
  explicit ScopedCurrentFolder(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~ScopedCurrentFolder() { std::filesystem::current_path(previous_); }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
  std::filesystem::path previous_;
};

}  // namespace vxtest
