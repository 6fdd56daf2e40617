// The drop-down pop-ups of the editors: the size grip, the month calendar and the item list,
// and where a drop-down opens against the work area.
#include <algorithm>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/controls/ControlMessages.h"
#include "platform/graphics/Idents.h"
#include "platform/os/Input.h"
#include "platform/os/Kernel.h"
#include "platform/os/NonClient.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Strings.h"

namespace grid::popups {

// The raised frame of a pop-up in its non-client area: an outer and, one pixel inside, an
// inner raised edge.
void PaintRaisedFrame(HWND Wnd) {
  TRect r;
  GetWindowRect(Wnd, &r);
  r = TRect{0, 0, r.Width(), r.Height()};
  HDC dc = GetWindowDC(Wnd);
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(&r, -1, -1);
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  ReleaseDC(Wnd, dc);
}

// Takes Width off every side of the client rectangle a WM_NCCALCSIZE computes.
void ShrinkClient(TMessage& Message, int Width) {
  if (Width <= 0) return;
  TRect* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                            : reinterpret_cast<TRect*>(Message.LParam);
  if (r == nullptr) return;
  InflateRect(r, -Width, -Width);
  r->Right = std::max(r->Right, r->Left);
  r->Bottom = std::max(r->Bottom, r->Top);
}

TRect WorkArea() {
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

}  // namespace grid::popups

using namespace grid::popups;

// ---- size grip ----

TSizeGripGd::TSizeGripGd(TComponent* AOwner) : TCustomControl(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csReplicatable);
  style.Include(csCaptureMouse);
  SetControlStyle(style);
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL));
  SetColor(clBtnFace);
  SetCursor(crSizeNWSE);
}

void TSizeGripGd::SetCorner(TSizeGripCorner Value) {
  if (FCorner == Value) return;
  FCorner = Value;
  SetCursor(FCorner == sgcTopLeft || FCorner == sgcBottomRight ? crSizeNWSE : crSizeNESW);
  RecreateWnd();
  MoveToCorner();
}

void TSizeGripGd::SetTriangleShaped(bool Value) {
  if (FTriangleShaped == Value) return;
  FTriangleShaped = Value;
  UpdateRegion();
  Invalidate();
}

void TSizeGripGd::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateRegion();
}

void TSizeGripGd::UpdateRegion() {
  if (!HandleAllocated()) return;
  if (!FTriangleShaped) {
    SetWindowRgn(Handle(), nullptr, TRUE);
    return;
  }
  const int w = Width(), h = Height();
  TPoint points[3];
  switch (FCorner) {
    case sgcBottomRight: points[0] = {0, h}, points[1] = {w, h}, points[2] = {w, 0}; break;
    case sgcBottomLeft: points[0] = {w, h}, points[1] = {0, h}, points[2] = {0, 0}; break;
    case sgcTopLeft: points[0] = {w - 1, 0}, points[1] = {0, 0}, points[2] = {0, h - 1}; break;
    case sgcTopRight: points[0] = {w, h - 1}, points[1] = {w, 0}, points[2] = {1, 0}; break;
  }
  SetWindowRgn(Handle(), CreatePolygonRgn(points, 3, WINDING), TRUE);
}

void TSizeGripGd::MoveToCorner() {
  TWinControl* parent = Parent();
  if (parent == nullptr) return;
  const int cw = parent->ClientWidth(), ch = parent->ClientHeight();
  TPoint at;
  switch (FCorner) {
    case sgcTopLeft: at = {0, 0}; break;
    case sgcTopRight: at = {cw - Width(), 0}; break;
    case sgcBottomRight: at = {cw - Width(), ch - Height()}; break;
    case sgcBottomLeft: at = {0, ch - Height()}; break;
  }
  FInternalMove = true;
  SetBounds(at.X, at.Y, Width(), Height());
  FInternalMove = false;
}

void TSizeGripGd::MoveToSide(TSizeGripSide Side) {
  TSizeGripCorner corner = FCorner;
  switch (Side) {
    case sgsLeft:
      if (corner == sgcTopRight) corner = sgcTopLeft;
      if (corner == sgcBottomRight) corner = sgcBottomLeft;
      break;
    case sgsRight:
      if (corner == sgcTopLeft) corner = sgcTopRight;
      if (corner == sgcBottomLeft) corner = sgcBottomRight;
      break;
    case sgsTop:
      if (corner == sgcBottomRight) corner = sgcTopRight;
      if (corner == sgcBottomLeft) corner = sgcTopLeft;
      break;
    case sgsBottom:
      if (corner == sgcTopRight) corner = sgcBottomRight;
      if (corner == sgcTopLeft) corner = sgcBottomLeft;
      break;
  }
  SetCorner(corner);
}

