#pragma once
// Datasets: the cursor over rows kept in memory (a client-side static cursor) with its
// record-buffer window, editing, bookmarks, searching and filtering. A dataset class only
// decides where rows come from and how a posted or deleted row is stored.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/data/Fields.h"

class TDataSource;
class TDataLink;

enum TDataSetState {
  dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
  dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};
inline bool IsEditMode(TDataSetState S) { return S == dsEdit || S == dsInsert || S == dsSetKey; }

enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
  deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

enum TFilterOption : unsigned { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = unsigned;
inline const classes::TEnumInfo& EnumInfo(TFilterOption) {
  static const classes::TEnumInfo info{"TFilterOption", {"foCaseInsensitive", "foNoPartialCompare"}};
  return info;
}

enum TDataAction { daFail, daAbort, daRetry };

// A bookmark: the row's identity as bytes; "" is no bookmark.
using TBookmark = std::string;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;

// The dataset's Before and After events, in the order of their TDataSetNotifyEvent members.
enum TDataSetEventKind {
  dekBeforeOpen, dekAfterOpen, dekBeforeClose, dekAfterClose, dekBeforeInsert, dekAfterInsert,
  dekBeforeEdit, dekAfterEdit, dekBeforePost, dekAfterPost, dekBeforeCancel, dekAfterCancel,
  dekBeforeDelete, dekAfterDelete, dekBeforeScroll, dekAfterScroll, dekBeforeRefresh,
  dekAfterRefresh
};
inline constexpr int DataSetEventKindCount = dekAfterRefresh + 1;
// Where a hook runs beside the event's own handler (the OnX member).
enum TDataSetHookPlace { dhpBeforeHandler, dhpAfterHandler };

namespace data {
// One row: a stable identity (the bookmark), one value per field slot, and the storage key.
struct Record {
  uint64_t Id = 0;
  std::vector<Value> Values;
  int64_t RowId = 0;
  int Pos = -1;  // index among the rows the cursor walks; -1 when filtered out
  int Store = -1;  // index among all rows in row order (the store)
};
class FilterExpression;
}  // namespace data

class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // ---- opening ----
  bool Active() const { return FState != dsInactive; }
  // While the dataset is read from a definition, opening waits for Loaded.
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }

  // ---- fields ----
  TFields* Fields() { return &FFields; }
  TFieldDefs* FieldDefs() { return &FFieldDefs; }
  int FieldCount() const { return FFields.Count(); }
  bool DefaultFields() const { return FDefaultFields; }
  TField* FieldByName(const std::string& Name) const { return FFields.FieldByName(Name); }
  TField* FindField(const std::string& Name) const { return FFields.FindField(Name); }
  // Fields named in a ";"-separated list; raises "Field 'X' not found".
  std::vector<TField*> GetFieldList(const std::string& FieldNames) const;
  // Values of the ";"-separated fields of the active record: one field's value, or an array
  // for several. Writing needs edit mode and takes a value or an array of as many values.
  Variant FieldValues(const std::string& FieldNames) const;
  void SetFieldValues(const std::string& FieldNames, const Variant& Values);

  // ---- navigation ----
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves up to Distance rows; returns the distance actually moved.
  virtual int MoveBy(int Distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const;
  // 1-based number of the active row (0 while inserting a row or with no row).
  int RecNo() const;
  void SetRecNo(int Value);
  int RecordCount() const;
  bool IsSequenced() const { return true; }

  // ---- editing ----
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();
  // Asks the data links to write pending control text into the fields.
  void UpdateRecord();
  bool Modified() const { return FModified; }
  // While a row is being inserted: whether it stands after every other row (appended).
  bool InsertingAtEnd() const;
  virtual bool CanModify() const { return !FReadOnly; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V) { FReadOnly = V; }
  // Re-reads the rows and stays on the same row when it still exists.
  void Refresh();
  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool V) { FAutoCalcFields = V; }

  // ---- bookmarks ----
  TBookmark Bookmark() const;
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
  TBookmark GetBookmark() const { return Bookmark(); }
  void GotoBookmark(const TBookmark& Value);
  void FreeBookmark(TBookmark& Value) { Value.clear(); }
  bool BookmarkValid(const TBookmark& Value) const;
  // <0 when Bookmark1's row comes first, 0 for the same row, >0 otherwise; "" sorts first.
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) const;

  // ---- searching ----
  // Moves to the first row whose ";"-separated key fields match KeyValues (a value, or an
  // array for several fields); false, without moving, when none does.
  bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  // The result fields' values (a value, or an array for several) of the first row whose key
  // fields match, without moving; Null when no row matches.
  Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields);

  // ---- filtering ----
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value);
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  void SetFilterOptions(TFilterOptions Value);
  // Reapplies the filter (after OnFilterRecord's conditions changed).
  void RefilterRecords();

  // ---- controls ----
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }
  // Sends a data event to every data source and link (the platform's DataEvent).
  virtual void DataEvent(TDataEvent Event, intptr_t Info);

  // ---- definitions ----
  // The persistent fields Root owns are written inside the dataset's block.
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Loaded() override;

  // ---- events ----
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert,
      BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete,
      AfterDelete, BeforeScroll, AfterScroll, BeforeRefresh, AfterRefresh, OnNewRecord, OnCalcFields;
  TDataSetErrorEvent OnPostError, OnDeleteError, OnEditError;
  TFilterRecordEvent OnFilterRecord;

  // ---- event hooks ----
  // Hooks run beside an event's handler without replacing it, as if each new subscriber had
  // wrapped the handler that was there: hooks placed before the handler run newest first,
  // then the handler, then hooks placed after it oldest first. Removing a hook leaves every
  // other one, and the handler, where it was. AddEventHook returns the hook's key.
  int AddEventHook(TDataSetEventKind Kind, TDataSetHookPlace Place, TDataSetNotifyEvent Hook);
  void RemoveEventHook(int Key);
  int EventHookCount(TDataSetEventKind Kind) const { return static_cast<int>(FHooks[Kind].size()); }

 protected:
  // ---- what a dataset class provides ----
  // Fills FieldDefs() and adds every row with AddLoadedRecord; raise to fail the open.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() {}
  // Stores a posted edit: Values are the new values, OldValues the row as it was read.
  virtual void InternalPostEdit(data::Record& Rec, const std::vector<data::Value>& OldValues) = 0;
  // Stores a new row; may fill in generated values (auto-increment keys) and Rec.RowId.
  virtual void InternalPostInsert(data::Record& Rec) = 0;
  virtual void InternalDeleteRecord(data::Record& Rec) = 0;
  // Re-reads every row (the default re-runs InternalOpen's loading).
  virtual void InternalRefresh();

  // Adds a row read from storage, values in field definition order.
  data::Record& AddLoadedRecord(std::vector<data::Value> Values, int64_t RowId = 0);
  // The rows as stored (in row order).
  const std::vector<std::unique_ptr<data::Record>>& Records() const { return FRecords; }
  void ClearRecords();
  // The storage key of the row after Rec in the cursor (0 when Rec is the last).
  int64_t RowIdAfter(const data::Record& Rec) const;
  // Number of values per row that come from storage (the field definitions at open).
  int DataSlotCount() const { return FDataSlots; }
  [[noreturn]] void Error(const std::string& Message) const { DatabaseError(Message); }
  void CheckActive() const;
  void CheckInactive() const;

 private:
  friend class TField;
  friend class TDataLink;
  friend class TDataSource;

  // opening and fields
  void OpenCursor();
  void CloseCursor();
  void CreateDefaultFields();
  void BindFields();
  void AddField(TField* Field);
  void RemoveField(TField* Field);
  void SetState(TDataSetState Value);

  // the cursor and the buffer window
  data::Record* ActiveRec() const;
  int CurrentPos() const { return FBufFirst + FActiveRecord; }
  void RebuildView();
  void Renumber(size_t From);
  // Refills the window around view position CurPos, keeping the active row's place in it.
  void Resync(int CurPos);
  void GotoPos(int Pos);  // scroll events, move (centred), notify
  void BeginInsert(bool AtEnd);
  void DropInsertedRecord();
  void UpdateBufferCount();
  void SetBufferCount(int Value);
  void CalcBufferFields();
  void CalculateFields(data::Record& Rec);
  bool RecordMatchesFilter(data::Record& Rec);
  int FindRecord(const std::vector<TField*>& Keys, const std::vector<data::Value>& Values,
                 TLocateOptions Options);
  std::vector<data::Value> KeyValuesFor(const std::vector<TField*>& Keys, const Variant& Values) const;
  // The result fields' stored values of the first matching row (empty when none).
  std::vector<data::Value> LookupValues(const std::string& KeyFields, const std::vector<data::Value>& KeyValues,
                                        const std::string& ResultFields);
  data::Record* RecordOfBookmark(const TBookmark& Value) const;
  int StoreIndex(const data::Record* Rec) const { return Rec->Store; }
  // Numbers the store's rows from From on (after rows were inserted or removed there).
  void RenumberStore(size_t From);
  void CheckRequiredFields();
  // Runs the event's hooks and handler in their order.
  void DoEvent(TDataSetEventKind Kind);

  // field access
  data::Value FieldValue(const TField* Field) const;
  void SetFieldValue(TField* Field, const data::Value& Value);
  data::Record* FieldRecord() const;

  struct TEventHook {
    int Key;
    TDataSetHookPlace Place;
    TDataSetNotifyEvent Hook;
  };
  std::array<std::vector<TEventHook>, DataSetEventKindCount> FHooks;
  int FNextHookKey = 1;

  TDataSetState FState = dsInactive;
  bool FStreamedActive = false;  // Active as a definition gave it, applied by Loaded
  TFields FFields;
  TFieldDefs FFieldDefs;
  bool FDefaultFields = false;
  int FDataSlots = 0;
  int FSlotCount = 0;

  std::vector<std::unique_ptr<data::Record>> FRecords;
  std::vector<data::Record*> FView;
  std::unordered_map<uint64_t, data::Record*> FById;
  uint64_t FNextId = 1;
  std::unordered_map<int64_t, uint64_t> FRefreshIds;  // storage key -> identity, during Refresh

  // buffer window: FRecordCount rows from view position FBufFirst, FActiveRecord of them active
  int FBufferCount = 1;
  int FBufFirst = 0;
  int FRecordCount = 0;
  int FActiveRecord = 0;
  bool FBof = true;
  bool FEof = true;

  // editing
  bool FModified = false;
  data::Record* FEditRec = nullptr;           // the row being edited
  std::vector<data::Value> FOldValues;       // the row before Edit
  std::unique_ptr<data::Record> FInsertRec;   // the row being inserted (also in FView)
  data::Record* FBeforeInsert = nullptr;      // the row that was current before Insert
  bool FReadOnly = false;
  bool FAutoCalcFields = true;

  // temporary record for calculated fields and filtering
  data::Record* FTempRec = nullptr;
  int FTempPos = -1;

  // filtering
  std::string FFilter;
  bool FFiltered = false;
  TFilterOptions FFilterOptions = 0;
  std::unique_ptr<data::FilterExpression> FFilterExpr;

  // data sources and controls
  std::vector<TDataSource*> FDataSources;
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  int FEnableEvent = -1;  // the notice owed when controls are enabled again (-1: none)
};
