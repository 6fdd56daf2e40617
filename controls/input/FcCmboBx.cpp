#include "controls/input/FcCmboBx.h"

#include <algorithm>
#include <cstdlib>

#include "platform/classes/Filer.h"
#include "platform/os/Input.h"
#include "platform/os/Kernel.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Themes.h"
#include "platform/os/Window.h"
#include "platform/rtl/Strings.h"

namespace {

bool IsPrintable(char32_t Ch) { return Ch >= 32 && Ch != 127; }

size_t CodePoints(const std::string& S) {
  return static_cast<size_t>(
      std::count_if(S.begin(), S.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

size_t ByteAt(const std::string& S, size_t CodePoint) {
  return std::min(rtl::ByteOffsetOfCodePoint(S, CodePoint), S.size());
}

// S without the code points [From, From + Count).
std::string EraseCodePoints(const std::string& S, size_t From, size_t Count) {
  const size_t a = ByteAt(S, From), b = ByteAt(S, From + Count);
  return S.substr(0, a) + S.substr(b);
}

std::string WithoutLastCodePoint(const std::string& S) {
  const size_t n = CodePoints(S);
  return n == 0 ? S : EraseCodePoints(S, n - 1, 1);
}

}  // namespace

// ---- TFcCustomComboBox ----

TFcCustomComboBox::TFcCustomComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), FSearchTimer(std::make_unique<TTimer>(nullptr)),
      FFrameCanvas(std::make_unique<TControlCanvas>()) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  // The library's handlers alone act on the typed characters.
  TCustomComboBox::SetAutoComplete(false);
  FSearchTimer->SetEnabled(false);
  FSearchTimer->OnTimer = [this](TObject*) { SearchTimerTick(); };
  FFrameCanvas->SetControl(this);
}

TFcCustomComboBox::~TFcCustomComboBox() {
  FSearchTimer.reset();
  if (FFrameController) FFrameController->UnregisterControl(this);
  FFrameCanvas.reset();
}

void TFcCustomComboBox::Loaded() {
  TCustomComboBox::Loaded();
  FNormalColor = Color();
  UpdateColors();
}

// -- colours --

void TFcCustomComboBox::SetColorInternal(TColor Value) {
  if (Color() == Value) return;
  FUpdatingColor = true;
  SetColor(Value);
  FUpdatingColor = false;
}

void TFcCustomComboBox::UpdateColors() {
  if (HasState(csLoading) || FUpdatingColor) return;
  TColor color;
  if (!Enabled()) color = FDisabledColor;
  else if (FFocused) color = FReadOnly && FReadOnlyColorOnFocus ? FReadOnlyColor : FFocusColor;
  else color = FReadOnly ? FReadOnlyColor : FNormalColor;
  SetColorInternal(color);
}

void TFcCustomComboBox::CMColorChanged(TMessage& Message) {
  TCustomComboBox::CMColorChanged(Message);
  if (FUpdatingColor) return;
  if (FFocusColor == FNormalColor) FFocusColor = Color();
  FNormalColor = Color();
}

void TFcCustomComboBox::CMParentColorChanged(TMessage& Message) {
  TCustomComboBox::CMParentColorChanged(Message);
  if (FUpdatingColor || !ParentColor()) return;
  if (FFocusColor == FNormalColor) FFocusColor = Color();
  FNormalColor = Color();
}

void TFcCustomComboBox::CMEnabledChanged(TMessage& Message) {
  TCustomComboBox::CMEnabledChanged(Message);
  UpdateColors();
}

void TFcCustomComboBox::SetDisabledColor(TColor Value) {
  FDisabledColor = Value;
  if (!Enabled()) UpdateColors();
}

void TFcCustomComboBox::SetFocusColor(TColor Value) {
  FFocusColor = Value;
  if (FFocused) UpdateColors();
}

void TFcCustomComboBox::SetReadOnlyColor(TColor Value) {
  FReadOnlyColor = Value;
  if (FReadOnly) UpdateColors();
}

void TFcCustomComboBox::SetReadOnlyColorOnFocus(bool Value) {
  FReadOnlyColorOnFocus = Value;
  if (FReadOnly && FFocused) UpdateColors();
}

void TFcCustomComboBox::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  if (IsEditStyle() && EditHandle()) SendMessage(EditHandle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
  UpdateColors();
  Invalidate();
}

// -- frame settings --

void TFcCustomComboBox::SetFlatButtons(bool Value) { Store(FFlatButtons, Value); }
void TFcCustomComboBox::SetFlatButtonColor(TColor Value) { Store(FFlatButtonColor, Value); }
void TFcCustomComboBox::SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
void TFcCustomComboBox::SetFrameHotColor(TColor Value) { Store(FFrameHotColor, Value); }
void TFcCustomComboBox::SetFrameHotStyle(TFrameStyle Value) { Store(FFrameHotStyle, Value); }
void TFcCustomComboBox::SetFrameSides(TSides Value) { Store(FFrameSides, Value); }
void TFcCustomComboBox::SetFrameStyle(TFrameStyle Value) { Store(FFrameStyle, Value); }

void TFcCustomComboBox::SetFrameHotTrack(bool Value) {
  if (FFrameHotTrack == Value) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    if (!HasState(csLoading)) FFrameSides = AllSides;
  }
  Invalidate();
}

