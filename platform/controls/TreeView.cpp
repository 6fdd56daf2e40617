#include "platform/controls/TreeView.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Kernel.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/rtl/Strings.h"

namespace {

// The timer that starts label editing after a click on the selected node's label (unless a
// double click follows).
constexpr UINT_PTR kEditTimer = 1;

}  // namespace

// ---- TCustomTreeView ----

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner),
      FTreeNodes(std::make_unique<TTreeNodes>(this)),
      FCanvas(std::make_unique<TControlCanvas>()),
      FImageChangeLink(std::make_unique<TChangeLink>()),
      FStateChangeLink(std::make_unique<TChangeLink>()) {
  FCanvas->SetControl(this);
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
  FStateChangeLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csDoubleClicks, csDisplayDragImage});
}

TCustomTreeView::~TCustomTreeView() {
  Destroying();
  if (FParent) RemoveFocus(true);
  if (HandleAllocated()) DestroyWindowHandle();
  SetImages(nullptr);
  SetStateImages(nullptr);
  // The nodes go while the tree is still whole: their deletion is told to Delete.
  DeleteAll();
  if (FMeasureDC) DeleteDC(FMeasureDC);
  FCanvas->SetControl(nullptr);
}

// -- properties --

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

#define TREE_SETTER(Name, Field)                      \
  void TCustomTreeView::Set##Name(bool Value) {       \
    if (Field == Value) return;                       \
    Field = Value;                                    \
    Invalidated();                                    \
  }
TREE_SETTER(ShowLines, FShowLines)
TREE_SETTER(ShowRoot, FShowRoot)
TREE_SETTER(ShowButtons, FShowButtons)
TREE_SETTER(HotTrack, FHotTrack)
TREE_SETTER(RowSelect, FRowSelect)
TREE_SETTER(HideSelection, FHideSelection)
#undef TREE_SETTER

void TCustomTreeView::SetIndent(int Value) {
  Value = std::max(Value, 0);
  if (FIndent == Value) return;
  FIndent = Value;
  Invalidated();
}

void TCustomTreeView::SetSortType(TSortType Value) {
  if (FSortType == Value) return;
  FSortType = Value;
  if (Value != stNone) AlphaSort(true);
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (controls::LinkImageList(this, FImages, Value, FImageChangeLink.get())) Invalidated();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (controls::LinkImageList(this, FStateImages, Value, FStateChangeLink.get())) Invalidated();
}

void TCustomTreeView::ImageListChange(TObject*) { Invalidated(); }

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FStateImages) SetStateImages(nullptr);
}

void TCustomTreeView::SetSelected(TTreeNode* Value) { SelectNode(Value); }

void TCustomTreeView::SetDropTarget(TTreeNode* Value) {
  if (FDropTarget == Value) return;
  FDropTarget = Value;
  Invalidate();
}

TTreeNode* TCustomTreeView::TopItem() {
  const auto& rows = Rows();
  return FTopRow < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(FTopRow)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
  if (!Value) return;
  Value->MakeVisible();
  const int row = RowOf(Value);
  if (row >= 0) ScrollToRow(row);
}

// -- window --

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
  if (FShowLines) Params.Style |= TVS_HASLINES;
  if (FShowRoot) Params.Style |= TVS_LINESATROOT;
  if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
  if (!FHideSelection) Params.Style |= TVS_SHOWSELALWAYS;
  if (!FToolTips) Params.Style |= TVS_NOTOOLTIPS;
  if (FHotTrack) Params.Style |= TVS_TRACKSELECT;
  if (FRowSelect) Params.Style |= TVS_FULLROWSELECT;
  Params.Style |= WS_CLIPCHILDREN;  // the label editor
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  FRowsValid = false;
  UpdateScrollBars();
}

void TCustomTreeView::DestroyWnd() {
  if (FEditNode) FinishEdit(true);
  TWinControl::DestroyWnd();
}

void TCustomTreeView::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNext()) n->FTextWidth = -1;
  Invalidated();
}

void TCustomTreeView::CMColorChanged(TMessage& Message) {
  TWinControl::CMColorChanged(Message);
  Invalidate();
}

void TCustomTreeView::CMEnabledChanged(TMessage& Message) {
  TWinControl::CMEnabledChanged(Message);
  Invalidate();
}

void TCustomTreeView::WMSize(TMessage& Message) {
  TWinControl::WMSize(Message);
  UpdateScrollBars();
  Invalidate();
}

// -- layout --

void TCustomTreeView::Invalidated() {
  FRowsValid = false;
  if (FTreeNodes->UpdateCount() > 0) return;
  UpdateScrollBars();
  Invalidate();
  PlaceEditor();
}

void TCustomTreeView::EndUpdateNodes() { Invalidated(); }

void TCustomTreeView::NodeChanged(TTreeNode*) {
  if (FTreeNodes->UpdateCount() > 0) return;
  UpdateScrollBars();
  Invalidate();
  PlaceEditor();
}

const std::vector<TTreeNode*>& TCustomTreeView::Rows() {
  if (FRowsValid) return FRows;
  FRows.clear();
  std::function<void(TTreeNode*)> add = [&](TTreeNode* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
      TTreeNode* n = parent->Item(i);
      FRows.push_back(n);
      if (n->FExpanded) add(n);
    }
  };
  add(FTreeNodes->Root());
  FRowsValid = true;
  return FRows;
}

