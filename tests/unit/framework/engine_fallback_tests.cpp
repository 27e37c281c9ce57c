// A machine whose OpenGL cannot give a 3.3 core context still runs the game: the engine logs
// why the GPU device did not start and draws on the software device shown through the plain
// window surface. Mesa is told to offer GL 2.1 only, before anything in this process asks it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/Log.h"
#include "framework/VXEngine.h"
#include "render/GfxDevGDI.h"

namespace {

TEST(EngineFallback, WithoutOpenGL33TheEngineDrawsInSoftwareAndSaysWhy) {
  setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
  vx::ClearLog();
  TGfxForm form;
  TVXEngine engine(&form, nullptr, false);
  bool terminated = false;
  engine.OnTerminate = [&terminated] { terminated = true; };
  engine.SetWidth(320);
  engine.SetHeight(200);
  engine.LoadFonts();
  EXPECT_FALSE(terminated);
  EXPECT_TRUE(engine.Started());
  EXPECT_EQ(engine.Mode(), rmSoftGDI);
  EXPECT_NE(dynamic_cast<TGfxDeviceGDI*>(engine.Device()), nullptr);
  bool said = false;
  for (const std::string& line : vx::LogLines()) said = said || line.find("drawing in software instead") != std::string::npos;
  EXPECT_TRUE(said);
  EXPECT_EQ(engine.Device()->Clear(0xFF0000FFu), 0);
  EXPECT_EQ(engine.Device()->Present(), 0);
}

}  // namespace
