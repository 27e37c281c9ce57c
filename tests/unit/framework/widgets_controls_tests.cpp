// Text entries under scripted and random key streams, the caret, password masks; check boxes
// and their texture names; the scrolling image; progress bar edge values; lines.
#include <random>

#include "widgets_fixture.h"

using wtest::Screen;
using wtest::WidgetHost;
using wtest::WidthOf;

namespace {

TVXEdit* MakeEdit(Screen& screen) {
  auto* e = new TVXEdit(&screen.root);
  e->SetParent(&screen.root);
  e->Font.SetName("Fixed");
  e->SetBounds(50, 50, 300, 20);
  e->SetName("EDT_NAME");
  return e;
}

}  // namespace

TEST(EditKeys, EditingKeysMoveAndDeleteWithinTheText) {
  WidgetHost host;
  Screen screen(host);
  TVXEdit* e = MakeEdit(screen);
  screen.Click(60, 60);
  ASSERT_TRUE(e->Focused());
  EXPECT_EQ(host.ActiveControl(), e);

  screen.Type("HI ");
  screen.Key(101);  // numpad 5
  EXPECT_EQ(e->Caption(), "HI 5");
  EXPECT_EQ(e->CursorPos(), 4);
  screen.Key(vkLeft);
  screen.Key(vkLeft);
  screen.Key(vkBack);
  EXPECT_EQ(e->Caption(), "H 5");
  EXPECT_EQ(e->CursorPos(), 1);
  screen.Key(vkDelete);
  EXPECT_EQ(e->Caption(), "H5");
  EXPECT_EQ(e->CursorPos(), 1);
  screen.Key(vkRight);
  screen.Key(vkRight);
  EXPECT_EQ(e->CursorPos(), 2);
  screen.Key(vkDelete);  // at the end: nothing
  EXPECT_EQ(e->Caption(), "H5");
  screen.Key(vkLeft);
  screen.Key(vkLeft);
  screen.Key(vkLeft);
  EXPECT_EQ(e->CursorPos(), 0);
  screen.Key(vkBack);  // at the start: nothing
  EXPECT_EQ(e->Caption(), "H5");
  screen.Key('X');
  EXPECT_EQ(e->Caption(), "XH5");
}

TEST(EditKeys, OnlyPrintableKeysInsertAndAConsumedKeyDoesNothing) {
  WidgetHost host;
  Screen screen(host);
  TVXEdit* e = MakeEdit(screen);
  e->SetFocused(true);
  for (uint16_t key : {16, 17, 18, 9, 13, 27, 20, 112, 123, 38, 40, 45, 36, 35, 186, 255, 0}) screen.Key(key);
  screen.Key('A', vx::ssCtrl);
  screen.Key('F', vx::ssAlt);
  EXPECT_EQ(e->Caption(), "");
  screen.Key('A', vx::ssShift);
  screen.Key('1', vx::ssShift);
  EXPECT_EQ(e->Caption(), "A1");
  EXPECT_EQ(TVXEdit::PrintableKey(96, 0), '0');
  EXPECT_EQ(TVXEdit::PrintableKey(105, 0), '9');
  EXPECT_EQ(TVXEdit::PrintableKey(106, 0), 0);

  std::vector<uint16_t> seen;
  e->OnKeyDown = [&](TVXComponent*, uint16_t& key, TShiftState) {
    seen.push_back(key);
    if (key == 'Q' || key == vkBack) key = 0;
  };
  screen.Key('Q');
  screen.Key(vkBack);
  screen.Key('Z');
  EXPECT_EQ(seen, (std::vector<uint16_t>{'Q', vkBack, 'Z'}));
  EXPECT_EQ(e->Caption(), "A1Z");
}

TEST(EditKeys, TheCursorStaysInsideTheTextWhateverChangesIt) {
  WidgetHost host;
  Screen screen(host);
  TVXEdit* e = MakeEdit(screen);
  e->SetFocused(true);
  screen.Type("HELLO");
  e->SetText("AB");  // shorter text from outside
  EXPECT_EQ(e->CursorPos(), 2);
  screen.Key(vkBack);
  EXPECT_EQ(e->Caption(), "A");
  e->SetCursorPos(-7);
  EXPECT_EQ(e->CursorPos(), 0);
  e->SetCursorPos(99);
  EXPECT_EQ(e->CursorPos(), 1);
}

