// The last round's record, from arbitrary bytes ("%P%" standing for the program's folder), replayed at start over a players file and
// a casino's statistics: never a crash; a replay that fails changes no file, one that
// succeeds clears the record and leaves files that read whole, and only inside the program's
// players and casinos folders.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/Log.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXRoundSave.h"
#include "platform/Files.h"
#include "tests/fuzz/FuzzScratch.h"
#include "xmlstore/XMLStore.h"

namespace {

std::string Read(const std::string& path) {
  std::string text;
  vx::ReadWholeFile(path, text);
  return text;
}

size_t Entries(const std::string& folder) {
  size_t n = 0;
  for (auto it = std::filesystem::recursive_directory_iterator(folder); it != std::filesystem::recursive_directory_iterator(); ++it) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string root = vxfuzz::ScratchFolder("roundrecord");
  vx::ClearLog();
  vx::ResetXMLFileSafetyForTests();
  const std::string program = root + "program/";
  const std::string playersFile = program + "Players/players.xml";
  const std::string statistics = program + "Casinos/Main/casino.xml";
  std::filesystem::create_directories(program + "Players");
  std::filesystem::create_directories(program + "Casinos/Main");
  vx::WriteFileAtomic(playersFile, "<VXPlayers><VXPlayer><PlayerName>Ann</PlayerName><Bank>1000</Bank></VXPlayer></VXPlayers>");
  vx::WriteFileAtomic(statistics, "<VXCasino><PlayersStatistics></PlayersStatistics></VXCasino>");
  const std::string record = vx::RoundRecordFile(playersFile);
  // "%P%" stands for the program's folder, so that a seed can name the files it replays into.
  std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t at = text.find("%P%"); at != std::string::npos; at = text.find("%P%", at + program.size()))
    text.replace(at, 3, program);
  vx::WriteFileAtomic(record, text);
  const std::string players = Read(playersFile), casino = Read(statistics), before = Read(record);
  const size_t entries = Entries(root);

  if (vx::ReplayRoundRecord(playersFile, program + "Casinos/")) {
    if (!before.empty() && !Read(record).empty()) __builtin_trap();
    TVXPlayers list;
    if (list.SetXML(Read(playersFile)) != XMLReadResult::Complete) __builtin_trap();
    TVXCasino back;
    if (back.SetXML(Read(statistics)) != XMLReadResult::Complete) __builtin_trap();
  } else if (Read(playersFile) != players || Read(statistics) != casino || Read(record) != before) {
    __builtin_trap();
  }
  // A data file may be added in the casinos folder; nothing else appears.
  if (Entries(root) > entries + 1 || Entries(program + "Casinos") > 3) __builtin_trap();
  std::filesystem::remove_all(program);
  vx::ClearLog();
  return 0;
}
