#pragma once
// ThtmlView: loads an HTML page (or a picture) from disk, has it parsed and laid out, keeps the
// scroll model, history and visited links, follows links, and paints the visible page into a
// caller's canvas. It is a plain object: the window it would live in is replaced by a host that
// invalidates, posts messages, runs timers and says where the pointer is.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "html/HtmlDocument.h"
#include "html/HtmlParser.h"
#include "html/HtmlPictures.h"
#include "platform/Events.h"

// A page that cannot be loaded.
class EhtmlViewError : public Exception {
public:
  using Exception::Exception;
};

enum class THTMLBorderStyle { htFocused, htNone, htSingle };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum ThtmlViewOption : unsigned {
  htOverLinksActive = 1,
  htNoLinkUnderline = 2,
  htShowDummyCaret = 4,
  htShowVScroll = 8,
};
using ThtmlViewOptions = unsigned;

// What the viewer needs from the screen it lives on. Every member has a harmless default.
class ThtmlViewHost {
public:
  virtual ~ThtmlViewHost() = default;
  // The panel's picture is out of date.
  virtual void Invalidate() {}
  // Deliver `message` to ThtmlView::HandleMessage later, after the current event.
  virtual void Post(int /*message*/) {}
  // A periodic timer; 0 when none can be made.
  virtual int StartTimer(uint32_t /*intervalMs*/, std::function<void()> /*tick*/) { return 0; }
  virtual void StopTimer(int /*id*/) {}
  // Whether the screen pointer is over the paint panel now.
  virtual bool PointerOverPanel() { return true; }
  virtual void SetCursor(int /*cursor*/) {}
  virtual uint32_t NowMs() { return 0; }
};

// A scroll bar's model: shown or not, its range and position.
struct ThtmlScrollBar {
  bool Visible = false, Enabled = true;
  int Position = 0, Max = 0, Page = 0;
  int SmallChange = 16, LargeChange = 0;
};

class ThtmlView {
public:
  // Cursors the viewer asks the host for.
  enum Cursor { crDefault = 0, crHand = 1, crBeam = 2, crUpDown = 3, crUpOnly = 4, crDownOnly = 5 };
  // Messages posted through the host.
  static constexpr int kFormSubmitMessage = 0x400 + 100;
  static constexpr int kAutoScrollMessage = 0x400 + 102;
  static constexpr int kScrollBarWidth = 16;
  static constexpr int kMaxScrollWidth = 6000;
  static constexpr uint32_t kOverLinkCheckMs = 200;
  static constexpr uint32_t kAutoScrollMs = 100;

  explicit ThtmlView(ThtmlViewHost* host = nullptr);
  ~ThtmlView();
  ThtmlView(const ThtmlView&) = delete;
  ThtmlView& operator=(const ThtmlView&) = delete;

  // ---- Properties.
  int Width() const { return width_; }
  int Height() const { return height_; }
  // A size change lays the page out again and keeps the position.
  void SetBounds(int left, int top, int width, int height);
  int Left = 0, Top = 0;
  bool Visible = true;

