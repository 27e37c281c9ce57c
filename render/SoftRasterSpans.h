#pragma once
// The span kernel of the software rasteriser: one template whose parameters are what the
// draw flags decide (fill or texture, inversion, colour modulation, luminance alpha, the
// blend row, rectangle or general addressing), instantiated once per distinct behaviour and
// picked from a table built at compile time. Channel arithmetic runs four pixels at a time,
// each channel in a 16-bit lane.
#include <emmintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/GfxDef.h"
#include "render/SoftRaster.h"

namespace sr {

// The first row of the blend table whose flags are all set (1..13).
constexpr int BlendRow(uint32_t f) {
  const auto has = [f](uint32_t bits) { return (f & bits) == bits; };
  if (has(srfCopy)) return 1;
  if (has(srfAdd | srfReverseAlpha | srfSrcAlpha | srfDestInvAlpha)) return 2;
  if (has(srfAdd | srfReverseAlpha | srfSrcAlpha)) return 3;
  if (has(srfAdd | srfReverseAlpha)) return 4;
  if (has(srfAdd | srfSrcAlpha | srfDestInvAlpha)) return 5;
  if (has(srfAdd | srfSrcAlpha)) return 6;
  if (has(srfAdd | srfDestInvAlpha)) return 7;
  if (has(srfAdd | srfDestSrcColor)) return 8;
  if (has(srfAdd)) return 9;
  if (has(srfReverseAlpha)) return 10;
  if (has(srfDestInvAlpha)) return 11;
  if (has(srfDestSrcColor)) return 12;
  return 13;
}

// What a span routine does, packed in one small number: the blend row in bits 0-3, then
// luminance alpha, modulation, inversion and fill.
constexpr int kLum = 16, kDiffuse = 32, kInvert = 64, kFill = 128;

constexpr int SpanKey(uint32_t f) {
  if (f & srfFill) return kFill | BlendRow(f & ~srfReverseAlpha);
  const int pre = ((f & srfDiffuse) ? kDiffuse : 0) | ((f & srfInvert) ? kInvert : 0);
  const bool lum = (f & srfLumAlpha) != 0, add = (f & srfAdd) != 0;
  if (f & srfCopy) return pre | 1;
  if (lum && add && !(f & (srfReverseAlpha | srfSrcAlpha))) return pre | kLum | 7;
  if (lum && !add) return pre | kLum | ((f & srfReverseAlpha) ? 10 : 11);
  if ((f & srfInvert) && !lum && !add) return pre | 12;
  return pre | (lum ? kLum : 0) | BlendRow(f);
}

// The flags that matter to the spans: ten bits, squeezed into a table index.
constexpr uint32_t kSpanFlagBits = srfDiffuse | srfInvert | srfReverseAlpha | srfSrcAlpha | srfDestInvAlpha |
                                   srfDestSrcColor | srfCopy | srfAdd | srfFill | srfLumAlpha;
constexpr int FlagsToIndex(uint32_t f) {
  return static_cast<int>((f & 0xFF) | ((f & srfFill) ? 0x100 : 0) | ((f & srfLumAlpha) ? 0x200 : 0));
}
constexpr uint32_t IndexToFlags(int i) {
  return (static_cast<uint32_t>(i) & 0xFF) | ((i & 0x100) ? srfFill : 0) | ((i & 0x200) ? srfLumAlpha : 0);
}

// Factors of the blend: colour = S * source factor + D * destination factor, saturated.
enum Factor { fOne, fA, fInvA, fSrc, fZero };
// Where the alpha of the result comes from: the same sum as the colour, 0, S or D.
enum AlphaFrom { aSame, aZero, aS, aD };
struct RowSpec {
  Factor Src, Dst;
  AlphaFrom Alpha;
};
constexpr RowSpec kRows[14] = {
    {fOne, fZero, aSame},  // unused
    {fOne, fZero, aSame},  // 1 copy
    {fInvA, fA, aZero},    // 2
    {fInvA, fOne, aD},     // 3
    {fOne, fA, aS},        // 4
    {fA, fInvA, aZero},    // 5
    {fA, fOne, aD},        // 6
    {fOne, fInvA, aS},     // 7
    {fOne, fSrc, aSame},   // 8
    {fOne, fOne, aSame},   // 9
    {fZero, fA, aZero},    // 10
    {fZero, fInvA, aZero}, // 11
    {fZero, fSrc, aSame},  // 12
    {fZero, fOne, aSame},  // 13
};

inline __m128i AlphaOf(__m128i x) {  // lane 3 of each pixel into all four lanes
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF);
}
inline __m128i MulDiv256(__m128i x, __m128i f) { return _mm_srli_epi16(_mm_mullo_epi16(x, f), 8); }

