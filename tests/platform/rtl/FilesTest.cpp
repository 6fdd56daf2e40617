#include "platform/rtl/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "tests/platform/rtl/TempDir.h"

namespace {

struct PathCase {
  const char* path;
  const char* filePath;
  const char* fileDir;
  const char* fileName;
  const char* fileExt;
};

TEST(Paths, PiecesOfAPath) {
  const PathCase cases[] = {
      {"/opt/app/config.ini", "/opt/app/", "/opt/app", "config.ini", ".ini"},
      {"/opt/app/", "/opt/app/", "/opt/app", "", ""},
      {"config.ini", "", "", "config.ini", ".ini"},
      {"/opt/app\\music\\song.mp3", "/opt/app\\music\\", "/opt/app\\music", "song.mp3", ".mp3"},
      {"a\\b.mp3", "a\\", "a", "b.mp3", ".mp3"},
      {"/opt/v1.2/README", "/opt/v1.2/", "/opt/v1.2", "README", ""},
      {"/opt/archive.tar.gz", "/opt/", "/opt", "archive.tar.gz", ".gz"},
      {"/.hidden", "/", "/", ".hidden", ".hidden"},
      {"/", "/", "/", "", ""},
      {"", "", "", "", ""},
      {"/音乐/背景.MP3", "/音乐/", "/音乐", "背景.MP3", ".MP3"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFilePath(c.path), c.filePath);
    EXPECT_EQ(ExtractFileDir(c.path), c.fileDir);
    EXPECT_EQ(ExtractFileName(c.path), c.fileName);
    EXPECT_EQ(ExtractFileExt(c.path), c.fileExt);
  }
}

TEST(Paths, ChangingAndDelimiters) {
  EXPECT_EQ(ChangeFileExt("/a/b.wav", ".mp3"), "/a/b.mp3");
  EXPECT_EQ(ChangeFileExt("/a/b", ".mp3"), "/a/b.mp3");
  EXPECT_EQ(ChangeFileExt("/a.d/b", ".mp3"), "/a.d/b.mp3");
  EXPECT_EQ(ChangeFileExt("/a/b.tar.gz", ""), "/a/b.tar");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_EQ(rtl::NormalizePath("C:\\dir\\a.mp3"), "C:/dir/a.mp3");
  EXPECT_EQ(std::string("/opt") + PathDelim + "x", "/opt/x");
}

TEST(Paths, MaskMatching) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"song.mp3", "*.mp3", true},     {"SONG.MP3", "*.mp3", true},      {"song.mp3x", "*.mp3", false},
      {"song", "*.*", true},           {"song.mp3", "*.*", true},        {".hidden", "*.*", true},
      {"song", "*", true},             {"a.b", "?.b", true},             {"ab.b", "?.b", false},
      {"音.b", "?.b", true},           {"song", "*.", true},             {"song.mp3", "*.", false},
      {"abc", "a*c", true},            {"abxc", "a*c", true},            {"abcd", "a*c", false},
      {"\xff\xfe.mp3", "*.mp3", true}, {"x.mp3", "x.mp3", true},         {"x.mp3", "y.mp3", false},
  };
  for (const auto& [name, mask, expected] : cases) EXPECT_EQ(rtl::MatchesMask(name, mask), expected) << name << " ~ " << mask;
}

