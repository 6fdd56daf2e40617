#include "platform/backends/X11Presenter.h"

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <vector>

#include "platform/backends/IconPixels.h"
#include "platform/backends/X11Keys.h"
#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

namespace backends {

namespace {

constexpr long kMoveResizeMove = 8;
// WM_SETTINGCHANGE's wParam for a new work area.
constexpr UINT kSpiSetWorkArea = 0x002F;
constexpr long kSourceApplication = 1;
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;

// The _MOTIF_WM_HINTS record: flags, functions, decorations, input mode, status.
constexpr long kMotifDecorationsFlag = 2;

bool Utf8Codeset() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0);
}

std::string Latin1ToUtf8(const char* s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) rtl::AppendUtf8(out, static_cast<unsigned char>(s[i]));
  return out;
}

unsigned int FontCursorOf(int id) {
  switch (id) {
    case 32513: return XC_xterm;
    case 32514: return XC_watch;
    case 32515: return XC_crosshair;
    case 32516: return XC_center_ptr;
    case 32640:
    case 32646: return XC_fleur;
    case 32642: return XC_bottom_right_corner;
    case 32643: return XC_bottom_left_corner;
    case 32644: return XC_sb_h_double_arrow;
    case 32645: return XC_sb_v_double_arrow;
    case 32648: return XC_X_cursor;
    case 32649: return XC_hand2;
    case 32650: return XC_watch;
    case 32651: return XC_question_arrow;
    default: return XC_left_ptr;
  }
}

// _NET_WM_MOVERESIZE directions for the SC_SIZE edges (WMSZ_LEFT .. WMSZ_BOTTOMRIGHT).
long SizeDirection(UINT edge) {
  switch (edge & 0x0F) {
    case WMSZ_LEFT: return 7;
    case WMSZ_RIGHT: return 3;
    case WMSZ_TOP: return 1;
    case WMSZ_TOPLEFT: return 0;
    case WMSZ_TOPRIGHT: return 2;
    case WMSZ_BOTTOM: return 5;
    case WMSZ_BOTTOMLEFT: return 6;
    case WMSZ_BOTTOMRIGHT: return 4;
    default: return -1;
  }
}

}  // namespace

const TX11Presenter::TModifier TX11Presenter::kModifiers[3] = {
    {ShiftMask, VK_SHIFT}, {ControlMask, VK_CONTROL}, {Mod1Mask, VK_MENU}};

struct TX11Presenter::TNative {
  HWND Wnd = nullptr;
  XWindow Window = 0;
  XIC Ic = nullptr;
  bool OverrideRedirect = false;
  bool Decorated = false;
  bool TopMost = false;
  bool Mapped = false;
  bool WantFocus = false;
  bool Iconic = false;
  bool Zoomed = false;
  // The icon given to the desktop, and the X window it was told to stay above.
  HICON Icon = nullptr;
  XWindow TransientFor = 0;
  // Where the X window lies inside the window rectangle, and how much larger the window
  // rectangle is (the frame the desktop replaces).
  TPoint Offset;
  TSize Extra;
  // The X window's geometry on the screen as last asked for or reported, and the serial of
  // the last request that moved it (older configure events are stale).
  TRect Shown;
  unsigned long PlaceSerial = 0;
  // Parts exposed and not yet put again (surface coordinates).
  TRect Exposed;
};

TX11Presenter::TX11Presenter(TX11Display& display) : FDisplay(display) {
  {
    TX11Display::TLock lock(display);
    Display* d = display.Get();
    FGc = XCreateGC(d, display.Root(), 0, nullptr);
    // Held keys repeat as presses only, as the program expects of a held key.
    XkbSetDetectableAutoRepeat(d, True, nullptr);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, display.Root(), display.Atom("_NET_SUPPORTED"), 0, 4096, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success && data) {
      auto* atoms = reinterpret_cast<Atom*>(data);
      FSupported.assign(atoms, atoms + count);
      XFree(data);
    }
    OpenInputMethod();
    // A panel coming, going or resizing changes the work area the program places windows in.
    display.AddEventMask(display.Root(), PropertyChangeMask);
  }
  FSink = display.AddSink([this](XEvent& e) { return HandleEvent(e); });
}

