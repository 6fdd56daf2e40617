#include "platform/rtl/Variant.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Strings.h"

namespace rtl {
namespace {

bool IsIntegerKind(TVarType t) {
  return t == varSmallint || t == varInteger || t == varShortInt || t == varByte || t == varWord ||
         t == varLongWord || t == varInt64 || t == varBoolean;
}

bool IsFloatKind(TVarType t) { return t == varSingle || t == varDouble; }

bool IsStringKind(TVarType t) { return t == varString || t == varUString || t == varOleStr; }

// Rounds half to even, as the platform converts floating values to integers.
bool RoundToInt64(double d, int64_t& result) {
  if (!std::isfinite(d)) return false;
  double r = std::nearbyint(d);
  if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) return false;
  result = static_cast<int64_t>(r);
  return true;
}

[[noreturn]] void InvalidOperation() { throw EVariantError("Invalid variant operation"); }

}  // namespace
}  // namespace rtl

using namespace rtl;

// ---- construction -------------------------------------------------------------------

Variant::Variant(int value) : FType(varInteger), FInt(value) {}
Variant::Variant(unsigned int value) : FType(varInt64), FInt(value) {}
Variant::Variant(long value) : FType(varInt64), FInt(value) {}
Variant::Variant(long long value) : FType(varInt64), FInt(value) {}
Variant::Variant(unsigned long value) : Variant(static_cast<unsigned long long>(value)) {}
Variant::Variant(unsigned long long value) {
  if (value <= static_cast<unsigned long long>(INT64_MAX)) {
    FType = varInt64;
    FInt = static_cast<int64_t>(value);
  } else {
    FType = varDouble;
    FDouble = static_cast<double>(value);
  }
}
Variant::Variant(double value) : FType(varDouble), FDouble(value) {}
Variant::Variant(bool value) : FType(varBoolean), FInt(value ? 1 : 0) {}
Variant::Variant(const char* value) : FType(varString), FString(value ? value : "") {}
Variant::Variant(std::string value) : FType(varString), FString(std::move(value)) {}
Variant::Variant(TDateTime value) : FType(varDate), FDouble(value.Value) {}
Variant::Variant(Currency value) : FType(varCurrency), FInt(value.Value) {}

Variant Variant::Null() {
  Variant v;
  v.FType = varNull;
  return v;
}

Variant Variant::Error(int code) {
  Variant v;
  v.FType = varError;
  v.FInt = code;
  return v;
}

void Variant::CannotConvert(TVarType target) const {
  throw EVariantError("Could not convert variant of type (" + VarTypeAsText(FType) + ") into type (" +
                      VarTypeAsText(target) + ")");
}

// ---- conversions --------------------------------------------------------------------

int64_t Variant::AsInt64() const {
  if (FType == varEmpty) return 0;
  if (FType == varBoolean) return FInt ? -1 : 0;
  if (IsIntegerKind(FType)) return FInt;
  int64_t result;
  if (IsFloatKind(FType) || FType == varDate) {
    if (!RoundToInt64(FDouble, result))
      throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(FType) + ") into type (Int64)");
    return result;
  }
  if (FType == varCurrency) {
    // Exact for every currency: round the ten-thousandths half to even.
    int64_t q = FInt / 10000, r = FInt % 10000;
    if (r > 5000 || (r == 5000 && (q & 1))) ++q;
    if (r < -5000 || (r == -5000 && (q & 1))) --q;
    return q;
  }
  if (IsStringKind(FType)) {
    double d;
    if (TextToFloat(FString, d, FormatSettings()) && RoundToInt64(d, result)) return result;
    if (SameText(Trim(FString), "true")) return -1;
    if (SameText(Trim(FString), "false")) return 0;
  }
  CannotConvert(varInt64);
}

int Variant::AsInteger() const {
  int64_t v;
  try {
    v = AsInt64();
  } catch (const EVariantError&) {
    if (FType == varNull || FType == varError || IsStringKind(FType) || (FType & varArray)) CannotConvert(varInteger);
    throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(FType) + ") into type (Integer)");
  }
  if (v < INT32_MIN || v > INT32_MAX)
    throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(FType) + ") into type (Integer)");
  return static_cast<int>(v);
}

