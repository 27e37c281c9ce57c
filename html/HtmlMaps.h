#pragma once
// Client-side image maps: the AREA tags of a MAP, their regions, and the hit test.
#include <string_view>
#include <vector>

#include "html/HtmlDocument.h"

// COORDS: numbers separated by commas and/or spaces (leading separators skipped), each piece
// read from at most its first 20 characters (a piece that is no number counts 0), at most 301.
std::vector<int> ParseCoords(std::string_view coords);
// The region of an AREA: "circ" (centre, radius), "poly" (pairs of points) or a rectangle.
// Too few numbers for the shape, or a radius not above 0, give an empty region.
vx::Region AreaRegion(std::string_view shape, const std::vector<int>& coords);
