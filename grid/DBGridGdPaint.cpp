// Cell painting: the grid lines, the indicator, title, footer and record cells, the row
// colours, the selection and focus highlights, the default cell content and the owner-draw
// events. A record cell is painted with its row's record active in the dataset, so the events
// read the painted row through the fields.
#include <algorithm>

#include "grid/DBGridGd.h"
#include "grid/DbUtilsGd.h"
#include "grid/base/ToolCtrlsGd.h"
#include "platform/gdi/Draw.h"
#include "platform/os/Focus.h"
#include "platform/os/Painting.h"
#include "platform/rtl/Strings.h"

namespace grid {
namespace {

// A check box of the default size centred in R (smaller when R is), in the check-box painter's
// look on the brush colour.
void DrawCheckBox(TCanvas* Canvas, const TRect& R, TCheckBoxState State, bool Flat) {
  const TRect box = PlaceCheckBoxRect(R, taCenter, tlCenter);
  const int check = State == cbChecked ? CheckStateChecked : State == cbGrayed ? CheckStateGrayed : CheckStateUnchecked;
  Canvas->RequiredState(TCanvasState{csHandleValid, csBrushValid});
  PaintEditButtonImage(Canvas->Handle(), box, Canvas->Brush()->Color(), check, true, false, Flat, 0, bpkCheckBox);
}

}  // namespace
}  // namespace grid

// ---- the whole grid ----

void TCustomDBGridGd::DrawGridLines(const TGridDrawInfo& Info) {
  const TGridOptions options = TCustomGrid::Options();
  const TColor fixedLine = FFlat ? clBtnShadow : clBlack;
  const TColor dataLine = Color() == clSilver ? clGray : clSilver;
  const int lineWidth = GridLineWidth();
  if (lineWidth <= 0) return;
  TCanvas* canvas = Canvas();
  // Lines of one area: the columns and rows from the first given cells until the area ends.
  auto area = [&](bool Vert, bool Horz, int FirstCol, bool ColsFixed, int FirstRow, bool RowsFixed, const TRect& R,
                  TColor LineColor) {
    if ((!Vert && !Horz) || R.IsEmpty()) return;
    std::vector<TPoint> points;
    std::vector<DWORD> counts;
    // The line after each cell of one axis, across the area on the other axis.
    auto axisLines = [&](const TGridAxisDrawInfo& Axis, bool Fixed, int First, int Stop, bool Vertical) {
      int pos = Fixed ? 0 : Axis.FixedBoundary;
      const int last = Fixed ? Axis.FixedCellCount : Axis.GridCellCount;
      for (int i = First; i < last && pos < Stop; ++i) {
        const int extent = Vertical ? ColWidths(i) : RowHeights(i);
        if (extent < 0) continue;
        pos += extent;
        for (int k = 0; k < lineWidth; ++k) {
          points.push_back(Vertical ? TPoint{pos + k, R.Top} : TPoint{R.Left, pos + k});
          points.push_back(Vertical ? TPoint{pos + k, R.Bottom} : TPoint{R.Right, pos + k});
          counts.push_back(2);
        }
        pos += lineWidth;
      }
    };
    if (Vert) axisLines(Info.Horz, ColsFixed, FirstCol, R.Right, true);
    if (Horz) axisLines(Info.Vert, RowsFixed, FirstRow, R.Bottom, false);
    if (counts.empty()) return;
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetColor(LineColor);
    canvas->RequiredState(TCanvasState{csHandleValid, csPenValid});
    PolyPolyline(canvas->Handle(), points.data(), counts.data(), static_cast<DWORD>(counts.size()));
  };
  const bool fixedVert = options.Contains(goFixedVertLine), fixedHorz = options.Contains(goFixedHorzLine);
  const bool dataVert = options.Contains(goVertLine), dataHorz = options.Contains(goHorzLine);
  const int fixedRight = Info.Horz.FixedBoundary, fixedBottom = Info.Vert.FixedBoundary;
  const int right = Info.Horz.GridBoundary, bottom = Info.Vert.GridBoundary;
  // Where the footers start when they are drawn as fixed cells.
  int dataBottom = bottom;
  const bool fixedFooters = FFooterRowCount > 0 && (FOptionsGd.Contains(dghFooter3D) || FFooterColor == clBtnFace);
  if (fixedFooters) {
    TRect footer = CellRect(0, RowCount() - FFooterRowCount);
    if (!footer.IsEmpty()) dataBottom = footer.Top - lineWidth;
  }
  // The fixed corner and the fixed rows above the scrolling columns.
  area(fixedVert, fixedHorz, 0, true, 0, true, {0, 0, fixedRight, fixedBottom}, fixedLine);
  area(fixedVert, fixedHorz, LeftCol(), false, 0, true, {fixedRight, 0, right, fixedBottom}, fixedLine);
  // The fixed columns beside the scrolling rows.
  area(fixedVert, fixedHorz, 0, true, TopRow(), false, {0, fixedBottom, fixedRight, bottom}, fixedLine);
  // The data area.
  area(dataVert, dataHorz, LeftCol(), false, TopRow(), false, {fixedRight, fixedBottom, right, dataBottom}, dataLine);
  if (fixedFooters && dataBottom < bottom) {
    area(fixedVert, fixedHorz, LeftCol(), false, TopRow(), false, {fixedRight, dataBottom, right, bottom}, fixedLine);
    if (dataHorz)
      area(false, true, LeftCol(), false, TopRow(), false, {fixedRight, dataBottom, right, dataBottom + lineWidth},
           fixedLine);
  }
}

