#include "platform/backends/PopupBalloons.h"

#include <cstdio>
#include <vector>

#include "platform/os/Focus.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"
#include "platform/shell/ShellApi.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

constexpr UINT kCallback = WM_APP + 9;
constexpr UINT_PTR kId = 1;

class PopupBalloonsTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    Owner = AllocateHWnd([this](TMessage& m) {
      if (m.Msg == kCallback) Notices.push_back(static_cast<UINT>(m.LParam));
    });
    shell::SetTrayHost(&Balloons);
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_ADD, &data);
  }
  void TearDown() override {
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_DELETE, &data);
    shell::SetTrayHost(nullptr);
    DeallocateHWnd(Owner);
  }
  NOTIFYICONDATAA Data() {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Owner;
    data.uID = kId;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = kCallback;
    return data;
  }
  void ShowBalloon(const char* title, const char* text, UINT timeoutMs, DWORD infoFlags = NIIF_NONE) {
    NOTIFYICONDATAA data = Data();
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = infoFlags;
    std::snprintf(data.szInfoTitle, sizeof data.szInfoTitle, "%s", title);
    std::snprintf(data.szInfo, sizeof data.szInfo, "%s", text);
    data.uTimeout = timeoutMs;
    Shell_NotifyIconA(NIM_MODIFY, &data);
    App.ProcessMessages();
  }
  HWND Popup() { return Balloons.BalloonWindow(Owner, kId); }

  // The icon sits at the bottom right, as in a panel along the bottom of the screen.
  std::optional<TRect> IconAt = TRect(1200, 1000, 1224, 1024);
  shell::TrayHost Inner;
  backends::TPopupBalloons Balloons{Inner, [this](HWND, UINT_PTR) { return IconAt; }};
  HWND Owner = nullptr;
  std::vector<UINT> Notices;
};

TEST_F(PopupBalloonsTest, ABalloonShowsAboveTheIconWithoutTakingTheFocusAndTimesOut) {
  ShowBalloon("Announcement", "The shop closes in ten minutes.", 5000);
  HWND popup = Popup();
  ASSERT_TRUE(popup);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_NE(GetActiveWindow(), popup);
  TRect r;
  GetWindowRect(popup, &r);
  const TRect work = os::WorkAreaAt(TPoint(1212, 1000));
  EXPECT_LE(r.Bottom, 1000);  // above the icon
  EXPECT_LE(r.Right, work.Right);
  EXPECT_GE(r.Top, work.Top);
  EXPECT_EQ(Notices, std::vector<UINT>{NIN_BALLOONSHOW});
  App.RunFor(4900);
  EXPECT_TRUE(Popup());
  App.RunFor(200);
  EXPECT_FALSE(Popup());
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(Notices, (std::vector<UINT>{NIN_BALLOONSHOW, NIN_BALLOONTIMEOUT}));
}

// Kind 4 shows the tray icon's own picture (here the program's loudspeaker) left of the texts.
TEST_F(PopupBalloonsTest, ABalloonOfKindFourShowsTheIconsPicture) {
  NOTIFYICONDATAA data = Data();
  data.uFlags = NIF_ICON;
  data.hIcon = Application->Icon()->Handle();
  Shell_NotifyIconA(NIM_MODIFY, &data);
  ShowBalloon("Ostrovel", "正在后台运行...", 10000, NIIF_USER);
  ASSERT_TRUE(Popup());
  const gdi::TSurface withIcon = App.Presenter().Snapshot(Popup());
  EXPECT_TRUE(test::MatchesSnapshot(withIcon, "popup_balloon_icon"));
  // Without kind 4 the same balloon has no picture.
  ShowBalloon("Ostrovel", "正在后台运行...", 10000, NIIF_NONE);
  const test::TImageDifference d = test::CompareSurfaces(withIcon, App.Presenter().Snapshot(Popup()));
  EXPECT_TRUE(!d.SameSize || d.Pixels > 0);
}

TEST_F(PopupBalloonsTest, AClickOnTheBalloonIsReportedAndClosesIt) {
  ShowBalloon("", "Music paused", 0);
  HWND popup = Popup();
  ASSERT_TRUE(popup);
  test::TInputDriver input;
  input.Click(popup);
  App.RunFor(10);
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(Notices, (std::vector<UINT>{NIN_BALLOONSHOW, NIN_BALLOONUSERCLICK}));
  // No time-out follows a click.
  App.RunFor(20000);
  EXPECT_EQ(Notices.size(), 2u);
}

TEST_F(PopupBalloonsTest, HiddenReplacedAndRemovedBalloons) {
  ShowBalloon("One", "first", 0);
  HWND first = Popup();
  ShowBalloon("Two", "second", 0);
  EXPECT_FALSE(IsWindow(first));
  ASSERT_TRUE(Popup());
  // The program takes it away: an empty balloon text.
  ShowBalloon("", "", 0);
  EXPECT_FALSE(Popup());
  ShowBalloon("Three", "third", 0);
  NOTIFYICONDATAA data = Data();
  Shell_NotifyIconA(NIM_DELETE, &data);
  App.ProcessMessages();
  EXPECT_FALSE(Popup());
  // A replaced balloon is hidden first, as the tray service does it.
  EXPECT_EQ(Notices, (std::vector<UINT>{NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONSHOW,
                                        NIN_BALLOONHIDE}));
}

TEST_F(PopupBalloonsTest, WithoutTheIconsPlaceTheBalloonSitsInTheCornerOfTheWorkArea) {
  IconAt.reset();
  ShowBalloon("Title", "Text", 0);
  ASSERT_TRUE(Popup());
  TRect r;
  GetWindowRect(Popup(), &r);
  const TRect work = os::WorkAreaAt(TPoint(0, 0));
  EXPECT_LE(r.Right, work.Right);
  EXPECT_LE(r.Bottom, work.Bottom);
  EXPECT_GT(r.Left, work.Right - 400);
  EXPECT_GT(r.Top, work.Bottom - 200);
}

}  // namespace
