// Column footers: their properties with the grid's defaults, their aggregates in the grid's
// sum list, the sum list itself, and the text a footer cell shows for each kind of value and
// field.
#include <algorithm>
#include <cmath>

#include "grid/DBGridGd.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace grid {
namespace {

bool IsIntegerType(TFieldType Type) {
  switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return true;
    default: return false;
  }
}

// The text of an aggregate Value of Field: the footer's format, else the field's, else the
// field's own way of showing numbers.
std::string AggregateText(Currency Value, TField* Field, const std::string& FooterFormat) {
  const double v = Value.ToDouble();
  const auto* numeric = dynamic_cast<TNumericField*>(Field);
  const std::string fieldFormat = numeric ? numeric->DisplayFormat() : std::string();
  const auto* floatField = dynamic_cast<TFloatField*>(Field);
  const bool currency = Field->DataType() == ftCurrency || (floatField && floatField->Currency());
  const int precision = floatField ? floatField->Precision() : 15;
  const TFieldType type = Field->DataType();
  if (IsIntegerType(type)) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, v);
    if (!fieldFormat.empty()) return FormatFloat(fieldFormat, v);
    return FloatToStrF(v, ffFixed, 15, 0);
  }
  if (type == ftFloat || type == ftCurrency || type == ftBCD || type == ftFMTBcd) {
    const bool bcd = type == ftBCD || type == ftFMTBcd;
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, v);
    if (!fieldFormat.empty()) return bcd ? FormatCurr(fieldFormat, Value) : FormatFloat(fieldFormat, v);
    if (currency) return FloatToStrF(v, ffCurrency, precision, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v, ffGeneral, precision, 0);
  }
  return "0";
}

}  // namespace
}  // namespace grid

// ---- one footer ----

TColumnFooterGd::TColumnFooterGd(TCollection* Collection) : TCollectionItem(nullptr) {
  if (auto* footers = dynamic_cast<TColumnFootersGd*>(Collection)) FColumn = footers->Column();
  Init();
  SetCollection(Collection);
}

TColumnFooterGd::TColumnFooterGd(TColumnGd* Column) : TCollectionItem(nullptr), FColumn(Column) { Init(); }

void TColumnFooterGd::Init() {
  FFont = std::make_unique<TFont>();
  RefreshDefaultFont();
  FFont->OnChange = [this](TObject*) {
    if (FFontRefreshing) return;
    Flag(fvFont);
    Changed(true);
  };
}

TColumnFooterGd::~TColumnFooterGd() {
  FFont->OnChange = nullptr;
  FreeSum();
}

TCustomDBGridGd* TColumnFooterGd::Grid() const { return FColumn ? FColumn->Grid() : nullptr; }

void TColumnFooterGd::Changed(bool AllItems) {
  if (FColumn && FColumn->Footers()) FColumn->ColumnChanged(AllItems);
  else if (TCustomDBGridGd* grid = Grid()) grid->InvalidateFooters();
}

void TColumnFooterGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TColumnFooterGd*>(Source);
  if (!other) return TCollectionItem::Assign(Source);
  if (other->Assigned(fvAlignment)) SetAlignment(other->FAlignment);
  if (other->Assigned(fvColor)) SetColor(other->FColor);
  if (other->Assigned(fvFont)) SetFont(other->FFont.get());
  SetEndEllipsis(other->FEndEllipsis);
  SetValueType(other->FValueType);
  SetFieldName(other->FFieldName);
  SetValue(other->FValue);
  SetWordWrap(other->FWordWrap);
  SetDisplayFormat(other->FDisplayFormat);
  if (other->Assigned(fvToolTips)) SetToolTips(other->FToolTips);
}

TAlignment TColumnFooterGd::Alignment() const {
  if (Assigned(fvAlignment)) return FAlignment;
  TField* field = FColumn ? FColumn->Field() : nullptr;
  return field ? field->Alignment() : taLeftJustify;
}

void TColumnFooterGd::SetAlignment(TAlignment Value) {
  if (Assigned(fvAlignment) && Value == FAlignment) return;
  FAlignment = Value;
  Flag(fvAlignment);
  Changed();
}

