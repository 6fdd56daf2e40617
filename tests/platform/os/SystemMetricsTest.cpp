#include "platform/os/SystemMetrics.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

using SystemMetricsTest = WmTest;

TEST_F(SystemMetricsTest, TheHeadlessScreenAndItsWorkArea) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
  TRect work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, TRect(0, 0, 1280, 994)) << "room for a task bar";
  MONITORINFO info;
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(TPoint(5000, 5000), MONITOR_DEFAULTTONEAREST), &info));
  EXPECT_EQ(info.rcWork, work);
  EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
  EXPECT_EQ(MonitorFromPoint(TPoint(5000, 5000), MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &work, 0));
  NONCLIENTMETRICS metrics;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_EQ(metrics.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_FALSE(metrics.lfMessageFont.lfFaceName.empty());
  EXPECT_EQ(GetSystemMetrics(9999), 0);
}

class TTwoScreens : public os::TPresenter {
 public:
  std::vector<os::TMonitorArea> Monitors() override {
    return {{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)}, {TRect(1920, 0, 3200, 1024), TRect(1920, 0, 3200, 1024)}};
  }
  void Beep(UINT Type) override { Beeps.push_back(Type); }
  std::vector<UINT> Beeps;
};

TEST_F(SystemMetricsTest, APresenterMayReportTheRealMonitors) {
  TTwoScreens presenter;
  os::SetPresenter(&presenter);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3200);
  HWND w = Top(WS_POPUP, Bounds(2500, 100, 100, 100));
  MONITORINFO info;
  GetMonitorInfo(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &info);
  EXPECT_EQ(info.rcMonitor.Left, 1920);
  EXPECT_EQ(info.dwFlags, 0u);
  MessageBeep(MB_ICONEXCLAMATION);
  EXPECT_EQ(presenter.Beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
  os::SetPresenter(nullptr);
}

TEST_F(SystemMetricsTest, SessionEndAndSettingChangesReachTheTopLevelWindows) {
  HWND a = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
  HWND b = Top(WS_POPUP, Bounds(0, 0, 10, 10));
  HWND child = Child(a, WS_VISIBLE, Bounds(0, 0, 5, 5));
  Log.clear();
  os::TInputEvent colors;
  colors.Kind = os::TInputEvent::SysColorChange;
  os::PostInput(colors);
  PumpAll();
  EXPECT_EQ(Count(a, WM_SYSCOLORCHANGE) + Count(b, WM_SYSCOLORCHANGE), 2);
  EXPECT_EQ(Count(child, WM_SYSCOLORCHANGE), 0) << "top-level windows pass it on themselves";
  EXPECT_TRUE(os::EndSession(0));
  EXPECT_EQ(Last(b, WM_ENDSESSION)->WParam, static_cast<WPARAM>(TRUE));
  Handlers[b] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_QUERYENDSESSION) return FALSE;
    return std::nullopt;
  };
  EXPECT_FALSE(os::EndSession(0));
  EXPECT_EQ(Last(a, WM_ENDSESSION)->WParam, static_cast<WPARAM>(FALSE));
}

}  // namespace
