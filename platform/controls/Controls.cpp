#include "platform/controls/Controls.h"
#include "platform/controls/Menus.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/classes/Filer.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/NonClient.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
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

namespace {

const char* const kParentRequired = "Control '%s' has no parent window";

std::string ParentRequiredMessage(const TControl* Control) {
  std::string m = kParentRequired;
  return m.replace(m.find("%s"), 2, Control->Name());
}

std::unordered_map<HWND, TWinControl*>& WindowControls() {
  static std::unordered_map<HWND, TWinControl*> map;
  return map;
}

// The control whose window is being made: its window procedure is hooked up on the first
// message the new window receives.
thread_local TWinControl* CreationControl = nullptr;

TControl* CaptureControl = nullptr;
TControl* MouseCtl = nullptr;
std::vector<TControlCanvas*> CanvasList;

// The class procedure every control's window starts with; the first message hands the window
// over to the control being made.
LRESULT InitWndProcFunc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

const WNDPROC& InitWndProc() {
  static const WNDPROC proc = MakeWndProc(InitWndProcFunc);
  return proc;
}

const WNDPROC& DefaultWndProc() {
  static const WNDPROC proc = MakeWndProc(DefWindowProc);
  return proc;
}

// The hint text of a control or the first of its parents that has one.
std::string HintOf(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->Hint();
  return {};
}

void HandleControlException(TObject* Sender) {
  if (!Application) throw;
  Application->HandleException(Sender);
}

}  // namespace

// Gives a control window access to the control and the window handle (a friend of TWinControl).
struct TWindowBinder {
  static LRESULT Bind(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = CreationControl;
    if (!control) return DefWindowProc(Wnd, Msg, WParam, LParam);
    CreationControl = nullptr;
    control->FHandle = Wnd;
    WindowControls()[Wnd] = control;
    SetWindowProc(Wnd, control->FObjectInstance);
    return CallWindowProc(control->FObjectInstance, Wnd, Msg, WParam, LParam);
  }
};

namespace {
LRESULT InitWndProcFunc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return TWindowBinder::Bind(Wnd, Msg, WParam, LParam);
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

// ---- drag objects and the drag in progress ----

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }
void TDragObject::Finished(TObject*, int, int, bool) {}
TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int) {
  return Accepted ? FControl->DragCursor() : crNoDrop;
}
TObject* TDragControlObject::DragSource() { return FControl; }
void TDragControlObject::Finished(TObject* Target, int X, int Y, bool) { FControl->DoEndDrag(Target, X, Y); }

// The drag in progress: the dragged object, its source control, and a hidden window holding
// the mouse capture that turns pointer moves into drag messages.
struct TDragDriver {
  TControl* Control = nullptr;
  TDragObject* Object = nullptr;
  bool FreeObject = false;
  bool Active = false;
  int Threshold = 4;
  TPoint StartPos;
  HWND CaptureWnd = nullptr;

  static TDragDriver& Current() {
    static TDragDriver driver;
    return driver;
  }

  bool DragMessage(TDragMessage Kind) {
    TControl* target = Object->FDragTarget;
    if (!target) return false;
    TDragRec rec;
    rec.Pos = Object->FDragPos;
    rec.Source = Object;
    rec.Target = target;
    return target->Perform(CM_DRAG, static_cast<WPARAM>(Kind), reinterpret_cast<LPARAM>(&rec)) != 0;
  }

  void Init(TControl* Source, TDragObject* Obj, bool Owned, bool Immediate, int Distance) {
    Control = Source;
    Object = Obj;
    FreeObject = Owned;
    Threshold = Distance;
    Object->FDragTarget = nullptr;
    GetCursorPos(&StartPos);
    Object->FDragPos = StartPos;
    CaptureWnd = AllocateHWnd([this](TMessage& M) { CaptureProc(M); });
    SetCapture(CaptureWnd);
    Active = false;
    if (Immediate) {
      Active = true;
      DragTo(StartPos);
    }
  }

  void DragTo(TPoint Pos) {
    if (!Object) return;
    if (!Active && std::abs(StartPos.X - Pos.X) < Threshold && std::abs(StartPos.Y - Pos.Y) < Threshold) return;
    Active = true;
    TControl* target = FindDragTarget(Pos, false);
    if (target != Object->FDragTarget) {
      DragMessage(dmDragLeave);
      if (!Object) return;
      Object->FDragTarget = target;
      Object->FDragPos = Pos;
      DragMessage(dmDragEnter);
      if (!Object) return;
    }
    Object->FDragPos = Pos;
    bool accepted = DragMessage(dmDragMove);
    if (!Object) return;
    TPoint p = Object->FDragTarget ? Object->FDragTarget->ScreenToClient(Pos) : Pos;
    if (Screen) ::SetCursor(Screen->Cursors(Object->GetDragCursor(accepted, p.X, p.Y)));
  }

