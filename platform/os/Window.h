#pragma once
// Windows: registered classes, window records behind handles, window procedures and the
// sending and posting of messages. Everything runs in one process; a window belongs to the
// thread that created it and its procedure runs only on that thread.
#include <functional>
#include <memory>
#include <string>

#include "platform/os/Kernel.h"
#include "platform/os/Messages.h"
#include "platform/rtl/Types.h"

// A window procedure. It is a shared callable so that it can be saved and restored by
// subclassing code (SetWindowProc returns the previous one, CallWindowProc passes a message
// on to it) and compared for identity; it stays alive while any window or saver holds it.
using TWndProcFunc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
using WNDPROC = std::shared_ptr<const TWndProcFunc>;
// A window method: an object's message handler, as hidden utility windows and controls use.
using TWndMethod = std::function<void(TMessage&)>;

// Wraps a function (a plain C function, a lambda) as a window procedure.
WNDPROC MakeWndProc(TWndProcFunc Func);
// Wraps an object's message method as a window procedure (the method fills Message.Result).
WNDPROC MakeObjectInstance(TWndMethod Method);
// Releases a procedure made by MakeObjectInstance (windows still using it keep it alive).
void FreeObjectInstance(WNDPROC& Proc);

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_RTLREADING = 0x00002000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_LAYOUTRTL = 0x00400000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;     // a height change repaints the whole window
constexpr UINT CS_HREDRAW = 0x0002;     // a width change repaints the whole window
constexpr UINT CS_DBLCLKS = 0x0008;     // the window receives double clicks
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_GLOBALCLASS = 0x4000;
constexpr UINT CS_DROPSHADOW = 0x00020000;

// Window class: the procedure and style every window of the class starts with. The background
// brush may be a system colour index + 1 (COLOR_WINDOW + 1) instead of a brush; the cursor is
// what DefWindowProc sets over the client area (none: the cursor is left as it is).
struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  std::string lpszClassName;
};

// Parameters of WM_NCCREATE and WM_CREATE (lParam points at one).
struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  std::string lpszName;
  std::string lpszClass;
  DWORD dwExStyle = 0;
};

// Registers a class (names compare case-insensitively); 0 with ERROR_CLASS_ALREADY_EXISTS
// when the name is taken.
ATOM RegisterClass(const WNDCLASS& WndClass);
BOOL UnregisterClass(const std::string& ClassName, HINSTANCE Instance = nullptr);
BOOL GetClassInfo(HINSTANCE Instance, const std::string& ClassName, WNDCLASS* WndClass);

// The parent that makes a message-only window (never shown, not in any z-order).
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<intptr_t>(-3));
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// The desktop: as a parent or a coordinate space it stands for the screen.
HWND GetDesktopWindow();

// Creates a window of a registered class: sends WM_NCCREATE, WM_NCCALCSIZE and WM_CREATE, then
// WM_SIZE and WM_MOVE, tells a child's parent (WM_PARENTNOTIFY) and shows the window when
// WS_VISIBLE was asked for; nullptr when the class is unknown, the parent invalid, or the
// procedure refuses (FALSE / -1).
HWND CreateWindowEx(DWORD ExStyle, const std::string& ClassName, const std::string& WindowName,
                    DWORD Style, int X, int Y, int Width, int Height, HWND Parent, HMENU Menu,
                    HINSTANCE Instance, void* Param);
// Destroys the window, the windows it owns and its children: a visible window is hidden first
// (handing on the focus and activation), then WM_DESTROY parent first, then WM_NCDESTROY
// children first. Its timers are killed and its queued messages dropped.
BOOL DestroyWindow(HWND Wnd);
// True while the handle names a live window (a destroyed window's handle never comes back).
BOOL IsWindow(HWND Wnd);

// Hidden utility window whose messages go to Method (the platform's AllocateHWnd).
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

// Calls the procedure at once. From a thread other than the window's, the message is handed to
// the window's thread, which runs it the next time it looks at its queue; the caller waits,
// running meanwhile the messages other threads send to its own windows.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Queues the message for the window's thread (from any thread) and wakes its loop.
// A null window posts a thread message to the calling thread.
BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL PostThreadMessage(DWORD ThreadId, UINT Msg, WPARAM WParam, LPARAM LParam);
// Asks the calling thread's loop to end: GetMessage returns WM_QUIT once the posted
// messages are handled.
void PostQuitMessage(int ExitCode);

