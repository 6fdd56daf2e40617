// Every statement the system runs against the schedule database, verbatim, on the
// virtual clock (2026-12-10, a Thursday: weekday digit "4").
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/platform/data/AdoFixture.h"

using data::Value;
using Names = std::vector<std::string>;

namespace {

const char* const kPending =
    "select * from db where use=true and ptime>time() and stardate<=date() and enddate>=date() and week like :v order by ptime";
// The same list for display, with its parameter named :a.
const char* const kPendingShown =
    "select * from db where use=true and ptime>time() and stardate<=date() and enddate>=date() and week like :a order by ptime";
const char* const kMorePlay =
    "select * from db where use=true and moreplay=true and stardate<=date() and enddate>=date() and week like :v order by ptime";

class StatementsTest : public datatest::AdoTest {};

TEST_F(StatementsTest, PendingListIsTodaysTasksAfterNowInTimeOrder) {
  SetNow(2026, 12, 10, 10, 0, 0);
  const std::string today = "2026-12-10";
  AddTask({"later", true, "11:00:00", "2026-12-01", "2026-12-31"});
  AddTask({"soon", true, "10:30:00", "2026-12-01", "2026-12-31"});
  AddTask({"this second", true, "10:00:00", "2026-12-01", "2026-12-31"});
  AddTask({"earlier", true, "09:59:59", "2026-12-01", "2026-12-31"});
  AddTask({"no start date", true, "11:00:00", "", "2026-12-31"});
  AddTask({"no end date", true, "11:00:00", "2026-12-01", ""});
  AddTask({"not thursday", true, "11:00:00", "2026-12-01", "2026-12-31", "1 2 3 5"});
  AddTask({"no days", true, "11:00:00", "2026-12-01", "2026-12-31", ""});
  AddTask({"not in use", false, "11:00:00", "2026-12-01", "2026-12-31"});
  AddTask({"starts tomorrow", true, "11:00:00", "2026-12-11", "2026-12-31"});
  AddTask({"ended yesterday", true, "11:00:00", "2026-12-01", "2026-12-09"});
  AddTask({"only today", true, "12:00:00", today, today, "4"});

  TADOQuery q1(nullptr);
  q1.SetConnection(&Conn);
  q1.SetCursorType(ctStatic);
  q1.SetLockType(ltBatchOptimistic);
  EXPECT_EQ(Run(q1, kPending, "v", "%4%"), (Names{"soon", "later", "only today"}));
  TADOQuery q2(nullptr);
  q2.SetConnection(&Conn);
  q2.SetLockType(ltBatchOptimistic);
  EXPECT_EQ(Run(q2, kPendingShown, "a", "%4%"), (Names{"soon", "later", "only today"}));

  // Half an hour later the first one is no longer pending.
  SetNow(2026, 12, 10, 10, 30, 0);
  EXPECT_EQ(Run(q1, kPending, "v", "%4%"), (Names{"later", "only today"}));
  // Friday morning: the Thursday-only and ended rows drop out, "not thursday" and
  // "starts tomorrow" come in; rows of the same time come in any order.
  SetNow(2026, 12, 11, 8, 0, 0);
  Names friday = Run(q1, kPending, "v", "%5%");
  ASSERT_EQ(friday.size(), 6u);
  EXPECT_EQ(Names(friday.begin(), friday.begin() + 3), (Names{"earlier", "this second", "soon"}));
  std::sort(friday.begin() + 3, friday.end());
  EXPECT_EQ(Names(friday.begin() + 3, friday.end()), (Names{"later", "not thursday", "starts tomorrow"}));
}

TEST_F(StatementsTest, EveryDaySetMatchesEachWeekday) {
  AddTask({"daily", true, "23:00:00", "2026-12-01", "2026-12-31"});
  AddTask({"weekend", true, "23:00:00", "2026-12-01", "2026-12-31", "6 7"});
  TADOQuery q(nullptr);
  q.SetConnection(&Conn);
  // 2026-12-14 is a Monday: digit 1 ... Sunday 2026-12-20: digit 7.
  for (int digit = 1; digit <= 7; ++digit) {
    SetNow(2026, 12, 13 + digit, 9, 0, 0);
    Names expected = digit >= 6 ? Names{"daily", "weekend"} : Names{"daily"};
    Names got = Run(q, kPending, "v", "%" + std::to_string(digit) + "%");
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected) << digit;
  }
}

