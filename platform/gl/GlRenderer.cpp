#include "platform/gl/GlRenderer.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>

#include "core/Log.h"
#include "platform/gl/GlFunctions.h"
#include "platform/gl/GlSurface.h"

namespace vx::gl {
namespace {

constexpr const char* kVertexShader = R"(#version 330 core
in vec2 aPosition;
in vec4 aColour;
in vec2 aTexCoord;
in float aSample;
uniform vec2 uScale;
out vec4 vColour;
out vec2 vTexCoord;
flat out int vSample;
void main() {
  gl_Position = vec4(aPosition.x * uScale.x - 1.0, 1.0 - aPosition.y * uScale.y, 0.0, 1.0);
  vColour = aColour;
  vTexCoord = aTexCoord;
  vSample = int(aSample + 0.5);
}
)";

// Modes: 0 colour, 1 modulate, 2 replace, 3 opaque, 4 per vertex (0 colour; otherwise
// 1 + 2 * (layer * units + unit) + (1 when replacing)). GLSL 3.30 indexes a sampler array
// only with constants: Fetch picks the unit by a chain of them.
constexpr const char* kFragmentMain = R"(
in vec4 vColour;
in vec2 vTexCoord;
flat in int vSample;
uniform int uMode;
uniform int uLayer;
out vec4 oColour;
void main() {
  int mode = uMode;
  int layer = uLayer;
  int unit = 0;
  if (mode == 4) {
    mode = vSample == 0 ? 0 : 2 - (vSample & 1);
    int slot = (vSample - 1) >> 1;
    unit = slot % UNITS;
    layer = slot / UNITS;
  }
  if (mode == 0) {
    oColour = vColour;
  } else {
    vec4 texel = Fetch(unit, vec3(vTexCoord, float(layer)));
    if (mode == 1) oColour = texel * vColour;
    else if (mode == 2) oColour = texel;
    else oColour = vec4(texel.rgb, 1.0);
  }
}
)";

std::string FragmentShader() {
  std::string source = "#version 330 core\n#define UNITS " + std::to_string(kTextureUnits) + "\n";
  source += "uniform sampler2DArray uPages[UNITS];\nvec4 Fetch(int unit, vec3 at) {\n";
  for (int unit = 1; unit < kTextureUnits; ++unit) {
    const std::string k = std::to_string(unit);
    source += "  if (unit == " + k + ") return texture(uPages[" + k + "], at);\n";
  }
  return source + "  return texture(uPages[0], at);\n}\n" + kFragmentMain;
}

// A page holds at most this many bytes of texels, the most a new page takes before its
// layers are used; the first page of a size has a few layers.
constexpr int64_t kPageBytes = int64_t{2} << 20;
constexpr int kFirstLayers = 4;

// A few frames of vertices: the store is orphaned when full, and every store the driver hands
// out stays resident.
constexpr int kInitialVertices = 16384;

GLenum ToGl(BlendFactor factor) {
  switch (factor) {
    case BlendFactor::Zero: return GL_ZERO;
    case BlendFactor::One: return GL_ONE;
    case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
    case BlendFactor::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::SrcColor: return GL_SRC_COLOR;
    case BlendFactor::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
  }
  return GL_ONE;
}

GLuint CompileShader(Functions& gl, GLenum kind, const char* source, std::string& error) {
  GLuint shader = gl.CreateShader(kind);
  gl.ShaderSource(shader, 1, &source, nullptr);
  gl.CompileShader(shader);
  GLint ok = 0;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok == 0) {
    char log[1024] = {};
    gl.GetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
    error = std::string("shader: ") + log;
    gl.DeleteShader(shader);
    return 0;
  }
  return shader;
}

// Texels are 0xAARRGGBB: in memory B, G, R, A. They are stored byte for byte (a plain copy
// on every driver) and the sampler swaps red and blue back, which costs nothing.
void SwizzleBgra(Functions& gl) {
  gl.TexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_SWIZZLE_R, GL_BLUE);
  gl.TexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_SWIZZLE_B, GL_RED);
}

