#pragma once
// The headless application every test runs on: a virtual clock that starts at a chosen local
// date-time, a temporary folder standing for the executable's folder, the headless presenter
// (window snapshots) and the global Application. RunFor / RunUntil pump the message loop and move virtual time from one timer
// deadline to the next, so a day of timers takes milliseconds.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/backends/HeadlessPresenter.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Clock.h"

namespace test {

// Local wall time as a date-time value (for the clock's start).
TDateTime LocalDateTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0, int Second = 0);

constexpr int64_t kSecond = 1000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;

class THeadlessApp {
 public:
  enum TClockKind { VirtualTime, RealTime };

  // Monday 2026-01-05 08:00:00 unless told otherwise.
  explicit THeadlessApp(TDateTime Start = LocalDateTime(2026, 1, 5, 8, 0, 0), TClockKind Kind = VirtualTime);
  ~THeadlessApp();
  THeadlessApp(const THeadlessApp&) = delete;
  THeadlessApp& operator=(const THeadlessApp&) = delete;

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
  // up to and including the end runs, in deadline order. Stops early once the application is
  // terminated.
  void RunFor(int64_t Ms);
  // As RunFor, but returns true as soon as Done() holds (checked before each message);
  // false when LimitMs passed first.
  bool RunUntil(const std::function<bool()>& Done, int64_t LimitMs);
  // RunFor until the wall clock shows When (nothing when it is already past).
  void RunUntilWallTime(TDateTime When);
  // Handles what is there now, without moving time.
  void ProcessMessages() { Application->ProcessMessages(); }

  // What the program shows: window snapshots, the cursor, the capture, the beeps.
  backends::THeadlessPresenter& Presenter() { return *FPresenter; }

 private:
  bool Pump(int64_t End, const std::function<bool()>& Done);
  bool PumpRealTime(int64_t End, const std::function<bool()>& Done);

  std::unique_ptr<rtl::VirtualClock> FClock;
  int64_t FStartMs = 0;
  std::string FExeDir;
  std::unique_ptr<backends::THeadlessPresenter> FPresenter;
  std::unique_ptr<TApplication> FApplication;
};

// A test with a headless application in App.
class HeadlessTest : public ::testing::Test {
 protected:
  THeadlessApp App;
};

}  // namespace test
