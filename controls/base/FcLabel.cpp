#include "controls/base/FcLabel.h"

TFcLabel::TFcLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 65, 17);
  TControl::SetAutoSize(true);
}

void TFcLabel::SetAutoSize(bool Value) {
  if (Value == AutoSize()) return;
  TControl::SetAutoSize(Value);
  AdjustBounds();
}

void TFcLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TFcLabel::SetFocusControl(TWinControl* Value) {
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TFcLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TFcLabel::AdjustBounds() {
  if (!AutoSize() || FWordWrap || HasState(csLoading) || !Parent()) return;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  std::string text = GetLabelText();
  TSize size = canvas->TextExtent(text.empty() ? std::string(" ") : text);
  const int frame = 2 * (fc::FrameWidth(FBorderOuter) + FBorderWidth + fc::FrameWidth(FBorderInner) + FTextMargin);
  int extra = FTextStyle == tsShadow ? FShadowDepth : FTextStyle == tsNormal ? 0 : 1;
  SetBounds(Left(), Top(), size.cx + frame + extra, size.cy + frame + extra);
}

void TFcLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    fc::FillSolid(canvas, r, Color());
  }
  fc::DrawFrame(canvas, r, FBorderOuter);
  for (int i = 0; i < FBorderWidth; ++i) fc::DrawFrame(canvas, r, fsFlat, AllSides, FBorderColor);
  fc::DrawFrame(canvas, r, FBorderInner);
  r = {r.Left + FTextMargin, r.Top + FTextMargin, r.Right - FTextMargin, r.Bottom - FTextMargin};
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  else if (FFlyByEnabled && FMouseOver) canvas->Font()->SetColor(FFlyByColor);
  const TAlignmentVertical vertical = FLayout == tlTop ? avTop : FLayout == tlCenter ? avCenter : avBottom;
  fc::DrawStyledCaption(canvas, r, GetLabelText(), FTextStyle, FHighlightColor, FShadowColor, FAlignment, vertical,
                        FWordWrap);
}

void TFcLabel::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  AdjustBounds();
  Invalidate();
}

void TFcLabel::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
}

void TFcLabel::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  FMouseOver = true;
  if (FFlyByEnabled) Invalidate();
}

void TFcLabel::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  FMouseOver = false;
  if (FFlyByEnabled) Invalidate();
}

static const classes::TPublished<TFcLabel, TGraphicControl> FcLabelInfo([](auto& p) {
  p.Bool("AutoSize", &TFcLabel::AutoSize, &TFcLabel::SetAutoSize).Default(true);
  p.Enum("Alignment", &TFcLabel::Alignment, &TFcLabel::SetAlignment).Default(taLeftJustify);
  p.Enum("Layout", &TFcLabel::Layout, &TFcLabel::SetLayout).Default(tlTop);
  p.Bool("Transparent", &TFcLabel::Transparent, &TFcLabel::SetTransparent).Default(false);
  p.Bool("WordWrap", &TFcLabel::WordWrap, &TFcLabel::SetWordWrap).Default(false);
  p.Bool("ShowAccelChar", &TFcLabel::ShowAccelChar, &TFcLabel::SetShowAccelChar).Default(true);
  p.Enum("TextStyle", &TFcLabel::TextStyle, &TFcLabel::SetTextStyle).Default(tsNormal);
  p.Int("HighlightColor", &TFcLabel::HighlightColor, &TFcLabel::SetHighlightColor)
      .Default(clBtnHighlight)
      .Idents(ColorIdents());
  p.Int("ShadowColor", &TFcLabel::ShadowColor, &TFcLabel::SetShadowColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("ShadowDepth", &TFcLabel::ShadowDepth, &TFcLabel::SetShadowDepth).Default(2);
  p.Enum("BorderOuter", &TFcLabel::BorderOuter, &TFcLabel::SetBorderOuter).Default(fsNone);
  p.Enum("BorderInner", &TFcLabel::BorderInner, &TFcLabel::SetBorderInner).Default(fsNone);
  p.Int("BorderWidth", &TFcLabel::BorderWidth, &TFcLabel::SetBorderWidth).Default(0);
  p.Int("BorderColor", &TFcLabel::BorderColor, &TFcLabel::SetBorderColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("TextMargin", &TFcLabel::TextMargin, &TFcLabel::SetTextMargin).Default(0);
  p.Bool("FlyByEnabled", &TFcLabel::FlyByEnabled, &TFcLabel::SetFlyByEnabled).Default(false);
  p.Int("FlyByColor", &TFcLabel::FlyByColor, &TFcLabel::SetFlyByColor).Default(clHighlight).Idents(ColorIdents());
  p.Bool("Blinking", &TFcLabel::Blinking, &TFcLabel::SetBlinking).Default(false);
  p.Component("FocusControl", &TFcLabel::FocusControl, &TFcLabel::SetFocusControl);
});
