#include "platform/shell/Trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ShellTestDir.h"
#include "platform/shell/ShellPaths.h"
#include "platform/rtl/Clock.h"
#include "tests/support/ServiceRecorders.h"

namespace {

using shelltest::Read;
using shelltest::TempHome;
using shelltest::Write;
namespace fs = std::filesystem;

class TrashTest : public ::testing::Test {
 protected:
  void SetUp() override { rtl::SetClock(&clock); }
  void TearDown() override { rtl::SetClock(nullptr); }
  // 2026-03-05 14:07:09 local time.
  rtl::VirtualClock clock{TDateTime(46086.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0)};
  TempHome home;
  shell::FreedesktopTrash trash;  // $XDG_DATA_HOME/Trash of the temporary home
};

TEST_F(TrashTest, MovesTheFileAndDescribesIt) {
  EXPECT_EQ(trash.Dir(), home / "data/Trash");
  std::string file = home / "music/Song one,50%.mp3";
  Write(file, "sound");
  ASSERT_TRUE(trash.MoveToTrash(file));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(Read(home / "data/Trash/files/Song one,50%.mp3"), "sound");
  EXPECT_EQ(Read(home / "data/Trash/info/Song one,50%.mp3.trashinfo"),
            "[Trash Info]\nPath=" + shell::UriEscapePath(home / "music") + "/Song%20one%2C50%25.mp3\n"
            "DeletionDate=2026-03-05T14:07:09\n");
}

TEST_F(TrashTest, NameClashesGetNumberedNames) {
  for (int i = 0; i < 3; ++i) {
    Write(home / "a/x.wav", std::to_string(i));
    ASSERT_TRUE(trash.MoveToTrash(home / "a/x.wav"));
  }
  Write(home / "b/noext", "n");
  ASSERT_TRUE(trash.MoveToTrash(home / "b/noext"));
  Write(home / "c/noext", "m");
  ASSERT_TRUE(trash.MoveToTrash(home / "c/noext"));
  EXPECT_EQ(Read(home / "data/Trash/files/x.wav"), "0");
  EXPECT_EQ(Read(home / "data/Trash/files/x.2.wav"), "1");
  EXPECT_EQ(Read(home / "data/Trash/files/x.3.wav"), "2");
  EXPECT_EQ(Read(home / "data/Trash/files/noext.2"), "m");
  EXPECT_NE(Read(home / "data/Trash/info/noext.2.trashinfo").find("/c/noext\n"), std::string::npos);
}

TEST_F(TrashTest, FoldersMoveWholeAndMissingItemsFail) {
  Write(home / "dir/inner/f.txt", "f");
  ASSERT_TRUE(trash.MoveToTrash(home / "dir"));
  EXPECT_EQ(Read(home / "data/Trash/files/dir/inner/f.txt"), "f");
  EXPECT_FALSE(trash.MoveToTrash(home / "dir"));
  EXPECT_FALSE(trash.MoveToTrash(""));
  // A failure leaves no half-made entry behind.
  EXPECT_FALSE(fs::exists(home / "data/Trash/info/dir.2.trashinfo"));
}

TEST_F(TrashTest, AnotherFileSystemIsCopiedThenRemoved) {
  struct stat a{}, b{};
  if (stat("/dev/shm", &b) != 0 || stat((home / "").c_str(), &a) != 0 || a.st_dev == b.st_dev)
    GTEST_SKIP() << "no second file system to test with";
  std::string dir = "/dev/shm/ostrovel-trash-" + std::to_string(getpid());
  Write(dir + "/far.mp3", "far away");
  Write(dir + "/folder/g.txt", "g");
  ASSERT_TRUE(trash.MoveToTrash(dir + "/far.mp3"));
  ASSERT_TRUE(trash.MoveToTrash(dir + "/folder"));
  EXPECT_FALSE(fs::exists(dir + "/far.mp3"));
  EXPECT_FALSE(fs::exists(dir + "/folder"));
  EXPECT_EQ(Read(home / "data/Trash/files/far.mp3"), "far away");
  EXPECT_EQ(Read(home / "data/Trash/files/folder/g.txt"), "g");
  EXPECT_NE(Read(home / "data/Trash/info/far.mp3.trashinfo").find("Path=" + dir + "/far.mp3\n"), std::string::npos);
  fs::remove_all(dir);
}

TEST(TrashRecorder, RecordsAndFailsOnRequest) {
  test::TrashRecorder recorder;
  recorder.Fail = {"/b"};
  shell::SetTrash(&recorder);
  EXPECT_TRUE(shell::CurrentTrash().MoveToTrash("/a"));
  EXPECT_FALSE(shell::CurrentTrash().MoveToTrash("/b"));
  EXPECT_EQ(recorder.Paths(), (std::vector<std::string>{"/a", "/b"}));
  shell::SetTrash(nullptr);
}

}  // namespace
