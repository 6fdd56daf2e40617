// The column model: columns, their titles and footers, the grid-wide column defaults and the
// column collection. A property that was never given a value follows the grid, its
// ColumnDefValues or the bound field, and is not stored.
#include <algorithm>

#include "grid/DBGridGd.h"
#include "platform/controls/Menus.h"
#include "platform/data/DBError.h"
#include "platform/os/Painting.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace grid {

std::string FormatFieldText(TField* Field, const std::string& DisplayFormat) {
  if (DisplayFormat.empty()) return Field->DisplayText();
  if (Field->IsNull()) return {};
  if (dynamic_cast<TNumericField*>(Field)) return FormatFloat(DisplayFormat, Field->AsFloat());
  if (dynamic_cast<TDateTimeField*>(Field)) {
    std::string text;
    DateTimeToString(text, DisplayFormat, Field->AsDateTime());
    return text;
  }
  return {};
}

void CopyFontQuietly(TFont& Own, TFont* Default, bool& Guard) {
  if (!Default) return;
  Guard = true;
  Own.Assign(Default);
  Guard = false;
}

namespace {

// Whether one of the ";"-separated items of Entry equals Text (case-insensitive).
bool KeyListItemMatches(const std::string& Entry, const std::string& Text) {
  size_t start = 0;
  while (true) {
    size_t end = Entry.find(';', start);
    if (SameText(Entry.substr(start, end == std::string::npos ? std::string::npos : end - start), Text)) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

std::string FirstKeyItem(const std::string& Entry) { return Entry.substr(0, Entry.find(';')); }

bool IsNumericType(TFieldType Type) {
  switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return true;
    default: return false;
  }
}

bool IsTextType(TFieldType Type) {
  return Type == ftString || Type == ftMemo || Type == ftFmtMemo || Type == ftWideString;
}

}  // namespace
}  // namespace grid

// ---- grid-wide defaults ----

void TColumnTitleDefValuesGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TColumnTitleDefValuesGd*>(Source);
  if (!other) return TPersistent::Assign(Source);
  if (other->FAlignmentAssigned) SetAlignment(other->FAlignment);
  if (other->FColorAssigned) SetColor(other->FColor);
  FEndEllipsis = other->FEndEllipsis;
  FTitleButton = other->FTitleButton;
  FToolTips = other->FToolTips;
  if (FGrid) FGrid->LayoutChanged();
}

TAlignment TColumnTitleDefValuesGd::Alignment() const { return FAlignmentAssigned ? FAlignment : taLeftJustify; }
void TColumnTitleDefValuesGd::SetAlignment(TAlignment Value) {
  if (FAlignmentAssigned && FAlignment == Value) return;
  FAlignment = Value;
  FAlignmentAssigned = true;
  if (FGrid) FGrid->Invalidate();
}
TColor TColumnTitleDefValuesGd::Color() const {
  if (FColorAssigned) return FColor;
  return FGrid ? FGrid->FixedColor() : clBtnFace;
}
void TColumnTitleDefValuesGd::SetColor(TColor Value) {
  if (FColorAssigned && FColor == Value) return;
  FColor = Value;
  FColorAssigned = true;
  if (FGrid) FGrid->Invalidate();
}
void TColumnTitleDefValuesGd::Store(bool& Field, bool Value) {
  if (Field == Value) return;
  Field = Value;
  if (FGrid) FGrid->Invalidate();
}

void TColumnFooterDefValuesGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TColumnFooterDefValuesGd*>(Source);
  if (!other) return TPersistent::Assign(Source);
  FToolTips = other->FToolTips;
}

TDBGridGdColumnDefValuesGd::TDBGridGdColumnDefValuesGd(TCustomDBGridGd* Grid)
    : FGrid(Grid), FTitle(std::make_unique<TColumnTitleDefValuesGd>(Grid)) {}
TDBGridGdColumnDefValuesGd::~TDBGridGdColumnDefValuesGd() = default;

void TDBGridGdColumnDefValuesGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TDBGridGdColumnDefValuesGd*>(Source);
  if (!other) return TPersistent::Assign(Source);
  FTitle->Assign(other->FTitle.get());
  FAlwaysShowEditButton = other->FAlwaysShowEditButton;
  FEndEllipsis = other->FEndEllipsis;
  FAutoDropDown = other->FAutoDropDown;
  FDblClickNextVal = other->FDblClickNextVal;
  FToolTips = other->FToolTips;
  FDropDownSizing = other->FDropDownSizing;
  FDropDownShowTitles = other->FDropDownShowTitles;
  if (FGrid) FGrid->Invalidate();
}

void TDBGridGdColumnDefValuesGd::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  if (FGrid) FGrid->Invalidate();
}
void TDBGridGdColumnDefValuesGd::Store(bool& Field, bool Value) {
  if (Field == Value) return;
  Field = Value;
  if (FGrid) FGrid->Invalidate();
}

// ---- titles ----

