#pragma once
// The document the parser builds and the viewer lays out: a list of sections stacked top to
// bottom (text paragraphs, spaces, rules, list items, preformatted blocks, tables), with the
// document-wide state in the root `TSectionList`.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/HtmlSymbols.h"
#include "platform/Canvas.h"
#include "platform/Region.h"

using vx::TColor;

struct TUrlTarget {
  std::string Url, Target;
};

struct TAttribute {
  html::Attr Which = html::NoAttr;
  int32_t Value = 0;
  std::string Name;  // as read, for every attribute
  std::string String;
};

class TAttributeList {
public:
  void Clear() { items_.clear(); }
  void Add(TAttribute a) { items_.push_back(std::move(a)); }
  const TAttribute* Find(html::Attr which) const;
  // The string of an attribute, or empty.
  std::string Str(html::Attr which) const;
  const std::vector<TAttribute>& Items() const { return items_; }

private:
  std::vector<TAttribute> items_;
};

enum class TSubSup : uint8_t { None, Sub, Sup };

// A font as the parser chooses it: table size (points on the 12-point scale) and whether it is
// the fixed (preformatted) font; its real size follows the document's default size.
struct TMyFont {
  std::string Name = "Times New Roman";
  int TableSize = 12;
  int Size = 12;
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  TColor Color = 0;
  int Charset = 1;
  bool Fixed = false;
  bool operator==(const TMyFont&) const = default;
};

// A run of text from a character index on, in one font, maybe part of a link.
struct TFontObj {
  int Pos = 0;
  TMyFont Font;
  std::shared_ptr<TUrlTarget> Url;
  bool Visited = false;
  TSubSup State = TSubSup::None;
};

class TSectionList;
class TCell;

class TSectionBase {
public:
  enum class Kind { Text, Pre, UListItem, OListItem, DListItem, ParagraphSpace, HeadingSpace, HorzLine, Table };
  TSectionBase(TSectionList* doc, Kind kind) : Doc(doc), kind_(kind) {}
  virtual ~TSectionBase() = default;
  Kind GetKind() const { return kind_; }
  // One line (or block of lines) of the textual dump, indented by `indent` spaces.
  virtual void Dump(std::string& out, int indent) const = 0;

  TSectionList* Doc;
  int Y = 0, SectionHeight = 0, DrawHeight = 0;
  int StartCurs = 0, Len = 0;

private:
  Kind kind_;
};

enum class TImageAlign : uint8_t { Top, Middle, Bottom, Left, Right };

class TImageObj {
public:
  // Reads SRC, ALT, ALIGN, WIDTH, HEIGHT, BORDER, HSPACE, VSPACE, ISMAP, USEMAP, TRANSP.
  explicit TImageObj(const TAttributeList& attrs);
  std::string Source, Alt, UseMap;
  TImageAlign Align = TImageAlign::Bottom;
  int SpecWidth = 0, SpecHeight = 0;  // 0: not given
  bool WidthPercent = false;
  int Border = 0, HSpace = 0, VSpace = 0;
  bool IsMap = false, Transparent = false;
  int Pos = 0;  // character index in its section
  std::shared_ptr<TUrlTarget> Url;
};

class ThtmlForm;

struct TOptionObj {
  std::string Text, Value;
  bool Selected = false;
};

// A form control as the page declares it; the windowed control is made by the viewer.
class TFormControlObj {
public:
  TFormControlObj(ThtmlForm* form, std::string kind, const TAttributeList& attrs);
  ThtmlForm* Form;
  std::string Kind;  // "text", "password", "submit", "reset", "button", "radio", "checkbox",
                     // "hidden", "image", "select", "textarea"
  std::string Name, Value, OnClick;
  bool Checked = false, Multiple = false;
  int Size = 0, MaxLength = 0, Rows = 5, Cols = 30;
  std::string Wrap, Text;  // text areas
  std::vector<TOptionObj> Options;
  int Pos = 0;
};

class ThtmlForm {
public:
  explicit ThtmlForm(const TAttributeList& attrs);
  std::string Method = "get", Action, Target, EncType;
  std::vector<std::unique_ptr<TFormControlObj>> Controls;
};

struct TMapArea {
  vx::Region Region;
  std::string Href, Target;
};

struct TMapItem {
  std::string Name;
  std::vector<TMapArea> Areas;
  void AddArea(const TAttributeList& attrs);
};

// A paragraph of text. Pictures stand in the text as code 2, form controls as code 4.
class TSection : public TSectionBase {
public:
  static constexpr char kImageChar = 2;
  static constexpr char kFormChar = 4;
  static constexpr char kNobrMarker = 5;
  static constexpr int kMaxPreText = 20000;

  TSection(TSectionList* doc, Kind kind, int listLevel, int align, const TFontObj& font);
  void Dump(std::string& out, int indent) const override;

