#include "framework/VXLists.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {
constexpr int32_t kEffectText = 5;
constexpr int32_t kEffectBar = 4;
constexpr int32_t kComboListHeight = 200;
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

// ---------------------------------------------------------------------------------------
// TVXScrollBar

TVXScrollBar::TVXScrollBar(TVXComponent* owner, TVXScrollControl* control)
    : TVXControl(owner), control_(control) {
  up_ = new TVXButton(this);
  up_->SetParent(this);
  down_ = new TVXButton(this);
  down_->SetParent(this);
  LayoutButtons();
}

void TVXScrollBar::LayoutButtons() {
  if (up_ == nullptr || down_ == nullptr) return;
  for (TVXButton* b : {up_, down_}) {
    b->SetWidth(Width());
    b->SetHeight(Width());
    b->SetLeft(Left());
  }
  up_->SetTop(Top());
  down_->SetTop(Clamp32(int64_t{Top()} + Height() - down_->Height()));
}

void TVXScrollBar::Update() {
  vx::WeakRef<TVXScrollBar> self(this);
  TVXControl::Update();
  if (!self || UpdateHalted() || control_ == nullptr) return;
  if (up_->PressedLeft()) control_->ScrollUp();
  if (self && down_->PressedLeft()) control_->ScrollDown();
}

// ---------------------------------------------------------------------------------------
// TVXScrollControl

TVXScrollControl::TVXScrollControl(TVXComponent* owner) : TVXPanel(owner) {
  ProcessChildren = false;  // the client and the bar are processed by Update
  Border = true;
  SetBorderColor4(::Color4(0x000000FFu));
  client_ = new TVXPanel(this);
  client_->SetParent(this);
  client_->Enabled = false;
  client_->SetAlpha(0);
  bar_ = new TVXScrollBar(this, this);
  bar_->SetParent(this);
  bar_->SetWidth(BarWidth);
  LayoutClient();
}

void TVXScrollControl::SetHeaderHeight(int32_t value) {
  headerHeight_ = vx::ClampCoordinate(value);
  LayoutClient();
}

int32_t TVXScrollControl::ClientHomeTop() const { return Clamp32(int64_t{Top()} + 1 + headerHeight_); }

void TVXScrollControl::LayoutClient() {
  if (client_ == nullptr || bar_ == nullptr) return;
  client_->SetLeft(Clamp32(int64_t{Left()} + 1));
  client_->SetTop(ClientHomeTop());
  client_->SetWidth(Clamp32(int64_t{Width()} - (int64_t{bar_->Width()} + 3)));
  bar_->SetLeft(Clamp32(int64_t{Left()} + client_->Width() + 2));
  bar_->SetTop(Clamp32(int64_t{Top()} + 2 + headerHeight_));
  bar_->SetHeight(Clamp32(int64_t{Height()} - (int64_t{headerHeight_} + 2)));
  bar_->SetWidth(BarWidth);
}

TGfxRect TVXScrollControl::ClientClip() const {
  // From inside the left and top border, below the header, Width - 2 wide and
  // Height - HeaderHeight high.
  TGfxRect r;
  r.Left = Clamp32(int64_t{Left()} + 1);
  r.Top = ClientHomeTop();
  r.Right = std::max(r.Left, Clamp32(int64_t{r.Left} + Width() - 2));
  r.Bottom = std::max(r.Top, Clamp32(int64_t{r.Top} + Height() - headerHeight_));
  return r;
}

// Whole steps: the client may come down to 30 pixels below the control's top, and goes up
// while its bottom lies below the control's.
void TVXScrollControl::ScrollUp() {
  if (client_->Top() < int64_t{Top()} + ScrollUpLimit) client_->SetTop(Clamp32(int64_t{client_->Top()} + ScrollStepPixels));
}

void TVXScrollControl::ScrollDown() {
  if (int64_t{client_->Top()} + client_->Height() > int64_t{Top()} + Height())
    client_->SetTop(Clamp32(int64_t{client_->Top()} - ScrollStepPixels));
}

void TVXScrollControl::ShiftChildrenRight() {
  for (int32_t i = 0; i < client_->ChildCount(); ++i) {
    if (TVXCustomControl* c = client_->GetChild(i)) c->SetLeft(Clamp32(int64_t{c->Left()} + 1));
  }
}

void TVXScrollControl::ShiftChildrenLeft() {
  for (int32_t i = 0; i < client_->ChildCount(); ++i) {
    if (TVXCustomControl* c = client_->GetChild(i)) c->SetLeft(Clamp32(int64_t{c->Left()} - 1));
  }
}

bool TVXScrollControl::ChildHitClip(const TVXCustomControl* child, TGfxRect& clip) const {
  if (child != client_) return false;
  clip = ClientClip();
  return true;
}

void TVXScrollControl::ProcessClient() { client_->Process(); }

