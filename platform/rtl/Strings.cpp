#include "platform/rtl/Strings.h"

#include "platform/rtl/FloatText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace rtl {

char32_t NextCodePoint(std::string_view s, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  int extra = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1; c = lead & 0x1F; minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2; c = lead & 0x0F; minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3; c = lead & 0x07; minimum = 0x10000;
  } else {
    ++pos;
    return lead;
  }
  if (pos + extra >= s.size()) {  // truncated sequence
    ++pos;
    return lead;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return lead;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return lead;
  }
  pos += extra + 1;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

size_t ByteOffsetOfCodePoint(std::string_view s, size_t index) {
  size_t pos = 0;
  for (size_t i = 0; i < index && pos < s.size(); ++i) NextCodePoint(s, pos);
  return pos;
}

char32_t LowerCodePoint(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0x100 && c <= 0x137) return (c % 2 == 0) ? c + 1 : c;
  if (c >= 0x139 && c <= 0x148) return (c % 2 == 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return (c % 2 == 0) ? c + 1 : c;
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E) return (c % 2 == 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
  return c;
}

char32_t UpperCodePoint(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x101 && c <= 0x137 && c != 0x131) return (c % 2 == 1) ? c - 1 : c;
  if (c >= 0x13A && c <= 0x148) return (c % 2 == 0) ? c - 1 : c;
  if (c >= 0x14B && c <= 0x177) return (c % 2 == 1) ? c - 1 : c;
  if (c >= 0x17A && c <= 0x17E) return (c % 2 == 0) ? c - 1 : c;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}


std::string HexDigits(uint64_t value, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kHex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(out.size()) < digits) out.insert(0, digits - out.size(), '0');
  return out;
}

}  // namespace rtl

namespace {

// Maps every code point of `s` through `map`; a byte that is not valid UTF-8 goes to
// `invalid`, which appends what stands for it.
template <class Map, class Invalid>
std::string MapCodePoints(std::string_view s, Map map, Invalid invalid) {
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  while (pos < s.size()) {
    const size_t start = pos;
    const char32_t c = rtl::NextCodePoint(s, pos);
    if (pos - start == 1 && static_cast<unsigned char>(s[start]) >= 0x80) {
      invalid(out, s[start]);
    } else {
      rtl::AppendUtf8(out, map(c));
    }
  }
  return out;
}

void KeepByte(std::string& out, char byte) { out += byte; }

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

std::string AnsiLowerCase(std::string_view s) { return MapCodePoints(s, rtl::LowerCodePoint, KeepByte); }
std::string AnsiUpperCase(std::string_view s) { return MapCodePoints(s, rtl::UpperCodePoint, KeepByte); }

std::string rtl::ToValidUtf8(std::string_view s) {
  return MapCodePoints(s, [](char32_t c) { return c; }, [](std::string& out, char) { AppendUtf8(out, 0xFFFD); });
}

int CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca -= 32;
    if (cb >= 'a' && cb <= 'z') cb -= 32;
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

int AnsiCompareStr(std::string_view a, std::string_view b) { return CompareStr(a, b); }

int AnsiCompareText(std::string_view a, std::string_view b) {
  return CompareStr(AnsiLowerCase(a), AnsiLowerCase(b));
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

int Length(std::string_view s) {
  int count = 0;
  size_t pos = 0;
  while (pos < s.size()) {
    rtl::NextCodePoint(s, pos);
    ++count;
  }
  return count;
}

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const size_t at = s.find(sub);
  if (at == std::string_view::npos) return 0;
  return Length(s.substr(0, at)) + 1;
}

std::string Copy(std::string_view s, int index, int count) {
  if (count <= 0) return {};
  if (index < 1) index = 1;
  const size_t begin = rtl::ByteOffsetOfCodePoint(s, static_cast<size_t>(index - 1));
  const std::string_view rest = s.substr(begin);
  return std::string(rest.substr(0, rtl::ByteOffsetOfCodePoint(rest, static_cast<size_t>(count))));
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags) {
  if (oldPattern.empty()) return std::string(s);
  // Case folding keeps byte lengths, so offsets found in the folded copy hold for `s`.
  const bool ignoreCase = flags.Contains(rfIgnoreCase);
  const std::string haystack = ignoreCase ? AnsiUpperCase(s) : std::string(s);
  const std::string needle = ignoreCase ? AnsiUpperCase(oldPattern) : std::string(oldPattern);
  std::string out;
  size_t from = 0;
  while (from <= haystack.size()) {
    const size_t at = haystack.find(needle, from);
    if (at == std::string::npos) break;
    out.append(s.substr(from, at - from));
    out.append(newPattern);
    from = at + needle.size();
    if (!flags.Contains(rfReplaceAll)) break;
  }
  if (from < s.size()) out.append(s.substr(from));
  return out;
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
  std::string out(1, quote);
  for (char c : s) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

std::string QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

std::string AnsiDequotedStr(std::string_view s, char quote) {
  if (s.size() < 2 || s.front() != quote || s.back() != quote) return std::string(s);
  std::string out;
  size_t i = 1;
  while (i < s.size()) {
    if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote) {
        out += quote;
        i += 2;
        continue;
      }
      // The closing quote must be the last character, else the text was not quoted by us.
      return i == s.size() - 1 ? out : std::string(s);
    }
    out += s[i++];
  }
  return std::string(s);
}

