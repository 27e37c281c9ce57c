#pragma once
// The outside reference of the GPU frame benchmarks: quads straight into the GL layer, one
// draw per run of texture and effect, no clipping, no state tracking beyond that.
#include <cstdint>
#include <vector>

#include "platform/gl/GlRenderer.h"
#include "render/GfxDef.h"

namespace vxbench {

struct GlQuad {
  TPoint4 Points{};
  TColor4 Colours{};
  int32_t Effect = 0;
  uint32_t Texture = 0;  // 0: untextured
  float U[4] = {0, 1, 1, 0};
  float V[4] = {0, 0, 1, 1};
};

// Draws one frame of the quads and reads it back (so the GPU's work is inside the time).
// Returns the draws made.
inline int64_t DrawMinimalFrame(vx::gl::Renderer& renderer, const std::vector<GlQuad>& quads,
                                std::vector<vx::gl::Vertex>& run, std::vector<uint32_t>& pixels) {
  int64_t draws = 0;
  renderer.BeginFrame();
  renderer.Clear(0xFF000000u);
  uint32_t bound = UINT32_MAX;
  int32_t effect = -1;
  const auto flush = [&] {
    draws += run.empty() ? 0 : 1;
    renderer.Draw(run.data(), static_cast<int>(run.size()));
    run.clear();
  };
  for (const GlQuad& q : quads) {
    if (q.Texture != bound || q.Effect != effect) {
      flush();
      bound = q.Texture;
      effect = q.Effect;
      renderer.SetTexture(q.Texture);
      TGpuBlend blend;
      GpuBlendForEffect(q.Effect, blend);
      renderer.SetBlend(blend.Enabled, static_cast<vx::gl::BlendFactor>(blend.Source),
                        static_cast<vx::gl::BlendFactor>(blend.Dest));
      renderer.SetTextureMode(q.Texture == 0 ? vx::gl::TextureMode::Colour : vx::gl::TextureMode::Modulate);
    }
    static constexpr int kOrder[6] = {0, 1, 2, 0, 2, 3};
    for (int k : kOrder) {
      const auto i = static_cast<size_t>(k);
      run.push_back(vx::gl::Vertex{static_cast<float>(q.Points[i].X), static_cast<float>(q.Points[i].Y), q.Colours[i],
                                   q.U[k], q.V[k]});
    }
  }
  flush();
  renderer.ReadFrame(pixels);
  return draws;
}

}  // namespace vxbench
