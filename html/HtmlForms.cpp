#include "html/HtmlForms.h"

#include <algorithm>

#include "core/StrUtils.h"
#include "html/HtmlPictures.h"
#include "platform/KeyMap.h"

namespace {

constexpr int kScrollBar = 16;
constexpr int kMaxLines = 10000;  // a submission never runs away

// Controls take the page's font name at size 10, plain.
std::shared_ptr<const vx::TextFont> ControlFont(TSectionList& doc) {
  vx::FontSpec spec;
  spec.Name = doc.FontName;
  spec.Size = 10;
  spec.Charset = doc.Charset;
  return doc.Fonts->Font(spec);
}

int ClampWidth(int w) { return std::clamp(w, 1, kMaxControlWidth); }
int ClampHeight(int h) { return std::clamp(h, 1, kMaxControlHeight); }

vx::TRect Box(const TFormControlObj& c, int dx, int dy) { return {c.X + dx, c.Y + dy, c.X + dx + c.Width, c.Y + dy + c.Height}; }
vx::TRect Inset(const vx::TRect& r, int n) { return {r.Left + n, r.Top + n, r.Right - n, r.Bottom - n}; }

// A sunken white field, as edits and lists show.
void SunkenField(vx::Canvas& canvas, const vx::TRect& r) {
  canvas.Frame3D(r, vx::clBtnShadow, vx::clBtnHighlight);
  canvas.Frame3D(Inset(r, 1), vx::clBlack, vx::clBtnFace);
  canvas.FillRect(Inset(r, 2), vx::clWindow);
}

void RaisedFace(vx::Canvas& canvas, const vx::TRect& r) {
  canvas.FillRect(r, vx::clBtnFace);
  canvas.Frame3D(r, vx::clBtnHighlight, vx::clBlack);
  canvas.Frame3D(Inset(r, 1), vx::clBtnFace, vx::clBtnShadow);
}

enum class Dir { Up, Down, Left, Right };

// A small triangle pointing one way, centred in the rectangle.
void Arrow(vx::Canvas& canvas, const vx::TRect& r, Dir dir) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  for (int i = 0; i < 4; ++i) {
    if (dir == Dir::Up || dir == Dir::Down) {
      const int y = dir == Dir::Up ? cy - 2 + i : cy + 1 - i;
      canvas.Line(cx - i, y, cx + i + 1, y, vx::clBlack);
    } else {
      const int x = dir == Dir::Left ? cx - 2 + i : cx + 1 - i;
      canvas.Line(x, cy - i, x, cy + i + 1, vx::clBlack);
    }
  }
}

// A scroll bar along one axis: the arrow buttons at its ends, and a thumb in the track
// between them when there is something to scroll (pos 0..maxPos, page the part shown).
struct BarParts {
  int Arrow, ThumbFrom, ThumbTo;  // offsets along the bar
};

BarParts BarLayout(int length, int pos, int maxPos, int page) {
  const int arrow = std::min(kScrollBar, length / 2), track = length - 2 * arrow;
  if (maxPos <= 0 || track < 8) return {arrow, arrow, arrow};
  const int thumb = std::clamp(static_cast<int>(int64_t{track} * page / (int64_t{maxPos} + page)), 8, track);
  const int from = arrow + static_cast<int>(int64_t{track - thumb} * std::clamp(pos, 0, maxPos) / maxPos);
  return {arrow, from, from + thumb};
}

void ScrollBar(vx::Canvas& canvas, const vx::TRect& r, bool vertical, int pos = 0, int maxPos = 0, int page = 1) {
  canvas.FillRect(r, vx::clSilver);
  const int length = vertical ? r.Height() : r.Width();
  const BarParts b = BarLayout(length, pos, maxPos, page);
  auto part = [&](int from, int to) {
    return vertical ? vx::TRect{r.Left, r.Top + from, r.Right, r.Top + to} : vx::TRect{r.Left + from, r.Top, r.Left + to, r.Bottom};
  };
  const vx::TRect before = part(0, b.Arrow), after = part(length - b.Arrow, length);
  RaisedFace(canvas, before);
  RaisedFace(canvas, after);
  Arrow(canvas, before, vertical ? Dir::Up : Dir::Left);
  Arrow(canvas, after, vertical ? Dir::Down : Dir::Right);
  if (b.ThumbTo > b.ThumbFrom) RaisedFace(canvas, part(b.ThumbFrom, b.ThumbTo));
}

// The first row shown so that `row` is among the `rows` shown.
int RowInView(int row, int top, int rows, int maxTop) {
  if (row < top) top = row;
  if (row >= top + rows) top = row - rows + 1;
  return std::clamp(top, 0, maxTop);
}

