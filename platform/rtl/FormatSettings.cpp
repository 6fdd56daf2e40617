#include "platform/rtl/FormatSettings.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

namespace rtl {

namespace {

TFormatSettings UsEnglishTable() {
  TFormatSettings s;
  s.CurrencyString = "$";
  s.CurrencyFormat = 0;
  s.NegCurrFormat = 0;
  s.ThousandSeparator = ",";
  s.DecimalSeparator = ".";
  s.DateSeparator = "/";
  s.TimeSeparator = ":";
  s.ListSeparator = ",";
  s.ShortDateFormat = "m/d/yyyy";
  s.LongDateFormat = "dddd, mmmm d, yyyy";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  s.ShortTimeFormat = "h:nn AMPM";
  s.LongTimeFormat = "h:nn:ss AMPM";
  s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  s.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  s.CurrencyDecimals = 2;
  s.TwoDigitYearCenturyWindow = 50;
  return s;
}

TFormatSettings ChineseTable() {
  TFormatSettings s;
  s.CurrencyString = "¥";
  s.CurrencyFormat = 0;
  s.NegCurrFormat = 2;
  s.ThousandSeparator = ",";
  s.DecimalSeparator = ".";
  s.DateSeparator = "-";
  s.TimeSeparator = ":";
  s.ListSeparator = ",";
  s.ShortDateFormat = "yyyy-mm-dd";
  s.LongDateFormat = "yyyy'年'm'月'd'日'";
  s.TimeAMString = "上午";
  s.TimePMString = "下午";
  s.ShortTimeFormat = "hh:nn";
  s.LongTimeFormat = "hh:nn:ss";
  s.ShortMonthNames = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                       "7月", "8月", "9月", "10月", "11月", "12月"};
  s.LongMonthNames = {"一月", "二月", "三月", "四月",   "五月",   "六月",
                      "七月", "八月", "九月", "十月", "十一月", "十二月"};
  s.ShortDayNames = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
  s.LongDayNames = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
  s.CurrencyDecimals = 2;
  s.TwoDigitYearCenturyWindow = 50;
  return s;
}

// "zh_CN.UTF-8@x" -> language "zh", territory "CN".
void SplitLocaleName(const std::string& name, std::string& language, std::string& territory) {
  std::string base = name.substr(0, name.find_first_of(".@"));
  auto underscore = base.find('_');
  language = base.substr(0, underscore);
  territory = underscore == std::string::npos ? "" : base.substr(underscore + 1);
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The first character of a format that is neither a letter nor inside quotes.
std::string FirstSeparator(const std::string& format, const std::string& fallback) {
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (!IsAsciiLetter(c) && c != ' ' && static_cast<unsigned char>(c) < 0x80) {
      return std::string(1, c);
    }
  }
  return fallback;
}

// Removes the seconds (and the separator before them) from a time format.
std::string WithoutSeconds(const std::string& format) {
  std::string result = format;
  auto pos = result.find("ss");
  if (pos == std::string::npos) return result;
  size_t start = pos;
  if (start > 0 && !IsAsciiLetter(result[start - 1]) && result[start - 1] != ' ') --start;
  result.erase(start, pos + 2 - start);
  return result;
}

// A code of CurrencyFormat / NegCurrFormat from the monetary placement flags.
void CurrencyLayout(bool symbolFirst, bool spaced, uint8_t& positive, uint8_t& negative) {
  if (symbolFirst) {
    positive = spaced ? 2 : 0;
    negative = spaced ? 9 : 1;
  } else {
    positive = spaced ? 3 : 1;
    negative = spaced ? 8 : 5;
  }
}

}  // namespace

std::string StrftimeToFormat(const std::string& f) {
  std::string out;
  std::string literal;
  auto flushLiteral = [&] {
    if (literal.empty()) return;
    bool needsQuotes = false;
    for (char c : literal)
      if (IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0x80 || c == '"' || c == '\'') needsQuotes = true;
    if (needsQuotes) {
      // Double quotes unless the text holds one.
      char q = literal.find('"') == std::string::npos ? '"' : '\'';
      out += q;
      out += literal;
      out += q;
    } else {
      out += literal;
    }
    literal.clear();
  };
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 >= f.size()) {
      literal += f[i];
      continue;
    }
    char c = f[++i];
    // Flags and widths ("%-d", "%Ey", "%Od") are skipped.
    while ((c == '-' || c == '_' || c == '0' || c == '^' || c == '#' || c == 'E' || c == 'O') && i + 1 < f.size())
      c = f[++i];
    std::string piece;
    switch (c) {
      case 'Y': case 'G': piece = "yyyy"; break;
      case 'y': case 'g': piece = "yy"; break;
      case 'm': piece = "mm"; break;
      case 'd': piece = "dd"; break;
      case 'e': piece = "d"; break;
      case 'b': case 'h': piece = "mmm"; break;
      case 'B': piece = "mmmm"; break;
      case 'a': piece = "ddd"; break;
      case 'A': piece = "dddd"; break;
      case 'H': case 'I': piece = "hh"; break;
      case 'k': case 'l': piece = "h"; break;
      case 'M': piece = "nn"; break;
      case 'S': piece = "ss"; break;
      case 'p': case 'P': piece = "ampm"; break;
      case 'D': piece = "mm/dd/yy"; break;
      case 'F': piece = "yyyy-mm-dd"; break;
      case 'T': piece = "hh:nn:ss"; break;
      case 'R': piece = "hh:nn"; break;
      case 'r': piece = "hh:nn:ss ampm"; break;
      case 'n': literal += '\n'; continue;
      case 't': literal += '\t'; continue;
      case '%': literal += '%'; continue;
      default: continue;  // Zones and the like have no counterpart.
    }
    flushLiteral();
    out += piece;
  }
  flushLiteral();
  return out;
}

