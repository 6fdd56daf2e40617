#include "platform/controls/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "platform/classes/Filer.h"
#include "platform/controls/ControlsInternal.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/NonClient.h"
#include "platform/os/Painting.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"

using controls::CaptureControl;
using controls::ParentRequiredMessage;

namespace {

std::unordered_map<HWND, TWinControl*>& WindowControls() {
  static std::unordered_map<HWND, TWinControl*> map;
  return map;
}

// The control whose window is being made: its window procedure is hooked up on the first
// message the new window receives.
thread_local TWinControl* CreationControl = nullptr;

// The class procedure every control's window starts with; the first message hands the window
// over to the control being made.
LRESULT InitWndProcFunc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

const WNDPROC& InitWndProc() {
  static const WNDPROC proc = MakeWndProc(InitWndProcFunc);
  return proc;
}

const WNDPROC& DefaultWndProc() {
  static const WNDPROC proc = MakeWndProc(DefWindowProc);
  return proc;
}

void HandleControlException(TObject* Sender) {
  if (!Application) throw;
  Application->HandleException(Sender);
}

}  // namespace

// Gives a control window access to the control and the window handle (a friend of TWinControl).
struct TWindowBinder {
  static LRESULT Bind(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = CreationControl;
    if (!control) return DefWindowProc(Wnd, Msg, WParam, LParam);
    CreationControl = nullptr;
    control->FHandle = Wnd;
    WindowControls()[Wnd] = control;
    SetWindowProc(Wnd, control->FObjectInstance);
    return CallWindowProc(control->FObjectInstance, Wnd, Msg, WParam, LParam);
  }
};

namespace {
LRESULT InitWndProcFunc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return TWindowBinder::Bind(Wnd, Msg, WParam, LParam);
}
}  // namespace

// ---- TWinControl ----

TWinControl* TWinControl::FindControl(HWND Wnd) {
  if (!Wnd) return nullptr;
  auto& map = WindowControls();
  auto it = map.find(Wnd);
  return it == map.end() ? nullptr : it->second;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FObjectInstance = MakeObjectInstance([this](TMessage& M) { MainWndProc(M); });
  FDefWndProc = DefaultWndProc();
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  Destroying();
  // Leaves the parent while this is still a windowed control (the parent tells them apart).
  if (FParent) FParent->RemoveControl(this);
  if (FHandle) DestroyWindowHandle();
  // A windowed control frees the controls it holds, whoever owns them.
  while (ControlCount() > 0) {
    TControl* child = Controls(ControlCount() - 1);
    Remove(child);
    delete child;
  }
  FreeObjectInstance(FObjectInstance);
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefaultWndProc();
  Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const std::string& ControlClassName) {
  WNDCLASS cls;
  if (!GetClassInfo(nullptr, ControlClassName, &cls)) return;
  Params.WindowClass = cls;
  Params.WindowClass.lpszClassName.clear();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD)) {
    if (FParent) params.WndParent = FParent->Handle();
    else throw EInvalidOperation(ParentRequiredMessage(this));
  }
  FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefaultWndProc();
  WNDCLASS existing;
  const bool registered = GetClassInfo(nullptr, params.WinClassName, &existing);
  if (!registered || existing.lpfnWndProc != InitWndProc()) {
    if (registered) UnregisterClass(params.WinClassName);
    WNDCLASS cls = params.WindowClass;
    cls.lpfnWndProc = InitWndProc();
    cls.lpszClassName = params.WinClassName;
    if (RegisterClass(cls) == 0) throw EOutOfResources("Error creating window class");
  }
  CreationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    CreationControl = nullptr;
    throw;
  }
  CreationControl = nullptr;
  if (!FHandle) throw EOutOfResources("Error creating window");
  if ((GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLongPtr(FHandle, GWLP_ID) == 0)
    SetWindowLongPtr(FHandle, GWLP_ID, reinterpret_cast<LONG_PTR>(FHandle));
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
  if (AutoSize()) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND wnd = CreateWindowEx(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X, Params.Y,
                            Params.Width, Params.Height, Params.WndParent, nullptr, nullptr, Params.Param);
  if (wnd) FHandle = wnd;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  if (FParent)
    SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  FText = GetWindowText(FHandle);
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND wnd = FHandle;
  DestroyWindow(wnd);
  FControlState.Exclude(csDestroyingHandle);
  WindowControls().erase(wnd);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  const bool wasFocused = Focused();
  DestroyHandle();
  UpdateControlState();
  if (wasFocused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle && FParentWindow && Value) {
    FParentWindow = Value;
    ::SetParent(FHandle, Value);
  } else {
    DestroyHandle();
    FParentWindow = Value;
  }
  UpdateControlState();
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    WindowProc(Message);
  } catch (...) {
    controls::FreeDeviceContexts();
    HandleControlException(this);
    return;
  }
  controls::FreeDeviceContexts();
}

