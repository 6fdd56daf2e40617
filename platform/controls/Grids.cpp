#include "platform/controls/Grids.h"

#include <algorithm>

#include "platform/classes/TypeInfo.h"
#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/WindowPos.h"

namespace {

const char* const SIndexOutOfRange = "Grid index out of range";
const char* const SFixedColTooBig = "Fixed column count must be less than column count";
const char* const SFixedRowTooBig = "Fixed row count must be less than row count";

[[noreturn]] void InvalidOp(const char* Message) { throw EInvalidGridOperation(Message); }

// Keeps an index that refers to a moved row or column on the same item.
void MoveAdjust(int& CellPos, int FromIndex, int ToIndex) {
  if (CellPos == FromIndex) CellPos = ToIndex;
  else if (CellPos > FromIndex && CellPos <= ToIndex) --CellPos;
  else if (CellPos < FromIndex && CellPos >= ToIndex) ++CellPos;
}

template <class T>
void MoveItem(std::vector<T>& Items, int FromIndex, int ToIndex) {
  if (Items.empty()) return;
  T item = Items[FromIndex];
  Items.erase(Items.begin() + FromIndex);
  Items.insert(Items.begin() + ToIndex, item);
}

// The first pixel of each visible cell of an axis, in display order: the fixed cells, then the
// scrolling ones from the first shown until the client extent is passed. Calls Visit(cell,
// start) for each; Visit answers false to stop.
template <class F>
void WalkAxis(const TGridAxisDrawInfo& Axis, F Visit) {
  int pos = 0;
  for (int i = 0; i < Axis.FixedCellCount && pos < Axis.GridExtent; ++i) {
    if (!Visit(i, pos)) return;
    pos += Axis.Extent(i);
  }
  for (int i = Axis.FirstGridCell; i < Axis.GridCellCount && pos < Axis.GridExtent; ++i) {
    if (!Visit(i, pos)) return;
    pos += Axis.Extent(i);
  }
}

// The pixels the cells Lo..Hi of an axis take on screen; false when none of them shows.
bool AxisSpan(const TGridAxisDrawInfo& Axis, int Lo, int Hi, int& Start, int& Stop) {
  Start = -1;
  Stop = -1;
  WalkAxis(Axis, [&](int i, int pos) {
    if (i >= Lo && i <= Hi) {
      if (Start < 0) Start = pos;
      Stop = pos + std::max(0, Axis.GetExtent(i));
    }
    return true;
  });
  if (Start < 0) return false;
  Stop = std::min(Stop, Axis.GridExtent);
  return true;
}

// The cell of an axis under a pixel, -1 outside the cells.
int CellAt(const TGridAxisDrawInfo& Axis, int N) {
  if (N < 0) return -1;
  int result = -1;
  WalkAxis(Axis, [&](int i, int pos) {
    if (N >= pos && N < pos + Axis.Extent(i)) {
      result = i;
      return false;
    }
    return true;
  });
  return result;
}

// The first cell from which the cells up to Last still fit the client extent (the line after
// Last may be cut off).
int MaxFirstCell(const TGridAxisDrawInfo& Axis, int Last) {
  int result = Last;
  int line = Axis.GridExtent + Axis.EffectiveLineWidth;
  for (int i = Last; i >= Axis.FixedCellCount; --i) {
    line -= Axis.Extent(i);
    if (line < Axis.FixedBoundary) break;
    result = i;
  }
  return std::max(result, Axis.FixedCellCount);
}

}  // namespace

TGridRect GridRect(TGridCoord Coord1, TGridCoord Coord2) {
  return {std::min(Coord1.X, Coord2.X), std::min(Coord1.Y, Coord2.Y), std::max(Coord1.X, Coord2.X),
          std::max(Coord1.Y, Coord2.Y)};
}

bool PointInGridRect(int Col, int Row, const TGridRect& Rect) {
  return Col >= Rect.Left && Col <= Rect.Right && Row >= Rect.Top && Row <= Rect.Bottom;
}

const classes::TEnumInfo& EnumInfo(TGridOption) {
  static const classes::TEnumInfo info{
      "TGridOption",
      {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect", "goDrawFocusSelected",
       "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing", "goTabs", "goRowSelect",
       "goAlwaysShowEditor", "goThumbTracking"}};
  return info;
}

