#include "platform/os/Kernel.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(KernelTest, EachThreadHasItsOwnIdentifierAndAForkedChildANewOne) {
  const DWORD mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(GetCurrentThreadId(), mine);
  DWORD other = 0;
  std::thread([&] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, mine);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child's only thread is its main thread, whose identifier is the process id.
    _exit(GetCurrentThreadId() == static_cast<DWORD>(getpid()) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child saw its parent's thread identifier";
}

TEST(KernelTest, LastErrorBelongsToTheThread) {
  SetLastError(ERROR_ALREADY_EXISTS);
  DWORD seen = 1;
  std::thread([&] { seen = GetLastError(); }).join();
  EXPECT_EQ(seen, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
}

}  // namespace
