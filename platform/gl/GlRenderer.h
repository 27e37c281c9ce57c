#pragma once
// The GPU drawing layer: OpenGL 3.3 core behind plain types, so nothing above platform/
// sees GL. Everything is drawn into a frame buffer object of the logical frame size with an
// orthographic projection whose pixel corners are integers (no half-pixel offset); Present
// copies that frame to the window, scaled and letterboxed when the window is larger.
//
// Vertices: x, y (float pixels), a colour whose memory bytes are R, G, B, A (the system's
// $AABBGGRR colour stored as is), u, v (float) and what the vertex samples. Texels are
// 0xAARRGGBB, uploaded as BGRA.
//
// Textures of one size are layers of shared array textures ("pages"), so that drawing from
// many pictures of one size binds one page and needs one draw: each vertex names its layer
// (TextureMode::PerVertex). A layer samples exactly as a texture of its own would.
//
// Pages of several layer sizes are drawn together: kTextureUnits pages are bound at once, one
// on each texture unit, and each vertex names the unit as well as the layer.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Window.h"
#include "platform/PresentPacer.h"

namespace vx::gl {

class Surface;
struct Functions;

struct Vertex {
  float X = 0.0f;
  float Y = 0.0f;
  uint32_t Colour = 0;
  float U = 0.0f;
  float V = 0.0f;
  // Under TextureMode::PerVertex: 0 the vertex colour alone, otherwise SampleCode's value.
  float Sample = 0.0f;
};
static_assert(sizeof(Vertex) == 24);

// Pages bound at once. GL 3.3 gives every fragment shader at least 16 units, but a software
// driver samples every unit the shader names for every pixel: two keep a typical frame
// under twenty draws for the least cost to each pixel (three cut a few more draws but cost
// the rasteriser's threads a fifth more time).
constexpr int kTextureUnits = 2;
// Layers a page may hold: every vertex's sample code stays an integer a float holds exactly.
constexpr int kMaxPageLayers = 1 << 16;

// The layers of a new page when the pages of its size, `existing` layers together, are full:
// as many again (at least `first`, at most `cap`). Pages are never grown: growing allocates
// the whole page anew and copies it, and a driver that clears what it allocates (a software
// one does) pays for every layer again in the frame that needs one more. So a size takes a
// few pages, a screen's load allocates about what it uploads, and a page its textures leave
// is freed.
inline int NewPageLayers(int existing, int first, int cap) {
  return std::clamp(existing, std::min(first, cap), cap);
}

// The texel of `layer` of the page on `unit` times the vertex colour, or (replace) the texel
// alone.
inline float SampleCode(int layer, bool replace, int unit = 0) {
  return static_cast<float>(1 + 2 * (layer * kTextureUnits + unit) + (replace ? 1 : 0));
}

// The smallest power-of-two corner of a width x height texture (sides powers of two) that
// samples under clamping as the whole does: every row repeats its texel at column
// cornerWidth - 1 to its end, and every row from cornerHeight - 1 down equals row
// cornerHeight - 1.
void SamplingCorner(const uint32_t* texels, int width, int height, int& cornerWidth, int& cornerHeight);

enum class BlendFactor : uint8_t { Zero, One, SrcAlpha, InvSrcAlpha, SrcColor, InvSrcColor };

enum class TextureMode : uint8_t {
  Colour,    // no texture: vertex colour and alpha
  Modulate,  // texel times vertex colour
  Replace,   // texel alone
  Opaque,    // texel colour with alpha forced to 1 (software presentation)
  PerVertex, // each vertex's Sample decides (colour, modulate or replace, and the layer)
};

enum class PresentResult : uint8_t { Ok, Lost, DriverError, Failed };

// Where a frame of the logical size lands in a drawable: the window's own letterbox rule, so
// the picture lies exactly where the window maps the mouse.
using Letterbox = FrameRect;
inline Letterbox ComputeLetterbox(int drawableWidth, int drawableHeight, int frameWidth, int frameHeight) {
  return LetterboxFrame(drawableWidth, drawableHeight, frameWidth, frameHeight);
}

class Renderer {
public:
  // Takes the surface, makes it current, loads GL and creates the frame of width x height.
  // Null and an error text on failure.
  static std::unique_ptr<Renderer> Create(std::unique_ptr<Surface> surface, int width, int height,
                                          std::string& error);
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool HasWindow() const;
  Surface& GetSurface() { return *surface_; }

  // Re-creates every GL object (textures are lost: their ids become invalid) with a new
  // frame size. False when that fails.
  bool Reset(int width, int height);

  // 1 waits for the vertical retrace; 0 presents at once.
  void SetVSync(bool on);

  // Textures. 0 when the texture cannot be created. With `side` (a power of two), a texture
  // whose sides are powers of two up to it lies in a page of side x side layers: textures of
  // several sizes then share one binding. Its texels fill the layer's top-left corner with
  // its last column and row repeated once beside them, so it samples as it would alone
  // (coordinates scaled by the layer's size, see TextureExtent).
  // Without a side, a texture of power-of-two sides takes a layer only as large as its texels
  // need: the smallest power-of-two corner beyond which every row repeats its last texel and
  // every column its last row, so that clamping samples the corner exactly as the whole
  // texture. A layer is taken at the first upload (the texels decide its size) and may change
  // at a later one.
  uint32_t CreateTexture(int width, int height, int side = 0);
  // The size of the layer a texture lies in (its own size unless it was made with a side).
  void TextureExtent(uint32_t id, int& width, int& height) const;
  void DeleteTexture(uint32_t id);
  // Whole texture from 0xAARRGGBB texels, top row first.
  bool UploadTexture(uint32_t id, int width, int height, const uint32_t* texels);
  // Whether that upload may change the texels or the name of `page` (the upload moves the
  // texture out of it, grows it, or writes into the texture's layer there).
  bool UploadDisturbs(uint32_t id, int width, int height, const uint32_t* texels, uint32_t page);
  // Reads a whole texture back as uploaded (0xAARRGGBB, top row first).
  bool ReadTexture(uint32_t id, int width, int height, uint32_t* texels);
  // Textures that left pages leave holes, which keep the pages' memory: while the other pages
  // of a size have room for all of the emptiest one's textures, they move there and the page
  // is freed. Whole pages move until at least `maxBytes` of texels have; between frames only.
  // The bytes moved.
  int64_t CompactPages(int64_t maxBytes);
  // The page a texture lies in (what binding it binds; 0 for no texture) and its layer.
  // Both change when the texture moves, so they are asked for at each use.
  uint32_t TexturePage(uint32_t id) const;
  int TextureLayer(uint32_t id) const;