void TSizeGripGd::ShowGrip(bool Visible) {
  if (HandleAllocated()) ShowWindow(Handle(), Visible ? SW_SHOWNA : SW_HIDE);
}

void TSizeGripGd::Paint() {
  TCanvas* canvas = Canvas();
  const int w = Width(), h = Height();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(ClientRect());
  // Lines parallel to the corner's diagonal, counted from the corner: face, highlight, shadow,
  // shadow, and again.
  static const TColor colors[] = {clBtnFace, clBtnHighlight, clBtnShadow, clBtnShadow};
  const bool right = FCorner == sgcTopRight || FCorner == sgcBottomRight;
  const bool bottom = FCorner == sgcBottomLeft || FCorner == sgcBottomRight;
  HDC dc = canvas->Handle();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int d = (right ? w - 1 - x : x) + (bottom ? h - 1 - y : y);
      if (d < std::max(w, h)) SetPixel(dc, x, y, ColorToRGB(colors[d % 4]));
    }
}

void TSizeGripGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  TWinControl* parent = Parent();
  if (Button != mbLeft || parent == nullptr) return;
  FDownPoint = ClientToScreen({X, Y});
  FLastPoint = FDownPoint;
  FDownSize = {parent->Width(), parent->Height()};
  FDownClientSize = {parent->ClientWidth(), parent->ClientHeight()};
  FDragging = true;
}

void TSizeGripGd::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  TWinControl* parent = Parent();
  if (!FDragging || !Shift.Contains(ssLeft) || !MouseCapture() || FInternalMove || parent == nullptr) return;
  const TPoint p = ClientToScreen({X, Y});
  if (p == FLastPoint) return;
  const TRect work = WorkArea();
  TRect bounds;
  GetWindowRect(parent->Handle(), &bounds);
  const TSize oldClient{parent->ClientWidth(), parent->ClientHeight()};
  const int dx = p.X - FDownPoint.X, dy = p.Y - FDownPoint.Y;
  const bool right = FCorner == sgcTopRight || FCorner == sgcBottomRight;
  const bool bottom = FCorner == sgcBottomLeft || FCorner == sgcBottomRight;
  if (right) {
    int client = FDownClientSize.cx + dx;
    const int pass = bounds.Left + client + (FDownSize.cx - FDownClientSize.cx) - work.Right;
    if (pass > 0) client -= pass;
    parent->SetClientWidth(client);
  } else {
    const int width = std::min(FDownSize.cx - dx, parent->Width() + (bounds.Left - work.Left));
    const int change = width - parent->Width();
    parent->SetBounds(parent->Left() - change, parent->Top(), width, parent->Height());
  }
  if (bottom) {
    int client = FDownClientSize.cy + dy;
    const int pass = bounds.Top + client + (FDownSize.cy - FDownClientSize.cy) - work.Bottom;
    if (pass > 0) client -= pass;
    parent->SetClientHeight(client);
  } else {
    const int height = std::min(FDownSize.cy - dy, parent->Height() + (bounds.Top - work.Top));
    const int change = height - parent->Height();
    parent->SetBounds(parent->Left(), parent->Top() - change, parent->Width(), height);
  }
  FLastPoint = p;
  if (TSize{parent->ClientWidth(), parent->ClientHeight()} != oldClient && OnParentResized) OnParentResized(this);
  MoveToCorner();
}

void TSizeGripGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) FDragging = false;
}

void TSizeGripGd::WndProc(TMessage& Message) {
  TCustomControl::WndProc(Message);
  // Moved by someone else (the parent's layout): back into the corner.
  if (Message.Msg == WM_WINDOWPOSCHANGED && !FInternalMove && Parent() != nullptr) MoveToCorner();
}

// ---- month calendar ----

TPopupMonthCalendarGd::TPopupMonthCalendarGd(TComponent* AOwner) : TMonthCalendar(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetParentCtl3D(false);
  SetCtl3D(true);
  SetAutoSize(true);
}

