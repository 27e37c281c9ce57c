// Tables: grid normalisation, column widths, row heights, painting and forwarding.
#include <algorithm>
#include <numeric>

#include "core/Exception.h"
#include "core/StrUtils.h"
#include "html/HtmlDocument.h"
#include "html/HtmlIndent.h"
#include "html/HtmlTableWidths.h"

namespace html {

namespace {

int64_t Sum(const std::vector<int>& v) { return std::accumulate(v.begin(), v.end(), int64_t{0}); }

// Spreads `amount` over the columns in proportion to weights (equally when they sum to 0),
// the rounding remainder to the last column that takes part.
void Spread(std::vector<int>& w, const std::vector<int64_t>& weights, const std::vector<bool>& take, int64_t amount) {
  int64_t total = 0;
  int count = 0, last = -1;
  for (size_t i = 0; i < w.size(); ++i)
    if (take[i]) total += weights[i], ++count, last = static_cast<int>(i);
  if (count == 0) return;
  int64_t given = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    if (!take[i]) continue;
    const int64_t part = total > 0 ? amount * weights[i] / total : amount / count;
    w[i] += static_cast<int>(part);
    given += part;
  }
  w[static_cast<size_t>(last)] += static_cast<int>(amount - given);
}

}  // namespace

std::vector<int> SolveColumnWidths(const std::vector<ColumnLimits>& cols, int width, bool fixedWidth) {
  const size_t n = cols.size();
  std::vector<int> w(n);
  if (n == 0) return w;
  int64_t totalMin = 0, totalMax = 0;
  bool shares = false;
  for (const ColumnLimits& c : cols) totalMin += c.Min, totalMax += std::max(c.Max, c.Min), shares |= c.Share > 0;
  for (size_t i = 0; i < n; ++i) w[i] = cols[i].Min;
  if (totalMin >= width) return w;
  if (!shares) {
    if (totalMax <= width && !fixedWidth) {
      for (size_t i = 0; i < n; ++i) w[i] = std::max(cols[i].Max, cols[i].Min);
      return w;
    }
    // Between the minimums and the maximums, in proportion to what each column could use.
    std::vector<int64_t> weights(n);
    const int64_t d = totalMax - totalMin;
    for (size_t i = 0; i < n; ++i) weights[i] = d < 1 ? cols[i].Min : std::max(cols[i].Max, cols[i].Min) - cols[i].Min;
    Spread(w, weights, std::vector<bool>(n, true), width - totalMin);
    return w;
  }
  // Shared columns first take their share, never below their minimum.
  std::vector<bool> shared(n), unshared(n);
  std::vector<int64_t> shareWeights(n), room(n);
  for (size_t i = 0; i < n; ++i) {
    shared[i] = cols[i].Share > 0;
    unshared[i] = !shared[i];
    shareWeights[i] = cols[i].Share;
    if (shared[i]) w[i] = std::max<int64_t>(cols[i].Min, int64_t{width} * cols[i].Share / 1000);
  }
  int64_t rest = int64_t{width} - Sum(w);
  // A shortfall comes out of the shared columns by their shares, in a few passes.
  for (int pass = 0; pass < 4 && rest < 0; ++pass) {
    int64_t weight = 0;
    for (size_t i = 0; i < n; ++i)
      if (shared[i] && w[i] > cols[i].Min) weight += cols[i].Share;
    if (weight == 0) break;
    const int64_t need = -rest;
    for (size_t i = 0; i < n && rest < 0; ++i) {
      if (!shared[i] || w[i] <= cols[i].Min) continue;
      const int64_t take = std::min<int64_t>({w[i] - cols[i].Min, (need * cols[i].Share + weight - 1) / weight, -rest});
      w[i] -= static_cast<int>(take);
      rest += take;
    }
  }
  for (size_t i = 0; i < n && rest < 0; ++i) {
    const int64_t take = std::min<int64_t>(w[i] - cols[i].Min, -rest);
    w[i] -= static_cast<int>(take);
    rest += take;
  }
  if (rest > 0) {
    if (std::find(unshared.begin(), unshared.end(), true) != unshared.end()) {
      for (size_t i = 0; i < n; ++i) room[i] = std::max(cols[i].Max, cols[i].Min) - cols[i].Min;
      Spread(w, room, unshared, rest);
    } else {
      Spread(w, shareWeights, shared, rest);
    }
  }
  return w;
}

