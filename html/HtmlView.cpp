#include "html/HtmlView.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/StrUtils.h"
#include "html/HtmlResources.h"
#include "html/HtmlUrls.h"
#include "platform/KeyMap.h"

namespace fs = std::filesystem;

namespace {

// Help pages are small; a bigger file is not a page.
constexpr std::uintmax_t kMaxPageFile = 16u << 20;

// Escapes decoded, "file://" dropped, backslashes as slashes.
std::string CleanUrl(std::string_view in) {
  std::string s = HtmlUrlDecode(in);
  if (vx::LowerCase(s.substr(0, 7)) == "file://") s.erase(0, 7);
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

bool IsWordChar(unsigned char c) { return std::isalnum(c) || c >= 192; }

void SplitDest(const std::string& url, std::string& file, std::string& dest) {
  const size_t hash = url.find('#');
  file = url.substr(0, hash);
  dest = hash == std::string::npos ? std::string() : url.substr(hash);
}

}  // namespace

// Processing on for a whole load; off (and OnProcessing(false)) however the load ends.
struct ThtmlView::ProcessingGuard {
  explicit ProcessingGuard(ThtmlView& v) : view(v) { view.SetProcessing(true); }
  ~ProcessingGuard() { view.SetProcessing(false); }
  ThtmlView& view;
};

ThtmlView::ThtmlView(ThtmlViewHost* host) : host_(host ? host : &defaultHost_) {
  doc_.GetPicture = [this](const std::string& src) -> std::shared_ptr<const ThtmlPicture> {
    return PictureLoader ? PictureLoader(HtmlExpandFilename(src)) : pictures_.Get(src);
  };
  // A submission is delivered after the click that made it has been handled.
  doc_.OnFormSubmit = [this](const std::string& action, const std::string& target, const std::string& encType,
                             const std::string& method, const std::vector<std::string>& results) {
    submission_ = {action, target, encType, method, results};
    host_->Post(kFormSubmitMessage);
  };
  // A control taking the focus out of sight is scrolled in, 20 pixels clear of the bottom.
  doc_.OnControlFocus = [this](TFormControlObj* c) {
    if (c->Y < vbar_.Position) ScrollTo(c->Y);
    else if (c->Y + c->Height > vbar_.Position + panelHeight_) ScrollTo(c->Y + c->Height + 20 - panelHeight_);
  };
  ThtmlResources::Acquire();
  InitDocument();
}

ThtmlView::~ThtmlView() {
  ThtmlResources::Release();
  StopTimer(overTimer_);
  StopTimer(autoTimer_);
  StopTimer(animTimer_);
}

void ThtmlView::InitDocument() {
  doc_.FontName = defFontName_;
  doc_.PreFontName = defPreFontName_;
  doc_.FontSize = defFontSize_;
  doc_.FontColor = defFontColor_;
  doc_.Background = defBackground_;
  doc_.HotSpotColor = DefHotSpotColor;
  doc_.VisitedColor = DefVisitedLinkColor;
  doc_.OverColor = DefOverLinkColor;
  doc_.OverLinksActive = (options_ & htOverLinksActive) != 0;
  doc_.NoLinkUnderline = (options_ & htNoLinkUnderline) != 0;
}

void ThtmlView::SetProcessing(bool on) {
  if (processing_ == on) return;
  processing_ = on;
  if (OnProcessing) OnProcessing(on);
}

void ThtmlView::Invalidate() { host_->Invalidate(); }

void ThtmlView::SetCursor(int c) {
  if (cursor_ == c) return;
  cursor_ = c;
  host_->SetCursor(c);
}

void ThtmlView::StopTimer(int& id) {
  if (id != 0) host_->StopTimer(id);
  id = 0;
}

// ---------------------------------------------------------------------------------------
// Properties

void ThtmlView::SetBounds(int left, int top, int width, int height) {
  Left = left, Top = top;
  width = std::max(width, 1), height = std::max(height, 1);
  if (width == width_ && height == height_) return;
  width_ = width, height_ = height;
  if (processing_) {
    SetupScrollBars();
  } else {
    Relayout();
  }
  hbar_.Position = std::clamp(hbar_.Position, 0, std::max(0, hbar_.Max - hbar_.Page));
}

void ThtmlView::SetViewImages(bool value) {
  if (value == doc_.ViewImages || processing_) return;
  doc_.ViewImages = value;
  Relayout();
}

void ThtmlView::SetDefBackground(TColor value) {
  if (processing_) return;
  defBackground_ = value;
  doc_.Background = value;
  Invalidate();
}

void ThtmlView::SetBorderStyle(THTMLBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  if (!processing_) Relayout();
}

void ThtmlView::SetHistoryMaxCount(int value) {
  if (value < 0) return;
  const bool lower = value < historyMaxCount_;
  historyMaxCount_ = value;
  if (lower) ClearHistory();
}

void ThtmlView::SetDefFontName(const std::string& value) {
  if (vx::SameText(value, defFontName_)) return;
  defFontName_ = value.substr(0, 32);
  doc_.FontName = defFontName_;
  doc_.ApplyDefaultFonts();
  Invalidate();
}

void ThtmlView::SetDefPreFontName(const std::string& value) {
  if (vx::SameText(value, defPreFontName_)) return;
  defPreFontName_ = value.substr(0, 32);
  doc_.PreFontName = defPreFontName_;
  doc_.ApplyDefaultFonts();
  Invalidate();
}

void ThtmlView::SetDefFontSize(int value) {
  defFontSize_ = std::max(value, 6);
  doc_.FontSize = defFontSize_;
}

void ThtmlView::SetDefFontColor(TColor value) {
  defFontColor_ = value;
  doc_.FontColor = value;
  Invalidate();
}

void ThtmlView::SetVisitedMaxCount(int value) {
  value = std::max(value, 0);
  if (value == visitedMaxCount_) return;
  visitedMaxCount_ = value;
  if (value == 0) {
    visited_.clear();
    doc_.MarkVisited([](const std::string&) { return false; });
    Invalidate();
  } else if (static_cast<int>(visited_.size()) > value) {
    visited_.resize(static_cast<size_t>(value));
  }
}

void ThtmlView::SetImageCacheCount(int value) {
  imageCacheCount_ = std::clamp(value, 0, 20);
  pictures_.Cache.SetCapacity(imageCacheCount_);
}

void ThtmlView::SetNoSelect(bool value) {
  noSelect_ = value;
  if (value) {
    doc_.SelStart = doc_.SelEnd = -1;
    selAnchor_ = -1;
    Invalidate();
  }
}

void ThtmlView::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  if (processing_) return;
  {
    ProcessingGuard guard(*this);
    DoLayout();
  }
  Invalidate();
}

