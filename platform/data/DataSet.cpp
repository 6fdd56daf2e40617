#include "platform/data/DataSet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/data/DataLink.h"
#include "platform/data/FieldText.h"
#include "platform/data/Filter.h"
#include "platform/rtl/Strings.h"

using data::Record;
using data::Value;

namespace {

// Puts a dataset into a temporary state (calculating or filtering one row) and back.
class TempState {
 public:
  TempState(TDataSetState& State, Record*& TempRec, TDataSetState NewState, Record* Rec)
      : FState(State), FTempRec(TempRec), FOldState(State), FOldRec(TempRec) {
    FState = NewState;
    FTempRec = Rec;
  }
  ~TempState() {
    FState = FOldState;
    FTempRec = FOldRec;
  }
  TempState(const TempState&) = delete;
  TempState& operator=(const TempState&) = delete;

 private:
  TDataSetState& FState;
  Record*& FTempRec;
  TDataSetState FOldState;
  Record* FOldRec;
};

const char* const kNotEditing = "Dataset not in edit or insert mode";
const char* const kReadOnly = "Cannot modify a read-only dataset";


}  // namespace

static const classes::TPublished<TDataSet, TComponent> DataSetInfo([](auto& p) {
  p.Bool("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
  p.Bool("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
  p.String("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
  p.Bool("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
  p.template Set<TFilterOption>("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions).Default(0);
  p.Event("BeforeOpen", &TDataSet::BeforeOpen);
  p.Event("AfterOpen", &TDataSet::AfterOpen);
  p.Event("BeforeClose", &TDataSet::BeforeClose);
  p.Event("AfterClose", &TDataSet::AfterClose);
  p.Event("BeforeInsert", &TDataSet::BeforeInsert);
  p.Event("AfterInsert", &TDataSet::AfterInsert);
  p.Event("BeforeEdit", &TDataSet::BeforeEdit);
  p.Event("AfterEdit", &TDataSet::AfterEdit);
  p.Event("BeforePost", &TDataSet::BeforePost);
  p.Event("AfterPost", &TDataSet::AfterPost);
  p.Event("BeforeCancel", &TDataSet::BeforeCancel);
  p.Event("AfterCancel", &TDataSet::AfterCancel);
  p.Event("BeforeDelete", &TDataSet::BeforeDelete);
  p.Event("AfterDelete", &TDataSet::AfterDelete);
  p.Event("BeforeScroll", &TDataSet::BeforeScroll);
  p.Event("AfterScroll", &TDataSet::AfterScroll);
  p.Event("BeforeRefresh", &TDataSet::BeforeRefresh);
  p.Event("AfterRefresh", &TDataSet::AfterRefresh);
  p.Event("OnCalcFields", &TDataSet::OnCalcFields);
  p.Event("OnDeleteError", &TDataSet::OnDeleteError);
  p.Event("OnEditError", &TDataSet::OnEditError);
  p.Event("OnFilterRecord", &TDataSet::OnFilterRecord);
  p.Event("OnNewRecord", &TDataSet::OnNewRecord);
  p.Event("OnPostError", &TDataSet::OnPostError);
});

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  // Derived datasets close themselves first; what is left here is only the bookkeeping.
  FState = dsInactive;
  FInsertRec.reset();
  FRecords.clear();
  FView.clear();
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  for (TField* f : FFields.FList) f->FDataSet = nullptr;
  FFields.FList.clear();
}

// ---- event hooks ----

int TDataSet::AddEventHook(TDataSetEventKind Kind, TDataSetHookPlace Place, TDataSetNotifyEvent Hook) {
  const int key = FNextHookKey++;
  FHooks[Kind].push_back({key, Place, std::move(Hook)});
  return key;
}

void TDataSet::RemoveEventHook(int Key) {
  for (auto& hooks : FHooks) std::erase_if(hooks, [Key](const TEventHook& H) { return H.Key == Key; });
}

void TDataSet::DoEvent(TDataSetEventKind Kind) {
  static const TDataSetNotifyEvent TDataSet::*const handlers[DataSetEventKindCount] = {
      &TDataSet::BeforeOpen,   &TDataSet::AfterOpen,    &TDataSet::BeforeClose,  &TDataSet::AfterClose,
      &TDataSet::BeforeInsert, &TDataSet::AfterInsert,  &TDataSet::BeforeEdit,   &TDataSet::AfterEdit,
      &TDataSet::BeforePost,   &TDataSet::AfterPost,    &TDataSet::BeforeCancel, &TDataSet::AfterCancel,
      &TDataSet::BeforeDelete, &TDataSet::AfterDelete,  &TDataSet::BeforeScroll, &TDataSet::AfterScroll,
      &TDataSet::BeforeRefresh, &TDataSet::AfterRefresh};
  if (FHooks[Kind].empty()) {
    if (const TDataSetNotifyEvent& handler = this->*handlers[Kind]) handler(this);
    return;
  }
  // A hook may add or remove hooks while it runs: the ones present now run, unless removed.
  std::vector<int> keys;
  for (const TEventHook& hook : FHooks[Kind]) keys.push_back(hook.Key);
  auto run = [this, Kind](int Key, TDataSetHookPlace Place) {
    for (const TEventHook& hook : FHooks[Kind])
      if (hook.Key == Key) {
        if (hook.Place == Place) {
          const TDataSetNotifyEvent call = hook.Hook;
          call(this);
        }
        return;
      }
  };
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) run(*k, dhpBeforeHandler);
  if (const TDataSetNotifyEvent handler = this->*handlers[Kind]) handler(this);
  for (int key : keys) run(key, dhpAfterHandler);
}

void TDataSet::CheckActive() const {
  if (FState == dsInactive) Error("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive() const {
  if (FState != dsInactive) Error("Cannot perform this operation on an open dataset");
}

// ---------------------------------------------------------------- fields

void TDataSet::AddField(TField* Field) {
  FFields.FList.push_back(Field);
  Field->FDataSet = this;
}

void TDataSet::RemoveField(TField* Field) {
  auto& l = FFields.FList;
  l.erase(std::remove(l.begin(), l.end(), Field), l.end());
  Field->FDataSet = nullptr;
  Field->FSlot = -1;
}

void TDataSet::CreateDefaultFields() {
  for (int i = 0; i < FFieldDefs.Count(); ++i) FFieldDefs[i]->CreateField(this, this);
}

void TDataSet::BindFields() {
  int slot = FFieldDefs.Count();
  for (TField* f : FFields.FList) {
    if (f->FieldKind() == fkData) {
      int idx = FFieldDefs.IndexOf(f->FieldName());
      if (idx < 0) Error("Field '" + f->FieldName() + "' not found");
      TFieldType defType = FFieldDefs[idx]->DataType();
      if (data::StorageOf(defType) != data::StorageOf(f->DataType()))
        Error("Type mismatch for field '" + f->FieldName() + "'");
      f->Bind(idx, idx + 1);
      if (FFieldDefs[idx]->ReadOnly()) f->SetReadOnly(true);
    } else {
      f->Bind(slot++, 0);
    }
  }
  FSlotCount = slot;
}

std::vector<TField*> TDataSet::GetFieldList(const std::string& FieldNames) const {
  std::vector<TField*> out;
  for (const std::string& n : data::SplitFieldNames(FieldNames)) out.push_back(FieldByName(n));
  return out;
}

Variant TDataSet::FieldValues(const std::string& FieldNames) const {
  std::vector<TField*> fields = GetFieldList(FieldNames);
  if (fields.size() == 1) return fields[0]->AsVariant();
  std::vector<Variant> items;
  for (TField* f : fields) items.push_back(f->AsVariant());
  return VarArrayOf(items);
}

void TDataSet::SetFieldValues(const std::string& FieldNames, const Variant& Values) {
  std::vector<TField*> fields = GetFieldList(FieldNames);
  std::vector<Variant> items = fields.size() == 1 && !VarIsArray(Values) ? std::vector<Variant>{Values}
                                                                          : data::VariantItems(Values);
  if (fields.size() != items.size()) Error("Number of values does not match the number of fields");
  for (size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(items[i]);
}

Record* TDataSet::ActiveRec() const {
  int p = CurrentPos();
  if (p < 0 || p >= static_cast<int>(FView.size())) return nullptr;
  return FView[static_cast<size_t>(p)];
}

Record* TDataSet::FieldRecord() const {
  if (FState == dsCalcFields || FState == dsFilter) return FTempRec;
  if (FState == dsInactive) return nullptr;
  return ActiveRec();
}

Value TDataSet::FieldValue(const TField* Field) const {
  Record* rec = FieldRecord();
  if (!rec || Field->FSlot < 0 || Field->FSlot >= static_cast<int>(rec->Values.size())) return {};
  return rec->Values[static_cast<size_t>(Field->FSlot)];
}

void TDataSet::SetFieldValue(TField* Field, const Value& V) {
  Record* rec = FieldRecord();
  if (FState == dsCalcFields) {
    if (Field->FieldKind() == fkData) Error(kNotEditing);
  } else {
    if (!IsEditMode(FState)) Error(kNotEditing);
    if (Field->ReadOnly()) Error("Field '" + Field->DisplayName() + "' cannot be modified");
    if (Field->FieldKind() == fkCalculated) Error("Field '" + Field->DisplayName() + "' cannot be modified");
  }
  if (!rec || Field->FSlot < 0) Error("Field '" + Field->DisplayName() + "' is not bound to a record");
  if (Field->FieldKind() == fkLookup && FState != dsCalcFields) {
    // Writing a lookup field writes the key fields of the row that shows that result.
    TDataSet* lds = Field->LookupDataSet();
    if (!lds || !lds->Active()) Error("Field '" + Field->DisplayName() + "' cannot be modified");
    std::vector<Value> keys;
    if (!data::IsNullValue(V)) {
      keys = lds->LookupValues(Field->LookupResultField(), {V}, Field->LookupKeyFields());
      if (keys.empty()) Error("Field '" + Field->DisplayName() + "' value not found");
    }
    std::vector<TField*> keyFields = GetFieldList(Field->KeyFields());
    for (size_t i = 0; i < keyFields.size(); ++i)
      keyFields[i]->SetData(i < keys.size() ? keys[i] : Value());
    return;
  }
  Field->CheckValue(V);
  Value& slot = rec->Values[static_cast<size_t>(Field->FSlot)];
  if (Field->OnValidate && !Field->FValidating && FState != dsCalcFields) {
    // The handler sees the new value; when it raises, the old value stays.
    Value old = slot;
    slot = V;
    Field->FValidating = true;
    try {
      Field->OnValidate(Field);
    } catch (...) {
      Field->FValidating = false;
      slot = old;
      throw;
    }
    Field->FValidating = false;
  } else {
    slot = V;
  }
  if (FState == dsCalcFields) return;
  DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
  if (Field->OnChange) Field->OnChange(Field);
}

// ---------------------------------------------------------------- opening

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

void TDataSet::SetActive(bool Value) {
  if (HasState(csLoading)) {
    FStreamedActive = Value;
    return;
  }
  if (Active() == Value) return;
  if (Value) {
    DoEvent(dekBeforeOpen);
    try {
      OpenCursor();
    } catch (...) {
      CloseCursor();
      throw;
    }
    SetState(dsBrowse);
    DoEvent(dekAfterOpen);
    if (!IsEmpty()) DoEvent(dekAfterScroll);
  } else {
    DoEvent(dekBeforeClose);
    // Pending changes are dropped with the rows.
    if (FState == dsInsert) {
      FView.erase(std::remove(FView.begin(), FView.end(), FInsertRec.get()), FView.end());
      FInsertRec.reset();
    }
    FOldValues.clear();
    FEditRec = nullptr;
    SetState(dsInactive);
    CloseCursor();
    DoEvent(dekAfterClose);
  }
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActive(true);
  }
}

void TDataSet::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TField* f : FFields.FList)
    if (f->Owner() == Root) Proc(f);
}

void TDataSet::OpenCursor() {
  ClearRecords();
  FSlotCount = FDataSlots = 0;
  InternalOpen();
  FDataSlots = FFieldDefs.Count();
  FDefaultFields = FFields.Count() == 0;
  if (FDefaultFields) CreateDefaultFields();
  BindFields();
  for (auto& r : FRecords) r->Values.resize(static_cast<size_t>(FSlotCount));
  FFilterExpr.reset();
  if (FFiltered && !FFilter.empty())
    FFilterExpr = std::make_unique<data::FilterExpression>(FFilter, this, FFilterOptions);
  FState = dsOpening;
  RebuildView();
  FState = dsInactive;
  FBufFirst = 0;
  FActiveRecord = 0;
  Resync(0);
  FBof = true;
  FEof = FView.empty();
}

void TDataSet::CloseCursor() {
  InternalClose();
  ClearRecords();
  FFilterExpr.reset();
  FBufFirst = FRecordCount = FActiveRecord = 0;
  FBof = FEof = true;
  if (FDefaultFields) {
    // Default fields belong to the open dataset: they go with it.
    std::vector<TField*> fields = FFields.FList;
    for (TField* f : fields)
      if (f->Owner() == this) delete f;
    FDefaultFields = false;
  }
  for (TField* f : FFields.FList) f->FSlot = -1;
}

void TDataSet::ClearRecords() {
  FInsertRec.reset();
  FView.clear();
  FRecords.clear();
  FById.clear();
}

Record& TDataSet::AddLoadedRecord(std::vector<Value> Values, int64_t RowId) {
  auto rec = std::make_unique<Record>();
  rec->Id = FNextId++;
  if (RowId != 0) {
    auto it = FRefreshIds.find(RowId);
    if (it != FRefreshIds.end()) rec->Id = it->second;
  }
  rec->Values = std::move(Values);
  if (FSlotCount > 0) rec->Values.resize(static_cast<size_t>(FSlotCount));
  rec->RowId = RowId;
  FById[rec->Id] = rec.get();
  rec->Store = static_cast<int>(FRecords.size());
  FRecords.push_back(std::move(rec));
  return *FRecords.back();
}

int64_t TDataSet::RowIdAfter(const Record& Rec) const {
  size_t next = static_cast<size_t>(Rec.Pos + 1);
  return Rec.Pos >= 0 && next < FView.size() ? FView[next]->RowId : 0;
}

// ---------------------------------------------------------------- the buffer window

void TDataSet::Renumber(size_t From) {
  for (size_t i = From; i < FView.size(); ++i) FView[i]->Pos = static_cast<int>(i);
}

void TDataSet::RebuildView() {
  FView.clear();
  bool filtering = FFiltered && (FFilterExpr || OnFilterRecord);
  for (auto& r : FRecords) {
    r->Pos = -1;
    if (!filtering || RecordMatchesFilter(*r)) FView.push_back(r.get());
  }
  Renumber(0);
}

void TDataSet::Resync(int CurPos) {
  int n = static_cast<int>(FView.size());
  if (n == 0) {
    FBufFirst = FRecordCount = FActiveRecord = 0;
    FBof = FEof = true;
    return;
  }
  int cur = std::clamp(CurPos, 0, n - 1);
  int cap = FBufferCount;
  int active = std::min({FActiveRecord, cap - 1, cur});
  int first = cur - active;
  int count = std::min(cap, n - first);
  if (count < cap) {
    first = std::max(0, n - cap);
    count = n - first;
  }
  FBufFirst = first;
  FRecordCount = count;
  FActiveRecord = cur - first;
  CalcBufferFields();
}

void TDataSet::SetBufferCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value == FBufferCount) return;
  int cur = CurrentPos();
  FBufferCount = Value;
  if (Active()) {
    FActiveRecord = std::min(FActiveRecord, Value - 1);
    Resync(cur);
  }
  for (TDataSource* ds : FDataSources)
    for (TDataLink* l : ds->FDataLinks) l->UpdateRange();
}

