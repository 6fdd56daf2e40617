#include "controls/base/FcPanel.h"

#include <algorithm>
#include <cmath>

#include "platform/classes/Filer.h"
#include "platform/controls/ControlMessages.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Text.h"
#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/Messages.h"
#include "platform/os/Painting.h"
#include "platform/os/Themes.h"
#include "platform/os/WindowDC.h"

const classes::TEnumInfo& EnumInfo(TFcGridStyle) {
  static const classes::TEnumInfo info{"TFcGridStyle", {"gsDots", "gsDottedLines", "gsSolidLines"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TFcGroupBoxStyle) {
  static const classes::TEnumInfo info{
      "TFcGroupBoxStyle", {"gsStandard", "gsCustom", "gsTopLine", "gsFlat", "gsBanner", "gsUnderline"}};
  return info;
}

namespace fc {
namespace {

// The height of Sample in Font, measured on a screen DC (the control may have no window yet).
int TextHeightIn(TFont* Font, const std::string& Sample) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TSize size{0, 0};
  GetTextExtentPoint32(dc, Sample, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cy;
}

TSize TextExtentIn(TFont* Font, const std::string& Text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TSize size{0, 0};
  GetTextExtentPoint32(dc, Text, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

// Moves the sides of R that are in Sides outwards (Amount > 0) or inwards (< 0).
void GrowSides(TRect& R, TSides Sides, int Amount) {
  if (Sides.Contains(sdLeft)) R.Left -= Amount;
  if (Sides.Contains(sdTop)) R.Top -= Amount;
  if (Sides.Contains(sdRight)) R.Right += Amount;
  if (Sides.Contains(sdBottom)) R.Bottom += Amount;
}

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

}  // namespace

void SetOpaque(TControl* Control, bool Opaque) {
  TControlStyle style = Control->ControlStyle();
  if (Opaque) style.Include(csOpaque);
  else style.Exclude(csOpaque);
  Control->SetControlStyle(style);
}

void PaintCutCornerBox(TCanvas* Canvas, const TRect& R, TColor Colour) {
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetColor(Colour);
  Line(Canvas, R.Left, R.Top + 1, R.Left, R.Bottom - 1);
  Line(Canvas, R.Left + 1, R.Top, R.Right - 1, R.Top);
  Line(Canvas, R.Right - 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  Line(Canvas, R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom - 1);
}

void TFrameControllerLink::Set(TComponent* Control, TFcFrameController* Value) {
  if (FController == Value) return;
  if (FController) FController->UnregisterControl(Control);
  FController = Value;
  if (Value) {
    Value->RegisterControl(Control);
    Value->FreeNotification(Control);
  }
}

void TFrameControllerLink::Release(TComponent* Control) {
  if (FController) FController->UnregisterControl(Control);
  FController = nullptr;
}

}  // namespace fc

// ---- TFcCustomPanel ----

TFcCustomPanel::TFcCustomPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  style.Include(csOpaque);
  SetControlStyle(style);
  SetBevelOuter(bvNone);
  SetParentBackground(false);
  FOldSize = {Width(), Height()};
}

TFcCustomPanel::~TFcCustomPanel() {
  FFrameController.Release(this);
}

bool TFcCustomPanel::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IFrameControllerClient>(this, IID, Obj);
}

void TFcCustomPanel::SetFrameController(TFcFrameController* Value) { FFrameController.Set(this, Value); }

void TFcCustomPanel::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomPanel::Notification(AComponent, Operation);
  if (Operation == opRemove) FFrameController.Removed(AComponent);
}

void TFcCustomPanel::ApplyFrameController() {
  TFcFrameController* controller = FFrameController.Controller();
  if (!controller || !controller->FrameVisible()) return;
  const TFcFrameControllerNotifications mask = FFrameControllerNotifications;
  if (mask.Contains(fcpFrameStyle)) FBorderOuter = controller->FrameStyle();
  if (mask.Contains(fcpFrameSides)) FBorderSides = controller->FrameSides();
  if (mask.Contains(fcpFrameColor)) {
    FFlatColor = controller->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (mask.Contains(fcpColor)) SetColor(controller->Color());
  if (mask.Contains(fcpParentColor)) SetParentColor(controller->ParentColor());
  if (mask.Contains(fcpColor)) {
    FBorderHighlight = BrightenColor(Color(), 100);
    FBorderShadow = DarkenColor(Color(), 50);
  }
  Invalidate();
}

void TFcCustomPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TFcCustomPanel::SetAlignmentVertical(TAlignmentVertical Value) { Store(FAlignmentVertical, Value); }
void TFcCustomPanel::SetBorderColor(TColor Value) { Store(FBorderColor, Value); }
void TFcCustomPanel::SetBorderHighlight(TColor Value) { Store(FBorderHighlight, Value); }
void TFcCustomPanel::SetBorderShadow(TColor Value) { Store(FBorderShadow, Value); }
void TFcCustomPanel::SetFlatColor(TColor Value) { Store(FFlatColor, Value); }
void TFcCustomPanel::SetFlatColorAdjustment(int Value) { Store(FFlatColorAdjustment, Value); }
void TFcCustomPanel::SetGradientColorStyle(TFcGradientColorStyle Value) { Store(FGradientColorStyle, Value); }
void TFcCustomPanel::SetGridColor(TColor Value) { Store(FGridColor, Value); }
void TFcCustomPanel::SetGridStyle(TFcGridStyle Value) { Store(FGridStyle, Value); }
void TFcCustomPanel::SetGridXSize(uint16_t Value) { Store(FGridXSize, Value); }
void TFcCustomPanel::SetGridYSize(uint16_t Value) { Store(FGridYSize, Value); }
void TFcCustomPanel::SetPaintClientArea(bool Value) { Store(FPaintClientArea, Value); }
void TFcCustomPanel::SetShowGrid(bool Value) { Store(FShowGrid, Value); }
void TFcCustomPanel::SetShowDockClientCaptions(bool Value) { Store(FShowDockClientCaptions, Value); }
void TFcCustomPanel::SetTextMargin(int Value) { Store(FTextMargin, Value); }
void TFcCustomPanel::SetTextMarginVertical(int Value) { Store(FTextMarginVertical, Value); }
void TFcCustomPanel::SetWordWrap(bool Value) { Store(FWordWrap, Value); }
void TFcCustomPanel::SetVisualStyle(TFcVisualStyle Value) { Store(FVisualStyle, Value); }

void TFcCustomPanel::SetBorderInner(TFrameStyleEx Value) {
  if (FBorderInner == Value) return;
  FBorderInner = Value;
  FrameChanged();
}

void TFcCustomPanel::SetBorderOuter(TFrameStyleEx Value) {
  if (FBorderOuter == Value) return;
  FBorderOuter = Value;
  FrameChanged();
}

void TFcCustomPanel::SetBorderSides(TSides Value) {
  if (FBorderSides == Value) return;
  FBorderSides = Value;
  FrameChanged();
}

void TFcCustomPanel::SetGradientColorStart(TColor Value) {
  if (FGradientColorStart == Value) return;
  FGradientColorStart = Value;
  Invalidate();
  ::InvalidateTransparentChildren(this);
}

void TFcCustomPanel::SetGradientColorStop(TColor Value) {
  if (FGradientColorStop == Value) return;
  FGradientColorStop = Value;
  Invalidate();
  ::InvalidateTransparentChildren(this);
}

void TFcCustomPanel::SetGradientDirection(TGradientDirection Value) {
  if (FGradientDirection == Value) return;
  FGradientDirection = Value;
  Invalidate();
  ::InvalidateTransparentChildren(this);
}

void TFcCustomPanel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  fc::SetOpaque(this, !Value);
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TFcCustomPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (Align() == alBottom && AHeight != Height()) ATop = Top() + Height() - AHeight;
  else if (Align() == alRight && AWidth != Width()) ALeft = Left() + Width() - AWidth;
  TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

TRect TFcCustomPanel::ClientRect() {
  TRect r = TCustomPanel::ClientRect();
  // Without a window the platform takes the border ring off; the panel paints it itself.
  if (!HandleAllocated()) r = {0, 0, r.Right + 2 * BorderWidth(), r.Bottom + 2 * BorderWidth()};
  if (!FDockSite) ShrinkRectByBorders(r, false);
  return r;
}

void TFcCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomPanel::AdjustClientRect(Rect);
  InflateRect(&Rect, -BorderWidth(), -BorderWidth());
  if (FDockSite) ShrinkRectByBorders(Rect, false);
}

TPoint TFcCustomPanel::CursorClientPos() {
  TPoint p;
  GetCursorPos(&p);
  return ScreenToClient(p);
}

void TFcCustomPanel::ShrinkRectByBorders(TRect& Rect, bool IncludeBorderWidth) {
  if (IncludeBorderWidth) InflateRect(&Rect, -BorderWidth(), -BorderWidth());
  fc::GrowSides(Rect, FBorderSides, -FrameWidth(FBorderOuter, BevelWidth()));
  fc::GrowSides(Rect, FBorderSides, -FrameWidth(FBorderInner, BevelWidth()));
}

TRect TFcCustomPanel::GetFullRect() { return {0, 0, Width(), Height()}; }

TPoint TFcCustomPanel::GetResizeInvalidateMargin() { return {1, 1}; }

void TFcCustomPanel::GetGradientColors(TColor& Start, TColor& Stop) {
  if (FGradientColorStyle == gcsCustom) {
    Start = FGradientColorStart;
    Stop = FGradientColorStop;
  } else {
    GetPanelGradientColors(FGradientColorStyle, Start, Stop);
  }
}

void TFcCustomPanel::GetFrameColors(TColor& FlatColor, int& Adjustment) {
  if (FVisualStyle == vsGradient && FGradientColorStyle != gcsCustom) {
    FlatColor = GetPanelFrameColor(FGradientColorStyle);
    Adjustment = 0;
  } else {
    FlatColor = FFlatColor;
    Adjustment = FFlatColorAdjustment;
  }
}

void TFcCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = GetFullRect();
  TColor flat;
  int adjustment;
  GetFrameColors(flat, adjustment);
  const TColor parentColor = Parent() ? Parent()->Color() : Color();
  PaintInnerOuterBorders(canvas, r, FBorderOuter, FTransparent, parentColor, Color(), adjustment, flat,
                         FBorderShadow, FBorderHighlight, FBorderColor, BevelWidth(), FBorderSides, BorderWidth(),
                         FBorderInner);
  if (!FTransparent && FPaintClientArea) {
    // A rounded frame leaves its inner ring to the fill, which then gives the corners back.
    const bool rounded =
        (FBorderOuter == fsFlatRounded && FBorderInner == fsNone && BorderWidth() == 0) || FBorderInner == fsFlatRounded;
    TRect fill = r;
    if (rounded) fc::GrowSides(fill, FBorderSides, 1);
    if (FVisualStyle == vsGradient) {
      TColor start, stop;
      GetGradientColors(start, stop);
      PaintGradientRect(canvas, fill, FGradientDirection, 1, stop, start);
    } else {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(fill);
    }
    if (rounded) {
      const TColor corner = AdjustColorLuminance(flat, adjustment);
      const bool l = FBorderSides.Contains(sdLeft), t = FBorderSides.Contains(sdTop);
      const bool rt = FBorderSides.Contains(sdRight), b = FBorderSides.Contains(sdBottom);
      if (l && t) canvas->SetPixels(fill.Left, fill.Top, corner);
      if (rt && t) canvas->SetPixels(fill.Right - 1, fill.Top, corner);
      if (rt && b) canvas->SetPixels(fill.Right - 1, fill.Bottom - 1, corner);
      if (l && b) canvas->SetPixels(fill.Left, fill.Bottom - 1, corner);
    }
  }
  if (FShowGrid) DrawGrid(r);
  canvas->Brush()->SetStyle(bsClear);
  DrawCaption(r);
  canvas->Brush()->SetStyle(bsSolid);
  if (OnPaint) OnPaint(this);
}

UINT TFcCustomPanel::CaptionFlags() const {
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = DT_EXPANDTABS | DT_VCENTER | kAlign[Alignment()];
  if (FWordWrap) flags |= DT_WORDBREAK;
  return flags;
}

void TFcCustomPanel::DrawCaption(TRect Rect) {
  const std::string caption = Caption();
  if (caption.empty()) return;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  InflateRect(&Rect, -FTextMargin, -FTextMarginVertical);
  const UINT flags = CaptionFlags();
  TRect measured = Rect;
  DrawText(canvas->Handle(), caption, &measured, flags | DT_CALCRECT);
  const int h = measured.Bottom - measured.Top;
  switch (FAlignmentVertical) {
    case avTop: Rect.Bottom = std::min(Rect.Bottom, Rect.Top + h); break;
    case avCenter:
      Rect.Top = (Rect.Top + Rect.Bottom - h) / 2;
      Rect.Bottom = std::min(Rect.Bottom, Rect.Top + h);
      break;
    case avBottom: Rect.Top = std::max(Rect.Top, Rect.Bottom - h - 1); break;
  }
  canvas->Brush()->SetStyle(bsClear);
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  DrawText(canvas->Handle(), caption, &Rect, flags);
}

void TFcCustomPanel::DrawGrid(TRect Rect) {
  TCanvas* canvas = Canvas();
  const int n = FGridXSize == 0 ? 0 : (Rect.Right - Rect.Left) / FGridXSize;
  const int m = FGridYSize == 0 ? 0 : (Rect.Bottom - Rect.Top) / FGridYSize;
  if (FGridStyle == gsDots) {
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= m; ++j)
        canvas->SetPixels(Rect.Left + i * FGridXSize - 1, Rect.Top + j * FGridYSize - 1, FGridColor);
    return;
  }
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(FGridColor);
  // Dotted lines: every second pixel, from the one after the line's start.
  auto vertical = [&](int x) {
    if (FGridStyle == gsSolidLines) return fc::Line(canvas, x, Rect.Top, x, Rect.Bottom);
    for (int y = Rect.Top + 1; y < Rect.Bottom; y += 2) canvas->SetPixels(x, y, FGridColor);
  };
  auto horizontal = [&](int y) {
    if (FGridStyle == gsSolidLines) return fc::Line(canvas, Rect.Left, y, Rect.Right, y);
    for (int x = Rect.Left + 1; x < Rect.Right; x += 2) canvas->SetPixels(x, y, FGridColor);
  };
  for (int i = 1; i <= n; ++i) vertical(Rect.Left + i * FGridXSize - 1);
  for (int j = 1; j <= m; ++j) horizontal(Rect.Top + j * FGridYSize - 1);
}

