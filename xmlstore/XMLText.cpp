#include "xmlstore/XMLText.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/StrUtils.h"

namespace {

// Horspool over a skip table of 256 entries. Small patterns (all the reader's tags) get a
// byte-sized table, which is cheap to fill on every call.
template <class Skip>
size_t Horspool(std::string_view text, std::string_view pattern, size_t from0) {
  const size_t n = text.size(), m = pattern.size();
  Skip skip[256];
  for (auto& s : skip) s = static_cast<Skip>(m);
  for (size_t k = 0; k + 1 < m; ++k) skip[static_cast<unsigned char>(pattern[k])] = static_cast<Skip>(m - 1 - k);
  const unsigned char last = static_cast<unsigned char>(pattern[m - 1]);
  const char beforeLast = pattern[m - 2];  // m >= 2 here
  size_t i = from0 + m - 1;  // text index under the pattern's last byte
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // Every tag ends in ">", so the byte before it is tested before the whole comparison.
    if (c == last && text[i - 1] == beforeLast && std::memcmp(text.data() + i + 1 - m, pattern.data(), m - 2) == 0)
      return i + 2 - m;
    i += skip[c];
  }
  return 0;
}

// Short ranges: filling the skip table would cost more than the search.
size_t ShortSearch(std::string_view text, std::string_view pattern, size_t from0) {
  const size_t m = pattern.size();
  const char* base = text.data();
  const char* end = base + text.size() - m + 1;  // one past the last possible start
  for (const char* p = base + from0; p < end;) {
    p = static_cast<const char*>(std::memchr(p, pattern[0], static_cast<size_t>(end - p)));
    if (!p) return 0;
    if (std::memcmp(p + 1, pattern.data() + 1, m - 1) == 0) return static_cast<size_t>(p - base) + 1;
    ++p;
  }
  return 0;
}

// The first byte of [p, end) that is `a` or `b`, or nullptr. Tags and values are short: a
// vector test of the next sixteen bytes mostly finds it at once.
inline const char* FindEither(const char* p, const char* end, char a, char b) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b);
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)));
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < end; ++p)
    if (*p == a || *p == b) return p;
  return nullptr;
}

inline const char* FindByte(const char* p, const char* end, char c) {
#if defined(__SSE2__)
  const __m128i vc = _mm_set1_epi8(c);
  for (; end - p >= 16; p += 16) {
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), vc));
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < end; ++p)
    if (*p == c) return p;
  return nullptr;
}

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr size_t kCDataClose = 3;  // "]]>"

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

size_t FindText(std::string_view text, std::string_view pattern, size_t start) {
  const size_t n = text.size(), m = pattern.size();
  if (m == 0 || m > n || start < 1) return 0;
  const size_t from0 = start - 1;
  if (from0 > n - m) return 0;
  if (m == 1) {
    const void* p = std::memchr(text.data() + from0, pattern[0], n - from0);
    return p ? static_cast<size_t>(static_cast<const char*>(p) - text.data()) + 1 : 0;
  }
  if (n - from0 < 4 * m + 64) return ShortSearch(text, pattern, from0);
  if (m <= 255) return Horspool<uint8_t>(text, pattern, from0);
  return Horspool<size_t>(text, pattern, from0);
}

size_t FindTextBack(std::string_view text, std::string_view pattern, size_t start) {
  const size_t n = text.size(), m = pattern.size();
  if (m == 0 || m > n) return 0;
  size_t i = n - m;  // 0-based candidate
  if (start != 0) i = std::min(i, start - 1);
  for (;;) {
    if (std::memcmp(text.data() + i, pattern.data(), m) == 0) return i + 1;
    if (i == 0) return 0;
    --i;
  }
}

bool XMLIsPlainChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case ' ': case '!': case ',': case '-': case '.': case '/': case ':': case ';':
    case '=': case '[': case '\\': case ']': case '_':
      return true;
    default:
      return false;
  }
}

void XMLEscapeTo(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  size_t run = 0;  // start of the current run of plain characters
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (XMLIsPlainChar(c)) continue;
    out.append(text.data() + run, i - run);
    const char esc[6] = {'&', '#', 'x', kHex[c >> 4], kHex[c & 15], ';'};
    out.append(esc, 6);
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
}

std::string XMLEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  XMLEscapeTo(out, text);
  return out;
}

