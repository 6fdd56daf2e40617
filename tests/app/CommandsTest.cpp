// The player's buttons and menu commands as the shop's staff use them: pausing, resuming and
// stopping a broadcast, stopping a prelude and the choice of prelude, leaving and entering
// automatic mode, and the music menu (allow music, loop, play all, time-slot playback).
#include <algorithm>

#include "tests/app/AppFixture.h"
#include "tests/support/ScriptedAnswers.h"

namespace {

using namespace apptest;

// The broadcast bar's play, pause and stop buttons.
std::string BroadcastButtons() {
  return ButtonStates({Form1->FcRapidFireButton1, Form1->FcRapidFireButton2, Form1->FcRapidFireButton3});
}

// A broadcast paused with its pause button waits, with the music, until the play button
// resumes it where it stopped, at the broadcast level; it then ends as any broadcast does.
TEST_F(AppTest, APausedBroadcastWaitsUntilPlayResumesIt) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  int no = AddTask({.Name = "sale", .PTime = "08:00:00"}, 20 * test::kSecond);
  StartProgram();
  RunUntil(8, 0, 5);
  EXPECT_EQ(BroadcastButtons(), "-off|on|on");
  EXPECT_TRUE(Form1->FcPanel1->Visible());
  EXPECT_FALSE(Form1->FcPanel6_music->Visible());
  // The marquee holds the task's name and moves 6 pixels left on every tick of the monitor
  // (the music's monitor is off while the music waits).
  EXPECT_EQ(Form1->FcLabel17->Caption(), "sale        ");
  int left = Form1->FcLabel17->Left();
  App.RunFor(test::kSecond);
  EXPECT_EQ(Form1->FcLabel17->Left(), left - 60);
  int width = Form1->FcLabel17->Width();
  Form1->FcLabel17->SetLeft(-width);
  App.RunFor(100);
  EXPECT_EQ(Form1->FcLabel17->Left(), -width - 6);
  App.RunFor(100);
  EXPECT_EQ(Form1->FcLabel17->Left(), Form1->FcPanel6->Width()) << "gone past its width, it starts again at the right";
  Form1->FcRapidFireButton2->Click();
  EXPECT_EQ(Form1->MediaPlayer1->Mode(), mpPaused);
  EXPECT_EQ(BroadcastButtons(), "on|-off|on");
  EXPECT_FALSE(Form1->Timer1->Enabled());
  RunUntil(8, 1, 0);
  EXPECT_EQ(Form1->MediaPlayer1->Mode(), mpPaused) << "nothing ends a paused broadcast";
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPaused) << "the music waits with it";
  Services.Mixer.Clear();
  Form1->FcRapidFireButton1->Click();
  EXPECT_EQ(Form1->MediaPlayer1->Mode(), mpPlaying);
  EXPECT_EQ(MixerLevels(), std::vector<int>{8 * kLevel});
  EXPECT_EQ(BroadcastButtons(), "-off|on|on");
  RunUntil(8, 1, 10);
  EXPECT_EQ(Form1->FcLabel12->Caption(), "00:16") << "6 s before the pause and 10 s after it";
  RunUntil(8, 1, 20);
  EXPECT_EQ(Calls("open"), (Lines{"song.mp3", "sale.mp3"})) << "resumed, not opened again";
  EXPECT_EQ(Form1->FcLabel17->Caption(), "song        ") << "the music's title is back in the marquee";
  EXPECT_EQ(Calls("play"), (Lines{"song.mp3", "sale.mp3", "sale.mp3", "song.mp3"}));
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying) << "the music came back at the end";
  EXPECT_EQ(TaskValue(no, "backtime"), "08:00:00");
  Form1->FcRapidFireButton2Click(nullptr);
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying) << "pause with no broadcast does nothing";
}

