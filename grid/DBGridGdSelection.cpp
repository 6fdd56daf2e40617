// The selected rows (bookmarks in the dataset's order, found by binary search with a one-entry
// cache) and the grid's one multi-selection: rows, a cell rectangle, columns or everything.
#include <algorithm>

#include "grid/DBGridGd.h"
#include "grid/base/GdPlatform.h"
#include "platform/os/Painting.h"

namespace grid {
namespace {
const char* const SDataSetClosed = "Cannot perform this operation on a closed dataset";
const char* const SCellSelectedError = "Error in function TDBGridGdSelectionRect.CellSelected";
const char* const SBottomRowError = "Error in TDBGridGdSelectionRect.GetBottomRow";
const char* const SRectError = "Error in TDBGridGdSelectionRect";
constexpr TGridRect NoGridRect{-1, -1, -1, -1};

// Keeps the link's active record over a walk of its buffer.
class TActiveRecordKeeper {
 public:
  explicit TActiveRecordKeeper(TDataLink* Link) : FLink(Link), FSaved(Link->ActiveRecord()) {}
  ~TActiveRecordKeeper() { FLink->SetActiveRecord(FSaved); }
  TActiveRecordKeeper(const TActiveRecordKeeper&) = delete;
  TActiveRecordKeeper& operator=(const TActiveRecordKeeper&) = delete;

 private:
  TDataLink* FLink;
  int FSaved;
};

// DisableControls now, EnableControls however the scope ends.
class TControlsDisabled {
 public:
  explicit TControlsDisabled(TDataSet* DataSet) : FDataSet(DataSet) { FDataSet->DisableControls(); }
  ~TControlsDisabled() { FDataSet->EnableControls(); }
  TControlsDisabled(const TControlsDisabled&) = delete;
  TControlsDisabled& operator=(const TControlsDisabled&) = delete;

 private:
  TDataSet* FDataSet;
};
}  // namespace
}  // namespace grid

// ---- selected rows ----

TBookmarkListGd::TBookmarkListGd(TCustomDBGridGd* Grid) : FGrid(Grid) {}

TBookmarkListGd::~TBookmarkListGd() {
  FBookmarks.clear();
  ListChanged();
}

TDataSet* TBookmarkListGd::DataSet() const { return FGrid->DataLink()->DataSet(); }

void TBookmarkListGd::ListChanged() {
  FCachedBookmark.clear();
  FCachedIndex = -1;
}

const TBookmark& TBookmarkListGd::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FBookmarks[static_cast<size_t>(Index)];
}

int TBookmarkListGd::CompareBookmarks(const TBookmark& A, const TBookmark& B) const {
  ++FComparisons;
  TDataSet* dataSet = DataSet();
  if (!dataSet) return A < B ? -1 : A == B ? 0 : 1;
  return CompareDataSetBookmarks(dataSet, A, B);
}

bool TBookmarkListGd::FindBookmark(const TBookmark& Bookmark, int& Index) {
  if (FCachedIndex >= 0 && Bookmark == FCachedBookmark) {
    Index = FCachedIndex;
    return FCachedFound;
  }
  bool found = false;
  int low = 0, high = GetCount() - 1;
  while (low <= high) {
    const int middle = (low + high) / 2;
    const int c = CompareBookmarks(FBookmarks[static_cast<size_t>(middle)], Bookmark);
    if (c < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (c == 0) {
        found = true;
        low = middle;
      }
    }
  }
  Index = low;
  FCachedBookmark = Bookmark;
  FCachedIndex = low;
  FCachedFound = found;
  return found;
}

int TBookmarkListGd::IndexOfBookmark(const TBookmark& Bookmark) {
  int index = -1;
  return FindBookmark(Bookmark, index) ? index : -1;
}

