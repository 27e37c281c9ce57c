#include "framework/VXProgressBar.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {
constexpr int32_t kEffectBar = 4;

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

}  // namespace

TVXProgressBar::TVXProgressBar(TVXComponent* owner) : TVXPanel(owner) {}

void TVXProgressBar::SetPosition(int32_t position) {
  position_ = position;
  Recalculate();
}

void TVXProgressBar::SetMin(int32_t value) {
  min_ = value;
  Recalculate();
}

void TVXProgressBar::SetMax(int32_t value) {
  max_ = value;
  Recalculate();
}

void TVXProgressBar::Recalculate() {
  const int64_t range = int64_t{max_} - min_;
  if (range != 0) percent_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{position_} * 100 / range, 0, 100));
  barWidth_ = static_cast<int32_t>(std::max<int64_t>(0, (int64_t{Width()} - 2) * percent_ / 100));
}

void TVXProgressBar::Draw() {
  TVXPanel::Draw();
  if (TGfxDevice* device = Host().Device()) {
    device->FillRect(GfxBounds(Clamp32(int64_t{Left()} + 1), Clamp32(int64_t{Top()} + 1), barWidth_,
                               Clamp32(int64_t{Height()} - 2)),
                     BarColor4, kEffectBar);
  }
}