TEST(EditKeys, RandomKeyStreamsMatchASimpleModel) {
  WidgetHost host;
  Screen screen(host);
  TVXEdit* e = MakeEdit(screen);
  e->SetFocused(true);
  std::mt19937 rng(77);
  std::string model;
  size_t cursor = 0;
  const uint16_t editing[] = {vkBack, vkLeft, vkRight, vkDelete};
  for (int i = 0; i < 20000; ++i) {
    const uint32_t pick = rng() % 10;
    uint16_t key = pick < 4 ? editing[pick] : static_cast<uint16_t>(rng() % 300);
    const TShiftState shift = static_cast<TShiftState>((rng() % 8 == 0) ? vx::ssCtrl : (rng() % 2) * vx::ssShift);
    if (rng() % 500 == 0) {
      // Outside changes: a new text of any length.
      std::string t(rng() % 12, 'Q');
      e->SetText(t);
      model = t;
      cursor = std::min(cursor, model.size());
      continue;
    }
    ASSERT_NO_THROW(screen.Key(key, shift));
    switch (key) {
      case vkBack:
        if (cursor > 0) model.erase(--cursor, 1);
        break;
      case vkLeft:
        if (cursor > 0) --cursor;
        break;
      case vkRight:
        if (cursor < model.size()) ++cursor;
        break;
      case vkDelete:
        if (cursor < model.size()) model.erase(cursor, 1);
        break;
      default:
        if (const char c = TVXEdit::PrintableKey(key, shift)) model.insert(cursor++, 1, c);
        break;
    }
    ASSERT_EQ(e->Caption(), model) << "step " << i;
    ASSERT_EQ(static_cast<size_t>(e->CursorPos()), cursor) << "step " << i;
    if (i % 97 == 0) screen.Frame();
  }
}

TEST(EditCaret, BlinksOnlyWhileFocusedAtTheCursor) {
  WidgetHost host;
  host.Caret = 3;
  Screen screen(host);
  TVXEdit* e = MakeEdit(screen);
  e->SetText("ABC");
  host.Recorder.ClearCalls();
  screen.Frame(10);
  EXPECT_TRUE(host.Recorder.CallsOf("Line").empty());

  e->SetFocused(true);
  e->SetCursorPos(2);
  std::string shown;
  for (int i = 0; i < 12; ++i) {
    host.Recorder.ClearCalls();
    screen.Frame();
    const auto lines = host.Recorder.CallsOf("Line");
    shown += lines.empty() ? '.' : '|';
    if (!lines.empty()) {
      ASSERT_EQ(lines.size(), 2u);
      const int32_t x = 50 + WidthOf("AB") + 1;
      EXPECT_EQ(lines[0].Points[0], (TGfxPoint{x, 51}));
      EXPECT_EQ(lines[0].Points[1], (TGfxPoint{x, 68}));
      EXPECT_EQ(lines[1].Points[0].X, x + 1);
    }
  }
  // The counter must exceed the period of 3: four frames per phase.
  EXPECT_EQ(shown, "...||||....|");
  e->SetFocused(false);
  host.Recorder.ClearCalls();
  screen.Frame();
  EXPECT_TRUE(host.Recorder.CallsOf("Line").empty());
}

TEST(EditMask, APasswordEntryShowsItsMaskAndKeepsItsText) {
  WidgetHost host;
  Screen screen(host);
  TVXEdit* e = MakeEdit(screen);
  e->SetFocused(true);
  e->SetPasswordChar('*');
  screen.Type("SECRET");
  EXPECT_EQ(e->Caption(), "SECRET");
  ASSERT_EQ(e->Rows().size(), 1u);
  EXPECT_EQ(e->Rows()[0].Text, "******");
  host.Recorder.ClearCalls();
  screen.Frame();
  EXPECT_EQ(wtest::DrawnTexts(host.Recorder, host.FontImage()), (std::vector<std::string>{"******"}));
  e->SetPasswordChar(0);
  EXPECT_EQ(e->Rows()[0].Text, "SECRET");
}