void TVXScrollControl::Update() {
  vx::WeakRef<TVXScrollControl> self(this);
  TVXPanel::Update();
  if (!self || UpdateHalted()) return;
  {
    // Every control inside draws within the client area, and returns to it when its own clip
    // ends.
    vx::ScopedEnclosingClip clip(ClientClip());
    ProcessClient();
  }
  if (!self) return;
  bar_->Process();
}

// ---------------------------------------------------------------------------------------
// TVXListBoxItem

TVXListBoxItem::TVXListBoxItem(TVXComponent* owner, TVXListBox* listBox) : TVXPanel(owner), listBox_(listBox) {}

TVXListBoxItem::~TVXListBoxItem() {
  EndLife();
  if (TVXListBox* list = listBox_.Get()) {
    auto& rows = list->Items.rows_;
    rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
  }
}

void TVXListBoxItem::Update() {
  vx::WeakRef<TVXListBoxItem> self(this);
  TVXPanel::Update();
  if (!self || UpdateHalted()) return;
  Font.SetColor(TVXListBox::TextColor);
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
  vx::WeakRef<TVXListBoxItem> self(this);
  TVXPanel::MouseUp();
  if (!self) return;
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
    delete row;
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
  vx::WeakRef<TVXListBox> self(this);
  client->Process();
  if (!self || !client->Visible()) return;
  const TGfxRect seen = ClientClip();
  // By index, re-reading the count: a handler may change the rows while the list is processed.
  // The usual client holds nothing but the rows, in their order.
  const bool rowsOnly = client->ChildCount() == Items.Count();
  for (int32_t i = 0; self && i < client->ChildCount(); ++i) {
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

void TVXListBox::Update() {
  vx::WeakRef<TVXListBox> self(this);
  TVXScrollControl::Update();
  if (!self || UpdateHalted() || !showHeader_) return;
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

// ---------------------------------------------------------------------------------------
// TVXComboBox

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
  vx::WeakRef<TVXComboBox> self(this);
  list_->SetVisible(true);
  droppedDown_ = true;
  vx::ToolkitHost().SetOpenControl(this);
  if (self && OnDropDown) OnDropDown(this);
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
  vx::WeakRef<TVXComboBox> self(this);
  if (TVXListBoxItem* row = list_->Items.GetItem(list_->ItemIndex())) SetText(row->Text);
  CloseUp();
  if (self && OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------
// TVXPageControl

TVXPageControl::TVXPageControl(TVXComponent* owner) : TVXControl(owner) {
  // Sheets and tabs are processed by Update, once each.
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

void TVXPageControl::Update() {
  vx::WeakRef<TVXPageControl> self(this);
  TVXControl::Update();
  if (!self || UpdateHalted()) return;
  // A font name set on its own raises no event: it reaches the tabs by the next frame.
  if (Font.Name() != copiedFontName_) CopyFontToTabs();
  // By index, re-reading the lists: a tab's handler may change them.
  for (size_t i = 0; self && i < sheets_.size(); ++i) {
    TVXTabSheet* sheet = sheets_[i].Get();
    if (sheet != nullptr && active_.Is(sheet)) sheet->Process();
    if (!self || i >= tabs_.size()) break;
    if (TVXTabSheetButton* tab = tabs_[i].Get()) tab->Process();
  }
  // Any other child is processed as the tree walk would.
  for (int32_t i = 0; self && i < ChildCount(); ++i) {
    TVXCustomControl* child = GetChild(i);
    const bool listed =
        std::any_of(sheets_.begin(), sheets_.end(), [&](const auto& s) { return s.Is(child); }) ||
        std::any_of(tabs_.begin(), tabs_.end(), [&](const auto& t) { return t.Is(child); });
    if (!listed) child->Process();
  }
}

// ---------------------------------------------------------------------------------------
// TVXProgressBar

TVXProgressBar::TVXProgressBar(TVXComponent* owner) : TVXPanel(owner) {}

void TVXProgressBar::SetPosition(int32_t position) {
  position_ = position;
  Recalculate();
}

void TVXProgressBar::SetMin(int32_t value) {
  min_ = value;
  Recalculate();
}

void TVXProgressBar::SetMax(int32_t value) {
  max_ = value;
  Recalculate();
}

void TVXProgressBar::Recalculate() {
  const int64_t range = int64_t{max_} - min_;
  if (range != 0) percent_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{position_} * 100 / range, 0, 100));
  barWidth_ = static_cast<int32_t>(std::max<int64_t>(0, (int64_t{Width()} - 2) * percent_ / 100));
}

void TVXProgressBar::Update() {
  vx::WeakRef<TVXProgressBar> self(this);
  TVXPanel::Update();
  if (!self || UpdateHalted()) return;
  if (TGfxDevice* device = vx::ToolkitHost().Device()) {
    device->FillRect(GfxBounds(Clamp32(int64_t{Left()} + 1), Clamp32(int64_t{Top()} + 1), barWidth_,
                               Clamp32(int64_t{Height()} - 2)),
                     BarColor4, kEffectBar);
  }
}