void TFcCustomComboBox::SetFrameVisible(bool Value) {
  if (FFrameVisible == Value) return;
  FFrameVisible = Value;
  SetParentCtl3D(!Value);
  SetCtl3D(!Value);
  Invalidate();
}

void TFcCustomComboBox::SetFramingPreference(TFramingPreference Value) {
  if (FFramingPreference == Value) return;
  FFramingPreference = Value;
  if (Value == fpCustomFraming) Invalidate();
}

void TFcCustomComboBox::SetFrameController(TFcFrameController* Value) {
  if (FFrameController == Value) return;
  if (FFrameController) {
    FFrameController->UnregisterControl(this);
    FFrameController->RemoveFreeNotification(this);
  }
  FFrameController = Value;
  if (Value) {
    Value->RegisterControl(this);
    Value->FreeNotification(this);
  }
}

void TFcCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

bool TFcCustomComboBox::VisualStylesActive() { return IsThemeActive() && IsAppThemed(); }

bool TFcCustomComboBox::UseThemes() const { return FFramingPreference == fpXPThemes && VisualStylesActive(); }

bool TFcCustomComboBox::IsStoredByController(TFcFrameControllerProperty Property) const {
  return !(FFrameController && FFrameControllerNotifications.Contains(Property));
}

bool TFcCustomComboBox::IsColorStored() const {
  return IsStoredByController(fcpColor) && Enabled() && !ParentColor();
}

bool TFcCustomComboBox::IsFocusColorStored() const {
  return IsStoredByController(fcpFocusColor) && ColorToRGB(FFocusColor) != ColorToRGB(Color());
}

void TFcCustomComboBox::DefineProperties(TFiler* Filer) {
  TCustomComboBox::DefineProperties(Filer);
  DefineOldFrameProperties(Filer, this);
}

// -- hot state and focus --

void TFcCustomComboBox::UpdateFrame(bool ViaMouse, bool Value) {
  if (ViaMouse) FOverControl = Value;
  else FInControl = Value;
  if (((FFlatButtons && !IsOSVersionOrLater(7)) || FFrameHotTrack) && !DroppedDown() && HandleAllocated()) {
    if (FFrameHotTrack) {
      InvalidateRect(Handle(), nullptr, FALSE);
    } else {
      TRect strip = ClientRect();
      strip.Left = strip.Right - GetSystemMetrics(SM_CXVSCROLL) - 2;
      InvalidateRect(Handle(), &strip, FALSE);
    }
  }
  UpdateColors();
}

void TFcCustomComboBox::CMEnter(TMessage& Message) {
  TCustomComboBox::CMEnter(Message);
  FFocused = true;
  UpdateFrame(false, true);
}