// ---- TCustomGrid ----

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  // The grid fires OnClick and OnDblClick itself, where a click means something to it.
  SetControlStyle({csCaptureMouse, csOpaque, csDoubleClicks});
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetBounds(0, 0, FColCount * FDefaultColWidth, FRowCount * FDefaultRowHeight);
}

TCustomGrid::~TCustomGrid() { FInplaceEdit = nullptr; }

// -- structure --

void TCustomGrid::SetColCount(int Value) {
  if (Value == FColCount) return;
  Value = std::max(Value, 1);
  if (Value <= FFixedCols) SetFixedCols(Value - 1);
  ChangeSize(Value, FRowCount);
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
}

void TCustomGrid::SetRowCount(int Value) {
  if (Value == FRowCount) return;
  Value = std::max(Value, 1);
  if (Value <= FFixedRows) SetFixedRows(Value - 1);
  ChangeSize(FColCount, Value);
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
  int oldCols = FColCount, oldRows = FRowCount;
  HideEdit();
  if (!FColWidths.empty()) FColWidths.resize(NewColCount, FDefaultColWidth);
  if (!FTabStops.empty()) FTabStops.resize(NewColCount, true);
  if (!FRowHeights.empty()) FRowHeights.resize(NewRowCount, FDefaultRowHeight);
  FColCount = NewColCount;
  FRowCount = NewRowCount;
  auto clampCoord = [&](TGridCoord& c) {
    c.X = std::min(c.X, FColCount - 1);
    c.Y = std::min(c.Y, FRowCount - 1);
  };
  clampCoord(FCurrent);
  clampCoord(FAnchor);
  clampCoord(FTopLeft);
  SizeChanged(oldCols, oldRows);
  InvalidateGrid();
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::SetFixedCols(int Value) {
  if (Value == FFixedCols) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value >= FColCount) InvalidOp(SFixedColTooBig);
  HideEdit();
  FFixedCols = Value;
  StartAtFirstCell();
}

void TCustomGrid::SetFixedRows(int Value) {
  if (Value == FFixedRows) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value >= FRowCount) InvalidOp(SFixedRowTooBig);
  HideEdit();
  FFixedRows = Value;
  StartAtFirstCell();
}

void TCustomGrid::StartAtFirstCell() {
  FTopLeft = {FFixedCols, FFixedRows};
  FCurrent = FTopLeft;
  FAnchor = FCurrent;
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  FColWidths.clear();
  if (Value == FDefaultColWidth) return;
  FDefaultColWidth = Value;
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FRowHeights.clear();
  if (Value == FDefaultRowHeight) return;
  FDefaultRowHeight = Value;
  RowHeightsChanged();
  InvalidateGrid();
}

namespace {
// An extent of a list that holds the default for every cell until one is set.
int ExtentOf(const std::vector<int>& Extents, int Count, int Default, int Index) {
  if (Index < 0 || Index >= Count) InvalidOp(SIndexOutOfRange);
  return Extents.empty() ? Default : Extents[Index];
}
// Stores an extent; false when it did not change.
bool StoreExtent(std::vector<int>& Extents, int Count, int Default, int Index, int Value) {
  Value = std::max(Value, -1);
  if (Value == ExtentOf(Extents, Count, Default, Index)) return false;
  if (Extents.empty()) Extents.assign(Count, Default);
  Extents[Index] = Value;
  return true;
}
}  // namespace

int TCustomGrid::ColWidths(int Index) const { return ExtentOf(FColWidths, FColCount, FDefaultColWidth, Index); }

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (!StoreExtent(FColWidths, FColCount, FDefaultColWidth, Index, Value)) return;
  InvalidateGrid();
  ColWidthsChanged();
}

int TCustomGrid::RowHeights(int Index) const { return ExtentOf(FRowHeights, FRowCount, FDefaultRowHeight, Index); }

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (!StoreExtent(FRowHeights, FRowCount, FDefaultRowHeight, Index, Value)) return;
  InvalidateGrid();
  RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  Value = std::max(Value, 0);
  if (Value == FGridLineWidth) return;
  FGridLineWidth = Value;
  InvalidateGrid();
  ColWidthsChanged();
}