TBookmark TBookmarkListGd::GetCurrentRowBookmark() const {
  TDataSet* dataSet = DataSet();
  if (!FLinkOpen || !dataSet || !dataSet->Active()) throw EInvalidGridOperation(grid::SDataSetClosed);
  return dataSet->Bookmark();
}

bool TBookmarkListGd::GetCurrentRowSelected() {
  const TBookmark bookmark = GetCurrentRowBookmark();
  int index = -1;
  return FindBookmark(bookmark, index);
}

void TBookmarkListGd::SetCurrentRowSelected(bool Value) {
  const TBookmark bookmark = GetCurrentRowBookmark();
  if (bookmark.empty()) return;  // an empty dataset has no current record
  int index = -1;
  if (FindBookmark(bookmark, index) == Value) return;
  if (Value) FBookmarks.insert(FBookmarks.begin() + index, bookmark);
  else FBookmarks.erase(FBookmarks.begin() + index);
  ListChanged();
  FGrid->InvalidateGridRow(FGrid->Row());
  TDBGridGdSelection* selection = FGrid->Selection();
  if (selection->SelectionType() != gstRecordBookmarks && GetCount() > 0) {
    selection->Clear();
    selection->SetSelectionKind(gstRecordBookmarks);
  }
  selection->RefreshSelectionKind();
  selection->SelectionChanged();
}

void TBookmarkListGd::Clear() {
  if (FBookmarks.empty()) return;
  FBookmarks.clear();
  ListChanged();
  FGrid->Selection()->RefreshSelectionKind();
  FGrid->Invalidate();
  FGrid->Selection()->SelectionChanged();
}

void TBookmarkListGd::Delete() {
  TDataSet* dataSet = DataSet();
  if (!dataSet) return;
  {
    grid::TControlsDisabled disabled(dataSet);
    for (int i = GetCount() - 1; i >= 0; --i) {
      dataSet->GotoBookmark(FBookmarks[static_cast<size_t>(i)]);
      dataSet->Delete();
      FBookmarks.erase(FBookmarks.begin() + i);
      ListChanged();
    }
  }
  FGrid->Selection()->RefreshSelectionKind();
}

void TBookmarkListGd::SelectAll() {
  if (!FLinkOpen) return;
  TDataSet* dataSet = DataSet();
  grid::TControlsDisabled disabled(dataSet);
  const TBookmark current = dataSet->Bookmark();
  struct TReturn {
    TDataSet* DataSet;
    const TBookmark& Bookmark;
    ~TReturn() {
      if (!Bookmark.empty() && DataSet->BookmarkValid(Bookmark)) DataSet->GotoBookmark(Bookmark);
    }
  } back{dataSet, current};
  dataSet->First();
  while (!dataSet->Eof()) {
    SetCurrentRowSelected(true);
    dataSet->Next();
  }
}

void TBookmarkListGd::SetLinkActive(bool Value) {
  Clear();
  FGrid->Selection()->RefreshSelectionKind();
  FLinkOpen = Value;
}

TGridRect TBookmarkListGd::SelectedRowsGridRect() {
  int first = -1, last = -1;
  TGridDataLinkGd* link = FGrid->DataLink();
  if (link->Active() && GetCount() > 0) {
    grid::TActiveRecordKeeper keep(link);
    for (int i = 0; i < link->RecordCount(); ++i) {
      link->SetActiveRecord(i);
      if (IndexOfBookmark(DataSet()->Bookmark()) >= 0) {
        if (first < 0) first = i;
        last = i;
      }
    }
  }
  if (first < 0) return grid::NoGridRect;
  return {0, FGrid->TitleOffset() + first, FGrid->ColCount() - 1, FGrid->TitleOffset() + last};
}

// ---- the selection ----

TDBGridGdSelection::TDBGridGdSelection(TCustomDBGridGd* Grid) : FGrid(Grid), FColumns(Grid), FRect(Grid) {}

TBookmarkListGd* TDBGridGdSelection::Rows() const { return FGrid->SelectedRows(); }