void TCustomDBGridGd::Paint() {
  if (FInLayout) return;
  TGridDrawInfo info;
  CalcDrawInfo(info);
  DrawGridLines(info);
  TCanvas* canvas = Canvas();
  const TRect clip = canvas->ClipRect();
  const TGridRect selection = TCustomGrid::Selection();
  const bool active = IsActiveControl();
  const bool editing = EditorMode() && TCustomGrid::Options().Contains(goEditing);
  const int lineW = info.Horz.EffectiveLineWidth, lineH = info.Vert.EffectiveLineWidth;
  auto walk = [](const TGridAxisDrawInfo& Axis, auto Visit) {
    int pos = 0;
    for (int i = 0; i < Axis.FixedCellCount && pos < Axis.GridExtent; ++i) {
      Visit(i, pos);
      pos += Axis.Extent(i);
    }
    for (int i = Axis.FirstGridCell; i < Axis.GridCellCount && pos < Axis.GridExtent; ++i) {
      Visit(i, pos);
      pos += Axis.Extent(i);
    }
  };
  walk(info.Vert, [&](int r, int y) {
    const int h = RowHeights(r);
    if (h <= 0) return;
    walk(info.Horz, [&](int c, int x) {
      const int w = ColWidths(c);
      if (w <= 0) return;
      TRect cell{x, y, x + w, y + h};
      TRect hit;
      if (!IntersectRect(&hit, &cell, &clip)) return;
      TGridDrawState state;
      const bool fixed = c < FixedCols() || r < FixedRows();
      if (fixed) state.Include(gdFixed);
      const bool current = c == Col() && r == Row();
      if (!fixed && current && active) state.Include(gdFocused);
      if (!fixed && PointInGridRect(c, r, selection)) state.Include(gdSelected);
      if (!fixed && current && editing) return;
      DrawCell(c, r, cell, state);
    });
  });
  (void)lineW;
  (void)lineH;
  // Right of the last column and below the last row.
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  const TRect client = ClientRect();
  if (info.Horz.GridBoundary < client.Right) canvas->FillRect({info.Horz.GridBoundary, 0, client.Right, client.Bottom});
  if (info.Vert.GridBoundary < client.Bottom)
    canvas->FillRect({0, info.Vert.GridBoundary, info.Horz.GridBoundary, client.Bottom});
}

// ---- one cell ----

bool TCustomDBGridGd::IsCellInSelection(int ACol, int ARow) {
  if (FSelection->SelectionType() == gstAll) return true;
  if (FSelection->SelectionType() == gstColumns && ARow < FTitleOffset) {
    const int dataCol = ACol - FIndicatorOffset;
    if (dataCol >= 0 && dataCol < FColumns->Count()) return FSelection->Columns()->Contains(FColumns->Items(dataCol));
  }
  return false;
}