template <Factor F>
inline __m128i Weigh(__m128i x, __m128i a, __m128i s) {
  if constexpr (F == fOne) return x;
  if constexpr (F == fZero) return _mm_setzero_si128();
  if constexpr (F == fA) return MulDiv256(x, a);
  if constexpr (F == fInvA) return MulDiv256(x, _mm_xor_si128(a, _mm_set1_epi16(0xFF)));
  if constexpr (F == fSrc) return MulDiv256(x, s);
  return x;
}

// Two pixels in 16-bit lanes: the source after its pre-steps, the destination; the result
// still in lanes.
template <int Key>
inline __m128i Blend2(__m128i s, __m128i d) {
  constexpr RowSpec row = kRows[Key & 15];
  const __m128i a = AlphaOf(s);
  __m128i r = _mm_add_epi16(Weigh<row.Src>(s, a, s), Weigh<row.Dst>(d, a, s));
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  if constexpr (row.Alpha == aZero) r = _mm_andnot_si128(alphaLanes, r);
  if constexpr (row.Alpha == aS) r = _mm_or_si128(_mm_andnot_si128(alphaLanes, r), _mm_and_si128(alphaLanes, s));
  if constexpr (row.Alpha == aD) r = _mm_or_si128(_mm_andnot_si128(alphaLanes, r), _mm_and_si128(alphaLanes, d));
  return r;
}

// The texel's alpha replaced by its luminance (two pixels in lanes).
inline __m128i LumAlpha2(__m128i t) {
  const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(t, _mm_set_epi16(0, 5, 8, 3, 0, 5, 8, 3)), 4);
  // Lane 3 of each pixel gathers lanes 0, 1 and 2.
  const __m128i b = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0x00), 0x00);
  const __m128i g = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0x55), 0x55);
  const __m128i r = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0xAA), 0xAA);
  const __m128i lum = _mm_add_epi16(_mm_add_epi16(b, g), r);
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  return _mm_or_si128(_mm_andnot_si128(alphaLanes, t), _mm_and_si128(alphaLanes, lum));
}

// The colour ramp of a span: pixel k (from 1) has t = (k * (65280 div Count)) >> 8 and the
// channel (L * (256 - t) + R * t + 128) >> 8. Equal ends give that colour exactly.
struct Ramp {
  __m128i L, R;
  uint32_t Step, Acc;
  bool Flat;
  __m128i Flat2;
  Ramp(uint32_t left, uint32_t right, int32_t count) {
    const __m128i z = _mm_setzero_si128();
    L = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int32_t>(left)), z);
    R = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int32_t>(right)), z);
    Flat = left == right;
    Flat2 = L;
    Step = 65280u / static_cast<uint32_t>(count);
    Acc = Step;
  }
  // The colours of the next two pixels, in lanes.
  __m128i Next2() {
    if (Flat) return Flat2;
    const uint32_t t0 = (Acc >> 8) & 0xFF, t1 = ((Acc + Step) >> 8) & 0xFF;
    Acc += 2 * Step;
    const __m128i t = _mm_set_epi16(static_cast<int16_t>(t1), static_cast<int16_t>(t1), static_cast<int16_t>(t1),
                                    static_cast<int16_t>(t1), static_cast<int16_t>(t0), static_cast<int16_t>(t0),
                                    static_cast<int16_t>(t0), static_cast<int16_t>(t0));
    const __m128i it = _mm_sub_epi16(_mm_set1_epi16(256), t);
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(L, it), _mm_mullo_epi16(R, t)), _mm_set1_epi16(128));
    return _mm_srli_epi16(sum, 8);
  }
};

// The fast run of the commonest blend (row 5, one texel per pixel, flat modulation) on
// processors with 256-bit integer vectors; returns how many pixels it did (a multiple of 8).
constexpr int kModulateNone = 0, kModulateWhite = 1, kModulateColour = 2;
bool HasAvx2();
int32_t AlphaBlendRunAvx2(uint32_t* dest, const uint32_t* src, int32_t count, int modulate, uint32_t colour);

// Up to four texels of the span, advancing U and V.
template <bool Rect>
struct Fetch {
  const uint8_t* Src;
  uint32_t U, V, DU, DV;
  int32_t Pitch;
  uint32_t One() {
    const uint8_t* p = Src + static_cast<size_t>(U >> 16) * 4;
    if constexpr (!Rect) p += static_cast<std::ptrdiff_t>(V >> 16) * Pitch;
    U += DU;
    if constexpr (!Rect) V += DV;
    uint32_t t;
    std::memcpy(&t, p, 4);
    return t;
  }
};

