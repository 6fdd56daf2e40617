#include "platform/data/SqlDates.h"

#include <cmath>
#include <cstdio>

namespace data {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days since 0000-03-01 of the proleptic Gregorian calendar.
int64_t DaysFromCivilRaw(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe);
}

// Splits a date-time into whole days and milliseconds of the day. Negative values follow
// the platform's rule: the whole part is the day, the fraction's size is the time.
void Split(TDateTime Value, int64_t& Days, int64_t& Ms) {
  double v = Value.Value;
  double whole = std::trunc(v);
  double frac = std::fabs(v - whole);
  Days = static_cast<int64_t>(whole);
  Ms = std::llround(frac * static_cast<double>(kMsPerDay));
  if (Ms >= kMsPerDay) {
    Ms -= kMsPerDay;
    Days += v < 0 ? -1 : 1;
  }
}

std::string TimeText(int64_t Ms) {
  int64_t secs = Ms / 1000;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(secs / 3600),
                static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
  return buf;
}

std::string DateText(int64_t Days) {
  int y, m, d;
  CivilFromDays(Days, y, m, d);
  char buf[24];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

bool ReadInt(const std::string& s, size_t& pos, int digitsMin, int digitsMax, int& out) {
  int n = 0;
  int v = 0;
  while (pos < s.size() && n < digitsMax && s[pos] >= '0' && s[pos] <= '9') {
    v = v * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  out = v;
  return n >= digitsMin;
}

bool ParseTime(const std::string& s, size_t& pos, int64_t& Ms) {
  int h, n, sec = 0, ms = 0;
  if (!ReadInt(s, pos, 1, 2, h) || pos >= s.size() || s[pos] != ':') return false;
  ++pos;
  if (!ReadInt(s, pos, 1, 2, n)) return false;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    if (!ReadInt(s, pos, 1, 2, sec)) return false;
    if (pos < s.size() && s[pos] == '.') {
      ++pos;
      size_t start = pos;
      int frac;
      if (!ReadInt(s, pos, 1, 3, frac)) return false;
      for (size_t k = pos - start; k < 3; ++k) frac *= 10;
      ms = frac;
      while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    }
  }
  if (h > 23 || n > 59 || sec > 59) return false;
  Ms = ((h * 60LL + n) * 60 + sec) * 1000 + ms;
  return true;
}

}  // namespace

double DaysFromCivil(int Year, int Month, int Day) {
  return static_cast<double>(DaysFromCivilRaw(Year, static_cast<unsigned>(Month),
                                              static_cast<unsigned>(Day)) -
                             DaysFromCivilRaw(1899, 12, 30));
}

void CivilFromDays(int64_t Days, int& Year, int& Month, int& Day) {
  const int64_t z = Days + DaysFromCivilRaw(1899, 12, 30);
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  Year = static_cast<int>(y + (m <= 2));
  Month = static_cast<int>(m);
  Day = static_cast<int>(d);
}

std::string FormatSqlTime(TDateTime Value) {
  int64_t days, ms;
  Split(Value, days, ms);
  return TimeText(ms);
}

std::string FormatSqlDate(TDateTime Value) {
  int64_t days, ms;
  Split(Value, days, ms);
  return DateText(days);
}

std::string FormatSqlDateTime(TDateTime Value) {
  int64_t days, ms;
  Split(Value, days, ms);
  return DateText(days) + " " + TimeText(ms);
}

bool ParseSqlDateTime(const std::string& Text, TDateTime& Value) {
  size_t b = Text.find_first_not_of(" \t");
  if (b == std::string::npos) return false;
  size_t e = Text.find_last_not_of(" \t");
  std::string s = Text.substr(b, e - b + 1);
  size_t pos = 0;
  int64_t ms = 0;
  // A time alone.
  if (s.find('-') == std::string::npos) {
    if (!ParseTime(s, pos, ms) || pos != s.size()) return false;
    Value = TDateTime(static_cast<double>(ms) / kMsPerDay);
    return true;
  }
  int y, m, d;
  if (!ReadInt(s, pos, 4, 4, y) || pos >= s.size() || s[pos++] != '-') return false;
  if (!ReadInt(s, pos, 1, 2, m) || pos >= s.size() || s[pos++] != '-') return false;
  if (!ReadInt(s, pos, 1, 2, d)) return false;
  if (m < 1 || m > 12 || d < 1 || d > 31) return false;
  int cy, cm, cd;
  double days = DaysFromCivil(y, m, d);
  CivilFromDays(static_cast<int64_t>(days), cy, cm, cd);
  if (cm != m || cd != d) return false;  // 2026-02-30 and the like
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') return false;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) ++pos;
    if (!ParseTime(s, pos, ms) || pos != s.size()) return false;
  }
  double frac = static_cast<double>(ms) / kMsPerDay;
  Value = TDateTime(days >= 0 ? days + frac : days - frac);
  return true;
}

}  // namespace data