void TCustomDBGridGd::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  FCellParams.Col = ACol;
  FCellParams.Row = ARow;
  if (HasState(csLoading)) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ARect);
    return;
  }
  const bool is3D = IsCell3D(ACol, ARow, AState);
  TRect rect = ARect;
  int textInset = 2;
  if (is3D) {
    InflateRect(&rect, -1, -1);
    textInset = 1;
  }
  const int vertInset = FFlat ? textInset - 1 : textInset;
  const int dataRow = ARow - FTitleOffset;
  const int dataCol = ACol - FIndicatorOffset;
  bool titlePressed = false;
  canvas->Brush()->SetStyle(bsSolid);
  if (AState.Contains(gdFixed) && dataCol < 0) {
    DrawIndicatorCell(rect, dataRow);
  } else if (dataCol < FColumns->Count()) {
    TColumnGd* column = FColumns->Items(dataCol);
    if (dataRow < 0) {
      canvas->SetFont(column->Title()->Font());
      canvas->Brush()->SetColor(column->Title()->Color());
      const bool titleRow = dataRow == -FTitleOffset && HasTitleRow();
      if (titleRow && FUseMultiTitle && LeafOfColumn(dataCol)) {
        DrawMultiTitleCell(column, ARect, AState, is3D);
        return;
      }
      if (titleRow) DrawTitleCell(column, rect, AState, is3D, textInset);
      else canvas->FillRect(rect);
      titlePressed = titleRow && TitlePressed(column);
    } else {
      canvas->SetFont(column->Font());
      canvas->Brush()->SetColor(column->Color());
      const int records = FDataLink->Active() ? FDataLink->RecordCount() : 0;
      if (!FDataLink->Active()) {
        canvas->FillRect(rect);
      } else if (dataRow >= records) {
        const int footerIndex = FFooterRowCount + dataRow + FTitleOffset - RowCount();
        if (FFooterRowCount > 0 && footerIndex >= 0) {
          DrawFooterCell(column, dataCol, footerIndex, rect, AState, textInset, vertInset);
        } else {
          TColor background = canvas->Brush()->Color();
          if (IsCellInSelection(ACol, ARow)) GetFixedCellHighlight(3, canvas->Font(), background, true);
          canvas->Brush()->SetColor(background);
          canvas->FillRect(rect);
        }
      } else {
        DrawRecordCell(column, dataCol, dataRow, rect, AState, textInset, vertInset);
      }
    }
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
  }
  // The focus frame of the current cell.
  if (FDefaultDrawing && AState.Contains(gdFocused) && Focused() && !HasState(csDesigning) &&
      !FOptions.Contains(dgRowSelect) && FUpdateLock == 0) {
    canvas->Font()->SetColor(clWindowText);
    canvas->Brush()->SetColor(clWindow);
    canvas->DrawFocusRect(ARect);
  }
  if (is3D) DrawEdgeGd(canvas, ARect, true, true, titlePressed);
}

void TCustomDBGridGd::DrawIndicatorCell(const TRect& ARect, int DataRow) {
  TCanvas* canvas = Canvas();
  TColor background = FixedColor();
  if (FFooterRowCount > 0 && DataRow + FTitleOffset == RowCount() - FFooterRowCount - 1 &&
      !FOptionsGd.Contains(dghFrozen3D))
    background = Color();
  canvas->Brush()->SetColor(background);
  if (!FDataLink->Active()) {
    canvas->FillRect(ARect);
    return;
  }
  bool selected = FSelection->SelectionType() == gstAll;
  const int records = FDataLink->RecordCount();
  const bool recordRow = DataRow >= 0 && (DataRow < records || FFooterRowCount == 0);
  const int active = FDataLink->ActiveRecord();
  if (recordRow && DataRow < records) {
    FDataLink->SetActiveRecord(DataRow);
    try {
      selected = selected || (FOptions.Contains(dgMultiSelect) && FSelection->Rows()->GetCount() > 0 &&
                              FSelection->Rows()->GetCurrentRowSelected());
    } catch (...) {
      FDataLink->SetActiveRecord(active);
      throw;
    }
    FDataLink->SetActiveRecord(active);
  }
  if (selected) {
    GetFixedCellHighlight(2, canvas->Font(), background, true);
    canvas->Brush()->SetColor(background);
  }
  canvas->FillRect(ARect);
  if (DataRow < 0 || DataRow >= records) return;
  const bool isActive = DataRow == active;
  if (!isActive && !selected) return;
  TDataSet* dataSet = FDataLink->DataSet();
  int image = -1;
  switch (dataSet->State()) {
    case dsBrowse:
      if (isActive) image = selected ? 5 : 0;
      break;
    case dsEdit: image = 1; break;
    case dsInsert: image = 2; break;
    default: image = 0; break;
  }
  if (image < 0) return;
  TCustomImageList* images = grid::GridResources().Indicators.get();
  const int x = ARect.Right - images->Width() - 2;
  const int y = (ARect.Top + ARect.Bottom - images->Height()) / 2;
  images->Draw(canvas, x, y, image);
  if (isActive) FIndicatorRow = DataRow + FTitleOffset;
}