TX11Presenter::~TX11Presenter() {
  FDisplay.RemoveSink(FSink);
  TX11Display::TLock lock(FDisplay);
  Display* d = FDisplay.Get();
  std::lock_guard<std::mutex> g(FLock);
  for (auto& [wnd, native] : FNatives) {
    if (native->Ic) XDestroyIC(native->Ic);
    XDestroyWindow(d, native->Window);
  }
  FNatives.clear();
  FByWindow.clear();
  if (FInputMethod) XCloseIM(static_cast<XIM>(FInputMethod));
  for (auto& [id, cursor] : FCursors) XFreeCursor(d, cursor);
  XFreeGC(d, static_cast<GC>(FGc));
}

// Display locked. Text comes through an input method when the locale allows one (a UTF-8
// character type is chosen when the program runs in the plain C locale); without one, keys are
// looked up directly.
void TX11Presenter::OpenInputMethod() {
  std::string previous = setlocale(LC_CTYPE, nullptr) ? setlocale(LC_CTYPE, nullptr) : "C";
  if (previous == "C" || previous == "POSIX") {
    if (!setlocale(LC_CTYPE, "") || !Utf8Codeset()) setlocale(LC_CTYPE, "C.UTF-8");
  }
  if (!XSupportsLocale() || !Utf8Codeset()) {
    setlocale(LC_CTYPE, previous.c_str());
    return;
  }
  XSetLocaleModifiers("");
  FInputMethod = XOpenIM(FDisplay.Get(), nullptr, nullptr, nullptr);
}

bool TX11Presenter::Supported(const char* name) {
  XAtom atom = FDisplay.Atom(name);
  return std::find(FSupported.begin(), FSupported.end(), atom) != FSupported.end();
}

TX11Presenter::TNative* TX11Presenter::Find(HWND wnd) {
  auto it = FNatives.find(wnd);
  return it == FNatives.end() ? nullptr : it->second.get();
}

XWindow TX11Presenter::NativeWindow(HWND wnd) {
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  return native ? native->Window : 0;
}

