// Objects, collections and items: the byte form of the game's files, the reader's rules on
// odd input, conversion errors, descriptors, files and round trips.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/Log.h"
#include "platform/Files.h"
#include "xmlstore/MIMEText.h"
#include "xmlstore/XMLText.h"
#include "xmlstore/XMLValueText.h"
#include "support/TempDir.h"
#include "unit/xmlstore/GameShapes.h"

using namespace shapes;

namespace {

std::string Golden(const std::string& name) {
  return vxtest::TempDir::ReadFile(std::string(VX_SOURCE_DIR) + "/tests/unit/xmlstore/golden/" + name);
}

const std::string kDecl = "<?xml version = \"1.0\"?>";

void FillPlayers(TVXPlayers& players) {
  TVXPlayer* a = players.Add();
  a->PlayerName = "ann";
  a->Password = "secret";
  a->FirstName = "Ann";
  a->LastName = "Lee";
  a->PictureID = 3;
  a->Bank = 2147483648u;  // 2^31
  a->Rank = 1;
  TVXPlayer* b = players.Add();
  b->PlayerName = "Bob";
  b->Password = "x";
  b->FirstName = "Bob";
  b->LastName = "O'Neil";
  b->Bank = 4294967295u;  // 2^32 - 1
}

void FillCasino(TVXCasino& casino) {
  TPlayerStatistics* p = casino.GetPlayersStatistics()->Add();
  p->PlayerName = "ann";
  TGameStatictics* g = p->GamesStatistics->Add();
  g->GameIDStr = "VXG_VP_JACKSORBETTER";
  g->CreditIn = 2147483648u;
  g->CreditOut = 100;
  TGameHand* h = g->GameHands.Add();
  h->HandIDStr = "HAND_FLUSH";
  h->Value = 3;
  g->GameHands.Add()->HandIDStr = "HAND_ROYALFLUSH";
}

// --- The four shapes of the game's files ---------------------------------------------------

TEST(GoldenFiles, SettingsObjectFile) {
  TVXSetting s;
  s.optFullScreen = s.optSoundEnabled = s.optAntialias = s.optVSync = true;
  s.optSoundVolume = 80;
  s.optAutoLoginPlayerName = "Ann & Bob";
  s.optAutoLoginPlayerPassword = "p<w>";
  EXPECT_EQ(s.GetXML(), Golden("settings.xml"));

  TVXSetting back;
  EXPECT_EQ(back.SetXML(Golden("settings.xml")), XMLReadResult::Complete);
  EXPECT_EQ(back.optAutoLoginPlayerName, "Ann & Bob");
  EXPECT_EQ(back.optAutoLoginPlayerPassword, "p<w>");
  EXPECT_EQ(back.optSoundVolume, 80);
  EXPECT_TRUE(back.optFullScreen);
  EXPECT_FALSE(back.optMouseTrail);
  EXPECT_EQ(back.GetXML(), Golden("settings.xml"));
}

TEST(GoldenFiles, PlayersCollectionFileWithDeclarationAndLargeBanks) {
  vxtest::TempDir dir;
  TVXPlayers players;
  FillPlayers(players);
  ASSERT_TRUE(players.SaveToFile(dir.File("players.xml")));
  EXPECT_EQ(vxtest::TempDir::ReadFile(dir.File("players.xml")), Golden("players.xml"));

  TVXPlayers back;
  back.Add();  // replaced by the load
  ASSERT_TRUE(back.LoadFromFile(dir.File("players.xml")));
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Items(0)->Bank, 2147483648u);
  EXPECT_EQ(back.Items(1)->Bank, 4294967295u);
  EXPECT_EQ(back.Items(1)->LastName, "O'Neil");
  EXPECT_EQ(back.Items(0)->Collection(), &back);
  EXPECT_EQ(back.Items(1)->Index(), 1);
  EXPECT_EQ(kDecl + back.GetXML(), Golden("players.xml"));
}

TEST(GoldenFiles, CasinoStatisticsWithNestedCollections) {
  TVXCasino casino;
  FillCasino(casino);
  EXPECT_EQ(casino.GetXML(), Golden("casino.xml"));

  TVXCasino back;
  EXPECT_EQ(back.SetXML(Golden("casino.xml")), XMLReadResult::Complete);
  ASSERT_EQ(back.GetPlayersStatistics()->Count(), 1);
  const TGameStatictics* g = back.GetPlayersStatistics()->Items(0)->GamesStatistics->Items(0);
  EXPECT_EQ(g->CreditIn, 2147483648u);
  EXPECT_EQ(g->GameHands.Count(), 2);
  EXPECT_EQ(g->GameHands.Items(0)->Value, 3);
  EXPECT_EQ(back.GetXML(), Golden("casino.xml"));
}