// Where a click `at` along a bar takes the position: an arrow moves a step, the track before
// or after the thumb a page.
int BarClick(int at, int length, int pos, int maxPos, int page, int step) {
  const BarParts b = BarLayout(length, pos, maxPos, page);
  const int to = at < b.Arrow ? pos - step : at >= length - b.Arrow ? pos + step : at < b.ThumbFrom ? pos - page : at >= b.ThumbTo ? pos + page : pos;
  return std::clamp(to, 0, std::max(0, maxPos));
}

void TextAt(vx::Canvas& canvas, const vx::TextFont& f, int x, int top, std::string_view text, vx::TColor c) {
  f.TextOut(canvas, x, top + f.Metrics().Ascent, text, c);
}

std::string NameValue(const std::string& name, const std::string& value) { return name + "=" + value; }

bool Printable(char ch) { return static_cast<unsigned char>(ch) >= 32 && ch != 127; }

// Caret movement and deletion shared by the edit and the text area.
bool EditKey(std::string& text, int& caret, uint16_t key) {
  caret = std::clamp(caret, 0, static_cast<int>(text.size()));
  switch (key) {
    case vx::VK_LEFT: caret = std::max(0, caret - 1); return true;
    case vx::VK_RIGHT: caret = std::min(static_cast<int>(text.size()), caret + 1); return true;
    case vx::VK_BACK:
      if (caret > 0) text.erase(static_cast<size_t>(--caret), 1);
      return true;
    case vx::VK_DELETE:
      if (caret < static_cast<int>(text.size())) text.erase(static_cast<size_t>(caret), 1);
      return true;
    default: return false;
  }
}

}  // namespace

bool TFormControlObj::Focused() const { return Form && Form->Doc && Form->Doc->FocusedControl == this; }

std::unique_ptr<TFormControlObj> NewFormControl(ThtmlForm* form, const std::string& kind, const TAttributeList& attrs) {
  if (kind == "text" || kind == "password") return std::make_unique<TEditFormControlObj>(form, kind, attrs);
  if (kind == "submit" || kind == "reset" || kind == "button") return std::make_unique<TButtonFormControlObj>(form, kind, attrs);
  if (kind == "radio") return std::make_unique<TRadioButtonFormControlObj>(form, kind, attrs);
  if (kind == "checkbox") return std::make_unique<TCheckBoxFormControlObj>(form, kind, attrs);
  if (kind == "hidden") return std::make_unique<THiddenFormControlObj>(form, kind, attrs);
  if (kind == "image") return std::make_unique<TImageFormControlObj>(form, kind, attrs);
  if (kind == "textarea") return std::make_unique<TTextAreaFormControlObj>(form, kind, attrs);
  if (kind == "select") {
    auto probe = std::make_unique<TListBoxFormControlObj>(form, kind, attrs);
    if (probe->Multiple || probe->Size > 1) return probe;
    return std::make_unique<TComboFormControlObj>(form, kind, attrs);
  }
  return std::make_unique<TEditFormControlObj>(form, "text", attrs);
}

// ---- the form ----

void ThtmlForm::ResetControls() {
  for (auto& c : Controls) c->ResetToValue();
}

void ThtmlForm::RadioClicked(TFormControlObj* radio) {
  const std::string name = vx::UpperCase(radio->Name);
  for (auto& c : Controls)
    if (auto* r = dynamic_cast<TRadioButtonFormControlObj*>(c.get()); r && r != radio && vx::UpperCase(r->Name) == name)
      r->State = false;
}

std::vector<std::string> ThtmlForm::Results(const TFormControlObj* submitter) {
  std::vector<std::string> out;
  for (auto& c : Controls) {
    std::string line;
    for (int i = 0; out.size() < kMaxLines && c->GetSubmission(i, line); ++i) out.push_back(line);
  }
  if (submitter && !submitter->Value.empty()) out.push_back(NameValue(submitter->Name, submitter->Value));
  return out;
}

void ThtmlForm::Submit(const TFormControlObj* submitter) {
  std::vector<std::string> results = Results(submitter);
  if (Doc && Doc->OnFormSubmit) Doc->OnFormSubmit(Action, Target, EncType, Method, results);
}

// ---- the document's entry points ----

bool TSectionList::FormMouseDown(int x, int y, vx::TShiftState shift) {
  if (FocusedControl && FocusedControl->OverlayContains(x - FocusedControl->X, y - FocusedControl->Y)) {
    FocusedControl->Click(x - FocusedControl->X, y - FocusedControl->Y, shift);
    return true;
  }
  THit hit;
  if (!HitTest(x, y, hit) || !hit.Control) {
    if (FocusedControl) FocusedControl->LoseFocus();
    FocusedControl = nullptr;
    return false;
  }
  FormClick(hit.Control, x, y, shift);
  return true;
}

