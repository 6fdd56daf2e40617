#include "platform/controls/ListCtrls.h"

#include <algorithm>

#include "platform/controls/ListCtrlsInternal.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Frames.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Strings.h"

namespace controls {

namespace {

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

}  // namespace

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

void TCustomComboBox::KeyPress(char32_t& Key) {
  TWinControl::KeyPress(Key);
  if (!FAutoDropDown || Key == 0 || FStyle == csSimple) return;
  if (Key == VK_TAB) {
    if (FDroppedDown) HideDropDown(true);
  } else if (Key != VK_BACK && Key != VK_ESCAPE && !FDroppedDown) {
    ShowDropDown();
  }
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
      if (IsListStyle() && FAutoComplete && M.WParam >= 32 && Items()->Count() > 0) {
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
  p.Bool("AutoDropDown", &TComboBox::AutoDropDown, &TComboBox::SetAutoDropDown).Default(false);
  p.Enum("CharCase", &TComboBox::CharCase, &TComboBox::SetCharCase).Default(ecNormal);
  p.Int("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0);
  p.Event("OnChange", &TComboBox::OnChange);
  p.Event("OnSelect", &TComboBox::OnSelect);
  p.Event("OnDropDown", &TComboBox::OnDropDown);
  p.Event("OnCloseUp", &TComboBox::OnCloseUp);
  p.Event("OnDrawItem", &TComboBox::OnDrawItem);
  p.Event("OnMeasureItem", &TComboBox::OnMeasureItem);
});
