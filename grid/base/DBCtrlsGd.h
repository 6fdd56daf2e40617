#pragma once
// The grid library's data-aware editing: TFieldDataLinkGd follows one field of a data source
// for its control, or, with neither a data source nor a field name, holds the control's value
// itself (data-independent), so the same control works bound and unbound.
#include <string>
#include <vector>

#include "platform/data/DataLink.h"
#include "platform/rtl/Variant.h"

class TFieldDataLinkGd : public TDataLink {
 public:
  explicit TFieldDataLinkGd(TComponent* Control = nullptr) : FControl(Control) {}

  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  void SetDataSource(TDataSource* Value);
  // The bound field (none while inactive or without a field name).
  TField* Field() const { return FFields.empty() ? nullptr : FFields.front(); }
  const std::vector<TField*>& Fields() const { return FFields; }

  bool DataIndependent() const { return FDataIndependent; }
  // The value held while data-independent; Null whenever that state changes.
  const Variant& UnboundValue() const { return FUnboundValue; }

  bool Active() const;
  bool CanModify() const;
  // Starts editing (the dataset's edit state when bound); answers whether the link is editing.
  bool Edit();
  bool Editing() const { return FEditing; }
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Shows the stored value again, dropping the control's change.
  void Reset() { RecordChanged(nullptr); }
  // Writes the control's value: into the unbound value, or into the field.
  void SetText(const std::string& Text);
  void SetValue(const Variant& Value);
  // Writes a pending change of the control now (bound: as the dataset's record update does).
  void UpdateData() override;

  void DataEvent(TDataEvent Event, intptr_t Info) override;

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;

 private:
  void UpdateFields();
  void UpdateDataIndependent();
  void SetEditingState(bool Value);
  TComponent* FControl;
  std::string FFieldName;
  std::vector<TField*> FFields;
  bool FDataIndependent = true;
  Variant FUnboundValue = Variant::Null();
  bool FEditing = false;
  bool FModified = false;
};
