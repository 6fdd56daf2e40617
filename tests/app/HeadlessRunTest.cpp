// The program as it runs on a machine without a display or a sound output (a server, CI): it
// takes the single-instance lock, starts hidden with its settings file holding its name and an
// empty error log, runs its message loop without a word on its output, lets a second instance
// end at once, and ends cleanly on the termination signal.
#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "platform/os/Mutex.h"

namespace {

using namespace apptest;

TEST(HeadlessRun, RunsQuietlyAsOneInstanceAndEndsOnTheTerminationSignal) {
  TempHome home;
  std::vector<std::string> env = home.Environment();
  std::string bin = home / "bin";
  std::string path = InstallPlayer(bin, OSTROVEL_PATH, QUORVEX_PATH);
  Program player(path, env, home / "first.out");
  ASSERT_GT(player.Pid(), 0);
  ASSERT_TRUE(WaitUntil([&] { return os::MutexHolderPid("Ostrovel1") == player.Pid() || player.WaitFor(0ms); }));
  ASSERT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid()) << Read(home / "first.out");

  // A second instance ends at once, quietly, and leaves the first one running.
  {
    Program second(path, env, home / "second.out");
    EXPECT_TRUE(ExitedWith(second.WaitFor(30s), 0));
    EXPECT_EQ(Read(home / "second.out"), "");
  }
  EXPECT_FALSE(player.WaitFor(500ms));  // the loop runs on
  ASSERT_TRUE(WaitUntil([&] { return Read(bin + "/config.ini").find("程序名称=ostrovel") != std::string::npos; }))
      << Read(bin + "/config.ini");
  EXPECT_FALSE(fs::exists(bin + "/err.txt")) << Read(bin + "/err.txt");
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid());

  ASSERT_EQ(kill(player.Pid(), SIGTERM), 0);
  auto status = player.WaitFor(10s);
  EXPECT_TRUE(ExitedWith(status, 0)) << "wait status " << status.value_or(-1);
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), 0);
  EXPECT_EQ(Read(home / "first.out"), "");
}

}  // namespace
