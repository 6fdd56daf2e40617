#include "tray/TrayIconEx.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Forms.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/WindowPos.h"

namespace tray {
namespace {

// The size the record declares (the shell's version-5 layout).
constexpr DWORD kRecordSize = 488;
constexpr UINT kBaseFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr UINT kExitPollMs = 20;
// WM_SHOWWINDOW's status when the window is hidden because its owner is minimised.
constexpr LPARAM kParentClosing = 1;

std::unique_ptr<TTrayIconHandler> gHandler;
UINT gTaskbarCreated = 0;

// Copies the first MaxChars characters (code points) of Text into the zero-ended field of Size
// bytes, followed by zeros; a character that would not fit whole is left out.
void CopyText(char* Field, std::size_t Size, const std::string& Text, int MaxChars) {
  std::size_t n = 0;
  int chars = 0;
  while (n < Text.size()) {
    // A character is its lead byte and the continuation bytes after it.
    std::size_t end = n + 1;
    while (end < Text.size() && (static_cast<unsigned char>(Text[end]) & 0xC0) == 0x80) ++end;
    if (chars == MaxChars || end > Size - 1) break;
    n = end;
    ++chars;
  }
  std::memset(Field, 0, Size);
  std::memcpy(Field, Text.data(), n);
}

TShiftState ModifierState() {
  TShiftState shift;
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (GetAsyncKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

TShiftState ButtonState(TMouseButton Button) {
  TShiftState shift = ModifierState();
  static constexpr TShiftStateFlag kFlags[] = {ssLeft, ssRight, ssMiddle};
  shift.Include(kFlags[Button]);
  return shift;
}

TPoint CursorPos() {
  TPoint p;
  GetCursorPos(&p);
  return p;
}

}  // namespace
}  // namespace tray

// ---- the shared window ----

TTrayIconHandler::TTrayIconHandler() {
  FWindowHandle = AllocateHWnd([this](TMessage& Message) { HandleTrayMessage(Message); });
}

TTrayIconHandler::~TTrayIconHandler() { DeallocateHWnd(FWindowHandle); }

void TTrayIconHandler::HandleTrayMessage(TMessage& Message) {
  switch (Message.Msg) {
    case TrayCallbackMessage: {
      auto* icon = reinterpret_cast<TTrayIconEx*>(Message.WParam);
      if (!FIcons.count(icon)) return;  // a callback of an icon that is gone
      try {
        icon->HandleIconMessage(static_cast<UINT>(Message.LParam));
      } catch (...) {
        if (!Application) throw;
        Application->HandleException(icon);
      }
      return;
    }
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
      Message.Result = 1;
      return;
    default:
      Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
  }
}

void AcquireTrayWindow() {
  if (tray::gTaskbarCreated == 0) tray::gTaskbarCreated = RegisterWindowMessage("TaskbarCreated");
  if (!tray::gHandler) tray::gHandler = std::make_unique<TTrayIconHandler>();
  ++tray::gHandler->FRefCount;
}

void ReleaseTrayWindow() {
  auto& handler = tray::gHandler;
  if (!handler) return;
  if (handler->FRefCount > 0) --handler->FRefCount;
  if (handler->FRefCount == 0) handler.reset();
}

TTrayIconHandler* TrayIconHandler() { return tray::gHandler.get(); }

UINT TaskbarCreatedMessage() { return tray::gTaskbarCreated; }

// ---- TTrayIconEx ----

TTrayIconEx::TTrayIconEx(TComponent* AOwner) : TComponent(AOwner) {
  AcquireTrayWindow();
  tray::gHandler->FIcons.insert(this);
  FFirstWindowMessage = true;
  FEnabled = true;
  FShowHint = true;
  FIcon = std::make_unique<TIcon>();
  FIcon->OnChange = [this](TObject*) { UpdateTrayIcon(); };

  FData.cbSize = tray::kRecordSize;
  FData.hWnd = tray::gHandler->WindowHandle();
  FData.uID = reinterpret_cast<UINT_PTR>(this);
  FData.uFlags = tray::kBaseFlags;
  FData.uCallbackMessage = TrayCallbackMessage;

  FCycleTimer = std::make_unique<TSimpleTimer>(1000, [this](TObject*) { HandleCycleTimer(); });
  FClickTimer = std::make_unique<TSimpleTimer>(1000, [this](TObject*) { HandleClickTimer(); });
  FExitTimer = std::make_unique<TSimpleTimer>(tray::kExitPollMs, [this](TObject*) { HandleExitTimer(); });
  FPointerOutside = true;

  if (!HasState(csDesigning)) {
    if (Application)
      FAppHook = Application->HookMainWindow([this](TMessage& Message) {
        HandleAppMessage(Message);
        return false;
      });
    HookOwner();
  }
}

TTrayIconEx::~TTrayIconEx() {
  SetIconVisible(false);
  FDesignPreview = false;
  FCycleTimer.reset();
  FClickTimer.reset();
  FExitTimer.reset();
  FIcon->OnChange = nullptr;
  FIcon.reset();
  if (FAppHook != 0 && Application) Application->UnhookMainWindow(FAppHook);
  UnhookOwner();
  if (tray::gHandler) tray::gHandler->FIcons.erase(this);
  ReleaseTrayWindow();
}

TWinControl* TTrayIconEx::WindowedOwner() const { return dynamic_cast<TWinControl*>(Owner()); }

void TTrayIconEx::HookOwner() {
  TWinControl* owner = WindowedOwner();
  if (!owner) return;
  FHookedOwner = owner;
  FSavedOwnerProc = owner->WindowProc;
  owner->WindowProc = [this](TMessage& Message) { HandleOwnerMessage(Message); };
}

void TTrayIconEx::UnhookOwner() {
  // An owner being destroyed has no procedure left to put back.
  if (FHookedOwner && FSavedOwnerProc && !FHookedOwner->HasState(csDestroying))
    FHookedOwner->WindowProc = FSavedOwnerProc;
  FHookedOwner = nullptr;
  FSavedOwnerProc = nullptr;
}

void TTrayIconEx::Loaded() {
  TComponent::Loaded();
  if (WindowedOwner()) {
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!showMainForm) {
      if (Application) Application->SetShowMainForm(false);
      SendMainFormToTray();
    }
  }
  UpdateTrayIcon();
  // The values read were only stored: apply them now.
  SetIconVisible(FIconVisible);
  SetCycleIcons(FCycleIcons);
  SetWantEnterExitEvents(FWantEnterExitEvents);
  FData.uVersion = FShellVersion;
  Shell_NotifyIconA(NIM_SETVERSION, &FData);
}

void TTrayIconEx::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FIconList) SetIconList(nullptr);
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// ---- the record and the shell ----

