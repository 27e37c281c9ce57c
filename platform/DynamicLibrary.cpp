#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace vx {
namespace {
std::string DlError() {
  const char* e = ::dlerror();
  return e ? e : "";
}
}  // namespace

bool DynamicLibrary::Load(const std::string& name) {
  Unload();
  ::dlerror();
  handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  lastError_ = handle_ ? "" : DlError();
  return handle_ != nullptr;
}

void DynamicLibrary::Unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const std::string& name) {
  if (!handle_) return nullptr;
  ::dlerror();
  void* p = ::dlsym(handle_, name.c_str());
  if (!p) lastError_ = DlError();
  return p;
}

}  // namespace vx
