#include "platform/controls/ExtCtrls.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Forms.h"
#include "platform/os/Timers.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  UpdateTimer();
}

TTimer::~TTimer() {
  *FAlive = false;
  FEnabled = false;
  DeallocateHWnd(FWindowHandle);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, kTimerId);
  if (FEnabled && FInterval != 0 && SetTimer(FWindowHandle, kTimerId, FInterval, nullptr) == 0)
    throw EOutOfResources("Not enough timers available");
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  try {
    Timer();
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

void TTimer::Timer() {
  if (FInTimer || !OnTimer) return;
  std::shared_ptr<bool> alive = FAlive;
  FInTimer = true;
  struct TReset {
    TTimer* Self;
    std::shared_ptr<bool>& Alive;
    ~TReset() {
      if (*Alive) Self->FInTimer = false;
    }
  } reset{this, alive};
  TNotifyEvent handler = OnTimer;  // the handler may replace itself or free the timer
  handler(this);
}

static const classes::TPublished<TTimer, TComponent> TimerInfo([](classes::TPublisher<TTimer>& p) {
  p.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  p.Int("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  p.Event("OnTimer", &TTimer::OnTimer);
});
