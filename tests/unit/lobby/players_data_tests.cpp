// The players' list: its file, byte for byte, money values at the edges of their range, the
// list box rows, signing in, and what adding, deleting and renaming do to the list and the
// file when the file can and cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/Log.h"
#include "framework/VXListBox.h"
#include "framework/VXWidgets.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"
#include "platform/OwnerOnlyFiles.h"
#include "xmlstore/XMLStore.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

TVXPlayer* AddRaw(TVXPlayers& list, const std::string& name, const std::string& password = "pw") {
  TVXPlayer* p = list.Add();
  p->PlayerName = name;
  p->Password = password;
  return p;
}

std::vector<std::string> Names(const TVXPlayers& list) {
  std::vector<std::string> names;
  list.GetPlayerNames(names);
  return names;
}

TEST(PlayersFile, GoldenFileAndRoundTripOfBanksAboveTwoToTheThirtyOne) {
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("players.xml");
  TVXPlayer* a = AddRaw(list, "Ann", "se<cr>t");
  a->FirstName = "Ann";
  a->LastName = "O'Hara";
  a->PictureID = 3;
  a->Bank = 2147483648u;
  a->Rank = 2;
  TVXPlayer* b = AddRaw(list, "Bob", "x");
  b->Bank = 4294967295u;
  ASSERT_TRUE(list.SaveToFile());

  const std::string expected =
      "<?xml version = \"1.0\"?><VXPlayers>"
      "<VXPlayer><Bank>2147483648</Bank>\r\n<FirstName>Ann</FirstName>\r\n"
      "<LastName>O&#x27;Hara</LastName>\r\n<Password>se&#x3C;cr&#x3E;t</Password>\r\n"
      "<PictureID>3</PictureID>\r\n<PlayerName>Ann</PlayerName>\r\n<Rank>2</Rank>\r\n</VXPlayer>\r\n"
      "<VXPlayer><Bank>4294967295</Bank>\r\n<FirstName></FirstName>\r\n<LastName></LastName>\r\n"
      "<Password>x</Password>\r\n<PictureID>0</PictureID>\r\n<PlayerName>Bob</PlayerName>\r\n"
      "<Rank>0</Rank>\r\n</VXPlayer>\r\n"
      "</VXPlayers>";
  EXPECT_EQ(vxtest::TempDir::ReadFile(list.FileName), expected);

  TVXPlayers back;
  back.FileName = list.FileName;
  ASSERT_TRUE(back.LoadFromFile());
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Items(0)->Bank, 2147483648u);
  EXPECT_EQ(back.Items(0)->Password, "se<cr>t");
  EXPECT_EQ(back.Items(0)->LastName, "O'Hara");
  EXPECT_EQ(back.Items(0)->PictureID, 3);
  EXPECT_EQ(back.Items(0)->Rank, 2);
  EXPECT_EQ(back.Items(1)->Bank, 4294967295u);
  ASSERT_TRUE(back.SaveToFile());
  EXPECT_EQ(vxtest::TempDir::ReadFile(list.FileName), expected);
}

