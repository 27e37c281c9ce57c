#pragma once
// The help dialog: the HTML viewer runs hidden behind the drawn screen, its page is painted
// into a picture of the panel's size, and that picture is the panel's texture. Mouse actions
// on the panel go to the viewer at the same place of the page, so links work.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/VXFrame.h"

class ThtmlView;
class TVXButton;
class TVXLabel;
class TVXPanel;

class TfrmHelp : public TVXFrame {
public:
  static constexpr int32_t ResultClose = 2;
  static constexpr int kPageWidth = 768, kPageHeight = 512;
  static constexpr int kScrollStep = 50;

  // Opens `page` of the program folder's "Help" folder. A page that cannot be shown leaves an
  // empty page (and a logged error); the dialog still opens.
  TfrmHelp(TVXComponent* owner, const std::string& programFolder, const std::string& page = "index.html");
  ~TfrmHelp() override;

  TVXButton* BtnClose = nullptr;
  TVXButton* BtnScrollUp = nullptr;
  TVXButton* BtnScrollDown = nullptr;
  TVXPanel* PnlHtmlView = nullptr;
  TVXLabel* LblUrl = nullptr;

  ThtmlView& View() { return *view_; }
  // Paints the viewer's page into the panel's texture (replaced in place).
  void RenderPage();
  int RenderCount() const { return renders_; }
  // A point of the screen over the panel as a point of the page.
  void ToPage(int32_t x, int32_t y, int& px, int& py) const;
  void Scroll(int dy);

  void Animate() override;
  void KeyDown(uint16_t& key, TShiftState shift) override;

private:
  class Host;
  // Runs a viewer action; a page that cannot be loaded is logged, and the page is repainted.
  template <class F>
  void Guarded(F&& f);

  std::unique_ptr<Host> host_;
  std::unique_ptr<ThtmlView> view_;
  bool dirty_ = false;
  int renders_ = 0;
  int32_t lastX_ = 0, lastY_ = 0;
};
