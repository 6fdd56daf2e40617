#pragma once
// Fields of a dataset: the TField family, field definitions and the dataset's field list.
// A field reads and writes the dataset's active record; its class decides how values
// convert to and from text and the other types.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"
#include "platform/data/DBError.h"
#include "platform/data/Sqlite.h"
#include "platform/rtl/Variant.h"

class TDataSet;
class TField;

enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
inline const classes::TEnumInfo& EnumInfo(TFieldKind) {
  static const classes::TEnumInfo info{"TFieldKind", {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate"}};
  return info;
}

namespace data {
// How a field type keeps its value in a record.
enum class Storage { Text, Integer, Float, Boolean, DateTime };
Storage StorageOf(TFieldType Type);
bool IsBlobType(TFieldType Type);
}  // namespace data

using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const std::string& Text)>;

class TField : public TComponent {
 public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  // ---- identity ----
  TDataSet* DataSet() const { return FDataSet; }
  // Adds the field to Value's field list (removing it from the previous one); the dataset
  // must be closed.
  void SetDataSet(TDataSet* Value);
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  // 1-based position of the field's column in the dataset's record (0 for calculated fields).
  int FieldNo() const { return FFieldNo; }
  int Size() const { return FSize; }
  void SetSize(int Value);
  int Index() const;
  void SetIndex(int Value);
  bool IsBlob() const { return data::IsBlobType(FDataType); }

  // ---- presentation ----
  std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const std::string& Value);
  std::string DisplayName() const { return DisplayLabel(); }
  int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultDisplayWidth(); }
  void SetDisplayWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value) { FEditMask = Value; }
  // Whether a value can be written now (field and dataset allow it).
  virtual bool CanModify() const;
  // Whether the character may be typed into the field's text.
  virtual bool IsValidChar(char32_t C) const;
  // Asks the data-aware control showing this field to take the focus.
  void FocusControl();

  // ---- value ----
  bool IsNull() const;
  void Clear();
  std::string DisplayText() const;
  std::string Text() const;
  void SetText(const std::string& Value);
  std::string EditText() const { return Text(); }
  void SetEditText(const std::string& Value) { SetText(Value); }
  virtual std::string AsString() const;
  virtual void SetAsString(const std::string& Value);
  virtual int AsInteger() const;
  virtual void SetAsInteger(int Value);
  virtual int64_t AsLargeInt() const;
  virtual void SetAsLargeInt(int64_t Value);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double Value);
  virtual double AsCurrency() const { return AsFloat(); }
  virtual void SetAsCurrency(double Value) { SetAsFloat(Value); }
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool Value);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime Value);
  // The value as a variant of the field's type (Null when the field is empty); setting
  // Null or Unassigned clears the field.
  Variant AsVariant() const;
  void SetAsVariant(const Variant& Value);
  Variant Value() const { return AsVariant(); }
  void SetValue(const Variant& V) { SetAsVariant(V); }

  // The stored value of the active record (Null when there is none).
  data::Value GetData() const;
  // Converts Value to the field's storage and writes it (checks, OnValidate, OnChange).
  void SetData(const data::Value& Value);
  // The stored value converted to this field's storage; raises EConvertError/EDatabaseError.
  data::Value ConvertForStorage(const data::Value& Value) const;

  // ---- lookup settings ----
  const std::string& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const std::string& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
  const std::string& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }
  bool Lookup() const { return FFieldKind == fkLookup; }

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;
  TFieldNotifyEvent OnValidate;
  TFieldNotifyEvent OnChange;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  // In a window definition a field is written inside its dataset's block.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  TField(TComponent* AOwner, TFieldType Type, int Size = 0);
  // The text of a non-Null value; DisplayText selects the display form over the edit form.
  virtual std::string GetText(const data::Value& Value, bool DisplayText) const;
  virtual int DefaultDisplayWidth() const { return 10; }
  [[noreturn]] void AccessError(const char* TypeName) const;
  // Called before a value is stored; range checks live here.
  virtual void CheckValue(const data::Value& Value) const;
  void SetDataType(TFieldType Value) { FDataType = Value; }
  // Tells the dataset's links that a display property changed.
  void PropertyChanged(bool LayoutAffected);

 private:
  friend class TDataSet;
  void Bind(int Slot, int FieldNo) { FSlot = Slot; FFieldNo = FieldNo; }

  TDataSet* FDataSet = nullptr;
  std::string FFieldName;
  TFieldType FDataType;
  TFieldKind FFieldKind = fkData;
  int FSize;
  int FFieldNo = 0;
  int FSlot = -1;  // index of the value in a record; -1 while unbound
  std::string FDisplayLabel;
  int FDisplayWidth = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FVisible = true;
  bool FReadOnly = false;
  bool FRequired = false;
  std::string FEditMask;
  std::string FKeyFields;
  TDataSet* FLookupDataSet = nullptr;
  std::string FLookupKeyFields;
  std::string FLookupResultField;
  bool FValidating = false;
};

