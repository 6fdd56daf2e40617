#include "platform/controls/ListView.h"

#include <algorithm>

#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Kernel.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Strings.h"

namespace {

constexpr UINT_PTR kEditTimer = 1;
constexpr int kIconCellWidth = 75;
// The room of an item's check box before its small icon.
constexpr int kCheckWidth = 16;

UINT StatesToBits(TItemStates States) {
  UINT bits = 0;
  if (States.Contains(isFocused)) bits |= LVIS_FOCUSED;
  if (States.Contains(isSelected)) bits |= LVIS_SELECTED;
  if (States.Contains(isCut)) bits |= LVIS_CUT;
  if (States.Contains(isDropHilited)) bits |= LVIS_DROPHILITED;
  return bits;
}

}  // namespace

const classes::TEnumInfo& EnumInfo(TViewStyle) {
  static const classes::TEnumInfo info{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
  return info;
}

// ---- TCustomListView ----

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner),
      FListItems(std::make_unique<TListItems>(this)),
      FListColumns(std::make_unique<TListColumns>(this)),
      FIconOptions(std::make_unique<TIconOptions>(this)),
      FCanvas(std::make_unique<TControlCanvas>()),
      FLargeChangeLink(std::make_unique<TChangeLink>()),
      FSmallChangeLink(std::make_unique<TChangeLink>()),
      FStateChangeLink(std::make_unique<TChangeLink>()) {
  FCanvas->SetControl(this);
  for (TChangeLink* l : {FLargeChangeLink.get(), FSmallChangeLink.get(), FStateChangeLink.get()})
    l->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
  SetBounds(Left(), Top(), 250, 150);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csDoubleClicks, csDisplayDragImage});
}

TCustomListView::~TCustomListView() {
  Destroying();
  if (FParent) RemoveFocus(true);
  if (HandleAllocated()) DestroyWindowHandle();
  SetLargeImages(nullptr);
  SetSmallImages(nullptr);
  SetStateImages(nullptr);
  FListItems->BeginUpdate();
  while (!FListItems->FItems.empty()) FListItems->Delete(FListItems->Count() - 1);
  if (FMeasureDC) DeleteDC(FMeasureDC);
  FCanvas->SetControl(nullptr);
}

// -- properties --

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (FViewStyle == Value) return;
  FViewStyle = Value;
  FScrollX = FScrollY = 0;
  FPositions.clear();
  LayoutHeader();
  ItemsChanged();
}

void TCustomListView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  if (!Value) {
    // One selected item at most: the focused one stays when it is selected, else the first.
    TListItem* keep = ItemFocused();
    if (!keep || !keep->Selected()) keep = Selected();
    if (keep) SelectOnly(keep->Index());
  }
}

#define LIST_SETTER(Name, Field)                \
  void TCustomListView::Set##Name(bool Value) { \
    if (Field == Value) return;                 \
    Field = Value;                              \
    ItemsChanged();                             \
  }
LIST_SETTER(RowSelect, FRowSelect)
LIST_SETTER(HideSelection, FHideSelection)
LIST_SETTER(GridLines, FGridLines)
LIST_SETTER(HotTrack, FHotTrack)
#undef LIST_SETTER

void TCustomListView::SetShowColumnHeaders(bool Value) {
  if (FShowColumnHeaders == Value) return;
  FShowColumnHeaders = Value;
  LayoutHeader();
  ItemsChanged();
}

void TCustomListView::SetOwnerData(bool Value) {
  if (FOwnerData == Value) return;
  FListItems->Clear();
  FOwnerData = Value;
  FVirtualCount = 0;
  FVirtualStates.clear();
  ItemsChanged();
}

void TCustomListView::SetSortType(TSortType Value) {
  if (FSortType == Value) return;
  FSortType = Value;
  if (Value != stNone) AlphaSort();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
  if (controls::LinkImageList(this, FLargeImages, Value, FLargeChangeLink.get())) ItemsChanged();
}
void TCustomListView::SetSmallImages(TCustomImageList* Value) {
  if (controls::LinkImageList(this, FSmallImages, Value, FSmallChangeLink.get())) ItemsChanged();
}
void TCustomListView::SetStateImages(TCustomImageList* Value) {
  if (controls::LinkImageList(this, FStateImages, Value, FStateChangeLink.get())) ItemsChanged();
}

void TCustomListView::ImageListChange(TObject*) { ItemsChanged(); }

TCustomImageList* TCustomListView::ViewImages() const { return FViewStyle == vsIcon ? FLargeImages : FSmallImages; }

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
  if (AComponent == FSmallImages) SetSmallImages(nullptr);
  if (AComponent == FStateImages) SetStateImages(nullptr);
}

// -- states --

UINT TCustomListView::StateOf(int Index) const {
  if (Index < 0 || Index >= FListItems->Count()) return 0;
  if (FOwnerData) return FVirtualStates[static_cast<size_t>(Index)];
  return FListItems->FItems[static_cast<size_t>(Index)]->FState;
}

bool TCustomListView::SetItemState(int Index, UINT Mask, UINT State) {
  if (Index < 0 || Index >= FListItems->Count()) return false;
  const UINT old = StateOf(Index);
  const UINT now = (old & ~Mask) | (State & Mask);
  if (now == old) return true;
  NMLISTVIEW n;
  n.iItem = Index;
  n.uOldState = old;
  n.uNewState = now;
  n.uChanged = LVIF_STATE;
  if (HandleAllocated() && controls::NotifySelf(Handle(), n.hdr, LVN_ITEMCHANGING) != 0) return false;
  if (!HandleAllocated()) {
    // Without a window the notifications run straight through the handler.
    n.hdr.code = LVN_ITEMCHANGING;
    if (Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&n.hdr)) != 0) return false;
  }
  if (Index >= FListItems->Count()) return false;
  if (FOwnerData) FVirtualStates[static_cast<size_t>(Index)] = now;
  else FListItems->FItems[static_cast<size_t>(Index)]->FState = now;
  ItemChanged(Index);
  if (HandleAllocated()) {
    controls::NotifySelf(Handle(), n.hdr, LVN_ITEMCHANGED);
  } else {
    n.hdr.code = LVN_ITEMCHANGED;
    Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&n.hdr));
  }
  return true;
}

void TCustomListView::FocusItem(int Index) {
  const int count = FListItems->Count();
  for (int i = 0; i < count; ++i)
    if (i != Index && (StateOf(i) & LVIS_FOCUSED)) SetItemState(i, LVIS_FOCUSED, 0);
  SetItemState(Index, LVIS_FOCUSED, LVIS_FOCUSED);
}

void TCustomListView::SelectOnly(int Index) {
  const int count = FListItems->Count();
  for (int i = 0; i < count; ++i)
    if (i != Index && (StateOf(i) & LVIS_SELECTED)) SetItemState(i, LVIS_SELECTED, 0);
  if (Index < 0) return;
  FocusItem(Index);
  SetItemState(Index, LVIS_SELECTED, LVIS_SELECTED);
  FAnchor = Index;
}

void TCustomListView::SelectRange(int From, int To, bool Keep) {
  if (From < 0) From = To;
  const int lo = std::min(From, To), hi = std::max(From, To);
  const int count = FListItems->Count();
  for (int i = 0; i < count; ++i) {
    const bool inside = i >= lo && i <= hi;
    if (inside) SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    else if (!Keep && (StateOf(i) & LVIS_SELECTED)) SetItemState(i, LVIS_SELECTED, 0);
  }
  FocusItem(To);
}

