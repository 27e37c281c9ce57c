// Texture names and the texture cache.
#include <gtest/gtest.h>

#include "FrameworkFakes.h"

using FakeHost = vxtest::ContextHost;
using vxtest::FakeTextureSource;

TEST(TextureInfo, KeyGrammar) {
  TVXTextureInfo info;
  EXPECT_EQ(info.Key(), "\\.bmp");
  EXPECT_EQ(info.CacheKey(), "::.bmp");
  info.SetFolder("MAINROOM");
  info.SetName("BTN_CLOSE");
  info.SetFrame(3);
  EXPECT_EQ(info.Key(), "MAINROOM\\BTN_CLOSE_3.bmp");
  EXPECT_EQ(info.GetKey(), info.Key());
  EXPECT_EQ(info.CacheKey(), ":MAINROOM:BTN_CLOSE_3.bmp");
  EXPECT_EQ(info.PrefixedPath(), "MAINROOM\\BTN_CLOSE_3.bmp");

  for (int frame : {1, 0, -4}) {
    info.SetFrame(frame);
    EXPECT_EQ(info.Key(), "MAINROOM\\BTN_CLOSE.bmp") << frame;
  }
  info.SetFrame(2);
  EXPECT_EQ(info.Key(), "MAINROOM\\BTN_CLOSE_2.bmp");
  info.SetFrame(12);
  EXPECT_EQ(info.Key(), "MAINROOM\\BTN_CLOSE_12.bmp");

  // The prefix names the casino: it separates cache entries, not archive names.
  info.SetPrefix("Casinos\\Vegas\\");
  EXPECT_EQ(info.Key(), "MAINROOM\\BTN_CLOSE_12.bmp");
  EXPECT_EQ(info.CacheKey(), "Casinos\\Vegas\\:MAINROOM:BTN_CLOSE_12.bmp");
  EXPECT_EQ(info.PrefixedPath(), "Casinos\\Vegas\\MAINROOM\\BTN_CLOSE_12.bmp");
  info.SetGroup("G");  // stored, in no key
  EXPECT_EQ(info.CacheKey(), "Casinos\\Vegas\\:MAINROOM:BTN_CLOSE_12.bmp");
  info.SetExt("tga");
  EXPECT_EQ(info.Key(), "MAINROOM\\BTN_CLOSE_12.tga");
}

TEST(TextureInfo, OnlyNameAndFrameNotify) {
  TVXTextureInfo info;
  int changes = 0;
  info.OnChange = [&] { ++changes; };
  info.SetName("A");
  info.SetFolder("F");
  info.SetPrefix("P");
  info.SetGroup("G");
  EXPECT_EQ(changes, 0);
  info.SetNameAndNotify("B");
  info.SetFrame(1);
  EXPECT_EQ(changes, 2);
}

TEST(TextureList, SharesTexturesAndCachesNoFailure) {
  FakeHost host;
  FakeTextureSource source;
  TVXTextureList list(&source);
  source.Pictures["DIALOGS\\CB_ALL.bmp"] = {32, 32};
  host.TextureList = &list;

  TVXControl a(nullptr), b(nullptr);
  host.Hold(a);
  host.Hold(b);
  for (TVXControl* c : {&a, &b}) {
    c->TextureInfo.SetFolder("DIALOGS");
    c->TextureInfo.SetNameAndNotify("CB_ALL");
  }
  EXPECT_EQ(a.TextureInfo.Texture(), b.TextureInfo.Texture());
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetItem(0)->Key, ":DIALOGS:CB_ALL.bmp");
  EXPECT_EQ(source.Requests.size(), 1u);

  // A check box's second picture loads once, then both come from the cache.
  a.SetFrame(2);
  EXPECT_FALSE(a.TextureLoaded());
  source.Pictures["DIALOGS\\CB_ALL_2.bmp"] = {32, 32};
  a.SetFrame(2);  // a failed load is tried again
  EXPECT_TRUE(a.TextureLoaded());
  for (int i = 0; i < 3; ++i) {
    a.SetFrame(1);
    a.SetFrame(2);
  }
  EXPECT_EQ(source.Requests.size(), 3u);
  EXPECT_EQ(list.Count(), 2);

  // Keys are case-sensitive in the cache.
  TVXTextureInfo lower;
  lower.SetFolder("dialogs");
  lower.SetName("cb_all");
  EXPECT_EQ(list.FindOrLoad(lower), nullptr);
  EXPECT_EQ(list.Count(), 2);
}

TEST(TextureList, PicturesFromMemoryAndReplacementInPlace) {
  FakeHost host;
  FakeTextureSource source;
  TVXTextureList list(&source);
  host.TextureList = &list;

  TBitmapEx page;
  page.SetSize(300, 200);
  TVXGfxTexture* t = list.AddFromBitmap(":HELP:PAGE.bmp", page);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->PictureWidth, 512);

  TVXControl view(nullptr);
  host.Hold(view);
  view.SetBounds(0, 0, 300, 200);
  view.TextureInfo.SetFolder("HELP");
  view.TextureInfo.SetNameAndNotify("PAGE");
  EXPECT_EQ(view.TextureInfo.Texture(), t);
  EXPECT_EQ(view.TilesX, 2);

  TBitmapEx smaller;
  smaller.SetSize(100, 100);
  const TGfxImage* before = t->Image();
  EXPECT_TRUE(list.ReplacePicture(":HELP:PAGE.bmp", smaller));
  EXPECT_EQ(list.Find(":HELP:PAGE.bmp"), t);  // the same object, a new picture
  EXPECT_NE(t->Image(), before);
  EXPECT_EQ(t->PictureWidth, 100);
  view.LoadTexture();
  EXPECT_EQ(view.TilesX, 1);

  // Adding under a cached key replaces too; a picture that cannot be made changes nothing.
  EXPECT_EQ(list.AddFromBitmap(":HELP:PAGE.bmp", page), t);
  EXPECT_EQ(t->PictureWidth, 512);
  TBitmapEx empty;
  EXPECT_FALSE(list.ReplacePicture(":HELP:PAGE.bmp", empty));
  EXPECT_EQ(t->PictureWidth, 512);
  EXPECT_NE(t->Image(), nullptr);
  EXPECT_FALSE(list.ReplacePicture(":HELP:OTHER.bmp", page));
  EXPECT_EQ(list.AddFromBitmap(":HELP:OTHER.bmp", empty), nullptr);
  EXPECT_EQ(list.Count(), 1);
}