// The default processing, as the platform's: WM_CLOSE destroys the window; WM_SETTEXT /
// WM_GETTEXT keep the window text; WM_NCCREATE and WM_QUERYENDSESSION answer TRUE; the
// non-client messages compute, paint and hit-test the standard frame, caption and scroll bars
// (WM_NCCALCSIZE, WM_NCPAINT, WM_NCHITTEST, WM_NCACTIVATE); WM_NCLBUTTONDOWN runs scroll-bar
// clicks, caption drags and border sizing through WM_SYSCOMMAND; WM_SYSCOMMAND moves, sizes,
// minimizes, restores and closes; WM_ERASEBKGND fills with the class brush; WM_PAINT validates;
// WM_SETCURSOR asks the parent first, then sets the class cursor over the client area;
// WM_MOUSEACTIVATE asks the parent first, else activates; WM_ACTIVATE focuses the window;
// WM_WINDOWPOSCHANGED sends WM_MOVE and WM_SIZE; WM_MOUSEWHEEL goes on to the parent;
// WM_CANCELMODE releases the capture; everything else answers 0.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT CallWindowProc(const WNDPROC& Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The window's current procedure, and replacing it (subclassing): returns the previous one.
WNDPROC GetWindowProc(HWND Wnd);
WNDPROC SetWindowProc(HWND Wnd, WNDPROC Proc);
// A procedure as a window-data value (GetWindowLongPtr(GWLP_WNDPROC) gives one, and
// SetWindowLongPtr(GWLP_WNDPROC) takes one) and back. A procedure given out as a value stays
// alive, as code may call it later through CallWindowProc, until FreeObjectInstance; a value
// that was never given out names no procedure (nullptr).
LONG_PTR WndProcToLong(const WNDPROC& Proc);
WNDPROC WndProcFromLong(LONG_PTR Value);

// The same name (case-insensitive) gives the same number, from 0xC000 up; 0 for "".
UINT RegisterWindowMessage(const std::string& Name);

// Window data slots.
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;
constexpr int GWL_ID = GWLP_ID;
constexpr int GWL_WNDPROC = GWLP_WNDPROC;
constexpr int GWL_USERDATA = GWLP_USERDATA;
LONG_PTR GetWindowLongPtr(HWND Wnd, int Index);
LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR NewLong);
inline LONG_PTR GetWindowLong(HWND Wnd, int Index) { return GetWindowLongPtr(Wnd, Index); }
inline LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR NewLong) { return SetWindowLongPtr(Wnd, Index, NewLong); }

// Named properties attached to a window (names compare case-insensitively).
BOOL SetProp(HWND Wnd, const std::string& Name, HANDLE Data);
HANDLE GetProp(HWND Wnd, const std::string& Name);
HANDLE RemoveProp(HWND Wnd, const std::string& Name);

// Relations. Children are kept in z-order, topmost first.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;
// A child's parent, else a top-level window's owner.
HWND GetParent(HWND Wnd);
// Makes Wnd a child of NewParent (nullptr or the desktop: a top-level window with its own
// surface), keeping its position numbers, on top of its new siblings; returns the old parent.
HWND SetParent(HWND Wnd, HWND NewParent);
HWND GetAncestor(HWND Wnd, UINT Flags);
HWND GetWindow(HWND Wnd, UINT Cmd);
inline HWND GetNextWindow(HWND Wnd, UINT Cmd) { return GetWindow(Wnd, Cmd); }
// The topmost child of Parent (nullptr: the topmost top-level window).
HWND GetTopWindow(HWND Parent);
BOOL IsChild(HWND Parent, HWND Wnd);
std::string GetClassName(HWND Wnd);
DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId);

namespace os {
// Sends a message to every top-level window of the calling thread (hidden ones included).
void SendToTopLevelWindows(UINT Msg, WPARAM WParam, LPARAM LParam);
// The session ends: every top-level window is asked with WM_QUERYENDSESSION (Flags as lParam)
// until one refuses; then each gets WM_ENDSESSION, TRUE when all agreed. Answers whether they
// did.
bool EndSession(LPARAM Flags);
}  // namespace os

// Text (through WM_SETTEXT / WM_GETTEXT; lParam is a const char* / a char buffer).
BOOL SetWindowText(HWND Wnd, const std::string& Text);
std::string GetWindowText(HWND Wnd);

