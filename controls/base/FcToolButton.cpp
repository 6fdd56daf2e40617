// TFcToolButton: a window-less tool-bar button with an image from an image list, an optional
// caption, the classic, XP, gradient and flat faces, groups, and a drop-down menu that opens
// from the whole button or, on a split button, from its arrow strip.
#include <algorithm>
#include <vector>

#include "controls/base/FcButton.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/DC.h"
#include "platform/graphics/Idents.h"
#include "platform/os/Input.h"
#include "platform/os/ThemeParts.h"
#include "platform/rtl/Clock.h"

namespace {

using fc::VisualStylesOn;

int64_t MonotonicNow() { return rtl::CurrentClock().MonotonicMs(); }

}  // namespace

const classes::TEnumInfo& EnumInfo(TFcToolStyle) {
  static const classes::TEnumInfo info{"TFcToolStyle", {"tsButton", "tsDropDown"}};
  return info;
}

TFcToolButton::TFcToolButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()) {
  SetControlStyle(TControlStyle{csCaptureMouse});
  SetBounds(0, 0, 25, 25);
  SetColor(clBtnFace);
  FImageChangeLink->OnChange = [this](TObject*) { ImagesChanged(); };
}

TFcToolButton::~TFcToolButton() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
}

bool TFcToolButton::IsSplit() const { return FToolStyle == tsDropDown && static_cast<bool>(OnClick); }

bool TFcToolButton::IsPressed() const {
  return FState == tbsDown || FState == tbsExclusive || (FState == tbsDropDownPressed && !IsSplit());
}

bool TFcToolButton::InArrowStrip(int X) const {
  return UseRightToLeftAlignment() ? X <= ArrowStripWidth : X >= Width() - ArrowStripWidth;
}

void TFcToolButton::SetState(TState Value) {
  if (FState == Value) return;
  FState = Value;
  Invalidate();
}

// ---- setters ----

void TFcToolButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Invalidate();
}

void TFcToolButton::SetDownIndex(int Value) {
  if (FDownIndex == Value) return;
  FDownIndex = Value;
  Invalidate();
}

void TFcToolButton::SetHotIndex(int Value) {
  if (FHotIndex == Value) return;
  FHotIndex = Value;
  Invalidate();
}

void TFcToolButton::SetDisabledIndex(int Value) {
  if (FDisabledIndex == Value) return;
  FDisabledIndex = Value;
  Invalidate();
}

void TFcToolButton::SetImages(TCustomImageList* Value) {
  if (!fc::RelinkImages(FImages, Value, FImageChangeLink.get(), this)) return;
  ImagesChanged();
}

void TFcToolButton::ImagesChanged() {
  // The button is never smaller than its images.
  if (FImages && (Width() < FImages->Width() || Height() < FImages->Height()))
    SetBounds(Left(), Top(), std::max(Width(), FImages->Width()), std::max(Height(), FImages->Height()));
  Invalidate();
}

void TFcToolButton::SetShowCaption(bool Value) {
  FUseToolbarShowCaption = false;
  if (FShowCaption == Value) return;
  FShowCaption = Value;
  Invalidate();
}

void TFcToolButton::SetLayout(TButtonLayout Value) {
  FUseToolbarButtonLayout = false;
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TFcToolButton::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TFcToolButton::SetToolStyle(TFcToolStyle Value) {
  if (FToolStyle == Value) return;
  FToolStyle = Value;
  FGroupIndex = 0;
  if (!HasState(csLoading)) {
    const int width = Value == tsDropDown ? Width() + ArrowStripWidth : Width() - ArrowStripWidth;
    SetBounds(Left(), Top(), width, Height());
  }
  Invalidate();
}

void TFcToolButton::SetDropDownMenu(TPopupMenu* Value) {
  if (FDropDownMenu == Value) return;
  FDropDownMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TFcToolButton::SetGroupIndex(int Value) {
  if (FToolStyle == tsDropDown) Value = 0;
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  SendGroupMessage();
}

void TFcToolButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    SetState(tbsExclusive);
    SendGroupMessage();
  } else {
    FState = tbsUp;
    Repaint();
  }
}

void TFcToolButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  SendGroupMessage();
}

void TFcToolButton::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Repaint();
}

void TFcToolButton::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TFcToolButton::SetVisualStyle(TFcVisualStyle Value) {
  FUseToolbarVisualStyle = false;
  if (FVisualStyle == Value) return;
  FVisualStyle = Value;
  Invalidate();
}

