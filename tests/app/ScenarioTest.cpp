// A shop's morning on the headless application: the database file, config.ini, err.txt, the
// mixer, the programs started and the tray afterwards. The day starts on Monday 2026-01-05
// at 07:59:00; broadcasts last 20 s unless a test says otherwise.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "tests/app/AppFixture.h"
#include "tests/support/ScriptedAnswers.h"

namespace {

using namespace apptest;

// The values the mixer took from the first time it was set to Value on.
std::vector<int> From(const std::vector<int>& Levels, int Value) {
  auto it = std::find(Levels.begin(), Levels.end(), Value);
  return {it, Levels.end()};
}

// (1) Automatic mode from config.ini: the task fires on its second, its start is stamped, the
// music pauses for it and comes back with the ten-step fade.
TEST_F(AppTest, ATaskFiresOnItsSecondAndTheMusicPausesAndFadesBackIn) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  int no = AddTask({.Name = "sale", .PTime = "08:00:00"});
  StartProgram();
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：自动");
  EXPECT_TRUE(Form1->Timer2->Enabled());
  EXPECT_EQ(Form1->FcPanel5->Caption().find("播出  sale") != std::string::npos, true) << Form1->FcPanel5->Caption();
  RunUntil(7, 59, 59);
  EXPECT_EQ(Calls("play"), Lines{"song.mp3"}) << "the music started a second after start-up";
  Services.Mixer.Clear();
  RunUntil(8, 0, 30);
  EXPECT_EQ(TaskValue(no, "backtime"), "08:00:00");
  EXPECT_EQ(Calls("pause"), Lines{"song.mp3"});
  EXPECT_EQ(Calls("play"), (Lines{"song.mp3", "sale.mp3", "song.mp3"}));
  std::vector<int> levels = MixerLevels();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), 8 * kLevel) << "the broadcast level while it plays";
  // Level 5: trunc(5 k / 10) for k = 1..10, after full volume and the fade's start at 10.
  std::vector<int> fade = {65535, 10};
  for (int k = 1; k <= 10; ++k) fade.push_back(5 * k / 10 * kLevel);
  EXPECT_EQ(From(levels, 65535), fade);
  EXPECT_EQ(ErrLog(), "");
  EXPECT_EQ(Form1->PlayingTaskNo, no);
}

// (2) Two repeats with a prelude: three prelude-then-broadcast pairs, each at the right level.
TEST_F(AppTest, RepeatsPlayThePreludeBeforeEachBroadcast) {
  auto options = ShopOptions();
  std::string prelude = AddAudio("ding.mp3", 3 * test::kSecond);
  options["播放时先播放"] = prelude;
  options["前奏音量"] = "50";
  options["随程序启动播放音乐时间段"] = "否";
  options["播放完播放音乐"] = "否";
  WriteConfig(options);
  int no = AddTask({.Name = "notice", .PTime = "08:00:00", .Num = 2, .BeFrom = true}, 10 * test::kSecond);
  StartProgram();
  RunUntil(8, 2, 0);
  EXPECT_EQ(Calls("play"), (Lines{"ding.mp3", "notice.mp3", "ding.mp3", "notice.mp3", "ding.mp3", "notice.mp3"}));
  std::vector<int> levels = MixerLevels();
  std::vector<int> pair = {50 * 655, 65535, 8 * kLevel};
  std::vector<int> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), pair.begin(), pair.end());
  expected.push_back(65535);
  EXPECT_EQ(levels, expected);
  // Each repeat starts on the counter's first tick once the play before it has ended: the
  // first prelude and play end at 08:00:13, the second at 08:00:26.
  EXPECT_EQ(TaskValue(no, "backtime"), "08:00:26");
  EXPECT_FALSE(Form1->num1->Enabled());
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_EQ(ErrLog(), "");
}

