#pragma once
// Particle systems: a drawn control that animates a cloud of particles in one of three
// kinds (fireworks trails, a turning star field, bouncing stars). Particles live in a 3-D
// space measured from the control's top-left corner, move by simple integration and are
// drawn through one line control and five star images that the system owns. Everything is
// allocated when the kind is chosen; a frame allocates nothing.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXControl.h"

class TVXImage;
class TVXLine;
class TVXScene;

struct TVXVector {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// a += b; returns a.
TVXVector& VecAdd(TVXVector& a, const TVXVector& b);
// out := a * s.
void VecScale(const TVXVector& a, double s, TVXVector& out);
TVXVector Vec(double x, double y, double z);

struct TVXParticle {
  int32_t ImageIndex = 0;
  TVXVector Position;
  TVXVector PrevPosition;  // before the last move
  TVXVector Velocity;
  TVXVector Acceleration;
  uint32_t Age = 0;
};

// Effect kinds.
constexpr uint8_t pkFireworks = 0;
constexpr uint8_t pkStarField = 1;
constexpr uint8_t pkBouncingStars = 2;

class TVXParticleSystem : public TVXControl {
public:
  static constexpr int32_t ImageCount = 5;
  // The second advance of every frame.
  static constexpr int32_t kBaseStep = 150;

  explicit TVXParticleSystem(TVXComponent* owner);
  VX_THEMED
  ~TVXParticleSystem() override;

  uint8_t EffectKind() const { return effectKind_; }
  // Sizes and presets the cloud for kind 0..2, makes the images and the line anew (the ones
  // of an earlier kind are freed) and resets. Other kinds are refused and logged.
  void SetEffectType(int32_t kind);
  // The speed of the animation, 0..4; any other value advances like 2.
  uint8_t Mode() const { return mode_; }
  void SetMode(uint8_t mode) { mode_ = mode; }
  // The first advance of a frame in the current mode: 10, 50, 150, 300 or 500.
  int32_t ModeStep() const;
  // Tick := 0 and every particle spawned again for the current kind.
  virtual void Reset();
  // Moves the cloud by one step of the kind. A step <= 0 is refused and logged.
  void Advance(int32_t step);
  // One advance in the mode's step, one of kBaseStep; a star of the star field at or behind
  // the eye is then born again.
  void Step() override;
  // The kind's drawing: trails or stars through the line and the star images.
  void Draw() override;

  std::vector<TVXParticle>& Particles() { return particles_; }
  int32_t Count() const { return static_cast<int32_t>(particles_.size()); }
  double Spread = 0.0;
  double Range = 0.0;
  uint32_t Life = 0;
  double Floor = 0.0;
  uint16_t Tick = 0;
  TVXVector Origin;
  TVXLine* Line() const { return line_.get(); }
  // The star image i (0..4), or nothing before a kind is chosen.
  TVXImage* Image(int32_t i) const;

private:
  void Spawn(int32_t i);
  void Integrate(TVXParticle& p, int32_t step);
  void DrawFireworks();
  void DrawStars();
  // A point of the star projection: false when it lies behind the eye or off 1..798 x 1..598.
  static bool Project(const TVXVector& p, int32_t& sx, int32_t& sy);

  uint8_t effectKind_ = pkFireworks;
  uint8_t mode_ = 2;
  bool hasKind_ = false;
  std::vector<TVXParticle> particles_;
  std::unique_ptr<TVXLine> line_;
  std::array<std::unique_ptr<TVXImage>, ImageCount> images_;
};

namespace vx {
// The one way a particle coordinate becomes a pixel: refused (false) when it is not finite or
// not within lo..hi once rounded (out is then left alone); the range is checked in double
// before anything is converted.
bool ParticleScreenCoord(double value, int32_t lo, int32_t hi, int32_t& out);
// With particle effects on in the settings: a particle system of that kind and name, owned by
// the scene and added to it. Otherwise (and without settings) nothing is made.
TVXParticleSystem* AddSceneParticles(TVXScene* scene, const std::string& name, int32_t kind);
}  // namespace vx
