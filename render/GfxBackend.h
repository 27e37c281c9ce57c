#pragma once
// What the GPU device needs of the machine underneath: a frame to draw into, textures,
// a handful of states and triangle-list draws. The real one runs on OpenGL (platform/gl);
// tests put a recording one in its place to check batching and state handling, and to
// inject lost-device faults.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/GlRenderer.h"
#include "render/GfxDef.h"

class TGfxForm;

// x, y in pixels (integer corners), colour as $AABBGGRR (memory bytes R, G, B, A), u, v.
using TGfxVertex = vx::gl::Vertex;

enum class TGfxTextureMode : uint8_t {
  Colour,    // no texture: vertex colour and alpha
  Modulate,  // texel times vertex colour
  Replace,   // texel alone
  PerVertex, // each vertex's Sample chooses one of the above (vx::gl::SampleCode)
};

enum class TGfxPresentResult : uint8_t { Ok, Lost, DriverError, Failed };

// What the surface is made with, kept for resets.
struct TGfxPresentParams {
  int32_t Width = 640;
  int32_t Height = 480;
  bool Windowed = true;
  bool VSync = false;
  int32_t RefreshRate = 0;
  int32_t BackBufferCount = 1;
  friend bool operator==(const TGfxPresentParams&, const TGfxPresentParams&) = default;
};

class TGfxBackend {
public:
  virtual ~TGfxBackend() = default;

  // Creates the drawing surface; false when it cannot be made.
  virtual bool Open(const TGfxPresentParams& params) = 0;
  virtual void Close() = 0;
  // Re-creates the surface with new parameters. Every texture is lost (its id is invalid
  // afterwards); false when the surface cannot be made again.
  virtual bool Reset(const TGfxPresentParams& params) = 0;

  // 0 when the texture cannot be created.
  virtual uint32_t CreateTexture(int32_t width, int32_t height) = 0;
  virtual void DeleteTexture(uint32_t id) = 0;
  // A texture that may lie in a larger layer of side x side (vx::gl::Renderer::CreateTexture),
  // so that pattern sheets of several sizes share one binding.
  virtual uint32_t CreateSheetTexture(int32_t width, int32_t height, int32_t /*side*/) {
    return CreateTexture(width, height);
  }
  // The size texture coordinates are measured against: the layer's, which is the texture's
  // own unless it lies in a larger one (left as given then).
  virtual void TextureExtent(uint32_t /*id*/, int32_t& /*width*/, int32_t& /*height*/) {}
  // The whole texture, 0xAARRGGBB texels, top row first.
  virtual bool UploadTexture(uint32_t id, int32_t width, int32_t height, const uint32_t* texels) = 0;
  // Reads a whole texture back, 0xAARRGGBB texels as uploaded; false where the back end
  // cannot (the device then keeps its own copy of every texture).
  virtual bool ReadTexture(uint32_t /*id*/, int32_t /*width*/, int32_t /*height*/, uint32_t* /*texels*/) { return false; }
  virtual bool ReadsTextures() const { return false; }
  // Whether uploading these texels may change what the page holds for textures drawn before
  // (their texels, or the page itself where the upload moves or grows it).
  virtual bool UploadDisturbs(uint32_t id, int32_t /*width*/, int32_t /*height*/, const uint32_t* /*texels*/,
                              uint32_t page) {
    return page != 0 && TexturePage(id) == page;
  }
  // Textures of one size may share a binding (a page, its layers): what SetTexture(id) binds,
  // and the layer a vertex names to sample the texture. A texture may move to another page
  // between frames.
  virtual uint32_t TexturePage(uint32_t id) { return id; }
  virtual int32_t TextureLayer(uint32_t /*id*/) { return 0; }
  // Between frames: gathers textures into fewer pages, so holes freed textures left do not keep
  // memory, moving at most about `maxBytes` of texels; whether any texture moved (pages and
  // layers may then differ).
  virtual bool CompactTextures(int64_t /*maxBytes*/) { return false; }

  virtual bool BeginScene() = 0;
  virtual bool SetTexture(uint32_t id) = 0;
  // Pages bound at once, and binding one on a unit (0 is SetTexture's): a vertex samples the
  // unit its SampleCode names.
  virtual int32_t TextureUnits() const { return 1; }
  virtual bool SetUnitTexture(int32_t unit, uint32_t id) { return unit == 0 && SetTexture(id); }
  virtual void SetBlend(const TGpuBlend& blend) = 0;
  virtual void SetTextureMode(TGfxTextureMode mode) = 0;
  // Drawing is limited to the rectangle; an empty one lets nothing through.
  virtual void SetScissor(const TGfxRect& rect) = 0;
  virtual void SetLinearFilter(bool on) = 0;
  virtual void SetDither(bool on) = 0;
  // A triangle list.
  virtual bool Draw(const TGfxVertex* vertices, int32_t count) = 0;
  // Clears inside the scissor rectangle to a $AABBGGRR colour.
  virtual bool Clear(uint32_t colour) = 0;
  virtual TGfxPresentResult Present() = 0;
  // The frame as 0xAARRGGBB pixels, top row first.
  virtual bool ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) = 0;
  // Draws a 0xAARRGGBB buffer over the whole frame, unblended, alpha ignored: how a
  // software-rendered frame reaches the window. pitch in bytes.
  virtual bool DrawBuffer(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) = 0;

  // Fault injection: the next Present reports a lost device (drawing is swallowed until a
  // Reset), or an internal driver error.
  virtual void SimulateDeviceLoss() = 0;
  virtual void SimulateDriverError() = 0;
};

// The OpenGL back end: on the form's window when it has one, otherwise on a headless EGL
// surface of the frame size.
std::unique_ptr<TGfxBackend> CreateGLBackend(TGfxForm* form);
// The GL_RENDERER string of the context that back end would get (made and freed for the
// asking); empty and an error text when there is none.
std::string QueryGLRenderer(TGfxForm* form, std::string& error);
