#pragma once
// The presenter shows the program's top-level windows to the user and brings the user's input
// back. The window manager keeps everything else: every top-level window owns a 32-bit surface
// (gdi::TSurface) as large as its window rectangle, frame included, into which the window and
// all its children paint; the presenter only shows those pixels where the window is, and
// turns pointer and keyboard activity into os::TInputEvent values for os::PostInput.
//
// Contract:
// - Every call below is made on the GUI thread with the window manager's lock released; a
//   presenter may call any window function from them (GetWindowRect, GetWindowLongPtr,
//   os::SurfaceOf, ...), but should not send messages that run window procedures from
//   within a notification.
// - Window notifications concern top-level windows only (no children, no message-only
//   windows). WindowCreated comes before the window's first message is handled, WindowDestroyed
//   after its last one; the handle is valid in between. Hidden helper windows are created too:
//   make native windows lazily, on the first WindowShown.
// - Positions are screen coordinates of the whole window rectangle (frame included). A
//   desktop that decorates windows itself may show only the client area (GetClientRect with
//   ClientToScreen gives where it lies inside the window rectangle).
// - Present is called when a window's surface has new pixels, at the latest when the GUI thread
//   runs out of messages; take the changed part with Surface.TakeDamage() and show it. Pixels
//   are 0xAARRGGBB words as gdi::TSurface documents; the alpha byte of window pixels is 0xFF.
//   Present is only called for visible windows; when a window is shown again its whole surface
//   is damaged.
// - Input may come from any thread: os::PostInput queues the event for the GUI thread and wakes
//   its loop, so a presenter can read its display connection on a thread of its own (or watch
//   its file descriptor from there) and never needs the GUI thread to poll. Pointer events
//   carry screen positions; the window manager does the hit testing, capture, activation,
//   focus, double clicks and WM_SETCURSOR itself, exactly as for a test driver.
// - Keys: every key is a KeyDown (repeated while held, without a KeyUp between, for the
//   keyboard's own repeat) and a KeyUp with its virtual-key code (VK_*; letters and digits are
//   their upper-case ASCII codes). Modifiers are keys of their own (VK_SHIFT, VK_CONTROL,
//   VK_MENU or their left / right variants); the manager keeps the key states from them.
//   KeyDown's Text is what the key types with the modifiers in force (UTF-8: "a", "A", "\r"
//   for Enter, "\b", "\t", "\x1b", the control character of Ctrl+letter), empty for keys that
//   type nothing; TranslateMessage turns it into WM_CHAR. Text composed by an input method
//   without a key of its own is a Characters event.
// - When the desktop moves or resizes a window on its own (a window-manager drag, a
//   maximize), report it with a TInputEvent::Moved event (the WindowMoved that follows echoes
//   it: ignore a place the native window already has); when it activates or deactivates the
//   program's windows, with Activate / Deactivate; a click on the desktop's close button is a
//   Close event; the end of the session, changed settings or system colours are EndSession,
//   SettingChange and SysColorChange events.
// - Surfaces belong to the GUI thread: a presenter that shows them from another thread copies
//   the damaged part in Present.
// - The desktop's clipboard (text) is reached through an os::TClipboardBridge the presenter
//   installs with os::SetClipboardBridge (Clipboard.h); when another program takes the
//   clipboard, it calls os::ClipboardLost.
// - The headless presenter (platform/backends) is the one to use when no display can be opened.
#include <memory>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/rtl/Types.h"

namespace os {

// One monitor of the screen: its rectangle and the work area (without task bars), in screen
// coordinates.
struct TMonitorArea {
  TRect Bounds;
  TRect WorkArea;
};

class TPresenter {
 public:
  virtual ~TPresenter() = default;

  // Lifecycle and placement of a top-level window.
  virtual void WindowCreated(HWND Wnd) { (void)Wnd; }
  virtual void WindowDestroyed(HWND Wnd) { (void)Wnd; }
  // Shown: Activate is false for windows shown without activation (pop-ups, hints, drop-downs:
  // they must not take the keyboard focus from the active window). Styles tell the rest:
  // WS_POPUP / WS_EX_TOOLWINDOW / WS_EX_TOPMOST windows want no decorations (override-redirect).
  virtual void WindowShown(HWND Wnd, bool Activate) { (void)Wnd; (void)Activate; }
  virtual void WindowHidden(HWND Wnd) { (void)Wnd; }
  // The window rectangle changed (screen coordinates); the surface has the new size already.
  virtual void WindowMoved(HWND Wnd, const TRect& WindowRect) { (void)Wnd; (void)WindowRect; }
  // The window went to the top of the z-order (of its band: topmost or not).
  virtual void WindowRaised(HWND Wnd) { (void)Wnd; }
  // The program activated a window of its own (SetActiveWindow, a click, a show).
  virtual void WindowActivated(HWND Wnd) { (void)Wnd; }
  // Title text (WM_SETTEXT) or minimized / maximized state changed.
  virtual void WindowTextChanged(HWND Wnd) { (void)Wnd; }
  virtual void WindowStateChanged(HWND Wnd) { (void)Wnd; }

  // New pixels to show (see above).
  virtual void Present(HWND Wnd, gdi::TSurface& Surface) { (void)Wnd; (void)Surface.TakeDamage(); }

  // The mouse capture moved (nullptr: released): a native presenter grabs the pointer so that
  // moves outside the program's windows still arrive.
  virtual void CaptureChanged(HWND Capture) { (void)Capture; }
  // The cursor to show changed (a handle from LoadCursor; os::StandardCursorId tells which
  // standard cursor it is, 0 for a cursor made from an image).
  virtual void CursorChanged(HCURSOR Cursor) { (void)Cursor; }
  // WM_SYSCOMMAND SC_MOVE / SC_SIZE from a pointer press: a desktop that moves windows itself
  // starts its own drag and answers true (the result comes back as Moved events); false lets
  // the window manager follow the pointer itself.
  virtual bool BeginMoveDrag(HWND Wnd, TPoint ScreenPoint) { (void)Wnd; (void)ScreenPoint; return false; }
  virtual bool BeginSizeDrag(HWND Wnd, UINT Edge, TPoint ScreenPoint) {
    (void)Wnd; (void)Edge; (void)ScreenPoint;
    return false;
  }
  // MessageBeep.
  virtual void Beep(UINT Type) { (void)Type; }
  // The monitors of the real screen; empty keeps the standard headless screen.
  virtual std::vector<TMonitorArea> Monitors() { return {}; }
};

// Installs the presenter (not owned; nullptr removes it). The calling thread becomes the
// input thread.
void SetPresenter(TPresenter* Presenter);
TPresenter* CurrentPresenter();

// The surface of a top-level window (of the window's top-level window for a child).
std::shared_ptr<gdi::TSurface> SurfaceOf(HWND Wnd);

// Shows the presenter what has been painted (called by the message loop when it runs out of
// messages; anyone may call it to flush earlier).
void FlushPresentation();

}  // namespace os
