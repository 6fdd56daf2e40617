#pragma once
// Aggregates over a dataset kept up to date while it is edited: a TDBSumListProducer hooks the
// dataset's events and keeps every TDBSum of its collection (a sum, an average or a count)
// incrementally as records are edited, inserted, posted and deleted, and walks the dataset
// again when it opens or its filter changes. Values are money (four decimals), as the
// aggregates are read by footers.
//
// The producer subscribes beside the dataset's own handlers (TDataSet::AddEventHook), so the
// application's AfterPost and the others keep running, in the order a wrapping subscriber
// would give them, and unsubscribing takes away this producer's hooks only.
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/data/DataSet.h"
#include "platform/rtl/Currency.h"

class TDBSumListProducer;

enum TGroupOperation { goSum, goAvg, goCount };
const classes::TEnumInfo& EnumInfo(TGroupOperation);

class TDBSum : public TCollectionItem {
 public:
  explicit TDBSum(TCollection* Collection);
  // Copies the operation, the field name, the record's remembered contribution and the value.
  void Assign(TPersistent* Source) override;
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  TGroupOperation GroupOperation() const { return FGroupOperation; }
  void SetGroupOperation(TGroupOperation Value);
  Currency SumValue() const { return FSumValue; }
  // For a producer with ExternalRecalc: the application fills the values itself.
  void SetSumValue(Currency Value) { FSumValue = Value; }
  // Whether the aggregate takes part: a count, or an operation over a named field.
  bool TakesPart() const { return FGroupOperation == goCount || !FFieldName.empty(); }
  // Whether Field can be summed or averaged (numbers and date-times).
  static bool CanAggregate(TField* Field);

 private:
  friend class TDBSumListProducer;
  std::string FFieldName;
  TGroupOperation FGroupOperation = goSum;
  Currency FSumValue;
  Currency FOldValue;          // the record's contribution before the edit
  bool FOldNull = true;        // whether the field was Null before the edit
  Currency FAvgTotal;          // the running total of an average
  int FAvgCount = 0;           // its count of non-Null values
};

class TDBSumCollection : public TCollection {
 public:
  explicit TDBSumCollection(TDBSumListProducer* Owner);
  ~TDBSumCollection() override;
  TDBSum* Items(int Index) const { return static_cast<TDBSum*>(TCollection::Items(Index)); }
  TDBSum* Add() { return static_cast<TDBSum*>(TCollection::Add()); }
  // The first aggregate of Operation over FieldName (compared without case), or nil.
  TDBSum* FindSum(TGroupOperation Operation, const std::string& FieldName) const;
  TPersistent* GetOwner() const override;

 protected:
  // Any change recalculates, unless the producer's owner is loading or going away; an
  // aggregate taken away leaves the others as they are.
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TDBSumListProducer* FOwner;
  bool FRemoved = false;
};

class TDBSumListProducer : public TPersistent {
 public:
  // Owner is the component the producer belongs to (its loading and design state count).
  explicit TDBSumListProducer(TComponent* Owner);
  ~TDBSumListProducer() override;
  TDBSumListProducer(const TDBSumListProducer&) = delete;
  TDBSumListProducer& operator=(const TDBSumListProducer&) = delete;
  // Copies Active, DataSet, ExternalRecalc, the aggregates, SumListChanged, VirtualRecords,
  // OnAfterRecalcAll and OnRecalcAll, in this order.
  void Assign(TPersistent* Source) override;

  TComponent* Owner() const { return FOwner; }
  bool Active() const { return FActive; }
  // On: hooks the dataset and recalculates; off: unhooks and clears the values.
  void SetActive(bool Value);
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  // The dataset is going away: its hooks went with it, the producer only forgets it.
  void DataSetDestroyed();
  bool ExternalRecalc() const { return FExternalRecalc; }
  void SetExternalRecalc(bool Value);
  bool VirtualRecords() const { return FVirtualRecords; }
  void SetVirtualRecords(bool Value);
  bool DesignTimeWork() const { return FDesignTimeWork; }
  void SetDesignTimeWork(bool Value) { FDesignTimeWork = Value; }
  TDBSumCollection* SumCollection() const { return FSumCollection.get(); }
  void SetSumCollection(TDBSumCollection* Value) { FSumCollection->Assign(Value); }
  bool Hooked() const { return FHooked; }
  // Whether a recalculation is walking the dataset.
  bool Changing() const { return FChanging; }
  // The owner's Loaded passes it on: an active producer with a dataset starts.
  void Loaded();

  // ---- record numbers for datasets without them ----
  virtual int VirtualRecNo();
  // The position of Bookmark in the virtual record list, or -1.
  virtual int FindVirtualRecord(const TBookmark& Bookmark);
  virtual void SetVirtualRecNo(int Value);
  virtual bool IsSequencedOrVirtual() const;
  virtual int VirtualRecordCount() const;
  int VirtualRecordListCount() const { return static_cast<int>(FVirtualRecordList.size()); }

  virtual void ClearSums();
  virtual void RecalcAllSums();

  TNotifyEvent OnRecalcAll;
  TNotifyEvent OnAfterRecalcAll;
  TNotifyEvent SumListChanged;

 protected:
  virtual void HookDataSetEvents();
  virtual void UnhookDataSetEvents();
  void SetHooked(bool Value) { FHooked = Value; }
  // What the hooks do (the dataset's own handlers run around them, see the header).
  virtual void AfterCancelHook(TDataSet* DataSet);
  virtual void AfterCloseHook(TDataSet* DataSet);
  virtual void AfterEditHook(TDataSet* DataSet);
  virtual void AfterInsertHook(TDataSet* DataSet);
  virtual void AfterOpenHook(TDataSet* DataSet);
  virtual void AfterPostHook(TDataSet* DataSet);
  virtual void AfterScrollHook(TDataSet* DataSet);
  virtual void BeforeDeleteHook(TDataSet* DataSet);
  virtual void MasterAfterScrollHook(TDataSet* DataSet);
  // Whether the owner's state lets the producer work now.
  bool MayWork() const;

 private:
  void StartSums();
  void StopSums();
  void Fire(const TNotifyEvent& Event) {
    if (Event) Event(this);
  }
  bool OwnerIs(TComponentStateFlag Flag) const { return FOwner && FOwner->HasState(Flag); }
  bool UsesVirtualList() const;
  // The field value of an aggregate as money, with whether it is Null (a field the dataset
  // lacks counts as Null: such an aggregate stays at zero instead of failing every post).
  Currency FieldValue(TDBSum* Sum, bool& IsNull) const;
  // Whether the aggregate is kept over this dataset, and whether a count counts the record.
  bool TakesPart(TDBSum* Sum) const;
  bool Counts(TDBSum* Sum) const;
  void RemoveHooks();

  TComponent* FOwner;
  TDataSet* FDataSet = nullptr;
  TDataSet* FMasterDataSet = nullptr;
  bool FActive = true;
  bool FExternalRecalc = false;
  bool FVirtualRecords = false;
  bool FDesignTimeWork = false;
  bool FHooked = false;
  bool FChanging = false;
  bool FInsertPending = false;
  bool FFiltered = false;
  std::string FFilter;
  std::unique_ptr<TDBSumCollection> FSumCollection;
  std::vector<TBookmark> FVirtualRecordList;
  int FLastVirtualPos = -1;
  // The hooks this producer put on its dataset and on the master dataset.
  std::vector<int> FHookKeys;
  std::vector<int> FMasterHookKeys;
  TDataSet* FHookedDataSet = nullptr;
};