// (3) Three single tasks at the same second: the second and third move 10 s apart, play in
// turn, and each is back at its own time once played.
TEST_F(AppTest, ClashingTasksAreShiftedAndRestored) {
  WriteConfig(ShopOptions());
  int a = AddTask({.Name = "a", .PTime = "08:00:00"}, 5 * test::kSecond);
  int b = AddTask({.Name = "b", .PTime = "08:00:00"}, 5 * test::kSecond);
  int c = AddTask({.Name = "c", .PTime = "08:00:00"}, 5 * test::kSecond);
  StartProgram();
  EXPECT_EQ(TaskValue(b, "ptime") + " " + TaskValue(b, "nexttime") + " " + TaskValue(b, "status"), "08:00:10 08:00:00 1");
  EXPECT_EQ(TaskValue(c, "ptime"), "08:00:10");
  RunUntil(8, 0, 5);
  EXPECT_EQ(TaskValue(c, "ptime") + " " + TaskValue(c, "nexttime") + " " + TaskValue(c, "status"), "08:00:20 08:00:00 1")
      << "shifted twice, it keeps its own time";
  RunUntil(8, 1, 0);
  EXPECT_EQ(Calls("play"), (Lines{"a.mp3", "b.mp3", "c.mp3"}));
  for (auto [no, played] : {std::pair{a, "08:00:00"}, std::pair{b, "08:00:10"}, std::pair{c, "08:00:20"}}) {
    EXPECT_EQ(TaskValue(no, "backtime"), played);
    EXPECT_EQ(TaskValue(no, "ptime"), "08:00:00");
    EXPECT_EQ(TaskValue(no, "status"), no == a ? "0" : "1") << "a shifted task keeps its status";
  }
}

// (4) A repeating task plays at each repetition of its window and then waits at its start for
// the next day.
TEST_F(AppTest, ARepeatingTaskPlaysAcrossItsWindow) {
  WriteConfig(ShopOptions());
  int no = AddTask({.Name = "hourly", .PTime = "07:00:00", .MorePlay = true, .Bew = 30, .StarTime = "08:00:00",
                    .EndTime = "09:00:00"});
  StartProgram();
  RunUntil(7, 59, 5);
  EXPECT_EQ(TaskValue(no, "ptime"), "08:00:00") << "the start-up recompute puts it at its first repetition";
  RunUntil(9, 30, 0);
  EXPECT_EQ(Calls("play"), (Lines{"hourly.mp3", "hourly.mp3", "hourly.mp3"}));
  EXPECT_EQ(TaskValue(no, "backtime"), "09:00:00");
  EXPECT_EQ(TaskValue(no, "ptime") + " " + TaskValue(no, "nexttime"), "08:00:00 08:00:00");
  EXPECT_EQ(Form1->FcPanel5->Caption(), " 没有任务");
}

// The hourly check recomputes a repeating task the list has left behind: here in manual mode,
// where nothing fires; turning automatic mode on then plays it at its next repetition.
TEST_F(AppTest, TheHourlyCheckRecomputesARepeatingTaskLeftBehind) {
  int no = AddTask({.Name = "every20", .PTime = "08:00:00", .MorePlay = true, .Bew = 20, .StarTime = "08:00:00",
                    .EndTime = "12:00:00"});
  StartProgram();
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：手动");
  RunUntil(7, 59, 5);
  EXPECT_EQ(Form1->FcPanel5->Caption(), " " + TimeToStr(EncodeTime(8, 0, 0, 0)) + "  播出  every20")
      << "the start-up recompute's reload names the first task, in manual mode too";
  RunUntil(8, 59, 0);
  EXPECT_FALSE(Form1->Timer2->Enabled()) << "reloads keep manual mode";
  EXPECT_EQ(TaskValue(no, "ptime"), "08:00:00");
  App.RunFor(1500);  // the 3601st tick of the time-action check falls at 08:59:01
  EXPECT_EQ(TaskValue(no, "ptime"), "09:00:00");
  RunUntil(9, 59, 1);
  App.RunFor(500);
  EXPECT_EQ(TaskValue(no, "ptime"), "09:00:00") << "the next look comes 3601 s later";
  App.RunFor(1000);
  EXPECT_EQ(TaskValue(no, "ptime"), "10:00:00");
  Form1->FcRapidFireButton4Click(nullptr);
  RunUntil(10, 1, 0);
  EXPECT_EQ(Calls("play"), Lines{"every20.mp3"});
  EXPECT_EQ(TaskValue(no, "backtime"), "10:00:00");
  EXPECT_EQ(TaskValue(no, "ptime"), "10:20:00");
  EXPECT_EQ(ErrLog(), "") << "what fell due in manual mode is not missed";
}