// Every kind of damage: the file is set aside byte for byte, never overwritten, no save
// replaces it in this run (so the money it holds is intact), and the player is told.
TEST(PlayersFile, DamagedFilesAreSetAsideNeverOverwrittenAndTheMoneyStaysIntact) {
  auto player = [](const std::string& bank, const std::string& name = "Ann") {
    return "<VXPlayer><Bank>" + bank + "</Bank>\r\n<PlayerName>" + name + "</PlayerName>\r\n</VXPlayer>\r\n";
  };
  const std::string head = "<?xml version = \"1.0\"?><VXPlayers>", good = player("2500", "Bob");
  const std::string cases[] = {
      head + player("1000.5") + good + "</VXPlayers>",
      head + player("1,000") + good + "</VXPlayers>",
      head + player("4294967296") + good + "</VXPlayers>",
      head + player("-2147483649") + good + "</VXPlayers>",
      head + player("-5") + good + "</VXPlayers>",
      head + player("-2147483648") + good + "</VXPlayers>",
      head + player("12abc") + good + "</VXPlayers>",
      head + player("") + good + "</VXPlayers>",
      head + "<VXPlayer><PlayerName>Ann</PlayerName></VXPlayer>" + good + "</VXPlayers>",
      std::string(1, '\0') + head + good + "</VXPlayers>",
      head + good + std::string(4, '\0'),
      std::string(),
      "\r\n ",
      head + good + "</VXPlayers",
      head + "<VXPlayer><Bank>300</Bank><PictureID>x</PictureID><PlayerName>Ann</PlayerName></VXPlayer>" + good + "</VXPlayers>",
      head + good,
      "<Players>" + good + "</Players>",
  };
  for (const std::string& text : cases) {
    vxtest::TempDir dir;
    const std::string file = dir.File("players.xml");
    vxtest::TempDir::WriteFile(file, text);
    std::vector<vx::XMLFileProblem> told;
    vx::SetXMLFileProblemHandler([&](const vx::XMLFileProblem& p) { told.push_back(p); });
    TVXPlayers list;
    list.FileName = file;
    EXPECT_FALSE(list.LoadFromFile()) << text;
    EXPECT_TRUE(list.SavesBlocked());
    EXPECT_FALSE(list.AddPlayer("Eve", "pw", "", "", 1));
    EXPECT_FALSE(list.SaveToFile());
    // Nothing that must agree with the banks is saved without them.
    EXPECT_FALSE(vx::SaveProgress(&list, nullptr, {{dir.File("casino.xml"), "x"}}));
    EXPECT_FALSE(fs::exists(file)) << text;
    EXPECT_FALSE(fs::exists(dir.File("casino.xml")));
    EXPECT_EQ(vxtest::TempDir::ReadFile(file + ".bad"), text);
    ASSERT_EQ(told.size(), 1u) << text;
    EXPECT_TRUE(told[0].Damaged);
    EXPECT_EQ(told[0].KeptAs, file + ".bad");
    vx::SetXMLFileProblemHandler(nullptr);
  }
  // The edges of the range still read, and hexadecimal.
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("players.xml");
  vxtest::TempDir::WriteFile(list.FileName, head + player("4294967295") + player("$10", "Hex") + player("0", "Zero") + "</VXPlayers>");
  ASSERT_TRUE(list.LoadFromFile());
  EXPECT_EQ(list.Items(0)->Bank, 4294967295u);
  EXPECT_EQ(list.Items(1)->Bank, 16u);
  EXPECT_EQ(list.Items(2)->Bank, 0u);

  // A pipe or a link to nothing in the file's place is a file that cannot be read.
  for (const bool pipe : {true, false}) {
    vxtest::TempDir other;
    const std::string file = other.File("players.xml");
    pipe ? void(::mkfifo(file.c_str(), 0600)) : fs::create_symlink(file + ".gone", file);
    int told = 0;
    vx::SetXMLFileProblemHandler([&](const vx::XMLFileProblem& p) { told += p.KeptAs == file + ".bad"; });
    TVXPlayers planted;
    planted.FileName = file;
    EXPECT_FALSE(planted.LoadFromFile());
    EXPECT_FALSE(planted.SaveToFile());
    vx::SetXMLFileProblemHandler(nullptr);
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(vx::PathExists(file + ".bad") && !vx::PathExists(file));
  }
}

TEST(PlayersFile, MissingFileChangesNothingAndNamesLoseTheirOuterBlanks) {
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("Players/players.xml");
  AddRaw(list, "Kept");
  ASSERT_TRUE(list.Login("kept", "pw"));
  EXPECT_TRUE(list.LoadFromFile());
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.CurrentPlayer(), list.Items(0));
  list.Logout();
  list.Clear();

  // A list without a file lives in memory only: changes succeed and write nothing.
  TVXPlayers memory;
  EXPECT_TRUE(memory.AddPlayer("Ann", "pw", "", "", 1));
  EXPECT_TRUE(memory.SaveToFile());
  EXPECT_TRUE(memory.LoadFromFile());
  EXPECT_EQ(memory.Count(), 1);

  // A name saved with blanks around it loads without them, and only that name signs in.
  AddRaw(list, "  Carl ", " pw ");
  ASSERT_TRUE(list.SaveToFile());
  TVXPlayers back;
  back.FileName = list.FileName;
  ASSERT_TRUE(back.LoadFromFile());
  EXPECT_EQ(back.Items(0)->PlayerName, "Carl");
  EXPECT_TRUE(back.Login("carl", "PW"));
}