void TTrayIconEx::PrepareRecord() {
  // Without a picture of its own the icon shows the program's.
  TIcon* picture = FIcon && !FIcon->Empty() ? FIcon.get() : Application ? Application->Icon() : nullptr;
  FData.hIcon = picture ? picture->Handle() : nullptr;
  if (!FHint.empty() && FShowHint) tray::CopyText(FData.szTip, sizeof FData.szTip, FHint, NOTIFY_TIP_CHARS);
  else std::memset(FData.szTip, 0, sizeof FData.szTip);
}

bool TTrayIconEx::Notify(DWORD Operation) {
  PrepareRecord();
  return Shell_NotifyIconA(Operation, &FData) != FALSE;
}

bool TTrayIconEx::AddTrayIcon() {
  FIconVisible = true;
  return Notify(NIM_ADD);
}

bool TTrayIconEx::RemoveTrayIcon() {
  FIconVisible = false;
  return Notify(NIM_DELETE);
}

bool TTrayIconEx::UpdateTrayIcon() { return Notify(NIM_MODIFY); }

// ---- setters ----

void TTrayIconEx::SetIcon(TIcon* Value) {
  // Copied without the change notice: the one update follows.
  TNotifyEvent notice = std::move(FIcon->OnChange);
  FIcon->OnChange = nullptr;
  try {
    FIcon->Assign(Value);
  } catch (...) {
    FIcon->OnChange = std::move(notice);
    throw;
  }
  FIcon->OnChange = std::move(notice);
  UpdateTrayIcon();
}

