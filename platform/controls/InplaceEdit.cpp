#include "platform/controls/Grids.h"

#include <algorithm>

#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/WindowPos.h"

// -- the in-place editor --

bool TCustomGrid::CanEditShow() {
  return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode && !HasState(csDesigning) &&
         HandleAllocated() && (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

bool TCustomGrid::CanEditModify() { return FCanEditModify; }
bool TCustomGrid::CanEditAcceptKey(char32_t) { return true; }
bool TCustomGrid::CanGridAcceptKey(WORD, TShiftState) { return true; }
std::string TCustomGrid::GetEditText(int, int) { return {}; }
void TCustomGrid::SetEditText(int, int, const std::string&) {}
int TCustomGrid::GetEditLimit() { return 0; }
std::string TCustomGrid::GetEditMask(int, int) { return {}; }

void TCustomGrid::SetEditorMode(bool Value) {
  if (!Value) {
    HideEditor();
  } else {
    ShowEditor();
    if (FInplaceEdit) FInplaceEdit->Deselect();
  }
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  HideEdit();
}

void TCustomGrid::InvalidateEditor() {
  FInplaceCol = -1;
  FInplaceRow = -1;
  UpdateEdit();
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::ShowEditorChar(char32_t Ch) {
  ShowEditor();
  if (HWND h = InplaceWindow(); h && IsWindowVisible(h)) PostMessage(h, WM_CHAR, static_cast<WPARAM>(Ch), 0);
}

void TCustomGrid::UpdateEdit() {
  if (!CanEditShow()) return;
  auto load = [this] {
    // Changes the editor makes while it loads are not the user's: the cell is not told.
    FInplaceCol = FInplaceRow = -1;
    FInplaceEdit->UpdateContents();
    FInplaceCol = FCurrent.X;
    FInplaceRow = FCurrent.Y;
    FCanEditModify = GetEditLimit() >= 0;
    FInplaceEdit->SelectAll();
  };
  if (!FInplaceEdit) {
    FInplaceEdit = CreateEditor();
    if (!FInplaceEdit) return;
    FInplaceEdit->SetGrid(this);
    FInplaceEdit->SetParent(this);
    load();
  } else if (FCurrent.X != FInplaceCol || FCurrent.Y != FInplaceRow) {
    HideEdit();
    load();
  }
  if (CanEditShow()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::UpdateText() {
  if (FInplaceEdit && FInplaceCol >= 0 && FInplaceRow >= 0) SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
  if (!FInplaceEdit) return;
  struct TForget {
    TCustomGrid* Grid;
    ~TForget() {
      Grid->FInplaceCol = Grid->FInplaceRow = -1;
      Grid->FInplaceEdit->Hide();
    }
  } forget{this};
  UpdateText();
}

HWND TCustomGrid::InplaceWindow() const {
  return FInplaceEdit && FInplaceEdit->HandleAllocated() ? FInplaceEdit->Handle() : nullptr;
}

bool TCustomGrid::IsActiveControl() {
  if (TCustomForm* form = GetParentForm(this)) return form->ActiveControl() == this;
  if (!HandleAllocated()) return false;
  for (HWND h = GetFocus(); h; h = GetParent(h))
    if (h == Handle()) return true;
  return false;
}

// ---- TInplaceEdit ----

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetAutoSelect(false);
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  Params.Style &= ~WS_VISIBLE;
}

void TInplaceEdit::CMShowingChanged(TMessage&) {}

void TInplaceEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS) {
    // The grid stays its form's active control while its editor has the focus.
    TCustomForm* form = GetParentForm(this);
    if (!form || !FGrid || form->SetFocusedControl(FGrid)) Dispatch(Message);
    return;
  }
  TCustomMaskEdit::WndProc(Message);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TCustomMaskEdit::Dispatch(Message);
      Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (FGrid && FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!EditCanModify()) return;
      break;
  }
  TCustomMaskEdit::Dispatch(Message);
}

bool TInplaceEdit::EditCanModify() { return FGrid && FGrid->CanEditModify(); }

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (!FGrid) {
    TCustomMaskEdit::KeyDown(Key, Shift);
    return;
  }
  auto sendToGrid = [&] {
    FGrid->KeyDown(Key, Shift);
    Key = 0;
  };
  // With the editor always shown, Left and Right leave the cell at the ends of the text.
  const bool forward = FGrid->Options().Contains(goAlwaysShowEditor);
  const int start = SelStart(), stop = SelStart() + SelLength(), length = GetTextLen();
  const bool leftSide = start == 0 && (stop == 0 || stop == length);
  const bool rightSide = (start == 0 || stop == start) && stop == length;
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: sendToGrid(); break;
    case VK_ESCAPE:
      if (Text() != FLoadedText) SetText(FLoadedText);
      sendToGrid();
      break;
    case VK_INSERT:
      if (Shift.Empty()) sendToGrid();
      else if (Shift == TShiftState{ssShift} && !FGrid->CanEditModify()) Key = 0;
      break;
    case VK_LEFT:
    case VK_HOME:
      if (Shift.Contains(ssCtrl) || (forward && leftSide)) sendToGrid();
      break;
    case VK_RIGHT:
    case VK_END:
      if (Shift.Contains(ssCtrl) || (forward && rightSide)) sendToGrid();
      break;
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) sendToGrid();
      break;
    case VK_DELETE:
      if (Shift.Contains(ssCtrl)) sendToGrid();
      else if (!FGrid->CanEditModify()) Key = 0;
      break;
  }
  if (Key == 0) return;
  if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
  if (Key != 0) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
  if (!FGrid) {
    TCustomMaskEdit::KeyPress(Key);
    return;
  }
  FGrid->KeyPress(Key);
  if (Key >= 32 && !FGrid->CanEditAcceptKey(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  switch (Key) {
    case U'\t':
    case 27: Key = 0; break;
    case U'\r':
      SelectAll();
      Key = 0;
      break;
    default:
      if ((Key == U'\b' || Key == 22 || Key == 24 || Key >= 32) && !FGrid->CanEditModify()) Key = 0;
      break;
  }
  if (Key != 0) TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
  if (FGrid) FGrid->KeyUp(Key, Shift);
  else TCustomMaskEdit::KeyUp(Key, Shift);
}

void TInplaceEdit::DblClick() {
  if (FGrid) FGrid->DblClick();
}

bool TInplaceEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
}