TEST(GoldenFiles, EmptyNestedCollections) {
  TVXCasino casino;
  TPlayerStatistics* bob = casino.GetPlayersStatistics()->Add();
  bob->PlayerName = "bob";
  bob->GamesStatistics->Add()->GameIDStr = "VXG_SLOTS_FRUITS";
  casino.GetPlayersStatistics()->Add()->PlayerName = "cy";
  EXPECT_EQ(casino.GetXML(), Golden("casino_empty_nested.xml"));

  TVXCasino back;
  EXPECT_EQ(back.SetXML(Golden("casino_empty_nested.xml")), XMLReadResult::Complete);
  EXPECT_EQ(back.GetXML(), Golden("casino_empty_nested.xml"));

  TVXPlayers none;
  EXPECT_EQ(kDecl + none.GetXML(), kDecl + "<VXPlayers></VXPlayers>");
}

// --- Values ----------------------------------------------------------------------------------

TEST(Values, StringsAreEscapedOnWritingAndTrimmedOnReading) {
  TVXPlayer p;
  p.PlayerName = " word ";
  p.Password = "a&b";
  const std::string body = p.GetXMLBody();
  EXPECT_NE(body.find("<PlayerName> word </PlayerName>"), std::string::npos);
  EXPECT_NE(body.find("<Password>a&#x26;b</Password>"), std::string::npos);
  TVXPlayer back;
  EXPECT_TRUE(back.SetXMLBody(body));
  EXPECT_EQ(back.PlayerName, "word");
  EXPECT_EQ(back.Password, "a&b");
  EXPECT_TRUE(back.SetXMLBody("<Password><![CDATA[x<y]]></Password>"));
  EXPECT_EQ(back.Password, "x<y");
}

TEST(Values, EmptyElementsLeaveThePropertyUnchanged) {
  TVXPlayer p;
  p.PlayerName = "keep";
  p.Bank = 7;
  EXPECT_TRUE(p.SetXMLBody("<PlayerName></PlayerName><Bank></Bank>"));
  EXPECT_EQ(p.PlayerName, "keep");
  EXPECT_EQ(p.Bank, 7u);
  TVXPlayer empty;
  EXPECT_NE(empty.GetXMLBody().find("<PlayerName></PlayerName>\r\n"), std::string::npos);
  // Blanks are not empty: the string becomes empty.
  EXPECT_TRUE(p.SetXMLBody("<PlayerName>  </PlayerName>"));
  EXPECT_EQ(p.PlayerName, "");
}

TEST(Values, UnsignedValuesUseTheSignedFormOfTheirBitsAndReadEitherForm) {
  TVXPlayer p;
  p.Bank = 2147483653u;  // 2^31 + 5
  EXPECT_NE(p.GetXMLBody().find("<Bank>-2147483643</Bank>"), std::string::npos);
  TVXPlayer back;
  ASSERT_TRUE(back.SetXMLBody(p.GetXMLBody()));
  EXPECT_EQ(back.Bank, 2147483653u);
  EXPECT_TRUE(back.SetXMLBody("<Bank>4294967295</Bank>"));
  EXPECT_EQ(back.Bank, 4294967295u);
  EXPECT_TRUE(back.SetXMLBody("<Bank>$80000000</Bank>"));
  EXPECT_EQ(back.Bank, 2147483648u);
  for (const char* bad : {"4294967296", "-2147483649", "1.5", "lots"}) {
    back.Bank = 1;
    EXPECT_THROW(back.SetXMLBody(std::string("<Bank>") + bad + "</Bank>"), EXMLException) << bad;
    EXPECT_EQ(back.Bank, 1u);
  }
  // A signed property refuses the unsigned range.
  EXPECT_THROW(back.SetXMLBody("<PictureID>2147483648</PictureID>"), EXMLException);
}

