#pragma once
// The log window and the developer diagnostics. TfrmDebug collects the program's log (every
// line of Log(), core/Log.h) and holds the two developer selection lists the games read. In
// developer mode it streams the log to "<program file>_debug.log" as lines arrive, saves the
// whole log there when it closes, and can show itself as a small second window beside the
// game. The dumps write the control tree, the texture list and the process memory counters.
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

class TVXCustomControl;
class TVXEngine;
class TVXTextureList;

namespace vx {
class DebugLogWindow;
struct TProcessMemoryCounters;
}

class TfrmDebug {
public:
  // `developerMode` is captured now and decides, for the object's whole life, whether the log
  // is streamed and saved. `logFile` is the debug log's path (the program file's path +
  // "_debug.log" when empty).
  explicit TfrmDebug(bool developerMode, const std::string& logFile = {});
  // Saves the log in developer mode (FormDestroy).
  ~TfrmDebug();
  TfrmDebug(const TfrmDebug&) = delete;
  TfrmDebug& operator=(const TfrmDebug&) = delete;

  bool DeveloperMode() const { return developerMode_; }
  const std::string& LogFile() const { return logFile_; }

  // Appends a line (what the log call does through the listener).
  void Log(const std::string& text);
  // The lines collected since creation (bounded outside developer mode).
  const std::vector<std::string>& Lines() const { return lines_; }
  static constexpr size_t MaxLines = 5000;

  // The two selection lists read by the games in developer mode.
  static const std::vector<std::string>& CheatReelsItems();
  static const std::vector<std::string>& CheatHandItems();
  int32_t CheatReelsIndex() const { return cheatReels_; }
  int32_t CheatHandIndex() const { return cheatHand_; }
  // Indexes outside the list select "-" (0).
  void SetCheatReelsIndex(int32_t index);
  void SetCheatHandIndex(int32_t index);
  // The selected texts ("-" when nothing is chosen).
  std::string CheatReels() const;
  std::string CheatHand() const;

  // Shows the window at the right of the screen (299x970 at most). False (logged) when the
  // system cannot give a second window; the log goes on without it.
  bool ShowWindow();
  void HideWindow();
  bool WindowShown() const;

  // Writes the whole log to the debug-log file at once (atomic). False (logged) on failure.
  bool SaveLog() const;

private:
  void Stream(const std::string& line);

  bool developerMode_;
  std::string logFile_;
  int listener_ = 0;
  std::vector<std::string> lines_;
  std::ofstream stream_;
  int32_t cheatReels_ = 0;
  int32_t cheatHand_ = 0;
  std::unique_ptr<vx::DebugLogWindow> window_;
};

namespace vx {

// The control tree under root (root itself not listed): per child at depth d (1 for root's
// children), 6*d spaces, its name, " (", its number of children, ")", then its children.
std::vector<std::string> ControlTreeLines(const TVXCustomControl* root);
// Saves those lines to fileName and logs "INFO: ControlTree Dump Finished.". False (logged)
// when the file cannot be written.
bool DumpControlTree(const TVXCustomControl* root, const std::string& fileName);

// "TextureCount: n", then "i : key" per texture from 1.
std::vector<std::string> TextureListLines(const TVXTextureList* list);
bool DumpTextureList(const TVXTextureList* list, const std::string& fileName);
// "INFO: TextureCount: n" for the engine's texture list (0 without an engine).
void LogTextureCount(const TVXEngine* engine);

// The process memory counters as the developer key logs them: 64-bit decimal numbers of
// bytes, the working set in kilobytes (rounded). Counters that cannot be read log as 0.
std::vector<std::string> ProcessMemoryLines(const TProcessMemoryCounters& counters);
void DumpProcessMemory();

}  // namespace vx
