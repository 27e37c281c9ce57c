#include "html/HtmlDocument.h"

#include <algorithm>
#include <cstdio>

#include "core/StrUtils.h"

using namespace html;

const TAttribute* TAttributeList::Find(Attr which) const {
  for (const TAttribute& a : items_)
    if (a.Which == which) return &a;
  return nullptr;
}

std::string TAttributeList::Str(Attr which) const {
  const TAttribute* a = Find(which);
  return a ? a->String : std::string();
}

namespace {

int Clamp(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

std::string RgbText(TColor c) {
  char buf[16];
  const TColor rgb = vx::ColorToRGB(c);
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
  return buf;
}

const char* AlignText(int align) { return align == 2 ? "center" : align == 3 ? "right" : "left"; }

}  // namespace

TImageObj::TImageObj(const TAttributeList& attrs) {
  for (const TAttribute& a : attrs.Items()) {
    switch (a.Which) {
      case SrcAttr: Source = vx::Trim(a.String); break;
      case AltAttr: Alt = a.String; break;
      case AlignAttr: {
        const std::string s = vx::UpperCase(a.String);
        if (s == "TOP") Align = TImageAlign::Top;
        else if (s == "MIDDLE" || s == "ABSMIDDLE") Align = TImageAlign::Middle;
        else if (s == "LEFT") Align = TImageAlign::Left;
        else if (s == "RIGHT") Align = TImageAlign::Right;
        else Align = TImageAlign::Bottom;
        break;
      }
      // Sizes are clamped here so that no later product can overflow.
      case WidthAttr:
        WidthPercent = !a.String.empty() && a.String.back() == '%';
        SpecWidth = WidthPercent ? Clamp(a.Value, 0, 100) : Clamp(a.Value, 0, 4000);
        break;
      case HeightAttr: SpecHeight = Clamp(a.Value, 0, 4000); break;
      case BorderAttr: Border = Clamp(a.Value, 0, 20); break;
      case HSpaceAttr: HSpace = std::min(40, a.Value == INT32_MIN ? 40 : std::abs(a.Value)); break;
      case VSpaceAttr: VSpace = std::min(40, a.Value == INT32_MIN ? 40 : std::abs(a.Value)); break;
      case IsMapAttr: IsMap = true; break;
      case UseMapAttr: UseMap = a.String.starts_with('#') ? a.String.substr(1) : a.String; break;
      case TranspAttr: Transparent = true; break;
      default: break;
    }
  }
}

TFormControlObj::TFormControlObj(ThtmlForm* form, std::string kind, const TAttributeList& attrs)
    : Form(form), Kind(std::move(kind)) {
  Name = attrs.Str(NameAttr);
  Value = attrs.Str(ValueAttr);
  OnClick = attrs.Str(OnClickAttr);
  Checked = attrs.Find(CheckedAttr) != nullptr;
  Multiple = attrs.Find(MultipleAttr) != nullptr;
  if (const TAttribute* a = attrs.Find(SizeAttr)) Size = Clamp(AttrToInt(a->String.substr(0, a->String.find_first_of(" ,"))), 0, 1000);
  if (const TAttribute* a = attrs.Find(MaxLengthAttr)) MaxLength = Clamp(a->Value, 0, 100000);
  if (const TAttribute* a = attrs.Find(RowsAttr)) Rows = Clamp(a->Value, 1, 1000);
  if (const TAttribute* a = attrs.Find(ColsAttr)) Cols = Clamp(a->Value, 1, 1000);
  Wrap = vx::LowerCase(attrs.Str(WrapAttr));
  if ((Kind == "checkbox" || Kind == "radio") && Value.empty()) Value = "on";
}

ThtmlForm::ThtmlForm(const TAttributeList& attrs) {
  if (const TAttribute* a = attrs.Find(MethodAttr)) Method = a->String;
  Action = attrs.Str(ActionAttr);
  Target = attrs.Str(TargetAttr);
  EncType = attrs.Str(EncTypeAttr);
}

void TMapItem::AddArea(const TAttributeList& attrs) {
  const std::string shape = vx::LowerCase(attrs.Str(ShapeAttr).substr(0, 4));
  // COORDS: numbers separated by commas and/or spaces, at most 301 of them.
  std::vector<int> n;
  const std::string coords = attrs.Str(CoordsAttr);
  size_t i = 0;
  while (i < coords.size() && n.size() < 301) {
    while (i < coords.size() && (coords[i] == ',' || coords[i] == ' ' || coords[i] == '\r')) ++i;
    const size_t start = i;
    while (i < coords.size() && coords[i] != ',' && coords[i] != ' ' && coords[i] != '\r') ++i;
    if (i > start) n.push_back(Clamp(AttrToInt(coords.substr(start, std::min<size_t>(i - start, 20))), -100000, 100000));
  }
  auto at = [&](size_t k) { return k < n.size() ? n[k] : 0; };
  TMapArea area;
  if (shape == "circ") {
    area.Region = vx::Region::Ellipse(at(0) - at(2), at(1) - at(2), at(0) + at(2), at(1) + at(2));
  } else if (shape == "poly") {
    std::vector<vx::TPoint> pts;
    for (size_t k = 0; k + 1 < n.size(); k += 2) pts.push_back({n[k], n[k + 1]});
    area.Region = vx::Region::Polygon(std::move(pts));
  } else {
    area.Region = vx::Region::Rectangle(at(0), at(1), at(2), at(3));
  }
  if (!attrs.Find(NoHrefAttr)) area.Href = attrs.Str(HrefAttr);
  area.Target = attrs.Str(TargetAttr);
  Areas.push_back(std::move(area));
}

TSection::TSection(TSectionList* doc, Kind kind, int listLevel, int align, const TFontObj& font)
    : TSectionBase(doc, kind), Align(align), ListLevel(listLevel) {
  Fonts.push_back(font);
  Fonts.back().Pos = 0;
}

void TSection::Append(char c, int pos) {
  // The buffers grow geometrically: a long paragraph must not cost a copy per few characters.
  Text += c;
  SourcePos.push_back(pos);
}

void TSection::AddText(std::string_view token, const std::vector<int>* positions) {
  auto posAt = [&](size_t i) { return positions && i < positions->size() ? (*positions)[i] : -1; };
  if (Preformatted()) {
    for (size_t i = 0; i < token.size() && Text.size() < static_cast<size_t>(kMaxPreText); ++i) Append(token[i], posAt(i));
    return;
  }
  for (size_t i = 0; i < token.size(); ++i) {
    char c = token[i];
    const char last = Text.empty() ? 0 : Text.back();
    if (c == ' ' && i == 0 && (Text.empty() || last == ' ')) continue;
    if (c == kNobrMarker) {
      const char next = i + 1 < token.size() ? token[i + 1] : 0;
      const bool wordBefore = !Text.empty() && last != ' ' && last != '\xA0';
      if (last == ' ' || next == ' ' || (i > 0 && token[i - 1] == kNobrMarker) || (i == 0 && !wordBefore)) continue;
      c = '\xA0';
    }
    Append(c, posAt(i));
  }
}

void TSection::ChangeFont(const TMyFont& font, std::shared_ptr<TUrlTarget> url, TSubSup state) {
  TFontObj& last = Fonts.back();
  if (last.Font == font && last.Url == url && last.State == state) return;
  if (last.Pos == static_cast<int>(Text.size())) {
    last.Font = font, last.Url = std::move(url), last.State = state;
    // A change back to the run before needs no run of its own.
    if (Fonts.size() > 1) {
      const TFontObj& prev = Fonts[Fonts.size() - 2];
      if (prev.Font == last.Font && prev.Url == last.Url && prev.State == last.State) Fonts.pop_back();
    }
    return;
  }
  Fonts.push_back({static_cast<int>(Text.size()), font, std::move(url), false, state, nullptr});
}

void TSection::AddImage(std::unique_ptr<TImageObj> image) {
  image->Pos = static_cast<int>(Text.size());
  image->Url = Fonts.back().Url;
  Append(kImageChar, -1);
  Images.push_back(std::move(image));
}

void TSection::AddFormControl(TFormControlObj* control) {
  control->Pos = static_cast<int>(Text.size());
  Append(kFormChar, -1);
  FormControls.push_back(control);
}

THorzLine::THorzLine(TSectionList* doc, const TAttributeList& attrs, int listLevel)
    : TSectionBase(doc, Kind::HorzLine), ListLevel(listLevel) {
  for (const TAttribute& a : attrs.Items()) {
    switch (a.Which) {
      case SizeAttr:
        if (a.Value >= 1 && a.Value <= 20) Size = a.Value;
        break;
      case WidthAttr:
        Percent = !a.String.empty() && a.String.back() == '%';
        Width = Percent ? Clamp(a.Value, 0, 100) : Clamp(a.Value, 0, 32000);
        break;
      case AlignAttr: {
        const std::string s = vx::LowerCase(a.String);
        Align = s == "left" ? 1 : s == "right" ? 3 : 2;
        break;
      }
      case ColorAttr:
        if (auto c = ColorFromString(a.String)) Color = *c, HasColor = true;
        break;
      case NoShadeAttr: NoShade = true; break;
      default: break;
    }
  }
}

void TCell::Add(std::unique_ptr<TSectionBase> section) { Sections.push_back(std::move(section)); }

TCellObj::TCellObj(TSectionList* doc, const TAttributeList& attrs, int valign) : VAlign(valign), Cell(doc) {
  for (const TAttribute& a : attrs.Items()) {
    switch (a.Which) {
      case ColSpanAttr:
        if (a.Value > 1) ColSpan = std::min(a.Value, ThtmlTable::kMaxColSpan);
        break;
      case RowSpanAttr:
        // Cut to the rows that remain when the grid is normalised.
        if (a.Value > 1) RowSpan = std::min(a.Value, 10000);
        break;
      case WidthAttr:
        WidthPercent = !a.String.empty() && a.String.back() == '%';
        Width = WidthPercent ? Clamp(a.Value, 0, 100) * 10 : Clamp(a.Value, 0, 32000);
        break;
      case HeightAttr: Height = Clamp(a.Value, 0, 32000); break;
      case BgColorAttr:
        if (auto c = ColorFromString(a.String)) BgColor = *c, HasBgColor = true;
        break;
      default: break;
    }
  }
}

ThtmlTable::ThtmlTable(TSectionList* doc, int listLevel, const TAttributeList& attrs)
    : TSectionBase(doc, Kind::Table), ListLevel(listLevel) {
  for (const TAttribute& a : attrs.Items()) {
    const bool percent = !a.String.empty() && a.String.back() == '%';
    switch (a.Which) {
      case WidthAttr:
        WidthPercent = percent;
        Width = percent ? Clamp(a.Value, 0, 100) * 10 : Clamp(a.Value, 0, 32000);
        break;
      case HeightAttr:
        HeightPercent = percent;
        Height = percent ? Clamp(a.Value, 0, 110) * 10 : Clamp(a.Value, 0, 32000);
        break;
      case BorderAttr: Border = a.Value > 0; break;
      case BorderColorAttr:
        if (auto c = ColorFromString(a.String)) BorderColor = *c, HasBorderColor = true;
        break;
      case BgColorAttr:
        if (auto c = ColorFromString(a.String)) BgColor = *c, HasBgColor = true;
        break;
      case CellPaddingAttr: CellPadding = Clamp(a.Value, 0, 50); break;
      case CellSpacingAttr: CellSpacing = Clamp(a.Value, 0, 40); break;
      case AlignAttr: {
        const std::string s = vx::UpperCase(a.String);
        Align = s == "CENTER" ? 2 : s == "LEFT" ? 1 : s == "RIGHT" ? 3 : Align;
        break;
      }
      case HSpaceAttr: HSpace = a.Value == INT32_MIN ? 40 : std::min(40, std::abs(a.Value)); break;
      case VSpaceAttr: VSpace = a.Value == INT32_MIN ? 200 : std::min(200, std::abs(a.Value)); break;
      default: break;
    }
  }
  CellSpacing = std::max(1, CellSpacing);
}

void TSectionList::Clear() {
  Sections.clear();
  Anchors.clear();
  Maps.clear();
  Forms.clear();
  BackgroundName.clear();
  MarginWidth = MarginHeight = -1;
  // What pointed into the old page goes with it.
  OverUrl = nullptr;
  SelStart = SelEnd = -1;
  TotalChars = ScrollWidth = 0;
}

// ---- the textual dump ----

namespace {

std::string FontText(const TSectionList& doc, const TFontObj& f) {
  std::string s;
  auto add = [&s](const std::string& part) {
    if (!s.empty()) s += ' ';
    s += part;
  };
  if (f.Font.Fixed) add("fixed");
  if (!vx::SameText(f.Font.Name, f.Font.Fixed ? doc.PreFontName : doc.FontName)) add(f.Font.Name);
  if (f.Font.Size != 12) add(std::to_string(f.Font.Size));
  if (f.Font.Bold) add("b");
  if (f.Font.Italic) add("i");
  if (f.Font.Underline) add("u");
  if (f.Font.StrikeOut) add("s");
  if (f.Font.Color != doc.FontColor) add(RgbText(f.Font.Color));
  if (f.Font.Charset != doc.Charset) add("cs" + std::to_string(f.Font.Charset));
  if (f.State == TSubSup::Sub) add("sub");
  if (f.State == TSubSup::Sup) add("sup");
  if (f.Url) add("->" + f.Url->Url);
  return s;
}

}  // namespace

void TSection::Dump(std::string& out, int indent) const {
  if (GetKind() == Kind::Text && Text.empty()) return;
  out.append(static_cast<size_t>(indent), ' ');
  switch (GetKind()) {
    case Kind::Pre: out += "pre"; break;
    case Kind::UListItem: out += NoBullet ? "li plain" : "li"; break;
    case Kind::OListItem:
      out += "ol " + std::to_string(ListNumber);
      if (ListStyle != '1') out += std::string(" ") + ListStyle;
      break;
    case Kind::DListItem: out += "dd"; break;
    default: out += "text"; break;
  }
  if (Align != 1) out += std::string(" ") + AlignText(Align);
  if (ListLevel > 0) out += " l" + std::to_string(ListLevel);
  if (IndentWidth != 35) out += " indent" + std::to_string(IndentWidth);
  if (Clear) out += Clear == 1 ? " clear=left" : Clear == 2 ? " clear=right" : " clear=all";
  out += ":";
  size_t font = 0, image = 0, control = 0;
  std::string current;
  for (size_t i = 0; i <= Text.size(); ++i) {
    while (font < Fonts.size() && Fonts[font].Pos <= static_cast<int>(i)) {
      const std::string f = FontText(*Doc, Fonts[font++]);
      if (f != current && i < Text.size()) out += "{" + f + "}";
      if (i < Text.size()) current = f;
    }
    if (i == Text.size()) break;
    const char c = Text[i];
    if (c == kImageChar && image < Images.size()) {
      const TImageObj& im = *Images[image++];
      out += "[img " + im.Source;
      if (im.Align != TImageAlign::Bottom) out += " align" + std::to_string(static_cast<int>(im.Align));
      if (im.SpecWidth) out += " w" + std::to_string(im.SpecWidth) + (im.WidthPercent ? "%" : "");
      if (im.SpecHeight) out += " h" + std::to_string(im.SpecHeight);
      if (!im.Alt.empty()) out += " alt=" + im.Alt;
      out += "]";
    } else if (c == kFormChar && control < FormControls.size()) {
      const TFormControlObj& fc = *FormControls[control++];
      out += "[" + fc.Kind + " " + fc.Name + "]";
    } else if (c == '\r') {
      out += "\\n";
    } else if (c == '\xA0') {
      out += "~";
    } else {
      out += c;
    }
  }
  out += "\n";
}

void TParagraphSpace::Dump(std::string& out, int indent) const {
  out.append(static_cast<size_t>(indent), ' ');
  out += "para\n";
}

void THeadingSpace::Dump(std::string& out, int indent) const {
  out.append(static_cast<size_t>(indent), ' ');
  out += "hs" + std::to_string(Level) + "\n";
}

void THorzLine::Dump(std::string& out, int indent) const {
  out.append(static_cast<size_t>(indent), ' ');
  out += "hr";
  if (Size != 2) out += " size=" + std::to_string(Size);
  if (Width) out += " width=" + std::to_string(Width) + (Percent ? "%" : "");
  if (Align != 2) out += std::string(" ") + AlignText(Align);
  if (HasColor) out += " color=" + RgbText(Color);
  if (NoShade) out += " noshade";
  out += "\n";
}

void TCell::DumpSections(std::string& out, int indent) const {
  for (const auto& s : Sections) s->Dump(out, indent);
}

namespace {

void DumpCell(std::string& out, int indent, const char* what, const TCellObj& c) {
  out.append(static_cast<size_t>(indent), ' ');
  out += what;
  if (c.ColSpan > 1) out += " colspan=" + std::to_string(c.ColSpan);
  if (c.RowSpan > 1) out += " rowspan=" + std::to_string(c.RowSpan);
  if (c.Width) out += " width=" + (c.WidthPercent ? std::to_string(c.Width / 10) + "%" : std::to_string(c.Width));
  if (c.Height) out += " height=" + std::to_string(c.Height);
  if (c.HasBgColor) out += " bg=" + RgbText(c.BgColor);
  if (c.VAlign != 2) out += c.VAlign == 1 ? " top" : " bottom";
  out += "\n";
  c.Cell.DumpSections(out, indent + 2);
}

}  // namespace

void ThtmlTable::Dump(std::string& out, int indent) const {
  out.append(static_cast<size_t>(indent), ' ');
  out += "table";
  if (ListLevel) out += " l" + std::to_string(ListLevel);
  if (Border) out += " border";
  if (Width) out += " width=" + (WidthPercent ? std::to_string(Width / 10) + "%" : std::to_string(Width));
  if (Height) out += " height=" + (HeightPercent ? std::to_string(Height / 10) + "%" : std::to_string(Height));
  if (CellPadding != 1) out += " padding=" + std::to_string(CellPadding);
  if (CellSpacing != 2) out += " spacing=" + std::to_string(CellSpacing);
  if (Align) out += std::string(" ") + AlignText(Align);
  if (HasBgColor) out += " bg=" + RgbText(BgColor);
  out += "\n";
  if (Caption) DumpCell(out, indent + 2, CaptionBelow ? "caption below" : "caption", *Caption);
  for (const auto& row : Rows) {
    out.append(static_cast<size_t>(indent + 2), ' ');
    out += "row";
    if (row->Align) out += std::string(" ") + AlignText(row->Align);
    if (row->VAlign != 2) out += row->VAlign == 1 ? " top" : " bottom";
    out += "\n";
    for (const auto& cell : row->Cells)
      if (cell) DumpCell(out, indent + 4, "cell", *cell);
  }
}

std::string TSectionList::Dump() const {
  std::string out;
  DumpSections(out, 0);
  for (const TAnchor& a : Anchors) out += "anchor " + a.Name + "\n";
  for (const auto& m : Maps) out += "map " + m->Name + " areas=" + std::to_string(m->Areas.size()) + "\n";
  return out;
}
