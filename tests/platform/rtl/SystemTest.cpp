#include "platform/rtl/Clock.h"
#include "platform/rtl/System.h"

#include <gtest/gtest.h>

namespace {

class TSample : public TObject {};

TEST(System, ClassNameIsTheBareDynamicName) {
  TSample sample;
  const TObject& asRoot = sample;
  EXPECT_EQ(asRoot.ClassName(), "TSample");
  EConvertError error("x");
  EXPECT_EQ(error.ClassName(), "EConvertError");
  EXPECT_TRUE(error.InheritsFrom<Exception>());
  EXPECT_FALSE(asRoot.InheritsFrom<Exception>());
}

TEST(System, ExceptionCarriesItsMessage) {
  try {
    throw EConvertError("'abc' is not a valid integer value");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_THROW(Abort(), EAbort);
}

TEST(Clock, VirtualClockMovesOnlyWhenAdvanced) {
  rtl::VirtualClock clock(TDateTime(46000.5));  // noon
  rtl::SetClock(&clock);
  EXPECT_EQ(rtl::CurrentClock().MonotonicMs(), 0);
  rtl::CurrentClock().SleepMs(1500);
  EXPECT_EQ(clock.MonotonicMs(), 1500);
  clock.AdvanceTo(1000);  // never backwards
  EXPECT_EQ(clock.MonotonicMs(), 1500);
  clock.Advance(86400000 - 1500);
  EXPECT_DOUBLE_EQ(clock.WallNow().Value, 46001.5);
  clock.SetWallNow(TDateTime(46010.0));
  EXPECT_DOUBLE_EQ(clock.WallNow().Value, 46010.0);
  rtl::SetClock(nullptr);
  EXPECT_FALSE(rtl::CurrentClock().IsVirtual());
}

}  // namespace
