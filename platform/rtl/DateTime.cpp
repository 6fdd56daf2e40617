#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/Clock.h"

namespace rtl {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// 0001-01-01 and 9999-12-31 as days since 1899-12-30.
constexpr int64_t kMinDay = -693593;
constexpr int64_t kMaxDay = 2958465;
// 1899-12-30 as days since 1970-01-01.
constexpr int64_t kEpochShift = -25569;

// Days since 1970-01-01 of a proleptic Gregorian date (Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// A date-time as milliseconds on a straight time line (0 = 1899-12-30 00:00).
bool ToLinearMs(TDateTime dt, int64_t& ms) {
  TimeStamp ts;
  if (!DateTimeToTimeStamp(dt, ts)) return false;
  ms = ts.Days * kMsPerDay + ts.TimeMs;
  return true;
}

TDateTime FromLinearMs(int64_t ms) {
  TimeStamp ts;
  ts.Days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
  ts.TimeMs = ms - ts.Days * kMsPerDay;
  if (ts.Days < kMinDay || ts.Days > kMaxDay) throw EConvertError("Invalid argument to date encode");
  return TimeStampToDateTime(ts);
}

TDateTime IncLinear(TDateTime dt, int64_t count, int64_t unitMs) {
  int64_t ms;
  if (!ToLinearMs(dt, ms)) return TDateTime(dt.Value + static_cast<double>(count) * unitMs / kMsPerDay);
  int64_t step, result;
  if (__builtin_mul_overflow(count, unitMs, &step) || __builtin_add_overflow(ms, step, &result))
    throw EConvertError("Invalid argument to date encode");
  return FromLinearMs(result);
}

int64_t MsBetween(TDateTime a, TDateTime b) {
  int64_t ma, mb;
  if (ToLinearMs(a, ma) && ToLinearMs(b, mb)) return std::llabs(ma - mb);
  double span = std::fabs(a.Value - b.Value) * kMsPerDay;
  // Values outside the calendar (or not numbers) give the largest distance.
  return span < 9.2e18 ? static_cast<int64_t>(span) : INT64_MAX;
}

// ---- formatting -------------------------------------------------------------------

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool StartsWithNoCase(const std::string& s, size_t pos, const char* prefix) {
  for (size_t k = 0; prefix[k]; ++k)
    if (pos + k >= s.size() || Upper(s[pos + k]) != Upper(prefix[k])) return false;
  return true;
}

// True when an am/pm letter follows somewhere after pos (outside quoted text).
bool AmPmFollows(const std::string& f, size_t pos) {
  char quote = 0;
  for (size_t i = pos; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm")) {
      return true;
    }
  }
  return false;
}

