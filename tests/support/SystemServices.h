#pragma once
// The system services as tests drive them: while a TSystemServices lives, media players play
// from the simulated engine (on the virtual clock), the mixer, program starts, the trash and
// the tray are recorders, and the registry, autostart entries and the trash folder live in a
// temporary home (XDG_CONFIG_HOME and XDG_DATA_HOME point into it). A test binary that uses
// it links test_services.
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/Engine.h"
#include "platform/media/Mixer.h"
#include "platform/shell/Launch.h"
#include "platform/shell/Trash.h"
#include "platform/shell/Tray.h"
#include "tests/support/ServiceRecorders.h"
#include "tests/support/SimulatedEngine.h"

namespace test {

class TSystemServices {
 public:
  TSystemServices() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrovel-home-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    Home = mkdtemp(buf.data());
    Keep("XDG_CONFIG_HOME", Home + "/config");
    Keep("XDG_DATA_HOME", Home + "/data");
    media::SetEngine(&Engine);
    media::SetMixer(&Mixer);
    shell::SetLauncher(&Launcher);
    shell::SetTrash(&Trash);
    shell::SetTrayHost(&Tray);
  }
  ~TSystemServices() {
    media::SetEngine(nullptr);
    media::SetMixer(nullptr);
    media::SetMasterGain(1.0);
    shell::SetLauncher(nullptr);
    shell::SetTrash(nullptr);
    shell::SetTrayHost(nullptr);
    for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
      if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
      else unsetenv(it->first.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(Home, ec);
  }
  TSystemServices(const TSystemServices&) = delete;
  TSystemServices& operator=(const TSystemServices&) = delete;

  // Paths → lengths (or failures) of the files players open; positions follow the clock.
  SimulatedEngine Engine;
  // Every master volume set (mixerSetControlDetails).
  MixerRecorder Mixer;
  // Every ShellExecuteA call and the command it became; nothing is started.
  LaunchRecorder Launcher;
  // Every path SHFileOperationA deleted; nothing is moved.
  TrashRecorder Trash;
  // Icons and balloons of Shell_NotifyIconA (shell::SendTrayCallback and
  // shell::RecreateTaskbar act as the user and the desktop).
  TrayRecorder Tray;
  // The temporary home.
  std::string Home;

 private:
  void Keep(const std::string& name, const std::string& value) {
    const char* old = getenv(name.c_str());
    FSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

}  // namespace test
