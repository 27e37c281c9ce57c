#pragma once
// The program's one pseudo-random generator. It is seeded once at start-up; tests seed it
// (or install their own) so that deals and spins replay exactly.
#include <cstdint>
#include <memory>

namespace vx {

class RandomGenerator {
public:
  virtual ~RandomGenerator() = default;
  virtual void Seed(uint64_t seed) = 0;
  // Uniform in [0, n); 0 when n <= 0.
  virtual int32_t Random(int32_t n) = 0;
  // Uniform in [0, 1).
  virtual double RandomReal() = 0;
};

// xoshiro256** seeded through splitmix64: small, fast, well distributed.
class DefaultRandom : public RandomGenerator {
public:
  explicit DefaultRandom(uint64_t seed = 0x9E3779B97F4A7C15ull) { Seed(seed); }
  void Seed(uint64_t seed) override;
  int32_t Random(int32_t n) override;
  double RandomReal() override;
  uint64_t Next();

private:
  uint64_t s_[4] = {};
};

// The generator every caller uses.
RandomGenerator& Rng();
// Replaces the generator (tests); nullptr restores the default one.
void SetRng(std::unique_ptr<RandomGenerator> rng);
// Seeds the current generator from the clock (start-up).
void Randomize();

}  // namespace vx

// Shorthands matching the runtime's calls.
inline int32_t Random(int32_t n) { return vx::Rng().Random(n); }