TEST(Values, EveryKindHasItsTextForm) {
  TAllKinds k;
  k.Int = -3;
  k.Big = -9000000000000;
  k.Flag = true;
  k.Letter = '<';
  k.Kind = TDoubleUpKind::dukBeatTheDealer;
  k.Real = 0.5;
  k.Stamp.Value = 45000.75;
  k.Day.Value = 45000.75;
  k.Clock.Value = 45000.75;
  k.Raw = "a&<b>";
  k.Mime = "abc";
  k.Colour.Value = 0x00332211;  // red 0x11, green 0x22, blue 0x33
  k.Lines = {"one", "two"};
  k.Any = Variant(int32_t{5});
  k.Items.Add()->Title = "t";
  const std::string body = k.GetXMLBody();
  for (const char* line : {"<Int>-3</Int>", "<Big>-9000000000000</Big>", "<Flag>True</Flag>", "<Letter>&#x3C;</Letter>",
                           "<Kind>dukBeatTheDealer</Kind>", "<Real>0.5</Real>", "<Stamp>2023-03-15 18:00:00</Stamp>",
                           "<Day>2023-03-15</Day>", "<Clock>18:00:00</Clock>", "<Raw>a&<b></Raw>", "<Mime>YWJj</Mime>",
                           "<Colour>$112233</Colour>", "<Lines>one&#x0D;&#x0A;two&#x0D;&#x0A;</Lines>",
                           "<Any><VariantType>3</VariantType><VariantData>5</VariantData></Any>",
                           "<Items><VXStoreItem><DataInt>0</DataInt>\r\n<DataInt2>0</DataInt2>\r\n<DataStr></DataStr>\r\n"
                           "<Title>t</Title>\r\n</VXStoreItem>\r\n</Items>",
                           "<Missing></Missing>", "<Computed>-1</Computed>"})
    EXPECT_NE(body.find(std::string(line) + "\r\n"), std::string::npos) << line << "\n" << body;

  TAllKinds back;
  EXPECT_TRUE(back.SetXMLBody(body));
  EXPECT_EQ(back.Colour.Value, 0x00332211u);
  EXPECT_EQ(back.Kind, TDoubleUpKind::dukBeatTheDealer);
  EXPECT_EQ(back.Day.Value, 45000);
  EXPECT_EQ(back.Clock.Value, 0.75);
  EXPECT_EQ(back.Lines, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(back.GetXMLBody(), body);
}

TEST(Values, EnumerationsBooleansAndCharacters) {
  TAllKinds k;
  EXPECT_TRUE(k.SetXMLBody("<kind>DUKREDBLACK</kind><flag>true</flag><Letter> xyz </Letter>"));
  EXPECT_EQ(k.Kind, TDoubleUpKind::dukRedBlack) << "value names match ignoring case";
  EXPECT_TRUE(k.Flag);
  EXPECT_EQ(k.Letter, 'x') << "the first character after trimming";
  // A blank character keeps the value.
  EXPECT_TRUE(k.SetXMLBody("<Letter> </Letter>"));
  EXPECT_EQ(k.Letter, 'x');
  EXPECT_TRUE(k.SetXMLBody("<Letter>&#x09;</Letter>"));
  EXPECT_EQ(k.Letter, 'x');
  // Unknown names are conversion errors.
  EXPECT_THROW(k.SetXMLBody("<Kind>dukSideways</Kind>"), EXMLException);
  EXPECT_THROW(k.SetXMLBody("<Flag>1</Flag>"), EXMLException);
  EXPECT_EQ(k.Kind, TDoubleUpKind::dukRedBlack);
  // A value outside the names writes nothing.
  k.Kind = static_cast<TDoubleUpKind>(9);
  EXPECT_NE(k.GetXMLBody().find("<Kind></Kind>"), std::string::npos);
}

TEST(Values, RawAndMIMEStringsAreNotUnescaped) {
  TAllKinds k;
  EXPECT_TRUE(k.SetXMLBody("<Raw> &#x41; </Raw><Mime>YW&#x4A;j</Mime><Text> &#x41; </Text>"));
  EXPECT_EQ(k.Raw, " &#x41; ");
  EXPECT_EQ(k.Mime, MIMEDecode("YW&#x4A;j"));
  EXPECT_EQ(k.Text, "A");
}

// --- Element names and the stop rules -------------------------------------------------------

TEST(Reading, ElementNamesMatchPropertiesIgnoringCaseButTagsMustCloseExactly) {
  TVXPlayer p;
  EXPECT_TRUE(p.SetXMLBody("<bank>5</bank>\r\n<RANK>2</RANK>"));
  EXPECT_EQ(p.Bank, 5u);
  EXPECT_EQ(p.Rank, 2);
  EXPECT_FALSE(p.SetXMLBody("<Bank>6</bank><Rank>3</Rank>")) << "the closing tag never matches: reading stops";
  EXPECT_EQ(p.Bank, 5u);
  EXPECT_EQ(p.Rank, 2);
}

TEST(Reading, UnknownElementsAreSkippedAndSameNamedNestingIsMatchedByDepth) {
  TVXPlayer p;
  EXPECT_TRUE(p.SetXMLBody("<Extra><Extra>1</Extra><Bank>9</Bank></Extra>\r\n<Rank>4</Rank>\r\n"));
  EXPECT_EQ(p.Bank, 0u) << "an element inside an unknown one is not read";
  EXPECT_EQ(p.Rank, 4);
  // Text between elements is passed over.
  EXPECT_TRUE(p.SetXMLBody("junk<Rank>5</Rank>"));
  EXPECT_EQ(p.Rank, 5);
}

TEST(Reading, AttributesCommentsAndStrayClosingTagsStopReading) {
  for (const char* body : {"<Rank>1</Rank><Bank id=\"1\">5</Bank><PictureID>2</PictureID>",
                           "<Rank>1</Rank><!-- note --><PictureID>2</PictureID>",
                           "<Rank>1</Rank></Stray><PictureID>2</PictureID>", "<Rank>1</Rank><>x</>",
                           "<Rank>1</Rank>trailing text", "<Rank>1</Rank><Bank>5"}) {
    TVXPlayer p;
    EXPECT_FALSE(p.SetXMLBody(body)) << body;
    EXPECT_EQ(p.Rank, 1) << body;
    EXPECT_EQ(p.PictureID, 0) << body;
    EXPECT_EQ(p.Bank, 0u) << body;
  }
  TVXPlayer p;
  EXPECT_TRUE(p.SetXMLBody("<Rank>1</Rank>\r\n \t"));
}

// Integer values read as the conversion reads them, short plain numbers included.
TEST(Reading, IntegersReadAsTheConversionGivesThem) {
  std::mt19937 rng(31);
  const char alphabet[] = "0123456789- $Ax";
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    for (int i = 1 + rng() % 12; i > 0; --i) s += alphabet[rng() % (rng() % 4 ? 10 : sizeof alphabet - 1)];
    std::string expected;
    try {
      expected = std::to_string(XMLTextToInt32(XMLUnescape(s)));
    } catch (const EConvertError&) {
      expected = "error";
    }
    TVXPlayer p;
    std::string got;
    try {
      p.SetXMLBody("<Rank>" + s + "</Rank>");
      got = std::to_string(p.Rank);
    } catch (const EXMLException&) {
      got = "error";
    }
    ASSERT_EQ(got, expected) << s;
  }
}