void TDataSet::UpdateBufferCount() {
  int count = 1;
  for (TDataSource* ds : FDataSources)
    for (TDataLink* l : ds->FDataLinks) count = std::max(count, l->FBufferCount);
  SetBufferCount(count);
}

void TDataSet::CalcBufferFields() {
  if (FSlotCount == FDataSlots && !OnCalcFields) return;
  for (int i = 0; i < FRecordCount; ++i) {
    size_t p = static_cast<size_t>(FBufFirst + i);
    if (p < FView.size()) CalculateFields(*FView[p]);
  }
}

void TDataSet::CalculateFields(Record& Rec) {
  if (FSlotCount == FDataSlots && !OnCalcFields) return;
  TempState temp(FState, FTempRec, dsCalcFields, &Rec);
  for (size_t i = static_cast<size_t>(FDataSlots); i < Rec.Values.size(); ++i) Rec.Values[i] = Value();
  for (TField* f : FFields.FList) {
    if (f->FieldKind() != fkLookup || f->FSlot < 0) continue;
    TDataSet* lds = f->LookupDataSet();
    if (!lds || !lds->Active()) continue;
    std::vector<Value> keys;
    bool anyNull = false;
    for (TField* k : GetFieldList(f->KeyFields())) {
      keys.push_back(k->GetData());
      anyNull = anyNull || data::IsNullValue(keys.back());
    }
    if (anyNull || keys.empty()) continue;
    std::vector<Value> r = lds->LookupValues(f->LookupKeyFields(), keys, f->LookupResultField());
    if (!r.empty()) Rec.Values[static_cast<size_t>(f->FSlot)] = r[0];
  }
  if (OnCalcFields) OnCalcFields(this);
}