// Both locks held.
TX11Presenter::TNative& TX11Presenter::Create(HWND wnd, bool activate, const std::string& title) {
  Display* d = FDisplay.Get();
  const DWORD style = static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_EXSTYLE));
  auto native = std::make_unique<TNative>();
  native->Wnd = wnd;
  const bool captioned = (style & WS_CAPTION) == WS_CAPTION;
  native->OverrideRedirect = (style & WS_POPUP) && !captioned && ((ex & WS_EX_TOOLWINDOW) || !activate);
  native->Decorated = captioned && !native->OverrideRedirect;
  native->TopMost = (ex & WS_EX_TOPMOST) != 0;

  TRect rect;
  GetWindowRect(wnd, &rect);
  native->Shown = rect;
  if (native->Decorated) {
    TRect client;
    GetClientRect(wnd, &client);
    TPoint origin(0, 0);
    ClientToScreen(wnd, &origin);
    native->Offset = TPoint(origin.X - rect.Left, origin.Y - rect.Top);
    native->Extra = TSize(rect.Width() - client.Width(), rect.Height() - client.Height());
    native->Shown = TRect(origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height());
  }
  const TRect& at = native->Shown;

  XSetWindowAttributes attributes{};
  attributes.background_pixmap = 0;  // keep what is there until the surface is put
  attributes.bit_gravity = NorthWestGravity;
  attributes.override_redirect = native->OverrideRedirect ? True : False;
  attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          EnterWindowMask | LeaveWindowMask | ExposureMask | StructureNotifyMask | FocusChangeMask;
  attributes.cursor = FCursor;
  native->Window = XCreateWindow(d, FDisplay.Root(), at.Left, at.Top, static_cast<unsigned>(std::max(1, at.Width())),
                                 static_cast<unsigned>(std::max(1, at.Height())), 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask | CWCursor,
                                 &attributes);
  const XWindow w = native->Window;

  Atom protocols[] = {FDisplay.Atom("WM_DELETE_WINDOW"), FDisplay.Atom("_NET_WM_PING")};
  XSetWMProtocols(d, w, protocols, 2);
  std::string name = ExtractFileName(rtl::ExePath());
  if (name.empty()) name = "ostrovel";
  std::string className = name;
  className[0] = static_cast<char>(toupper(static_cast<unsigned char>(className[0])));
  XClassHint classHint{name.data(), className.data()};
  XSetClassHint(d, w, &classHint);

  // Placement as the program chose it, and a fixed size for windows without a sizing border.
  XSizeHints* size = XAllocSizeHints();
  size->flags = USPosition | PPosition;
  size->x = at.Left;
  size->y = at.Top;
  if (!(style & WS_THICKFRAME)) {
    size->flags |= PMinSize | PMaxSize;
    size->min_width = size->max_width = at.Width();
    size->min_height = size->max_height = at.Height();
  }
  XSetWMNormalHints(d, w, size);
  XFree(size);
  XWMHints* hints = XAllocWMHints();
  hints->flags = InputHint | StateHint;
  hints->input = (ex & WS_EX_NOACTIVATE) ? False : True;
  hints->initial_state = NormalState;
  XSetWMHints(d, w, hints);
  XFree(hints);

  const char* type = "_NET_WM_WINDOW_TYPE_NORMAL";
  HWND owner = GetWindow(wnd, GW_OWNER);
  if (native->OverrideRedirect)
    type = "_NET_WM_WINDOW_TYPE_POPUP_MENU";
  else if (ex & WS_EX_TOOLWINDOW)
    type = "_NET_WM_WINDOW_TYPE_UTILITY";
  else if (owner && (((style & WS_DLGFRAME) && !(style & WS_THICKFRAME)) || (ex & WS_EX_DLGMODALFRAME)))
    type = "_NET_WM_WINDOW_TYPE_DIALOG";
  Atom typeAtom = FDisplay.Atom(type);
  XChangeProperty(d, w, FDisplay.Atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&typeAtom), 1);
  std::vector<Atom> states;
  if (native->TopMost) states.push_back(FDisplay.Atom("_NET_WM_STATE_ABOVE"));
  if ((ex & WS_EX_TOOLWINDOW) || (owner && !(ex & WS_EX_APPWINDOW))) {
    states.push_back(FDisplay.Atom("_NET_WM_STATE_SKIP_TASKBAR"));
    states.push_back(FDisplay.Atom("_NET_WM_STATE_SKIP_PAGER"));
  }
  if (!states.empty())
    XChangeProperty(d, w, FDisplay.Atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(states.data()), static_cast<int>(states.size()));
  if (!native->Decorated && !native->OverrideRedirect) {
    long motif[5] = {kMotifDecorationsFlag, 0, 0, 0, 0};
    Atom motifAtom = FDisplay.Atom("_MOTIF_WM_HINTS");
    XChangeProperty(d, w, motifAtom, motifAtom, 32, PropModeReplace, reinterpret_cast<unsigned char*>(motif), 5);
  }

  if (FInputMethod) {
    native->Ic = XCreateIC(static_cast<XIM>(FInputMethod), XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                           XNClientWindow, w, XNFocusWindow, w, nullptr);
    long filter = 0;
    if (native->Ic && !XGetICValues(native->Ic, XNFilterEvents, &filter, nullptr) && filter)
      XSelectInput(d, w, attributes.event_mask | filter);
  }
  TNative& made = *native;
  FByWindow[w] = native.get();
  FNatives[wnd] = std::move(native);
  SetNames(made, title);
  SetOwner(made);
  return made;
}

// Both locks held. A window with an owner (a modal window and the window that opened it, a
// message box) stays above it: the desktop keeps a transient window over the one it names.
void TX11Presenter::SetOwner(TNative& native) {
  if (native.OverrideRedirect) return;
  XWindow owner = 0;
  if (HWND o = GetWindow(native.Wnd, GW_OWNER))
    if (TNative* on = Find(GetAncestor(o, GA_ROOT)); on && on != &native) owner = on->Window;
  if (owner == native.TransientFor) return;
  native.TransientFor = owner;
  if (owner) XSetTransientForHint(FDisplay.Get(), native.Window, owner);
  else XDeleteProperty(FDisplay.Get(), native.Window, XA_WM_TRANSIENT_FOR);
}