void TSectionList::FormClick(TFormControlObj* control, int x, int y, vx::TShiftState shift) {
  if (!control) return;
  if (FocusedControl != control) {
    if (FocusedControl) FocusedControl->LoseFocus();
    FocusedControl = control;
    if (OnControlFocus) OnControlFocus(control);
  }
  if (OnObjectClick) OnObjectClick(control, control->OnClick);
  control->Click(x - control->X, y - control->Y, shift);
}

bool TSectionList::FormKeyDown(uint16_t key) {
  if (!FocusedControl) return false;
  return FocusedControl->KeyDown(key);
}

bool TSectionList::FormKeyPress(char ch) {
  if (!FocusedControl) return false;
  return FocusedControl->KeyPress(ch);
}

void TSectionList::DrawFormOverlay(vx::Canvas& canvas, int dx, int scrollY) const {
  if (FocusedControl && FocusedControl->Shown) FocusedControl->DrawOverlay(canvas, dx, -scrollY);
}

void TSectionList::ForEachControl(const std::function<void(TFormControlObj&)>& f) const {
  for (const auto& form : Forms)
    for (const auto& c : form->Controls) f(*c);
}

// ---- edits ----

void TEditFormControlObj::ResetToValue() {
  Current = MaxLength > 0 ? Value.substr(0, static_cast<size_t>(MaxLength)) : Value;
  Caret = static_cast<int>(Current.size());
}

bool TEditFormControlObj::GetSubmission(int index, std::string& line) {
  if (index != 0) return false;
  line = NameValue(Name, Current);
  return true;
}

void TEditFormControlObj::SetFont(TSectionList& doc) {
  Face = ControlFont(doc);
  Width = ClampWidth(Size > 0 ? Size * Face->TextWidth("A") + 5 : 120);
  Height = ClampHeight(std::max(20, Face->Metrics().Height + 6));
}

std::string TEditFormControlObj::ShownText() const { return Kind == "password" ? std::string(Current.size(), '*') : Current; }

int TEditFormControlObj::FirstVisible() const {
  // The text scrolls so that the caret stays inside the field.
  if (!Face) return 0;
  const std::string s = ShownText();
  const int room = Width - 8;
  int first = 0;
  while (first < Caret && Face->TextWidth(std::string_view(s).substr(static_cast<size_t>(first), static_cast<size_t>(Caret - first))) > room) ++first;
  return first;
}

void TEditFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  SunkenField(canvas, r);
  if (!Face) return;
  canvas.PushClip(Inset(r, 2));
  const std::string s = ShownText();
  const int first = FirstVisible();
  const int top = r.Top + (Height - Face->Metrics().Height) / 2;
  TextAt(canvas, *Face, r.Left + 4, top, std::string_view(s).substr(static_cast<size_t>(first)), vx::clWindowText);
  if (Focused()) {
    const int cx = r.Left + 4 + Face->TextWidth(std::string_view(s).substr(static_cast<size_t>(first), static_cast<size_t>(Caret - first)));
    canvas.Line(cx, top, cx, top + Face->Metrics().Height, vx::clWindowText);
  }
  canvas.PopClip();
}

void TEditFormControlObj::Click(int x, int, vx::TShiftState) {
  if (!Face) return;
  const std::string s = ShownText();
  const int first = FirstVisible();
  Caret = first + Face->FitCount(std::string_view(s).substr(static_cast<size_t>(first)), std::max(0, x - 4));
}

bool TEditFormControlObj::KeyDown(uint16_t key) {
  if (key == vx::VK_HOME) Caret = 0;
  else if (key == vx::VK_END) Caret = static_cast<int>(Current.size());
  else return EditKey(Current, Caret, key);
  return true;
}

bool TEditFormControlObj::KeyPress(char ch) {
  if (!Printable(ch)) return false;
  if (MaxLength > 0 && static_cast<int>(Current.size()) >= MaxLength) return true;
  Caret = std::clamp(Caret, 0, static_cast<int>(Current.size()));
  Current.insert(static_cast<size_t>(Caret++), 1, ch);
  return true;
}

// ---- buttons ----

std::string TButtonFormControlObj::Caption() const {
  if (!Value.empty()) return Value;
  return Kind == "submit" ? "Submit" : Kind == "reset" ? "Reset" : "Button";
}

void TButtonFormControlObj::SetFont(TSectionList& doc) {
  Face = ControlFont(doc);
  Width = ClampWidth(Face->TextWidth(Caption()) + 16);
  Height = ClampHeight(Face->Metrics().Height + 8);
}

void TButtonFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  RaisedFace(canvas, r);
  if (!Face) return;
  canvas.PushClip(Inset(r, 2));
  const std::string caption = Caption();
  TextAt(canvas, *Face, r.Left + (Width - Face->TextWidth(caption)) / 2, r.Top + (Height - Face->Metrics().Height) / 2, caption,
         vx::clBtnText);
  canvas.PopClip();
  if (Focused()) canvas.FrameRect(Inset(r, 3), vx::clBtnShadow);
}

void TButtonFormControlObj::Click(int, int, vx::TShiftState) {
  if (!Form) return;
  if (Kind == "submit") Form->Submit(this);
  else if (Kind == "reset") Form->ResetControls();
}

bool TButtonFormControlObj::KeyPress(char ch) {
  if (ch != ' ' && ch != '\r') return false;
  Click(0, 0, 0);
  return true;
}

// ---- check boxes and radio buttons ----

bool TCheckBoxFormControlObj::GetSubmission(int index, std::string& line) {
  if (index != 0 || !State) return false;
  line = NameValue(Name, Value);
  return true;
}

void TCheckBoxFormControlObj::SetFont(TSectionList&) { Width = Height = 13; }

void TCheckBoxFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  SunkenField(canvas, r);
  if (!State) return;
  // The tick: two strokes, three pixels thick.
  for (int t = 0; t < 3; ++t) {
    canvas.Line(r.Left + 3, r.Top + 5 + t, r.Left + 5, r.Top + 7 + t, vx::clWindowText);
    canvas.Line(r.Left + 5, r.Top + 7 + t, r.Left + 10, r.Top + 2 + t, vx::clWindowText);
  }
}

void TCheckBoxFormControlObj::Click(int, int, vx::TShiftState) { State = !State; }

bool TCheckBoxFormControlObj::KeyPress(char ch) {
  if (ch != ' ') return false;
  Click(0, 0, 0);
  return true;
}

void TRadioButtonFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  const vx::TColor white = vx::clWindow;
  canvas.Ellipse(r, vx::clBtnShadow, &white);
  canvas.Ellipse(Inset(r, 1), vx::clBlack, &white);
  if (State) {
    const vx::TColor dot = vx::clWindowText;
    canvas.Ellipse(Inset(r, 4), dot, &dot);
  }
}

void TRadioButtonFormControlObj::Click(int, int, vx::TShiftState) {
  State = true;
  if (Form) Form->RadioClicked(this);
}

// ---- hidden and image inputs ----

bool THiddenFormControlObj::GetSubmission(int index, std::string& line) {
  if (index != 0) return false;
  line = NameValue(Name, Value);
  return true;
}

bool TImageFormControlObj::GetSubmission(int index, std::string& line) {
  if (ClickX < 0 || index > 1) return false;
  if (index == 0) {
    line = Name + ".x=" + std::to_string(ClickX);
  } else {
    line = Name + ".y=" + std::to_string(ClickY);
    ClickX = ClickY = -1;  // one click, one submission
  }
  return true;
}

void TImageFormControlObj::SetFont(TSectionList& doc) {
  if (!Picture && doc.ViewImages && doc.GetPicture && !Src.empty()) Picture = doc.GetPicture(Src);
  Width = ClampWidth(Picture ? Picture->Width : 20);
  Height = ClampHeight(Picture ? Picture->Height : 20);
}

void TImageFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  if (Picture) DrawHtmlPicture(canvas, r, *Picture);
  else canvas.Frame3D(r, vx::clBtnShadow, vx::clBtnHighlight);
}

void TImageFormControlObj::Click(int x, int y, vx::TShiftState) {
  ClickX = std::max(0, x), ClickY = std::max(0, y);
  if (Form) Form->Submit(nullptr);
}

// ---- list boxes ----

void TListBoxFormControlObj::ResetToValue() {
  Selected.assign(Options.size(), false);
  int last = -1;
  for (size_t i = 0; i < Options.size(); ++i)
    if (Options[i].Selected) {
      if (!Multiple && last >= 0) Selected[static_cast<size_t>(last)] = false;
      Selected[i] = true;
      last = static_cast<int>(i);
    }
  if (last < 0 && !Multiple && !Options.empty()) Selected[0] = true, last = 0;
  ItemIndex = Anchor = std::max(0, last);
  TopIndex = 0;
  ShowItem();
}

bool TListBoxFormControlObj::GetSubmission(int index, std::string& line) {
  int n = -1;
  for (size_t i = 0; i < Options.size() && i < Selected.size(); ++i)
    if (Selected[i] && ++n == index) {
      line = NameValue(Name, Options[i].Value.empty() ? Options[i].Text : Options[i].Value);
      return true;
    }
  return false;
}

