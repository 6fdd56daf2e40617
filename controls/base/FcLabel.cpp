#include "controls/base/FcLabel.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "platform/classes/Filer.h"
#include "platform/controls/ControlMessages.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TRotation) {
  static const classes::TEnumInfo info{"TRotation", {"roNone", "roFlat", "roCurve"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TCenterPoint) {
  static const classes::TEnumInfo info{"TCenterPoint",
                                       {"cpUpperLeft", "cpUpperCenter", "cpUpperRight", "cpLeftCenter", "cpCenter",
                                        "cpRightCenter", "cpLowerLeft", "cpLowerCenter", "cpLowerRight"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcCondenseCaption) {
  static const classes::TEnumInfo info{"TFcCondenseCaption", {"ccNone", "ccAtEnd", "ccWithinPath"}};
  return info;
}

namespace {

constexpr double kPi = std::numbers::pi;

int Round(double V) { return static_cast<int>(std::lround(V)); }

// Selects a font into a DC for a scope and deletes it afterwards.
class TScopedFont {
 public:
  TScopedFont(HDC DC, HFONT Font) : FDC(DC), FFont(Font), FOld(SelectObject(DC, Font)) {}
  ~TScopedFont() {
    SelectObject(FDC, FOld);
    DeleteObject(FFont);
  }
  TScopedFont(const TScopedFont&) = delete;
  TScopedFont& operator=(const TScopedFont&) = delete;

 private:
  HDC FDC;
  HFONT FFont;
  HGDIOBJ FOld;
};

// Text output at a point, clipped to a rectangle, in the DC's current font and alignment.
void TextAt(HDC DC, int X, int Y, const TRect* Clip, const std::string& Text, TColor Colour) {
  SetTextColor(DC, ColorToRGB(Colour));
  ExtTextOut(DC, X, Y, Clip ? UINT(ETO_CLIPPED) : 0u, Clip, Text, nullptr);
}

}  // namespace

TFcLabel::TFcLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
  FRememberedColor = FCurrentColor = FSavedFontColor = Font()->Color();
  EnsureBlinkingControlsList()->Add(this);
  FCreating = true;
  SetColor(clBtnFace);
  SetParentColor(true);
  FCreating = false;
}

TFcLabel::~TFcLabel() {
  FFrameController.Release(this);
  if (TFcBlinkingControlsList* list = BlinkingControlsList()) list->Remove(this);
  ReleaseBlinkingListIfEmpty();
}

bool TFcLabel::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IFrameControllerClient>(this, IID, Obj);
}

void TFcLabel::ApplyFrameController() {
  TFcFrameController* controller = FFrameController.Controller();
  if (!controller || !controller->FrameVisible()) return;
  const TFcFrameControllerNotifications mask = FFrameControllerNotifications;
  if (mask.Contains(fcpFrameStyle)) SetBorderOuter(controller->FrameStyle());
  if (mask.Contains(fcpFrameSides)) SetBorderSides(controller->FrameSides());
  if (mask.Contains(fcpFrameColor)) {
    SetFlatColor(controller->FrameColor());
    SetFlatColorAdjustment(0);
  }
  if (mask.Contains(fcpColor)) SetColor(controller->Color());
  if (mask.Contains(fcpParentColor)) SetParentColor(controller->ParentColor());
  if (mask.Contains(fcpColor)) {
    SetBorderHighlight(BrightenColor(Color(), 100));
    SetBorderShadow(DarkenColor(Color(), 50));
  }
  Invalidate();
}

void TFcLabel::Loaded() {
  TCustomLabel::Loaded();
  if (FAngle != 0 && FRotation == roNone) FRotation = roFlat;
  if (FRotation != roNone && !IsTrueTypeFontFace(Font())) Font()->SetName("Verdana");
  FRememberedColor = FCurrentColor = Font()->Color();
  if (ComponentState() & csDesigning) Invalidate();
}

bool TFcLabel::NeedsTrueTypeFont() const { return !(ComponentState() & csLoading); }

void TFcLabel::SetAngle(int Value) {
  // Normalised to 0..359 for any value (a negative one may lie more than a turn below 0).
  Value = ((Value % 360) + 360) % 360;
  if (FAngle == Value) return;
  FAngle = Value;
  if (NeedsTrueTypeFont() && Value != 0 && !IsTrueTypeFontFace(Font())) Font()->SetName("Verdana");
  if (Value != 0 && FRotation == roNone) FRotation = roFlat;
  AdjustBounds();
  Invalidate();
}

void TFcLabel::SetRotation(TRotation Value) {
  if (FRotation == Value) return;
  if (NeedsTrueTypeFont() && Value != roNone && !IsTrueTypeFontFace(Font())) Font()->SetName("Verdana");
  FRotation = Value;
  if (Value == roNone) FAngle = 0;
  if (Value == roFlat) {
    FAngle = 0;
    FCenterPoint = cpCenter;
  }
  AdjustBounds();
  Invalidate();
}

void TFcLabel::SetCenterPoint(TCenterPoint Value) { StoreAndInvalidate(FCenterPoint, Value); }
void TFcLabel::SetLightTextStyle(bool Value) { StoreAndInvalidate(FLightTextStyle, Value); }
void TFcLabel::SetHighlightColor(TColor Value) { StoreAndInvalidate(FHighlightColor, Value); }
void TFcLabel::SetShadowColor(TColor Value) { StoreAndInvalidate(FShadowColor, Value); }
void TFcLabel::SetBorderColor(TColor Value) { StoreAndInvalidate(FBorderColor, Value); }
void TFcLabel::SetBorderHighlight(TColor Value) { StoreAndInvalidate(FBorderHighlight, Value); }
void TFcLabel::SetBorderShadow(TColor Value) { StoreAndInvalidate(FBorderShadow, Value); }
void TFcLabel::SetFlatColor(TColor Value) { StoreAndInvalidate(FFlatColor, Value); }
void TFcLabel::SetFlatColorAdjustment(int Value) { StoreAndInvalidate(FFlatColorAdjustment, Value); }
void TFcLabel::SetFlyByColor(TColor Value) { StoreAndInvalidate(FFlyByColor, Value); }
void TFcLabel::SetBlinkColor(TColor Value) { StoreAndInvalidate(FBlinkColor, Value); }

// The frames change the room left for the text: an auto-sized label grows with them instead of
// cutting its text; one of a fixed size repaints.
void TFcLabel::SetBorderOuter(TFrameStyleEx Value) { StoreAndResize(FBorderOuter, Value); }
void TFcLabel::SetBorderInner(TFrameStyleEx Value) { StoreAndResize(FBorderInner, Value); }
void TFcLabel::SetBorderSides(TSides Value) { StoreAndResize(FBorderSides, Value); }
void TFcLabel::SetBorderWidth(int Value) { StoreAndResize(FBorderWidth, Value); }
void TFcLabel::SetBevelWidth(int Value) { StoreAndResize(FBevelWidth, Value); }

// The margin and the drop shadow take room beside the text as the frames do.
void TFcLabel::SetTextMargin(int Value) { StoreAndResize(FTextMargin, Value); }
void TFcLabel::SetTextStyle(TTextStyle Value) { StoreAndResize(FTextStyle, Value); }
void TFcLabel::SetShadowDepth(int Value) { StoreAndResize(FShadowDepth, Value); }

void TFcLabel::SetCondenseCaption(TFcCondenseCaption Value) {
  if (FCondenseCaption == Value) return;
  FCondenseCaption = Value;
  if (Value != ccNone) SetAutoSize(false);
  Invalidate();
}

void TFcLabel::SetFlyByEnabled(bool Value) {
  if (FFlyByEnabled == Value) return;
  FFlyByEnabled = Value;
  if (!Value && FFlyByShown) {
    FFlyByShown = false;
    Font()->SetColor(FSavedFontColor);
  }
  Invalidate();
}

void TFcLabel::SetBlinking(bool Value) {
  if (FBlinking == Value) return;
  FBlinking = Value;
  if (!Value) {
    FBlinkOn = false;
    FCurrentColor = FRememberedColor;
    Repaint();
  }
}

uint16_t TFcLabel::GetBlinkIntervalOff() const { return EnsureBlinkingControlsList()->IntervalOff(); }
void TFcLabel::SetBlinkIntervalOff(uint16_t Value) { EnsureBlinkingControlsList()->SetIntervalOff(Value); }
uint16_t TFcLabel::GetBlinkIntervalOn() const { return EnsureBlinkingControlsList()->IntervalOn(); }
void TFcLabel::SetBlinkIntervalOn(uint16_t Value) { EnsureBlinkingControlsList()->SetIntervalOn(Value); }

void TFcLabel::SetFrameController(TFcFrameController* Value) { FFrameController.Set(this, Value); }

void TFcLabel::ShowBlinkState(bool On) {
  FBlinkOn = On;
  FCurrentColor = On ? FBlinkColor : FRememberedColor;
  Refresh();
}

void TFcLabel::DefineProperties(TFiler* Filer) {
  TCustomLabel::DefineProperties(Filer);
  Filer->DefineProperty("FrameSides", [](TReader* Reader) { TFcOldPropReader::ReadOldSetProp(Reader); }, nullptr,
                        false);
}

void TFcLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomLabel::Notification(AComponent, Operation);
  if (Operation == opRemove) FFrameController.Removed(AComponent);
}

void TFcLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case FCM_BLINKQUERY: Message.Result = FBlinking ? 1 : 0; return;
    case FCM_BLINK:
      if (FBlinking) ShowBlinkState(Message.WParam != 0);
      return;
    default: TCustomLabel::WndProc(Message);
  }
}

void TFcLabel::CMTextChanged(TMessage& Message) {
  TCustomLabel::CMTextChanged(Message);
  Repaint();
}

void TFcLabel::CMFontChanged(TMessage& Message) {
  TCustomLabel::CMFontChanged(Message);
  if (ComponentState() & csLoading) return;
  if (!FBlinking) FRememberedColor = FCurrentColor = Font()->Color();
  if (FAngle != 0 && !IsTrueTypeFontFace(Font())) {
    FAngle = 0;
    AdjustBounds();
  }
}

void TFcLabel::CMMouseEnter(TMessage& Message) {
  if (ComponentState() & csDesigning) return;
  if (FFlyByEnabled && !FFlyByShown) {
    FSavedFontColor = Font()->Color();
    FFlyByShown = true;
    Font()->SetColor(FFlyByColor);
  }
  TCustomLabel::CMMouseEnter(Message);
}

void TFcLabel::CMMouseLeave(TMessage& Message) {
  // Only a colour saved at the enter is given back (fly-by may have been switched on since).
  if (FFlyByEnabled && FFlyByShown) {
    FFlyByShown = false;
    Font()->SetColor(FSavedFontColor);
  }
  TCustomLabel::CMMouseLeave(Message);
}

