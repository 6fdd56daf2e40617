// The drop-down pop-ups of the editors: the size grip, the month calendar, the item list and
// the list of recently used texts, and where a drop-down opens against the work area.
#include "grid/base/ToolCtrlsGd.h"
#include "platform/os/SystemMetrics.h"

// ---- size grip ----

TSizeGripGd::TSizeGripGd(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL));
  SetColor(clBtnFace);
}

void TSizeGripGd::SetCorner(TSizeGripCorner Value) { FCorner = Value; }
void TSizeGripGd::SetTriangleShaped(bool Value) { FTriangleShaped = Value; }
void TSizeGripGd::MoveToCorner() {}
void TSizeGripGd::MoveToSide(TSizeGripSide) {}
void TSizeGripGd::ShowGrip(bool) {}
void TSizeGripGd::CreateWnd() { TCustomControl::CreateWnd(); }
void TSizeGripGd::Paint() {}
void TSizeGripGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
}
void TSizeGripGd::MouseMove(TShiftState Shift, int X, int Y) { TCustomControl::MouseMove(Shift, X, Y); }
void TSizeGripGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
}
void TSizeGripGd::WndProc(TMessage& Message) { TCustomControl::WndProc(Message); }
void TSizeGripGd::UpdateRegion() {}

// ---- month calendar ----

TPopupMonthCalendarGd::TPopupMonthCalendarGd(TComponent* AOwner) : TMonthCalendar(AOwner) {}
int TPopupMonthCalendarGd::BorderWidth() const { return 2; }
bool TPopupMonthCalendarGd::HitAccepts(UINT HitCode) {
  return (HitCode & 0x20001) != 0 && HitCode != MCHT_CALENDARDAY && HitCode != MCHT_TITLEBTNPREV &&
         HitCode != MCHT_TITLEBTNNEXT;
}
void TPopupMonthCalendarGd::Dispatch(TMessage& Message) { TMonthCalendar::Dispatch(Message); }
void TPopupMonthCalendarGd::CreateParams(TCreateParams& Params) { TMonthCalendar::CreateParams(Params); }
bool TPopupMonthCalendarGd::MsgSetDateTime(const SYSTEMTIME& Value) {
  TMonthCalendar::MsgSetDateTime(Value);
  return true;
}
void TPopupMonthCalendarGd::KeyDown(WORD& Key, TShiftState Shift) { TMonthCalendar::KeyDown(Key, Shift); }
void TPopupMonthCalendarGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TMonthCalendar::MouseDown(Button, Shift, X, Y);
}
void TPopupMonthCalendarGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TMonthCalendar::MouseUp(Button, Shift, X, Y);
}
void TPopupMonthCalendarGd::PostCloseUp(bool) {}

// ---- pop-up list ----

TPopupListboxGd::TPopupListboxGd(TComponent* AOwner) : TCustomListBox(AOwner) {}
TPopupListboxGd::~TPopupListboxGd() = default;
void TPopupListboxGd::SetImageList(TCustomImageList* Value) { FImageList = Value; }
void TPopupListboxGd::SetSourceItems(TStrings* Value) { FSourceItems = Value; }
void TPopupListboxGd::FitRowsHeight(int Rows) { SetHeight(std::max(Rows, 1) * ItemHeight() + ListBorderHeight(this)); }
int TPopupListboxGd::GetFontTextHeight(TControl*) { return 0; }
void TPopupListboxGd::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
}
void TPopupListboxGd::Dispatch(TMessage& Message) { TCustomListBox::Dispatch(Message); }
void TPopupListboxGd::CreateParams(TCreateParams& Params) { TCustomListBox::CreateParams(Params); }
void TPopupListboxGd::CreateWnd() { TCustomListBox::CreateWnd(); }
void TPopupListboxGd::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  TCustomListBox::DrawItem(Index, Rect, State);
}
std::string TPopupListboxGd::DoGetData(int Index) { return SupplyItemText(Index); }
void TPopupListboxGd::PaintNonClientBorder() {}
std::string TPopupListboxGd::SupplyItemText(int Index) {
  return FSourceItems != nullptr ? FSourceItems->Strings(Index) : TCustomListBox::DoGetData(Index);
}
void TPopupListboxGd::KeyPress(char32_t& Key) { TCustomListBox::KeyPress(Key); }
void TPopupListboxGd::MouseMove(TShiftState Shift, int X, int Y) { TCustomListBox::MouseMove(Shift, X, Y); }
void TPopupListboxGd::WMMouseWheel(TMessage& Message) { TCustomListBox::WMMouseWheel(Message); }

TMRUListboxGd::TMRUListboxGd(TComponent* AOwner) : TPopupListboxGd(AOwner) {}
void TMRUListboxGd::UpdateScrollBar() {}
void TMRUListboxGd::Dispatch(TMessage& Message) { TPopupListboxGd::Dispatch(Message); }
void TMRUListboxGd::CreateParams(TCreateParams& Params) { TPopupListboxGd::CreateParams(Params); }

// ---- placement ----

void PlaceDropDownNearRect(const TRect& HostRect, TWinControl* DropDown, TDropDownAlign, TPoint& TopLeft) {
  (void)DropDown;
  TopLeft = TPoint(HostRect.Left, HostRect.Bottom);
}

void PlaceDropDownNearControl(TControl* Control, TWinControl* DropDown, TDropDownAlign Align, TPoint& TopLeft) {
  (void)Control;
  PlaceDropDownNearRect(TRect{}, DropDown, Align, TopLeft);
}

int ListBorderHeight(TWinControl*) { return 4; }
