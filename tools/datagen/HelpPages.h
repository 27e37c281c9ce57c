#pragma once
// The files of the program folder's "Help" folder: pages and the pictures they show.
#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"

namespace vx::datagen {

struct HelpFile {
  std::string name;  // in the Help folder
  std::string bytes;
};

// The page of a machine by its id string ("VXG_VP_JACKSORBETTER" gives "vp_jacksorbetter.html").
std::string HelpPageName(const std::string& idStr);
// The hand-written pages of sourceFolder/help with the list of machines filled in, a page per
// video-poker machine from the catalogue, and the pictures (GIF, JPEG, PNG); sorted by name.
std::vector<HelpFile> BuildHelpFiles(FontLibrary& fonts, const std::string& sourceFolder);

}  // namespace vx::datagen
