#include "framework/VXListBox.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {
constexpr int32_t kEffectText = 5;
constexpr uint32_t kRollOverTextColor = 255;

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

TGfxFont* GfxFontOf(const TVXFont& font) {
  TVXEngineFont* f = font.EngineFont();
  return f != nullptr ? f->Font : nullptr;
}

// A column with its alignment flag set shows its texts flush right, a few pixels short of the
// next column; the others start at the column's left edge.
constexpr int32_t kRightAlignedGap = 8;
int64_t ColumnTextOffset(const TVXListColumn& column, const TGfxFont& font, const std::string& text) {
  if (column.AlignFlag == 0) return 0;
  return std::max<int64_t>(0, int64_t{column.Width} - font.TextWidth(text) - kRightAlignedGap);
}

bool Meets(const TVXCustomControl& c, const TGfxRect& r) {
  return int64_t{c.Left()} + c.Width() > r.Left && c.Left() < r.Right && int64_t{c.Top()} + c.Height() > r.Top &&
         c.Top() < r.Bottom;
}
}  // namespace

TVXListBoxItem::TVXListBoxItem(TVXComponent* owner, TVXListBox* listBox) : TVXPanel(owner), listBox_(listBox) {}

TVXListBoxItem::~TVXListBoxItem() {
  EndLife();
  if (TVXListBox* list = listBox_.Get()) {
    auto& rows = list->Items.rows_;
    rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
  }
}

void TVXListBoxItem::Step() {
  TVXPanel::Step();
  if (UpdateHalted()) return;
  Font.SetColor(TVXListBox::TextColor);
}

void TVXListBoxItem::Draw() {
  TVXPanel::Draw();
  TGfxFont* font = GfxFontOf(Font);
  if (font == nullptr) return;
  const uint32_t colour = Font.Color();
  const int32_t x = Clamp32(int64_t{Left()} + 1);
  const int32_t y = Clamp32(int64_t{Top()} + 1);
  font->TextOut(Text, x, y, colour, kEffectText);
  TVXListBox* list = listBox_.Get();
  if (list == nullptr) return;
  int64_t columnX = x;
  for (size_t k = 0; k < SubItems.size(); ++k) {
    // Sub-item k stands in column k + 1; one without a column is not shown.
    if (static_cast<int32_t>(k) + 1 >= list->ColumnCount()) break;
    columnX += list->GetColumn(static_cast<int32_t>(k))->Width;
    const TVXListColumn* column = list->GetColumn(static_cast<int32_t>(k) + 1);
    font->TextOut(SubItems[k], Clamp32(columnX + ColumnTextOffset(*column, *font, SubItems[k])), y, colour,
                  kEffectText);
  }
}

void TVXListBoxItem::MouseUp() {
  TVXPanel::MouseUp();
  TVXListBox* list = listBox_.Get();
  if (list != nullptr && list->Interactive) list->SetItemIndex(Index);
}

void TVXListBoxItem::ProcessUnseen() {
  if (AutoHideFrames > -1) {
    --AutoHideFrames;
    if (AutoHideFrames == 0) {
      SetVisible(false);
      AutoHideFrames = -1;
    }
  }
  if (Blinking()) {
    BlinkCounter = vx::CheckedAdd(BlinkCounter, 1);
    if (BlinkCounter >= BlinkPeriod) {
      BlinkCounter = 0;
      BlinkHidden = !BlinkHidden;
    }
  }
  if ((!Visible() || BlinkHidden) && !InTransition) return;
  // Only a running effect has anything to step.
  const TVXEffects& r = RunningEffect;
  const bool running = r.ColorState.Phase != epOff || r.TextColorState.Phase != epOff ||
                       r.AlphaState.Phase != epOff || r.ScrollState.Phase != epOff || r.GrowState.Phase != epOff;
  if (!NoRender && running) Animate();
}

// ---------------------------------------------------------------------------------------
// TVXListBoxItems

TVXListBoxItem* TVXListBoxItems::Add(const std::string& text) {
  TVXListBox* lb = listBox_;
  TVXPanel* client = lb->Client();
  auto* row = new TVXListBoxItem(lb, lb);
  row->Text = text;
  row->SetParent(client);
  row->SetLeft(Clamp32(int64_t{client->Left()} + 1));
  row->SetTop(Clamp32(int64_t{Count()} * lb->ItemHeight() + client->Top() + 1));
  row->SetWidth(client->Width());
  row->SetHeight(lb->ItemHeight());
  row->SetColor4(lb->SelectionColor4());
  row->Font.SetName(lb->Font.Name());
  row->Font.SetColor(lb->Font.Color());
  row->SetAlpha(0);
  TVXEffects& rollOver = row->Effects[efRollOver];
  rollOver.TextColorEnabled = true;
  rollOver.TextColor = kRollOverTextColor;
  client->SetHeight(Clamp32(int64_t{client->Height()} + lb->ItemHeight()));
  rows_.push_back(row);
  row->Index = Count() - 1;
  row->SetName("ITEM_" + lb->Name() + "_" + std::to_string(row->Index));
  return row;
}

void TVXListBoxItems::Clear() {
  while (!rows_.empty()) {
    TVXListBoxItem* row = rows_.back();
    rows_.pop_back();
    row->Free();
  }
  // Nothing left to scroll or select.
  TVXListBox* lb = listBox_;
  lb->Client()->SetHeight(0);
  lb->Client()->SetTop(lb->ClientHomeTop());
  lb->itemIndex_ = -1;
}