// An array texture of `layers` layers, bound; 0 on failure.
GLuint MakeArray(Functions& gl, int width, int height, int layers) {
  GLuint name = 0;
  gl.GenTextures(1, &name);
  gl.BindTexture(GL_TEXTURE_2D_ARRAY, name);
  gl.TexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, width, height, layers, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  gl.TexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
  SwizzleBgra(gl);
  if (gl.GetError() != GL_NO_ERROR) {
    gl.DeleteTextures(1, &name);
    return 0;
  }
  return name;
}

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

int CeilPowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

}  // namespace

void SamplingCorner(const uint32_t* texels, int width, int height, int& cornerWidth, int& cornerHeight) {
  const auto w = static_cast<size_t>(width);
  // Rows from `last` down all equal the bottom row.
  int last = height - 1;
  const uint32_t* bottom = texels + static_cast<size_t>(height - 1) * w;
  while (last > 0 && std::equal(bottom, bottom + w, texels + static_cast<size_t>(last - 1) * w)) --last;
  // Columns from `edge` on repeat each row's texel there, in every row above `last` (the rows
  // below it are copies of row `last`).
  int edge = 0;
  for (int y = 0; y <= last; ++y) {
    const uint32_t* row = texels + static_cast<size_t>(y) * w;
    int x = width - 1;
    while (x > edge && row[x - 1] == row[width - 1]) --x;
    edge = std::max(edge, x);
  }
  // The corner keeps the repeated column and row themselves: clamping repeats them.
  cornerWidth = std::min(width, CeilPowerOfTwo(edge + 1));
  cornerHeight = std::min(height, CeilPowerOfTwo(last + 1));
}

Renderer::Renderer(std::unique_ptr<Surface> surface, std::unique_ptr<Functions> gl)
    : surface_(std::move(surface)), gl_(std::move(gl)) {}

std::unique_ptr<Renderer> Renderer::Create(std::unique_ptr<Surface> surface, int width, int height,
                                           std::string& error) {
  if (!surface) {
    error = "no GL surface";
    return nullptr;
  }
  if (width < 1 || height < 1 || width > 16384 || height > 16384) {
    error = "bad frame size";
    return nullptr;
  }
  if (!surface->MakeCurrent()) {
    error = "cannot make the GL context current";
    return nullptr;
  }
  auto gl = std::make_unique<Functions>();
  Surface* raw = surface.get();
  static thread_local Surface* loading = nullptr;
  loading = raw;
  std::string missing;
  const bool loaded = gl->Load([](const char* name) { return loading->GetProcAddress(name); }, missing);
  loading = nullptr;
  if (!loaded) {
    error = "GL entry point missing: " + missing;
    return nullptr;
  }
  std::unique_ptr<Renderer> renderer(new Renderer(std::move(surface), std::move(gl)));
  if (!renderer->CreateObjects(width, height, error)) return nullptr;
  return renderer;
}

Renderer::~Renderer() {
  if (surface_ && surface_->MakeCurrent()) DestroyObjects();
}

bool Renderer::HasWindow() const { return surface_->HasWindow(); }

