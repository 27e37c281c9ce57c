#pragma once
// The shared look of the casino: colours and the sizes at which the shared pictures are
// drawn. Themes place controls at these sizes so no picture is stretched.
#include <cstdint>

#include "tools/datagen/Canvas.h"

namespace vx::datagen::look {

// 0xRRGGBB
constexpr uint32_t kInk = 0x04100A;
constexpr uint32_t kFeltDark = 0x0A2E1C;
constexpr uint32_t kFelt = 0x145233;
constexpr uint32_t kFeltLight = 0x23784B;
constexpr uint32_t kGoldDark = 0x6E4F12;
constexpr uint32_t kGold = 0xC99E38;
constexpr uint32_t kGoldLight = 0xF2D98A;
constexpr uint32_t kGoldPale = 0xFFF3CC;
constexpr uint32_t kCream = 0xF3E6C2;
constexpr uint32_t kSuitRed = 0xB0141E;

// Shared picture sizes.
constexpr int kButtonW = 120, kButtonH = 34;
constexpr int kTabW = 100, kTabH = 20;
constexpr int kCheckSize = 22;
constexpr int kScrollButton = 10;
constexpr int kFrameW = 480, kFrameH = 320;
constexpr int kTaskBarInset = 8;
constexpr int kTaskBarW = kFrameW - 2 * kTaskBarInset, kTaskBarH = 30;
constexpr int kLogoSize = 24, kLogoFrames = 4;
constexpr int kScreenW = 800, kScreenH = 600;

// Theme colours are $00BBGGRR (red in the low byte).
constexpr uint32_t ThemeColour(uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace vx::datagen::look
