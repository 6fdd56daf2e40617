#include "platform/controls/Calendar.h"

#include "platform/os/Focus.h"
#include "platform/os/Presenter.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

// The fixture's clock stands on Monday 2026-01-05.
class CalendarTest : public ControlTest {
 protected:
  CalendarTest() {
    Form->SetBounds(100, 100, 460, 220);
    Cal = Make<TMonthCalendar>(Form, "Cal", Bounds(10, 10, 10, 10));
    Cal->SetFirstDayOfWeek(dowMonday);
    Cal->SetAutoSize(true);
    Cal->OnChange = [this](TObject*) { ++Changes; };
  }
  // The client point of a day of the month shown.
  TPoint PointOf(TDateTime Day) {
    for (int y = 0; y < Cal->Height(); y += 2)
      for (int x = 0; x < Cal->Width(); x += 2) {
        TDateTime d = 0;
        if ((Cal->HitTest({x, y}, &d) & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && d == Day) return {x + 3, y + 2};
      }
    ADD_FAILURE() << "day not shown: " << DateToStr(Day);
    return {};
  }
  TPoint PointOfHit(UINT Hit) {
    for (int y = 0; y < Cal->Height(); ++y)
      for (int x = 0; x < Cal->Width(); ++x)
        if (Cal->HitTest({x, y}) == Hit) return {x + 2, y + 2};
    ADD_FAILURE() << "no such hit code " << Hit;
    return {};
  }

  TMonthCalendar* Cal;
  int Changes = 0;
};

TEST_F(CalendarTest, StartsOnTodayAndLaysSixWeeksFromTheFirstWeekday) {
  EXPECT_EQ(Cal->Date(), EncodeDate(2026, 1, 5));
  EXPECT_EQ(Cal->ViewDate(), EncodeDate(2026, 1, 1));
  TRect req;
  ASSERT_TRUE(Cal->GetMinReqRect(req));
  EXPECT_EQ(Cal->Width(), req.Width()) << "auto-sized to the minimum rectangle";
  ShowForm();
  // 2026-01-01 is a Thursday: with Monday first the grid starts on Monday 2025-12-29.
  TDateTime first = 0;
  const TPoint p = PointOf(EncodeDate(2025, 12, 29));
  EXPECT_EQ(Cal->HitTest(p, &first), MCHT_CALENDARDATEPREV);
  Cal->SetFirstDayOfWeek(dowSunday);
  EXPECT_EQ(Cal->HitTest(p, &first), MCHT_CALENDARDATEPREV);
  EXPECT_EQ(first, EncodeDate(2025, 12, 28));
  // A month starting on the first column still leads with a week of the month before.
  Cal->SetFirstDayOfWeek(dowThursday);
  Cal->HitTest(p, &first);
  EXPECT_EQ(first, EncodeDate(2025, 12, 25));

  MCHITTESTINFO info;
  info.pt = PointOfHit(MCHT_TITLEBTNNEXT);
  EXPECT_EQ(SendMessage(Cal->Handle(), MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)),
            static_cast<LRESULT>(MCHT_TITLEBTNNEXT));
  info.pt = PointOf(EncodeDate(2026, 1, 15));
  SendMessage(Cal->Handle(), MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.uHit, MCHT_CALENDARDATE);
  EXPECT_EQ(info.st.wDay, 15);
  info.pt = PointOfHit(MCHT_CALENDARDAY);
  EXPECT_EQ(SendMessage(Cal->Handle(), MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)),
            static_cast<LRESULT>(MCHT_CALENDARDAY));
}