double Variant::AsDouble() const {
  if (FType == varEmpty) return 0.0;
  if (FType == varBoolean) return FInt ? -1.0 : 0.0;
  if (IsIntegerKind(FType)) return static_cast<double>(FInt);
  if (IsFloatKind(FType) || FType == varDate) return FDouble;
  if (FType == varCurrency) return static_cast<double>(FInt) / 10000.0;
  if (IsStringKind(FType)) {
    double d;
    if (TextToFloat(FString, d, FormatSettings())) return d;
  }
  CannotConvert(varDouble);
}

bool Variant::AsBoolean() const {
  if (FType == varEmpty) return false;
  if (IsIntegerKind(FType) || FType == varCurrency) return FInt != 0;
  if (IsFloatKind(FType) || FType == varDate) return FDouble != 0.0;
  if (IsStringKind(FType)) {
    std::string s = Trim(FString);
    if (SameText(s, "true")) return true;
    if (SameText(s, "false")) return false;
    double d;
    if (TextToFloat(s, d, FormatSettings())) return d != 0.0;
  }
  CannotConvert(varBoolean);
}

std::string Variant::AsString() const {
  const TFormatSettings& settings = FormatSettings();
  switch (FType) {
    case varEmpty: return "";
    case varBoolean: return FInt ? "True" : "False";
    case varSingle: return FloatToText(FDouble, settings, 7);
    case varDouble: return FloatToText(FDouble, settings);
    case varCurrency: return CurrToStr(Currency{FInt}, settings);
    case varDate:
      // A time of day alone shows no date.
      if (std::trunc(FDouble) == 0.0 && FDouble != 0.0) return TimeToStr(TDateTime(FDouble), settings);
      return DateTimeToStr(TDateTime(FDouble), settings);
    default: break;
  }
  if (IsIntegerKind(FType)) return std::to_string(FInt);
  if (IsStringKind(FType)) return FString;
  CannotConvert(varString);
}

TDateTime Variant::AsDateTime() const {
  if (FType == varDate) return TDateTime(FDouble);
  if (IsStringKind(FType)) {
    TDateTime result;
    double d;
    if (TryStrToDateTime(FString, result)) return result;
    if (TextToFloat(FString, d, FormatSettings())) return TDateTime(d);
    CannotConvert(varDate);
  }
  try {
    return TDateTime(AsDouble());
  } catch (const EVariantError&) {
    CannotConvert(varDate);
  }
}

Currency Variant::AsCurrency() const {
  if (FType == varCurrency) return Currency{FInt};
  if (IsIntegerKind(FType) || FType == varEmpty) {
    int64_t v = AsInt64();
    if (v > INT64_MAX / 10000 || v < INT64_MIN / 10000)
      throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(FType) + ") into type (Currency)");
    return Currency::FromInt64(v);
  }
  if (IsStringKind(FType)) {
    Currency c;
    if (TryStrToCurr(FString, c)) return c;
    CannotConvert(varCurrency);
  }
  if (IsFloatKind(FType) || FType == varDate) {
    try {
      return Currency::FromDouble(FDouble);
    } catch (const EConvertError&) {
      throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(FType) + ") into type (Currency)");
    }
  }
  CannotConvert(varCurrency);
}

// ---- arrays -------------------------------------------------------------------------

void Variant::RequireArray() const {
  if (!(FType & varArray)) throw EVariantError("Variant is not an array");
}

int Variant::Count() const {
  RequireArray();
  return static_cast<int>(FItems.size());
}

int Variant::LowBound() const {
  RequireArray();
  return FLowBound;
}

int Variant::HighBound() const {
  RequireArray();
  return FLowBound + static_cast<int>(FItems.size()) - 1;
}

const Variant& Variant::operator[](int index) const {
  RequireArray();
  int64_t offset = static_cast<int64_t>(index) - FLowBound;
  if (offset < 0 || offset >= static_cast<int64_t>(FItems.size()))
    throw EVariantError("Variant or safe array index out of bounds");
  return FItems[static_cast<size_t>(offset)];
}

Variant& Variant::operator[](int index) {
  return const_cast<Variant&>(static_cast<const Variant&>(*this)[index]);
}

