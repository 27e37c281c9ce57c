// Layout, painting, hit tests and text queries of the document's sections.
#include <algorithm>

#include "core/StrUtils.h"
#include "html/HtmlDocument.h"
#include "html/HtmlIndent.h"
#include "html/HtmlPictures.h"

using namespace html;

// ---- defaults of the section base ----

int TSectionBase::DrawLogic(IndentManager&, int y, int&) {
  Y = y;
  SectionHeight = DrawHeight = 0;
  return 0;
}
void TSectionBase::Draw(vx::Canvas&, const vx::TRect&, int, int) const {}
void TSectionBase::MinMaxWidth(int& min, int& max) { min = max = 0; }
int TSectionBase::NumberCursors(int curs) {
  StartCurs = curs;
  Len = 0;
  return curs;
}
bool TSectionBase::HitTest(int, int, THit&) const { return false; }
int TSectionBase::FindCursor(int, int) const { return -1; }
bool TSectionBase::CursorToXY(int, int&, int&) const { return false; }
int TSectionBase::FindString(int, std::string_view, bool) const { return -1; }
int TSectionBase::FindSourcePos(int) const { return -1; }
int TSectionBase::FindDocPos(int, bool) const { return -1; }
bool TSectionBase::GetChAtPos(int, char&, const void*&) const { return false; }
void TSectionBase::CopyText(std::string&, int, int) const {}

// ---- spacing sections and rules ----

int TParagraphSpace::DrawLogic(IndentManager&, int y, int&) {
  Y = y;
  SectionHeight = DrawHeight = MulDiv(14, Doc->FontSize, 12);
  return SectionHeight;
}

void TParagraphSpace::CopyText(std::string& out, int selStart, int selEnd) const {
  if (StartCurs > selStart && StartCurs < selEnd) out += "\r\n";
}

int THeadingSpace::DrawLogic(IndentManager&, int y, int&) {
  static constexpr int kHeights[6] = {16, 12, 10, 8, 6, 4};
  Y = y;
  SectionHeight = DrawHeight = MulDiv(kHeights[std::clamp(Level, 1, 6) - 1], Doc->FontSize, 12);
  return SectionHeight;
}

void THeadingSpace::CopyText(std::string& out, int selStart, int selEnd) const {
  if (StartCurs > selStart && StartCurs < selEnd) out += "\r\n";
}

int THorzLine::DrawLogic(IndentManager& im, int y, int&) {
  Y = y;
  im.SetLevel(ListLevel, y);
  const int left = im.LeftIndent(y), right = im.RightIndent(y), avail = std::max(0, right - left);
  if (!Width) {
    DrawWidth = std::max(0, avail - 20);
    DrawX = left + 10;
  } else {
    DrawWidth = Percent ? MulDiv(avail, Width, 100) : std::min(Width, avail);
    DrawX = Align == 1 ? left : Align == 3 ? right - DrawWidth : left + (avail - DrawWidth) / 2;
  }
  SectionHeight = DrawHeight = MulDiv(20, Doc->FontSize, 12) - 2 + Size;
  return SectionHeight;
}

void THorzLine::Draw(vx::Canvas& canvas, const vx::TRect&, int dx, int dy) const {
  const int top = Y + dy + (SectionHeight - Size) / 2;
  const vx::TRect r{DrawX + dx, top, DrawX + dx + DrawWidth, top + Size};
  if (HasColor) {
    canvas.FillRect(r, Color);
    return;
  }
  const TColor dark = NoShade ? vx::clBlack : vx::clBtnShadow;
  const TColor light = NoShade ? vx::clBlack : Doc->WhiteBackground() ? vx::clSilver : vx::clBtnHighlight;
  canvas.Frame3D(r, dark, light);
}

// ---- pictures ----

void TImageObj::SetSize(int availableWidth) {
  const int pw = Picture ? Picture->Width : 0, ph = Picture ? Picture->Height : 0;
  int w = SpecWidth ? (WidthPercent ? MulDiv(SpecWidth, std::max(0, availableWidth), 100) : SpecWidth) : 0;
  int h = SpecHeight;
  if (w && !h && pw > 0) h = MulDiv(w, ph, pw);
  if (h && !w && ph > 0) w = MulDiv(h, pw, ph);
  if (!Picture) {
    // The placeholder holds the error sign and the ALT text beside it.
    int alt = 0;
    if (!Alt.empty() && doc_) alt = 24 + doc_->Fonts->Font(AltFontSpec())->TextWidth(Alt);
    if (!w) w = std::max(24, std::min(alt, 400));
    if (!h) h = 24;
  }
  ImageWidth = std::clamp(w ? w : pw, 1, 4000);
  ImageHeight = std::clamp(h ? h : ph, 1, 4000);
}

