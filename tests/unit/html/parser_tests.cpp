// The parser's constructs through the document dump, and its tables against their sources.
#include <gtest/gtest.h>
#include <iconv.h>
#include <libxml/HTMLparser.h>

#include "html/HtmlParser.h"
#include "platform/text/CodePages.h"

namespace {

struct Case {
  const char* html;
  const char* dump;
};

// Dump lines: "text", "pre", "li", "ol N", "dd" sections with {font} runs, "para", "hsN",
// "hr", "table"/"row"/"cell"; ~ is a non-breaking space, \n a line end in preformatted text.
const Case kCases[] = {
    // text, white space, styles that do not nest, paragraph spaces absorbed
    {"Hello   big\r\n world", "text:Hello big world\n"},
    {"<p>a<p><P></p>b", "para\ntext:a\npara\ntext:b\n"},
    {"<b>x<b>y</b>z</b>", "text:{b}xy{}z\n"},
    {"<i>i</i><u>u</u><s>s</s><strike>k</strike><em>e</em>", "text:{i}i{u}u{s}sk{i}e\n"},
    {"<p align=center>c<p align=right></p>r", "para\ntext center:c\npara\ntext right:r\n"},
    // entities and stray characters
    {"&copy &COPY; &amp;&lt;&gt;&quot;&hellip;&trade;&nbsp;&toolongname;", "text:\xA9 &COPY; &<>\"...\x99~&toolongname;\n"},
    {"&#65;&#9;&#x;&#5;&#8364;&#1044;&#70000;", "text:A &#x;&#5;\x80??\n"},
    {"a<1 b</ c & d", "text:a<1 b</ c & d\n"},
    // comments, declarations, unknown tags and ignored end tags
    {"a<!-- c -- >b<!x>c<!-- d --->e<blink>f</li></br>g", "text:abcefg\n"},
    {"a<!doctype", "text:a\n"},
    {"<H>x</H><H0>y<H7>z", "text:xyz\n"},
    // headings, address, breaks and clear
    {"<h2 align=right>T</h2>n", "hs2\ntext right:{18 b}T\nhs2\ntext:n\n"},
    {"<address>a</address>", "text:{i}a\n"},
    {"<br clear=left>one<br><br>two", "text: \ntext clear=left:one\ntext: \ntext:two\n"},
    {"<br clear=all>x", "text: \ntext clear=all:x\n"},
    {"<nobr>a b  c<wbr>d</nobr> e", "text:a~b~c d e\n"},
    // fonts: sizes, relative sizes, BASEFONT, BIG/SMALL, faces, colours, sub/sup
    {"<font size=5 color=\"#ff0000\" face=Arial>a</font>b", "text:{Arial 18 #FF0000}a{}b\n"},
    {"<basefont size=5><font size=-1>a</font><font size=+9>b", "text:{14}a{36}b\n"},
    {"<big>B<small>s</small></big><small><small><small><small>t", "text:{14}B{}s{8}t\n"},
    {"H<sub>2</sub>O<sup>n</sup>", "text:H{9 sub}2{}O{9 sup}n\n"},
    {"<font color=junk>a</font><font color=123>b<font color=\"#1234567\">c",
     "text:a{#123000}b{#123456}c\n"},
    {"<tt>t</tt><code>c</code>", "text:{fixed 10}tc\n"},
    // links and anchors
    {"<a name=top href=\"x.html\">l</a>t<a href=y>m<a href=z>n",
     "text:{u #0000FF ->x.html}l{}t{u #0000FF ->y}m{u #0000FF ->z}n\nanchor top\n"},
    // lists
    {"<ul><li>one<li><p>two</ul>after", "li l1:one\nli l1:two\ntext:after\n"},
    {"<ol type=i start=19><li>a<li>b<li>c</ol>", "ol 19 i l1:a\nol 20 i l1:b\nol 21 i l1:c\n"},
    {"<ul plain><li>a<ol><li>b</ul>c</ol>d", "li plain l1:a\nol 1 l2:b\ntext l1:c\ntext:d\n"},
    {"<dl><dt>term<dd>def</dl>", "dd:term\ndd l1:def\n"},
    {"<li>loose<b>b</b><p>x", "li l1 indent15:loose{b}b\npara\ntext:x\n"},
    {"<ol><li>1<center>c<li>2</ol>z", "ol 1 l1:1\ntext center l1:c2\ntext:z\n"},
    {"<blockquote>q<hr></blockquote>", "text l1:q\nhr\n"},
    // blocks
    {"<center>c<div align=right>r</div>d</center>e", "text center:c\ntext right:r\ntext center:d\ntext:e\n"},
    {"<hr size=5 width=50% align=left color=blue noshade><hr size=99 width=300>", "hr size=5 width=50% left color=#0000FF noshade\nhr width=300\n"},
    {"<pre>a  b\r\nc<b>d</b><p>e<table>&lt;</pre>f",
     "pre:{fixed 10}a  b\\nc{fixed 10 b}d{fixed 10}\\ne<\ntext:f\n"},
    {"<pre><font size=3>x</font></font></pre>", "pre:{fixed 10}x\n"},
    // tables
    {"<table border width=50% cellspacing=0 cellpadding=99><tr><td>A<td bgcolor=red>B</tr>text"
     "<caption align=BOTTOM>cap</caption></table>",
     "text:text\ntable border width=50% padding=50 spacing=1\n  caption below\n    text center:cap\n  row\n"
     "    cell\n      text:A\n    cell bg=#FF0000\n      text:B\n"},
    {"<table><caption>c</caption><tr valign=top align=right bgcolor=navy><th>h<td valign=bottom colspan=500 rowspan=3>d",
     "table\n  caption\n    text center:c\n  row right top\n    cell bg=#000080 top\n      text right:{b}h\n"
     "    cell colspan=200 rowspan=3 bg=#000080 bottom\n      text right:d\n"},
    {"<td>x</td><table><td nowrap>a b<td nowrap width=5>c d<table><tr><td>in</table><i>i</table>o",
     "text:x\ntable\n  row\n    cell\n      text:a~b\n    cell width=5\n      text:c d\n      table\n        row\n"
     "          cell\n            text:in\n      text:{i}i\ntext:o\n"},
    // attribute values: quoted across lines, entities, saturating numbers, bare BORDER
    {"<a href=\"x\r\ny&amp;.html\">l</a><font size=99999999999999>b</font><hr width=99999999999 size=-3>",
     "text:{u #0000FF ->xy&.html}l{36}b\nhr width=32000\n"},
    {"<ul><li><table><tr><td>x</table></ul>", "li l1: \ntable l1\n  row\n    cell\n      text:x\n"},
    {"<table><td><p>x<p>y</td></tr><td>z<caption>c</caption><td>w</table>",
     "table\n  caption\n    text center:c\n  row\n    cell\n      text:x\n      para\n      text:y\n  row\n"
     "    cell\n      text:z\n    cell\n      text:w\n"},
    {"<table><tr><td><h2>h</h2>t<a href=l>in</table>after",
     "table\n  row\n    cell\n      hs2\n      text:{18 b}h\n      hs2\n      text:t{u #0000FF ->l}in\ntext:after\n"},
    {"<ol start=-5><li>a<dd>b</ol><dir><li>c</dir><menu><li>d</menu>", "ol 0 l1:a\ndd l1:b\nli l1:c\nli l1:d\n"},
    // pictures, forms, maps
    {"<img src=\"a.gif\" alt=\"A b\" align=left width=50% height=99999>",
     "text:[img a.gif align3 w50% h4000 alt=A b]\n"},
    {"<form><input name=n><input type=hidden name=h><select name=s><option>One<option selected>Two</select>"
     "<textarea name=t>a&amp;</textarea></form>",
     "text:[text n][select s][textarea t]\n"},
    {"<map name=m><area coords=\"1, 2,3 4\"><area shape=circle></map><map name=x>1<p><p><p>",
     "para\nmap M areas=2\n"},
};

std::string Dump(const std::string& html) {
  TSectionList doc;
  ThvParser p;
  p.HtmlParseString(html, doc);
  return doc.Dump();
}

TEST(HtmlParser, ConstructsBuildTheExpectedDocument) {
  for (const Case& c : kCases) EXPECT_EQ(Dump(c.html), c.dump) << c.html;
}

TEST(HtmlParser, HeadCallbacksIncludesAndErrors) {
  TSectionList doc;
  ThvParser p;
  std::vector<std::string> seen;
  ThvParser::Hooks hooks;
  hooks.OnMeta = [&](const std::string& h, const std::string& n, const std::string& c) { seen.push_back("meta " + h + "|" + n + "|" + c); };
  hooks.OnSoundRequest = [&](const std::string& s, int loop, bool t) { seen.push_back("sound " + s + " " + std::to_string(loop) + (t ? " t" : "")); };
  hooks.OnScript = [&](const std::string& n, const std::string& l, const std::string& s) { seen.push_back("script " + n + "|" + l + "|" + s); };
  hooks.OnInclude = [&](const std::string& cmd, const ThvParser::IncludeParams& ps, std::string& out) {
    seen.push_back("include " + cmd + " " + ps.at(0).first + "=" + ps.at(0).second);
    out = "<b>inc</b><!--#nested-->";
  };
  p.HtmlParseString(
      "<html><head><title>The <i>T</i></title><base href=\"http://b/\" target=_top>"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
      "<bgsound src=s.wav><bgsound src=l.mid loop=3></head><body bgcolor=black text=white link=red marginwidth=999>"
      "<script language=js name=n>if (a<b) x();\n</Script>A<!--#echo var=\"x\" -->&#1044;</body>",
      doc, hooks);
  EXPECT_EQ(p.Title, "The ");
  EXPECT_EQ(p.Base, "http://b/");
  EXPECT_EQ(p.BaseTarget, "_top");
  EXPECT_EQ(doc.MarginWidth, 200);
  EXPECT_EQ(doc.Background, vx::kPaletteRelative | 0u);
  const std::vector<std::string> expected = {"meta Content-Type||text/html; charset=windows-1251", "sound s.wav 1",
                                             "sound l.mid 3", "script n|js|if (a<b) x();\r\n", "include ECHO var=x"};
  EXPECT_EQ(seen, expected);
  // The page's code page (1251) gives the Cyrillic letter; included text is read in place.
  EXPECT_EQ(doc.Dump(), "text:{cs204}A{b cs204}inc{cs204}\xC4\n");
  EXPECT_THROW(p.HtmlParseString("x<!-- open", doc), EParseError);
  try {
    p.HtmlParseString("<!-- -- x", doc);
  } catch (const EParseError& e) {
    EXPECT_STREQ(e.what(), "Open Comment at End of HTML File");
  }
}

TEST(HtmlParser, FontStackHoldsTwentyFiveAndKeepsItsBottom) {
  std::string html;
  for (int i = 0; i < 30; ++i) html += "<font color=red>";
  html += "x";
  for (int i = 0; i < 29; ++i) html += "</font>";
  EXPECT_EQ(Dump(html + "y</font></tt></big>z<h1>h</h1>"), "text:{#FF0000}x{}yz\nhs1\ntext:{24 b}h\nhs1\n");
}

TEST(HtmlParser, PlainTextEntryMakesOnePreformattedSectionPerLine) {
  TSectionList doc;
  ThvParser p;
  p.HtmlParseTextString("a\tb\r\n<c><!--\n\r\rd", doc);
  EXPECT_EQ(doc.Dump(), "pre:{fixed 10}a b\npre:{fixed 10}<c><!--\npre:\npre:{fixed 10}d\n");
}

TEST(HtmlParser, DeepNestingAndLongInputStayBounded) {
  std::string deep;
  for (int i = 0; i < 400; ++i) deep += "<table><tr><td><ul><center><font size=7><b>";
  const std::string dump = Dump(deep + "x");
  EXPECT_NE(dump.find("x"), std::string::npos);
  EXPECT_LT(dump.size(), 200000u);
  const std::string big(100000, 'w');
  EXPECT_EQ(Dump(big).size(), big.size() + 6);
}

TEST(HtmlParserTables, EntitiesMatchTheHtmlEntityList) {
  for (int i = 0; i < html::kEntityCount; ++i) {
    const html::Entity& e = html::EntityAt(i);
    const htmlEntityDesc* ref = htmlEntityLookup(reinterpret_cast<const xmlChar*>(e.Name));
    ASSERT_NE(ref, nullptr) << e.Name;
    if (i >= 8) {
      EXPECT_EQ(ref->value, 160u + static_cast<unsigned>(i - 8)) << e.Name;
    } else if (i < 4) {
      EXPECT_EQ(std::string(1, static_cast<char>(ref->value)), e.Text) << e.Name;
    }
    EXPECT_EQ(html::FindEntity(e.Name), std::string(e.Text));
  }
}

TEST(HtmlParserTables, NamedColoursAreTheSixteenHtmlColours) {
  // name, $RRGGBB as the HTML 4 colour list gives them
  const std::pair<const char*, uint32_t> kHtml4[] = {
      {"black", 0x000000}, {"silver", 0xC0C0C0}, {"gray", 0x808080},    {"white", 0xFFFFFF},
      {"maroon", 0x800000}, {"red", 0xFF0000},   {"purple", 0x800080},  {"fuchsia", 0xFF00FF},
      {"green", 0x008000}, {"lime", 0x00FF00},   {"olive", 0x808000},   {"yellow", 0xFFFF00},
      {"navy", 0x000080},  {"blue", 0x0000FF},   {"teal", 0x008080},    {"aqua", 0x00FFFF}};
  ASSERT_EQ(std::size(kHtml4), static_cast<size_t>(html::kNamedColorCount));
  for (auto [name, rgb] : kHtml4) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06X", rgb);
    const auto byName = html::ColorFromString(name), byHex = html::ColorFromString(hex);
    ASSERT_TRUE(byName && byHex) << name;
    EXPECT_EQ(*byName, *byHex) << name;
    EXPECT_EQ(vx::ColorToPixel(*byName), 0xFF000000u | rgb) << name;
  }
  EXPECT_FALSE(html::ColorFromString(""));
  EXPECT_FALSE(html::ColorFromString("#12G"));
  EXPECT_EQ(html::ColorFromString("f"), html::ColorFromString("#F00000"));
}

