#include "framework/VXWidgets.h"

#include <algorithm>
#include <array>

#include "core/Checked.h"
#include "core/StrUtils.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {
constexpr int32_t kRowGap = 2;          // pixels between label rows
constexpr int32_t kEffectText = 1;      // label rows
constexpr int32_t kEffectLine = 0;      // caret, lines
constexpr int32_t kImageStep = 30;      // scrolling image, pixels per frame
constexpr int32_t kPressOffset = 2;     // a pressed button is drawn this far right and down

uint32_t WithAlphaByte(uint32_t colour, int32_t alpha) {
  return (colour & 0x00FFFFFFu) | (static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24);
}

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

bool EndsWithText(const std::string& s, std::string_view suffix) {
  return s.size() >= suffix.size() && vx::SameText(std::string_view(s).substr(s.size() - suffix.size()), suffix);
}
}  // namespace

// ---------------------------------------------------------------------------------------
// Images and panels

TVXImage::TVXImage(TVXComponent* owner) : TVXControl(owner) { SetAutoSize(false); }

TVXScrollingImage::TVXScrollingImage(TVXComponent* owner) : TVXImage(owner) {
  ClipToBounds = true;
  targetDrawTop_ = DrawTop;
}

void TVXScrollingImage::SetPosition(int32_t position) {
  if (position == position_) return;
  position_ = position;
  targetDrawTop_ = Clamp32(int64_t{Top()} - (int64_t{position} - 1) * ItemHeight);
}

void TVXScrollingImage::SetTop(int32_t value) {
  const int32_t before = Top();
  TVXImage::SetTop(value);
  // The target travels with the control, so a moved strip still stops on its item.
  targetDrawTop_ = Clamp32(int64_t{targetDrawTop_} + (int64_t{Top()} - before));
}

void TVXScrollingImage::Step() {
  // Never more than the remaining distance: the strip always lands on its target.
  if (DrawTop > targetDrawTop_) {
    DrawTop = Clamp32(int64_t{DrawTop} - std::min<int64_t>(kImageStep, int64_t{DrawTop} - targetDrawTop_));
  }
  if (DrawTop < targetDrawTop_) {
    DrawTop = Clamp32(int64_t{DrawTop} + std::min<int64_t>(kImageStep, int64_t{targetDrawTop_} - DrawTop));
  }
  TVXImage::Step();
}

TVXPanel::TVXPanel(TVXComponent* owner) : TVXControl(owner) {}

// ---------------------------------------------------------------------------------------
// Labels

TVXLabel::TVXLabel(TVXComponent* owner) : TVXPanel(owner) {
  SetAlpha4(TAlpha4{0, 0, 0, 0});  // the rectangle behind the text is invisible
  ClipToBounds = true;
  TVXLabel::SetHeight(20);
  SetAutoSize(false);
  Font.OnSizeChange = [this](TVXFont*) { LayoutText(); };
  Font.OnColorChange = [this](TVXFont*) { RefreshColors(); };
}

TGfxFont* TVXLabel::EngineGfxFont() const {
  TVXEngineFont* f = Font.EngineFont();
  return f != nullptr ? f->Font : nullptr;
}

void TVXLabel::SetText(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  LayoutText();
}

void TVXLabel::SetHideBackground(bool value) {
  hideBackground_ = value;
  SetAlpha(value ? 0 : 255);
}

void TVXLabel::SetTextSpeed(int32_t speed) {
  static constexpr std::array<int32_t, 5> kFrames{15, 10, 5, 2, 0};
  textSpeed_ = speed;
  if (speed >= 0 && speed <= 4) textSpeedFrames_ = kFrames[static_cast<size_t>(speed)];
}

void TVXLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  LayoutText();
}

void TVXLabel::SetAlignment(int32_t alignment) {
  if (alignment == Alignment()) return;
  TVXPanel::SetAlignment(alignment);
  LayoutText();
}

void TVXLabel::SetWidth(int32_t value) {
  TVXPanel::SetWidth(value);
  LayoutText();
}

void TVXLabel::SetHeight(int32_t value) {
  TVXPanel::SetHeight(value);
  LayoutText();
}