void TFcToolButton::SetGradientColorStyle(TFcGradientColorStyle Value) {
  if (FGradientColorStyle == Value) return;
  FGradientColorStyle = Value;
  Invalidate();
}

void TFcToolButton::SetSelectionColorStart(TColor Value) {
  if (FSelectionColorStart == Value) return;
  FSelectionColorStart = Value;
  Invalidate();
}

void TFcToolButton::SetSelectionColorStop(TColor Value) {
  if (FSelectionColorStop == Value) return;
  FSelectionColorStop = Value;
  Invalidate();
}

void TFcToolButton::SetSelectionFrameColor(TColor Value) {
  if (FSelectionFrameColor == Value) return;
  FSelectionFrameColor = Value;
  Invalidate();
}

void TFcToolButton::SetUseToolbarButtonLayout(bool Value) {
  if (FUseToolbarButtonLayout == Value) return;
  FUseToolbarButtonLayout = Value;
  SendToolbarMessage(FCM_TOOLBAR_LAYOUT);
}

void TFcToolButton::SetUseToolbarButtonSize(bool Value) {
  if (FUseToolbarButtonSize == Value) return;
  FUseToolbarButtonSize = Value;
  SendToolbarMessage(FCM_TOOLBAR_SIZE);
}

void TFcToolButton::SetUseToolbarShowCaption(bool Value) {
  if (FUseToolbarShowCaption == Value) return;
  FUseToolbarShowCaption = Value;
  SendToolbarMessage(FCM_TOOLBAR_SHOWCAPTION);
}

void TFcToolButton::SetUseToolbarVisualStyle(bool Value) {
  if (FUseToolbarVisualStyle == Value) return;
  FUseToolbarVisualStyle = Value;
  SendToolbarMessage(FCM_TOOLBAR_VISUALSTYLE);
}

void TFcToolButton::SetWidthValue(int Value) {
  if (!HasState(csLoading)) FUseToolbarButtonSize = false;
  SetWidth(Value);
}

void TFcToolButton::SetHeightValue(int Value) {
  if (!HasState(csLoading)) FUseToolbarButtonSize = false;
  SetHeight(Value);
}

// ---- groups and tool-bar settings ----

void TFcToolButton::SendGroupMessage() { fc::BroadcastGroupMessage(this, CM_BUTTONPRESSED, FGroupIndex); }

void TFcToolButton::ButtonPressed(int Group, TFcToolButton* Sender) {
  if (Group != FGroupIndex || Sender == nullptr || Sender == this) return;
  if (fc::HearGroupMember(FDown, FAllowAllUp, Sender->FDown, Sender->FAllowAllUp)) {
    FState = tbsUp;
    Invalidate();
  }
}

void TFcToolButton::SendToolbarMessage(UINT Msg) {
  if (Parent() && !HasState(csReading)) Perform(Msg, 0, 0);
}

void TFcToolButton::FetchToolbarSettings() {
  for (UINT msg : {FCM_TOOLBAR_SHOWCAPTION, FCM_TOOLBAR_LAYOUT, FCM_TOOLBAR_SIZE, FCM_TOOLBAR_VISUALSTYLE})
    Perform(msg, 0, 0);
}

void TFcToolButton::Loaded() {
  TGraphicControl::Loaded();
  FetchToolbarSettings();
}

void TFcToolButton::SetParent(TWinControl* AParent) {
  TGraphicControl::SetParent(AParent);
  if (AParent && !HasState(csLoading)) FetchToolbarSettings();
}

void TFcToolButton::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  FetchToolbarSettings();
  Invalidate();
}

void TFcToolButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFcToolButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED:
      // Other kinds of buttons use the same message: only tool buttons take part.
      ButtonPressed(static_cast<int>(Message.WParam),
                    dynamic_cast<TFcToolButton*>(reinterpret_cast<TObject*>(Message.LParam)));
      return;
    case FCM_TOOLBAR_SHOWCAPTION:
    case FCM_TOOLBAR_LAYOUT:
    case FCM_TOOLBAR_SIZE:
    case FCM_TOOLBAR_VISUALSTYLE:
      // Only the library's tool-bar container would answer these; this system has none.
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<UINT>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
          Parent()->Showing()) {
        if (FToolStyle == tsButton || IsSplit()) Click();
        else DoDropDown();
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TGraphicControl::WndProc(Message);
}