// ---- Integers ----

std::string IntToStr(int64_t value) { return std::to_string(value); }

namespace {

// Parses an integer of `bits` width (32 or 64): optional leading blanks, sign, decimal
// digits or "$"/"0x"/"0X" hexadecimal. Hexadecimal may use the full unsigned width.
bool ParseInteger(std::string_view s, int bits, int64_t& result) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  const uint64_t unsignedMax = bits == 32 ? 0xFFFFFFFFull : std::numeric_limits<uint64_t>::max();
  uint64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    const uint64_t base = hex ? 16 : 10;
    if (magnitude > (unsignedMax - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  const uint64_t signedMax = bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull;
  if (hex && !negative) {
    // "$FFFFFFFF" is -1: hexadecimal writes the bit pattern.
    if (bits == 32) result = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    else result = static_cast<int64_t>(magnitude);
    return true;
  }
  if (negative) {
    if (magnitude > signedMax + 1) return false;
    result = magnitude == signedMax + 1 ? (bits == 32 ? INT32_MIN : INT64_MIN) : -static_cast<int64_t>(magnitude);
  } else {
    if (magnitude > signedMax) return false;
    result = static_cast<int64_t>(magnitude);
  }
  return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view s) {
  throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(std::string_view s, int& value) {
  int64_t v;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) { return ParseInteger(s, 64, value); }

int StrToInt(std::string_view s) {
  int v;
  if (!TryStrToInt(s, v)) RaiseNotInteger(s);
  return v;
}

int64_t StrToInt64(std::string_view s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) RaiseNotInteger(s);
  return v;
}

int StrToIntDef(std::string_view s, int defaultValue) {
  int v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

int64_t StrToInt64Def(std::string_view s, int64_t defaultValue) {
  int64_t v;
  return TryStrToInt64(s, v) ? v : defaultValue;
}

// ---- Floating point ----

namespace {

// A non-negative decimal: 0.d1d2d3... × 10^exponent; no trailing zeros; empty digits = zero.
struct Decimal {
  std::string digits;
  int exponent = 0;
  bool IsZero() const { return digits.empty(); }
};

void StripTrailingZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

// The magnitude of a finite value to 15 significant digits (what a double holds reliably),
// so that 2.675 is seen as 2.675 and rounds like the number the user wrote.
Decimal ToDecimal(double value) {
  Decimal d;
  value = std::fabs(value);
  if (value == 0.0) return d;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  const std::string_view text(buf);
  const size_t e = text.find('e');
  for (size_t i = 0; i < e; ++i)
    if (text[i] != '.') d.digits += text[i];
  d.exponent = std::atoi(buf + e + 1) + 1;
  StripTrailingZeros(d);
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void RoundToDigits(Decimal& d, int keep) {
  if (keep < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  if (keep >= static_cast<int>(d.digits.size())) return;
  const bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  StripTrailingZeros(d);
}

void RoundToDecimals(Decimal& d, int decimals) {
  if (d.IsZero()) return;
  RoundToDigits(d, d.exponent + decimals);
}

// Digit `i` (0-based from the first significant digit); zeros past the end.
char DigitAt(const Decimal& d, int i) {
  return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[i] : '0';
}

// Integer part digits ("" for a value below one).
std::string IntegerDigits(const Decimal& d) {
  std::string out;
  for (int i = 0; i < d.exponent; ++i) out += DigitAt(d, i);
  return out;
}

// The first `count` fraction digits.
std::string FractionDigits(const Decimal& d, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += DigitAt(d, d.exponent + i);
  return out;
}

std::string Group(const std::string& digits, const std::string& separator) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    out += digits[i];
    const size_t remaining = digits.size() - 1 - i;
    if (remaining > 0 && remaining % 3 == 0) out += separator;
  }
  return out;
}

std::string ExponentText(int exponent, bool alwaysSign, int minDigits) {
  std::string out;
  if (exponent < 0) out += '-';
  else if (alwaysSign) out += '+';
  std::string digits = std::to_string(std::abs(exponent));
  if (static_cast<int>(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  return out + digits;
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// Fixed notation with exactly `decimals` decimals; "-" only when a non-zero digit shows.
std::string FixedText(double value, int decimals, bool thousands, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFinite(value);
  Decimal d = ToDecimal(value);
  RoundToDecimals(d, decimals);
  std::string integer = IntegerDigits(d);
  if (integer.empty()) integer = "0";
  std::string out = (value < 0 && !d.IsZero()) ? "-" : "";
  out += thousands ? Group(integer, settings.ThousandSeparator) : integer;
  if (decimals > 0) out += settings.DecimalSeparator + FractionDigits(d, decimals);
  return out;
}

// d.ddddE+ddd with exactly `precision` significant digits.
std::string ExponentNotation(double value, int precision, int minExponentDigits, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFinite(value);
  Decimal d = ToDecimal(value);
  RoundToDigits(d, precision);
  std::string out = (value < 0 && !d.IsZero()) ? "-" : "";
  out += DigitAt(d, 0);
  if (precision > 1) {
    out += settings.DecimalSeparator;
    for (int i = 1; i < precision; ++i) out += DigitAt(d, i);
  }
  const int exponent = d.IsZero() ? 0 : d.exponent - 1;
  return out + "E" + ExponentText(exponent, true, minExponentDigits);
}

// Money in the settings' layout: "¥1,234.50", "¥-1,234.50", "($1,234.50)".
std::string CurrencyText(double value, int decimals, const TFormatSettings& settings) {
  static const char* const kPositive[] = {"$1", "1$", "$ 1", "1 $"};
  static const char* const kNegative[] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
                                          "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  if (!std::isfinite(value)) return NonFinite(value);
  const std::string number = FixedText(std::fabs(value), decimals, true, settings);
  const bool negative = FixedText(value, decimals, false, settings)[0] == '-';  // a minus only for a shown non-zero
  const char* layout = negative ? kNegative[settings.NegCurrFormat % 16] : kPositive[settings.CurrencyFormat % 4];
  std::string out;
  for (const char* c = layout; *c; ++c) {
    if (*c == '$') out += settings.CurrencyString;
    else if (*c == '1') out += number;
    else out += *c;
  }
  return out;
}

// ---- FormatFloat pictures ----

struct Picture {
  int intCount = 0;         // digit placeholders before the decimal point
  int firstIntZero = -1;    // index among them of the first '0'
  int fracCount = 0;        // digit placeholders after the decimal point
  int fracMinimum = 0;      // fraction digits up to and including the last '0'
  bool thousands = false;
  bool scientific = false;
};

Picture Analyse(std::string_view section) {
  Picture p;
  bool afterPoint = false;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '"' || c == '\'') {
      const size_t close = section.find(c, i + 1);
      i = close == std::string_view::npos ? section.size() : close;
    } else if ((c == 'E' || c == 'e') && i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-')) {
      p.scientific = true;
      break;  // the zeros after E+ are exponent digits
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.fracCount;
        if (c == '0') p.fracMinimum = p.fracCount;
      } else {
        if (c == '0' && p.firstIntZero < 0) p.firstIntZero = p.intCount;
        ++p.intCount;
      }
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else if (c == ',' && !afterPoint) {
      p.thousands = true;
    }
  }
  return p;
}

// Formats the magnitude of `value` with one section of a picture.
// `isZero` tells whether every shown digit is zero.
std::string RenderSection(std::string_view section, double value, bool& isZero, const TFormatSettings& settings) {
  const Picture p = Analyse(section);
  Decimal d = ToDecimal(value);
  std::string integer;
  std::string fraction;
  int exponent = 0;
  if (p.scientific) {
    RoundToDigits(d, std::max(1, p.intCount + p.fracCount));
    if (!d.IsZero()) exponent = d.exponent - p.intCount;
    for (int i = 0; i < p.intCount; ++i) integer += DigitAt(d, i);
    for (int i = 0; i < p.fracCount; ++i) fraction += DigitAt(d, p.intCount + i);
    const size_t nonZero = integer.find_first_not_of('0');
    integer = nonZero == std::string::npos ? "" : integer.substr(nonZero);
  } else {
    RoundToDecimals(d, p.fracCount);
    integer = IntegerDigits(d);
    fraction = FractionDigits(d, p.fracCount);
  }
  isZero = d.IsZero();
  const int minimumInteger = p.firstIntZero < 0 ? 0 : p.intCount - p.firstIntZero;
  if (static_cast<int>(integer.size()) < minimumInteger) integer.insert(0, minimumInteger - integer.size(), '0');
  int shownFraction = p.fracMinimum;
  for (int i = p.fracCount; i > shownFraction; --i)
    if (fraction[i - 1] != '0') {
      shownFraction = i;
      break;
    }

  const int length = static_cast<int>(integer.size());
  std::string out;
  bool integerDone = false;
  auto putIntegerDigit = [&](int j) {
    out += integer[j];
    const int remaining = length - 1 - j;
    if (p.thousands && remaining > 0 && remaining % 3 == 0) out += settings.ThousandSeparator;
  };
  auto putAllInteger = [&]() {
    for (int j = 0; j < length; ++j) putIntegerDigit(j);
    integerDone = true;
  };
  int intIndex = 0;
  int fracIndex = 0;
  bool afterPoint = false;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '"' || c == '\'') {
      const size_t close = section.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? section.size() : close;
      out.append(section.substr(i + 1, end - i - 1));
      i = end;
    } else if ((c == 'E' || c == 'e') && p.scientific && i + 1 < section.size() &&
               (section[i + 1] == '+' || section[i + 1] == '-')) {
      if (!integerDone && !afterPoint) putAllInteger();
      int digits = 0;
      size_t j = i + 2;
      while (j < section.size() && section[j] == '0' && digits < 4) {
        ++digits;
        ++j;
      }
      out += c;
      out += ExponentText(exponent, section[i + 1] == '+', digits);
      i = j - 1;
    } else if ((c == '0' || c == '#') && !afterPoint) {
      if (intIndex == 0) {
        // Digits beyond the placeholders go before the first one.
        for (int j = 0; j < length - p.intCount; ++j) putIntegerDigit(j);
      }
      const int j = intIndex - (p.intCount - length);
      if (j >= 0) putIntegerDigit(j);
      if (++intIndex == p.intCount) integerDone = true;
    } else if ((c == '0' || c == '#') && afterPoint) {
      if (fracIndex < shownFraction) out += fraction[fracIndex];
      ++fracIndex;
    } else if (c == '.' && !afterPoint) {
      if (!integerDone) putAllInteger();
      afterPoint = true;
      if (shownFraction > 0) out += settings.DecimalSeparator;
    } else if (c == ',' && !afterPoint) {
      // Thousands separators are placed by the digits.
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '"' || c == '\'') {
      const size_t close = format.find(c, i + 1);
      i = close == std::string_view::npos ? format.size() - 1 : close;
    } else if (c == ';' && sections.size() < 2) {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

}  // namespace

std::string FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }
std::string FloatToStr(double value, const TFormatSettings& settings) { return rtl::FloatToText(value, settings); }

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  precision = std::clamp(precision, 1, 15);
  digits = std::clamp(digits, 0, 18);
  if (!std::isfinite(value)) return NonFinite(value);
  switch (format) {
    case ffExponent: return ExponentNotation(value, precision, std::min(digits, 4), settings);
    case ffFixed: return FixedText(value, digits, false, settings);
    case ffNumber: return FixedText(value, digits, true, settings);
    case ffCurrency: return CurrencyText(value, digits, settings);
    case ffGeneral: break;
  }
  return rtl::FloatToText(value, settings, precision);
}

std::string FormatFloat(std::string_view format, double value) { return FormatFloat(format, value, FormatSettings()); }

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings) {
  if (!std::isfinite(value) || format.empty()) return FloatToStr(value, settings);
  const std::vector<std::string_view> sections = SplitSections(format);
  const bool negative = value < 0;
  const bool ownNegative = negative && sections.size() >= 2 && !sections[1].empty();
  bool isZero = false;
  std::string text = RenderSection(ownNegative ? sections[1] : sections[0], value, isZero, settings);
  if (isZero) {
    // A value that shows as zero is zero: the zero section when there is one, never a minus.
    std::string_view zeroSection = sections.size() >= 3 && !sections[2].empty() ? sections[2] : sections[0];
    return RenderSection(zeroSection, 0.0, isZero, settings);
  }
  return (negative && !ownNegative) ? "-" + text : text;
}

bool TryStrToFloat(std::string_view s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }

bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& settings) {
  return rtl::TextToFloat(std::string(s), value, settings);
}

double StrToFloat(std::string_view s) { return StrToFloat(s, FormatSettings()); }

double StrToFloat(std::string_view s, const TFormatSettings& settings) {
  double v;
  if (!TryStrToFloat(s, v, settings))
    throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return v;
}

double StrToFloatDef(std::string_view s, double defaultValue) {
  double v;
  return TryStrToFloat(s, v) ? v : defaultValue;
}

// ---- Format ----

namespace {

// Widths beyond this are a mistake, not a layout.
constexpr int64_t kMaxWidth = 1000000;

class Formatter {
 public:
  Formatter(std::string_view format, std::initializer_list<TVarRec> args, const TFormatSettings& settings)
      : FFormat(format), FArgs(args.begin(), args.end()), FSettings(settings) {}

