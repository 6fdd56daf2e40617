#pragma once
// Regional settings used to turn dates, times and numbers into text and back.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct TFormatSettings {
  std::string CurrencyString;
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  uint8_t CurrencyFormat = 0;
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1", ...
  uint8_t NegCurrFormat = 0;
  // Each separator holds one character (which may take several bytes in UTF-8).
  std::string ThousandSeparator;
  std::string DecimalSeparator;
  std::string DateSeparator;
  std::string TimeSeparator;
  std::string ListSeparator;
  // Date-time format strings in FormatDateTime's letters (n = minutes).
  std::string ShortDateFormat;
  std::string LongDateFormat;
  std::string TimeAMString;
  std::string TimePMString;
  std::string ShortTimeFormat;
  std::string LongTimeFormat;
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
  // Index 0 = Sunday.
  std::array<std::string, 7> ShortDayNames;
  std::array<std::string, 7> LongDayNames;
  int CurrencyDecimals = 2;
  // A two-digit year is placed within the hundred years that start this many years
  // before the current year; 0 places it in the current century.
  int TwoDigitYearCenturyWindow = 50;
};

// The process's settings, read once from the locale (LC_ALL, else LC_TIME, else LANG).
// Tests may change fields and must restore them.
TFormatSettings& FormatSettings();

namespace rtl {

// Settings for a locale name such as "zh_CN", "en_US.UTF-8" or "de_DE".
// Chinese and US English come from built-in tables (the machine's tables for these use
// other conventions than the system expects); any other locale is read from the machine
// when it is installed; an unknown locale, "C", "POSIX" and "" give the US-English table.
TFormatSettings LocaleFormatSettings(const std::string& localeName);

// The locale the process's settings come from: the first set of LC_ALL, LC_TIME, LANG
// ("" when none is).
std::string ProcessLocaleName();

// Settings read from an installed locale through nl_langinfo; nullopt when the machine
// lacks the locale.
std::optional<TFormatSettings> InstalledLocaleFormatSettings(const std::string& localeName);

// Turns a strftime format ("%d.%m.%Y", "%H:%M:%S") into FormatDateTime letters
// ("dd.mm.yyyy", "hh:nn:ss"); literal letters are quoted.
std::string StrftimeToFormat(const std::string& strftimeFormat);

}  // namespace rtl