vx::FontSpec TImageObj::AltFontSpec() {
  vx::FontSpec s;
  s.Name = "Arial";
  s.Size = 8;
  return s;
}

void TImageObj::Draw(vx::Canvas& canvas, int dx, int dy) const {
  if (!doc_) return;
  const vx::TRect r{DrawX + dx, DrawY + dy, DrawX + dx + ImageWidth, DrawY + dy + ImageHeight};
  if (Border > 0) {
    const TColor c = Url ? doc_->HotSpotColor : doc_->FontColor;
    for (int i = 1; i <= Border; ++i) canvas.FrameRect({r.Left - i, r.Top - i, r.Right + i, r.Bottom + i}, c);
  }
  if (Picture && doc_->ViewImages) {
    canvas.StretchDraw(r, Picture->View(), {0, 0, Picture->Width, Picture->Height},
                       Transparent || Picture->Mask ? Picture->Mask.get() : nullptr);
    return;
  }
  canvas.Frame3D(r, vx::clBtnShadow, vx::clBtnHighlight);
  if (!doc_->ViewImages) return;
  canvas.PushClip(r);
  // The error sign: a small red cross in a white box, then the ALT text word-wrapped.
  const vx::TRect sign{r.Left + 4, r.Top + 4, r.Left + 16, r.Top + 16};
  canvas.FillRect(sign, vx::clWhite);
  canvas.FrameRect(sign, vx::clGrayText);
  canvas.Line(sign.Left + 3, sign.Top + 3, sign.Right - 3, sign.Bottom - 3, vx::clRed);
  canvas.Line(sign.Right - 4, sign.Top + 3, sign.Left + 2, sign.Bottom - 3, vx::clRed);
  if (!Alt.empty()) {
    auto font = doc_->Fonts->Font(AltFontSpec());
    const int lineH = font->Metrics().Height;
    int y = r.Top + 4;
    size_t i = 0;
    while (i < Alt.size() && y + lineH <= r.Bottom) {
      const int avail = r.Right - (r.Left + 20) - 2;
      size_t n = static_cast<size_t>(std::max(1, font->FitCount(std::string_view(Alt).substr(i), avail)));
      if (i + n < Alt.size()) {
        const size_t sp = Alt.rfind(' ', i + n);
        if (sp != std::string::npos && sp > i) n = sp - i + 1;
      }
      font->TextOut(canvas, r.Left + 20, y + font->Metrics().Ascent, std::string_view(Alt).substr(i, n), doc_->FontColor);
      i += n;
      y += lineH;
    }
  }
  canvas.PopClip();
}

// ---- text sections ----

namespace {

bool IsObject(char c) { return c == TSection::kImageChar || c == TSection::kFormChar; }

const char* const kRomanLower[21] = {"",   "i",   "ii",   "iii", "iv", "v",   "vi",   "vii",   "viii", "ix", "x",
                                     "xi", "xii", "xiii", "xiv", "xv", "xvi", "xvii", "xviii", "xix",  "xx"};

}  // namespace

std::string TSection::ListLabel(int number, char style) {
  if ((style == 'i' || style == 'I') && number >= 1 && number <= 20) {
    std::string s = kRomanLower[number];
    return style == 'I' ? vx::UpperCase(s) : s;
  }
  if ((style == 'a' || style == 'A') && number >= 1) {
    std::string s;
    for (int n = number; n > 0; n = (n - 1) / 26) s.insert(s.begin(), static_cast<char>((style == 'A' ? 'A' : 'a') + (n - 1) % 26));
    return s;
  }
  return std::to_string(number);
}

TImageObj* TSection::ImageAt(int pos) const {
  auto it = std::lower_bound(Images.begin(), Images.end(), pos, [](const auto& img, int p) { return img->Pos < p; });
  return it != Images.end() && (*it)->Pos == pos ? it->get() : nullptr;
}

TFormControlObj* TSection::ControlAt(int pos) const {
  auto it = std::lower_bound(FormControls.begin(), FormControls.end(), pos, [](const TFormControlObj* c, int p) { return c->Pos < p; });
  return it != FormControls.end() && (*it)->Pos == pos ? *it : nullptr;
}

int TSection::FontAt(int index) const {
  int f = 0;
  for (size_t i = 1; i < Fonts.size() && Fonts[i].Pos <= index; ++i) f = static_cast<int>(i);
  return f;
}