int TPopupMonthCalendarGd::BorderWidth() const { return Ctl3D() ? 2 : 0; }

bool TPopupMonthCalendarGd::HitAccepts(UINT HitCode) {
  return (HitCode & 0x20001) != 0 && HitCode != MCHT_CALENDARDAY && HitCode != MCHT_TITLEBTNPREV &&
         HitCode != MCHT_TITLEBTNNEXT;
}

void TPopupMonthCalendarGd::CreateParams(TCreateParams& Params) {
  TMonthCalendar::CreateParams(Params);
  Params.Style = (Params.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP;
  if (!Ctl3D()) Params.Style |= WS_BORDER;
  Params.ExStyle |= WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
}

bool TPopupMonthCalendarGd::CanAutoSize(int& NewWidth, int& NewHeight) {
  TRect r;
  if (!GetMinReqRect(r)) return false;
  NewWidth = r.Width() + 2 * BorderWidth();
  NewHeight = r.Height() + 2 * BorderWidth();
  return true;
}

bool TPopupMonthCalendarGd::MsgSetDateTime(const SYSTEMTIME& Value) {
  TMonthCalendar::MsgSetDateTime(Value);
  return true;
}

void TPopupMonthCalendarGd::PostCloseUp(bool Accept) {
  if (auto* host = Supports<IPopupHostGd>(Owner())) host->CloseUp(Accept);
}

void TPopupMonthCalendarGd::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    const bool accept = Key == VK_RETURN;
    Key = 0;
    PostCloseUp(accept);
    return;
  }
  TMonthCalendar::KeyDown(Key, Shift);
}

void TPopupMonthCalendarGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!ClientRect().Contains({X, Y})) {
    PostCloseUp(false);
    return;
  }
  TMonthCalendar::MouseDown(Button, Shift, X, Y);
}

void TPopupMonthCalendarGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TMonthCalendar::MouseUp(Button, Shift, X, Y);
  if (!ClientRect().Contains({X, Y})) {
    PostCloseUp(false);
    return;
  }
  if (HitAccepts(HitTest({X, Y}))) PostCloseUp(true);
}

bool TPopupMonthCalendarGd::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TMonthCalendar::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (WheelDelta != 0) SetDate(Date() + (WheelDelta < 0 ? 1 : -1));
  return true;
}

void TPopupMonthCalendarGd::WMKillFocus(TMessage& Message) {
  TMonthCalendar::WMKillFocus(Message);
  HWND next = reinterpret_cast<HWND>(Message.WParam);
  if (HandleAllocated() && (next == nullptr || GetParent(next) != Handle()))
    PostMessage(Handle(), CM_CLOSEUP_GD, 0, 0);
}

void TPopupMonthCalendarGd::WMNCCalcSize(TMessage& Message) {
  TMonthCalendar::WMNCCalcSize(Message);
  ShrinkClient(Message, BorderWidth());
}

void TPopupMonthCalendarGd::WMNCPaint(TMessage& Message) {
  TMonthCalendar::WMNCPaint(Message);
  if (Ctl3D() && HandleAllocated()) PaintRaisedFrame(Handle());
}

void TPopupMonthCalendarGd::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS; return;
    case CM_WANTSPECIALKEY:
      if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) {
        Message.Result = 1;
        return;
      }
      break;
    case CM_CLOSEUP_GD: PostCloseUp(false); return;
    default: break;
  }
  TMonthCalendar::Dispatch(Message);
}

// ---- pop-up list ----

TPopupListboxGd::TPopupListboxGd(TComponent* AOwner) : TCustomListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetParentCtl3D(false);
  SetCtl3D(true);
  FSizeGrip = new TSizeGripGd(this);
  FSizeGrip->SetParent(this);
  FSizeGrip->SetTriangleShaped(true);
}

TPopupListboxGd::~TPopupListboxGd() = default;

void TPopupListboxGd::SetImageList(TCustomImageList* Value) {
  if (FImageList == Value) return;
  FImageList = Value;
  Invalidate();
}

void TPopupListboxGd::SetSourceItems(TStrings* Value) {
  FSourceItems = Value;
  if (Value != nullptr) {
    SetStyle(lbVirtualOwnerDraw);
    SetCount(Value->Count());
  } else {
    SetStyle(lbOwnerDrawFixed);
  }
  Invalidate();
}