  void Done(bool Drop) {
    if (!Object || Object->FCancelling) return;
    TDragObject* obj = Object;
    obj->FCancelling = true;
    obj->FDropped = Drop;
    HWND capture = CaptureWnd;
    CaptureWnd = nullptr;
    if (GetCapture() == capture) ReleaseCapture();
    TControl* target = obj->FDragTarget;
    TPoint targetPos = target ? target->ScreenToClient(obj->FDragPos) : obj->FDragPos;
    bool accepted = Active && DragMessage(dmDragLeave) && Drop;
    if (!accepted) {
      target = nullptr;
      obj->FDragTarget = nullptr;
      targetPos = {0, 0};
    }
    if (accepted) DragMessage(dmDragDrop);
    const bool owned = FreeObject;
    Control = nullptr;
    Object = nullptr;
    Active = false;
    try {
      obj->Finished(target, targetPos.X, targetPos.Y, accepted);
    } catch (...) {
      if (owned) delete obj;
      DeallocateHWnd(capture);
      throw;
    }
    if (owned) delete obj;
    DeallocateHWnd(capture);
  }

  void CaptureProc(TMessage& M) {
    switch (M.Msg) {
      case WM_MOUSEMOVE: {
        TPoint p = LParamToPoint(M.LParam);
        ::ClientToScreen(CaptureWnd, &p);
        DragTo(p);
        return;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        Done(true);
        return;
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE:
        Done(false);
        return;
      case CN_KEYDOWN:
        if (M.WParam == VK_ESCAPE) {
          M.Result = 1;
          Done(false);
        }
        return;
      default:
        M.Result = DefWindowProc(CaptureWnd, M.Msg, M.WParam, M.LParam);
    }
  }

  // A control that goes away while it takes part in the drag.
  void Forget(TControl* C) {
    if (!Object) return;
    if (Object->FDragTarget == C) Object->FDragTarget = nullptr;
    if (Control == C) Done(false);
  }
};

void CancelDrag() {
  if (TDragDriver::Current().Object) TDragDriver::Current().Done(false);
}

// ---- free routines ----

TWinControl* FindControl(HWND Wnd) { return TWinControl::FindControl(Wnd); }

TWinControl* TWinControl::FindControl(HWND Wnd) {
  if (!Wnd) return nullptr;
  auto& map = WindowControls();
  auto it = map.find(Wnd);
  return it == map.end() ? nullptr : it->second;
}

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
  TDragDriver::Current().Forget(this);
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

void TControl::SetAlign(TAlign Value) {
  if (FAlign != Value) {
    const TAlign old = FAlign;
    FAlign = Value;
    // Aligned controls are anchored on the sides they stick to.
    static const TAnchors anchorAlign[] = {AnchorsDefault,           {akLeft, akTop, akRight},
                                           {akLeft, akRight, akBottom}, {akLeft, akTop, akBottom},
                                           {akRight, akTop, akBottom}, {akLeft, akTop, akRight, akBottom},
                                           AnchorsDefault};
    SetAnchors(anchorAlign[Value]);
    auto horizontal = [](TAlign a) { return a == alTop || a == alBottom; };
    auto vertical = [](TAlign a) { return a == alLeft || a == alRight; };
    // A control turning from a top or bottom bar into a side bar (or back) swaps its sides.
    if (!HasState(csLoading) && ((horizontal(old) && vertical(Value)) || (vertical(old) && horizontal(Value))))
      SetBounds(FLeft, FTop, FHeight, FWidth);
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  if (!HasState(csLoading)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || HasState(csLoading)) return;
  if (FAnchors == AnchorsDefault) {
    FOriginalParentSize = {0, 0};
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.Y = FTop + FHeight / 2;
  if (FParent) {
    TRect client = FParent->ClientRect();
    FOriginalParentSize = {client.Right, client.Bottom};
  }
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

// -- appearance --

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() { SetVisible(true); }

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

// -- dragging --

void TControl::BeginDrag(bool Immediate, int Threshold) {
  TDragDriver& drag = TDragDriver::Current();
  if (drag.Object) return;
  if (FControlState.Contains(csLButtonDown)) {
    TPoint p;
    GetCursorPos(&p);
    FControlState.Exclude(csLButtonDown);
    FControlState.Exclude(csClicked);
    if (MouseCapture()) SetMouseCapture(false);
    (void)p;
  }
  if (Threshold < 0) Threshold = GetSystemMetrics(SM_CXDRAG);
  TDragObject* obj = nullptr;
  DoStartDrag(obj);
  const bool owned = obj == nullptr;
  if (owned) obj = new TDragControlObject(this);
  drag.Init(this, obj, owned, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) TDragDriver::Current().Done(Drop);
}

bool TControl::Dragging() const { return TDragDriver::Current().Object && TDragDriver::Current().Control == this; }

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!rec || rec->Target != this) return;
  TObject* source = rec->Source ? rec->Source->DragSource() : nullptr;
  TPoint p = ScreenToClient(rec->Pos);
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      bool accept = true;
      DragOver(source, p.X, p.Y, static_cast<TDragState>(Message.WParam), accept);
      Message.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      DragDrop(source, p.X, p.Y);
      break;
    default:
      break;
  }
}

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

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FObjectInstance = MakeObjectInstance([this](TMessage& M) { MainWndProc(M); });
  FDefWndProc = DefaultWndProc();
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  Destroying();
  // Leaves the parent while this is still a windowed control (the parent tells them apart).
  if (FParent) FParent->RemoveControl(this);
  if (FHandle) DestroyWindowHandle();
  // A windowed control frees the controls it holds, whoever owns them.
  while (ControlCount() > 0) {
    TControl* child = Controls(ControlCount() - 1);
    Remove(child);
    delete child;
  }
  FreeObjectInstance(FObjectInstance);
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefaultWndProc();
  Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const std::string& ControlClassName) {
  WNDCLASS cls;
  if (!GetClassInfo(nullptr, ControlClassName, &cls)) return;
  Params.WindowClass = cls;
  Params.WindowClass.lpszClassName.clear();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD)) {
    if (FParent) params.WndParent = FParent->Handle();
    else throw EInvalidOperation(ParentRequiredMessage(this));
  }
  FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefaultWndProc();
  WNDCLASS existing;
  const bool registered = GetClassInfo(nullptr, params.WinClassName, &existing);
  if (!registered || existing.lpfnWndProc != InitWndProc()) {
    if (registered) UnregisterClass(params.WinClassName);
    WNDCLASS cls = params.WindowClass;
    cls.lpfnWndProc = InitWndProc();
    cls.lpszClassName = params.WinClassName;
    if (RegisterClass(cls) == 0) throw EOutOfResources("Error creating window class");
  }
  CreationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    CreationControl = nullptr;
    throw;
  }
  CreationControl = nullptr;
  if (!FHandle) throw EOutOfResources("Error creating window");
  if ((GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLongPtr(FHandle, GWLP_ID) == 0)
    SetWindowLongPtr(FHandle, GWLP_ID, reinterpret_cast<LONG_PTR>(FHandle));
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
  if (AutoSize()) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND wnd = CreateWindowEx(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X, Params.Y,
                            Params.Width, Params.Height, Params.WndParent, nullptr, nullptr, Params.Param);
  if (wnd) FHandle = wnd;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  if (FParent)
    SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  FText = GetWindowText(FHandle);
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND wnd = FHandle;
  DestroyWindow(wnd);
  FControlState.Exclude(csDestroyingHandle);
  WindowControls().erase(wnd);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  const bool wasFocused = Focused();
  DestroyHandle();
  UpdateControlState();
  if (wasFocused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle && FParentWindow && Value) {
    FParentWindow = Value;
    ::SetParent(FHandle, Value);
  } else {
    DestroyHandle();
    FParentWindow = Value;
  }
  UpdateControlState();
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    WindowProc(Message);
  } catch (...) {
    controls::FreeDeviceContexts();
    HandleControlException(this);
    return;
  }
  controls::FreeDeviceContexts();
}

