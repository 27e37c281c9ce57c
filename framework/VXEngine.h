#pragma once
// The engine: the drawing facade running the program's one device, with the frame timer,
// the texture cache, the engine fonts from "fonts.vxr", the loading of pictures into
// textures (cut into 256x256 tiles when large), the screenshot command and the full-screen
// switch.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXHost.h"
#include "framework/VXTextures.h"
#include "render/GfxDraw.h"
#include "render/GfxTimer.h"

class TGfxFont;
class TGfxFonts;
class TVXResourceManager;

namespace vx {
class MessagePump;
}

// The engine's frame timer.
class TVXTimer : public TGfxTimer {
public:
  using TGfxTimer::TGfxTimer;
};

// One engine font: the font record's name and the bitmap font it stands for.
class TVXEngineFont {
public:
  std::string Name;
  TGfxFont* Font = nullptr;
};

class TVXEngine : public TGfxDraw, public TVXTextureSource {
public:
  // Pictures larger than this on a side are refused (logged) instead of being made into
  // hundreds of tiles.
  static constexpr int32_t MaxPictureSide = 4096;
  static constexpr int32_t TileSize = 256;

  // The owner is the main window; the pump drives the timer (nullptr in tests, which then
  // call the timer themselves). `device` replaces the GPU device (tests hand in a recording
  // device); nullptr keeps the GPU device.
  TVXEngine(TGfxForm* owner, vx::MessagePump* pump, bool vsync,
            std::unique_ptr<TGfxDevice> device = nullptr);
  ~TVXEngine() override;

  // The last press position (written by the main window after it routed the press).
  int32_t CursorX = 0;
  int32_t CursorY = 0;
  // Caret blink period of text entries, in frames.
  int32_t CaretPeriod = 30;

  TVXTimer* Timer() const { return timer_.get(); }
  TVXTextureList* Textures() const { return textures_.get(); }
  TGfxFonts* FontImages() const { return fontImages_.get(); }
  int32_t FontCount() const { return static_cast<int32_t>(fonts_.size()); }
  TVXEngineFont* GetFont(int32_t index) const;
  // Set by the main window before LoadFonts.
  TVXResourceManager* ResourceManager = nullptr;

  // Starts the device and loads every font record of the fonts archive. A device that
  // cannot start logs its error text, is finalised and calls OnTerminate; loading goes on
  // (and finds no device for the fonts).
  //
  // The device: the GPU device, unless its OpenGL turns out to draw on the CPU (a machine
  // without a GPU), where the software device shown through the window surface costs a
  // fraction of it; the log says which and why. The environment variable
  // VX_RENDER_DEVICE ("gpu" or "soft") forces one, for tests that compare each device's
  // pictures. A device handed to the constructor is always kept.
  void LoadFonts();
  static constexpr const char* DeviceVariable = "VX_RENDER_DEVICE";
  // The device started (initialised with its surface).
  bool Started() const { return Initialized() && DeviceReady(); }
  std::function<void()> OnTerminate;

  // While initialised: the font named name + ".font" (ASCII case ignored), else the first
  // font; nullptr without fonts or before start.
  TVXEngineFont* FindFont(const std::string& name) const;

  // ---- Textures (the cache's source).
  std::unique_ptr<TGfxImage> CreateTextureImage() override;
  // The resource manager's picture into the texture: 0, or 1 when there is no texture
  // object (logged "ERROR: GFXTEXTURE NIL"), no picture, or the device cannot take it.
  int32_t LoadTexture(TVXGfxTexture* texture, const std::string& key) override;
  int32_t LoadTextureFromBitmap(TVXGfxTexture* texture, const TBitmapEx& bitmap,
                                const std::string& key) override;

  // Picks the first free "screenshot_NN.bmp" in the current folder, logs
  // "INFO: ScreenShot : " + the name and writes the current frame there as a BMP. Returns
  // the name (empty when no free name was found).
  std::string ScreenShot();

  bool GetFullScreen() const { return !Windowed(); }
  // Rendering pauses while the device is re-created, and resumes even when that fails (the
  // failure is logged). True when the display is in the asked mode afterwards.
  bool SetFullScreen(bool fullScreen);

protected:
  // The cached textures follow a switch of devices with the fonts.
  void MoveImages() override;

private:
  // Picks the device LoadFonts starts (see there).
  void ChooseDevice();
  int32_t StartDevice();

  bool handedDevice_ = false;
  std::unique_ptr<TVXTimer> timer_;
  std::unique_ptr<TVXTextureList> textures_;
  std::vector<std::unique_ptr<TVXEngineFont>> fonts_;
  std::unique_ptr<TGfxFonts> fontImages_;
};

// The engine's share of the toolkit host: device, surface, cursor, caret, fonts and
// textures come from the engine. The main window derives from it and adds the rest
// (RenderNow, hints, sounds, closing drop-downs).
class TVXEngineHost : public TVXHostBase {
public:
  explicit TVXEngineHost(TVXEngine* engine = nullptr) : Engine(engine) {}
  TVXEngine* Engine;
  TGfxDevice* Device() override;
  int32_t SurfaceWidth() override;
  int32_t SurfaceHeight() override;
  int32_t CursorX() override { return Engine != nullptr ? Engine->CursorX : 0; }
  int32_t CursorY() override { return Engine != nullptr ? Engine->CursorY : 0; }
  int32_t CaretPeriod() override { return Engine != nullptr ? Engine->CaretPeriod : 30; }
  TVXEngineFont* FindFont(const std::string& name) override;
  TVXTextureList* Textures() override { return Engine != nullptr ? Engine->Textures() : nullptr; }
};

namespace vx {
// A frame of 0xAARRGGBB pixels, top row first, as a 24-bit BMP file's bytes.
std::string EncodeScreenshotBmp(int32_t width, int32_t height, const std::vector<uint32_t>& pixels);
}  // namespace vx
