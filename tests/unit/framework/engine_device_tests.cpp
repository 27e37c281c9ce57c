// Which device the engine draws with: the GPU device, unless its OpenGL only draws on the
// CPU, where the software device is far cheaper; VX_RENDER_DEVICE forces either. The headless
// context here is Mesa's software GL, so the choice itself is seen to happen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "core/Log.h"
#include "framework/VXEngine.h"
#include "platform/gl/GlSurface.h"
#include "render/GfxBackend.h"

namespace {

TEST(EngineDevice, SoftwareRenderersAreKnownByTheirNames) {
  const std::pair<const char*, bool> cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Software Rasterizer", true},
      {"zink Vulkan 1.3(llvmpipe (LLVM 15.0.6, 256 bits) (MESA_LLVMPIPE))", true},
      {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
      // A hardware driver built with LLVM names it too.
      {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
      {"", false},
  };
  for (const auto& [renderer, software] : cases) EXPECT_EQ(vx::gl::IsSoftwareRenderer(renderer), software) << renderer;
}

TEST(EngineDevice, OnSoftwareGlTheEngineDrawsInSoftwareUnlessTheEnvironmentSaysOtherwise) {
  TGfxForm probe;
  std::string error;
  const std::string renderer = QueryGLRenderer(&probe, error);
  if (renderer.empty()) GTEST_SKIP() << "no GL here: " << error;
  const TRenderingMode automatic = vx::gl::IsSoftwareRenderer(renderer) ? rmSoftGDI : rmDirect3D;

  const char* before = std::getenv(TVXEngine::DeviceVariable);
  const std::string kept = before != nullptr ? before : "";
  const struct {
    const char* value;  // nullptr: not set
    TRenderingMode mode;
    const char* logged;
  } cases[] = {
      {nullptr, automatic, automatic == rmSoftGDI ? "OpenGL draws on the CPU here" : "drawing with OpenGL on"},
      {"gpu", rmDirect3D, nullptr},
      {"soft", rmSoftGDI, "drawing in software, as VX_RENDER_DEVICE asks"},
      {"vulkan", automatic, "VX_RENDER_DEVICE is neither gpu nor soft: vulkan"},
  };
  for (const auto& c : cases) {
    if (c.value != nullptr)
      setenv(TVXEngine::DeviceVariable, c.value, 1);
    else
      unsetenv(TVXEngine::DeviceVariable);
    vx::ClearLog();
    TGfxForm form;
    TVXEngine engine(&form, nullptr, true);
    engine.SetWidth(320);
    engine.SetHeight(200);
    engine.LoadFonts();
    const std::string what = c.value != nullptr ? c.value : "(unset)";
    EXPECT_TRUE(engine.Started()) << what;
    EXPECT_EQ(engine.Mode(), c.mode) << what;
    if (c.logged != nullptr) {
      bool said = false;
      for (const std::string& line : vx::LogLines()) said = said || line.find(c.logged) != std::string::npos;
      EXPECT_TRUE(said) << what << ": nothing logged " << c.logged;
    }
    // The device chosen draws.
    EXPECT_EQ(engine.Device()->Clear(0xFF0000FFu), 0) << what;
    EXPECT_EQ(engine.Device()->Present(), 0) << what;
  }
  if (before != nullptr)
    setenv(TVXEngine::DeviceVariable, kept.c_str(), 1);
  else
    unsetenv(TVXEngine::DeviceVariable);
}

}  // namespace
