#pragma once
// The X11 presenter: one X window per shown top-level window. Pop-ups shown without
// activation (menus, drop-downs, hints) and tool pop-ups are override-redirect windows that
// never take the focus; windows with a caption are framed by the desktop, which then shows
// their client area; other windows (borderless forms) show their whole rectangle without
// decorations and move themselves through the desktop (_NET_WM_MOVERESIZE) when the program
// drags them (SC_MOVE / SC_SIZE). Painting reaches the screen as the damaged part of the
// window's surface, put after each burst of painting; exposed parts are put again from the
// surface on the GUI thread.
//
// X events, read on the display's reader thread, become os::PostInput events: pointer moves,
// buttons 1-3 and the wheel (buttons 4 and 5) in screen coordinates; keys as virtual key codes
// with the text they type (through the X input method where one runs); focus changes made by
// the desktop as activation; WM_DELETE_WINDOW as a close request; the desktop's moves and
// resizes as Moved events; a new work area (_NET_WORKAREA) as a setting change. The pointer is grabbed while a window of the program holds the
// mouse capture.
//
// Locking: the display lock is always taken before the presenter's own.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/backends/GuiCalls.h"
#include "platform/backends/X11Display.h"
#include "platform/os/Presenter.h"

namespace backends {

class TX11Presenter : public os::TPresenter {
 public:
  // Made on the GUI thread.
  explicit TX11Presenter(TX11Display& Display);
  ~TX11Presenter() override;

  void WindowDestroyed(HWND Wnd) override;
  void WindowShown(HWND Wnd, bool Activate) override;
  void WindowHidden(HWND Wnd) override;
  void WindowMoved(HWND Wnd, const TRect& WindowRect) override;
  void WindowRaised(HWND Wnd) override;
  void WindowActivated(HWND Wnd) override;
  void WindowTextChanged(HWND Wnd) override;
  void WindowStateChanged(HWND Wnd) override;
  void Present(HWND Wnd, gdi::TSurface& Surface) override;
  void CaptureChanged(HWND Capture) override;
  void CursorChanged(HCURSOR Cursor) override;
  bool BeginMoveDrag(HWND Wnd, TPoint ScreenPoint) override;
  bool BeginSizeDrag(HWND Wnd, UINT Edge, TPoint ScreenPoint) override;
  void Beep(UINT Type) override;
  std::vector<os::TMonitorArea> Monitors() override;

  // The X window showing a top-level window (0 while it has none), for tests and the tray.
  XWindow NativeWindow(HWND Wnd);

 private:
  struct TNative;
  TNative* Find(HWND Wnd);
  TNative& Create(HWND Wnd, bool Activate, const std::string& Title);
  void SetNames(TNative& Native, const std::string& Title);
  // The owner it stays above (WM_TRANSIENT_FOR) and the icon the desktop shows for it
  // (_NET_WM_ICON), as the window has them now.
  void SetOwner(TNative& Native);
  void SetIcon(TNative& Native, HICON Icon);
  void SetState(TNative& Native, const char* State, bool On);
  void Place(TNative& Native, const TRect& WindowRect);
  void RequestFocus(TNative& Native);
  void PutSurface(TNative& Native, gdi::TSurface& Surface, TRect Area);
  bool Supported(const char* Atom);
  bool MoveResize(HWND Wnd, TPoint ScreenPoint, long Direction);
  void OpenInputMethod();

  // Reader thread.
  bool HandleEvent(_XEvent& Event);
  void Key(TNative& Native, _XEvent& Event);
  void Focus(TNative& Native, _XEvent& Event);
  void Configured(TNative& Native, _XEvent& Event);
  struct TModifier {
    unsigned int Mask;
    UINT Key;
  };
  static const TModifier kModifiers[3];
  void SyncModifiers(unsigned int State);
  void PostModifier(const TModifier& Modifier, bool Down);

  TX11Display& FDisplay;
  int FSink = 0;
  void* FGc = nullptr;
  void* FInputMethod = nullptr;
  std::map<int, unsigned long> FCursors;
  unsigned long FCursor = 0;
  std::vector<XAtom> FSupported;
  std::mutex FLock;
  std::map<HWND, std::unique_ptr<TNative>> FNatives;
  std::map<XWindow, TNative*> FByWindow;
  // Focus: the X window that has it, and the one the program asked for last (with the serial
  // of that request, so older focus events are told from newer ones).
  XWindow FFocus = 0;
  // The modifier keys (X modifier masks) the program was told are down (reader thread).
  unsigned int FModifiers = 0;
  XWindow FFocusAsked = 0;
  unsigned long FFocusSerial = 0;
  TGuiCalls FGui;
};

}  // namespace backends