void ThtmlView::SetCharSet(int value) {
  doc_.Charset = value;
  if (!currentFile_.empty()) {
    doc_.ApplyDefaultFonts();
    Invalidate();
  }
}

void ThtmlView::SetMarginHeight(int value) {
  if (processing_ || value < 0) return;
  marginHeight_ = curMarginHeight_ = std::min(value, 200);
  Relayout();
}

void ThtmlView::SetMarginWidth(int value) {
  if (processing_ || value < 0) return;
  marginWidth_ = curMarginWidth_ = std::min(value, 200);
  Relayout();
}

void ThtmlView::SetServerRoot(const std::string& value) {
  serverRoot_ = value;
  while (!serverRoot_.empty() && (serverRoot_.back() == '/' || serverRoot_.back() == '\\')) serverRoot_.pop_back();
  pictures_.ServerRoot = serverRoot_;
}

void ThtmlView::SethtOptions(ThtmlViewOptions value) {
  options_ = value;
  doc_.OverLinksActive = (value & htOverLinksActive) != 0;
  doc_.NoLinkUnderline = (value & htNoLinkUnderline) != 0;
  if (!doc_.OverLinksActive) doc_.OverUrl = nullptr;
  if (!processing_) SetupScrollBars();
  Invalidate();
}

// ---------------------------------------------------------------------------------------
// Loading

void ThtmlView::LoadFromFile(const std::string& name) { LoadRecorded(name, 0); }

void ThtmlView::LoadImageFile(const std::string& name) { LoadRecorded(name, 2); }

void ThtmlView::LoadRecorded(const std::string& name, int type) {
  if (processing_ || name.empty()) return;
  const std::string oldFile = currentFile_, oldTitle = title_;
  const int oldType = docType_;
  const TViewPosition oldPos = GetViewPosition();
  LoadFile(name, type);
  if (oldFile != currentFile_ || oldType != docType_) AddHistory(oldFile, oldTitle, oldPos, oldType);
}

