#include "platform/rtl/IniFiles.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/platform/rtl/TempDir.h"

namespace {

class IniFiles : public ::testing::Test {
 protected:
  rtl_test::TempDir FDir;
  std::string FPath = FDir.Path() + "/config.ini";

  void Write(const std::string& content) const { std::ofstream(FPath, std::ios::binary) << content; }
  std::string Read() const {
    std::ifstream in(FPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Nothing but the file itself in the folder: no temporary file left behind.
  size_t FilesInFolder() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(FDir.Path()), {}));
  }
};

// A stand-in for a string list: anything with Clear and Add, and updates.
struct Lines {
  std::vector<std::string> items;
  int updates = 0;
  bool updating = false;
  void Clear() { items.clear(); }
  void Add(const std::string& s) {
    EXPECT_TRUE(updating);
    items.push_back(s);
  }
  void BeginUpdate() { updating = true; ++updates; }
  void EndUpdate() { updating = false; }
};

TEST_F(IniFiles, MissingFileReadsAsEmptyAndFirstWriteCreatesIt) {
  TIniFile ini(FPath);
  EXPECT_EQ(ini.ReadString("set", "程序名称", "0"), "0");
  EXPECT_FALSE(ini.SectionExists("set"));
  EXPECT_FALSE(ini.ValueExists("set", "x"));
  std::vector<std::string> sections{"stale"};
  ini.ReadSections(sections);
  EXPECT_TRUE(sections.empty());

  ini.WriteString("set", "程序名称", "ostrovel");
  EXPECT_EQ(Read(), "[set]\r\n程序名称=ostrovel\r\n");
  ini.WriteString("set", "广播音量", "5");
  EXPECT_EQ(Read(), "[set]\r\n程序名称=ostrovel\r\n广播音量=5\r\n");
  EXPECT_EQ(FilesInFolder(), 1u);
  // A second object sees the writes at once.
  EXPECT_EQ(TIniFile(FPath).ReadString("SET", "广播音量", ""), "5");
}

TEST_F(IniFiles, WritesKeepEverythingElseAsItWas) {
  Write("; settings\n[set]\nname = old value \n\n; music\n[Music]\nStart=08:00:00\n");
  TIniFile ini(FPath);
  ini.WriteString("SET", "NAME", "new");
  ini.WriteString("set", "added", "1");
  ini.WriteString("other", "k", "v");
  EXPECT_EQ(Read(),
            "; settings\n[set]\nname=new\nadded=1\n\n; music\n[Music]\nStart=08:00:00\n[other]\nk=v\n");
}

TEST_F(IniFiles, CrLfFilesStayCrLfAndByteOrderMarkIsKept) {
  Write("\xEF\xBB\xBF[set]\r\na=1\r\n");
  TIniFile ini(FPath);
  EXPECT_EQ(ini.ReadString("set", "a", ""), "1");
  ini.WriteString("set", "b", "2");
  EXPECT_EQ(Read(), "\xEF\xBB\xBF[set]\r\na=1\r\nb=2\r\n");
}

TEST_F(IniFiles, ValuesComeBackVerbatimBetweenTheirEnds) {
  Write("[set]\n  key with blanks  =  a  b = c  \nquoted=\"x\"\nempty=\n;comment=1\n[ spaced ]\nk=v\n");
  TIniFile ini(FPath);
  EXPECT_EQ(ini.ReadString("set", "key with blanks", ""), "a  b = c");
  EXPECT_EQ(ini.ReadString("set", "quoted", ""), "\"x\"");
  EXPECT_EQ(ini.ReadString("set", "empty", "default"), "");
  EXPECT_TRUE(ini.ValueExists("set", "empty"));
  EXPECT_FALSE(ini.ValueExists("set", ";comment"));
  EXPECT_EQ(ini.ReadString("Spaced", "K", ""), "v");
  EXPECT_EQ(ini.ReadString("set", "k", "none"), "none");  // keys belong to their section

  ini.WriteString("set", "mixed", "是 否");
  EXPECT_EQ(ini.ReadString("set", "mixed", ""), "是 否");
  // Names are taken without the blanks around them, as the file stores them.
  ini.WriteString(" set ", " mixed ", "2");
  EXPECT_EQ(ini.ReadString("set", "mixed", ""), "2");
  ini.WriteString(" new ", " k ", "v");
  EXPECT_EQ(ini.ReadString("new", "k", ""), "v");
  EXPECT_NE(Read().find("[new]\nk=v\n"), std::string::npos);
}