// The stop button, pressed while the broadcast is paused between its repeats' plays, ends it
// and its repeats; the music comes back with its fade when the options ask for it, else the
// mixer goes back to full volume and the music stays paused.
class StopTest : public AppTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StopTest, TheStopButtonEndsTheBroadcastAndItsRepeats) {
  bool musicBack = GetParam();
  auto options = ShopOptions();
  options["播放完播放音乐"] = musicBack ? "是" : "否";
  WriteConfig(options);
  AddSong("song", 0, 10 * test::kMinute);
  AddTask({.Name = "notice", .PTime = "08:00:00", .Num = 2}, 10 * test::kSecond);
  StartProgram();
  RunUntil(8, 0, 5);
  Form1->FcRapidFireButton2->Click();
  RunUntil(8, 0, 8);
  Services.Mixer.Clear();
  Form1->FcRapidFireButton3->Click();
  EXPECT_EQ(Form1->MediaPlayer1->FileName(), "");
  EXPECT_FALSE(Form1->num1->Enabled());
  EXPECT_EQ(Form1->RepeatsLeft, 0);
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_EQ(Form1->FcLabel12->Caption(), "00:00");
  EXPECT_EQ(BroadcastButtons(), "on|-off|off");
  if (musicBack) {
    EXPECT_EQ(MixerLevels(), std::vector<int>{10}) << "the fade-in starts";
    EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
    EXPECT_TRUE(Form1->FcPanel6_music->Visible());
    EXPECT_FALSE(Form1->FcPanel1->Visible());
    EXPECT_TRUE(Form1->T_music->Enabled());
    EXPECT_EQ(Form1->FcLabel17->Caption(), "notice        ") << "a stop leaves the marquee as it was";
  } else {
    EXPECT_EQ(MixerLevels(), std::vector<int>{65535});
    EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPaused);
  }
  RunUntil(8, 1, 0);
  Lines plays = Calls("play");
  EXPECT_EQ(std::count(plays.begin(), plays.end(), "notice.mp3"), 1) << "no repeat plays";
  EXPECT_EQ(ErrLog(), "");
}

INSTANTIATE_TEST_SUITE_P(MusicBack, StopTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "On" : "Off"; });

// Which prelude plays before a broadcast, at which mixer levels: the task's own prelude, the
// options' one when the task has none or the options window is the active window, none when
// the task or the options do not want one, and none when the task's own file is gone (the
// broadcast then plays at once). The prelude level is 50 unless a case sets it.
struct PreludeCase {
  const char* Id;
  bool BeFrom = true;               // the task allows a prelude
  bool PreludeOption = true;        // "播放时先播放" with the options' file ding.mp3
  const char* Own = "";             // the task's own prelude: "" none, else a file (kept when it ends in .mp3)
  bool OwnOnDisk = true;
  bool OptionsActive = false;       // the options window is the active window when the task fires
  const char* Volume = "50";
  Lines Plays;
  std::vector<int> Mixer;
};
void PrintTo(const PreludeCase& C, std::ostream* Out) { *Out << C.Id; }

const PreludeCase kPreludeCases[] = {
    {.Id = "OwnPrelude", .Own = "own.mp3", .Plays = {"own.mp3", "notice.mp3"},
     .Mixer = {50 * 655, 65535, 8 * kLevel, 65535}},
    {.Id = "MissingOwnPrelude", .Own = "own.mp3", .OwnOnDisk = false, .Plays = {"notice.mp3"},
     .Mixer = {50 * 655, 65535, 8 * kLevel, 65535}},
    {.Id = "OptionsWindowActive", .Own = "own.mp3", .OptionsActive = true, .Plays = {"ding.mp3", "notice.mp3"},
     .Mixer = {50 * 655, 65535, 8 * kLevel, 65535}},
    {.Id = "OptionsPrelude", .Plays = {"ding.mp3", "notice.mp3"}, .Mixer = {50 * 655, 65535, 8 * kLevel, 65535}},
    {.Id = "PreludeVolumeZero", .Volume = "0", .Plays = {"ding.mp3", "notice.mp3"},
     .Mixer = {0, 65535, 8 * kLevel, 65535}},
    {.Id = "TaskWantsNoPrelude", .BeFrom = false, .Own = "own.mp3", .Plays = {"notice.mp3"},
     .Mixer = {8 * kLevel, 65535}},
    {.Id = "OptionsWantNoPrelude", .PreludeOption = false, .Own = "own.mp3", .Plays = {"notice.mp3"},
     .Mixer = {8 * kLevel, 65535}},
};

class PreludeTest : public AppTest, public ::testing::WithParamInterface<PreludeCase> {};

