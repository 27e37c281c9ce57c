#pragma once
// The standard system message dialog, used once: when the drawing device cannot start and
// the game's own message box cannot be drawn. Shown by SDL when there is a display,
// written to stderr otherwise.
#include <string>

namespace vx {

enum class SystemMessageKind { Error, Warning, Information };

void ShowSystemMessage(const std::string& title, const std::string& text, SystemMessageKind kind);

}  // namespace vx
