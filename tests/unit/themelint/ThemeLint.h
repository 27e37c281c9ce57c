#pragma once
// The theme linter: looks at a scene built in code, styled by its theme file through the real
// resource manager, and reports what a player would see go wrong: a control without its
// section, a key the theme reader does not know (a typo silently does nothing), a value the
// reader cannot take, a picture that does not resolve (the control then draws an opaque
// colour box), a font that is not baked, and a control that leaves the 800x600 screen.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/VXThemeKeys.h"

class TVXControl;
class TVXCustomControl;
class TVXResourceManager;
class TVXScene;

namespace themelint {

struct Finding {
  std::string Scene;    // the registered scene ("message box")
  std::string Control;  // control name or theme section; empty for the file as a whole
  std::string Key;      // theme key, picture key or font name; may be empty
  std::string File;     // theme file as the resource manager names it ("DIALOGS\theme.scn")
  std::string Problem;
  std::string ToString() const;
};

// A control that is meant to have no section in its theme file, with the reason.
struct Exemption {
  std::function<bool(const TVXScene& scene, const TVXCustomControl& control)> Applies;
  std::string Reason;
};

// A fault the linter finds in code or art that another task owns, reported to its owner and
// waiting for the fix: matching findings are listed, not failed. One that no longer occurs
// must leave the list.
struct KnownFault {
  std::string Scene;    // the label of the registered scene, or "*"
  std::string Control;  // exact control name, or a prefix ending in "*"
  std::string Words;    // words of the problem text
  std::string Owner;    // who was told, and what the fix is
  bool Matches(const Finding& finding) const;
};

// The key of the control's theme class or of its effect records, or nullptr when the reader
// never reads it there.
const TVXThemeKey* FindKey(const TVXControl& control, const std::string& key);
// Why the value cannot be what the key asks for (empty when it is fine).
std::string CheckValue(const TVXThemeKey& key, const std::string& value);
// Problems of the file's text that the reader passes over in silence: lines outside any
// section, lines that are no key=value pair, a section or key given twice (only the first
// counts). Each problem is "line N: ...".
std::vector<std::string> ScanThemeText(const std::string& text);

// The font records of an archive, as engine font names ("ArialBold" for "ArialBold.font").
std::vector<std::string> FontNames(TVXResourceManager& resources);

class Linter {
public:
  static constexpr int32_t ScreenWidth = 800;
  static constexpr int32_t ScreenHeight = 600;

  Linter(TVXResourceManager& resources, std::vector<std::string> fontNames, std::vector<Exemption> exemptions);

  // Lints one built and themed scene; `label` names it in the findings.
  void LintScene(const std::string& label, TVXScene& scene);
  // After every scene: sections that no linted scene has a control for, and theme files that
  // no linted scene reads (`themeKeys`: every "<SCENE>\theme.scn" the program folder holds).
  void Finish(const std::vector<std::string>& themeKeys);

  const std::vector<Finding>& Findings() const { return findings_; }
  // The theme files the linted scenes read.
  std::vector<std::string> ThemesRead() const;
  // How much was looked at, so that a run that checked nothing shows.
  int32_t ScenesLinted() const { return scenes_; }
  int32_t ControlsLinted() const { return controls_; }

private:
  void Add(const std::string& scene, const std::string& control, const std::string& key, const std::string& file,
           const std::string& problem);
  void CheckSections(const std::string& label, TVXScene& scene, const std::string& file);
  void CheckTextures(const std::string& label, TVXScene& scene, const std::string& file);
  void CheckGeometry(const std::string& label, TVXScene& scene, const std::string& file);
  bool FontExists(const std::string& name) const;
  bool Exempt(const TVXScene& scene, const TVXCustomControl& control) const;

  TVXResourceManager& resources_;
  std::vector<std::string> fontNames_;
  std::vector<Exemption> exemptions_;
  std::vector<Finding> findings_;
  // Theme file -> the upper-cased names of the controls of every scene that read it, and the
  // first scene label that did.
  std::map<std::string, std::set<std::string>> controlsOfTheme_;
  std::map<std::string, std::string> firstReader_;
  std::set<std::string> unlistedClasses_;
  int32_t scenes_ = 0;
  int32_t controls_ = 0;
};

// Every "<SCENE>\theme.scn" of the program: the data archive's records and the loose files of
// the pak folder.
std::vector<std::string> ThemeKeysOf(TVXResourceManager& resources);

}  // namespace themelint