class TStringField : public TField {
 public:
  explicit TStringField(TComponent* AOwner) : TField(AOwner, ftString, 20) {}
  bool FixedChar() const { return FFixedChar; }
  void SetFixedChar(bool V) { FFixedChar = V; }

 protected:
  TStringField(TComponent* AOwner, TFieldType Type, int Size) : TField(AOwner, Type, Size) {}
  int DefaultDisplayWidth() const override { return Size() > 0 ? Size() : 20; }
  void CheckValue(const data::Value& Value) const override;

 private:
  bool FFixedChar = false;
};

class TWideStringField : public TStringField {
 public:
  explicit TWideStringField(TComponent* AOwner) : TStringField(AOwner, ftWideString, 20) {}
};

// The numeric fields' shared text settings: DisplayFormat pictures the display text, and
// EditFormat (when set) the edit text.
class TNumericField : public TField {
 public:
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& V);
  const std::string& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const std::string& V);

 protected:
  TNumericField(TComponent* AOwner, TFieldType Type) : TField(AOwner, Type) {}
  // The picture for the display text or the edit text ("" when none applies).
  const std::string& TextFormat(bool DisplayText) const;

 private:
  std::string FDisplayFormat;
  std::string FEditFormat;
};

// Integer fields: MinValue/MaxValue of 0/0 mean the type's own range.
class TIntegerField : public TNumericField {
 public:
  explicit TIntegerField(TComponent* AOwner) : TIntegerField(AOwner, ftInteger) {}
  int64_t MinValue() const { return FMinValue; }
  void SetMinValue(int64_t V) { FMinValue = V; }
  int64_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(int64_t V) { FMaxValue = V; }
  bool IsValidChar(char32_t C) const override;

 protected:
  TIntegerField(TComponent* AOwner, TFieldType Type) : TNumericField(AOwner, Type) {}
  std::string GetText(const data::Value& Value, bool DisplayText) const override;
  int DefaultDisplayWidth() const override;
  void CheckValue(const data::Value& Value) const override;
  virtual void TypeRange(int64_t& Min, int64_t& Max) const;

 private:
  int64_t FMinValue = 0;
  int64_t FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
 public:
  explicit TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint) {}
};

class TWordField : public TIntegerField {
 public:
  explicit TWordField(TComponent* AOwner) : TIntegerField(AOwner, ftWord) {}
};

class TAutoIncField : public TIntegerField {
 public:
  explicit TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner, ftAutoInc) {}
};

class TLargeintField : public TIntegerField {
 public:
  explicit TLargeintField(TComponent* AOwner) : TIntegerField(AOwner, ftLargeint) {}
};

class TBooleanField : public TField {
 public:
  explicit TBooleanField(TComponent* AOwner) : TField(AOwner, ftBoolean) {}
  // "TrueText;FalseText" (default "True;False"); AsString accepts either text and its first letters.
  const std::string& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const std::string& V);
  void SetAsString(const std::string& Value) override;

 protected:
  std::string GetText(const data::Value& Value, bool DisplayText) const override;
  int DefaultDisplayWidth() const override;

 private:
  std::string FDisplayValues;
  std::string FTrue = "True";
  std::string FFalse = "False";
};

class TFloatField : public TNumericField {
 public:
  explicit TFloatField(TComponent* AOwner) : TFloatField(AOwner, ftFloat) {}
  bool Currency() const { return FCurrency; }
  void SetCurrency(bool V);
  int Precision() const { return FPrecision; }
  void SetPrecision(int V);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double V) { FMinValue = V; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double V) { FMaxValue = V; }
  bool IsValidChar(char32_t C) const override;

 protected:
  TFloatField(TComponent* AOwner, TFieldType Type) : TNumericField(AOwner, Type) {}
  std::string GetText(const data::Value& Value, bool DisplayText) const override;
  void CheckValue(const data::Value& Value) const override;

 private:
  bool FCurrency = false;
  int FPrecision = 15;
  double FMinValue = 0;
  double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
 public:
  explicit TCurrencyField(TComponent* AOwner) : TFloatField(AOwner, ftCurrency) { SetCurrency(true); }
};

class TBCDField : public TFloatField {
 public:
  explicit TBCDField(TComponent* AOwner) : TFloatField(AOwner, ftBCD) {}
  // Values are kept to four decimals, as a currency amount.
  double AsCurrency() const override;
};

