#pragma once
// The table width solver as pure functions over column limits: what the table layout uses
// and what the tests check with properties.
#include <cstdint>
#include <vector>

namespace html {

struct ColumnLimits {
  int Min = 0, Max = 0;
  int Share = 0;  // tenths of a per cent of the table width; 0 without a percentage
};

// Column widths for a table width W (the columns' part, without the outer cell spacing).
// Every column gets at least its minimum; when the minimums fit and the table either has its
// own WIDTH or its columns want at least W, the widths add up to W exactly.
std::vector<int> SolveColumnWidths(const std::vector<ColumnLimits>& cols, int width, bool fixedWidth);

// The width a table without WIDTH wants for its columns, at most `available` (unless the
// minimums need more).
int NaturalColumnsWidth(const std::vector<ColumnLimits>& cols, int available);

// Rows grown so that they add up to `wanted` (never shrunk): every row but the last by the
// same amount, the last taking the rest.
void StretchRows(std::vector<int>& rows, int wanted);

}  // namespace html
