#include "lobby/VXHelpForm.h"

#include <set>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXHost.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXTextures.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "html/HtmlView.h"
#include "lobby/VXDialogs.h"
#include "platform/MessagePump.h"
#include "render/BitmapEx.h"

// The viewer's window services: the program's timers, and the panel's hover for "pointer over".
class TfrmHelp::Host : public ThtmlViewHost {
public:
  explicit Host(TfrmHelp& form) : form_(form) {}
  ~Host() override {
    for (vx::TimerId id : timers_) vx::MainPump().KillTimer(id);
  }
  void Invalidate() override { form_.dirty_ = true; }
  void Post(int message) override {
    auto id = std::make_shared<vx::TimerId>();
    *id = vx::MainPump().SetTimer(
        0,
        [this, message, id] {
          timers_.erase(*id);
          form_.Guarded([&] { form_.view_->HandleMessage(message); });
        },
        false);
    timers_.insert(*id);
  }
  int StartTimer(uint32_t intervalMs, std::function<void()> tick) override {
    const vx::TimerId id = vx::MainPump().SetTimer(intervalMs, [this, tick = std::move(tick)] {
      form_.Guarded([&] { tick(); });
    });
    timers_.insert(id);
    return static_cast<int>(id);
  }
  void StopTimer(int id) override {
    vx::MainPump().KillTimer(static_cast<vx::TimerId>(id));
    timers_.erase(static_cast<vx::TimerId>(id));
  }
  bool PointerOverPanel() override { return form_.PnlHtmlView != nullptr && form_.PnlHtmlView->Hovered(); }

private:
  TfrmHelp& form_;
  std::set<vx::TimerId> timers_;
};

TfrmHelp::TfrmHelp(TVXComponent* owner, const std::string& programFolder, const std::string& page)
    : TVXFrame(owner), host_(std::make_unique<Host>(*this)), view_(std::make_unique<ThtmlView>(host_.get())) {
  // The dialog's own pictures are decoded on the prefetch worker while the page is read and
  // laid out here; the theme load below takes them, and what it does not take is dropped.
  struct TPrefetch {
    TVXResourceManager* Resources;
    ~TPrefetch() {
      if (Resources != nullptr) Resources->EndPrefetch();
    }
  } prefetch{vx::ResourcesIn(Context())};
  if (prefetch.Resources != nullptr) prefetch.Resources->PrefetchPictures({"HELP"});
  SetSceneName("HELP");
  CaptionLabel->SetText("HELP");
  // The window is as big as the page needs: its own pictures, not the shared small ones.
  for (TVXImage* chrome : {WindowFrame, TaskBar}) chrome->TextureInfo.SetFolder("HELP");
  PnlHtmlView = AddControl<TVXPanel>("PNL_HTMLVIEW", {}, Client);
  LblUrl = AddControl<TVXLabel>("LBL_URL", {}, Client);
  BtnScrollUp = AddControl<TVXButton>("BTN_SCROLLUP", "U", Client);
  BtnScrollDown = AddControl<TVXButton>("BTN_SCROLLDOWN", "D", Client);
  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "CLOSE", Client);
  BtnClose->OnClick = [this](TVXComponent*) { CloseWithResult(ResultClose); };
  BtnScrollUp->OnClick = [this](TVXComponent*) { Scroll(-kScrollStep); };
  BtnScrollDown->OnClick = [this](TVXComponent*) { Scroll(kScrollStep); };
  ThtmlView& v = *view_;
  v.Visible = false;
  v.SetBorderStyle(THTMLBorderStyle::htNone);
  v.SetScrollBars(TScrollStyle::ssNone);
  v.SetDefFontColor(0xFFFFFF);
  // The pages are written for a plain sans face at this size.
  v.SetDefFontName("Arial");
  // White text needs a dark page when a page sets no colour of its own (or is missing).
  v.SetDefBackground(0x202020);
  v.SetHistoryMaxCount(20);
  // The page is laid out at the size it is painted at (placed where the panel is, below).
  v.SetBounds(0, 0, kPageWidth, kPageHeight);
  v.OnHotSpotClick = [](const std::string& src, bool& handled) {
    Log("INFO: URL: " + src);
    handled = false;
  };
  v.OnProcessing = [this](bool on) {
    if (!on) RenderPage();
  };
  v.OnHotSpotCovered = [](const std::string&) {};
  v.OnHistoryChange = [] {};
  // The press and the moves carry the pointer's place; a release is reported where the pointer
  // last was over the panel (the toolkit's release event may carry another position).
  PnlHtmlView->OnMouseDown = [this](TVXComponent*, int32_t button, TShiftState shift, int32_t x, int32_t y) {
    int px = 0, py = 0;
    ToPage(x, y, px, py);
    lastX_ = x, lastY_ = y;
    Guarded([&] { view_->MouseDown(button, shift, px, py); });
  };
  PnlHtmlView->OnMouseMove = [this](TVXComponent*, TShiftState shift, int32_t x, int32_t y) {
    int px = 0, py = 0;
    ToPage(x, y, px, py);
    lastX_ = x, lastY_ = y;
    Guarded([&] { view_->MouseMove(shift, px, py); });
  };
  PnlHtmlView->OnMouseUp = [this](TVXComponent*, int32_t button, TShiftState shift, int32_t, int32_t) {
    int px = 0, py = 0;
    ToPage(lastX_, lastY_, px, py);
    Guarded([&] { view_->MouseUp(button, shift, px, py); });
  };
  // The page is the panel's texture before the theme loads it, so the panel never asks the
  // archive for a picture it does not hold.
  PnlHtmlView->TextureInfo.SetFolder("HELP");
  if (const TVXSetting* settings = vx::SettingIn(Context())) PnlHtmlView->TextureInfo.SetPrefix(settings->CasinoFolder);
  // A load paints the page when it ends; one that could not start leaves it to be painted here.
  Guarded([&] { v.LoadFromFile(programFolder + "Help\\" + page); });
  if (renders_ == 0) RenderPage();
  LoadTheme(vx::CasinoNameIn(Context()));
  v.SetBounds(PnlHtmlView->Left(), PnlHtmlView->Top(), kPageWidth, kPageHeight);
}

