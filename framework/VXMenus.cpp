#include "framework/VXMenus.h"

#include "core/Log.h"
#include "framework/VXComboBox.h"

namespace {
int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }
}  // namespace

// ---------------------------------------------------------------------------------------
// TVXMenuItem

TVXMenuItem::TVXMenuItem(TVXComponent* owner) : TVXButton(owner) {
  SetFadeIn(true);
  SetFadeOut(false);
  TVXButton::SetVisible(false);
  IsItem = true;
}

void TVXMenuItem::Add(TVXMenuItem* item) {
  if (item == nullptr) return;
  if (item == this) {
    Log("ERROR: Menuitem: Cannot add itself ! " + Name());
    return;
  }
  item->SetParent(this);
  if (item->Parent() != this) return;  // refused: it would have become its own ancestor
  item->root_ = root_;
  item->Level = Level + 1;
  item->Font.SetName("ArialBlack");
}

void TVXMenuItem::ShowChildren(bool force) {
  TVXMenuItem* root = root_.Get();
  const bool open = root != nullptr && int64_t{Level} + 1 <= root->OpenLevel;
  const bool show = open || force || Hovered();
  vx::WeakRef<TVXMenuItem> self(this);
  for (int32_t i = 0; self && i < ChildCount(); ++i) {
    if (TVXCustomControl* child = GetChild(i)) child->SetVisible(show);
  }
}

int32_t TVXMenuItem::TopRelativeToMenu() const {
  return Parent() != nullptr ? Clamp32(int64_t{Top()} - Parent()->Top()) : Top();
}

void TVXMenuItem::SetTopRelativeToMenu(int32_t offset) {
  SetTop(Clamp32(int64_t{Parent() != nullptr ? Parent()->Top() : 0} + offset));
}

int32_t TVXMenuItem::LeftRelativeToMenu() const {
  return Parent() != nullptr ? Clamp32(int64_t{Left()} - Parent()->Left()) : Left();
}

void TVXMenuItem::SetLeftRelativeToMenu(int32_t offset) {
  SetLeft(Clamp32(int64_t{Parent() != nullptr ? Parent()->Left() : 0} + offset));
}

void TVXMenuItem::Popup() {
  if (TVXMenuItem* root = root_.Get()) {
    root->IsOpen = true;
    root->OpenLevel = Clamp32(int64_t{Level} + 1);
  }
  ShowChildren(false);
}

void TVXMenuItem::MouseLeave() {
  vx::WeakRef<TVXMenuItem> self(this);
  TVXButton::MouseLeave();
  if (!self) return;
  if (TVXMenuItem* root = root_.Get()) root->IsOpen = false;
}

// ---------------------------------------------------------------------------------------
// TVXMenu

TVXMenu::TVXMenu(TVXComponent* owner) : TVXMenuItem(owner) {
  OpenLevel = 0;
  root_ = this;
  Group = 0;
  Level = 0;
  IsItem = false;
  SetFadeIn(false);
  SetFadeOut(false);
  TVXMenuItem::SetVisible(true);
  IsOpen = false;
}

void TVXMenu::Popup() {
  vx::WeakRef<TVXMenu> self(this);
  OpenLevel = 1;
  IsOpen = true;
  ShowChildren(true);
  if (!self) return;
  Host().SetOpenControl(this);
  if (!self) return;
  Host().PlaySound("SND_MENU");
  if (self && OnPopup) OnPopup(this);
}

void TVXMenu::Close() {
  vx::WeakRef<TVXMenu> self(this);
  OpenLevel = 0;
  IsOpen = false;
  for (int32_t i = 0; self && i < ChildCount(); ++i) {
    if (TVXCustomControl* child = GetChild(i)) child->SetVisible(false);
  }
  if (self) TVXMenuItem::MouseLeave();
}

void TVXMenu::MouseEnter() {
  vx::WeakRef<TVXMenu> self(this);
  auto* open = dynamic_cast<TVXMenu*>(Host().OpenControl());
  if (open != nullptr && open->Group == Group) {
    Popup();
    if (!self) return;
  }
  TVXMenuItem::MouseEnter();
}

void TVXMenu::MouseLeave() {
  if (OpenLevel == 0) TVXMenuItem::MouseLeave();
}

void TVXMenu::MouseUp() {
  vx::WeakRef<TVXMenu> self(this);
  Popup();
  if (self) TVXMenuItem::MouseUp();
}

// ---------------------------------------------------------------------------------------

namespace vx {
void CloseDropDown(TVXCustomControl* control) {
  if (auto* menu = dynamic_cast<TVXMenu*>(control)) {
    menu->Close();
  } else if (auto* combo = dynamic_cast<TVXComboBox*>(control)) {
    combo->CloseUp();
  }
}
}  // namespace vx
