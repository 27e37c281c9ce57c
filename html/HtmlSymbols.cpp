#include "html/HtmlSymbols.h"

#include <algorithm>
#include <limits>

#include "core/StrUtils.h"

namespace html {

namespace {

const char* const kTagNames[TagCount] = {
#define VX_TAG_NAME(id, name) name,
    VX_HTML_TAGS(VX_TAG_NAME)
#undef VX_TAG_NAME
};

const char* const kAttrNames[AttrCount] = {
#define VX_ATTR_NAME(id, name) name,
    VX_HTML_ATTRS(VX_ATTR_NAME)
#undef VX_ATTR_NAME
};

const Entity kEntities[kEntityCount] = {
    {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"rsquo", "'"}, {"ndash", "-"}, {"trade", "\x99"},
    {"hellip", "..."},
    {"nbsp", "\xA0"}, {"iexcl", "\xA1"}, {"cent", "\xA2"}, {"pound", "\xA3"}, {"curren", "\xA4"}, {"yen", "\xA5"},
    {"brvbar", "\xA6"}, {"sect", "\xA7"}, {"uml", "\xA8"}, {"copy", "\xA9"}, {"ordf", "\xAA"}, {"laquo", "\xAB"},
    {"not", "\xAC"}, {"shy", "\xAD"}, {"reg", "\xAE"}, {"macr", "\xAF"}, {"deg", "\xB0"}, {"plusmn", "\xB1"},
    {"sup2", "\xB2"}, {"sup3", "\xB3"}, {"acute", "\xB4"}, {"micro", "\xB5"}, {"para", "\xB6"}, {"middot", "\xB7"},
    {"cedil", "\xB8"}, {"sup1", "\xB9"}, {"ordm", "\xBA"}, {"raquo", "\xBB"}, {"frac14", "\xBC"}, {"frac12", "\xBD"},
    {"frac34", "\xBE"}, {"iquest", "\xBF"}, {"Agrave", "\xC0"}, {"Aacute", "\xC1"}, {"Acirc", "\xC2"},
    {"Atilde", "\xC3"}, {"Auml", "\xC4"}, {"Aring", "\xC5"}, {"AElig", "\xC6"}, {"Ccedil", "\xC7"},
    {"Egrave", "\xC8"}, {"Eacute", "\xC9"}, {"Ecirc", "\xCA"}, {"Euml", "\xCB"}, {"Igrave", "\xCC"},
    {"Iacute", "\xCD"}, {"Icirc", "\xCE"}, {"Iuml", "\xCF"}, {"ETH", "\xD0"}, {"Ntilde", "\xD1"}, {"Ograve", "\xD2"},
    {"Oacute", "\xD3"}, {"Ocirc", "\xD4"}, {"Otilde", "\xD5"}, {"Ouml", "\xD6"}, {"times", "\xD7"},
    {"Oslash", "\xD8"}, {"Ugrave", "\xD9"}, {"Uacute", "\xDA"}, {"Ucirc", "\xDB"}, {"Uuml", "\xDC"},
    {"Yacute", "\xDD"}, {"THORN", "\xDE"}, {"szlig", "\xDF"}, {"agrave", "\xE0"}, {"aacute", "\xE1"},
    {"acirc", "\xE2"}, {"atilde", "\xE3"}, {"auml", "\xE4"}, {"aring", "\xE5"}, {"aelig", "\xE6"},
    {"ccedil", "\xE7"}, {"egrave", "\xE8"}, {"eacute", "\xE9"}, {"ecirc", "\xEA"}, {"euml", "\xEB"},
    {"igrave", "\xEC"}, {"iacute", "\xED"}, {"icirc", "\xEE"}, {"iuml", "\xEF"}, {"eth", "\xF0"}, {"ntilde", "\xF1"},
    {"ograve", "\xF2"}, {"oacute", "\xF3"}, {"ocirc", "\xF4"}, {"otilde", "\xF5"}, {"ouml", "\xF6"},
    {"divide", "\xF7"}, {"oslash", "\xF8"}, {"ugrave", "\xF9"}, {"uacute", "\xFA"}, {"ucirc", "\xFB"},
    {"uuml", "\xFC"}, {"yacute", "\xFD"}, {"thorn", "\xFE"}, {"yuml", "\xFF"},
};

const NamedColor kColors[kNamedColorCount] = {
    {"BLACK", 0x000000}, {"MAROON", 0x800000}, {"GREEN", 0x008000}, {"OLIVE", 0x808000},
    {"NAVY", 0x000080},  {"PURPLE", 0x800080}, {"TEAL", 0x008080},  {"GRAY", 0x808080},
    {"SILVER", 0xC0C0C0}, {"RED", 0xFF0000},   {"LIME", 0x00FF00},  {"YELLOW", 0xFFFF00},
    {"BLUE", 0x0000FF},  {"FUCHSIA", 0xFF00FF}, {"AQUA", 0x00FFFF}, {"WHITE", 0xFFFFFF},
};

const CharsetName kCharsets[kCharsetCount] = {
    {"1252", 0},     {"8859-1", 0},   {"1253", 161},   {"8859-7", 161}, {"1250", 238},
    {"8859-2", 238}, {"1251", 204},   {"8859-5", 204}, {"koi8-r", 204}, {"1254", 162},
    {"8859-3", 162}, {"8859-9", 162}, {"1257", 186},   {"8859-4", 186},
};

vx::TColor RgbToColor(uint32_t rgb) {
  return vx::kPaletteRelative | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace

const char* TagName(int tag) { return tag >= 0 && tag < TagCount ? kTagNames[tag] : "?"; }

int FindTag(std::string_view upperName) {
  for (int i = 0; i < TagCount; ++i)
    if (upperName == kTagNames[i]) return i;
  return -1;
}

const char* AttrName(int attr) { return attr >= 0 && attr < AttrCount ? kAttrNames[attr] : "?"; }

Attr FindAttr(std::string_view upperName) {
  for (int i = 0; i < AttrCount; ++i)
    if (upperName == kAttrNames[i]) return static_cast<Attr>(i);
  return NoAttr;
}

const Entity& EntityAt(int index) { return kEntities[index]; }

std::optional<std::string> FindEntity(std::string_view name) {
  for (const Entity& e : kEntities)
    if (name == e.Name) return std::string(e.Text);
  return std::nullopt;
}

const NamedColor& NamedColorAt(int index) { return kColors[index]; }

std::optional<vx::TColor> ColorFromString(std::string_view value) {
  if (value.empty()) return std::nullopt;
  std::string s = vx::UpperCase(value);
  for (const NamedColor& c : kColors)
    if (s == c.Name) return RgbToColor(c.Rgb);
  if (size_t hash = s.find('#'); hash != std::string::npos) s.erase(hash, 1);
  while (s.size() < 6) s += '0';
  // Longer values keep their first six digits, so that stray digits never move the bytes.
  s.resize(6);
  uint32_t rgb = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    rgb = rgb * 16 + static_cast<uint32_t>(d);
  }
  return RgbToColor(rgb);
}

const CharsetName& CharsetAt(int index) { return kCharsets[index]; }

std::optional<int> CharsetFromContent(std::string_view lowerContent) {
  for (const CharsetName& c : kCharsets)
    if (lowerContent.find(c.Name) != std::string_view::npos) return c.Charset;
  return std::nullopt;
}

int32_t AttrToInt(std::string_view s) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i == s.size()) return 0;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = std::min<int64_t>(v * 10 + (s[i] - '0'), int64_t{1} << 31);
  }
  v = neg ? -v : v;
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace html
