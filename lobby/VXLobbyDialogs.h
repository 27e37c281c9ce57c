#pragma once
// The dialogs that the menu bar and the lobby open, each modal over the root scene of the
// lobby's context and freed when it closes.
#include <cstdint>

struct TVXLobbyState;

namespace vx {

// The profile dialog (creates a player when nobody is signed in, edits the signed-in one).
// After a save the lobby's player panel shows the new name. Returns the dialog's result.
int32_t ShowProfileDialog(TVXLobbyState& lobby);
// The current casino's statistics (limited to the running game while one runs).
void ShowStatisticsDialog(TVXLobbyState& lobby);
void ShowHallOfFameDialog(TVXLobbyState& lobby);
// Each option applies at once; closing saves "settings.xml".
void ShowOptionsDialog(TVXLobbyState& lobby);
// The help pages of the program folder's "Help" folder, from its index.
void ShowHelpDialog(TVXLobbyState& lobby);
void ShowAboutDialog(TVXLobbyState& lobby);

}  // namespace vx
