#pragma once
// Every picture of the shared look, by its archive key ("COMMON\BTN_ALL.bmp"), drawn in code.
#include <functional>
#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Picture.h"

namespace vx::datagen {

struct ArtEntry {
  std::string key;  // folder "\" name [ "_" frame ] ".bmp", as the resource manager asks
  std::function<Picture(FontLibrary&)> draw;
};

std::vector<ArtEntry> CommonArt();
std::vector<ArtEntry> DialogArt();
// The options, statistics and hall of fame dialogs.
std::vector<ArtEntry> LobbyDialogArt();
std::vector<ArtEntry> EffectsArt();
// The players' portraits ("Players\IMG_PLAYER" and its frames), the credit dialog's coin and
// the veils of the login, profile and credit dialogs.
std::vector<ArtEntry> PlayerArt();
// How many portraits there are (frames 1..count).
int PlayerPictureCount();
// The card sets "CardSet1" and "CardSet2".
std::vector<ArtEntry> CardArt();
// The video-poker screens, the double-up's series frames and the games' lobby pictures.
std::vector<ArtEntry> PokerArt();
// The lobby, the menu bar, the loading screen and the intro; the slot machines' logos and
// every game's preview.
std::vector<ArtEntry> LobbyArt();
// The slot machines' screens and the symbols of "REELS".
std::vector<ArtEntry> SlotsArt();
// The about and help dialogs.
std::vector<ArtEntry> HelpArt();
// A card suit (0 spade, 1 heart, 2 diamond, 3 club) as the current path, centred on (cx, cy).
void DrawSuit(Canvas& c, int suit, double cx, double cy, double size);
// A dialog's window of any size (felt in a gold rim) and its title strip of any width.
Picture DialogFrame(int width, int height);
Picture DialogTaskBar(int width);
// The veil behind dialogs (800x600, black with more alpha towards the edges).
Picture DimBackground();

// All of the above, sorted by key.
std::vector<ArtEntry> AllArt();

}  // namespace vx::datagen