void TVXLabel::LayoutText() {
  TGfxFont* font = EngineGfxFont();
  if (font == nullptr) return;
  laidOutFont_ = font;
  laidOutLayout_ = Layout();
  rows_.clear();
  const std::string text = DisplayText();
  const int32_t h = font->TextHeight(text);
  textWidth_ = 0;
  std::vector<int32_t> widths;

  if (wordWrap_) {
    const int32_t spaceWidth = font->TextWidth(" ");
    size_t pos = text.find_first_not_of(' ');
    if (pos == std::string::npos) pos = text.size();
    bool rowHasTag = false;
    while (pos < text.size()) {
      const size_t end = std::min(text.find(' ', pos), text.size());
      const std::string_view word(text.data() + pos, end - pos);
      pos = end + 1;  // the space is consumed
      const bool wordHasTag = word.find('#') != std::string_view::npos;
      const int32_t wordWidth = font->TextWidth(word);
      if (rows_.empty()) {
        rows_.push_back(TVXStringLine{std::string(word), 0, 0, 0});
        widths.push_back(wordWidth);
        rowHasTag = wordHasTag;
        continue;
      }
      TVXStringLine& row = rows_.back();
      // Widths add up character by character unless a colour tag is involved, whose reading
      // depends on the whole text: then the joined row is measured as a whole.
      const std::string joined = row.Text + " " + std::string(word);
      const int64_t joinedWidth = (rowHasTag || wordHasTag)
                                      ? font->TextWidth(joined)
                                      : int64_t{widths.back()} + spaceWidth + wordWidth;
      if (joinedWidth <= Width()) {
        row.Text = joined;
        widths.back() = Clamp32(joinedWidth);
        rowHasTag = rowHasTag || wordHasTag;
      } else {
        rows_.push_back(TVXStringLine{std::string(word), 0, 0, 0});
        widths.push_back(wordWidth);
        rowHasTag = wordHasTag;
      }
    }
  } else {
    rows_.push_back(TVXStringLine{text, 0, 0, 0});
    widths.push_back(font->TextWidth(text));
    if (AutoSize()) {
      // Assigned directly: going through SetWidth would lay the text out again from inside.
      width_ = widths.back();
      height_ = h;
    }
  }
  if (rows_.empty()) {
    textHeight_ = 0;
    return;
  }

  int32_t minX = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    int64_t x = 1;
    if (Alignment() == taRight) x = int64_t{Width()} - widths[i] - 1;
    if (Alignment() == taCenter) x = (int64_t{Width()} - widths[i]) / 2;
    rows_[i].X = Clamp32(x);
    minX = i == 0 ? rows_[i].X : std::min(minX, rows_[i].X);
    textWidth_ = std::max(textWidth_, widths[i]);
  }
  const int64_t n = static_cast<int64_t>(rows_.size());
  textHeight_ = Clamp32(n * h + (n - 1) * kRowGap);
  int64_t y = 1;
  if (Layout() == tlCenter) y = (int64_t{Height()} - textHeight_) / 2;
  if (Layout() == tlBottom) y = int64_t{Height()} - textHeight_ - 1;
  for (TVXStringLine& row : rows_) {
    row.Y = Clamp32(y);
    y += int64_t{h} + kRowGap;
  }
  textLeft_ = minX;
  RefreshColors();
}

void TVXLabel::RefreshColors() {
  const uint32_t colour = WithAlphaByte(Font.Color(), Font.Alpha);
  for (TVXStringLine& row : rows_) row.Color = colour;
}

void TVXLabel::DrawText() {
  TGfxFont* font = EngineGfxFont();
  if (font == nullptr) return;
  if (font != laidOutFont_ || Layout() != laidOutLayout_) LayoutText();
  if (FadingIn() || FadingOut()) {
    for (TVXStringLine& row : rows_) row.Color = WithAlphaByte(row.Color, FadeAlpha4()[0]);
  } else if (Font.Alpha != Alpha4()[0] && Visible()) {
    RefreshColors();
  }
  if (ScrollMode == smMarquee) {
    if (-int64_t{textWidth_} < textLeft_) {
      --textLeft_;
    } else {
      textLeft_ = Width();
    }
    for (TVXStringLine& row : rows_) row.X = textLeft_;
  }
  for (const TVXStringLine& row : rows_) {
    font->TextOut(row.Text, Clamp32(int64_t{Left()} + row.X), Clamp32(int64_t{Top()} + row.Y), row.Color,
                  kEffectText);
  }
}

