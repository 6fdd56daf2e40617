#pragma once
// A notification-area icon as a non-visual component: its icon and tooltip, balloon tips,
// the shell's callback messages turned into mouse events (a click told apart from a
// double-click, the pop-up menu opened), icons cycled from an image list, the main window
// sent to the tray and brought back, minimising to the tray, and the icon added again when
// the taskbar is re-created. All icons share one hidden window that receives the callbacks.
#include <memory>
#include <set>
#include <string>

#include "platform/classes/Component.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/ImgList.h"
#include "platform/os/Window.h"
#include "platform/shell/ShellApi.h"
#include "tray/SimpleTimer.h"

class TTrayIconEx;

// The callback message of every icon (the window-message base for applications + 0x400).
constexpr UINT TrayCallbackMessage = WM_USER + 0x400;

// The balloon's icon: none, information, warning, error, or the tray icon's own image.
enum TBalloonHintIcon { bitNone, bitInfo, bitWarning, bitError, bitCustom };

// OnCycle: the index the cycling moves to next.
using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;
// OnStartup: clearing ShowMainForm keeps the main window hidden (in the tray) at start.
using TStartupEvent = std::function<void(TObject* Sender, bool& ShowMainForm)>;

// Owns the shared hidden window and counts the icons using it.
class TTrayIconHandler : public TObject {
 public:
  TTrayIconHandler();
  ~TTrayIconHandler() override;
  TTrayIconHandler(const TTrayIconHandler&) = delete;
  TTrayIconHandler& operator=(const TTrayIconHandler&) = delete;

  int RefCount() const { return FRefCount; }
  HWND WindowHandle() const { return FWindowHandle; }
  // The shared window's procedure: a callback goes to the icon it names; the session and
  // destruction messages are answered 1; the rest goes to DefWindowProc.
  void HandleTrayMessage(TMessage& Message);

 private:
  friend void AcquireTrayWindow();
  friend void ReleaseTrayWindow();
  friend class TTrayIconEx;
  int FRefCount = 0;
  HWND FWindowHandle = nullptr;
  // The live icons: a callback names its icon by address, so only these are trusted.
  std::set<TTrayIconEx*> FIcons;
};

// Makes the shared handler (and window) when there is none, and counts one more user.
void AcquireTrayWindow();
// Counts one user less (never below 0); the last one frees the handler and its window.
void ReleaseTrayWindow();
// The shared handler, or nullptr while no icon exists.
TTrayIconHandler* TrayIconHandler();
// The registered message "TaskbarCreated" (0 until the first icon is made).
UINT TaskbarCreatedMessage();

class TTrayIconEx : public TComponent {
 public:
  explicit TTrayIconEx(TComponent* AOwner);
  ~TTrayIconEx() override;

