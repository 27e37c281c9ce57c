#pragma once
// What the widget tests share: a host over a recording device with one synthetic fixed-width
// font (space 4 pixels, every other character 8, all 10 high), which closes the open drop-down
// when another control opens or a press arrives, as the main window does; a screen that routes
// mouse and keys the way the main window does; and a summary of a draw log that folds each text
// run into one line.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FrameworkFakes.h"
#include "framework/VXEngine.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXPageControl.h"
#include "framework/VXProgressBar.h"
#include "framework/VXScrollControl.h"
#include "framework/VXMenus.h"
#include "framework/VXWidgets.h"
#include "render/GfxFonts.h"
#include "render/RecDb.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/RecordWriters.h"

namespace wtest {

constexpr int32_t kSpaceWidth = 4;
constexpr int32_t kGlyphWidth = 8;
constexpr int32_t kGlyphHeight = 10;

// Pixel width of a text in the synthetic font.
inline int32_t WidthOf(const std::string& s) {
  int32_t w = 0;
  for (char c : s) w += c == ' ' ? kSpaceWidth : (c > ' ' && c <= '~' ? kGlyphWidth : 0);
  return w;
}

inline std::vector<uint8_t> FixedFontRecord() {
  vxtools::TFontRecordInfo info;
  info.FirstChar = 32;
  for (int c = 32; c <= 126; ++c) info.Glyphs.push_back(TGfxSize{c == 32 ? kSpaceWidth : kGlyphWidth, kGlyphHeight});
  vxtools::TImageRecordHeader h;
  h.Stored = COLOR_A8R8G8B8;
  h.Pattern = {12, 14};
  h.Visible = {10, 12};
  h.Texture = {128, 128};
  h.TextureCount = 1;
  h.PatternCount = 90;
  std::vector<uint32_t> sheet(128 * 128, 0xFFFFFFFFu);
  return vxtools::EncodeFontRecord(info, vxtools::EncodeImageRecord(h, sheet.data()));
}

class WidgetHost : public vxtest::ContextHost {
public:
  WidgetHost() {
    EXPECT_TRUE(vxtools::WriteArchiveFile(dir.File("fonts.vxr"), {{"Fixed.font", FontRecordType, FixedFontRecord(), 0}}));
    db.SetFileName(dir.File("fonts.vxr"));
    db.SetOpenMode(opReadOnly);
    gfxFont = std::make_unique<TGfxFont>();
    gfxFont->Device = &Recorder;
    EXPECT_EQ(gfxFont->LoadFromRecDb(db, "Fixed.font", COLOR_A8R8G8B8), 0);
    engineFont.Name = "Fixed.font";
    engineFont.Font = gfxFont.get();
  }

  bool FontAvailable = true;
  int32_t Caret = 30;
  std::vector<std::string> Closed;

  TVXEngineFont* FindFont(const std::string&) override { return FontAvailable ? &engineFont : nullptr; }
  int32_t CaretPeriod() override { return Caret; }
  // The main window closes the open menu or list before it remembers another (or none).
  void SetOpenControl(TVXCustomControl* control) override {
    TVXCustomControl* previous = OpenControl();
    if (previous != nullptr && previous != control) {
      Closed.push_back(previous->Name());
      vx::CloseDropDown(previous);
    }
    TVXHostBase::SetOpenControl(control);
  }
  const TGfxImage* FontImage() const { return gfxFont->Image(); }

  vxtest::TempDir dir;
  TRecDb db;
  std::unique_ptr<TGfxFont> gfxFont;
  TVXEngineFont engineFont;
};

// The root scene with the main window's input routing.
class Screen {
public:
  explicit Screen(WidgetHost& host) : host_(host) {
    host.Hold(root);
    root.NoRender = true;
    root.SetBounds(0, 0, 800, 600);
  }
  vxtest::RootOf<TVXPanel> root{nullptr};

  void Frame(int n = 1) {
    for (int i = 0; i < n; ++i) root.Process();
  }
  void Move(int32_t x, int32_t y) { root.MouseMove(&root, 0, x, y); }
  // Routed first, then the open drop-down closes, then the press position is stored.
  void Press(int32_t x, int32_t y, int32_t button = vx::mbLeft) {
    root.MouseDown(&root, button, 0, x, y);
    host_.SetOpenControl(nullptr);
    host_.Cursor[0] = x;
    host_.Cursor[1] = y;
  }
  void Release(int32_t x, int32_t y, int32_t button = vx::mbLeft) { root.MouseUp(&root, button, 0, x, y); }
  void Click(int32_t x, int32_t y) {
    Move(x, y);
    Press(x, y);
    Frame();
    Release(x, y);
    Frame();
  }
  // The active control first, then the scene.
  void Key(uint16_t key, TShiftState shift = 0) {
    uint16_t k = key;
    SendKeyToActiveControl(&root, k, shift);
    root.KeyDown(k, shift);
  }
  void Type(const std::string& keys) {
    for (char c : keys) Key(static_cast<uint16_t>(static_cast<unsigned char>(c)));
  }

private:
  WidgetHost& host_;
};

// True when a glyph at x follows one at previous within the same text run.
inline bool NextGlyph(int32_t previous, int32_t x) { return x > previous && x - previous <= kGlyphWidth; }

// One line per call; consecutive glyphs of the font become "Text x,y n" (position of the first
// glyph and the glyph count).
inline std::vector<std::string> Summary(const vxtest::RecordingDevice& device, const TGfxImage* fontImage) {
  std::vector<std::string> out;
  for (size_t i = 0; i < device.Calls.size();) {
    const vxtest::DeviceCall& c = device.Calls[i];
    std::ostringstream s;
    if (c.Op == "TextureMap" && c.Image == fontImage) {
      size_t n = 1;
      while (i + n < device.Calls.size() && device.Calls[i + n].Op == "TextureMap" &&
             device.Calls[i + n].Image == fontImage && device.Calls[i + n].Points[0].Y == c.Points[0].Y &&
             NextGlyph(device.Calls[i + n - 1].Points[0].X, device.Calls[i + n].Points[0].X)) {
        ++n;
      }
      s << "Text " << c.Points[0].X << "," << c.Points[0].Y << " " << n;
      i += n;
    } else {
      const TGfxRect b = c.Bounds();
      if (c.Op == "SetClipRect") {
        s << "Clip " << c.Rect.Left << "," << c.Rect.Top << "," << c.Rect.Right << "," << c.Rect.Bottom;
      } else if (c.Op == "Line") {
        s << "Line " << c.Points[0].X << "," << c.Points[0].Y << "-" << c.Points[1].X << "," << c.Points[1].Y;
      } else {
        s << c.Op << " " << b.Left << "," << b.Top << "," << b.Right << "," << b.Bottom;
      }
      ++i;
    }
    out.push_back(s.str());
  }
  return out;
}

// The texts drawn, in order (glyph runs decoded back through the font's first character).
inline std::vector<std::string> DrawnTexts(const vxtest::RecordingDevice& device, const TGfxImage* fontImage) {
  std::vector<std::string> out;
  int32_t lastX = 0, lastY = 0;
  for (const vxtest::DeviceCall& c : device.Calls) {
    if (c.Op != "TextureMap" || c.Image != fontImage) continue;
    const char ch = static_cast<char>(32 + c.Pattern);
    if (out.empty() || c.Points[0].Y != lastY || !NextGlyph(lastX, c.Points[0].X)) out.emplace_back();
    out.back() += ch;
    lastX = c.Points[0].X;
    lastY = c.Points[0].Y;
  }
  return out;
}

}  // namespace wtest