int TSection::DrawLogic(IndentManager& im, int y, int& maxWidth) {
  ++Doc->LayoutCalls;
  Y = y;
  Lines.clear();
  im.SetLevel(ListLevel, y, IndentWidth);
  TextLeft = im.LeftIndent(y);
  const int n = static_cast<int>(Text.size());
  if (n == 0) {
    SectionHeight = DrawHeight = 0;
    return 0;
  }
  // Pictures sized for the column; every character's width once.
  const int indent = im.LeftIndent(y) - im.LeftEdge;
  const int avail0 = im.RightIndent(y) - im.LeftIndent(y);
  for (auto& img : Images) {
    img->SetSize(avail0);
    img->Placed = false;
    maxWidth = std::max(maxWidth, img->TotalWidth() + indent);
  }
  for (TFormControlObj* fc : FormControls) maxWidth = std::max(maxWidth, fc->Width + indent);
  Widths.assign(Text.size(), 0);
  {
    size_t f = 0, img = 0, fc = 0;
    for (int i = 0; i < n; ++i) {
      while (f + 1 < Fonts.size() && Fonts[f + 1].Pos <= i) ++f;
      const char c = Text[static_cast<size_t>(i)];
      if (c == kImageChar && img < Images.size()) {
        const TImageObj& im2 = *Images[img++];
        Widths[static_cast<size_t>(i)] = im2.Floating() ? 0 : im2.TotalWidth();
      } else if (c == kFormChar && fc < FormControls.size()) {
        Widths[static_cast<size_t>(i)] = FormControls[fc++]->Width;
      } else if (Fonts[f].Face) {
        Widths[static_cast<size_t>(i)] = Fonts[f].Face->Advance(static_cast<uint8_t>(c));
      }
    }
  }
  auto imageAt = [this](int pos) { return ImageAt(pos); };
  auto placeFloat = [&](TImageObj* img, int at) {
    if (!img || !img->Floating() || img->Placed) return;
    const int x = img->Align == TImageAlign::Left ? im.AddLeftFloat(at, img->TotalWidth(), img->TotalHeight())
                                                  : im.AddRightFloat(at, img->TotalWidth(), img->TotalHeight());
    img->DrawX = x + img->HSpace + img->Border;
    img->DrawY = at + img->VSpace + img->Border;
    img->Placed = true;
  };
  int cur = y;
  if (Clear) {
    const int c = Clear == 1 ? im.ClearLeft() : Clear == 2 ? im.ClearRight() : im.ImageBottom();
    cur = std::max(cur, c);
  }
  const bool pre = Preformatted();
  int pos = 0;
  while (pos < n) {
    // Floats at the start of the line are placed before the line is fitted.
    for (int k = pos; k < n && Text[static_cast<size_t>(k)] == kImageChar; ++k) {
      TImageObj* img = imageAt(k);
      if (!img || !img->Floating()) break;
      placeFloat(img, cur);
    }
    const int left = im.LeftIndent(cur), right = pre ? left + 32000 : im.RightIndent(cur);
    const int avail = right - left;
    int w = 0, i = pos;
    bool hardEnd = false;
    while (i < n) {
      if (pre && Text[static_cast<size_t>(i)] == '\r') {
        hardEnd = true;
        break;
      }
      const int cw = Widths[static_cast<size_t>(i)];
      if (w + cw > avail && i > pos) break;
      w += cw;
      ++i;
    }
    int end;
    if (hardEnd) {
      end = i + 1;
    } else if (i >= n) {
      end = n;
    } else if (Text[static_cast<size_t>(i)] == ' ') {
      end = i;
      while (end < n && Text[static_cast<size_t>(end)] == ' ') ++end;
    } else if (IsObject(Text[static_cast<size_t>(i)])) {
      end = i;
    } else {
      int b = i - 1;
      while (b >= pos && Text[static_cast<size_t>(b)] != ' ' && !IsObject(Text[static_cast<size_t>(b)])) --b;
      if (b >= pos) {
        end = b + 1;
      } else {
        // One word wider than the column: it overflows the line.
        end = i;
        while (end < n && Text[static_cast<size_t>(end)] != ' ' && !IsObject(Text[static_cast<size_t>(end)])) ++end;
        while (end < n && Text[static_cast<size_t>(end)] == ' ') ++end;
      }
    }
    end = std::max(end, pos + 1);
    LineRec line;
    line.Start = pos;
    line.Ln = end - pos;
    line.Y = cur;
    int drawEnd = end;
    while (drawEnd > pos && (Text[static_cast<size_t>(drawEnd - 1)] == ' ' || Text[static_cast<size_t>(drawEnd - 1)] == '\r')) --drawEnd;
    for (int k = pos; k < drawEnd; ++k) line.LineWidth += Widths[static_cast<size_t>(k)];
    maxWidth = std::max(maxWidth, line.LineWidth + (left - im.LeftEdge));
    for (int f = FontAt(pos); f < static_cast<int>(Fonts.size()) && Fonts[static_cast<size_t>(f)].Pos < end; ++f) {
      if (!Fonts[static_cast<size_t>(f)].Face) continue;
      const vx::FontMetrics& m = Fonts[static_cast<size_t>(f)].Face->Metrics();
      line.LineHt = std::max(line.LineHt, m.Height);
      line.Descent = std::max(line.Descent, m.Descent);
    }
    const bool objects = !Images.empty() || !FormControls.empty();
    for (int k = pos; objects && k < end; ++k) {
      const char c = Text[static_cast<size_t>(k)];
      if (c == kImageChar) {
        TImageObj* img = imageAt(k);
        if (!img || img->Floating()) continue;
        const int h = img->TotalHeight();
        if (img->Align == TImageAlign::Bottom) {
          line.SpaceBefore = std::max(line.SpaceBefore, h - line.LineHt);
        } else if (img->Align == TImageAlign::Middle) {
          const int excess = h - line.LineHt;
          line.SpaceBefore = std::max(line.SpaceBefore, excess / 2);
          line.SpaceAfter = std::max(line.SpaceAfter, excess - excess / 2);
        } else {
          line.SpaceAfter = std::max(line.SpaceAfter, h + line.Descent - line.LineHt);
        }
      } else if (TFormControlObj* fc = c == kFormChar ? ControlAt(k) : nullptr) {
        // A control stands on the baseline: what rises above the text's ascent is room
        // before the line (the line is as high as with the control hanging from its top).
        line.SpaceBefore = std::max(line.SpaceBefore, fc->Height - (line.LineHt - line.Descent));
      }
    }
    line.LineIndent = Align == 2 ? std::max(left, (left + right - line.LineWidth) / 2)
                    : Align == 3 ? right - line.LineWidth - 1
                                 : left;
    // Objects on the line get their places.
    int x = line.LineIndent;
    for (int k = pos; objects && k < end; ++k) {
      const char c = Text[static_cast<size_t>(k)];
      if (c == kImageChar) {
        TImageObj* img = imageAt(k);
        if (img && !img->Floating()) {
          img->DrawX = x + img->HSpace + img->Border;
          // A bottom-aligned picture stands on the line's bottom, so that it never reaches
          // into the line above.
          const int top = img->Align == TImageAlign::Bottom ? cur + line.SpaceBefore + line.LineHt - img->TotalHeight()
                        : img->Align == TImageAlign::Middle ? cur + line.SpaceBefore + (line.LineHt - img->TotalHeight()) / 2
                                                            : cur + line.SpaceBefore;
          img->DrawY = top + img->VSpace + img->Border;
          img->Placed = true;
        }
      } else if (TFormControlObj* fc = c == kFormChar ? ControlAt(k) : nullptr) {
        fc->X = x, fc->Y = cur + line.SpaceBefore + line.LineHt - line.Descent - fc->Height;
      }
      x += Widths[static_cast<size_t>(k)];
    }
    cur += line.Height();
    Lines.push_back(line);
    // Floats inside the line hold from the line on.
    for (int k = pos; objects && k < end; ++k)
      if (Text[static_cast<size_t>(k)] == kImageChar) placeFloat(imageAt(k), line.Y);
    pos = end;
  }
  SectionHeight = cur - Y;
  // A list item reaches below the floats of its level, so that the next bullet stands in the
  // list's indent and not over a float.
  if (GetKind() == Kind::UListItem || GetKind() == Kind::OListItem || GetKind() == Kind::DListItem)
    SectionHeight = std::max(SectionHeight, im.LevelFloatBottom(ListLevel) - Y);
  DrawHeight = std::max(SectionHeight, im.ImageBottom() - Y);
  return SectionHeight;
}