// (5) Music by time slot: all songs before the slot, the slot's category inside it, a missing
// song purged, the list looping, and each list's resume row.
TEST_F(AppTest, MusicFollowsTheSlotPurgesMissingSongsAndLoops) {
  auto options = ShopOptions();
  options["时段播放"] = "是";
  WriteConfig(options);
  int s1 = AddSong("s1", 3, 170 * test::kSecond);
  int s2 = AddSong("s2", 3, 0, false);
  int s3 = AddSong("s3", 3, 170 * test::kSecond);
  AddSong("s4", 5, 170 * test::kSecond);
  AddSlot("08:00:00", "08:10:00", 3);
  StartProgram();
  RunUntil(7, 59, 30);
  EXPECT_EQ(Calls("play"), Lines{"s1.mp3"});
  EXPECT_EQ(Form1->CategoryFilterOn, 0);
  RunUntil(8, 9, 59);
  EXPECT_EQ(Form1->CategoryFilterOn, 1);
  EXPECT_EQ(Scalar("select count(*) from music where id=" + std::to_string(s2)), "0") << "the missing song is gone";
  // At 08:00 the slot restarts its list at s1; then s3, s1, s3 as each ends (s2 is passed over).
  EXPECT_EQ(Calls("play"), (Lines{"s1.mp3", "s1.mp3", "s3.mp3", "s1.mp3", "s3.mp3"}));
  EXPECT_EQ(Scalar("select id from music_Position where idset=3"), std::to_string(s3));
  RunUntil(8, 10, 30);
  // The slot is over: all songs again, resumed from their own list's row (s1, saved at 07:59:01).
  EXPECT_EQ(Form1->CategoryFilterOn, 0);
  EXPECT_FALSE(Form1->T_musictype->Enabled());
  EXPECT_EQ(Calls("play").back(), "s1.mp3");
  EXPECT_EQ(Scalar("select count(*) from music_Position"), "2");
  EXPECT_EQ(Scalar("select id from music_Position where idset=0"), std::to_string(s1));
}

// (6) Time actions: the music starts and stops at its times; at the close time the program
// ends without the question, at full volume, and the shutdown is asked for.
TEST_F(AppTest, TimeActionsStartAndStopTheMusicCloseAndShutDown) {
  WriteConfig({{"音乐音量", "6"}, {"指定播放音乐启动时间", "是"}, {"播放音乐启动指定时间", "08:00:00"},
               {"音乐关闭", "是"}, {"音乐关闭时间", "08:30:00"}, {"自动关闭时间", "09:00:00"},
               {"自动关机时间", "09:00:00"}});
  AddSong("calm", 0, 2 * test::kHour);
  test::TScriptedAnswers answers;
  StartProgram();
  RunUntil(8, 0, 1);
  EXPECT_EQ(Calls("play"), Lines{"calm.mp3"});
  RunUntil(8, 30, 1);
  EXPECT_EQ(Calls("close"), Lines{"calm.mp3"});
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpStopped);
  EXPECT_EQ(Scalar("select Position from music_Position where idset=0"), std::to_string(30 * test::kMinute));
  RunUntil(9, 0, 2);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(answers.Shown().empty()) << "no question at the close time: " << answers.ShownTexts();
  EXPECT_EQ(Services.Mixer.Last(), 65535);
  EXPECT_EQ(Started(), Lines{"shutdown.exe -s -f -t 10"});
}