void TFcCustomComboBox::CMExit(TMessage& Message) {
  TCustomComboBox::CMExit(Message);
  FFocused = false;
  FSearch.clear();
  UpdateFrame(false, false);
  if (Style() == csDropDown && !Text().empty() && Items()->IndexOf(Text()) < 0) NotInList();
}

void TFcCustomComboBox::CMMouseEnter(TMessage& Message) {
  TCustomComboBox::CMMouseEnter(Message);
  if (!HasState(csDesigning)) UpdateFrame(true, true);
}

void TFcCustomComboBox::CMMouseLeave(TMessage& Message) {
  TCustomComboBox::CMMouseLeave(Message);
  if (!HasState(csDesigning)) UpdateFrame(true, false);
}

// -- events --

void TFcCustomComboBox::Match() {
  if (OnMatch) OnMatch(this);
}
void TFcCustomComboBox::NotInList() {
  if (OnNotInList) OnNotInList(this);
}
void TFcCustomComboBox::SelEndOk() {
  if (OnSelEndOk) OnSelEndOk(this);
}
void TFcCustomComboBox::SelEndCancel() {
  if (OnSelEndCancel) OnSelEndCancel(this);
}
void TFcCustomComboBox::DoDeleteItem(TObject* Item) {
  if (OnDeleteItem) OnDeleteItem(this, Item);
}
void TFcCustomComboBox::Change() { TCustomComboBox::Change(); }

void TFcCustomComboBox::InvalidKeyPressed() {
  if (FBeepOnInvalidKey) MessageBeep(0);
}

void TFcCustomComboBox::CNCommand(TMessage& Message) {
  switch (HIWORD(Message.WParam)) {
    case CBN_SELENDOK:
      // The text change that follows is the list's choice, not typing to complete.
      FTyping = true;
      SelEndOk();
      break;
    case CBN_SELENDCANCEL: SelEndCancel(); break;
  }
  TCustomComboBox::CNCommand(Message);
}

void TFcCustomComboBox::CloseUp() {
  TCustomComboBox::CloseUp();
  FTyping = false;
  Invalidate();
}

void TFcCustomComboBox::DropDown() {
  TCustomComboBox::DropDown();
  int width = FDropDownWidth;
  if (width <= 0) {
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    width = 0;
    for (int i = 0; i < Items()->Count(); ++i) width = std::max(width, canvas->TextWidth(Items()->Strings(i)));
    if (Items()->Count() > DropDownCount()) width += GetSystemMetrics(SM_CXVSCROLL);
    width = std::max(width + 8, Width());
  }
  FActualDropDownWidth = width;
  Perform(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

void TFcCustomComboBox::SetItemHeight(int Value) {
  if (Value == ItemHeight() || (Style() != csOwnerDrawFixed && Style() != csOwnerDrawVariable)) return;
  TCustomComboBox::SetItemHeight(Value);
  if (HandleAllocated()) RecreateWnd();
}

void TFcCustomComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  if (FReadOnly && EditHandle()) SendMessage(EditHandle(), EM_SETREADONLY, TRUE, 0);
  UpdateTextHint();
}

void TFcCustomComboBox::SetTextHint(const std::string& Value) {
  if (FTextHint == Value) return;
  FTextHint = Value;
  if (!HasState(csLoading)) UpdateTextHint();
}

void TFcCustomComboBox::UpdateTextHint() {
  // The cue banner belongs to the visual styles; without them the hint is only kept.
  if (!VisualStylesActive() || !HandleAllocated()) return;
  if (IsOSVersionOrLater(7)) SendTextMessage(Handle(), CB_SETCUEBANNER, 0, FTextHint);
  else if (IsOSVersionOrLater(5) && EditHandle()) SendTextMessage(EditHandle(), EM_SETCUEBANNER, 0, FTextHint);
}

// -- items --

int TFcCustomComboBox::FindItem(const std::string& Value) {
  const LRESULT found = Perform(CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Value.c_str()));
  return found < 0 ? -1 : static_cast<int>(found);
}

