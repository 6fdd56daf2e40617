// Drawing what is not a data cell: which cells are raised (the 3D options), the frame of one
// cell raised or pressed, and the title cells with their sort markers,
// the pressed title button and the group cells of multi-line titles.
#include <algorithm>

#include "grid/DBGridGd.h"
#include "grid/DbUtilsGd.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/Strings.h"

// ---- raised cells ----

bool TCustomDBGridGd::IsCell3D(int ACol, int ARow, TGridDrawState State) const {
  const int dataCol = ACol - FIndicatorOffset;
  const int dataRow = ARow - FTitleOffset;
  const bool footers = FFooterRowCount > 0;
  const int records = RowCount() - FTitleOffset - (footers ? FFooterRowCount + 1 : 0);
  const bool gapRow = footers && dataRow == records;
  const bool footerRow = footers && dataRow > records;
  // A flat grid draws its fixed cells flat.
  const bool fixed3D = FOptionsGd.Contains(dghFixed3D) && !FFlat;
  if (footerRow && FOptionsGd.Contains(dghFooter3D)) return true;
  if (dataRow < 0 || dataCol < 0) {
    if (dataCol < 0 && gapRow) return fixed3D && (FOptionsGd.Contains(dghData3D) || FOptionsGd.Contains(dghFrozen3D));
    return fixed3D;
  }
  if (State.Contains(gdFixed)) return FOptionsGd.Contains(dghFrozen3D);
  return !footerRow && FOptionsGd.Contains(dghData3D);
}

void TCustomDBGridGd::DrawEdgeGd(TCanvas* Canvas, const TRect& ARect, bool BottomRight, bool TopLeft, bool Pressed) {
  const UINT edge = Pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER;
  TRect r = ARect;
  Canvas->RequiredState(TCanvasState{csHandleValid, csBrushValid});
  UINT sides = BF_TOP;
  if (TopLeft) sides |= BF_LEFT;
  if (BottomRight) sides |= BF_BOTTOMRIGHT;
  DrawEdge(Canvas->Handle(), &r, edge, sides);
}

// ---- titles ----

bool TCustomDBGridGd::TitlePressed(TColumnGd* Column) const {
  return Column && FTitlePressed && PressedTitleCol() == Column->Index() + FIndicatorOffset &&
         Column->Title()->TitleButton();
}

void TCustomDBGridGd::DrawTitleText(TColumnGd* Column, const TRect& ARect, const std::string& Text, int TextInset,
                                    bool Pressed) {
  TCanvas* canvas = Canvas();
  TColumnTitleGd* title = Column->Title();
  TRect textRect = ARect;
  const int area = title->SortMarkerAreaWidth();
  canvas->FillRect(ARect);
  if (area > 0 && title->SortMarker() != smNoneGd) {
    TCustomImageList* markers = grid::GridResources().SortMarkers.get();
    textRect.Right = std::max(textRect.Left, textRect.Right - area);
    const int x = ARect.Right - 16 + (16 - markers->Width()) / 2 + (Pressed ? 1 : 0);
    const int y = (ARect.Top + ARect.Bottom - markers->Height()) / 2 + (Pressed ? 1 : 0);
    markers->Draw(canvas, x, y, title->SortMarker() == smDownGd ? 0 : 1);
    if (area > 16) {
      // The place in the sort order, left of the marker.
      const TColor color = canvas->Font()->Color();
      canvas->SetFont(grid::GridResources().SortMarkerFont.get());
      canvas->Font()->SetColor(color);
      const std::string index = IntToStr(title->SortIndex());
      canvas->Brush()->SetStyle(bsClear);
      canvas->TextOut(ARect.Right - area + (Pressed ? 1 : 0), y, index);
      canvas->Brush()->SetStyle(bsSolid);
      canvas->SetFont(title->Font());
    }
  }
  const bool multiLine = FTitleHeight > 0 || FTitleLines > 0 || FUseMultiTitle;
  const int shift = Pressed ? 1 : 0;
  WriteCellText(canvas, textRect, false, TextInset + shift, (FFlat ? TextInset - 1 : TextInset) + shift, Text,
                title->Alignment(), multiLine ? tlCenter : tlTop, multiLine, title->EndEllipsis(), 0, 0, false);
}