TEST(HtmlParserTables, CharsetsAndCodePagesMatchIconv) {
  const std::pair<const char*, const char*> kNames[] = {{"1252", "CP1252"}, {"8859-1", "CP1252"}, {"1253", "CP1253"},
                                                        {"8859-7", "CP1253"}, {"1250", "CP1250"}, {"8859-2", "CP1250"},
                                                        {"1251", "CP1251"}, {"8859-5", "CP1251"}, {"koi8-r", "CP1251"},
                                                        {"1254", "CP1254"}, {"8859-3", "CP1254"}, {"8859-9", "CP1254"},
                                                        {"1257", "CP1257"}, {"8859-4", "CP1257"}};
  ASSERT_EQ(std::size(kNames), static_cast<size_t>(html::kCharsetCount));
  for (int i = 0; i < html::kCharsetCount; ++i) {
    const html::CharsetName& c = html::CharsetAt(i);
    EXPECT_STREQ(c.Name, kNames[i].first);
    EXPECT_EQ(html::CharsetFromContent(std::string("text/html; charset=x-") + c.Name), c.Charset);
    const int cp = vx::CodePageOfCharset(c.Charset);
    EXPECT_EQ("CP" + std::to_string(cp), kNames[i].second);
    iconv_t cd = iconv_open("UTF-16LE", kNames[i].second);
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0; b < 256; ++b) {
      char in = static_cast<char>(b), out[4] = {};
      char *pin = &in, *pout = out;
      size_t nin = 1, nout = sizeof out;
      const bool ok = iconv(cd, &pin, &nin, &pout, &nout) != static_cast<size_t>(-1);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const uint16_t ref = ok ? static_cast<uint16_t>(static_cast<uint8_t>(out[0]) | static_cast<uint8_t>(out[1]) << 8) : 0;
      // Bytes the code page leaves undefined map to nothing.
      if (ref >= 0x80 && ref < 0xA0) continue;
      EXPECT_EQ(vx::CodePageToUnicode(cp, static_cast<uint8_t>(b)), ref) << cp << " " << b;
      if (ref) {
        EXPECT_EQ(vx::UnicodeToCodePage(cp, ref), static_cast<uint8_t>(b));
      }
    }
    iconv_close(cd);
  }
}

}  // namespace