  // Frame state. Scissor in top-left pixel coordinates of the frame.
  void BeginFrame();
  // Binds the page of texture `id` on `unit` (0 to kTextureUnits - 1); unit 0 also serves the
  // modes other than PerVertex.
  void SetTexture(uint32_t id) { SetTexture(0, id); }
  void SetTexture(int unit, uint32_t id);
  void SetBlend(bool enabled, BlendFactor source, BlendFactor dest);
  void SetTextureMode(TextureMode mode);
  void SetScissor(int left, int top, int right, int bottom);
  void SetLinearFilter(bool on);
  void SetDither(bool on);
  // A triangle list.
  bool Draw(const Vertex* vertices, int count);
  // Clears the scissored part of the frame to a $AABBGGRR colour.
  bool Clear(uint32_t colour);
  // Draws a 32-bit 0xAARRGGBB buffer over the whole frame, unblended, alpha ignored (the
  // software devices present through this). pitch in bytes.
  bool DrawBuffer(const uint32_t* pixels, int width, int height, int pitch);

  PresentResult Present();
  // The frame as 0xAARRGGBB, top row first.
  bool ReadFrame(std::vector<uint32_t>& pixels);

  // Where the frame was last shown in the window (mouse mapping).
  Letterbox LastLetterbox() const { return letterbox_; }

  // Fault injection: the next Present reports a lost device, and until Reset nothing is
  // drawn; or the next Present reports an internal driver error.
  void InjectLoss() { lost_ = true; }
  void InjectDriverError() { driverError_ = true; }

  PresentPacer& Pacer() { return pacer_; }

private:
  Renderer(std::unique_ptr<Surface> surface, std::unique_ptr<Functions> gl);
  bool CreateObjects(int width, int height, std::string& error);
  void DestroyObjects();
  void ApplyState();
  bool Check();
  struct Slot {
    uint32_t Page = 0;  // 0 until the first upload places the texture
    int Layer = 0;
    int PageWidth = 0;
    int PageHeight = 0;
    int Width = 0;  // the texture's own size
    int Height = 0;
    int Side = 0;  // CreateTexture's side
  };
  struct Page {
    uint32_t Name = 0;
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Layers;  // the texture id in each layer, 0 when free
    int Used = 0;
  };
  // The layer size an upload of these texels takes (computed once for the pair of calls
  // UploadDisturbs and UploadTexture make).
  void LayerFor(uint32_t id, const Slot& slot, int width, int height, const uint32_t* texels, int& layerWidth,
                int& layerHeight);
  struct LayerChoice {
    uint32_t Id = 0;
    const uint32_t* Texels = nullptr;
    int Width = 0;
    int Height = 0;
    int LayerWidth = 0;
    int LayerHeight = 0;
  };
  LayerChoice lastChoice_;
  // A free layer of a page of that size, growing a page or making one; false on failure.
  bool FindLayer(int width, int height, uint32_t id, Slot& slot);
  // Gives a placed texture's layer back to its page (an empty page goes).
  void FreeLayer(Slot& slot);
  Page* PageWithRoom(int width, int height, const Page* besides);
  Page* FindPage(uint32_t name);

  std::unique_ptr<Surface> surface_;
  std::unique_ptr<Functions> gl_;
  int width_ = 0;
  int height_ = 0;
  uint32_t program_ = 0;
  int uniformScale_ = -1;
  int uniformMode_ = -1;
  uint32_t vao_ = 0;
  uint32_t vbo_ = 0;
  int vboVertices_ = 0;
  int vboUsed_ = 0;  // vertices written since the store was last orphaned
  uint32_t sampler_ = 0;
  uint32_t frameTexture_ = 0;
  uint32_t frameBuffer_ = 0;
  uint32_t streamTexture_ = 0;
  int streamWidth_ = 0;
  int streamHeight_ = 0;
  uint32_t nextTexture_ = 1;
  std::unordered_map<uint32_t, Slot> textures_;
  std::vector<Page> pages_;
  uint32_t copyFrameBuffer_ = 0;  // reads a layer back or copies it
  bool holes_ = false;  // a layer was freed in a page that stays
  std::vector<uint32_t> readBack_;
  int uniformLayer_ = -1;
  // Last requested state, re-applied after a software-buffer draw or a reset: the texture
  // standing for the page bound on each unit.
  uint32_t units_[kTextureUnits] = {};
  bool blend_ = false;
  BlendFactor source_ = BlendFactor::One;
  BlendFactor dest_ = BlendFactor::Zero;
  TextureMode mode_ = TextureMode::Colour;
  int scissor_[4] = {0, 0, 0, 0};
  bool linear_ = true;
  bool dither_ = false;
  bool vsync_ = false;
  bool lost_ = false;
  bool driverError_ = false;
  Letterbox letterbox_;
  PresentPacer pacer_;
};

}  // namespace vx::gl
