#include "framework/VXDebug.h"

#include "core/Log.h"
#include "core/Rounding.h"
#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXClasses.h"
#include "framework/VXEngine.h"
#include "framework/VXTextures.h"
#include "framework/VXLogWindow.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "platform/Process.h"
#include "sysutil/SysUtils.h"

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) {
    text += l;
    text += "\r\n";
  }
  return text;
}

bool SaveLines(const std::vector<std::string>& lines, const std::string& fileName) {
  std::string error;
  if (vx::WriteFileAtomic(vx::ResolvePath(fileName), JoinLines(lines), &error)) return true;
  Log("ERROR: Cannot write " + fileName + ": " + error);
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TfrmDebug

TfrmDebug::TfrmDebug(bool developerMode, const std::string& logFile)
    : developerMode_(developerMode), logFile_(logFile.empty() ? vx::ProgramFilePath() + "_debug.log" : logFile) {
  vx::SetLogDeveloperMode(developerMode_);
  // What was logged before the window existed comes first.
  lines_ = vx::LogLines();
  if (!developerMode_ && lines_.size() > MaxLines) lines_.erase(lines_.begin(), lines_.end() - MaxLines);
  if (developerMode_) {
    stream_.open(vx::ToNativePath(vx::ResolvePath(logFile_)), std::ios::out | std::ios::trunc | std::ios::binary);
    if (!stream_) {
      ::Log("ERROR: Cannot write " + logFile_);
    } else {
      for (const std::string& l : lines_) stream_ << l << "\r\n";
      stream_.flush();
    }
  }
  listener_ = vx::AddLogListener([this](const std::string& line) { Log(line); });
}

TfrmDebug::~TfrmDebug() {
  vx::RemoveLogListener(listener_);
  window_.reset();
  if (stream_.is_open()) stream_.close();
  // The flag captured at creation decides, not whatever the program believes now.
  if (developerMode_) SaveLog();
}

void TfrmDebug::Log(const std::string& text) {
  lines_.push_back(text);
  if (!developerMode_ && lines_.size() > MaxLines) lines_.erase(lines_.begin());
  Stream(text);
  if (window_) window_->AddLine(text);
}

void TfrmDebug::Stream(const std::string& line) {
  if (!stream_.is_open()) return;
  stream_ << line << "\r\n";
  stream_.flush();
}

bool TfrmDebug::SaveLog() const { return SaveLines(lines_, logFile_); }

const std::vector<std::string>& TfrmDebug::CheatReelsItems() {
  static const std::vector<std::string> items = {"-", "1 BAR", "CHERRY LINE", "7 LINE", "CROSS", "CORNER", "BELL LINE"};
  return items;
}

const std::vector<std::string>& TfrmDebug::CheatHandItems() {
  static const std::vector<std::string> items = {"-",
                                                 "FIVE OF A KIND",
                                                 "FIVE OF A KIND DEUCES WILD",
                                                 "ROYAL FLUSH",
                                                 "ROYAL FLUSH NATURAL",
                                                 "STREET FLUSH",
                                                 "POKER",
                                                 "POKER DEUCES",
                                                 "POKER ACES",
                                                 "POKER J-Q-K",
                                                 "POKER 2-10",
                                                 "FULL HOUSE",
                                                 "FLUSH",
                                                 "STREET",
                                                 "THREE OF A KIND",
                                                 "TWO PAIRS",
                                                 "HIGH PAIR",
                                                 "ORVANTA 3xX",
                                                 "FULL ORVANTA"};
  return items;
}

void TfrmDebug::SetCheatReelsIndex(int32_t index) {
  cheatReels_ = (index >= 0 && index < static_cast<int32_t>(CheatReelsItems().size())) ? index : 0;
  if (window_) window_->SetSelected(0, cheatReels_);
}

void TfrmDebug::SetCheatHandIndex(int32_t index) {
  cheatHand_ = (index >= 0 && index < static_cast<int32_t>(CheatHandItems().size())) ? index : 0;
  if (window_) window_->SetSelected(1, cheatHand_);
}

std::string TfrmDebug::CheatReels() const { return CheatReelsItems()[static_cast<size_t>(cheatReels_)]; }

std::string TfrmDebug::CheatHand() const { return CheatHandItems()[static_cast<size_t>(cheatHand_)]; }

bool TfrmDebug::ShowWindow() {
  if (!window_) {
    auto window = std::make_unique<vx::DebugLogWindow>();
    std::string error;
    if (!window->Create("Debug", 299, 970, vx::MainPump(), &error)) {
      ::Log("ERROR: " + error);
      return false;
    }
    window->SetLists({"Reels:", "Hand:"}, {CheatReelsItems(), CheatHandItems()});
    window->SetSelected(0, cheatReels_);
    window->SetSelected(1, cheatHand_);
    window->OnSelect = [this](size_t list, int index) {
      if (list == 0) cheatReels_ = index;
      if (list == 1) cheatHand_ = index;
    };
    for (const std::string& l : lines_) window->AddLine(l);
    window_ = std::move(window);
  }
  window_->Show();
  window_->Paint();
  return true;
}

void TfrmDebug::HideWindow() {
  if (window_) window_->Hide();
}

bool TfrmDebug::WindowShown() const { return window_ && window_->Visible(); }

// ---------------------------------------------------------------------------------------
// Dumps

namespace vx {

namespace {
void TreeLines(const TVXCustomControl* node, int depth, std::vector<std::string>& out) {
  for (int32_t i = 0; i < node->ChildCount(); ++i) {
    const TVXCustomControl* child = node->GetChild(i);
    if (child == nullptr) continue;
    out.push_back(std::string(static_cast<size_t>(6 * depth), ' ') + child->Name() + " (" +
                  IntToStr(child->ChildCount()) + ")");
    TreeLines(child, depth + 1, out);
  }
}
}  // namespace

std::vector<std::string> ControlTreeLines(const TVXCustomControl* root) {
  std::vector<std::string> lines;
  if (root != nullptr) TreeLines(root, 1, lines);
  return lines;
}

bool DumpControlTree(const TVXCustomControl* root, const std::string& fileName) {
  const bool ok = SaveLines(ControlTreeLines(root), fileName);
  Log("INFO: ControlTree Dump Finished.");
  return ok;
}

std::vector<std::string> TextureListLines(const TVXTextureList* list) {
  const int32_t count = list != nullptr ? list->Count() : 0;
  std::vector<std::string> lines{"TextureCount: " + IntToStr(count)};
  for (int32_t i = 0; i < count; ++i) {
    const TVXGfxTexture* t = list->GetItem(i);
    lines.push_back(IntToStr(i + 1) + " : " + (t != nullptr ? t->Key : std::string()));
  }
  return lines;
}

bool DumpTextureList(const TVXTextureList* list, const std::string& fileName) {
  const bool ok = SaveLines(TextureListLines(list), fileName);
  Log("INFO: GfxTextureList Dump Finished.");
  return ok;
}

void LogTextureCount(const TVXEngine* engine) {
  const int32_t count = (engine != nullptr && engine->Textures() != nullptr) ? engine->Textures()->Count() : 0;
  Log("INFO: TextureCount: " + IntToStr(count));
}

std::vector<std::string> ProcessMemoryLines(const TProcessMemoryCounters& c) {
  auto n = [](uint64_t v) { return std::to_string(v); };
  return {"INFO: PROCESS MEMORY INFO",
          ">>",
          " PageFaultCount: " + n(c.PageFaultCount),
          " PeakWorkingSetSize: " + n(c.PeakWorkingSetSize),
          " WorkingSetSize: " + n(static_cast<uint64_t>(Round(static_cast<double>(c.WorkingSetSize) / 1024.0))) + " K",
          " QuotaPeakPagedPoolUsage: " + n(c.QuotaPeakPagedPoolUsage),
          " QuotaPagedPoolUsage: " + n(c.QuotaPagedPoolUsage),
          " QuotaPeakNonPagedPoolUsage: " + n(c.QuotaPeakNonPagedPoolUsage),
          " QuotaNonPagedPoolUsage: " + n(c.QuotaNonPagedPoolUsage),
          " PagefileUsage: " + n(c.PagefileUsage),
          " PeakPagefileUsage: " + n(c.PeakPagefileUsage),
          "<<"};
}

void DumpProcessMemory() {
  TProcessMemoryCounters counters;
  if (!GetProcessMemoryInfo(counters)) counters = TProcessMemoryCounters{};
  for (const std::string& line : ProcessMemoryLines(counters)) Log(line);
}

}  // namespace vx
