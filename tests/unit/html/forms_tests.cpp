// Forms: what a page's controls submit after clicks and keys, what a reset brings back, and
// how the controls look in the page picture.
#include <gtest/gtest.h>

#include "core/StrUtils.h"
#include "html/HtmlForms.h"
#include "html/HtmlParser.h"
#include "platform/KeyMap.h"
#include "support/Golden.h"
#include "unit/html/FixedFonts.h"

namespace {

vxtest::FixedFontProvider gFixed(8, 12, 4, 2);

struct Page {
  TSectionList doc;
  std::vector<TFormControlObj*> controls;  // every form's, in page order
  std::vector<std::string> submitted;      // "method action target: line&line"
  std::vector<std::string> clicked;
};

std::unique_ptr<Page> Load(const std::string& html) {
  auto p = std::make_unique<Page>();
  p->doc.Fonts = &gFixed;
  ThvParser parser;
  parser.HtmlParseString(html, p->doc);
  p->doc.DoLogic(0, 600);
  for (auto& f : p->doc.Forms)
    for (auto& c : f->Controls) p->controls.push_back(c.get());
  p->doc.OnFormSubmit = [q = p.get()](const std::string& action, const std::string& target, const std::string&,
                                      const std::string& method, const std::vector<std::string>& lines) {
    std::string s = method + " " + action + " " + target + ":";
    for (size_t i = 0; i < lines.size(); ++i) s += (i ? "&" : "") + lines[i];
    q->submitted.push_back(s);
  };
  p->doc.OnObjectClick = [q = p.get()](TFormControlObj*, const std::string& onClick) { q->clicked.push_back(onClick); };
  return p;
}

// Steps: "c N" click control N; "r N M [S]" click row M of list N (the drop-down's for a
// combo) with the shift state S; "t TEXT" type; "k CODE" a key; "p X Y N" click control N at
// (X, Y).
void Act(Page& p, const std::vector<std::string>& steps) {
  for (const std::string& step : steps) {
    const char op = step[0];
    const std::string arg = step.size() > 2 ? step.substr(2) : "";
    int a = 0, b = 0, c = 0;
    std::sscanf(arg.c_str(), "%d %d %d", &a, &b, &c);
    if (op == 't') {
      for (char ch : arg) p.doc.FormKeyPress(ch);
    } else if (op == 'k') {
      p.doc.FormKeyDown(static_cast<uint16_t>(a));
    } else {
      TFormControlObj* fc = p.controls.at(static_cast<size_t>(op == 'p' ? c : a));
      const int x = op == 'p' ? a : 3, y = op == 'p' ? b : op == 'r' ? (fc->Kind == "select" && fc->Height < 30 ? fc->Height + 1 : 2) + b * 16 + 1 : 3;
      ASSERT_TRUE(p.doc.FormMouseDown(fc->X + x, fc->Y + y, op == 'r' ? static_cast<vx::TShiftState>(c) : 0)) << step;
    }
  }
}

std::string Results(Page& p) {
  std::string s;
  for (auto& f : p.doc.Forms)
    for (const std::string& l : f->Results()) s += (s.empty() ? "" : "&") + l;
  return s;
}

TEST(HtmlForms, ClicksAndKeysGiveTheSubmissionAndResetGivesThePageValuesBack) {
  struct Case {
    const char* html;
    std::vector<std::string> steps;
    const char* submitted;  // "" when nothing was submitted
    const char* afterReset;
  };
  const Case cases[] = {
      {"<form action=a.cgi><input name=u value=bob><input type=submit name=go value=Send></form>",
       {"c 0", "k 35", "t x", "c 1"}, "get a.cgi :u=bobx&go=Send", "u=bob"},
      {"<form method=POST action=p target=t><input type=password name=p maxlength=3 value=ab><input type=submit></form>",
       {"c 0", "k 35", "t cde", "c 1"}, "POST p t:p=abc", "p=ab"},
      // caret moves and deletions
      {"<form><input name=e value=abcd></form>", {"c 0", "k 36", "k 46", "k 39", "k 8", "t X", "k 37", "k 37", "t Y"}, "", "e=abcd"},
      {"<form><input type=checkbox name=a><input type=checkbox name=b value=yes checked><input type=submit></form>",
       {"c 0", "c 1", "c 2"}, "get  :a=on", "b=yes"},
      // radios exclude each other by name in their form only
      {"<form><input type=radio name=r value=1 checked><input type=radio name=R value=2></form>"
       "<form><input type=radio name=r value=3 checked></form>",
       {"c 1"}, "", "r=1&r=3"},
      {"<form><input type=radio name=r value=1 checked><input type=radio name=R value=2></form>"
       "<form><input type=radio name=r value=3 checked><input type=submit></form>",
       {"c 1", "c 3"}, "get  :r=3", "r=1&r=3"},
      // a combo: the first option without SELECTED; a pick from its drop-down list
      {"<form><select name=s><option value=x>X<option>Y<option value=z>Z</select><input type=submit></form>",
       {"c 0", "r 0 2", "c 1"}, "get  :s=z", "s=x"},
      {"<form><select name=s><option>X<option selected>Y</select></form>", {"c 0", "k 38"}, "", "s=Y"},
      // a multiple list: Ctrl-clicks toggle; keys move, space picks
      {"<form><select name=m multiple size=3><option>A<option value=b selected>B<option>C</select><input type=submit></form>",
       {"r 0 0 4", "r 0 2 4", "r 0 1 4", "c 1"}, "get  :m=A&m=C", "m=b"},
      {"<form><select name=m size=2><option>A<option>B<option>C</select></form>", {"r 0 1", "k 40"}, "", "m=A"},
      {"<form><select name=m multiple><option>A<option>B</select></form>", {"c 0", "k 40", "t  "}, "", ""},
      {"<form><textarea name=t rows=2 cols=10>hello</textarea><input type=hidden name=h value=v></form>",
       {"c 0", "k 35", "t !", "k 13"}, "", "t=hello&h=v"},
      {"<form><textarea name=t>ab\ncd</textarea></form>", {"c 0", "k 40", "t X", "k 38", "k 35", "t Y"}, "", "t=ab\r\ncd"},
      // an image input submits where it was clicked, once
      {"<form action=i><input type=image name=pos src=none.gif><input type=submit></form>",
       {"p 3 4 0", "c 1"}, "get i :pos.x=3&pos.y=4", ""},
      // a reset button resets; a plain button does nothing
      {"<form><input name=u value=a><input type=reset><input type=button value=B onclick=hi></form>",
       {"c 0", "t bc", "c 1", "c 2"}, "", "u=a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    auto p = Load(c.html);
    Act(*p, c.steps);
    ASSERT_LE(p->submitted.size(), 2u);
    EXPECT_EQ(p->submitted.empty() ? "" : p->submitted[0], c.submitted);
    for (auto& f : p->doc.Forms) f->ResetControls();
    EXPECT_EQ(Results(*p), c.afterReset);
  }
}

TEST(HtmlForms, EditsAndAreasAfterKeysAndObjectClicks) {
  auto p = Load("<form><input name=e value=abcd><textarea name=t>ab\ncd</textarea>"
                "<input type=button value=B onclick=hi><input name=q maxlength=2></form>");
  Act(*p, {"c 0", "k 36", "k 46", "k 39", "k 8", "t X", "k 37", "k 37", "t Y", "c 1", "k 40", "t X", "k 38", "k 35", "t Y",
           "c 2", "c 3", "t 12345"});
  EXPECT_EQ(Results(*p), "e=YXcd&t=abY\r\nXcd&q=12");
  EXPECT_EQ(p->clicked, (std::vector<std::string>{"", "", "hi", ""}));
  // A click outside every control takes the focus away.
  EXPECT_FALSE(p->doc.FormMouseDown(590, 590));
  EXPECT_EQ(p->doc.FocusedControl, nullptr);
  EXPECT_FALSE(p->doc.FormKeyPress('z'));
}

TEST(HtmlForms, KindsSizesAndClamps) {
  auto p = Load("<form><input size=10><input type=submit><input type=checkbox><select><option>a</select>"
                "<select size=4><option>a</select><select multiple><option>a</select><textarea rows=3 cols=5></textarea>"
                "<textarea rows=99999 cols=99999 wrap=soft></textarea><input size=99999><input type=hidden></form>");
  std::vector<std::string> got;
  for (TFormControlObj* c : p->controls)
    got.push_back(std::string(typeid(*c).name()).substr(std::string(typeid(*c).name()).find('T')) + " " +
                  std::to_string(c->Width) + "x" + std::to_string(c->Height));
  const std::vector<std::string> want = {
      "TEditFormControlObj 85x22",        "TButtonFormControlObj 64x24",      "TCheckBoxFormControlObj 13x13",
      "TComboFormControlObj 40x24",       "TListBoxFormControlObj 40x68",     "TListBoxFormControlObj 40x52",
      "TTextAreaFormControlObj 62x68",    "TTextAreaFormControlObj 2000x2000", "TEditFormControlObj 2000x22",
      "THiddenFormControlObj 0x0"};
  EXPECT_EQ(got, want);
  EXPECT_EQ(p->doc.Forms[0]->Method, "get");
}

TEST(HtmlForms, ControlsPaintIntoThePage) {
  auto p = Load("<body bgcolor=white><form><input name=e value=text> <input type=submit> <input type=checkbox checked> "
                "<input type=radio checked><br><select><option>One<option>Two</select> "
                "<select size=3><option>A<option selected>B<option>C<option>D</select> "
                "<textarea rows=3 cols=12>a long line that wraps\nsecond</textarea></form>");
  Act(*p, {"c 4"});  // the combo open over what lies below it
  vxtest::Shot shot;
  shot.Width = 400, shot.Height = 150;
  shot.Pixels.assign(static_cast<size_t>(shot.Width * shot.Height), 0xFFFFFFFFu);
  vx::Canvas canvas(shot.Pixels.data(), shot.Width, shot.Height, shot.Width);
  p->doc.DrawDocument(canvas, {0, 0, shot.Width, shot.Height}, 0, 0);
  EXPECT_EQ(vxtest::CompareWithGolden("html/forms", shot), "");
}

}  // namespace

namespace {

TEST(HtmlForms, MultipleListsPickOneToggleWithCtrlAndTakeRunsWithShift) {
  // Rows of a six-row list with S: 1 Shift, 4 Ctrl, 5 both; a list of one choice ignores them.
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"r 0 1", "r 0 3", "r 1 2 4", "r 1 4 1"}, "D|E"}, {{"r 0 1", "r 0 4 1"}, "BCDE|A"}, {{"r 0 4", "r 0 1 1"}, "BCDE|A"},
      {{"r 0 1", "r 0 3 1", "r 0 0 1"}, "AB|A"},         {{"r 0 0", "r 0 2 4", "r 0 0 4"}, "C|A"},
      {{"r 0 0", "r 0 3 4", "r 0 5 5"}, "ADEF|A"},       {{"r 0 5 1"}, "ABCDEF|A"}};
  const std::string six = "size=6><option>A<option>B<option>C<option>D<option>E<option>F</select>";
  for (const auto& [steps, want] : cases) {
    auto p = Load("<form><select multiple " + six + "<select " + six + "</form>");
    Act(*p, steps);
    auto picked = [](const TFormControlObj* c) {
      std::string s;
      for (size_t i = 0; i < c->Options.size(); ++i) s += dynamic_cast<const TListBoxFormControlObj&>(*c).Selected[i] ? c->Options[i].Text : "";
      return s;
    };
    EXPECT_EQ(picked(p->controls[0]) + "|" + picked(p->controls[1]), want) << steps.back();
  }
}

