#include "platform/controls/ScrollBar.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowManager.h"

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 200;
constexpr UINT kRepeat = 50;
}  // namespace

const classes::TEnumInfo& EnumInfo(TScrollBarKind) {
  static const classes::TEnumInfo info{"TScrollBarKind", {"sbHorizontal", "sbVertical"}};
  return info;
}

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() - TControlStyle{csSetCaption, csClickEvents, csDoubleClicks} +
                  TControlStyle{csOpaque});
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  SetColor(clScrollBar);
}

TScrollBar::~TScrollBar() {
  if (HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (!HasState(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Redraw();
}

int TScrollBar::MaxPosition() const { return std::max(FMin, FMax - std::max(FPageSize - 1, 0)); }

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
  FMin = AMin;
  FMax = AMax;
  FPageSize = std::min(FPageSize, FMax - FMin + 1);
  APosition = std::clamp(APosition, FMin, MaxPosition());
  const bool changed = APosition != FPosition;
  FPosition = APosition;
  Redraw();
  if (changed) Change();
}

void TScrollBar::SetPageSize(int Value) {
  Value = std::clamp(Value, 0, FMax - FMin + 1);
  if (FPageSize == Value) return;
  FPageSize = Value;
  SetParams(FPosition, FMin, FMax);
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::Redraw() {
  if (!HandleAllocated()) return;
  SyncState();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TScrollBar::SyncState() {
  // The bar's state lives in its window's scroll-bar record, as the platform keeps a scroll-bar
  // control's; the window has no frame bars, so only this control's painting shows it.
  const int bar = FKind == sbVertical ? SB_VERT : SB_HORZ;
  os::WithWindow(Handle(), [&](os::TWindow& w) {
    os::TScrollBarState& s = w.Scroll[bar];
    s.Min = FMin;
    s.Max = FMax;
    s.Page = static_cast<UINT>(FPageSize);
    s.Pos = FPosition;
    s.TrackPos = FTrackPos;
    s.PressedPart = FPressed == os::spThumb || FPressedShown ? FPressed : os::spNone;
  });
}

void TScrollBar::Paint() {
  SyncState();
  os::PaintScrollBar(Canvas()->Handle(), Handle(), FKind == sbVertical ? SB_VERT : SB_HORZ, ClientRect());
}

os::TScrollBarState TScrollBar::RangeState() const {
  os::TScrollBarState s;
  s.Min = FMin;
  s.Max = FMax;
  s.Page = static_cast<UINT>(FPageSize);
  s.Pos = FPosition;
  return s;
}

os::TScrollGeometry TScrollBar::Geometry(const os::TScrollBarState& State) {
  return os::ScrollGeometry(ClientRect(), FKind == sbVertical, State, FPosition);
}

int TScrollBar::PartAt(TPoint Point) { return os::ScrollPartAt(Geometry(RangeState()), Point); }

void TScrollBar::SendScroll(WORD Code) {
  const UINT msg = FKind == sbVertical ? WM_VSCROLL : WM_HSCROLL;
  const WPARAM w = MAKEWPARAM(Code, static_cast<WORD>(FTrackPos));
  if (Parent() && Parent()->HandleAllocated()) SendMessage(Parent()->Handle(), msg, w, reinterpret_cast<LPARAM>(Handle()));
  else DoScroll(Code);
}

void TScrollBar::DoScroll(WORD Code) {
  const TScrollCode code = static_cast<TScrollCode>(Code);
  int pos = FPosition;
  switch (code) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scPosition:
    case scTrack: pos = FTrackPos; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = MaxPosition(); break;
    case scEndScroll: break;
  }
  pos = std::clamp(pos, FMin, MaxPosition());
  Scroll(code, pos);
  SetPosition(pos);
}

void TScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled() || FPressed != os::spNone) return;
  if (TabStop() && CanFocus() && !Focused()) SetFocus();
  const int part = PartAt({X, Y});
  if (part == os::spNone || MaxPosition() <= FMin) return;
  FPressed = part;
  FPressedShown = true;
  FTrackPos = FPosition;
  if (part == os::spThumb) {
    const os::TScrollBarState s = RangeState();
    const os::TScrollGeometry g = Geometry(s);
    FGrab = FKind == sbVertical ? Y - g.Thumb.Top : X - g.Thumb.Left;
    Redraw();
    return;
  }
  static const WORD kCodes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
  Redraw();
  SendScroll(kCodes[part]);
  SetTimer(Handle(), kRepeatTimer, kFirstRepeat, nullptr);
}

void TScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FPressed == os::spNone) return;
  if (FPressed == os::spThumb) {
    const os::TScrollBarState s = RangeState();
    const os::TScrollGeometry g = Geometry(s);
    const int along = FKind == sbVertical ? Y : X;
    const int pos = os::ScrollPosAt(g, s, along - FGrab);
    if (pos != FTrackPos) {
      FTrackPos = pos;
      Redraw();
      SendScroll(SB_THUMBTRACK);
    }
    return;
  }
  const bool over = PartAt({X, Y}) == FPressed;
  if (over != FPressedShown) {
    FPressedShown = over;
    Redraw();
  }
}

void TScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPressed != os::spNone) {
    if (FPressed == os::spThumb) SendScroll(SB_THUMBPOSITION);
    StopTracking();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TScrollBar::StopTracking() {
  if (FPressed == os::spNone) return;
  KillTimer(Handle(), kRepeatTimer);
  FPressed = os::spNone;
  FPressedShown = false;
  Redraw();
  SendScroll(SB_ENDSCROLL);
}

void TScrollBar::WMCancelMode(TMessage& Message) {
  StopTracking();
  TCustomControl::WMCancelMode(Message);
}

void TScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  WORD code = 0xFFFF;
  switch (Key) {
    case VK_UP:
    case VK_LEFT: code = SB_LINEUP; break;
    case VK_DOWN:
    case VK_RIGHT: code = SB_LINEDOWN; break;
    case VK_PRIOR: code = SB_PAGEUP; break;
    case VK_NEXT: code = SB_PAGEDOWN; break;
    case VK_HOME: code = SB_TOP; break;
    case VK_END: code = SB_BOTTOM; break;
    default: return;
  }
  SendScroll(code);
  SendScroll(SB_ENDSCROLL);
}

void TScrollBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      DoScroll(LOWORD(Message.WParam));
      Message.Result = 0;
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_TIMER:
      if (Message.WParam == kRepeatTimer) {
        SetTimer(Handle(), kRepeatTimer, kRepeat, nullptr);
        // Repeats while the pointer stays on the held part (paging stops at the thumb).
        TPoint p;
        GetCursorPos(&p);
        if (FPressed != os::spNone && FPressed != os::spThumb && PartAt(ScreenToClient(p)) == FPressed) {
          static const WORD kCodes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
          SendScroll(kCodes[FPressed]);
        }
        return;
      }
      break;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) StopTracking();
      break;
  }
  TCustomControl::WndProc(Message);
}

static const classes::TPublished<TScrollBar, TCustomControl> ScrollBarInfo([](classes::TPublisher<TScrollBar>& p) {
  p.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
  p.Int("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  p.Int("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  p.Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
  p.Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  p.Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  p.Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  p.Bool("TabStop", &TScrollBar::TabStop, &TScrollBar::SetTabStop).Default(true);
  p.Event("OnChange", &TScrollBar::OnChange);
  p.Event("OnScroll", &TScrollBar::OnScroll);
});
