// The text layer: substring search, escaping, element and tag scanning, root search, order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "xmlstore/XMLText.h"

namespace {

// A plain search to compare the skip-table search against.
size_t NaiveFind(const std::string& text, const std::string& pat, size_t start) {
  if (pat.empty() || start < 1 || start > text.size()) return 0;
  const size_t p = text.find(pat, start - 1);
  return p == std::string::npos ? 0 : p + 1;
}

TEST(FindText, AgreesWithAPlainSearchOnRandomTexts) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text, pat;
    const int alphabet = 2 + round % 3;  // small alphabets give many near misses
    for (int i = rng() % 60; i > 0; --i) text += static_cast<char>('a' + rng() % alphabet);
    for (int i = 1 + rng() % (round % 7 == 0 ? 300 : 5); i > 0; --i) pat += static_cast<char>('a' + rng() % alphabet);
    const size_t start = 1 + rng() % (text.size() + 2);
    ASSERT_EQ(FindText(text, pat, start), NaiveFind(text, pat, start)) << text << " / " << pat << " @" << start;
  }
}

TEST(FindText, RefusesEmptyOrLongerPatternsAndBadStarts) {
  EXPECT_EQ(FindText("abc", ""), 0u);
  EXPECT_EQ(FindText("abc", "abcd"), 0u);
  EXPECT_EQ(FindText("abc", "a", 0), 0u);
  EXPECT_EQ(FindText("abc", "c", 4), 0u);
  EXPECT_EQ(FindText("abcabc", "abc", 2), 4u);
  EXPECT_EQ(FindText("aBc", "bc"), 0u) << "case-sensitive";
  // Patterns longer than a byte-sized skip can hold.
  const std::string longPat(400, 'x');
  EXPECT_EQ(FindText("y" + longPat + "y", longPat), 2u);
}

TEST(FindText, BackwardsFindsTheLastOccurrenceUpToTheStart) {
  EXPECT_EQ(FindTextBack("a:b:c", ":"), 4u);
  EXPECT_EQ(FindTextBack("a:b:c", ":", 3), 2u);
  EXPECT_EQ(FindTextBack("abab", "ab", 0), 3u);
  EXPECT_EQ(FindTextBack("abab", "ab", 2), 1u);
  EXPECT_EQ(FindTextBack("abc", "x"), 0u);
  EXPECT_EQ(FindTextBack("abc", ""), 0u);
}

TEST(XMLEscape, KeepsOnlyThePlainSetAndWritesUpperCaseHex) {
  EXPECT_EQ(XMLEscape("A<B"), "A&#x3C;B");
  EXPECT_EQ(XMLEscape("a&b"), "a&#x26;b");
  EXPECT_EQ(XMLEscape("\r\n"), "&#x0D;&#x0A;");
  EXPECT_EQ(XMLEscape(" x "), " x ") << "spaces are not escaped";
  EXPECT_EQ(XMLEscape(std::string("\xE9\x7F", 2)), "&#xE9;&#x7F;");
  // The full plain set, and every other printable character.
  const std::string plain = " !,-./0123456789:;=ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]_abcdefghijklmnopqrstuvwxyz";
  EXPECT_EQ(XMLEscape(plain), plain);
  for (int c = 0; c < 256; ++c) {
    const bool isPlain = plain.find(static_cast<char>(c)) != std::string::npos;
    EXPECT_EQ(XMLIsPlainChar(static_cast<unsigned char>(c)), isPlain) << c;
  }
  EXPECT_EQ(XMLEscape("\"#$%'()*+?@^`{|}~"),
            "&#x22;&#x23;&#x24;&#x25;&#x27;&#x28;&#x29;&#x2A;&#x2B;&#x3F;&#x40;&#x5E;&#x60;&#x7B;&#x7C;&#x7D;&#x7E;");
}

