#pragma once
// The list box: rows and columns in a scroll control.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXScrollControl.h"

class TVXListBox;

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

  // The texts take the list's text colour (not in a halted frame).
  void Step() override;
  // The row rectangle (selection colours, alpha 0 unless selected), then the texts.
  void Draw() override;
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
  VX_THEMED
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
  void Draw() override;

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