void TCustomListView::StatesInserted(int Index) {
  if (FEditItem >= Index) ++FEditItem;
  if (FAnchor >= Index) ++FAnchor;
  if (static_cast<int>(FPositions.size()) > Index) FPositions.insert(FPositions.begin() + Index, TPoint{-1, -1});
  FHotItem = -1;
}

void TCustomListView::StatesDeleted(int Index) {
  if (FEditItem == Index) FinishEdit(true);
  if (FEditItem > Index) --FEditItem;
  if (FAnchor >= Index) FAnchor = FAnchor == Index ? -1 : FAnchor - 1;
  if (FPressItem == Index) FPressItem = -1;
  if (static_cast<int>(FPositions.size()) > Index) FPositions.erase(FPositions.begin() + Index);
  FHotItem = -1;
}

TListItem* TCustomListView::Selected() { return GetNextItem(nullptr, TSearchDirection::sdAll, {isSelected}); }

void TCustomListView::SetSelected(TListItem* Value) {
  if (!Value) ClearSelection();
  else SelectOnly(Value->Index());
}

TListItem* TCustomListView::ItemFocused() { return GetNextItem(nullptr, TSearchDirection::sdAll, {isFocused}); }

void TCustomListView::SetItemFocused(TListItem* Value) {
  if (Value) FocusItem(Value->Index());
  else if (TListItem* f = ItemFocused()) SetItemState(f->Index(), LVIS_FOCUSED, 0);
}

int TCustomListView::SelCount() {
  int n = 0;
  for (int i = 0; i < FListItems->Count(); ++i)
    if (StateOf(i) & LVIS_SELECTED) ++n;
  return n;
}

void TCustomListView::SelectAll() {
  if (!FMultiSelect) return;
  for (int i = 0; i < FListItems->Count(); ++i) SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
}

void TCustomListView::ClearSelection() {
  for (int i = 0; i < FListItems->Count(); ++i)
    if (StateOf(i) & LVIS_SELECTED) SetItemState(i, LVIS_SELECTED, 0);
}

TListItem* TCustomListView::GetNextItem(TListItem* StartItem, TSearchDirection Direction, TItemStates States) {
  const UINT want = StatesToBits(States);
  const int count = FListItems->Count();
  int i = StartItem ? StartItem->Index() : -1;
  for (int steps = 0; steps < count + 1; ++steps) {
    if (Direction == TSearchDirection::sdAll) i = i + 1;
    else i = i < 0 ? 0 : Neighbour(i, Direction);
    if (i < 0 || i >= count) return nullptr;
    if ((StateOf(i) & want) == want) return FListItems->Item(i);
  }
  return nullptr;
}

// -- layout --

void TCustomListView::ItemsChanged() {
  if (FListItems->UpdateCount() > 0) return;
  if (FIconOptions->AutoArrange()) FPositions.clear();
  for (int c = 0; c < FListColumns->Count(); ++c)
    if (Column(c)->AutoSize()) SizeColumnToFit(c);
  UpdateScrollBars();
  Invalidate();
  PlaceEditor();
}

void TCustomListView::ItemChanged(int) {
  if (FListItems->UpdateCount() > 0) return;
  Invalidate();
  PlaceEditor();
}

