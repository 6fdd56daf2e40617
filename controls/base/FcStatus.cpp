#include "controls/base/FcStatus.h"

#include "platform/rtl/DateTime.h"

TFcCustomStatusPane::TFcCustomStatusPane(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 100, 19);
  SetColor(clBtnFace);
}

void TFcCustomStatusPane::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    fc::FillSolid(canvas, r, Color());
  }
  fc::DrawFrame(canvas, r, FFrameStyle);
  r = {r.Left + FMargin, r.Top, r.Right - FMargin, r.Bottom};
  canvas->SetFont(Font());
  fc::DrawCaption(canvas, r, PaneText(), FAlignment, avCenter);
}

void TFcCustomStatusPane::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
}

TFcPollingStatus::TFcPollingStatus(TComponent* AOwner)
    : TFcCustomStatusPane(AOwner), FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetInterval(500);
  FTimer->OnTimer = [this](TObject*) { TimerExpired(); };
}

TFcPollingStatus::~TFcPollingStatus() = default;

void TFcPollingStatus::TimerExpired() { Invalidate(); }

TFcClockStatus::TFcClockStatus(TComponent* AOwner) : TFcPollingStatus(AOwner) {}

void TFcClockStatus::SetFormat(const std::string& Value) {
  if (Value == FFormat) return;
  FFormat = Value;
  Invalidate();
}

std::string TFcClockStatus::PaneText() { return FormatDateTime(FFormat.empty() ? "c" : FFormat, Now()); }

void TFcClockStatus::TimerExpired() {
  // Repaints only when the text changed.
  std::string text = PaneText();
  if (text == FShown) return;
  FShown = text;
  Invalidate();
}

static const classes::TPublished<TFcCustomStatusPane, TGraphicControl> FcCustomStatusPaneInfo([](auto& p) {
  using S = TFcCustomStatusPane;
  p.Int("Color", &S::Color, &S::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&S::IsColorStored);
  p.Enum("FrameStyle", &S::FrameStyle, &S::SetFrameStyle).Default(fsStatus);
  p.Enum("Alignment", &S::Alignment, &S::SetAlignment).Default(taLeftJustify);
  p.Bool("Transparent", &S::Transparent, &S::SetTransparent).Default(false);
  p.Bool("AutoWidth", &S::AutoWidth, &S::SetAutoWidth).Default(false);
  p.Int("Margin", &S::Margin, &S::SetMargin).Default(2);
  p.Bool("Blinking", &S::Blinking, &S::SetBlinking).Default(false);
});
static const classes::TPublished<TFcPollingStatus, TFcCustomStatusPane> FcPollingStatusInfo;
static const classes::TPublished<TFcClockStatus, TFcPollingStatus> FcClockStatusInfo([](auto& p) {
  p.String("Format", &TFcClockStatus::Format, &TFcClockStatus::SetFormat);
});
