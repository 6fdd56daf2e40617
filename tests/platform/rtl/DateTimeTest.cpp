#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

#include "tests/platform/rtl/UsEnglishSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Runs with the US-English settings and a clock standing at 2026-12-07 09:30; restores both.
class DateTimeTest : public ::testing::Test {
 protected:
  void SetUp() override { rtl::SetClock(&FClock); }
  void TearDown() override { rtl::SetClock(nullptr); }
  static TFormatSettings Dmy() {
    TFormatSettings s = rtl::LocaleFormatSettings("en_US");
    s.ShortDateFormat = "dd/mm/yyyy";
    return s;
  }
  rtl::VirtualClock FClock{TDateTime(46363.0 + 9.5 / 24.0)};
  UsEnglishSettings FSettings;
};

struct DateCase {
  int Y, M, D;
  double Serial;
  int Dow;
};

TEST_F(DateTimeTest, EncodeAndDecodeDatesAcrossTheWholeRange) {
  const std::vector<DateCase> cases = {
      {1899, 12, 30, 0, 7},  {1900, 1, 1, 2, 2},      {2026, 12, 7, 46363, 2},  {2000, 2, 29, 36585, 3},
      {1, 1, 1, -693593, 2}, {9999, 12, 31, 2958465, 6}, {1800, 1, 1, -36522, 4}, {1899, 12, 29, -1, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Serial);
    EXPECT_EQ(EncodeDate(c.Y, c.M, c.D).Value, c.Serial);
    int y, m, d;
    DecodeDate(ComposeDateTime(TDateTime(c.Serial), TDateTime(0.75)), y, m, d);
    EXPECT_EQ(y, c.Y);
    EXPECT_EQ(m, c.M);
    EXPECT_EQ(d, c.D);
    EXPECT_EQ(DayOfWeek(TDateTime(c.Serial)), c.Dow);
  }
  uint16_t y, m, d;
  DecodeDate(TDateTime(1e9), y, m, d);
  EXPECT_EQ(y + m + d, 0);
  DecodeDate(TDateTime(std::nan("")), y, m, d);
  EXPECT_EQ(y + m + d, 0);
}

TEST_F(DateTimeTest, InvalidFieldsRaiseConvertErrors) {
  const std::vector<std::vector<int>> badDates = {{2023, 2, 29}, {0, 1, 1},  {10000, 1, 1},
                                                  {2026, 13, 1}, {2026, 4, 31}, {2026, 0, 1}, {2026, 1, 0}};
  for (const auto& c : badDates) {
    try {
      EncodeDate(c[0], c[1], c[2]);
      ADD_FAILURE() << c[0] << "-" << c[1] << "-" << c[2];
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
  }
  const std::vector<std::vector<int>> badTimes = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
  for (const auto& c : badTimes) {
    try {
      EncodeTime(c[0], c[1], c[2], c[3]);
      ADD_FAILURE() << c[0] << ":" << c[1] << ":" << c[2] << "." << c[3];
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
  }
  EXPECT_EQ(EncodeTime(23, 59, 59, 999).Value, 86399999.0 / 86400000.0);
}

TEST_F(DateTimeTest, DecodingRoundsToMillisecondsAndNeverShowsSixtySeconds) {
  int h, m, s, ms;
  DecodeTime(TDateTime(0.99999999), h, m, s, ms);
  EXPECT_EQ(std::vector<int>({h, m, s, ms}), std::vector<int>({23, 59, 59, 999}));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", TDateTime(0.99999999)), "23:59:59");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", TDateTime(0.999999999)), "1899-12-31 00:00:00.000");
  EXPECT_EQ(FormatDateTime("hh:nn:ss", TDateTime(46363.0 + 8.0 / 24.0 - 1e-10)), "08:00:00");
  // A time built by adding seconds one at a time still lands on the whole second.
  double t = 0;
  for (int i = 0; i < 3600; ++i) t += 1.0 / 86400.0;
  EXPECT_EQ(FormatDateTime("hh:nn:ss", TDateTime(t)), "01:00:00");
}

