#include "platform/controls/ListCtrls.h"

#include <algorithm>

#include "platform/classes/UpdateGuard.h"
#include "platform/controls/ListCtrlsInternal.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Frames.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/rtl/Strings.h"

namespace controls {

// The items of a list box: texts, objects, selection flags and measured heights, kept in the
// control; every change goes to the list box so it can fix its selection and repaint.
class TListItems : public TStrings {
 public:
  explicit TListItems(TCustomListBox* Owner) : FOwner(Owner) {}

  struct TItem {
    std::string Text;
    TObject* Object = nullptr;
    bool Selected = false;
    int Height = -1;  // not measured yet
  };

  int Add(const std::string& S) override {
    if (FOwner->IsVirtual()) return -1;
    int index = static_cast<int>(FList.size());
    if (FOwner->Sorted()) {
      index = static_cast<int>(std::upper_bound(FList.begin(), FList.end(), S,
                                                [](const std::string& s, const TItem& item) {
                                                  return AnsiCompareText(s, item.Text) < 0;
                                                }) -
                               FList.begin());
    }
    InsertItem(index, S);
    return index;
  }
  void Insert(int Index, const std::string& S) override {
    if (FOwner->IsVirtual()) return;
    if (Index < 0 || Index > static_cast<int>(FList.size())) IndexError(Index);
    InsertItem(Index, S);
  }
  void Delete(int Index) override {
    Check(Index);
    if (TObject* object = FList[Index].Object) FOwner->ItemDeleting(Index, object);
    if (Index >= static_cast<int>(FList.size())) return;  // the handler deleted it
    FList.erase(FList.begin() + Index);
    FOwner->ItemDeleted(Index);
  }
  void Clear() override {
    for (int i = static_cast<int>(FList.size()) - 1; i >= 0; --i)
      if (i < static_cast<int>(FList.size()) && FList[i].Object) FOwner->ItemDeleting(i, FList[i].Object);
    FList.clear();
    FOwner->ItemsCleared();
  }
  void Exchange(int Index1, int Index2) override {
    Check(Index1);
    Check(Index2);
    std::swap(FList[Index1], FList[Index2]);
    FOwner->ItemChanged(Index1);
    FOwner->ItemChanged(Index2);
  }

  std::vector<TItem>& List() { return FList; }
  // The virtual styles keep only selection flags, one per counted item.
  void SetVirtualCount(int Count) {
    FList.assign(static_cast<size_t>(std::max(Count, 0)), TItem());
    FOwner->ItemsCleared();
  }
  void Sort() {
    std::stable_sort(FList.begin(), FList.end(),
                     [](const TItem& a, const TItem& b) { return AnsiCompareText(a.Text, b.Text) < 0; });
  }

 protected:
  std::string Get(int Index) const override {
    Check(Index);
    if (FOwner->IsVirtual()) return FOwner->DoGetData(Index);
    return FList[Index].Text;
  }
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override {
    Check(Index);
    return FList[Index].Object;
  }
  void Put(int Index, const std::string& S) override {
    Check(Index);
    if (FOwner->IsVirtual()) return;
    FList[Index].Text = S;
    FList[Index].Height = -1;
    FOwner->ItemChanged(Index);
  }
  void PutObject(int Index, TObject* AObject) override {
    Check(Index);
    FList[Index].Object = AObject;
  }
  void SetUpdateState(bool Updating) override {
    if (!Updating) FOwner->ListChanged();
  }

 private:
  void Check(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FList.size())) IndexError(Index);
  }
  void InsertItem(int Index, const std::string& S) {
    TItem item;
    item.Text = S;
    FList.insert(FList.begin() + Index, std::move(item));
    FOwner->ItemInserted(Index);
  }

  TCustomListBox* FOwner;
  std::vector<TItem> FList;
};

}  // namespace controls

using controls::TListItems;

