// The return of every video-poker machine of the catalogue, printed for the record, and a
// second known machine (full-pay deuces wild) that exercises the wild cards.
#include <gtest/gtest.h>

#include "games/GameManager.h"
#include "games/PokerVariants.h"
#include "tools/analyser/ReturnAnalyser.h"

using namespace vx;

namespace {

TEST(ReturnAnalyserVariants, FullPayDeucesWildReturns100_76) {
  vxtools::TAnalyserConfig c;
  std::string error;
  ASSERT_TRUE(vxtools::ParsePayTable("RFN=800,4KD=200,RF=25,5K=15,SF=9,4K=5,FH=3,FL=2,ST=2,3K=1", c, error));
  c.Deck = vxtools::StandardDeck(52);
  c.DeucesWild = true;
  EXPECT_NEAR(vxtools::AnalyseReturn(c).Return, 1.007620, 0.0000005);
}

int MachineCount() {
  int count = 0;
  PokerVariants(count);
  return count;
}

// One machine of the catalogue a test, so that ctest can run them side by side.
class ReturnAnalyserEachMachine : public ::testing::TestWithParam<int> {};

TEST_P(ReturnAnalyserEachMachine, ReturnsAWholeDistributionAndIsPrinted) {
  TVXGameManager games;
  int count = 0;
  const TPokerVariant* variants = PokerVariants(count);
  const int v = GetParam();
  ASSERT_LT(v, count);
  const vxtools::TAnalyserConfig c = vxtools::ConfigForGame(*games.FindGameByID(variants[v].ID), variants[v], 5);
  const vxtools::TAnalysisResult r = vxtools::AnalyseReturn(c);
  double total = 0;
  for (double f : r.Frequency) total += f;
  EXPECT_NEAR(total, 1.0, 1e-9) << c.Name;
  EXPECT_GT(r.Return, 0.3) << c.Name;
  std::printf("%s", vxtools::FormatReport(c, r).c_str());
  std::fflush(stdout);
}

INSTANTIATE_TEST_SUITE_P(EveryMachine, ReturnAnalyserEachMachine, ::testing::Range(0, MachineCount()));

}  // namespace
