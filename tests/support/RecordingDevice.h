#pragma once
// A drawing device for tests: it draws nothing and logs every call, so drawing code can be
// checked call by call. Its images keep their texels in memory, so pictures can be loaded
// into them and read back.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/GfxDevice.h"
#include "render/GfxImg.h"

namespace vxtest {

// One logged device call. Fields not used by the operation stay at their defaults.
struct DeviceCall {
  std::string Op;  // "Clear", "BeginScene", "FillQuad", "TextureMap", "SetClipRect"...
  TPoint4 Points{};
  TColor4 Colours{};
  int32_t Effect = 0;
  int32_t Pattern = -1;
  const TGfxImage* Image = nullptr;
  TGfxRect Rect{};
  uint32_t Colour = 0;
  // The quad's bounds (left, top, right, bottom) for the quad operations.
  TGfxRect Bounds() const;
  std::string ToString() const;
};

// Texels in memory, 4 bytes each whatever the format, like the software devices' images.
class MemoryImage : public TGfxImage {
public:
  MemoryImage() = default;
  ~MemoryImage() override { MemoryImage::ReleaseTextures(); }
  int32_t CreateTextures() override;
  void ReleaseTextures() override;
  uint32_t GetPixel(int32_t x, int32_t y, int32_t texture) override;
  void SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) override;
  void WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                     int32_t texture) override;
  void ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line,
                    int32_t texture) override;
  // The raw texel word at (x, y) of a texture (0 outside).
  uint32_t Texel(int32_t x, int32_t y, int32_t texture) const;

private:
  std::vector<std::vector<uint32_t>> textures_;
};

class RecordingDevice : public TGfxDevice {
public:
  // Initialised with a surface of the given size, ready to draw.
  explicit RecordingDevice(int32_t width = 800, int32_t height = 600);

  std::vector<DeviceCall> Calls;
  void ClearCalls() { Calls.clear(); }
  // Calls of one operation, in order.
  std::vector<DeviceCall> CallsOf(const std::string& op) const;
  // Every call as a line, for readable failure messages.
  std::string Dump() const;
  // When false, images cannot be created (CreateImage gives nullptr).
  bool CanCreateImages = true;
  // Code TextureMap returns (after logging).
  int32_t TextureMapResult = 0;
  // Code Initialize returns (a device that cannot start).
  int32_t InitializeResult = 0;
  // What ReadFrame hands out (Width x Height pixels); empty: ReadFrame fails with -1.
  std::vector<uint32_t> FramePixels;
  // Runs when a parameter changes (a test may throw from it, as a failing re-creation does).
  std::function<void()> OnParamsChanged;

  void ParamsChanged() override;
  int32_t ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override;

  void SetClipRect(const TGfxRect& rect) override;
  std::unique_ptr<TGfxImage> CreateImage() override;
  int32_t Initialize() override;
  int32_t Finalize() override;
  int32_t InitDevice() override;
  int32_t DoneDevice() override;
  int32_t CheckState() override;
  int32_t BeginScene() override;
  int32_t EndScene() override;
  int32_t Present() override;
  int32_t Clear(uint32_t colour) override;
  int32_t PutPixel(int32_t x, int32_t y, uint32_t colour, int32_t effect) override;
  int32_t FillQuad(const TPoint4& points, const TColor4& colours, int32_t effect) override;
  int32_t WireQuad(const TPoint4& points, const TColor4& colours, int32_t effect) override;
  int32_t Line(TGfxPoint p1, TGfxPoint p2, uint32_t colour1, uint32_t colour2, int32_t effect) override;
  int32_t TextureMap(TGfxImage* image, const TPoint4& points, const TColor4& colours, int32_t effect,
                     const TGfxPattern& pattern) override;

private:
  DeviceCall& Add(const std::string& op);
};

}  // namespace vxtest
