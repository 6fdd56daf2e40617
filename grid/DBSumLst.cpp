// The aggregates, their collection and the producer that keeps them over a dataset.
#include "grid/DBSumLst.h"

#include <algorithm>

#include "grid/base/GdPlatform.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TGroupOperation) {
  static const classes::TEnumInfo info{"TGroupOperation", {"goSum", "goAvg", "goCount"}};
  return info;
}

// ---- one aggregate ----

TDBSum::TDBSum(TCollection* Collection) : TCollectionItem(Collection) {}

void TDBSum::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TDBSum*>(Source);
  if (!other) return TCollectionItem::Assign(Source);
  FGroupOperation = other->FGroupOperation;
  FFieldName = other->FFieldName;
  FOldValue = other->FOldValue;
  FSumValue = other->FSumValue;
  Changed(false);
}

bool TDBSum::CanAggregate(TField* Field) {
  return dynamic_cast<TNumericField*>(Field) || dynamic_cast<TDateTimeField*>(Field);
}

void TDBSum::SetFieldName(const std::string& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  Changed(false);
}

void TDBSum::SetGroupOperation(TGroupOperation Value) {
  if (Value == FGroupOperation) return;
  FGroupOperation = Value;
  Changed(false);
}

// ---- the collection ----

TDBSumCollection::TDBSumCollection(TDBSumListProducer* Owner)
    : TCollection(TCollectionItemClass::Of<TDBSum>()), FOwner(Owner) {}

TDBSumCollection::~TDBSumCollection() {
  FOwner = nullptr;
  Clear();
}

TPersistent* TDBSumCollection::GetOwner() const { return FOwner; }

TDBSum* TDBSumCollection::FindSum(TGroupOperation Operation, const std::string& FieldName) const {
  for (int i = 0; i < Count(); ++i) {
    TDBSum* sum = Items(i);
    if (sum->GroupOperation() == Operation && AnsiCompareText(sum->FieldName(), FieldName) == 0) return sum;
  }
  return nullptr;
}

void TDBSumCollection::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TCollection::Notify(Item, Action);
  if (Action == cnExtracting) FRemoved = true;
}

void TDBSumCollection::Update(TCollectionItem*) {
  const bool removed = FRemoved;
  FRemoved = false;
  if (!FOwner || removed) return;
  TComponent* owner = FOwner->Owner();
  if (owner && (owner->HasState(csLoading) || owner->HasState(csDestroying))) return;
  FOwner->RecalcAllSums();
}

// ---- the producer ----

TDBSumListProducer::TDBSumListProducer(TComponent* Owner)
    : FOwner(Owner), FSumCollection(std::make_unique<TDBSumCollection>(this)) {}

TDBSumListProducer::~TDBSumListProducer() {
  FActive = false;
  UnhookDataSetEvents();
  FSumCollection.reset();
}

void TDBSumListProducer::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TDBSumListProducer*>(Source);
  if (!other) return TPersistent::Assign(Source);
  SetActive(other->Active());
  SetDataSet(other->DataSet());
  SetExternalRecalc(other->ExternalRecalc());
  SetSumCollection(other->SumCollection());
  SumListChanged = other->SumListChanged;
  SetVirtualRecords(other->VirtualRecords());
  OnAfterRecalcAll = other->OnAfterRecalcAll;
  OnRecalcAll = other->OnRecalcAll;
}

bool TDBSumListProducer::MayWork() const {
  return !OwnerIs(csLoading) && (FDesignTimeWork || !OwnerIs(csDesigning));
}

void TDBSumListProducer::SetActive(bool Value) {
  if (Value) StartSums();
  else StopSums();
}

void TDBSumListProducer::StartSums() {
  FActive = true;
  if (!MayWork()) return;
  HookDataSetEvents();
  RecalcAllSums();
}

void TDBSumListProducer::StopSums() {
  FActive = false;
  if (!MayWork()) return;
  UnhookDataSetEvents();
  ClearSums();
}

void TDBSumListProducer::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) {
    if (Value && Value->HasState(csDestroying)) {
      UnhookDataSetEvents();
      FDataSet = nullptr;
    }
    return;
  }
  if (!MayWork()) {
    FDataSet = Value;
    return;
  }
  const bool wasActive = FActive;
  StopSums();
  FDataSet = Value;
  if (wasActive) StartSums();
}

void TDBSumListProducer::DataSetDestroyed() {
  FHookKeys.clear();
  FMasterHookKeys.clear();
  FHookedDataSet = nullptr;
  FMasterDataSet = nullptr;
  FDataSet = nullptr;
  FHooked = false;
  FVirtualRecordList.clear();
}