bool Renderer::CreateObjects(int width, int height, std::string& error) {
  Functions& gl = *gl_;
  while (gl.GetError() != GL_NO_ERROR) {
  }
  width_ = width;
  height_ = height;

  GLuint vs = CompileShader(gl, GL_VERTEX_SHADER, kVertexShader, error);
  if (vs == 0) return false;
  const std::string fragment = FragmentShader();
  GLuint fs = CompileShader(gl, GL_FRAGMENT_SHADER, fragment.c_str(), error);
  if (fs == 0) {
    gl.DeleteShader(vs);
    return false;
  }
  program_ = gl.CreateProgram();
  gl.AttachShader(program_, vs);
  gl.AttachShader(program_, fs);
  gl.BindAttribLocation(program_, 0, "aPosition");
  gl.BindAttribLocation(program_, 1, "aColour");
  gl.BindAttribLocation(program_, 2, "aTexCoord");
  gl.BindAttribLocation(program_, 3, "aSample");
  gl.LinkProgram(program_);
  gl.DeleteShader(vs);
  gl.DeleteShader(fs);
  GLint linked = 0;
  gl.GetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (linked == 0) {
    char log[1024] = {};
    gl.GetProgramInfoLog(program_, sizeof log - 1, nullptr, log);
    error = std::string("program: ") + log;
    return false;
  }
  uniformScale_ = gl.GetUniformLocation(program_, "uScale");
  uniformMode_ = gl.GetUniformLocation(program_, "uMode");
  uniformLayer_ = gl.GetUniformLocation(program_, "uLayer");
  gl.UseProgram(program_);
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    const std::string name = "uPages[" + std::to_string(unit) + "]";
    gl.Uniform1i(gl.GetUniformLocation(program_, name.c_str()), unit);
  }

  gl.GenVertexArrays(1, &vao_);
  gl.BindVertexArray(vao_);
  gl.GenBuffers(1, &vbo_);
  gl.BindBuffer(GL_ARRAY_BUFFER, vbo_);
  vboVertices_ = kInitialVertices;
  vboUsed_ = 0;
  gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vboVertices_ * sizeof(Vertex)), nullptr,
                GL_STREAM_DRAW);
  gl.EnableVertexAttribArray(0);
  gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                         reinterpret_cast<const void*>(offsetof(Vertex, X)));
  gl.EnableVertexAttribArray(1);
  gl.VertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                         reinterpret_cast<const void*>(offsetof(Vertex, Colour)));
  gl.EnableVertexAttribArray(2);
  gl.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                         reinterpret_cast<const void*>(offsetof(Vertex, U)));
  gl.EnableVertexAttribArray(3);
  gl.VertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                         reinterpret_cast<const void*>(offsetof(Vertex, Sample)));

  gl.GenSamplers(1, &sampler_);
  gl.SamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gl.SamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  for (int unit = 0; unit < kTextureUnits; ++unit) gl.BindSampler(static_cast<GLuint>(unit), sampler_);
  gl.ActiveTexture(GL_TEXTURE0);

  gl.GenTextures(1, &frameTexture_);
  gl.BindTexture(GL_TEXTURE_2D, frameTexture_);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl.GenFramebuffers(1, &copyFrameBuffer_);
  gl.GenFramebuffers(1, &frameBuffer_);
  gl.BindFramebuffer(GL_FRAMEBUFFER, frameBuffer_);
  gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frameTexture_, 0);
  if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    error = "frame buffer object incomplete";
    return false;
  }
  gl.BindTexture(GL_TEXTURE_2D, 0);
  gl.Viewport(0, 0, width, height);
  gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  gl.Clear(GL_COLOR_BUFFER_BIT);
  gl.Uniform2f(uniformScale_, 2.0f / static_cast<float>(width), 2.0f / static_cast<float>(height));
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_CULL_FACE);
  gl.Enable(GL_SCISSOR_TEST);
  scissor_[0] = 0;
  scissor_[1] = 0;
  scissor_[2] = width;
  scissor_[3] = height;
  std::fill(std::begin(units_), std::end(units_), 0u);
  ApplyState();
  SetVSync(vsync_);
  if (gl.GetError() != GL_NO_ERROR) {
    error = "GL error while creating the frame";
    return false;
  }
  return true;
}

void Renderer::DestroyObjects() {
  Functions& gl = *gl_;
  for (Page& page : pages_) gl.DeleteTextures(1, &page.Name);
  pages_.clear();
  textures_.clear();
  if (copyFrameBuffer_ != 0) gl.DeleteFramebuffers(1, &copyFrameBuffer_);
  copyFrameBuffer_ = 0;
  if (streamTexture_ != 0) gl.DeleteTextures(1, &streamTexture_);
  if (frameBuffer_ != 0) gl.DeleteFramebuffers(1, &frameBuffer_);
  if (frameTexture_ != 0) gl.DeleteTextures(1, &frameTexture_);
  if (sampler_ != 0) gl.DeleteSamplers(1, &sampler_);
  if (vbo_ != 0) gl.DeleteBuffers(1, &vbo_);
  if (vao_ != 0) gl.DeleteVertexArrays(1, &vao_);
  if (program_ != 0) gl.DeleteProgram(program_);
  streamTexture_ = frameBuffer_ = frameTexture_ = sampler_ = vbo_ = vao_ = program_ = 0;
  streamWidth_ = streamHeight_ = 0;
  std::fill(std::begin(units_), std::end(units_), 0u);
}