bool TCustomGrid::TabStops(int Index) const {
  if (Index < 0 || Index >= FColCount) InvalidOp(SIndexOutOfRange);
  return FTabStops.empty() || FTabStops[Index];
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
  if (Index < 0 || Index >= FColCount) InvalidOp(SIndexOutOfRange);
  if (FTabStops.empty()) FTabStops.assign(FColCount, true);
  FTabStops[Index] = Value;
}

void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::SizeChanged(int, int) {}

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || FromIndex >= FColCount || ToIndex < 0 || ToIndex >= FColCount) InvalidOp(SIndexOutOfRange);
  MoveItem(FColWidths, FromIndex, ToIndex);
  if (!FTabStops.empty()) {
    bool stop = FTabStops[FromIndex];
    FTabStops.erase(FTabStops.begin() + FromIndex);
    FTabStops.insert(FTabStops.begin() + ToIndex, stop);
  }
  MoveAdjust(FCurrent.X, FromIndex, ToIndex);
  MoveAdjust(FAnchor.X, FromIndex, ToIndex);
  MoveAdjust(FInplaceCol, FromIndex, ToIndex);
  InvalidateGrid();
  ColumnMoved(FromIndex, ToIndex);
  if (!FColWidths.empty()) ColWidthsChanged();
  UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || FromIndex >= FRowCount || ToIndex < 0 || ToIndex >= FRowCount) InvalidOp(SIndexOutOfRange);
  MoveItem(FRowHeights, FromIndex, ToIndex);
  MoveAdjust(FCurrent.Y, FromIndex, ToIndex);
  MoveAdjust(FAnchor.Y, FromIndex, ToIndex);
  MoveAdjust(FInplaceRow, FromIndex, ToIndex);
  InvalidateGrid();
  RowMoved(FromIndex, ToIndex);
  if (!FRowHeights.empty()) RowHeightsChanged();
  UpdateEdit();
}

void TCustomGrid::DeleteColumn(int ACol) {
  MoveColumn(ACol, FColCount - 1);
  SetColCount(FColCount - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
  MoveRow(ARow, FRowCount - 1);
  SetRowCount(FRowCount - 1);
}

// -- position --

void TCustomGrid::SetCol(int Value) {
  if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
  if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::SetTopRow(int Value) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
  MoveTopLeft(FTopLeft.X, std::clamp(Value, FFixedRows, std::max(FFixedRows, most.Y)));
}

void TCustomGrid::SetLeftCol(int Value) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
  MoveTopLeft(std::clamp(Value, FFixedCols, std::max(FFixedCols, most.X)), FTopLeft.Y);
}

int TCustomGrid::VisibleColCount() {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  return std::max(0, info.Horz.LastFullVisibleCell - FTopLeft.X + 1);
}