// -- children --

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  const size_t i = static_cast<size_t>(Index);
  if (i < FControls.size()) return FControls[i];
  return FWinControls[i - FControls.size()];
}

void TWinControl::Insert(TControl* AControl) {
  if (!AControl) return;
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
}

void TWinControl::Remove(TControl* AControl) {
  // By identity: a control being destroyed may no longer be of its windowed class.
  std::erase_if(FTabList, [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase_if(FWinControls, [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase(FControls, AControl);
  AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
  Insert(AControl);
  if (!AControl->HasState(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (dynamic_cast<TWinControl*>(AControl)) UpdateControlState();
    else if (FHandle) AControl->Invalidate();
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  auto windowed = std::find_if(FWinControls.begin(), FWinControls.end(),
                               [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  if (windowed != FWinControls.end()) {
    TWinControl* w = *windowed;
    w->RemoveFocus(true);
    w->DestroyHandle();
  } else if (FHandle) {
    AControl->InvalidateControl(AControl->FVisible, false);
  }
  if (CaptureControl == AControl) SetCaptureControl(nullptr);
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (TControl* c = Control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) return false;
    if (!c->BoundsRect().Contains(Pos)) return false;
    return c->HitTest({Pos.X - c->FLeft, Pos.Y - c->FTop});
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m{Msg, 0, 0, 0};
  Broadcast(m);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  int start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
  int i = start;
  do {
    i = GoForward ? (i + 1) % count : (i == 0 ? count - 1 : i - 1);
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = form->FindNextControl(nullptr, true, true, false);
  if (!c) c = form->FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (FControlState.Contains(csReadingState)) FTabOrder = Value;
  else UpdateTabOrder(Value);
}

void TWinControl::UpdateTabOrder(int Value) {
  int current = TabOrder();
  if (current < 0) return;
  auto& list = FParent->FTabList;
  const int count = static_cast<int>(list.size());
  Value = std::clamp(Value, 0, count - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

void TWinControl::FixupTabList() {
  const size_t count = FWinControls.size();
  std::vector<TWinControl*> ordered(count, nullptr);
  for (TWinControl* c : FWinControls)
    if (c->FTabOrder >= 0 && static_cast<size_t>(c->FTabOrder) < count) ordered[static_cast<size_t>(c->FTabOrder)] = c;
  for (size_t i = 0; i < count; ++i)
    if (ordered[i]) ordered[i]->UpdateTabOrder(static_cast<int>(i));
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FHandle) {
    LONG_PTR style = GetWindowLongPtr(FHandle, GWL_STYLE);
    SetWindowLongPtr(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TWinControl* c = this; c != form; c = c->FParent)
    if (!c->FVisible || !c->FEnabled) return false;
  return true;
}

void TWinControl::ShowControl(TControl*) {
  if (FParent) FParent->ShowControl(this);
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) form->FocusControl(this);
  else if (FParentWindow) ::SetFocus(Handle());
  else ValidParentForm(this);
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, Removing);
}

// -- showing --

void TWinControl::UpdateShowing() {
  const bool show = FVisible && !FControlState.Contains(csReadingState);
  if (show) {
    if (!FHandle) CreateHandle();
    for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->FParent) {
    c = c->FParent;
    if (!c->Showing()) return;
  }
  if (dynamic_cast<TCustomForm*>(c) || c->FParentWindow) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!FEnabled && FParent) RemoveFocus(false);
  if (FHandle) EnableWindow(FHandle, FEnabled ? TRUE : FALSE);
}

void TWinControl::CMFontChanged(TMessage& M) {
  TControl::CMFontChanged(M);
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& M) {
  TControl::CMColorChanged(M);
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& M) {
  M.Result = 0;
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_SYSCOLORCHANGE, M.WParam, M.LParam);
}

void TWinControl::WMSysColorChange(TMessage& M) {
  Perform(CM_SYSCOLORCHANGE, 0, 0);
  DefaultHandler(M);
}

void TWinControl::CMBorderChanged(TMessage&) { Realign(); }

void TWinControl::SetBorderWidth(TBorderWidth Value) {
  Value = std::max(Value, 0);
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::WMNCCalcSize(TMessage& M) {
  DefaultHandler(M);
  if (FBorderWidth <= 0) return;
  TRect* r = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0] : reinterpret_cast<TRect*>(M.LParam);
  if (!r) return;
  InflateRect(r, -FBorderWidth, -FBorderWidth);
  if (r->Right < r->Left) r->Right = r->Left;
  if (r->Bottom < r->Top) r->Bottom = r->Top;
}

void TWinControl::WMNCPaint(TMessage& M) {
  DefaultHandler(M);
  if (FBorderWidth <= 0 || !FHandle) return;
  // The border ring inside the standard frame, in the control's colour.
  TRect outer = os::FrameLayoutOf(FHandle).Client;
  TRect inner = outer;
  InflateRect(&inner, -FBorderWidth, -FBorderWidth);
  HDC dc = GetWindowDC(FHandle);
  ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
  FillRect(dc, &outer, FBrush->Handle());
  ReleaseDC(FHandle, dc);
}

void TWinControl::WMNCDestroy(TMessage& M) {
  DefaultHandler(M);
  WindowControls().erase(FHandle);
  FHandle = nullptr;
  FShowing = false;
}

// -- bounds and layout --

TRect TWinControl::ClientRect() {
  if (FHandle) {
    TRect r;
    GetClientRect(FHandle, &r);
    return r;
  }
  // Without a window: the client area the window's styles would give it.
  TCreateParams params;
  CreateParams(params);
  os::TFrameLayout layout =
      os::FrameLayout(params.Style, params.ExStyle, !(params.Style & WS_CHILD), FWidth, FHeight);
  TRect client = layout.Client;
  InflateRect(&client, -FBorderWidth, -FBorderWidth);
  return {0, 0, std::max(client.Width(), 0), std::max(client.Height(), 0)};
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    TPoint p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  TCreateParams params;
  CreateParams(params);
  os::TFrameLayout layout =
      os::FrameLayout(params.Style, params.ExStyle, !(params.Style & WS_CHILD), FWidth, FHeight);
  TPoint origin{FLeft + layout.Client.Left + FBorderWidth, FTop + layout.Client.Top + FBorderWidth};
  if (FParent) {
    TPoint p = FParent->ClientOrigin();
    origin.X += p.X;
    origin.Y += p.Y;
  } else if (FParentWindow && (params.Style & WS_CHILD)) {
    ::ClientToScreen(FParentWindow, &origin);
  }
  return origin;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
      WINDOWPLACEMENT placement;
      GetWindowPlacement(FHandle, &placement);
      (void)placement;
    } else if (resized) {
      Realign();
      if (!HasState(csLoading)) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  TRect r;
  if (IsIconic(FHandle)) {
    WINDOWPLACEMENT placement;
    GetWindowPlacement(FHandle, &placement);
    r = placement.rcNormalPosition;
  } else {
    GetWindowRect(FHandle, &r);
  }
  if (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) {
    if (HWND parent = ::GetParent(FHandle)) MapWindowPoints(nullptr, parent, &r);
  }
  UpdateBoundsRect(r);
}

void TWinControl::WMWindowPosChanged(TMessage& M) {
  if (!IsDestroyingHandle()) UpdateBounds();
  DefaultHandler(M);
}

void TWinControl::WMSize(TMessage& M) {
  UpdateBounds();
  DefaultHandler(M);
  Realign();
  if (!HasState(csLoading)) Resize();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (!FParent) {
    if (FHandle)
      SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  auto& list = FParent->FWinControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost) list.push_back(this);
  else list.insert(list.begin(), this);
  if (FHandle)
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) const {
  auto it = std::find(FWinControls.begin(), FWinControls.end(), Control);
  if (it == FWinControls.end()) return HWND_TOP;
  for (++it; it != FWinControls.end(); ++it)
    if ((*it)->FHandle) return (*it)->FHandle;
  return HWND_TOP;
}

// -- painting --

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage& M) {
  if (!FHandle) return;
  if (FParent) FParent->Perform(CM_INVALIDATE, 1, 0);
  if (M.WParam == 0) InvalidateRect(FHandle, nullptr, FControlStyle.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  HDC dc = GetDC(Handle());
  if (!dc) throw EOutOfResources("Error creating window device context");
  WindowHandle = FHandle;
  return dc;
}

void TWinControl::PaintWindow(HDC DC) {
  // The class's own painting (a window of a standard class draws itself); the plain default
  // procedure only validates, which BeginPaint did already.
  if (FDefWndProc == DefaultWndProc()) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT ps;
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(FHandle, &ps);
  try {
    if (FControls.empty()) {
      PaintWindow(dc);
    } else {
      int saved = SaveDC(dc);
      int clip = SIMPLEREGION;
      for (TControl* c : FControls) {
        if (!c->FVisible || !c->FControlStyle.Contains(csOpaque)) continue;
        clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        if (clip == NULLREGION) break;
      }
      if (clip != NULLREGION) PaintWindow(dc);
      RestoreDC(dc, saved);
    }
    PaintControls(dc, nullptr);
  } catch (...) {
    if (own) EndPaint(FHandle, &ps);
    throw;
  }
  if (own) EndPaint(FHandle, &ps);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto start = std::find(FControls.begin(), FControls.end(), First);
  if (start == FControls.end()) start = FControls.begin();
  // A copy: painting code may change the list.
  std::vector<TControl*> list(start, FControls.end());
  for (TControl* c : list) {
    if (!c->FVisible) continue;
    TRect bounds = c->BoundsRect();
    if (!RectVisible(DC, &bounds)) continue;
    if (FControlState.Contains(csPaintCopy)) c->FControlState.Include(csPaintCopy);
    int saved = SaveDC(DC);
    TPoint org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.X - c->FLeft, org.Y - c->FTop, nullptr);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } catch (...) {
      RestoreDC(DC, saved);
      c->FControlState.Exclude(csPaintCopy);
      throw;
    }
    RestoreDC(DC, saved);
    c->FControlState.Exclude(csPaintCopy);
  }
  for (TWinControl* w : FWinControls) {
    if (!w->FCtl3D || !w->FControlStyle.Contains(csFramed) || !w->FVisible) continue;
    HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
    TRect r{w->FLeft - 1, w->FTop - 1, w->FLeft + w->FWidth, w->FTop + w->FHeight};
    FrameRect(DC, &r, shadow);
    DeleteObject(shadow);
    HBRUSH light = CreateSolidBrush(ColorToRGB(clBtnHighlight));
    r = {w->FLeft, w->FTop, w->FLeft + w->FWidth + 1, w->FTop + w->FHeight + 1};
    FrameRect(DC, &r, light);
    DeleteObject(light);
  }
}

void TWinControl::WMPaint(TMessage& M) {
  if (!FDoubleBuffered || M.WParam) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) DefaultHandler(M);
    else PaintHandler(M);
    return;
  }
  // Double buffered: paint into a bitmap, then copy it at once.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  TRect client = ClientRect();
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(client.Right, 1), std::max(client.Bottom, 1));
  HGDIOBJ old = SelectObject(mem, bitmap);
  struct TCleanup {
    HWND Wnd;
    PAINTSTRUCT& Ps;
    HDC Mem;
    HBITMAP Bitmap;
    HGDIOBJ Old;
    ~TCleanup() {
      SelectObject(Mem, Old);
      DeleteDC(Mem);
      DeleteObject(Bitmap);
      EndPaint(Wnd, &Ps);
    }
  } cleanup{FHandle, ps, mem, bitmap, old};
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
  M.WParam = reinterpret_cast<WPARAM>(mem);
  WMPaint(M);
  M.WParam = 0;
  BitBlt(dc, 0, 0, client.Right, client.Bottom, mem, 0, 0, SRCCOPY);
}

void TWinControl::PaintCustom(TMessage& M) {
  FControlState.Include(csCustomPaint);
  try {
    TWinControl::WMPaint(M);
  } catch (...) {
    FControlState.Exclude(csCustomPaint);
    throw;
  }
  FControlState.Exclude(csCustomPaint);
}

void TWinControl::WMEraseBkgnd(TMessage& M) {
  if (!FDoubleBuffered || M.WParam == static_cast<WPARAM>(M.LParam)) {
    TRect client = ClientRect();
    FillRect(reinterpret_cast<HDC>(M.WParam), &client, FBrush->Handle());
  }
  M.Result = 1;
}

void TWinControl::WMPrintClient(TMessage& M) {
  M.Result = 0;
  if (!M.WParam || ((M.LParam & PRF_CHECKVISIBLE) && !FVisible)) return;
  TMessage paint{WM_PAINT, M.WParam, 0, 0};
  WMPaint(paint);
}

// -- focus and keys --

void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }

bool TWinControl::PreviewedByForm(TMessage& M, bool (TWinControl::*Handler)(TMessage&)) {
  TCustomForm* form = GetParentForm(this);
  return form && form != this && form->KeyPreview() && (form->*Handler)(M);
}

bool TWinControl::DoKeyEvent(TMessage& M, bool (TWinControl::*Preview)(TMessage&),
                             void (TWinControl::*Event)(WORD&, TShiftState)) {
  if (PreviewedByForm(M, Preview)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  WORD key = static_cast<WORD>(M.WParam);
  (this->*Event)(key, KeyDataToShiftState(M.LParam));
  M.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& M) { return DoKeyEvent(M, &TWinControl::DoKeyDown, &TWinControl::KeyDown); }
bool TWinControl::DoKeyUp(TMessage& M) { return DoKeyEvent(M, &TWinControl::DoKeyUp, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& M) {
  if (PreviewedByForm(M, &TWinControl::DoKeyPress)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  char32_t ch = static_cast<char32_t>(M.WParam);
  KeyPress(ch);
  M.WParam = static_cast<WPARAM>(ch);
  return ch == 0;
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMChar(TMessage& M) {
  if (!DoKeyPress(M)) DefaultHandler(M);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::CNKeyDown(TMessage& M) {
  M.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(M)) return;
  if (Perform(CM_CHILDKEY, M.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (M.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, M.WParam, 0) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 &&
      form && form->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0)
    return;
  M.Result = 0;
}

void TWinControl::CNChar(TMessage& M) {
  M.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0)
    return;
  M.Result = 0;
}

void TWinControl::CNSysChar(TMessage& M) {
  if (M.WParam == VK_SPACE) return;
  if (TCustomForm* form = GetParentForm(this)) M.Result = form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam);
}

void TWinControl::CMChildKey(TMessage& M) {
  if (FParent) M.Result = FParent->Perform(CM_CHILDKEY, M.WParam, M.LParam);
}

void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }
void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }
void TWinControl::CMFocusChanged(TMessage& M) { Broadcast(M); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// -- mouse --

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* control = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    if (CaptureControl && CaptureControl->FParent == this) control = CaptureControl;
  } else {
    control = ControlAtPos(LParamToPoint(Message.LParam), false);
  }
  if (!control) return false;
  TPoint p = LParamToPoint(Message.LParam);
  Message.Result = control->Perform(Message.Msg, Message.WParam, PointToLParam({p.X - control->FLeft, p.Y - control->FTop}));
  return true;
}

void TWinControl::WMSetCursor(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == FHandle && static_cast<int16_t>(LOWORD(M.LParam)) == HTCLIENT) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      TPoint p;
      GetCursorPos(&p);
      if (TControl* c = ControlAtPos(ScreenToClient(p), false)) cursor = c->Cursor();
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(cursor));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMMouseWheel(TMessage& M) {
  // Offered to the control as CM_MOUSEWHEEL, then to its parents; the window's default
  // processing (to the parent window) only when none takes it.
  for (TControl* c = this; c; c = c->Parent()) {
    if (c->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam) != 0) {
      M.Result = 1;
      return;
    }
  }
  M.Result = 0;
}