TEST(Reading, ConversionErrorsNameTheTagAndKeepWhatWasRead) {
  TVXPlayer p;
  try {
    p.SetXMLBody("<Bank>5</Bank><PictureID>x1</PictureID><Rank>3</Rank>");
    FAIL();
  } catch (const EXMLException& e) {
    EXPECT_EQ(e.Message, "('x1' is not a valid integer value)Error Processing XML - PictureID");
  }
  EXPECT_EQ(p.Bank, 5u);
  EXPECT_EQ(p.Rank, 0);
  // Through an object's root, with the item's error passed on by its collections unchanged.
  TVXCasino casino;
  try {
    casino.SetXML("<VXCasino><PlayersStatistics><PlayerStatistics><GamesStatistics><GameStatictics>"
                  "<CreditIn>x</CreditIn></GameStatictics></GamesStatistics></PlayerStatistics>"
                  "</PlayersStatistics></VXCasino>");
    FAIL();
  } catch (const EXMLException& e) {
    EXPECT_EQ(e.Message, "('x' is not a valid integer value)Error Processing XML - CreditIn");
  }
}

// A collection with a published property of its own.
class TRankedPlayers : public TVXPlayers {
public:
  int32_t Level = 0;
  VX_XML_PUBLISHED
};
const XMLClassInfo& TRankedPlayers::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TRankedPlayers, TVXPlayers>("TRankedPlayers").Prop("Level", &TRankedPlayers::Level);
  return info;
}

TEST(Collections, OwnPropertiesComeFirstAndTheirErrorsAreNotWrapped) {
  TRankedPlayers c;
  c.Level = 4;
  c.Add()->Rank = 1;
  EXPECT_EQ(c.GetXML(), "<RankedPlayers><Level>4</Level>\r\n<VXPlayer><Bank>0</Bank>\r\n<FirstName></FirstName>\r\n"
                        "<LastName></LastName>\r\n<Password></Password>\r\n<PictureID>0</PictureID>\r\n"
                        "<PlayerName></PlayerName>\r\n<Rank>1</Rank>\r\n</VXPlayer>\r\n</RankedPlayers>");
  EXPECT_EQ(c.ItemElementName(), "VXPlayer") << "the item class is inherited";
  TRankedPlayers back;
  EXPECT_EQ(back.SetXML(c.GetXML()), XMLReadResult::Complete);
  EXPECT_EQ(back.Level, 4);
  EXPECT_EQ(back.Count(), 1);
  EXPECT_THROW(back.SetXMLBody("<Level>x</Level>"), EConvertError);
  try {
    back.SetXMLBody("<VXPlayer><Rank>x</Rank></VXPlayer>");
    FAIL();
  } catch (const EXMLException& e) {
    EXPECT_EQ(e.Message, "('x' is not a valid integer value)Error Processing XML - Rank");
  }
}