// (7) A broken announcement file and broken songs: the log lines, the music carrying on past
// one song that cannot be opened, and the restart companion only when two fail in a row.
TEST_F(AppTest, BrokenFilesAreLoggedAndTheCompanionStartsOnlyForTwoBrokenSongs) {
  WriteConfig(ShopOptions());
  Services.Engine.AddFailingFile(App.PathInExeDir("bad1.mp3"));
  Services.Engine.AddFailingFile(App.PathInExeDir("bad2.mp3"));
  Services.Engine.AddFailingFile(App.PathInExeDir("bad3.mp3"));
  for (const char* bad : {"bad1.mp3", "bad2.mp3", "bad3.mp3"}) std::ofstream(App.PathInExeDir(bad)) << "x";
  AddTask({.Name = "gone", .PTime = "08:00:00", .Num = 2, .Path = App.PathInExeDir("gone.mp3")});
  Db->Exec("insert into music (name, namepath) values ('bad1', '" + App.PathInExeDir("bad1.mp3") + "')");
  AddSong("good", 0, 30 * test::kSecond);
  Db->Exec("insert into music (name, namepath) values ('bad2', '" + App.PathInExeDir("bad2.mp3") + "')");
  Db->Exec("insert into music (name, namepath) values ('bad3', '" + App.PathInExeDir("bad3.mp3") + "')");
  StartProgram();
  RunUntil(7, 59, 20);
  EXPECT_EQ(Calls("play"), Lines{"good.mp3"}) << "bad1 is passed over";
  EXPECT_TRUE(Started().empty());
  RunUntil(7, 59, 40);
  // good ended at 07:59:31; bad2 and bad3 fail in a row: the music stops, the companion starts.
  EXPECT_EQ(Started(), Lines{"quorvex.exe"});
  RunUntil(8, 0, 2);
  EXPECT_NE(Form1->MediaPlayer2->Mode(), mpPlaying);
  std::string log = ErrLog();
  EXPECT_NE(log.find(" 音乐播放异常！  "), std::string::npos) << log;
  EXPECT_NE(log.find(" bad1\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" bad2\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" bad3\r\n"), std::string::npos) << log;
  std::string gone = "20260105 08:00:00 广播播放异常！ " + App.PathInExeDir("gone.mp3") + "\r\n";
  ASSERT_NE(log.find(gone), std::string::npos) << log;
  EXPECT_EQ(log.find("广播播放异常", log.find(gone) + gone.size()), std::string::npos) << "and its repeats with it: " << log;
  EXPECT_FALSE(Form1->num1->Enabled());
  EXPECT_EQ(Services.Mixer.Last(), 65535) << "the missing announcement ends as a finished one";
  // Its end starts the music again, where bad3 and bad1 fail in a row once more.
  EXPECT_EQ(Started(), (Lines{"quorvex.exe", "quorvex.exe"}));
  EXPECT_FALSE(Form1->Timer1->Enabled());
}

