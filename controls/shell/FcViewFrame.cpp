#include "controls/shell/FcViewFrame.h"

#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/os/Painting.h"
#include "platform/os/WindowDC.h"
#include "platform/os/Themes.h"

template <class Base>
TFcFramedView<Base>::TFcFramedView(TComponent* AOwner)
    : Base(AOwner), FFrameCanvas(std::make_unique<TControlCanvas>()) {
  FFrameCanvas->SetControl(this);
  this->SetTabStop(true);
  this->SetParentColor(false);
}

template <class Base>
TFcFramedView<Base>::~TFcFramedView() {
  if (FFrameController) FFrameController->UnregisterControl(this);
}

// ---- colours ----

template <class Base>
void TFcFramedView<Base>::UpdateColors() {
  if (this->HasState(csLoading)) return;
  FUpdatingColor = true;
  try {
    if (!this->Enabled()) this->SetColor(FDisabledColor);
    else if (FFocused) this->SetColor(FFocusColor);
    else this->SetColor(FNormalColor);
  } catch (...) {
    FUpdatingColor = false;
    throw;
  }
  FUpdatingColor = false;
}

template <class Base>
void TFcFramedView<Base>::TakeNormalColor() {
  if (FUpdatingColor) return;
  if (FFocusColor == FNormalColor) FFocusColor = this->Color();
  FNormalColor = this->Color();
}

template <class Base>
void TFcFramedView<Base>::CMColorChanged(TMessage& Message) {
  Base::CMColorChanged(Message);
  TakeNormalColor();
  if (FFrameVisible && !ThemedLook()) RepaintFrame();
}

template <class Base>
void TFcFramedView<Base>::CMEnabledChanged(TMessage& Message) {
  Base::CMEnabledChanged(Message);
  UpdateColors();
}

template <class Base>
void TFcFramedView<Base>::CMSysColorChange(TMessage& Message) {
  Base::CMSysColorChange(Message);
  if (IsSystemColor(this->Color())) this->Perform(CM_COLORCHANGED, Message.WParam, Message.LParam);
}

template <class Base>
void TFcFramedView<Base>::SetDisabledColor(TColor Value) {
  FDisabledColor = Value;
  if (!this->Enabled()) UpdateColors();
}

template <class Base>
void TFcFramedView<Base>::SetFocusColor(TColor Value) {
  FFocusColor = Value;
  if (FFocused) UpdateColors();
}

// ---- the frame ----

template <class Base>
void TFcFramedView<Base>::SetFrameColor(TColor Value) { StoreAndRepaint(FFrameColor, Value); }
template <class Base>
void TFcFramedView<Base>::SetFrameHotColor(TColor Value) { StoreAndRepaint(FFrameHotColor, Value); }
template <class Base>
void TFcFramedView<Base>::SetFrameHotStyle(TFrameStyle Value) { StoreAndRepaint(FFrameHotStyle, Value); }
template <class Base>
void TFcFramedView<Base>::SetFrameSides(TSides Value) { StoreAndRepaint(FFrameSides, Value); }
template <class Base>
void TFcFramedView<Base>::SetFrameStyle(TFrameStyle Value) { StoreAndRepaint(FFrameStyle, Value); }

template <class Base>
void TFcFramedView<Base>::SetFrameHotTrack(bool Value) {
  if (FFrameHotTrack == Value) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    // Streamed sides stay: the window definition may name them after FrameHotTrack.
    if (!this->HasState(csLoading)) FFrameSides = AllSides;
  }
  RepaintFrame();
  this->Invalidate();
}

template <class Base>
void TFcFramedView<Base>::SetFrameVisible(bool Value) {
  if (FFrameVisible == Value) return;
  FFrameVisible = Value;
  FrameVisibleChanged();
}

template <class Base>
void TFcFramedView<Base>::FrameVisibleChanged() {
  if (this->HandleAllocated()) this->RecreateWnd();
}

template <class Base>
void TFcFramedView<Base>::SetFramingPreference(TFramingPreference Value) {
  if (FFramingPreference == Value) return;
  FFramingPreference = Value;
  if (Value == fpCustomFraming) RepaintFrame();
}

