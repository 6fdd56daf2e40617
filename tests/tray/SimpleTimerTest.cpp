#include "tray/SimpleTimer.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/HeadlessApp.h"

namespace {

class SimpleTimerTest : public test::HeadlessTest {
 protected:
  TNotifyEvent Recorder(std::vector<std::pair<TObject*, int64_t>>& log) {
    return [this, &log](TObject* sender) { log.push_back({sender, App.ElapsedMs()}); };
  }
  std::vector<int64_t> Times() const {
    std::vector<int64_t> result;
    for (auto& [sender, at] : Log) result.push_back(at);
    return result;
  }
  std::vector<std::pair<TObject*, int64_t>> Log;
};

TEST_F(SimpleTimerTest, StartsStoppedWithItsAddressAsIdentifier) {
  TSimpleTimer plain;
  EXPECT_FALSE(plain.Enabled());
  EXPECT_EQ(plain.Interval(), 1000u);
  EXPECT_FALSE(plain.OneShot());
  EXPECT_FALSE(plain.OnTimer());
  EXPECT_EQ(plain.Id(), reinterpret_cast<UINT_PTR>(&plain));
  TSimpleTimer custom(250, Recorder(Log));
  EXPECT_FALSE(custom.Enabled());
  EXPECT_EQ(custom.Interval(), 250u);
  App.RunFor(1000);
  EXPECT_TRUE(Log.empty());
}

TEST_F(SimpleTimerTest, RunsAndRestartsItsPeriodWhenEnabledAgain) {
  TSimpleTimer timer(100, Recorder(Log));
  timer.SetEnabled(true);
  App.RunFor(250);
  timer.SetEnabled(true);  // restart at 250
  App.RunFor(150);
  EXPECT_EQ(Times(), (std::vector<int64_t>{100, 200, 350}));
  timer.SetEnabled(false);
  App.RunFor(1000);
  EXPECT_EQ(Log.size(), 3u);
}

TEST_F(SimpleTimerTest, EnablingWithIntervalZeroLeavesItStopped) {
  TSimpleTimer timer(0, Recorder(Log));
  EXPECT_FALSE(timer.Activate());
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Enabled());
  App.RunFor(5000);
  EXPECT_TRUE(Log.empty());
}

TEST_F(SimpleTimerTest, IntervalZeroPausesAndANewIntervalResumes) {
  TSimpleTimer timer(100, Recorder(Log));
  timer.SetEnabled(true);
  App.RunFor(150);
  timer.SetInterval(0);
  EXPECT_TRUE(timer.Enabled()) << "paused, not stopped";
  App.RunFor(1000);
  EXPECT_EQ(Times(), std::vector<int64_t>{100});
  timer.SetInterval(500);
  App.RunFor(1000);
  EXPECT_EQ(Times(), (std::vector<int64_t>{100, 1650, 2150}));
}

TEST_F(SimpleTimerTest, SettingTheSameIntervalDoesNotRestartThePeriod) {
  TSimpleTimer timer(100, Recorder(Log));
  timer.SetEnabled(true);
  App.RunFor(60);
  timer.SetInterval(100);
  App.RunFor(40);
  EXPECT_EQ(Times(), std::vector<int64_t>{100});
}

TEST_F(SimpleTimerTest, EmptyingTheHandlerPausesAndANewHandlerDoesNotResume) {
  TSimpleTimer timer(100, Recorder(Log));
  timer.SetEnabled(true);
  App.RunFor(100);
  timer.SetOnTimer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  timer.SetOnTimer(Recorder(Log));
  App.RunFor(1000);
  EXPECT_EQ(Times(), std::vector<int64_t>{100});
  timer.SetEnabled(true);
  App.RunFor(100);
  EXPECT_EQ(Times(), (std::vector<int64_t>{100, 1200}));
}

