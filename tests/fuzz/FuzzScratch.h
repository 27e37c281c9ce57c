#pragma once
// A folder of its own for a fuzz target that works on files, made once per process: in
// memory when the system offers it, since every save is flushed and a disk makes that slow.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vxfuzz {

inline std::string ScratchFolder(const std::string& tag) {
  const char* base = std::getenv("TMPDIR");
  const std::string dir =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : (base && base[0] == '/' ? base : "/tmp");
  std::string pattern = dir + "/vxfuzz_" + tag + "_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) __builtin_trap();
  return pattern + "/";
}

}  // namespace vxfuzz