// Past the budget the pictures used longest ago give their images back; a control still
// holding one draws it again from the archive, and the texture objects never change.
TEST(TextureList, BudgetGivesBackLeastRecentlyUsedPictures) {
  FakeHost host;
  FakeTextureSource source;
  TVXTextureList list(&source);
  host.TextureList = &list;
  const int64_t tile = 256 * 256 * 4;
  list.SetBudget(3 * tile);
  for (const char* name : {"A", "B", "C"}) source.Pictures[std::string("ROOM\\") + name + ".bmp"] = {256, 256};
  source.Pictures["ROOM\\WIDE.bmp"] = {300, 10};  // two tiles

  TVXControl a(nullptr), wide(nullptr);
  host.Hold(a);
  host.Hold(wide);
  a.TextureInfo.SetFolder("ROOM");
  a.TextureInfo.SetNameAndNotify("A");
  TVXGfxTexture* ta = a.TextureInfo.Texture();
  TVXTextureInfo b, c;
  for (auto [info, name] : {std::pair{&b, "B"}, std::pair{&c, "C"}}) {
    info->SetFolder("ROOM");
    info->SetName(name);
  }
  TVXGfxTexture* tb = list.FindOrLoad(b);
  TVXGfxTexture* tc = list.FindOrLoad(c);
  EXPECT_EQ(list.HeldBytes(), 3 * tile);

  TBitmapEx page;  // made in memory: never given back
  page.SetSize(256, 256);
  TVXGfxTexture* tp = list.AddFromBitmap(":HELP:PAGE.bmp", page);
  EXPECT_EQ(ta->Image(), nullptr);
  EXPECT_NE(tb->Image(), nullptr);
  EXPECT_EQ(list.HeldBytes(), 3 * tile);

  // Drawing A loads it again (B is now the oldest); the control keeps its texture and size.
  source.Requests.clear();
  a.SetBounds(0, 0, 256, 256);
  a.Draw();
  EXPECT_EQ(source.Requests, std::vector<std::string>{"ROOM\\A.bmp"});
  EXPECT_EQ(a.TextureInfo.Texture(), ta);
  EXPECT_EQ(host.Recorder.CallsOf("TextureMap").size(), 1u);
  EXPECT_EQ(tb->Image(), nullptr);
  EXPECT_NE(tc->Image(), nullptr);

  // A two-tile picture pushes out two; asking for a cached one brings it back.
  wide.TextureInfo.SetFolder("ROOM");
  wide.TextureInfo.SetNameAndNotify("WIDE");
  for (TVXGfxTexture* t : {ta, tc}) EXPECT_EQ(t->Image(), nullptr);
  EXPECT_NE(tp->Image(), nullptr);
  EXPECT_EQ(list.FindOrLoad(c), tc);
  EXPECT_NE(tc->Image(), nullptr);
  EXPECT_EQ(wide.TextureInfo.Texture()->Image(), nullptr);
  EXPECT_EQ(list.HeldBytes(), 2 * tile);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Reloads(), 2);

  // A picture gone from the archive since is logged and drawn as nothing, tried again later.
  source.Pictures.erase("ROOM\\A.bmp");
  host.Recorder.ClearCalls();
  a.Draw();
  EXPECT_TRUE(host.Recorder.CallsOf("TextureMap").empty());
  EXPECT_EQ(list.FindOrLoad(a.TextureInfo), nullptr);
  source.Pictures["ROOM\\A.bmp"] = {256, 256};
  EXPECT_EQ(list.FindOrLoad(a.TextureInfo), ta);
}

// The budget counts what the device holds: a small picture takes a whole tile, so a screen
// of many small pictures cannot hold far more than the budget says.
TEST(TextureList, SmallPicturesCountTheirWholeTile) {
  FakeTextureSource source;
  TVXTextureList list(&source);
  const int64_t tile = 256 * 256 * 4;
  list.SetBudget(2 * tile);
  std::vector<TVXGfxTexture*> loaded;
  for (const char* name : {"D1", "D2", "D3"}) {
    source.Pictures[std::string("ROOM\\") + name + ".bmp"] = {16, 24};
    TVXTextureInfo info;
    info.SetFolder("ROOM");
    info.SetName(name);
    loaded.push_back(list.FindOrLoad(info));
  }
  EXPECT_EQ(list.HeldBytes(), 2 * tile);
  EXPECT_EQ(loaded[0]->Image(), nullptr);
  EXPECT_NE(loaded[2]->Image(), nullptr);
}