TVXListBoxItem* TVXListBoxItems::GetItem(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return rows_[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------
// TVXListBox

TVXListBox::TVXListBox(TVXComponent* owner) : TVXScrollControl(owner) {
  SetColor(0xFFFFFFu);
  AddColumn("");
  // Rows are processed by the list itself, which leaves out those it cannot see.
  Client()->ProcessChildren = false;
}

TVXListBox::~TVXListBox() {
  EndLife();
  // The rows are freed with the other owned controls; the list only forgets them.
  Items.rows_.clear();
}

void TVXListBox::SetItemIndex(int32_t index) {
  if (index < -1 || index > Items.Count() - 1) return;
  itemIndex_ = index;
  for (TVXListBoxItem* row : Items.rows_) row->SetAlpha(0);
  if (TVXListBoxItem* row = Items.GetItem(index)) row->SetAlpha(255);
  if (OnChange) OnChange(this);
}

void TVXListBox::SetItemHeight(int32_t height) {
  itemHeight_ = vx::ClampCoordinate(height);
  TVXPanel* client = Client();
  for (int32_t i = 0; i < Items.Count(); ++i) {
    TVXListBoxItem* row = Items.rows_[static_cast<size_t>(i)];
    row->SetTop(Clamp32(int64_t{i} * itemHeight_ + client->Top() + 1));
    row->SetHeight(itemHeight_);
  }
  if (Items.Count() > 0) client->SetHeight(Clamp32(int64_t{Items.Count()} * itemHeight_));
}

TVXListColumn* TVXListBox::AddColumn(const std::string& caption) {
  auto column = std::make_unique<TVXListColumn>();
  column->Caption = caption;
  column->ListBox = this;
  columns_.push_back(std::move(column));
  for (TVXListBoxItem* row : Items.rows_) row->SubItems.emplace_back();
  return columns_.back().get();
}

TVXListColumn* TVXListBox::GetColumn(int32_t index) const {
  if (index < 0 || index >= ColumnCount()) return nullptr;
  return columns_[static_cast<size_t>(index)].get();
}

void TVXListBox::SetShowHeader(bool value) {
  showHeader_ = value;
  SetHeaderHeight(value ? columnHeaderHeight_ : 0);
}

void TVXListBox::SetColumnHeaderHeight(int32_t height) {
  columnHeaderHeight_ = vx::ClampCoordinate(height);
  SetHeaderHeight(columnHeaderHeight_);
}

void TVXListBox::SetSelectionColor4(const TColor4& colours) {
  selectionColor4_ = colours;
  for (TVXListBoxItem* row : Items.rows_) row->SetColor4(colours);
}

void TVXListBox::SetWidth(int32_t value) {
  TVXScrollControl::SetWidth(value);
  for (TVXListBoxItem* row : Items.rows_) row->SetWidth(Client()->Width());
}

void TVXListBox::ProcessClient() {
  TVXPanel* client = Client();
  client->Process();
  if (!client->Visible()) return;
  const TGfxRect seen = ClientClip();
  // By index, re-reading the count: a handler may change the rows while the list is processed.
  // The usual client holds nothing but the rows, in their order.
  const bool rowsOnly = client->ChildCount() == Items.Count();
  for (int32_t i = 0; i < client->ChildCount(); ++i) {
    TVXCustomControl* child = client->GetChild(i);
    TVXListBoxItem* row = rowsOnly && i < Items.Count() && Items.rows_[static_cast<size_t>(i)] == child
                              ? Items.rows_[static_cast<size_t>(i)]
                              : dynamic_cast<TVXListBoxItem*>(child);
    if (row != nullptr && !Meets(*row, seen)) {
      row->ProcessUnseen();
    } else {
      child->Process();
    }
  }
}

void TVXListBox::Draw() {
  TVXScrollControl::Draw();
  if (!showHeader_) return;
  TGfxFont* font = GfxFontOf(Font);
  if (font == nullptr) return;
  int64_t x = int64_t{Left()} + 1;
  const int32_t y = Clamp32(int64_t{Top()} + 1);
  for (const auto& column : columns_) {
    font->TextOut(column->Caption, Clamp32(x + ColumnTextOffset(*column, *font, column->Caption)), y, TextColor,
                  kEffectText);
    x += column->Width;
  }
}

const TVXThemeClass& TVXListBox::StaticThemeClass() {
  using K = TVXThemeKind;
  using L = TVXListBox;
  static const TVXThemeClass info =
      TVXThemeClassBuilder<L, TVXScrollControl>("TVXListBox")
          .Keys(TextThemeKeys())
          .Key("SelectionColor4", K::FourPart, &L::SelectionColor4, &L::SetSelectionColor4)
          .Key("ColumnHeaderHeight", K::Size, &L::ColumnHeaderHeight, &L::SetColumnHeaderHeight)
          .Key("ItemHeight", K::Size, &L::ItemHeight, &L::SetItemHeight)
          // The scroll buttons take the shared arrow pictures.
          .Parts([](L& list) {
            std::vector<TVXControl*> parts;
            if (TVXScrollBar* bar = list.ScrollBar()) {
              if (TVXButton* up = bar->UpButton()) {
                up->TextureInfo.SetFolder("COMMON");
                up->TextureInfo.SetName("BTN_SCROLLUP");
                parts.push_back(up);
              }
              if (TVXButton* down = bar->DownButton()) {
                down->TextureInfo.SetFolder("COMMON");
                down->TextureInfo.SetName("BTN_SCROLLDOWN");
                parts.push_back(down);
              }
            }
            return parts;
          });
  return info;
}