void ThtmlView::LoadFile(const std::string& name, int type) {
  std::string file = name, dest;
  if (type == 0) SplitDest(name, file, dest);
  refreshDelay_ = 0;
  const std::string full = HtmlExpandFilename(file);
  std::error_code ec;
  if (file.empty() || !fs::is_regular_file(full, ec)) throw EhtmlViewError("Can't locate file: " + file);

  std::string text;
  if (type == 2) {
    text = "<img src=\"" + full + "\">";
  } else {
    const auto size = fs::file_size(full, ec);
    if (ec || size > kMaxPageFile) throw EhtmlViewError("Can't read file: " + file);
    std::ifstream in(full, std::ios::binary);
    if (!in) throw EhtmlViewError("Can't read file: " + file);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  const std::string oldFile = currentFile_;
  // The page is painted (OnProcessing(false)) only once it has also been scrolled.
  ProcessingGuard guard(*this);
  currentFile_ = full;
  docType_ = type;
  try {
    ParseText(text, type);
  } catch (...) {
    // A page that cannot be read leaves an empty, usable viewer rather than half a page.
    doc_.Clear();
    title_.clear();
    DoLayout();
    ScrollTo(0);
    throw;
  }
  MarkAllVisited();
  if (dest.empty() || !PositionTo(dest)) {
    if (currentFile_ != oldFile) {
      ScrollTo(0);
      hbar_.Position = 0;
    }
  }
  Invalidate();
  UpdateAnimationTimer();
  processing_ = false;
  if (OnProcessing) OnProcessing(false);
  if (refreshDelay_ > 0 && OnMetaRefresh) OnMetaRefresh(refreshDelay_, refreshUrl_);
}

void ThtmlView::ParseText(const std::string& text, int type) {
  refreshDelay_ = 0;
  doc_.Clear();
  InitDocument();
  curMarginWidth_ = marginWidth_;
  curMarginHeight_ = marginHeight_;
  caret_ = 0;
  selAnchor_ = -1;
  background_.reset();
  if (OnSoundRequest) OnSoundRequest("", 0, true);
  parser_ = ThvParser();
  pictures_.Folder = fs::path(currentFile_).parent_path().string();
  if (type == 1) {
    parser_.HtmlParseTextString(text, doc_);
  } else {
    ThvParser::Hooks hooks;
    hooks.OnMeta = [this](const std::string& h, const std::string& n, const std::string& c) { MetaHook(h, n, c); };
    hooks.OnSoundRequest = OnSoundRequest;
    hooks.OnInclude = OnInclude;
    hooks.OnScript = OnScript;
    parser_.HtmlParseString(text, doc_, hooks);
  }
  title_ = parser_.Title;
  if (!parser_.Base.empty()) base_ = parser_.Base;
  baseTarget_ = parser_.BaseTarget;
  if (doc_.MarginWidth >= 0) curMarginWidth_ = std::min(doc_.MarginWidth, 200);
  if (doc_.MarginHeight >= 0) curMarginHeight_ = std::min(doc_.MarginHeight, 200);
  DoLayout();
  Invalidate();
}

void ThtmlView::MetaHook(const std::string& httpEq, const std::string& name, const std::string& content) {
  if (OnMeta) OnMeta(httpEq, name, content);
  if (!OnMetaRefresh || !vx::SameText(httpEq, "refresh")) return;
  const size_t semi = content.find(';');
  const std::string num = vx::Trim(content.substr(0, semi));
  char* end = nullptr;
  const long v = num.empty() ? -1 : std::strtol(num.c_str(), &end, 10);
  int delay = (num.empty() || *end != '\0' || v < 0 || v > 100000) ? -1 : static_cast<int>(v);
  if (delay == 0) delay = 1;
  if (delay < 0) return;
  const std::string lower = vx::LowerCase(content);
  const size_t at = lower.find("url=");
  refreshUrl_ = at == std::string::npos ? std::string() : vx::Trim(content.substr(at + 4));
  refreshDelay_ = delay;
}

void ThtmlView::Clear() {
  if (processing_) return;
  StopTimer(overTimer_);
  StopTimer(autoTimer_);
  StopTimer(animTimer_);
  doc_.Clear();
  InitDocument();
  background_.reset();
  title_.clear();
  base_.clear();
  baseTarget_.clear();
  currentFile_.clear();
  url_.clear();
  target_.clear();
  vbar_ = ThtmlScrollBar();
  hbar_ = ThtmlScrollBar();
  hbar_.SmallChange = 15;
  docHeight_ = scrollWidth_ = 0;
  selAnchor_ = -1;
  autoScroll_ = selecting_ = leftDownHere_ = false;
  if (OnSoundRequest) OnSoundRequest("", 0, true);
  Invalidate();
}

// ---------------------------------------------------------------------------------------
// Layout and the scroll model

void ThtmlView::DoLayout() {
  const int border = borderStyle_ == THTMLBorderStyle::htNone ? 1 : 3;
  const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
  int width = width_ - border - 2 * curMarginWidth_ - (vertical ? kScrollBarWidth : 0);
  width = std::max(width, 1);
  doc_.ClientHeight = height_;
  doc_.ClientMarginHeight = curMarginHeight_;
  const int h = doc_.DoLogic(curMarginHeight_, width);
  docHeight_ = h + (vertical ? 2 : 1) * curMarginHeight_;
  scrollWidth_ = std::min(doc_.ScrollWidth + 2 * curMarginWidth_, kMaxScrollWidth);
  background_.reset();
  if (doc_.ViewImages && !doc_.BackgroundName.empty()) background_ = doc_.GetPicture(doc_.BackgroundName);
  SetupScrollBars();
  if (cursor_ == crBeam) host_->SetCursor(crBeam);
}

void ThtmlView::SetupScrollBars() {
  const int b = borderStyle_ != THTMLBorderStyle::htNone ? 2 : 0;
  const int H = height_ - b, W = width_ - b, S = kScrollBarWidth;
  const bool showV = (options_ & htShowVScroll) != 0;
  bool v = false, h = false, vNeeded = false;
  if (scrollBars_ == TScrollStyle::ssNone || (!showV && docHeight_ < H && scrollWidth_ <= W)) {
    // no bars
  } else if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) {
    vNeeded = !(docHeight_ < H && (scrollBars_ == TScrollStyle::ssVertical || docHeight_ < H - S || scrollWidth_ <= W - S));
    h = scrollBars_ == TScrollStyle::ssBoth && (scrollWidth_ > W || ((vNeeded || showV) && scrollWidth_ > W - S));
    v = vNeeded || showV;
  } else {
    h = scrollWidth_ > W;
  }
  vbar_.Visible = v;
  vbar_.Enabled = vNeeded;
  hbar_.Visible = h;
  hbar_.SmallChange = 15;
  panelWidth_ = std::max(1, W - (v ? S : 0));
  panelHeight_ = std::max(1, H - (h ? S : 0));
  vbar_.Max = docHeight_;
  vbar_.Page = vbar_.LargeChange = panelHeight_;
  hbar_.Max = scrollWidth_;
  hbar_.Page = hbar_.LargeChange = panelWidth_;
  vbar_.Position = std::clamp(vbar_.Position, 0, std::max(0, docHeight_ - panelHeight_));
  hbar_.Position = std::clamp(hbar_.Position, 0, std::max(0, scrollWidth_ - panelWidth_));
}