// (8) Busy spells: the clock jumps and no tick runs meanwhile. Every row that fell due in the
// spell either plays (up to 5 s late, in the order of its time, one per tick) or is named once
// in err.txt and moved on (a repeating row to its next repetition, which then plays); none is
// both, none twice, and the rows due later play on their second. Outcomes: the times the row
// starts playing, "missed" for an err.txt line.
struct SpellRow {
  const char* Name;
  const char* PTime;
  const char* Outcome;
  int Bew = 0;  // repeating every Bew minutes inside [Start, End]
  const char* Start = "";
  const char* End = "";
};
struct Spell {
  const char* Id;
  const char* From;  // the clock jumps from this second...
  const char* To;    // ...to 200 ms into this one
  std::vector<SpellRow> Rows;
  // The options window's hourly look at the list comes before the scheduler's tick.
  bool HourlyCheckFirst = false;
};
void PrintTo(const Spell& S, std::ostream* Out) { *Out << S.Id; }
const Spell kSpells[] = {
    {"OneRowLate", "07:59:59", "08:00:03", {{"a", "08:00:00", "08:00:03"}, {"later", "08:01:00", "08:01:00"}}},
    {"OneRowAtTheWindowsEdge", "07:59:59", "08:00:05", {{"a", "08:00:00", "08:00:05"}, {"later", "08:01:00", "08:01:00"}}},
    {"OneRowPastTheWindow", "07:59:59", "08:00:06", {{"a", "08:00:00", "missed"}, {"later", "08:01:00", "08:01:00"}}},
    {"TwoRowsLate",
     "07:59:59",
     "08:00:04",
     {{"a", "08:00:00", "08:00:04"}, {"b", "08:00:02", "08:00:05"}, {"later", "08:01:00", "08:01:00"}}},
    // Nothing else fires before r's next repetition: the list must have moved on past r.
    {"AMissedRepetitionComesBack",
     "07:59:59",
     "08:00:30",
     {{"r", "08:00:00", "missed 08:01:00", 1, "08:00:00", "08:01:00"}, {"later", "08:02:00", "08:02:00"}}},
    // c falls due while b waits for its tick: it is taken before the list is loaded again.
    {"ARowFallsDueWhileOthersWait",
     "07:59:59",
     "08:00:03",
     {{"a", "08:00:00", "08:00:03"}, {"b", "08:00:01", "08:00:04"}, {"c", "08:00:04", "08:00:05"}}},
    {"OneMissedOneLate",
     "07:59:59",
     "08:00:06",
     {{"a", "08:00:00", "missed"}, {"b", "08:00:01", "08:00:06"}, {"later", "08:01:00", "08:01:00"}}},
    {"TwoMissed",
     "07:59:59",
     "08:00:20",
     {{"a", "08:00:00", "missed"}, {"b", "08:00:03", "missed"}, {"later", "08:01:00", "08:01:00"}}},
    // b clashes with a and waits at 08:00:10: 2 s late by its own time, it plays. d and r repeat
    // every minute; d's window ends before its next repetition.
    {"SeveralWithAClash",
     "07:59:59",
     "08:00:12",
     {{"a", "08:00:00", "missed"},
      {"b", "08:00:00", "08:00:13"},
      {"r", "08:00:03", "missed 08:01:03", 1, "08:00:03", "08:01:03"},
      {"c", "08:00:05", "missed"},
      {"d", "08:00:09", "08:00:12", 1, "08:00:09", "08:00:59"},
      {"later", "08:01:00", "08:01:00"}}},
    // Without a reload since the clash the list still holds b at 08:00:00, before c: the
    // rows take their turns by the times they have now.
    {"AClashedRowTakesItsTurn",
     "07:59:59",
     "08:00:12",
     {{"a", "08:00:00", "missed"},
      {"b", "08:00:00", "08:00:13"},
      {"c", "08:00:08", "08:00:12"},
      {"later", "08:01:00", "08:01:00"}}},
    {"AClashedRowMissed",
     "07:59:59",
     "08:00:30",
     {{"a", "08:00:00", "missed"}, {"b", "08:00:00", "missed"}, {"later", "08:01:00", "08:01:00"}}},
    {"MinutesBusy",
     "08:09:58",
     "08:12:58",
     {{"missed", "08:10:00", "missed"},
      {"rep", "08:12:00", "missed 08:22:00", 10, "08:12:00", "08:25:00"},
      {"next", "08:20:00", "08:20:00"}}},
    // Its recompute of the repeating rows must not move r on before r has played.
    {"TheHourlyCheckComesFirst",
     "07:59:59",
     "08:00:02",
     {{"r", "08:00:00", "08:00:03 08:10:00", 10, "08:00:00", "08:15:00"}, {"later", "08:01:00", "08:01:00"}},
     true},
};

class BusySpellTest : public AppTest, public ::testing::WithParamInterface<Spell> {
 protected:
  static TDateTime At(const char* Hms, int Ms = 0) {
    int h = 0, m = 0, s = 0;
    std::sscanf(Hms, "%d:%d:%d", &h, &m, &s);
    return test::LocalDateTime(2026, 1, 5, h, m, s) + Ms / 86400000.0;
  }
};

TEST_P(BusySpellTest, EveryRowPlaysOrIsLoggedOnce) {
  const Spell& spell = GetParam();
  auto options = ShopOptions();
  options["随程序启动播放音乐时间段"] = "否";
  WriteConfig(options);
  std::map<std::string, int> nos;
  for (const SpellRow& r : spell.Rows)
    nos[r.Name] = AddTask({.Name = r.Name, .PTime = r.PTime, .MorePlay = r.Bew != 0, .Bew = r.Bew, .StarTime = r.Start,
                           .EndTime = r.End},
                          3 * test::kSecond);
  StartProgram();
  App.RunUntilWallTime(At(spell.From));
  App.Clock().Advance(static_cast<int64_t>(std::llround((At(spell.To, 200) - At(spell.From)) * 86400000.0)));
  if (spell.HourlyCheckFirst) {
    Form2->TimeActionTickCount = 3600;
    Form2->Timer3Timer(nullptr);
  }
  RunUntil(8, 30, 0);
  std::string log = ErrLog();
  Lines plays = Calls("play");
  int missedRows = 0;
  for (const SpellRow& r : spell.Rows) {
    std::istringstream outcome(r.Outcome);
    Lines starts;
    bool missed = false;
    for (std::string word; outcome >> word;) {
      if (word == "missed") missed = true;
      else starts.push_back(word);
    }
    missedRows += missed;
    std::string line = " 错过播放时间 " + std::string(r.Name) + "\r\n";
    size_t named = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++named;
    EXPECT_EQ(named, missed ? 1u : 0u) << r.Name << "\n" << log;
    EXPECT_EQ(std::count(plays.begin(), plays.end(), std::string(r.Name) + ".mp3"), std::ssize(starts)) << r.Name;
    EXPECT_EQ(TaskValue(nos[r.Name], "backtime"), starts.empty() ? "null" : starts.back()) << r.Name;
    if (r.Bew == 0) {
      EXPECT_EQ(TaskValue(nos[r.Name], "ptime"), r.PTime) << r.Name << " is at its own time again";
    }
  }
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), missedRows) << log;
}