int NaturalColumnsWidth(const std::vector<ColumnLimits>& cols, int available) {
  int64_t totalMin = 0, totalMax = 0, p = 0, unsharedNeed = 0;
  for (const ColumnLimits& c : cols) {
    totalMin += c.Min;
    totalMax += std::max(c.Max, c.Min);
    p += c.Share;
    if (c.Share == 0) unsharedNeed += std::max(c.Max, c.Min);
  }
  int64_t need = totalMax;
  if (p > 0) {
    need = p < 1000 ? unsharedNeed * 1000 / (1000 - p) : unsharedNeed < 1 ? 0 : 30000;
    for (const ColumnLimits& c : cols)
      if (c.Share > 0) need = std::max<int64_t>(need, int64_t{c.Min} * 1000 / c.Share);
  }
  need = std::min<int64_t>(need, available);
  return static_cast<int>(std::min<int64_t>(std::max(need, totalMin), INT32_MAX));
}

void StretchRows(std::vector<int>& rows, int wanted) {
  if (rows.empty()) return;
  const int64_t sum = Sum(rows);
  if (sum >= wanted) return;
  const int64_t each = (wanted - sum) / static_cast<int64_t>(rows.size());
  for (size_t i = 0; i + 1 < rows.size(); ++i) rows[i] += static_cast<int>(each);
  rows.back() = static_cast<int>(wanted - (Sum(rows) - rows.back()));
}

}  // namespace html

using namespace html;

void ThtmlTable::ForEachCell(const std::function<void(TCellObj&)>& f) const {
  for (const auto& row : Rows)
    for (const auto& cell : row->Cells)
      if (cell) f(*cell);
}

void ThtmlTable::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  if (!HasBgColor && Caption && Caption->HasBgColor) BgColor = Caption->BgColor, HasBgColor = true;
  if (HasBgColor)
    ForEachCell([this](TCellObj& c) {
      if (!c.HasBgColor) c.BgColor = BgColor, c.HasBgColor = true;
    });
  auto tooMany = [] { throw Exception("Table has too many Columns"); };
  // Column spans: empty places after the cell. A row past 200 places can only end in the
  // error, so it is given at once.
  for (auto& row : Rows) {
    std::vector<std::unique_ptr<TCellObj>> cells;
    for (auto& c : row->Cells) {
      const int span = c ? c->ColSpan : 1;
      if (c && c->Width > 0 && !c->WidthPercent) PixelWidthCells = true;
      cells.push_back(std::move(c));
      for (int k = 1; k < span; ++k) cells.push_back(nullptr);
      if (cells.size() > static_cast<size_t>(kMaxColSpan)) tooMany();
    }
    row->Cells = std::move(cells);
  }
  auto longest = [this] {
    size_t n = 0;
    for (const auto& row : Rows) n = std::max(n, row->Cells.size());
    return n;
  };
  // Row spans: cut to the rows left, then an empty place below in each spanned row.
  for (size_t col = 0; col < static_cast<size_t>(kMaxColSpan); ++col) {
    for (size_t r = 0; r < Rows.size(); ++r) {
      if (col >= Rows[r]->Cells.size() || !Rows[r]->Cells[col]) continue;
      TCellObj& c = *Rows[r]->Cells[col];
      c.RowSpan = static_cast<int>(std::min<size_t>(static_cast<size_t>(c.RowSpan), Rows.size() - r));
      for (int k = 1; k < c.RowSpan; ++k) {
        auto& cells = Rows[r + static_cast<size_t>(k)]->Cells;
        if (cells.size() < col) cells.resize(col);
        cells.insert(cells.begin() + static_cast<ptrdiff_t>(col), nullptr);
        if (cells.size() > static_cast<size_t>(kMaxColSpan)) tooMany();
      }
    }
  }
  columns_ = static_cast<int>(longest());
  for (auto& row : Rows) row->Cells.resize(static_cast<size_t>(columns_));
}