int TListBoxFormControlObj::VisibleRows() const { return Size > 1 ? Size : 3; }
int TListBoxFormControlObj::ItemHeight() const { return Face ? std::max(1, Face->Metrics().Height) : 16; }

void TListBoxFormControlObj::SetFont(TSectionList& doc) {
  Face = ControlFont(doc);
  int widest = 0;
  for (const TOptionObj& o : Options) widest = std::max(widest, Face->TextWidth(o.Text));
  const bool bar = static_cast<int>(Options.size()) > VisibleRows();
  Width = ClampWidth(std::max(40, widest + 12 + (bar ? kScrollBar : 0)));
  Height = ClampHeight(VisibleRows() * ItemHeight() + 4);
}

void TListBoxFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  SunkenField(canvas, r);
  if (!Face) return;
  const bool bar = static_cast<int>(Options.size()) > VisibleRows();
  const vx::TRect inner{r.Left + 2, r.Top + 2, r.Right - 2 - (bar ? kScrollBar : 0), r.Bottom - 2};
  canvas.PushClip(inner);
  for (int row = 0; row < VisibleRows() && TopIndex + row < static_cast<int>(Options.size()); ++row) {
    const size_t i = static_cast<size_t>(TopIndex + row);
    const vx::TRect line{inner.Left, inner.Top + row * ItemHeight(), inner.Right, inner.Top + (row + 1) * ItemHeight()};
    const bool sel = i < Selected.size() && Selected[i];
    if (sel) canvas.FillRect(line, vx::clHighlight);
    TextAt(canvas, *Face, line.Left + 2, line.Top, Options[i].Text, sel ? vx::clHighlightText : vx::clWindowText);
    if (Focused() && static_cast<int>(i) == ItemIndex) canvas.FrameRect(line, vx::clGrayText);
  }
  canvas.PopClip();
  if (bar) ScrollBar(canvas, {inner.Right, inner.Top, r.Right - 2, inner.Bottom}, true, TopIndex, MaxTop(), VisibleRows());
}

void TListBoxFormControlObj::Select(int index) {
  if (Options.empty()) return;
  ItemIndex = std::clamp(index, 0, static_cast<int>(Options.size()) - 1);
  Selected.resize(Options.size(), false);
  if (Multiple) {
    Selected[static_cast<size_t>(ItemIndex)] = !Selected[static_cast<size_t>(ItemIndex)];
    Anchor = ItemIndex;
  } else {
    std::fill(Selected.begin(), Selected.end(), false);
    Selected[static_cast<size_t>(ItemIndex)] = true;
  }
  ShowItem();
}

int TListBoxFormControlObj::MaxTop() const { return std::max(0, static_cast<int>(Options.size()) - VisibleRows()); }

void TListBoxFormControlObj::ShowItem() { TopIndex = RowInView(ItemIndex, TopIndex, VisibleRows(), MaxTop()); }

void TListBoxFormControlObj::Click(int x, int y, vx::TShiftState shift) {
  const bool bar = static_cast<int>(Options.size()) > VisibleRows();
  if (bar && x >= Width - 2 - kScrollBar) {
    TopIndex = BarClick(y - 2, Height - 4, TopIndex, MaxTop(), VisibleRows(), 1);
    return;
  }
  const int row = (y - 2) / ItemHeight();
  if (y < 2 || row >= VisibleRows() || TopIndex + row >= static_cast<int>(Options.size())) return;
  const int index = TopIndex + row;
  if (!Multiple) {
    Select(index);
    return;
  }
  // Several choices: a plain click picks one item, Ctrl toggles one, Shift picks the run from
  // the item of the last plain or Ctrl click (with Ctrl added to what is picked already).
  const bool ctrl = (shift & vx::ssCtrl) != 0, run = (shift & vx::ssShift) != 0;
  Selected.resize(Options.size(), false);
  if (!ctrl) std::fill(Selected.begin(), Selected.end(), false);
  if (run) {
    Anchor = std::clamp(Anchor, 0, static_cast<int>(Options.size()) - 1);
    std::fill(Selected.begin() + std::min(Anchor, index), Selected.begin() + std::max(Anchor, index) + 1, true);
  } else {
    Selected[static_cast<size_t>(index)] = !ctrl || !Selected[static_cast<size_t>(index)];
    Anchor = index;
  }
  ItemIndex = index;
  ShowItem();
}

bool TListBoxFormControlObj::KeyDown(uint16_t key) {
  if (Options.empty()) return false;
  int to = ItemIndex;
  if (key == vx::VK_UP) to = ItemIndex - 1;
  else if (key == vx::VK_DOWN) to = ItemIndex + 1;
  else if (key == vx::VK_HOME) to = 0;
  else if (key == vx::VK_END) to = static_cast<int>(Options.size()) - 1;
  else return false;
  to = std::clamp(to, 0, static_cast<int>(Options.size()) - 1);
  if (Multiple) {
    ItemIndex = to;  // a multiple list moves the focus; space picks
    ShowItem();
  } else {
    Select(to);
  }
  return true;
}