std::string Padded(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

struct Fields {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0, Dow = 0;  // Dow 0 = Sunday
};

class Formatter {
 public:
  Formatter(const Fields& f, const TFormatSettings& s) : F(f), S(s) {}

  void Append(std::string& out, const std::string& fmt, int depth) {
    // Formats that name each other ("c" inside the short date format) stop here.
    if (depth > 2) return;
    char last = 0;
    size_t i = 0;
    while (i < fmt.size()) {
      char c = fmt[i];
      if (c == '\'' || c == '"') {
        size_t end = fmt.find(c, i + 1);
        if (end == std::string::npos) end = fmt.size();
        out.append(fmt, i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      if (c == '/') { out += S.DateSeparator; ++i; continue; }
      if (c == ':') { out += S.TimeSeparator; ++i; continue; }
      if (!IsAsciiLetter(c)) { out += c; ++i; continue; }
      char u = Upper(c);
      size_t count = 1;
      while (i + count < fmt.size() && Upper(fmt[i + count]) == u) ++count;
      switch (u) {
        case 'C':
          Append(out, S.ShortDateFormat, depth + 1);
          if (F.Hour || F.Min || F.Sec) {
            out += ' ';
            Append(out, S.LongTimeFormat, depth + 1);
          }
          break;
        case 'D':
          if (count == 1) out += std::to_string(F.Day);
          else if (count == 2) out += Padded(F.Day, 2);
          else if (count == 3) out += S.ShortDayNames[F.Dow];
          else if (count == 4) out += S.LongDayNames[F.Dow];
          else if (count == 5) Append(out, S.ShortDateFormat, depth + 1);
          else Append(out, S.LongDateFormat, depth + 1);
          break;
        case 'M':
          if (last == 'H' && count <= 2) {
            out += count == 1 ? std::to_string(F.Min) : Padded(F.Min, 2);
          } else if (count == 1) {
            out += std::to_string(F.Month);
          } else if (count == 2) {
            out += Padded(F.Month, 2);
          } else {
            const auto& names = count == 3 ? S.ShortMonthNames : S.LongMonthNames;
            if (F.Month >= 1) out += names[F.Month - 1];
          }
          break;
        case 'Y':
          out += count <= 2 ? Padded(F.Year % 100, 2) : Padded(F.Year, 4);
          break;
        case 'H': {
          int h = F.Hour;
          if (AmPmFollows(fmt, i + count)) {
            h %= 12;
            if (h == 0) h = 12;
          }
          out += count == 1 ? std::to_string(h) : Padded(h, 2);
          // Only the first two letters are the hour; "hhh" prints the rest as an hour again.
          count = std::min<size_t>(count, 2);
          break;
        }
        case 'N':
          out += count == 1 ? std::to_string(F.Min) : Padded(F.Min, 2);
          count = std::min<size_t>(count, 2);
          break;
        case 'S':
          out += count == 1 ? std::to_string(F.Sec) : Padded(F.Sec, 2);
          count = std::min<size_t>(count, 2);
          break;
        case 'Z':
          out += count == 1 ? std::to_string(F.MSec) : Padded(F.MSec, 3);
          count = std::min<size_t>(count, 3);
          break;
        case 'T':
          Append(out, count == 1 ? S.ShortTimeFormat : S.LongTimeFormat, depth + 1);
          count = std::min<size_t>(count, 2);
          break;
        case 'A':
          if (StartsWithNoCase(fmt, i, "am/pm")) {
            out.append(fmt, F.Hour >= 12 ? i + 3 : i, 2);
            count = 5;
          } else if (StartsWithNoCase(fmt, i, "a/p")) {
            out += fmt[F.Hour >= 12 ? i + 2 : i];
            count = 3;
          } else if (StartsWithNoCase(fmt, i, "ampm")) {
            out += F.Hour >= 12 ? S.TimePMString : S.TimeAMString;
            count = 4;
          } else {
            out += c;
            count = 1;
          }
          break;
        default:
          out.append(fmt, i, count);
          break;
      }
      last = u;
      i += count;
    }
  }

 private:
  const Fields& F;
  const TFormatSettings& S;
};

// ---- parsing ----------------------------------------------------------------------

void SkipBlanks(const std::string& s, size_t& pos) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
}

bool ScanNumber(const std::string& s, size_t& pos, int& value, int& digits) {
  size_t start = pos;
  int64_t v = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
    if (pos - start >= 9) return false;
    v = v * 10 + (s[pos] - '0');
    ++pos;
  }
  digits = static_cast<int>(pos - start);
  value = static_cast<int>(v);
  return digits > 0;
}

bool ScanText(const std::string& s, size_t& pos, const std::string& text) {
  if (text.empty() || s.compare(pos, text.size(), text) != 0) return false;
  pos += text.size();
  return true;
}

// 0 none, 1 AM, 2 PM; the settings' strings first, then the English ones.
int ScanAmPm(const std::string& s, size_t& pos, const TFormatSettings& st) {
  const std::string* candidates[4] = {&st.TimeAMString, &st.TimePMString, nullptr, nullptr};
  static const std::string kAm = "AM", kPm = "PM";
  candidates[2] = &kAm;
  candidates[3] = &kPm;
  for (int k = 0; k < 4; ++k) {
    const std::string& text = *candidates[k];
    if (!text.empty() && StartsWithNoCase(s, pos, text.c_str())) {
      pos += text.size();
      return k % 2 == 0 ? 1 : 2;
    }
  }
  return 0;
}

enum class DateOrder { YMD, DMY, MDY };

DateOrder OrderOf(const std::string& shortDateFormat) {
  char quote = 0;
  for (char c : shortDateFormat) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') { quote = c; continue; }
    switch (Upper(c)) {
      case 'Y': return DateOrder::YMD;
      case 'D': return DateOrder::DMY;
      case 'M': return DateOrder::MDY;
      default: break;
    }
  }
  return DateOrder::MDY;
}