int TCustomGrid::VisibleRowCount() {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  return std::max(0, info.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
}

TGridRect TCustomGrid::Selection() const {
  TGridRect r = GridRect(FCurrent, FAnchor);
  if (FOptions.Contains(goRowSelect)) {
    r.Left = FFixedCols;
    r.Right = FColCount - 1;
  }
  return r;
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
  auto clampCoord = [&](TGridCoord c) {
    return TGridCoord{std::clamp(c.X, FFixedCols, FColCount - 1), std::clamp(c.Y, FFixedRows, FRowCount - 1)};
  };
  TGridRect old = Selection();
  FAnchor = clampCoord(Value.TopLeft());
  FCurrent = clampCoord(Value.BottomRight());
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  SelectionMoved(old);
}

int TCustomGrid::GridWidth() {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  return info.Horz.GridBoundary;
}

int TCustomGrid::GridHeight() {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  return info.Vert.GridBoundary;
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
  return can;
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
  MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  MoveCurrent(ACol, ARow, MoveAnchor, true);
  UpdateEdit();
  Click();
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp(SIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  TGridRect old = Selection();
  FCurrent = {ACol, ARow};
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
  if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
    FAnchor = FCurrent;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  }
  if (FOptions.Contains(goRowSelect)) FCurrent.X = FFixedCols;
  if (Show) ClampInView(FCurrent);
  SelectionMoved(old);
}

void TCustomGrid::MoveAnchor(TGridCoord NewAnchor) {
  if (!FOptions.Contains(goRangeSelect)) {
    MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
    return;
  }
  TGridRect old = Selection();
  FAnchor = NewAnchor;
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  ClampInView(NewAnchor);
  SelectionMoved(old);
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) {
  TGridRect now = Selection();
  if (now == OldSel) {
    InvalidateCell(FCurrent.X, FCurrent.Y);
    return;
  }
  InvalidateGridRect(OldSel);
  InvalidateGridRect(now);
}

TGridCoord TCustomGrid::CalcMaxTopLeft(TGridCoord Coord, const TGridDrawInfo& DrawInfo) {
  return {MaxFirstCell(DrawInfo.Horz, Coord.X), MaxFirstCell(DrawInfo.Vert, Coord.Y)};
}

void TCustomGrid::ClampInView(TGridCoord Coord) {
  if (!HandleAllocated()) return;
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord top = FTopLeft;
  if (Coord.X >= FFixedCols) {
    if (Coord.X < FTopLeft.X) top.X = Coord.X;
    else if (Coord.X > info.Horz.LastFullVisibleCell) top.X = std::max(top.X, MaxFirstCell(info.Horz, Coord.X));
  }
  if (Coord.Y >= FFixedRows) {
    if (Coord.Y < FTopLeft.Y) top.Y = Coord.Y;
    else if (Coord.Y > info.Vert.LastFullVisibleCell) top.Y = std::max(top.Y, MaxFirstCell(info.Vert, Coord.Y));
  }
  MoveTopLeft(top.X, top.Y);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  FTopLeft = {ALeft, ATop};
  InvalidateGrid();
  TopLeftChanged();
  UpdateScrollPos();
}

void TCustomGrid::TopLeftChanged() {
  if (FEditorMode && FInplaceEdit) UpdateEdit();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// -- geometry --

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& DrawInfo) {
  auto setUp = [](TGridAxisDrawInfo& Axis, int LineWidth, int Fixed, int First, int Count,
                  std::function<int(int)> Extent) {
    Axis.EffectiveLineWidth = LineWidth;
    Axis.FixedCellCount = Fixed;
    Axis.FirstGridCell = First;
    Axis.GridCellCount = Count;
    Axis.GetExtent = std::move(Extent);
    Axis.FixedBoundary = 0;
    for (int i = 0; i < Fixed; ++i) Axis.FixedBoundary += Axis.Extent(i);
  };
  bool vertLines = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine);
  bool horzLines = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine);
  setUp(DrawInfo.Horz, vertLines ? FGridLineWidth : 0, FFixedCols, FTopLeft.X, FColCount,
        [this](int i) { return ColWidths(i); });
  setUp(DrawInfo.Vert, horzLines ? FGridLineWidth : 0, FFixedRows, FTopLeft.Y, FRowCount,
        [this](int i) { return RowHeights(i); });
}

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int UseWidth, int UseHeight) {
  CalcFixedInfo(DrawInfo);
  auto calcAxis = [](TGridAxisDrawInfo& Axis, int Extent) {
    Axis.GridExtent = Extent;
    Axis.GridBoundary = Axis.FixedBoundary;
    Axis.FullVisBoundary = Axis.FixedBoundary;
    Axis.LastFullVisibleCell = Axis.FirstGridCell;
    for (int i = Axis.FirstGridCell; i < Axis.GridCellCount; ++i) {
      Axis.GridBoundary += Axis.Extent(i);
      if (Axis.GridBoundary > Axis.GridExtent + Axis.EffectiveLineWidth) {
        Axis.GridBoundary = Axis.GridExtent;
        break;
      }
      Axis.LastFullVisibleCell = i;
      Axis.FullVisBoundary = Axis.GridBoundary;
    }
    Axis.GridBoundary = std::min(Axis.GridBoundary, Axis.GridExtent);
  };
  calcAxis(DrawInfo.Horz, UseWidth);
  calcAxis(DrawInfo.Vert, UseHeight);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& DrawInfo) {
  TRect client = ClientRect();
  CalcDrawInfoXY(DrawInfo, client.Width(), client.Height());
}

TGridCoord TCustomGrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo) {
  TGridCoord c{CellAt(DrawInfo.Horz, X), CellAt(DrawInfo.Vert, Y)};
  if (X >= DrawInfo.Horz.GridBoundary) c.X = -1;
  if (Y >= DrawInfo.Vert.GridBoundary) c.Y = -1;
  return c;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord c = CalcCoordFromPoint(X, Y, info);
  if (c.X < 0 || c.Y < 0) return {-1, -1};
  return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) {
  TGridCoord c = MouseCoord(X, Y);
  ACol = c.X;
  ARow = c.Y;
}

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TRect r;
  if (!AxisSpan(info.Horz, std::min(ALeft, ARight), std::max(ALeft, ARight), r.Left, r.Right) ||
      !AxisSpan(info.Vert, std::min(ATop, ABottom), std::max(ATop, ABottom), r.Top, r.Bottom))
    return {};
  return r;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) { return BoxRect(ACol, ARow, ACol, ARow); }

