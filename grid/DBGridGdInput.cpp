// The grid's keyboard and mouse: keys move the dataset and the current column, Shift and Ctrl
// extend the row, rectangle and column selections, Down at the end appends, Ctrl+Delete asks
// and deletes; presses take the focus first, select rows from their anchor, press titles and
// step check cells on release; OnMouseDown, OnMouseMove and OnCellClick fire after the grid's
// own handling.
#include "grid/DBGridGd.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/controls/Dialogs.h"
#include "platform/os/Input.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TDBGridGdAllowedOperation) {
  static const classes::TEnumInfo info{"TDBGridGdAllowedOperation",
                                       {"alopInsertGd", "alopUpdateGd", "alopDeleteGd", "alopAppendGd"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TDBGridGdEditAction) {
  static const classes::TEnumInfo info{"TDBGridGdEditAction",
                                       {"geaCutGd", "geaCopyGd", "geaPasteGd", "geaDeleteGd", "geaSelectAllGd"}};
  return info;
}

namespace grid {
TShortCut IncSearchShortCut = ShortCut('F', {ssCtrl});
TShortCut FindDialogShortCut = ShortCut('F', {ssCtrl});
TShortCut SearchNextShortCut = ShortCut(VK_RETURN, {ssCtrl});
TShortCut SearchPriorShortCut = ShortCut(VK_RETURN, {ssCtrl, ssShift});
TShortCut CopyFromPreviousShortCut = ShortCut(222, {ssCtrl});

namespace {
// Holds the grid's update lock for a scope; painting held back meanwhile is done at the end.
class TUpdateLockScope {
 public:
  explicit TUpdateLockScope(TCustomDBGridGd& Grid) : FGrid(Grid) { FGrid.LockUpdate(); }
  ~TUpdateLockScope() {
    FGrid.UnlockUpdate();
    if (FGrid.UpdateLock() == 0 && FGrid.HandleAllocated()) FGrid.Update();
  }
  TUpdateLockScope(const TUpdateLockScope&) = delete;
  TUpdateLockScope& operator=(const TUpdateLockScope&) = delete;

 private:
  TCustomDBGridGd& FGrid;
};

// Sets a flag for a scope.
class TFlagScope {
 public:
  explicit TFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~TFlagScope() { FFlag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& FFlag;
};

bool IsCheckOrImage(TColumnGd* Column) {
  return Column && (Column->CellKind() == ckImage || Column->CellKind() == ckCheckbox);
}
}  // namespace
}  // namespace grid

// ---- what may be done ----

bool TCustomDBGridGd::CanSelectRows() const {
  return FOptions.Contains(dgMultiSelect) && FAllowedSelections.Contains(gstRecordBookmarks);
}

bool TCustomDBGridGd::CanSelectRectangle() const {
  return FOptions.Contains(dgMultiSelect) && FAllowedSelections.Contains(gstRectangle) &&
         !FOptions.Contains(dgRowSelect);
}

bool TCustomDBGridGd::CanModifyDataSet() const {
  TDataSet* dataSet = FDataLink->DataSet();
  return FDataLink->Active() && dataSet && dataSet->CanModify() && !FReadOnly && !FDataLink->ReadOnly();
}

bool TCustomDBGridGd::TryAcquireFocus() {
  if (HasState(csDesigning)) return true;
  if (!CanFocus() && GetParentForm(this)) return false;
  if (!Focused()) SetFocus();
  if (!IsActiveControl()) {
    SetMouseCapture(false);
    return false;
  }
  return true;
}

// ---- selection steps ----

void TCustomDBGridGd::ClearSelectionIfAllowed() {
  const bool clear = FOptionsGd.Contains(dghClearSelection);
  if (FOptions.Contains(dgMultiSelect) && clear) FSelectedRows->Clear();
  FAnchorSet = false;
  if (FSelection->SelectionType() != gstNon && clear) {
    FSelection->Clear();
    Invalidate();
    InvalidateEditor();
  }
}

void TCustomDBGridGd::SetRowAnchor() {
  TDataSet* dataSet = FDataLink->DataSet();
  FAnchor = dataSet->Bookmark();
  FAnchorWasSelected = FSelectedRows->GetCurrentRowSelected();
  FAnchorSet = true;
}

void TCustomDBGridGd::MarkCurrentRow() { FSelectedRows->SetCurrentRowSelected(FInvertMode ? !FAnchorWasSelected : true); }

void TCustomDBGridGd::MoveWithSelection(bool Extend, int Distance, bool RowsMode, bool ToEnd) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet || Distance == 0) return;
  grid::TUpdateLockScope lock(*this);
  if (RowsMode || FOptions.Contains(dgRowSelect)) {
    const bool selectable = Extend && CanSelectRows();
    const int step = Distance < 0 ? -1 : 1;
    int remaining = ToEnd ? INT_MAX : std::abs(Distance);
    if (FAnchorSet && !dataSet->BookmarkValid(FAnchor)) FAnchorSet = false;
    while (remaining-- > 0) {
      bool marks = false;
      if (FOptions.Contains(dgMultiSelect)) {
        if (!selectable) {
          ClearSelectionIfAllowed();
        } else if (FAnchorSet) {
          const int side = dataSet->CompareBookmarks(dataSet->Bookmark(), FAnchor);
          if ((side > 0 && step < 0) || (side < 0 && step > 0))
            FSelectedRows->SetCurrentRowSelected(FInvertMode && FAnchorWasSelected);
          else
            marks = true;
        } else {
          SetRowAnchor();
          MarkCurrentRow();
          marks = true;
        }
      }
      if (dataSet->MoveBy(step) == 0) break;
      if (marks) MarkCurrentRow();
    }
    return;
  }
  if (Extend && CanSelectRectangle()) {
    TDBGridGdSelectionRect* rect = FSelection->Rect();
    if (FSelection->SelectionType() != gstRectangle) rect->MarkSelected(SelectedIndex(), dataSet->Bookmark(), false);
    if (ToEnd && Distance == 1) dataSet->Last();
    else if (ToEnd && Distance == -1) dataSet->First();
    else dataSet->MoveBy(Distance);
    rect->MarkSelected(SelectedIndex(), dataSet->Bookmark(), true);
    return;
  }
  dataSet->MoveBy(Distance);
}