void TFcLabel::CMParentColorChanged(TMessage& Message) {
  if (!FCreating) TCustomLabel::CMParentColorChanged(Message);
}

// ---- geometry ----

void TFcLabel::ShrinkRectByBorders(TRect& Rect, bool WithBorderWidth) {
  if (WithBorderWidth) InflateRect(&Rect, -FBorderWidth, -FBorderWidth);
  const int frames = FrameWidth(FBorderOuter, FBevelWidth) + FrameWidth(FBorderInner, FBevelWidth);
  if (FBorderSides.Contains(sdLeft)) Rect.Left += frames;
  if (FBorderSides.Contains(sdTop)) Rect.Top += frames;
  if (FBorderSides.Contains(sdRight)) Rect.Right -= frames;
  if (FBorderSides.Contains(sdBottom)) Rect.Bottom -= frames;
}

void TFcLabel::AdjustTextExtent(TRect& Rect) {
  // Exactly what painting takes from the client rectangle before the text: the frames on the
  // chosen sides, the band and the margin all round.
  TRect inner{0, 0, 0, 0};
  ShrinkRectByBorders(inner, true);
  Rect.Right += inner.Left - inner.Right + 2 * FTextMargin;
  Rect.Bottom += inner.Top - inner.Bottom + 2 * FTextMargin;
  const bool turned = FRotation == roFlat && FAngle != 0 && FAngle != 180;
  if (FTextStyle == tsShadow && FRotation == roNone) {
    Rect.Right += FShadowDepth;
    Rect.Bottom += FShadowDepth;
  }
  if (!turned) return;
  if (FTextStyle == tsShadow) {
    Rect.Right += FShadowDepth / 2;
    Rect.Bottom += FShadowDepth / 2;
  }
  // The box around the turned rectangle, whichever quadrant the angle lies in.
  const double a = FAngle * kPi / 180;
  const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
  const int d = Rect.Width(), g = Rect.Height();
  Rect.Right = Rect.Left + Round(c * d + s * g);
  Rect.Bottom = Rect.Top + Round(s * d + c * g);
}

UINT TFcLabel::TextFormat() {
  TAlignment alignment = Alignment();
  if (UseRightToLeftAlignment()) {
    if (alignment == taLeftJustify) alignment = taRightJustify;
    else if (alignment == taRightJustify) alignment = taLeftJustify;
  }
  UINT flags = DT_EXPANDTABS;
  if (alignment == taRightJustify) flags |= DT_RIGHT;
  if (alignment == taCenter) flags |= DT_CENTER;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  if (WordWrap()) flags |= DT_WORDBREAK;
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  if (FCondenseCaption == ccAtEnd) flags |= DT_END_ELLIPSIS;
  if (FCondenseCaption == ccWithinPath) flags |= DT_PATH_ELLIPSIS;
  return flags;
}

