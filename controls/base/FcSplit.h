#pragma once
// The splitter: a framed panel divided into two panes (side by side or one above the other)
// by a bar the user drags. The bar's place is kept in pixels from the upper-left edge and,
// optionally, as a percentage of the splitter; margins keep it from the edges, one pane may keep
// its size when the splitter is resized, a pane may be hidden (the other then has the whole
// area), and a hot spot on the bar collapses a pane with one click and restores it with the
// next. Dragging moves the panes at once (RealTimeDrag) or shows an inverted ghost bar until the
// button is released; Esc gives the drag up.
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/base/FcPanel.h"
#include "platform/os/Cursors.h"

enum TFixedPane { fpUpperLeft, fpLowerRight };
enum TSelectedPane { spUpperLeft, spLowerRight };
enum TSplitterStyle { ssStandard, ssGroove, ssBump, ssGroupBar };
enum THotSpotDirection { hsdMin, hsdMax, hsdBoth };
enum TFcGroupBarGradientPath { gpTopToBottom, gpBottomToTop };

const classes::TEnumInfo& EnumInfo(TFixedPane);
const classes::TEnumInfo& EnumInfo(TSelectedPane);
const classes::TEnumInfo& EnumInfo(TSplitterStyle);
const classes::TEnumInfo& EnumInfo(THotSpotDirection);
const classes::TEnumInfo& EnumInfo(TFcGroupBarGradientPath);

// Asked before the bar moves to NewPos; clearing AllowChange keeps it where it is.
using TPositionChangingEvent = std::function<void(TObject* Sender, int NewPos, bool& AllowChange)>;

class TFcSplitter;

// One of the two panes. The splitter makes, places and frees it; the pane lets the mouse
// through to the splitter where it has no child.
class TFcSplitterPane : public TFcCustomPanel {
 public:
  explicit TFcSplitterPane(TComponent* AOwner);
  TFcSplitter* Splitter() const { return FSplitter; }

 protected:
  void WndProc(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 private:
  friend class TFcSplitter;
  TFcSplitter* FSplitter = nullptr;
};

// The look of one pane as the splitter publishes it (UpperLeft, LowerRight): every property
// reads and writes the pane's own.
class TFcPaneData : public TPersistent {
 public:
  explicit TFcPaneData(TFcSplitterPane* Pane) : FPane(Pane) {}
  TFcSplitterPane* Pane() const { return FPane; }

  TColor BorderColor() const { return FPane->BorderColor(); }
  void SetBorderColor(TColor Value) { FPane->SetBorderColor(Value); }
  TFrameStyleEx BorderInner() const { return FPane->BorderInner(); }
  void SetBorderInner(TFrameStyleEx Value) { FPane->SetBorderInner(Value); }
  TFrameStyleEx BorderOuter() const { return FPane->BorderOuter(); }
  void SetBorderOuter(TFrameStyleEx Value) { FPane->SetBorderOuter(Value); }
  int BorderWidth() const { return FPane->BorderWidth(); }
  void SetBorderWidth(int Value) { FPane->SetBorderWidth(Value); }
  TColor Color() const { return FPane->Color(); }
  void SetColor(TColor Value) { FPane->SetColor(Value); }
  bool IsColorStored() const { return FPane->IsColorStored(); }
  TColor FlatColor() const { return FPane->FlatColor(); }
  void SetFlatColor(TColor Value) { FPane->SetFlatColor(Value); }
  int FlatColorAdjustment() const { return FPane->FlatColorAdjustment(); }
  void SetFlatColorAdjustment(int Value) { FPane->SetFlatColorAdjustment(Value); }
  bool DockSite() const { return FPane->DockSite(); }
  void SetDockSite(bool Value) { FPane->SetDockSite(Value); }
  bool ShowDockClientCaptions() const { return FPane->ShowDockClientCaptions(); }
  void SetShowDockClientCaptions(bool Value) { FPane->SetShowDockClientCaptions(Value); }
  bool GetVisible() const { return FPane->Visible(); }
  // Hiding a pane gives the whole area to the other one.
  void SetVisible(bool Value) { FPane->SetVisible(Value); }

  void Assign(TPersistent* Source) override;

 private:
  TFcSplitterPane* FPane;
};

class TFcSplitter : public TFcCustomPanel {
 public:
  explicit TFcSplitter(TComponent* AOwner);
  ~TFcSplitter() override;