int TCustomListView::TextHeight() {
  if (!FMeasureDC) FMeasureDC = CreateCompatibleDC(nullptr);
  SelectObject(FMeasureDC, Font()->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(FMeasureDC, &tm);
  return tm.tmHeight;
}

int TCustomListView::MeasureText(const std::string& S) {
  if (!FMeasureDC) FMeasureDC = CreateCompatibleDC(nullptr);
  SelectObject(FMeasureDC, Font()->Handle());
  TSize size{};
  GetTextExtentPoint32(FMeasureDC, S, &size);
  return size.cx;
}

int TCustomListView::RowHeight() {
  int h = TextHeight() + 3;
  if (FSmallImages) h = std::max(h, FSmallImages->Height() + 1);
  if (FStateImages) h = std::max(h, FStateImages->Height() + 1);
  return h;
}

TSize TCustomListView::IconCell() {
  const int iw = FLargeImages ? FLargeImages->Width() : 32;
  const int ih = FLargeImages ? FLargeImages->Height() : 32;
  return {std::max(kIconCellWidth, iw + 16), ih + 6 + TextHeight() + 8};
}

int TCustomListView::ListColumnWidth() {
  int w = 0;
  const int count = FListItems->Count();
  // Virtual lists are not measured item by item.
  if (FOwnerData) w = 100;
  else
    for (int i = 0; i < count; ++i) w = std::max(w, MeasureText(ItemText(i, 0)));
  int imageW = FSmallImages ? FSmallImages->Width() + 2 : 0;
  if (FStateImages) imageW += FStateImages->Width();
  if (FCheckboxes) imageW += kCheckWidth;
  return std::clamp(w + imageW + 12, 40, std::max(ClientWidth(), 40));
}

int TCustomListView::RowsPerColumn() { return std::max(ItemArea().Height() / std::max(RowHeight(), 1), 1); }

int TCustomListView::PerRow() {
  const int cellW = FViewStyle == vsIcon ? IconCell().cx : ListColumnWidth();
  return std::max(ItemArea().Width() / std::max(cellW, 1), 1);
}

int TCustomListView::HeaderHeight() {
  if (!FHeader || FViewStyle != vsReport || !FShowColumnHeaders) return 0;
  TRect r;
  GetWindowRect(FHeader, &r);
  return r.Height();
}

TRect TCustomListView::ItemArea() {
  TRect r = ClientRect();
  r.Top += HeaderHeight();
  return r;
}

int TCustomListView::ColumnLeft(int Column) {
  int x = 0;
  for (int c = 0; c < Column && c < FListColumns->Count(); ++c) x += this->Column(c)->Width();
  return x;
}

int TCustomListView::TotalColumnWidth() { return ColumnLeft(FListColumns->Count()); }

TRect TCustomListView::ItemBounds(int Index) {
  const TRect area = ItemArea();
  const int h = RowHeight();
  switch (FViewStyle) {
    case vsReport: {
      const int top = area.Top + (Index - FScrollY) * h;
      return {-FScrollX, top, -FScrollX + std::max(TotalColumnWidth(), 1), top + h};
    }
    case vsList: {
      const int rpc = RowsPerColumn();
      const int w = ListColumnWidth();
      const int x = (Index / rpc) * w - FScrollX;
      const int y = area.Top + (Index % rpc) * h;
      return {x, y, x + w, y + h};
    }
    default: {
      const TSize cell = FViewStyle == vsIcon ? IconCell() : TSize{ListColumnWidth(), h};
      TPoint p{(Index % PerRow()) * cell.cx, (Index / PerRow()) * cell.cy};
      if (FIconOptions->Arrangement() == iaLeft) {
        const int perColumn = std::max(area.Height() / std::max(static_cast<int>(cell.cy), 1), 1);
        p = {(Index / perColumn) * cell.cx, (Index % perColumn) * cell.cy};
      }
      if (Index < static_cast<int>(FPositions.size()) && FPositions[static_cast<size_t>(Index)].X >= 0)
        p = FPositions[static_cast<size_t>(Index)];
      const int x = p.X - FScrollX, y = area.Top + p.Y - FScrollY;
      return {x, y, x + cell.cx, y + cell.cy};
    }
  }
}

TRect TCustomListView::IconRect(int Index) {
  TRect b = ItemBounds(Index);
  if (FViewStyle == vsIcon) {
    const int iw = FLargeImages ? FLargeImages->Width() : 32;
    const int ih = FLargeImages ? FLargeImages->Height() : 32;
    const int x = b.Left + (b.Width() - iw) / 2;
    return {x, b.Top + 2, x + iw, b.Top + 2 + ih};
  }
  int x = b.Left + 2;
  if (FStateImages) x += FStateImages->Width();
  if (FCheckboxes) x += kCheckWidth;
  const int iw = FSmallImages ? FSmallImages->Width() : 0;
  const int ih = FSmallImages ? FSmallImages->Height() : 0;
  const int y = b.Top + (b.Height() - ih) / 2;
  return {x, y, x + iw, y + ih};
}

TRect TCustomListView::CheckRect(int Index) {
  const TRect b = ItemBounds(Index);
  int x = b.Left + 2;
  if (FStateImages) x += FStateImages->Width();
  const int size = kCheckWidth - 3;
  const int y = b.Top + (b.Height() - size) / 2;
  return {x, y, x + size, y + size};
}

void TCustomListView::ToggleCheck(int Index) {
  TListItem* item = FListItems->Item(Index);
  item->SetChecked(!item->Checked());
}

TRect TCustomListView::ItemRect(int Index, TDisplayCode Code) {
  if (Index < 0 || Index >= FListItems->Count()) return {};
  const TRect bounds = ItemBounds(Index);
  const TRect icon = IconRect(Index);
  const std::string caption = ItemText(Index, 0);
  TRect label;
  if (FViewStyle == vsIcon) {
    const int w = std::min(MeasureText(caption) + 6, bounds.Width());
    const int x = bounds.Left + (bounds.Width() - w) / 2;
    label = {x, icon.Bottom + 2, x + w, icon.Bottom + 4 + TextHeight()};
  } else {
    int right = icon.Right + 2 + MeasureText(caption) + 6;
    if (FViewStyle == vsReport && FListColumns->Count() > 0) right = bounds.Left + Column(0)->Width();
    else right = std::min(right, bounds.Right);
    label = {icon.Right + (icon.Width() ? 2 : 0), bounds.Top, std::max(right, icon.Right + 2), bounds.Bottom};
  }
  switch (Code) {
    case drIcon: return icon;
    case drLabel: return label;
    case drSelectBounds: {
      if (FViewStyle == vsReport && FRowSelect) return bounds;
      TRect r = label;
      if (icon.Width() > 0) {
        r.Left = std::min(r.Left, icon.Left);
        r.Top = std::min(r.Top, icon.Top);
        r.Right = std::max(r.Right, icon.Right);
      }
      return r;
    }
    default: return bounds;
  }
}

int TCustomListView::ItemAt(TPoint P, bool OnItemOnly) {
  if (!ItemArea().Contains(P)) return -1;
  const int count = FListItems->Count();
  if (FViewStyle == vsReport) {
    const int i = FScrollY + (P.Y - ItemArea().Top) / std::max(RowHeight(), 1);
    if (i < 0 || i >= count) return -1;
    // The whole row within the columns belongs to the item.
    return !OnItemOnly || ItemBounds(i).Contains(P) ? i : -1;
  }
  if (FViewStyle == vsList) {
    const int h = std::max(RowHeight(), 1);
    const int col = (P.X + FScrollX) / std::max(ListColumnWidth(), 1);
    const int row = (P.Y - ItemArea().Top) / h;
    const int i = col * RowsPerColumn() + row;
    if (i < 0 || i >= count) return -1;
    return !OnItemOnly || ItemRect(i, drSelectBounds).Contains(P) ? i : -1;
  }
  for (int i = count - 1; i >= 0; --i)
    if ((OnItemOnly ? ItemRect(i, drSelectBounds) : ItemBounds(i)).Contains(P)) return i;
  return -1;
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
  const int i = ItemAt({X, Y}, true);
  return i < 0 ? nullptr : FListItems->Item(i);
}

TListItem* TCustomListView::GetNearestItem(TPoint Point, TSearchDirection) {
  int best = -1;
  long long bestD = 0;
  for (int i = 0; i < FListItems->Count(); ++i) {
    TRect b = ItemBounds(i);
    const long long dx = Point.X - (b.Left + b.Right) / 2, dy = Point.Y - (b.Top + b.Bottom) / 2;
    if (best < 0 || dx * dx + dy * dy < bestD) {
      best = i;
      bestD = dx * dx + dy * dy;
    }
  }
  return best < 0 ? nullptr : FListItems->Item(best);
}

TListItem* TCustomListView::TopItem() {
  if (FListItems->Count() == 0) return nullptr;
  if (FViewStyle == vsReport) return FScrollY < FListItems->Count() ? FListItems->Item(FScrollY) : nullptr;
  const int i = ItemAt({ItemArea().Left + 1, ItemArea().Top + 1}, false);
  return FListItems->Item(std::max(i, 0));
}

int TCustomListView::VisibleRowCount() {
  if (FViewStyle == vsReport || FViewStyle == vsList) return ItemArea().Height() / std::max(RowHeight(), 1);
  const int cellH = FViewStyle == vsIcon ? IconCell().cy : RowHeight();
  return ItemArea().Height() / std::max(cellH, 1);
}

TSize TCustomListView::ContentSize() {
  const int count = FListItems->Count();
  switch (FViewStyle) {
    case vsReport: return {TotalColumnWidth(), count};
    case vsList: {
      const int cols = (count + RowsPerColumn() - 1) / RowsPerColumn();
      return {cols * ListColumnWidth(), 0};
    }
    default: {
      int bottom = 0;
      for (int i = 0; i < count; ++i) bottom = std::max(bottom, ItemBounds(i).Bottom - ItemArea().Top + FScrollY);
      return {0, bottom};
    }
  }
}

void TCustomListView::UpdateScrollBars() {
  if (!HandleAllocated() || FUpdatingScrollBars) return;
  FUpdatingScrollBars = true;
  for (int round = 0; round < 3; ++round) {
    const TRect before = ClientRect();
    const TSize content = ContentSize();
    const TRect area = ItemArea();
    SCROLLINFO v;
    v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SCROLLINFO hz = v;
    if (FViewStyle == vsReport) {
      const int page = std::max(VisibleRowCount(), 1);
      FScrollY = std::clamp(FScrollY, 0, std::max(0, content.cy - page));
      v.nMax = std::max(content.cy - 1, 0);
      v.nPage = static_cast<UINT>(page);
    } else {
      FScrollY = std::clamp(FScrollY, 0, std::max(0, content.cy - area.Height()));
      v.nMax = std::max(content.cy - 1, 0);
      v.nPage = static_cast<UINT>(std::max(area.Height(), 1));
    }
    v.nPos = FScrollY;
    FScrollX = std::clamp(FScrollX, 0, std::max(0, content.cx - area.Width()));
    hz.nMax = std::max(content.cx - 1, 0);
    hz.nPage = static_cast<UINT>(std::max(area.Width(), 1));
    hz.nPos = FScrollX;
    SetScrollInfo(Handle(), SB_VERT, &v, TRUE);
    SetScrollInfo(Handle(), SB_HORZ, &hz, TRUE);
    if (ClientRect() == before) break;
  }
  LayoutHeader();
  FUpdatingScrollBars = false;
}

void TCustomListView::SetScroll(int X, int Y) {
  if (X == FScrollX && Y == FScrollY) return;
  FScrollX = X;
  FScrollY = Y;
  UpdateScrollBars();
  Invalidate();
  // Scrolling ends the editing of a caption, keeping what was typed.
  FinishEdit(false);
}

void TCustomListView::Scroll(int DX, int DY) {
  const int dy = FViewStyle == vsReport ? DY / std::max(RowHeight(), 1) : DY;
  SetScroll(FScrollX + DX, FScrollY + dy);
}

void TCustomListView::EnsureVisible(int Index, bool PartialOK) {
  if (Index < 0 || Index >= FListItems->Count()) return;
  const TRect area = ItemArea();
  const TRect b = ItemBounds(Index);
  if (FViewStyle == vsReport) {
    const int page = std::max(VisibleRowCount(), 1);
    if (Index < FScrollY) SetScroll(FScrollX, Index);
    else if (Index >= FScrollY + page && !(PartialOK && b.Top < area.Bottom)) SetScroll(FScrollX, Index - page + 1);
    return;
  }
  if (FViewStyle == vsList) {
    if (b.Left < area.Left) SetScroll(FScrollX + b.Left - area.Left, FScrollY);
    else if (b.Right > area.Right && !(PartialOK && b.Left < area.Right))
      SetScroll(FScrollX + std::min(b.Right - area.Right, b.Left - area.Left), FScrollY);
    return;
  }
  if (b.Top < area.Top) SetScroll(FScrollX, FScrollY + b.Top - area.Top);
  else if (b.Bottom > area.Bottom && !(PartialOK && b.Top < area.Bottom))
    SetScroll(FScrollX, FScrollY + std::min(b.Bottom - area.Bottom, b.Top - area.Top));
}

void TCustomListView::Arrange() {
  FPositions.clear();
  ItemsChanged();
}

void TCustomListView::UpdateItems(int, int) { Invalidate(); }

// -- the header --

void TCustomListView::LayoutHeader() {
  if (!FHeader) return;
  const bool show = FViewStyle == vsReport && FShowColumnHeaders;
  TRect client = ClientRect();
  WINDOWPOS pos;
  HDLAYOUT layout{&client, &pos};
  ShowWindow(FHeader, show ? SW_SHOWNA : SW_HIDE);
  if (!show) return;
  SendMessage(FHeader, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  // The header moves with the report's horizontal scrolling.
  const int width = std::max(pos.cx + FScrollX, TotalColumnWidth() + 2);
  SetWindowPos(FHeader, nullptr, -FScrollX, pos.y, width, pos.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomListView::SyncHeader() {
  if (!FHeader || FSyncingHeader) return;
  FSyncingHeader = true;
  const int count = FListColumns->Count();
  while (static_cast<int>(SendMessage(FHeader, HDM_GETITEMCOUNT, 0, 0)) > count)
    SendMessage(FHeader, HDM_DELETEITEM, static_cast<WPARAM>(count), 0);
  for (int c = 0; c < count; ++c) {
    TListColumn* col = Column(c);
    int justify = col->Alignment() == taRightJustify ? HDF_RIGHT : col->Alignment() == taCenter ? HDF_CENTER : HDF_LEFT;
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
    item.pszText = col->Caption();
    item.cxy = col->Width();
    item.iImage = col->ImageIndex();
    if (c >= static_cast<int>(SendMessage(FHeader, HDM_GETITEMCOUNT, 0, 0))) {
      item.fmt = HDF_STRING | justify | (col->ImageIndex() >= 0 && FSmallImages ? HDF_IMAGE : 0);
      SendMessage(FHeader, HDM_INSERTITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
      continue;
    }
    // What a descendant set (the sort arrows, owner drawing) stays; the justification follows
    // the column.
    HDITEM old;
    old.mask = HDI_FORMAT;
    SendMessage(FHeader, HDM_GETITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&old));
    item.fmt = (old.fmt & ~HDF_JUSTIFYMASK) | justify;
    SendMessage(FHeader, HDM_SETITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
  }
  SendMessage(FHeader, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FSmallImages ? FSmallImages->Handle() : nullptr));
  FSyncingHeader = false;
  LayoutHeader();
}

void TCustomListView::ColumnsChanged() {
  SyncHeader();
  ItemsChanged();
}

void TCustomListView::ColumnWidthFromHeader(int Column, int Width) {
  if (Column < 0 || Column >= FListColumns->Count()) return;
  TListColumn* col = this->Column(Column);
  if (col->FWidth == Width) return;
  col->FWidth = Width;
  UpdateScrollBars();
  Invalidate();
}

void TCustomListView::SizeColumnToFit(int Column) {
  if (Column < 0 || Column >= FListColumns->Count() || FOwnerData) return;
  int w = MeasureText(this->Column(Column)->Caption()) + 16;
  for (int i = 0; i < FListItems->Count(); ++i) {
    TListItem* item = FListItems->Item(i);
    std::string s = ItemText(item->Index(), Column);
    int extra = 12;
    if (Column == 0) extra += (FSmallImages ? FSmallImages->Width() + 2 : 0) + (FStateImages ? FStateImages->Width() : 0);
    w = std::max(w, MeasureText(s) + extra);
  }
  TListColumn* col = this->Column(Column);
  if (col->FWidth == w) return;
  col->FWidth = w;
  SyncHeader();
}

void TCustomListView::HeaderNotify(TMessage& Message) {
  auto* n = reinterpret_cast<NMHEADER*>(Message.LParam);
  Message.Result = 0;
  switch (n->hdr.code) {
    case HDN_ITEMCLICK:
      Notify(LVN_COLUMNCLICK, -1, n->iItem);
      return;
    case HDN_ITEMCHANGED:
      if (!FSyncingHeader && n->pitem && (n->pitem->mask & HDI_WIDTH)) ColumnWidthFromHeader(n->iItem, n->pitem->cxy);
      return;
    case HDN_DIVIDERDBLCLICK:
      SizeColumnToFit(n->iItem);
      return;
    default:
      return;
  }
}

// -- window --

void TCustomListView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.Style |= WS_CLIPCHILDREN;
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  FHeader = CreateWindowEx(0, controls::HeaderClass(), "", WS_CHILD, 0, 0, 0, 0, Handle(), nullptr, nullptr, nullptr);
  SendMessage(FHeader, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  SyncHeader();
  UpdateScrollBars();
}

void TCustomListView::DestroyWnd() {
  if (FEditItem >= 0) FinishEdit(true);
  FHeader = nullptr;  // goes with the window, as a child
  TWinControl::DestroyWnd();
}

void TCustomListView::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  if (FHeader) SendMessage(FHeader, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  LayoutHeader();
  ItemsChanged();
}

void TCustomListView::CMColorChanged(TMessage& Message) {
  TWinControl::CMColorChanged(Message);
  Invalidate();
}

void TCustomListView::CMEnabledChanged(TMessage& Message) {
  TWinControl::CMEnabledChanged(Message);
  Invalidate();
}

void TCustomListView::WMSize(TMessage& Message) {
  TWinControl::WMSize(Message);
  UpdateScrollBars();
  Invalidate();
}

void TCustomListView::WndProc(TMessage& Message) {
  // With automatic dragging the press still reaches the list: the drag starts once a pressed
  // item is moved (LVN_BEGINDRAG).
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

// -- sorting --

int TCustomListView::CompareForSort(TListItem* A, TListItem* B) {
  if (OnCompare) {
    int result = 0;
    OnCompare(this, A, B, 0, result);
    return result;
  }
  if (FSortType == stData) return A->Data() == B->Data() ? 0 : A->Data() < B->Data() ? -1 : 1;
  return AnsiCompareText(TextOf(A, 0), TextOf(B, 0));
}

void TCustomListView::SortNow(const std::function<int(TListItem*, TListItem*)>& Compare) {
  if (FOwnerData) return;
  auto& items = FListItems->FItems;
  const int editing = FEditItem;
  TListItem* edited = editing >= 0 ? items[static_cast<size_t>(editing)].get() : nullptr;
  TListItem* anchor = FAnchor >= 0 && FAnchor < static_cast<int>(items.size()) ? items[static_cast<size_t>(FAnchor)].get() : nullptr;
  std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) { return Compare(a.get(), b.get()) < 0; });
  FListItems->Renumber(0);
  if (edited) FEditItem = edited->FIndex;
  FAnchor = anchor ? anchor->FIndex : -1;
  FPositions.clear();
  ItemsChanged();
}

void TCustomListView::SortNew() {
  if (FListItems->UpdateCount() > 0 || (FSortType != stText && FSortType != stBoth)) return;
  SortNow([this](TListItem* a, TListItem* b) { return CompareForSort(a, b); });
}

bool TCustomListView::AlphaSort() {
  if (FOwnerData) return false;
  SortNow([this](TListItem* a, TListItem* b) { return CompareForSort(a, b); });
  return true;
}

bool TCustomListView::CustomSort(const TLVCompare& SortProc, LPARAM Data) {
  if (FOwnerData) return false;
  if (!SortProc) return AlphaSort();
  SortNow([&](TListItem* a, TListItem* b) { return SortProc(a, b, Data); });
  return true;
}

// -- the virtual hooks --

bool TCustomListView::CanChange(TListItem* Item, TItemChange Change) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Item, Change, allow);
  return allow;
}

void TCustomListView::Change(TListItem* Item, TItemChange Change) {
  if (OnChange) OnChange(this, Item, Change);
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected) {
  if (OnSelectItem) OnSelectItem(this, Item, Selected);
}

void TCustomListView::ColClick(TListColumn* Column) {
  if (OnColumnClick) OnColumnClick(this, Column);
}

bool TCustomListView::CanEdit(TListItem* Item) {
  bool allow = true;
  if (OnEditing) OnEditing(this, Item, allow);
  return allow;
}

void TCustomListView::Edit(TListItem* Item, const std::optional<std::string>& Text) {
  if (!Text) return;
  std::string s = *Text;
  if (OnEdited) OnEdited(this, Item, s);
  Item->SetCaption(s);
}

void TCustomListView::Delete(TListItem* Item) {
  if (OnDeletion) OnDeletion(this, Item);
}

void TCustomListView::InsertItem(TListItem* Item) {
  if (OnInsert) OnInsert(this, Item);
}

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest) {
  if (!OnData) return false;
  OnData(this, Item);
  return true;
}

