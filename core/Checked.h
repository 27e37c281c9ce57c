#pragma once
// Overflow-checked integer arithmetic: signed overflow never happens silently; it raises
// EOverflow before any value changes.
#include <cstdint>
#include <limits>

#include "core/Exception.h"

namespace vx {

inline int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw EOverflow();
  return r;
}
inline int32_t CheckedSub(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw EOverflow();
  return r;
}
inline int32_t CheckedMul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw EOverflow();
  return r;
}
inline int64_t CheckedAdd64(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_add_overflow(a, b, &r)) throw EOverflow();
  return r;
}
inline int64_t CheckedSub64(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw EOverflow();
  return r;
}
inline int64_t CheckedMul64(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw EOverflow();
  return r;
}
// Unsigned 32-bit counters (bank, credit): the result must stay within 0..2^32-1.
inline uint32_t CheckedAddU32(uint32_t a, int64_t delta) {
  int64_t r = static_cast<int64_t>(a) + delta;
  if (r < 0 || r > static_cast<int64_t>(std::numeric_limits<uint32_t>::max())) throw EOverflow();
  return static_cast<uint32_t>(r);
}
// Narrowing that refuses values outside the target range.
inline int32_t CheckedToInt32(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) throw EOverflow();
  return static_cast<int32_t>(v);
}

}  // namespace vx