  TOrientation Orientation() const { return FOrientation; }
  virtual void SetOrientation(TOrientation Value);
  // Pixels from the upper-left edge of the client area to the bar.
  int Position() const { return FPosition; }
  virtual void SetPosition(int Value);
  // Sets Position when it differs and remembers it as the user's choice.
  virtual void SetPositionByUser(int Value);
  int Percent() const { return FPercent; }
  virtual void SetPercent(int Value);
  bool UsePercent() const { return FUsePercent; }
  virtual void SetUsePercent(bool Value);
  int PercentMin() const { return FPercentMin; }
  virtual void SetPercentMin(int Value);
  int PercentMax() const { return FPercentMax; }
  virtual void SetPercentMax(int Value);
  int MarginMin() const { return FMarginMin; }
  virtual void SetMarginMin(int Value);
  int MarginMax() const { return FMarginMax; }
  virtual void SetMarginMax(int Value);
  TFixedPane FixedPane() const { return FFixedPane; }
  virtual void SetFixedPane(TFixedPane Value);
  TSelectedPane SelectedPane() const { return FSelectedPane; }
  virtual void SetSelectedPane(TSelectedPane Value);
  // The pane SelectedPane names.
  virtual TFcSplitterPane* SelectedPaneControl() const;
  TSplitterStyle SplitterStyle() const { return FSplitterStyle; }
  virtual void SetSplitterStyle(TSplitterStyle Value);
  uint16_t SplitterWidth() const { return FSplitterWidth; }
  virtual void SetSplitterWidth(uint16_t Value);
  bool RealTimeDrag() const { return FRealTimeDrag; }
  void SetRealTimeDrag(bool Value) { FRealTimeDrag = Value; }
  bool LockBar() const { return FLockBar; }
  void SetLockBar(bool Value) { FLockBar = Value; }
  bool HotSpotVisible() const { return FHotSpotVisible; }
  virtual void SetHotSpotVisible(bool Value);
  TColor HotSpotColor() const { return FHotSpotColor; }
  void SetHotSpotColor(TColor Value) { Repaint(FHotSpotColor, Value); }
  TColor HotSpotDotColor() const { return FHotSpotDotColor; }
  void SetHotSpotDotColor(TColor Value) { Repaint(FHotSpotDotColor, Value); }
  TColor HotSpotFrameColor() const { return FHotSpotFrameColor; }
  void SetHotSpotFrameColor(TColor Value) { Repaint(FHotSpotFrameColor, Value); }
  TColor HotSpotHighlight() const { return FHotSpotHighlight; }
  virtual void SetHotSpotHighlight(TColor Value) { Repaint(FHotSpotHighlight, Value); }
  THotSpotDirection HotSpotDirection() const { return FHotSpotDirection; }
  virtual void SetHotSpotDirection(THotSpotDirection Value) { Repaint(FHotSpotDirection, Value); }
  bool HotSpotIgnoreMargins() const { return FHotSpotIgnoreMargins; }
  void SetHotSpotIgnoreMargins(bool Value) { FHotSpotIgnoreMargins = Value; }
  int HotSpotSizePercent() const { return FHotSpotSizePercent; }
  virtual void SetHotSpotSizePercent(int Value);
  int GradientColorAdjustment() const { return FGradientColorAdjustment; }
  virtual void SetGradientColorAdjustment(int Value) { Repaint(FGradientColorAdjustment, Value); }
  TFcGroupBarGradientPath GradientPath() const { return FGradientPath; }
  virtual void SetGradientPath(TFcGroupBarGradientPath Value) { Repaint(FGradientPath, Value); }

  // The panes' looks; Index 1 is the upper-left pane, 2 the lower-right one.
  virtual TFcPaneData* GetPaneData(int Index) const;
  virtual void SetPaneData(int Index, TFcPaneData* Value);
  TFcPaneData* UpperLeft() const { return GetPaneData(1); }
  void SetUpperLeft(TFcPaneData* Value) { SetPaneData(1, Value); }
  TFcPaneData* LowerRight() const { return GetPaneData(2); }
  void SetLowerRight(TFcPaneData* Value) { SetPaneData(2, Value); }
  TFcSplitterPane* UpperLeftPane() const { return FPanes[0]; }
  TFcSplitterPane* LowerRightPane() const { return FPanes[1]; }

  // Passed on to both panes as well.
  void SetParentColor(bool Value);
  void SetTransparent(bool Value) override;

  // The bar and the hot spot (client coordinates).
  TRect BarBounds() const { return FBarBounds; }
  TRect HotSpotBounds() const { return FHotSpotBounds; }
  // A pane is collapsed by the hot spot, toward the upper-left (Min) or lower-right (Max) edge.
  bool HotSpotClosed() const { return FHotSpotClosed; }
  bool HotSpotClosedToMin() const { return FHotSpotClosedToMin; }
  bool HotSpotClosedToMax() const { return FHotSpotClosedToMax; }
  // Where the bar goes back to when the collapsed pane is restored.
  int HotSpotPosition() const { return FHotSpotPosition; }
  bool Dragging() const { return FDragging; }

