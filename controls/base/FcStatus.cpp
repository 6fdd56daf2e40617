#include "controls/base/FcStatus.h"

#include <algorithm>

#include "controls/base/FcPanel.h"
#include "platform/classes/Filer.h"
#include "platform/controls/ControlMessages.h"
#include "platform/gdi/Text.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/DateTime.h"

// ---- TFcCustomStatusPane ----

TFcCustomStatusPane::TFcCustomStatusPane(TComponent* AOwner) : TGraphicControl(AOwner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csOpaque);
  SetControlStyle(style);
  SetBounds(0, 0, 100, 20);
  SetParentColor(true);
  FFillColor = Color();
  FNormalColor = FCurrentColor = Font()->Color();
  EnsureBlinkingControlsList()->Add(this);
}

TFcCustomStatusPane::~TFcCustomStatusPane() {
  FFrameController.Release(this);
  if (TFcBlinkingControlsList* list = BlinkingControlsList()) list->Remove(this);
  ReleaseBlinkingListIfEmpty();
}

bool TFcCustomStatusPane::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IFrameControllerClient>(this, IID, Obj);
}

void TFcCustomStatusPane::SetFrameController(TFcFrameController* Value) { FFrameController.Set(this, Value); }

void TFcCustomStatusPane::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove) FFrameController.Removed(AComponent);
}

void TFcCustomStatusPane::ApplyFrameController() {
  TFcFrameController* controller = FFrameController.Controller();
  if (!controller || !controller->FrameVisible()) return;
  const TFcFrameControllerNotifications mask = FFrameControllerNotifications;
  if (mask.Contains(fcpFrameStyle)) FFrameStyle = controller->FrameStyle();
  if (mask.Contains(fcpFrameColor)) {
    FFlatColor = controller->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (mask.Contains(fcpColor)) SetFillColor(controller->Color());
  if (mask.Contains(fcpParentColor)) SetParentColor(controller->ParentColor());
  Invalidate();
}

void TFcCustomStatusPane::SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
void TFcCustomStatusPane::SetBlinkColor(TColor Value) { Store(FBlinkColor, Value); }
void TFcCustomStatusPane::SetBorderWidth(int Value) { Store(FBorderWidth, Value); }
void TFcCustomStatusPane::SetFlatColor(TColor Value) { Store(FFlatColor, Value); }
void TFcCustomStatusPane::SetFlatColorAdjustment(int Value) { Store(FFlatColorAdjustment, Value); }
void TFcCustomStatusPane::SetFrameStyle(TFrameStyle Value) { Store(FFrameStyle, Value); }

void TFcCustomStatusPane::SetDefaultWidth(int Value) {
  if (FDefaultWidth == Value) return;
  FDefaultWidth = Value;
  Invalidate();
  UpdateAutoWidth();
}

void TFcCustomStatusPane::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TGraphicControl::SetAutoSize(Value);
  Invalidate();
  UpdateAutoWidth();
}

void TFcCustomStatusPane::SetCaptionOffset(int Value) {
  if (FCaptionOffset == Value) return;
  FCaptionOffset = Value;
  Invalidate();
  UpdateAutoWidth();
}

void TFcCustomStatusPane::SetBlinking(bool Value) {
  if (FBlinking == Value) return;
  FBlinking = Value;
  if (!Value) {
    FCurrentColor = FNormalColor;
    FBlinkShown = false;
    Repaint();
  }
}

uint16_t TFcCustomStatusPane::GetBlinkIntervalOff() const { return EnsureBlinkingControlsList()->IntervalOff(); }
void TFcCustomStatusPane::SetBlinkIntervalOff(uint16_t Value) {
  EnsureBlinkingControlsList()->SetIntervalOff(Value);
}
uint16_t TFcCustomStatusPane::GetBlinkIntervalOn() const { return EnsureBlinkingControlsList()->IntervalOn(); }
void TFcCustomStatusPane::SetBlinkIntervalOn(uint16_t Value) {
  EnsureBlinkingControlsList()->SetIntervalOn(Value);
}

void TFcCustomStatusPane::SetFillColor(TColor Value) {
  FParentFillColor = false;
  Store(FFillColor, Value);
}