void TTrayIconEx::SetIconVisible(bool Value) {
  if (HasState(csLoading)) {
    FIconVisible = Value;
    return;
  }
  if (Value) AddTrayIcon();
  else RemoveTrayIcon();
}

void TTrayIconEx::SetHint(const std::string& Value) {
  FHint = Value;
  UpdateTrayIcon();
}

void TTrayIconEx::SetShowHint(bool Value) {
  FShowHint = Value;
  UpdateTrayIcon();
}

void TTrayIconEx::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (HasState(csLoading)) return;
  if (Value) {
    SetIconIndex(0);
    FCycleTimer->SetInterval(FCycleInterval);
    FCycleTimer->SetEnabled(true);
  } else {
    FCycleTimer->SetEnabled(false);
  }
}

void TTrayIconEx::SetCycleInterval(UINT Value) {
  if (Value == FCycleInterval) return;
  FCycleInterval = Value;
  SetCycleIcons(FCycleIcons);
}

void TTrayIconEx::SetIconList(TCustomImageList* Value) {
  if (FIconList == Value) return;
  if (FIconList) FIconList->RemoveFreeNotification(this);
  FIconList = Value;
  if (FIconList) FIconList->FreeNotification(this);
  SetIconIndex(0);
}

void TTrayIconEx::CopyListIcon(int Index) {
  if (FIconList && Index >= 0 && Index < FIconList->Count()) FIconList->GetIcon(Index, FIcon.get());
}

void TTrayIconEx::SetIconIndex(int Value) {
  if (FIconList) {
    const int count = FIconList->Count();
    // An empty list leaves -1 and the icon as it is.
    FIconIndex = std::max(std::min(Value, count - 1), count > 0 ? 0 : -1);
    CopyListIcon(FIconIndex);
  } else {
    FIconIndex = 0;
  }
  UpdateTrayIcon();
}

void TTrayIconEx::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TTrayIconEx::SetWantEnterExitEvents(bool Value) {
  FWantEnterExitEvents = Value;
  if (HasState(csLoading)) return;
  FExitTimer->SetEnabled(Value);
}

// ---- balloons ----

void TTrayIconEx::ClearBalloonHint() {
  FData.uFlags |= NIF_INFO;
  std::memset(FData.szInfo, 0, sizeof FData.szInfo);
  UpdateTrayIcon();
  FData.uFlags = tray::kBaseFlags;
}

bool TTrayIconEx::ShowBalloonHint(const std::string& Title, const std::string& Text, int IconKind,
                                  int TimeoutSeconds) {
  ClearBalloonHint();
  FData.uFlags |= NIF_INFO;
  tray::CopyText(FData.szInfo, sizeof FData.szInfo, Text, NOTIFY_INFO_CHARS);
  tray::CopyText(FData.szInfoTitle, sizeof FData.szInfoTitle, Title, NOTIFY_TITLE_CHARS);
  FData.uTimeout = static_cast<UINT>(std::clamp(TimeoutSeconds, 0, 255)) * 1000u;
  FData.dwInfoFlags = IconKind >= bitNone && IconKind <= bitCustom ? static_cast<DWORD>(IconKind) : NIIF_NONE;
  const bool result = UpdateTrayIcon();
  FData.uFlags = tray::kBaseFlags;
  return result;
}

// ---- callbacks ----

