#pragma once
// The engine fonts baked into "fonts.vxr": a name the themes use ("FontDXName"), the system
// font file it is baked from, and its pixel size. The engine finds a font by name + ".font"
// and falls back to the first record, so the default font comes first.
#include <string>
#include <vector>

namespace vx::datagen {

struct EngineFont {
  std::string name;      // the theme's FontDXName
  std::string fileName;  // system font file (found with FindSystemFont)
  int pixelSize;         // baked size: engine fonts are drawn at their baked size
};

const std::vector<EngineFont>& EngineFonts();
// The archive key of a font record: name + ".font".
std::string FontRecordKey(const EngineFont& f);

}  // namespace vx::datagen