bool Renderer::Reset(int width, int height) {
  if (width < 1 || height < 1 || width > 16384 || height > 16384) return false;
  if (!surface_->MakeCurrent()) return false;
  DestroyObjects();
  std::string error;
  if (!CreateObjects(width, height, error)) {
    Log("ERROR: GPU reset failed: " + error);
    DestroyObjects();
    return false;
  }
  lost_ = false;
  driverError_ = false;
  return true;
}

void Renderer::SetVSync(bool on) {
  vsync_ = on;
  const bool accepted = surface_->HasWindow() && surface_->SetSwapInterval(on ? 1 : 0);
  pacer_.SetVSync(on, accepted);
}

Renderer::Page* Renderer::FindPage(uint32_t name) {
  for (Page& page : pages_)
    if (page.Name == name) return &page;
  return nullptr;
}

bool Renderer::FindLayer(int width, int height, uint32_t id, Slot& slot) {
  Functions& gl = *gl_;
  GLint maxLayers = 1;
  gl.GetIntegerv(GL_MAX_ARRAY_TEXTURE_LAYERS, &maxLayers);
  const int64_t bytes = int64_t{width} * height * 4;
  const int cap =
      static_cast<int>(std::clamp<int64_t>(kPageBytes / bytes, 1, std::clamp(maxLayers, 1, kMaxPageLayers)));
  // The oldest page with room first, so the newest pages, a screen's, empty when it closes.
  Page* chosen = PageWithRoom(width, height, nullptr);
  if (chosen == nullptr) {
    int existing = 0;
    for (const Page& page : pages_)
      if (page.Width == width && page.Height == height) existing += static_cast<int>(page.Layers.size());
    const int layers = NewPageLayers(existing, kFirstLayers, cap);
    const GLuint name = MakeArray(gl, width, height, layers);
    if (name == 0) return false;
    pages_.push_back(Page{name, width, height, std::vector<uint32_t>(static_cast<size_t>(layers), 0), 0});
    chosen = &pages_.back();
  }
  const auto free = std::find(chosen->Layers.begin(), chosen->Layers.end(), 0u);
  *free = id;
  ++chosen->Used;
  slot = Slot{chosen->Name, static_cast<int>(free - chosen->Layers.begin()), width, height};
  return true;
}

uint32_t Renderer::CreateTexture(int width, int height, int side) {
  if (width < 1 || height < 1 || program_ == 0) return 0;
  Functions& gl = *gl_;
  GLint maxSize = 0;
  gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (width > maxSize || height > maxSize) return 0;
  // Scaling coordinates by a power of two is exact: the texture samples as it would alone.
  const bool shared = PowerOfTwo(side) && side <= maxSize && PowerOfTwo(width) && PowerOfTwo(height) &&
                      width <= side && height <= side;
  const uint32_t id = nextTexture_++;
  Slot slot;
  slot.Width = width;
  slot.Height = height;
  slot.Side = shared ? side : 0;
  textures_[id] = slot;
  return id;
}

void Renderer::FreeLayer(Slot& slot) {
  Page* page = slot.Page != 0 ? FindPage(slot.Page) : nullptr;
  slot.Page = 0;
  if (page == nullptr) return;
  page->Layers[static_cast<size_t>(slot.Layer)] = 0;
  if (--page->Used > 0) {
    holes_ = true;
    return;
  }
  // An empty page goes, so a screen's pictures do not hold memory after the screen.
  gl_->DeleteTextures(1, &page->Name);
  pages_.erase(pages_.begin() + (page - pages_.data()));
}

void Renderer::DeleteTexture(uint32_t id) {
  auto it = textures_.find(id);
  if (it == textures_.end()) return;
  Slot slot = it->second;
  textures_.erase(it);
  for (uint32_t& bound : units_)
    if (bound == id) bound = 0;
  FreeLayer(slot);
}