TEST(XMLUnescape, ReversesEscapingOfEveryByteAndTrims) {
  std::mt19937 rng(11);
  for (int round = 0; round < 2000; ++round) {
    std::string s;
    for (int i = rng() % 40; i > 0; --i) s += static_cast<char>(rng() % 256);
    std::string trimmed = s;
    while (!trimmed.empty() && static_cast<unsigned char>(trimmed.back()) <= 32) trimmed.pop_back();
    size_t b = 0;
    while (b < trimmed.size() && static_cast<unsigned char>(trimmed[b]) <= 32) ++b;
    trimmed.erase(0, b);
    ASSERT_EQ(XMLUnescape(XMLEscape(s)), trimmed);
  }
  // Escaped text that spells an escape sequence decodes only once.
  EXPECT_EQ(XMLUnescape(XMLEscape("&#x41;")), "&#x41;");
}

// The reader's view without a copy gives what the full unescaping gives, across the lengths
// where it checks words of four and eight bytes and hands long values on.
TEST(XMLUnescape, TheViewAgreesWithTheCopy) {
  std::mt19937 rng(12);
  const char alphabet[] = " \t&#x41;<![CDATA]>a";
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    for (int i = rng() % 42; i > 0; --i) s += alphabet[rng() % (sizeof alphabet - 1)];
    if (rng() % 8 == 0) s.insert(0, "<![CDATA[");
    std::string buffer;
    ASSERT_EQ(std::string(XMLUnescapeView(s, buffer)), XMLUnescape(s)) << s;
  }
}

TEST(XMLUnescape, ScansFromTheEndSoDecodedBytesCanCompleteASequence) {
  // "&#x23;" decodes to "#", which with the "&" before it and "x41;" after it forms "&#x41;".
  EXPECT_EQ(XMLUnescape("&&#x23;x41;"), "A");
  // Any sixth character takes the decoded byte, not only ";".
  EXPECT_EQ(XMLUnescape("&#x41Z"), "A");
  // Lower-case hex digits decode too; "#X" does not start a sequence.
  EXPECT_EQ(XMLUnescape("&#x3c;"), "<");
  EXPECT_EQ(XMLUnescape("&#X3C;"), "&#X3C;");
  // A sequence needs five characters after the ampersand.
  EXPECT_EQ(XMLUnescape("a&#x41"), "a&#x41");
}

TEST(XMLUnescape, LeavesBrokenSequencesAndShortCDataAsText) {
  EXPECT_EQ(XMLUnescape("&#xZZ;"), "&#xZZ;");
  EXPECT_EQ(XMLUnescape("&#x4G;x"), "&#x4G;x");
  EXPECT_EQ(XMLUnescape("a&b"), "a&b");
  EXPECT_EQ(XMLUnescape("<![CDATA[x"), "<![CDATA[x") << "shorter than both markers";
  EXPECT_EQ(XMLUnescape("<![CDATA[]]"), "<![CDATA[]]");
  EXPECT_EQ(XMLUnescape("<![CDATA[]]>"), "");
}

TEST(XMLUnescape, TakesCDataUntouched) {
  EXPECT_EQ(XMLUnescape("<![CDATA[x<y]]>"), "x<y");
  EXPECT_EQ(XMLUnescape("<![cdata[ &#x41; ]]>"), " &#x41; ") << "case-insensitive marker, no decoding, no trimming";
  EXPECT_EQ(XMLUnescape(" <![CDATA[x]]>"), "<![CDATA[x]]>") << "only at the very start";
}

TEST(XMLElementContent, MatchesNestedElementsOfTheSameNameByDepth) {
  const std::string text = "<a>1<a>2<a>3</a></a></a><a>4</a>";
  size_t pos = 1;
  std::string_view content;
  ASSERT_TRUE(XMLElementContent(text, "a", pos, content));
  EXPECT_EQ(content, "1<a>2<a>3</a></a>");
  EXPECT_EQ(pos, 25u);
  ASSERT_TRUE(XMLElementContent(text, "a", pos, content));
  EXPECT_EQ(content, "4");
  EXPECT_EQ(pos, text.size() + 1);
  // Position at the end of the text: nothing more.
  EXPECT_FALSE(XMLElementContent(text, "a", pos, content));
  EXPECT_EQ(pos, 0u);
}

