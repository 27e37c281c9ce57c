#pragma once
// The document the parser builds and the viewer lays out: a list of sections stacked top to
// bottom (text paragraphs, spaces, rules, list items, preformatted blocks, tables), with the
// document-wide state in the root `TSectionList`.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/HtmlSymbols.h"
#include "platform/Canvas.h"
#include "platform/Events.h"
#include "platform/Region.h"
#include "platform/text/TextFonts.h"

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
  std::shared_ptr<const vx::TextFont> Face;  // measured once per layout
};

class TSectionList;
class TCell;
class TImageObj;
class TFormControlObj;
class IndentManager;

// What a hit test finds under a point.
struct THit {
  std::shared_ptr<TUrlTarget> Url;
  TFormControlObj* Control = nullptr;
  TImageObj* Image = nullptr;
  int ImageX = 0, ImageY = 0;
};

class TSectionBase {
public:
  enum class Kind { Text, Pre, UListItem, OListItem, DListItem, ParagraphSpace, HeadingSpace, HorzLine, Table };
  TSectionBase(TSectionList* doc, Kind kind) : Doc(doc), kind_(kind) {}
  virtual ~TSectionBase() = default;
  Kind GetKind() const { return kind_; }
  // One line (or block of lines) of the textual dump, indented by `indent` spaces.
  virtual void Dump(std::string& out, int indent) const = 0;

  // Lays the section out from y in the column of the indent manager; returns the height it
  // takes in the flow and widens maxWidth to what it needs.
  virtual int DrawLogic(IndentManager& im, int y, int& maxWidth);
  // Paints what meets the clip; (dx, dy) is added to every laid-out position.
  virtual void Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const;
  // Moves the laid-out section (and everything in it) down by dy.
  virtual void ShiftY(int dy) { Y += dy; }
  virtual void MinMaxWidth(int& min, int& max);
  // Numbers the characters from `curs` on; returns the next free number.
  virtual int NumberCursors(int curs);
  virtual bool HitTest(int x, int y, THit& hit) const;
  virtual int FindCursor(int x, int y) const;
  virtual bool CursorToXY(int index, int& x, int& y) const;
  virtual int FindString(int from, std::string_view upperText, bool matchCase) const;
  virtual int FindSourcePos(int index) const;
  virtual int FindDocPos(int sourcePos, bool prev) const;
  virtual bool GetChAtPos(int index, char& ch, const void*& obj) const;
  // Appends the selected characters (document numbering) as text.
  virtual void CopyText(std::string& out, int selStart, int selEnd) const;

  TSectionList* Doc;
  int Y = 0, SectionHeight = 0, DrawHeight = 0;
  int StartCurs = 0, Len = 0;

private:
  Kind kind_;
};

// A checked downcast keyed on the section's kind: null when the section is not a T.
template <class T>
T* SectionCast(TSectionBase* s) {
  return s && T::HasKind(s->GetKind()) ? static_cast<T*>(s) : nullptr;
}
template <class T>
const T* SectionCast(const TSectionBase* s) {
  return s && T::HasKind(s->GetKind()) ? static_cast<const T*>(s) : nullptr;
}

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

  // The picture once loaded (by the picture loader); null shows a placeholder.
  std::shared_ptr<const struct ThtmlPicture> Picture;
  bool LoadFailed = false;
  // Laid out: the drawn size, and the frame's top-left.
  int ImageWidth = 0, ImageHeight = 0;
  int DrawX = 0, DrawY = 0;
  bool Placed = false;
  // Sizes the picture for an available width.
  void SetSize(int availableWidth);
  bool Floating() const { return Align == TImageAlign::Left || Align == TImageAlign::Right; }
  int TotalWidth() const { return ImageWidth + 2 * HSpace + 2 * Border; }
  int TotalHeight() const { return ImageHeight + 2 * VSpace + 2 * Border; }
  void Draw(vx::Canvas& canvas, int dx, int dy) const;
  void SetDocument(TSectionList* doc) { doc_ = doc; }
  // ALT text of a missing picture is written in this font.
  static vx::FontSpec AltFontSpec();

private:
  TSectionList* doc_ = nullptr;
};

// A decoded picture as the viewer paints it.
struct ThtmlPicture {
  std::vector<uint32_t> Pixels;  // 0xAARRGGBB
  int Width = 0, Height = 0;
  std::unique_ptr<vx::PixelMask> Mask;  // transparent pixels, when the picture has any
  vx::PixelView View() const { return {Pixels.data(), Width, Height, Width}; }
  // Animated pictures step their frame here (milliseconds now); true when the frame changed.
  std::function<bool(uint32_t nowMs)> Animate;
};

class ThtmlForm;

struct TOptionObj {
  std::string Text, Value;
  bool Selected = false;
};

