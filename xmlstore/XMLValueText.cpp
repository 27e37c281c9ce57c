#include "xmlstore/XMLValueText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "core/Exception.h"
#include "core/StrUtils.h"

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31 counted from 1899-12-30.
constexpr int64_t kMinDay = -693593;
constexpr int64_t kMaxDay = 2958465;

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 1970-01-01 is day 25569
}

void CivilFromDays(int64_t days, int& y, int& m, int& d) {
  const int64_t z = days - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

bool DayInRange(double value) {
  return std::isfinite(value) && value > static_cast<double>(kMinDay - 1) &&
         value < static_cast<double>(kMaxDay + 1);
}

// Whole days and milliseconds of the day.
void SplitDateTime(double value, int64_t& day, int64_t& ms) {
  const double whole = std::trunc(value);
  day = static_cast<int64_t>(whole);
  ms = std::llround(std::fabs(value - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) ms = kMsPerDay - 1;
}

double JoinDateTime(int64_t day, int64_t ms) {
  const double t = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  return day < 0 ? static_cast<double>(day) - t : static_cast<double>(day) + t;
}

std::string DateText(int64_t day) {
  int y, m, d;
  CivilFromDays(day, y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

std::string TimeText(int64_t ms) {
  char buf[32];
  const int h = static_cast<int>(ms / 3600000), mi = static_cast<int>(ms / 60000 % 60);
  const int s = static_cast<int>(ms / 1000 % 60), z = static_cast<int>(ms % 1000);
  if (z != 0) std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", h, mi, s, z);
  else std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
  return buf;
}

[[noreturn]] void Fail(std::string_view text, const char* what) {
  throw EConvertError(XMLQuoteValue(text) + " is not a valid " + what);
}

// A run of 1..maxDigits decimal digits at `i`.
bool ReadNumber(std::string_view s, size_t& i, size_t maxDigits, int& out) {
  size_t n = 0;
  int v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < maxDigits) {
    v = v * 10 + (s[i] - '0');
    ++i;
    ++n;
  }
  out = v;
  return n > 0;
}

bool ParseDate(std::string_view s, size_t& i, int64_t& day) {
  int y, m, d;
  if (!ReadNumber(s, i, 4, y) || i >= s.size() || s[i++] != '-') return false;
  if (!ReadNumber(s, i, 2, m) || i >= s.size() || s[i++] != '-') return false;
  if (!ReadNumber(s, i, 2, d)) return false;
  if (y < 1 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
  day = DaysFromCivil(y, m, d);
  return true;
}

bool ParseTime(std::string_view s, size_t& i, int64_t& ms) {
  int h, mi, sec = 0, z = 0;
  if (!ReadNumber(s, i, 2, h) || i >= s.size() || s[i++] != ':') return false;
  if (!ReadNumber(s, i, 2, mi)) return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!ReadNumber(s, i, 2, sec)) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      const size_t start = i;
      if (!ReadNumber(s, i, 3, z)) return false;
      for (size_t k = i - start; k < 3; ++k) z *= 10;  // ".5" is 500 ms
    }
  }
  if (h > 23 || mi > 59 || sec > 59) return false;
  ms = ((static_cast<int64_t>(h) * 60 + mi) * 60 + sec) * 1000 + z;
  return true;
}

// Dates out of the calendar's range are written as plain numbers; read them back too.
bool TryPlainNumber(std::string_view text, double& out) {
  try {
    out = XMLTextToFloat(text);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

std::string XMLQuoteValue(std::string_view text) {
  constexpr size_t kMax = 64;
  std::string quoted;
  quoted.reserve(kMax + 5);
  quoted += '\'';
  quoted.append(text.substr(0, kMax));
  if (text.size() > kMax) quoted += "...";
  quoted += '\'';
  return quoted;
}

namespace {

// "1e+20" -> "1E20", "1.5e-07" -> "1.5E-7".
std::string NormaliseExponent(std::string s) {
  const size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mant = s.substr(0, e);
  std::string exp = s.substr(e + 1);
  std::string sign;
  if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
    if (exp[0] == '-') sign = "-";
    exp.erase(0, 1);
  }
  while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
  return mant + "E" + sign + exp;
}

template <class F>
std::string FloatText(F value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return NormaliseExponent(std::string(buf, res.ptr));
}

template <class F>
F TextToFloat(std::string_view text) {
  std::string_view s = text;
  if (vx::SameText(s, "NAN")) return std::numeric_limits<F>::quiet_NaN();
  if (vx::SameText(s, "INF") || vx::SameText(s, "+INF")) return std::numeric_limits<F>::infinity();
  if (vx::SameText(s, "-INF")) return -std::numeric_limits<F>::infinity();
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (s.empty() || !((s[0] >= '0' && s[0] <= '9') || s[0] == '-' || s[0] == '.')) Fail(text, "floating point value");
  F v = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size()) Fail(text, "floating point value");
  return v;
}

}  // namespace

std::string XMLFloatToText(double value) { return FloatText(value); }
double XMLTextToFloat(std::string_view text) { return TextToFloat<double>(text); }
std::string XMLSingleToText(float value) { return FloatText(value); }
float XMLTextToSingle(std::string_view text) { return TextToFloat<float>(text); }

std::string XMLDateTimeToText(double value) {
  if (!DayInRange(value)) return XMLFloatToText(value);
  int64_t day, ms;
  SplitDateTime(value, day, ms);
  return DateText(day) + " " + TimeText(ms);
}

std::string XMLDateToText(double value) {
  if (!DayInRange(value)) return XMLFloatToText(value);
  return DateText(static_cast<int64_t>(std::trunc(value)));
}

std::string XMLTimeToText(double value) {
  if (!std::isfinite(value)) return XMLFloatToText(value);
  int64_t day, ms;
  SplitDateTime(std::fmod(value, 1.0), day, ms);
  return TimeText(ms);
}

double XMLTextToDateTime(std::string_view text) {
  size_t i = 0;
  int64_t day = 0, ms = 0;
  if (ParseDate(text, i, day)) {
    if (i == text.size()) return JoinDateTime(day, 0);
    if (text[i] == ' ' || text[i] == 'T') {
      ++i;
      if (ParseTime(text, i, ms) && i == text.size()) return JoinDateTime(day, ms);
    }
  }
  double plain;
  if (TryPlainNumber(text, plain)) return plain;
  Fail(text, "date and time");
}

double XMLTextToDate(std::string_view text) {
  size_t i = 0;
  int64_t day = 0;
  if (ParseDate(text, i, day) && i == text.size()) return static_cast<double>(day);
  double plain;
  if (TryPlainNumber(text, plain)) return plain;
  Fail(text, "date");
}

double XMLTextToTime(std::string_view text) {
  size_t i = 0;
  int64_t ms = 0;
  if (ParseTime(text, i, ms) && i == text.size()) return JoinDateTime(0, ms);
  double plain;
  if (TryPlainNumber(text, plain)) return plain;
  Fail(text, "time");
}

std::string XMLCurrencyToText(int64_t scaled) {
  const bool neg = scaled < 0;
  const uint64_t mag = neg ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string s = std::to_string(mag / 10000);
  uint64_t frac = mag % 10000;
  if (frac != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(frac));
    std::string f = buf;
    while (!f.empty() && f.back() == '0') f.pop_back();
    s += "." + f;
  }
  return neg ? "-" + s : s;
}

