#pragma once
// String and number routines. Text is UTF-8; where the routines count characters
// (Pos, Copy, Length, Format widths) a character is a code point, and indexes start at 1.
// A byte that is not part of valid UTF-8 counts as one character, so no input is dropped.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/System.h"

namespace rtl {

// Decodes the code point starting at byte offset `pos` and advances `pos` past it.
// An invalid or truncated sequence yields its first byte's value and advances by one byte.
char32_t NextCodePoint(std::string_view s, size_t& pos);
// Appends the UTF-8 encoding of `c` (invalid code points become U+FFFD).
void AppendUtf8(std::string& out, char32_t c);
// Byte offset of the code point with 0-based index `index` (s.size() when past the end).
size_t ByteOffsetOfCodePoint(std::string_view s, size_t index);
// Lower/upper case of a code point: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and
// full-width Latin. Every mapping keeps the UTF-8 byte length, so a case-folded copy of a
// string can be searched and its byte offsets used on the original.
char32_t LowerCodePoint(char32_t c);
char32_t UpperCodePoint(char32_t c);
// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD, for showing
// a name read from the disk; the name itself stays as it was for opening the file.
std::string ToValidUtf8(std::string_view s);
// Unsigned hexadecimal, upper-case digits, at least `digits` digits.
std::string HexDigits(uint64_t value, int digits);

}  // namespace rtl

// ---- Case and blanks ----
// Trim* remove characters up to and including the blank (control characters and spaces).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// ASCII letters only.
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Letters of every script the case tables know.
std::string AnsiLowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s);

// ---- Comparison (results < 0, 0, > 0) ----
// ASCII case-insensitive, byte order otherwise.
int CompareText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Case-insensitive for every script the case tables know; code point order.
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// ---- Characters and pieces ----
// Number of characters.
int Length(std::string_view s);
// 1-based character index of the first occurrence of `sub` in `s`; 0 when absent or `sub` is empty.
int Pos(std::string_view sub, std::string_view s);
// `count` characters from the 1-based character `index`; clipped to the string.
std::string Copy(std::string_view s, int index, int count);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
// A small set of TReplaceFlag: TReplaceFlags{rfReplaceAll, rfIgnoreCase}, or {} for none.
class TReplaceFlags {
 public:
  TReplaceFlags() = default;
  TReplaceFlags(TReplaceFlag flag) : FBits(flag) {}
  TReplaceFlags(std::initializer_list<TReplaceFlag> flags) {
    for (TReplaceFlag f : flags) FBits |= f;
  }
  bool Contains(TReplaceFlag flag) const { return (FBits & flag) != 0; }

 private:
  unsigned FBits = 0;
};
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags);

// ---- Quoting ----
// 'It''s' — wraps in single quotes and doubles the quotes inside.
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);
// Undoes AnsiQuotedStr; a string that does not begin and end with `quote` comes back unchanged.
std::string AnsiDequotedStr(std::string_view s, char quote);

// ---- Integers ----
std::string IntToStr(int64_t value);
// Upper-case hexadecimal of the value's two's complement at its own width, at least `digits` digits.
template <std::integral T>
std::string IntToHex(T value, int digits) {
  return rtl::HexDigits(static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}
// Accept optional blanks before the number, a sign, decimal digits or "$"/"0x" hexadecimal.
// Hexadecimal may fill the whole width (StrToInt("$FFFFFFFF") = -1).
// StrToInt raises EConvertError "'X' is not a valid integer value".
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int defaultValue);
int64_t StrToInt64Def(std::string_view s, int64_t defaultValue);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);

// ---- Floating point ----
// Every routine uses the decimal and thousands separators of FormatSettings(), or of the
// settings given.
// Shortest text with up to 15 significant digits; scientific when the exponent is large
// or small ("1E20", "1E-5"); "NAN", "INF", "-INF".
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& settings);
// Formats with a picture: 0 and # digit placeholders, '.' (decimal separator), ','
// (thousands), E+ / E- / e+ / e- (scientific), quoted literal text, other characters
// literal, and up to three ';' sections for positive; negative; zero. Rounds the decimal
// value (15 significant digits) half away from zero.
std::string FormatFloat(std::string_view format, double value);
std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings);
// FloatToStrF's layouts: ffGeneral the shortest text with Precision significant digits
// (scientific when the number needs more); ffExponent "-d.dddE+ddd" with Precision digits and
// at least Digits exponent digits; ffFixed Digits decimals; ffNumber like ffFixed with
// thousands separators; ffCurrency like ffNumber with the currency string placed by the
// settings' CurrencyFormat and NegCurrFormat ("¥1,234.50", "¥-1,234.50").
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// Decimal number with optional blanks around it and an optional exponent;
// raises EConvertError "'X' is not a valid floating point value".
double StrToFloat(std::string_view s);
double StrToFloat(std::string_view s, const TFormatSettings& settings);
double StrToFloatDef(std::string_view s, double defaultValue);
bool TryStrToFloat(std::string_view s, double& value);
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& settings);

// ---- Format ----
// One argument of Format.
class TVarRec {
 public:
  enum Kind { vtInteger, vtInt64, vtExtended, vtString, vtBoolean, vtPointer };
  TVarRec(bool v) : FKind(vtBoolean), FInt(v ? 1 : 0) {}
  TVarRec(char c) : FKind(vtString), FStr(1, c) {}
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
  TVarRec(T v) : FKind(sizeof(T) <= 4 ? vtInteger : vtInt64), FInt(static_cast<int64_t>(v)) {}
  TVarRec(float v) : FKind(vtExtended), FFloat(v) {}
  TVarRec(double v) : FKind(vtExtended), FFloat(v) {}
  TVarRec(long double v) : FKind(vtExtended), FFloat(static_cast<double>(v)) {}
  TVarRec(const char* s) : FKind(vtString), FStr(s ? s : "") {}
  TVarRec(std::string s) : FKind(vtString), FStr(std::move(s)) {}
  TVarRec(std::string_view s) : FKind(vtString), FStr(s) {}
  TVarRec(const void* p) : FKind(vtPointer), FInt(static_cast<int64_t>(reinterpret_cast<uintptr_t>(p))) {}

  Kind VType() const { return FKind; }
  int64_t AsInt64() const { return FInt; }
  double AsDouble() const { return FFloat; }
  const std::string& AsString() const { return FStr; }

 private:
  Kind FKind;
  int64_t FInt = 0;
  double FFloat = 0.0;
  std::string FStr;
};

// Format specifiers: "%" [index ":"] ["-"] [width] ["." precision] type, where index, width
// and precision may be '*' (taken from the next argument) and type is one of
// d u x e f g n m p s (either case); "%%" is a percent sign.
// Raises EConvertError "Format 'X' invalid or incompatible with argument" for a bad
// specifier or an argument of the wrong kind, and "No argument for format 'X'" when
// the arguments run out.
// Numbers take the separators, and %m the currency layout, of FormatSettings() or of the
// settings given.
std::string Format(std::string_view format, std::initializer_list<TVarRec> args);
std::string Format(std::string_view format, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