int TPopupListboxGd::GetFontTextHeight(TControl* Control) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Control->Font()->Handle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

void TPopupListboxGd::FitRowsHeight(int Rows) {
  SetHeight(std::max(Rows, 1) * ItemHeight() + ListBorderHeight(this));
}

void TPopupListboxGd::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int itemHeight = ItemHeight();
  if (itemHeight <= 0) itemHeight = GetFontTextHeight(this);
  const int border = ListBorderHeight(this);
  FRowCount = std::max(1, (AHeight - border) / std::max(itemHeight, 1));
  AHeight = border + FRowCount * itemHeight;
  AWidth = std::max(AWidth, GetSystemMetrics(SM_CXVSCROLL));
  AHeight = std::max(AHeight, GetSystemMetrics(SM_CYHSCROLL));
  TCustomListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TPopupListboxGd::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  if (Ctl3D())
    Params.Style &= ~WS_BORDER;
  else
    Params.Style |= WS_BORDER;
  Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TPopupListboxGd::CreateWnd() {
  TCustomListBox::CreateWnd();
  // A top-level window that never takes the focus from its editor, yet paints its selection
  // as focused.
  ::SetParent(Handle(), nullptr);
  SetFocusLook(true);
  FSizeGrip->MoveToCorner();
}

void TPopupListboxGd::WMNCCalcSize(TMessage& Message) {
  TCustomListBox::WMNCCalcSize(Message);
  ShrinkClient(Message, PopupBorderWidth());
}

void TPopupListboxGd::WMNCPaint(TMessage& Message) {
  TCustomListBox::WMNCPaint(Message);
  PaintNonClientBorder();
}

void TPopupListboxGd::PaintNonClientBorder() {
  if (Ctl3D() && HandleAllocated()) PaintRaisedFrame(Handle());
}

void TPopupListboxGd::WMSize(TMessage& Message) {
  TCustomListBox::WMSize(Message);
  FSizeGrip->MoveToCorner();
}

std::string TPopupListboxGd::DoGetData(int Index) { return SupplyItemText(Index); }

std::string TPopupListboxGd::SupplyItemText(int Index) {
  if (FSourceItems != nullptr) return Index >= 0 && Index < FSourceItems->Count() ? FSourceItems->Strings(Index) : "";
  return Index >= 0 && Index < Items()->Count() ? Items()->Strings(Index) : "";
}

void TPopupListboxGd::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem || (FImageList == nullptr && !IsVirtual())) {
    TCustomListBox::DrawItem(Index, Rect, State);
    return;
  }
  TCanvas* canvas = Canvas();
  const bool selected = State.Contains(odSelected);
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  const int count = FSourceItems != nullptr ? FSourceItems->Count() : Items()->Count();
  if (FImageList == nullptr) {
    canvas->FillRect(Rect);
    if (Index < count) canvas->TextOut(Rect.Left + 2, Rect.Top, SupplyItemText(Index));
    return;
  }
  const int imageWidth = FImageList->Width();
  const bool rtl = UseRightToLeftReading();
  TRect image = rtl ? TRect{Rect.Right - imageWidth - 4, Rect.Top, Rect.Right, Rect.Bottom}
                    : TRect{Rect.Left, Rect.Top, Rect.Left + imageWidth + 4, Rect.Bottom};
  TRect text = rtl ? TRect{Rect.Left, Rect.Top, image.Left, Rect.Bottom}
                   : TRect{image.Right, Rect.Top, Rect.Right, Rect.Bottom};
  canvas->FillRect(image);
  int imageIndex = Index;
  if (OnGetImageIndex) OnGetImageIndex(this, Index, imageIndex);
  DrawImageCentered(canvas->Handle(), image, FImageList, selected, imageIndex);
  canvas->FillRect(text);
  if (Index < count) {
    const std::string s = SupplyItemText(Index);
    const int x = rtl ? Rect.Right - canvas->TextWidth(s) - 2 - imageWidth : Rect.Left + imageWidth + 5;
    canvas->TextRect(text, x, Rect.Top, s);
  }
}

