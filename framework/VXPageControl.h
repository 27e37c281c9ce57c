#pragma once
// Pages with tab buttons.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXWidgets.h"

class TVXTabSheet : public TVXPanel {
public:
  using TVXPanel::TVXPanel;
};

// Sheets with one tab button each. Only the active sheet is processed (and it only once per
// frame); tab buttons are processed after it, in order.
class TVXPageControl : public TVXControl {
public:
  explicit TVXPageControl(TVXComponent* owner);
  VX_THEMED

  // Appends a sheet and its tab button. Parentless ones are parented to the page control; a
  // tab button without a click handler activates its sheet; a sheet that is not the active
  // page is hidden.
  void AddPage(TVXTabSheet* sheet, TVXTabSheetButton* tab);
  int32_t PageCount() const { return static_cast<int32_t>(sheets_.size()); }
  TVXTabSheet* GetSheet(int32_t index) const;
  TVXTabSheetButton* GetTabButton(int32_t index) const;

  TVXTabSheet* ActivePage() const { return active_.Get(); }
  // Hides every sheet and shows the new one; OnChange. Nothing when unchanged.
  void SetActivePage(TVXTabSheet* sheet);
  int32_t ActivePageIndex() const { return activePageIndex_; }
  void SetActivePageIndex(int32_t index) { SetActivePage(GetSheet(index)); }
  TVXNotifyEvent OnChange;

  int32_t TabWidth() const { return tabWidth_; }
  void SetTabWidth(int32_t value);
  int32_t TabHeight() const { return tabHeight_; }
  void SetTabHeight(int32_t value);

  // Font name and colour go to every tab button.
  void CopyFontToTabs();

  // A font name changed since the last frame reaches the tabs (not in a halted frame).
  void Step() override;
  // Draws itself, then processes the active sheet, the tabs and any other child.
  void Draw() override;
  // Sheets below the tab row, tabs side by side.
  void Resized() override;

private:
  std::vector<vx::WeakRef<TVXTabSheet>> sheets_;
  std::vector<vx::WeakRef<TVXTabSheetButton>> tabs_;
  vx::WeakRef<TVXTabSheet> active_;
  std::string copiedFontName_;  // the font name the tabs were last given
  int32_t activePageIndex_ = -1;
  int32_t tabWidth_ = 100;
  int32_t tabHeight_ = 20;
};