TColumnTitleGd::TColumnTitleGd(TColumnGd* Column) : FColumn(Column), FFont(std::make_unique<TFont>()) {
  RefreshDefaultFont();
  FFont->OnChange = [this](TObject*) {
    if (FRefreshing) return;
    Flag(cvTitleFont);
    FColumn->ColumnChanged(true);
  };
}
TColumnTitleGd::~TColumnTitleGd() { FFont->OnChange = nullptr; }

bool TColumnTitleGd::Assigned(TColumnGdValue V) const { return FColumn->Assigned(V); }
void TColumnTitleGd::Flag(TColumnGdValue V) { FColumn->Flag(V); }

void TColumnTitleGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TColumnTitleGd*>(Source);
  if (!other) return TPersistent::Assign(Source);
  if (other->Assigned(cvTitleCaption)) SetCaption(other->FCaption);
  if (other->Assigned(cvTitleAlignment)) SetAlignment(other->FAlignment);
  if (other->Assigned(cvTitleColor)) SetColor(other->FColor);
  if (other->Assigned(cvTitleFont)) SetFont(other->FFont.get());
  if (other->Assigned(cvTitleEndEllipsis)) SetEndEllipsis(other->FEndEllipsis);
  if (other->Assigned(cvTitleButton)) SetTitleButton(other->FTitleButton);
  if (other->Assigned(cvTitleOrientation)) SetOrientation(other->FOrientation);
  if (other->Assigned(cvTitleToolTips)) SetToolTips(other->FToolTips);
  SetHint(other->FHint);
  SetImageIndex(other->FImageIndex);
  SetSortIndex(other->FSortIndex);
  SetSortMarker(other->FSortMarker);
}

std::string TColumnTitleGd::Caption() const {
  if (Assigned(cvTitleCaption)) return FCaption;
  TField* field = FColumn->Field();
  return field ? field->DisplayName() : FColumn->FieldName();
}
void TColumnTitleGd::SetCaption(const std::string& Value) {
  if (TField* field = FColumn->FieldOfDefaultColumn()) {
    field->SetDisplayLabel(Value);
    return;
  }
  if (FColumn->StoreFlagged(FCaption, Value, cvTitleCaption)) FColumn->ColumnChanged();
}
bool TColumnTitleGd::IsCaptionStored() const { return Assigned(cvTitleCaption); }

template <typename T>
T TColumnTitleGd::Defaulted(TColumnGdValue V, const T& Own, T (TColumnTitleDefValuesGd::*Default)() const,
                            T Fallback) const {
  if (Assigned(V)) return Own;
  TCustomDBGridGd* grid = FColumn->Grid();
  return grid ? (grid->ColumnDefValues()->Title()->*Default)() : Fallback;
}
template <typename T>
bool TColumnTitleGd::DefaultedStored(TColumnGdValue V, const T& Own,
                                     T (TColumnTitleDefValuesGd::*Default)() const) const {
  if (!Assigned(V)) return false;
  TCustomDBGridGd* grid = FColumn->Grid();
  return !grid || Own != (grid->ColumnDefValues()->Title()->*Default)();
}
using TTitleDefs = TColumnTitleDefValuesGd;

TAlignment TColumnTitleGd::Alignment() const {
  return Defaulted(cvTitleAlignment, FAlignment, &TTitleDefs::Alignment, taLeftJustify);
}
void TColumnTitleGd::SetAlignment(TAlignment Value) {
  if (FColumn->StoreFlagged(FAlignment, Value, cvTitleAlignment)) FColumn->ColumnChanged();
}
bool TColumnTitleGd::IsAlignmentStored() const {
  return DefaultedStored(cvTitleAlignment, FAlignment, &TTitleDefs::Alignment);
}

TColor TColumnTitleGd::Color() const { return Defaulted(cvTitleColor, FColor, &TTitleDefs::Color, clBtnFace); }
void TColumnTitleGd::SetColor(TColor Value) {
  if (FColumn->StoreFlagged(FColor, Value, cvTitleColor)) FColumn->ColumnChanged();
}
bool TColumnTitleGd::IsColorStored() const { return DefaultedStored(cvTitleColor, FColor, &TTitleDefs::Color); }

TFont* TColumnTitleGd::DefaultFont() const {
  TCustomDBGridGd* grid = FColumn->Grid();
  return grid ? grid->TitleFont() : nullptr;
}

void TColumnTitleGd::RefreshDefaultFont() const {
  if (Assigned(cvTitleFont)) return;
  grid::CopyFontQuietly(*FFont, DefaultFont(), const_cast<TColumnTitleGd*>(this)->FRefreshing);
}

TFont* TColumnTitleGd::Font() const {
  RefreshDefaultFont();
  return FFont.get();
}
bool TColumnTitleGd::IsFontStored() const { return Assigned(cvTitleFont); }