int TCustomTreeView::RowOf(const TTreeNode* Node) {
  const auto& rows = Rows();
  auto it = std::find(rows.begin(), rows.end(), Node);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int TCustomTreeView::DefaultRowHeight() {
  if (!FMeasureDC) FMeasureDC = CreateCompatibleDC(nullptr);
  SelectObject(FMeasureDC, Font()->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(FMeasureDC, &tm);
  int h = tm.tmHeight + 3;
  if (FImages) h = std::max(h, FImages->Height() + 1);
  if (FStateImages) h = std::max(h, FStateImages->Height() + 1);
  if (h % 2) ++h;
  return h;
}

int TCustomTreeView::RowHeight() { return FItemHeight > 0 ? FItemHeight : DefaultRowHeight(); }

int TCustomTreeView::TextWidth(TTreeNode* Node) {
  if (Node->FTextWidth >= 0) return Node->FTextWidth;
  if (!FMeasureDC) FMeasureDC = CreateCompatibleDC(nullptr);
  SelectObject(FMeasureDC, Font()->Handle());
  TSize size{};
  GetTextExtentPoint32(FMeasureDC, Node->FText, &size);
  Node->FTextWidth = size.cx;
  return size.cx;
}

TCustomTreeView::TRowLayout TCustomTreeView::Layout(TTreeNode* Node, int Row) {
  TRowLayout l;
  const int h = RowHeight();
  const int top = (Row - FTopRow) * h;
  TRect client = ClientRect();
  l.Row = {0, top, std::max(client.Right, 0), top + h};
  l.CenterY = top + h / 2;
  const int rootColumn = FShowRoot && (FShowLines || FShowButtons) ? 1 : 0;
  const int column = Node->Level() + rootColumn;
  int x = -FScrollX + column * FIndent + 2;
  l.IndentRight = x;
  if (column > 0) l.ButtonX = x - 2 - FIndent / 2 - 1;
  if (FStateImages && Node->FStateIndex >= 0) {
    l.StateLeft = x;
    x += FStateImages->Width();
  }
  if (FImages) {
    l.ImageLeft = x;
    x += FImages->Width() + 1;
  }
  l.Label = {x, top, x + TextWidth(Node) + 4, top + h};
  return l;
}

int TCustomTreeView::VisibleCount() {
  const int h = RowHeight();
  return h > 0 ? std::max(ClientHeight() / h, 0) : 0;
}

void TCustomTreeView::UpdateScrollBars() {
  if (!HandleAllocated() || FUpdatingScrollBars) return;
  FUpdatingScrollBars = true;
  // Showing one bar narrows the client area, which may call for the other: settle in a few
  // rounds.
  for (int round = 0; round < 3; ++round) {
    const auto& rows = Rows();
    const int page = VisibleCount();
    const int count = static_cast<int>(rows.size());
    FTopRow = std::clamp(FTopRow, 0, std::max(0, count - std::max(page, 1)));
    int width = 0;
    const int saveX = FScrollX;
    FScrollX = 0;
    for (int i = 0; i < count; ++i) width = std::max(width, Layout(rows[static_cast<size_t>(i)], i).Label.Right + 2);
    FScrollX = saveX;
    const int clientW = ClientWidth();
    FScrollX = std::clamp(FScrollX, 0, std::max(0, width - clientW));
    const TRect before = ClientRect();
    SCROLLINFO v;
    v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    v.nMin = 0;
    v.nMax = std::max(count - 1, 0);
    v.nPage = static_cast<UINT>(std::max(page, 1));
    v.nPos = FTopRow;
    SetScrollInfo(Handle(), SB_VERT, &v, TRUE);
    SCROLLINFO hz;
    hz.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    hz.nMin = 0;
    hz.nMax = std::max(width - 1, 0);
    hz.nPage = static_cast<UINT>(std::max(clientW, 1));
    hz.nPos = FScrollX;
    SetScrollInfo(Handle(), SB_HORZ, &hz, TRUE);
    if (ClientRect() == before) break;
  }
  FUpdatingScrollBars = false;
}

void TCustomTreeView::ScrollToRow(int Row) {
  const int count = static_cast<int>(Rows().size());
  Row = std::clamp(Row, 0, std::max(0, count - std::max(VisibleCount(), 1)));
  if (Row == FTopRow) return;
  FTopRow = Row;
  if (HandleAllocated()) SetScrollPos(Handle(), SB_VERT, FTopRow, TRUE);
  Invalidate();
  // Scrolling ends the editing of a label, keeping what was typed.
  FinishEdit(false);
}

void TCustomTreeView::ScrollHorz(int Pos) {
  if (!HandleAllocated()) return;
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), SB_HORZ, &info);
  const int maxPos = std::max(0, info.nMax - static_cast<int>(info.nPage) + 1);
  Pos = std::clamp(Pos, 0, maxPos);
  if (Pos == FScrollX) return;
  FScrollX = Pos;
  SetScrollPos(Handle(), SB_HORZ, FScrollX, TRUE);
  Invalidate();
  FinishEdit(false);
}

void TCustomTreeView::EnsureVisible(TTreeNode* Node) {
  const int row = RowOf(Node);
  if (row < 0) return;
  const int page = std::max(VisibleCount(), 1);
  if (row < FTopRow) ScrollToRow(row);
  else if (row >= FTopRow + page) ScrollToRow(row - page + 1);
}

