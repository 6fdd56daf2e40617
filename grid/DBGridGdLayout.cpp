// The grid's data link and layout: the field map, the reactions to the dataset's notices, the
// two locks that put the layout pass off, the deferred layout message, the layout pass itself,
// the rows that fit the client height, the current row following the active record, scrolling
// the window when the dataset moves, and the vertical scroll bar's range.
#include <algorithm>

#include "grid/DBGridGd.h"
#include "platform/controls/Menus.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Messages.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/SysUtils.h"

namespace grid {
namespace {
const char* const SGridTooManyColumns = "Grid requested to display more than 256 columns";
}  // namespace
}  // namespace grid

// ---- the data link ----

TGridDataLinkGd::TGridDataLinkGd(TCustomDBGridGd* Grid) : FGrid(Grid) {}

TGridDataLinkGd::~TGridDataLinkGd() { ClearMapping(); }

void TGridDataLinkGd::ClearMapping() {
  FFieldMap.clear();
  FFieldMap.shrink_to_fit();
  FFieldMapCapacity = 0;
}

bool TGridDataLinkGd::AppendFieldToMap(const std::string& FieldName) {
  const int count = FieldMapCount();
  if (count >= FMapLimit) throw EInvalidGridOperation(grid::SGridTooManyColumns);
  TDataSet* dataSet = DataSet();
  TField* field = nullptr;
  if (dataSet) field = FMapFromColumns ? dataSet->FindField(FieldName) : dataSet->FieldByName(FieldName);
  if (FFieldMapCapacity == count) {
    int grown = count == 0 ? 8 : count * 2;
    grown = std::min(std::max(grown, count + 1), FMapLimit);
    FFieldMap.reserve(static_cast<size_t>(grown));
    FFieldMapCapacity = grown;
  }
  FFieldMap.push_back(field ? field->Index() : -1);
  if (field) field->FreeNotification(FGrid);
  return true;
}

TField* TGridDataLinkGd::GetMappedField(int Index) const {
  if (Index < 0 || Index >= FieldMapCount() || FFieldMap[Index] < 0) return nullptr;
  TDataSet* dataSet = DataSet();
  if (!dataSet || FFieldMap[Index] >= dataSet->FieldCount()) return nullptr;
  return dataSet->Fields()->Fields(FFieldMap[Index]);
}

bool TGridDataLinkGd::UsesDefaultFields() const {
  TDataSet* dataSet = DataSet();
  if (dataSet && !dataSet->DefaultFields()) return false;
  if (FMapFromColumns && std::find(FFieldMap.begin(), FFieldMap.end(), -1) != FFieldMap.end()) return false;
  return true;
}

void TGridDataLinkGd::Reset() {
  if (FEditorHoldsModification) RecordChanged(nullptr);
  else if (TDataSet* dataSet = DataSet()) dataSet->Cancel();
}

void TGridDataLinkGd::ActiveChanged() {
  FGrid->DataLinkActiveChanged(Active());
  FEditorHoldsModification = false;
}

void TGridDataLinkGd::DataSetChanged() {
  FGrid->RefreshAfterDataChange();
  FEditorHoldsModification = false;
}

void TGridDataLinkGd::DataSetScrolled(int Distance) { FGrid->DataSetScrolled(Distance); }

void TGridDataLinkGd::EditingChanged() {
  if (FGrid->Options().Contains(dgIndicator)) FGrid->InvalidateIndicatorRow();
}

void TGridDataLinkGd::FocusControl(TField** Field) {
  if (!Field || !*Field) return;
  TDBGridColumnsGd* columns = FGrid->Columns();
  for (int i = 0; i < columns->Count(); ++i)
    if (columns->Items(i)->Field() == *Field && i + FGrid->IndicatorOffset() < FGrid->ColCount())
      FGrid->MoveColRow(i + FGrid->IndicatorOffset(), FGrid->Row(), true, true);
  TColumnGd* current = FGrid->SelectedField();
  if (current && current->Field() == *Field && FGrid->CanFocus()) {
    FGrid->SetFocus();
    if (FGrid->Focused()) *Field = nullptr;
  }
}

void TGridDataLinkGd::LayoutChanged() {
  const bool was = FGrid->FLayoutFromDataSet;
  FGrid->FLayoutFromDataSet = true;
  try {
    FGrid->LayoutChanged();
  } catch (...) {
    FGrid->FLayoutFromDataSet = was;
    throw;
  }
  FGrid->FLayoutFromDataSet = was;
  TDataLink::LayoutChanged();
}

