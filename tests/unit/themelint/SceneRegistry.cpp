// Every scene and dialog of the program, for the theme linter.
//
// To add a screen, add one line to Scenes(): a label, and a factory that builds the screen the
// way the program builds it (owner, data, state), themes it as the program does and returns
// it. Whatever else the factory creates goes through ctx.Own so it is freed after the lint.
// A screen whose art another task is still drawing names a resource of that art in AwaitsArt:
// the entry is linted as soon as the program folder has it.
#include "SceneRegistry.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "LintWorld.h"
#include "framework/VXApplication.h"
#include "framework/VXFrame.h"
#include "framework/VXSettings.h"
#include "games/GameManager.h"
#include "games/Poker.h"
#include "games/Slots.h"
#include "games/VXGame.h"
#include "framework/VXWidgets.h"
#include "lobby/VXCasino.h"
#include "lobby/VXCity.h"
#include "lobby/VXAboutForm.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXHelpForm.h"
#include "lobby/VXHighScoreForm.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"
#include "lobby/VXStatisticsForm.h"

namespace themelint {

LintContext::LintContext(LintWorld& world) : World(world) {}

LintContext::~LintContext() { Release(); }

TVXComponent* LintContext::Root() { return World.MainScene(); }

std::string LintContext::CasinoName() { return World.Context().CasinoName(); }

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

TVXCasino* LintContext::Casino() {
  if (!casino_)
    casino_ = std::make_unique<TVXCasino>(TVXCity::DefaultCasino, World.Settings().CasinosFolder, World.Catalogue());
  if (casino_->GameCount() == 0) throw std::runtime_error(std::string("no games in the casino ") + TVXCity::DefaultCasino);
  return casino_.get();
}

namespace {

using Ctx = LintContext;

// A video-poker game as the lobby enters it: the game builds its screen with its card set and
// first state, then the lobby themes the screen.
SceneEntry Poker(int32_t id) {
  return {"video poker, game " + std::to_string(id),
          [id](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TPoker(ctx.Game(id), &ctx.World.Context(), nullptr))->Scene); }};
}

// The same screen built as with particle effects on (the settings switch them off at every
// load, so only this entry sees the particle systems' sections).
SceneEntry WithParticles(SceneEntry entry) {
  auto make = entry.Make;
  entry.Label += ", particle effects on";
  entry.Make = [make](Ctx& ctx) -> TVXScene* {
    TVXSetting& settings = ctx.World.Settings();
    settings.optParticleEffects = true;
    struct Restore {
      TVXSetting& s;
      ~Restore() { s.optParticleEffects = false; }
    } restore{settings};
    return make(ctx);
  };
  return entry;
}

// A slot machine as the lobby enters it.
SceneEntry Slots(int32_t id) {
  return {"slot machine, game " + std::to_string(id),
          [id](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TSlots(ctx.Game(id), &ctx.World.Context(), nullptr))->Scene); }};
}

}  // namespace

const std::vector<SceneEntry>& Scenes() {
  static const std::vector<SceneEntry> scenes = {
      // The dialog frame as built before a dialog renames it: the chrome on the "COMMON" theme.
      {"dialog frame", [](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TVXFrame(ctx.Root()))); }},
      // Dialogs theme themselves at the end of their constructors.
      {"message box, every button",
       [](Ctx& ctx) -> TVXScene* {
         return ctx.Own(new TframeMessage(ctx.Root(), 0, mbYes | mbNo | mbOK | mbCancel, mkConfirmation,
                                          "Are you sure you want to sign-out?"));
       }},
      {"login dialog",
       [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TfrmLogin(ctx.Root(), ctx.Players(false), &ctx.World.Settings())); }},
      {"profile dialog, new player",
       [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TfrmProfile(ctx.Root(), ctx.Players(false), &ctx.World.Settings())); }},
      {"profile dialog, signed-in player",
       [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TfrmProfile(ctx.Root(), ctx.Players(true), &ctx.World.Settings())); }},
      {"credit dialog",
       [](Ctx& ctx) -> TVXScene* {
         return ctx.Own(new TfrmCredit(ctx.Root(), ctx.Players(true), TVXCreditGame{nullptr, ctx.Game(1), {}}));
       }},
      {"options dialog",
       [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TfrmOptions(ctx.Root(), ctx.World.Settings(), nullptr, {})); }},
      {"statistics dialog",
       [](Ctx& ctx) -> TVXScene* {
         return ctx.Own(new TfrmStatistics(ctx.Root(), ctx.Players(true), ctx.Casino(), nullptr));
       }},
      {"about dialog", [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TfrmAbout(ctx.Root(), nullptr)); }},
      {"help dialog, program folder's index",
       [](Ctx& ctx) -> TVXScene* {
         return ctx.Own(new TfrmHelp(ctx.Root(), ctx.World.Settings().ProgramFolder));
       }},
      {"hall of fame",
       [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TfrmHighScore(ctx.Root(), ctx.Players(true), nullptr)); }},
      // The lobby's screens.
      {"main room",
       [](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TMainRoomScene(ctx.Root(), ctx.Casino()))); }},
      {"menu bar", [](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TNavigationScene(ctx.Root()))); }},
      {"loading screen", [](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TLoaderScene(ctx.Root()))); }},
      // The intro's fade scene reads no theme: its picture and its black panel are checked.
      {"intro", [](Ctx& ctx) -> TVXScene* { return ctx.Own(new TAnimIntro(&ctx.World.Context()))->FadeScene; }},
      // The games.
      Poker(1), Poker(2), Poker(3), Poker(4), Poker(5), Poker(6),
      Poker(10), Poker(11), Poker(12), Poker(13), Poker(14), Poker(15),
      // One machine of each poker screen and the lobby with their particle systems.
      WithParticles({"main room",
                     [](Ctx& ctx) -> TVXScene* { return ctx.Themed(ctx.Own(new TMainRoomScene(ctx.Root(), ctx.Casino()))); }}),
      WithParticles(Poker(1)), WithParticles(Poker(3)), WithParticles(Poker(5)),
      WithParticles(Poker(10)), WithParticles(Poker(12)), WithParticles(Poker(14)),
      Slots(31), Slots(32), Slots(33), Slots(34),
  };
  return scenes;
}

const std::vector<Exemption>& Exemptions() {
  // Each entry: which controls are placed or styled without a section of their own, and why.
  // Keep the reason concrete: a control on this list is never checked for a missing section.
  static const std::vector<Exemption> exemptions = {
      {[](const TVXScene& scene, const TVXCustomControl& control) {
         const auto* game = dynamic_cast<const TVXGameScene*>(&scene);
         if (game == nullptr) return false;
         return std::any_of(std::begin(game->ImgCustom), std::end(game->ImgCustom),
                            [&](const TVXImage* image) { return image == &control; });
       },
       "a game screen's three custom pictures are optional decorations: a theme that wants one gives it a section and "
       "a picture; without, they stay 0x0 and draw nothing"},
  };
  return exemptions;
}

const std::vector<KnownFault>& KnownFaults() {
  static const std::vector<KnownFault> faults = {};
  return faults;
}

}  // namespace themelint
