// The six video-poker themes against what the game builds: for every variant of the game's
// own table, each control its screen creates has a section, every picture it names is drawn
// at the size it is placed, every pay row, lamp and card the game lights has an effect to
// light it with, and every text the game writes fits its label in the baked font.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/StrUtils.h"
#include "games/GameManager.h"
#include "games/PokerVariants.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Checks.h"
#include "tools/datagen/FontPlan.h"
#include "tools/datagen/Ini.h"
#include "tools/datagen/PokerLook.h"

namespace vx::datagen {
namespace {

const std::string kThemes = std::string(VX_SOURCE_DIR) + "/data/themes/";

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool Overlaps(const Rect& o) const {
    return left < o.Right() && o.left < Right() && top < o.Bottom() && o.top < Bottom();
  }
  bool Inside(const Rect& o) const {
    return left >= o.left && top >= o.top && Right() <= o.Right() && Bottom() <= o.Bottom();
  }
};

class PokerThemeTest : public ::testing::Test {
protected:
  static const IniFile& Theme(const std::string& name) {
    static std::map<std::string, IniFile> themes;
    auto it = themes.find(name);
    if (it == themes.end())
      it = themes.emplace(name, ParseIni(vxtest::TempDir::ReadFile(kThemes + name + "/theme.scn")).file).first;
    return it->second;
  }
  static const std::map<std::string, std::pair<int, int>>& PictureSizes() {
    static const std::map<std::string, std::pair<int, int>> sizes = [] {
      std::map<std::string, std::pair<int, int>> m;
      FontLibrary fonts;
      for (const auto& a : AllArt()) {
        if (a.key.rfind("VP", 0) != 0 && a.key.rfind("MAINROOM", 0) != 0 && a.key.rfind("SERIES", 0) != 0 &&
            a.key.rfind("CardSet", 0) != 0 && a.key.rfind("EFFECTS", 0) != 0)
          continue;
        const Picture p = a.draw(fonts);
        m[UpperCase(a.key)] = {p.width, p.height};
      }
      return m;
    }();
    return sizes;
  }
  static const std::pair<int, int>* PictureSize(const std::string& key) {
    const auto it = PictureSizes().find(UpperCase(key));
    return it == PictureSizes().end() ? nullptr : &it->second;
  }
  static int Int(const IniFile& ini, const std::string& section, const std::string& key, int def = 0) {
    if (const IniSection* s = ini.Find(section))
      if (auto v = s->Get(key)) return StrToIntDef(*v, def);
    return def;
  }
  static Rect RectOf(const IniFile& ini, const std::string& section) {
    return {Int(ini, section, "Left"), Int(ini, section, "Top"), Int(ini, section, "Width"), Int(ini, section, "Height")};
  }
  // Width of a text in a theme section's baked font (the font file at its baked pixel size).
  static double TextWidth(const IniFile& ini, const std::string& section, const std::string& text) {
    static FontLibrary fonts;
    static Canvas canvas(4, 4);
    std::string name = "ArialBlack";  // the theme loader's default font name
    if (const IniSection* s = ini.Find(section)) name = s->Get("FontDXName").value_or(name);
    const auto& plan = EngineFonts();
    const auto font = std::find_if(plan.begin(), plan.end(), [&](const EngineFont& f) { return f.name == name; });
    EXPECT_NE(font, plan.end()) << section << " asks for font " << name;
    if (font == plan.end()) return 0;
    return canvas.TextAdvance(fonts.SystemFace(font->fileName), font->pixelSize, text);
  }
  // A label shows its text in full when the text and a pixel each side fit its width.
  static void ExpectFits(const IniFile& ini, const std::string& section, const std::string& text) {
    const int width = Int(ini, section, "Width");
    EXPECT_LE(TextWidth(ini, section, text) + 2, width) << section << " cannot show \"" << text << "\"";
  }

