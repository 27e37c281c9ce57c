#pragma once
// Every value the program "rounds" goes through Round(): ties to even until the first
// texture is set on a control, then upward (the smallest integer not below the value)
// for the rest of the run. The processor's rounding mode is never touched.
#include <cstdint>

namespace vx {

// Rounds to an integer under the current phase. Values outside the 64-bit range are
// clamped; NaN gives 0.
int64_t Round(double value);
// Round() narrowed to 32 bits (clamped).
int32_t Round32(double value);

// Switches to rounding upward; called once when the first texture is set. Idempotent.
void SwitchRoundingUpward();
bool RoundingIsUpward();

// Tests only: back to the start-up phase.
void ResetRoundingForTests();

}  // namespace vx
