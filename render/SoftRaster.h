#pragma once
// The software rasteriser: clears, blended single pixels, two-colour lines and filled or
// texture-mapped quadrilaterals with four corner colours, drawn into a block of 0xAARRGGBB
// pixels. Every call takes the target surface, the clip rectangle and the draw flags
// (srf* in GfxDef.h); nothing is kept between calls but the general path's edge table.
//
// Colours given here are already in pixel order (the devices swap red and blue first).
// Every channel sum saturates at 255; s*f means (s * f) >> 8, so 255*255 gives 254.
#include <cstdint>

#include "render/GfxDef.h"

// A block of pixels (or texels): pixel (x, y) lies at Bits + y * Pitch + x * 4. Width and
// Height bound nothing while drawing (the clip does); a texture's are used to keep the
// texture rectangle inside it.
struct TSRSurface {
  uint8_t* Bits = nullptr;
  int32_t Pitch = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Stores value into count pixels from dest; a count below 1 stores nothing.
void SRFillLongword(uint32_t* dest, int32_t count, uint32_t value);

// The mix of c1 with weight w and c2 with 255 - w, per channel rounded; w = 0 gives c2 and
// w = 255 gives c1 exactly.
uint32_t SRBlendColors(uint32_t c1, uint32_t c2, uint32_t w);

constexpr uint32_t SRSwapRedBlue(uint32_t colour) { return SwapRedBlue(colour); }

// The blend of source s over destination d as the flags say (the first matching row of the
// blend table; srfDiffuse, srfInvert, srfFill and srfLumAlpha change nothing here).
uint32_t SRBlendPixel(uint32_t s, uint32_t d, uint32_t flags);

// One pixel, only inside the clip.
void SRPutPixel(const TSRSurface& surface, const TGfxRect& clip, int32_t x, int32_t y, uint32_t colour,
                uint32_t flags);

// A line with both end points, colour1 at (x1, y1) running towards colour2. The minor axis
// steps in 16.16 by its difference divided by the major length, so the far end may land one
// pixel short on the minor axis.
void SRLine(const TSRSurface& surface, const TGfxRect& clip, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
            uint32_t colour1, uint32_t colour2, uint32_t flags);
// As SRLine without the point (x2, y2), so the edges of a wire quad never meet twice.
void SRLineOpen(const TSRSurface& surface, const TGfxRect& clip, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                uint32_t colour1, uint32_t colour2, uint32_t flags);

// Pulls the edges at the largest x and the largest y of four points in by one: a rectangle's
// exclusive right and bottom become inclusive.
void SRPrepareRect(TPoint4& points);

// Fills (srfFill) or texture-maps one quadrilateral: points and colours p0..p3 around the
// shape; texture corner (Left, Top) belongs to p0, (Right, Top) to p1, (Right, Bottom) to
// p2 and (Left, Bottom) to p3, Right and Bottom exclusive (Left > Right mirrors, Top >
// Bottom flips). An axis-aligned rectangle given corner by corner from p0 takes the
// rectangle path; anything else is scan-converted row by row. The texture rectangle is kept
// inside the texture, so nothing outside it is ever read.
void SRQuad(const TSRSurface& surface, const TSRSurface& texture, const TGfxRect& clip, const TPoint4& points,
            const TColor4& colours, TGfxRect texRect, uint32_t flags);

// ---- The span routines, shared by both paths of SRQuad (exposed for tests and benchmarks).
// One routine per distinct behaviour of the flags, chosen once per quadrilateral.
struct TSRSpan {
  uint32_t* Dest = nullptr;
  const uint8_t* Src = nullptr;  // texel (0, 0) (general path) or texel 0 of the row (rectangles)
  int32_t Count = 0;
  uint32_t U = 0, V = 0;  // 16.16
  uint32_t DU = 0, DV = 0;
  int32_t SrcPitch = 0;   // 0 on the rectangle path: V is not used
  uint32_t LeftColor = 0, RightColor = 0;
};
using TSRSpanRoutine = void (*)(const TSRSpan& span);
TSRSpanRoutine SRSelectSpan(uint32_t flags);
// The number of distinct routines the flags can select (87).
int32_t SRSpanRoutineCount();
