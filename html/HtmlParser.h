#pragma once
// ThvParser: turns the text of an HTML page (or a plain text file) into a `TSectionList`.
// A hand-written scanner with one symbol of look-ahead and recursive-descent builders for
// the block, list, table and text levels.
#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Exception.h"
#include "html/HtmlDocument.h"

// A page that cannot be read (an open comment at its end).
class EParseError : public Exception {
public:
  using Exception::Exception;
};

class ThvParser {
public:
  using IncludeParams = std::vector<std::pair<std::string, std::string>>;
  struct Hooks {
    std::function<void(const std::string& httpEq, const std::string& name, const std::string& content)> OnMeta;
    std::function<void(const std::string& src, int loop, bool terminate)> OnSoundRequest;
    std::function<void(const std::string& command, const IncludeParams& params, std::string& text)> OnInclude;
    std::function<void(const std::string& name, const std::string& language, const std::string& script)> OnScript;
    bool OwnerIsViewer = true;  // META content types set the charset only for the viewer
  };

  static constexpr int kMaxFontStack = 25;
  static constexpr int kMaxNesting = 200;

  // The HTML entry: builds the page into the (cleared) document.
  void HtmlParseString(std::string_view text, TSectionList& doc, const Hooks& hooks);
  void HtmlParseString(std::string_view text, TSectionList& doc) { HtmlParseString(text, doc, Hooks()); }
  // The plain-text entry: every line a preformatted section.
  void HtmlParseTextString(std::string_view text, TSectionList& doc);

  std::string Title, Base, BaseTarget;

private:
  using SymSet = std::bitset<256>;

  // Reader.
  int RawNext();
  int RawPeek(size_t ahead = 0) const;
  int ReadFolded();
  void GetCh();
  void SkipComment();
  // Up to a run of two or more '-' followed (after spaces and line ends) by '>'.
  void SkipToCommentEnd();
  void ReadInclude();
  bool AtEof() const { return eof_ && Ch == 26; }
  unsigned char UCh() const { return static_cast<unsigned char>(Ch); }
  bool IsLetter() const { return LCh >= 'A' && LCh <= 'Z'; }
  void SkipWhiteChars();
  // Scanner.
  void Next();
  bool ScanTag();
  void ReadAttributes(bool keep);
  std::string ReadEntity();
  void ScanText();
  std::string ReadRaw(std::string_view endTag, bool entities);

  // Builders.
  void DoBlock(int level, const SymSet& stop);
  void DoLooseItem();
  void DoLists(int level, int kind, const SymSet& stop);
  void DoTable(int level);
  // One text-level construct; each Do*Tag below handles one family of tags and says whether
  // the current symbol was one of its own.
  void DoTextLevel(int level);
  bool DoStyleTag(int level);
  bool DoFontTag();
  bool DoHeadingTag(int level);
  bool DoBreakTag(int level);
  bool DoLinkTag(int level);
  bool DoFormTag(int level);
  bool DoContentTag(int level);
  void DoPre(int level);
  void DoBody();
  void DoMeta();
  void DoFont(bool baseFont);
  void DoSelect(int level);
  void DoMap();

  // Sections and fonts.
  TMyFont CurrentFont() const;
  TMyFont Rescaled(TMyFont f) const;
  void NewSection(int level, int align);
  void OpenSection(int level);
  void CloseSection();
  void UpdateFont();
  bool PushFont(const TMyFont& f);
  void PopFont();
  void PopFontsTo(size_t depth);
  void EndLink();
  ThtmlForm* EnsureForm();
  int AlignOf(int def) const;

  // Reader state.
  std::string_view in_;
  size_t pos_ = 0;
  std::string inc_;
  size_t incPos_ = 0;
  bool inInclude_ = false;
  char Ch = 0, LCh = 0;
  bool eof_ = false;
  int sIndex_ = 0;
  const Hooks* hooks_ = nullptr;

  // Scanner state.
  int sym_ = 0;
  int heading_ = 0;
  std::string token_;
  std::vector<int> tokPos_;
  TAttributeList attrs_;
  uint64_t symCount_ = 0;

  // Builder state.
  TSectionList* doc_ = nullptr;
  TCell* cell_ = nullptr;
  std::unique_ptr<TSection> section_;
  std::vector<TMyFont> fonts_;
  int align_ = 1;
  int baseIndex_ = 3;
  enum Style { kBold = 1, kItalic = 2, kUnderline = 4, kStrike = 8 };
  int style_ = 0;
  TSubSup subSup_ = TSubSup::None;
  bool inPre_ = false, nobr_ = false, paraSpace_ = false;
  std::shared_ptr<TUrlTarget> link_;
  size_t linkDepth_ = 0;  // font depth of the link font, 0 when none was pushed
  ThtmlForm* form_ = nullptr;
  int depth_ = 0;
};