// -- children --

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  const size_t i = static_cast<size_t>(Index);
  if (i < FControls.size()) return FControls[i];
  return FWinControls[i - FControls.size()];
}

void TWinControl::Insert(TControl* AControl) {
  if (!AControl) return;
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
}

void TWinControl::Remove(TControl* AControl) {
  // By identity: a control being destroyed may no longer be of its windowed class.
  std::erase_if(FTabList, [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase_if(FWinControls, [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase(FControls, AControl);
  AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
  Insert(AControl);
  if (!AControl->HasState(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (dynamic_cast<TWinControl*>(AControl)) UpdateControlState();
    else if (FHandle) AControl->Invalidate();
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  auto windowed = std::find_if(FWinControls.begin(), FWinControls.end(),
                               [&](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  if (windowed != FWinControls.end()) {
    TWinControl* w = *windowed;
    w->RemoveFocus(true);
    w->DestroyHandle();
  } else if (FHandle) {
    AControl->InvalidateControl(AControl->FVisible, false);
  }
  if (CaptureControl == AControl) SetCaptureControl(nullptr);
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (TControl* c = Control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) return false;
    if (!c->BoundsRect().Contains(Pos)) return false;
    return c->HitTest({Pos.X - c->FLeft, Pos.Y - c->FTop});
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m{Msg, 0, 0, 0};
  Broadcast(m);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  int start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
  int i = start;
  do {
    i = GoForward ? (i + 1) % count : (i == 0 ? count - 1 : i - 1);
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = form->FindNextControl(nullptr, true, true, false);
  if (!c) c = form->FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (FControlState.Contains(csReadingState)) FTabOrder = Value;
  else UpdateTabOrder(Value);
}

void TWinControl::UpdateTabOrder(int Value) {
  int current = TabOrder();
  if (current < 0) return;
  auto& list = FParent->FTabList;
  const int count = static_cast<int>(list.size());
  Value = std::clamp(Value, 0, count - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

void TWinControl::FixupTabList() {
  const size_t count = FWinControls.size();
  std::vector<TWinControl*> ordered(count, nullptr);
  for (TWinControl* c : FWinControls)
    if (c->FTabOrder >= 0 && static_cast<size_t>(c->FTabOrder) < count) ordered[static_cast<size_t>(c->FTabOrder)] = c;
  for (size_t i = 0; i < count; ++i)
    if (ordered[i]) ordered[i]->UpdateTabOrder(static_cast<int>(i));
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FHandle) {
    LONG_PTR style = GetWindowLongPtr(FHandle, GWL_STYLE);
    SetWindowLongPtr(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TWinControl* c = this; c != form; c = c->FParent)
    if (!c->FVisible || !c->FEnabled) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) form->FocusControl(this);
  else if (FParentWindow) ::SetFocus(Handle());
  else ValidParentForm(this);
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, Removing);
}

// -- showing --

void TWinControl::UpdateShowing() {
  const bool show = FVisible && !FControlState.Contains(csReadingState);
  if (show) {
    if (!FHandle) CreateHandle();
    for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->FParent) {
    c = c->FParent;
    if (!c->Showing()) return;
  }
  if (dynamic_cast<TCustomForm*>(c) || c->FParentWindow) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!FEnabled && FParent) RemoveFocus(false);
  if (FHandle) EnableWindow(FHandle, FEnabled ? TRUE : FALSE);
}

void TWinControl::CMFontChanged(TMessage& M) {
  TControl::CMFontChanged(M);
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& M) {
  TControl::CMColorChanged(M);
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& M) {
  M.Result = 0;
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_SYSCOLORCHANGE, M.WParam, M.LParam);
}

void TWinControl::WMSysColorChange(TMessage& M) {
  Perform(CM_SYSCOLORCHANGE, 0, 0);
  DefaultHandler(M);
}

void TWinControl::CMBorderChanged(TMessage&) { Realign(); }

void TWinControl::SetBorderWidth(TBorderWidth Value) {
  Value = std::max(Value, 0);
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::WMNCCalcSize(TMessage& M) {
  DefaultHandler(M);
  if (FBorderWidth <= 0) return;
  TRect* r = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0] : reinterpret_cast<TRect*>(M.LParam);
  if (!r) return;
  InflateRect(r, -FBorderWidth, -FBorderWidth);
  if (r->Right < r->Left) r->Right = r->Left;
  if (r->Bottom < r->Top) r->Bottom = r->Top;
}

void TWinControl::WMNCPaint(TMessage& M) {
  DefaultHandler(M);
  if (FBorderWidth <= 0 || !FHandle) return;
  // The border ring inside the standard frame, in the control's colour.
  TRect outer = os::FrameLayoutOf(FHandle).Client;
  TRect inner = outer;
  InflateRect(&inner, -FBorderWidth, -FBorderWidth);
  HDC dc = GetWindowDC(FHandle);
  ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
  FillRect(dc, &outer, FBrush->Handle());
  ReleaseDC(FHandle, dc);
}

void TWinControl::WMNCDestroy(TMessage& M) {
  DefaultHandler(M);
  WindowControls().erase(FHandle);
  FHandle = nullptr;
  FShowing = false;
}

// -- bounds and layout --

TRect TWinControl::ClientRect() {
  if (FHandle) {
    TRect r;
    GetClientRect(FHandle, &r);
    return r;
  }
  // Without a window: the client area the window's styles would give it.
  TCreateParams params;
  CreateParams(params);
  os::TFrameLayout layout =
      os::FrameLayout(params.Style, params.ExStyle, !(params.Style & WS_CHILD), FWidth, FHeight);
  TRect client = layout.Client;
  InflateRect(&client, -FBorderWidth, -FBorderWidth);
  return {0, 0, std::max(client.Width(), 0), std::max(client.Height(), 0)};
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    TPoint p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  TCreateParams params;
  CreateParams(params);
  os::TFrameLayout layout =
      os::FrameLayout(params.Style, params.ExStyle, !(params.Style & WS_CHILD), FWidth, FHeight);
  TPoint origin{FLeft + layout.Client.Left + FBorderWidth, FTop + layout.Client.Top + FBorderWidth};
  if (FParent) {
    TPoint p = FParent->ClientOrigin();
    origin.X += p.X;
    origin.Y += p.Y;
  } else if (FParentWindow && (params.Style & WS_CHILD)) {
    ::ClientToScreen(FParentWindow, &origin);
  }
  return origin;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
      WINDOWPLACEMENT placement;
      GetWindowPlacement(FHandle, &placement);
      (void)placement;
    } else if (resized) {
      Realign();
      if (!HasState(csLoading)) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  TRect r;
  if (IsIconic(FHandle)) {
    WINDOWPLACEMENT placement;
    GetWindowPlacement(FHandle, &placement);
    r = placement.rcNormalPosition;
  } else {
    GetWindowRect(FHandle, &r);
  }
  if (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) {
    if (HWND parent = ::GetParent(FHandle)) MapWindowPoints(nullptr, parent, &r);
  }
  UpdateBoundsRect(r);
}

void TWinControl::WMWindowPosChanged(TMessage& M) {
  if (!IsDestroyingHandle()) UpdateBounds();
  DefaultHandler(M);
}

void TWinControl::WMSize(TMessage& M) {
  UpdateBounds();
  DefaultHandler(M);
  Realign();
  if (!HasState(csLoading)) Resize();
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
  if (FAlignLevel < 0) FAlignLevel = 0;
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (HasState(csDestroying)) return;
  if (FAlignLevel != 0 || HasState(csLoading)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect rect = ClientRect();
    AlignControls(AControl, rect);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  FControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
  if (AutoSize()) AdjustSize();
}

void TWinControl::AdjustClientRect(TRect&) {}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
  // Just big enough for the visible children, the frame around the client area kept.
  int right = 0, bottom = 0;
  bool any = false;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->FVisible) continue;
    any = true;
    right = std::max(right, c->FLeft + c->FWidth);
    bottom = std::max(bottom, c->FTop + c->FHeight);
  }
  if (!any) return true;
  TRect client = ClientRect();
  NewWidth = FWidth - client.Right + right;
  NewHeight = FHeight - client.Bottom + bottom;
  return true;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  const bool work = std::any_of(FControls.begin(), FControls.end(),
                                [](TControl* c) { return c->FAlign != alNone || c->FAnchors != AnchorsDefault; }) ||
                    std::any_of(FWinControls.begin(), FWinControls.end(),
                                [](TControl* c) { return c->FAlign != alNone || c->FAnchors != AnchorsDefault; });
  if (!work) return;
  AdjustClientRect(Rect);
  // The one placed earlier in its edge's direction comes first.
  auto insertBefore = [](TControl* c1, TControl* c2, TAlign a) {
    switch (a) {
      case alTop: return c1->FTop < c2->FTop;
      case alBottom: return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
      case alLeft: return c1->FLeft < c2->FLeft;
      case alRight: return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth;
      default: return false;
    }
  };
  // Moves a child without taking the move as a new anchoring.
  auto placeChild = [](TControl* c, int L, int T, int W, int H) {
    c->FAnchorMove = true;
    try {
      c->SetBounds(L, T, W, H);
    } catch (...) {
      c->FAnchorMove = false;
      throw;
    }
    c->FAnchorMove = false;
  };
  auto position = [&](TControl* c, TAlign a) {
    int newWidth = Rect.Right - Rect.Left;
    if (newWidth < 0 || a == alLeft || a == alRight || a == alCustom) newWidth = c->FWidth;
    int newHeight = Rect.Bottom - Rect.Top;
    if (newHeight < 0 || a == alTop || a == alBottom || a == alCustom) newHeight = c->FHeight;
    int newLeft = Rect.Left;
    int newTop = Rect.Top;
    switch (a) {
      case alTop: Rect.Top += newHeight; break;
      case alBottom: Rect.Bottom -= newHeight; newTop = Rect.Bottom; break;
      case alLeft: Rect.Left += newWidth; break;
      case alRight: Rect.Right -= newWidth; newLeft = Rect.Right; break;
      default: break;
    }
    placeChild(c, newLeft, newTop, newWidth, newHeight);
    // Constraints may have kept the control from taking the size it was given.
    if (c->FWidth != newWidth || c->FHeight != newHeight) {
      switch (a) {
        case alTop: Rect.Top -= newHeight - c->FHeight; break;
        case alBottom: Rect.Bottom += newHeight - c->FHeight; break;
        case alLeft: Rect.Left -= newWidth - c->FWidth; break;
        case alRight: Rect.Right += newWidth - c->FWidth; break;
        case alClient:
          Rect.Right += newWidth - c->FWidth;
          Rect.Bottom += newHeight - c->FHeight;
          break;
        default: break;
      }
    }
  };
  auto anchor = [&](TControl* c) {
    if (c->FOriginalParentSize.X == 0 && c->FOriginalParentSize.Y == 0) return;
    TRect client = ClientRect();
    TPoint parentSize{client.Right, client.Bottom};
    int newLeft = c->FLeft, newTop = c->FTop, newWidth = c->FWidth, newHeight = c->FHeight;
    if (c->FAnchors.Contains(akRight)) {
      if (c->FAnchors.Contains(akLeft)) newWidth = parentSize.X - (c->FOriginalParentSize.X - c->FAnchorRules.X);
      else newLeft = c->FAnchorRules.X + (parentSize.X - c->FOriginalParentSize.X);
    } else if (!c->FAnchors.Contains(akLeft) && c->FOriginalParentSize.X != 0) {
      newLeft = c->FAnchorRules.X * parentSize.X / c->FOriginalParentSize.X - newWidth / 2;
    }
    if (c->FAnchors.Contains(akBottom)) {
      if (c->FAnchors.Contains(akTop)) newHeight = parentSize.Y - (c->FOriginalParentSize.Y - c->FAnchorRules.Y);
      else newTop = c->FAnchorRules.Y + (parentSize.Y - c->FOriginalParentSize.Y);
    } else if (!c->FAnchors.Contains(akTop) && c->FOriginalParentSize.Y != 0) {
      newTop = c->FAnchorRules.Y * parentSize.Y / c->FOriginalParentSize.Y - newHeight / 2;
    }
    placeChild(c, newLeft, newTop, newWidth, newHeight);
  };
  std::vector<TControl*> list;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) {
    list.clear();
    if (AControl && AControl->FParent == this && (a == alNone || AControl->FVisible) && AControl->FAlign == a)
      list.push_back(AControl);
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c == AControl || c->FAlign != a || (a != alNone && !c->FVisible)) continue;
      size_t j = 0;
      while (j < list.size() && !insertBefore(c, list[j], a)) ++j;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
    }
    for (TControl* c : list) {
      if (a == alNone) anchor(c);
      else if (a != alCustom) position(c, a);
    }
  }
}

void TWinControl::SetZOrder(bool TopMost) {
  if (!FParent) {
    if (FHandle)
      SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  auto& list = FParent->FWinControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost) list.push_back(this);
  else list.insert(list.begin(), this);
  if (FHandle)
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) const {
  auto it = std::find(FWinControls.begin(), FWinControls.end(), Control);
  if (it == FWinControls.end()) return HWND_TOP;
  for (++it; it != FWinControls.end(); ++it)
    if ((*it)->FHandle) return (*it)->FHandle;
  return HWND_TOP;
}

// -- painting --

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage& M) {
  if (!FHandle) return;
  if (FParent) FParent->Perform(CM_INVALIDATE, 1, 0);
  if (M.WParam == 0) InvalidateRect(FHandle, nullptr, FControlStyle.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  HDC dc = GetDC(Handle());
  if (!dc) throw EOutOfResources("Error creating window device context");
  WindowHandle = FHandle;
  return dc;
}

void TWinControl::PaintWindow(HDC DC) {
  // The class's own painting (a window of a standard class draws itself); the plain default
  // procedure only validates, which BeginPaint did already.
  if (FDefWndProc == DefaultWndProc()) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT ps;
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(FHandle, &ps);
  try {
    if (FControls.empty()) {
      PaintWindow(dc);
    } else {
      int saved = SaveDC(dc);
      int clip = SIMPLEREGION;
      for (TControl* c : FControls) {
        if (!c->FVisible || !c->FControlStyle.Contains(csOpaque)) continue;
        clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        if (clip == NULLREGION) break;
      }
      if (clip != NULLREGION) PaintWindow(dc);
      RestoreDC(dc, saved);
    }
    PaintControls(dc, nullptr);
  } catch (...) {
    if (own) EndPaint(FHandle, &ps);
    throw;
  }
  if (own) EndPaint(FHandle, &ps);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto start = std::find(FControls.begin(), FControls.end(), First);
  if (start == FControls.end()) start = FControls.begin();
  // A copy: painting code may change the list.
  std::vector<TControl*> list(start, FControls.end());
  for (TControl* c : list) {
    if (!c->FVisible) continue;
    TRect bounds = c->BoundsRect();
    if (!RectVisible(DC, &bounds)) continue;
    if (FControlState.Contains(csPaintCopy)) c->FControlState.Include(csPaintCopy);
    int saved = SaveDC(DC);
    TPoint org;
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.X - c->FLeft, org.Y - c->FTop, nullptr);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } catch (...) {
      RestoreDC(DC, saved);
      c->FControlState.Exclude(csPaintCopy);
      throw;
    }
    RestoreDC(DC, saved);
    c->FControlState.Exclude(csPaintCopy);
  }
  for (TWinControl* w : FWinControls) {
    if (!w->FCtl3D || !w->FControlStyle.Contains(csFramed) || !w->FVisible) continue;
    HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
    TRect r{w->FLeft - 1, w->FTop - 1, w->FLeft + w->FWidth, w->FTop + w->FHeight};
    FrameRect(DC, &r, shadow);
    DeleteObject(shadow);
    HBRUSH light = CreateSolidBrush(ColorToRGB(clBtnHighlight));
    r = {w->FLeft, w->FTop, w->FLeft + w->FWidth + 1, w->FTop + w->FHeight + 1};
    FrameRect(DC, &r, light);
    DeleteObject(light);
  }
}

