#pragma once
// The control classes: TControl (anything placed on a form), TWinControl (a control with a
// window of its own, which can hold other controls), TGraphicControl (a control without a
// window, painted by its parent), TCustomControl (a window with a canvas and a Paint method) and
// the canvas of a control.
//
// Messages reach a control through WindowProc (WndProc unless replaced), which routes mouse
// input to graphic children, filters keys for the form and calls Dispatch; Dispatch calls the
// handler of the message's number (the virtual WM.../CM... methods below, overridable) and
// DefaultHandler for the rest. A windowed control's window procedure calls WindowProc; its
// DefaultHandler hands what is left to the window class's procedure (DefWindowProc unless
// CreateParams names another). Exceptions escaping a message go to
// Application->HandleException.
//
// A TWinControl gets its window lazily: when something asks for Handle, or when it is showing
// (visible, inside a form that is shown). Destroying the window keeps the control: its text and
// bounds stay and the next Handle makes a new window (RecreateWnd does both).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/ShiftState.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/ControlMessages.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/Idents.h"
#include "platform/os/Window.h"
#include "platform/rtl/Sets.h"

class TControl;
class TWinControl;
class TCustomForm;
class TDragObject;
class TPopupMenu;

// ---- enumerations and sets ----

// Controls are aligned in this order: top ones from the top down, bottom ones from the bottom
// up, then left, right, and the client control fills what remains.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = TSet<TAlign>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
inline constexpr TAnchors AnchorsDefault{akLeft, akTop};
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TControlStateFlag {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateFlag>;
enum TControlStyleFlag {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = TSet<TControlStyleFlag>;
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TImeMode {
  imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel,
  imHanguel
};
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBorderWidth = int;
using TCaption = std::string;
using TImeName = std::string;

const classes::TEnumInfo& EnumInfo(TAlign);
const classes::TEnumInfo& EnumInfo(TAnchorKind);
const classes::TEnumInfo& EnumInfo(TDragMode);
const classes::TEnumInfo& EnumInfo(TBiDiMode);
const classes::TEnumInfo& EnumInfo(TImeMode);
const classes::TEnumInfo& EnumInfo(TBevelCut);
const classes::TEnumInfo& EnumInfo(TShiftStateFlag);

// The shift state of mouse message key flags (MK_*) and of the keyboard now (GetKeyState).
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyboardStateToShiftState();
// The shift state for a key message (the Alt bit of its key data, the keyboard's Shift and Ctrl).
TShiftState KeyDataToShiftState(LPARAM KeyData);

// ---- events ----

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// Key is the typed character (a code point); setting it to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// ---- message records passed by pointer in lParam ----

class THintWindow;
// Makes a hint window of one kind. A plain function, so that the application can tell whether
// the window it holds is of the kind a hint asks for.
using THintWindowClass = THintWindow* (*)(TComponent* Owner);

// CM_HINTSHOW: the control may change the text, the position, the timing or the kind of window;
// answering nonzero shows no hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  int HintMaxWidth = 0;
  TColor HintColor = 0;
  TRect CursorRect;  // moving the pointer out of it (client coordinates) hides the hint
  TPoint CursorPos;  // client coordinates
  TPoint HintPos;    // screen coordinates of the hint window's top-left corner
  std::string HintStr;
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  void* HintData = nullptr;
  THintWindowClass HintWindowClass = nullptr;  // none: the application's own kind
};
// CM_DRAG: lParam points at one.
struct TDragRec {
  TPoint Pos;  // screen coordinates
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
  bool Docking = false;
};

// ---- drag objects ----

// What is dragged. The default drag object of a control is a TDragControlObject for it.
class TDragObject : public TObject {
 public:
  ~TDragObject() override = default;
  // The cursor while over a target that accepts (or refuses) the drop.
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
  // The source as handlers see it (the control for a control's drag).
  virtual TObject* DragSource() { return this; }
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
  TControl* DragTarget() const { return FDragTarget; }
  TPoint DragPos() const { return FDragPos; }
  bool Cancelling() const { return FCancelling; }
  bool Dropped() const { return FDropped; }

 private:
  friend struct TDragDriver;
  TControl* FDragTarget = nullptr;
  TPoint FDragPos;
  bool FCancelling = false;
  bool FDropped = false;
};

class TDragControlObject : public TDragObject {
 public:
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TObject* DragSource() override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;

 private:
  TControl* FControl;
};

// ---- size constraints ----

class TSizeConstraints : public TPersistent {
 public:
  explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}
  int MaxHeight() const { return FMaxHeight; }
  int MaxWidth() const { return FMaxWidth; }
  int MinHeight() const { return FMinHeight; }
  int MinWidth() const { return FMinWidth; }
  // 0 means no limit. A maximum below the minimum raises the maximum to it (and the reverse).
  void SetMaxHeight(int Value);
  void SetMaxWidth(int Value);
  void SetMinHeight(int Value);
  void SetMinWidth(int Value);
  TControl* Control() const { return FControl; }
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

 private:
  void Change();
  TControl* FControl;
  int FMaxHeight = 0;
  int FMaxWidth = 0;
  int FMinHeight = 0;
  int FMinWidth = 0;
};

