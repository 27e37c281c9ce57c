// Labels and buttons against a fixed-width font: rows for every alignment and layout, wrapping
// properties over random captions, auto-size, marquee, fades, late fonts and layouts, the
// pressed-button offset.
#include <random>

#include "widgets_fixture.h"

using wtest::Screen;
using wtest::WidgetHost;
using wtest::WidthOf;

namespace {

struct Row {
  std::string text;
  int32_t x, y;
  friend bool operator==(const Row&, const Row&) = default;
  friend std::ostream& operator<<(std::ostream& o, const Row& r) {
    return o << "{" << r.text << "," << r.x << "," << r.y << "}";
  }
};

std::vector<Row> RowsOf(const TVXLabel& l) {
  std::vector<Row> out;
  for (const TVXStringLine& r : l.Rows()) out.push_back({r.Text, r.X, r.Y});
  return out;
}

std::string Joined(const TVXLabel& l) {
  std::string s;
  for (size_t i = 0; i < l.Rows().size(); ++i) s += (i ? " " : "") + l.Rows()[i].Text;
  return s;
}

}  // namespace

TEST(LabelLayout, RowsForEveryAlignmentAndLayout) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.SetBounds(10, 20, 100, 50);
  // Three words of 40 pixels with 4-pixel spaces: two fit on a row of 100 (84 wide).
  l.SetText("AAAAA BBBBB CCCCC");
  struct Case {
    int32_t alignment, layout;
    std::vector<Row> rows;
  };
  const std::vector<Case> cases = {
      {taLeft, tlTop, {{"AAAAA BBBBB", 1, 1}, {"CCCCC", 1, 13}}},
      {taLeft, tlCenter, {{"AAAAA BBBBB", 1, 14}, {"CCCCC", 1, 26}}},
      {taLeft, tlBottom, {{"AAAAA BBBBB", 1, 27}, {"CCCCC", 1, 39}}},
      {taRight, tlTop, {{"AAAAA BBBBB", 15, 1}, {"CCCCC", 59, 13}}},
      {taRight, tlCenter, {{"AAAAA BBBBB", 15, 14}, {"CCCCC", 59, 26}}},
      {taRight, tlBottom, {{"AAAAA BBBBB", 15, 27}, {"CCCCC", 59, 39}}},
      {taCenter, tlTop, {{"AAAAA BBBBB", 8, 1}, {"CCCCC", 30, 13}}},
      {taCenter, tlCenter, {{"AAAAA BBBBB", 8, 14}, {"CCCCC", 30, 26}}},
      {taCenter, tlBottom, {{"AAAAA BBBBB", 8, 27}, {"CCCCC", 30, 39}}},
  };
  for (const Case& c : cases) {
    l.SetLayout(c.layout);
    l.SetAlignment(c.alignment);
    l.LayoutText();
    EXPECT_EQ(RowsOf(l), c.rows) << "alignment " << c.alignment << " layout " << c.layout;
    EXPECT_EQ(l.TextHeight(), 22);
    EXPECT_EQ(l.TextWidth(), 84);
    EXPECT_EQ(l.TextLeft(), c.rows[0].x);
  }

  // Drawn at Left + X, Top + Y, one glyph per character, in the font colour.
  l.Font.SetColor(0x00112233);
  host.Recorder.ClearCalls();
  l.SetVisible(true);
  l.Process();
  const auto summary = wtest::Summary(host.Recorder, host.FontImage());
  EXPECT_EQ(summary, (std::vector<std::string>{"Clip 10,20,110,70", "FillQuad 10,20,110,70", "Text 18,47 11",
                                               "Text 40,59 5", "Clip 0,0,800,600"}));
  EXPECT_EQ(host.Recorder.CallsOf("TextureMap").back().Colours[0], 0xFF112233u);
  EXPECT_EQ(wtest::DrawnTexts(host.Recorder, host.FontImage()), (std::vector<std::string>{"AAAAA BBBBB", "CCCCC"}));
}