bool TListBoxFormControlObj::KeyPress(char ch) {
  if (ch != ' ' || !Multiple) return false;
  Select(ItemIndex);
  return true;
}

// ---- combo boxes ----

void TComboFormControlObj::ResetToValue() {
  ItemIndex = Options.empty() ? -1 : 0;
  for (size_t i = 0; i < Options.size(); ++i)
    if (Options[i].Selected) ItemIndex = static_cast<int>(i);
  Dropped = false;
}

bool TComboFormControlObj::GetSubmission(int index, std::string& line) {
  if (index != 0 || ItemIndex < 0 || ItemIndex >= static_cast<int>(Options.size())) return false;
  const TOptionObj& o = Options[static_cast<size_t>(ItemIndex)];
  line = NameValue(Name, o.Value.empty() ? o.Text : o.Value);
  return true;
}

int TComboFormControlObj::ItemHeight() const { return Face ? std::max(1, Face->Metrics().Height) : 16; }
int TComboFormControlObj::ListRows() const { return std::min(static_cast<int>(Options.size()), kDropDownRows); }
int TComboFormControlObj::MaxTop() const { return std::max(0, static_cast<int>(Options.size()) - kDropDownRows); }

void TComboFormControlObj::SetFont(TSectionList& doc) {
  Face = ControlFont(doc);
  int widest = 0;
  for (const TOptionObj& o : Options) widest = std::max(widest, Face->TextWidth(o.Text));
  Width = ClampWidth(std::max(40, widest + 12 + kScrollBar));
  Height = ClampHeight(ItemHeight() + 8);
}

void TComboFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  SunkenField(canvas, r);
  const vx::TRect button{r.Right - 2 - kScrollBar, r.Top + 2, r.Right - 2, r.Bottom - 2};
  RaisedFace(canvas, button);
  Arrow(canvas, button, Dir::Down);
  if (!Face || ItemIndex < 0 || ItemIndex >= static_cast<int>(Options.size())) return;
  const vx::TRect text{r.Left + 3, r.Top + 3, button.Left - 1, r.Bottom - 3};
  const bool focused = Focused();
  if (focused) canvas.FillRect(text, vx::clHighlight);
  canvas.PushClip(text);
  TextAt(canvas, *Face, text.Left + 1, r.Top + (Height - Face->Metrics().Height) / 2, Options[static_cast<size_t>(ItemIndex)].Text,
         focused ? vx::clHighlightText : vx::clWindowText);
  canvas.PopClip();
}

bool TComboFormControlObj::OverlayContains(int x, int y) const {
  return Dropped && x >= 0 && x < Width && y >= Height && y < Height + ListRows() * ItemHeight() + 2;
}

void TComboFormControlObj::DrawOverlay(vx::Canvas& canvas, int dx, int dy) const {
  if (!Dropped || !Face) return;
  const vx::TRect list{X + dx, Y + dy + Height, X + dx + Width, Y + dy + Height + ListRows() * ItemHeight() + 2};
  canvas.FillRect(list, vx::clWindow);
  canvas.FrameRect(list, vx::clBlack);
  const bool bar = MaxTop() > 0;
  const vx::TRect rows{list.Left + 1, list.Top + 1, list.Right - 1 - (bar ? kScrollBar : 0), list.Bottom - 1};
  canvas.PushClip(rows);
  for (int row = 0; row < ListRows(); ++row) {
    const int i = TopIndex + row;
    const vx::TRect line{rows.Left, rows.Top + row * ItemHeight(), rows.Right, rows.Top + (row + 1) * ItemHeight()};
    const bool sel = i == ItemIndex;
    if (sel) canvas.FillRect(line, vx::clHighlight);
    TextAt(canvas, *Face, line.Left + 2, line.Top, Options[static_cast<size_t>(i)].Text, sel ? vx::clHighlightText : vx::clWindowText);
  }
  canvas.PopClip();
  if (bar) ScrollBar(canvas, {rows.Right, rows.Top, list.Right - 1, rows.Bottom}, true, TopIndex, MaxTop(), ListRows());
}

void TComboFormControlObj::Click(int x, int y, vx::TShiftState) {
  if (OverlayContains(x, y)) {
    const int along = y - Height - 1;
    if (MaxTop() > 0 && x >= Width - 1 - kScrollBar) {
      TopIndex = BarClick(along, ListRows() * ItemHeight(), TopIndex, MaxTop(), ListRows(), 1);
      return;
    }
    ItemIndex = TopIndex + std::clamp(along / ItemHeight(), 0, ListRows() - 1);
    Dropped = false;
    return;
  }
  Dropped = !Dropped && !Options.empty();
  TopIndex = RowInView(std::max(0, ItemIndex), TopIndex, kDropDownRows, MaxTop());
}

