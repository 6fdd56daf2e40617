#include "platform/backends/X11Presenter.h"

#include "platform/backends/HeadlessPresenter.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"

#include "ExampleWindow.h"
#include "X11Fixture.h"
#include "platform/gdi/Colors.h"
#include "platform/os/Focus.h"
#include "platform/os/Painting.h"
#include "platform/os/Input.h"
#include "platform/os/Presenter.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"
#include "tests/support/Snapshot.h"

#include "XlibHeaders.h"
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// The part of a surface at R.
gdi::TSurface Crop(const gdi::TSurface& s, const TRect& r) {
  gdi::TSurface out(r.Width(), r.Height(), 0);
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) out.Set(x, y, s.Get(r.Left + x, r.Top + y));
  return out;
}

// The client area inside the window rectangle.
TRect ClientInWindow(HWND wnd) {
  TRect window, client;
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  TPoint origin(0, 0);
  ClientToScreen(wnd, &origin);
  return TRect(origin.X - window.Left, origin.Y - window.Top, origin.X - window.Left + client.Width(),
               origin.Y - window.Top + client.Height());
}

std::string Property(Display* d, Window w, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                         &after, &data) == Success && data) {
    value.assign(reinterpret_cast<char*>(data), format == 8 ? count : 0);
    if (format == 32) {
      // Atom lists are given by name, separated by spaces.
      for (unsigned long i = 0; i < count; ++i) {
        char* n = XGetAtomName(d, reinterpret_cast<Atom*>(data)[i]);
        value += (i ? " " : "") + std::string(n ? n : "?");
        if (n) XFree(n);
      }
    }
    XFree(data);
  }
  return value;
}

// A property of 32-bit items, as numbers.
std::vector<unsigned long> Cardinals(Display* d, Window w, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> value;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1 << 16, False, AnyPropertyType, &type, &format, &count,
                         &after, &data) == Success && data) {
    // Xlib hands 32-bit items out as longs, sign-extended.
    if (format == 32)
      for (unsigned long i = 0; i < count; ++i) value.push_back(reinterpret_cast<unsigned long*>(data)[i] & 0xFFFFFFFFul);
    XFree(data);
  }
  return value;
}

class X11PresenterTest : public test::X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Presenter = std::make_unique<backends::TX11Presenter>(*ProgramDisplay);
  }
  void TearDown() override {
    Example.reset();
    os::SetPresenter(nullptr);
    Presenter.reset();
    X11Test::TearDown();
  }

  // The example window shown through the X11 presenter, once its X window shows its surface.
  Window ShowExample() {
    os::SetPresenter(Presenter.get());
    Example = std::make_unique<test::TExampleWindow>(100, 80);
    ShowWindow(Example->Form, SW_SHOW);
    Window native = 0;
    EXPECT_TRUE(WaitUntil([&] {
      native = Presenter->NativeWindow(Example->Form);
      if (!native) return false;
      auto surface = os::SurfaceOf(Example->Form);
      TRect client = ClientInWindow(Example->Form);
      return test::CompareSurfaces(Crop(*surface, client), Client->Capture(native)).Pixels == 0;
    }));
    return native;
  }
  TPoint Centre(HWND wnd) {
    TRect r;
    GetWindowRect(wnd, &r);
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  std::unique_ptr<backends::TX11Presenter> Presenter;
  std::unique_ptr<test::TExampleWindow> Example;
};

TEST_F(X11PresenterTest, ExampleWindowShowsWhatTheHeadlessRenderingHas) {
  // Headless first: the same window's snapshot on the headless presenter.
  gdi::TSurface headless;
  TRect client;
  {
    backends::THeadlessPresenter offscreen;
    test::TExampleWindow alone(100, 80);
    ShowWindow(alone.Form, SW_SHOW);
    headless = offscreen.Snapshot(alone.Form);
    client = ClientInWindow(alone.Form);
  }
  Window native = ShowExample();
  ASSERT_NE(native, 0u);
  gdi::TSurface shown = Client->Capture(native);
  // The desktop frames a captioned window: the X window shows the client area, where it is.
  test::TImageDifference difference = test::CompareSurfaces(Crop(headless, client), shown);
  EXPECT_TRUE(difference.SameSize);
  EXPECT_EQ(difference.Pixels, 0);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(Client->Get(), native, Client->Root(), 0, 0, &x, &y, &child);
  TPoint origin(0, 0);
  ClientToScreen(Example->Form, &origin);
  EXPECT_EQ(TPoint(x, y), origin);
  EXPECT_EQ(shown.Get(1, 1), gdi::PixelOf(RGB(240, 240, 240)));  // the menu strip
}

