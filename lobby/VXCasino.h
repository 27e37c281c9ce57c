#pragma once
// Casinos and their statistics. A casino is a folder under the casinos folder that holds a
// "casino.dat" description; beside it each casino keeps "casino.xml" with one record per
// player, per game and per hand. The casino manager finds every casino at start-up and
// saves their statistics when it is freed.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "games/GameStatistics.h"
#include "xmlstore/TSYXML.h"

class TGameInfo;
class TVXGameData;
class TVXGameManager;
class TVXPlayer;
class TVXPlayers;
class TVXStore;

class TPlayerStatistics : public TTSYXMLCollectionItem {
public:
  std::string PlayerName;
  TGamesStatictics GamesStatistics;

  // The first record whose GameIDStr matches ignoring ASCII case. When none does and
  // `create` is set, an empty record with that id is appended; otherwise nullptr.
  TGameStatictics* FindGameStatistics(std::string_view gameIDStr, bool create);

  VX_XML_PUBLISHED
};

class TPlayersStatistics : public TTSYXMLCollection {
public:
  TPlayerStatistics* Add() { return AddAs<TPlayerStatistics>(); }
  TPlayerStatistics* Items(int index) const { return ItemAs<TPlayerStatistics>(index); }
  VX_XML_PUBLISHED
};

class TVXCasino : public TTSYXMLObject {
public:
  // More "GAME_" sections than this are not read: the lobby has room for no more.
  static constexpr int MaxGames = 64;

  // A casino with no description read and no statistics file.
  TVXCasino() = default;
  // Reads casinosFolder + name + "\casino.dat" when it exists: "GENERAL" gives Rank
  // (default 1), Description (default "no info") and Title (default the name); every section
  // whose name starts with "GAME_" names a catalogue game by its id string in "IDStr" (exact
  // comparison; unknown ids are skipped). The statistics file is set to casinosFolder + name + "\casino.xml" but not
  // loaded (LoadStatistics).
  TVXCasino(const std::string& name, const std::string& casinosFolder, const TVXGameManager& catalogue);

  // Published.
  TPlayersStatistics PlayersStatistics;

  // Not saved.
  std::string Name;  // the folder's name
  // The casino's name as the player reads it ("GENERAL", "Title"); the folder's name when the
  // description gives none.
  std::string Title;
  int32_t Rank = 1;
  std::string Description = "no info";
  std::vector<TGameInfo*> Games;  // in section order, not owned
  std::string StatisticsFile;

  int GameCount() const { return static_cast<int>(Games.size()); }

  // Takes rank, description and games from a description already read (see the
  // constructor); the game list is replaced.
  void ReadDescription(const TVXStore& store, const TVXGameManager& catalogue);

  // Loads the statistics file when it exists. A file that cannot be read whole is logged and
  // kept aside as "<name>.bad" (the statistics keep what was read), and this casino saves
  // nothing for the rest of the run. False on such a fault.
  bool LoadStatistics();
  // Writes the statistics atomically when a file name is set and they changed since they
  // were last saved. False (logged) on failure.
  bool SaveStatistics() const;
  bool SavesBlocked() const { return savesBlocked_; }
  // True when the statistics differ from what this casino saved last (always before its
  // first save).
  bool StatisticsChanged() const;
  // The statistics were saved with this text (by SaveStatistics or a joint save).
  void MarkSaved(const std::string& text) const;

  // The statistics file's text with the records of `oldName` under `newName` (a record
  // already under the new name, left by a deleted player, is dropped); nothing when the
  // casino has no record of the old name or saves nothing.
  std::optional<std::string> RenamedPlayerText(const std::string& oldName, const std::string& newName);
  // The same change in memory, once it is saved.
  void RenamePlayer(const std::string& oldName, const std::string& newName);

  // The first record whose PlayerName matches ignoring ASCII case. When none does and
  // `create` is set, an empty record for that name is appended; otherwise nullptr.
  TPlayerStatistics* FindPlayerStatistics(std::string_view playerName, bool create);

  VX_XML_PUBLISHED

private:
  bool savesBlocked_ = false;
  mutable size_t savedHash_ = 0;
  mutable bool saved_ = false;
};

class TVXCasinoManager {
public:
  // Scans the casinos folder: every sub-folder holding a "casino.dat" becomes a casino (in
  // the order of the folder listing), its statistics loaded. A casino that cannot be read is
  // logged and skipped; the others still load.
  TVXCasinoManager(const std::string& casinosFolder, const TVXGameManager& catalogue);
  // Saves every casino's statistics, the last first.
  ~TVXCasinoManager();
  TVXCasinoManager(const TVXCasinoManager&) = delete;
  TVXCasinoManager& operator=(const TVXCasinoManager&) = delete;

  int Count() const { return static_cast<int>(casinos_.size()); }
  // nullptr outside 0..Count-1.
  TVXCasino* Items(int index) const;
  // The casino of that name ignoring ASCII case; of several, the last in the list.
  TVXCasino* FindCasino(std::string_view name) const;
  // Saves every casino's statistics; false when one of them failed.
  bool SaveAll() const;

private:
  std::vector<std::unique_ptr<TVXCasino>> casinos_;
};

namespace vx {
// Saves what must agree as one (the journal beside the players file): the players, every
// casino whose statistics changed, and `extra` files (a game's data). A file that could not
// be read at start is left out; when that is the players file, nothing is saved. False
// (logged, the player told once) when it failed; the files then hold what they held before.
bool SaveProgress(const TVXPlayers* players, const TVXCasinoManager* casinos, std::vector<XMLFileText> extra);

}  // namespace vx
