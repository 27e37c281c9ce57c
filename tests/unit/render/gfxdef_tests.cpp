// The rendering vocabulary: result texts, the effect table on both kinds of device, and
// the colour and rectangle helpers.
#include <gtest/gtest.h>

#include "core/Rounding.h"
#include "render/GfxDef.h"

namespace {

TEST(GfxErrorString, EveryCodeHasItsTextAndOthersTheirNumber) {
  EXPECT_EQ(ErrorString(0), "No error");
  EXPECT_EQ(ErrorString(-1), "The method was called with invalid parameters or in inapropriate situation");
  EXPECT_EQ(ErrorString(-12), "The specific record cannot be removed or overwritten");
  EXPECT_EQ(ErrorString(-14), "The owner must be TGfxDevice");
  EXPECT_EQ(ErrorString(-29), "Could create DirectInput interface");
  EXPECT_EQ(ErrorString(-30), "Could not create Keyboard device");
  EXPECT_EQ(ErrorString(-39), "Failed to enumerate game devices");
  EXPECT_EQ(ErrorString(-49), "Could not acquire Joystick");
  EXPECT_EQ(ErrorString(-50), "Could not read Joystick state");
  EXPECT_EQ(ErrorString(-84), "Cannot retreive device capabilities");
  EXPECT_EQ(ErrorString(-91), "Failed to reset the Direct3D device");
  EXPECT_EQ(ErrorString(-104), "Error retreiving DirectDraw primary surface description");
  EXPECT_EQ(ErrorString(-108), "Failed to lock DirectDraw surface");
  EXPECT_EQ(ErrorString(-200), "Error creating a Win2k-compatible console window");
  EXPECT_EQ(ErrorString(-32772), "Error executing extension plugin");
  EXPECT_EQ(ErrorString(-2147483647), "User-specified error");
  EXPECT_EQ(ErrorString(INT32_MIN), "Unknown Error");
  // Gaps in the table read as numbers.
  EXPECT_EQ(ErrorString(-86), "Error #-86");
  EXPECT_EQ(ErrorString(-16385), "Error #-16385");
  EXPECT_EQ(ErrorString(-3), "Error #-3");
  EXPECT_EQ(ErrorString(-99), "Error #-99");
  EXPECT_EQ(ErrorString(1), "Error #1");
}

TEST(GfxEffects, GpuIgnoresTheModulateLineAndPointBits) {
  TGpuBlend blend;
  ASSERT_TRUE(GpuBlendForEffect(65, blend));  // 65 - 1 - 64 = row 0: blending off
  EXPECT_FALSE(blend.Enabled);
  ASSERT_TRUE(GpuBlendForEffect(3, blend));
  EXPECT_EQ(blend, (TGpuBlend{true, bfOne, bfOne}));
  ASSERT_TRUE(GpuBlendForEffect(5 | 128, blend));
  EXPECT_EQ(blend, (TGpuBlend{true, bfSrcAlpha, bfInvSrcAlpha}));
  ASSERT_TRUE(GpuBlendForEffect(37, blend));
  EXPECT_EQ(blend, (TGpuBlend{true, bfZero, bfInvSrcAlpha}));
  ASSERT_TRUE(GpuBlendForEffect(9, blend));
  EXPECT_EQ(blend, (TGpuBlend{true, bfSrcColor, bfInvSrcColor}));
  // Outside the table the blend is left as it was.
  const TGpuBlend before{true, bfOne, bfOne};
  for (int32_t effect : {12, 14, 18, 38, 40, -2, 1000}) {
    blend = before;
    EXPECT_FALSE(GpuBlendForEffect(effect, blend)) << effect;
    EXPECT_EQ(blend, before);
  }
  EXPECT_TRUE(EffectModulates(5));
  EXPECT_FALSE(EffectModulates(4));
}

TEST(GfxEffects, SoftwareFlagsCarryTheModulateBitOnly) {
  EXPECT_EQ(EffectToSoftwareFlags(0), 64u);
  EXPECT_EQ(EffectToSoftwareFlags(3), 129u);
  EXPECT_EQ(EffectToSoftwareFlags(4), 152u);
  EXPECT_EQ(EffectToSoftwareFlags(5), 153u);
  EXPECT_EQ(EffectToSoftwareFlags(8), 1176u);
  EXPECT_EQ(EffectToSoftwareFlags(11), 1161u);
  EXPECT_EQ(EffectToSoftwareFlags(16), 288u);
  EXPECT_EQ(EffectToSoftwareFlags(20), 276u);
  EXPECT_EQ(EffectToSoftwareFlags(33), 291u);
  EXPECT_EQ(EffectToSoftwareFlags(36), 272u);
  // 64 and 128 are not stripped in software; anything outside the table copies.
  EXPECT_EQ(EffectToSoftwareFlags(65), srfCopy);
  EXPECT_EQ(EffectToSoftwareFlags(128), srfCopy);
  EXPECT_EQ(EffectToSoftwareFlags(-1), srfCopy);
  EXPECT_EQ(EffectToSoftwareFlags(37 + 2), srfCopy);
  EXPECT_EQ(EffectToSoftwareFlags(13), srfCopy);
}

TEST(GfxHelpers, ColoursSwapAndSplitIntoChannels) {
  EXPECT_EQ(SwapRedBlue(0x11223344u), 0x11443322u);
  EXPECT_EQ(SwapRedBlue(SwapRedBlue(0xA1B2C3D4u)), 0xA1B2C3D4u);
  const TColorChannels c = ColorToChannels(0xFF800001u);
  EXPECT_DOUBLE_EQ(c.C[0], 1.0 / 255.0);
  EXPECT_DOUBLE_EQ(c.C[2], 128.0 / 255.0);
  EXPECT_DOUBLE_EQ(c.C[3], 1.0);
  for (uint32_t colour : {0u, 0xFFFFFFFFu, 0x7F80817Eu, 0x01020304u}) EXPECT_EQ(ChannelsToColor(ColorToChannels(colour)), colour);
  TColorChannels out;
  out.C = {1.7, -0.3, 0.5, 0.0};
  EXPECT_EQ(ChannelsToColor(out) & 0x00FFFFu, 0x0000FFu);  // kept inside 0..255
  EXPECT_DOUBLE_EQ(SmoothStep(0.0), 0.0);
  EXPECT_DOUBLE_EQ(SmoothStep(1.0), 1.0);
  EXPECT_NEAR(SmoothStep(0.5), 0.5, 1e-12);
  EXPECT_LT(SmoothStep(0.25), 0.25);
}

TEST(GfxHelpers, RectanglesBecomeQuadsCornerByCorner) {
  const TPoint4 q = QuadFromBounds(10, 20, 30, 40);
  EXPECT_EQ(q[0], (TGfxPoint{10, 20}));
  EXPECT_EQ(q[1], (TGfxPoint{40, 20}));
  EXPECT_EQ(q[2], (TGfxPoint{40, 60}));
  EXPECT_EQ(q[3], (TGfxPoint{10, 60}));
  EXPECT_EQ(QuadFromRect(GfxRect(1, 2, 3, 4))[2], (TGfxPoint{3, 4}));
  vx::ResetRoundingForTests();
  EXPECT_EQ(QuadFromBoundsScaled(0, 0, 5, 3, 0.5)[2], (TGfxPoint{2, 2}));  // 2.5 and 1.5, ties to even
  vx::SwitchRoundingUpward();
  EXPECT_EQ(QuadFromBoundsScaled(0, 0, 5, 3, 0.5)[2], (TGfxPoint{3, 2}));
  vx::ResetRoundingForTests();
  EXPECT_TRUE(GfxRect(5, 5, 5, 10).IsEmpty());
  EXPECT_TRUE(GfxRect(5, 5, 4, 10).IsEmpty());
  EXPECT_FALSE(GfxRect(5, 5, 6, 6).IsEmpty());
}

}  // namespace