bool TDBGridGdSelection::DataCellSelected(int DataCol, const TBookmark& Bookmark) {
  switch (FSelectionKind) {
    case gstRecordBookmarks: {
      int index = -1;
      return Rows()->FindBookmark(Bookmark, index);
    }
    case gstRectangle: return DataCol >= 0 && FRect.CellSelected(DataCol, Bookmark);
    case gstColumns:
      return DataCol >= 0 && DataCol < FGrid->Columns()->Count() && FColumns.Contains(FGrid->Columns()->Items(DataCol));
    case gstAll: return true;
    case gstNon: return false;
  }
  return false;
}

void TDBGridGdSelection::Clear() {
  struct TFinish {
    TDBGridGdSelection& S;
    ~TFinish() { S.FSelectionKind = gstNon; }
  } finish{*this};
  switch (FSelectionKind) {
    case gstRecordBookmarks: Rows()->Clear(); break;
    case gstRectangle: FRect.Clear(); break;
    case gstColumns: FColumns.Clear(); break;
    case gstAll: FGrid->Invalidate(); break;
    case gstNon: break;
  }
}

void TDBGridGdSelection::SelectAll() {
  if (FSelectionKind == gstAll) return;
  if (FSelectionKind != gstNon) Clear();
  FSelectionKind = gstAll;
  FGrid->Invalidate();
}

void TDBGridGdSelection::SetSelectionKind(TDBGridGdSelectionType Value) {
  if (Value == FSelectionKind) return;
  FSelectionKind = Value;
}

void TDBGridGdSelection::RefreshSelectionKind() {
  if ((FSelectionKind == gstRecordBookmarks && Rows()->GetCount() == 0) ||
      (FSelectionKind == gstColumns && FColumns.Count() == 0)) {
    FSelectionKind = gstNon;
    FGrid->Invalidate();
  }
}

void TDBGridGdSelection::DataLinkSwitched(bool Active) {
  Rows()->SetLinkActive(Active);
  Clear();
}

TGridRect TDBGridGdSelection::SelectionScreenRect() {
  switch (FSelectionKind) {
    case gstRecordBookmarks: return Rows()->SelectedRowsGridRect();
    case gstRectangle: return FRect.SelectionScreenRect();
    case gstColumns: return FColumns.SelectionScreenRect();
    case gstAll: return {0, 0, FGrid->ColCount() - 1, FGrid->RowCount() - 1};
    case gstNon: break;
  }
  return grid::NoGridRect;
}

void TDBGridGdSelection::SelectionChanged() {
  if (FGrid->OnSelectionChanged) FGrid->OnSelectionChanged(FGrid);
}

// ---- selected columns ----

TDBGridGdSelection& TDBGridGdSelectionCols::Selection() const { return *FGrid->Selection(); }

bool TDBGridGdSelectionCols::Contains(TColumnGd* Column) const {
  return std::find(FList.begin(), FList.end(), Column) != FList.end();
}

void TDBGridGdSelectionCols::Add(TColumnGd* Column) {
  auto it = std::find_if(FList.begin(), FList.end(), [&](TColumnGd* c) { return c->Index() > Column->Index(); });
  FList.insert(it, Column);
}

void TDBGridGdSelectionCols::Remove(TColumnGd* Column) { std::erase(FList, Column); }

void TDBGridGdSelectionCols::InvalidateColumn(TColumnGd* Column) {
  const int col = Column->Index() + FGrid->IndicatorOffset();
  if (col < FGrid->ColCount()) FGrid->InvalidateGridRect({col, 0, col, FGrid->RowCount() - 1});
}

void TDBGridGdSelectionCols::Clear() {
  for (TColumnGd* column : FList) InvalidateColumn(column);
  FList.clear();
  FAnchorColumn = nullptr;
  Selection().SelectionChanged();
}

