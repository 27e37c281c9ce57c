#pragma once
// Sizes and names shared by the card sets, the video-poker screens' pictures and their theme
// files. The themes place every control at the size its picture is drawn, so nothing is
// stretched on screen.
#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Picture.h"

namespace vx::datagen::poker {

// One card face, back or wild overlay: the hand and double-up cards are shown at this size.
constexpr int kCardW = 120, kCardH = 168;

// The two card sets; each is a texture folder holding the same picture names.
inline const std::vector<std::string>& CardSets() {
  static const std::vector<std::string> sets = {"CardSet1", "CardSet2"};
  return sets;
}

// The picture names of one card set: "CARD_1".."CARD_54", the back and the four wild deuces.
std::vector<std::string> CardPictureNames();

// A card of a set as drawn: 1..54 the faces, 0 the back; `wild` puts the banner on a deuce.
Picture CardFace(FontLibrary& fonts, const std::string& cardSet, int number, bool wild = false);

// The six video-poker screens.
inline const std::vector<std::string>& PokerThemes() {
  static const std::vector<std::string> themes = {"VP01", "VP02", "VP03", "VPC01", "VPC02", "VPC03"};
  return themes;
}

// The series picture of the double-up panel steps through these frames and wraps to 1.
constexpr int kSeriesFrames = 8;
constexpr int kSeriesW = 250, kSeriesH = 22;

// The rows of every poker screen, top to bottom. The menu bar lies over the top strip of
// every screen, so only the cabinet's own background is drawn there.
constexpr int kMenuStripH = 28;
// The pay list's glass (and, on some machines, the double-up's in its place) and its rows.
constexpr int kPayTop = 32, kPayW = 560, kPayH = 224;
constexpr int kPayRowTop = 7, kPayRowH = 19;  // row 1 from the glass's top
// The side column beside the pay list: game logo, feature panel, double-up plate.
constexpr int kSidePanelH = 80, kNormalDupH = 38;
// The message window, the hand's cards and their "HELD" plates.
constexpr int kMessageTop = 259, kMessageH = 30;
constexpr int kCardTop = 294;
// The wide double-up panel that takes the hand's place, its dealer and tray row.
constexpr int kWideDupTop = 292, kWideDupW = 776, kWideDupH = 200, kWideDupCardTop = 27;
// The meters and the deck of buttons.
constexpr int kCreditTop = 496, kCreditW = 776, kCreditH = 46;
constexpr int kDeckTop = 546, kDeckH = 54;

// The lobby's picture of each game, which the game screen shows too.
constexpr int kGameLogoW = 200, kGameLogoH = 100;

// Buttons of the machine's deck.
constexpr int kHoldButtonW = 86, kDeckButtonW = 90, kDealButtonW = 120, kDeckButtonH = 40;
// The "HELD" plate under each card.
constexpr int kHeldW = 120, kHeldH = 24;
// The advertisement covers the row of hand cards.
constexpr int kAdvW = 700, kAdvH = 168;
// Lamps: the ten Orvanta stages, the eight double-up bar segments, the six deal stages.
constexpr int kStageLamp = 18;
constexpr int kBarW = 40, kBarH = 16;
constexpr int kDealStageLamp = 36;

}  // namespace vx::datagen::poker