void TCustomDBGridGd::MoveDownOrAppend(bool Extend) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet) return;
  if (dataSet->State() == dsInsert && !dataSet->Modified()) {
    if (dataSet->InsertingAtEnd()) return;
    dataSet->Cancel();
  } else if (Extend) {
    MoveWithSelection(true, 1, !FAllowedSelections.Contains(gstRectangle), false);
  } else {
    MoveWithSelection(false, 1, true, false);
  }
  if (dataSet->Eof() && dataSet->State() == dsBrowse && CanModifyDataSet() && FOptions.Contains(dgEditing) &&
      FAllowedOperations.Contains(alopAppendGd))
    dataSet->Append();
}

void TCustomDBGridGd::MoveUp(bool Extend) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet) return;
  if (dataSet->State() == dsInsert && !dataSet->Modified() && dataSet->InsertingAtEnd()) {
    dataSet->Cancel();
    return;
  }
  if (Extend) MoveWithSelection(true, -1, !FAllowedSelections.Contains(gstRectangle), false);
  else MoveWithSelection(false, -1, true, false);
}

void TCustomDBGridGd::TabToNextColumn(bool Forward) {
  const int count = ColCount() - FIndicatorOffset;
  if (count <= 0 || !FDataLink->Active()) return;
  ClearSelectionIfAllowed();
  grid::TUpdateLockScope lock(*this);
  const int start = std::clamp(SelectedIndex(), 0, count - 1);
  int column = start;
  do {
    column += Forward ? 1 : -1;
    if (column >= count) {
      MoveDownOrAppend(false);
      column = 0;
    } else if (column < 0) {
      MoveUp(false);
      column = count - 1;
    }
    if (column == start) return;
  } while (!TabStops(column + FIndicatorOffset) || ColWidths(column + FIndicatorOffset) < 1);
  SelectDataColumn(column, 0, false);
}

