#include "lobby/VXCasino.h"

#include <exception>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXStore.h"
#include "games/GameManager.h"
#include "platform/Files.h"

// ---------------------------------------------------------------------------------------
// Statistics records

const XMLClassInfo& TPlayerStatistics::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TPlayerStatistics, TTSYXMLCollectionItem>("TPlayerStatistics")
                                       .Prop("PlayerName", &TPlayerStatistics::PlayerName)
                                       .Prop("GamesStatistics", &TPlayerStatistics::GamesStatistics);
  return info;
}

TGameStatictics* TPlayerStatistics::FindGameStatistics(std::string_view gameIDStr, bool create) {
  for (int i = 0; i < GamesStatistics.Count(); ++i)
    if (vx::SameText(GamesStatistics.Items(i)->GameIDStr, gameIDStr)) return GamesStatistics.Items(i);
  if (!create) return nullptr;
  TGameStatictics* record = GamesStatistics.Add();
  record->GameIDStr = std::string(gameIDStr);
  return record;
}

const XMLClassInfo& TPlayersStatistics::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TPlayersStatistics, TTSYXMLCollection>("TPlayersStatistics").Items<TPlayerStatistics>();
  return info;
}

// ---------------------------------------------------------------------------------------
// TVXCasino

const XMLClassInfo& TVXCasino::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXCasino, TTSYXMLObject>("TVXCasino")
                                       .Prop("PlayersStatistics", &TVXCasino::PlayersStatistics);
  return info;
}

namespace {

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + "\\";
}

}  // namespace

TVXCasino::TVXCasino(const std::string& name, const std::string& casinosFolder, const TVXGameManager& catalogue)
    : Name(name) {
  const std::string folder = WithSeparator(casinosFolder) + name + "\\";
  StatisticsFile = folder + "casino.xml";
  const std::string descriptionFile = folder + "casino.dat";
  if (!vx::FileExists(descriptionFile)) return;
  const TVXStore store(descriptionFile);
  if (!store.Loaded()) {
    Log("ERROR: Cannot read " + descriptionFile);
    return;
  }
  ReadDescription(store, catalogue);
}

void TVXCasino::ReadDescription(const TVXStore& store, const TVXGameManager& catalogue) {
  Rank = store.ReadInteger("GENERAL", "Rank", 1);
  Description = store.ReadString("GENERAL", "Description", "no info");
  Games.clear();
  for (const std::string& section : store.ReadSections()) {
    if (!section.starts_with("GAME_")) continue;
    TGameInfo* game = catalogue.FindGameByIDStr(store.ReadString(section, "IDStr", "_ERROR"));
    if (!game) continue;
    if (GameCount() >= MaxGames) {
      Log("ERROR: Casino " + Name + " offers more than " + std::to_string(MaxGames) + " games; the rest are left out");
      break;
    }
    Games.push_back(game);
  }
}

bool TVXCasino::LoadStatistics() {
  if (StatisticsFile.empty() || !vx::FileExists(StatisticsFile)) return true;
  if (LoadFromFile(StatisticsFile)) return true;
  if (vx::FileExists(StatisticsFile)) {
    savesBlocked_ = true;
    Log("ERROR: " + StatisticsFile + " could not be read and is not saved again in this run");
  }
  return false;
}

bool TVXCasino::SaveStatistics() const {
  if (StatisticsFile.empty()) return true;
  if (savesBlocked_) {
    Log("ERROR: Cannot save " + StatisticsFile + ": it could not be read and is kept as it is");
    return false;
  }
  return SaveToFile(StatisticsFile);
}

TPlayerStatistics* TVXCasino::FindPlayerStatistics(std::string_view playerName, bool create) {
  for (int i = 0; i < PlayersStatistics.Count(); ++i)
    if (vx::SameText(PlayersStatistics.Items(i)->PlayerName, playerName)) return PlayersStatistics.Items(i);
  if (!create) return nullptr;
  TPlayerStatistics* record = PlayersStatistics.Add();
  record->PlayerName = std::string(playerName);
  return record;
}

// ---------------------------------------------------------------------------------------
// TVXCasinoManager

TVXCasinoManager::TVXCasinoManager(const std::string& casinosFolder, const TVXGameManager& catalogue) {
  const std::string folder = WithSeparator(casinosFolder);
  // The names as they stand on disk, so every path built from them is exact.
  for (const std::string& name : vx::ListDirectory(folder, false, true)) {
    if (!vx::FileExists(folder + name + "\\casino.dat")) continue;
    try {
      auto casino = std::make_unique<TVXCasino>(name, folder, catalogue);
      casino->LoadStatistics();
      casinos_.push_back(std::move(casino));
    } catch (const std::exception& e) {
      Log("ERROR: Casino " + name + " skipped: " + e.what());
    }
  }
}

TVXCasinoManager::~TVXCasinoManager() {
  while (!casinos_.empty()) {
    casinos_.back()->SaveStatistics();
    casinos_.pop_back();
  }
}

TVXCasino* TVXCasinoManager::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return casinos_[static_cast<size_t>(index)].get();
}

TVXCasino* TVXCasinoManager::FindCasino(std::string_view name) const {
  for (auto it = casinos_.rbegin(); it != casinos_.rend(); ++it)
    if (vx::SameText((*it)->Name, name)) return it->get();
  return nullptr;
}

bool TVXCasinoManager::SaveAll() const {
  bool ok = true;
  for (const auto& casino : casinos_) ok = casino->SaveStatistics() && ok;
  return ok;
}
