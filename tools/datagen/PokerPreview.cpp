#include "tools/datagen/PokerPreview.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "core/Exception.h"
#include "core/StrUtils.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/FontPlan.h"
#include "tools/datagen/Ini.h"
#include "tools/datagen/Look.h"
#include "tools/datagen/PokerLook.h"
#include "tools/datagen/Preview.h"

namespace fs = std::filesystem;

namespace vx::datagen {

namespace {

// What a mock-up needs to know of the screen a theme serves: the panels its variant builds
// (the same option bits the game reads) and one of its games, for the pay list and the logo.
struct ScreenPlan {
  std::string theme;
  bool compact = false, orvanta = false, jackpot = false, bar = false, stages = false, hideHand = false;
  bool deuces = false, beatTheDealer = false;
  std::string dupTitle;
  std::string idStr;
  std::string cardSet;
  std::vector<std::pair<std::string, int>> payTable;  // display text, multiplier
  int highlightRow = 0;                               // 1-based row shown as made
};

ScreenPlan Plan(const std::string& theme) {
  ScreenPlan p;
  p.theme = theme;
  if (theme == "VP01") {
    p.orvanta = p.stages = true;
    p.dupTitle = "BIG/SMALL";
    p.idStr = "VXG_VP_ORVANTABONUS";
    p.cardSet = "CardSet2";
    p.payTable = {{"FIVE OF A KIND", 800}, {"ROYAL FLUSH", 500}, {"STRAIGHT FLUSH", 100}, {"4 OF A KIND", 40},
                  {"FULL HOUSE", 10},      {"FLUSH", 9},         {"STRAIGHT", 7},          {"3 OF A KIND", 3},
                  {"2 PAIRS", 2},          {"JACKS OR BETTER", 1}, {"3 X ORVANTA", 13}};
    p.highlightRow = 10;
  } else if (theme == "VP02") {
    p.hideHand = p.beatTheDealer = true;
    p.dupTitle = "BEAT THE DEALER";
    p.idStr = "VXG_VP_DOUBLEJOKER";
    p.cardSet = "CardSet2";
    p.payTable = {{"NATURAL ROYAL FLUSH", 800}, {"FIVE OF A KIND", 100}, {"ROYAL FLUSH", 30}, {"STRAIGHT FLUSH", 20},
                  {"4 OF A KIND", 10},          {"FULL HOUSE", 5},       {"FLUSH", 3},        {"STRAIGHT", 2},
                  {"3 OF A KIND", 1},           {"2 PAIRS", 1}};
    p.highlightRow = 10;
  } else if (theme == "VP03") {
    p.jackpot = p.bar = true;
    p.dupTitle = "RED/BLACK";
    p.idStr = "VXG_VP_AMERICANPOKER";
    p.cardSet = "CardSet2";
    p.payTable = {{"FIVE OF A KIND", 600}, {"ROYAL FLUSH", 300}, {"STRAIGHT FLUSH", 80}, {"4 OF A KIND", 40},
                  {"FULL HOUSE", 12},      {"FLUSH", 9},         {"STRAIGHT", 7},         {"3 OF A KIND", 5},
                  {"2 PAIRS", 3}};
    p.highlightRow = 9;
  } else if (theme == "VPC01") {
    p.compact = p.hideHand = true;
    p.dupTitle = "BIG/SMALL";
    p.idStr = "VXG_VP_JACKSORBETTER2";
    p.cardSet = "CardSet1";
    p.payTable = {{"ROYAL FLUSH", 350}, {"STRAIGHT FLUSH", 100}, {"4 OF A KIND (ACES)", 80},
                  {"4 OF A KIND (J's, Q's, K's)", 40}, {"4 OF A KIND (2's thru 10's)", 25}, {"FULL HOUSE", 8},
                  {"FLUSH", 6}, {"STRAIGHT", 4}, {"3 OF A KIND", 2}, {"2 PAIRS", 2}, {"JACKS OR BETTER", 1}};
    p.highlightRow = 11;
  } else if (theme == "VPC02") {
    p.compact = p.hideHand = p.deuces = true;
    p.dupTitle = "RED/BLACK";
    p.idStr = "VXG_VP_DEUCESWILD2";
    p.cardSet = "CardSet1";
    p.payTable = {{"4 DEUCES AND JOKER", 4000}, {"NATURAL ROYAL FLUSH", 800}, {"4 DEUCES", 25}, {"ROYAL FLUSH", 12},
                  {"FIVE OF A KIND", 9},         {"STRAIGHT FLUSH", 6},        {"4 OF A KIND", 3}, {"FULL HOUSE", 3},
                  {"FLUSH", 3},                  {"STRAIGHT", 2},              {"3 OF A KIND", 1}};
    p.highlightRow = 11;
  } else {
    p.compact = p.hideHand = true;
    p.dupTitle = "BIG/SMALL";
    p.idStr = "VXG_VP_JOKERWILD";
    p.cardSet = "CardSet1";
    p.payTable = {{"NATURAL ROYAL FLUSH", 400}, {"FIVE OF A KIND", 200}, {"ROYAL FLUSH", 100}, {"STRAIGHT FLUSH", 50},
                  {"4 OF A KIND", 20},          {"FULL HOUSE", 7},       {"FLUSH", 5},         {"STRAIGHT", 3},
                  {"3 OF A KIND", 2},           {"2 PAIRS", 1}};
    p.highlightRow = 9;
  }
  return p;
}

enum class Kind { Image, Panel, Label, Button, Card };

// One control as the mock-up draws it: in the game's drawing order, children after parents.
struct Control {
  std::string name;
  Kind kind = Kind::Image;
  std::string caption;
  std::string picture;  // archive key of its picture; empty: its own name in the theme folder
  bool visible = true;
  int effect = 0;       // user effect 1..3 running (0 none)
  bool hover = false;
  int depth = 0;        // nesting, only for the order of the list
};

class Mock {
public:
  Mock(FontLibrary& fonts, const ScreenPlan& plan, const std::string& themeText)
      : fonts_(fonts), plan_(plan), ini_(ParseIni(themeText).file) {
    for (const auto& a : AllArt()) art_.emplace(vx::UpperCase(a.key), a);
  }

