// The player's rules one at a time, as tables of cases: weekday digits, track lengths, the
// mixer, repetition windows, the advance of a fired task, slot edges, the fade-in, config
// keys and weekday sets.
#include <algorithm>

#include "app/Volume.h"
#include "platform/rtl/IniFiles.h"
#include "tests/app/AppFixture.h"

namespace {

using namespace apptest;

TDateTime At(int Day, int Hour, int Minute, int Second = 0) { return test::LocalDateTime(2026, 1, Day, Hour, Minute, Second); }

TEST_F(AppTest, WeekdayDigitsRunFromMondayToSunday) {
  // 2026-01-05 is a Monday.
  const char* digits[] = {"1", "2", "3", "4", "5", "6", "7"};
  for (int d = 0; d < 7; ++d) {
    App.Clock().SetWallNow(At(5 + d, 12, 0));
    EXPECT_EQ(GetWeekDayDigit(), digits[d]) << "2026-01-" << 5 + d;
  }
}

TEST_F(AppTest, LengthTextsAreMinutesAndSecondsOrEmpty) {
  struct Case { int64_t Ms; const char* Text; };
  for (const Case& c : {Case{0, "00:00"}, Case{59'999, "00:59"}, Case{3'725'000, "02:05"}, Case{185'500, "03:05"}}) {
    std::string path = AddAudio("len" + std::to_string(c.Ms) + ".mp3", c.Ms);
    EXPECT_EQ(GetMediaLengthText(path), c.Text) << c.Ms;
  }
  Services.Engine.AddFailingFile(App.PathInExeDir("broken.wma"));
  EXPECT_EQ(GetMediaLengthText(App.PathInExeDir("broken.wma")), "");
  EXPECT_EQ(GetMediaLengthText(App.PathInExeDir("absent.mp3")), "");
}

TEST_F(AppTest, TheMixerGetsTheSameValueOnBothChannelsAndFilesGoToTheTrash) {
  SetMixerVolume(10 * kLevelStep);
  SetMixerVolume(kFullVolume);
  SetMixerVolume(0);
  EXPECT_EQ(Services.Mixer.Values(), (std::vector<std::pair<uint16_t, uint16_t>>{{65530, 65530}, {65535, 65535}, {0, 0}}));
  std::string song = AddAudio("old.mp3", 1000);
  Services.Trash.Fail = {App.PathInExeDir("locked.mp3")};
  EXPECT_TRUE(DeleteToRecycleBin(song));
  EXPECT_FALSE(DeleteToRecycleBin(App.PathInExeDir("locked.mp3")));
  EXPECT_EQ(Services.Trash.Paths(), std::vector<std::string>{song});
}

// The recompute puts a repeating task at its first repetition after now inside its window, or
// back at its start when none is left today; a task without an interval is left alone.
TEST_F(AppTest, RecomputeFindsTheNextRepetitionInsideTheWindow) {
  StartProgram();
  struct Case { int Hour, Minute, Second; const char* Start; const char* End; int Bew; const char* PTime; };
  const Case cases[] = {
      {9, 10, 5, "08:00:00", "12:00:00", 30, "09:30:00"},
      {12, 10, 0, "08:00:00", "12:00:00", 30, "08:00:00"},   // the window is over: back to its start
      {7, 0, 0, "08:00:00", "12:00:00", 30, "08:00:00"},     // not begun yet
      {11, 45, 0, "08:00:00", "12:00:00", 15, "12:00:00"},   // the end counts
      {8, 0, 0, "08:00:00", "12:00:00", 300, "08:00:00"},    // now is the start; the next lies outside
      {23, 50, 0, "23:00:00", "23:59:59", 30, "23:00:00"},   // no repetition before midnight
      {9, 0, 0, "08:00:00", "12:00:00", 0, "10:00:00"},      // no interval: not repeating
  };
  for (const Case& c : cases) {
    Db->Exec("delete from db");
    int no = AddTask({.Name = "r", .PTime = "10:00:00", .MorePlay = true, .Bew = c.Bew, .StarTime = c.Start, .EndTime = c.End});
    App.Clock().SetWallNow(At(5, c.Hour, c.Minute, c.Second));
    Form1->RecalcRepeatTasks();
    EXPECT_EQ(TaskValue(no, "ptime"), c.PTime) << c.Hour << ":" << c.Minute << " " << c.Start << "-" << c.End << "/" << c.Bew;
  }
}

// A fired repeating task moves by its interval, or back to its start past the window's end;
// the interval wraps at midnight.
TEST_F(AppTest, AFiredRepeatingTaskMovesToItsNextRepetition) {
  WriteConfig({{"自动运行", "是"}});
  StartProgram();
  struct Case { const char* PTime; const char* Start; const char* End; int Bew; const char* Next; };
  const Case cases[] = {
      {"08:30:00", "08:00:00", "09:00:00", 30, "09:00:00"},
      {"09:00:00", "08:00:00", "09:00:00", 30, "08:00:00"},
      {"23:50:00", "23:00:00", "23:59:59", 15, "23:00:00"},
  };
  for (const Case& c : cases) {
    Db->Exec("delete from db");
    int no = AddTask({.Name = "r", .PTime = c.PTime, .MorePlay = true, .Bew = c.Bew, .StarTime = c.Start, .EndTime = c.End},
                     1000);
    int h = 0, m = 0, s = 0;
    std::sscanf(c.PTime, "%d:%d:%d", &h, &m, &s);
    App.Clock().SetWallNow(At(5, h, m, s) - 2.0 / 86400);
    Form1->ADOTable1->Close();
    Form1->ADOTable1->Open();
    Form1->ReloadTasks();
    App.RunFor(3 * test::kSecond);
    EXPECT_EQ(TaskValue(no, "backtime"), c.PTime);
    EXPECT_EQ(TaskValue(no, "ptime") + " " + TaskValue(no, "nexttime"), std::string(c.Next) + " " + c.Next) << c.PTime;
  }
}

// Today's pending list, and its twin shown in the task grid: the rows in use whose time is
// later than now (a row due this very second no longer counts), with today inside their dates
// (both ends included; a row without a date is never pending) and today's weekday digit in
// their weekday set (an empty set matches no day). The banner names the first of them, in
// manual mode too.
TEST_F(AppTest, ThePendingListHoldsTodaysTasksStillToPlay) {
  StartProgram();
  struct Case { Task Row; bool Pending; };
  const Case cases[] = {
      {{.Name = "plain", .PTime = "09:00:00"}, true},
      {{.Name = "nostart", .PTime = "09:00:00", .StarDate = ""}, false},
      {{.Name = "noend", .PTime = "09:00:00", .EndDate = ""}, false},
      {{.Name = "startstoday", .PTime = "09:00:00", .StarDate = "2026-01-05"}, true},
      {{.Name = "endstoday", .PTime = "09:00:00", .EndDate = "2026-01-05"}, true},
      {{.Name = "startstomorrow", .PTime = "09:00:00", .StarDate = "2026-01-06"}, false},
      {{.Name = "endedyesterday", .PTime = "09:00:00", .EndDate = "2026-01-04"}, false},
      {{.Name = "noweekday", .PTime = "09:00:00", .Week = ""}, false},
      {{.Name = "monday", .PTime = "09:00:00", .Week = "1"}, true},
      {{.Name = "otherdays", .PTime = "09:00:00", .Week = "2 3 4 5 6 7"}, false},
      {{.Name = "unused", .PTime = "09:00:00", .Use = false}, false},
      {{.Name = "duenow", .PTime = "08:00:00"}, false},
      {{.Name = "nextsecond", .PTime = "08:00:01"}, true},
      {{.Name = "earlier", .PTime = "07:00:00"}, false},
  };
  Lines expected;
  for (const Case& c : cases) {
    AddTask(c.Row);
    if (c.Pending) expected.push_back(c.Row.Name);
  }
  std::sort(expected.begin(), expected.end());
  App.Clock().SetWallNow(At(5, 8, 0, 0) + 0.4 / 86400);
  Form1->ReloadTasks();
  for (TADOQuery* list : {Form1->ADOQuery1, Form1->ADOQuery2}) {
    Lines pending;
    for (list->First(); !list->Eof(); list->Next()) pending.push_back(list->FieldByName("filename")->AsString());
    std::sort(pending.begin(), pending.end());
    EXPECT_EQ(pending, expected) << list->Name();
  }
  EXPECT_EQ(Form1->FcPanel5->Caption(), " " + TimeToStr(EncodeTime(8, 0, 1, 0)) + "  播出  nextsecond");
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：手动");
}

// A repeating task due in the same second as the first pending task moves to its next
// repetition, or back to its window's start when that repetition leaves the window; set back
// before now, it is no longer pending: not played, not logged as missed. The single task
// plays at its second. The start-up recompute has put r at 08:30, its repetition after 08:29.
class RepeatingClashTest : public AppTest {
 protected:
  RepeatingClashTest() : AppTest(test::LocalDateTime(2026, 1, 5, 8, 29, 0)) {}
};

TEST_F(RepeatingClashTest, ARepeatingTaskMovesToItsNextRepetitionOrBackToItsStart) {
  struct Case { const char* End; const char* PTime; const char* NextTime; int Plays; };
  const Case cases[] = {
      {"09:00:00", "08:45:00", "08:45:00", 1},
      {"08:45:00", "08:45:00", "08:45:00", 1},  // the window's end is part of it
      {"08:40:00", "08:00:00", "null", 0},      // set back to the start, before now
  };
  WriteConfig({{"自动运行", "是"}});
  StartProgram();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.End);
    Db->Exec("delete from db");
    int single = AddTask({.Name = "single", .PTime = "08:30:00"}, test::kSecond);
    int r = AddTask({.Name = "r", .PTime = "08:30:00", .MorePlay = true, .Bew = 15, .StarTime = "08:00:00",
                     .EndTime = c.End},
                    test::kSecond);
    App.Clock().SetWallNow(At(5, 8, 29, 0));
    Form1->ADOTable1->Close();
    Form1->ADOTable1->Open();
    Form1->RecalcRepeatTasks();
    EXPECT_EQ(TaskValue(r, "ptime") + " " + TaskValue(r, "nexttime"), std::string(c.PTime) + " " + c.NextTime);
    Services.Engine.ClearCalls();
    App.RunFor(20 * test::kMinute);
    EXPECT_EQ(TaskValue(single, "backtime"), "08:30:00");
    Lines plays = Calls("play");
    EXPECT_EQ(std::count(plays.begin(), plays.end(), "r.mp3"), c.Plays);
    EXPECT_EQ(ErrLog(), "");
  }
}