TEST_F(X11PresenterTest, RepaintedPixelsReachTheScreen) {
  Window native = ShowExample();
  ASSERT_NE(native, 0u);
  SetWindowLongPtr(Example->Button, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(200, 0, 0)));
  InvalidateRect(Example->Button, nullptr, TRUE);
  TPoint at = Centre(Example->Button);
  TPoint origin(0, 0);
  ClientToScreen(Example->Form, &origin);
  EXPECT_TRUE(WaitUntil([&] {
    return Client->Capture(native).Get(at.X - origin.X, at.Y - origin.Y) == gdi::PixelOf(RGB(200, 0, 0));
  }));
}

TEST_F(X11PresenterTest, UncoveredPartsAreShownAgainFromTheSurface) {
  Window native = ShowExample();
  ASSERT_NE(native, 0u);
  Display* d = Client->Get();
  TPoint origin(0, 0);
  ClientToScreen(Example->Form, &origin);
  // Another program's window covers part of ours and goes away; the server keeps no copy.
  XSetWindowAttributes cover{};
  cover.override_redirect = True;
  cover.background_pixel = 0;
  Window over = XCreateWindow(d, Client->Root(), origin.X + 20, origin.Y + 20, 120, 80, 0, CopyFromParent, InputOutput,
                              CopyFromParent, CWOverrideRedirect | CWBackPixel, &cover);
  XMapRaised(d, over);
  XSync(d, False);
  XDestroyWindow(d, over);
  XSync(d, False);
  auto surface = os::SurfaceOf(Example->Form);
  TRect client = ClientInWindow(Example->Form);
  EXPECT_TRUE(WaitUntil([&] { return test::CompareSurfaces(Crop(*surface, client), Client->Capture(native)).Pixels == 0; }));
}

TEST_F(X11PresenterTest, SyntheticClickAndKeysReachTheControl) {
  ASSERT_NE(ShowExample(), 0u);
  TPoint at = Centre(Example->Button);
  Client->Click(at.X, at.Y);
  ASSERT_TRUE(WaitUntil([&] { return Example->Received(WM_LBUTTONUP).size() == 1; }));
  EXPECT_EQ(Example->Received(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(GetFocus(), Example->Button);
  TPoint cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor, at);
  // Typed with Shift: the key's code, and the character through TranslateMessage.
  Client->Key(XK_Shift_L, true);
  Client->Key(XK_a, true);
  Client->Key(XK_a, false);
  Client->Key(XK_Shift_L, false);
  Client->Key(XK_Return, true);
  Client->Key(XK_Return, false);
  ASSERT_TRUE(WaitUntil([&] { return Example->Received(WM_CHAR).size() == 2; }));
  EXPECT_EQ(Example->Received(WM_CHAR), (std::vector<WPARAM>{'A', '\r'}));
  EXPECT_EQ(Example->Received(WM_KEYDOWN), (std::vector<WPARAM>{VK_SHIFT, 'A', VK_RETURN}));
  // A key of a layout without Latin letters still types its character.
  int low = 0, high = 0;
  XDisplayKeycodes(Client->Get(), &low, &high);
  KeyCode spare = 0;
  for (int k = high; k >= low && !spare; --k) {
    int count = 0;
    KeySym* syms = XGetKeyboardMapping(Client->Get(), static_cast<KeyCode>(k), 1, &count);
    if (syms && (count == 0 || syms[0] == NoSymbol)) spare = static_cast<KeyCode>(k);
    if (syms) XFree(syms);
  }
  ASSERT_NE(spare, 0);
  KeySym ya = XK_Cyrillic_ya;
  XChangeKeyboardMapping(Client->Get(), spare, 1, &ya, 1);
  Client->Sync();
  XTestFakeKeyEvent(Client->Get(), spare, True, CurrentTime);
  XTestFakeKeyEvent(Client->Get(), spare, False, CurrentTime);
  Client->Sync();
  ASSERT_TRUE(WaitUntil([&] { return Example->Received(WM_CHAR).size() == 3; }));
  EXPECT_EQ(Example->Received(WM_CHAR)[2], 0x44Fu);  // я
  KeySym none = NoSymbol;
  XChangeKeyboardMapping(Client->Get(), spare, 1, &none, 1);
  // The wheel turns into WM_MOUSEWHEEL for the focus window.
  Client->Button(5, true);
  Client->Button(5, false);
  ASSERT_TRUE(WaitUntil([&] { return Example->Received(WM_MOUSEWHEEL).size() == 1; }));
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Example->Received(WM_MOUSEWHEEL)[0]), -WHEEL_DELTA);
}

