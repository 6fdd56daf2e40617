#pragma once
// Date-time routines on TDateTime: the clock, encoding and decoding, calendar arithmetic,
// formatting with FormatDateTime's letters and parsing per the format settings.
//
// Negative values are dates before 1899-12-30 whose fraction still counts forwards from
// midnight: -1.25 is 1899-12-29 06:00. Decoding rounds the whole value to milliseconds
// first, so 0.99999999 is 23:59:59.999 and 0.999999999 is the next midnight, never 24:00.
#include <cstdint>
#include <string>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/System.h"

// The wall clock (rtl::CurrentClock()).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// EConvertError "Invalid argument to date encode" / "... time encode" on bad fields.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result);
// Out-of-range values (before year 1, after 9999, not a number) decode as 0/0/0.
void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime dt);
bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

// Steps move along the time line in whole milliseconds, so they also work before 1899-12-30.
TDateTime IncMilliSecond(TDateTime dt, int64_t count = 1);
TDateTime IncSecond(TDateTime dt, int64_t count = 1);
TDateTime IncMinute(TDateTime dt, int64_t count = 1);
TDateTime IncHour(TDateTime dt, int64_t count = 1);
TDateTime IncDay(TDateTime dt, int count = 1);
TDateTime IncWeek(TDateTime dt, int count = 1);
// Keeps the time of day; a day past the new month's end becomes its last day.
TDateTime IncMonth(TDateTime dt, int count = 1);
TDateTime IncYear(TDateTime dt, int count = 1);
// Whole seconds between two instants (never negative).
int64_t SecondsBetween(TDateTime a, TDateTime b);
int64_t MilliSecondsBetween(TDateTime a, TDateTime b);
int64_t MinutesBetween(TDateTime a, TDateTime b);
int64_t DaysBetween(TDateTime a, TDateTime b);
// The date part (Trunc) and the time part (Frac).
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);
// Date + time in the representation described above.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// Letters: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t tt
// am/pm a/p ampm / : and '...' or "..." for literal text. "m" right after an hour means
// minutes; an am/pm letter anywhere after the hour switches it to the 12-hour clock.
// An empty format is "c".
std::string FormatDateTime(const std::string& format, TDateTime dt);
std::string FormatDateTime(const std::string& format, TDateTime dt, const TFormatSettings& settings);
void DateTimeToString(std::string& result, const std::string& format, TDateTime dt);
void DateTimeToString(std::string& result, const std::string& format, TDateTime dt, const TFormatSettings& settings);
std::string DateToStr(TDateTime dt);
std::string DateToStr(TDateTime dt, const TFormatSettings& settings);
std::string TimeToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt, const TFormatSettings& settings);
std::string DateTimeToStr(TDateTime dt);
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings);

// Dates in the short date format's field order with the date separator; a two-digit year
// is placed by the century window; the year may be left out (the current one).
// Times as h:n, h:n:s or h:n:s.z with an optional AM/PM (or the settings' strings).
// EConvertError "'X' is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(const std::string& s);
TDateTime StrToDate(const std::string& s, const TFormatSettings& settings);
TDateTime StrToTime(const std::string& s);
TDateTime StrToTime(const std::string& s, const TFormatSettings& settings);
TDateTime StrToDateTime(const std::string& s);
TDateTime StrToDateTime(const std::string& s, const TFormatSettings& settings);
bool TryStrToDate(const std::string& s, TDateTime& result);
bool TryStrToDate(const std::string& s, TDateTime& result, const TFormatSettings& settings);
bool TryStrToTime(const std::string& s, TDateTime& result);
bool TryStrToTime(const std::string& s, TDateTime& result, const TFormatSettings& settings);
bool TryStrToDateTime(const std::string& s, TDateTime& result);
bool TryStrToDateTime(const std::string& s, TDateTime& result, const TFormatSettings& settings);
TDateTime StrToDateDef(const std::string& s, TDateTime def);
TDateTime StrToTimeDef(const std::string& s, TDateTime def);
TDateTime StrToDateTimeDef(const std::string& s, TDateTime def);

namespace rtl {

// A date-time as whole days and milliseconds of the day, after rounding to milliseconds.
struct TimeStamp {
  int64_t Days = 0;     // since 1899-12-30, negative before
  int64_t TimeMs = 0;   // 0 .. 86399999
};
// False for values outside year 1..9999 or not a number.
bool DateTimeToTimeStamp(TDateTime dt, TimeStamp& ts);
TDateTime TimeStampToDateTime(const TimeStamp& ts);

}  // namespace rtl