TEST(Collections, ReadingRemovesAllItemsFirstAndItemsNeedTheirExactName) {
  TVXPlayers players;
  FillPlayers(players);
  EXPECT_EQ(players.SetXML(kDecl + "<VXPlayers></VXPlayers>"), XMLReadResult::Complete);
  EXPECT_EQ(players.Count(), 0);
  FillPlayers(players);
  EXPECT_EQ(players.SetXML("<Other></Other>"), XMLReadResult::NoRoot);
  EXPECT_EQ(players.Count(), 0) << "without the root the collection ends up empty";
  EXPECT_EQ(players.SetXML("<vxplayers><vxplayer><Rank>1</Rank></vxplayer><VXPlayer><Rank>2</Rank></VXPlayer>"
                           "</vxplayers>"),
            XMLReadResult::Complete);
  ASSERT_EQ(players.Count(), 1) << "a lower-case item element is not an item";
  EXPECT_EQ(players.Items(0)->Rank, 2);
}

TEST(Collections, AnItemWhoseElementDoesNotCloseIsNotAdded) {
  TVXPlayers players;
  EXPECT_EQ(players.SetXML("<VXPlayers><VXPlayer><Rank>1</Rank></VXPlayer><VXPlayer><Rank>2</Rank></VXPlayers>"),
            XMLReadResult::Incomplete);
  EXPECT_EQ(players.Count(), 1);
}

TEST(Collections, ItemAccessAndDeletion) {
  TVXPlayers players;
  FillPlayers(players);
  EXPECT_THROW(players.GetItem(2), Exception);
  EXPECT_THROW(players.Delete(-1), Exception);
  TVXPlayer* bob = players.Items(1);
  players.Delete(0);
  EXPECT_EQ(players.Count(), 1);
  EXPECT_EQ(bob->Index(), 0);
  EXPECT_THROW(players.ItemAs<TGameHand>(0), EXMLException);
  TGameHands hands;
  EXPECT_THROW(hands.AddAs<TVXPlayer>(), EXMLException);
  EXPECT_EQ(hands.Count(), 0) << "a failed typed add leaves no item";
}

// Items live in storage the collection owns and reuses; ASan and the leak check see slots
// freed, reused or kept wrongly.
TEST(Collections, RandomAddsDeletesAndClearsKeepEveryItemWhereItWas) {
  std::mt19937 rng(7);
  TVXPlayers items;
  std::vector<std::pair<TVXPlayer*, int>> model;  // each item and the rank it was given
  for (int step = 0; step < 20000; ++step) {
    const unsigned r = rng() % 100;
    if (r < 60) {
      model.emplace_back(items.Add(), step);
      model.back().first->Rank = step;
      model.back().first->PlayerName = std::string(rng() % 40, 'x');  // short and heap-held strings
    } else if (r < 99 && !model.empty()) {
      const size_t i = rng() % model.size();
      items.Delete(static_cast<int>(i));
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (r == 99) {
      items.Clear();
      model.clear();
    }
    ASSERT_EQ(items.Count(), static_cast<int>(model.size()));
    if (model.empty()) continue;
    const size_t i = rng() % model.size();
    ASSERT_EQ(items.Items(static_cast<int>(i)), model[i].first);
    ASSERT_EQ(model[i].first->Rank, model[i].second);
    ASSERT_EQ(model[i].first->Index(), static_cast<int>(i));
  }
}

// --- Objects and roots -----------------------------------------------------------------------

TEST(Objects, RootSearchAndReadResults) {
  TVXSetting s;
  EXPECT_EQ(s.SetXML(kDecl + "<vxsetting><optSoundVolume>3</optSoundVolume></vxsetting>"), XMLReadResult::Complete);
  EXPECT_EQ(s.optSoundVolume, 3);
  EXPECT_EQ(s.SetXML(" \r\n"), XMLReadResult::Blank);
  EXPECT_EQ(s.SetXML("<VXPlayers></VXPlayers>"), XMLReadResult::NoRoot);
  EXPECT_EQ(s.SetXML("<VXSetting><optSoundVolume>4</optSoundVolume>"), XMLReadResult::NoRoot) << "unclosed root";
  EXPECT_EQ(s.SetXML("<VXSetting><optSoundVolume>5</optSoundVolume><x></VXSetting>"), XMLReadResult::Incomplete);
  EXPECT_EQ(s.optSoundVolume, 5);
  auto created = TXMLObject::CreateFromXML<TVXSetting>("<VXSetting><optMusicVolume>9</optMusicVolume></VXSetting>");
  EXPECT_EQ(created->optMusicVolume, 9);
}

// A nested object that writes its own text, and one held by a pointer that may be null.
class TNote : public IXMLObjectText {
public:
  std::string Text = "<n>hi</n>";
  std::string GetXMLText() const override { return Text; }
  void SetXMLText(std::string_view t) override { Text = std::string(t); }
};

class THolder : public TTSYXMLObject {
public:
  TNote Note;
  std::unique_ptr<TVXStoreItem> Owned;
  VX_XML_PUBLISHED
};
const XMLClassInfo& THolder::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<THolder, TTSYXMLObject>("THolder").Prop("Note", &THolder::Note).Prop("Owned", &THolder::Owned);
  return info;
}