void TFcToolButton::DefineProperties(TFiler* Filer) {
  TGraphicControl::DefineProperties(Filer);
  for (const char* name : {"GradientColorDefault", "ThemeAware"})
    Filer->DefineProperty(name, [](TReader* Reader) { TFcOldPropReader::ReadOldBooleanProp(Reader); }, nullptr, false);
  Filer->DefineProperty("GradientColorStart", [this](TReader* R) { ReadSelectionColor(R, FSelectionColorStart); },
                        nullptr, false);
  Filer->DefineProperty("GradientColorStop", [this](TReader* R) { ReadSelectionColor(R, FSelectionColorStop); },
                        nullptr, false);
  Filer->DefineProperty("FrameColor", [this](TReader* R) { ReadSelectionColor(R, FSelectionFrameColor); }, nullptr,
                        false);
  Filer->DefineProperty("UseGradients", [this](TReader* R) { ReadUseGradients(R); }, nullptr, false);
}

void TFcToolButton::ReadSelectionColor(TReader* Reader, TColor& Target) {
  if (Reader->NextValue() == vaIdent) {
    TColor colour = clNone;
    if (IdentToColor(Reader->ReadIdent(), colour)) Target = colour;
  } else {
    Target = static_cast<TColor>(Reader->ReadInteger());
  }
}

void TFcToolButton::ReadUseGradients(TReader* Reader) {
  if (Reader->ReadBoolean()) FVisualStyle = vsGradient;
}

void TFcToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TFcToolButton::Click() {
  if (FToolStyle == tsButton || FTreatAsNormal) TGraphicControl::Click();
}

// ---- mouse ----

void TFcToolButton::CMMouseEnter(TMessage& Message) {
  if (HasState(csDesigning)) return;
  FMouseIn = true;
  TGraphicControl::CMMouseEnter(Message);
  if (TracksHot()) Repaint();
}

void TFcToolButton::CMMouseLeave(TMessage& Message) {
  if (HasState(csDesigning)) return;
  if (!FInDropDown) FMouseIn = false;
  TGraphicControl::CMMouseLeave(Message);
  if (TracksHot()) Repaint();
}

void TFcToolButton::HotRecheck() {
  if (!TracksHot() || !Enabled()) return;
  TPoint p;
  GetCursorPos(&p);
  const bool over = FindDragTarget(p, true) == this;
  if (over != FMouseIn) Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
}

void TFcToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (FToolStyle == tsDropDown && FDropDownMenu && Shift == TShiftState{ssLeft} && (InArrowStrip(X) || !IsSplit())) {
    if (FDroppedDown && MonotonicNow() - FDropDownTime < ReopenDelayMs) {
      // The press that closed the menu does not open it again.
      FTreatAsNormal = true;
      FDroppedDown = false;
      SetMouseCapture(false);
    } else {
      FState = tbsDropDownPressed;
      Repaint();
      DoDropDown();
      FTreatAsNormal = false;
      FDroppedDown = true;
      FDropDownTime = MonotonicNow();
    }
    MouseUp(Button, Shift, X, Y);
    return;
  }
  if (FToolStyle == tsDropDown && !FTreatAsNormal) {
    FTreatAsNormal = true;
    return;
  }
  if (Button == mbLeft && Enabled()) {
    if (!FDown || FState == tbsExclusive) SetState(tbsDown);
    FDragging = true;
  }
}

void TFcToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (FDragging) {
    const bool inside = ClientRect().Contains({X, Y});
    SetState(FDown ? tbsExclusive : inside ? tbsDown : tbsUp);
  } else if (!FMouseIn) {
    HotRecheck();
  }
}

void TFcToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (FDragging) {
    FDragging = false;
    const bool inside = ClientRect().Contains({X, Y});
    bool click = inside;
    if (FGroupIndex == 0) {
      FState = tbsUp;
      FMouseIn = false;
      if (inside) Repaint();
    } else if (inside) {
      const bool was = FDown;
      SetDown(!FDown);
      FState = FDown ? tbsExclusive : tbsUp;
      click = FDown != was;
      if (FDown) Repaint();
    } else {
      if (FDown) FState = tbsExclusive;
      Repaint();
    }
    if (click) Click();
    HotRecheck();
  }
  if (FToolStyle == tsDropDown) DropDownMouseUp(X, Y);
}

