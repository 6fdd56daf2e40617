// The MCI length query and the mixer call as the program makes them.
#include "platform/media/MMSystem.h"

#include <gtest/gtest.h>

#include "platform/media/Mixer.h"
#include "tests/support/ServiceRecorders.h"
#include "tests/support/SimulatedEngine.h"

namespace {

// What the program does with a file's length: MCI open, status length, close.
MCIERROR QueryLength(const std::string& path, uint32_t& lengthMs) {
  MCI_OPEN_PARMSA open{};
  open.lpstrElementName = path.c_str();
  mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<uintptr_t>(&open));
  MCI_STATUS_PARMS status{};
  status.dwItem = MCI_STATUS_LENGTH;
  MCIERROR r = mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<uintptr_t>(&status));
  if (r == 0) lengthMs = static_cast<uint32_t>(status.dwReturn);
  mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0);
  return r;
}

TEST(MciLength, AnswersFromTheEngineAndFailsCleanly) {
  test::SimulatedEngine engine;
  engine.AddFile("/a/long.wav", 3725000);
  engine.AddFailingFile("/a/text.mp3");
  media::SetEngine(&engine);
  uint32_t length = 0;
  EXPECT_EQ(QueryLength("/a/long.wav", length), 0u);
  EXPECT_EQ(length, 3725000u);
  length = 7;
  EXPECT_EQ(QueryLength("/a/text.mp3", length), MCIERR_INVALID_DEVICE_ID);
  // A failed open clears an identifier left in the record, so no other device answers for it.
  MCI_OPEN_PARMSA kept{};
  kept.lpstrElementName = "/a/long.wav";
  ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<uintptr_t>(&kept)), 0u);
  MCI_OPEN_PARMSA reused = kept;
  reused.lpstrElementName = "/a/text.mp3";
  EXPECT_NE(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<uintptr_t>(&reused)), 0u);
  EXPECT_EQ(reused.wDeviceID, 0u);
  EXPECT_EQ(mciSendCommandA(kept.wDeviceID, MCI_CLOSE, 0, 0), 0u);
  EXPECT_EQ(QueryLength("/a/none.mp3", length), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(length, 7u);
  // A closed device answers no more.
  MCI_OPEN_PARMSA open{};
  open.lpstrElementName = "/a/long.wav";
  ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<uintptr_t>(&open)), 0u);
  EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0), 0u);
  MCI_STATUS_PARMS status{};
  status.dwItem = MCI_STATUS_LENGTH;
  EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<uintptr_t>(&status)),
            MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(mciSendCommandA(0, MCI_PLAY, 0, 0), MCIERR_UNSUPPORTED_FUNCTION);
  char text[16];
  EXPECT_TRUE(mciGetErrorStringA(MCIERR_INVALID_FILE, text, sizeof text));
  EXPECT_EQ(std::string(text).size(), 15u);  // cut to the buffer
  media::SetEngine(nullptr);
}

MMRESULT SetVolume(uint32_t channels, uint32_t left, uint32_t right, HMIXEROBJ mixer = 0,
                   uint32_t control = 0, uint32_t flags = 0) {
  MIXERCONTROLDETAILS_UNSIGNED values[2] = {{left}, {right}};
  MIXERCONTROLDETAILS details{};
  details.cbStruct = 24;
  details.dwControlID = control;
  details.cChannels = channels;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values;
  return mixerSetControlDetails(mixer, &details, flags);
}

TEST(Mixer, SetsBothChannelsOfTheMasterVolume) {
  test::MixerRecorder recorder;
  media::SetMixer(&recorder);
  EXPECT_EQ(SetVolume(2, 65530, 65530), MMSYSERR_NOERROR);
  EXPECT_EQ(SetVolume(2, 65535, 65535), MMSYSERR_NOERROR);
  EXPECT_EQ(SetVolume(2, 10, 10), MMSYSERR_NOERROR);
  EXPECT_EQ(SetVolume(1, 700, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(SetVolume(2, 70000, 0), MMSYSERR_NOERROR);
  using V = std::vector<std::pair<uint16_t, uint16_t>>;
  EXPECT_EQ(recorder.Values(), (V{{65530, 65530}, {65535, 65535}, {10, 10}, {700, 700}, {65535, 0}}));
  recorder.Clear();
  int dummy = 0;
  EXPECT_EQ(SetVolume(2, 1, 1, &dummy), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(SetVolume(2, 1, 1, 0, 3), MIXERR_INVALCONTROL);
  EXPECT_EQ(SetVolume(3, 1, 1), MMSYSERR_INVALPARAM);
  EXPECT_EQ(SetVolume(2, 1, 1, 0, 0, 0x10000000), MMSYSERR_INVALFLAG);
  EXPECT_EQ(mixerSetControlDetails(0, nullptr, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(recorder.Last(), -1);
  media::SetMixer(nullptr);
}

}  // namespace
