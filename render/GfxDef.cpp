#include "render/GfxDef.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Rounding.h"

namespace {

struct EffectRow {
  int32_t Code;
  TGpuBlend Gpu;
  uint32_t Software;
};

// One row per blend; the GPU factors and the rasteriser's flag word side by side.
constexpr EffectRow kEffects[] = {
    {0, {false, bfOne, bfZero}, 64},
    {2, {true, bfOne, bfOne}, 128},
    {4, {true, bfSrcAlpha, bfInvSrcAlpha}, 152},
    {6, {true, bfSrcAlpha, bfOne}, 136},
    {8, {true, bfSrcColor, bfInvSrcColor}, 1176},
    {10, {true, bfSrcColor, bfOne}, 1160},
    {16, {true, bfZero, bfSrcColor}, 288},
    {20, {true, bfZero, bfSrcAlpha}, 276},
    {32, {true, bfZero, bfInvSrcColor}, 290},
    {36, {true, bfZero, bfInvSrcAlpha}, 272},
};

const EffectRow* FindEffect(int32_t rest) {
  for (const EffectRow& row : kEffects)
    if (row.Code == rest) return &row;
  return nullptr;
}

struct ErrorText {
  int32_t Code;
  const char* Text;
};

// Texts are the system's own, spelling included.
constexpr ErrorText kErrors[] = {
    {0, "No error"},
    {-1, "The method was called with invalid parameters or in inapropriate situation"},
    {-2, "The CPU does not support MMX instructions"},
    {-4, "Error writing to disk"},
    {-5, "Error reading from disk"},
    {-6, "Failed to create the specified file"},
    {-7, "Failed to open the specified file"},
    {-8, "Invalid file version or internal format"},
    {-10, "The specified record wasn't found in the archive"},
    {-11, "The data failed checksum verification"},
    {-12, "The specific record cannot be removed or overwritten"},
    {-13, "Invalid record type"},
    {-14, "The owner must be TGfxDevice"},
    {-15, "TGfxDevice must be active"},
    {-29, "Could create DirectInput interface"},
    {-30, "Could not create Keyboard device"},
    {-31, "Failed to set Keyboard data format"},
    {-32, "Failed set Keyboard cooperative level"},
    {-33, "Could not create Mouse device"},
    {-34, "Failed to set Mouse data format"},
    {-35, "Failed set Mouse cooperative level"},
    {-36, "Failed to create Mouse event"},
    {-37, "Failed to set Mouse event"},
    {-38, "Failed to set Mouse buffer size"},
    {-39, "Failed to enumerate game devices"},
    {-40, "Cannot acquire Keyboard device"},
    {-41, "Could not read Keyboard state"},
    {-42, "Cannot acquire Mouse device"},
    {-43, "Could not read Mouse state"},
    {-44, "Could not set Joystick data format"},
    {-45, "Could not set Joystick cooperative level"},
    {-46, "Could not initialize Joystick"},
    {-47, "Could not get Joystick capabilities"},
    {-48, "Could not poll Joystick"},
    {-49, "Could not acquire Joystick"},
    {-50, "Could not read Joystick state"},
    {-80, "Failed to initialize Direct3D"},
    {-81, "Cannot initialize more than one primary / secondary adapters"},
    {-82, "Failed to enumerate Direct3D video modes"},
    {-83, "Direct3D device failure"},
    {-84, "Cannot retreive device capabilities"},
    {-85, "Could not create vertex buffer"},
    {-87, "Vertex index corrupt"},
    {-88, "Unable to begin rendering scene"},
    {-89, "Unable to end rendering scene"},
    {-90, "Failed to present the scene"},
    {-91, "Failed to reset the Direct3D device"},
    {-92, "Unable to clear the surface"},
    {-93, "Error setting rendering texture"},
    {-94, "Error setting stream source"},
    {-95, "Error setting vertex shader"},
    {-96, "Draw-primitive failed"},
    {-97, "Unable to lock the vertex buffer"},
    {-98, "Error creating Direct3D texture"},
    {-100, "Error creating DirectDraw"},
    {-101, "Error setting DirectDraw cooperative level"},
    {-102, "Error setting DirectDraw video mode"},
    {-103, "Error creating DirectDraw primary surface"},
    {-104, "Error retreiving DirectDraw primary surface description"},
    {-105, "Failed attaching DirectDraw back buffers"},
    {-106, "Unable to create DirectDraw back surface"},
    {-107, "Failed to flip DirectDraw surfaces"},
    {-108, "Failed to lock DirectDraw surface"},
    {-200, "Error creating a Win2k-compatible console window"},
    {-32768, "Inconsistent specified flags"},
    {-32769, "Inconsistent specified parameters"},
    {-32770, "Error loading extension plugin"},
    {-32771, "The specified plugin is invalid"},
    {-32772, "Error executing extension plugin"},
    {-2147483647, "User-specified error"},
    {INT32_MIN, "Unknown Error"},
};

}  // namespace

bool GpuBlendForEffect(int32_t effect, TGpuBlend& blend) {
  const int32_t rest = effect & ~(fxModulate | fxLineFlag | fxPointFlag);
  const EffectRow* row = FindEffect(rest);
  if (row == nullptr) return false;
  blend = row->Gpu;
  return true;
}

uint32_t EffectToSoftwareFlags(int32_t effect) {
  const EffectRow* row = FindEffect(effect & ~fxModulate);
  if (row == nullptr) return srfCopy;
  return row->Software | (EffectModulates(effect) ? srfDiffuse : 0u);
}

std::string ErrorString(int32_t code) {
  for (const ErrorText& e : kErrors)
    if (e.Code == code) return e.Text;
  return "Error #" + std::to_string(code);
}

TColorChannels ColorToChannels(uint32_t colour) {
  TColorChannels result;
  for (int i = 0; i < 4; ++i) result.C[i] = static_cast<double>((colour >> (8 * i)) & 0xFFu) / 255.0;
  return result;
}

uint32_t ChannelsToColor(const TColorChannels& channels) {
  uint32_t colour = 0;
  for (int i = 0; i < 4; ++i) {
    const int64_t v = std::clamp<int64_t>(vx::Round(channels.C[i] * 255.0), 0, 255);
    colour |= static_cast<uint32_t>(v) << (8 * i);
  }
  return colour;
}

double SmoothStep(double x) {
  return (std::sin(std::numbers::pi * x - std::numbers::pi / 2.0) + 1.0) / 2.0;
}

TPoint4 QuadFromRect(const TGfxRect& r) {
  return {TGfxPoint{r.Left, r.Top}, TGfxPoint{r.Right, r.Top}, TGfxPoint{r.Right, r.Bottom},
          TGfxPoint{r.Left, r.Bottom}};
}

TPoint4 QuadFromBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
  return QuadFromRect(GfxBounds(x, y, w, h));
}

TPoint4 QuadFromBoundsScaled(int32_t x, int32_t y, int32_t w, int32_t h, double scale) {
  return QuadFromBounds(x, y, vx::Round32(w * scale), vx::Round32(h * scale));
}