void TWinControl::WMPaint(TMessage& M) {
  if (!FDoubleBuffered || M.WParam) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) DefaultHandler(M);
    else PaintHandler(M);
    return;
  }
  // Double buffered: paint into a bitmap, then copy it at once.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  TRect client = ClientRect();
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(client.Right, 1), std::max(client.Bottom, 1));
  HGDIOBJ old = SelectObject(mem, bitmap);
  struct TCleanup {
    HWND Wnd;
    PAINTSTRUCT& Ps;
    HDC Mem;
    HBITMAP Bitmap;
    HGDIOBJ Old;
    ~TCleanup() {
      SelectObject(Mem, Old);
      DeleteDC(Mem);
      DeleteObject(Bitmap);
      EndPaint(Wnd, &Ps);
    }
  } cleanup{FHandle, ps, mem, bitmap, old};
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
  M.WParam = reinterpret_cast<WPARAM>(mem);
  WMPaint(M);
  M.WParam = 0;
  BitBlt(dc, 0, 0, client.Right, client.Bottom, mem, 0, 0, SRCCOPY);
}

void TWinControl::PaintCustom(TMessage& M) {
  FControlState.Include(csCustomPaint);
  try {
    TWinControl::WMPaint(M);
  } catch (...) {
    FControlState.Exclude(csCustomPaint);
    throw;
  }
  FControlState.Exclude(csCustomPaint);
}

