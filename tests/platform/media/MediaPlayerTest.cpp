// TMediaPlayer over the simulated engine: modes, positions on the virtual clock, failures.
#include "platform/media/MPlayer.h"

#include <gtest/gtest.h>

#include "platform/classes/Filer.h"
#include "platform/media/Mixer.h"
#include "platform/rtl/Clock.h"
#include "tests/support/SimulatedEngine.h"

namespace {

class MediaPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rtl::SetClock(&clock);
    media::SetEngine(&engine);
    engine.AddFile("/music/a.mp3", 3000);
    engine.AddFile("/music/b.wav", 1000);
    engine.AddFailingFile("/music/broken.mp3");
  }
  void TearDown() override {
    media::SetEngine(nullptr);
    rtl::SetClock(nullptr);
  }
  rtl::VirtualClock clock{TDateTime(46000.5)};
  test::SimulatedEngine engine;
  TMediaPlayer player{nullptr};
};

TEST_F(MediaPlayerTest, PlaysToTheEndOnTheVirtualClock) {
  EXPECT_EQ(player.Mode(), mpStopped);
  player.SetFileName("/music/a.mp3");
  player.Open();
  EXPECT_NE(player.DeviceID(), 0u);
  EXPECT_EQ(player.Length(), 3000);
  EXPECT_EQ(player.Mode(), mpStopped);
  player.Play();
  EXPECT_EQ(player.Mode(), mpPlaying);
  clock.Advance(1200);
  EXPECT_EQ(player.Position(), 1200);
  clock.Advance(1799);
  EXPECT_EQ(player.Mode(), mpPlaying);
  clock.Advance(1);
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_EQ(player.Position(), 3000);
  // Playing again at the end starts over.
  player.Play();
  clock.Advance(100);
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_EQ(player.Position(), 100);
}

TEST_F(MediaPlayerTest, PauseResumeStopAndPosition) {
  player.SetFileName("/music/a.mp3");
  player.Open();
  player.SetPosition(500);  // before playing, as a resumed track does
  player.Play();
  clock.Advance(500);
  player.Pause();
  EXPECT_EQ(player.Mode(), mpPaused);
  clock.Advance(10000);
  EXPECT_EQ(player.Position(), 1000);
  player.Resume();
  EXPECT_EQ(player.Mode(), mpPlaying);
  clock.Advance(250);
  EXPECT_EQ(player.Position(), 1250);
  // Pause toggles: pausing a paused player plays on.
  player.Pause();
  clock.Advance(100);
  player.Pause();
  EXPECT_EQ(player.Mode(), mpPlaying);
  clock.Advance(50);
  EXPECT_EQ(player.Position(), 1300);
  player.SetPosition(2500);
  EXPECT_EQ(player.Mode(), mpPlaying);
  clock.Advance(100);
  EXPECT_EQ(player.Position(), 2600);
  player.SetPosition(9000);  // beyond the end: from the start
  EXPECT_EQ(player.Position(), 0);
  player.SetPosition(2600);
  player.Stop();
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_EQ(player.Position(), 2600);
  player.Resume();  // only a paused player resumes
  EXPECT_EQ(player.Mode(), mpStopped);
  player.Close();
  EXPECT_EQ(player.DeviceID(), 0u);
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_EQ(player.Position(), 0);
  EXPECT_EQ(engine.OpenStreams(), 0);
}

