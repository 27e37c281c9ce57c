#pragma once
// The one logging call of the system. Safe at any time: before a window exists the lines
// are buffered, and after the log window is gone they still land in the buffer.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Appends one line ("INFO: ...", "ERROR: ...", "[MUSIC] ..." by the callers' convention).
void Log(const std::string& text);

namespace vx {

// A listener sees every line as it is logged (the log window, tests). Returns an id.
using LogListener = std::function<void(const std::string&)>;
int AddLogListener(LogListener listener);
void RemoveLogListener(int id);

// Developer mode keeps every line and mirrors them to stderr; otherwise only the newest
// MaxLogLines are kept.
void SetLogDeveloperMode(bool on);
constexpr std::size_t MaxLogLines = 5000;

// The buffered lines, oldest first.
std::vector<std::string> LogLines();
void ClearLog();
// True when some line contains the text (tests).
bool LogContains(const std::string& text);

}  // namespace vx