void TCustomDBGridGd::SelectDataColumn(int Column, int Direction, bool Extend) {
  const int count = ColCount() - FIndicatorOffset;
  if (count <= 0) return;
  TDataSet* dataSet = FDataLink->DataSet();
  const bool rectangle = Extend && CanSelectRectangle() && FDataLink->Active() && dataSet;
  if (rectangle && FSelection->SelectionType() != gstRectangle)
    FSelection->Rect()->MarkSelected(SelectedIndex(), dataSet->Bookmark(), false);
  if (FDataLink->Active()) FDataLink->UpdateRecord();
  Column = std::clamp(Column, 0, count - 1);
  if (Direction != 0)
    while (ColWidths(Column + FIndicatorOffset) < 1) {
      Column += Direction;
      if (Column < 0 || Column >= count) return;
    }
  if (Column != SelectedIndex()) {
    if (FInColExit) return;
    const int before = Col();
    {
      grid::TFlagScope inExit(FInColExit);
      ColExit();
    }
    if (Col() != before) return;
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    if (!FOptions.Contains(dgRowSelect)) {
      grid::TFlagScope exitDone(FColExitDone);
      MoveColRow(Column + FIndicatorOffset, Row(), true, true);
    }
    ColEnter();
  }
  if (rectangle) FSelection->Rect()->MarkSelected(SelectedIndex(), dataSet->Bookmark(), true);
  StopIncSearch();
}

bool TCustomDBGridGd::ConfirmDelete() {
  const std::string question = FSelectedRows->GetCount() < 2 ? "Delete record?" : "Delete all selected records?";
  if (!FOptions.Contains(dgConfirmDelete)) return true;
  return MessageDlg(question, mtConfirmation, mbOKCancel, 0) != mrCancel;
}

void TCustomDBGridGd::CopyFromPreviousRecord() {
  TColumnGd* column = SelectedField();
  if (!FDataLink->Active() || FDataLink->ActiveRecord() <= 0 || !column || !column->Field()) return;
  TField* field = column->Field();
  const bool lookup = field->FieldKind() == fkLookup && !field->KeyFields().empty();
  Variant value;
  {
    const TActiveRecordScope above(*FDataLink, FDataLink->ActiveRecord() - 1);
    value = lookup ? field->DataSet()->FieldValues(field->KeyFields()) : field->AsVariant();
  }
  if (!column->CanModifyCell(true)) return;
  ClearSelectionIfAllowed();
  column->WriteCellValue("", value, false);
}

// ---- keys ----

void TCustomDBGridGd::KeyDown(WORD& Key, TShiftState Shift) {
  FInvertMode = Shift.Contains(ssCtrl) || !FOptionsGd.Contains(dghClearSelection);
  TCustomControl::KeyDown(Key, Shift);  // OnKeyDown first
  if (Key == 0) return;
  if (UseRightToLeftAlignment()) {
    if (Key == VK_LEFT) Key = VK_RIGHT;
    else if (Key == VK_RIGHT) Key = VK_LEFT;
  }
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet || !CanGridAcceptKey(Key, Shift)) return;
  const TShortCut shortCut = ShortCut(Key, Shift);
  if (shortCut == grid::CopyFromPreviousShortCut) {
    CopyFromPreviousRecord();
    Key = 0;
    return;
  }
  if (shortCut == grid::IncSearchShortCut && FOptionsGd.Contains(dghIncSearch)) {
    if (FIncSearchActive && FOptionsGd.Contains(dghDialogFind) && grid::FindDialogShortCut == shortCut) {
      StopIncSearch();
      OpenFindDialog();
    } else {
      IncSearchStep("", -1, 0);
    }
    Key = 0;
    return;
  }
  if (shortCut == grid::FindDialogShortCut && FOptionsGd.Contains(dghDialogFind)) {
    OpenFindDialog();
    Key = 0;
    return;
  }
  if (FIncSearchActive && IncSearchKeyDown(Key, Shift)) {
    Key = 0;
    return;
  }
  if (Shift.Contains(ssCtrl)) KeyDownWithCtrl(Key, Shift);
  else KeyDownPlain(Key, Shift);
  if (Key == VK_DELETE && !Shift.Contains(ssCtrl)) DeleteByKey();
}

