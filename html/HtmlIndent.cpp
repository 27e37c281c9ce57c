#include "html/HtmlIndent.h"

#include <algorithm>

int IndentManager::LeftIndent(int y) const {
  int x = 0;
  for (const Rec& r : left_)
    if (y >= r.Top && y < r.Bottom) x = std::max(x, r.X);
  return LeftEdge + x;
}

int IndentManager::RightIndent(int y) const {
  int x = 0;
  for (const Rec& r : right_)
    if (y >= r.Top && y < r.Bottom) x = std::min(x, r.X);
  return RightEdge + x;
}

int IndentManager::AddLeftFloat(int y, int width, int height) {
  const int x = LeftIndent(y);
  left_.push_back({x - LeftEdge + width, y, y + height, level_, true});
  return x;
}

int IndentManager::AddRightFloat(int y, int width, int height) {
  const int x = RightIndent(y) - width;
  right_.push_back({x - RightEdge, y, y + height, level_, true});
  return x;
}

void IndentManager::SetLevel(int level, int y, int width) {
  while (level_ < level) {
    ++level_;
    left_.push_back({LeftIndent(y) - LeftEdge + width, y, kOpenEnd, level_, false});
  }
  if (level_ > level) {
    for (Rec& r : left_)
      if (!r.Float && r.Level > level && r.Bottom > y) r.Bottom = y;
    level_ = level;
  }
}

int IndentManager::Bottom(const std::vector<Rec>& recs) {
  int b = 0;
  for (const Rec& r : recs)
    if (r.Float) b = std::max(b, r.Bottom);
  return b;
}

int IndentManager::LevelFloatBottom(int level) const {
  int b = 0;
  for (const auto* side : {&left_, &right_})
    for (const Rec& r : *side)
      if (r.Float && r.Level == level) b = std::max(b, r.Bottom);
  return b;
}

int IndentManager::ImageBottom() const { return std::max(ClearLeft(), ClearRight()); }