class Files : public ::testing::Test {
 protected:
  rtl_test::TempDir FDir;
  std::string Path(const std::string& name) const { return FDir.Path() + "/" + name; }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(Files, ExistenceCreationDeletionRenaming) {
  Write("a.txt", "x");
  EXPECT_TRUE(FileExists(Path("a.txt")));
  EXPECT_FALSE(FileExists(FDir.Path()));  // a directory is not a file
  EXPECT_TRUE(DirectoryExists(FDir.Path()));
  EXPECT_FALSE(DirectoryExists(Path("a.txt")));
  EXPECT_FALSE(FileExists(""));

  EXPECT_TRUE(ForceDirectories(Path("x/y/z/")));
  EXPECT_TRUE(DirectoryExists(Path("x/y/z")));
  EXPECT_TRUE(ForceDirectories(Path("x/y")));
  EXPECT_FALSE(ForceDirectories(Path("a.txt/sub")));  // a file stands in the way
  EXPECT_FALSE(ForceDirectories(""));

  Write("b.txt", "y");
  EXPECT_FALSE(RenameFile(Path("a.txt"), Path("b.txt")));  // never replaces a file
  EXPECT_EQ(Read("b.txt"), "y");
  EXPECT_TRUE(RenameFile(Path("a.txt"), Path("c.txt")));
  EXPECT_FALSE(FileExists(Path("a.txt")));
  EXPECT_EQ(Read("c.txt"), "x");

  EXPECT_TRUE(DeleteFile(Path("c.txt")));
  EXPECT_FALSE(DeleteFile(Path("c.txt")));
  EXPECT_FALSE(DeleteFile(Path("x")));  // not a directory remover
  EXPECT_TRUE(DirectoryExists(Path("x")));
}

TEST_F(Files, NonUtf8NamesAreFoundAndOpened) {
  const std::string name = "\xff\xfe\xb8.mp3";
  Write(name, "abc");
  EXPECT_TRUE(FileExists(Path(name)));
  TSearchRec rec;
  ASSERT_EQ(FindFirst(Path("*.mp3"), faAnyFile, rec), 0);
  EXPECT_EQ(rec.Name, name);
  EXPECT_EQ(rec.Size, 3);
  FindClose(rec);
}

// Names found by a search with the given mask and attributes.
std::map<std::string, int> Search(const std::string& pathMask, int attr) {
  std::map<std::string, int> found;
  TSearchRec rec;
  if (FindFirst(pathMask, attr, rec) == 0) {
    do found[rec.Name] = rec.Attr;
    while (FindNext(rec) == 0);
  }
  FindClose(rec);
  return found;
}

std::set<std::string> Names(const std::map<std::string, int>& found) {
  std::set<std::string> names;
  for (const auto& [name, attr] : found) names.insert(name);
  return names;
}

TEST_F(Files, FindFirstFiltersByMaskAndAttributes) {
  Write("a.mp3", "12345");
  Write("B.MP3", "");
  Write("c.wav", "");
  Write("noext", "");
  Write(".hidden.mp3", "");
  Write("locked.mp3", "");
  ASSERT_EQ(chmod(Path("locked.mp3").c_str(), 0444), 0);
  ASSERT_TRUE(ForceDirectories(Path("sub.mp3")));
  ASSERT_TRUE(ForceDirectories(Path("locked.d")));
  ASSERT_EQ(chmod(Path("locked.d").c_str(), 0555), 0);

  EXPECT_EQ(Names(Search(Path("*.mp3"), 0)), (std::set<std::string>{"a.mp3", "B.MP3", "locked.mp3"}));
  EXPECT_EQ(Names(Search(Path("*.*"), 0)), (std::set<std::string>{"a.mp3", "B.MP3", "c.wav", "noext", "locked.mp3"}));
  // Without faHidden: no dot files, also with a mask that names them.
  EXPECT_TRUE(Search(Path(".hidden.mp3"), faDirectory).empty());

  const std::map<std::string, int> all = Search(Path("*.*"), faAnyFile);
  EXPECT_EQ(Names(all), (std::set<std::string>{".", "..", "a.mp3", "B.MP3", "c.wav", "noext", ".hidden.mp3",
                                               "locked.mp3", "sub.mp3", "locked.d"}));
  EXPECT_EQ(all.at("a.mp3"), 0);
  EXPECT_EQ(all.at("locked.d"), faDirectory);  // a folder is exactly a folder
  EXPECT_EQ(all.at(".hidden.mp3"), faHidden);
  EXPECT_EQ(all.at("locked.mp3"), faReadOnly);
  EXPECT_EQ(all.at("sub.mp3"), faDirectory);
  EXPECT_EQ(all.at(".."), faDirectory);

  EXPECT_EQ(Names(Search(Path("*.mp3"), faDirectory)), (std::set<std::string>{"a.mp3", "B.MP3", "locked.mp3", "sub.mp3"}));

  TSearchRec rec;
  ASSERT_EQ(FindFirst(Path("a.mp3"), faAnyFile, rec), 0);
  EXPECT_EQ(rec.Size, 5);
  struct stat st {};
  ASSERT_EQ(stat(Path("a.mp3").c_str(), &st), 0);
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", rec.Time),
            Format("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                      local.tm_hour, local.tm_min, local.tm_sec}));
  EXPECT_NE(FindNext(rec), 0);
  EXPECT_NE(FindNext(rec), 0);  // stays at the end
  FindClose(rec);
}

TEST_F(Files, FindFirstListsInNameOrderWithoutRegardToCase) {
  for (const char* name : {"b2.mp3", "A1.mp3", "c3.mp3", "a0.mp3", "B1.mp3", "歌曲.mp3", "10.mp3", "9.mp3"})
    Write(name, "");
  std::vector<std::string> names;
  TSearchRec rec;
  for (int found = FindFirst(Path("*.mp3"), 0, rec); found == 0; found = FindNext(rec)) names.push_back(rec.Name);
  FindClose(rec);
  EXPECT_EQ(names, (std::vector<std::string>{"10.mp3", "9.mp3", "a0.mp3", "A1.mp3", "B1.mp3", "b2.mp3", "c3.mp3",
                                             "歌曲.mp3"}));
}

TEST_F(Files, FindFirstWithBackslashOrNothingToFind) {
  Write("a.mp3", "");
  EXPECT_EQ(Names(Search(FDir.Path() + "\\*.mp3", 0)), (std::set<std::string>{"a.mp3"}));
  TSearchRec rec;
  EXPECT_NE(FindFirst(Path("*.ogg"), faAnyFile, rec), 0);
  EXPECT_NE(FindFirst(Path("missing/*.*"), faAnyFile, rec), 0);
  EXPECT_NE(FindNext(rec), 0);
  FindClose(rec);
}

TEST_F(Files, AppendTextLine) {
  AppendTextLine(Path("err.txt"), "第一行");
  AppendTextLine(Path("err.txt"), "second");
  EXPECT_EQ(Read("err.txt"), "第一行\r\nsecond\r\n");

  Write("cut.txt", "one\r\ntwo");  // the last line lost its break
  AppendTextLine(Path("cut.txt"), "three");
  EXPECT_EQ(Read("cut.txt"), "one\r\ntwo\r\nthree\r\n");

  Write("blocker", "");
  EXPECT_THROW(AppendTextLine(Path("blocker/err.txt"), "x"), EInOutError);
}

TEST(ParamStr, ExecutablePathAndOverride) {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
  ASSERT_GT(n, 0);
  const std::string real(buf, static_cast<size_t>(n));
  EXPECT_EQ(ParamStr(0), real);
  rtl::SetExePathOverride("/tmp/app/ostrovel");
  EXPECT_EQ(ParamStr(0), "/tmp/app/ostrovel");
  EXPECT_EQ(rtl::ExePath(), "/tmp/app/ostrovel");
  rtl::SetExePathOverride("");
  EXPECT_EQ(ParamStr(0), real);
  EXPECT_GE(ParamCount(), 0);
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
}

}  // namespace
