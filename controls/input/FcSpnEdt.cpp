#include "controls/input/FcSpnEdt.h"

#include <cmath>
#include <cstdlib>

#include "platform/gdi/Frames.h"
#include "platform/os/Input.h"
#include "platform/rtl/Strings.h"

namespace {
// A small arrow pointing up (Up) or down, centred in R.
void DrawArrow(TCanvas* Canvas, TRect R, bool Up, bool Enabled) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Enabled ? clBtnText : clGrayText);
  const int cx = R.Left + R.Width() / 2;
  const int cy = R.Top + R.Height() / 2;
  for (int i = 0; i < 3; ++i) {
    const int y = Up ? cy - 1 + i : cy + 1 - i;
    Canvas->FillRect({cx - i, y, cx + i + 1, y + 1});
  }
}

// A minus or plus sign centred in R.
void DrawSign(TCanvas* Canvas, TRect R, bool Plus, bool Enabled) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Enabled ? clBtnText : clGrayText);
  const int cx = R.Left + R.Width() / 2;
  const int cy = R.Top + R.Height() / 2;
  Canvas->FillRect({cx - 3, cy, cx + 4, cy + 1});
  if (Plus) Canvas->FillRect({cx, cy - 3, cx + 1, cy + 4});
}
}  // namespace

// ---- TFcRapidFireButton ----

TFcRapidFireButton::TFcRapidFireButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 23, 22);
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption});
  SetColor(clBtnFace);
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TFcRapidFireButton::~TFcRapidFireButton() = default;

void TFcRapidFireButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TFcRapidFireButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  FDown = Value;
  if (Value && Parent()) {
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* other = dynamic_cast<TFcRapidFireButton*>(Parent()->Controls(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex) {
        other->FDown = false;
        other->Invalidate();
      }
    }
  }
  Invalidate();
}

void TFcRapidFireButton::Click() {
  if (FGroupIndex != 0) {
    if (!FDown) SetDown(true);
    else if (FAllowAllUp) SetDown(false);
  }
  TGraphicControl::Click();
}

void TFcRapidFireButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    FPressed = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TFcRapidFireButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TFcRapidFireButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  FMouseIn = true;
  if (FFlat) Invalidate();
}

void TFcRapidFireButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  FMouseIn = false;
  if (FFlat) Invalidate();
}

void TFcRapidFireButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFcRapidFireButton::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
}

void TFcRapidFireButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  const bool down = FPressed || FDown;
  TColor face = Color();
  if (!FTransparent || !FFlat) {
    fc::FillSolid(canvas, r, face);
  }
  if (!FFlat || down || (FMouseIn && Enabled())) {
    TRect edge = r;
    if (FFlat) fc::DrawFrame(canvas, edge, down ? fsStatus : fsPopup);
    else fc::DrawFrame(canvas, edge, down ? fsButtonDown : fsButtonUp);
  }
  if (down) OffsetRect(&r, 1, 1);
  // Strip cells: 0 up, 1 disabled, 2 clicked, 3 down.
  int index = !Enabled() ? 1 : FPressed ? 2 : FDown ? 3 : 0;
  if (index >= FNumGlyphs) index = 0;
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  fc::DrawGlyphAndCaption(canvas, r, FGlyph.get(), FNumGlyphs, index, Caption(), face, FSpacing);
}

// ---- TFcSpinEdit ----

TFcSpinEdit::TFcSpinEdit(TComponent* AOwner) : TFcCustomEdit(AOwner) {
  SetAlignment(taRightJustify);
  ShowValue();
}

double TFcSpinEdit::Clamp(double Value) const {
  if (FMin < FMax || FCheckRange) {
    if (Value < FMin) return FMin;
    if (Value > FMax) return FMax;
  }
  return Value;
}

std::string TFcSpinEdit::ValueText(double Value) const {
  if (FDecimals <= 0) return IntToStr(static_cast<int64_t>(std::llround(Value)));
  return FormatFloat("0." + std::string(FDecimals, '0'), Value);
}

void TFcSpinEdit::ShowValue() {
  FShowingValue = true;
  SetText(ValueText(FValue));
  FShowingValue = false;
}

void TFcSpinEdit::SetValue(double Value) {
  FValue = Clamp(Value);
  ShowValue();
}

void TFcSpinEdit::SetMin(double Value) {
  FMin = Value;
  if (!HasState(csLoading)) SetValue(FValue);
}

void TFcSpinEdit::SetMax(double Value) {
  FMax = Value;
  if (!HasState(csLoading)) SetValue(FValue);
}

void TFcSpinEdit::SetCheckRange(bool Value) {
  FCheckRange = Value;
  if (!HasState(csLoading)) SetValue(FValue);
}

