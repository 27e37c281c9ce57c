#include "render/GfxFormats.h"

#include <cstring>

int32_t FormatBytesPerPixel(int format) {
  return IsValidColorFormat(format) ? ColorFormatBytes[format] : 0;
}

namespace {

// Each format's layout as compile-time constants, so that every per-format loop below is
// nothing but fixed shifts and masks.
constexpr const auto& kBits = ColorFormatBits;
constexpr const auto& kBytes = ColorFormatBytes;

// Narrows one working colour into the format's packed value.
template <int F>
inline uint32_t Narrow(uint32_t c) {
  constexpr int nb = kBits[F][0], ng = kBits[F][1], nr = kBits[F][2], na = kBits[F][3];
  uint32_t v = ((c & 0xFFu) >> (8 - nb)) | (((c >> 8) & 0xFFu) >> (8 - ng)) << nb |
               (((c >> 16) & 0xFFu) >> (8 - nr)) << (nb + ng);
  if constexpr (na > 0) v |= ((c >> 24) >> (8 - na)) << (nb + ng + nr);
  return v;
}

template <int N>
inline uint32_t Widen(uint32_t field) {
  if constexpr (N == 8) {
    return field;
  } else {
    return field * 255u / ((1u << N) - 1u);
  }
}

// Widens one packed value of the format into a working colour.
template <int F>
inline uint32_t Expand(uint32_t v) {
  constexpr int nb = kBits[F][0], ng = kBits[F][1], nr = kBits[F][2], na = kBits[F][3];
  uint32_t b = Widen<nb>(v & ((1u << nb) - 1u));
  uint32_t g = Widen<ng>((v >> nb) & ((1u << ng) - 1u));
  uint32_t r = Widen<nr>((v >> (nb + ng)) & ((1u << nr) - 1u));
  uint32_t a = 255;
  if constexpr (na > 0) a = Widen<na>((v >> (nb + ng + nr)) & ((1u << na) - 1u));
  return a << 24 | r << 16 | g << 8 | b;
}

template <int F>
inline void Store(uint8_t* d, uint32_t v) {
  if constexpr (kBytes[F] == 1) {
    *d = static_cast<uint8_t>(v);
  } else if constexpr (kBytes[F] == 2) {
    d[0] = static_cast<uint8_t>(v);
    d[1] = static_cast<uint8_t>(v >> 8);
  } else {
    d[0] = static_cast<uint8_t>(v);
    d[1] = static_cast<uint8_t>(v >> 8);
    d[2] = static_cast<uint8_t>(v >> 16);
    d[3] = static_cast<uint8_t>(v >> 24);
  }
}

template <int F>
inline uint32_t Load(const uint8_t* s) {
  if constexpr (kBytes[F] == 1) {
    return *s;
  } else if constexpr (kBytes[F] == 2) {
    return static_cast<uint32_t>(s[0]) | static_cast<uint32_t>(s[1]) << 8;
  } else {
    return static_cast<uint32_t>(s[0]) | static_cast<uint32_t>(s[1]) << 8 |
           static_cast<uint32_t>(s[2]) << 16 | static_cast<uint32_t>(s[3]) << 24;
  }
}

template <int F>
void NarrowLine(const uint32_t* src, void* dest, int32_t count) {
  uint8_t* d = static_cast<uint8_t*>(dest);
  if constexpr (F == COLOR_A8R8G8B8 || F == COLOR_X8R8G8B8) {
    if (count > 0) std::memcpy(d, src, static_cast<size_t>(count) * 4);
  } else {
    for (int32_t i = 0; i < count; ++i) Store<F>(d + i * kBytes[F], Narrow<F>(src[i]));
  }
}

template <int F>
void WidenLine(const void* src, uint32_t* dest, int32_t count) {
  const uint8_t* s = static_cast<const uint8_t*>(src);
  if constexpr (F == COLOR_A8R8G8B8 || F == COLOR_X8R8G8B8) {
    if (count > 0) std::memcpy(dest, s, static_cast<size_t>(count) * 4);
  } else {
    for (int32_t i = 0; i < count; ++i) dest[i] = Expand<F>(Load<F>(s + i * kBytes[F]));
  }
}

template <int F>
void WriteOne(uint32_t colour, void* dest) {
  uint32_t v = F == COLOR_X8R8G8B8 ? (colour | 0xFF000000u) : Narrow<F>(colour);
  Store<F>(static_cast<uint8_t*>(dest), v);
}

template <int F>
uint32_t ReadOne(const void* src) {
  return Expand<F>(Load<F>(static_cast<const uint8_t*>(src)));
}

using WidenFn = void (*)(const void*, uint32_t*, int32_t);
using WriteFn = void (*)(uint32_t, void*);
using ReadFn = uint32_t (*)(const void*);

template <int... F>
struct Tables {
  static constexpr TLineConverter narrow[] = {&NarrowLine<F>...};
  static constexpr WidenFn widen[] = {&WidenLine<F>...};
  static constexpr WriteFn write[] = {&WriteOne<F>...};
  static constexpr ReadFn read[] = {&ReadOne<F>...};
};
using All = Tables<0, 1, 2, 3, 4, 5, 6, 7, 8, 9>;

}  // namespace

