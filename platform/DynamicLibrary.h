#pragma once
// A shared library loaded at run time, with its entry points looked up by name.
#include <string>

namespace vx {

class DynamicLibrary {
public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Unload(); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library (a file name searched the system's way, or a path). False, with
  // LastError() set, when it cannot be loaded.
  bool Load(const std::string& name);
  void Unload();
  bool Loaded() const { return handle_ != nullptr; }
  // The entry point's address, or nullptr (LastError() set).
  void* Symbol(const std::string& name);
  // The system's text for the last failure; empty when it gave none.
  const std::string& LastError() const { return lastError_; }

private:
  void* handle_ = nullptr;
  std::string lastError_;
};

}  // namespace vx