void TFcCustomPanel::WMWindowPosChanged(TMessage& Message) {
  const TSize old = FOldSize;
  FOldSize = {Width(), Height()};
  if (HandleAllocated() && (old.cx != Width() || old.cy != Height())) {
    if (FullRepaint() || !Caption().empty()) {
      InvalidateRect(Handle(), nullptr, TRUE);
    } else {
      // Only the frame strips at the right and at the bottom moved: from just inside the old
      // inner edge out to the far edge, old or new.
      TRect inner{0, 0, old.cx, old.cy};
      ShrinkRectByBorders(inner, true);
      const TPoint margin = GetResizeInvalidateMargin();
      const int right = std::max(old.cx, Width()), bottom = std::max(old.cy, Height());
      if (old.cx != Width()) {
        TRect strip{inner.Right - margin.X, 0, right, bottom};
        InvalidateRect(Handle(), &strip, TRUE);
      }
      if (old.cy != Height()) {
        TRect strip{0, inner.Bottom - margin.Y, right, bottom};
        InvalidateRect(Handle(), &strip, TRUE);
      }
    }
  }
  // The platform panel's own strips are those of its bevels, which this panel does not draw.
  TCustomControl::WMWindowPosChanged(Message);
}

void TFcCustomPanel::WMEraseBkgnd(TMessage& Message) {
  if (FTransparent && FPaintClientArea) {
    PaintParentBackground(this, reinterpret_cast<HDC>(Message.WParam), false);
    Message.Result = 1;
    return;
  }
  TCustomPanel::WMEraseBkgnd(Message);
}