Variant VarArrayOf(std::vector<Variant> items) {
  Variant v;
  v.FType = varArray | varVariant;
  v.FItems = std::move(items);
  return v;
}

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType) {
  if (bounds.size() != 2) throw EVariantError("Only one-dimensional variant arrays are supported");
  int low = bounds.begin()[0], high = bounds.begin()[1];
  if (high < low - 1) throw EVariantError("Invalid variant array bounds");
  Variant element;
  if (elementType != varVariant) element = VarAsType(Variant(), elementType);
  Variant v;
  v.FType = varArray | elementType;
  v.FLowBound = low;
  v.FItems.assign(static_cast<size_t>(static_cast<int64_t>(high) - low + 1), element);
  return v;
}

int VarArrayDimCount(const Variant& v) { return VarIsArray(v) ? 1 : 0; }

int VarArrayLowBound(const Variant& v, int dim) {
  if (dim != 1) throw EVariantError("Variant array dimension out of range");
  return v.LowBound();
}

int VarArrayHighBound(const Variant& v, int dim) {
  if (dim != 1) throw EVariantError("Variant array dimension out of range");
  return v.HighBound();
}

void VarArrayRedim(Variant& array, int highBound) {
  array.RequireArray();
  if (highBound < array.FLowBound - 1) throw EVariantError("Invalid variant array bounds");
  array.FItems.resize(static_cast<size_t>(static_cast<int64_t>(highBound) - array.FLowBound + 1));
}

// ---- type queries -------------------------------------------------------------------

bool VarIsNull(const Variant& v) { return v.VType() == varNull; }
bool VarIsEmpty(const Variant& v) { return v.VType() == varEmpty; }
bool VarIsClear(const Variant& v) { return v.VType() == varEmpty; }
bool VarIsArray(const Variant& v) { return (v.VType() & varArray) != 0; }
bool VarIsOrdinal(const Variant& v) { return IsIntegerKind(v.VType()); }
bool VarIsFloat(const Variant& v) { return IsFloatKind(v.VType()) || v.VType() == varCurrency; }
bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }
bool VarIsStr(const Variant& v) { return IsStringKind(v.VType()); }
TVarType VarType(const Variant& v) { return v.VType(); }

std::string VarTypeAsText(TVarType type) {
  std::string prefix = (type & varArray) ? "Array " : "";
  switch (type & varTypeMask) {
    case varEmpty: return prefix + "Empty";
    case varNull: return prefix + "Null";
    case varSmallint: return prefix + "Smallint";
    case varInteger: return prefix + "Integer";
    case varSingle: return prefix + "Single";
    case varDouble: return prefix + "Double";
    case varCurrency: return prefix + "Currency";
    case varDate: return prefix + "Date";
    case varOleStr: return prefix + "OleStr";
    case varError: return prefix + "Error";
    case varBoolean: return prefix + "Boolean";
    case varVariant: return prefix + "Variant";
    case varShortInt: return prefix + "ShortInt";
    case varByte: return prefix + "Byte";
    case varWord: return prefix + "Word";
    case varLongWord: return prefix + "LongWord";
    case varInt64: return prefix + "Int64";
    case varString: return prefix + "String";
    case varUString: return prefix + "UnicodeString";
    default: return prefix + "Unknown";
  }
}

Variant VarAsType(const Variant& value, TVarType type) {
  if (value.VType() == type) return value;
  auto ranged = [&](int64_t low, int64_t high) {
    int64_t n = value.AsInt64();
    if (n < low || n > high)
      throw EVariantError("Overflow while converting variant of type (" + VarTypeAsText(value.VType()) +
                          ") into type (" + VarTypeAsText(type) + ")");
    Variant v;
    v.FType = type;
    v.FInt = n;
    return v;
  };
  if (value.VType() == varNull || value.VType() == varError || VarIsArray(value)) {
    if (type == varEmpty) return Variant();
    value.CannotConvert(type);
  }
  switch (type) {
    case varEmpty: return Variant();
    case varNull: return Variant::Null();
    case varSmallint: return ranged(INT16_MIN, INT16_MAX);
    case varInteger: return Variant(value.AsInteger());
    case varShortInt: return ranged(INT8_MIN, INT8_MAX);
    case varByte: return ranged(0, UINT8_MAX);
    case varWord: return ranged(0, UINT16_MAX);
    case varLongWord: return ranged(0, UINT32_MAX);
    case varInt64: return Variant(static_cast<long long>(value.AsInt64()));
    case varSingle: {
      Variant v;
      v.FType = varSingle;
      v.FDouble = static_cast<float>(value.AsDouble());
      return v;
    }
    case varDouble: return Variant(value.AsDouble());
    case varCurrency: return Variant(value.AsCurrency());
    case varDate: return Variant(value.AsDateTime());
    case varBoolean: return Variant(value.AsBoolean());
    case varString:
    case varUString:
    case varOleStr: {
      Variant v(value.AsString());
      v.FType = type;
      return v;
    }
    default: value.CannotConvert(type);
  }
}