void TGridDataLinkGd::RecordChanged(TField* Field) {
  FGrid->RecordChanged(Field);
  FEditorHoldsModification = false;
}

void TGridDataLinkGd::UpdateData() {
  if (FInUpdateData) return;
  FInUpdateData = true;
  FEditorHoldsModification = false;
  FInUpdateData = false;
}

// ---- the locks ----

void TCustomDBGridGd::BeginLayout() {
  LockUpdate();
  if (FLayoutLock == 0) FColumns->BeginUpdate();
  ++FLayoutLock;
}

bool TCustomDBGridGd::TryBeginLayout() {
  if (FLayoutLock != 0 || FUpdateLock != 0) return false;
  BeginLayout();
  return true;
}

void TCustomDBGridGd::EndLayout() {
  if (FLayoutLock <= 0) return;
  struct TRelease {
    TCustomDBGridGd& Grid;
    ~TRelease() {
      if (Grid.FLayoutLock == 1) Grid.FColumns->EndUpdate();
      --Grid.FLayoutLock;
      Grid.UnlockUpdate();
    }
  } release{*this};
  if (FLayoutLock == 1) InternalLayout();
}

void TCustomDBGridGd::EndLayoutQuiet() {
  if (FLayoutLock <= 0) return;
  if (FLayoutLock == 1) FColumns->EndUpdate();
  --FLayoutLock;
  UnlockUpdate();
}

void TCustomDBGridGd::LayoutChanged() {
  if (HasState(csDestroying)) return;
  if (TryBeginLayout()) EndLayout();
}

void TCustomDBGridGd::RequestDeferredLayout() {
  if (!HandleAllocated()) return;
  MSG msg;
  if (!PeekMessage(&msg, Handle(), WM_DEFERREDLAYOUTGD, WM_DEFERREDLAYOUTGD, PM_NOREMOVE))
    PostMessage(Handle(), WM_DEFERREDLAYOUTGD, 0, 0);
}

TGridLayoutScope::TGridLayoutScope(TCustomDBGridGd& Grid) : FGrid(Grid) { Grid.BeginLayout(); }

TGridLayoutScope::~TGridLayoutScope() {
  if (!FDone) FGrid.EndLayoutQuiet();
}

void TGridLayoutScope::End() {
  FDone = true;
  FGrid.EndLayout();
}

void TGridLayoutScope::Defer() {
  FDone = true;
  FGrid.RequestDeferredLayout();
  FGrid.EndLayoutQuiet();
}

void TCustomDBGridGd::DeferredLayoutMessage() {
  if (TryBeginLayout()) EndLayout();
  else RequestDeferredLayout();
}

// ---- the layout pass ----