bool TColumnTitleGd::EndEllipsis() const {
  return Defaulted(cvTitleEndEllipsis, FEndEllipsis, &TTitleDefs::EndEllipsis, false);
}
void TColumnTitleGd::SetEndEllipsis(bool Value) {
  if (FColumn->StoreFlagged(FEndEllipsis, Value, cvTitleEndEllipsis)) FColumn->ColumnChanged();
}
bool TColumnTitleGd::TitleButton() const {
  return Defaulted(cvTitleButton, FTitleButton, &TTitleDefs::TitleButton, false);
}
void TColumnTitleGd::SetTitleButton(bool Value) {
  if (FColumn->StoreFlagged(FTitleButton, Value, cvTitleButton)) FColumn->ColumnChanged();
}

void TColumnTitleGd::ResetToDefaults() {
  const bool hadFont = Assigned(cvTitleFont);
  for (int v = cvTitleColor; v <= cvTitleOrientation; ++v) FColumn->Unflag(static_cast<TColumnGdValue>(v));
  FCaption.clear();
  RefreshDefaultFont();
  FColumn->ColumnChanged(hadFont);
}

// ---- columns ----

TColumnGd::TColumnGd(TCollection* Collection) : TCollectionItem(nullptr), FFont(std::make_unique<TFont>()) {
  // The grid's layout stays put while the column is made and joins the collection.
  TCustomDBGridGd* grid = nullptr;
  if (auto* columns = dynamic_cast<TDBGridColumnsGd*>(Collection)) grid = columns->Grid();
  if (grid) grid->BeginLayout();
  try {
    SetCollection(Collection);
    RefreshDefaultFont();
    FFont->OnChange = [this](TObject*) { FontChanged(); };
    FTitle = std::make_unique<TColumnTitleGd>(this);
    FFooter = std::make_unique<TColumnFooterGd>(this);
    FFooters = std::make_unique<TColumnFootersGd>(this);
    FInitialWidth = Width();
  } catch (...) {
    if (grid) grid->EndLayoutQuiet();
    throw;
  }
  if (grid) grid->EndLayoutQuiet();
}

TColumnGd::~TColumnGd() {
  FFont->OnChange = nullptr;
  // The footers give their aggregates back to the grid's sum list while the column is whole.
  FFooters.reset();
  FFooter.reset();
  if (TCustomDBGridGd* grid = Grid()) {
    std::erase(grid->FVisibleColumns, this);
    std::erase(grid->FSortMarkedColumns, this);
  }
}

