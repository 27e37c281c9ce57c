#include "xmlstore/MIMEText.h"

#include <cstdint>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SixBits(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string MIMEEncode(std::string_view bytes) {
  std::string out;
  out.reserve(4 * ((bytes.size() + 2) / 3));
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16) |
                       (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8) |
                       static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 2]));
    out.push_back(kAlphabet[(v >> 18) & 63]);
    out.push_back(kAlphabet[(v >> 12) & 63]);
    out.push_back(kAlphabet[(v >> 6) & 63]);
    out.push_back(kAlphabet[v & 63]);
  }
  const size_t rest = bytes.size() - i;
  if (rest == 1) {
    const uint32_t v = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    out.push_back(kAlphabet[(v >> 18) & 63]);
    out.push_back(kAlphabet[(v >> 12) & 63]);
    out.append("==");
  } else if (rest == 2) {
    const uint32_t v = (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16) |
                       (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    out.push_back(kAlphabet[(v >> 18) & 63]);
    out.push_back(kAlphabet[(v >> 12) & 63]);
    out.push_back(kAlphabet[(v >> 6) & 63]);
    out.push_back('=');
  }
  return out;
}

std::string MIMEDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  const size_t groups = text.size() / 4;
  for (size_t g = 0; g < groups; ++g) {
    // Every position shifts the accumulator, counted or not, so the bytes come from its top.
    uint32_t acc = 0;
    int counted = 0;
    for (int k = 0; k < 4; ++k) {
      const int bits = SixBits(text[g * 4 + static_cast<size_t>(k)]);
      acc <<= 6;
      if (bits >= 0) {
        acc |= static_cast<uint32_t>(bits);
        ++counted;
      }
    }
    if (counted >= 2) out.push_back(static_cast<char>((acc >> 16) & 0xFF));
    if (counted >= 3) out.push_back(static_cast<char>((acc >> 8) & 0xFF));
    if (counted >= 4) out.push_back(static_cast<char>(acc & 0xFF));
  }
  return out;
}