void ThtmlView::Relayout() {
  const TViewPosition pos = GetViewPosition();
  DoLayout();
  SetViewPosition(pos);
  Invalidate();
}

void ThtmlView::ScrollTo(int y) {
  y = std::max(std::min(y, docHeight_ - panelHeight_), 0);
  vbar_.Position = y;
  Invalidate();
}

void ThtmlView::SetPosition(int y) {
  y = std::min(std::max(y, 0), std::max(vbar_.Max, 0));
  if (y != vbar_.Position) ScrollTo(y);
}

void ThtmlView::SetHPosition(int x) {
  x = std::clamp(x, 0, std::max(0, scrollWidth_ - panelWidth_));
  if (x == hbar_.Position) return;
  hbar_.Position = x;
  Invalidate();
}

ThtmlView::TViewPosition ThtmlView::GetViewPosition() const {
  int top = 0;
  const int index = doc_.SectionAtY(vbar_.Position, top);
  if (index < 0) return {};
  return {index, vbar_.Position - top};
}

void ThtmlView::SetViewPosition(const TViewPosition& p) {
  const int top = doc_.SectionTop(p.Section);
  if (top >= 0) ScrollTo(top + p.Offset);
}

bool ThtmlView::PositionTo(std::string dest) {
  if (!dest.empty() && dest[0] == '#') dest.erase(0, 1);
  if (dest.empty()) return false;
  const int y = doc_.AnchorY(dest);
  if (y < 0) return false;
  ScrollTo(y);
  hbar_.Position = 0;
  AddVisited(currentFile_ + "#" + dest);
  return true;
}

