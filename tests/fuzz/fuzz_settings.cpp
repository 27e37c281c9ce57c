// The real options object on an arbitrary "settings.xml": reading never crashes; a file read
// whole saves and reads back to the same options; a damaged one is set aside, never saved
// over, and leaves no other file behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Log.h"
#include "framework/VXSettings.h"
#include "platform/Files.h"
#include "tests/fuzz/FuzzScratch.h"
#include "xmlstore/XMLStore.h"

namespace {

bool SameOptions(const TVXSetting& a, const TVXSetting& b) { return a.GetXML() == b.GetXML(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string root = vxfuzz::ScratchFolder("settings");
  vx::ResetXMLFileSafetyForTests();
  const std::string file = root + "settings.xml";
  if (!vx::WriteFileAtomic(file, std::string_view(reinterpret_cast<const char*>(data), size))) __builtin_trap();
  {
    TVXSetting s(root, root + "temp");
    const bool whole = vx::FileExists(file);
    if (whole) {
      if (!s.Save()) __builtin_trap();
      TVXSetting again(root, root + "temp");
      if (!SameOptions(s, again)) __builtin_trap();
    } else {
      // Set aside, and nothing saved in its place.
      if (!vx::FileExists(file + ".bad") || s.Save() || vx::FileExists(file)) __builtin_trap();
    }
  }
  for (const auto& e : std::filesystem::directory_iterator(root))
    if (e.path().filename() != "temp") std::filesystem::remove(e.path());
  // The log keeps its lines: cleared, so every input ends with what it started with and the
  // leak check has nothing to look at.
  vx::ClearLog();
  return 0;
}