// -- sorting --

int TCustomTreeView::CompareForSort(TTreeNode* A, TTreeNode* B) {
  if (OnCompare) {
    int result = 0;
    OnCompare(this, A, B, 0, result);
    return result;
  }
  if (FSortType == stData) {
    if (A->Data() == B->Data()) return 0;
    return A->Data() < B->Data() ? -1 : 1;
  }
  return AnsiCompareText(A->Text(), B->Text());
}

void TCustomTreeView::SortNew(TTreeNode* Node) {
  if (FSortType != stText && FSortType != stBoth) return;
  TTreeNode* parent = Node->FParent;
  if (!parent) return;
  parent->SortChildren([this](TTreeNode* a, TTreeNode* b) { return CompareForSort(a, b); }, false);
}

void TCustomTreeView::NodesSorted(TTreeNode*) { Invalidated(); }

bool TCustomTreeView::AlphaSort(bool Recurse) { return FTreeNodes->AlphaSort(Recurse); }

bool TCustomTreeView::CustomSort(const TTVCompare& SortProc, LPARAM Data, bool Recurse) {
  return FTreeNodes->CustomSort(SortProc, Data, Recurse);
}

void TCustomTreeView::FullExpand() {
  FTreeNodes->BeginUpdate();
  for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->getNextSibling()) n->Expand(true);
  FTreeNodes->EndUpdate();
}

void TCustomTreeView::FullCollapse() {
  FTreeNodes->BeginUpdate();
  for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->getNextSibling()) n->Collapse(true);
  FTreeNodes->EndUpdate();
}

// -- the virtual hooks --

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool allow = true;
  if (OnEditing) OnEditing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, const std::optional<std::string>& Text) {
  if (!Text) return;
  std::string s = *Text;
  if (OnEdited) OnEdited(this, Node, s);
  Node->SetText(s);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
  if (OnGetImageIndex) OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node);
}

bool TCustomTreeView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) {
  if (Stage != cdPrePaint) return false;
  if (Target == dtControl) return static_cast<bool>(OnCustomDraw);
  return static_cast<bool>(OnCustomDrawItem);
}

bool TCustomTreeView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDraw) OnCustomDraw(this, ARect, defaultDraw);
  return defaultDraw;
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage, bool&) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, Node, State, defaultDraw);
  return defaultDraw;
}

// -- selection, expansion, deletion --

bool TCustomTreeView::SelectNode(TTreeNode* Node) {
  if (Node == FSelected) return true;
  if (!CanChange(Node)) return false;
  TTreeNode* old = FSelected;
  if (old) old->FFocused = false;
  FSelected = Node;
  if (Node) Node->FFocused = true;
  FEditPending = false;
  if (FAutoExpand && Node) {
    if (old && !Node->HasAsParent(old) && old->FExpanded) ExpandNode(old, false);
    if (!Node->FExpanded) ExpandNode(Node, true);
  }
  if (Node) {
    for (TTreeNode* p = Node->Parent(); p; p = p->Parent())
      if (!p->FExpanded) ExpandNode(p, true);
    EnsureVisible(Node);
  }
  Invalidate();
  Change(Node);
  return true;
}

bool TCustomTreeView::ExpandNode(TTreeNode* Node, bool Expanded) {
  if (!Node) return false;
  if (Expanded) {
    if (Node->FExpanded) return true;
    if (!Node->HasChildren()) return false;
    if (!CanExpand(Node)) return false;
    // The handler may have filled the node, or found it has nothing after all.
    if (Node->FChildren.empty()) {
      Node->FHasChildren = false;
      Invalidated();
      return false;
    }
    Node->FExpanded = true;
    Invalidated();
    Expand(Node);
    return true;
  }
  if (!Node->FExpanded) return true;
  if (!CanCollapse(Node)) return false;
  // Collapsing ends the editing of a label, keeping what was typed.
  FinishEdit(false);
  Node->FExpanded = false;
  Invalidated();
  // A selection inside the collapsed part moves to the node itself.
  if (FSelected && FSelected->HasAsParent(Node)) SelectNode(Node);
  Collapse(Node);
  return true;
}

void TCustomTreeView::ToggleNode(TTreeNode* Node) { ExpandNode(Node, !Node->FExpanded); }

void TCustomTreeView::NodeRemoving(TTreeNode* Node) {
  if (FEditNode == Node) FinishEdit(true);
  if (FHotNode == Node) FHotNode = nullptr;
  if (FPressNode == Node) FPressNode = nullptr;
  if (FDropTarget == Node) FDropTarget = nullptr;
  if (FSelected == Node) {
    // The selection goes to the next sibling, else the previous one, else the parent, unless
    // they are going too.
    TTreeNode* next = nullptr;
    for (TTreeNode* c : {Node->getNextSibling(), Node->getPrevSibling(), Node->Parent()})
      if (c && !c->FDeleting) {
        next = c;
        break;
      }
    FSelected = next;
    if (next) next->FFocused = true;
    Delete(Node);
    if (next) Change(next);
    return;
  }
  Delete(Node);
}