// A form control as the page declares it. The kinds (html/HtmlForms.h) paint themselves into
// the page and take clicks and keys through the document.
class TFormControlObj {
public:
  TFormControlObj(ThtmlForm* form, std::string kind, const TAttributeList& attrs);
  virtual ~TFormControlObj() = default;
  ThtmlForm* Form;
  std::string Kind;  // "text", "password", "submit", "reset", "button", "radio", "checkbox",
                     // "hidden", "image", "select", "textarea"
  std::string Name, Value, OnClick, Src;
  bool Checked = false, Multiple = false;
  int Size = 0, MaxLength = 0, Rows = 5, Cols = 30;
  std::string Wrap, Text;  // text areas
  std::vector<TOptionObj> Options;
  int Pos = 0;
  // Laid out: the control's box.
  int Width = 120, Height = 20, X = 0, Y = 0;
  bool Initialised = false;  // took its initial value after parsing
  std::shared_ptr<const vx::TextFont> Face;

  // Back to the value the page gave.
  virtual void ResetToValue() {}
  // Line `index` of the form's submission ("NAME=value"); false when there is none.
  virtual bool GetSubmission(int /*index*/, std::string& /*line*/) { return false; }
  // Font and size, from the document's font name (and pictures, for image inputs).
  virtual void SetFont(TSectionList& /*doc*/) {}
  virtual void Draw(vx::Canvas& /*canvas*/, int /*dx*/, int /*dy*/) const {}
  // What a control shows over the page (an open drop-down list), and whether a point
  // (control coordinates) falls in it.
  virtual void DrawOverlay(vx::Canvas& /*canvas*/, int /*dx*/, int /*dy*/) const {}
  virtual bool OverlayContains(int /*x*/, int /*y*/) const { return false; }
  // A click at (x, y) in control coordinates with the keys held (Shift, Ctrl); keys while
  // focused (true when used).
  virtual void Click(int /*x*/, int /*y*/, vx::TShiftState /*shift*/) {}
  virtual bool KeyDown(uint16_t /*key*/) { return false; }
  virtual bool KeyPress(char /*ch*/) { return false; }
  virtual void LoseFocus() {}
  // Painted at the last draw of the page; a control out of sight closes what it shows over
  // the page.
  bool Shown = false;
  virtual void Hide() {}
  bool Focused() const;
};

// Makes the control object of a kind (html/HtmlForms.cpp).
std::unique_ptr<TFormControlObj> NewFormControl(ThtmlForm* form, const std::string& kind, const TAttributeList& attrs);

class ThtmlForm {
public:
  explicit ThtmlForm(const TAttributeList& attrs);
  TSectionList* Doc = nullptr;
  std::string Method = "get", Action, Target, EncType;
  std::vector<std::unique_ptr<TFormControlObj>> Controls;
  // Every control back to its initial value.
  void ResetControls();
  // The other radio buttons of this form with the same NAME (any case) are cleared.
  void RadioClicked(TFormControlObj* radio);
  // The submission lines, with the submitting button's own line last when it has a VALUE.
  std::vector<std::string> Results(const TFormControlObj* submitter = nullptr);
  // Hands the submission to the document's OnFormSubmit.
  void Submit(const TFormControlObj* submitter = nullptr);
};

struct TMapArea {
  vx::Region Region;
  std::string Href, Target;
};

struct TMapItem {
  std::string Name;
  std::vector<TMapArea> Areas;
  void AddArea(const TAttributeList& attrs);
  // The first area holding the point: its link, when it has one.
  bool HitTest(int x, int y, TUrlTarget& link) const;
};

// A paragraph of text. Pictures stand in the text as code 2, form controls as code 4.
class TSection : public TSectionBase {
public:
  static constexpr char kImageChar = 2;
  static constexpr char kFormChar = 4;
  static constexpr char kNobrMarker = 5;
  static constexpr int kMaxPreText = 20000;

  TSection(TSectionList* doc, Kind kind, int listLevel, int align, const TFontObj& font);
  // Text paragraphs, preformatted blocks and list items all hold text.
  static bool HasKind(Kind k) {
    return k == Kind::Text || k == Kind::Pre || k == Kind::UListItem || k == Kind::OListItem || k == Kind::DListItem;
  }
  void Dump(std::string& out, int indent) const override;

  // Appends a token (one source position per character, or none).
  void AddText(std::string_view token, const std::vector<int>* positions = nullptr);
  // From the current position on, text takes this font and link.
  void ChangeFont(const TMyFont& font, std::shared_ptr<TUrlTarget> url, TSubSup state);
  void AddImage(std::unique_ptr<TImageObj> image);
  void AddFormControl(TFormControlObj* control);
  bool Preformatted() const { return GetKind() == Kind::Pre; }
  // A numbered item's label: digits, roman numerals up to 20 (digits beyond), or letters.
  static std::string ListLabel(int number, char style);
  // The picture or form control standing at a character index, if any.
  TImageObj* ImageAt(int pos) const;
  TFormControlObj* ControlAt(int pos) const;