std::string_view XMLUnescapeLongView(std::string_view text, std::string& buffer) {
  const bool cdata =
      text.size() >= kCDataOpen.size() + kCDataClose && text[0] == '<' && vx::StartsText(kCDataOpen, text);
  if (!cdata && text.find('&') == std::string_view::npos) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return text.substr(b, e - b);
  }
  buffer = XMLUnescape(text);
  return buffer;
}

std::string XMLUnescape(std::string_view text) {
  if (text.size() >= kCDataOpen.size() + kCDataClose && vx::StartsText(kCDataOpen, text))
    return std::string(text.substr(kCDataOpen.size(), text.size() - kCDataOpen.size() - kCDataClose));

  if (text.find('&') == std::string_view::npos) return vx::Trim(text);

  // The scan runs from the end towards the start and each replacement only changes the text
  // at and after the current position. The part after the position is kept reversed in
  // `rev` (its first character at the back), so each step is constant time.
  std::string rev;
  rev.reserve(text.size());
  for (size_t p = text.size(); p-- > 0;) {
    const size_t k = rev.size();  // characters following position p
    if (text[p] == '&' && k >= 5 && rev[k - 1] == '#' && rev[k - 2] == 'x') {
      const int hi = HexValue(rev[k - 3]), lo = HexValue(rev[k - 4]);
      if (hi >= 0 && lo >= 0) {
        // "&#xHH" goes, and the decoded byte takes the place of the sixth character.
        rev.resize(k - 5);
        rev.push_back(static_cast<char>(hi * 16 + lo));
        continue;
      }
    }
    rev.push_back(text[p]);
  }
  std::reverse(rev.begin(), rev.end());
  return vx::Trim(rev);
}

namespace {

// "<" + tag + ">" and "</" + tag + ">" without a heap allocation for ordinary tag lengths.
class TagText {
public:
  TagText(std::string_view tag, bool closing) {
    const size_t n = tag.size() + (closing ? 3 : 2);
    char* p = n <= sizeof small_ ? small_ : (big_.resize(n), big_.data());
    size_t i = 0;
    p[i++] = '<';
    if (closing) p[i++] = '/';
    std::memcpy(p + i, tag.data(), tag.size());
    p[n - 1] = '>';
    view_ = std::string_view(p, n);
  }
  TagText(const TagText&) = delete;
  TagText& operator=(const TagText&) = delete;
  std::string_view View() const { return view_; }

private:
  char small_[96];
  std::string big_;
  std::string_view view_;
};

// The matching closing tag, scanning twice per step: the next closing tag from the current
// point, then the opening tags between. Returns its 1-based position or 0; `after` is the
// position after it.
size_t MatchByTwoScans(std::string_view text, std::string_view open, std::string_view close, size_t cur,
                       size_t& after) {
  const size_t n = text.size();
  size_t depth = 1;
  for (;;) {
    const size_t c = FindText(text, close, cur);
    if (c == 0) return 0;
    // Opening tags that start between the current point and this closing tag nest one
    // level deeper. The window ends where an opening tag starting before `c` would end.
    const std::string_view window = text.substr(0, std::min(n, c + open.size() - 2));
    for (size_t q = cur; (q = FindText(window, open, q)) != 0 && q < c; q += open.size()) ++depth;
    cur = c + close.size();
    if (--depth == 0) {
      after = cur;
      return c;
    }
  }
}

// The same in one scan: opening and closing tags share the suffix tag + ">", so every
// occurrence of either is an occurrence of the suffix, classified by what precedes it. For a
// tag without "<" and ">" the occurrences never overlap, so the events come in the same
// order as with two scans.
size_t MatchBySuffix(std::string_view text, std::string_view open, size_t cur, size_t& after) {
  const std::string_view suffix = open.substr(1);
  size_t depth = 1;
  size_t from = cur;
  for (;;) {
    const size_t h = FindText(text, suffix, from);  // 1-based
    if (h == 0) return 0;
    from = h + suffix.size();
    if (h >= 2 && text[h - 2] == '<' && h - 1 >= cur) {
      ++depth;
    } else if (h >= 3 && text[h - 2] == '/' && text[h - 3] == '<' && h - 2 >= cur) {
      if (--depth == 0) {
        after = from;
        return h - 2;
      }
    }
  }
}

thread_local const XMLTagIndex* activeIndex = nullptr;

// The closing tag from the active index, when it covers `text`: 1-based within `text`, or 0
// when the element does not close inside `text`. False when the index cannot answer.
bool MatchByIndex(std::string_view text, size_t open, size_t closeSize, size_t& close) {
  const XMLTagIndex* index = activeIndex;
  if (!index) return false;
  const std::string_view whole = index->Text();
  if (text.data() < whole.data() || text.data() + text.size() > whole.data() + whole.size()) return false;
  const size_t offset = static_cast<size_t>(text.data() - whole.data());
  const size_t c = index->CloseOf(offset + open - 1);
  if (c == std::string_view::npos) return false;
  // Closing later than the end of `text`: the element does not close inside it.
  close = c + closeSize <= offset + text.size() ? c - offset + 1 : 0;
  return true;
}

}  // namespace