int TFcCustomComboBox::IndexOfItem(const std::string& Value) { return Items()->IndexOf(Value); }

void TFcCustomComboBox::SetTextSilently(const std::string& Value) {
  if (Value == Text()) return;
  const bool saved = FAutoComplete;
  FAutoComplete = false;
  SetText(Value);
  FAutoComplete = saved;
}

void TFcCustomComboBox::SelectItem(int Index) {
  if (FReadOnly || Index < 0 || Index >= Items()->Count() || Index == ItemIndex()) return;
  SetItemIndex(Index);
  Click();
  Change();
}

// -- incremental search and auto-complete --

void TFcCustomComboBox::RestartSearchTimer() {
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetInterval(kFcSearchDelay);
  FSearchTimer->SetEnabled(true);
}

void TFcCustomComboBox::SearchTimerTick() {
  if (FKeyBusy) return;
  FSearchTimer->SetEnabled(false);
  FSearch.clear();
}

void TFcCustomComboBox::SelectMatchingItem(const std::string& Value, TMessage& Message) {
  const int found = FindItem(Value);
  if (found < 0) {
    InvalidKeyPressed();
    return;
  }
  SetItemIndex(found);
  FSearch = Value;
  Click();
  Change();
  DoKeyPress(Message);
}

bool TFcCustomComboBox::AutoCompleteText(const std::string& Value, TMessage& Message) {
  const int old = ItemIndex();
  const int found = FindItem(Value);
  if (found < 0) return false;
  const std::string item = Items()->Strings(found);
  const size_t typed = CodePoints(Value);
  if (FKeepSearchCase) {
    FTyping = true;
    SetText(Value + item.substr(ByteAt(item, typed)));
    FTyping = false;
  } else {
    SetItemIndex(-1);
    SetItemIndex(found);
  }
  Click();
  Change();
  if (Message.Msg == WM_CHAR && !FKeyBusy) DoKeyPress(Message);
  SetSelStart(static_cast<int>(typed));
  SetSelLength(static_cast<int>(CodePoints(item)) - static_cast<int>(typed));
  if (ItemIndex() != old) Match();
  return true;
}

void TFcCustomComboBox::CMTextChanged(TMessage& Message) {
  TCustomComboBox::CMTextChanged(Message);
  if (FAutoComplete && !HasState(csDesigning) && !FTyping && !DroppedDown() &&
      Style() == csDropDown) {
    if (FEnterPressed) {
      FEnterPressed = false;
    } else {
      FSearch = Text();
      const int found = FSearch.empty() ? -1 : FindItem(FSearch);
      if (found >= 0 && HandleAllocated()) {
        FTyping = true;
        SetItemIndex(found);
        SetSelStart(static_cast<int>(CodePoints(FSearch)));
        SetSelLength(static_cast<int>(CodePoints(Items()->Strings(found)) - CodePoints(FSearch)));
      }
    }
  }
  FTyping = false;
}

void TFcCustomComboBox::ListKeyDown(TMessage& Message) {
  switch (Message.WParam) {
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: FSearch.clear(); break;
  }
  TCustomComboBox::WndProc(Message);
}

void TFcCustomComboBox::ListChar(TMessage& Message) {
  const auto ch = static_cast<char32_t>(Message.WParam);
  if (ch == VK_BACK) {
    if (FSearch.empty()) {
      InvalidKeyPressed();
      SelectMatchingItem("", Message);
      return;
    }
    const std::string rest = WithoutLastCodePoint(FSearch);
    if (!rest.empty()) {
      SelectMatchingItem(rest, Message);
      return;
    }
    SetItemIndex(Items()->Count() > 0 ? 0 : -1);
    Click();
    Change();
    FSearch.clear();
    DoKeyPress(Message);
    return;
  }
  if (!IsPrintable(ch)) {
    TCustomComboBox::WndProc(Message);
    return;
  }
  FKeyBusy = true;
  std::string text = FSearch;
  rtl::AppendUtf8(text, ch);
  SelectMatchingItem(text, Message);
  RestartSearchTimer();
  FKeyBusy = false;
}

