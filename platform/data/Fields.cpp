#include "platform/data/Fields.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/data/DataSet.h"
#include "platform/data/FieldText.h"
#include "platform/rtl/Strings.h"
#include "platform/data/SqlDates.h"

namespace data {

Storage StorageOf(TFieldType Type) {
  switch (Type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
      return Storage::Integer;
    case ftBoolean:
      return Storage::Boolean;
    case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
      return Storage::Float;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
      return Storage::DateTime;
    default:
      return Storage::Text;
  }
}

bool IsBlobType(TFieldType Type) {
  return Type == ftBlob || Type == ftMemo || Type == ftGraphic || Type == ftFmtMemo ||
         Type == ftTypedBinary || Type == ftOraBlob || Type == ftOraClob;
}

bool SameName(const std::string& A, const std::string& B) { return SameText(A, B); }

std::vector<std::string> SplitFieldNames(const std::string& Names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= Names.size()) {
    size_t p = Names.find(';', start);
    std::string part = Trim(Names.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (!part.empty()) out.push_back(part);
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return out;
}

int64_t ToInteger(const data::Value& V) {
  if (auto i = std::get_if<int64_t>(&V)) return *i;
  if (auto d = std::get_if<double>(&V)) {
    if (!(std::fabs(*d) < 9.2e18)) throw EConvertError("Invalid floating point operation");
    return static_cast<int64_t>(std::nearbyint(*d));  // halves to even, as the platform rounds
  }
  if (auto b = std::get_if<bool>(&V)) return *b ? 1 : 0;
  if (auto s = std::get_if<std::string>(&V)) return StrToInt64(Trim(*s));
  return 0;
}

double ToFloat(const data::Value& V) {
  if (auto i = std::get_if<int64_t>(&V)) return static_cast<double>(*i);
  if (auto d = std::get_if<double>(&V)) return *d;
  if (auto b = std::get_if<bool>(&V)) return *b ? 1.0 : 0.0;
  if (auto s = std::get_if<std::string>(&V)) return StrToFloat(*s);
  return 0.0;
}

bool ToBoolean(const data::Value& V) {
  if (auto i = std::get_if<int64_t>(&V)) return *i != 0;
  if (auto d = std::get_if<double>(&V)) return *d != 0.0;
  if (auto b = std::get_if<bool>(&V)) return *b;
  if (auto s = std::get_if<std::string>(&V)) {
    std::string t = Trim(*s);
    if (SameName(t, "true") || SameName(t, "t") || SameName(t, "yes") || SameName(t, "y") || t == "1") return true;
    if (SameName(t, "false") || SameName(t, "f") || SameName(t, "no") || SameName(t, "n") || t == "0") return false;
    throw EConvertError("'" + *s + "' is not a valid boolean value");
  }
  return false;
}

std::string ToText(const data::Value& V, Storage From) {
  if (auto i = std::get_if<int64_t>(&V)) return std::to_string(*i);
  if (auto d = std::get_if<double>(&V)) {
    if (From == Storage::DateTime) {
      double whole = std::trunc(*d);
      if (whole == 0) return FormatSqlTime(*d);
      if (*d == whole) return FormatSqlDate(*d);
      return FormatSqlDateTime(*d);
    }
    return FloatToStr(*d);
  }
  if (auto b = std::get_if<bool>(&V)) return *b ? "True" : "False";
  if (auto s = std::get_if<std::string>(&V)) return *s;
  return {};
}

double DateTimeForType(double V, TFieldType Type) {
  if (Type == ftTime) return std::fabs(V - std::trunc(V));
  if (Type == ftDate) return std::trunc(V);
  return V;
}

Variant ToVariant(const Value& V, TFieldType Type) {
  if (IsNullValue(V)) return Variant::Null();
  switch (StorageOf(Type)) {
    case Storage::Integer: {
      int64_t i = ToInteger(V);
      if (Type == ftLargeint || i < INT32_MIN || i > INT32_MAX) return Variant(static_cast<long long>(i));
      return Variant(static_cast<int>(i));
    }
    case Storage::Float:
      if (Type == ftBCD) return Variant(Currency::FromDouble(ToFloat(V)));
      return Variant(ToFloat(V));
    case Storage::Boolean: return Variant(ToBoolean(V));
    case Storage::DateTime: return Variant(TDateTime(ToFloat(V)));
    case Storage::Text: return Variant(ToText(V, Storage::Text));
  }
  return Variant::Null();
}

Value FromVariant(const Variant& V, TFieldType Type) {
  if (VarIsNull(V) || VarIsEmpty(V)) return {};
  switch (StorageOf(Type)) {
    case Storage::Integer: return V.AsInt64();
    case Storage::Float: return V.AsDouble();
    case Storage::Boolean: return V.AsBoolean();
    case Storage::DateTime: return V.AsDateTime().Value;
    case Storage::Text: return V.AsString();
  }
  return {};
}

std::vector<Variant> VariantItems(const Variant& V) {
  if (!VarIsArray(V)) return {V};
  std::vector<Variant> out;
  for (int i = V.LowBound(); i <= V.HighBound(); ++i) out.push_back(V[i]);
  return out;
}

}  // namespace data

using data::Storage;
using data::Value;

// ---------------------------------------------------------------- TField

// What window definitions set on persistent fields.
static const classes::TPublished<TField, TComponent> FieldInfo([](auto& p) {
  p.Enum("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taLeftJustify);
  p.Bool("Calculated", [](TField* F) { return F->FieldKind() == fkCalculated; },
         [](TField* F, bool V) { F->SetFieldKind(V ? fkCalculated : fkData); }).Default(false);
  // Only a label of its own is written: without one the label is the field name.
  p.String("DisplayLabel", [](TField* F) { return F->DisplayLabel() == F->FieldName() ? std::string() : F->DisplayLabel(); },
           &TField::SetDisplayLabel);
  p.Int("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
  p.String("EditMask", &TField::EditMask, &TField::SetEditMask);
  p.Enum("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
  p.String("FieldName", &TField::FieldName, &TField::SetFieldName);
  p.String("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  p.Bool("Lookup", &TField::Lookup, [](TField* F, bool V) { F->SetFieldKind(V ? fkLookup : fkData); }).Default(false);
  p.Component("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
  p.String("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  p.String("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
  p.Bool("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
  p.Bool("Required", &TField::Required, &TField::SetRequired).Default(false);
  p.Int("Size", &TField::Size, &TField::SetSize).Default(0);
  p.Bool("Visible", &TField::Visible, &TField::SetVisible).Default(true);
  p.Event("OnChange", &TField::OnChange);
  p.Event("OnGetText", &TField::OnGetText);
  p.Event("OnSetText", &TField::OnSetText);
  p.Event("OnValidate", &TField::OnValidate);
});
static const classes::TPublished<TStringField, TField> StringFieldInfo([](auto& p) {
  p.Bool("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar).Default(false);
  p.Int("Size", &TStringField::Size, &TStringField::SetSize).Default(20);
});
static const classes::TPublished<TWideStringField, TStringField> WideStringFieldInfo;
static const classes::TPublished<TNumericField, TField> NumericFieldInfo([](auto& p) {
  p.Enum("Alignment", &TNumericField::Alignment, &TNumericField::SetAlignment).Default(taRightJustify);
  p.String("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  p.String("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
});
static const classes::TPublished<TIntegerField, TNumericField> IntegerFieldInfo([](auto& p) {
  p.Int("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
  p.Int("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
});
static const classes::TPublished<TSmallintField, TIntegerField> SmallintFieldInfo;
static const classes::TPublished<TWordField, TIntegerField> WordFieldInfo;
static const classes::TPublished<TAutoIncField, TIntegerField> AutoIncFieldInfo;
static const classes::TPublished<TLargeintField, TIntegerField> LargeintFieldInfo;
static const classes::TPublished<TBooleanField, TField> BooleanFieldInfo([](auto& p) {
  p.String("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
});
static const classes::TPublished<TFloatField, TNumericField> FloatFieldInfo([](auto& p) {
  p.Bool("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
  p.Float("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
  p.Float("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
  p.Int("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
});
static const classes::TPublished<TCurrencyField, TFloatField> CurrencyFieldInfo([](auto& p) {
  p.Bool("Currency", &TCurrencyField::Currency, &TCurrencyField::SetCurrency).Default(true);
});
static const classes::TPublished<TBCDField, TFloatField> BCDFieldInfo;
static const classes::TPublished<TFMTBCDField, TFloatField> FMTBCDFieldInfo;
static const classes::TPublished<TDateTimeField, TField> DateTimeFieldInfo([](auto& p) {
  p.String("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
});
static const classes::TPublished<TDateField, TDateTimeField> DateFieldInfo;
static const classes::TPublished<TTimeField, TDateTimeField> TimeFieldInfo;
static const classes::TPublished<TBlobField, TField> BlobFieldInfo;
static const classes::TPublished<TMemoField, TBlobField> MemoFieldInfo;
static const classes::TPublished<TGraphicField, TBlobField> GraphicFieldInfo;

TField::TField(TComponent* AOwner) : TField(AOwner, ftUnknown, 0) {}

TField::TField(TComponent* AOwner, TFieldType Type, int Size)
    : TComponent(AOwner), FDataType(Type), FSize(Size) {
  Storage s = data::StorageOf(Type);
  if (s == Storage::Integer || s == Storage::Float) FAlignment = taRightJustify;
}

TField::~TField() {
  if (FDataSet) FDataSet->RemoveField(this);
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    FDataSet->CheckInactive();
  }
  if (Value) Value->CheckInactive();
  if (FDataSet) FDataSet->RemoveField(this);
  if (Value) Value->AddField(this);
}

void TField::SetFieldName(const std::string& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FFieldName = Value;
}

void TField::SetFieldKind(TFieldKind Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FFieldKind = Value;
}

void TField::SetSize(int Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FSize = Value;
}

int TField::Index() const { return FDataSet ? FDataSet->FFields.IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
  if (!FDataSet) return;
  auto& list = FDataSet->FFields.FList;
  int cur = Index();
  if (Value < 0) Value = 0;
  if (Value >= static_cast<int>(list.size())) Value = static_cast<int>(list.size()) - 1;
  if (cur == Value) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
  PropertyChanged(true);
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (FDataSet && FDataSet->Active())
    FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetDisplayLabel(const std::string& Value) {
  FDisplayLabel = Value == FFieldName ? std::string() : Value;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
  FDisplayWidth = Value;
  PropertyChanged(true);
}

void TField::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  PropertyChanged(false);
}

void TField::SetVisible(bool Value) {
  FVisible = Value;
  PropertyChanged(true);
}

bool TField::CanModify() const {
  if (FReadOnly || FFieldKind == fkCalculated || !FDataSet || !FDataSet->CanModify()) return false;
  if (FDataType == ftAutoInc) return false;
  if (FFieldKind == fkLookup) {
    if (!FLookupDataSet) return false;
    for (const std::string& k : data::SplitFieldNames(FKeyFields)) {
      TField* f = FDataSet->FindField(k);
      if (f && f->CanModify()) return true;
    }
    return false;
  }
  return true;
}

bool TField::IsValidChar(char32_t C) const { return C >= 32 || C == '\t'; }

void TField::FocusControl() {
  if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(this));
}

data::Value TField::GetData() const {
  if (!FDataSet) return {};
  return FDataSet->FieldValue(this);
}

bool TField::IsNull() const { return data::IsNullValue(GetData()); }

void TField::Clear() { SetData(data::Value()); }

void TField::AccessError(const char* TypeName) const {
  DatabaseError("Cannot access field '" + DisplayName() + "' as type " + TypeName);
}

data::Value TField::ConvertForStorage(const data::Value& V) const {
  if (data::IsNullValue(V)) return V;
  switch (data::StorageOf(FDataType)) {
    case Storage::Integer: return data::ToInteger(V);
    case Storage::Float: return data::ToFloat(V);
    case Storage::Boolean: return data::ToBoolean(V);
    case Storage::DateTime: {
      double d;
      if (auto s = std::get_if<std::string>(&V)) {
        TDateTime dt;
        if (!data::ParseSqlDateTime(*s, dt)) throw EConvertError("'" + *s + "' is not a valid date and time");
        d = dt.Value;
      } else {
        if (std::holds_alternative<bool>(V)) AccessError("DateTime");
        d = data::ToFloat(V);
      }
      return data::DateTimeForType(d, FDataType);
    }
    case Storage::Text:
      return data::ToText(V, Storage::Text);
  }
  return V;
}

void TField::CheckValue(const data::Value&) const {}

void TField::SetData(const data::Value& V) {
  if (!FDataSet) DatabaseError("Field '" + DisplayName() + "' has no dataset");
  FDataSet->SetFieldValue(this, ConvertForStorage(V));
}

std::string TField::GetText(const data::Value& V, bool) const {
  return data::ToText(V, data::StorageOf(FDataType));
}

std::string TField::DisplayText() const {
  data::Value v = GetData();
  std::string text = data::IsNullValue(v) ? std::string() : GetText(v, true);
  if (OnGetText) OnGetText(const_cast<TField*>(this), text, true);
  return text;
}

std::string TField::Text() const {
  data::Value v = GetData();
  std::string text = data::IsNullValue(v) ? std::string() : GetText(v, false);
  if (OnGetText) OnGetText(const_cast<TField*>(this), text, false);
  return text;
}

void TField::SetText(const std::string& Value) {
  if (OnSetText)
    OnSetText(this, Value);
  else
    SetAsString(Value);
}

std::string TField::AsString() const {
  data::Value v = GetData();
  return data::IsNullValue(v) ? std::string() : GetText(v, false);
}

void TField::SetAsString(const std::string& Value) {
  if (data::StorageOf(FDataType) != Storage::Text && Value.empty()) {
    Clear();
    return;
  }
  SetData(Value);
}

int TField::AsInteger() const {
  int64_t v = AsLargeInt();
  if (v < INT32_MIN || v > INT32_MAX) throw EConvertError("Integer overflow");
  return static_cast<int>(v);
}

void TField::SetAsInteger(int Value) { SetAsLargeInt(Value); }

int64_t TField::AsLargeInt() const {
  data::Value v = GetData();
  if (data::IsNullValue(v)) return 0;
  Storage s = data::StorageOf(FDataType);
  if (s == Storage::DateTime) AccessError("Integer");
  return data::ToInteger(v);
}

void TField::SetAsLargeInt(int64_t Value) {
  if (data::StorageOf(FDataType) == Storage::DateTime) AccessError("Integer");
  SetData(Value);
}

double TField::AsFloat() const {
  data::Value v = GetData();
  if (data::IsNullValue(v)) return 0.0;
  return data::ToFloat(v);
}

void TField::SetAsFloat(double Value) {
  if (data::StorageOf(FDataType) == Storage::Boolean) AccessError("Float");
  SetData(Value);
}

bool TField::AsBoolean() const {
  data::Value v = GetData();
  if (data::IsNullValue(v)) return false;
  if (data::StorageOf(FDataType) == Storage::DateTime) AccessError("Boolean");
  return data::ToBoolean(v);
}

void TField::SetAsBoolean(bool Value) {
  Storage s = data::StorageOf(FDataType);
  if (s == Storage::DateTime || s == Storage::Float) AccessError("Boolean");
  SetData(Value);
}

TDateTime TField::AsDateTime() const {
  data::Value v = GetData();
  if (data::IsNullValue(v)) return TDateTime(0.0);
  Storage s = data::StorageOf(FDataType);
  if (s == Storage::Boolean || s == Storage::Integer) AccessError("DateTime");
  if (s == Storage::Text) {
    TDateTime dt;
    const std::string& str = std::get<std::string>(v);
    if (!data::ParseSqlDateTime(str, dt)) throw EConvertError("'" + str + "' is not a valid date and time");
    return dt;
  }
  return TDateTime(data::ToFloat(v));
}

void TField::SetAsDateTime(TDateTime Value) {
  Storage s = data::StorageOf(FDataType);
  if (s == Storage::Boolean || s == Storage::Integer) AccessError("DateTime");
  if (s == Storage::Text) {
    SetData(data::ToText(Value.Value, Storage::DateTime));
    return;
  }
  SetData(Value.Value);
}

Variant TField::AsVariant() const { return data::ToVariant(GetData(), FDataType); }

void TField::SetAsVariant(const Variant& V) {
  if (VarIsNull(V) || VarIsEmpty(V)) {
    Clear();
    return;
  }
  switch (data::StorageOf(FDataType)) {
    case Storage::Text: SetAsString(V.AsString()); break;
    case Storage::Integer: SetAsLargeInt(V.AsInt64()); break;
    case Storage::Float: SetAsFloat(V.AsDouble()); break;
    case Storage::Boolean: SetAsBoolean(V.AsBoolean()); break;
    case Storage::DateTime:
      if (VarIsStr(V))
        SetAsString(V.AsString());
      else
        SetAsDateTime(V.AsDateTime());
      break;
  }
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (FLookupDataSet == Value) return;
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (Value) Value->FreeNotification(this);
}

TComponent* TField::GetParentComponent() const { return FDataSet; }

void TField::SetParentComponent(TComponent* Value) {
  if (auto* ds = dynamic_cast<TDataSet*>(Value)) SetDataSet(ds);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

// ---------------------------------------------------------------- subclasses

void TStringField::CheckValue(const data::Value&) const {}

void TNumericField::SetDisplayFormat(const std::string& V) {
  FDisplayFormat = V;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& V) {
  FEditFormat = V;
  PropertyChanged(false);
}

const std::string& TNumericField::TextFormat(bool DisplayText) const {
  return DisplayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
}

void TIntegerField::TypeRange(int64_t& Min, int64_t& Max) const {
  switch (DataType()) {
    case ftSmallint: Min = -32768; Max = 32767; break;
    case ftWord: Min = 0; Max = 65535; break;
    case ftLargeint: Min = INT64_MIN; Max = INT64_MAX; break;
    default: Min = INT32_MIN; Max = INT32_MAX; break;
  }
}

int TIntegerField::DefaultDisplayWidth() const {
  switch (DataType()) {
    case ftSmallint: return 6;
    case ftWord: return 5;
    case ftLargeint: return 15;
    default: return 10;
  }
}

void TIntegerField::CheckValue(const data::Value& V) const {
  if (data::IsNullValue(V)) return;
  int64_t v = std::get<int64_t>(V);
  int64_t lo, hi;
  TypeRange(lo, hi);
  if (FMinValue != 0 || FMaxValue != 0) {
    lo = FMinValue;
    hi = FMaxValue;
  }
  if (v < lo || v > hi)
    DatabaseError(std::to_string(v) + " is not a valid value for field '" + DisplayName() +
                  "'. The allowed range is " + std::to_string(lo) + " to " + std::to_string(hi));
}

bool TIntegerField::IsValidChar(char32_t C) const { return (C >= '0' && C <= '9') || C == '+' || C == '-'; }

std::string TIntegerField::GetText(const data::Value& V, bool DisplayText) const {
  int64_t v = data::ToInteger(V);
  const std::string& fmt = TextFormat(DisplayText);
  if (fmt.empty()) return std::to_string(v);
  return data::FormatNumber(fmt, static_cast<double>(v));
}

void TBooleanField::SetDisplayValues(const std::string& V) {
  FDisplayValues = V;
  size_t p = V.find(';');
  if (V.empty()) {
    FTrue = "True";
    FFalse = "False";
  } else if (p == std::string::npos) {
    FTrue = V;
    FFalse.clear();
  } else {
    FTrue = V.substr(0, p);
    FFalse = V.substr(p + 1);
  }
  PropertyChanged(false);
}

void TBooleanField::SetAsString(const std::string& Value) {
  std::string s = Trim(Value);
  if (s.empty()) {
    Clear();
    return;
  }
  auto starts = [&](const std::string& Full) {
    return !Full.empty() && s.size() <= Full.size() && data::SameName(Full.substr(0, s.size()), s);
  };
  if (starts(FTrue)) SetAsBoolean(true);
  else if (starts(FFalse)) SetAsBoolean(false);
  else throw EConvertError("'" + Value + "' is not a valid boolean value for field '" + DisplayName() + "'");
}

std::string TBooleanField::GetText(const data::Value& V, bool) const { return data::ToBoolean(V) ? FTrue : FFalse; }

int TBooleanField::DefaultDisplayWidth() const {
  return static_cast<int>(std::max(FTrue.size(), FFalse.size()));
}

void TFloatField::SetCurrency(bool V) {
  FCurrency = V;
  PropertyChanged(false);
}

void TFloatField::SetPrecision(int V) {
  FPrecision = V < 2 ? 2 : (V > 15 ? 15 : V);
  PropertyChanged(false);
}

bool TFloatField::IsValidChar(char32_t C) const {
  return (C >= '0' && C <= '9') || C == '+' || C == '-' || C == 'e' || C == 'E' ||
         C == static_cast<char32_t>(data::DecimalSeparator());
}

void TFloatField::CheckValue(const data::Value& V) const {
  if (data::IsNullValue(V) || (FMinValue == 0 && FMaxValue == 0)) return;
  double v = std::get<double>(V);
  if (v < FMinValue || v > FMaxValue)
    DatabaseError(data::FormatGeneral(v, 15) + " is not a valid value for field '" + DisplayName() +
                  "'. The allowed range is " + data::FormatGeneral(FMinValue, 15) + " to " +
                  data::FormatGeneral(FMaxValue, 15));
}

std::string TFloatField::GetText(const data::Value& V, bool DisplayText) const {
  double v = data::ToFloat(V);
  const std::string& fmt = TextFormat(DisplayText);
  if (!fmt.empty()) return data::FormatNumber(fmt, v);
  if (FCurrency) return DisplayText ? data::FormatMoney(v) : data::FormatFixed(v, data::CurrencyDecimals());
  return data::FormatGeneral(v, FPrecision);
}

double TBCDField::AsCurrency() const { return std::round(AsFloat() * 10000.0) / 10000.0; }

void TDateTimeField::SetDisplayFormat(const std::string& V) {
  FDisplayFormat = V;
  PropertyChanged(false);
}

void TDateTimeField::SetAsString(const std::string& Value) {
  std::string s = Trim(Value);
  if (s.empty()) {
    Clear();
    return;
  }
  TDateTime dt;
  switch (DataType()) {
    case ftDate: dt = data::TextToDate(Value); break;
    case ftTime: dt = data::TextToTime(Value); break;
    default: dt = data::TextToDateTime(Value); break;
  }
  SetAsDateTime(dt);
}

std::string TDateTimeField::GetText(const data::Value& V, bool DisplayText) const {
  TDateTime dt(data::ToFloat(V));
  if (DisplayText && !FDisplayFormat.empty()) return data::FormatDate(FDisplayFormat, dt);
  switch (DataType()) {
    case ftDate: return data::DateText(dt);
    case ftTime: return data::TimeText(dt);
    default: return data::DateTimeText(dt);
  }
}

int TDateTimeField::DefaultDisplayWidth() const {
  switch (DataType()) {
    case ftDate: return 10;
    case ftTime: return 10;
    default: return 18;
  }
}

std::string TBlobField::GetText(const data::Value& V, bool DisplayText) const {
  if (!DisplayText) return std::get<std::string>(V);
  switch (DataType()) {
    case ftMemo: case ftFmtMemo: return "(MEMO)";
    case ftGraphic: return "(GRAPHIC)";
    default: return "(BLOB)";
  }
}

TField* CreateFieldOfType(TFieldType Type, TComponent* AOwner) {
  switch (Type) {
    case ftString: case ftFixedChar: return new TStringField(AOwner);
    case ftWideString: return new TWideStringField(AOwner);
    case ftSmallint: return new TSmallintField(AOwner);
    case ftInteger: return new TIntegerField(AOwner);
    case ftWord: return new TWordField(AOwner);
    case ftAutoInc: return new TAutoIncField(AOwner);
    case ftLargeint: return new TLargeintField(AOwner);
    case ftBoolean: return new TBooleanField(AOwner);
    case ftFloat: return new TFloatField(AOwner);
    case ftCurrency: return new TCurrencyField(AOwner);
    case ftBCD: return new TBCDField(AOwner);
    case ftFMTBcd: return new TFMTBCDField(AOwner);
    case ftDate: return new TDateField(AOwner);
    case ftTime: return new TTimeField(AOwner);
    case ftDateTime: case ftTimeStamp: return new TDateTimeField(AOwner);
    case ftMemo: case ftFmtMemo: return new TMemoField(AOwner);
    case ftGraphic: return new TGraphicField(AOwner);
    case ftBlob: case ftTypedBinary: case ftBytes: case ftVarBytes: return new TBlobField(AOwner);
    default: DatabaseError("Field type not supported");
  }
}

// ---------------------------------------------------------------- definitions and lists

TField* TFieldDef::CreateField(TComponent* Owner, TDataSet* DataSet) const {
  TField* f = CreateFieldOfType(FDataType, Owner);
  f->SetFieldName(FName);
  if (data::StorageOf(FDataType) == Storage::Text && !f->IsBlob()) f->SetSize(FSize);
  f->SetRequired(FRequired && FDataType != ftAutoInc);
  f->SetReadOnly(FReadOnly);
  f->SetDataSet(DataSet);
  return f;
}

TFieldDef* TFieldDefs::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)].get();
}

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
  if (IndexOf(Name) >= 0) DatabaseError("Duplicate field name '" + Name + "'");
  FItems.push_back(std::make_unique<TFieldDef>(Name, DataType, Size, Required, Count() + 1));
  return FItems.back().get();
}

int TFieldDefs::IndexOf(const std::string& Name) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (data::SameName(FItems[i]->Name(), Name)) return static_cast<int>(i);
  return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  int i = IndexOf(Name);
  if (i < 0) DatabaseError("Field '" + Name + "' not found");
  return FItems[static_cast<size_t>(i)].get();
}

TField* TFields::Fields(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FList[static_cast<size_t>(Index)];
}

TField* TFields::FindField(const std::string& Name) const {
  for (TField* f : FList)
    if (data::SameName(f->FieldName(), Name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const std::string& Name) const {
  TField* f = FindField(Name);
  if (!f) DatabaseError("Field '" + Name + "' not found");
  return f;
}

TField* TFields::FieldByNumber(int FieldNo) const {
  for (TField* f : FList)
    if (f->FieldNo() == FieldNo) return f;
  return nullptr;
}

int TFields::IndexOf(const TField* Field) const {
  for (size_t i = 0; i < FList.size(); ++i)
    if (FList[i] == Field) return static_cast<int>(i);
  return -1;
}
