#pragma once
// Text forms of field values: numbers by format strings, money, dates and times by the
// process's format settings, and text read back into dates and times.
#include <string>

#include "platform/rtl/System.h"

namespace data {

std::string TrimText(const std::string& S);
char DecimalSeparator();
int CurrencyDecimals();
// "#,##0.00"-style formats.
std::string FormatNumber(const std::string& Format, double Value);
// Shortest text with up to Precision significant digits.
std::string FormatGeneral(double Value, int Precision);
std::string FormatFixed(double Value, int Decimals);
// The value with the currency symbol and decimals of the format settings.
std::string FormatMoney(double Value);
// "yyyy-mm-dd hh:nn"-style formats.
std::string FormatDate(const std::string& Format, TDateTime Value);
std::string DateText(TDateTime Value);
std::string TimeText(TDateTime Value);
std::string DateTimeText(TDateTime Value);
// Raise EConvertError "'X' is not a valid date" / "time" / "date and time".
TDateTime TextToDate(const std::string& S);
TDateTime TextToTime(const std::string& S);
TDateTime TextToDateTime(const std::string& S);

}  // namespace data