TEST(EditFocus, APressFocusesOnlyAnInteractiveEntry) {
  WidgetHost host;
  Screen screen(host);
  TVXEdit* a = MakeEdit(screen);
  auto* b = new TVXEdit(&screen.root);
  b->SetParent(&screen.root);
  b->SetBounds(50, 100, 300, 20);
  screen.Click(60, 60);
  EXPECT_TRUE(a->Focused());
  screen.Click(60, 110);
  EXPECT_TRUE(b->Focused());
  EXPECT_FALSE(a->Focused());
  a->Interactive = false;
  screen.Click(60, 60);
  EXPECT_TRUE(b->Focused());
  // Keys go to the focused entry only.
  screen.Type("K");
  EXPECT_EQ(b->Caption(), "K");
  EXPECT_EQ(a->Caption(), "");
}

TEST(CheckBox, CheckingNeverCorruptsTheTextureName) {
  WidgetHost host;
  Screen screen(host);
  auto* cb = new TVXCheckBox(&screen.root);
  cb->SetParent(&screen.root);
  cb->TextureInfo.SetName("CB_ALL");
  EXPECT_TRUE(cb->AutoSize());
  for (int i = 0; i < 5; ++i) {
    cb->SetChecked(true);
    EXPECT_EQ(cb->TextureInfo.Name(), "CB_ALL_checked");
    cb->SetChecked(true);
    EXPECT_EQ(cb->TextureInfo.Name(), "CB_ALL_checked");
    cb->SetChecked(false);
    EXPECT_EQ(cb->TextureInfo.Name(), "CB_ALL");
  }
  // The theme gives a new picture while checked: unchecking shows its plain form.
  cb->SetChecked(true);
  cb->TextureInfo.SetName("CB_SOUND");
  cb->SetChecked(false);
  EXPECT_EQ(cb->TextureInfo.Name(), "CB_SOUND");
  // A name shorter than the suffix is never cut.
  cb->TextureInfo.SetName("CB");
  cb->SetChecked(true);
  cb->SetChecked(false);
  EXPECT_EQ(cb->TextureInfo.Name(), "CB");
  // A name that already carries the suffix in another case loses it when unchecked.
  cb->TextureInfo.SetName("X_CHECKED");
  cb->SetChecked(true);
  EXPECT_EQ(cb->TextureInfo.Name(), "X_checked");
}

TEST(CheckBox, AReleaseTogglesAndTheCaptionSitsBesideTheBox) {
  WidgetHost host;
  Screen screen(host);
  auto* cb = new TVXCheckBox(&screen.root);
  cb->SetParent(&screen.root);
  cb->SetAutoSize(false);
  cb->SetBounds(100, 100, 20, 20);
  cb->SetCaption("SOUND");
  int clicks = 0;
  cb->OnClick = [&](TVXComponent*) { ++clicks; };
  screen.Click(110, 110);
  EXPECT_TRUE(cb->Checked());
  screen.Click(110, 110);
  EXPECT_FALSE(cb->Checked());
  EXPECT_EQ(clicks, 2);
  cb->Interactive = false;
  screen.Click(110, 110);
  EXPECT_FALSE(cb->Checked());
  EXPECT_EQ(clicks, 3);

  // The caption is not a child: it is drawn by the box, right of it and bottom-aligned.
  EXPECT_EQ(cb->ChildCount(), 0);
  TVXLabel* label = cb->CaptionLabel();
  EXPECT_EQ(label->Left(), 120);
  EXPECT_EQ(label->Width(), WidthOf("SOUND"));
  EXPECT_EQ(label->Height(), wtest::kGlyphHeight);
  EXPECT_EQ(label->Top(), 120 - wtest::kGlyphHeight);
  host.Recorder.ClearCalls();
  screen.Frame();
  EXPECT_EQ(wtest::DrawnTexts(host.Recorder, host.FontImage()), (std::vector<std::string>{"SOUND"}));
  EXPECT_EQ(host.Recorder.CallsOf("TextureMap")[0].Colours[0], 0xFFFFFFFFu);
  // Clicking the caption does nothing: it is not a hit target.
  screen.Click(130, 115);
  EXPECT_EQ(clicks, 3);
}