void TSection::ShiftY(int dy) {
  Y += dy;
  for (LineRec& l : Lines) l.Y += dy;
  for (auto& img : Images) img->DrawY += dy;
  for (TFormControlObj* fc : FormControls) fc->Y += dy;
}

void TSection::MinMaxWidth(int& min, int& max) {
  ++Doc->LayoutCalls;
  min = max = 0;
  int word = 0, line = 0;
  size_t f = 0, img = 0;
  for (size_t i = 0; i <= Text.size(); ++i) {
    const char c = i < Text.size() ? Text[i] : ' ';
    while (f + 1 < Fonts.size() && Fonts[f + 1].Pos <= static_cast<int>(i)) ++f;
    int cw = 0;
    if (c == kImageChar && img < Images.size()) {
      TImageObj& im = *Images[img++];
      im.SetSize(0);
      cw = im.TotalWidth();
      min = std::max(min, cw);
      if (im.Floating()) {
        max += cw;
        continue;
      }
    } else if (TFormControlObj* fc = c == kFormChar ? ControlAt(static_cast<int>(i)) : nullptr) {
      // A control never breaks: a column narrower than it would cut it off.
      cw = fc->Width;
      min = std::max(min, cw);
    } else if (i < Text.size() && Fonts[f].Face && c != '\r') {
      cw = Fonts[f].Face->Advance(static_cast<uint8_t>(c));
    }
    const bool hardEnd = i == Text.size() || (Preformatted() && c == '\r');
    if (c == ' ' || IsObject(c) || hardEnd) {
      min = std::max(min, word);
      word = 0;
    } else {
      word += cw;
    }
    if (!hardEnd) line += cw;
    if (hardEnd) {
      max = std::max(max, line);
      line = 0;
    }
    if (Preformatted()) min = max = std::max(max, line);
  }
  const int indent = ListLevel * IndentWidth;
  min += indent;
  max = std::max(max, min - indent) + indent;
}

