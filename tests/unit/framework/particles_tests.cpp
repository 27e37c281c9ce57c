// Particle systems: every kind in every mode from random seeds and places, with non-finite,
// huge and eye-plane coordinates thrown into the cloud, checked on the recording device (every
// drawn point on the surface) and against an age oracle (each fireworks burst starts again on
// time with one sound); then refusals, the bounce, inherited spread, a second kind freeing the
// first set, and the bounded index search.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "FrameworkFakes.h"
#include "core/Log.h"
#include "core/Random.h"
#include "framework/VXParticles.h"
#include "framework/VXStepping.h"
#include "framework/VXWidgets.h"

using FakeHost = vxtest::ContextHost;
using vxtest::FakeTextureSource;

namespace {

struct Rig {
  Rig() : list(&source) {
    host.TextureList = &list;
    for (const char* n : {"PAR_STAR1", "PAR_STAR2", "PAR_STAR3"}) source.Pictures[std::string("EFFECTS\\") + n + ".bmp"] = {16, 16};
    ps = std::make_unique<TVXParticleSystem>(nullptr);
    host.Hold(*ps);
  }
  void Choose(int32_t kind) {
    ps->SetEffectType(kind);
    for (int32_t i = 0; i < TVXParticleSystem::ImageCount; ++i) ps->Image(i)->LoadTexture();
  }
  FakeHost host;
  FakeTextureSource source;
  TVXTextureList list;
  std::unique_ptr<TVXParticleSystem> ps;
};

// The frames in which a fireworks burst starts again, from the steps alone.
std::vector<int> BurstFrames(int32_t firstStep, int frames) {
  std::vector<int> out;
  uint32_t age = 0;
  for (int f = 1; f <= frames; ++f) {
    for (int32_t s : {firstStep, TVXParticleSystem::kBaseStep}) {
      if (age >= 60000) {
        out.push_back(f);
        age = 0;
      }
      age += static_cast<uint32_t>(s);
    }
  }
  return out;
}

bool Inside(TGfxPoint p, int32_t lo, int32_t maxX, int32_t maxY) { return p.X >= lo && p.X <= maxX && p.Y >= lo && p.Y <= maxY; }

}  // namespace

TEST(Particles, EveryKindAndModeDrawsOnlyOnTheSurfaceAndBurstsOnTime) {
  const bool quick = std::getenv("VX_QUICK") != nullptr;
  std::mt19937 rng(20261209);
  const double inf = std::numeric_limits<double>::infinity();
  const double poison[] = {std::nan(""), inf, -inf, 1e300, -1e300, 256.0, std::nextafter(256.0, 0.0), 255.999, 1e-300};
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int32_t kind = 0; kind < 3; ++kind) {
    for (uint8_t mode : {0, 1, 2, 3, 4, 9}) {
      SCOPED_TRACE("kind " + std::to_string(kind) + " mode " + std::to_string(mode));
      Rig r;
      vx::Rng().Seed(rng());
      r.ps->SetBounds(pick(50, 750), pick(200, 700), pick(0, 800), pick(0, 600));
      r.Choose(kind);
      r.ps->SetMode(mode);
      const int32_t step = mode <= 4 ? std::array{10, 50, 150, 300, 500}[mode] : 150;
      ASSERT_EQ(r.ps->ModeStep(), step);
      // Fireworks run to their second burst (the slowest mode bursts every 375 frames).
      const int frames = kind == pkFireworks ? (quick && mode != 2 ? 380 : 60000 / (step + 150) * 2 + 3) : (quick ? 150 : 400);
      const std::vector<int> expected = kind == pkFireworks ? BurstFrames(step, frames) : std::vector<int>{};
      std::vector<int> bursts;
      size_t drawn = 0;
      auto& cloud = r.ps->Particles();
      for (int f = 1; f <= frames; ++f) {
        // Poison a few particles (never particle 0's age, which times the burst).
        for (int k = 0; k < 3; ++k) {
          TVXParticle& p = cloud[static_cast<size_t>(pick(0, r.ps->Count() - 1))];
          const double v = poison[pick(0, std::size(poison) - 1)];
          (pick(0, 1) ? p.Position : p.Velocity) = pick(0, 1) ? Vec(v, v, v) : Vec(1.0, -2.0, v);
        }
        const size_t sounds = r.host.Sounds.size();
        r.host.Recorder.ClearCalls();
        r.ps->Process();
        if (r.host.Sounds.size() != sounds) bursts.push_back(f);
        for (const auto& c : r.host.Recorder.Calls) {
          ++drawn;
          if (c.Op == "Line") {
            const int32_t lo = kind == pkFireworks ? 0 : 1;
            ASSERT_TRUE(Inside(c.Points[0], lo, 799, 599) && Inside(c.Points[1], lo, 799, 599)) << c.ToString();
          } else {
            ASSERT_EQ(c.Op, "TextureMap") << c.ToString();
            ASSERT_EQ(kind, pkStarField);
            ASSERT_TRUE(Inside({c.Bounds().Left, c.Bounds().Top}, 1, 798, 598)) << c.ToString();
          }
        }
        for (const TVXParticle& p : cloud) {
          // A star at or behind the eye is born again before it could be drawn; no bouncing
          // star stays under the floor.
          if (kind == pkStarField) {
            ASSERT_LT(p.Position.z, 256.0);
          }
          if (kind == pkBouncingStars) {
            ASSERT_FALSE(p.Position.y < r.ps->Floor);
          }
        }
      }
      EXPECT_EQ(bursts, expected);
      for (const std::string& s : r.host.Sounds) EXPECT_EQ(s, "SND_FIREWORKS");
      EXPECT_GT(drawn, 0u);
      if (kind != pkStarField) {
        // The whole burst ages together.
        for (const TVXParticle& p : cloud) ASSERT_EQ(p.Age, cloud[0].Age);
      }
    }
  }
}