void TCustomDBGridGd::KeyDownPlain(WORD& Key, TShiftState Shift) {
  TDataSet* dataSet = FDataLink->DataSet();
  const bool extend = Shift.Contains(ssShift);
  const bool multi = FOptions.Contains(dgMultiSelect);
  const bool rowSelect = FOptions.Contains(dgRowSelect);
  const int dataCols = ColCount() - FIndicatorOffset;
  switch (Key) {
    case VK_TAB:
      if (Shift.Contains(ssAlt)) return;
      TabToNextColumn(!extend);
      break;
    case VK_RETURN:
      if (!FOptionsGd.Contains(dghEnterAsTab)) return;
      TabToNextColumn(!extend);
      break;
    case VK_ESCAPE:
      FDataLink->Reset();
      ClearSelectionIfAllowed();
      if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
      if (FGridState != gsNormal || FMouseTrackMode == 6 || FMouseTrackMode == 7) Perform(WM_CANCELMODE, 0, 0);
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      const int rows = Key == VK_NEXT ? VisibleDataRowCount() : -VisibleDataRowCount();
      if (extend && multi) {
        MoveWithSelection(true, rows, !FAllowedSelections.Contains(gstRectangle), false);
      } else {
        ClearSelectionIfAllowed();
        MoveBy(rows);
      }
      break;
    }
    case VK_END:
    case VK_HOME: {
      const bool end = Key == VK_END;
      if (dataCols > 1 && !rowSelect) {
        SelectDataColumn(end ? dataCols - 1 : 0, end ? -1 : 1, extend && multi);
      } else if (extend && multi) {
        MoveWithSelection(true, end ? 1 : -1, false, true);
      } else {
        ClearSelectionIfAllowed();
        if (end) dataSet->Last();
        else dataSet->First();
      }
      break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
      const int step = Key == VK_RIGHT ? 1 : -1;
      if (rowSelect) {
        if (step < 0 && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
        else if (step > 0 && LeftCol() + VisibleColCount() < ColCount()) SetLeftCol(LeftCol() + 1);
      } else if (extend && multi) {
        SelectDataColumn(SelectedIndex() + step, step, true);
      } else {
        ClearSelectionIfAllowed();
        SelectDataColumn(SelectedIndex() + step, step, false);
      }
      break;
    }
    case VK_UP: MoveUp(extend); break;
    case VK_DOWN: MoveDownOrAppend(extend); break;
    case VK_INSERT:
      if (extend) {
        if (FIncSearchActive) PasteIntoIncSearch();
      } else if (CanModifyDataSet() && FOptions.Contains(dgEditing)) {
        ClearSelectionIfAllowed();
        if (FAllowedOperations.Contains(alopInsertGd)) dataSet->Insert();
        else if (FAllowedOperations.Contains(alopAppendGd)) dataSet->Append();
      }
      break;
    case VK_F2: SetEditorMode(true); break;
    default: return;
  }
  if (Key != VK_DELETE) Key = 0;
}

void TCustomDBGridGd::KeyDownWithCtrl(WORD& Key, TShiftState Shift) {
  TDataSet* dataSet = FDataLink->DataSet();
  const bool extend = Shift.Contains(ssShift) && FOptions.Contains(dgMultiSelect);
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN:
      if (!Shift.Contains(ssShift)) ClearSelectionIfAllowed();
      break;
    default: break;
  }
  switch (Key) {
    case VK_PRIOR:
    case VK_UP: {
      const int distance = -FDataLink->ActiveRecord();
      if (extend) MoveWithSelection(true, distance, false, false);
      else MoveBy(distance);
      break;
    }
    case VK_NEXT:
    case VK_DOWN: {
      const int distance = FDataLink->RecordCount() - FDataLink->ActiveRecord() - 1;
      if (extend) MoveWithSelection(true, distance, false, false);
      else MoveBy(distance);
      break;
    }
    case VK_END:
      if (extend) MoveWithSelection(true, 1, false, true);
      else dataSet->Last();
      break;
    case VK_HOME:
      if (extend) MoveWithSelection(true, -1, false, true);
      else dataSet->First();
      break;
    case VK_LEFT: SelectDataColumn(0, 1, false); break;
    case VK_RIGHT: SelectDataColumn(ColCount() - FIndicatorOffset - 1, -1, false); break;
    case VK_DELETE:
      if (FEditActions.Contains(geaDeleteGd) && FSelection->SelectionType() == gstRecordBookmarks &&
          FSelectedRows->GetCount() > 0) {
        if (CanModifyDataSet() && !dataSet->IsEmpty() && FAllowedOperations.Contains(alopDeleteGd))
          FSelectedRows->Delete();
      } else if (CanModifyDataSet() && !dataSet->IsEmpty() && FAllowedOperations.Contains(alopDeleteGd)) {
        if (ConfirmDelete()) {
          if (FSelectedRows->GetCount() == 0) dataSet->Delete();
          else FSelectedRows->Delete();
        }
      }
      break;
    case 'A':
      if (FEditActions.Contains(geaSelectAllGd) && !dataSet->IsEmpty() && FAllowedSelections.Contains(gstAll))
        FSelection->SelectAll();
      break;
    case 'V':
      if (FIncSearchActive) PasteIntoIncSearch();
      break;
    default: return;
  }
  Key = 0;
}

