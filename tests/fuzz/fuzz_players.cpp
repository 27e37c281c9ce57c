// Players' files, casino statistics and casino descriptions from arbitrary bytes: reading never
// crashes, a bank out of range never stops the reading, what is read is written back and read
// again unchanged, every player read can sign in, and a casino never lists more than its cap.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "core/Log.h"
#include "framework/VXListBox.h"
#include "framework/VXStore.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"

namespace {

template <class T>
void ReadAnyway(T& target, const std::string& text) {
  try {
    target.SetXML(text);
  } catch (const std::exception&) {
    // A value that does not convert stops reading; what was read stays.
  }
}

void Players(const std::string& text) {
  TVXPlayers a;
  ReadAnyway(a, text);
  const std::string saved = a.GetXML();
  TVXPlayers b;
  if (b.SetXML(saved) != XMLReadResult::Complete) __builtin_trap();
  if (b.Count() != a.Count() || b.GetXML() != saved) __builtin_trap();
  for (int i = 0; i < b.Count(); ++i) {
    TVXPlayer* p = b.Items(i);
    if (b.FindPlayer(p->PlayerName) == p && !b.Login(p->PlayerName, p->Password)) __builtin_trap();
  }
  if (b.Count() <= 64) {
    TVXListBox box(nullptr);
    const int marked = b.CurrentPlayer() != nullptr ? 1 : 0;
    if (b.FillPlayerList(&box, true) != b.Count()) __builtin_trap();
    if (box.Items.Count() > b.Count() + marked) __builtin_trap();
  }
}

void CasinoStatistics(const std::string& text) {
  TVXCasino a;
  ReadAnyway(a, text);
  const std::string saved = a.GetXML();
  TVXCasino b;
  if (b.SetXML(saved) != XMLReadResult::Complete || b.GetXML() != saved) __builtin_trap();
  for (int i = 0; i < b.PlayersStatistics.Count(); ++i) {
    TPlayerStatistics* p = b.PlayersStatistics.Items(i);
    if (b.FindPlayerStatistics(p->PlayerName, false) == nullptr) __builtin_trap();
  }
}

void CasinoDescription(const std::string& text) {
  static const TVXGameManager catalogue;
  TVXStore store;
  store.SetText(text);
  TVXCasino casino;
  casino.ReadDescription(store, catalogue);
  if (casino.GameCount() > TVXCasino::MaxGames) __builtin_trap();
  for (const TGameInfo* g : casino.Games)
    if (g == nullptr || catalogue.FindGameByIDStr(g->IDStr) != g) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  const std::string text(reinterpret_cast<const char*>(data), size);
  Players(text);
  CasinoStatistics(text);
  CasinoDescription(text);
  return 0;
}