void TWinControl::WMEraseBkgnd(TMessage& M) {
  if (!FDoubleBuffered || M.WParam == static_cast<WPARAM>(M.LParam)) {
    TRect client = ClientRect();
    FillRect(reinterpret_cast<HDC>(M.WParam), &client, FBrush->Handle());
  }
  M.Result = 1;
}

// -- focus and keys --

void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }

bool TWinControl::PreviewedByForm(TMessage& M, bool (TWinControl::*Handler)(TMessage&)) {
  TCustomForm* form = GetParentForm(this);
  return form && form != this && form->KeyPreview() && (form->*Handler)(M);
}

bool TWinControl::DoKeyEvent(TMessage& M, bool (TWinControl::*Preview)(TMessage&),
                             void (TWinControl::*Event)(WORD&, TShiftState)) {
  if (PreviewedByForm(M, Preview)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  WORD key = static_cast<WORD>(M.WParam);
  (this->*Event)(key, KeyDataToShiftState(M.LParam));
  M.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& M) { return DoKeyEvent(M, &TWinControl::DoKeyDown, &TWinControl::KeyDown); }
bool TWinControl::DoKeyUp(TMessage& M) { return DoKeyEvent(M, &TWinControl::DoKeyUp, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& M) {
  if (PreviewedByForm(M, &TWinControl::DoKeyPress)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  char32_t ch = static_cast<char32_t>(M.WParam);
  KeyPress(ch);
  M.WParam = static_cast<WPARAM>(ch);
  return ch == 0;
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMChar(TMessage& M) {
  if (!DoKeyPress(M)) DefaultHandler(M);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyPress(char32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::CNKeyDown(TMessage& M) {
  M.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(M)) return;
  if (Perform(CM_CHILDKEY, M.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (M.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, M.WParam, 0) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 &&
      form && form->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0)
    return;
  M.Result = 0;
}

void TWinControl::CNChar(TMessage& M) {
  M.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0)
    return;
  M.Result = 0;
}

void TWinControl::CNSysChar(TMessage& M) {
  if (M.WParam == VK_SPACE) return;
  if (TCustomForm* form = GetParentForm(this)) M.Result = form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam);
}

void TWinControl::CMChildKey(TMessage& M) {
  if (FParent) M.Result = FParent->Perform(CM_CHILDKEY, M.WParam, M.LParam);
}

void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }
void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }
void TWinControl::CMFocusChanged(TMessage& M) { Broadcast(M); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// -- mouse --

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* control = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    if (CaptureControl && CaptureControl->FParent == this) control = CaptureControl;
  } else {
    control = ControlAtPos(LParamToPoint(Message.LParam), false);
  }
  if (!control) return false;
  TPoint p = LParamToPoint(Message.LParam);
  Message.Result = control->Perform(Message.Msg, Message.WParam, PointToLParam({p.X - control->FLeft, p.Y - control->FTop}));
  return true;
}

void TWinControl::WMSetCursor(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == FHandle && static_cast<int16_t>(LOWORD(M.LParam)) == HTCLIENT) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      TPoint p;
      GetCursorPos(&p);
      if (TControl* c = ControlAtPos(ScreenToClient(p), false)) cursor = c->Cursor();
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(cursor));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMMouseWheel(TMessage& M) {
  // Offered to the control as CM_MOUSEWHEEL, then to its parents; the window's default
  // processing (to the parent window) only when none takes it.
  for (TControl* c = this; c; c = c->Parent()) {
    if (c->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam) != 0) {
      M.Result = 1;
      return;
    }
  }
  M.Result = 0;
}

