#pragma once
// Pictures of the video-poker art for a person to look at: every card of a set on the felt,
// and each poker screen composed from its theme file and pictures the way the game places
// them, in the round's view and in the double-up's view.
#include <string>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Picture.h"

namespace vx::datagen {

// The 59 pictures of a card set in rows of thirteen on green felt.
Picture CardSheet(FontLibrary& fonts, const std::string& cardSet);

// What a mock-up shows of a round.
struct PokerMockState {
  bool doubleUp = false;  // the double-up's view instead of the round's
  bool advert = false;    // the attract mode's advertisement over the cards
};

// One poker screen at 800x600. `theme` is the section name ("VP01"), `themeText` its file.
Picture MockPokerScreen(FontLibrary& fonts, const std::string& theme, const std::string& themeText,
                        const PokerMockState& state);

// Card sheets and the screens' mock-ups as PNG files in outFolder.
void WritePokerPreviews(FontLibrary& fonts, const std::string& sourceFolder, const std::string& outFolder);

}  // namespace vx::datagen