int CurrentYear() {
  int y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

int ExpandYear(int year, int window) {
  int current = CurrentYear();
  if (window <= 0) return year + current / 100 * 100;
  int threshold = current - window;
  year += threshold / 100 * 100;
  if (year < threshold) year += 100;
  return year;
}

bool ScanDate(const std::string& s, size_t& pos, const TFormatSettings& st, TDateTime& result) {
  SkipBlanks(s, pos);
  int n[3] = {0, 0, 0};
  int len[3] = {0, 0, 0};
  int found = 0;
  size_t p = pos;
  while (found < 3) {
    if (found > 0) {
      size_t q = p;
      if (!ScanText(s, q, st.DateSeparator)) break;
      if (!ScanNumber(s, q, n[found], len[found])) break;
      p = q;
    } else if (!ScanNumber(s, p, n[0], len[0])) {
      return false;
    }
    ++found;
  }
  if (found < 2) return false;
  DateOrder order = OrderOf(st.ShortDateFormat);
  int y, m, d;
  int yearDigits = 4;
  if (found == 2) {
    y = CurrentYear();
    if (order == DateOrder::DMY) { d = n[0]; m = n[1]; }
    else { m = n[0]; d = n[1]; }
  } else if (order == DateOrder::YMD || len[0] > 2) {
    y = n[0]; m = n[1]; d = n[2]; yearDigits = len[0];
  } else if (order == DateOrder::MDY) {
    m = n[0]; d = n[1]; y = n[2]; yearDigits = len[2];
  } else {
    d = n[0]; m = n[1]; y = n[2]; yearDigits = len[2];
  }
  if (yearDigits <= 2) y = ExpandYear(y, st.TwoDigitYearCenturyWindow);
  if (!TryEncodeDate(y, m, d, result)) return false;
  pos = p;
  return true;
}

bool ScanTime(const std::string& s, size_t& pos, const TFormatSettings& st, TDateTime& result) {
  size_t p = pos;
  SkipBlanks(s, p);
  int ampm = ScanAmPm(s, p, st);
  SkipBlanks(s, p);
  int hour = 0, min = 0, sec = 0, msec = 0, digits = 0;
  if (!ScanNumber(s, p, hour, digits)) return false;
  bool hasMinutes = false;
  if (ScanText(s, p, st.TimeSeparator)) {
    if (!ScanNumber(s, p, min, digits)) return false;
    hasMinutes = true;
    if (ScanText(s, p, st.TimeSeparator)) {
      if (!ScanNumber(s, p, sec, digits)) return false;
      if (ScanText(s, p, st.DecimalSeparator) || ScanText(s, p, ".")) {
        // The digits are a fraction of the second: ".5" is 500 ms.
        int fraction = 0;
        if (!ScanNumber(s, p, fraction, digits)) return false;
        while (digits > 3) { fraction /= 10; --digits; }
        while (digits < 3) { fraction *= 10; ++digits; }
        msec = fraction;
      }
    }
  }
  SkipBlanks(s, p);
  if (ampm == 0) ampm = ScanAmPm(s, p, st);
  if (!hasMinutes && ampm == 0) return false;
  if (ampm != 0) {
    if (hour > 12) return false;
    if (ampm == 1 && hour == 12) hour = 0;
    if (ampm == 2 && hour < 12) hour += 12;
  }
  if (!TryEncodeTime(hour, min, sec, msec, result)) return false;
  pos = p;
  return true;
}

bool AtEnd(const std::string& s, size_t pos) {
  SkipBlanks(s, pos);
  return pos == s.size();
}

}  // namespace

bool DateTimeToTimeStamp(TDateTime dt, TimeStamp& ts) {
  double v = dt.Value;
  if (!std::isfinite(v) || std::fabs(v) > static_cast<double>(kMaxDay + 1) ||
      v < static_cast<double>(kMinDay - 1))
    return false;
  int64_t total = std::llround(std::fabs(v) * static_cast<double>(kMsPerDay));
  int64_t days = total / kMsPerDay;
  ts.TimeMs = total % kMsPerDay;
  ts.Days = v < 0 ? -days : days;
  return ts.Days >= kMinDay && ts.Days <= kMaxDay;
}

TDateTime TimeStampToDateTime(const TimeStamp& ts) {
  double fraction = static_cast<double>(ts.TimeMs) / static_cast<double>(kMsPerDay);
  double days = static_cast<double>(ts.Days);
  return TDateTime(ts.Days >= 0 ? days + fraction : days - fraction);
}

}  // namespace rtl

using rtl::kMsPerDay;