void TCustomDBGridGd::DeleteByKey() {
  TColumnGd* column = SelectedField();
  if (FOptions.Contains(dgRowSelect) || !grid::IsCheckOrImage(column)) return;
  TField* field = column->Field();
  if (!field || field->Required() || !column->CanModifyCell(true)) return;
  column->WriteCellValue("", Variant(), false);
}

// The search runs instead of the editor when typing should look for a record.
bool TCustomDBGridGd::TypingSearches() {
  if (FIncSearchActive) return true;
  TColumnGd* column = SelectedField();
  if (FOptionsGd.Contains(dghIncSearch) &&
      (!FOptions.Contains(dgEditing) || !column || !column->CanModifyCell(false)))
    return true;
  return FOptionsGd.Contains(dghPreferIncSearch) && !FOptions.Contains(dgAlwaysShowEditor) && !EditorMode();
}

void TCustomDBGridGd::KeyPress(char32_t& Key) {
  if (FOptionsGd.Contains(dghEnterAsTab) && Key == U'\r') Key = U'\t';
  if (!FOptions.Contains(dgAlwaysShowEditor) && Key == U'\r' && FDataLink->Active()) FDataLink->UpdateRecord();
  TCustomGrid::KeyPress(Key);
  if (Key == 0 || Key <= 31 || !TypingSearches() || !FDataLink->Active()) return;
  TDataSet* dataSet = FDataLink->DataSet();
  if (dataSet->State() == dsEdit || dataSet->State() == dsInsert || dataSet->State() == dsSetKey) return;
  std::string typed = FPressedChars;
  if (typed.empty()) rtl::AppendUtf8(typed, Key);
  IncSearchStep(typed, FIncSearchActive ? FIncSearchTimeout : grid::IncSearchTimeout, 0);
  Key = 0;
}

void TCustomDBGridGd::WMChar(TMessage& Message) {
  const char32_t ch = static_cast<char32_t>(Message.WParam);
  FPressedChars.clear();
  rtl::AppendUtf8(FPressedChars, ch);
  struct TClear {
    std::string& Chars;
    ~TClear() { Chars.clear(); }
  } clear{FPressedChars};
  TColumnGd* column = SelectedField();
  if (ch == U' ' && !FOptions.Contains(dgRowSelect) && grid::IsCheckOrImage(column) && FDataLink->Active()) {
    if (!DoKeyPress(Message)) column->StepCellValue(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    return;
  }
  if ((ch == U'\b' || ch > 31) && TypingSearches()) {
    DoKeyPress(Message);
    return;
  }
  TCustomGrid::WMChar(Message);
}

void TCustomDBGridGd::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FOptions.Contains(dgTabs)) Message.Result |= DLGC_WANTTAB;
}

// ---- the mouse ----

TRect TCustomDBGridGd::DataArea() {
  const int rows = std::max(1, std::min(VisibleDataRowCount(), std::max(1, FDataLink->RecordCount())));
  TGridDrawInfo info;
  CalcDrawInfo(info);
  const TRect lastRow = CellRect(0, FTitleOffset + rows - 1);
  return {info.Horz.FixedBoundary, info.Vert.FixedBoundary, info.Horz.GridBoundary,
          lastRow.IsEmpty() ? info.Vert.GridBoundary : lastRow.Bottom};
}

bool TCustomDBGridGd::CheckTitleButton(int ACol, TColumnGd* Column) {
  bool enabled = Column->Title()->TitleButton();
  if (OnCheckButton) OnCheckButton(this, ACol, Column, enabled);
  return enabled;
}

