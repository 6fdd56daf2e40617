#pragma once
// The one clock of the program: wall time for Now/Date/Time, SQL and the log, and a
// monotonic millisecond count for timers. Tests install a virtual clock that only moves
// when told to (the event loop advances it to the next due timer).
#include <atomic>
#include <cstdint>

#include "platform/rtl/System.h"

namespace rtl {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local wall time as a date-time.
  virtual TDateTime WallNow() = 0;
  // Milliseconds from an arbitrary origin; never goes backwards.
  virtual int64_t MonotonicMs() = 0;
  // Blocks the calling thread (real clock) or moves time forward (virtual clock).
  virtual void SleepMs(uint32_t ms) = 0;
  // True for a clock that moves only when advanced.
  virtual bool IsVirtual() const { return false; }
};

class RealClock : public Clock {
 public:
  TDateTime WallNow() override;
  int64_t MonotonicMs() override;
  void SleepMs(uint32_t ms) override;
};

// Time that stands still until advanced. Wall time = start wall time + elapsed.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(TDateTime start) : FStart(start) {}
  TDateTime WallNow() override;
  int64_t MonotonicMs() override { return FElapsedMs.load(); }
  void SleepMs(uint32_t ms) override { Advance(ms); }
  bool IsVirtual() const override { return true; }
  void Advance(int64_t ms) { if (ms > 0) FElapsedMs += ms; }
  // Moves the clock forward to the given monotonic instant (never backwards).
  void AdvanceTo(int64_t monotonicMs);
  // Sets the wall time without moving the monotonic clock (a user changing the system time).
  void SetWallNow(TDateTime now);

 private:
  TDateTime FStart;
  std::atomic<int64_t> FElapsedMs{0};
};

// The clock in use (the real one unless a test installed another).
Clock& CurrentClock();
// Installs a clock; nullptr restores the real clock. The caller keeps ownership.
void SetClock(Clock* clock);

}  // namespace rtl
