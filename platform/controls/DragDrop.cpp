#include "platform/controls/Controls.h"

#include <cstdlib>

#include "platform/controls/ControlsInternal.h"
#include "platform/controls/Forms.h"
#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowPos.h"

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

namespace controls {

void ForgetDragged(TControl* Control) { TDragDriver::Current().Forget(Control); }

bool DragInProgress() { return TDragDriver::Current().Object != nullptr; }

}  // namespace controls

// ---- TControl dragging ----

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

