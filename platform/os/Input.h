#pragma once
// Mouse and keyboard input. A presenter (or a test driver) hands input events to PostInput;
// the GUI thread's message loop turns them into messages in the order they happened, when it
// looks for messages (after posted messages, before painting and timers), exactly as the
// platform does: the window under the pointer is found by WM_NCHITTEST (HTTRANSPARENT lets the
// point through to what lies below), the cursor is asked for with WM_SETCURSOR, a press in an
// inactive window asks WM_MOUSEACTIVATE and activates, a second press within the double-click
// time and distance becomes a double click for windows whose class has CS_DBLCLKS, captured
// input goes to the capture window, keys go to the focus window. The messages sit in the queue
// until taken, so nested loops can inspect, remove or forward them.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/rtl/Types.h"

using SHORT = int16_t;

// Virtual key codes (letters and digits are their upper-case ASCII codes).
constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_CANCEL = 0x03;
constexpr UINT VK_MBUTTON = 0x04;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_PAUSE = 0x13;
constexpr UINT VK_CAPITAL = 0x14;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_SELECT = 0x29;
constexpr UINT VK_PRINT = 0x2A;
constexpr UINT VK_EXECUTE = 0x2B;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_HELP = 0x2F;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_NUMPAD9 = 0x69;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SEPARATOR = 0x6C;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_F5 = 0x74;
constexpr UINT VK_F6 = 0x75;
constexpr UINT VK_F7 = 0x76;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_F10 = 0x79;
constexpr UINT VK_F11 = 0x7A;
constexpr UINT VK_F12 = 0x7B;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
constexpr UINT VK_LSHIFT = 0xA0;
constexpr UINT VK_RSHIFT = 0xA1;
constexpr UINT VK_LCONTROL = 0xA2;
constexpr UINT VK_RCONTROL = 0xA3;
constexpr UINT VK_LMENU = 0xA4;
constexpr UINT VK_RMENU = 0xA5;
constexpr UINT VK_OEM_1 = 0xBA;
constexpr UINT VK_OEM_PLUS = 0xBB;
constexpr UINT VK_OEM_COMMA = 0xBC;
constexpr UINT VK_OEM_MINUS = 0xBD;
constexpr UINT VK_OEM_PERIOD = 0xBE;
constexpr UINT VK_OEM_2 = 0xBF;
constexpr UINT VK_OEM_3 = 0xC0;
constexpr UINT VK_OEM_4 = 0xDB;
constexpr UINT VK_OEM_5 = 0xDC;
constexpr UINT VK_OEM_6 = 0xDD;
constexpr UINT VK_OEM_7 = 0xDE;

// The state of a key as of the messages the calling thread has taken: bit 15 set while it is
// down, bit 0 toggled by each press (Caps Lock, Num Lock). Mouse buttons count as keys.
SHORT GetKeyState(int VirtKey);
// The state as the input has arrived: bit 15 set while down.
SHORT GetAsyncKeyState(int VirtKey);
// All 256 states as GetKeyState has them (bit 7 down, bit 0 toggled).
BOOL GetKeyboardState(BYTE* KeyState);

// Mouse capture: all mouse input goes to the window until released (WM_CAPTURECHANGED tells
// the window losing it). SetCapture returns the previous capture window.
HWND SetCapture(HWND Wnd);
BOOL ReleaseCapture();
HWND GetCapture();

// The pointer's screen position, confined to the ClipCursor rectangle when there is one
// (nullptr frees it).
BOOL GetCursorPos(TPoint* Point);
BOOL SetCursorPos(int X, int Y);
BOOL ClipCursor(const TRect* Rect);
BOOL GetClipCursor(TRect* Rect);

// The longest time between the presses of a double click, in milliseconds.
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT Ms);

// The position (packed as in lParam) and time of the last message the thread took.
DWORD GetMessagePos();
LONG GetMessageTime();

// TrackMouseEvent: WM_MOUSELEAVE (WM_NCMOUSELEAVE with TME_NONCLIENT) is posted once when the
// pointer leaves the window's client (non-client) area; then tracking ends.
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_NONCLIENT = 0x00000010;
constexpr DWORD TME_QUERY = 0x40000000;
constexpr DWORD TME_CANCEL = 0x80000000;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
// TME_LEAVE with a window starts tracking (the pointer must be over that area now, else the
// leave message is posted at once); TME_CANCEL stops it; TME_QUERY fills the structure with
// the tracking in force.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* Track);

namespace os {

enum class TMouseButton { Left, Right, Middle };

// One input event, as a presenter or a test driver delivers it. Positions are on the screen.
struct TInputEvent {
  enum TKind {
    MouseMove,
    ButtonDown,
    ButtonUp,
    Wheel,   // WheelDelta: multiples of WHEEL_DELTA, positive away from the user
    KeyDown, // Key, ScanCode; Text: the characters the key types (UTF-8, may be empty)
    KeyUp,
    Characters,  // Text typed without a key of its own (an input method)
    Close,   // the user asked to close the top-level window Wnd (WM_SYSCOMMAND SC_CLOSE)
    Activate,    // the desktop made the top-level window Wnd the active one
    Deactivate,  // another program became active: no window of ours is active
    Moved,       // the desktop moved or resized the top-level window Wnd to Rect (screen)
    EndSession,  // the desktop session ends (os::EndSession)
    SettingChange,   // a system setting changed: WM_SETTINGCHANGE to the top-level windows,
                     // Key as wParam, Text (a section name, may be empty) as lParam
    SysColorChange,  // the system colours changed: WM_SYSCOLORCHANGE to the top-level windows
  };
  TKind Kind = MouseMove;
  TPoint Pos;
  TMouseButton Button = TMouseButton::Left;
  int WheelDelta = 0;
  UINT Key = 0;
  UINT ScanCode = 0;
  std::string Text;
  HWND Wnd = nullptr;
  TRect Rect;
  // The monotonic time (ms) at which the event happens; -1 means now. An event in the future
  // holds back the events after it until its time comes, so a script of presses, holds and
  // releases plays out on the program's clock (an idle loop under the virtual clock moves
  // time to it as it does to a timer).
  int64_t Time = -1;
};

// Hands an event to the input thread's queue and wakes its loop (from any thread).
void PostInput(TInputEvent Event);
// The thread whose loop receives input; the main thread unless SetInputThread chose another.
DWORD InputThread();
void SetInputThread(DWORD ThreadId);
// The time of the calling thread's first input event still waiting for its time, if any.
std::optional<int64_t> NextInputDeadline();
// The earliest of the calling thread's timer deadlines and input times.
std::optional<int64_t> NextWakeDeadline();
// For the message loop: the input messages of the calling thread's queue. PeekInputMessage
// answers Found (Msg filled, taken off the queue with Remove), Cooked (an event was turned into
// messages: look again, posted messages first, as handling it may have posted some) or None.
struct TMessageFilter;
struct TThreadQueue;
enum class TInputPeek { None, Found, Cooked };
TInputPeek PeekInputMessage(MSG* Msg, const TMessageFilter& Filter, bool Remove);
// Input to handle now / the time of the next held-back event (queue's lock held).
bool HasInputWork(TThreadQueue& Queue, const TMessageFilter& Filter, int64_t Now);
std::optional<int64_t> InputDeadline(TThreadQueue& Queue);
// TranslateMessage: the WM_CHAR / WM_SYSCHAR of the key-down just taken.
BOOL TranslateKey(const MSG& Msg);

// Forgets the calling thread's pending input and resets the keyboard, mouse, capture, focus
// and activation state (between tests).
void ResetInput();

}  // namespace os