bool TComboFormControlObj::KeyDown(uint16_t key) {
  if (Options.empty()) return false;
  const int last = static_cast<int>(Options.size()) - 1;
  if (key == vx::VK_UP) ItemIndex = std::max(0, ItemIndex - 1);
  else if (key == vx::VK_DOWN) ItemIndex = std::min(last, ItemIndex + 1);
  else if (key == vx::VK_PRIOR) ItemIndex = std::max(0, ItemIndex - kDropDownRows);
  else if (key == vx::VK_NEXT) ItemIndex = std::min(last, ItemIndex + kDropDownRows);
  else if (key == vx::VK_HOME) ItemIndex = 0;
  else if (key == vx::VK_END) ItemIndex = last;
  else if (key == vx::VK_RETURN || key == vx::VK_ESCAPE) Dropped = false;
  else return false;
  TopIndex = RowInView(std::max(0, ItemIndex), TopIndex, kDropDownRows, MaxTop());
  return true;
}

// ---- text areas ----

void TTextAreaFormControlObj::ResetToValue() {
  // Lines end in "\n" while editing and in "\r\n" when submitted, as the page wrote them.
  Current.clear();
  for (size_t i = 0; i < Text.size(); ++i)
    if (Text[i] != '\r') Current += Text[i];
    else if (i + 1 >= Text.size() || Text[i + 1] != '\n') Current += '\n';
  Caret = ScrollX = 0;
}

bool TTextAreaFormControlObj::GetSubmission(int index, std::string& line) {
  if (index != 0) return false;
  std::string text;
  for (char c : Current) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  line = NameValue(Name, text);
  return true;
}

int TTextAreaFormControlObj::LineHeight() const { return Face ? std::max(1, Face->Metrics().Height) : 16; }
int TTextAreaFormControlObj::TextWidth() const { return std::max(1, Width - 6 - kScrollBar); }

void TTextAreaFormControlObj::SetFont(TSectionList& doc) {
  Face = ControlFont(doc);
  const int ave = std::max(1, Face->Metrics().AveCharWidth);
  Width = ClampWidth(Cols * ave + 6 + kScrollBar);
  Height = ClampHeight(Rows * LineHeight() + 4 + (WordWrap() ? 0 : kScrollBar));
}

std::vector<TTextAreaFormControlObj::Line> TTextAreaFormControlObj::Lines() const {
  std::vector<Line> lines;
  const int n = static_cast<int>(Current.size());
  int start = 0;
  while (true) {
    int end = start;
    while (end < n && Current[static_cast<size_t>(end)] != '\n') ++end;
    // A paragraph breaks at its last space that fits, or mid-word when a word is wider.
    int s = start;
    while (WordWrap() && Face && s < end) {
      const int fit = Face->FitCount(std::string_view(Current).substr(static_cast<size_t>(s), static_cast<size_t>(end - s)), TextWidth());
      if (s + fit >= end) break;
      int cut = s + std::max(1, fit);
      for (int k = s + fit; k > s; --k)
        if (Current[static_cast<size_t>(k - 1)] == ' ') {
          cut = k;
          break;
        }
      lines.push_back({s, cut - s});
      s = cut;
    }
    lines.push_back({s, end - s});
    if (end >= n) break;
    start = end + 1;
  }
  return lines;
}

int TTextAreaFormControlObj::CaretLine(const std::vector<Line>& lines) const {
  int at = 0;
  for (size_t i = 0; i < lines.size(); ++i)
    if (Caret >= lines[i].Start) at = static_cast<int>(i);
  return at;
}

int TTextAreaFormControlObj::ShownRows() const { return std::max(1, (Height - 4 - (WordWrap() ? 0 : kScrollBar)) / LineHeight()); }

int TTextAreaFormControlObj::TopLine(const std::vector<Line>& lines) const { return std::max(0, CaretLine(lines) - ShownRows() + 1); }

std::string_view TTextAreaFormControlObj::LineText(const Line& l) const {
  return std::string_view(Current).substr(static_cast<size_t>(l.Start), static_cast<size_t>(l.Len));
}

int TTextAreaFormControlObj::MaxScrollX(const std::vector<Line>& lines) const {
  // Only unwrapped lines run past the right edge; the caret at the end keeps a little room.
  if (WordWrap() || !Face) return 0;
  int widest = 0;
  for (const Line& l : lines) widest = std::max(widest, Face->TextWidth(LineText(l)));
  return std::max(0, widest + 4 - TextWidth());
}

