// The program as it runs on a machine without a display or a sound output (a server, CI): it
// takes the single-instance lock, runs its message loop without a word on its output, lets a
// second instance end at once, and ends cleanly on the termination signal.
#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "platform/os/Mutex.h"

namespace {

using namespace apptest;

TEST(HeadlessRun, RunsQuietlyAsOneInstanceAndEndsOnTheTerminationSignal) {
  TempHome home;
  std::vector<std::string> env = home.Environment();
  Program player(OSTROVEL_PATH, env, home / "first.out");
  ASSERT_GT(player.Pid(), 0);
  ASSERT_TRUE(WaitUntil([&] { return os::MutexHolderPid("Ostrovel1") == player.Pid() || player.WaitFor(0ms); }));
  ASSERT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid()) << Read(home / "first.out");

  // A second instance ends at once, quietly, and leaves the first one running.
  {
    Program second(OSTROVEL_PATH, env, home / "second.out");
    EXPECT_TRUE(ExitedWith(second.WaitFor(30s), 0));
    EXPECT_EQ(Read(home / "second.out"), "");
  }
  EXPECT_FALSE(player.WaitFor(500ms));  // the loop runs on
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), player.Pid());

  ASSERT_EQ(kill(player.Pid(), SIGTERM), 0);
  auto status = player.WaitFor(10s);
  EXPECT_TRUE(ExitedWith(status, 0)) << "wait status " << status.value_or(-1);
  EXPECT_EQ(os::MutexHolderPid("Ostrovel1"), 0);
  EXPECT_EQ(Read(home / "first.out"), "");
}

}  // namespace