TEST(LabelLayout, EmptyAndSpaceCaptionsAndNoWrap) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.SetBounds(0, 0, 60, 40);
  l.SetText("    ");
  EXPECT_TRUE(l.Rows().empty());
  host.Recorder.ClearCalls();
  l.Process();
  EXPECT_TRUE(host.Recorder.CallsOf("TextureMap").empty());

  // A word wider than the label stays alone on its row.
  l.SetText("  WIDEWORDHERE X");
  EXPECT_EQ(RowsOf(l), (std::vector<Row>{{"WIDEWORDHERE", 1, 9}, {"X", 1, 21}}));

  // Without wrapping: one row, even beyond the width.
  l.SetWordWrap(false);
  EXPECT_EQ(l.Rows().size(), 1u);
  EXPECT_EQ(l.Rows()[0].Text, "  WIDEWORDHERE X");
  EXPECT_EQ(l.Width(), 60);
}

TEST(LabelLayout, AutoSizeTakesTheTextSizeWithoutLayingOutAgain) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.SetWordWrap(false);
  l.SetAutoSize(true);
  l.SetText("HELLO THERE");
  EXPECT_EQ(l.Width(), WidthOf("HELLO THERE"));
  EXPECT_EQ(l.Height(), wtest::kGlyphHeight);
  // Any size given later is replaced by the text's own.
  l.SetWidth(500);
  l.SetHeight(3);
  EXPECT_EQ(l.Width(), WidthOf("HELLO THERE"));
  EXPECT_EQ(l.Height(), wtest::kGlyphHeight);
  EXPECT_EQ(l.Rows()[0].Y, (wtest::kGlyphHeight - wtest::kGlyphHeight) / 2);
}

TEST(LabelLayout, RandomCaptionsWrapWithinTheWidthAndRejoinToTheCaption) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  std::mt19937 rng(1234);
  for (int round = 0; round < 400; ++round) {
    std::string caption(rng() % 3, ' ');  // leading spaces are dropped
    const std::string::size_type lead = caption.size();
    const int words = 1 + static_cast<int>(rng() % 12);
    for (int w = 0; w < words; ++w) {
      if (w > 0) caption.append(1 + rng() % 3, ' ');
      caption.append(1 + rng() % 14, static_cast<char>('A' + rng() % 26));
    }
    const int32_t width = 10 + static_cast<int32_t>(rng() % 200);
    l.SetWidth(width);
    l.SetAlignment(static_cast<int32_t>(rng() % 3));
    l.SetText(caption);
    ASSERT_FALSE(l.Rows().empty());
    EXPECT_EQ(Joined(l), caption.substr(lead)) << caption << " / " << width;
    int32_t widest = 0;
    for (const TVXStringLine& r : l.Rows()) {
      const int32_t w = WidthOf(r.Text);
      widest = std::max(widest, w);
      if (r.Text.find(' ') != std::string::npos) {
        EXPECT_LE(w, width) << r.Text;
      }
      EXPECT_GE(r.X, l.Alignment() == taLeft ? 1 : -w);
    }
    EXPECT_EQ(l.TextWidth(), widest);
    // Rows follow each other 2 pixels apart.
    for (size_t i = 1; i < l.Rows().size(); ++i) {
      EXPECT_EQ(l.Rows()[i].Y - l.Rows()[i - 1].Y, wtest::kGlyphHeight + 2);
    }
    l.SetText("");
  }
}

TEST(LabelLayout, ColourTagsAreMeasuredAsTheFontReadsThem) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.SetWidth(60);
  // The tag takes no room, so both words fit on one row of 5 + 1 glyphs.
  l.SetText("#$FF0000FFRED GO");
  ASSERT_EQ(l.Rows().size(), 1u);
  EXPECT_EQ(l.TextWidth(), host.gfxFont->TextWidth("#$FF0000FFRED GO"));
}

TEST(LabelLayout, FontsAndLayoutsSetWithoutNoticeTakeEffectBeforeDrawing) {
  WidgetHost host;
  host.FontAvailable = false;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.SetBounds(0, 0, 100, 40);
  l.SetText("LATE FONT");
  EXPECT_TRUE(l.Rows().empty());  // nothing to measure with yet
  host.FontAvailable = true;
  l.Font.SetName("Fixed");  // fires no event
  l.Process();
  ASSERT_EQ(l.Rows().size(), 1u);
  EXPECT_EQ(l.Rows()[0].Y, (40 - 10) / 2);
  l.SetLayout(tlBottom);  // a plain setter, as the theme uses it
  l.Process();
  EXPECT_EQ(l.Rows()[0].Y, 40 - 10 - 1);
}

