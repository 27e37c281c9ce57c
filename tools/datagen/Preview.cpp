#include "tools/datagen/Preview.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/Exception.h"
#include "core/StrUtils.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/ArtKit.h"
#include "tools/datagen/FontPlan.h"
#include "tools/datagen/Ini.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {

namespace {

Picture DrawArt(FontLibrary& fonts, const std::string& key) {
  for (const auto& a : AllArt())
    if (a.key == key) return a.draw(fonts);
  throw ::Exception("no picture " + key);
}

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
};

Box ReadBox(const IniFile& ini, const std::string& section) {
  Box b;
  if (const IniSection* s = ini.Find(section)) {
    b.left = vx::StrToIntDef(s->Get("Left").value_or(""), 0);
    b.top = vx::StrToIntDef(s->Get("Top").value_or(""), 0);
    b.width = vx::StrToIntDef(s->Get("Width").value_or(""), 0);
    b.height = vx::StrToIntDef(s->Get("Height").value_or(""), 0);
  }
  return b;
}

uint32_t ReadThemeColour(const IniFile& ini, const std::string& section, const std::string& key,
                         uint32_t def) {
  if (const IniSection* s = ini.Find(section))
    if (auto v = s->Get(key)) {
      const uint32_t c = static_cast<uint32_t>(vx::StrToIntDef(*v, 0));
      return look::ThemeColour(c & 0xFFFFFF);  // $BBGGRR back to 0xRRGGBB
    }
  return def;
}

const EngineFont& FontByName(const std::string& name) {
  for (const auto& f : EngineFonts())
    if (vx::SameText(f.name, name)) return f;
  return EngineFonts().front();
}

// Draws word-wrapped text into a picture the way a label lays it out: rows of words that fit
// the width, 2 pixels apart, centred.
void DrawLabel(FontLibrary& fonts, Picture& screen, const Box& box, const EngineFont& font,
               uint32_t rgb, const std::string& caption) {
  Canvas c(box.width, box.height);
  cairo_font_face_t* face = fonts.SystemFace(font.fileName);
  std::vector<std::string> rows;
  for (const auto& word : vx::Split(caption, ' ')) {
    if (word.empty()) continue;
    if (!rows.empty() && c.TextAdvance(face, font.pixelSize, rows.back() + " " + word) <= box.width)
      rows.back() += " " + word;
    else
      rows.push_back(word);
  }
  const int h = font.pixelSize + 4;
  const int total = static_cast<int>(rows.size()) * h + (static_cast<int>(rows.size()) - 1) * 2;
  int y = (box.height - total) / 2;
  for (const auto& row : rows) {
    const double w = c.TextAdvance(face, font.pixelSize, row);
    c.TextAt(face, font.pixelSize, row, std::floor((box.width - w) / 2), y + font.pixelSize);
    c.SetColour(Hex(rgb));
    c.Fill();
    y += h + 2;
  }
  BlendOver(screen, c.ToPicture(), box.left, box.top);
}

Picture Backdrop(FontLibrary& fonts) {
  Canvas c(look::kScreenW, look::kScreenH);
  c.SetRadial(400, 260, 30, 560, {{0.0, Hex(look::kFeltLight)}, {0.6, Hex(look::kFelt)}, {1.0, Hex(look::kFeltDark)}});
  cairo_paint(c.cr());
  c.Grain(7, 0.08);
  c.TextCentered(fonts.SystemFace("DejaVuSerif-Bold.ttf"), 40, "ORVANTA CARDS CASINO", 400, 70);
  c.SetVertical(50, 90, {{0.0, Hex(look::kGoldPale)}, {1.0, Hex(look::kGold)}});
  c.Fill();
  for (int i = 0; i < 4; ++i) {
    c.RoundedRect(70 + i * 175, 170, 140, 190, 10);
    c.SetColour(Hex(0x000000, 0.35));
    c.FillPreserve();
    c.SetColour(Hex(look::kGold, 0.8));
    c.Stroke(2);
  }
  return c.ToPicture();
}

}  // namespace

void WritePng(const Picture& pic, const std::string& path) {
  cairo_surface_t* s = kit::PictureSurface(pic);
  const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  if (st != CAIRO_STATUS_SUCCESS) throw ::Exception("Cannot write " + path);
}