void TCustomTreeView::DeleteAll() {
  FSelected = nullptr;
  FTreeNodes->BeginUpdate();
  TTreeNode* root = FTreeNodes->Root();
  while (root->Count() > 0) FTreeNodes->Remove(root->GetLastChild());
  FTopRow = 0;
  FScrollX = 0;
  FTreeNodes->EndUpdate();
  Invalidated();
}

// -- hit testing --

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) {
  THitTests result;
  TRect client = ClientRect();
  if (Y < 0) result.Include(htAbove);
  if (Y >= client.Bottom) result.Include(htBelow);
  if (X < 0) result.Include(htToLeft);
  if (X >= client.Right) result.Include(htToRight);
  if (!result.Empty()) return result;
  const int h = RowHeight();
  const int row = FTopRow + Y / std::max(h, 1);
  const auto& rows = Rows();
  if (row >= static_cast<int>(rows.size())) return {htNowhere};
  TTreeNode* node = rows[static_cast<size_t>(row)];
  TRowLayout l = Layout(node, row);
  if (X < l.IndentRight) {
    if (l.ButtonX >= 0 && FShowButtons && node->HasChildren() && X >= l.ButtonX - 6 && X <= l.ButtonX + 6)
      return {htOnButton};
    return {htOnIndent};
  }
  if (l.StateLeft >= 0 && X < l.StateLeft + FStateImages->Width()) return {htOnItem, htOnStateIcon};
  if (l.ImageLeft >= 0 && X < l.ImageLeft + FImages->Width() + 1) return {htOnItem, htOnIcon};
  if (X < l.Label.Right) return {htOnItem, htOnLabel};
  return {htOnRight};
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
  TRect client = ClientRect();
  if (X < 0 || Y < 0 || X >= client.Right || Y >= client.Bottom) return nullptr;
  const int row = FTopRow + Y / std::max(RowHeight(), 1);
  const auto& rows = Rows();
  return row < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row)] : nullptr;
}

// -- painting --

TCustomDrawState TCustomTreeView::NodeState(TTreeNode* Node) {
  TCustomDrawState state;
  const bool focused = Focused();
  const bool shown = FDropTarget ? Node == FDropTarget : Node == FSelected && (focused || !FHideSelection);
  if (shown) state.Include(cdsSelected);
  if (Node == FSelected && focused) state.Include(cdsFocused);
  if (Node == FHotNode) state.Include(cdsHot);
  if (Node->FCut) state.Include(cdsGrayed);
  if (!Enabled()) state.Include(cdsDisabled);
  return state;
}

void TCustomTreeView::WMPaint(TMessage& Message) { PaintCustom(Message); }

void TCustomTreeView::PaintWindow(HDC DC) {
  controls::TCanvasPaint paint(*FCanvas, DC);
  TRect client = ClientRect();
  FCanvas->Brush()->SetColor(Color());
  FCanvas->Brush()->SetStyle(bsSolid);
  if (IsCustomDrawn(dtControl, cdPrePaint) && !CustomDraw(client, cdPrePaint)) return;
  FCanvas->FillRect(client);
  const auto& rows = Rows();
  const int h = std::max(RowHeight(), 1);
  const int last = std::min(static_cast<int>(rows.size()), FTopRow + client.Bottom / h + 1);
  for (int row = FTopRow; row < last; ++row) DrawNode(DC, rows[static_cast<size_t>(row)], row, client);
}

void TCustomTreeView::DrawLines(HDC DC, TTreeNode* Node, const TRowLayout& L) {
  const COLORREF lineColor = ColorToRGB(clGrayText);
  if (FShowLines && L.ButtonX >= 0) {
    // The node's own column: up to the row above (not for the very first root), down to the
    // next sibling, across to the content.
    const bool firstRoot = !Node->Parent() && !Node->getPrevSibling();
    const int top = firstRoot ? L.CenterY : L.Row.Top;
    const int bottom = Node->getNextSibling() ? L.Row.Bottom : L.CenterY + 1;
    controls::DottedVLine(DC, L.ButtonX, top, bottom, lineColor);
    controls::DottedHLine(DC, L.ButtonX, L.IndentRight - 1, L.CenterY, lineColor);
    // The columns of the ancestors that have siblings below.
    int x = L.ButtonX;
    for (TTreeNode* p = Node->Parent(); p; p = p->Parent()) {
      x -= FIndent;
      if (x < -FIndent) break;
      const bool inColumn = p->Parent() || (FShowRoot && (FShowLines || FShowButtons));
      if (inColumn && p->getNextSibling()) controls::DottedVLine(DC, x, L.Row.Top, L.Row.Bottom, lineColor);
    }
  }
  if (FShowButtons && L.ButtonX >= 0 && Node->HasChildren()) {
    TRect box{L.ButtonX - 4, L.CenterY - 4, L.ButtonX + 5, L.CenterY + 5};
    HBRUSH fill = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(DC, &box, fill);
    DeleteObject(fill);
    HBRUSH frame = CreateSolidBrush(ColorToRGB(clGrayText));
    FrameRect(DC, &box, frame);
    DeleteObject(frame);
    HBRUSH sign = CreateSolidBrush(ColorToRGB(clWindowText));
    TRect minus{L.ButtonX - 2, L.CenterY, L.ButtonX + 3, L.CenterY + 1};
    FillRect(DC, &minus, sign);
    if (!Node->FExpanded) {
      TRect plus{L.ButtonX, L.CenterY - 2, L.ButtonX + 1, L.CenterY + 3};
      FillRect(DC, &plus, sign);
    }
    DeleteObject(sign);
  }
}