void TFcCustomComboBox::PostTab() { PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0); }

void TFcCustomComboBox::CompleteAfterPaste() {
  FPasteNoted = false;
  if (!FAllowEdit) return;
  FSearch = Text();
  TMessage none{};
  AutoCompleteText(FSearch, none);
}

void TFcCustomComboBox::EditKeyDown(TMessage& Message) {
  FSysKeyDown = false;
  const auto key = static_cast<WORD>(Message.WParam);
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      FTyping = true;
      FSearch.clear();
      if (FReadOnly) return;
      break;
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_RIGHT: FSearch = Text(); break;
    case VK_INSERT:
      if (shift) FPasteNoted = true;
      if (!FAllowEdit) return;
      break;
    case VK_DELETE: {
      FSearch = Text();
      const int start = SelStart();
      const int length = std::max(SelLength(), 1);
      const bool all = start == 0 && SelLength() >= static_cast<int>(CodePoints(FSearch));
      FSearch = EraseCodePoints(FSearch, static_cast<size_t>(start), static_cast<size_t>(length));
      if (!FAllowEdit && !all) return;
      break;
    }
    case VK_F4:
      if (FReadOnly) return;
      break;
  }
  TCustomComboBox::EditWndProc(Message);
  if (FPasteNoted && key == VK_INSERT) CompleteAfterPaste();
}

bool TFcCustomComboBox::EditBackspace(TMessage& Message) {
  if (FSearch.empty()) {
    InvalidKeyPressed();
    return true;
  }
  const size_t caret = static_cast<size_t>(std::max(SelStart(), 0));
  const size_t length = static_cast<size_t>(std::max(SelLength(), 0));
  std::string rest;
  if (caret >= CodePoints(FSearch)) {
    rest = WithoutLastCodePoint(FSearch);
  } else if (length > 0 && FAllowEdit) {
    rest = EraseCodePoints(FSearch, caret, length);
  } else if (FAllowEdit && caret > 0) {
    rest = EraseCodePoints(FSearch, caret - 1, 1);
  } else {
    InvalidKeyPressed();
    return true;
  }
  if (rest.empty()) {
    SetItemIndex(-1);
    if (FKeepSearchCase || !Text().empty()) SetTextSilently("");
    FSearch.clear();
    Click();
    Change();
    DoKeyPress(Message);
    return true;
  }
  FSearch = rest;
  if (AutoCompleteText(rest, Message)) return true;
  if (!FAllowEdit) return true;
  // The edit removes the character itself; the search follows what it leaves.
  TCustomComboBox::EditWndProc(Message);
  FSearch = Text();
  return true;
}

void TFcCustomComboBox::EditChar(TMessage& Message) {
  const auto ch = static_cast<char32_t>(Message.WParam);
  switch (ch) {
    case VK_BACK: EditBackspace(Message); return;
    case VK_RETURN:
      if (DroppedDown()) SelEndOk();
      FEnterPressed = true;
      TCustomComboBox::EditWndProc(Message);
      return;
    case 22:  // Ctrl+V
    case 24:  // Ctrl+X
      if (!FAllowEdit) return;
      TCustomComboBox::EditWndProc(Message);
      CompleteAfterPaste();
      return;
    case VK_ESCAPE:
      FSearch.clear();
      if (DroppedDown()) TCustomComboBox::EditWndProc(Message);
      return;
  }
  if (!IsPrintable(ch)) {
    TCustomComboBox::EditWndProc(Message);
    return;
  }
  // The key-press event first: it may change or cancel the character.
  if (DoKeyPress(Message)) return;
  const auto typed = static_cast<char32_t>(Message.WParam);
  if (!IsPrintable(typed)) return;
  const size_t caret = static_cast<size_t>(std::max(SelStart(), 0));
  const size_t length = static_cast<size_t>(std::max(SelLength(), 0));
  const std::string before = FSearch;
  std::string search = EraseCodePoints(FSearch, caret, length);
  std::string ch8;
  rtl::AppendUtf8(ch8, typed);
  search.insert(ByteAt(search, std::min(caret, CodePoints(search))), ch8);
  FSearch = search;
  FKeyBusy = true;  // the key-press event has fired already
  const bool completed = AutoCompleteText(search, Message);
  FKeyBusy = false;
  if (completed) return;
  if (FAllowEdit) {
    DefaultEditHandler(Message);
    FSearch = Text();
    return;
  }
  InvalidKeyPressed();
  FSearch = before;
}