void WritePixel(uint32_t colour, void* dest, TColorFormat format) {
  if (IsValidColorFormat(format)) All::write[format](colour, dest);
}

uint32_t ReadPixel(const void* src, TColorFormat format) {
  return IsValidColorFormat(format) ? All::read[format](src) : 0;
}

TLineConverter GetLineConverter(TColorFormat format) {
  return IsValidColorFormat(format) ? All::narrow[format] : nullptr;
}

void ConvertLineToARGB(const void* src, uint32_t* dest, int32_t count, TColorFormat format) {
  if (IsValidColorFormat(format)) All::widen[format](src, dest, count);
}

namespace vx {

void ConvertLineGeneric(const uint32_t* src, void* dest, int32_t count, TColorFormat format) {
  if (!IsValidColorFormat(format)) return;
  const uint8_t* bits = ColorFormatBits[format];
  const int bpp = ColorFormatBytes[format];
  uint8_t* d = static_cast<uint8_t*>(dest);
  const bool copy = format == COLOR_A8R8G8B8 || format == COLOR_X8R8G8B8;
  for (int32_t i = 0; i < count; ++i) {
    uint32_t c = src[i];
    uint32_t v = 0;
    if (copy) {
      v = c;
    } else {
      int pos = 0;
      for (int k = 0; k < 4; ++k) {
        int n = bits[k];
        if (n == 0) continue;
        uint32_t comp = (c >> (8 * k)) & 0xFFu;
        v |= (comp >> (8 - n)) << pos;
        pos += n;
      }
    }
    for (int b = 0; b < bpp; ++b) d[i * bpp + b] = static_cast<uint8_t>(v >> (8 * b));
  }
}

void ConvertLineToARGBGeneric(const void* src, uint32_t* dest, int32_t count, TColorFormat format) {
  if (!IsValidColorFormat(format)) return;
  const uint8_t* bits = ColorFormatBits[format];
  const int bpp = ColorFormatBytes[format];
  const uint8_t* s = static_cast<const uint8_t*>(src);
  const bool copy = format == COLOR_A8R8G8B8 || format == COLOR_X8R8G8B8;
  for (int32_t i = 0; i < count; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < bpp; ++b) v |= static_cast<uint32_t>(s[i * bpp + b]) << (8 * b);
    if (copy) {
      dest[i] = v;
      continue;
    }
    uint32_t out = 0xFF000000u;
    int pos = 0;
    for (int k = 0; k < 4; ++k) {
      int n = bits[k];
      if (n == 0) continue;
      uint32_t mask = (1u << n) - 1u;
      uint32_t field = (v >> pos) & mask;
      uint32_t value = field * 255u / mask;
      if (k == 3) out &= 0x00FFFFFFu;
      out |= value << (8 * k);
      pos += n;
    }
    dest[i] = out;
  }
}

}  // namespace vx