void TFcCustomStatusPane::SetParentFillColor(bool Value) {
  if (FParentFillColor == Value) return;
  FParentFillColor = Value;
  if (Parent() && !(ComponentState() & csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
  Invalidate();
}

void TFcCustomStatusPane::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  fc::SetOpaque(this, !Value);
  Invalidate();
}

void TFcCustomStatusPane::Loaded() {
  TGraphicControl::Loaded();
  if (!ParentColor()) SetTransparent(false);
  FNormalColor = FCurrentColor = Font()->Color();
  UpdateAutoWidth();
}

void TFcCustomStatusPane::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
  UpdateAutoWidth();
}

void TFcCustomStatusPane::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  if (ComponentState() & csLoading) return;
  FNormalColor = Font()->Color();
  if (!FBlinking) FCurrentColor = FNormalColor;
  UpdateAutoWidth();
}

void TFcCustomStatusPane::CMColorChanged(TMessage& Message) {
  TGraphicControl::CMColorChanged(Message);
  if (FParentFillColor) FFillColor = Color();
  Invalidate();
}

void TFcCustomStatusPane::CMParentColorChanged(TMessage& Message) {
  TGraphicControl::CMParentColorChanged(Message);
  if (FParentFillColor) FFillColor = Color();
  Invalidate();
}

void TFcCustomStatusPane::CMMouseEnter(TMessage& Message) {
  if (ComponentState() & csDesigning) return;
  TGraphicControl::CMMouseEnter(Message);
}

void TFcCustomStatusPane::ShowBlinkState(bool On) {
  FBlinkShown = On;
  FCurrentColor = On ? FBlinkColor : FNormalColor;
  Refresh();
}

void TFcCustomStatusPane::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case FCM_BLINKQUERY: Message.Result = FBlinking ? 1 : 0; return;
    case FCM_BLINK:
      if (FBlinking) ShowBlinkState(Message.WParam != 0);
      return;
    default: TGraphicControl::WndProc(Message);
  }
}

int TFcCustomStatusPane::GetAutoWidth() {
  const std::string caption = Caption();
  if (caption.empty()) return FDefaultWidth;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TRect r = ClientRect();
  DrawText(dc, caption, &r, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return 2 * FBorderWidth + r.Right + FCaptionOffset + 6;
}

void TFcCustomStatusPane::UpdateAutoWidth() {
  if ((ComponentState() & (csReading | csLoading)) || !AutoSize()) return;
  SetWidth(GetAutoWidth());
}

void TFcCustomStatusPane::GetCaptionRect(TRect& Rect) {
  int w = 0;
  switch (FFrameStyle) {
    case fsNone: w = 0; break;
    case fsFlat:
    case fsStatus:
    case fsPopup: w = 1; break;
    default: w = 2; break;
  }
  Rect = ClientRect();
  InflateRect(&Rect, -(FBorderWidth + w), -(FBorderWidth + w));
}

bool TFcCustomStatusPane::OverlapsSizeGrip() {
  auto* bar = dynamic_cast<TFcStatusBar*>(Parent());
  if (!bar || !bar->ShowSizeGrip() || !bar->SizeGripUsable()) return false;
  const int right = ClientToScreen({Width(), 0}).X;
  const int barRight = bar->ClientToScreen({bar->ClientRect().Right, 0}).X;
  return right >= barRight;
}

void TFcCustomStatusPane::CMHitTest(TMessage& Message) {
  TGraphicControl::CMHitTest(Message);
  if (!OverlapsSizeGrip()) return;
  auto* bar = static_cast<TFcStatusBar*>(Parent());
  const TPoint at = LParamToPoint(Message.LParam);
  // The bar's right edge in the pane's coordinates.
  const int edge = bar->ClientRect().Right - Left();
  if (at.X >= edge - 12) Message.Result = 0;
}

void TFcCustomStatusPane::Paint() {
  DrawPaneFrame();
  DrawPaneCaption(Caption());
}

void TFcCustomStatusPane::DrawPaneFrame() {
  TCanvas* canvas = Canvas();
  TRect r{0, 0, Width(), Height()};
  if (!FTransparent) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  canvas->Pen()->SetWidth(1);
  InflateRect(&r, -FBorderWidth, -FBorderWidth);
  if (auto* bar = dynamic_cast<TFcStatusBar*>(Parent()); bar && bar->VisualStyle() == vsGradient) {
    // On a gradient bar a pane shows only a divider on its left, and the first pane none.
    if (Left() <= bar->BorderWidth()) return;
    TColor start, stop, divider;
    GetStatusBarGradientColors(bar->GradientColorStyle(), start, stop, divider);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(divider);
    canvas->MoveTo(r.Left, r.Top + 1);
    canvas->LineTo(r.Left, r.Bottom - 1);
    return;
  }
  if (FFrameStyle == fsFlat) fc::PaintCutCornerBox(canvas, r, AdjustColorLuminance(FFlatColor, FFlatColorAdjustment));
  else PaintFrameStyle(canvas, r, FFrameStyle);
}

void TFcCustomStatusPane::DrawPaneCaption(const std::string& Text) {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Font()->SetColor(Enabled() ? FCurrentColor : clGrayText);
  TRect r;
  GetCaptionRect(r);
  TAlignment alignment = FAlignment;
  if (UseRightToLeftAlignment()) {
    if (alignment == taLeftJustify) alignment = taRightJustify;
    else if (alignment == taRightJustify) alignment = taLeftJustify;
  }
  int x = r.Left + FCaptionOffset + 1;
  UINT align = TA_LEFT;
  if (alignment == taRightJustify) {
    x = r.Right - FCaptionOffset - 1;
    align = TA_RIGHT;
  } else if (alignment == taCenter) {
    x = (r.Left + r.Right) / 2;
    align = TA_CENTER;
  }
  const int y = r.Top + (r.Bottom - r.Top - canvas->TextHeight("Pp")) / 2;
  if (FTransparent) {
    canvas->Brush()->SetStyle(bsClear);
  } else {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FFillColor);
  }
  const UINT oldAlign = SetTextAlign(canvas->Handle(), align);
  canvas->TextRect(r, x, y, Text);
  SetTextAlign(canvas->Handle(), oldAlign);
  canvas->Brush()->SetStyle(bsSolid);
}