void TCustomDBGridGd::InternalLayout() {
  if (HasState(csLoading) || HasState(csDestroying)) return;
  ++FLayoutCount;
  if (HandleAllocated()) {
    MSG msg;
    if (PeekMessage(&msg, Handle(), WM_DEFERREDLAYOUTGD, WM_DEFERREDLAYOUTGD, PM_REMOVE) && msg.message == WM_QUIT)
      PostQuitMessage(static_cast<int>(msg.wParam));
  }
  struct TInLayout {
    bool& Flag;
    explicit TInLayout(bool& F) : Flag(F) { Flag = true; }
    ~TInLayout() { Flag = false; }
  } inLayout{FInLayout};

  // Generated columns mixed with stored ones go.
  bool seenGenerated = false;
  for (int i = 0; i < FColumns->Count(); ++i) {
    if (!FColumns->Items(i)->Stored()) {
      seenGenerated = true;
    } else if (seenGenerated) {
      for (int j = FColumns->Count() - 1; j >= 0; --j)
        if (!FColumns->Items(j)->Stored()) FColumns->Delete(j);
      break;
    }
  }

  FIndicatorOffset = FOptions.Contains(dgIndicator) ? 1 : 0;
  FDataLink->ClearMapping();
  if (FDataLink->Active()) BuildFieldMap();

  if (FColumns->State() == cstCustomColumns) {
    for (int i = 0; i < FColumns->Count(); ++i) {
      TColumnGd* column = FColumns->Items(i);
      column->FField = nullptr;
      column->Field();
    }
  } else {
    if (FDataLink->Active() || !FDataLink->UsesDefaultFields()) {
      for (int i = FColumns->Count() - 1; i >= 0; --i) {
        TField* field = FColumns->Items(i)->Field();
        bool mapped = false;
        for (int p = 0; p < FDataLink->FieldMapCount() && !mapped; ++p) mapped = FDataLink->GetMappedField(p) == field;
        if (!field || !mapped) FColumns->Delete(i);
      }
    } else {
      FColumns->Clear();
    }
    int positions = FDataLink->FieldMapCount();
    if (positions == 0 && FColumns->Count() == 0) positions = 1;
    for (int p = 0; p < positions; ++p) {
      TField* field = FDataLink->GetMappedField(p);
      TColumnGd* found = nullptr;
      for (int i = p; i < FColumns->Count() && !found; ++i)
        if (FColumns->Items(i)->Field() == field) found = FColumns->Items(i);
      if (!found) found = FColumns->AddDefaultColumn(field);
      found->TCollectionItem::SetIndex(p);
    }
  }

  FVisibleColumns.clear();
  int leadingHidden = 0;
  bool anyVisible = false;
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumnGd* column = FColumns->Items(i);
    if (column->Visible()) {
      FVisibleColumns.push_back(column);
      anyVisible = true;
    } else if (!anyVisible) {
      ++leadingHidden;
    }
  }
  SetColCount(FColumns->Count() + FIndicatorOffset);
  int fixed = FIndicatorOffset + leadingHidden - (anyVisible ? 0 : 1);
  // The frozen columns join the fixed ones; one visible column always scrolls.
  const int frozen = std::clamp(FFrozenCols, 0, std::max(0, static_cast<int>(FVisibleColumns.size()) - 1));
  for (int i = leadingHidden, seen = 0; i < FColumns->Count() && seen < frozen; ++i) {
    ++fixed;
    if (FColumns->Items(i)->Visible()) ++seen;
  }
  SetFixedCols(std::clamp(fixed, 0, ColCount() - 1));
  FTitleOffset = (HasTitleRow() ? 1 : 0) + (HasFilterRow() ? 1 : 0);

  // Row metrics in the grid font.
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  TEXTMETRIC tm{};
  int h = 0;
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  GetTextMetrics(canvas->Handle(), &tm);
  h = canvas->TextHeight("Wg");
  const int extra = (FFlat ? 1 : 3) + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0);
  const int line = tm.tmHeight + tm.tmExternalLeading;
  const int row0 = RowHeights(0);
  int rowHeight = (FRowHeight > 0 || FRowLines > 0) ? FRowHeight + line * FRowLines : h + extra;
  if (FOptionsGd.Contains(dghFitRowHeightToText) && h > 0) {
    const int q = (rowHeight - extra) / h;
    const int r = (rowHeight - extra) % h;
    rowHeight = (r <= h / 2 && q != 0) ? q * h + extra : (q + 1) * h + extra;
    FRowLines = (rowHeight - extra) / h;
    FRowHeight = extra;
  }
  SetDefaultRowHeight(rowHeight);
  SetRowHeights(0, row0);
  FCanWrapText = tm.tmHeight + tm.tmExternalLeading + tm.tmInternalLeading + FTitleTextInset < rowHeight;

  if (FOptions.Contains(dgTitles)) {
    int titleHeight = 0;
    TFont* tallest = FTitleFont.get();
    int tallestHeight = 0;
    for (TColumnGd* column : FVisibleColumns) {
      canvas->SetFont(column->Title()->Font());
      const int th = canvas->TextHeight("Wg");
      titleHeight = std::max(titleHeight, th + FTitleTextInset);
      if (th > tallestHeight) {
        tallestHeight = th;
        tallest = column->Title()->Font();
      }
    }
    if (titleHeight == 0) {
      canvas->SetFont(FTitleFont.get());
      titleHeight = canvas->TextHeight("Wg") + FTitleTextInset;
    }
    if (FTitleHeight > 0 || FTitleLines > 0) {
      canvas->SetFont(tallest);
      TEXTMETRIC ttm{};
      canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
      GetTextMetrics(canvas->Handle(), &ttm);
      titleHeight = FTitleLines * ttm.tmHeight + ttm.tmExternalLeading + FTitleHeight + 2 +
                    (FOptions.Contains(dgRowLines) ? 1 : 0);
    }
    SetRowHeights(0, titleHeight);
    BuildHeadTree();
    MeasureTitleHeights();
  }

  const bool horzWanted = (!FAutoFitColWidths || HasState(csDesigning)) && FHorzScrollBar->Visible();
  const TScrollStyle bars = horzWanted ? ssHorizontal : ssNone;
  if (ScrollBars() != bars) {
    SetScrollBars(bars);
    if (HandleAllocated()) UpdateVertScrollBar();
  }
  ApplyColumnWidthsAndTabStops();
  AutoFitWidths();
  ApplyColumnWidthsAndTabStops();
  UpdateRowHeights();
  SyncCurrentRecord();
  Invalidate();
  if (FSelection->SelectionType() == gstColumns) FSelection->Columns()->Refresh();
}