TEST(Objects, NestedObjectsThatWriteTheirOwnTextOrAreMissing) {
  THolder h;
  EXPECT_EQ(h.GetXMLBody(), "<Note><n>hi</n></Note>\r\n<Owned></Owned>\r\n");
  THolder back;
  EXPECT_TRUE(back.SetXMLBody("<Note><m/></Note><Owned><Title>t</Title></Owned>"));
  EXPECT_EQ(back.Note.Text, "<m/>");
  EXPECT_EQ(back.Owned, nullptr) << "a missing nested object is never created";
  back.Owned = std::make_unique<TVXStoreItem>();
  EXPECT_TRUE(back.SetXMLBody("<Owned><Title>t</Title></Owned>"));
  EXPECT_EQ(back.Owned->Title, "t");
  EXPECT_FALSE(back.SetXMLBody("<Owned><Title>u</Title><x></Owned>")) << "a nested body that stops early is reported";
  EXPECT_EQ(back.Owned->Title, "u");
}

// A class that forgets its descriptor would be written under its parent's name.
class TForgetful : public TVXPlayer {};

TEST(Descriptors, ADerivedClassWithoutItsOwnDescriptorIsRefused) {
  TForgetful f;
  EXPECT_THROW(f.GetXMLBody(), EXMLException);
  EXPECT_THROW(f.SetXMLBody("<Rank>1</Rank>"), EXMLException);
  EXPECT_THROW(f.ElementName(), EXMLException);
}

class TRenamed : public TVXSetting {
public:
  int32_t Louder = 0;
  VX_XML_PUBLISHED
};
const XMLClassInfo& TRenamed::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TRenamed, TVXSetting>("TRenamed").Prop("OPTSOUNDVOLUME", &TRenamed::Louder);
  return info;
}

TEST(Descriptors, PropertiesAreMergedSortedAndRedeclarationsReplaceTheAncestors) {
  const XMLClassInfo& c = TRenamed::StaticXMLClass();
  EXPECT_EQ(c.ElementName, "Renamed");
  EXPECT_EQ(c.Parent, &TVXSetting::StaticXMLClass());
  ASSERT_EQ(c.Properties.size(), TVXSetting::StaticXMLClass().Properties.size());
  EXPECT_EQ(c.OwnProperties.size(), 1u);
  EXPECT_EQ(c.FindProperty("optsoundvolume")->Name, "OPTSOUNDVOLUME");
  TRenamed r;
  r.optSoundVolume = 1;
  r.Louder = 2;
  const std::string body = r.GetXMLBody();
  EXPECT_NE(body.find("<optSoundEnabled>False</optSoundEnabled>\r\n<OPTSOUNDVOLUME>2</OPTSOUNDVOLUME>\r\n<optVSync>"),
            std::string::npos)
      << body;
  for (size_t i = 1; i < c.Properties.size(); ++i)
    EXPECT_LT(CompareXMLNames(c.Properties[i - 1]->Name, c.Properties[i]->Name), 0);
  // Kinds follow the member types.
  EXPECT_EQ(TAllKinds::StaticXMLClass().FindProperty("UInt")->Kind, XMLPropKind::UInt32);
  EXPECT_EQ(TAllKinds::StaticXMLClass().FindProperty("Raw")->Kind, XMLPropKind::RawString);
  EXPECT_EQ(TAllKinds::StaticXMLClass().FindProperty("Items")->Kind, XMLPropKind::Object);
  EXPECT_TRUE(TAllKinds::StaticXMLClass().FindProperty("Computed")->ReadOnly());
}

TEST(Descriptors, ReadOnlyPropertiesAreWrittenButNotRead) {
  TAllKinds k;
  k.Int = 4;
  EXPECT_TRUE(k.SetXMLBody("<Computed>100</Computed><Int>5</Int>"));
  EXPECT_EQ(k.Int, 5);
  EXPECT_NE(k.GetXMLBody().find("<Computed>2</Computed>"), std::string::npos);
}

// --- Files -----------------------------------------------------------------------------------