// ---------------------------------------------------------------------------------------
// History and visited links

void ThtmlView::ClearHistory() {
  const bool had = !history_.empty();
  history_.clear();
  historyIndex_ = 0;
  if (had && OnHistoryChange) OnHistoryChange();
}

void ThtmlView::AddHistory(const std::string& oldFile, const std::string& oldTitle, const TViewPosition& oldPos,
                           int oldType) {
  if (historyMaxCount_ < 1 || currentFile_.empty()) return;
  const TViewPosition now = GetViewPosition();
  if (oldFile == currentFile_ && oldType == docType_ && now == oldPos) return;
  if (!history_.empty() && !oldFile.empty()) {
    historyIndex_ = std::min(historyIndex_, static_cast<int>(history_.size()) - 1);
    history_[static_cast<size_t>(historyIndex_)] = {oldFile, oldTitle, oldPos, oldType};
    history_.erase(history_.begin(), history_.begin() + historyIndex_);
  }
  historyIndex_ = 0;
  history_.insert(history_.begin(), {currentFile_, title_, now, docType_});
  if (static_cast<int>(history_.size()) > historyMaxCount_) history_.resize(static_cast<size_t>(historyMaxCount_));
  if (OnHistoryChange) OnHistoryChange();
}

bool ThtmlView::GoHistory(int index) {
  if (processing_ || index < 0 || index >= static_cast<int>(history_.size()) || index == historyIndex_) return false;
  history_[static_cast<size_t>(historyIndex_)].Pos = GetViewPosition();
  const THistoryItem item = history_[static_cast<size_t>(index)];
  if (item.File != currentFile_ || item.Type != docType_) LoadFile(item.File, item.Type);
  historyIndex_ = index;
  SetViewPosition(item.Pos);
  if (OnProcessing) OnProcessing(false);  // the new place is ready to be painted
  if (OnHistoryChange) OnHistoryChange();
  return true;
}

std::string ThtmlView::ExpandLink(const std::string& url) const {
  if (!url.empty() && url[0] == '#') return currentFile_ + url;
  std::string file, dest;
  SplitDest(url, file, dest);
  return (file.empty() ? currentFile_ : HtmlExpandFilename(file)) + dest;
}

void ThtmlView::AddVisited(const std::string& url) {
  if (visitedMaxCount_ <= 0) return;
  if (!visited_.empty() && visited_.front() == url) return;
  const auto it = std::find(visited_.begin(), visited_.end(), url);
  if (it != visited_.end()) {
    visited_.erase(it);
  } else {
    bool marked = false;
    doc_.MarkVisited([&](const std::string& link) {
      const bool v = vx::SameText(ExpandLink(link), url);
      marked |= v;
      // Links marked before stay marked.
      if (v) return true;
      for (const std::string& seen : visited_)
        if (vx::SameText(ExpandLink(link), seen)) return true;
      return false;
    });
    if (marked) Invalidate();
  }
  visited_.insert(visited_.begin(), url);
  if (static_cast<int>(visited_.size()) > visitedMaxCount_) visited_.resize(static_cast<size_t>(visitedMaxCount_));
}

void ThtmlView::MarkAllVisited() {
  if (visited_.empty()) return;
  doc_.MarkVisited([&](const std::string& link) {
    const std::string e = ExpandLink(link);
    return std::any_of(visited_.begin(), visited_.end(), [&](const std::string& v) { return vx::SameText(e, v); });
  });
}

std::string ThtmlView::HtmlExpandFilename(const std::string& name) const {
  std::string s = CleanUrl(name);
  if (!serverRoot_.empty() && !s.empty() && s[0] == '/' && !fs::exists(s)) s = serverRoot_ + s;
  fs::path p(s);
  if (!p.is_absolute()) {
    if (!base_.empty() && base_ != "DosPath") {
      const std::string b = CleanUrl(base_);
      p = (b.back() == '/' ? fs::path(b) : fs::path(b).parent_path()) / p;
    } else if (!currentFile_.empty()) {
      p = fs::path(currentFile_).parent_path() / p;
    } else {
      std::error_code ec;
      p = fs::absolute(p, ec);
    }
  }
  return p.lexically_normal().string();
}