  // Keeps Position between the margins (not while collapsed when the hot spot ignores them)
  // and inside the client area; never below 0.
  virtual void CalcPaneSpace(int& Position);
  // Places the panes and the bar for Position.
  virtual void LayoutPanes();

  void ShowControl(TControl* AControl) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

  TNotifyEvent OnChange;
  TPositionChangingEvent OnChanging;
  TNotifyEvent OnHotSpotClick;

  // Raised while any splitter finishes loading.
  static int SplittersLoading;

 protected:
  // Stores FixedPaneSize: Position, or the axis length less Position for a fixed lower-right pane.
  virtual void GetEffectivePosition();
  // The frames' and border's width on the side where the bar's coordinates begin.
  virtual int GetBarFrameWidth();
  // Inverts a bar-sized rectangle at Position along the axis (twice erases it).
  virtual void DrawGhostBar(int Position);
  virtual void CalcHotSpotRect();
  // Highlights the hot spot when the pointer enters it, draws it plain when it leaves.
  virtual void TrackHotSpot();
  // Draws the hot spot, highlighted or not; MousePoint (client) tells which half for hsdBoth.
  virtual void DrawSplitterBar(bool Highlighted, TPoint MousePoint);
  virtual void DrawBarStyle();
  virtual void RememberManualPosition(int Position);
  virtual void ResetHotSpotState();

  void Paint() override;
  void Loaded() override;
  void Resize() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void DefineProperties(TFiler* Filer) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void CreateParams(TCreateParams& Params) override;
  void WMSetCursor(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void CMChildKey(TMessage& Message) override;
  // A drag that loses the mouse ends as if Esc was pressed.
  void WMCancelMode(TMessage& Message) override;

 private:
  friend class TFcSplitterPane;
  template <class V>
  void Repaint(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  bool Loading() const { return (ComponentState() & csLoading) != 0; }
  bool BothVisible() const;
  // The splitter's length along the axis the bar moves on (Width or Height).
  int AxisLength() const;
  // The axis length less half the bar: what percentages are taken of.
  int PercentBase() const;
  bool InHotSpot(TPoint P) const;
  void PaneVisibilityChanged();
  // Ends a drag without moving the bar (Esc, a lost mouse).
  void AbandonDrag();
  void BeginGhost();
  void EndGhost();
  // Draws on the window outside of painting (hot-spot tracking).
  void DrawOnWindow(const std::function<void()>& Draw);
  HCURSOR BarCursor(bool OverHotSpot) const;

  TFcSplitterPane* FPanes[2] = {nullptr, nullptr};
  std::unique_ptr<TFcPaneData> FPaneData[2];
  std::vector<std::string> FPaneNames[2];
  TOrientation FOrientation = orHorizontal;
  int FPosition = 100;
  int FPercent = 50;
  bool FUsePercent = false;
  int FPercentMin = 0;
  int FPercentMax = 100;
  int FMarginMin = 0;
  int FMarginMax = 0;
  TFixedPane FFixedPane = fpUpperLeft;
  TSelectedPane FSelectedPane = spUpperLeft;
  TSplitterStyle FSplitterStyle = ssStandard;
  uint16_t FSplitterWidth = 4;
  bool FRealTimeDrag = false;
  bool FLockBar = false;
  bool FHotSpotVisible = false;
  TColor FHotSpotColor = clBtnFace;
  TColor FHotSpotDotColor = clHighlight;
  TColor FHotSpotFrameColor = clBtnShadow;
  TColor FHotSpotHighlight = clWindow;
  THotSpotDirection FHotSpotDirection = hsdMin;
  bool FHotSpotIgnoreMargins = true;
  int FHotSpotSizePercent = 40;
  int FGradientColorAdjustment = 30;
  TFcGroupBarGradientPath FGradientPath = gpTopToBottom;

  TRect FBarBounds;
  TRect FHotSpotBounds;
  bool FHotSpotClosed = false;
  bool FHotSpotClosedToMin = false;
  bool FHotSpotClosedToMax = false;
  int FHotSpotPosition = 100;
  int FUserPosition = 0;
  int FFixedPaneSize = 0;
  bool FDragging = false;
  bool FHotSpotPressed = false;
  int FDragStartPosition = 0;
  int FDragPosition = 0;
  int FDragOffset = 0;
  bool FPointerOutsideHotSpot = true;
  bool FHotSpotNeedsTracking = false;
  bool FInResize = false;
  bool FInLayout = false;
  HCURSOR FCursors[4] = {nullptr, nullptr, nullptr, nullptr};
  HBRUSH FGhostBrush = nullptr;
};