TEST_F(MediaPlayerTest, FailuresRaiseAndLeaveThePlayerUsable) {
  struct Case { const char* file; MCIERROR code; const char* words; };
  const Case cases[] = {
      {"/music/missing.mp3", MCIERR_FILE_NOT_FOUND, "cannot be found"},
      {"/music/broken.mp3", MCIERR_INVALID_FILE, "cannot be played"},
      {"", MCIERR_MISSING_PARAMETER, "No file name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    player.SetFileName(c.file);
    try {
      player.Open();
      FAIL() << "no error";
    } catch (const EMCIDeviceError& e) {
      EXPECT_NE(std::string(e.Message()).find(c.words), std::string::npos) << e.Message();
      EXPECT_NE(std::string(e.Message()).find(c.file), std::string::npos);
    }
    EXPECT_EQ(player.Error(), c.code);
    EXPECT_EQ(player.Mode(), mpStopped);
    EXPECT_THROW(player.Play(), EMCIDeviceError);
    // The next file plays.
    player.SetFileName("/music/b.wav");
    player.Open();
    player.Play();
    EXPECT_EQ(player.Mode(), mpPlaying);
    EXPECT_EQ(player.Error(), 0u);
    player.Close();
  }
  EXPECT_THROW(player.SetTimeFormat(tfHMS), EMCIDeviceError);
  EXPECT_EQ(player.TimeFormat(), tfMilliseconds);
}

TEST_F(MediaPlayerTest, OpeningAnotherFileClosesTheFirst) {
  player.SetFileName("/music/a.mp3");
  player.Open();
  player.Play();
  player.SetFileName("/music/b.wav");
  player.Open();
  EXPECT_EQ(engine.OpenStreams(), 1);
  EXPECT_EQ(player.Length(), 1000);
  EXPECT_EQ(player.Mode(), mpStopped);
}

TEST_F(MediaPlayerTest, NotifyReportsHowPlayEnded) {
  std::vector<TMPNotifyValues> seen;
  player.OnNotify = [&](TObject* sender) {
    EXPECT_EQ(sender, &player);
    seen.push_back(player.NotifyValue());
  };
  player.SetFileName("/music/b.wav");
  player.Open();
  player.SetNotify(true);
  player.Play();
  EXPECT_FALSE(player.Notify());  // applies to one command
  clock.Advance(1000);
  player.CheckCompletion();
  player.SetNotify(true);
  player.Play();
  player.Stop();
  player.SetNotify(true);
  player.Play();
  player.SetNotify(true);
  player.Play();  // supersedes the one before
  player.Play();  // supersedes that one too, and asks for none itself
  clock.Advance(5000);
  player.Mode();
  EXPECT_EQ(seen, (std::vector<TMPNotifyValues>{nvSuccessful, nvAborted, nvSuperseded, nvSuperseded}));
}

TEST_F(MediaPlayerTest, WaitPlaysToTheEndBeforeReturning) {
  player.SetFileName("/music/b.wav");
  player.Open();
  int64_t start = clock.MonotonicMs();
  player.SetWait(true);
  player.Play();
  EXPECT_GE(clock.MonotonicMs() - start, 1000);
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_FALSE(player.Wait());
}

// A window definition places the player, sets it and opens it once loaded.
TEST_F(MediaPlayerTest, AutoOpenOpensOnLoadAndOnPlay) {
  TComponent form(nullptr);
  ReadComponentText(&form,
                    "object Form1: TComponent\n"
                    "  object MediaPlayer1: TMediaPlayer\n"
                    "    FileName = '/music/a.mp3'\n"
                    "    AutoOpen = True\n"
                    "    Visible = False\n"
                    "  end\n"
                    "end\n");
  auto* loaded = dynamic_cast<TMediaPlayer*>(form.FindComponent("MediaPlayer1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_FALSE(loaded->Visible());
  EXPECT_EQ(loaded->FileName(), "/music/a.mp3");
  EXPECT_EQ(loaded->Length(), 3000);
  TMediaPlayer other(nullptr);
  other.SetAutoOpen(true);
  other.SetFileName("/music/b.wav");
  other.Play();
  EXPECT_EQ(other.Mode(), mpPlaying);
}

TEST_F(MediaPlayerTest, MasterGainReachesEveryOpenPlayer) {
  media::GainMixer gain;
  media::SetMixer(&gain);
  TMediaPlayer second(nullptr);
  player.SetFileName("/music/a.mp3");
  player.Open();
  second.SetFileName("/music/b.wav");
  second.Open();
  MIXERCONTROLDETAILS_UNSIGNED values[2] = {{32767}, {32767}};
  MIXERCONTROLDETAILS details{};
  details.cbStruct = 24;
  details.cChannels = 2;
  details.cbDetails = 4;
  details.paDetails = values;
  EXPECT_EQ(mixerSetControlDetails(0, &details, 0), MMSYSERR_NOERROR);
  EXPECT_NEAR(engine.GainOf("/music/a.mp3"), 0.5, 0.001);
  EXPECT_NEAR(engine.GainOf("/music/b.wav"), 0.5, 0.001);
  // A player opened later starts at the master gain too.
  player.Close();
  engine.ClearCalls();
  player.Open();
  EXPECT_EQ(engine.Calls().back(), "gain /music/a.mp3 0.50");
  media::SetMasterGain(1.0);
  media::SetMixer(nullptr);
}

}  // namespace

#include "tests/support/HeadlessLoop.h"

namespace {

// Nobody polls the player: the message loop notices the end of the track by itself.
TEST(MediaPlayerLoop, TheMessageLoopDeliversTheNotification) {
  test::THeadlessLoop app;
  test::SimulatedEngine engine;
  engine.AddFile("/music/b.wav", 1000);
  media::SetEngine(&engine);
  TMediaPlayer player(nullptr);
  std::vector<TMPNotifyValues> seen;
  player.OnNotify = [&](TObject*) { seen.push_back(player.NotifyValue()); };
  player.SetFileName("/music/b.wav");
  player.Open();
  player.SetNotify(true);
  player.Play();
  app.RunFor(900);
  EXPECT_TRUE(seen.empty());
  app.RunFor(200);
  EXPECT_EQ(seen, std::vector<TMPNotifyValues>{nvSuccessful});
  player.Close();
  media::SetEngine(nullptr);
}

}  // namespace