TEST(Particles, RefusalsBounceInheritedSpreadFreedFirstSetAndTheBoundedIndexSearch) {
  std::vector<std::string> errors;
  const int listener = vx::AddLogListener([&](const std::string& line) {
    if (line.rfind("ERROR: ", 0) == 0) errors.push_back(line);
  });
  Rig r;
  r.ps->SetName("PS_T");
  EXPECT_FALSE(r.ps->Enabled);
  EXPECT_EQ(r.ps->Mode(), 2);
  r.ps->Process();  // no kind yet: nothing happens
  EXPECT_TRUE(r.host.Recorder.Calls.empty());

  r.Choose(pkFireworks);
  ASSERT_EQ(r.ps->Count(), 2000);
  const TVXParticle before = r.ps->Particles()[5];
  r.ps->Advance(0);
  r.ps->Advance(-150);
  r.ps->SetEffectType(3);
  EXPECT_EQ(r.ps->Particles()[5].Position.x, before.Position.x);
  EXPECT_EQ(r.ps->Particles()[5].Age, 0u);
  EXPECT_EQ(r.ps->Count(), 2000);
  EXPECT_EQ(errors.size(), 3u);
  vx::RemoveLogListener(listener);

  // A second kind frees what the first one made.
  vx::WeakRef<TVXLine> oldLine(r.ps->Line());
  vx::WeakRef<TVXImage> oldStar(r.ps->Image(0));
  r.Choose(pkBouncingStars);
  EXPECT_FALSE(oldLine);
  EXPECT_FALSE(oldStar);
  ASSERT_EQ(r.ps->Count(), 1000);
  // The fireworks' spread and origin stay: the stars spread over +-40 around x = 0.
  double spread = 0.0;
  for (const TVXParticle& p : r.ps->Particles()) {
    ASSERT_LE(std::fabs(p.Position.x), 40.0);
    ASSERT_EQ(p.Position.y, 160.0);
    spread = std::max(spread, std::fabs(p.Position.x));
  }
  EXPECT_GT(spread, 30.0);
  Rig fresh;
  fresh.Choose(pkBouncingStars);
  for (const TVXParticle& p : fresh.ps->Particles()) ASSERT_EQ(p.Position.x, 0.0);

  // Bounce: 20/37 of the speed at the floor, reached by a step from just above it.
  TVXParticle& p = fresh.ps->Particles()[1];
  p.Position = Vec(0.0, -99.0, 0.0);
  p.Velocity = Vec(0.0, -0.01, 0.0);
  p.Acceleration = Vec(0.0, -0.002, 0.0);
  fresh.ps->Advance(150);
  EXPECT_EQ(p.Position.y, -100.0);
  EXPECT_DOUBLE_EQ(p.Velocity.y, 0.012 * 20.0 / 37.0);
  EXPECT_EQ(p.Age, 150u);

  // The index search stops at the array's real end.
  const std::vector<int32_t> values{3, 7, 3};
  EXPECT_EQ(IndexOfInt(values, 1000, 3), 2);
  EXPECT_EQ(IndexOfInt(values, 1, 3), 0);
  EXPECT_EQ(IndexOfInt({}, 5, 0), -1);
}

