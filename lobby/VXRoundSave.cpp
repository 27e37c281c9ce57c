#include "lobby/VXRoundSave.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "core/Checked.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/StrUtils.h"
#include "games/GameData.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"

const XMLClassInfo& TVXRoundRecord::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXRoundRecord, TTSYXMLObject>("TVXRoundRecord")
                                       .Prop("PlayerName", &TVXRoundRecord::PlayerName)
                                       .Prop("Bank", &TVXRoundRecord::Bank)
                                       .Prop("StatisticsFile", &TVXRoundRecord::StatisticsFile)
                                       .Prop("GameStatistics", &TVXRoundRecord::GameStatistics)
                                       .Prop("DataFile", &TVXRoundRecord::DataFile)
                                       .Prop("DataText", &TVXRoundRecord::DataText);
  return info;
}

namespace vx {
namespace {

// The one writer thread. Only the newest record matters, so a single slot holds the job
// waiting; the thread starts with the first job and is joined when the program ends.
class TRoundWriter {
public:
  struct Job {
    std::string Journal;  // of the players' saves, for the ordinary save that retries
    std::string Path;
    std::string Text;
  };

  ~TRoundWriter() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  void Queue(Job job) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = std::move(job);
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    wake_.notify_all();
  }

  bool Idle() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !waiting_ && !busy_;
  }

  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !waiting_ && !busy_; });
  }

  // The last job, when it failed and nothing was written after it.
  std::optional<std::pair<Job, std::string>> TakeFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(failed_, std::nullopt);
  }

private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || waiting_; });
      // A job still waiting is written before the thread ends.
      if (!waiting_) return;
      Job job = std::move(*waiting_);
      waiting_.reset();
      busy_ = true;
      lock.unlock();
      std::string error;
      const std::string folder = ExtractFilePath(job.Path);
      const bool ok = (folder.empty() || ForceOwnerOnlyDirectories(folder, &error)) &&
                      WriteFileAtomic(job.Path, job.Text, &error, true);
      lock.lock();
      busy_ = false;
      if (ok) failed_.reset();
      else failed_.emplace(std::move(job), error);
      idle_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Job> waiting_;
  bool busy_ = false;
  bool stop_ = false;
  std::optional<std::pair<Job, std::string>> failed_;
  std::thread thread_;
};

TRoundWriter& Writer() {
  static TRoundWriter writer;
  return writer;
}

// Main thread only.
bool g_settled = true;
// The last record queued and the bank it gives, so that a save that changes nothing is not
// written again and one that moves money is known.
std::string g_lastText;
std::optional<uint32_t> g_lastBank;

// A record the writer could not put in place is saved once more the ordinary way, which logs
// a failure and tells the player (once per run) that progress cannot be saved.
void ReportRoundSaveFailure() {
  auto failure = Writer().TakeFailure();
  if (!failure) return;
  g_lastText.clear();
  Log("ERROR: The round could not be saved: " + failure->second);
  SaveXMLFiles(failure->first.Journal, {{failure->first.Path, failure->first.Text}});
}

// A path of the record's that names a file in the casinos folder; empty otherwise.
std::string InsideFolder(const std::string& path, const std::string& folder) {
  // A control character (a NUL above all, which the file calls would cut the name at) is
  // damage, never part of a name the program wrote.
  if (std::any_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) return {};
  std::string root = ResolvePath(folder);
  if (!root.empty() && root.back() != '/') root += '/';
  const std::string resolved = ResolvePath(path);
  if (root.size() <= 1 || !resolved.starts_with(root) || resolved.size() == root.size()) return {};
  for (const std::string& part : Split(resolved, '/'))
    if (part == "..") return {};
  return resolved;
}

// A path of the record's that names `name` (any case) in a casino's own folder, one level
// below the casinos folder, as the program names a casino's statistics and game data; empty
// otherwise, so a damaged record can neither make up files nor overwrite a casino's others.
std::string CasinoFile(const std::string& path, const std::string& folder, const std::string& name) {
  const std::string resolved = InsideFolder(path, folder);
  if (resolved.empty() || name.empty()) return {};
  std::string root = ResolvePath(folder);
  if (!root.empty() && root.back() != '/') root += '/';
  const std::vector<std::string> parts = Split(std::string_view(resolved).substr(root.size()), '/');
  if (parts.size() != 2 || parts[0].empty() || LowerCase(parts[1]) != LowerCase(name)) return {};
  return resolved;
}

