#include "platform/os/Kernel.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
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

namespace {

TEST(KernelTest, EnvironmentStringsExpandFromTheProcessEnvironment) {
  setenv("OSTROVEL_KERNEL_TEST", "abc", 1);
  unsetenv("OSTROVEL_KERNEL_UNSET");
  char buffer[64];
  struct Case {
    const char* Source;
    const char* Expanded;
  };
  const Case cases[] = {
      {"plain text", "plain text"},
      {"%OSTROVEL_KERNEL_TEST%", "abc"},
      {"x%OSTROVEL_KERNEL_TEST%y%OSTROVEL_KERNEL_TEST%", "xabcyabc"},
      // Unknown names, a lone mark and an empty pair stay as written.
      {"%OSTROVEL_KERNEL_UNSET%/%OSTROVEL_KERNEL_TEST%", "%OSTROVEL_KERNEL_UNSET%/abc"},
      {"100%", "100%"},
      {"%%", "%%"},
      {"", ""},
  };
  for (const Case& c : cases) {
    const DWORD size = ExpandEnvironmentStrings(c.Source, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, c.Expanded) << c.Source;
    EXPECT_EQ(size, std::strlen(c.Expanded) + 1) << c.Source;
  }
  // Too small a buffer gets nothing and learns the size to ask with.
  char small[3] = {'q', 'q', 0};
  EXPECT_EQ(ExpandEnvironmentStrings("%OSTROVEL_KERNEL_TEST%!", small, sizeof small), 5u);
  EXPECT_STREQ(small, "qq");
  EXPECT_EQ(ExpandEnvironmentStrings(nullptr, buffer, sizeof buffer), 0u);
  unsetenv("OSTROVEL_KERNEL_TEST");
}

TEST(KernelTest, PlatformVersionIsNtSixOne) {
  EXPECT_EQ(Win32Platform(), VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(Win32MajorVersion(), 6);
  EXPECT_EQ(Win32MinorVersion(), 1);
  os::SetPlatformVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  EXPECT_EQ(Win32Platform(), VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_EQ(Win32MinorVersion(), 10);
  os::SetPlatformVersion(VER_PLATFORM_WIN32_NT, 6, 1);
}

}  // namespace