void ThtmlTable::ColumnMinMax(std::vector<int>& mins, std::vector<int>& maxs, std::vector<int>& shares, int tableWidth) {
  const size_t n = static_cast<size_t>(columns_);
  mins.assign(n, 0);
  maxs.assign(n, 0);
  shares.assign(n, 0);
  const bool percents = Width > 0 || !PixelWidthCells;
  const int extra = 2 * CellPadding + CellSpacing;
  ForEachCell([&](TCellObj& c) {
    c.Cell.MinMaxWidth(c.Min, c.Max);
    c.Min += extra, c.Max += extra;
    if (c.Width > 0 && !c.WidthPercent) {
      c.Min = std::max(c.Min, c.Width + extra);
      c.Max = c.Min;
    }
    c.Max = std::max(c.Max, c.Min);
  });
  auto spread = [](std::vector<int>& v, size_t from, int span, int want) {
    int64_t sum = 0;
    for (int k = 0; k < span; ++k) sum += v[from + static_cast<size_t>(k)];
    if (sum >= want) return;
    const int64_t diff = want - sum;
    if (sum == 0) {
      v[from] += static_cast<int>(diff);
      return;
    }
    int64_t given = 0;
    for (int k = 0; k < span; ++k) {
      const int64_t g = v[from + static_cast<size_t>(k)] * diff / sum;
      v[from + static_cast<size_t>(k)] += static_cast<int>(g);
      given += g;
    }
    v[from + static_cast<size_t>(span - 1)] += static_cast<int>(diff - given);
  };
  // Cells in passes of equal column span, narrow ones first.
  std::vector<std::pair<TCellObj*, size_t>> order;
  for (const auto& row : Rows)
    for (size_t col = 0; col < row->Cells.size(); ++col)
      if (row->Cells[col]) order.emplace_back(row->Cells[col].get(), col);
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first->ColSpan < b.first->ColSpan; });
  for (auto [c, col] : order) {
    const int s = std::min<int>(c->ColSpan, columns_ - static_cast<int>(col));
    int share = 0;
    if (percents && c->Width > 0) {
      share = c->WidthPercent ? c->Width : tableWidth > 0 ? static_cast<int>(std::min<int64_t>(1000, int64_t{c->Width} * 1000 / tableWidth)) : 0;
    }
    if (s == 1) {
      mins[col] = std::max(mins[col], c->Min);
      maxs[col] = std::max(maxs[col], c->Max);
      shares[col] = std::max(shares[col], share);
    } else {
      spread(mins, col, s, c->Min);
      spread(maxs, col, s, c->Max);
      int have = 0;
      for (int k = 0; k < s; ++k) have += shares[col + static_cast<size_t>(k)];
      if (share > have)
        for (int k = 0; k < s; ++k) shares[col + static_cast<size_t>(k)] += (share - have) / s;
    }
  }
  for (size_t i = 0; i < n; ++i) maxs[i] = std::max(maxs[i], mins[i]);
}

void ThtmlTable::MinMaxWidth(int& min, int& max) {
  if (minMaxGeneration_ == Doc->Generation) {
    min = cachedMin_, max = cachedMax_;
    return;
  }
  Initialize();
  std::vector<int> mins, maxs, shares;
  ColumnMinMax(mins, maxs, shares, WidthPercent ? 0 : Width);
  int64_t lo = std::accumulate(mins.begin(), mins.end(), int64_t{0}) + CellSpacing;
  int64_t hi = std::accumulate(maxs.begin(), maxs.end(), int64_t{0}) + CellSpacing;
  if (Width > 0 && !WidthPercent) lo = std::max<int64_t>(lo, Width), hi = std::max<int64_t>(hi, Width);
  if (Caption) {
    int cmin = 0, cmax = 0;
    Caption->Cell.MinMaxWidth(cmin, cmax);
    lo = std::max<int64_t>(lo, cmin), hi = std::max<int64_t>(hi, cmax);
  }
  cachedMin_ = min = static_cast<int>(std::min<int64_t>(lo, 1000000));
  cachedMax_ = max = static_cast<int>(std::min<int64_t>(std::max(hi, lo), 1000000));
  minMaxGeneration_ = Doc->Generation;
}

