#include "quorvex/Restart.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/os/Mutex.h"
#include "platform/rtl/Clock.h"
#include "tests/support/ServiceRecorders.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class RestartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ostrovel-quorvex-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    std::ofstream(dir + "/ostrovel") << "#!/bin/sh\n";
    chmod((dir + "/ostrovel").c_str(), 0755);
    rtl::SetClock(&clock);
    env.exeDir = dir;
    env.stampPath = dir + "/last-restart";
    env.runningPid = [this] { return running; };
    env.endProcess = [this](int pid) {
      ended.push_back(pid);
      running = 0;
      return true;
    };
    env.launcher = &launcher;
  }
  void TearDown() override {
    rtl::SetClock(nullptr);
    fs::remove_all(dir);
  }

  // 2026-03-05 08:00:00.
  rtl::VirtualClock clock{TDateTime(46086.0 + 8 / 24.0)};
  std::string dir;
  int running = 4242;
  std::vector<int> ended;
  test::LaunchRecorder launcher;
  quorvex::Environment env;
};

TEST_F(RestartTest, RestartsOnceAndRefusesAgainWithinAMinute) {
  EXPECT_EQ(quorvex::Run(env), quorvex::Outcome::Restarted);
  EXPECT_EQ(ended, std::vector<int>{4242});
  ASSERT_EQ(launcher.Commands().size(), 1u);
  EXPECT_EQ(launcher.Commands()[0], (shell::Command{{dir + "/ostrovel"}, dir}));
  EXPECT_FALSE(fs::exists(dir + "/err.txt"));

  running = 5151;
  clock.Advance(59 * 1000);
  EXPECT_EQ(quorvex::Run(env), quorvex::Outcome::Refused);
  EXPECT_EQ(ended.size(), 1u);  // the running player is left alone
  EXPECT_EQ(launcher.Commands().size(), 1u);
  EXPECT_EQ(ReadFile(dir + "/err.txt"), "20260305 08:00:59 自动重启已取消：距上次重启不到一分钟\r\n");

  // A minute after the last restart (not after the refusal) it restarts again.
  clock.Advance(1000);
  EXPECT_EQ(quorvex::Run(env), quorvex::Outcome::Restarted);
  EXPECT_EQ(ended, (std::vector<int>{4242, 5151}));
  EXPECT_EQ(launcher.Commands().size(), 2u);
}

TEST_F(RestartTest, StartsThePlayerWhenNoneRunsAndLogsWhatFails) {
  running = 0;
  EXPECT_EQ(quorvex::Run(env), quorvex::Outcome::Restarted);
  EXPECT_TRUE(ended.empty());
  clock.Advance(120 * 1000);
  fs::remove(dir + "/ostrovel");
  EXPECT_EQ(quorvex::Run(env), quorvex::Outcome::StartFailed);
  EXPECT_NE(ReadFile(dir + "/err.txt").find("/ostrovel"), std::string::npos);
}

// A real player holding the lock: the companion ends it through the lock's recorded pid.
TEST_F(RestartTest, EndsThePlayerThatHoldsTheLock) {
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  std::string name = "QuorvexTest" + std::to_string(getpid());
  pid_t player = fork();
  if (player == 0) {
    CreateMutex(nullptr, FALSE, name.c_str());
    for (;;) pause();
  }
  for (int i = 0; i < 500 && os::MutexHolderPid(name) != player; ++i) usleep(10000);
  ASSERT_EQ(os::MutexHolderPid(name), player);
  quorvex::Environment real = quorvex::PlayerEnvironment(dir, name);
  real.launcher = &launcher;
  EXPECT_EQ(real.stampPath, os::MutexLockPath(name) + ".restarted");
  EXPECT_EQ(quorvex::Run(real), quorvex::Outcome::Restarted);
  EXPECT_EQ(os::MutexHolderPid(name), 0);
  int status = 0;
  EXPECT_EQ(waitpid(player, &status, 0), player);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(launcher.Commands().size(), 1u);
  unsetenv("XDG_RUNTIME_DIR");
}

TEST(EndProcess, TerminatesAndWaits) {
  pid_t child = fork();
  if (child == 0) {
    pause();
    _exit(0);
  }
  bool reaped = false;
  auto alive = [&] {
    if (reaped) return false;
    reaped = waitpid(child, nullptr, WNOHANG) == child;
    return !reaped;
  };
  EXPECT_TRUE(quorvex::EndProcess(child, alive));
  EXPECT_TRUE(reaped);
  // One that ignores the request is killed.
  child = fork();
  if (child == 0) {
    signal(SIGTERM, SIG_IGN);
    for (;;) pause();
  }
  reaped = false;
  EXPECT_TRUE(quorvex::EndProcess(child, alive, 200));
  EXPECT_TRUE(reaped);
}

}  // namespace
