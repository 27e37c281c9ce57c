#include "core/Random.h"

#include <chrono>

namespace vx {
namespace {
uint64_t SplitMix(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
inline uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

std::unique_ptr<RandomGenerator>& Slot() {
  static std::unique_ptr<RandomGenerator> rng = std::make_unique<DefaultRandom>();
  return rng;
}
}  // namespace

void DefaultRandom::Seed(uint64_t seed) {
  uint64_t x = seed;
  for (auto& s : s_) s = SplitMix(x);
}

uint64_t DefaultRandom::Next() {
  const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
  const uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = Rotl(s_[3], 45);
  return result;
}

int32_t DefaultRandom::Random(int32_t n) {
  if (n <= 0) return 0;
  // Rejection sampling keeps every value equally likely.
  const uint64_t range = static_cast<uint64_t>(n);
  const uint64_t limit = UINT64_MAX - (UINT64_MAX % range);
  uint64_t v;
  do {
    v = Next();
  } while (v >= limit);
  return static_cast<int32_t>(v % range);
}

double DefaultRandom::RandomReal() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

RandomGenerator& Rng() { return *Slot(); }

void SetRng(std::unique_ptr<RandomGenerator> rng) {
  Slot() = rng ? std::move(rng) : std::make_unique<DefaultRandom>();
}

void Randomize() {
  auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  Rng().Seed(static_cast<uint64_t>(now));
}

}  // namespace vx
