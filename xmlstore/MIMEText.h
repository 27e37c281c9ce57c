#pragma once
// Base64 text (standard alphabet, "=" padding, no line breaks) for string properties
// stored in MIME form.
#include <string>
#include <string_view>

// 4 * ((n + 2) / 3) characters.
std::string MIMEEncode(std::string_view bytes);

// Decodes whole groups of four characters; a trailing partial group is ignored. Inside a
// group "=" and every character outside the alphabet give no bits and are not counted; a
// group with 2, 3 or 4 counted characters gives 1, 2 or 3 bytes, one with fewer gives none.
std::string MIMEDecode(std::string_view text);
