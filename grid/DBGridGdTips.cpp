// Tool-tips and the incremental search: a cell, title or footer whose text is cut off shows it
// whole in a tip laid exactly over the text; typing finds the first record whose display text
// in the current column begins with what was typed, taking that record's letter case, and the
// typed text is forgotten after a pause. Walks over the dataset keep the screen position.
#include "grid/DBGridGd.h"

#include <algorithm>

#include "grid/base/GdPlatform.h"
#include "grid/base/ToolCtrlsGd.h"
#include "platform/controls/StdCtrls.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Timers.h"
#include "platform/rtl/Strings.h"

namespace grid {
namespace {
// The text without its last code point.
std::string DropLastCodePoint(const std::string& Text) {
  size_t end = Text.size();
  if (end == 0) return Text;
  --end;
  while (end > 0 && (static_cast<unsigned char>(Text[end]) & 0xC0) == 0x80) --end;
  return Text.substr(0, end);
}

bool BeginsWithCaseless(const std::string& Text, const std::string& Prefix) {
  const std::string text = AnsiUpperCase(Text), prefix = AnsiUpperCase(Prefix);
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool NoModifiers(TShiftState Shift) {
  return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

// Runs a walk with the controls disabled and enables them again, also on failure.
class TControlsDisabled {
 public:
  explicit TControlsDisabled(TDataSet& DataSet) : FDataSet(DataSet) { FDataSet.DisableControls(); }
  ~TControlsDisabled() { FDataSet.EnableControls(); }
  TControlsDisabled(const TControlsDisabled&) = delete;
  TControlsDisabled& operator=(const TControlsDisabled&) = delete;

 private:
  TDataSet& FDataSet;
};
}  // namespace
}  // namespace grid

// ---- the screen position ----

TCustomDBGridGd::TScreenPositionGd TCustomDBGridGd::SaveScreenPosition() {
  TScreenPositionGd position;
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet) return position;
  // The records actually buffered, and the distance the move really went: at either end of
  // the dataset the reference record is nearer than the middle of a full window.
  const int count = FDataLink->RecordCount();
  const int offset = FDataLink->ActiveRecord() + (count + 1) % 2 - count / 2;
  const int moved = dataSet->MoveBy(-offset);
  position.Bookmark = dataSet->Bookmark();
  position.Offset = -moved;
  dataSet->MoveBy(-moved);
  return position;
}

void TCustomDBGridGd::RestoreScreenPosition(const TScreenPositionGd& Position) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet || Position.Bookmark.empty() || !dataSet->BookmarkValid(Position.Bookmark))
    return;
  dataSet->GotoBookmark(Position.Bookmark);
  dataSet->MoveBy(Position.Offset);
}

// ---- the incremental search ----

void TCustomDBGridGd::IncSearchStep(const std::string& Text, int Timeout, int Mode) {
  TDataSet* dataSet = FDataLink->DataSet();
  TColumnGd* column = SelectedField();
  if (!FDataLink->Active() || !dataSet || !column) return;
  const std::string candidate = FIncSearchText + Text;
  std::string matched;
  bool found = false;
  if (Mode == 0 && grid::BeginsWithCaseless(column->CellDisplayText(), candidate)) {
    found = true;
    matched = column->CellDisplayText();
  } else {
    FIncSearchOwnChange = true;
    struct TReset {
      bool& Flag;
      ~TReset() { Flag = false; }
    } reset{FIncSearchOwnChange};
    grid::TControlsDisabled disabled(*dataSet);
    const TScreenPositionGd position = SaveScreenPosition();
    bool more = true;
    if (Mode == 0) dataSet->First();
    else more = dataSet->MoveBy(Mode == 2 ? -1 : 1) != 0;
    while (more && !dataSet->IsEmpty()) {
      if (grid::BeginsWithCaseless(column->CellDisplayText(), candidate)) {
        found = true;
        matched = column->CellDisplayText();
        break;
      }
      more = dataSet->MoveBy(Mode == 2 ? -1 : 1) != 0;
    }
    if (!found) RestoreScreenPosition(position);
  }
  HideEditor();
  FIncSearchActive = true;
  if (found) FIncSearchText = Copy(matched, 1, Length(candidate));
  if (HandleAllocated()) InvalidateRow(Row());
  FIncSearchTimeout = Timeout;
  if (!HandleAllocated()) return;
  if (Timeout >= 0) SetTimer(Handle(), grid::IncSearchTimerId, static_cast<UINT>(Timeout), nullptr);
  else KillTimer(Handle(), grid::IncSearchTimerId);
}

