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