void TCustomGrid::InvalidateScreenRect(TRect R) {
  if (!HandleAllocated() || R.IsEmpty()) return;
  ::InvalidateRect(Handle(), &R, FALSE);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateGridRect({ACol, ARow, ACol, ARow}); }

void TCustomGrid::InvalidateRow(int ARow) {
  if (!HandleAllocated()) return;
  TRect r = CellRect(0, ARow);
  r.Left = 0;
  r.Right = ClientWidth();
  InvalidateScreenRect(r);
}

void TCustomGrid::InvalidateCol(int ACol) {
  if (!HandleAllocated()) return;
  TRect r = CellRect(ACol, 0);
  r.Top = 0;
  r.Bottom = ClientHeight();
  InvalidateScreenRect(r);
}

void TCustomGrid::InvalidateGridRect(const TGridRect& ARect) {
  if (!HandleAllocated()) return;
  TRect r = BoxRect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
  // The lines round the block carry the focus frame's neighbourhood too.
  InflateRect(&r, FGridLineWidth, FGridLineWidth);
  InvalidateScreenRect(r);
}

int TCustomGrid::ResizeLine(const TGridAxisDrawInfo& Axis) {
  int start = -1, stop = -1;
  if (!AxisSpan(Axis, FSizingIndex, FSizingIndex, start, stop)) return -1;
  return FSizingPos - start;
}

// -- scroll bars --

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingScrollBars) return;
  FUpdatingScrollBars = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FUpdatingScrollBars};
  bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
  bool horz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  TGridDrawInfo info;
  TGridCoord most;
  // Showing or hiding one bar changes the room for the cells, so the ranges are set again
  // until the client area stays the same.
  for (int pass = 0; pass < 3; ++pass) {
    TRect before = ClientRect();
    CalcDrawInfo(info);
    most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
    auto setBar = [&](int Bar, int Fixed, int Count, int MaxFirst, int First) {
      SCROLLINFO si;
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      si.nMax = Count - Fixed - 1;
      si.nPage = static_cast<UINT>(std::max(1, Count - MaxFirst));
      si.nPos = std::clamp(First, Fixed, MaxFirst) - Fixed;
      SetScrollInfo(Handle(), Bar, &si, TRUE);
    };
    if (vert) setBar(SB_VERT, FFixedRows, FRowCount, most.Y, FTopLeft.Y);
    if (horz) setBar(SB_HORZ, FFixedCols, FColCount, most.X, FTopLeft.X);
    if (ClientRect() == before) break;
  }
  CalcDrawInfo(info);
  most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
  int left = std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, most.X));
  int top = std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, most.Y));
  if (left != FTopLeft.X || top != FTopLeft.Y) {
    FUpdatingScrollBars = false;
    MoveTopLeft(left, top);
  }
}

void TCustomGrid::UpdateScrollPos() {
  if (!HandleAllocated()) return;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) SetScrollPos(Handle(), SB_VERT, FTopLeft.Y - FFixedRows, TRUE);
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
    SetScrollPos(Handle(), SB_HORZ, FTopLeft.X - FFixedCols, TRUE);
}

void TCustomGrid::ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
  bool vertical = ScrollBar == SB_VERT;
  const TGridAxisDrawInfo& axis = vertical ? info.Vert : info.Horz;
  int fixed = vertical ? FFixedRows : FFixedCols;
  int maxFirst = std::max(fixed, vertical ? most.Y : most.X);
  int old = vertical ? FTopLeft.Y : FTopLeft.X;
  int page = std::max(1, axis.LastFullVisibleCell - old);
  int value = old;
  switch (ScrollCode) {
    case SB_LINEUP: value = old - 1; break;
    case SB_LINEDOWN: value = old + 1; break;
    case SB_PAGEUP: value = old - page; break;
    case SB_PAGEDOWN: value = old + page; break;
    case SB_THUMBTRACK:
      if (!FOptions.Contains(goThumbTracking)) return;
      value = fixed + Pos;
      break;
    case SB_THUMBPOSITION: value = fixed + Pos; break;
    case SB_TOP: value = fixed; break;
    case SB_BOTTOM: value = maxFirst; break;
    default: return;
  }
  value = std::clamp(value, fixed, maxFirst);
  if (vertical) MoveTopLeft(FTopLeft.X, value);
  else MoveTopLeft(value, FTopLeft.Y);
}