int64_t XMLTextToCurrency(std::string_view text) {
  size_t i = 0;
  bool neg = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) neg = text[i++] == '-';
  uint64_t whole = 0;
  size_t digits = 0;
  constexpr uint64_t kLimit = 922337203685477ull;  // largest whole part of the 64-bit range
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    if (whole > kLimit + 1) Fail(text, "currency value");
    ++i;
    ++digits;
  }
  uint64_t frac = 0;
  size_t fracDigits = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && fracDigits < 4) {
      frac = frac * 10 + static_cast<uint64_t>(text[i] - '0');
      ++i;
      ++fracDigits;
    }
  }
  if (i != text.size() || digits + fracDigits == 0) Fail(text, "currency value");
  for (size_t k = fracDigits; k < 4; ++k) frac *= 10;
  const uint64_t mag = whole * 10000 + frac;
  constexpr uint64_t kMaxPos = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (neg) {
    if (mag > kMaxPos + 1) Fail(text, "currency value");
    return static_cast<int64_t>(0 - mag);
  }
  if (mag > kMaxPos) Fail(text, "currency value");
  return static_cast<int64_t>(mag);
}

namespace {

// The common case of a plain decimal of at most 18 digits, optionally negative, which
// TryStrToInt64 would read the same; nullopt sends everything else the long way.
std::optional<int64_t> PlainDecimal(std::string_view text) {
  size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  if (i >= text.size() || text.size() - i > 18) return std::nullopt;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    const unsigned d = static_cast<unsigned char>(text[i]) - '0';
    if (d > 9) return std::nullopt;
    v = v * 10 + d;
  }
  return text[0] == '-' ? -v : v;
}

}  // namespace

int32_t XMLTextToInt32(std::string_view text) {
  if (const auto v = PlainDecimal(text); v && *v >= std::numeric_limits<int32_t>::min() &&
                                         *v <= std::numeric_limits<int32_t>::max())
    return static_cast<int32_t>(*v);
  const auto v = vx::TryStrToInt(text);
  if (!v || text.empty() || text[0] == ' ') Fail(text, "integer value");
  return *v;
}

uint32_t XMLTextToUInt32(std::string_view text) {
  auto v = PlainDecimal(text);
  if (!v) v = vx::TryStrToInt64(text);
  if (!v || text.empty() || text[0] == ' ' || *v < std::numeric_limits<int32_t>::min() ||
      *v > static_cast<int64_t>(std::numeric_limits<uint32_t>::max()))
    Fail(text, "integer value");
  return static_cast<uint32_t>(*v);
}

int64_t XMLTextToInt64(std::string_view text) {
  auto v = PlainDecimal(text);
  if (!v) v = vx::TryStrToInt64(text);
  if (!v || text.empty() || text[0] == ' ') Fail(text, "integer value");
  return *v;
}
