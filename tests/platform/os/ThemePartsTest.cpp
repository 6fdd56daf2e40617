// The visual style's parts: no theme while visual styles are off, the known classes and parts,
// a face whose border and fill follow the state, the normal tool-bar button drawing nothing, and
// the arrows of the spin and drop-down parts.
#include "platform/os/ThemeParts.h"

#include <gtest/gtest.h>

#include "platform/os/Themes.h"
#include "tests/support/Pixels.h"

namespace {

class ThemePartsTest : public ::testing::Test {
 protected:
  ThemePartsTest() { os::SetThemeActive(true); }
  ~ThemePartsTest() override { os::SetThemeActive(false); }
};

TEST_F(ThemePartsTest, NoThemeWhileVisualStylesAreOffOrForAnUnknownClass) {
  os::SetThemeActive(false);
  EXPECT_EQ(OpenThemeData(nullptr, "BUTTON"), nullptr);
  os::SetThemeActive(true);
  EXPECT_NE(OpenThemeData(nullptr, "BUTTON"), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, "NOSUCH"), nullptr);
  // The first known class of the list.
  EXPECT_EQ(OpenThemeData(nullptr, "NOSUCH;SPIN"), OpenThemeData(nullptr, "SPIN"));
  TPixels pixels(10, 10);
  const TRect r{0, 0, 10, 10};
  EXPECT_FALSE(DrawThemeBackground(OpenThemeData(nullptr, "BUTTON"), pixels.DC, 99, PBS_NORMAL, &r, nullptr));
  EXPECT_FALSE(DrawThemeBackground(nullptr, pixels.DC, BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr));
}

TEST_F(ThemePartsTest, AFaceHasARoundedBorderAndAFillByState) {
  HTHEME button = OpenThemeData(nullptr, "BUTTON");
  const TRect r{0, 0, 12, 12};
  TPixels normal(12, 12), hot(12, 12), disabled(12, 12);
  ASSERT_TRUE(DrawThemeBackground(button, normal.DC, BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr));
  DrawThemeBackground(button, hot.DC, BP_PUSHBUTTON, PBS_HOT, &r, nullptr);
  DrawThemeBackground(button, disabled.DC, BP_PUSHBUTTON, PBS_DISABLED, &r, nullptr);
  // The corners are left as they were; the border runs between them.
  EXPECT_EQ(normal.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(normal.At(11, 11), RGB(255, 255, 255));
  EXPECT_EQ(normal.At(5, 0), normal.At(0, 5));
  EXPECT_NE(normal.At(5, 0), normal.At(5, 5));
  EXPECT_NE(normal.At(5, 0), hot.At(5, 0));
  EXPECT_NE(normal.At(5, 5), disabled.At(5, 5));
  // The fill runs from a lighter top to a darker bottom.
  EXPECT_GT(GetGValue(normal.At(5, 1)), GetGValue(normal.At(5, 10)));
}

TEST_F(ThemePartsTest, ANormalToolBarButtonLetsTheBackgroundShow) {
  HTHEME toolBar = OpenThemeData(nullptr, "TOOLBAR");
  const TRect r{0, 0, 12, 12};
  TPixels normal(12, 12), checked(12, 12);
  EXPECT_TRUE(DrawThemeBackground(toolBar, normal.DC, TP_BUTTON, TS_NORMAL, &r, nullptr));
  EXPECT_EQ(normal.At(5, 5), RGB(255, 255, 255));
  DrawThemeBackground(toolBar, checked.DC, TP_BUTTON, TS_CHECKED, &r, nullptr);
  EXPECT_NE(checked.At(5, 5), RGB(255, 255, 255));
}

TEST_F(ThemePartsTest, SpinPartsPointTheirWayAndTheClipHolds) {
  HTHEME spin = OpenThemeData(nullptr, "SPIN");
  const TRect r{0, 0, 11, 11};
  TPixels up(11, 11), down(11, 11), clipped(11, 11);
  DrawThemeBackground(spin, up.DC, SPNP_UP, UPS_NORMAL, &r, nullptr);
  DrawThemeBackground(spin, down.DC, SPNP_DOWN, UPS_NORMAL, &r, nullptr);
  // Up: one pixel on top, five below; down the other way round.
  EXPECT_EQ(up.At(5, 4), RGB(0, 0, 0));
  EXPECT_NE(up.At(4, 4), RGB(0, 0, 0));
  EXPECT_EQ(up.At(3, 6), RGB(0, 0, 0));
  EXPECT_EQ(down.At(3, 4), RGB(0, 0, 0));
  EXPECT_EQ(down.At(5, 6), RGB(0, 0, 0));
  EXPECT_NE(down.At(4, 6), RGB(0, 0, 0));
  const TRect clip{0, 0, 5, 11};
  DrawThemeBackground(spin, clipped.DC, SPNP_UP, UPS_NORMAL, &r, &clip);
  EXPECT_EQ(clipped.At(8, 5), RGB(255, 255, 255));
  EXPECT_NE(clipped.At(2, 5), RGB(255, 255, 255));
}

}  // namespace