void ThtmlView::HotSpotClick() {
  if (OnHotSpotClick) {
    bool handled = false;
    OnHotSpotClick(url_, handled);
    if (handled) return;
  }
  const std::string url = url_;
  if (url.empty()) return;
  if (url[0] == '#') {
    const TViewPosition before = GetViewPosition();
    if (PositionTo(url)) {
      AddHistory(currentFile_, title_, before, docType_);
      if (OnProcessing) OnProcessing(false);
    }
    return;
  }
  std::string file, dest;
  SplitDest(url, file, dest);
  const std::string s = HtmlExpandFilename(file);
  std::string ext = vx::UpperCase(fs::path(s).extension().string()).substr(0, 5);
  if (ext == ".HTM" || ext == ".HTML") {
    if (s != currentFile_) {
      LoadFromFile(s + dest);
      AddVisited(s + dest);
    } else {
      const TViewPosition before = GetViewPosition();
      if (PositionTo(dest)) {
        AddHistory(currentFile_, title_, before, 0);
        AddVisited(s + dest);
        if (OnProcessing) OnProcessing(false);
      }
    }
  } else if (ext == ".BMP" || ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".PNG") {
    LoadImageFile(s);
  }
}

// ---------------------------------------------------------------------------------------
// Mouse and keys

int ThtmlView::CharAt(int x, int y) const { return doc_.FindCursor(DocX(x), DocY(y)); }

void ThtmlView::ExtendSelection(int x, int y) {
  if (selAnchor_ < 0 || noSelect_) return;
  const int i = CharAt(x, y);
  if (i < 0) return;
  caret_ = i;
  const int s = std::min(selAnchor_, i), e = std::max(selAnchor_, i);
  if (s == doc_.SelStart && e == doc_.SelEnd) return;
  doc_.SelStart = s;
  doc_.SelEnd = e;
  Invalidate();
}

std::string ThtmlView::SelText() const {
  std::string out;
  if (doc_.SelEnd > doc_.SelStart) doc_.CopyText(out, doc_.SelStart, doc_.SelEnd);
  return out;
}

std::string ThtmlView::WordAt(int index) const {
  char ch = 0;
  const void* obj = nullptr;
  auto wordAt = [&](int i) { return doc_.GetChAtPos(i, ch, obj) && !obj && IsWordChar(static_cast<unsigned char>(ch)); };
  if (!wordAt(index)) return {};
  int s = index, e = index;
  while (s > 0 && wordAt(s - 1)) --s;
  while (wordAt(e + 1)) ++e;
  std::string w;
  for (int i = s; i <= e; ++i) {
    doc_.GetChAtPos(i, ch, obj);
    w += ch;
  }
  return w;
}

void ThtmlView::MouseDown(int button, vx::TShiftState shift, int x, int y) {
  lastX_ = x, lastY_ = y;
  if (midScroll_) {
    midScroll_ = false;
    StopTimer(autoTimer_);
    autoScroll_ = false;
    SetCursor(crDefault);
    return;
  }
  if (button == vx::mbMiddle) {
    midScroll_ = true;
    midScrollY_ = y;
    SetCursor(crUpDown);
    return;
  }
  if (button != vx::mbLeft) return;
  // A press over a form control (or its open list) is the control's, with the keys held.
  const TFormControlObj* focused = doc_.FocusedControl;
  const bool control = doc_.FormMouseDown(DocX(x), DocY(y), shift);
  if (control || focused != doc_.FocusedControl) Invalidate();
  if (control) {
    leftDownHere_ = selecting_ = false;
    return;
  }
  leftDownHere_ = true;
  selecting_ = true;
  const int i = CharAt(x, y);
  if (i < 0) return;
  const bool had = doc_.SelEnd > doc_.SelStart;
  selAnchor_ = caret_ = i;
  doc_.SelStart = doc_.SelEnd = i;
  if (had) Invalidate();
}

