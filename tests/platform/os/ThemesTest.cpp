// The visual-styles service: off unless switched, and every window hears of a change.
#include "platform/os/Themes.h"

#include <gtest/gtest.h>

#include "tests/platform/os/WindowFixture.h"

namespace {

class ThemesTest : public WmTest {};

TEST_F(ThemesTest, OffUntilSwitchedAndEveryWindowHearsOfAChange) {
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  HWND top = Top(WS_OVERLAPPEDWINDOW, {0, 0, 100, 80});
  HWND child = Child(top, WS_VISIBLE, {0, 0, 50, 40});
  HWND grandchild = Child(child, WS_VISIBLE, {0, 0, 20, 20});
  HWND other = Top(WS_POPUP, {200, 0, 240, 40});

  os::SetThemeActive(true);
  EXPECT_TRUE(IsThemeActive());
  EXPECT_TRUE(IsAppThemed());
  for (HWND w : {top, child, grandchild, other}) EXPECT_EQ(Count(w, WM_THEMECHANGED), 1);

  // Setting the answer it already has announces nothing.
  os::SetThemeActive(true);
  EXPECT_EQ(Count(top, WM_THEMECHANGED), 1);
  os::SetThemeActive(false);
  EXPECT_FALSE(IsThemeActive());
  for (HWND w : {top, child, grandchild, other}) EXPECT_EQ(Count(w, WM_THEMECHANGED), 2);
}

}  // namespace
