#include "tests/support/HeadlessLoop.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/os/Input.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Timers.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"

namespace test {

TDateTime LocalDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  return TDateTime(EncodeDate(Year, Month, Day).Value + EncodeTime(Hour, Minute, Second, 0).Value);
}

THeadlessLoop::THeadlessLoop(TDateTime Start, TClockKind Kind) {
  if (Kind == VirtualTime) {
    FClock = std::make_unique<rtl::VirtualClock>(Start);
    rtl::SetClock(FClock.get());
  }
  FStartMs = rtl::CurrentClock().MonotonicMs();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/ostrovel-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw EInOutError("Cannot create a temporary folder from " + pattern);
  FExeDir = pattern + "/";
  rtl::SetExePathOverride(ExePath());
  os::ResetThreadQueue();
  FPresenter = std::make_unique<backends::THeadlessPresenter>();
}

THeadlessLoop::~THeadlessLoop() {
  FPresenter.reset();
  os::ResetThreadQueue();
  rtl::SetClock(nullptr);
  rtl::SetExePathOverride("");
  std::error_code ignored;
  std::filesystem::remove_all(FExeDir, ignored);
}

rtl::VirtualClock& THeadlessLoop::Clock() {
  if (!FClock) throw EInvalidOperation("The headless application runs in real time");
  return *FClock;
}

int64_t THeadlessLoop::ElapsedMs() const { return rtl::CurrentClock().MonotonicMs() - FStartMs; }

void THeadlessLoop::RunFor(int64_t Ms) { Pump(rtl::CurrentClock().MonotonicMs() + Ms, nullptr); }

void THeadlessLoop::RunUntilWallTime(TDateTime When) {
  double ms = (When.Value - rtl::CurrentClock().WallNow().Value) * 86400000.0;
  if (ms > 0) RunFor(static_cast<int64_t>(std::llround(ms)));
}

bool THeadlessLoop::RunUntil(const std::function<bool()>& Done, int64_t LimitMs) {
  return Pump(rtl::CurrentClock().MonotonicMs() + LimitMs, Done);
}

bool THeadlessLoop::Dispatch() {
  MSG msg;
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FQuit = true;
    return true;
  }
  TranslateMessage(&msg);
  DispatchMessage(&msg);
  return true;
}

bool THeadlessLoop::Pump(int64_t End, const std::function<bool()>& Done) {
  if (!FClock) return PumpRealTime(End, Done);
  for (;;) {
    if (Done && Done()) return true;
    if (Ended()) return false;
    try {
      if (Dispatch()) continue;
    } catch (...) {
      Failed();
      continue;
    }
    Idle();
    MSG msg;
    if (PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) continue;
    // Nothing to do now: jump to the next deadline when it falls within the run.
    std::optional<int64_t> next = os::NextWakeDeadline();
    if (!next || *next > End) break;
    FClock->AdvanceTo(*next);
  }
  FClock->AdvanceTo(End);
  return Done && Done();
}

bool THeadlessLoop::PumpRealTime(int64_t End, const std::function<bool()>& Done) {
  // A window-less timer wakes the blocked loop at the end of the run.
  rtl::Clock& clock = rtl::CurrentClock();
  auto remaining = [&] { return End - clock.MonotonicMs(); };
  UINT_PTR wake = remaining() > 0 ? SetTimer(nullptr, 0, static_cast<UINT>(remaining()), nullptr) : 0;
  bool done = false;
  while (!(done = Done && Done()) && !Ended() && remaining() > 0) {
    try {
      if (!Dispatch() && Idle() && !Ended()) WaitMessage();
    } catch (...) {
      Failed();
    }
  }
  if (wake) KillTimer(nullptr, wake);
  return done;
}

}  // namespace test