bool TCustomListView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) {
  if (Stage != cdPrePaint) return false;
  switch (Target) {
    case dtControl: return static_cast<bool>(OnCustomDraw);
    case dtItem: return static_cast<bool>(OnCustomDrawItem) || static_cast<bool>(OnCustomDrawSubItem);
    default: return static_cast<bool>(OnCustomDrawSubItem);
  }
}

bool TCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDraw) OnCustomDraw(this, ARect, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, Item, State, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawSubItem(TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDrawSubItem) OnCustomDrawSubItem(this, Item, SubItem, State, defaultDraw);
  return defaultDraw;
}

// -- painting --

TCustomDrawState TCustomListView::ItemDrawState(int Index) {
  const UINT s = StateOf(Index);
  TCustomDrawState state;
  if ((s & LVIS_SELECTED) && (Focused() || !FHideSelection)) state.Include(cdsSelected);
  if (s & LVIS_DROPHILITED) state.Include(cdsSelected);
  if ((s & LVIS_FOCUSED) && Focused()) state.Include(cdsFocused);
  if (Index == FHotItem) state.Include(cdsHot);
  if (s & LVIS_CUT) state.Include(cdsGrayed);
  if (!Enabled()) state.Include(cdsDisabled);
  return state;
}

void TCustomListView::WMPaint(TMessage& Message) { PaintCustom(Message); }