// Both locks held. _NET_WM_ICON: width, height, then the pixels as 0xAARRGGBB, one to a long.
void TX11Presenter::SetIcon(TNative& native, HICON icon) {
  if (native.OverrideRedirect || icon == native.Icon) return;
  native.Icon = icon;
  Display* d = FDisplay.Get();
  const Atom property = FDisplay.Atom("_NET_WM_ICON");
  std::optional<shell::TrayImage> image = IconPixels(icon);
  if (!image) {
    XDeleteProperty(d, native.Window, property);
    return;
  }
  std::vector<unsigned long> data;
  data.reserve(image->argb.size() + 2);
  data.push_back(static_cast<unsigned long>(image->width));
  data.push_back(static_cast<unsigned long>(image->height));
  for (uint32_t p : image->argb) data.push_back(p);
  XChangeProperty(d, native.Window, property, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void TX11Presenter::SetNames(TNative& native, const std::string& title) {
  Display* d = FDisplay.Get();
  Xutf8SetWMProperties(d, native.Window, title.c_str(), title.c_str(), nullptr, 0, nullptr, nullptr, nullptr);
  Atom utf8 = FDisplay.Atom("UTF8_STRING");
  for (const char* property : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"})
    XChangeProperty(d, native.Window, FDisplay.Atom(property), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

// A _NET_WM_STATE flag: in the property before the window is mapped, through the desktop
// afterwards.
void TX11Presenter::SetState(TNative& native, const char* state, bool on) {
  Display* d = FDisplay.Get();
  Atom property = FDisplay.Atom("_NET_WM_STATE"), atom = FDisplay.Atom(state);
  if (native.Mapped && !native.OverrideRedirect) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = native.Window;
    e.xclient.message_type = property;
    e.xclient.format = 32;
    e.xclient.data.l[0] = on ? kStateAdd : kStateRemove;
    e.xclient.data.l[1] = static_cast<long>(atom);
    e.xclient.data.l[3] = kSourceApplication;
    XSendEvent(d, FDisplay.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    return;
  }
  XDeleteProperty(d, native.Window, property);
  std::vector<Atom> states;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, native.Window, property, 0, 64, False, XA_ATOM, &type, &format, &count, &after, &data) ==
          Success && data) {
    states.assign(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
    XFree(data);
  }
  std::erase(states, atom);
  if (on) states.push_back(atom);
  XChangeProperty(d, native.Window, property, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(states.data()),
                  static_cast<int>(states.size()));
}

void TX11Presenter::WindowShown(HWND wnd, bool activate) {
  // The title and the icon come from the window procedure (WM_GETTEXT, WM_GETICON), which
  // runs with no lock held.
  const std::string title = GetWindowText(wnd);
  const HICON icon = reinterpret_cast<HICON>(SendMessage(wnd, WM_GETICON, ICON_BIG, 0));
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  if (!native) native = &Create(wnd, activate, title);
  else {
    TRect rect;
    GetWindowRect(wnd, &rect);
    Place(*native, rect);
    SetOwner(*native);
  }
  SetIcon(*native, icon);
  native->WantFocus = activate && !native->OverrideRedirect;
  XMapRaised(FDisplay.Get(), native->Window);
}

void TX11Presenter::WindowHidden(HWND wnd) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  if (!native) return;
  native->WantFocus = false;
  if (native->OverrideRedirect)
    XUnmapWindow(FDisplay.Get(), native->Window);
  else
    XWithdrawWindow(FDisplay.Get(), native->Window, FDisplay.Screen());
}

void TX11Presenter::WindowDestroyed(HWND wnd) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  auto it = FNatives.find(wnd);
  if (it == FNatives.end()) return;
  if (it->second->Ic) XDestroyIC(it->second->Ic);
  XDestroyWindow(FDisplay.Get(), it->second->Window);
  if (FFocus == it->second->Window) FFocus = 0;
  FByWindow.erase(it->second->Window);
  FNatives.erase(it);
}

// Both locks held.
void TX11Presenter::Place(TNative& native, const TRect& rect) {
  TRect at = rect;
  if (native.Decorated) {
    TRect client;
    GetClientRect(native.Wnd, &client);
    TPoint origin(0, 0);
    ClientToScreen(native.Wnd, &origin);
    native.Offset = TPoint(origin.X - rect.Left, origin.Y - rect.Top);
    native.Extra = TSize(rect.Width() - client.Width(), rect.Height() - client.Height());
    at = TRect(origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height());
  }
  if (at == native.Shown) return;
  native.Shown = at;
  native.PlaceSerial = NextRequest(FDisplay.Get());
  XMoveResizeWindow(FDisplay.Get(), native.Window, at.Left, at.Top, static_cast<unsigned>(std::max(1, at.Width())),
                    static_cast<unsigned>(std::max(1, at.Height())));
}

void TX11Presenter::WindowMoved(HWND wnd, const TRect& rect) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  if (TNative* native = Find(wnd)) Place(*native, rect);
}

void TX11Presenter::WindowRaised(HWND wnd) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  if (!native) return;
  const bool topMost = (GetWindowLongPtr(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (topMost != native->TopMost && !native->OverrideRedirect) SetState(*native, "_NET_WM_STATE_ABOVE", topMost);
  native->TopMost = topMost;
  XRaiseWindow(FDisplay.Get(), native->Window);
}

// Both locks held.
void TX11Presenter::RequestFocus(TNative& native) {
  Display* d = FDisplay.Get();
  FFocusAsked = native.Window;
  FFocusSerial = NextRequest(d);
  if (Supported("_NET_ACTIVE_WINDOW")) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = native.Window;
    e.xclient.message_type = FDisplay.Atom("_NET_ACTIVE_WINDOW");
    e.xclient.format = 32;
    e.xclient.data.l[0] = kSourceApplication;
    e.xclient.data.l[1] = static_cast<long>(FDisplay.LastEventTime());
    XSendEvent(d, FDisplay.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  } else {
    XSetInputFocus(d, native.Window, RevertToParent, CurrentTime);
  }
}

void TX11Presenter::WindowActivated(HWND wnd) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  if (!native || native->OverrideRedirect || FFocus == native->Window || FFocusAsked == native->Window) return;
  if (native->Mapped)
    RequestFocus(*native);
  else
    native->WantFocus = true;
}

void TX11Presenter::WindowTextChanged(HWND wnd) {
  const std::string title = GetWindowText(wnd);
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  if (TNative* native = Find(wnd)) SetNames(*native, title);
}

void TX11Presenter::WindowStateChanged(HWND wnd) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  if (!native || native->OverrideRedirect) return;
  const bool iconic = IsIconic(wnd), zoomed = IsZoomed(wnd);
  if (iconic && !native->Iconic) XIconifyWindow(FDisplay.Get(), native->Window, FDisplay.Screen());
  if (!iconic && native->Iconic) XMapRaised(FDisplay.Get(), native->Window);
  if (zoomed != native->Zoomed) {
    SetState(*native, "_NET_WM_STATE_MAXIMIZED_VERT", zoomed);
    SetState(*native, "_NET_WM_STATE_MAXIMIZED_HORZ", zoomed);
  }
  native->Iconic = iconic;
  native->Zoomed = zoomed;
}

