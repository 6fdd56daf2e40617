#include "controls/base/FcPanel.h"

#include <cstdlib>

TFcCustomPanel::TFcCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

TRect TFcCustomPanel::InsideFrames() {
  TRect r{0, 0, Width(), Height()};
  auto shrink = [&r, this](int n) {
    if (FBorderSides.Contains(sdLeft)) r.Left += n;
    if (FBorderSides.Contains(sdTop)) r.Top += n;
    if (FBorderSides.Contains(sdRight)) r.Right -= n;
    if (FBorderSides.Contains(sdBottom)) r.Bottom -= n;
  };
  shrink(fc::FrameWidth(FBorderOuter, FBevelWidth) + BorderWidth() + fc::FrameWidth(FBorderInner, FBevelWidth));
  return r;
}

void TFcCustomPanel::AdjustClientRect(TRect& Rect) {
  TRect inside = InsideFrames();
  Rect.Left += inside.Left;
  Rect.Top += inside.Top;
  Rect.Right -= Width() - inside.Right;
  Rect.Bottom -= Height() - inside.Bottom;
}

void TFcCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r{0, 0, Width(), Height()};
  if (!FTransparent) {
    fc::FillSolid(canvas, r, Color());
  }
  fc::DrawFrame(canvas, r, FBorderOuter, FBorderSides, FBorderColor == clBtnFace ? clNone : FBorderColor);
  for (int i = 0; i < BorderWidth(); ++i) fc::DrawFrame(canvas, r, fsFlat, FBorderSides, FBorderColor);
  fc::DrawFrame(canvas, r, FBorderInner, FBorderSides, FBorderColor == clBtnFace ? clNone : FBorderColor);
  PaintCaption(r);
}

void TFcCustomPanel::PaintCaption(TRect R) {
  Canvas()->SetFont(Font());
  fc::DrawCaption(Canvas(), R, Caption(), FAlignment, FAlignmentVertical, FWordWrap);
}

void TFcCustomPanel::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

// ---- group box ----

TFcCustomGroupBox::TFcCustomGroupBox(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  SetBorderOuter(fsGroove);
  SetBounds(0, 0, 185, 105);
}

void TFcCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TFcCustomPanel::AdjustClientRect(Rect);
  Rect.Top += std::abs(Font()->Height()) / 2 + 1;
}

void TFcCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  const int half = canvas->TextHeight("0") / 2;
  if (!Transparent()) {
    fc::FillSolid(canvas, {0, 0, Width(), Height()}, Color());
  }
  TRect r{0, half, Width(), Height()};
  fc::DrawFrame(canvas, r, BorderOuter(), BorderSides());
  PaintCaption({8, 0, Width() - 8, 2 * half});
}

void TFcCustomGroupBox::PaintCaption(TRect R) {
  const std::string text = Caption();
  if (text.empty()) return;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  TRect gap{R.Left, R.Top, R.Left + canvas->TextWidth(text) + 4, R.Bottom};
  fc::FillSolid(canvas, gap, Color());
  fc::DrawCaption(canvas, gap, text, taCenter, avCenter);
}

// ---- status bar ----

TFcStatusBar::TFcStatusBar(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  SetBorderOuter(fsNone);
  SetAlign(alBottom);
  SetHeight(19);
}

// ---- published properties ----

static const classes::TPublished<TFcCustomPanel, TCustomControl> FcCustomPanelInfo([](auto& p) {
  p.Int("Color", &TFcCustomPanel::Color, &TFcCustomPanel::SetColor)
      .Default(clBtnFace)
      .Idents(ColorIdents())
      .Stored(&TFcCustomPanel::IsColorStored);
  p.Bool("ParentColor", &TFcCustomPanel::ParentColor, &TFcCustomPanel::SetParentColor).Default(false);
  p.Enum("BorderOuter", &TFcCustomPanel::BorderOuter, &TFcCustomPanel::SetBorderOuter).Default(fsRaised);
  p.Enum("BorderInner", &TFcCustomPanel::BorderInner, &TFcCustomPanel::SetBorderInner).Default(fsNone);
  p.template Set<TSide>("BorderSides", &TFcCustomPanel::BorderSides, &TFcCustomPanel::SetBorderSides)
      .Default(AllSides);
  p.Int("BorderColor", &TFcCustomPanel::BorderColor, &TFcCustomPanel::SetBorderColor)
      .Default(clBtnFace)
      .Idents(ColorIdents());
  p.Int("BevelWidth", &TFcCustomPanel::BevelWidth, &TFcCustomPanel::SetBevelWidth).Default(1);
  p.Bool("Transparent", &TFcCustomPanel::Transparent, &TFcCustomPanel::SetTransparent).Default(false);
  p.Enum("Alignment", &TFcCustomPanel::Alignment, &TFcCustomPanel::SetAlignment).Default(taCenter);
  p.Enum("AlignmentVertical", &TFcCustomPanel::AlignmentVertical, &TFcCustomPanel::SetAlignmentVertical)
      .Default(avCenter);
  p.Bool("WordWrap", &TFcCustomPanel::WordWrap, &TFcCustomPanel::SetWordWrap).Default(false);
  p.Bool("FullRepaint", &TFcCustomPanel::FullRepaint, &TFcCustomPanel::SetFullRepaint).Default(true);
  p.Bool("ParentBackground", &TFcCustomPanel::ParentBackground, &TFcCustomPanel::SetParentBackground)
      .Default(false);
});
static const classes::TPublished<TFcPanel, TFcCustomPanel> FcPanelInfo;
static const classes::TPublished<TFcCustomGroupBox, TFcCustomPanel> FcCustomGroupBoxInfo([](auto& p) {
  p.Enum("BorderOuter", &TFcCustomGroupBox::BorderOuter, &TFcCustomGroupBox::SetBorderOuter).Default(fsGroove);
});
static const classes::TPublished<TFcGroupBox, TFcCustomGroupBox> FcGroupBoxInfo;
static const classes::TPublished<TFcStatusBar, TFcCustomPanel> FcStatusBarInfo([](auto& p) {
  p.Enum("BorderOuter", &TFcStatusBar::BorderOuter, &TFcStatusBar::SetBorderOuter).Default(fsNone);
  p.Enum("Align", &TFcStatusBar::Align, &TFcStatusBar::SetAlign).Default(alBottom);
});
