// One broadcast from its firing to its end: its immediate repeats and what happens between
// them, a task deleted while its repeats wait, an edit given up for the play button, and
// files that cannot be played. The day starts on Monday 2026-01-05 at 07:59:00.
#include <algorithm>
#include <fstream>

#include "platform/rtl/Strings.h"
#include "tests/app/AppFixture.h"

namespace {

using namespace apptest;

int PlaysOf(const Lines& Plays, const std::string& File) {
  return static_cast<int>(std::count(Plays.begin(), Plays.end(), File));
}

// A task is heard once and then num times more, each repeat as soon as the play before it has
// ended; its backtime is the start of the last play.
TEST_F(AppTest, ATaskPlaysOnceAndThenItsRepeats) {
  WriteConfig({{"自动运行", "是"}});
  int t0 = AddTask({.Name = "t0", .PTime = "08:00:00", .Num = 0}, 5 * test::kSecond);
  int t1 = AddTask({.Name = "t1", .PTime = "08:01:00", .Num = 1}, 5 * test::kSecond);
  int t3 = AddTask({.Name = "t3", .PTime = "08:02:00", .Num = 3}, 5 * test::kSecond);
  StartProgram();
  RunUntil(8, 3, 0);
  Lines plays = Calls("play");
  EXPECT_EQ(PlaysOf(plays, "t0.mp3"), 1);
  EXPECT_EQ(PlaysOf(plays, "t1.mp3"), 2);
  EXPECT_EQ(PlaysOf(plays, "t3.mp3"), 4);
  EXPECT_EQ(TaskValue(t0, "backtime"), "08:00:00");
  EXPECT_EQ(TaskValue(t1, "backtime"), "08:01:05");
  EXPECT_EQ(TaskValue(t3, "backtime"), "08:02:15");
  EXPECT_FALSE(Form1->num1->Enabled());
}

// Between a play and its repeat the broadcast has not ended: the music stays paused, the mixer
// is left alone and the elapsed time stays at the last position.
TEST_F(AppTest, BetweenItsRepeatsABroadcastHasNotEnded) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  int no = AddTask({.Name = "sale", .PTime = "08:00:00", .Num = 1}, 20500);
  StartProgram();
  RunUntil(8, 0, 20);
  Services.Mixer.Clear();
  App.RunFor(700);  // the play ended at 08:00:20.5, the repeat counter's next tick is at 08:00:21
  EXPECT_EQ(Form1->FcLabel12->Caption(), "00:20");
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPaused);
  EXPECT_TRUE(MixerLevels().empty());
  RunUntil(8, 1, 0);
  EXPECT_EQ(Calls("play"), (Lines{"song.mp3", "sale.mp3", "sale.mp3", "song.mp3"}));
  EXPECT_EQ(TaskValue(no, "backtime"), "08:00:21");
}

// A task deleted while it plays has no repeats left: the broadcast ends after this play and
// the music comes back.
TEST_F(AppTest, ATaskDeletedWhileItPlaysEndsItsRepeats) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  int no = AddTask({.Name = "sale", .PTime = "08:00:00", .Num = 2}, 10 * test::kSecond);
  StartProgram();
  RunUntil(8, 0, 5);
  ASSERT_TRUE(Form1->ADOTable1->Locate("no", IntToStr(no), loCaseInsensitive));
  Form1->ADOTable1->Delete();
  RunUntil(8, 0, 30);
  EXPECT_EQ(Calls("play"), (Lines{"song.mp3", "sale.mp3", "song.mp3"}));
  EXPECT_FALSE(Form1->num1->Enabled());
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
}

// The play button gives up an edit open in the parameter box: the row keeps what it had, the
// box goes back to "参数" and the task list is usable again.
TEST_F(AppTest, ThePlayButtonGivesUpAnOpenEdit) {
  int no = AddTask({.Name = "sale", .PTime = "09:00:00"}, 5 * test::kSecond);
  StartProgram();
  Form1->FcGroupBox1->SetEnabled(true);
  Form1->FcGroupBox1->SetCaption("修改参数");
  Form1->DBGridGd1->SetEnabled(false);
  Form1->ADOTable1->Edit();
  Form1->ADOTable1->FieldByName("filename")->SetAsString("changed");
  Form1->FcRapidFireButton1->Click();
  EXPECT_EQ(Form1->ADOTable1->State(), dsBrowse);
  EXPECT_EQ(TaskValue(no, "filename"), "sale");
  EXPECT_EQ(Form1->FcGroupBox1->Caption(), "参数");
  EXPECT_FALSE(Form1->FcGroupBox1->Enabled());
  EXPECT_TRUE(Form1->DBGridGd1->Enabled());
  EXPECT_EQ(Calls("play"), Lines{"sale.mp3"});
}

// With no task at all the play button does nothing.
TEST_F(AppTest, ThePlayButtonWithoutTasksDoesNothing) {
  StartProgram();
  Services.Mixer.Clear();
  Form1->FcRapidFireButton1->Click();
  EXPECT_TRUE(Form1->FcRapidFireButton1->Visible());
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_TRUE(Services.Engine.Calls().empty());
  EXPECT_TRUE(MixerLevels().empty());
  EXPECT_EQ(ErrLog(), "");
}

// A broadcast file the player cannot open is logged with the task's name and the restart
// companion is started; the broadcast then ends as a finished one, bringing the music back.
TEST_F(AppTest, ABroadcastThatCannotBeOpenedStartsTheCompanion) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  std::string bad = App.PathInExeDir("bad.mp3");
  std::ofstream(bad) << "x";
  Services.Engine.AddFailingFile(bad);
  AddTask({.Name = "bad", .PTime = "08:00:00", .Path = bad});
  StartProgram();
  RunUntil(8, 0, 5);
  EXPECT_EQ(ErrLog(), "20260105 08:00:00 广播播放异常！ bad\r\n");
  EXPECT_EQ(Started(), Lines{"quorvex.exe"});
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
}

}  // namespace