void TCustomTreeView::DrawNode(HDC DC, TTreeNode* Node, int Row, const TRect& Client) {
  TRowLayout l = Layout(Node, Row);
  const TCustomDrawState state = NodeState(Node);
  const bool selected = state.Contains(cdsSelected);
  const bool active = selected && (Focused() || FDropTarget == Node);
  FCanvas->Font()->Assign(Font());
  if (!Enabled()) FCanvas->Font()->SetColor(clGrayText);
  else if (selected && active) FCanvas->Font()->SetColor(clHighlightText);
  else if (FHotTrack && Node == FHotNode) FCanvas->Font()->SetColor(clHotLight);
  if (FHotTrack && Node == FHotNode) FCanvas->Font()->SetStyle(FCanvas->Font()->Style() + TFontStyles{fsUnderline});
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->Brush()->SetColor(selected ? (active ? clHighlight : clBtnFace) : Color());
  bool paintImages = true;
  if (IsCustomDrawn(dtItem, cdPrePaint) && !CustomDrawItem(Node, state, cdPrePaint, paintImages)) return;
  DrawLines(DC, Node, l);
  if (paintImages) {
    NMTVDISPINFO info;
    info.item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    info.item.hItem = Node->ItemId();
    info.item.lParam = reinterpret_cast<LPARAM>(Node);
    info.item.iImage = Node->FImageIndex;
    info.item.iSelectedImage = Node->FSelectedIndex;
    if (HandleAllocated()) controls::NotifySelf(Handle(), info.hdr, TVN_GETDISPINFO);
    const int imageTop = (FImages ? l.CenterY - FImages->Height() / 2 : 0);
    if (l.StateLeft >= 0)
      FStateImages->Draw(FCanvas.get(), l.StateLeft, l.CenterY - FStateImages->Height() / 2, Node->FStateIndex, Enabled());
    if (l.ImageLeft >= 0) {
      const int index = Node == FSelected ? info.item.iSelectedImage : info.item.iImage;
      if (index >= 0) {
        const bool enabled = Enabled() && !Node->FCut;
        FImages->Draw(FCanvas.get(), l.ImageLeft, imageTop, index, enabled);
        if (Node->FOverlayIndex >= 0) FImages->DrawOverlay(FCanvas.get(), l.ImageLeft, imageTop, index, static_cast<TOverlay>(Node->FOverlayIndex), enabled);
      }
    }
  }
  TRect back = FRowSelect ? TRect{0, l.Row.Top, Client.Right, l.Row.Bottom} : l.Label;
  if (selected || FCanvas->Brush()->Color() != Color()) FCanvas->FillRect(back);
  FCanvas->Brush()->SetStyle(bsClear);
  TRect text{l.Label.Left + 2, l.Label.Top, l.Label.Right, l.Label.Bottom};
  std::string s = Node->FText;
  FCanvas->TextRect(text, s, {tfSingleLine, tfVerticalCenter, tfNoPrefix});
  if (Node == FSelected && Focused() && !FDropTarget) FCanvas->DrawFocusRect(back);
}

// -- notifications --

void TCustomTreeView::WndProc(TMessage& Message) {
  // With automatic dragging the press still reaches the tree: the drag starts once the
  // pointer moves a pressed node (TVN_BEGINDRAG), not on the press itself.
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic) {
    SetControlState(ControlState() + TControlState{csLButtonDown});
    Dispatch(Message);
    return;
  }
  // A new window ends the editing first, so that the focus is back on the control when the
  // window is rebuilt.
  if (Message.Msg == CM_RECREATEWND) FinishEdit(true);
  TWinControl::WndProc(Message);
}

void TCustomTreeView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    CNNotify(Message);
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomTreeView::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  Message.Result = 0;
  if (!hdr) return;
  switch (hdr->code) {
    case TVN_GETDISPINFO: {
      auto* info = reinterpret_cast<NMTVDISPINFO*>(hdr);
      TTreeNode* node = info->item.lParam ? reinterpret_cast<TTreeNode*>(info->item.lParam)
                                          : TTreeNode::FromItemId(info->item.hItem);
      if (!node) return;
      if (info->item.mask & TVIF_IMAGE) {
        GetImageIndex(node);
        info->item.iImage = node->ImageIndex();
      }
      if (info->item.mask & TVIF_SELECTEDIMAGE) {
        GetSelectedIndex(node);
        info->item.iSelectedImage = node->SelectedIndex();
      }
      return;
    }
    case TVN_BEGINDRAG:
      if (DragMode() == dmAutomatic) BeginDrag(true);
      return;
    case TVN_BEGINLABELEDIT: {
      auto* info = reinterpret_cast<NMTVDISPINFO*>(hdr);
      TTreeNode* node = TTreeNode::FromItemId(info->item.hItem);
      Message.Result = node && CanEdit(node) ? 0 : 1;
      return;
    }
    case TVN_ENDLABELEDIT: {
      auto* info = reinterpret_cast<NMTVDISPINFO*>(hdr);
      TTreeNode* node = TTreeNode::FromItemId(info->item.hItem);
      if (!node) return;
      if (info->item.mask & TVIF_TEXT) Edit(node, info->item.pszText);
      else Edit(node, std::nullopt);
      return;
    }
    default:
      return;
  }
}

