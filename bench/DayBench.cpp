// A shop's whole day on the virtual clock: 50 broadcast tasks (single, repeating, clashing,
// with preludes and repeats) and 200 songs in 3 categories over 4 weekly slots. Each run checks
// that every task played at its second, and reports the real and CPU time the day took.
#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/option.h"
#include "app/week.h"
#include "platform/classes/Resources.h"
#include "platform/data/Sqlite.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/SystemServices.h"

namespace {

std::string Hms(int Seconds) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", Seconds / 3600, Seconds / 60 % 60, Seconds % 60);
  return buf;
}

// The simulated engine, noting the wall second of every file it opens.
class TimedEngine : public test::SimulatedEngine {
 public:
  std::unique_ptr<media::Stream> Open(const std::string& path) override {
    Opens.emplace_back(path.substr(path.rfind('/') + 1), static_cast<int>(TimeOf(Now()) * 86400 + 1e-6));
    return SimulatedEngine::Open(path);
  }
  std::vector<std::pair<std::string, int>> Opens;  // file name, second of the day
};

struct Expected {
  std::string Name;
  std::vector<int> Firings;  // the seconds it is due at
  bool Prelude = false;      // each firing starts with the prelude
  int Plays = 0;             // broadcasts of the task's own file over the day
};

struct DayResult {
  int Tasks = 0;
  int TasksOnTime = 0;
  int Broadcasts = 0;
  int Songs = 0;
  std::string Failure;
};