int ThtmlTable::DrawLogic(IndentManager& im, int y, int& maxWidth) {
  Initialize();
  Y = y;
  im.SetLevel(ListLevel, y);
  const int left = im.LeftIndent(y), right = im.RightIndent(y), avail = std::max(0, right - left);
  const int spacing = CellSpacing, pad = CellPadding;
  int wanted = 0;
  if (Width > 0) wanted = std::max(20, WidthPercent ? MulDiv(Width, avail, 1000) : Width);
  std::vector<int> mins, maxs, shares;
  ColumnMinMax(mins, maxs, shares, wanted);
  std::vector<ColumnLimits> limits(static_cast<size_t>(columns_));
  for (size_t i = 0; i < limits.size(); ++i) limits[i] = {mins[i], maxs[i], (Width > 0 || !PixelWidthCells) ? shares[i] : 0};
  int columnsWidth = Width > 0 ? std::max(0, wanted - spacing) : NaturalColumnsWidth(limits, std::max(0, avail - spacing));
  bool fixed = Width > 0;
  if (Caption && !fixed) {
    // A caption wider than the columns widens the table, as far as the column allows.
    int cmin = 0, cmax = 0;
    Caption->Cell.MinMaxWidth(cmin, cmax);
    const int captionWidth = std::min(cmax, std::max(avail, cmin)) - spacing;
    if (captionWidth > columnsWidth) columnsWidth = captionWidth, fixed = true;
  }
  ColumnWidths = SolveColumnWidths(limits, columnsWidth, fixed);
  TableWidth = static_cast<int>(std::min<int64_t>(spacing + std::accumulate(ColumnWidths.begin(), ColumnWidths.end(), int64_t{0}), 1000000));
  X = Align == 2 ? std::max(left, left + (avail - TableWidth) / 2) : Align == 3 ? right - TableWidth : left;
  std::vector<int> colX(ColumnWidths.size() + 1, X);
  for (size_t i = 0; i < ColumnWidths.size(); ++i) colX[i + 1] = colX[i] + ColumnWidths[i];
  int cur = y;
  int capMax = 0, capDraw = 0;
  if (Caption && !CaptionBelow) {
    Caption->Cell.DrawLogic(X, cur, TableWidth, capMax, capDraw);
    cur = std::max(capDraw, cur);
  }
  RowsTop = cur;
  // Every cell is laid out once, at its width and from 0; it is shifted into place below.
  const int extra = 2 * pad + spacing;
  for (auto& row : Rows)
    for (size_t col = 0; col < row->Cells.size(); ++col) {
      TCellObj* c = row->Cells[col].get();
      if (!c) continue;
      const size_t end = std::min(col + static_cast<size_t>(c->ColSpan), ColumnWidths.size());
      c->X = colX[col];
      c->CellWidth = colX[end] - colX[col];
      int mw = 0, dh = 0;
      const int h = c->Cell.DrawLogic(c->X + spacing + pad, 0, std::max(0, c->CellWidth - extra), mw, dh);
      c->ContentHeight = std::max(h, dh);
      c->CellHeight = std::max(c->ContentHeight, c->Height - 2 * pad) + extra;
    }
  // Row heights: single-row cells first, then each span pass adds what taller cells need.
  RowHeights.assign(Rows.size(), extra);
  std::vector<std::pair<TCellObj*, size_t>> spanned;
  for (size_t r = 0; r < Rows.size(); ++r)
    for (const auto& c : Rows[r]->Cells)
      if (c) {
        if (c->RowSpan == 1) RowHeights[r] = std::max(RowHeights[r], c->CellHeight);
        else spanned.emplace_back(c.get(), r);
      }
  std::stable_sort(spanned.begin(), spanned.end(), [](const auto& a, const auto& b) { return a.first->RowSpan < b.first->RowSpan; });
  for (auto [c, r] : spanned) {
    const size_t span = static_cast<size_t>(c->RowSpan);
    if (r + span > Rows.size()) continue;
    int64_t s = 0;
    for (size_t k = 0; k < span; ++k) s += RowHeights[r + k];
    if (c->CellHeight <= s) continue;
    const int64_t grow = c->CellHeight - s;
    for (size_t k = 0; k < span; ++k) RowHeights[r + k] += static_cast<int>(grow / static_cast<int64_t>(span));
    RowHeights[r + span - 1] += static_cast<int>(grow % static_cast<int64_t>(span));
  }
  if (Height > 0) {
    int want = Height;
    if (HeightPercent) want = Doc->ClientHeight > 0 ? MulDiv(Height, Doc->ClientHeight - 2 * Doc->ClientMarginHeight - spacing - 3, 1000) : 0;
    StretchRows(RowHeights, want);
  }
  std::vector<int> rowY(Rows.size() + 1, RowsTop);
  for (size_t r = 0; r < Rows.size(); ++r) rowY[r + 1] = rowY[r] + RowHeights[r];
  for (size_t r = 0; r < Rows.size(); ++r)
    for (const auto& c : Rows[r]->Cells) {
      if (!c) continue;
      const size_t last = std::min(r + static_cast<size_t>(c->RowSpan), Rows.size());
      c->Y = rowY[r];
      c->SpannedHeight = rowY[last] - rowY[r];
      const int free = c->SpannedHeight - c->ContentHeight - extra;
      const int offset = c->VAlign == 2 ? free / 2 : c->VAlign == 3 ? free : 0;
      c->Cell.ShiftY(c->Y + spacing + pad + offset);
    }
  TableHeight = rowY.back() - RowsTop + spacing;
  cur = RowsTop + TableHeight;
  if (Caption && CaptionBelow) {
    Caption->Cell.DrawLogic(X, cur, TableWidth, capMax, capDraw);
    cur = std::max(capDraw, cur);
  }
  const int total = cur - y;
  maxWidth = std::max(maxWidth, TableWidth + (X - im.LeftEdge));
  DrawHeight = total;
  if (Align == 1 || Align == 3) {
    // Text flows beside a floating table.
    // The table already stands at the float's place: the left indent, or the right one less
    // its width.
    if (Align == 1) im.AddLeftFloat(y, TableWidth + HSpace, total + VSpace);
    else im.AddRightFloat(y, TableWidth + HSpace, total + VSpace);
    SectionHeight = 0;
    return 0;
  }
  SectionHeight = total;
  return total;
}

