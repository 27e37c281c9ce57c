#include "html/HtmlParser.h"

#include <algorithm>

#include "core/StrUtils.h"
#include "platform/text/CodePages.h"

using namespace html;

namespace {

constexpr int kFontSizes[8] = {0, 8, 10, 12, 14, 18, 24, 36};
constexpr int kPreFontSizes[8] = {0, 7, 8, 10, 12, 15, 20, 30};
constexpr int kHeadingSizes[7] = {0, 24, 18, 14, 12, 10, 8};

bool IsListEnd(int s) {
  return s == OLEndSy || s == ULEndSy || s == DirEndSy || s == MenuEndSy || s == DLEndSy || s == BlockQuoteEndSy;
}

bool IsListStart(int s) { return s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy; }

// Symbols the text level handles (TABLE too at block level).
bool IsTextLevel(int s) {
  switch (s) {
    case PSy: case PEndSy: case BSy: case BEndSy: case ISy: case IEndSy: case EmSy: case EmEndSy:
    case StrongSy: case StrongEndSy: case USy: case UEndSy: case CiteSy: case CiteEndSy: case VarSy:
    case VarEndSy: case SSy: case SEndSy: case StrikeSy: case StrikeEndSy: case SubSy: case SubEndSy:
    case SupSy: case SupEndSy: case TTSy: case TTEndSy: case CodeSy: case CodeEndSy: case KbdSy:
    case KbdEndSy: case SampSy: case SampEndSy: case BRSy: case HSy: case HEndSy: case AddressSy:
    case AddressEndSy: case PreSy: case ImgSy: case ASy: case AEndSy: case TextSy: case InputSy:
    case FormSy: case FormEndSy: case TextAreaSy: case TextAreaEndSy: case SelectSy: case FontSy:
    case FontEndSy: case BaseFontSy: case BigSy: case BigEndSy: case SmallSy: case SmallEndSy:
    case MapSy: case ScriptSy: case NoBrSy: case NoBrEndSy: case WbrSy:
      return true;
    default:
      return false;
  }
}

// What a loose LI item (outside any list) takes as its content.
bool IsItemText(int s) {
  switch (s) {
    case BSy: case BEndSy: case ISy: case IEndSy: case EmSy: case EmEndSy: case StrongSy: case StrongEndSy:
    case USy: case UEndSy: case CiteSy: case CiteEndSy: case VarSy: case VarEndSy: case TTSy: case TTEndSy:
    case CodeSy: case CodeEndSy: case KbdSy: case KbdEndSy: case SampSy: case SampEndSy: case ASy:
    case AEndSy: case TextSy: case FontEndSy: case SubSy: case SubEndSy: case SupSy: case SupEndSy:
    case BigSy: case BigEndSy: case SmallSy: case SmallEndSy: case SSy: case SEndSy: case StrikeSy:
    case StrikeEndSy: case NoBrSy: case NoBrEndSy: case WbrSy:
      return true;
    default:
      return false;
  }
}

// Tags whose attributes are kept.
bool KeepsAttributes(int tag) {
  switch (tag) {
    case BodySy: case PSy: case BRSy: case HSy: case HRSy: case BaseSy: case OLSy: case ULSy: case ImgSy:
    case ASy: case TableSy: case TDSy: case TRSy: case THSy: case CaptionSy: case InputSy: case FormSy:
    case TextAreaSy: case SelectSy: case OptionSy: case FontSy: case BaseFontSy: case MapSy: case AreaSy:
    case FrameSetSy: case FrameSy: case ScriptSy: case DivSy: case BgSoundSy: case WrapSy: case MetaSy:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---- reader ----

int ThvParser::RawNext() {
  if (inInclude_) {
    if (incPos_ < inc_.size()) return static_cast<unsigned char>(inc_[incPos_++]);
    inInclude_ = false;
  }
  if (pos_ < in_.size()) {
    sIndex_ = static_cast<int>(pos_);
    return static_cast<unsigned char>(in_[pos_++]);
  }
  return -1;
}

int ThvParser::RawPeek(size_t ahead) const {
  size_t p = pos_;
  if (inInclude_) {
    if (incPos_ + ahead < inc_.size()) return static_cast<unsigned char>(inc_[incPos_ + ahead]);
    ahead -= inc_.size() - incPos_;
  }
  p += ahead;
  return p < in_.size() ? static_cast<unsigned char>(in_[p]) : -1;
}

int ThvParser::ReadFolded() {
  int c = RawNext();
  if (c == '\r' || c == '\n') {
    const int other = c == '\r' ? '\n' : '\r';
    if (RawPeek() == other) RawNext();
    return '\r';
  }
  return c == '\t' ? ' ' : c;
}

void ThvParser::GetCh() {
  for (;;) {
    const int c = ReadFolded();
    if (c < 0) {
      Ch = LCh = 26;
      eof_ = true;
      return;
    }
    if (c == '<' && RawPeek() == '!') {
      RawNext();
      if (RawPeek() == '-' && RawPeek(1) == '-') {
        RawNext(), RawNext();
        SkipComment();
      } else {
        // A declaration: up to its ">", or to the end when it has none.
        for (int d = ReadFolded(); d >= 0 && d != '>'; d = ReadFolded()) {
        }
      }
      continue;
    }
    Ch = static_cast<char>(c);
    LCh = vx::UpCase(Ch);
    return;
  }
}

void ThvParser::SkipComment() {
  if (RawPeek() == '#' && hooks_ && hooks_->OnInclude && !inInclude_) {
    ReadInclude();
    return;
  }
  SkipToCommentEnd();
}

void ThvParser::SkipToCommentEnd() {
  int dashes = 0;
  for (;;) {
    int c = ReadFolded();
    if (c < 0) throw EParseError("Open Comment at End of HTML File");
    if (c == '-') {
      ++dashes;
      continue;
    }
    if (dashes >= 2) {
      while (c == ' ' || c == '\r') c = ReadFolded();
      if (c < 0) throw EParseError("Open Comment at End of HTML File");
      if (c == '>') return;
    }
    dashes = c == '-' ? 1 : 0;
  }
}

void ThvParser::ReadInclude() {
  RawNext();  // '#'
  std::string command;
  while (RawPeek() >= 0 && vx::UpCase(static_cast<char>(RawPeek())) >= 'A' && vx::UpCase(static_cast<char>(RawPeek())) <= 'Z')
    command += vx::UpCase(static_cast<char>(RawNext()));
  IncludeParams params;
  for (;;) {
    while (RawPeek() == ' ' || RawPeek() == '\r' || RawPeek() == '\n' || RawPeek() == '\t') RawNext();
    const int p = RawPeek();
    if (p < 0 || p == '-' || p == '>') break;
    std::string name, value;
    while (RawPeek() >= 0 && (std::isalnum(RawPeek()) || RawPeek() == '-' || RawPeek() == '_') && RawPeek() != '-')
      name += static_cast<char>(RawNext());
    if (name.empty()) {
      RawNext();
      continue;
    }
    if (RawPeek() == '=') {
      RawNext();
      const int q = RawPeek();
      if (q == '"' || q == '\'') {
        RawNext();
        while (RawPeek() >= 0 && RawPeek() != q) value += static_cast<char>(RawNext());
        RawNext();
      }
    }
    params.emplace_back(std::move(name), std::move(value));
  }
  // The rest of the comment, then the text the caller gives for it.
  SkipToCommentEnd();
  std::string text;
  hooks_->OnInclude(command, params, text);
  if (!text.empty()) {
    inc_ = std::move(text);
    incPos_ = 0;
    inInclude_ = true;
  }
}

void ThvParser::SkipWhiteChars() {
  while (!AtEof() && (Ch == ' ' || Ch == '\r')) GetCh();
}

// ---- scanner ----

void ThvParser::Next() {
  ++symCount_;
  token_.clear();
  tokPos_.clear();
  if (AtEof()) {
    sym_ = EofSy;
    return;
  }
  if (Ch == '<') {
    if (ScanTag()) return;
    ScanText();
    sym_ = TextSy;
    return;
  }
  if (Ch == '&' || (UCh() >= 32 && Ch != '<') || Ch == '\r') {
    ScanText();
    sym_ = TextSy;
    return;
  }
  GetCh();
  sym_ = CtrlSy;
}

bool ThvParser::ScanTag() {
  const int start = sIndex_;
  GetCh();
  bool end = false;
  if (Ch == '/') {
    end = true;
    GetCh();
  }
  if (!IsLetter()) {
    token_ = end ? "</" : "<";
    tokPos_.assign(token_.size(), start);
    return false;
  }
  std::string name;
  while (IsLetter()) {
    if (name.size() < 255) name += LCh;
    GetCh();
  }
  int tag = FindTag(name);
  while (!AtEof() && (Ch == ' ' || Ch == '\r')) GetCh();
  heading_ = 0;
  if (tag == HSy) {
    // Only H1..H6 are headings; H, H0, H7 are tags we do not know.
    if (Ch >= '1' && Ch <= '6') {
      heading_ = Ch - '0';
      GetCh();
    } else {
      tag = -1;
    }
  }
  ReadAttributes(!end && tag >= 0 && KeepsAttributes(tag));
  while (!AtEof() && Ch != '>') GetCh();
  if (!AtEof()) GetCh();
  if (tag < 0) sym_ = UnknownSy;
  else if (end) sym_ = tag < kTagsWithEnd ? EndOffset + tag : UnknownSy;
  else sym_ = tag;
  if (AtEof() && (sym_ == PEndSy || sym_ == BRSy)) Ch = LCh = ' ';
  return true;
}

void ThvParser::ReadAttributes(bool keep) {
  if (keep) attrs_.Clear();
  for (;;) {
    while (!AtEof() && (Ch == ' ' || Ch == '\r')) GetCh();
    if (AtEof() || Ch == '>') return;
    if (!IsLetter()) {
      GetCh();
      continue;
    }
    TAttribute a;
    while (IsLetter() || Ch == '-') {
      if (a.Name.size() < 255) a.Name += LCh;
      GetCh();
    }
    a.Which = FindAttr(a.Name);
    a.Value = a.Which == BorderAttr ? 1 : 0;
    while (!AtEof() && (Ch == ' ' || Ch == '\r')) GetCh();
    if (Ch == '=') {
      GetCh();
      while (!AtEof() && (Ch == ' ' || Ch == '\r')) GetCh();
      if (Ch == '"' || Ch == '\'') {
        const char quote = Ch;
        GetCh();
        while (!AtEof() && Ch != quote) {
          if (Ch == '\r') GetCh();
          else if (Ch == '&') a.String += ReadEntity();
          else a.String += Ch, GetCh();
        }
        if (!AtEof()) GetCh();
        std::string t = vx::Trim(a.String);
        if (!t.empty() && t.back() == '%') t.pop_back();
        a.Value = AttrToInt(vx::Trim(t));
      } else if (Ch == '+' || Ch == '-' || (Ch >= '0' && Ch <= '9')) {
        while (!AtEof() && Ch != ' ' && Ch != '\r' && Ch != '%' && Ch != '>') a.String += Ch, GetCh();
        a.Value = AttrToInt(a.String);
        if (Ch == '%') a.String += '%', GetCh();
      } else {
        while (!AtEof() && Ch != ' ' && Ch != '\r' && Ch != '>') a.String += Ch, GetCh();
      }
    }
    if (keep) attrs_.Add(std::move(a));
  }
}

std::string ThvParser::ReadEntity() {
  std::string raw = "&";
  GetCh();
  if (Ch == '#') {
    raw += '#';
    GetCh();
    std::string digits;
    while (digits.size() < 6 && Ch >= '0' && Ch <= '9') digits += Ch, GetCh();
    raw += digits;
    if (Ch == ';') raw += ';', GetCh();
    if (digits.empty()) return raw;
    const int v = std::stoi(digits);
    if (v == 9) return " ";
    if (v == 10 || (v >= 32 && v <= 255)) return std::string(1, static_cast<char>(v));
    if (v > 255) {
      // A UTF-16 code unit in the page's code page; what it cannot show reads "?".
      const int charset = fonts_.empty() ? 1 : fonts_.back().Charset;
      const auto b = v > 0xFFFF ? std::nullopt : vx::UnicodeToCodePage(vx::CodePageOfCharset(charset), static_cast<uint16_t>(v));
      return std::string(1, b ? static_cast<char>(*b) : '?');
    }
    return raw;
  }
  std::string name;
  while (name.size() < 8 && (std::isalnum(UCh()) && UCh() < 128)) name += Ch, GetCh();
  if (name.size() > 7) return raw + name;
  bool semi = false;
  if (Ch == ';') semi = true, GetCh();
  if (!name.empty())
    if (auto e = FindEntity(name)) return *e;
  return raw + name + (semi ? ";" : "");
}

void ThvParser::ScanText() {
  auto add = [this](std::string_view s, int pos) {
    token_ += s;
    tokPos_.resize(token_.size(), pos);
  };
  while (!AtEof() && token_.size() < 100) {
    if (Ch == '<') break;
    if (Ch == '&') {
      const int pos = sIndex_;
      add(ReadEntity(), pos);
      continue;
    }
    if (UCh() < 32 && Ch != '\r') break;
    if (!inPre_ && (Ch == ' ' || Ch == '\r')) {
      add(nobr_ ? std::string_view("\x05", 1) : std::string_view(" "), sIndex_);
      GetCh();
      while (!AtEof() && (Ch == ' ' || Ch == '\r')) GetCh();
      continue;
    }
    add(std::string_view(&Ch, 1), sIndex_);
    GetCh();
  }
}

std::string ThvParser::ReadRaw(std::string_view endTag, bool entities) {
  std::string out;
  while (!AtEof()) {
    if (Ch == '<') {
      std::string held = "<";
      GetCh();
      if (Ch == '/') {
        held += '/';
        GetCh();
        std::string name;
        while (IsLetter() && name.size() < 8) name += LCh, held += Ch, GetCh();
        if (name == endTag) {
          while (!AtEof() && Ch != '>') GetCh();
          return out;
        }
      }
      out += held;
      continue;
    }
    if (Ch == '\r') {
      out += "\r\n";
      GetCh();
    } else if (Ch == '&' && entities) {
      out += ReadEntity();
    } else {
      out += Ch;
      GetCh();
    }
  }
  return out;
}

// ---- sections and fonts ----

TMyFont ThvParser::Rescaled(TMyFont f) const {
  f.Size = std::max(1, MulDiv(doc_->FontSize, f.TableSize, 12));
  return f;
}

TMyFont ThvParser::CurrentFont() const {
  TMyFont f = fonts_.back();
  f.Bold |= (style_ & kBold) != 0;
  f.Italic |= (style_ & kItalic) != 0;
  f.Underline |= (style_ & kUnderline) != 0;
  f.StrikeOut |= (style_ & kStrike) != 0;
  if (subSup_ != TSubSup::None) f.TableSize = MulDiv(f.TableSize, 3, 4);
  return Rescaled(f);
}

void ThvParser::NewSection(int level, int align) {
  CloseSection();
  section_ = std::make_unique<TSection>(doc_, TSectionBase::Kind::Text, level, align,
                                        TFontObj{0, CurrentFont(), link_, false, subSup_, nullptr});
}

void ThvParser::OpenSection(int level) {
  if (!section_) NewSection(level, align_);
}

void ThvParser::CloseSection() {
  if (section_) cell_->Add(std::move(section_));
}

void ThvParser::UpdateFont() {
  if (section_) section_->ChangeFont(CurrentFont(), link_, subSup_);
}

bool ThvParser::PushFont(const TMyFont& f) {
  if (fonts_.size() >= static_cast<size_t>(kMaxFontStack)) return false;
  fonts_.push_back(Rescaled(f));
  UpdateFont();
  return true;
}

void ThvParser::PopFont() {
  if (fonts_.size() > 1) fonts_.pop_back();
  UpdateFont();
}

void ThvParser::PopFontsTo(size_t depth) {
  depth = std::max<size_t>(depth, 1);
  if (fonts_.size() > depth) fonts_.resize(depth);
  UpdateFont();
}

void ThvParser::EndLink() {
  if (!link_) return;
  link_.reset();
  if (linkDepth_ > 0 && fonts_.size() >= linkDepth_) PopFontsTo(linkDepth_ - 1);
  linkDepth_ = 0;
  UpdateFont();
}

ThtmlForm* ThvParser::EnsureForm() {
  if (!form_) {
    doc_->Forms.push_back(std::make_unique<ThtmlForm>(TAttributeList()));
    form_ = doc_->Forms.back().get();
  }
  return form_;
}

int ThvParser::AlignOf(int def) const {
  const std::string s = vx::LowerCase(attrs_.Str(AlignAttr));
  return s == "left" ? 1 : s == "center" ? 2 : s == "right" ? 3 : def;
}

// ---- entries ----

void ThvParser::HtmlParseString(std::string_view text, TSectionList& doc, const Hooks& hooks) {
  *this = ThvParser();
  in_ = text;
  hooks_ = &hooks;
  doc_ = &doc;
  cell_ = &doc;
  TMyFont def;
  def.Name = doc.FontName;
  def.Color = doc.FontColor;
  def.Charset = doc.Charset;
  fonts_.push_back(Rescaled(def));
  NewSection(0, 1);
  GetCh();
  Next();
  DoBlock(0, SymSet());
  EndLink();
  CloseSection();
  fonts_.clear();
  hooks_ = nullptr;
}

void ThvParser::HtmlParseTextString(std::string_view text, TSectionList& doc) {
  *this = ThvParser();
  in_ = text;
  doc_ = &doc;
  cell_ = &doc;
  TMyFont f;
  f.Name = doc.PreFontName;
  f.TableSize = 10;
  f.Fixed = true;
  f.Color = doc.FontColor;
  f.Charset = doc.Charset;
  f = Rescaled(f);
  // A text file is shown as it is: no comments, tags or entities.
  int c = ReadFolded();
  while (c >= 0) {
    auto s = std::make_unique<TSection>(doc_, TSectionBase::Kind::Pre, 0, 1, TFontObj{0, f, nullptr, false, TSubSup::None, nullptr});
    std::string line;
    std::vector<int> pos;
    for (; c >= 0 && c != '\r'; c = ReadFolded()) line += static_cast<char>(c), pos.push_back(sIndex_);
    if (c >= 0) c = ReadFolded();
    s->AddText(line, &pos);
    doc.Add(std::move(s));
  }
}

// ---- builders ----

void ThvParser::DoBlock(int level, const SymSet& stop) {
  if (depth_ >= kMaxNesting) {
    Next();
    return;
  }
  ++depth_;
  while (sym_ != EofSy) {
    const uint64_t before = symCount_;
    const int s = sym_;
    if (s != TableSy && IsTextLevel(s)) {
      DoTextLevel(level);
    } else if (s == TableSy) {
      if (stop[TableSy]) break;
      DoTextLevel(level);
    } else if (s == TitleSy) {
      Next();
      while (sym_ == TextSy) Title += token_, Next();
    } else if (s == BodySy) {
      DoBody();
    } else if (s == HRSy) {
      CloseSection();
      cell_->Add(std::make_unique<THorzLine>(doc_, attrs_, level));
      paraSpace_ = false;
      Next();
    } else if (s == BaseSy) {
      if (const TAttribute* a = attrs_.Find(HrefAttr)) Base = a->String;
      if (const TAttribute* a = attrs_.Find(TargetAttr)) BaseTarget = a->String;
      Next();
    } else if (IsListStart(s) || s == BlockQuoteSy) {
      CloseSection();
      DoLists(level + 1, s, stop);
      if (IsListEnd(sym_)) Next();
    } else if (s == LISy && level == 0) {
      DoLooseItem();
    } else if (s == CenterSy || s == DivSy) {
      CloseSection();
      const int saved = align_;
      align_ = s == CenterSy ? 2 : AlignOf(align_);
      NewSection(level, align_);
      Next();
      SymSet inner = stop;
      inner.set(CenterEndSy);
      inner.set(DivEndSy);
      DoBlock(level, inner);
      CloseSection();
      align_ = saved;
      NewSection(level, align_);
      if (sym_ == CenterEndSy || sym_ == DivEndSy) Next();
    } else if (s == BgSoundSy) {
      if (hooks_->OnSoundRequest && attrs_.Find(SrcAttr)) {
        const TAttribute* loop = attrs_.Find(LoopAttr);
        hooks_->OnSoundRequest(attrs_.Str(SrcAttr), loop ? loop->Value : 1, false);
      }
      Next();
    } else if (s == MetaSy) {
      DoMeta();
      Next();
    } else {
      if (stop[static_cast<size_t>(s)]) break;
      Next();
    }
    if (symCount_ == before) Next();  // never twice on the same symbol
  }
  --depth_;
}

void ThvParser::DoBody() {
  if (cell_->Sections.empty()) {
    for (const TAttribute& a : attrs_.Items()) {
      const auto color = ColorFromString(a.String);
      switch (a.Which) {
        case BgColorAttr:
          if (color) doc_->Background = *color;
          break;
        case TextAttr:
          if (color) {
            doc_->FontColor = *color;
            fonts_.front().Color = fonts_.back().Color = *color;
          }
          break;
        case LinkAttr:
          if (color) doc_->HotSpotColor = *color;
          break;
        case VLinkAttr:
          if (color) doc_->VisitedColor = *color;
          break;
        case OLinkAttr:
          if (color) doc_->OverColor = *color, doc_->OverLinksActive = true;
          break;
        case BackgroundAttr: doc_->BackgroundName = a.String; break;
        case MarginWidthAttr: doc_->MarginWidth = std::clamp(a.Value, 0, 200); break;
        case MarginHeightAttr: doc_->MarginHeight = std::clamp(a.Value, 0, 200); break;
        default: break;
      }
    }
    const int level = section_ ? section_->ListLevel : 0;
    section_.reset();
    NewSection(level, align_);
  }
  Next();
}

void ThvParser::DoMeta() {
  const std::string httpEq = attrs_.Str(HttpEquivAttr), name = attrs_.Str(NameAttr), content = attrs_.Str(ContentAttr);
  if (hooks_->OwnerIsViewer && vx::SameText(httpEq, "content-type")) {
    if (auto cs = CharsetFromContent(vx::LowerCase(content))) {
      for (TMyFont& f : fonts_) f.Charset = *cs;
      UpdateFont();
    }
  }
  if (hooks_->OnMeta) hooks_->OnMeta(httpEq, name, content);
}

void ThvParser::DoLooseItem() {
  CloseSection();
  section_ = std::make_unique<TSection>(doc_, TSectionBase::Kind::UListItem, 1, align_,
                                        TFontObj{0, CurrentFont(), link_, false, subSup_, nullptr});
  section_->IndentWidth = 15;
  SkipWhiteChars();
  Next();
  while (IsItemText(sym_)) {
    const uint64_t before = symCount_;
    DoTextLevel(1);
    if (symCount_ == before) Next();
  }
  CloseSection();
}

void ThvParser::DoLists(int level, int kind, const SymSet& stop) {
  if (depth_ >= kMaxNesting) {
    Next();
    return;
  }
  ++depth_;
  int number = 1;
  char style = '1';
  bool plain = false;
  if (kind == OLSy) {
    if (const TAttribute* a = attrs_.Find(StartAttr)) number = std::max(0, a->Value);
    if (const std::string t = attrs_.Str(TypeAttr); !t.empty()) style = t[0];
  } else if (kind == ULSy) {
    plain = attrs_.Find(PlainAttr) != nullptr;
  }
  CloseSection();
  Next();
  int itemLevel = level;
  while (sym_ != EofSy && !IsListEnd(sym_)) {
    const uint64_t before = symCount_;
    const int s = sym_;
    if (s == LISy) {
      CloseSection();
      const TFontObj font{0, CurrentFont(), link_, false, subSup_, nullptr};
      if (kind == OLSy) {
        section_ = std::make_unique<TSection>(doc_, TSectionBase::Kind::OListItem, level, align_, font);
        section_->ListNumber = number;
        section_->ListStyle = style;
        if (number < INT32_MAX) ++number;
      } else {
        section_ = std::make_unique<TSection>(doc_, TSectionBase::Kind::UListItem, level, align_, font);
        section_->NoBullet = plain;
      }
      itemLevel = level;
      SkipWhiteChars();
      Next();
      if (sym_ == PSy) Next();
    } else if (s == DDSy || s == DTSy) {
      CloseSection();
      itemLevel = s == DDSy ? level : std::max(0, level - 1);
      section_ = std::make_unique<TSection>(doc_, TSectionBase::Kind::DListItem, itemLevel, align_,
                                            TFontObj{0, CurrentFont(), link_, false, subSup_, nullptr});
      Next();
    } else if (IsListStart(s) || s == BlockQuoteSy) {
      CloseSection();
      DoLists(level + 1, s, stop);
      if (IsListEnd(sym_)) Next();
    } else if (s == CenterSy || s == DivSy) {
      SymSet inner = stop;
      for (int e : {int{OLEndSy}, int{ULEndSy}, int{DirEndSy}, int{MenuEndSy}, int{DLEndSy}, int{BlockQuoteEndSy}, int{EofSy}})
        inner.set(static_cast<size_t>(e));
      DoBlock(itemLevel, inner);
    } else if (s == HRSy) {
      CloseSection();
      cell_->Add(std::make_unique<THorzLine>(doc_, attrs_, level));
      Next();
    } else if (s == TableSy) {
      if (section_ && section_->Text.empty()) section_->Text += ' ', section_->SourcePos.push_back(-1);
      paraSpace_ = false;
      DoTable(itemLevel);
    } else if (IsTextLevel(s)) {
      DoTextLevel(itemLevel);
    } else {
      if (stop[static_cast<size_t>(s)]) {
        --depth_;
        return;
      }
      Next();
    }
    if (symCount_ == before) Next();
  }
  CloseSection();
  --depth_;
}

void ThvParser::DoTable(int level) {
  if (depth_ >= kMaxNesting) {
    Next();
    return;
  }
  ++depth_;
  EndLink();
  const size_t fontDepth = fonts_.size();
  TCell* const outer = cell_;
  const int savedAlign = align_, savedStyle = style_;
  const bool savedNobr = nobr_;
  CloseSection();
  auto table = std::make_unique<ThtmlTable>(doc_, level, attrs_);
  std::unique_ptr<TRowObj> row;
  std::unique_ptr<TCellObj> cell;
  auto closeCell = [&] {
    if (!cell) return;
    CloseSection();
    if (!row) row = std::make_unique<TRowObj>();
    row->Cells.push_back(std::move(cell));
    cell_ = outer;
  };
  auto closeRow = [&] {
    closeCell();
    if (row) table->Rows.push_back(std::move(row));
  };
  SymSet cellSet;
  for (int e : {int{TableEndSy}, int{TDSy}, int{TDEndSy}, int{TRSy}, int{TREndSy}, int{THSy}, int{THEndSy}, int{CaptionSy}, int{CaptionEndSy}})
    cellSet.set(static_cast<size_t>(e));
  Next();
  while (sym_ != TableEndSy && sym_ != EofSy) {
    const uint64_t before = symCount_;
    const int s = sym_;
    if (s == TDSy || s == THSy) {
      EndLink();
      PopFontsTo(fontDepth);
      style_ = savedStyle;
      nobr_ = attrs_.Find(NoWrapAttr) && !attrs_.Find(WidthAttr);
      if (!row) {
        row = std::make_unique<TRowObj>();
      } else {
        closeCell();
      }
      align_ = AlignOf(row->Align ? row->Align : s == THSy ? 2 : 1);
      if (s == THSy) style_ |= kBold;
      else style_ &= ~kBold;
      const std::string va = vx::LowerCase(attrs_.Str(VAlignAttr));
      const int valign = va == "top" || va == "baseline" ? 1 : va == "middle" ? 2 : va == "bottom" ? 3 : row->VAlign;
      cell = std::make_unique<TCellObj>(doc_, attrs_, valign);
      if (!cell->HasBgColor && row->HasBgColor) cell->BgColor = row->BgColor, cell->HasBgColor = true;
      cell_ = &cell->Cell;
      SkipWhiteChars();
      Next();
      paraSpace_ = true;
      DoBlock(0, cellSet);
    } else if (s == TDEndSy || s == THEndSy) {
      closeCell();
      Next();
    } else if (s == TRSy) {
      EndLink();
      closeRow();
      row = std::make_unique<TRowObj>();
      row->Align = AlignOf(0);
      const std::string va = vx::LowerCase(attrs_.Str(VAlignAttr));
      row->VAlign = va == "top" || va == "baseline" ? 1 : va == "bottom" ? 3 : 2;
      if (auto c = ColorFromString(attrs_.Str(BgColorAttr))) row->BgColor = *c, row->HasBgColor = true;
      Next();
    } else if (s == TREndSy) {
      EndLink();
      closeRow();
      Next();
    } else if (s == CaptionSy) {
      EndLink();
      PopFontsTo(fontDepth);
      style_ = savedStyle;
      nobr_ = false;
      closeCell();
      table->CaptionBelow = vx::LowerCase(attrs_.Str(AlignAttr)) == "bottom";
      table->Caption = std::make_unique<TCellObj>(doc_, TAttributeList(), 2);
      cell_ = &table->Caption->Cell;
      align_ = 2;
      Next();
      DoBlock(0, cellSet);
      CloseSection();
      cell_ = outer;
      align_ = savedAlign;
      if (sym_ == CaptionEndSy) Next();
    } else if (s != TableSy && !cellSet[static_cast<size_t>(s)] && !cell) {
      // Text outside every cell stands above the table.
      SymSet stop = cellSet;
      stop.set(TableSy);
      cell_ = outer;
      align_ = savedAlign;
      DoBlock(0, stop);
      CloseSection();
    } else {
      Next();
    }
    if (symCount_ == before) Next();
  }
  EndLink();
  PopFontsTo(fontDepth);
  closeRow();
  cell_ = outer;
  cell_->Add(std::move(table));
  style_ = savedStyle;
  nobr_ = savedNobr;
  align_ = savedAlign;
  if (sym_ == TableEndSy) Next();
  --depth_;
}

void ThvParser::DoFont(bool baseFont) {
  TMyFont f = fonts_.back();
  if (const TAttribute* a = attrs_.Find(SizeAttr)) {
    const std::string v = vx::Trim(a->String);
    const bool relative = !v.empty() && (v[0] == '+' || v[0] == '-');
    const int64_t idx = std::clamp<int64_t>(relative ? int64_t{baseIndex_} + a->Value : a->Value, 1, 7);
    if (baseFont) baseIndex_ = static_cast<int>(idx);
    f.TableSize = inPre_ ? kPreFontSizes[idx] : kFontSizes[idx];
  }
  if (baseFont) {
    fonts_.back() = Rescaled(f);
    UpdateFont();
    return;
  }
  if (auto c = ColorFromString(attrs_.Str(ColorAttr))) f.Color = *c;
  if (const std::string face = attrs_.Str(FaceAttr); !face.empty()) f.Name = face.substr(0, 50);
  PushFont(f);
}

void ThvParser::DoSelect(int level) {
  OpenSection(level);
  ThtmlForm* form = EnsureForm();
  form->Controls.push_back(NewFormControl(form, "select", attrs_));
  TFormControlObj* control = form->Controls.back().get();
  section_->AddFormControl(control);
  Next();
  while (sym_ == OptionSy || sym_ == OptionEndSy || sym_ == TextSy) {
    if (sym_ == OptionSy) {
      control->Options.push_back({"", attrs_.Str(ValueAttr), attrs_.Find(SelectedAttr) != nullptr});
    } else if (sym_ == TextSy && !control->Options.empty() && control->Options.back().Text.size() < 1000) {
      control->Options.back().Text += token_;
    }
    Next();
  }
  for (TOptionObj& o : control->Options) o.Text = vx::Trim(o.Text);
  if (sym_ == SelectEndSy) Next();
}

void ThvParser::DoMap() {
  auto map = std::make_unique<TMapItem>();
  map->Name = vx::UpperCase(attrs_.Str(NameAttr));
  Next();
  int others = 0;
  while (sym_ != EofSy) {
    if (sym_ == AreaSy) {
      if (map->Areas.size() < 1000) map->AddArea(attrs_);
    } else if (sym_ == MapEndSy) {
      doc_->Maps.push_back(std::move(map));
      Next();
      return;
    } else if (sym_ != TextSy && ++others >= 3) {
      return;
    }
    Next();
  }
}

void ThvParser::DoTextLevel(int level) {
  // Each family takes the symbols it knows; anything else is skipped.
  if (DoStyleTag(level) || DoFontTag() || DoHeadingTag(level) || DoBreakTag(level) || DoLinkTag(level) ||
      DoFormTag(level) || DoContentTag(level))
    return;
  Next();
}

bool ThvParser::DoStyleTag(int level) {
  const int s = sym_;
  auto style = [&](int bit, bool on) {
    style_ = on ? style_ | bit : style_ & ~bit;
    UpdateFont();
    Next();
  };
  switch (s) {
    case BSy: case StrongSy: style(kBold, true); return true;
    case BEndSy: case StrongEndSy: style(kBold, false); return true;
    case ISy: case EmSy: case CiteSy: case VarSy: style(kItalic, true); return true;
    case IEndSy: case EmEndSy: case CiteEndSy: case VarEndSy: style(kItalic, false); return true;
    case USy: style(kUnderline, true); return true;
    case UEndSy: style(kUnderline, false); return true;
    case SSy: case StrikeSy: style(kStrike, true); return true;
    case SEndSy: case StrikeEndSy: style(kStrike, false); return true;
    case SubSy: case SupSy:
      OpenSection(level);
      subSup_ = s == SubSy ? TSubSup::Sub : TSubSup::Sup;
      UpdateFont();
      Next();
      return true;
    case SubEndSy: case SupEndSy:
      subSup_ = TSubSup::None;
      UpdateFont();
      Next();
      return true;
    default:
      return false;
  }
}

bool ThvParser::DoFontTag() {
  const int s = sym_;
  switch (s) {
    case TTSy: case CodeSy: case KbdSy: case SampSy: {
      TMyFont f = fonts_.back();
      f.Name = doc_->PreFontName;
      f.TableSize = 10;
      f.Fixed = true;
      PushFont(f);
      Next();
      return true;
    }
    case TTEndSy: case CodeEndSy: case KbdEndSy: case SampEndSy: case FontEndSy: case BigEndSy: case SmallEndSy:
      PopFont();
      Next();
      return true;
    case FontSy: case BaseFontSy:
      DoFont(s == BaseFontSy);
      Next();
      return true;
    case BigSy: case SmallSy: {
      TMyFont f = fonts_.back();
      int idx = 0;
      for (int i = 1; i <= 7; ++i)
        if (kFontSizes[i] == f.TableSize) idx = i;
      // An unknown size stays as it is; the end tag still pops the copy.
      if (s == BigSy && idx >= 1 && idx <= 6) f.TableSize = kFontSizes[idx + 1];
      if (s == SmallSy && idx >= 2) f.TableSize = kFontSizes[idx - 1];
      PushFont(f);
      Next();
      return true;
    }
    default:
      return false;
  }
}

bool ThvParser::DoHeadingTag(int level) {
  switch (sym_) {
    case HSy: {
      if (fonts_.size() >= static_cast<size_t>(kMaxFontStack)) {
        Next();
        return true;
      }
      CloseSection();
      TMyFont f = fonts_.back();
      f.Bold = true;
      f.TableSize = kHeadingSizes[heading_];
      PushFont(f);
      cell_->Add(std::make_unique<THeadingSpace>(doc_, heading_));
      paraSpace_ = false;
      NewSection(level, AlignOf(align_));
      Next();
      return true;
    }
    case HEndSy:
      if (fonts_.size() > 1) {
        CloseSection();
        cell_->Add(std::make_unique<THeadingSpace>(doc_, heading_));
        PopFont();
      }
      Next();
      return true;
    case AddressSy: {
      CloseSection();
      TMyFont f = fonts_.back();
      f.Italic = true;
      PushFont(f);
      NewSection(level, align_);
      Next();
      return true;
    }
    case AddressEndSy:
      CloseSection();
      PopFont();
      Next();
      return true;
    default:
      return false;
  }
}

bool ThvParser::DoBreakTag(int level) {
  const int s = sym_;
  switch (s) {
    case PSy: case PEndSy: {
      CloseSection();
      if (!paraSpace_) {
        cell_->Add(std::make_unique<TParagraphSpace>(doc_));
        paraSpace_ = true;
      }
      int align = s == PSy ? AlignOf(align_) : align_;
      SkipWhiteChars();
      Next();
      while (sym_ == PSy || sym_ == PEndSy) {
        if (sym_ == PSy) align = AlignOf(align_);
        SkipWhiteChars();
        Next();
      }
      NewSection(level, align);
      return true;
    }
    case BRSy: {
      paraSpace_ = false;
      int align = align_;
      if (section_) {
        if (section_->Text.empty()) section_->Text += ' ', section_->SourcePos.push_back(-1);
        align = section_->Align;
      }
      NewSection(level, align);
      if (const TAttribute* a = attrs_.Find(ClearAttr)) {
        const std::string c = vx::LowerCase(a->String);
        section_->Clear = c == "left" ? 1 : c == "right" ? 2 : 3;
      }
      Next();
      return true;
    }
    case NoBrSy: case NoBrEndSy:
      nobr_ = s == NoBrSy;
      Next();
      return true;
    case WbrSy:
      if (nobr_ && section_) section_->Text += ' ', section_->SourcePos.push_back(-1);
      Next();
      return true;
    default:
      return false;
  }
}

bool ThvParser::DoLinkTag(int level) {
  switch (sym_) {
    case ASy:
      EndLink();
      if (const TAttribute* a = attrs_.Find(NameAttr)) {
        OpenSection(level);
        doc_->Anchors.push_back({a->String, section_.get(), static_cast<int>(section_->Text.size())});
      }
      if (const TAttribute* a = attrs_.Find(HrefAttr)) {
        link_ = std::make_shared<TUrlTarget>(TUrlTarget{vx::Trim(a->String), attrs_.Str(TargetAttr)});
        TMyFont f = fonts_.back();
        f.Color = doc_->HotSpotColor;
        f.Underline = !doc_->NoLinkUnderline;
        linkDepth_ = PushFont(f) ? fonts_.size() : 0;
        UpdateFont();
      }
      Next();
      return true;
    case AEndSy:
      EndLink();
      Next();
      return true;
    default:
      return false;
  }
}

bool ThvParser::DoFormTag(int level) {
  switch (sym_) {
    case FormSy:
      doc_->Forms.push_back(std::make_unique<ThtmlForm>(attrs_));
      form_ = doc_->Forms.back().get();
      Next();
      return true;
    case FormEndSy:
      form_ = nullptr;
      Next();
      return true;
    case InputSy: {
      paraSpace_ = false;
      std::string kind = vx::LowerCase(attrs_.Str(TypeAttr));
      static const char* const kKinds[] = {"text", "password", "submit", "reset", "button", "radio", "checkbox", "hidden", "image"};
      if (std::find(std::begin(kKinds), std::end(kKinds), kind) == std::end(kKinds)) kind = "text";
      ThtmlForm* form = EnsureForm();
      form->Controls.push_back(NewFormControl(form, kind, attrs_));
      if (kind != "hidden") {
        OpenSection(level);
        section_->AddFormControl(form->Controls.back().get());
      }
      Next();
      return true;
    }
    case SelectSy:
      paraSpace_ = false;
      DoSelect(level);
      return true;
    case TextAreaSy: {
      paraSpace_ = false;
      OpenSection(level);
      ThtmlForm* form = EnsureForm();
      form->Controls.push_back(NewFormControl(form, "textarea", attrs_));
      form->Controls.back()->Text = ReadRaw("TEXTAREA", true);
      section_->AddFormControl(form->Controls.back().get());
      if (!AtEof()) GetCh();
      Next();
      return true;
    }
    default:
      return false;
  }
}

bool ThvParser::DoContentTag(int level) {
  switch (sym_) {
    case ImgSy:
      paraSpace_ = false;
      OpenSection(level);
      section_->AddImage(std::make_unique<TImageObj>(attrs_));
      Next();
      return true;
    case PreSy:
      DoPre(level);
      return true;
    case TableSy:
      paraSpace_ = false;
      DoTable(level);
      return true;
    case MapSy:
      DoMap();
      return true;
    case ScriptSy: {
      const std::string language = attrs_.Str(LanguageAttr), name = attrs_.Str(NameAttr);
      const std::string script = ReadRaw("SCRIPT", false);
      if (!AtEof()) GetCh();
      if (hooks_ && hooks_->OnScript) hooks_->OnScript(name, language, script);
      Next();
      return true;
    }
    case TextSy:
      paraSpace_ = false;
      OpenSection(level);
      section_->AddText(token_, &tokPos_);
      Next();
      return true;
    default:
      return false;
  }
}

void ThvParser::DoPre(int level) {
  CloseSection();
  TMyFont f = fonts_.back();
  f.Name = doc_->PreFontName;
  f.TableSize = 10;
  f.Fixed = true;
  const bool pushed = PushFont(f);
  const size_t preDepth = fonts_.size();
  section_ = std::make_unique<TSection>(doc_, TSectionBase::Kind::Pre, level, 1, TFontObj{0, CurrentFont(), link_, false, subSup_, nullptr});
  inPre_ = true;
  Next();
  for (;;) {
    const uint64_t before = symCount_;
    const int s = sym_;
    if (s == EofSy || s == PreEndSy || s == TDEndSy || s == THEndSy) break;
    switch (s) {
      case TextSy:
        section_->AddText(token_, &tokPos_);
        Next();
        break;
      case PSy: case BRSy:
        section_->AddText("\r");
        Next();
        break;
      case FontEndSy:
        if (fonts_.size() > preDepth) PopFont();
        Next();
        break;
      case BSy: case BEndSy: case ISy: case IEndSy: case EmSy: case EmEndSy: case StrongSy: case StrongEndSy:
      case USy: case UEndSy: case CiteSy: case CiteEndSy: case VarSy: case VarEndSy: case SSy: case SEndSy:
      case StrikeSy: case StrikeEndSy: case FontSy: case BaseFontSy: case ASy: case AEndSy: case ImgSy:
      case InputSy: case SelectSy: case TextAreaSy: case FormSy: case FormEndSy: case MapSy: case ScriptSy:
        DoTextLevel(level);
        break;
      default:
        Next();
        break;
    }
    if (!section_) break;  // nothing above reopens the block, but stay safe
    if (symCount_ == before) Next();
  }
  CloseSection();
  inPre_ = false;
  if (pushed) PopFontsTo(preDepth - 1);
  if (sym_ != EofSy) Next();
}