bool Renderer::ReadTexture(uint32_t id, int width, int height, uint32_t* texels) {
  auto it = textures_.find(id);
  if (it == textures_.end() || texels == nullptr || width < 1 || height < 1) return false;
  const Slot& slot = it->second;
  if (slot.Page == 0 || width > slot.Width || height > slot.Height) return false;
  Functions& gl = *gl_;
  // A layer smaller than the texture holds its corner; the rest repeats the corner's edges.
  const int w = slot.Side == 0 ? std::min(width, slot.PageWidth) : width;
  const int h = slot.Side == 0 ? std::min(height, slot.PageHeight) : height;
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, copyFrameBuffer_);
  gl.FramebufferTextureLayer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, slot.Page, 0, slot.Layer);
  gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
  gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
  gl.PixelStorei(GL_PACK_ROW_LENGTH, width);
  // Rows come back in the order they were uploaded, the bytes as stored.
  gl.ReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  gl.PixelStorei(GL_PACK_ROW_LENGTH, 0);
  gl.FramebufferTextureLayer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, 0, 0, 0);
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer_);
  const auto stride = static_cast<size_t>(width);
  for (int y = 0; y < h; ++y) {
    uint32_t* row = texels + static_cast<size_t>(y) * stride;
    std::fill(row + w, row + width, row[w - 1]);
  }
  for (int y = h; y < height; ++y)
    std::copy(texels + static_cast<size_t>(h - 1) * stride, texels + static_cast<size_t>(h) * stride,
              texels + static_cast<size_t>(y) * stride);
  return Check();
}

Renderer::Page* Renderer::PageWithRoom(int width, int height, const Page* besides) {
  for (Page& page : pages_)
    if (&page != besides && page.Width == width && page.Height == height &&
        page.Used < static_cast<int>(page.Layers.size()))
      return &page;
  return nullptr;
}

int64_t Renderer::CompactPages(int64_t maxBytes) {
  if (!holes_ || program_ == 0 || lost_) return 0;
  Functions& gl = *gl_;
  int64_t moved = 0;
  while (moved < maxBytes) {
    Page* emptiest = nullptr;
    for (Page& page : pages_) {
      if (emptiest != nullptr && page.Used >= emptiest->Used) continue;
      int room = 0;
      for (const Page& other : pages_)
        if (&other != &page && other.Width == page.Width && other.Height == page.Height)
          room += static_cast<int>(other.Layers.size()) - other.Used;
      if (room >= page.Used) emptiest = &page;
    }
    if (emptiest == nullptr) {
      holes_ = false;
      break;
    }
    // Layer to layer through a read frame buffer: the texels move as stored.
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, copyFrameBuffer_);
    gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    for (size_t from = 0; from < emptiest->Layers.size(); ++from) {
      const uint32_t id = emptiest->Layers[from];
      if (id == 0) continue;
      Page* to = PageWithRoom(emptiest->Width, emptiest->Height, emptiest);
      const auto free = std::find(to->Layers.begin(), to->Layers.end(), 0u);
      const auto layer = static_cast<GLint>(free - to->Layers.begin());
      gl.FramebufferTextureLayer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, emptiest->Name, 0, static_cast<GLint>(from));
      gl.BindTexture(GL_TEXTURE_2D_ARRAY, to->Name);
      gl.CopyTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, layer, 0, 0, emptiest->Width, emptiest->Height);
      *free = id;
      ++to->Used;
      Slot& slot = textures_[id];
      slot.Page = to->Name;
      slot.Layer = layer;
    }
    gl.FramebufferTextureLayer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, 0, 0, 0);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer_);
    moved += int64_t{emptiest->Width} * emptiest->Height * 4 * emptiest->Used;
    gl.DeleteTextures(1, &emptiest->Name);
    pages_.erase(pages_.begin() + (emptiest - pages_.data()));
  }
  // The units bound what the textures lay in before.
  for (int unit = kTextureUnits - 1; unit >= 0; --unit) SetTexture(unit, units_[unit]);
  Check();
  return moved;
}

uint32_t Renderer::TexturePage(uint32_t id) const {
  auto it = textures_.find(id);
  return it == textures_.end() ? 0 : it->second.Page;
}

int Renderer::TextureLayer(uint32_t id) const {
  auto it = textures_.find(id);
  return it == textures_.end() ? 0 : it->second.Layer;
}

