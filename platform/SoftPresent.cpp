#include "platform/SoftPresent.h"

#include <SDL.h>

#include "platform/LeakCheck.h"
#include "platform/Window.h"

namespace vx {

SoftPresenter::~SoftPresenter() { Close(); }

void SoftPresenter::Letterbox(int windowW, int windowH, int& x, int& y, int& w, int& h) const {
  w = windowW;
  h = windowH;
  if (width_ > 0 && height_ > 0 && windowW > 0 && windowH > 0) {
    if (int64_t{windowW} * height_ > int64_t{windowH} * width_)
      w = static_cast<int>(int64_t{windowH} * width_ / height_);
    else
      h = static_cast<int>(int64_t{windowW} * height_ / width_);
  }
  x = (windowW - w) / 2;
  y = (windowH - h) / 2;
}

bool SoftPresenter::MakeTexture(std::string* error) {
  SDL_Window* sdl = window_->NativeHandle();
  ThirdPartyAllocations driverMemory;  // the renderer may load the GL driver stack
  if (renderer_ == nullptr) {
    const Uint32 vsync = vsync_ ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_ = SDL_CreateRenderer(sdl, -1, vsync);
    // A machine without a usable GPU driver still has SDL's own software renderer.
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) {
      if (error) *error = std::string("cannot create a renderer: ") + SDL_GetError();
      return false;
    }
  }
  // A renderer that promises to wait for the retrace is still watched: the pacer caps it
  // when its presents come back at once.
  SDL_RendererInfo info{};
  const bool waits = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  pacer_.SetVSync(vsync_, waits);
  const Uint32 format = bytesPerPixel_ == 2 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_ARGB8888;
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width_, height_);
  if (texture_ == nullptr) {
    if (error) *error = std::string("cannot create the frame texture: ") + SDL_GetError();
    return false;
  }
  return true;
}

bool SoftPresenter::Open(PlatformWindow& window, int width, int height, bool vsync, std::string* error) {
  Close();
  displayUnsupported_ = false;
  if (window.NativeHandle() == nullptr || width < 1 || height < 1) {
    if (error) *error = "no window";
    return false;
  }
  window_ = &window;
  width_ = width;
  height_ = height;
  vsync_ = vsync;
  bytesPerPixel_ = 4;
  if (kind_ == SoftPresentKind::WindowSurface) {
    // The driver's own framebuffer, never one emulated through a renderer: a renderer tied
    // to the window would keep the other presenter (and its own renderer) out.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    pacer_.SetVSync(vsync, false);
  } else {
    const Uint32 display = SDL_GetWindowPixelFormat(window.NativeHandle());
    const int bytes = display == SDL_PIXELFORMAT_UNKNOWN ? 0 : SDL_BYTESPERPIXEL(display);
    if (bytes != 2 && bytes != 4) {
      if (error) *error = "the display is neither 16 nor 32 bits a pixel";
      displayUnsupported_ = true;
      Close();
      return false;
    }
    bytesPerPixel_ = bytes;
    if (!MakeTexture(error)) {
      Close();
      return false;
    }
  }
  return true;
}

void SoftPresenter::Close() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  texture_ = nullptr;
  renderer_ = nullptr;
  if (window_ != nullptr) window_->ClearLogicalViewport();
  window_ = nullptr;
  bytesPerPixel_ = 0;
  locked_ = false;
}

SoftPresentResult SoftPresenter::ShowFrame(const uint32_t* pixels, int pitch) {
  if (window_ == nullptr || kind_ != SoftPresentKind::WindowSurface) return SoftPresentResult::Failed;
  SDL_Window* sdl = window_->NativeHandle();
  SDL_Surface* target = SDL_GetWindowSurface(sdl);
  if (target == nullptr) return SoftPresentResult::Lost;
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width_, height_, 32, pitch,
                                                          SDL_PIXELFORMAT_ARGB8888);
  if (frame == nullptr) return SoftPresentResult::Failed;
  SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
  SDL_Rect dst;
  Letterbox(target->w, target->h, dst.x, dst.y, dst.w, dst.h);
  int rc = 0;
  if (dst.w == width_ && dst.h == height_) {
    rc = SDL_BlitSurface(frame, nullptr, target, &dst);
  } else {
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    rc = SDL_BlitScaled(frame, nullptr, target, &dst);
  }
  SDL_FreeSurface(frame);
  window_->SetLogicalViewport(dst.x, dst.y, dst.w, dst.h);
  if (rc != 0) return SoftPresentResult::Lost;
  pacer_.BeforeSwap();
  const bool shown = SDL_UpdateWindowSurface(sdl) == 0;
  pacer_.AfterSwap();
  return shown ? SoftPresentResult::Ok : SoftPresentResult::Lost;
}

bool SoftPresenter::Lock(void*& pixels, int& pitch) {
  if (texture_ == nullptr || kind_ != SoftPresentKind::StreamingTexture) return false;
  if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return false;
  locked_ = true;
  return true;
}

SoftPresentResult SoftPresenter::UnlockAndShow() {
  if (!locked_ || texture_ == nullptr) return SoftPresentResult::Failed;
  ThirdPartyAllocations driverMemory;  // the GL driver compiles and caches on first use
  SDL_UnlockTexture(texture_);
  locked_ = false;
  int ww = 0, wh = 0;
  if (SDL_GetRendererOutputSize(renderer_, &ww, &wh) != 0) return SoftPresentResult::Lost;
  SDL_Rect dst;
  Letterbox(ww, wh, dst.x, dst.y, dst.w, dst.h);
  // Mouse positions come in window coordinates, which may differ from output pixels.
  int cw = 0, ch = 0;
  window_->GetClientSize(cw, ch);
  if (ww > 0 && wh > 0 && cw > 0 && ch > 0)
    window_->SetLogicalViewport(dst.x * cw / ww, dst.y * ch / wh, dst.w * cw / ww, dst.h * ch / wh);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  if (SDL_RenderClear(renderer_) != 0 || SDL_RenderCopy(renderer_, texture_, nullptr, &dst) != 0)
    return SoftPresentResult::Lost;
  pacer_.BeforeSwap();
  SDL_RenderPresent(renderer_);
  pacer_.AfterSwap();
  return SoftPresentResult::Ok;
}

bool SoftPresenter::Restore() {
  if (window_ == nullptr) return false;
  if (kind_ == SoftPresentKind::WindowSurface) return SDL_GetWindowSurface(window_->NativeHandle()) != nullptr;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
  locked_ = false;
  return MakeTexture(nullptr);
}

}  // namespace vx
