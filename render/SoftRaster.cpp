#include "render/SoftRaster.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "render/SoftRasterSpans.h"

namespace {

constexpr auto kMapSpans = sr::MakeTable<false>(std::make_index_sequence<1024>{});
constexpr auto kRectSpans = sr::MakeTable<true>(std::make_index_sequence<1024>{});

TSRSpanRoutine SelectMapSpan(uint32_t flags) { return kMapSpans[static_cast<size_t>(sr::FlagsToIndex(flags))]; }
TSRSpanRoutine SelectRectSpan(uint32_t flags) { return kRectSpans[static_cast<size_t>(sr::FlagsToIndex(flags))]; }

uint32_t* PixelAt(const TSRSurface& s, int32_t x, int32_t y) {
  return reinterpret_cast<uint32_t*>(s.Bits + static_cast<std::ptrdiff_t>(y) * s.Pitch + static_cast<std::ptrdiff_t>(x) * 4);
}

// 16.16 positions and weights wrap modulo 2^32 as they step.
constexpr uint32_t Fix(int32_t v) { return static_cast<uint32_t>(v) << 16; }
constexpr int32_t Whole(uint32_t fixed) { return static_cast<int32_t>(fixed) >> 16; }

struct EdgeRow {
  int32_t Left, Right;
  uint32_t LeftColor, RightColor;
  uint32_t LeftU, LeftV, RightU, RightV;
};

// Shared by every general-path quadrilateral of the drawing thread.
std::vector<EdgeRow>& Edges() {
  static thread_local std::vector<EdgeRow> edges;
  return edges;
}

void ScanEdge(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t ua, int32_t va, int32_t ub, int32_t vb,
              int32_t firstRow, uint32_t colorA, uint32_t colorB) {
  if (ya == yb) return;  // horizontal edges: the edges at their ends cover those rows
  if (yb < ya) {
    std::swap(xa, xb);
    std::swap(ya, yb);
    std::swap(ua, ub);
    std::swap(va, vb);
    std::swap(colorA, colorB);
  }
  const int64_t rows = int64_t{yb} - ya + 1;
  const uint32_t dx = static_cast<uint32_t>(((int64_t{xb} - xa) * 65536) / rows);
  const uint32_t du = static_cast<uint32_t>(((int64_t{ub} - ua) * 65536) / rows);
  const uint32_t dv = static_cast<uint32_t>(((int64_t{vb} - va) * 65536) / rows);
  const uint32_t dw = static_cast<uint32_t>(65280 / rows);
  std::vector<EdgeRow>& edges = Edges();
  // Only the rows inside the table: the values there are the ones stepping reaches.
  const int64_t first = std::max<int64_t>(0, int64_t{firstRow} - ya);
  const int64_t last = std::min<int64_t>(rows, int64_t{firstRow} + static_cast<int64_t>(edges.size()) - ya);
  for (int64_t i = first; i < last; ++i) {
    const uint32_t k = static_cast<uint32_t>(i);
    const int32_t x = static_cast<int16_t>((Fix(xa) + dx * k) >> 16);
    const uint32_t u = Fix(ua) + du * k, v = Fix(va) + dv * k, w = dw * k;
    EdgeRow& row = edges[static_cast<size_t>(int64_t{ya} + i - firstRow)];
    if (row.Left > x) {
      row.Left = x;
      row.LeftU = u >> 16;
      row.LeftV = v >> 16;
      row.LeftColor = SRBlendColors(colorB, colorA, w >> 8);
    }
    if (row.Right < x) {
      row.Right = x;
      row.RightU = u >> 16;
      row.RightV = v >> 16;
      row.RightColor = SRBlendColors(colorB, colorA, w >> 8);
    }
  }
}

void DrawSpans(const TSRSurface& surface, const TSRSurface& texture, int32_t firstRow, const TGfxRect& clip,
               uint32_t flags) {
  const TSRSpanRoutine routine = SelectMapSpan(flags);
  const std::vector<EdgeRow>& edges = Edges();
  for (size_t r = 0; r < edges.size(); ++r) {
    const EdgeRow& e = edges[r];
    if (e.Right < e.Left) continue;
    int32_t left = e.Left;
    int32_t width = e.Right - left + 1;
    TSRSpan sp;
    sp.U = e.LeftU << 16;
    sp.V = e.LeftV << 16;
    const auto diff = [](uint32_t b, uint32_t a) { return int64_t{static_cast<int32_t>(b)} - static_cast<int32_t>(a); };
    sp.DU = static_cast<uint32_t>(diff(e.RightU, e.LeftU) * 65536 / width);
    sp.DV = static_cast<uint32_t>(diff(e.RightV, e.LeftV) * 65536 / width);
    sp.LeftColor = e.LeftColor;
    sp.RightColor = e.RightColor;
    if (left < clip.Left) {
      const int32_t skip = clip.Left - left;
      const int32_t f = static_cast<int32_t>(int64_t{skip} * 255 / width);
      left = clip.Left;
      width -= skip;
      sp.U += sp.DU * static_cast<uint32_t>(skip);
      sp.V += sp.DV * static_cast<uint32_t>(skip);
      sp.LeftColor = SRBlendColors(sp.LeftColor, sp.RightColor, static_cast<uint32_t>(std::clamp(255 - f, 0, 255)));
    }
    if (width < 1) continue;
    if (left + width > clip.Right) {
      const int32_t excess = width - (clip.Right - left);
      const int32_t f = static_cast<int32_t>(int64_t{excess} * 255 / width);
      width = clip.Right - left;
      sp.RightColor = SRBlendColors(sp.LeftColor, sp.RightColor, static_cast<uint32_t>(std::clamp(f, 0, 255)));
    }
    if (width < 1) continue;
    sp.Dest = PixelAt(surface, left, firstRow + static_cast<int32_t>(r));
    sp.Src = texture.Bits;
    sp.SrcPitch = texture.Pitch;
    sp.Count = width;
    routine(sp);
  }
}

void TexturedRect(const TSRSurface& surface, const TSRSurface& texture, const TGfxRect& clip, const TPoint4& p,
                  const TColor4& c, TGfxRect tex, uint32_t flags) {
  const TSRSpanRoutine routine = SelectRectSpan(flags);
  const int32_t top = std::min(p[0].Y, p[3].Y);
  const int32_t height = std::abs(p[0].Y - p[3].Y) + 1;
  if (p[0].Y > p[3].Y) std::swap(tex.Top, tex.Bottom);
  int32_t width = std::abs(p[1].X - p[0].X) + 1;
  int32_t x = std::min(p[0].X, p[1].X);
  if (width < 2 || height < 2) return;
  if (p[0].X > p[1].X) std::swap(tex.Left, tex.Right);
  double u = tex.Left;
  const double du = static_cast<double>(tex.Right - tex.Left) / (width - 1);
  int32_t fl = 0, fr = 0;
  if (x < clip.Left) {
    const int32_t skip = clip.Left - x;
    fl = static_cast<int32_t>(int64_t{skip} * 255 / (width - 1));
    x = clip.Left;
    width -= skip;
    u += skip * du;
  }
  if (width > 1 && x + width > clip.Right) {
    const int32_t excess = width - (clip.Right - x);
    fr = static_cast<int32_t>(int64_t{excess} * 255 / (width - 1));
    width = clip.Right - x;
  }
  if (width <= 0) return;
  fl = std::clamp(fl, 0, 255);
  fr = std::clamp(fr, 0, 255);
  const double dv = static_cast<double>(tex.Bottom - tex.Top) / (height - 1);
  TSRSpan sp;
  sp.Count = width;
  sp.U = static_cast<uint32_t>(static_cast<int64_t>(u * 65536.0));
  sp.DU = static_cast<uint32_t>(static_cast<int64_t>(du * 65536.0));
  const bool diffuse = (flags & srfDiffuse) != 0;
  // Only the rows inside the clip; each row's texture row is worked out from its own index.
  const int32_t i0 = std::max(0, clip.Top - top);
  const int32_t i1 = static_cast<int32_t>(std::min<int64_t>(height, int64_t{clip.Bottom} - top));
  for (int32_t i = i0; i < i1; ++i) {
    if (diffuse) {
      const uint32_t t = static_cast<uint32_t>(int64_t{i} * 255 / (height - 1));
      const uint32_t a = SRBlendColors(c[3], c[0], t);
      const uint32_t b = SRBlendColors(c[2], c[1], t);
      sp.LeftColor = SRBlendColors(b, a, static_cast<uint32_t>(fl));
      sp.RightColor = SRBlendColors(sp.LeftColor, b, static_cast<uint32_t>(fr));
    } else {
      sp.LeftColor = sp.RightColor = 0;
    }
    const int32_t v = static_cast<int32_t>(tex.Top + i * dv);
    sp.Src = texture.Bits + static_cast<std::ptrdiff_t>(v) * texture.Pitch;
    sp.Dest = PixelAt(surface, x, top + i);
    routine(sp);
  }
}

template <int Row>
uint32_t BlendOne(uint32_t s, uint32_t d) {
  if constexpr (Row == 0) {
    return d;
  } else {
    const __m128i z = _mm_setzero_si128();
    const __m128i r = sr::Blend2<Row>(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(s)), z),
                                      _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(d)), z));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(r, z)));
  }
}

