#pragma once
// The Windows code pages that pages can name through their charset, mapped to Unicode.
#include <cstdint>
#include <optional>

namespace vx {

// The code page of a font charset (0 ANSI, 1 default, 161 Greek, 162 Turkish, 186 Baltic,
// 204 Cyrillic, 238 Central European); anything else reads as 1252.
int CodePageOfCharset(int charset);
// The Unicode code point of a byte in a code page; 0 where the code page leaves it undefined.
uint16_t CodePageToUnicode(int codePage, uint8_t byte);
// The byte that stands for a UTF-16 code unit in a code page, if any.
std::optional<uint8_t> UnicodeToCodePage(int codePage, uint16_t unit);

}  // namespace vx