TfrmHelp::~TfrmHelp() {
  // The viewer's timers go before the viewer.
  view_.reset();
  host_.reset();
}

template <class F>
void TfrmHelp::Guarded(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    Log(std::string("ERROR: Help: ") + e.what());
    dirty_ = true;
  }
  if (dirty_ && !view_->Processing()) RenderPage();
}

void TfrmHelp::ToPage(int32_t x, int32_t y, int& px, int& py) const {
  const int w = std::max(1, PnlHtmlView->Width()), h = std::max(1, PnlHtmlView->Height());
  px = static_cast<int>(int64_t{x - PnlHtmlView->Left()} * kPageWidth / w);
  py = static_cast<int>(int64_t{y - PnlHtmlView->Top()} * kPageHeight / h);
}

void TfrmHelp::Scroll(int dy) {
  view_->SetPosition(view_->Position() + dy);
  RenderPage();
}

void TfrmHelp::RenderPage() {
  dirty_ = false;
  TBitmapEx picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(kPageWidth, kPageHeight);
  vx::Canvas canvas(picture.Pixels(), kPageWidth, kPageHeight, kPageWidth);
  view_->PaintToBitmap(canvas);
  picture.SetAlpha(255);
  ++renders_;
  TVXTextureList* textures = PnlHtmlView->Host().Textures();
  if (textures == nullptr) return;
  if (textures->AddFromBitmap(PnlHtmlView->TextureInfo.CacheKey(), picture) == nullptr) {
    Log("ERROR: The help page could not be made into a texture");
    return;
  }
  PnlHtmlView->LoadTexture();
}

void TfrmHelp::Animate() {
  TVXFrame::Animate();
  // Timers of the viewer (auto-scroll, over-link check) change the page between frames.
  if (dirty_ && !view_->Processing()) RenderPage();
}

void TfrmHelp::KeyDown(uint16_t& key, TShiftState shift) {
  Guarded([&] { view_->KeyDown(key, shift); });
  if (key != 0) TVXFrame::KeyDown(key, shift);
}
