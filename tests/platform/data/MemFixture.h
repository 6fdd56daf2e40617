#pragma once
// An in-memory dataset of numbered rows and a data link that records what it is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/data/DataLink.h"
#include "platform/data/MemoryDataSet.h"

namespace datatest {

// Rows id = 1..Count, name = "row<id>", amount = id * 1.5.
inline void FillRows(TMemoryDataSet& Ds, int Count) {
  Ds.FieldDefs()->Add("id", ftInteger);
  Ds.FieldDefs()->Add("name", ftWideString, 50);
  Ds.FieldDefs()->Add("amount", ftFloat);
  Ds.Open();
  for (int i = 1; i <= Count; ++i) {
    Ds.Append();
    Ds.FieldByName("id")->SetAsInteger(i);
    Ds.FieldByName("name")->SetAsString("row" + std::to_string(i));
    Ds.FieldByName("amount")->SetAsFloat(i * 1.5);
    Ds.Post();
  }
  Ds.First();
}

inline int CurrentId(TDataSet& Ds) { return Ds.FieldByName("id")->AsInteger(); }

class RecordingLink : public TDataLink {
 public:
  std::vector<std::string> Log;
  std::vector<int> Scrolls;

 protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(int Distance) override {
    Scrolls.push_back(Distance);
    Log.push_back("scrolled " + std::to_string(Distance));
  }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "not editing"); }
  void LayoutChanged() override { Log.push_back("layout"); }
  void RecordChanged(TField* Field) override {
    Log.push_back(Field ? "record " + Field->FieldName() : "record");
  }
  void UpdateData() override { Log.push_back("update"); }
  void CheckBrowseMode() override { Log.push_back("check"); }
};

// The ids of the rows a grid on Link would paint (0 for a row without one), found by moving
// the link's active record over its window as a grid does.
inline std::vector<int> VisibleIds(TDataLink& Link) {
  std::vector<int> ids;
  int saved = Link.ActiveRecord();
  for (int i = 0; i < Link.RecordCount(); ++i) {
    Link.SetActiveRecord(i);
    TField* id = Link.DataSet()->FieldByName("id");
    ids.push_back(id->IsNull() ? 0 : id->AsInteger());
  }
  Link.SetActiveRecord(saved);
  return ids;
}

// A dataset of Rows rows shown through a data source by a link with a window of Window rows.
struct GridSetup {
  GridSetup(int Rows, int Window) {
    FillRows(Ds, Rows);
    Src.SetDataSet(&Ds);
    Link.SetDataSource(&Src);
    Link.SetBufferCount(Window);
  }
  TMemoryDataSet Ds{nullptr};
  TDataSource Src{nullptr};
  RecordingLink Link;
};

}  // namespace datatest
