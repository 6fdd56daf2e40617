#pragma once
// The month calendar: one month as six weeks of days under a title band (month, year and the
// previous / next arrows), a row of weekday names, optional ISO week numbers and a "Today"
// line. A click on a day selects it (a day of the previous or next month also shows that
// month), the arrows change the month, the Today line selects today; the arrow keys move the
// selection by a day or a week, PageUp / PageDown by a month, Home / End to the month's ends.
// MinDate / MaxDate (0: no limit) bound the days that can be selected.
//
// The window answers MCM_GETCURSEL, MCM_SETCURSEL, MCM_GETMINREQRECT and MCM_HITTEST as the
// platform's month calendar window does (hit codes MCHT_*).
#include <string>

#include "platform/controls/Controls.h"
#include "platform/rtl/DateTime.h"

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;  // 0 Sunday
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};
using TSystemTime = SYSTEMTIME;
void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& SystemTime);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& SystemTime);

constexpr UINT MCM_FIRST = 0x1000;
constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;     // lParam: SYSTEMTIME*
constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;     // lParam: const SYSTEMTIME*; 0 when out of range
constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;  // lParam: TRect*
constexpr UINT MCM_HITTEST = MCM_FIRST + 14;      // lParam: MCHITTESTINFO*; answers uHit

constexpr UINT MCHT_TITLE = 0x00010000;
constexpr UINT MCHT_CALENDAR = 0x00020000;
constexpr UINT MCHT_TODAYLINK = 0x00030000;
constexpr UINT MCHT_NEXT = 0x01000000;
constexpr UINT MCHT_PREV = 0x02000000;
constexpr UINT MCHT_NOWHERE = 0x00000000;
constexpr UINT MCHT_TITLEBK = MCHT_TITLE;
constexpr UINT MCHT_TITLEMONTH = MCHT_TITLE | 0x0001;
constexpr UINT MCHT_TITLEYEAR = MCHT_TITLE | 0x0002;
constexpr UINT MCHT_TITLEBTNNEXT = MCHT_TITLE | MCHT_NEXT | 0x0003;
constexpr UINT MCHT_TITLEBTNPREV = MCHT_TITLE | MCHT_PREV | 0x0003;
constexpr UINT MCHT_CALENDARBK = MCHT_CALENDAR;
constexpr UINT MCHT_CALENDARDATE = MCHT_CALENDAR | 0x0001;
constexpr UINT MCHT_CALENDARDATENEXT = MCHT_CALENDARDATE | MCHT_NEXT;
constexpr UINT MCHT_CALENDARDATEPREV = MCHT_CALENDARDATE | MCHT_PREV;
constexpr UINT MCHT_CALENDARDAY = MCHT_CALENDAR | 0x0002;
constexpr UINT MCHT_CALENDARWEEKNUM = MCHT_CALENDAR | 0x0003;

struct MCHITTESTINFO {
  UINT cbSize = sizeof(MCHITTESTINFO);
  TPoint pt;
  UINT uHit = 0;
  SYSTEMTIME st;  // the date under a day cell
};

class ECommonCalendarError : public Exception { public: using Exception::Exception; };

enum TCalDayOfWeek { dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday, dowLocaleDefault };
const classes::TEnumInfo& EnumInfo(TCalDayOfWeek);

class TCommonCalendar : public TCustomControl {
 public:
  explicit TCommonCalendar(TComponent* AOwner);

  // The selected day (whole days; today at first). A date outside MinDate..MaxDate raises
  // ECommonCalendarError; so does a refusal of MsgSetDateTime.
  TDateTime Date() const { return FDate; }
  void SetDate(TDateTime Value);
  TDateTime MinDate() const { return FMinDate; }
  TDateTime MaxDate() const { return FMaxDate; }
  // A limit that excludes the selected day moves it inside; a minimum above the maximum (or
  // the reverse) raises ECommonCalendarError.
  void SetMinDate(TDateTime Value);
  void SetMaxDate(TDateTime Value);
  TCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
  void SetFirstDayOfWeek(TCalDayOfWeek Value);
  bool ShowToday() const { return FShowToday; }
  void SetShowToday(bool Value);
  bool ShowTodayCircle() const { return FShowTodayCircle; }
  void SetShowTodayCircle(bool Value);
  bool WeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(bool Value);
  // The first day of the month shown.
  TDateTime ViewDate() const { return FViewDate; }
  // Shows the month of Value (the selection stays).
  void SetViewDate(TDateTime Value);

  // The smallest rectangle that shows the whole calendar, from (0, 0).
  bool GetMinReqRect(TRect& Rect);
  // What lies at a client point: an MCHT_* code; Date receives the day of a day cell.
  UINT HitTest(TPoint Point, TDateTime* Date = nullptr);
  // The first weekday column: 0 Monday … 6 Sunday.
  int EffectiveFirstDay() const;

  // The user changed the selection (click, keys, the Today line).
  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;

 protected:
  // Hands the new selection to the calendar window; false refuses it.
  virtual bool MsgSetDateTime(const SYSTEMTIME& Value);
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // A selection by the user: clamped into range, the month follows, OnChange when it moved.
  void UserSelect(TDateTime Value);

 private:
  struct TLayout {
    int TextHeight, CellWidth, CellHeight, WeekColumn, Left, TitleHeight, DayRowTop, GridTop, TodayTop, Width, Height;
    TRect PrevButton, NextButton;
  };
  TLayout Layout();
  TDateTime FirstVisibleDate() const;
  bool InRange(TDateTime Value) const;
  TDateTime Clamp(TDateTime Value) const;
  // Sizes the calendar again (when AutoSize) and repaints.
  void Relayout();

  TDateTime FDate = 0;
  TDateTime FViewDate = 0;
  TDateTime FMinDate = 0;
  TDateTime FMaxDate = 0;
  TCalDayOfWeek FFirstDayOfWeek = dowLocaleDefault;
  bool FShowToday = true;
  bool FShowTodayCircle = true;
  bool FWeekNumbers = false;
};

class TMonthCalendar : public TCommonCalendar {
 public:
  explicit TMonthCalendar(TComponent* AOwner);
};