Picture MockMessageBox(FontLibrary& fonts, const std::string& dialogsTheme, const std::string& text,
                       bool yesNo) {
  const IniFile ini = ParseIni(dialogsTheme).file;
  Picture screen = Backdrop(fonts);
  BlendOver(screen, DrawArt(fonts, "DIALOGS\\background.bmp"), 0, 0);
  const Box frame = ReadBox(ini, "IMG_FRAME"), bar = ReadBox(ini, "IMG_TASKBAR"),
            logo = ReadBox(ini, "IMG_WINDOWLOGO"), message = ReadBox(ini, "LBL_MESSAGE");
  BlendOver(screen, DrawArt(fonts, "COMMON\\IMG_FRAME.bmp"), frame.left, frame.top);
  BlendOver(screen, DrawArt(fonts, "COMMON\\IMG_TASKBAR.bmp"), bar.left, bar.top);
  BlendOver(screen, DrawArt(fonts, "COMMON\\IMG_WINDOWLOGO.bmp"), logo.left, logo.top);
  const auto* msg = ini.Find("LBL_MESSAGE");
  DrawLabel(fonts, screen, message, FontByName(msg ? msg->Get("FontDXName").value_or("") : ""),
            ReadThemeColour(ini, "LBL_MESSAGE", "FontColor", look::kCream), text);

  const Picture button = DrawArt(fonts, "COMMON\\BTN_ALL.bmp");
  std::vector<std::pair<std::string, std::string>> buttons;
  if (yesNo)
    buttons = {{"BTN_YES", "YES"}, {"BTN_NO", "NO"}};
  else
    buttons = {{"BTN_OK", "OK"}};
  bool hovered = true;  // the first button shows its hover look
  for (const auto& [name, caption] : buttons) {
    const Box b = ReadBox(ini, name);
    const auto* s = ini.Find(name);
    uint32_t tint = 0xFFFFFF, textRgb = ReadThemeColour(ini, name, "FontColor", look::kCream);
    if (s) {
      if (auto c4 = ParseFourPart(s->Get("Color4").value_or("")))
        tint = look::ThemeColour(static_cast<uint32_t>((*c4)[0]) & 0xFFFFFF);
      if (hovered) {
        if (auto h4 = ParseFourPart(s->Get("RollOverEffect_Color").value_or("")))
          tint = look::ThemeColour(static_cast<uint32_t>((*h4)[0]) & 0xFFFFFF);
        textRgb = ReadThemeColour(ini, name, "RollOverEffect_TextColor", textRgb);
      }
    }
    BlendOver(screen, Tint(Stretch(button, b.width, b.height), tint), b.left, b.top);
    DrawLabel(fonts, screen, b, FontByName(s ? s->Get("FontDXName").value_or("") : ""), textRgb,
              caption);
    hovered = false;
  }
  return screen;
}

