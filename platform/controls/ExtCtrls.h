#pragma once
// TTimer: a component that calls OnTimer every Interval milliseconds through a hidden window.
// It publishes Enabled, Interval and OnTimer, so window definitions can hold timers.
#include <memory>

#include "platform/classes/Component.h"
#include "platform/os/Window.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  // Enabling a disabled timer starts a new period: the next tick is one Interval away. Setting
  // the value it already has changes nothing, so a running timer keeps its rhythm.
  void SetEnabled(bool Value);
  UINT Interval() const { return FInterval; }
  // A new value restarts the period; 0 stops the ticks (Enabled keeps its value).
  void SetInterval(UINT Value);

  // Called on each tick unless the previous call has not returned yet (a nested message loop
  // inside the handler does not call it again). An exception escaping it goes to
  // Application->HandleException.
  TNotifyEvent OnTimer;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& Message);

  bool FEnabled = true;
  UINT FInterval = 1000;
  HWND FWindowHandle = nullptr;
  bool FInTimer = false;
  // Cleared by the destructor, so a handler that frees its own timer is noticed.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
