#pragma once
// TFcDBButtonEdit: the data-aware edit with the edit button at its right edge; the button's
// click fires OnButtonClick, whose handler fills the field.
#include "controls/input/FcBtnEdt.h"
#include "controls/input/FcDBEdit.h"

class TFcDBButtonEdit : public TFcEditButtonPart<TFcDBEdit> {
 public:
  explicit TFcDBButtonEdit(TComponent* AOwner) : TFcEditButtonPart<TFcDBEdit>(AOwner) {}
};