std::string VarToStr(const Variant& v) { return VarIsNull(v) ? std::string() : v.AsString(); }

std::string VarToStrDef(const Variant& v, const std::string& def) { return VarIsNull(v) ? def : v.AsString(); }

// ---- comparison ---------------------------------------------------------------------

namespace rtl {
namespace {

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }
int Sign(int64_t a, int64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Orders two values neither of which is Null: <0, 0, >0.
int CompareNonNull(const Variant& a, const Variant& b) {
  if (VarIsArray(a) || VarIsArray(b) || a.VType() == varError || b.VType() == varError) InvalidOperation();
  TVarType ta = a.VType(), tb = b.VType();
  if (ta == varEmpty && tb == varEmpty) return 0;
  if (IsStringKind(ta) || IsStringKind(tb)) {
    TVarType other = IsStringKind(ta) ? tb : ta;
    if (IsStringKind(other) || other == varEmpty) {
      int c = a.AsString().compare(b.AsString());
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (other == varBoolean) return Sign(static_cast<int64_t>(a.AsBoolean()), static_cast<int64_t>(b.AsBoolean()));
    if (other == varDate) return Sign(a.AsDateTime().Value, b.AsDateTime().Value);
    return Sign(a.AsDouble(), b.AsDouble());
  }
  if (ta == varBoolean && tb == varBoolean) return Sign(static_cast<int64_t>(a.AsBoolean()), static_cast<int64_t>(b.AsBoolean()));
  bool integers = (IsIntegerKind(ta) || ta == varEmpty) && (IsIntegerKind(tb) || tb == varEmpty);
  if (integers) return Sign(a.AsInt64(), b.AsInt64());
  bool exact = (ta == varCurrency || IsIntegerKind(ta) || ta == varEmpty) &&
               (tb == varCurrency || IsIntegerKind(tb) || tb == varEmpty);
  if (exact) return Sign(a.AsCurrency().Value, b.AsCurrency().Value);
  return Sign(a.AsDouble(), b.AsDouble());
}

}  // namespace
}  // namespace rtl

bool operator==(const Variant& a, const Variant& b) {
  if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b);
  return CompareNonNull(a, b) == 0;
}

bool operator<(const Variant& a, const Variant& b) {
  if (VarIsNull(b)) return false;
  if (VarIsNull(a)) return true;
  return CompareNonNull(a, b) < 0;
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b) ? vrEqual : vrNotEqual;
  int c = CompareNonNull(a, b);
  return c < 0 ? vrLessThan : (c > 0 ? vrGreaterThan : vrEqual);
}

bool VarSameValue(const Variant& a, const Variant& b) {
  if (VarIsEmpty(a) || VarIsEmpty(b)) return VarIsEmpty(a) && VarIsEmpty(b);
  if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b);
  try {
    return CompareNonNull(a, b) == 0;
  } catch (const Exception&) {
    return false;
  }
}

// ---- arithmetic ---------------------------------------------------------------------

