#pragma once
// TFcDBLabel: the library's label showing the display text of one field.
#include "controls/base/FcLabel.h"
#include "controls/input/FcDBEdit.h"

class TFcDBLabel : public TFcLabel {
 public:
  explicit TFcDBLabel(TComponent* AOwner);

  TDataSource* DataSource() const { return FBinding.DataSource(); }
  void SetDataSource(TDataSource* Value) { FBinding.SetDataSource(Value); }
  const std::string& DataField() const { return FBinding.DataField(); }
  void SetDataField(const std::string& Value) { FBinding.SetDataField(Value); }
  TField* Field() const { return FBinding.Field(); }

 protected:
  std::string GetLabelText() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  fc::TFieldBinding FBinding{this};
};