TEST(Files, SavingIsAtomicAndAFailedSaveIsLoggedAndReported) {
  vxtest::TempDir dir;
  const std::string file = dir.File("settings.xml");
  TVXSetting s;
  s.optSoundVolume = 1;
  ASSERT_TRUE(s.SaveToFile(file));
  EXPECT_EQ(vxtest::TempDir::ReadFile(file), s.GetXML()) << "no declaration, no line break at the end";
  s.optSoundVolume = 2;
  vx::ClearLog();
  vx::InjectFileFaultForTests(vx::FileFault::Rename);
  EXPECT_FALSE(s.SaveToFile(file));
  EXPECT_TRUE(vx::LogContains("ERROR: Could not save to " + file));
  TVXSetting back;
  ASSERT_TRUE(back.LoadFromFile(file));
  EXPECT_EQ(back.optSoundVolume, 1) << "the old file is intact";
  EXPECT_FALSE(s.SaveToFile(""));
  EXPECT_FALSE(s.SaveToFile(dir.File("no/such/folder/x.xml")));
}

TEST(Files, MissingFilesLeaveObjectsAndEmptyCollections) {
  vxtest::TempDir dir;
  TVXSetting s;
  s.optMusicVolume = 3;
  EXPECT_TRUE(s.LoadFromFile(dir.File("none.xml")));
  EXPECT_EQ(s.optMusicVolume, 3);
  TVXPlayers players;
  FillPlayers(players);
  EXPECT_TRUE(players.LoadFromFile(dir.File("none.xml")));
  EXPECT_EQ(players.Count(), 0);
}

TEST(Files, UnreadableFilesAreKeptAsideLoggedAndReported) {
  const char* damaged[] = {
      "<VXPlayers><VXPlayer><Bank>5</Bank></VXPlayer><VXPlayer><Bank>6</Bank>",  // cut short
      "<VXPlayers><VXPlayer><Bank>lots</Bank></VXPlayer></VXPlayers>",           // does not convert
      "<VXPlayers><VXPlayer><Bank>5</Bank><!-- x --></VXPlayer></VXPlayers>",    // stops with text left
      "<Players></Players>",                                                     // no root
      "garbage",                                                                 // no root, not blank
  };
  for (const char* text : damaged) {
    vxtest::TempDir dir;
    const std::string file = dir.File("players.xml");
    vxtest::TempDir::WriteFile(file, text);
    vx::ClearLog();
    TVXPlayers players;
    EXPECT_FALSE(players.LoadFromFile(file)) << text;
    EXPECT_TRUE(vx::LogContains("ERROR: Could not load " + file)) << text;
    EXPECT_FALSE(vx::FileExists(file)) << text;
    EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad"), text);
    // Nothing is saved in its place in this run, and a second fault keeps both copies.
    EXPECT_FALSE(players.SaveToFile(file));
    EXPECT_FALSE(vx::FileExists(file));
    vxtest::TempDir::WriteFile(file, text);
    EXPECT_FALSE(players.LoadFromFile(file));
    EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad1"), text);
    EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad"), text);
  }
}

TEST(Files, ASetAsideCopyIsNeverReplacedHoweverManyThereAre) {
  vxtest::TempDir dir;
  const std::string file = dir.File("players.xml");
  vxtest::TempDir::WriteFile(file + ".bad", "first");
  for (int n = 1; n < 100; ++n) vxtest::TempDir::WriteFile(file + ".bad" + std::to_string(n), std::to_string(n));
  vxtest::TempDir::WriteFile(file, "<VXPlayers>");
  TVXPlayers players;
  EXPECT_FALSE(players.LoadFromFile(file));
  EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad99"), "99");
  EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad100"), "<VXPlayers>");
  EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad"), "first");
}

TEST(Files, OnlyAMissingFileIsBlankAZeroByteOrAnEmptyFileIsDamage) {
  vxtest::TempDir dir;
  const std::string file = dir.File("settings.xml");
  for (const std::string& text : {std::string("<VXSetting><optMusicVolume>4</optMusicVolume></VXSetting>\0junk", 62),
                                  std::string("\0<VXSetting></VXSetting>", 24), std::string(" \r\n"), std::string()}) {
    vxtest::TempDir::WriteFile(file, text);
    TVXSetting s;
    EXPECT_FALSE(s.LoadFromFile(file));
    EXPECT_FALSE(vx::FileExists(file));
  }
  EXPECT_TRUE(vx::FileExists(file + ".bad3"));
}

// --- Round trips -----------------------------------------------------------------------------

std::string RandomText(std::mt19937_64& rng, size_t maxLen, int lo, int hi, bool blankEnds) {
  std::string s;
  for (size_t n = rng() % (maxLen + 1); n > 0; --n) s += static_cast<char>(lo + static_cast<int>(rng() % (hi - lo + 1)));
  if (!blankEnds) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.erase(0, 1);
  }
  return s;
}