void TCustomDBGridGd::TitleBtnClick(int ACol, TColumnGd* Column) {
  if (OnTitleBtnClick) OnTitleBtnClick(this, ACol, Column);
}

void TCustomDBGridGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbRight) SetMouseCapture(true);
  FClickedCheckCell = {-1, -1};
  FPressPoint = {X, Y};
  if (!TryAcquireFocus()) return;
  const TGridCoord cell = MouseCoord(X, Y);
  const int dataCol = cell.X - FIndicatorOffset;
  TColumnGd* column = dataCol >= 0 && dataCol < FColumns->Count() ? FColumns->Items(dataCol) : nullptr;
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    const int dataRow = cell.Y - FTitleOffset;
    if (column && dataRow >= 0 && dataRow < FDataLink->RecordCount() && grid::IsCheckOrImage(column) &&
        column->DblClickNextVal())
      column->StepCellValue(Shift.Contains(ssShift) ? -1 : 1);
    DblClick();
    TControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  if (Button == mbLeft && FOptions.Contains(dgColumnResize) && Sizing(X, Y)) {
    if (FDataLink->Active()) FDataLink->UpdateRecord();
    if (FOptionsGd.Contains(dghTraceColSizing)) {
      TGridDrawInfo info;
      CalcDrawInfo(info);
      CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, info);
      FLiveSizing = FGridState == gsColSizing;
      if (!FLiveSizing) FGridState = gsNormal;
      return;
    }
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  if (cell.Y >= 0 && cell.Y < FTitleOffset && cell.X >= 0) {
    if (MouseDownOnTitle(Button, Shift, cell)) return;
  } else if (cell.Y >= FTitleOffset && cell.X >= 0 && cell.Y - FTitleOffset < std::max(1, FDataLink->RecordCount())) {
    if (!FDataLink->Active()) {
      TControl::MouseDown(Button, Shift, X, Y);
      return;
    }
    MouseDownOnData(Button, Shift, cell);
  }
  TControl::MouseDown(Button, Shift, X, Y);
}

// True when the press is handled to its end (no OnMouseDown).
bool TCustomDBGridGd::MouseDownOnTitle(TMouseButton Button, TShiftState Shift, TGridCoord Cell) {
  const int dataCol = Cell.X - FIndicatorOffset;
  TColumnGd* column = dataCol >= 0 && dataCol < FColumns->Count() ? FColumns->Items(dataCol) : nullptr;
  if (column && !HasState(csDesigning)) {
    if (Button == mbRight && FOptions.Contains(dgColumnResize)) {
      FRightTitlePressed = true;
      Button = mbLeft;
    }
    if (Button == mbLeft && CheckTitleButton(dataCol, column)) {
      if (!MouseCapture()) SetMouseCapture(true);
      FPressedCell = Cell;
      FTitlePressed = true;
      InvalidateCell(Cell.X, Cell.Y);
      return true;
    }
  }
  if (HasState(csDesigning) || FOptions.Contains(dgColumnResize)) {
    if (Cell.X == 0 && FIndicatorOffset > 0 && FOptions.Contains(dgMultiSelect) && FDataLink->Active() &&
        FAllowedSelections.Contains(gstAll)) {
      if (FSelection->SelectionType() != gstNon) FSelection->Clear();
      else FSelection->SelectAll();
    }
    if (FDataLink->Active()) FDataLink->UpdateRecord();
    Canvas()->Pen()->SetColor(clSilver);
    TCustomGrid::MouseDown(Button, Shift, FPressPoint.X, FPressPoint.Y);
    return true;
  }
  return false;
}

