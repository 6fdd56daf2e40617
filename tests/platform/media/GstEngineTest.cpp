// Real playback through GStreamer into the clock-synchronised null sink, on files made here.
#include "platform/media/GstEngine.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "AudioFiles.h"
#include "platform/media/MMSystem.h"
#include "platform/media/MPlayer.h"

namespace {

using namespace std::chrono;
using mediatest::TempDir;

class GstPlayback : public ::testing::Test {
 protected:
  void SetUp() override { media::SetEngine(&engine); }
  void TearDown() override { media::SetEngine(nullptr); }

  // Polls the player as the program's monitors do until it stops (or a generous bound passes).
  static void WaitUntilStopped(TMediaPlayer& player) {
    auto limit = steady_clock::now() + seconds(20);
    while (player.Mode() != mpStopped && steady_clock::now() < limit)
      std::this_thread::sleep_for(milliseconds(20));
  }

  media::GstEngine engine{media::GstEngine::Output::Null};
  TempDir dir;
  TMediaPlayer player{nullptr};
};

TEST(GstEngine, WithoutASoundOutputTheNullSinkIsUsed) {
  media::GstEngine automatic;
  EXPECT_EQ(automatic.UsesNullSink(), !media::HaveAudioOutput());
  EXPECT_TRUE(media::GstEngine(media::GstEngine::Output::Null).UsesNullSink());
}

TEST_F(GstPlayback, PlaysASineToItsEndInRealTime) {
  ASSERT_TRUE(engine.UsesNullSink());
  mediatest::WriteSineWav(dir / "tone.wav", 1200);
  player.SetFileName(dir / "tone.wav");
  player.Open();
  EXPECT_NEAR(player.Length(), 1200, 20);
  EXPECT_EQ(player.Mode(), mpStopped);
  auto start = steady_clock::now();
  player.Play();
  // Open pre-rolled the pipeline: Play only starts the clock.
  EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 30);
  EXPECT_EQ(player.Mode(), mpPlaying);
  WaitUntilStopped(player);
  auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
  EXPECT_EQ(player.Mode(), mpStopped);
  // The null sink keeps the clock: the track ends when its length has passed, not before and
  // not long after.
  EXPECT_GE(elapsed, 1100);
  EXPECT_LE(elapsed, 2500);
  EXPECT_NEAR(player.Position(), 1200, 20);
  player.Close();
}

TEST_F(GstPlayback, PauseResumeAndPosition) {
  mediatest::WriteSineWav(dir / "tone.wav", 3000);
  player.SetFileName(dir / "tone.wav");
  player.Open();
  player.SetPosition(1000);
  EXPECT_NEAR(player.Position(), 1000, 30);
  player.Play();
  std::this_thread::sleep_for(milliseconds(300));
  player.Pause();
  EXPECT_EQ(player.Mode(), mpPaused);
  int paused = player.Position();
  EXPECT_GT(paused, 1000);
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_NEAR(player.Position(), paused, 30);
  player.Resume();
  EXPECT_EQ(player.Mode(), mpPlaying);
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_GT(player.Position(), paused);
  player.SetPosition(2800);
  WaitUntilStopped(player);
  EXPECT_EQ(player.Mode(), mpStopped);
}

TEST_F(GstPlayback, MissingAndCorruptFilesFailThenTheNextFilePlays) {
  mediatest::WriteText(dir / "notes.mp3", "this is a text file, not a song\n");
  mediatest::WriteSineWav(dir / "tone.wav", 300);
  for (std::string bad : {dir / "missing.wav", dir / "notes.mp3"}) {
    SCOPED_TRACE(bad);
    player.SetFileName(bad);
    EXPECT_THROW(player.Open(), EMCIDeviceError);
    EXPECT_NE(player.ErrorMessage().find(bad), std::string::npos) << player.ErrorMessage();
    EXPECT_EQ(player.Mode(), mpStopped);
    player.SetFileName(dir / "tone.wav");
    player.Open();
    player.Play();
    WaitUntilStopped(player);
    EXPECT_NEAR(player.Position(), 300, 20);
    player.Close();
  }
}

TEST_F(GstPlayback, PlaysTheMp3Fixture) {
  player.SetFileName(std::string(OSTROVEL_SOURCE_DIR) + "/tests/data/tone-1s.mp3");
  player.Open();
  EXPECT_NEAR(player.Length(), 1000, 150);  // the encoder pads a frame or two
  player.SetPosition(700);
  player.Play();
  WaitUntilStopped(player);
  EXPECT_EQ(player.Mode(), mpStopped);
}