TEST(HtmlForms, ADroppedComboShowsEightOptionsAndReachesEveryOneByMouseAndKeys) {
  std::string html = "<form><select>";
  for (int i = 0; i < 30; ++i) html += "<option>o" + std::to_string(i);
  auto p = Load(html + "</select></form>");
  auto& combo = dynamic_cast<TComboFormControlObj&>(*p->controls[0]);
  auto bar = [&](int y) { return "p " + std::to_string(combo.Width - 5) + " " + std::to_string(combo.Height + 1 + y) + " 0"; };
  Act(*p, {"c 0", bar(8 * 16 - 20)});  // the track below the thumb pages down
  EXPECT_EQ(combo.TopIndex, 8);
  EXPECT_FALSE(combo.OverlayContains(3, combo.Height + 8 * 16 + 2)) << "eight rows";
  for (int want : {29, 3, 17, 0, 22}) {  // the arrows step a row until the option shows
    if (!combo.Dropped) Act(*p, {"c 0"});
    for (int guard = 0; guard < 40 && (want < combo.TopIndex || want >= combo.TopIndex + 8); ++guard)
      Act(*p, {bar(want < combo.TopIndex ? 3 : 8 * 16 - 3)});
    Act(*p, {"r 0 " + std::to_string(want - combo.TopIndex)});
    EXPECT_EQ(combo.ItemIndex, want);
  }
  for (auto [key, item, top] : {std::tuple{35, 29, 22}, {33, 21, 21}, {38, 20, 20}, {36, 0, 0}, {34, 8, 1}}) {
    Act(*p, {"k " + std::to_string(key)});
    EXPECT_EQ(std::make_pair(combo.ItemIndex, combo.TopIndex), std::make_pair(item, top)) << key;
  }
}