TColor TColumnFooterGd::Color() const {
  if (Assigned(fvColor)) return FColor;
  TCustomDBGridGd* grid = Grid();
  return grid ? grid->FooterColor() : clWindow;
}

void TColumnFooterGd::SetColor(TColor Value) {
  if (Assigned(fvColor) && Value == FColor) return;
  FColor = Value;
  Flag(fvColor);
  Changed();
}

TFont* TColumnFooterGd::DefaultFont() const {
  if (TCustomDBGridGd* grid = Grid()) return grid->FooterFont();
  return FColumn ? FColumn->Font() : nullptr;
}

void TColumnFooterGd::RefreshDefaultFont() const {
  if (Assigned(fvFont)) return;
  grid::CopyFontQuietly(*FFont, DefaultFont(), const_cast<TColumnFooterGd*>(this)->FFontRefreshing);
}

TFont* TColumnFooterGd::Font() const {
  RefreshDefaultFont();
  return FFont.get();
}

bool TColumnFooterGd::ToolTips() const { return Assigned(fvToolTips) && FToolTips; }

void TColumnFooterGd::SetToolTips(bool Value) {
  FToolTips = Value;
  Flag(fvToolTips);
}

void TColumnFooterGd::SetValueType(TFooterValueType Value) {
  if (Value == FValueType) return;
  FValueType = Value;
  SyncSum();
  Changed();
}

void TColumnFooterGd::SetFieldName(const std::string& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  SyncSum();
  Changed();
}

void TColumnFooterGd::SetValue(const std::string& Value) {
  if (Value == FValue) return;
  FValue = Value;
  Changed();
}

void TColumnFooterGd::SetDisplayFormat(const std::string& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  Changed();
}

void TColumnFooterGd::SetEndEllipsis(bool Value) {
  if (Value == FEndEllipsis) return;
  FEndEllipsis = Value;
  Changed();
}

void TColumnFooterGd::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  Changed();
}

void TColumnFooterGd::ResetToDefaults() {
  const bool hadFont = Assigned(fvFont);
  FAssigned = 0;
  RefreshDefaultFont();
  Changed(hadFont);
}

// ---- the footer's aggregate ----

TDBSum* TColumnFooterGd::Sum() const {
  TCustomDBGridGd* grid = Grid();
  if (!grid || FSumID < 0) return nullptr;
  return static_cast<TDBSum*>(grid->SumList()->SumCollection()->FindItemID(FSumID));
}

void TColumnFooterGd::FreeSum() {
  TDBSum* sum = Sum();
  FSumID = -1;
  if (sum) delete sum;
}

void TColumnFooterGd::SyncSum() {
  TCustomDBGridGd* grid = Grid();
  if (!grid) return;
  const bool aggregate = FValueType == fvtSum || FValueType == fvtAvg || FValueType == fvtCount;
  if (!aggregate) {
    FreeSum();
    return;
  }
  auto setUp = [this](TDBSum* Sum) {
    if (FValueType == fvtCount) {
      Sum->SetGroupOperation(goCount);
      Sum->SetFieldName("");
    } else {
      Sum->SetGroupOperation(FValueType == fvtSum ? goSum : goAvg);
      Sum->SetFieldName(FFieldName.empty() ? FColumn->FieldName() : FFieldName);
    }
  };
  if (TDBSum* sum = Sum()) {
    setUp(sum);
    return;
  }
  TDBSumCollection* sums = grid->SumList()->SumCollection();
  sums->BeginUpdate();
  struct TEnd {
    TDBSumCollection* Sums;
    ~TEnd() { Sums->EndUpdate(); }
  } end{sums};
  TDBSum* sum = sums->Add();
  FSumID = sum->ID();
  setUp(sum);
}

// ---- the footers of a column ----

TColumnFootersGd::TColumnFootersGd(TColumnGd* Column)
    : TCollection(TCollectionItemClass::Of<TColumnFooterGd>()), FColumn(Column) {}