  // The controls the screen creates for a variant (by its option bits), with their parents.
  static std::vector<std::string> ScreenControls(const TPokerVariant& v, const TGameInfo& info) {
    auto has = [&](TPokerOption bit) { return HasOption(v.Options, bit); };
    std::vector<std::string> c = {"IMG_BACKGROUND", "LBL_MESSAGE",  "PNL_DOUBLEUP", "LBL_DUPTITLE", "LBL_DUPHIT",
                                  "IMG_DUPHITDOWN", "IMG_DUPHITUP", "IMG_SERIES",   "PNL_CREDIT",   "LBL_CREDIT",
                                  "LBL_CREDITV",    "LBL_BET",      "LBL_BETV",     "LBL_WIN",      "LBL_WINV",
                                  "PNL_NORMALDUP",  "IMG_GAMELOGO", "PNL_BUTTONS",  "BTN_DEAL",     "BTN_BET",
                                  "BTN_CASHALL",    "IMG_ADV",      "PNL_PAYOFF"};
    for (int i = 1; i <= 10; ++i) c.push_back("CARD_DUP_" + std::to_string(i));
    for (int i = 1; i <= 5; ++i) {
      c.push_back("CARD_MAIN_" + std::to_string(i));
      c.push_back("LBL_HOLD_" + std::to_string(i));
      c.push_back("BTN_HOLD_" + std::to_string(i));
    }
    if (!has(poOrvantaBonus) && !has(poJackpot)) c.push_back("PNL_LOGO");
    if (has(poOrvantaBonus)) {
      for (const char* n : {"PNL_ORVANTA", "LBL_ORVANTA", "LBL_ORVANTAV", "LBL_ORVANTACARD"}) c.push_back(n);
      for (int i = 1; i <= 10; ++i) c.push_back("IMG_ORVANTASTAGE_" + std::to_string(i));
    }
    if (has(poJackpot))
      for (const char* n : {"PNL_AMERICANJACKPOT", "LBL_AMERICANMINIBONUS", "LBL_AMERICANMINIBONUSV",
                            "LBL_AMERICANJACKPOT", "LBL_AMERICANJACKPOTV"})
        c.push_back(n);
    if (has(poDoubleUpBar)) {
      c.push_back("PNL_DUPBARDUP");
      c.push_back("LBL_DUPBARWINV");
      for (int i = 1; i <= 8; ++i) c.push_back("IMG_DUPBAR_" + std::to_string(i));
    }
    if (has(poFurtherDraw))
      for (int i = 1; i <= 3; ++i) {
        c.push_back("IMG_DEALSTAGEL" + std::to_string(i));
        c.push_back("IMG_DEALSTAGER" + std::to_string(i));
      }
    for (int r = 1; r <= info.Hands().Count(); ++r) {
      c.push_back("LBL_PAYOFF_" + std::to_string(r));
      if (has(poCompactLayout))
        for (int col = 1; col <= 5; ++col) c.push_back("LBL_PAYOFFV" + std::to_string(col) + "_" + std::to_string(r));
      else
        c.push_back("LBL_PAYOFFV_" + std::to_string(r));
    }
    return c;
  }