TEST_P(PreludeTest, ThePreludeBeforeABroadcast) {
  const PreludeCase& c = GetParam();
  auto options = ShopOptions();
  options["随程序启动播放音乐时间段"] = "否";
  options["播放完播放音乐"] = "否";
  options["播放时先播放"] = c.PreludeOption ? AddAudio("ding.mp3", 3 * test::kSecond) : "";
  options["前奏音量"] = c.Volume;
  WriteConfig(options);
  std::string own;
  if (*c.Own) own = c.OwnOnDisk ? AddAudio(c.Own, 2 * test::kSecond) : App.PathInExeDir(c.Own);
  AddTask({.Name = "notice", .PTime = "08:00:00", .BeFrom = c.BeFrom, .BeFromPath = own}, 5 * test::kSecond);
  test::TScriptedAnswers answers;
  StartProgram();
  RunUntil(7, 59, 59);
  if (c.OptionsActive) {
    Form2->Show();
    App.ProcessMessages();
    ASSERT_EQ(Screen->ActiveCustomForm(), Form2);
  }
  Services.Mixer.Clear();
  RunUntil(8, 0, 30);
  EXPECT_EQ(Calls("play"), c.Plays);
  EXPECT_EQ(MixerLevels(), c.Mixer);
  EXPECT_FALSE(Form2->Timer1->Enabled());
  EXPECT_TRUE(answers.Shown().empty()) << answers.ShownTexts();
  EXPECT_TRUE(Started().empty());
  EXPECT_EQ(ErrLog(), "");
}

INSTANTIATE_TEST_SUITE_P(Preludes, PreludeTest, ::testing::ValuesIn(kPreludeCases),
                         [](const ::testing::TestParamInfo<PreludeCase>& info) { return std::string(info.param.Id); });

// The options window's stop button ends a prelude: nothing is handed back, so the broadcast
// waiting for it does not play, and the mark stays set: the play button then plays the task
// without its prelude. The scheduler's next firing clears the mark and has its prelude again.
TEST_F(AppTest, StoppingAPreludeLeavesItsBroadcastUnplayed) {
  AddTwoTasksWithAPrelude();
  StartProgram();
  RunUntil(8, 0, 3);
  EXPECT_TRUE(Form2->Timer1->Enabled());
  EXPECT_FALSE(Form2->FcRapidFireButton1->Enabled());
  EXPECT_TRUE(Form2->FcRapidFireButton3->Enabled());
  Form2->FcRapidFireButton3->Click();
  EXPECT_NE(Form2->MediaPlayer1->Mode(), mpPlaying);
  EXPECT_FALSE(Form2->Timer1->Enabled());
  EXPECT_TRUE(Form2->FcRapidFireButton1->Enabled());
  EXPECT_FALSE(Form2->FcRapidFireButton3->Enabled());
  RunUntil(8, 0, 30);
  EXPECT_EQ(Calls("play"), Lines{"ding.mp3"}) << "the waiting broadcast is not played";
  EXPECT_EQ(Form1->PreludeMark, "1");
  Form1->FcRapidFireButton1->Click();
  EXPECT_EQ(Calls("play"), (Lines{"ding.mp3", "notice.mp3"}));
  RunUntil(8, 1, 30);
  EXPECT_EQ(Calls("play"), (Lines{"ding.mp3", "notice.mp3", "ding.mp3", "later.mp3"}));
}

