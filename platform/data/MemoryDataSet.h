#pragma once
// The in-memory dataset (for tests, lookups and lists): field definitions (or persistent
// fields) describe its columns and its rows live as long as the object; Close keeps them,
// Open shows them again.
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/data/DataSet.h"

class TMemoryDataSet : public TDataSet {
 public:
  explicit TMemoryDataSet(TComponent* AOwner) : TDataSet(AOwner) {}
  // Opens the dataset (the rows start empty).
  void CreateDataSet() { Open(); }
  // Removes every row.
  void EmptyDataSet();

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  void InternalPostEdit(data::Record& Rec, const std::vector<data::Value>& OldValues) override;
  void InternalPostInsert(data::Record& Rec) override;
  void InternalDeleteRecord(data::Record& Rec) override;
  void InternalRefresh() override {}

 private:
  std::vector<std::pair<int64_t, std::vector<data::Value>>> FStore;  // row id, values
  int64_t FNextRowId = 1;
  int64_t FNextAutoInc = 1;
};
