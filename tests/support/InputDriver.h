#pragma once
// Synthetic mouse and keyboard input for tests, delivered through the same path as a real
// presenter's (os::PostInput), so hit testing, WM_SETCURSOR, activation, capture, focus and
// double clicks happen as they would for a user. Targets are screen points, or points of a
// window's client area (its centre by default).
//
// Events are queued, not handled: they are handled when the test pumps messages (or when a
// nested loop of the code under test takes them). Wait(Ms) spaces the following events in
// the program's time, so a press held for a second is Press(); Wait(1000); Release() — a loop
// running meanwhile sees the release only when its clock reaches that time (under the virtual
// clock an idle loop moves time there as to a timer).
#include <string>

#include "platform/os/Input.h"

namespace test {

class TInputDriver {
 public:
  using TButton = os::TMouseButton;

  // The screen point of a client point of a window (its client centre by default).
  static TPoint ScreenPoint(HWND Wnd);
  static TPoint ScreenPoint(HWND Wnd, TPoint Client);

  void MoveTo(TPoint Screen);
  void MoveTo(HWND Wnd) { MoveTo(ScreenPoint(Wnd)); }
  void MoveTo(HWND Wnd, TPoint Client) { MoveTo(ScreenPoint(Wnd, Client)); }
  // Press / release where the driver last moved the pointer.
  void Press(TButton Button = TButton::Left);
  void Release(TButton Button = TButton::Left);
  void Click(TPoint Screen, TButton Button = TButton::Left);
  void Click(HWND Wnd, TButton Button = TButton::Left) { Click(ScreenPoint(Wnd), Button); }
  void Click(HWND Wnd, TPoint Client, TButton Button = TButton::Left) { Click(ScreenPoint(Wnd, Client), Button); }
  // Two clicks at the same point, 50 ms apart.
  void DoubleClick(TPoint Screen, TButton Button = TButton::Left);
  void DoubleClick(HWND Wnd) { DoubleClick(ScreenPoint(Wnd)); }
  void DoubleClick(HWND Wnd, TPoint Client) { DoubleClick(ScreenPoint(Wnd, Client)); }
  // Press at From, move there in Steps moves, release at To (screen points).
  void Drag(TPoint From, TPoint To, int Steps = 4, TButton Button = TButton::Left);
  // Notches of the wheel (positive: away from the user).
  void Wheel(int Notches);

  // A key going down or up; Text is what it types (by default the key's own character for
  // letters, digits, space, Enter, Tab, Backspace and Esc, with Shift for upper case).
  void KeyDown(UINT Key);
  void KeyDown(UINT Key, const std::string& Text);
  void KeyUp(UINT Key);
  // Down and up.
  void Key(UINT Key);
  // Types text: ASCII letters, digits and space through their keys (Shift for capitals),
  // other characters as typed text of an input method.
  void Type(const std::string& Text);

  // The events after this happen Ms later.
  void Wait(int64_t Ms);

 private:
  void Post(os::TInputEvent Event);
  int64_t FAt = -1;
  TPoint FPointer;
  // Modifiers held by this driver's own events (the queue may not have been handled yet).
  bool FShift = false;
  bool FControl = false;
};

}  // namespace test