TEST(LabelDrawing, MarqueeRunsLeftAndReentersAtTheRight) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.SetBounds(0, 0, 50, 20);
  l.SetText("AB");  // 16 wide
  l.ScrollMode = smMarquee;
  l.Process();
  EXPECT_EQ(l.TextLeft(), 0);
  EXPECT_EQ(l.Rows()[0].X, 0);
  for (int i = 0; i < 16; ++i) l.Process();
  EXPECT_EQ(l.TextLeft(), -16);
  l.Process();
  EXPECT_EQ(l.TextLeft(), 50);
  EXPECT_EQ(l.Rows()[0].X, 50);
}

TEST(LabelDrawing, RowsFollowTheFadeAndTheFontAlpha) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  l.Font.SetName("Fixed");
  l.Font.SetColor(0x00ABCDEF);
  l.SetBounds(0, 0, 100, 20);
  l.SetText("FADE");
  l.SetAlpha4(TAlpha4{200, 200, 200, 200});
  l.SetVisible(false);
  l.SetFadeIn(true);
  l.SetFadeSpeed(4);  // 35 per frame
  l.SetVisible(true);
  host.Recorder.ClearCalls();
  l.Process();
  EXPECT_EQ(host.Recorder.CallsOf("TextureMap")[0].Colours[0], 0x23ABCDEFu);
  for (int i = 0; i < 8; ++i) l.Process();
  EXPECT_FALSE(l.FadingIn());
  // Once the fade is over the rows take the font's alpha again.
  l.Font.Alpha = 128;
  host.Recorder.ClearCalls();
  l.Process();
  EXPECT_EQ(host.Recorder.CallsOf("TextureMap")[0].Colours[0], 0x80ABCDEFu);
}

TEST(LabelDrawing, HideBackgroundSwitchesTheRectangleAlpha) {
  WidgetHost host;
  TVXLabel l(nullptr);
  host.Hold(l);
  EXPECT_EQ(l.Alpha4(), (TAlpha4{0, 0, 0, 0}));
  l.SetHideBackground(false);
  EXPECT_EQ(l.Color4()[0] >> 24, 255u);
  l.SetHideBackground(true);
  EXPECT_EQ(l.Color4()[0] >> 24, 0u);
  l.SetTextSpeed(4);
  EXPECT_EQ(l.TextSpeedFrames(), 0);
  l.SetTextSpeed(9);
  EXPECT_EQ(l.TextSpeedFrames(), 0);
}

TEST(ButtonDrawing, APressedButtonDrawsTwoPixelsOffAndComesBack) {
  WidgetHost host;
  Screen screen(host);
  auto* b = new TVXButton(&screen.root);
  b->SetParent(&screen.root);
  b->Font.SetName("Fixed");
  b->SetBounds(100, 100, 80, 30);
  b->SetText("OK");
  int clicks = 0;
  b->OnClick = [&](TVXComponent*) { ++clicks; };
  EXPECT_EQ(b->Rows()[0].X, (80 - 16) / 2);

  screen.Move(120, 110);
  screen.Press(120, 110);
  host.Recorder.ClearCalls();
  screen.Frame();
  EXPECT_EQ(wtest::Summary(host.Recorder, host.FontImage()),
            (std::vector<std::string>{"Clip 100,100,180,130", "FillQuad 102,102,182,132", "Text 134,112 2",
                                      "Clip 0,0,800,600"}));
  EXPECT_EQ(b->Left(), 100);
  EXPECT_EQ(b->Top(), 100);
  // The press only draws: hits are the button's own rectangle, edges outside.
  EXPECT_EQ(screen.root.ControlAt(101, 101), b);
  EXPECT_EQ(screen.root.ControlAt(179, 129), b);
  for (auto [x, y] : {std::pair{100, 110}, {180, 110}, {181, 131}}) EXPECT_EQ(screen.root.ControlAt(x, y), nullptr);
  screen.Release(120, 110);
  EXPECT_EQ(clicks, 1);
  host.Recorder.ClearCalls();
  screen.Frame();
  EXPECT_EQ(host.Recorder.CallsOf("FillQuad")[0].Bounds(), (TGfxRect{100, 100, 180, 130}));

  // Pressed and released elsewhere: no click, and the button is back in place.
  screen.Press(120, 110);
  screen.Frame();
  screen.Release(500, 500);
  screen.Frame();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->PressedLeft());
  EXPECT_EQ(b->Left(), 100);
}