// The element search as literally described: the next closing tag from the current point,
// the opening tags before it counted one level deeper each, until the depth is back at 0.
bool LiteralElementContent(const std::string& text, const std::string& tag, size_t& pos, std::string& content) {
  content.clear();
  if (pos < 1 || pos >= text.size() || tag.empty()) {
    pos = 0;
    return false;
  }
  const std::string open = "<" + tag + ">", close = "</" + tag + ">";
  const size_t p = text.find(open, pos - 1);
  if (p == std::string::npos) {
    pos = 0;
    return false;
  }
  const size_t start = p + open.size();
  size_t cur = start, depth = 1, last = 0;
  for (;;) {
    const size_t c = text.find(close, cur);
    if (c == std::string::npos) break;
    for (size_t q = cur; (q = text.find(open, q)) != std::string::npos && q < c; q += open.size()) ++depth;
    --depth;
    cur = c + close.size();
    last = c;
    if (depth == 0) break;
  }
  if (depth != 0) {
    pos = 0;
    return false;
  }
  content = text.substr(start, last - start);
  pos = cur + 1;
  return true;
}

TEST(XMLElementContent, AgreesWithTheLiteralRuleOnRandomTagSoup) {
  std::mt19937 rng(21);
  const char alphabet[] = "<</>ab";
  for (int round = 0; round < 20000; ++round) {
    std::string text, tag;
    for (int i = rng() % 48; i > 0; --i) text += alphabet[rng() % 6];
    for (int i = 1 + rng() % 3; i > 0; --i) tag += alphabet[rng() % 6];
    if (round % 2 == 0) tag = tag.substr(0, 1) == "<" ? "a" : tag;  // often an ordinary tag
    const size_t start = 1 + rng() % (text.size() + 1);
    size_t pos = start, refPos = start;
    std::string_view content;
    std::string refContent;
    const bool found = XMLElementContent(text, tag, pos, content);
    const bool refFound = LiteralElementContent(text, tag, refPos, refContent);
    ASSERT_EQ(found, refFound) << text << " / " << tag << " @" << start;
    ASSERT_EQ(pos, refPos) << text << " / " << tag << " @" << start;
    ASSERT_EQ(std::string(content), refContent) << text << " / " << tag << " @" << start;
    // The next element from the position: the same as the next tag, then its element.
    size_t nextPos = start, tagPos = start;
    std::string_view nextTag, nextContent, refTag;
    const bool next = XMLNextElement(text, nextPos, nextTag, nextContent);
    XMLNextTag(text, tagPos, refTag);
    size_t elemPos = start;
    ASSERT_EQ(next, XMLElementContent(text, refTag, elemPos, content)) << text << " @" << start;
    ASSERT_EQ(nextPos, elemPos) << text << " @" << start;
    ASSERT_EQ(nextContent, content) << text << " @" << start;
  }
}

// Reads `part` of an indexed text element by element from `at`, and each element's content
// in turn, as the reader does: every step gives what the next tag and the literal rule for
// that tag give.
void WalkLikeTheReader(std::string_view part, size_t at) {
  const std::string copy(part);
  while (at >= 1 && at < part.size()) {
    size_t tagPos = at, refAt = at;
    std::string_view tag, content, refTag;
    std::string refContent;
    const bool next = XMLNextElement(part, at, tag, content);
    const bool refNext = XMLNextTag(copy, tagPos, refTag) &&
                         LiteralElementContent(copy, std::string(refTag), refAt, refContent);
    ASSERT_EQ(next, refNext) << copy << " @" << tagPos;
    if (!next) return;
    ASSERT_EQ(at, refAt) << copy << " / " << refTag;
    ASSERT_EQ(tag, refTag) << copy;
    ASSERT_EQ(std::string(content), refContent) << copy << " / " << refTag;
    WalkLikeTheReader(content, 1);
  }
}