template <size_t... I>
constexpr std::array<uint32_t (*)(uint32_t, uint32_t), sizeof...(I)> MakePixelTable(std::index_sequence<I...>) {
  return {&BlendOne<static_cast<int>(I)>...};
}

}  // namespace

void SRFillLongword(uint32_t* dest, int32_t count, uint32_t value) {
  if (count <= 0) return;
  // Four equal bytes (black, white, the frame's clear) go through the C library's fill.
  if ((value & 0xFFu) * 0x01010101u == value)
    std::memset(dest, static_cast<int>(value & 0xFFu), static_cast<size_t>(count) * 4);
  else
    std::fill_n(dest, count, value);
}

uint32_t SRBlendColors(uint32_t c1, uint32_t c2, uint32_t w) {
  if (w == 0) return c2;
  if (w >= 255) return c1;
  const uint32_t iw = 255 - w;
  const uint32_t rb = ((((c1 & 0x00FF00FFu) * w + 0x00800080u) >> 8) & 0x00FF00FFu) +
                      ((((c2 & 0x00FF00FFu) * iw + 0x00800080u) >> 8) & 0x00FF00FFu);
  const uint32_t ag = (((((c1 >> 8) & 0x00FF00FFu) * w + 0x00800080u) >> 8) & 0x00FF00FFu) +
                      (((((c2 >> 8) & 0x00FF00FFu) * iw + 0x00800080u) >> 8) & 0x00FF00FFu);
  return rb + (ag << 8);
}

