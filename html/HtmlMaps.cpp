#include "html/HtmlMaps.h"

#include <algorithm>

#include "core/StrUtils.h"

using namespace html;

std::vector<int> ParseCoords(std::string_view coords) {
  std::vector<int> n;
  auto separator = [](char c) { return c == ',' || c == ' ' || c == '\r' || c == '\n' || c == '\t'; };
  size_t i = 0;
  while (i < coords.size() && n.size() < 301) {
    while (i < coords.size() && separator(coords[i])) ++i;
    const size_t start = i;
    while (i < coords.size() && !separator(coords[i])) ++i;
    if (i > start) n.push_back(std::clamp(AttrToInt(coords.substr(start, std::min<size_t>(i - start, 20))), -100000, 100000));
  }
  return n;
}

vx::Region AreaRegion(std::string_view shape, const std::vector<int>& n) {
  const std::string kind = vx::LowerCase(shape.substr(0, 4));
  if (kind == "circ") {
    if (n.size() < 3 || n[2] <= 0) return {};
    return vx::Region::Ellipse(n[0] - n[2], n[1] - n[2], n[0] + n[2], n[1] + n[2]);
  }
  if (kind == "poly") {
    std::vector<vx::TPoint> pts;
    for (size_t k = 0; k + 1 < n.size(); k += 2) pts.push_back({n[k], n[k + 1]});
    return vx::Region::Polygon(std::move(pts));  // fewer than three points: empty
  }
  if (n.size() < 4) return {};
  return vx::Region::Rectangle(n[0], n[1], n[2], n[3]);
}

void TMapItem::AddArea(const TAttributeList& attrs) {
  TMapArea area;
  area.Region = AreaRegion(attrs.Str(ShapeAttr), ParseCoords(attrs.Str(CoordsAttr)));
  if (!attrs.Find(NoHrefAttr)) area.Href = attrs.Str(HrefAttr);
  area.Target = attrs.Str(TargetAttr);
  Areas.push_back(std::move(area));
}

bool TMapItem::HitTest(int x, int y, TUrlTarget& link) const {
  // The first area holding the point decides, even one without a link.
  for (const TMapArea& area : Areas)
    if (area.Region.Contains(x, y)) {
      if (area.Href.empty()) return false;
      link = {area.Href, area.Target};
      return true;
    }
  return false;
}