bool TInplaceEdit::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  return FGrid && FGrid->DoMouseWheel(Shift, -WHEEL_DELTA, MousePos);
}

bool TInplaceEdit::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  return FGrid && FGrid->DoMouseWheel(Shift, WHEEL_DELTA, MousePos);
}

void TInplaceEdit::Deselect() {
  if (HandleAllocated()) SendMessage(Handle(), EM_SETSEL, 0x7FFFFFFF, -1);
}

void TInplaceEdit::Hide() {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  Invalidate();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
  if (Focused() && FGrid) ::SetFocus(FGrid->Handle());
}

void TInplaceEdit::Invalidate() {
  if (!HandleAllocated()) return;
  ::InvalidateRect(Handle(), nullptr, TRUE);
  if (!FGrid || !FGrid->HandleAllocated()) return;
  TRect r;
  GetClientRect(Handle(), &r);
  MapWindowPoints(Handle(), FGrid->Handle(), &r);
  ::InvalidateRect(FGrid->Handle(), &r, FALSE);
}

void TInplaceEdit::InternalMove(const TRect& Loc, bool Redraw) {
  if (Loc.IsEmpty()) {
    Hide();
    return;
  }
  HandleNeeded();
  Redraw = Redraw || !IsWindowVisible(Handle());
  Invalidate();
  SetWindowPos(Handle(), HWND_TOP, Loc.Left, Loc.Top, Loc.Width(), Loc.Height(),
               SWP_SHOWWINDOW | SWP_NOREDRAW | SWP_NOACTIVATE);
  BoundsChanged();
  if (Redraw) Invalidate();
  if (FGrid && FGrid->Focused()) ::SetFocus(Handle());
}

void TInplaceEdit::BoundsChanged() {
  TRect r{2, 2, Width() - 2, Height()};
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

void TInplaceEdit::Move(const TRect& Loc) { InternalMove(Loc, true); }
void TInplaceEdit::UpdateLoc(const TRect& Loc) { InternalMove(Loc, false); }

bool TInplaceEdit::PosEqual(const TRect& Rect) {
  if (!HandleAllocated() || !FGrid) return false;
  TRect r;
  GetWindowRect(Handle(), &r);
  MapWindowPoints(nullptr, FGrid->Handle(), &r);
  return r == Rect;
}

void TInplaceEdit::SetFocus() {
  if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
}

bool TInplaceEdit::Visible() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  SetText("");
  SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
  SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
  SetMaxLength(std::max(0, FGrid->GetEditLimit()));
  FLoadedText = Text();
}