  void Add(Control c) { list_.push_back(std::move(c)); }

  Picture Render() {
    Picture screen(800, 600, 0xFF000000u);
    // Pay rows 2.. stand under row 1, as the pay list lays itself out.
    LayoutPayRows();
    for (const auto& c : list_) {
      if (!c.visible) continue;
      Draw(screen, c);
    }
    return screen;
  }

private:
  struct Box {
    int left = 0, top = 0, width = 0, height = 0;
  };

  const IniSection* Section(const std::string& name) const { return ini_.Find(name); }
  int Int(const std::string& section, const std::string& key, int def) const {
    if (const IniSection* s = Section(section))
      if (auto v = s->Get(key)) return vx::StrToIntDef(*v, def);
    return def;
  }
  std::optional<std::vector<int32_t>> Four(const std::string& section, const std::string& key) const {
    if (const IniSection* s = Section(section))
      if (auto v = s->Get(key)) return ParseFourPart(*v);
    return std::nullopt;
  }
  Box BoxOf(const std::string& name) const {
    auto it = moved_.find(name);
    if (it != moved_.end()) return it->second;
    return {Int(name, "Left", 0), Int(name, "Top", 0), Int(name, "Width", 0), Int(name, "Height", 0)};
  }

  void LayoutPayRows() {
    std::vector<std::string> columns = {"LBL_PAYOFF_"};
    if (plan_.compact)
      for (int c = 1; c <= 5; ++c) columns.push_back("LBL_PAYOFFV" + std::to_string(c) + "_");
    else
      columns.push_back("LBL_PAYOFFV_");
    for (const auto& col : columns) {
      const Box first = BoxOf(col + "1");
      for (int r = 2; r <= static_cast<int>(plan_.payTable.size()); ++r)
        moved_[col + std::to_string(r)] = {first.left, first.top + (r - 1) * first.height, first.width, first.height};
    }
  }

  static uint32_t ThemeRgb(int32_t v) { return look::ThemeColour(static_cast<uint32_t>(v) & 0xFFFFFF); }

  const Picture* PictureOf(const std::string& key) {
    const std::string k = vx::UpperCase(key);
    auto cached = pictures_.find(k);
    if (cached != pictures_.end()) return &cached->second;
    auto it = art_.find(k);
    if (it == art_.end()) return nullptr;
    return &pictures_.emplace(k, it->second.draw(fonts_)).first->second;
  }

  const EngineFont& Font(const std::string& name) const {
    for (const auto& f : EngineFonts())
      if (vx::SameText(f.name, name)) return f;
    return EngineFonts().front();
  }