void TFcCustomPanel::WMNCCalcSize(TMessage& Message) { DefaultHandler(Message); }

void TFcCustomPanel::CMBorderChanged(TMessage& Message) {
  TCustomPanel::CMBorderChanged(Message);
  Invalidate();
}

void TFcCustomPanel::WMNCPaint(TMessage& Message) { DefaultHandler(Message); }

void TFcCustomPanel::CMEnabledChanged(TMessage& Message) {
  TCustomPanel::CMEnabledChanged(Message);
  Invalidate();
  if (!Enabled()) {
    FEnabledChildren.clear();
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      FEnabledChildren.push_back({child, child->Enabled()});
    }
    for (const TEnabledChild& entry : FEnabledChildren) entry.Child->SetEnabled(false);
    return;
  }
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    auto it = std::find_if(FEnabledChildren.begin(), FEnabledChildren.end(),
                           [child](const TEnabledChild& e) { return e.Child == child; });
    if (it == FEnabledChildren.end() || it->Enabled) child->SetEnabled(true);
  }
}

void TFcCustomPanel::CMControlChange(TMessage& Message) {
  TControl* child = reinterpret_cast<TControl*>(Message.WParam);
  std::erase_if(FEnabledChildren, [child](const TEnabledChild& e) { return e.Child == child; });
}

