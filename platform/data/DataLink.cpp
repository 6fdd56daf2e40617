#include "platform/data/DataLink.h"

#include <algorithm>

// ---------------------------------------------------------------- TDataSource

static const classes::TPublished<TDataSource, TComponent> DataSourceInfo([](auto& p) {
  p.Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
  p.Component("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  p.Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
  p.Event("OnDataChange", &TDataSource::OnDataChange);
  p.Event("OnStateChange", &TDataSource::OnStateChange);
  p.Event("OnUpdateData", &TDataSource::OnUpdateData);
});

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    auto& l = FDataSet->FDataSources;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    FDataSet->RemoveFreeNotification(this);
    TDataSet* old = FDataSet;
    FDataSet = nullptr;
    old->UpdateBufferCount();
    // The links leave the old dataset before they join the new one, also when both are open.
    if (Value) UpdateState();
  }
  FDataSet = Value;
  if (Value) {
    Value->FDataSources.push_back(this);
    Value->FreeNotification(this);
    Value->UpdateBufferCount();
  }
  UpdateState();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const { return DataSet && FDataSet == DataSet; }

void TDataSource::UpdateState() {
  TDataSetState s = FEnabled && FDataSet ? FDataSet->State() : dsInactive;
  // Calculating and filtering are passing states of one row; links do not see them.
  if (s == dsCalcFields || s == dsFilter || s == dsOpening) return;
  if (s == FState) return;
  FState = s;
  NotifyLinks(deUpdateState, 0);
  if (OnStateChange) OnStateChange(this);
}

void TDataSource::NotifyLinks(TDataEvent Event, intptr_t Info) {
  // Single-row links first, as the platform does, then the multi-row ones (grids).
  std::vector<TDataLink*> links = FDataLinks;
  auto alive = [&](TDataLink* l) { return std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end(); };
  for (TDataLink* l : links)
    if (alive(l) && l->FBufferCount == 1) l->DataEvent(Event, Info);
  for (TDataLink* l : links)
    if (alive(l) && l->FBufferCount > 1) l->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (FState == dsInactive) return;
  NotifyLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
      if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deRecordChange: case deDataSetChange: case deDataSetScroll: case deLayoutChange:
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  if (FDataSource) {
    auto& l = FDataSource->FDataLinks;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    if (TDataSet* ds = FDataSource->DataSet()) ds->UpdateBufferCount();
    FDataSource = nullptr;
  }
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSourceFixed) DatabaseError("Operation not allowed in a DBCtrlGrid");
  if (FDataSource) {
    auto& l = FDataSource->FDataLinks;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    if (TDataSet* ds = FDataSource->DataSet()) ds->UpdateBufferCount();
  }
  FDataSource = Value;
  if (Value) {
    Value->FDataLinks.push_back(this);
    if (TDataSet* ds = Value->DataSet()) ds->UpdateBufferCount();
  }
  UpdateState();
}

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  SetActive(FDataSource && FDataSource->State() != dsInactive);
  SetEditing(FDataSource && IsEditMode(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value)
    UpdateRange();
  else
    FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::UpdateRange() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  int lo = std::max(0, ds->FActiveRecord - FBufferCount + 1);
  int hi = std::max(0, ds->FBufferCount - FBufferCount);
  hi = std::min(hi, ds->FActiveRecord);
  if (FFirstRecord < lo) FFirstRecord = lo;
  if (FFirstRecord > hi) FFirstRecord = hi;
}

int TDataLink::ActiveRecord() const {
  TDataSet* ds = DataSet();
  if (!ds || !FActive || ds->State() == dsSetKey) return 0;
  return ds->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  TDataSet* ds = DataSet();
  if (!ds || !FActive || ds->State() == dsSetKey) return;
  ds->FActiveRecord = Value + FFirstRecord;
}

void TDataLink::SetBufferCount(int Value) {
  if (Value < 1) Value = 1;
  if (FBufferCount == Value) return;
  FBufferCount = Value;
  TDataSet* ds = DataSet();
  if (FActive) UpdateRange();
  if (ds) ds->UpdateBufferCount();
  if (FActive) UpdateRange();
}

int TDataLink::RecordCount() const {
  TDataSet* ds = DataSet();
  if (!ds || !FActive) return 0;
  if (ds->State() == dsSetKey) return 1;
  return std::clamp(ds->FRecordCount - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Bof() const { return DataSet() ? DataSet()->Bof() : true; }
bool TDataLink::Eof() const { return DataSet() ? DataSet()->Eof() : true; }

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

int TDataLink::MoveBy(int Distance) { return DataSet() ? DataSet()->MoveBy(Distance) : 0; }

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange: case deRecordChange:
      if (!FUpdating) RecordChanged(Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
      break;
    case deDataSetChange: case deDataSetScroll: case deLayoutChange: {
      int count = 0;
      TDataSet* ds = DataSet();
      if (ds->State() != dsSetKey) {
        int active = ds->FActiveRecord;
        int first = FFirstRecord + static_cast<int>(Info);
        int last = first + FBufferCount - 1;
        if (active > last)
          count = active - last;
        else if (active < first)
          count = active - first;
        FFirstRecord = first + count;
      }
      if (Event == deDataSetChange)
        DataSetChanged();
      else if (Event == deDataSetScroll)
        DataSetScrolled(count);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl: {
      TField* f = reinterpret_cast<TField*>(Info);
      FocusControl(&f);
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const std::string& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  UpdateField();
}

void TFieldDataLink::SetField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField() {
  if (Active() && !FFieldName.empty()) {
    SetField(nullptr);
    SetField(DataSet()->FieldByName(FFieldName));
  } else {
    SetField(nullptr);
  }
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return Editing();
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::FocusControl(TField** Field) {
  if (*Field && *Field == FField && OnFocusRequest && OnFocusRequest()) *Field = nullptr;
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* Field) {
  if (!Field || Field == FField) {
    if (OnDataChange) OnDataChange(this);
    FModified = false;
  }
}

void TFieldDataLink::UpdateData() {
  if (FModified) {
    if (FField && OnUpdateData) OnUpdateData(this);
    FModified = false;
  }
}
