#include "platform/media/MPlayer.h"

#include <atomic>

#include "platform/classes/TypeInfo.h"
#include "platform/media/Engine.h"
#include "platform/media/Mixer.h"
#include "platform/os/Timers.h"
#include "platform/os/Window.h"
#include "platform/rtl/Clock.h"

namespace {

std::atomic<MCIDEVICEID> gNextDevice{0x1000};

MCIERROR CodeOf(media::FailureKind kind) {
  switch (kind) {
    case media::FailureKind::FileNotFound: return MCIERR_FILE_NOT_FOUND;
    case media::FailureKind::CannotDecode: return MCIERR_INVALID_FILE;
    case media::FailureKind::NoOutput: return MCIERR_HARDWARE;
    case media::FailureKind::TimedOut: return MCIERR_DEVICE_NOT_READY;
    default: return MCIERR_INTERNAL;
  }
}

constexpr uint32_t kWaitStepMs = 10;
constexpr int64_t kWaitMarginMs = 5000;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchIntervalMs = 50;

}  // namespace

// What a window definition sets on a player.
static const classes::TPublished<TMediaPlayer, TComponent> MediaPlayerInfo([](auto& p) {
  p.String("FileName", &TMediaPlayer::FileName, &TMediaPlayer::SetFileName);
  p.Bool("AutoOpen", &TMediaPlayer::AutoOpen, &TMediaPlayer::SetAutoOpen).Default(false);
  p.Bool("AutoRewind", &TMediaPlayer::AutoRewind, &TMediaPlayer::SetAutoRewind).Default(true);
  p.Bool("Enabled", &TMediaPlayer::Enabled, &TMediaPlayer::SetEnabled).Default(true);
  p.Bool("Visible", &TMediaPlayer::Visible, &TMediaPlayer::SetVisible).Default(true);
  p.Event("OnNotify", &TMediaPlayer::OnNotify);
});

TMediaPlayer::TMediaPlayer(TComponent* AOwner) : TComponent(AOwner) {
  media::AddGainListener(this, [this](double gain) { ApplyGain(gain); });
}

TMediaPlayer::~TMediaPlayer() {
  media::RemoveGainListener(this);
  if (FWatchWindow) DeallocateHWnd(FWatchWindow);
  FStream.reset();
}

void TMediaPlayer::WatchCompletion(bool On) {
  if (On && !FWatchWindow) {
    FWatchWindow = AllocateHWnd([this](TMessage& Message) {
      if (Message.Msg == WM_TIMER) CheckCompletion();
    });
  }
  if (!FWatchWindow) return;
  if (On) SetTimer(FWatchWindow, kWatchTimer, kWatchIntervalMs, nullptr);
  else KillTimer(FWatchWindow, kWatchTimer);
}

void TMediaPlayer::Raise(MCIERROR code, const std::string& message) {
  FError = code;
  FErrorMessage = message;
  FWait = false;
  throw EMCIDeviceError(message);
}

void TMediaPlayer::Succeeded() {
  FError = 0;
  FErrorMessage.clear();
}

// Wait and Notify apply to one command.
void TMediaPlayer::EndCommand() {
  FWait = false;
  FNotify = false;
}

void TMediaPlayer::RequireOpen() {
  if (!FStream) Raise(MCIERR_INVALID_DEVICE_ID, "No MCI device open");
}

void TMediaPlayer::ApplyGain(double gain) {
  if (FStream) FStream->SetGain(gain);
}

void TMediaPlayer::FinishNotify(TMPNotifyValues Value) {
  if (!FNotifyPending) return;
  FNotifyPending = false;
  WatchCompletion(false);
  FNotifyValue = Value;
  if (OnNotify) OnNotify(this);
}

void TMediaPlayer::Open() {
  Close();
  if (FFileName.empty()) Raise(MCIERR_MISSING_PARAMETER, "No file name was given to open");
  try {
    FStream = media::CurrentEngine().Open(FFileName);
  } catch (const media::Failure& e) {
    FStream.reset();
    Raise(CodeOf(e.Kind()), e.what());
  } catch (const std::exception& e) {
    FStream.reset();
    Raise(MCIERR_INTERNAL, std::string("The file cannot be opened: ") + e.what());
  }
  FStream->SetGain(media::MasterGain());
  FDeviceID = ++gNextDevice;
  FPlaying = FPaused = false;
  Succeeded();
  EndCommand();
}