  // ---- properties ----
  // Kept for window definitions; it matters only to a visual designer.
  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value) { FDesignPreview = Value; }
  TCustomImageList* IconList() const { return FIconList; }
  void SetIconList(TCustomImageList* Value);
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  UINT CycleInterval() const { return FCycleInterval; }
  void SetCycleInterval(UINT Value);
  // Mouse callbacks are handled only while true (balloon notices always are).
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  // The tooltip; at most its first 127 characters are shown.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  // The picture shown; while it is empty the program's icon (Application->Icon) shows.
  TIcon* Icon() const { return FIcon.get(); }
  // Copies Value (nil empties the icon).
  void SetIcon(TIcon* Value);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  int IconIndex() const { return FIconIndex; }
  void SetIconIndex(int Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  // The left button opens the menu too.
  bool LeftPopup() const { return FLeftPopup; }
  void SetLeftPopup(bool Value) { FLeftPopup = Value; }
  // OnMouseEnter and OnMouseExit, found by polling the pointer every 20 ms.
  bool WantEnterExitEvents() const { return FWantEnterExitEvents; }
  void SetWantEnterExitEvents(bool Value);
  bool MinimizeToTray() const { return FMinimizeToTray; }
  void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }

  // ---- operations ----
  // Shows a balloon (replacing one that shows): the title cut to 63 characters, the text to 255,
  // IconKind a TBalloonHintIcon (0..4; anything else shows no icon), the time-out in seconds
  // (0..255, clamped). Answers the shell's result.
  bool ShowBalloonHint(const std::string& Title, const std::string& Text, int IconKind, int TimeoutSeconds);
  // Removes the balloon that shows.
  void ClearBalloonHint();
  // Restores the application and shows the main window in front.
  void ShowMainForm();
  // Hides the main window (and any taskbar button of the application).
  void SendMainFormToTray();
  void RemoveTaskbarButton();
  // Opens PopupMenu at a screen point, or at the cursor.
  void PopupAtPoint(int X, int Y);
  void PopupAtCursor();
  // Add, delete or modify the icon in the notification area; the shell's result.
  virtual bool AddTrayIcon();
  virtual bool RemoveTrayIcon();
  virtual bool UpdateTrayIcon();
  // A designer's default picture; nothing at run time.
  virtual bool LoadDefaultIcon() { return true; }

  // ---- events ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintShow;
  TNotifyEvent OnBalloonHintHide;
  TNotifyEvent OnBalloonHintTimeout;
  TNotifyEvent OnBalloonHintClick;
  TNotifyEvent OnMinimizeToTray;
  TStartupEvent OnStartup;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // Each raises its event when assigned, with the icon as sender.
  virtual void Click();
  virtual void DblClick();
  virtual void CycleIcon(int NextIndex);
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseEnter();
  virtual void MouseExit();
  // Sends the main window to the tray and shows the icon.
  virtual void DoMinimizeToTray();

 private:
  friend class TTrayIconHandler;
  // A callback of the shell: Event is the mouse message or balloon notice.
  void HandleIconMessage(UINT Event);
  void HandleCycleTimer();
  void HandleClickTimer();
  void HandleExitTimer();
  // The application window's messages (never consumed).
  void HandleAppMessage(TMessage& Message);
  // The owner window's replacement procedure.
  void HandleOwnerMessage(TMessage& Message);
  void HookOwner();
  void UnhookOwner();
  TWinControl* WindowedOwner() const;
  // Fills the icon handle and the tooltip before each shell call.
  void PrepareRecord();
  bool Notify(DWORD Operation);
  // Copies the list's icon at Index into Icon (nothing for an index outside the list).
  void CopyListIcon(int Index);
  void PopupDefaultItem();
  // Whether the icon still exists after running a handler (which may free it).
  static bool IsLive(const TTrayIconEx* Icon);

  bool FDesignPreview = false;
  TCustomImageList* FIconList = nullptr;
  bool FCycleIcons = false;
  UINT FCycleInterval = 0;
  bool FEnabled = true;
  std::string FHint;
  bool FShowHint = true;
  std::unique_ptr<TIcon> FIcon;
  bool FIconVisible = false;
  int FIconIndex = 0;
  TPopupMenu* FPopupMenu = nullptr;
  bool FLeftPopup = false;
  bool FWantEnterExitEvents = false;
  bool FMinimizeToTray = false;

  NOTIFYICONDATAA FData{};
  bool FButtonDown = false;
  bool FClickPending = false;
  bool FDoubleClicked = false;
  TPoint FLastPos;
  bool FPointerOutside = true;
  std::unique_ptr<TSimpleTimer> FCycleTimer;
  std::unique_ptr<TSimpleTimer> FClickTimer;
  std::unique_ptr<TSimpleTimer> FExitTimer;
  bool FFirstWindowMessage = true;
  int FAppHook = 0;
  TWinControl* FHookedOwner = nullptr;
  TWndMethod FSavedOwnerProc;
  UINT FShellVersion = 0;
};