// The stop-automatic button (on either bar) leaves automatic mode: the start buttons come
// back, the scheduler stops and a playing broadcast plays on; tasks due meanwhile are neither
// played nor logged. Tasks that had fallen due and were waiting for their tick when the mode
// ended are logged as missed. The start button clears an open edit's box and enters the mode
// again, and later tasks play.
TEST_F(AppTest, LeavingAndEnteringAutomaticMode) {
  auto options = ShopOptions();
  options["随程序启动播放音乐时间段"] = "否";
  WriteConfig(options);
  int sale = AddTask({.Name = "sale", .PTime = "08:00:00"}, 20 * test::kSecond);
  int manual = AddTask({.Name = "manual", .PTime = "08:01:00"}, 5 * test::kSecond);
  int a = AddTask({.Name = "a", .PTime = "08:03:00"}, 5 * test::kSecond);
  int b = AddTask({.Name = "b", .PTime = "08:03:01"}, 5 * test::kSecond);
  StartProgram();
  auto shown = [] {
    std::string s;
    for (TControl* c : {Form1->FcRapidFireButton4, Form1->FcRapidFireButton13, Form1->FcRapidFireButton5,
                        Form1->FcRapidFireButton14})
      s += c->Visible() ? "1" : "0";
    return s;
  };
  EXPECT_EQ(shown(), "0011");
  RunUntil(8, 0, 5);
  Form1->FcRapidFireButton14->Click();
  EXPECT_EQ(shown(), "1100");
  EXPECT_FALSE(Form1->Timer2->Enabled());
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：手动");
  EXPECT_EQ(Form1->MediaPlayer1->Mode(), mpPlaying) << "the broadcast plays on";
  RunUntil(8, 2, 0);
  EXPECT_EQ(Calls("play"), Lines{"sale.mp3"});
  EXPECT_EQ(TaskValue(sale, "backtime"), "08:00:00");
  EXPECT_EQ(TaskValue(manual, "backtime"), "null");
  Form1->FcGroupBox1->SetEnabled(true);
  Form1->FcGroupBox1->SetCaption("修改参数");
  Form1->DBGridGd1->SetEnabled(false);
  Form1->FcRapidFireButton13->Click();
  EXPECT_EQ(shown(), "0011");
  EXPECT_TRUE(Form1->Timer2->Enabled());
  EXPECT_EQ(Form1->FcLabel15->Caption(), "状态：自动");
  EXPECT_FALSE(Form1->FcGroupBox1->Enabled());
  EXPECT_EQ(Form1->FcGroupBox1->Caption(), "参数");
  EXPECT_TRUE(Form1->DBGridGd1->Enabled());
  // Busy from 08:02:59 to 08:03:02: a plays at once and b waits for the next tick, which
  // does not come: the stop button on the broadcast bar ends automatic mode first.
  RunUntil(8, 2, 59);
  App.Clock().Advance(3200);
  App.RunFor(300);
  Form1->FcRapidFireButton5->Click();
  RunUntil(8, 4, 0);
  EXPECT_EQ(Calls("play"), (Lines{"sale.mp3", "a.mp3"}));
  EXPECT_EQ(TaskValue(a, "backtime"), "08:03:02");
  EXPECT_EQ(TaskValue(b, "backtime"), "null");
  EXPECT_EQ(ErrLog(), "20260105 08:03:02 错过播放时间 b\r\n") << "only b, not the task due in manual mode";
}

// Allowing music (the menu item "允许播放音乐"): unticking it stops the music, keeping its
// place; while it is unticked nothing starts the music, not the play button and not the end
// of a broadcast, and the loop item cannot be changed; ticking it again starts nothing by
// itself.
TEST_F(AppTest, MusicThatIsNotAllowedDoesNotPlay) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  AddTask({.Name = "sale", .PTime = "08:00:00"}, 10 * test::kSecond);
  StartProgram();
  RunUntil(7, 59, 30);
  ASSERT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
  Services.Mixer.Clear();
  Form1->N18->Click();
  EXPECT_FALSE(Form1->N18->Checked());
  EXPECT_NE(Form1->MediaPlayer2->Mode(), mpPlaying);
  EXPECT_EQ(Scalar("select Position from music_Position where idset=0"), std::to_string(29 * test::kSecond));
  EXPECT_EQ(MixerLevels(), std::vector<int>{65535});
  Form1->FcRapidFireButton10->Click();
  Form1->N17->Click();
  EXPECT_TRUE(Form1->N17->Checked()) << "looping is changed only while music is allowed";
  RunUntil(8, 0, 30);
  EXPECT_EQ(Calls("play"), (Lines{"song.mp3", "sale.mp3"}));
  EXPECT_EQ(Services.Mixer.Last(), 65535);
  Form1->N18->Click();
  EXPECT_TRUE(Form1->N18->Checked());
  EXPECT_NE(Form1->MediaPlayer2->Mode(), mpPlaying);
  Form1->FcRapidFireButton10->Click();
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
}