void TVXLabel::Draw() {
  TVXPanel::Draw();
  DrawText();
}

// ---------------------------------------------------------------------------------------
// Buttons

TVXButton::TVXButton(TVXComponent* owner) : TVXLabel(owner) {
  SetAlpha4(TAlpha4{255, 255, 255, 255});
  SetAutoSize(false);
  TVXLabel::SetAlignment(taCenter);
}

void TVXButton::Draw() {
  // Pressed: drawn displaced through the device's offset; the button and its children stay
  // where they are, so hit tests and layout never see the press.
  TGfxScopedOffset press(PressedLeft() ? Host().Device() : nullptr, kPressOffset, kPressOffset);
  TVXLabel::Draw();
}

// ---------------------------------------------------------------------------------------
// Text entry

TVXEdit::TVXEdit(TVXComponent* owner) : TVXLabel(owner) { SetAutoSize(false); }

int32_t TVXEdit::CursorPos() const {
  return std::clamp<int32_t>(cursorPos_, 0, static_cast<int32_t>(std::min<size_t>(Caption().size(), INT32_MAX)));
}

void TVXEdit::SetCursorPos(int32_t pos) {
  cursorPos_ = pos;
  cursorPos_ = CursorPos();
}

void TVXEdit::SetPasswordChar(char mask) {
  if (mask == passwordChar_) return;
  passwordChar_ = mask;
  LayoutText();
}

std::string TVXEdit::DisplayText() const {
  if (passwordChar_ == 0) return Caption();
  return std::string(Caption().size(), passwordChar_);
}

void TVXEdit::SetText(const std::string& text) {
  TVXLabel::SetText(text);
  cursorPos_ = CursorPos();
}

char TVXEdit::PrintableKey(uint16_t key, TShiftState shift) {
  if ((shift & (vx::ssCtrl | vx::ssAlt)) != 0) return 0;  // a command, not text
  if (key == 32 || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return static_cast<char>(key);
  if (key >= 96 && key <= 105) return static_cast<char>('0' + (key - 96));  // numpad digits
  return 0;
}

void TVXEdit::KeyDown(uint16_t& key, TShiftState shift) {
  vx::DispatchScope dispatch;
  TVXLabel::KeyDown(key, shift);
  if (key == 0) return;
  std::string text = Caption();
  const int32_t pos = CursorPos();
  const auto at = static_cast<size_t>(pos);
  switch (key) {
    case vkBack:
      if (pos >= 1) {
        text.erase(at - 1, 1);
        SetText(text);
        SetCursorPos(pos - 1);
      }
      break;
    case vkLeft:
      if (pos >= 1) SetCursorPos(pos - 1);
      break;
    case vkRight:
      if (at < text.size()) SetCursorPos(pos + 1);
      break;
    case vkDelete:
      if (at < text.size()) {
        text.erase(at, 1);
        SetText(text);
      }
      break;
    default:
      if (const char c = PrintableKey(key, shift)) {
        text.insert(at, 1, c);
        SetText(text);
        SetCursorPos(pos + 1);
      }
      break;
  }
}

void TVXEdit::MouseDown() {
  TVXLabel::MouseDown();
  if (Interactive) SetFocused(true);
}

void TVXEdit::Step() {
  TVXLabel::Step();
  if (UpdateHalted() || !Focused()) return;
  CaretCounter = vx::CheckedAdd(CaretCounter, 1);
  if (CaretCounter > Host().CaretPeriod()) {
    CaretCounter = 0;
    CaretVisible = !CaretVisible;
  }
}

void TVXEdit::Draw() {
  TVXLabel::Draw();
  if (!Focused() || !CaretVisible) return;
  TGfxFont* font = EngineGfxFont();
  TGfxDevice* device = Host().Device();
  if (font == nullptr || device == nullptr) return;
  const std::string shown = DisplayText();
  const int32_t x = Clamp32(int64_t{Left()} + font->TextWidth(std::string_view(shown).substr(0, static_cast<size_t>(CursorPos()))) + 1);
  const int32_t top = Clamp32(int64_t{Top()} + 1);
  const int32_t bottom = Clamp32(int64_t{Top()} + Height() - 2);
  const uint32_t colour = Font.Color() | 0xFF000000u;
  device->Line(TGfxPoint{x, top}, TGfxPoint{x, bottom}, colour, colour, kEffectLine);
  device->Line(TGfxPoint{x + 1, top}, TGfxPoint{x + 1, bottom}, colour, colour, kEffectLine);
}

// ---------------------------------------------------------------------------------------
// Check box

TVXCheckBox::TVXCheckBox(TVXComponent* owner) : TVXImage(owner) {
  label_ = new TVXLabel(this);
  label_->SetWordWrap(false);
  label_->SetAutoSize(true);
  label_->SetAlignment(taLeft);
  label_->SetLayout(tlCenter);
  label_->Font.SetColor(0xFFFFFF);
  label_->SetHideBackground(true);
  label_->Font.SetName("");
  SetAutoSize(true);
}

void TVXCheckBox::SetCaption(const std::string& text) {
  caption_ = text;
  label_->SetText(text);
}

void TVXCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  // The base name is whatever the name is without the suffix, so that however the name was
  // set (scene, theme, default texture) the two states never stack or eat into it.
  std::string base = TextureInfo.Name();
  const std::string_view suffix = vx::kCheckedSuffix;
  if (EndsWithText(base, suffix)) base.resize(base.size() - suffix.size());
  TextureInfo.SetNameAndNotify(StateTextureName(base));
}