void TFcToolButton::DropDownMouseUp(int, int) {
  TPoint p;
  GetCursorPos(&p);
  if (!ClientRect().Contains(ScreenToClient(p))) FTreatAsNormal = true;
  FState = tbsUp;
  Repaint();
  HotRecheck();
}

void TFcToolButton::DoDropDown() {
  if (!FDropDownMenu) return;
  FInDropDown = true;
  struct TLeave {
    bool& Flag;
    ~TLeave() { Flag = false; }
  } leave{FInDropDown};
  if (OnDropDown) OnDropDown(FDropDownMenu);
  if (!FDropDownMenu) return;
  const bool rtl = UseRightToLeftAlignment();
  int x = 0;
  switch (FDropDownMenu->Alignment()) {
    case paLeft: x = rtl ? Width() : 0; break;
    case paRight: x = rtl ? 0 : Width(); break;
    case paCenter: x = Width() / 2; break;
  }
  TPoint p = ClientToScreen({x, Height()});
  // The menu is as wide as its widest caption plus room for checks, pictures and arrows.
  TBitmap measure(1, 1);
  measure.Canvas()->Font()->Assign(Screen->MenuFont());
  int widest = 0;
  TMenuItem* items = FDropDownMenu->Items();
  for (int i = 0; items && i < items->Count(); ++i)
    widest = std::max(widest, measure.Canvas()->TextWidth(StripAccelerators(items->Items(i)->Caption())));
  const int menuWidth = widest + 56;
  TRect work;
  if (TMonitor* monitor = FindMonitorAtPoint(p)) work = GetMonitorWorkRect(monitor);
  else work = {0, 0, GetWindowWorkAreaWidth(Parent()), 0};
  if (FDropDownMenu->Alignment() == paLeft && p.X + menuWidth > work.Right) p.X = work.Right;
  if (FDropDownMenu->Alignment() == paRight && p.X - menuWidth < work.Left) p.X = work.Left;
  FDropDownMenu->SetPopupComponent(this);
  FDropDownMenu->Popup(p.X, p.Y);
}

// ---- painting ----

TSize TFcToolButton::GetImageSize() {
  if (!FImages || FImageIndex == -1) return {0, 0};
  return {FImages->Width(), FImages->Height()};
}

void TFcToolButton::Paint() {
  if (!Enabled()) {
    FState = tbsDisabled;
    FDragging = false;
  } else if (FState == tbsDisabled) {
    FState = FDown && FGroupIndex != 0 ? tbsExclusive : tbsUp;
  }
  TCanvas* canvas = Canvas();
  TRect face = ClientRect();
  const bool xp = FVisualStyle == vsWinXP && VisualStylesOn();
  DrawButtonFace(face);
  if (!FTransparent && !xp) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(face);
  }
  if (FVisualStyle != vsGradient && (FVisualStyle == vsClassic || !VisualStylesOn()) && FState == tbsExclusive &&
      (!FFlat || !FMouseIn)) {
    TBitmap* pattern = FTransparent ? AllocPatternBitmap(clBtnFace, clBtnHighlight)
                                    : AllocPatternBitmap(Color(), BrightenColor(Color(), 20));
    canvas->Brush()->SetBitmap(pattern);
    canvas->FillRect(face);
    canvas->Brush()->SetBitmap(nullptr);
  }
  if (FToolStyle == tsDropDown) DrawDropDownPart();
  TRect image, text;
  CalcLayout(image, text);
  DrawButtonImage(image);
  DrawCaptionText(text);
}

void TFcToolButton::PaintGradientFace(const TRect& Rect) {
  TCanvas* canvas = Canvas();
  TColor frame = FSelectionFrameColor, start = FSelectionColorStart, stop = FSelectionColorStop;
  if (FGradientColorStyle != gcsCustom) GetSelectionGradientColors(FGradientColorStyle, frame, start, stop);
  const bool designing = HasState(csDesigning);
  TRect r = Rect;
  if (designing) {
    TRect corners = r;
    InflateRect(&corners, -1, -1);
    PaintBoxCorners(canvas, corners, frame, 4);
    InflateRect(&r, -1, -1);
  } else {
    r = PaintBoxOutline(canvas, r, frame);
  }
  TColor top = start, bottom = stop;
  if (FState == tbsDown || FState == tbsDropDownPressed || (FState == tbsExclusive && FMouseIn && FDown)) {
    top = stop;
    bottom = start;
  } else if (FState == tbsExclusive) {
    top = DarkenColor(stop, 40);
    bottom = start;
  } else if (designing) {
    return;
  }
  PaintGradientRect(canvas, r, gdHorizontalEnd, 1, bottom, top);
}

