#include "tests/support/HeadlessApp.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/controls/ExtCtrls.h"
#include "platform/rtl/Files.h"

namespace {

using test::HeadlessTest;
using test::THeadlessApp;

TEST_F(HeadlessTest, ASecondTimerTicksExactly86400TimesInAVirtualDay) {
  TTimer timer(nullptr);
  timer.SetInterval(1000);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  App.RunFor(test::kDay);
  EXPECT_EQ(ticks, 86400);
  EXPECT_EQ(App.ElapsedMs(), test::kDay);
}

TEST_F(HeadlessTest, TwoTimersInterleaveInDeadlineOrder) {
  std::vector<std::pair<char, int64_t>> ticks;
  TTimer fast(nullptr), slow(nullptr);
  fast.SetInterval(300);
  slow.SetInterval(700);
  fast.OnTimer = [&](TObject*) { ticks.push_back({'f', App.ElapsedMs()}); };
  slow.OnTimer = [&](TObject*) { ticks.push_back({'s', App.ElapsedMs()}); };
  App.RunFor(1500);
  std::vector<std::pair<char, int64_t>> expected = {{'f', 300}, {'f', 600}, {'s', 700}, {'f', 900},
                                                    {'f', 1200}, {'s', 1400}, {'f', 1500}};
  EXPECT_EQ(ticks, expected);
}

TEST_F(HeadlessTest, WallClockStartsAtTheChosenTimeAndFollowsVirtualTime) {
  EXPECT_DOUBLE_EQ(App.Clock().WallNow().Value, test::LocalDateTime(2026, 1, 5, 8, 0, 0).Value);
  App.RunFor(2 * test::kHour);
  EXPECT_NEAR(App.Clock().WallNow().Value, test::LocalDateTime(2026, 1, 5, 10, 0, 0).Value, 1e-9);
  App.RunUntilWallTime(test::LocalDateTime(2026, 1, 6, 0, 0, 30));
  EXPECT_EQ(App.ElapsedMs(), 16 * test::kHour + 30 * test::kSecond);
  App.RunUntilWallTime(test::LocalDateTime(2026, 1, 5, 9, 0, 0));  // already past: nothing
  EXPECT_EQ(App.ElapsedMs(), 16 * test::kHour + 30 * test::kSecond);
}

TEST_F(HeadlessTest, RunUntilStopsWhenTheConditionHoldsOrAtTheLimit) {
  TTimer timer(nullptr);
  timer.SetInterval(250);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  EXPECT_TRUE(App.RunUntil([&] { return ticks == 3; }, test::kMinute));
  EXPECT_EQ(App.ElapsedMs(), 750);
  EXPECT_FALSE(App.RunUntil([&] { return ticks == 1000; }, 1000));
  EXPECT_EQ(ticks, 7);
  EXPECT_EQ(App.ElapsedMs(), 1750);
}

TEST_F(HeadlessTest, PostedMessagesRunBeforeTimeMovesOn) {
  std::vector<std::string> order;
  HWND w = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_USER) order.push_back("posted@" + std::to_string(App.ElapsedMs()));
  });
  TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.OnTimer = [&](TObject*) {
    order.push_back("tick@" + std::to_string(App.ElapsedMs()));
    PostMessage(w, WM_USER, 0, 0);
  };
  App.RunFor(200);
  EXPECT_EQ(order, (std::vector<std::string>{"tick@100", "posted@100", "tick@200", "posted@200"}));
  DeallocateHWnd(w);
}

TEST(HeadlessAppTest, TheExecutableFolderIsATemporaryFolderRemovedAfterwards) {
  std::string dir;
  {
    THeadlessApp app;
    dir = app.ExeDir();
    ASSERT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_EQ(app.ExePath(), dir + "ostrovel");
    EXPECT_EQ(Application->Title(), "Ostrovel");
    EXPECT_EQ(rtl::ExePath(), app.ExePath());
    std::FILE* f = std::fopen(app.PathInExeDir("config.ini").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  EXPECT_FALSE(std::filesystem::exists(dir));
  EXPECT_EQ(Application, nullptr);
}

TEST(HeadlessAppTest, AQuitLeftByOneTestDoesNotReachTheNext) {
  {
    THeadlessApp app;
    Application->Terminate();
  }
  THeadlessApp app;
  int ticks = 0;
  TTimer timer(nullptr);
  timer.OnTimer = [&](TObject*) { ++ticks; };
  app.RunFor(3000);
  EXPECT_FALSE(Application->Terminated());
  EXPECT_EQ(ticks, 3);
}

TEST(HeadlessAppTest, CrossThreadPostWakesABlockedRealTimeLoop) {
  THeadlessApp app(test::LocalDateTime(2026, 1, 5), THeadlessApp::RealTime);
  std::atomic<bool> handled{false};
  HWND w = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      handled = true;
      Application->Terminate();
    }
  });
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PostMessage(w, WM_USER + 1, 0, 0);
  });
  Application->Run();  // blocks with no timer at all until the post arrives
  poster.join();
  EXPECT_TRUE(handled);
  EXPECT_TRUE(Application->Terminated());
  DeallocateHWnd(w);
}

TEST(HeadlessAppTest, RealTimeRunForReturnsAfterItsTime) {
  THeadlessApp app(test::LocalDateTime(2026, 1, 5), THeadlessApp::RealTime);
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  EXPECT_TRUE(app.RunUntil([&] { return ticks >= 2; }, 10 * test::kSecond));
  app.RunFor(30);
  EXPECT_GE(app.ElapsedMs(), 30);
}

}  // namespace
