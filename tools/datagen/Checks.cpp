#include "tools/datagen/Checks.h"

#include <algorithm>
#include <set>

#include "core/StrUtils.h"
#include "framework/VXThemeKeys.h"
#include "tools/datagen/Ini.h"

namespace vx::datagen {

namespace {

bool HasPrefix(const std::string& s, const char* p) { return vx::StartsText(p, s); }

bool HasRecord(const std::vector<ArchiveRecord>& records, const std::string& key) {
  return std::any_of(records.begin(), records.end(),
                     [&](const ArchiveRecord& r) { return vx::SameText(r.key, key); });
}

// Keys whose values are four-part integers, as the widgets declare them.
bool IsFourPartKey(const std::string& key) {
  const TVXThemeKey* k = vx::FindAnyThemeKey(key);
  return k != nullptr && (k->Kind == TVXThemeKind::FourPart || k->Kind == TVXThemeKind::Alphas);
}

}  // namespace

std::vector<std::string> TextureCandidates(const std::string& scene, const std::string& control) {
  const std::string own = scene + "\\" + control + ".bmp";
  // The dialog chrome keeps its COMMON pictures whatever the dialog's own section is.
  if (control == "IMG_FRAME" || control == "IMG_TASKBAR" || control == "IMG_WINDOWLOGO")
    return {"COMMON\\" + control + ".bmp"};
  // The loading screen's background is the picture "LOGO\loader".
  if (control == "IMG_BACKGROUND" && scene == "LOADER") return {"LOGO\\loader.bmp"};
  if (control == "IMG_BACKGROUND") return {scene + "\\background.bmp"};
  // The players' pictures are shared by every screen that shows a player.
  if (control == "IMG_PLAYER") return {"Players\\IMG_PLAYER.bmp"};
  // The menu bar's popup shows the signed-in player's picture.
  if (scene == "NAVIGATION" && control == "IMG_POPUPMESSAGE") return {"Players\\IMG_PLAYER.bmp"};
  // The credit dialog's amount buttons are drawn as coins.
  if (scene == "CREDIT" && HasPrefix(control, "BTN_ADD")) return {"CREDIT\\BTN_COIN.bmp"};
  // The video-poker screens: the double-up's series has a folder of its own, the game's logo
  // is the lobby's picture of whichever game runs (checked against the catalogue in the
  // tests), and each row of lamps shares one picture that the screen names.
  if (control == "IMG_SERIES") return {"SERIES\\S_3\\IMG.bmp"};
  if (control == "IMG_GAMELOGO") return {};
  if (HasPrefix(control, "IMG_ORVANTASTAGE_")) return {scene + "\\img_jackpotstage.bmp"};
  if (HasPrefix(control, "IMG_DUPBAR_")) return {scene + "\\img_dupbar.bmp"};
  if (HasPrefix(control, "IMG_DEALSTAGE")) return {scene + "\\img_dealstage.bmp"};
  // The slot machines' cell frames share one picture.
  if (HasPrefix(control, "IMG_REELBOX_")) return {scene + "\\img_reelbox.bmp"};
  if (HasPrefix(control, "IMG_")) return {own};
  if (HasPrefix(control, "TSBTN_")) return {own, "COMMON\\TSBTN_ALL.bmp"};
  if (HasPrefix(control, "BTN_")) return {own, "COMMON\\BTN_ALL.bmp"};
  if (HasPrefix(control, "CB_")) return {own, "COMMON\\CB_ALL.bmp"};
  if (HasPrefix(control, "PS_")) return {"EFFECTS\\PAR_STAR1.bmp"};
  return {};
}

std::vector<std::string> CheckThemes(const std::vector<ArchiveRecord>& records) {
  std::vector<std::string> problems;
  for (const auto& r : records) {
    const auto slash = r.key.find('\\');
    if (slash == std::string::npos || !vx::SameText(r.key.substr(slash + 1), "theme.scn")) continue;
    const std::string scene = r.key.substr(0, slash);
    const auto parsed = ParseIni(r.bytes);
    for (const auto& e : parsed.errors) problems.push_back(r.key + ": " + e);
    for (const auto& section : parsed.file.sections) {
      for (const auto& [key, value] : section.keys)
        if (IsFourPartKey(key) && !ParseFourPart(value))
          problems.push_back(r.key + " [" + section.name + "] " + key + ": not four integers");
      const auto candidates = TextureCandidates(scene, section.name);
      if (candidates.empty()) continue;
      if (std::none_of(candidates.begin(), candidates.end(),
                       [&](const std::string& k) { return HasRecord(records, k); }))
        problems.push_back(r.key + " [" + section.name + "]: no picture " + candidates.front());
      // A check box needs its checked picture beside whichever one it uses.
      if (HasPrefix(section.name, "CB_")) {
        const bool own = HasRecord(records, candidates[0]);
        const std::string checked = own ? scene + "\\" + section.name + "_checked.bmp"
                                        : "COMMON\\CB_ALL_checked.bmp";
        if (!HasRecord(records, checked))
          problems.push_back(r.key + " [" + section.name + "]: no picture " + checked);
      }
      if (HasPrefix(section.name, "PS_"))
        for (const char* star : {"EFFECTS\\PAR_STAR2.bmp", "EFFECTS\\PAR_STAR3.bmp"})
          if (!HasRecord(records, star))
            problems.push_back(r.key + " [" + section.name + "]: no picture " + star);
      // The poker attract mode shows two more advertisements in the advertisement's place.
      if (vx::SameText(section.name, "IMG_ADV") && HasPrefix(scene, "VP"))
        for (const char* advert : {"img_adv_2", "img_adv_3"})
          if (!HasRecord(records, scene + "\\" + advert + ".bmp"))
            problems.push_back(r.key + " [" + section.name + "]: no picture " + scene + "\\" + advert + ".bmp");
    }
  }
  return problems;
}

const std::vector<std::string>& CatalogueIdStrings() {
  static const std::vector<std::string> ids = {
      "VXG_VP_ORVANTABONUS",   "VXG_VP_ORVANTABONUS2", "VXG_VP_DOUBLEJOKER",
      "VXG_VP_DOUBLEJOKER2",   "VXG_VP_AMERICANPOKER", "VXG_VP_AMERICANPOKER2",
      "VXG_VP_JACKSORBETTER",  "VXG_VP_JACKSORBETTER2", "VXG_VP_DEUCESWILD",
      "VXG_VP_DEUCESWILD2",    "VXG_VP_JOKERWILD",     "VXG_VP_JOKERWILD2",
      "VXG_SLOT_3X3FRUITS",    "VXG_SLOT_1X3FRUITS",   "VXG_SLOT_3X5FRUITS",
      "VXG_SLOT_3X5POKER",
  };
  return ids;
}

std::vector<std::string> CheckCasinoDat(const std::string& text, const std::vector<std::string>& knownIds) {
  std::vector<std::string> problems;
  const auto parsed = ParseIni(text);
  problems = parsed.errors;
  const IniSection* general = parsed.file.Find("GENERAL");
  if (!general) {
    problems.push_back("no GENERAL section");
  } else {
    if (!general->Get("Rank") || !vx::TryStrToInt(*general->Get("Rank")))
      problems.push_back("GENERAL: Rank is not an integer");
    if (!general->Get("Description")) problems.push_back("GENERAL: no Description");
  }
  std::set<std::string> seen;
  for (const auto& s : parsed.file.sections) {
    if (s.name.rfind("GAME_", 0) != 0) continue;  // the prefix counts only at the very start
    const auto id = s.Get("IDStr");
    if (!id) {
      problems.push_back(s.name + ": no IDStr");
      continue;
    }
    // Id strings are compared exactly, as the catalogue does.
    if (std::find(knownIds.begin(), knownIds.end(), *id) == knownIds.end())
      problems.push_back(s.name + ": unknown game " + *id);
    if (!seen.insert(*id).second) problems.push_back(s.name + ": " + *id + " listed twice");
  }
  return problems;
}

}  // namespace vx::datagen
