#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/platform/data/AdoFixture.h"

using data::Value;

namespace {

class AdoTest : public datatest::AdoTest {
 protected:
  // The stored text (or number) of a column, read straight from the file.
  Value Stored(const std::string& Sql) {
    auto db = data::SqliteDatabase::OpenExisting(DbPath);
    data::SqliteStatement s(*db, Sql);
    return s.Step() ? s.Column(0) : Value();
  }
};

TEST(ConnectionString, ParsesKeysAndQuotedValues) {
  auto p = data::ParseConnectionString(
      "Provider=X.4.0; Data Source = /a b/VN.dll ;Jet OLEDB:Database Password='pa;ss';Empty=;Junk");
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[1], (std::pair<std::string, std::string>{"Data Source", "/a b/VN.dll"}));
  EXPECT_EQ(p[2].second, "pa;ss");
  EXPECT_EQ(p[3].second, "");
  TADOConnection c(nullptr);
  c.SetConnectionString("data source=/x/VN.dll;User ID=admin");
  EXPECT_EQ(c.ConnectionParameter("Data Source"), "/x/VN.dll");
  EXPECT_EQ(c.ConnectionParameter("user id"), "admin");
  EXPECT_EQ(c.ConnectionParameter("nope"), "");
}

TEST_F(AdoTest, MissingFileRaisesNamingItAndCreatesNothing) {
  std::string missing = Folder.File("gone/VN.dll");
  Conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + missing);
  try {
    Conn.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
  }
  EXPECT_FALSE(Conn.Connected());
  TADOTable t(nullptr);
  t.SetConnection(&Conn);
  t.SetTableName("db");
  EXPECT_THROW(t.Open(), EDatabaseError);
  EXPECT_FALSE(t.Active());
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(std::filesystem::exists(Folder.File("gone")));
}

