#pragma once
// Text forms of field values by the process's format settings: numbers by format strings,
// money, dates and times, and text read back into dates and times.
#include <string>

#include "platform/rtl/System.h"

namespace data {

char32_t DecimalSeparator();
int CurrencyDecimals();
// FormatFloat pictures ("#,##0.00").
std::string FormatNumber(const std::string& Format, double Value);
// Shortest text with up to Precision significant digits.
std::string FormatGeneral(double Value, int Precision);
std::string FormatFixed(double Value, int Decimals);
// The value with the currency symbol and decimals of the format settings.
std::string FormatMoney(double Value);
// FormatDateTime pictures ("yyyy-mm-dd hh:nn").
std::string FormatDate(const std::string& Format, TDateTime Value);
std::string DateText(TDateTime Value);
std::string TimeText(TDateTime Value);
// Date and time; the time is left out at midnight.
std::string DateTimeText(TDateTime Value);
// Raise EConvertError "'X' is not a valid date" / "time" / "date and time". Besides the
// settings' forms, the database's own forms ("yyyy-mm-dd", "hh:nn:ss") are accepted.
TDateTime TextToDate(const std::string& S);
TDateTime TextToTime(const std::string& S);
TDateTime TextToDateTime(const std::string& S);

}  // namespace data
