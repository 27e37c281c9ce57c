// The INI store of theme and casino files: sections and keys, value types, four-part values
// and files that are missing, damaged or too large.
#include <gtest/gtest.h>

#include "core/Log.h"
#include "framework/VXStore.h"
#include "support/TempDir.h"

namespace {

using Int4 = std::array<int32_t, 4>;
constexpr Int4 kDefaults{-1, -2, -3, -4};

TVXStore StoreOf(const std::string& text) {
  TVXStore s;
  s.SetText(text);
  return s;
}

}  // namespace

TEST(StoreFourPart, SplitsFromTheLeftAndFallsBackPerPart) {
  struct Row {
    const char* text;
    Int4 want;
  };
  const Row rows[] = {
      {"1_2_3_4", {1, 2, 3, 4}},
      {"10_20", {10, -2, -3, 20}},        // the middle parts keep their defaults
      {"5", {-1, -2, -3, 5}},             // a single number is the fourth part
      {"1_2_3_4_5", {1, 2, 3, -4}},       // "4_5" is no number: the fourth default
      {"1_2_3", {1, 2, -3, 3}},
      {"", {-1, -2, -3, -4}},
      {"_", {-1, -2, -3, -4}},
      {"x_2_y_4", {-1, 2, -3, 4}},
      {"-7_$10_0_-2147483648", {-7, 16, 0, INT32_MIN}},
      {"4294967295_1_1_1", {-1, 1, 1, 1}},  // beyond 32 bits: the default
      {"1__3_4", {1, -2, 3, 4}},
      {"a1_2_3_4", {-1, 2, 3, 4}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TVXStore::SplitInt4(r.text, kDefaults), r.want) << '"' << r.text << '"';
  }
}

TEST(StoreFourPart, AMissingKeyGivesTheDefaultsAndBothNamesAgree) {
  const TVXStore s = StoreOf("[A]\nC=1_2_3_4\nD=9\n");
  EXPECT_EQ(s.ReadInt4("A", "missing", kDefaults), kDefaults);
  EXPECT_EQ(s.ReadInt4("nosection", "C", kDefaults), kDefaults);
  EXPECT_EQ(s.ReadInt4("a", "c", kDefaults), (Int4{1, 2, 3, 4}));
  EXPECT_EQ(s.ReadInt4Def("A", "D", kDefaults), s.ReadInt4("A", "D", kDefaults));
  int32_t a = 0, b = 0, c = 0, d = 0;
  s.ReadInt4("A", "D", a, b, c, d, 5, 6, 7, 8);
  EXPECT_EQ((Int4{a, b, c, d}), (Int4{5, 6, 7, 9}));
}

TEST(StoreText, SectionsAndKeysIgnoreCaseAndFirstValuesWin) {
  const TVXStore s = StoreOf(
      "Top=1\n"  // before any section: ignored
      "; a comment\n"
      "[BTN_OK]\r\n"
      "  Left = 12 \r\n"
      "left=99\n"
      "Caption=Hello = world\n"
      "NoEquals\n"
      "=5\n"
      "\n"
      "[btn_ok]\n"
      "Top=7\n"
      "Left=55\n"
      "[Other]\n"
      "Flag=1\n"
      "Bad=maybe\n"
      "Hex=$FF\n");
  EXPECT_EQ(s.ReadSections(), (std::vector<std::string>{"BTN_OK", "Other"}));
  EXPECT_EQ(s.ReadInteger("BTN_OK", "LEFT", 0), 12);
  EXPECT_EQ(s.ReadInteger("Btn_Ok", "Top", 0), 7);  // a repeated section adds to the first
  EXPECT_EQ(s.ReadString("BTN_OK", "Caption", ""), "Hello = world");
  EXPECT_EQ(s.ReadString("BTN_OK", "NoEquals", "x"), "");
  EXPECT_TRUE(s.ValueExists("BTN_OK", "noequals"));
  EXPECT_FALSE(s.ValueExists("BTN_OK", ""));
  EXPECT_FALSE(s.ValueExists("", "Top"));
  EXPECT_TRUE(s.ReadBool("Other", "Flag", false));
  EXPECT_TRUE(s.ReadBool("Other", "Bad", true));  // not a number: the default
  EXPECT_FALSE(s.ReadBool("Other", "Bad", false));
  EXPECT_EQ(s.ReadInteger("Other", "Hex", 0), 255);
  EXPECT_EQ(s.ReadInteger("Other", "Missing", -9), -9);
  EXPECT_EQ(s.ReadSection("other"), (std::vector<std::string>{"Flag", "Bad", "Hex"}));
}

TEST(StoreText, OddBracketsAndEmptySectionNames) {
  const TVXStore s = StoreOf("[]\nA=1\n[ X ]\nB=2\n[Y\nC=3\n]\n");
  EXPECT_TRUE(s.SectionExists(""));
  EXPECT_EQ(s.ReadInteger("", "A", 0), 1);
  EXPECT_EQ(s.ReadInteger("X", "B", 0), 2);
  // "[Y" opens nothing: its keys stay with the section above.
  EXPECT_EQ(s.ReadInteger("X", "C", 0), 3);
  EXPECT_FALSE(s.SectionExists("Y"));
}

TEST(StoreFiles, MissingDamagedAndOversizedFilesLeaveAnEmptyStore) {
  vxtest::TempDir dir;
  vx::ClearLog();
  TVXStore missing(dir.File("nothing.scn"));
  EXPECT_FALSE(missing.Loaded());
  EXPECT_TRUE(missing.ReadSections().empty());
  EXPECT_FALSE(vx::LogContains("ERROR"));  // a missing file is the caller's to report

  vxtest::TempDir::WriteFile(dir.File("binary.scn"), std::string("\0\xff[A]\0\nK=1\n\x80", 12));
  TVXStore binary(dir.File("binary.scn"));
  EXPECT_TRUE(binary.Loaded());

  const std::string big(static_cast<size_t>(TVXStore::MaxFileBytes) + 1, 'x');
  vxtest::TempDir::WriteFile(dir.File("big.scn"), big);
  TVXStore tooBig(dir.File("big.scn"));
  EXPECT_FALSE(tooBig.Loaded());
  EXPECT_TRUE(vx::LogContains("ERROR: Cannot read"));

  vxtest::TempDir::WriteFile(dir.File("Mixed.SCN"), "[S]\nK=4\n");
  TVXStore mixed(dir.File("mixed.scn"));  // names resolve ignoring case, as the game expects
  EXPECT_EQ(mixed.ReadInteger("S", "K", 0), 4);
}