// The reader's walker steps exactly as XMLNextElement from position 1 does, into every
// content too.
void WalkerAgrees(std::string_view part) {
  XMLElementWalker walker(part);
  size_t at = 1;
  for (;;) {
    std::string_view tag, content, refTag, refContent;
    const bool next = walker.Next(tag, content);
    const bool ref = XMLNextElement(part, at, refTag, refContent);
    ASSERT_EQ(next, ref) << part;
    ASSERT_EQ(walker.Position(), at) << part;
    ASSERT_EQ(tag, refTag) << part;
    ASSERT_EQ(content.data(), refContent.data()) << part;
    ASSERT_EQ(content.size(), refContent.size()) << part;
    if (!next || at < 1 || at > part.size()) return;
    WalkerAgrees(content);
  }
}

// Well-nested texts are read through the one-pass index of closing tags; searches in any
// window of the indexed text must still give what the literal rule gives on that window.
// Longer texts put tags across the index's 64-byte blocks.
TEST(XMLElementContent, AgreesWithTheLiteralRuleInsideAnIndexedText) {
  std::mt19937 rng(22);
  const char* const names[] = {"a", "b", "ab", "a b"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    std::vector<std::string> open;
    const int tokens = round % 3 == 0 ? 90 : 24;
    for (int i = 0; i < tokens || !open.empty(); ++i) {
      const unsigned r = rng() % 4;
      if (r == 0 || (i >= tokens && !open.empty())) {
        if (open.empty()) continue;
        text += "</" + open.back() + ">";
        open.pop_back();
      } else if (r == 1 && i < tokens) {
        open.push_back(names[rng() % 4]);
        text += "<" + open.back() + ">";
      } else if (r == 2 && rng() % 4 == 0) {
        text += rng() % 2 ? "<" : ">";  // stray brackets, which the index passes over or gives up on
      } else {
        text += rng() % 12 ? "x" : "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
      }
    }
    const XMLTagIndexScope index(text);
    const size_t lo = rng() % (text.size() + 1), hi = lo + rng() % (text.size() - lo + 1);
    const std::string window = text.substr(lo, hi - lo);
    const std::string tag = names[rng() % 4];
    const size_t start = 1 + rng() % (window.size() + 1);
    size_t pos = start, refPos = start;
    std::string_view content;
    std::string refContent;
    const bool found = XMLElementContent(std::string_view(text).substr(lo, hi - lo), tag, pos, content);
    ASSERT_EQ(found, LiteralElementContent(window, tag, refPos, refContent)) << window << " / " << tag;
    ASSERT_EQ(pos, refPos) << window << " / " << tag << " @" << start;
    ASSERT_EQ(std::string(content), refContent) << window << " / " << tag << " @" << start;
    WalkLikeTheReader(std::string_view(text).substr(lo, hi - lo), start);
    WalkerAgrees(std::string_view(text).substr(lo, hi - lo));
    WalkerAgrees(text);
  }
}

TEST(XMLElementContent, FailsOnUnclosedOrUnbalancedElements) {
  std::string_view content = "x";
  size_t pos = 1;
  EXPECT_FALSE(XMLElementContent("<a><a></a>", "a", pos, content));
  EXPECT_EQ(pos, 0u);
  EXPECT_TRUE(content.empty());
  pos = 1;
  EXPECT_FALSE(XMLElementContent("<b>x</b>", "a", pos, content)) << "tag not present";
  pos = 1;
  EXPECT_FALSE(XMLElementContent("<a>x</a>", "", pos, content)) << "empty tag";
  EXPECT_EQ(pos, 0u);
  pos = 1;
  EXPECT_FALSE(XMLElementContent("<A>x</a>", "A", pos, content)) << "the closing tag repeats the opening text exactly";
  pos = 0;
  EXPECT_FALSE(XMLElementContent("<a>x</a>", "a", pos, content));
  pos = 1;
  EXPECT_FALSE(XMLElementContent("", "a", pos, content));
}

TEST(XMLElementContent, SearchesFromThePosition) {
  const std::string text = "<a>1</a><a>2</a>";
  size_t pos = 2;
  std::string_view content;
  ASSERT_TRUE(XMLElementContent(text, "a", pos, content));
  EXPECT_EQ(content, "2");
  pos = 1;
  ASSERT_TRUE(XMLElementContent("<a></a>", "a", pos, content));
  EXPECT_EQ(content, "");
}