bool TDataSet::RecordMatchesFilter(Record& Rec) {
  CalculateFields(Rec);
  TempState temp(FState, FTempRec, dsFilter, &Rec);
  bool accept = true;
  if (FFilterExpr) accept = FFilterExpr->Evaluate();
  if (accept && OnFilterRecord) OnFilterRecord(this, accept);
  return accept;
}

// ---------------------------------------------------------------- navigation

bool TDataSet::IsEmpty() const { return FView.empty(); }

int TDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(FView.size());
}

int TDataSet::RecNo() const {
  if (FState == dsCalcFields || FState == dsFilter) return FTempRec && FTempRec->Pos >= 0 ? FTempRec->Pos + 1 : 0;
  if (FState == dsInactive || FState == dsInsert) return 0;
  Record* r = ActiveRec();
  return r ? r->Pos + 1 : 0;
}

void TDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  if (FView.empty()) return;
  int target = std::clamp(Value, 1, static_cast<int>(FView.size())) - 1;
  if (target == CurrentPos()) return;
  GotoPos(target);
}

void TDataSet::First() {
  CheckBrowseMode();
  DoEvent(dekBeforeScroll);
  FActiveRecord = 0;
  Resync(0);
  FBof = true;
  FEof = FView.empty();
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoEvent(dekBeforeScroll);
  FActiveRecord = FBufferCount - 1;
  Resync(static_cast<int>(FView.size()) - 1);
  FEof = true;
  FBof = FView.empty();
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterScroll);
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int result = 0;
  if (!((Distance > 0 && !FEof) || (Distance < 0 && !FBof))) return 0;
  DoEvent(dekBeforeScroll);
  FBof = FEof = false;
  int n = static_cast<int>(FView.size());
  int shift = 0;  // how far the buffered rows moved inside the window (negative: toward the top)
  if (Distance > 0) {
    int step = std::min(FRecordCount - 1 - FActiveRecord, Distance);
    if (step > 0) {
      FActiveRecord += step;
      result += step;
      Distance -= step;
    }
    while (Distance > 0) {
      if (FBufFirst + FRecordCount >= n) {
        FEof = true;
        break;
      }
      if (FRecordCount < FBufferCount) {
        ++FRecordCount;
        ++FActiveRecord;
      } else {
        ++FBufFirst;
        --shift;
      }
      ++result;
      --Distance;
    }
  } else {
    int step = std::min(FActiveRecord, -Distance);
    if (step > 0) {
      FActiveRecord -= step;
      result -= step;
      Distance += step;
    }
    while (Distance < 0) {
      if (FBufFirst <= 0) {
        FBof = true;
        break;
      }
      --FBufFirst;
      if (FRecordCount < FBufferCount) ++FRecordCount;
      ++shift;
      --result;
      ++Distance;
    }
  }
  if (shift != 0) CalcBufferFields();
  // A shift of the whole window still scrolls (its rows all come in anew); a longer one changes it.
  if (std::abs(shift) > FBufferCount)
    DataEvent(deDataSetChange, 0);
  else
    DataEvent(deDataSetScroll, shift);
  DoEvent(dekAfterScroll);
  return result;
}

