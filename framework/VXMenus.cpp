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
  for (int32_t i = 0; i < ChildCount(); ++i) {
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
  TVXButton::MouseLeave();
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
  OpenLevel = 1;
  IsOpen = true;
  ShowChildren(true);
  Host().SetOpenControl(this);
  Host().PlaySound("SND_MENU");
  if (OnPopup) OnPopup(this);
}

void TVXMenu::Close() {
  OpenLevel = 0;
  IsOpen = false;
  for (int32_t i = 0; i < ChildCount(); ++i) {
    if (TVXCustomControl* child = GetChild(i)) child->SetVisible(false);
  }
  TVXMenuItem::MouseLeave();
}

void TVXMenu::MouseEnter() {
  auto* open = dynamic_cast<TVXMenu*>(Host().OpenControl());
  if (open != nullptr && open->Group == Group) Popup();
  TVXMenuItem::MouseEnter();
}

void TVXMenu::MouseLeave() {
  if (OpenLevel == 0) TVXMenuItem::MouseLeave();
}

void TVXMenu::MouseUp() {
  Popup();
  TVXMenuItem::MouseUp();
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

const TVXThemeClass& TVXMenuItem::StaticThemeClass() {
  using K = TVXThemeKind;
  static const TVXThemeClass info =
      TVXThemeClassBuilder<TVXMenuItem, TVXButton>("TVXMenuItem")
          .Key("TopRelativeToMenu", K::Integer, &TVXMenuItem::TopRelativeToMenu, &TVXMenuItem::SetTopRelativeToMenu)
          .Key("LeftRelativeToMenu", K::Integer, &TVXMenuItem::LeftRelativeToMenu, &TVXMenuItem::SetLeftRelativeToMenu);
  return info;
}