void TCustomGrid::WMVScroll(TMessage& Message) {
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(Handle(), SB_VERT, &si);
  ModifyScrollBar(SB_VERT, LOWORD(Message.WParam), si.nTrackPos);
  Message.Result = 0;
}

void TCustomGrid::WMHScroll(TMessage& Message) {
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(Handle(), SB_HORZ, &si);
  ModifyScrollBar(SB_HORZ, LOWORD(Message.WParam), si.nTrackPos);
  Message.Result = 0;
}

// -- window --

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (Value == FOptions) return;
  if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
  FOptions = Value;
  if (!FEditorMode) {
    if (FOptions.Contains(goAlwaysShowEditor)) ShowEditor();
    else HideEditor();
  }
  if (FOptions.Contains(goRowSelect)) HideEditor();
  FAnchor = FCurrent;
  if (FOptions.Contains(goRowSelect)) {
    FCurrent.X = FFixedCols;
    FAnchor.X = FColCount - 1;
  }
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  if (HandleAllocated()) {
    bool vert = Value == ssVertical || Value == ssBoth;
    bool horz = Value == ssHorizontal || Value == ssBoth;
    if (!vert) ShowScrollBar(Handle(), SB_VERT, FALSE);
    if (!horz) ShowScrollBar(Handle(), SB_HORZ, FALSE);
    UpdateScrollRange();
  }
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
  if (Value == FDefaultDrawing) return;
  FDefaultDrawing = Value;
  InvalidateGrid();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  InvalidateGrid();
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

void TCustomGrid::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_TIMER: WMTimer(Message); return;
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
    case CM_CANCELMODE: CMCancelMode(Message); return;
    case CM_WANTSPECIALKEY:
      // Enter goes to the grid (the editor's toggle), not to a default button.
      if (Message.WParam == VK_RETURN && FOptions.Contains(goEditing)) {
        Message.Result = 1;
        return;
      }
      break;
  }
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::WMCommandReflect(TMessage& Message) {
  if (Message.LParam == 0 && Message.Msg == WM_VSCROLL) {
    WMVScroll(Message);
    return;
  }
  if (Message.LParam == 0 && Message.Msg == WM_HSCROLL) {
    WMHScroll(Message);
    return;
  }
  // The editor's text goes to the cell as it is typed.
  if (Message.Msg == WM_COMMAND && HIWORD(Message.WParam) == EN_CHANGE && Message.LParam != 0 &&
      reinterpret_cast<HWND>(Message.LParam) == InplaceWindow())
    UpdateText();
  TCustomControl::WMCommandReflect(Message);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS;
  if (FOptions.Contains(goRowSelect)) return;
  if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  UpdateScrollRange();
  if (FEditorMode) UpdateEdit();
}

void TCustomGrid::WMSetCursor(TMessage& Message) {
  TGridState state = gsNormal;
  if (static_cast<int16_t>(LOWORD(Message.LParam)) == HTCLIENT) {
    if (FGridState == gsNormal) {
      TPoint p;
      GetCursorPos(&p);
      p = ScreenToClient(p);
      TGridDrawInfo info;
      CalcDrawInfo(info);
      int index, pos, ofs;
      CalcSizingState(p.X, p.Y, state, index, pos, ofs, info);
    } else {
      state = FGridState;
    }
  }
  if ((state == gsRowSizing || state == gsColSizing) && Screen) {
    ::SetCursor(Screen->Cursors(state == gsRowSizing ? crVSplit : crHSplit));
    Message.Result = 1;
    return;
  }
  TCustomControl::WMSetCursor(Message);
}

void TCustomGrid::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  if (!FInplaceEdit || reinterpret_cast<HWND>(Message.WParam) != InplaceWindow()) {
    InvalidateGridRect(Selection());
    UpdateEdit();
  }
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  InvalidateGridRect(Selection());
}

