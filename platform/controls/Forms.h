#pragma once
// Forms, the application object and the screen.
//
// TCustomForm / TForm: a top-level window holding controls. A form is made hidden; Show (or
// Visible) shows it where Position says, ShowModal runs a nested message loop until
// ModalResult is set, Close asks OnCloseQuery and OnClose what to do. A form class with a
// definition (resources/forms/<ClassName>.txt) reads it once fully constructed: make forms with
// Application->CreateForm or MakeForm<T>, which read the definition and then run OnCreate.
//
// TApplication: the message loop of the GUI thread, idle processing, the main form (the first
// form CreateForm makes: closing it ends Run), keyboard routing to controls (CN_KEYDOWN...,
// dialog keys), hints (shown HintPause ms after the pointer rests on a control with ShowHint,
// hidden after HintHidePause or when the pointer leaves) and the handler for exceptions that
// nothing else caught.
//
// TScreen (the global Screen): the screen's size and work area, the forms and the active form
// and control, cursors, fonts and monitors.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Icon.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"

class TApplication;
class TScreen;
class THintWindow;

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
// A hook on the application window's messages; answering true stops the message there.
using TWindowHook = std::function<bool(TMessage& Message)>;
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// ---- forms ----

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
  poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateFlag>;
const classes::TEnumInfo& EnumInfo(TFormBorderStyle);
const classes::TEnumInfo& EnumInfo(TBorderIcon);
const classes::TEnumInfo& EnumInfo(TPosition);
const classes::TEnumInfo& EnumInfo(TFormStyle);
const classes::TEnumInfo& EnumInfo(TWindowState);

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// A key-down message before any control sees it (menu shortcuts); Handled stops it.
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;

class TCustomForm : public TWinControl {
 public:
  // Makes the form without reading a definition (the platform's CreateNew).
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Reads the definitions of the form's classes (base classes first), then runs OnCreate.
  // CreateForm and MakeForm call it once the form is constructed. A registered form class
  // without a definition raises EResNotFound.
  virtual void AfterConstruction();
  // Runs OnDestroy (once) while the whole form still exists; whoever frees a form should call
  // it first (Release, the application and the form's owner do).
  void BeforeDestruction();

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TWinControl* ActiveControl() const { return FActiveControl; }
  // EInvalidOperation "Cannot focus a disabled or invisible window" for a control that cannot
  // take the focus.
  void SetActiveControl(TWinControl* Control);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TFormState FormState() const { return FFormState; }
  bool Active() const { return FActive; }
  TCanvas* Canvas() const { return FCanvas.get(); }
  // Stored for the definitions; the layer always draws at 96 pixels per inch.
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int Value) { FTextHeight = Value; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value) { FAutoScroll = Value; }
  // The form's own icon; while it is empty the window shows the application's (WM_GETICON).
  TIcon* Icon() const { return FIcon.get(); }
  // Copies Value (nil empties the icon).
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }

  void Show();
  void Hide() { SetVisible(false); }
  // Closes the form as OnCloseQuery and OnClose decide (a modal form sets ModalResult to
  // mrCancel instead); closing the main form ends the application.
  void Close();
  virtual bool CloseQuery();
  // Shows the form modally: the other windows are disabled while a nested loop runs until
  // ModalResult is set (and CloseQuery allows), then the form is hidden and the result
  // returned. EInvalidOperation "Cannot make a visible window modal" for a shown form.
  virtual int ShowModal();
  // Frees the form once the messages being handled are done.
  void Release();
  void FocusControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  // Called when a control of the form takes the focus: CM_EXIT / CM_ENTER down the tree,
  // CM_FOCUSCHANGED; false when the focus moved elsewhere meanwhile.
  bool SetFocusedControl(TWinControl* Control);
  virtual bool WantChildKey(TControl* Child, TMessage& Message);
  virtual bool IsShortCut(TMessage& Message);
  void SendCancelMode(TControl* Sender);
  void SetFocus() override;
  bool CanFocus() override;
  bool Showing() const override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

  void Dispatch(TMessage& Message) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Loaded() override;
  // While the definition is read the client size is kept and applied once loading ends.
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(HDC DC) override;
  void CloseModal();
  void SetActive(bool Value);
  // Gives the window focus to the active control (the form itself when there is none).
  void SetWindowFocus();

  virtual void WMClose(TMessage& Message);
  virtual void WMActivate(TMessage& Message);
  virtual void WMSysCommand(TMessage& Message);
  virtual void WMQueryEndSession(TMessage& Message);
  virtual void CMActivate(TMessage& Message);
  virtual void CMDeactivate(TMessage& Message);
  virtual void CMRelease(TMessage& Message);
  void WMPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;

 private:
  friend class TApplication;
  friend class TScreen;
  void PlaceOnShow();
  // Applies the window styles of BorderStyle, BorderIcons and FormStyle to the window there is.
  void UpdateFrame();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TFormStyle FFormStyle = fsNormal;
  TWindowState FWindowState = wsNormal;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FKeyPreview = false;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  bool FActive = false;
  bool FDestroyed = false;
  bool FReleasePosted = false;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TIcon> FIcon = std::make_unique<TIcon>();
  int FPixelsPerInch = 96;
  int FTextHeight = 13;
  bool FScaled = true;
  bool FOldCreateOrder = false;
  bool FAutoScroll = false;
  int FClientWidth = 0;
  int FClientHeight = 0;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* AOwner);
};