void TCustomDBGridGd::StopIncSearch() {
  if (!FIncSearchActive) return;
  FIncSearchActive = false;
  FIncSearchText.clear();
  FIncSearchTimeout = -1;
  if (!HandleAllocated()) return;
  KillTimer(Handle(), grid::IncSearchTimerId);
  InvalidateRow(Row());
  if (FOptions.Contains(dgAlwaysShowEditor)) ShowEditor();
}

void TCustomDBGridGd::DataChangedOutsideSearch() {
  if (FIncSearchActive && !FIncSearchOwnChange) StopIncSearch();
}

bool TCustomDBGridGd::IncSearchKeyDown(WORD Key, TShiftState Shift) {
  if (grid::NoModifiers(Shift)) {
    switch (Key) {
      case VK_RETURN:
      case VK_ESCAPE:
      case VK_F2: StopIncSearch(); return true;
      case VK_BACK:
        FIncSearchText = grid::DropLastCodePoint(FIncSearchText);
        InvalidateRow(Row());
        if (FIncSearchTimeout >= 0)
          SetTimer(Handle(), grid::IncSearchTimerId, static_cast<UINT>(FIncSearchTimeout), nullptr);
        return true;
      default: return false;
    }
  }
  const TShortCut shortCut = ShortCut(Key, Shift);
  if (shortCut == grid::SearchNextShortCut || shortCut == grid::SearchPriorShortCut) {
    IncSearchStep("", FIncSearchTimeout, shortCut == grid::SearchNextShortCut ? 1 : 2);
    return true;
  }
  return false;
}

void TCustomDBGridGd::PasteIntoIncSearch() {
  const std::string text = controls::ClipboardText(Handle());
  if (!text.empty()) IncSearchStep(text, FIncSearchTimeout, 0);
}

void TCustomDBGridGd::OpenFindDialog() {
  if (grid::ShowFindDialogProc) grid::ShowFindDialogProc(this, "", FFindDialogModal);
}

// ---- tool-tips ----

std::string TCustomDBGridGd::ColumnToolTipText(TColumnGd* Column) {
  TField* field = Column->Field();
  auto pickListItem = [&](int Index) {
    TStrings* pickList = Column->PickList();
    return Index >= 0 && Index < pickList->Count() ? pickList->Strings(Index) : std::string();
  };
  switch (Column->CellKind()) {
    case ckImage: return field ? pickListItem(Column->KeyList()->IndexOf(field->EditText())) : std::string();
    case ckCheckbox: return pickListItem(static_cast<int>(Column->ReadCheckState()));
    default: {
      TColCellParamsGd params;
      Column->FillCellParams(params);
      TFont font;
      font.Assign(Column->Font());
      params.Font = &font;
      GetCellParams(Column, &font, params.Background, params.State);
      Column->GetColCellParams(false, params);
      return params.Text;
    }
  }
}

