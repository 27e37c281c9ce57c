// The real SDL window under the offscreen video driver, SDL's events translated into the
// handlers' terms, and the virtual-key table.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Cursor.h"
#include "platform/KeyMap.h"
#include "platform/SoftPresent.h"
#include "platform/Window.h"

namespace {

// A key of a US layout: letters type their lower-case letter.
uint16_t Vk(SDL_Scancode sc, bool numLock = true) {
  const int32_t keycode = (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) ? 'a' + (sc - SDL_SCANCODE_A) : 0;
  return vx::VirtualKeyFromSdl(keycode, sc, numLock);
}

class Recorder : public vx::IWindowHandler {
public:
  std::vector<std::string> calls;
  void OnMouseDown(vx::TMouseButton b, vx::TShiftState s, int x, int y) override {
    calls.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                    std::to_string(y));
  }
  void OnMouseUp(vx::TMouseButton b, vx::TShiftState s, int x, int y) override {
    calls.push_back("up " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                    std::to_string(y));
  }
  void OnMouseMove(vx::TShiftState s, int x, int y) override {
    calls.push_back("move " + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnKeyDown(uint16_t& key, vx::TShiftState s) override {
    calls.push_back("key " + std::to_string(key) + " " + std::to_string(s));
  }
  void OnActivate() override { calls.push_back("activate"); }
  void OnDeactivate() override { calls.push_back("deactivate"); }
  void OnCloseRequest() override { calls.push_back("close"); }
};

}  // namespace

TEST(VirtualKeys, LettersDigitsAndFunctionKeys) {
  for (int i = 0; i < 26; ++i) {
    auto sc = static_cast<SDL_Scancode>(SDL_SCANCODE_A + i);
    EXPECT_EQ(Vk(sc), 'A' + i);
    // The layout decides letters: whatever key types "q" is 'Q' (as on an AZERTY board).
    EXPECT_EQ(vx::VirtualKeyFromSdl('q', sc, false), 'Q');
  }
  EXPECT_EQ(Vk(SDL_SCANCODE_0), '0');
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Vk(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i)), '1' + i);
  // Digits are by position even when the layout puts symbols there.
  EXPECT_EQ(vx::VirtualKeyFromSdl('&', SDL_SCANCODE_1, true), '1');
  // A layout without Latin letters falls back to the key's position.
  EXPECT_EQ(vx::VirtualKeyFromSdl(0x0444, SDL_SCANCODE_A, true), 'A');
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Vk(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i)), 112 + i);
}

TEST(VirtualKeys, ControlNavigationKeypadAndPunctuation) {
  const std::pair<SDL_Scancode, int> table[] = {
      {SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_TAB, 9},       {SDL_SCANCODE_RETURN, 13},
      {SDL_SCANCODE_LSHIFT, 16},   {SDL_SCANCODE_RSHIFT, 16},   {SDL_SCANCODE_LCTRL, 17},
      {SDL_SCANCODE_RCTRL, 17},    {SDL_SCANCODE_LALT, 18},     {SDL_SCANCODE_RALT, 18},
      {SDL_SCANCODE_ESCAPE, 27},   {SDL_SCANCODE_SPACE, 32},    {SDL_SCANCODE_PAGEUP, 33},
      {SDL_SCANCODE_PAGEDOWN, 34}, {SDL_SCANCODE_END, 35},      {SDL_SCANCODE_HOME, 36},
      {SDL_SCANCODE_LEFT, 37},     {SDL_SCANCODE_UP, 38},       {SDL_SCANCODE_RIGHT, 39},
      {SDL_SCANCODE_DOWN, 40},     {SDL_SCANCODE_INSERT, 45},   {SDL_SCANCODE_DELETE, 46},
      {SDL_SCANCODE_KP_MULTIPLY, 106}, {SDL_SCANCODE_KP_PLUS, 107}, {SDL_SCANCODE_KP_MINUS, 109},
      {SDL_SCANCODE_KP_DIVIDE, 111},   {SDL_SCANCODE_KP_ENTER, 13},
      {SDL_SCANCODE_SEMICOLON, 186}, {SDL_SCANCODE_EQUALS, 187}, {SDL_SCANCODE_COMMA, 188},
      {SDL_SCANCODE_MINUS, 189},     {SDL_SCANCODE_PERIOD, 190}, {SDL_SCANCODE_SLASH, 191},
      {SDL_SCANCODE_GRAVE, 192},     {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_BACKSLASH, 220},
      {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},
  };
  for (auto [sc, vk] : table) EXPECT_EQ(Vk(sc), vk) << SDL_GetScancodeName(sc);

  // Keypad digits: 96-105 with Num Lock, the navigation keys without.
  for (int i = 0; i < 10; ++i) {
    auto sc = i == 0 ? SDL_SCANCODE_KP_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i - 1);
    EXPECT_EQ(Vk(sc, true), 96 + i);
  }
  EXPECT_EQ(Vk(SDL_SCANCODE_KP_PERIOD, true), 110);
  EXPECT_EQ(Vk(SDL_SCANCODE_KP_0, false), 45);
  EXPECT_EQ(Vk(SDL_SCANCODE_KP_1, false), 35);
  EXPECT_EQ(Vk(SDL_SCANCODE_KP_8, false), 38);
  EXPECT_EQ(Vk(SDL_SCANCODE_KP_9, false), 33);
  EXPECT_EQ(Vk(SDL_SCANCODE_KP_PERIOD, false), 46);
  // Keys without a code are dropped.
  EXPECT_EQ(Vk(SDL_SCANCODE_MUTE), 0);
}