void TFcCustomPanel::CMMouseEnter(TMessage& Message) {
  if (ComponentState() & csDesigning) return;
  TCustomPanel::CMMouseEnter(Message);
}

void TFcCustomPanel::WMThemeChanged(TMessage& Message) {
  DefaultHandler(Message);
  SetXPColorSchemeIndex(ReadXPColorScheme());
}

void TFcCustomPanel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CONTROLCHANGE:
      TCustomPanel::WndProc(Message);
      CMControlChange(Message);
      return;
    case WM_THEMECHANGED: WMThemeChanged(Message); return;
    default: TCustomPanel::WndProc(Message);
  }
}

void TFcCustomPanel::DefineProperties(TFiler* Filer) {
  TCustomPanel::DefineProperties(Filer);
  // Settings of older versions: read and dropped, or mapped onto the visual style.
  Filer->DefineProperty("FrameSides", [](TReader* Reader) { TFcOldPropReader::ReadOldSetProp(Reader); }, nullptr,
                        false);
  Filer->DefineProperty("ThemeAware", [](TReader* Reader) { TFcOldPropReader::ReadOldBooleanProp(Reader); },
                        nullptr, false);
  Filer->DefineProperty(
      "UseGradients",
      [this](TReader* Reader) {
        if (Reader->ReadBoolean()) FVisualStyle = vsGradient;
      },
      nullptr, false);
}

// ---- TFcCustomGroupBox ----

TFcCustomGroupBox::TFcCustomGroupBox(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csSetCaption);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  FBorderOuter = fsNone;
  FBorderInner = fsNone;
  SetAlignment(taLeftJustify);
  SetAlignmentVertical(avTop);
  SetHeight(105);
}

void TFcCustomGroupBox::ApplyFrameController() {
  if (FGroupStyle == gsCustom) TFcCustomPanel::ApplyFrameController();
}

void TFcCustomGroupBox::SetGroupStyle(TFcGroupBoxStyle Value) {
  if (FGroupStyle == Value) return;
  FGroupStyle = Value;
  FrameChanged();
}