void TDBGridGdSelectionCols::MarkSelected(TColumnGd* Column, bool KeepOthers) {
  if (Selection().SelectionType() != gstColumns) Selection().Clear();
  if (!KeepOthers) Clear();
  if (!Contains(Column)) Add(Column);
  FAnchorColumn = FShiftEndColumn = Column;
  Selection().SetSelectionKind(gstColumns);
  FShiftChangedColumns.clear();
  InvalidateColumn(Column);
}

void TDBGridGdSelectionCols::InvertSelect(TColumnGd* Column) {
  if (Selection().SelectionType() != gstColumns) Selection().Clear();
  if (Contains(Column)) Remove(Column);
  else Add(Column);
  FAnchorColumn = FShiftEndColumn = Column;
  Selection().SetSelectionKind(FList.empty() ? gstNon : gstColumns);
  FShiftChangedColumns.clear();
}

void TDBGridGdSelectionCols::SelectShift(TColumnGd* Column) {
  if (Selection().SelectionType() != gstColumns) Selection().Clear();
  if (!FAnchorColumn) {
    MarkSelected(Column, true);
    FAnchorColumn = Column;
  } else {
    TDBGridColumnsGd* columns = FGrid->Columns();
    const int a = FAnchorColumn->Index();
    const int s = FShiftEndColumn ? FShiftEndColumn->Index() : a;
    const int c = Column->Index();
    int start = s, end = c, step = 1, flip = -1;
    bool adding = true;
    if (c == s) {
      start = end = c;
    } else if (a < s) {
      if (c > s) {
        step = 1;
      } else {
        step = -1;
        adding = false;
        if (c < a) flip = a;
        else end = c + 1;
      }
    } else if (a > s) {
      if (c < s) {
        step = -1;
      } else {
        step = 1;
        adding = false;
        if (c > a) flip = a;
        else end = c - 1;
      }
    } else {
      start = a;
      step = c < a ? -1 : 1;
    }
    const bool anchorListed = Contains(FAnchorColumn);
    auto changed = [&](TColumnGd* col) {
      return std::find(FShiftChangedColumns.begin(), FShiftChangedColumns.end(), col);
    };
    for (int i = start;; i += step) {
      if (i == flip) adding = true;
      if (i >= 0 && i < columns->Count()) {
        TColumnGd* col = columns->Items(i);
        const bool listed = Contains(col);
        if (adding && anchorListed) {
          if (!listed && col->Visible()) {
            Add(col);
            InvalidateColumn(col);
            FShiftChangedColumns.push_back(col);
            Selection().SelectionChanged();
          }
        } else if (adding) {
          if (listed && col != FAnchorColumn) {
            Remove(col);
            InvalidateColumn(col);
            FShiftChangedColumns.push_back(col);
            Selection().SelectionChanged();
          }
        } else if (anchorListed) {
          if (listed && col != FAnchorColumn) {
            if (auto it = changed(col); it != FShiftChangedColumns.end()) {
              Remove(col);
              FShiftChangedColumns.erase(it);
            }
            InvalidateColumn(col);
            Selection().SelectionChanged();
          }
        } else if (!listed && col->Visible()) {
          if (auto it = changed(col); it != FShiftChangedColumns.end()) {
            Add(col);
            FShiftChangedColumns.erase(it);
          }
          InvalidateColumn(col);
          Selection().SelectionChanged();
        }
      }
      if (i == end) break;
    }
  }
  FShiftEndColumn = Column;
  Selection().SetSelectionKind(FList.empty() ? gstNon : gstColumns);
}

void TDBGridGdSelectionCols::Refresh() {
  TDBGridColumnsGd* columns = FGrid->Columns();
  std::erase_if(FList, [&](TColumnGd* c) {
    for (int i = 0; i < columns->Count(); ++i)
      if (columns->Items(i) == c) return false;
    return true;
  });
  std::sort(FList.begin(), FList.end(), [](TColumnGd* x, TColumnGd* y) { return x->Index() < y->Index(); });
}

