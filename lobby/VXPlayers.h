#pragma once
// The players: every named profile with its password, picture and bank, saved as
// "players.xml", and the one player who is signed in.
//
// Every change that is saved at once (adding, deleting, changing a profile) is written to
// the file first, from a copy of the list that already holds the change; only when the file
// is written does the list in memory change. A failed save therefore leaves the list and
// the file as they were.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xmlstore/TSYXML.h"

class TPlayerStatistics;
class TVXImage;
class TVXLabel;
class TVXListBox;

class TVXPlayer : public TTSYXMLCollectionItem {
public:
  // Published.
  std::string PlayerName;
  std::string Password;  // plain text
  std::string FirstName;
  std::string LastName;
  int32_t PictureID = 0;  // texture frame of the player's picture
  uint32_t Bank = 0;      // money not in any game
  int32_t Rank = 0;

  // Not saved: the player's record in the casino entered last (set by the city).
  TPlayerStatistics* Statistics = nullptr;

  // The bank as written to the file: its unsigned decimal, so that no bank is written as a
  // negative number.
  std::string GetBankText() const;
  // Accepts 0..2^32-1. Any other text, a negative number included, is damage
  // (EConvertError): a player's money is never guessed.
  void SetBankText(std::string text);
  // A record without a bank value is damage too (EXMLException).
  bool SetXMLBody(std::string_view body) override;

  // The profile fields (not the bank, rank or statistics) of another player.
  void AssignProfile(const TVXPlayer& other);

  VX_XML_PUBLISHED

private:
  bool bankRead_ = false;
};

// The values a profile dialog edits.
struct TVXPlayerProfile {
  std::string PlayerName;
  std::string Password;
  std::string FirstName;
  std::string LastName;
  int32_t PictureID = 1;
};

enum class TChangePlayerResult {
  Changed,
  NameEmpty,     // the new name is empty
  NameTaken,     // another player has that name (ignoring case)
  NameTooLong,   // longer than TVXPlayers::MaxNameLength
  NotInList,     // the player is not one of this list's
  SaveFailed,    // the file could not be written; nothing changed
};

class TVXPlayers : public TTSYXMLCollection {
public:
  static constexpr uint32_t StartingBank = 1000;
  // The longest name the lobby's name panel, the dialogs' edits and the message boxes show
  // whole, in the widest letters of their fonts.
  static constexpr size_t MaxNameLength = 9;
  static bool NameTooLong(std::string_view name);
  // Keeps an entry of player names from growing past MaxNameLength as it is typed in.
  static void LimitNameEntry(class TVXEdit* edit);

  TVXPlayer* Add() { return AddAs<TVXPlayer>(); }
  TVXPlayer* Items(int index) const { return ItemAs<TVXPlayer>(index); }

  // "players.xml" with its full path; the folder holding it is created when it is missing.
  std::string FileName;

  TVXPlayer* CurrentPlayer() const { return current_; }

  // Reads FileName when it exists (all players replaced, nobody signed in); without the
  // file nothing changes. A file that cannot be read whole is logged and kept aside as
  // "<name>.bad", and the list saves nothing for the rest of the run: what was read may be
  // only part of it. False when the file could not be read.
  bool LoadFromFile();
  // The journal of the saves that must agree with the players' banks, beside the file.
  std::string JournalFile() const;
  // Writes the whole list to FileName (atomically, readable by its owner only when the file
  // is new); without a file name nothing is written. False, logged, when it cannot be
  // written.
  bool SaveToFile() const;
  // Reading replaces every player, so nobody stays signed in.
  bool SetXMLBody(std::string_view body) override;
  using TTSYXMLCollection::GetXMLBody;

  // The first player with that name, ignoring ASCII case; nullptr when none.
  TVXPlayer* FindPlayer(std::string_view name) const;
  bool PlayerExists(std::string_view name) const { return FindPlayer(name) != nullptr; }

  // Appends a player with the bank StartingBank and saves the file. False, and nothing
  // changes, when the name is empty or taken or the file cannot be written. The new player
  // is not signed in.
  bool AddPlayer(std::string_view name, std::string_view password, std::string_view firstName,
                 std::string_view lastName, int32_t pictureID);
  // Removes the player and saves the file; a player who was signed in is signed out. False
  // when nobody has the name or the file cannot be written (the player then stays).
  bool DeletePlayer(std::string_view name);
  // Replaces the player's profile fields and saves the file. A name that another player has
  // (ignoring case) is refused. A new name is carried into the player's statistics in every
  // casino of `casinos`, saved together with the players.
  TChangePlayerResult ChangePlayer(TVXPlayer* player, const TVXPlayerProfile& profile,
                                   class TVXCasinoManager* casinos = nullptr);

  // Signs the player in when the name is known and the password matches, both ignoring
  // ASCII case. Otherwise false and the current player stays.
  bool Login(std::string_view name, std::string_view password);
  void Logout() { current_ = nullptr; }

  // Clears the list, adds every name in list order and returns the count.
  int GetPlayerNames(std::vector<std::string>& names) const;
  // Refills the list box with one row per player (the player attached to the row). With
  // `markCurrent` and somebody signed in, the first row is "* " + that player's name and
  // the player's own row is left out. Returns the number of players.
  int FillPlayerList(TVXListBox* listBox, bool markCurrent) const;
  // Shows the player in whichever of the controls are given: name, bank (unsigned
  // decimal), rank, and the picture's texture frame.
  static void ShowPlayerInfo(const TVXPlayer* player, TVXLabel* nameLabel, TVXLabel* bankLabel,
                             TVXImage* pictureImage, TVXLabel* rankLabel);

  // True when saves are refused for the rest of the run (see LoadFromFile).
  bool SavesBlocked() const { return savesBlocked_; }

  VX_XML_PUBLISHED

private:
  // Writes this list with `skip` left out and `extra` appended (either may be null), and
  // with `changed` written with `profile` instead of its own fields.
  bool SaveVariant(const TVXPlayer* skip, const TVXPlayer* extra, const TVXPlayer* changed = nullptr,
                   const TVXPlayerProfile* profile = nullptr, TVXCasinoManager* casinos = nullptr) const;
  bool WriteFile(const TVXPlayers& list) const;

  TVXPlayer* current_ = nullptr;
  bool savesBlocked_ = false;
};