// ---- TCustomListBox ----

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>(this)), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  SetControlStyle({csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() {
  Destroying();
  // Objects of the items hear of their deletion while the list is still whole.
  FItems->Clear();
}

TStrings* TCustomListBox::Items() const { return FItems.get(); }
void TCustomListBox::SetItems(TStrings* Value) { FItems->Assign(Value); }
void TCustomListBox::AddItem(const std::string& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }
void TCustomListBox::Clear() { FItems->Clear(); }

bool TCustomListBox::IsOwnerDraw() const {
  return FStyle == lbOwnerDrawFixed || FStyle == lbOwnerDrawVariable || FStyle == lbVirtualOwnerDraw;
}

int TCustomListBox::Count() const { return FItems->Count(); }

void TCustomListBox::SetCount(int Value) {
  if (!IsVirtual()) return;
  FItems->SetVirtualCount(Value);
}

std::string TCustomListBox::DoGetData(int Index) {
  std::string data;
  if (OnData) OnData(this, Index, data);
  return data;
}

int TCustomListBox::ItemIndex() const { return FMultiSelect ? FCaret : FItemIndex; }

void TCustomListBox::SetItemIndex(int Value) {
  const int count = FItems->Count();
  if (Value < -1 || Value >= count) Value = -1;
  if (FMultiSelect) {
    auto& list = FItems->List();
    for (int i = 0; i < count; ++i) list[i].Selected = i == Value;
    FCaret = FAnchor = Value;
  } else {
    FItemIndex = FCaret = Value;
    FAnchor = Value;
  }
  if (Value >= 0) MakeVisible(Value);
  Invalidate();
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  auto& list = FItems->List();
  for (size_t i = 0; i < list.size(); ++i) list[i].Selected = !Value ? false : static_cast<int>(i) == FItemIndex;
  if (!Value) FItemIndex = -1;
  RecreateWnd();
  Invalidate();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  RecreateWnd();
}

bool TCustomListBox::Selected(int Index) const {
  if (Index < 0 || Index >= FItems->Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FMultiSelect ? FItems->List()[Index].Selected : Index == FItemIndex;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  if (Index < 0 || Index >= FItems->Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  if (FMultiSelect) {
    FItems->List()[Index].Selected = Value;
  } else if (Value) {
    FItemIndex = FCaret = Index;
  } else if (FItemIndex == Index) {
    FItemIndex = -1;
  }
  Invalidate();
}

int TCustomListBox::SelCount() const {
  if (!FMultiSelect) return FItemIndex >= 0 ? 1 : 0;
  const auto& list = FItems->List();
  return static_cast<int>(std::count_if(list.begin(), list.end(), [](const auto& item) { return item.Selected; }));
}

void TCustomListBox::ClearSelection() {
  for (auto& item : FItems->List()) item.Selected = false;
  FItemIndex = -1;
  Invalidate();
}

void TCustomListBox::SelectAll() {
  if (!FMultiSelect) return;
  for (auto& item : FItems->List()) item.Selected = true;
  Invalidate();
}

void TCustomListBox::DeleteSelected() {
  classes::TUpdateGuard update(*FItems);
  for (int i = FItems->Count() - 1; i >= 0; --i)
    if (Selected(i)) FItems->Delete(i);
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  const bool wasVirtual = IsVirtual();
  FStyle = Value;
  if (wasVirtual != IsVirtual()) FItems->SetVirtualCount(0);
  for (auto& item : FItems->List()) item.Height = -1;
  RecreateWnd();
  ListChanged();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (!Value || IsVirtual()) return;
  // The selection goes with its items.
  auto& list = FItems->List();
  if (!FMultiSelect)
    for (size_t i = 0; i < list.size(); ++i) list[i].Selected = static_cast<int>(i) == FItemIndex;
  FItems->Sort();
  if (!FMultiSelect) {
    FItemIndex = -1;
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].Selected) {
        FItemIndex = FCaret = static_cast<int>(i);
        list[i].Selected = false;
      }
  }
  ListChanged();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() {
  if (FStyle == lbStandard || FStyle == lbVirtual) return controls::FontRowHeight(Font());
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  for (auto& item : FItems->List()) item.Height = -1;
  ListChanged();
}

int TCustomListBox::HeightOf(int Index) {
  if (FStyle != lbOwnerDrawVariable) return ItemHeight();
  auto& item = FItems->List()[Index];
  if (item.Height < 0) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.itemID = static_cast<UINT>(Index);
    mis.itemHeight = static_cast<UINT>(FItemHeight);
    mis.itemData = reinterpret_cast<UINT_PTR>(item.Object);
    Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    // The handler may have changed the list.
    if (Index >= FItems->Count()) return FItemHeight;
    FItems->List()[Index].Height = std::max(static_cast<int>(mis.itemHeight), 1);
  }
  return FItems->List()[Index].Height;
}

int TCustomListBox::VisibleRows() {
  const int height = ClientHeight();
  const int count = FItems->Count();
  if (FStyle != lbOwnerDrawVariable) return std::max(height / ItemHeight(), 1);
  int rows = 0, y = 0;
  for (int i = FTopIndex; i < count; ++i) {
    y += HeightOf(i);
    if (y > height) break;
    ++rows;
  }
  return std::max(rows, 1);
}

int TCustomListBox::MaxTopIndex() {
  const int count = FItems->Count();
  if (count == 0) return 0;
  const int height = ClientHeight();
  if (FStyle != lbOwnerDrawVariable) return std::max(count - std::max(height / ItemHeight(), 1), 0);
  int y = 0, top = count;
  while (top > 0 && y + HeightOf(top - 1) <= height) y += HeightOf(--top);
  return std::min(top, count - 1);
}

void TCustomListBox::SetTopIndex(int Value) {
  Value = std::clamp(Value, 0, MaxTopIndex());
  if (Value == FTopIndex) return;
  FTopIndex = Value;
  UpdateScrollBar();
  Invalidate();
}

void TCustomListBox::MakeVisible(int Index) {
  if (Index < 0 || Index >= FItems->Count()) return;
  if (Index < FTopIndex) {
    SetTopIndex(Index);
    return;
  }
  if (FStyle != lbOwnerDrawVariable) {
    const int rows = std::max(ClientHeight() / ItemHeight(), 1);
    if (Index >= FTopIndex + rows) SetTopIndex(Index - rows + 1);
    return;
  }
  // Variable rows: the first top from which Index still fits.
  const int height = ClientHeight();
  int top = Index, y = HeightOf(Index);
  while (top > FTopIndex && y + HeightOf(top - 1) <= height) y += HeightOf(--top);
  if (top > FTopIndex) SetTopIndex(top);
}

TRect TCustomListBox::ItemRect(int Index) {
  const int count = FItems->Count();
  if (Index < 0 || Index >= count) return {};
  const int width = ClientWidth();
  int y = 0;
  if (Index >= FTopIndex) {
    for (int i = FTopIndex; i < Index; ++i) y += HeightOf(i);
  } else {
    for (int i = Index; i < FTopIndex; ++i) y -= HeightOf(i);
  }
  return {0, y, width, y + HeightOf(Index)};
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
  const int count = FItems->Count();
  if (Pos.X < 0 || Pos.X >= ClientWidth() || Pos.Y < 0) return -1;
  int y = 0;
  for (int i = FTopIndex; i < count; ++i) {
    const int h = HeightOf(i);
    if (Pos.Y < y + h) return i;
    y += h;
  }
  return Existing ? -1 : count;
}

void TCustomListBox::SetCaretIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) return;
  FCaret = Value;
  MakeVisible(Value);
  Invalidate();
}