namespace {

// Bits of the "<" and of the ">" among the 64 bytes at `p`.
inline void AngleMasks(const char* p, uint64_t& lts, uint64_t& gts) {
  lts = gts = 0;
#if defined(__SSE2__)
  const __m128i lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>');
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    lts |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lt)))) << (16 * k);
    gts |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, gt)))) << (16 * k);
  }
#else
  for (int k = 0; k < 64; ++k) {
    lts |= static_cast<uint64_t>(p[k] == '<') << k;
    gts |= static_cast<uint64_t>(p[k] == '>') << k;
  }
#endif
}

}  // namespace

XMLTagIndex::XMLTagIndex(std::string_view text) : text_(text) {
  const size_t n = text.size();
  if (n >= UINT32_MAX) return;
  const char* const base = text.data();
  // Room for the elements of a usual text (one in some twenty-five bytes), so that the
  // pairs are rarely moved while they grow.
  pairs_.reserve(n / 20 + 16);
  // A tag runs from a "<" to the next ">" with no "<" between; a ">" outside a tag is text.
  // While a pair is open its Close holds the pair that encloses it, so the open pairs form
  // a stack without a container of their own.
  constexpr uint32_t kNone = UINT32_MAX;
  uint32_t top = kNone;  // the innermost open pair
  uint32_t afterLt = 0;  // just after the last "<" before the current one
  size_t pending = n;    // a "<" of an earlier block still waiting for its ">"
  // The tag from `lt` to `gt`; false when the text is not well nested.
  auto tag = [&](size_t lt, size_t gt) {
    // "</x>" also opens an element named "/x", which the index leaves to the scans; the
    // text is well nested when the other tags close.
    if (base[lt + 1] == '/') {
      if (top == kNone) return false;
      Pair& inner = pairs_[top];
      const size_t length = inner.Gt - inner.Open - 1;
      if (length != gt - lt - 2 ||
          !SameBytes(std::string_view(base + inner.Open + 1, length), std::string_view(base + lt + 2, length)))
        return false;
      top = inner.Close;
      inner.Close = static_cast<uint32_t>(lt);
    } else {
      pairs_.push_back({static_cast<uint32_t>(lt), top, static_cast<uint32_t>(gt), afterLt});
      top = static_cast<uint32_t>(pairs_.size() - 1);
    }
    return true;
  };
  // Blocks of 64 bytes: each "<" finds its ">" among the block's bits, so the loads do not
  // wait on the tags found before.
  const bool nested = [&] {
    char tail[64];
    for (size_t i = 0; i < n; i += 64) {
      uint64_t lts, gts;
      if (n - i >= 64) {
        AngleMasks(base + i, lts, gts);
      } else {
        std::memset(tail, 0, sizeof tail);
        std::memcpy(tail, base + i, n - i);
        AngleMasks(tail, lts, gts);
      }
      if (pending != n) {
        // The first angle of this block decides: a ">" ends the waiting tag, a "<" drops it.
        const int firstGt = std::countr_zero(gts), firstLt = std::countr_zero(lts);
        if (firstGt < firstLt && !tag(pending, i + static_cast<size_t>(firstGt))) return false;
        if (firstGt == 64 && firstLt == 64) continue;
        afterLt = static_cast<uint32_t>(pending + 1);
        pending = n;
      }
      while (lts) {
        const size_t lt = i + static_cast<size_t>(__builtin_ctzll(lts));
        lts &= lts - 1;
        // The ">" after this "<", and whether one comes before the next "<" (the bits up to
        // that one, or all bits when there is none; a byte is never both).
        const uint64_t gtsAfter = gts & (~uint64_t{0} << (lt - i));
        if (gtsAfter & (lts ^ (lts - 1))) {
          if (!tag(lt, i + static_cast<size_t>(__builtin_ctzll(gtsAfter)))) return false;
        } else if (lts == 0) {
          pending = lt;  // its ">", if any, lies further on
          break;
        }
        afterLt = static_cast<uint32_t>(lt + 1);
      }
    }
    return top == kNone;
  }();
  if (!nested) pairs_ = {};
}

