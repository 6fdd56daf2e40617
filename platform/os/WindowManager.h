#pragma once
// The window manager's state: window records behind generation-checked handles, the class
// table, registered message names, one message queue per thread, and the input state of the
// GUI (active, focus and capture windows, the cursor, the keyboard). One lock guards it all;
// window procedures and presenters are always called with the lock released.
//
// Coordinates kept in a record: WindowRect is in the parent's client coordinates (the
// screen's for a top-level window); Client, the window region and the update region are in
// window coordinates (from the window's top-left corner). A top-level window owns the surface
// that it and its children paint into.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/os/Input.h"
#include "platform/os/Timers.h"
#include "platform/os/Window.h"

namespace os {

class TPresenter;

// The handle GetDesktopWindow gives: no record stands behind it; as a parent or a coordinate
// space it means the screen. (Real handles never have a zero upper half.)
inline HWND const kDesktopWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10));

// Orders names ignoring ASCII case (class names, property names, registered messages).
struct TNoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

struct TWindowClass {
  WNDCLASS Info;
};

// One standard scroll bar of a window's non-client area.
struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT Disabled = 0;  // ESB_DISABLE_LTUP / ESB_DISABLE_RTDN
  // While the bar is being clicked: the part held down (drawn pushed) and whether the
  // pointer is over it.
  int PressedPart = 0;
};

struct TWindow {
  HWND Handle = nullptr;
  DWORD ThreadId = 0;
  std::shared_ptr<const TWindowClass> Class;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  std::string Text;
  HWND Parent = nullptr;  // nullptr for top-level and message-only windows
  HWND Owner = nullptr;
  bool MessageOnly = false;
  std::vector<HWND> Children;  // z-order, topmost first
  TRect WindowRect;            // in the parent's client coordinates (screen for top-level)
  TRect Client;                // the client area in window coordinates
  WNDPROC Proc;
  LONG_PTR Id = 0;
  LONG_PTR UserData = 0;
  HMENU Menu = nullptr;  // the menu bar of a top-level window (SetMenu)
  std::map<std::string, HANDLE, TNoCaseLess> Props;
  bool Destroying = false;

  // Window region (SetWindowRgn), window coordinates; none means the whole rectangle.
  std::optional<gdi::TRegion> Region;
  // Painting: what needs repainting (window coordinates, the frame included), whether the
  // background is to be erased first, and a WM_PAINT asked for without an invalid area.
  gdi::TRegion Update;
  bool Erase = false;
  bool InternalPaint = false;
  // The frame is to be painted (WM_NCPAINT): set by any invalidation with RDW_FRAME, also one
  // that only touches the client area, as the platform does.
  bool FramePending = false;
  // Counts invalidations, so a dispatcher can tell whether a paint handler left the update
  // region as it found it.
  uint64_t InvalidationCount = 0;
  // The caption is drawn active (WM_NCACTIVATE).
  bool NcActive = false;
  // The surface of a top-level window (children draw into their top-level window's).
  std::shared_ptr<gdi::TSurface> Surface;
  // Standard scroll bars: [SB_HORZ], [SB_VERT].
  TScrollBarState Scroll[2];
  // The normal placement while minimized or maximized.
  std::optional<TRect> RestoreRect;
};

struct TThreadQueue;

// A message sent from another thread, waiting for the window's thread to run it.
struct TSentMessage {
  HWND Wnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  std::exception_ptr Error;
  bool Done = false;
  // The sender's queue: its Wake is signalled when the message is done.
  std::shared_ptr<TThreadQueue> Sender;
};

// Marks a sent message done and wakes its sender (Lock held).
void FinishSent(TSentMessage& Sent);

struct TTimerEntry {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Period = 0;
  int64_t Due = 0;
  TIMERPROC Proc = nullptr;
};

// An input message made from an input event, waiting in the queue until it is taken.
struct TCookedInput {
  MSG Msg;
  // The key or button whose state changes when the message is taken (GetKeyState follows
  // the messages a thread has taken, GetAsyncKeyState the events as they arrive).
  UINT Key = 0;
  bool KeyDown = false;
  // The characters a key produces; TranslateMessage posts them as WM_CHAR.
  std::string Text;
};

struct TThreadQueue {
  DWORD ThreadId = 0;
  std::deque<MSG> Posted;
  std::deque<std::shared_ptr<TSentMessage>> Sent;
  bool QuitPosted = false;
  int QuitCode = 0;
  std::vector<TTimerEntry> Timers;
  UINT_PTR NextThreadTimerId = 1;
  std::condition_variable Wake;
  // Input of the GUI thread: events not yet looked at (in order; an event with a time in the
  // future holds back those after it), and input messages made but not yet taken.
  std::deque<TInputEvent> Input;
  std::deque<TCookedInput> Cooked;
  bool Cooking = false;
  // Windows of this thread with something to paint, in the order they became invalid.
  std::vector<HWND> PaintPending;
};