TDateTime Now() { return rtl::CurrentClock().WallNow(); }
TDateTime Date() { return TDateTime(std::trunc(Now().Value)); }
TDateTime Time() {
  double v = Now().Value;
  return TDateTime(v - std::trunc(v));
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
    return false;
  result = TDateTime(static_cast<double>(rtl::DaysFromCivil(year, month, day) - rtl::kEpochShift));
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999) return false;
  int64_t ms = ((hour * 60LL + min) * 60 + sec) * 1000 + msec;
  result = TDateTime(static_cast<double>(ms) / static_cast<double>(kMsPerDay));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError("Invalid argument to date encode");
  return result;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime result;
  if (!TryEncodeTime(hour, min, sec, msec, result)) throw EConvertError("Invalid argument to time encode");
  return result;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  rtl::TimeStamp ts;
  if (!rtl::DateTimeToTimeStamp(dt, ts)) {
    year = month = day = 0;
    return;
  }
  rtl::CivilFromDays(ts.Days + rtl::kEpochShift, year, month, day);
}

void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day) {
  int y, m, d;
  DecodeDate(dt, y, m, d);
  year = static_cast<uint16_t>(y);
  month = static_cast<uint16_t>(m);
  day = static_cast<uint16_t>(d);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  rtl::TimeStamp ts;
  if (!rtl::DateTimeToTimeStamp(dt, ts)) {
    hour = min = sec = msec = 0;
    return;
  }
  int64_t t = ts.TimeMs;
  msec = static_cast<int>(t % 1000);
  t /= 1000;
  sec = static_cast<int>(t % 60);
  t /= 60;
  min = static_cast<int>(t % 60);
  hour = static_cast<int>(t / 60);
}

void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec) {
  int h, m, s, ms;
  DecodeTime(dt, h, m, s, ms);
  hour = static_cast<uint16_t>(h);
  min = static_cast<uint16_t>(m);
  sec = static_cast<uint16_t>(s);
  msec = static_cast<uint16_t>(ms);
}

int DayOfWeek(TDateTime dt) {
  rtl::TimeStamp ts;
  if (!rtl::DateTimeToTimeStamp(dt, ts)) return 0;
  // 1899-12-30 was a Saturday.
  return static_cast<int>(((ts.Days + 6) % 7 + 7) % 7) + 1;
}

TDateTime IncMilliSecond(TDateTime dt, int64_t count) { return rtl::IncLinear(dt, count, 1); }
TDateTime IncSecond(TDateTime dt, int64_t count) { return rtl::IncLinear(dt, count, 1000); }
TDateTime IncMinute(TDateTime dt, int64_t count) { return rtl::IncLinear(dt, count, 60000); }
TDateTime IncHour(TDateTime dt, int64_t count) { return rtl::IncLinear(dt, count, 3600000); }
TDateTime IncDay(TDateTime dt, int count) { return rtl::IncLinear(dt, count, kMsPerDay); }
TDateTime IncWeek(TDateTime dt, int count) { return rtl::IncLinear(dt, count, 7 * kMsPerDay); }

TDateTime IncMonth(TDateTime dt, int count) {
  rtl::TimeStamp ts;
  if (!rtl::DateTimeToTimeStamp(dt, ts)) throw EConvertError("Invalid argument to date encode");
  int y, m, d;
  rtl::CivilFromDays(ts.Days + rtl::kEpochShift, y, m, d);
  int64_t months = static_cast<int64_t>(y) * 12 + (m - 1) + count;
  int64_t ny = months >= 0 ? months / 12 : -1;
  if (ny < 1 || ny > 9999) throw EConvertError("Invalid argument to date encode");
  int newYear = static_cast<int>(ny);
  int newMonth = static_cast<int>(months % 12) + 1;
  int newDay = std::min(d, DaysInAMonth(newYear, newMonth));
  ts.Days = rtl::DaysFromCivil(newYear, newMonth, newDay) - rtl::kEpochShift;
  return rtl::TimeStampToDateTime(ts);
}

TDateTime IncYear(TDateTime dt, int count) { return IncMonth(dt, count * 12); }

int64_t MilliSecondsBetween(TDateTime a, TDateTime b) { return rtl::MsBetween(a, b); }
int64_t SecondsBetween(TDateTime a, TDateTime b) { return rtl::MsBetween(a, b) / 1000; }
int64_t MinutesBetween(TDateTime a, TDateTime b) { return rtl::MsBetween(a, b) / 60000; }
int64_t DaysBetween(TDateTime a, TDateTime b) { return rtl::MsBetween(a, b) / kMsPerDay; }

TDateTime DateOf(TDateTime dt) { return TDateTime(std::trunc(dt.Value)); }
TDateTime TimeOf(TDateTime dt) { return TDateTime(dt.Value - std::trunc(dt.Value)); }

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  double t = std::fabs(time.Value - std::trunc(time.Value));
  double d = std::trunc(date.Value);
  return TDateTime(d < 0 ? d - t : d + t);
}

