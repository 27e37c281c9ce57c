#pragma once
// The kinds of form controls. Each paints itself into the page picture (sunken fields, raised
// buttons, boxes and lists in the desktop's colours), takes clicks and keys while focused,
// and knows its submission lines and its initial value.
#include <string>
#include <vector>

#include "html/HtmlDocument.h"

// Sizes are kept to what a page can show.
constexpr int kMaxControlWidth = 2000, kMaxControlHeight = 2000;

// Single-line text and password fields.
class TEditFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  bool KeyDown(uint16_t key) override;
  bool KeyPress(char ch) override;
  std::string Current;
  int Caret = 0;

private:
  std::string ShownText() const;
  int FirstVisible() const;
};

// Submit, reset and plain buttons.
class TButtonFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  std::string Caption() const;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  bool KeyPress(char ch) override;
};

// Check boxes and radio buttons: a 13 x 13 box.
class TCheckBoxFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  void ResetToValue() override { State = Checked; }
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  bool KeyPress(char ch) override;
  bool State = false;
};

class TRadioButtonFormControlObj : public TCheckBoxFormControlObj {
public:
  using TCheckBoxFormControlObj::TCheckBoxFormControlObj;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
};

class THiddenFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList&) override { Width = Height = 0; }
};

// An image that submits its form with the click position.
class TImageFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  int ClickX = -1, ClickY = -1;  // -1: not clicked
  std::shared_ptr<const ThtmlPicture> Picture;
};

// SELECT with MULTIPLE or a SIZE above 1: a list of SIZE rows.
class TListBoxFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  bool KeyDown(uint16_t key) override;
  bool KeyPress(char ch) override;
  std::vector<bool> Selected;
  int ItemIndex = 0, TopIndex = 0;
  int Anchor = 0;  // where a Shift-click's run starts

private:
  int VisibleRows() const;
  int ItemHeight() const;
  void Select(int index);
  void ShowItem();
  int MaxTop() const;
};

// SELECT of one choice: the chosen option and a drop-down list.
class TComboFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void DrawOverlay(vx::Canvas& canvas, int dx, int dy) const override;
  bool OverlayContains(int x, int y) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  bool KeyDown(uint16_t key) override;
  void LoseFocus() override { Dropped = false; }
  void Hide() override { Dropped = false; }
  // The drop-down list shows this many options at most and scrolls through the rest.
  static constexpr int kDropDownRows = 8;
  int ItemIndex = -1;
  bool Dropped = false;
  int TopIndex = 0;  // the first option the drop-down list shows

private:
  int ItemHeight() const;
  int ListRows() const;
  int MaxTop() const;
};

// TEXTAREA: lines of text, word-wrapped with WRAP.
class TTextAreaFormControlObj : public TFormControlObj {
public:
  using TFormControlObj::TFormControlObj;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& line) override;
  void SetFont(TSectionList& doc) override;
  void Draw(vx::Canvas& canvas, int dx, int dy) const override;
  void Click(int x, int y, vx::TShiftState shift) override;
  bool KeyDown(uint16_t key) override;
  bool KeyPress(char ch) override;
  std::string Current;
  int Caret = 0;
  int ScrollX = 0;  // pixels of unwrapped text scrolled out at the left
  // The shown lines: start and length in Current.
  struct Line {
    int Start = 0, Len = 0;
  };
  std::vector<Line> Lines() const;

private:
  bool WordWrap() const { return Wrap == "soft" || Wrap == "hard"; }
  int TextWidth() const;
  int LineHeight() const;
  int CaretLine(const std::vector<Line>& lines) const;
  int TopLine(const std::vector<Line>& lines) const;
  int ShownRows() const;
  std::string_view LineText(const Line& l) const;
  // How far unwrapped text scrolls sideways (0: everything fits); the caret stays in view.
  int MaxScrollX(const std::vector<Line>& lines) const;
  void CaretInView();
};
