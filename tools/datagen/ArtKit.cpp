#include "tools/datagen/ArtKit.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/Look.h"

namespace vx::datagen::kit {

using namespace look;

cairo_font_face_t* Bold(FontLibrary& f) { return f.SystemFace("DejaVuSans-Bold.ttf"); }
cairo_font_face_t* Condensed(FontLibrary& f) { return f.SystemFace("DejaVuSansCondensed-Bold.ttf"); }
cairo_font_face_t* Serif(FontLibrary& f) { return f.SystemFace("DejaVuSerif-Bold.ttf"); }
cairo_font_face_t* Sans(FontLibrary& f) { return f.SystemFace("DejaVuSans.ttf"); }

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int sh = 0; sh <= 16; sh += 8) {
    const double ca = (a >> sh) & 0xFF, cb = (b >> sh) & 0xFF;
    out |= static_cast<uint32_t>(std::lround(ca + (cb - ca) * t)) << sh;
  }
  return out;
}

std::vector<Stop> GoldStops() {
  return {{0.0, Hex(kGoldPale)}, {0.3, Hex(kGoldLight)}, {0.65, Hex(kGold)}, {1.0, Hex(kGoldDark)}};
}

void GoldRim(Canvas& c, double x, double y, double w, double h, double r, double rim) {
  c.RoundedRect(x + 0.5, y + 0.5, w - 1, h - 1, r);
  c.SetVertical(y, y + h, GoldStops());
  c.FillPreserve();
  c.SetColour(Hex(0x241704, 0.95));
  c.Stroke(1.0);
  c.RoundedRect(x + rim - 0.5, y + rim - 0.5, w - 2 * rim + 1, h - 2 * rim + 1, std::max(1.0, r - rim));
  c.SetColour(Hex(0x000000, 0.55));
  c.Stroke(1.0);
}

void Glass(Canvas& c, double x, double y, double w, double h, double r, uint32_t top, uint32_t foot) {
  c.RoundedRect(x, y, w, h, r);
  c.SetVertical(y, y + h, {{0.0, Hex(top)}, {1.0, Hex(foot)}});
  c.Fill();
  cairo_save(c.cr());
  c.RoundedRect(x, y, w, h, r);
  cairo_clip(c.cr());
  c.Polygon({{x, y}, {x + w * 0.55, y}, {x + w * 0.3, y + h}, {x, y + h}});
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.5, y + h * 0.6);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 1, 1, 0.10);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 1, 1, 1, 0.0);
  cairo_set_source(c.cr(), p);
  cairo_pattern_destroy(p);
  c.Fill();
  cairo_restore(c.cr());
}

void GoldText(Canvas& c, cairo_font_face_t* face, double px, const std::string& text, double cx, double cy) {
  c.TextCentered(face, px, text, cx, cy);
  c.SetVertical(cy - px / 2, cy + px / 2, {{0.0, Hex(kGoldPale)}, {0.5, Hex(kGoldLight)}, {1.0, Hex(kGold)}});
  // A dark edge only where the letters are big enough to carry it.
  if (px >= 22) {
    c.FillPreserve();
    c.SetColour(Hex(0x2A1A02, 0.9));
    c.Stroke(px / 30);
  } else {
    c.Fill();
  }
}

void PlainText(Canvas& c, cairo_font_face_t* face, double px, const std::string& text, double cx, double cy,
               Rgba colour) {
  c.TextCentered(face, px, text, cx, cy);
  c.SetColour(colour);
  c.Fill();
}

double Fit(Canvas& c, cairo_font_face_t* face, double px, const std::string& text, double maxW) {
  const double w = c.TextAdvance(face, px, text);
  return w > maxW ? px * maxW / w : px;
}

void MenuStrip(Canvas& c) {
  const double W = c.Width();
  c.Polygon({{0, 0}, {W, 0}, {W, 27}, {0, 27}});
  c.SetVertical(0, 27, {{0.0, Hex(0x17402A)}, {0.5, Hex(0x0A2416)}, {1.0, Hex(0x03100A)}});
  c.Fill();
  c.Polygon({{0, 27}, {W, 27}, {W, 28.5}, {0, 28.5}});
  c.SetVertical(27, 28.5, GoldStops());
  c.Fill();
}

cairo_surface_t* PictureSurface(const Picture& pic) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pic.width, pic.height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < pic.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < pic.width; ++x) {
      const uint32_t p = pic.At(x, y), a = p >> 24;
      uint32_t out = a << 24;
      for (int sh = 0; sh <= 16; sh += 8) out |= ((((p >> sh) & 0xFF) * a + 127) / 255) << sh;
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

void PaintPicture(Canvas& c, const Picture& pic, double cx, double cy, double scale, double angle,
                  const PaintStyle& style) {
  cairo_surface_t* s = PictureSurface(pic);
  cairo_t* cr = c.cr();
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  cairo_scale(cr, scale, scale);
  const double x = -pic.width / 2.0 + style.shadowX, y = -pic.height / 2.0 + style.shadowY;
  if (style.shadowRadius > 0) {
    c.RoundedRect(x, y, pic.width, pic.height, style.shadowRadius);
  } else {
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, pic.width, pic.height);
  }
  cairo_set_source_rgba(cr, 0, 0, 0, style.shadowAlpha);
  cairo_fill(cr);
  cairo_set_source_surface(cr, s, -pic.width / 2.0, -pic.height / 2.0);
  cairo_pattern_set_filter(cairo_get_source(cr), style.filter);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

// An illuminated push button: a bezel round a coloured cap, with an optional second legend
// printed on the cap's lower half (the engine draws the caption on top).
Picture PushButton(FontLibrary& fonts, int w, int h, uint32_t cap, const std::string& legend, uint32_t legendInk) {
  Canvas c(w, h);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 9);
  c.SetVertical(0, h, {{0.0, Hex(0xF4F4F4)}, {0.45, Hex(0xA8A8A8)}, {0.55, Hex(0x8A8A8A)}, {1.0, Hex(0x3C3C3C)}});
  c.FillPreserve();
  c.SetColour(Hex(0x101010));
  c.Stroke(1.0);
  c.RoundedRect(3.5, 3.5, w - 7, h - 7, 7);
  c.SetVertical(3, h - 3, {{0.0, Hex(Mix(cap, 0xFFFFFF, 0.55))}, {0.45, Hex(cap)}, {1.0, Hex(Mix(cap, 0x000000, 0.45))}});
  c.FillPreserve();
  c.SetColour(Hex(0x000000, 0.5));
  c.Stroke(1.0);
  // Inner glow, as if lit from behind.
  c.SetRadial(w / 2.0, h * 0.62, 2, w * 0.55, {{0.0, Hex(0xFFFFFF, 0.22)}, {1.0, Hex(0xFFFFFF, 0.0)}});
  c.RoundedRect(4, 4, w - 8, h - 8, 6);
  c.Fill();
  // Gloss.
  c.RoundedRect(6, 5, w - 12, h * 0.36, 5);
  c.SetVertical(5, 5 + h * 0.36, {{0.0, Hex(0xFFFFFF, 0.55)}, {1.0, Hex(0xFFFFFF, 0.05)}});
  c.Fill();
  if (!legend.empty()) {
    const double px = Fit(c, Condensed(fonts), 12, legend, w - 14);
    PlainText(c, Condensed(fonts), px, legend, w / 2.0, h - 12.5, Hex(legendInk));
  }
  return c.ToPicture();
}

}  // namespace vx::datagen::kit