// -- the window class's own handling --

void TCustomTreeView::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case TVM_SETITEMHEIGHT: {
      const int old = RowHeight();
      const int value = static_cast<int>(static_cast<intptr_t>(Message.WParam));
      FItemHeight = value > 0 ? value : -1;
      Invalidated();
      Message.Result = old;
      return;
    }
    case TVM_GETITEMHEIGHT:
      Message.Result = RowHeight();
      return;
    case TVM_GETEDITCONTROL:
      Message.Result = FEditNode && FEditor->HandleAllocated() ? reinterpret_cast<LRESULT>(FEditor->Handle()) : 0;
      return;
    case TVM_DELETEITEM: {
      auto item = reinterpret_cast<HTREEITEM>(Message.LParam);
      if (item == TVI_ROOT || !item) {
        DeleteAll();
      } else {
        FTreeNodes->Remove(TTreeNode::FromItemId(item));
      }
      Message.Result = TRUE;
      return;
    }
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_KEYDOWN:
      HandleKey(Message);
      return;
    case WM_CHAR:
      HandleChar(Message);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      HandleLButtonDown(Message, Message.Msg == WM_LBUTTONDBLCLK);
      return;
    case WM_RBUTTONDOWN:
      if (CanFocus() && !Focused()) SetFocus();
      FPressNode = GetNodeAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      FPressPos = LParamToPoint(Message.LParam);
      FPressRight = true;
      return;
    case WM_RBUTTONUP:
      HandleRButtonUp(Message);
      return;
    case WM_MOUSEMOVE:
      HandleMouseMove(Message);
      return;
    case WM_LBUTTONUP:
      HandleLButtonUp(Message);
      return;
    case WM_CANCELMODE:
      FPressNode = nullptr;
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (Message.LParam == 0) {
        HandleScroll(Message, Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ);
        return;
      }
      break;
    case WM_TIMER:
      if (Message.WParam == kEditTimer) {
        KillTimer(Handle(), kEditTimer);
        if (FEditPending && FSelected && Focused()) {
          FEditPending = false;
          BeginEdit(FSelected);
        }
        FEditPending = false;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    default:
      break;
  }
  TWinControl::DefaultHandler(Message);
}

void TCustomTreeView::HandleScroll(TMessage& Message, int Bar) {
  const WORD code = LOWORD(Message.WParam);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), Bar, &info);
  if (Bar == SB_VERT) {
    int row = FTopRow;
    const int page = std::max(VisibleCount(), 1);
    switch (code) {
      case SB_LINEUP: --row; break;
      case SB_LINEDOWN: ++row; break;
      case SB_PAGEUP: row -= page; break;
      case SB_PAGEDOWN: row += page; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: row = info.nTrackPos; break;
      case SB_TOP: row = 0; break;
      case SB_BOTTOM: row = info.nMax; break;
      default: return;
    }
    ScrollToRow(row);
  } else {
    int x = FScrollX;
    const int line = std::max(FIndent, 8);
    switch (code) {
      case SB_LINELEFT: x -= line; break;
      case SB_LINERIGHT: x += line; break;
      case SB_PAGELEFT: x -= ClientWidth(); break;
      case SB_PAGERIGHT: x += ClientWidth(); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: x = info.nTrackPos; break;
      case SB_LEFT: x = 0; break;
      case SB_RIGHT: x = info.nMax; break;
      default: return;
    }
    ScrollHorz(x);
  }
}

bool TCustomTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const bool handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  if (handled) return true;
  ScrollToRow(FTopRow + controls::WheelLines(WheelDelta, VisibleCount()));
  return true;
}

bool TCustomTreeView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  return controls::FireWheelEvent(OnMouseWheelDown, this, Shift, MousePos);
}

bool TCustomTreeView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  return controls::FireWheelEvent(OnMouseWheelUp, this, Shift, MousePos);
}

void TCustomTreeView::HandleKey(TMessage& Message) {
  const UINT key = static_cast<UINT>(Message.WParam);
  const auto& rows = Rows();
  if (rows.empty()) return;
  TTreeNode* cur = FSelected;
  auto select = [this](TTreeNode* n) {
    if (n) SelectNode(n);
  };
  const int page = std::max(VisibleCount(), 1);
  switch (key) {
    case VK_UP:
      select(cur ? cur->GetPrevVisible() : rows.front());
      break;
    case VK_DOWN:
      select(cur ? cur->GetNextVisible() : rows.front());
      break;
    case VK_HOME:
      select(rows.front());
      break;
    case VK_END:
      select(rows.back());
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      int row = cur ? RowOf(cur) : 0;
      row += key == VK_NEXT ? page - 1 : -(page - 1);
      row = std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
      select(rows[static_cast<size_t>(row)]);
      break;
    }
    case VK_LEFT:
      if (!cur) select(rows.front());
      else if (cur->FExpanded && cur->Count() > 0) ExpandNode(cur, false);
      else select(cur->Parent());
      break;
    case VK_RIGHT:
      if (!cur) select(rows.front());
      else if (!cur->FExpanded && cur->HasChildren()) ExpandNode(cur, true);
      else if (cur->FExpanded) select(cur->GetFirstChild());
      break;
    case VK_BACK:
      if (cur) select(cur->Parent());
      break;
    case VK_ADD:
      if (cur) ExpandNode(cur, true);
      break;
    case VK_SUBTRACT:
      if (cur) ExpandNode(cur, false);
      break;
    case VK_MULTIPLY:
      if (cur) {
        FTreeNodes->BeginUpdate();
        cur->Expand(true);
        FTreeNodes->EndUpdate();
      }
      break;
    case VK_F2:
      if (cur) BeginEdit(cur);
      break;
    default:
      break;
  }
}

