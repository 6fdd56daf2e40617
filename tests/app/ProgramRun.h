#pragma once
// Running the built programs as a user would, on a machine without a display or a sound
// output: a temporary home for the user's folders, and a started program whose output is kept.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/classes/Resources.h"
#include "platform/data/Sqlite.h"

extern char** environ;

namespace apptest {

namespace fs = std::filesystem;
using namespace std::chrono;

// A temporary folder standing in for the user's runtime, configuration and data folders. The
// test's own process looks for locks in the same runtime folder while it lives.
class TempHome {
 public:
  TempHome() {
    std::string pattern = (fs::temp_directory_path() / "ostrovel-run-XXXXXX").string();
    FPath = mkdtemp(pattern.data());
    fs::create_directories(FPath + "/runtime");
    fs::permissions(FPath + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    if (const char* old = getenv("XDG_RUNTIME_DIR")) FSavedRuntime = old;
    setenv("XDG_RUNTIME_DIR", (FPath + "/runtime").c_str(), 1);
  }
  ~TempHome() {
    if (FSavedRuntime) setenv("XDG_RUNTIME_DIR", FSavedRuntime->c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    fs::remove_all(FPath, ec);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;
  std::string operator/(const std::string& name) const { return FPath + "/" + name; }

  // The caller's environment without a display or a session bus, with the user's folders here
  // and the null sound output.
  std::vector<std::string> Environment() const {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      std::string entry = *e;
      std::string name = entry.substr(0, entry.find('='));
      if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "DBUS_SESSION_BUS_ADDRESS" ||
          name.rfind("XDG_", 0) == 0 || name == "OSTROVEL_AUDIO_SINK")
        continue;
      env.push_back(entry);
    }
    env.push_back("XDG_RUNTIME_DIR=" + FPath + "/runtime");
    env.push_back("XDG_CONFIG_HOME=" + FPath + "/config");
    env.push_back("XDG_DATA_HOME=" + FPath + "/data");
    env.push_back("OSTROVEL_AUDIO_SINK=null");
    return env;
  }

 private:
  std::string FPath;
  std::optional<std::string> FSavedRuntime;
};

// A program started as a child, standard output and error appended to a file; killed at the
// end when it still runs.
class Program {
 public:
  Program(const std::string& path, const std::vector<std::string>& env, const std::string& output) {
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&FPid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) FPid = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Program() {
    if (FPid > 0 && !FStatus) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  pid_t Pid() const { return FPid; }
  // The wait status once the program ended within the time; nullopt while it runs.
  std::optional<int> WaitFor(milliseconds limit) {
    auto end = steady_clock::now() + limit;
    while (!FStatus && FPid > 0) {
      int status = 0;
      if (waitpid(FPid, &status, WNOHANG) == FPid) FStatus = status;
      else if (steady_clock::now() >= end) break;
      else std::this_thread::sleep_for(milliseconds(10));
    }
    return FStatus;
  }

 private:
  pid_t FPid = 0;
  std::optional<int> FStatus;
};

// Polls until the condition holds or the time is up; the condition's last answer.
template <class Condition>
bool WaitUntil(Condition condition, milliseconds limit = seconds(30)) {
  auto end = steady_clock::now() + limit;
  while (!condition()) {
    if (steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(milliseconds(20));
  }
  return true;
}

inline bool ExitedWith(const std::optional<int>& status, int code) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

// Puts the built programs into Folder as they are installed, side by side with an empty
// schedule database; returns the player's path there.
inline std::string InstallPlayer(const std::string& Folder, const std::string& Player, const std::string& Companion) {
  fs::create_directories(Folder);
  fs::copy_file(Player, Folder + "/ostrovel");
  fs::copy_file(Companion, Folder + "/quorvex");
  data::CreateDatabase(Folder + "/VN.dll", std::string(FindResourceFile("schema/VN.sql").View()));
  return Folder + "/ostrovel";
}

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace apptest
