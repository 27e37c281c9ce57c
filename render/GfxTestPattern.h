#pragma once
// A test pattern for bringing up a window: colour bars, a grey ramp, shaded corners, a
// frame, lines of every slope and a square that moves with the frame number, so a glance
// tells whether colours, geometry, clipping and presentation are right. Drawn between the
// caller's BeginScene and EndScene. Returns the first failure code, 0 when all went well.
#include <cstdint>

class TGfxDevice;

int32_t DrawTestPattern(TGfxDevice& device, uint32_t frame);