void TCustomListView::DrawText(const std::string& S, TRect R, TAlignment Alignment) {
  TTextFormat format{tfSingleLine, tfVerticalCenter, tfNoPrefix, tfEndEllipsis};
  if (Alignment == taRightJustify) format.Include(tfRight);
  else if (Alignment == taCenter) format.Include(tfCenter);
  std::string s = S;
  FCanvas->Brush()->SetStyle(bsClear);
  FCanvas->TextRect(R, s, format);
}

void TCustomListView::DrawItem(int Index, const TRect& Client) {
  TListItem* item = FListItems->Item(Index);
  const TCustomDrawState state = ItemDrawState(Index);
  const bool selected = state.Contains(cdsSelected);
  const bool active = selected && (Focused() || (StateOf(Index) & LVIS_DROPHILITED));
  FCanvas->Font()->Assign(Font());
  if (!Enabled()) FCanvas->Font()->SetColor(clGrayText);
  else if (selected && active) FCanvas->Font()->SetColor(clHighlightText);
  else if (FHotTrack && Index == FHotItem) FCanvas->Font()->SetColor(clHotLight);
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->Brush()->SetColor(selected ? (active ? clHighlight : clBtnFace) : Color());
  const TColor textColor = FCanvas->Font()->Color();
  if (IsCustomDrawn(dtItem, cdPrePaint) && !CustomDrawItem(item, state, cdPrePaint)) return;
  const TColor brushColor = FCanvas->Brush()->Color();
  const TRect icon = ItemRect(Index, drIcon);
  const TRect label = ItemRect(Index, drLabel);
  const TRect bounds = ItemBounds(Index);
  // Background: the label (the whole row with RowSelect), or a colour the handler chose.
  TRect back = FViewStyle == vsReport && FRowSelect ? bounds : label;
  if (selected || brushColor != Color()) {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->FillRect(back);
  }
  TCustomImageList* images = ViewImages();
  if (FStateImages && item->StateIndex() >= 0 && FViewStyle != vsIcon)
    FStateImages->Draw(FCanvas.get(), bounds.Left + 2, bounds.Top + (bounds.Height() - FStateImages->Height()) / 2,
                       item->StateIndex(), Enabled());
  if (images && item->ImageIndex() >= 0) {
    const bool enabled = Enabled() && !(StateOf(Index) & LVIS_CUT);
    images->Draw(FCanvas.get(), icon.Left, icon.Top, item->ImageIndex(), enabled);
    if (item->OverlayIndex() >= 0)
      images->DrawOverlay(FCanvas.get(), icon.Left, icon.Top, item->ImageIndex(), static_cast<TOverlay>(item->OverlayIndex()), enabled);
  }
  TRect text = label;
  text.Left += 2;
  text.Right -= 2;
  if (FCheckboxes && FViewStyle != vsIcon) {
    TRect check = CheckRect(Index);
    DrawFrameControl(FCanvas->Handle(), &check, DFC_BUTTON,
                     static_cast<UINT>(DFCS_BUTTONCHECK) | (item->Checked() ? static_cast<UINT>(DFCS_CHECKED) : 0u) | (Enabled() ? 0u : static_cast<UINT>(DFCS_INACTIVE)));
  }
  DrawText(ItemText(Index, 0), text, FViewStyle == vsIcon ? taCenter : FListColumns->Count() > 0 && FViewStyle == vsReport ? Column(0)->Alignment() : taLeftJustify);
  if (FViewStyle == vsReport) {
    const bool subSelected = selected && FRowSelect;
    for (int c = 1; c < FListColumns->Count(); ++c) {
      const int left = bounds.Left + ColumnLeft(c);
      TRect r{left + 6, bounds.Top, left + Column(c)->Width() - 6, bounds.Bottom};
      if (r.Left >= Client.Right) break;
      FCanvas->Font()->Assign(Font());
      FCanvas->Font()->SetColor(!Enabled() ? clGrayText : subSelected && active ? clHighlightText : textColor == clHighlightText ? Font()->Color() : textColor);
      if (IsCustomDrawn(dtSubItem, cdPrePaint) && !CustomDrawSubItem(item, c, state, cdPrePaint)) continue;
      DrawText(ItemText(Index, c), r, Column(c)->Alignment());
    }
  }
  if ((StateOf(Index) & LVIS_FOCUSED) && Focused()) FCanvas->DrawFocusRect(back);
}