TCustomDBGridGd* TColumnGd::Grid() const {
  auto* columns = dynamic_cast<TDBGridColumnsGd*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

TDataSet* TColumnGd::GridDataSet() const {
  TCustomDBGridGd* grid = Grid();
  return grid ? grid->DataLink()->DataSet() : nullptr;
}

bool TColumnGd::GridLoading() const {
  TCustomDBGridGd* grid = Grid();
  return grid && grid->HasState(csLoading);
}

void TColumnGd::ColumnChanged(bool AllItems) { Changed(AllItems); }

std::string TColumnGd::GetDisplayName() const {
  return FFieldName.empty() ? TCollectionItem::GetDisplayName() : FFieldName;
}

void TColumnGd::SetIndex(int Value) {
  if (TField* field = FieldOfDefaultColumn()) {
    // A default column follows its field: the field moves to where the target column's field is.
    if (TField* target = Grid()->GetFields(Value)) field->SetIndex(target->Index());
  }
  TCollectionItem::SetIndex(Value);
}

void TColumnGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TColumnGd*>(Source);
  if (!other) return TCollectionItem::Assign(Source);
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    ResetToDefaults();
    SetFieldName(other->FieldName());
    if (other->Assigned(cvColor)) SetColor(other->FColor);
    if (other->Assigned(cvWidth)) SetWidth(other->FWidth);
    if (other->Assigned(cvFont)) SetFont(other->FFont.get());
    if (other->Assigned(cvAlignment)) SetAlignment(other->FAlignment);
    if (other->Assigned(cvReadOnly)) SetReadOnly(other->FReadOnly);
    if (other->Assigned(cvWordWrap)) SetWordWrap(other->FWordWrap);
    if (other->Assigned(cvCheckboxes)) SetCheckboxes(other->FCheckboxes);
    FTitle->Assign(other->FTitle.get());
    if (other->FPickList) PickList()->Assign(other->FPickList.get());
    if (other->FKeyList) KeyList()->Assign(other->FKeyList.get());
    SetPopupMenu(other->FPopupMenu);
    FInitialWidth = other->FInitialWidth;
    FAutoFitColWidth = other->FAutoFitColWidth;
    if (other->Assigned(cvEndEllipsis)) SetEndEllipsis(other->FEndEllipsis);
    if (other->Assigned(cvAlwaysShowEditButton)) SetAlwaysShowEditButton(other->FAlwaysShowEditButton);
    FFooter->Assign(other->FFooter.get());
    FFooters->Assign(other->FFooters.get());
    FIncrement = other->FIncrement;
    if (other->Assigned(cvToolTips)) SetToolTips(other->FToolTips);
    FTag = other->FTag;
    FVisible = other->FVisible;
    SetImageList(other->FImageList);
    FNotInKeyListIndex = other->FNotInKeyListIndex;
    FMinWidth = other->FMinWidth;
    FMaxWidth = other->FMaxWidth;
    if (other->Assigned(cvDblClickNextVal)) SetDblClickNextVal(other->FDblClickNextVal);
    OnGetCellParams = other->OnGetCellParams;
    OnUpdateData = other->OnUpdateData;
    FDisplayFormat = other->FDisplayFormat;
    FEditMask = other->FEditMask;
    FShowImageAndText = other->FShowImageAndText;
    FHideDuplicates = other->FHideDuplicates;
    if (other->Assigned(cvLayout)) SetLayout(other->FLayout);
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

// -- the field --

TField* TColumnGd::Field() const {
  if (!FField && !FFieldName.empty()) {
    TDataSet* dataSet = GridDataSet();
    if (dataSet && (dataSet->Active() || !dataSet->DefaultFields())) {
      if (TField* found = dataSet->FindField(FFieldName)) {
        FField = found;
        const_cast<TColumnGd*>(this)->FFieldName = found->FieldName();
      }
    }
  }
  return FField;
}

void TColumnGd::SetFieldName(const std::string& Value) {
  TField* found = nullptr;
  TDataSet* dataSet = GridDataSet();
  if (dataSet && !GridLoading() && !Value.empty()) found = dataSet->FindField(Value);
  FFieldName = Value;
  FField = nullptr;
  if (found) BindField(found);
  FInitialWidth = Width();
  SyncFooterSums();
  ColumnChanged();
}

void TColumnGd::BindField(TField* F) {
  if (FField == F && F) return;
  FField = F;
  if (F) FFieldName = F->FieldName();
  if (!FStored && !F) {
    FFieldName.clear();
    ResetToDefaults();
    FInitialWidth = Width();
  }
  ColumnChanged();
}

// -- width --

int TColumnGd::DefaultWidth() const {
  TCustomDBGridGd* grid = Grid();
  if (!grid) return 64;
  TField* field = Field();
  if (!field) return grid->DefaultColWidth();
  TCanvas* canvas = grid->Canvas();
  canvas->SetFont(Font());
  TEXTMETRIC tm{};
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  GetTextMetrics(canvas->Handle(), &tm);
  const int zero = canvas->TextWidth("0");
  return (zero - tm.tmOverhang) * field->DisplayWidth() + tm.tmOverhang + 4;
}

int TColumnGd::Width() const { return Assigned(cvWidth) ? FWidth : DefaultWidth(); }

bool TColumnGd::IsWidthStored() const { return Assigned(cvWidth); }

void TColumnGd::SetWidth(int Value) {
  TCustomDBGridGd* grid = Grid();
  bool keep = true;
  if (grid && IsDefaultColumn()) {
    TField* field = Field();
    if (grid->HandleAllocated() && field) {
      TCanvas* canvas = grid->Canvas();
      canvas->SetFont(Font());
      TEXTMETRIC tm{};
      canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
      GetTextMetrics(canvas->Handle(), &tm);
      const int zero = canvas->TextWidth("0");
      // A font without a width for "0" gives no display width to compute.
      if (zero > 0) field->SetDisplayWidth((Value + tm.tmAveCharWidth / 2 - tm.tmOverhang - 3) / zero);
    }
    keep = Assigned(cvWidth) || !grid->FLayoutFromDataSet;
  }
  if (keep && (Assigned(cvWidth) || Value != DefaultWidth()) && Value != -1) {
    FWidth = Value;
    Flag(cvWidth);
    if (FMaxWidth > 0 && FWidth > FMaxWidth) FWidth = FMaxWidth;
    if (FWidth < FMinWidth) FWidth = FMinWidth;
  }
  ColumnChanged();
}

void TColumnGd::SetMinWidth(int Value) {
  FMinWidth = Value;
  if (Value > 0 && Width() < Value) SetWidth(Value);
}

void TColumnGd::SetMaxWidth(int Value) {
  FMaxWidth = Value;
  if (Value > 0 && Width() > Value) SetWidth(Value);
}

int TColumnGd::ClampWidth(int W) const {
  if (FMinWidth > 0 && W < FMinWidth) return FMinWidth;
  if (FMaxWidth > 0 && W > FMaxWidth) return FMaxWidth;
  return W;
}

void TColumnGd::SetAutoFitColWidth(bool Value) {
  FAutoFitColWidth = Value;
  TCustomDBGridGd* grid = Grid();
  if (grid && grid->AutoFitColWidths() && !grid->HasState(csLoading) && !grid->HasState(csDesigning))
    SetWidth(FInitialWidth);
  ColumnChanged();
}

// -- properties with defaults --

TAlignment TColumnGd::Alignment() const {
  if (Assigned(cvAlignment)) return FAlignment;
  TField* field = Field();
  return field ? field->Alignment() : taLeftJustify;
}
TField* TColumnGd::FieldOfDefaultColumn() const {
  TCustomDBGridGd* grid = Grid();
  return IsDefaultColumn() && grid && grid->DataLink()->Active() ? Field() : nullptr;
}

void TColumnGd::SetAlignment(TAlignment Value) {
  if (TField* field = FieldOfDefaultColumn()) {
    field->SetAlignment(Value);
    return;
  }
  if (StoreFlagged(FAlignment, Value, cvAlignment)) ColumnChanged();
}
bool TColumnGd::IsAlignmentStored() const {
  if (!Assigned(cvAlignment)) return false;
  TField* field = Field();
  return !field || FAlignment != field->Alignment();
}

TColor TColumnGd::Color() const {
  if (Assigned(cvColor)) return FColor;
  TCustomDBGridGd* grid = Grid();
  return grid ? grid->Color() : clWindow;
}
void TColumnGd::SetColor(TColor Value) {
  if (StoreFlagged(FColor, Value, cvColor)) ColumnChanged();
}
bool TColumnGd::IsColorStored() const {
  if (!Assigned(cvColor)) return false;
  TCustomDBGridGd* grid = Grid();
  return !grid || FColor != grid->Color();
}

TFont* TColumnGd::DefaultFont() const {
  TCustomDBGridGd* grid = Grid();
  return grid ? grid->Font() : nullptr;
}

void TColumnGd::RefreshDefaultFont() const {
  if (Assigned(cvFont)) return;
  grid::CopyFontQuietly(*FFont, DefaultFont(), const_cast<TColumnGd*>(this)->FFontRefreshing);
}

TFont* TColumnGd::Font() const {
  RefreshDefaultFont();
  return FFont.get();
}

void TColumnGd::FontChanged() {
  if (FFontRefreshing) return;
  Flag(cvFont);
  if (FTitle) FTitle->RefreshDefaultFont();
  ColumnChanged();
}

bool TColumnGd::ReadOnly() const {
  if (Assigned(cvReadOnly)) return FReadOnly;
  TCustomDBGridGd* grid = Grid();
  TField* field = Field();
  return (grid && grid->ReadOnly()) || (field && field->ReadOnly());
}
void TColumnGd::SetReadOnly(bool Value) {
  if (TField* field = FieldOfDefaultColumn()) {
    field->SetReadOnly(Value);
    return;
  }
  if (StoreFlagged(FReadOnly, Value, cvReadOnly)) ColumnChanged();
}
bool TColumnGd::IsReadOnlyStored() const {
  if (!Assigned(cvReadOnly)) return false;
  TCustomDBGridGd* grid = Grid();
  TField* field = Field();
  return FReadOnly != ((grid && grid->ReadOnly()) || (field && field->ReadOnly()));
}

bool TColumnGd::WordWrap() const {
  if (Assigned(cvWordWrap)) return FWordWrap;
  TField* field = Field();
  return field && grid::IsTextType(field->DataType());
}
void TColumnGd::SetWordWrap(bool Value) {
  if (Assigned(cvWordWrap) || Value != WordWrap() || GridLoading()) {
    FWordWrap = Value;
    Flag(cvWordWrap);
  }
  ColumnChanged();
}
bool TColumnGd::IsWordWrapStored() const {
  if (!Assigned(cvWordWrap)) return false;
  TField* field = Field();
  return FWordWrap != (field && grid::IsTextType(field->DataType()));
}

bool TColumnGd::Checkboxes() const {
  if (Assigned(cvCheckboxes)) return FCheckboxes;
  TField* field = Field();
  return field && field->DataType() == ftBoolean;
}
void TColumnGd::SetCheckboxes(bool Value) {
  if (StoreFlagged(FCheckboxes, Value, cvCheckboxes)) ColumnChanged();
}

// The Boolean properties that follow ColumnDefValues: the own value once assigned.
bool TColumnGd::DefaultedBool(TColumnGdValue V, bool Own, TDefValue Default) const {
  if (Assigned(V)) return Own;
  TCustomDBGridGd* grid = Grid();
  return grid && (grid->ColumnDefValues()->*Default)();
}
bool TColumnGd::DefaultedBoolStored(TColumnGdValue V, bool Own, TDefValue Default) const {
  if (!Assigned(V)) return false;
  TCustomDBGridGd* grid = Grid();
  return Own != (grid && (grid->ColumnDefValues()->*Default)());
}
using TDefs = TDBGridGdColumnDefValuesGd;
bool TColumnGd::EndEllipsis() const { return DefaultedBool(cvEndEllipsis, FEndEllipsis, &TDefs::EndEllipsis); }
bool TColumnGd::IsEndEllipsisStored() const {
  return DefaultedBoolStored(cvEndEllipsis, FEndEllipsis, &TDefs::EndEllipsis);
}
bool TColumnGd::AlwaysShowEditButton() const {
  return DefaultedBool(cvAlwaysShowEditButton, FAlwaysShowEditButton, &TDefs::AlwaysShowEditButton);
}
bool TColumnGd::IsAlwaysShowEditButtonStored() const {
  return DefaultedBoolStored(cvAlwaysShowEditButton, FAlwaysShowEditButton, &TDefs::AlwaysShowEditButton);
}
bool TColumnGd::HighlightRequired() const {
  return DefaultedBool(cvHighlightRequired, FHighlightRequired, &TDefs::HighlightRequired);
}
bool TColumnGd::IsHighlightRequiredStored() const {
  return DefaultedBoolStored(cvHighlightRequired, FHighlightRequired, &TDefs::HighlightRequired);
}
bool TColumnGd::ToolTips() const { return DefaultedBool(cvToolTips, FToolTips, &TDefs::ToolTips); }
bool TColumnGd::IsToolTipsStored() const { return DefaultedBoolStored(cvToolTips, FToolTips, &TDefs::ToolTips); }
bool TColumnGd::DblClickNextVal() const {
  return DefaultedBool(cvDblClickNextVal, FDblClickNextVal, &TDefs::DblClickNextVal);
}
bool TColumnGd::IsDblClickNextValStored() const {
  return DefaultedBoolStored(cvDblClickNextVal, FDblClickNextVal, &TDefs::DblClickNextVal);
}

void TColumnGd::SetEndEllipsis(bool Value) {
  if (StoreFlagged(FEndEllipsis, Value, cvEndEllipsis)) ColumnChanged();
}
void TColumnGd::SetAlwaysShowEditButton(bool Value) {
  if (StoreFlagged(FAlwaysShowEditButton, Value, cvAlwaysShowEditButton)) ColumnChanged();
}
void TColumnGd::SetHighlightRequired(bool Value) {
  if (StoreFlagged(FHighlightRequired, Value, cvHighlightRequired)) ColumnChanged();
}
void TColumnGd::SetToolTips(bool Value) { StoreFlagged(FToolTips, Value, cvToolTips); }
void TColumnGd::SetDblClickNextVal(bool Value) { StoreFlagged(FDblClickNextVal, Value, cvDblClickNextVal); }

TTextLayout TColumnGd::Layout() const {
  if (Assigned(cvLayout)) return FLayout;
  TCustomDBGridGd* grid = Grid();
  return grid ? grid->ColumnDefValues()->Layout() : tlTop;
}
void TColumnGd::SetLayout(TTextLayout Value) {
  if (StoreFlagged(FLayout, Value, cvLayout)) ColumnChanged();
}
bool TColumnGd::IsLayoutStored() const {
  if (!Assigned(cvLayout)) return false;
  TCustomDBGridGd* grid = Grid();
  return FLayout != (grid ? grid->ColumnDefValues()->Layout() : tlTop);
}

// -- plain properties --

void TColumnGd::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  ColumnChanged(true);
}
void TColumnGd::SetDisplayFormat(const std::string& Value) {
  if (FDisplayFormat == Value) return;
  FDisplayFormat = Value;
  ColumnChanged();
}
void TColumnGd::SetEditMask(const std::string& Value) {
  if (FEditMask == Value) return;
  FEditMask = Value;
  ColumnChanged();
}
void TColumnGd::SetHideDuplicates(bool Value) {
  if (FHideDuplicates == Value) return;
  FHideDuplicates = Value;
  ColumnChanged();
}
void TColumnGd::SetShowImageAndText(bool Value) {
  if (FShowImageAndText == Value) return;
  FShowImageAndText = Value;
  ColumnChanged();
}
void TColumnGd::SetImageList(TCustomImageList* Value) {
  if (FImageList == Value) return;
  FImageList = Value;
  TCustomDBGridGd* grid = Grid();
  if (Value && grid) Value->FreeNotification(grid);
  if (grid) grid->Invalidate();
}
void TColumnGd::SetPopupMenu(TPopupMenu* Value) {
  FPopupMenu = Value;
  if (TCustomDBGridGd* grid = Grid(); grid && Value) Value->FreeNotification(grid);
}

