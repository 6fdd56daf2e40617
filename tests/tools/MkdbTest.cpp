#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/data/Sqlite.h"
#include "platform/rtl/IniFiles.h"
#include "tests/platform/data/DbFixture.h"

namespace {

int RunMkdb(const std::string& Folder) {
  std::string cmd = std::string("'") + MKDB_PATH + "' '" + Folder + "' >/dev/null 2>&1";
  int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string Bytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Mkdb, CreatesTheDatabaseOnceAndNeverTouchesItAgain) {
  datatest::TempFolder folder;
  std::string path = folder.File("VN.dll");
  ASSERT_EQ(RunMkdb(folder.Path()), 0);
  ASSERT_TRUE(std::filesystem::exists(path));
  {
    auto db = data::SqliteDatabase::OpenExisting(path);
    data::SqliteStatement s(*db, "select name from musictype where id = 1");
    ASSERT_TRUE(s.Step());
    EXPECT_EQ(std::get<std::string>(s.Column(0)), "所有音乐");
    db->Exec("insert into music (name) values ('kept')");
  }
  std::string before = Bytes(path);
  auto stamp = std::filesystem::last_write_time(path);
  ASSERT_EQ(RunMkdb(folder.Path() + "/"), 0);
  EXPECT_EQ(Bytes(path), before);
  EXPECT_EQ(std::filesystem::last_write_time(path), stamp);

  // Whatever the file holds, it stays as it is.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "not a database";
  ASSERT_EQ(RunMkdb(folder.Path()), 0);
  EXPECT_EQ(Bytes(path), "not a database");
  // Beside it only the starting settings.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()), 2);
}

TEST(Mkdb, WritesStartingVolumesOnceAndNeverTouchesSettingsThatExist) {
  datatest::TempFolder folder;
  const std::string config = folder.File("config.ini");
  ASSERT_EQ(RunMkdb(folder.Path()), 0);
  {
    TIniFile ini(config);
    EXPECT_EQ(ini.ReadString("set", "广播音量", "0"), "8");
    EXPECT_EQ(ini.ReadString("set", "音乐音量", "0"), "5");
    std::vector<std::string> keys;
    ini.ReadSection("set", keys);
    EXPECT_EQ(keys.size(), 2u) << "nothing else: every other option keeps its default";
  }
  // The user's own settings stay as they are, also when the database is made anew.
  std::ofstream(config, std::ios::binary | std::ios::trunc) << "[set]\r\n广播音量=2\r\n";
  const auto stamp = std::filesystem::last_write_time(config);
  std::filesystem::remove(folder.File("VN.dll"));
  ASSERT_EQ(RunMkdb(folder.Path()), 0);
  EXPECT_TRUE(std::filesystem::exists(folder.File("VN.dll")));
  EXPECT_EQ(Bytes(config), "[set]\r\n广播音量=2\r\n");
  EXPECT_EQ(std::filesystem::last_write_time(config), stamp);
}

TEST(Mkdb, MissingFolderFailsAndCreatesNothing) {
  datatest::TempFolder folder;
  EXPECT_NE(RunMkdb(folder.File("nope")), 0);
  EXPECT_FALSE(std::filesystem::exists(folder.File("nope")));
}

}  // namespace
