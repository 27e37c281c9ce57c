#pragma once
// Checks the generator runs on what it is about to pack, so a theme that names a picture
// nobody drew fails the build instead of showing a white box in the game.
#include <string>
#include <vector>

#include "tools/datagen/Packaging.h"

namespace vx::datagen {

// The picture keys a control of a theme section may be drawn with, best first; any one of
// them present is enough. Empty when the control draws no picture of its own (labels, edits,
// list boxes, which are text on a see-through rectangle).
std::vector<std::string> TextureCandidates(const std::string& scene, const std::string& control);

// Problems with the theme records among `records`: files that do not parse, four-part values
// that are not four integers, and controls whose pictures are missing from `records`.
std::vector<std::string> CheckThemes(const std::vector<ArchiveRecord>& records);

// Problems of a casino.dat text: a missing GENERAL section, GAME_ sections without IDStr or
// naming an id string outside `knownIds`, duplicate games.
std::vector<std::string> CheckCasinoDat(const std::string& text, const std::vector<std::string>& knownIds);

// The id strings of the game catalogue, in lobby order.
const std::vector<std::string>& CatalogueIdStrings();

}  // namespace vx::datagen