void TWinControl::WMContextMenu(TMessage& M) {
  // The menu key gives (-1, -1): the menu then opens at the control's top-left corner.
  const bool fromKey = static_cast<int16_t>(LOWORD(M.LParam)) == -1 && static_cast<int16_t>(HIWORD(M.LParam)) == -1;
  TPoint screen = fromKey ? ClientToScreen(TPoint{0, 0}) : LParamToPoint(M.LParam);
  TControl* target = fromKey ? nullptr : ControlAtPos(ScreenToClient(screen), false);
  if (!target) target = this;
  for (TControl* c = target; c; c = c->Parent()) {
    TPopupMenu* menu = c->PopupMenu();
    if (menu && menu->AutoPopup()) {
      menu->SetPopupComponent(c);
      menu->Popup(screen.X, screen.Y);
      M.Result = 1;
      return;
    }
    if (c == this) break;
  }
  DefaultHandler(M);
}

void TWinControl::WMCommandReflect(TMessage& M) {
  if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.LParam)); c && c != this) {
    M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return;
  }
  DefaultHandler(M);
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST:
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT && ControlAtPos(ScreenToClient(LParamToPoint(Message.LParam)), false))
        Message.Result = HTCLIENT;
      return;
    case WM_CANCELMODE:
      if (FHandle && GetCapture() == FHandle && CaptureControl && CaptureControl->FParent == this)
        CaptureControl->Perform(WM_CANCELMODE, 0, 0);
      break;
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        if (IsControlMouseMsg(Message)) {
          if (Message.Result == 0 && FHandle)
            DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      } else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
        if (TDragDriver::Current().Object) return;
      }
  }
  TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: WMPaint(M); return;
    case WM_ERASEBKGND: WMEraseBkgnd(M); return;
    case WM_SETFOCUS: WMSetFocus(M); return;
    case WM_KILLFOCUS: WMKillFocus(M); return;
    case WM_KEYDOWN: WMKeyDown(M); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(M); return;
    case WM_KEYUP: WMKeyUp(M); return;
    case WM_SYSKEYUP: WMSysKeyUp(M); return;
    case WM_CHAR: WMChar(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_SETCURSOR: WMSetCursor(M); return;
    case WM_NCCALCSIZE: WMNCCalcSize(M); return;
    case WM_NCPAINT: WMNCPaint(M); return;
    case WM_NCDESTROY: WMNCDestroy(M); return;
    case WM_SYSCOLORCHANGE: WMSysColorChange(M); return;
    case WM_MOUSEWHEEL: WMMouseWheel(M); return;
    case WM_CONTEXTMENU: WMContextMenu(M); return;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL: WMCommandReflect(M); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(M); return;
    case CN_CHAR: CNChar(M); return;
    case CN_SYSCHAR: CNSysChar(M); return;
    case CM_ENTER: CMEnter(M); return;
    case CM_EXIT: CMExit(M); return;
    case CM_CHILDKEY: CMChildKey(M); return;
    case CM_DIALOGKEY: CMDialogKey(M); return;
    case CM_DIALOGCHAR: CMDialogChar(M); return;
    case CM_FOCUSCHANGED: CMFocusChanged(M); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(M); return;
    case CM_RECREATEWND: CMRecreateWnd(M); return;
    case CM_INVALIDATE: CMInvalidate(M); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(M); return;
    case CM_BORDERCHANGED: CMBorderChanged(M); return;
    default: TControl::Dispatch(M);
  }
}

