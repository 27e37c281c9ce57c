#pragma once
// The dialogs that the menu bar and the lobby open, each modal over the root scene and freed
// when it closes, and the desktop's "open" action for the home page. The help and about
// dialogs are not built yet: until they are, each shows a message box that says so (the texts
// below).
#include <cstdint>
#include <functional>
#include <string>

namespace vx {

// The profile dialog (creates a player when nobody is signed in, edits the signed-in one).
// After a save the lobby's player panel shows the new name. Returns the dialog's result.
int32_t ShowProfileDialog();
// The current casino's statistics (limited to the running game while one runs).
void ShowStatisticsDialog();
void ShowHallOfFameDialog();
// Each option applies at once; closing saves "settings.xml".
void ShowOptionsDialog();
void ShowHelpDialog();
void ShowAboutDialog();

extern const char* const kHelpPlaceholderText;
extern const char* const kAboutPlaceholderText;

// Opens an address with the desktop's "open" action, through the handler the program layer
// sets (tests set their own); without one the request is logged.
void SetOpenAddressHandler(std::function<void(const std::string&)> handler);
void OpenAddress(const std::string& address);

}  // namespace vx