  // Appends a token (one source position per character, or none).
  void AddText(std::string_view token, const std::vector<int>* positions = nullptr);
  // From the current position on, text takes this font and link.
  void ChangeFont(const TMyFont& font, std::shared_ptr<TUrlTarget> url, TSubSup state);
  void AddImage(std::unique_ptr<TImageObj> image);
  void AddFormControl(TFormControlObj* control);
  bool Preformatted() const { return GetKind() == Kind::Pre; }

  std::string Text;
  std::vector<int> SourcePos;
  std::vector<TFontObj> Fonts;
  std::vector<std::unique_ptr<TImageObj>> Images;
  std::vector<TFormControlObj*> FormControls;
  int Align = 1;      // 1 left, 2 center, 3 right
  int ListLevel = 0;  // indent level
  int Clear = 0;      // BR CLEAR of the text: 0 none, 1 left, 2 right, 3 both
  int IndentWidth = 35;
  // List items.
  int ListNumber = 0;
  char ListStyle = '1';
  bool NoBullet = false;

private:
  void Append(char c, int pos);
};

class TParagraphSpace : public TSectionBase {
public:
  explicit TParagraphSpace(TSectionList* doc) : TSectionBase(doc, Kind::ParagraphSpace) {}
  void Dump(std::string& out, int indent) const override;
};

class THeadingSpace : public TSectionBase {
public:
  THeadingSpace(TSectionList* doc, int level) : TSectionBase(doc, Kind::HeadingSpace), Level(level) {}
  void Dump(std::string& out, int indent) const override;
  int Level;
};

class THorzLine : public TSectionBase {
public:
  THorzLine(TSectionList* doc, const TAttributeList& attrs);
  void Dump(std::string& out, int indent) const override;
  int Size = 2, Width = 0;
  bool Percent = false, HasColor = false, NoShade = false;
  int Align = 2;
  TColor Color = 0;
};

// A list of sections laid out like a small document (the root, table cells, captions).
class TCell {
public:
  explicit TCell(TSectionList* doc) : Doc(doc) {}
  virtual ~TCell() = default;
  void Add(std::unique_ptr<TSectionBase> section);
  void DumpSections(std::string& out, int indent) const;
  TSectionList* Doc;
  std::vector<std::unique_ptr<TSectionBase>> Sections;
};

class TCellObj {
public:
  TCellObj(TSectionList* doc, const TAttributeList& attrs, int valign);
  int ColSpan = 1, RowSpan = 1;
  int Width = 0;  // pixels, or tenths of a per cent with WidthPercent
  bool WidthPercent = false;
  int Height = 0;
  TColor BgColor = 0;
  bool HasBgColor = false;
  int VAlign = 2;  // 1 top, 2 middle, 3 bottom
  TCell Cell;
};

struct TRowObj {
  std::vector<std::unique_ptr<TCellObj>> Cells;  // null: an empty place
  int Align = 0;                                 // 0: none given
  int VAlign = 2;
  TColor BgColor = 0;
  bool HasBgColor = false;
};

class ThtmlTable : public TSectionBase {
public:
  static constexpr int kMaxColSpan = 200;
  ThtmlTable(TSectionList* doc, int listLevel, const TAttributeList& attrs);
  void Dump(std::string& out, int indent) const override;

  std::vector<std::unique_ptr<TRowObj>> Rows;
  std::unique_ptr<TCellObj> Caption;
  bool CaptionBelow = false;
  int ListLevel = 0;
  int Width = 0, Height = 0;  // pixels, or tenths of a per cent
  bool WidthPercent = false, HeightPercent = false;
  bool Border = false;
  TColor BorderColor = 0, BgColor = 0;
  bool HasBorderColor = false, HasBgColor = false;
  int CellPadding = 1, CellSpacing = 2;
  int Align = 0;  // 0 none, 1 left float, 2 center, 3 right float
  int HSpace = 5, VSpace = 0;
};

struct TAnchor {
  std::string Name;
  TSectionBase* Section = nullptr;
  int Pos = 0;
};

// The document root with its document-wide state.
class TSectionList : public TCell {
public:
  TSectionList() : TCell(this) {}
  // The textual dump: one line per section, cells indented below their tables.
  std::string Dump() const;
  // Back to empty with the current defaults.
  void Clear();

  std::string FontName = "Times New Roman", PreFontName = "Courier New";
  int FontSize = 12;
  TColor FontColor = vx::clBtnText, Background = vx::clBtnFace;
  TColor HotSpotColor = vx::clBlue, VisitedColor = vx::clPurple, OverColor = vx::clBlue;
  bool OverLinksActive = false, NoLinkUnderline = false;
  int Charset = 1;
  bool ViewImages = true;
  std::string BackgroundName;
  int MarginWidth = -1, MarginHeight = -1;  // -1: not set by the page

  std::vector<TAnchor> Anchors;
  std::vector<std::unique_ptr<TMapItem>> Maps;
  std::vector<std::unique_ptr<ThtmlForm>> Forms;
};
