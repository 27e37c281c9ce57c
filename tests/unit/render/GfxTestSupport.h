#pragma once
// Helpers for the GPU device's tests: a form without a window (the device then draws on a
// headless EGL surface), a recording back end that logs what reaches the GPU and can fail
// on demand, and images filled from plain texel arrays.
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "render/GfxBackend.h"
#include "render/GfxDevice3.h"

namespace gfxtest {

// Logs every back-end call that matters for batching and state handling.
class RecordingBackend : public TGfxBackend {
public:
  // Each Draw, as the vertices it was given.
  std::vector<std::vector<TGfxVertex>> Draws;
  int SetTextureCalls = 0;
  int SetBlendCalls = 0;
  int SetModeCalls = 0;
  int ScissorCalls = 0;
  int Uploads = 0;
  int Creates = 0;
  int Resets = 0;
  int Opens = 0;
  int Presents = 0;
  TGpuBlend Blend;
  TGfxTextureMode Mode = TGfxTextureMode::Colour;
  TGfxRect Scissor;
  uint32_t Texture = 0;
  TGfxPresentParams Params;

  // Faults.
  bool FailDraw = false;
  bool FailCreateTexture = false;
  int FailResets = 0;  // this many resets fail before one succeeds
  bool Lost = false;   // Present reports a lost device until a reset
  bool DriverError = false;
  // Every texture a layer of one page, as the GL back end does with textures of one size.
  bool OnePage = false;
  // Pages bound at once, the texture bound on each unit, and those bindings at each Draw.
  int32_t Units = 1;
  uint32_t UnitTextures[vx::gl::kTextureUnits] = {};
  std::vector<std::vector<uint32_t>> DrawUnits;

  bool Open(const TGfxPresentParams& params) override {
    ++Opens;
    Params = params;
    return params.Width > 0 && params.Height > 0;
  }
  void Close() override { live_.clear(); }
  bool Reset(const TGfxPresentParams& params) override {
    ++Resets;
    if (FailResets > 0) {
      --FailResets;
      return false;
    }
    Params = params;
    Lost = false;
    live_.clear();  // every texture is gone
    return true;
  }
  uint32_t CreateTexture(int32_t, int32_t) override {
    if (FailCreateTexture) return 0;
    ++Creates;
    live_.insert(nextId_);
    return nextId_++;
  }
  void DeleteTexture(uint32_t id) override { live_.erase(id); }
  uint32_t TexturePage(uint32_t id) override { return OnePage && id != 0 ? 1 : id; }
  int32_t TextureLayer(uint32_t id) override { return OnePage ? static_cast<int32_t>(id) : 0; }
  bool UploadTexture(uint32_t id, int32_t, int32_t, const uint32_t*) override {
    ++Uploads;
    return live_.count(id) != 0;
  }
  bool BeginScene() override { return true; }
  bool SetTexture(uint32_t id) override {
    ++SetTextureCalls;
    Texture = id;
    UnitTextures[0] = id;
    return true;
  }
  int32_t TextureUnits() const override { return Units; }
  bool SetUnitTexture(int32_t unit, uint32_t id) override {
    if (unit == 0) return SetTexture(id);
    if (unit < 0 || unit >= Units) return false;
    UnitTextures[unit] = id;
    return true;
  }
  void SetBlend(const TGpuBlend& blend) override {
    ++SetBlendCalls;
    Blend = blend;
  }
  void SetTextureMode(TGfxTextureMode mode) override {
    ++SetModeCalls;
    Mode = mode;
  }
  void SetScissor(const TGfxRect& rect) override {
    ++ScissorCalls;
    Scissor = rect;
  }
  void SetLinearFilter(bool) override {}
  void SetDither(bool) override {}
  bool Draw(const TGfxVertex* vertices, int32_t count) override {
    if (FailDraw) return false;
    Draws.emplace_back(vertices, vertices + count);
    DrawUnits.emplace_back(UnitTextures, UnitTextures + Units);
    // A draw with a texture that no longer exists would show garbage.
    for (int32_t unit = 0; unit < Units; ++unit)
      if (UnitTextures[unit] != 0 && live_.count(UnitTextures[unit]) == 0) return false;
    return Texture == 0 || live_.count(Texture) != 0;
  }
  bool Clear(uint32_t) override { return true; }
  TGfxPresentResult Present() override {
    ++Presents;
    if (Lost) return TGfxPresentResult::Lost;
    if (DriverError) {
      DriverError = false;
      return TGfxPresentResult::DriverError;
    }
    return TGfxPresentResult::Ok;
  }
  bool ReadFrame(std::vector<uint32_t>&, int32_t&, int32_t&) override { return false; }
  bool DrawBuffer(const uint32_t*, int32_t, int32_t, int32_t) override { return true; }
  void SimulateDeviceLoss() override { Lost = true; }
  void SimulateDriverError() override { DriverError = true; }

  bool IsLive(uint32_t id) const { return live_.count(id) != 0; }
  size_t LiveTextures() const { return live_.size(); }

private:
  uint32_t nextId_ = 1;
  std::set<uint32_t> live_;
};

// A device on a recording back end, initialised with a surface of width x height.
struct RecordedDevice {
  TGfxForm Form;
  std::unique_ptr<TGfxDevice3> Device;
  RecordingBackend* Backend = nullptr;

  explicit RecordedDevice(int32_t width = 800, int32_t height = 600) {
    Device = std::make_unique<TGfxDevice3>(&Form, [this](TGfxForm*) {
      auto backend = std::make_unique<RecordingBackend>();
      Backend = backend.get();
      return backend;
    });
    Device->SetWidth(width);
    Device->SetHeight(height);
    Device->Initialize();
    Device->InitDevice();
  }
};

// An A8R8G8B8 image of one texture, patterns of patternW x patternH, filled from texels
// (0xAARRGGBB, row by row, textureW x textureH).
inline std::unique_ptr<TGfxImage> MakeImage(TGfxDevice& device, int32_t textureW, int32_t textureH,
                                            int32_t patternW, int32_t patternH,
                                            const std::vector<uint32_t>& texels, int32_t textures = 1) {
  std::unique_ptr<TGfxImage> image = device.CreateImage();
  image->SetFormat(COLOR_A8R8G8B8);
  image->SetTextureSize({textureW, textureH});
  image->SetPatternSize({patternW, patternH});
  image->SetVisibleSize({patternW, patternH});
  image->SetTextureCount(textures);
  image->SetPatternCount(image->PatternsPerTexture() * textures);
  if (image->CreateTextures() != 0) return nullptr;
  for (int32_t t = 0; t < textures; ++t)
    for (int32_t y = 0; y < textureH; ++y) {
      int32_t code = 0;
      const size_t offset = (static_cast<size_t>(t) * textureH + y) * static_cast<size_t>(textureW);
      if (offset + static_cast<size_t>(textureW) > texels.size()) break;
      image->WriteScanline(texels.data() + offset, textureW * 4, code, y, t);
    }
  return image;
}

}  // namespace gfxtest
