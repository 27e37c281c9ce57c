#pragma once
// Symbols of the HTML scanner (tags, their end tags and the others), the attribute symbols,
// and the tables behind them: tags, attributes, entities, colour names and charsets.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Canvas.h"

namespace html {

// Tags in table order; the first 49 have a recognised end tag.
#define VX_HTML_TAGS(X)                                                                                          \
  X(Html, "HTML") X(Title, "TITLE") X(Body, "BODY") X(Head, "HEAD") X(B, "B") X(I, "I") X(H, "H") X(Em, "EM")   \
  X(Strong, "STRONG") X(U, "U") X(Cite, "CITE") X(Var, "VAR") X(TT, "TT") X(Code, "CODE") X(Kbd, "KBD")          \
  X(Samp, "SAMP") X(OL, "OL") X(UL, "UL") X(Dir, "DIR") X(Menu, "MENU") X(DL, "DL") X(A, "A")                    \
  X(Address, "ADDRESS") X(BlockQuote, "BLOCKQUOTE") X(Pre, "PRE") X(Center, "CENTER") X(Table, "TABLE")          \
  X(TD, "TD") X(TH, "TH") X(Caption, "CAPTION") X(Form, "FORM") X(TextArea, "TEXTAREA") X(Select, "SELECT")      \
  X(Option, "OPTION") X(Font, "FONT") X(Sub, "SUB") X(Sup, "SUP") X(Big, "BIG") X(Small, "SMALL") X(P, "P")       \
  X(Map, "MAP") X(FrameSet, "FRAMESET") X(NoFrames, "NOFRAMES") X(Script, "SCRIPT") X(Div, "DIV") X(S, "S")       \
  X(Strike, "STRIKE") X(TR, "TR") X(NoBr, "NOBR") X(LI, "LI") X(BR, "BR") X(HR, "HR") X(DD, "DD") X(DT, "DT")    \
  X(Img, "IMG") X(Base, "BASE") X(Button, "BUTTON") X(Input, "INPUT") X(Selected, "SELECTED")                   \
  X(BaseFont, "BASEFONT") X(Area, "AREA") X(Frame, "FRAME") X(BgSound, "BGSOUND") X(Wrap, "WRAP")               \
  X(Meta, "META") X(Wbr, "WBR")

enum Sym : int {
#define VX_TAG_ENUM(id, name) id##Sy,
  VX_HTML_TAGS(VX_TAG_ENUM)
#undef VX_TAG_ENUM
  TagCount,
  EndOffset = 100,
#define VX_TAG_END(id, name) id##EndSy = EndOffset + id##Sy,
  VX_HTML_TAGS(VX_TAG_END)
#undef VX_TAG_END
  TextSy = 200,   // text (F)
  UnknownSy,      // an unrecognised tag or an ignored end tag (E)
  EofSy,          // end of file (G)
  CtrlSy,         // a stray control character (C)
  RawTextAreaEndSy,  // the raw end of a TEXTAREA (k)
  EolSy,          // a line end inside raw text
};
constexpr int kTagsWithEnd = 49;
static_assert(NoBrSy == kTagsWithEnd - 1 && TagCount == 66);

const char* TagName(int tag);
// The tag of an upper-cased name, or -1.
int FindTag(std::string_view upperName);

#define VX_HTML_ATTRS(X)                                                                                         \
  X(Href, "HREF") X(Name, "NAME") X(Src, "SRC") X(Alt, "ALT") X(Align, "ALIGN") X(Text, "TEXT")                  \
  X(BgColor, "BGCOLOR") X(Link, "LINK") X(Background, "BACKGROUND") X(ColSpan, "COLSPAN") X(RowSpan, "ROWSPAN")   \
  X(Border, "BORDER") X(CellPadding, "CELLPADDING") X(CellSpacing, "CELLSPACING") X(VAlign, "VALIGN")            \
  X(Width, "WIDTH") X(Start, "START") X(Value, "VALUE") X(Type, "TYPE") X(CheckBox, "CHECKBOX") X(Radio, "RADIO") \
  X(Method, "METHOD") X(Action, "ACTION") X(Checked, "CHECKED") X(Size, "SIZE") X(MaxLength, "MAXLENGTH")        \
  X(Cols, "COLS") X(Rows, "ROWS") X(Multiple, "MULTIPLE") X(Value2, "VALUE") X(Selected, "SELECTED")             \
  X(Face, "FACE") X(Color, "COLOR") X(Transp, "TRANSP") X(Clear, "CLEAR") X(IsMap, "ISMAP")                      \
  X(BorderColor, "BORDERCOLOR") X(UseMap, "USEMAP") X(Shape, "SHAPE") X(Coords, "COORDS") X(NoHref, "NOHREF")    \
  X(Height, "HEIGHT") X(Plain, "PLAIN") X(Target, "TARGET") X(NoResize, "NORESIZE") X(Scrolling, "SCROLLING")    \
  X(HSpace, "HSPACE") X(Language, "LANGUAGE") X(FrameBorder, "FRAMEBORDER") X(MarginWidth, "MARGINWIDTH")        \
  X(MarginHeight, "MARGINHEIGHT") X(Loop, "LOOP") X(OnClick, "ONCLICK") X(Wrap, "WRAP") X(NoShade, "NOSHADE")    \
  X(HttpEquiv, "HTTP-EQUIV") X(Content, "CONTENT") X(EncType, "ENCTYPE") X(VLink, "VLINK") X(OLink, "OLINK")     \
  X(Active, "ACTIVE") X(VSpace, "VSPACE") X(NoWrap, "NOWRAP")

enum Attr : int {
#define VX_ATTR_ENUM(id, name) id##Attr,
  VX_HTML_ATTRS(VX_ATTR_ENUM)
#undef VX_ATTR_ENUM
  AttrCount,
  NoAttr = -1,
};
static_assert(AttrCount == 63);

const char* AttrName(int attr);
// The first attribute of an upper-cased name, or NoAttr.
Attr FindAttr(std::string_view upperName);

// Named entities: the first 8 give a text, the rest the characters 160..255.
constexpr int kEntityCount = 104;
struct Entity {
  const char* Name;
  const char* Text;
};
const Entity& EntityAt(int index);
// The text of a named entity (case-sensitive), or nothing.
std::optional<std::string> FindEntity(std::string_view name);

// The 16 colour names with their RGB values ($RRGGBB as written in pages).
struct NamedColor {
  const char* Name;
  uint32_t Rgb;
};
constexpr int kNamedColorCount = 16;
const NamedColor& NamedColorAt(int index);
// A colour attribute value as a Windows-order colour with the palette-relative flag, or
// nothing when it is not a colour.
std::optional<vx::TColor> ColorFromString(std::string_view value);

// Code-page names of META content types and their font charsets.
struct CharsetName {
  const char* Name;
  int Charset;
};
constexpr int kCharsetCount = 14;
const CharsetName& CharsetAt(int index);
// The charset of the first name found in a lower-cased content text.
std::optional<int> CharsetFromContent(std::string_view lowerContent);

// Integer value of an attribute text: optional sign and digits, saturating; 0 otherwise.
int32_t AttrToInt(std::string_view s);

}  // namespace html

namespace html {
// a * b / c rounded half away from zero in 64 bits (0 when c is 0), cut to the int range.
inline int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  int64_t p = static_cast<int64_t>(a) * b;
  const int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
  p = ((p < 0) != (c < 0)) ? (p - half) / c : (p + half) / c;
  return static_cast<int>(p > INT32_MAX ? INT32_MAX : p < INT32_MIN ? INT32_MIN : p);
}
}  // namespace html