void TPopupListboxGd::KeyPress(char32_t& Key) {
  if (Key == VK_BACK || Key == VK_ESCAPE) {
    FSearchText.clear();
  } else if (Key >= 32) {
    // Every printable character, of any script, extends the search.
    const int64_t now = GetTickCount();
    if (now - FSearchTickCount > IncrementalSearchTimeout) FSearchText.clear();
    FSearchTickCount = now;
    if (Length(FSearchText) < IncrementalSearchMaxLength) rtl::AppendUtf8(FSearchText, Key);
    SendMessage(Handle(), LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FSearchText.c_str()));
  } else {
    TCustomListBox::KeyPress(Key);
    return;
  }
  Key = 0;
}

void TPopupListboxGd::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomListBox::MouseMove(Shift, X, Y);
  if (TPoint{X, Y} == FMousePos) return;
  FMousePos = {X, Y};
  if (Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle)) return;
  const int index = ItemAtPos({X, Y}, true);
  if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
}

void TPopupListboxGd::WMMouseWheel(TMessage& Message) {
  const int notches = GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA;
  SetTopIndex(std::max(TopIndex() - notches, 0));
  Message.Result = 1;
}

void TPopupListboxGd::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_SIZEGRIPSIDE_GD:
      FSizeGrip->MoveToSide(static_cast<TSizeGripSide>(Message.WParam));
      FGripMoved = true;
      return;
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    default: break;
  }
  TCustomListBox::Dispatch(Message);
}

// ---- placement ----

int ListBorderHeight(TWinControl* Control) {
  DWORD style = 0, exStyle = 0;
  int border = 0;
  if (auto* list = dynamic_cast<TPopupListboxGd*>(Control)) {
    TCreateParams params;
    list->CreateParams(params);
    style = params.Style;
    exStyle = params.ExStyle;
    border = list->PopupBorderWidth();
  } else if (Control->HandleAllocated()) {
    style = static_cast<DWORD>(GetWindowLong(Control->Handle(), GWL_STYLE));
    exStyle = static_cast<DWORD>(GetWindowLong(Control->Handle(), GWL_EXSTYLE));
  }
  // Only the frame: the scroll bars do not count.
  style &= ~(WS_VSCROLL | WS_HSCROLL);
  TRect r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return r.Height() + 2 * border;
}

void PlaceDropDownNearRect(const TRect& HostRect, TWinControl* DropDown, TDropDownAlign Align, TPoint& TopLeft) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfo(MonitorFromRect(&HostRect, MONITOR_DEFAULTTONEAREST), &info);
  const TRect work = info.rcWork;
  int h = DropDown->Height(), w = DropDown->Width();
  const int below = work.Bottom - HostRect.Bottom, above = HostRect.Top - work.Top;
  int y;
  if ((below < h && above >= h) || (above < h && below < above)) {
    if (above < h) h = above;
    y = HostRect.Top - h;
    DropDown->Perform(CM_SIZEGRIPSIDE_GD, sgsTop, 0);
  } else {
    if (below < h) h = below;
    y = HostRect.Bottom;
    DropDown->Perform(CM_SIZEGRIPSIDE_GD, sgsBottom, 0);
  }
  if (h != DropDown->Height()) DropDown->SetHeight(h);
  int x = HostRect.Left;
  if (Align == daRight) x = HostRect.Right - w;
  if (Align == daCenter) x = HostRect.Left - (w - HostRect.Width()) / 2;
  if (work.Width() < w) {
    w = work.Width();
    DropDown->SetWidth(w);
  }
  TSizeGripSide side = Align == daRight ? sgsLeft : sgsRight;
  if (x + w > work.Right) {
    x = work.Right - w;
    side = sgsLeft;
  } else if (x < work.Left) {
    x = work.Left;
    side = sgsRight;
  }
  DropDown->Perform(CM_SIZEGRIPSIDE_GD, side, 0);
  TopLeft = {x, y};
}

void PlaceDropDownNearControl(TControl* Control, TWinControl* DropDown, TDropDownAlign Align, TPoint& TopLeft) {
  TRect host = Control->BoundsRect();
  if (TWinControl* parent = Control->Parent()) {
    const TPoint origin = parent->ClientToScreen({0, 0});
    host = TRect{host.Left + origin.X, host.Top + origin.Y, host.Right + origin.X, host.Bottom + origin.Y};
  }
  PlaceDropDownNearRect(host, DropDown, Align, TopLeft);
}
