// The generator's checks of theme files and casino files take any text without crashing,
// hanging or reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Log.h"
#include "tools/datagen/Checks.h"
#include "tools/datagen/Ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto parsed = vx::datagen::ParseIni(text);
  for (const auto& s : parsed.file.sections)
    for (const auto& kv : s.keys) (void)vx::datagen::ParseFourPart(kv.second);
  std::vector<vx::datagen::ArchiveRecord> records = {
      {"SCENE\\theme.scn", vx::datagen::kRecordText, text},
      {"COMMON\\BTN_ALL.bmp", vx::datagen::kRecordPicture, ""},
  };
  (void)vx::datagen::CheckThemes(records);
  (void)vx::datagen::CheckCasinoDat(text, vx::datagen::CatalogueIdStrings());
  return 0;
}