// ---- the polling list ----

namespace {
std::unique_ptr<TFcPollingList>& PollingListSlot() {
  static std::unique_ptr<TFcPollingList> list;
  return list;
}
}  // namespace

TFcPollingList* PollingList() { return PollingListSlot().get(); }

TFcPollingList::TFcPollingList() : FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetInterval(500);
  FTimer->SetEnabled(true);
  FTimer->OnTimer = [this](TObject*) { Tick(); };
}

TFcPollingList::~TFcPollingList() = default;

bool TFcPollingList::GetActive() const { return FTimer->Enabled(); }

void TFcPollingList::SetActive(bool Value) {
  if (FTimer->Enabled() != Value) FTimer->SetEnabled(Value);
}

uint16_t TFcPollingList::GetInterval() const { return static_cast<uint16_t>(FTimer->Interval()); }

void TFcPollingList::SetInterval(uint16_t Value) {
  if (FTimer->Interval() != Value) FTimer->SetInterval(Value);
}

void TFcPollingList::Add(TFcPollingStatus* Pane) {
  if (std::find(FPanes.begin(), FPanes.end(), Pane) == FPanes.end()) FPanes.push_back(Pane);
}

void TFcPollingList::Remove(TFcPollingStatus* Pane) { std::erase(FPanes, Pane); }

void TFcPollingList::Tick() {
  // A handler may free panes (even the last one, and with it this list): work on a copy and
  // skip the panes that left meanwhile.
  const std::vector<TFcPollingStatus*> panes = FPanes;
  for (TFcPollingStatus* pane : panes) {
    TFcPollingList* list = PollingList();
    if (!list || std::find(list->FPanes.begin(), list->FPanes.end(), pane) == list->FPanes.end()) continue;
    if (pane->Visible()) pane->TimerExpired();
  }
}

// ---- TFcPollingStatus ----

TFcPollingStatus::TFcPollingStatus(TComponent* AOwner) : TFcCustomStatusPane(AOwner) {
  if (!PollingListSlot()) PollingListSlot() = std::make_unique<TFcPollingList>();
  PollingListSlot()->Add(this);
}

TFcPollingStatus::~TFcPollingStatus() {
  auto& list = PollingListSlot();
  if (!list) return;
  list->Remove(this);
  if (list->Count() == 0) list.reset();
}

bool TFcPollingStatus::GetActive() const { return PollingList()->GetActive(); }
void TFcPollingStatus::SetActive(bool Value) { PollingList()->SetActive(Value); }
uint16_t TFcPollingStatus::GetInterval() const { return PollingList()->GetInterval(); }
void TFcPollingStatus::SetInterval(uint16_t Value) { PollingList()->SetInterval(Value); }

