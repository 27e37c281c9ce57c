// Every scene and dialog of the program, for the theme linter.
//
// To add a screen, add one line to Scenes(): a label, and a factory that builds the screen
// the way the program builds it (owner, data, state), returning the scene. Whatever else the
// factory creates goes through ctx.Own so it is freed after the lint. A screen whose theme and
// art another task still makes is registered with AwaitsTheme = true: it is linted as soon as
// its theme file exists.
#include "SceneRegistry.h"

#include <stdexcept>

#include "LintWorld.h"
#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXFrame.h"
#include "framework/VXSettings.h"
#include "games/GameManager.h"
#include "games/Poker.h"
#include "lobby/VXCasino.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"

namespace themelint {

TVXComponent* LintContext::Root() { return World.MainScene(); }

TVXPlayers& LintContext::Players(bool signedIn) {
  TVXPlayers& players = World.Players();
  if (!players.PlayerExists("Lint") && !players.AddPlayer("Lint", "lint", "Linus", "Lintner", 2))
    throw std::runtime_error("cannot add the player \"Lint\"");
  if (signedIn)
    players.Login("Lint", "lint");
  else
    players.Logout();
  return players;
}

TGameInfo* LintContext::Game(int32_t id) {
  TGameInfo* info = World.Catalogue().FindGameByID(id);
  if (info == nullptr) throw std::runtime_error("no game " + std::to_string(id) + " in the catalogue");
  return info;
}

namespace {

// A video-poker game as the lobby enters it: the game builds its screen, sets its card set
// and shows its first state.
SceneEntry Poker(int32_t id) {
  return {"video poker, game " + std::to_string(id),
          [id](LintContext& ctx) -> TVXScene* { return ctx.Own(new TPoker(ctx.Game(id)))->Scene; }, true};
}

}  // namespace

const std::vector<SceneEntry>& Scenes() {
  static const std::vector<SceneEntry> scenes = {
      // The dialog frame as built before a dialog renames it: the chrome on the "COMMON" theme.
      {"dialog frame",
       [](LintContext& ctx) -> TVXScene* {
         auto* frame = ctx.Own(new TVXFrame(ctx.Root()));
         frame->LoadTheme(vx::CurrentCasinoName());
         return frame;
       }},
      {"message box, every button",
       [](LintContext& ctx) -> TVXScene* {
         return ctx.Own(new TframeMessage(ctx.Root(), 0, mbYes | mbNo | mbOK | mbCancel, mkConfirmation,
                                          "Are you sure you want to sign-out?"));
       }},
      {"login dialog",
       [](LintContext& ctx) -> TVXScene* {
         return ctx.Own(new TfrmLogin(ctx.Root(), ctx.Players(false), vx::Settings()));
       }},
      {"profile dialog, new player",
       [](LintContext& ctx) -> TVXScene* {
         return ctx.Own(new TfrmProfile(ctx.Root(), ctx.Players(false), vx::Settings()));
       }},
      {"profile dialog, signed-in player",
       [](LintContext& ctx) -> TVXScene* {
         return ctx.Own(new TfrmProfile(ctx.Root(), ctx.Players(true), vx::Settings()));
       }},
      {"credit dialog",
       [](LintContext& ctx) -> TVXScene* {
         return ctx.Own(new TfrmCredit(ctx.Root(), ctx.Players(true), TVXCreditGame{nullptr, ctx.Game(1), {}}));
       }},
      // The lobby of the default casino, themed as its Show themes it.
      {"lobby",
       [](LintContext& ctx) -> TVXScene* {
         auto* casino = ctx.Own(new TVXCasino("VideoPokerCasino", vx::Settings()->CasinosFolder, ctx.World.Catalogue()));
         auto* scene = ctx.Own(new TMainRoomScene(nullptr, casino));
         scene->LoadTheme(vx::CurrentCasinoName());
         return scene;
       }},
      {"menu bar", [](LintContext& ctx) -> TVXScene* { return ctx.Own(new TNavigation())->Scene(); }},
      {"loading screen",
       [](LintContext& ctx) -> TVXScene* {
         TLoaderScene* scene = ctx.Own(new TLoader())->Scene();
         scene->LoadTheme(vx::CurrentCasinoName());
         return scene;
       }},
      Poker(1), Poker(2), Poker(3), Poker(4), Poker(5), Poker(6),
      Poker(10), Poker(11), Poker(12), Poker(13), Poker(14), Poker(15),
  };
  return scenes;
}

const std::vector<Exemption>& Exemptions() {
  // Each entry: which controls (by scene and name) are placed or styled without a section of
  // their own, and why. Keep the reason concrete: a control on this list is never checked
  // for a missing section again.
  static const std::vector<Exemption> exemptions = {};
  return exemptions;
}

}  // namespace themelint