TEST_F(AdoTest, EveryColumnTypeOfTheTaskTableRoundTrips) {
  TADOTable t(nullptr);
  t.SetConnection(&Conn);
  t.SetTableName("db");
  t.Open();
  EXPECT_EQ(t.FieldCount(), 21);
  struct Expect { const char* Name; TFieldType Type; int Size; };
  for (const Expect& e : {Expect{"no", ftAutoInc, 0}, Expect{"use", ftBoolean, 0}, Expect{"filename", ftWideString, 100},
                          Expect{"filenameall", ftWideString, 255}, Expect{"status", ftInteger, 0},
                          Expect{"startime", ftTime, 0}, Expect{"timel", ftWideString, 50},
                          Expect{"stardate", ftDate, 0}, Expect{"week", ftWideString, 50}}) {
    TField* f = t.FieldByName(e.Name);
    EXPECT_EQ(f->DataType(), e.Type) << e.Name;
    EXPECT_EQ(f->Size(), e.Size) << e.Name;
  }
  EXPECT_TRUE(t.FieldByName("no")->ReadOnly());
  EXPECT_NE(dynamic_cast<TTimeField*>(t.FieldByName("ptime")), nullptr);

  t.Append();
  t.FieldByName("use")->SetAsBoolean(true);
  t.FieldByName("filename")->SetAsString("早上好");
  t.FieldByName("filenameall")->SetAsString("/声音/早上好.mp3");
  t.FieldByName("status")->SetAsInteger(1);
  t.FieldByName("startime")->SetAsString("08:00:00");
  t.FieldByName("endtime")->SetAsDateTime(TDateTime((17 * 3600 + 30 * 60) / 86400.0));
  t.FieldByName("backtime")->SetText("07:59:58");
  t.FieldByName("num")->SetAsInteger(5);
  t.FieldByName("moreplay")->SetAsBoolean(true);
  t.FieldByName("bew")->SetAsInteger(300);
  t.FieldByName("timel")->SetAsString("01:05");
  t.FieldByName("ptime")->SetAsString("08:30:00");
  t.FieldByName("befrom")->SetAsBoolean(false);
  t.FieldByName("befromy")->SetAsBoolean(true);
  t.FieldByName("befromname")->SetAsString("ding.wav");
  t.FieldByName("befrompath")->SetAsString("/声音/ding.wav");
  t.FieldByName("stardate")->SetAsDateTime(TDateTime(EncodeDate(2026, 12, 1)));
  t.FieldByName("enddate")->SetAsString("2027-01-31");
  t.FieldByName("week")->SetAsString("1 3 5");
  t.Post();
  int no = t.FieldByName("no")->AsInteger();
  EXPECT_GT(no, 0);

  // The file keeps the text forms that compare and sort right.
  std::string where = " from db where no=" + std::to_string(no);
  EXPECT_EQ(Stored("select ptime" + where), Value(std::string("08:30:00")));
  EXPECT_EQ(Stored("select endtime" + where), Value(std::string("17:30:00")));
  EXPECT_EQ(Stored("select stardate" + where), Value(std::string("2026-12-01")));
  EXPECT_EQ(Stored("select use" + where), Value(int64_t{1}));
  EXPECT_EQ(Stored("select befrom" + where), Value(int64_t{0}));
  EXPECT_TRUE(data::IsNullValue(Stored("select nexttime" + where)));

  t.Close();
  t.Open();
  ASSERT_TRUE(t.Locate("no", no, 0));
  EXPECT_TRUE(t.FieldByName("use")->AsBoolean());
  EXPECT_EQ(t.FieldByName("filename")->AsString(), "早上好");
  EXPECT_EQ(t.FieldByName("filenameall")->AsString(), "/声音/早上好.mp3");
  EXPECT_EQ(t.FieldByName("status")->AsInteger(), 1);
  EXPECT_EQ(t.FieldByName("startime")->AsString(), "08:00:00");
  EXPECT_DOUBLE_EQ(t.FieldByName("endtime")->AsDateTime().Value, (17 * 3600 + 30 * 60) / 86400.0);
  EXPECT_EQ(t.FieldByName("backtime")->Text(), "07:59:58");
  EXPECT_EQ(t.FieldByName("num")->AsInteger(), 5);
  EXPECT_TRUE(t.FieldByName("moreplay")->AsBoolean());
  EXPECT_EQ(t.FieldByName("bew")->AsInteger(), 300);
  EXPECT_EQ(t.FieldByName("timel")->AsString(), "01:05");
  EXPECT_FALSE(t.FieldByName("befrom")->AsBoolean());
  EXPECT_TRUE(t.FieldByName("befromy")->AsBoolean());
  EXPECT_EQ(t.FieldByName("befrompath")->AsString(), "/声音/ding.wav");
  EXPECT_EQ(t.FieldByName("stardate")->AsDateTime().Value, EncodeDate(2026, 12, 1));
  EXPECT_EQ(t.FieldByName("enddate")->AsDateTime().Value, EncodeDate(2027, 1, 31));
  EXPECT_EQ(t.FieldByName("week")->AsString(), "1 3 5");
  EXPECT_TRUE(t.FieldByName("nexttime")->IsNull());
  EXPECT_EQ(t.FieldByName("nexttime")->AsString(), "");
  // Columns the system leaves alone take the schema's defaults.
  t.Append();
  t.FieldByName("filename")->SetAsString("bare");
  t.Post();
  EXPECT_FALSE(t.FieldByName("use")->AsBoolean());
  EXPECT_FALSE(t.FieldByName("use")->IsNull());
  EXPECT_EQ(t.FieldByName("status")->AsInteger(), 0);
}

