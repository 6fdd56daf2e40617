#include "tests/platform/os/WindowFixture.h"

namespace {

using FocusTest = WmTest;
using TSeq = std::vector<std::pair<HWND, UINT>>;
const std::vector<UINT> kActivation = {WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_SETFOCUS, WM_KILLFOCUS};

TEST_F(FocusTest, SwitchingTheActiveWindowDeactivatesActivatesThenMovesTheFocus) {
  HWND a = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND field = Child(a, WS_VISIBLE, Bounds(0, 0, 50, 20));
  HWND b = Top(WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100));
  SetFocus(field);
  EXPECT_EQ(GetActiveWindow(), a);
  Log.clear();
  EXPECT_EQ(SetActiveWindow(b), a);
  EXPECT_EQ(Sequence(kActivation), (TSeq{{a, WM_NCACTIVATE}, {a, WM_ACTIVATE}, {b, WM_NCACTIVATE}, {b, WM_ACTIVATE},
                                         {field, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
  EXPECT_EQ(Last(a, WM_ACTIVATE)->WParam, static_cast<WPARAM>(WA_INACTIVE));
  EXPECT_EQ(Last(a, WM_ACTIVATE)->LParam, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(Last(b, WM_ACTIVATE)->LParam, reinterpret_cast<LPARAM>(a));
  EXPECT_EQ(Last(b, WM_SETFOCUS)->WParam, reinterpret_cast<WPARAM>(field));
  EXPECT_EQ(Last(field, WM_KILLFOCUS)->WParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(GetFocus(), b);
  // Focusing a window inside an inactive top-level window activates that first.
  EXPECT_NE(SetFocus(field), nullptr);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), field);
}

TEST_F(FocusTest, TheProgramHearsWhenItBecomesActiveOrInactive) {
  HWND hidden = Top(WS_POPUP, Bounds(0, 0, 10, 10));
  HWND a = Top(WS_POPUP, Bounds(0, 0, 100, 100));
  Log.clear();
  ShowWindow(a, SW_SHOW);
  EXPECT_EQ(Count(hidden, WM_ACTIVATEAPP), 1) << "every top-level window, hidden ones too";
  EXPECT_EQ(Last(a, WM_ACTIVATEAPP)->WParam, static_cast<WPARAM>(TRUE));
  // The desktop activates another program, then ours again.
  os::TInputEvent away;
  away.Kind = os::TInputEvent::Deactivate;
  os::PostInput(away);
  PumpAll();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Last(a, WM_ACTIVATEAPP)->WParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(Last(a, WM_NCACTIVATE)->WParam, static_cast<WPARAM>(FALSE));
  os::TInputEvent back;
  back.Kind = os::TInputEvent::Activate;
  back.Wnd = a;
  os::PostInput(back);
  PumpAll();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(Count(hidden, WM_ACTIVATEAPP), 3);
}

TEST_F(FocusTest, ShowingWithoutActivationLeavesTheActiveWindow) {
  HWND a = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND popup = Top(WS_POPUP, Bounds(20, 20, 50, 50), WS_EX_TOOLWINDOW);
  HWND hint = Top(WS_POPUP, Bounds(30, 30, 50, 50), WS_EX_TOOLWINDOW);
  ShowWindow(popup, SW_SHOWNA);
  SetWindowPos(hint, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_EQ(WindowFromPoint(TPoint(40, 40)), hint);
  ShowWindow(popup, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), popup);
}

TEST_F(FocusTest, HidingOrDestroyingHandsTheFocusAndTheActivationOn) {
  HWND owner = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND field = Child(owner, WS_VISIBLE, Bounds(0, 0, 50, 20));
  SetFocus(field);
  ShowWindow(field, SW_HIDE);
  EXPECT_EQ(GetFocus(), owner) << "a hidden child gives the focus to its parent";
  ShowWindow(field, SW_SHOW);
  SetFocus(field);
  DestroyWindow(field);
  EXPECT_EQ(GetFocus(), owner);

  HWND dialog = CreateWindowEx(0, kClass, "dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 80, 80, owner, nullptr,
                               nullptr, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_EQ(WindowFromPoint(TPoint(50, 50)), dialog) << "above its owner";
  DestroyWindow(dialog);
  EXPECT_EQ(GetActiveWindow(), owner) << "the owner takes over when an owned window goes";
  EXPECT_EQ(GetFocus(), owner);
}

}  // namespace