void TTrayIconEx::HandleIconMessage(UINT Event) {
  switch (Event) {
    case NIN_BALLOONSHOW:
      if (OnBalloonHintShow) OnBalloonHintShow(this);
      return;
    case NIN_BALLOONHIDE:
      if (OnBalloonHintHide) OnBalloonHintHide(this);
      return;
    case NIN_BALLOONTIMEOUT:
      if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
      return;
    case NIN_BALLOONUSERCLICK:
      if (OnBalloonHintClick) OnBalloonHintClick(this);
      return;
  }
  if (!FEnabled) return;
  const TPoint p = tray::CursorPos();
  switch (Event) {
    case WM_MOUSEMOVE:
      if (FWantEnterExitEvents && FPointerOutside) {
        FPointerOutside = false;
        MouseEnter();
      }
      FLastPos = p;
      MouseMove(tray::ModifierState(), p.X, p.Y);
      break;
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        FClickTimer->SetInterval(GetDoubleClickTime());
        FClickTimer->SetEnabled(true);
      }
      FButtonDown = true;
      MouseDown(mbLeft, tray::ButtonState(mbLeft), p.X, p.Y);
      if (!IsLive(this)) return;
      if (FLeftPopup && FPopupMenu && FPopupMenu->AutoPopup()) {
        SetForegroundWindow(FData.hWnd);
        PopupAtCursor();
      }
      break;
    case WM_LBUTTONUP:
      if (FButtonDown) FClickPending = true;
      if (FButtonDown && !FClickTimer->Enabled()) {
        FButtonDown = false;
        FClickPending = false;
        Click();
        if (!IsLive(this)) return;
      }
      FButtonDown = false;
      MouseUp(mbLeft, tray::ButtonState(mbLeft), p.X, p.Y);
      break;
    case WM_LBUTTONDBLCLK:
      FClickPending = false;
      FDoubleClicked = true;
      DblClick();
      if (IsLive(this) && FPopupMenu && FPopupMenu->AutoPopup() && !FLeftPopup) PopupDefaultItem();
      break;
    case WM_RBUTTONDOWN:
      MouseDown(mbRight, tray::ButtonState(mbRight), p.X, p.Y);
      if (IsLive(this) && FPopupMenu && FPopupMenu->AutoPopup()) {
        SetForegroundWindow(FData.hWnd);
        PopupAtCursor();
      }
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, tray::ButtonState(mbRight), p.X, p.Y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(mbMiddle, tray::ButtonState(mbMiddle), p.X, p.Y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, tray::ButtonState(mbMiddle), p.X, p.Y);
      break;
    default:
      break;
  }
}

bool TTrayIconEx::IsLive(const TTrayIconEx* Icon) {
  return tray::gHandler && tray::gHandler->FIcons.count(const_cast<TTrayIconEx*>(Icon)) != 0;
}

void TTrayIconEx::PopupDefaultItem() {
  TMenuItem* items = FPopupMenu->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->Default()) {
      items->Items(i)->Click();
      return;
    }
}

void TTrayIconEx::HandleClickTimer() {
  FClickTimer->SetEnabled(false);
  const bool click = !FDoubleClicked && FClickPending;
  if (click) FClickPending = false;
  FDoubleClicked = false;
  if (click) Click();
}

void TTrayIconEx::HandleExitTimer() {
  if (FPointerOutside) return;
  const TPoint p = tray::CursorPos();
  if (p.X != FLastPos.X || p.Y != FLastPos.Y) {
    FPointerOutside = true;
    MouseExit();
  }
}

void TTrayIconEx::HandleCycleTimer() {
  if (!FIconList) return;
  CopyListIcon(FIconIndex);
  const int next = FIconIndex == FIconList->Count() - 1 ? 0 : FIconIndex + 1;
  CycleIcon(next);
  if (IsLive(this)) SetIconIndex(next);
}

// ---- the menu ----