TStrings* TColumnGd::KeyList() const {
  if (!FKeyList) FKeyList = std::make_unique<TStringList>();
  return FKeyList.get();
}
void TColumnGd::SetKeyList(TStrings* Value) {
  if (!Value) FKeyList.reset();
  else KeyList()->Assign(Value);
  if (TCustomDBGridGd* grid = Grid()) grid->Invalidate();
}
TStrings* TColumnGd::PickList() const {
  if (!FPickList) FPickList = std::make_unique<TStringList>();
  return FPickList.get();
}
void TColumnGd::SetPickList(TStrings* Value) {
  if (!Value) FPickList.reset();
  else PickList()->Assign(Value);
}
void TColumnGd::SetNotInKeyListIndex(int Value) {
  FNotInKeyListIndex = Value;
  if (TCustomDBGridGd* grid = Grid()) grid->Invalidate();
}

void TColumnGd::ResetToDefaults() {
  const bool hadFont = Assigned(cvFont);
  if (FTitle) FTitle->ResetToDefaults();
  FAssigned.reset();
  RefreshDefaultFont();
  FPickList.reset();
  FKeyList.reset();
  ColumnChanged(hadFont);
}

// ---- what a cell shows ----

TColumnCellKind TColumnGd::CellKind() const {
  TField* field = Field();
  const bool keys = FKeyList && FKeyList->Count() > 0;
  const bool picks = FPickList && FPickList->Count() > 0;
  if (Checkboxes()) return ckCheckbox;
  if (field && field->FieldKind() == fkLookup) return ckLookupField;
  if (picks && !keys) return ckPickList;
  if (FImageList && !FShowImageAndText) return ckImage;
  if (keys && picks) return ckKeyPickList;
  return ckPlain;
}