size_t XMLTagIndex::CloseOf(size_t open) const {
  if (cursor_ < pairs_.size() && pairs_[cursor_].Open != open) {
    if (cursor_ + 1 < pairs_.size() && pairs_[cursor_ + 1].Open == open) {  // the usual case
      ++cursor_;
    } else {
      auto it = std::lower_bound(pairs_.begin(), pairs_.end(), open,
                                 [](const Pair& p, size_t at) { return p.Open < at; });
      cursor_ = static_cast<size_t>(it - pairs_.begin());
    }
  }
  // A usable index closed every pair it holds.
  if (cursor_ >= pairs_.size() || pairs_[cursor_].Open != open) return std::string_view::npos;
  return pairs_[cursor_].Close;
}

size_t XMLTagIndex::FirstOpenFrom(size_t from) const {
  auto it = std::lower_bound(pairs_.begin(), pairs_.end(), from, [](const Pair& p, size_t at) { return p.Open < at; });
  return static_cast<size_t>(it - pairs_.begin());
}

XMLTagIndexScope::XMLTagIndexScope(std::string_view text)
    : XMLTagIndexScope(std::make_shared<const XMLTagIndex>(text)) {}

XMLTagIndexScope::XMLTagIndexScope(std::shared_ptr<const XMLTagIndex> index)
    : index_(std::move(index)), previous_(activeIndex) {
  activeIndex = index_.get();
}

XMLTagIndexScope::~XMLTagIndexScope() { activeIndex = previous_; }

XMLElementWalker::XMLElementWalker(std::string_view text) : text_(text) {
  const XMLTagIndex* index = activeIndex;
  if (!index || !index->Usable()) return;
  const std::string_view whole = index->Text();
  if (text.data() < whole.data() || text.data() + text.size() > whole.data() + whole.size()) return;
  index_ = index;
  offset_ = static_cast<size_t>(text.data() - whole.data());
}

namespace {

// XMLElementContent once the opening tag is known to start at the 1-based `p`.
// `plain`: the tag holds no "<" or ">".
bool ElementContentAt(std::string_view text, std::string_view tag, bool plain, size_t p, size_t& position,
                      std::string_view& content) {
  const size_t openSize = tag.size() + 2;
  const size_t contentStart = p + openSize;  // 1-based
  size_t after = 0, close = 0;
  if (plain && MatchByIndex(text, p, openSize + 1, close)) {
    after = close ? close + openSize + 1 : 0;
  } else {
    const TagText open(tag, false);
    if (plain) {
      close = MatchBySuffix(text, open.View(), contentStart, after);
    } else {
      const TagText closing(tag, true);
      close = MatchByTwoScans(text, open.View(), closing.View(), contentStart, after);
    }
  }
  if (close == 0) {
    position = 0;
    return false;
  }
  content = text.substr(contentStart - 1, close - contentStart);
  position = after;
  return true;
}

}  // namespace

bool XMLElementContent(std::string_view text, std::string_view tag, size_t& position,
                       std::string_view& content) {
  content = {};
  const size_t n = text.size();
  if (position < 1 || position >= n || tag.empty()) {
    position = 0;
    return false;
  }
  const TagText open(tag, false);
  const std::string_view o = open.View();
  // The reader asks for the tag it has just seen, which then starts right at the position.
  const size_t p = text.compare(position - 1, o.size(), o) == 0 ? position : FindText(text, o, position);
  if (p == 0) {
    position = 0;
    return false;
  }
  const bool plain = !FindEither(tag.data(), tag.data() + tag.size(), '<', '>');
  return ElementContentAt(text, tag, plain, p, position, content);
}

namespace {

// XMLNextElement from the active index, when it covers `text` and knows the first tag from
// the position. False when the scans must answer.
bool NextElementByIndex(std::string_view text, size_t& position, std::string_view& tag, std::string_view& content) {
  const XMLTagIndex* index = activeIndex;
  if (!index) return false;
  const std::string_view whole = index->Text();
  const char* const base = text.data();
  const size_t n = text.size();
  if (base < whole.data() || base + n > whole.data() + whole.size()) return false;
  return index->NextElement(static_cast<size_t>(base - whole.data()), n, position, tag, content);
}

}  // namespace