TEST(ScrollingImage, SlidesAtMostThirtyPixelsAndStopsExactlyOnItsItem) {
  WidgetHost host;
  TVXScrollingImage img(nullptr);
  host.Hold(img);
  img.SetBounds(0, 100, 50, 50);
  img.ItemHeight = 50;
  EXPECT_TRUE(img.ClipToBounds);
  EXPECT_EQ(img.Position(), 1);
  img.SetPosition(3);  // 100 pixels up
  std::vector<int32_t> tops;
  for (int i = 0; i < 6; ++i) {
    img.Process();
    tops.push_back(img.DrawTop);
  }
  EXPECT_EQ(tops, (std::vector<int32_t>{70, 40, 10, 0, 0, 0}));

  // Moving the control mid-slide moves the target along.
  img.SetPosition(1);
  img.Process();
  EXPECT_EQ(img.DrawTop, 30);
  img.SetTop(110);
  EXPECT_EQ(img.TargetDrawTop(), 110);
  for (int i = 0; i < 5; ++i) img.Process();
  EXPECT_EQ(img.DrawTop, 110);
  // Far positions do not overflow.
  img.SetPosition(INT32_MAX);
  img.Process();
  EXPECT_EQ(img.DrawTop, 80);
}

TEST(ProgressBar, EdgeValuesStayWithinTheBar) {
  WidgetHost host;
  TVXProgressBar pb(nullptr);
  host.Hold(pb);
  pb.SetBounds(10, 10, 202, 12);
  EXPECT_EQ(pb.Min(), 1);
  EXPECT_EQ(pb.Max(), 100);
  pb.SetPosition(50);
  EXPECT_EQ(pb.Percent(), 50);
  EXPECT_EQ(pb.BarWidth(), 100);
  pb.SetPosition(100);  // 100 * 100 div 99 = 101, kept at 100
  EXPECT_EQ(pb.Percent(), 100);
  EXPECT_EQ(pb.BarWidth(), 200);
  pb.SetPosition(-20);
  EXPECT_EQ(pb.Percent(), 0);
  EXPECT_EQ(pb.BarWidth(), 0);
  pb.SetPosition(INT32_MAX);
  EXPECT_EQ(pb.Percent(), 100);
  pb.SetPosition(INT32_MIN);
  EXPECT_EQ(pb.Percent(), 0);

  // Max = Min divides nothing and keeps the last values.
  pb.SetPosition(25);
  EXPECT_EQ(pb.Percent(), 25);
  pb.SetMax(1);
  EXPECT_EQ(pb.Percent(), 25);
  pb.SetPosition(1);
  EXPECT_EQ(pb.Percent(), 25);
  // Max below Min gives an empty bar.
  pb.SetMin(10);
  pb.SetMax(0);
  pb.SetPosition(5);
  EXPECT_EQ(pb.Percent(), 0);

  // Later range and width changes are followed.
  pb.SetMin(0);
  pb.SetMax(10);
  EXPECT_EQ(pb.Percent(), 50);
  pb.SetWidth(102);
  EXPECT_EQ(pb.BarWidth(), 50);
  pb.SetWidth(1);
  EXPECT_EQ(pb.BarWidth(), 0);

  pb.SetWidth(102);
  host.Recorder.ClearCalls();
  pb.Process();
  const auto fills = host.Recorder.CallsOf("FillQuad");
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(fills[1].Bounds(), (TGfxRect{11, 11, 61, 21}));
  EXPECT_EQ(fills[1].Colours[0], 0xFFFF0000u);
  EXPECT_EQ(fills[1].Effect, 4);
}

TEST(Line, DrawsFromItsCornerToItsEndPoint) {
  WidgetHost host;
  TVXLine line(nullptr);
  host.Hold(line);
  line.SetColor4(TColor4{0x11, 0x22, 0x33, 0x44});
  line.SetPoints(5, 6, 70, 80);
  host.Recorder.ClearCalls();
  line.Process();
  ASSERT_EQ(host.Recorder.Calls.size(), 1u);
  const auto& c = host.Recorder.Calls[0];
  EXPECT_EQ(c.Op, "Line");
  EXPECT_EQ(c.Points[0], (TGfxPoint{5, 6}));
  EXPECT_EQ(c.Points[1], (TGfxPoint{70, 80}));
  EXPECT_EQ(c.Colours[0], 0xFF000011u);
  EXPECT_EQ(c.Colours[1], 0xFF000022u);
  EXPECT_EQ(c.Effect, 0);
}
