#pragma once
// The GPU device: everything is drawn as coloured, textured triangles collected in a batch
// and sent in one draw call whenever the texture page, the blend or the batch's room runs
// out. Each vertex says what it samples (nothing, or its texture's layer, modulated or not),
// so untextured and textured primitives of one blend and textures of one page share draws.
// States that did not change are not sent again. Lines and points are one-pixel quads at
// the software rasteriser's pixel positions, so every device lights the same pixels.
//
// Images hold their texels in memory only until they reach the GPU, where the back end can
// read them back: GetPixel and friends, and a surface about to be reset or closed, read
// them back first, so a lost device never reloads pictures.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "render/GfxBackend.h"
#include "render/GfxDevice.h"
#include "render/GfxImg.h"

class TGfxDevice3;

class TGfxImage3 : public TGfxImage {
public:
  explicit TGfxImage3(TGfxDevice* device = nullptr);
  ~TGfxImage3() override;

  // One texture per TextureCount on the image's device, which must be a TGfxDevice3 (-14)
  // with its surface (-15); -98 when the GPU refuses one.
  int32_t CreateTextures() override;
  void ReleaseTextures() override;
  // The texel with red in the low byte ($AABBGGRR); 0 outside the textures.
  uint32_t GetPixel(int32_t x, int32_t y, int32_t texture) override;
  // Takes $AABBGGRR; nothing outside the textures.
  void SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) override;
  // code -1 for a texture or line outside the image; at most one row is copied.
  void WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                     int32_t texture) override;
  void ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line,
                    int32_t texture) override;

  // Uploads every texture now (what fails is tried again at its first draw).
  void TexelsComplete() override;

  bool TexturesReady() const { return !textures_.empty(); }

private:
  friend class TGfxDevice3;

  struct Texture {
    std::vector<uint8_t> Bytes;  // rows in Format, packed; empty while only the GPU holds them
    bool Held = true;            // Bytes hold the texels
    uint32_t Id = 0;             // GPU texture, valid while Generation matches the device's
    uint64_t Generation = 0;
    bool Dirty = true;           // the GPU copy is older than Bytes
    // Texels [0, OpaqueWidth) x [0, OpaqueHeight) are all fully opaque.
    int32_t OpaqueWidth = 0;
    int32_t OpaqueHeight = 0;
  };
  // Whether drawing the rectangle (with its filtering neighbours) takes only opaque texels.
  bool OpaqueWithin(int32_t texture, const TGfxRect& r) const;
  void MeasureOpaque(Texture& t, const uint32_t* texels) const;

  uint32_t NewTexture();
  // The GPU texture for drawing, created and uploaded as needed; 0 on failure.
  uint32_t Prepare(int32_t texture);
  uint8_t* TexelAddress(int32_t x, int32_t y, int32_t texture);
  // Brings the texels of a texture only the GPU holds back into Bytes (zeros when they
  // cannot be read: the picture is lost, never the image).
  void Hold(Texture& t);
  void HoldAll();
  void Detach();  // the device goes away: forget GPU ids, keep the texels

  TGfxDevice3* owner_ = nullptr;
  std::vector<Texture> textures_;
  std::vector<uint32_t> upload_;
};

class TGfxDevice3 : public TGfxDevice {
public:
  // The batch holds this many vertices.
  static constexpr int32_t Capacity = 2048;
  // Images of at least this many patterns a texture, larger than half this side, share pages
  // of this side.
  static constexpr int32_t SheetPatterns = 16;
  static constexpr int32_t SheetSide = 512;

  using TBackendFactory = std::function<std::unique_ptr<TGfxBackend>(TGfxForm* form)>;

  // Draws sent to the back end since the device was made (benchmarks count them per frame).
  int64_t DrawCalls() const { return drawCalls_; }
  // Loading pictures leaves decode buffers and texel copies behind as free heap. The first
  // frame presented without an upload after at least this many texel bytes went to the GPU
  // ends a load: the free heap then goes back to the system.
  static constexpr int64_t LoadBytes = int64_t{1} << 20;
  // Texels the back end may move in one frame to free pages (a few milliseconds in software).
  static constexpr int64_t CompactBytes = int64_t{4} << 20;
  int64_t HeapReturns() const { return heapReturns_; }

  // The back end defaults to OpenGL; tests hand in their own.
  explicit TGfxDevice3(TGfxForm* ownerForm, TBackendFactory factory = nullptr);
  ~TGfxDevice3() override;

  void SizeChanging(int32_t newWidth, int32_t newHeight, bool& accept) override;
  void ParamsChanged() override;
  void SetClipRect(const TGfxRect& rect) override;
  std::unique_ptr<TGfxImage> CreateImage() override;
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
  int32_t ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override;

