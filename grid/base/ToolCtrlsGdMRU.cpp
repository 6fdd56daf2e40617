// The list of recently used texts of an edit or a grid column, and its drop-down list with a
// scroll bar of its own.
#include "grid/base/ToolCtrlsGd.h"
#include "platform/classes/TypeInfo.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/SystemMetrics.h"
#include "platform/rtl/Strings.h"

// ---- the drop-down list ----

TMRUListboxGd::TMRUListboxGd(TComponent* AOwner) : TPopupListboxGd(AOwner) {
  FScrollBar = new TScrollBar(this);
  TControlStyle style = FScrollBar->ControlStyle();
  style.Include(csReplicatable);
  FScrollBar->SetControlStyle(style);
  FScrollBar->SetKind(sbVertical);
  FScrollBar->SetTabStop(false);
  FScrollBar->SetVisible(false);
  FScrollBar->SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 40);
  FScrollBar->SetParent(this);
}

void TMRUListboxGd::CreateParams(TCreateParams& Params) {
  TPopupListboxGd::CreateParams(Params);
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TMRUListboxGd::CreateWnd() {
  TPopupListboxGd::CreateWnd();
  UpdateScrollBar();
}

void TMRUListboxGd::ItemsChanged() {
  TPopupListboxGd::ItemsChanged();
  UpdateScrollBar();
}

void TMRUListboxGd::UpdateScrollBar() {
  if (FScrollBarLocked || !HandleAllocated()) return;
  FScrollBarLocked = true;
  const int cw = ClientWidth(), ch = ClientHeight();
  const int barWidth = FScrollBar->Width();
  const TSizeGripGd* grip = SizeGrip();
  TRect place{cw - barWidth, 0, cw, ch};
  const bool gripRight = grip->Corner() == sgcBottomRight || grip->Corner() == sgcTopRight;
  if (grip->Corner() == sgcBottomRight) place.Bottom = ch - grip->Height();
  if (grip->Corner() == sgcTopRight) place.Top = grip->Height();
  FScrollBar->SetBounds(place.Left, place.Top, place.Width(), std::max(place.Height(), 0));
  const int count = IsVirtual() ? Count() : Items()->Count();
  const int rows = ch / std::max(ItemHeight(), 1);
  FScrollBar->SetPageSize(0);
  if (count > 0 && rows < count) {
    FScrollBar->SetParams(TopIndex(), 0, count - 1);
    FScrollBar->SetPageSize(rows);
    FScrollBar->SetVisible(true);
    SizeGrip()->SetTriangleShaped(!gripRight);
  } else {
    FScrollBar->SetVisible(false);
    SizeGrip()->SetTriangleShaped(true);
  }
  FScrollBarLocked = false;
}

void TMRUListboxGd::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_VSCROLL:
      if (Message.LParam != 0 && FScrollBar->HandleAllocated() &&
          reinterpret_cast<HWND>(Message.LParam) == FScrollBar->Handle()) {
        // The bar's own notification: the bar moves, and the list scrolls with it.
        TPopupListboxGd::Dispatch(Message);
        FScrollBarLocked = true;
        SetTopIndex(FScrollBar->Position());
        FScrollBarLocked = false;
        return;
      }
      break;
    case WM_SIZE:
    case CM_SIZEGRIPSIDE_GD:
    case WM_MOUSEWHEEL:
      TPopupListboxGd::Dispatch(Message);
      UpdateScrollBar();
      return;
    default: break;
  }
  TPopupListboxGd::Dispatch(Message);
}

TMRUListGd::TMRUListGd(TPersistent* Owner) : FOwner(Owner), FItems(std::make_unique<TStringList>()) {}

TMRUListGd::~TMRUListGd() = default;

void TMRUListGd::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (OnActiveChange) OnActiveChange(this);
}

void TMRUListGd::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TMRUListGd::SetLimit(int Value) {
  FLimit = std::max(Value, 0);
  Trim();
}

void TMRUListGd::Trim() {
  while (FItems->Count() > FLimit) FItems->Delete(0);
}

void TMRUListGd::RememberText(const std::string& Text) {
  if (::Trim(Text).empty()) return;
  for (int i = 0; i < FItems->Count(); ++i) {
    const std::string& item = FItems->Strings(i);
    const bool same = FCaseSensitive ? item == Text : AnsiSameText(item, Text);
    if (same) {
      FItems->Move(i, FItems->Count() - 1);
      return;
    }
  }
  FItems->Add(Text);
  Trim();
}

namespace {

// True when S begins with the characters of Prefix.
bool StartsWithText(const std::string& S, const std::string& Prefix, bool CaseSensitive) {
  const std::string head = S.substr(0, rtl::ByteOffsetOfCodePoint(S, static_cast<size_t>(Length(Prefix))));
  return CaseSensitive ? AnsiCompareStr(head, Prefix) == 0 : AnsiCompareText(head, Prefix) == 0;
}

// A key-down message waits in the thread's queue (it is left there).
bool KeyDownPending() {
  MSG msg{};
  return PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) != FALSE;
}

}  // namespace

bool TMRUListGd::CollectMatches(TStrings* Target, const std::string& Text) {
  Target->BeginUpdate();
  try {
    Target->Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
      const std::string item = FItems->Strings(i);
      bool accept = StartsWithText(item, Text, FCaseSensitive);
      if (OnItemFilter) OnItemFilter(this, accept);
      if (accept) Target->Add(item);
      if (i % 100 == 0 && FStopOnPendingKey && KeyDownPending()) {
        Target->EndUpdate();
        return false;
      }
    }
  } catch (...) {
    Target->EndUpdate();
    throw;
  }
  Target->EndUpdate();
  return true;
}

void TMRUListGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TMRUListGd*>(Source);
  if (other == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  SetActive(other->FActive);
  FItems->Assign(other->FItems.get());
  SetLimit(other->FLimit);
  FRows = other->FRows;
  FCaseSensitive = other->FCaseSensitive;
}

void TMRUListGd::CloseUp(bool Accept) {
  if (OnSetCloseUp) OnSetCloseUp(this, Accept);
}

void TMRUListGd::DropDown() {
  if (OnSetDropDown) OnSetDropDown(this);
}

static const classes::TPublished<TMRUListGd, TPersistent> MRUListGdInfo([](auto& p) {
  using M = TMRUListGd;
  p.Bool("AutoAdd", &M::AutoAdd, &M::SetAutoAdd).Default(true);
  p.Bool("Active", &M::Active, &M::SetActive).Default(false);
  p.Bool("CaseSensitive", &M::CaseSensitive, &M::SetCaseSensitive).Default(false);
  p.Object("Items", &M::Items, &M::SetItems);
  p.Int("Limit", &M::Limit, &M::SetLimit).Default(100);
  p.Int("Rows", &M::Rows, &M::SetRows).Default(7);
});