TEST_F(AppTest, TheCurrentOrNextSlotDecidesTheMusicList) {
  AddSong("a3", 3, 1000);
  AddSong("b5", 5, 1000);
  AddSong("c0", 0, 1000);
  AddSlot("08:00:00", "12:00:00", 3);
  AddSlot("14:00:00", "18:00:00", 5);
  AddSlot("09:00:00", "10:00:00", 9, "6 7");  // not on Mondays
  StartProgram();
  struct Case { int Hour, Minute; int Filter; int Songs; const char* Start; const char* End; bool Watch; };
  const Case cases[] = {
      {7, 0, 0, 3, "08:00:00", "12:00:00", true},
      {10, 0, 1, 1, "08:00:00", "12:00:00", true},
      {12, 0, 0, 3, "14:00:00", "18:00:00", true},  // the end is not part of the slot
      {14, 0, 1, 1, "14:00:00", "18:00:00", true},
      {18, 0, 0, 3, "14:00:00", "18:00:00", false},
  };
  for (const Case& c : cases) {
    App.Clock().SetWallNow(At(5, c.Hour, c.Minute));
    Form1->SelectCurrentTimeSlot();
    EXPECT_EQ(Form1->CategoryFilterOn, c.Filter) << c.Hour;
    EXPECT_EQ(Form1->ADOQuery3_music->RecordCount(), c.Songs) << c.Hour;
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Form1->SlotStart) + "-" + FormatDateTime("hh:nn:ss", Form1->SlotEnd),
              std::string(c.Start) + "-" + c.End) << c.Hour;
    EXPECT_EQ(Form1->T_musictype->Enabled(), c.Watch) << c.Hour;
  }
  // A slot whose category has no songs plays them all, with the resume key 0.
  Db->Exec("delete from musictype_do");
  AddSlot("18:00:00", "20:00:00", 7);
  App.Clock().SetWallNow(At(5, 19, 0));
  Form1->SelectCurrentTimeSlot();
  EXPECT_EQ(Form1->CategoryFilterOn, 0);
  EXPECT_EQ(Form1->ADOQuery3_music->RecordCount(), 3);
}