void TWinControl::WMContextMenu(TMessage& M) {
  // The menu key gives (-1, -1): the menu then opens at the control's top-left corner.
  const bool fromKey = static_cast<int16_t>(LOWORD(M.LParam)) == -1 && static_cast<int16_t>(HIWORD(M.LParam)) == -1;
  TPoint screen = fromKey ? ClientToScreen(TPoint{0, 0}) : LParamToPoint(M.LParam);
  TControl* target = fromKey ? nullptr : ControlAtPos(ScreenToClient(screen), false);
  if (!target) target = this;
  bool handled = false;
  target->DoContextPopup(fromKey ? TPoint{-1, -1} : target->ScreenToClient(screen), handled);
  if (handled) {
    M.Result = 1;
    return;
  }
  for (TControl* c = target; c; c = c->Parent()) {
    TPopupMenu* menu = c->PopupMenu();
    if (menu && menu->AutoPopup()) {
      menu->SetPopupComponent(c);
      menu->Popup(screen.X, screen.Y);
      M.Result = 1;
      return;
    }
    if (c == this) break;
  }
  DefaultHandler(M);
}

void TWinControl::WMCommandReflect(TMessage& M) {
  if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.LParam)); c && c != this) {
    M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return;
  }
  DefaultHandler(M);
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST:
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT && ControlAtPos(ScreenToClient(LParamToPoint(Message.LParam)), false))
        Message.Result = HTCLIENT;
      return;
    case WM_CANCELMODE:
      if (FHandle && GetCapture() == FHandle && CaptureControl && CaptureControl->FParent == this)
        CaptureControl->Perform(WM_CANCELMODE, 0, 0);
      break;
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        if (IsControlMouseMsg(Message)) {
          if (Message.Result == 0 && FHandle)
            DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      } else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
        if (controls::DragInProgress()) return;
      }
  }
  TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: WMPaint(M); return;
    case WM_ERASEBKGND: WMEraseBkgnd(M); return;
    case WM_PRINTCLIENT: WMPrintClient(M); return;
    case WM_SETFOCUS: WMSetFocus(M); return;
    case WM_KILLFOCUS: WMKillFocus(M); return;
    case WM_KEYDOWN: WMKeyDown(M); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(M); return;
    case WM_KEYUP: WMKeyUp(M); return;
    case WM_SYSKEYUP: WMSysKeyUp(M); return;
    case WM_CHAR: WMChar(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_SETCURSOR: WMSetCursor(M); return;
    case WM_NCCALCSIZE: WMNCCalcSize(M); return;
    case WM_NCPAINT: WMNCPaint(M); return;
    case WM_NCDESTROY: WMNCDestroy(M); return;
    case WM_SYSCOLORCHANGE: WMSysColorChange(M); return;
    case WM_MOUSEWHEEL: WMMouseWheel(M); return;
    case WM_CONTEXTMENU: WMContextMenu(M); return;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL: WMCommandReflect(M); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(M); return;
    case CN_CHAR: CNChar(M); return;
    case CN_SYSCHAR: CNSysChar(M); return;
    case CM_ENTER: CMEnter(M); return;
    case CM_EXIT: CMExit(M); return;
    case CM_CHILDKEY: CMChildKey(M); return;
    case CM_DIALOGKEY: CMDialogKey(M); return;
    case CM_DIALOGCHAR: CMDialogChar(M); return;
    case CM_FOCUSCHANGED: CMFocusChanged(M); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(M); return;
    case CM_RECREATEWND: CMRecreateWnd(M); return;
    case CM_INVALIDATE: CMInvalidate(M); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(M); return;
    case CM_BORDERCHANGED: CMBorderChanged(M); return;
    default: TControl::Dispatch(M);
  }
}