class TFMTBCDField : public TFloatField {
 public:
  explicit TFMTBCDField(TComponent* AOwner) : TFloatField(AOwner, ftFMTBcd) {}
};

class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftDateTime) {}
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& V);
  void SetAsString(const std::string& Value) override;

 protected:
  TDateTimeField(TComponent* AOwner, TFieldType Type) : TField(AOwner, Type) {}
  std::string GetText(const data::Value& Value, bool DisplayText) const override;
  int DefaultDisplayWidth() const override;

 private:
  std::string FDisplayFormat;
};

class TDateField : public TDateTimeField {
 public:
  explicit TDateField(TComponent* AOwner) : TDateTimeField(AOwner, ftDate) {}
};

class TTimeField : public TDateTimeField {
 public:
  explicit TTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftTime) {}
};

class TBlobField : public TField {
 public:
  explicit TBlobField(TComponent* AOwner) : TField(AOwner, ftBlob) {}

 protected:
  TBlobField(TComponent* AOwner, TFieldType Type) : TField(AOwner, Type) {}
  std::string GetText(const data::Value& Value, bool DisplayText) const override;
};

class TMemoField : public TBlobField {
 public:
  explicit TMemoField(TComponent* AOwner) : TBlobField(AOwner, ftMemo) {}
};

class TGraphicField : public TBlobField {
 public:
  explicit TGraphicField(TComponent* AOwner) : TBlobField(AOwner, ftGraphic) {}
};

// Creates the field class the platform uses for a type (TStringField for ftString...).
TField* CreateFieldOfType(TFieldType Type, TComponent* AOwner);

// ---- field definitions: the columns a dataset offers ----

class TFieldDef {
 public:
  TFieldDef(std::string Name, TFieldType DataType, int Size, bool Required, int FieldNo)
      : FName(std::move(Name)), FDataType(DataType), FSize(Size), FRequired(Required), FFieldNo(FieldNo) {}
  const std::string& Name() const { return FName; }
  TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  bool Required() const { return FRequired; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V) { FReadOnly = V; }
  int FieldNo() const { return FFieldNo; }
  // A field of the definition's class and settings, added to DataSet's fields.
  TField* CreateField(TComponent* Owner, TDataSet* DataSet) const;

 private:
  std::string FName;
  TFieldType FDataType;
  int FSize;
  bool FRequired;
  bool FReadOnly = false;
  int FFieldNo;
};

class TFieldDefs {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TFieldDef* Items(int Index) const;
  TFieldDef* operator[](int Index) const { return Items(Index); }
  TFieldDef* Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
  TFieldDef* Find(const std::string& Name) const;  // raises "Field 'X' not found"
  int IndexOf(const std::string& Name) const;      // -1 when absent
  void Clear() { FItems.clear(); }
  bool Updated() const { return FUpdated; }
  void SetUpdated(bool V) { FUpdated = V; }

 private:
  std::vector<std::unique_ptr<TFieldDef>> FItems;
  bool FUpdated = false;
};

// The dataset's list of fields in display order (fields are owned elsewhere).
class TFields {
 public:
  int Count() const { return static_cast<int>(FList.size()); }
  TField* Fields(int Index) const;
  TField* operator[](int Index) const { return Fields(Index); }
  TField* FindField(const std::string& Name) const;
  TField* FieldByName(const std::string& Name) const;
  TField* FieldByNumber(int FieldNo) const;
  int IndexOf(const TField* Field) const;

 private:
  friend class TDataSet;
  friend class TField;
  std::vector<TField*> FList;
};

namespace data {
// ASCII case-insensitive name match, as field names are compared.
bool SameName(const std::string& A, const std::string& B);
// Splits "a;b; c" into trimmed names (empty parts dropped).
std::vector<std::string> SplitFieldNames(const std::string& Names);
// Converts a stored value between storages; raises EConvertError/EDatabaseError on failure.
int64_t ToInteger(const Value& V);
double ToFloat(const Value& V);
bool ToBoolean(const Value& V);
std::string ToText(const Value& V, Storage From);
// A date-time as a field of Type keeps it: a time field only the time of day, a date field
// only the day.
double DateTimeForType(double V, TFieldType Type);
// A stored value as a variant of the field type's kind (Null for Null).
Variant ToVariant(const Value& V, TFieldType Type);
// A variant converted for a field of Type (the variant's own conversions; EVariantError
// when it has none). Null and Unassigned give Null.
Value FromVariant(const Variant& V, TFieldType Type);
// The elements of an array variant, or the variant itself.
std::vector<Variant> VariantItems(const Variant& V);
}  // namespace data