void ThtmlTable::ShiftY(int dy) {
  Y += dy;
  RowsTop += dy;
  if (Caption) Caption->Cell.ShiftY(dy);
  ForEachCell([dy](TCellObj& c) {
    c.Y += dy;
    c.Cell.ShiftY(dy);
  });
}

int ThtmlTable::NumberCursors(int curs) {
  StartCurs = curs;
  if (Caption) curs = Caption->Cell.NumberCursors(curs);
  ForEachCell([&curs](TCellObj& c) { curs = c.Cell.NumberCursors(curs); });
  Len = curs - StartCurs;
  return curs;
}

void ThtmlTable::Draw(vx::Canvas& canvas, const vx::TRect& clip, int dx, int dy) const {
  const TColor light = Doc->WhiteBackground() ? vx::clSilver : vx::clBtnHighlight;
  const TColor shadow = vx::clBtnShadow;
  auto clamp = [](vx::TRect r) {
    r.Top = std::clamp(r.Top, -200, 3000);
    r.Bottom = std::clamp(r.Bottom, -200, 3000);
    return r;
  };
  if (Caption) Caption->Cell.Draw(canvas, clip, dx, dy);
  std::vector<vx::TRect> cellRects;
  for (const auto& row : Rows)
    for (const auto& c : row->Cells) {
      if (!c) continue;
      const vx::TRect r = clamp({c->X + CellSpacing + dx, c->Y + CellSpacing + dy, c->X + c->CellWidth + dx, c->Y + c->SpannedHeight + dy});
      cellRects.push_back(r);
      if (r.IsEmpty() || r.Intersect(clip).IsEmpty()) continue;
      if (c->HasBgColor) canvas.FillRect(r, c->BgColor);
      canvas.PushClip(r);
      c->Cell.Draw(canvas, r.Intersect(clip), dx, dy);
      canvas.PopClip();
      if (Border) canvas.Frame3D(r, shadow, light);
    }
  const vx::TRect table = clamp({X + dx, RowsTop + dy, X + TableWidth + dx, RowsTop + TableHeight + dy});
  if (HasBorderColor) {
    // The border colour fills what no cell covers, scan line by scan line.
    const vx::TRect area = table.Intersect(clip);
    for (int yy = area.Top; yy < area.Bottom; ++yy) {
      std::vector<std::pair<int, int>> spans;
      for (const vx::TRect& r : cellRects) {
        const int grow = Border ? 1 : 0;
        if (yy >= r.Top - grow && yy < r.Bottom + grow) spans.emplace_back(r.Left - grow, r.Right + grow);
      }
      std::sort(spans.begin(), spans.end());
      int x = area.Left;
      for (auto [a, b] : spans) {
        if (a > x) canvas.FillRect({x, yy, std::min(a, area.Right), yy + 1}, BorderColor);
        x = std::max(x, b);
      }
      if (x < area.Right) canvas.FillRect({x, yy, area.Right, yy + 1}, BorderColor);
    }
  }
  if (Border) canvas.Frame3D(table, light, shadow);
}

