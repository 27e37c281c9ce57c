#include "framework/VXEngine.h"

#include <cstdio>
#include <cstdlib>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXResources.h"
#include "platform/Files.h"
#include "platform/gl/GlSurface.h"
#include "render/BitmapEx.h"
#include "render/GfxBackend.h"
#include "render/GfxFonts.h"

TVXEngine::TVXEngine(TGfxForm* owner, vx::MessagePump* pump, bool vsync, std::unique_ptr<TGfxDevice> device)
    : TGfxDraw(owner), handedDevice_(device != nullptr) {
  if (device) {
    // The replacement takes a slot of its own and becomes current; the GPU device stays
    // unused in its slot.
    InstallDevice(rmSoftware, std::move(device));
    SetMode(rmSoftware);
  } else {
    SetMode(rmDirect3D);
  }
  SetVSync(vsync);
  timer_ = std::make_unique<TVXTimer>(pump);
  timer_->SetMayRender(true);
  timer_->MayProcess = false;
  timer_->MayRealTime = false;
  textures_ = std::make_unique<TVXTextureList>(this);
}

TVXEngine::~TVXEngine() {
  SetFonts(nullptr);
  fonts_.clear();
  fontImages_.reset();
  timer_.reset();
  // Textures go before the device they live on.
  textures_.reset();
}

TVXEngineFont* TVXEngine::GetFont(int32_t index) const {
  if (index < 0 || index >= FontCount()) return nullptr;
  return fonts_[static_cast<size_t>(index)].get();
}

void TVXEngine::ChooseDevice() {
  if (handedDevice_ || Mode() != rmDirect3D) return;
  const char* forced = std::getenv(DeviceVariable);
  const std::string choice = forced != nullptr ? forced : "";
  if (choice == "gpu") return;
  if (choice == "soft") {
    Log(std::string("INFO: drawing in software, as ") + DeviceVariable + " asks");
    SetMode(rmSoftGDI);
    return;
  }
  if (!choice.empty()) Log(std::string("ERROR: ") + DeviceVariable + " is neither gpu nor soft: " + choice);
  std::string error;
  const std::string renderer = QueryGLRenderer(Owner(), error);
  if (renderer.empty()) return;  // the GPU device's own start says what is wrong
  if (!vx::gl::IsSoftwareRenderer(renderer)) {
    Log("INFO: drawing with OpenGL on " + renderer);
    return;
  }
  // Every pixel of a frame would be shaded by the CPU through the whole GL pipeline; the
  // software device draws the same frame in a small part of that time.
  Log("INFO: OpenGL draws on the CPU here (" + renderer + "): drawing in software, which costs far less");
  SetMode(rmSoftGDI);
}

int32_t TVXEngine::StartDevice() {
  int32_t code = Initialize();
  if (code == 0) code = InitDevice();
  return code;
}

void TVXEngine::LoadFonts() {
  ChooseDevice();
  int32_t code = StartDevice();
  if (code != 0 && Mode() == rmSoftGDI && !handedDevice_) {
    Log("ERROR: the software device cannot start (" + ErrorString(code) + "); drawing with OpenGL instead");
    Finalize();
    SetMode(rmDirect3D);
    code = StartDevice();
  } else if (code != 0 && Mode() == rmDirect3D) {
    // No usable GPU: the game still runs, drawn in software onto the plain window.
    Log("ERROR: the GPU device cannot start (" + ErrorString(code) + "); drawing in software instead");
    Finalize();
    SetMode(rmSoftGDI);
    code = StartDevice();
  }
  if (code != 0) {
    Log(ErrorString(code));
    Finalize();
    if (OnTerminate) OnTerminate();
  }

  SetFonts(nullptr);
  fonts_.clear();
  fontImages_ = std::make_unique<TGfxFonts>();
  fontImages_->SetDevice(Device());
  if (ResourceManager != nullptr && Started()) fontImages_->LoadFromRecDb(ResourceManager->FontsArchive);
  SetFonts(fontImages_.get());

  const int32_t count = fontImages_->Count();
  // These two lines carry no "INFO: " prefix. Without any font there is no first one to name.
  Log(vx::IntToStr(count) + " FONTS LOADED");
  if (count > 0) Log(fontImages_->Items(0)->Name + " FONT");
  for (int32_t i = 0; i < count; ++i) {
    auto font = std::make_unique<TVXEngineFont>();
    font->Font = fontImages_->Items(i);
    font->Name = font->Font->Name;
    fonts_.push_back(std::move(font));
  }
}

TVXEngineFont* TVXEngine::FindFont(const std::string& name) const {
  if (!Initialized() || fonts_.empty()) return nullptr;
  const std::string wanted = name + ".font";
  for (const auto& f : fonts_) {
    if (vx::SameText(f->Name, wanted)) return f.get();
  }
  return fonts_.front().get();
}

std::unique_ptr<TGfxImage> TVXEngine::CreateTextureImage() {
  std::unique_ptr<TGfxImage> image = Device()->CreateImage();
  if (image) image->Device = Device();
  return image;
}