TEST_F(StatementsTest, RepeatingTasksQueryAndWritingPTimeThroughIt) {
  SetNow(2026, 12, 10, 10, 0, 0);
  AddTask({"repeat b", true, "09:00:00", "2026-12-01", "2026-12-31", "1 2 3 4 5 6 7", true});
  AddTask({"repeat a", true, "08:00:00", "2026-12-01", "2026-12-31", "4", true});
  AddTask({"single", true, "11:00:00", "2026-12-01", "2026-12-31"});
  AddTask({"repeat other day", true, "08:00:00", "2026-12-01", "2026-12-31", "1", true});
  TADOQuery more(nullptr);
  more.SetConnection(&Conn);
  more.SetCursorType(ctStatic);
  EXPECT_EQ(Run(more, kMorePlay, "v", "%4%"), (Names{"repeat a", "repeat b"}));
  // Its ptime is rewritten through the query; the file has it at once.
  more.First();
  more.Edit();
  more.FieldByName("ptime")->SetAsString("10:15:00");
  more.Post();
  auto db = data::SqliteDatabase::OpenExisting(DbPath);
  data::SqliteStatement s(*db, "select ptime, typeof(ptime) from db where filename='repeat a'");
  ASSERT_TRUE(s.Step());
  EXPECT_EQ(std::get<std::string>(s.Column(0)), "10:15:00");
  EXPECT_EQ(std::get<std::string>(s.Column(1)), "text");
}

TEST_F(StatementsTest, MusicListCategoriesSlotsAndPositions) {
  SetNow(2026, 12, 10, 10, 0, 0);
  {
    TADOTable music(nullptr);
    music.SetConnection(&Conn);
    music.SetTableName("music");
    music.Open();
    for (auto [name, status] : {std::pair{"b", 2}, std::pair{"a", 3}, std::pair{"c", 2}}) {
      music.Append();
      music.FieldByName("name")->SetAsString(name);
      music.FieldByName("namepath")->SetAsString(std::string("/music/") + name + ".mp3");
      music.FieldByName("status")->SetAsInteger(status);
      music.FieldByName("timel")->SetAsString("03:10");
      music.Post();
    }
    music.Append();  // added from the main window: no category
    music.FieldByName("name")->SetAsString("d");
    music.Post();
  }
  Conn.Execute("insert into musictype (name, sum) values ('pop', 0), ('calm', 0)");
  Conn.Execute("insert into musictype_do (starttime, endtime, week, idset, idsetname) values "
               "('14:00:00', '15:00:00', '1 2 3 4 5', 2, 'pop'), "
               "('09:00:00', '10:00:00', '4', 3, 'calm'), "
               "('11:00:00', '12:00:00', '6 7', 2, 'pop')");
  Conn.Execute("insert into music_Position (id, FileName, Position, idset) values (1, '/music/b.mp3', 61000, 0)");

  TADOQuery q(nullptr);
  q.SetConnection(&Conn);
  EXPECT_EQ(Run(q, "select * from music order by id", "", Variant(), "name"), (Names{"b", "a", "c", "d"}));
  EXPECT_EQ(Run(q, "select * from music where status=:a order by id", "a", 2, "name"), (Names{"b", "c"}));
  EXPECT_EQ(Run(q, "select * from music where status=:a order by id", "a", 9, "name"), Names{});
  EXPECT_EQ(Run(q, "select * from music", "", Variant(), "name").size(), 4u);
  EXPECT_EQ(Run(q, "select * from music where status=:a", "a", 3, "name"), Names{"a"});
  EXPECT_EQ(Run(q, "select * from musictype", "", Variant(), "name"), (Names{"所有音乐", "pop", "calm"}));
  EXPECT_EQ(Run(q, "select * from musictype_do where week like :a order by starttime", "a", "%4%",
                  "idsetname"),
            (Names{"calm", "pop"}));
  EXPECT_EQ(q.FieldByName("starttime")->AsString(), "14:00:00");
  EXPECT_EQ(Run(q, "select * from musictype_do order by starttime", "", Variant(), "starttime"),
            (Names{"09:00:00", "11:00:00", "14:00:00"}));
  q.Close();
  q.SQL()->SetText("select * from music_Position");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("FileName")->AsString(), "/music/b.mp3");
  EXPECT_EQ(q.FieldByName("Position")->AsInteger(), 61000);
  EXPECT_EQ(q.FieldByName("idset")->AsInteger(), 0);
  EXPECT_EQ(q.FieldByName("id")->AsInteger(), 1);
}