void TTrayIconEx::PopupAtPoint(int X, int Y) {
  if (!FPopupMenu) return;
  SetForegroundWindow(FData.hWnd);
  if (Application) Application->ProcessMessages();
  // A handler run meanwhile may have freed the icon or taken the menu away.
  if (!IsLive(this) || !FPopupMenu) return;
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(X, Y);
  // The chosen item may have freed the icon.
  if (!IsLive(this)) return;
  if (TWinControl* owner = WindowedOwner(); owner && owner->HandleAllocated())
    PostMessage(owner->Handle(), WM_NULL, 0, 0);
}

void TTrayIconEx::PopupAtCursor() {
  TPoint p;
  if (GetCursorPos(&p)) PopupAtPoint(p.X, p.Y);
}

// ---- the main window ----

void TTrayIconEx::SendMainFormToTray() {
  if (!WindowedOwner() || !Application || !Application->MainForm()) return;
  Application->MainForm()->SetVisible(false);
  RemoveTaskbarButton();
}

void TTrayIconEx::RemoveTaskbarButton() {
  if (Application && IsWindowVisible(Application->Handle())) ShowWindow(Application->Handle(), SW_HIDE);
}

void TTrayIconEx::ShowMainForm() {
  if (!WindowedOwner() || !Application || !Application->MainForm()) return;
  TCustomForm* form = Application->MainForm();
  Application->Restore();
  if (form->WindowState() == wsMinimized) form->SetWindowState(wsNormal);
  form->SetVisible(true);
  Application->BringToFront();
}

void TTrayIconEx::DoMinimizeToTray() {
  SendMainFormToTray();
  SetIconVisible(true);
}

// ---- hooks ----

void TTrayIconEx::HandleAppMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      if (Message.WParam == SIZE_MINIMIZED && FMinimizeToTray) DoMinimizeToTray();
      break;
    case WM_WINDOWPOSCHANGED:
      if (FFirstWindowMessage && Application && Application->MainForm()) {
        if (Application->MainForm()->FormStyle() == fsMDIForm) {
          bool showMainForm = true;
          if (OnStartup) OnStartup(this, showMainForm);
          if (!showMainForm) RemoveTaskbarButton();
        }
        FFirstWindowMessage = false;
      }
      break;
    case WM_SYSCOMMAND:
      if ((Message.WParam & 0xFFF0) == SC_RESTORE && Application && Application->MainForm()) {
        TCustomForm* form = Application->MainForm();
        if (form->WindowState() == wsMinimized) form->SetWindowState(wsNormal);
        form->SetVisible(true);
      }
      break;
    default:
      break;
  }
  if (tray::gTaskbarCreated != 0 && Message.Msg == tray::gTaskbarCreated && FIconVisible) AddTrayIcon();
}

void TTrayIconEx::HandleOwnerMessage(TMessage& Message) {
  TWinControl* owner = FHookedOwner;
  if (!owner || !FSavedOwnerProc) return;
  const bool isMainForm = Application && owner && Application->MainForm() == owner;
  switch (Message.Msg) {
    case WM_SHOWWINDOW:
      if (Message.WParam != FALSE && Message.LParam == 0) {
        FSavedOwnerProc(Message);
        SetForegroundWindow(owner->Handle());
        return;
      }
      if (Message.WParam == FALSE && Message.LParam == tray::kParentClosing && !(Application && Application->Terminated()) &&
          FMinimizeToTray && OnMinimizeToTray) {
        OnMinimizeToTray(this);
        DoMinimizeToTray();
        Message.Result = 1;
        return;
      }
      break;
    case WM_SYSCOMMAND:
      if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && FMinimizeToTray && OnMinimizeToTray) {
        OnMinimizeToTray(this);
        DoMinimizeToTray();
        Message.Result = 1;
        return;
      }
      // The main window stands for the application here: its restore is the application's.
      if (isMainForm && (Message.WParam & 0xFFF0) == SC_RESTORE) HandleAppMessage(Message);
      break;
    case WM_SIZE:
      // The application is minimised through its main window, which has the size notice.
      if (isMainForm) {
        FSavedOwnerProc(Message);
        HandleAppMessage(Message);
        return;
      }
      break;
    default:
      break;
  }
  FSavedOwnerProc(Message);
}