void TCustomDBGridGd::BuildFieldMap() {
  if (FColumns->State() == cstCustomColumns) {
    FDataLink->SetMapFromColumns(true);
    for (int i = 0; i < FColumns->Count(); ++i) FDataLink->AppendFieldToMap(FColumns->Items(i)->FieldName());
    return;
  }
  FDataLink->SetMapFromColumns(false);
  TDataSet* dataSet = FDataLink->DataSet();
  for (int i = 0; i < dataSet->FieldCount(); ++i) {
    TField* field = dataSet->Fields()->Fields(i);
    if (field->Visible()) FDataLink->AppendFieldToMap(field->FieldName());
  }
}

void TCustomDBGridGd::AutoFitWidths() {
  if (!FAutoFitColWidths || HasState(csDesigning) || !HandleAllocated()) return;
  std::vector<bool> outOfRange(FVisibleColumns.size(), false);
  int total = 0, avail = 0;
  for (size_t pass = 0; pass < FVisibleColumns.size(); ++pass) {
    UpdateVertScrollBar();
    int autoSum = 0, fixed = 0;
    for (size_t i = 0; i < FVisibleColumns.size(); ++i) {
      TColumnGd* column = FVisibleColumns[i];
      if (column->AutoFitColWidth() && !outOfRange[i]) autoSum += column->InitialWidth();
      else fixed += column->Width();
    }
    avail = std::max(std::max(ClientWidth(), FMinAutoFitWidth) - fixed, 0);
    if (FOptions.Contains(dgIndicator)) avail -= IndicatorWidthGd;
    if (FOptions.Contains(dgColLines)) avail -= static_cast<int>(FVisibleColumns.size());
    if (FOptions.Contains(dgIndicator) && FOptions.Contains(dgColLines)) avail -= 1;
    // Columns that all started at width 0 have no proportions to spread the room by.
    if (autoSum == 0) return;
    bool marked = false;
    total = 0;
    for (size_t i = 0; i < FVisibleColumns.size(); ++i) {
      TColumnGd* column = FVisibleColumns[i];
      if (!column->AutoFitColWidth() || outOfRange[i]) continue;
      const int wanted = MulDiv(column->InitialWidth(), avail, autoSum);
      const int initial = column->InitialWidth();
      column->SetWidth(wanted);
      column->SetInitialWidth(initial);
      if (column->Width() != wanted) {
        outOfRange[i] = true;
        marked = true;
      }
      total += column->Width();
    }
    if (!marked) break;
  }
  if (total != avail) {
    for (size_t i = FVisibleColumns.size(); i-- > 0;) {
      TColumnGd* column = FVisibleColumns[i];
      if (!column->AutoFitColWidth() || outOfRange[i]) continue;
      const int initial = column->InitialWidth();
      column->SetWidth(std::max(0, column->Width() + avail - total));
      column->SetInitialWidth(initial);
      break;
    }
  }
}

void TCustomDBGridGd::ApplyColumnWidthsAndTabStops() {
  const bool active = FDataLink->Active();
  for (int i = 0; i < FColumns->Count() && i + FIndicatorOffset < ColCount(); ++i) {
    TColumnGd* column = FColumns->Items(i);
    TField* field = column->Field();
    bool readOnly = !field || field->FieldKind() == fkCalculated || field->ReadOnly();
    if (field && field->FieldKind() == fkLookup) {
      TDataSet* dataSet = field->DataSet();
      bool keysReadOnly = true;
      if (dataSet)
        for (TField* key : dataSet->GetFieldList(field->KeyFields())) keysReadOnly = keysReadOnly && key->ReadOnly();
      readOnly = field->ReadOnly() || !dataSet || keysReadOnly;
    }
    const int gridCol = i + FIndicatorOffset;
    SetTabStops(gridCol, column->Visible() && !column->ReadOnly() && active && !readOnly);
    SetColWidths(gridCol, column->Visible() ? column->Width() : (FOptions.Contains(dgColLines) ? -1 : 0));
  }
  if (FOptions.Contains(dgIndicator)) SetColWidths(0, IndicatorWidthGd);
}