void TCustomListBox::SetFocusLook(bool Value) {
  if (FFocusLook == Value) return;
  FFocusLook = Value;
  Invalidate();
}

// -- changes of the items --

void TCustomListBox::ItemInserted(int Index) {
  auto shift = [Index](int& i) {
    if (i >= Index) ++i;
  };
  if (FItemIndex >= 0) shift(FItemIndex);
  if (FCaret >= 0) shift(FCaret);
  if (FAnchor >= 0) shift(FAnchor);
  ListChanged();
}

void TCustomListBox::ItemDeleted(int Index) {
  auto fix = [Index](int& i) {
    if (i == Index) i = -1;
    else if (i > Index) --i;
  };
  fix(FItemIndex);
  if (FMultiSelect && FCaret == Index) FCaret = std::min(Index, FItems->Count() - 1);
  else fix(FCaret);
  fix(FAnchor);
  ListChanged();
}

void TCustomListBox::ItemsCleared() {
  FItemIndex = FCaret = FAnchor = -1;
  FTopIndex = 0;
  ListChanged();
}

void TCustomListBox::ItemChanged(int) { ListChanged(); }

void TCustomListBox::ListChanged() {
  if (FItems->UpdateCount() > 0) return;
  FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
  UpdateScrollBar();
  Invalidate();
  ItemsChanged();
}