TEST_F(X11PresenterTest, DesktopCloseMoveAndFocusComeBackAsTheProgramsOwn) {
  Window native = ShowExample();
  ASSERT_NE(native, 0u);
  Display* d = Client->Get();
  // The close button of the desktop: WM_DELETE_WINDOW.
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = native;
  close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  XSendEvent(d, native, False, NoEventMask, &close);
  XFlush(d);
  EXPECT_TRUE(WaitUntil([&] { return Example->CloseRequests == 1; }));
  // A move by the desktop: the window rectangle follows, frame included.
  TRect before;
  GetWindowRect(Example->Form, &before);
  TRect client = ClientInWindow(Example->Form);
  XMoveWindow(d, native, 300, 200);
  XFlush(d);
  EXPECT_TRUE(WaitUntil([&] {
    TRect now;
    GetWindowRect(Example->Form, &now);
    return now.Left == 300 - client.Left && now.Top == 200 - client.Top;
  }));
  // The program's window has the X focus; another program taking it deactivates the program.
  Window focus = 0;
  int revert = 0;
  EXPECT_TRUE(WaitUntil([&] {
    XGetInputFocus(d, &focus, &revert);
    return focus == native;
  }));
  EXPECT_EQ(GetActiveWindow(), Example->Form);
  Window other = XCreateSimpleWindow(d, Client->Root(), 0, 0, 50, 50, 0, 0, 0);
  XMapWindow(d, other);
  XSync(d, False);
  XSetInputFocus(d, other, RevertToParent, CurrentTime);
  XFlush(d);
  EXPECT_TRUE(WaitUntil([] { return GetActiveWindow() == nullptr; }));
  XSetInputFocus(d, native, RevertToParent, CurrentTime);
  XFlush(d);
  EXPECT_TRUE(WaitUntil([&] { return GetActiveWindow() == Example->Form; }));
}

