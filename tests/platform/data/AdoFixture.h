#pragma once
// A connection to a fresh schedule database, with helpers to add tasks as the task
// editor would, through the table dataset.
#include <string>
#include <vector>

#include "platform/data/ADODB.h"
#include "tests/platform/data/DbFixture.h"

namespace datatest {

class AdoTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    Conn.SetConnectionString(
        "Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=" + DbPath +
        ";Jet OLEDB:Database Password=lantorix;Persist Security Info=False");
    Conn.SetLoginPrompt(false);
    Conn.SetMode(cmShareDenyNone);
    Conn.SetKeepConnection(false);
  }

  struct Task {
    std::string Name;
    bool Use = true;
    std::string PTime;           // "hh:nn:ss"
    std::string StarDate;        // "" = empty
    std::string EndDate;
    std::string Week = "1 2 3 4 5 6 7";
    bool MorePlay = false;
  };

  // Adds a task row; returns its number.
  int AddTask(const Task& T) {
    TADOTable table(nullptr);
    table.SetConnection(&Conn);
    table.SetTableName("db");
    table.Open();
    table.Append();
    table.FieldByName("use")->SetAsBoolean(T.Use);
    table.FieldByName("filename")->SetAsString(T.Name);
    table.FieldByName("ptime")->SetAsString(T.PTime);
    if (!T.StarDate.empty()) table.FieldByName("stardate")->SetAsString(T.StarDate);
    if (!T.EndDate.empty()) table.FieldByName("enddate")->SetAsString(T.EndDate);
    table.FieldByName("week")->SetAsString(T.Week);
    table.FieldByName("moreplay")->SetAsBoolean(T.MorePlay);
    table.Post();
    return table.FieldByName("no")->AsInteger();
  }

  // Runs a query the way the system rebuilds one: close, new text, parameter, open.
  std::vector<std::string> Run(TADOQuery& Q, const std::string& Sql, const std::string& Param,
                                 const Variant& Value, const std::string& Field = "filename") {
    Q.Close();
    Q.SQL()->Clear();
    Q.SQL()->Add(Sql);
    if (!Param.empty()) Q.Parameters()->ParamByName(Param)->SetValue(Value);
    Q.Open();
    std::vector<std::string> out;
    for (Q.First(); !Q.Eof(); Q.Next()) out.push_back(Q.FieldByName(Field)->AsString());
    return out;
  }

  TADOConnection Conn{nullptr};
};

}  // namespace datatest