TEST_F(DateTimeTest, NegativeValuesCountTheTimeForwardFromMidnight) {
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", TDateTime(-1.25)), "1899-12-29 06:00");
  EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)).Value, -1.25);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", IncHour(TDateTime(-1.25), 20)), "1899-12-30 02:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", IncMinute(TDateTime(0.25), -12 * 60)), "1899-12-29 18:00");
  EXPECT_EQ(SecondsBetween(TDateTime(-1.25), TDateTime(0.25)), 86400);
}

TEST_F(DateTimeTest, CalendarSteps) {
  TDateTime jan31 = ComposeDateTime(EncodeDate(2024, 1, 31), EncodeTime(10, 15, 0, 0));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", IncMonth(jan31)), "2024-02-29 10:15");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", IncMonth(jan31, -2)), "2023-11-30");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", IncMonth(jan31, 13)), "2025-02-28");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", IncYear(EncodeDate(2024, 2, 29))), "2025-02-28");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", IncSecond(ComposeDateTime(EncodeDate(2026, 12, 31), EncodeTime(23, 59, 59, 0)))),
            "2027-01-01 00:00:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", IncDay(EncodeDate(2026, 3, 1), -1)), "2026-02-28");
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
  EXPECT_THROW(IncDay(EncodeDate(1, 1, 1), -1), EConvertError);
  EXPECT_THROW(IncHour(EncodeDate(2026, 1, 1), INT64_MAX), EConvertError);
  EXPECT_EQ(SecondsBetween(TDateTime(1e300), TDateTime(0)), INT64_MAX / 1000);
  EXPECT_EQ(SecondsBetween(EncodeTime(10, 0, 0, 0), EncodeTime(10, 0, 59, 999)), 59);
  EXPECT_EQ(SecondsBetween(EncodeTime(10, 1, 0, 0), EncodeTime(10, 0, 0, 0)), 60);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 2), 28);
  EXPECT_EQ(DateOf(TDateTime(46363.75)).Value, 46363.0);
  EXPECT_EQ(TimeOf(TDateTime(46363.75)).Value, 0.75);
}

TEST_F(DateTimeTest, NowDateAndTimeFollowTheInstalledClock) {
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", Now()), "2026-12-07 09:30:00");
  EXPECT_EQ(Date().Value, 46363.0);
  EXPECT_EQ(FormatDateTime("hh:nn:ss", Time()), "09:30:00");
  FClock.Advance(61000);
  EXPECT_EQ(FormatDateTime("hh:nn:ss", Time()), "09:31:01");
}

struct FormatCase {
  const char* Format;
  const char* Expected;
};

// Thursday 2026-03-05 14:07:09.045.
const TDateTime kSample(46086.0 + (((14 * 60 + 7) * 60 + 9) * 1000 + 45) / 86400000.0);

TEST_F(DateTimeTest, FormatsEverySpecifierInUsEnglish) {
  const TFormatSettings en = rtl::LocaleFormatSettings("en_US");
  const std::vector<FormatCase> cases = {
      {"c", "3/5/2026 2:07:09 PM"},   {"", "3/5/2026 2:07:09 PM"},
      {"d", "5"},                      {"dd", "05"},
      {"ddd", "Thu"},                  {"dddd", "Thursday"},
      {"ddddd", "3/5/2026"},           {"dddddd", "Thursday, March 5, 2026"},
      {"m", "3"},                      {"mm", "03"},
      {"mmm", "Mar"},                  {"mmmm", "March"},
      {"yy", "26"},                    {"yyyy", "2026"},
      {"h", "14"},                     {"hh", "14"},
      {"n", "7"},                      {"nn", "07"},
      {"s", "9"},                      {"ss", "09"},
      {"z", "45"},                     {"zzz", "045"},
      {"t", "2:07 PM"},                {"tt", "2:07:09 PM"},
      {"hh:mm", "14:07"},              {"yyyymmdd hh:mm:ss", "20260305 14:07:09"},
      {"h:nn am/pm", "2:07 pm"},       {"h:nn AM/PM", "2:07 PM"},
      {"h:nn a/p", "2:07 p"},          {"hh:nn ampm", "02:07 PM"},
      {"yyyy/mm/dd", "2026/03/05"},    {"'day' d \"of\" mmmm", "day 5 of March"},
      {"HH:NN:SS", "14:07:09"},        {"'hh' hh", "hh 14"},
      {"mm/dd hh:nn", "03/05 14:07"},  {"dddd, d. mmmm yyyy", "Thursday, 5. March 2026"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.Format, kSample, en), c.Expected) << '"' << c.Format << '"';
}