void TCustomTreeView::HandleChar(TMessage& Message) {
  const char32_t ch = static_cast<char32_t>(Message.WParam);
  // "+", "-" and "*" are the expanding keys, not a search.
  if (ch == U'+' || ch == U'-' || ch == U'*' || !FSearch.Type(ch)) return;
  const auto& rows = Rows();
  const int found = FSearch.Find(FSelected ? RowOf(FSelected) : -1, static_cast<int>(rows.size()),
                                 [&rows](int i) { return rows[static_cast<size_t>(i)]->Text(); });
  if (found >= 0) SelectNode(rows[static_cast<size_t>(found)]);
}

void TCustomTreeView::HandleLButtonDown(TMessage& Message, bool Double) {
  const TPoint p = LParamToPoint(Message.LParam);
  const bool wasFocused = Focused();
  if (CanFocus() && !wasFocused) SetFocus();
  const THitTests hit = GetHitTestInfoAt(p.X, p.Y);
  TTreeNode* node = GetNodeAt(p.X, p.Y);
  KillTimer(Handle(), kEditTimer);
  if (hit.Contains(htOnButton)) {
    FPressNode = nullptr;
    if (node) ToggleNode(node);
    return;
  }
  const bool onItem = hit.Contains(htOnItem) || (FRowSelect && node);
  if (Double) {
    FEditPending = false;
    FPressNode = nullptr;
    NMHDR n;
    if (controls::NotifySelf(Handle(), n, NM_DBLCLK) != 0) return;
    if (onItem && node) {
      SelectNode(node);
      ToggleNode(node);
    }
    return;
  }
  FPressNode = onItem ? node : nullptr;
  FPressPos = p;
  FPressRight = false;
  FEditPending = onItem && node == FSelected && wasFocused && !FReadOnly && hit.Contains(htOnLabel);
}

void TCustomTreeView::HandleMouseMove(TMessage& Message) {
  const TPoint p = LParamToPoint(Message.LParam);
  if (FHotTrack) {
    TTreeNode* hot = GetHitTestInfoAt(p.X, p.Y).Contains(htOnItem) ? GetNodeAt(p.X, p.Y) : nullptr;
    SetHotNode(hot);
  }
  if (!FPressNode || !(Message.WParam & (MK_LBUTTON | MK_RBUTTON))) return;
  const int dx = std::abs(p.X - FPressPos.X);
  const int dy = std::abs(p.Y - FPressPos.Y);
  if (dx < GetSystemMetrics(SM_CXDRAG) && dy < GetSystemMetrics(SM_CXDRAG)) return;
  TTreeNode* node = FPressNode;
  const bool right = FPressRight;
  FPressNode = nullptr;
  FEditPending = false;
  if (GetWindowLongPtr(Handle(), GWL_STYLE) & TVS_DISABLEDRAGDROP) return;
  NMTREEVIEW n;
  n.itemNew.hItem = node->ItemId();
  n.itemNew.lParam = reinterpret_cast<LPARAM>(node);
  n.ptDrag = FPressPos;
  controls::NotifySelf(Handle(), n.hdr, right ? TVN_BEGINRDRAG : TVN_BEGINDRAG);
}

void TCustomTreeView::HandleLButtonUp(TMessage&) {
  TTreeNode* node = FPressNode;
  FPressNode = nullptr;
  const bool editPending = FEditPending;
  // The click is told before it selects, so a handler knows the selection comes from the mouse.
  NMHDR n;
  if (controls::NotifySelf(Handle(), n, NM_CLICK) != 0) return;
  if (!node) return;
  SelectNode(node);
  if (editPending && node == FSelected) {
    FEditPending = true;
    SetTimer(Handle(), kEditTimer, GetDoubleClickTime(), nullptr);
  }
}

void TCustomTreeView::HandleRButtonUp(TMessage& Message) {
  TTreeNode* node = FPressRight ? FPressNode : nullptr;
  FPressNode = nullptr;
  FPressRight = false;
  NMHDR n;
  if (controls::NotifySelf(Handle(), n, NM_RCLICK) != 0) return;
  if (FRightClickSelect && node) SelectNode(node);
  TWinControl::DefaultHandler(Message);
}

void TCustomTreeView::SetHotNode(TTreeNode* Node) {
  if (FHotNode == Node) return;
  FHotNode = Node;
  Invalidate();
}

void TCustomTreeView::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TWinControl::DragOver(Source, X, Y, State, Accept);
  if (State == dsDragLeave) SetDropTarget(nullptr);
  else SetDropTarget(Accept ? GetNodeAt(X, Y) : nullptr);
}

void TCustomTreeView::CMDrag(TMessage& Message) {
  TWinControl::CMDrag(Message);
  const auto kind = static_cast<TDragMessage>(Message.WParam);
  if (kind == dmDragDrop || kind == dmDragCancel || kind == dmDragLeave) SetDropTarget(nullptr);
}

// -- label editing --