  // Every video-poker variant with its catalogue entry.
  template <class F>
  static void ForEachVariant(F f) {
    static TVXGameManager catalogue;
    int count = 0;
    const TPokerVariant* rows = PokerVariants(count);
    ASSERT_EQ(count, 12);
    for (int i = 0; i < count; ++i) {
      const TGameInfo* info = catalogue.FindGameByID(rows[i].ID);
      ASSERT_NE(info, nullptr) << rows[i].ID;
      SCOPED_TRACE(std::string(rows[i].Theme) + " for game " + std::to_string(rows[i].ID));
      f(rows[i], *info, Theme(rows[i].Theme));
    }
  }
};

TEST_F(PokerThemeTest, EveryControlTheScreenBuildsIsPlacedOnScreen) {
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    const Rect screen{0, 0, 800, 600};
    for (const auto& name : ScreenControls(v, info)) {
      ASSERT_NE(ini.Find(name), nullptr) << name;
      // Rows below the first take their place from row 1 (the pay list lays itself out).
      const bool laidOut = (name.rfind("LBL_PAYOFF", 0) == 0) && name.substr(name.rfind('_')) != "_1";
      if (laidOut) continue;
      const Rect r = RectOf(ini, name);
      EXPECT_GT(r.width, 0) << name;
      EXPECT_GT(r.height, 0) << name;
      EXPECT_TRUE(r.Inside(screen)) << name;
    }
    // The pay rows stacked under row 1 stay inside the pay list's glass.
    const Rect glass = RectOf(ini, "PNL_PAYOFF"), first = RectOf(ini, "LBL_PAYOFF_1");
    const Rect last{first.left, first.top + (info.Hands().Count() - 1) * first.height, first.width, first.height};
    EXPECT_TRUE(last.Inside(glass));
  });
  // The game's card set is one the art draws.
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo&, const IniFile&) {
    for (const auto& name : poker::CardPictureNames())
      EXPECT_NE(PictureSize(std::string(v.CardSet) + "\\" + name + ".bmp"), nullptr) << v.CardSet << " " << name;
  });
}

// The menu bar lies in front of every game along the top of the window: nothing of a poker
// screen but its full-screen background may sit there, or the menus and the in-game buttons
// hide it (the top pay rows, the logo).
TEST_F(PokerThemeTest, NothingButTheBackgroundLiesUnderTheMenuBar) {
  // The strip covers the menu bar's own controls, whatever its theme places.
  const IniFile nav = ParseIni(vxtest::TempDir::ReadFile(kThemes + "NAVIGATION/theme.scn")).file;
  for (const char* name : {"LBL_HINT", "MENU_FILE", "MENU_PLAYER", "MENU_TOOLS", "MENU_HELP", "BTN_CREDIT",
                           "BTN_CASHOUT", "BTN_EXITGAME"}) {
    ASSERT_NE(nav.Find(name), nullptr) << name;
    EXPECT_LE(RectOf(nav, name).Bottom(), poker::kMenuStripH) << name << " reaches below the strip";
  }
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    for (const auto& name : ScreenControls(v, info)) {
      if (name == "IMG_BACKGROUND") continue;
      // Rows below the first are laid out under row 1, so row 1 speaks for them.
      if (!ini.Find(name)->Get("Top").has_value()) continue;
      EXPECT_GE(RectOf(ini, name).top, poker::kMenuStripH) << name;
    }
    // Sections the screen of this variant does not build count too: another variant of the
    // theme may build them.
    for (const auto& section : ini.sections) {
      if (section.name == "IMG_BACKGROUND" || !section.Get("Top").has_value()) continue;
      EXPECT_GE(Int(ini, section.name, "Top"), poker::kMenuStripH) << section.name;
    }
    const Rect background = RectOf(ini, "IMG_BACKGROUND");
    EXPECT_EQ(background.top, 0);
    EXPECT_EQ(background.height, 600);
  });
}