void ThtmlView::MouseMove(vx::TShiftState shift, int x, int y) {
  lastX_ = x, lastY_ = y;
  if (midScroll_) {
    if (std::abs(y - midScrollY_) > 20 && !autoScroll_) {
      autoScroll_ = true;
      host_->Post(kAutoScrollMessage);
    }
    return;
  }
  THit hit;
  const bool onSomething = doc_.HitTest(DocX(x), DocY(y), hit);
  TUrlTarget link;
  TFormControlObj* control = nullptr;
  const bool overLink = doc_.GetURL(DocX(x), DocY(y), link, control);
  if (doc_.OverLinksActive) {
    const TUrlTarget* over = overLink && hit.Url ? hit.Url.get() : nullptr;
    if (over != doc_.OverUrl) {
      doc_.OverUrl = over;
      Invalidate();
    }
  }
  SetCursor(overLink ? crHand : crDefault);
  if (OnImageOver && onSomething && hit.Image) OnImageOver(hit.Image, shift, hit.ImageX, hit.ImageY);
  if (cursor_ == crHand || doc_.OverUrl) {
    StartOverTimer();
  } else {
    StopTimer(overTimer_);
  }
  if (!overLink) link = {};
  if (link.Url != url_ || link.Target != target_) {
    url_ = link.Url;
    target_ = link.Target;
    if (OnHotSpotCovered) OnHotSpotCovered(url_);
  }
  if (leftDownHere_ && selecting_ && !noSelect_) {
    if ((y < 1 || y >= panelHeight_) && !autoScroll_) {
      autoScroll_ = true;
      host_->Post(kAutoScrollMessage);
    }
    ExtendSelection(x, std::clamp(y, 0, panelHeight_ - 1));
  }
}

void ThtmlView::MouseUp(int button, vx::TShiftState shift, int x, int y) {
  lastX_ = x, lastY_ = y;
  if (midScroll_) {
    if (button == vx::mbMiddle && y == midScrollY_) return;  // a click leaves the mode on
    midScroll_ = false;
    StopTimer(autoTimer_);
    autoScroll_ = false;
    SetCursor(crDefault);
    return;
  }
  THit hit;
  doc_.HitTest(DocX(x), DocY(y), hit);
  if (OnImageClick && hit.Image) OnImageClick(hit.Image, button, shift, hit.ImageX, hit.ImageY);
  if (button == vx::mbRight && OnRightClick) {
    TRightClickParameters p;
    TUrlTarget link;
    TFormControlObj* control = nullptr;
    if (doc_.GetURL(DocX(x), DocY(y), link, control)) p.URL = link.Url, p.Target = link.Target;
    p.Image = hit.Image;
    p.ImageX = hit.ImageX, p.ImageY = hit.ImageY;
    p.ClickWord = WordAt(CharAt(x, y));
    OnRightClick(p);
  }
  if (button != vx::mbLeft) return;
  StopTimer(autoTimer_);
  autoScroll_ = false;
  if (selecting_) ExtendSelection(x, y);
  selecting_ = false;
  if (!leftDownHere_) return;
  leftDownHere_ = false;
  TUrlTarget link;
  TFormControlObj* control = nullptr;
  if (!doc_.GetURL(DocX(x), DocY(y), link, control)) return;
  // Form controls run their own click (forms); a drag that selected text follows nothing.
  if (control || doc_.SelEnd > doc_.SelStart) return;
  url_ = link.Url;
  target_ = link.Target;
  HotSpotClick();
}

void ThtmlView::DoubleClick(int button, vx::TShiftState shift, int x, int y) {
  if (button != vx::mbLeft) return;
  const int i = CharAt(x, y);
  const std::string word = WordAt(i);
  if (!word.empty() && !noSelect_) {
    char ch = 0;
    const void* obj = nullptr;
    int s = i;
    while (s > 0 && doc_.GetChAtPos(s - 1, ch, obj) && !obj && IsWordChar(static_cast<unsigned char>(ch))) --s;
    doc_.SelStart = selAnchor_ = s;
    doc_.SelEnd = caret_ = s + static_cast<int>(word.size());
    Invalidate();
  }
  if (OnMouseDouble) OnMouseDouble(button, shift, x, y);
}

namespace {
// The character a key types into a form field (the window delivers keys, not text); 0 for
// a key that types nothing or a command chord.
char TypedChar(uint16_t key, vx::TShiftState shift) {
  if ((shift & (vx::ssCtrl | vx::ssAlt)) != 0) return 0;
  const bool upper = (shift & vx::ssShift) != 0;
  if (key >= 'A' && key <= 'Z') return static_cast<char>(upper ? key : key - 'A' + 'a');
  if (key == ' ' || (!upper && key >= '0' && key <= '9')) return static_cast<char>(key);
  if (key >= 96 && key <= 105) return static_cast<char>('0' + (key - 96));  // numpad digits
  return 0;
}
}  // namespace