TEST(Window, OpensUnderTheOffscreenDriverPumpsAndCloses) {
  ASSERT_EQ(std::string(std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : ""), "offscreen");
  vx::PlatformWindow window;
  std::string error;
  ASSERT_TRUE(window.Create("Orvanta Cards Casino", 800, 600, &error)) << error;
  ASSERT_NE(window.NativeHandle(), nullptr);
  EXPECT_NE(SDL_GetWindowFlags(window.NativeHandle()) & SDL_WINDOW_OPENGL, 0u);
  window.Show();
  EXPECT_EQ(window.Caption(), "Orvanta Cards Casino");
  int w = 0, h = 0;
  window.GetClientSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  vx::SetCursorShape(vx::CursorShape::Wait);
  {
    vx::ScopedCursor arrow(vx::CursorShape::Arrow);
    EXPECT_EQ(vx::GetCursorShape(), vx::CursorShape::Arrow);
  }
  EXPECT_EQ(vx::GetCursorShape(), vx::CursorShape::Wait);
  vx::SetCursorShape(vx::CursorShape::Arrow);

  vx::SdlEventSource source(window);
  vx::MessagePump pump;
  Recorder rec;
  pump.SetEventSource(&source);
  pump.SetHandler(&rec);
  int idle = 0;
  pump.OnIdle = [&](bool& done) {
    ++idle;
    done = true;
  };

  // Real SDL events through the real queue: a press and release with a key in between.
  auto push = [&](SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); };
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.windowID = window.WindowId();
  e.button.button = SDL_BUTTON_LEFT;
  e.button.clicks = 1;
  e.button.x = 100;
  e.button.y = 50;
  push(e);
  e = SDL_Event{};
  e.type = SDL_KEYDOWN;
  e.key.windowID = window.WindowId();
  e.key.keysym.scancode = SDL_SCANCODE_F;
  e.key.keysym.sym = SDLK_f;
  e.key.keysym.mod = KMOD_LCTRL;
  push(e);
  e = SDL_Event{};
  e.type = SDL_MOUSEBUTTONUP;
  e.button.windowID = window.WindowId();
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.x = 799;
  e.button.y = 599;
  push(e);
  e = SDL_Event{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = window.WindowId();
  e.motion.state = SDL_BUTTON_MMASK;
  e.motion.x = 3;
  e.motion.y = 4;
  push(e);
  e = SDL_Event{};
  e.type = SDL_TEXTINPUT;  // not used by the program: skipped
  push(e);
  for (int i = 0; i < 200 && rec.calls.size() < 4; ++i) pump.PumpOne();
  ASSERT_GE(rec.calls.size(), 4u);
  EXPECT_EQ(rec.calls[0], "down 0 8 100,50");
  EXPECT_EQ(rec.calls[1], "key 70 12");  // Ctrl, with the left button still held
  EXPECT_EQ(rec.calls[2], "up 1 8 799,599");
  EXPECT_EQ(rec.calls[3], "move 32 3,4");

  // Letterboxed full-screen frame: a 1920x1080 desktop shows the frame at 1440x1080 from
  // x = 240; positions map back to 800x600, and outside the frame to outside 0..799.
  window.SetLogicalViewport(240, 0, 1440, 1080);
  int x = 0, y = 0;
  window.MapToLogical(240, 0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  window.MapToLogical(240 + 1439, 1079, x, y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
  window.MapToLogical(960, 540, x, y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  window.MapToLogical(239, 0, x, y);
  EXPECT_EQ(x, -1);
  window.ClearLogicalViewport();
  window.MapToLogical(123, 456, x, y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 456);

  // Full screen on the desktop and back: the window returns to its 800x600 client area.
  ASSERT_TRUE(window.SetMode(vx::WindowMode::DesktopFullScreen, 800, 600, &error)) << error;
  EXPECT_EQ(window.Mode(), vx::WindowMode::DesktopFullScreen);
  int dw = 0, dh = 0;
  window.GetDisplaySize(dw, dh);
  EXPECT_GT(dw, 0);
  EXPECT_GT(dh, 0);
  EXPECT_TRUE(window.HasDisplayMode(dw, dh));
  EXPECT_FALSE(window.HasDisplayMode(12345, 6789));
  ASSERT_TRUE(window.SetMode(vx::WindowMode::Windowed, 800, 600, &error)) << error;
  window.GetClientSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);

  // The close button: a window close request ends the loop.
  e = SDL_Event{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  e.window.windowID = window.WindowId();
  push(e);
  const uint64_t start = SDL_GetTicks64();
  pump.Run();
  EXPECT_TRUE(pump.Terminated());
  EXPECT_EQ(rec.calls.back(), "close");
  EXPECT_LT(SDL_GetTicks64() - start, 5000u);
  window.Destroy();
  EXPECT_FALSE(window.IsCreated());
}

// Frames drawn in memory reach the window no faster than 60 a second when vsync is asked
// for: neither way of showing them waits for the retrace by itself (a renderer that says it
// does is caught returning at once within 30 presents). Time moves only while the pacer
// sleeps, so every present it holds back is held a whole period.
TEST(SoftPresenter, PacesFramesToSixtyASecondOnlyWithVsync) {
  vx::PlatformWindow window;
  std::string error;
  ASSERT_TRUE(window.Create("soft presents", 64, 48, &error)) << error;
  const std::vector<uint32_t> frame(64 * 48, 0xFF336699u);
  for (vx::SoftPresentKind kind : {vx::SoftPresentKind::WindowSurface, vx::SoftPresentKind::StreamingTexture})
    for (bool vsync : {false, true}) {
      double now = 5.0;
      int sleeps = 0;
      vx::SoftPresenter presenter(kind, vx::PresentPacer([&] { return now; }, [&](double s) {
                                    ++sleeps;
                                    now += s;
                                  }));
      ASSERT_TRUE(presenter.Open(window, 64, 48, vsync, &error)) << error;
      for (int i = 0; i < 40; ++i) {
        if (kind == vx::SoftPresentKind::WindowSurface) {
          ASSERT_EQ(presenter.ShowFrame(frame.data(), 64 * 4), vx::SoftPresentResult::Ok);
        } else {
          void* pixels = nullptr;
          int pitch = 0;
          ASSERT_TRUE(presenter.Lock(pixels, pitch));
          ASSERT_EQ(presenter.UnlockAndShow(), vx::SoftPresentResult::Ok);
        }
      }
      const int kindNo = static_cast<int>(kind);
      // Every present but the first; a renderer that claims to wait, from its 31st on.
      const int least = !vsync ? 0 : kind == vx::SoftPresentKind::WindowSurface ? 39 : 9;
      EXPECT_GE(sleeps, least) << kindNo;
      EXPECT_LE(sleeps, vsync ? 39 : 0) << kindNo;
      EXPECT_NEAR(now - 5.0, sleeps / 60.0, 1e-9) << kindNo;
    }
}