TEST_F(X11PresenterTest, PopUpsShownWithoutActivationAreOverrideRedirectAndLeaveTheFocus) {
  Window form = ShowExample();
  ASSERT_NE(form, 0u);
  Display* d = Client->Get();
  ASSERT_TRUE(WaitUntil([&] {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    return focus == form;
  }));
  HWND popup = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ExamplePart", "", WS_POPUP | WS_BORDER, 150, 150, 80, 60,
                              Example->Form, nullptr, nullptr, nullptr);
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  Window native = 0;
  ASSERT_TRUE(WaitUntil([&] { return (native = Presenter->NativeWindow(popup)) != 0; }));
  XWindowAttributes a;
  XGetWindowAttributes(d, native, &a);
  EXPECT_TRUE(a.override_redirect);
  EXPECT_EQ(TRect(a.x, a.y, a.x + a.width, a.y + a.height), TRect(150, 150, 230, 210));
  EXPECT_EQ(Property(d, native, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_POPUP_MENU");
  WaitUntil([] { return false; }, 100);
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(d, &focus, &revert);
  EXPECT_EQ(focus, form);
  EXPECT_EQ(GetActiveWindow(), Example->Form);
  // The form itself: a normal window with its title in UTF-8.
  EXPECT_EQ(Property(d, form, "_NET_WM_NAME"), "Example — пример");
  EXPECT_EQ(Property(d, form, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_NORMAL");
  // An owned dialog stays with its owner.
  HWND dialog = CreateWindowEx(0, "ExamplePart", "Settings", WS_POPUP | WS_CAPTION | WS_SYSMENU, 120, 120, 200, 120,
                               Example->Form, nullptr, nullptr, nullptr);
  ShowWindow(dialog, SW_SHOW);
  Window dialogWindow = 0;
  ASSERT_TRUE(WaitUntil([&] { return (dialogWindow = Presenter->NativeWindow(dialog)) != 0; }));
  Window transientFor = 0;
  XGetTransientForHint(d, dialogWindow, &transientFor);
  EXPECT_EQ(transientFor, form);
  EXPECT_EQ(Property(d, dialogWindow, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_DIALOG");
  DestroyWindow(dialog);
  ShowWindow(popup, SW_HIDE);
  EXPECT_TRUE(WaitUntil([&] {
    XWindowAttributes hidden;
    return XGetWindowAttributes(d, native, &hidden) && hidden.map_state == IsUnmapped;
  }));
  DestroyWindow(popup);
  EXPECT_TRUE(WaitUntil([&] {
    XWindowAttributes gone;
    return !XGetWindowAttributes(d, native, &gone);
  }));
}

TEST_F(X11PresenterTest, TheScreenIsTheDisplaysWithTheDesktopsWorkArea) {
  ASSERT_NE(ShowExample(), 0u);
  Display* d = Client->Get();
  long area[4] = {0, 24, 1024, 700};
  XChangeProperty(d, Client->Root(), XInternAtom(d, "_NET_WORKAREA", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(area), 4);
  XSync(d, False);
  // The windows hear of the new work area.
  EXPECT_TRUE(WaitUntil([&] { return Example->SettingChanges.size() == 1; }));
  EXPECT_EQ(Example->SettingChanges, std::vector<WPARAM>{0x002F});
  std::vector<os::TMonitorArea> monitors = Presenter->Monitors();
  ASSERT_EQ(monitors.size(), 1u);
  EXPECT_EQ(monitors[0].Bounds, TRect(0, 0, 1024, 768));
  EXPECT_EQ(monitors[0].WorkArea, TRect(0, 24, 1024, 724));
  XDeleteProperty(d, Client->Root(), XInternAtom(d, "_NET_WORKAREA", False));
  XSync(d, False);
  EXPECT_EQ(Presenter->Monitors()[0].WorkArea, TRect(0, 0, 1024, 768));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

TEST_F(X11PresenterTest, TheCaptureGrabsThePointer) {
  ASSERT_NE(ShowExample(), 0u);
  Display* d = Client->Get();
  auto grab = [&] {
    int r = XGrabPointer(d, Client->Root(), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime);
    if (r == GrabSuccess) XUngrabPointer(d, CurrentTime);
    XSync(d, False);
    return r;
  };
  SetCapture(Example->Button);
  EXPECT_TRUE(WaitUntil([&] { return grab() == AlreadyGrabbed; }));
  ReleaseCapture();
  EXPECT_TRUE(WaitUntil([&] { return grab() == GrabSuccess; }));
}

}  // namespace

namespace {

// A borderless, stay-on-top form that drags itself by its whole area (SC_MOVE from a press),
// as a form without a caption of its own does.
LRESULT DragFormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_LBUTTONDOWN) {
    SendMessage(wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return 0;
  }
  return DefWindowProc(wnd, msg, wParam, lParam);
}

TEST_F(X11PresenterTest, ABorderlessFormIsUndecoratedAndItsOwnDragsAreTheDesktops) {
  Display* d = Client->Get();
  // The desktop supports moves asked for by programs; the test watches the root for them.
  Atom supported = XInternAtom(d, "_NET_WM_MOVERESIZE", False);
  XChangeProperty(d, Client->Root(), XInternAtom(d, "_NET_SUPPORTED", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&supported), 1);
  XSelectInput(d, Client->Root(), SubstructureNotifyMask);
  XSync(d, False);
  Presenter = std::make_unique<backends::TX11Presenter>(*ProgramDisplay);
  os::SetPresenter(Presenter.get());
  WNDCLASS c;
  c.lpszClassName = "DragForm";
  c.lpfnWndProc = MakeWndProc(DragFormProc);
  c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  RegisterClass(c);
  HWND form = CreateWindowEx(WS_EX_TOPMOST, "DragForm", "Player", WS_POPUP, 200, 150, 160, 100, nullptr, nullptr, nullptr,
                             nullptr);
  ShowWindow(form, SW_SHOW);
  Window native = 0;
  ASSERT_TRUE(WaitUntil([&] {
    native = Presenter->NativeWindow(form);
    XWindowAttributes a;
    return native && XGetWindowAttributes(d, native, &a) && a.map_state == IsViewable;
  }));
  XWindowAttributes a;
  XGetWindowAttributes(d, native, &a);
  EXPECT_FALSE(a.override_redirect);
  EXPECT_EQ(TRect(a.x, a.y, a.x + a.width, a.y + a.height), TRect(200, 150, 360, 250));
  EXPECT_FALSE(Property(d, native, "_MOTIF_WM_HINTS").empty());
  EXPECT_NE(Property(d, native, "_NET_WM_STATE").find("_NET_WM_STATE_ABOVE"), std::string::npos);

  Client->MoveTo(250, 180);
  Client->Button(1, true);
  XEvent request{};
  const Atom moveResize = XInternAtom(d, "_NET_WM_MOVERESIZE", False);
  EXPECT_TRUE(WaitUntil([&] {
    while (XCheckTypedEvent(d, ClientMessage, &request))
      if (request.xclient.message_type == moveResize) return true;
    return false;
  }));
  Client->Button(1, false);
  EXPECT_EQ(request.xclient.window, native);
  EXPECT_EQ(request.xclient.data.l[0], 250);
  EXPECT_EQ(request.xclient.data.l[1], 180);
  EXPECT_EQ(request.xclient.data.l[2], 8);  // move
  DestroyWindow(form);
  UnregisterClass("DragForm");
  XDeleteProperty(d, Client->Root(), XInternAtom(d, "_NET_SUPPORTED", False));
}

}  // namespace

namespace {

// The desktop shows the program's icon for its windows, or a form's own; a form shown modally
// is transient for the window that opened it (the desktop keeps it above that one) only while
// it is modal.
TEST_F(X11PresenterTest, WindowsCarryTheirIconAndAModalFormIsTransientForItsOpener) {
  os::SetPresenter(Presenter.get());
  Display* d = Client->Get();
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBounds(100, 100, 300, 200);
  main->Show();
  Window mainWindow = 0;
  ASSERT_TRUE(WaitUntil([&] { return (mainWindow = Presenter->NativeWindow(main->Handle())) != 0; }));
  std::vector<unsigned long> icon = Cardinals(d, mainWindow, "_NET_WM_ICON");
  ASSERT_EQ(icon.size(), 2u + 32 * 32) << "the program's 32 x 32 loudspeaker";
  EXPECT_EQ(icon[0], 32u);
  EXPECT_EQ(icon[2 + 16 * 32 + 13], 0xFFDCE6F0u);

  TForm* dialog = MakeForm<TForm>(Application);
  dialog->SetBounds(150, 150, 120, 80);
  gdi::TImage red;
  red.Width = red.Height = 2;
  red.Pixels.assign(4, 0xFFFF0000u);
  dialog->Icon()->SetHandle(graphics::CreateIconFromImage(red, true));
  std::vector<unsigned long> dialogIcon;
  Window transientFor = 0;
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    Window w = 0;
    WaitUntil([&] { return (w = Presenter->NativeWindow(dialog->Handle())) != 0; });
    XGetTransientForHint(d, w, &transientFor);
    dialogIcon = Cardinals(d, w, "_NET_WM_ICON");
    dialog->SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(transientFor, mainWindow);
  EXPECT_EQ(dialogIcon, (std::vector<unsigned long>{2, 2, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u}))
      << "a form's own icon wins";
  // Shown again on its own, it stays above nothing.
  dialog->Show();
  WaitUntil([] { return false; }, 100);
  Window again = 0;
  EXPECT_FALSE(XGetTransientForHint(d, Presenter->NativeWindow(dialog->Handle()), &again) && again != 0);
  dialog->Hide();
}

}  // namespace
