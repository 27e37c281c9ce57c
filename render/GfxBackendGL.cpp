#include <string>

#include "core/Log.h"
#include "platform/Window.h"
#include "platform/gl/GlSurface.h"
#include "render/GfxBackend.h"
#include "render/GfxDevice.h"

namespace {

vx::gl::BlendFactor ToGl(TBlendFactor factor) {
  switch (factor) {
    case bfZero: return vx::gl::BlendFactor::Zero;
    case bfOne: return vx::gl::BlendFactor::One;
    case bfSrcAlpha: return vx::gl::BlendFactor::SrcAlpha;
    case bfInvSrcAlpha: return vx::gl::BlendFactor::InvSrcAlpha;
    case bfSrcColor: return vx::gl::BlendFactor::SrcColor;
    case bfInvSrcColor: return vx::gl::BlendFactor::InvSrcColor;
  }
  return vx::gl::BlendFactor::One;
}

class GLBackend final : public TGfxBackend {
public:
  explicit GLBackend(TGfxForm* form) : form_(form) {}
  ~GLBackend() override { Close(); }

  bool Open(const TGfxPresentParams& params) override {
    Close();
    vx::PlatformWindow* window = form_ != nullptr ? form_->Window() : nullptr;
    std::string error;
    std::unique_ptr<vx::gl::Surface> surface;
    if (window != nullptr && window->IsCreated()) {
      ApplyWindowMode(*window, params);
      surface = vx::gl::CreateWindowSurface(window->NativeHandle(), error);
    } else {
      surface = vx::gl::CreateHeadlessSurface(error);
    }
    if (surface) renderer_ = vx::gl::Renderer::Create(std::move(surface), params.Width, params.Height, error);
    if (!renderer_) {
      Log("ERROR: GPU: " + error);
      return false;
    }
    renderer_->SetVSync(params.VSync);
    windowed_ = params.Windowed;
    return true;
  }

  void Close() override {
    renderer_.reset();
    vx::PlatformWindow* window = form_ != nullptr ? form_->Window() : nullptr;
    if (window != nullptr && window->IsCreated()) window->ClearLogicalViewport();
  }

  bool Reset(const TGfxPresentParams& params) override {
    if (!renderer_) return Open(params);
    vx::PlatformWindow* window = form_ != nullptr ? form_->Window() : nullptr;
    if (window != nullptr && window->IsCreated() && params.Windowed != windowed_) {
      // A switch that fails leaves the window and the surface as they were.
      if (!ApplyWindowMode(*window, params)) return false;
      windowed_ = params.Windowed;
    }
    if (!renderer_->Reset(params.Width, params.Height)) return false;
    renderer_->SetVSync(params.VSync);
    return true;
  }

