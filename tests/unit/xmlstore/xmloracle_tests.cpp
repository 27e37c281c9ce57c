// What the writer produces for printable text is well-formed XML to an outside parser, which
// reads back the same element structure and the same values.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <random>
#include <string>

#include "unit/xmlstore/GameShapes.h"

using namespace shapes;

namespace {

std::string Printable(std::mt19937_64& rng, size_t maxLen) {
  std::string s;
  for (size_t n = rng() % (maxLen + 1); n > 0; --n) s += static_cast<char>(32 + rng() % 95);
  return s;
}

pugi::xml_parse_result Parse(pugi::xml_document& doc, const std::string& text) {
  return doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
}

TEST(WriterOracle, PlayerFilesParseWithTheSameStructureAndValues) {
  std::mt19937_64 rng(1234);
  for (int round = 0; round < 200; ++round) {
    TVXPlayers players;
    for (int n = static_cast<int>(rng() % 5); n > 0; --n) {
      TVXPlayer* p = players.Add();
      p->PlayerName = Printable(rng, 16);
      p->Password = Printable(rng, 16);
      p->FirstName = Printable(rng, 16);
      p->LastName = Printable(rng, 16);
      p->Bank = static_cast<uint32_t>(rng());
      p->PictureID = static_cast<int32_t>(rng());
    }
    const std::string text = "<?xml version = \"1.0\"?>" + players.GetXML();
    pugi::xml_document doc;
    ASSERT_TRUE(Parse(doc, text)) << text;
    const pugi::xml_node root = doc.child("VXPlayers");
    ASSERT_TRUE(root);
    int i = 0;
    for (const pugi::xml_node item : root.children("VXPlayer")) {
      ASSERT_LT(i, players.Count());
      const TVXPlayer* p = players.Items(i++);
      const char* order[] = {"Bank", "FirstName", "LastName", "Password", "PictureID", "PlayerName", "Rank"};
      pugi::xml_node field = item.first_child();
      for (const char* name : order) {
        ASSERT_STREQ(field.name(), name);
        field = field.next_sibling();
      }
      EXPECT_FALSE(field);
      EXPECT_EQ(item.child("PlayerName").text().as_string(), p->PlayerName);
      EXPECT_EQ(item.child("Password").text().as_string(), p->Password);
      EXPECT_EQ(item.child("FirstName").text().as_string(), p->FirstName);
      EXPECT_EQ(item.child("LastName").text().as_string(), p->LastName);
      EXPECT_EQ(static_cast<uint32_t>(item.child("Bank").text().as_int()), p->Bank);
    }
    EXPECT_EQ(i, players.Count());
  }
}

TEST(WriterOracle, NestedStatisticsAndSettingsParse) {
  std::mt19937_64 rng(99);
  TVXCasino casino;
  for (int pl = 0; pl < 3; ++pl) {
    TPlayerStatistics* p = casino.GetPlayersStatistics()->Add();
    p->PlayerName = Printable(rng, 10);
    for (int g = 0; g < pl; ++g) {
      TGameStatictics* game = p->GamesStatistics->Add();
      game->GameIDStr = Printable(rng, 10);
      for (int h = 0; h < g + 1; ++h) game->GameHands.Add()->HandIDStr = Printable(rng, 10);
    }
  }
  pugi::xml_document doc;
  ASSERT_TRUE(Parse(doc, casino.GetXML()));
  const pugi::xml_node stats = doc.child("VXCasino").child("PlayersStatistics");
  int players = 0;
  for (const pugi::xml_node p : stats.children("PlayerStatistics")) {
    const TPlayerStatistics* expected = casino.GetPlayersStatistics()->Items(players++);
    EXPECT_EQ(p.child("PlayerName").text().as_string(), expected->PlayerName);
    int games = 0;
    for (const pugi::xml_node g : p.child("GamesStatistics").children("GameStatictics")) {
      const TGameStatictics* eg = expected->GamesStatistics->Items(games++);
      EXPECT_EQ(g.child("GameIDStr").text().as_string(), eg->GameIDStr);
      int hands = 0;
      for (const pugi::xml_node h : g.child("GameHands").children("GameHand"))
        EXPECT_EQ(h.child("HandIDStr").text().as_string(), eg->GameHands.Items(hands++)->HandIDStr);
      EXPECT_EQ(hands, eg->GameHands.Count());
    }
    EXPECT_EQ(games, expected->GamesStatistics->Count());
  }
  EXPECT_EQ(players, 3);

  TVXSetting s;
  s.optAutoLoginPlayerName = "<&'\"> ]]> --";
  ASSERT_TRUE(Parse(doc, s.GetXML()));
  EXPECT_EQ(std::string(doc.child("VXSetting").child("optAutoLoginPlayerName").text().as_string()),
            s.optAutoLoginPlayerName);
}

}  // namespace
