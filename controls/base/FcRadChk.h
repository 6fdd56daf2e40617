#pragma once
// Glyph buttons: TFcCustomGlyphButton (a button showing a small state glyph beside its
// caption), the check box TFcCustomCheckBox and the published TFcCheckBox. A click, Space or
// the mouse toggles the state (unless ReadOnly); every change of State fires OnClick once.
// The glyph is the platform's classic check box.
#include "controls/base/FcButton.h"

namespace fc {
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const classes::TEnumInfo& EnumInfo(TCheckBoxState);
}  // namespace fc

class TFcCustomGlyphButton : public TFcCustomButton {
 public:
  explicit TFcCustomGlyphButton(TComponent* AOwner);

  // taRightJustify: the caption right of the glyph; taLeftJustify: left of it.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TColor FillColor() const { return FFillColor; }
  void SetFillColor(TColor Value) { Store(FFillColor, Value); }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { Store(FWordWrap, Value); }

 protected:
  void Paint() override;
  // The glyph drawn in R (a square).
  virtual void PaintGlyph(TRect R) = 0;

 private:
  TAlignment FAlignment = taRightJustify;
  bool FReadOnly = false;
  TColor FFillColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  bool FWordWrap = false;
};

class TFcCustomCheckBox : public TFcCustomGlyphButton {
 public:
  explicit TFcCustomCheckBox(TComponent* AOwner);

  fc::TCheckBoxState State() const { return FState; }
  virtual void SetState(fc::TCheckBoxState Value);
  bool Checked() const { return FState == fc::cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? fc::cbChecked : fc::cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }

  // A click by the user toggles the state; the change fires OnClick.
  void Click() override;

 protected:
  // The user's toggle: unchecked → checked (grayed with AllowGrayed), checked → unchecked,
  // grayed → checked. Nothing while ReadOnly.
  virtual void ChangeState();
  // Shows Value without a click (for a state that comes from elsewhere, such as a field).
  void ShowState(fc::TCheckBoxState Value);
  void PaintGlyph(TRect R) override;

 private:
  fc::TCheckBoxState FState = fc::cbUnchecked;
  bool FAllowGrayed = false;
  bool FFiring = false;
};

class TFcCheckBox : public TFcCustomCheckBox {
 public:
  explicit TFcCheckBox(TComponent* AOwner) : TFcCustomCheckBox(AOwner) {}
};