void TDataSet::GotoPos(int Pos) {
  DoEvent(dekBeforeScroll);
  FActiveRecord = (FBufferCount - 1) / 2;
  Resync(Pos);
  FBof = FEof = false;
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterScroll);
}

// ---------------------------------------------------------------- editing

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (FState == dsEdit || FState == dsInsert) {
    UpdateRecord();
    if (FModified)
      Post();
    else
      Cancel();
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditMode(FState)) Error(kNotEditing);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  if (!CanModify()) Error(kReadOnly);
  if (FView.empty()) {
    Insert();
    return;
  }
  DoEvent(dekBeforeEdit);
  FEditRec = ActiveRec();
  FOldValues = FEditRec->Values;
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoEvent(dekAfterEdit);
}

void TDataSet::Insert() { BeginInsert(false); }
void TDataSet::Append() { BeginInsert(true); }

void TDataSet::BeginInsert(bool AtEnd) {
  CheckBrowseMode();
  if (!CanModify()) Error(kReadOnly);
  DoEvent(dekBeforeInsert);
  DoEvent(dekBeforeScroll);
  auto rec = std::make_unique<Record>();
  rec->Id = FNextId++;
  rec->Values.resize(static_cast<size_t>(FSlotCount));
  FBeforeInsert = ActiveRec();
  int n = static_cast<int>(FView.size());
  int pos = AtEnd || n == 0 ? n : CurrentPos();
  FView.insert(FView.begin() + pos, rec.get());
  Renumber(static_cast<size_t>(pos));
  FInsertRec = std::move(rec);
  if (AtEnd) FActiveRecord = FBufferCount - 1;
  Resync(pos);
  FBof = FEof = false;
  FState = dsInsert;
  FModified = false;
  DataEvent(deUpdateState, 0);
  if (OnNewRecord) {
    try {
      OnNewRecord(this);
    } catch (...) {
      DropInsertedRecord();
      FState = dsBrowse;
      DataEvent(deUpdateState, 0);
      Resync(CurrentPos());
      DataEvent(deDataSetChange, 0);
      throw;
    }
  }
  FModified = false;
  CalculateFields(*FInsertRec);
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterInsert);
  DoEvent(dekAfterScroll);
}