void ThtmlView::KeyDown(uint16_t& key, vx::TShiftState shift) {
  const char typed = TypedChar(key, shift);
  if (doc_.FormKeyDown(key) || (typed != 0 && doc_.FormKeyPress(typed))) {  // the focused control's key
    key = 0;
    Invalidate();
    return;
  }
  const int pos = vbar_.Position;
  switch (key) {
    case vx::VK_UP: ScrollTo(pos - vbar_.SmallChange); break;
    case vx::VK_DOWN: ScrollTo(pos + vbar_.SmallChange); break;
    case vx::VK_PRIOR: ScrollTo(pos - vbar_.LargeChange); break;
    case vx::VK_NEXT: ScrollTo(pos + vbar_.LargeChange); break;
    case vx::VK_HOME: ScrollTo(0); break;
    case vx::VK_END: ScrollTo(docHeight_); break;
    case vx::VK_LEFT: SetHPosition(hbar_.Position - hbar_.SmallChange); break;
    case vx::VK_RIGHT: SetHPosition(hbar_.Position + hbar_.SmallChange); break;
    default: return;
  }
  key = 0;
}

void ThtmlView::StartOverTimer() {
  if (overTimer_ == 0) overTimer_ = host_->StartTimer(kOverLinkCheckMs, [this] { OverTimerTick(); });
}

void ThtmlView::OverTimerTick() {
  if (host_->PointerOverPanel()) return;
  if (doc_.OverUrl) {
    doc_.OverUrl = nullptr;
    Invalidate();
  }
  StopTimer(overTimer_);
  if (!url_.empty()) {
    url_.clear();
    target_.clear();
    if (OnHotSpotCovered) OnHotSpotCovered("");
  }
}

bool ThtmlView::AutoScrollWanted() const {
  if (midScroll_) return std::abs(lastY_ - midScrollY_) > 20;
  return selecting_ && leftDownHere_ && (lastY_ < 1 || lastY_ >= panelHeight_);
}

void ThtmlView::HandleMessage(int message) {
  if (message == kFormSubmitMessage) {
    if (OnFormSubmit) OnFormSubmit(submission_.Action, submission_.Target, submission_.EncType, submission_.Method, submission_.Results);
    return;
  }
  if (message != kAutoScrollMessage || autoTimer_ != 0) return;
  // One step per timer tick: the loop never pumps the program's messages itself.
  if (AutoScrollWanted()) autoTimer_ = host_->StartTimer(kAutoScrollMs, [this] { AutoScrollTick(); });
  autoScroll_ = autoTimer_ != 0;
}

void ThtmlView::AutoScrollTick() {
  if (!AutoScrollWanted()) {
    StopTimer(autoTimer_);
    autoScroll_ = false;
    if (midScroll_) SetCursor(crUpDown);
    return;
  }
  int dy = 0;
  if (midScroll_) {
    const int off = lastY_ - midScrollY_;
    dy = off < -60 ? -32 : off < -20 ? -8 : off >= 61 ? 32 : 8;
    SetCursor(dy < 0 ? crUpOnly : crDownOnly);
  } else {
    const int step = vbar_.SmallChange;
    dy = lastY_ < -15 ? -8 * step : lastY_ < 1 ? -step : lastY_ > panelHeight_ + 15 ? 8 * step : step;
  }
  ScrollTo(vbar_.Position + dy);
  if (!midScroll_) ExtendSelection(lastX_, std::clamp(lastY_, 0, panelHeight_ - 1));
}

void ThtmlView::UpdateAnimationTimer() {
  if (!doc_.HasAnimations()) {
    StopTimer(animTimer_);
  } else if (animTimer_ == 0) {
    animTimer_ = host_->StartTimer(50, [this] {
      if (!painting_ && doc_.AnimationTick(host_->NowMs())) Invalidate();
    });
  }
}

// ---------------------------------------------------------------------------------------
// Painting

void ThtmlView::PaintToBitmap(vx::Canvas& canvas) {
  if (processing_ || painting_) return;
  painting_ = true;
  const vx::TRect clip = canvas.ClipBox();
  canvas.FillRect(clip, doc_.Background);
  const int hpos = hbar_.Position, vpos = vbar_.Position;
  if (doc_.ViewImages && background_ && background_->Width > 0 && background_->Height > 0) {
    // The tiles move with the page.
    canvas.TileDraw(clip, background_->View(), -(hpos % background_->Width), -(vpos % background_->Height));
  }
  doc_.DrawDocument(canvas, clip, curMarginWidth_ - hpos, vpos);
  painting_ = false;
}