std::string TColumnGd::CellDisplayText() const {
  TField* field = Field();
  if (!field || CellKind() == ckImage) return {};
  if (FKeyList && FKeyList->Count() > 0) {
    const int picks = FPickList ? FPickList->Count() : 0;
    const int i = FKeyList->IndexOf(field->EditText());
    if (i >= 0 && i < picks) return FPickList->Strings(i);
    if (FNotInKeyListIndex >= 0 && FNotInKeyListIndex < picks) return FPickList->Strings(FNotInKeyListIndex);
    return {};
  }
  TCustomDBGridGd* grid = Grid();
  if (grid && grid->DrawMemoText() && field->DataType() == ftMemo) return field->AsString();
  return grid::FormatFieldText(field, FDisplayFormat);
}

int TColumnGd::CellImageIndex() const {
  TField* field = Field();
  if (!field) return -1;
  int result = -1;
  if (FKeyList && FKeyList->Count() > 0) result = FKeyList->IndexOf(field->EditText());
  else if (FPickList && FPickList->Count() > 0) result = FPickList->IndexOf(field->EditText());
  else if (grid::IsNumericType(field->DataType())) result = field->IsNull() ? -1 : field->AsInteger();
  return result == -1 ? FNotInKeyListIndex : result;
}

TCheckBoxState TColumnGd::ReadCheckState() const {
  TField* field = Field();
  if (!field) return cbUnchecked;
  if (field->IsNull()) return cbGrayed;
  if (field->DataType() == ftBoolean) return field->AsBoolean() ? cbChecked : cbUnchecked;
  const std::string text = field->EditText();
  const int keys = FKeyList ? FKeyList->Count() : 0;
  if (keys > 0 && grid::KeyListItemMatches(FKeyList->Strings(0), text)) return cbChecked;
  if (keys < 2) return cbGrayed;
  if (grid::KeyListItemMatches(FKeyList->Strings(1), text)) return cbUnchecked;
  return cbGrayed;
}