TEST_F(CalendarTest, ClicksSelectDaysAndTheArrowsAndTodayLineMoveTheMonth) {
  int clicks = 0;
  Cal->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  Input.Click(Cal->Handle(), PointOf(EncodeDate(2026, 1, 20)));
  Pump();
  EXPECT_EQ(Cal->Date(), EncodeDate(2026, 1, 20));
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetFocus(), Cal->Handle());
  Input.Click(Cal->Handle(), PointOfHit(MCHT_TITLEBTNNEXT));
  Pump();
  EXPECT_EQ(Cal->ViewDate(), EncodeDate(2026, 2, 1));
  EXPECT_EQ(Cal->Date(), EncodeDate(2026, 1, 20)) << "the arrows leave the selection";
  Input.Click(Cal->Handle(), PointOf(EncodeDate(2026, 3, 2)));
  Pump();
  EXPECT_EQ(Cal->Date(), EncodeDate(2026, 3, 2)) << "a day of the next month selects it";
  EXPECT_EQ(Cal->ViewDate(), EncodeDate(2026, 3, 1)) << "and shows its month";
  Input.Click(Cal->Handle(), PointOfHit(MCHT_TODAYLINK));
  Pump();
  EXPECT_EQ(Cal->Date(), EncodeDate(2026, 1, 5));
  EXPECT_EQ(Changes, 3);
}

TEST_F(CalendarTest, KeysMoveTheSelectionWithinTheLimits) {
  Cal->SetMinDate(EncodeDate(2026, 1, 2));
  Cal->SetMaxDate(EncodeDate(2026, 2, 10));
  ShowForm();
  Cal->SetFocus();
  struct TCase {
    UINT Key;
    TDateTime Expected;
  };
  const TCase cases[] = {
      {VK_RIGHT, EncodeDate(2026, 1, 6)}, {VK_DOWN, EncodeDate(2026, 1, 13)}, {VK_UP, EncodeDate(2026, 1, 6)},
      {VK_LEFT, EncodeDate(2026, 1, 5)},  {VK_END, EncodeDate(2026, 1, 31)},  {VK_HOME, EncodeDate(2026, 1, 2)},
      {VK_NEXT, EncodeDate(2026, 2, 2)},  {VK_NEXT, EncodeDate(2026, 2, 10)}, {VK_PRIOR, EncodeDate(2026, 1, 10)},
      {VK_UP, EncodeDate(2026, 1, 3)},    {VK_UP, EncodeDate(2026, 1, 2)},
  };
  for (const TCase& c : cases) {
    Input.Key(c.Key);
    Pump();
    EXPECT_EQ(Cal->Date(), c.Expected) << "key " << c.Key;
  }
  EXPECT_EQ(GetFocus(), Cal->Handle()) << "the arrows stay in the calendar";
  const TDateTime before = Cal->Date();
  Input.Click(Cal->Handle(), PointOf(EncodeDate(2026, 1, 1)));
  Pump();
  EXPECT_EQ(Cal->Date(), before) << "a day before the minimum is not taken";
  EXPECT_THROW(Cal->SetDate(EncodeDate(2026, 3, 1)), ECommonCalendarError);
  EXPECT_THROW(Cal->SetMinDate(EncodeDate(2026, 3, 1)), ECommonCalendarError);
  Cal->SetMaxDate(EncodeDate(2026, 1, 2));
  EXPECT_EQ(Cal->Date(), EncodeDate(2026, 1, 2)) << "a new limit pulls the selection inside";
  SYSTEMTIME st;
  DateTimeToSystemTime(EncodeDate(2026, 5, 1), st);
  EXPECT_EQ(SendMessage(Cal->Handle(), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)), 0)
      << "the window refuses a day out of range";
}

TEST_F(CalendarTest, Snapshot) {
  Cal->SetDate(EncodeDate(2026, 1, 20));
  Cal->SetWeekNumbers(true);
  auto* plain = Make<TMonthCalendar>(Form, "Plain", Bounds(240, 10, 10, 10));
  plain->SetAutoSize(true);
  plain->SetShowToday(false);
  ShowForm();
  Cal->SetFocus();
  Pump();
  EXPECT_GT(Cal->Width(), plain->Width()) << "week numbers widen the calendar";
  EXPECT_GT(Cal->Height(), plain->Height()) << "the Today line adds a row";
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-calendar", 24, 300));
}

}  // namespace
