#pragma once
// TScrollBar: a scroll bar as a control of its own. The user scrolls it with the arrows (one
// SmallChange, repeating while held: after 200 ms, then every 50 ms), by clicking the shaft
// beside the thumb (one LargeChange, repeating the same way while the thumb has not reached
// the pointer), by dragging the thumb, and from the keyboard (arrows, Page Up / Page Down,
// Home / End). Each step is sent to the parent as WM_HSCROLL / WM_VSCROLL with the bar's
// window in lParam, as the platform's scroll bars do, and comes back reflected: OnScroll may
// change the position asked for, then Position moves and OnChange follows.
//
// Positions run from Min to Max less PageSize - 1 (the last page starts there), as far as the
// thumb can go; setting Position clamps it to that range.
#include <functional>

#include "platform/controls/Controls.h"
#include "platform/os/ScrollBars.h"

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
const classes::TEnumInfo& EnumInfo(TScrollBarKind);
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TCustomControl {
 public:
  explicit TScrollBar(TComponent* AOwner);
  ~TScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  // Turning the bar swaps its width and height (not while loading).
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  // The part of the range one screen shows (0: a thumb of the standard size); at most the
  // range's size.
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value) { FSmallChange = Value; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value) { FLargeChange = Value; }
  // EInvalidOperation "Scroll bar property out of range" when AMax < AMin; the position is
  // clamped.
  void SetParams(int APosition, int AMin, int AMax);
  // The highest position (where the last page starts).
  int MaxPosition() const;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void WMCancelMode(TMessage& Message) override;

 private:
  // Moves by a scroll code, as a reflected WM_HSCROLL / WM_VSCROLL asks (TrackPos for the
  // thumb codes).
  void DoScroll(WORD Code);
  // Sends a scroll code to the parent, which reflects it back.
  void SendScroll(WORD Code);
  void StopTracking();
  // Hands the state to the window, whose scroll-bar painting draws it, and repaints.
  void Redraw();
  void SyncState();
  // The range, page and position as the window layer's scroll-bar routines take them.
  os::TScrollBarState RangeState() const;
  // Where the arrows, shaft and thumb lie in the client area.
  os::TScrollGeometry Geometry(const os::TScrollBarState& State);
  // The os::TScrollPart at a client point, with the thumb where it is shown.
  int PartAt(TPoint Point);

  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FPageSize = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
  // Mouse tracking: the part held down (an os::TScrollPart), whether the pointer is over it,
  // the thumb's grab offset and the position it is dragged to.
  int FPressed = 0;
  bool FPressedShown = false;
  int FGrab = 0;
  int FTrackPos = 0;
};