  uint32_t CreateTexture(int32_t width, int32_t height) override {
    return renderer_ ? renderer_->CreateTexture(width, height) : 0;
  }
  uint32_t CreateSheetTexture(int32_t width, int32_t height, int32_t side) override {
    return renderer_ ? renderer_->CreateTexture(width, height, side) : 0;
  }
  void TextureExtent(uint32_t id, int32_t& width, int32_t& height) override {
    if (renderer_) renderer_->TextureExtent(id, width, height);
  }
  void DeleteTexture(uint32_t id) override {
    if (renderer_) renderer_->DeleteTexture(id);
  }
  bool UploadTexture(uint32_t id, int32_t width, int32_t height, const uint32_t* texels) override {
    return renderer_ && renderer_->UploadTexture(id, width, height, texels);
  }
  bool ReadTexture(uint32_t id, int32_t width, int32_t height, uint32_t* texels) override {
    return renderer_ && renderer_->ReadTexture(id, width, height, texels);
  }
  bool ReadsTextures() const override { return true; }
  bool UploadDisturbs(uint32_t id, int32_t width, int32_t height, const uint32_t* texels, uint32_t page) override {
    return renderer_ && renderer_->UploadDisturbs(id, width, height, texels, page);
  }
  uint32_t TexturePage(uint32_t id) override { return renderer_ ? renderer_->TexturePage(id) : 0; }
  int32_t TextureLayer(uint32_t id) override { return renderer_ ? renderer_->TextureLayer(id) : 0; }
  bool CompactTextures(int64_t maxBytes) override { return renderer_ && renderer_->CompactPages(maxBytes) > 0; }
  bool BeginScene() override {
    if (!renderer_) return false;
    renderer_->BeginFrame();
    return true;
  }
  bool SetTexture(uint32_t id) override {
    if (!renderer_) return false;
    renderer_->SetTexture(id);
    return true;
  }
  int32_t TextureUnits() const override { return vx::gl::kTextureUnits; }
  bool SetUnitTexture(int32_t unit, uint32_t id) override {
    if (!renderer_ || unit < 0 || unit >= vx::gl::kTextureUnits) return false;
    renderer_->SetTexture(unit, id);
    return true;
  }
  void SetBlend(const TGpuBlend& blend) override {
    if (renderer_) renderer_->SetBlend(blend.Enabled, ToGl(blend.Source), ToGl(blend.Dest));
  }
  void SetTextureMode(TGfxTextureMode mode) override {
    if (!renderer_) return;
    switch (mode) {
      case TGfxTextureMode::Colour: renderer_->SetTextureMode(vx::gl::TextureMode::Colour); break;
      case TGfxTextureMode::Modulate: renderer_->SetTextureMode(vx::gl::TextureMode::Modulate); break;
      case TGfxTextureMode::Replace: renderer_->SetTextureMode(vx::gl::TextureMode::Replace); break;
      case TGfxTextureMode::PerVertex: renderer_->SetTextureMode(vx::gl::TextureMode::PerVertex); break;
    }
  }
  void SetScissor(const TGfxRect& rect) override {
    if (renderer_) renderer_->SetScissor(rect.Left, rect.Top, rect.Right, rect.Bottom);
  }
  void SetLinearFilter(bool on) override {
    if (renderer_) renderer_->SetLinearFilter(on);
  }
  void SetDither(bool on) override {
    if (renderer_) renderer_->SetDither(on);
  }
  bool Draw(const TGfxVertex* vertices, int32_t count) override {
    return renderer_ && renderer_->Draw(vertices, count);
  }
  bool Clear(uint32_t colour) override { return renderer_ && renderer_->Clear(colour); }

  TGfxPresentResult Present() override {
    if (!renderer_) return TGfxPresentResult::Failed;
    TGfxPresentResult result = TGfxPresentResult::Failed;
    switch (renderer_->Present()) {
      case vx::gl::PresentResult::Ok: result = TGfxPresentResult::Ok; break;
      case vx::gl::PresentResult::Lost: result = TGfxPresentResult::Lost; break;
      case vx::gl::PresentResult::DriverError: result = TGfxPresentResult::DriverError; break;
      case vx::gl::PresentResult::Failed: result = TGfxPresentResult::Failed; break;
    }
    return result;
  }

  bool ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override {
    if (!renderer_ || !renderer_->ReadFrame(pixels)) return false;
    width = renderer_->Width();
    height = renderer_->Height();
    return true;
  }
  bool DrawBuffer(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) override {
    return renderer_ && renderer_->DrawBuffer(pixels, width, height, pitch);
  }
  void SimulateDeviceLoss() override {
    if (renderer_) renderer_->InjectLoss();
  }
  void SimulateDriverError() override {
    if (renderer_) renderer_->InjectDriverError();
  }

private:
  // Full screen is the window's own: the desktop's resolution, the frame letterboxed in it.
  bool ApplyWindowMode(vx::PlatformWindow& window, const TGfxPresentParams& params) {
    std::string error;
    const bool ok = window.SetFullScreen(!params.Windowed, &error);
    if (!ok) Log("ERROR: cannot switch the window mode: " + error);
    return ok;
  }

  TGfxForm* form_;
  std::unique_ptr<vx::gl::Renderer> renderer_;
  bool windowed_ = true;
};

}  // namespace

std::unique_ptr<TGfxBackend> CreateGLBackend(TGfxForm* form) { return std::make_unique<GLBackend>(form); }

std::string QueryGLRenderer(TGfxForm* form, std::string& error) {
  vx::PlatformWindow* window = form != nullptr ? form->Window() : nullptr;
  return vx::gl::QueryRenderer(window != nullptr && window->IsCreated() ? window->NativeHandle() : nullptr, error);
}
