#pragma once
// The player on the headless application: a schedule database and config.ini in the
// temporary executable folder, the simulated sound engine and the service recorders, and the
// three windows made as the program's main block makes them. Time is virtual: a day of
// scheduling runs in well under a second.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/option.h"
#include "app/week.h"
#include "platform/classes/Resources.h"
#include "platform/data/Sqlite.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/IniFiles.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/SystemServices.h"

namespace apptest {

// A broadcast task row as the task editor leaves it.
struct Task {
  std::string Name;
  std::string PTime;                 // "hh:nn:ss"
  int Num = 0;                       // immediate repeats
  bool MorePlay = false;
  int Bew = 0;                       // repetition interval in minutes
  std::string StarTime{}, EndTime{};  // repetition window
  bool BeFrom = false;               // a prelude may come first
  std::string BeFromPath{};          // the task's own prelude ("" = none)
  std::string Week = "1 2 3 4 5 6 7";
  bool Use = true;
  std::string Path{};                // "" = "<ExeDir><Name>.mp3"
  std::string StarDate = "2026-01-01", EndDate = "2026-12-31";
};

using Lines = std::vector<std::string>;

// One step of the broadcast and music levels on the mixer.
constexpr int kLevel = 6553;

// Options that most mornings share: automatic mode, broadcast level 8 and music level 5, music
// paused for a broadcast and brought back after it, music from start-up inside 07:00-23:00.
inline std::map<std::string, std::string> ShopOptions() {
  return {{"自动运行", "是"},          {"广播音量", "8"},
          {"音乐音量", "5"},           {"播放时暂停音乐", "是"},
          {"播放完播放音乐", "是"},    {"随程序启动播放音乐时间段", "是"},
          {"播放音乐启动时间段起", "07:00:00"}, {"播放音乐启动时间段止", "23:00:00"}};
}

// The states of a bar's buttons as "a|b|c": each "on" or "off" as it is enabled, after a "-"
// when it is hidden.
inline std::string ButtonStates(std::initializer_list<TControl*> Buttons) {
  std::string out;
  for (TControl* b : Buttons)
    out += std::string(out.empty() ? "" : "|") + (b->Visible() ? "" : "-") + (b->Enabled() ? "on" : "off");
  return out;
}

class AppTest : public ::testing::Test {
 protected:
  explicit AppTest(TDateTime Start = test::LocalDateTime(2026, 1, 5, 7, 59, 0)) : App(Start) {
    TResourceData schema = FindResourceFile("schema/VN.sql");
    data::CreateDatabase(App.PathInExeDir("VN.dll"), std::string(schema.View()));
    Db = data::SqliteDatabase::OpenExisting(App.PathInExeDir("VN.dll"));
    Application->SetTitle("Ostrovel");
  }
  ~AppTest() override {
    Db.reset();
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
  }

  // ---- before the start ----
  // config.ini with the given keys of section "set".
  void WriteConfig(const std::map<std::string, std::string>& Keys) {
    std::ofstream out(App.PathInExeDir("config.ini"), std::ios::binary);
    out << "[set]\r\n";
    for (const auto& [k, v] : Keys) out << k << "=" << v << "\r\n";
  }
  // An audio file on disk that the engine plays for LengthMs.
  std::string AddAudio(const std::string& Name, int64_t LengthMs) {
    std::string path = App.PathInExeDir(Name);
    std::ofstream(path, std::ios::binary) << "audio";
    Services.Engine.AddFile(path, LengthMs);
    return path;
  }
  int AddTask(const Task& T, int64_t LengthMs = 20 * test::kSecond) {
    std::string path = T.Path.empty() ? AddAudio(T.Name + ".mp3", LengthMs) : T.Path;
    auto text = [](const std::string& s) { return s.empty() ? std::string("null") : "'" + s + "'"; };
    Db->Exec("insert into db (use, filename, filenameall, status, startime, endtime, num, moreplay, bew, ptime, "
             "befrom, befromy, befromname, befrompath, stardate, enddate, week, timel) values (" +
             std::to_string(T.Use) + ", " + text(T.Name) + ", " + text(path) + ", 0, " + text(T.StarTime) + ", " +
             text(T.EndTime) + ", " + std::to_string(T.Num) + ", " + std::to_string(T.MorePlay) + ", " +
             std::to_string(T.Bew) + ", " + text(T.PTime) + ", " + std::to_string(T.BeFrom) + ", " +
             std::to_string(!T.BeFromPath.empty()) + ", " +
             text(T.BeFromPath.substr(T.BeFromPath.rfind('/') == std::string::npos ? 0 : T.BeFromPath.rfind('/') + 1)) +
             ", " + text(T.BeFromPath) + ", " + text(T.StarDate) + ", " + text(T.EndDate) + ", " + text(T.Week) +
             ", '00:20')");
    return static_cast<int>(Db->LastInsertRowId());
  }
  int AddSong(const std::string& Name, int Category, int64_t LengthMs, bool OnDisk = true) {
    std::string path = OnDisk ? AddAudio(Name + ".mp3", LengthMs) : App.PathInExeDir(Name + ".mp3");
    Db->Exec("insert into music (name, namepath, status, timel) values ('" + Name + "', '" + path + "', " +
             std::to_string(Category) + ", '03:00')");
    return static_cast<int>(Db->LastInsertRowId());
  }
  // A song whose file is on disk but cannot be opened by the engine.
  int AddBrokenSong(const std::string& Name) {
    std::string path = App.PathInExeDir(Name + ".mp3");
    std::ofstream(path, std::ios::binary) << "x";
    Services.Engine.AddFailingFile(path);
    Db->Exec("insert into music (name, namepath) values ('" + Name + "', '" + path + "')");
    return static_cast<int>(Db->LastInsertRowId());
  }
  // The resume row of a music list (idset 0: all songs; else a category).
  void AddResumeRow(int IdSet, int SongId, int64_t PositionMs) {
    Db->Exec("insert into music_Position (id, FileName, Position, idset) values (" + std::to_string(SongId) +
             ", 'saved', " + std::to_string(PositionMs) + ", " + std::to_string(IdSet) + ")");
  }
  // Songs "all" (no category), then "first" and "second" of Category, two hours each, with
  // Category's list saved at "second", 40 s in.
  void AddACategoryWithASavedTrack(int Category) {
    AddSong("all", 0, 2 * test::kHour);
    AddSong("first", Category, 2 * test::kHour);
    AddResumeRow(Category, AddSong("second", Category, 2 * test::kHour), 40 * test::kSecond);
  }
  void AddSlot(const std::string& Start, const std::string& End, int Category, const std::string& Week = "1 2 3 4 5 6 7") {
    Db->Exec("insert into musictype_do (starttime, endtime, week, idset, idsetname) values ('" + Start + "', '" + End +
             "', '" + Week + "', " + std::to_string(Category) + ", 'c" + std::to_string(Category) + "')");
  }

