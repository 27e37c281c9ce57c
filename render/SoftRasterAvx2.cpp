// The alpha blend every picture and most text is drawn with (blend row 5 over a run of
// texels that maps one to one onto the destination, with a flat modulation colour), eight
// pixels at a time where the processor has 256-bit integer vectors. The results are those
// of the portable kernel to the bit: (s * f) >> 8 is taken as the high half of
// (s << 8) * f, and each product is truncated on its own as the blend table says.
#include <immintrin.h>

#include <cstdint>

#include "render/SoftRasterSpans.h"

namespace sr {

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

__attribute__((target("avx2"))) int32_t AlphaBlendRunAvx2(uint32_t* dest, const uint32_t* src, int32_t count,
                                                          int modulate, uint32_t colour) {
  const __m256i z = _mm256_setzero_si256();
  const __m256i one = _mm256_set1_epi8(1);
  const __m256i c16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int32_t>(colour)), z);
  const __m256i inv = _mm256_set1_epi16(0xFF);
  const __m256i colourOnly = _mm256_set1_epi32(0x00FFFFFF);
  // The alpha byte of each pixel of a half, widened into all four lanes of that pixel.
  const __m256i alphaLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1, 3, -1, 3, -1,
                                           3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
  const __m256i alphaHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11,
                                           -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
  int32_t done = 0;
  for (; done + 8 <= count; done += 8) {
    __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + done));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dest + done));
    if (modulate == kModulateWhite) {
      s = _mm256_subs_epu8(s, one);  // s * 255 >> 8
    } else if (modulate == kModulateColour) {
      s = _mm256_packus_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(z, s), c16),
                              _mm256_mulhi_epu16(_mm256_unpackhi_epi8(z, s), c16));
    }
    const __m256i aLo = _mm256_shuffle_epi8(s, alphaLo), aHi = _mm256_shuffle_epi8(s, alphaHi);
    const __m256i lo = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(z, s), aLo),
                                        _mm256_mulhi_epu16(_mm256_unpacklo_epi8(z, d), _mm256_xor_si256(aLo, inv)));
    const __m256i hi = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpackhi_epi8(z, s), aHi),
                                        _mm256_mulhi_epu16(_mm256_unpackhi_epi8(z, d), _mm256_xor_si256(aHi, inv)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + done), _mm256_and_si256(_mm256_packus_epi16(lo, hi), colourOnly));
  }
  return done;
}

}  // namespace sr