template <int Key, bool Rect>
void SpanRoutine(const TSRSpan& sp) {
  constexpr bool fill = (Key & kFill) != 0;
  constexpr bool invert = !fill && (Key & kInvert) != 0;
  constexpr bool diffuse = !fill && (Key & kDiffuse) != 0;
  constexpr bool lum = !fill && (Key & kLum) != 0;
  constexpr int row = Key & 15;
  int32_t n = sp.Count;
  if (n <= 0) return;
  uint32_t* d = sp.Dest;
  if constexpr (row == 13) {
    return;  // the destination stays as it is
  } else {
    constexpr bool needsRamp = fill || diffuse;
    Ramp ramp(sp.LeftColor, sp.RightColor, n);
    Fetch<Rect> fetch{sp.Src, sp.U, sp.V, sp.DU, sp.DV, sp.SrcPitch};
    // The plainest cases: a copied row of texels, a flat fill.
    if constexpr (row == 1 && !invert && !diffuse && !fill) {
      if (Rect && sp.DU == 0x10000u) {
        std::memcpy(d, sp.Src + static_cast<size_t>(sp.U >> 16) * 4, static_cast<size_t>(n) * 4);
        return;
      }
      for (int32_t i = 0; i < n; ++i) d[i] = fetch.One();
      return;
    }
    if constexpr (row == 1 && fill) {
      if (ramp.Flat) {
        SRFillLongword(d, n, sp.LeftColor);
        return;
      }
    }
    const __m128i z = _mm_setzero_si128();
    const bool contiguous = Rect && sp.DU == 0x10000u;
    if constexpr (Rect && row == 5 && !fill && !invert && !lum) {
      if (contiguous && ramp.Flat && n >= 8 && HasAvx2()) {
        const int mode = !diffuse ? kModulateNone : sp.LeftColor == 0xFFFFFFFFu ? kModulateWhite : kModulateColour;
        const int32_t done = AlphaBlendRunAvx2(d, reinterpret_cast<const uint32_t*>(fetch.Src + size_t{fetch.U >> 16} * 4),
                                               n, mode, sp.LeftColor);
        d += done;
        n -= done;
        fetch.U += static_cast<uint32_t>(done) << 16;
      }
    }
    const auto source2 = [&](__m128i texels) {  // two texels in lanes → the source
      __m128i s;
      if constexpr (fill) {
        s = ramp.Next2();
      } else {
        s = texels;
        if constexpr (invert) s = _mm_xor_si128(s, _mm_set1_epi16(0xFF));
        if constexpr (diffuse) s = MulDiv256(s, ramp.Next2());
        if constexpr (lum && row != 1) s = LumAlpha2(s);
      }
      (void)needsRamp;
      return s;
    };
    const auto four = [&](const uint32_t* texels, uint32_t* out, const uint32_t* dst) {
      __m128i t = z;
      if constexpr (!fill) t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels));
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
      const __m128i lo = Blend2<Key>(source2(_mm_unpacklo_epi8(t, z)), _mm_unpacklo_epi8(dv, z));
      const __m128i hi = Blend2<Key>(source2(_mm_unpackhi_epi8(t, z)), _mm_unpackhi_epi8(dv, z));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(lo, hi));
    };
    alignas(16) uint32_t tex[4] = {0, 0, 0, 0};
    while (n >= 4) {
      const uint32_t* texels = tex;
      if constexpr (!fill) {
        if (contiguous) {
          texels = reinterpret_cast<const uint32_t*>(fetch.Src + static_cast<size_t>(fetch.U >> 16) * 4);
          fetch.U += 0x40000u;
        } else {
          for (uint32_t& t : tex) t = fetch.One();
        }
      }
      four(texels, d, d);
      d += 4;
      n -= 4;
    }
    if (n > 0) {
      alignas(16) uint32_t dst[4] = {0, 0, 0, 0};
      std::memcpy(dst, d, static_cast<size_t>(n) * 4);
      if constexpr (!fill)
        for (int32_t i = 0; i < n; ++i) tex[i] = fetch.One();
      four(tex, dst, dst);
      std::memcpy(d, dst, static_cast<size_t>(n) * 4);
    }
  }
}

template <bool Rect, size_t... I>
constexpr std::array<TSRSpanRoutine, sizeof...(I)> MakeTable(std::index_sequence<I...>) {
  return {&SpanRoutine<SpanKey(IndexToFlags(static_cast<int>(I))), Rect>...};
}

}  // namespace sr