bool TDataSet::InsertingAtEnd() const {
  return FState == dsInsert && FInsertRec && FInsertRec->Pos == static_cast<int>(FView.size()) - 1;
}

void TDataSet::DropInsertedRecord() {
  if (!FInsertRec) return;
  int pos = FInsertRec->Pos;
  FView.erase(FView.begin() + pos);
  Renumber(static_cast<size_t>(pos));
  FInsertRec.reset();
  int target = FBeforeInsert && FBeforeInsert->Pos >= 0 ? FBeforeInsert->Pos : pos;
  FBeforeInsert = nullptr;
  Resync(target);
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : FFields.FList)
    if (f->FieldKind() == fkData && f->Required() && !f->ReadOnly() && f->IsNull())
      Error("Field '" + f->DisplayName() + "' must have a value");
}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(dekBeforePost);
  CheckRequiredFields();
  // The row being edited, whichever buffered row a control made active meanwhile.
  Record* rec = FState == dsEdit ? FEditRec : FInsertRec.get();
  for (;;) {
    try {
      if (FState == dsEdit)
        InternalPostEdit(*rec, FOldValues);
      else
        InternalPostInsert(*rec);
      break;
    } catch (EDatabaseError& e) {
      TDataAction action = daFail;
      if (OnPostError) OnPostError(this, e, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
  if (FState == dsInsert) {
    // The new row takes its place in row order next to its neighbours in the cursor.
    Record* r = FInsertRec.get();
    size_t at = FRecords.size();
    if (r->Pos + 1 < static_cast<int>(FView.size())) {
      at = static_cast<size_t>(StoreIndex(FView[static_cast<size_t>(r->Pos + 1)]));
    } else if (r->Pos > 0) {
      at = static_cast<size_t>(StoreIndex(FView[static_cast<size_t>(r->Pos - 1)]) + 1);
    }
    FRecords.insert(FRecords.begin() + static_cast<std::ptrdiff_t>(at), std::move(FInsertRec));
    RenumberStore(at);
    FById[r->Id] = r;
    FBeforeInsert = nullptr;
  }
  FOldValues.clear();
  FEditRec = nullptr;
  FState = dsBrowse;
  FModified = false;
  DataEvent(deUpdateState, 0);
  int pos = CurrentPos();
  if (FFiltered && (FFilterExpr || OnFilterRecord) && !RecordMatchesFilter(*rec)) {
    // The row no longer passes the filter: it leaves the cursor.
    int at = rec->Pos;
    FView.erase(FView.begin() + at);
    rec->Pos = -1;
    Renumber(static_cast<size_t>(at));
  }
  Resync(pos);
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterPost);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(dekBeforeCancel);
  if (FState == dsInsert) {
    DropInsertedRecord();
  } else if (FEditRec) {
    FEditRec->Values = FOldValues;
  }
  FOldValues.clear();
  FEditRec = nullptr;
  FState = dsBrowse;
  FModified = false;
  DataEvent(deUpdateState, 0);
  Resync(CurrentPos());
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (FView.empty()) Error("Cannot perform this operation on an empty dataset");
  if (!CanModify()) Error(kReadOnly);
  DataEvent(deCheckBrowseMode, 0);
  DoEvent(dekBeforeDelete);
  DoEvent(dekBeforeScroll);
  Record* rec = ActiveRec();
  for (;;) {
    try {
      InternalDeleteRecord(*rec);
      break;
    } catch (EDatabaseError& e) {
      TDataAction action = daFail;
      if (OnDeleteError) OnDeleteError(this, e, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
  int pos = rec->Pos;
  FView.erase(FView.begin() + pos);
  Renumber(static_cast<size_t>(pos));
  FById.erase(rec->Id);
  // Only the rows after the deleted one move: a deletion costs what it shifts.
  const size_t at = static_cast<size_t>(StoreIndex(rec));
  FRecords.erase(FRecords.begin() + static_cast<std::ptrdiff_t>(at));
  RenumberStore(at);
  FOldValues.clear();
  FEditRec = nullptr;
  if (FState != dsBrowse) {
    FState = dsBrowse;
    FModified = false;
    DataEvent(deUpdateState, 0);
  }
  Resync(pos);
  FBof = FEof = FView.empty();
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterDelete);
  DoEvent(dekAfterScroll);
}

void TDataSet::InternalRefresh() {}

void TDataSet::Refresh() {
  CheckBrowseMode();
  DoEvent(dekBeforeRefresh);
  Record* cur = ActiveRec();
  uint64_t curId = cur ? cur->Id : 0;
  int pos = CurrentPos();
  FRefreshIds.clear();
  for (auto& r : FRecords)
    if (r->RowId != 0) FRefreshIds[r->RowId] = r->Id;
  try {
    InternalRefresh();
  } catch (...) {
    FRefreshIds.clear();
    throw;
  }
  FRefreshIds.clear();
  for (auto& r : FRecords) r->Values.resize(static_cast<size_t>(FSlotCount));
  RebuildView();
  auto it = FById.find(curId);
  if (it != FById.end() && it->second->Pos >= 0) pos = it->second->Pos;
  Resync(pos);
  FBof = FEof = false;
  if (FView.empty()) FBof = FEof = true;
  DataEvent(deDataSetChange, 0);
  DoEvent(dekAfterRefresh);
}

// ---------------------------------------------------------------- bookmarks

namespace {
TBookmark EncodeId(uint64_t Id) {
  TBookmark b(8, '\0');
  for (int i = 0; i < 8; ++i) b[static_cast<size_t>(i)] = static_cast<char>((Id >> (8 * i)) & 0xFF);
  return b;
}
uint64_t DecodeId(const TBookmark& B) {
  if (B.size() != 8) return 0;
  uint64_t id = 0;
  for (int i = 0; i < 8; ++i) id |= static_cast<uint64_t>(static_cast<unsigned char>(B[static_cast<size_t>(i)])) << (8 * i);
  return id;
}
}  // namespace

TBookmark TDataSet::Bookmark() const {
  if (FState == dsInactive || FState == dsInsert) return {};
  Record* r = ActiveRec();
  return r ? EncodeId(r->Id) : TBookmark();
}

Record* TDataSet::RecordOfBookmark(const TBookmark& Value) const {
  auto it = FById.find(DecodeId(Value));
  return it == FById.end() ? nullptr : it->second;
}

bool TDataSet::BookmarkValid(const TBookmark& Value) const {
  if (FState == dsInactive) return false;
  Record* r = RecordOfBookmark(Value);
  return r && r->Pos >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& Value) {
  CheckBrowseMode();
  Record* r = RecordOfBookmark(Value);
  if (!r || r->Pos < 0) Error("Record not found");
  GotoPos(r->Pos);
}

void TDataSet::RenumberStore(size_t From) {
  for (size_t i = From; i < FRecords.size(); ++i) FRecords[i]->Store = static_cast<int>(i);
}

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) const {
  if (Bookmark1.empty() || Bookmark2.empty()) return Bookmark1.empty() ? (Bookmark2.empty() ? 0 : -1) : 1;
  uint64_t a = DecodeId(Bookmark1), b = DecodeId(Bookmark2);
  if (a == b) return 0;
  Record* ra = RecordOfBookmark(Bookmark1);
  Record* rb = RecordOfBookmark(Bookmark2);
  if (ra && rb) return StoreIndex(ra) < StoreIndex(rb) ? -1 : 1;
  return a < b ? -1 : 1;  // a deleted row: creation order is all that is left
}

// ---------------------------------------------------------------- searching

namespace {
bool KeyMatches(const TField* Field, const Value& FieldValue, const Value& Key, TLocateOptions Options) {
  if (data::IsNullValue(Key) || data::IsNullValue(FieldValue))
    return data::IsNullValue(Key) && data::IsNullValue(FieldValue);
  Value k;
  try {
    k = Field->ConvertForStorage(Key);
  } catch (const Exception&) {
    return false;
  }
  if (auto s = std::get_if<std::string>(&FieldValue)) {
    std::string a = *s, b = std::get<std::string>(k);
    if (Options & loCaseInsensitive) {
      a = AnsiLowerCase(a);
      b = AnsiLowerCase(b);
    }
    if (Options & loPartialKey) return a.compare(0, b.size(), b) == 0;
    return a == b;
  }
  if (data::StorageOf(Field->DataType()) == data::Storage::DateTime)
    return std::llround(std::get<double>(FieldValue) * 86400000.0) == std::llround(std::get<double>(k) * 86400000.0);
  return FieldValue == k;
}
}  // namespace

int TDataSet::FindRecord(const std::vector<TField*>& Keys, const std::vector<Value>& Values,
                         TLocateOptions Options) {
  if (Keys.size() != Values.size() || Keys.empty()) Error("Number of values does not match the number of fields");
  bool calc = std::any_of(Keys.begin(), Keys.end(), [](TField* f) { return f->FieldKind() != fkData; });
  for (Record* r : FView) {
    if (calc) CalculateFields(*r);
    bool match = true;
    for (size_t i = 0; i < Keys.size() && match; ++i) {
      int slot = Keys[i]->FSlot;
      const Value& v = r->Values[static_cast<size_t>(slot)];
      match = KeyMatches(Keys[i], v, Values[i], Options);
    }
    if (match) return r->Pos;
  }
  return -1;
}

std::vector<Value> TDataSet::KeyValuesFor(const std::vector<TField*>& Keys, const Variant& Values) const {
  std::vector<Variant> items = Keys.size() == 1 && !VarIsArray(Values) ? std::vector<Variant>{Values}
                                                                        : data::VariantItems(Values);
  if (items.size() != Keys.size()) Error("Number of values does not match the number of fields");
  std::vector<Value> out;
  for (size_t i = 0; i < Keys.size(); ++i) {
    // A key of another kind than its field is kept as text; it matches nothing then.
    bool convertible = true;
    try {
      out.push_back(data::FromVariant(items[i], Keys[i]->DataType()));
    } catch (const Exception&) {
      convertible = false;
    }
    if (!convertible) out.emplace_back(std::in_place_type<std::string>, VarToStr(items[i]));
  }
  return out;
}

bool TDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<TField*> keys = GetFieldList(KeyFields);
  int pos = FindRecord(keys, KeyValuesFor(keys, KeyValues), Options);
  if (pos < 0) return false;
  GotoPos(pos);
  return true;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) {
  std::vector<TField*> results = GetFieldList(ResultFields);
  std::vector<Value> values = LookupValues(KeyFields, KeyValuesFor(GetFieldList(KeyFields), KeyValues), ResultFields);
  if (values.empty()) return Variant::Null();
  if (results.size() == 1) return data::ToVariant(values[0], results[0]->DataType());
  std::vector<Variant> items;
  for (size_t i = 0; i < results.size(); ++i) items.push_back(data::ToVariant(values[i], results[i]->DataType()));
  return VarArrayOf(items);
}

std::vector<Value> TDataSet::LookupValues(const std::string& KeyFields, const std::vector<Value>& KeyValues,
                                          const std::string& ResultFields) {
  CheckBrowseMode();
  std::vector<TField*> results = GetFieldList(ResultFields);
  int pos = FindRecord(GetFieldList(KeyFields), KeyValues, 0);
  if (pos < 0) return {};
  Record& r = *FView[static_cast<size_t>(pos)];
  CalculateFields(r);
  std::vector<Value> out;
  for (TField* f : results) out.push_back(r.Values[static_cast<size_t>(f->FSlot)]);
  if (Record* a = ActiveRec(); a && a != &r) CalculateFields(*a);
  return out;
}

// ---------------------------------------------------------------- filtering

void TDataSet::SetFilter(const std::string& Value) {
  if (Value == FFilter) return;
  std::string old = FFilter;
  FFilter = Value;
  if (FFiltered && Active()) {
    try {
      RefilterRecords();
    } catch (...) {
      FFilter = old;
      throw;
    }
  }
}

void TDataSet::SetFiltered(bool Value) {
  if (Value == FFiltered) return;
  FFiltered = Value;
  if (Active()) {
    try {
      RefilterRecords();
    } catch (...) {
      FFiltered = !Value;
      RefilterRecords();
      throw;
    }
  }
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
  if (Value == FFilterOptions) return;
  FFilterOptions = Value;
  if (FFiltered && Active()) RefilterRecords();
}

void TDataSet::RefilterRecords() {
  CheckBrowseMode();
  std::unique_ptr<data::FilterExpression> expr;
  if (FFiltered && !FFilter.empty()) expr = std::make_unique<data::FilterExpression>(FFilter, this, FFilterOptions);
  FFilterExpr = std::move(expr);
  RebuildView();
  FActiveRecord = 0;
  Resync(0);
  FBof = true;
  FEof = FView.empty();
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------- notices

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = -1;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount > 0) return;
  int owed = FEnableEvent;
  FEnableEvent = -1;
  if (FDisableState != FState) DataEvent(deUpdateState, 0);
  if (FState != dsInactive && owed >= 0) DataEvent(static_cast<TDataEvent>(owed), 0);
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deFieldChange) {
    TField* f = reinterpret_cast<TField*>(Info);
    if (f->FieldKind() == fkData) FModified = true;
    if (FAutoCalcFields && IsEditMode(FState))
      if (Record* r = ActiveRec()) CalculateFields(*r);
  }
  if (ControlsDisabled() && Event != deUpdateRecord && Event != deCheckBrowseMode && Event != deFocusControl) {
    if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange)
      FEnableEvent = deLayoutChange;
    else if (Event != deUpdateState && FEnableEvent != deLayoutChange)
      FEnableEvent = deDataSetChange;
    return;
  }
  std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* ds : sources)
    if (std::find(FDataSources.begin(), FDataSources.end(), ds) != FDataSources.end()) ds->DataEvent(Event, Info);
}