uint32_t SRBlendPixel(uint32_t s, uint32_t d, uint32_t flags) {
  // One pixel through the span kernel's own arithmetic, so single pixels and spans agree.
  static constexpr auto kPixel = MakePixelTable(std::make_index_sequence<14>{});
  return kPixel[static_cast<size_t>(sr::BlendRow(flags))](s, d);
}

void SRPutPixel(const TSRSurface& surface, const TGfxRect& clip, int32_t x, int32_t y, uint32_t colour,
                uint32_t flags) {
  if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) return;
  uint32_t* p = PixelAt(surface, x, y);
  *p = SRBlendPixel(colour, *p, flags);
}

namespace {

void DrawLine(const TSRSurface& surface, const TGfxRect& clip, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t c1, uint32_t c2, uint32_t flags, bool open) {
  const int64_t dx = std::abs(int64_t{x2} - x1), dy = std::abs(int64_t{y2} - y1);
  if (dx == 0 && dy == 0) {
    SRPutPixel(surface, clip, x1, y1, SRBlendColors(c1, c2, 128), flags);
    return;
  }
  if (clip.IsEmpty()) return;
  const bool stepY = dy > dx;
  const int64_t major = stepY ? dy : dx;
  const int32_t a1 = stepY ? y1 : x1, a2 = stepY ? y2 : x2;  // along the major axis
  const int32_t b1 = stepY ? x1 : y1, b2 = stepY ? x2 : y2;  // along the minor one
  int64_t start = a1;
  uint32_t pos = Fix(b1);
  uint32_t step = static_cast<uint32_t>(((int64_t{b2} - b1) * 65536) / major);
  uint32_t w = 0;
  uint32_t wstep = static_cast<uint32_t>(65535 / major);
  const bool backwards = a2 < a1;
  if (backwards) {
    start = a2;
    pos = Fix(b2);
    step = 0u - step;
    w = 65535;
    wstep = 0u - wstep;
  }
  int64_t count = major + 1;
  if (open) {
    count = major;
    if (backwards) {
      ++start;
      pos += step;
      w += wstep;
    }
  }
  // Only the stretch of the major axis inside the clip can show: straight there.
  const int64_t lo = stepY ? clip.Top : clip.Left, hi = stepY ? clip.Bottom : clip.Right;
  const int64_t first = std::max<int64_t>(0, lo - start), last = std::min<int64_t>(count, hi - start);
  for (int64_t i = first; i < last; ++i) {
    const uint32_t k = static_cast<uint32_t>(i);
    const int32_t minor = Whole(pos + step * k);
    const uint32_t colour = SRBlendColors(c2, c1, ((w + wstep * k) >> 8) & 0xFF);
    const int32_t along = static_cast<int32_t>(start + i);
    if (stepY)
      SRPutPixel(surface, clip, minor, along, colour, flags);
    else
      SRPutPixel(surface, clip, along, minor, colour, flags);
  }
}

}  // namespace