// Both locks held. Area in surface coordinates.
void TX11Presenter::PutSurface(TNative& native, gdi::TSurface& surface, TRect area) {
  // Only the part the X window shows.
  TRect shown(native.Offset.X, native.Offset.Y, native.Offset.X + native.Shown.Width(),
              native.Offset.Y + native.Shown.Height());
  area = TRect(std::max({area.Left, shown.Left, 0}), std::max({area.Top, shown.Top, 0}),
               std::min({area.Right, shown.Right, surface.Width()}), std::min({area.Bottom, shown.Bottom, surface.Height()}));
  if (area.Width() <= 0 || area.Height() <= 0) return;
  const int dx = area.Left - native.Offset.X, dy = area.Top - native.Offset.Y;
  if (surface.BottomUp()) {
    for (int y = area.Top; y < area.Bottom; ++y)
      FDisplay.PutPixels(native.Window, FGc, surface.Row(y) + area.Left, surface.Width(), area.Width(), 1, dx,
                         dy + (y - area.Top));
    return;
  }
  FDisplay.PutPixels(native.Window, FGc, surface.Row(area.Top) + area.Left, surface.Width(), area.Width(), area.Height(),
                     dx, dy);
}

void TX11Presenter::Present(HWND wnd, gdi::TSurface& surface) {
  TRect damage = surface.TakeDamage();
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(wnd);
  // An unmapped window is put whole from its surface when it is exposed.
  if (!native || !native->Mapped) return;
  PutSurface(*native, surface, damage);
}

void TX11Presenter::CaptureChanged(HWND capture) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  Display* d = FDisplay.Get();
  TNative* native = capture ? Find(GetAncestor(capture, GA_ROOT)) : nullptr;
  if (native && native->Mapped)
    XGrabPointer(d, native->Window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask,
                 GrabModeAsync, GrabModeAsync, 0, FCursor, CurrentTime);
  else
    XUngrabPointer(d, CurrentTime);
}

