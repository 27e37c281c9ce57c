#pragma once
// The text layer of the XML persistence: substring search, escaping, element search and
// tag scanning. There is no document tree: readers scan the text for pairs of opening and
// closing tags, writers concatenate text.
//
// Positions in this header are 1-based like the rest of the persistence code (0 means "not
// found" / "stop"), so the scanning rules read the same as the loops that use them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// First occurrence of `pattern` in `text` at or after the 1-based `start`, or 0. Case-
// sensitive; 0 when the pattern is empty or longer than the text, or when start < 1.
// Boyer-Moore-Horspool, compared from the pattern's last byte backwards.
size_t FindText(std::string_view text, std::string_view pattern, size_t start = 1);

// Last occurrence of `pattern` that starts at or before the 1-based `start` (0 = from the
// end), or 0.
size_t FindTextBack(std::string_view text, std::string_view pattern, size_t start = 0);

// Characters that are written as they are; every other byte becomes "&#xHH;".
bool XMLIsPlainChar(unsigned char c);

// Escapes every byte outside the plain set as "&#x" + two upper-case hex digits + ";".
std::string XMLEscape(std::string_view text);
// Appends the escaped form of `text` to `out`.
void XMLEscapeTo(std::string& out, std::string_view text);

// Reverses the escaping. A value that starts with "<![CDATA[" (any case) and is long enough
// to hold both markers is returned without its 9-byte opening and 3-byte closing marker and
// otherwise untouched. Otherwise every "&#xHH;" with two hex digits is replaced by its byte
// (scanning from the end, so a decoded byte may complete a sequence to its left), "&#x"
// followed by anything else stays literal text, and the result loses every byte <= 32 at
// both ends.
std::string XMLUnescape(std::string_view text);
// XMLUnescape without a copy when nothing is decoded: a view into `text`, or into `buffer`
// when it holds the decoded text.
std::string_view XMLUnescapeLongView(std::string_view text, std::string& buffer);
inline std::string_view XMLUnescapeView(std::string_view text, std::string& buffer) {
  // Values are mostly short words and numbers without escapes, trimmed here without a call.
  const size_t n = text.size();
  const char* const p = text.data();
  if (n == 0 || n > 32 || p[0] == '<') return XMLUnescapeLongView(text, buffer);
  // Whether an "&" is among the bytes, a word at a time: a byte of x ^ "&&&&..." is zero
  // there, and (y - 0x01..) & ~y & 0x80.. is not zero exactly when y has a zero byte.
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull, kAmps = kOnes * '&';
  auto hasAmp = [](uint64_t x) { x ^= kAmps; return ((x - kOnes) & ~x & kHighs) != 0; };
  bool escaped = false;
  if (n >= 8) {
    uint64_t x;
    for (size_t i = 0; i + 8 < n; i += 8) {
      std::memcpy(&x, p + i, 8);
      escaped |= hasAmp(x);
    }
    std::memcpy(&x, p + n - 8, 8);
    escaped |= hasAmp(x);
  } else if (n >= 4) {
    uint32_t a, b;
    std::memcpy(&a, p, 4);
    std::memcpy(&b, p + n - 4, 4);
    escaped = hasAmp(a | uint64_t{0x20202020} << 32) || hasAmp(b | uint64_t{0x20202020} << 32);
  } else {
    for (size_t i = 0; i < n; ++i) escaped |= p[i] == '&';
  }
  if (escaped) return XMLUnescapeLongView(text, buffer);
  size_t b = 0, e = n;
  while (b < e && static_cast<unsigned char>(p[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(p[e - 1]) <= ' ') --e;
  return std::string_view(p + b, e - b);
}

// Searches the element `tag` from the 1-based `position`: the opening tag "<tag>" at or
// after it, then the matching closing tag "</tag>" with nested elements of the same name
// counted by depth. On success `content` views the text between the two tags and `position`
// moves just after the closing tag. Otherwise `content` is empty, `position` becomes 0 and
// the result is false. No result either when the position is not in 1..length-1 or the tag
// is empty.
bool XMLElementContent(std::string_view text, std::string_view tag, size_t& position,
                       std::string_view& content);

// The closing tag of every element of a text found in one pass, so that reading nested
// elements does not scan each element's text again at every level. It only answers for
// well-nested texts (every "</x>" closes the innermost open "<x>", nothing left open), where
// the matching by depth of one name gives the same answer; for any other text it is empty
// and the scans run as before. While an `XMLTagIndexScope` is alive on the thread,
// XMLElementContent consults it for texts that lie inside the indexed one.
class XMLTagIndex {
public:
  explicit XMLTagIndex(std::string_view text);
  // 0-based offset, within the indexed text, of the closing tag that matches the opening tag
  // at 0-based `open`; npos when the index does not know that opening tag.
  size_t CloseOf(size_t open) const;
  // XMLNextElement for the part of the indexed text that starts at the 0-based `offset` and
  // holds `size` bytes, from the 1-based `position` (in 1..size-1), when the index knows the
  // first tag from there; `tag` and `content` must come in empty. False when the scans must
  // answer.
  bool NextElement(size_t offset, size_t size, size_t& position, std::string_view& tag,
                   std::string_view& content) const;
  std::string_view Text() const { return text_; }
  // False when the text was not well nested (the index then knows nothing).
  bool Usable() const { return !pairs_.empty(); }

private:
  // Offsets of 32 bits keep the pairs small; longer texts are not indexed. `AfterLt` is the
  // offset just after the last "<" before the opening tag (of any tag or none), 0 when there
  // is none.
  struct Pair {
    uint32_t Open, Close, Gt, AfterLt;
  };
  size_t FirstOpenFrom(size_t from) const;  // the first pair that opens at or after `from`
  std::string_view text_;
  std::vector<Pair> pairs_;  // by opening offset
  mutable size_t cursor_ = 0;  // readers ask in document order
};

class XMLTagIndexScope {
public:
  explicit XMLTagIndexScope(std::string_view text);
  // An index made before, for a text that contains the ones to be read.
  explicit XMLTagIndexScope(std::shared_ptr<const XMLTagIndex> index);
  ~XMLTagIndexScope();
  XMLTagIndexScope(const XMLTagIndexScope&) = delete;
  XMLTagIndexScope& operator=(const XMLTagIndexScope&) = delete;

private:
  std::shared_ptr<const XMLTagIndex> index_;
  const XMLTagIndex* previous_;
};

// From the 1-based `position` (which must be in 1..length-1), finds "<" and the next ">"
// after it; `tag` views the text between them and `position` moves after ">". Otherwise
// `tag` is empty, `position` becomes 0 and the result is false.
bool XMLNextTag(std::string_view text, size_t& position, std::string_view& tag);

// XMLNextTag, then XMLElementContent of that tag from the same position: the same results
// as the two calls (`position` as XMLElementContent leaves it), without searching again for
// the opening tag XMLNextTag has just found, which is the first one from the position.
bool XMLNextElement(std::string_view text, size_t& position, std::string_view& tag, std::string_view& content);

// The reader's loop, XMLNextElement over one text from position 1 again and again: the same
// steps, with the active index found once for the text rather than at every step.
class XMLElementWalker {
public:
  explicit XMLElementWalker(std::string_view text);
  bool Next(std::string_view& tag, std::string_view& content) {
    tag = {};
    content = {};
    if (index_ && position_ >= 1 && position_ < text_.size() &&
        index_->NextElement(offset_, text_.size(), position_, tag, content))
      return position_ != 0;
    return XMLNextElement(text_, position_, tag, content);
  }
  // Where the next step starts; 0 once a step found nothing.
  size_t Position() const { return position_; }

private:
  std::string_view text_;
  size_t position_ = 1;
  const XMLTagIndex* index_ = nullptr;  // the active index, when it covers the text
  size_t offset_ = 0;                   // where the text starts in the indexed one
};

// Where the root element of a document lies. The search starts after a "<!DOCTYPE " ... "]>"
// block when there is one, skips tags that begin with "?xml" (any case) and walks the
// elements in order until one whose tag equals `elementName` ignoring case.
struct XMLRootSearch {
  bool Found = false;        // the root element was found with its closing tag
  std::string_view Content;  // its content (empty when not found)
  // The tag index of the text from the root's opening tag to the end, which found the
  // closing tag in one pass and serves the reading of the content; null when that text is
  // not well nested.
  std::shared_ptr<const XMLTagIndex> Index;
};
XMLRootSearch XMLFindRoot(std::string_view text, std::string_view elementName);

// Property order of the writer: bytes compared with bit 5 cleared (AND 0xDF) as unsigned
// values over the shorter length; on a tie the shorter name first. <0, 0, >0.
int CompareXMLNames(std::string_view a, std::string_view b);

// a == b for the short names of tags and properties, without a library call.
inline bool SameBytes(std::string_view a, std::string_view b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  const char *p = a.data(), *q = b.data();
  // Words of eight or four bytes, the last one overlapping the one before.
  if (n >= 8) {
    uint64_t x, y;
    for (size_t i = 0; i + 8 < n; i += 8) {
      std::memcpy(&x, p + i, 8);
      std::memcpy(&y, q + i, 8);
      if (x != y) return false;
    }
    std::memcpy(&x, p + n - 8, 8);
    std::memcpy(&y, q + n - 8, 8);
    return x == y;
  }
  if (n >= 4) {
    uint32_t x0, y0, x1, y1;
    std::memcpy(&x0, p, 4);
    std::memcpy(&y0, q, 4);
    std::memcpy(&x1, p + n - 4, 4);
    std::memcpy(&y1, q + n - 4, 4);
    return x0 == y0 && x1 == y1;
  }
  for (size_t i = 0; i < n; ++i)
    if (p[i] != q[i]) return false;
  return true;
}

inline bool XMLTagIndex::NextElement(size_t offset, size_t size, size_t& position, std::string_view& tag,
                                     std::string_view& content) const {
  const size_t from = offset + position - 1;
  const size_t n = pairs_.size();
  size_t k = cursor_;
  // Readers move on from the element they have just read, or from the last one inside it.
  if (k + 1 < n && pairs_[k].Open < from && pairs_[k + 1].Open >= from) {
    ++k;
  } else if (!(k < n && pairs_[k].Open >= from && (k == 0 || pairs_[k - 1].Open < from))) {
    k = FirstOpenFrom(from);
  }
  if (k >= n) return false;
  const Pair& p = pairs_[k];
  if (p.Open >= offset + size) {
    // The next element lies beyond the text: without a "<" in between (mostly a line end)
    // there is none, as the scan finds.
    if (p.AfterLt > from && std::memchr(text_.data() + from, '<', offset + size - from)) return false;
    position = 0;
    return true;
  }
  // Another "<" first, a tag that ends beyond the text or an empty tag: the scans answer.
  if (p.AfterLt > from || p.Gt >= offset + size || p.Gt == p.Open + 1) return false;
  cursor_ = k;
  tag = std::string_view(text_.data() + p.Open + 1, p.Gt - p.Open - 1);
  const size_t end = p.Close + tag.size() + 3;  // after the closing tag
  if (end > offset + size) {
    // The element does not close inside the text.
    position = 0;
    return true;
  }
  content = std::string_view(text_.data() + p.Gt + 1, p.Close - p.Gt - 1);
  position = end - offset + 1;
  return true;
}

// True when every byte is <= 32.
bool IsBlankText(std::string_view text);