INSTANTIATE_TEST_SUITE_P(Spells, BusySpellTest, ::testing::ValuesIn(kSpells),
                         [](const ::testing::TestParamInfo<Spell>& info) { return std::string(info.param.Id); });

// Start-up: hidden, the tray icon with its balloons, config.ini holding the program's name.
TEST_F(AppTest, StartsHiddenInTheTrayAndWritesItsName) {
  StartProgram();
  EXPECT_FALSE(Application->ShowMainForm());
  EXPECT_FALSE(Form1->Visible());
  Lines events = Services.Tray.Events();
  EXPECT_NE(std::find(events.begin(), events.end(), "add Ostrovel"), events.end()) << ::testing::PrintToString(events);
  std::vector<std::string> balloons;
  for (const auto& b : Services.Tray.Balloons()) balloons.push_back(b.title + "|" + b.text);
  EXPECT_EQ(balloons, (Lines{"Ostrovel|数据加载中...", "Ostrovel|正在后台运行..."}));
  EXPECT_EQ(TIniFile(App.PathInExeDir("config.ini")).ReadString("set", "程序名称", ""), "ostrovel");
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：手动");
  EXPECT_FALSE(Form1->T_musictype->Enabled()) << "no time-slot playback without config.ini";
  EXPECT_EQ(ErrLog(), "");
  // A double-click on the tray icon shows the window; its hide button sends it back.
  Form1->TrayIconEx1DblClick(nullptr);
  App.ProcessMessages();
  EXPECT_TRUE(Form1->Visible());
  Services.Tray.Clear();
  Form1->FcRapidFireButton6->Click();
  App.ProcessMessages();
  EXPECT_FALSE(Form1->Visible());
  ASSERT_EQ(Services.Tray.Balloons().size(), 1u);
  EXPECT_EQ(Services.Tray.Balloons()[0].title + "|" + Services.Tray.Balloons()[0].text, "Ostrovel|正在后台运行...");
}

// Closing (the tray menu's exit, the close button) asks first; cancelling keeps everything
// running, OK saves the paused music's place and ends the program at full volume.
TEST_F(AppTest, ClosingAsksAndSavesThePausedMusic) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  StartProgram();
  RunUntil(8, 1, 1);
  test::TScriptedAnswers answers;
  answers.Answer(IDCANCEL, "真的关闭程序？");
  Form1->N9->Click();
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].Request.Caption, "关闭 Ostrovel");
  EXPECT_EQ(answers.Shown()[0].Request.Flags, UINT(MB_OKCANCEL | MB_ICONQUESTION));
  App.ProcessMessages();
  EXPECT_FALSE(Application->Terminated());
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying) << "the music plays on";
  EXPECT_EQ(Services.Tray.Balloons().back().title + "|" + Services.Tray.Balloons().back().text,
            "Ostrovel正在运行...|您没有选择关闭！");
  Form1->FcRapidFireButton12Click(nullptr);  // pause
  RunUntil(8, 2, 1);
  // The row the pause saved is changed behind the program's back: the close saves it again.
  Db->Exec("update music_Position set Position=0");
  Form1->ADOQuery3_music_po->Close();
  Form1->ADOQuery3_music_po->Open();
  answers.Answer(IDOK, "真的关闭程序？");
  Form1->FcRapidFireButton7->Click();
  EXPECT_EQ(Scalar("select Position from music_Position where idset=0"), std::to_string(2 * test::kMinute));
  EXPECT_EQ(Services.Mixer.Last(), 65535);
  App.ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
}

