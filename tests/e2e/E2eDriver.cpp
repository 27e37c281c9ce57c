#include "E2eDriver.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/LobbyProgram.h"
#include "core/StrUtils.h"
#include "framework/VXControl.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXProfileForm.h"
#include "platform/MessagePump.h"

namespace fs = std::filesystem;

namespace vxe2e {

fs::path LayOutProgram(const vxtest::TempDir& dir, bool writableCasinos) {
  const fs::path program = dir.Path() / "program";
  fs::create_directories(program);
  for (const char* sub : {"Data", "Sounds", "Help", "Casinos"}) {
    const fs::path source = fs::path(VX_PROGRAM_DIR) / sub;
    if (!fs::exists(source)) continue;
    if (writableCasinos && std::string(sub) == "Casinos") {
      fs::copy(source, program / sub, fs::copy_options::recursive);
      // A game played by hand from the build's own folder leaves statistics and game data
      // there; every run starts from the casinos as generated.
      std::vector<fs::path> played;
      for (const auto& entry : fs::recursive_directory_iterator(program / sub)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && (name == "casino.xml" || (name.rfind("VXG_", 0) == 0 && entry.path().extension() == ".dat")))
          played.push_back(entry.path());
      }
      for (const fs::path& file : played) fs::remove(file);
    } else
      fs::create_directory_symlink(source, program / sub);
  }
  return program;
}

void FrameClock::Drive() {
  vx::MessagePump& pump = vx::MainPump();
  wallUs_ = wall_.Counter() / 1000;
  pump.OnIdle = [this, idle = pump.OnIdle](bool& done) {
    const uint64_t now = wall_.Counter() / 1000;
    clock_.AdvanceUs(std::max(kFrameUs, now - wallUs_));
    wallUs_ = now;
    if (idle) idle(done);
  };
}

std::vector<int32_t> MachinesToPlay(const char* variable, const std::vector<int32_t>& all) {
  const char* env = std::getenv(variable);
  if (env == nullptr || *env == 0) return all;
  std::vector<int32_t> ids;
  for (const std::string& part : vx::Split(env, ',')) {
    const auto id = vx::TryStrToInt(vx::Trim(part));
    if (id) ids.push_back(*id);
    else ADD_FAILURE() << variable << ": \"" << part << "\" is not a game id";
  }
  return ids;
}

int64_t NumberIn(const std::string& text, size_t from, size_t to, const std::string& tag) {
  const size_t open = text.find("<" + tag + ">", from);
  if (open == std::string::npos || open >= to) return -1;
  const size_t start = open + tag.size() + 2;
  const auto v = vx::TryStrToInt64(text.substr(start, text.find('<', start) - start));
  return v ? *v : -1;
}

CasinoRecord ReadCasinoRecord(const std::string& casinoXml, const std::string& idStr) {
  CasinoRecord r;
  const size_t name = casinoXml.find("<GameIDStr>" + idStr + "</GameIDStr>");
  if (name == std::string::npos) return r;
  // Elements are written in name order: the record starts before its id.
  const size_t start = casinoXml.rfind("<GameStatictics>", name);
  const size_t end = casinoXml.find("</GameStatictics>", name);
  if (start == std::string::npos || end == std::string::npos) return r;
  r.Found = true;
  r.CreditIn = NumberIn(casinoXml, start, end, "CreditIn");
  r.CreditOut = NumberIn(casinoXml, start, end, "CreditOut");
  for (size_t at = casinoXml.find("<Value>", start); at != std::string::npos && at < end;
       at = casinoXml.find("<Value>", at + 1))
    r.Hands += NumberIn(casinoXml, at, end, "Value");
  return r;
}

int64_t PlayerBank(const fs::path& program, const std::string& name) {
  const std::string players = vxtest::TempDir::ReadFile((program / "Players" / "players.xml").string());
  const size_t named = players.find("<PlayerName>" + name + "</PlayerName>");
  const size_t me = named == std::string::npos ? named : players.rfind("<VXPlayer>", named);
  const int64_t bank = me == std::string::npos ? -1 : NumberIn(players, me, players.find("</VXPlayer>", me), "Bank");
  EXPECT_GE(bank, 0) << players;
  return bank;
}

namespace {
void Push(SDL_Event e) { SDL_PushEvent(&e); }
}  // namespace

void PushMove(uint32_t window, int x, int y) {
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.windowID = window;
  move.motion.x = x;
  move.motion.y = y;
  Push(move);
}

namespace {
SDL_Event Button(uint32_t window, int x, int y, bool pressed) {
  SDL_Event e{};
  e.type = pressed ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = window;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = pressed ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  return e;
}
int MidX(const TVXCustomControl* c) { return c->Left() + c->Width() / 2; }
int MidY(const TVXCustomControl* c) { return c->Top() + c->Height() / 2; }
}  // namespace

