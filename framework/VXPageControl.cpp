#include "framework/VXPageControl.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

}  // namespace

TVXPageControl::TVXPageControl(TVXComponent* owner) : TVXControl(owner) {
  // Sheets and tabs are processed by Draw, once each.
  ProcessChildren = false;
  Font.OnColorChange = [this](TVXFont*) { CopyFontToTabs(); };
}

void TVXPageControl::AddPage(TVXTabSheet* sheet, TVXTabSheetButton* tab) {
  if (sheet == nullptr || tab == nullptr) return;
  if (sheet->Parent() == nullptr) sheet->SetParent(this);
  if (tab->Parent() == nullptr) tab->SetParent(this);
  sheets_.emplace_back(sheet);
  tabs_.emplace_back(tab);
  if (!tab->OnClick) {
    vx::WeakRef<TVXPageControl> self(this);
    vx::WeakRef<TVXTabSheet> page(sheet);
    tab->OnClick = [self, page](TVXComponent*) {
      if (TVXPageControl* pc = self.Get()) {
        if (TVXTabSheet* s = page.Get()) pc->SetActivePage(s);
      }
    };
  }
  if (sheet != active_.Get()) sheet->SetVisible(false);
  tab->Font.SetName(Font.Name());
  tab->Font.SetColor(Font.Color());
  Resized();
}

TVXTabSheet* TVXPageControl::GetSheet(int32_t index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return sheets_[static_cast<size_t>(index)].Get();
}

TVXTabSheetButton* TVXPageControl::GetTabButton(int32_t index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return tabs_[static_cast<size_t>(index)].Get();
}

void TVXPageControl::SetActivePage(TVXTabSheet* sheet) {
  if (sheet == active_.Get()) return;
  for (auto& s : sheets_) {
    if (TVXTabSheet* p = s.Get()) p->SetVisible(false);
  }
  active_ = sheet;
  activePageIndex_ = -1;
  if (sheet != nullptr) {
    sheet->SetVisible(true);
    for (size_t i = 0; i < sheets_.size(); ++i) {
      if (sheets_[i].Is(sheet)) {
        activePageIndex_ = static_cast<int32_t>(i);
        break;
      }
    }
  }
  if (OnChange) OnChange(this);
}

void TVXPageControl::SetTabWidth(int32_t value) {
  tabWidth_ = value;
  Resized();
}

void TVXPageControl::SetTabHeight(int32_t value) {
  tabHeight_ = value;
  Resized();
}

void TVXPageControl::CopyFontToTabs() {
  copiedFontName_ = Font.Name();
  for (auto& t : tabs_) {
    if (TVXTabSheetButton* tab = t.Get()) {
      tab->Font.SetName(Font.Name());
      tab->Font.SetColor(Font.Color());
    }
  }
}

void TVXPageControl::Resized() {
  for (size_t i = 0; i < sheets_.size(); ++i) {
    if (TVXTabSheet* sheet = sheets_[i].Get()) {
      sheet->SetTop(Clamp32(int64_t{Top()} + tabHeight_));
      sheet->SetLeft(Left());
      sheet->SetWidth(Width());
      sheet->SetHeight(Clamp32(int64_t{Height()} - tabHeight_));
    }
    if (TVXTabSheetButton* tab = tabs_[i].Get()) {
      tab->SetTop(Top());
      tab->SetLeft(Clamp32(int64_t{Left()} + int64_t{tabWidth_} * static_cast<int64_t>(i)));
      tab->SetWidth(tabWidth_);
    }
  }
}

void TVXPageControl::Step() {
  TVXControl::Step();
  if (UpdateHalted()) return;
  // A font name set on its own raises no event: it reaches the tabs by the next frame.
  if (Font.Name() != copiedFontName_) CopyFontToTabs();
}

void TVXPageControl::Draw() {
  TVXControl::Draw();
  // By index, re-reading the lists: a tab's handler may change them.
  for (size_t i = 0; i < sheets_.size(); ++i) {
    TVXTabSheet* sheet = sheets_[i].Get();
    if (sheet != nullptr && active_.Is(sheet)) sheet->Process();
    if (i >= tabs_.size()) break;
    if (TVXTabSheetButton* tab = tabs_[i].Get()) tab->Process();
  }
  // Any other child is processed as the tree walk would.
  for (int32_t i = 0; i < ChildCount(); ++i) {
    TVXCustomControl* child = GetChild(i);
    const bool listed =
        std::any_of(sheets_.begin(), sheets_.end(), [&](const auto& s) { return s.Is(child); }) ||
        std::any_of(tabs_.begin(), tabs_.end(), [&](const auto& t) { return t.Is(child); });
    if (!listed) child->Process();
  }
}

const TVXThemeClass& TVXPageControl::StaticThemeClass() {
  // The sheets take their pictures from the page control's folder.
  static const TVXThemeClass info =
      TVXThemeClassBuilder<TVXPageControl, TVXControl>("TVXPageControl").Parts([](TVXPageControl& pages) {
        std::vector<TVXControl*> parts;
        for (int32_t i = 0; i < pages.PageCount(); ++i) {
          if (TVXTabSheet* sheet = pages.GetSheet(i)) {
            sheet->TextureInfo.SetFolder(pages.TextureInfo.Folder());
            parts.push_back(sheet);
          }
        }
        return parts;
      });
  return info;
}