void TX11Presenter::CursorChanged(HCURSOR cursor) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  Display* d = FDisplay.Get();
  unsigned long shape = 0;
  if (!cursor) {
    // No cursor: an empty one.
    auto it = FCursors.find(-1);
    if (it == FCursors.end()) {
      char bits = 0;
      Pixmap blank = XCreateBitmapFromData(d, FDisplay.Root(), &bits, 1, 1);
      XColor black{};
      it = FCursors.emplace(-1, XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0)).first;
      XFreePixmap(d, blank);
    }
    shape = it->second;
  } else {
    const unsigned int font = FontCursorOf(os::StandardCursorId(cursor));
    auto it = FCursors.find(static_cast<int>(font));
    if (it == FCursors.end()) it = FCursors.emplace(static_cast<int>(font), XCreateFontCursor(d, font)).first;
    shape = it->second;
  }
  if (shape == FCursor) return;
  FCursor = shape;
  for (auto& [wnd, native] : FNatives) XDefineCursor(d, native->Window, shape);
}

bool TX11Presenter::MoveResize(HWND wnd, TPoint point, long direction) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  TNative* native = Find(GetAncestor(wnd, GA_ROOT));
  if (direction < 0 || !native || !native->Mapped || native->OverrideRedirect || !Supported("_NET_WM_MOVERESIZE"))
    return false;
  Display* d = FDisplay.Get();
  // The desktop takes the pointer over for the drag.
  XUngrabPointer(d, CurrentTime);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = native->Window;
  e.xclient.message_type = FDisplay.Atom("_NET_WM_MOVERESIZE");
  e.xclient.format = 32;
  e.xclient.data.l[0] = point.X;
  e.xclient.data.l[1] = point.Y;
  e.xclient.data.l[2] = direction;
  e.xclient.data.l[3] = Button1;
  e.xclient.data.l[4] = kSourceApplication;
  XSendEvent(d, FDisplay.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  return true;
}

bool TX11Presenter::BeginMoveDrag(HWND wnd, TPoint point) { return MoveResize(wnd, point, kMoveResizeMove); }

bool TX11Presenter::BeginSizeDrag(HWND wnd, UINT edge, TPoint point) { return MoveResize(wnd, point, SizeDirection(edge)); }

void TX11Presenter::Beep(UINT) {
  TX11Display::TLock lock(FDisplay);
  XBell(FDisplay.Get(), 0);
}

std::vector<os::TMonitorArea> TX11Presenter::Monitors() {
  TX11Display::TLock lock(FDisplay);
  Display* d = FDisplay.Get();
  os::TMonitorArea area;
  area.Bounds = TRect(0, 0, DisplayWidth(d, FDisplay.Screen()), DisplayHeight(d, FDisplay.Screen()));
  area.WorkArea = area.Bounds;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, FDisplay.Root(), FDisplay.Atom("_NET_WORKAREA"), 0, 4, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success && data) {
    if (count >= 4) {
      auto* v = reinterpret_cast<long*>(data);
      area.WorkArea = TRect(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                            static_cast<int>(v[1] + v[3]));
    }
    XFree(data);
  }
  return {area};
}

// ---- Reader thread: the display is locked; the presenter's lock is taken second. ----