// The overlap checks the slot editor runs before adding a slot: times as "hh:nn:ss" text
// parameters, the weekday set as seven LIKE patterns ("%8%" for the days not chosen).
TEST_F(StatementsTest, SlotOverlapChecks) {
  const char* const kStartCheck =
      "select * from musictype_do where (starttime<=:a and endtime>:b) and (week like :w1 or week like :w2 or "
      "week like :w3 or week like :w4 or week like :w5 or week like :w6 or week like :w7)";
  const char* const kEndCheck =
      "select * from musictype_do where ((endtime>:a and endtime<:b) or (starttime<:c and endtime>:d)) and "
      "(week like :w1 or week like :w2 or week like :w3 or week like :w4 or week like :w5 or week like :w6 or "
      "week like :w7)";
  Conn.Execute("insert into musictype_do (starttime, endtime, week, idset, idsetname) values "
               "('09:00:00', '10:00:00', '1 2 3', 2, 'pop'), ('14:00:00', '15:00:00', '4 5', 3, 'calm')");
  TADOQuery typedo(nullptr);
  typedo.SetConnection(&Conn);
  auto hits = [&](const char* Sql, const std::string& Start, const std::string& End, const std::string& Days) {
    typedo.Close();
    typedo.SQL()->Clear();
    typedo.SQL()->Add(Sql);
    std::vector<std::string> patterns(7, "%8%");
    std::istringstream parts(Days);
    std::string part;
    for (size_t k = 0; k < 7 && parts >> part; ++k) patterns[k] = "%" + part + "%";
    for (int k = 1; k <= 7; ++k) typedo.ParamByName("w" + std::to_string(k))->SetValue(patterns[k - 1]);
    typedo.ParamByName("a")->SetValue(Start);
    typedo.ParamByName("b")->SetValue(Sql == kStartCheck ? Start : End);
    if (Sql == kEndCheck) {
      typedo.ParamByName("c")->SetValue(End);
      typedo.ParamByName("d")->SetValue(End);
    }
    typedo.Open();
    return !typedo.IsEmpty();
  };
  struct Case { const char* Start; const char* End; const char* Days; bool StartHit, EndHit; };
  for (const Case& c : {Case{"09:30:00", "09:45:00", "2", true, true},
                        Case{"10:00:00", "11:00:00", "1", false, false},     // starts as the other ends
                        Case{"08:00:00", "09:30:00", "3", false, true},      // ends inside
                        Case{"08:00:00", "11:00:00", "1 2", false, true},    // contains it
                        Case{"09:30:00", "09:45:00", "6 7", false, false},   // other days
                        Case{"14:30:00", "16:00:00", "5", true, true}}) {
    EXPECT_EQ(hits(kStartCheck, c.Start, c.End, c.Days), c.StartHit) << c.Start << "-" << c.End << " " << c.Days;
    EXPECT_EQ(hits(kEndCheck, c.Start, c.End, c.Days), c.EndHit) << c.Start << "-" << c.End << " " << c.Days;
  }
}

}  // namespace
