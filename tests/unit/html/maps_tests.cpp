// Image maps, link URLs as file names, and the viewer's shared resources.
#include <gtest/gtest.h>

#include "html/HtmlMaps.h"
#include "html/HtmlParser.h"
#include "html/HtmlResources.h"
#include "html/HtmlUrls.h"
#include "support/TempDir.h"
#include "unit/html/FixedFonts.h"

namespace {

vxtest::FixedFontProvider gFixed(8, 12, 4, 2);

TEST(HtmlMaps, AreasHitInTheirOrderAndShapes) {
  struct Case {
    const char* areas;
    int x, y;
    const char* url;  // nullptr: no link
  };
  const Case cases[] = {
      {"<area coords=10,10,20,20 href=r>", 10, 10, "r"},
      {"<area coords=10,10,20,20 href=r>", 20, 20, nullptr},
      {"<area coords=\" ,10 10,, 20 ,20\" href=r>", 15, 15, "r"},  // commas and spaces mixed
      {"<area coords=20,20,10,10 href=r>", 15, 15, "r"},           // corners in any order
      {"<area coords=10,10 href=r>", 5, 5, nullptr},               // too few numbers: empty
      {"<area shape=CIRCLE coords=20,20,10 href=c>", 20, 20, "c"},
      {"<area shape=circ coords=20,20,10 href=c>", 11, 11, nullptr},
      {"<area shape=circ coords=20,20,0 href=c>", 20, 20, nullptr},
      {"<area shape=circ coords=20,20 href=c>", 20, 20, nullptr},
      {"<area shape=poly coords=0,0,30,0,0,30 href=p>", 5, 5, "p"},
      {"<area shape=poly coords=0,0,30,0,0,30 href=p>", 25, 25, nullptr},
      {"<area shape=polygon coords=0,0,30,0 href=p>", 5, 0, nullptr},  // two points: empty
      {"<area shape=poly coords=0,0,30,0,0,30,7 href=p>", 5, 5, "p"},  // an odd number dropped
      {"<area coords=x,0,10,10 href=z>", 0, 0, "z"},                   // not a number: 0
      {"<area coords=0,0,9,9 nohref href=n><area coords=0,0,20,20 href=b>", 5, 5, nullptr},
      {"<area coords=0,0,9,9 href=a target=t><area coords=0,0,20,20 href=b>", 5, 5, "a"},
      {"<area coords=0,0,9,9 href=a><area coords=0,0,20,20 href=b>", 15, 15, "b"},
      {"<area coords=0,0,20,20>", 5, 5, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.areas);
    TSectionList doc;
    doc.Fonts = &gFixed;
    ThvParser p;
    p.HtmlParseString(std::string("<map name=m>") + c.areas + "</map><img src=x usemap=#M width=40 height=40>", doc);
    doc.DoLogic(0, 400);
    TUrlTarget link;
    TFormControlObj* control = nullptr;
    EXPECT_EQ(doc.GetURL(c.x, c.y, link, control), c.url != nullptr);
    if (c.url) {
      EXPECT_EQ(link.Url, c.url);
    }
  }
}

TEST(HtmlMaps, CoordsAreBounded) {
  std::string many;
  for (int i = 0; i < 400; ++i) many += "1,";
  EXPECT_EQ(ParseCoords(many).size(), 301u);
  EXPECT_EQ(ParseCoords("123456789012345678901234567890"), std::vector<int>{100000});
  EXPECT_EQ(ParseCoords(",, -5 ,\r\n7"), (std::vector<int>{-5, 7}));
  EXPECT_TRUE(ParseCoords("").empty());
}

TEST(HtmlUrls, UrlsBecomePaths) {
  struct Case {
    const char* url;
    const char* path;
  };
  const Case cases[] = {
      {"file:///c|/help/index.html", "c:\\help\\index.html"},
      {"FILE://c|/a/b.htm", "c:\\a\\b.htm"},
      {"pages/a%20b.htm", "pages\\a b.htm"},
      {"a%2541", "a%41"},      // one pass only
      {"a%00b/c", "a%00b\\c"},  // no NUL
      {"a%4", "a%4"},
      {"%zz/x", "%zz\\x"},
      {"file:plain|name", "file:plain|name"},  // no "/": left alone after decoding
      {"x%2Fy", "x\\y"},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlUrlToDos(c.url), c.path) << c.url;
  EXPECT_EQ(HtmlAddServerRoot("\\img\\a.gif", "/srv/root/"), "/srv/root\\img\\a.gif");
  EXPECT_EQ(HtmlAddServerRoot("img\\a.gif", "/srv"), "img\\a.gif");
}

TEST(HtmlUrls, FilesAreFoundWhateverTheirCase) {
  vxtest::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "Help" / "Pics");
  vxtest::TempDir::WriteFile(dir.File("Help/Pics/Logo.GIF"), "GIF89a");
  const std::string want = dir.File("Help/Pics/Logo.GIF");
  EXPECT_EQ(HtmlFindFile("help\\pics\\logo.gif", dir.Str()), want);
  EXPECT_EQ(HtmlFindFile("c:" + dir.Str() + "\\HELP\\PICS\\LOGO.gif", "/nowhere"), want);
  EXPECT_EQ(HtmlFindFile(HtmlUrlToDos("file:///" + dir.Str() + "/help/pics/logo.gif"), ""), want);
  EXPECT_EQ(HtmlFindFile("help\\pics\\missing.gif", dir.Str()), "");
  EXPECT_EQ(HtmlFindFile("", dir.Str()), "");
}

TEST(HtmlResources, MadeOnceForEveryViewerWithTheirPicturesAndCursors) {
  ThtmlResources& a = ThtmlResources::Acquire(32);
  ThtmlResources& b = ThtmlResources::Acquire(8);
  EXPECT_EQ(&a, &b);
  EXPECT_EQ(ThtmlResources::References(), 2);
  EXPECT_EQ(a.ColorBits, 24) << "the first start-up decides";
  for (const auto* p : {a.LoadingPicture.get(), a.ErrorPicture.get(), a.PagePicture.get()}) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Width * p->Height, 256);
    EXPECT_EQ(p->Pixels.size(), 256u);
  }
  for (int n = 1; n <= 5; ++n) {
    const ThtmlCursorImage& c = a.Cursor(static_cast<ThtmlCursor>(n));
    ASSERT_TRUE(c.Picture.Mask) << n;
    EXPECT_FALSE(c.Picture.Mask->Transparent(c.HotX, c.HotY)) << "cursor " << n << " points with a drawn pixel";
  }
  ThtmlResources::Release();
  ThtmlResources::Release();
  ThtmlResources::Release();
  EXPECT_EQ(ThtmlResources::References(), 0);
  EXPECT_EQ(ThtmlResources::Acquire(8).ColorBits, 8);
  ThtmlResources::Release();
  SetHtmlDisplayBits(24);
}

}  // namespace