void TCustomDBGridGd::UpdateRowHeights() {
  if (!FDataLink) return;
  if (FTitleOffset >= RowCount()) SetRowCountKeepingRow(FTitleOffset + 1);
  const int oldRows = RowCount();
  if (FixedRows() != FTitleOffset) SetFixedRows(FTitleOffset);
  const int lineWidth = GridLineWidth();
  const bool rowLines = FOptions.Contains(dgRowLines);
  const int pitch = DefaultRowHeight() + (rowLines ? lineWidth : 0);
  const int row0 = RowHeights(0);
  int used = (FTitleOffset > 0 ? row0 + (FOptions.Contains(dgTitles) ? lineWidth : 0) : 0) +
             pitch * std::max(0, FTitleOffset - 1) + pitch * FFooterRowCount + (FFooterRowCount > 0 ? lineWidth : 0);
  SetDefaultRowHeight(DefaultRowHeight());
  if (FOptions.Contains(dgTitles)) SetRowHeights(0, row0);
  SetTopRow(FixedRows());
  TDataSet* dataSet = FDataLink->DataSet();
  if (FDataLink->Active() && dataSet && !dataSet->IsEmpty() && HandleAllocated()) {
    const int rows = std::max(1, (ClientHeight() - used) / pitch);
    FDataLink->SetBufferCount(rows);
    const int n = FDataLink->RecordCount();
    used += n * pitch;
    if (FFooterRowCount == 0) {
      SetRowCountKeepingRow(n + FTitleOffset);
    } else {
      SetRowCountKeepingRow(n + FTitleOffset + FFooterRowCount + 1);
      SetRowHeights(n + FTitleOffset, std::max(0, ClientHeight() - used));
    }
    SyncCurrentRecord();
  } else {
    SetRowCountKeepingRow(FTitleOffset + 1);
    used += pitch;
    if (HandleAllocated() && FFooterRowCount > 0) {
      SetRowCountKeepingRow(FTitleOffset + 1 + FFooterRowCount + 1);
      SetRowHeights(FTitleOffset + 1, std::max(0, ClientHeight() - used));
    }
  }
  if (RowCount() != oldRows) Invalidate();
}

void TCustomDBGridGd::SetRowCountKeepingRow(int N) {
  if (Row() >= N && N > 0) MoveColRow(Col(), N - 1, true, false);
  SetRowCount(N);
}

int TCustomDBGridGd::VisibleDataRowCount() {
  int rows = VisibleRowCount();
  if (FFooterRowCount > 0) rows -= FFooterRowCount + 1;
  return std::max(rows, 1);
}

void TCustomDBGridGd::SyncCurrentRecord() {
  if (!FDataLink->Active() || !HandleAllocated() || HasState(csLoading)) return;
  const int row = FDataLink->ActiveRecord() + FTitleOffset;
  if (row != Row() && row < RowCount()) {
    InvalidateEditor();
    MoveColRow(Col(), row, true, false);
  }
}

void TCustomDBGridGd::DataLinkActiveChanged(bool Active) {
  SyncSumListDataSet();
  FSelection->DataLinkSwitched(Active);
  LayoutChanged();
  UpdateVertScrollBar();
}

void TCustomDBGridGd::RefreshAfterDataChange() {
  DataChangedOutsideSearch();
  if (!HandleAllocated() || FInRefresh) return;
  FInRefresh = true;
  SyncSumListDataSet();
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInRefresh};
  UpdateRowHeights();
  const bool shown = FVertBarShown;
  UpdateVertScrollBar();
  if (shown != FVertBarShown && FAutoFitColWidths && !HasState(csDesigning)) RequestDeferredLayout();
  SyncCurrentRecord();
  ValidateRect(Handle(), nullptr);
  Invalidate();
}

void TCustomDBGridGd::RecordChanged(TField*) {
  if (!HandleAllocated()) return;
  InvalidateRow(Row());
  if (FOptions.Contains(dgIndicator)) InvalidateIndicatorRow();
}

void TCustomDBGridGd::InvalidateIndicatorRow() {
  if (!HandleAllocated() || !FOptions.Contains(dgIndicator)) return;
  if (FIndicatorRow >= 0 && FIndicatorRow < RowCount()) InvalidateCell(0, FIndicatorRow);
  InvalidateCell(0, Row());
}

