#include "platform/controls/ExtCtrls.h"
#include "tests/support/HeadlessApp.h"

namespace {

class TimerTest : public test::HeadlessTest {
 protected:
  TimerTest() {
    Timer.OnTimer = [this](TObject* sender) {
      EXPECT_EQ(sender, &Timer);
      Ticks.push_back(App.ElapsedMs());
    };
  }
  TTimer Timer{nullptr};
  std::vector<int64_t> Ticks;
};

TEST_F(TimerTest, DefaultsToAnEnabledOneSecondTimer) {
  EXPECT_TRUE(Timer.Enabled());
  EXPECT_EQ(Timer.Interval(), 1000u);
  App.RunFor(3500);
  EXPECT_EQ(Ticks, (std::vector<int64_t>{1000, 2000, 3000}));
}

TEST_F(TimerTest, ReEnablingOrChangingTheIntervalRestartsThePeriod) {
  App.RunFor(700);
  Timer.SetEnabled(true);  // already enabled: restarts
  App.RunFor(900);
  EXPECT_TRUE(Ticks.empty());
  App.RunFor(100);
  EXPECT_EQ(Ticks, std::vector<int64_t>{1700});
  App.RunFor(500);
  Timer.SetInterval(400);
  App.RunFor(400);
  EXPECT_EQ(Ticks, (std::vector<int64_t>{1700, 2600}));
  Timer.SetInterval(400);  // the same value changes nothing
  App.RunFor(400);
  EXPECT_EQ(Ticks.back(), 3000);
}

TEST_F(TimerTest, DisabledOrIntervalZeroGivesNoTicks) {
  Timer.SetEnabled(false);
  App.RunFor(5000);
  EXPECT_TRUE(Ticks.empty());
  Timer.SetInterval(0);
  Timer.SetEnabled(true);
  App.RunFor(5000);
  EXPECT_TRUE(Ticks.empty());
  Timer.SetInterval(100);
  App.RunFor(250);
  EXPECT_EQ(Ticks, (std::vector<int64_t>{10100, 10200}));
}

TEST_F(TimerTest, ANestedLoopInsideTheHandlerDoesNotCallItAgain) {
  int depth = 0, maxDepth = 0, calls = 0;
  Timer.SetInterval(100);
  Timer.OnTimer = [&](TObject*) {
    ++calls;
    maxDepth = std::max(maxDepth, ++depth);
    if (calls == 1) App.RunFor(350);  // a handler that pumps messages for a while
    --depth;
  };
  App.RunFor(100);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(maxDepth, 1);
  App.RunFor(100);
  EXPECT_EQ(calls, 2) << "the timer ticks again once the handler returned";
}

TEST_F(TimerTest, AnExceptionFromTheHandlerGoesToTheApplication) {
  std::vector<std::string> reported;
  Application->OnException = [&](TObject* sender, const Exception& e) {
    EXPECT_EQ(sender, &Timer);
    reported.push_back(e.Message());
  };
  Timer.OnTimer = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
  App.RunFor(2000);
  EXPECT_EQ(reported.size(), 2u);
}

TEST_F(TimerTest, AHandlerMayFreeItsOwnTimer) {
  auto* own = new TTimer(nullptr);
  own->SetInterval(100);
  int calls = 0;
  own->OnTimer = [&](TObject* sender) {
    ++calls;
    delete static_cast<TTimer*>(sender);
  };
  App.RunFor(1000);
  EXPECT_EQ(calls, 1);
}

TEST_F(TimerTest, AnOwnedTimerIsFreedWithItsOwner) {
  auto* owner = new TComponent(nullptr);
  auto* owned = new TTimer(owner);
  int calls = 0;
  owned->OnTimer = [&](TObject*) { ++calls; };
  delete owner;
  App.RunFor(3000);
  EXPECT_EQ(calls, 0);
}

}  // namespace
