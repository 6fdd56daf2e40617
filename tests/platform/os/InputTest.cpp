#include <chrono>
#include <thread>

#include "platform/os/Cursors.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

using InputTest = WmTest;

TEST_F(InputTest, MouseMessagesCarryClientPointsKeyStatesAndTheScreenPoint) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 200));
  HWND child = Child(top, WS_VISIBLE | WS_BORDER, Bounds(10, 10, 80, 80));
  Input.MoveTo(child, TPoint(5, 6));
  Input.KeyDown(VK_CONTROL);
  Input.Press();
  Input.Release();
  Input.KeyUp(VK_CONTROL);
  Input.Click(child, TPoint(7, 8), os::TMouseButton::Right);
  std::vector<MSG> taken;
  MSG msg;
  while (PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) taken.push_back(msg);
  ASSERT_EQ(taken.size(), 6u);
  EXPECT_EQ(taken[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(taken[0].hwnd, child);
  EXPECT_EQ(LParamToPoint(taken[0].lParam), TPoint(5, 6));
  EXPECT_EQ(taken[0].pt, TPoint(100 + 10 + 1 + 5, 100 + 10 + 1 + 6));
  EXPECT_EQ(taken[1].message, WM_LBUTTONDOWN);
  EXPECT_EQ(taken[1].wParam, MK_LBUTTON | MK_CONTROL);
  EXPECT_EQ(taken[2].message, WM_LBUTTONUP);
  EXPECT_EQ(taken[2].wParam, MK_CONTROL);
  EXPECT_EQ(taken[4].message, WM_RBUTTONDOWN);
  EXPECT_EQ(taken[4].wParam, MK_RBUTTON);
  EXPECT_EQ(LParamToPoint(taken[5].lParam), TPoint(7, 8));
  PumpAll();
  // Over the border the window gets the non-client message, with the hit code and the screen point.
  Input.MoveTo(TPoint(110, 150));
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_NCMOUSEMOVE);
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTBORDER));
  EXPECT_EQ(LParamToPoint(msg.lParam), TPoint(110, 150));
}

TEST_F(InputTest, SetCursorAsksTheParentFirstThenUsesTheClassCursor) {
  WNDCLASS wc;
  wc.lpszClassName = "WmTextLike";
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpfnWndProc = MakeWndProc(DefWindowProc);
  RegisterClass(wc);
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
  HWND text = CreateWindowEx(0, "WmTextLike", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, nullptr, nullptr, nullptr);
  SetCursor(nullptr);
  Input.MoveTo(text);
  PumpAll();
  EXPECT_EQ(os::StandardCursorId(GetCursor()), 32513) << "the class cursor";
  EXPECT_EQ(LOWORD(Last(top, WM_SETCURSOR)->LParam), HTCLIENT);
  EXPECT_EQ(HIWORD(Last(top, WM_SETCURSOR)->LParam), WM_MOUSEMOVE);
  EXPECT_EQ(Last(top, WM_SETCURSOR)->WParam, reinterpret_cast<WPARAM>(text));
  // A parent that decides keeps the child from choosing.
  Handlers[top] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_SETCURSOR) return std::nullopt;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    return TRUE;
  };
  Input.MoveTo(text, TPoint(3, 3));
  PumpAll();
  EXPECT_EQ(os::StandardCursorId(GetCursor()), 32514);
  DestroyWindow(text);
  UnregisterClass("WmTextLike");
  // Cursors of the program's resources are found by name or number.
  HCURSOR hand = reinterpret_cast<HCURSOR>(&text);
  os::RegisterCursorResource("DRAGCOPY", hand);
  os::RegisterCursorResource("#7", hand);
  EXPECT_EQ(LoadCursor(nullptr, "dragcopy"), hand);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(7)), hand);
  EXPECT_EQ(os::StandardCursorId(hand), 0);
  EXPECT_EQ(LoadCursor(nullptr, "NOSUCHCURSOR"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST_F(InputTest, InputFromAnotherThreadWakesTheWaitingLoop) {
  rtl::SetClock(nullptr);  // real time: the loop really sleeps
  HWND w = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  PumpAll();
  std::thread presenter([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    os::TInputEvent press;
    press.Kind = os::TInputEvent::ButtonDown;
    press.Pos = TPoint(50, 50);
    os::PostInput(press);
  });
  MSG msg;
  do {
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    DispatchMessage(&msg);
  } while (msg.message != WM_LBUTTONDOWN);
  presenter.join();
  EXPECT_EQ(msg.hwnd, w);
  EXPECT_EQ(LParamToPoint(msg.lParam), TPoint(50, 50));
}

TEST_F(InputTest, APressActivatesUnlessTheWindowAnswersNoActivate) {
  HWND a = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND b = Top(WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100));
  HWND c = Top(WS_POPUP, Bounds(400, 0, 100, 100));
  ShowWindow(c, SW_SHOWNA);
  SetActiveWindow(a);
  PumpAll();
  Log.clear();
  Input.Click(b);
  PumpAll();
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(LOWORD(Last(b, WM_ACTIVATE)->WParam), WA_CLICKACTIVE);
  EXPECT_EQ(Count(b, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(MessagesOf(b, {WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN}),
            (std::vector<UINT>{WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN}));
  // A pop-up that keeps the active window active while taking clicks.
  Handlers[c] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return std::nullopt;
  };
  Input.Click(c);
  PumpAll();
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(Count(c, WM_LBUTTONDOWN), 1);
  Handlers[a] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEACTIVATE) return MA_ACTIVATEANDEAT;
    return std::nullopt;
  };
  Input.Click(a);
  PumpAll();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(Count(a, WM_LBUTTONDOWN), 0) << "the click that activated was eaten";
  EXPECT_EQ(Count(a, WM_LBUTTONUP), 1);
}

