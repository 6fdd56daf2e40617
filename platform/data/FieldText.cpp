#include "platform/data/FieldText.h"

#include <cmath>

#include "platform/data/SqlDates.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

namespace data {

char32_t DecimalSeparator() {
  const std::string& s = FormatSettings().DecimalSeparator;
  return s.size() == 1 ? static_cast<char32_t>(static_cast<unsigned char>(s[0])) : U'.';
}

int CurrencyDecimals() { return FormatSettings().CurrencyDecimals; }

std::string FormatNumber(const std::string& Format, double Value) { return FormatFloat(Format, Value); }

std::string FormatGeneral(double Value, int Precision) {
  return rtl::FloatToText(Value, FormatSettings(), Precision);
}

std::string FormatFixed(double Value, int Decimals) {
  std::string picture = "0";
  if (Decimals > 0) picture += "." + std::string(static_cast<size_t>(Decimals), '0');
  return FormatFloat(picture, Value);
}

std::string FormatMoney(double Value) { return Format("%m", {Value}); }

std::string FormatDate(const std::string& Format, TDateTime Value) { return FormatDateTime(Format, Value); }
std::string DateText(TDateTime Value) { return DateToStr(Value); }
std::string TimeText(TDateTime Value) { return TimeToStr(Value); }
std::string DateTimeText(TDateTime Value) { return DateTimeToStr(Value); }

namespace {
template <class Fn>
TDateTime Parse(const std::string& S, Fn Settings, const char* What) {
  TDateTime dt;
  if (Settings(S, dt) || ParseSqlDateTime(S, dt)) return dt;
  throw EConvertError("'" + S + "' is not a valid " + What);
}
}  // namespace

TDateTime TextToDate(const std::string& S) {
  return Parse(S, [](const std::string& s, TDateTime& dt) { return TryStrToDate(s, dt); }, "date");
}

TDateTime TextToTime(const std::string& S) {
  return Parse(S, [](const std::string& s, TDateTime& dt) { return TryStrToTime(s, dt); }, "time");
}

TDateTime TextToDateTime(const std::string& S) {
  return Parse(S, [](const std::string& s, TDateTime& dt) { return TryStrToDateTime(s, dt); }, "date and time");
}

}  // namespace data
