// The event loop's cost: a virtual day of the player's timers (how fast scheduling runs) and
// the same timers in real time (how much CPU an idle player takes while they poll).
#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Clock.h"

namespace {

// The intervals of the player's timers: its main window's scheduler, monitors, repeat counter,
// fade-in and slot watch, and its options window's prelude monitor and time-action check.
const std::vector<UINT> kPlayerTimers = {1000, 100, 1000, 100, 300, 1000, 100, 1000};

// Runs the application's loop with the player's timers until `runMs` have passed on the
// clock in use; returns the number of ticks handled.
int64_t RunPlayerTimers(int64_t runMs) {
  TApplication application(nullptr);
  Application = &application;
  int64_t ticks = 0;
  std::vector<std::unique_ptr<TTimer>> timers;
  for (UINT interval : kPlayerTimers) {
    auto timer = std::make_unique<TTimer>(nullptr);
    timer->SetInterval(interval);
    timer->OnTimer = [&ticks](TObject*) { ++ticks; };
    timers.push_back(std::move(timer));
  }
  TTimer end(nullptr);
  end.SetInterval(static_cast<UINT>(runMs));
  end.OnTimer = [](TObject*) { Application->Terminate(); };
  application.Run();
  Application = nullptr;
  return ticks;
}

double CpuSeconds() {
  rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_VirtualDayOfPlayerTimers(benchmark::State& state) {
  constexpr int64_t kDayMs = 24LL * 60 * 60 * 1000;
  int64_t ticks = 0;
  for (auto _ : state) {
    rtl::VirtualClock clock(TDateTime(46027.0));
    rtl::SetClock(&clock);
    ticks = RunPlayerTimers(kDayMs);
    rtl::SetClock(nullptr);
  }
  state.counters["ticks_per_day"] = static_cast<double>(ticks);
  state.counters["ticks_per_s"] =
      benchmark::Counter(static_cast<double>(ticks) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VirtualDayOfPlayerTimers)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IdleCpuOfPlayerTimersOverARealMinute(benchmark::State& state) {
  constexpr int64_t kMinuteMs = 60 * 1000;
  double cpu = 0;
  int64_t ticks = 0;
  for (auto _ : state) {
    const double before = CpuSeconds();
    ticks = RunPlayerTimers(kMinuteMs);
    cpu = CpuSeconds() - before;
  }
  state.counters["cpu_percent"] = 100.0 * cpu / (kMinuteMs / 1000.0);
  state.counters["ticks"] = static_cast<double>(ticks);
}
BENCHMARK(BM_IdleCpuOfPlayerTimersOverARealMinute)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