TEST_F(InputTest, TheCaptureWindowGetsAllMouseInput) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 100));
  HWND left = Child(top, WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND right = Child(top, WS_VISIBLE, Bounds(200, 0, 100, 100));
  Handlers[left] = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_LBUTTONDOWN) SetCapture(left);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    return std::nullopt;
  };
  PumpAll();
  Log.clear();
  Input.Drag(test::TInputDriver::ScreenPoint(left), test::TInputDriver::ScreenPoint(right));
  PumpAll();
  auto release = std::find_if(Log.begin(), Log.end(), [&](const TEntry& e) { return e.Wnd == left && e.Msg == WM_LBUTTONUP; });
  ASSERT_NE(release, Log.end());
  EXPECT_EQ(std::count_if(Log.begin(), release,
                          [&](const TEntry& e) {
                            return e.Wnd == right && (e.Msg == WM_SETCURSOR || (e.Msg >= WM_MOUSEFIRST && e.Msg <= WM_MOUSELAST));
                          }),
            0)
      << "while captured, no input reaches the window under the pointer";
  EXPECT_EQ(Count(right, WM_LBUTTONUP), 0);
  EXPECT_EQ(LParamToPoint(Last(left, WM_LBUTTONUP)->LParam), TPoint(250, 50)) << "in the capture window's coordinates";
  EXPECT_EQ(Last(left, WM_CAPTURECHANGED)->LParam, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_GE(Count(right, WM_MOUSEMOVE), 1) << "after the release the window under the pointer hears of it";
  SetCapture(left);
  EXPECT_EQ(SetCapture(right), left);
  EXPECT_EQ(Last(left, WM_CAPTURECHANGED)->LParam, reinterpret_cast<LPARAM>(right));
  ReleaseCapture();
}

struct TClickCase {
  const char* Name;
  bool DoubleClickClass;
  int64_t Interval;
  int Distance;
  os::TMouseButton Button;
  UINT Second;
};

TEST_F(InputTest, ASecondPressBecomesADoubleClickWithinTheTimeAndDistance) {
  const TClickCase cases[] = {
      {"quick, same place", true, 100, 0, os::TMouseButton::Left, WM_LBUTTONDBLCLK},
      {"at the double-click time", true, 500, 0, os::TMouseButton::Left, WM_LBUTTONDBLCLK},
      {"too slow", true, 501, 0, os::TMouseButton::Left, WM_LBUTTONDOWN},
      {"within the distance", true, 100, 2, os::TMouseButton::Left, WM_LBUTTONDBLCLK},
      {"too far", true, 100, 3, os::TMouseButton::Left, WM_LBUTTONDOWN},
      {"class without double clicks", false, 100, 0, os::TMouseButton::Left, WM_LBUTTONDOWN},
      {"right button", true, 100, 0, os::TMouseButton::Right, WM_RBUTTONDBLCLK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND w = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100), 0, c.DoubleClickClass ? kClass : kPlainClass);
    PumpAll();
    Input.Click(TPoint(50, 50), c.Button);
    Input.Wait(c.Interval);
    Input.Click(TPoint(50 + c.Distance, 50), c.Button);
    Clock.Advance(c.Interval);
    Log.clear();
    PumpAll();
    const UINT down = c.Button == os::TMouseButton::Left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    std::vector<UINT> presses = MessagesOf(w, {down, down + 2});
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[1], c.Second);
    DestroyWindow(w);
    Clock.Advance(1000);
  }
  HWND w = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  Input.DoubleClick(w);
  Input.Wait(50);
  Input.Click(w);
  Clock.Advance(200);
  Log.clear();
  PumpAll();
  EXPECT_EQ(MessagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}))
      << "a third press starts over";
}

