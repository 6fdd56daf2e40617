// The restart companion with the real player, both copied into a folder of their own as they
// are installed side by side: the companion ends the running player through its lock, the
// player ends gracefully, a new one starts from that folder, and a second restart within the
// minute is refused and logged to err.txt beside them.
#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "platform/os/Mutex.h"

namespace {

using namespace apptest;

// Ends whatever player still holds the lock when the test ends (a restarted player is no
// child of the test).
struct EndHolder {
  ~EndHolder() {
    if (int pid = os::MutexHolderPid("Ostrovel1"); pid > 0) {
      kill(pid, SIGTERM);
      WaitUntil([] { return os::MutexHolderPid("Ostrovel1") == 0; }, 10s);
    }
  }
};

TEST(RestartCompanion, RestartsTheRunningPlayerOnceAMinute) {
  TempHome home;
  EndHolder endHolder;
  std::string bin = home / "bin";
  InstallPlayer(bin, OSTROVEL_PATH, QUORVEX_PATH);
  std::vector<std::string> env = home.Environment();

  Program player(bin + "/ostrovel", env, home / "player.out");
  ASSERT_TRUE(WaitUntil([&] { return os::MutexHolderPid("Ostrovel1") == player.Pid() || player.WaitFor(0ms); }));
  ASSERT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid());

  {
    Program companion(bin + "/quorvex", env, home / "companion.out");
    EXPECT_TRUE(ExitedWith(companion.WaitFor(30s), 0)) << Read(home / "companion.out");
  }
  EXPECT_TRUE(ExitedWith(player.WaitFor(10s), 0));  // ended on request, not killed
  ASSERT_TRUE(WaitUntil([&] {
    int pid = os::MutexHolderPid("Ostrovel1");
    return pid > 0 && pid != player.Pid();
  }));
  int restarted = os::MutexHolderPid("Ostrovel1");
  EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(restarted) + "/exe"), fs::path(bin + "/ostrovel"));

  {
    Program again(bin + "/quorvex", env, home / "companion.out");
    EXPECT_TRUE(ExitedWith(again.WaitFor(30s), 1));
  }
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), restarted);
  std::string log = Read(bin + "/err.txt");
  EXPECT_NE(log.find(" 自动重启已取消"), std::string::npos) << log;
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
  EXPECT_EQ(Read(home / "companion.out"), "");
}

}  // namespace
