#include "platform/controls/Mask.h"

#include "platform/classes/TypeInfo.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "platform/rtl/Strings.h"

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

std::string TCustomMaskEdit::GetText() {
  if (!IsMasked()) return TCustomEdit::GetText();
  return FModel.Text();
}

std::string TCustomMaskEdit::EditText() {
  if (!IsMasked()) return TCustomEdit::GetText();
  return FModel.EditText();
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
  if (IsMasked()) FModel.SetEditText(Value);
  const std::string shown = IsMasked() ? FModel.EditText() : Value;
  if (TCustomEdit::GetText() == shown) return;
  FRaw = true;
  try {
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
  } catch (...) {
    FRaw = false;
    throw;
  }
  FRaw = false;
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
  if (Value == FModel.EditMask()) return;
  // An unmasked model does not follow the typing: take the text first.
  if (!IsMasked()) FModel.SetText(TCustomEdit::GetText());
  FModel.SetEditMask(Value);
  TCustomEdit::SetMaxLength(IsMasked() ? FModel.MaskLength() : FOwnMaxLength);
  SetEditText(FModel.EditText());
}

void TCustomMaskEdit::SetMaxLength(int Value) {
  FOwnMaxLength = std::max(Value, 0);
  if (!IsMasked()) TCustomEdit::SetMaxLength(FOwnMaxLength);
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked() || !Modified()) return;
  int pos = 0;
  if (FModel.Validate(pos)) return;
  if (HandleAllocated() && !Focused() && CanFocus()) SetFocus();
  if (HandleAllocated()) SetCaret(pos);
  ValidateError();
}

void TCustomMaskEdit::ValidateError() {
  MessageBeep(0);
  throw EDBEditError(SMaskEditErr);
}

void TCustomMaskEdit::Reset() {
  if (!Modified()) return;
  SetEditText(FOldValue);
  SetModified(false);
}

void TCustomMaskEdit::Selection(int& Start, int& Length) {
  DWORD a = 0, b = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  Start = static_cast<int>(a);
  Length = static_cast<int>(b - a);
}

void TCustomMaskEdit::SetCaret(int Pos) { SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Pos), Pos); }

void TCustomMaskEdit::CheckCursor() {
  if (!IsMasked() || !HandleAllocated()) return;
  int start = 0, length = 0;
  Selection(start, length);
  if (length == 0) {
    const int snapped = FModel.SnapCaret(start);
    if (snapped != start) SetCaret(snapped);
  }
}

bool TCustomMaskEdit::CanChange() {
  if (ReadOnly()) {
    MessageBeep(0);
    return false;
  }
  return EditCanModify();
}

void TCustomMaskEdit::ApplyModel(int Caret) {
  const std::string shown = FModel.EditText();
  if (TCustomEdit::GetText() != shown) {
    // Replacing the whole text keeps it one undoable change and marks the edit modified.
    SendMessage(Handle(), EM_SETSEL, 0, -1);
    TMessage m{EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(shown.c_str()), 0};
    DefaultHandler(m);
  }
  SetCaret(Caret);
}

void TCustomMaskEdit::TypeText(const std::string& Text) {
  int start = 0, length = 0;
  Selection(start, length);
  int caret = start;
  bool any = false;
  for (size_t i = 0; i < Text.size();) {
    const char32_t c = rtl::NextCodePoint(Text, i);
    if (c == U'\r' || c == U'\n') break;
    TMaskInputResult r = any ? FModel.InputChar(caret, c) : FModel.InputChar(start, length, c);
    if (!r.Accepted) {
      if (!any) MessageBeep(0);
      break;
    }
    caret = r.Caret;
    any = true;
  }
  if (any) ApplyModel(caret);
}