void TCustomDBGridGd::DrawFooterCell(TColumnGd* Column, int DataCol, int FooterIndex, const TRect& ARect,
                                     TGridDrawState AState, int TextInset, int VertInset) {
  TCanvas* canvas = Canvas();
  TColumnFooterGd* footer = Column->FooterForRow(FooterIndex);
  canvas->SetFont(footer->Font());
  canvas->Brush()->SetColor(footer->Color());
  if (!FDefaultDrawing) return;
  TColor background = canvas->Brush()->Color();
  const std::string text = GetFooterValueText(FooterIndex, Column);
  if (IsCellInSelection(DataCol + FIndicatorOffset, FooterIndex))
    GetFixedCellHighlight(4, canvas->Font(), background, true);
  canvas->Brush()->SetColor(background);
  (void)AState;
  WriteCellText(canvas, ARect, true, TextInset, VertInset, text, footer->Alignment(), Column->Layout(),
                footer->WordWrap() && FCanWrapText, footer->EndEllipsis(), 0, 0, false);
}

void TCustomDBGridGd::DrawRecordCell(TColumnGd* Column, int DataCol, int DataRow, TRect ARect, TGridDrawState AState,
                                     int TextInset, int VertInset) {
  TCanvas* canvas = Canvas();
  const TActiveRecordScope active(*FDataLink, DataRow);
  const int saved = active.Saved();

  // Odd and even rows, where the column keeps the grid's colour.
  TColor background = Column->Color();
  if (Column->Color() == Color() && RecordNumberKnown()) {
    const int recNo = FDataLink->DataSet()->RecNo();
    background = recNo % 2 == 1 ? OddRowColor() : EvenRowColor();
  }
  canvas->Brush()->SetColor(background);
  FCellParams.State = AState;
  FCellParams.Font = canvas->Font();
  FCellParams.Alignment = Column->Alignment();
  FCellParams.Background = background;
  FCellParams.Text = Column->CellDisplayText();
  FCellParams.ImageIndex = Column->CellImageIndex();
  FCellParams.CheckboxState = Column->ReadCheckState();
  FCellParams.ReadOnly = Column->ReadOnly();
  GetCellParams(Column, canvas->Font(), FCellParams.Background, AState);
  Column->GetColCellParams(false, FCellParams);
  TGridDrawState state = AState;
  if (GetDataCellHighlight(DataCol, DataRow, canvas->Font(), FCellParams.Background, state, FCellParams.Text))
    state.Include(gdSelected);
  canvas->Brush()->SetColor(FCellParams.Background);
  std::string text = FCellParams.Text;
  int imageIndex = FCellParams.ImageIndex;
  bool duplicate = false;
  if (Column->HideDuplicates() && IsDuplicate(Column, DataRow, text)) {
    duplicate = true;
    text.clear();
    imageIndex = -1;
  }
  if (FDefaultDrawing && !ARect.IsEmpty()) {
    TRect textRect = ARect;
    TCustomImageList* images = Column->ImageList();
    if (images && Column->ShowImageAndText()) {
      TRect strip{ARect.Left, ARect.Top, std::min(ARect.Right, ARect.Left + images->Width() + 4), ARect.Bottom};
      const TColor brush = canvas->Brush()->Color();
      canvas->Brush()->SetColor(Column->Color());
      canvas->FillRect(strip);
      canvas->Brush()->SetColor(brush);
      if (imageIndex >= 0)
        images->Draw(canvas, strip.Left + (strip.Width() - images->Width()) / 2,
                     strip.Top + (strip.Height() - images->Height()) / 2, imageIndex);
      textRect.Left = strip.Right + 1;
    }
    switch (Column->CellKind()) {
      case ckImage:
        canvas->FillRect(textRect);
        if (images && imageIndex >= 0)
          images->Draw(canvas, textRect.Left + (textRect.Width() - images->Width()) / 2,
                       textRect.Top + (textRect.Height() - images->Height()) / 2, imageIndex);
        break;
      case ckCheckbox:
        canvas->FillRect(textRect);
        if (!duplicate) grid::DrawCheckBox(canvas, textRect, FCellParams.CheckboxState, FFlat);
        break;
      default:
        WriteCellText(canvas, textRect, true, TextInset, VertInset, text, FCellParams.Alignment, Column->Layout(),
                      Column->WordWrap() && FCanWrapText, Column->EndEllipsis(), 0, 0, false);
        // The typed text of a running search over the current cell.
        if (FIncSearchActive && DataRow == saved && Column == SelectedField() && !FIncSearchText.empty())
          DrawIncSearchHighlight(canvas, textRect, TextInset, VertInset, text, Length(FIncSearchText),
                                 FCellParams.Alignment, false, Column->WordWrap() && FCanWrapText);
        break;
    }
  }
  // A required field left empty in the record being edited gets a dotted red underline.
  TField* field = Column->Field();
  TDataSet* dataSet = FDataLink->DataSet();
  if (Column->HighlightRequired() && field && DataRow == saved &&
      (dataSet->State() == dsEdit || dataSet->State() == dsInsert) && field->Required() && field->IsNull()) {
    canvas->Pen()->SetStyle(psDot);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetColor(clRed);
    canvas->MoveTo(ARect.Left + 2, ARect.Bottom - 1);
    canvas->LineTo(ARect.Right - 3, ARect.Bottom - 1);
    canvas->Pen()->SetStyle(psSolid);
  }
  if (FColumns->State() != cstCustomColumns) DrawDataCell(ARect, field, state);
  DrawColumnCell(ARect, DataCol, Column, state);
  if (duplicate && FOptions.Contains(dgRowLines)) {
    canvas->Brush()->SetColor(Column->Color());
    canvas->FillRect({ARect.Left, ARect.Top - GridLineWidth(), ARect.Right, ARect.Top});
  }
}