TPoint TFcLabel::ReferencePoint() {
  const int w = Width(), h = Height();
  if (FRotation == roFlat) return {w / 2, h / 2};
  const int b = FBorderWidth;
  switch (FCenterPoint) {
    case cpUpperLeft: return {b, b};
    case cpUpperCenter: return {w / 2, b};
    case cpUpperRight: return {w - b, b};
    case cpLeftCenter: return {b, h / 2};
    case cpCenter: return {w / 2, h / 2};
    case cpRightCenter: return {w - b, h / 2};
    case cpLowerLeft: return {b, h - b};
    case cpLowerCenter: return {w / 2, h - b};
    case cpLowerRight: return {w - b, h - b};
  }
  return {w / 2, h / 2};
}

void TFcLabel::AdjustBounds() {
  if ((ComponentState() & (csReading | csLoading)) || !AutoSize() || FCondenseCaption != ccNone) return;
  TRect r = ClientRect();
  ShrinkRectByBorders(r, true);
  InflateRect(&r, -FTextMargin, -FTextMargin);
  OffsetRect(&r, -r.Left, -r.Top);
  // Without word wrap the text alone decides the width.
  if (!WordWrap()) r.Right = 0x7FFF;
  r.Right = std::max(r.Right, 1);
  std::string text = GetLabelText();
  if (text.empty() || (ShowAccelChar() && text == "&")) text += " ";
  HDC dc = GetDC(nullptr);
  {
    const LOGFONT lf = Font()->LogFont();
    TScopedFont font(dc, CreateFontIndirect(&lf));
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (TextFormat() & (DT_WORDBREAK | DT_NOPREFIX));
    DrawText(dc, text, &r, flags);
  }
  ReleaseDC(nullptr, dc);
  r.Right = r.Left + r.Width();
  AdjustTextExtent(r);
  int x = Left();
  const bool keepRight = (Alignment() == taRightJustify) != UseRightToLeftAlignment();
  if (keepRight && Alignment() != taCenter) x += Width() - r.Width();
  SetBounds(x, Top(), r.Width(), r.Height());
}

// ---- painting ----

void TFcLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
  PaintInnerOuterBorders(canvas, r, FBorderOuter, Transparent(), parentColor, Color(), FFlatColorAdjustment,
                         FFlatColor, FBorderShadow, FBorderHighlight, FBorderColor, FBevelWidth, FBorderSides,
                         FBorderWidth, FBorderInner);
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  canvas->Brush()->SetStyle(bsClear);
  if (FRotation == roCurve) {
    PaintArcText(canvas);
    return;
  }
  TRect text = ClientRect();
  ShrinkRectByBorders(text, true);
  InflateRect(&text, -FTextMargin, -FTextMargin);
  canvas->Font()->Assign(Font());
  if (FRotation == roFlat) PaintRotatedText(canvas, text);
  else PaintStraightText(canvas, text);
}

// The style copies under the caption, then the caption: CopyAt(dx, dy, colour) draws one.
// ShadowOffset is where the drop shadow lies, CaptionOffset where the caption then goes.
void TFcLabel::PaintStyledCopies(const std::function<void(int, int, TColor)>& CopyAt, int ShadowOffset,
                                 int CaptionOffset) {
  switch (FTextStyle) {
    case tsRaised:
      if (!FLightTextStyle) CopyAt(1, 1, FShadowColor);
      CopyAt(-1, -1, FHighlightColor);
      break;
    case tsRecessed:
      CopyAt(1, 1, FHighlightColor);
      if (!FLightTextStyle) CopyAt(-1, -1, FShadowColor);
      break;
    case tsShadow: CopyAt(ShadowOffset, ShadowOffset, FShadowColor); break;
    case tsNormal: break;
  }
  CopyAt(CaptionOffset, CaptionOffset, FCurrentColor);
}

