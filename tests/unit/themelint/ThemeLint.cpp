#include "ThemeLint.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "core/StrUtils.h"
#include "framework/VXControl.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXPageControl.h"
#include "framework/VXProgressBar.h"
#include "framework/VXScrollBar.h"
#include "framework/VXScrollControl.h"
#include "framework/VXMenus.h"
#include "framework/VXParticles.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXStore.h"
#include "framework/VXWidgets.h"
#include "games/Cards.h"
#include "games/VXCard.h"

namespace themelint {

namespace {

// Classes that take the text keys: labels and everything built on them, check boxes, lists.
bool TakesTextKeys(const TVXControl* c) { return c->ThemeClass().FindKey("FontDXName") != nullptr; }

std::string Describe(const TVXControl* c) {
  if (dynamic_cast<const TVXComboBox*>(c)) return "combo box";
  if (dynamic_cast<const TVXEdit*>(c)) return "entry";
  if (dynamic_cast<const TVXMenuItem*>(c)) return "menu item";
  if (dynamic_cast<const TVXButton*>(c)) return "button";
  if (dynamic_cast<const TVXLabel*>(c)) return "label";
  if (dynamic_cast<const TVXListBox*>(c)) return "list box";
  if (dynamic_cast<const TVXCheckBox*>(c)) return "check box";
  if (dynamic_cast<const TVXImage*>(c)) return "image";
  if (dynamic_cast<const TVXPanel*>(c)) return "panel";
  return "control";
}

// Pictures a control draws as a matter of course: a missing one is a white box. Labels,
// entries, lists, scroll parts, progress bars and lines are text or colours by design.
bool DrawsColoursByDesign(const TVXControl* c) {
  if (dynamic_cast<const TVXButton*>(c)) return false;
  return dynamic_cast<const TVXLabel*>(c) != nullptr || dynamic_cast<const TVXScrollControl*>(c) != nullptr ||
         dynamic_cast<const TVXListBoxItem*>(c) != nullptr || dynamic_cast<const TVXProgressBar*>(c) != nullptr ||
         dynamic_cast<const TVXScrollBar*>(c) != nullptr || dynamic_cast<const TVXLine*>(c) != nullptr;
}

// A plain panel (or tab sheet) may be a coloured area when its theme or its code gives it
// colours.
bool IsPlainPanel(const TVXControl* c) {
  return dynamic_cast<const TVXPanel*>(c) != nullptr && !DrawsColoursByDesign(c) &&
         dynamic_cast<const TVXButton*>(c) == nullptr;
}

// Whether the control's colour rectangle would show when it has no picture.
bool ShowsColourBox(const TVXControl* c) {
  if (c->NoRender || c->DisableRenderTheme()) return false;
  // A particle system draws its particles, never its own rectangle.
  if (dynamic_cast<const TVXParticleSystem*>(c) != nullptr) return false;
  const auto& a = c->Alpha4();
  if (std::any_of(a.begin(), a.end(), [](int32_t v) { return v > 0; })) return true;
  // An alpha effect brings a see-through control up later.
  return std::any_of(c->Effects.begin(), c->Effects.end(),
                     [](const TVXEffects& e) { return e.AlphaEnabled && e.AlphaBlendValue > 0; });
}

void Walk(TVXCustomControl* node, std::vector<TVXControl*>& out, std::set<const TVXCustomControl*>& seen,
          bool root = false) {
  if (node == nullptr || !seen.insert(node).second) return;
  // A hidden control that the scene lists may be shown later; a hidden inner part (a scroll
  // bar its widget keeps hidden) is shown by nobody, nor is anything on it.
  // A combo box's list is the exception: hidden until the combo box drops it down.
  const auto* combo = dynamic_cast<const TVXComboBox*>(node->Owner());
  const bool dropDown = combo != nullptr && combo->List() == node;
  if (!root && node->Name().empty() && !node->Visible() && !dropDown) return;
  if (auto* c = dynamic_cast<TVXControl*>(node)) out.push_back(c);
  for (int32_t i = 0; i < node->ChildCount(); ++i) Walk(node->GetChild(i), out, seen);
  // Pages keep their sheets and tabs in lists of their own.
  if (auto* pages = dynamic_cast<TVXPageControl*>(node)) {
    for (int32_t i = 0; i < pages->PageCount(); ++i) {
      Walk(pages->GetSheet(i), out, seen);
      Walk(pages->GetTabButton(i), out, seen);
    }
  }
}

std::string Upper(const std::string& s) { return vx::UpperCase(s); }

std::string Rect(const TVXCustomControl* c) {
  std::ostringstream s;
  s << "(" << c->Left() << "," << c->Top() << " " << c->Width() << "x" << c->Height() << ")";
  return s.str();
}

bool ReadFileText(const std::string& path, std::string& text) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  text.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

std::string Finding::ToString() const {
  std::string s = Scene;
  if (!Control.empty()) s += " [" + Control + "]";
  if (!Key.empty()) s += " " + Key;
  s += ": " + Problem;
  if (!File.empty()) s += " (" + File + ")";
  return s;
}

const TVXThemeKey* FindKey(const TVXControl& control, const std::string& key) {
  if (const TVXThemeKey* own = control.ThemeClass().FindKey(key)) return own;
  for (const TVXThemeKey& effect : vx::EffectThemeKeys())
    if (vx::SameText(effect.Name, key)) return &effect;
  return nullptr;
}

std::string CheckValue(const TVXThemeKey& rule, const std::string& value) {
  auto ranged = [&](const char* what) -> std::string {
    const int64_t lo = rule.Min, hi = rule.Max;
    const auto v = vx::TryStrToInt(value);
    if (!v) return "\"" + value + "\" is not " + what + "; the reader keeps the control's value";
    if (*v < lo || *v > hi)
      return "\"" + value + "\" is outside " + std::to_string(lo) + ".." + std::to_string(hi) +
             "; the reader keeps the control's value";
    return {};
  };
  const std::string range = "a number " + std::to_string(rule.Min) + ".." + std::to_string(rule.Max);
  switch (rule.Kind) {
    case TVXThemeKind::Integer:
      return ranged("an integer");
    case TVXThemeKind::Size:
      return ranged("a size");
    case TVXThemeKind::Boolean:
      return ranged("0 or 1");
    case TVXThemeKind::Byte:
    case TVXThemeKind::Small:
    case TVXThemeKind::Direction:
      return ranged(range.c_str());
    case TVXThemeKind::FourPart:
    case TVXThemeKind::Alphas: {
      const auto parts = vx::Split(value, '_');
      const bool alphas = rule.Kind == TVXThemeKind::Alphas;
      bool ok = parts.size() == 4;
      for (const auto& p : parts) {
        const auto v = vx::TryStrToInt(p);
        if (!v || (alphas && (*v < rule.Min || *v > rule.Max))) ok = false;
      }
      if (!ok)
        return "\"" + value + "\" is not four " + (alphas ? "alphas 0..255" : "integers") +
               " joined by \"_\"; the parts that do not read keep the control's values";
      return {};
    }
    case TVXThemeKind::Text:
      return value.empty() ? "is empty" : std::string();
  }
  return {};
}

std::vector<std::string> ScanThemeText(const std::string& text) {
  std::vector<std::string> problems;
  std::set<std::string> sections;
  std::set<std::string> keys;
  bool inSection = false;
  bool skipping = false;  // inside a repeated section, whose keys the reader ignores anyway
  std::istringstream in(text);
  std::string raw;
  for (int line = 1; std::getline(in, raw); ++line) {
    const std::string s = vx::Trim(raw);
    if (s.empty() || s[0] == ';') continue;
    const std::string at = "line " + std::to_string(line) + ": ";
    if (s.front() == '[' && s.back() == ']' && s.size() >= 2) {
      const std::string name = vx::Trim(std::string_view(s).substr(1, s.size() - 2));
      inSection = true;
      keys.clear();
      skipping = !sections.insert(Upper(name)).second;
      if (skipping) problems.push_back(at + "section [" + name + "] again: the reader merges it into the first");
      continue;
    }
    if (!inSection) {
      problems.push_back(at + "\"" + s + "\" stands before any section and is ignored");
      continue;
    }
    const auto eq = s.find('=');
    if (eq == std::string::npos) {
      problems.push_back(at + "\"" + s + "\" is not a Key=Value line");
      continue;
    }
    const std::string key = vx::Trim(std::string_view(s).substr(0, eq));
    if (!skipping && !keys.insert(Upper(key)).second)
      problems.push_back(at + "key " + key + " again in its section: only the first value counts");
  }
  return problems;
}

std::vector<std::string> FontNames(TVXResourceManager& resources) {
  std::vector<std::string> names;
  TRecDb& fonts = resources.FontsArchive;
  if (!fonts.Opened()) return names;
  for (int32_t i = 0; i < fonts.RecordCount(); ++i) {
    if (fonts.RecordType(i) != 5) continue;  // font records only
    std::string key = fonts.RecordKey(i);
    const std::string ext = ".font";
    if (key.size() > ext.size() && vx::SameText(key.substr(key.size() - ext.size()), ext))
      names.push_back(key.substr(0, key.size() - ext.size()));
  }
  return names;
}

std::vector<std::string> ThemeKeysOf(TVXResourceManager& resources) {
  std::set<std::string> keys;
  const std::string suffix = "\\theme.scn";
  TRecDb& data = resources.DataArchive;
  if (data.Opened()) {
    for (int32_t i = 0; i < data.RecordCount(); ++i) {
      const std::string key = data.RecordKey(i);
      if (key.size() > suffix.size() && vx::SameText(key.substr(key.size() - suffix.size()), suffix))
        keys.insert(Upper(key.substr(0, key.size() - suffix.size())) + suffix);
    }
  }
  // Loose files override records; a theme that exists only as a loose file counts too.
  if (!resources.OverrideFolder.empty()) {
    std::error_code ec;
    std::string folder = resources.OverrideFolder;
    for (char& ch : folder)
      if (ch == '\\') ch = '/';
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
      if (!entry.is_directory()) continue;
      for (const auto& file : std::filesystem::directory_iterator(entry.path(), ec))
        if (vx::SameText(file.path().filename().string(), "theme.scn"))
          keys.insert(Upper(entry.path().filename().string()) + suffix);
    }
  }
  return {keys.begin(), keys.end()};
}

Linter::Linter(TVXResourceManager& resources, std::vector<std::string> fontNames, std::vector<Exemption> exemptions)
    : resources_(resources), fontNames_(std::move(fontNames)), exemptions_(std::move(exemptions)) {}

void Linter::Add(const std::string& scene, const std::string& control, const std::string& key,
                 const std::string& file, const std::string& problem) {
  findings_.push_back({scene, control, key, file, problem});
}

bool Linter::FontExists(const std::string& name) const {
  return std::any_of(fontNames_.begin(), fontNames_.end(), [&](const std::string& f) { return vx::SameText(f, name); });
}

bool Linter::Exempt(const TVXScene& scene, const TVXCustomControl& control) const {
  return std::any_of(exemptions_.begin(), exemptions_.end(),
                     [&](const Exemption& e) { return e.Applies && e.Applies(scene, control); });
}

bool KnownFault::Matches(const Finding& finding) const {
  if (Scene != "*" && Scene != finding.Scene) return false;
  const bool prefix = !Control.empty() && Control.back() == '*';
  const std::string stem = prefix ? Control.substr(0, Control.size() - 1) : Control;
  if (prefix ? finding.Control.rfind(stem, 0) != 0 : finding.Control != stem) return false;
  return finding.Problem.find(Words) != std::string::npos;
}

std::vector<std::string> Linter::ThemesRead() const {
  std::vector<std::string> out;
  for (const auto& [file, controls] : controlsOfTheme_) out.push_back(file);
  return out;
}

void Linter::LintScene(const std::string& label, TVXScene& scene) {
  ++scenes_;
  // A scene without a section name reads no theme (the fades' scenes): only what it draws
  // and where is checked.
  const std::string file = scene.SceneName().empty() ? std::string() : Upper(scene.SceneName()) + "\\theme.scn";
  if (!file.empty()) {
    std::set<std::string>& names = controlsOfTheme_[file];
    firstReader_.emplace(file, label);
    for (int32_t i = 0; i < scene.ControlCount(); ++i)
      if (TVXCustomControl* c = scene.GetControl(i); c != nullptr && !c->Name().empty())
        names.insert(Upper(c->Name()));
    CheckSections(label, scene, file);
  }
  CheckTextures(label, scene, file);
  CheckGeometry(label, scene, file);
}

void Linter::CheckSections(const std::string& label, TVXScene& scene, const std::string& file) {
  if (!resources_.FileExists(file)) {
    Add(label, "", "", file, "no theme file: every control keeps the place its code gave it");
    return;
  }
  const std::string path = resources_.GetFileName(file);
  std::string text;
  if (path.empty() || !ReadFileText(path, text)) {
    Add(label, "", "", file, "the theme file cannot be read");
    return;
  }
  for (const std::string& p : ScanThemeText(text)) Add(label, "", "", file, p);
  TVXStore store;
  store.SetText(text);

  // Controls of one name share one section; a key counts when any of them reads it.
  std::map<std::string, std::vector<TVXControl*>> byName;
  for (int32_t i = 0; i < scene.ControlCount(); ++i) {
    auto* c = dynamic_cast<TVXControl*>(scene.GetControl(i));
    if (c == nullptr || c->Name().empty()) continue;  // a nameless control reads no keys
    byName[Upper(c->Name())].push_back(c);
  }
  for (const auto& [upper, controls] : byName) {
    const std::string& name = controls.front()->Name();
    if (!store.SectionExists(name)) {
      if (!Exempt(scene, *controls.front()))
        Add(label, name, "", file, "no section for this " + Describe(controls.front()) + " " + Rect(controls.front()));
      continue;
    }
    for (const std::string& key : store.ReadSection(name)) {
      const TVXThemeKey* rule = nullptr;
      for (TVXControl* c : controls) {
        if ((rule = FindKey(*c, key)) != nullptr) {
          const std::string problem = CheckValue(*rule, store.ReadString(name, key, ""));
          if (!problem.empty()) Add(label, name, key, file, problem);
          if (rule->Kind == TVXThemeKind::Text && !FontExists(store.ReadString(name, key, "")))
            Add(label, name, key, file,
                "font \"" + store.ReadString(name, key, "") + "\" is not in fonts.vxr: the first font is drawn instead");
          break;
        }
      }
      if (rule == nullptr) {
        // A known key on the wrong kind of control does nothing either.
        const bool elsewhere = vx::FindAnyThemeKey(key) != nullptr;
        Add(label, name, key, file,
            elsewhere ? "not read for this " + Describe(controls.front()) + ": the key does nothing here"
                      : "unknown key: the theme reader never reads it");
      }
    }
  }
}

void Linter::CheckTextures(const std::string& label, TVXScene& scene, const std::string& file) {
  std::vector<TVXControl*> all;
  std::set<const TVXCustomControl*> seen;
  Walk(&scene, all, seen, true);
  TVXStore store;
  if (const std::string path = !file.empty() && resources_.FileExists(file) ? resources_.GetFileName(file) : std::string();
      !path.empty()) {
    std::string text;
    if (ReadFileText(path, text)) store.SetText(text);
  }
  controls_ += static_cast<int32_t>(all.size());
  for (TVXControl* c : all) {
    // A theme class left out of the list is one whose keys the data generator's checks and
    // the "does nothing here" findings do not know.
    const TVXThemeClass& themeClass = c->ThemeClass();
    const auto& listed = vx::ThemeClasses();
    if (std::find(listed.begin(), listed.end(), &themeClass) == listed.end() &&
        unlistedClasses_.insert(themeClass.ClassName).second)
      Add(label, c->Name(), "", file, "theme class " + themeClass.ClassName + " is missing from vx::ThemeClasses()");
    std::string name = c->Name();
    if (name.empty()) {
      const TVXComponent* owner = c->Owner();
      while (owner != nullptr && owner->Name().empty()) owner = owner->Owner();
      name = "(inner " + Describe(c) + " of " + (owner != nullptr ? owner->Name() : std::string("?")) + ")";
    }
    const std::string key = c->TextureInfo.Key();
    const bool resolves = resources_.FileExists(key);
    // A control of no size draws nothing, whatever it lacks.
    const bool drawsArea = c->Width() > 0 && c->Height() > 0;
    if (!c->TextureLoaded() && drawsArea && ShowsColourBox(c) && !DrawsColoursByDesign(c)) {
      // A panel is a coloured area on purpose when its theme or its code gave it colours.
      const auto& colours = c->Color4();
      const bool codeColours = std::any_of(colours.begin(), colours.end(),
                                           [](uint32_t v) { return (v & 0xFFFFFFu) != 0xFFFFFFu; });
      const bool colouredPanel =
          IsPlainPanel(c) && (codeColours || (!c->Name().empty() && store.ValueExists(c->Name(), "Color4")));
      if (!colouredPanel) {
        Add(label, name, key, file,
            resolves ? "the picture exists but did not load: the " + Describe(c) + " draws a colour box instead"
                     : "no picture (neither a loose file nor an archive record): the " + Describe(c) +
                           " draws an opaque colour box " + Rect(c));
      }
    }
    // The font a text control ends up with: the theme's, the reader's default "ArialBlack" or
    // one set in code. An empty name is the first font, on purpose.
    if (TakesTextKeys(c) && !c->Font.Name().empty() && !FontExists(c->Font.Name()) &&
        !(store.ValueExists(c->Name(), "FontDXName"))) {
      Add(label, name, c->Font.Name(), file,
          "font \"" + c->Font.Name() + "\" (the reader's default or set in code) is not in fonts.vxr: the first font "
          "is drawn instead");
    }
    // A check box switches between its picture and the "_checked" one.
    if (auto* box = dynamic_cast<TVXCheckBox*>(c); box != nullptr && c->TextureLoaded()) {
      const std::string base = c->TextureInfo.Name();
      const std::string suffix = vx::kCheckedSuffix;
      const bool checked = base.size() > suffix.size() && base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0;
      TVXTextureInfo other;
      other.SetFolder(c->TextureInfo.Folder());
      other.SetName(checked ? base.substr(0, base.size() - suffix.size()) : base + suffix);
      other.SetFrame(c->TextureInfo.Frame());
      if (!resources_.FileExists(other.Key()))
        Add(label, name, other.Key(), file, "no picture for the other state of the check box");
    }
    // A card shows every face of its card set and the back in the course of a game.
    if (auto* card = dynamic_cast<TVXCard*>(c)) {
      std::vector<std::string> missing;
      for (int32_t n = 0; n <= 54; ++n) {
        TCardFace face;
        face.SetWildRank(card->WildRank());
        face.SetNumber(n == 0 ? 1 : n);
        face.SetFaceDown(n == 0);
        const std::string picture = c->TextureInfo.Folder() + "\\" + face.PictureName() + ".bmp";
        if (!resources_.FileExists(picture)) missing.push_back(picture);
      }
      if (!missing.empty())
        Add(label, name, missing.front(), file,
            std::to_string(missing.size()) + " card pictures of the card set are missing, the first is this one");
    }
  }
}

void Linter::CheckGeometry(const std::string& label, TVXScene& scene, const std::string& file) {
  std::vector<TVXCustomControl*> placed;
  for (int32_t i = 0; i < scene.ControlCount(); ++i) {
    TVXCustomControl* c = scene.GetControl(i);
    if (c == nullptr) continue;
    placed.push_back(c);
    // A combo box's list opens below it: the theme decides where that is.
    if (auto* combo = dynamic_cast<TVXComboBox*>(c); combo != nullptr && combo->List() != nullptr)
      placed.push_back(combo->List());
  }
  for (TVXCustomControl* c : placed) {
    const int64_t right = int64_t{c->Left()} + c->Width();
    const int64_t bottom = int64_t{c->Top()} + c->Height();
    if (c->Left() < 0 || c->Top() < 0 || right > ScreenWidth || bottom > ScreenHeight) {
      const std::string name = c->Name().empty() ? "(drop-down list of " + c->Owner()->Name() + ")" : c->Name();
      Add(label, name, "", file, "leaves the 800x600 screen at " + Rect(c));
    }
  }
}

void Linter::Finish(const std::vector<std::string>& themeKeys) {
  for (const auto& [file, controls] : controlsOfTheme_) {
    if (!resources_.FileExists(file)) continue;
    const std::string path = resources_.GetFileName(file);
    std::string text;
    if (path.empty() || !ReadFileText(path, text)) continue;
    TVXStore store;
    store.SetText(text);
    for (const std::string& section : store.ReadSections()) {
      if (controls.count(Upper(section)) == 0)
        Add(firstReader_[file], section, "", file,
            "section for a control that no registered scene creates (a misspelt control name?)");
    }
  }
  for (const std::string& key : themeKeys) {
    const bool read = std::any_of(controlsOfTheme_.begin(), controlsOfTheme_.end(),
                                  [&](const auto& entry) { return vx::SameText(entry.first, key); });
    if (!read)
      Add("(program folder)", "", "", key,
          "no registered scene reads this theme: register its scene in tests/unit/themelint/SceneRegistry.cpp");
  }
}

}  // namespace themelint
