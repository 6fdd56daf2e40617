#pragma once
// A light interval timer that is a plain object: all such timers share one hidden window,
// made with the first timer and destroyed with the last, which receives the window-timer
// messages and hands each to its timer.
#include <set>

#include "platform/classes/Component.h"
#include "platform/os/Window.h"

class TSimpleTimer;

// Owns the shared hidden window and counts the timers using it.
class TSimpleTimerHandler : public TObject {
 public:
  TSimpleTimerHandler();
  ~TSimpleTimerHandler() override;
  TSimpleTimerHandler(const TSimpleTimerHandler&) = delete;
  TSimpleTimerHandler& operator=(const TSimpleTimerHandler&) = delete;

  int RefCount() const { return FRefCount; }
  HWND WindowHandle() const { return FWindowHandle; }
  // The shared window's procedure: WM_TIMER goes to the timer it names, the rest to DefWindowProc.
  void HandleTimerMessage(TMessage& Message);

 private:
  friend void AcquireTimerWindow();
  friend void ReleaseTimerWindow();
  friend class TSimpleTimer;
  int FRefCount = 0;
  HWND FWindowHandle = nullptr;
  // The live timers: a tick names its timer by address, so only these are trusted.
  std::set<TSimpleTimer*> FTimers;
};

// Makes the shared handler (and window) when there is none, and counts one more user.
void AcquireTimerWindow();
// Counts one user less (never below 0); the last one frees the handler and its window.
void ReleaseTimerWindow();
// The shared handler, or nullptr while no timer exists.
TSimpleTimerHandler* SimpleTimerHandler();

class TSimpleTimer : public TObject {
 public:
  // A stopped timer of 1000 ms without handler.
  TSimpleTimer();
  // A stopped timer with that interval and handler.
  TSimpleTimer(UINT AInterval, TNotifyEvent AOnTimer);
  ~TSimpleTimer() override;
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  // Starts (or restarts) the window timer; false with Interval 0 or when no timer could be set.
  bool Activate();
  // Kills the window timer, returning whether there was one. With ClearEnabled false, Enabled
  // keeps its value: a running timer is then paused.
  bool Deactivate(bool ClearEnabled);

  // The window-timer identifier: the object's own address, so no two live timers share it.
  UINT_PTR Id() const { return FId; }
  bool Enabled() const { return FEnabled; }
  // true: Activate (restarting a running timer's period); false: Deactivate(true).
  void SetEnabled(bool Value);
  UINT Interval() const { return FInterval; }
  // A different value is stored; a running timer restarts with it, or pauses when it is 0.
  void SetInterval(UINT Value);
  // Stops the timer at its first expiry.
  bool OneShot() const { return FOneShot; }
  void SetOneShot(bool Value) { FOneShot = Value; }
  // The handler has a setter because emptying it pauses a running timer.
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);

 private:
  UINT_PTR FId = 0;
  bool FEnabled = false;
  UINT FInterval = 1000;
  bool FOneShot = false;
  TNotifyEvent FOnTimer;
};