  std::string Run() {
    std::string out;
    size_t i = 0;
    while (i < FFormat.size()) {
      const size_t percent = FFormat.find('%', i);
      if (percent == std::string_view::npos) {
        out.append(FFormat.substr(i));
        break;
      }
      out.append(FFormat.substr(i, percent - i));
      i = percent + 1;
      if (i < FFormat.size() && FFormat[i] == '%') {
        out += '%';
        ++i;
        continue;
      }
      out += Specifier(i);
    }
    return out;
  }

 private:
  [[noreturn]] void Invalid() const {
    throw EConvertError("Format '" + std::string(FFormat) + "' invalid or incompatible with argument");
  }

  const TVarRec& NextArg() {
    if (FNext >= FArgs.size()) throw EConvertError("No argument for format '" + std::string(FFormat) + "'");
    return FArgs[FNext++];
  }

  // A number or '*' at `i`; -1 when there is none.
  int64_t Number(size_t& i) {
    if (i < FFormat.size() && FFormat[i] == '*') {
      ++i;
      const TVarRec& arg = NextArg();
      if (arg.VType() != TVarRec::vtInteger && arg.VType() != TVarRec::vtInt64) Invalid();
      return arg.AsInt64();
    }
    if (i >= FFormat.size() || !std::isdigit(static_cast<unsigned char>(FFormat[i]))) return -1;
    int64_t n = 0;
    while (i < FFormat.size() && std::isdigit(static_cast<unsigned char>(FFormat[i]))) {
      n = n * 10 + (FFormat[i++] - '0');
      if (n > kMaxWidth) Invalid();
    }
    return n;
  }