void TWinControl::DefaultHandler(TMessage& M) {
  if (!FHandle) {
    TControl::DefaultHandler(M);
    return;
  }
  // Private notices mean nothing to the window class.
  if ((M.Msg >= CM_BASE && M.Msg < CM_BASE + 0x400) || (M.Msg >= CN_BASE && M.Msg < CN_BASE + 0x400)) return;
  M.Result = CallWindowProc(FDefWndProc, FHandle, M.Msg, M.WParam, M.LParam);
  if (M.Msg == WM_SETTEXT) {
    const char* text = reinterpret_cast<const char*>(M.LParam);
    FText = text ? text : "";
  }
}

// -- streaming --

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == Root) Proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  if (auto* w = dynamic_cast<TWinControl*>(Child)) {
    auto it = std::find(FWinControls.begin(), FWinControls.end(), w);
    if (it == FWinControls.end()) return;
    FWinControls.erase(it);
    Order = std::clamp(Order - static_cast<int>(FControls.size()), 0, static_cast<int>(FWinControls.size()));
    FWinControls.insert(FWinControls.begin() + Order, w);
  } else if (auto* c = dynamic_cast<TControl*>(Child)) {
    auto it = std::find(FControls.begin(), FControls.end(), c);
    if (it == FControls.end()) return;
    FControls.erase(it);
    Order = std::clamp(Order, 0, static_cast<int>(FControls.size()));
    FControls.insert(FControls.begin() + Order, c);
  }
}

void TWinControl::ReadState(TReader* Reader) {
  DisableAlign();
  try {
    TControl::ReadState(Reader);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  if (FParent || FParentWindow) UpdateControlState();
  Realign();
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

static const classes::TPublished<TWinControl, TControl> WinControlInfo([](classes::TPublisher<TWinControl>& p) {
  p.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
  p.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
  p.Int("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
  p.Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered).Default(false);
  p.Enum("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
  p.String("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
  p.Bool("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Default(true);
  p.Bool("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
  p.Event("OnEnter", &TWinControl::OnEnter);
  p.Event("OnExit", &TWinControl::OnExit);
  p.Event("OnKeyDown", &TWinControl::OnKeyDown);
  p.Event("OnKeyPress", &TWinControl::OnKeyPress);
  p.Event("OnKeyUp", &TWinControl::OnKeyUp);
});

static const classes::TPublished<TGraphicControl, TControl> GraphicControlInfo;
static const classes::TPublished<TCustomControl, TWinControl> CustomControlInfo;