void TDBSumListProducer::SetExternalRecalc(bool Value) {
  if (Value == FExternalRecalc) return;
  FExternalRecalc = Value;
  RecalcAllSums();
}

void TDBSumListProducer::SetVirtualRecords(bool Value) {
  if (Value == FVirtualRecords) return;
  FVirtualRecords = Value;
  if (Value) RecalcAllSums();
}

void TDBSumListProducer::Loaded() {
  if (FDataSet && FActive) StartSums();
}

// ---- hooking ----

void TDBSumListProducer::HookDataSetEvents() {
  if (!FDataSet || FHooked) return;
  FMasterDataSet = DataSetFromSourceProp(FDataSet, "MasterSource");
  FHookedDataSet = FDataSet;
  auto hook = [this](TDataSetEventKind Kind, TDataSetHookPlace Place, void (TDBSumListProducer::*Work)(TDataSet*)) {
    FHookKeys.push_back(FDataSet->AddEventHook(Kind, Place, [this, Work](TDataSet* D) { (this->*Work)(D); }));
  };
  // Own work first, the dataset's handler after it ...
  hook(dekAfterEdit, dhpBeforeHandler, &TDBSumListProducer::AfterEditHook);
  hook(dekAfterInsert, dhpBeforeHandler, &TDBSumListProducer::AfterInsertHook);
  hook(dekAfterOpen, dhpBeforeHandler, &TDBSumListProducer::AfterOpenHook);
  hook(dekAfterPost, dhpBeforeHandler, &TDBSumListProducer::AfterPostHook);
  hook(dekAfterClose, dhpBeforeHandler, &TDBSumListProducer::AfterCloseHook);
  // ... or the handler first.
  hook(dekAfterScroll, dhpAfterHandler, &TDBSumListProducer::AfterScrollHook);
  hook(dekBeforeDelete, dhpAfterHandler, &TDBSumListProducer::BeforeDeleteHook);
  hook(dekAfterCancel, dhpAfterHandler, &TDBSumListProducer::AfterCancelHook);
  if (FMasterDataSet)
    FMasterHookKeys.push_back(FMasterDataSet->AddEventHook(
        dekAfterScroll, dhpAfterHandler, [this](TDataSet* D) { MasterAfterScrollHook(D); }));
  FHooked = true;
}

void TDBSumListProducer::RemoveHooks() {
  if (FHookedDataSet)
    for (int key : FHookKeys) FHookedDataSet->RemoveEventHook(key);
  if (FMasterDataSet)
    for (int key : FMasterHookKeys) FMasterDataSet->RemoveEventHook(key);
  FHookKeys.clear();
  FMasterHookKeys.clear();
  FHookedDataSet = nullptr;
  FMasterDataSet = nullptr;
}

void TDBSumListProducer::UnhookDataSetEvents() {
  RemoveHooks();
  FHooked = false;
  FVirtualRecordList.clear();
}

// ---- values ----

Currency TDBSumListProducer::FieldValue(TDBSum* Sum, bool& IsNull) const {
  TField* field = FDataSet->FindField(Sum->FieldName());
  IsNull = !field || field->IsNull();
  return IsNull ? Currency{} : Currency::FromDouble(field->AsFloat());
}

bool TDBSumListProducer::Counts(TDBSum* Sum) const {
  if (Sum->FieldName().empty()) return true;
  TField* field = FDataSet->FindField(Sum->FieldName());
  return field && !field->IsNull();
}

bool TDBSumListProducer::TakesPart(TDBSum* Sum) const {
  if (!Sum->TakesPart()) return false;
  if (Sum->GroupOperation() == goCount && Sum->FieldName().empty()) return true;
  TField* field = FDataSet->FindField(Sum->FieldName());
  return field && (Sum->GroupOperation() == goCount || TDBSum::CanAggregate(field));
}

bool TDBSumListProducer::UsesVirtualList() const { return FVirtualRecords && FDataSet && !FDataSet->IsSequenced(); }

void TDBSumListProducer::ClearSums() {
  for (int i = 0; i < FSumCollection->Count(); ++i) {
    TDBSum* sum = FSumCollection->Items(i);
    sum->FSumValue = {};
    sum->FOldValue = {};
    sum->FOldNull = true;
    sum->FAvgTotal = {};
    sum->FAvgCount = 0;
  }
  Fire(SumListChanged);
}