Variant RandomVariant(std::mt19937_64& rng) {
  switch (rng() % 10) {
    case 0: return Variant();
    case 1: return Variant::Null();
    case 2: return Variant(static_cast<int32_t>(rng()));
    case 3: return Variant(static_cast<int64_t>(rng()));
    case 4: return Variant(static_cast<double>(static_cast<int64_t>(rng())) / 1024.0);
    case 5: return Variant(RandomText(rng, 20, 1, 255, true));
    case 6: return Variant(rng() % 2 == 0);
    case 7: return Variant::OfCurrency(static_cast<int64_t>(rng()));
    case 8: {
      Variant a = Variant::CreateArray({{-2, static_cast<int32_t>(rng() % 4)}}, varInteger);
      for (size_t i = 0; i < a.ElementCount(); ++i) a.Element(i) = Variant(static_cast<int32_t>(rng()));
      return a;
    }
    default: {
      Variant a = Variant::CreateArray({{0, 1}, {0, 1}}, varVariant);
      for (size_t i = 0; i < a.ElementCount(); ++i) a.Element(i) = Variant(static_cast<double>(rng() % 1000) / 8);
      return a;
    }
  }
}

TEST(RoundTrip, RandomValuesOfEveryKindSurviveWritingAndReading) {
  std::mt19937_64 rng(20240501);
  for (int round = 0; round < 300; ++round) {
    TAllKinds k;
    k.Int = static_cast<int32_t>(rng());
    k.UInt = static_cast<uint32_t>(rng());
    k.Big = static_cast<int64_t>(rng());
    k.Flag = rng() % 2 == 0;
    k.Letter = static_cast<char>(33 + rng() % 223);
    k.Kind = static_cast<TDoubleUpKind>(rng() % 3);
    uint64_t bits = rng();
    std::memcpy(&k.Real, &bits, sizeof bits);
    if (k.Real != k.Real) k.Real = 0;
    const double day = static_cast<double>(static_cast<int64_t>(rng() % 3000000));
    const double ms = static_cast<double>(rng() % 86400000) / 86400000.0;
    k.Stamp.Value = day + ms;
    k.Day.Value = day;
    k.Clock.Value = ms;
    k.Text = RandomText(rng, 30, 1, 255, false);
    k.Raw = RandomText(rng, 30, 61, 255, true);  // no "<" in raw text
    k.Mime = RandomText(rng, 30, 0, 255, true);
    k.Colour.Value = static_cast<uint32_t>(rng());
    for (int n = static_cast<int>(rng() % 4); n > 0; --n) k.Lines.push_back(RandomText(rng, 10, 33, 255, false) + "x");
    k.Any = RandomVariant(rng);
    for (int n = static_cast<int>(rng() % 3); n > 0; --n) {
      TVXStoreItem* item = k.Items.Add();
      item->Title = RandomText(rng, 10, 1, 255, false);
      item->DataInt = static_cast<int32_t>(rng());
    }
    const std::string xml = k.GetXML();
    TAllKinds back;
    ASSERT_EQ(back.SetXML(xml), XMLReadResult::Complete) << xml;
    ASSERT_EQ(back.Int, k.Int);
    ASSERT_EQ(back.UInt, k.UInt);
    ASSERT_EQ(back.Big, k.Big);
    ASSERT_EQ(back.Flag, k.Flag);
    ASSERT_EQ(back.Letter, k.Letter);
    ASSERT_EQ(back.Kind, k.Kind);
    ASSERT_EQ(back.Real, k.Real);
    ASSERT_EQ(back.Stamp, k.Stamp);
    ASSERT_EQ(back.Day, k.Day);
    ASSERT_EQ(back.Clock, k.Clock);
    ASSERT_EQ(back.Text, k.Text);
    ASSERT_EQ(back.Raw, k.Raw);
    ASSERT_EQ(back.Mime, k.Mime);
    ASSERT_EQ(back.Colour, k.Colour);
    ASSERT_EQ(back.Lines, k.Lines);
    ASSERT_EQ(back.Any, k.Any) << xml;
    ASSERT_EQ(back.Items.Count(), k.Items.Count());
    ASSERT_EQ(back.GetXML(), xml);
  }
}

TEST(RoundTrip, RandomPlayersSurviveAFile) {
  std::mt19937_64 rng(77);
  vxtest::TempDir dir;
  for (int round = 0; round < 20; ++round) {
    TVXPlayers players;
    for (int n = static_cast<int>(rng() % 20); n > 0; --n) {
      TVXPlayer* p = players.Add();
      p->PlayerName = RandomText(rng, 12, 1, 255, false);
      p->Password = RandomText(rng, 12, 1, 255, false);
      p->Bank = static_cast<uint32_t>(rng());
      p->PictureID = static_cast<int32_t>(rng());
    }
    ASSERT_TRUE(players.SaveToFile(dir.File("p.xml")));
    TVXPlayers back;
    ASSERT_TRUE(back.LoadFromFile(dir.File("p.xml")));
    ASSERT_EQ(back.GetXML(), players.GetXML());
  }
}

}  // namespace