void TFcSpinEdit::SetDecimals(int Value) {
  FDecimals = Value < 0 ? 0 : Value;
  ShowValue();
}

void TFcSpinEdit::Loaded() {
  TFcCustomEdit::Loaded();
  FValue = Clamp(FValue);
  ShowValue();
}

void TFcSpinEdit::Step(double Amount) {
  if (ReadOnly()) return;
  SetValue(FValue + Amount);
}

void TFcSpinEdit::Change() {
  // Typed text becomes the value as soon as it reads as a number.
  double typed = 0;
  if (!FShowingValue && TryStrToFloat(Text(), typed)) FValue = typed;
  TFcCustomEdit::Change();
}

void TFcSpinEdit::WMKillFocus(TMessage& Message) {
  TFcCustomEdit::WMKillFocus(Message);
  const std::string shown = ValueText(Clamp(FValue));
  if (shown != Text()) SetValue(FValue);
}

void TFcSpinEdit::PaintButtons(TRect R) {
  TCanvas* canvas = Canvas();
  TRect up{R.Left, R.Top, R.Right, R.Top + R.Height() / 2};
  TRect down{R.Left, up.Bottom, R.Right, R.Bottom};
  for (TRect* b : {&up, &down}) {
    TRect face = *b;
    fc::DrawButtonFace(canvas, face, FlatButtons() ? FlatButtonColor() : clBtnFace, false, FlatButtons());
    DrawArrow(canvas, face, b == &up, Enabled() && !ReadOnly());
  }
}

void TFcSpinEdit::ButtonAreaMouseDown(int X, int Y) {
  (void)X;
  Step(Y < ClientHeight() / 2 ? FIncrement : -FIncrement);
}

void TFcSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomEdit::KeyDown(Key, Shift);
  switch (Key) {
    case VK_UP: Step(FIncrement); Key = 0; break;
    case VK_DOWN: Step(-FIncrement); Key = 0; break;
    case VK_PRIOR: Step(FPageSize); Key = 0; break;
    case VK_NEXT: Step(-FPageSize); Key = 0; break;
    default: break;
  }
}

bool TFcSpinEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TFcCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  Step(WheelDelta > 0 ? FIncrement : -FIncrement);
  return true;
}

// ---- TFcSpinner ----

TFcSpinner::TFcSpinner(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 80, 20);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

int TFcSpinner::CheckValue(int Value) const {
  if (FMin != FMax || FCheckRange) {
    if (Value < FMin) return FMin;
    if (Value > FMax) return FMax;
  }
  return Value;
}

void TFcSpinner::SetValue(int Value) {
  Value = CheckValue(Value);
  if (Value == FValue) return;
  if (OnChanging && !HasState(csLoading)) {
    bool allow = true;
    OnChanging(this, Value, allow);
    if (!allow) return;
  }
  FValue = Value;
  Invalidate();
  if (OnChange && !HasState(csLoading)) OnChange(this);
}

void TFcSpinner::SetMin(int Value) {
  if (Value == FMin) return;
  FMin = Value;
  if (FMax < FMin) FMax = FMin;
  if (!HasState(csLoading)) SetValue(FValue);
  Invalidate();
}

void TFcSpinner::SetMax(int Value) {
  if (Value == FMax) return;
  FMax = Value;
  if (FMax < FMin) FMin = FMax;
  if (!HasState(csLoading)) SetValue(FValue);
  Invalidate();
}

void TFcSpinner::SetCheckRange(bool Value) {
  FCheckRange = Value;
  if (!HasState(csLoading)) SetValue(FValue);
}

void TFcSpinner::StepBy(int Amount) {
  const int before = FValue;
  SetValue(FValue + Amount);
  if (FValue == before) return;
  if (Amount > 0 && OnIncrement) OnIncrement(this, Amount);
  if (Amount < 0 && OnDecrement) OnDecrement(this, -Amount);
}

void TFcSpinner::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  fc::FillSolid(canvas, r, Color());
  fc::DrawFrame(canvas, r, fsFlat, AllSides, FFrameColor);
  TRect minus{r.Left, r.Top, r.Left + FButtonWidth, r.Bottom};
  TRect plus{r.Right - FButtonWidth, r.Top, r.Right, r.Bottom};
  for (TRect* b : {&minus, &plus}) {
    TRect face = *b;
    fc::DrawButtonFace(canvas, face, FButtonColor, false, false);
    DrawSign(canvas, face, b == &plus, Enabled());
  }
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  TRect value{minus.Right, r.Top, plus.Left, r.Bottom};
  fc::DrawCaption(canvas, value, IntToStr(FValue), taCenter, avCenter);
  if (Focused() && FShowFocusRect) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->DrawFocusRect({value.Left + 1, value.Top + 1, value.Right - 1, value.Bottom - 1});
  }
}

