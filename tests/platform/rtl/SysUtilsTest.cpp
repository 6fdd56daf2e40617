#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/rtl/Clock.h"
#include "platform/rtl/SysLocale.h"

namespace {

TEST(SysUtils, MulDivRoundsHalfAwayFromZero) {
  const std::tuple<int, int, int, int> cases[] = {
      {10, 3, 2, 15},       {5, 1, 2, 3},          {-5, 1, 2, -3},       {5, -1, 2, -3},
      {-5, -1, 2, 3},       {7, 1, 3, 2},          {8, 1, 3, 3},         {-8, 1, 3, -3},
      {5, 1, -2, -3},       {0, 5, 7, 0},          {65536, 65536, 65536, 65536},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},        {INT_MIN, 1, 1, INT_MIN},
      {5, 1, 0, -1},        {INT_MAX, 2, 1, -1},   {INT_MIN, 2, 1, -1},
      {120, 96, 72, 160},
  };
  for (const auto& [a, b, c, expected] : cases) EXPECT_EQ(MulDiv(a, b, c), expected) << a << "*" << b << "/" << c;
}

TEST(SysUtils, SleepUsesTheProgramClock) {
  rtl::VirtualClock clock(TDateTime(46000.0));
  rtl::SetClock(&clock);
  Sleep(250);
  Sleep(0);
  EXPECT_EQ(clock.MonotonicMs(), 250);
  rtl::SetClock(nullptr);
}

}  // namespace

namespace {

TEST(SysUtils, TheLocaleTakesNoDoubleByteNorRightToLeftPaths) {
  static_assert(!SysLocale.FarEast && !SysLocale.MiddleEast);
  EXPECT_FALSE(SysLocale.FarEast);
  EXPECT_FALSE(SysLocale.MiddleEast);
}

}  // namespace