TEST_F(AdoTest, AutoIncrementKeysAndPersistentFields) {
  TComponent form(nullptr);
  TADOQuery q(&form);
  q.SetConnection(&Conn);
  q.SQL()->SetText("select * from music order by id");
  // Fields as a window definition declares them, with the row-number field.
  auto* id = new TAutoIncField(&form);
  id->SetFieldName("id");
  id->SetDataSet(&q);
  auto* name = new TWideStringField(&form);
  name->SetFieldName("name");
  name->SetSize(200);
  name->SetDataSet(&q);
  auto* noer = new TIntegerField(&form);
  noer->SetFieldName("noer");
  noer->SetFieldKind(fkCalculated);
  noer->SetDataSet(&q);
  q.OnCalcFields = [&](TDataSet* D) { noer->SetAsInteger(D->RecNo()); };
  q.Open();
  std::vector<int> ids;
  for (const char* n : {"one", "two", "three"}) {
    q.Append();
    name->SetAsString(n);
    q.Post();
    ids.push_back(id->AsInteger());
  }
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(noer->AsInteger(), 3);
  q.First();
  q.Delete();
  q.Append();
  name->SetAsString("four");
  q.Post();
  EXPECT_EQ(id->AsInteger(), 4);  // keys are not reused
  q.Close();
  q.Open();
  std::vector<std::pair<int, int>> rows;
  for (q.First(); !q.Eof(); q.Next()) rows.push_back({noer->AsInteger(), id->AsInteger()});
  EXPECT_EQ(rows, (std::vector<std::pair<int, int>>{{1, 2}, {2, 3}, {3, 4}}));
  EXPECT_THROW({ q.Edit(); id->SetAsInteger(9); }, EDatabaseError);
  q.Cancel();
}

TEST_F(AdoTest, KeylessTableIsEditedAndDeletedByRow) {
  TADOQuery q(nullptr);
  q.SetConnection(&Conn);
  q.SQL()->SetText("select * from musictype_do order by starttime");
  q.Open();
  EXPECT_TRUE(q.CanModify());
  // Two rows that are equal in every column: only the one edited may change.
  for (int i = 0; i < 3; ++i) {
    q.Append();
    q.FieldByName("starttime")->SetAsString(i < 2 ? "09:00:00" : "13:00:00");
    q.FieldByName("endtime")->SetAsString("10:00:00");
    q.FieldByName("week")->SetAsString("1 2");
    q.FieldByName("idset")->SetAsInteger(2);
    q.FieldByName("idsetname")->SetAsString("pop");
    q.Post();
  }
  q.First();
  q.Next();
  q.Edit();
  q.FieldByName("idsetname")->SetAsString("changed");
  q.Post();
  EXPECT_EQ(Stored("select count(*) from musictype_do where idsetname='changed'"), Value(int64_t{1}));
  q.First();
  q.Delete();
  EXPECT_EQ(Stored("select count(*) from musictype_do"), Value(int64_t{2}));
  EXPECT_EQ(Stored("select count(*) from musictype_do where idsetname='changed'"), Value(int64_t{1}));
  q.Refresh();
  EXPECT_EQ(q.RecordCount(), 2);
  EXPECT_EQ(q.FieldByName("idsetname")->AsString(), "changed");
}

TEST_F(AdoTest, RowWhoseKeyWasEditedIsStillWrittenAndDeleted) {
  // An integer primary key is the row's identity in the file: changing it must not lose the row.
  Conn.Execute("create table k (id integer primary key, v text)");
  Conn.Execute("insert into k values (1, 'a'), (2, 'b')");
  TADOTable t(nullptr);
  t.SetConnection(&Conn);
  t.SetTableName("k");
  t.Open();
  TBookmark first = t.Bookmark();
  t.Edit();
  t.FieldByName("id")->SetAsInteger(10);
  t.Post();
  t.Edit();
  t.FieldByName("v")->SetAsString("edited");
  t.Post();
  EXPECT_EQ(Stored("select v from k where id=10"), Value(std::string("edited")));
  t.Refresh();
  EXPECT_TRUE(t.BookmarkValid(first));
  t.GotoBookmark(first);
  t.Delete();
  EXPECT_EQ(Stored("select count(*) from k"), Value(int64_t{1}));
  EXPECT_EQ(Stored("select v from k"), Value(std::string("b")));
}