void TCustomDBGridGd::DataSetScrolled(int Distance) {
  DataChangedOutsideSearch();
  if (!HandleAllocated()) return;
  TRect oldRect = CellRect(0, Row());
  oldRect.Left = 0;
  oldRect.Right = ClientWidth();
  if (FDataLink->ActiveRecord() >= RowCount() - FTitleOffset) UpdateRowHeights();
  const bool shown = FVertBarShown;
  UpdateVertScrollBar();
  if (shown != FVertBarShown && FAutoFitColWidths && !HasState(csDesigning)) RequestDeferredLayout();
  SyncCurrentRecord();
  TRect newRect = CellRect(0, Row());
  newRect.Left = 0;
  newRect.Right = ClientWidth();
  ValidateRect(Handle(), &oldRect);
  ::InvalidateRect(Handle(), &oldRect, FALSE);
  ::InvalidateRect(Handle(), &newRect, FALSE);
  if (Distance != 0) {
    HideEditor();
    const int visible = VisibleDataRowCount();
    if (std::abs(Distance) > visible) {
      Invalidate();
    } else {
      const int pitch = DefaultRowHeight() + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0);
      if (FOptions.Contains(dgIndicator)) {
        TRect r = CellRect(0, std::max(FIndicatorRow, FTitleOffset));
        r.Bottom = ClientHeight();
        ::InvalidateRect(Handle(), &r, FALSE);
      }
      // The record rows move (not the spacer and footers under them, nor the room below the
      // last row, which would carry blank pixels into the last rows).
      const int records = FDataLink->RecordCount();
      TRect area = BoxRect(0, FTitleOffset, 0, std::max(FTitleOffset, FTitleOffset + records - 1));
      area.Left = 0;
      area.Right = ClientWidth();
      area.Bottom = std::min(ClientHeight(), area.Bottom + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0));
      ScrollWindowEx(Handle(), 0, -pitch * Distance, &area, &area, nullptr, nullptr, SW_INVALIDATE);
      if (FOptions.Contains(dgIndicator)) InvalidateCell(0, Row());
      for (TColumnGd* column : FVisibleColumns)
        if (column->HideDuplicates()) {
          InvalidateRow(FTitleOffset);
          break;
        }
    }
  }
  InvalidateFooters();
  if (FUpdateLock == 0) Update();
}

void TCustomDBGridGd::InvalidateFooters() {
  if (!HandleAllocated() || FFooterRowCount == 0) return;
  for (int r = RowCount() - FFooterRowCount; r < RowCount(); ++r)
    if (r >= 0) InvalidateRow(r);
}

bool TCustomDBGridGd::RecordNumberKnown() const { return FSumList->IsSequenced(); }

