#include "tray/SimpleTimer.h"

#include <memory>

#include "platform/os/Timers.h"

namespace {
// The shared handler; one still alive at program end is freed with the program's statics.
std::unique_ptr<TSimpleTimerHandler> gHandler;
}  // namespace

TSimpleTimerHandler::TSimpleTimerHandler() {
  FWindowHandle = AllocateHWnd([this](TMessage& Message) { HandleTimerMessage(Message); });
}

TSimpleTimerHandler::~TSimpleTimerHandler() { DeallocateHWnd(FWindowHandle); }

void TSimpleTimerHandler::HandleTimerMessage(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  auto* timer = reinterpret_cast<TSimpleTimer*>(Message.WParam);
  if (!FTimers.count(timer)) return;  // a tick of a timer that is gone
  if (timer->OneShot()) timer->Deactivate(true);
  // A copy: the handler may free the timer (and with it this handler and its window).
  TNotifyEvent handler = timer->OnTimer();
  if (handler) handler(timer);
}

void AcquireTimerWindow() {
  if (!gHandler) gHandler = std::make_unique<TSimpleTimerHandler>();
  ++gHandler->FRefCount;
}

void ReleaseTimerWindow() {
  if (!gHandler) return;
  if (gHandler->FRefCount > 0) --gHandler->FRefCount;
  if (gHandler->FRefCount == 0) gHandler.reset();
}

TSimpleTimerHandler* SimpleTimerHandler() { return gHandler.get(); }

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(UINT AInterval, TNotifyEvent AOnTimer) {
  FId = reinterpret_cast<UINT_PTR>(this);
  FOneShot = false;
  FEnabled = false;
  FInterval = AInterval;
  SetOnTimer(std::move(AOnTimer));
  AcquireTimerWindow();
  gHandler->FTimers.insert(this);
}

TSimpleTimer::~TSimpleTimer() {
  if (FEnabled) Deactivate(true);
  if (gHandler) gHandler->FTimers.erase(this);
  ReleaseTimerWindow();
}

bool TSimpleTimer::Activate() {
  if (FInterval == 0) return false;
  if (FEnabled) Deactivate(true);
  if (!gHandler || SetTimer(gHandler->WindowHandle(), FId, FInterval, nullptr) == 0) return false;
  FEnabled = true;
  return true;
}

bool TSimpleTimer::Deactivate(bool ClearEnabled) {
  if (ClearEnabled) FEnabled = false;
  return gHandler && KillTimer(gHandler->WindowHandle(), FId);
}

void TSimpleTimer::SetEnabled(bool Value) {
  if (Value) Activate();
  else Deactivate(true);
}

void TSimpleTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  if (!FEnabled) return;
  if (Value != 0) Activate();
  else Deactivate(false);
}

void TSimpleTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  if (!FOnTimer && FEnabled) Deactivate(false);
}
