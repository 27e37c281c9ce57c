#include "framework/VXParticles.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "core/Log.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXHost.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"

TVXVector& VecAdd(TVXVector& a, const TVXVector& b) {
  a.x += b.x;
  a.y += b.y;
  a.z += b.z;
  return a;
}

void VecScale(const TVXVector& a, double s, TVXVector& out) { out = TVXVector{a.x * s, a.y * s, a.z * s}; }

TVXVector Vec(double x, double y, double z) { return TVXVector{x, y, z}; }

namespace vx {
bool ParticleScreenCoord(double value, int32_t lo, int32_t hi, int32_t& out) {
  // One unit of slack either side covers every rounding mode; the exact test follows.
  if (!std::isfinite(value) || value < lo - 1.0 || value > hi + 1.0) return false;
  const int32_t v = Round32(value);
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

TVXParticleSystem* AddSceneParticles(TVXScene* scene, const std::string& name, int32_t kind) {
  const TVXSetting* settings = scene != nullptr ? SettingIn(scene->Context()) : nullptr;
  if (settings == nullptr || !settings->optParticleEffects) return nullptr;
  auto* ps = new TVXParticleSystem(scene);
  ps->SetName(name);
  scene->AddControl(ps);
  ps->SetEffectType(kind);
  return ps;
}
}  // namespace vx

namespace {

// 0.000 to 1.000 in steps of 0.001.
double Rand01() { return Random(1001) * 0.001; }

constexpr const char* kStarNames[TVXParticleSystem::ImageCount] = {"PAR_STAR1", "PAR_STAR2", "PAR_STAR2", "PAR_STAR3",
                                                                   "PAR_STAR3"};

struct KindPreset {
  int32_t Count;
  double Range;
  uint32_t Life;
};
constexpr KindPreset kPresets[3] = {{2000, 360.0, 60000}, {10, 480.0, 17000}, {1000, 160.0, 26000}};

// Where the stars' projection may draw.
constexpr int32_t kStarMinX = 1, kStarMaxX = 798, kStarMinY = 1, kStarMaxY = 598;

}  // namespace

TVXParticleSystem::TVXParticleSystem(TVXComponent* owner) : TVXControl(owner) {
  TextureInfo.SetFolder("EFFECTS");
  Enabled = false;
}

TVXParticleSystem::~TVXParticleSystem() = default;

TVXImage* TVXParticleSystem::Image(int32_t i) const {
  return i >= 0 && i < ImageCount ? images_[static_cast<size_t>(i)].get() : nullptr;
}

void TVXParticleSystem::SetEffectType(int32_t kind) {
  if (kind < pkFireworks || kind > pkBouncingStars) {
    Log("ERROR: " + Name() + ": no particle effect kind " + std::to_string(kind));
    return;
  }
  effectKind_ = static_cast<uint8_t>(kind);
  const KindPreset& preset = kPresets[kind];
  Range = preset.Range;
  Life = preset.Life;
  if (kind == pkFireworks) {
    Spread = 80.0;
    Origin = Vec(0.0, 160.0, -400.0);
  } else if (kind == pkStarField) {
    Tick = 0;
    Origin = Vec(0.0, 0.0, 0.0);
  } else {
    Floor = -100.0;
  }
  // A second choice replaces everything the first one made.
  for (size_t i = 0; i < images_.size(); ++i) {
    auto image = std::make_unique<TVXImage>(this);
    image->SetName(kStarNames[i]);
    image->SetAutoSize(true);
    image->TextureInfo.SetFolder("EFFECTS");
    image->TextureInfo.SetName(kStarNames[i]);
    images_[i] = std::move(image);
  }
  particles_.assign(static_cast<size_t>(preset.Count), TVXParticle{});
  for (size_t i = 0; i < particles_.size(); ++i) particles_[i].ImageIndex = static_cast<int32_t>(i % ImageCount);
  line_ = std::make_unique<TVXLine>(this);
  hasKind_ = true;
  Reset();
}

int32_t TVXParticleSystem::ModeStep() const {
  switch (mode_) {
    case 0: return 10;
    case 1: return 50;
    case 3: return 300;
    case 4: return 500;
    default: return kBaseStep;
  }
}

void TVXParticleSystem::Reset() {
  Tick = 0;
  for (int32_t i = 0; i < Count(); ++i) Spawn(i);
}

void TVXParticleSystem::Spawn(int32_t i) {
  TVXParticle& p = particles_[static_cast<size_t>(i)];
  // Every value draws its own random number, in the order written, so that a particle's
  // place, speed and fall are independent (one shared number put every star on the diagonal).
  switch (effectKind_) {
    case pkFireworks: {
      static constexpr double kSide[4] = {0.065, 0.035, -0.065, -0.035};
      const double a = static_cast<double>(i);
      const double px = std::cos(a) * (Rand01() - 0.5) * Spread;
      const double py = std::sin(a) * (Rand01() - 0.5) * Spread;
      const double pz = (Rand01() - 0.5) * Range;
      p.Position = Vec(px, py, pz);
      const double vx = kSide[i % 4] * Rand01();
      const double vy = 0.09 * Rand01();
      const double vz = 0.001 * Rand01() - 0.0005;
      p.Velocity = Vec(vx, vy, vz);
      p.Acceleration = Vec(0.0, -(0.0012 + 0.001 * Rand01()), 0.0);
      break;
    }
    case pkStarField: {
      const double w = Width();
      const double px = w * (Rand01() - 0.5);
      const double py = w * (Rand01() - 0.5);
      const double pz = (Rand01() - 0.5) * Range;
      p.Position = Vec(px, py, pz);
      p.Velocity = Vec(0.0, 0.0, 0.005 * Rand01() - 0.0025);
      p.Acceleration = Vec(0.0, 0.0, 0.0007);
      break;
    }
    default: {
      const double px = (Rand01() - 0.5) * Spread;
      const double pz = (Rand01() - 0.5) * Range;
      p.Position = Vec(px, 0.0, pz);
      const double vx = (i % 2 == 0 ? 0.0125 : -0.0125) * Rand01();
      const double vy = 0.035 * Rand01();
      const double vz = 0.001 * Rand01() - 0.0005;
      p.Velocity = Vec(vx, vy, vz);
      p.Acceleration = Vec(0.0, -(0.0012 + 0.0009 * Rand01()), 0.0);
      break;
    }
  }
  VecAdd(p.Position, Origin);
  p.PrevPosition = p.Position;
  p.Age = 0;
}

void TVXParticleSystem::Integrate(TVXParticle& p, int32_t step) {
  // Ages saturate: a star that never leaves the field must not wrap to young.
  p.Age = p.Age > std::numeric_limits<uint32_t>::max() - static_cast<uint32_t>(step)
              ? std::numeric_limits<uint32_t>::max()
              : p.Age + static_cast<uint32_t>(step);
  p.PrevPosition = p.Position;
  TVXVector move;
  VecScale(p.Velocity, step, move);
  VecAdd(p.Position, move);
  VecAdd(p.Velocity, p.Acceleration);
}

void TVXParticleSystem::Advance(int32_t step) {
  if (step <= 0) {
    Log("ERROR: " + Name() + ": particle step " + std::to_string(step) + " refused");
    return;
  }
  if (particles_.empty()) return;
  const bool burstOver = particles_[0].Age >= Life;
  switch (effectKind_) {
    case pkFireworks:
      if (burstOver) {
        Reset();
        Host().PlaySound("SND_FIREWORKS");
      }
      for (TVXParticle& p : particles_) Integrate(p, step);
      break;
    case pkStarField: {
      const bool turning = (Tick & 0xFFu) >= 128;
      static const double kCos = std::cos(std::numbers::pi / 180.0), kSin = std::sin(std::numbers::pi / 180.0);
      for (TVXParticle& p : particles_) {
        Integrate(p, step);
        if (turning) {
          const double x = p.Position.x, y = p.Position.y;
          p.Position.x = x * kCos - y * kSin;
          p.Position.y = y * kCos + x * kSin;
        }
      }
      Tick = static_cast<uint16_t>(Tick + 1);
      break;
    }
    default:
      if (burstOver) Reset();
      for (TVXParticle& p : particles_) {
        Integrate(p, step);
        if (p.Position.y < Floor) {
          p.Velocity.y = -(p.Velocity.y * 20.0 / 37.0);
          p.Position.y = Floor;
        }
      }
      break;
  }
}

void TVXParticleSystem::Step() {
  if (!hasKind_) return;
  Advance(ModeStep());
  Advance(kBaseStep);
  if (effectKind_ != pkStarField) return;
  for (int32_t i = 0; i < Count(); ++i) {
    if (!(particles_[static_cast<size_t>(i)].Position.z < 256.0)) Spawn(i);
  }
}

void TVXParticleSystem::Draw() {
  if (!hasKind_) return;
  if (effectKind_ == pkFireworks) {
    DrawFireworks();
  } else {
    DrawStars();
  }
}

void TVXParticleSystem::DrawFireworks() {
  if (Life == 0) return;
  // The whole burst fades together.
  const double p = particles_[0].Age * 100.0 / Life;
  auto channel = [](double v) { return static_cast<uint32_t>(std::clamp<int64_t>(vx::Round(v), 0, 255)); };
  line_->SetColor(channel(40 - 0.3 * p) | channel(200 - 1.15 * p) << 8 | channel(255 - 1.25 * p) << 16);
  const int32_t maxX = Host().SurfaceWidth() - 1, maxY = Host().SurfaceHeight() - 1;
  const double left = Left(), top = Top();
  int32_t x1, y1, x2, y2;
  for (const TVXParticle& q : particles_) {
    // A trail with an end off the surface is not drawn: its ends could not be converted.
    if (!vx::ParticleScreenCoord(left + q.PrevPosition.x, 0, maxX, x1) ||
        !vx::ParticleScreenCoord(top - q.PrevPosition.y, 0, maxY, y1) ||
        !vx::ParticleScreenCoord(left + q.Position.x, 0, maxX, x2) ||
        !vx::ParticleScreenCoord(top - q.Position.y, 0, maxY, y2)) {
      continue;
    }
    line_->SetPoints(x1, y1, x2, y2);
    line_->Process();
  }
}

bool TVXParticleSystem::Project(const TVXVector& p, int32_t& sx, int32_t& sy) {
  // At or behind the eye plane the division would blow up or flip the picture.
  if (!(p.z < 256.0)) return false;
  const double f = 1.0 / (256.0 - p.z);
  return vx::ParticleScreenCoord(256.0 * p.x * f + 400.0, kStarMinX, kStarMaxX, sx) &&
         vx::ParticleScreenCoord(300.0 - 256.0 * p.y * f, kStarMinY, kStarMaxY, sy);
}

void TVXParticleSystem::DrawStars() {
  int32_t x, y;
  for (int32_t i = 0; i < Count(); ++i) {
    const TVXParticle& p = particles_[static_cast<size_t>(i)];
    // A star born again in this frame's step (age 0: the step aged every other one) is first
    // drawn in the next frame.
    if (effectKind_ == pkStarField && p.Age == 0) continue;
    if (!Project(p.Position, x, y)) continue;
    if (effectKind_ == pkStarField) {
      TVXImage* image = images_[static_cast<size_t>(p.ImageIndex)].get();
      image->SetLeft(x);
      image->SetTop(y);
      image->Process();
    } else {
      line_->SetPoints(x, y, x + 1, y + 1);
      line_->Process();
    }
  }
}

const TVXThemeClass& TVXParticleSystem::StaticThemeClass() {
  // The star images of the current kind.
  static const TVXThemeClass info =
      TVXThemeClassBuilder<TVXParticleSystem, TVXControl>("TVXParticleSystem").Parts([](TVXParticleSystem& system) {
        std::vector<TVXControl*> parts;
        for (int32_t i = 0; i < ImageCount; ++i)
          if (TVXImage* star = system.Image(i)) parts.push_back(star);
        return parts;
      });
  return info;
}