int TSection::NumberCursors(int curs) {
  StartCurs = curs;
  Len = static_cast<int>(Text.size());
  return curs + Len;
}

void TSection::DrawRun(vx::Canvas& canvas, const TFontObj& f, int x, int baseline, std::string_view text, bool selected) const {
  if (!f.Face || text.empty()) return;
  const vx::FontMetrics& m = f.Face->Metrics();
  if (f.State == TSubSup::Sub) baseline += m.Descent / 2 + 1;
  else if (f.State == TSubSup::Sup) baseline -= (m.Height + m.ExternalLeading) / 3;
  TColor color = f.Font.Color;
  if (f.Url) {
    color = Doc->OverLinksActive && Doc->OverUrl == f.Url.get() ? Doc->OverColor : f.Visited ? Doc->VisitedColor : Doc->HotSpotColor;
  }
  if (selected) {
    const TColor bg = Doc->Background;
    f.Face->TextOut(canvas, x, baseline, text, bg, &color);
  } else {
    f.Face->TextOut(canvas, x, baseline, text, color);
  }
}

void TSection::DrawBullet(vx::Canvas& canvas, int dx, int dy) const {
  if (Lines.empty() || Fonts.empty() || !Fonts[0].Face) return;
  const LineRec& l = Lines[0];
  if (GetKind() == Kind::UListItem && !NoBullet) {
    const int cx = TextLeft - 8 + dx, cy = l.Y + dy + l.Height() / 2;
    const vx::TRect r{cx - 2, cy - 2, cx + 3, cy + 3};
    // Filled by the item's own list level (a top-level list's items stand at level 1, so they
    // are navy); deeper than level 5 there is no colour, and the circle stays hollow.
    static constexpr TColor kLevelColors[6] = {vx::clRed, vx::clNavy, vx::clMaroon, vx::clRed, vx::clNavy, vx::clMaroon};
    const int level = ListLevel;
    if (Doc->LightBackground() && level >= 0 && level < 6) canvas.Ellipse(r, kLevelColors[level], &kLevelColors[level]);
    else canvas.Ellipse(r, Fonts[0].Font.Color, nullptr);
  } else if (GetKind() == Kind::OListItem) {
    const std::string label = ListLabel(ListNumber, ListStyle) + ".";
    const int w = Fonts[0].Face->TextWidth(label);
    Fonts[0].Face->TextOut(canvas, TextLeft - 5 - w + dx, l.Y + dy + l.SpaceBefore + l.LineHt - l.Descent, label, Fonts[0].Font.Color);
  }
}

void TSection::Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const {
  for (const auto& img : Images)
    if (img->Floating() && img->Placed) img->Draw(canvas, dx, dy);
  if (!Lines.empty() && Lines[0].Y + dy < clip.Bottom && Lines[0].Y + dy + Lines[0].Height() >= clip.Top) DrawBullet(canvas, dx, dy);
  for (const LineRec& l : Lines) {
    const int top = l.Y + dy;
    if (top >= clip.Bottom) break;
    if (top + l.Height() < clip.Top) continue;
    const int baseline = top + l.SpaceBefore + l.LineHt - l.Descent;
    int x = l.LineIndent + dx;
    int k = l.Start;
    // Trailing spaces take no ink (no underline past the last word).
    int end = l.Start + l.Ln;
    while (end > k && Text[static_cast<size_t>(end - 1)] == ' ') --end;
    while (k < end) {
      const char c = Text[static_cast<size_t>(k)];
      if (c == kImageChar) {
        if (const TImageObj* img = ImageAt(k); img && !img->Floating()) img->Draw(canvas, dx, dy);
        x += Widths[static_cast<size_t>(k)];
        ++k;
        continue;
      }
      if (c == kFormChar) {
        if (TFormControlObj* fc = ControlAt(k)) {
          fc->Draw(canvas, dx, dy);
          fc->Shown = true;
        }
      }
      if (c == kFormChar || c == '\r') {
        x += Widths[static_cast<size_t>(k)];
        ++k;
        continue;
      }
      // A run: one font, one selection state, no objects.
      const int f = FontAt(k);
      const int fontEnd = static_cast<size_t>(f + 1) < Fonts.size() ? Fonts[static_cast<size_t>(f + 1)].Pos : end;
      const bool selected = StartCurs + k >= Doc->SelStart && StartCurs + k < Doc->SelEnd;
      int j = k;
      int w = 0;
      while (j < std::min(end, fontEnd) && !IsObject(Text[static_cast<size_t>(j)]) && Text[static_cast<size_t>(j)] != '\r' &&
             (StartCurs + j >= Doc->SelStart && StartCurs + j < Doc->SelEnd) == selected)
        w += Widths[static_cast<size_t>(j++)];
      DrawRun(canvas, Fonts[static_cast<size_t>(f)], x, baseline, std::string_view(Text).substr(static_cast<size_t>(k), static_cast<size_t>(j - k)), selected);
      x += w;
      k = j;
    }
  }
}