void TDBSumListProducer::RecalcAllSums() {
  if (!MayWork() || !FActive || !FDataSet || !FDataSet->Active() || !FHooked) return;
  struct TEnd {
    TDBSumListProducer& Producer;
    ~TEnd() {
      Producer.FChanging = false;
      Producer.Fire(Producer.SumListChanged);
    }
  } end{*this};
  ClearSums();
  FLastVirtualPos = -1;
  Fire(OnRecalcAll);
  if (!FExternalRecalc) {
    bool anyTakesPart = false;
    for (int i = 0; i < FSumCollection->Count(); ++i) anyTakesPart = anyTakesPart || TakesPart(FSumCollection->Items(i));
    if (anyTakesPart || UsesVirtualList()) {
      FDataSet->DisableControls();
      struct TEnable {
        TDataSet* DataSet;
        ~TEnable() { DataSet->EnableControls(); }
      } enable{FDataSet};
      FVirtualRecordList.clear();
      FChanging = true;
      FDataSet->First();
      while (!FDataSet->Eof()) {
        for (int i = 0; i < FSumCollection->Count(); ++i) {
          TDBSum* sum = FSumCollection->Items(i);
          if (!TakesPart(sum)) continue;
          bool isNull = false;
          if (sum->FGroupOperation == goCount) {
            if (Counts(sum)) sum->FSumValue += Currency::FromInt64(1);
            continue;
          }
          const Currency value = FieldValue(sum, isNull);
          if (sum->FGroupOperation == goSum) {
            sum->FSumValue += value;
          } else {
            sum->FAvgTotal += value;
            if (!isNull) ++sum->FAvgCount;
          }
        }
        if (UsesVirtualList()) FVirtualRecordList.push_back(FDataSet->Bookmark());
        FDataSet->Next();
      }
      FDataSet->First();
      for (int i = 0; i < FSumCollection->Count(); ++i) {
        TDBSum* sum = FSumCollection->Items(i);
        if (sum->FGroupOperation == goAvg)
          sum->FSumValue = sum->FAvgCount == 0 ? Currency{} : sum->FAvgTotal / sum->FAvgCount;
      }
    }
    Fire(OnAfterRecalcAll);
  }
  FFiltered = FDataSet->Filtered();
  FFilter = FDataSet->Filter();
}

// ---- the hooks ----

void TDBSumListProducer::AfterEditHook(TDataSet*) {
  if (!FActive) return;
  for (int i = 0; i < FSumCollection->Count(); ++i) {
    TDBSum* sum = FSumCollection->Items(i);
    if (!TakesPart(sum)) continue;
    if (sum->FGroupOperation == goCount) {
      sum->FOldValue = Currency::FromInt64(Counts(sum) ? 1 : 0);
    } else {
      sum->FOldValue = FieldValue(sum, sum->FOldNull);
    }
  }
}

void TDBSumListProducer::AfterInsertHook(TDataSet*) {
  if (!FActive) return;
  for (int i = 0; i < FSumCollection->Count(); ++i) {
    TDBSum* sum = FSumCollection->Items(i);
    if (!TakesPart(sum)) continue;
    sum->FOldNull = true;
    if (sum->FGroupOperation == goCount && !sum->FFieldName.empty())
      sum->FOldValue = Currency::FromInt64(Counts(sum) ? 1 : 0);
    else
      sum->FOldValue = {};
  }
  if (UsesVirtualList()) {
    const TBookmark bookmark = FDataSet->Bookmark();
    if (bookmark.empty()) FInsertPending = true;
    else FVirtualRecordList.push_back(bookmark);
  }
}

void TDBSumListProducer::AfterOpenHook(TDataSet*) {
  if (FActive) RecalcAllSums();
}

void TDBSumListProducer::AfterPostHook(TDataSet*) {
  if (!FActive) return;
  for (int i = 0; i < FSumCollection->Count(); ++i) {
    TDBSum* sum = FSumCollection->Items(i);
    if (!TakesPart(sum)) continue;
    if (sum->FGroupOperation == goCount) {
      if (Counts(sum))
        sum->FSumValue = sum->FSumValue - sum->FOldValue + Currency::FromInt64(1);
      else
        sum->FSumValue -= sum->FOldValue;
      continue;
    }
    bool isNull = false;
    const Currency value = FieldValue(sum, isNull);
    if (sum->FGroupOperation == goSum) {
      sum->FSumValue = sum->FSumValue - sum->FOldValue + value;
    } else {
      sum->FAvgTotal = sum->FAvgTotal - sum->FOldValue + value;
      if (isNull && !sum->FOldNull) --sum->FAvgCount;
      if (!isNull && sum->FOldNull) ++sum->FAvgCount;
      sum->FSumValue = sum->FAvgCount == 0 ? Currency{} : sum->FAvgTotal / sum->FAvgCount;
    }
  }
  if (UsesVirtualList() && FInsertPending) {
    const TBookmark current = FDataSet->Bookmark();
    int pos = FLastVirtualPos < 0 || FLastVirtualPos >= VirtualRecordListCount() ? 0 : FLastVirtualPos;
    while (pos < VirtualRecordListCount() && CompareDataSetBookmarks(FDataSet, current, FVirtualRecordList[pos]) > 0)
      ++pos;
    while (pos > 0 && CompareDataSetBookmarks(FDataSet, current, FVirtualRecordList[pos - 1]) < 0) --pos;
    FVirtualRecordList.insert(FVirtualRecordList.begin() + pos, current);
    FInsertPending = false;
  }
  Fire(SumListChanged);
}