// A prelude that cannot be played starts the restart companion and says so in an error box;
// the broadcast waiting for it still plays.
TEST_F(AppTest, APreludeThatFailsStartsTheCompanionAndTheBroadcastStillPlays) {
  auto options = ShopOptions();
  options["播放时先播放"] = App.PathInExeDir("broken.mp3");
  WriteConfig(options);
  std::ofstream(App.PathInExeDir("broken.mp3")) << "x";
  Services.Engine.AddFailingFile(App.PathInExeDir("broken.mp3"));
  AddTask({.Name = "notice", .PTime = "08:00:00", .BeFrom = true}, 5 * test::kSecond);
  test::TScriptedAnswers answers;
  answers.Answer(IDOK, "系统播放异常！\r\r稍后程序自动关闭并重新运行。");
  StartProgram();
  RunUntil(8, 0, 30);
  ASSERT_EQ(answers.Shown().size(), 1u) << answers.ShownTexts();
  EXPECT_EQ(answers.Shown()[0].Request.Caption, "播放异常");
  EXPECT_EQ(answers.Shown()[0].Request.Flags & MB_ICONMASK, UINT(MB_ICONERROR));
  EXPECT_EQ(Started(), Lines{"quorvex.exe"});
  EXPECT_EQ(Calls("play"), Lines{"notice.mp3"});
}

// Across midnight, Monday to Tuesday: the weekday label, today's pending list and today's
// time slots are loaded for the new day, so the program left running plays Tuesday's tasks.
class MidnightTest : public AppTest {
 protected:
  MidnightTest() : AppTest(test::LocalDateTime(2026, 1, 5, 23, 58, 0)) {}
  void RunUntilTuesday(int Hour, int Minute, int Second) {
    App.RunUntilWallTime(test::LocalDateTime(2026, 1, 6, Hour, Minute, Second));
  }
  // The broadcasts played, without the music.
  Lines Broadcasts() {
    Lines out;
    for (const std::string& c : Calls("play"))
      if (c.rfind("song", 0) != 0 && c != "ding.mp3") out.push_back(c);
    return out;
  }
};

TEST_F(MidnightTest, TheNewDaysTasksAndSlotsAreLoadedAtMidnight) {
  auto options = ShopOptions();
  options["时段播放"] = "是";
  options["播放音乐启动时间段止"] = "23:59:59";
  options["播放时先播放"] = AddAudio("ding.mp3", 5 * test::kSecond);
  WriteConfig(options);
  AddSong("song-all", 5, 2 * test::kHour);
  AddSong("song-tue", 3, 2 * test::kHour);
  AddSlot("20:00:00", "21:00:00", 5, "1");  // Monday's slot is over: the slot watch is off
  AddSlot("00:05:00", "00:20:00", 3, "2");
  // Tasks are numbered in the order they are added: the first row of the table is no task of
  // the night, so a play after the prelude that took the table's current row would show.
  AddTask({.Name = "morning", .PTime = "08:00:00"});
  int late = AddTask({.Name = "late", .PTime = "23:59:58", .BeFrom = true}, 5 * test::kSecond);
  int tue = AddTask({.Name = "tue", .PTime = "00:00:30", .Week = "2"}, 5 * test::kSecond);
  int rep = AddTask({.Name = "rep", .PTime = "23:00:00", .MorePlay = true, .Bew = 15, .StarTime = "00:10:00",
                     .EndTime = "00:40:00"}, 5 * test::kSecond);
  // Tuesday's only, left mid-window by a run a week ago: Tuesday's recompute starts it again.
  int tueRep = AddTask({.Name = "tuerep", .PTime = "10:30:00", .MorePlay = true, .Bew = 30, .StarTime = "08:00:00",
                        .EndTime = "12:00:00", .Week = "2"});
  StartProgram();
  EXPECT_EQ(Form1->FcLabel14->Caption(), FormatDateTime("dddd", test::LocalDateTime(2026, 1, 5)));
  RunUntil(23, 59, 50);
  EXPECT_FALSE(Form1->T_musictype->Enabled()) << "no slot is left on Monday";
  EXPECT_EQ(TaskValue(rep, "ptime"), "00:10:00") << "the start-up recompute sets it back to its window's start";
  RunUntilTuesday(0, 0, 10);
  EXPECT_EQ(Form1->FcLabel14->Caption(), FormatDateTime("dddd", test::LocalDateTime(2026, 1, 6)));
  EXPECT_EQ(Form1->FcPanel5->Caption().find("播出  tue") != std::string::npos, true) << Form1->FcPanel5->Caption();
  EXPECT_TRUE(Form1->T_musictype->Enabled()) << "Tuesday's slot is armed";
  EXPECT_EQ(TaskValue(tueRep, "ptime"), "08:00:00");
  RunUntilTuesday(0, 45, 0);
  EXPECT_EQ(Broadcasts(), (Lines{"late.mp3", "tue.mp3", "rep.mp3", "rep.mp3", "rep.mp3"}));
  EXPECT_EQ(TaskValue(late, "backtime"), "23:59:58");
  EXPECT_EQ(TaskValue(tue, "backtime"), "00:00:30");
  EXPECT_EQ(TaskValue(rep, "backtime"), "00:40:00");
  Lines music;
  for (const std::string& c : Calls("play"))
    if (c.rfind("song", 0) == 0 && (music.empty() || music.back() != c)) music.push_back(c);
  EXPECT_EQ(music, (Lines{"song-all.mp3", "song-tue.mp3", "song-all.mp3"})) << "Tuesday's slot played its songs";
  EXPECT_EQ(ErrLog(), "");
}

