#pragma once
// The headless message loop below the application: a virtual clock that starts at a chosen
// local date-time, a temporary folder standing for the executable's folder and the headless
// presenter (window snapshots). RunFor / RunUntil pump the window manager's messages and move
// virtual time from one timer deadline to the next, so a day of timers takes milliseconds.
// Tests of the layers below the controls use it as it is; THeadlessApp (HeadlessApp.h) runs
// the same loop through the global Application.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/backends/HeadlessPresenter.h"
#include "platform/rtl/Clock.h"

namespace test {

// Local wall time as a date-time value (for the clock's start).
TDateTime LocalDateTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0, int Second = 0);

constexpr int64_t kSecond = 1000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;

class THeadlessLoop {
 public:
  enum TClockKind { VirtualTime, RealTime };

  // Monday 2026-01-05 08:00:00 unless told otherwise.
  explicit THeadlessLoop(TDateTime Start = LocalDateTime(2026, 1, 5, 8, 0, 0), TClockKind Kind = VirtualTime);
  virtual ~THeadlessLoop();
  THeadlessLoop(const THeadlessLoop&) = delete;
  THeadlessLoop& operator=(const THeadlessLoop&) = delete;

  // The virtual clock (fails the test under real time).
  rtl::VirtualClock& Clock();
  // Milliseconds of monotonic time since the fixture started.
  int64_t ElapsedMs() const;

  // The temporary folder standing for the executable's folder, with a trailing "/".
  const std::string& ExeDir() const { return FExeDir; }
  // "<ExeDir>ostrovel": what the program sees as its own path (rtl::ExePath, ParamStr(0),
  // Application->ExeName).
  std::string ExePath() const { return FExeDir + "ostrovel"; }
  // A file beside the executable.
  std::string PathInExeDir(const std::string& Name) const { return FExeDir + Name; }

  // Handles messages and timers for Ms milliseconds of (virtual or real) time: everything due
  // up to and including the end runs, in deadline order. Stops early once the loop is ended
  // (WM_QUIT, or the application terminated).
  void RunFor(int64_t Ms);
  // As RunFor, but returns true as soon as Done() holds (checked before each message);
  // false when LimitMs passed first.
  bool RunUntil(const std::function<bool()>& Done, int64_t LimitMs);
  // RunFor until the wall clock shows When (nothing when it is already past).
  void RunUntilWallTime(TDateTime When);

  // What the program shows: window snapshots, the cursor, the capture, the beeps.
  backends::THeadlessPresenter& Presenter() { return *FPresenter; }

 protected:
  // One turn of the loop, as the application's loop takes them: Dispatch takes and handles
  // one message (false when there is none), Idle runs when there is nothing (true when the
  // loop may wait), Ended tells that the loop is over, Failed is called in the handler of an
  // exception a message let out (the bare loop lets it go on to the test).
  virtual bool Dispatch();
  virtual bool Idle() { return true; }
  virtual bool Ended() const { return FQuit; }
  virtual void Failed() { throw; }

 private:
  bool Pump(int64_t End, const std::function<bool()>& Done);
  bool PumpRealTime(int64_t End, const std::function<bool()>& Done);

  std::unique_ptr<rtl::VirtualClock> FClock;
  int64_t FStartMs = 0;
  std::string FExeDir;
  std::unique_ptr<backends::THeadlessPresenter> FPresenter;
  bool FQuit = false;
};

}  // namespace test
