#pragma once
// A value of one of several kinds (nothing, Null, numbers, money, Boolean, text, date-time,
// or an array of values) with the conversions and comparisons the system's code relies on.
//
// Conversions: Unassigned reads as 0, "" or False; Null converts to nothing and raises
// EVariantError "Could not convert variant of type (Null) into type (Integer)" and the like.
// Numbers become text with the format settings' decimal separator; Booleans are "True" and
// "False" (True is -1 as a number). Doubles become integers rounding halves to even.
//
// Comparisons: Null equals Null and nothing else, and sorts below every other value;
// Unassigned compares as 0 or "". Text against a number compares as numbers (the text must
// be numeric, else EVariantError); text against text compares byte-wise (case-sensitive).
//
// Arithmetic: Null in an operation gives Null; + joins two strings; a string met by a
// number is read as a number (EVariantError when it is not one), as the platform does.
// Integer results widen to Int64 and then Double instead of overflowing.
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/rtl/Currency.h"
#include "platform/rtl/System.h"

using TVarType = uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varUString = 0x0102;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
 public:
  Variant() = default;  // Unassigned
  Variant(int value);
  Variant(unsigned int value);
  Variant(long value);
  Variant(long long value);
  Variant(unsigned long value);
  Variant(unsigned long long value);
  Variant(double value);
  Variant(bool value);
  Variant(const char* value);
  Variant(std::string value);
  Variant(TDateTime value);
  Variant(Currency value);

  static Variant Null();
  static Variant Unassigned() { return Variant(); }
  // An error value (a failed computation) carrying a code.
  static Variant Error(int code);

  TVarType VType() const { return FType; }
  // The code of an error value; 0 for every other kind.
  int ErrorCode() const { return FType == varError ? static_cast<int>(FInt) : 0; }

  int AsInteger() const;
  int64_t AsInt64() const;
  double AsDouble() const;
  bool AsBoolean() const;
  std::string AsString() const;
  TDateTime AsDateTime() const;
  Currency AsCurrency() const;

  // Arrays: the element count and the elements by index from the low bound.
  // EVariantError for a value that is not an array or an index outside the bounds.
  int Count() const;
  int LowBound() const;
  int HighBound() const;
  const Variant& operator[](int index) const;
  Variant& operator[](int index);

  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator<(const Variant& a, const Variant& b);
  friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
  friend bool operator>(const Variant& a, const Variant& b) { return b < a; }
  friend bool operator<=(const Variant& a, const Variant& b) { return a < b || a == b; }
  friend bool operator>=(const Variant& a, const Variant& b) { return b < a || a == b; }

  friend Variant operator+(const Variant& a, const Variant& b);
  friend Variant operator-(const Variant& a, const Variant& b);
  friend Variant operator*(const Variant& a, const Variant& b);
  friend Variant operator/(const Variant& a, const Variant& b);
  friend Variant operator-(const Variant& a);
  Variant& operator+=(const Variant& b) { return *this = *this + b; }
  Variant& operator-=(const Variant& b) { return *this = *this - b; }

 private:
  friend Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
  friend Variant VarArrayOf(std::vector<Variant> items);
  friend void VarArrayRedim(Variant& array, int highBound);
  friend Variant VarAsType(const Variant& value, TVarType type);

  [[noreturn]] void CannotConvert(TVarType target) const;
  void RequireArray() const;

  TVarType FType = varEmpty;
  int64_t FInt = 0;       // integers, Booleans (0/1), error codes, currency ten-thousandths
  double FDouble = 0.0;   // single, double, date
  std::string FString;
  std::vector<Variant> FItems;
  int FLowBound = 0;
};

bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
// Unassigned (the platform's "clear" value).
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
// Integer kinds and Boolean.
bool VarIsOrdinal(const Variant& v);
// Single, Double and Currency.
bool VarIsFloat(const Variant& v);
bool VarIsNumeric(const Variant& v);
bool VarIsStr(const Variant& v);
TVarType VarType(const Variant& v);
// "Integer", "String", "Null", "Array Variant"...
std::string VarTypeAsText(TVarType type);
// Converts to the given simple type (EVariantError when it cannot).
Variant VarAsType(const Variant& value, TVarType type);
// Null gives ""; everything else as AsString.
std::string VarToStr(const Variant& v);
// Null gives the default.
std::string VarToStrDef(const Variant& v, const std::string& def);

// A one-dimensional array of variants with low bound 0.
Variant VarArrayOf(std::vector<Variant> items);
// A one-dimensional array {low, high} whose elements are Unassigned (varVariant) or the
// given type's zero value.
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
// Changes the high bound, keeping the elements that remain and adding Unassigned ones.
void VarArrayRedim(Variant& array, int highBound);

// Both Unassigned, both Null, or equal values; never raises.
bool VarSameValue(const Variant& a, const Variant& b);
// vrNotEqual when exactly one side is Null.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);

// "Integer 5", "String \"x\"", "Null", "Array Variant [1, \"a\"]" (for test messages and logs).
std::ostream& operator<<(std::ostream& out, const Variant& v);
