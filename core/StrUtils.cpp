#include "core/StrUtils.h"

#include <limits>

namespace vx {

char UpCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char LowCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = UpCase(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = LowCase(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(UpCase(a[i]));
    unsigned char y = static_cast<unsigned char>(UpCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}
std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}
std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

std::optional<int64_t> TryStrToInt64(std::string_view s) {
  // Leading blanks are accepted, trailing ones are not (as the runtime does).
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    neg = s[i] == '-';
    ++i;
  }
  if (i >= s.size()) return std::nullopt;
  bool hex = false;
  if (s[i] == '$') {
    hex = true;
    ++i;
  } else if (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  const uint64_t base = hex ? 16 : 10;
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    uint64_t d;
    if (c >= '0' && c <= '9') d = static_cast<uint64_t>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') d = static_cast<uint64_t>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') d = static_cast<uint64_t>(c - 'A' + 10);
    else return std::nullopt;
    if (v > (std::numeric_limits<uint64_t>::max() - d) / base) return std::nullopt;
    v = v * base + d;
  }
  if (hex) {
    // Hex literals give the bit pattern; 64 bits at most.
    int64_t r = static_cast<int64_t>(v);
    return neg ? static_cast<int64_t>(0 - static_cast<uint64_t>(r)) : r;
  }
  constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (neg) {
    if (v > kMax + 1) return std::nullopt;
    return static_cast<int64_t>(0 - v);
  }
  if (v > kMax) return std::nullopt;
  return static_cast<int64_t>(v);
}

std::optional<int32_t> TryStrToInt(std::string_view s) {
  auto v = TryStrToInt64(s);
  if (!v) return std::nullopt;
  bool hex = s.find('$') != std::string_view::npos || s.find("0x") != std::string_view::npos ||
             s.find("0X") != std::string_view::npos;
  if (hex && *v >= 0 && *v <= 0xFFFFFFFFll) return static_cast<int32_t>(static_cast<uint32_t>(*v));
  if (*v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(*v);
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
  auto v = TryStrToInt(s);
  return v ? *v : def;
}

std::string IntToStr(int64_t v) { return std::to_string(v); }

std::vector<std::string> Split(std::string_view s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == sep) {
      out.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

}  // namespace vx