// Makes a form of class T: constructs it, reads its definition, runs OnCreate. On an exception
// the form is freed and the exception passed on.
template <class T>
T* MakeForm(TComponent* AOwner) {
  T* form = new T(AOwner);
  try {
    form->AfterConstruction();
  } catch (...) {
    form->BeforeDestruction();
    delete form;
    throw;
  }
  return form;
}

// ---- the hint window ----

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows Hint in Rect (screen coordinates; moved to stay on the screen) without activating.
  virtual void ActivateHint(TRect Rect, const std::string& AHint);
  virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
  // The size the hint needs, wrapped at MaxWidth, as a rectangle from (0, 0).
  virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  // Hides the hint and destroys its window.
  void ReleaseHandle();
  // Messages that end a hint (keys, clicks, activation).
  virtual bool IsHintMsg(const MSG& Msg);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
};

// ---- the application ----

class TApplication : public TComponent {
 public:
  // The first application made becomes the global Application (and makes the Screen).
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // Shows the main form (unless ShowMainForm is false) and handles messages until Terminated;
  // an exception escaping a message goes to HandleException.
  void Run();
  // Handles every message that is there now, then returns (no idle processing, no waiting).
  void ProcessMessages();
  // Handles one message, or when there is none, runs the idle processing and waits for one.
  void HandleMessage();
  // Takes one message off the queue and dispatches it; false when there was none. WM_QUIT
  // marks the application terminated.
  bool ProcessMessage(MSG& Msg);
  // Idle processing once: the control under the pointer, the hint, OnIdle; returns its Done
  // (true unless the handler wants more calls).
  bool DoIdle();
  // Asks the loop to end (posts the quit request); Terminated turns true when it is handled.
  void Terminate();
  bool Terminated() const { return FTerminate; }

