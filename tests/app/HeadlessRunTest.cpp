// The program as it runs on a machine without a display or a sound output (a server, CI): it
// takes the single-instance lock, runs its message loop without a word on its output, lets a
// second instance end at once, and ends cleanly on the termination signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/Mutex.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// A temporary folder standing in for the user's runtime, configuration and data folders.
class TempHome {
 public:
  TempHome() {
    std::string pattern = (fs::temp_directory_path() / "ostrovel-run-XXXXXX").string();
    FPath = mkdtemp(pattern.data());
    fs::create_directories(FPath + "/runtime");
    fs::permissions(FPath + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
  }
  ~TempHome() {
    std::error_code ec;
    fs::remove_all(FPath, ec);
  }
  std::string operator/(const std::string& name) const { return FPath + "/" + name; }

 private:
  std::string FPath;
};

// The program started as a child with the given environment, its output into a file.
class Program {
 public:
  Program(const std::vector<std::string>& env, const std::string& output) {
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(OSTROVEL_PATH), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&FPid, OSTROVEL_PATH, &actions, nullptr, argv, envp.data()) != 0) FPid = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Program() {
    if (FPid > 0 && !FStatus) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }
  pid_t Pid() const { return FPid; }
  // The wait status once the program ended within the time; nullopt while it runs.
  std::optional<int> WaitFor(milliseconds limit) {
    auto end = steady_clock::now() + limit;
    while (!FStatus) {
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

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The caller's environment without a display or a session bus, with the user's folders in home
// and the null sound output.
std::vector<std::string> HeadlessEnvironment(const TempHome& home) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "DBUS_SESSION_BUS_ADDRESS" ||
        name.rfind("XDG_", 0) == 0 || name == "OSTROVEL_AUDIO_SINK")
      continue;
    env.push_back(entry);
  }
  env.push_back("XDG_RUNTIME_DIR=" + home / "runtime");
  env.push_back("XDG_CONFIG_HOME=" + home / "config");
  env.push_back("XDG_DATA_HOME=" + home / "data");
  env.push_back("OSTROVEL_AUDIO_SINK=null");
  return env;
}

TEST(HeadlessRun, RunsQuietlyAsOneInstanceAndEndsOnTheTerminationSignal) {
  TempHome home;
  // The lock is looked up in the same runtime folder as the program's.
  const char* oldRuntime = getenv("XDG_RUNTIME_DIR");
  std::optional<std::string> savedRuntime = oldRuntime ? std::optional<std::string>(oldRuntime) : std::nullopt;
  setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
  std::vector<std::string> env = HeadlessEnvironment(home);

  Program player(env, home / "first.out");
  ASSERT_GT(player.Pid(), 0);
  auto limit = steady_clock::now() + seconds(30);
  while (os::MutexHolderPid("Ostrovel1") != player.Pid() && !player.WaitFor(milliseconds(0)) &&
         steady_clock::now() < limit)
    std::this_thread::sleep_for(milliseconds(20));
  ASSERT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid()) << Read(home / "first.out");

  // A second instance ends at once, quietly, and leaves the first one running.
  {
    Program second(env, home / "second.out");
    auto status = second.WaitFor(seconds(30));
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_EQ(Read(home / "second.out"), "");
  }
  EXPECT_FALSE(player.WaitFor(milliseconds(500)));  // the loop runs on
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid());

  ASSERT_EQ(kill(player.Pid(), SIGTERM), 0);
  auto status = player.WaitFor(seconds(10));
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), 0);
  EXPECT_EQ(Read(home / "first.out"), "");

  if (savedRuntime) setenv("XDG_RUNTIME_DIR", savedRuntime->c_str(), 1);
  else unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
