// Layout of the document: line breaking with fixed metrics, spacing, rules, floats, the
// table width solver's properties, nested tables' cost, and pictures of pages in real fonts.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <random>
#include <sstream>
#include <stdexcept>

#include "html/HtmlForms.h"
#include "html/HtmlIndent.h"
#include "html/HtmlParser.h"
#include "html/HtmlTableWidths.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "unit/html/FixedFonts.h"

namespace {

// Every character 8 wide; text height 16 (ascent 12, descent 4).
vxtest::FixedFontProvider gFixed(8, 12, 4, 2);

struct Laid {
  TSectionList doc;
  int height = 0;
};

std::unique_ptr<Laid> Layout(const std::string& html, int width, int fontSize = 12) {
  auto l = std::make_unique<Laid>();
  l->doc.Fonts = &gFixed;
  l->doc.FontSize = fontSize;
  ThvParser p;
  p.HtmlParseString(html, l->doc);
  l->height = l->doc.DoLogic(0, width);
  return l;
}

// The lines of the first section with text: "indent:text" (# a picture, | a line end).
std::vector<std::string> Lines(const TSectionList& doc) {
  std::vector<std::string> out;
  for (const auto& s : doc.Sections) {
    const auto* t = SectionCast<TSection>(s.get());
    if (!t || t->Text.empty()) continue;
    for (const TSection::LineRec& l : t->Lines) {
      std::string text = t->Text.substr(static_cast<size_t>(l.Start), static_cast<size_t>(l.Ln));
      for (char& c : text) c = c == TSection::kImageChar ? '#' : c == '\r' ? '|' : c == '\xA0' ? '~' : c;
      out.push_back(std::to_string(l.LineIndent) + ":" + text);
    }
    break;
  }
  return out;
}

TEST(HtmlLayout, LinesBreakAtSpacesAndObjectsAndOverflowOnlyWhenTheyMust) {
  struct Case {
    const char* html;
    int width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      // the character at the fitting limit is a space: trailing spaces stay on the line
      {"aaa bbb ccc", 60, {"0:aaa bbb ", "0:ccc"}},
      // cut back to the last space inside the fitting part
      {"aaa bbb ccc", 70, {"0:aaa bbb ", "0:ccc"}},
      {"aaa bbb ccc", 88, {"0:aaa bbb ccc"}},
      // a word wider than the column overflows, with the spaces after it
      {"aaaaaaaaaaaa bb", 40, {"0:aaaaaaaaaaaa ", "0:bb"}},
      // a non-breaking space is never a break point
      {"aa&nbsp;bbbb cc", 40, {"0:aa~bbbb ", "0:cc"}},
      // a picture ends the line before it, and is a break point itself
      {"aaa<img width=30 height=10>bbb", 50, {"0:aaa", "0:#", "0:bbb"}},
      // alignment: right ends one pixel before the right indent
      {"<p align=right>ab", 100, {"83:ab"}},
      {"<p align=center>ab", 100, {"42:ab"}},
      // preformatted text breaks only at its line ends
      {"<pre>aa bb\ncc dd ee</pre>", 20, {"0:aa bb|", "0:cc dd ee"}},
      // a float at the start narrows the lines beside it
      {"<img align=left width=20 height=20>aaaa bbbb cc", 60, {"20:#aaaa ", "20:bbbb ", "0:cc"}},
      {"<img align=right hspace=5 width=10 height=40>aaaa bbbb", 60, {"0:#aaaa ", "0:bbbb"}},
      // list indents: 35 per level
      {"<ul><li>a<ul><li>b</ul></ul>", 200, {"35:a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(Layout(c.html, c.width)->doc), c.lines) << c.html << " at " << c.width;
}

TEST(HtmlLayout, ListItemsReachBelowTheFloatsOfTheirLevel) {
  // "Y:text left" of every list item; the bullet stands 8 left of the text.
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"<ul><li><img align=left width=50 height=100>a<li>b</ul>", {"0:35", "100:35"}},
      {"<ol><li>a<img align=right width=20 height=50><li>b</ol>", {"0:35", "50:35"}},
      {"<ul><li>a<ul><li><img align=left width=30 height=80>b</ul><li>c</ul>", {"0:35", "16:70", "96:35"}},
      // a float of the page leaves the items beside it
      {"<img align=left width=50 height=100><ul><li>a<li>b</ul>", {"16:85", "32:85"}},
  };
  for (const auto& [html, want] : cases) {
    auto l = Layout(html, 300);
    std::vector<std::string> got;
    for (const auto& s : l->doc.Sections)
      if (auto* t = SectionCast<TSection>(s.get()); t && t->GetKind() != TSectionBase::Kind::Text)
        got.push_back(std::to_string(t->Y) + ":" + std::to_string(t->TextLeft));
    EXPECT_EQ(got, want) << html;
  }
}

TEST(HtmlLayout, ListLabels) {
  const std::tuple<int, char, const char*> cases[] = {{1, '1', "1"},  {4, 'i', "iv"},  {20, 'I', "XX"}, {21, 'i', "21"},
                                                      {0, 'I', "0"},  {3, 'a', "c"},   {28, 'A', "AB"}, {7, 'x', "7"}};
  for (auto [n, style, label] : cases) EXPECT_EQ(TSection::ListLabel(n, style), label) << n << style;
}

TEST(HtmlLayout, SpacingRulesClearAndWideWords) {
  auto big = Layout("<p>x<h1>y</h1>", 400, 24);
  ASSERT_EQ(big->doc.Sections[1]->GetKind(), TSectionBase::Kind::ParagraphSpace);
  EXPECT_EQ(big->doc.Sections[1]->SectionHeight, 28);
  ASSERT_EQ(big->doc.Sections[3]->GetKind(), TSectionBase::Kind::HeadingSpace);
  EXPECT_EQ(big->doc.Sections[3]->SectionHeight, 32);
  // Changing the default size rescales every font; changing the names renames every font.
  auto fonts = Layout("a<font size=5 face=Arial>b</font><pre>c</pre>", 400);
  fonts->doc.FontSize = 24;
  fonts->doc.FontName = "Verdana";
  fonts->doc.ApplyDefaultFonts();
  fonts->doc.DoLogic(0, 400);
  EXPECT_EQ(fonts->doc.Dump(), "text:{24}a{36}b\npre:{fixed 20}c\n");
  auto rule = Layout("<hr width=50%><hr size=7>", 400);
  const auto* hr = dynamic_cast<const THorzLine*>(rule->doc.Sections[1].get());
  ASSERT_TRUE(hr);
  EXPECT_EQ(hr->DrawWidth, 200);
  EXPECT_EQ(hr->DrawX, 100);
  EXPECT_EQ(hr->SectionHeight, 20);
  EXPECT_EQ(rule->doc.Sections[2]->SectionHeight, 25);
  // CLEAR pushes the text below the float; without it the text flows beside.
  auto clear = Layout("<img align=left width=20 height=40>a<br clear=left>b", 200);
  auto flow = Layout("<img align=left width=20 height=40>a<br>b", 200);
  auto firstLineY = [](const Laid& l) { return dynamic_cast<const TSection&>(*l.doc.Sections.back()).Lines.at(0).Y; };
  EXPECT_EQ(firstLineY(*clear), 40);
  EXPECT_EQ(firstLineY(*flow), 16);
  // A wide word widens the scroll range.
  auto wide = Layout("a wordthatisverywide b", 50);
  EXPECT_EQ(wide->doc.ScrollWidth, 8 * 18);
  // Hit tests and text queries agree with the layout.
  auto link = Layout("ab <a href=x.html>cd</a> ef", 200);
  THit hit;
  EXPECT_TRUE(link->doc.HitTest(8 * 3 + 1, 5, hit));
  ASSERT_TRUE(hit.Url);
  EXPECT_EQ(hit.Url->Url, "x.html");
  EXPECT_FALSE(link->doc.HitTest(1, 5, hit = THit()));
  EXPECT_EQ(link->doc.FindCursor(8 * 4 + 3, 3), 4);
  int x = 0, y = 0;
  EXPECT_TRUE(link->doc.CursorToXY(7, x, y));
  EXPECT_EQ(x, 56);
  EXPECT_EQ(link->doc.FindString(0, "EF", false), 6);
  EXPECT_EQ(link->doc.FindString(0, "EF", true), -1);
  EXPECT_EQ(link->doc.FindSourcePos(3), 18);
  std::string copied;
  link->doc.CopyText(copied, 3, 5);
  EXPECT_EQ(copied, "cd\r\n");
  // Anchors and scroll positions.
  auto anchors = Layout("<p>one<p><a name=two>two</a> x<p>three<a name=end></a>", 40);
  EXPECT_EQ(anchors->doc.AnchorY("two"), anchors->doc.Sections[4]->Y);
  EXPECT_EQ(anchors->doc.AnchorY("end"), anchors->doc.Sections[6]->Y);
  EXPECT_EQ(anchors->doc.AnchorY("none"), -1);
  int top = -1;
  const int index = anchors->doc.SectionAtY(anchors->doc.Sections[4]->Y + 3, top);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(anchors->doc.SectionTop(index), top);
}

TEST(HtmlLayout, LinksThroughImageMapsServerMapsVisitedMarksAndAnimation) {
  auto l = std::make_unique<Laid>();
  l->doc.Fonts = &gFixed;
  int frames = 0;
  l->doc.GetPicture = [&frames](const std::string& src) -> std::shared_ptr<const ThtmlPicture> {
    if (src != "anim") return nullptr;
    auto p = std::make_shared<ThtmlPicture>();
    p->Width = p->Height = 2;
    p->Pixels.assign(4, 0xFF00FF00u);
    p->Animate = [&frames](uint32_t) { return ++frames % 2 == 1; };
    return p;
  };
  ThvParser p;
  p.HtmlParseString("<map name=m><area coords=\"0,0,10,10\" href=a.html><area coords=0,0,30,30 nohref></map>"
                    "<img src=p usemap=#M width=40 height=40><a href=s.cgi><img src=q ismap width=20 height=20></a>"
                    "<img src=anim>", l->doc);
  l->doc.DoLogic(0, 400);
  TUrlTarget link;
  TFormControlObj* control = nullptr;
  EXPECT_TRUE(l->doc.GetURL(5, 5, link, control));
  EXPECT_EQ(link.Url, "a.html");
  EXPECT_FALSE(l->doc.GetURL(15, 15, link, control)) << "an area without a link hides those behind it";
  EXPECT_FALSE(l->doc.GetURL(35, 35, link, control));
  EXPECT_TRUE(l->doc.GetURL(45, 25, link, control));
  EXPECT_EQ(link.Url, "s.cgi?5,5");
  l->doc.MarkVisited([](const std::string& url) { return url == "s.cgi"; });
  const auto& fonts = dynamic_cast<const TSection&>(*l->doc.Sections[0]).Fonts;
  EXPECT_TRUE(std::any_of(fonts.begin(), fonts.end(), [](const TFontObj& f) { return f.Url && f.Visited; }));
  EXPECT_TRUE(l->doc.HasAnimations());
  EXPECT_TRUE(l->doc.AnimationTick(50));
  EXPECT_FALSE(l->doc.AnimationTick(100));
}

TEST(HtmlTables, WidthSolverKeepsMinimumsAndFillsTheTable) {
  std::mt19937 rng(1234);
  auto rnd = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 3000; ++round) {
    std::vector<html::ColumnLimits> cols(static_cast<size_t>(rnd(1, 10)));
    bool shares = false;
    int64_t totalMin = 0, totalMax = 0;
    for (auto& c : cols) {
      c.Min = rnd(0, 200);
      c.Max = c.Min + rnd(0, 300);
      c.Share = rnd(0, 3) == 0 ? rnd(1, 600) : 0;
      shares |= c.Share > 0;
      totalMin += c.Min, totalMax += c.Max;
    }
    const int width = rnd(0, 3000);
    const bool fixed = rnd(0, 1) == 1;
    const std::vector<int> w = html::SolveColumnWidths(cols, width, fixed);
    ASSERT_EQ(w.size(), cols.size());
    for (size_t i = 0; i < w.size(); ++i) ASSERT_GE(w[i], cols[i].Min) << round;
    const int64_t sum = std::accumulate(w.begin(), w.end(), int64_t{0});
    if (totalMin <= width && (fixed || shares || width <= totalMax)) {
      ASSERT_EQ(sum, width) << round;
    }
    if (totalMin > width) {
      ASSERT_EQ(sum, totalMin) << round;
    }
    const int natural = html::NaturalColumnsWidth(cols, width);
    ASSERT_GE(natural, std::min<int64_t>(totalMin, INT32_MAX));
    ASSERT_LE(natural, std::max<int64_t>(width, totalMin));
    // Row heights grow to the wanted height exactly and never shrink.
    std::vector<int> rows(static_cast<size_t>(rnd(0, 6)));
    for (int& r : rows) r = rnd(0, 100);
    const std::vector<int> before = rows;
    const int wanted = rnd(0, 700);
    html::StretchRows(rows, wanted);
    const int64_t rowSum = std::accumulate(rows.begin(), rows.end(), int64_t{0});
    if (!rows.empty()) {
      ASSERT_EQ(rowSum, std::max<int64_t>(wanted, std::accumulate(before.begin(), before.end(), int64_t{0})));
    }
    for (size_t i = 0; i < rows.size(); ++i) ASSERT_GE(rows[i], before[i]);
  }
}

const ThtmlTable& TableOf(const Laid& l) {
  for (const auto& s : l.doc.Sections)
    if (const auto* t = dynamic_cast<const ThtmlTable*>(s.get())) return *t;
  throw std::runtime_error("no table");
}

int FirstLineY(const TCellObj& c) { return dynamic_cast<const TSection&>(*c.Cell.Sections.at(0)).Lines.at(0).Y; }

TEST(HtmlTables, ColumnsRowsVAlignFloatsAndLimits) {
  // Natural widths: content + 2 x padding + spacing per column, spacing once more for the table.
  auto plain = Layout("<table cellspacing=2 cellpadding=1><tr><td>aa<td>b</table>", 400);
  EXPECT_EQ(TableOf(*plain).ColumnWidths, (std::vector<int>{20, 12}));
  EXPECT_EQ(TableOf(*plain).TableWidth, 34);
  EXPECT_EQ(TableOf(*plain).TableHeight, 22);
  // Pixel widths that do not fit keep their minimums and widen the table.
  auto wide = Layout("<table width=300 cellspacing=0 cellpadding=0><tr><td width=200>a<td width=200>b</table>", 600);
  EXPECT_EQ(TableOf(*wide).ColumnWidths, (std::vector<int>{201, 201}));
  // A control never breaks, so it widens its column: a table too narrow for it grows.
  auto form = Layout("<form><select><option>Poker</select><table width=200 cellspacing=2 cellpadding=1><tr><td>Name<td>"
                     "<input name=n><tr><td>Go<td><input type=submit value=\"A caption longer than the table\"></table>", 600);
  const ThtmlTable& ft = TableOf(*form);
  const TFormControlObj& button = *form->doc.Forms.at(0)->Controls.back();
  EXPECT_EQ(ft.ColumnWidths[1], button.Width + 2 * 1 + 2);
  EXPECT_EQ(ft.TableWidth, ft.ColumnWidths[0] + ft.ColumnWidths[1] + 2);
  EXPECT_LE(button.X + button.Width, ft.X + ft.TableWidth);
  // VALIGN: bottom takes all the free height, middle half of it, top none.
  auto va = Layout("<table cellspacing=0 cellpadding=0><tr><td>a<br>b<br>c<td valign=bottom>x<td>y<td valign=top>z</table>", 400);
  const auto& row = *TableOf(*va).Rows[0];
  EXPECT_EQ(TableOf(*va).RowHeights[0], 49);
  EXPECT_EQ(FirstLineY(*row.Cells[1]), 1 + 32);
  EXPECT_EQ(FirstLineY(*row.Cells[2]), 1 + 16);
  EXPECT_EQ(FirstLineY(*row.Cells[3]), 1);
  // A percentage HEIGHT is a share of the viewer's client height less its margins (5 each).
  auto tall = std::make_unique<Laid>();
  tall->doc.Fonts = &gFixed;
  tall->doc.ClientHeight = 400;
  ThvParser().HtmlParseString("<table height=50%><tr><td>a<tr><td>b</table>", tall->doc);
  tall->doc.DoLogic(0, 300);
  const auto& heights = TableOf(*tall).RowHeights;
  EXPECT_EQ(heights[0] + heights[1], 193);
  // A floating table lets the text flow beside it, HSPACE away.
  auto flt = Layout("<table align=left hspace=3 cellspacing=0 cellpadding=0><tr><td>aa</table>ab cd", 200);
  EXPECT_EQ(Lines(flt->doc), (std::vector<std::string>{"21:ab cd"}));
  // More than 200 columns stop the layout.
  std::string many = "<table><tr>";
  for (int i = 0; i < 201; ++i) many += "<td>x";
  try {
    Layout(many, 400);
    ADD_FAILURE() << "201 columns were laid out";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Table has too many Columns");
  }
  // Text queries and copying go through the cells in order.
  auto q = Layout("x<table><tr><td>ab<td>cd</table>y", 400);
  EXPECT_EQ(q.get()->doc.FindString(0, "cd", false), 3);
  std::string all;
  q->doc.CopyText(all, 0, q->doc.TotalChars);
  EXPECT_EQ(all, "x\r\nab\r\ncd\r\ny\r\n");
  EXPECT_EQ(q->doc.FindDocPos(q->doc.FindSourcePos(3), false), 3);
}

TEST(HtmlPainting, SelectionLinkStatesSubSupAndTableColours) {
  auto l = Layout("<a href=h>ab</a>cd<sub>e</sub><sup>f</sup>", 400);
  TSectionList& doc = l->doc;
  doc.Background = 0x00FF00;
  doc.FontColor = 0xFFFFFF;
  doc.SelStart = 2;
  doc.SelEnd = 3;
  std::vector<uint32_t> px(100 * 40);
  vx::Canvas canvas(px.data(), 100, 40, 100);
  auto paint = [&] {
    canvas.FillRect({0, 0, 100, 40}, doc.Background);
    doc.DrawDocument(canvas, {0, 0, 100, 40}, 0, -20);
  };
  auto inkTop = [&](int x) {
    for (int y = 0; y < 40; ++y)
      if (canvas.GetPixel(x, y) != vx::ColorToPixel(doc.Background)) return y;
    return -1;
  };
  paint();
  // Text rows of the line start at 20; the baseline is at 32; glyph boxes start 2 below the top.
  EXPECT_EQ(canvas.GetPixel(1, 24), vx::ColorToPixel(doc.HotSpotColor));
  EXPECT_EQ(canvas.GetPixel(1, 33), vx::ColorToPixel(doc.HotSpotColor)) << "underlined";
  EXPECT_EQ(canvas.GetPixel(16, 20), vx::ColorToPixel(vx::clBtnText)) << "selection background in the run's colour";
  EXPECT_EQ(canvas.GetPixel(17, 24), vx::ColorToPixel(0x00FF00)) << "selected glyph in the page colour";
  EXPECT_EQ(inkTop(25), 22);
  EXPECT_EQ(inkTop(33), 22 + 3) << "subscript: descent / 2 + 1 lower";
  EXPECT_EQ(inkTop(41), 22 - 6) << "superscript: (height + leading) / 3 higher";
  const auto& run = dynamic_cast<const TSection&>(*doc.Sections[0]).Fonts[0];
  doc.OverLinksActive = true;
  doc.OverUrl = run.Url.get();
  paint();
  EXPECT_EQ(canvas.GetPixel(1, 24), vx::ColorToPixel(doc.OverColor));
  doc.OverUrl = nullptr;
  doc.MarkVisited([](const std::string&) { return true; });
  paint();
  EXPECT_EQ(canvas.GetPixel(1, 24), vx::ColorToPixel(doc.VisitedColor));
  doc.OverUrl = run.Url.get();
  doc.Clear();
  EXPECT_TRUE(doc.Sections.empty());
  EXPECT_EQ(doc.OverUrl, nullptr);
  EXPECT_EQ(doc.SelStart, -1);
  // Cell background inside, border colour in the gaps, frames on a white page in silver.
  auto t = Layout("<table border bordercolor=red bgcolor=blue cellspacing=4 cellpadding=0><tr><td>a</table>", 200);
  t->doc.Background = vx::clWhite;
  std::vector<uint32_t> tp(60 * 40, 0);
  vx::Canvas tc(tp.data(), 60, 40, 60);
  t->doc.DrawDocument(tc, {0, 0, 60, 40}, 0, 0);
  const ThtmlTable& table = TableOf(*t);
  EXPECT_EQ(tc.GetPixel(table.X + 2, table.RowsTop + 2), vx::ColorToPixel(0x0000FF));
  EXPECT_EQ(tc.GetPixel(table.X + 6, table.RowsTop + 5), vx::ColorToPixel(0xFF0000));
  EXPECT_EQ(tc.GetPixel(table.X, table.RowsTop + 10), vx::ColorToPixel(vx::clSilver));
  EXPECT_EQ(tc.GetPixel(table.X + 4, table.RowsTop + 10), vx::ColorToPixel(vx::clBtnShadow));
}

TEST(HtmlPainting, BulletsTakeTheColourOfTheirListLevel) {
  // A list's items stand at level 1 (so does an item outside any list), its nested lists' at 2, 3 ...
  auto l = Layout("<ul><li>a<ul><li>b<ul><li>c<ul><li>d<ul><li>e<ul><li>f</ul></ul></ul></ul></ul></ul><li>g", 400);
  auto centres = [&l](TColor background) {
    std::vector<uint32_t> px(400 * 200, vx::ColorToPixel(l->doc.Background = background)), got;
    vx::Canvas canvas(px.data(), 400, 200, 400);
    l->doc.DrawDocument(canvas, {0, 0, 400, 200}, 0, 0);
    for (const auto& s : l->doc.Sections)
      if (auto* t = SectionCast<TSection>(s.get()); t && t->GetKind() == TSectionBase::Kind::UListItem)
        got.push_back(canvas.GetPixel(t->TextLeft - 8, t->Lines.at(0).Y + t->Lines.at(0).Height() / 2));
    return got;
  };
  const uint32_t navy = vx::ColorToPixel(vx::clNavy), maroon = vx::ColorToPixel(vx::clMaroon), red = vx::ColorToPixel(vx::clRed);
  EXPECT_EQ(centres(vx::clWhite), (std::vector<uint32_t>{navy, maroon, red, navy, maroon, vx::ColorToPixel(vx::clWhite), navy}))
      << "level 6 has no colour: a hollow circle";
  EXPECT_EQ(centres(0x102030), std::vector<uint32_t>(7, vx::ColorToPixel(0x102030))) << "a dark page: hollow circles";
}

TEST(HtmlTables, GridHeightAndNestingCost) {
  // ROWSPAN is cut to the rows left; spanned places stay empty; HEIGHT is met exactly.
  auto t = Layout("<table height=200 cellspacing=0><tr><td rowspan=5>a<td>b<tr><td>c</table>", 400);
  const auto* table = dynamic_cast<const ThtmlTable*>(t->doc.Sections[1].get());
  ASSERT_TRUE(table);
  EXPECT_EQ(table->Rows[0]->Cells[0]->RowSpan, 2);
  EXPECT_EQ(table->Rows[1]->Cells[0], nullptr);
  EXPECT_EQ(table->Rows[1]->Cells[1]->Cell.Sections.size(), 1u);
  EXPECT_EQ(table->RowHeights[0] + table->RowHeights[1], 200);
  EXPECT_EQ(table->CellSpacing, 1);
  // Two columns of "ab cd" in a 100-pixel table: each gets its share, the text wraps.
  auto narrow = Layout("<table width=100><tr><td>aaaa bbbb cccc<td>x</table>", 400);
  const auto* nt = dynamic_cast<const ThtmlTable*>(narrow->doc.Sections[1].get());
  ASSERT_TRUE(nt);
  EXPECT_EQ(nt->TableWidth, 100);
  EXPECT_EQ(nt->ColumnWidths[0] + nt->ColumnWidths[1], 98);
  EXPECT_GE(nt->ColumnWidths[1], 8 + 4);
  // Nested tables cost the same for every level added.
  std::vector<int> calls;
  for (int depth = 1; depth <= 12; ++depth) {
    std::string html;
    for (int i = 0; i < depth; ++i) html += "<table border><tr><td>a b<td>";
    html += "x";
    for (int i = 0; i < depth; ++i) html += "</table>";
    auto l = Layout(html, 600);
    calls.push_back(l->doc.LayoutCalls);
  }
  for (size_t i = 3; i < calls.size(); ++i) EXPECT_EQ(calls[i] - calls[i - 1], calls[2] - calls[1]) << i;
  EXPECT_LE(calls.back(), 4 * 12 + 4);
}

// A page in the real fonts, painted as the help screen paints it.
vxtest::Shot Paint(const std::string& html, int width, int height, vx::TColor bg, vx::TColor text) {
  TSectionList doc;
  doc.Background = bg;
  doc.FontColor = text;
  ThvParser p;
  p.HtmlParseString(html, doc);
  doc.DoLogic(5, width - 20);
  vxtest::Shot shot;
  shot.Width = width;
  shot.Height = height;
  shot.Pixels.assign(static_cast<size_t>(width * height), 0);
  vx::Canvas canvas(shot.Pixels.data(), width, height, width);
  canvas.FillRect({0, 0, width, height}, doc.Background);
  doc.DrawDocument(canvas, {0, 0, width, height}, 10, 0);
  return shot;
}

TEST(HtmlLayout, PagesInTheRealFontsMatchTheirPictures) {
  const std::string rules =
      "<body bgcolor=\"#004000\" text=white link=yellow><h1 align=center>Jacks or Better</h1>"
      "<p>The <b>dealer</b> deals five cards; you may <i>hold</i> any of them &amp; then draw. A "
      "<a href=\"pay.html\">pay table</a> shows what each hand pays.<br>"
      "<ul><li>Royal flush<li>Straight flush<ol><li>one<li>two</ol><li>Four of a kind</ul><hr width=50%>"
      "<table border=1 cellpadding=3 width=\"80%\" align=center><tr><th>Hand<th>Pays</tr><tr><td>Full house</td>"
      "<td align=right>9</td></tr><tr><td bgcolor=navy>Flush with a long name that wraps</td>"
      "<td align=right valign=bottom>6</td></tr></table>"
      "<p align=right>H<sub>2</sub>O and x<sup>2</sup> <img src=missing.gif alt=\"No picture\" align=middle> end.";
  EXPECT_EQ(vxtest::CompareWithGolden("html/rules", Paint(rules, 500, 400, 0, 0)), "");
  const std::string light =
      "<body bgcolor=white><h2>Pay <font color=red face=Arial>table</font></h2><ul><li>Bullets<ul><li>in "
      "colours</ul></ul><pre>Royal   800\nFlush     6</pre><table border cellspacing=0 bordercolor=\"#8080ff\">"
      "<caption>Caption</caption><tr><td>a<td rowspan=2>b<tr><td><tt>c</tt></table>";
  EXPECT_EQ(vxtest::CompareWithGolden("html/light", Paint(light, 300, 260, 0, 0)), "");
  const std::string form =
      "<body bgcolor=white><ul><li><img src=missing.gif alt=Chip align=left width=60 height=70>Chips beside "
      "the first item<li>Second item<li>Third</ul><form>Name: <input name=n value=Ann> <input type=submit "
      "value=Send><br>Game: <select><option>Poker<option>Slots</select> <input type=checkbox checked> Sound "
      "<select multiple size=3><option>A<option selected>B<option>C<option>D</select> <textarea rows=2 cols=12>"
      "A line wider than the area</textarea></form>";
  EXPECT_EQ(vxtest::CompareWithGolden("html/form_float_list", Paint(form, 420, 220, 0, 0)), "");
}

TEST(HtmlLayout, HelpPagesPutNoParagraphSpaceUnderAHeading) {
  // A heading brings its own space below it; a P right after it would add an empty line. The
  // game data puts a list of the machines where the marker stands.
  for (const auto& e : std::filesystem::directory_iterator(std::string(VX_SOURCE_DIR) + "/data/help")) {
    std::string page = vxtest::TempDir::ReadFile(e.path().string());
    if (const size_t at = page.find("<!--VX:GAMES-->"); at != std::string::npos) page.replace(at, 15, "<ul><li>A machine</ul>");
    std::istringstream dump(Layout(page, 700)->doc.Dump());
    std::string line, before;
    while (std::getline(dump >> std::ws, line)) {
      EXPECT_FALSE(before.rfind("hs", 0) == 0 && line == "para") << e.path().filename();
      before = line;
    }
  }
}

}  // namespace