std::optional<TFormatSettings> InstalledLocaleFormatSettings(const std::string& localeName) {
  locale_t loc = newlocale(LC_ALL_MASK, localeName.c_str(), static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return std::nullopt;
  auto item = [loc](nl_item i) { return std::string(nl_langinfo_l(i, loc)); };
  auto number = [loc](nl_item i) { return static_cast<int>(static_cast<signed char>(*nl_langinfo_l(i, loc))); };

  TFormatSettings s = UsEnglishTable();
  static constexpr nl_item kAbDays[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
  static constexpr nl_item kDays[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
  static constexpr nl_item kAbMonths[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                            ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
  static constexpr nl_item kMonths[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                          MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
  for (int i = 0; i < 7; ++i) {
    s.ShortDayNames[i] = item(kAbDays[i]);
    s.LongDayNames[i] = item(kDays[i]);
  }
  for (int i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = item(kAbMonths[i]);
    s.LongMonthNames[i] = item(kMonths[i]);
  }
  s.TimeAMString = item(AM_STR);
  s.TimePMString = item(PM_STR);
  s.ShortDateFormat = StrftimeToFormat(item(D_FMT));
  s.DateSeparator = FirstSeparator(s.ShortDateFormat, "/");
  // glibc has no long date; build one in the short date's field order.
  std::string order;
  for (char c : s.ShortDateFormat) {
    char u = static_cast<char>(c | 0x20);
    if ((u == 'd' || u == 'm' || u == 'y') && order.find(u) == std::string::npos) order += u;
  }
  if (order.rfind("y", 0) == 0) s.LongDateFormat = "yyyy mmmm d, dddd";
  else if (order.rfind("d", 0) == 0) s.LongDateFormat = "dddd, d mmmm yyyy";
  else s.LongDateFormat = "dddd, mmmm d, yyyy";
  s.LongTimeFormat = StrftimeToFormat(item(T_FMT));
  // A 12-hour clock needs the am/pm marker that the 24-hour format lacks.
  if (s.LongTimeFormat.find("ampm") == std::string::npos && std::string(item(T_FMT)).find("%I") != std::string::npos)
    s.LongTimeFormat += " ampm";
  s.ShortTimeFormat = WithoutSeconds(s.LongTimeFormat);
  s.TimeSeparator = FirstSeparator(s.LongTimeFormat, ":");
  std::string radix = item(RADIXCHAR);
  if (!radix.empty()) s.DecimalSeparator = radix;
  s.ThousandSeparator = item(THOUSEP);
  s.ListSeparator = s.DecimalSeparator == "," ? ";" : ",";
  std::string currency = item(CRNCYSTR);
  if (!currency.empty()) {
    s.CurrencyString = currency.substr(1);
    bool first = currency[0] == '-';
    bool spaced = number(P_SEP_BY_SPACE) > 0;
    CurrencyLayout(first, spaced, s.CurrencyFormat, s.NegCurrFormat);
  }
  int decimals = number(FRAC_DIGITS);
  if (decimals >= 0 && decimals <= 4) s.CurrencyDecimals = decimals;
  freelocale(loc);
  return s;
}

TFormatSettings LocaleFormatSettings(const std::string& localeName) {
  std::string language, territory;
  SplitLocaleName(localeName, language, territory);
  if (language == "zh" && (territory.empty() || territory == "CN" || territory == "SG")) return ChineseTable();
  if (language.empty() || language == "C" || language == "POSIX" || (language == "en" && (territory.empty() || territory == "US")))
    return UsEnglishTable();
  if (auto installed = InstalledLocaleFormatSettings(localeName)) return *installed;
  if (language == "zh") return ChineseTable();
  return UsEnglishTable();
}

}  // namespace rtl

std::string rtl::ProcessLocaleName() {
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return value;
  }
  return "";
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = rtl::LocaleFormatSettings(rtl::ProcessLocaleName());
  return settings;
}