void TColumnGd::WriteCheckState(TCheckBoxState Value) {
  TField* field = Field();
  if (!field) return;
  if (Value == cbGrayed) return WriteCellValue({}, Variant::Null(), false);
  if (field->DataType() == ftBoolean) return WriteCellValue({}, Variant(Value == cbChecked), false);
  const int entry = Value == cbChecked ? 0 : 1;
  const std::string text =
      FKeyList && entry < FKeyList->Count() ? grid::FirstKeyItem(FKeyList->Strings(entry)) : std::string();
  WriteCellValue(text, Variant(text), true);
}

void TColumnGd::WriteCellValue(const std::string& Text, const Variant& Value, bool UseText) {
  TCustomDBGridGd* grid = Grid();
  if (!grid) return;
  std::string text = Text;
  Variant value = Value;
  bool useText = UseText, handled = false;
  if (OnUpdateData) OnUpdateData(this, text, value, useText, handled);
  TField* field = Field();
  if (handled || !field) return;
  if (useText) {
    if (field->DataType() == ftMemo && grid->DrawMemoText()) field->SetAsString(text);
    else field->SetEditText(text);
  } else if (field->FieldKind() == fkLookup && !field->KeyFields().empty()) {
    field->DataSet()->SetFieldValues(field->KeyFields(), value);
  } else {
    field->SetAsVariant(value);
  }
}

bool TColumnGd::CanModifyCell(bool TryEdit) {
  TCustomDBGridGd* grid = Grid();
  bool result = !grid || (!grid->ReadOnly() && grid->DataLink()->Active() && !grid->DataLink()->ReadOnly());
  result = result && !ReadOnly();
  TField* field = Field();
  if (!result || !field) return false;
  TField* tested = field;
  if (field->FieldKind() == fkLookup) {
    if (field->KeyFields().empty()) return false;
    std::vector<TField*> keys = field->DataSet()->GetFieldList(field->KeyFields());
    if (keys.empty()) return false;
    for (TField* key : keys)
      if (!key->CanModify()) return false;
    tested = keys.front();
  }
  if (!tested->CanModify()) return false;
  if (tested->IsBlob() && !(tested->DataType() == ftMemo && grid && grid->DrawMemoText())) return false;
  if (TryEdit && grid) return grid->DataLink()->Edit();
  return true;
}

