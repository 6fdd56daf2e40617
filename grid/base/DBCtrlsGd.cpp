#include "grid/base/DBCtrlsGd.h"

#include "platform/controls/Controls.h"
#include "platform/data/Fields.h"

void TFieldDataLinkGd::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  TDataLink::SetDataSource(Value);
  UpdateDataIndependent();
}

void TFieldDataLinkGd::SetFieldName(const std::string& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  UpdateFields();
  UpdateDataIndependent();
}

void TFieldDataLinkGd::UpdateDataIndependent() {
  const bool independent = !DataSource() && FFieldName.empty();
  if (independent == FDataIndependent) return;
  FDataIndependent = independent;
  FUnboundValue = Variant::Null();
  UpdateFields();
  if (FDataIndependent) RecordChanged(nullptr);
}

bool TFieldDataLinkGd::Active() const { return FDataIndependent || (TDataLink::Active() && Field()); }

bool TFieldDataLinkGd::CanModify() const {
  if (TField* field = Field()) return field->CanModify();
  return FDataIndependent;
}

bool TFieldDataLinkGd::Edit() {
  if (FDataIndependent) {
    if (!FEditing && !ReadOnly()) {
      FEditing = true;
      FModified = false;
      if (OnEditingChange) OnEditingChange(this);
    }
  } else if (CanModify()) {
    TDataLink::Edit();
  }
  return FEditing;
}

void TFieldDataLinkGd::SetEditingState(bool Value) {
  if (Value == FEditing) return;
  FEditing = Value;
  FModified = false;
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLinkGd::UpdateFields() {
  std::vector<TField*> fields;
  if (TDataLink::Active() && !FFieldName.empty()) fields.push_back(DataSet()->FieldByName(FFieldName));
  FFields = std::move(fields);
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLinkGd::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deDisabledStateChange) {
    if (Info) UpdateFields();
    else FFields.clear();
    return;
  }
  TDataLink::DataEvent(Event, Info);
}

void TFieldDataLinkGd::ActiveChanged() {
  UpdateFields();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLinkGd::EditingChanged() {
  if (FDataIndependent) return;
  SetEditingState(TDataLink::Editing() && CanModify());
}

void TFieldDataLinkGd::LayoutChanged() { UpdateFields(); }

void TFieldDataLinkGd::RecordChanged(TField* Field) {
  if (Field && Field != this->Field()) return;
  if (OnDataChange) OnDataChange(this);
  FModified = false;
}

void TFieldDataLinkGd::SetText(const std::string& Text) {
  if (FDataIndependent) {
    FUnboundValue = Variant(Text);
    RecordChanged(nullptr);
  } else if (TField* field = Field()) {
    if (field->DataType() == ftMemo) field->SetAsString(Text);
    else field->SetEditText(Text);
  }
}

void TFieldDataLinkGd::SetValue(const Variant& Value) {
  if (FDataIndependent) {
    FUnboundValue = Value;
    RecordChanged(nullptr);
  } else if (TField* field = Field()) {
    field->SetValue(Value);
  }
}

void TFieldDataLinkGd::UpdateData() {
  if (FDataIndependent) {
    if (FModified && OnUpdateData) OnUpdateData(this);
    FEditing = false;
  } else if (FModified && Field() && OnUpdateData) {
    OnUpdateData(this);
  }
  FModified = false;
}

void TFieldDataLinkGd::FocusControl(TField** Field) {
  if (!Field || !*Field || *Field != this->Field()) return;
  auto* control = dynamic_cast<TWinControl*>(FControl);
  if (control && control->CanFocus()) {
    *Field = nullptr;
    control->SetFocus();
  }
}