bool TCustomDBGridGd::IsDuplicate(TColumnGd* Column, int DataRow, const std::string& Text) {
  if (DataRow <= 0) return false;
  FDataLink->SetActiveRecord(DataRow - 1);
  TColCellParamsGd previous;
  Column->FillCellParams(previous);
  previous.Col = Column->Index() + FIndicatorOffset;
  previous.Row = DataRow - 1 + FTitleOffset;
  GetCellParams(Column, previous.Font, previous.Background, previous.State);
  Column->GetColCellParams(false, previous);
  FDataLink->SetActiveRecord(DataRow);
  return previous.Text == Text;
}

void TCustomDBGridGd::DrawColumnCell(const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State) {
  if (OnDrawColumnCell) OnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TCustomDBGridGd::DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
  if (OnDrawDataCell) OnDrawDataCell(this, Rect, Field, State);
}

void TCustomDBGridGd::GetCellParams(TColumnGd* Column, TFont* AFont, TColor& Background, TGridDrawState State) {
  if (OnGetCellParams) OnGetCellParams(this, Column, AFont, Background, State);
}

// ---- highlights ----

bool TCustomDBGridGd::GridOrEditorFocused() {
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  if (focus == Handle()) return true;
  TInplaceEdit* editor = InplaceEditor();
  return editor && editor->HandleAllocated() && focus == editor->Handle();
}

