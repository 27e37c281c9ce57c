#pragma once
// The combo box: an entry over a drop-down list box.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXListBox.h"

class TVXComboBox : public TVXEdit {
public:
  explicit TVXComboBox(TVXComponent* owner);
  VX_THEMED

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
