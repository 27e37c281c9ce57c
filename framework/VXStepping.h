#pragma once
// Small integer and colour stepping routines: controls and games move and recolour things
// toward targets a little every frame with these. Every step stops at its target, never
// past it.
#include <cstdint>
#include <span>

#include "render/GfxDef.h"

class TVXCustomControl;

// True when all four values are equal.
bool SameColor4(const TColor4& a, const TColor4& b);
// All four := value.
void FillColor4(uint32_t value, TColor4& out);
// The last index 0..highIndex whose entry equals value, or -1. A highIndex past the array's
// end is cut to its last entry.
int32_t IndexOfInt(std::span<const int32_t> values, int32_t highIndex, int32_t value);
// max(min(current + step, upper), lower), without overflow.
int32_t StepClamp(int32_t current, int32_t step, int32_t upper, int32_t lower);
// Moves one value toward target by at most |step|.
int32_t StepToward(int32_t current, int32_t target, int32_t step);
// Moves the control's Top, then its Left, toward the targets by at most step each, through
// its setters. True when both are reached.
bool MoveControlToward(TVXCustomControl* control, int32_t targetTop, int32_t targetLeft, int32_t step);
// One byte value toward target by at most step, kept within 0..255.
int32_t StepByte(int32_t current, int32_t target, int32_t step);
// Red, green and blue each stepped by StepByte; the alpha byte of the result is 0.
uint32_t StepColor(uint32_t colour, uint32_t target, int32_t step);
void StepColor4(const TColor4& colours, const TColor4& targets, int32_t step, TColor4& out);
// True when the red, green and blue bytes are equal (alpha ignored).
inline bool SameRGB(uint32_t a, uint32_t b) { return ((a ^ b) & 0x00FFFFFFu) == 0; }
bool SameRGB4(const TColor4& a, const TColor4& b);
