#pragma once
// Drawing surface for the game's art: a cairo ARGB32 surface with the handful of shapes the
// pictures are made of, and system fonts loaded by file path (never through a font lookup,
// so the same files give the same pixels on every machine).
#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/datagen/Picture.h"

namespace vx::datagen {

// Finds a font file of the system by its file name (for example "DejaVuSans-Bold.ttf") in
// the Debian font folders; empty when it is not installed.
std::string FindSystemFont(const std::string& fileName);

// Owns the FreeType library and the cairo faces made from font files.
class FontLibrary {
public:
  FontLibrary();
  ~FontLibrary();
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;
  // The face of a font file (cached); throws Exception when the file cannot be read.
  cairo_font_face_t* Face(const std::string& path);
  // Face of a system font by file name; throws when the font is not installed.
  cairo_font_face_t* SystemFace(const std::string& fileName);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

struct Rgba {
  double r = 0, g = 0, b = 0, a = 1;
};
// 0xRRGGBB to a cairo colour.
Rgba Hex(uint32_t rgb, double alpha = 1.0);

struct Stop {
  double offset;
  Rgba colour;
};

class Canvas {
public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Paths (replace the current path).
  void RoundedRect(double x, double y, double w, double h, double r);
  // Rounded at the top corners only.
  void TopRoundedRect(double x, double y, double w, double h, double r);
  void Polygon(const std::vector<std::pair<double, double>>& pts);

  // Sources.
  void SetColour(Rgba c);
  void SetVertical(double y0, double y1, const std::vector<Stop>& stops);
  void SetRadial(double cx, double cy, double r0, double r1, const std::vector<Stop>& stops);

  void Fill() { cairo_fill(cr_); }
  void FillPreserve() { cairo_fill_preserve(cr_); }
  void Stroke(double width);
  void StrokePreserve(double width);

  // Text centred on (cx, cy) (the visual centre of the ink), in the given face and pixel size.
  void TextCentered(cairo_font_face_t* face, double px, const std::string& utf8, double cx,
                    double cy);
  // Text whose baseline starts at (x, y).
  void TextAt(cairo_font_face_t* face, double px, const std::string& utf8, double x, double y);
  // Width of a text in the face and size.
  double TextAdvance(cairo_font_face_t* face, double px, const std::string& utf8);

  // Fine grain noise of the given strength (0..1) over the whole picture, from a fixed seed,
  // so felt and wood look woven instead of flat, the same on every run.
  void Grain(uint32_t seed, double strength);

  // The finished picture, un-premultiplied.
  Picture ToPicture() const;

private:
  void SetFont(cairo_font_face_t* face, double px);

  int width_, height_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

}  // namespace vx::datagen
