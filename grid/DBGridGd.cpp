// The grid core: construction, the option sets, the properties that relayout, the data
// source, notifications, the window, and the mouse and keyboard: a click or an arrow key
// moves the dataset, Ctrl and Shift clicks change the row selection.
#include "grid/DBGridGd.h"

#include "grid/base/GdPlatform.h"
#include "platform/graphics/Bitmap.h"

#include <algorithm>

#include "platform/controls/Menus.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TDBGridOption) {
  static const classes::TEnumInfo info{
      "TDBGridOption",
      {"dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator", "dgColumnResize", "dgColLines", "dgRowLines",
       "dgTabs", "dgRowSelect", "dgAlwaysShowSelection", "dgConfirmDelete", "dgCancelOnExit", "dgMultiSelect"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TDBGridGdOption) {
  static const classes::TEnumInfo info{
      "TDBGridGdOption",
      {"dghFixed3D", "dghFrozen3D", "dghFooter3D", "dghData3D", "dghResizeWholeRightPart", "dghHighlightFocus",
       "dghClearSelection", "dghFitRowHeightToText", "dghAutoSortMarking", "dghMultiSortMarking", "dghEnterAsTab",
       "dghTraceColSizing", "dghIncSearch", "dghPreferIncSearch", "dghRowHighlight", "dghDblClickOptimizeColWidth",
       "dghDialogFind", "dghRecordMoving"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFooterValueType) {
  static const classes::TEnumInfo info{"TFooterValueType",
                                       {"fvtNon", "fvtSum", "fvtAvg", "fvtCount", "fvtFieldValue", "fvtStaticText"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TScrollBarVisibleModeGd) {
  static const classes::TEnumInfo info{"TScrollBarVisibleModeGd", {"sbAlwaysShowGd", "sbNeverShowGd", "sbAutoShowGd"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TDBGridGdSelectionType) {
  static const classes::TEnumInfo info{"TDBGridGdSelectionType",
                                       {"gstNon", "gstRecordBookmarks", "gstRectangle", "gstColumns", "gstAll"}};
  return info;
}

namespace grid {
namespace {
// The base grid's options that the grid's options stand for.
TGridOptions BaseOptions(TDBGridOptions Options) {
  TGridOptions base;
  if (Options.Contains(dgEditing)) base.Include(goEditing);
  if (Options.Contains(dgAlwaysShowEditor)) base.Include(goAlwaysShowEditor);
  if (Options.Contains(dgColumnResize)) base += TGridOptions{goColSizing, goColMoving};
  if (Options.Contains(dgColLines)) base += TGridOptions{goFixedVertLine, goVertLine};
  if (Options.Contains(dgRowLines)) base += TGridOptions{goFixedHorzLine, goHorzLine};
  if (Options.Contains(dgTabs)) base.Include(goTabs);
  if (Options.Contains(dgRowSelect)) base.Include(goRowSelect);
  return base;
}
}  // namespace
}  // namespace grid

// ---- the shared resources ----

namespace grid {

TGridResourceLoaders ProgramResourceLoaders() {
  return {[](const std::string& Name) { return LoadCursorFromResource(nullptr, Name); },
          [](TBitmap* Bitmap, const std::string& Name) { LoadBitmapFromResource(Bitmap, nullptr, Name); }};
}

std::unique_ptr<TGridResources> LoadGridResources(const TGridResourceLoaders& Loaders) {
  const char* const indicatorNames[] = {"DBGARROWGD",   "DBEDITGD",       "DBINSERTGD",
                                        "DBMULTIDOTGD", "DBMULTIARROWGD", "DBGARROWGDW"};
  const char* const markerNames[] = {"DBSMDOWNGD", "DBSMUPGD"};
  // Everything is read before anything is built.
  std::vector<std::unique_ptr<TBitmap>> indicators, markers;
  for (const char* name : indicatorNames) {
    indicators.push_back(std::make_unique<TBitmap>());
    Loaders.Bitmap(indicators.back().get(), name);
  }
  for (const char* name : markerNames) {
    markers.push_back(std::make_unique<TBitmap>());
    Loaders.Bitmap(markers.back().get(), name);
  }
  auto result = std::make_unique<TGridResources>();
  HCURSOR* const cursors[] = {&result->DownCursor, &result->RightCursor, &result->LeftCursor};
  const char* const cursorNames[] = {"DOWNCURGD", "RIGHTCURGD", "LEFTCURGD"};
  for (int i = 0; i < 3; ++i) {
    *cursors[i] = Loaders.Cursor(cursorNames[i]);
    if (!*cursors[i]) throw EOutOfResources("Cannot load cursor resource");
  }
  result->SortMarkerFont = std::make_unique<TFont>();
  result->SortMarkerFont->SetHeight(1 - markers[0]->Height());
  result->SortMarkerFont->SetName("Arial");
  const TColor searchBackground = static_cast<TColor>(0xFFFF);
  const TColor cornerMask = static_cast<TColor>(0x808000);
  TBitmap* arrowW = indicators[5].get();
  result->Indicators = std::make_unique<TCustomImageList>(nullptr, arrowW->Width(), arrowW->Height());
  for (size_t i = 0; i < indicators.size(); ++i)
    result->Indicators->AddMasked(indicators[i].get(), i < 5 ? clWhite : cornerMask);
  // The current record while a search runs: the arrow on the search's highlight colour.
  TBitmap searching;
  searching.SetSize(arrowW->Width(), arrowW->Height());
  for (int y = 0; y < arrowW->Height(); ++y)
    for (int x = 0; x < arrowW->Width(); ++x) {
      const TColor c = arrowW->Canvas()->Pixels(x, y);
      searching.Canvas()->SetPixels(x, y, c == cornerMask ? searchBackground : c);
    }
  result->Indicators->AddMasked(&searching, cornerMask);
  result->SortMarkers = std::make_unique<TCustomImageList>(nullptr, markers[0]->Width(), markers[0]->Height());
  for (auto& marker : markers) result->SortMarkers->AddMasked(marker.get(), static_cast<TColor>(0xFF00FF));
  return result;
}

const TGridResources& GridResources() {
  static const std::unique_ptr<TGridResources> resources = LoadGridResources(ProgramResourceLoaders());
  return *resources;
}

}  // namespace grid

// ---- construction ----

TCustomDBGridGd::TCustomDBGridGd(TComponent* AOwner) : TCustomGrid(AOwner) {
  grid::GridResources();  // the first grid loads what all of them share
  TCustomGrid::SetDefaultDrawing(false);
  SetScrollBars(ssHorizontal);
  TCustomGrid::SetOptions(grid::BaseOptions(FOptions));
  SetDesignOptionsBoost(TGridOptions{goColSizing});
  FColumnDefValues = std::make_unique<TDBGridGdColumnDefValuesGd>(this);
  FTitleFont = std::make_unique<TFont>();
  FFooterFont = std::make_unique<TFont>();
  FColumns = std::make_unique<TDBGridColumnsGd>(this);
  FColumns->SetPropName("Columns");
  SetRowCount(2);
  SetColCount(2);
  FDataLink = std::make_unique<TGridDataLinkGd>(this);
  SetColor(clWindow);
  SetParentColor(false);
  FTitleFont->Assign(Font());
  FTitleFont->OnChange = [this](TObject*) { TitleFontChanged(); };
  FFooterFont->Assign(Font());
  FFooterFont->OnChange = [this](TObject*) { InvalidateFooters(); };
  FSelectedRows = std::make_unique<TBookmarkListGd>(this);
  FSumList = std::make_unique<TDBGridGdSumList>(this);
  FSumList->SumListChanged = [this](TObject*) { InvalidateFooters(); };
  FSumList->OnRecalcAll = [this](TObject*) {
    if (OnSumListRecalcAll) OnSumListRecalcAll(FSumList.get());
  };
  FSumList->OnAfterRecalcAll = [this](TObject*) {
    if (OnSumListAfterRecalcAll) OnSumListAfterRecalcAll(FSumList.get());
  };
  FHorzScrollBar = std::make_unique<TDBGridGdScrollBar>(this);
  FVertScrollBar = std::make_unique<TVertDBGridGdScrollBar>(this);
  FSelection = std::make_unique<TDBGridGdSelection>(this);
  SetStyle(DefaultGridStyle());
}

TCustomDBGridGd::~TCustomDBGridGd() {
  SetStyle(nullptr);
  FTitleFont->OnChange = nullptr;
  FFooterFont->OnChange = nullptr;
  FSelection->Clear();
  FDataLink->SetDataSource(nullptr);
  FVisibleColumns.clear();
  FColumns->Clear();
}

// ---- options ----

void TCustomDBGridGd::SetOptions(TDBGridOptions Value) {
  if (Value.Contains(dgRowSelect)) Value -= TDBGridOptions{dgEditing, dgAlwaysShowEditor};
  if (Value == FOptions) return;
  TGridOptions base = grid::BaseOptions(Value);
  TCustomGrid::SetOptions(base);
  if (FOptions.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect)) ClearSelectionForNavigation();
  const TDBGridOptions layoutOptions{dgEditing,  dgAlwaysShowEditor, dgTitles,    dgIndicator,
                                     dgColLines, dgRowLines,         dgRowSelect, dgAlwaysShowSelection};
  const TDBGridOptions old = FOptions;
  FOptions = Value;
  bool relayout = false;
  for (TDBGridOption option : {dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColLines, dgRowLines,
                               dgRowSelect, dgAlwaysShowSelection})
    if (layoutOptions.Contains(option) && old.Contains(option) != Value.Contains(option)) relayout = true;
  if (relayout) LayoutChanged();
}

void TCustomDBGridGd::SetOptionsGd(TDBGridGdOptions Value) {
  if (Value == FOptionsGd) return;
  const bool fit = FOptionsGd.Contains(dghFitRowHeightToText) != Value.Contains(dghFitRowHeightToText);
  if (FOptionsGd.Contains(dghMultiSortMarking) && !Value.Contains(dghMultiSortMarking)) {
    // One sort marker stays: the first in the sort order.
    const TColumnsGdList marked = FSortMarkedColumns;
    for (size_t i = 1; i < marked.size(); ++i) marked[i]->Title()->SetSortMarker(smNoneGd);
  }
  FOptionsGd = Value;
  if (fit) LayoutChanged();
  Invalidate();
}

void TCustomDBGridGd::SetAllowedSelections(TDBGridGdAllowedSelections Value) {
  if (Value == FAllowedSelections) return;
  FAllowedSelections = Value;
  const TDBGridGdSelectionType kind = FSelection->SelectionType();
  if (kind != gstNon && !Value.Contains(kind)) FSelection->Clear();
}

void TCustomDBGridGd::SetFooterRowCount(int Value) {
  if (Value < 0 || Value == FFooterRowCount) return;
  FFooterRowCount = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetFooterColor(TColor Value) {
  if (Value == FFooterColor) return;
  FFooterColor = Value;
  InvalidateFooters();
}

void TCustomDBGridGd::SetTitleFont(TFont* Value) {
  FTitleFont->Assign(Value);
  if (FOptions.Contains(dgTitles)) LayoutChanged();
}

void TCustomDBGridGd::TitleFontChanged() {
  if (!FTitleFontFromParent && !HasState(csLoading)) SetParentFont(false);
  if (FOptions.Contains(dgTitles)) LayoutChanged();
}

void TCustomDBGridGd::CMParentFontChanged(TMessage& Message) {
  TCustomGrid::CMParentFontChanged(Message);
  if (!ParentFont()) return;
  FTitleFontFromParent = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FTitleFontFromParent};
  FTitleFont->Assign(Font());
}

void TCustomDBGridGd::CMFontChanged(TMessage& Message) {
  TCustomGrid::CMFontChanged(Message);
  LayoutChanged();
}

void TCustomDBGridGd::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  FTitleTextInset = Value ? 2 : 4;
  if (HandleAllocated()) RecreateWnd();
  LayoutChanged();
}

void TCustomDBGridGd::SetDefaultDrawing(bool Value) {
  if (Value == FDefaultDrawing) return;
  FDefaultDrawing = Value;
  Invalidate();
}

void TCustomDBGridGd::SetAutoFitColWidths(bool Value) {
  if (Value == FAutoFitColWidths) return;
  FAutoFitColWidths = Value;
  if (HasState(csDesigning)) return;
  if (Value && !HasState(csLoading)) {
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetInitialWidth(FColumns->Items(i)->Width());
  } else if (!Value) {
    // The widths return to what they were when auto-fit was switched on.
    FColumns->BeginUpdate();
    struct TEnd {
      TDBGridColumnsGd* Columns;
      ~TEnd() { Columns->EndUpdate(); }
    } end{FColumns.get()};
    for (int i = 0; i < FColumns->Count(); ++i) {
      TColumnGd* column = FColumns->Items(i);
      const int initial = column->InitialWidth();
      column->SetWidth(initial);
      column->SetInitialWidth(initial);
    }
  }
  LayoutChanged();
}

void TCustomDBGridGd::SetMinAutoFitWidth(int Value) {
  if (Value == FMinAutoFitWidth) return;
  FMinAutoFitWidth = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetRowHeight(int Value) {
  Value = std::max(Value, 0);
  if (Value == FRowHeight) return;
  FRowHeight = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetRowLines(int Value) {
  Value = std::max(Value, 0);
  if (Value == FRowLines) return;
  FRowLines = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetTitleHeight(int Value) {
  FTitleHeight = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetTitleLines(int Value) {
  FTitleLines = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetOddRowColor(TColor Value) {
  const bool changed = Value != OddRowColor();
  FOddRowColor = Value;
  FOddRowColorSet = true;
  if (changed) Invalidate();
}

void TCustomDBGridGd::SetEvenRowColor(TColor Value) {
  const bool changed = Value != EvenRowColor();
  FEvenRowColor = Value;
  FEvenRowColorSet = true;
  if (changed) Invalidate();
}

void TCustomDBGridGd::SetVertScrollBar(TVertDBGridGdScrollBar* Value) {
  FVertScrollBar->Assign(Value);
  FVertScrollBar->SetVisibleMode(Value->VisibleMode());
}

void TCustomDBGridGd::SetHorzScrollBar(TDBGridGdScrollBar* Value) { FHorzScrollBar->Assign(Value); }

TColumnGd* TCustomDBGridGd::SelectedField() const {
  const int index = Col() - FIndicatorOffset;
  return index >= 0 && index < FColumns->Count() ? FColumns->Items(index) : nullptr;
}

// ---- data ----

void TCustomDBGridGd::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  ClearSelectionForNavigation();
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  DataLinkActiveChanged(FDataLink->Active());
}

void TCustomDBGridGd::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGrid::Notification(AComponent, Operation);
  if (Operation != opRemove || !FColumns) return;
  // The component is going: its own class is gone already, so it is known by its address.
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnGd* column = FColumns->Items(i);
    if (column->PopupMenu() == AComponent) column->SetPopupMenu(nullptr);
    if (column->ImageList() == AComponent) column->SetImageList(nullptr);
  }
  if (FVertScrollBar) FVertScrollBar->ExtScrollBarFreed(AComponent);
  if (FHorzScrollBar) FHorzScrollBar->ExtScrollBarFreed(AComponent);
  if (FDataLink && AComponent == FDataLink->DataSource()) {
    SetDataSource(nullptr);
    return;
  }
  if (FSumList && AComponent == FSumList->DataSet()) FSumList->DataSetDestroyed();
  if (!FDataLink) return;
  bool unbound = false;
  TGridLayoutScope scope(*this);
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->FField == AComponent) {
      FColumns->Items(i)->FField = nullptr;
      unbound = true;
    }
  if (!unbound) return;
  TDataSet* dataSet = FDataLink->DataSet();
  if (dataSet && !dataSet->ControlsDisabled() && !HasState(csDestroying)) scope.End();
  else scope.Defer();
}

void TCustomDBGridGd::Loaded() {
  TCustomGrid::Loaded();
  if (FColumns->Count() > 0) {
    SetColCount(FColumns->Count() + FIndicatorOffset);
    if (FAutoFitColWidths && !HasState(csDesigning)) {
      FColumns->BeginUpdate();
      for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetInitialWidth(FColumns->Items(i)->Width());
      FColumns->EndUpdate();
    }
  }
  FSumList->Loaded();
  LayoutChanged();
  RequestDeferredLayout();
}

void TCustomDBGridGd::CreateWnd() {
  LockUpdate();
  try {
    TCustomGrid::CreateWnd();
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
  if (FAutoFitColWidths) {
    LayoutChanged();
  } else {
    UpdateRowHeights();
    SyncCurrentRecord();
  }
  FVertInfoSet = false;
  UpdateVertScrollBar();
}

void TCustomDBGridGd::WndProc(TMessage& Message) {
  if (Message.Msg == CM_HINTSHOWPAUSE) {
    CMHintShowPause(Message);
    return;
  }
  if (Message.Msg == WM_DEFERREDLAYOUTGD) {
    DeferredLayoutMessage();
    Message.Result = 0;
    return;
  }
  TCustomGrid::WndProc(Message);
}

void TCustomDBGridGd::WMSize(TMessage& Message) {
  TCustomGrid::WMSize(Message);
  LayoutChanged();
}

// ---- the events ----

void TCustomDBGridGd::CellClick(TColumnGd* Column) {
  if (OnCellClick) OnCellClick(Column);
}
void TCustomDBGridGd::TitleClick(TColumnGd* Column) {
  if (OnTitleClick) OnTitleClick(Column);
}
void TCustomDBGridGd::ColEnter() {
  if (OnColEnter) OnColEnter(this);
}
void TCustomDBGridGd::ColExit() {
  if (OnColExit) OnColExit(this);
}

bool TCustomDBGridGd::SelectCell(int ACol, int ARow) {
  if (!TCustomGrid::SelectCell(ACol, ARow)) return false;
  if (ACol != Col() && !FInLayout && !FColExitDone) ColExit();
  return true;
}

// ---- mouse and keys ----

void TCustomDBGridGd::MoveBy(int Distance) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet || Distance == 0) return;
  FDataLink->MoveBy(Distance);
}

void TCustomDBGridGd::ClearSelectionForNavigation() {
  if (FSelection) FSelection->Clear();
}

// ---- published properties ----

static const classes::TPublished<TColumnTitleDefValuesGd, TPersistent> ColumnTitleDefValuesGdInfo([](auto& p) {
  using T = TColumnTitleDefValuesGd;
  p.Enum("Alignment", &T::Alignment, &T::SetAlignment).Stored(&T::IsAlignmentStored);
  p.Int("Color", &T::Color, &T::SetColor).Idents(ColorIdents()).Stored(&T::IsColorStored);
  p.Bool("EndEllipsis", &T::EndEllipsis, &T::SetEndEllipsis).Default(false);
  p.Bool("TitleButton", &T::TitleButton, &T::SetTitleButton).Default(false);
  p.Bool("ToolTips", &T::ToolTips, &T::SetToolTips).Default(false);
});
static const classes::TPublished<TColumnFooterDefValuesGd, TPersistent> ColumnFooterDefValuesGdInfo([](auto& p) {
  using F = TColumnFooterDefValuesGd;
  p.Bool("ToolTips", &F::ToolTips, &F::SetToolTips).Default(false);
});
static const classes::TPublished<TDBGridGdColumnDefValuesGd, TPersistent> ColumnDefValuesGdInfo([](auto& p) {
  using D = TDBGridGdColumnDefValuesGd;
  p.Bool("AlwaysShowEditButton", &D::AlwaysShowEditButton, &D::SetAlwaysShowEditButton).Default(false);
  p.Bool("AutoDropDown", &D::AutoDropDown, &D::SetAutoDropDown).Default(false);
  p.Bool("DblClickNextVal", &D::DblClickNextVal, &D::SetDblClickNextVal).Default(false);
  p.Bool("DropDownShowTitles", &D::DropDownShowTitles, &D::SetDropDownShowTitles).Default(false);
  p.Bool("DropDownSizing", &D::DropDownSizing, &D::SetDropDownSizing).Default(false);
  p.Bool("EndEllipsis", &D::EndEllipsis, &D::SetEndEllipsis).Default(false);
  p.Bool("HighlightRequired", &D::HighlightRequired, &D::SetHighlightRequired).Default(false);
  p.Bool("ToolTips", &D::ToolTips, &D::SetToolTips).Default(false);
  p.Enum("Layout", &D::Layout, &D::SetLayout).Default(tlTop);
  p.Object("Title", &D::Title, &D::SetTitle);
  p.Object("Footer", &D::Footer, &D::SetFooter);
});
static const classes::TPublished<TColumnTitleGd, TPersistent> ColumnTitleGdInfo([](auto& p) {
  using T = TColumnTitleGd;
  p.String("Caption", &T::Caption, &T::SetCaption).Stored(&T::IsCaptionStored);
  p.Enum("Alignment", &T::Alignment, &T::SetAlignment).Stored(&T::IsAlignmentStored);
  p.Int("Color", &T::Color, &T::SetColor).Idents(ColorIdents()).Stored(&T::IsColorStored);
  p.Object("Font", &T::Font, &T::SetFont).Stored(&T::IsFontStored);
  p.Bool("EndEllipsis", &T::EndEllipsis, &T::SetEndEllipsis).Default(false);
  p.Bool("TitleButton", &T::TitleButton, &T::SetTitleButton).Default(false);
  p.String("Hint", &T::Hint, &T::SetHint);
  p.Int("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1);
  p.Enum("Orientation", &T::Orientation, &T::SetOrientation).Default(tohHorizontal);
  p.Int("SortIndex", &T::SortIndex, &T::SetSortIndex).Default(0);
  p.Enum("SortMarker", &T::SortMarker, &T::SetSortMarker).Default(smNoneGd);
  p.Bool("ToolTips", &T::ToolTips, &T::SetToolTips).Default(false);
});
static const classes::TPublished<TColumnFooterGd, TCollectionItem> ColumnFooterGdInfo([](auto& p) {
  using F = TColumnFooterGd;
  p.Enum("ValueType", &F::ValueType, &F::SetValueType).Default(fvtNon);
  p.Enum("Alignment", &F::Alignment, &F::SetAlignment).Stored(&F::IsAlignmentStored);
  p.Int("Color", &F::Color, &F::SetColor).Idents(ColorIdents()).Stored(&F::IsColorStored);
  p.Object("Font", &F::Font, &F::SetFont).Stored(&F::IsFontStored);
  p.Bool("ToolTips", &F::ToolTips, &F::SetToolTips).Stored(&F::IsToolTipsStored);
  p.String("FieldName", &F::FieldName, &F::SetFieldName);
  p.String("Value", &F::Value, &F::SetValue);
  p.String("DisplayFormat", &F::DisplayFormat, &F::SetDisplayFormat);
  p.Bool("EndEllipsis", &F::EndEllipsis, &F::SetEndEllipsis).Default(false);
  p.Bool("WordWrap", &F::WordWrap, &F::SetWordWrap).Default(false);
});
static const classes::TPublished<TColumnGd, TCollectionItem> ColumnGdInfo([](auto& p) {
  using C = TColumnGd;
  p.String("FieldName", &C::FieldName, &C::SetFieldName);
  p.Int("Width", &C::Width, &C::SetWidth).Stored(&C::IsWidthStored);
  p.Int("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(0);
  p.Int("MaxWidth", &C::MaxWidth, &C::SetMaxWidth).Default(0);
  p.Bool("AutoFitColWidth", &C::AutoFitColWidth, &C::SetAutoFitColWidth).Default(true);
  p.Enum("Alignment", &C::Alignment, &C::SetAlignment).Stored(&C::IsAlignmentStored);
  p.Int("Color", &C::Color, &C::SetColor).Idents(ColorIdents()).Stored(&C::IsColorStored);
  p.Object("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
  p.String("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
  p.String("EditMask", &C::EditMask, &C::SetEditMask);
  p.Bool("Visible", &C::Visible, &C::SetVisible).Default(true);
  p.Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Stored(&C::IsReadOnlyStored);
  p.Bool("WordWrap", &C::WordWrap, &C::SetWordWrap).Stored(&C::IsWordWrapStored);
  p.Bool("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Stored(&C::IsEndEllipsisStored);
  p.Bool("Checkboxes", &C::Checkboxes, &C::SetCheckboxes).Stored(&C::IsCheckboxesStored);
  p.Enum("Layout", &C::Layout, &C::SetLayout).Stored(&C::IsLayoutStored);
  p.Bool("AlwaysShowEditButton", &C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton)
      .Stored(&C::IsAlwaysShowEditButtonStored);
  p.Bool("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired).Stored(&C::IsHighlightRequiredStored);
  p.Bool("ToolTips", &C::ToolTips, &C::SetToolTips).Stored(&C::IsToolTipsStored);
  p.Bool("DblClickNextVal", &C::DblClickNextVal, &C::SetDblClickNextVal).Stored(&C::IsDblClickNextValStored);
  p.Bool("HideDuplicates", &C::HideDuplicates, &C::SetHideDuplicates).Default(false);
  p.Bool("ShowImageAndText", &C::ShowImageAndText, &C::SetShowImageAndText).Default(false);
  p.Component("ImageList", &C::ImageList, &C::SetImageList);
  p.Object("KeyList", &C::KeyList, &C::SetKeyList);
  p.Object("PickList", &C::PickList, &C::SetPickList);
  p.Int("NotInKeyListIndex", &C::NotInKeyListIndex, &C::SetNotInKeyListIndex).Default(-1);
  p.Component("PopupMenu", &C::PopupMenu, &C::SetPopupMenu);
  p.Int("Tag", &C::Tag, &C::SetTag).Default(0);
  p.Object("Title", &C::Title, &C::SetTitle);
  p.Object("Footer", &C::Footer, &C::SetFooter);
  p.Object("Footers", &C::Footers, &C::SetFooters);
});
static const classes::TPublished<TColumnFootersGd, TCollection> ColumnFootersGdInfo;
static const classes::TPublished<TDBGridColumnGd, TColumnGd> DBGridColumnGdInfo;
static const classes::TPublished<TDBGridColumnsGd, TCollection> DBGridColumnsGdInfo;
static const classes::TPublished<TDBSumListProducer, TPersistent> DBSumListProducerInfo;
static const classes::TPublished<TDBGridGdSumList, TDBSumListProducer> DBGridGdSumListInfo([](auto& p) {
  using S = TDBGridGdSumList;
  p.Bool("Active", &S::Active, &S::SetActive).Default(false);
  p.Bool("ExternalRecalc", &S::ExternalRecalc, &S::SetExternalRecalc).Default(false);
  p.Bool("VirtualRecords", &S::VirtualRecords, &S::SetVirtualRecords).Default(false);
  p.Event("OnRecalcAll", &S::OnRecalcAll);
  p.Event("OnAfterRecalcAll", &S::OnAfterRecalcAll);
  p.Event("SumListChanged", &S::SumListChanged);
});
static const classes::TPublished<TDBGridGdScrollBar, TPersistent> DBGridGdScrollBarInfo([](auto& p) {
  p.Bool("Tracking", &TDBGridGdScrollBar::Tracking, &TDBGridGdScrollBar::SetTracking).Default(false);
  p.Bool("Visible", &TDBGridGdScrollBar::Visible, &TDBGridGdScrollBar::SetVisible).Default(true);
  p.Component("ExtScrollBar", &TDBGridGdScrollBar::ExtScrollBar, &TDBGridGdScrollBar::SetExtScrollBar);
});
static const classes::TPublished<TVertDBGridGdScrollBar, TDBGridGdScrollBar> VertDBGridGdScrollBarInfo([](auto& p) {
  p.Enum("VisibleMode", &TVertDBGridGdScrollBar::VisibleMode, &TVertDBGridGdScrollBar::SetVisibleMode)
      .Default(sbAutoShowGd);
});
static const classes::TPublished<TCustomDBGridGd, TCustomGrid> CustomDBGridGdInfo([](auto& p) {
  using G = TCustomDBGridGd;
  p.Int("Color", &G::Color, &G::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&G::IsColorStored);
  p.Bool("ParentColor", &G::ParentColor, &G::SetParentColor).Default(false);
  p.Bool("TabStop", &G::TabStop, &G::SetTabStop).Default(true);
  p.Component("DataSource", &G::DataSource, &G::SetDataSource);
  p.Object("ColumnDefValues", &G::ColumnDefValues, &G::SetColumnDefValues);
  p.Object("Columns", &G::Columns, &G::SetColumns).Stored(&G::IsColumnsStored);
  p.template Set<TDBGridOption>("Options", &G::Options, &G::SetOptions).Default(DBGridOptionsDefault);
  p.template Set<TDBGridGdOption>("OptionsGd", &G::OptionsGd, &G::SetOptionsGd).Default(DBGridGdOptionsDefault);
  p.template Set<TDBGridGdSelectionType>("AllowedSelections", &G::AllowedSelections, &G::SetAllowedSelections)
      .Default(AllowedSelectionsDefault);
  p.Int("FooterRowCount", &G::FooterRowCount, &G::SetFooterRowCount).Default(0);
  p.Int("FooterColor", &G::FooterColor, &G::SetFooterColor).Default(clWindow).Idents(ColorIdents());
  p.Object("FooterFont", &G::FooterFont, &G::SetFooterFont);
  p.Object("TitleFont", &G::TitleFont, &G::SetTitleFont);
  p.Int("FixedColor", &G::FixedColor, &G::SetFixedColor).Default(clBtnFace).Idents(ColorIdents());
  p.Bool("Flat", &G::Flat, &G::SetFlat).Default(false);
  p.Bool("ReadOnly", &G::ReadOnly, &G::SetReadOnly).Default(false);
  p.Bool("DefaultDrawing", &G::DefaultDrawing, &G::SetDefaultDrawing).Default(true);
  p.Bool("DrawMemoText", &G::DrawMemoText, &G::SetDrawMemoText).Default(false);
  p.Bool("AutoFitColWidths", &G::AutoFitColWidths, &G::SetAutoFitColWidths).Default(false);
  p.Int("MinAutoFitWidth", &G::MinAutoFitWidth, &G::SetMinAutoFitWidth).Default(0);
  p.Enum("BorderStyle", &G::BorderStyle, &G::SetBorderStyle).Default(bsSingle);
  p.Int("RowHeight", &G::RowHeight, &G::SetRowHeight).Default(0);
  p.Int("RowLines", &G::RowLines, &G::SetRowLines).Default(0);
  p.Int("TitleHeight", &G::TitleHeight, &G::SetTitleHeight).Default(0);
  p.Int("TitleLines", &G::TitleLines, &G::SetTitleLines).Default(0);
  p.Int("OddRowColor", &G::OddRowColor, &G::SetOddRowColor).Idents(ColorIdents()).Stored(&G::IsOddRowColorStored);
  p.Int("EvenRowColor", &G::EvenRowColor, &G::SetEvenRowColor).Idents(ColorIdents()).Stored(&G::IsEvenRowColorStored);
  p.Object("SumList", &G::SumList, &G::SetSumList);
  p.Object("VertScrollBar", &G::VertScrollBar, &G::SetVertScrollBar);
  p.Object("HorzScrollBar", &G::HorzScrollBar, &G::SetHorzScrollBar);
  p.Event("OnDrawColumnCell", &G::OnDrawColumnCell);
  p.Event("OnDrawDataCell", &G::OnDrawDataCell);
  p.Event("OnGetCellParams", &G::OnGetCellParams);
  p.Event("OnCellClick", &G::OnCellClick);
  p.Event("OnTitleClick", &G::OnTitleClick);
  p.Event("OnColEnter", &G::OnColEnter);
  p.Event("OnColExit", &G::OnColExit);
  p.Event("OnColumnMoved", &G::OnColumnMoved);
  p.Event("OnColWidthsChanged", &G::OnColWidthsChanged);
  p.Event("OnSelectionChanged", &G::OnSelectionChanged);
  // geometry, titles and footers
  p.Int("FrozenCols", &G::FrozenCols, &G::SetFrozenCols).Default(0);
  p.Int("VTitleMargin", &G::VTitleMargin, &G::SetVTitleMargin).Default(10);
  p.Bool("UseMultiTitle", &G::UseMultiTitle, &G::SetUseMultiTitle).Default(false);
  p.Event("OnSumListRecalcAll", &G::OnSumListRecalcAll);
  p.Event("OnSumListAfterRecalcAll", &G::OnSumListAfterRecalcAll);
  p.template Set<TDBGridGdAllowedOperation>("AllowedOperations", &G::AllowedOperations, &G::SetAllowedOperations)
      .Default(AllowedOperationsDefault);
  p.template Set<TDBGridGdEditAction>("EditActions", &G::EditActions, &G::SetEditActions).Default(TDBGridGdEditActions{});
  p.Bool("FindDialogModal", &G::FindDialogModal, &G::SetFindDialogModal).Default(false);
  p.Event("OnTitleBtnClick", &G::OnTitleBtnClick);
  p.Event("OnCheckButton", &G::OnCheckButton);
});
static const classes::TPublished<TDBGridGd, TCustomDBGridGd> DBGridGdInfo;