void TFcCustomGroupBox::SetBannerHeight(int Value) {
  if (FBannerHeight == Value) return;
  FBannerHeight = Value;
  FrameChanged();
}

int TFcCustomGroupBox::TextHeightOf(const std::string& Sample) { return fc::TextHeightIn(Font(), Sample); }

void TFcCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TFcCustomPanel::AdjustClientRect(Rect);
  const int h = TextHeightOf("Yy");
  switch (FGroupStyle) {
    case gsCustom:
      if (!Caption().empty()) Rect.Top += h;
      InflateRect(&Rect, -2, -2);
      break;
    case gsTopLine: Rect.Top += h; break;
    case gsBanner: Rect.Top += FBannerHeight != 0 ? FBannerHeight : h + 8; break;
    case gsUnderline: Rect.Top += h + 4; break;
    case gsStandard:
    case gsFlat: {
      const int a = h / 2 - 1;
      if (a < BorderWidth()) Rect.Top += a;
      else Rect.Top += h - BorderWidth();
      const int inset = FGroupStyle == gsStandard ? 2 : 1;
      InflateRect(&Rect, -inset, -inset);
      break;
    }
  }
}

TRect TFcCustomGroupBox::CaptionRect() {
  const std::string caption = Caption();
  if (FGroupStyle == gsCustom || caption.empty()) return {0, 0, 0, 0};
  const TSize size = fc::TextExtentIn(Font(), StripAccelerators(caption));
  const bool mirrored = UseRightToLeftAlignment();
  switch (FGroupStyle) {
    case gsStandard:
    case gsFlat:
      if (mirrored) return {Width() - size.cx - 8, 0, Width() - 8, size.cy};
      return {8, 0, 8 + size.cx, size.cy};
    case gsTopLine:
      if (mirrored) return {Width() - size.cx - 4, 0, Width() - 4, size.cy};
      return {0, 0, size.cx + 4, size.cy};
    case gsBanner: return {0, 0, Width(), FBannerHeight != 0 ? FBannerHeight : size.cy + 6};
    case gsUnderline: return {0, 0, Width(), size.cy + 2};
    default: return {0, 0, 0, 0};
  }
}

void TFcCustomGroupBox::Paint() {
  if (FGroupStyle == gsCustom) {
    TFcCustomPanel::Paint();
    return;
  }
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const TRect caption = CaptionRect();
  const bool hasCaption = !Caption().empty();
  HDC dc = canvas->Handle();
  const int saved = SaveDC(dc);
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect({0, 0, Width(), Height()});
  } else if (FGroupStyle != gsBanner && hasCaption) {
    ExcludeClipRect(dc, caption.Left, caption.Top, caption.Right, caption.Bottom);
  }
  const int t = TextHeightOf("Pp") / 2 - 1;
  TRect frame{0, t, Width(), Height()};
  const TColor flat = AdjustColorLuminance(FFlatColor, FFlatColorAdjustment);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetColor(flat);
  switch (FGroupStyle) {
    case gsStandard:
      if (FBorderOuter == fsNone) {
        PaintFrameStyleSides(canvas, frame, fsGroove, AllSides);
      } else if (FBorderOuter == fsFlat) {
        PaintBoxOutline(canvas, frame, flat);
      } else if (FBorderOuter == fsFlatBold) {
        TRect inner = PaintBoxOutline(canvas, frame, flat);
        PaintBoxOutline(canvas, inner, flat);
      } else if (FBorderOuter == fsFlatRounded) {
        PaintRoundedFlatFrame(canvas, frame, flat, AllSides);
      } else {
        PaintFrameStyleSides(canvas, frame, FBorderOuter, AllSides);
      }
      break;
    case gsTopLine:
      if (FBorderOuter == fsFlat || FBorderOuter == fsFlatBold) {
        fc::Line(canvas, frame.Left + 2, frame.Top, frame.Right - 2, frame.Top);
        if (FBorderOuter == fsFlatBold) fc::Line(canvas, frame.Left + 2, frame.Top + 1, frame.Right - 2, frame.Top + 1);
      } else {
        // fsNone draws a groove, as the standard style does.
        PaintFrameStyleSides(canvas, frame, FBorderOuter == fsNone ? fsGroove : FBorderOuter, TSides{sdTop});
      }
      break;
    case gsFlat: {
      const int l = frame.Left, tp = frame.Top, r = frame.Right, b = frame.Bottom;
      fc::Line(canvas, l, tp + 2, l, b - 2);
      fc::Line(canvas, l + 2, tp, r - 2, tp);
      fc::Line(canvas, r - 1, tp + 2, r - 1, b - 2);
      fc::Line(canvas, l + 2, b - 1, r - 2, b - 1);
      canvas->SetPixels(l + 1, tp + 1, flat);
      canvas->SetPixels(r - 2, tp + 1, flat);
      canvas->SetPixels(r - 2, b - 2, flat);
      canvas->SetPixels(l + 1, b - 2, flat);
      break;
    }
    case gsBanner: {
      TColor start, stop, pen;
      if (GradientColorStyle() == gcsCustom) {
        start = GradientColorStart();
        stop = GradientColorStop();
        pen = flat;
      } else {
        TColor divider;
        GetStatusBarGradientColors(GradientColorStyle(), start, stop, divider);
        // The scheme's stop colour lies at the top.
        std::swap(start, stop);
        pen = divider;
      }
      fc::PaintCutCornerBox(canvas, caption, pen);
      TRect inside = caption;
      InflateRect(&inside, -1, -1);
      PaintGradientRect(canvas, inside, gdHorizontalEnd, 1, stop, start);
      break;
    }
    case gsUnderline: fc::Line(canvas, caption.Left, caption.Bottom - 1, caption.Right, caption.Bottom - 1); break;
    case gsCustom: break;
  }
  RestoreDC(dc, saved);
  if (!hasCaption) return;
  TRect text = caption;
  if (!Transparent() && FGroupStyle != gsBanner) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(text);
  }
  if (FGroupStyle == gsBanner) InflateRect(&text, -4, -1);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->Assign(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  DrawText(canvas->Handle(), Caption(), &text, DT_SINGLELINE | DT_VCENTER | kAlign[Alignment()]);
  canvas->Brush()->SetStyle(bsSolid);
}

void TFcCustomGroupBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<UINT>(Message.WParam), Caption()) && CanFocus()) {
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
    Message.Result = 1;
    return;
  }
  TFcCustomPanel::CMDialogChar(Message);
}

void TFcCustomGroupBox::CMFontChanged(TMessage& Message) {
  TFcCustomPanel::CMFontChanged(Message);
  Invalidate();
}

// ---- TFcStatusBar ----

namespace {
// Visual styles are off on this platform: the status bar paints its classic look.
bool StatusBarThemed() { return false; }
}  // namespace

TFcStatusBar::TFcStatusBar(TComponent* AOwner)
    : TFcCustomPanel(AOwner), FGripCanvas(std::make_unique<TControlCanvas>()) {
  SetAlign(alBottom);
  FBorderInner = fsNone;
  FBorderOuter = fsNone;
  FBorderSides = AllSides;
  SetHeight(19);
  SetBorderWidth(0);
  FGripCanvas->SetControl(this);
}

TFcStatusBar::~TFcStatusBar() = default;

void TFcStatusBar::ResetStatusBarLayout() {
  FBorderInner = fsNone;
  FBorderOuter = fsNone;
  FBorderSides = AllSides;
  SetHeight(19);
  SetBorderWidth(0);
  FrameChanged();
}

void TFcStatusBar::Loaded() {
  TFcCustomPanel::Loaded();
  if (FAutoStyle) ResetStatusBarLayout();
}

void TFcStatusBar::SetBorderInner(TFrameStyleEx Value) {
  TFcCustomPanel::SetBorderInner(Value);
  FAutoStyle = false;
}

void TFcStatusBar::SetBorderOuter(TFrameStyleEx Value) {
  TFcCustomPanel::SetBorderOuter(Value);
  FAutoStyle = false;
}

void TFcStatusBar::SetBorderSides(TSides Value) {
  TFcCustomPanel::SetBorderSides(Value);
  FAutoStyle = false;
}

void TFcStatusBar::SetShowSizeGrip(bool Value) {
  if (FShowSizeGrip == Value) return;
  FShowSizeGrip = Value;
  UpdateSizeGrip();
  Invalidate();
}

void TFcStatusBar::SetSimpleCaption(const std::string& Value) {
  if (FSimpleCaption == Value) return;
  FSimpleCaption = Value;
  Invalidate();
}

void TFcStatusBar::SetSimpleFrameStyle(TFrameStyle Value) {
  if (FSimpleFrameStyle == Value) return;
  FSimpleFrameStyle = Value;
  Invalidate();
}

void TFcStatusBar::SetSimpleStatus(bool Value) {
  if (FSimpleStatus == Value) return;
  FSimpleStatus = Value;
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(!Value);
  EnableAlign();
  Invalidate();
}

void TFcStatusBar::UpdateSizeGrip() {
  TCustomForm* form = GetParentForm(this);
  FSizeGripValid = form && (form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin) &&
                   form->WindowState() != wsMaximized;
}

void TFcStatusBar::CreateWnd() {
  TFcCustomPanel::CreateWnd();
  UpdateSizeGrip();
}

TRect TFcStatusBar::ClientRect() {
  TRect r = TFcCustomPanel::ClientRect();
  if (!StatusBarThemed()) {
    ++r.Bottom;
    if (FSimpleStatus) {
      r.Top = 2;
    } else {
      r.Top = 1;
      --r.Left;
      ++r.Right;
    }
  } else if (FSimpleStatus) {
    ++r.Left;
    ++r.Top;
    --r.Right;
  }
  return r;
}