void SRLine(const TSRSurface& surface, const TGfxRect& clip, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
            uint32_t colour1, uint32_t colour2, uint32_t flags) {
  DrawLine(surface, clip, x1, y1, x2, y2, colour1, colour2, flags, false);
}

void SRLineOpen(const TSRSurface& surface, const TGfxRect& clip, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                uint32_t colour1, uint32_t colour2, uint32_t flags) {
  DrawLine(surface, clip, x1, y1, x2, y2, colour1, colour2, flags, true);
}

void SRPrepareRect(TPoint4& p) {
  for (int axis = 0; axis < 2; ++axis) {
    const auto at = [&](size_t i) -> int32_t& { return axis == 0 ? p[i].X : p[i].Y; };
    size_t m1 = 0;
    for (size_t i = 1; i < 4; ++i)
      if (at(i) > at(m1)) m1 = i;
    size_t m2 = (m1 + 1) % 4;
    for (size_t i = 0; i < 4; ++i)
      if (i != m1 && at(i) > at(m2)) m2 = i;
    --at(m1);
    --at(m2);
  }
}

void SRQuad(const TSRSurface& surface, const TSRSurface& texture, const TGfxRect& clip, const TPoint4& points,
            const TColor4& colours, TGfxRect tex, uint32_t flags) {
  if (clip.IsEmpty()) return;
  // The texture rectangle becomes inclusive: the larger of each pair comes in by one.
  if (tex.Right <= tex.Left) --tex.Left; else --tex.Right;
  if (tex.Bottom <= tex.Top) --tex.Top; else --tex.Bottom;
  if ((flags & srfFill) == 0) {
    // Never a texel outside the texture, whatever rectangle the caller passed.
    if (texture.Bits == nullptr || texture.Width < 1 || texture.Height < 1) return;
    tex.Left = std::clamp(tex.Left, 0, texture.Width - 1);
    tex.Right = std::clamp(tex.Right, 0, texture.Width - 1);
    tex.Top = std::clamp(tex.Top, 0, texture.Height - 1);
    tex.Bottom = std::clamp(tex.Bottom, 0, texture.Height - 1);
  }
  const TPoint4& p = points;
  if (p[0].Y == p[1].Y && p[2].Y == p[3].Y && p[0].X == p[3].X && p[1].X == p[2].X) {
    // A rectangle without area draws nothing (pulling its edges in would give it two rows).
    if (p[0].X == p[1].X || p[0].Y == p[3].Y) return;
    TPoint4 r = p;
    SRPrepareRect(r);
    TexturedRect(surface, texture, clip, r, colours, tex, flags);
    return;
  }
  int32_t firstRow = std::min({p[0].Y, p[1].Y, p[2].Y, p[3].Y});
  int32_t lastRow = std::max({p[0].Y, p[1].Y, p[2].Y, p[3].Y});
  firstRow = std::max(firstRow, clip.Top);
  lastRow = std::min(lastRow, clip.Bottom - 1);
  if (lastRow < firstRow) return;
  std::vector<EdgeRow>& edges = Edges();
  edges.resize(static_cast<size_t>(lastRow - firstRow + 1));
  for (EdgeRow& e : edges) {
    e.Left = INT32_MAX;
    e.Right = INT32_MIN;
  }
  const auto u = [](int32_t v) { return v; };
  ScanEdge(p[0].X, p[0].Y, p[1].X, p[1].Y, u(tex.Left), u(tex.Top), u(tex.Right), u(tex.Top), firstRow, colours[0], colours[1]);
  ScanEdge(p[1].X, p[1].Y, p[2].X, p[2].Y, u(tex.Right), u(tex.Top), u(tex.Right), u(tex.Bottom), firstRow, colours[1], colours[2]);
  ScanEdge(p[2].X, p[2].Y, p[3].X, p[3].Y, u(tex.Right), u(tex.Bottom), u(tex.Left), u(tex.Bottom), firstRow, colours[2], colours[3]);
  ScanEdge(p[3].X, p[3].Y, p[0].X, p[0].Y, u(tex.Left), u(tex.Bottom), u(tex.Left), u(tex.Top), firstRow, colours[3], colours[0]);
  DrawSpans(surface, texture, firstRow, clip, flags);
}

TSRSpanRoutine SRSelectSpan(uint32_t flags) { return SelectMapSpan(flags); }

int32_t SRSpanRoutineCount() {
  bool seen[256] = {};
  int32_t n = 0;
  for (int i = 0; i < 1024; ++i) {
    const int key = sr::SpanKey(sr::IndexToFlags(i));
    if (!seen[key]) {
      seen[key] = true;
      ++n;
    }
  }
  return n;
}