void TFcToolButton::DrawButtonFace(TRect& Rect) {
  TCanvas* canvas = Canvas();
  const bool pressed = FState == tbsDown || FState == tbsExclusive;
  const bool disabled = FState == tbsDisabled;
  const bool designing = HasState(csDesigning);
  if (FVisualStyle == vsWinXP && VisualStylesOn()) {
    TRect r = Rect;
    const char* className = FFlat ? "TOOLBAR" : "BUTTON";
    int part = BP_PUSHBUTTON, state = PBS_NORMAL;
    if (FFlat) {
      part = TP_BUTTON;
      if (IsSplit()) {
        part = TP_SPLITBUTTON;
        if (UseRightToLeftAlignment()) r.Left += ArrowStripWidth;
        else r.Right -= ArrowStripWidth;
      }
      state = TS_NORMAL;
      if (pressed || FState == tbsDropDownPressed || (FMouseIn && !disabled) || designing) {
        if (FState == tbsDown || (!IsSplit() && FState == tbsDropDownPressed)) state = TS_PRESSED;
        else if (FState == tbsExclusive) state = FMouseIn ? TS_HOTCHECKED : TS_CHECKED;
        else state = TS_HOT;
      }
    } else {
      state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : (FMouseIn || designing) ? PBS_HOT : PBS_NORMAL;
    }
    HTHEME theme = OpenThemeData(nullptr, className);
    DrawThemeBackground(theme, canvas->Handle(), part, state, &r, nullptr);
    CloseThemeData(theme);
    InflateRect(&Rect, -2, -2);
    return;
  }
  if (TracksHot()) {
    if (!(pressed || (FMouseIn && !disabled) || designing)) return;
    if (FVisualStyle == vsGradient) {
      PaintGradientFace(Rect);
      InflateRect(&Rect, -1, -1);
    } else {
      Rect = PaintFrameStyle(canvas, Rect, pressed ? fsStatus : fsPopup);
    }
    return;
  }
  Rect = PaintFrameStyle(canvas, Rect, pressed ? fsLowered : fsButtonUp);
}

void TFcToolButton::DrawDropDownPart() {
  TCanvas* canvas = Canvas();
  const bool rtl = UseRightToLeftAlignment();
  const bool gradient = FVisualStyle == vsGradient;
  const TRect client = ClientRect();
  int x = rtl ? ArrowStripWidth : Width() - ArrowStripWidth;
  if (FVisualStyle == vsWinXP && VisualStylesOn()) {
    if (!IsSplit()) return;
    const TRect strip = rtl ? TRect{0, 0, ArrowStripWidth, client.Bottom}
                            : TRect{client.Right - ArrowStripWidth, 0, client.Right, client.Bottom};
    const int state = FState == tbsDisabled                                   ? TS_DISABLED
                      : FState == tbsDown || FState == tbsDropDownPressed     ? TS_PRESSED
                      : FMouseIn                                              ? TS_HOT
                                                                              : TS_NORMAL;
    HTHEME theme = OpenThemeData(nullptr, "TOOLBAR");
    DrawThemeBackground(theme, canvas->Handle(), TP_SPLITBUTTONDROPDOWN, state, &strip, nullptr);
    CloseThemeData(theme);
    return;
  }
  if (FState == tbsDropDownPressed) {
    TRect r = client;
    if (IsSplit()) {
      const int w = gradient ? ArrowStripWidth + 1 : ArrowStripWidth;
      r = rtl ? TRect{0, 0, w, client.Bottom} : TRect{client.Right - w, 0, client.Right, client.Bottom};
    }
    if (gradient) {
      TColor frame, start, stop;
      GetSelectionGradientColors(FGradientColorStyle, frame, start, stop);
      if (FGradientColorStyle == gcsCustom) {
        frame = FSelectionFrameColor;
        start = FSelectionColorStart;
        stop = FSelectionColorStop;
      }
      r = PaintBoxOutline(canvas, r, frame);
      PaintGradientRect(canvas, r, gdHorizontalEnd, 1, start, stop);
    } else {
      PaintFrameStyle(canvas, r, fsStatus);
    }
  } else if ((TracksHot() && FMouseIn && Enabled()) || (!TracksHot() && Enabled())) {
    const bool down = FState == tbsDown;
    if (down && !gradient) ++x;
    if (IsSplit()) {
      auto line = [canvas, &client](int X, TColor Colour) {
        canvas->Brush()->SetColor(Colour);
        canvas->FillRect({X, client.Top, X + 1, client.Bottom});
      };
      if (gradient) {
        TColor frame, start, stop;
        GetSelectionGradientColors(FGradientColorStyle, frame, start, stop);
        line(x - 1, frame);
      } else {
        if (!down) line(x, clBtnHighlight);
        line(x - 1, clBtnShadow);
      }
    }
  }
  // The arrow: a small triangle pointing down.
  int ax = rtl ? 6 : client.Right - 8;
  int ay = client.Bottom / 2 + 2;
  if ((FState == tbsDown || FState == tbsDropDownPressed) && !gradient) {
    ++ax;
    ++ay;
  }
  const TColor ink = Enabled() ? clWindowText : clBtnShadow;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(ink);
  canvas->Pen()->SetColor(ink);
  const std::vector<TPoint> arrow{{ax, ay}, {ax - 2, ay - 2}, {ax + 2, ay - 2}};
  canvas->Polygon(arrow);
}

