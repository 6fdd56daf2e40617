// Scrolling a dataset the grid does not hold in full: the vertical bar moves the current
// record (line and page steps past the buffered records, the thumb by record number), the
// horizontal bar and Left/Right scroll columns, the wheel steps one record; external scroll
// bar controls hooked in place of the grid's own; the auto-scroll of a drag selection that
// leaves the data area.
#include "grid/DBGridGd.h"

#include <algorithm>
#include <set>

#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/Timers.h"

namespace grid {
namespace {
// The scroll bar controls a grid has hooked, so that no second one takes them.
std::set<const TControl*>& HookedBars() {
  static std::set<const TControl*> bars;
  return bars;
}
}  // namespace
}  // namespace grid

// ---- the scroll bar objects ----

TDBGridGdScrollBar::~TDBGridGdScrollBar() { Release(); }

void TDBGridGdScrollBar::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TDBGridGdScrollBar*>(Source)) {
    SetVisible(other->Visible());
    SetTracking(other->Tracking());
    SetExtScrollBar(other->ExtScrollBar());
    return;
  }
  TPersistent::Assign(Source);
}

void TDBGridGdScrollBar::SetVisibleMode(TScrollBarVisibleModeGd Value) {
  if (FVisibleMode == Value) return;
  FVisibleMode = Value;
  if (FExtScrollBar) FExtScrollBar->SetVisible(Visible());
  if (FKind == sbVertical) FGrid->UpdateVertScrollBar();
  FGrid->LayoutChanged();
}

void TDBGridGdScrollBar::Release() {
  if (!FExtScrollBar) return;
  FExtScrollBar->WindowProc = FExtOwnWndProc;
  grid::HookedBars().erase(FExtScrollBar);
  FExtScrollBar = nullptr;
  FExtOwnWndProc = nullptr;
}

void TDBGridGdScrollBar::SetExtScrollBar(TScrollBar* Value) {
  if (Value == FExtScrollBar) return;
  const bool designing = FGrid->HasState(csDesigning);
  if (Value && !designing && grid::HookedBars().count(Value))
    throw Exception("Possible " + Value->Name() + " already attached to the other control.");
  Release();
  if (Value && !designing) {
    FExtScrollBar = Value;
    FExtOwnWndProc = Value->WindowProc;
    grid::HookedBars().insert(Value);
    Value->WindowProc = [this](TMessage& Message) { ExtWndProc(Message); };
    Value->FreeNotification(FGrid);
    Value->SetVisible(Visible());
  }
  FGrid->UpdateVertScrollBar();
  FGrid->UpdateExtHorzScrollBar();
  FGrid->LayoutChanged();
}

void TDBGridGdScrollBar::ExtScrollBarFreed(TComponent* Component) {
  if (Component != FExtScrollBar) return;
  grid::HookedBars().erase(FExtScrollBar);
  FExtScrollBar = nullptr;
  FExtOwnWndProc = nullptr;
}

void TDBGridGdScrollBar::ExtWndProc(TMessage& Message) {
  // Kept: the grid's scrolling may replace this procedure.
  TWndMethod own = FExtOwnWndProc;
  TScrollBar* bar = FExtScrollBar;
  const bool scroll = Message.Msg == CN_VSCROLL || Message.Msg == CN_HSCROLL;
  if (scroll && FGrid->HandleAllocated()) {
    FExtTrackPos = HIWORD(Message.WParam);
    FGrid->Perform(FKind == sbVertical ? WM_VSCROLL : WM_HSCROLL, Message.WParam, 0);
  }
  own(Message);
  // The bar's own step moved its thumb on; it goes back to where the grid's data stands.
  if (scroll && FExtScrollBar == bar && FGrid->HandleAllocated()) {
    if (FKind == sbVertical) FGrid->UpdateVertScrollBar();
    else FGrid->UpdateExtHorzScrollBar();
  }
}

