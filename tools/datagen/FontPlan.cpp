#include "tools/datagen/FontPlan.h"

namespace vx::datagen {

const std::vector<EngineFont>& EngineFonts() {
  // "ArialBlack" is the toolkit's default font name: a heavy sans for buttons and captions.
  // The others are the sizes and weights the themes ask for by name.
  static const std::vector<EngineFont> fonts = {
      {"ArialBlack", "DejaVuSans-Bold.ttf", 14},
      {"ArialBlackSmall", "DejaVuSans-Bold.ttf", 11},
      {"ArialBlackLarge", "DejaVuSans-Bold.ttf", 20},
      {"Arial", "LiberationSans-Regular.ttf", 15},
      {"ArialBold", "LiberationSans-Bold.ttf", 16},
      {"ArialSmall", "LiberationSans-Regular.ttf", 11},
  };
  return fonts;
}

std::string FontRecordKey(const EngineFont& f) { return f.name + ".font"; }

}  // namespace vx::datagen