TEST_F(AdoTest, OnlyRowsOfOneTableCanBeWrittenBack) {
  struct Case { const char* Sql; bool Writable; };
  for (const Case& c : {Case{"select * from music order by id", true},
                        Case{"select name, status from music where status = 2", true},
                        Case{"select * from music where id in (select id from music group by status)", true},
                        Case{"select status from music group by status", false},
                        Case{"select status, count(*) as n from music group by status", false},
                        Case{"select distinct status from music", false},
                        Case{"select music.name, musictype.name as t from music, musictype", false},
                        Case{"select name || '!' as shout from music", false}}) {
    TADOQuery q(nullptr);
    q.SetConnection(&Conn);
    q.SQL()->SetText(c.Sql);
    q.Open();
    EXPECT_EQ(q.CanModify(), c.Writable) << c.Sql;
  }
}

TEST_F(AdoTest, FailedWritesLeaveTheDataSetAsBefore) {
  TADOTable t(nullptr);
  t.SetConnection(&Conn);
  t.SetTableName("musictype");
  t.Open();
  // Category names are unique.
  t.Append();
  t.FieldByName("name")->SetAsString("所有音乐");
  try {
    t.Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
  }
  EXPECT_EQ(t.State(), dsInsert);
  EXPECT_EQ(t.FieldByName("name")->AsString(), "所有音乐");
  t.FieldByName("name")->SetAsString("pop");
  t.Post();
  EXPECT_EQ(t.FieldByName("id")->AsInteger(), 2);

  t.Edit();
  t.FieldByName("name")->SetAsString("所有音乐");
  t.FieldByName("sum")->SetAsInteger(7);
  EXPECT_THROW(t.Post(), EDatabaseError);
  EXPECT_EQ(t.State(), dsEdit);
  EXPECT_EQ(t.FieldByName("sum")->AsInteger(), 7);
  EXPECT_EQ(Stored("select sum from musictype where id=2"), Value(int64_t{0}));
  t.Cancel();
  EXPECT_EQ(t.FieldByName("name")->AsString(), "pop");

  // A refused delete keeps the row, in the file and in the dataset, with an edit in progress.
  Conn.Execute("create trigger keep before delete on musictype begin select raise(abort, 'refused'); end");
  t.Edit();
  t.FieldByName("sum")->SetAsInteger(5);
  try {
    t.Delete();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "refused");
  }
  EXPECT_EQ(t.State(), dsEdit);
  EXPECT_EQ(t.FieldByName("sum")->AsInteger(), 5);
  EXPECT_EQ(t.RecordCount(), 2);
  int tries = 0;
  t.OnDeleteError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) {
    if (++tries == 2) Conn.Execute("drop trigger keep");
    Action = daRetry;
  };
  t.Cancel();
  t.Delete();
  EXPECT_EQ(tries, 2);
  EXPECT_EQ(t.RecordCount(), 1);
  EXPECT_EQ(Stored("select count(*) from musictype"), Value(int64_t{1}));

  // A row removed by someone else cannot be saved; the edit stays.
  t.Append();
  t.FieldByName("name")->SetAsString("calm");
  t.Post();
  Conn.Execute("delete from musictype where name='calm'");
  t.Edit();
  t.FieldByName("sum")->SetAsInteger(3);
  EXPECT_THROW(t.Post(), EDatabaseError);
  EXPECT_EQ(t.State(), dsEdit);
  t.Cancel();
  t.Refresh();
  EXPECT_EQ(t.RecordCount(), 1);
}

