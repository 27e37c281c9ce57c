#pragma once
// The composite controls: a scroll control with a clipped client panel and a vertical scroll
// bar, the list box with rows and columns built on it, the combo box (an entry over a drop-down
// list box), pages with tab buttons, and the progress bar. Each owns and lays out its inner
// controls, and several process those themselves instead of leaving them to the tree walk.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXWidgets.h"

class TVXScrollControl;
class TVXListBox;

// ---------------------------------------------------------------------------------------
// Scrolling

// A vertical bar with an up and a down button; holding one scrolls the served control 2
// pixels per frame.
class TVXScrollBar : public TVXControl {
public:
  TVXScrollBar(TVXComponent* owner, TVXScrollControl* control);

  TVXScrollControl* Control() const { return control_; }
  TVXButton* UpButton() const { return up_; }
  TVXButton* DownButton() const { return down_; }

  // Both buttons square (the bar's width), the up one at the bar's top, the down one at its
  // bottom.
  void LayoutButtons();
  void Update() override;
  void Moved() override { LayoutButtons(); }
  void Resized() override { LayoutButtons(); }

private:
  TVXScrollControl* control_;
  TVXButton* up_ = nullptr;
  TVXButton* down_ = nullptr;
};

class TVXScrollControl : public TVXPanel {
public:
  static constexpr int32_t ScrollStepPixels = 2;
  // Scrolling up stops once the client's top is this far below the control's top.
  static constexpr int32_t ScrollUpLimit = 30;
  static constexpr int32_t BarWidth = 10;

  explicit TVXScrollControl(TVXComponent* owner);

  TVXScrollBar* ScrollBar() const { return bar_; }
  // The panel that carries the content; it moves to scroll.
  TVXPanel* Client() const { return client_; }
  // Pixels kept free above the client (a list's column header).
  int32_t HeaderHeight() const { return headerHeight_; }
  void SetHeaderHeight(int32_t value);

  // Client and bar from the control's rectangle; puts the client back at the top.
  void LayoutClient();
  // Where the client starts when not scrolled.
  int32_t ClientHomeTop() const;
  // The area the client is seen through: inside the left and top border, below the header.
  TGfxRect ClientClip() const;

  // One step of 2 pixels (less when less remains): up until the client is back at its home,
  // down until its bottom meets the control's bottom.
  void ScrollUp();
  void ScrollDown();
  // Every content control one pixel right or left.
  void ShiftChildrenRight();
  void ShiftChildrenLeft();

  // Draws itself, then the client under the client clip, then the bar.
  void Update() override;
  void Moved() override { LayoutClient(); }
  void Resized() override { LayoutClient(); }
  bool ChildHitClip(const TVXCustomControl* child, TGfxRect& clip) const override;

protected:
  // Processes the client panel and what it carries (a list box leaves out rows it cannot see).
  virtual void ProcessClient();

private:
  TVXPanel* client_ = nullptr;
  TVXScrollBar* bar_ = nullptr;
  int32_t headerHeight_ = 0;
};

// A scroll control for any content: screens put their controls into its client panel and size
// the panel to them.
class TVXScrollBox : public TVXScrollControl {
public:
  using TVXScrollControl::TVXScrollControl;
  uint8_t ScrollFlags = 0;
};

// ---------------------------------------------------------------------------------------
// List box

class TVXListColumn {
public:
  std::string Caption;
  // Set by the dialogs on numeric columns: their texts and caption are drawn flush right.
  uint8_t AlignFlag = 0;
  int32_t Width = 100;
  TVXListBox* ListBox = nullptr;
};

// One row: its text, one text per further column, its index and the list box.
class TVXListBoxItem : public TVXPanel {
public:
  TVXListBoxItem(TVXComponent* owner, TVXListBox* listBox);
  // A row freed on its own leaves its list.
  ~TVXListBoxItem() override;

  std::vector<std::string> SubItems;
  std::string Text;
  int32_t Index = 0;
  TVXListBox* ListBox() const { return listBox_.Get(); }
  // The object the row stands for (a player, a record). Not owned; the list never reads it.
  void* Data = nullptr;

  // The row rectangle (selection colours, alpha 0 unless selected), then the texts.
  void Update() override;
  // A release selects the row.
  void MouseUp() override;
  using TVXPanel::MouseUp;

  // What a frame does to a row that cannot be seen: counters and effects, no drawing.
  void ProcessUnseen();

private:
  vx::WeakRef<TVXListBox> listBox_;
};

// The rows of a list box, in order. The list box owns the rows.
class TVXListBoxItems {
public:
  explicit TVXListBoxItems(TVXListBox* listBox) : listBox_(listBox) {}
  TVXListBoxItems(const TVXListBoxItems&) = delete;
  TVXListBoxItems& operator=(const TVXListBoxItems&) = delete;