template <class Base>
void TFcFramedView<Base>::SetFrameController(TFcFrameController* Value) {
  if (FFrameController == Value) return;
  if (FFrameController) FFrameController->UnregisterControl(this);
  FFrameController = Value;
  if (Value) {
    Value->RegisterControl(this);
    Value->FreeNotification(this);
  }
}

template <class Base>
void TFcFramedView<Base>::Notification(TComponent* AComponent, TOperation Operation) {
  Base::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

template <class Base>
bool TFcFramedView<Base>::ThemedLook() const {
  return FFramingPreference == fpXPThemes && IsThemeActive() && IsAppThemed();
}

template <class Base>
void TFcFramedView<Base>::RepaintFrame() {
  if (this->HandleAllocated()) InvalidateNonClientFrame(this->Handle(), TRect{0, 0, this->Width(), this->Height()});
}

template <class Base>
void TFcFramedView<Base>::UpdateFrame(bool ViaMouse, bool Active) {
  if (ViaMouse) FMouseOver = Active;
  if (FFrameHotTrack) RepaintFrame();
  UpdateColors();
}

template <class Base>
void TFcFramedView<Base>::WMNCPaint(TMessage& Message) {
  Base::WMNCPaint(Message);
  if (!FFrameVisible || ThemedLook() || !this->HandleAllocated()) return;
  HDC dc = GetWindowDC(this->Handle());
  try {
    FFrameCanvas->SetHandle(dc);
    const bool hot = FrameIsHotNow();
    PaintControlFrame(FFrameCanvas.get(), this->Width(), this->Height(), false, FFrameSides,
                      hot ? FFrameHotColor : FFrameColor, this->Color(), hot ? FFrameHotStyle : FFrameStyle);
  } catch (...) {
    FFrameCanvas->SetHandle(nullptr);
    ReleaseDC(this->Handle(), dc);
    throw;
  }
  FFrameCanvas->SetHandle(nullptr);
  ReleaseDC(this->Handle(), dc);
  Message.Result = 0;
}

template <class Base>
void TFcFramedView<Base>::WMSize(TMessage& Message) {
  Base::WMSize(Message);
  if (FFrameVisible && !ThemedLook()) RepaintFrame();
}

// ---- focus and the mouse ----

template <class Base>
void TFcFramedView<Base>::CMEnter(TMessage& Message) {
  FFocused = true;
  UpdateFrame(false, true);
  Base::CMEnter(Message);
}

template <class Base>
void TFcFramedView<Base>::CMExit(TMessage& Message) {
  Base::CMExit(Message);
  FFocused = false;
  UpdateFrame(false, false);
}

template <class Base>
void TFcFramedView<Base>::CMMouseEnter(TMessage& Message) {
  if (this->HasState(csDesigning)) return;
  Base::CMMouseEnter(Message);
  UpdateFrame(true, true);
}

template <class Base>
void TFcFramedView<Base>::CMMouseLeave(TMessage& Message) {
  Base::CMMouseLeave(Message);
  UpdateFrame(true, false);
}

template <class Base>
void TFcFramedView<Base>::Loaded() {
  Base::Loaded();
  UpdateColors();
  UpdateFrame(false, false);
}

// ---- streaming ----

template <class Base>
bool TFcFramedView<Base>::IsStoredByController(TFcFrameControllerProperty Property) const {
  return !(FFrameController && FFrameControllerNotifications.Contains(Property));
}

template <class Base>
bool TFcFramedView<Base>::IsColorStored() const {
  return IsStoredByController(fcpColor) && this->Enabled();
}

template <class Base>
bool TFcFramedView<Base>::IsFocusColorStored() const {
  return IsStoredByController(fcpFocusColor) && ColorToRGB(FFocusColor) != ColorToRGB(this->Color());
}

template <class Base>
void TFcFramedView<Base>::DefineProperties(TFiler* Filer) {
  Base::DefineProperties(Filer);
  DefineOldFrameProperties(Filer, this);
}

template class TFcFramedView<TCustomTreeView>;
template class TFcFramedView<TCustomListView>;