void TFcLabel::DrawStraightCopy(TCanvas* Canvas, TRect R, UINT Flags, TColor Colour) {
  const std::string text = GetLabelText();
  if (Layout() != tlTop) {
    TRect calc = R;
    DrawCanvasText(Canvas, text, calc, Flags | DT_CALCRECT);
    const int free = R.Height() - calc.Height();
    OffsetRect(&R, 0, Layout() == tlBottom ? free : free / 2);
  }
  if (FTextStyle == tsShadow) {
    if (Flags & DT_RIGHT) OffsetRect(&R, -FShadowDepth, 0);
    if (Layout() == tlBottom) OffsetRect(&R, 0, -FShadowDepth);
  }
  Canvas->Font()->SetColor(Colour);
  DrawCanvasText(Canvas, text, R, Flags);
}

void TFcLabel::PaintStraightText(TCanvas* Canvas, const TRect& TextRect) {
  const UINT flags = TextFormat();
  auto copyAt = [&](int Dx, int Dy, TColor Colour) {
    TRect r = TextRect;
    OffsetRect(&r, Dx, Dy);
    DrawStraightCopy(Canvas, r, flags, Colour);
  };
  if (!Enabled()) {
    copyAt(0, 0, clGrayText);
    return;
  }
  PaintStyledCopies(copyAt, FShadowDepth, 0);
}

void TFcLabel::PaintRotatedText(TCanvas* Canvas, const TRect& TextRect) {
  const std::string text = GetLabelText();
  const double theta = FAngle * kPi / 180 + kPi / 2;
  const int h = Canvas->TextHeight("Pp");
  const double q = h * 0.25;
  const int w = Canvas->TextWidth(text);
  const int e = FTextStyle == tsShadow ? FShadowDepth / 2 : 0;
  const int f = w + e;
  const TAlignment alignment = Alignment();
  const int left = TextRect.Left, top = TextRect.Top, right = TextRect.Right, bottom = TextRect.Bottom;
  TPoint p = ReferencePoint();
  int& x = p.X;
  int& y = p.Y;
  UINT align = TA_LEFT | TA_TOP;
  switch (FAngle) {
    case 0:
      if (alignment == taCenter) align = TA_CENTER | TA_TOP;
      else if (alignment == taRightJustify) x = right - w - 2 * e;
      else x = left + e;
      y -= (h + e) / 2;
      break;
    case 90:
      x -= Round(std::cos(theta) * q);
      y = alignment == taCenter ? bottom - (bottom - f) / 2 : alignment == taRightJustify ? top + f + e : bottom - e;
      align = TA_BASELINE;
      break;
    case 180:
      x = alignment == taCenter ? right - (right - f) / 2 : alignment == taRightJustify ? left + f : right - e;
      y -= (h + e) / 4;
      align = TA_BASELINE;
      break;
    case 270:
      x -= Round(std::cos(theta) * q);
      y = alignment == taCenter ? (bottom - f) / 2 : alignment == taRightJustify ? bottom - f - e : top + e;
      align = TA_BASELINE;
      break;
    default:
      x -= Round(std::cos(theta) * q);
      y += Round(std::sin(theta) * q);
      align = TA_CENTER | TA_BASELINE;
      break;
  }
  HDC dc = Canvas->Handle();
  TScopedFont font(dc, CreateRotatedFont(Canvas->Font(), FAngle));
  const UINT oldAlign = SetTextAlign(dc, align);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  auto copyAt = [&](int Dx, int Dy, TColor Colour) { TextAt(dc, x + Dx, y + Dy, &TextRect, text, Colour); };
  if (!Enabled()) {
    copyAt(0, 0, clGrayText);
  } else {
    PaintStyledCopies(copyAt, e, -e);
  }
  SetBkMode(dc, oldMode);
  SetTextAlign(dc, oldAlign);
}