TEST_F(InputTest, TrackMouseEventPostsOneLeaveWhenThePointerGoes) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 100));
  HWND a = Child(top, WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND b = Child(top, WS_VISIBLE, Bounds(200, 0, 100, 100));
  Handlers[a] = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEMOVE) {
      TRACKMOUSEEVENT t;
      t.dwFlags = TME_LEAVE;
      t.hwndTrack = a;
      TrackMouseEvent(&t);
    }
    return std::nullopt;
  };
  Input.MoveTo(a);
  Input.MoveTo(a, TPoint(10, 10));
  PumpAll();
  TRACKMOUSEEVENT query;
  query.dwFlags = TME_QUERY;
  TrackMouseEvent(&query);
  EXPECT_EQ(query.hwndTrack, a);
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 0);
  Input.MoveTo(b);
  Input.MoveTo(TPoint(150, 50));
  PumpAll();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);
  EXPECT_EQ(Count(b, WM_MOUSELEAVE), 0);
  query.dwFlags = TME_QUERY;
  TrackMouseEvent(&query);
  EXPECT_EQ(query.hwndTrack, nullptr) << "tracking ends with the leave";
  // Asked while the pointer is elsewhere, the leave comes at once.
  TRACKMOUSEEVENT t;
  t.dwFlags = TME_LEAVE;
  t.hwndTrack = b;
  TrackMouseEvent(&t);
  PumpAll();
  EXPECT_EQ(Count(b, WM_MOUSELEAVE), 1);
  // Cancelled tracking posts nothing.
  Input.MoveTo(a);
  PumpAll();
  t.hwndTrack = a;
  t.dwFlags = TME_LEAVE | TME_CANCEL;
  TrackMouseEvent(&t);
  Input.MoveTo(b);
  PumpAll();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);
}

TEST_F(InputTest, KeysGoToTheFocusWindowAndTranslateIntoCharacters) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND edit = Child(top, WS_VISIBLE, Bounds(0, 0, 50, 20));
  SetFocus(edit);
  Log.clear();
  Input.Type("aB中");
  PumpAll();
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const auto& e : Log)
    if (e.Wnd == edit && e.Msg >= WM_KEYFIRST && e.Msg <= WM_KEYLAST) keys.push_back({e.Msg, e.WParam});
  EXPECT_EQ(keys, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'},
                                                         {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'B'}, {WM_CHAR, 'B'},
                                                         {WM_KEYUP, 'B'}, {WM_KEYUP, VK_SHIFT}, {WM_CHAR, 0x4E2D}}));
  EXPECT_EQ(Last(edit, WM_KEYUP)->LParam & 0xC0000000, static_cast<LPARAM>(0xC0000000));

  // Alt combinations are system keys; the Alt state rides in bit 29.
  Log.clear();
  Input.KeyDown(VK_MENU);
  Input.Key('F');
  Input.KeyUp(VK_MENU);
  PumpAll();
  EXPECT_EQ(MessagesOf(edit, {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYUP}),
            (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_SYSKEYUP}));
  EXPECT_TRUE(Last(edit, WM_SYSCHAR)->LParam & (1 << 29));

  // A key-down message that is not translated types nothing.
  Log.clear();
  Input.Key('Q');
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_EQ(Count(edit, WM_CHAR), 0);
  EXPECT_EQ(Count(edit, WM_KEYDOWN), 1);
}