void TFcCustomComboBox::EditWndProc(TMessage& Message) {
  if (!FAutoComplete) {
    if (FReadOnly && (Message.Msg == WM_CHAR && Message.WParam != 3)) return;
    TCustomComboBox::EditWndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_KEYDOWN: EditKeyDown(Message); return;
    case WM_SYSKEYDOWN:
      FSysKeyDown = true;
      if (FReadOnly && Message.WParam != VK_F4) return;
      break;
    case WM_CHAR:
      if (FSysKeyDown) {
        FSysKeyDown = false;
        break;
      }
      if (FReadOnly) {
        if (FTabOnEnter && Message.WParam == VK_RETURN && !DroppedDown()) PostTab();
        if (Message.WParam != 3) return;  // Ctrl+C still copies
        break;
      }
      EditChar(Message);
      return;
    case WM_LBUTTONDOWN:
      if (Style() == csDropDown) FSearch = Text();
      break;
  }
  TCustomComboBox::EditWndProc(Message);
}

// -- keys and mouse of the combo window --

void TFcCustomComboBox::KeyPress(char32_t& Key) {
  if (FTabOnEnter && Key == VK_RETURN && !DroppedDown()) {
    Key = 0;
    PostTab();
    return;
  }
  if (Style() == csDropDown && IsPrintable(Key) && MaxLength() > 0 &&
      static_cast<int>(CodePoints(Text())) >= MaxLength() && SelLength() == 0) {
    InvalidKeyPressed();
    Key = 0;
  }
  TCustomComboBox::KeyPress(Key);
}

void TFcCustomComboBox::WMMouseWheel(TMessage& Message) {
  Message.Result = 1;
  if (FReadOnly) return;
  if (Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0) return;
  const int notches = GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA;
  const int count = Items()->Count();
  if (notches == 0 || count == 0) return;
  if (DroppedDown()) {
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int top = std::clamp(ListBox()->TopIndex() - notches * static_cast<int>(lines), 0, count - 1);
    Perform(CB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    return;
  }
  for (int i = 0; i < std::abs(notches); ++i) {
    const int index = ItemIndex();
    if (notches < 0) {
      if (index >= count - 1) return;
      SetItemIndex(index + 1);
    } else {
      if (index <= 0) {
        SetItemIndex(0);
        return;
      }
      SetItemIndex(index - 1);
    }
    Click();
    Change();
  }
}

void TFcCustomComboBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (IsEditStyle()) break;
      if (FReadOnly && !(Message.Msg == WM_SYSKEYDOWN && Message.WParam == VK_F4)) return;
      ListKeyDown(Message);
      return;
    case WM_CHAR:
      if (IsEditStyle()) break;
      if (FReadOnly) return;
      ListChar(Message);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FReadOnly) {
        if (!TCustomComboBox::Focused() && CanFocus()) SetFocus();
        return;
      }
      break;
    case WM_CUT:
    case WM_PASTE:
      if (!FAllowEdit) return;
      if (Message.Msg == WM_CUT && FAutoComplete) {
        FSearch = Text();
        AutoCompleteText(FSearch, Message);
      }
      TCustomComboBox::WndProc(Message);
      if (Message.Msg == WM_PASTE && FAutoComplete) CompleteAfterPaste();
      return;
    case CN_DELETEITEM: {
      auto* dis = reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam);
      if (dis && dis->itemData) {
        TObject* item = reinterpret_cast<TObject*>(dis->itemData);
        dis->itemData = 0;
        DoDeleteItem(item);
      }
      break;
    }
    case WM_PAINT:
      TCustomComboBox::WndProc(Message);
      PaintFrame();
      return;
    case WM_SIZE:
      TCustomComboBox::WndProc(Message);
      if (FFrameVisible && !UseThemes()) Invalidate();
      return;
  }
  TCustomComboBox::WndProc(Message);
}

