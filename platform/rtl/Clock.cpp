#include "platform/rtl/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace rtl {

namespace {
RealClock gRealClock;
std::atomic<Clock*> gClock{&gRealClock};
constexpr double kMsPerDay = 86400000.0;
// Days from 1899-12-30 to 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;
}  // namespace

TDateTime RealClock::WallNow() {
  using namespace std::chrono;
  auto now = system_clock::now();
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
  std::time_t secs = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&secs, &local);
  // Local time = UTC + the zone's offset at that instant.
  double localMs = static_cast<double>(ms) + static_cast<double>(local.tm_gmtoff) * 1000.0;
  return TDateTime(kUnixEpochDays + localMs / kMsPerDay);
}

int64_t RealClock::MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TDateTime VirtualClock::WallNow() {
  return TDateTime(FStart.Value + static_cast<double>(FElapsedMs.load()) / kMsPerDay);
}

void VirtualClock::AdvanceTo(int64_t monotonicMs) {
  int64_t current = FElapsedMs.load();
  while (monotonicMs > current && !FElapsedMs.compare_exchange_weak(current, monotonicMs)) {
  }
}

void VirtualClock::SetWallNow(TDateTime now) {
  FStart = TDateTime(now.Value - static_cast<double>(FElapsedMs.load()) / kMsPerDay);
}

Clock& CurrentClock() { return *gClock.load(); }

void SetClock(Clock* clock) { gClock.store(clock ? clock : &gRealClock); }

}  // namespace rtl