TColumnFootersGd::~TColumnFootersGd() { Clear(); }

TPersistent* TColumnFootersGd::GetOwner() const { return FColumn; }

void TColumnFootersGd::Update(TCollectionItem*) {
  if (TCustomDBGridGd* grid = FColumn->Grid()) grid->InvalidateFooters();
}

TColumnFooterGd* TColumnGd::FooterForRow(int Row) const {
  if (FFooters && Row >= 0 && Row < FFooters->Count()) return FFooters->Items(Row);
  return FFooter.get();
}

void TColumnGd::SyncFooterSums() {
  if (FFooter) FFooter->SyncSum();
  if (FFooters)
    for (int i = 0; i < FFooters->Count(); ++i) FFooters->Items(i)->SyncSum();
}

// ---- the grid's sum list ----

TDBGridGdSumList::TDBGridGdSumList(TCustomDBGridGd* Grid) : TDBSumListProducer(Grid), FGrid(Grid) {
  SetDesignTimeWork(true);
  SetActive(false);
}

void TDBGridGdSumList::HookDataSetEvents() {
  if (FGrid->HasState(csDesigning)) SetHooked(true);
  else TDBSumListProducer::HookDataSetEvents();
}

void TDBGridGdSumList::UnhookDataSetEvents() {
  if (FGrid->HasState(csDesigning)) SetHooked(false);
  else TDBSumListProducer::UnhookDataSetEvents();
}

bool TDBGridGdSumList::IsSequenced() const { return FGrid->DataLink()->Active() && IsSequencedOrVirtual(); }

int TDBGridGdSumList::RecordCount() const { return FGrid->DataLink()->Active() ? VirtualRecordCount() : 0; }

int TDBGridGdSumList::RecNo() const {
  return FGrid->DataLink()->Active() ? const_cast<TDBGridGdSumList*>(this)->VirtualRecNo() : 0;
}

void TCustomDBGridGd::SetSumList(TDBGridGdSumList* Value) {
  FSumList->SetExternalRecalc(Value->ExternalRecalc());
  FSumList->SetVirtualRecords(Value->VirtualRecords());
  FSumList->SetActive(Value->Active());
}

void TCustomDBGridGd::SyncSumListDataSet() {
  TDataSet* dataSet = FDataLink->DataSet();
  if (dataSet == FSumList->DataSet()) return;
  if (dataSet) dataSet->FreeNotification(this);
  FSumList->SetDataSet(dataSet);
}

// ---- footer texts ----

std::string TCustomDBGridGd::GetFooterValueText(int FooterIndex, TColumnGd* Column) {
  TColumnFooterGd* footer = Column->FooterForRow(FooterIndex);
  TDataSet* dataSet = FDataLink->DataSet();
  TDBSumCollection* sums = FSumList->SumCollection();
  switch (footer->ValueType()) {
    case fvtSum:
    case fvtAvg: {
      const std::string name = footer->FieldName().empty() ? Column->FieldName() : footer->FieldName();
      TField* field = dataSet ? dataSet->FindField(name) : nullptr;
      if (!field) return "0";
      TDBSum* sum = sums->FindSum(footer->ValueType() == fvtSum ? goSum : goAvg, field->FieldName());
      return grid::AggregateText(sum ? sum->SumValue() : Currency{}, field, footer->DisplayFormat());
    }
    case fvtCount: {
      TDBSum* sum = sums->FindSum(goCount, "");
      const int64_t count = sum ? sum->SumValue().Value / 10000 : 0;
      if (!footer->DisplayFormat().empty()) return FormatFloat(footer->DisplayFormat(), static_cast<double>(count));
      return IntToStr(count);
    }
    case fvtFieldValue: {
      if (!dataSet || !dataSet->Active() || footer->FieldName().empty()) return {};
      TField* field = dataSet->FindField(footer->FieldName());
      return field ? grid::FormatFieldText(field, footer->DisplayFormat()) : std::string();
    }
    case fvtStaticText: return footer->Value();
    case fvtNon: break;
  }
  return {};
}