// -- owner-drawn items --

void TFcCustomComboBox::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!dis) return;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  if (static_cast<int>(dis->itemID) < 0) {
    controls::TCanvasPaint paint(*Canvas(), dis->hDC);
    if (selected) PaintDottedFocusFrame(Canvas(), dis->rcItem);
    else {
      Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(dis->rcItem);
    }
    Message.Result = TRUE;
    return;
  }
  TCustomComboBox::CNDrawItem(Message);
  if (selected && FShowFocus) {
    controls::TCanvasPaint paint(*Canvas(), dis->hDC);
    PaintDottedFocusFrame(Canvas(), dis->rcItem);
  }
}

void TFcCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  TCustomComboBox::DrawItem(Index, Rect, State);
}

// ---- TFcComboBox ----

TFcComboBox::TFcComboBox(TComponent* AOwner) : TFcCustomComboBox(AOwner), FValues(std::make_unique<TStringList>()) {
  FValues->OnChange = [this](TObject*) { ValuesChanged(); };
}

TFcComboBox::~TFcComboBox() { FValues->OnChange = nullptr; }

std::string TFcComboBox::GetItemValue(int Index) const {
  if (Index < 0) return {};
  if (Index < FValues->Count() && !FValues->Strings(Index).empty()) return FValues->Strings(Index);
  if (Index < Items()->Count()) return Items()->Strings(Index);
  return {};
}

std::string TFcComboBox::GetValue() const {
  const bool byIndex = Style() == csDropDownList || Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable;
  const std::string text = const_cast<TFcComboBox*>(this)->Text();
  const int index = byIndex ? ItemIndex() : (text.empty() ? -1 : Items()->IndexOf(text));
  if (index >= 0 && index < FValues->Count() && !FValues->Strings(index).empty()) return FValues->Strings(index);
  return text;
}

void TFcComboBox::SetValue(const std::string& Value) {
  if (Value == FValue && !FForceSetValue) return;
  FInSetValue = true;
  int index = -1;
  for (int i = 0; i < Items()->Count() && index < 0; ++i)
    if (GetItemValue(i) == Value) index = i;
  // Choosing the chosen item again would put its text back over what is being typed.
  if (index != ItemIndex()) SetItemIndex(index);
  FInSetValue = false;
  FValue = Value;
}

void TFcComboBox::Change() {
  if (FInSetValue || FForceSetValue) return;
  TFcCustomComboBox::Change();
  if (ItemIndex() >= 0) SetValue(GetItemValue(ItemIndex()));
}

void TFcComboBox::Click() {
  if (FInSetValue) return;
  TFcCustomComboBox::Click();
  if (ItemIndex() >= 0) SetValue(GetItemValue(ItemIndex()));
}

void TFcComboBox::ValuesChanged() {
  FForceSetValue = true;
  SetValue(GetValue());
  FForceSetValue = false;
}

// ---- published properties ----

