// The music bar on its own: its play, pause and stop buttons, the panel it shows, the elapsed
// time, and what keeps it from starting; and the end of a broadcast seen from its own bar.
// The day starts on Monday 2026-01-05 at 07:59:00.
#include <algorithm>

#include "tests/app/AppFixture.h"

namespace {

using namespace apptest;

std::string MusicButtons() {
  return ButtonStates({Form1->FcRapidFireButton10, Form1->FcRapidFireButton12, Form1->FcRapidFireButton11});
}

// Play shows the music's panel in place of the broadcast's, swaps play for pause and counts
// the elapsed time; pause swaps them back; play then resumes the same track, fading it in.
TEST_F(AppTest, TheMusicBarPlaysPausesAndResumesWithAFade) {
  WriteConfig({{"音乐音量", "5"}});
  AddSong("song", 0, 10 * test::kMinute);
  StartProgram();
  Form1->FcPanel6_music->SetVisible(false);
  Form1->FcPanel1->SetVisible(true);
  Form1->FcRapidFireButton10->Click();
  EXPECT_EQ(MusicButtons(), "-off|on|on");
  EXPECT_TRUE(Form1->FcPanel6_music->Visible());
  EXPECT_FALSE(Form1->FcPanel1->Visible());
  App.RunFor(5 * test::kSecond + 50);
  EXPECT_EQ(Form1->FcLabel16->Caption(), "00:05");
  Form1->FcRapidFireButton12->Click();
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPaused);
  EXPECT_EQ(MusicButtons(), "on|-off|on");
  Services.Mixer.Clear();
  Form1->FcPanel6_music->SetVisible(false);
  Form1->FcRapidFireButton10->Click();
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
  EXPECT_EQ(Calls("open"), Lines{"song.mp3"}) << "resumed, not opened again";
  EXPECT_EQ(MixerLevels(), (std::vector<int>{5 * kLevel, 10})) << "the music level, then the fade's first step";
  EXPECT_EQ(MusicButtons(), "-off|on|on");
  EXPECT_TRUE(Form1->FcPanel6_music->Visible());
}

// The music's play button does nothing while a broadcast or a prelude is heard.
TEST_F(AppTest, TheMusicWaitsWhileABroadcastOrAPreludeIsHeard) {
  auto options = ShopOptions();
  options["随程序启动播放音乐时间段"] = "否";
  options["播放完播放音乐"] = "否";
  options["播放时先播放"] = AddAudio("ding.mp3", 10 * test::kSecond);
  WriteConfig(options);
  AddSong("song", 0, 10 * test::kMinute);
  AddTask({.Name = "notice", .PTime = "08:00:00", .BeFrom = true}, 20 * test::kSecond);
  StartProgram();
  RunUntil(8, 0, 3);
  ASSERT_EQ(Form2->MediaPlayer1->Mode(), mpPlaying) << "the prelude";
  Form1->FcRapidFireButton10->Click();
  RunUntil(8, 0, 15);
  ASSERT_EQ(Form1->MediaPlayer1->Mode(), mpPlaying) << "the broadcast";
  Form1->FcRapidFireButton10->Click();
  EXPECT_EQ(Calls("play"), (Lines{"ding.mp3", "notice.mp3"}));
  EXPECT_NE(Form1->MediaPlayer2->Mode(), mpPlaying);
  EXPECT_EQ(MusicButtons(), "on|-off|off");
}

// A broadcast that ends by itself leaves its bar as a stopped one: play shown, pause hidden,
// stop off.
TEST_F(AppTest, ABroadcastThatEndsLeavesItsBarStopped) {
  WriteConfig({{"自动运行", "是"}});
  AddTask({.Name = "notice", .PTime = "08:00:00"}, 5 * test::kSecond);
  StartProgram();
  RunUntil(8, 0, 2);
  ASSERT_EQ(ButtonStates({Form1->FcRapidFireButton1, Form1->FcRapidFireButton2, Form1->FcRapidFireButton3}),
            "-off|on|on");
  RunUntil(8, 0, 10);
  EXPECT_EQ(ButtonStates({Form1->FcRapidFireButton1, Form1->FcRapidFireButton2, Form1->FcRapidFireButton3}),
            "on|-off|off");
}

// A broadcast stopped with its button is over: its monitor does not end it a second time, so
// the music's fade-in starts once.
TEST_F(AppTest, AStoppedBroadcastBringsTheMusicBackOnce) {
  WriteConfig(ShopOptions());
  AddSong("song", 0, 10 * test::kMinute);
  AddTask({.Name = "notice", .PTime = "08:00:00"}, 20 * test::kSecond);
  StartProgram();
  RunUntil(8, 0, 5);
  Services.Mixer.Clear();
  Form1->FcRapidFireButton3->Click();
  App.RunFor(2 * test::kSecond);
  std::vector<int> levels = MixerLevels();
  EXPECT_EQ(std::count(levels.begin(), levels.end(), 10), 1) << ::testing::PrintToString(levels);
  EXPECT_FALSE(Form1->Timer1->Enabled());
}

// A stopped prelude leaves its mark, but the scheduler's next firing clears it: the next task
// gets its prelude.
TEST_F(AppTest, TheNextFiringHasItsPreludeAfterAStoppedOne) {
  AddTwoTasksWithAPrelude();
  StartProgram();
  RunUntil(8, 0, 3);
  Form2->FcRapidFireButton3->Click();
  RunUntil(8, 1, 30);
  EXPECT_EQ(Calls("play"), (Lines{"ding.mp3", "ding.mp3", "later.mp3"}));
}

}  // namespace
