#include <gtest/gtest.h>
#include <dirent.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ShellTestDir.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"
#include "platform/shell/DeviceChange.h"
#include "platform/shell/FolderWatch.h"
#include "platform/rtl/System.h"

namespace {

namespace fs = std::filesystem;

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

TEST(FolderWatch, ReportsNamesByFilterAndTheEndOfAWatchedFolder) {
  shelltest::TempHome tmp;
  fs::create_directories(tmp / "files");
  fs::create_directories(tmp / "dirs");
  int before = OpenDescriptors();
  {
    shell::FolderWatch watch;
    int files = watch.Add(tmp / "files", FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    int dirs = watch.Add(tmp / "dirs", FILE_NOTIFY_CHANGE_DIR_NAME);
    ASSERT_GE(files, 0);
    ASSERT_GE(dirs, 0);
    EXPECT_EQ(watch.Add(tmp / "absent", FILE_NOTIFY_CHANGE_DIR_NAME), -1);
    shelltest::Write(tmp / "dirs/a.txt", "x");  // a file: not a folder watch's business
    fs::create_directory(tmp / "dirs/sub");
    shelltest::Write(tmp / "files/a.txt", "x");
    shelltest::Write(tmp / "files/b.txt", "x");
    shell::FolderWatch::Batch batch = watch.Wait();
    // Changes that arrived together make one batch with each watch once.
    for (int i = 0; i < 20 && batch.changed.size() < 2; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      shell::FolderWatch::Batch more = watch.Wait();
      for (int w : more.changed)
        if (std::find(batch.changed.begin(), batch.changed.end(), w) == batch.changed.end()) batch.changed.push_back(w);
    }
    std::sort(batch.changed.begin(), batch.changed.end());
    EXPECT_EQ(batch.changed, (std::vector<int>{std::min(files, dirs), std::max(files, dirs)}));
    fs::remove_all(tmp / "dirs");
    batch = watch.Wait();
    while (batch.ended.empty()) batch = watch.Wait();
    EXPECT_EQ(batch.ended, std::vector<int>{dirs});
    std::thread waker([&] { watch.Wake(); });
    EXPECT_TRUE(watch.Wait().woken);
    waker.join();
    EXPECT_EQ(OpenDescriptors(), before + 2);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(MountPoller, PostsArrivalAndRemovalForTheTableChanges) {
  shelltest::TempHome tmp;
  std::string table = tmp / "mounts";
  shelltest::Write(table, "/dev/sda1 / ext4 rw 0 0\n");
  std::vector<WPARAM> events;
  HWND wnd = AllocateHWnd([&](TMessage& Message) {
    if (Message.Msg == WM_DEVICECHANGE) events.push_back(Message.WParam);
  });
  auto pump = [&](size_t Count) {
    for (int i = 0; i < 200 && events.size() < Count; ++i) {
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
  {
    shell::MountPoller poller(wnd, table);
    shelltest::Write(table, "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/u/STICK vfat rw 0 0\n");
    poller.Rescan();
    pump(1);
    shelltest::Write(table, "/dev/sdc1 /mnt/x ext4 rw 0 0\n");
    poller.Rescan();
    pump(4);
  }
  DeallocateHWnd(wnd);
  // The stick arrived; then "/" and the stick went and /mnt/x arrived.
  std::sort(events.begin() + 1, events.end());
  EXPECT_EQ(events, (std::vector<WPARAM>{DBT_DEVICEARRIVAL, DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE,
                                         DBT_DEVICEREMOVECOMPLETE}));
  EXPECT_THROW(shell::MountPoller poller(nullptr, tmp / "absent"), Exception);
}

}  // namespace