TEST(XMLNextTag, TakesTheTextBetweenAngleBrackets) {
  const std::string text = "xx<Bank>5</Bank>";
  size_t pos = 1;
  std::string_view tag;
  ASSERT_TRUE(XMLNextTag(text, pos, tag));
  EXPECT_EQ(tag, "Bank");
  EXPECT_EQ(pos, 9u);
  ASSERT_TRUE(XMLNextTag(text, pos, tag));
  EXPECT_EQ(tag, "/Bank");
  EXPECT_FALSE(XMLNextTag(text, pos, tag)) << "position past the text";
  EXPECT_EQ(pos, 0u);
  pos = 1;
  EXPECT_FALSE(XMLNextTag("<open", pos, tag));
  EXPECT_TRUE(tag.empty());
  pos = 1;
  ASSERT_TRUE(XMLNextTag("<a x=\"1\">", pos, tag));
  EXPECT_EQ(tag, "a x=\"1\"");
}

TEST(XMLFindRoot, SkipsDeclarationDoctypeAndEarlierElements) {
  auto root = XMLFindRoot("<?xml version = \"1.0\"?><VXPlayers><x/></VXPlayers>", "VXPlayers");
  EXPECT_TRUE(root.Found);
  EXPECT_EQ(root.Content, "<x/>");
  root = XMLFindRoot("<!DOCTYPE r [ <VXPlayers>no</VXPlayers> ]><vxplayers>yes</vxplayers>", "VXPlayers");
  EXPECT_TRUE(root.Found) << "root name is matched ignoring case";
  EXPECT_EQ(root.Content, "yes");
  root = XMLFindRoot("<Other>1</Other>\r\n<VXSetting>2</VXSetting>", "VXSetting");
  EXPECT_TRUE(root.Found);
  EXPECT_EQ(root.Content, "2");
  root = XMLFindRoot("<?XML?><R></R>", "R");
  EXPECT_TRUE(root.Found);
  EXPECT_EQ(root.Content, "");
}

TEST(XMLFindRoot, FindsNothingWhenAnEarlierElementOrTheRootDoesNotClose) {
  EXPECT_FALSE(XMLFindRoot("<Other><VXSetting>2</VXSetting>", "VXSetting").Found);
  EXPECT_FALSE(XMLFindRoot("<VXSetting><Bank>1</Bank>", "VXSetting").Found);
  EXPECT_FALSE(XMLFindRoot("", "VXSetting").Found);
  EXPECT_FALSE(XMLFindRoot("no tags", "VXSetting").Found);
  EXPECT_FALSE(XMLFindRoot("<Other></Other>", "VXSetting").Found);
}

TEST(SameBytes, AgreesWithStringEqualityWhereverTheTextsDiffer) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20000; ++round) {
    std::string a(rng() % 40, 'x'), b;
    for (char& c : a) c = static_cast<char>(rng());
    b = a + (rng() % 8 == 0 ? "x" : "");
    if (!a.empty() && rng() % 4 != 0) b[rng() % a.size()] ^= static_cast<char>(1 << (rng() % 8));
    ASSERT_EQ(SameBytes(a, b), a == b) << a.size() << " / " << b.size();
  }
}

TEST(CompareXMLNames, SortsWithBitFiveClearedAndShorterFirst) {
  std::vector<std::string> names = {"PlayerName", "PictureID", "Password", "GameIDStr", "GameHands", "CreditOut",
                                    "CreditIn",   "a_b",       "aZ",       "A1",        "Ab",        "A"};
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return CompareXMLNames(a, b) < 0; });
  const std::vector<std::string> expected = {"A",         "A1",       "Ab",       "aZ",        "a_b",       "CreditIn",
                                             "CreditOut", "GameHands", "GameIDStr", "Password", "PictureID", "PlayerName"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(CompareXMLNames("bank", "BANK"), 0);
}

}  // namespace
