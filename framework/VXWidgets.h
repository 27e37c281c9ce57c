#pragma once
// The simple controls every screen and dialog is assembled from: images, panels, labels with
// laid-out text rows, buttons, text entries, check boxes and lines. Screens create them in code
// with an owner and a parent, name them, and let the theme position and style them by name.
// Text is drawn with the engine's bitmap fonts through the control's font.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/VXControl.h"

class TGfxFont;

// ---------------------------------------------------------------------------------------
// Images and panels

class TVXImage : public TVXControl {
public:
  explicit TVXImage(TVXComponent* owner);
};

// A strip of equal items (a reel) shown through the control's rectangle: setting a position
// slides the drawn picture, at most 30 pixels per frame, until item `Position` is at the top.
class TVXScrollingImage : public TVXImage {
public:
  explicit TVXScrollingImage(TVXComponent* owner);

  int32_t Position() const { return position_; }
  // Item number from 1.
  void SetPosition(int32_t position);
  int32_t ItemHeight = 0;
  // Where DrawTop is heading; it moves with the control.
  int32_t TargetDrawTop() const { return targetDrawTop_; }

  // DrawTop moves toward its target, then the image steps.
  void Step() override;
  void SetTop(int32_t value) override;

private:
  int32_t position_ = 1;
  int32_t targetDrawTop_ = 0;
};

class TVXPanel : public TVXControl {
public:
  explicit TVXPanel(TVXComponent* owner);
};

// ---------------------------------------------------------------------------------------
// Labels

// One laid-out row of a label. X and Y are relative to the label's Left and Top.
struct TVXStringLine {
  std::string Text;
  int32_t Y = 0;
  int32_t X = 0;
  uint32_t Color = 0;
};

// Scroll modes of a label's text.
constexpr uint8_t smNone = 0;
constexpr uint8_t smMarquee = 2;

class TVXLabel : public TVXPanel {
public:
  explicit TVXLabel(TVXComponent* owner);
  VX_THEMED

  const std::string& Caption() const { return caption_; }
  // Stores a different text and lays it out again.
  virtual void SetText(const std::string& text);

  const std::vector<TVXStringLine>& Rows() const { return rows_; }
  bool HideBackground() const { return hideBackground_; }
  // Hidden: the colour rectangle behind the text gets alpha 0; shown: 255.
  void SetHideBackground(bool value);
  // smMarquee runs the text leftwards one pixel per frame, re-entering at the right edge.
  uint8_t ScrollMode = smNone;
  int32_t TextSpeed() const { return textSpeed_; }
  // 0..4, kept with its frame count 15, 10, 5, 2, 0 (nothing reads either).
  void SetTextSpeed(int32_t speed);
  int32_t TextSpeedFrames() const { return textSpeedFrames_; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // Height of all rows with their 2-pixel gaps, width of the widest row, X of the rows.
  int32_t TextHeight() const { return textHeight_; }
  int32_t TextWidth() const { return textWidth_; }
  int32_t TextLeft() const { return textLeft_; }

  // Splits the caption into rows by the font, the width and WordWrap, and places them by
  // Alignment and Layout. Without an engine font nothing happens.
  void LayoutText();
  // Every row takes the font's colour with the font's alpha.
  void RefreshColors();

  void SetAlignment(int32_t alignment) override;
  void SetWidth(int32_t value) override;
  void SetHeight(int32_t value) override;
  void Draw() override;

protected:
  // The text the rows are made of (a password entry shows its mask instead).
  virtual std::string DisplayText() const { return caption_; }
  // Draws the rows; nothing without an engine font.
  void DrawText();
  // The bitmap font of the control's font, or nullptr.
  TGfxFont* EngineGfxFont() const;

private:
  std::string caption_;
  std::vector<TVXStringLine> rows_;
  bool hideBackground_ = false;
  int32_t textSpeed_ = 2;
  int32_t textSpeedFrames_ = 5;
  bool wordWrap_ = true;
  int32_t textHeight_ = 0;
  int32_t textWidth_ = 0;
  int32_t textLeft_ = 0;
  // What the rows were laid out with: a font or layout changed without notice (the theme sets
  // both through plain setters) lays them out again before drawing.
  const TGfxFont* laidOutFont_ = nullptr;
  int32_t laidOutLayout_ = -1;
};

// ---------------------------------------------------------------------------------------
// Buttons

class TVXButton : public TVXLabel {
public:
  explicit TVXButton(TVXComponent* owner);
  VX_THEMED
  // While pressed, the button is drawn 2 pixels right and down.
  void Draw() override;
};

class TVXTabSheetButton : public TVXButton {
public:
  using TVXButton::TVXButton;
  VX_THEMED
};

// ---------------------------------------------------------------------------------------
// Text entry

// Virtual-key codes the entry handles itself.
constexpr uint16_t vkBack = 8;
constexpr uint16_t vkLeft = 37;
constexpr uint16_t vkRight = 39;
constexpr uint16_t vkDelete = 46;

class TVXEdit : public TVXLabel {
public:
  explicit TVXEdit(TVXComponent* owner);

  // Characters before the caret; always within 0..length of the text.
  int32_t CursorPos() const;
  void SetCursorPos(int32_t pos);
  int32_t CaretCounter = 0;
  bool CaretVisible = false;
  // Shown once per character instead of the text when not 0 (password entries).
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char mask);

  void SetText(const std::string& text) override;
  void Step() override;
  void Draw() override;
  // A press focuses an interactive entry.
  void MouseDown() override;
  // After OnKeyDown: backspace, delete and the arrows edit; a printable key (space, digit,
  // letter, numpad digit) without Ctrl or Alt is inserted at the caret. A key the handler
  // consumed (set to 0) does nothing.
  void KeyDown(uint16_t& key, TShiftState shift) override;

  using TVXLabel::MouseDown;

  // The character a key inserts, or 0 for a key that inserts nothing.
  static char PrintableKey(uint16_t key, TShiftState shift);

protected:
  std::string DisplayText() const override;

private:
  int32_t cursorPos_ = 0;
  char passwordChar_ = 0;
};

// ---------------------------------------------------------------------------------------
// Check box

class TVXCheckBox : public TVXImage {
public:
  explicit TVXCheckBox(TVXComponent* owner);
  VX_THEMED

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  bool Checked() const { return checked_; }
  // Switches the texture between its base name and the base name + "_checked".
  void SetChecked(bool value);
  // The texture name that shows the box's state, made from a base name (the theme's default
  // picture of every check box, say), so that a ticked box stays ticked when themed.
  std::string StateTextureName(const std::string& base) const;
  // The caption beside the box; owned, not parented: the check box processes it.
  TVXLabel* CaptionLabel() const { return label_; }

  // The caption label is placed to the right of the box, bottom-aligned (not in a halted
  // frame) ...
  void Step() override;
  // ... and processed after the box is drawn.
  void Draw() override;
  // A release toggles an interactive box.
  void MouseUp() override;
  using TVXImage::MouseUp;

private:
  std::string caption_;
  bool checked_ = false;
  TVXLabel* label_ = nullptr;
};

// ---------------------------------------------------------------------------------------
// Line

// One line from (Left, Top) to the end point in the first two corner colours.
class TVXLine : public TVXControl {
public:
  explicit TVXLine(TVXComponent* owner);
  int32_t EndX = 0;
  int32_t EndY = 0;
  void SetPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  // A line has no transitions, effects or frames to step: it only draws.
  void Step() override {}
  void Draw() override;
};

namespace vx {
// The texture-name suffix of a checked check box.
constexpr const char* kCheckedSuffix = "_checked";
}  // namespace vx