int32_t TVXEngine::LoadTexture(TVXGfxTexture* texture, const std::string& key) {
  if (texture == nullptr || texture->Image() == nullptr) {
    Log("ERROR: GFXTEXTURE NIL");
    return 1;
  }
  TBitmapEx bitmap;
  if (ResourceManager == nullptr || !ResourceManager->LoadBitmap(key, bitmap)) return 1;
  return LoadTextureFromBitmap(texture, bitmap, key);
}

int32_t TVXEngine::LoadTextureFromBitmap(TVXGfxTexture* texture, const TBitmapEx& bitmap,
                                         const std::string& key) {
  if (texture == nullptr || texture->Image() == nullptr) {
    Log("ERROR: GFXTEXTURE NIL");
    return 1;
  }
  const int32_t w = bitmap.Width();
  const int32_t h = bitmap.Height();
  if (w < 1 || h < 1) return 1;
  if (w > MaxPictureSide || h > MaxPictureSide) {
    Log("ERROR: " + key + " picture too large (" + vx::IntToStr(w) + "x" + vx::IntToStr(h) + ")");
    return 1;
  }
  // Small pictures go whole into one tile; larger ones are cut into tiles, padded on the
  // right and at the bottom with transparent pixels.
  const bool oneTile = w <= TileSize && h <= TileSize;
  texture->PictureWidth = oneTile ? w : (w + TileSize - 1) / TileSize * TileSize;
  texture->PictureHeight = oneTile ? h : (h + TileSize - 1) / TileSize * TileSize;
  const int32_t code = texture->Image()->LoadTiles(bitmap, TGfxSize{TileSize, TileSize}, COLOR_A8R8G8B8);
  if (code != 0) {
    // A texture the device could not take is not cached: the control draws its colours.
    Log("ERROR: " + key + " " + ErrorString(code));
    return 1;
  }
  return 0;
}

std::string TVXEngine::ScreenShot() {
  std::string name;
  for (int32_t n = 1; n <= 9999; ++n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "screenshot_%02d.bmp", static_cast<int>(n));
    if (!vx::FileExists(buf)) {
      name = buf;
      break;
    }
  }
  if (name.empty()) {
    Log("ERROR: ScreenShot : no free name");
    return name;
  }
  Log("INFO: ScreenShot : " + name);
  std::vector<uint32_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  const int32_t code = Device()->ReadFrame(pixels, width, height);
  if (code != 0 || width < 1 || height < 1 ||
      pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    Log("ERROR: ScreenShot : cannot read the frame: " + ErrorString(code != 0 ? code : errInvalidCall));
    return name;
  }
  std::string error;
  if (!vx::WriteFileAtomic(name, vx::EncodeScreenshotBmp(width, height, pixels), &error)) {
    Log("ERROR: ScreenShot : cannot write " + name + ": " + error);
  }
  return name;
}

void TVXEngine::MoveImages() {
  TGfxDraw::MoveImages();
  for (int32_t i = 0; textures_ && i < textures_->Count(); ++i) {
    TVXGfxTexture* texture = textures_->GetItem(i);
    if (texture->Image() == nullptr || !texture->Image()->Loaded()) continue;
    if (auto fresh = RecreateImage(*texture->Image(), *Device()))
      texture->SetImage(std::move(fresh));
    else
      Log("ERROR: " + texture->Key + " cannot be made on the new device");
  }
}

bool TVXEngine::SetFullScreen(bool fullScreen) {
  timer_->SetMayRender(false);
  try {
    SetWindowed(!fullScreen);
  } catch (const std::exception& e) {
    Log(std::string("ERROR: ") + e.what());
  }
  timer_->SetMayRender(true);
  return GetFullScreen() == fullScreen;
}

// ---------------------------------------------------------------------------------------

TGfxDevice* TVXEngineHost::Device() { return Engine != nullptr ? Engine->Device() : nullptr; }

int32_t TVXEngineHost::SurfaceWidth() { return Engine != nullptr ? Engine->Width() : 800; }

int32_t TVXEngineHost::SurfaceHeight() { return Engine != nullptr ? Engine->Height() : 600; }

TVXEngineFont* TVXEngineHost::FindFont(const std::string& name) {
  return Engine != nullptr ? Engine->FindFont(name) : nullptr;
}

namespace vx {

std::string EncodeScreenshotBmp(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  std::string out(54 + imageBytes, '\0');
  auto put16 = [&](size_t at, uint32_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, 54 + imageBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));  // positive: bottom-up rows
  put16(26, 1);
  put16(28, 24);
  put32(34, imageBytes);
  put32(38, 2835);  // 72 DPI
  put32(42, 2835);
  for (int32_t y = 0; y < height; ++y) {
    size_t at = 54 + static_cast<size_t>(height - 1 - y) * rowBytes;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      out[at++] = static_cast<char>(p & 0xFF);          // blue
      out[at++] = static_cast<char>((p >> 8) & 0xFF);   // green
      out[at++] = static_cast<char>((p >> 16) & 0xFF);  // red
    }
  }
  return out;
}

}  // namespace vx