Picture MockControls(FontLibrary& fonts) {
  using namespace look;
  Picture screen = Backdrop(fonts);
  BlendOver(screen, DrawArt(fonts, "DIALOGS\\background.bmp"), 0, 0);
  const int fx = 160, fy = 140;
  BlendOver(screen, DrawArt(fonts, "COMMON\\IMG_FRAME.bmp"), fx, fy);
  BlendOver(screen, DrawArt(fonts, "COMMON\\IMG_TASKBAR.bmp"), fx + kTaskBarInset, fy + kTaskBarInset);
  BlendOver(screen, DrawArt(fonts, "COMMON\\IMG_WINDOWLOGO_2.bmp"), fx + 13, fy + 11);
  const EngineFont& black = FontByName("ArialBlack");
  DrawLabel(fonts, screen, {fx + 44, fy + 8, 200, kTaskBarH}, black, kGoldLight, "OPTIONS");
  // Tabs: the middle one hovered (full colour), the others dimmed as the themes do.
  const Picture tab = DrawArt(fonts, "COMMON\\TSBTN_ALL.bmp");
  const char* tabs[] = {"SOUND", "VIDEO", "PLAYER"};
  for (int i = 0; i < 3; ++i) {
    const Box b{fx + 24 + i * kTabW, fy + 52, kTabW, kTabH};
    BlendOver(screen, i == 1 ? tab : Tint(tab, 0xC4C4C4), b.left, b.top);
    DrawLabel(fonts, screen, b, FontByName("ArialBlackSmall"), i == 1 ? 0xFFF6D6 : kCream, tabs[i]);
  }
  const Picture off = DrawArt(fonts, "COMMON\\CB_ALL.bmp"), on = DrawArt(fonts, "COMMON\\CB_ALL_checked.bmp");
  const char* boxes[] = {"SOUND EFFECTS", "MUSIC", "MOUSE TRAIL"};
  for (int i = 0; i < 3; ++i) {
    const int y = fy + 92 + i * 34;
    BlendOver(screen, i == 2 ? off : on, fx + 30, y);
    DrawLabel(fonts, screen, {fx + 30 + kCheckSize + 6, y - 2, 200, kCheckSize + 4}, FontByName("ArialBold"), kCream,
              boxes[i]);
  }
  // A list box: see-through rows on a framed panel, the 10-pixel scroll bar at its right.
  const int lx = fx + 260, ly = fy + 92, lw = 190, lh = 120;
  {
    Canvas c(lw, lh);
    c.RoundedRect(0.5, 0.5, lw - 1, lh - 1, 3);
    c.SetColour(Hex(0x000000, 0.35));
    c.FillPreserve();
    c.SetColour(Hex(kGold, 0.9));
    c.Stroke(1);
    c.RoundedRect(2, 2 + 2 * 15, lw - 16, 15, 2);
    c.SetColour(Hex(kGold, 0.45));
    c.Fill();
    BlendOver(screen, c.ToPicture(), lx, ly);
  }
  const char* rows[] = {"ALICE", "BOB", "CAROL", "DAVE", "EVE", "FRANK", "GRACE"};
  for (int i = 0; i < 7; ++i)
    DrawLabel(fonts, screen, {lx + 4, ly + 2 + i * 15, 80, 15}, FontByName("ArialBlackSmall"), kCream, rows[i]);
  BlendOver(screen, DrawArt(fonts, "COMMON\\BTN_SCROLLUP.bmp"), lx + lw - 12, ly + 2);
  BlendOver(screen, DrawArt(fonts, "COMMON\\BTN_SCROLLDOWN.bmp"), lx + lw - 12, ly + lh - 12);
  const Picture stars[] = {DrawArt(fonts, "EFFECTS\\PAR_STAR1.bmp"), DrawArt(fonts, "EFFECTS\\PAR_STAR2.bmp"),
                           DrawArt(fonts, "EFFECTS\\PAR_STAR3.bmp")};
  for (int i = 0; i < 12; ++i) BlendOver(screen, stars[i % 3], 40 + i * 61, 500 + (i * 37) % 70);
  const Picture button = DrawArt(fonts, "COMMON\\BTN_ALL.bmp");
  BlendOver(screen, Tint(button, 0xC4C4C4), fx + 100, fy + 260);
  DrawLabel(fonts, screen, {fx + 100, fy + 260, kButtonW, kButtonH}, black, kCream, "SAVE");
  BlendOver(screen, button, fx + 260 + 2, fy + 260 + 2);  // pressed: 2 pixels right and down
  DrawLabel(fonts, screen, {fx + 262, fy + 262, kButtonW, kButtonH}, black, 0xFFF6D6, "CANCEL");
  return screen;
}

Picture ContactSheet(FontLibrary& fonts) {
  const auto art = AllArt();
  std::vector<std::pair<std::string, Picture>> pics;
  for (const auto& a : art) {
    if (a.key.find("background") != std::string::npos) continue;
    Picture p = a.draw(fonts);
    const int zoom = p.width <= 32 ? 4 : (p.width <= 128 ? 2 : 1);
    pics.emplace_back(a.key, Stretch(p, p.width * zoom, p.height * zoom));
  }
  Picture sheet(1040, 900);
  for (int y = 0; y < sheet.height; ++y)
    for (int x = 0; x < sheet.width; ++x)
      sheet.At(x, y) = ((x / 8 + y / 8) % 2) ? 0xFF5A5A5A : 0xFF787878;
  int x = 10, y = 10, rowH = 0;
  for (const auto& [key, p] : pics) {
    if (x + p.width > sheet.width - 10) {
      x = 10;
      y += rowH + 10;
      rowH = 0;
    }
    BlendOver(sheet, p, x, y);
    x += p.width + 10;
    rowH = std::max(rowH, p.height);
  }
  return sheet;
}

}  // namespace vx::datagen
