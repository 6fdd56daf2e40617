#pragma once
// Data sources and data links: how controls follow a dataset. A data source passes the
// dataset's notices to its links; a link offers its control a window of buffered rows.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/data/DataSet.h"

using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  TDataSetState State() const { return FState; }
  // Puts the dataset into edit mode when AutoEdit and it is browsing.
  void Edit();
  bool IsLinkedTo(TDataSet* DataSet) const;

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, intptr_t Info);
  void NotifyLinks(TDataEvent Event, intptr_t Info);
  void UpdateState();

  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks;
};

// A link between a control and a data source: receives every data notice and offers the
// control its window of buffered rows (BufferCount rows, ActiveRecord the current one).
class TDataLink : public TPersistent {
 public:
  TDataLink();
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool DataSourceFixed() const { return FDataSourceFixed; }
  void SetDataSourceFixed(bool V) { FDataSourceFixed = V; }

  // The link's row in its window that is the dataset's active row; setting it makes another
  // buffered row the active one (for painting it).
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // Rows in the link's window (at most BufferCount).
  int RecordCount() const;
  bool Bof() const;
  bool Eof() const;

  // Starts editing through the data source; returns Editing.
  bool Edit();
  // Asks the link to write its control's pending value (UpdateData) now.
  void UpdateRecord();
  virtual int MoveBy(int Distance);
  // Handles a data event (normally called by the data source).
  virtual void DataEvent(TDataEvent Event, intptr_t Info);

 protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { (void)Distance; DataSetChanged(); }
  // Field is the field to focus; clear it to say the request was handled.
  virtual void FocusControl(TField** Field) { (void)Field; }
  virtual void EditingChanged() {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) { (void)Field; }
  virtual void UpdateData() {}
  bool Updating() const { return FUpdating; }

 private:
  friend class TDataSource;
  friend class TDataSet;
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();

  TDataSource* FDataSource = nullptr;
  int FFirstRecord = 0;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
  bool FDataSourceFixed = false;
};

// The link of a data-aware control bound to one field.
class TFieldDataLink : public TDataLink {
 public:
  TField* Field() const { return FField; }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  bool CanModify() const;
  // Starts editing when the field can be modified; returns Editing.
  bool Edit();
  // Notes that the control's text changed and must be written back.
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Discards the control's change: it shows the field's value again.
  void Reset() { RecordChanged(nullptr); }

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;
  // Asked to focus the control when the dataset wants this link's field focused;
  // returns true when the control took the focus.
  std::function<bool()> OnFocusRequest;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  void UpdateField();
  void SetField(TField* Value);

  TField* FField = nullptr;
  std::string FFieldName;
  TComponent* FControl = nullptr;
  bool FModified = false;
};
