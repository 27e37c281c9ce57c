#pragma once
// How a frame drawn in memory reaches the window without OpenGL: either SDL's plain 2-D
// window surface (the frame blitted onto it) or an SDL renderer with a streaming texture the
// frame is written into (32-bit, or 16-bit R5G6B5 when the display is 16-bit). When the
// window is larger than the frame (full screen), the frame is scaled up letterboxed and the
// window is told where it lies, so the mouse maps back onto the frame.
//
// Neither way waits for the vertical retrace by itself (a window surface never does; a
// renderer may not honour it), so with vsync asked for, presents are paced to 60 a second
// as the GPU path paces them: frames nobody can see faster cost no CPU.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/PresentPacer.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace vx {

class PlatformWindow;

enum class SoftPresentKind { WindowSurface, StreamingTexture };
enum class SoftPresentResult { Ok, Lost, Failed };

class SoftPresenter {
public:
  explicit SoftPresenter(SoftPresentKind kind, PresentPacer pacer = PresentPacer())
      : kind_(kind), pacer_(std::move(pacer)) {}
  ~SoftPresenter();
  SoftPresenter(const SoftPresenter&) = delete;
  SoftPresenter& operator=(const SoftPresenter&) = delete;

  // Prepares showing frames of width x height on the window. False and a reason when the
  // window cannot show them (for the texture kind: no renderer, no texture, or a display
  // that is neither 16 nor 32 bits a pixel).
  bool Open(PlatformWindow& window, int width, int height, bool vsync, std::string* error);
  void Close();
  bool IsOpen() const { return window_ != nullptr; }

  // Whether the last Open failed because the display is neither 16 nor 32 bits a pixel.
  bool DisplayUnsupported() const { return displayUnsupported_; }

  // Bytes per pixel of what Lock hands out: 4 (0xAARRGGBB) or 2 (R5G6B5). 0 before Open.
  int BytesPerPixel() const { return bytesPerPixel_; }

  // Window surface: shows a 0xAARRGGBB frame (pitch in bytes), alpha ignored.
  SoftPresentResult ShowFrame(const uint32_t* pixels, int pitch);

  // Streaming texture: the memory to write the frame into, then Show. Lock fails when the
  // texture was lost and cannot be made again.
  bool Lock(void*& pixels, int& pitch);
  SoftPresentResult UnlockAndShow();

  // Makes the renderer and texture again after they were lost; false when that fails.
  bool Restore();

private:
  // Where the frame lies in a window of the given size: as large as fits, centred.
  void Letterbox(int windowW, int windowH, int& x, int& y, int& w, int& h) const;
  bool MakeTexture(std::string* error);

  SoftPresentKind kind_;
  PresentPacer pacer_;
  PlatformWindow* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool vsync_ = false;
  int bytesPerPixel_ = 0;
  bool locked_ = false;
  bool displayUnsupported_ = false;
};

}  // namespace vx