  // The shop's options with no music at start-up and a 10-s prelude "ding.mp3" for every task
  // that allows one; two such tasks of 5 s, "notice" at 08:00:00 and "later" at 08:01:00.
  void AddTwoTasksWithAPrelude() {
    auto options = ShopOptions();
    options["随程序启动播放音乐时间段"] = "否";
    options["播放时先播放"] = AddAudio("ding.mp3", 10 * test::kSecond);
    WriteConfig(options);
    AddTask({.Name = "notice", .PTime = "08:00:00", .BeFrom = true}, 5 * test::kSecond);
    AddTask({.Name = "later", .PTime = "08:01:00", .BeFrom = true}, 5 * test::kSecond);
  }

  // ---- the program ----
  // The main block's windows, in its order.
  void StartProgram() {
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
  }
  void RunUntil(int Hour, int Minute, int Second) {
    App.RunUntilWallTime(test::LocalDateTime(2026, 1, 5, Hour, Minute, Second));
  }

  // ---- afterwards ----
  // One column of a task row, as text.
  std::string TaskValue(int No, const std::string& Column) { return Scalar("select " + Column + " from db where no=" + std::to_string(No)); }
  std::string Scalar(const std::string& Sql) {
    data::SqliteStatement s(*Db, Sql);
    if (!s.Step()) return "<none>";
    data::Value v = s.Column(0);
    if (std::holds_alternative<std::string>(v)) return std::get<std::string>(v);
    if (std::holds_alternative<int64_t>(v)) return std::to_string(std::get<int64_t>(v));
    if (std::holds_alternative<double>(v)) return std::to_string(std::get<double>(v));
    return "null";
  }
  std::string ErrLog() {
    std::ifstream in(App.PathInExeDir("err.txt"), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The engine's calls of one kind ("play", "open"...), with their paths' file names.
  std::vector<std::string> Calls(const std::string& Kind) {
    std::vector<std::string> out;
    for (const std::string& c : Services.Engine.Calls()) {
      if (c.rfind(Kind + " ", 0) != 0) continue;
      std::string rest = c.substr(Kind.size() + 1);
      size_t slash = rest.rfind('/');
      out.push_back(slash == std::string::npos ? rest : rest.substr(slash + 1));
    }
    return out;
  }
  // The programs started through the shell ("quorvex.exe", "shutdown.exe -s -f -t 10").
  std::vector<std::string> Started() {
    std::vector<std::string> out;
    for (const auto& r : Services.Launcher.Requests()) {
      std::string file = r.file.substr(r.file.rfind('/') == std::string::npos ? 0 : r.file.rfind('/') + 1);
      out.push_back(r.params.empty() ? file : file + " " + r.params);
    }
    return out;
  }
  std::vector<int> MixerLevels() {
    std::vector<int> out;
    for (auto [l, r] : Services.Mixer.Values()) out.push_back(l);
    return out;
  }

  test::THeadlessApp App;
  test::TSystemServices Services;
  std::unique_ptr<data::SqliteDatabase> Db;
};

}  // namespace apptest