void TCustomMaskEdit::DeleteKey(bool Backward) {
  if (!CanChange()) return;
  int start = 0, length = 0;
  Selection(start, length);
  if (length > 0) {
    ApplyModel(FModel.DeleteSelection(start, length));
    return;
  }
  TMaskInputResult r = Backward ? FModel.Backspace(start) : FModel.Delete(start);
  if (r.Accepted) ApplyModel(r.Caret);
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0) return;
  const bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
  int start = 0, length = 0;
  switch (Key) {
    case VK_DELETE:
      if (shift) return;  // cut, through WM_CUT
      DeleteKey(false);
      Key = 0;
      return;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_HOME:
    case VK_END: {
      if (shift || ctrl) return;
      Selection(start, length);
      int caret = start;
      if (Key == VK_HOME) caret = FModel.CaretHome();
      else if (Key == VK_END) caret = FModel.CaretEnd();
      else if (Key == VK_LEFT || Key == VK_UP) caret = length > 0 ? start : FModel.CaretLeft(start);
      else caret = length > 0 ? FModel.SnapCaret(start + length) : FModel.CaretRight(start);
      SetCaret(caret);
      Key = 0;
      return;
    }
  }
}

void TCustomMaskEdit::KeyPress(char32_t& Key) {
  TCustomEdit::KeyPress(Key);
  if (!IsMasked() || Key == 0) return;
  switch (Key) {
    case 1:   // Ctrl+A
    case 3:   // Ctrl+C
    case 22:  // Ctrl+V
    case 24:  // Ctrl+X
    case 26:  // Ctrl+Z
      return;  // the window sends itself the clipboard messages, handled below
    case 27:
      Reset();
      Key = 0;
      return;
    case 8:
      DeleteKey(true);
      Key = 0;
      return;
  }
  if (Key >= 32 && CanChange()) {
    std::string one;
    rtl::AppendUtf8(one, Key);
    TypeText(one);
  }
  Key = 0;
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
  if (!IsMasked()) {
    TCustomEdit::Dispatch(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_SETTEXT:
      if (!FRaw) {
        // A value for the mask: the window shows it merged into the literals.
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        FModel.SetText(text ? text : "");
        const std::string shown = FModel.EditText();
        TMessage m{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()), 0};
        TCustomEdit::Dispatch(m);
        Message.Result = m.Result;
        return;
      }
      break;
    case WM_PASTE: {
      if (!CanChange()) return;
      TypeText(controls::ClipboardText(Handle()));
      return;
    }
    case WM_CUT:
      if (PasswordChar() == 0) SendMessage(Handle(), WM_COPY, 0, 0);
      [[fallthrough]];
    case WM_CLEAR: {
      int start = 0, length = 0;
      Selection(start, length);
      if (length > 0 && CanChange()) ApplyModel(FModel.DeleteSelection(start, length));
      return;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(Message.LParam);
      int start = 0, length = 0;
      Selection(start, length);
      if (length > 0) FModel.DeleteSelection(start, length);
      SetCaret(start);
      TypeText(text ? text : "");
      return;
    }
    case WM_UNDO:
    case EM_UNDO:
      if (!CanChange()) return;
      TCustomEdit::Dispatch(Message);
      FModel.SetEditText(TCustomEdit::GetText());
      CheckCursor();
      return;
    case WM_LBUTTONUP:
      TCustomEdit::Dispatch(Message);
      CheckCursor();
      return;
  }
  TCustomEdit::Dispatch(Message);
}

void TCustomMaskEdit::CMEnter(TMessage& Message) {
  if (IsMasked() && !ReadOnly()) FOldValue = EditText();
  TCustomEdit::CMEnter(Message);
  CheckCursor();
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
  ValidateEdit();
  CheckCursor();
  TCustomEdit::CMExit(Message);
}

static const classes::TPublished<TCustomMaskEdit, TCustomEdit> CustomMaskEditInfo(
    [](classes::TPublisher<TCustomMaskEdit>& p) {
      p.String("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
      p.String("Text", &TCustomMaskEdit::Text, &TCustomMaskEdit::SetText);
    });
static const classes::TPublished<TMaskEdit, TCustomMaskEdit> MaskEditInfo([](classes::TPublisher<TMaskEdit>&) {});