// The pictures draw some of the screen's places into themselves (the card slots and message
// window of the background, the row rules of the pay glass, the button wells of the deck, the
// dealer's slots of the double-up): the theme must put its controls on them.
TEST_F(PokerThemeTest, ControlsLieWhereTheirPicturesExpectThem) {
  using namespace poker;
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo&, const IniFile& ini) {
    const Rect pay = RectOf(ini, "PNL_PAYOFF");
    EXPECT_EQ(pay.top, kPayTop);
    EXPECT_EQ(pay.height, kPayH);
    EXPECT_EQ(RectOf(ini, "LBL_PAYOFF_1").top, kPayTop + kPayRowTop);
    EXPECT_EQ(RectOf(ini, "LBL_PAYOFF_1").height, kPayRowH);
    const Rect message = RectOf(ini, "LBL_MESSAGE");
    EXPECT_GE(message.top, kMessageTop);
    EXPECT_LE(message.Bottom(), kMessageTop + kMessageH);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(RectOf(ini, "CARD_MAIN_" + std::to_string(i)).top, kCardTop) << i;
    EXPECT_EQ(RectOf(ini, "PNL_CREDIT").top, kCreditTop);
    EXPECT_EQ(RectOf(ini, "PNL_BUTTONS").top, kDeckTop);
    for (const char* button : {"BTN_HOLD_1", "BTN_HOLD_5", "BTN_DEAL", "BTN_BET", "BTN_CASHALL"})
      EXPECT_EQ(RectOf(ini, button).top, kDeckTop + 7) << button << " is out of its well";
    // The wide double-up's card row lies in its tray (or the dealer's slots).
    if (HasOption(v.Options, poHideHandInDoubleUp)) {
      const Rect dup = RectOf(ini, "PNL_DOUBLEUP");
      EXPECT_EQ(dup.top, kWideDupTop);
      EXPECT_EQ(dup.height, kWideDupH);
      EXPECT_EQ(RectOf(ini, "CARD_DUP_1").top, kWideDupTop + kWideDupCardTop);
      EXPECT_GE(dup.top, RectOf(ini, "LBL_MESSAGE").Bottom()) << "the double-up covers the message";
      EXPECT_LE(dup.Bottom(), RectOf(ini, "PNL_CREDIT").top) << "the double-up covers the meters";
    } else {
      EXPECT_EQ(RectOf(ini, "PNL_DOUBLEUP").top, pay.top);
      EXPECT_EQ(RectOf(ini, "PNL_DOUBLEUP").height, pay.height);
    }
  });
}

// Moving everything below the menu bar must not squeeze the pay list: each row keeps room
// above and below its letters, and the longest table still fits its glass.
TEST_F(PokerThemeTest, PayRowsKeepRoomAroundTheirLetters) {
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    const bool compact = HasOption(v.Options, poCompactLayout);
    std::vector<std::string> rowOne = {"LBL_PAYOFF_1"};
    if (compact)
      for (int col = 1; col <= 5; ++col) rowOne.push_back("LBL_PAYOFFV" + std::to_string(col) + "_1");
    else
      rowOne.push_back("LBL_PAYOFFV_1");
    for (const auto& name : rowOne) {
      const IniSection* s = ini.Find(name);
      ASSERT_NE(s, nullptr) << name;
      const std::string font = s->Get("FontDXName").value_or("ArialBlack");
      const auto& plan = EngineFonts();
      const auto f = std::find_if(plan.begin(), plan.end(), [&](const EngineFont& e) { return e.name == font; });
      ASSERT_NE(f, plan.end()) << font;
      EXPECT_GE(RectOf(ini, name).height, f->pixelSize + 4) << name << " is cramped for " << font;
      EXPECT_EQ(RectOf(ini, name).top, RectOf(ini, "LBL_PAYOFF_1").top) << name;
      EXPECT_EQ(RectOf(ini, name).height, RectOf(ini, "LBL_PAYOFF_1").height) << name;
    }
    // The glass keeps a margin of at least its rim above row 1 and below the last row.
    const Rect glass = RectOf(ini, "PNL_PAYOFF"), first = RectOf(ini, "LBL_PAYOFF_1");
    EXPECT_GE(first.top - glass.top, 5);
    EXPECT_GE(glass.Bottom() - (first.top + info.Hands().Count() * first.height), 5);
  });
}

