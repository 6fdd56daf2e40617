#include "platform/data/SqlDates.h"

#include <cmath>
#include <cstdio>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"

namespace data {

namespace {

std::string TimeText(TDateTime Value) {
  int h, n, s, ms;
  DecodeTime(Value, h, n, s, ms);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, n, s);
  return buf;
}

std::string DateText(TDateTime Value) {
  int y, m, d;
  DecodeDate(Value, y, m, d);
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

bool ParseTime(const std::string& s, size_t& pos, TDateTime& Time) {
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
  return TryEncodeTime(h, n, sec, ms, Time);
}

}  // namespace

std::string FormatSqlTime(TDateTime Value) { return TimeText(Value); }
std::string FormatSqlDate(TDateTime Value) { return DateText(Value); }
std::string FormatSqlDateTime(TDateTime Value) { return DateText(Value) + " " + TimeText(Value); }

bool ParseSqlDateTime(const std::string& Text, TDateTime& Value) {
  std::string s = Trim(Text);
  if (s.empty()) return false;
  size_t pos = 0;
  TDateTime time(0.0);
  if (s.find('-') == std::string::npos) {
    if (!ParseTime(s, pos, time) || pos != s.size()) return false;
    Value = time;
    return true;
  }
  int y, m, d;
  if (!ReadInt(s, pos, 4, 4, y) || pos >= s.size() || s[pos++] != '-') return false;
  if (!ReadInt(s, pos, 1, 2, m) || pos >= s.size() || s[pos++] != '-') return false;
  if (!ReadInt(s, pos, 1, 2, d)) return false;
  TDateTime date;
  if (!TryEncodeDate(y, m, d, date)) return false;
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') return false;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) ++pos;
    if (!ParseTime(s, pos, time) || pos != s.size()) return false;
  }
  Value = ComposeDateTime(date, time);
  return true;
}

}  // namespace data