void Renderer::LayerFor(uint32_t id, const Slot& slot, int width, int height, const uint32_t* texels,
                        int& layerWidth, int& layerHeight) {
  const LayerChoice& c = lastChoice_;
  if (c.Id == id && c.Texels == texels && c.Width == width && c.Height == height) {
    layerWidth = c.LayerWidth;
    layerHeight = c.LayerHeight;
    return;
  }
  // The page side of a shared texture, else the sampling corner.
  layerWidth = slot.Side != 0 ? slot.Side : slot.Width;
  layerHeight = slot.Side != 0 ? slot.Side : slot.Height;
  if (slot.Side == 0 && width == slot.Width && height == slot.Height && PowerOfTwo(width) && PowerOfTwo(height))
    SamplingCorner(texels, width, height, layerWidth, layerHeight);
  lastChoice_ = LayerChoice{id, texels, width, height, layerWidth, layerHeight};
}

bool Renderer::UploadDisturbs(uint32_t id, int width, int height, const uint32_t* texels, uint32_t page) {
  auto it = textures_.find(id);
  if (page == 0 || it == textures_.end() || texels == nullptr || width < 1 || height < 1) return false;
  const Slot& slot = it->second;
  if (slot.Page == page) return true;
  int layerWidth = 0, layerHeight = 0;
  LayerFor(id, slot, width, height, texels, layerWidth, layerHeight);
  // Placing the texture touches only pages of its layer size (one may grow).
  const Page* bound = FindPage(page);
  return bound != nullptr && bound->Width == layerWidth && bound->Height == layerHeight;
}

bool Renderer::UploadTexture(uint32_t id, int width, int height, const uint32_t* texels) {
  auto it = textures_.find(id);
  if (it == textures_.end() || texels == nullptr || width < 1 || height < 1) return false;
  Slot& slot = it->second;
  if (width > slot.Width || height > slot.Height) return false;
  int layerWidth = 0, layerHeight = 0;
  LayerFor(id, slot, width, height, texels, layerWidth, layerHeight);
  lastChoice_ = LayerChoice{};
  Functions& gl = *gl_;
  if (slot.Page == 0 || slot.PageWidth != layerWidth || slot.PageHeight != layerHeight) {
    FreeLayer(slot);
    Slot placed;
    const bool made = FindLayer(layerWidth, layerHeight, id, placed);
    gl.BindTexture(GL_TEXTURE_2D_ARRAY, TexturePage(units_[0]));
    if (!made) return false;
    slot.Page = placed.Page;
    slot.Layer = placed.Layer;
    slot.PageWidth = placed.PageWidth;
    slot.PageHeight = placed.PageHeight;
  }
  gl.BindTexture(GL_TEXTURE_2D_ARRAY, slot.Page);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl.PixelStorei(GL_UNPACK_ROW_LENGTH, width);
  const auto put = [&](int x, int y, int w, int h, const uint32_t* from) {
    gl.TexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, x, y, slot.Layer, w, h, 1, GL_RGBA, GL_UNSIGNED_BYTE, from);
  };
  const int w = std::min(width, slot.PageWidth);
  const int h = std::min(height, slot.PageHeight);
  put(0, 0, w, h, texels);
  // In a larger layer, the edge repeats once beyond the texture, as clamping would repeat it.
  const uint32_t* lastRow = texels + static_cast<size_t>(h - 1) * static_cast<size_t>(width);
  if (w < slot.PageWidth) put(w, 0, 1, h, texels + (w - 1));
  if (h < slot.PageHeight) put(0, h, w, 1, lastRow);
  if (w < slot.PageWidth && h < slot.PageHeight) put(w, h, 1, 1, lastRow + (w - 1));
  gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  gl.BindTexture(GL_TEXTURE_2D_ARRAY, TexturePage(units_[0]));
  return Check();
}

void Renderer::TextureExtent(uint32_t id, int& width, int& height) const {
  auto it = textures_.find(id);
  if (it == textures_.end()) return;
  width = it->second.PageWidth;
  height = it->second.PageHeight;
}

void Renderer::BeginFrame() {
  Functions& gl = *gl_;
  gl.BindFramebuffer(GL_FRAMEBUFFER, frameBuffer_);
  gl.Viewport(0, 0, width_, height_);
}