TCustomEdit* TCustomTreeView::EditControl() const { return FEditNode ? FEditor : nullptr; }

void TCustomTreeView::BeginEdit(TTreeNode* Node) {
  if (!Node || FReadOnly || FEditNode || !HandleAllocated()) return;
  FEditPending = false;
  KillTimer(Handle(), kEditTimer);
  Node->MakeVisible();
  if (RowOf(Node) < 0) return;
  if (!FEditor) {
    FEditor = new controls::TLabelEdit(this);
    FEditor->OnDone = [this](bool Cancel) { FinishEdit(Cancel); };
  }
  // The editor exists and holds the text while the tree asks whether the node may be edited,
  // so a handler can give it another text to edit.
  FEditor->Load(Node->Text());
  FEditNode = Node;
  NMTVDISPINFO info;
  info.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM;
  info.item.hItem = Node->ItemId();
  info.item.pszText = Node->Text();
  info.item.lParam = reinterpret_cast<LPARAM>(Node);
  bool refused = true;
  try {
    refused = controls::NotifySelf(Handle(), info.hdr, TVN_BEGINLABELEDIT) != 0;
  } catch (...) {
    if (FEditNode == Node) FEditNode = nullptr;
    throw;
  }
  if (FEditNode != Node) return;  // the node went away meanwhile
  const int row = RowOf(Node);
  if (refused || row < 0) {
    FEditNode = nullptr;
    return;
  }
  FEditor->Open(Layout(Node, row).Label, false);
}

void TCustomTreeView::FinishEdit(bool Cancel) {
  TTreeNode* node = FEditNode;
  if (!node) return;
  // Not editing any more from here on: the handlers of the end see a tree that is done.
  FEditNode = nullptr;
  const bool tell = HandleAllocated() && !HasState(csDestroying);
  const std::string text = tell && !Cancel ? FEditor->Text() : std::string();
  FEditor->Close();
  if (!tell) return;
  NMTVDISPINFO info;
  info.item.mask = TVIF_HANDLE | TVIF_PARAM | (Cancel ? 0 : TVIF_TEXT);
  info.item.hItem = node->ItemId();
  info.item.pszText = text;
  info.item.lParam = reinterpret_cast<LPARAM>(node);
  controls::NotifySelf(Handle(), info.hdr, TVN_ENDLABELEDIT);
}

void TCustomTreeView::PlaceEditor() {
  if (!FEditNode) return;
  const int row = RowOf(FEditNode);
  if (row < 0) FinishEdit(false);
  else FEditor->Follow(Layout(FEditNode, row).Label);
}

// ---- published properties ----

static const classes::TPublished<TCustomTreeView, TWinControl> CustomTreeViewInfo;
static const classes::TPublished<TTreeView, TCustomTreeView> TreeViewInfo([](classes::TPublisher<TTreeView>& p) {
  p.Enum("BorderStyle", &TTreeView::BorderStyle, &TTreeView::SetBorderStyle).Default(bsSingle);
  p.Bool("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines).Default(true);
  p.Bool("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot).Default(true);
  p.Bool("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons).Default(true);
  p.Bool("HotTrack", &TTreeView::HotTrack, &TTreeView::SetHotTrack).Default(false);
  p.Bool("RowSelect", &TTreeView::RowSelect, &TTreeView::SetRowSelect).Default(false);
  p.Bool("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection).Default(true);
  p.Bool("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly).Default(false);
  p.Bool("RightClickSelect", &TTreeView::RightClickSelect, &TTreeView::SetRightClickSelect).Default(false);
  p.Bool("AutoExpand", &TTreeView::AutoExpand, &TTreeView::SetAutoExpand).Default(false);
  p.Bool("ToolTips", &TTreeView::ToolTips, &TTreeView::SetToolTips).Default(true);
  p.Int("Indent", &TTreeView::Indent, &TTreeView::SetIndent).Default(19);
  p.Int("ChangeDelay", &TTreeView::ChangeDelay, &TTreeView::SetChangeDelay).Default(0);
  p.Enum("SortType", &TTreeView::SortType, &TTreeView::SetSortType).Default(stNone);
  p.Component("Images", &TTreeView::Images, &TTreeView::SetImages);
  p.Component("StateImages", &TTreeView::StateImages, &TTreeView::SetStateImages);
  p.Event("OnChange", &TTreeView::OnChange);
  p.Event("OnChanging", &TTreeView::OnChanging);
  p.Event("OnExpanding", &TTreeView::OnExpanding);
  p.Event("OnExpanded", &TTreeView::OnExpanded);
  p.Event("OnCollapsing", &TTreeView::OnCollapsing);
  p.Event("OnCollapsed", &TTreeView::OnCollapsed);
  p.Event("OnEditing", &TTreeView::OnEditing);
  p.Event("OnEdited", &TTreeView::OnEdited);
  p.Event("OnCompare", &TTreeView::OnCompare);
  p.Event("OnDeletion", &TTreeView::OnDeletion);
  p.Event("OnGetImageIndex", &TTreeView::OnGetImageIndex);
  p.Event("OnGetSelectedIndex", &TTreeView::OnGetSelectedIndex);
  p.Event("OnCustomDraw", &TTreeView::OnCustomDraw);
  p.Event("OnCustomDrawItem", &TTreeView::OnCustomDrawItem);
});
