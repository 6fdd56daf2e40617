#pragma once
// The button edit: a framed edit with a small button inside its right edge whose click fires
// OnButtonClick. TFcEditButtonPart gives the button to an edit class (the plain edit here, the
// data-aware edit in FcDBBnEd); TFcCustomButtonEdit and the published TFcButtonEdit stand on
// the plain edit. The button is drawn as a classic face with its glyph or an ellipsis.
#include <memory>

#include "controls/input/FcEdit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/os/Input.h"

namespace fc {
enum class TButtonKind { bkCustom, bkLookup, bkDropDown, bkCalendar, bkAccept, bkReject, bkFolder, bkFind, bkSearch };
const classes::TEnumInfo& EnumInfo(TButtonKind);
// Paints an edit button of Kind (its glyph when it has one) in R.
void PaintEditButton(TCanvas* Canvas, TRect R, TBitmap* Glyph, int NumGlyphs, bool Flat, TColor FlatColor,
                     bool Enabled);
}  // namespace fc

template <class Base>
class TFcEditButtonPart : public Base {
 public:
  explicit TFcEditButtonPart(TComponent* AOwner) : Base(AOwner), FButtonGlyph(std::make_unique<TBitmap>()) {
    FButtonGlyph->OnChange = [this](TObject*) { this->Invalidate(); };
  }

  // Without key editing the text changes only through the program (the button's handler).
  bool AllowKeyEdit() const { return FAllowKeyEdit; }
  void SetAllowKeyEdit(bool Value) { FAllowKeyEdit = Value; }
  fc::TButtonKind ButtonKind() const { return FButtonKind; }
  void SetButtonKind(fc::TButtonKind Value) { Base::Store(FButtonKind, Value); }
  const std::string& ButtonHint() const { return FButtonHint; }
  void SetButtonHint(const std::string& Value) { FButtonHint = Value; }
  bool ButtonVisible() const { return FButtonVisible; }
  void SetButtonVisible(bool Value) { Base::Store(FButtonVisible, Value); }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value) { Base::Store(FButtonWidth, Value); }
  TBitmap* ButtonGlyph() const { return FButtonGlyph.get(); }
  void SetButtonGlyph(TBitmap* Value) { FButtonGlyph->Assign(Value); }
  int ButtonNumGlyphs() const { return FButtonNumGlyphs; }
  void SetButtonNumGlyphs(int Value) { Base::Store(FButtonNumGlyphs, Value); }
  bool HideButtonsOnReadOnly() const { return FHideButtonsOnReadOnly; }
  void SetHideButtonsOnReadOnly(bool Value) { Base::Store(FHideButtonsOnReadOnly, Value); }
  bool CanEditByKeys() const override { return FAllowKeyEdit && Base::CanEditByKeys(); }

  // What a click on the button does: OnButtonClick.
  virtual void ButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
  }

  TNotifyEvent OnButtonClick;

 protected:
  bool ShowsButton() const { return FButtonVisible && !(FHideButtonsOnReadOnly && this->ReadOnly()); }
  int ButtonAreaWidth() override { return ShowsButton() ? FButtonWidth : 0; }
  void PaintButtons(TRect R) override {
    fc::PaintEditButton(this->Canvas(), R, FButtonGlyph.get(), FButtonNumGlyphs, this->FlatButtons(),
                        this->FlatButtonColor(), this->Enabled());
  }
  void ButtonAreaMouseDown(int, int) override { ButtonClick(); }
  // Ctrl+Enter clicks the button, as its shortcut.
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Base::KeyDown(Key, Shift);
    if (Key == VK_RETURN && Shift.Contains(ssCtrl) && ShowsButton()) {
      Key = 0;
      ButtonClick();
    }
  }

 private:
  bool FAllowKeyEdit = true;
  fc::TButtonKind FButtonKind = fc::TButtonKind::bkCustom;
  std::string FButtonHint;
  bool FButtonVisible = true;
  int FButtonWidth = 17;
  std::unique_ptr<TBitmap> FButtonGlyph;
  int FButtonNumGlyphs = 1;
  bool FHideButtonsOnReadOnly = false;
};

namespace fc {
// Publishes the button settings of an edit with a TFcEditButtonPart.
template <class T>
void PublishEditButton(classes::TPublisher<T>& p) {
  p.Bool("AllowKeyEdit", &T::AllowKeyEdit, &T::SetAllowKeyEdit).Default(true);
  p.Enum("ButtonKind", &T::ButtonKind, &T::SetButtonKind).Default(TButtonKind::bkCustom);
  p.String("ButtonHint", &T::ButtonHint, &T::SetButtonHint);
  p.Bool("ButtonVisible", &T::ButtonVisible, &T::SetButtonVisible).Default(true);
  p.Int("ButtonWidth", &T::ButtonWidth, &T::SetButtonWidth).Default(17);
  p.Object("ButtonGlyph", &T::ButtonGlyph, &T::SetButtonGlyph);
  p.Int("ButtonNumGlyphs", &T::ButtonNumGlyphs, &T::SetButtonNumGlyphs).Default(1);
  p.Bool("HideButtonsOnReadOnly", &T::HideButtonsOnReadOnly, &T::SetHideButtonsOnReadOnly).Default(false);
  p.Event("OnButtonClick", &T::OnButtonClick);
}
}  // namespace fc

class TFcCustomButtonEdit : public TFcEditButtonPart<TFcEdit> {
 public:
  explicit TFcCustomButtonEdit(TComponent* AOwner) : TFcEditButtonPart<TFcEdit>(AOwner) {}
};

class TFcButtonEdit : public TFcCustomButtonEdit {
 public:
  explicit TFcButtonEdit(TComponent* AOwner) : TFcCustomButtonEdit(AOwner) {}
};
