#pragma once
// TMediaPlayer: the non-visual media player component. It plays one file at a time through
// the current engine (media::CurrentEngine()); positions and the length are in milliseconds.
// Every failure raises EMCIDeviceError with a readable message and leaves the player closed
// and usable for the next file. Window definitions set FileName, AutoOpen, AutoRewind,
// Enabled, Visible and OnNotify.
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/media/MMSystem.h"
#include "platform/rtl/Types.h"

namespace media { class Stream; }

class EMCIDeviceError : public Exception { public: using Exception::Exception; };

enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
enum TMPTimeFormats {
  tfMilliseconds, tfHMS, tfMSF, tfFrames, tfSMPTE24, tfSMPTE25, tfSMPTE30, tfSMPTE30Drop,
  tfBytes, tfSamples, tfTMSF
};
enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

class TMediaPlayer : public TComponent {
 public:
  explicit TMediaPlayer(TComponent* AOwner);
  ~TMediaPlayer() override;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }

  // Opens FileName (closing what was open) and pre-rolls it.
  void Open();
  // Releases the file; a closed player reports mpStopped.
  void Close();
  // Plays from the current position (from the start when it stands at the end and AutoRewind).
  void Play();
  // Pauses a playing player; on a paused one it resumes (as Resume).
  void Pause();
  // Continues a paused player; nothing otherwise.
  void Resume();
  // Stops playing and keeps the position.
  void Stop();

  TMPModes Mode();
  int Position();
  // Moves to Value (playing on if playing); a value outside 0..Length moves to the start.
  void SetPosition(int Value);
  int Length();
  // 0 while no file is open.
  MCIDEVICEID DeviceID() const { return FDeviceID; }

  TMPTimeFormats TimeFormat() const { return FTimeFormat; }
  // Only milliseconds are supported; other formats raise EMCIDeviceError.
  void SetTimeFormat(TMPTimeFormats Value);

  // Wait: the next command returns only when it is complete (Play: at the end of the track, or
  // when the rest of the track and five seconds more have passed without it ending).
  // Applies to the next command only.
  bool Wait() const { return FWait; }
  void SetWait(bool Value) { FWait = Value; }
  // Notify: the next Play raises OnNotify when it completes (NotifyValue nvSuccessful) or is
  // cut short by Stop, Pause, Close or another Play (nvAborted / nvSuperseded). The end of the
  // track is noticed by a timer of the thread's message loop (or by Mode and Position).
  bool Notify() const { return FNotify; }
  void SetNotify(bool Value) { FNotify = Value; }
  TMPNotifyValues NotifyValue() const { return FNotifyValue; }
  TNotifyEvent OnNotify;

  bool AutoOpen() const { return FAutoOpen; }
  void SetAutoOpen(bool Value) { FAutoOpen = Value; }
  bool AutoRewind() const { return FAutoRewind; }
  void SetAutoRewind(bool Value) { FAutoRewind = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }

  // The MCI error code of the last command (0 = success) and its text.
  MCIERROR Error() const { return FError; }
  const std::string& ErrorMessage() const { return FErrorMessage; }

  // Opens FileName when AutoOpen is set.
  void Loaded() override;
  // Notices the end of the track and raises a pending notification; Mode and Position call it,
  // and so may a timer of the owner.
  void CheckCompletion();

 private:
  void RequireOpen();
  [[noreturn]] void Raise(MCIERROR code, const std::string& message);
  void Succeeded();
  void EndCommand();
  void FinishNotify(TMPNotifyValues Value);
  void ApplyGain(double gain);
  void WatchCompletion(bool On);

  std::string FFileName;
  std::unique_ptr<media::Stream> FStream;
  MCIDEVICEID FDeviceID = 0;
  bool FPlaying = false;
  bool FPaused = false;
  TMPTimeFormats FTimeFormat = tfMilliseconds;
  bool FWait = false;
  bool FNotify = false;
  bool FNotifyPending = false;
  TMPNotifyValues FNotifyValue = nvSuccessful;
  bool FAutoOpen = false;
  bool FAutoRewind = true;
  bool FVisible = true;
  bool FEnabled = true;
  MCIERROR FError = 0;
  std::string FErrorMessage;
  HWND FWatchWindow = nullptr;  // hidden window whose timer watches for the end of a notifying Play
};
