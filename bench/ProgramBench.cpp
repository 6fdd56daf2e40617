// The whole program on the real clock, each run in a fresh process of its own (this program
// started again with --child), with a schedule database of 1,000 broadcast tasks and 10,000
// songs, in automatic mode, headless, on the real sound engine (the master volume and the
// programs it would start are only recorded, so the machine is left as it is):
//   - start-up: from the start of the process to the tray icon registered, and to the end of
//     the main window's create handler (the rows loaded, the last start-up balloon shown);
//   - resident memory once start-up is over (after the 1.5 s recompute of repeating tasks);
//   - CPU seconds per hour of idle waiting: a real minute with no task due, scaled to an hour;
//   - firing lateness: 20 tasks spread over a minute, each task's stamped play time against
//     the second it was due, and how long after that second its file started to play.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "app/Locale.h"
#include "app/Unit1.h"
#include "app/option.h"
#include "app/week.h"
#include "platform/backends/HeadlessPresenter.h"
#include "platform/classes/Resources.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/data/Sqlite.h"
#include "platform/media/Engine.h"
#include "platform/media/Mixer.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/shell/Launch.h"
#include "platform/shell/Tray.h"
#include "tests/support/ServiceRecorders.h"

namespace {

constexpr int kTasks = 1000;
constexpr int kSongs = 10000;
constexpr int kFiringTasks = 20;
constexpr int kFiringSpacingS = 3;  // 20 tasks, 3 s apart: a minute
constexpr int kFiringLeadS = 15;    // the first is due this long after the start
constexpr int kIdleSeconds = 60;
constexpr int kStartupSettleMs = 3000;  // start-up is over once the 1.5 s recompute has run

int64_t MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string Hms(int Seconds) {
  Seconds = ((Seconds % 86400) + 86400) % 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", Seconds / 3600, Seconds / 60 % 60, Seconds % 60);
  return buf;
}

int SecondOfDay(TDateTime At) { return static_cast<int>(std::floor((At.Value - std::floor(At.Value)) * 86400 + 1e-6)); }

// "hh:nn:ss" as seconds of the day; -1 for anything else.
int SecondsOfText(const std::string& Text) {
  int h = 0, m = 0, sec = 0;
  if (std::sscanf(Text.c_str(), "%d:%d:%d", &h, &m, &sec) != 3) return -1;
  return h * 3600 + m * 60 + sec;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// ---- the program's folder ----

// VN.dll with 1,000 tasks due away from the next few minutes, 10,000 songs in three
// categories, and config.ini in automatic mode with the starting volumes; Firing adds the 20
// tasks spread over the coming minute, playing Audio.
void PrepareFolder(const std::string& Dir, bool Firing, const std::string& Audio) {
  std::filesystem::create_directories(Dir);
  const std::string path = Dir + "VN.dll";
  std::filesystem::remove(path);
  data::CreateDatabase(path, std::string(FindResourceFile("schema/VN.sql").View()));
  auto db = data::SqliteDatabase::OpenExisting(path);
  const int now = SecondOfDay(Now());
  db->Exec("begin");
  auto task = [&](const std::string& name, int at, const std::string& file) {
    db->Exec("insert into db (use, filename, filenameall, status, num, moreplay, bew, ptime, befrom, stardate, "
             "enddate, week, timel) values (1, '" + name + "', '" + file + "', 0, 0, 0, 0, '" + Hms(at) +
             "', 0, '2000-01-01', '2099-12-31', '1 2 3 4 5 6 7', '00:01')");
  };
  // Every 80 s round the day, leaving out the ten minutes from now.
  for (int i = 0, at = now + 600; i < kTasks; ++i, at += 80) task("task" + std::to_string(i), at, Dir + "missing.mp3");
  if (Firing)
    for (int i = 0; i < kFiringTasks; ++i)
      task("fire" + std::to_string(i), now + kFiringLeadS + i * kFiringSpacingS, Audio);
  for (int i = 0; i < kSongs; ++i)
    db->Exec("insert into music (name, namepath, status, timel) values ('song" + std::to_string(i) + "', '" + Dir +
             "song" + std::to_string(i) + ".mp3', " + std::to_string(1 + i % 3) + ", '03:00')");
  db->Exec("commit");
  std::ofstream(Dir + "config.ini", std::ios::binary) << "[set]\r\n自动运行=是\r\n广播音量=8\r\n音乐音量=5\r\n";
}

// ---- the child: the program's main block with its measurements ----

// Tells the parent "name value" lines.
class TReport {
 public:
  explicit TReport(int Fd) : FFd(Fd) {}
  void Say(const std::string& Name, double Value) {
    std::ostringstream line;
    line.precision(15);
    line << Name << ' ' << Value << '\n';
    const std::string s = line.str();
    if (::write(FFd, s.data(), s.size()) < 0) std::perror("report");
  }

 private:
  int FFd;
};

// The notification area of a machine without a desktop, noting when the icon comes and when
// the last start-up balloon shows.
class TStartupTray : public shell::TrayHost {
 public:
  void IconChanged(const shell::TrayIcon&) override {
    if (!IconAt) IconAt = MonotonicNs();
  }
  void BalloonShown(const shell::TrayIcon&, const shell::TrayBalloon& Balloon) override {
    if (Balloon.text == "正在后台运行...") ReadyAt = MonotonicNs();
  }
  int64_t IconAt = 0;
  int64_t ReadyAt = 0;
};

// The real engine, noting when each file starts to play (wall time, milliseconds).
class TTimedEngine : public media::Engine {
 public:
  explicit TTimedEngine(media::Engine& Real) : FReal(Real) {}
  std::unique_ptr<media::Stream> Open(const std::string& Path) override {
    return std::make_unique<TTimedStream>(*this, FReal.Open(Path));
  }
  std::optional<int64_t> ProbeLengthMs(const std::string& Path) override { return FReal.ProbeLengthMs(Path); }
  std::vector<double> Started;  // wall times of the first Play of each stream, in days

 private:
  class TTimedStream : public media::Stream {
   public:
    TTimedStream(TTimedEngine& Owner, std::unique_ptr<media::Stream> Real) : FOwner(Owner), FReal(std::move(Real)) {}
    int64_t LengthMs() override { return FReal->LengthMs(); }
    int64_t PositionMs() override { return FReal->PositionMs(); }
    void Seek(int64_t Ms) override { FReal->Seek(Ms); }
    void Play() override {
      if (!FPlayed) FOwner.Started.push_back(Now().Value);
      FPlayed = true;
      FReal->Play();
    }
    void Pause() override { FReal->Pause(); }
    bool Ended() override { return FReal->Ended(); }
    std::string TakeError() override { return FReal->TakeError(); }
    void SetGain(double Gain) override { FReal->SetGain(Gain); }

   private:
    TTimedEngine& FOwner;
    std::unique_ptr<media::Stream> FReal;
    bool FPlayed = false;
  };
  media::Engine& FReal;
};

// Runs the program's loop on the real clock: each (moment, action) pair runs its action Ms
// after the loop starts, the last one ends the loop.
void RunWithSteps(const std::vector<std::pair<int64_t, std::function<void()>>>& Steps) {
  std::vector<std::unique_ptr<TTimer>> timers;
  for (size_t i = 0; i < Steps.size(); ++i) {
    auto timer = std::make_unique<TTimer>(nullptr);
    timer->SetInterval(static_cast<UINT>(Steps[i].first));
    TTimer* self = timer.get();
    const bool last = i + 1 == Steps.size();
    timer->OnTimer = [self, last, action = Steps[i].second](TObject*) {
      self->SetEnabled(false);
      if (action) action();
      if (last) Application->Terminate();
    };
    timers.push_back(std::move(timer));
  }
  Application->Run();
}

int Child(const std::string& Mode, const std::string& Dir, int Fd, int64_t StartNs) {
  TReport report(Fd);
  rtl::SetExePathOverride(Dir + "ostrovel");
  test::MixerRecorder mixer;
  test::LaunchRecorder launcher;
  media::SetMixer(&mixer);
  shell::SetLauncher(&launcher);
  TTimedEngine engine(media::CurrentEngine());
  media::SetEngine(&engine);
  TStartupTray tray;
  shell::SetTrayHost(&tray);
  {
    TApplication application(nullptr);
    Application = &application;
    application.Initialize();
    application.SetTitle("Ostrovel");
    app::UseProgramDateFormats(FormatSettings(), rtl::ProcessLocaleName());
    backends::THeadlessPresenter presenter;
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    application.CreateForm(Form3);
    if (Mode == "startup") {
      report.Say("tray_ms", (tray.IconAt - StartNs) / 1e6);
      report.Say("ready_ms", (tray.ReadyAt - StartNs) / 1e6);
      // What the program holds: every task and song row.
      report.Say("tasks", Form1->ADOTable1->RecordCount());
      report.Say("songs", Form1->ADOQuery3_music->RecordCount());
      RunWithSteps({{kStartupSettleMs, [&] { report.Say("rss_mb", ResidentMegabytes()); }}});
    } else if (Mode == "idle") {
      double before = 0;
      RunWithSteps({{kStartupSettleMs, [&] { before = CpuSeconds(); }},
                    {kStartupSettleMs + kIdleSeconds * 1000,
                     [&] { report.Say("cpu_s_per_hour", (CpuSeconds() - before) * 3600.0 / kIdleSeconds); }}});
    } else if (Mode == "firing") {
      RunWithSteps({{(kFiringLeadS + kFiringTasks * kFiringSpacingS + 5) * 1000, nullptr}});
      // The stamps: backtime against ptime of the 20 tasks, in whole seconds.
      auto db = data::SqliteDatabase::OpenExisting(Dir + "VN.dll");
      data::SqliteStatement rows(*db, "select ptime, backtime from db where filename like 'fire%' order by ptime");
      std::vector<int> due;
      int stamped = 0, onTheSecond = 0, latest = 0;
      while (rows.Step()) {
        const data::Value ptime = rows.Column(0), backtime = rows.Column(1);
        const int dueAt = SecondsOfText(std::get<std::string>(ptime));
        due.push_back(dueAt);
        if (const auto* back = std::get_if<std::string>(&backtime)) {
          const int late = SecondsOfText(*back) - dueAt;
          ++stamped;
          onTheSecond += late == 0;
          latest = std::max(latest, late);
        }
      }
      report.Say("tasks", static_cast<double>(due.size()));
      report.Say("stamped", stamped);
      report.Say("on_the_second", onTheSecond);
      report.Say("max_stamp_lateness_s", latest);
      // The starts: each play against the due second it belongs to.
      std::vector<double> lateness;
      for (double at : engine.Started) {
        const double second = (at - std::floor(at)) * 86400.0;
        int best = -1;
        for (int d : due)
          if (second >= d && second - d < kFiringSpacingS) best = d;
        if (best >= 0) lateness.push_back((second - best) * 1000.0);
      }
      double sum = 0, worst = 0;
      for (double l : lateness) sum += l, worst = std::max(worst, l);
      report.Say("started", static_cast<double>(lateness.size()));
      report.Say("mean_start_lateness_ms", lateness.empty() ? 0 : sum / static_cast<double>(lateness.size()));
      report.Say("max_start_lateness_ms", worst);
    }
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
  }
  shell::SetTrayHost(nullptr);
  media::SetEngine(nullptr);
  media::SetMixer(nullptr);
  shell::SetLauncher(nullptr);
  ::close(Fd);
  return 0;
}

// ---- the parent: one fresh process per measurement ----

std::map<std::string, double> RunChild(const std::string& Mode, bool Firing) {
  char folder[] = "/tmp/ostrovel-bench-XXXXXX";
  if (!mkdtemp(folder)) return {};
  const std::string dir = std::string(folder) + "/";
  const std::string audio = dir + "tone.mp3";
  std::filesystem::copy_file(std::string(OSTROVEL_SOURCE_DIR) + "/tests/data/tone-1s.mp3", audio);
  PrepareFolder(dir, Firing, audio);
  int fds[2];
  if (pipe(fds) != 0) return {};
  const int64_t start = MonotonicNs();
  const pid_t pid = fork();
  if (pid == 0) {
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]), ns = std::to_string(start);
    execl("/proc/self/exe", "bench_program", "--child", Mode.c_str(), dir.c_str(), fd.c_str(), ns.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(fds[1]);
  std::string text;
  char buf[512];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  std::filesystem::remove_all(dir);
  std::map<std::string, double> figures;
  std::istringstream lines(text);
  std::string name;
  double value = 0;
  while (lines >> name >> value) figures[name] = value;
  return figures;
}

void Report(benchmark::State& State, const std::map<std::string, double>& Figures,
            const std::vector<std::string>& Names) {
  for (const std::string& n : Names) {
    auto it = Figures.find(n);
    if (it == Figures.end()) {
      State.SkipWithError(("the program did not report " + n).c_str());
      return;
    }
    State.counters[n] = it->second;
  }
}

void BM_StartUpWith1000TasksAnd10000Songs(benchmark::State& State) {
  std::map<std::string, double> figures;
  for (auto _ : State) figures = RunChild("startup", false);
  Report(State, figures, {"tray_ms", "ready_ms", "rss_mb", "tasks", "songs"});
}
BENCHMARK(BM_StartUpWith1000TasksAnd10000Songs)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_IdleCpuPerHourOnTheRealClock(benchmark::State& State) {
  std::map<std::string, double> figures;
  for (auto _ : State) figures = RunChild("idle", false);
  Report(State, figures, {"cpu_s_per_hour"});
}
BENCHMARK(BM_IdleCpuPerHourOnTheRealClock)->Unit(benchmark::kSecond)->Iterations(1);

void BM_FiringLatenessOf20TasksOverAMinute(benchmark::State& State) {
  std::map<std::string, double> figures;
  for (auto _ : State) figures = RunChild("firing", true);
  Report(State, figures,
         {"tasks", "stamped", "on_the_second", "max_stamp_lateness_s", "started", "mean_start_lateness_ms",
          "max_start_lateness_ms"});
}
BENCHMARK(BM_FiringLatenessOf20TasksOverAMinute)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
    return Child(argv[2], argv[3], std::atoi(argv[4]), std::stoll(argv[5]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