// A star at or behind the eye is born again in the frame's step and first drawn in the next.
TEST(Particles, StarsBornAgainInAFrameAreFirstDrawnInTheNext) {
  Rig r;
  r.ps->SetBounds(0, 0, 800, 600);
  r.Choose(pkStarField);
  auto drawn = [&] {
    r.host.Recorder.ClearCalls();
    r.ps->Process();
    return r.host.Recorder.CallsOf("TextureMap").size();
  };
  for (TVXParticle& p : r.ps->Particles()) p.Position = Vec(0.0, 0.0, 300.0);
  EXPECT_EQ(drawn(), 0u);
  for (TVXParticle& p : r.ps->Particles()) {
    ASSERT_LT(p.Position.z, 256.0);
    p.Position = Vec(0.0, 0.0, 0.0);  // in the middle of the screen
  }
  EXPECT_EQ(drawn(), static_cast<size_t>(r.ps->Count()));
}

// Each value of a newborn particle draws its own random number: the numbers read back from a
// cloud's places, speeds and falls are pairwise uncorrelated (one shared number made them 1).
TEST(Particles, ASpawnDrawsOneRandomNumberPerValue) {
  auto correlation = [](const std::vector<double>& a, const std::vector<double>& b) {
    const double n = static_cast<double>(a.size());
    double ma = 0, mb = 0, ab = 0, aa = 0, bb = 0;
    for (size_t k = 0; k < a.size(); ++k) ma += a[k] / n, mb += b[k] / n;
    for (size_t k = 0; k < a.size(); ++k) {
      ab += (a[k] - ma) * (b[k] - mb), aa += (a[k] - ma) * (a[k] - ma), bb += (b[k] - mb) * (b[k] - mb);
    }
    return ab / std::sqrt(aa * bb);
  };
  static constexpr double kSide[4] = {0.065, 0.035, -0.065, -0.035};
  vx::Rng().Seed(77);
  for (int32_t kind = 0; kind < 3; ++kind) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    Rig r;
    r.ps->SetBounds(0, 0, 640, 480);
    r.Choose(kind);
    r.ps->Spread = 80.0;  // so that the bouncing stars' x carries its number too
    std::vector<std::vector<double>> numbers;  // one column per random value
    for (int round = 0; round < (kind == pkStarField ? 200 : 1); ++round) {
      r.ps->Reset();
      for (int32_t i = 0; i < r.ps->Count(); ++i) {
        const TVXParticle& p = r.ps->Particles()[static_cast<size_t>(i)];
        const TVXVector pos{p.Position.x - r.ps->Origin.x, p.Position.y - r.ps->Origin.y, p.Position.z - r.ps->Origin.z};
        const double depth = pos.z / r.ps->Range + 0.5;
        std::vector<double> row;
        if (kind == pkFireworks) {
          row = {depth, p.Velocity.x / kSide[i % 4], p.Velocity.y / 0.09, (p.Velocity.z + 0.0005) / 0.001,
                 (-p.Acceleration.y - 0.0012) / 0.001};
        } else if (kind == pkStarField) {
          row = {pos.x / 640.0 + 0.5, pos.y / 640.0 + 0.5, depth, (p.Velocity.z + 0.0025) / 0.005};
        } else {
          row = {pos.x / 80.0 + 0.5, depth, std::fabs(p.Velocity.x) / 0.0125, p.Velocity.y / 0.035,
                 (p.Velocity.z + 0.0005) / 0.001, (-p.Acceleration.y - 0.0012) / 0.0009};
        }
        numbers.resize(row.size());
        for (size_t c = 0; c < row.size(); ++c) numbers[c].push_back(row[c]);
      }
    }
    for (size_t a = 0; a < numbers.size(); ++a) {
      for (size_t b = a + 1; b < numbers.size(); ++b) {
        EXPECT_LT(std::fabs(correlation(numbers[a], numbers[b])), 0.15) << "values " << a << " and " << b;
      }
    }
  }
}
