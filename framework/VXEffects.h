#pragma once
// One effect of a drawn control: up to five parts (colour, text colour, alpha, scroll,
// grow), each with its targets. A control keeps five of these (normal, roll-over and three
// user effects, filled from the theme) and one running record that holds the copied targets
// and the stepping state of every part.
#include <cstdint>

#include "render/GfxDef.h"

// Directions of the scroll part, as bits.
constexpr uint32_t sdRight = 2;
constexpr uint32_t sdLeft = 4;
constexpr uint32_t sdDown = 8;
constexpr uint32_t sdUp = 16;

// Phases of a running part.
enum TVXEffectPhase : uint8_t {
  epOff = 0,
  epForward = 1,     // moving toward the target
  epHold = 2,        // holding at the target
  epReturnRepeat = 3,  // moving back, then forward again
  epReturnStop = 4,    // moving back, then off
};

// Stepping state of one part of the running record.
struct TVXEffectPart {
  bool Started = false;  // ever started
  int32_t Source = 0;    // index 0..4 of the record it came from
  TVXEffectPhase Phase = epOff;
  bool Running(int32_t source) const { return Phase != epOff && Source == source; }
};

// Record indices.
constexpr int32_t efNormal = 0;
constexpr int32_t efRollOver = 1;
constexpr int32_t efCustom1 = 2;
constexpr int32_t efCustom2 = 3;
constexpr int32_t efCustom3 = 4;
constexpr int32_t efCount = 5;
// The user effects 1..3 that StartEffect and StopEffect take: records efCustom1..efCustom3.
constexpr int32_t ueEffect1 = 1;
constexpr int32_t ueEffect2 = 2;
constexpr int32_t ueEffect3 = 3;

class TVXEffects {
public:
  // Colour part: four target corner colours.
  bool ColorEnabled = false;
  bool ColorContinuous = true;
  TColor4 Color{};
  int32_t ColorChangeSpeed = 0;  // 4: the target at once; otherwise 10 per frame
  // Text colour part.
  bool TextColorEnabled = false;
  bool TextColorContinuous = true;
  uint32_t TextColor = 0;
  int32_t TextColorChangeSpeed = 0;
  // Alpha part: always 10 per frame.
  bool AlphaEnabled = false;
  bool AlphaContinuous = false;
  int32_t AlphaBlendValue = 0;
  int32_t AlphaChangeSpeed = 0;
  // Scroll part: direction bits, distance in pixels, speed 0..4.
  bool ScrollEnabled = false;
  uint32_t ScrollOptions = 0;
  int32_t ScrollDistance = 0;
  int32_t ScrollSpeed = 0;
  // Grow part: pixels of width gained.
  bool GrowEnabled = false;
  int32_t GrowDistance = 0;

  // Stepping state (used in the running record only).
  TVXEffectPart ColorState;
  TVXEffectPart TextColorState;
  TVXEffectPart AlphaState;
  TVXEffectPart ScrollState;
  TVXEffectPart GrowState;
  bool AlphaDown = false;  // the alpha part moves down (current >= target when applied)
  // How far the scroll part has moved the control from where it started, and how many grow
  // steps it has taken. Kept apart so that scroll and grow, or a move of the whole screen,
  // never leave the control off its place when the parts return.
  int32_t ScrollOffsetX = 0;
  int32_t ScrollOffsetY = 0;
  int32_t GrowSteps = 0;
};