void TMediaPlayer::Close() {
  FinishNotify(nvAborted);
  FStream.reset();
  FDeviceID = 0;
  FPlaying = FPaused = false;
  Succeeded();
  EndCommand();
}

void TMediaPlayer::Play() {
  if (!FStream && FAutoOpen && !FFileName.empty()) Open();
  RequireOpen();
  FinishNotify(nvSuperseded);
  if (FAutoRewind && FStream->Ended()) FStream->Seek(0);
  bool wait = FWait;
  FNotifyPending = FNotify;
  FStream->Play();
  std::string error = FStream->TakeError();
  if (!error.empty()) {
    FPlaying = FPaused = false;
    FNotifyPending = false;
    Raise(MCIERR_HARDWARE, error);
  }
  FPlaying = true;
  FPaused = false;
  Succeeded();
  EndCommand();
  if (FNotifyPending) WatchCompletion(true);
  if (wait) {
    // Until the end, and no longer than the rest of the track and a margin: a pipeline that
    // stalls must not hold the caller for ever.
    rtl::Clock& clock = rtl::CurrentClock();
    int64_t limit = clock.MonotonicMs() + (FStream->LengthMs() - FStream->PositionMs()) + kWaitMarginMs;
    while (!FStream->Ended() && clock.MonotonicMs() < limit) clock.SleepMs(kWaitStepMs);
    CheckCompletion();
  }
}

void TMediaPlayer::Pause() {
  RequireOpen();
  CheckCompletion();
  // Pause toggles: a paused player plays on.
  if (FPaused) {
    Resume();
    return;
  }
  if (FPlaying) {
    FStream->Pause();
    FPlaying = false;
    FPaused = true;
    FinishNotify(nvAborted);
  }
  Succeeded();
  EndCommand();
}

void TMediaPlayer::Resume() {
  RequireOpen();
  if (FPaused) {
    FPaused = false;
    FPlaying = true;
    FStream->Play();
  }
  Succeeded();
  EndCommand();
}

void TMediaPlayer::Stop() {
  RequireOpen();
  CheckCompletion();
  if (FPlaying || FPaused) FStream->Pause();
  FPlaying = FPaused = false;
  FinishNotify(nvAborted);
  Succeeded();
  EndCommand();
}

void TMediaPlayer::CheckCompletion() {
  if (!FStream || !FPlaying || !FStream->Ended()) return;
  FPlaying = false;
  std::string error = FStream->TakeError();
  if (!error.empty()) {
    FError = MCIERR_HARDWARE;
    FErrorMessage = error;
  }
  FinishNotify(error.empty() ? nvSuccessful : nvFailure);
}

TMPModes TMediaPlayer::Mode() {
  CheckCompletion();
  if (FPlaying) return mpPlaying;
  if (FPaused) return mpPaused;
  return mpStopped;
}

int TMediaPlayer::Position() {
  CheckCompletion();
  return FStream ? static_cast<int>(FStream->PositionMs()) : 0;
}

void TMediaPlayer::SetPosition(int Value) {
  RequireOpen();
  // A saved position beyond this track's end (it belonged to another track) starts it over.
  if (Value < 0 || Value > FStream->LengthMs()) Value = 0;
  FStream->Seek(Value);
  Succeeded();
  EndCommand();
}

int TMediaPlayer::Length() { return FStream ? static_cast<int>(FStream->LengthMs()) : 0; }

void TMediaPlayer::SetTimeFormat(TMPTimeFormats Value) {
  if (Value != tfMilliseconds) Raise(MCIERR_BAD_TIME_FORMAT, "The specified time format is not supported");
  FTimeFormat = Value;
}

void TMediaPlayer::Loaded() {
  TComponent::Loaded();
  if (FAutoOpen && !FFileName.empty() && !HasState(csDesigning)) Open();
}