void TCustomDBGridGd::MouseDownOnData(TMouseButton Button, TShiftState Shift, TGridCoord Cell) {
  TDataSet* dataSet = FDataLink->DataSet();
  const int dataCol = Cell.X - FIndicatorOffset;
  const int dataRow = Cell.Y - FTitleOffset;
  const bool onIndicator = Cell.X < FIndicatorOffset;
  const bool multi = FOptions.Contains(dgMultiSelect);
  const bool rowSelect = FOptions.Contains(dgRowSelect);
  const bool shiftSelects = Shift.Contains(ssShift) && multi && (rowSelect || onIndicator);
  const TGridCoord oldCell{Col(), Row()};
  const TBookmark oldBookmark = dataSet->Bookmark();
  {
    grid::TUpdateLockScope lock(*this);
    if (FDataLink->Active()) FDataLink->UpdateRecord();
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    if (!shiftSelects) MoveBy(dataRow - FDataLink->ActiveRecord());
    if (!onIndicator) SelectDataColumn(dataCol, 0, false);
  }
  const bool rectangle = CanSelectRectangle() && !dataSet->IsEmpty();
  if ((!multi || !rowSelect) && !onIndicator && MouseCapture()) {
    FCellTracking = true;
    if (!Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && FOptionsGd.Contains(dghClearSelection)) {
      const bool hitSelected = FSelection->DataCellSelected(dataCol, dataSet->Bookmark());
      if (Button == mbLeft || !hitSelected) ClearSelectionIfAllowed();
    }
    if (Button == mbLeft && rectangle) {
      TDBGridGdSelectionRect* rect = FSelection->Rect();
      if (Shift.Contains(ssShift)) {
        if (FSelection->SelectionType() != gstRectangle)
          rect->MarkSelected(oldCell.X - FIndicatorOffset, oldBookmark, false);
        rect->MarkSelected(dataCol, dataSet->Bookmark(), true);
      } else {
        rect->MarkSelected(dataCol, dataSet->Bookmark(), false);
      }
    }
    FMouseTrackMode = 3;
  }
  if (CanSelectRows() && (rowSelect || onIndicator || !rectangle)) {
    if (Shift.Contains(ssShift) && dataRow != FDataLink->ActiveRecord()) {
      FInvertMode = true;
      MoveWithSelection(true, dataRow - FDataLink->ActiveRecord(), true, false);
    } else if (Shift.Contains(ssCtrl) || !FOptionsGd.Contains(dghClearSelection)) {
      if (Button == mbLeft) {
        SetRowAnchor();
        FSelectedRows->SetCurrentRowSelected(!FAnchorWasSelected);
      }
      FInvertMode = true;
    } else if (Button == mbLeft) {
      ClearSelectionIfAllowed();
      SetRowAnchor();
      FSelectedRows->SetCurrentRowSelected(true);
      FInvertMode = false;
    }
    if (MouseCapture()) {
      FRowTracking = true;
      FCellTracking = false;
      FMouseTrackMode = 1;
    }
  }
  if (Button == mbLeft && !onIndicator && grid::IsCheckOrImage(SelectedField())) FClickedCheckCell = Cell;
  if (Button == mbRight || onIndicator) InvalidateEditor();
}

void TCustomDBGridGd::TrackSelection(TShiftState Shift, int MouseX, int MouseY) {
  const TRect area = DataArea();
  const TRect client = ClientRect();
  const int X = std::clamp(MouseX, client.Left, std::max(client.Left, client.Right - 1));
  const int Y = std::clamp(MouseY, client.Top, std::max(client.Top, client.Bottom - 1));
  if (Y >= area.Top && Y < area.Bottom) {
    const TGridCoord cell = MouseCoord(area.Left, Y);
    const int dataRow = cell.Y - FTitleOffset;
    if (cell.Y >= FTitleOffset && dataRow < FDataLink->RecordCount() && dataRow != FDataLink->ActiveRecord())
      MoveWithSelection(Shift.Contains(ssLeft) && FMousePoint != FPrevMousePoint, dataRow - FDataLink->ActiveRecord(),
                        FMouseTrackMode != 3, false);
  }
  if (FCellTracking && X >= area.Left && X < area.Right) {
    const TGridCoord cell = MouseCoord(X, std::max(area.Top, std::min(Y, area.Bottom - 1)));
    const int dataCol = cell.X - FIndicatorOffset;
    if (cell.X >= FIndicatorOffset && dataCol != SelectedIndex())
      SelectDataColumn(dataCol, dataCol > SelectedIndex() ? 1 : -1, Shift.Contains(ssLeft) && CanSelectRectangle());
  }
  DragSelectAutoScroll(MouseX, MouseY);
}

