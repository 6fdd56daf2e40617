#include "platform/controls/Grids.h"

#include <algorithm>

#include "platform/gdi/Frames.h"
#include "platform/os/WindowPos.h"

// -- painting --

void TCustomGrid::DrawLines(bool DoHorz, bool DoVert, int StartCol, int StartRow, const TRect& Area,
                            TColor LineColor, TColor BackColor, const TGridDrawInfo& DrawInfo) {
  TCanvas* canvas = Canvas();
  // Line strips that are not drawn take the colour of the cells around them.
  auto strip = [&](const TRect& r, bool draw) {
    canvas->Brush()->SetColor(draw ? LineColor : BackColor);
    canvas->FillRect(r);
  };
  if (int lw = DrawInfo.Vert.EffectiveLineWidth; lw > 0) {
    int y = Area.Top;
    for (int row = StartRow; row < FRowCount && y < Area.Bottom; ++row) {
      int h = RowHeights(row);
      if (h < 0) continue;
      y += h;
      strip({Area.Left, y, Area.Right, std::min(y + lw, Area.Bottom)}, DoHorz);
      y += lw;
    }
  }
  if (int lw = DrawInfo.Horz.EffectiveLineWidth; lw > 0) {
    int x = Area.Left;
    for (int col = StartCol; col < FColCount && x < Area.Right; ++col) {
      int w = ColWidths(col);
      if (w < 0) continue;
      x += w;
      strip({x, Area.Top, std::min(x + lw, Area.Right), Area.Bottom}, DoVert);
      x += lw;
    }
  }
}

void TCustomGrid::DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor CellColor,
                            TGridDrawState IncludeDrawState, const TGridDrawInfo& DrawInfo) {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  TGridRect sel = Selection();
  bool active = IsActiveControl();
  bool editorShown = FInplaceEdit && FInplaceCol >= 0 && FInplaceRow >= 0 && IsWindowVisible(InplaceWindow());
  int y = StartY;
  for (int row = ARow; row < FRowCount && y < StopY; ++row) {
    int h = RowHeights(row);
    if (h < 0) continue;
    int x = StartX;
    for (int col = ACol; col < FColCount && x < StopX; ++col) {
      int w = ColWidths(col);
      if (w < 0) continue;
      TRect where{x, y, x + w, y + h};
      x += w + DrawInfo.Horz.EffectiveLineWidth;
      if (where.IsEmpty() || !RectVisible(dc, &where)) continue;
      if (editorShown && col == FInplaceCol && row == FInplaceRow) continue;  // the editor covers it
      TGridDrawState state = IncludeDrawState;
      bool current = col == FCurrent.X && row == FCurrent.Y;
      if (current && active) state.Include(gdFocused);
      if (!state.Contains(gdFixed) && PointInGridRect(col, row, sel)) state.Include(gdSelected);
      if (FDefaultDrawing) {
        canvas->SetFont(Font());
        bool highlight = state.Contains(gdSelected) &&
                         (!state.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                          FOptions.Contains(goRowSelect));
        if (highlight) {
          canvas->Brush()->SetColor(clHighlight);
          canvas->Font()->SetColor(clHighlightText);
        } else {
          canvas->Brush()->SetColor(CellColor);
        }
        canvas->FillRect(where);
      }
      DrawCell(col, row, where, state);
      if (FDefaultDrawing && state.Contains(gdFixed) && Ctl3D()) {
        TRect edge = where;
        DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
      }
      if (FDefaultDrawing && !HasState(csDesigning) && state.Contains(gdFocused) && !FOptions.Contains(goRowSelect))
        canvas->DrawFocusRect(where);
    }
    y += h + DrawInfo.Vert.EffectiveLineWidth;
  }
}

void TCustomGrid::Paint() {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  const TGridAxisDrawInfo& horz = info.Horz;
  const TGridAxisDrawInfo& vert = info.Vert;
  TColor fixedLine = clBlack, dataLine = clSilver;
  bool fixedH = FOptions.Contains(goFixedHorzLine), fixedV = FOptions.Contains(goFixedVertLine);
  bool dataH = FOptions.Contains(goHorzLine), dataV = FOptions.Contains(goVertLine);
  DrawLines(fixedH, fixedV, 0, 0, {0, 0, horz.FixedBoundary, vert.FixedBoundary}, fixedLine, FFixedColor, info);
  DrawLines(fixedH, fixedV, FTopLeft.X, 0, {horz.FixedBoundary, 0, horz.GridBoundary, vert.FixedBoundary}, fixedLine,
            FFixedColor, info);
  DrawLines(fixedH, fixedV, 0, FTopLeft.Y, {0, vert.FixedBoundary, horz.FixedBoundary, vert.GridBoundary}, fixedLine,
            FFixedColor, info);
  DrawLines(dataH, dataV, FTopLeft.X, FTopLeft.Y,
            {horz.FixedBoundary, vert.FixedBoundary, horz.GridBoundary, vert.GridBoundary}, dataLine, Color(), info);

  DrawCells(0, 0, 0, 0, horz.FixedBoundary, vert.FixedBoundary, FFixedColor, {gdFixed}, info);
  DrawCells(FTopLeft.X, 0, horz.FixedBoundary, 0, horz.GridBoundary, vert.FixedBoundary, FFixedColor, {gdFixed}, info);
  DrawCells(0, FTopLeft.Y, 0, vert.FixedBoundary, horz.FixedBoundary, vert.GridBoundary, FFixedColor, {gdFixed}, info);
  DrawCells(FTopLeft.X, FTopLeft.Y, horz.FixedBoundary, vert.FixedBoundary, horz.GridBoundary, vert.GridBoundary,
            Color(), {}, info);

  TCanvas* canvas = Canvas();
  if (!HasState(csDesigning) && FOptions.Contains(goRowSelect) && FDefaultDrawing && Focused()) {
    TGridRect sel = Selection();
    TRect focus = BoxRect(sel.Left, sel.Top, sel.Right, sel.Bottom);
    if (!focus.IsEmpty()) canvas->DrawFocusRect(focus);
  }
  canvas->Brush()->SetColor(Color());
  TRect client = ClientRect();
  if (horz.GridBoundary < client.Right) canvas->FillRect({horz.GridBoundary, 0, client.Right, client.Bottom});
  if (vert.GridBoundary < client.Bottom) canvas->FillRect({0, vert.GridBoundary, horz.GridBoundary, client.Bottom});
}
