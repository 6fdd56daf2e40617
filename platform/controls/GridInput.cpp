#include "platform/controls/Grids.h"

#include <algorithm>
#include <cstdlib>

#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowPos.h"

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollInterval = 60;

}  // namespace

// -- sizing and moving --

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                  TGridDrawInfo& FixedInfo) {
  State = gsNormal;
  Index = -1;
  TGridOptions options = FOptions;
  if (HasState(csDesigning)) options += FDesignOptionsBoost;
  if (!options.Contains(goColSizing) && !options.Contains(goRowSizing)) return;
  // The zone round a divider: the line itself, at least 7 pixels, centred on it.
  auto calcAxis = [&](const TGridAxisDrawInfo& Axis, int Pos, TGridState NewState) {
    int line = Axis.FixedBoundary;
    int range = Axis.EffectiveLineWidth, back = 0;
    if (range < 7) {
      range = 7;
      back = (range - Axis.EffectiveLineWidth) / 2;
    }
    for (int i = Axis.FirstGridCell; i < Axis.GridCellCount; ++i) {
      if (Axis.GetExtent(i) < 0) continue;  // a hidden cell has no divider of its own
      line += Axis.GetExtent(i);
      if (line > Axis.GridBoundary) break;
      if (Pos >= line - back && Pos <= line - back + range) {
        State = NewState;
        SizingPos = line;
        SizingOfs = line - Pos;
        Index = i;
        return;
      }
      line += Axis.EffectiveLineWidth;
    }
    if (Axis.GridBoundary == Axis.GridExtent && Pos >= Axis.GridExtent - back && Pos <= Axis.GridExtent &&
        Axis.LastFullVisibleCell + 1 < Axis.GridCellCount) {
      State = NewState;
      SizingPos = Axis.GridExtent;
      SizingOfs = Axis.GridExtent - Pos;
      Index = Axis.LastFullVisibleCell + 1;
    }
  };
  if (X > FixedInfo.Horz.FixedBoundary && options.Contains(goColSizing)) {
    if (Y >= FixedInfo.Vert.FixedBoundary) return;
    calcAxis(FixedInfo.Horz, X, gsColSizing);
  } else if (Y > FixedInfo.Vert.FixedBoundary && options.Contains(goRowSizing)) {
    if (X >= FixedInfo.Horz.FixedBoundary) return;
    calcAxis(FixedInfo.Vert, Y, gsRowSizing);
  }
}

bool TCustomGrid::Sizing(int X, int Y) {
  if (FGridState == gsRowSizing || FGridState == gsColSizing) return true;
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridState state;
  int index, pos, ofs;
  CalcSizingState(X, Y, state, index, pos, ofs, info);
  return state != gsNormal;
}

void TCustomGrid::DrawSizingLine(const TGridDrawInfo& DrawInfo) {
  TCanvas* canvas = Canvas();
  TPen saved;
  saved.Assign(canvas->Pen());
  canvas->Pen()->SetStyle(psDot);
  canvas->Pen()->SetMode(pmXor);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(clWhite);
  if (FGridState == gsRowSizing) {
    canvas->MoveTo(0, FSizingPos);
    canvas->LineTo(DrawInfo.Horz.GridBoundary, FSizingPos);
  } else {
    canvas->MoveTo(FSizingPos, 0);
    canvas->LineTo(FSizingPos, DrawInfo.Vert.GridBoundary);
  }
  canvas->SetPen(&saved);
}

void TCustomGrid::DrawMove() {
  // A band inverted at the place the row or column would go; drawing it again removes it.
  TRect band;
  if (FGridState == gsRowMoving) {
    TRect r = CellRect(0, FMovePos);
    if (r.IsEmpty()) return;
    int pos = FMovePos > FMoveIndex ? r.Bottom : r.Top;
    band = {0, pos - 2, ClientWidth(), pos + 3};
  } else if (FGridState == gsColMoving) {
    TRect r = CellRect(FMovePos, 0);
    if (r.IsEmpty()) return;
    int pos = FMovePos > FMoveIndex ? r.Right : r.Left;
    band = {pos - 2, 0, pos + 3, ClientHeight()};
  } else {
    return;
  }
  InvertRect(Canvas()->Handle(), &band);
  FMoveDrawn = !FMoveDrawn;
}

