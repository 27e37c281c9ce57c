#include "framework/VXComboBox.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {
constexpr int32_t kComboListHeight = 200;

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

}  // namespace

TVXComboBox::TVXComboBox(TVXComponent* owner) : TVXEdit(owner) {
  SetAlpha(255);
  dropButton_ = new TVXButton(this);
  dropButton_->SetParent(this);
  dropButton_->OnClick = [this](TVXComponent*) { SetDroppedDown(!droppedDown_); };
  list_ = new TVXListBox(this);
  list_->SetParent(this);
  list_->TVXControl::SetVisible(false);
  list_->SetShowHeader(false);
  list_->OnChange = [this](TVXComponent*) { Select(); };
  LayoutParts();
}

void TVXComboBox::LayoutParts() {
  if (dropButton_ == nullptr || list_ == nullptr) return;
  dropButton_->SetTop(Top());
  dropButton_->SetLeft(Clamp32(int64_t{Left()} + Width() - Height()));
  dropButton_->SetWidth(Height());
  dropButton_->SetHeight(Height());
  list_->SetTop(Clamp32(int64_t{Top()} + Height()));
  list_->SetLeft(Left());
  list_->SetWidth(Width());
  list_->SetHeight(kComboListHeight);
}

void TVXComboBox::SetDroppedDown(bool value) {
  if (value) {
    DropDown();
  } else {
    CloseUp();
  }
}

void TVXComboBox::DropDown() {
  list_->SetVisible(true);
  droppedDown_ = true;
  Host().SetOpenControl(this);
  if (OnDropDown) OnDropDown(this);
}

void TVXComboBox::CloseUp() {
  // Every close-up is told, also one of a list that was not open.
  list_->SetVisible(false);
  droppedDown_ = false;
  if (OnCloseUp) OnCloseUp(this);
}

int32_t TVXComboBox::ItemIndex() const { return list_->ItemIndex(); }

void TVXComboBox::SetItemIndex(int32_t index) { list_->SetItemIndex(index); }

void TVXComboBox::SetSelectionColor4(const TColor4& colours) { list_->SetSelectionColor4(colours); }

void TVXComboBox::SetItemHeight(int32_t height) {
  itemHeight_ = height;
  list_->SetItemHeight(height);
}

void TVXComboBox::SetColor4(const TColor4& colours) {
  TVXEdit::SetColor4(colours);
  if (list_ != nullptr) list_->SetColor4(colours);
}

void TVXComboBox::Select() {
  if (TVXListBoxItem* row = list_->Items.GetItem(list_->ItemIndex())) SetText(row->Text);
  CloseUp();
  if (OnChange) OnChange(this);
}

const TVXThemeClass& TVXComboBox::StaticThemeClass() {
  using K = TVXThemeKind;
  using C = TVXComboBox;
  static const TVXThemeClass info =
      TVXThemeClassBuilder<C, TVXEdit>("TVXComboBox")
          .Key("SelectionColor4", K::FourPart,
               [](const C& c) { return c.List() != nullptr ? c.List()->SelectionColor4() : TColor4{}; },
               &C::SetSelectionColor4)
          .Key("ItemHeight", K::Size, &C::ItemHeight, &C::SetItemHeight)
          // The list is themed as a list box; the drop button takes the shared arrow picture.
          .Parts([](C& combo) {
            std::vector<TVXControl*> parts;
            if (TVXListBox* list = combo.List()) parts.push_back(list);
            if (TVXButton* drop = combo.DropButton()) {
              drop->TextureInfo.SetFolder("COMMON");
              drop->TextureInfo.SetName("BTN_SCROLLDOWN");
              parts.push_back(drop);
            }
            return parts;
          });
  return info;
}