void Renderer::SetTexture(int unit, uint32_t id) {
  if (unit < 0 || unit >= kTextureUnits) return;
  if (id != 0 && textures_.count(id) == 0) id = 0;
  units_[unit] = id;
  if (unit == 0) {
    gl_->BindTexture(GL_TEXTURE_2D_ARRAY, TexturePage(id));
    gl_->Uniform1i(uniformLayer_, TextureLayer(id));
    return;
  }
  // Unit 0 stays the active one: uploads and reads bind there.
  gl_->ActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
  gl_->BindTexture(GL_TEXTURE_2D_ARRAY, TexturePage(id));
  gl_->ActiveTexture(GL_TEXTURE0);
}

void Renderer::SetBlend(bool enabled, BlendFactor source, BlendFactor dest) {
  blend_ = enabled;
  source_ = source;
  dest_ = dest;
  if (enabled) {
    gl_->Enable(GL_BLEND);
    gl_->BlendFunc(ToGl(source), ToGl(dest));
  } else {
    gl_->Disable(GL_BLEND);
  }
}

void Renderer::SetTextureMode(TextureMode mode) {
  mode_ = mode;
  gl_->Uniform1i(uniformMode_, static_cast<GLint>(mode));
}

void Renderer::SetScissor(int left, int top, int right, int bottom) {
  scissor_[0] = left;
  scissor_[1] = top;
  scissor_[2] = right;
  scissor_[3] = bottom;
  const int w = std::max(0, right - left);
  const int h = std::max(0, bottom - top);
  // GL counts rows from the bottom of the frame.
  gl_->Scissor(left, height_ - top - h, w, h);
}

void Renderer::SetLinearFilter(bool on) {
  linear_ = on;
  const GLint filter = on ? GL_LINEAR : GL_NEAREST;
  gl_->SamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, filter);
  gl_->SamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, filter);
}

void Renderer::SetDither(bool on) {
  dither_ = on;
  if (on) gl_->Enable(GL_DITHER);
  else gl_->Disable(GL_DITHER);
}

void Renderer::ApplyState() {
  for (int unit = 0; unit < kTextureUnits; ++unit) SetTexture(unit, units_[unit]);
  SetBlend(blend_, source_, dest_);
  SetTextureMode(mode_);
  SetScissor(scissor_[0], scissor_[1], scissor_[2], scissor_[3]);
  SetLinearFilter(linear_);
  SetDither(dither_);
}

bool Renderer::Check() { return gl_->GetError() == GL_NO_ERROR; }

bool Renderer::Draw(const Vertex* vertices, int count) {
  if (count <= 0) return true;
  if (vertices == nullptr) return false;
  if (lost_) return true;  // a lost device swallows drawing until it is reset
  Functions& gl = *gl_;
  const auto bytes = static_cast<GLsizeiptr>(static_cast<size_t>(count) * sizeof(Vertex));
  // One buffer for the whole frame: each draw appends behind the last, so nothing the GPU
  // may still read is overwritten, and the store is orphaned only when it is full.
  if (count > vboVertices_) {
    vboVertices_ = std::max(count, vboVertices_ * 2);
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<size_t>(vboVertices_) * sizeof(Vertex)),
                  nullptr, GL_STREAM_DRAW);
    vboUsed_ = 0;
  } else if (vboUsed_ + count > vboVertices_) {
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<size_t>(vboVertices_) * sizeof(Vertex)),
                  nullptr, GL_STREAM_DRAW);
    vboUsed_ = 0;
  }
  gl.BufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(static_cast<size_t>(vboUsed_) * sizeof(Vertex)), bytes,
                   vertices);
  gl.DrawArrays(GL_TRIANGLES, vboUsed_, count);
  vboUsed_ += count;
  return Check();
}

bool Renderer::Clear(uint32_t colour) {
  if (lost_) return true;
  Functions& gl = *gl_;
  gl.ClearColor(static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                static_cast<float>((colour >> 24) & 0xFF) / 255.0f);
  gl.Clear(GL_COLOR_BUFFER_BIT);
  return Check();
}