  void Draw(Picture& screen, const Control& c) {
    Box b = BoxOf(c.name);
    const std::string prefix = c.effect == 1 ? "CustomEffect_" : c.effect == 2 ? "CustomEffect2_" : c.effect == 3 ? "CustomEffect3_" : "";
    const bool isText = c.kind == Kind::Label || c.kind == Kind::Button;
    // Colour and alpha: the theme's base, then the running effect's targets.
    uint32_t tint = 0xFFFFFF;
    int alpha = c.kind == Kind::Label ? 0 : 255;
    if (auto v = Four(c.name, "Color4")) tint = ThemeRgb((*v)[0]);
    if (auto v = Four(c.name, "Alpha4")) alpha = (*v)[0];
    uint32_t textRgb = look::kCream;
    if (isText) textRgb = ThemeRgb(Int(c.name, "FontColor", 0xFFFFFF));
    auto applyEffect = [&](const std::string& p) {
      if (Int(c.name, p + "ColorEnabled", 0))
        if (auto v = Four(c.name, p + "Color")) tint = ThemeRgb((*v)[0]);
      if (Int(c.name, p + "AlphaEnabled", 0)) alpha = Int(c.name, p + "AlphaBlendValue", alpha);
      if (Int(c.name, p + "TextColorEnabled", 0)) textRgb = ThemeRgb(Int(c.name, p + "TextColor", 0));
      if (Int(c.name, p + "ScrollEnabled", 0) && Int(c.name, p + "ScrollOptions", 0) == 4)
        b.top -= Int(c.name, p + "ScrollDistance", 0);
    };
    if (!prefix.empty()) applyEffect(prefix);
    if (c.hover) applyEffect("RollOverEffect_");
    // The picture: its own name in the theme folder unless told otherwise; buttons fall back
    // to the shared one.
    std::string key = c.picture.empty() ? plan_.theme + "\\" + c.name + ".bmp" : c.picture;
    const Picture* pic = PictureOf(key);
    if (!pic && c.kind == Kind::Button) pic = PictureOf("COMMON\\BTN_ALL.bmp");
    if (pic) {
      Picture p = (pic->width > 256 || pic->height > 256 || (b.width == pic->width && b.height == pic->height))
                      ? *pic
                      : Stretch(*pic, b.width, b.height);
      p = Tint(p, tint);
      if (alpha < 255)
        for (auto& px : p.pixels) px = (((px >> 24) * static_cast<uint32_t>(alpha) / 255) << 24) | (px & 0xFFFFFF);
      BlendOver(screen, p, b.left, b.top);
    } else if (alpha > 0 && b.width > 0 && b.height > 0) {
      BlendOver(screen, Picture(b.width, b.height, (static_cast<uint32_t>(alpha) << 24) | tint), b.left, b.top);
    }
    if (isText && !c.caption.empty() && b.width > 0 && b.height > 0) DrawText(screen, c, b, textRgb);
  }

  void DrawText(Picture& screen, const Control& c, const Box& b, uint32_t rgb) {
    const EngineFont& font = Font(Section(c.name) ? Section(c.name)->Get("FontDXName").value_or("") : "");
    const int align = Int(c.name, "Alignment", c.kind == Kind::Button ? 2 : 0);
    const int layout = Int(c.name, "Layout", 1);
    Canvas canvas(b.width, b.height);
    cairo_font_face_t* face = fonts_.SystemFace(font.fileName);
    const double w = canvas.TextAdvance(face, font.pixelSize, c.caption);
    const double h = font.pixelSize * 1.25;  // the baked font's text height
    double x = align == 1 ? b.width - w - 1 : align == 2 ? std::floor((b.width - w) / 2) : 1;
    double top = layout == 0 ? 1 : layout == 2 ? b.height - h - 1 : std::floor((b.height - h) / 2);
    canvas.TextAt(face, font.pixelSize, c.caption, x, top + font.pixelSize * 0.98);
    canvas.SetColour(Hex(rgb));
    canvas.Fill();
    BlendOver(screen, canvas.ToPicture(), b.left, b.top);
  }