void TCustomGrid::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TCustomGrid::WMCancelMode(TMessage& Message) {
  CancelMouseMode();
  TCustomControl::WMCancelMode(Message);
}

void TCustomGrid::CMCancelMode(TMessage& Message) {
  if (reinterpret_cast<TControl*>(Message.LParam) != this) CancelMouseMode();
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  InvalidateGrid();
}

// ---- TDrawGrid ----

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
  if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
  if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

std::string TDrawGrid::GetEditMask(int ACol, int ARow) {
  std::string mask;
  if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, mask);
  return mask;
}

std::string TDrawGrid::GetEditText(int ACol, int ARow) {
  std::string text;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, text);
  return text;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

// ---- TStringGrid ----

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
  FCells.assign(RowCount(), std::vector<std::string>(ColCount()));
}

void TStringGrid::CheckCell(int ACol, int ARow) const {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) InvalidOp(SIndexOutOfRange);
}

std::string TStringGrid::Cells(int ACol, int ARow) const {
  CheckCell(ACol, ARow);
  return FCells[ARow][ACol];
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
  CheckCell(ACol, ARow);
  if (FCells[ARow][ACol] == Value) return;
  FCells[ARow][ACol] = Value;
  InvalidateCell(ACol, ARow);
  if (ACol == FInplaceCol && ARow == FInplaceRow) InvalidateEditor();
}

void TStringGrid::SizeChanged(int, int) {
  FCells.resize(RowCount());
  for (auto& row : FCells) row.resize(ColCount());
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
  for (auto& row : FCells) MoveItem(row, FromIndex, ToIndex);
  TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
  MoveItem(FCells, FromIndex, ToIndex);
  TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, FCells[ARow][ACol]);
  TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
  std::string text = FCells[ARow][ACol];
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, text);
  return text;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
  // Straight into the cell: SetCells would load the editor again while it is being typed in.
  CheckCell(ACol, ARow);
  if (FCells[ARow][ACol] != Value) {
    FCells[ARow][ACol] = Value;
    InvalidateCell(ACol, ARow);
  }
  TDrawGrid::SetEditText(ACol, ARow, Value);
}

// ---- published properties ----

static const classes::TPublished<TCustomGrid, TCustomControl> CustomGridInfo;

static const classes::TPublished<TDrawGrid, TCustomGrid> DrawGridInfo([](classes::TPublisher<TDrawGrid>& p) {
  p.Enum("BorderStyle", &TDrawGrid::BorderStyle, &TDrawGrid::SetBorderStyle).Default(bsSingle);
  p.Int("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount).Default(5);
  p.Int("DefaultColWidth", &TDrawGrid::DefaultColWidth, &TDrawGrid::SetDefaultColWidth).Default(64);
  p.Int("DefaultRowHeight", &TDrawGrid::DefaultRowHeight, &TDrawGrid::SetDefaultRowHeight).Default(24);
  p.Bool("DefaultDrawing", &TDrawGrid::DefaultDrawing, &TDrawGrid::SetDefaultDrawing).Default(true);
  p.Int("FixedColor", &TDrawGrid::FixedColor, &TDrawGrid::SetFixedColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols).Default(1);
  p.Int("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows).Default(1);
  p.Int("GridLineWidth", &TDrawGrid::GridLineWidth, &TDrawGrid::SetGridLineWidth).Default(1);
  p.template Set<TGridOption>("Options", &TDrawGrid::Options, &TDrawGrid::SetOptions).Default(GridOptionsDefault);
  p.Int("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount).Default(5);
  p.Enum("ScrollBars", &TDrawGrid::ScrollBars, &TDrawGrid::SetScrollBars).Default(ssBoth);
  p.Event("OnDrawCell", &TDrawGrid::OnDrawCell);
  p.Event("OnSelectCell", &TDrawGrid::OnSelectCell);
  p.Event("OnTopLeftChanged", &TDrawGrid::OnTopLeftChanged);
  p.Event("OnGetEditText", &TDrawGrid::OnGetEditText);
  p.Event("OnSetEditText", &TDrawGrid::OnSetEditText);
  p.Event("OnColumnMoved", &TDrawGrid::OnColumnMoved);
  p.Event("OnRowMoved", &TDrawGrid::OnRowMoved);
});

static const classes::TPublished<TStringGrid, TDrawGrid> StringGridInfo;
