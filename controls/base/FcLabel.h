#pragma once
// TFcLabel: the library's label, a window-less control showing its caption. It keeps the
// settings window definitions give it (text style, borders, fly-by colour...) and draws the
// caption plainly, raised or recessed when its text style asks, inside its borders.
#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StdLabels.h"

class TFcLabel : public TGraphicControl {
 public:
  explicit TFcLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value) { Store(FLayout, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { Store(FTransparent, Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { Store(FWordWrap, Value); }
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value) { Store(FShowAccelChar, Value); }
  TTextStyle TextStyle() const { return FTextStyle; }
  void SetTextStyle(TTextStyle Value) { Store(FTextStyle, Value); }
  TColor HighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor Value) { Store(FHighlightColor, Value); }
  TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor Value) { Store(FShadowColor, Value); }
  int ShadowDepth() const { return FShadowDepth; }
  void SetShadowDepth(int Value) { Store(FShadowDepth, Value); }
  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  void SetBorderOuter(TFrameStyleEx Value) { Store(FBorderOuter, Value); }
  TFrameStyleEx BorderInner() const { return FBorderInner; }
  void SetBorderInner(TFrameStyleEx Value) { Store(FBorderInner, Value); }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value) { Store(FBorderWidth, Value); }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { Store(FBorderColor, Value); }
  int TextMargin() const { return FTextMargin; }
  void SetTextMargin(int Value) { Store(FTextMargin, Value); }
  // Fly-by: the caption takes FlyByColor while the mouse is over the label.
  bool FlyByEnabled() const { return FFlyByEnabled; }
  void SetFlyByEnabled(bool Value) { Store(FFlyByEnabled, Value); }
  TColor FlyByColor() const { return FFlyByColor; }
  void SetFlyByColor(TColor Value) { Store(FFlyByColor, Value); }
  bool Blinking() const { return FBlinking; }
  void SetBlinking(bool Value) { FBlinking = Value; }
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

  void SetAutoSize(bool Value) override;
  void Loaded() override;

 protected:
  void Paint() override;
  // The text the label shows (the data-aware label shows its field).
  virtual std::string GetLabelText() { return Caption(); }
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Fits the size to the text when AutoSize is on.
  void AdjustBounds();
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    AdjustBounds();
    Invalidate();
  }

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FTransparent = false;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TTextStyle FTextStyle = tsNormal;
  TColor FHighlightColor = clBtnHighlight;
  TColor FShadowColor = clBtnShadow;
  int FShadowDepth = 2;
  TFrameStyleEx FBorderOuter = fsNone;
  TFrameStyleEx FBorderInner = fsNone;
  int FBorderWidth = 0;
  TColor FBorderColor = clBtnFace;
  int FTextMargin = 0;
  bool FFlyByEnabled = false;
  TColor FFlyByColor = clHighlight;
  bool FBlinking = false;
  TWinControl* FFocusControl = nullptr;
  bool FMouseOver = false;
};