DayResult RunDay() {
  TimedEngine engine;
  test::TSystemServices services;
  media::SetEngine(&engine);
  test::THeadlessApp app(test::LocalDateTime(2026, 1, 5, 0, 0, 5));
  std::string dir = app.ExeDir();
  data::CreateDatabase(dir + "VN.dll", std::string(FindResourceFile("schema/VN.sql").View()));
  auto db = data::SqliteDatabase::OpenExisting(dir + "VN.dll");
  auto audio = [&](const std::string& name, int64_t ms) {
    std::ofstream(dir + name, std::ios::binary) << "audio";
    engine.AddFile(dir + name, ms);
    return dir + name;
  };
  std::string prelude = audio("ding.mp3", 2000);
  std::vector<Expected> expected;
  auto task = [&](const std::string& name, int at, int num, bool befrom, int bew = 0, int start = 0, int end = 0) {
    std::string path = audio(name + ".mp3", 6000);
    db->Exec("insert into db (use, filename, filenameall, status, startime, endtime, num, moreplay, bew, ptime, befrom,"
             " stardate, enddate, week) values (1, '" + name + "', '" + path + "', 0, '" + Hms(start) + "', '" +
             Hms(end) + "', " + std::to_string(num) + ", " + (bew ? "1" : "0") + ", " + std::to_string(bew) + ", '" +
             Hms(at) + "', " + (befrom ? "1" : "0") + ", '2026-01-01', '2026-12-31', '1 2 3 4 5 6 7')");
  };
  // 30 single tasks every 25 minutes from 07:00, every third with a prelude, every fifth with repeats.
  for (int i = 0; i < 30; ++i) {
    int at = 7 * 3600 + i * 1500;
    int num = i % 5 == 0 ? 2 : 0;
    task("single" + std::to_string(i), at, num, i % 3 == 0);
    expected.push_back({"single" + std::to_string(i), {at}, i % 3 == 0, num + 1});
  }
  // 5 pairs at the same second: the second of each pair plays 10 s later.
  for (int i = 0; i < 5; ++i) {
    int at = 7 * 3600 + 600 + i * 3000;
    task("pairA" + std::to_string(i), at, 0, false);
    task("pairB" + std::to_string(i), at, 0, false);
    expected.push_back({"pairA" + std::to_string(i), {at}, false, 1});
    expected.push_back({"pairB" + std::to_string(i), {at + 10}, false, 1});
  }
  // 10 repeating tasks, each every 40 minutes inside a two-hour window (the end included), 61
  // minutes apart and 40 s past the minute, so that none meets another task.
  for (int i = 0; i < 10; ++i) {
    int start = 8 * 3600 + 160 + i * 61 * 60;
    int end = start + 7200;
    task("repeat" + std::to_string(i), start, 0, false, 40, start, end);
    expected.push_back({"repeat" + std::to_string(i), {start, start + 2400, start + 4800, start + 7200}, false, 4});
  }
  // 200 songs in categories 1..3, slots of 2 hours.
  for (int i = 0; i < 200; ++i) {
    std::string name = "song" + std::to_string(i);
    std::string path = audio(name + ".mp3", 150000 + i * 997 % 90000);
    db->Exec("insert into music (name, namepath, status, timel) values ('" + name + "', '" + path + "', " +
             std::to_string(1 + i % 3) + ", '03:00')");
  }
  for (auto [from, to, cat] : {std::tuple{"08:00:00", "10:00:00", 1}, std::tuple{"11:00:00", "13:00:00", 2},
                               std::tuple{"14:00:00", "16:00:00", 3}, std::tuple{"17:00:00", "19:00:00", 1}})
    db->Exec(std::string("insert into musictype_do values ('") + from + "', '" + to + "', '1 2 3 4 5 6 7', " +
             std::to_string(cat) + ", 'c')");
  {
    std::ofstream ini(dir + "config.ini", std::ios::binary);
    ini << "[set]\r\n自动运行=是\r\n广播音量=8\r\n音乐音量=5\r\n时段播放=是\r\n播放时暂停音乐=是\r\n"
           "播放完播放音乐=是\r\n随程序启动播放音乐时间段=是\r\n播放音乐启动时间段起=00:00:00\r\n"
           "播放音乐启动时间段止=23:59:59\r\n前奏音量=40\r\n播放时先播放=" << prelude << "\r\n";
  }
  Application->SetTitle("Ostrovel");
  Application->CreateForm(Form1);
  Application->CreateForm(Form2);
  Application->CreateForm(Form3);
  app.RunUntilWallTime(test::LocalDateTime(2026, 1, 5, 23, 59, 50));

  DayResult result;
  std::map<std::string, int> plays;
  std::map<std::pair<std::string, int>, bool> openedAt;
  for (const auto& [file, second] : engine.Opens) {
    ++plays[file];
    openedAt[{file, second}] = true;
    if (file.rfind("song", 0) == 0) ++result.Songs;
    else if (file != "ding.mp3") ++result.Broadcasts;
  }
  for (const Expected& e : expected) {
    ++result.Tasks;
    bool onTime = plays[e.Name + ".mp3"] == e.Plays;
    for (int due : e.Firings) onTime = onTime && openedAt[{e.Prelude ? "ding.mp3" : e.Name + ".mp3", due}];
    if (onTime)
      ++result.TasksOnTime;
    else if (result.Failure.empty())
      result.Failure = e.Name + " due at " + Hms(e.Firings.front()) + ": " + std::to_string(plays[e.Name + ".mp3"]) +
                       " plays (expected " + std::to_string(e.Plays) + ")";
  }
  Form1 = nullptr;
  Form2 = nullptr;
  Form3 = nullptr;
  return result;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ShopDay(benchmark::State& state) {
  DayResult result;
  double cpu = 0;
  for (auto _ : state) {
    double before = CpuSeconds();
    result = RunDay();
    cpu += CpuSeconds() - before;
    if (result.TasksOnTime != result.Tasks) {
      state.SkipWithError(("a task missed its second: " + result.Failure).c_str());
      break;
    }
  }
  state.counters["tasks"] = result.Tasks;
  state.counters["tasks_on_time"] = result.TasksOnTime;
  state.counters["broadcasts"] = result.Broadcasts;
  state.counters["songs"] = result.Songs;
  state.counters["cpu_s_per_day"] = cpu / static_cast<double>(state.iterations() ? state.iterations() : 1);
}
BENCHMARK(BM_ShopDay)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