void TCustomDBGridGd::MouseMove(TShiftState Shift, int X, int Y) {
  FPrevMousePoint = FMousePoint;
  FMousePoint = {X, Y};
  if (FPressedCell.X >= 0) {
    const bool over = MouseCoord(X, Y) == FPressedCell;
    if (over != FTitlePressed) {
      FTitlePressed = over;
      InvalidateCell(FPressedCell.X, FPressedCell.Y);
    }
    if (std::abs(X - FPressPoint.X) > 3 && FOptions.Contains(dgColumnResize)) {
      const TGridCoord pressed = FPressedCell;
      EndTitlePress();
      FGridState = gsColMoving;
      FMoveIndex = FMovePos = pressed.X;
      SetMouseCapture(true);
    }
  } else if (FRowTracking || FCellTracking) {
    TrackSelection(Shift, X, Y);
  } else if (FLiveSizing) {
    const TRect r = CellRect(FSizingIndex, 0);
    if (!r.IsEmpty()) SetColWidths(FSizingIndex, std::max(1, X + FSizingOfs - r.Left));
    return;
  }
  TCustomGrid::MouseMove(Shift, X, Y);
}

void TCustomDBGridGd::EndTitlePress() {
  const TGridCoord pressed = FPressedCell;
  FPressedCell = {-1, -1};
  FTitlePressed = false;
  if (pressed.X >= 0 && HandleAllocated()) InvalidateCell(pressed.X, pressed.Y);
}

void TCustomDBGridGd::CancelTracking() {
  FRowTracking = FCellTracking = false;
  FMouseTrackMode = 0;
  StopAutoScroll();
}

void TCustomDBGridGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FLiveSizing) {
    FLiveSizing = false;
    FGridState = gsNormal;
    return;
  }
  FMouseTrackMode = 0;
  if (FPressedCell.X >= 0) {
    const TGridCoord pressed = FPressedCell;
    const bool over = ClientRect().Contains(TPoint{X, Y}) && MouseCoord(X, Y) == pressed;
    EndTitlePress();
    if (MouseCapture()) SetMouseCapture(false);
    const int dataCol = pressed.X - FIndicatorOffset;
    if (over && dataCol >= 0 && dataCol < FColumns->Count()) TitleBtnClick(dataCol, FColumns->Items(dataCol));
  }
  if (FRightTitlePressed) {
    FRightTitlePressed = false;
    if (MouseCapture()) SetMouseCapture(false);
    Button = mbLeft;
  }
  CancelTracking();
  if (Button == mbRight && MouseCapture()) SetMouseCapture(false);
  const TGridState state = FGridState;
  TCustomGrid::MouseUp(Button, Shift, X, Y);
  if (state == gsColSizing || state == gsRowSizing) return;
  const TGridCoord cell = MouseCoord(X, Y);
  const int dataCol = cell.X - FIndicatorOffset;
  TColumnGd* column = dataCol >= 0 && dataCol < FColumns->Count() ? FColumns->Items(dataCol) : nullptr;
  if (Button == mbLeft && column && cell.Y >= 0) {
    if (cell.Y < FTitleOffset) TitleClick(column);
    else if (cell.Y - FTitleOffset < FDataLink->RecordCount()) CellClick(column);
  }
  const TGridCoord clicked = FClickedCheckCell;
  FClickedCheckCell = {-1, -1};
  if (column && cell == clicked && !column->DblClickNextVal() && !Shift.Contains(ssDouble) &&
      column->CanModifyCell(true))
    column->StepCellValue(Shift.Contains(ssShift) ? -1 : 1);
}

void TCustomDBGridGd::TimedScroll(TGridScrollDirection Direction) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (FDataLink->Active() && dataSet) {
    if (Direction.Contains(TGridScrollDir::sdUp)) MoveBy(-FDataLink->ActiveRecord() - 1);
    if (Direction.Contains(TGridScrollDir::sdDown)) MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
    Direction.Exclude(TGridScrollDir::sdUp);
    Direction.Exclude(TGridScrollDir::sdDown);
  }
  if (!Direction.Empty()) TCustomGrid::TimedScroll(Direction);
}

void TCustomDBGridGd::WMCancelMode(TMessage& Message) {
  EndTitlePress();
  CancelTracking();
  FLiveSizing = false;
  TCustomGrid::WMCancelMode(Message);
}

void TCustomDBGridGd::CMCancelMode(TMessage& Message) {
  if (reinterpret_cast<TControl*>(Message.LParam) != this) {
    EndTitlePress();
    CancelTracking();
  }
  TCustomGrid::CMCancelMode(Message);
}
