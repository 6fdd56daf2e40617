#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/os/Mutex.h"

namespace {

std::string UniqueName() { return "OstrovelTest" + std::to_string(getpid()); }

TEST(MutexTest, AnotherLiveProcessHoldingTheNameGives183UntilItDies) {
  std::string name = UniqueName();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    HANDLE h = CreateMutex(nullptr, FALSE, name.c_str());
    char ok = (h && GetLastError() == ERROR_SUCCESS) ? '1' : '0';
    if (write(ready[1], &ok, 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  close(ready[0]);
  ASSERT_EQ(ok, '1');
  EXPECT_EQ(os::MutexHolderPid(name), child);

  HANDLE second = CreateMutex(nullptr, FALSE, name.c_str());
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(CloseHandle(second));

  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(os::MutexHolderPid(name), 0);

  HANDLE mine = CreateMutex(nullptr, FALSE, name.c_str());
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(os::MutexHolderPid(name), getpid());
  EXPECT_TRUE(ReleaseMutex(mine));
  EXPECT_TRUE(CloseHandle(mine));
  EXPECT_EQ(os::MutexHolderPid(name), 0);
  EXPECT_FALSE(CloseHandle(mine));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(MutexTest, ASecondHandleInTheSameProcessSeesTheNameTakenAndNamesAreSafeFileNames) {
  std::string name = "Local\\../" + UniqueName();
  HANDLE first = CreateMutex(nullptr, TRUE, name.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  std::string path = os::MutexLockPath(name);
  EXPECT_EQ(path.find("/../"), std::string::npos);
  HANDLE again = CreateMutex(nullptr, FALSE, name.c_str());
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(again);
  CloseHandle(first);
  HANDLE third = CreateMutex(nullptr, FALSE, name.c_str());
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(third);
  unlink(path.c_str());
}

TEST(MutexTest, AMissingRuntimeFolderFallsBackToAPrivateFolderUnderTmp) {
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", "/nonexistent/runtime", 1);
  std::string name = UniqueName() + "b";
  HANDLE h = CreateMutex(nullptr, FALSE, name.c_str());
  std::string path = os::MutexLockPath(name);
  if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  else unsetenv("XDG_RUNTIME_DIR");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(path.rfind("/tmp/ostrovel-" + std::to_string(getuid()) + "/", 0), 0u) << path;
  CloseHandle(h);
  unlink(path.c_str());
}

}  // namespace