void TCustomDBGridGd::DrawTitleCell(TColumnGd* Column, TRect ARect, TGridDrawState, bool, int TextInset) {
  TCanvas* canvas = Canvas();
  const int col = Column->Index() + FIndicatorOffset;
  TColor background = canvas->Brush()->Color();
  if (IsCellInSelection(col, 0)) GetFixedCellHighlight(0, canvas->Font(), background, true);
  canvas->Brush()->SetColor(background);
  THeadTreeNode* leaf = FUseMultiTitle ? LeafOfColumn(Column->Index()) : nullptr;
  DrawTitleText(Column, ARect, leaf ? leaf->Text : Column->Title()->Caption(), TextInset, TitlePressed(Column));
}

void TCustomDBGridGd::DrawMultiTitleCell(TColumnGd* Column, const TRect& ARect, TGridDrawState AState, bool Is3D) {
  THeadTreeNode* leaf = LeafOfColumn(Column->Index());
  TCanvas* canvas = Canvas();
  const int lineWidth = TCustomGrid::Options().Contains(goFixedHorzLine) ? GridLineWidth() : 0;
  const int colLine = TCustomGrid::Options().Contains(goFixedVertLine) ? GridLineWidth() : 0;
  // The groups above the leaf, top first.
  std::vector<THeadTreeNode*> groups;
  for (THeadTreeNode* n = leaf ? leaf->Host : nullptr; n && n->Host; n = n->Host) groups.insert(groups.begin(), n);
  int top = ARect.Top;
  const TColor lineColor = FFlat ? clBtnShadow : clBlack;
  for (THeadTreeNode* group : groups) {
    // The group spans its leaves: find where this column's leaf starts within it.
    int before = 0;
    THeadTreeNode* lastLeaf = group;
    std::function<bool(THeadTreeNode*)> offset = [&](THeadTreeNode* Node) -> bool {
      THeadTreeNode* child = Node->Child;
      do {
        if (child == leaf || child->Contains(leaf)) return child == leaf || offset(child);
        before += child->Width + child->WIndent;
        child = child->Next;
      } while (child != Node->Child);
      return false;
    };
    offset(group);
    while (lastLeaf->Child) {
      THeadTreeNode* last = lastLeaf->Child;
      while (last->Next != lastLeaf->Child) last = last->Next;
      lastLeaf = last;
    }
    const bool lastColumn = lastLeaf == leaf;
    TRect whole{ARect.Left - before, top, ARect.Left - before + group->Width, top + group->Height - lineWidth};
    const int saved = SaveDC(canvas->Handle());
    IntersectClipRect(canvas->Handle(), ARect.Left, top, ARect.Right + (lastColumn ? 0 : colLine), whole.Bottom + lineWidth);
    canvas->Brush()->SetColor(Column->Title()->Color());
    canvas->SetFont(FTitleFont.get());
    TRect inner = whole;
    if (Is3D) InflateRect(&inner, -1, -1);
    WriteCellText(canvas, inner, true, 2, 2, group->Text, taCenter, tlCenter, false, false, 0, 0, false);
    if (Is3D) DrawEdgeGd(canvas, whole, true, true, false);
    if (lineWidth > 0) {
      canvas->Brush()->SetColor(lineColor);
      canvas->FillRect({whole.Left, whole.Bottom, whole.Right, whole.Bottom + lineWidth});
    }
    RestoreDC(canvas->Handle(), saved);
    canvas->Refresh();
    top += group->Height;
  }
  TRect leafRect{ARect.Left, top, ARect.Right, ARect.Bottom};
  const bool pressed = TitlePressed(Column);
  canvas->SetFont(Column->Title()->Font());
  canvas->Brush()->SetColor(Column->Title()->Color());
  TRect inner = leafRect;
  if (Is3D) InflateRect(&inner, -1, -1);
  DrawTitleCell(Column, inner, AState, Is3D, Is3D ? 1 : 2);
  if (Is3D) DrawEdgeGd(canvas, leafRect, true, true, pressed);
}