// Looping (the menu item "循环播放音乐"): unticked, the music stops after the track at full
// volume; ticked, the next row plays after each track (the row after the one that played, even
// when the grid's cursor has moved) and the first after the last.
TEST_F(AppTest, LoopingDecidesWhatFollowsATrack) {
  WriteConfig({{"音乐音量", "5"}});
  AddSong("a", 0, test::kMinute);
  AddSong("b", 0, test::kMinute);
  AddSong("c", 0, test::kMinute);
  StartProgram();
  Form1->N17->Click();
  EXPECT_FALSE(Form1->N17->Checked());
  Form1->FcRapidFireButton10->Click();
  RunUntil(8, 0, 30);
  EXPECT_EQ(Calls("play"), Lines{"a.mp3"});
  EXPECT_NE(Form1->MediaPlayer2->Mode(), mpPlaying);
  EXPECT_EQ(Services.Mixer.Last(), 65535);
  EXPECT_EQ(Form1->FcRapidFireButton10->Visible(), true);
  Form1->N17->Click();
  EXPECT_TRUE(Form1->N17->Checked());
  Form1->ADOQuery3_music->First();
  Form1->FcRapidFireButton10->Click();
  Form1->ADOQuery3_music->Last();  // the user looks at the last row meanwhile
  RunUntil(8, 3, 45);
  EXPECT_EQ(Calls("play"), (Lines{"a.mp3", "a.mp3", "b.mp3", "c.mp3", "a.mp3"}));
}

// Time-slot playback ("启用时段播放") on: the slot's category plays, resumed from its own
// resume row (none yet: from the start), the setting is saved and the play-all items are
// disabled; off: the list stays filtered and plays on, the watch stops, the play-all items come
// back. Play all ("播放全部音乐", or "播放所有音乐" on the music tab) then plays every song,
// resuming the unfiltered list's saved track at its position.
TEST_F(AppTest, TimeSlotPlaybackOnAndOffAndPlayAll) {
  WriteConfig({{"音乐音量", "5"}});
  int a = AddSong("a", 3, 10 * test::kMinute);
  AddSong("b", 0, 10 * test::kMinute);
  AddSong("c", 3, 10 * test::kMinute);
  AddSlot("07:00:00", "09:00:00", 3);
  StartProgram();
  Form1->FcRapidFireButton10->Click();
  RunUntil(7, 59, 30);
  Form1->FcRapidFireButton11->Click();
  EXPECT_EQ(Scalar("select id || ' ' || Position from music_Position where idset=0"),
            std::to_string(a) + " " + std::to_string(30 * test::kSecond));
  Services.Engine.ClearCalls();
  Form1->N22->Click();
  EXPECT_TRUE(Form1->N22->Checked());
  EXPECT_EQ(Form1->CategoryFilterOn, 1);
  EXPECT_EQ(Form1->ADOQuery3_music->RecordCount(), 2);
  EXPECT_TRUE(Form1->T_musictype->Enabled());
  EXPECT_FALSE(Form1->N27->Enabled());
  EXPECT_FALSE(Form1->N29->Enabled());
  EXPECT_EQ(TIniFile(App.PathInExeDir("config.ini")).ReadString("set", "时段播放", ""), "是");
  EXPECT_EQ(Calls("play"), Lines{"a.mp3"}) << "the slot's list, from the start of its first row";
  EXPECT_EQ(Calls("seek"), Lines{"a.mp3 0"});
  EXPECT_EQ(Form1->ResumeRequested, 0);
  RunUntil(7, 59, 40);
  Form1->N22->Click();
  EXPECT_FALSE(Form1->N22->Checked());
  EXPECT_EQ(Form1->CategoryFilterOn, 0);
  EXPECT_EQ(Form1->ADOQuery3_music->RecordCount(), 2) << "the filtered list stays";
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
  EXPECT_FALSE(Form1->T_musictype->Enabled());
  EXPECT_TRUE(Form1->N27->Enabled());
  EXPECT_TRUE(Form1->N29->Enabled());
  EXPECT_EQ(TIniFile(App.PathInExeDir("config.ini")).ReadString("set", "时段播放", ""), "否");
  Services.Engine.ClearCalls();
  Form1->N29->Click();
  EXPECT_EQ(Form1->ADOQuery3_music->RecordCount(), 3);
  EXPECT_EQ(Form1->CategoryFilterOn, 0);
  EXPECT_EQ(Calls("play"), Lines{"a.mp3"});
  EXPECT_EQ(Calls("seek"), Lines{"a.mp3 " + std::to_string(30 * test::kSecond)});
  EXPECT_EQ(Form1->ResumeRequested, 0);
}

}  // namespace