  std::string Specifier(size_t& i) {
    int64_t width = Number(i);
    if (i < FFormat.size() && FFormat[i] == ':') {
      if (width < 0) Invalid();
      FNext = static_cast<size_t>(width);
      ++i;
      width = -1;
    }
    bool left = false;
    if (width < 0 && i < FFormat.size() && FFormat[i] == '-') {
      left = true;
      ++i;
    }
    if (width < 0) width = Number(i);
    if (width < -1) {  // a negative width from '*' justifies left
      left = true;
      width = -width;
    }
    if (width > kMaxWidth) Invalid();
    int64_t precision = -1;
    if (i < FFormat.size() && FFormat[i] == '.') {
      ++i;
      precision = Number(i);
      if (precision < 0) precision = 0;
    }
    if (i >= FFormat.size()) Invalid();
    const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(FFormat[i++])));
    std::string text = Convert(type, precision > 1000 ? 1000 : static_cast<int>(precision));
    const int padding = static_cast<int>(width) - Length(text);
    if (padding > 0) {
      if (left) text.append(padding, ' ');
      else text.insert(0, padding, ' ');
    }
    return text;
  }

  static bool IsInteger(const TVarRec& a) {
    return a.VType() == TVarRec::vtInteger || a.VType() == TVarRec::vtInt64;
  }