TEST_F(IniFiles, IntegersAndBooleans) {
  Write("[set]\ndec=-12\nhex=$1F\nhex2=0x10\nbad=12a\nzero=0\nyes=是\ntwo=2\n");
  TIniFile ini(FPath);
  const std::tuple<const char*, int> integers[] = {{"dec", -12}, {"hex", 31}, {"hex2", 16}, {"bad", 7}, {"missing", 7}};
  for (const auto& [key, expected] : integers) EXPECT_EQ(ini.ReadInteger("set", key, 7), expected) << key;
  EXPECT_FALSE(ini.ReadBool("set", "zero", true));
  EXPECT_TRUE(ini.ReadBool("set", "two", false));
  EXPECT_TRUE(ini.ReadBool("set", "yes", true));  // not an integer: the default
  EXPECT_FALSE(ini.ReadBool("set", "yes", false));
  ini.WriteBool("set", "on", true);
  ini.WriteBool("set", "off", false);
  ini.WriteInteger("set", "volume", -3);
  EXPECT_EQ(ini.ReadString("set", "on", ""), "1");
  EXPECT_EQ(ini.ReadString("set", "off", ""), "0");
  EXPECT_EQ(ini.ReadInteger("set", "volume", 0), -3);
}

TEST_F(IniFiles, ListingSections) {
  Write("[a]\nx=1\nY=2\n[empty]\n; only a comment\n[B]\nz=3\n");
  TIniFile ini(FPath);
  std::vector<std::string> items;
  ini.ReadSections(items);
  EXPECT_EQ(items, (std::vector<std::string>{"a", "empty", "B"}));
  ini.ReadSection("A", items);
  EXPECT_EQ(items, (std::vector<std::string>{"x", "Y"}));
  ini.ReadSectionValues("a", items);
  EXPECT_EQ(items, (std::vector<std::string>{"x=1", "Y=2"}));
  Lines lines;
  lines.items.push_back("stale");
  ini.ReadSection("b", &lines);
  EXPECT_EQ(lines.items, (std::vector<std::string>{"z"}));
  EXPECT_EQ(lines.updates, 1);
  EXPECT_FALSE(lines.updating);
  EXPECT_TRUE(ini.SectionExists("A"));
  EXPECT_FALSE(ini.SectionExists("empty"));  // a section counts when it holds a key
  EXPECT_FALSE(ini.SectionExists("none"));
}

TEST_F(IniFiles, EraseSectionAndDeleteKey) {
  Write("[a]\nx=1\ny=2\n[b]\nz=3\n");
  TIniFile ini(FPath);
  ini.DeleteKey("A", "X");
  EXPECT_EQ(Read(), "[a]\ny=2\n[b]\nz=3\n");
  ini.EraseSection("a");
  EXPECT_EQ(Read(), "[b]\nz=3\n");
  ini.EraseSection("missing");
  ini.DeleteKey("b", "missing");
  EXPECT_EQ(Read(), "[b]\nz=3\n");
  ini.UpdateFile();
  EXPECT_EQ(Read(), "[b]\nz=3\n");
}

TEST_F(IniFiles, WriteThatCannotReachTheDiskRaises) {
  Write("");
  TIniFile blocked(FPath + "/config.ini");  // the parent is a regular file
  EXPECT_EQ(blocked.ReadString("set", "a", "d"), "d");
  try {
    blocked.WriteString("set", "a", "1");
    ADD_FAILURE() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + FPath + "/config.ini");
  }
  EXPECT_THROW(TIniFile(FDir.Path() + "/missing/config.ini").WriteBool("set", "a", true), EIniFileException);
  EXPECT_THROW(TIniFile(FDir.Path()).WriteString("set", "a", "1"), EIniFileException);  // a directory
}

TEST_F(IniFiles, NamesAndValuesThatWouldBreakTheFileAreRefused) {
  Write("[set]\na=1\n");
  TIniFile ini(FPath);
  EXPECT_THROW(ini.WriteString("set", "b", "line1\r\n[evil]\r\nc=2"), EIniFileException);
  EXPECT_THROW(ini.WriteString("set", "b=c", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("set", "", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("set", ";b", "1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("se]t", "b", "1"), EIniFileException);
  EXPECT_EQ(Read(), "[set]\na=1\n");
}

TEST_F(IniFiles, ReplacingTheFileKeepsItsPermissionsAndLinks) {
  Write("[set]\na=1\n");
  ASSERT_EQ(chmod(FPath.c_str(), 0640), 0);
  const std::string link = FDir.Path() + "/link.ini";
  std::filesystem::create_symlink(FPath, link);
  TIniFile(link).WriteString("set", "a", "2");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Read(), "[set]\na=2\n");
  struct stat st {};
  ASSERT_EQ(stat(FPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FilesInFolder(), 2u);
}

}  // namespace
