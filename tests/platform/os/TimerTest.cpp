#include "tests/platform/os/OsFixture.h"

namespace {

using TimerTest = OsTest;

// Runs the loop as an idle GUI thread would until the virtual clock reaches End.
void RunUntilTime(rtl::VirtualClock& clock, int64_t end, const std::function<void()>& pump) {
  for (;;) {
    pump();
    auto next = os::NextTimerDeadline();
    if (!next || *next > end) break;
    WaitMessage();  // moves virtual time to the deadline
  }
  clock.AdvanceTo(end);
}

TEST_F(TimerTest, TicksWhenDueAndNotBefore) {
  HWND w = RecordingWindow();
  ASSERT_NE(SetTimer(w, 5, 100, nullptr), 0u);
  Clock.Advance(99);
  EXPECT_EQ(Pump(), 0);
  Clock.Advance(1);
  EXPECT_EQ(Pump(), 1);
  ASSERT_EQ(Received.size(), 1u);
  EXPECT_EQ(Received[0].Msg, WM_TIMER);
  EXPECT_EQ(Received[0].WParam, 5u);
}

TEST_F(TimerTest, ASlowLoopSeesOneTickNotABacklog) {
  HWND w = RecordingWindow();
  SetTimer(w, 1, 100, nullptr);
  Clock.Advance(1050);
  EXPECT_EQ(Pump(), 1);
  Clock.Advance(49);
  EXPECT_EQ(Pump(), 0);
  Clock.Advance(1);  // the next tick keeps to the 100 ms grid
  EXPECT_EQ(Pump(), 1);
}

TEST_F(TimerTest, ResettingRestartsThePeriodAndKillStops) {
  HWND w = RecordingWindow();
  SetTimer(w, 1, 100, nullptr);
  Clock.Advance(80);
  SetTimer(w, 1, 100, nullptr);
  Clock.Advance(80);
  EXPECT_EQ(Pump(), 0);
  Clock.Advance(20);
  EXPECT_EQ(Pump(), 1);
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  Clock.Advance(1000);
  EXPECT_EQ(Pump(), 0);
}

TEST_F(TimerTest, PostedMessagesComeBeforeDueTimers) {
  HWND w = RecordingWindow();
  SetTimer(w, 1, 10, nullptr);
  Clock.Advance(10);
  PostMessage(w, WM_USER, 0, 0);
  Pump();
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_USER, WM_TIMER}));
}

TEST_F(TimerTest, TimersOfAWindowDieWithItAndForeignOrDeadWindowsAreRefused) {
  HWND w = RecordingWindow();
  SetTimer(w, 1, 10, nullptr);
  DestroyWindow(w);
  EXPECT_EQ(os::NextTimerDeadline(), std::nullopt);
  EXPECT_EQ(SetTimer(w, 1, 10, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(TimerTest, IdleLoopOnTheVirtualClockRunsTimersInDeadlineOrder) {
  HWND w = RecordingWindow();
  SetTimer(w, 3, 300, nullptr);
  SetTimer(w, 5, 500, nullptr);
  std::vector<std::pair<int64_t, WPARAM>> ticks;
  RunUntilTime(Clock, 1500, [&] {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER) ticks.push_back({Clock.MonotonicMs(), msg.wParam});
    }
  });
  std::vector<std::pair<int64_t, WPARAM>> expected = {{300, 3}, {500, 5}, {600, 3}, {900, 3},
                                                      {1000, 5}, {1200, 3}, {1500, 3}, {1500, 5}};
  EXPECT_EQ(ticks, expected);
  EXPECT_EQ(Clock.MonotonicMs(), 1500);
}

std::vector<std::pair<UINT_PTR, DWORD>> gProcCalls;
void RecordTimerProc(HWND, UINT msg, UINT_PTR id, DWORD tick) {
  if (msg == WM_TIMER) gProcCalls.push_back({id, tick});
}

TEST_F(TimerTest, ThreadTimersWithAProcedureCallItOnDispatch) {
  gProcCalls.clear();
  UINT_PTR a = SetTimer(nullptr, 0, 50, RecordTimerProc);
  UINT_PTR b = SetTimer(nullptr, 0, 50, RecordTimerProc);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(SetTimer(nullptr, a, 70, RecordTimerProc), a) << "an existing thread timer is re-set";
  Clock.Advance(60);
  Pump();
  ASSERT_EQ(gProcCalls.size(), 1u);
  EXPECT_EQ(gProcCalls[0].first, b);
  EXPECT_EQ(gProcCalls[0].second, 60u);
  Clock.Advance(10);
  Pump();
  ASSERT_EQ(gProcCalls.size(), 2u);
  EXPECT_EQ(gProcCalls[1].first, a);
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
}

TEST_F(TimerTest, AForgedTimerMessageDoesNotCallAnything) {
  gProcCalls.clear();
  MSG msg;
  msg.message = WM_TIMER;
  msg.wParam = 99;
  msg.lParam = reinterpret_cast<LPARAM>(&RecordTimerProc);
  DispatchMessage(&msg);
  EXPECT_TRUE(gProcCalls.empty());
}

}  // namespace