void TFcSpinner::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    if (CanFocus()) SetFocus();
    if (X < FButtonWidth) StepBy(-FIncrement);
    else if (X >= ClientWidth() - FButtonWidth) StepBy(FIncrement);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFcSpinner::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_UP:
    case VK_RIGHT: StepBy(FIncrement); Key = 0; break;
    case VK_DOWN:
    case VK_LEFT: StepBy(-FIncrement); Key = 0; break;
    case VK_PRIOR: StepBy(FPageSize); Key = 0; break;
    case VK_NEXT: StepBy(-FPageSize); Key = 0; break;
    case VK_HOME: SetValue(FMin); Key = 0; break;
    case VK_END: SetValue(FMax); Key = 0; break;
    default: break;
  }
}

bool TFcSpinner::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  StepBy(WheelDelta > 0 ? FIncrement : -FIncrement);
  return true;
}

void TFcSpinner::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
}

void TFcSpinner::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  Invalidate();
}

void TFcSpinner::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---- published properties ----

static const classes::TPublished<TFcRapidFireButton, TGraphicControl> FcRapidFireButtonInfo([](auto& p) {
  using B = TFcRapidFireButton;
  p.Bool("Flat", &B::Flat, &B::SetFlat).Default(false);
  p.Object("Glyph", &B::Glyph, &B::SetGlyph);
  p.Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
  p.Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
  p.Bool("Down", &B::Down, &B::SetDown).Default(false);
  p.Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
  p.Enum("Layout", &B::Layout, &B::SetLayout).Default(fc::blGlyphLeft);
  p.Int("Margin", &B::Margin, &B::SetMargin).Default(-1);
  p.Int("Spacing", &B::Spacing, &B::SetSpacing).Default(4);
  p.Bool("Transparent", &B::Transparent, &B::SetTransparent).Default(true);
  p.Int("Delay", &B::Delay, &B::SetDelay).Default(100);
  p.Int("InitialDelay", &B::InitialDelay, &B::SetInitialDelay).Default(400);
  p.Enum("ScrollStyle", &B::ScrollStyle, &B::SetScrollStyle).Default(scsNone);
});
static const classes::TPublished<TFcSpinEdit, TFcCustomEdit> FcSpinEditInfo([](auto& p) {
  using E = TFcSpinEdit;
  p.Enum("Alignment", &E::Alignment, &E::SetAlignment).Default(taRightJustify);
  p.Float("Min", &E::Min, &E::SetMin);
  p.Float("Max", &E::Max, &E::SetMax);
  p.Float("Value", &E::Value, &E::SetValue);
  p.Float("Increment", &E::Increment, &E::SetIncrement);
  p.Float("PageSize", &E::PageSize, &E::SetPageSize);
  p.Int("Decimals", &E::Decimals, &E::SetDecimals).Default(0);
  p.Bool("CheckRange", &E::CheckRange, &E::SetCheckRange).Default(false);
  p.Bool("AllowKeyEdit", &E::AllowKeyEdit, &E::SetAllowKeyEdit).Default(false);
  p.Int("ButtonWidth", &E::ButtonWidth, &E::SetButtonWidth).Default(15);
});
static const classes::TPublished<TFcSpinner, TCustomControl> FcSpinnerInfo([](auto& p) {
  using S = TFcSpinner;
  p.Int("Color", &S::Color, &S::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&S::IsColorStored);
  p.Bool("ParentColor", &S::ParentColor, &S::SetParentColor).Default(false);
  p.Bool("TabStop", &S::TabStop, &S::SetTabStop).Default(true);
  p.Int("Min", &S::Min, &S::SetMin).Default(0);
  p.Int("Max", &S::Max, &S::SetMax).Default(100);
  p.Int("Value", &S::Value, &S::SetValue).Default(0);
  p.Bool("CheckRange", &S::CheckRange, &S::SetCheckRange).Default(false);
  p.Int("Increment", &S::Increment, &S::SetIncrement).Default(1);
  p.Int("PageSize", &S::PageSize, &S::SetPageSize).Default(10);
  p.Int("ButtonWidth", &S::ButtonWidth, &S::SetButtonWidth).Default(15);
  p.Int("ButtonColor", &S::ButtonColor, &S::SetButtonColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("FrameColor", &S::FrameColor, &S::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Bool("ShowFocusRect", &S::ShowFocusRect, &S::SetShowFocusRect).Default(true);
  p.Bool("ThemeAware", &S::ThemeAware, &S::SetThemeAware).Default(true);
  p.Event("OnChange", &S::OnChange);
  p.Event("OnChanging", &S::OnChanging);
  p.Event("OnIncrement", &S::OnIncrement);
  p.Event("OnDecrement", &S::OnDecrement);
});