bool TCustomDBGridGd::GetFixedCellHighlight(int AreaCode, TFont* AFont, TColor& Background, bool Highlighted) {
  if (FStyle) return FStyle->FixedCellHighlight(this, AFont, Background, Highlighted, AreaCode);
  if (!Highlighted) return false;
  const int low = AreaCode & 0xFF, high = (AreaCode >> 8) & 0xFF;
  if ((low == 0 && high != 3) || (low == 1 && high <= 1)) {
    Background = RGB(64, 64, 64);
    AFont->SetColor(clWhite);
  } else if (GridOrEditorFocused()) {
    Background = clHighlight;
    AFont->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}

bool TCustomDBGridGd::GetDataCellHighlight(int DataCol, int DataRow, TFont* AFont, TColor& Background,
                                           TGridDrawState& State, const std::string&) {
  if (FStyle)
    return FStyle->DataCellHighlight(this, DataCol + FIndicatorOffset, DataCol, DataRow, DataRow + FTitleOffset, State,
                                     AFont, Background);
  const bool currentRow = DataRow + FTitleOffset == Row();
  const bool currentCol = DataCol + FIndicatorOffset == Col();
  bool selected = false;
  if (FDataLink->Active() && FSelection->SelectionType() != gstNon) {
    TDataSet* dataSet = FDataLink->DataSet();
    selected = FSelection->DataCellSelected(DataCol, dataSet->Bookmark());
  }
  bool focusHL = false;
  if (!selected) {
    focusHL = Focused() && FOptionsGd.Contains(dghHighlightFocus);
    if (FOptionsGd.Contains(dghRowHighlight) && currentRow && FSelection->SelectionType() == gstNon && !currentCol) {
      focusHL = true;
      State.Include(gdSelected);
    }
  }
  const bool rowSelected = currentRow && FOptions.Contains(dgRowSelect);
  bool highlighted;
  if (FUpdateLock > 0) highlighted = rowSelected && (FOptions.Contains(dgAlwaysShowSelection) || focusHL);
  else
    highlighted = (State.Contains(gdSelected) || rowSelected) && (FOptions.Contains(dgAlwaysShowSelection) || focusHL);
  highlighted = highlighted || selected;
  if (!highlighted) return false;
  if (GridOrEditorFocused()) {
    Background = clHighlight;
    AFont->SetColor(clHighlightText);
  } else if ((currentRow && (currentCol || FOptions.Contains(dgRowSelect))) &&
             (focusHL || FOptions.Contains(dgAlwaysShowSelection))) {
    Background = clBtnShadow;
    AFont->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}

// ---- the default content ----

void TCustomDBGridGd::DefaultDrawColumnCell(const TRect& Rect, int, TColumnGd* Column, TGridDrawState) {
  if (!Column) return;
  TCanvas* canvas = Canvas();
  TRect r = Rect;
  int inset = 2;
  if (FOptionsGd.Contains(dghFooter3D)) {
    InflateRect(&r, -1, -1);
    inset = 1;
  }
  const int vertInset = FFlat ? inset - 1 : inset;
  switch (Column->CellKind()) {
    case ckImage: {
      canvas->FillRect(r);
      TField* field = Column->Field();
      int index = Column->NotInKeyListIndex();
      if (field && Column->KeyList()->Count() > 0) {
        const int found = Column->KeyList()->IndexOf(field->EditText());
        if (found >= 0) index = found;
      } else {
        index = Column->CellImageIndex();
      }
      if (TCustomImageList* images = Column->ImageList(); images && index >= 0)
        images->Draw(canvas, r.Left + (r.Width() - images->Width()) / 2, r.Top + (r.Height() - images->Height()) / 2,
                     index);
      break;
    }
    case ckCheckbox:
      canvas->FillRect(r);
      grid::DrawCheckBox(canvas, r, Column->ReadCheckState(), FFlat);
      break;
    default:
      WriteCellText(canvas, r, true, inset, vertInset, Column->CellDisplayText(), Column->Alignment(), Column->Layout(),
                    Column->WordWrap() && FCanWrapText, Column->EndEllipsis(), 0, 0, false);
      break;
  }
}
