#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/platform/data/DbFixture.h"

using data::SqliteDatabase;
using data::SqliteStatement;
using data::Value;

namespace {

class SqliteTest : public datatest::DbTest {};

std::vector<std::vector<Value>> Rows(SqliteStatement& S) {
  std::vector<std::vector<Value>> out;
  while (S.Step()) {
    std::vector<Value> r;
    for (int i = 0; i < S.ColumnCount(); ++i) r.push_back(S.Column(i));
    out.push_back(r);
  }
  return out;
}

TEST(SqlDates, FormsRoundTrip) {
  struct Case { const char* Text; const char* Time; const char* Date; const char* DateTime; };
  for (const Case& c : {Case{"08:30:05", "08:30:05", "1899-12-30", "1899-12-30 08:30:05"},
                        Case{"2026-12-10", "00:00:00", "2026-12-10", "2026-12-10 00:00:00"},
                        Case{"2024-02-29 23:59:59", "23:59:59", "2024-02-29", "2024-02-29 23:59:59"},
                        Case{"1899-12-29 06:00:00", "06:00:00", "1899-12-29", "1899-12-29 06:00:00"}}) {
    TDateTime v;
    ASSERT_TRUE(data::ParseSqlDateTime(c.Text, v)) << c.Text;
    EXPECT_EQ(data::FormatSqlTime(v), c.Time);
    EXPECT_EQ(data::FormatSqlDate(v), c.Date);
    EXPECT_EQ(data::FormatSqlDateTime(v), c.DateTime);
  }
  TDateTime v;
  for (const char* bad : {"", "abc", "25:00:00", "2026-02-30", "2026-13-01", "12:00:00x"})
    EXPECT_FALSE(data::ParseSqlDateTime(bad, v)) << bad;
  // A time that is a hair below a whole second still shows that second.
  EXPECT_EQ(data::FormatSqlTime(TDateTime(10 * 3600.0 / 86400.0)), "10:00:00");
}

TEST_F(SqliteTest, ClockFunctionsFollowTheApplicationClock) {
  auto db = SqliteDatabase::OpenExisting(DbPath);
  SetNow(2026, 12, 10, 9, 5, 7);
  SqliteStatement s(*db, "select time(), date(), date('2001-02-03 04:05:06'), time('2001-02-03 04:05:06')");
  ASSERT_TRUE(s.Step());
  EXPECT_EQ(std::get<std::string>(s.Column(0)), "09:05:07");
  EXPECT_EQ(std::get<std::string>(s.Column(1)), "2026-12-10");
  EXPECT_EQ(std::get<std::string>(s.Column(2)), "2001-02-03");
  EXPECT_EQ(std::get<std::string>(s.Column(3)), "04:05:06");
}

TEST_F(SqliteTest, SchemaHasTheFiveTablesAndTheAllMusicCategory) {
  auto db = SqliteDatabase::OpenExisting(DbPath);
  SqliteStatement t(*db, "select name from sqlite_master where type='table' and name not like 'sqlite%' order by name");
  std::vector<std::string> names;
  while (t.Step()) names.push_back(std::get<std::string>(t.Column(0)));
  EXPECT_EQ(names, (std::vector<std::string>{"db", "music", "music_Position", "musictype", "musictype_do"}));
  SqliteStatement m(*db, "select * from musictype");
  auto rows = Rows(m);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::get<int64_t>(rows[0][0]), 1);
  EXPECT_EQ(std::get<std::string>(rows[0][1]), "所有音乐");
  EXPECT_EQ(std::get<int64_t>(rows[0][2]), 0);
}

TEST_F(SqliteTest, MissingOrInvalidFileRaisesNamingItAndCreatesNothing) {
  std::string missing = Folder.File("nothere.dll");
  try {
    SqliteDatabase::OpenExisting(missing);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
  for (const char* content : {"", "this is not a database at all, just some text........"}) {
    std::string bad = Folder.File("bad.dll");
    std::ofstream(bad) << content;
    try {
      SqliteDatabase::OpenExisting(bad);
      FAIL() << "no error for '" << content << "'";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
    }
    EXPECT_EQ(std::filesystem::file_size(bad), std::string(content).size());
  }
}

TEST_F(SqliteTest, CreateDatabaseNeverTouchesAnExistingFile) {
  std::string path = Folder.File("other.dll");
  std::ofstream(path) << "keep me";
  EXPECT_FALSE(data::CreateDatabase(path, datatest::SchemaText()));
  std::ifstream in(path);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "keep me");
  // A schema that fails leaves no file behind.
  std::string broken = Folder.File("broken.dll");
  EXPECT_THROW(data::CreateDatabase(broken, "create table x(a); this is not sql;"), EDatabaseError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()),
                          std::filesystem::directory_iterator()),
            2);  // VN.dll and other.dll
}

}  // namespace