void TFcToolButton::CalcLayout(TRect& ImageRect, TRect& TextRect) {
  TRect r = ClientRect();
  if (FToolStyle == tsDropDown) {
    if (UseRightToLeftAlignment()) r.Left += ArrowStripWidth;
    else r.Right -= ArrowStripWidth;
  }
  InflateRect(&r, -2, -2);
  const TSize image = GetImageSize();
  const int iw = image.cx, ih = image.cy;
  const std::string caption = Caption();
  int ix = 0, iy = 0, tx = 0, ty = 0, tw = 0, th = 0, o = 0;
  if (FShowCaption && !caption.empty()) {
    TRect measure = r;
    switch (FLayout) {
      case blGlyphLeft: measure.Left += iw; break;
      case blGlyphRight: measure.Right -= iw; break;
      case blGlyphTop: measure.Top += ih; break;
      case blGlyphBottom: measure.Bottom -= ih; break;
    }
    Canvas()->Font()->Assign(Font());
    DrawText(Canvas()->Handle(), caption, &measure, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    tw = measure.Width();
    th = measure.Height();
    const int fw = r.Width() - iw - tw - 4, fh = r.Height() - ih - th - 4;
    switch (FLayout) {
      case blGlyphLeft:
      case blGlyphRight:
        ix = FLayout == blGlyphLeft ? r.Left + fw / 2 : r.Right - iw - fw / 2;
        tx = FLayout == blGlyphLeft ? ix + iw + 4 : ix - tw - 4;
        iy = r.Top + (r.Height() - ih) / 2;
        ty = r.Top + (r.Height() - th) / 2;
        o = iw > 0 ? ix - 4 : ix;
        break;
      case blGlyphTop:
      case blGlyphBottom:
        iy = FLayout == blGlyphTop ? r.Top + fh / 2 : r.Bottom - ih - fh / 2;
        ty = FLayout == blGlyphTop ? iy + ih + 4 : iy - th - 4;
        ix = r.Left + (r.Width() - iw) / 2;
        tx = r.Left + (r.Width() - tw) / 2;
        o = std::min(ix, tx) - 4;
        break;
    }
  } else {
    ix = r.Left + (r.Width() - iw) / 2;
    iy = r.Top + (r.Height() - ih) / 2;
    o = ix - 4;
  }
  ImageRect = {ix, iy, ix + iw, iy + ih};
  TextRect = {tx, ty, tx + tw, ty + th};
  if (FAlignment == taLeftJustify) {
    OffsetRect(&ImageRect, -o, 0);
    OffsetRect(&TextRect, -o, 0);
  } else if (FAlignment == taRightJustify) {
    OffsetRect(&ImageRect, o, 0);
    OffsetRect(&TextRect, o, 0);
  }
  if (IsPressed() && FVisualStyle != vsGradient) {
    const int dy = FVisualStyle == vsWinXP && VisualStylesOn() ? 0 : 1;
    OffsetRect(&ImageRect, 1, dy);
    OffsetRect(&TextRect, 1, dy);
  }
}

void TFcToolButton::DrawButtonImage(const TRect& Rect) {
  if (!FImages || FImageIndex == -1) return;
  TCanvas* canvas = Canvas();
  if (IsPressed() && FDownIndex != -1) {
    FImages->Draw(canvas, Rect.Left, Rect.Top, FDownIndex, true);
    return;
  }
  const int normal = FHotIndex != -1 && FMouseIn && Enabled() ? FHotIndex : FImageIndex;
  if (FDisabledIndex == -1) FImages->Draw(canvas, Rect.Left, Rect.Top, normal, Enabled());
  else if (Enabled()) FImages->Draw(canvas, Rect.Left, Rect.Top, normal, true);
  else FImages->Draw(canvas, Rect.Left, Rect.Top, FDisabledIndex, true);
}

void TFcToolButton::DrawCaptionText(const TRect& Rect) {
  if (!FShowCaption) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->Assign(Font());
  if (FState == tbsDown && FVisualStyle != vsGradient) canvas->Font()->SetColor(clHighlightText);
  if (!Enabled()) canvas->Font()->SetColor(clBtnShadow);
  UINT flags = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  TRect r = Rect;
  DrawText(canvas->Handle(), Caption(), &r, flags);
  canvas->Brush()->SetStyle(bsSolid);
}

static const classes::TPublished<TFcToolButton, TGraphicControl> FcToolButtonInfo([](auto& p) {
  using B = TFcToolButton;
  p.Int("Color", &B::Color, &B::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&B::IsColorStored);
  p.Bool("ParentColor", &B::ParentColor, &B::SetParentColor).Default(false);
  p.Int("Width", &B::Width, &B::SetWidthValue);
  p.Int("Height", &B::Height, &B::SetHeightValue);
  p.Int("ImageIndex", &B::ImageIndex, &B::SetImageIndex).Default(-1);
  p.Int("DownIndex", &B::DownIndex, &B::SetDownIndex).Default(-1);
  p.Int("HotIndex", &B::HotIndex, &B::SetHotIndex).Default(-1);
  p.Int("DisabledIndex", &B::DisabledIndex, &B::SetDisabledIndex).Default(-1);
  p.Component("Images", &B::Images, &B::SetImages);
  p.Bool("ShowCaption", &B::ShowCaption, &B::SetShowCaption).Default(false).Stored(&B::IsShowCaptionStored);
  p.Enum("Layout", &B::Layout, &B::SetLayout).Default(blGlyphLeft);
  p.Enum("Alignment", &B::Alignment, &B::SetAlignment).Default(taCenter);
  p.Enum("ToolStyle", &B::ToolStyle, &B::SetToolStyle).Default(tsButton);
  p.Component("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu);
  p.Event("OnDropDown", &B::OnDropDown);
  p.Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
  p.Bool("Down", &B::Down, &B::SetDown).Default(false);
  p.Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
  p.Bool("Flat", &B::Flat, &B::SetFlat).Default(true);
  p.Bool("Transparent", &B::Transparent, &B::SetTransparent).Default(true);
  p.Enum("VisualStyle", &B::VisualStyle, &B::SetVisualStyle).Default(vsWinXP);
  p.Enum("GradientColorStyle", &B::GradientColorStyle, &B::SetGradientColorStyle)
      .Default(gcsSystem)
      .Stored(&B::IsGradientColorStyleStored);
  p.Int("SelectionColorStart", &B::SelectionColorStart, &B::SetSelectionColorStart)
      .Default(clBtnFace)
      .Idents(ColorIdents());
  p.Int("SelectionColorStop", &B::SelectionColorStop, &B::SetSelectionColorStop)
      .Default(clBtnShadow)
      .Idents(ColorIdents());
  p.Int("SelectionFrameColor", &B::SelectionFrameColor, &B::SetSelectionFrameColor)
      .Default(cl3DDkShadow)
      .Idents(ColorIdents());
  p.Bool("UseToolbarButtonLayout", &B::UseToolbarButtonLayout, &B::SetUseToolbarButtonLayout).Default(true);
  p.Bool("UseToolbarButtonSize", &B::UseToolbarButtonSize, &B::SetUseToolbarButtonSize).Default(true);
  p.Bool("UseToolbarShowCaption", &B::UseToolbarShowCaption, &B::SetUseToolbarShowCaption).Default(true);
  p.Bool("UseToolbarVisualStyle", &B::UseToolbarVisualStyle, &B::SetUseToolbarVisualStyle).Default(true);
});
