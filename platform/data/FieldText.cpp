#include "platform/data/FieldText.h"

#include <cmath>
#include <cstdio>

#include "platform/data/SqlDates.h"

namespace data {

std::string TrimText(const std::string& S) {
  size_t b = S.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = S.find_last_not_of(" \t\r\n");
  return S.substr(b, e - b + 1);
}

char DecimalSeparator() { return '.'; }
int CurrencyDecimals() { return 2; }

std::string FormatFixed(double Value, int Decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", Decimals, Value);
  return buf;
}

std::string FormatNumber(const std::string& Format, double Value) {
  size_t dot = Format.find('.');
  int decimals = 0;
  if (dot != std::string::npos)
    for (size_t i = dot + 1; i < Format.size() && (Format[i] == '0' || Format[i] == '#'); ++i) ++decimals;
  std::string s = FormatFixed(Value, decimals);
  if (Format.find(',') != std::string::npos) {
    size_t end = s.find('.');
    if (end == std::string::npos) end = s.size();
    size_t start = s[0] == '-' ? 1 : 0;
    for (int i = static_cast<int>(end) - 3; i > static_cast<int>(start); i -= 3) s.insert(static_cast<size_t>(i), ",");
  }
  return s;
}

std::string FormatGeneral(double Value, int Precision) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", Precision, Value);
  return buf;
}

std::string FormatMoney(double Value) { return FormatNumber("#,##0.00", Value); }

std::string FormatDate(const std::string& Format, TDateTime Value) {
  std::string date = FormatSqlDateTime(Value);  // yyyy-mm-dd hh:nn:ss
  std::string out;
  for (size_t i = 0; i < Format.size();) {
    auto take = [&](const char* tok, size_t from, size_t len) {
      size_t n = std::char_traits<char>::length(tok);
      if (Format.compare(i, n, tok) == 0) {
        out += date.substr(from, len);
        i += n;
        return true;
      }
      return false;
    };
    if (take("yyyy", 0, 4) || take("mm", 5, 2) || take("dd", 8, 2) || take("hh", 11, 2) ||
        take("nn", 14, 2) || take("ss", 17, 2))
      continue;
    out += Format[i++];
  }
  return out;
}

std::string DateText(TDateTime Value) { return FormatSqlDate(Value); }
std::string TimeText(TDateTime Value) { return FormatSqlTime(Value); }
std::string DateTimeText(TDateTime Value) {
  if (TDateTime(std::trunc(Value.Value)).Value == Value.Value) return FormatSqlDate(Value);
  return FormatSqlDateTime(Value);
}

namespace {
TDateTime Parse(const std::string& S, const char* What) {
  TDateTime dt;
  if (!ParseSqlDateTime(S, dt)) throw EConvertError("'" + S + "' is not a valid " + What);
  return dt;
}
}  // namespace

TDateTime TextToDate(const std::string& S) { return Parse(S, "date"); }
TDateTime TextToTime(const std::string& S) { return Parse(S, "time"); }
TDateTime TextToDateTime(const std::string& S) { return Parse(S, "date and time"); }

}  // namespace data