  // Makes a form of class T owned by the application (the first becomes the main form),
  // reads its definition and runs OnCreate; Reference receives it.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = nullptr;
    T* form = MakeForm<T>(this);
    Reference = form;
    FormCreated(form);
  }
  TCustomForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }
  // Minimizes the main form (OnMinimize), restores it (OnRestore).
  void Minimize();
  void Restore();
  bool Minimized() const { return FMinimized; }
  // Brings the active form (else the main form) to the front.
  void BringToFront();
  bool Active() const { return FActive; }
  // Hooks see the application window's messages first; the number given back unhooks.
  int HookMainWindow(TWindowHook Hook);
  void UnhookMainWindow(int HookId);

  // ---- hints ----
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  // The long hint of the control under the pointer; a change raises OnHint.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  void CancelHint();
  // Forms whose Release is pending (freed by the application window's CM_RELEASE).
  void ReleaseForm(TCustomForm* Form);
  // Shows the hint of the control under CursorPos (screen) now.
  void ActivateHint(TPoint CursorPos);
  // Called by controls for their mouse moves: starts the hint pause or cancels the hint.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  THintWindow* HintWindow() const { return FHintWindow; }
  // Makes the hint window (THintWindow unless replaced).
  std::function<THintWindow*(TComponent* Owner)> HintWindowClass;
  // Forgets a control that is being destroyed.
  void ControlDestroyed(TControl* Control);

  // Handles the exception being caught (call from a catch block): EAbort is silent; otherwise
  // OnException when assigned, else ShowException.
  void HandleException(TObject* Sender);
  // Writes the message to standard error (message boxes are not part of this layer).
  void ShowException(const Exception& E);
  // A message box (Dialogs.h) owned by the active form; answers IDOK, IDCANCEL, IDYES...
  int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = MB_OK);

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // The program's icon: the icon resource "MAINICON" when the program has one, else empty.
  // Forms without an icon of their own show it, and so does a tray icon without a picture.
  TIcon* Icon() const { return FIcon.get(); }
  // Copies Value (nil empties the icon).
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
  // The executable's full path.
  std::string ExeName() const;
  // The application's hidden window.
  HWND Handle() const { return FHandle; }

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TCustomForm;
  void WndProc(TMessage& Message);
  void FormCreated(TCustomForm* Form);
  bool IsKeyMsg(MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  void StartHintTimer(int Pause, bool Show);
  void StopHintTimer();
  void HintTimerExpired();
  void HideHint();

  bool FTerminate = false;
  std::string FTitle;
  std::unique_ptr<TIcon> FIcon = std::make_unique<TIcon>();
  HWND FHandle = nullptr;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FMinimized = false;
  bool FActive = false;
  std::vector<std::pair<int, TWindowHook>> FWindowHooks;
  int FNextHookId = 1;
  bool FShowHint = true;
  bool FHintActive = false;
  TColor FHintColor = clInfoBk;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  std::string FHint;
  TControl* FHintControl = nullptr;
  TRect FHintCursorRect;
  THintWindow* FHintWindow = nullptr;
  THintWindowClass FHintWindowKind = nullptr;  // the kind FHintWindow was made as
  bool FHintTimerShows = false;
  bool FHintTimerRunning = false;
  bool FOwnsScreen = false;
  std::vector<TCustomForm*> FReleased;
};

extern TApplication* Application;

// ---- the screen ----

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TMonitor : public TObject {
 public:
  TMonitor(HMONITOR Handle, int Num) : FHandle(Handle), FNum(Num) {}
  HMONITOR Handle() const { return FHandle; }
  int MonitorNum() const { return FNum; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  int Left() const { return BoundsRect().Left; }
  int Top() const { return BoundsRect().Top; }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }
  bool Primary() const;

 private:
  HMONITOR FHandle;
  int FNum;
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int Width() const;
  int Height() const;
  TRect DesktopRect() const;
  int DesktopLeft() const { return DesktopRect().Left; }
  int DesktopTop() const { return DesktopRect().Top; }
  int DesktopWidth() const { return DesktopRect().Width(); }
  int DesktopHeight() const { return DesktopRect().Height(); }
  // The primary monitor's work area (without the task bar).
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int PixelsPerInch() const { return 96; }

  TForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  TCustomForm* FocusedForm() const { return FFocusedForm; }
  // The forms, the most recently active first.
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TForm* Forms(int Index) const;
  int CustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
  TCustomForm* CustomForms(int Index) const;

  // The cursor shown over every window of the program (crDefault: each control's own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor handle of a cursor number: the standard ones for crArrow..crHandPoint (crDefault
  // is the arrow), those a program registered with SetCursors.
  HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, HCURSOR Handle);

  // The font families of the machine, sorted.
  TStrings* Fonts();
  TFont* HintFont() const { return FHintFont.get(); }
  TFont* MenuFont() const { return FMenuFont.get(); }
  TFont* IconFont() const { return FIconFont.get(); }

  int MonitorCount();
  TMonitor* Monitors(int Index);
  TMonitor* MonitorFromWindow(HWND Wnd, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default = mdNearest);

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

 private:
  friend class TCustomForm;
  friend class TForm;
  friend class TApplication;
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void ControlDestroyed(TControl* Control);
  TMonitor* MonitorOf(HMONITOR Handle);
  void UpdateMonitors();

  std::vector<TForm*> FForms;
  std::vector<TCustomForm*> FCustomForms;
  std::vector<TCustomForm*> FSaveFocusedList;
  TForm* FActiveForm = nullptr;
  TCustomForm* FActiveCustomForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  TCursor FCursor = crDefault;
  int FCursorCount = 0;
  std::vector<std::pair<TCursor, HCURSOR>> FCursors;
  std::unique_ptr<TStringList> FFonts;
  std::unique_ptr<TFont> FHintFont;
  std::unique_ptr<TFont> FMenuFont;
  std::unique_ptr<TFont> FIconFont;
  std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

extern TScreen* Screen;