bool TX11Presenter::HandleEvent(XEvent& e) {
  if (e.type == PropertyNotify && e.xproperty.window == FDisplay.Root()) {
    if (e.xproperty.atom == FDisplay.Atom("_NET_WORKAREA")) {
      os::TInputEvent input;
      input.Kind = os::TInputEvent::SettingChange;
      input.Key = kSpiSetWorkArea;
      os::PostInput(input);
    }
    return false;  // others may want the root's properties too
  }
  std::lock_guard<std::mutex> g(FLock);
  auto it = FByWindow.find(e.xany.window);
  if (it == FByWindow.end()) return false;
  TNative& native = *it->second;
  os::TInputEvent input;
  input.Wnd = native.Wnd;
  switch (e.type) {
    case MotionNotify:
      input.Kind = os::TInputEvent::MouseMove;
      input.Pos = TPoint(e.xmotion.x_root, e.xmotion.y_root);
      os::PostInput(input);
      break;
    case EnterNotify:
    case LeaveNotify:
      // Crossings tell where the pointer went, so hover and leave tracking follow it.
      if (e.xcrossing.mode != NotifyNormal) break;
      input.Kind = os::TInputEvent::MouseMove;
      input.Pos = TPoint(e.xcrossing.x_root, e.xcrossing.y_root);
      os::PostInput(input);
      break;
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& b = e.xbutton;
      input.Pos = TPoint(b.x_root, b.y_root);
      SyncModifiers(b.state);
      if (b.button == Button4 || b.button == Button5) {
        if (e.type == ButtonRelease) break;
        input.Kind = os::TInputEvent::Wheel;
        input.WheelDelta = b.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
      } else if (b.button >= Button1 && b.button <= Button3) {
        input.Kind = e.type == ButtonPress ? os::TInputEvent::ButtonDown : os::TInputEvent::ButtonUp;
        input.Button = b.button == Button1 ? os::TMouseButton::Left
                       : b.button == Button2 ? os::TMouseButton::Middle
                                             : os::TMouseButton::Right;
      } else {
        break;
      }
      os::PostInput(input);
      break;
    }
    case KeyPress:
    case KeyRelease:
      Key(native, e);
      break;
    case FocusIn:
    case FocusOut:
      Focus(native, e);
      break;
    case ClientMessage:
      if (e.xclient.message_type != FDisplay.Atom("WM_PROTOCOLS")) break;
      if (static_cast<XAtom>(e.xclient.data.l[0]) == FDisplay.Atom("WM_DELETE_WINDOW")) {
        input.Kind = os::TInputEvent::Close;
        os::PostInput(input);
      } else if (static_cast<XAtom>(e.xclient.data.l[0]) == FDisplay.Atom("_NET_WM_PING")) {
        XEvent pong = e;
        pong.xclient.window = FDisplay.Root();
        XSendEvent(FDisplay.Get(), FDisplay.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &pong);
      }
      break;
    case ConfigureNotify:
      Configured(native, e);
      break;
    case MapNotify:
      native.Mapped = true;
      if (native.WantFocus) {
        native.WantFocus = false;
        RequestFocus(native);
      }
      break;
    case UnmapNotify:
      native.Mapped = false;
      break;
    case Expose: {
      const XExposeEvent& x = e.xexpose;
      TRect part(x.x + native.Offset.X, x.y + native.Offset.Y, x.x + native.Offset.X + x.width,
                 x.y + native.Offset.Y + x.height);
      const bool first = native.Exposed.Width() <= 0 || native.Exposed.Height() <= 0;
      native.Exposed = first ? part
                             : TRect(std::min(native.Exposed.Left, part.Left), std::min(native.Exposed.Top, part.Top),
                                     std::max(native.Exposed.Right, part.Right), std::max(native.Exposed.Bottom, part.Bottom));
      if (!first) break;
      HWND wnd = native.Wnd;
      FGui.Post([this, wnd] {
        std::shared_ptr<gdi::TSurface> surface = os::SurfaceOf(wnd);
        TX11Display::TLock lock(FDisplay);
        std::lock_guard<std::mutex> g(FLock);
        TNative* target = Find(wnd);
        if (!target) return;
        TRect area = target->Exposed;
        target->Exposed = TRect();
        if (surface) PutSurface(*target, *surface, area);
      });
      break;
    }
    default:
      break;
  }
  return true;
}

// The modifier keys as the event found them: a change the program was not told of (pressed
// or released while another client had the keyboard) is reported first, so GetKeyState
// agrees. What was reported is counted as it is posted, ahead of the program's queue.
void TX11Presenter::SyncModifiers(unsigned int state) {
  for (const TModifier& m : kModifiers) {
    const bool down = (state & m.Mask) != 0;
    if (down == ((FModifiers & m.Mask) != 0)) continue;
    PostModifier(m, down);
  }
}

void TX11Presenter::PostModifier(const TModifier& m, bool down) {
  FModifiers = down ? (FModifiers | m.Mask) : (FModifiers & ~m.Mask);
  os::TInputEvent input;
  input.Kind = down ? os::TInputEvent::KeyDown : os::TInputEvent::KeyUp;
  input.Key = m.Key;
  os::PostInput(input);
}

