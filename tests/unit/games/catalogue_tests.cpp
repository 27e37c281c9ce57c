// The game catalogue: every entry as it must stand, the look-ups, the pay tables and the
// hand order and display tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Log.h"
#include "games/GameManager.h"
#include "games/PokerVariants.h"

using namespace vx;

namespace {

struct Entry {
  int32_t id;
  const char* idStr;
  const char* title;
  int32_t group;
  const char* description;
  const char* pays;  // "KEY=value ..." in row order
};

const char* const Slot =
    "Multiple Line slot machines let players bet on additional paylines by adding more coins. Each "
    "additional coin activates an additional payline up to the 3 or 5 line maximum, depending on the "
    "machine. Multiple Line slots use the traditional bar and 7 symbols, as well as special, "
    "machine-specific symbols.";

const Entry Expected[] = {
    {1, "VXG_VP_ORVANTABONUS", "ORVANTA BONUS POKER", 1,
     "3 DEAL, DOUBLE UP BIG/SMALL, 4XORVANTA NUMBER BONUS, 3XORVANTA NUMBER BONUS",
     "5K=800 RF=500 SF=100 4K=40 FH=10 FL=9 ST=7 3K=3 2P=2 HP=1 3XO=13"},
    {2, "VXG_VP_ORVANTABONUS2", "ORVANTA BONUS POKER DEUCES WILD", 1,
     "DEUCES WILD, 3 DEAL, DOUBLE UP BIG/SMALL, 4XORVANTA NUMBER BONUS, 3XORVANTA NUMBER BONUS",
     "RFN=1000 4KD=500 RF=100 SF=70 5K=50 4K=4 FH=3 FL=2 ST=2 3K=1 3XO=40"},
    {3, "VXG_VP_DOUBLEJOKER", "DOUBLE JOKER POKER", 1, "2XJOKER, DOUBLE UP BEAT THE DEALER",
     "RFN=800 5K=100 RF=30 SF=20 4K=10 FH=5 FL=3 ST=2 3K=1 2P=1"},
    {4, "VXG_VP_DOUBLEJOKER2", "DOUBLE JOKER POKER 2", 1, "2XJOKER, DOUBLE UP BEAT THE DEALER",
     "5K=50 RF=20 SF=10 4K=5 FH=4 FL=3 ST=3 3K=2 2P=2 HP=1"},
    {5, "VXG_VP_AMERICANPOKER", "AMERICAN POKER", 1, "JACKS OR BETTER BONUS, DOUBLE UP RED/BLACK, DOUBLE UP BONUS",
     "5K=600 RF=300 SF=80 4K=40 FH=12 FL=9 ST=7 3K=5 2P=3"},
    {6, "VXG_VP_AMERICANPOKER2", "AMERICAN POKER DEUCES WILD", 1,
     "DEUCES WILD, JACKS OR BETTER BONUS, DOUBLE UP RED/BLACK, DOUBLE UP BONUS",
     "5KD=4000 RFN=800 4KD=200 RF=12 5K=9 SF=6 4K=3 FH=3 FL=3 ST=2 3K=1"},
    {10, "VXG_VP_JACKSORBETTER", "JACKS OR BETTER 9/6", 1,
     "CLASSIC JACKS OR BETTER 9/6 VIDEO POKER, DOUBLE UP BIG/SMALL",
     "RF=250 SF=50 4K=25 FH=9 FL=6 ST=4 3K=3 2P=2 HP=1"},
    {11, "VXG_VP_JACKSORBETTER2", "JACKS OR BETTER BONUS POKER", 1,
     "CLASSIC JACKS OR BETTER BONUS VIDEO POKER, DOUBLE UP BIG/SMALL",
     "RF=350 SF=100 4KA=80 4KJQK=40 4K2-10=25 FH=8 FL=6 ST=4 3K=2 2P=2 HP=1"},
    {12, "VXG_VP_DEUCESWILD", "DEUCES WILD", 1, "CLASSIC DEUCES WILD VIDEO POKER, DOUBLE UP RED/BLACK",
     "RFN=300 4KD=200 RF=25 5K=15 SF=9 4K=5 FH=3 FL=2 ST=2 3K=1"},
    {13, "VXG_VP_DEUCESWILD2", "JOKERS AND DEUCES WILD II", 1,
     "CLASSIC JOKERS AND DEUCES WILD VIDEO POKER, DOUBLE UP RED/BLACK",
     "5KD=4000 RFN=800 4KD=25 RF=12 5K=9 SF=6 4K=3 FH=3 FL=3 ST=2 3K=1"},
    {14, "VXG_VP_JOKERWILD", "JOKER WILD", 1, "CLASSIC JOKER WILD VIDEO POKER, DOUBLE UP BIG/SMALL",
     "RFN=400 5K=200 RF=100 SF=50 4K=20 FH=7 FL=5 ST=3 3K=2 2P=1"},
    {15, "VXG_VP_JOKERWILD2", "JOKER WILD II", 1,
     "CLASSIC JOKER WILD VIDEO POKER, DOUBLE UP BIG/SMALL, NEW PAYOUT TABLE",
     "5K=800 RF=500 SF=100 4K=40 FH=9 FL=6 ST=5 3K=3 2P=2 HP=1"},
    {31, "VXG_SLOT_3X3FRUITS", "CHERRY CHARM 3X3", 2, Slot, ""},
    {32, "VXG_SLOT_1X3FRUITS", "CHERRY CHARM 1X3", 2, Slot, ""},
    {33, "VXG_SLOT_3X5FRUITS", "CHERRY CHARM 3X5", 2, Slot, ""},
    {34, "VXG_SLOT_3X5POKER", "POKER SLOTS 3X5", 2, Slot, ""},
};

std::string KeyOf(const std::string& abbr) {
  static const std::pair<const char*, const char*> names[] = {
      {"5K", "HAND_FIVEOFAKIND"}, {"5KD", "HAND_FIVEOFAKIND_D"}, {"RF", "HAND_ROYALFLUSH"},
      {"RFN", "HAND_ROYALFLUSH_N"}, {"SF", "HAND_STREETFLUSH"}, {"4K", "HAND_POKER"},
      {"4KD", "HAND_POKER_D"}, {"4KA", "HAND_POKER_ACES"}, {"4KJQK", "HAND_POKER_JQK"},
      {"4K2-10", "HAND_POKER_2TO10"}, {"FH", "HAND_FULLHOUSE"}, {"FL", "HAND_FLUSH"},
      {"ST", "HAND_STREET"}, {"3K", "HAND_THREEOFAKIND"}, {"2P", "HAND_TWOPAIRS"},
      {"HP", "HAND_HIGHPAIR"}, {"3XO", "HAND_3XORVANTA"}};
  for (auto& n : names)
    if (abbr == n.first) return n.second;
  ADD_FAILURE() << "unknown abbreviation " << abbr;
  return "";
}

TEST(Catalogue, EveryEntryStandsAsListed) {
  TVXGameManager games;
  ASSERT_EQ(games.Count(), 16);
  for (int i = 0; i < 16; ++i) {
    const Entry& want = Expected[i];
    const TGameInfo* g = games.Games(i);
    SCOPED_TRACE(want.idStr);
    EXPECT_EQ(g->ID, want.id);
    EXPECT_EQ(g->IDStr, want.idStr);
    EXPECT_EQ(g->Title, want.title);
    ASSERT_NE(g->Group, nullptr);
    EXPECT_EQ(g->Group->GroupID, want.group);
    EXPECT_EQ(g->Description, want.description);
    EXPECT_EQ(g->IsVideoPoker(), want.group == 1);
    EXPECT_EQ(g->IsSlotMachine(), want.group == 2);
    EXPECT_EQ(games.FindGameByID(want.id), g);
    EXPECT_EQ(games.FindGameByIDStr(want.idStr), g);

    std::vector<std::pair<std::string, int32_t>> rows;
    std::string pays = want.pays;
    for (size_t pos = 0; pos < pays.size();) {
      size_t end = pays.find(' ', pos);
      if (end == std::string::npos) end = pays.size();
      std::string item = pays.substr(pos, end - pos);
      size_t eq = item.find('=');
      rows.emplace_back(KeyOf(item.substr(0, eq)), std::stoi(item.substr(eq + 1)));
      pos = end + 1;
    }
    ASSERT_EQ(g->Hands().Count(), static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
      const TGameHand* h = g->Hands().Items(static_cast<int>(r));
      EXPECT_EQ(h->HandIDStr, rows[r].first);
      EXPECT_EQ(h->Value, rows[r].second);
      EXPECT_EQ(h->OrderCode, TVXGameManager::HandOrder(rows[r].first));
      EXPECT_TRUE(g->HasHandCode(h->OrderCode));
    }
  }
}

TEST(Catalogue, GroupsAndLookUpsThatFindNothing) {
  TVXGameManager games;
  EXPECT_EQ(games.Groups(0)->Name, "VIDEO POKER");
  EXPECT_EQ(games.Groups(0)->GroupID, 1);
  EXPECT_EQ(games.Groups(1)->Name, "SLOT MACHINES");
  EXPECT_EQ(games.Groups(1)->GroupID, 2);
  EXPECT_EQ(games.Groups(2)->Name, "");
  EXPECT_EQ(games.Groups(2)->GroupID, 0);
  EXPECT_EQ(games.Groups(3), nullptr);
  for (int i = 0; i < games.Count(); ++i) EXPECT_NE(games.Games(i)->Group, games.Groups(2));

  for (int id : {0, 7, 8, 9, 16, 30, 35, -1}) EXPECT_EQ(games.FindGameByID(id), nullptr) << id;
  EXPECT_EQ(games.FindGameByID(31)->Title, "CHERRY CHARM 3X3");
  EXPECT_EQ(games.FindGameByIDStr("vxg_vp_jacksorbetter"), nullptr);
  EXPECT_EQ(games.FindGameByIDStr("VXG_VP_JacksOrBetter"), nullptr);
  EXPECT_EQ(games.FindGameByIDStr(""), nullptr);
  EXPECT_EQ(games.Games(16), nullptr);
  EXPECT_EQ(games.Games(-1), nullptr);
}

TEST(Catalogue, PayLookUpsIgnoreCaseAndNeverPayNegative) {
  TVXGameManager games;
  const TGameInfo* g1 = games.FindGameByID(1);
  const TGameInfo* g2 = games.FindGameByID(2);
  EXPECT_EQ(g1->GetPay("HAND_HIGHPAIR"), 1);
  EXPECT_EQ(g1->GetPay("hand_highpair"), 1);
  EXPECT_EQ(g1->IndexOfHand("Hand_FullHouse"), 4);
  EXPECT_EQ(g1->IndexOfHand("HAND_POKER_D"), -1);

  // A key the table lacks pays nothing (never -1 times the bet) and is logged.
  vx::ClearLog();
  EXPECT_EQ(g2->GetPay("HAND_HIGHPAIR"), 0);
  EXPECT_TRUE(vx::LogContains("VXG_VP_ORVANTABONUS2 HAS NO PAY FOR HAND_HIGHPAIR"));
  vx::ClearLog();
  EXPECT_EQ(g2->GetPay("HAND_NOTHING"), 0);
  EXPECT_FALSE(vx::LogContains("HAS NO PAY"));
  EXPECT_EQ(games.FindGameByID(34)->GetPay("HAND_FLUSH"), 0);

  // Game 11 pays four of a kind only through the rank-split keys.
  const TGameInfo* g11 = games.FindGameByID(11);
  EXPECT_TRUE(g11->HasHandCode(22));
  EXPECT_FALSE(g11->HasHandCode(5));
  EXPECT_FALSE(games.FindGameByID(10)->HasHandCode(22));
  EXPECT_EQ(g11->HandCodes(), HandCodeBit(2) | HandCodeBit(4) | HandCodeBit(24) | HandCodeBit(23) |
                                  HandCodeBit(22) | HandCodeBit(6) | HandCodeBit(7) | HandCodeBit(8) |
                                  HandCodeBit(9) | HandCodeBit(10) | HandCodeBit(11));
  EXPECT_EQ(games.FindGameByID(31)->HandCodes(), 0u);

  // Games 6 and 13 differ only in four deuces.
  const TGameInfo* g6 = games.FindGameByID(6);
  const TGameInfo* g13 = games.FindGameByID(13);
  ASSERT_EQ(g6->Hands().Count(), g13->Hands().Count());
  for (int i = 0; i < g6->Hands().Count(); ++i) {
    const TGameHand* a = g6->Hands().Items(i);
    const TGameHand* b = g13->Hands().Items(i);
    EXPECT_EQ(a->HandIDStr, b->HandIDStr);
    if (a->HandIDStr == "HAND_POKER_D") {
      EXPECT_EQ(a->Value, 200);
      EXPECT_EQ(b->Value, 25);
    } else {
      EXPECT_EQ(a->Value, b->Value);
    }
  }
}

TEST(Catalogue, HandOrderAndTitleTables) {
  const std::pair<const char*, std::pair<int, const char*>> table[] = {
      {"HAND_NOTHING", {0, "NOTHING"}},
      {"HAND_FIVEOFAKIND", {1, "FIVE OF A KIND"}},
      {"HAND_ROYALFLUSH", {2, "ROYAL FLUSH"}},
      {"HAND_ROYALFLUSH_N", {3, "NATURAL ROYAL FLUSH"}},
      {"HAND_STREETFLUSH", {4, "STRAIGHT FLUSH"}},
      {"HAND_POKER", {5, "4 OF A KIND"}},
      {"HAND_FULLHOUSE", {6, "FULL HOUSE"}},
      {"HAND_FLUSH", {7, "FLUSH"}},
      {"HAND_STREET", {8, "STRAIGHT"}},
      {"HAND_THREEOFAKIND", {9, "3 OF A KIND"}},
      {"HAND_TWOPAIRS", {10, "2 PAIRS"}},
      {"HAND_HIGHPAIR", {11, "JACKS OR BETTER"}},
      {"HAND_3XORVANTA", {12, "3 X ORVANTA"}},
      {"HAND_FIVEOFAKIND_D", {20, "4 DEUCES AND JOKER"}},
      {"HAND_POKER_D", {21, "4 DEUCES"}},
      {"HAND_POKER_2TO10", {22, "4 OF A KIND (2's thru 10's)"}},
      {"HAND_POKER_JQK", {23, "4 OF A KIND (J's, Q's, K's)"}},
      {"HAND_POKER_ACES", {24, "4 OF A KIND (ACES)"}},
  };
  for (const auto& row : table) {
    EXPECT_EQ(TVXGameManager::HandOrder(row.first), row.second.first) << row.first;
    EXPECT_EQ(TVXGameManager::HandTitle(row.first), row.second.second) << row.first;
  }
  // Exact comparison: other case, unknown keys and the unused codes have no entry.
  for (const char* other : {"hand_nothing", "HAND_POKER ", "", "HAND_CHERRYLINE", "NOTHING"}) {
    EXPECT_EQ(TVXGameManager::HandOrder(other), -1) << other;
    EXPECT_EQ(TVXGameManager::HandTitle(other), "") << other;
  }
  for (int code = 13; code <= 19; ++code) EXPECT_EQ(HandKeyOfCode(code), "");
}

TEST(Catalogue, VariantDecksMatchTheirOptions) {
  // Jokers are dealt only where the option bits let them in; game 13 deals joker 53.
  const std::pair<int, int> decks[] = {{1, 52}, {2, 52}, {3, 54}, {4, 54}, {5, 53}, {6, 53},
                                       {10, 52}, {11, 52}, {12, 52}, {13, 53}, {14, 53}, {15, 53}};
  TVXGameManager games;
  for (auto [id, size] : decks) {
    const TPokerVariant* v = FindPokerVariant(id);
    ASSERT_NE(v, nullptr) << id;
    EXPECT_EQ(v->DeckSize(), size) << id;
    EXPECT_TRUE(games.FindGameByID(id)->IsVideoPoker());
  }
  EXPECT_EQ(FindPokerVariant(13)->Options, 34838u);
  EXPECT_EQ(FindPokerVariant(1)->Options, 23648u);
  EXPECT_EQ(FindPokerVariant(6)->Options, 2740u);
  EXPECT_TRUE(FindPokerVariant(12)->DeucesWild());
  EXPECT_FALSE(FindPokerVariant(12)->DealsCard(53));
  EXPECT_TRUE(FindPokerVariant(5)->DrawCostsBet());
  EXPECT_FALSE(FindPokerVariant(3)->BetListEnabled());
  EXPECT_EQ(FindPokerVariant(31), nullptr);
  EXPECT_EQ(FindPokerVariant(7), nullptr);
}

}  // namespace