TEST(HtmlForms, UnwrappedTextAreasScrollSidewaysWhenTheirLinesAreWider) {
  // 10 columns of 8 pixels: the text shows 80; the long line is 240 wide.
  auto p = Load("<form><textarea cols=10>short</textarea><textarea cols=10>a line far wider than the area</textarea>"
                "<textarea cols=10 wrap=soft>a line far wider than the area</textarea></form>");
  auto arrow = [&](int i) { return "p " + std::to_string(p->controls[i]->Width - 22) + " " + std::to_string(p->controls[i]->Height - 5) + " " + std::to_string(i); };
  const std::tuple<int, std::vector<std::string>, int> cases[] = {
      {0, {"c 0", "k 35"}, 0}, {2, {"c 2", "k 35"}, 0}, {1, {"c 1", "k 35"}, 164}, {1, {"k 36"}, 0}, {1, {arrow(1)}, 8},
      {0, {arrow(0)}, 0},      {1, {"c 1", "k 35", "t !", "k 37"}, 172}};
  for (const auto& [i, steps, scrollX] : cases) {
    Act(*p, steps);
    EXPECT_EQ(dynamic_cast<TTextAreaFormControlObj&>(*p->controls[static_cast<size_t>(i)]).ScrollX, scrollX) << steps[0];
  }
}

TEST(HtmlForms, EachDrawShowsThePaintedControlsAndHidesTheOthers) {
  std::string html = "<form><input name=e> <select><option>x<option>y</select>";
  for (int i = 0; i < 30; ++i) html += "<p>filler";
  auto p = Load(html + "<p>last <input name=low></form>");
  auto& combo = dynamic_cast<TComboFormControlObj&>(*p->controls[1]);
  const TFormControlObj& low = *p->controls[2];
  Act(*p, {"c 1"});
  std::vector<uint32_t> pixels(200 * 100);
  vx::Canvas canvas(pixels.data(), 200, 100, 200);
  auto shown = [&](int scrollY) {
    p->doc.DrawDocument(canvas, {0, 0, 200, 100}, 0, scrollY);
    return std::string{p->controls[0]->Shown ? '+' : '-', combo.Shown ? '+' : '-', low.Shown ? '+' : '-', combo.Dropped ? 'v' : '.'};
  };
  EXPECT_EQ(shown(0), "++-v");
  EXPECT_EQ(shown(low.Y - 90), "--+.") << "out of sight, the combo's list closes";
  EXPECT_EQ(shown(low.Y + low.Height + 3), "--+.") << "a line partly in sight is painted";
}

}  // namespace
