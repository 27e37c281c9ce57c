#include "lobby/VXCasino.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXStore.h"
#include "core/Checked.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXRoundSave.h"
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
    : Name(name), Title(name) {
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
  Title = store.ReadString("GENERAL", "Title", "");
  if (Title.empty()) Title = Name;
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
  if (LoadFromFile(StatisticsFile)) {
    // What the file holds needs no saving until it changes.
    MarkSaved(GetXML());
    return true;
  }
  savesBlocked_ = true;
  Log("ERROR: " + StatisticsFile + " could not be read and is not saved again in this run");
  return false;
}

bool TVXCasino::StatisticsChanged() const { return !saved_ || std::hash<std::string>{}(GetXML()) != savedHash_; }

void TVXCasino::MarkSaved(const std::string& text) const {
  saved_ = true;
  savedHash_ = std::hash<std::string>{}(text);
}

bool TVXCasino::SaveStatistics() const {
  if (StatisticsFile.empty()) return true;
  // After the round's record, never beside it.
  vx::WaitForRoundSaves();
  if (savesBlocked_) {
    Log("ERROR: Cannot save " + StatisticsFile + ": it could not be read and is kept as it is");
    return false;
  }
  const std::string text = GetXML();
  if (saved_ && std::hash<std::string>{}(text) == savedHash_) return true;
  if (!SaveToFile(StatisticsFile)) return false;
  MarkSaved(text);
  return true;
}

std::optional<std::string> TVXCasino::RenamedPlayerText(const std::string& oldName, const std::string& newName) {
  if (StatisticsFile.empty() || savesBlocked_ || !FindPlayerStatistics(oldName, false)) return std::nullopt;
  // Renamed in a copy: the records here change only once the save has succeeded.
  TVXCasino copy;
  copy.SetXML(GetXML());
  copy.RenamePlayer(oldName, newName);
  return copy.GetXML();
}

void TVXCasino::RenamePlayer(const std::string& oldName, const std::string& newName) {
  for (int i = PlayersStatistics.Count() - 1; i >= 0; --i) {
    TPlayerStatistics* record = PlayersStatistics.Items(i);
    if (vx::SameText(record->PlayerName, oldName)) record->PlayerName = newName;
    else if (vx::SameText(record->PlayerName, newName)) PlayersStatistics.Delete(i);
  }
  // Only the renamed records' names changed since they were saved together.
  MarkSaved(GetXML());
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

namespace vx {

bool SaveProgress(const TVXPlayers* players, const TVXCasinoManager* casinos, std::vector<XMLFileText> extra) {
  // The round's record goes first: the journal is one writer's at a time.
  WaitForRoundSaves();
  std::string journal;
  if (players && players->SavesBlocked()) {
    // The banks could not be read whole: statistics saved without them would no longer agree
    // with the banks kept aside.
    Log("ERROR: Nothing is saved with the players: " + players->FileName + " could not be read");
    return false;
  }
  if (players && !players->FileName.empty()) {
    journal = players->JournalFile();
    std::string error;
    const std::string folder = ExtractFilePath(players->FileName);
    if (!folder.empty() && !ForceOwnerOnlyDirectories(folder, &error))
      Log("ERROR: Cannot create the players folder " + folder + ": " + error);
    extra.push_back({players->FileName, players->FileText()});
    // A settled visit is in the players and the statistics now: its record goes with them.
    if (auto clear = RoundRecordToClear(players->FileName)) extra.push_back({clear->first, clear->second});
  }
  std::vector<std::pair<const TVXCasino*, size_t>> casinoTexts;
  for (int i = 0; casinos && i < casinos->Count(); ++i) {
    const TVXCasino* casino = casinos->Items(i);
    if (casino->StatisticsFile.empty() || casino->SavesBlocked() || !casino->StatisticsChanged()) continue;
    casinoTexts.emplace_back(casino, extra.size());
    extra.push_back({casino->StatisticsFile, casino->GetXML()});
  }
  if (journal.empty()) {
    // Nothing to keep in step with: each file on its own.
    bool ok = true;
    for (const XMLFileText& f : extra) {
      std::string error;
      if (XMLSaveBlocked(f.FileName)) continue;
      if (!WriteFileAtomic(f.FileName, f.Text, &error, true)) {
        Log("ERROR: Could not save to " + f.FileName + ": " + error);
        ok = false;
      }
    }
    if (ok)
      for (const auto& [casino, index] : casinoTexts) casino->MarkSaved(extra[index].Text);
    return ok;
  }
  if (!SaveXMLFiles(journal, extra)) return false;
  for (const auto& [casino, index] : casinoTexts) casino->MarkSaved(extra[index].Text);
  return true;
}

}  // namespace vx