void TCustomListBox::ItemDeleting(int Index, TObject* AObject) {
  controls::SendDeleteItem(this, FHandle, Index, ODT_LISTBOX, AObject);
}

// -- the window --

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (FSorted) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
  if (IsVirtual()) Params.Style |= LBS_NODATA | LBS_OWNERDRAWFIXED;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.hbrBackground = nullptr;
}

void TCustomListBox::CreateWnd() {
  // A new window measures its rows again, as the platform's list does when it is filled.
  for (auto& item : FItems->List()) item.Height = -1;
  // A list made without WS_VSCROLL shows a scroll bar of its own: the window gets none (nor
  // while it is being made).
  FWindowScrollBar = false;
  TWinControl::CreateWnd();
  FWindowScrollBar = (GetWindowLong(FHandle, GWL_STYLE) & WS_VSCROLL) != 0;
  FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
  UpdateScrollBar();
}

void TCustomListBox::UpdateScrollBar() {
  if (!FHandle || FInScrollUpdate || !FWindowScrollBar) return;
  FInScrollUpdate = true;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(FItems->Count() - 1, 0);
  si.nPage = static_cast<UINT>(FItems->Count() == 0 ? 1 : VisibleRows());
  if (FItems->Count() == 0) si.nMax = 0;
  si.nPos = FTopIndex;
  SetScrollInfo(FHandle, SB_VERT, &si, TRUE);
  FInScrollUpdate = false;
  // Showing or hiding the bar changed the client area, and with it the rows.
  FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
}

void TCustomListBox::Notify(WORD Code) {
  // The parent window would reflect WM_COMMAND back as CN_COMMAND; it comes here directly, so
  // a list without a parent control (a pop-up) reports as well.
  if (!FHandle) return;
  Perform(CN_COMMAND, MAKEWPARAM(static_cast<WORD>(controls::ControlId(FHandle)), Code), reinterpret_cast<LPARAM>(FHandle));
}

