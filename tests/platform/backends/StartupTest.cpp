#include "platform/backends/Startup.h"

#include "X11Fixture.h"
#include "platform/backends/HeadlessPresenter.h"
#include "platform/backends/PopupBalloons.h"
#include "platform/os/Presenter.h"
#include "platform/shell/Tray.h"

namespace {

TEST(Startup, WithoutADisplayTheProgramRunsHeadless) {
  test::THeadlessApp app;
  EXPECT_EQ(backends::StartPresenter(":4093"), backends::TPresenterKind::Headless);
  EXPECT_EQ(backends::CurrentPresenterKind(), backends::TPresenterKind::Headless);
  EXPECT_NE(dynamic_cast<backends::THeadlessPresenter*>(os::CurrentPresenter()), nullptr);
  backends::StopPresenter();
  EXPECT_EQ(os::CurrentPresenter(), nullptr);
}

class StartupTest : public test::X11Test {
 protected:
  void TearDown() override {
    backends::StopPresenter();
    X11Test::TearDown();
  }
};

TEST_F(StartupTest, ADisplayBringsTheX11PresenterTrayAndPopUpBalloonsWithoutANotificationService) {
  ASSERT_EQ(backends::StartPresenter(test::Server().Name(), "unix:path=/nonexistent/bus"), backends::TPresenterKind::X11);
  EXPECT_NE(os::CurrentPresenter(), nullptr);
  EXPECT_NE(dynamic_cast<backends::TPopupBalloons*>(&shell::CurrentTrayHost()), nullptr);
  // A second start replaces the first; the end removes everything.
  ASSERT_EQ(backends::StartPresenter(test::Server().Name(), "unix:path=/nonexistent/bus"), backends::TPresenterKind::X11);
  backends::StopPresenter();
  EXPECT_EQ(os::CurrentPresenter(), nullptr);
  EXPECT_EQ(dynamic_cast<backends::TPopupBalloons*>(&shell::CurrentTrayHost()), nullptr);
  EXPECT_EQ(backends::CurrentPresenterKind(), backends::TPresenterKind::Headless);
}

}  // namespace