void TDBSumListProducer::AfterScrollHook(TDataSet*) {
  if (!FActive || FChanging) return;
  if ((FDataSet->Filtered() && FDataSet->Filter() != FFilter) || FDataSet->Filtered() != FFiltered) RecalcAllSums();
}

void TDBSumListProducer::BeforeDeleteHook(TDataSet*) {
  if (!FActive) return;
  for (int i = 0; i < FSumCollection->Count(); ++i) {
    TDBSum* sum = FSumCollection->Items(i);
    if (!TakesPart(sum)) continue;
    if (sum->FGroupOperation == goCount) {
      if (Counts(sum)) sum->FSumValue -= Currency::FromInt64(1);
      continue;
    }
    bool isNull = false;
    const Currency value = FieldValue(sum, isNull);
    if (sum->FGroupOperation == goSum) {
      sum->FSumValue -= value;
    } else {
      sum->FAvgTotal -= value;
      if (!isNull) --sum->FAvgCount;
      sum->FSumValue = sum->FAvgCount == 0 ? Currency{} : sum->FAvgTotal / sum->FAvgCount;
    }
  }
  if (UsesVirtualList()) {
    const int pos = FindVirtualRecord(FDataSet->Bookmark());
    if (pos >= 0) FVirtualRecordList.erase(FVirtualRecordList.begin() + pos);
  }
  Fire(SumListChanged);
}

void TDBSumListProducer::AfterCloseHook(TDataSet*) {
  FVirtualRecordList.clear();
  if (!FActive) return;
  ClearSums();
  FChanging = false;
}

void TDBSumListProducer::AfterCancelHook(TDataSet*) {
  if (FActive) FInsertPending = false;
}

void TDBSumListProducer::MasterAfterScrollHook(TDataSet*) {
  if (FActive && !FChanging) RecalcAllSums();
}

// ---- record numbers ----

int TDBSumListProducer::VirtualRecNo() {
  if (!FDataSet) return 0;
  if (UsesVirtualList() && FActive) return FindVirtualRecord(FDataSet->Bookmark()) + 1;
  return FDataSet->RecNo();
}

int TDBSumListProducer::FindVirtualRecord(const TBookmark& Bookmark) {
  const int count = VirtualRecordListCount();
  if (count == 0 || Bookmark.empty()) return -1;
  int pos = FLastVirtualPos < 0 || FLastVirtualPos >= count ? 0 : FLastVirtualPos;
  const int first = CompareDataSetBookmarks(FDataSet, FVirtualRecordList[pos], Bookmark);
  const int step = first > 0 ? -1 : 1;
  for (; pos >= 0 && pos < count; pos += step) {
    const int c = CompareDataSetBookmarks(FDataSet, FVirtualRecordList[pos], Bookmark);
    if (c == 0) {
      FLastVirtualPos = pos;
      return pos;
    }
    // Walked past the place where it would stand: it is not listed.
    if ((step > 0 && c > 0) || (step < 0 && c < 0)) break;
  }
  return -1;
}

void TDBSumListProducer::SetVirtualRecNo(int Value) {
  if (!FDataSet) return;
  if (UsesVirtualList() && FActive) {
    if (Value >= 1 && Value <= VirtualRecordListCount()) FDataSet->GotoBookmark(FVirtualRecordList[Value - 1]);
    return;
  }
  FDataSet->SetRecNo(Value);
}

int TDBSumListProducer::VirtualRecordCount() const {
  if (!FDataSet) return 0;
  if (UsesVirtualList() && FActive) return VirtualRecordListCount();
  return FDataSet->RecordCount();
}

bool TDBSumListProducer::IsSequencedOrVirtual() const {
  if (!FDataSet) return false;
  return FDataSet->IsSequenced() || (FVirtualRecords && FActive && !FVirtualRecordList.empty()) ||
         (FDataSet->Bof() && FDataSet->Eof());
}