void TCustomListBox::CNCommand(TMessage& M) {
  switch (HIWORD(M.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
  }
}

// -- painting --

void TCustomListBox::DrawOwnerItem(HDC DC, int Index, const TRect& Rect, UINT State, UINT CtlType, TWinControl* Target) {
  TObject* object = Index >= 0 && Index < FItems->Count() ? FItems->Objects(Index) : nullptr;
  controls::SendDrawItem(Target, FHandle, DC, Index, Rect, State, CtlType, object);
}

void TCustomListBox::PaintList(HDC DC) {
  const TRect client = ClientRect();
  const int count = FItems->Count();
  int y = 0;
  for (int i = FTopIndex; i < count && y < client.Bottom; ++i) {
    const TRect r{0, y, client.Right, y + HeightOf(i)};
    y = r.Bottom;
    const bool selected = Selected(i);
    const bool focused = FFocusLook && i == FCaret;
    if (IsOwnerDraw()) {
      UINT state = 0;
      if (selected) state |= ODS_SELECTED;
      if (focused) state |= ODS_FOCUS;
      if (!Enabled()) state |= ODS_DISABLED;
      DrawOwnerItem(DC, i, r, state, ODT_LISTBOX, this);
      continue;
    }
    controls::TCanvasPaint paint(*FCanvas, DC);
    FCanvas->SetFont(Font());
    FCanvas->Brush()->SetColor(selected ? clHighlight : Color());
    if (selected) FCanvas->Font()->SetColor(clHighlightText);
    else if (!Enabled()) FCanvas->Font()->SetColor(clGrayText);
    FCanvas->TextRect(r, r.Left + 2, r.Top, FItems->Strings(i));
    if (focused) FCanvas->DrawFocusRect(r);
  }
  // A focused empty list shows the focus rectangle on its first row.
  if (count == 0 && FFocusLook && Focused()) {
    TRect r{0, 0, client.Right, ItemHeight()};
    ::DrawFocusRect(DC, &r);
  }
  if (y < client.Bottom) {
    TRect rest{0, std::max(y, 0), client.Right, client.Bottom};
    FillRect(DC, &rest, Brush()->Handle());
  }
}

void TCustomListBox::CNDrawItem(TMessage& M) {
  controls::DrawItemMessage(*FCanvas, this, M, [this](int I, TRect R, TOwnerDrawState S) { DrawItem(I, R, S); });
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  controls::DrawItemText(*FCanvas, *FItems, Index, Rect);
}

void TCustomListBox::CNMeasureItem(TMessage& M) {
  controls::MeasureItemMessage(M, FItemHeight, FStyle == lbOwnerDrawVariable, [this](int I, int& H) { MeasureItem(I, H); });
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CMFontChanged(TMessage& M) {
  TWinControl::CMFontChanged(M);
  for (auto& item : FItems->List()) item.Height = -1;
  ListChanged();
}

void TCustomListBox::CMColorChanged(TMessage& M) {
  TWinControl::CMColorChanged(M);
  Invalidate();
}

void TCustomListBox::CMEnabledChanged(TMessage& M) {
  TWinControl::CMEnabledChanged(M);
  Invalidate();
}

// -- selection by the user --

bool TCustomListBox::SetSelectionRange(int From, int To, bool Only) {
  if (From > To) std::swap(From, To);
  bool changed = false;
  auto& list = FItems->List();
  for (int i = 0; i < static_cast<int>(list.size()); ++i) {
    const bool inRange = i >= From && i <= To;
    const bool value = inRange || (!Only && list[i].Selected);
    if (list[i].Selected != value) {
      list[i].Selected = value;
      changed = true;
    }
  }
  return changed;
}

void TCustomListBox::SelectByUser(int Index, TShiftState Shift, bool Toggle) {
  if (Index < 0 || Index >= FItems->Count()) return;
  bool changed = false;
  if (!FMultiSelect) {
    changed = FItemIndex != Index;
    FItemIndex = FCaret = FAnchor = Index;
  } else if (!FExtendedSelect) {
    FCaret = Index;
    if (Toggle) {
      FItems->List()[Index].Selected = !FItems->List()[Index].Selected;
      changed = true;
    }
  } else {
    FCaret = Index;
    if (Shift.Contains(ssShift) && FAnchor >= 0) {
      changed = SetSelectionRange(FAnchor, Index, !Shift.Contains(ssCtrl));
    } else if (Shift.Contains(ssCtrl)) {
      if (Toggle) {
        FItems->List()[Index].Selected = !FItems->List()[Index].Selected;
        changed = true;
      }
      FAnchor = Index;
    } else {
      changed = SetSelectionRange(Index, Index, true);
      FAnchor = Index;
    }
  }
  MakeVisible(Index);
  Invalidate();
  if (changed) Notify(LBN_SELCHANGE);
}

bool TCustomListBox::NavigateByKey(WORD Key, TShiftState Shift) {
  const int count = FItems->Count();
  int target;
  const int from = FCaret < 0 ? (FMultiSelect ? 0 : -1) : FCaret;
  switch (Key) {
    case VK_UP:
    case VK_LEFT: target = from < 0 ? 0 : from - 1; break;
    case VK_DOWN:
    case VK_RIGHT: target = from + 1; break;
    case VK_PRIOR: target = from - std::max(VisibleRows() - 1, 1); break;
    case VK_NEXT: target = from + std::max(VisibleRows() - 1, 1); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_SPACE:
      if (!FMultiSelect || FCaret < 0) return false;
      SelectByUser(FCaret, FExtendedSelect ? TShiftState{ssCtrl} : TShiftState{}, true);
      return true;
    default: return false;
  }
  if (count == 0) return true;
  target = std::clamp(target, 0, count - 1);
  if (FMultiSelect && FExtendedSelect && Shift.Contains(ssCtrl) && !Shift.Contains(ssShift)) {
    SetCaretIndex(target);  // Ctrl moves the focus rectangle only
    return true;
  }
  if (FMultiSelect && !FExtendedSelect) {
    SetCaretIndex(target);
    return true;
  }
  SelectByUser(target, Shift - TShiftState{ssCtrl}, false);
  return true;
}

bool TCustomListBox::SelectByChar(char32_t Key) {
  if (Key < 32 || FItems->Count() == 0) return false;
  const int found = controls::TypeAhead(*FItems, FTypeAhead, FTypeAheadTime, Key, FCaret);
  if (found < 0) return false;
  SelectByUser(found, {}, false);
  return true;
}

void TCustomListBox::MouseSelect(TMessage& M, bool Down) {
  const TPoint p = LParamToPoint(M.LParam);
  const TShiftState shift = KeysToShiftState(static_cast<WORD>(M.WParam));
  if (Down) {
    if (!Focused() && CanFocus()) SetFocus();
    if (!FHandle) return;
    FTracking = true;
    SetCapture(FHandle);
  }
  const int index = ItemAtPos(p, true);
  if (index >= 0) SelectByUser(index, shift, true);
}

void TCustomListBox::TrackTo(TPoint Pos) {
  const int count = FItems->Count();
  if (count == 0) return;
  int index;
  if (Pos.Y < 0) {
    index = std::max(FTopIndex - 1, 0);
  } else {
    index = ItemAtPos({std::clamp(Pos.X, 0, std::max(ClientWidth() - 1, 0)), Pos.Y}, false);
    if (index >= count) index = count - 1;
    if (index < 0) return;
  }
  if (index == FCaret) return;
  if (FMultiSelect && !FExtendedSelect) {
    SetCaretIndex(index);
    return;
  }
  // Dragging extends the selection from the anchor.
  SelectByUser(index, FMultiSelect ? TShiftState{ssShift} : TShiftState{}, false);
}

void TCustomListBox::StopTracking() {
  if (!FTracking) return;
  FTracking = false;
  if (FHandle && GetCapture() == FHandle) ReleaseCapture();
}

void TCustomListBox::HandleVScroll(WORD Code, int Pos) {
  const int rows = VisibleRows();
  switch (Code) {
    case SB_LINEUP: SetTopIndex(FTopIndex - 1); break;
    case SB_LINEDOWN: SetTopIndex(FTopIndex + 1); break;
    case SB_PAGEUP: SetTopIndex(FTopIndex - std::max(rows - 1, 1)); break;
    case SB_PAGEDOWN: SetTopIndex(FTopIndex + std::max(rows - 1, 1)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTopIndex(Pos); break;
    case SB_TOP: SetTopIndex(0); break;
    case SB_BOTTOM: SetTopIndex(FItems->Count()); break;
  }
}

void TCustomListBox::WMMouseWheel(TMessage& M) {
  TWinControl::WMMouseWheel(M);
  if (M.Result != 0) return;
  const int notches = GET_WHEEL_DELTA_WPARAM(M.WParam) / WHEEL_DELTA;
  if (notches == 0) return;
  SetTopIndex(FTopIndex - notches * controls::WheelScrollLines());
  M.Result = 1;
}

// -- messages --

int TCustomListBox::FindIndex(const std::string& Text, int Start, bool Exact) const {
  return controls::FindItemText(*FItems, Text, Start, Exact);
}

LRESULT TCustomListBox::ListMessage(TMessage& M) {
  const int count = FItems->Count();
  const int index = static_cast<int>(M.WParam);
  const bool valid = index >= 0 && index < count;
  switch (M.Msg) {
    case LB_ADDSTRING: return FItems->Add(reinterpret_cast<const char*>(M.LParam));
    case LB_INSERTSTRING: {
      const int at = index < 0 ? count : index;
      if (at > count) return LB_ERR;
      FItems->Insert(at, reinterpret_cast<const char*>(M.LParam));
      return at;
    }
    case LB_DELETESTRING:
      if (!valid) return LB_ERR;
      FItems->Delete(index);
      return FItems->Count();
    case LB_RESETCONTENT: FItems->Clear(); return 0;
    case LB_GETCOUNT: return count;
    case LB_GETCURSEL: return FMultiSelect ? FCaret : FItemIndex;
    case LB_SETCURSEL:
      if (FMultiSelect) return LB_ERR;
      SetItemIndex(valid ? index : -1);
      return valid ? index : LB_ERR;
    case LB_GETSEL: return valid ? (Selected(index) ? 1 : 0) : LB_ERR;
    case LB_SETSEL: {
      // lParam is the item (-1: all), wParam the new state.
      if (!FMultiSelect) return LB_ERR;
      const int item = static_cast<int>(M.LParam);
      if (item == -1) {
        for (auto& it : FItems->List()) it.Selected = M.WParam != 0;
      } else if (item >= 0 && item < count) {
        FItems->List()[item].Selected = M.WParam != 0;
      } else {
        return LB_ERR;
      }
      Invalidate();
      return LB_OKAY;
    }
    case LB_GETSELCOUNT: return FMultiSelect ? SelCount() : LB_ERR;
    case LB_GETSELITEMS: {
      if (!FMultiSelect) return LB_ERR;
      auto* out = reinterpret_cast<int*>(M.LParam);
      int n = 0;
      for (int i = 0; i < count && n < index; ++i)
        if (FItems->List()[i].Selected) out[n++] = i;
      return n;
    }
    case LB_GETTEXT: return valid ? controls::CopyItemText(*FItems, index, M.LParam) : LB_ERR;
    case LB_GETTEXTLEN: return valid ? static_cast<LRESULT>(FItems->Strings(index).size()) : LB_ERR;
    case LB_GETITEMDATA: return valid ? reinterpret_cast<LRESULT>(FItems->Objects(index)) : LB_ERR;
    case LB_SETITEMDATA:
      if (!valid) return LB_ERR;
      FItems->SetObjects(index, reinterpret_cast<TObject*>(M.LParam));
      return LB_OKAY;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      const int found = FindIndex(reinterpret_cast<const char*>(M.LParam), index, M.Msg == LB_FINDSTRINGEXACT);
      return found < 0 ? LB_ERR : found;
    }
    case LB_SELECTSTRING: {
      const int found = FindIndex(reinterpret_cast<const char*>(M.LParam), index, false);
      if (found < 0) return LB_ERR;
      if (FMultiSelect) SetCaretIndex(found);
      else SetItemIndex(found);
      return found;
    }
    case LB_GETTOPINDEX: return FTopIndex;
    case LB_SETTOPINDEX:
      if (index < 0 || (index >= count && count > 0)) return LB_ERR;
      SetTopIndex(index);
      return LB_OKAY;
    case LB_GETITEMRECT: {
      if (!valid) return LB_ERR;
      *reinterpret_cast<TRect*>(M.LParam) = ItemRect(index);
      return 1;
    }
    case LB_GETITEMHEIGHT:
      if (FStyle != lbOwnerDrawVariable) return ItemHeight();
      return valid ? HeightOf(index) : LB_ERR;
    case LB_SETITEMHEIGHT: {
      const int h = LOWORD(M.LParam);
      if (h <= 0 || h > 255) return LB_ERR;
      if (FStyle == lbOwnerDrawVariable && valid) {
        FItems->List()[index].Height = h;
        ListChanged();
      } else {
        SetItemHeight(h);
      }
      return LB_OKAY;
    }
    case LB_GETCARETINDEX: return FCaret;
    case LB_SETCARETINDEX:
      if (!valid) return LB_ERR;
      SetCaretIndex(index);
      return LB_OKAY;
    case LB_GETANCHORINDEX: return FAnchor;
    case LB_SETANCHORINDEX:
      if (!valid) return LB_ERR;
      FAnchor = index;
      return LB_OKAY;
    case LB_SELITEMRANGE: {
      if (!FMultiSelect) return LB_ERR;
      const int from = std::clamp<int>(LOWORD(M.LParam), 0, std::max(count - 1, 0));
      const int to = std::clamp<int>(HIWORD(M.LParam), 0, std::max(count - 1, 0));
      if (count == 0) return LB_OKAY;
      for (int i = std::min(from, to); i <= std::max(from, to); ++i) FItems->List()[i].Selected = M.WParam != 0;
      Invalidate();
      return LB_OKAY;
    }
    case LB_SETCOUNT:
      if (!IsVirtual()) return LB_ERR;
      SetCount(index);
      return LB_OKAY;
    case LB_ITEMFROMPOINT: {
      // The nearest item in the low word, 1 in the high word when the point is outside.
      const TPoint p = LParamToPoint(M.LParam);
      if (count == 0) return MAKELRESULT(0, 1);
      const bool inside = ClientRect().Contains(p);
      int item = ItemAtPos({std::clamp(p.X, 0, std::max(ClientWidth() - 1, 0)), std::max(p.Y, 0)}, false);
      if (item < 0) item = FTopIndex;
      const bool below = item >= count;
      item = std::min(item, count - 1);
      return MAKELRESULT(static_cast<WORD>(item), (!inside || below) ? 1 : 0);
    }
  }
  return 0;
}

void TCustomListBox::Dispatch(TMessage& M) {
  if (M.Msg >= LB_ADDSTRING && M.Msg <= LB_ITEMFROMPOINT) {
    M.Result = ListMessage(M);
    return;
  }
  switch (M.Msg) {
    case CN_DRAWITEM: CNDrawItem(M); return;
    case CN_MEASUREITEM: CNMeasureItem(M); return;
    case CN_COMMAND: CNCommand(M); return;
  }
  TWinControl::Dispatch(M);
}

void TCustomListBox::DefaultHandler(TMessage& M) {
  if (!FHandle) {
    TWinControl::DefaultHandler(M);
    return;
  }
  switch (M.Msg) {
    case WM_PAINT: controls::PaintMessage(FHandle, M, [this](HDC DC) { PaintList(DC); }); return;
    case WM_ERASEBKGND: M.Result = 1; return;  // the paint covers everything
    case WM_GETDLGCODE: M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_SETFOCUS:
      SetFocusLook(true);
      Notify(LBN_SETFOCUS);
      return;
    case WM_KILLFOCUS:
      SetFocusLook(false);
      StopTracking();
      Notify(LBN_KILLFOCUS);
      return;
    case WM_LBUTTONDOWN: MouseSelect(M, true); return;
    case WM_LBUTTONDBLCLK:
      MouseSelect(M, true);
      Notify(LBN_DBLCLK);
      return;
    case WM_MOUSEMOVE:
      if (FTracking) TrackTo(LParamToPoint(M.LParam));
      return;
    case WM_LBUTTONUP: StopTracking(); return;
    case WM_CAPTURECHANGED:
      FTracking = false;
      return;
    case WM_KEYDOWN:
      if (NavigateByKey(static_cast<WORD>(M.WParam), KeyboardStateToShiftState())) return;
      break;
    case WM_CHAR:
      if (FMultiSelect && M.WParam == ' ') return;
      SelectByChar(static_cast<char32_t>(M.WParam));
      return;
    case WM_VSCROLL:
      if (M.LParam == 0) {
        HandleVScroll(LOWORD(M.WParam), static_cast<int16_t>(HIWORD(M.WParam)));
        return;
      }
      break;
    case WM_SIZE:
      TWinControl::DefaultHandler(M);
      FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
      UpdateScrollBar();
      Invalidate();
      return;
  }
  TWinControl::DefaultHandler(M);
}

static const classes::TPublished<TCustomListBox, TWinControl> CustomListBoxInfo;
static const classes::TPublished<TListBox, TCustomListBox> ListBoxInfo([](classes::TPublisher<TListBox>& p) {
  p.Object("Items", &TListBox::Items, &TListBox::SetItems);
  p.Int("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex).Default(-1);
  p.Bool("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).Default(false);
  p.Bool("ExtendedSelect", &TListBox::ExtendedSelect, &TListBox::SetExtendedSelect).Default(true);
  p.Enum("Style", &TListBox::Style, &TListBox::SetStyle).Default(lbStandard);
  p.Bool("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
  p.Int("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight).Default(16);
  p.Enum("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle).Default(bsSingle);
  p.Event("OnDrawItem", &TListBox::OnDrawItem);
  p.Event("OnMeasureItem", &TListBox::OnMeasureItem);
  p.Event("OnData", &TListBox::OnData);
});
