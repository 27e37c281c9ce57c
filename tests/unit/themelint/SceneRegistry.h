#pragma once
// Every scene and dialog the program has, as the theme linter builds them. Adding a screen is
// one line in SceneRegistry.cpp: a label and a factory that builds it the way the program
// does (its constructor themes it).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ThemeLint.h"

class TGameInfo;
class TVXCasino;
class TVXComponent;
class TVXPlayers;
class TVXScene;

namespace themelint {

class LintWorld;

// What a factory may use. Everything it hands to Own is freed, last first, once the scene
// has been linted.
class LintContext {
public:
  explicit LintContext(LintWorld& world);
  ~LintContext();
  LintContext(const LintContext&) = delete;
  LintContext& operator=(const LintContext&) = delete;

  LintWorld& World;
  // The root scene, which owns dialogs in the program.
  TVXComponent* Root();
  // The players, with "Lint" (password "lint") signed in or nobody signed in.
  TVXPlayers& Players(bool signedIn);
  // The catalogue entry of a game id (the test fails on an unknown id).
  TGameInfo* Game(int32_t id);
  // The casino the city enters, read from the program folder (never saved).
  TVXCasino* Casino();
  // Themes the scene as the program does once it is built, and returns it.
  template <class S>
  S* Themed(S* scene) {
    scene->LoadTheme(CasinoName());
    return scene;
  }

  template <class T>
  T* Own(T* object) {
    owned_.push_back(std::shared_ptr<void>(object, [](void* p) { delete static_cast<T*>(p); }));
    return object;
  }
  void Release() {
    while (!owned_.empty()) owned_.pop_back();
  }

private:
  std::string CasinoName();
  std::vector<std::shared_ptr<void>> owned_;
  std::unique_ptr<TVXCasino> casino_;
};

struct SceneEntry {
  std::string Label;
  std::function<TVXScene*(LintContext&)> Make;
  // A resource ("MAINROOM\theme.scn") that the screen's art, still being made by its owner,
  // will bring: while the program folder lacks it the entry is skipped (and says so); from
  // then on it is linted like every other. Empty: always linted.
  std::string AwaitsArt = {};
};

const std::vector<SceneEntry>& Scenes();
// Controls meant to have no section in their theme, each with why.
const std::vector<Exemption>& Exemptions();
// Faults found in other tasks' code or art, reported and waiting for their fix.
const std::vector<KnownFault>& KnownFaults();

struct LintRun {
  std::vector<Finding> Findings;
  // Entries skipped because their art does not exist yet.
  std::vector<std::string> Waiting;
  int32_t ScenesLinted = 0;
  int32_t ControlsLinted = 0;
};
// Builds every entry in the world, one at a time, and lints it; an "ERROR: " logged while a
// scene is built is a finding of that scene. `themeKeys` are the theme files that some entry
// must read.
LintRun LintScenes(LintWorld& world, const std::vector<SceneEntry>& entries, const std::vector<Exemption>& exemptions,
                   const std::vector<std::string>& themeKeys);

}  // namespace themelint