void TCustomGrid::MoveAndScroll(int Mouse, int CellHit, TGridDrawInfo& DrawInfo, TGridAxisDrawInfo& Axis,
                                int ScrollBar) {
  if (CellHit == FMovePos || (FMovePos == Axis.FixedCellCount && Mouse < Axis.FixedBoundary) ||
      (FMovePos == Axis.GridCellCount - 1 && Mouse > Axis.GridBoundary))
    return;
  if (FMoveDrawn) DrawMove();
  if (Mouse < Axis.FixedBoundary) {
    if (FMovePos > Axis.FixedCellCount && Axis.FirstGridCell > Axis.FixedCellCount) {
      ModifyScrollBar(ScrollBar, SB_LINEUP, 0);
      Update();
      CalcDrawInfo(DrawInfo);
    }
    CellHit = Axis.FirstGridCell;
  } else if (Mouse >= Axis.FullVisBoundary) {
    if (FMovePos == Axis.LastFullVisibleCell && FMovePos < Axis.GridCellCount - 1) {
      ModifyScrollBar(ScrollBar, SB_LINEDOWN, 0);
      Update();
      CalcDrawInfo(DrawInfo);
    }
    CellHit = Axis.LastFullVisibleCell;
  } else if (CellHit < 0) {
    CellHit = FMovePos;
  }
  FMovePos = std::clamp(CellHit, Axis.FixedCellCount, Axis.GridCellCount - 1);
  Update();
  DrawMove();
}

void TCustomGrid::StopTimer() {
  if (FTimerRunning && HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FTimerRunning = false;
}

void TCustomGrid::CancelMouseMode() {
  if (FGridState == gsNormal) return;
  TGridDrawInfo info;
  CalcDrawInfo(info);
  if (FGridState == gsRowSizing || FGridState == gsColSizing) DrawSizingLine(info);
  if ((FGridState == gsRowMoving || FGridState == gsColMoving) && FMoveDrawn) DrawMove();
  StopTimer();
  FGridState = gsNormal;
  FMoveDrawn = false;
  if (MouseCapture()) SetMouseCapture(false);
}

void TCustomGrid::TimedScroll(TGridScrollDirection Direction) {
  if (!FOptions.Contains(goRangeSelect)) return;
  TGridCoord anchor = FAnchor, top = FTopLeft;
  if (Direction.Contains(TGridScrollDir::sdLeft) && FAnchor.X > FFixedCols) {
    --anchor.X;
    --top.X;
  }
  if (Direction.Contains(TGridScrollDir::sdRight) && FAnchor.X < FColCount - 1) {
    ++anchor.X;
    ++top.X;
  }
  if (Direction.Contains(TGridScrollDir::sdUp) && FAnchor.Y > FFixedRows) {
    --anchor.Y;
    --top.Y;
  }
  if (Direction.Contains(TGridScrollDir::sdDown) && FAnchor.Y < FRowCount - 1) {
    ++anchor.Y;
    ++top.Y;
  }
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
  top.X = std::clamp(top.X, FFixedCols, std::max(FFixedCols, most.X));
  top.Y = std::clamp(top.Y, FFixedRows, std::max(FFixedRows, most.Y));
  MoveTopLeft(top.X, top.Y);
  MoveAnchor(anchor);
}
// -- keyboard --

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (!CanGridAcceptKey(Key, Shift)) {
    Key = 0;
    return;
  }
  TGridDrawInfo info;
  CalcDrawInfo(info);
  int pageWidth = std::max(1, info.Horz.LastFullVisibleCell - FTopLeft.X);
  int pageHeight = std::max(1, info.Vert.LastFullVisibleCell - FTopLeft.Y);
  bool rowSelect = FOptions.Contains(goRowSelect);
  TGridCoord top = FTopLeft, current = FCurrent;
  // Left and right step over hidden columns.
  auto stepCol = [&](int From, int Step) {
    for (int c = From + Step; c >= FFixedCols && c < FColCount; c += Step)
      if (ColWidths(c) >= 0) return c;
    return From;
  };
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
      case VK_UP: --top.Y; break;
      case VK_DOWN: ++top.Y; break;
      case VK_LEFT:
        if (!rowSelect) {
          current.X -= pageWidth;
          top.X -= pageWidth;
        }
        break;
      case VK_RIGHT:
        if (!rowSelect) {
          current.X += pageWidth;
          top.X += pageWidth;
        }
        break;
      case VK_PRIOR: current.Y = FTopLeft.Y; break;
      case VK_NEXT: current.Y = info.Vert.LastFullVisibleCell; break;
      case VK_HOME: current = {FFixedCols, FFixedRows}; break;
      case VK_END: current = {FColCount - 1, FRowCount - 1}; break;
    }
  } else {
    switch (Key) {
      case VK_UP: --current.Y; break;
      case VK_DOWN: ++current.Y; break;
      case VK_LEFT:
        if (rowSelect) --top.X;
        else current.X = stepCol(current.X, -1);
        break;
      case VK_RIGHT:
        if (rowSelect) ++top.X;
        else current.X = stepCol(current.X, +1);
        break;
      case VK_NEXT:
        current.Y += pageHeight;
        top.Y += pageHeight;
        break;
      case VK_PRIOR:
        current.Y -= pageHeight;
        top.Y -= pageHeight;
        break;
      case VK_HOME:
        if (rowSelect) current.Y = FFixedRows;
        else current.X = FFixedCols;
        break;
      case VK_END:
        if (rowSelect) current.Y = FRowCount - 1;
        else current.X = FColCount - 1;
        break;
      case VK_TAB:
        if (FOptions.Contains(goTabs) && !Shift.Contains(ssAlt)) {
          // Round the row to the next tab stop, wrapping to the next (previous) row and from
          // the last row to the first; Shift goes back and does not extend the selection.
          bool back = Shift.Contains(ssShift);
          Shift.Exclude(ssShift);
          int steps = (FColCount - FFixedCols) * (FRowCount - FFixedRows);
          do {
            if (back) {
              if (--current.X < FFixedCols) {
                current.X = FColCount - 1;
                if (--current.Y < FFixedRows) current.Y = FRowCount - 1;
              }
            } else if (++current.X >= FColCount) {
              current.X = FFixedCols;
              if (++current.Y >= FRowCount) current.Y = FFixedRows;
            }
          } while (--steps > 0 && (!TabStops(current.X) || ColWidths(current.X) < 0) && current.X != FCurrent.X);
        }
        break;
      case VK_F2: SetEditorMode(true); break;
      case VK_ESCAPE:
        if (FEditorMode && !FOptions.Contains(goAlwaysShowEditor)) HideEditor();
        break;
    }
  }
  TGridCoord most = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
  top.X = std::clamp(top.X, FFixedCols, std::max(FFixedCols, most.X));
  top.Y = std::clamp(top.Y, FFixedRows, std::max(FFixedRows, most.Y));
  if (top.X != FTopLeft.X || top.Y != FTopLeft.Y) MoveTopLeft(top.X, top.Y);
  current.X = std::clamp(current.X, FFixedCols, FColCount - 1);
  current.Y = std::clamp(current.Y, FFixedRows, FRowCount - 1);
  if (current.X != FCurrent.X || current.Y != FCurrent.Y) FocusCell(current.X, current.Y, !Shift.Contains(ssShift));
}