static const classes::TPublished<TFcCustomComboBox, TCustomComboBox> FcCustomComboBoxInfo([](auto& p) {
  using C = TFcCustomComboBox;
  p.Int("Color", &C::Color, &C::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&C::IsColorStored);
  p.Bool("ParentColor", &C::ParentColor, &C::SetParentColor).Default(false);
  p.Bool("TabStop", &C::TabStop, &C::SetTabStop).Default(true);
  p.String("Text", &C::Text, &C::SetText);
  p.Enum("Style", &C::Style, &C::SetStyle).Default(csDropDown);
  p.Object("Items", &C::Items, &C::SetItems);
  p.Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
  p.Int("ItemHeight", &C::ItemHeight, &C::SetItemHeight).Default(16);
  p.Int("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(8);
  p.Int("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
  p.Int("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
  p.Bool("Sorted", &C::Sorted, &C::SetSorted).Default(false);
  p.Bool("AutoComplete", &C::AutoComplete, &C::SetAutoComplete).Default(true);
  p.Bool("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).Default(false);
  p.Bool("AllowEdit", &C::AllowEdit, &C::SetAllowEdit).Default(true);
  p.Bool("BeepOnInvalidKey", &C::BeepOnInvalidKey, &C::SetBeepOnInvalidKey).Default(true);
  p.Bool("KeepSearchCase", &C::KeepSearchCase, &C::SetKeepSearchCase).Default(false);
  p.Bool("ShowFocus", &C::ShowFocus, &C::SetShowFocus).Default(true);
  p.String("TextHint", &C::TextHint, &C::SetTextHint);
  p.Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  p.Bool("TabOnEnter", &C::TabOnEnter, &C::SetTabOnEnter).Default(false);
  p.Int("ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor).Default(clInfoBk).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpReadOnlyColor>);
  p.Bool("ReadOnlyColorOnFocus", &C::ReadOnlyColorOnFocus, &C::SetReadOnlyColorOnFocus).Default(false)
      .Stored(&C::template IsStoredFor<fcpReadOnlyColorOnFocus>);
  p.Int("DisabledColor", &C::DisabledColor, &C::SetDisabledColor).Default(clBtnFace).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpDisabledColor>);
  p.Int("FocusColor", &C::FocusColor, &C::SetFocusColor).Idents(ColorIdents()).Stored(&C::IsFocusColorStored);
  p.Bool("FlatButtons", &C::FlatButtons, &C::SetFlatButtons).Default(false).Stored(&C::template IsStoredFor<fcpFlatButtons>);
  p.Int("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor).Default(clBtnFace).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpFlatButtonColor>);
  p.Int("FrameColor", &C::FrameColor, &C::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpFrameColor>);
  p.Int("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor).Default(clBtnShadow).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpFrameHotColor>);
  p.Bool("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack).Default(false)
      .Stored(&C::template IsStoredFor<fcpFrameHotTrack>);
  p.Enum("FrameHotStyle", &C::FrameHotStyle, &C::SetFrameHotStyle).Default(fsFlatBold)
      .Stored(&C::template IsStoredFor<fcpFrameHotStyle>);
  p.template Set<TSide>("FrameSides", &C::FrameSides, &C::SetFrameSides).Default(AllSides).Stored(&C::template IsStoredFor<fcpFrameSides>);
  p.Enum("FrameStyle", &C::FrameStyle, &C::SetFrameStyle).Default(fsFlat).Stored(&C::template IsStoredFor<fcpFrameStyle>);
  p.Bool("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false)
      .Stored(&C::template IsStoredFor<fcpFrameVisible>);
  p.Enum("FramingPreference", &C::FramingPreference, &C::SetFramingPreference).Default(fpXPThemes)
      .Stored(&C::template IsStoredFor<fcpFramingPreference>);
  p.Component("FrameController", &C::FrameController, &C::SetFrameController);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &C::FrameControllerNotifications, &C::SetFrameControllerNotifications)
      .Default(AllFrameControllerNotifications);
  p.Event("OnChange", &C::OnChange);
  p.Event("OnSelect", &C::OnSelect);
  p.Event("OnDropDown", &C::OnDropDown);
  p.Event("OnCloseUp", &C::OnCloseUp);
  p.Event("OnDrawItem", &C::OnDrawItem);
  p.Event("OnMeasureItem", &C::OnMeasureItem);
  p.Event("OnMatch", &C::OnMatch);
  p.Event("OnNotInList", &C::OnNotInList);
  p.Event("OnSelEndOk", &C::OnSelEndOk);
  p.Event("OnSelEndCancel", &C::OnSelEndCancel);
});
static const classes::TPublished<TFcComboBox, TFcCustomComboBox> FcComboBoxInfo([](auto& p) {
  p.Object("Values", &TFcComboBox::Values, &TFcComboBox::SetValues);
});