// ---- creation parameters ----

struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  // The window class: registered under WinClassName on first use; its lpfnWndProc is the
  // procedure that DefaultHandler hands unhandled messages to.
  WNDCLASS WindowClass;
  std::string WinClassName;
};

// ---- TControl ----

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // The message entry point; replace it to subclass the control (keep the old one and call it).
  TWndMethod WindowProc;
  // Sends a message to the control at once (through WindowProc); returns its result.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

  // ---- parent and position ----
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  // Moves and sizes the control (the size kept within Constraints) and realigns its parent.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // The client area from (0, 0).
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Right; }
  int ClientHeight() { return ClientRect().Bottom; }
  void SetClientWidth(int Value) { SetClientSize({Value, ClientHeight()}); }
  void SetClientHeight(int Value) { SetClientSize({ClientWidth(), Value}); }
  // The screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint Point);
  TPoint ScreenToClient(TPoint Point);
  TPoint ParentToClient(TPoint Point, TWinControl* AParent = nullptr);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);

  // ---- appearance ----
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Makes the control visible, after asking its parents to show it (ShowControl), so a page
  // control brings forward the page the control lies on.
  void Show();
  void Hide();
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  // Whether definitions write Color / Font (not when they come from the parent).
  bool IsColorStored() const { return !FParentColor; }
  bool IsFontStored() const { return !FParentFont; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  // Caption and Text are the same string (WM_SETTEXT / WM_GETTEXT); CM_TEXTCHANGED follows a
  // change.
  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  std::string Text() { return GetText(); }
  void SetText(const std::string& Value);
  int GetTextLen() { return static_cast<int>(GetText().size()); }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  // The menu a right click (or the menu key) opens over this control when the menu pops up
  // by itself (AutoPopup); a control without one lets its parent's menu open.
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool IsRightToLeft() const { return FBiDiMode != bdLeftToRight; }

  // ---- dragging ----
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  // Starts dragging this control: at once, or once the pointer moved Threshold pixels with the
  // left button held (-1: the system's drag distance).
  void BeginDrag(bool Immediate, int Threshold = -1);
  // Ends the drag of this control, dropping on the target under the pointer when Drop.
  void EndDrag(bool Drop);
  bool Dragging() const;

  // ---- repainting ----
  virtual void Invalidate();
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);

  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  // Is the control visible with all its parents, in a form that shows?
  virtual bool Showing() const;
  // The control's client area covers the point (client coordinates), as CM_HITTEST answers.
  bool HitTest(TPoint Point) { return Perform(CM_HITTEST, 0, PointToLParam(Point)) != 0; }

  // ---- messages ----
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // ---- component streaming ----
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;
  void Loaded() override;
  void SetName(const std::string& NewName) override;

  // ---- events ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  // Before a context menu opens: MousePos in client coordinates ((-1, -1) from the keyboard);
  // Handled true keeps the menu closed.
  TContextPopupEvent OnContextPopup;

  // ---- dispatchers (override to react; call the base to keep the events) ----
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  // Fires OnContextPopup.
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);

  // The device context of the control's parent window positioned at the control (a windowed
  // control's own DC); WindowHandle receives the window it belongs to.
  virtual HDC GetDeviceContext(HWND& WindowHandle);
  // Updates the anchoring rules from the current bounds (after a move by the program).
  void UpdateAnchorRules();

 protected:
  virtual std::string GetText();
  void SetClientSize(TPoint Value);
  // Invalidates the control's rectangle in its parent (erasing the background unless the
  // control or what lies above it covers it).
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  // Asks the parent to realign its children.
  virtual void RequestAlign();
  // Limits AWidth / AHeight to Constraints; false when the size must not change.
  virtual bool CheckNewSize(int& AWidth, int& AHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void AdjustSize();
  void SendCancelMode(TControl* Sender);
  // Sets the bounds from the window after the window manager moved it.
  void UpdateBoundsRect(const TRect& R);
  void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
  virtual void VisibleChanging() {}
  virtual void WndProc(TMessage& Message);
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  void OtherButton(TMessage& Message, TMouseButton Button, bool Down, TShiftState Shift);
  void BeginAutoDrag() { BeginDrag(false); }
  bool IsEvent(TControlStyleFlag Flag) const { return !FControlStyle.Contains(Flag); }

  // ---- message handlers ----
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMButtonDblClk(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMParentBiDiModeChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMHintShow(TMessage& Message);
  virtual void CMDrag(TMessage& Message);
  virtual void CMMouseWheel(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TControlState FControlState;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  std::string FText;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentFont = true;
  bool FParentColor = true;

 private:
  friend class TWinControl;
  friend class TCustomForm;
  // Stores a property; a change is announced with Msg and, for a value that may come from the
  // parent, makes it the control's own.
  template <class V>
  void Change(V& Field, V Value, bool* FollowsParent, UINT Msg);
  // Parent flags: turning one on takes the parent's value (Msg asks for it).
  void ChangeParentFlag(bool& Flag, bool Value, UINT Msg);
  void FontChanged();
  void DoConstraintsChange();

  TAlign FAlign = alNone;
  TAnchors FAnchors = AnchorsDefault;
  TPoint FAnchorRules;
  TPoint FOriginalParentSize;
  bool FAnchorMove = false;
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FAutoSize = false;
  std::string FHint;
  TPopupMenu* FPopupMenu = nullptr;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
};

// ---- TWinControl ----

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  // A control whose window lives in a window the program made without a control (ParentWindow).
  ~TWinControl() override;

  // The window, made when missing (EInvalidOperation "Control 'X' has no parent window" for a
  // child control without a parent).
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Destroys the window and makes a new one when the control shows (CM_RECREATEWND).
  void RecreateWnd();
  // Destroys the windows of this control and its children (the control stays).
  void DestroyHandle();
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);

  // ---- children ----
  int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
  // Graphic children first, then windowed ones, each in z-order from the bottom.
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The visible (and enabled unless AllowDisabled) child whose bounds hold the point (client
  // coordinates), topmost first; windowed children only with AllowWinControls.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
  // Sends the message to every child.
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);

  // ---- layout ----
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel != 0; }
  void Realign();
  // Lays out the aligned and anchored children in Rect (the client area): AControl, the child
  // being moved, keeps its place among children of the same alignment.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  TBorderWidth BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(TBorderWidth Value);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void SetZOrder(bool TopMost) override;
  bool Showing() const override { return FShowing; }

  // ---- focus ----
  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  bool Focused() const;
  virtual bool CanFocus();
  virtual void SetFocus();
  // Asked to make AControl (a child, or a control inside one) show: passes the request on to
  // the parent with this control; a container that hides children (pages, panes) overrides it.
  virtual void ShowControl(TControl* AControl);
  // The next control in tab order after CurControl (nullptr: from the start) that can take the
  // focus; CheckTabStop skips controls without TabStop, CheckParent takes only direct children.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();
  // The windowed children and their children in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& List);

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TBrush* Brush() const { return FBrush.get(); }
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  const TImeName& ImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value) { FCtl3D = Value; }
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }

  // Paints the graphic children into DC (the parent's client coordinates), from First on.
  void PaintControls(HDC DC, TControl* First);
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  HDC GetDeviceContext(HWND& WindowHandle) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  void ReadState(TReader* Reader) override;
  void Loaded() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void DoEnter();
  virtual void DoExit();

  // The control that owns a window, or nullptr.
  static TWinControl* FindControl(HWND Wnd);

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  // Paints the window's own picture (DefaultHandler's WM_PAINT with the DC).
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  // WM_PAINT for a control that paints itself (PaintWindow runs even without graphic children).
  void PaintCustom(TMessage& Message);
  // Makes or shows the windows of this control and its children as their visibility says.
  void UpdateShowing();
  void UpdateControlState();
  // Reads the bounds back from the window.
  void UpdateBounds();
  bool DoKeyDown(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  // The form sees the key first when it has KeyPreview; true when it swallowed it.
  bool PreviewedByForm(TMessage& Message, bool (TWinControl::*Handler)(TMessage&));
  bool DoKeyEvent(TMessage& Message, bool (TWinControl::*Preview)(TMessage&),
                  void (TWinControl::*Event)(WORD&, TShiftState));
  void RemoveFocus(bool Removing);
  void FixupTabList();
  void UpdateTabOrder(int Value);
  // The window of the next windowed sibling above Control (for z-order), HWND_TOP when none.
  HWND PrecedingWindow(TWinControl* Control) const;
  bool IsControlMouseMsg(TMessage& Message);
  void WndProc(TMessage& Message) override;
  void MainWndProc(TMessage& Message);
  void CreateSubClass(TCreateParams& Params, const std::string& ControlClassName);
  // Lays out the children now, or once alignment is enabled again (or loading ends).
  void AlignControl(TControl* AControl);
  bool IsDestroyingHandle() const { return FControlState.Contains(csDestroyingHandle); }

  // ---- message handlers ----
  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  // Paints the client area into the DC in wParam as a WM_PAINT with that DC does (the control
  // and its graphic children); with PRF_CHECKVISIBLE only when the control is visible.
  virtual void WMPrintClient(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMSysKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMNCCalcSize(TMessage& Message);
  virtual void WMNCPaint(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  virtual void WMSysColorChange(TMessage& Message);
  virtual void WMCommandReflect(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNChar(TMessage& Message);
  virtual void CNSysChar(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMChildKey(TMessage& Message);
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMFocusChanged(TMessage& Message);
  virtual void CMShowingChanged(TMessage& Message);
  virtual void CMRecreateWnd(TMessage& Message);
  virtual void CMInvalidate(TMessage& Message);
  virtual void CMShowHintChanged(TMessage& Message);
  virtual void CMBorderChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMSysColorChange(TMessage& Message) override;
  void WMWindowPosChanged(TMessage& Message) override;

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc;
  bool FShowing = false;

 private:
  friend class TControl;
  friend class TCustomForm;
  friend struct TWindowBinder;
  void Insert(TControl* AControl);
  void Remove(TControl* AControl);

  std::vector<TControl*> FControls;     // graphic children, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
  std::vector<TWinControl*> FTabList;
  WNDPROC FObjectInstance;
  HWND FParentWindow = nullptr;
  int FAlignLevel = 0;
  int FTabOrder = -1;
  bool FTabStop = false;
  TBorderWidth FBorderWidth = 0;
  bool FDoubleBuffered = false;
  std::unique_ptr<TBrush> FBrush;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
};

// ---- canvases ----

// A canvas that draws on a control: its window's DC for a windowed control, the parent's DC
// clipped to the control for a graphic one. The DC is taken when first drawn with and given
// back after the message being handled (or by FreeHandle).
class TControlCanvas : public TCanvas {
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  void FreeHandle();
  void UpdateTextFlags();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

namespace controls {
// Gives back the DCs control canvases took while handling a message.
void FreeDeviceContexts();

// Hands a DC to a canvas for the length of a paint call.
class TCanvasPaint {
 public:
  TCanvasPaint(TCanvas& Canvas, HDC DC);
  ~TCanvasPaint();
  TCanvasPaint(const TCanvasPaint&) = delete;
  TCanvasPaint& operator=(const TCanvasPaint&) = delete;

 private:
  TCanvas& FCanvas;
};
}  // namespace controls

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  virtual void WMPaint(TMessage& Message);

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void WMPaint(TMessage& Message) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- free routines ----

// The form a control sits on (its top-most parent when that is a form), else nullptr.
TCustomForm* GetParentForm(TControl* Control);
// The same; raises EInvalidOperation "Control 'X' has no parent window" when there is none.
TCustomForm* ValidParentForm(TControl* Control);
// The control of the window at a screen point (a graphic child when one is there).
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
// The windowed control of the window at a screen point, or of the nearest parent window.
TWinControl* FindVCLWindow(TPoint Pos);
TWinControl* FindControl(HWND Wnd);
// The control holding the mouse capture (a graphic control's capture is held by its parent's
// window), and setting it.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// Cancels the drag in progress, if any.
void CancelDrag();
// True when Key, pressed with Alt or as a plain letter, is the accelerator ("&x") of Caption.
bool IsAccel(UINT Key, const std::string& Caption);
// The part of a hint before "|" / after it (the whole hint when there is none).
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

namespace controls {
// The control the pointer is over, as CM_MOUSEENTER / CM_MOUSELEAVE last told; moves to the
// control at Screen (nullptr: none), sending the leave and enter notifications.
TControl* MouseControl();
void UpdateMouseControl(TPoint Screen);
}  // namespace controls