void TCustomListView::PaintWindow(HDC DC) {
  controls::TCanvasPaint paint(*FCanvas, DC);
  TRect client = ClientRect();
  FCanvas->Brush()->SetColor(Color());
  FCanvas->Brush()->SetStyle(bsSolid);
  if (IsCustomDrawn(dtControl, cdPrePaint) && !CustomDraw(client, cdPrePaint)) return;
  FCanvas->FillRect(client);
  const TRect area = ItemArea();
  IntersectClipRect(DC, area.Left, area.Top, area.Right, area.Bottom);
  const int count = FListItems->Count();
  if (FViewStyle == vsReport) {
    const int h = std::max(RowHeight(), 1);
    const int last = std::min(count, FScrollY + area.Height() / h + 1);
    for (int i = FScrollY; i < last; ++i) DrawItem(i, client);
    if (FGridLines) {
      HBRUSH line = CreateSolidBrush(ColorToRGB(clBtnFace));
      for (int c = 1; c <= FListColumns->Count(); ++c) {
        TRect r{ColumnLeft(c) - FScrollX - 1, area.Top, ColumnLeft(c) - FScrollX, area.Bottom};
        FillRect(DC, &r, line);
      }
      for (int y = area.Top + h - 1; y < area.Bottom; y += h) {
        TRect r{area.Left, y, area.Right, y + 1};
        FillRect(DC, &r, line);
      }
      DeleteObject(line);
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    TRect b = ItemBounds(i);
    if (b.Right <= area.Left || b.Left >= area.Right || b.Bottom <= area.Top || b.Top >= area.Bottom) continue;
    DrawItem(i, client);
  }
}

// -- notifications --

LRESULT TCustomListView::Notify(UINT Code, int Item, int SubItem) {
  NMLISTVIEW n;
  n.iItem = Item;
  n.iSubItem = SubItem;
  n.ptAction = FPressPos;
  return controls::NotifySelf(Handle(), n.hdr, Code);
}

void TCustomListView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    CNNotify(Message);
    return;
  }
  if (Message.Msg == WM_NOTIFY && FHeader && reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom == FHeader) {
    HeaderNotify(Message);
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomListView::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  Message.Result = 0;
  if (!hdr) return;
  switch (hdr->code) {
    case LVN_ITEMCHANGING: {
      auto* n = reinterpret_cast<NMLISTVIEW*>(hdr);
      if (n->iItem >= 0 && n->iItem < FListItems->Count())
        Message.Result = CanChange(FListItems->Item(n->iItem), ctState) ? 0 : 1;
      return;
    }
    case LVN_ITEMCHANGED: {
      auto* n = reinterpret_cast<NMLISTVIEW*>(hdr);
      if (n->iItem < 0 || n->iItem >= FListItems->Count()) return;
      TListItem* item = FListItems->Item(n->iItem);
      Change(item, ctState);
      if ((n->uOldState ^ n->uNewState) & LVIS_SELECTED) DoSelectItem(item, (n->uNewState & LVIS_SELECTED) != 0);
      return;
    }
    case LVN_COLUMNCLICK: {
      auto* n = reinterpret_cast<NMLISTVIEW*>(hdr);
      if (FColumnClick && n->iSubItem >= 0 && n->iSubItem < FListColumns->Count()) ColClick(Column(n->iSubItem));
      return;
    }
    case LVN_BEGINDRAG:
      if (DragMode() == dmAutomatic) BeginDrag(true);
      return;
    case LVN_BEGINLABELEDIT: {
      auto* n = reinterpret_cast<NMLVDISPINFO*>(hdr);
      const bool known = n->item.iItem >= 0 && n->item.iItem < FListItems->Count();
      Message.Result = known && CanEdit(FListItems->Item(n->item.iItem)) ? 0 : 1;
      return;
    }
    case LVN_ENDLABELEDIT: {
      auto* n = reinterpret_cast<NMLVDISPINFO*>(hdr);
      if (n->item.iItem < 0 || n->item.iItem >= FListItems->Count()) return;
      TListItem* item = FListItems->Item(n->item.iItem);
      if (n->item.mask & LVIF_TEXT) Edit(item, n->item.pszText);
      else Edit(item, std::nullopt);
      return;
    }
    case LVN_GETINFOTIP: {
      auto* n = reinterpret_cast<NMLVGETINFOTIP*>(hdr);
      if (OnInfoTip && n->iItem >= 0 && n->iItem < FListItems->Count()) OnInfoTip(this, FListItems->Item(n->iItem), n->pszText);
      return;
    }
    default:
      return;
  }
}

// -- the window class's own handling --

void TCustomListView::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case LVM_SETBKCOLOR:
    case LVM_SETTEXTBKCOLOR:
      Invalidate();
      Message.Result = TRUE;
      return;
    case LVM_GETHEADER:
      Message.Result = reinterpret_cast<LRESULT>(FHeader);
      return;
    case WM_PARENTNOTIFY:
      // The header announces itself while it is being made: from then on LVM_GETHEADER
      // answers it, so a descendant that hooks the header on this notice finds it.
      if (LOWORD(Message.WParam) == WM_CREATE && !FHeader) {
        HWND child = reinterpret_cast<HWND>(Message.LParam);
        if (GetClassName(child) == controls::HeaderClass()) FHeader = child;
      }
      break;
    case LVM_GETEDITCONTROL:
      Message.Result = FEditItem >= 0 && FEditor->HandleAllocated() ? reinterpret_cast<LRESULT>(FEditor->Handle()) : 0;
      return;
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
      HandleRButtonDown(Message);
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
      FPressItem = -1;
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
        TListItem* f = ItemFocused();
        if (FEditPending && f && Focused()) BeginEdit(f->Index());
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

