#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "core/Checked.h"
#include "core/Log.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/StrUtils.h"

namespace {

struct RoundingPhase : ::testing::Test {
  void SetUp() override { vx::ResetRoundingForTests(); }
  void TearDown() override { vx::ResetRoundingForTests(); }
};

TEST_F(RoundingPhase, TiesToEvenThenUpward) {
  EXPECT_EQ(vx::Round(2.5), 2);
  EXPECT_EQ(vx::Round(3.5), 4);
  EXPECT_EQ(vx::Round(-2.5), -2);
  EXPECT_EQ(vx::Round(2.4), 2);
  EXPECT_EQ(vx::Round(2.6), 3);
  EXPECT_EQ(vx::Round(-2.6), -3);
  EXPECT_EQ(vx::Round(0.5), 0);
  EXPECT_EQ(vx::Round(1.5), 2);
  vx::SwitchRoundingUpward();
  vx::SwitchRoundingUpward();  // idempotent
  EXPECT_TRUE(vx::RoundingIsUpward());
  EXPECT_EQ(vx::Round(2.5), 3);
  EXPECT_EQ(vx::Round(2.1), 3);
  EXPECT_EQ(vx::Round(3.0), 3);
  EXPECT_EQ(vx::Round(-2.5), -2);
  EXPECT_EQ(vx::Round(-2.9), -2);
}

TEST_F(RoundingPhase, ExtremesAreClampedNotUndefined) {
  EXPECT_EQ(vx::Round(1e300), INT64_MAX);
  EXPECT_EQ(vx::Round(-1e300), INT64_MIN);
  EXPECT_EQ(vx::Round(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(vx::Round32(1e12), INT32_MAX);
  EXPECT_EQ(vx::Round32(-1e12), INT32_MIN);
}

TEST(Checked, ThrowsAtTheLimitsAndNowhereElse) {
  EXPECT_EQ(vx::CheckedAdd(INT32_MAX - 1, 1), INT32_MAX);
  EXPECT_THROW(vx::CheckedAdd(INT32_MAX, 1), EOverflow);
  EXPECT_THROW(vx::CheckedAdd(INT32_MIN, -1), EOverflow);
  EXPECT_EQ(vx::CheckedSub(INT32_MIN + 1, 1), INT32_MIN);
  EXPECT_THROW(vx::CheckedSub(INT32_MIN, 1), EOverflow);
  EXPECT_THROW(vx::CheckedSub(0, INT32_MIN), EOverflow);
  EXPECT_EQ(vx::CheckedMul(46340, 46340), 2147395600);
  EXPECT_THROW(vx::CheckedMul(46341, 46341), EOverflow);
  EXPECT_THROW(vx::CheckedMul(-1, INT32_MIN), EOverflow);
  EXPECT_THROW(vx::CheckedMul64(INT64_MAX, 2), EOverflow);
  EXPECT_EQ(vx::CheckedAddU32(0xFFFFFFFEu, 1), 0xFFFFFFFFu);
  EXPECT_THROW(vx::CheckedAddU32(0xFFFFFFFFu, 1), EOverflow);
  EXPECT_THROW(vx::CheckedAddU32(0, -1), EOverflow);
  EXPECT_THROW(vx::CheckedToInt32(int64_t{INT32_MAX} + 1), EOverflow);
}

TEST(RandomGen, SeededSequencesReplayAndStayInRange) {
  vx::DefaultRandom a(42), b(42);
  std::set<int> seen;
  for (int i = 0; i < 10000; ++i) {
    int x = a.Random(52);
    ASSERT_EQ(x, b.Random(52));
    ASSERT_GE(x, 0);
    ASSERT_LT(x, 52);
    seen.insert(x);
  }
  EXPECT_EQ(seen.size(), 52u);
  EXPECT_EQ(a.Random(0), 0);
  EXPECT_EQ(a.Random(-5), 0);
  double r = a.RandomReal();
  EXPECT_GE(r, 0.0);
  EXPECT_LT(r, 1.0);
}

TEST(RandomGen, InjectedGeneratorIsUsedByRandom) {
  struct Fixed : vx::RandomGenerator {
    void Seed(uint64_t) override {}
    int32_t Random(int32_t n) override { return n - 1; }
    double RandomReal() override { return 0.5; }
  };
  vx::SetRng(std::make_unique<Fixed>());
  EXPECT_EQ(Random(10), 9);
  vx::SetRng(nullptr);
  EXPECT_LT(Random(10), 10);
}

TEST(Strings, CaseFoldingIsAsciiOnly) {
  EXPECT_TRUE(vx::SameText("Players", "PLAYERS"));
  EXPECT_FALSE(vx::SameText("\xE9", "\xC9"));  // é and É are different bytes
  EXPECT_LT(vx::CompareText("abc", "ABD"), 0);
  EXPECT_LT(vx::CompareText("ab", "abc"), 0);
  EXPECT_EQ(vx::Trim("  \t x y \r\n"), "x y");
  EXPECT_EQ(vx::Trim("   "), "");
}

TEST(Strings, IntegerGrammar) {
  EXPECT_EQ(vx::TryStrToInt("123"), 123);
  EXPECT_EQ(vx::TryStrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(vx::TryStrToInt("$FF"), 255);
  EXPECT_EQ(vx::TryStrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(vx::TryStrToInt("2147483648"), std::nullopt);
  EXPECT_EQ(vx::TryStrToInt("12a"), std::nullopt);
  EXPECT_EQ(vx::TryStrToInt(""), std::nullopt);
  EXPECT_EQ(vx::TryStrToInt("-"), std::nullopt);
  EXPECT_EQ(vx::TryStrToInt64("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(vx::StrToIntDef("x", 7), 7);
}

TEST(LogSink, BuffersNotifiesAndSurvivesThrowingListeners) {
  vx::ClearLog();
  std::vector<std::string> seen;
  int a = vx::AddLogListener([&](const std::string& s) { seen.push_back(s); });
  int b = vx::AddLogListener([](const std::string&) { throw 1; });
  Log("INFO: one");
  vx::RemoveLogListener(a);
  vx::RemoveLogListener(b);
  Log("INFO: two");
  EXPECT_EQ(seen, std::vector<std::string>{"INFO: one"});
  EXPECT_TRUE(vx::LogContains("two"));
}

TEST(LogSink, BoundedOutsideDeveloperMode) {
  vx::ClearLog();
  for (size_t i = 0; i < vx::MaxLogLines + 10; ++i) Log("INFO: " + std::to_string(i));
  auto lines = vx::LogLines();
  EXPECT_EQ(lines.size(), vx::MaxLogLines);
  EXPECT_EQ(lines.back(), "INFO: " + std::to_string(vx::MaxLogLines + 9));
  vx::ClearLog();
}

}  // namespace
