#pragma once
// The indent manager of one column (the page or a table cell): records of floats and list
// indents on the left and right, from which each Y gets its left and right indent.
#include <vector>

class IndentManager {
public:
  static constexpr int kListIndent = 35;
  static constexpr int kOpenEnd = 9999999;

  IndentManager(int leftEdge, int rightEdge) : LeftEdge(leftEdge), RightEdge(rightEdge) {}
  int LeftIndent(int y) const;
  int RightIndent(int y) const;
  // A float from y, height high; returns the X of its left edge.
  int AddLeftFloat(int y, int width, int height);
  int AddRightFloat(int y, int width, int height);
  // Moves to a list level at y: deeper levels add an indent of `width` each, shallower ones
  // end the deeper records just above y.
  void SetLevel(int level, int y, int width = kListIndent);
  // The lowest float bottom (all floats, or one side) as a Y where text may start.
  int ImageBottom() const;
  int ClearLeft() const { return Bottom(left_); }
  int ClearRight() const { return Bottom(right_); }
  // The lowest bottom of the floats placed while at a list level (0 when none).
  int LevelFloatBottom(int level) const;

  const int LeftEdge, RightEdge;

private:
  struct Rec {
    int X, Top, Bottom, Level;
    bool Float;
  };
  static int Bottom(const std::vector<Rec>& recs);
  std::vector<Rec> left_, right_;
  int level_ = 0;
};