// Fills Info with the tip of a cell whose text does not fit; false when the text fits.
bool TCustomDBGridGd::CellToolTip(THintInfo& Info, TGridCoord Cell) {
  const int dataCol = Cell.X - FIndicatorOffset;
  TColumnGd* column = FColumns->Items(dataCol);
  TRect cell = CellRect(Cell.X, Cell.Y);
  if (cell.IsEmpty()) return false;
  const int dataRow = Cell.Y - FTitleOffset;
  const int records = FDataLink->RecordCount();
  std::string text;
  TFont* font = column->Font();
  TAlignment alignment = column->Alignment();
  bool wrap = column->WordWrap() && FCanWrapText;
  bool always = false;
  if (dataRow < 0) {
    text = column->Title()->Caption();
    font = column->Title()->Font();
    alignment = column->Title()->Alignment();
  } else if (dataRow < records) {
    const TActiveRecordScope active(*FDataLink, dataRow);
    text = ColumnToolTipText(column);
    always = column->CellKind() == ckImage || column->CellKind() == ckCheckbox;
    if (TCustomImageList* images = column->ImageList(); images && column->ShowImageAndText())
      cell.Left += images->Width() + 5;
    cell.Right -= column->EditButtonsWidth();
  } else {
    const int footerIndex = FFooterRowCount + Cell.Y - RowCount();
    if (footerIndex < 0) return false;
    text = GetFooterValueText(footerIndex, column);
    font = column->Footer()->Font();
    alignment = column->Footer()->Alignment();
    wrap = column->Footer()->WordWrap() && FCanWrapText;
  }
  if (text.empty() || cell.Right <= cell.Left) return false;
  TCanvas* canvas = Canvas();
  canvas->SetFont(font);
  const int textWidth = canvas->TextWidth(text);
  const int textRight = cell.Left + ColWidths(Cell.X);
  const int room = cell.Right - cell.Left;
  bool cutOff = alignment == taRightJustify ? textWidth > room : textWidth + 4 > room;
  if (wrap) {
    TRect measure{0, 0, std::max(1, room - 4), 0};
    DrawTextOfString(canvas->Handle(), text, -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    cutOff = measure.Bottom - measure.Top > cell.Bottom - cell.Top;
  }
  if (!cutOff && !always) return false;
  int x = cell.Left - 1;
  if (alignment == taRightJustify) x = textRight - textWidth - 6;
  else if (alignment == taCenter) x = (cell.Left + textRight + 4) / 2 - textWidth / 2 - 5;
  const int y = cell.Top - (FFlat ? 2 : 1);
  Info.HintStr = text;
  Info.CursorRect = CellRect(Cell.X, Cell.Y);
  Info.HintPos = ClientToScreen(TPoint{x, y});
  Info.HintMaxWidth = wrap ? room - 4 : Info.HintMaxWidth;
  Info.HintData = font;
  Info.HintWindowClass = &TToolTipsWindow::Make;
  return true;
}

void TCustomDBGridGd::CMHintShow(TMessage& Message) {
  TCustomGrid::CMHintShow(Message);
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  if (!info || !HandleAllocated()) return;
  const TGridCoord cell = MouseCoord(info->CursorPos.X, info->CursorPos.Y);
  const int dataCol = cell.X - FIndicatorOffset;
  if (cell.Y < 0 || dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnGd* column = FColumns->Items(dataCol);
  const bool title = cell.Y < FTitleOffset;
  // A title's own hint wins over any tool-tip: its short part, over the title cell.
  if (title && !column->Title()->Hint().empty()) {
    info->HintStr = GetShortHint(column->Title()->Hint());
    info->CursorRect = CellRect(cell.X, cell.Y);
    return;
  }
  const bool tips = title ? column->Title()->ToolTips() : FDataLink->Active() && column->ToolTips();
  if (!tips || GetCapture() || GetKeyState(VK_CONTROL) < 0) return;
  CellToolTip(*info, cell);
}

void TCustomDBGridGd::CMHintShowPause(TMessage& Message) {
  auto* pause = reinterpret_cast<int*>(Message.LParam);
  if (!pause || !HandleAllocated()) return;
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  const TGridCoord cell = MouseCoord(p.X, p.Y);
  const int dataCol = cell.X - FIndicatorOffset;
  if (cell.Y < 0 || dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnGd* column = FColumns->Items(dataCol);
  const bool tips = cell.Y < FTitleOffset ? column->Title()->ToolTips() && column->Title()->Hint().empty()
                                          : FDataLink->Active() && column->ToolTips();
  if (tips) *pause = 0;
}
