#pragma once
// The save after every round and at each commit point inside one (a bet taken, an outcome
// decided). The main thread takes a small record of what leaving the machine now would leave
// on disk: the player's bank with what the player owns at the machine in it (the credit, and
// a decided win in play or counting), the player's record of that game with the visit counted
// in (that money as cashed out, an open round's decided hand once), and the game's data as
// the round's end would leave it. One writer thread puts the record in place atomically, beside the players
// file; a newer record replaces one still waiting, never one being written. The players,
// casino and game data files are not touched per round: a record left by a crash is
// replayed into them, as one journaled save, at the next start, and the save that settles
// the visit (leaving the machine, shutdown) clears it in the same transaction as the files.
//
// Every other save of those files waits for the writer first (WaitForRoundSaves), so they
// keep their order on disk.
#include <cstdint>
#include <optional>
#include <string>

#include "games/GameStatistics.h"
#include "xmlstore/TSYXML.h"

class TVXCasino;
class TVXGameData;
class TVXPlayer;
class TVXPlayers;

// What the files would hold if the player left the machine after the last round.
class TVXRoundRecord : public TTSYXMLObject {
public:
  std::string PlayerName;
  uint32_t Bank = 0;  // the bank with the machine's credit in it
  // The casino statistics file and the player's record of the game in it (absent when the
  // statistics are not saved in this run).
  std::string StatisticsFile;
  TGamesStatictics GameStatistics;
  // The game's data file and its text (absent when it is not saved).
  std::string DataFile;
  std::string DataText;

  VX_XML_PUBLISHED
};

namespace vx {

// The record's file: "lastround.xml" beside the players file.
std::string RoundRecordFile(const std::string& playersFile);

// Main thread, at the end of a round: takes the record and hands it to the writer. False
// (logged) when nothing could be taken: the players' file is blocked, the player is not in
// the list, or the sums do not fit. Nothing in memory changes.
bool SaveRoundInBackground(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino,
                           const TVXGameData& data, const std::string& gameIDStr);
// A commit point inside a round (a bet taken, an outcome decided): the record as above, and
// when it moves money (its bank differs from the last record's) it is on disk on return. A
// record that equals the last one is not written again.
bool CommitRound(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino, const TVXGameData& data,
                 const std::string& gameIDStr);
// The record's text alone (what SaveRoundInBackground queues); nullopt as it fails.
std::optional<std::string> RoundRecordText(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino,
                                           const TVXGameData& data, const std::string& gameIDStr);

// Main thread: waits until the writer has written everything queued, then reports a record
// it could not write (see ReportRoundSaveFailure).
void WaitForRoundSaves();
// Main thread, polled: true when the writer is idle, after reporting as above.
bool CheckRoundSaves();

// The running visit was settled into the bank and the statistics in memory: the next save of
// the players clears the record with the same transaction.
void SettleRoundRecord();
// For the save of the players: the record file emptied, when a record is on disk and the
// visit is settled.
std::optional<std::pair<std::string, std::string>> RoundRecordToClear(const std::string& playersFile);

// At start, before the players and casinos are read: a record left by a crash is put into
// the players, the casino statistics and the game data, and cleared, as one journaled save.
// A record or a file that cannot be read whole is logged and left as it is (the files'
// own loading then sets a damaged one aside). True when nothing was left undone.
bool ReplayRoundRecord(const std::string& playersFile, const std::string& casinosFolder);

}  // namespace vx