// ---- events ----

void TTrayIconEx::Click() {
  if (OnClick) OnClick(this);
}
void TTrayIconEx::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TTrayIconEx::CycleIcon(int NextIndex) {
  if (OnCycle) OnCycle(this, NextIndex);
}
void TTrayIconEx::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TTrayIconEx::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TTrayIconEx::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TTrayIconEx::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TTrayIconEx::MouseExit() {
  if (OnMouseExit) OnMouseExit(this);
}

static const classes::TPublished<TTrayIconEx, TComponent> TrayIconExInfo([](classes::TPublisher<TTrayIconEx>& p) {
  p.Bool("DesignPreview", &TTrayIconEx::DesignPreview, &TTrayIconEx::SetDesignPreview).Default(false);
  p.Component("IconList", &TTrayIconEx::IconList, &TTrayIconEx::SetIconList);
  p.Bool("CycleIcons", &TTrayIconEx::CycleIcons, &TTrayIconEx::SetCycleIcons).Default(false);
  p.Int("CycleInterval", &TTrayIconEx::CycleInterval, &TTrayIconEx::SetCycleInterval).Default(0);
  p.Bool("Enabled", &TTrayIconEx::Enabled, &TTrayIconEx::SetEnabled).Default(true);
  p.String("Hint", &TTrayIconEx::Hint, &TTrayIconEx::SetHint);
  p.Bool("ShowHint", &TTrayIconEx::ShowHint, &TTrayIconEx::SetShowHint).Default(true);
  p.Object("Icon", &TTrayIconEx::Icon, &TTrayIconEx::SetIcon);
  p.Bool("IconVisible", &TTrayIconEx::IconVisible, &TTrayIconEx::SetIconVisible).Default(false);
  p.Int("IconIndex", &TTrayIconEx::IconIndex, &TTrayIconEx::SetIconIndex).Default(0);
  p.Component("PopupMenu", &TTrayIconEx::PopupMenu, &TTrayIconEx::SetPopupMenu);
  p.Bool("LeftPopup", &TTrayIconEx::LeftPopup, &TTrayIconEx::SetLeftPopup).Default(false);
  p.Bool("WantEnterExitEvents", &TTrayIconEx::WantEnterExitEvents, &TTrayIconEx::SetWantEnterExitEvents)
      .Default(false);
  p.Bool("MinimizeToTray", &TTrayIconEx::MinimizeToTray, &TTrayIconEx::SetMinimizeToTray).Default(false);
  p.Event("OnClick", &TTrayIconEx::OnClick);
  p.Event("OnDblClick", &TTrayIconEx::OnDblClick);
  p.Event("OnMouseDown", &TTrayIconEx::OnMouseDown);
  p.Event("OnMouseUp", &TTrayIconEx::OnMouseUp);
  p.Event("OnMouseMove", &TTrayIconEx::OnMouseMove);
  p.Event("OnMouseEnter", &TTrayIconEx::OnMouseEnter);
  p.Event("OnMouseExit", &TTrayIconEx::OnMouseExit);
  p.Event("OnCycle", &TTrayIconEx::OnCycle);
  p.Event("OnBalloonHintShow", &TTrayIconEx::OnBalloonHintShow);
  p.Event("OnBalloonHintHide", &TTrayIconEx::OnBalloonHintHide);
  p.Event("OnBalloonHintTimeout", &TTrayIconEx::OnBalloonHintTimeout);
  p.Event("OnBalloonHintClick", &TTrayIconEx::OnBalloonHintClick);
  p.Event("OnMinimizeToTray", &TTrayIconEx::OnMinimizeToTray);
  p.Event("OnStartup", &TTrayIconEx::OnStartup);
});
