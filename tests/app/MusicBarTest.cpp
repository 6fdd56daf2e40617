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


// A start that resumes finds the saved track of its list, plays it from the saved position and
// names it in the marquee.
TEST_F(AppTest, ResumingPlaysTheSavedTrackFromItsPosition) {
  WriteConfig({{"音乐音量", "5"}});
  AddSong("first", 0, 10 * test::kMinute);
  int second = AddSong("second", 0, 10 * test::kMinute);
  AddResumeRow(0, second, 40 * test::kSecond);
  StartProgram();
  Form1->N27->Click();
  EXPECT_EQ(Calls("play"), Lines{"second.mp3"});
  EXPECT_EQ(Calls("seek"), Lines{"second.mp3 " + std::to_string(40 * test::kSecond)});
  EXPECT_EQ(Form1->FcLabel17->Caption(), "second        ");
}

// A song that cannot be opened is passed over, and a good song in between starts the count
// again: two broken songs apart from each other never end the music.
TEST_F(AppTest, BrokenSongsApartArePassedOverEachTime) {
  WriteConfig({{"音乐音量", "5"}});
  AddBrokenSong("bad1");
  AddSong("good1", 0, 5 * test::kSecond);
  AddBrokenSong("bad2");
  AddSong("good2", 0, 10 * test::kMinute);
  StartProgram();
  Form1->FcRapidFireButton10->Click();
  App.RunFor(10 * test::kSecond);
  EXPECT_EQ(Calls("play"), (Lines{"good1.mp3", "good2.mp3"}));
  EXPECT_TRUE(Started().empty());
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpPlaying);
}

// A resumed start whose saved track cannot be opened gives up the resume: the next song
// plays from its start, and the broken one is not tried a second time.
TEST_F(AppTest, ABrokenSavedTrackIsPassedOverAndTheNextPlaysFromItsStart) {
  WriteConfig({{"音乐音量", "5"}});
  int bad = AddBrokenSong("bad");
  AddSong("good", 0, 10 * test::kMinute);
  AddResumeRow(0, bad, 40 * test::kSecond);
  StartProgram();
  Form1->N27->Click();
  EXPECT_EQ(Calls("play"), Lines{"good.mp3"});
  EXPECT_EQ(Calls("seek"), Lines{});
  EXPECT_EQ(Calls("open"), (Lines{"bad.mp3", "good.mp3"}));
  EXPECT_TRUE(Started().empty());
}

// Pause saves the position; stop works on paused music too: it saves, stops, resets the bar
// and its elapsed time and gives back the full volume.
TEST_F(AppTest, PauseSavesThePositionAndStopEndsPausedMusic) {
  WriteConfig({{"音乐音量", "5"}});
  AddSong("song", 0, 10 * test::kMinute);
  StartProgram();
  Form1->FcRapidFireButton10->Click();
  App.RunFor(5 * test::kSecond);
  Form1->FcRapidFireButton12->Click();
  EXPECT_EQ(Scalar("select Position from music_Position where idset=0"), std::to_string(5 * test::kSecond));
  EXPECT_FALSE(Form1->T_music->Enabled());
  App.RunFor(2 * test::kSecond);
  Services.Mixer.Clear();
  Form1->FcRapidFireButton11->Click();
  EXPECT_EQ(Form1->MediaPlayer2->Mode(), mpStopped);
  EXPECT_EQ(Form1->MediaPlayer2->FileName(), "") << "and closed";
  EXPECT_EQ(Form1->FcLabel16->Caption(), "00:00/00:00");
  EXPECT_EQ(MusicButtons(), "on|-off|off");
  EXPECT_EQ(MixerLevels(), std::vector<int>{65535});
}

// At a slot's start the music changes to the slot's list and resumes that list's saved track.
TEST_F(AppTest, ASlotsStartResumesItsListsSavedTrack) {
  auto options = ShopOptions();
  options["时段播放"] = "是";
  WriteConfig(options);
  AddACategoryWithASavedTrack(3);
  AddSlot("08:00:00", "08:10:00", 3);
  StartProgram();
  RunUntil(7, 59, 30);
  ASSERT_EQ(Calls("play"), Lines{"all.mp3"});
  RunUntil(8, 0, 2);
  EXPECT_EQ(Calls("play"), (Lines{"all.mp3", "second.mp3"}));
  EXPECT_EQ(Calls("seek").back(), "second.mp3 " + std::to_string(40 * test::kSecond));
}

// A new day without slots stops the slot watch, also when the last slot's end was not seen
// because the machine was busy over midnight.
class LateEveningTest : public AppTest {
 protected:
  LateEveningTest() : AppTest(test::LocalDateTime(2026, 1, 5, 23, 58, 0)) {}
};

TEST_F(LateEveningTest, ADayWithoutSlotsStopsTheSlotWatch) {
  auto options = ShopOptions();
  options["时段播放"] = "是";
  WriteConfig(options);
  AddSong("song", 3, 2 * test::kHour);
  AddSlot("23:00:00", "23:59:59", 3, "1");
  StartProgram();
  App.RunUntilWallTime(test::LocalDateTime(2026, 1, 5, 23, 59, 50));
  ASSERT_TRUE(Form1->T_musictype->Enabled());
  App.Clock().Advance(15 * test::kSecond);
  App.RunUntilWallTime(test::LocalDateTime(2026, 1, 6, 0, 0, 10));
  EXPECT_FALSE(Form1->T_musictype->Enabled());
  EXPECT_EQ(Form1->CategoryFilterOn, 0);
}

}  // namespace