  bool ViewImages() const { return doc_.ViewImages; }
  void SetViewImages(bool value);
  TColor DefBackground() const { return defBackground_; }
  void SetDefBackground(TColor value);
  THTMLBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(THTMLBorderStyle value);
  int HistoryMaxCount() const { return historyMaxCount_; }
  void SetHistoryMaxCount(int value);
  const std::string& DefFontName() const { return defFontName_; }
  void SetDefFontName(const std::string& value);
  const std::string& DefPreFontName() const { return defPreFontName_; }
  void SetDefPreFontName(const std::string& value);
  int DefFontSize() const { return defFontSize_; }
  void SetDefFontSize(int value);
  TColor DefFontColor() const { return defFontColor_; }
  void SetDefFontColor(TColor value);
  TColor DefHotSpotColor = vx::clBlue, DefVisitedLinkColor = vx::clPurple, DefOverLinkColor = vx::clBlue;
  int VisitedMaxCount() const { return visitedMaxCount_; }
  void SetVisitedMaxCount(int value);
  int ImageCacheCount() const { return imageCacheCount_; }
  void SetImageCacheCount(int value);
  bool NoSelect() const { return noSelect_; }
  void SetNoSelect(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  int CharSet() const { return doc_.Charset; }
  void SetCharSet(int value);
  int MarginHeight() const { return marginHeight_; }
  void SetMarginHeight(int value);
  int MarginWidth() const { return marginWidth_; }
  void SetMarginWidth(int value);
  const std::string& ServerRoot() const { return serverRoot_; }
  void SetServerRoot(const std::string& value);
  ThtmlViewOptions htOptions() const { return options_; }
  void SethtOptions(ThtmlViewOptions value);

  // ---- Events.
  std::function<void(const std::string& src)> OnHotSpotCovered;
  std::function<void(const std::string& src, bool& handled)> OnHotSpotClick;
  std::function<void()> OnHistoryChange;
  std::function<void(bool processingOn)> OnProcessing;
  std::function<void(const std::string& httpEq, const std::string& name, const std::string& content)> OnMeta;
  std::function<void(int delay, const std::string& url)> OnMetaRefresh;
  std::function<void(const std::string& src, int loop, bool terminate)> OnSoundRequest;
  std::function<void(const std::string& command, const ThvParser::IncludeParams& params, std::string& text)> OnInclude;
  std::function<void(const std::string& name, const std::string& language, const std::string& script)> OnScript;
  std::function<void(const std::string& action, const std::string& target, const std::string& encType,
                     const std::string& method, const std::vector<std::string>& results)>
      OnFormSubmit;
  std::function<void(TImageObj* image, int button, vx::TShiftState shift, int x, int y)> OnImageClick;
  std::function<void(TImageObj* image, vx::TShiftState shift, int x, int y)> OnImageOver;
  struct TRightClickParameters {
    std::string URL, Target, ClickWord;
    TImageObj* Image = nullptr;
    int ImageX = 0, ImageY = 0;
  };
  std::function<void(const TRightClickParameters& params)> OnRightClick;
  std::function<void(int button, vx::TShiftState shift, int x, int y)> OnMouseDouble;
  // Replaces the picture loader: a picture's full file name to a picture (tests serve their own).
  std::function<std::shared_ptr<const ThtmlPicture>(const std::string& fileName)> PictureLoader;
  // The pictures of the page: read from the page's folder, cached (ImageCacheCount), or
  // served by its OnImageRequest hook.
  ThtmlPictureLoader& Pictures() { return pictures_; }

  // ---- Loading.
  // Loads an HTML page (a "#name" after the file scrolls to that anchor) and records the
  // old page in the history. A missing file raises EhtmlViewError "Can't locate file: "; a
  // parse error propagates. Either way the viewer is left usable (not processing).
  void LoadFromFile(const std::string& name);
  void LoadImageFile(const std::string& name);
  void Clear();
  void ClearHistory();
  bool Processing() const { return processing_; }

  // ---- State.
  const std::string& CurrentFile() const { return currentFile_; }
  const std::string& DocumentTitle() const { return title_; }
  int DocType() const { return docType_; }
  // The URL of the link under the mouse or being clicked.
  const std::string& GetURL() const { return url_; }
  const std::string& Target() const { return target_; }
  TSectionList& Document() { return doc_; }
  const TSectionList& Document() const { return doc_; }
  int DocumentHeight() const { return docHeight_; }
  int ScrollWidth() const { return scrollWidth_; }
  const ThtmlScrollBar& VScrollBar() const { return vbar_; }
  const ThtmlScrollBar& HScrollBar() const { return hbar_; }
  int PanelWidth() const { return panelWidth_; }
  int PanelHeight() const { return panelHeight_; }
  int SelStart() const { return doc_.SelStart; }
  int SelEnd() const { return doc_.SelEnd; }
  std::string SelText() const;
  int Cursor() const { return cursor_; }
  bool ScrollMode() const { return midScroll_; }
  bool AutoScrolling() const { return autoScroll_; }

  // ---- Scrolling.
  int Position() const { return vbar_.Position; }
  void SetPosition(int y);
  void ScrollTo(int y);
  int HPosition() const { return hbar_.Position; }
  void SetHPosition(int x);
  bool PositionTo(std::string dest);

  // The saved place of a view: the section at the top and the offset into it, kept apart so
  // that a long section cannot spill its offset into the section number.
  struct TViewPosition {
    int Section = -1;
    int Offset = 0;
    bool operator==(const TViewPosition&) const = default;
  };
  TViewPosition GetViewPosition() const;
  void SetViewPosition(const TViewPosition& p);

  // ---- History and visited links.
  struct THistoryItem {
    std::string File, Title;
    TViewPosition Pos;
    int Type = 0;
  };
  const std::vector<THistoryItem>& History() const { return history_; }
  int HistoryIndex() const { return historyIndex_; }
  // Shows the history entry at index (0 the newest); false when there is none.
  bool GoHistory(int index);
  bool GoBack() { return GoHistory(historyIndex_ + 1); }
  bool GoForward() { return GoHistory(historyIndex_ - 1); }
  const std::vector<std::string>& Visited() const { return visited_; }

  // Resolves a link's file name against the document base or the current file's folder.
  virtual std::string HtmlExpandFilename(const std::string& name) const;
  // Follows the link in GetURL().
  virtual void HotSpotClick();

  // ---- Input (panel coordinates).
  void MouseDown(int button, vx::TShiftState shift, int x, int y);
  void MouseMove(vx::TShiftState shift, int x, int y);
  void MouseUp(int button, vx::TShiftState shift, int x, int y);
  void DoubleClick(int button, vx::TShiftState shift, int x, int y);
  // Arrows, page keys, Home and End scroll; the key is set to 0 when used.
  void KeyDown(uint16_t& key, vx::TShiftState shift);
  void HandleMessage(int message);
  // The word of letters and digits around a character index.
  std::string WordAt(int index) const;

  // ---- Painting: the visible page into the canvas's clip rectangle (panel coordinates).
  void PaintToBitmap(vx::Canvas& canvas);

private:
  struct ProcessingGuard;
  // Loads and records the page it replaces in the history.
  void LoadRecorded(const std::string& name, int type);
  void LoadFile(const std::string& name, int type);
  void ParseText(const std::string& text, int type);
  void DoLayout();
  void SetupScrollBars();
  void Relayout();
  void AddHistory(const std::string& oldFile, const std::string& oldTitle, const TViewPosition& oldPos, int oldType);
  void AddVisited(const std::string& url);
  std::string ExpandLink(const std::string& url) const;
  void MarkAllVisited();
  void SetProcessing(bool on);
  void Invalidate();
  void SetCursor(int c);
  void StartOverTimer();
  void StopOverTimer();
  void OverTimerTick();
  void AutoScrollTick();
  bool AutoScrollWanted() const;
  void ExtendSelection(int x, int y);
  int CharAt(int x, int y) const;
  void UpdateAnimationTimer();
  void StopTimer(int& id);
  void InitDocument();
  void MetaHook(const std::string& httpEq, const std::string& name, const std::string& content);
  int DocX(int x) const { return x - marginWidth_ + hbar_.Position; }
  int DocY(int y) const { return y + vbar_.Position; }

  ThtmlViewHost defaultHost_;
  ThtmlPictureLoader pictures_;
  ThtmlViewHost* host_;
  ThvParser parser_;
  TSectionList doc_;
  int left_ = 0, top_ = 0, width_ = 150, height_ = 150;
  TColor defBackground_ = vx::clBtnFace, defFontColor_ = vx::clBtnText;
  THTMLBorderStyle borderStyle_ = THTMLBorderStyle::htFocused;
  int historyMaxCount_ = 0, visitedMaxCount_ = 50, imageCacheCount_ = 5;
  std::string defFontName_ = "Times New Roman", defPreFontName_ = "Courier New";
  int defFontSize_ = 12;
  bool noSelect_ = false;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  int marginHeight_ = 5, marginWidth_ = 10;
  int curMarginHeight_ = 5, curMarginWidth_ = 10;
  std::string serverRoot_;
  ThtmlViewOptions options_ = 0;

  std::string currentFile_, title_, base_, baseTarget_;
  int docType_ = 0;
  std::string url_, target_;
  bool processing_ = false, painting_ = false;
  int selAnchor_ = -1, caret_ = 0;
  int docHeight_ = 0, scrollWidth_ = 0;
  int panelWidth_ = 150, panelHeight_ = 150;
  ThtmlScrollBar vbar_, hbar_;
  int cursor_ = crDefault;

  std::vector<THistoryItem> history_;
  int historyIndex_ = 0;
  std::vector<std::string> visited_;

  struct Submission {
    std::string Action, Target, EncType, Method;
    std::vector<std::string> Results;
  } submission_;
  std::shared_ptr<const ThtmlPicture> background_;
  int refreshDelay_ = 0;
  std::string refreshUrl_;

  // The mouse state machine.
  bool leftDownHere_ = false, selecting_ = false, midScroll_ = false, autoScroll_ = false;
  int midScrollY_ = 0;
  int lastX_ = 0, lastY_ = 0;
  int overTimer_ = 0, autoTimer_ = 0, animTimer_ = 0;
};