  int DrawLogic(IndentManager& im, int y, int& maxWidth) override;
  void Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const override;
  void ShiftY(int dy) override;
  void MinMaxWidth(int& min, int& max) override;
  int NumberCursors(int curs) override;
  bool HitTest(int x, int y, THit& hit) const override;
  int FindCursor(int x, int y) const override;
  bool CursorToXY(int index, int& x, int& y) const override;
  int FindString(int from, std::string_view upperText, bool matchCase) const override;
  int FindSourcePos(int index) const override;
  int FindDocPos(int sourcePos, bool prev) const override;
  bool GetChAtPos(int index, char& ch, const void*& obj) const override;
  void CopyText(std::string& out, int selStart, int selEnd) const override;

  // One wrapped line.
  struct LineRec {
    int Start = 0, Ln = 0;
    int Y = 0;  // top
    int LineHt = 0, Descent = 0, SpaceBefore = 0, SpaceAfter = 0;
    int LineIndent = 0, LineWidth = 0;
    int Height() const { return LineHt + SpaceBefore + SpaceAfter; }
  };
  std::vector<LineRec> Lines;
  std::vector<int> Widths;  // per character, as laid out
  int TextLeft = 0;  // X where the first line's text starts, for the bullet or number

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
  // The width of one character: an advance, a picture or a form control.
  int CharWidth(int index, size_t& font, size_t& image, size_t& control) const;
  int FontAt(int index) const;
  void DrawRun(vx::Canvas& canvas, const TFontObj& f, int x, int baseline, std::string_view text, bool selected) const;
  void DrawBullet(vx::Canvas& canvas, int dx, int dy) const;
};

class TParagraphSpace : public TSectionBase {
public:
  explicit TParagraphSpace(TSectionList* doc) : TSectionBase(doc, Kind::ParagraphSpace) {}
  void Dump(std::string& out, int indent) const override;
  int DrawLogic(IndentManager& im, int y, int& maxWidth) override;
  void CopyText(std::string& out, int selStart, int selEnd) const override;
};

class THeadingSpace : public TSectionBase {
public:
  THeadingSpace(TSectionList* doc, int level) : TSectionBase(doc, Kind::HeadingSpace), Level(level) {}
  void Dump(std::string& out, int indent) const override;
  int DrawLogic(IndentManager& im, int y, int& maxWidth) override;
  void CopyText(std::string& out, int selStart, int selEnd) const override;
  int Level;
};

class THorzLine : public TSectionBase {
public:
  THorzLine(TSectionList* doc, const TAttributeList& attrs, int listLevel = 0);
  int ListLevel = 0;
  void Dump(std::string& out, int indent) const override;
  int DrawLogic(IndentManager& im, int y, int& maxWidth) override;
  void Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const override;
  int Size = 2, Width = 0;
  int DrawX = 0, DrawWidth = 0;
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
  // Lays the sections out from y in the column x .. x + width; returns the height, with the
  // floats' bottom in drawHeight.
  int DrawLogic(int x, int y, int width, int& maxWidth, int& drawHeight);
  void Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const;
  void ShiftY(int dy);
  void MinMaxWidth(int& min, int& max);
  int NumberCursors(int curs);
  bool HitTest(int x, int y, THit& hit) const;
  int FindCursor(int x, int y) const;
  bool CursorToXY(int index, int& x, int& y) const;
  int FindString(int from, std::string_view text, bool matchCase) const;
  int FindSourcePos(int index) const;
  int FindDocPos(int sourcePos, bool prev) const;
  bool GetChAtPos(int index, char& ch, const void*& obj) const;
  void CopyText(std::string& out, int selStart, int selEnd) const;
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
  // Laid out.
  int X = 0, Y = 0, CellWidth = 0, CellHeight = 0, ContentHeight = 0, SpannedHeight = 0;
  int Min = 0, Max = 0;
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
  static bool HasKind(Kind k) { return k == Kind::Table; }
  void Dump(std::string& out, int indent) const override;
  int DrawLogic(IndentManager& im, int y, int& maxWidth) override;
  void Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const override;
  void ShiftY(int dy) override;
  void MinMaxWidth(int& min, int& max) override;
  int NumberCursors(int curs) override;
  bool HitTest(int x, int y, THit& hit) const override;
  int FindCursor(int x, int y) const override;
  bool CursorToXY(int index, int& x, int& y) const override;
  int FindString(int from, std::string_view upperText, bool matchCase) const override;
  int FindSourcePos(int index) const override;
  int FindDocPos(int sourcePos, bool prev) const override;
  bool GetChAtPos(int index, char& ch, const void*& obj) const override;
  void CopyText(std::string& out, int selStart, int selEnd) const override;
  // Grid normalisation (once): colour inheritance, empty places for spans, column count.
  void Initialize();
  int ColumnCount() const { return columns_; }

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
  bool PixelWidthCells = false;
  // Laid out.
  int X = 0, TableWidth = 0, TableHeight = 0;
  std::vector<int> ColumnWidths, RowHeights;