TEST_F(InputTest, GetKeyStateFollowsTheMessagesTakenAndTheAsyncStateTheInput) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  SetFocus(top);
  Input.KeyDown(VK_SHIFT);
  Input.KeyDown(VK_CAPITAL);
  Input.KeyUp(VK_CAPITAL);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "the message is not taken yet";
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  PumpAll();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1) << "Caps Lock toggled on";
  EXPECT_GE(GetKeyState(VK_CAPITAL), 0);
  Input.KeyUp(VK_SHIFT);
  PumpAll();
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  // Without a focus window, keys go to the active window as system keys.
  SetFocus(nullptr);
  Log.clear();
  Input.Key('X');
  PumpAll();
  EXPECT_EQ(MessagesOf(top, {WM_KEYDOWN, WM_SYSKEYDOWN}), (std::vector<UINT>{WM_SYSKEYDOWN}));
}

TEST_F(InputTest, TheWheelGoesToTheFocusWindowAndOnToItsParents) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
  HWND inner = Child(top, WS_VISIBLE, Bounds(0, 0, 50, 50));
  HWND other = Child(top, WS_VISIBLE, Bounds(100, 100, 50, 50));
  SetFocus(inner);
  Input.MoveTo(other);
  Input.Wheel(-2);
  PumpAll();
  ASSERT_NE(Last(inner, WM_MOUSEWHEEL), nullptr);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Last(inner, WM_MOUSEWHEEL)->WParam), -240);
  EXPECT_EQ(Count(other, WM_MOUSEWHEEL), 0);
  EXPECT_EQ(Count(top, WM_MOUSEWHEEL), 1) << "passed up by the default processing";
}

TEST_F(InputTest, ClipCursorConfinesThePointer) {
  TRect box(100, 100, 200, 150);
  ClipCursor(&box);
  Input.MoveTo(TPoint(500, 20));
  PumpAll();
  TPoint p;
  GetCursorPos(&p);
  EXPECT_EQ(p, TPoint(199, 100));
  ClipCursor(nullptr);
  Input.MoveTo(TPoint(500, 20));
  PumpAll();
  GetCursorPos(&p);
  EXPECT_EQ(p, TPoint(500, 20));
}

TEST_F(InputTest, AWindowBehindAModalOneTakesNoInput) {
  HWND owner = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  EnableWindow(owner, FALSE);
  Log.clear();
  int beeps = os::BeepCount();
  Input.Click(owner);
  PumpAll();
  EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(owner, WM_MOUSEACTIVATE), 0);
  EXPECT_EQ(static_cast<int16_t>(LOWORD(Last(owner, WM_SETCURSOR)->LParam)), HTERROR);
  EXPECT_EQ(os::BeepCount(), beeps + 1);
}

// The way pop-ups run their own loop: look at each message before it is dispatched, forward
// keys to the pop-up, and end on a press outside it, taking that press off the queue.
TEST_F(InputTest, ANestedLoopInspectsRemovesAndForwardsMessages) {
  HWND form = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 300));
  HWND button = Child(form, WS_VISIBLE, Bounds(10, 250, 50, 20));
  HWND popup = Top(WS_POPUP, Bounds(100, 100, 100, 100), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  Handlers[popup] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return std::nullopt;
  };
  SetFocus(form);
  PumpAll();
  SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Input.Click(popup);
  Input.Type("x");
  Input.Click(button);
  Input.Key('Y');
  Log.clear();
  bool ended = false;
  std::vector<UINT> forwarded;
  while (!ended) {
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      ASSERT_TRUE(false) << "the loop ran dry before the outside press";
      break;
    }
    const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN;
    if (press && msg.hwnd != popup && !IsChild(popup, msg.hwnd)) {
      PeekMessage(&msg, nullptr, msg.message, msg.message, PM_REMOVE);
      ended = true;
    } else if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      PeekMessage(&msg, nullptr, msg.message, msg.message, PM_REMOVE);
      forwarded.push_back(msg.message);
      SendMessage(popup, msg.message, msg.wParam, msg.lParam);
    } else {
      PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
      DispatchMessage(&msg);
    }
  }
  EXPECT_EQ(Count(popup, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(GetActiveWindow(), form) << "the click on the pop-up did not activate it";
  EXPECT_EQ(forwarded, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP})) << "untranslated: no characters";
  EXPECT_EQ(Count(popup, WM_KEYDOWN), 1);
  EXPECT_EQ(Count(button, WM_LBUTTONDOWN), 0) << "the outside press was taken off the queue";
  PumpAll();
  EXPECT_EQ(Count(button, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(button, WM_LBUTTONUP), 1) << "what followed the press is handled as usual";
  EXPECT_EQ(Count(form, WM_KEYDOWN), 1);
}

}  // namespace