void TX11Presenter::Key(TNative& native, XEvent& e) {
  XKeyEvent& k = e.xkey;
  std::string text;
  KeySym effective = 0;
  if (e.type == KeyPress) {
    char buffer[64];
    if (native.Ic) {
      int status = 0;
      int n = Xutf8LookupString(native.Ic, &k, buffer, sizeof buffer - 1, &effective, &status);
      if (status == XBufferOverflow) {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        n = Xutf8LookupString(native.Ic, &k, big.data(), n, &effective, &status);
        text.assign(big.data(), static_cast<size_t>(std::max(0, n)));
      } else if (status == XLookupChars || status == XLookupBoth) {
        text.assign(buffer, static_cast<size_t>(std::max(0, n)));
      }
      if (status != XLookupKeySym && status != XLookupBoth) effective = 0;
    } else {
      int n = XLookupString(&k, buffer, sizeof buffer - 1, &effective, nullptr);
      if ((effective & 0xFF000000) == 0x01000000)
        rtl::AppendUtf8(text, static_cast<char32_t>(effective & 0x00FFFFFF));
      else
        text = Latin1ToUtf8(buffer, n);
    }
  } else {
    XLookupString(&k, nullptr, 0, &effective, nullptr);
  }
  const KeySym base = XLookupKeysym(&k, 0);
  // The key's own code follows its first level (so a letter key names its letter in any
  // layout), except on the keypad, where Num Lock decides.
  UINT vk = IsKeypadKeysym(base) ? VirtualKeyOfKeysym(effective) : VirtualKeyOfKeysym(base);
  if (!vk) vk = VirtualKeyOfKeysym(effective);
  if (!vk && !text.empty()) {
    // Text with no key code of its own: committed by the input method, or typed on a key of a
    // layout without Latin letters.
    os::TInputEvent input;
    input.Kind = os::TInputEvent::Characters;
    input.Wnd = native.Wnd;
    input.Text = text;
    os::PostInput(input);
    return;
  }
  if (!vk) return;
  // Delete types nothing, as on the platform.
  if (vk == VK_DELETE) text.clear();
  SyncModifiers(k.state);
  for (const TModifier& m : kModifiers)
    if (m.Key == vk) FModifiers = e.type == KeyPress ? (FModifiers | m.Mask) : (FModifiers & ~m.Mask);
  os::TInputEvent input;
  input.Kind = e.type == KeyPress ? os::TInputEvent::KeyDown : os::TInputEvent::KeyUp;
  input.Wnd = native.Wnd;
  input.Key = vk;
  input.ScanCode = k.keycode >= 8 ? k.keycode - 8 : 0;
  input.Text = text;
  os::PostInput(input);
}

void TX11Presenter::Focus(TNative& native, XEvent& e) {
  const XFocusChangeEvent& f = e.xfocus;
  if (f.mode == NotifyGrab || f.mode == NotifyUngrab) return;
  if (f.detail == NotifyPointer || f.detail == NotifyPointerRoot || f.detail == NotifyDetailNone || f.detail == NotifyInferior)
    return;
  // A change from before the program's last request is old news: that request brings its own.
  if (f.serial < FFocusSerial) return;
  if (e.type == FocusIn) {
    if (native.Ic) XSetICFocus(native.Ic);
    FFocus = native.Window;
    const bool asked = FFocusAsked == native.Window;
    FFocusAsked = 0;
    if (asked) return;  // the program made this window active itself
    os::TInputEvent input;
    input.Kind = os::TInputEvent::Activate;
    input.Wnd = native.Wnd;
    os::PostInput(input);
    return;
  }
  if (native.Ic) XUnsetICFocus(native.Ic);
  if (FFocus == native.Window) FFocus = 0;
  // Focus on its way to the window the program asked for, or to another window of ours right
  // away, leaves the program active.
  if (FFocusAsked && FFocusAsked != native.Window) return;
  FFocusAsked = 0;
  if (XEventsQueued(FDisplay.Get(), QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(FDisplay.Get(), &next);
    if (next.type == FocusIn && FByWindow.count(next.xfocus.window)) return;
  }
  os::TInputEvent input;
  input.Kind = os::TInputEvent::Deactivate;
  os::PostInput(input);
}

// The desktop moved or resized the window (a drag, a maximize); the program's own requests
// come back too and change nothing.
void TX11Presenter::Configured(TNative& native, XEvent& e) {
  const XConfigureEvent& c = e.xconfigure;
  if (c.serial < native.PlaceSerial) return;
  int x = c.x, y = c.y;
  if (!c.send_event) {
    Window child = 0;
    XTranslateCoordinates(FDisplay.Get(), native.Window, FDisplay.Root(), 0, 0, &x, &y, &child);
  }
  TRect at(x, y, x + c.width, y + c.height);
  if (at == native.Shown) return;
  native.Shown = at;
  os::TInputEvent input;
  input.Kind = os::TInputEvent::Moved;
  input.Wnd = native.Wnd;
  input.Rect = TRect(x - native.Offset.X, y - native.Offset.Y, x - native.Offset.X + c.width + native.Extra.cx,
                     y - native.Offset.Y + c.height + native.Extra.cy);
  os::PostInput(input);
}

}  // namespace backends