namespace rtl {
namespace {

enum class Op { Add, Sub, Mul, Div };

// The kind an operand takes part as: strings are read as numbers.
TVarType NumericKind(const Variant& v) {
  TVarType t = v.VType();
  if (t == varEmpty || t == varSmallint || t == varShortInt || t == varByte || t == varWord || t == varBoolean)
    return varInteger;
  if (t == varLongWord) return varInt64;
  if (t == varSingle || IsStringKind(t)) return varDouble;
  return t;
}

Variant IntegerOp(Op op, int64_t x, int64_t y, bool narrow) {
  int64_t r = 0;
  bool overflow = false;
  switch (op) {
    case Op::Add: overflow = __builtin_add_overflow(x, y, &r); break;
    case Op::Sub: overflow = __builtin_sub_overflow(x, y, &r); break;
    case Op::Mul: overflow = __builtin_mul_overflow(x, y, &r); break;
    case Op::Div: break;
  }
  if (overflow) {
    double dx = static_cast<double>(x), dy = static_cast<double>(y);
    return Variant(op == Op::Add ? dx + dy : (op == Op::Sub ? dx - dy : dx * dy));
  }
  if (narrow && r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<int>(r));
  return Variant(static_cast<long long>(r));
}

Variant Arithmetic(Op op, const Variant& a, const Variant& b) {
  if (VarIsArray(a) || VarIsArray(b) || a.VType() == varError || b.VType() == varError) InvalidOperation();
  if (VarIsNull(a) || VarIsNull(b)) return Variant::Null();
  if (op == Op::Add && (VarIsStr(a) || VarIsEmpty(a)) && (VarIsStr(b) || VarIsEmpty(b))) {
    if (VarIsEmpty(a) && VarIsEmpty(b)) return Variant();
    return Variant(a.AsString() + b.AsString());
  }
  TVarType ka = NumericKind(a), kb = NumericKind(b);
  if (op == Op::Div) {
    if (ka == varCurrency && (kb == varInteger || kb == varInt64)) {
      int64_t divisor = b.AsInt64();
      if (divisor == 0) throw EVariantError("Division by zero");
      return Variant(a.AsCurrency() / divisor);
    }
    double y = b.AsDouble();
    if (y == 0.0) throw EVariantError("Division by zero");
    return Variant(a.AsDouble() / y);
  }
  auto isInt = [](TVarType k) { return k == varInteger || k == varInt64; };
  if (isInt(ka) && isInt(kb)) return IntegerOp(op, a.AsInt64(), b.AsInt64(), ka == varInteger && kb == varInteger);
  if ((ka == varCurrency || isInt(ka)) && (kb == varCurrency || isInt(kb))) {
    Currency x = a.AsCurrency(), y = b.AsCurrency();
    int64_t r = 0;
    bool overflow = op == Op::Add ? __builtin_add_overflow(x.Value, y.Value, &r)
                    : op == Op::Sub ? __builtin_sub_overflow(x.Value, y.Value, &r)
                                    : false;
    if (op == Op::Mul) {
      try {
        r = (x * y).Value;
      } catch (const EConvertError&) {
        overflow = true;
      }
    }
    if (overflow) throw EVariantError("Arithmetic overflow");
    return Variant(Currency{r});
  }
  double x = a.AsDouble(), y = b.AsDouble();
  double r = op == Op::Add ? x + y : (op == Op::Sub ? x - y : x * y);
  // A date moved by a number stays a date; the distance between two dates is a number.
  bool dateResult = (op == Op::Add && (ka == varDate) != (kb == varDate)) || (op == Op::Sub && ka == varDate && kb != varDate);
  if (dateResult) return Variant(TDateTime(r));
  return Variant(r);
}

}  // namespace
}  // namespace rtl

Variant operator+(const Variant& a, const Variant& b) { return Arithmetic(Op::Add, a, b); }
Variant operator-(const Variant& a, const Variant& b) { return Arithmetic(Op::Sub, a, b); }
Variant operator*(const Variant& a, const Variant& b) { return Arithmetic(Op::Mul, a, b); }
Variant operator/(const Variant& a, const Variant& b) { return Arithmetic(Op::Div, a, b); }
Variant operator-(const Variant& a) {
  if (VarIsNull(a) || VarIsEmpty(a)) return a;
  return Arithmetic(Op::Sub, Variant(0), a);
}

std::ostream& operator<<(std::ostream& out, const Variant& v) {
  out << VarTypeAsText(v.VType());
  if (VarIsArray(v)) {
    out << " [";
    for (int i = v.LowBound(); i <= v.HighBound(); ++i) {
      if (i > v.LowBound()) out << ", ";
      const Variant& item = v[i];
      if (VarIsStr(item)) out << '"' << item.AsString() << '"';
      else if (VarIsNull(item) || VarIsEmpty(item) || item.VType() == varError) out << VarTypeAsText(item.VType());
      else out << item.AsString();
    }
    return out << ']';
  }
  if (VarIsStr(v)) return out << " \"" << v.AsString() << '"';
  if (VarIsNull(v) || VarIsEmpty(v) || v.VType() == varError) return out;
  return out << ' ' << v.AsString();
}
