#pragma once
// The drawing pieces the lobby's and the poker screens' pictures are made of: the fonts of the
// art, polished gold, tinted glass, gold and plain captions, and pictures painted into other
// pictures. One place, so the two sets of pictures keep one look.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Picture.h"

namespace vx::datagen::kit {

// The faces the art writes with (system font files, by name).
cairo_font_face_t* Bold(FontLibrary& f);
cairo_font_face_t* Condensed(FontLibrary& f);
cairo_font_face_t* Serif(FontLibrary& f);
cairo_font_face_t* Sans(FontLibrary& f);

// 0xRRGGBB a -> b by t (0..1).
uint32_t Mix(uint32_t a, uint32_t b, double t);

// Polished gold, pale at the top to dark at the foot.
std::vector<Stop> GoldStops();

// A polished gold rim of width `rim` around (x, y, w, h); the inside is left to the caller.
void GoldRim(Canvas& c, double x, double y, double w, double h, double r, double rim);

// Tinted glass from `top` to `foot`, with a soft sheen across its upper left.
void Glass(Canvas& c, double x, double y, double w, double h, double r, uint32_t top, uint32_t foot);

// Gold text centred on (cx, cy); large letters get a dark edge.
void GoldText(Canvas& c, cairo_font_face_t* face, double px, const std::string& text, double cx, double cy);

// Text of one colour centred on (cx, cy).
void PlainText(Canvas& c, cairo_font_face_t* face, double px, const std::string& text, double cx, double cy,
               Rgba colour);

// The pixel size at which `text` fits `maxW` (never above `px`).
double Fit(Canvas& c, cairo_font_face_t* face, double px, const std::string& text, double maxW);

// The strip along the top of a full-screen background that the menu bar lies on: dark green
// lacquer down to y 27 over a gold rule.
void MenuStrip(Canvas& c);

// A straight-alpha picture as a premultiplied cairo surface; the caller destroys it.
cairo_surface_t* PictureSurface(const Picture& pic);

// How a painted picture lies on the one below: the shadow it casts (offset, corner radius,
// 0 for square, darkness) and how it is resampled.
struct PaintStyle {
  double shadowX = 4, shadowY = 6, shadowRadius = 10, shadowAlpha = 0.35;
  cairo_filter_t filter = CAIRO_FILTER_BEST;
};

// Paints `pic` scaled and turned about its centre, placed at (cx, cy), over its shadow. The
// canvas's current clip applies.
void PaintPicture(Canvas& c, const Picture& pic, double cx, double cy, double scale, double angle,
                  const PaintStyle& style = {});

// An illuminated push button of the machines' decks: a bezel round a coloured cap, with an
// optional second legend printed on the cap's lower half (the engine draws the caption).
Picture PushButton(FontLibrary& fonts, int w, int h, uint32_t cap, const std::string& legend, uint32_t legendInk);

}  // namespace vx::datagen::kit