void TCustomListView::HandleScroll(TMessage& Message, int Bar) {
  const WORD code = LOWORD(Message.WParam);
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), Bar, &info);
  const bool rows = Bar == SB_VERT && FViewStyle == vsReport;
  const int line = rows ? 1 : Bar == SB_VERT ? RowHeight() : FViewStyle == vsList ? ListColumnWidth() : 16;
  const int page = rows ? std::max(VisibleRowCount(), 1) : static_cast<int>(info.nPage);
  int pos = Bar == SB_VERT ? FScrollY : FScrollX;
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return;
  }
  if (Bar == SB_VERT) SetScroll(FScrollX, std::max(pos, 0));
  else SetScroll(std::max(pos, 0), FScrollY);
}

bool TCustomListView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const bool handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  if (handled) return true;
  const int lines = controls::WheelLines(WheelDelta, VisibleRowCount());
  // The list view scrolls sideways a column per notch.
  if (FViewStyle == vsList) SetScroll(std::max(FScrollX + (lines > 0 ? 1 : -1) * ListColumnWidth(), 0), FScrollY);
  else if (FViewStyle == vsReport) SetScroll(FScrollX, std::max(FScrollY + lines, 0));
  else SetScroll(FScrollX, std::max(FScrollY + lines * RowHeight(), 0));
  return true;
}

bool TCustomListView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  return controls::FireWheelEvent(OnMouseWheelDown, this, Shift, MousePos);
}

bool TCustomListView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  return controls::FireWheelEvent(OnMouseWheelUp, this, Shift, MousePos);
}

int TCustomListView::Neighbour(int Index, TSearchDirection Direction) {
  const int count = FListItems->Count();
  int step = 0;
  switch (FViewStyle) {
    case vsReport:
      step = Direction == TSearchDirection::sdAbove ? -1 : Direction == TSearchDirection::sdBelow ? 1 : 0;
      break;
    case vsList:
      step = Direction == TSearchDirection::sdAbove ? -1 : Direction == TSearchDirection::sdBelow ? 1 : Direction == TSearchDirection::sdLeft ? -RowsPerColumn() : RowsPerColumn();
      break;
    default:
      step = Direction == TSearchDirection::sdLeft ? -1 : Direction == TSearchDirection::sdRight ? 1 : Direction == TSearchDirection::sdAbove ? -PerRow() : PerRow();
      break;
  }
  if (step == 0) return -1;
  const int i = Index + step;
  return i >= 0 && i < count ? i : -1;
}

void TCustomListView::MoveFocusTo(int Index, TShiftState Shift) {
  if (Index < 0 || Index >= FListItems->Count()) return;
  if (FMultiSelect && Shift.Contains(ssShift)) SelectRange(FAnchor, Index, Shift.Contains(ssCtrl));
  else if (FMultiSelect && Shift.Contains(ssCtrl)) FocusItem(Index);
  else SelectOnly(Index);
  EnsureVisible(Index, false);
}

void TCustomListView::HandleKey(TMessage& Message) {
  const UINT key = static_cast<UINT>(Message.WParam);
  const int count = FListItems->Count();
  if (count == 0) return;
  const TShiftState shift = KeyboardStateToShiftState();
  TListItem* focusedItem = ItemFocused();
  const int cur = focusedItem ? focusedItem->Index() : -1;
  auto step = [&](TSearchDirection d) {
    if (cur < 0) {
      MoveFocusTo(0, shift);
      return;
    }
    const int n = Neighbour(cur, d);
    if (n >= 0) MoveFocusTo(n, shift);
  };
  switch (key) {
    case VK_UP: step(TSearchDirection::sdAbove); break;
    case VK_DOWN: step(TSearchDirection::sdBelow); break;
    case VK_LEFT:
      if (FViewStyle == vsReport) SetScroll(std::max(FScrollX - 16, 0), FScrollY);
      else step(TSearchDirection::sdLeft);
      break;
    case VK_RIGHT:
      if (FViewStyle == vsReport) SetScroll(FScrollX + 16, FScrollY);
      else step(TSearchDirection::sdRight);
      break;
    case VK_HOME: MoveFocusTo(0, shift); break;
    case VK_END: MoveFocusTo(count - 1, shift); break;
    case VK_PRIOR:
    case VK_NEXT: {
      const int page = std::max(VisibleRowCount() - 1, 1) * (FViewStyle == vsIcon || FViewStyle == vsSmallIcon ? PerRow() : 1);
      const int target = std::clamp((cur < 0 ? 0 : cur) + (key == VK_NEXT ? page : -page), 0, count - 1);
      MoveFocusTo(target, shift);
      break;
    }
    case VK_SPACE:
      if (cur >= 0 && FCheckboxes) ToggleCheck(cur);
      if (cur >= 0) {
        if (FMultiSelect && shift.Contains(ssCtrl)) SetItemState(cur, LVIS_SELECTED, (StateOf(cur) & LVIS_SELECTED) ? 0 : LVIS_SELECTED);
        else if (!(StateOf(cur) & LVIS_SELECTED)) MoveFocusTo(cur, {});
      }
      break;
    case VK_F2:
      if (cur >= 0) BeginEdit(cur);
      break;
    default:
      break;
  }
}

void TCustomListView::HandleChar(TMessage& Message) {
  if (!FSearch.Type(static_cast<char32_t>(Message.WParam))) return;
  TListItem* f = ItemFocused();
  const int found = FSearch.Find(f ? f->Index() : -1, FListItems->Count(),
                                 [this](int i) { return ItemText(i, 0); });
  if (found >= 0) MoveFocusTo(found, {});
}

void TCustomListView::HandleLButtonDown(TMessage& Message, bool Double) {
  const TPoint p = LParamToPoint(Message.LParam);
  const bool wasFocused = Focused();
  if (CanFocus() && !wasFocused) SetFocus();
  KillTimer(Handle(), kEditTimer);
  const int i = ItemAt(p, true);
  FPressPos = p;
  if (Double) {
    FEditPending = false;
    FPressItem = -1;
    Notify(NM_DBLCLK, i);
    return;
  }
  const TShiftState shift = KeysToShiftState(static_cast<WORD>(Message.WParam));
  FPressRight = false;
  FPressItem = i;
  if (FCheckboxes && i >= 0 && FViewStyle != vsIcon && CheckRect(i).Contains(p)) ToggleCheck(i);
  if (i < 0) {
    if (!shift.Contains(ssCtrl)) ClearSelection();
    return;
  }
  const bool wasCurrent = wasFocused && (StateOf(i) & LVIS_SELECTED) && (StateOf(i) & LVIS_FOCUSED);
  if (FMultiSelect && shift.Contains(ssShift)) {
    SelectRange(FAnchor, i, shift.Contains(ssCtrl));
  } else if (FMultiSelect && shift.Contains(ssCtrl)) {
    SetItemState(i, LVIS_SELECTED, (StateOf(i) & LVIS_SELECTED) ? 0 : LVIS_SELECTED);
    FocusItem(i);
    FAnchor = i;
  } else if (!(StateOf(i) & LVIS_SELECTED)) {
    SelectOnly(i);
  } else {
    FocusItem(i);
  }
  // The pressed button itself is in Shift: only the keys count.
  const bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
  FEditPending = wasCurrent && !FReadOnly && plain && SelCount() == 1 && ItemRect(i, drLabel).Contains(p);
}

