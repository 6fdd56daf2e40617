// The options window's own work: reading its settings, the prelude's end, the one-shot music
// start a second after start-up, and the time actions checked every second. The day starts on
// Monday 2026-01-05 at 07:59:00.
#include "tests/app/AppFixture.h"
#include "tests/support/ScriptedAnswers.h"

namespace {

using namespace apptest;

std::string PreludeButtons() { return ButtonStates({Form2->FcRapidFireButton1, Form2->FcRapidFireButton3}); }

// Only "是" ticks a box; a bare prelude file name is taken from the executable's folder.
TEST_F(AppTest, TheOptionsReadOnlyYesAsTickedAndFindABarePreludeBesideTheProgram) {
  WriteConfig({{"随机启动", "是的"}, {"自动运行", "yes"}, {"播放时暂停音乐", "是"}, {"音乐关闭", "否"},
               {"播放时先播放", "ding.mp3"}});
  StartProgram();
  EXPECT_FALSE(Form2->FcCheckBox1->Checked());
  EXPECT_FALSE(Form2->FcCheckBox2->Checked());
  EXPECT_TRUE(Form2->FcCheckBox3->Checked());
  EXPECT_FALSE(Form2->FcCheckBox10->Checked());
  EXPECT_TRUE(Form2->FcCheckBox6->Checked());
  EXPECT_EQ(Form2->FcButtonEdit1->Text(), App.PathInExeDir("ding.mp3"));
}

// A prelude heard from the options window ends by itself: its buttons come back and, with no
// broadcast waiting for it, nothing else plays.
TEST_F(AppTest, APreludePreviewEndsWithoutABroadcast) {
  WriteConfig({{"播放时先播放", AddAudio("ding.mp3", 3 * test::kSecond)}, {"前奏音量", "50"}});
  AddTask({.Name = "notice", .PTime = "09:00:00"});
  StartProgram();
  Form2->FcRapidFireButton1->Click();
  EXPECT_EQ(PreludeButtons(), "off|on");
  EXPECT_EQ(Services.Mixer.Last(), 50 * 655);
  App.RunFor(4 * test::kSecond);
  EXPECT_EQ(PreludeButtons(), "on|off");
  EXPECT_FALSE(Form2->Timer1->Enabled());
  EXPECT_EQ(Services.Mixer.Last(), 65535);
  EXPECT_EQ(Calls("play"), Lines{"ding.mp3"});
}

// The music of the start-up window: a second after start, with automatic mode and the window
// both ticked and the time inside the window (both ends included), the music starts and
// resumes its saved track.
struct StartUpMusicCase {
  const char* Name;
  const char* Auto;
  const char* Window;
  const char* From;
  const char* To;
  bool Plays;
};

void PrintTo(const StartUpMusicCase& c, std::ostream* os) { *os << c.Name; }

class StartUpMusicTest : public AppTest, public ::testing::WithParamInterface<StartUpMusicCase> {};

TEST_P(StartUpMusicTest, StartsOnlyInsideItsWindow) {
  const StartUpMusicCase& c = GetParam();
  WriteConfig({{"音乐音量", "5"}, {"自动运行", c.Auto}, {"随程序启动播放音乐时间段", c.Window},
               {"播放音乐启动时间段起", c.From}, {"播放音乐启动时间段止", c.To}});
  AddSong("first", 0, 10 * test::kMinute);
  int second = AddSong("second", 0, 10 * test::kMinute);
  AddResumeRow(0, second, 40 * test::kSecond);
  StartProgram();
  App.RunFor(3 * test::kSecond);
  if (!c.Plays) {
    EXPECT_EQ(Calls("play"), Lines{});
    return;
  }
  EXPECT_EQ(Calls("play"), Lines{"second.mp3"});
  EXPECT_EQ(Calls("seek"), Lines{"second.mp3 " + std::to_string(40 * test::kSecond)});
}

// The one-shot start runs at 07:59:01.
INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpMusicTest,
    ::testing::Values(StartUpMusicCase{"Inside", "是", "是", "07:00:00", "23:00:00", true},
                      StartUpMusicCase{"AtTheWindowsStart", "是", "是", "07:59:01", "23:00:00", true},
                      StartUpMusicCase{"AfterTheWindow", "是", "是", "07:00:00", "07:30:00", false},
                      StartUpMusicCase{"BeforeTheWindow", "是", "是", "08:00:00", "09:00:00", false},
                      StartUpMusicCase{"InManualMode", "否", "是", "07:00:00", "23:00:00", false},
                      StartUpMusicCase{"WithoutTheWindow", "是", "否", "07:00:00", "23:00:00", false}),
    [](const auto& info) { return std::string(info.param.Name); });