void TFcLabel::PaintArcText(TCanvas* Canvas) {
  Canvas->Font()->Assign(Font());
  const std::string caption = GetLabelText();
  const int W = Width(), H = Height(), a = 2 * FBorderWidth;
  int rx = W - a, ry = H - a;
  switch (FCenterPoint) {
    case cpUpperCenter:
    case cpLowerCenter: rx = W / 2 - a; break;
    case cpLeftCenter:
    case cpRightCenter: ry = H / 2 - a; break;
    case cpCenter:
      rx = W / 2 - a;
      ry = H / 2 - a;
      break;
    default: break;
  }
  // A label too small for its arc would divide by a zero radius: the arc keeps at least 1.
  rx = std::max(rx, 1);
  ry = std::max(ry, 1);
  const int h = Canvas->TextHeight("Yy");
  const double step = (Canvas->TextWidth("w") + 2) / static_cast<double>(rx);
  const TPoint c = ReferencePoint();
  HDC dc = Canvas->Handle();
  const UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  LOGFONT lf = Canvas->Font()->LogFont();
  double phi = FAngle * kPi / 180;
  for (size_t pos = 0; pos < caption.size();) {
    const size_t start = pos;
    rtl::NextCodePoint(caption, pos);
    const std::string one = caption.substr(start, pos - start);
    const int x = c.X - Round(std::sin(phi) * (rx - h));
    const int y = c.Y - Round(std::cos(phi) * (ry - h));
    lf.lfEscapement = ((Round(phi * 1800 / kPi) % 3600) + 3600) % 3600;
    TScopedFont font(dc, CreateFontIndirect(&lf));
    auto copyAt = [&](int Dx, int Dy, TColor Colour) { TextAt(dc, x + Dx, y + Dy, nullptr, one, Colour); };
    if (!Enabled()) {
      copyAt(1, 1, clBtnHighlight);
      copyAt(0, 0, clBtnShadow);
    } else {
      PaintStyledCopies(copyAt, FShadowDepth, 0);
    }
    phi -= step;
  }
  SetBkMode(dc, oldMode);
  SetTextAlign(dc, oldAlign);
}

// ---- published properties ----

static const classes::TPublished<TFcLabel, TCustomLabel> FcLabelInfo([](auto& p) {
  using L = TFcLabel;
  p.Int("Color", &L::Color, &L::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&L::IsColorStored);
  p.Bool("ParentColor", &L::ParentColor, &L::SetParentColor).Default(true);
  p.Int("Angle", &L::Angle, &L::SetAngle).Default(0);
  p.Enum("Rotation", &L::Rotation, &L::SetRotation).Default(roNone);
  p.Enum("CenterPoint", &L::CenterPoint, &L::SetCenterPoint).Default(cpCenter);
  p.Enum("TextStyle", &L::TextStyle, &L::SetTextStyle).Default(tsNormal);
  p.Bool("LightTextStyle", &L::LightTextStyle, &L::SetLightTextStyle).Default(false);
  p.Int("HighlightColor", &L::HighlightColor, &L::SetHighlightColor).Default(clBtnHighlight).Idents(ColorIdents());
  p.Int("ShadowColor", &L::ShadowColor, &L::SetShadowColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("ShadowDepth", &L::ShadowDepth, &L::SetShadowDepth).Default(2);
  p.Int("TextMargin", &L::TextMargin, &L::SetTextMargin).Default(0);
  p.Enum("BorderOuter", &L::BorderOuter, &L::SetBorderOuter).Default(fsNone);
  p.Enum("BorderInner", &L::BorderInner, &L::SetBorderInner).Default(fsNone);
  p.template Set<TSide>("BorderSides", &L::BorderSides, &L::SetBorderSides).Default(AllSides);
  p.Int("BorderWidth", &L::BorderWidth, &L::SetBorderWidth).Default(0);
  p.Int("BevelWidth", &L::BevelWidth, &L::SetBevelWidth).Default(1);
  p.Int("BorderColor", &L::BorderColor, &L::SetBorderColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("BorderHighlight", &L::BorderHighlight, &L::SetBorderHighlight).Default(clBtnHighlight).Idents(ColorIdents());
  p.Int("BorderShadow", &L::BorderShadow, &L::SetBorderShadow).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FlatColor", &L::FlatColor, &L::SetFlatColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FlatColorAdjustment", &L::FlatColorAdjustment, &L::SetFlatColorAdjustment).Default(30);
  p.Enum("CondenseCaption", &L::CondenseCaption, &L::SetCondenseCaption).Default(ccNone);
  p.Bool("FlyByEnabled", &L::FlyByEnabled, &L::SetFlyByEnabled).Default(false);
  p.Int("FlyByColor", &L::FlyByColor, &L::SetFlyByColor).Default(clHighlight).Idents(ColorIdents());
  p.Bool("Blinking", &L::Blinking, &L::SetBlinking).Default(false);
  p.Int("BlinkColor", &L::BlinkColor, &L::SetBlinkColor).Default(clHighlight).Idents(ColorIdents());
  p.Int("BlinkIntervalOff", &L::GetBlinkIntervalOff, &L::SetBlinkIntervalOff).Default(500);
  p.Int("BlinkIntervalOn", &L::GetBlinkIntervalOn, &L::SetBlinkIntervalOn).Default(500);
  p.Component("FrameController", &L::FrameController, &L::SetFrameController);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &L::FrameControllerNotifications,
                                             &L::SetFrameControllerNotifications)
      .Default(AllFrameControllerNotifications);
});
