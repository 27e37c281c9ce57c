// The default casino's games are the catalogue's games, in the catalogue's order, named by
// id strings the catalogue finds (it compares them exactly).
#include <gtest/gtest.h>

#include "games/GameManager.h"
#include "support/TempDir.h"
#include "tools/datagen/Checks.h"
#include "tools/datagen/Ini.h"

namespace vx::datagen {
namespace {

TEST(CatalogueCheck, DefaultCasinoNamesEveryCatalogueGameOnceInCatalogueOrder) {
  TVXGameManager catalogue;
  ASSERT_EQ(catalogue.Count(), 16);
  std::vector<std::string> ids;
  for (int i = 0; i < catalogue.Count(); ++i) ids.push_back(catalogue.Games(i)->IDStr);
  EXPECT_EQ(ids, CatalogueIdStrings());

  const std::string text = vxtest::TempDir::ReadFile(std::string(VX_SOURCE_DIR) +
                                                     "/data/casinos/VideoPokerCasino/casino.dat");
  int games = 0;
  for (const auto& s : ParseIni(text).file.sections) {
    if (s.name.rfind("GAME_", 0) != 0) continue;
    const std::string id = s.Get("IDStr").value_or("_ERROR");
    ASSERT_LT(games, catalogue.Count());
    EXPECT_EQ(catalogue.FindGameByIDStr(id), catalogue.Games(games)) << id;
    ++games;
  }
  EXPECT_EQ(games, 16);
}

}  // namespace
}  // namespace vx::datagen