// A new day reaches the main window through the time-action check, in manual mode too.
TEST_F(AppTest, TheNewDayIsFoundInManualMode) {
  WriteConfig({{"自动运行", "否"}});
  StartProgram();
  App.RunUntilWallTime(test::LocalDateTime(2026, 1, 5, 23, 59, 58));
  EXPECT_EQ(Form1->FcLabel14->Caption(), FormatDateTime("dddd", test::LocalDateTime(2026, 1, 5)));
  App.RunUntilWallTime(test::LocalDateTime(2026, 1, 6, 0, 0, 2));
  EXPECT_EQ(Form1->FcLabel14->Caption(), FormatDateTime("dddd", test::LocalDateTime(2026, 1, 6)));
}

// Each time action needs its box: with the box cleared in the options window, its time
// passes without the music starting or stopping, the program closing or the machine shutting
// down.
TEST_F(AppTest, ATimeActionWhoseBoxIsClearedDoesNothing) {
  WriteConfig({{"音乐音量", "6"}, {"指定播放音乐启动时间", "是"}, {"播放音乐启动指定时间", "07:59:30"},
               {"音乐关闭", "是"}, {"音乐关闭时间", "08:00:30"}, {"自动关闭时间", "08:01:00"},
               {"自动关机时间", "08:01:00"}});
  AddSong("calm", 0, 2 * test::kHour);
  StartProgram();
  for (TFcCheckBox* box : {Form2->FcCheckBox7, Form2->FcCheckBox10, Form2->FcCheckBox5, Form2->FcCheckBox9}) {
    ASSERT_TRUE(box->Checked()) << box->Name();
    box->SetChecked(false);
  }
  RunUntil(7, 59, 40);
  EXPECT_EQ(Calls("play"), Lines{}) << "no music start";
  Form1->FcRapidFireButton10->Click();
  RunUntil(8, 1, 5);
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying) << "no music stop";
  EXPECT_FALSE(Application->Terminated()) << "no close";
  EXPECT_TRUE(Started().empty()) << "no shutdown";
}

// The music start time resumes the saved track of the list the current slot selects.
TEST_F(AppTest, TheMusicStartTimeResumesTheCurrentSlotsList) {
  WriteConfig({{"音乐音量", "6"}, {"时段播放", "是"}, {"指定播放音乐启动时间", "是"},
               {"播放音乐启动指定时间", "07:59:30"}});
  AddACategoryWithASavedTrack(3);
  AddSlot("07:00:00", "09:00:00", 3);
  StartProgram();
  RunUntil(7, 59, 35);
  EXPECT_EQ(Calls("play"), Lines{"second.mp3"});
  EXPECT_EQ(Calls("seek"), Lines{"second.mp3 " + std::to_string(40 * test::kSecond)});
}

// The music stop time also stops the slot watch: the next slot's start brings no music back.
TEST_F(AppTest, TheMusicStopTimeKeepsTheNextSlotSilent) {
  WriteConfig({{"音乐音量", "6"}, {"时段播放", "是"}, {"音乐关闭", "是"}, {"音乐关闭时间", "07:59:30"}});
  AddSong("song", 3, 2 * test::kHour);
  AddSlot("08:00:00", "08:10:00", 3);
  StartProgram();
  Form1->FcRapidFireButton10->Click();
  RunUntil(7, 59, 31);
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpStopped);
  EXPECT_FALSE(Form1->T_musictype->Enabled());
  RunUntil(8, 0, 5);
  EXPECT_EQ(Calls("play"), Lines{"song.mp3"});
}

// At the close time the music stops as its stop button stops it (its place is saved), the
// volume comes back to full even when a broadcast holds it, and the program ends without the
// question.
TEST_F(AppTest, TheCloseTimeSavesTheMusicAndGivesBackTheVolume) {
  auto options = ShopOptions();
  options["随程序启动播放音乐时间段"] = "否";
  options["自动关闭时间"] = "07:59:40";
  WriteConfig(options);
  AddSong("calm", 0, 2 * test::kHour);
  test::TScriptedAnswers answers;
  StartProgram();
  Form1->FcRapidFireButton10->Click();
  RunUntil(7, 59, 41);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(answers.Shown().empty()) << answers.ShownTexts();
  EXPECT_EQ(Scalar("select Position from music_Position where idset=0"), std::to_string(40 * test::kSecond));
  EXPECT_EQ(Services.Mixer.Last(), 65535);
}

TEST_F(AppTest, TheCloseTimeGivesBackTheVolumeDuringABroadcast) {
  auto options = ShopOptions();
  options["随程序启动播放音乐时间段"] = "否";
  options["自动关闭时间"] = "08:00:05";
  WriteConfig(options);
  AddTask({.Name = "notice", .PTime = "08:00:00"}, 20 * test::kSecond);
  test::TScriptedAnswers answers;
  StartProgram();
  RunUntil(8, 0, 3);
  ASSERT_EQ(Services.Mixer.Last(), 8 * kLevel);
  RunUntil(8, 0, 6);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(Services.Mixer.Last(), 65535);
}

}  // namespace
