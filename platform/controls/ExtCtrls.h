#pragma once
// TTimer: a component that calls OnTimer every Interval milliseconds through a hidden window.
// It publishes Enabled, Interval and OnTimer, so window definitions can hold timers.
//
// The plain controls of the classic desktop: TPanel (a container with bevels and a caption),
// TBevel (a sunken or raised box or line), TShape (a figure drawn with a pen and a brush),
// TImage (a picture), TPaintBox (an area the program paints in OnPaint) and TSplitter (a bar
// that the user drags to resize the aligned control beside it).
#include <functional>
#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/classes/Component.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphic.h"
#include "platform/os/Window.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  // Enabling a disabled timer starts a new period: the next tick is one Interval away. Setting
  // the value it already has changes nothing, so a running timer keeps its rhythm.
  void SetEnabled(bool Value);
  UINT Interval() const { return FInterval; }
  // A new value restarts the period; 0 stops the ticks (Enabled keeps its value).
  void SetInterval(UINT Value);

  // Called on each tick unless the previous call has not returned yet (a nested message loop
  // inside the handler does not call it again). An exception escaping it goes to
  // Application->HandleException.
  TNotifyEvent OnTimer;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& Message);

  bool FEnabled = true;
  UINT FInterval = 1000;
  HWND FWindowHandle = nullptr;
  bool FInTimer = false;
  // Cleared by the destructor, so a handler that frees its own timer is noticed.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

namespace controls {
// A brush of alternating pixels (a checkerboard) in the text and background colours of the
// DC it fills in: the ghost bar of a splitter, the down face of a group button.
HBRUSH CreateCheckerBrush();
// Inverts R (Control's client coordinates) with PATINVERT through Brush on Control and on every
// window inside it, so a ghost line shows over the windowed controls it crosses; doing it twice
// erases it.
void InvertTree(TWinControl* Control, const TRect& R, HBRUSH Brush);
}  // namespace controls

// Draws a Width-pixel frame just inside Rect, TopColor on the left and top, BottomColor on the
// right and bottom, and shrinks Rect to what is left inside.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---- panel ----

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  int BevelWidth() const { return FBevelWidth; }
  // At least 1.
  void SetBevelWidth(int Value);
  // bsSingle adds a thin border (a sunken client edge with Ctl3D); other values mean none.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Resizing repaints the whole panel (else only the strips of the frame that moved).
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  bool Locked() const { return FLocked; }
  void SetLocked(bool Value) { FLocked = Value; }
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool Value) { FParentBackground = Value; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  // The children are aligned inside the bevels.
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;
  void WMWindowPosChanged(TMessage& Message) override;
  // The pixels the bevels take on each side.
  int BevelSize() const;

 private:
  void FrameChanged();
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
  bool FLocked = false;
  bool FParentBackground = true;
  TSize FOldSize;
};

class TPanel : public TCustomPanel {
 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---- bevel ----

enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
const classes::TEnumInfo& EnumInfo(TBevelStyle);
const classes::TEnumInfo& EnumInfo(TBevelShape);

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

 protected:
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ---- shape ----

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
const classes::TEnumInfo& EnumInfo(TShapeType);

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* AOwner);
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

 protected:
  void Paint() override;

 private:
  TShapeType FShape = stRectangle;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
};

// ---- image ----

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  // The canvas of the picture's bitmap (an empty picture becomes a bitmap of the control's
  // size); EInvalidOperation "Can only modify an image if it contains a bitmap" for another
  // kind of graphic.
  TCanvas* Canvas();
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  // Shrinks a picture bigger than the control (and with Stretch scales it) keeping its aspect.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect();
  TNotifyEvent OnProgress;

 protected:
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void Paint() override;

 private:
  void PictureChanged();
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FDrawing = false;
};

// ---- paint box ----

class TPaintBox : public TGraphicControl {
 public:
  explicit TPaintBox(TComponent* AOwner);
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
};

// ---- splitter ----

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
const classes::TEnumInfo& EnumInfo(TResizeStyle);
// NewSize may be changed; Accept false refuses the size.
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* AOwner);
  ~TSplitter() override;

  // The smallest size the resized control may take (a drag below it snaps the control to 0
  // with AutoSnap).
  int MinSize() const { return FMinSize; }
  void SetMinSize(int Value);
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
  bool AutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool Value) { FAutoSnap = Value; }
  bool Beveled() const { return FBeveled; }
  void SetBeveled(bool Value);
  // The control a drag resizes: the visible sibling with the same alignment that touches the
  // splitter on the side it is aligned to (nullptr when none).
  TControl* FindControl();

  TCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved;
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
  void RequestAlign() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMCancelMode(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanResize(int& NewSize);
  virtual void Moved();

 private:
  bool Vertical() const { return Align() == alLeft || Align() == alRight; }
  // The size the drag to (X, Y) gives the control and the bar's offset from its place.
  void CalcSplitSize(int X, int Y, int& NewSize, int& Split);
  void UpdateSize(int X, int Y);
  void UpdateControlSize();
  void AllocateLineDC();
  void ReleaseLineDC();
  // Inverts the ghost bar at the drag's place (twice restores the picture).
  void DrawLine();
  void StopSizing();
  // Escape on the focused control ends a drag without resizing.
  void FocusKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

  TWinControl* FActiveControl = nullptr;
  TKeyEvent FOldKeyDown;
  int FMinSize = 30;
  int FMaxSize = 0;
  TResizeStyle FResizeStyle = rsPattern;
  bool FAutoSnap = true;
  bool FBeveled = false;
  TControl* FControl = nullptr;
  TPoint FDownPos;
  int FNewSize = 0;
  int FOldSize = -1;
  int FSplit = 0;
  HBRUSH FBrush = nullptr;  // the ghost bar's, while a drag shows one
  bool FLineVisible = false;
};