void TCustomListView::HandleRButtonDown(TMessage& Message) {
  const TPoint p = LParamToPoint(Message.LParam);
  if (CanFocus() && !Focused()) SetFocus();
  const int i = ItemAt(p, true);
  FPressPos = p;
  FPressItem = i;
  FPressRight = true;
  if (i >= 0 && !(StateOf(i) & LVIS_SELECTED)) SelectOnly(i);
  else if (i >= 0) FocusItem(i);
}

void TCustomListView::HandleMouseMove(TMessage& Message) {
  const TPoint p = LParamToPoint(Message.LParam);
  if (FHotTrack) {
    const int hot = ItemAt(p, true);
    if (hot != FHotItem) {
      FHotItem = hot;
      Invalidate();
    }
  }
  if (FPressItem < 0 || !(Message.WParam & (MK_LBUTTON | MK_RBUTTON))) return;
  if (std::abs(p.X - FPressPos.X) < GetSystemMetrics(SM_CXDRAG) && std::abs(p.Y - FPressPos.Y) < GetSystemMetrics(SM_CXDRAG))
    return;
  const int item = FPressItem;
  FPressItem = -1;
  FEditPending = false;
  Notify(FPressRight ? LVN_BEGINRDRAG : LVN_BEGINDRAG, item);
}

void TCustomListView::HandleLButtonUp(TMessage& Message) {
  const int pressed = FPressItem;
  FPressItem = -1;
  const TShiftState shift = KeysToShiftState(static_cast<WORD>(Message.WParam));
  // A press on one of several selected items selects it alone once it is let go (no drag).
  if (pressed >= 0 && !FPressRight && shift.Empty() && SelCount() > 1) SelectOnly(pressed);
  if (Notify(NM_CLICK, pressed) != 0) return;
  if (FEditPending && pressed >= 0) SetTimer(Handle(), kEditTimer, GetDoubleClickTime(), nullptr);
  else FEditPending = false;
}

void TCustomListView::HandleRButtonUp(TMessage& Message) {
  const int pressed = FPressRight ? FPressItem : -1;
  FPressItem = -1;
  FPressRight = false;
  if (Notify(NM_RCLICK, pressed) != 0) return;
  TWinControl::DefaultHandler(Message);
}

// -- label editing --

TCustomEdit* TCustomListView::EditControl() const { return FEditItem >= 0 ? FEditor : nullptr; }

void TCustomListView::BeginEdit(int Index) {
  if (Index < 0 || Index >= FListItems->Count() || FReadOnly || FEditItem >= 0 || !HandleAllocated()) return;
  FEditPending = false;
  KillTimer(Handle(), kEditTimer);
  EnsureVisible(Index, false);
  if (!FEditor) {
    FEditor = new controls::TLabelEdit(this);
    FEditor->OnDone = [this](bool Cancel) { FinishEdit(Cancel); };
  }
  // The editor exists and holds the caption while the list asks whether the item may be
  // edited, so a handler can give it another text to edit.
  const std::string caption = ItemText(Index, 0);
  FEditor->Load(caption);
  FEditItem = Index;
  NMLVDISPINFO info;
  info.item.mask = LVIF_TEXT | LVIF_PARAM;
  info.item.iItem = Index;
  info.item.pszText = caption;
  info.item.lParam = reinterpret_cast<LPARAM>(FListItems->Item(Index)->Data());
  bool refused = true;
  try {
    refused = controls::NotifySelf(Handle(), info.hdr, LVN_BEGINLABELEDIT) != 0;
  } catch (...) {
    FEditItem = -1;
    throw;
  }
  // The item may have moved or gone meanwhile: FEditItem follows it (-1 when it went).
  if (refused || FEditItem < 0) {
    FEditItem = -1;
    return;
  }
  FEditor->Open(ItemRect(FEditItem, drLabel), FViewStyle == vsIcon);
}

void TCustomListView::FinishEdit(bool Cancel) {
  const int index = FEditItem;
  if (index < 0) return;
  // Not editing any more from here on: the handlers of the end see a list that is done.
  FEditItem = -1;
  const bool tell = HandleAllocated() && !HasState(csDestroying) && index < FListItems->Count();
  const std::string text = tell && !Cancel ? FEditor->Text() : std::string();
  FEditor->Close();
  if (!tell) return;
  NMLVDISPINFO info;
  info.item.mask = LVIF_PARAM | (Cancel ? 0 : LVIF_TEXT);
  info.item.iItem = index;
  info.item.pszText = text;
  info.item.lParam = reinterpret_cast<LPARAM>(FListItems->Item(index)->Data());
  controls::NotifySelf(Handle(), info.hdr, LVN_ENDLABELEDIT);
}

void TCustomListView::PlaceEditor() {
  if (FEditItem >= 0) FEditor->Follow(ItemRect(FEditItem, drLabel));
}

// ---- published properties ----

static const classes::TPublished<TCustomListView, TWinControl> CustomListViewInfo;
static const classes::TPublished<TListView, TCustomListView> ListViewInfo([](classes::TPublisher<TListView>& p) {
  p.Object("Columns", &TListView::Columns, &TListView::SetColumns);
  p.Enum("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle).Default(vsIcon);
  p.Enum("BorderStyle", &TListView::BorderStyle, &TListView::SetBorderStyle).Default(bsSingle);
  p.Bool("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect).Default(false);
  p.Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect).Default(false);
  p.Bool("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection).Default(true);
  p.Bool("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly).Default(false);
  p.Bool("ColumnClick", &TListView::ColumnClick, &TListView::SetColumnClick).Default(true);
  p.Bool("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders).Default(true);
  p.Bool("GridLines", &TListView::GridLines, &TListView::SetGridLines).Default(false);
  p.Bool("HotTrack", &TListView::HotTrack, &TListView::SetHotTrack).Default(false);
  p.Bool("OwnerData", &TListView::OwnerData, &TListView::SetOwnerData).Default(false);
  p.Enum("SortType", &TListView::SortType, &TListView::SetSortType).Default(stNone);
  p.Int("AllocBy", &TListView::AllocBy, &TListView::SetAllocBy).Default(0);
  p.Component("LargeImages", &TListView::LargeImages, &TListView::SetLargeImages);
  p.Component("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages);
  p.Component("StateImages", &TListView::StateImages, &TListView::SetStateImages);
  p.Event("OnSelectItem", &TListView::OnSelectItem);
  p.Event("OnChange", &TListView::OnChange);
  p.Event("OnChanging", &TListView::OnChanging);
  p.Event("OnColumnClick", &TListView::OnColumnClick);
  p.Event("OnCompare", &TListView::OnCompare);
  p.Event("OnDeletion", &TListView::OnDeletion);
  p.Event("OnInsert", &TListView::OnInsert);
  p.Event("OnEditing", &TListView::OnEditing);
  p.Event("OnEdited", &TListView::OnEdited);
  p.Event("OnData", &TListView::OnData);
  p.Event("OnInfoTip", &TListView::OnInfoTip);
  p.Event("OnCustomDraw", &TListView::OnCustomDraw);
  p.Event("OnCustomDrawItem", &TListView::OnCustomDrawItem);
  p.Event("OnCustomDrawSubItem", &TListView::OnCustomDrawSubItem);
});
