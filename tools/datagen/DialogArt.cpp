// Pictures of the message box and the other dialogs' scene "DIALOGS". The chrome itself
// (frame, task bar, logo, buttons) comes from COMMON.
#include "tools/datagen/Art.h"

namespace vx::datagen {

std::vector<ArtEntry> DialogArt() {
  return {{"DIALOGS\\background.bmp", [](FontLibrary&) { return DimBackground(); }}};
}

}  // namespace vx::datagen