void TWinControl::DefaultHandler(TMessage& M) {
  if (!FHandle) {
    TControl::DefaultHandler(M);
    return;
  }
  // Private notices mean nothing to the window class.
  if ((M.Msg >= CM_BASE && M.Msg < CM_BASE + 0x400) || (M.Msg >= CN_BASE && M.Msg < CN_BASE + 0x400)) return;
  M.Result = CallWindowProc(FDefWndProc, FHandle, M.Msg, M.WParam, M.LParam);
  if (M.Msg == WM_SETTEXT) {
    const char* text = reinterpret_cast<const char*>(M.LParam);
    FText = text ? text : "";
  }
}

// -- streaming --

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == Root) Proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  if (auto* w = dynamic_cast<TWinControl*>(Child)) {
    auto it = std::find(FWinControls.begin(), FWinControls.end(), w);
    if (it == FWinControls.end()) return;
    FWinControls.erase(it);
    Order = std::clamp(Order - static_cast<int>(FControls.size()), 0, static_cast<int>(FWinControls.size()));
    FWinControls.insert(FWinControls.begin() + Order, w);
  } else if (auto* c = dynamic_cast<TControl*>(Child)) {
    auto it = std::find(FControls.begin(), FControls.end(), c);
    if (it == FControls.end()) return;
    FControls.erase(it);
    Order = std::clamp(Order, 0, static_cast<int>(FControls.size()));
    FControls.insert(FControls.begin() + Order, c);
  }
}

void TWinControl::ReadState(TReader* Reader) {
  DisableAlign();
  try {
    TControl::ReadState(Reader);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  if (FParent || FParentWindow) UpdateControlState();
  Realign();
}

// ---- published properties ----

static const classes::TPublished<TWinControl, TControl> WinControlInfo([](classes::TPublisher<TWinControl>& p) {
  p.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
  p.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
  p.Int("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
  p.Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered).Default(false);
  p.Enum("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
  p.String("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
  p.Bool("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Default(true);
  p.Bool("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
  p.Event("OnEnter", &TWinControl::OnEnter);
  p.Event("OnExit", &TWinControl::OnExit);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown);
  p.Event("OnKeyPress", &TWinControl::OnKeyPress);
  p.Event("OnKeyUp", &TWinControl::OnKeyUp);
});