bool ThtmlTable::HitTest(int x, int y, THit& hit) const {
  if (Caption && Caption->Cell.HitTest(x, y, hit)) return true;
  bool found = false;
  ForEachCell([&](TCellObj& c) {
    if (!found && x >= c.X && x < c.X + c.CellWidth && y >= c.Y && y < c.Y + c.SpannedHeight) found = c.Cell.HitTest(x, y, hit);
  });
  return found;
}

int ThtmlTable::FindCursor(int x, int y) const {
  int index = Caption ? Caption->Cell.FindCursor(x, y) : -1;
  ForEachCell([&](TCellObj& c) {
    if (index < 0 && x >= c.X && x < c.X + c.CellWidth && y >= c.Y && y < c.Y + c.SpannedHeight) index = c.Cell.FindCursor(x, y);
  });
  return index;
}

bool ThtmlTable::CursorToXY(int index, int& x, int& y) const {
  if (index < StartCurs || index >= StartCurs + Len) return false;
  bool found = Caption && Caption->Cell.CursorToXY(index, x, y);
  ForEachCell([&](TCellObj& c) { found = found || c.Cell.CursorToXY(index, x, y); });
  return found;
}

int ThtmlTable::FindString(int from, std::string_view upperText, bool matchCase) const {
  int found = Caption ? Caption->Cell.FindString(from, upperText, matchCase) : -1;
  ForEachCell([&](TCellObj& c) {
    if (found < 0) found = c.Cell.FindString(from, upperText, matchCase);
  });
  return found;
}

int ThtmlTable::FindSourcePos(int index) const {
  int p = Caption ? Caption->Cell.FindSourcePos(index) : -1;
  ForEachCell([&](TCellObj& c) {
    if (p < 0) p = c.Cell.FindSourcePos(index);
  });
  return p;
}

int ThtmlTable::FindDocPos(int sourcePos, bool prev) const {
  int best = Caption ? Caption->Cell.FindDocPos(sourcePos, prev) : -1;
  ForEachCell([&](TCellObj& c) {
    const int i = c.Cell.FindDocPos(sourcePos, prev);
    if (i >= 0 && (prev || best < 0)) best = prev ? std::max(best, i) : best;
    if (i >= 0 && !prev && best < 0) best = i;
  });
  return best;
}

bool ThtmlTable::GetChAtPos(int index, char& ch, const void*& obj) const {
  bool found = Caption && Caption->Cell.GetChAtPos(index, ch, obj);
  ForEachCell([&](TCellObj& c) { found = found || c.Cell.GetChAtPos(index, ch, obj); });
  return found;
}

void ThtmlTable::CopyText(std::string& out, int selStart, int selEnd) const {
  if (Caption) Caption->Cell.CopyText(out, selStart, selEnd);
  ForEachCell([&](TCellObj& c) { c.Cell.CopyText(out, selStart, selEnd); });
}
