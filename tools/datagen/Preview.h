#pragma once
// Pictures for a person to look at: PNG copies of the art and a mock-up of the message box
// on an 800x600 screen, composed from the same pictures and theme positions the game uses.
#include <string>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Picture.h"

namespace vx::datagen {

// Writes a straight-alpha picture as PNG; throws Exception on failure.
void WritePng(const Picture& pic, const std::string& path);

// The message box as the game would show it over a lobby-like backdrop, with one button
// hovered. `dialogsTheme` is the text of DIALOGS\theme.scn.
Picture MockMessageBox(FontLibrary& fonts, const std::string& dialogsTheme, const std::string& text,
                       bool yesNo);

// The other shared controls at 1:1 inside a dialog frame: check boxes in both states with
// captions, tab buttons, a list with its scroll arrows, and the particle stars.
Picture MockControls(FontLibrary& fonts);

// Every art picture on a checkerboard, small ones enlarged, for inspection.
Picture ContactSheet(FontLibrary& fonts);

}  // namespace vx::datagen