TEST_F(DateTimeTest, FormatsEverySpecifierInChinese) {
  const TFormatSettings zh = rtl::LocaleFormatSettings("zh_CN");
  const std::vector<FormatCase> cases = {
      {"c", "2026-03-05 14:07:09"},  {"ddddd", "2026-03-05"},    {"dddddd", "2026年3月5日"},
      {"ddd", "周四"},               {"dddd", "星期四"},          {"mmm", "3月"},
      {"mmmm", "三月"},              {"t", "14:07"},              {"tt", "14:07:09"},
      {"hh:nn ampm", "02:07 下午"},  {"yyyy/m/d", "2026-3-5"},    {"yyyy'年'mm'月'", "2026年03月"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.Format, kSample, zh), c.Expected) << '"' << c.Format << '"';
  EXPECT_EQ(FormatDateTime("ampm h", EncodeTime(9, 0, 0, 0), zh), "上午 9");
}

TEST_F(DateTimeTest, TwelveHourClockAndTheDefaultFormats) {
  EXPECT_EQ(FormatDateTime("h:nn AMPM", EncodeTime(0, 5, 0, 0)), "12:05 AM");
  EXPECT_EQ(FormatDateTime("h:nn AMPM", EncodeTime(12, 0, 0, 0)), "12:00 PM");
  EXPECT_EQ(FormatDateTime("h:nn AMPM", EncodeTime(23, 0, 0, 0)), "11:00 PM");
  // "c" leaves out the time at midnight but always shows the date.
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 7)), "12/7/2026");
  EXPECT_EQ(DateTimeToStr(EncodeTime(10, 0, 0, 0)), "12/30/1899 10:00:00 AM");
  EXPECT_EQ(DateToStr(kSample), "3/5/2026");
  EXPECT_EQ(TimeToStr(kSample), "2:07:09 PM");
  std::string text;
  DateTimeToString(text, "hh:nn:ss", kSample);
  EXPECT_EQ(text, "14:07:09");
  // A settings table that names itself does not recurse for ever.
  TFormatSettings loop = rtl::LocaleFormatSettings("en_US");
  loop.ShortDateFormat = "c";
  loop.LongTimeFormat = "ddddd";
  EXPECT_NO_THROW(FormatDateTime("c", kSample, loop));
}

struct ParseCase {
  const char* Text;
  bool Valid;
  int Y = 0, M = 0, D = 0;
};

void CheckDates(const std::vector<ParseCase>& cases, const TFormatSettings& settings) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TDateTime dt;
    ASSERT_EQ(TryStrToDate(c.Text, dt, settings), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(dt.Value, EncodeDate(c.Y, c.M, c.D).Value);
    } else {
      try {
        StrToDate(c.Text, settings);
        ADD_FAILURE();
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'") + c.Text + "' is not a valid date");
      }
    }
  }
}

TEST_F(DateTimeTest, ParsesDatesInTheShortDateOrder) {
  CheckDates({{"3/5/2026", true, 2026, 3, 5},
              {" 12/31/99 ", true, 1999, 12, 31},
              {"1/1/30", true, 2030, 1, 1},
              {"1/1/76", true, 1976, 1, 1},
              {"3/5", true, 2026, 3, 5},
              {"2026/3/5", true, 2026, 3, 5},
              {"2/29/2024", true, 2024, 2, 29},
              {"2/30/2026", false},
              {"13/1/2026", false},
              {"3-5-2026", false},
              {"3//2026", false},
              {"3/5/2026x", false},
              {"abc", false},
              {"", false},
              {"99999999999/1/1", false}},
             rtl::LocaleFormatSettings("en_US"));
  CheckDates({{"2026-03-05", true, 2026, 3, 5},
              {"2026-3-5", true, 2026, 3, 5},
              {"26-3-5", true, 2026, 3, 5},
              {"3-5", true, 2026, 3, 5},
              {"2026/03/05", false},
              {"2026-02-30", false}},
             rtl::LocaleFormatSettings("zh_CN"));
  CheckDates({{"05/03/2026", true, 2026, 3, 5}, {"2026/03/05", true, 2026, 3, 5}, {"31/12/2026", true, 2026, 12, 31}, {"12/31/2026", false}},
             Dmy());
  TFormatSettings fixedCentury = rtl::LocaleFormatSettings("en_US");
  fixedCentury.TwoDigitYearCenturyWindow = 0;
  CheckDates({{"1/1/99", true, 2099, 1, 1}}, fixedCentury);
}