std::string TVXCheckBox::StateTextureName(const std::string& base) const {
  return checked_ ? base + vx::kCheckedSuffix : base;
}

void TVXCheckBox::Step() {
  TVXImage::Step();
  if (UpdateHalted()) return;
  label_->SetLeft(Clamp32(int64_t{Left()} + Width()));
  label_->SetTop(Clamp32(int64_t{Top()} + Height() - label_->Height()));
  label_->SetWidth(200);
  label_->SetHeight(50);
}

void TVXCheckBox::Draw() {
  TVXImage::Draw();
  label_->Process();
}

void TVXCheckBox::MouseUp() {
  TVXImage::MouseUp();
  if (Interactive) SetChecked(!checked_);
}

// ---------------------------------------------------------------------------------------
// Line

TVXLine::TVXLine(TVXComponent* owner) : TVXControl(owner) {}

void TVXLine::SetPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  SetLeft(x1);
  SetTop(y1);
  EndX = x2;
  EndY = y2;
}

void TVXLine::Draw() {
  if (TGfxDevice* device = Host().Device()) {
    device->Line(TGfxPoint{Left(), Top()}, TGfxPoint{EndX, EndY}, Color4()[0], Color4()[1], kEffectLine);
  }
}

// ---------------------------------------------------------------------------------------
// Theme classes

const TVXThemeClass& TVXLabel::StaticThemeClass() {
  static const TVXThemeClass info = TVXThemeClassBuilder<TVXLabel, TVXPanel>("TVXLabel").Keys(TextThemeKeys());
  return info;
}

const TVXThemeClass& TVXButton::StaticThemeClass() {
  static const TVXThemeClass info = TVXThemeClassBuilder<TVXButton, TVXLabel>("TVXButton").DefaultTexture("BTN_ALL");
  return info;
}

const TVXThemeClass& TVXTabSheetButton::StaticThemeClass() {
  static const TVXThemeClass info =
      TVXThemeClassBuilder<TVXTabSheetButton, TVXButton>("TVXTabSheetButton").DefaultTexture("TSBTN_ALL");
  return info;
}

const TVXThemeClass& TVXCheckBox::StaticThemeClass() {
  static const TVXThemeClass info =
      TVXThemeClassBuilder<TVXCheckBox, TVXImage>("TVXCheckBox").Keys(TextThemeKeys()).DefaultTexture("CB_ALL");
  return info;
}