  FontLibrary& fonts_;
  const ScreenPlan& plan_;
  IniFile ini_;
  std::map<std::string, ArtEntry> art_;
  std::map<std::string, Picture> pictures_;
  std::map<std::string, Box> moved_;
  std::vector<Control> list_;
};

std::string CardKey(const std::string& set, int number, bool faceDown, bool wild) {
  if (faceDown) return set + "\\CARD_BACK_1.bmp";
  return set + "\\CARD_" + std::to_string(number) + (wild ? "_WILD" : "") + ".bmp";
}

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  if (!f) throw ::Exception("Cannot read " + p.string());
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace

Picture CardSheet(FontLibrary& fonts, const std::string& cardSet) {
  using namespace poker;
  const int gap = 6, cols = 13;
  Picture sheet(cols * (kCardW + gap) + gap, 5 * (kCardH + gap) + gap, 0xFF145233u);
  const auto names = CardPictureNames();
  std::map<std::string, ArtEntry> art;
  for (const auto& a : AllArt()) art.emplace(a.key, a);
  int i = 0;
  for (const auto& name : names) {
    const auto it = art.find(cardSet + "\\" + name + ".bmp");
    if (it == art.end()) throw ::Exception("no picture " + cardSet + "\\" + name);
    BlendOver(sheet, it->second.draw(fonts), gap + (i % cols) * (kCardW + gap), gap + (i / cols) * (kCardH + gap));
    ++i;
  }
  return sheet;
}

Picture MockPokerScreen(FontLibrary& fonts, const std::string& theme, const std::string& themeText,
                        const PokerMockState& state) {
  const ScreenPlan plan = Plan(theme);
  Mock m(fonts, plan, themeText);
  const bool dup = state.doubleUp;
  auto add = [&](const std::string& name, Kind kind, const std::string& caption = "", bool visible = true,
                 int effect = 0, const std::string& picture = "") {
    Control c;
    c.name = name;
    c.kind = kind;
    c.caption = caption;
    c.visible = visible;
    c.effect = effect;
    c.picture = picture;
    m.Add(c);
  };
  // The game screen's own controls, in the order the screen creates them.
  add("IMG_BACKGROUND", Kind::Image, "", true, 0, theme + "\\background.bmp");
  add("LBL_MESSAGE", Kind::Label, dup ? (plan.beatTheDealer ? "WIN" : "") : (state.advert ? "PRESS DEAL TO START" : "HOLD AND DRAW CARDS"));
  // The double-up panel and its children.
  if (dup) {
    add("PNL_DOUBLEUP", Kind::Panel);
    add("LBL_DUPTITLE", Kind::Label, plan.dupTitle);
    if (plan.beatTheDealer) {
      const int dealt[] = {24, 0, 0, 9, 0};  // the dealer's jack; the player turned up a nine
      for (int p = 1; p <= 10; ++p)
        add("CARD_DUP_" + std::to_string(p), Kind::Card, "", p <= 5, p >= 2 && p <= 5 && dealt[p - 1] == 0 ? 1 : 0,
            CardKey(plan.cardSet, dealt[std::min(p, 5) - 1], dealt[std::min(p, 5) - 1] == 0, false));
    } else {
      const int played[] = {5, 40, 53, 12, 0};
      for (int p = 1; p <= 10; ++p)
        add("CARD_DUP_" + std::to_string(p), Kind::Card, "", p <= 5, 0,
            CardKey(plan.cardSet, p <= 5 ? played[p - 1] : 0, p == 5, false));
    }
    add("LBL_DUPHIT", Kind::Label, "", false);
    add("IMG_DUPHITDOWN", Kind::Image);
    add("IMG_DUPHITUP", Kind::Image);
    add("IMG_SERIES", Kind::Image, "", true, 0, "SERIES\\S_3\\IMG_3.bmp");
  }
  add("PNL_CREDIT", Kind::Panel);
  add("LBL_CREDIT", Kind::Label, "CREDIT");
  add("LBL_CREDITV", Kind::Label, "1250");
  add("LBL_BET", Kind::Label, "BET");
  add("LBL_BETV", Kind::Label, "10");
  add("LBL_WIN", Kind::Label, "WIN");
  add("LBL_WINV", Kind::Label, dup ? "40" : "0");
  if (!plan.orvanta && !plan.jackpot) add("PNL_LOGO", Kind::Panel);
  if (plan.orvanta) {
    add("PNL_ORVANTA", Kind::Panel);
    add("LBL_ORVANTA", Kind::Label, "ORVANTA");
    add("LBL_ORVANTAV", Kind::Label, "7000");
    add("LBL_ORVANTACARD", Kind::Label, "7");
    for (int n = 1; n <= 10; ++n)
      add("IMG_ORVANTASTAGE_" + std::to_string(n), Kind::Image, "", true, n <= 3 ? 1 : 0, theme + "\\img_jackpotstage.bmp");
  }
  if (plan.jackpot) {
    add("PNL_AMERICANJACKPOT", Kind::Panel);
    add("LBL_AMERICANMINIBONUS", Kind::Label, "JACKS OR BETTER BONUS");
    add("LBL_AMERICANMINIBONUSV", Kind::Label, "150");
    add("LBL_AMERICANJACKPOT", Kind::Label, "JACKPOT");
    add("LBL_AMERICANJACKPOTV", Kind::Label, "2345");
  }
  add("PNL_NORMALDUP", Kind::Panel, "", !dup || plan.hideHand);
  if (plan.bar) {
    const bool barShown = dup && !plan.hideHand;
    add("PNL_DUPBARDUP", Kind::Panel, "", barShown);
    for (int n = 1; n <= 8; ++n)
      add("IMG_DUPBAR_" + std::to_string(n), Kind::Image, "", barShown, n <= 5 ? 1 : 0, theme + "\\img_dupbar.bmp");
    add("LBL_DUPBARWINV", Kind::Label, "640", barShown);
  }
  // A hand with a pair of kings held (a wild deuce where deuces are wild).
  const int hand[] = {13, 26, 33, plan.deuces ? 41 : 44, 37};
  const bool handShown = !state.advert && !(dup && plan.hideHand);
  for (int i = 0; i < 5; ++i) {
    const bool wild = plan.deuces && (hand[i] - 1) % 13 == 1;
    add("CARD_MAIN_" + std::to_string(i + 1), Kind::Card, "", handShown, 0, CardKey(plan.cardSet, hand[i], false, wild));
    add("LBL_HOLD_" + std::to_string(i + 1), Kind::Label, "HELD", handShown && (i < 2 || (plan.deuces && i == 3)));
  }
  add("IMG_GAMELOGO", Kind::Image, "", true, 0, "MAINROOM\\IMG_GAME_" + plan.idStr + ".bmp");
  add("PNL_BUTTONS", Kind::Panel);
  for (int i = 1; i <= 5; ++i) add("BTN_HOLD_" + std::to_string(i), Kind::Button, "HOLD");
  Control deal;
  deal.name = "BTN_DEAL";
  deal.kind = Kind::Button;
  deal.caption = "DEAL";
  deal.hover = true;
  m.Add(deal);
  add("BTN_BET", Kind::Button, "BET");
  add("BTN_CASHALL", Kind::Button, "CASH");
  if (plan.stages)
    for (int j = 1; j <= 3; ++j) {
      add("IMG_DEALSTAGEL" + std::to_string(j), Kind::Image, "", true, j <= 1 ? 1 : 0, theme + "\\img_dealstage.bmp");
      add("IMG_DEALSTAGER" + std::to_string(j), Kind::Image, "", j > 1, 0, theme + "\\img_dealstage.bmp");
    }
  add("IMG_ADV", Kind::Image, "", state.advert, 0, theme + "\\" + (state.advert ? "IMG_ADV" : "img_adv_2") + ".bmp");
  // The pay list, created last.
  const bool payShown = !(dup && !plan.hideHand);
  add("PNL_PAYOFF", Kind::Panel, "", payShown);
  const int rows = static_cast<int>(plan.payTable.size());
  for (int r = 1; r <= rows; ++r) {
    const auto& [title, mult] = plan.payTable[static_cast<size_t>(r - 1)];
    const bool made = !state.advert && r == plan.highlightRow;
    add("LBL_PAYOFF_" + std::to_string(r), Kind::Label, title, payShown, made ? (plan.compact ? 2 : 1) : 0);
    if (plan.compact) {
      for (int c = 1; c <= 5; ++c)
        add("LBL_PAYOFFV" + std::to_string(c) + "_" + std::to_string(r), Kind::Label, std::to_string(mult * 10 * c),
            payShown, c == 1 ? (made ? 2 : 1) : 0);
    } else {
      add("LBL_PAYOFFV_" + std::to_string(r), Kind::Label, std::to_string(mult * 10), payShown, made ? 1 : 0);
    }
  }
  return m.Render();
}

void WritePokerPreviews(FontLibrary& fonts, const std::string& sourceFolder, const std::string& outFolder) {
  fs::create_directories(outFolder);
  for (const auto& set : poker::CardSets())
    WritePng(CardSheet(fonts, set), (fs::path(outFolder) / ("cards_" + set + ".png")).string());
  for (const auto& theme : poker::PokerThemes()) {
    const std::string text = ReadText(fs::path(sourceFolder) / "themes" / theme / "theme.scn");
    WritePng(MockPokerScreen(fonts, theme, text, {}), (fs::path(outFolder) / ("mock_" + theme + ".png")).string());
    PokerMockState dup;
    dup.doubleUp = true;
    WritePng(MockPokerScreen(fonts, theme, text, dup), (fs::path(outFolder) / ("mock_" + theme + "_dup.png")).string());
    PokerMockState adv;
    adv.advert = true;
    WritePng(MockPokerScreen(fonts, theme, text, adv), (fs::path(outFolder) / ("mock_" + theme + "_adv.png")).string());
  }
}

}  // namespace vx::datagen