bool TSection::HitTest(int x, int y, THit& hit) const {
  for (const auto& img : Images)
    if (img->Placed && x >= img->DrawX && x < img->DrawX + img->ImageWidth && y >= img->DrawY && y < img->DrawY + img->ImageHeight) {
      hit.Image = img.get();
      hit.ImageX = x - img->DrawX;
      hit.ImageY = y - img->DrawY;
      hit.Url = img->Url;
      return true;
    }
  for (TFormControlObj* fc : FormControls)
    if (x >= fc->X && x < fc->X + fc->Width && y >= fc->Y && y < fc->Y + fc->Height) {
      hit.Control = fc;
      return true;
    }
  const int index = FindCursor(x, y);
  if (index < 0) return false;
  const int local = index - StartCurs;
  if (local >= static_cast<int>(Text.size())) return false;
  // Only a point over the characters themselves, not beyond the line's end.
  int cx = 0, cy = 0;
  CursorToXY(index, cx, cy);
  if (x < cx || x >= cx + Widths[static_cast<size_t>(local)]) return false;
  hit.Url = Fonts[static_cast<size_t>(FontAt(local))].Url;
  return hit.Url != nullptr;
}

int TSection::FindCursor(int x, int y) const {
  for (const LineRec& l : Lines) {
    if (y < l.Y || y >= l.Y + l.Height()) continue;
    int cx = l.LineIndent;
    for (int k = l.Start; k < l.Start + l.Ln; ++k) {
      const int w = Widths[static_cast<size_t>(k)];
      if (x < cx + w) return StartCurs + k;
      cx += w;
    }
    return StartCurs + l.Start + std::max(0, l.Ln - 1);
  }
  return -1;
}

bool TSection::CursorToXY(int index, int& x, int& y) const {
  const int local = index - StartCurs;
  for (const LineRec& l : Lines) {
    if (local < l.Start || local >= l.Start + l.Ln) continue;
    x = l.LineIndent;
    for (int k = l.Start; k < local; ++k) x += Widths[static_cast<size_t>(k)];
    y = l.Y;
    return true;
  }
  return false;
}