// Tasks due just before midnight while the machine was busy are taken when the new day is
// found, their lateness counted across midnight: one past the late window is logged as missed
// and waits for its time on the new day, one inside it still plays; the new day's tasks play.
TEST_F(MidnightTest, TasksDueOverMidnightAreMissedOrPlayedLate) {
  WriteConfig(ShopOptions());
  int missed = AddTask({.Name = "missed", .PTime = "23:59:50"}, 5 * test::kSecond);
  int last = AddTask({.Name = "last", .PTime = "23:59:58"}, 5 * test::kSecond);
  AddTask({.Name = "early", .PTime = "00:01:00"}, 5 * test::kSecond);
  StartProgram();
  RunUntil(23, 59, 45);
  App.Clock().Advance(17200);
  RunUntilTuesday(0, 2, 0);
  EXPECT_EQ(Broadcasts(), (Lines{"last.mp3", "early.mp3"}));
  EXPECT_EQ(ErrLog(), "20260106 00:00:02 错过播放时间 missed\r\n");
  EXPECT_EQ(TaskValue(missed, "ptime"), "23:59:50");
  EXPECT_EQ(TaskValue(missed, "backtime"), "null");
  EXPECT_EQ(TaskValue(last, "backtime"), "00:00:02");
}

// A start-up that fails is logged and told in an error box, and the program ends.
class StartUpFailureTest : public AppTest {
 protected:
  void ExpectFailure(const std::string& Shown, const std::string& Logged) {
    test::TScriptedAnswers answers;
    answers.Answer(IDOK, Shown);
    StartProgram();
    ASSERT_EQ(answers.Shown().size(), 1u) << answers.ShownTexts();
    EXPECT_EQ(answers.Shown()[0].Request.Caption, "初始化");
    EXPECT_EQ(answers.Shown()[0].Request.Flags & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_NE(ErrLog().find(" " + Logged + " "), std::string::npos) << ErrLog();
    App.ProcessMessages();
    EXPECT_TRUE(Application->Terminated()) << "the quit request is handled by the loop";
  }
};

TEST_F(StartUpFailureTest, WithoutItsDatabase) {
  Db.reset();
  std::filesystem::remove(App.PathInExeDir("VN.dll"));
  ExpectFailure("系统初始化失败！读取\r", "初始化失败—查询读取");
}

TEST_F(StartUpFailureTest, WithAVolumeThatIsNoNumber) {
  WriteConfig({{"广播音量", "loud"}});
  ExpectFailure("系统初始化失败！配置\r", "初始化失败—配置");
}

}  // namespace