TEST_F(PokerThemeTest, EveryPictureIsThereAtTheSizeItIsPlaced) {
  std::vector<ArchiveRecord> records;
  for (const auto& [key, size] : PictureSizes()) records.push_back({key, kRecordPicture, ""});
  for (const auto& theme : poker::PokerThemes())
    records.push_back({theme + "\\theme.scn", kRecordText, vxtest::TempDir::ReadFile(kThemes + theme + "/theme.scn")});
  EXPECT_EQ(CheckThemes(records), std::vector<std::string>{});

  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    const std::string theme = v.Theme;
    // The lobby's picture of the game, which its screen shows as its logo.
    const auto* logo = PictureSize("MAINROOM\\IMG_GAME_" + info.IDStr + ".bmp");
    ASSERT_NE(logo, nullptr) << info.IDStr;
    EXPECT_EQ(*logo, std::make_pair(RectOf(ini, "IMG_GAMELOGO").width, RectOf(ini, "IMG_GAMELOGO").height));
    for (const auto& name : ScreenControls(v, info)) {
      std::string key;
      if (name.rfind("CARD_", 0) == 0)
        key = std::string(v.CardSet) + "\\CARD_BACK_1.bmp";
      else if (name.rfind("LBL_", 0) == 0 || name.rfind("PNL_", 0) == 0)
        key = theme + "\\" + name + ".bmp";  // labels and panels may have a picture of their own
      else if (name != "IMG_GAMELOGO")
        key = TextureCandidates(theme, name).front();
      const auto* size = key.empty() ? nullptr : PictureSize(key);
      // A panel without a picture would draw a white box: every panel has its picture.
      if (name.rfind("PNL_", 0) == 0) {
        EXPECT_NE(size, nullptr) << name;
      }
      if (size == nullptr) continue;
      const Rect r = RectOf(ini, name);
      EXPECT_EQ(*size, std::make_pair(r.width, r.height)) << name << " would be stretched";
      // Labels are see-through (alpha 0) unless told otherwise: one with a picture must be
      // made opaque, or its picture never shows.
      if (name.rfind("LBL_", 0) == 0) {
        const auto alpha = ParseFourPart(ini.Find(name)->Get("Alpha4").value_or(""));
        ASSERT_TRUE(alpha.has_value()) << name;
        EXPECT_EQ(*alpha, (std::vector<int32_t>{255, 255, 255, 255})) << name;
      }
    }
  });
}

TEST_F(PokerThemeTest, EverythingTheGameLightsHasAnEffectToLightIt) {
  auto enabled = [](const IniFile& ini, const std::string& section, const std::string& effect) {
    const IniSection* s = ini.Find(section);
    if (s == nullptr) return false;
    for (const char* part : {"ColorEnabled", "AlphaEnabled", "TextColorEnabled", "ScrollEnabled", "GrowEnabled"})
      if (StrToIntDef(s->Get(effect + part).value_or("0"), 0) != 0) return true;
    return false;
  };
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    const bool compact = HasOption(v.Options, poCompactLayout);
    for (int r = 1; r <= info.Hands().Count(); ++r) {
      const std::string row = std::to_string(r);
      if (!compact) {
        // The made hand's title and value start user effect 1.
        EXPECT_TRUE(enabled(ini, "LBL_PAYOFF_" + row, "CustomEffect_")) << row;
        EXPECT_TRUE(enabled(ini, "LBL_PAYOFFV_" + row, "CustomEffect_")) << row;
      } else {
        // The title starts user effect 2; the bet's column is marked with effect 1 and the
        // made hand's cell in it with effect 2 on top.
        EXPECT_TRUE(enabled(ini, "LBL_PAYOFF_" + row, "CustomEffect2_")) << row;
        for (int col = 1; col <= 5; ++col) {
          const std::string cell = "LBL_PAYOFFV" + std::to_string(col) + "_" + row;
          EXPECT_TRUE(enabled(ini, cell, "CustomEffect_")) << cell;
          EXPECT_TRUE(enabled(ini, cell, "CustomEffect2_")) << cell;
        }
      }
    }
    // Lamps light with user effect 1 and stay lit until stopped; unlit they look different.
    std::vector<std::string> lamps;
    if (HasOption(v.Options, poOrvantaBonus))
      for (int n = 1; n <= 10; ++n) lamps.push_back("IMG_ORVANTASTAGE_" + std::to_string(n));
    if (HasOption(v.Options, poDoubleUpBar))
      for (int n = 1; n <= 8; ++n) lamps.push_back("IMG_DUPBAR_" + std::to_string(n));
    if (HasOption(v.Options, poFurtherDraw))
      for (int n = 1; n <= 3; ++n) lamps.push_back("IMG_DEALSTAGEL" + std::to_string(n));
    for (const auto& lamp : lamps) {
      const IniSection* s = ini.Find(lamp);
      ASSERT_NE(s, nullptr) << lamp;
      EXPECT_EQ(s->Get("CustomEffect_ColorEnabled"), "1") << lamp;
      // A missing "ColorContinuous" would keep it pulsing between lit and unlit.
      EXPECT_EQ(s->Get("CustomEffect_ColorContinuous"), "0") << lamp;
      EXPECT_NE(s->Get("CustomEffect_Color"), s->Get("Color4")) << lamp;
    }
    // BEAT THE DEALER asks the player to pick one of cards 2 to 5 by starting their effect.
    if (v.DoubleUpKind == dkBeatTheDealer) {
      for (int p = 2; p <= 5; ++p) EXPECT_TRUE(enabled(ini, "CARD_DUP_" + std::to_string(p), "CustomEffect_")) << p;
    }
  });
}