// Which messages a PeekMessage / GetMessage call looks for.
struct TMessageFilter {
  HWND Wnd = nullptr;
  UINT Min = 0;
  UINT Max = 0;
  bool Matches(HWND Target, UINT Msg) const;
};

class TWindowManager {
 public:
  std::mutex Lock;

  // Handle table (call with Lock held).
  TWindow* Find(HWND Wnd);
  // The handle when it names a live window, else nullptr.
  HWND Live(HWND Wnd) { return Find(Wnd) ? Wnd : nullptr; }
  // As Find, setting ERROR_INVALID_WINDOW_HANDLE when there is no such window.
  TWindow* FindOrFail(HWND Wnd);
  HWND Add(std::unique_ptr<TWindow> Window);
  std::unique_ptr<TWindow> Remove(HWND Wnd);
  // The live windows whose owner is Owner (takes the Lock itself).
  std::vector<HWND> OwnedBy(HWND Owner);

  // The queue of a thread; Create makes it on first use (call with Lock held).
  std::shared_ptr<TThreadQueue> Queue(DWORD ThreadId, bool Create);
  void DropQueue(DWORD ThreadId);

  // Geometry helpers (Lock held).
  // The top-level window a window lives in (itself for a top-level window).
  TWindow* Root(TWindow* W);
  // The offset of W's window origin from its top-level window's origin (its surface).
  TPoint OriginInRoot(TWindow* W);
  // W's window origin on the screen.
  TPoint ScreenOrigin(TWindow* W);
  // W and its ancestors all carry WS_VISIBLE (a message-only window never does).
  bool IsShown(TWindow* W);
  // Is W Ancestor or inside it?
  bool IsWithin(TWindow* W, HWND Ancestor);

  std::map<std::string, std::shared_ptr<const TWindowClass>, TNoCaseLess> Classes;
  std::map<std::string, UINT, TNoCaseLess> RegisteredMessages;
  ATOM NextAtom = 0xC000;

  // Top-level windows (not message-only) in z-order, topmost first; WS_EX_TOPMOST windows
  // come before the others.
  std::vector<HWND> TopLevels;

  // The GUI state.
  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
  bool AppActive = false;
  TPoint CursorPos{640, 512};
  std::optional<TRect> CursorClip;
  HCURSOR Cursor = nullptr;
  BYTE SyncKeys[256] = {};
  BYTE AsyncKeys[256] = {};
  UINT DoubleClickTime = 500;
  // The last button press, for double-click detection.
  struct TLastClick {
    UINT Button = 0;  // the client button-down message, 0 for none
    HWND Wnd = nullptr;
    bool Client = false;
    TPoint Pos;
    int64_t Time = 0;
  } LastClick;
  // TrackMouseEvent: the window told when the pointer leaves it, and how.
  HWND Tracking = nullptr;
  DWORD TrackingFlags = 0;
  // The position and time of the last message a thread took (GetMessagePos, GetMessageTime).
  TPoint LastMessagePos;
  DWORD LastMessageTime = 0;
  // The last key-down message taken, with the characters TranslateMessage makes of it.
  struct TLastKey {
    MSG Msg;
    std::string Text;
  } LastKey;
  // The thread whose queue receives input (the one that installed the presenter; the main
  // thread unless told otherwise).
  DWORD InputThread = 0;
  TPresenter* Presenter = nullptr;
  // Device contexts handed out by GetDC / GetWindowDC / GetDCEx / BeginPaint.
  std::map<HDC, HWND> DCs;
  // Top-level windows whose surfaces have damage the presenter has not been shown.
  std::set<HWND> ToPresent;

 private:
  struct TSlot {
    std::unique_ptr<TWindow> Window;
    uint32_t Generation = 1;
  };
  std::vector<TSlot> FSlots;
  std::vector<uint32_t> FFree;
  std::map<DWORD, std::shared_ptr<TThreadQueue>> FQueues;
};

// The one window manager of the process (lives until the process ends).
TWindowManager& Manager();

// The calling thread's queue, made on first use; the thread's exit drops it.
std::shared_ptr<TThreadQueue> CurrentQueue();

// The window record for a handle of the calling thread, or nullptr (GUI-thread code only: the
// record may go away as soon as a window procedure destroys the window).
TWindow* FindWindowRecord(HWND Wnd);

// Runs the messages other threads sent to the calling thread's windows.
void ProcessSentMessages();

// Drops a destroyed window's queued messages, timers, pending sends and every reference the
// GUI state holds to it (Lock held).
void PurgeWindow(TWindowManager& M, HWND Wnd, DWORD ThreadId);

// Calls f on the record of a live window under the lock; false (ERROR_INVALID_WINDOW_HANDLE)
// when there is none.
template <class F>
bool WithWindow(HWND Wnd, F&& f) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(Wnd);
  if (!w) return false;
  f(*w);
  return true;
}

}  // namespace os
