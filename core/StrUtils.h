#pragma once
// Small string helpers over 8-bit (Windows-1252) text. Case folding is ASCII only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

char UpCase(char c);
char LowCase(char c);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Compares ignoring ASCII case: <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Removes leading and trailing characters <= ' ' (the runtime's Trim).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
bool StartsText(std::string_view prefix, std::string_view s);

// Decimal (optionally signed) or "$" hex integer, the runtime's StrToInt grammar.
std::optional<int64_t> TryStrToInt64(std::string_view s);
std::optional<int32_t> TryStrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
std::string IntToStr(int64_t v);

std::vector<std::string> Split(std::string_view s, char sep);

}  // namespace vx
