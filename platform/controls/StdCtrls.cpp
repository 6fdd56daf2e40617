#include "platform/controls/StdCtrls.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/TypeInfo.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/Strings.h"

// ============================================================================================
// TCustomEdit
// ============================================================================================

const classes::TEnumInfo& EnumInfo(TEditCharCase) {
  static const classes::TEnumInfo info{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TScrollStyle) {
  static const classes::TEnumInfo info{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
  return info;
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(Left(), Top(), 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  TControl::SetAutoSize(true);
}

TCustomEdit::~TCustomEdit() = default;

LRESULT TCustomEdit::SendIfAllocated(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return HandleAllocated() ? SendMessage(FHandle, Msg, WParam, LParam) : 0;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  controls::RegisterEditClass();
  CreateSubClass(Params, controls::EditClassName);
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  else if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FPasswordChar) SendMessage(FHandle, EM_SETPASSWORDCHAR, static_cast<WPARAM>(FPasswordChar), 0);
  SendMessage(FHandle, EM_SETMODIFY, FModified ? 1 : 0, 0);
}

void TCustomEdit::DestroyWnd() {
  FModified = SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::UpdateStyle() {
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::Loaded() {
  TWinControl::Loaded();
  if (AutoSize()) AdjustHeight();
}

void TCustomEdit::SetAutoSize(bool Value) {
  if (Value == AutoSize()) return;
  TWinControl::SetAutoSize(Value);
  if (Value) AdjustHeight();
}

// The font's height and the border around it: 8 border heights with the sunken edge, 6 with
// a flat one.
int TCustomEdit::FittedHeight() {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, Font()->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  DeleteDC(dc);
  return tm.tmHeight + GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
}

bool TCustomEdit::CanAutoSize(int& NewWidth, int& NewHeight) {
  (void)NewWidth;
  if (FBorderStyle == bsSingle) NewHeight = FittedHeight();
  return true;
}

void TCustomEdit::AdjustHeight() {
  if (FBorderStyle != bsSingle || !AutoSize()) return;
  SetBounds(Left(), Top(), Width(), FittedHeight());
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  UpdateStyle();
  AdjustHeight();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (HandleAllocated()) {
    const std::string text = Text();
    RecreateWnd();
    HandleNeeded();
    if (Text() != text) Perform(CM_TEXTCHANGED, 0, 0);
  } else if (Value != ecNormal) {
    std::string converted;
    const std::string text = Text();
    for (size_t i = 0; i < text.size();)
      rtl::AppendUtf8(converted, Value == ecUpperCase ? rtl::UpperCodePoint(rtl::NextCodePoint(text, i))
                                                      : rtl::LowerCodePoint(rtl::NextCodePoint(text, i)));
    SetText(converted);
  }
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtr(FHandle, GWL_STYLE);
    style = Value ? (style & ~static_cast<LONG_PTR>(ES_NOHIDESEL)) : (style | ES_NOHIDESEL);
    SetWindowLongPtr(FHandle, GWL_STYLE, style);
    Invalidate();
  }
}

void TCustomEdit::SetMaxLength(int Value) {
  Value = std::max(Value, 0);
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  SendIfAllocated(EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  SendIfAllocated(EM_SETPASSWORDCHAR, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  SendIfAllocated(EM_SETREADONLY, Value ? 1 : 0, 0);
}

bool TCustomEdit::Modified() {
  if (!HandleAllocated()) return FModified;
  return SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  SendIfAllocated(EM_SETMODIFY, Value ? 1 : 0, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value) { SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), Value); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int Value) {
  const int start = SelStart();
  SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + Value);
}

std::string TCustomEdit::SelText() {
  const int start = SelStart(), length = SelLength();
  const std::string text = Text();
  const size_t a = rtl::ByteOffsetOfCodePoint(text, static_cast<size_t>(start));
  const size_t b = rtl::ByteOffsetOfCodePoint(text, static_cast<size_t>(start + length));
  return text.substr(a, b - a);
}

void TCustomEdit::SetSelText(const std::string& Value) {
  SendMessage(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(Value.c_str()));
}

int TCustomEdit::GetSelTextBuf(char* Buffer, int BufSize) {
  if (!Buffer || BufSize <= 0) return 0;
  const std::string text = SelText();
  size_t n = std::min<size_t>(text.size(), static_cast<size_t>(BufSize - 1));
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(Buffer, text.data(), n);
  Buffer[n] = '\0';
  return static_cast<int>(n);
}

bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessage(FHandle, EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::ClearSelection() { SendMessage(Handle(), WM_CLEAR, 0, 0); }
void TCustomEdit::ClearUndo() { SendIfAllocated(EM_EMPTYUNDOBUFFER, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessage(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessage(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessage(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::SelectAll() { SendMessage(Handle(), EM_SETSEL, 0, -1); }
void TCustomEdit::Undo() { SendIfAllocated(WM_UNDO, 0, 0); }

void TCustomEdit::Change() {
  if (!OnChange) return;
  TNotifyEvent handler = OnChange;  // the handler may free the edit, and its event with it
  handler(this);
}

void TCustomEdit::DoEnter() {
  TWinControl::DoEnter();
}

void TCustomEdit::CMEnter(TMessage& Message) {
  // Entered from the keyboard (not by a click): the whole text is selected.
  if (FAutoSelect && !ControlState().Contains(csLButtonDown) &&
      (GetWindowLongPtr(Handle(), GWL_STYLE) & ES_MULTILINE) == 0)
    SelectAll();
  TWinControl::CMEnter(Message);
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
  TWinControl::CMTextChanged(Message);
  // The window tells of its own changes (EN_CHANGE); without one the change is told here.
  if (!HandleAllocated()) Change();
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  if (AutoSize()) AdjustHeight();
}

void TCustomEdit::WMSetFont(TMessage& Message) { DefaultHandler(Message); }

void TCustomEdit::CNCommand(TMessage& Message) {
  if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
}

void TCustomEdit::CNCtlColor(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  Message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: CNCtlColor(Message); return;
  }
  TWinControl::Dispatch(Message);
}

static const classes::TPublished<TCustomEdit, TWinControl> CustomEditInfo([](classes::TPublisher<TCustomEdit>& p) {
  p.Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  p.Bool("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(true);
  p.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  p.Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  p.Bool("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
  p.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  p.Bool("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert).Default(false);
  p.Char("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
  p.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
  p.String("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
  p.Event("OnChange", &TCustomEdit::OnChange);
});
static const classes::TPublished<TEdit, TCustomEdit> EditInfo([](classes::TPublisher<TEdit>&) {});

// ============================================================================================
// TCustomMemo and its lines
// ============================================================================================

namespace controls {

std::vector<std::string> TMemoStrings::Split() const {
  std::vector<std::string> lines;
  const std::string text = FMemo->Text();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

void TMemoStrings::Join(const std::vector<std::string>& Lines) {
  std::string text;
  for (size_t i = 0; i < Lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += Lines[i];
  }
  FMemo->SetText(text);
}

std::string TMemoStrings::Get(int Index) const {
  const std::vector<std::string> lines = Split();
  if (Index < 0 || Index >= static_cast<int>(lines.size())) IndexError(Index);
  return lines[static_cast<size_t>(Index)];
}

int TMemoStrings::GetCount() const { return static_cast<int>(Split().size()); }

void TMemoStrings::Put(int Index, const std::string& S) {
  std::vector<std::string> lines = Split();
  if (Index < 0 || Index >= static_cast<int>(lines.size())) IndexError(Index);
  lines[static_cast<size_t>(Index)] = S;
  Join(lines);
}

void TMemoStrings::Insert(int Index, const std::string& S) {
  std::vector<std::string> lines = Split();
  if (Index < 0 || Index > static_cast<int>(lines.size())) IndexError(Index);
  lines.insert(lines.begin() + Index, S);
  Join(lines);
}

void TMemoStrings::Delete(int Index) {
  std::vector<std::string> lines = Split();
  if (Index < 0 || Index >= static_cast<int>(lines.size())) IndexError(Index);
  lines.erase(lines.begin() + Index);
  Join(lines);
}

void TMemoStrings::Clear() { FMemo->SetText(""); }

std::string TMemoStrings::Text() const { return FMemo->Text(); }

void TMemoStrings::SetText(const std::string& Value) { FMemo->SetText(Value); }

void TMemoStrings::SetUpdateState(bool Updating) {
  FUpdating = Updating;
  if (FMemo->HandleAllocated()) {
    SendMessage(FMemo->Handle(), WM_SETREDRAW, Updating ? 0 : 1, 0);
    if (!Updating) FMemo->Invalidate();
  }
}

}  // namespace controls

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<controls::TMemoStrings>(this)) {
  TControlStyle style = ControlStyle();
  style.Exclude(csFixedHeight);
  SetControlStyle(style);
  TCustomEdit::SetAutoSize(false);
  SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE;
  if (FWordWrap) Params.Style &= ~ES_AUTOHSCROLL;
  switch (FAlignment) {
    case taRightJustify: Params.Style |= ES_RIGHT; break;
    case taCenter: Params.Style |= ES_CENTER; break;
    default: break;
  }
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomMemo::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  UpdateStyle();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  UpdateStyle();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  UpdateStyle();
}

TPoint TCustomMemo::CaretPos() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int line = static_cast<int>(SendMessage(Handle(), EM_LINEFROMCHAR, end, 0));
  const int first = static_cast<int>(SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  return {static_cast<int>(end) - first, line};
}

void TCustomMemo::SetCaretPos(TPoint Value) {
  const LRESULT first = SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(Value.Y), 0);
  if (first < 0) return;
  const LRESULT index = first + Value.X;
  SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(index), index);
}

void TCustomMemo::KeyPress(char32_t& Key) {
  TCustomEdit::KeyPress(Key);
  if ((Key == U'\r' && !FWantReturns) || (Key == U'\t' && !FWantTabs)) Key = 0;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(Message);
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
    else Message.Result &= ~DLGC_WANTTAB;
    if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  TCustomEdit::Dispatch(Message);
}

void TCustomMemo::WMMouseWheel(TMessage& Message) {
  TCustomEdit::WMMouseWheel(Message);
  // Unless a handler took it, the wheel scrolls the lines.
  if (Message.Result == 0) {
    DefaultHandler(Message);
    Message.Result = 1;
  }
}

static const classes::TPublished<TCustomMemo, TCustomEdit> CustomMemoInfo([](classes::TPublisher<TCustomMemo>& p) {
  p.Enum("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
  p.Object("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  p.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
  p.Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
  p.Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
  p.Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
});
static const classes::TPublished<TMemo, TCustomMemo> MemoInfo([](classes::TPublisher<TMemo>&) {});