namespace {

TEST(IndentManager, FloatsStackAndListLevelsOpenAndClose) {
  IndentManager im(10, 210);
  EXPECT_EQ(im.AddLeftFloat(0, 30, 50), 10);
  EXPECT_EQ(im.AddLeftFloat(20, 40, 10), 40) << "a second left float stands beside the first";
  EXPECT_EQ(im.LeftIndent(25), 80);
  EXPECT_EQ(im.LeftIndent(40), 40);
  EXPECT_EQ(im.LeftIndent(50), 10);
  EXPECT_EQ(im.AddRightFloat(0, 20, 100), 190);
  EXPECT_EQ(im.RightIndent(99), 190);
  EXPECT_EQ(im.RightIndent(100), 210);
  EXPECT_EQ(im.ClearLeft(), 50);
  EXPECT_EQ(im.ClearRight(), 100);
  EXPECT_EQ(im.ImageBottom(), 100);
  // List levels indent from whatever the floats leave, and end above the Y that closes them.
  im.SetLevel(2, 10, 35);
  EXPECT_EQ(im.LeftIndent(10), 10 + 30 + 70);
  im.SetLevel(1, 200);
  EXPECT_EQ(im.LeftIndent(200), 10 + 30 + 35);
  EXPECT_EQ(im.LeftIndent(199), 10 + 30 + 70);
  im.SetLevel(0, 300);
  EXPECT_EQ(im.LeftIndent(300), 10);
  EXPECT_EQ(im.ImageBottom(), 100) << "list records are not floats";
}

}  // namespace