void TFcPollingStatus::TimerExpired() {
  if (OnTimerExpired) OnTimerExpired(this);
}

// ---- TFcClockStatus ----

TFcClockStatus::TFcClockStatus(TComponent* AOwner) : TFcPollingStatus(AOwner) {
  SetWidth(150);
  UpdateTime();
}

void TFcClockStatus::SetFormat(const std::string& Value) {
  if (FFormat == Value) return;
  FFormat = Value;
  UpdateTime();
  Invalidate();
}

void TFcClockStatus::UpdateTime() {
  TDateTime now = Now();
  if (OnGetDateTime) OnGetDateTime(this, now);
  std::string text = FFormat.empty() ? DateTimeToStr(now) : FormatDateTime(FFormat, now);
  if (text == FClockText) return;
  FClockText = std::move(text);
  FText = FClockText;
  UpdateAutoWidth();
  Invalidate();
}

void TFcClockStatus::TimerExpired() {
  UpdateTime();
  TFcPollingStatus::TimerExpired();
}

void TFcClockStatus::Loaded() {
  TFcPollingStatus::Loaded();
  UpdateTime();
  FText = FClockText;
  UpdateAutoWidth();
}

void TFcClockStatus::GetCaptionRect(TRect& Rect) {
  TFcPollingStatus::GetCaptionRect(Rect);
  if (OverlapsSizeGrip()) Rect.Right -= 12;
}

void TFcClockStatus::Paint() {
  FText = FClockText;
  TFcPollingStatus::Paint();
}

// ---- published properties ----

static const classes::TPublished<TFcCustomStatusPane, TGraphicControl> FcCustomStatusPaneInfo([](auto& p) {
  using S = TFcCustomStatusPane;
  p.Enum("Alignment", &S::Alignment, &S::SetAlignment).Default(taLeftJustify);
  p.Int("DefaultWidth", &S::DefaultWidth, &S::SetDefaultWidth).Default(40);
  p.Bool("Blinking", &S::Blinking, &S::SetBlinking).Default(false);
  p.Int("BlinkColor", &S::BlinkColor, &S::SetBlinkColor).Default(clHighlight).Idents(ColorIdents());
  p.Int("BlinkIntervalOff", &S::GetBlinkIntervalOff, &S::SetBlinkIntervalOff).Default(500);
  p.Int("BlinkIntervalOn", &S::GetBlinkIntervalOn, &S::SetBlinkIntervalOn).Default(500);
  p.Int("BorderWidth", &S::BorderWidth, &S::SetBorderWidth).Default(1);
  p.Int("CaptionOffset", &S::CaptionOffset, &S::SetCaptionOffset).Default(2);
  p.Int("Color", &S::Color, &S::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&S::IsColorStored);
  p.Int("FillColor", &S::FillColor, &S::SetFillColor)
      .Default(clBtnFace)
      .Idents(ColorIdents())
      .Stored(&S::IsFillColorStored);
  p.Bool("ParentFillColor", &S::ParentFillColor, &S::SetParentFillColor).Default(true);
  p.Int("FlatColor", &S::FlatColor, &S::SetFlatColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FlatColorAdjustment", &S::FlatColorAdjustment, &S::SetFlatColorAdjustment).Default(30);
  p.Enum("FrameStyle", &S::FrameStyle, &S::SetFrameStyle).Default(fsFlat);
  p.Bool("Transparent", &S::Transparent, &S::SetTransparent).Default(true);
  p.Bool("ParentColor", &S::ParentColor, &S::SetParentColor).Default(true);
  p.Component("FrameController", &S::FrameController, &S::SetFrameController);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &S::FrameControllerNotifications,
                                             &S::SetFrameControllerNotifications)
      .Default(AllFrameControllerNotifications);
});
static const classes::TPublished<TFcPollingStatus, TFcCustomStatusPane> FcPollingStatusInfo([](auto& p) {
  using S = TFcPollingStatus;
  p.Bool("Active", &S::Active, &S::SetActive).Default(true);
  p.Int("Interval", &S::Interval, &S::SetInterval).Default(500);
  p.Event("OnTimerExpired", &S::OnTimerExpired);
});
static const classes::TPublished<TFcClockStatus, TFcPollingStatus> FcClockStatusInfo([](auto& p) {
  using S = TFcClockStatus;
  p.String("Format", &S::Format, &S::SetFormat);
  p.Event("OnGetDateTime", &S::OnGetDateTime);
});