bool Renderer::DrawBuffer(const uint32_t* pixels, int width, int height, int pitch) {
  if (pixels == nullptr || width < 1 || height < 1 || pitch < width * 4 || pitch % 4 != 0) return false;
  if (lost_) return true;
  Functions& gl = *gl_;
  if (streamTexture_ == 0 || streamWidth_ != width || streamHeight_ != height) {
    if (streamTexture_ != 0) gl.DeleteTextures(1, &streamTexture_);
    streamTexture_ = MakeArray(gl, width, height, 1);
    streamWidth_ = width;
    streamHeight_ = height;
  }
  gl.BindTexture(GL_TEXTURE_2D_ARRAY, streamTexture_);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl.PixelStorei(GL_UNPACK_ROW_LENGTH, pitch / 4);
  gl.TexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, 0, width, height, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);

  // The buffer covers the frame one texel per pixel, whatever its own size.
  const float w = static_cast<float>(width_);
  const float h = static_cast<float>(height_);
  const float u = static_cast<float>(width_) / static_cast<float>(width);
  const float v = static_cast<float>(height_) / static_cast<float>(height);
  const Vertex quad[6] = {{0, 0, 0xFFFFFFFFu, 0, 0}, {w, 0, 0xFFFFFFFFu, u, 0}, {w, h, 0xFFFFFFFFu, u, v},
                          {0, 0, 0xFFFFFFFFu, 0, 0}, {w, h, 0xFFFFFFFFu, u, v}, {0, h, 0xFFFFFFFFu, 0, v}};
  gl.Disable(GL_BLEND);
  gl.Uniform1i(uniformMode_, static_cast<GLint>(TextureMode::Opaque));
  gl.Uniform1i(uniformLayer_, 0);
  gl.Scissor(0, 0, width_, height_);
  gl.SamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl.SamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  const bool ok = Draw(quad, 6);
  ApplyState();
  return ok && Check();
}

PresentResult Renderer::Present() {
  if (lost_) return PresentResult::Lost;
  if (driverError_) {
    driverError_ = false;
    return PresentResult::DriverError;
  }
  Functions& gl = *gl_;
  if (surface_->HasWindow()) {
    int dw = 0;
    int dh = 0;
    surface_->DrawableSize(dw, dh);
    letterbox_ = ComputeLetterbox(dw, dh, width_, height_);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer_);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.Disable(GL_SCISSOR_TEST);
    gl.Viewport(0, 0, dw, dh);
    if (letterbox_.Width != dw || letterbox_.Height != dh) {
      gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
      gl.Clear(GL_COLOR_BUFFER_BIT);
    }
    const int y0 = dh - letterbox_.Y - letterbox_.Height;
    const bool exact = letterbox_.Width == width_ && letterbox_.Height == height_;
    gl.BlitFramebuffer(0, 0, width_, height_, letterbox_.X, y0, letterbox_.X + letterbox_.Width,
                       y0 + letterbox_.Height, GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    pacer_.BeforeSwap();
    surface_->Swap();
    pacer_.AfterSwap();
    gl.Enable(GL_SCISSOR_TEST);
    BeginFrame();
  } else {
    gl.Flush();
    pacer_.BeforeSwap();
    pacer_.AfterSwap();
  }
  return Check() ? PresentResult::Ok : PresentResult::Failed;
}

bool Renderer::ReadFrame(std::vector<uint32_t>& pixels) {
  Functions& gl = *gl_;
  // Kept between reads: a frame-sized block would be mapped and unmapped at every read.
  std::vector<uint32_t>& raw = readBack_;
  raw.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer_);
  gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
  gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
  gl.ReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
  if (!Check()) return false;
  // GL rows run bottom-up, and bytes come R, G, B, A: swap red and blue into 0xAARRGGBB.
  pixels.resize(raw.size());
  const auto w = static_cast<size_t>(width_);
  for (int y = 0; y < height_; ++y) {
    const uint32_t* from = raw.data() + static_cast<size_t>(height_ - 1 - y) * w;
    uint32_t* to = pixels.data() + static_cast<size_t>(y) * w;
    for (size_t x = 0; x < w; ++x) {
      const uint32_t p = from[x];
      to[x] = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
    }
  }
  return true;
}

}  // namespace vx::gl
