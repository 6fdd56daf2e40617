#include "controls/input/FcDBLbl.h"

TFcDBLabel::TFcDBLabel(TComponent* AOwner) : TFcLabel(AOwner) {
  auto changed = [this](TObject*) {
    AdjustBounds();
    Invalidate();
  };
  FBinding.Link().OnDataChange = changed;
  FBinding.Link().OnActiveChange = changed;
}

std::string TFcDBLabel::GetLabelText() {
  // Without a field (at design time, say) the label shows its own caption.
  TField* field = Field();
  if (field) return field->DisplayText();
  return DataSource() ? std::string() : Caption();
}

void TFcDBLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TFcLabel::Notification(AComponent, Operation);
  FBinding.Notification(AComponent, Operation);
}

static const classes::TPublished<TFcDBLabel, TFcLabel> FcDBLabelInfo([](auto& p) { fc::PublishFieldBinding(p); });