bool XMLNextElement(std::string_view text, size_t& position, std::string_view& tag, std::string_view& content) {
  content = {};
  tag = {};
  const size_t n = text.size();
  const char* const base = text.data();
  if (position >= 1 && position < n && NextElementByIndex(text, position, tag, content)) return position != 0;
  // XMLNextTag's scan, which also tells whether the tag holds a "<" (it never holds a ">").
  const char* lt = position >= 1 && position < n ? FindByte(base + position - 1, base + n, '<') : nullptr;
  const char* gt = lt ? FindEither(lt + 1, base + n, '<', '>') : nullptr;
  const bool plain = gt && *gt == '>';
  if (gt && !plain) gt = FindByte(gt + 1, base + n, '>');
  if (!gt || gt == lt + 1) {
    // Both calls fail: no tag, or an empty one, which finds no element.
    position = 0;
    return false;
  }
  tag = std::string_view(lt + 1, static_cast<size_t>(gt - lt - 1));
  return ElementContentAt(text, tag, plain, static_cast<size_t>(lt - base) + 1, position, content);
}

bool XMLNextTag(std::string_view text, size_t& position, std::string_view& tag) {
  tag = {};
  const size_t n = text.size();
  if (position < 1 || n == 0 || position > n - 1) {
    position = 0;
    return false;
  }
  const char* const end = text.data() + n;
  const char* lt = FindByte(text.data() + position - 1, end, '<');
  const char* gt = lt ? FindByte(lt + 1, end, '>') : nullptr;
  if (!gt) {
    position = 0;
    return false;
  }
  tag = std::string_view(lt + 1, static_cast<size_t>(gt - lt - 1));
  position = static_cast<size_t>(gt - text.data()) + 2;
  return true;
}

namespace {

// FindText(text, "<!DOCTYPE "), looking for its rare second byte instead of hopping along
// the whole text with the common first one.
size_t FindDoctype(std::string_view text) {
  constexpr std::string_view kDoctype = "<!DOCTYPE ";
  const char* const base = text.data();
  const size_t n = text.size();
  for (size_t i = 1; i + kDoctype.size() - 1 <= n;) {
    const void* hit = std::memchr(base + i, '!', n - i);
    if (!hit) return 0;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - base);
    if (at + kDoctype.size() - 1 > n) return 0;
    if (base[at - 1] == '<' && text.compare(at + 1, kDoctype.size() - 2, kDoctype.substr(2)) == 0) return at;
    i = at + 1;
  }
  return 0;
}

}  // namespace

XMLRootSearch XMLFindRoot(std::string_view text, std::string_view elementName) {
  XMLRootSearch result;
  size_t tagPos = 1;
  if (const size_t doctype = FindDoctype(text)) {
    if (const size_t end = FindText(text, "]>", doctype)) tagPos = end + 2;
  }
  size_t contentPos = 1;
  std::string_view tag;
  while (XMLNextTag(text, tagPos, tag)) {
    if (tag.size() >= 4 && vx::SameText(tag.substr(0, 4), "?xml")) continue;
    std::string_view content;
    bool found;
    if (vx::SameText(tag, elementName)) {
      // The first "<tag>" from here is the one just seen. Its closing tag comes from an index
      // of the text from there on, which then serves the reading of the content too.
      const size_t open = tagPos - tag.size() - 2;  // 1-based
      auto index = std::make_shared<const XMLTagIndex>(text.substr(open - 1));
      if (index->Usable()) {
        const XMLTagIndexScope scope(index);
        found = XMLElementContent(text, tag, contentPos, content);
        result.Index = std::move(index);
      } else {
        found = XMLElementContent(text, tag, contentPos, content);
      }
      result.Found = found;
      result.Content = content;
      return result;
    }
    found = XMLElementContent(text, tag, contentPos, content);
    tagPos = contentPos;
    if (!found) break;
  }
  return result;
}

int CompareXMLNames(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned x = static_cast<unsigned char>(a[i]) & 0xDFu;
    const unsigned y = static_cast<unsigned char>(b[i]) & 0xDFu;
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool IsBlankText(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) > ' ') return false;
  return true;
}