TGridRect TDBGridGdSelectionCols::SelectionScreenRect() const {
  if (FList.empty()) return grid::NoGridRect;
  int lo = FList.front()->Index(), hi = lo;
  for (TColumnGd* c : FList) {
    lo = std::min(lo, c->Index());
    hi = std::max(hi, c->Index());
  }
  return {lo + FGrid->IndicatorOffset(), 0, hi + FGrid->IndicatorOffset(), FGrid->RowCount()};
}

// ---- the cell rectangle ----

bool TDBGridGdSelectionRect::IsValid() const {
  return FGrid->DataSource() && FGrid->DataSource()->DataSet() && FGrid->DataLink()->Active();
}

void TDBGridGdSelectionRect::Check(const char* Message) const {
  if (!IsValid()) throw EInvalidGridOperation(Message);
}

int TDBGridGdSelectionRect::Compare(const TBookmark& A, const TBookmark& B) const {
  return CompareDataSetBookmarks(FGrid->DataLink()->DataSet(), A, B);
}

TBookmark TDBGridGdSelectionRect::CornerTopRow() const {
  Check(grid::SRectError);
  return Compare(FAnchorBookmark, FShiftBookmark) <= 0 ? FAnchorBookmark : FShiftBookmark;
}

TBookmark TDBGridGdSelectionRect::GetBottomRow() const {
  Check(grid::SBottomRowError);
  return Compare(FAnchorBookmark, FShiftBookmark) < 0 ? FShiftBookmark : FAnchorBookmark;
}

int TDBGridGdSelectionRect::CornerLeftColumn() const {
  Check(grid::SRectError);
  return std::min(FAnchorCol, FShiftColumn);
}

int TDBGridGdSelectionRect::CornerRightColumn() const {
  Check(grid::SRectError);
  return std::max(FAnchorCol, FShiftColumn);
}

bool TDBGridGdSelectionRect::CellSelected(int DataCol, const TBookmark& Bookmark) const {
  Check(grid::SCellSelectedError);
  return Compare(CornerTopRow(), Bookmark) <= 0 && Compare(Bookmark, GetBottomRow()) <= 0 &&
         CornerLeftColumn() <= DataCol && DataCol <= CornerRightColumn();
}

void TDBGridGdSelectionRect::Clear() {
  FAnchorCol = FShiftColumn = -1;
  FAnchorBookmark.clear();
  FShiftBookmark.clear();
  FGrid->Invalidate();
  FGrid->Selection()->SelectionChanged();
}

void TDBGridGdSelectionRect::MarkSelected(int DataCol, const TBookmark& Bookmark, bool Extend) {
  TDBGridGdSelection* selection = FGrid->Selection();
  if (selection->SelectionType() != gstRectangle) selection->Clear();
  const int oldAnchorCol = FAnchorCol, oldShiftCol = FShiftColumn;
  const TBookmark oldAnchor = FAnchorBookmark, oldShift = FShiftBookmark;
  if (FAnchorCol == -1 || !Extend) {
    FAnchorCol = DataCol;
    FAnchorBookmark = Bookmark;
  }
  FShiftColumn = DataCol;
  FShiftBookmark = Bookmark;
  if (FAnchorCol == FShiftColumn) {
    if (FAnchorBookmark != FShiftBookmark) selection->SetSelectionKind(gstRectangle);
    else if (selection->SelectionType() == gstRectangle) selection->SetSelectionKind(gstNon);
  } else {
    selection->SetSelectionKind(gstRectangle);
  }
  if (!FGrid->HandleAllocated()) return;
  TRect before{};
  if (oldAnchorCol >= 0 && !oldAnchor.empty()) before = BoxRect(oldAnchorCol, oldAnchor, oldShiftCol, oldShift);
  const TRect after = BoxRect(FAnchorCol, FAnchorBookmark, FShiftColumn, FShiftBookmark);
  // Only the cells whose state changed repaint: the symmetric difference of the two boxes.
  std::vector<TRect> parts;
  TRect common;
  if (!before.IsEmpty() && IntersectRect(&common, &before, &after)) {
    TRect all;
    UnionRect(&all, &before, &after);
    auto add = [&](TRect R) {
      if (R.IsEmpty()) return;
      // Keep only what lies in one of the boxes.
      TRect inBefore, inAfter;
      if (IntersectRect(&inBefore, &R, &before)) parts.push_back(inBefore);
      if (IntersectRect(&inAfter, &R, &after)) parts.push_back(inAfter);
    };
    add({all.Left, all.Top, common.Left, all.Bottom});
    add({common.Left, all.Top, common.Right, common.Top});
    add({common.Right, all.Top, all.Right, all.Bottom});
    add({common.Left, common.Bottom, common.Right, all.Bottom});
  } else {
    parts.push_back(before);
    parts.push_back(after);
  }
  for (const TRect& r : parts)
    if (!r.IsEmpty()) ::InvalidateRect(FGrid->Handle(), &r, FALSE);
  selection->SelectionChanged();
}

