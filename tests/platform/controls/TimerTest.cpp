#include "platform/controls/ExtCtrls.h"

#include "platform/classes/Filer.h"
#include "tests/support/HeadlessApp.h"

namespace {

// A root that a definition fills with timers bound to its handler.
class TTimerForm : public TComponent {
 public:
  using TComponent::TComponent;
  void Timer1Timer(TObject* Sender) { Seen(Sender); }
  TTimer* Timer1 = nullptr;
  TNotifyEvent Seen;
};

const classes::TPublished<TTimerForm, TComponent> TimerFormInfo([](classes::TPublisher<TTimerForm>& p) {
  p.Field("Timer1", &TTimerForm::Timer1);
  p.Method("Timer1Timer", &TTimerForm::Timer1Timer);
});

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
  Timer.SetEnabled(true);  // already enabled: the timer keeps its rhythm
  App.RunFor(300);
  EXPECT_EQ(Ticks, std::vector<int64_t>{1000});
  App.RunFor(200);
  Timer.SetEnabled(false);
  Timer.SetEnabled(true);  // enabled again: a new period from now
  App.RunFor(900);
  EXPECT_EQ(Ticks, std::vector<int64_t>{1000});
  App.RunFor(100);
  EXPECT_EQ(Ticks, (std::vector<int64_t>{1000, 2200}));
  App.RunFor(500);
  Timer.SetInterval(400);
  App.RunFor(400);
  EXPECT_EQ(Ticks, (std::vector<int64_t>{1000, 2200, 3100}));
  Timer.SetInterval(400);  // the same value changes nothing
  App.RunFor(400);
  EXPECT_EQ(Ticks.back(), 3500);
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

TEST_F(TimerTest, ADefinitionMakesTimersThatTickIntoTheBoundHandler) {
  const char* text =
      "object Form1: TTimerForm\n"
      "  object Timer1: TTimer\n"
      "    Interval = 250\n"
      "    OnTimer = Timer1Timer\n"
      "  end\n"
      "  object Timer2: TTimer\n"
      "    Enabled = False\n"
      "    OnTimer = Timer1Timer\n"
      "  end\n"
      "end\n";
  TTimerForm form(nullptr);
  std::vector<std::pair<TObject*, int64_t>> seen;
  form.Seen = [&](TObject* sender) { seen.emplace_back(sender, App.ElapsedMs()); };
  ReadComponentText(&form, text, "Form1.txt");
  ASSERT_NE(form.Timer1, nullptr);
  EXPECT_EQ(form.Timer1->Interval(), 250u);
  auto* timer2 = dynamic_cast<TTimer*>(form.FindComponent("Timer2"));
  ASSERT_NE(timer2, nullptr);
  EXPECT_FALSE(timer2->Enabled());
  EXPECT_EQ(timer2->Interval(), 1000u);

  App.RunFor(1000);
  TObject* t1 = form.Timer1;
  EXPECT_EQ(seen, (std::vector<std::pair<TObject*, int64_t>>{{t1, 250}, {t1, 500}, {t1, 750}, {t1, 1000}}));
  // Written back, only what differs from the defaults appears.
  EXPECT_EQ(WriteComponentText(&form), text);
}

}  // namespace