TEST_F(SimpleTimerTest, DeactivateReportsWhetherATimerWasKilled) {
  TSimpleTimer timer(100, Recorder(Log));
  EXPECT_FALSE(timer.Deactivate(true));
  EXPECT_TRUE(timer.Activate());
  EXPECT_TRUE(timer.Deactivate(false));
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.Deactivate(true));
  EXPECT_FALSE(timer.Enabled());
}

TEST_F(SimpleTimerTest, OneShotStopsAtTheFirstExpiry) {
  TSimpleTimer timer(100, nullptr);
  timer.SetOneShot(true);
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_FALSE(static_cast<TSimpleTimer*>(sender)->Enabled()) << "stopped before the handler runs";
    Log.push_back({sender, App.ElapsedMs()});
  });
  timer.SetEnabled(true);
  App.RunFor(1000);
  EXPECT_EQ(Times(), std::vector<int64_t>{100});
}

TEST_F(SimpleTimerTest, TheSharedWindowLivesExactlyWhileATimerExists) {
  EXPECT_EQ(SimpleTimerHandler(), nullptr);
  HWND first;
  {
    TSimpleTimer a, b;
    ASSERT_NE(SimpleTimerHandler(), nullptr);
    EXPECT_EQ(SimpleTimerHandler()->RefCount(), 2);
    first = SimpleTimerHandler()->WindowHandle();
    EXPECT_TRUE(IsWindow(first));
  }
  EXPECT_EQ(SimpleTimerHandler(), nullptr);
  EXPECT_FALSE(IsWindow(first));
  TSimpleTimer c;
  ASSERT_NE(SimpleTimerHandler(), nullptr);
  EXPECT_NE(SimpleTimerHandler()->WindowHandle(), first);
  EXPECT_TRUE(IsWindow(SimpleTimerHandler()->WindowHandle()));
  ReleaseTimerWindow();
  ReleaseTimerWindow();  // never below zero; the handler is gone after the first
  EXPECT_EQ(SimpleTimerHandler(), nullptr);
  AcquireTimerWindow();  // c's reference again, for its destructor
}

TEST_F(SimpleTimerTest, TwoTimersWithTheSameIntervalFireIndependentlyEachAsSender) {
  TSimpleTimer a(200, Recorder(Log)), b(200, Recorder(Log));
  a.SetEnabled(true);
  App.RunFor(100);
  b.SetEnabled(true);
  App.RunFor(400);
  std::vector<std::pair<TObject*, int64_t>> expected = {{&a, 200}, {&b, 300}, {&a, 400}, {&b, 500}};
  EXPECT_EQ(Log, expected);
}

TEST_F(SimpleTimerTest, AHandlerMayFreeItsTimerAndTheSharedWindowWithIt) {
  auto* timer = new TSimpleTimer(100, nullptr);
  int calls = 0;
  timer->SetOnTimer([&](TObject* sender) {
    ++calls;
    delete static_cast<TSimpleTimer*>(sender);
  });
  timer->SetEnabled(true);
  App.RunFor(1000);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(SimpleTimerHandler(), nullptr);
}

TEST_F(SimpleTimerTest, OtherMessagesGoToTheDefaultProcedure) {
  TSimpleTimer timer;
  HWND wnd = SimpleTimerHandler()->WindowHandle();
  EXPECT_EQ(SendMessage(wnd, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(SendMessage(wnd, WM_TIMER, 12345, 0), 0) << "a tick naming no live timer is ignored";
}

// Reachable from a global, so the leak checker leaves it alone.
TSimpleTimer* gLeftRunning = nullptr;

TEST(SimpleTimerEnd, AHandlerStillAliveAtProgramEndIsFreedWithoutHarm) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    gLeftRunning = new TSimpleTimer(100, [](TObject*) {});
    gLeftRunning->SetEnabled(true);
    std::exit(SimpleTimerHandler() && IsWindow(SimpleTimerHandler()->WindowHandle()) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