int TSection::FindString(int from, std::string_view text, bool matchCase) const {
  const int start = std::max(0, from - StartCurs);
  if (text.empty() || start >= static_cast<int>(Text.size())) return -1;
  const std::string hay = matchCase ? Text : vx::UpperCase(Text);
  const size_t at = hay.find(text, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : StartCurs + static_cast<int>(at);
}

int TSection::FindSourcePos(int index) const {
  const int local = index - StartCurs;
  return local >= 0 && local < static_cast<int>(SourcePos.size()) ? SourcePos[static_cast<size_t>(local)] : -1;
}

int TSection::FindDocPos(int sourcePos, bool prev) const {
  int best = -1;
  for (size_t i = 0; i < SourcePos.size(); ++i) {
    if (SourcePos[i] < 0) continue;
    if (!prev && SourcePos[i] >= sourcePos) return StartCurs + static_cast<int>(i);
    if (prev && SourcePos[i] <= sourcePos) best = StartCurs + static_cast<int>(i);
  }
  return best;
}

bool TSection::GetChAtPos(int index, char& ch, const void*& obj) const {
  const int local = index - StartCurs;
  if (local < 0 || local >= static_cast<int>(Text.size())) return false;
  ch = Text[static_cast<size_t>(local)];
  obj = ImageAt(local);
  if (!obj) obj = ControlAt(local);
  return true;
}

void TSection::CopyText(std::string& out, int selStart, int selEnd) const {
  const int from = std::max(selStart, StartCurs), to = std::min(selEnd, StartCurs + Len);
  if (from >= to) return;
  if (GetKind() == Kind::UListItem || GetKind() == Kind::OListItem || GetKind() == Kind::DListItem)
    out.append(static_cast<size_t>(2 * std::max(0, ListLevel)), ' ');
  for (int i = from; i < to; ++i) {
    const char c = Text[static_cast<size_t>(i - StartCurs)];
    if (c == '\r') out += "\r\n";
    else if (!IsObject(c)) out += c == '\xA0' ? ' ' : c;
  }
  out += "\r\n";
}

// ---- cells and the document ----

int TCell::DrawLogic(int x, int y, int width, int& maxWidth, int& drawHeight) {
  IndentManager im(x, x + width);
  int cur = y;
  for (auto& s : Sections) cur += s->DrawLogic(im, cur, maxWidth);
  drawHeight = std::max(cur, im.ImageBottom());
  return cur - y;
}

void TCell::Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const {
  for (const auto& s : Sections) {
    const int top = s->Y + dy;
    if (top >= clip.Bottom) break;
    if (top + std::max(s->DrawHeight, s->SectionHeight) < clip.Top) continue;
    s->Draw(canvas, clip, dx, dy);
  }
}

void TCell::ShiftY(int dy) {
  for (auto& s : Sections) s->ShiftY(dy);
}

void TCell::MinMaxWidth(int& min, int& max) {
  min = max = 0;
  for (auto& s : Sections) {
    int a = 0, b = 0;
    s->MinMaxWidth(a, b);
    min = std::max(min, a);
    max = std::max(max, b);
  }
}

int TCell::NumberCursors(int curs) {
  for (auto& s : Sections) curs = s->NumberCursors(curs);
  return curs;
}

bool TCell::HitTest(int x, int y, THit& hit) const {
  for (const auto& s : Sections)
    if (y >= s->Y && y < s->Y + std::max(s->SectionHeight, s->DrawHeight) && s->HitTest(x, y, hit)) return true;
  return false;
}

int TCell::FindCursor(int x, int y) const {
  for (const auto& s : Sections)
    if (y >= s->Y && y < s->Y + std::max(s->SectionHeight, s->DrawHeight))
      if (int i = s->FindCursor(x, y); i >= 0) return i;
  return -1;
}

bool TCell::CursorToXY(int index, int& x, int& y) const {
  for (const auto& s : Sections)
    if (s->CursorToXY(index, x, y)) return true;
  return false;
}

int TCell::FindString(int from, std::string_view text, bool matchCase) const {
  const std::string needle = matchCase ? std::string(text) : vx::UpperCase(text);
  for (const auto& s : Sections)
    if (s->StartCurs + s->Len > from || s->GetKind() == TSectionBase::Kind::Table)
      if (int i = s->FindString(from, needle, matchCase); i >= 0) return i;
  return -1;
}

int TCell::FindSourcePos(int index) const {
  for (const auto& s : Sections)
    if (int p = s->FindSourcePos(index); p >= 0) return p;
  return -1;
}

int TCell::FindDocPos(int sourcePos, bool prev) const {
  int best = -1;
  for (const auto& s : Sections) {
    const int i = s->FindDocPos(sourcePos, prev);
    if (i < 0) continue;
    if (!prev) return i;
    best = i;
  }
  return best;
}

bool TCell::GetChAtPos(int index, char& ch, const void*& obj) const {
  for (const auto& s : Sections)
    if (s->GetChAtPos(index, ch, obj)) return true;
  return false;
}

void TCell::CopyText(std::string& out, int selStart, int selEnd) const {
  for (const auto& s : Sections) s->CopyText(out, selStart, selEnd);
}

vx::FontSpec TSectionList::SpecOf(const TMyFont& f) const {
  vx::FontSpec s;
  s.Name = f.Name;
  s.Size = std::max(1, MulDiv(FontSize, f.TableSize, 12));
  s.Bold = f.Bold, s.Italic = f.Italic, s.Underline = f.Underline, s.StrikeOut = f.StrikeOut;
  s.Charset = f.Charset;
  return s;
}

namespace {

void ForSections(TCell& cell, const std::function<void(TSectionBase&)>& f) {
  for (auto& s : cell.Sections) {
    f(*s);
    if (auto* t = SectionCast<ThtmlTable>(s.get())) {
      if (t->Caption) ForSections(t->Caption->Cell, f);
      t->ForEachCell([&](TCellObj& c) { ForSections(c.Cell, f); });
    }
  }
}

}  // namespace

void TSectionList::UpdateFonts() {
  ForSections(*this, [this](TSectionBase& s) {
    if (auto* t = SectionCast<TSection>(&s)) {
      for (TFontObj& f : t->Fonts) {
        f.Font.Size = std::max(1, MulDiv(FontSize, f.Font.TableSize, 12));
        f.Face = Fonts->Font(SpecOf(f.Font));
      }
    }
  });
}

void TSectionList::ApplyDefaultFonts() {
  ForSections(*this, [this](TSectionBase& s) {
    if (auto* t = SectionCast<TSection>(&s))
      for (TFontObj& f : t->Fonts) {
        f.Font.Name = f.Font.Fixed ? PreFontName : FontName;
        f.Font.Charset = Charset;
      }
  });
}

int TSectionList::DoLogic(int y, int width) {
  ++Generation;
  LayoutCalls = 0;
  UpdateFonts();
  ForSections(*this, [this](TSectionBase& s) {
    auto* t = SectionCast<TSection>(&s);
    if (!t) return;
    for (auto& img : t->Images) {
      img->SetDocument(this);
      if (ViewImages && GetPicture && !img->Picture && !img->LoadFailed) {
        img->Picture = GetPicture(img->Source);
        img->LoadFailed = !img->Picture;
        // TRANSP: the picture's own bottom-left colour is see-through.
        if (img->Picture && img->Transparent && !img->Picture->Mask && !img->Picture->Animate)
          img->Picture = WithOwnColorMask(*img->Picture);
      }
    }
  });
  // Form controls take their initial values once, and their sizes at every layout.
  for (auto& form : Forms) {
    form->Doc = this;
    for (auto& c : form->Controls) {
      if (!c->Initialised) c->ResetToValue();
      c->Initialised = true;
      c->SetFont(*this);
    }
  }
  TotalChars = NumberCursors(0);
  int maxWidth = 0, drawHeight = 0;
  const int h = TCell::DrawLogic(0, y, width, maxWidth, drawHeight);
  ScrollWidth = std::max(width, maxWidth);
  return std::max(h, drawHeight - y);
}

void TSectionList::DrawDocument(vx::Canvas& canvas, const vx::TRect& clip, int dx, int scrollY) {
  // The lines painted show their controls; every other control is out of sight until a
  // draw paints its line again.
  ForEachControl([](TFormControlObj& c) { c.Shown = false; });
  Draw(canvas, clip, dx, -scrollY);
  ForEachControl([](TFormControlObj& c) {
    if (!c.Shown) c.Hide();
  });
  DrawFormOverlay(canvas, dx, scrollY);
}

bool TSectionList::WhiteBackground() const { return vx::ColorToRGB(Background) == 0xFFFFFF; }

bool TSectionList::LightBackground() const {
  const TColor rgb = vx::ColorToRGB(Background);
  return rgb == 0xFFFFFF || rgb == 0xC0C0C0 || rgb == vx::SysColor(vx::COLOR_BTNFACE);
}

bool TSectionList::GetURL(int x, int y, TUrlTarget& link, TFormControlObj*& control) const {
  THit hit;
  control = nullptr;
  if (!HitTest(x, y, hit)) return false;
  if (hit.Control) {
    control = hit.Control;
    return true;
  }
  if (hit.Image && !hit.Image->UseMap.empty()) {
    const std::string name = vx::UpperCase(hit.Image->UseMap);
    for (const auto& map : Maps)
      if (map->Name == name) return map->HitTest(hit.ImageX, hit.ImageY, link);
  }
  if (!hit.Url) return false;
  link = *hit.Url;
  if (hit.Image && hit.Image->IsMap) link.Url += "?" + std::to_string(hit.ImageX) + "," + std::to_string(hit.ImageY);
  return true;
}

void TSectionList::MarkVisited(const std::function<bool(const std::string& url)>& visited) {
  ForSections(*this, [&](TSectionBase& s) {
    if (auto* t = SectionCast<TSection>(&s))
      for (TFontObj& f : t->Fonts)
        if (f.Url) f.Visited = visited(f.Url->Url);
  });
}

bool TSectionList::HasAnimations() const {
  bool any = false;
  ForSections(const_cast<TSectionList&>(*this), [&](TSectionBase& s) {
    if (auto* t = SectionCast<TSection>(&s))
      for (const auto& img : t->Images) any |= img->Picture && static_cast<bool>(img->Picture->Animate);
  });
  return any;
}

bool TSectionList::AnimationTick(uint32_t nowMs) {
  bool changed = false;
  ForSections(*this, [&](TSectionBase& s) {
    if (auto* t = SectionCast<TSection>(&s))
      for (const auto& img : t->Images)
        if (img->Picture && img->Picture->Animate) changed |= img->Picture->Animate(nowMs);
  });
  return changed;
}

int TSectionList::SectionAtY(int y, int& topY) const {
  for (size_t i = 0; i < Sections.size(); ++i) {
    const TSectionBase& s = *Sections[i];
    if (y < s.Y + std::max(s.SectionHeight, 1) || i + 1 == Sections.size()) {
      topY = s.Y;
      return static_cast<int>(i);
    }
  }
  topY = 0;
  return -1;
}

int TSectionList::SectionTop(int index) const {
  return index >= 0 && static_cast<size_t>(index) < Sections.size() ? Sections[static_cast<size_t>(index)]->Y : -1;
}

int TSectionList::AnchorY(const std::string& name) const {
  for (const TAnchor& a : Anchors) {
    if (a.Name != name) continue;
    int x = 0, y = 0;
    if (a.Section->CursorToXY(a.Section->StartCurs + a.Pos, x, y)) return y;
    return a.Section->Y;
  }
  return -1;
}