bool TDBGridGdScrollBar::ScrollBarShown() const {
  if (FExtScrollBar) return FExtScrollBar->Visible();
  if (!Visible() || !FGrid->HandleAllocated()) return false;
  const DWORD style = static_cast<DWORD>(GetWindowLong(FGrid->Handle(), GWL_STYLE));
  return (style & (FKind == sbVertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

bool TDBGridGdScrollBar::GetScrollInfo(SCROLLINFO& Info) const {
  if (FExtScrollBar) {
    if (Info.fMask & SIF_RANGE) {
      Info.nMin = FExtScrollBar->Min();
      Info.nMax = FExtScrollBar->Max();
    }
    if (Info.fMask & SIF_PAGE) Info.nPage = static_cast<UINT>(FExtScrollBar->PageSize());
    if (Info.fMask & SIF_POS) Info.nPos = FExtScrollBar->Position();
    if (Info.fMask & SIF_TRACKPOS) Info.nTrackPos = FExtTrackPos;
    return true;
  }
  if (!FGrid->HandleAllocated()) return false;
  return ::GetScrollInfo(FGrid->Handle(), FKind == sbVertical ? SB_VERT : SB_HORZ, &Info) != FALSE;
}

void TDBGridGdScrollBar::SetExtParams(int Min, int Max, int Page, int Pos) {
  if (!FExtScrollBar) return;
  const int max = std::max(Min, Max);
  if (FExtScrollBar->PageSize() > max - Min) FExtScrollBar->SetPageSize(0);
  FExtScrollBar->SetParams(std::clamp(Pos, Min, max), Min, max);
  FExtScrollBar->SetPageSize(std::clamp(Page, 0, max - Min));
}

// ---- the grid's scroll messages ----

int TCustomDBGridGd::ScrollTrackPos(int Bar) {
  const TDBGridGdScrollBar* bar = Bar == SB_VERT ? static_cast<TDBGridGdScrollBar*>(FVertScrollBar.get())
                                                 : FHorzScrollBar.get();
  SCROLLINFO si{};
  si.fMask = SIF_TRACKPOS;
  bar->GetScrollInfo(si);
  return si.nTrackPos;
}

void TCustomDBGridGd::WMVScroll(TMessage& Message) {
  Message.Result = 0;
  TDataSet* dataSet = FDataLink->DataSet();
  if (!TryAcquireFocus() || !FDataLink->Active() || !dataSet) return;
  const int code = LOWORD(Message.WParam);
  switch (code) {
    case SB_LINEUP: MoveBy(-(FDataLink->ActiveRecord() + 1)); break;
    case SB_LINEDOWN: MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord()); break;
    case SB_PAGEUP: MoveBy(-VisibleDataRowCount()); break;
    case SB_PAGEDOWN: MoveBy(VisibleDataRowCount()); break;
    case SB_TOP: dataSet->First(); break;
    case SB_BOTTOM: dataSet->Last(); break;
    case SB_THUMBTRACK:
      if (FVertScrollBar->Tracking()) {
        MoveBy(ScrollTrackPos(SB_VERT) - FSumList->RecNo());
        FIgnoreThumbRelease = true;
      }
      break;
    case SB_THUMBPOSITION: {
      if (FIgnoreThumbRelease) {
        FIgnoreThumbRelease = false;
        break;
      }
      const int pos = ScrollTrackPos(SB_VERT);
      if (!FSumList->IsSequenced()) {
        switch (pos) {
          case 0: dataSet->First(); break;
          case 1: MoveBy(-VisibleDataRowCount()); break;
          case 3: MoveBy(VisibleDataRowCount()); break;
          case 4: dataSet->Last(); break;
          default: break;
        }
      } else if (pos > 1) {
        if (pos >= FSumList->RecordCount()) dataSet->Last();
        else dataSet->SetRecNo(pos);
      } else {
        dataSet->First();
      }
      break;
    }
    default: break;
  }
  UpdateVertScrollBar();
}

void TCustomDBGridGd::WMHScroll(TMessage& Message) {
  Message.Result = 0;
  int code = LOWORD(Message.WParam);
  if (code == SB_THUMBTRACK && FHorzScrollBar->Tracking()) code = SB_THUMBPOSITION;
  ModifyScrollBar(SB_HORZ, code, ScrollTrackPos(SB_HORZ));
  UpdateExtHorzScrollBar();
}

void TCustomDBGridGd::UpdateExtHorzScrollBar() {
  if (!FHorzScrollBar || !FHorzScrollBar->ExtScrollBar() || !HandleAllocated()) return;
  const int scrollable = std::max(0, ColCount() - FixedCols());
  FHorzScrollBar->SetExtParams(0, std::max(0, scrollable - 1), VisibleColCount(), LeftCol() - FixedCols());
}

bool TCustomDBGridGd::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  MoveBy(WheelDelta > 0 ? -1 : 1);
  return true;
}

// ---- auto-scroll of a drag selection ----

void TCustomDBGridGd::DragSelectAutoScroll(int X, int Y) {
  if (!HandleAllocated()) return;
  const TRect area = DataArea();
  int rows = 0, cols = 0, distance = 0;
  if (Y < area.Top) {
    rows = -1;
    distance = area.Top - Y;
  } else if (Y >= area.Bottom) {
    rows = 1;
    distance = Y - area.Bottom;
  }
  if (X < area.Left) {
    cols = -1;
    distance = std::max(distance, area.Left - X);
  } else if (X >= area.Right) {
    cols = 1;
    distance = std::max(distance, X - area.Right);
  }
  if (rows == 0 && cols == 0) {
    StopAutoScroll();
    return;
  }
  const int step = std::min(distance / 6, 8);
  FAutoScrollRows = rows * step;
  FAutoScrollCols = cols;
  const int interval = std::max(0, 200 - 15 * distance);
  if (FAutoScrolling && interval == FAutoScrollInterval) return;
  FAutoScrollInterval = interval;
  FAutoScrolling = SetTimer(Handle(), grid::AutoScrollTimerId, static_cast<UINT>(interval), nullptr) != 0;
}

void TCustomDBGridGd::StopAutoScroll() {
  if (FAutoScrolling && HandleAllocated()) KillTimer(Handle(), grid::AutoScrollTimerId);
  FAutoScrolling = false;
  FAutoScrollInterval = -1;
}

void TCustomDBGridGd::AutoScrollTick() {
  if (!FRowTracking && !FCellTracking) {
    StopAutoScroll();
    return;
  }
  const bool rectangle = FCellTracking && FSelection->SelectionType() == gstRectangle;
  if (FAutoScrollCols != 0 && FCellTracking) {
    if (rectangle) {
      const int left = LeftCol() + FAutoScrollCols;
      if (left >= FixedCols() && left + VisibleColCount() <= ColCount()) SetLeftCol(left);
    }
    SelectDataColumn(SelectedIndex() + FAutoScrollCols, FAutoScrollCols, rectangle);
  }
  if (FAutoScrollRows != 0) MoveWithSelection(true, FAutoScrollRows, FRowTracking, false);
  Update();
}

void TCustomDBGridGd::WMTimer(TMessage& Message) {
  if (Message.WParam == grid::AutoScrollTimerId && (FRowTracking || FCellTracking)) {
    AutoScrollTick();
    return;
  }
  if (Message.WParam == grid::IncSearchTimerId) {
    StopIncSearch();
    return;
  }
  TCustomGrid::WMTimer(Message);
}
