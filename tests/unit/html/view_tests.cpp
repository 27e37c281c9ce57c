// The viewer as a plain object: scripted mouse sequences on fixture pages laid out in the fixed
// test font (follow a link, select, go back, visited marks), the scroll model, history, META
// refresh, failed loads, the timers of the over-link check and auto-scroll, and painting.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "core/StrUtils.h"
#include "html/HtmlForms.h"
#include "html/HtmlView.h"
#include "platform/KeyMap.h"
#include "support/TempDir.h"
#include "unit/html/FixedFonts.h"

namespace {

vxtest::FixedFontProvider gFixed(8, 12, 4, 2);

// Timers and posts are kept for the test to fire by hand.
struct FakeHost : ThtmlViewHost {
  int invalidated = 0;
  std::vector<int> posts;
  std::map<int, std::function<void()>> timers;
  int nextId = 1;
  bool over = true;
  void Invalidate() override { ++invalidated; }
  void Post(int m) override { posts.push_back(m); }
  int StartTimer(uint32_t, std::function<void()> tick) override {
    timers[nextId] = std::move(tick);
    return nextId++;
  }
  void StopTimer(int id) override { timers.erase(id); }
  bool PointerOverPanel() override { return over; }
  void FireAll() {
    auto copy = timers;
    for (auto& [id, t] : copy)
      if (timers.count(id)) t();
  }
};

std::string Filler(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "<p>Filler line " + std::to_string(i) + "\n";
  return s;
}

struct ViewRig {
  vxtest::TempDir dir;
  FakeHost host;
  ThtmlView view{&host};
  std::vector<std::string> covered;
  ViewRig() {
    view.Document().Fonts = &gFixed;
    view.SetBounds(0, 0, 400, 200);
    view.SetBorderStyle(THTMLBorderStyle::htNone);
    view.SetScrollBars(TScrollStyle::ssNone);
    view.SetHistoryMaxCount(10);
    view.OnHotSpotCovered = [this](const std::string& s) { covered.push_back(s); };
    Write("index.html", "<title>Index</title><p>Go <a href=\"two.html\">two</a> now.\n<p><a href=\"#end\">jump</a>\n" +
                            Filler(30) + "<p><a name=\"end\">End</a> here");
    Write("two.html", "<title>Two</title><p>Second page, <a href=\"index.html#end\">back to the end</a>.");
  }
  void Write(const std::string& name, const std::string& text) { vxtest::TempDir::WriteFile(dir.File(name), text); }
  std::string File(const std::string& name) const { return dir.File(name); }
  // The panel point in the middle of the first character of `text`.
  std::pair<int, int> At(const std::string& text) {
    const int i = view.Document().FindString(0, vx::UpperCase(text), false);
    EXPECT_GE(i, 0) << text;
    int x = 0, y = 0;
    EXPECT_TRUE(view.Document().CursorToXY(i, x, y));
    return {x + view.MarginWidth() + 4 - view.HPosition(), y + 8 - view.Position()};
  }
  void Click(const std::string& text) {
    auto [x, y] = At(text);
    view.MouseMove(0, x, y);
    view.MouseDown(vx::mbLeft, 0, x, y);
    view.MouseUp(vx::mbLeft, 0, x, y);
  }
  bool LinkVisited(const std::string& url) const {
    for (const auto& s : view.Document().Sections)
      if (auto* t = dynamic_cast<const TSection*>(s.get()))
        for (const TFontObj& f : t->Fonts)
          if (f.Url && f.Url->Url == url) return f.Visited;
    ADD_FAILURE() << "no link " << url;
    return false;
  }
};

TEST(HtmlView, PropertiesClampAndIgnoreWhatTheyMust) {
  ThtmlView v;
  struct Case {
    std::function<void()> set;
    std::function<int()> get;
    int want;
  };
  const Case cases[] = {
      {[&] { v.SetDefFontSize(3); }, [&] { return v.DefFontSize(); }, 6},
      {[&] { v.SetImageCacheCount(50); }, [&] { return v.ImageCacheCount(); }, 20},
      {[&] { v.SetImageCacheCount(-4); }, [&] { return v.ImageCacheCount(); }, 0},
      {[&] { v.SetMarginWidth(500); }, [&] { return v.MarginWidth(); }, 200},
      {[&] { v.SetMarginHeight(-3); }, [&] { return v.MarginHeight(); }, 5},
      {[&] { v.SetVisitedMaxCount(-1); }, [&] { return v.VisitedMaxCount(); }, 0},
      {[&] { v.SetHistoryMaxCount(-1); }, [&] { return v.HistoryMaxCount(); }, 0},
  };
  for (const Case& c : cases) {
    c.set();
    EXPECT_EQ(c.get(), c.want);
  }
  v.SetServerRoot("/srv/help//");
  EXPECT_EQ(v.ServerRoot(), "/srv/help");
  v.SetDefFontName(std::string(40, 'x'));
  EXPECT_EQ(v.DefFontName().size(), 32u);
}

TEST(HtmlView, PercentTableHeightsLeaveTheViewersCurrentMargins) {
  ViewRig r;  // 200 high; a CELLSPACING of 0 reads as 1
  const std::string table = "<table height=100% cellspacing=0><tr><td>a<tr><td>b</table>";
  r.Write("plain.html", table);
  r.Write("flush.html", "<body marginheight=0>" + table);
  auto rowsOf = [&r](const std::string& file) {
    r.view.LoadFromFile(r.File(file));
    for (const auto& s : r.view.Document().Sections)
      if (auto* t = dynamic_cast<const ThtmlTable*>(s.get())) return t->RowHeights[0] + t->RowHeights[1];
    return -1;
  };
  EXPECT_EQ(rowsOf("plain.html"), 200 - 2 * 5 - 1 - 3);
  EXPECT_EQ(rowsOf("flush.html"), 200 - 1 - 3);
  r.view.SetMarginHeight(20);
  EXPECT_EQ(rowsOf("plain.html"), 200 - 2 * 20 - 1 - 3);
}

TEST(HtmlView, FollowALinkGoBackAndSeeItVisited) {
  ViewRig r;
  r.view.LoadFromFile(r.File("index.html"));
  EXPECT_EQ(r.view.DocumentTitle(), "Index");
  EXPECT_EQ(r.view.History().size(), 1u);

  // Hovering the link shows the hand and names it; leaving the panel clears it on the timer.
  auto [x, y] = r.At("two");
  r.view.MouseMove(0, x, y);
  EXPECT_EQ(r.view.Cursor(), ThtmlView::crHand);
  EXPECT_EQ(r.view.GetURL(), "two.html");
  ASSERT_EQ(r.host.timers.size(), 1u);
  r.host.over = false;
  r.host.FireAll();
  EXPECT_EQ(r.covered, (std::vector<std::string>{"two.html", ""}));
  EXPECT_TRUE(r.host.timers.empty());
  r.host.over = true;

  r.Click("two");
  EXPECT_EQ(r.view.CurrentFile(), r.File("two.html"));
  EXPECT_EQ(r.view.DocumentTitle(), "Two");
  EXPECT_EQ(r.view.History().size(), 2u);
  EXPECT_EQ(r.view.Visited().front(), r.File("two.html"));

  // Back: the first page again, its link marked visited.
  ASSERT_TRUE(r.view.GoBack());
  EXPECT_EQ(r.view.CurrentFile(), r.File("index.html"));
  EXPECT_EQ(r.view.HistoryIndex(), 1);
  EXPECT_TRUE(r.LinkVisited("two.html"));
  EXPECT_FALSE(r.LinkVisited("#end"));
  ASSERT_TRUE(r.view.GoForward());
  EXPECT_EQ(r.view.DocumentTitle(), "Two");

  // A link to another file's anchor loads it and scrolls there.
  r.Click("back");
  EXPECT_EQ(r.view.CurrentFile(), r.File("index.html"));
  EXPECT_GT(r.view.Position(), 0);
  EXPECT_EQ(r.view.History().size(), 3u);
  // Loading the same page again adds nothing.
  r.view.LoadFromFile(r.File("index.html"));
  EXPECT_EQ(r.view.History().size(), 3u);
  // The end of a load is announced once the new page is at its top, not before.
  std::vector<int> paintedAt;
  r.view.OnProcessing = [&](bool on) {
    if (!on) paintedAt.push_back(r.view.Position());
  };
  r.view.LoadFromFile(r.File("two.html"));
  EXPECT_EQ(paintedAt, std::vector<int>{0});
}

TEST(HtmlView, PictureLinksShowThePictureAndLimitsTrimHistoryAndVisitedLinks) {
  ViewRig r;
  std::vector<std::string> asked;
  r.view.PictureLoader = [&](const std::string& f) -> std::shared_ptr<const ThtmlPicture> {
    asked.push_back(f);
    return nullptr;
  };
  r.Write("pics.html", "<title>P</title><p><a href=\"sub/card.GIF\">card</a> <a href=\"notes.txt\">notes</a>");
  std::filesystem::create_directories(r.File("sub"));
  vxtest::TempDir::WriteFile(r.File("sub/card.GIF"), "GIF89a");
  r.view.LoadFromFile(r.File("pics.html"));
  r.Click("notes");  // neither a page nor a picture: nothing happens
  EXPECT_EQ(r.view.CurrentFile(), r.File("pics.html"));
  r.Click("card");
  EXPECT_EQ(r.view.DocType(), 2);
  EXPECT_EQ(asked, std::vector<std::string>{r.File("sub/card.GIF")});
  EXPECT_EQ(r.view.History().size(), 2u);
  ASSERT_TRUE(r.view.GoBack());
  EXPECT_EQ(r.view.DocType(), 0);

  r.view.SetHistoryMaxCount(1);  // lowering clears it
  EXPECT_TRUE(r.view.History().empty());
  r.view.SetHistoryMaxCount(0);
  r.view.LoadFromFile(r.File("two.html"));
  EXPECT_TRUE(r.view.History().empty());
  r.view.LoadFromFile(r.File("index.html"));
  r.Click("two");
  EXPECT_TRUE(r.view.History().empty());
  r.view.GoBack();
  r.view.LoadFromFile(r.File("index.html"));
  EXPECT_TRUE(r.LinkVisited("two.html"));
  r.view.SetVisitedMaxCount(0);
  EXPECT_TRUE(r.view.Visited().empty());
  EXPECT_FALSE(r.LinkVisited("two.html"));
}

TEST(HtmlView, InPageJumpRecordsHistoryAndBackRestoresThePlace) {
  ViewRig r;
  r.view.LoadFromFile(r.File("index.html"));
  r.Click("jump");
  const int bottom = r.view.Position();
  EXPECT_GT(bottom, 0);
  EXPECT_EQ(bottom, r.view.DocumentHeight() - r.view.PanelHeight());  // clamped at the end
  EXPECT_EQ(r.view.History().size(), 2u);
  EXPECT_TRUE(r.LinkVisited("#end"));
  ASSERT_TRUE(r.view.GoBack());
  EXPECT_EQ(r.view.Position(), 0);
  ASSERT_TRUE(r.view.GoForward());
  EXPECT_EQ(r.view.Position(), bottom);
}

TEST(HtmlView, DraggingSelectsAndAReleaseOnALinkThenFollowsNothing) {
  ViewRig r;
  r.view.LoadFromFile(r.File("index.html"));
  auto [x0, y0] = r.At("Go");
  auto [x1, y1] = r.At("now");
  r.view.MouseDown(vx::mbLeft, 0, x0, y0);
  r.view.MouseMove(vx::ssLeft, x1, y1);
  EXPECT_EQ(r.view.SelText(), "Go two \r\n");
  auto [lx, ly] = r.At("two");
  r.view.MouseMove(vx::ssLeft, lx, ly);
  r.view.MouseUp(vx::mbLeft, 0, lx, ly);
  EXPECT_EQ(r.view.SelText(), "Go \r\n");
  EXPECT_EQ(r.view.CurrentFile(), r.File("index.html"));
  // A double click selects the word; NoSelect clears it.
  r.view.DoubleClick(vx::mbLeft, 0, x1, y1);
  EXPECT_EQ(r.view.SelText(), "now\r\n");
  r.view.SetNoSelect(true);
  EXPECT_EQ(r.view.SelText(), "");
}

TEST(HtmlView, AutoScrollStepsOnTheTimerAndMiddleClickTogglesScrollMode) {
  ViewRig r;
  r.view.LoadFromFile(r.File("index.html"));
  auto [x, y] = r.At("Go");
  r.view.MouseDown(vx::mbLeft, 0, x, y);
  r.view.MouseMove(vx::ssLeft, x, r.view.PanelHeight() + 40);
  ASSERT_EQ(r.host.posts, std::vector<int>{ThtmlView::kAutoScrollMessage});
  r.view.HandleMessage(ThtmlView::kAutoScrollMessage);
  EXPECT_TRUE(r.view.AutoScrolling());
  for (int i = 0; i < 3; ++i) r.host.FireAll();
  EXPECT_EQ(r.view.Position(), 3 * 8 * 16);
  EXPECT_GT(r.view.SelEnd(), r.view.SelStart());
  r.view.MouseUp(vx::mbLeft, 0, x, r.view.PanelHeight() + 40);
  EXPECT_FALSE(r.view.AutoScrolling());
  EXPECT_TRUE(r.host.timers.empty());

  // Middle click without moving: the mode stays on until the next click.
  r.view.MouseDown(vx::mbMiddle, 0, 50, 100);
  r.view.MouseUp(vx::mbMiddle, 0, 50, 100);
  EXPECT_TRUE(r.view.ScrollMode());
  r.view.MouseMove(0, 50, 20);  // 80 above: fast upwards
  r.view.HandleMessage(r.host.posts.back());
  const int before = r.view.Position();
  r.host.FireAll();
  EXPECT_EQ(r.view.Position(), before - 32);
  EXPECT_EQ(r.view.Cursor(), ThtmlView::crUpOnly);
  r.view.MouseDown(vx::mbLeft, 0, 50, 20);
  EXPECT_FALSE(r.view.ScrollMode());
  EXPECT_TRUE(r.host.timers.empty());
}

TEST(HtmlView, FailedLoadsLeaveAUsableViewer) {
  ViewRig r;
  int offs = 0;
  r.view.OnProcessing = [&](bool on) { offs += on ? 0 : 1; };
  r.view.LoadFromFile(r.File("index.html"));
  EXPECT_EQ(offs, 1);  // one paint per load, after the scroll reset
  try {
    r.view.LoadFromFile(r.File("missing.html"));
    ADD_FAILURE() << "no error";
  } catch (const EhtmlViewError& e) {
    EXPECT_EQ(e.Message, "Can't locate file: " + r.File("missing.html"));
  }
  EXPECT_FALSE(r.view.Processing());
  EXPECT_EQ(r.view.DocumentTitle(), "Index");  // the old page stays
  r.Write("bad.html", "<p>half <!-- never closed");
  EXPECT_THROW(r.view.LoadFromFile(r.File("bad.html")), EParseError);
  EXPECT_FALSE(r.view.Processing());
  EXPECT_TRUE(r.view.Document().Sections.empty());
  r.view.LoadFromFile(r.File("two.html"));
  EXPECT_EQ(r.view.DocumentTitle(), "Two");
}

TEST(HtmlView, MetaRefreshIsAnnouncedAfterTheLoad) {
  struct Case {
    const char* content;
    int delay;
    const char* url;
  };
  const Case cases[] = {{"0; URL=next.html", 1, "next.html"}, {"5", 5, ""}, {"abc;url=x.html", 0, ""}, {"", 0, ""}};
  for (const Case& c : cases) {
    ViewRig r;
    int delay = 0;
    std::string url;
    r.view.OnMetaRefresh = [&](int d, const std::string& u) { delay = d, url = u; };
    r.Write("m.html", std::string("<meta http-equiv=\"Refresh\" content=\"") + c.content + "\"><p>x");
    r.view.LoadFromFile(r.File("m.html"));
    EXPECT_EQ(delay, c.delay) << c.content;
    EXPECT_EQ(url, c.url) << c.content;
  }
}

TEST(HtmlView, ViewPositionsSurviveARelayoutAndKeysScroll) {
  ViewRig r;
  r.view.LoadFromFile(r.File("index.html"));
  std::mt19937 rng(7);
  for (int i = 0; i < 40; ++i) {
    const int y = std::uniform_int_distribution<int>(0, r.view.DocumentHeight())(rng);
    r.view.SetPosition(y);
    const int at = r.view.Position();
    EXPECT_EQ(at, std::clamp(y, 0, r.view.DocumentHeight() - r.view.PanelHeight()));
    const auto p = r.view.GetViewPosition();
    r.view.SetMarginHeight(5 + i % 3);  // a relayout keeps the section at the top
    EXPECT_EQ(r.view.GetViewPosition().Section, p.Section);
    r.view.SetMarginHeight(5);
    EXPECT_EQ(r.view.Position(), at);
  }
  uint16_t key = vx::VK_HOME;
  r.view.KeyDown(key, 0);
  EXPECT_EQ(key, 0);
  key = vx::VK_DOWN;
  r.view.KeyDown(key, 0);
  EXPECT_EQ(r.view.Position(), 16);
  key = vx::VK_NEXT;
  r.view.KeyDown(key, 0);
  EXPECT_EQ(r.view.Position(), 16 + r.view.PanelHeight());
  key = 'A';
  r.view.KeyDown(key, 0);
  EXPECT_EQ(key, 'A');
}

TEST(HtmlView, PaintsTheTiledBackgroundMovingWithThePage) {
  ViewRig r;
  auto tile = std::make_shared<ThtmlPicture>();
  tile->Width = 3, tile->Height = 5;
  for (int i = 0; i < 15; ++i) tile->Pixels.push_back(0xFF000000u | static_cast<uint32_t>(i * 0x111111));
  std::string asked;
  r.view.PictureLoader = [&](const std::string& f) -> std::shared_ptr<const ThtmlPicture> {
    asked = f;
    return tile;
  };
  r.Write("bg.html", "<body background=\"pics/tile.gif\">" + Filler(30));
  r.view.LoadFromFile(r.File("bg.html"));
  EXPECT_EQ(asked, r.File("pics/tile.gif"));
  std::vector<uint32_t> pixels(400 * 200);
  vx::Canvas canvas(pixels.data(), 400, 200, 400);
  r.view.SetPosition(7);
  r.view.PaintToBitmap(canvas);
  // Right of the text: the tile row is (y + 7) mod 5.
  for (int y = 0; y < 10; ++y) EXPECT_EQ(pixels[static_cast<size_t>(y) * 400 + 390], tile->Pixels[static_cast<size_t>((y + 7) % 5) * 3]);
  // The text is drawn over it.
  auto [x, y] = r.At("Filler");
  EXPECT_EQ(pixels[static_cast<size_t>(y) * 400 + static_cast<size_t>(x)] & 0xFFFFFF, vx::ColorToRGB(vx::clBtnText) & 0xFFFFFF);
}

TEST(HtmlView, FormControlsTakePressesWithTheirKeysAndSubmitAfterTheClick) {
  ViewRig r;
  r.Write("form.html", "<form action=go.cgi><select name=m multiple size=4><option>A<option>B<option>C<option>D</select>"
                       "<input type=submit name=s value=Send></form>" + Filler(20) + "<form><input name=low></form>" + Filler(4));
  r.view.LoadFromFile(r.File("form.html"));
  std::vector<std::string> got;
  r.view.OnFormSubmit = [&](auto&, auto&, auto&, auto& method, auto& results) { (got = results).push_back(method); };
  auto press = [&](const TFormControlObj& c, int y, vx::TShiftState shift) {
    r.view.MouseDown(vx::mbLeft, shift, c.X + 5 + r.view.MarginWidth(), c.Y + y - r.view.Position());
    r.view.MouseUp(vx::mbLeft, shift, c.X + 5 + r.view.MarginWidth(), c.Y + y - r.view.Position());
  };
  const auto& forms = r.view.Document().Forms;
  press(*forms[0]->Controls[0], 2 + 16 + 2, 0);
  press(*forms[0]->Controls[0], 2 + 48 + 2, vx::ssShift);
  uint16_t key = vx::VK_HOME;
  r.view.KeyDown(key, 0);
  EXPECT_EQ(key, 0) << "the focused list takes the key";
  EXPECT_EQ(r.view.SelEnd(), r.view.SelStart()) << "a press on a control starts no selection";
  press(*forms[0]->Controls[1], 3, 0);
  EXPECT_TRUE(got.empty()) << "delivered after the click";
  ASSERT_EQ(r.host.posts, std::vector<int>{ThtmlView::kFormSubmitMessage});
  r.view.HandleMessage(ThtmlView::kFormSubmitMessage);
  EXPECT_EQ(got, (std::vector<std::string>{"m=B", "m=C", "m=D", "s=Send", "get"}));
  // A control half out of sight is scrolled in when it takes the focus, 20 pixels clear.
  const TFormControlObj& low = *forms[1]->Controls[0];
  r.view.ScrollTo(low.Y - r.view.PanelHeight() + 5);
  press(low, 2, 0);
  EXPECT_EQ(r.view.Position(), low.Y + low.Height + 20 - r.view.PanelHeight());
  // Keys type into the focused field as the characters they make.
  for (auto [k, shift] : std::vector<std::pair<uint16_t, vx::TShiftState>>{
           {'H', vx::ssShift}, {'I', 0}, {' ', 0}, {'7', 0}, {98, 0}, {'X', vx::ssCtrl}}) {
    uint16_t typed = k;
    r.view.KeyDown(typed, shift);
  }
  EXPECT_EQ(static_cast<const TEditFormControlObj&>(low).Current, "Hi 72");
}

}  // namespace
