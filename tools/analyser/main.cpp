// vxanalyse: the exact return of the video-poker machines under optimal holds.
//   vxanalyse                      every machine of the catalogue
//   vxanalyse --game 10            one machine
//   vxanalyse --pays RF=800,SF=50,4K=25,FH=9,FL=6,ST=4,3K=3,2P=2,HP=1 [--deck 52|53|54]
//             [--deuces] [--costed]
//   --orvanta N (5..10) sets the Orvanta number for either form.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "core/StrUtils.h"
#include "games/GameManager.h"
#include "games/PokerVariants.h"
#include "tools/analyser/ReturnAnalyser.h"

namespace {

int Usage(const char* message) {
  if (message) std::fprintf(stderr, "vxanalyse: %s\n", message);
  std::fprintf(stderr,
               "usage: vxanalyse [--game ID] [--orvanta N]\n"
               "       vxanalyse --pays KEY=N,... [--deck 52|53|54] [--deuces] [--costed] [--orvanta N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int gameID = 0, deck = 52, orvanta = 5;
  bool deuces = false, costed = false;
  const char* pays = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    auto intValue = [&](int lo, int hi, int& out) {
      const char* v = value();
      const auto n = v ? vx::TryStrToInt(v) : std::nullopt;
      if (!n || *n < lo || *n > hi) return false;
      out = *n;
      return true;
    };
    if (arg == "--game") {
      if (!intValue(1, 99, gameID)) return Usage("--game needs a game id");
    } else if (arg == "--deck") {
      if (!intValue(52, 54, deck)) return Usage("--deck is 52, 53 or 54");
    } else if (arg == "--orvanta") {
      if (!intValue(5, 10, orvanta)) return Usage("--orvanta is 5..10");
    } else if (arg == "--pays") {
      if (!(pays = value())) return Usage("--pays needs a table");
    } else if (arg == "--deuces") {
      deuces = true;
    } else if (arg == "--costed") {
      costed = true;
    } else {
      return Usage(("unknown argument " + arg).c_str());
    }
  }
  try {
    if (pays) {
      vxtools::TAnalyserConfig config;
      std::string error;
      if (!vxtools::ParsePayTable(pays, config, error)) return Usage(error.c_str());
      config.Name = "pay table " + std::string(pays);
      config.Deck = vxtools::StandardDeck(deck);
      config.DeucesWild = deuces;
      config.DrawCostsBet = costed;
      config.OrvantaNumber = orvanta;
      std::fputs(vxtools::FormatReport(config, vxtools::AnalyseReturn(config)).c_str(), stdout);
      return 0;
    }
    TVXGameManager games;
    int count = 0;
    const vx::TPokerVariant* variants = vx::PokerVariants(count);
    bool found = false;
    for (int v = 0; v < count; ++v) {
      if (gameID != 0 && variants[v].ID != gameID) continue;
      const TGameInfo* info = games.FindGameByID(variants[v].ID);
      if (!info) continue;
      found = true;
      const vxtools::TAnalyserConfig config = vxtools::ConfigForGame(*info, variants[v], orvanta);
      std::fputs(vxtools::FormatReport(config, vxtools::AnalyseReturn(config)).c_str(), stdout);
      std::fflush(stdout);
    }
    if (!found) return Usage("no video-poker game with that id");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vxanalyse: %s\n", e.what());
    return 1;
  }
  return 0;
}