  // A new row at the bottom.
  TVXListBoxItem* Add(const std::string& text);
  // Frees every row, last to first; the list scrolls back to the top and loses its selection.
  void Clear();
  int32_t Count() const { return static_cast<int32_t>(rows_.size()); }
  // nullptr outside 0..Count-1.
  TVXListBoxItem* GetItem(int32_t index) const;

private:
  friend class TVXListBox;
  friend class TVXListBoxItem;
  TVXListBox* listBox_;
  std::vector<TVXListBoxItem*> rows_;
};

class TVXListBox : public TVXScrollControl {
public:
  static constexpr uint32_t TextColor = 0xFF000005u;

  explicit TVXListBox(TVXComponent* owner);
  ~TVXListBox() override;

  TVXListBoxItems Items{this};

  int32_t ItemIndex() const { return itemIndex_; }
  // -1 clears the selection; values outside -1..Count-1 change nothing. Fires OnChange.
  void SetItemIndex(int32_t index);
  int32_t ItemHeight() const { return itemHeight_; }
  // Rows already there are laid out again at the new height.
  void SetItemHeight(int32_t height);
  // Kept for the list's users.
  int32_t Value = 0;

  TVXListColumn* AddColumn(const std::string& caption);
  int32_t ColumnCount() const { return static_cast<int32_t>(columns_.size()); }
  // nullptr outside 0..ColumnCount-1.
  TVXListColumn* GetColumn(int32_t index) const;

  bool ShowHeader() const { return showHeader_; }
  void SetShowHeader(bool value);
  int32_t ColumnHeaderHeight() const { return columnHeaderHeight_; }
  // Also sets the header height while the header is hidden.
  void SetColumnHeaderHeight(int32_t height);

  const TColor4& SelectionColor4() const { return selectionColor4_; }
  void SetSelectionColor4(const TColor4& colours);

  TVXNotifyEvent OnChange;

  void SetWidth(int32_t value) override;
  // The scroll control, then the column captions when the header shows.
  void Update() override;

protected:
  void ProcessClient() override;

private:
  friend class TVXListBoxItems;
  int32_t itemIndex_ = -1;
  int32_t itemHeight_ = 15;
  std::vector<std::unique_ptr<TVXListColumn>> columns_;
  bool showHeader_ = false;
  TColor4 selectionColor4_{};
  int32_t columnHeaderHeight_ = 25;
};

// ---------------------------------------------------------------------------------------
// Combo box

class TVXComboBox : public TVXEdit {
public:
  explicit TVXComboBox(TVXComponent* owner);

  TVXListBox* List() const { return list_; }
  TVXButton* DropButton() const { return dropButton_; }
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool value);
  // Opens the list and makes the combo box the main window's open control.
  void DropDown();
  // Hides the list; nothing happens when it is not open.
  void CloseUp();

  // The list's selection.
  int32_t ItemIndex() const;
  void SetItemIndex(int32_t index);
  void SetSelectionColor4(const TColor4& colours);
  int32_t ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int32_t height);
  // The colours go to the list too.
  void SetColor4(const TColor4& colours) override;

  TVXNotifyEvent OnChange;
  TVXNotifyEvent OnDropDown;
  TVXNotifyEvent OnCloseUp;

  // The drop button at the right end, the list below.
  void LayoutParts();
  void Moved() override { LayoutParts(); }
  void Resized() override { LayoutParts(); }

private:
  // The list's selection changed: the row's text becomes the text (a cleared selection keeps
  // the text), the list closes, OnChange.
  void Select();

  TVXButton* dropButton_ = nullptr;
  TVXListBox* list_ = nullptr;
  bool droppedDown_ = false;
  int32_t itemHeight_ = 20;
};

// ---------------------------------------------------------------------------------------
// Pages

class TVXTabSheet : public TVXPanel {
public:
  using TVXPanel::TVXPanel;
};

// Sheets with one tab button each. Only the active sheet is processed (and it only once per
// frame); tab buttons are processed after it, in order.
class TVXPageControl : public TVXControl {
public:
  explicit TVXPageControl(TVXComponent* owner);

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

  void Update() override;
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

// ---------------------------------------------------------------------------------------
// Progress bar

class TVXProgressBar : public TVXPanel {
public:
  explicit TVXProgressBar(TVXComponent* owner);

  int32_t Position() const { return position_; }
  void SetPosition(int32_t position);
  int32_t Min() const { return min_; }
  void SetMin(int32_t value);
  int32_t Max() const { return max_; }
  void SetMax(int32_t value);
  TColor4 BarColor4 = ::Color4(0xFFFF0000u);
  // 0..100; with Max = Min the previous value stays.
  int32_t Percent() const { return percent_; }
  // Pixels of the filled part.
  int32_t BarWidth() const { return barWidth_; }

  void Update() override;
  void Resized() override { Recalculate(); }

private:
  void Recalculate();

  int32_t position_ = 0;
  int32_t min_ = 1;
  int32_t max_ = 100;
  int32_t percent_ = 0;
  int32_t barWidth_ = 0;
};
