#pragma once
// Spin controls: TFcRapidFireButton (a flat glyph button, window-less, that clicks on release),
// TFcSpinEdit (a framed edit holding a number between Min and Max, stepped by the buttons at
// its right edge, Up/Down, Page Up/Page Down and the wheel) and TFcSpinner (an integer between
// a minus and a plus button). They keep what window definitions set and draw plainly.
#include <functional>
#include <memory>

#include "controls/base/FcButton.h"
#include "controls/input/FcEdit.h"
#include "platform/graphics/Bitmap.h"

class TFcRapidFireButton : public TGraphicControl {
 public:
  explicit TFcRapidFireButton(TComponent* AOwner);
  ~TFcRapidFireButton() override;

  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) { Store(FFlat, Value); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  // Cells of the glyph strip: normal, disabled, down, held down.
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value) { Store(FNumGlyphs, Value); }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  fc::TButtonLayout Layout() const { return FLayout; }
  void SetLayout(fc::TButtonLayout Value) { Store(FLayout, Value); }
  int Margin() const { return FMargin; }
  void SetMargin(int Value) { Store(FMargin, Value); }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) { Store(FSpacing, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { Store(FTransparent, Value); }
  // Repeat timing, kept for the auto-repeat.
  int Delay() const { return FDelay; }
  void SetDelay(int Value) { FDelay = Value; }
  int InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(int Value) { FInitialDelay = Value; }
  TFcScrollStyle ScrollStyle() const { return FScrollStyle; }
  void SetScrollStyle(TFcScrollStyle Value) { FScrollStyle = Value; }
  // The platform button's own Click: OnClick (and the group's down state).
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  std::unique_ptr<TBitmap> FGlyph;
  bool FFlat = false;
  int FNumGlyphs = 1;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  fc::TButtonLayout FLayout = fc::blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  bool FTransparent = true;
  int FDelay = 100;
  int FInitialDelay = 400;
  TFcScrollStyle FScrollStyle = scsNone;
  bool FPressed = false;
  bool FMouseIn = false;
};

class TFcSpinEdit : public TFcCustomEdit {
 public:
  explicit TFcSpinEdit(TComponent* AOwner);

  double Value() const { return FValue; }
  // Kept inside [Min, Max] when Min < Max or CheckRange; shows the value as text.
  void SetValue(double Value);
  int IntValue() const { return static_cast<int>(FValue); }
  void SetIntValue(int Value) { SetValue(Value); }
  double Min() const { return FMin; }
  void SetMin(double Value);
  double Max() const { return FMax; }
  void SetMax(double Value);
  bool CheckRange() const { return FCheckRange; }
  void SetCheckRange(bool Value);
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value) { FIncrement = Value; }
  double PageSize() const { return FPageSize; }
  void SetPageSize(double Value) { FPageSize = Value; }
  int Decimals() const { return FDecimals; }
  void SetDecimals(int Value);
  // Without key editing the value moves only by the buttons, keys and wheel.
  bool AllowKeyEdit() const { return FAllowKeyEdit; }
  void SetAllowKeyEdit(bool Value) { FAllowKeyEdit = Value; }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value) { Store(FButtonWidth, Value); }
  bool CanEditByKeys() const override { return FAllowKeyEdit && !ReadOnly(); }

  // The value moved by Steps increments.
  void Step(double Amount);

  void Loaded() override;

 protected:
  int ButtonAreaWidth() override { return FButtonWidth; }
  void PaintButtons(TRect R) override;
  void ButtonAreaMouseDown(int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Change() override;
  void WMKillFocus(TMessage& Message) override;

 private:
  double Clamp(double Value) const;
  std::string ValueText(double Value) const;
  void ShowValue();

  double FValue = 0;
  double FMin = 0;
  double FMax = 0;
  bool FCheckRange = false;
  double FIncrement = 1;
  double FPageSize = 10;
  int FDecimals = 0;
  bool FAllowKeyEdit = false;
  int FButtonWidth = 15;
  bool FShowingValue = false;
};

using TFcSpinnerEvent = std::function<void(TObject* Sender, int NewValue, bool& AllowChange)>;
using TFcSpinnerIncDecEvent = std::function<void(TObject* Sender, int Amount)>;

class TFcSpinner : public TCustomControl {
 public:
  explicit TFcSpinner(TComponent* AOwner);

  int Value() const { return FValue; }
  void SetValue(int Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  bool CheckRange() const { return FCheckRange; }
  void SetCheckRange(bool Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value) { FPageSize = Value; }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value) { Store(FButtonWidth, Value); }
  TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TColor Value) { Store(FButtonColor, Value); }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) { Store(FShowFocusRect, Value); }
  bool ThemeAware() const { return FThemeAware; }
  void SetThemeAware(bool Value) { Store(FThemeAware, Value); }

  void StepBy(int Amount);

  TNotifyEvent OnChange;
  TFcSpinnerEvent OnChanging;
  TFcSpinnerIncDecEvent OnIncrement;
  TFcSpinnerIncDecEvent OnDecrement;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  int CheckValue(int Value) const;
  // Keeps the arrow keys (and typed characters) for itself rather than for dialog navigation.
  void WndProc(TMessage& Message) override;
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  int FValue = 0;
  int FMin = 0;
  int FMax = 100;
  bool FCheckRange = false;
  int FIncrement = 1;
  int FPageSize = 10;
  int FButtonWidth = 15;
  TColor FButtonColor = clBtnFace;
  TColor FFrameColor = clBtnShadow;
  bool FShowFocusRect = true;
  bool FThemeAware = true;
};
