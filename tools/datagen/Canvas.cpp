#include "tools/datagen/Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/Exception.h"

namespace vx::datagen {

std::string FindSystemFont(const std::string& fileName) {
  static const char* const kFolders[] = {
      "/usr/share/fonts/truetype/dejavu/",      "/usr/share/fonts/truetype/liberation2/",
      "/usr/share/fonts/truetype/liberation/", "/usr/share/fonts/truetype/",
      "/usr/local/share/fonts/",
  };
  std::error_code ec;
  for (const char* folder : kFolders) {
    std::string p = std::string(folder) + fileName;
    if (std::filesystem::is_regular_file(p, ec)) return p;
  }
  return {};
}

struct FontLibrary::Impl {
  FT_Library ft = nullptr;
  std::map<std::string, std::pair<FT_Face, cairo_font_face_t*>> faces;
};

FontLibrary::FontLibrary() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->ft) != 0) throw ::Exception("FreeType cannot be initialised");
}

FontLibrary::~FontLibrary() {
  for (auto& [path, f] : impl_->faces) {
    cairo_font_face_destroy(f.second);
  }
  // cairo keeps scaled fonts of a face in a cache; empty it before the FreeType faces go.
  cairo_debug_reset_static_data();
  for (auto& [path, f] : impl_->faces) FT_Done_Face(f.first);
  FT_Done_FreeType(impl_->ft);
}

cairo_font_face_t* FontLibrary::Face(const std::string& path) {
  auto it = impl_->faces.find(path);
  if (it != impl_->faces.end()) return it->second.second;
  FT_Face face = nullptr;
  if (FT_New_Face(impl_->ft, path.c_str(), 0, &face) != 0)
    throw ::Exception("Cannot read the font file " + path);
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
  if (cairo_font_face_status(cf) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(cf);
    FT_Done_Face(face);
    throw ::Exception("Cannot use the font file " + path);
  }
  impl_->faces.emplace(path, std::make_pair(face, cf));
  return cf;
}

cairo_font_face_t* FontLibrary::SystemFace(const std::string& fileName) {
  std::string path = FindSystemFont(fileName);
  if (path.empty()) throw ::Exception("The system font " + fileName + " is not installed");
  return Face(path);
}

Rgba Hex(uint32_t rgb, double alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cr_ = cairo_create(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
    throw ::Exception("Cannot create a drawing surface of " + std::to_string(width) + "x" +
                        std::to_string(height));
  }
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, fo);
  cairo_font_options_destroy(fo);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void Canvas::RoundedRect(double x, double y, double w, double h, double r) {
  r = std::max(0.0, std::min({r, w / 2, h / 2}));
  cairo_new_path(cr_);
  cairo_arc(cr_, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr_, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr_, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr_, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr_);
}

void Canvas::TopRoundedRect(double x, double y, double w, double h, double r) {
  r = std::max(0.0, std::min({r, w / 2, h}));
  cairo_new_path(cr_);
  cairo_move_to(cr_, x, y + h);
  cairo_arc(cr_, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_arc(cr_, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_line_to(cr_, x + w, y + h);
  cairo_close_path(cr_);
}

void Canvas::Polygon(const std::vector<std::pair<double, double>>& pts) {
  cairo_new_path(cr_);
  for (size_t i = 0; i < pts.size(); ++i) {
    if (i == 0)
      cairo_move_to(cr_, pts[i].first, pts[i].second);
    else
      cairo_line_to(cr_, pts[i].first, pts[i].second);
  }
  cairo_close_path(cr_);
}

void Canvas::SetColour(Rgba c) { cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a); }

void Canvas::SetVertical(double y0, double y1, const std::vector<Stop>& stops) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  for (const auto& s : stops)
    cairo_pattern_add_color_stop_rgba(p, s.offset, s.colour.r, s.colour.g, s.colour.b, s.colour.a);
  cairo_set_source(cr_, p);
  cairo_pattern_destroy(p);
}

void Canvas::SetRadial(double cx, double cy, double r0, double r1, const std::vector<Stop>& stops) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
  for (const auto& s : stops)
    cairo_pattern_add_color_stop_rgba(p, s.offset, s.colour.r, s.colour.g, s.colour.b, s.colour.a);
  cairo_set_source(cr_, p);
  cairo_pattern_destroy(p);
}

void Canvas::Stroke(double width) {
  cairo_set_line_width(cr_, width);
  cairo_stroke(cr_);
}

void Canvas::StrokePreserve(double width) {
  cairo_set_line_width(cr_, width);
  cairo_stroke_preserve(cr_);
}

void Canvas::SetFont(cairo_font_face_t* face, double px) {
  cairo_set_font_face(cr_, face);
  cairo_set_font_size(cr_, px);
}

void Canvas::TextCentered(cairo_font_face_t* face, double px, const std::string& utf8, double cx,
                          double cy) {
  SetFont(face, px);
  cairo_text_extents_t e;
  cairo_text_extents(cr_, utf8.c_str(), &e);
  cairo_new_path(cr_);
  cairo_move_to(cr_, cx - (e.x_bearing + e.width / 2), cy - (e.y_bearing + e.height / 2));
  cairo_text_path(cr_, utf8.c_str());
}

void Canvas::TextAt(cairo_font_face_t* face, double px, const std::string& utf8, double x, double y) {
  SetFont(face, px);
  cairo_new_path(cr_);
  cairo_move_to(cr_, x, y);
  cairo_text_path(cr_, utf8.c_str());
}

double Canvas::TextAdvance(cairo_font_face_t* face, double px, const std::string& utf8) {
  SetFont(face, px);
  cairo_text_extents_t e;
  cairo_text_extents(cr_, utf8.c_str(), &e);
  return e.x_advance;
}

void Canvas::Grain(uint32_t seed, double strength) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  uint32_t s = seed ? seed : 1;
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_; ++x) {
      // xorshift32: a fixed sequence, independent of the program's own generator.
      s ^= s << 13;
      s ^= s >> 17;
      s ^= s << 5;
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      if (a == 0) continue;
      const double f = 1.0 + strength * ((static_cast<double>(s & 0xFFFF) / 65535.0) - 0.5) * 2;
      uint32_t out = a << 24;
      for (int sh = 0; sh <= 16; sh += 8) {
        double c = ((p >> sh) & 0xFF) * f;
        // Premultiplied: a channel never exceeds alpha.
        c = std::clamp(c, 0.0, static_cast<double>(a));
        out |= static_cast<uint32_t>(std::lround(c)) << sh;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(surface_);
}

Picture Canvas::ToPicture() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  Picture pic(width_, height_);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      uint32_t out = a << 24;
      if (a != 0) {
        for (int sh = 0; sh <= 16; sh += 8) {
          const uint32_t c = (p >> sh) & 0xFF;
          out |= std::min<uint32_t>((c * 255 + a / 2) / a, 255) << sh;
        }
      }
      pic.At(x, y) = out;
    }
  }
  return pic;
}

}  // namespace vx::datagen