void TTextAreaFormControlObj::CaretInView() {
  const std::vector<Line> lines = Lines();
  const Line& l = lines[static_cast<size_t>(CaretLine(lines))];
  const int cx = Face ? Face->TextWidth(LineText(l).substr(0, static_cast<size_t>(std::clamp(Caret - l.Start, 0, l.Len)))) : 0;
  if (cx < ScrollX) ScrollX = cx;
  if (cx > ScrollX + TextWidth() - 4) ScrollX = cx - TextWidth() + 4;
  ScrollX = std::clamp(ScrollX, 0, MaxScrollX(lines));
}

void TTextAreaFormControlObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  const vx::TRect r = Box(*this, dx, dy);
  SunkenField(canvas, r);
  const vx::TRect inner{r.Left + 2, r.Top + 2, r.Right - 2 - kScrollBar, r.Bottom - 2 - (WordWrap() ? 0 : kScrollBar)};
  const std::vector<Line> lines = Lines();
  const int top = TopLine(lines), caretLine = CaretLine(lines);
  ScrollBar(canvas, {inner.Right, inner.Top, r.Right - 2, inner.Bottom}, true, top, static_cast<int>(lines.size()) - ShownRows(), ShownRows());
  if (!WordWrap()) {
    // Unwrapped lines wider than the area get the horizontal bar; the corner stays plain.
    canvas.FillRect({inner.Left, inner.Bottom, r.Right - 2, r.Bottom - 2}, vx::clSilver);
    if (const int maxX = MaxScrollX(lines); maxX > 0)
      ScrollBar(canvas, {inner.Left, inner.Bottom, inner.Right, r.Bottom - 2}, false, ScrollX, maxX, TextWidth());
  }
  if (!Face) return;
  const int left = inner.Left + 2 - ScrollX;
  canvas.PushClip(inner);
  for (int i = top; i < static_cast<int>(lines.size()); ++i) {
    const int y = inner.Top + (i - top) * LineHeight();
    if (y >= inner.Bottom) break;
    const std::string_view text = LineText(lines[static_cast<size_t>(i)]);
    TextAt(canvas, *Face, left, y, text, vx::clWindowText);
    if (Focused() && i == caretLine) {
      const int col = std::clamp(Caret - lines[static_cast<size_t>(i)].Start, 0, static_cast<int>(text.size()));
      const int cx = left + Face->TextWidth(text.substr(0, static_cast<size_t>(col)));
      canvas.Line(cx, y, cx, y + LineHeight(), vx::clWindowText);
    }
  }
  canvas.PopClip();
}

void TTextAreaFormControlObj::Click(int x, int y, vx::TShiftState) {
  if (!Face) return;
  const std::vector<Line> lines = Lines();
  if (!WordWrap() && y >= Height - 2 - kScrollBar) {
    if (x < Width - 2 - kScrollBar)
      ScrollX = BarClick(x - 2, Width - 4 - kScrollBar, ScrollX, MaxScrollX(lines), TextWidth(), std::max(1, Face->Metrics().AveCharWidth));
    return;
  }
  const int i = std::clamp(TopLine(lines) + (y - 2) / LineHeight(), 0, static_cast<int>(lines.size()) - 1);
  const Line& l = lines[static_cast<size_t>(i)];
  Caret = l.Start + Face->FitCount(LineText(l), std::max(0, x - 4 + ScrollX));
  CaretInView();
}

bool TTextAreaFormControlObj::KeyDown(uint16_t key) {
  const std::vector<Line> lines = Lines();
  const int at = CaretLine(lines);
  const Line& l = lines[static_cast<size_t>(at)];
  if (key == vx::VK_HOME) {
    Caret = l.Start;
  } else if (key == vx::VK_END) {
    Caret = l.Start + l.Len;
  } else if (key == vx::VK_UP || key == vx::VK_DOWN) {
    const int to = at + (key == vx::VK_UP ? -1 : 1);
    if (to < 0 || to >= static_cast<int>(lines.size())) return true;
    const Line& t = lines[static_cast<size_t>(to)];
    Caret = t.Start + std::min(Caret - l.Start, t.Len);
  } else if (!EditKey(Current, Caret, key)) {
    return false;
  }
  CaretInView();
  return true;
}

bool TTextAreaFormControlObj::KeyPress(char ch) {
  if (ch == '\r') ch = '\n';
  if (!Printable(ch) && ch != '\n') return false;
  if (Current.size() >= 1000000) return true;
  Caret = std::clamp(Caret, 0, static_cast<int>(Current.size()));
  Current.insert(static_cast<size_t>(Caret++), 1, ch);
  CaretInView();
  return true;
}
