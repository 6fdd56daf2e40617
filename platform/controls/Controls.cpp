#include "platform/controls/Controls.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/classes/Filer.h"
#include "platform/controls/ControlsInternal.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"

// ---- names of the enumerations ----

const classes::TEnumInfo& EnumInfo(TAlign) {
  static const classes::TEnumInfo info{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TAnchorKind) {
  static const classes::TEnumInfo info{"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TDragMode) {
  static const classes::TEnumInfo info{"TDragMode", {"dmManual", "dmAutomatic"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TBiDiMode) {
  static const classes::TEnumInfo info{
      "TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TImeMode) {
  static const classes::TEnumInfo info{"TImeMode",
                                       {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                                        "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TBevelCut) {
  static const classes::TEnumInfo info{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TShiftStateFlag) {
  static const classes::TEnumInfo info{"TShiftStateFlag",
                                       {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"}};
  return info;
}

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s.Include(ssShift);
  if (Keys & MK_CONTROL) s.Include(ssCtrl);
  if (Keys & MK_LBUTTON) s.Include(ssLeft);
  if (Keys & MK_RBUTTON) s.Include(ssRight);
  if (Keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  constexpr LPARAM AltMask = 0x20000000;
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if ((KeyData & AltMask) || GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

// ---- shared state of the controls ----

namespace controls {

std::string ParentRequiredMessage(const TControl* Control) {
  std::string m = "Control '%s' has no parent window";
  return m.replace(m.find("%s"), 2, Control->Name());
}

TControl* CaptureControl = nullptr;

}  // namespace controls

using controls::CaptureControl;
using controls::ParentRequiredMessage;

namespace {

TControl* MouseCtl = nullptr;
std::vector<TControlCanvas*> CanvasList;

// The hint text of a control or the first of its parents that has one.
std::string HintOf(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->Hint();
  return {};
}

}  // namespace

// ---- TSizeConstraints ----

void TSizeConstraints::SetMaxHeight(int Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
  Change();
}
void TSizeConstraints::SetMaxWidth(int Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
  Change();
}
void TSizeConstraints::SetMinHeight(int Value) {
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
  Change();
}
void TSizeConstraints::SetMinWidth(int Value) {
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
  Change();
}
void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}
void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinHeight = s->FMinHeight;
    FMaxHeight = s->FMaxHeight;
    FMinWidth = s->FMinWidth;
    FMaxWidth = s->FMaxWidth;
    Change();
    return;
  }
  TPersistent::Assign(Source);
}

// ---- free routines ----

TWinControl* FindControl(HWND Wnd) { return TWinControl::FindControl(Wnd); }

TWinControl* FindVCLWindow(TPoint Pos) {
  for (HWND wnd = WindowFromPoint(Pos); wnd; wnd = GetParent(wnd))
    if (TWinControl* c = FindControl(wnd)) return c;
  return nullptr;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  TWinControl* window = FindVCLWindow(Pos);
  if (!window) return nullptr;
  if (TControl* c = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled)) return c;
  return window;
}

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  if (result && CaptureControl && CaptureControl->Parent() == result) result = CaptureControl;
  return result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  CaptureControl = nullptr;
  if (!Control) return;
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (!win) {
    if (!Control->Parent()) return;
    CaptureControl = Control;
    win = Control->Parent();
  }
  SetCapture(win->Handle());
}

TCustomForm* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  while (Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* form = GetParentForm(Control);
  if (!form) throw EInvalidOperation(ParentRequiredMessage(Control));
  return form;
}

bool IsAccel(UINT Key, const std::string& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    unsigned char c = static_cast<unsigned char>(Caption[i + 1]);
    return std::toupper(c) == std::toupper(static_cast<int>(Key & 0xFF)) && Key < 0x100;
  }
  return false;
}

std::string GetShortHint(const std::string& Hint) {
  size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
  size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

namespace controls {

TControl* MouseControl() { return MouseCtl; }

void UpdateMouseControl(TPoint Screen) {
  TControl* target = FindDragTarget(Screen, true);
  if (MouseCtl == target) return;
  TControl* capture = GetCaptureControl();
  auto notify = [&](UINT Msg) {
    if (MouseCtl && (!capture || MouseCtl == capture)) MouseCtl->Perform(Msg, 0, 0);
  };
  notify(CM_MOUSELEAVE);
  MouseCtl = target;
  notify(CM_MOUSEENTER);
  if (Application) Application->SetHint(GetLongHint(HintOf(MouseCtl)));
}

void FreeDeviceContexts() {
  while (!CanvasList.empty()) CanvasList.back()->FreeHandle();
}

}  // namespace controls

// ---- TControl ----

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FConstraints(std::make_unique<TSizeConstraints>(this)) {
  WindowProc = [this](TMessage& M) { WndProc(M); };
  FFont->OnChange = [this](TObject*) { FontChanged(); };
  FConstraints->OnChange = [this](TObject*) { DoConstraintsChange(); };
}

TControl::~TControl() {
  if (Application) Application->ControlDestroyed(this);
  controls::ForgetDragged(this);
  if (MouseCtl == this) MouseCtl = nullptr;
  if (CaptureControl == this) {
    CaptureControl = nullptr;
    if (FParent && FParent->HandleAllocated() && GetCapture() == FParent->FHandle) ReleaseCapture();
  }
  SetParent(nullptr);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

void TControl::ReadState(TReader* Reader) {
  FControlState.Include(csReadingState);
  if (auto* w = dynamic_cast<TWinControl*>(Reader->Parent())) SetParent(w);
  try {
    TComponent::ReadState(Reader);
  } catch (...) {
    FControlState.Exclude(csReadingState);
    throw;
  }
  FControlState.Exclude(csReadingState);
  if (FParent) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  SetComponentState(csLoading, false);
  UpdateAnchorRules();
}

void TControl::SetName(const std::string& NewName) {
  const std::string old = Name();
  const bool changeText = FControlStyle.Contains(csSetCaption) && !HasState(csLoading) && old == GetText() &&
                          (!Owner() || !dynamic_cast<TControl*>(Owner()) || !Owner()->HasState(csLoading));
  TComponent::SetName(NewName);
  if (changeText) SetText(NewName);
}

void TControl::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  // The size of the parent when the anchors were designed: read and dropped, the anchors take
  // the parent's size after loading.
  Filer->DefineProperty(
      "DesignSize",
      [](TReader* R) {
        R->ReadListBegin();
        while (!R->EndOfList()) R->ReadInteger();
        R->ReadListEnd();
      },
      nullptr, false);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

// -- bounds --

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (resized && !HasState(csLoading)) Resize();
}

bool TControl::CheckNewSize(int& AWidth, int& AHeight) {
  int w = AWidth, h = AHeight;
  if (FAutoSize && !HasState(csLoading)) CanAutoSize(w, h);
  int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && w > maxW) w = maxW;
  if (minW > 0 && w < minW) w = minW;
  if (maxH > 0 && h > maxH) h = maxH;
  if (minH > 0 && h < minH) h = minH;
  AWidth = std::max(w, 0);
  AHeight = std::max(h, 0);
  return true;
}

void TControl::ConstrainedResize(int&, int&, int&, int&) {}
bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::AdjustSize() {
  if (!HasState(csLoading)) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::DoConstraintsChange() { AdjustSize(); }

TRect TControl::ClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(TPoint Value) {
  TRect client = ClientRect();
  SetBounds(FLeft, FTop, FWidth - client.Right + Value.X, FHeight - client.Bottom + Value.Y);
}

TPoint TControl::ClientOrigin() {
  if (!FParent) throw EInvalidOperation(ParentRequiredMessage(this));
  TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint Point) {
  TPoint o = ClientOrigin();
  return {Point.X + o.X, Point.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint Point) {
  TPoint o = ClientOrigin();
  return {Point.X - o.X, Point.Y - o.Y};
}

TPoint TControl::ParentToClient(TPoint Point, TWinControl* AParent) {
  if (!AParent) AParent = FParent;
  if (!AParent) throw EInvalidOperation(ParentRequiredMessage(this));
  return ScreenToClient(AParent->ClientToScreen(Point));
}

void TControl::UpdateBoundsRect(const TRect& R) {
  UpdateAnchorRules();
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
}

// -- appearance --

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool Value) { Change(FEnabled, Value, nullptr, CM_ENABLEDCHANGED); }
void TControl::SetColor(TColor Value) { Change(FColor, Value, &FParentColor, CM_COLORCHANGED); }
void TControl::SetParentColor(bool Value) { ChangeParentFlag(FParentColor, Value, CM_PARENTCOLORCHANGED); }
void TControl::SetParentFont(bool Value) { ChangeParentFlag(FParentFont, Value, CM_PARENTFONTCHANGED); }
void TControl::SetShowHint(bool Value) { Change(FShowHint, Value, &FParentShowHint, CM_SHOWHINTCHANGED); }
void TControl::SetParentShowHint(bool Value) { ChangeParentFlag(FParentShowHint, Value, CM_PARENTSHOWHINTCHANGED); }
void TControl::SetCursor(TCursor Value) { Change(FCursor, Value, nullptr, CM_CURSORCHANGED); }
void TControl::SetBiDiMode(TBiDiMode Value) { Change(FBiDiMode, Value, &FParentBiDiMode, CM_BIDIMODECHANGED); }
void TControl::SetParentBiDiMode(bool Value) { ChangeParentFlag(FParentBiDiMode, Value, CM_PARENTBIDIMODECHANGED); }

template <class V>
void TControl::Change(V& Field, V Value, bool* FollowsParent, UINT Msg) {
  if (Field == Value) return;
  Field = Value;
  if (FollowsParent) *FollowsParent = false;
  Perform(Msg, 0, 0);
}

void TControl::ChangeParentFlag(bool& Flag, bool Value, UINT Msg) {
  if (Flag == Value) return;
  Flag = Value;
  if (FParent && !HasState(csReading)) Perform(Msg, 0, 0);
}

void TControl::FontChanged() {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

std::string TControl::GetText() {
  LRESULT length = Perform(WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
  LRESULT copied = Perform(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

void TControl::SetText(const std::string& Value) {
  if (GetText() == Value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

// -- repainting --

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  TRect r = BoundsRect();
  // The background needs no erasing when an opaque sibling above covers the whole rectangle.
  auto backgroundClipped = [&] {
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    for (auto above = (it == list.end() ? list.end() : it + 1); above != list.end(); ++above) {
      TControl* c = *above;
      if (!c->FVisible || !c->FControlStyle.Contains(csOpaque)) continue;
      TRect i;
      TRect b = c->BoundsRect();
      IntersectRect(&i, &r, &b);
      if (i == r) return true;
    }
    return false;
  };
  const bool erase = !(IsOpaque || FParent->FControlStyle.Contains(csOpaque) || backgroundClipped());
  InvalidateRect(FParent->FHandle, &r, erase ? TRUE : FALSE);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FControlStyle.Contains(csOpaque)) {
    HDC dc = GetDC(FParent->FHandle);
    IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    FParent->PaintControls(dc, this);
    ReleaseDC(FParent->FHandle, dc);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost) list.push_back(this);
  else list.insert(list.begin(), this);
  InvalidateControl(FVisible, !TopMost && FControlStyle.Contains(csOpaque));
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
  if (!FParent) throw EInvalidOperation(ParentRequiredMessage(this));
  HDC dc = FParent->GetDeviceContext(WindowHandle);
  SetViewportOrgEx(dc, FLeft, FTop, nullptr);
  IntersectClipRect(dc, 0, 0, FWidth, FHeight);
  return dc;
}

// -- capture --

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::SendCancelMode(TControl* Sender) {
  for (TControl* c = this; c; c = c->FParent)
    if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SendCancelMode(Sender);
}

// -- messages --

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->WantChildKey(this, Message)) return;
  } else if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
      }
    }
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
        if (FParent || dynamic_cast<TWinControl*>(this))
          controls::UpdateMouseControl(ClientToScreen(LParamToPoint(Message.LParam)));
        if (Application) Application->HintMouseMessage(this, Message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FDragMode == dmAutomatic) {
          BeginAutoDrag();
          return;
        }
        FControlState.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        FControlState.Exclude(csLButtonDown);
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(M); return;
    case WM_LBUTTONUP: WMLButtonUp(M); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(M); return;
    case WM_RBUTTONDOWN: WMRButtonDown(M); return;
    case WM_RBUTTONUP: WMRButtonUp(M); return;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(M); return;
    case WM_MBUTTONDOWN: WMMButtonDown(M); return;
    case WM_MBUTTONUP: WMMButtonUp(M); return;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(M); return;
    case WM_MOUSEMOVE: WMMouseMove(M); return;
    case WM_CANCELMODE: WMCancelMode(M); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(M); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(M); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(M); return;
    case CM_FONTCHANGED: CMFontChanged(M); return;
    case CM_COLORCHANGED: CMColorChanged(M); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(M); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(M); return;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(M); return;
    case CM_TEXTCHANGED: CMTextChanged(M); return;
    case CM_MOUSEENTER: CMMouseEnter(M); return;
    case CM_MOUSELEAVE: CMMouseLeave(M); return;
    case CM_HITTEST: CMHitTest(M); return;
    case CM_HINTSHOW: CMHintShow(M); return;
    case CM_DRAG: CMDrag(M); return;
    case CM_MOUSEWHEEL: CMMouseWheel(M); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(M); return;
    default: DefaultHandler(M);
  }
}

void TControl::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case WM_GETTEXTLENGTH:
      M.Result = static_cast<LRESULT>(FText.size());
      break;
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(M.LParam);
      if (!buffer || M.WParam == 0) {
        M.Result = 0;
        break;
      }
      size_t n = std::min<size_t>(FText.size(), M.WParam - 1);
      std::memcpy(buffer, FText.data(), n);
      buffer[n] = '\0';
      M.Result = static_cast<LRESULT>(n);
      break;
    }
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(M.LParam);
      FText = text ? text : "";
      M.Result = TRUE;
      break;
    }
    default:
      break;
  }
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint p = LParamToPoint(Message.LParam);
  MouseDown(Button, KeysToShiftState(static_cast<WORD>(Message.WParam)) + Shift, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint p = LParamToPoint(Message.LParam);
  MouseUp(Button, KeysToShiftState(static_cast<WORD>(Message.WParam)), p.X, p.Y);
}

void TControl::WMLButtonDown(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  DoMouseDown(M, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(M, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& M) {
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    TRect client = ClientRect();
    if (client.Contains(LParamToPoint(M.LParam))) Click();
  }
  DoMouseUp(M, mbLeft);
}

// The right and middle buttons: the default processing, then the event.
void TControl::OtherButton(TMessage& M, TMouseButton Button, bool Down, TShiftState Shift) {
  DefaultHandler(M);
  if (Down) DoMouseDown(M, Button, Shift);
  else DoMouseUp(M, Button);
}
void TControl::WMRButtonDown(TMessage& M) { OtherButton(M, mbRight, true, {}); }
void TControl::WMRButtonUp(TMessage& M) { OtherButton(M, mbRight, false, {}); }
void TControl::WMRButtonDblClk(TMessage& M) { OtherButton(M, mbRight, true, {ssDouble}); }
void TControl::WMMButtonDown(TMessage& M) { OtherButton(M, mbMiddle, true, {}); }
void TControl::WMMButtonUp(TMessage& M) { OtherButton(M, mbMiddle, false, {}); }
void TControl::WMMButtonDblClk(TMessage& M) { OtherButton(M, mbMiddle, true, {ssDouble}); }

void TControl::WMMouseMove(TMessage& M) {
  DefaultHandler(M);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint p = LParamToPoint(M.LParam);
  MouseMove(KeysToShiftState(static_cast<WORD>(M.WParam)), p.X, p.Y);
}

void TControl::WMCancelMode(TMessage& M) {
  FControlState.Exclude(csClicked);
  FControlState.Exclude(csLButtonDown);
  if (MouseCapture()) SetMouseCapture(false);
  DefaultHandler(M);
}

void TControl::WMWindowPosChanged(TMessage& M) { DefaultHandler(M); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& M) {
  if (!FParentFont) return;
  TFont* source = M.WParam ? reinterpret_cast<TFont*>(M.LParam) : (FParent ? FParent->FFont.get() : nullptr);
  if (source) SetFont(source);
  FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& M) {
  if (!FParentColor) return;
  if (M.WParam) SetColor(static_cast<TColor>(M.LParam));
  else if (FParent) SetColor(FParent->FColor);
  FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->FShowHint);
  FParentShowHint = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent) return;
  SetBiDiMode(FParent->FBiDiMode);
  FParentBiDiMode = true;
}

void TControl::CMTextChanged(TMessage&) {}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::CMMouseEnter(TMessage& M) {
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
  if (M.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& M) {
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
  if (M.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& M) { M.Result = HTCLIENT; }
void TControl::CMHintShow(TMessage& M) { M.Result = 0; }
void TControl::CMSysColorChange(TMessage&) {}

void TControl::CMMouseWheel(TMessage& M) {
  TPoint pos = LParamToPoint(M.LParam);
  const WORD keys = LOWORD(M.WParam);
  const int delta = static_cast<int16_t>(HIWORD(M.WParam));
  M.Result = DoMouseWheel(KeysToShiftState(keys), delta, pos) ? 1 : 0;
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

// -- dispatchers --

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::Resize() {
  if (OnResize && !HasState(csDestroying)) OnResize(this);
}

// ---- canvases ----

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  if (!FDeviceContext) {
    FDeviceContext = FControl->GetDeviceContext(FWindowHandle);
    CanvasList.push_back(this);
  }
  SetHandle(FDeviceContext);
  UpdateTextFlags();
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  std::erase(CanvasList, this);
}

void TControlCanvas::UpdateTextFlags() {
  if (!FControl) return;
  if (FControl->UseRightToLeftReading()) SetTextFlags(TextFlags() | ETO_RTLREADING);
  else SetTextFlags(TextFlags() & ~ETO_RTLREADING);
}

namespace controls {
TCanvasPaint::TCanvasPaint(TCanvas& Canvas, HDC DC) : FCanvas(Canvas) {
  FCanvas.Lock();
  FCanvas.SetHandle(DC);
}
TCanvasPaint::~TCanvasPaint() {
  FCanvas.SetHandle(nullptr);
  FCanvas.Unlock();
}
}  // namespace controls

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->SetControl(nullptr); }

void TGraphicControl::Dispatch(TMessage& M) {
  if (M.Msg == WM_PAINT) {
    WMPaint(M);
    return;
  }
  TControl::Dispatch(M);
}

void TGraphicControl::WMPaint(TMessage& M) {
  if (!M.WParam || HasState(csDestroying)) return;
  controls::TCanvasPaint paint(*FCanvas, reinterpret_cast<HDC>(M.WParam));
  Paint();
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
  // The window goes first, while Paint and the canvas are still there for its last messages.
  Destroying();
  if (FParent) RemoveFocus(true);
  if (HandleAllocated()) DestroyWindowHandle();
  FCanvas->SetControl(nullptr);
}

void TCustomControl::WMPaint(TMessage& M) { PaintCustom(M); }

void TCustomControl::PaintWindow(HDC DC) {
  controls::TCanvasPaint paint(*FCanvas, DC);
  FCanvas->UpdateTextFlags();
  Paint();
}

// ---- published properties ----

static const classes::TPublished<TSizeConstraints, TPersistent> SizeConstraintsInfo(
    [](classes::TPublisher<TSizeConstraints>& p) {
      p.Int("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
      p.Int("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
      p.Int("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
      p.Int("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
    });

static const classes::TPublished<TControl, TComponent> ControlInfo([](classes::TPublisher<TControl>& p) {
  p.Int("Left", &TControl::Left, &TControl::SetLeft);
  p.Int("Top", &TControl::Top, &TControl::SetTop);
  p.Int("Width", &TControl::Width, &TControl::SetWidth);
  p.Int("Height", &TControl::Height, &TControl::SetHeight);
  p.Enum("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  p.Set<TAnchorKind>("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(AnchorsDefault);
  p.Object("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  p.Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false);
  p.String("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Int("Color", &TControl::Color, &TControl::SetColor)
      .Default(clWindow)
      .Idents(ColorIdents())
      .Stored(&TControl::IsColorStored);
  p.Object("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
  p.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  p.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
  p.Bool("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  p.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  p.String("Hint", &TControl::Hint, &TControl::SetHint);
  p.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  p.Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  p.Int("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(CursorIdents());
  p.Int("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Default(crDrag).Idents(CursorIdents());
  p.Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
  p.Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
  p.Bool("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);
  p.Event("OnClick", &TControl::OnClick);
  p.Event("OnDblClick", &TControl::OnDblClick);
  p.Event("OnMouseDown", &TControl::OnMouseDown);
  p.Event("OnMouseMove", &TControl::OnMouseMove);
  p.Event("OnMouseUp", &TControl::OnMouseUp);
  p.Event("OnMouseWheel", &TControl::OnMouseWheel);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter);
  p.Event("OnMouseLeave", &TControl::OnMouseLeave);
  p.Event("OnResize", &TControl::OnResize);
  p.Event("OnDragOver", &TControl::OnDragOver);
  p.Event("OnDragDrop", &TControl::OnDragDrop);
  p.Event("OnStartDrag", &TControl::OnStartDrag);
  p.Event("OnEndDrag", &TControl::OnEndDrag);
});

static const classes::TPublished<TGraphicControl, TControl> GraphicControlInfo;
static const classes::TPublished<TCustomControl, TWinControl> CustomControlInfo;
