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

// ---- settings objects ----

void TDBGridGdSumList::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  FGrid->InvalidateFooters();
}

bool TDBGridGdSumList::IsSequenced() const {
  TDataSet* dataSet = FGrid->DataLink()->DataSet();
  return FGrid->DataLink()->Active() && dataSet && dataSet->IsSequenced();
}

int TDBGridGdSumList::RecordCount() const {
  TDataSet* dataSet = FGrid->DataLink()->DataSet();
  return FGrid->DataLink()->Active() && dataSet ? dataSet->RecordCount() : 0;
}

int TDBGridGdSumList::RecNo() const {
  TDataSet* dataSet = FGrid->DataLink()->DataSet();
  return FGrid->DataLink()->Active() && dataSet ? dataSet->RecNo() : 0;
}

void TDBGridGdScrollBar::SetVisibleMode(TScrollBarVisibleModeGd Value) {
  if (FVisibleMode == Value) return;
  FVisibleMode = Value;
  FGrid->UpdateVertScrollBar();
  FGrid->LayoutChanged();
}

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
  if (Value && !HasState(csLoading))
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetInitialWidth(FColumns->Items(i)->Width());
  LayoutChanged();
}

void TCustomDBGridGd::SetMinAutoFitWidth(int Value) {
  if (Value == FMinAutoFitWidth) return;
  FMinAutoFitWidth = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetRowHeight(int Value) {
  if (Value == FRowHeight) return;
  FRowHeight = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetRowLines(int Value) {
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

void TCustomDBGridGd::SetSumList(TDBGridGdSumList* Value) {
  FSumList->SetActive(Value->Active());
  FSumList->SetVirtualRecords(Value->VirtualRecords());
}

void TCustomDBGridGd::SetVertScrollBar(TVertDBGridGdScrollBar* Value) {
  FVertScrollBar->SetVisibleMode(Value->VisibleMode());
  FVertScrollBar->SetTracking(Value->Tracking());
}

void TCustomDBGridGd::SetHorzScrollBar(TDBGridGdScrollBar* Value) {
  FHorzScrollBar->SetVisibleMode(Value->VisibleMode());
  FHorzScrollBar->SetTracking(Value->Tracking());
}

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
  if (FDataLink && AComponent == FDataLink->DataSource()) {
    SetDataSource(nullptr);
    return;
  }
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
  if (Message.Msg == WM_DEFERREDLAYOUTGD) {
    DeferredLayoutMessage();
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
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
  if (ACol != Col() && !FInLayout) ColExit();
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

void TCustomDBGridGd::SelectRowsTo(const TBookmark& Target) {
  TDataSet* dataSet = FDataLink->DataSet();
  const bool forward = dataSet->CompareBookmarks(FAnchor, Target) <= 0;
  dataSet->DisableControls();
  try {
    dataSet->GotoBookmark(FAnchor);
    while (true) {
      FSelectedRows->SetCurrentRowSelected(true);
      if (dataSet->CompareBookmarks(dataSet->Bookmark(), Target) == 0 || (forward ? dataSet->Eof() : dataSet->Bof()))
        break;
      dataSet->MoveBy(forward ? 1 : -1);
    }
    dataSet->GotoBookmark(Target);
  } catch (...) {
    dataSet->EnableControls();
    throw;
  }
  dataSet->EnableControls();
}

void TCustomDBGridGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!HasState(csDesigning) && CanFocus()) SetFocus();
  FPressedCell = {-1, -1};
  if (Button == mbLeft && FOptions.Contains(dgColumnResize) && Sizing(X, Y)) {
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  const TGridCoord cell = MouseCoord(X, Y);
  const int dataRow = cell.Y - FTitleOffset;
  TDataSet* dataSet = FDataLink->DataSet();
  if (cell.X >= 0 && cell.Y >= 0 && FDataLink->Active() && dataSet && dataRow >= 0 &&
      dataRow < FDataLink->RecordCount() && (Button == mbLeft || Button == mbRight)) {
    if (Button == mbLeft) FPressedCell = cell;
    if (cell.X >= FIndicatorOffset && cell.X != Col()) {
      const int oldCol = Col();
      MoveColRow(cell.X, Row(), true, true);
      if (Col() != oldCol) ColEnter();
    }
    MoveBy(dataRow - FDataLink->ActiveRecord());
    if (Button == mbLeft && FOptions.Contains(dgMultiSelect) && !dataSet->IsEmpty() &&
        FAllowedSelections.Contains(gstRecordBookmarks)) {
      if (Shift.Contains(ssCtrl)) {
        FSelectedRows->SetCurrentRowSelected(!FSelectedRows->GetCurrentRowSelected());
        FAnchor = dataSet->Bookmark();
      } else if (Shift.Contains(ssShift) && !FAnchor.empty() && dataSet->BookmarkValid(FAnchor)) {
        SelectRowsTo(dataSet->Bookmark());
      } else {
        FSelection->Clear();
        FSelectedRows->SetCurrentRowSelected(true);
        FAnchor = dataSet->Bookmark();
      }
    }
  } else if (Button == mbLeft && cell.Y >= 0 && cell.Y < FTitleOffset && cell.X >= 0) {
    FPressedCell = cell;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomDBGridGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FGridState != gsNormal) {
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    return;
  }
  const TGridCoord cell = MouseCoord(X, Y);
  const TGridCoord pressed = FPressedCell;
  FPressedCell = {-1, -1};
  if (Button == mbLeft && cell == pressed && cell.X >= FIndicatorOffset) {
    const int dataCol = cell.X - FIndicatorOffset;
    TColumnGd* column = dataCol < FColumns->Count() ? FColumns->Items(dataCol) : nullptr;
    if (cell.Y < FTitleOffset) TitleClick(column);
    else CellClick(column);
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomDBGridGd::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet) return;
  switch (Key) {
    case VK_DOWN: MoveBy(1); break;
    case VK_UP: MoveBy(-1); break;
    case VK_NEXT: MoveBy(VisibleDataRowCount()); break;
    case VK_PRIOR: MoveBy(-VisibleDataRowCount()); break;
    case VK_HOME:
      if (!Shift.Contains(ssCtrl)) return;
      dataSet->First();
      break;
    case VK_END:
      if (!Shift.Contains(ssCtrl)) return;
      dataSet->Last();
      break;
    case VK_SPACE:
      if (!FOptions.Contains(dgMultiSelect) || dataSet->IsEmpty()) return;
      FSelectedRows->SetCurrentRowSelected(!FSelectedRows->GetCurrentRowSelected());
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_TAB: {
      const int oldCol = Col();
      TCustomGrid::KeyDown(Key, Shift);
      if (Col() != oldCol) ColEnter();
      return;
    }
    default: return;
  }
  Key = 0;
}

bool TCustomDBGridGd::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  MoveBy(WheelDelta > 0 ? -1 : 1);
  return true;
}

void TCustomDBGridGd::WMVScroll(TMessage& Message) {
  Message.Result = 0;
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet) return;
  SCROLLINFO si{};
  si.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(Handle(), SB_VERT, &si);
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: MoveBy(-1); break;
    case SB_LINEDOWN: MoveBy(1); break;
    case SB_PAGEUP: MoveBy(-VisibleDataRowCount()); break;
    case SB_PAGEDOWN: MoveBy(VisibleDataRowCount()); break;
    case SB_TOP: dataSet->First(); break;
    case SB_BOTTOM: dataSet->Last(); break;
    case SB_THUMBTRACK:
      if (!FVertScrollBar->Tracking()) break;
      [[fallthrough]];
    case SB_THUMBPOSITION:
      if (FSumList->IsSequenced()) dataSet->SetRecNo(std::max(1, si.nTrackPos));
      else if (si.nTrackPos <= 0) dataSet->First();
      else if (si.nTrackPos >= 4) dataSet->Last();
      break;
    default: break;
  }
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
});
static const classes::TPublished<TColumnFooterGd, TPersistent> ColumnFooterGdInfo([](auto& p) {
  using F = TColumnFooterGd;
  p.Enum("ValueType", &F::ValueType, &F::SetValueType).Default(fvtNon);
  p.Enum("Alignment", &F::Alignment, &F::SetAlignment).Default(taLeftJustify);
  p.Int("Color", &F::Color, &F::SetColor).Default(clWindow).Idents(ColorIdents());
  p.Object("Font", &F::Font, &F::SetFont);
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
});
static const classes::TPublished<TDBGridColumnGd, TColumnGd> DBGridColumnGdInfo;
static const classes::TPublished<TDBGridColumnsGd, TCollection> DBGridColumnsGdInfo;
static const classes::TPublished<TDBGridGdSumList, TPersistent> DBGridGdSumListInfo([](auto& p) {
  p.Bool("Active", &TDBGridGdSumList::Active, &TDBGridGdSumList::SetActive).Default(false);
  p.Bool("VirtualRecords", &TDBGridGdSumList::VirtualRecords, &TDBGridGdSumList::SetVirtualRecords).Default(false);
});
static const classes::TPublished<TDBGridGdScrollBar, TPersistent> DBGridGdScrollBarInfo([](auto& p) {
  p.Bool("Tracking", &TDBGridGdScrollBar::Tracking, &TDBGridGdScrollBar::SetTracking).Default(false);
  p.Bool("Visible", &TDBGridGdScrollBar::Visible, &TDBGridGdScrollBar::SetVisible).Default(true);
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
});
static const classes::TPublished<TDBGridGd, TCustomDBGridGd> DBGridGdInfo;