struct TimeCase {
  const char* Text;
  bool Valid;
  int H = 0, N = 0, S = 0, Z = 0;
};

TEST_F(DateTimeTest, ParsesTimesWithSecondsFractionsAndAmPm) {
  const std::vector<TimeCase> cases = {
      {"14:07", true, 14, 7, 0, 0},       {"14:07:09", true, 14, 7, 9, 0},  {"14:07:09.045", true, 14, 7, 9, 45},
      {"14:07:09.5", true, 14, 7, 9, 500}, {"2:07 PM", true, 14, 7, 0, 0},  {"2:07:09 pm", true, 14, 7, 9, 0},
      {"12:00 AM", true, 0, 0, 0, 0},     {"12:30 PM", true, 12, 30, 0, 0}, {"10 PM", true, 22, 0, 0, 0},
      {" 0:00 ", true, 0, 0, 0, 0},       {"24:00", false},                 {"13:00 PM", false},
      {"14", false},                      {"14:60", false},                 {"14:07:", false},
      {"abc", false},                     {"", false},                      {"14:07 XM", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TDateTime t;
    ASSERT_EQ(TryStrToTime(c.Text, t), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(t.Value, EncodeTime(c.H, c.N, c.S, c.Z).Value);
    } else {
      try {
        StrToTime(c.Text);
        ADD_FAILURE();
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'") + c.Text + "' is not a valid time");
      }
    }
  }
  const TFormatSettings zh = rtl::LocaleFormatSettings("zh_CN");
  EXPECT_EQ(StrToTime("下午 2:07", zh).Value, EncodeTime(14, 7, 0, 0).Value);
  EXPECT_EQ(StrToTime("2:07 上午", zh).Value, EncodeTime(2, 7, 0, 0).Value);
}

TEST_F(DateTimeTest, ParsesDateAndTimeTogetherOrAlone) {
  EXPECT_EQ(StrToDateTime("3/5/2026 14:07:09").Value, ComposeDateTime(EncodeDate(2026, 3, 5), EncodeTime(14, 7, 9, 0)).Value);
  EXPECT_EQ(StrToDateTime("3/5/2026").Value, EncodeDate(2026, 3, 5).Value);
  EXPECT_EQ(StrToDateTime("14:07").Value, EncodeTime(14, 7, 0, 0).Value);
  EXPECT_EQ(StrToDateTime("1/1/1800 6:00").Value, ComposeDateTime(EncodeDate(1800, 1, 1), EncodeTime(6, 0, 0, 0)).Value);
  try {
    StrToDateTime("3/5/2026 25:00");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'3/5/2026 25:00' is not a valid date and time");
  }
  EXPECT_EQ(StrToDateDef("x", TDateTime(7)).Value, 7.0);
  EXPECT_EQ(StrToTimeDef("x", TDateTime(0.5)).Value, 0.5);
  EXPECT_EQ(StrToDateTimeDef("3/5/2026", TDateTime(0)).Value, 46086.0);
}

TEST_F(DateTimeTest, TextRoundTripsInBothTables) {
  for (const char* locale : {"en_US", "zh_CN"}) {
    const TFormatSettings s = rtl::LocaleFormatSettings(locale);
    for (TDateTime dt : {kSample, TDateTime(46086.0), TDateTime(-36522.0 + 0.5), ComposeDateTime(EncodeDate(2026, 12, 31), EncodeTime(23, 59, 59, 0))}) {
      SCOPED_TRACE(std::string(locale) + " " + DateTimeToStr(dt, s));
      EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", StrToDateTime(DateTimeToStr(dt, s), s)), FormatDateTime("yyyy-mm-dd hh:nn:ss", dt));
    }
  }
}

TEST(LocaleFormatSettings, ChineseAndEnglishTablesAndTheFallback) {
  const TFormatSettings zh = rtl::LocaleFormatSettings("zh_CN.UTF-8");
  EXPECT_EQ(zh.ShortDateFormat, "yyyy-mm-dd");
  EXPECT_EQ(zh.DateSeparator, "-");
  EXPECT_EQ(zh.LongDayNames[0], "星期日");
  EXPECT_EQ(zh.ShortDayNames[6], "周六");
  EXPECT_EQ(zh.TimeAMString, "上午");
  const TFormatSettings en = rtl::LocaleFormatSettings("en_US.UTF-8");
  EXPECT_EQ(en.ShortDateFormat, "m/d/yyyy");
  EXPECT_EQ(en.LongMonthNames[11], "December");
  for (const char* name : {"", "C", "POSIX", "C.UTF-8", "xx_YY.UTF-8"}) {
    SCOPED_TRACE(name);
    const TFormatSettings s = rtl::LocaleFormatSettings(name);
    EXPECT_EQ(s.ShortDateFormat, en.ShortDateFormat);
    EXPECT_EQ(s.TimePMString, "PM");
  }
  // A Chinese locale the machine lacks still gets the Chinese table.
  EXPECT_EQ(rtl::LocaleFormatSettings("zh_XX").LongDayNames[1], "星期一");
  EXPECT_FALSE(rtl::InstalledLocaleFormatSettings("xx_YY.UTF-8").has_value());
}

TEST(LocaleFormatSettings, InstalledLocalesAreReadThroughTheirStrftimeFormats) {
  auto c = rtl::InstalledLocaleFormatSettings("C");
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->ShortDateFormat, "mm/dd/yy");
  EXPECT_EQ(c->DateSeparator, "/");
  EXPECT_EQ(c->LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(c->ShortTimeFormat, "hh:nn");
  EXPECT_EQ(c->TimeSeparator, ":");
  EXPECT_EQ(c->LongDayNames[0], "Sunday");
  EXPECT_EQ(c->ShortMonthNames[0], "Jan");
  EXPECT_EQ(c->DecimalSeparator, ".");

  EXPECT_EQ(rtl::StrftimeToFormat("%d.%m.%Y"), "dd.mm.yyyy");
  EXPECT_EQ(rtl::StrftimeToFormat("%I:%M:%S %p"), "hh:nn:ss ampm");
  EXPECT_EQ(rtl::StrftimeToFormat("%Y年%m月%d日"), "yyyy\"年\"mm\"月\"dd\"日\"");
  EXPECT_EQ(rtl::StrftimeToFormat("%e de %B"), "d\" de \"mmmm");
  EXPECT_EQ(FormatDateTime(rtl::StrftimeToFormat("%e de %B %%"), kSample, *c), "5 de March %");
}

TEST(LocaleFormatSettings, TheProcessLocaleComesFromLcAllThenLcTimeThenLang) {
  struct Saved {
    const char* Name;
    bool Set;
    std::string Value;
  };
  std::vector<Saved> saved;
  for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* v = std::getenv(name);
    saved.push_back({name, v != nullptr, v ? v : ""});
    unsetenv(name);
  }
  EXPECT_EQ(rtl::ProcessLocaleName(), "");
  setenv("LANG", "en_US.UTF-8", 1);
  EXPECT_EQ(rtl::ProcessLocaleName(), "en_US.UTF-8");
  setenv("LC_TIME", "zh_CN.UTF-8", 1);
  EXPECT_EQ(rtl::ProcessLocaleName(), "zh_CN.UTF-8");
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(rtl::ProcessLocaleName(), "C");
  setenv("LC_ALL", "", 1);
  EXPECT_EQ(rtl::ProcessLocaleName(), "zh_CN.UTF-8");
  for (const auto& s : saved) {
    if (s.Set) setenv(s.Name, s.Value.c_str(), 1);
    else unsetenv(s.Name);
  }
}

}  // namespace