void TFcStatusBar::GetGradientColors(TColor& Start, TColor& Stop) {
  if (GradientColorStyle() == gcsCustom) {
    Start = GradientColorStop();
    Stop = GradientColorStart();
    return;
  }
  TColor divider;
  GetStatusBarGradientColors(GradientColorStyle(), Start, Stop, divider);
}

void TFcStatusBar::DrawSimpleFrame(TRect Rect) {
  if (VisualStyle() == vsGradient) return;
  if (FSimpleFrameStyle == fsFlat) fc::PaintCutCornerBox(Canvas(), Rect, AdjustColorLuminance(FFlatColor, FFlatColorAdjustment));
  else PaintFrameStyle(Canvas(), Rect, FSimpleFrameStyle);
}

void TFcStatusBar::Paint() {
  TFcCustomPanel::Paint();
  if (!FSimpleStatus) return;
  TRect r = ClientRect();
  --r.Bottom;
  InflateRect(&r, -1, -1);
  DrawSimpleFrame(r);
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  const int h = canvas->TextHeight("Pp");
  canvas->TextOut(r.Left + 2, r.Top + (r.Bottom - r.Top - h) / 2, FSimpleCaption);
  canvas->Brush()->SetStyle(bsSolid);
}

void TFcStatusBar::PaintSizeGrip() {
  if (!FShowSizeGrip || !FSizeGripValid) return;
  TRect r = ClientRect();
  --r.Bottom;
  TColor light = clBtnHighlight, dark = clBtnShadow;
  if (VisualStyle() == vsGradient) {
    TColor start;
    GetStatusBarGradientColors(GradientColorStyle(), start, light, dark);
  }
  static const TPoint kSquares[] = {{5, 12}, {5, 8}, {5, 4}, {9, 8}, {9, 4}, {13, 4}};
  TCanvas* canvas = FGripCanvas.get();
  canvas->Brush()->SetStyle(bsSolid);
  for (const auto& [colour, shift] : {std::pair{light, 0}, std::pair{dark, 1}}) {
    canvas->Brush()->SetColor(colour);
    for (const TPoint& s : kSquares) {
      const int x = r.Right - s.X - shift, y = r.Bottom - s.Y - shift;
      canvas->FillRect({x, y, x + 2, y + 2});
    }
  }
  FGripCanvas->FreeHandle();
}

void TFcStatusBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    UpdateSizeGrip();
    TFcCustomPanel::WndProc(Message);
    PaintSizeGrip();
    return;
  }
  TFcCustomPanel::WndProc(Message);
}

void TFcStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFcCustomPanel::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || (ComponentState() & csDesigning) || !FShowSizeGrip || !FSizeGripValid) return;
  if (!SizeGripRect().Contains({X, Y})) return;
  if (TCustomForm* form = GetParentForm(this)) {
    ReleaseCapture();
    const TPoint at = ClientToScreen({X, Y});
    form->Perform(WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, PointToLParam(at));
  }
}

void TFcStatusBar::WMSetCursor(TMessage& Message) {
  if (FShowSizeGrip && FSizeGripValid && !(ComponentState() & csDesigning) &&
      static_cast<int16_t>(LOWORD(Message.LParam)) == HTCLIENT && Screen &&
      SizeGripRect().Contains(CursorClientPos())) {
    ::SetCursor(Screen->Cursors(crSizeNWSE));
    Message.Result = 1;
    return;
  }
  TFcCustomPanel::WMSetCursor(Message);
}

void TFcStatusBar::Resize() {
  TFcCustomPanel::Resize();
  if (Width() < 50) return;
  if (FFirstResize) {
    FFirstResize = false;
    FLastWidth = Width();
    return;
  }
  FDelta = Width() - FLastWidth;
  if (FAutoScalePanes && ControlCount() > 0 && FDelta != 0) {
    DisableAlign();
    const int count = ControlCount();
    for (int i = 0; i < count; ++i) {
      TControl* pane = Controls(i);
      const int grow = FLastWidth > 0 ? static_cast<int>(std::lround(static_cast<double>(FDelta) * pane->Width() / FLastWidth))
                                      : FDelta / count;
      pane->SetWidth(pane->Width() + grow);
    }
    EnableAlign();
  }
  FLastWidth = Width();
}

// ---- published properties ----

