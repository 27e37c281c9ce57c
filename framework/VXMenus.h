#pragma once
// Drop-down menus drawn by the toolkit: a menu is a button that opens its items on a click
// (or, across a menu bar of one group, on hover); items are buttons that fade in below it.
#include <cstdint>
#include <string>

#include "framework/VXWidgets.h"

class TVXMenu;

class TVXMenuItem : public TVXButton {
public:
  explicit TVXMenuItem(TVXComponent* owner);
  VX_THEMED

  // The menu at the top of the tree (a menu is its own root; an item not yet added has none).
  TVXMenuItem* Root() const { return root_.Get(); }
  // 0 for a menu, the adding item's level + 1 for an item.
  int32_t Level = 0;
  bool IsItem = true;
  // Kept on the root: how deep the menu is open, its group, whether it is open.
  int32_t OpenLevel = 0;
  TVXNotifyEvent OnPopup;
  int32_t Group = 0;
  bool IsOpen = false;

  // Makes the item a child of this one, below it in level, with the same root and the menu
  // font. Adding an item to itself is refused and logged.
  void Add(TVXMenuItem* item);
  // Each child is shown when the root is open deep enough, when forced, or while this item is
  // hovered; hidden otherwise.
  void ShowChildren(bool force);

  // Offsets from the menu the item was added to (theme keys); setting one places the item.
  int32_t TopRelativeToMenu() const;
  void SetTopRelativeToMenu(int32_t offset);
  int32_t LeftRelativeToMenu() const;
  void SetLeftRelativeToMenu(int32_t offset);

  // Opens the root one level below this item.
  void Popup() override;
  void MouseLeave() override;

protected:
  vx::WeakRef<TVXMenuItem> root_;
};

class TVXMenu : public TVXMenuItem {
public:
  explicit TVXMenu(TVXComponent* owner);

  // Opens the first level, becomes the main window's open control (which closes any other),
  // plays "SND_MENU" and fires OnPopup.
  void Popup() override;
  // Closed: every item hidden, the hover look dropped.
  void Close();

  // Hovering a menu while another menu of its group is open opens this one.
  void MouseEnter() override;
  // An open menu keeps its hover look.
  void MouseLeave() override;
  void MouseUp() override;
  using TVXMenuItem::MouseUp;
};

namespace vx {
// Closes what the main window holds open: a menu's items or a combo box's list. Other
// controls are left alone. The main window calls it when the open control changes.
void CloseDropDown(TVXCustomControl* control);
}  // namespace vx