std::string FormatDateTime(const std::string& format, TDateTime dt, const TFormatSettings& settings) {
  rtl::Fields f;
  rtl::TimeStamp ts;
  if (rtl::DateTimeToTimeStamp(dt, ts)) {
    rtl::CivilFromDays(ts.Days + rtl::kEpochShift, f.Year, f.Month, f.Day);
    DecodeTime(dt, f.Hour, f.Min, f.Sec, f.MSec);
    f.Dow = DayOfWeek(dt) - 1;
  }
  std::string out;
  rtl::Formatter(f, settings).Append(out, format.empty() ? std::string("c") : format, 0);
  return out;
}

std::string FormatDateTime(const std::string& format, TDateTime dt) {
  return FormatDateTime(format, dt, FormatSettings());
}

void DateTimeToString(std::string& result, const std::string& format, TDateTime dt, const TFormatSettings& settings) {
  result = FormatDateTime(format, dt, settings);
}

void DateTimeToString(std::string& result, const std::string& format, TDateTime dt) {
  result = FormatDateTime(format, dt, FormatSettings());
}

std::string DateToStr(TDateTime dt, const TFormatSettings& settings) { return FormatDateTime("ddddd", dt, settings); }
std::string DateToStr(TDateTime dt) { return DateToStr(dt, FormatSettings()); }
std::string TimeToStr(TDateTime dt, const TFormatSettings& settings) { return FormatDateTime("tt", dt, settings); }
std::string TimeToStr(TDateTime dt) { return TimeToStr(dt, FormatSettings()); }
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings) { return FormatDateTime("c", dt, settings); }
std::string DateTimeToStr(TDateTime dt) { return DateTimeToStr(dt, FormatSettings()); }

bool TryStrToDate(const std::string& s, TDateTime& result, const TFormatSettings& settings) {
  size_t pos = 0;
  TDateTime value;
  if (!rtl::ScanDate(s, pos, settings, value) || !rtl::AtEnd(s, pos)) return false;
  result = value;
  return true;
}

bool TryStrToTime(const std::string& s, TDateTime& result, const TFormatSettings& settings) {
  size_t pos = 0;
  TDateTime value;
  if (!rtl::ScanTime(s, pos, settings, value) || !rtl::AtEnd(s, pos)) return false;
  result = value;
  return true;
}

bool TryStrToDateTime(const std::string& s, TDateTime& result, const TFormatSettings& settings) {
  size_t pos = 0;
  TDateTime date;
  if (rtl::ScanDate(s, pos, settings, date)) {
    if (rtl::AtEnd(s, pos)) {
      result = date;
      return true;
    }
    TDateTime time;
    if (!rtl::ScanTime(s, pos, settings, time) || !rtl::AtEnd(s, pos)) return false;
    result = ComposeDateTime(date, time);
    return true;
  }
  return TryStrToTime(s, result, settings);
}

bool TryStrToDate(const std::string& s, TDateTime& result) { return TryStrToDate(s, result, FormatSettings()); }
bool TryStrToTime(const std::string& s, TDateTime& result) { return TryStrToTime(s, result, FormatSettings()); }
bool TryStrToDateTime(const std::string& s, TDateTime& result) { return TryStrToDateTime(s, result, FormatSettings()); }

TDateTime StrToDate(const std::string& s, const TFormatSettings& settings) {
  TDateTime result;
  if (!TryStrToDate(s, result, settings)) throw EConvertError("'" + s + "' is not a valid date");
  return result;
}

TDateTime StrToTime(const std::string& s, const TFormatSettings& settings) {
  TDateTime result;
  if (!TryStrToTime(s, result, settings)) throw EConvertError("'" + s + "' is not a valid time");
  return result;
}

TDateTime StrToDateTime(const std::string& s, const TFormatSettings& settings) {
  TDateTime result;
  if (!TryStrToDateTime(s, result, settings)) throw EConvertError("'" + s + "' is not a valid date and time");
  return result;
}

TDateTime StrToDate(const std::string& s) { return StrToDate(s, FormatSettings()); }
TDateTime StrToTime(const std::string& s) { return StrToTime(s, FormatSettings()); }
TDateTime StrToDateTime(const std::string& s) { return StrToDateTime(s, FormatSettings()); }

TDateTime StrToDateDef(const std::string& s, TDateTime def) {
  TryStrToDate(s, def);
  return def;
}

TDateTime StrToTimeDef(const std::string& s, TDateTime def) {
  TryStrToTime(s, def);
  return def;
}

TDateTime StrToDateTimeDef(const std::string& s, TDateTime def) {
  TryStrToDateTime(s, def);
  return def;
}