  // Draws a software-rendered 0xAARRGGBB frame over the whole surface (presentation
  // substrate of the software devices). pitch in bytes.
  int32_t DrawBuffer(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);

  bool TextureFilter() const { return filter_; }
  void SetTextureFilter(bool on);
  bool Dithering() const { return dither_; }
  void SetDithering(bool on);

  // The back end in use (null before Initialize): tests inject faults through it.
  TGfxBackend* Backend() const { return backend_.get(); }
  // Resets and re-creations of the surface so far; GPU textures of older ones are gone.
  uint64_t Generation() const { return generation_; }
  bool InScene() const { return inScene_; }

protected:
  // The back end.
  int32_t CreateDevice() override;
  void ReleaseDevice() override;

private:
  friend class TGfxImage3;

  void MarkAllStates();
  void RestoreStates();
  TGfxPresentParams BuildParams(int32_t width, int32_t height) const;
  int32_t ResetSurface(const TGfxPresentParams& params);
  void ChooseTextureFormats();
  int32_t Flush();
  // The texture for the next primitives, bound through its page on a unit (set to the one
  // its vertices name); flushes only when every unit holds another page the batch may sample.
  // Untextured primitives leave the bindings as they are.
  int32_t UseTexture(uint32_t id, uint32_t page, int32_t& unit);
  // Forgets the pages bound (the next texture starts again at unit 0).
  void UnbindPages();
  // The effect for the next primitives; flushes when its blend changes. An opaque primitive
  // under plain alpha blending is drawn unblended: the same pixels, without reading the frame.
  int32_t UseEffect(int32_t effect, bool opaque = false);
  // Whether a quad of these colours is worth drawing unblended (large and fully opaque), or
  // cannot change a pixel (every alpha 0 under a blend that weighs the source by its alpha).
  static bool LargeOpaque(const float* x, const float* y, const uint32_t* colours);
  static bool Invisible(int32_t effect, const uint32_t* colours);
  int32_t Reserve(int32_t vertices);
  void AddQuad(const float* x, const float* y, const uint32_t* colours, const float* u, const float* v, float sample);
  // Brings the scissor in line for a primitive covering bounds: flushes only when the
  // scissor in force could cut it differently from the clip.
  int32_t FitScissor(const TGfxRect& bounds);
  // A quad through the clip: a one-colour rectangle, untextured or drawn one texel a pixel,
  // is cut on the CPU; anything else keeps the scissor.
  // sample: 0 untextured, else the vertex's vx::gl::SampleCode; extentU/V: the size the
  // texture coordinates are measured against. A textured quad drawn one texel a pixel is
  // cut on the CPU as well.
  int32_t PlaceQuad(float* x, float* y, const uint32_t* colours, float* u, float* v, float sample, float extentU,
                    float extentV);
  void AddRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour);
  // The rasteriser's line: every pixel once, as runs of equal colour.
  int32_t AddLinePixels(TGfxPoint p1, TGfxPoint p2, uint32_t c1, uint32_t c2, bool open);
  // Before a texture changes or any page may move: the batch drawn so far must see the old
  // texels and pages.
  void FlushBeforeCreate() {
    if (used_ > 0) Flush();
  }
  // Before the surface's textures go: every image takes its texels back.
  void HoldAllTexels();
  void Register(TGfxImage3* image) { images_.insert(image); }
  void Unregister(TGfxImage3* image) { images_.erase(image); }

  TBackendFactory factory_;
  std::unique_ptr<TGfxBackend> backend_;
  TGfxPresentParams params_;
  std::vector<TGfxVertex> batch_;
  int32_t used_ = 0;
  bool batchTextured_ = false;  // some vertex of the batch samples the bound page
  // The back end's scissor, which lags the clip until a primitive needs it.
  TGfxRect scissor_;
  int64_t drawCalls_ = 0;
  // The page bound on each unit, units below boundUnits_ in use.
  uint32_t pages_[vx::gl::kTextureUnits] = {};
  int32_t boundUnits_ = 0;
  bool textureDirty_ = true;
  int32_t effect_ = 0;
  bool opaque_ = false;
  TGpuBlend blend_;
  bool effectDirty_ = true;
  bool modeDirty_ = true;
  bool filter_ = true;
  bool dither_ = false;
  bool inScene_ = false;
  bool lost_ = false;
  int64_t uploadedSinceReturn_ = 0;
  bool uploadedThisFrame_ = false;
  int64_t heapReturns_ = 0;
  uint64_t generation_ = 1;
  std::unordered_set<TGfxImage3*> images_;
};
