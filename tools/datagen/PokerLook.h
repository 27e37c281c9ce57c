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
constexpr int kSeriesW = 250, kSeriesH = 26;

// The lobby's picture of each game, which the game screen shows too.
constexpr int kGameLogoW = 200, kGameLogoH = 100;

// Buttons of the machine's deck.
constexpr int kHoldButtonW = 86, kDeckButtonW = 90, kDealButtonW = 120, kDeckButtonH = 44;
// The "HELD" plate under each card.
constexpr int kHeldW = 120, kHeldH = 24;
// The advertisement covers the row of hand cards.
constexpr int kAdvW = 700, kAdvH = 168;
// Lamps: the ten Orvanta stages, the eight double-up bar segments, the six deal stages.
constexpr int kStageLamp = 18;
constexpr int kBarW = 40, kBarH = 22;
constexpr int kDealStageLamp = 36;

}  // namespace vx::datagen::poker