void PushClick(uint32_t window, int x, int y) {
  PushMove(window, x, y);
  PushClickInPlace(window, x, y);
}

void PushClickInPlace(uint32_t window, int x, int y) {
  Push(Button(window, x, y, true));
  Push(Button(window, x, y, false));
}

void PushPress(uint32_t window, const TVXCustomControl* c) {
  PushMove(window, MidX(c), MidY(c));
  Push(Button(window, MidX(c), MidY(c), true));
}

void PushRelease(uint32_t window, const TVXCustomControl* c) { Push(Button(window, MidX(c), MidY(c), false)); }

void PushClick(uint32_t window, const TVXCustomControl* c) { PushClick(window, MidX(c), MidY(c)); }

void PushText(uint32_t window, const std::string& text) {
  for (char ch : text) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = window;
    key.key.state = SDL_PRESSED;
    if (ch >= 'A' && ch <= 'Z') {
      key.key.keysym.sym = 'a' + (ch - 'A');
      key.key.keysym.scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (ch - 'A'));
    } else {
      key.key.keysym.sym = ch;
      key.key.keysym.scancode = ch == '0' ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (ch - '1'));
    }
    Push(key);
    SDL_Event up = key;
    up.type = SDL_KEYUP;
    up.key.state = SDL_RELEASED;
    Push(up);
  }
}

void PushQuit() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
}

uint64_t Frames() { return vx::MainPump().Statistics().idlePasses; }

TVXLobbyState& LobbyOf(TfrmMain& form) {
  auto* program = dynamic_cast<TVXLobbyProgram*>(form.Lobby());
  if (program == nullptr) {
    ADD_FAILURE() << "the window runs no program lobby layer";
    std::abort();
  }
  return program->State();
}

vxtest::Shot Screenshot(TfrmMain& form) {
  vxtest::Shot shot;
  if (form.Engine->Device()->ReadFrame(shot.Pixels, shot.Width, shot.Height) != 0) return {};
  for (uint32_t& p : shot.Pixels) p &= 0xFFFFFFu;
  return shot;
}

TfrmMainOptions ProgramOptions(const std::filesystem::path& program, const vxtest::TempDir& dir,
                               bool developerMode) {
  vx::MainPump().ResetForTests();
  TfrmMainOptions options;
  options.ProgramFolder = program.string() + "/";
  options.DeveloperMode = developerMode;
  options.DebugLogFile = dir.File("debug.log");
  return options;
}

void PushNewPlayer(uint32_t window, const TfrmProfile* profile, const std::string& name, const std::string& password) {
  PushClick(window, profile->EdtUserName);
  PushText(window, name);
  PushClick(window, profile->EdtPassword);
  PushText(window, password);
  PushClick(window, profile->EdtPassword2);
  PushText(window, password);
  PushClick(window, profile->BtnClose);
}

SignUpFlow::SignUpFlow(TfrmMain& form, std::string name, std::string password)
    : form_(form), window_(form.Window()->WindowId()), name_(std::move(name)), password_(std::move(password)) {}

void SignUpFlow::Act(const TVXCustomControl* c, uint64_t settle) {
  PushClick(window_, c);
  quietUntil_ = Frames() + settle;
}

bool SignUpFlow::Step() {
  if (stage_ == Finished) return true;
  if (Frames() < quietUntil_) return false;
  auto* box = Input<TframeMessage>(form_);
  switch (stage_) {
    case Intro:
      if (form_.GetAnim(0) != nullptr) {
        PushClick(window_, 400, 300);
        quietUntil_ = Frames() + 20;
      }
      if (Input<TfrmLogin>(form_) != nullptr) stage_ = Login;
      return false;
    case Login:
      Act(Input<TfrmLogin>(form_)->BtnNewPlayer, 30);
      stage_ = Profile;
      return false;
    case Profile: {
      auto* p = Input<TfrmProfile>(form_);
      if (p == nullptr) return false;
      PushNewPlayer(window_, p, name_, password_);
      quietUntil_ = Frames() + 20;
      stage_ = Created;
      return false;
    }
    case Created:
      if (box == nullptr) return false;
      confirmation_ = box->MessageLabel->Caption();
      Act(box->OkButton, 20);
      stage_ = SignIn;
      return false;
    case SignIn:
      if (Input<TfrmLogin>(form_) == nullptr || box != nullptr) return false;
      Act(Input<TfrmLogin>(form_)->BtnLogin, 40);
      stage_ = Finished;
      return true;
    case Finished:
      return true;
  }
  return false;
}

}  // namespace vxe2e
