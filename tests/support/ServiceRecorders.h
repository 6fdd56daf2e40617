#pragma once
// Recorders that stand in for the machine's services in tests: each is installed through the
// layer's own setter (media::SetMixer, shell::SetLauncher, shell::SetTrash,
// shell::SetTrayHost), acts on nothing and keeps what it was asked. TSystemServices installs
// them all at once.
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/Mixer.h"
#include "platform/shell/Launch.h"
#include "platform/shell/Trash.h"
#include "platform/shell/Tray.h"

namespace test {

// Every master volume set, left and right.
class MixerRecorder : public media::Mixer {
 public:
  bool SetMasterVolume(uint16_t left, uint16_t right) override;
  std::vector<std::pair<uint16_t, uint16_t>> Values() const;
  // The last value set on the left channel (-1 when none was set).
  int Last() const;
  void Clear();

 private:
  mutable std::mutex FLock;
  std::vector<std::pair<uint16_t, uint16_t>> FValues;
};

// The shell-execute calls and the commands they became; starts nothing. FailWith makes every
// start fail with that reason.
class LaunchRecorder : public shell::Launcher {
 public:
  void Requested(const shell::ShellRequest& request) override;
  bool Start(const shell::Command& command, std::string& error) override;
  std::vector<shell::ShellRequest> Requests() const;
  std::vector<shell::Command> Commands() const;
  std::string FailWith;

 private:
  mutable std::mutex FLock;
  std::vector<shell::ShellRequest> FRequests;
  std::vector<shell::Command> FCommands;
};

// The paths moved to the trash; moves nothing. Paths listed in Fail fail.
class TrashRecorder : public shell::Trash {
 public:
  bool MoveToTrash(const std::string& path) override;
  std::vector<std::string> Paths() const;
  std::vector<std::string> Fail;

 private:
  mutable std::mutex FLock;
  std::vector<std::string> FPaths;
};

// What the notification area was told, as lines ("add Tip", "modify Tip", "delete Tip",
// "balloon Title|Text|10000|4", "hide balloon"), and every balloon shown.
class TrayRecorder : public shell::TrayHost {
 public:
  void IconChanged(const shell::TrayIcon& icon) override;
  void IconRemoved(const shell::TrayIcon& icon) override;
  void BalloonShown(const shell::TrayIcon& icon, const shell::TrayBalloon& balloon) override;
  void BalloonHidden(const shell::TrayIcon& icon) override;
  std::vector<std::string> Events() const;
  std::vector<shell::TrayBalloon> Balloons() const;
  void Clear();

 private:
  mutable std::mutex FLock;
  std::vector<std::string> FEvents;
  std::vector<shell::TrayBalloon> FBalloons;
  std::vector<std::pair<HWND, UINT_PTR>> FKnown;
};

}  // namespace test
