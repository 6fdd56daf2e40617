#include "platform/data/MemoryDataSet.h"

#include <algorithm>

using data::Record;
using data::Value;

void TMemoryDataSet::InternalOpen() {
  if (FieldDefs()->Count() == 0) {
    // Without definitions the persistent data fields describe the columns.
    for (int i = 0; i < Fields()->Count(); ++i) {
      TField* f = Fields()->Fields(i);
      if (f->FieldKind() == fkData) FieldDefs()->Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
    if (FieldDefs()->Count() == 0) Error("Missing data provider or data packet");
  }
  size_t width = static_cast<size_t>(FieldDefs()->Count());
  for (auto& [rowId, values] : FStore) {
    std::vector<Value> v = values;
    v.resize(width);
    AddLoadedRecord(std::move(v), rowId);
  }
}

void TMemoryDataSet::InternalClose() {}

void TMemoryDataSet::InternalPostEdit(Record& Rec, const std::vector<Value>&) {
  auto it = std::find_if(FStore.begin(), FStore.end(), [&](auto& p) { return p.first == Rec.RowId; });
  if (it == FStore.end()) Error("Record not found");
  it->second.assign(Rec.Values.begin(), Rec.Values.begin() + DataSlotCount());
}

void TMemoryDataSet::InternalPostInsert(Record& Rec) {
  for (int i = 0; i < FieldDefs()->Count(); ++i) {
    if (FieldDefs()->Items(i)->DataType() != ftAutoInc) continue;
    Value& v = Rec.Values[static_cast<size_t>(i)];
    if (data::IsNullValue(v))
      v = FNextAutoInc;
    FNextAutoInc = std::max(FNextAutoInc, std::get<int64_t>(v) + 1);
  }
  Rec.RowId = FNextRowId++;
  std::vector<Value> values(Rec.Values.begin(), Rec.Values.begin() + DataSlotCount());
  // Keep the stored order equal to the row order: after the row before it.
  auto pos = FStore.end();
  int64_t before = RowIdAfter(Rec);
  if (before != 0)
    pos = std::find_if(FStore.begin(), FStore.end(), [&](auto& p) { return p.first == before; });
  FStore.insert(pos, {Rec.RowId, std::move(values)});
}

void TMemoryDataSet::InternalDeleteRecord(Record& Rec) {
  auto it = std::find_if(FStore.begin(), FStore.end(), [&](auto& p) { return p.first == Rec.RowId; });
  if (it != FStore.end()) FStore.erase(it);
}

void TMemoryDataSet::EmptyDataSet() {
  FStore.clear();
  if (Active()) {
    Close();
    Open();
  }
}