TEST_F(PokerThemeTest, EveryTextTheGameWritesFitsItsLabel) {
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    const bool compact = HasOption(v.Options, poCompactLayout);
    // The bets a pay row is multiplied by.
    std::vector<int64_t> bets;
    if (v.BetListEnabled()) {
      std::string list = v.BetList;
      for (size_t at = 0; (at = list.find(';')) != std::string::npos; list.erase(0, at + 1))
        bets.push_back(StrToIntDef(list.substr(0, at), 0));
    } else {
      bets.push_back(v.MaxBet);
    }
    ASSERT_FALSE(bets.empty());
    for (int r = 1; r <= info.Hands().Count(); ++r) {
      const auto* hand = info.Hands().Items(r - 1);
      const std::string row = std::to_string(r);
      ExpectFits(ini, "LBL_PAYOFF_1", TVXGameManager::HandTitle(hand->HandIDStr));
      if (compact) {
        for (int col = 1; col <= 5 && col <= static_cast<int>(bets.size()); ++col)
          ExpectFits(ini, "LBL_PAYOFFV" + std::to_string(col) + "_1", std::to_string(hand->Value * bets[col - 1]));
      } else {
        ExpectFits(ini, "LBL_PAYOFFV_1", std::to_string(hand->Value * *std::max_element(bets.begin(), bets.end())));
      }
    }
    // Money: the credit may hold any 32-bit amount, the win any positive 32-bit amount.
    ExpectFits(ini, "LBL_CREDITV", "4294967295");
    ExpectFits(ini, "LBL_WINV", "2147483647");
    ExpectFits(ini, "LBL_BETV", "100");
    for (const char* label : {"LBL_CREDIT", "LBL_BET", "LBL_WIN"})
      ExpectFits(ini, label, std::string(label).substr(4));
    for (const char* message : {"HOLD AND DRAW CARDS", "PRESS DEAL TO START", "INSERT COIN", "CONGRATULATIONS",
                                "ORVANTA CARDS", "GAME OVER", "WIN", "DRAW"})
      ExpectFits(ini, "LBL_MESSAGE", message);
    for (int i = 1; i <= 5; ++i) ExpectFits(ini, "LBL_HOLD_" + std::to_string(i), "HELD");
    for (const auto& [button, caption] : std::vector<std::pair<std::string, std::string>>{
             {"BTN_HOLD_1", "HOLD"}, {"BTN_DEAL", "DEAL"}, {"BTN_BET", "BET"}, {"BTN_CASHALL", "CASH"}})
      ExpectFits(ini, button, caption);
    switch (v.DoubleUpKind) {
      case dkBigSmall:
        ExpectFits(ini, "LBL_DUPTITLE", "BIG/SMALL");
        for (const char* word : {"BIG", "SMALL", "DRAW", "JOKER"}) ExpectFits(ini, "LBL_DUPHIT", word);
        break;
      case dkRedBlack:
        ExpectFits(ini, "LBL_DUPTITLE", "RED/BLACK");
        for (const char* word : {"RED", "BLACK", "JOKER"}) ExpectFits(ini, "LBL_DUPHIT", word);
        break;
      case dkBeatTheDealer:
        ExpectFits(ini, "LBL_DUPTITLE", "BEAT THE DEALER");
        ExpectFits(ini, "LBL_DUPHIT", "DOUBLE UP?");
        break;
    }
    if (HasOption(v.Options, poDoubleUpBar)) ExpectFits(ini, "LBL_DUPBARWINV", "2147483647");
    if (HasOption(v.Options, poOrvantaBonus)) {
      ExpectFits(ini, "LBL_ORVANTA", "ORVANTA");
      ExpectFits(ini, "LBL_ORVANTACARD", "10");
      // The Orvanta value is the bet times the number (at most 10) times 100.
      ExpectFits(ini, "LBL_ORVANTAV", std::to_string(*std::max_element(bets.begin(), bets.end()) * 10 * 100));
    }
    if (HasOption(v.Options, poJackpot)) {
      ExpectFits(ini, "LBL_AMERICANMINIBONUS", "JACKS OR BETTER BONUS");
      ExpectFits(ini, "LBL_AMERICANJACKPOT", "JACKPOT");
      ExpectFits(ini, "LBL_AMERICANMINIBONUSV", "2147483647");
      ExpectFits(ini, "LBL_AMERICANJACKPOTV", "2147483647");
    }
  });
}