// Encodes a second of tone through GStreamer's own elements (encoder and muxer given as a
// pipeline fragment); false when the machine lacks one of them.
bool EncodeToneSecond(const std::string& path, const std::string& encode) {
  gst_init(nullptr, nullptr);
  std::string description = "audiotestsrc num-buffers=100 samplesperbuffer=441 ! audio/x-raw,rate=44100 ! "
                            "audioconvert ! " + encode + " ! filesink location=\"" + path + "\"";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) g_error_free(error);
  if (!pipeline) return false;
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* msg = gst_bus_timed_pop_filtered(bus, 20 * GST_SECOND,
                                               static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  bool done = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
  if (msg) gst_message_unref(msg);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return done;
}

// Shops' music folders are mostly MP3 and WMA; a WMA file made here plays like the others.
TEST_F(GstPlayback, PlaysAWmaFile) {
  std::string path = dir / "tone.wma";
  if (!EncodeToneSecond(path, "avenc_wmav2 ! asfmux"))
    GTEST_SKIP() << "this machine cannot encode WMA";
  EXPECT_NEAR(engine.ProbeLengthMs(path).value_or(0), 1000, 150);  // the length query reads it too
  player.SetFileName(path);
  player.Open();
  EXPECT_NEAR(player.Length(), 1000, 150);
  player.SetPosition(600);
  player.Play();
  EXPECT_EQ(player.Mode(), mpPlaying);
  WaitUntilStopped(player);
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_NEAR(player.Position(), player.Length(), 50);
}

// The program's length text: milliseconds as "hh:mm:ss", last five characters.
std::string LengthText(const std::string& path) {
  MCI_OPEN_PARMSA open{};
  open.lpstrElementName = path.c_str();
  mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<uintptr_t>(&open));
  MCI_STATUS_PARMS status{};
  status.dwItem = MCI_STATUS_LENGTH;
  std::string text;
  if (mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<uintptr_t>(&status)) == 0) {
    auto secs = static_cast<uint32_t>(status.dwReturn) / 1000;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u:%02u", secs / 60 % 60, secs % 60);
    text = buf;
  }
  mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0);
  return text;
}

TEST_F(GstPlayback, LengthQueryOfAnHourLongFileAndOfAFakeMp3) {
  mediatest::WriteSilentWav(dir / "long.wav", (3600 + 2 * 60 + 5) * 1000LL);
  mediatest::WriteText(dir / "fake.mp3", "no sound in here\n");
  EXPECT_EQ(engine.ProbeLengthMs(dir / "long.wav"), 3725000);
  EXPECT_EQ(LengthText(dir / "long.wav"), "02:05");
  EXPECT_EQ(LengthText(dir / "fake.mp3"), "");
  EXPECT_EQ(LengthText(dir / "absent.wav"), "");
}

}  // namespace

namespace {

// A one-note MIDI file of half a second plays through the synthesizer; a machine without one
// (or without a sound font) refuses it with a message that says so.
TEST_F(GstPlayback, MidiPlaysThroughTheSynthesizerOrFailsClearly) {
  const unsigned char midi[] = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,                  // format 0, 1 track
      'M', 'T', 'r', 'k', 0, 0, 0, 12,                                     // track of 12 bytes
      0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};     // note on, off, end
  std::string path = dir / "tune.mid";
  mediatest::WriteText(path, std::string(reinterpret_cast<const char*>(midi), sizeof midi));
  player.SetFileName(path);
  try {
    player.Open();
  } catch (const EMCIDeviceError& e) {
    EXPECT_NE(e.Message().find("MIDI"), std::string::npos) << e.Message();
    return;
  }
  EXPECT_NEAR(player.Length(), 500, 50);
  player.Play();
  EXPECT_EQ(player.Mode(), mpPlaying);
  WaitUntilStopped(player);
  EXPECT_EQ(player.Mode(), mpStopped);
}

// Looking for the sound output, and playing, leave the standard error empty: a machine without
// a sound card must not fill the program's output with the sound system's complaints. The
// check runs in a fresh process, where the output has not been looked for yet.
TEST(GstEngine, FindingTheSoundOutputPrintsNothing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        media::GstEngine automatic;
        media::SetEngine(&automatic);
        automatic.UsesNullSink();
        TMediaPlayer player(nullptr);
        player.SetFileName(std::string(OSTROVEL_SOURCE_DIR) + "/tests/data/tone-1s.mp3");
        player.Open();
        player.Play();
        std::this_thread::sleep_for(milliseconds(100));
        player.Close();
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