static const classes::TPublished<TFcCustomPanel, TCustomPanel> FcCustomPanelInfo([](auto& p) {
  using P = TFcCustomPanel;
  p.Enum("AlignmentVertical", &P::AlignmentVertical, &P::SetAlignmentVertical).Default(avCenter);
  p.Enum("BevelOuter", &P::BevelOuter, &P::SetBevelOuter).Default(bvNone);
  p.Enum("BorderInner", &P::BorderInner, &P::SetBorderInner).Default(fsNone);
  p.Enum("BorderOuter", &P::BorderOuter, &P::SetBorderOuter).Default(fsRaised);
  p.template Set<TSide>("BorderSides", &P::BorderSides, &P::SetBorderSides).Default(AllSides);
  p.Int("BorderColor", &P::BorderColor, &P::SetBorderColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("BorderHighlight", &P::BorderHighlight, &P::SetBorderHighlight).Default(clBtnHighlight).Idents(ColorIdents());
  p.Int("BorderShadow", &P::BorderShadow, &P::SetBorderShadow).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FlatColor", &P::FlatColor, &P::SetFlatColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FlatColorAdjustment", &P::FlatColorAdjustment, &P::SetFlatColorAdjustment).Default(30);
  p.Enum("GradientColorStyle", &P::GradientColorStyle, &P::SetGradientColorStyle).Default(gcsSystem);
  p.Int("GradientColorStart", &P::GradientColorStart, &P::SetGradientColorStart).Default(clWhite).Idents(ColorIdents());
  p.Int("GradientColorStop", &P::GradientColorStop, &P::SetGradientColorStop).Default(clBtnFace).Idents(ColorIdents());
  p.Enum("GradientDirection", &P::GradientDirection, &P::SetGradientDirection).Default(gdHorizontalEnd);
  p.Int("GridColor", &P::GridColor, &P::SetGridColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Enum("GridStyle", &P::GridStyle, &P::SetGridStyle).Default(gsDots);
  p.Int("GridXSize", &P::GridXSize, &P::SetGridXSize).Default(8);
  p.Int("GridYSize", &P::GridYSize, &P::SetGridYSize).Default(8);
  p.Bool("PaintClientArea", &P::PaintClientArea, &P::SetPaintClientArea).Default(true);
  p.Bool("ParentBackground", &P::ParentBackground, &P::SetParentBackground).Default(false);
  p.Bool("ShowGrid", &P::ShowGrid, &P::SetShowGrid).Default(false);
  p.Bool("ShowDockClientCaptions", &P::ShowDockClientCaptions, &P::SetShowDockClientCaptions).Default(true);
  p.Int("TextMargin", &P::TextMargin, &P::SetTextMargin).Default(0);
  p.Int("TextMarginVertical", &P::TextMarginVertical, &P::SetTextMarginVertical).Default(0);
  p.Bool("Transparent", &P::Transparent, &P::SetTransparent).Default(false);
  p.Enum("VisualStyle", &P::VisualStyle, &P::SetVisualStyle).Default(vsWinXP);
  p.Bool("WordWrap", &P::WordWrap, &P::SetWordWrap).Default(true);
  p.Bool("DockSite", &P::DockSite, &P::SetDockSite).Default(false);
  p.Bool("UseDockManager", &P::UseDockManager, &P::SetUseDockManager).Default(false);
  p.Component("FrameController", &P::FrameController, &P::SetFrameController);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &P::FrameControllerNotifications,
                                             &P::SetFrameControllerNotifications)
      .Default(AllFrameControllerNotifications);
  p.Event("OnPaint", &P::OnPaint);
});
static const classes::TPublished<TFcPanel, TFcCustomPanel> FcPanelInfo;
static const classes::TPublished<TFcCustomGroupBox, TFcCustomPanel> FcCustomGroupBoxInfo([](auto& p) {
  using G = TFcCustomGroupBox;
  p.Enum("Alignment", &G::Alignment, &G::SetAlignment).Default(taLeftJustify);
  p.Enum("AlignmentVertical", &G::AlignmentVertical, &G::SetAlignmentVertical).Default(avTop);
  p.Enum("BorderOuter", &G::BorderOuter, &G::SetBorderOuter).Default(fsNone);
  p.Int("BannerHeight", &G::BannerHeight, &G::SetBannerHeight).Default(0);
  p.Enum("GroupStyle", &G::GroupStyle, &G::SetGroupStyle).Default(gsFlat);
});
static const classes::TPublished<TFcGroupBox, TFcCustomGroupBox> FcGroupBoxInfo;
static const classes::TPublished<TFcStatusBar, TFcCustomPanel> FcStatusBarInfo([](auto& p) {
  using S = TFcStatusBar;
  p.Enum("Align", &S::Align, &S::SetAlign).Default(alBottom);
  p.Enum("BorderOuter", &S::BorderOuter, &S::SetBorderOuter).Default(fsNone);
  p.Bool("AutoScalePanes", &S::AutoScalePanes, &S::SetAutoScalePanes).Default(false);
  p.Bool("AutoStyle", &S::AutoStyle, &S::SetAutoStyle).Default(true);
  p.Bool("ShowSizeGrip", &S::ShowSizeGrip, &S::SetShowSizeGrip).Default(true);
  p.String("SimpleCaption", &S::SimpleCaption, &S::SetSimpleCaption);
  p.Enum("SimpleFrameStyle", &S::SimpleFrameStyle, &S::SetSimpleFrameStyle).Default(fsFlat);
  p.Bool("SimpleStatus", &S::SimpleStatus, &S::SetSimpleStatus).Default(false);
});
