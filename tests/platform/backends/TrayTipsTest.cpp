#include "platform/backends/TrayTips.h"

#include "platform/os/Focus.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/Snapshot.h"

namespace {

using backends::TTrayTips;

class TrayTipsTest : public test::HeadlessTest {
 protected:
  // An icon in a panel along the bottom of the screen.
  const TRect IconAt{1200, 1000, 1224, 1024};
  TTrayTips Tips;
};

TEST_F(TrayTipsTest, TheTipShowsAboveTheIconOnceThePointerRestsAndGoesWhenItLeaves) {
  Tips.Enter("Ostrovel", IconAt);
  App.RunFor(TTrayTips::kShowDelayMs - 10);
  EXPECT_EQ(Tips.Window(), nullptr) << "not before the pointer has rested";
  App.RunFor(20);
  HWND tip = Tips.Window();
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(IsWindowVisible(tip));
  EXPECT_NE(GetActiveWindow(), tip) << "it takes no focus";
  TRect r;
  GetWindowRect(tip, &r);
  EXPECT_LE(r.Bottom, IconAt.Top);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(tip), "tray_tip"));
  Tips.Leave();
  EXPECT_EQ(Tips.Window(), nullptr);
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(TrayTipsTest, ATipGoesByItselfAfterAWhileAndAnEmptyOneNeverShows) {
  Tips.Enter("正在后台运行...", IconAt);
  App.RunFor(TTrayTips::kShowDelayMs + 10);
  ASSERT_NE(Tips.Window(), nullptr);
  App.RunFor(TTrayTips::kShowForMs);
  EXPECT_EQ(Tips.Window(), nullptr);
  Tips.Enter("", IconAt);
  App.RunFor(TTrayTips::kShowDelayMs + 10);
  EXPECT_EQ(Tips.Window(), nullptr);
  // Leaving before the tip shows keeps it away.
  Tips.Enter("Ostrovel", IconAt);
  App.RunFor(TTrayTips::kShowDelayMs / 2);
  Tips.Leave();
  App.RunFor(TTrayTips::kShowDelayMs);
  EXPECT_EQ(Tips.Window(), nullptr);
}

}  // namespace