  // Every cell (not the caption), row by row.
  void ForEachCell(const std::function<void(TCellObj&)>& f) const;
  int RowsTop = 0;  // Y of the first row, below a caption placed above

private:
  void ColumnMinMax(std::vector<int>& mins, std::vector<int>& maxs, std::vector<int>& shares, int tableWidth);
  bool initialized_ = false;
  int columns_ = 0;
  int minMaxGeneration_ = -1;
  int cachedMin_ = 0, cachedMax_ = 0;
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

  // Layout and painting.
  vx::FontProvider* Fonts = &vx::SystemFonts();
  // Forms: a click on a control fires OnObjectClick (with its ONCLICK) first; submissions go
  // to OnFormSubmit; OnControlFocus asks the viewer to bring a focused control into view.
  std::function<void(const std::string& action, const std::string& target, const std::string& encType,
                     const std::string& method, const std::vector<std::string>& results)>
      OnFormSubmit;
  std::function<void(TFormControlObj* control, const std::string& onClick)> OnObjectClick;
  std::function<void(TFormControlObj* control)> OnControlFocus;
  TFormControlObj* FocusedControl = nullptr;
  // The viewer's entry points (document coordinates): a button press over a form control or
  // an open drop-down list (true when one took it), a click on a control found by GetURL,
  // and keys for the focused control (true when used).
  bool FormMouseDown(int x, int y, vx::TShiftState shift = 0);
  void FormClick(TFormControlObj* control, int x, int y, vx::TShiftState shift = 0);
  bool FormKeyDown(uint16_t key);
  bool FormKeyPress(char ch);
  void DrawFormOverlay(vx::Canvas& canvas, int dx, int scrollY) const;
  // Every form control, in page order.
  void ForEachControl(const std::function<void(TFormControlObj&)>& f) const;
  // Asked once per picture during the document logic when ViewImages is on.
  std::function<std::shared_ptr<const ThtmlPicture>(const std::string& source)> GetPicture;
  // The viewer's client height and its current margin height (the page's MARGINHEIGHT when
  // it set one), for percentage table heights.
  int ClientHeight = 0, ClientMarginHeight = 5;
  int SelStart = -1, SelEnd = -1;
  const TUrlTarget* OverUrl = nullptr;  // the link under the mouse
  int Generation = 0;                   // counts layouts; caches compare against it
  int LayoutCalls = 0;                  // text sections laid out or measured, for tests of cost
  int ScrollWidth = 0;

  // Document logic and layout at y for a width; returns the height.
  int DoLogic(int y, int width);
  // Paints the sections meeting the clip, shifted by (dx, -scrollY); the controls painted are
  // shown, the others hidden.
  void DrawDocument(vx::Canvas& canvas, const vx::TRect& clip, int dx, int scrollY);
  // The link under a document point: an image map's area, a server-side map's URL with
  // "?X,Y" appended, a form control, or a text link.
  bool GetURL(int x, int y, TUrlTarget& link, TFormControlObj*& control) const;
  // Marks every link whose URL the predicate calls visited.
  void MarkVisited(const std::function<bool(const std::string& url)>& visited);
  // Scroll positions: the index of the top-level section at y (with its top), the top of a
  // section index (-1 when out of range), and the Y of a named anchor (-1 when unknown).
  int SectionAtY(int y, int& topY) const;
  int SectionTop(int index) const;
  int AnchorY(const std::string& name) const;
  // The animation timer's tick (every 50 ms while HasAnimations): true when a repaint is due.
  bool HasAnimations() const;
  bool AnimationTick(uint32_t nowMs);
  void UpdateFonts();
  // After the viewer changed its defaults: every font takes the default name (the
  // preformatted one for fixed fonts) and the document's charset; sizes follow FontSize at
  // the next layout.
  void ApplyDefaultFonts();
  // A light page gets filled bullets and silver frame highlights.
  bool LightBackground() const;
  bool WhiteBackground() const;
  // The font of a run as the text service knows it.
  vx::FontSpec SpecOf(const TMyFont& f) const;
  int TotalChars = 0;
};