  // The integer's bit pattern at its own width, for %u and %x.
  static uint64_t Unsigned(const TVarRec& a) {
    if (a.VType() == TVarRec::vtInteger && a.AsInt64() < 0) return static_cast<uint32_t>(a.AsInt64());
    return static_cast<uint64_t>(a.AsInt64());
  }

  static std::string MinimumDigits(std::string digits, int precision) {
    if (static_cast<int>(digits.size()) < precision) digits.insert(0, precision - digits.size(), '0');
    return digits;
  }

  std::string Convert(char type, int precision) {
    const TVarRec& arg = NextArg();
    switch (type) {
      case 'd': {
        if (!IsInteger(arg)) Invalid();
        const int64_t v = arg.AsInt64();
        const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        return (v < 0 ? "-" : "") + MinimumDigits(std::to_string(magnitude), precision);
      }
      case 'u':
        if (!IsInteger(arg)) Invalid();
        return MinimumDigits(std::to_string(Unsigned(arg)), precision);
      case 'x':
        if (!IsInteger(arg)) Invalid();
        return rtl::HexDigits(Unsigned(arg), precision);
      case 'p':
        if (arg.VType() != TVarRec::vtPointer) Invalid();
        return rtl::HexDigits(static_cast<uint64_t>(arg.AsInt64()), 16);
      case 's': {
        if (arg.VType() != TVarRec::vtString) Invalid();
        if (precision < 0) return arg.AsString();
        return Copy(arg.AsString(), 1, precision);
      }
      case 'e':
        if (arg.VType() != TVarRec::vtExtended) Invalid();
        return ExponentNotation(arg.AsDouble(), precision < 0 ? 15 : std::clamp(precision, 1, 18), 3, FSettings);
      case 'f':
        if (arg.VType() != TVarRec::vtExtended) Invalid();
        return FixedText(arg.AsDouble(), precision < 0 ? 2 : std::min(precision, 18), false, FSettings);
      case 'g':
        if (arg.VType() != TVarRec::vtExtended) Invalid();
        return rtl::FloatToText(arg.AsDouble(), FSettings, precision < 0 ? 15 : std::clamp(precision, 1, 15));
      case 'n':
        if (arg.VType() != TVarRec::vtExtended) Invalid();
        return FixedText(arg.AsDouble(), precision < 0 ? 2 : std::min(precision, 18), true, FSettings);
      case 'm':
        if (arg.VType() != TVarRec::vtExtended) Invalid();
        return CurrencyText(arg.AsDouble(), precision < 0 ? FSettings.CurrencyDecimals : std::min(precision, 18),
                            FSettings);
      default:
        Invalid();
    }
  }

  std::string_view FFormat;
  std::vector<TVarRec> FArgs;
  const TFormatSettings& FSettings;
  size_t FNext = 0;
};

}  // namespace

std::string Format(std::string_view format, std::initializer_list<TVarRec> args) {
  return Format(format, args, FormatSettings());
}

std::string Format(std::string_view format, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
  return Formatter(format, args, settings).Run();
}