void TColumnGd::StepCellValue(int Delta) {
  if (!CanModifyCell(true)) return;
  TField* field = Field();
  const bool forward = Delta == 1;
  const std::string text = field->EditText();
  switch (CellKind()) {
    case ckCheckbox: WriteCheckState(ReadCheckState() == cbChecked ? cbUnchecked : cbChecked); break;
    case ckKeyPickList:
    case ckImage: {
      // An image cell without keys has nothing to step to.
      const int count = FKeyList ? FKeyList->Count() : 0;
      if (count == 0) return;
      int i = FKeyList->IndexOf(text);
      if (forward) i = (i < 0 || i == count - 1) ? 0 : i + 1;
      else i = (i <= 0) ? count - 1 : i - 1;
      WriteCellValue(FKeyList->Strings(i), Variant(FKeyList->Strings(i)), false);
      break;
    }
    case ckPickList: {
      const int count = FPickList->Count();
      int i = FPickList->IndexOf(text);
      if (forward && (i < 0 || i == count - 1)) field->SetEditText(FPickList->Strings(0));
      else if (!forward && i <= 0) field->SetEditText(FPickList->Strings(count - 1));
      else {
        const std::string next = FPickList->Strings(forward ? i + 1 : i - 1);
        WriteCellValue(next, Variant(next), true);
      }
      break;
    }
    case ckPlain:
      if (grid::IsNumericType(field->DataType())) {
        const double base = field->IsNull() ? -Delta : field->AsFloat();
        try {
          WriteCellValue({}, Variant(base + Delta), false);
        } catch (const EDatabaseError&) {
        }
      }
      break;
    case ckLookupField: break;
  }
}

void TColumnGd::FillCellParams(TColCellParamsGd& Params) const {
  Params.Row = -1;
  Params.Col = -1;
  Params.State = {};
  Params.Font = Font();
  Params.Background = Color();
  Params.Alignment = Alignment();
  Params.ImageIndex = CellImageIndex();
  Params.Text = CellDisplayText();
  Params.CheckboxState = ReadCheckState();
  Params.ReadOnly = ReadOnly();
}

void TColumnGd::GetColCellParams(bool EditMode, TColCellParamsGd& Params) {
  if (OnGetCellParams) OnGetCellParams(this, EditMode, &Params);
}

// ---- the collection ----

TDBGridColumnsGd::TDBGridColumnsGd(TCustomDBGridGd* Grid)
    : TCollection(TCollectionItemClass::Of<TDBGridColumnGd>()), FGrid(Grid) {}

TPersistent* TDBGridColumnsGd::GetOwner() const { return FGrid; }

TDBGridColumnGd* TDBGridColumnsGd::AddDefaultColumn(TField* Field) {
  TDBGridColumnGd* column = Add();
  column->FStored = false;
  column->BindField(Field);
  column->FInitialWidth = column->Width();
  return column;
}

TColumnsStateGd TDBGridColumnsGd::State() const {
  return Count() > 0 && Items(0)->Stored() ? cstCustomColumns : cstDefaultColumns;
}

void TDBGridColumnsGd::Update(TCollectionItem* Item) {
  if (!FGrid || FGrid->HasState(csLoading) || FGrid->HasState(csDestroying)) return;
  auto* column = dynamic_cast<TColumnGd*>(Item);
  if (column) {
    const int gridCol = column->Index() + FGrid->IndicatorOffset();
    if (gridCol < FGrid->ColCount()) {
      const int gridWidth = FGrid->ColWidths(gridCol);
      if (!FGrid->AutoFitColWidths() || FGrid->HasState(csDesigning)) {
        if (gridWidth != column->Width()) {
          const int width = column->Visible() ? column->Width() : (FGrid->Options().Contains(dgColLines) ? -1 : 0);
          FGrid->SetColWidths(gridCol, width);
        }
      } else if (gridWidth > 0) {
        const int oldInitial = column->FInitialWidth;
        column->FInitialWidth = MulDiv(oldInitial, column->Width(), gridWidth);
        if (gridCol < FGrid->ColCount() - 1 && column->Index() + 1 < Count()) {
          TColumnGd* next = Items(column->Index() + 1);
          next->FInitialWidth = std::max(0, next->FInitialWidth + oldInitial - column->FInitialWidth);
        }
      }
    }
  }
  FGrid->LayoutChanged();
  // A hidden current column gives way to the first visible one.
  TColumnGd* current = FGrid->SelectedField();
  if (current && !current->Visible() && !FGrid->VisibleColumns().empty()) {
    const int col = FGrid->VisibleColumns().front()->Index() + FGrid->IndicatorOffset();
    if (col < FGrid->ColCount() && col >= FGrid->FixedCols()) FGrid->MoveColRow(col, FGrid->Row(), true, false);
  }
}
