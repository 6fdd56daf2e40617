#include "platform/controls/ListCtrls.h"

#include <algorithm>

#include "platform/gdi/Draw.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Frames.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "platform/classes/UpdateGuard.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TListBoxStyle) {
  static const classes::TEnumInfo info{
      "TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TComboBoxStyle) {
  static const classes::TEnumInfo info{
      "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
  return info;
}

TOwnerDrawState OwnerDrawState(UINT ItemState) {
  static constexpr std::pair<UINT, TOwnerDrawStateFlag> map[] = {
      {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},         {ODS_DISABLED, odDisabled},
      {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},         {ODS_DEFAULT, odDefault},
      {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},     {ODS_NOACCEL, odNoAccel},
      {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
  TOwnerDrawState state;
  for (auto [bit, flag] : map)
    if (ItemState & bit) state.Include(flag);
  return state;
}

namespace controls {

namespace {

// Time after which typed characters start a new type-ahead search.
constexpr LONG kTypeAheadMs = 1000;

// The control id of a combo's edit part.
constexpr int kComboEditId = 1001;

size_t CodePointCount(std::string_view S) {
  return static_cast<size_t>(std::count_if(S.begin(), S.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string ConvertCase(const std::string& Text, TEditCharCase Case) {
  if (Case == ecNormal) return Text;
  std::string out;
  for (size_t i = 0; i < Text.size();) {
    const char32_t c = rtl::NextCodePoint(Text, i);
    rtl::AppendUtf8(out, Case == ecUpperCase ? rtl::UpperCodePoint(c) : rtl::LowerCodePoint(c));
  }
  return out;
}

bool StartsWithText(const std::string& S, const std::string& Prefix) {
  // The case tables keep byte lengths, so the folded strings compare byte for byte.
  const std::string s = AnsiUpperCase(S), p = AnsiUpperCase(Prefix);
  return s.compare(0, p.size(), p) == 0;
}

WPARAM ControlId(HWND Wnd) { return static_cast<WPARAM>(GetWindowLongPtr(Wnd, GWLP_ID)); }

int WheelScrollLines() {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

// The row height a font gives a list: its character height.
int FontRowHeight(TFont* Font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::max<int>(tm.tmHeight, 1);
}

// The type-ahead buffer: characters typed within the pause build a prefix; the same character
// typed again moves on to the next item beginning with it.
int TypeAhead(const TStrings& Items, std::string& Buffer, LONG& Last, char32_t Key, int Current) {
  const LONG now = GetMessageTime();
  std::string ch;
  rtl::AppendUtf8(ch, Key);
  if (now - Last > kTypeAheadMs) Buffer.clear();
  Last = now;
  bool repeat = !Buffer.empty() && Buffer.size() % ch.size() == 0;
  for (size_t i = 0; repeat && i < Buffer.size(); i += ch.size()) repeat = Buffer.compare(i, ch.size(), ch) == 0;
  Buffer += ch;
  if (repeat || Buffer == ch) return FindItemText(Items, ch, Current, false);
  // A longer prefix may still be the current item.
  return FindItemText(Items, Buffer, Current - 1, false);
}

// WM_PAINT of a list or combo: into the DC in wParam, else between BeginPaint and EndPaint.
void PaintMessage(HWND Wnd, TMessage& M, const std::function<void(HDC)>& Paint) {
  if (HDC dc = reinterpret_cast<HDC>(M.WParam)) {
    Paint(dc);
  } else {
    PAINTSTRUCT ps;
    dc = BeginPaint(Wnd, &ps);
    Paint(dc);
    EndPaint(Wnd, &ps);
  }
  M.Result = 0;
}

// LB_GETTEXT / CB_GETLBTEXT: the text into the caller's buffer, with its length.
LRESULT CopyItemText(const TStrings& Items, int Index, LPARAM Buffer) {
  const std::string s = Items.Strings(Index);
  char* out = reinterpret_cast<char*>(Buffer);
  std::copy(s.begin(), s.end(), out);
  out[s.size()] = '\0';
  return static_cast<LRESULT>(s.size());
}

// CN_DRAWITEM of a list or combo: the canvas gets the control's font and brush (the selection
// colours for a selected item), Draw draws the item (nothing is left to draw for no item but
// the background) and the focus rectangle follows.
void DrawItemMessage(TCanvas& Canvas, TWinControl* Control, TMessage& M,
                     const std::function<void(int, TRect, TOwnerDrawState)>& Draw) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
  const TOwnerDrawState state = OwnerDrawState(dis->itemState);
  const int index = static_cast<int>(dis->itemID);
  controls::TCanvasPaint paint(Canvas, dis->hDC);
  Canvas.SetFont(Control->Font());
  Canvas.Brush()->Assign(Control->Brush());
  if (index >= 0 && state.Contains(odSelected)) {
    Canvas.Brush()->SetColor(clHighlight);
    Canvas.Font()->SetColor(clHighlightText);
  }
  if (index >= 0) Draw(index, dis->rcItem, state);
  else Canvas.FillRect(dis->rcItem);
  if (state.Contains(odFocused)) ::DrawFocusRect(dis->hDC, &dis->rcItem);
  M.Result = 1;
}

// The default look of an owner-drawn item: its text on the canvas's brush.
void DrawItemText(TCanvas& Canvas, const TStrings& Items, int Index, const TRect& Rect) {
  Canvas.FillRect(Rect);
  if (Index < Items.Count()) Canvas.TextOut(Rect.Left + 2, Rect.Top, Items.Strings(Index));
}

// CN_MEASUREITEM: Height starts as the fixed height; Measure changes it for variable rows.
void MeasureItemMessage(TMessage& M, int Height, bool Variable, const std::function<void(int, int&)>& Measure) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
  if (Variable) Measure(static_cast<int>(mis->itemID), Height);
  mis->itemHeight = static_cast<UINT>(std::max(Height, 1));
  M.Result = 1;
}

// CN_DELETEITEM for an item that carries an object.
void SendDeleteItem(TWinControl* Target, HWND Wnd, int Index, UINT CtlType, TObject* Object) {
  DELETEITEMSTRUCT dis;
  dis.CtlType = CtlType;
  dis.itemID = static_cast<UINT>(Index);
  dis.hwndItem = Wnd;
  dis.itemData = reinterpret_cast<UINT_PTR>(Object);
  Target->Perform(CN_DELETEITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

}  // namespace

void SendDrawItem(TWinControl* Target, HWND Wnd, HDC DC, int Index, const TRect& Rect, UINT State, UINT CtlType,
                  TObject* Object) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = CtlType;
  dis.CtlID = Wnd ? static_cast<UINT>(ControlId(Wnd)) : 0;
  dis.itemID = static_cast<UINT>(Index);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = State;
  dis.hwndItem = Wnd;
  dis.hDC = DC;
  dis.rcItem = Rect;
  dis.itemData = reinterpret_cast<UINT_PTR>(Object);
  const int saved = SaveDC(DC);
  IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  Target->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(DC, saved);
}

int FindItemText(const TStrings& Items, const std::string& Text, int Start, bool Exact) {
  const int count = Items.Count();
  if (count == 0) return -1;
  if (Start < -1 || Start >= count) Start = -1;
  for (int n = 1; n <= count; ++n) {
    const int i = (Start + n) % count;
    const std::string s = Items.Strings(i);
    if (Exact ? AnsiSameText(s, Text) : StartsWithText(s, Text)) return i;
  }
  return -1;
}

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

// The list of a combo box: a pop-up window below the combo (a child of it for csSimple) that
// never takes the focus; the combo keeps the focus and hands it the keys.
class TComboListBox : public TCustomListBox {
 public:
  explicit TComboListBox(TCustomComboBox* Combo) : TCustomListBox(Combo), FCombo(Combo) {
    SetTabStop(false);
  }

  // Moves the (hidden) list to Bounds (screen coordinates), so its rows are known.
  void Place(const TRect& Bounds) {
    HandleNeeded();
    UpdateBoundsRect(Bounds);
    SetWindowPos(FHandle, HWND_TOPMOST, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(),
                 SWP_NOACTIVATE | SWP_NOZORDER);
    UpdateScrollBar();
  }
  // Shows the list without activating it and takes the mouse capture; Pressed: the left
  // button that opened it is still down, so a release on an item chooses it.
  void Popup(bool Pressed) {
    SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetFocusLook(true);
    FPressed = Pressed;
    FCapturing = true;
    SetCapture(FHandle);
  }
  void Hide() {
    FCapturing = false;
    FPressed = false;
    StopTracking();
    if (!HandleAllocated()) return;
    if (GetCapture() == FHandle) ReleaseCapture();
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
  bool Simple() const { return FCombo->Style() == csSimple; }
  bool CanFocus() override { return false; }

  void DefaultHandler(TMessage& M) override {
    if (!FHandle) {
      TCustomListBox::DefaultHandler(M);
      return;
    }
    switch (M.Msg) {
      case WM_MOUSEACTIVATE:
        M.Result = MA_NOACTIVATE;
        return;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (Simple()) {
          // A click in a simple combo's list focuses the combo.
          if (!FCombo->Focused() && FCombo->CanFocus()) FCombo->SetFocus();
          break;
        }
        PressWhileDown(M);
        return;
      case WM_MOUSEMOVE:
        if (Simple()) break;
        if (FCapturing) HotTrack(LParamToPoint(M.LParam));
        return;
      case WM_LBUTTONUP:
        if (Simple()) break;
        if (FCapturing) ReleaseWhileDown(LParamToPoint(M.LParam));
        return;
      case WM_CAPTURECHANGED:
        // Something else took the mouse (a menu, another program): the list goes away.
        if (FCapturing && !FScrolling && reinterpret_cast<HWND>(M.LParam) != FHandle)
          FCombo->HideDropDown(false);
        return;
      case WM_SETFOCUS:
        // Never the focus: it stays with the combo.
        ::SetFocus(FCombo->Handle());
        return;
    }
    TCustomListBox::DefaultHandler(M);
  }
  void Dispatch(TMessage& M) override {
    // Keys offered to the capture window go on to the combo, which has the focus.
    if (M.Msg == CN_KEYDOWN || M.Msg == CN_CHAR || M.Msg == CN_SYSKEYDOWN || M.Msg == CN_SYSCHAR) {
      M.Result = 0;
      return;
    }
    if (M.Msg == CN_DRAWITEM || M.Msg == CN_MEASUREITEM) {
      // The combo draws and measures its items.
      M.Result = FCombo->Perform(M.Msg, M.WParam, M.LParam);
      return;
    }
    if (M.Msg == CN_COMMAND) {
      // A simple combo's list reports the user's choices to the combo.
      if (HIWORD(M.WParam) == LBN_SELCHANGE && Simple() && ItemIndex() != FCombo->ItemIndex()) {
        FCombo->SetItemIndex(ItemIndex());
        FCombo->Notify(CBN_SELCHANGE);
      }
      if (HIWORD(M.WParam) == LBN_DBLCLK && Simple()) FCombo->Notify(CBN_DBLCLK);
      return;
    }
    TCustomListBox::Dispatch(M);
  }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomListBox::CreateParams(Params);
    if (Simple()) return;
    Params.Style = WS_POPUP | WS_BORDER | WS_VSCROLL | WS_CLIPSIBLINGS;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.WndParent = nullptr;
  }
  void ItemsChanged() override { FCombo->ListItemsChanged(); }
  void ItemDeleting(int Index, TObject* AObject) override { FCombo->ListItemDeleting(Index, AObject); }

 private:
  void PressWhileDown(TMessage& M) {
    if (!FCapturing) return;
    const TPoint p = LParamToPoint(M.LParam);
    if (ClientRect().Contains(p)) {
      FPressed = true;
      HotTrack(p);
      return;
    }
    TPoint screen = p;
    ::ClientToScreen(FHandle, &screen);
    if (SendMessage(FHandle, WM_NCHITTEST, 0, PointToLParam(screen)) == HTVSCROLL) {
      // The list's own scroll bar: scroll, then keep the capture.
      FScrolling = true;
      DefWindowProc(FHandle, WM_NCLBUTTONDOWN, HTVSCROLL, PointToLParam(screen));
      FScrolling = false;
      if (FCapturing && IsWindow(FHandle)) SetCapture(FHandle);
      return;
    }
    // Anywhere else (the combo's button included) closes the list; the press goes no further.
    FCombo->HideDropDown(false);
  }
  void HotTrack(TPoint P) {
    if (!ClientRect().Contains(P)) return;
    const int index = ItemAtPos(P, true);
    if (index >= 0 && index != ItemIndex()) {
      SetItemIndex(index);
      MakeVisible(index);
    }
  }
  void ReleaseWhileDown(TPoint P) {
    if (!FPressed) return;
    FPressed = false;
    if (ClientRect().Contains(P) && ItemAtPos(P, true) >= 0) {
      SetItemIndex(ItemAtPos(P, true));
      FCombo->HideDropDown(true);
    }
  }

  TCustomComboBox* FCombo;
  bool FCapturing = false;
  bool FPressed = false;
  bool FScrolling = false;
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
  TWinControl::CreateWnd();
  FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
  UpdateScrollBar();
}

void TCustomListBox::UpdateScrollBar() {
  if (!FHandle || FInScrollUpdate) return;
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

// ---- TCustomComboBox ----

using controls::TComboListBox;

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FListBox = new TComboListBox(this);
  FCanvas->SetControl(this);
  FEditInstance = MakeObjectInstance([this](TMessage& M) {
    try {
      EditWndProc(M);
    } catch (...) {
      if (!Application) throw;
      Application->HandleException(this);
    }
  });
  SetControlStyle({csSetCaption, csDoubleClicks, csFixedHeight, csOpaque});
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetBounds(0, 0, 145, FixedHeight());
}

TCustomComboBox::~TCustomComboBox() {
  Destroying();
  DestroyEditWindow();
  FreeObjectInstance(FEditInstance);
  // The list goes first, while this combo still hears of the deleted items.
  FListBox->Items()->Clear();
  delete FListBox;
  FListBox = nullptr;
}

TStrings* TCustomComboBox::Items() const { return FListBox->Items(); }
void TCustomComboBox::SetItems(TStrings* Value) { FListBox->Items()->Assign(Value); }
void TCustomComboBox::AddItem(const std::string& Item, TObject* AObject) { Items()->AddObject(Item, AObject); }
void TCustomComboBox::Clear() {
  Items()->Clear();
  if (!IsListStyle()) SetText("");
}
TCustomListBox* TCustomComboBox::ListBox() const { return FListBox; }
bool TCustomComboBox::Sorted() const { return FListBox->Sorted(); }
void TCustomComboBox::SetSorted(bool Value) { FListBox->SetSorted(Value); }

int TCustomComboBox::ItemIndex() const { return FSavedIndex; }

std::string TCustomComboBox::ItemText(int Index) const {
  return Index >= 0 && Index < Items()->Count() ? Items()->Strings(Index) : std::string();
}

void TCustomComboBox::SetItemIndex(int Value) {
  FListBox->SetItemIndex(Value);
  FSavedIndex = FListBox->ItemIndex();
  if (!IsListStyle()) SetEditText(ItemText(FSavedIndex));
  Invalidate();
}

void TCustomComboBox::ChangeSelection(int Index, bool ByUser) {
  if (Index < -1 || Index >= Items()->Count()) return;
  if (Index == ItemIndex() && !FDroppedDown) return;
  const bool changed = Index != ItemIndex();
  SetItemIndex(Index);
  if (ByUser && changed) Notify(CBN_SELCHANGE);
}

void TCustomComboBox::StepSelection(int Delta, bool ToEnd) {
  const int count = Items()->Count();
  if (count == 0) return;
  const int current = FDroppedDown ? FListBox->ItemIndex() : ItemIndex();
  int target;
  if (ToEnd) target = Delta < 0 ? 0 : count - 1;
  else if (current < 0) target = 0;
  else target = std::clamp(current + Delta, 0, count - 1);
  if (target == current) return;
  ChangeSelection(target, true);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  HideDropDown(false);
  FStyle = Value;
  FListBox->SetStyle(Value == csOwnerDrawFixed ? lbOwnerDrawFixed
                     : Value == csOwnerDrawVariable ? lbOwnerDrawVariable
                                                    : lbStandard);
  FListBox->DestroyHandle();
  if (Value == csSimple) FListBox->SetParent(this);
  else if (FListBox->Parent()) FListBox->SetParent(nullptr);
  AdjustHeight();
  RecreateWnd();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (Value) ShowDropDown();
  else HideDropDown(false);
}

int TCustomComboBox::ItemHeight() { return FListBox->ItemHeight(); }

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  FListBox->SetItemHeight(Value);
  if (IsOwnerDraw()) AdjustHeight();
  Invalidate();
}

int TCustomComboBox::EditHeight() {
  if (IsOwnerDraw()) return FItemHeight;
  return controls::FontRowHeight(Font()) + 2;
}

int TCustomComboBox::FixedHeight() { return EditHeight() + 6; }

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // The height asked for is kept: a definition sets it before the style, and a simple combo
  // takes it then.
  FRequestedHeight = AHeight;
  TWinControl::SetBounds(ALeft, ATop, AWidth, FStyle == csSimple ? AHeight : FixedHeight());
}

void TCustomComboBox::AdjustHeight() {
  TWinControl::SetBounds(Left(), Top(), Width(), FStyle == csSimple ? FRequestedHeight : FixedHeight());
  LayoutSimpleList();
}

void TCustomComboBox::LayoutSimpleList() {
  if (FStyle != csSimple) return;
  const int top = EditHeight() + 6;
  FListBox->SetBounds(0, top, Width(), std::max(Height() - top, 0));
}

TRect TCustomComboBox::ButtonRect() {
  const TRect client = ClientRect();
  if (FStyle == csSimple) return {};
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  return {std::max(client.Right - 2 - w, 2), 2, client.Right - 2, client.Bottom - 2};
}

TRect TCustomComboBox::TextRect() {
  TRect r = ClientRect();
  if (FStyle == csSimple) r.Bottom = std::min(r.Bottom, EditHeight() + 6);
  InflateRect(&r, -3, -3);
  if (FStyle != csSimple) r.Right = std::max(ButtonRect().Left - 1, r.Left);
  return r;
}

// -- the list --

void TCustomComboBox::ShowDropDown() {
  if (FDroppedDown || FStyle == csSimple || !HandleAllocated() || !Showing()) return;
  Notify(CBN_DROPDOWN);
  if (FDroppedDown || !HandleAllocated()) return;
  FSavedIndex = FListBox->ItemIndex();
  FListBox->SetFont(Font());
  FListBox->SetColor(Color());
  const int count = Items()->Count();
  const int rows = std::clamp(count, 1, FDropDownCount);
  int height = 2;
  for (int i = 0; i < rows; ++i) height += i < count ? FListBox->HeightOf(i) : FListBox->ItemHeight();
  const int width = std::max(Width(), FDroppedWidth);
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int y = origin.Y + Height();
  if (y + height > work.Bottom && origin.Y - height >= work.Top) y = origin.Y - height;
  int x = origin.X;
  if (x + width > work.Right) x = work.Right - width;
  if (x < work.Left) x = work.Left;
  FListBox->Place(Bounds(x, y, width, height));
  FListBox->SetItemIndex(FSavedIndex);
  if (FSavedIndex < 0) FListBox->SetTopIndex(0);
  FDroppedDown = true;
  FListBox->Popup(GetKeyState(VK_LBUTTON) < 0);
  Invalidate();
}

void TCustomComboBox::HideDropDown(bool Accept) {
  if (!FDroppedDown) return;
  FDroppedDown = false;
  FListBox->Hide();
  const int chosen = FListBox->ItemIndex();
  if (!Accept) FListBox->SetItemIndex(FSavedIndex);
  // Nothing highlighted keeps what was typed.
  else if (!IsListStyle() && chosen >= 0) SetEditText(ItemText(chosen));
  Invalidate();
  Notify(Accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
  Notify(CBN_CLOSEUP);
  if (Accept && chosen >= 0 && chosen != FSavedIndex) {
    FSavedIndex = chosen;
    Notify(CBN_SELCHANGE);
  }
}

void TCustomComboBox::ListItemsChanged() {
  if (HasState(csDestroying)) return;
  // The choice moves with its item (a highlighted row of an open list counts as chosen).
  FSavedIndex = FListBox->ItemIndex();
  Invalidate();
}

void TCustomComboBox::ListItemDeleting(int Index, TObject* AObject) {
  controls::SendDeleteItem(this, FHandle, Index, ODT_COMBOBOX, AObject);
}

// -- notifications and events --

void TCustomComboBox::Notify(WORD Code) {
  if (!FHandle) return;
  Perform(CN_COMMAND, MAKEWPARAM(static_cast<WORD>(controls::ControlId(FHandle)), Code), reinterpret_cast<LPARAM>(FHandle));
}

void TCustomComboBox::CNCommand(TMessage& M) {
  switch (HIWORD(M.WParam)) {
    case CBN_SELCHANGE:
      Click();
      Select();
      break;
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
  }
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}
void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}
void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}
void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

// -- drawing --

void TCustomComboBox::CNDrawItem(TMessage& M) {
  controls::DrawItemMessage(*FCanvas, this, M, [this](int I, TRect R, TOwnerDrawState S) { DrawItem(I, R, S); });
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  controls::DrawItemText(*FCanvas, *Items(), Index, Rect);
}

void TCustomComboBox::CNMeasureItem(TMessage& M) {
  controls::MeasureItemMessage(M, FItemHeight, FStyle == csOwnerDrawVariable, [this](int I, int& H) { MeasureItem(I, H); });
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::PaintCombo(HDC DC) {
  TRect client = ClientRect();
  TRect frame = client;
  if (FStyle == csSimple) frame.Bottom = std::min(frame.Bottom, EditHeight() + 6);
  HBRUSH back = CreateSolidBrush(ColorToRGB(Enabled() ? Color() : clBtnFace));
  FillRect(DC, &client, back);
  DeleteObject(back);
  TRect edge = frame;
  DrawEdge(DC, &edge, EDGE_SUNKEN, BF_RECT);
  if (FStyle != csSimple) {
    TRect button = ButtonRect();
    UINT state = DFCS_SCROLLCOMBOBOX;
    if (FDroppedDown) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(DC, &button, DFC_SCROLL, state);
  }
  if (!IsListStyle()) return;  // the edit part shows the text
  const TRect text = TextRect();
  const int index = ItemIndex();
  const bool highlight = FFocusLook && !FDroppedDown && Enabled();
  if (index < 0 && !highlight && !FCueBanner.empty()) {
    controls::TCanvasPaint paint(*FCanvas, DC);
    FCanvas->SetFont(Font());
    FCanvas->Font()->SetColor(clGrayText);
    FCanvas->Brush()->SetStyle(bsClear);
    FCanvas->TextRect(text, text.Left + 2, text.Top + (text.Height() - FCanvas->TextHeight("Wg")) / 2, FCueBanner);
    return;
  }
  if (IsOwnerDraw()) {
    UINT state = ODS_COMBOBOXEDIT;
    if (highlight) state |= ODS_SELECTED | ODS_FOCUS;
    if (!Enabled()) state |= ODS_DISABLED;
    TObject* object = index >= 0 ? Items()->Objects(index) : nullptr;
    controls::SendDrawItem(this, FHandle, DC, index, text, state, ODT_COMBOBOX, object);
    return;
  }
  controls::TCanvasPaint paint(*FCanvas, DC);
  FCanvas->SetFont(Font());
  FCanvas->Brush()->SetColor(highlight ? clHighlight : (Enabled() ? Color() : clBtnFace));
  if (highlight) FCanvas->Font()->SetColor(clHighlightText);
  else if (!Enabled()) FCanvas->Font()->SetColor(clGrayText);
  FCanvas->TextRect(text, text.Left + 2, text.Top + (text.Height() - FCanvas->TextHeight("Wg")) / 2, ItemText(index));
  if (highlight) FCanvas->DrawFocusRect(text);
}

// -- input --

bool TCustomComboBox::HandleKey(WORD Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (FDroppedDown) {
    switch (Key) {
      case VK_RETURN:
      case VK_TAB: HideDropDown(true); return Key == VK_RETURN;
      case VK_ESCAPE: HideDropDown(false); return true;
      case VK_F4: HideDropDown(true); return true;
      case VK_UP:
      case VK_DOWN:
        if (alt) {
          HideDropDown(true);
          return true;
        }
        StepSelection(Key == VK_UP ? -1 : 1, false);
        return true;
      case VK_PRIOR: StepSelection(-std::max(FListBox->VisibleRows() - 1, 1), false); return true;
      case VK_NEXT: StepSelection(std::max(FListBox->VisibleRows() - 1, 1), false); return true;
      case VK_HOME:
      case VK_END:
        if (!IsListStyle()) return false;
        StepSelection(Key == VK_HOME ? -1 : 1, true);
        return true;
    }
    return false;
  }
  switch (Key) {
    case VK_F4:
      if (alt || FStyle == csSimple) return false;
      ShowDropDown();
      return true;
    case VK_UP:
    case VK_DOWN:
      if (alt || (FExtendedUI && Key == VK_DOWN && FStyle != csSimple)) {
        if (FStyle == csSimple) return false;
        ShowDropDown();
        return true;
      }
      StepSelection(Key == VK_UP ? -1 : 1, false);
      return true;
    case VK_PRIOR: StepSelection(-std::max(FDropDownCount - 1, 1), false); return true;
    case VK_NEXT: StepSelection(std::max(FDropDownCount - 1, 1), false); return true;
    case VK_HOME:
    case VK_END:
      if (!IsListStyle()) return false;
      StepSelection(Key == VK_HOME ? -1 : 1, true);
      return true;
  }
  return false;
}

void TCustomComboBox::WMMouseWheel(TMessage& M) {
  TWinControl::WMMouseWheel(M);
  if (M.Result != 0) return;
  const int notches = GET_WHEEL_DELTA_WPARAM(M.WParam) / WHEEL_DELTA;
  M.Result = 1;
  if (notches == 0) return;
  if (FDroppedDown) FListBox->SetTopIndex(FListBox->TopIndex() - notches * controls::WheelScrollLines());
  else
    for (int i = 0; i < std::abs(notches); ++i) StepSelection(notches > 0 ? -1 : 1, false);
}

void TCustomComboBox::CMFontChanged(TMessage& M) {
  TWinControl::CMFontChanged(M);
  FListBox->SetFont(Font());
  AdjustHeight();
  if (FEditHandle) SendMessage(FEditHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  LayoutEdit();
  Invalidate();
}

void TCustomComboBox::CMEnabledChanged(TMessage& M) {
  TWinControl::CMEnabledChanged(M);
  if (!Enabled()) HideDropDown(false);
  if (FEditHandle) EnableWindow(FEditHandle, Enabled());
  Invalidate();
}

void TCustomComboBox::CMColorChanged(TMessage& M) {
  TWinControl::CMColorChanged(M);
  if (FEditHandle) InvalidateRect(FEditHandle, nullptr, TRUE);
}

void TCustomComboBox::CMRecreateWnd(TMessage& M) {
  // The focus may be on the edit part, which the base does not see as the combo's.
  const bool wasFocused = Focused();
  TWinControl::CMRecreateWnd(M);
  if (wasFocused && HandleAllocated() && !Focused()) ::SetFocus(FHandle);
}

// -- the window --

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  static constexpr DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                     CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                     CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  Params.Style |= CBS_HASSTRINGS | CBS_AUTOHSCROLL | WS_CLIPCHILDREN | styles[FStyle];
  if (Sorted()) Params.Style |= CBS_SORT;
  Params.WindowClass.hbrBackground = nullptr;
}

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  LayoutSimpleList();
  CreateEditWindow();
}

void TCustomComboBox::DestroyWnd() {
  HideDropDown(false);
  if (FEditHandle) FText = EditText();
  DestroyEditWindow();
  TWinControl::DestroyWnd();
}

// -- the edit part --

bool TCustomComboBox::Focused() const {
  const HWND focus = GetFocus();
  if (!focus || !FHandle) return false;
  return focus == FHandle || focus == FEditHandle || (FListBox->HandleAllocated() && focus == FListBox->Handle());
}

void TCustomComboBox::CreateEditWindow() {
  if (IsListStyle() || !FHandle || FEditHandle) return;
  controls::RegisterEditClass();
  DWORD style = WS_CHILD | WS_VISIBLE | ES_LEFT | ES_AUTOHSCROLL;
  if (FCharCase == ecUpperCase) style |= ES_UPPERCASE;
  else if (FCharCase == ecLowerCase) style |= ES_LOWERCASE;
  if (!Enabled()) style |= WS_DISABLED;
  const TRect r = TextRect();
  HWND wnd = CreateWindowEx(0, controls::EditClassName, FText, style, r.Left, r.Top, r.Width(), r.Height(), FHandle,
                            reinterpret_cast<HMENU>(controls::kComboEditId), nullptr, nullptr);
  if (!wnd) throw EOutOfResources("Error creating window");
  FEditHandle = wnd;
  FDefEditProc = SetWindowProc(wnd, FEditInstance);
  SendMessage(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  SendMessage(wnd, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (!FCueBanner.empty()) SendMessage(wnd, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(FCueBanner.c_str()));
}

void TCustomComboBox::DestroyEditWindow() {
  if (!FEditHandle) return;
  HWND wnd = FEditHandle;
  FEditHandle = nullptr;
  // The window class has the last messages: none of them reaches the combo.
  SetWindowProc(wnd, FDefEditProc);
  FDefEditProc.reset();
  DestroyWindow(wnd);
}

void TCustomComboBox::LayoutEdit() {
  if (!FEditHandle) return;
  const TRect r = TextRect();
  SetWindowPos(FEditHandle, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TCustomComboBox::EditText() const { return FEditHandle ? GetWindowText(FEditHandle) : FText; }

void TCustomComboBox::SetEditText(const std::string& Text) {
  FText = Text;
  if (!FEditHandle) return;
  const bool setting = FSettingEditText;
  FSettingEditText = true;
  SendMessage(FEditHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
  FSettingEditText = setting;
  SendMessage(FEditHandle, EM_SETSEL, 0, -1);
}

void TCustomComboBox::EditCommand(WORD Code) {
  if (FSettingEditText) return;
  if (Code == EN_UPDATE) {
    Notify(CBN_EDITUPDATE);
    return;
  }
  if (Code != EN_CHANGE) return;
  // The choice is the item the text names; a list on the screen highlights the first item the
  // text begins when none has it whole.
  const std::string text = EditText();
  const int exact = text.empty() ? -1 : controls::FindItemText(*Items(), text, -1, true);
  int shown = exact;
  if (shown < 0 && !text.empty() && (FDroppedDown || FStyle == csSimple))
    shown = controls::FindItemText(*Items(), text, -1, false);
  FListBox->SetItemIndex(shown);
  FSavedIndex = exact;
  Notify(CBN_EDITCHANGE);
}

bool TCustomComboBox::AutoCompleteChar(char32_t Ch) {
  if (!FAutoComplete || !FEditHandle || Ch < 32 || Ch == 127) return false;
  if (GetWindowLongPtr(FEditHandle, GWL_STYLE) & ES_READONLY) return false;
  const std::string text = EditText();
  DWORD start = 0, end = 0;
  SendMessage(FEditHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  // Only typing at the end of the text completes it.
  if (end < controls::CodePointCount(text)) return false;
  std::string typed = text.substr(0, rtl::ByteOffsetOfCodePoint(text, start));
  rtl::AppendUtf8(typed, Ch);
  const int found = controls::FindItemText(*Items(), typed, -1, false);
  if (found < 0) return false;
  const std::string item = ItemText(found);
  const size_t length = controls::CodePointCount(item);
  if (FMaxLength > 0 && length > static_cast<size_t>(FMaxLength)) return false;
  SetEditText(item);
  SendMessage(FEditHandle, EM_SETSEL, start + 1, static_cast<LPARAM>(length));
  SendMessage(FEditHandle, EM_SETMODIFY, TRUE, 0);
  FListBox->SetItemIndex(found);
  FSavedIndex = found;
  Notify(CBN_EDITUPDATE);
  Notify(CBN_EDITCHANGE);  // last: the change handler may free the combo
  return true;
}

void TCustomComboBox::LoseFocus() {
  HideDropDown(false);
  FFocusLook = false;
  Invalidate();
  Notify(CBN_KILLFOCUS);
}

LRESULT TCustomComboBox::EditColor(HDC DC) {
  SetTextColor(DC, ColorToRGB(Font()->Color()));
  if (!Enabled()) {
    SetBkColor(DC, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  SetBkColor(DC, ColorToRGB(Color()));
  return reinterpret_cast<LRESULT>(Brush()->Handle());
}

void TCustomComboBox::EditWndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      if (!FFocusLook) {
        FFocusLook = true;
        Notify(CBN_SETFOCUS);
      }
      break;
    }
    case WM_KILLFOCUS: {
      // To the combo's own window or its list the focus stays with the combo.
      const HWND to = reinterpret_cast<HWND>(M.WParam);
      if (to != FHandle && !(FListBox->HandleAllocated() && to == FListBox->Handle())) LoseFocus();
      break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(M)) return;
      if (HandleKey(static_cast<WORD>(M.WParam), KeyDataToShiftState(M.LParam))) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(M)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(M)) return;
      if (AutoCompleteChar(static_cast<char32_t>(M.WParam))) return;
      break;
    case WM_NCDESTROY:
      // Destroyed with the combo's window rather than by the combo.
      if (FEditHandle) {
        HWND wnd = FEditHandle;
        WNDPROC proc = FDefEditProc;
        FEditHandle = nullptr;
        FDefEditProc.reset();
        M.Result = CallWindowProc(proc, wnd, M.Msg, M.WParam, M.LParam);
      }
      return;
  }
  DefaultEditHandler(M);
}

void TCustomComboBox::DefaultEditHandler(TMessage& M) {
  if (!FEditHandle) return;
  // Copies: a handler the edit window calls may free the combo.
  HWND wnd = FEditHandle;
  WNDPROC proc = FDefEditProc;
  M.Result = CallWindowProc(proc, wnd, M.Msg, M.WParam, M.LParam);
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (FEditHandle) {
    LONG_PTR style = GetWindowLongPtr(FEditHandle, GWL_STYLE) & ~static_cast<LONG_PTR>(ES_UPPERCASE | ES_LOWERCASE);
    if (Value == ecUpperCase) style |= ES_UPPERCASE;
    else if (Value == ecLowerCase) style |= ES_LOWERCASE;
    SetWindowLongPtr(FEditHandle, GWL_STYLE, style);
    SetEditText(EditText());  // the edit converts the text it takes
  } else if (!IsListStyle()) {
    FText = controls::ConvertCase(FText, Value);
  }
}

void TCustomComboBox::SetMaxLength(int Value) { Perform(CB_LIMITTEXT, static_cast<WPARAM>(std::max(Value, 0)), 0); }

int TCustomComboBox::SelStart() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int Value) {
  SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(Value), static_cast<WORD>(Value)));
}

int TCustomComboBox::SelLength() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelLength(int Value) {
  const int start = SelStart();
  SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(start + Value)));
}

std::string TCustomComboBox::SelText() {
  const int start = SelStart(), length = SelLength();
  const std::string text = Text();
  const size_t a = rtl::ByteOffsetOfCodePoint(text, static_cast<size_t>(start));
  const size_t b = rtl::ByteOffsetOfCodePoint(text, static_cast<size_t>(start + length));
  return text.substr(a, b - a);
}

void TCustomComboBox::SetSelText(const std::string& Value) {
  HandleNeeded();
  if (FEditHandle) SendMessage(FEditHandle, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomComboBox::SelectAll() { SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF)); }

LRESULT TCustomComboBox::ComboMessage(TMessage& M, bool& Handled) {
  Handled = true;
  const int count = Items()->Count();
  const int index = static_cast<int>(M.WParam);
  const bool valid = index >= 0 && index < count;
  auto text = [&M] { return std::string(reinterpret_cast<const char*>(M.LParam)); };
  switch (M.Msg) {
    case CB_GETCOUNT: return count;
    case CB_GETCURSEL: return ItemIndex();
    case CB_SETCURSEL:
      SetItemIndex(valid ? index : -1);
      return valid ? index : CB_ERR;
    case CB_GETLBTEXT: return valid ? controls::CopyItemText(*Items(), index, M.LParam) : CB_ERR;
    case CB_GETLBTEXTLEN: return valid ? static_cast<LRESULT>(Items()->Strings(index).size()) : CB_ERR;
    case CB_ADDSTRING: return Items()->Add(text());
    case CB_INSERTSTRING: {
      const int at = index < 0 ? count : index;
      if (at > count) return CB_ERR;
      Items()->Insert(at, text());
      return at;
    }
    case CB_DELETESTRING:
      if (!valid) return CB_ERR;
      Items()->Delete(index);
      return Items()->Count();
    case CB_RESETCONTENT: Items()->Clear(); return CB_OKAY;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
      const int found = controls::FindItemText(*Items(), text(), index, M.Msg == CB_FINDSTRINGEXACT);
      return found < 0 ? CB_ERR : found;
    }
    case CB_SELECTSTRING: {
      const int found = controls::FindItemText(*Items(), text(), index, false);
      if (found < 0) return CB_ERR;
      SetItemIndex(found);
      return found;
    }
    case CB_GETITEMDATA: return valid ? reinterpret_cast<LRESULT>(Items()->Objects(index)) : CB_ERR;
    case CB_SETITEMDATA:
      if (!valid) return CB_ERR;
      Items()->SetObjects(index, reinterpret_cast<TObject*>(M.LParam));
      return CB_OKAY;
    case CB_SHOWDROPDOWN:
      SetDroppedDown(M.WParam != 0);
      return TRUE;
    case CB_GETDROPPEDSTATE: return FDroppedDown ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: {
      auto* r = reinterpret_cast<TRect*>(M.LParam);
      if (FDroppedDown) {
        GetWindowRect(FListBox->Handle(), r);
      } else {
        const TPoint origin = ClientToScreen(TPoint{0, 0});
        *r = Bounds(origin.X, origin.Y, std::max(Width(), FDroppedWidth), Height());
      }
      return TRUE;
    }
    case CB_SETDROPPEDWIDTH:
      FDroppedWidth = std::max(index, 0);
      return std::max(FDroppedWidth, Width());
    case CB_GETDROPPEDWIDTH: return std::max(FDroppedWidth, Width());
    case CB_GETITEMHEIGHT:
      if (index == -1) return EditHeight();
      if (FStyle == csOwnerDrawVariable && !valid) return CB_ERR;
      return FStyle == csOwnerDrawVariable ? FListBox->HeightOf(index) : ItemHeight();
    case CB_SETITEMHEIGHT: {
      const int h = LOWORD(M.LParam);
      if (h <= 0) return CB_ERR;
      if (index == -1) {
        if (IsOwnerDraw()) SetItemHeight(h);
        return CB_OKAY;
      }
      return FListBox->Perform(LB_SETITEMHEIGHT, M.WParam, M.LParam);
    }
    case CB_GETEDITSEL: {
      if (!FEditHandle) return CB_ERR;
      return SendMessage(FEditHandle, EM_GETSEL, M.WParam, M.LParam);
    }
    case CB_SETEDITSEL: {
      if (!FEditHandle) return CB_ERR;
      // Start -1 removes the selection; end -1 selects to the end of the text.
      const int start = static_cast<int16_t>(LOWORD(M.LParam));
      const int end = static_cast<int16_t>(HIWORD(M.LParam));
      SendMessage(FEditHandle, EM_SETSEL, static_cast<WPARAM>(static_cast<intptr_t>(start)), end);
      return TRUE;
    }
    case CB_LIMITTEXT:
      FMaxLength = static_cast<int>(std::min<WPARAM>(M.WParam, INT32_MAX));
      if (FEditHandle) SendMessage(FEditHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
      return TRUE;
    case CB_SETEXTENDEDUI: FExtendedUI = M.WParam != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return FExtendedUI ? TRUE : FALSE;
    case CB_GETTOPINDEX: return FListBox->TopIndex();
    case CB_SETTOPINDEX:
      if (!valid) return CB_ERR;
      FListBox->SetTopIndex(index);
      return CB_OKAY;
  }
  Handled = false;
  return 0;
}

void TCustomComboBox::Dispatch(TMessage& M) {
  bool handled = false;
  if (M.Msg >= CB_GETEDITSEL && M.Msg <= CB_SETDROPPEDWIDTH) {
    M.Result = ComboMessage(M, handled);
    if (handled) return;
  }
  const bool fromEdit = FEditHandle && reinterpret_cast<HWND>(M.LParam) == FEditHandle;
  switch (M.Msg) {
    case WM_COMMAND:
      if (!fromEdit) break;
      EditCommand(HIWORD(M.WParam));  // last: the change handler may free the combo
      return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (!fromEdit) break;
      M.Result = EditColor(reinterpret_cast<HDC>(M.WParam));
      return;
    case CB_SETCUEBANNER:
      FCueBanner = M.LParam ? reinterpret_cast<const char*>(M.LParam) : "";
      if (FEditHandle) SendMessage(FEditHandle, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(FCueBanner.c_str()));
      Invalidate();
      M.Result = TRUE;
      return;
    case CB_GETCUEBANNER:
      if (auto* out = reinterpret_cast<std::string*>(M.LParam)) *out = FCueBanner;
      M.Result = TRUE;
      return;
    case CN_COMMAND: CNCommand(M); return;
    case CN_DRAWITEM: CNDrawItem(M); return;
    case CN_MEASUREITEM: CNMeasureItem(M); return;
    case CM_CANCELMODE: {
      auto* sender = reinterpret_cast<TControl*>(M.LParam);
      if (sender != this && sender != FListBox) HideDropDown(false);
      return;
    }
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT: {
      if (FEditHandle) {
        M.Result = SendMessage(FEditHandle, M.Msg, M.WParam, M.LParam);
        return;
      }
      const std::string s = IsListStyle() ? ItemText(ItemIndex()) : FText;
      if (M.Msg == WM_GETTEXTLENGTH) {
        M.Result = static_cast<LRESULT>(s.size());
        return;
      }
      const size_t n = std::min(s.size(), M.WParam > 0 ? static_cast<size_t>(M.WParam) - 1 : 0);
      char* out = reinterpret_cast<char*>(M.LParam);
      if (M.WParam > 0) {
        std::copy(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n), out);
        out[n] = '\0';
      }
      M.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_SETTEXT: {
      const std::string s = M.LParam ? reinterpret_cast<const char*>(M.LParam) : "";
      if (IsListStyle()) {
        const int found = s.empty() ? -1 : controls::FindItemText(*Items(), s, -1, true);
        if (found >= 0 || s.empty()) SetItemIndex(found);
        M.Result = found >= 0 || s.empty() ? TRUE : CB_ERR;
      } else {
        SetEditText(s);
        FListBox->SetItemIndex(s.empty() ? -1 : controls::FindItemText(*Items(), s, -1, true));
        FSavedIndex = FListBox->ItemIndex();
        Invalidate();
        M.Result = TRUE;
      }
      return;
    }
  }
  TWinControl::Dispatch(M);
}

void TCustomComboBox::DefaultHandler(TMessage& M) {
  if (!FHandle) {
    TWinControl::DefaultHandler(M);
    return;
  }
  switch (M.Msg) {
    case WM_PAINT: controls::PaintMessage(FHandle, M, [this](HDC DC) { PaintCombo(DC); }); return;
    case WM_ERASEBKGND: M.Result = 1; return;
    case WM_SIZE:
      TWinControl::DefaultHandler(M);
      LayoutSimpleList();
      LayoutEdit();
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDroppedDown ? DLGC_WANTALLKEYS : 0);
      return;
    case WM_SETFOCUS:
      if (FEditHandle) {
        // The edit part takes the focus, its text selected; it tells of the focus itself.
        ::SetFocus(FEditHandle);
        if (FEditHandle && GetFocus() == FEditHandle) SendMessage(FEditHandle, EM_SETSEL, 0, -1);
        return;
      }
      FFocusLook = true;
      Invalidate();
      Notify(CBN_SETFOCUS);
      return;
    case WM_KILLFOCUS:
      if (FEditHandle && reinterpret_cast<HWND>(M.WParam) == FEditHandle) return;
      LoseFocus();
      return;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      // The clipboard commands of the combo are its edit part's.
      if (FEditHandle) M.Result = SendMessage(FEditHandle, M.Msg, M.WParam, M.LParam);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!Focused() && CanFocus()) SetFocus();
      if (FStyle == csSimple || FDroppedDown) return;
      if (IsListStyle() || ButtonRect().Contains(LParamToPoint(M.LParam))) ShowDropDown();
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (HandleKey(static_cast<WORD>(M.WParam), KeyDataToShiftState(M.LParam))) return;
      break;
    case WM_CHAR:
      if (IsListStyle() && M.WParam >= 32 && Items()->Count() > 0) {
        const int current = FDroppedDown ? FListBox->ItemIndex() : ItemIndex();
        const int found =
            controls::TypeAhead(*Items(), FTypeAhead, FTypeAheadTime, static_cast<char32_t>(M.WParam), current);
        if (found >= 0 && found != current) ChangeSelection(found, true);
        return;
      }
      break;
  }
  TWinControl::DefaultHandler(M);
}

static const classes::TPublished<TCustomComboBox, TWinControl> CustomComboBoxInfo;
static const classes::TPublished<TComboBox, TCustomComboBox> ComboBoxInfo([](classes::TPublisher<TComboBox>& p) {
  p.Enum("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
  p.Object("Items", &TComboBox::Items, &TComboBox::SetItems);
  p.Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
  p.Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
  p.Bool("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
  p.Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight).Default(16);
  p.Bool("AutoComplete", &TComboBox::AutoComplete, &TComboBox::SetAutoComplete).Default(true);
  p.Enum("CharCase", &TComboBox::CharCase, &TComboBox::SetCharCase).Default(ecNormal);
  p.Int("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0);
  p.Event("OnChange", &TComboBox::OnChange);
  p.Event("OnSelect", &TComboBox::OnSelect);
  p.Event("OnDropDown", &TComboBox::OnDropDown);
  p.Event("OnCloseUp", &TComboBox::OnCloseUp);
  p.Event("OnDrawItem", &TComboBox::OnDrawItem);
  p.Event("OnMeasureItem", &TComboBox::OnMeasureItem);
});