void TCustomDBGridGd::UpdateVertScrollBar() {
  if (!FDataLink || !HandleAllocated()) return;
  SCROLLINFO si{};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  int minPos = 0, maxPos = 1, page = 2, pos = 0;
  TDataSet* dataSet = FDataLink->DataSet();
  if (FDataLink->Active() && dataSet) {
    if (FSumList->IsSequenced()) {
      minPos = 1;
      page = VisibleDataRowCount();
      maxPos = FSumList->RecordCount() + page - 1;
      if (dataSet->State() == dsEdit || dataSet->State() == dsInsert) {
        SCROLLINFO cur{};
        cur.fMask = SIF_POS;
        GetScrollInfo(Handle(), SB_VERT, &cur);
        pos = cur.nPos;
      } else {
        pos = FSumList->RecNo();
      }
    } else {
      minPos = 0;
      page = 0;
      maxPos = 4;
      pos = dataSet->Bof() ? 0 : dataSet->Eof() ? 4 : 2;
    }
  }
  FVertScrollBar->SetExtParams(minPos, maxPos, page, pos);
  const bool hidden = !FVertScrollBar->Visible() || FVertScrollBar->ExtScrollBar();
  const TScrollBarVisibleModeGd mode = FVertScrollBar->VisibleMode();
  if (hidden) {
    minPos = 0;
    maxPos = 0;
  }
  const bool noScroll = minPos >= maxPos || page >= maxPos - minPos;
  SCROLLINFO cur{};
  cur.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  GetScrollInfo(Handle(), SB_VERT, &cur);
  const bool differs = !FVertInfoSet || cur.nMin != minPos || cur.nMax != maxPos ||
                       cur.nPage != static_cast<UINT>(std::max(page, 0)) || cur.nPos != pos;
  if (differs || mode != FLastVertMode) {
    si.nMin = minPos;
    si.nMax = maxPos;
    si.nPage = static_cast<UINT>(std::max(page, 0));
    si.nPos = pos;
    if (mode == sbAlwaysShowGd && !hidden) si.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    if (mode == sbAlwaysShowGd && !hidden) {
      ShowScrollBar(Handle(), SB_VERT, TRUE);
      EnableScrollBar(Handle(), SB_VERT, noScroll ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    } else if (hidden || noScroll) {
      ShowScrollBar(Handle(), SB_VERT, FALSE);
    } else {
      EnableScrollBar(Handle(), SB_VERT, ESB_ENABLE_BOTH);
    }
    FLastVertMode = mode;
    FVertInfoSet = true;
  }
  FVertBarShown = !hidden && (mode == sbAlwaysShowGd || !noScroll);
}

void TCustomDBGridGd::UpdateScrollRange() {
  TCustomGrid::UpdateScrollRange();
  if (!HandleAllocated() || !FHorzScrollBar) return;
  if (!FHorzScrollBar->Visible() || FHorzScrollBar->ExtScrollBar()) ShowScrollBar(Handle(), SB_HORZ, FALSE);
  UpdateExtHorzScrollBar();
}

void TCustomDBGridGd::ColumnMoved(int FromIndex, int ToIndex) {
  const int from = FromIndex - FIndicatorOffset, to = ToIndex - FIndicatorOffset;
  if (from >= 0 && from < FColumns->Count() && to >= 0 && to < FColumns->Count()) {
    FColumns->Items(from)->SetIndex(to);
    if (OnColumnMoved) OnColumnMoved(this, from, to);
  }
}

void TCustomDBGridGd::ColWidthsChanged() {
  // Widths the layout itself applies are no resize by the user.
  if (FInLayout || FLayoutLock > 0) return TCustomGrid::ColWidthsChanged();
  if ((FDataLink->Active() || FColumns->State() == cstCustomColumns) && TryBeginLayout()) {
    TGridLayoutScope scope(*this, TGridLayoutScope::Adopt);
    TCustomGrid::ColWidthsChanged();
    for (int i = 0; i < FColumns->Count() && i + FIndicatorOffset < ColCount(); ++i) {
      TColumnGd* column = FColumns->Items(i);
      const int gridCol = i + FIndicatorOffset;
      const int w = ColWidths(gridCol);
      if (w > 0 && column->ClampWidth(w) != w) SetColWidths(gridCol, column->ClampWidth(w));
      if (!column->Visible()) continue;
      const int newWidth = ColWidths(gridCol);
      const int oldWidth = column->Width();
      if (newWidth == oldWidth) continue;
      if (!FAutoFitColWidths || HasState(csDesigning)) {
        column->SetWidth(newWidth);
      } else if (column->AutoFitColWidth() && oldWidth > 0) {
        const int oldInitial = column->InitialWidth();
        column->SetInitialWidth(MulDiv(oldInitial, newWidth, oldWidth));
        for (size_t v = 0; v + 1 < FVisibleColumns.size(); ++v)
          if (FVisibleColumns[v] == column) {
            TColumnGd* next = FVisibleColumns[v + 1];
            next->SetInitialWidth(std::max(0, next->InitialWidth() + oldInitial - column->InitialWidth()));
          }
      } else {
        column->SetWidth(newWidth);
      }
    }
    scope.End();
  } else {
    TCustomGrid::ColWidthsChanged();
  }
  if (OnColWidthsChanged) OnColWidthsChanged(this);
}

// ---- cell areas ----

void TCustomDBGridGd::GetCellType(int ACol, int ARow, int& AreaCode, bool& IsDataCol, int& DataCol,
                                  int& DataRow) const {
  IsDataCol = ACol >= FIndicatorOffset;
  DataCol = ACol - FIndicatorOffset;
  const int titleRows = HasTitleRow() ? 1 : 0;
  const int filterRows = HasFilterRow() ? 1 : 0;
  const int lastDataRow = FFooterRowCount > 0 ? RowCount() - FFooterRowCount - 2 : RowCount() - 1;
  if (ARow < titleRows) {
    AreaCode = 0;
    DataRow = ARow;
  } else if (ARow < titleRows + filterRows) {
    AreaCode = 1;
    DataRow = ARow - titleRows;
  } else if (ARow >= FTitleOffset && ARow <= lastDataRow) {
    AreaCode = 2;
    DataRow = ARow - FTitleOffset;
  } else if (ARow == lastDataRow + 1 && ARow >= FTitleOffset) {
    AreaCode = 3;
    DataRow = 0;
  } else if (ARow > lastDataRow + 1 && ARow >= FTitleOffset) {
    AreaCode = 4;
    DataRow = ARow - (lastDataRow + 2);
  } else {
    throw Exception("Algorithm error in TCustomDBGridGd.GetCellType");
  }
}

void TCustomDBGridGd::SetFrozenCols(int Value) {
  if (Value < 0 && Value == FFrozenCols) return;
  FFrozenCols = std::max(Value, 0);
  LayoutChanged();
}

// ---- optimal widths ----

int TCustomDBGridGd::TitleTextWidth(TColumnGd* Column) {
  TColumnTitleGd* title = Column->Title();
  const int area = title->SortMarkerAreaWidth();
  const int margin = area >= 3 ? area + 2 : 4;
  TCanvas* canvas = Canvas();
  canvas->SetFont(title->Font());
  std::string text = title->Caption();
  if (THeadTreeNode* leaf = FUseMultiTitle ? LeafOfColumn(Column->Index()) : nullptr) text = leaf->Text;
  return canvas->TextWidth(text) + margin;
}

int TCustomDBGridGd::FooterTextWidth(TColumnGd* Column) {
  int widest = 0;
  TCanvas* canvas = Canvas();
  for (int row = 0; row < FFooterRowCount; ++row) {
    canvas->SetFont(Column->FooterForRow(row)->Font());
    widest = std::max(widest, canvas->TextWidth(GetFooterValueText(row, Column)) + 5);
  }
  return widest;
}

void TCustomDBGridGd::OptimizeColWidth(TColumnGd* Column) {
  TColumnsGdList columns;
  const TDBGridGdSelectionType kind = FSelection->SelectionType();
  if (kind == gstColumns) {
    columns = FSelection->Columns()->Items();
  } else if (kind == gstAll) {
    for (int i = 0; i < FColumns->Count(); ++i) columns.push_back(FColumns->Items(i));
  }
  if (Column && std::find(columns.begin(), columns.end(), Column) == columns.end()) columns.push_back(Column);
  FitColumnsWidthToData(columns);
}

void TCustomDBGridGd::FitColumnsWidthToData(const TColumnsGdList& Columns) {
  if (!FDataLink->Active() || Columns.empty()) return;
  std::vector<int> widths;
  for (TColumnGd* column : Columns) widths.push_back(TitleTextWidth(column));
  TDataSet* dataSet = FDataLink->DataSet();
  TCanvas* canvas = Canvas();
  {
    dataSet->DisableControls();
    struct TRestore {
      TDataSet* DataSet;
      TBookmark Bookmark;
      ~TRestore() {
        if (!Bookmark.empty() && DataSet->BookmarkValid(Bookmark)) DataSet->GotoBookmark(Bookmark);
        DataSet->EnableControls();
      }
    } restore{dataSet, dataSet->IsEmpty() ? TBookmark() : dataSet->Bookmark()};
    dataSet->First();
    while (!dataSet->Eof()) {
      for (size_t i = 0; i < Columns.size(); ++i) {
        TColumnGd* column = Columns[i];
        int cell = 4;
        TCustomImageList* images = column->ImageList();
        switch (column->CellKind()) {
          case ckImage: cell += images ? images->Width() : 0; break;
          case ckCheckbox: cell += 13; break;
          default: {
            TColCellParamsGd params;
            column->FillCellParams(params);
            params.Font = canvas->Font();
            canvas->SetFont(column->Font());
            GetCellParams(column, canvas->Font(), params.Background, params.State);
            column->GetColCellParams(false, params);
            cell += canvas->TextWidth(params.Text);
            if (images && column->ShowImageAndText()) cell += images->Width() + 4;
            break;
          }
        }
        widths[i] = std::max(widths[i], cell);
      }
      dataSet->Next();
    }
  }
  TGridLayoutScope scope(*this);
  for (size_t i = 0; i < Columns.size(); ++i) {
    TColumnGd* column = Columns[i];
    const int width = std::max(widths[i], FooterTextWidth(column));
    column->SetWidth(width);
    if (FAutoFitColWidths) column->SetInitialWidth(width);
  }
  scope.End();
}