TEST_F(AdoTest, ConnectionLifetimeQueriesAndParameters) {
  TADOQuery q(nullptr);
  q.SetConnection(&Conn);
  q.SQL()->Add("update musictype set sum = :n");
  q.SQL()->Add("where id = :id and name like :n2");
  EXPECT_EQ(q.Parameters()->Count(), 3);
  EXPECT_THROW(q.ParamByName("missing"), EDatabaseError);
  q.ParamByName("n")->SetValue(12);
  q.ParamByName("ID")->SetValue(1);
  q.ParamByName("n2")->SetValue("所有%");
  EXPECT_EQ(q.ExecSQL(), 1);
  EXPECT_EQ(Stored("select sum from musictype where id=1"), Value(int64_t{12}));
  // Not kept open between activations.
  EXPECT_FALSE(Conn.Connected());
  q.SQL()->SetText("select * from musictype where name = ':not a param' or id = :id");
  EXPECT_EQ(q.Parameters()->Count(), 1);
  q.ParamByName("id")->SetValue(1);
  q.Open();
  EXPECT_TRUE(Conn.Connected());
  EXPECT_EQ(q.RecordCount(), 1);
  q.Close();
  EXPECT_FALSE(Conn.Connected());

  // Date-time and Boolean parameters take the stored forms.
  TParameter p("t");
  struct Case { Variant V; TFieldType Type; Value Bound; };
  TDateTime day = EncodeDate(2026, 12, 10);
  for (const Case& c : {Case{TDateTime(0.5), ftUnknown, std::string("12:00:00")},
                        Case{day, ftUnknown, std::string("2026-12-10")},
                        Case{TDateTime(day + 0.25), ftUnknown, std::string("2026-12-10 06:00:00")},
                        Case{TDateTime(day + 0.25), ftTime, std::string("06:00:00")},
                        Case{TDateTime(day + 0.25), ftDate, std::string("2026-12-10")},
                        Case{day, ftDateTime, std::string("2026-12-10 00:00:00")},
                        Case{true, ftUnknown, int64_t{1}},
                        Case{Variant::Null(), ftUnknown, Value()},
                        Case{2.5, ftUnknown, 2.5},
                        Case{"x", ftUnknown, std::string("x")}}) {
    p.SetDataType(c.Type);
    p.SetValue(c.V);
    EXPECT_EQ(p.SqlValue(), c.Bound) << c.V;
  }
  // Time parameters compare with stored times as times.
  q.SQL()->SetText("select count(*) as n from db where ptime > :t");
  Conn.Execute("insert into db (ptime) values ('09:00:00'), ('11:00:00')");
  q.ParamByName("t")->SetAsDateTime(EncodeTime(10, 0, 0, 0));
  q.Open();
  EXPECT_EQ(q.FieldByName("n")->AsInteger(), 1);
  q.Close();

  // A bad statement raises SQLite's message and the query stays closed.
  q.SQL()->SetText("select * from nosuchtable");
  try {
    q.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos);
  }
  EXPECT_FALSE(q.Active());
  // Closing the connection closes its datasets.
  Conn.SetKeepConnection(true);
  q.SQL()->SetText("select count(*) as n from music");
  q.Open();
  EXPECT_FALSE(q.CanModify());
  EXPECT_EQ(q.FieldByName("n")->AsInteger(), 0);
  Conn.Close();
  EXPECT_FALSE(q.Active());
}

TEST_F(AdoTest, RefreshSeesOtherWritersAndKeepsTheRow) {
  TADOTable t(nullptr);
  t.SetConnection(&Conn);
  t.SetTableName("music");
  Conn.Execute("insert into music (name) values ('a'), ('b'), ('c')");
  t.Open();
  t.Last();
  TBookmark c = t.Bookmark();
  Conn.Execute("delete from music where name='a'");
  Conn.Execute("update music set timel='04:00' where name='c'");
  t.Refresh();
  EXPECT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.FieldByName("name")->AsString(), "c");
  EXPECT_EQ(t.FieldByName("timel")->AsString(), "04:00");
  EXPECT_TRUE(t.BookmarkValid(c));
}

}  // namespace
