// The lobby's and the menu bar's texts laid out in the game's own fonts and themes: every
// hint fits the menu bar's hint line on one row, and every game's title and description fit
// the preview whole.
#include <gtest/gtest.h>

#include "framework/VXListBox.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby_rig.h"
#include "platform/Files.h"
#include "tools/datagen/Generator.h"

using lobbytest::LobbyRig;

namespace {

struct TextRig {
  TextRig() {
    const std::string archive = rig.dir.File("fonts.vxr");
    EXPECT_TRUE(vx::WriteFileAtomic(archive, vx::datagen::PackArchive(vx::datagen::BuildFontRecords())));
    rig.ToolkitHost().LoadFonts(archive);
    rig.SignIn("Ann", 1000);
    rig.State.Navigation = &nav;
    room = std::make_unique<TMainRoom>(rig.State);
    rig.State.MainRoom = room.get();
    room->Show();
  }
  ~TextRig() {
    room.reset();
    rig.State.MainRoom = nullptr;
    rig.State.Navigation = nullptr;
  }
  LobbyRig rig;
  TNavigation nav{rig.State};
  std::unique_ptr<TMainRoom> room;
};

// Whether the label shows the whole text: every row within its width, all rows within its height.
std::string Overflow(const TVXLabel* label, size_t maxRows) {
  if (label->Rows().empty()) return "nothing laid out";
  if (label->Rows().size() > maxRows) return std::to_string(label->Rows().size()) + " rows";
  if (label->TextWidth() > label->Width()) return "width " + std::to_string(label->TextWidth());
  if (label->TextHeight() > label->Height() - 2) return "height " + std::to_string(label->TextHeight());
  return "";
}

void CollectHints(const TVXCustomControl* c, std::vector<std::string>& hints) {
  if (const auto* control = dynamic_cast<const TVXControl*>(c); control != nullptr && !control->Hint.empty())
    hints.push_back(control->Hint);
  for (int32_t i = 0; i < c->ChildCount(); ++i) CollectHints(c->GetChild(i), hints);
}

}  // namespace

TEST(LobbyTexts, EveryHintFitsTheHintLineOnOneRow) {
  TextRig t;
  std::vector<std::string> hints;
  CollectHints(t.room->Scene(), hints);
  CollectHints(t.nav.Scene(), hints);
  EXPECT_GE(hints.size(), 5u);
  // Coming from afar onto a button, only the button takes the pointer (the frame behind the
  // lobby's buttons would take it after the button and clear its hint).
  TMainRoomScene* scene = t.room->Scene();
  t.rig.MoveTo(400, 300);
  t.rig.MoveTo(scene->BtnProfile->Left() + 5, scene->BtnProfile->Top() + 5);
  EXPECT_TRUE(scene->BtnProfile->Hovered());
  EXPECT_FALSE(scene->MemoInfo->Hovered());
  TVXLabel* line = t.nav.Scene()->LblHint;
  for (const std::string& hint : hints) {
    t.nav.ShowHint(hint);
    EXPECT_EQ(Overflow(line, 1), "") << hint;
  }
}

TEST(LobbyTexts, EveryGamesTitleAndDescriptionFitThePreview) {
  TextRig t;
  TMainRoomScene* scene = t.room->Scene();
  for (const auto& game : scene->Games()) {
    t.room->PreviewGame(game.Logo);
    EXPECT_EQ(scene->LblGameDescription->Caption(), game.Info->Description);
    EXPECT_EQ(Overflow(scene->LblGameTitle, 2), "") << game.Info->Title;
    EXPECT_EQ(Overflow(scene->LblGameDescription, 99), "") << game.Info->Title;
    // Both lie inside the preview's information panel.
    for (const TVXCustomControl* c : {static_cast<TVXCustomControl*>(scene->LblGameTitle), static_cast<TVXCustomControl*>(scene->LblGameDescription)})
      EXPECT_LE(c->Top() + c->Height(), scene->PnlGamePreviewInfo->Top() + scene->PnlGamePreviewInfo->Height()) << c->Name();
  }
}
