// Game data files and bet lists from arbitrary text: reading never crashes, the repairs
// always leave values play can reach, and what is written reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Log.h"
#include "games/GameData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  const std::string text(reinterpret_cast<const char*>(data), size);

  TPokerData bets;
  bets.SetBetList(text);
  if (bets.BetList.size() < 2 || bets.MinBet != bets.BetList[1] || bets.MaxBet != bets.BetList.back())
    __builtin_trap();
  for (size_t i = 1; i < bets.BetList.size(); ++i)
    if (bets.BetList[i] <= 0) __builtin_trap();

  TPokerData d;
  try {
    d.SetXML(text);
  } catch (const std::exception&) {
    // A value that does not convert stops reading; what was read stays.
  }
  d.RepairLoadedValues();
  if (d.OrvantaNumber < 5 || d.OrvantaNumber > 10) __builtin_trap();
  if (d.AmericanJackpot < 1 || d.AmericanJackpot > TPokerData::MaxJackpot) __builtin_trap();
  if (d.DupWinJackpot < 1 || d.DupWinJackpot > TPokerData::MaxJackpot) __builtin_trap();
  for (int i = 0; i < d.OrvantaStats.Count(); ++i) {
    const int32_t v = d.OrvantaStats.Items(i)->DataInt2;
    if (v < 0 || v > TPokerData::MaxOrvantaCount) __builtin_trap();
  }
  for (int i = 0; i < d.AmericanMiniBonusStats.Count(); ++i) {
    const TVXStoreItem* item = d.AmericanMiniBonusStats.Items(i);
    if (item->DataInt >= 1 && (item->DataInt2 < item->DataInt || int64_t{item->DataInt2} >= 100ll * item->DataInt))
      __builtin_trap();
  }

  const std::string saved = d.GetXML();
  TPokerData e;
  e.SetXML(saved);
  if (e.GetXML() != saved) __builtin_trap();
  return 0;
}