// A whole XML file into `object`; false (with the reason) when it is not read whole.
template <class T>
bool ReadWhole(const std::string& path, T& object, std::string& reason) {
  std::string text;
  if (!ReadWholeFile(ResolvePath(path), text, &reason)) return false;
  try {
    if (object.SetXML(text) == XMLReadResult::Complete) return true;
    reason = "it could not be read whole";
  } catch (const std::exception& e) {
    reason = e.what();
  }
  return false;
}

}  // namespace

std::string RoundRecordFile(const std::string& playersFile) {
  return playersFile.empty() ? std::string() : ExtractFilePath(playersFile) + "lastround.xml";
}

namespace {

// The record's text, and the bank it gives.
std::optional<std::string> MakeRecordText(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino,
                                          const TVXGameData& data, const std::string& gameIDStr, uint32_t* bank) {
  // A list without a file is kept in memory only.
  if (players.FileName.empty()) return std::nullopt;
  if (players.SavesBlocked() || XMLSaveBlocked(players.FileName)) {
    Log("ERROR: Nothing is saved with the players: " + players.FileName + " could not be read");
    return std::nullopt;
  }
  if (players.FindPlayer(player.PlayerName) == nullptr) return std::nullopt;
  try {
    TVXRoundRecord record;
    record.PlayerName = player.PlayerName;
    // What the player owns at this moment: the credit, a win decided in play (shown, counting
    // or offered for the double-up) and what is counting into the credit.
    const uint64_t owned = data.Money.Total(nullptr);
    if (owned > UINT32_MAX) throw EOverflow();
    const uint32_t credit = static_cast<uint32_t>(owned);
    record.Bank = CheckedAddU32(player.Bank, credit);
    if (!casino.StatisticsFile.empty() && !casino.SavesBlocked() && !XMLSaveBlocked(casino.StatisticsFile)) {
      record.StatisticsFile = casino.StatisticsFile;
      TGameStatictics* game = record.GameStatistics.Add();
      game->GameIDStr = gameIDStr;
      if (TPlayerStatistics* known = casino.FindPlayerStatistics(player.PlayerName, false))
        if (const TGameStatictics* before = known->FindGameStatistics(gameIDStr, false)) {
          game->GameIDStr = before->GameIDStr;
          game->CreditIn = before->CreditIn;
          game->CreditOut = before->CreditOut;
          for (int i = 0; i < before->GameHands.Count(); ++i) {
            TGameHand* hand = game->GameHands.Add();
            hand->HandIDStr = before->GameHands.Items(i)->HandIDStr;
            hand->Value = before->GameHands.Items(i)->Value;
          }
        }
      data.MergeInto(game);
      game->CreditOut = CheckedAddU32(game->CreditOut, credit);
      // The open round's decided hand, which its end counts in the tally.
      if (!data.DecidedHand.empty()) {
        TGameHand* hand = game->FindHand(data.DecidedHand, true);
        hand->Value = CheckedAdd(hand->Value, 1);
      }
    }
    if (!data.FileName.empty() && !XMLSaveBlocked(data.FileName)) {
      record.DataFile = data.FileName;
      record.DataText = data.SettledFileText();
    }
    if (bank != nullptr) *bank = record.Bank;
    return record.GetXML();
  } catch (const std::exception& e) {
    Log(std::string("ERROR: The round could not be saved: ") + e.what());
    return std::nullopt;
  }
}

}  // namespace

std::optional<std::string> RoundRecordText(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino,
                                           const TVXGameData& data, const std::string& gameIDStr) {
  return MakeRecordText(players, player, casino, data, gameIDStr, nullptr);
}

bool SaveRoundInBackground(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino,
                           const TVXGameData& data, const std::string& gameIDStr) {
  // What the writer failed at before is told first.
  if (Writer().Idle()) ReportRoundSaveFailure();
  uint32_t bank = 0;
  std::optional<std::string> text = MakeRecordText(players, player, casino, data, gameIDStr, &bank);
  if (!text) return false;
  if (!g_settled && *text == g_lastText) return true;
  g_settled = false;
  g_lastText = *text;
  g_lastBank = bank;
  Writer().Queue({players.JournalFile(), RoundRecordFile(players.FileName), std::move(*text)});
  return true;
}