void TCustomGrid::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (!FOptions.Contains(goAlwaysShowEditor) && Key == U'\r') {
    if (FEditorMode) HideEditor();
    else ShowEditor();
    Key = 0;
  }
}

void TCustomGrid::WMChar(TMessage& Message) {
  char32_t ch = static_cast<char32_t>(Message.WParam);
  if (FOptions.Contains(goEditing) && (ch == U'\b' || ch >= 32)) {
    if (!DoKeyPress(Message)) ShowEditorChar(static_cast<char32_t>(Message.WParam));
    return;
  }
  TCustomControl::WMChar(Message);
}

// -- mouse --

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!HasState(csDesigning) && (CanFocus() || !GetParentForm(this))) {
    SetFocus();
    if (!IsActiveControl()) {
      SetMouseCapture(false);
      return;
    }
  }
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    DblClick();
  } else if (Button == mbLeft) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, info);
    if (FGridState != gsNormal) {
      DrawSizingLine(info);
      return;
    }
    TGridCoord hit = CalcCoordFromPoint(X, Y, info);
    if (hit.X >= FFixedCols && hit.Y >= FFixedRows) {
      if (FOptions.Contains(goEditing)) {
        if (hit == FCurrent) {
          ShowEditor();
        } else {
          MoveCurrent(hit.X, hit.Y, true, true);
          UpdateEdit();
        }
        Click();
      } else {
        FGridState = gsSelecting;
        FTimerRunning = SetTimer(Handle(), kScrollTimer, kScrollInterval, nullptr) != 0;
        if (Shift.Contains(ssShift)) MoveAnchor(hit);
        else MoveCurrent(hit.X, hit.Y, true, true);
      }
    } else if (FOptions.Contains(goRowMoving) && hit.X >= 0 && hit.X < FFixedCols && hit.Y >= FFixedRows) {
      FMoveIndex = FMovePos = hit.Y;
      FGridState = gsRowMoving;
      Update();
      DrawMove();
      FTimerRunning = SetTimer(Handle(), kScrollTimer, kScrollInterval, nullptr) != 0;
    } else if (FOptions.Contains(goColMoving) && hit.Y >= 0 && hit.Y < FFixedRows && hit.X >= FFixedCols) {
      FMoveIndex = FMovePos = hit.X;
      FGridState = gsColMoving;
      Update();
      DrawMove();
      FTimerRunning = SetTimer(Handle(), kScrollTimer, kScrollInterval, nullptr) != 0;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  switch (FGridState) {
    case gsSelecting:
    case gsColMoving:
    case gsRowMoving: {
      TGridCoord hit = CalcCoordFromPoint(X, Y, info);
      bool inCols = hit.X >= FFixedCols && hit.X <= info.Horz.LastFullVisibleCell + 1;
      bool inRows = hit.Y >= FFixedRows && hit.Y <= info.Vert.LastFullVisibleCell + 1;
      if (FGridState == gsSelecting) {
        if (inCols && inRows && hit != FAnchor) MoveAnchor(hit);
      } else if (FGridState == gsColMoving) {
        if (inCols) MoveAndScroll(X, hit.X, info, info.Horz, SB_HORZ);
      } else if (inRows) {
        MoveAndScroll(Y, hit.Y, info, info.Vert, SB_VERT);
      }
      break;
    }
    case gsRowSizing:
    case gsColSizing:
      DrawSizingLine(info);
      FSizingPos = (FGridState == gsRowSizing ? Y : X) + FSizingOfs;
      DrawSizingLine(info);
      break;
    default: break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  struct TReset {
    TGridState& State;
    ~TReset() { State = gsNormal; }
  } reset{FGridState};
  switch (FGridState) {
    case gsSelecting:
      MouseMove(Shift, X, Y);
      StopTimer();
      UpdateEdit();
      Click();
      break;
    case gsRowSizing:
    case gsColSizing: {
      TGridDrawInfo info;
      CalcDrawInfo(info);
      DrawSizingLine(info);
      if (FGridState == gsColSizing) {
        int size = ResizeLine(info.Horz);
        if (size > 1) SetColWidths(FSizingIndex, size);
      } else {
        int size = ResizeLine(info.Vert);
        if (size > 1) SetRowHeights(FSizingIndex, size);
      }
      break;
    }
    case gsColMoving:
    case gsRowMoving: {
      if (FMoveDrawn) DrawMove();
      StopTimer();
      TGridState state = FGridState;
      FGridState = gsNormal;
      if (FMoveIndex != FMovePos) {
        if (state == gsColMoving) MoveColumn(FMoveIndex, FMovePos);
        else MoveRow(FMoveIndex, FMovePos);
      }
      UpdateEdit();
      break;
    }
    default: UpdateEdit(); break;
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  int notches = std::max(1, std::abs(WheelDelta) / WHEEL_DELTA);
  bool handled = false;
  for (int i = 0; i < notches; ++i)
    handled = (WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos)) || handled;
  return handled;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState, TPoint) {
  if (FCurrent.Y < FRowCount - 1) SetRow(FCurrent.Y + 1);
  return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState, TPoint) {
  if (FCurrent.Y > FFixedRows) SetRow(FCurrent.Y - 1);
  return true;
}

// -- the auto-scroll timer --

void TCustomGrid::WMTimer(TMessage& Message) {
  if (Message.WParam != kScrollTimer) {
    TCustomControl::Dispatch(Message);
    return;
  }
  if (FGridState != gsSelecting && FGridState != gsRowMoving && FGridState != gsColMoving) return;
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridCoord hit = CalcCoordFromPoint(p.X, p.Y, info);
  switch (FGridState) {
    case gsColMoving: MoveAndScroll(p.X, hit.X, info, info.Horz, SB_HORZ); break;
    case gsRowMoving: MoveAndScroll(p.Y, hit.Y, info, info.Vert, SB_VERT); break;
    default: {
      TGridScrollDirection direction;
      if (p.X < info.Horz.FixedBoundary) direction.Include(TGridScrollDir::sdLeft);
      else if (p.X > info.Horz.FullVisBoundary) direction.Include(TGridScrollDir::sdRight);
      if (p.Y < info.Vert.FixedBoundary) direction.Include(TGridScrollDir::sdUp);
      else if (p.Y > info.Vert.FullVisBoundary) direction.Include(TGridScrollDir::sdDown);
      if (!direction.Empty()) TimedScroll(direction);
      break;
    }
  }
}