TEST_F(PokerThemeTest, NothingDrawnLaterCoversTheMessageOrTheDoubleUpsHitWord) {
  ForEachVariant([&](const TPokerVariant& v, const TGameInfo& info, const IniFile& ini) {
    // The message label is drawn early, under every panel: no panel that shows with it may
    // cover it, in the round's view or the double-up's.
    const Rect message = RectOf(ini, "LBL_MESSAGE");
    for (const auto& name : ScreenControls(v, info)) {
      if (name.rfind("PNL_", 0) != 0 && name.rfind("IMG_", 0) != 0 && name.rfind("CARD_", 0) != 0) continue;
      if (name == "IMG_BACKGROUND") continue;
      EXPECT_FALSE(RectOf(ini, name).Overlaps(message)) << name << " covers the message";
    }
    if (v.DoubleUpKind == dkBeatTheDealer) return;
    // BIG/SMALL and RED/BLACK put the hit word 2 pixels right of the card just turned: for
    // every card up to the limit it stays on the double-up's glass, clear of the hit lamp.
    const Rect panel = RectOf(ini, "PNL_DOUBLEUP"), lamp = RectOf(ini, "IMG_DUPHITUP");
    Rect hit = RectOf(ini, "LBL_DUPHIT");
    for (int p = 1; p <= v.DoubleUpLimit; ++p) {
      const Rect card = RectOf(ini, "CARD_DUP_" + std::to_string(p));
      hit.left = card.Right() + 2;
      EXPECT_TRUE(hit.Inside(panel)) << "card " << p;
      EXPECT_FALSE(hit.Overlaps(lamp)) << "card " << p;
      EXPECT_TRUE(card.Inside(panel)) << "card " << p;
      // Its top sits on the card's height, beside it.
      EXPECT_GE(hit.top, card.top);
      EXPECT_LE(hit.Bottom(), card.Bottom());
    }
  });
}

}  // namespace
}  // namespace vx::datagen