bool CommitRound(const TVXPlayers& players, const TVXPlayer& player, TVXCasino& casino, const TVXGameData& data,
                 const std::string& gameIDStr) {
  const std::optional<uint32_t> before = g_lastBank;
  if (!SaveRoundInBackground(players, player, casino, data, gameIDStr)) return false;
  // Money moved: it is on disk before the game goes on. A change of statistics alone rides
  // along in the background.
  if (g_lastBank != before) WaitForRoundSaves();
  return true;
}

void WaitForRoundSaves() {
  Writer().Wait();
  ReportRoundSaveFailure();
}

bool CheckRoundSaves() {
  if (!Writer().Idle()) return false;
  ReportRoundSaveFailure();
  return true;
}

void SettleRoundRecord() {
  g_settled = true;
  g_lastText.clear();
  g_lastBank.reset();
}

std::optional<std::pair<std::string, std::string>> RoundRecordToClear(const std::string& playersFile) {
  const std::string file = RoundRecordFile(playersFile);
  if (!g_settled || file.empty() || FileSize(file) <= 0) return std::nullopt;
  return std::make_pair(file, std::string());
}

bool ReplayRoundRecord(const std::string& playersFile, const std::string& casinosFolder) {
  const std::string file = RoundRecordFile(playersFile);
  if (file.empty() || FileSize(file) <= 0) return true;
  std::string reason;
  auto leave = [&](const std::string& why) {
    Log("ERROR: The last round's record " + file + " was not replayed: " + why);
    return false;
  };
  TVXRoundRecord record;
  if (!ReadWhole(file, record, reason)) return leave(reason);
  TVXPlayers players;
  players.FileName = playersFile;
  if (!ReadWhole(playersFile, players, reason)) return leave(playersFile + ": " + reason);
  TVXPlayer* player = players.FindPlayer(record.PlayerName);
  if (player == nullptr) return leave("no player " + record.PlayerName);
  player->Bank = record.Bank;
  std::vector<FileWrite> writes{{playersFile, players.FileText()}};

  if (!record.StatisticsFile.empty() && record.GameStatistics.Count() == 1) {
    const std::string statistics = CasinoFile(record.StatisticsFile, casinosFolder, "casino.xml");
    if (statistics.empty()) return leave(record.StatisticsFile + " is not a casino's file");
    TVXCasino casino;
    if (FileExists(statistics) && !ReadWhole(statistics, casino, reason)) return leave(statistics + ": " + reason);
    const TGameStatictics* after = record.GameStatistics.Items(0);
    TGameStatictics* game =
        casino.FindPlayerStatistics(record.PlayerName, true)->FindGameStatistics(after->GameIDStr, true);
    // The record holds the whole of the player's record of the game: replaying it twice
    // changes nothing.
    game->GameHands.Clear();
    game->SetXMLBody(after->GetXMLBody());
    writes.push_back({statistics, casino.FileText()});
  }
  if (!record.DataFile.empty()) {
    // A game's data file: beside the statistics and named after the game they count when the
    // record has them (the statistics may have been left out), never the casino's own file.
    const bool counted = !record.StatisticsFile.empty() && record.GameStatistics.Count() == 1;
    const std::string own = ExtractFileName(ResolvePath(record.DataFile));
    const std::string expected = counted ? record.GameStatistics.Items(0)->GameIDStr + ".dat"
                                 : LowerCase(own).ends_with(".dat") && LowerCase(own) != "casino.dat" ? own
                                                                                                    : std::string();
    const std::string dataFile = CasinoFile(record.DataFile, casinosFolder, expected);
    if (dataFile.empty() ||
        (counted && ExtractFilePath(dataFile) != ExtractFilePath(CasinoFile(record.StatisticsFile, casinosFolder, "casino.xml"))))
      return leave(record.DataFile + " is not a game's data file");
    writes.push_back({dataFile, record.DataText});
  }
  writes.push_back({file, {}});
  std::string error;
  if (!WriteFilesAtomic(players.JournalFile(), writes, &error))
    return leave("the files could not be written: " + error);
  Log("INFO: The last round before an interruption was saved into " + playersFile);
  return true;
}

}  // namespace vx
