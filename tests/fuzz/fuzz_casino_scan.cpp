// The casino manager's scan of a casinos folder whose files come from arbitrary bytes: each
// input is split into a "casino.dat" and a "casino.xml" for two casinos. The scan never
// crashes, lists each casino once, and a statistics file it could not read is set aside and
// never saved over, while one read whole saves and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/Log.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "platform/Files.h"
#include "tests/fuzz/FuzzScratch.h"
#include "xmlstore/XMLStore.h"

namespace {

// The next piece of the input, up to a line holding only "%%".
std::string_view Piece(std::string_view& rest) {
  const size_t cut = rest.find("\n%%\n");
  const std::string_view piece = rest.substr(0, cut);
  rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 4);
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string root = vxfuzz::ScratchFolder("casinos");
  static const TVXGameManager catalogue;
  vx::ResetXMLFileSafetyForTests();
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (const char* name : {"A", "b"}) {
    std::filesystem::create_directories(root + name);
    const std::string_view dat = Piece(rest), xml = Piece(rest);
    if (!dat.empty()) vx::WriteFileAtomic(root + name + "/casino.dat", dat);
    if (!xml.empty() || !rest.empty()) vx::WriteFileAtomic(root + name + "/casino.xml", xml);
  }
  {
    TVXCasinoManager manager(root, catalogue);
    for (int i = 0; i < manager.Count(); ++i) {
      TVXCasino* casino = manager.Items(i);
      if (manager.FindCasino(casino->Name) != casino || casino->GameCount() > TVXCasino::MaxGames) __builtin_trap();
      const std::string file = root + casino->Name + "/casino.xml";
      if (casino->SavesBlocked()) {
        if (vx::FileExists(file) || casino->SaveStatistics()) __builtin_trap();
        continue;
      }
      if (!casino->SaveStatistics()) __builtin_trap();
      TVXCasino back;
      back.StatisticsFile = file;
      if (!back.LoadStatistics() || back.GetXML() != casino->GetXML()) __builtin_trap();
    }
  }
  std::filesystem::remove_all(root + "A");
  std::filesystem::remove_all(root + "b");
  // The log keeps its lines: cleared, so every input ends with what it started with and the
  // leak check has nothing to look at.
  vx::ClearLog();
  return 0;
}
