#include "platform/controls/Forms.h"

#include <algorithm>
#include <iostream>

#include "platform/classes/Filer.h"
#include "platform/classes/Resources.h"
#include "platform/gdi/FontMatch.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Files.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

constexpr UINT_PTR kHintTimer = 1;
// How far below the pointer's hot spot a hint appears.
constexpr int kCursorHeightMargin = 20;
const char* const kCannotFocus = "Cannot focus a disabled or invisible window";

// Counts focus changes, so a focus notice can tell whether its handler moved the focus.
int FocusCount = 0;

bool SendFocusMessage(HWND Wnd, UINT Msg) {
  const int count = FocusCount;
  SendMessage(Wnd, Msg, 0, 0);
  return FocusCount == count;
}

// Runs a form's event, handing an exception to the application.
template <class F>
void Guarded(TObject* Sender, F&& Call) {
  try {
    Call();
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(Sender);
  }
}

// The control that shows the hint for Control: the first up the parents with ShowHint on.
TControl* GetHintControl(TControl* Control) {
  TControl* c = Control;
  while (c && !c->ShowHint()) c = c->Parent();
  return c;
}

}  // namespace

const classes::TEnumInfo& EnumInfo(TFormBorderStyle) {
  static const classes::TEnumInfo info{
      "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TBorderIcon) {
  static const classes::TEnumInfo info{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TPosition) {
  static const classes::TEnumInfo info{"TPosition",
                                       {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                        "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFormStyle) {
  static const classes::TEnumInfo info{"TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TWindowState) {
  static const classes::TEnumInfo info{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};
  return info;
}

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FLeft = 0;
  FTop = 0;
  FWidth = 320;
  FHeight = 240;
  FVisible = false;
  FColor = clBtnFace;
  Brush()->SetColor(clBtnFace);
  FParentColor = false;
  FParentFont = false;
  FCanvas->SetControl(this);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  BeforeDestruction();
  Destroying();
  if (Application) {
    std::erase(Application->FReleased, this);
    if (Application->FMainForm == this) Application->FMainForm = nullptr;
  }
  if (Screen) Screen->RemoveForm(this);
  // The window goes while the form's handlers are still there for its last messages.
  if (HandleAllocated()) DestroyWindowHandle();
  FCanvas->SetControl(nullptr);
}

void TCustomForm::AfterConstruction() {
  if (typeid(*this) != typeid(TForm) && typeid(*this) != typeid(TCustomForm) &&
      classes::ClassInfoOfType(typeid(*this)) != nullptr) {
    FFormState.Include(fsCreating);
    try {
      if (!InitInheritedComponent(this, FindClass("TForm")))
        throw EResNotFound("Resource " + ClassName() + " not found");
    } catch (...) {
      FFormState.Exclude(fsCreating);
      throw;
    }
    FFormState.Exclude(fsCreating);
  }
  DoCreate();
  // A definition that makes the form visible shows it now that it is complete.
  if (FVisible) UpdateControlState();
}

void TCustomForm::BeforeDestruction() {
  if (FDestroyed) return;
  FDestroyed = true;
  DoDestroy();
}

void TCustomForm::DoCreate() {
  if (OnCreate) Guarded(this, [&] { OnCreate(this); });
}
void TCustomForm::DoDestroy() {
  if (OnDestroy) Guarded(this, [&] { OnDestroy(this); });
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}
void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (FClientWidth > 0) TControl::SetClientWidth(FClientWidth);
  if (FClientHeight > 0) TControl::SetClientHeight(FClientHeight);
  FClientWidth = FClientHeight = 0;
}

void TCustomForm::SetClientWidth(int Value) {
  if (FControlState.Contains(csReadingState)) FClientWidth = Value;
  else TControl::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(int Value) {
  if (FControlState.Contains(csReadingState)) FClientHeight = Value;
  else TControl::SetClientHeight(Value);
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TWinControl::GetChildren(Proc, Root);
  if (Root != this) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) Proc(Components(i));
}

// -- window --

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (!FParent && !ParentWindow()) {
    Params.WndParent = nullptr;
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  Params.WindowClass.style = CS_DBLCLKS;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
  if ((FPosition == poDefault || FPosition == poDefaultSizeOnly) &&
      (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin))
    Params.Width = Params.Height = CW_USEDEFAULT;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  switch (FBorderStyle) {
    case bsNone:
      if (!FParent && !ParentWindow()) Params.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      Params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
  TBorderIcons icons = FBorderIcons;
  switch (FBorderStyle) {
    case bsNone: icons = {}; break;
    case bsDialog: icons = icons * TBorderIcons{biSystemMenu, biHelp}; break;
    case bsToolWindow:
    case bsSizeToolWin: icons = icons * TBorderIcons{biSystemMenu}; break;
    default: break;
  }
  if (icons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
  if (icons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
  if (icons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  // A position the window manager chose (poDefault) is the form's from now on.
  UpdateBounds();
}

// A change of the frame applies to a window that exists without making a new one.
namespace {
void ApplyStyles(TWinControl* Control, const TCreateParams& Params) {
  HWND wnd = Control->Handle();
  constexpr DWORD kept = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;
  LONG_PTR style = GetWindowLongPtr(wnd, GWL_STYLE);
  SetWindowLongPtr(wnd, GWL_STYLE, static_cast<LONG_PTR>((Params.Style & ~kept) | (static_cast<DWORD>(style) & kept)));
  SetWindowLongPtr(wnd, GWL_EXSTYLE, static_cast<LONG_PTR>(Params.ExStyle & ~WS_EX_TOPMOST));
  SetWindowPos(wnd, (Params.ExStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
}  // namespace

void TCustomForm::UpdateFrame() {
  if (!HandleAllocated()) return;
  TCreateParams params;
  CreateParams(params);
  ApplyStyles(this, params);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  UpdateFrame();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  UpdateFrame();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  FFormStyle = Value;
  UpdateFrame();
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  static const int commands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  if (!HasState(csLoading) && Showing()) ShowWindow(Handle(), commands[Value]);
}

bool TCustomForm::Showing() const { return TWinControl::Showing(); }

void TCustomForm::PlaceOnShow() {
  if (FPosition == poScreenCenter || FPosition == poDesktopCenter) {
    const int x = std::max((Screen->Width() - FWidth) / 2, 0);
    const int y = std::max((Screen->Height() - FHeight) / 2, 0);
    SetBounds(x, y, FWidth, FHeight);
  } else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
    TCustomForm* center = Application ? Application->MainForm() : nullptr;
    if (FPosition == poOwnerFormCenter)
      if (auto* owner = dynamic_cast<TCustomForm*>(Owner())) center = owner;
    int x, y;
    if (center && center != this) {
      x = (center->Width() - FWidth) / 2 + center->Left();
      y = (center->Height() - FHeight) / 2 + center->Top();
    } else {
      x = (Screen->Width() - FWidth) / 2;
      y = (Screen->Height() - FHeight) / 2;
    }
    SetBounds(std::max(x, 0), std::max(y, 0), FWidth, FHeight);
  }
  FPosition = poDesigned;
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (FFormState.Contains(fsShowing)) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  FFormState.Include(fsShowing);
  struct TReset {
    TFormState& State;
    ~TReset() { State.Exclude(fsShowing); }
  } reset{FFormState};
  if (Showing()) {
    Guarded(this, [&] { DoShow(); });
    PlaceOnShow();
    static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    ShowWindow(Handle(), commands[FWindowState]);
  } else {
    Guarded(this, [&] { DoHide(); });
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TCustomForm::CMVisibleChanged(TMessage& Message) { TWinControl::CMVisibleChanged(Message); }

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::WMPaint(TMessage& Message) {
  if (HandleAllocated() && IsIconic(Handle())) {
    DefaultHandler(Message);
    return;
  }
  PaintCustom(Message);
}

void TCustomForm::PaintWindow(HDC DC) {
  controls::TCanvasPaint paint(*FCanvas, DC);
  Paint();
}

void TCustomForm::WMSize(TMessage& Message) {
  if (!HasState(csDestroying)) {
    switch (Message.WParam) {
      case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
      case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
      case SIZE_RESTORED:
        if (HandleAllocated() && !IsIconic(FHandle)) FWindowState = IsZoomed(FHandle) ? wsMaximized : wsNormal;
        break;
    }
  }
  TWinControl::WMSize(Message);
}

// -- closing --

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) Application->Terminate();
  else if (action == caHide) Hide();
  else if (action == caMinimize) SetWindowState(wsMinimized);
  else Release();
}

void TCustomForm::Release() {
  if (Application) Application->ReleaseForm(this);
}

void TCustomForm::CMRelease(TMessage&) {
  // Freed by the application window (see TApplication::ReleaseForm): nothing runs in a window
  // procedure of the form after it is gone.
  Release();
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMQueryEndSession(TMessage& Message) { Message.Result = CloseQuery() ? TRUE : FALSE; }

void TCustomForm::WMSysCommand(TMessage& Message) {
  const WPARAM command = Message.WParam & 0xFFF0;
  if (Application && Application->MainForm() == this) {
    if (command == SC_MINIMIZE) {
      Application->Minimize();
      return;
    }
    if (command == SC_RESTORE && Application->Minimized()) {
      Application->Restore();
      return;
    }
  }
  DefaultHandler(Message);
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone) FModalResult = mrNone;
    else if (action == caFree) Release();
  } catch (...) {
    FModalResult = mrNone;
    if (!Application) throw;
    Application->HandleException(this);
  }
}

int TCustomForm::ShowModal() {
  CancelDrag();
  if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND activeWindow = GetActiveWindow();
  const int saveFocusCount = FocusCount;
  Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
  Screen->FFocusedForm = this;
  const TCursor saveCursor = Screen->Cursor();
  Screen->SetCursor(crDefault);
  const int saveCursorCount = Screen->FCursorCount;
  // Every other window of the program takes no input while the form is up.
  std::vector<HWND> disabled;
  {
    std::vector<HWND> tops;
    {
      auto& m = os::Manager();
      std::lock_guard<std::mutex> lock(m.Lock);
      tops = m.TopLevels;
    }
    const HWND self = HandleAllocated() ? FHandle : nullptr;
    for (HWND w : tops)
      if (w != self && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() && IsWindowVisible(w) &&
          IsWindowEnabled(w)) {
        EnableWindow(w, FALSE);
        disabled.push_back(w);
      }
  }
  // The form stays above the window that opened it while it is up: an unowned form is owned
  // by that window meanwhile (a message box already is by its own).
  const HWND opener = activeWindow ? GetAncestor(activeWindow, GA_ROOT) : nullptr;
  bool ownedMeanwhile = false;
  if (opener && opener != Handle() && IsWindowVisible(opener) && !GetWindow(Handle(), GW_OWNER)) {
    SetWindowLongPtr(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(opener));
    ownedMeanwhile = true;
  }
  auto restore = [&] {
    if (ownedMeanwhile && HandleAllocated()) SetWindowLongPtr(Handle(), GWLP_HWNDPARENT, 0);
    if (Screen->FCursorCount == saveCursorCount) Screen->SetCursor(saveCursor);
    else Screen->SetCursor(crDefault);
    for (HWND w : disabled)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    if (!Screen->FSaveFocusedList.empty()) {
      Screen->FFocusedForm = Screen->FSaveFocusedList.front();
      Screen->FSaveFocusedList.erase(Screen->FSaveFocusedList.begin());
    } else {
      Screen->FFocusedForm = nullptr;
    }
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    FocusCount = saveFocusCount;
    FFormState.Exclude(fsModal);
  };
  int result = mrNone;
  try {
    Show();
    try {
      SendMessage(Handle(), CM_ACTIVATE, 0, 0);
      FModalResult = mrNone;
      do {
        Application->HandleMessage();
        if (Application->Terminated()) FModalResult = mrCancel;
        else if (FModalResult != mrNone) CloseModal();
      } while (FModalResult == mrNone);
      result = FModalResult;
      SendMessage(Handle(), CM_DEACTIVATE, 0, 0);
      if (GetActiveWindow() != FHandle) activeWindow = nullptr;
    } catch (...) {
      Hide();
      throw;
    }
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

// -- activation and focus --

void TCustomForm::CMActivate(TMessage&) { Activate(); }
void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::WMActivate(TMessage& Message) { SetActive(LOWORD(Message.WParam) != WA_INACTIVE); }

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (!Value) return;
  if (!FActiveControl) {
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
      SetActiveControl(first);
      return;
    }
  }
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND focus = FActiveControl ? FActiveControl->Handle() : Handle();
  if (focus) ::SetFocus(focus);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && !(Control != this && GetParentForm(Control) == this && (HasState(csLoading) || Control->CanFocus())))
    throw EInvalidOperation(kCannotFocus);
  FActiveControl = Control;
  if (!HasState(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::SetFocus() {
  if (FActive) return;
  if (!(FVisible && FEnabled)) throw EInvalidOperation(kCannotFocus);
  SetWindowFocus();
}

bool TCustomForm::CanFocus() { return FVisible && FEnabled; }

void TCustomForm::FocusControl(TWinControl* Control) {
  const bool wasActive = FActive;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
  if (Control->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  ++FocusCount;
  FActiveControl = Control != this ? Control : nullptr;
  Screen->FActiveControl = Control;
  TCustomForm* previousForm = Screen->FActiveCustomForm;
  Screen->FActiveCustomForm = this;
  auto& custom = Screen->FCustomForms;
  std::erase(custom, this);
  custom.insert(custom.begin(), this);
  if (auto* form = dynamic_cast<TForm*>(this)) {
    Screen->FActiveForm = form;
    std::erase(Screen->FForms, form);
    Screen->FForms.insert(Screen->FForms.begin(), form);
  } else {
    Screen->FActiveForm = nullptr;
  }
  if (Control->FControlState.Contains(csFocusing)) return false;
  Control->FControlState.Include(csFocusing);
  struct TReset {
    TWinControl* C;
    ~TReset() { C->FControlState.Exclude(csFocusing); }
  } reset{Control};
  if (Screen->FFocusedForm != this) {
    if (TCustomForm* old = Screen->FFocusedForm) {
      Screen->FFocusedForm = nullptr;
      if (old->HandleAllocated() && !SendFocusMessage(old->FHandle, CM_DEACTIVATE)) return false;
    }
    Screen->FFocusedForm = this;
    if (!SendFocusMessage(Handle(), CM_ACTIVATE)) return false;
  }
  if (!FFocusedControl) FFocusedControl = this;
  if (FFocusedControl != Control) {
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
      TWinControl* leaving = FFocusedControl;
      FFocusedControl = leaving->Parent();
      if (leaving->HandleAllocated() && !SendFocusMessage(leaving->FHandle, CM_EXIT)) return false;
    }
    while (FFocusedControl != Control) {
      TWinControl* entering = Control;
      while (entering->Parent() != FFocusedControl) entering = entering->Parent();
      FFocusedControl = entering;
      if (!SendFocusMessage(entering->Handle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  }
  if (Screen->OnActiveControlChange) Screen->OnActiveControlChange(Screen);
  if (previousForm != this && Screen->OnActiveFormChange) Screen->OnActiveFormChange(Screen);
  return true;
}

bool TCustomForm::WantChildKey(TControl*, TMessage&) { return false; }

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  return handled;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl,
                                               Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
    }
  }
  TWinControl::CMDialogKey(Message);
}

void TCustomForm::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_CLOSE: WMClose(M); return;
    case WM_ACTIVATE: WMActivate(M); return;
    case WM_SYSCOMMAND: WMSysCommand(M); return;
    case WM_QUERYENDSESSION: WMQueryEndSession(M); return;
    case CM_ACTIVATE: CMActivate(M); return;
    case CM_DEACTIVATE: CMDeactivate(M); return;
    case CM_RELEASE: CMRelease(M); return;
    case WM_GETICON: {
      TIcon* icon = !FIcon->Empty() ? FIcon.get() : Application ? Application->Icon() : nullptr;
      M.Result = icon ? reinterpret_cast<LRESULT>(icon->Handle()) : 0;
      return;
    }
    default: TWinControl::Dispatch(M);
  }
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {
  // Listed again now that it is a TForm (the base constructor could only list a custom form).
  if (Screen) Screen->AddForm(this);
}

// ---- THintWindow ----

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  FVisible = false;
  if (Screen) Canvas()->Font()->Assign(Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
  TRect r{0, 0, MaxWidth, 0};
  std::string text = AHint;
  Canvas()->TextRect(r, text, {tfCalcRect, tfLeft, tfWordBreak, tfNoPrefix});
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
  SetCaption(AHint);
  Rect.Bottom += 4;
  const TRect desktop = Screen ? Screen->DesktopRect() : os::ScreenBounds();
  int w = Rect.Width(), h = Rect.Height();
  if (Rect.Top + h > desktop.Bottom) Rect.Top = desktop.Bottom - h;
  if (Rect.Left + w > desktop.Right) Rect.Left = desktop.Right - w;
  if (Rect.Left < desktop.Left) Rect.Left = desktop.Left;
  if (Rect.Top < desktop.Top) Rect.Top = desktop.Top;
  Rect = Bounds(Rect.Left, Rect.Top, w, h);
  UpdateBoundsRect(Rect);
  SetWindowPos(Handle(), HWND_TOPMOST, Rect.Left, Rect.Top, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void*) { ActivateHint(Rect, AHint); }

void THintWindow::ReleaseHandle() { DestroyHandle(); }

bool THintWindow::IsHintMsg(const MSG& Msg) {
  const UINT m = Msg.message;
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE || m == CM_APPKEYDOWN ||
         m == CM_APPSYSCOMMAND || m == WM_COMMAND || (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE;
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  r.Left += 2;
  r.Top += 2;
  Canvas()->Font()->SetColor(Screen ? Screen->HintFont()->Color() : clInfoText);
  Canvas()->Brush()->SetStyle(bsClear);
  std::string text = Caption();
  Canvas()->TextRect(r, text, {tfLeft, tfWordBreak, tfNoPrefix});
  Canvas()->Brush()->SetStyle(bsSolid);
}

void THintWindow::WMNCPaint(TMessage&) {
  // The classic look: a one-pixel black border.
  HDC dc = GetWindowDC(Handle());
  TRect r{0, 0, Width(), Height()};
  HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
  FrameRect(dc, &r, black);
  DeleteObject(black);
  ReleaseDC(Handle(), dc);
}

void THintWindow::CMTextChanged(TMessage&) {
  if (HandleAllocated()) Invalidate();
}

void THintWindow::Dispatch(TMessage& M) {
  if (M.Msg == WM_NCHITTEST) {
    // The hint never takes the pointer: the control under it keeps getting the mouse.
    M.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(M);
}

// ---- TApplication ----

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  if (!Application) Application = this;
  if (FindResourceData("MAINICON", RT_ICON)) FIcon->LoadFromResourceName(nullptr, "MAINICON");
  if (!Screen) {
    Screen = new TScreen(nullptr);
    FOwnsScreen = true;
  }
}

TApplication::~TApplication() {
  StopHintTimer();
  FHintControl = nullptr;
  // Forms hear OnDestroy while they are whole, last made first.
  for (int i = ComponentCount() - 1; i >= 0; --i)
    if (auto* form = dynamic_cast<TCustomForm*>(Components(i))) form->BeforeDestruction();
  DestroyComponents();
  FHintWindow = nullptr;
  FMainForm = nullptr;
  if (Application == this) Application = nullptr;
  if (FOwnsScreen) {
    delete Screen;
    Screen = nullptr;
  }
  DeallocateHWnd(FHandle);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHintWindow) FHintWindow = nullptr;
  if (AComponent == FMainForm) FMainForm = nullptr;
}

void TApplication::WndProc(TMessage& Message) {
  try {
    for (auto& hook : std::vector<std::pair<int, TWindowHook>>(FWindowHooks))
      if (hook.second(Message)) return;
    switch (Message.Msg) {
      case WM_TIMER:
        if (Message.WParam == kHintTimer) {
          HintTimerExpired();
          return;
        }
        break;
      case WM_ACTIVATEAPP:
        FActive = Message.WParam != 0;
        if (FActive) {
          if (OnActivate) OnActivate(this);
        } else {
          CancelHint();
          if (OnDeactivate) OnDeactivate(this);
        }
        break;
      case CM_RELEASE: {
        auto* form = reinterpret_cast<TCustomForm*>(Message.LParam);
        if (std::find(FReleased.begin(), FReleased.end(), form) == FReleased.end()) return;
        std::erase(FReleased, form);
        form->BeforeDestruction();
        delete form;
        return;
      }
    }
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::ReleaseForm(TCustomForm* Form) {
  if (std::find(FReleased.begin(), FReleased.end(), Form) != FReleased.end()) return;
  FReleased.push_back(Form);
  PostMessage(FHandle, CM_RELEASE, 0, reinterpret_cast<LPARAM>(Form));
}

void TApplication::FormCreated(TCustomForm* Form) {
  if (!FMainForm && dynamic_cast<TForm*>(Form)) {
    Form->HandleNeeded();
    FMainForm = Form;
    FreeNotification(Form);
  }
}

void TApplication::Run() {
  if (FMainForm && FShowMainForm) {
    if (FMainForm->WindowState() == wsMinimized) Minimize();
    else FMainForm->SetVisible(true);
  }
  do {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  } while (!FTerminate);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg) && DoIdle() && !FTerminate) WaitMessage();
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(Msg, handled);
  if (!IsHintMsg(Msg) && !handled && !IsKeyMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return true;
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (FHintActive && FHintWindow && FHintWindow->IsHintMsg(Msg)) CancelHint();
  return false;
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  // Keys are offered first to the control they are for (CN_KEYDOWN...): dialog keys,
  // accelerators and shortcuts are handled there. While a window holds the capture (a drag),
  // it gets them.
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = Msg.hwnd;
    while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
    if (!wnd) return false;
  }
  return SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::DoIdle() {
  TPoint p;
  GetCursorPos(&p);
  controls::UpdateMouseControl(p);
  if (FShowHint && !controls::MouseControl()) CancelHint();
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  return done;
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::Minimize() {
  if (FMinimized) return;
  FMinimized = true;
  CancelHint();
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!FMinimized) return;
  FMinimized = false;
  if (FMainForm && FMainForm->HandleAllocated()) {
    ShowWindow(FMainForm->Handle(), SW_RESTORE);
    SetForegroundWindow(FMainForm->Handle());
  }
  if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
  TCustomForm* form = Screen && Screen->ActiveCustomForm() ? Screen->ActiveCustomForm() : FMainForm;
  if (form && form->HandleAllocated() && IsWindowVisible(form->Handle())) SetForegroundWindow(form->Handle());
}

int TApplication::HookMainWindow(TWindowHook Hook) {
  const int id = FNextHookId++;
  FWindowHooks.emplace_back(id, std::move(Hook));
  return id;
}

void TApplication::UnhookMainWindow(int HookId) {
  std::erase_if(FWindowHooks, [&](const auto& h) { return h.first == HookId; });
}

// -- hints --

void TApplication::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  if (!Value) {
    CancelHint();
    if (FHintWindow) FHintWindow->ReleaseHandle();
  }
}

void TApplication::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

void TApplication::StartHintTimer(int Pause, bool Show) {
  StopHintTimer();
  FHintTimerShows = Show;
  FHintTimerRunning = SetTimer(FHandle, kHintTimer, static_cast<UINT>(std::max(Pause, 0)), nullptr) != 0;
}

void TApplication::StopHintTimer() {
  if (!FHintTimerRunning) return;
  KillTimer(FHandle, kHintTimer);
  FHintTimerRunning = false;
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (FHintTimerShows) {
    TPoint p;
    GetCursorPos(&p);
    ActivateHint(p);
  } else {
    HideHint();
  }
}

void TApplication::HideHint() {
  if (FHintWindow && FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->Handle()))
    ShowWindow(FHintWindow->Handle(), SW_HIDE);
}

void TApplication::CancelHint() {
  if (!FHintControl) return;
  HideHint();
  FHintControl = nullptr;
  FHintActive = false;
  StopHintTimer();
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (!FShowHint || !Control) return;
  TPoint screen;
  try {
    screen = Control->ClientToScreen(LParamToPoint(Message.LParam));
  } catch (const EInvalidOperation&) {
    return;
  }
  TControl* hintControl = GetHintControl(FindDragTarget(screen, true));
  if (!hintControl) {
    CancelHint();
    return;
  }
  if (hintControl == FHintControl && FHintCursorRect.Contains(screen)) return;
  const bool wasActive = FHintActive;
  int pause = wasActive ? FHintShortPause : FHintPause;
  hintControl->Perform(CM_HINTSHOWPAUSE, wasActive ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
  CancelHint();
  FHintActive = wasActive;
  FHintControl = hintControl;
  StartHintTimer(pause, true);
}

void TApplication::ActivateHint(TPoint CursorPos) {
  FHintCursorRect = TRect();
  if (!FShowHint || !FHintControl || GetHintControl(FindDragTarget(CursorPos, true)) != FHintControl) {
    CancelHint();
    return;
  }
  TControl* control = FHintControl;
  THintInfo info;
  info.HintControl = control;
  info.HintPos = {CursorPos.X, CursorPos.Y + kCursorHeightMargin};
  info.HintMaxWidth = Screen->Width();
  info.HintColor = FHintColor;
  info.CursorRect = {0, 0, control->Width(), control->Height()};
  if (auto* w = dynamic_cast<TWinControl*>(control)) info.CursorRect = w->ClientRect();
  info.CursorPos = control->ScreenToClient(CursorPos);
  info.HintStr = GetShortHint(control->Hint());
  info.ReshowTimeout = 0;
  info.HideTimeout = FHintHidePause;
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  FHintActive = canShow && FHintControl;
  if (FHintActive && !info.HintStr.empty()) {
    // A hint that asks for another kind of window than the one held gets a new window.
    if (FHintWindow && FHintWindowKind != info.HintWindowClass) delete FHintWindow;
    if (!FHintWindow) {
      if (info.HintWindowClass) FHintWindow = info.HintWindowClass(this);
      else FHintWindow = HintWindowClass ? HintWindowClass(this) : new THintWindow(this);
      FHintWindowKind = info.HintWindowClass;
      FreeNotification(FHintWindow);
    }
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.X, info.HintPos.Y);
    TPoint tl = control->ClientToScreen(info.CursorRect.TopLeft());
    TPoint br = control->ClientToScreen(info.CursorRect.BottomRight());
    FHintCursorRect = {tl, br};
    FHintWindow->SetColor(info.HintColor);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.ReshowTimeout > 0) StartHintTimer(info.ReshowTimeout, true);
    else StartHintTimer(info.HideTimeout, false);
    return;
  }
  if (info.ReshowTimeout > 0) StartHintTimer(info.ReshowTimeout, true);
  else CancelHint();
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (FHintControl == Control) CancelHint();
  if (FMainForm == Control) FMainForm = nullptr;
  if (Screen) Screen->ControlDestroyed(Control);
}

// -- exceptions --

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  auto report = [&](const Exception& e) {
    if (OnException) OnException(Sender, e);
    else ShowException(e);
  };
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception("Unknown exception"));
  }
}

void TApplication::ShowException(const Exception& E) {
  std::string message = E.Message();
  if (!message.empty() && message.back() != '.') message += '.';
  std::cerr << (FTitle.empty() ? std::string("Exception") : FTitle) << ": " << message << std::endl;
}

std::string TApplication::ExeName() const { return rtl::ExePath(); }

// ---- TScreen and TMonitor ----

TRect TMonitor::BoundsRect() const {
  MONITORINFO info;
  GetMonitorInfo(FHandle, &info);
  return info.rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO info;
  GetMonitorInfo(FHandle, &info);
  return info.rcWork;
}

bool TMonitor::Primary() const {
  MONITORINFO info;
  GetMonitorInfo(FHandle, &info);
  return (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner),
      FHintFont(std::make_unique<TFont>()),
      FMenuFont(std::make_unique<TFont>()),
      FIconFont(std::make_unique<TFont>()) {
  FHintFont->SetColor(clInfoText);
  NONCLIENTMETRICS metrics;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) {
    FHintFont->SetHandle(CreateFontIndirect(&metrics.lfStatusFont));
    FHintFont->SetColor(clInfoText);
    FMenuFont->SetHandle(CreateFontIndirect(&metrics.lfMenuFont));
  }
}

TScreen::~TScreen() = default;

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const {
  TRect r;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FForms[static_cast<size_t>(Index)];
}

TCustomForm* TScreen::CustomForms(int Index) const {
  if (Index < 0 || Index >= CustomFormCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FCustomForms[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FCustomForms.begin(), FCustomForms.end(), Form) == FCustomForms.end()) FCustomForms.push_back(Form);
  auto* f = dynamic_cast<TForm*>(Form);
  if (f && std::find(FForms.begin(), FForms.end(), f) == FForms.end()) FForms.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  std::erase(FCustomForms, Form);
  std::erase_if(FForms, [&](TForm* f) { return static_cast<TCustomForm*>(f) == Form; });
  std::erase(FSaveFocusedList, Form);
  if (FActiveCustomForm == Form) FActiveCustomForm = nullptr;
  if (static_cast<TCustomForm*>(FActiveForm) == Form) FActiveForm = nullptr;
  if (FFocusedForm == Form) FFocusedForm = nullptr;
}

void TScreen::ControlDestroyed(TControl* Control) {
  if (static_cast<TControl*>(FActiveControl) == Control) FActiveControl = nullptr;
}

void TScreen::SetCursor(TCursor Value) {
  if (Value != FCursor) {
    FCursor = Value;
    if (Value == crDefault) {
      // Each window under the pointer shows its own cursor again.
      TPoint p;
      GetCursorPos(&p);
      HWND wnd = WindowFromPoint(p);
      if (wnd && GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId()) {
        LRESULT hit = SendMessage(wnd, WM_NCHITTEST, 0, PointToLParam(p));
        SendMessage(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(static_cast<int>(hit), WM_MOUSEMOVE));
      }
    } else {
      ::SetCursor(Cursors(Value));
    }
  }
  ++FCursorCount;
}

HCURSOR TScreen::Cursors(TCursor Index) const {
  for (const auto& c : FCursors)
    if (c.first == Index) return c.second;
  const char* id = IDC_ARROW;
  switch (Index) {
    case crNone: return nullptr;
    case crIBeam: id = IDC_IBEAM; break;
    case crHourGlass:
    case crSQLWait: id = IDC_WAIT; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crCross: id = IDC_CROSS; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    case crNo:
    case crNoDrop: id = IDC_NO; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    default: break;
  }
  return LoadCursor(nullptr, id);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  for (auto& c : FCursors)
    if (c.first == Index) {
      c.second = Handle;
      return;
    }
  FCursors.emplace_back(Index, Handle);
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    for (const std::string& family : gdi::FontFamilies()) FFonts->Add(family);
  }
  return FFonts.get();
}

namespace {
BOOL CollectMonitor(HMONITOR Monitor, HDC, TRect*, LPARAM Data) {
  reinterpret_cast<std::vector<HMONITOR>*>(Data)->push_back(Monitor);
  return TRUE;
}
}  // namespace

void TScreen::UpdateMonitors() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&handles));
  bool same = handles.size() == FMonitors.size();
  for (size_t i = 0; same && i < handles.size(); ++i) same = FMonitors[i]->Handle() == handles[i];
  if (same) return;
  FMonitors.clear();
  for (size_t i = 0; i < handles.size(); ++i)
    FMonitors.push_back(std::make_unique<TMonitor>(handles[i], static_cast<int>(i)));
}

int TScreen::MonitorCount() {
  UpdateMonitors();
  return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
  UpdateMonitors();
  if (Index < 0 || Index >= static_cast<int>(FMonitors.size()))
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FMonitors[static_cast<size_t>(Index)].get();
}

TMonitor* TScreen::MonitorOf(HMONITOR Handle) {
  if (!Handle) return nullptr;
  UpdateMonitors();
  for (auto& m : FMonitors)
    if (m->Handle() == Handle) return m.get();
  return nullptr;
}

namespace {
DWORD MonitorFlags(TMonitorDefaultTo Default) {
  switch (Default) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}
}  // namespace

TMonitor* TScreen::MonitorFromWindow(HWND Wnd, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromWindow(Wnd, MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromPoint(Point, MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromRect(&Rect, MonitorFlags(Default)));
}

// ---- published properties ----

static const classes::TPublished<TCustomForm, TWinControl> CustomFormInfo([](classes::TPublisher<TCustomForm>& p) {
  p.Int("Color", &TCustomForm::Color, &TCustomForm::SetColor)
      .Default(clBtnFace)
      .Idents(ColorIdents())
      .Stored(&TCustomForm::IsColorStored);
  p.Bool("ParentColor", &TCustomForm::ParentColor, &TCustomForm::SetParentColor).Default(false);
  p.Bool("ParentFont", &TCustomForm::ParentFont, &TCustomForm::SetParentFont).Default(false);
  p.Bool("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible).Default(false);
  p.Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth).Stored(false);
  p.Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight).Stored(false);
  p.Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  p.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
  p.Set<TBorderIcon>("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  p.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
  p.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
  p.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
  p.Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
  p.Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
  p.Int("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
  p.Bool("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
  p.Bool("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder);
  p.Bool("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll).Default(false);
  p.Object("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
  p.Event("OnCreate", &TCustomForm::OnCreate);
  p.Event("OnDestroy", &TCustomForm::OnDestroy);
  p.Event("OnShow", &TCustomForm::OnShow);
  p.Event("OnHide", &TCustomForm::OnHide);
  p.Event("OnActivate", &TCustomForm::OnActivate);
  p.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  p.Event("OnPaint", &TCustomForm::OnPaint);
  p.Event("OnClose", &TCustomForm::OnClose);
  p.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
  p.Event("OnShortCut", &TCustomForm::OnShortCut);
});

static const classes::TPublished<TForm, TCustomForm> FormInfo;
static const classes::TPublished<THintWindow, TCustomControl> HintWindowInfo;