TEST(PlayersList, FillPlayerListMarksTheCurrentPlayerFirst) {
  TVXPlayers list;
  AddRaw(list, "Ann");
  AddRaw(list, "Bob");
  AddRaw(list, "Cid");
  TVXListBox box(nullptr);
  auto rows = [&] {
    std::vector<std::string> texts;
    for (int i = 0; i < box.Items.Count(); ++i) texts.push_back(box.Items.GetItem(i)->Text);
    return texts;
  };

  // Nobody signed in: marking changes nothing.
  EXPECT_EQ(list.FillPlayerList(&box, true), 3);
  EXPECT_EQ(rows(), (std::vector<std::string>{"Ann", "Bob", "Cid"}));

  ASSERT_TRUE(list.Login("BOB", "pw"));
  EXPECT_EQ(list.FillPlayerList(&box, true), 3);
  EXPECT_EQ(rows(), (std::vector<std::string>{"* Bob", "Ann", "Cid"}));
  EXPECT_EQ(box.Items.GetItem(0)->Data, list.Items(1));
  EXPECT_EQ(box.Items.GetItem(1)->Data, list.Items(0));
  EXPECT_EQ(box.Items.GetItem(2)->Data, list.Items(2));

  // Refilling replaces the rows; without marking every player is listed in order.
  EXPECT_EQ(list.FillPlayerList(&box, false), 3);
  EXPECT_EQ(rows(), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
  EXPECT_EQ(box.Items.GetItem(1)->Data, list.Items(1));
}

TEST(PlayersList, LoginIgnoresCaseOfNameAndPasswordAndKeepsTheCurrentPlayerOnFailure) {
  TVXPlayers list;
  AddRaw(list, "Ann", "Secret");
  AddRaw(list, "Bob", "other");
  EXPECT_EQ(list.CurrentPlayer(), nullptr);
  EXPECT_TRUE(list.Login("aNN", "sECRET"));
  EXPECT_EQ(list.CurrentPlayer(), list.Items(0));
  EXPECT_FALSE(list.Login("Bob", "wrong"));
  EXPECT_FALSE(list.Login("Nobody", "other"));
  EXPECT_FALSE(list.Login("Bob", ""));
  EXPECT_EQ(list.CurrentPlayer(), list.Items(0));
  list.Logout();
  EXPECT_EQ(list.CurrentPlayer(), nullptr);
}

TEST(PlayersList, ShowPlayerInfoFillsOnlyTheControlsGiven) {
  TVXPlayers list;
  TVXPlayer* p = AddRaw(list, "Ann");
  p->Bank = 3000000000u;
  p->Rank = 4;
  p->PictureID = 5;
  TVXLabel name(nullptr), bank(nullptr), rank(nullptr);
  TVXImage picture(nullptr);
  TVXPlayers::ShowPlayerInfo(p, &name, &bank, &picture, &rank);
  EXPECT_EQ(name.Caption(), "Ann");
  EXPECT_EQ(bank.Caption(), "3000000000");
  EXPECT_EQ(rank.Caption(), "4");
  EXPECT_EQ(picture.TextureInfo.Frame(), 5);
  TVXPlayers::ShowPlayerInfo(p, nullptr, nullptr, nullptr, nullptr);
  TVXPlayers::ShowPlayerInfo(nullptr, &name, nullptr, nullptr, nullptr);
  EXPECT_EQ(name.Caption(), "Ann");
}

TEST(PlayersChanges, AddPlayerSavesAtOnceInAPrivateFileAndRefusesTakenNames) {
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("Players/players.xml");  // the folder does not exist yet
  ASSERT_TRUE(list.AddPlayer(" Ann ", " pw ", " A ", " B ", 4));
  const TVXPlayer* ann = list.FindPlayer("ann");
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(ann->PlayerName, "Ann");
  EXPECT_EQ(ann->Password, "pw");
  EXPECT_EQ(ann->FirstName, "A");
  EXPECT_EQ(ann->Bank, TVXPlayers::StartingBank);
  EXPECT_EQ(ann->Rank, 0);
  EXPECT_EQ(ann->PictureID, 4);
  EXPECT_EQ(list.CurrentPlayer(), nullptr);
  EXPECT_TRUE(vx::IsOwnerOnlyFile(list.FileName));

  EXPECT_FALSE(list.AddPlayer("ANN", "x", "", "", 1));
  EXPECT_FALSE(list.AddPlayer("   ", "x", "", "", 1));
  EXPECT_EQ(list.Count(), 1);

  TVXPlayers back;
  back.FileName = list.FileName;
  ASSERT_TRUE(back.LoadFromFile());
  EXPECT_EQ(Names(back), std::vector<std::string>{"Ann"});
  EXPECT_EQ(back.Items(0)->Bank, 1000u);
}

TEST(PlayersChanges, UnwritableFolderMakesAddingFailAndLeavesNothingBehind) {
  vxtest::TempDir dir;
  // A file where the players folder should be: the folder cannot be made.
  vxtest::TempDir::WriteFile(dir.File("Players"), "not a folder");
  TVXPlayers list;
  list.FileName = dir.File("Players/players.xml");
  vx::ClearLog();
  EXPECT_FALSE(list.AddPlayer("Ann", "pw", "", "", 1));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(vx::LogContains("ERROR: "));
  EXPECT_EQ(vxtest::TempDir::ReadFile(dir.File("Players")), "not a folder");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(PlayersChanges, FailedWritesChangeNeitherTheListNorTheFile) {
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("players.xml");

  // The very first save fails: the file it had to create is removed again.
  vx::InjectFileFaultForTests(vx::FileFault::Rename);
  EXPECT_FALSE(list.AddPlayer("Ann", "pw", "", "", 1));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(fs::exists(list.FileName));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 0);

  ASSERT_TRUE(list.AddPlayer("Ann", "pw", "", "", 1));
  ASSERT_TRUE(list.AddPlayer("Bob", "pw", "", "", 2));
  const std::string saved = vxtest::TempDir::ReadFile(list.FileName);

  vx::InjectFileFaultForTests(vx::FileFault::Write);
  EXPECT_FALSE(list.AddPlayer("Cid", "pw", "", "", 1));
  vx::InjectFileFaultForTests(vx::FileFault::Sync);
  EXPECT_FALSE(list.DeletePlayer("Ann"));
  vx::InjectFileFaultForTests(vx::FileFault::Rename);
  EXPECT_EQ(list.ChangePlayer(list.Items(1), {"Bert", "pw", "", "", 1}), TChangePlayerResult::SaveFailed);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_EQ(vxtest::TempDir::ReadFile(list.FileName), saved);
  EXPECT_TRUE(vx::IsOwnerOnlyFile(list.FileName));
}

TEST(PlayersChanges, DeletePlayerSignsOutTheDeletedPlayerOnly) {
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("players.xml");
  ASSERT_TRUE(list.AddPlayer("Ann", "pw", "", "", 1));
  ASSERT_TRUE(list.AddPlayer("Bob", "pw", "", "", 1));
  ASSERT_TRUE(list.AddPlayer("Cid", "pw", "", "", 1));
  ASSERT_TRUE(list.Login("Cid", "pw"));
  EXPECT_FALSE(list.DeletePlayer("Nobody"));
  EXPECT_TRUE(list.DeletePlayer("ann"));
  EXPECT_EQ(list.CurrentPlayer(), list.FindPlayer("Cid"));
  EXPECT_TRUE(list.DeletePlayer("CID"));
  EXPECT_EQ(list.CurrentPlayer(), nullptr);

  TVXPlayers back;
  back.FileName = list.FileName;
  ASSERT_TRUE(back.LoadFromFile());
  EXPECT_EQ(Names(back), std::vector<std::string>{"Bob"});
}

TEST(PlayersChanges, RenamingOntoAnotherPlayersNameIsRefused) {
  vxtest::TempDir dir;
  TVXPlayers list;
  list.FileName = dir.File("players.xml");
  ASSERT_TRUE(list.AddPlayer("Ann", "pw", "", "", 1));
  ASSERT_TRUE(list.AddPlayer("Bob", "pw", "", "", 1));
  TVXPlayer* bob = list.FindPlayer("Bob");
  bob->Bank = 77;

  EXPECT_EQ(list.ChangePlayer(bob, {"aNN", "x", "", "", 1}), TChangePlayerResult::NameTaken);
  EXPECT_EQ(list.ChangePlayer(bob, {"  ", "x", "", "", 1}), TChangePlayerResult::NameEmpty);
  TVXPlayer stranger;
  EXPECT_EQ(list.ChangePlayer(&stranger, {"Zed", "x", "", "", 1}), TChangePlayerResult::NotInList);
  EXPECT_EQ(bob->PlayerName, "Bob");

  // Its own name in another case is no clash; the bank is not part of the profile.
  EXPECT_EQ(list.ChangePlayer(bob, {" BOB ", " new ", "B", "Z", 6}), TChangePlayerResult::Changed);
  EXPECT_EQ(bob->PlayerName, "BOB");
  EXPECT_EQ(bob->Password, "new");
  EXPECT_EQ(bob->PictureID, 6);
  EXPECT_EQ(bob->Bank, 77u);
  TVXPlayers back;
  back.FileName = list.FileName;
  ASSERT_TRUE(back.LoadFromFile());
  EXPECT_EQ(Names(back), (std::vector<std::string>{"Ann", "BOB"}));
  EXPECT_EQ(back.Items(1)->Bank, 77u);
}

}  // namespace