TEST_F(AppTest, TheFadeInClimbsInTenStepsToTheMusicLevel) {
  WriteConfig({{"音乐音量", "7"}});
  AddSong("song", 0, test::kHour);
  StartProgram();
  Services.Mixer.Clear();
  Form1->FcRapidFireButton10Click(nullptr);
  App.RunFor(4 * test::kSecond);
  std::vector<int> expected = {7 * 6553, 10};
  for (int k : {0, 1, 2, 2, 3, 4, 4, 5, 6, 7}) expected.push_back(k * 6553);
  EXPECT_EQ(MixerLevels(), expected);
  EXPECT_FALSE(Form1->T_music_vo_add->Enabled());
}

// The keys the main window writes, and what reading them at start does.
TEST_F(AppTest, ConfigKeysOfTheMainWindow) {
  WriteConfig({{"广播音量", "4"}, {"音乐音量", "9"}, {"时段播放", "是的"}, {"自动运行", "yes"}});
  StartProgram();
  EXPECT_EQ(Form1->FcSpinEdit1->Text(), "4");
  EXPECT_EQ(Form1->FcSpinEdit2->Text(), "9");
  EXPECT_TRUE(Services.Mixer.Values().empty()) << "reading the settings leaves the mixer alone";
  EXPECT_FALSE(Form1->N22->Checked()) << "only 是 itself is yes";
  EXPECT_FALSE(Form1->T_musictype->Enabled()) << "the slot watch runs only with time-slot playback";
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：手动");
  TIniFile ini(App.PathInExeDir("config.ini"));
  struct Case { int Kind; const char* Key; const char* Value; };
  for (const Case& c : {Case{1, "广播音量", "6"}, Case{2, "音乐音量", "3"}, Case{3, "时段播放", "否"}}) {
    Form1->WriteConfigValue(c.Kind, c.Value);
    EXPECT_EQ(ini.ReadString("set", c.Key, ""), c.Value);
  }
  std::vector<std::string> keys;
  ini.ReadSection("set", keys);
  Form1->WriteConfigValue(4, "x");
  std::vector<std::string> after;
  ini.ReadSection("set", after);
  EXPECT_EQ(after, keys) << "other kinds write nothing";
  Services.Mixer.Clear();
  Form1->FcSpinEdit1->SetValue(10);
  EXPECT_EQ(ini.ReadString("set", "广播音量", ""), "10");
  EXPECT_EQ(Services.Mixer.Last(), 65530);
  Form1->FcSpinEdit2->SetValue(3);
  EXPECT_EQ(ini.ReadString("set", "音乐音量", ""), "3");
  EXPECT_EQ(ini.ReadString("set", "广播音量", ""), "10");
  EXPECT_EQ(Services.Mixer.Last(), 3 * kLevel);
}

TEST_F(AppTest, WeekdaySetsLoadAndSaveInAscendingOrder) {
  StartProgram();
  struct Case { const char* Text; const char* Saved; };
  for (const Case& c : {Case{"7 1", "1 7"}, Case{"  2   2 5 ", "2 5"}, Case{"8 0 3", "3"}, Case{"", ""},
                        Case{"1 2 3 4 5 6 7", "1 2 3 4 5 6 7"}}) {
    Form3->LoadWeekdays(c.Text);
    EXPECT_EQ(Form3->WeekdaysText(), c.Saved) << "'" << c.Text << "'";
  }
  EXPECT_THROW(Form3->LoadWeekdays("1,2"), EConvertError);
}

TEST_F(AppTest, ErrorLogLinesAreDatedAndAppended) {
  StartProgram();
  Form1->WriteErrorLog("first");
  App.Clock().Advance(61 * test::kSecond);
  Form1->WriteErrorLog("第二");
  EXPECT_EQ(ErrLog(), "20260105 07:59:00 first\r\n20260105 08:00:01 第二\r\n");
}

}  // namespace