TRect TDBGridGdSelectionRect::BoxRect(int Col1, const TBookmark& Row1, int Col2, const TBookmark& Row2) {
  TGridDataLinkGd* link = FGrid->DataLink();
  if (!IsValid() || link->RecordCount() == 0) return {};
  TDataSet* dataSet = link->DataSet();
  const bool ordered = Compare(Row1, Row2) <= 0;
  const TBookmark& upper = ordered ? Row1 : Row2;
  const TBookmark& lower = ordered ? Row2 : Row1;
  const int count = link->RecordCount();
  int top = count, bottom = FGrid->VisibleDataRowCount();
  {
    grid::TActiveRecordKeeper keep(link);
    link->SetActiveRecord(0);
    if (Compare(upper, dataSet->Bookmark()) < 0) {
      top = 0;
    } else {
      for (int i = 0; i < count; ++i) {
        link->SetActiveRecord(i);
        if (Compare(dataSet->Bookmark(), upper) == 0) {
          top = i;
          break;
        }
      }
    }
    link->SetActiveRecord(count - 1);
    if (Compare(lower, dataSet->Bookmark()) <= 0) {
      for (int i = 0; i < count; ++i) {
        link->SetActiveRecord(i);
        if (Compare(dataSet->Bookmark(), lower) == 0) {
          bottom = i;
          break;
        }
      }
    }
  }
  const int offset = FGrid->TitleOffset(), ind = FGrid->IndicatorOffset();
  return FGrid->BoxRectOf(std::min(Col1, Col2) + ind, top + offset, std::max(Col1, Col2) + ind, bottom + offset);
}

TGridRect TDBGridGdSelectionRect::SelectionScreenRect() {
  TGridRect result = grid::NoGridRect;
  if (FAnchorCol < 0 || !IsValid()) return result;
  TGridDataLinkGd* link = FGrid->DataLink();
  TDataSet* dataSet = link->DataSet();
  const TBookmark topRow = CornerTopRow(), bottomRow = GetBottomRow();
  int top = -1, bottom = -1;
  {
    grid::TActiveRecordKeeper keep(link);
    for (int i = 0; i < link->RecordCount(); ++i) {
      link->SetActiveRecord(i);
      const TBookmark b = dataSet->Bookmark();
      if (top < 0 && Compare(b, topRow) >= 0) top = i;
      if (Compare(b, bottomRow) <= 0) bottom = i;
    }
  }
  if (top < 0 || bottom < 0) return result;
  const int offset = FGrid->TitleOffset(), ind = FGrid->IndicatorOffset();
  return {CornerLeftColumn() + ind, offset + top, CornerRightColumn() + ind, offset + bottom};
}
