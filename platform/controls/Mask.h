#pragma once
// TCustomMaskEdit / TMaskEdit: an edit whose text follows an edit mask (MaskUtils.h). With a
// mask the window shows EditText (literals, typed characters and blanks in the empty
// positions) and typing overwrites position by position, stepping over literals; Text is the
// value the mask keeps (with or without the literals). Without a mask it is a plain edit.
#include <string>

#include "platform/controls/MaskUtils.h"
#include "platform/controls/StdCtrls.h"

class TCustomMaskEdit : public TCustomEdit {
 public:
  explicit TCustomMaskEdit(TComponent* AOwner);
  ~TCustomMaskEdit() override;

  const std::string& EditMask() const { return FModel.EditMask(); }
  // A new mask keeps the value; MaxLength becomes the mask's length (back to its own value
  // without a mask).
  void SetEditMask(const std::string& Value);
  bool IsMasked() const { return FModel.IsMasked(); }
  // The text as the window shows it.
  std::string EditText();
  void SetEditText(const std::string& Value);
  void SetMaxLength(int Value) override;
  // Raises the mask error (ValidateError) when the text was changed and a required position
  // is empty; the caret goes to that position first.
  virtual void ValidateEdit();
  // The model behind a masked text.
  const TMaskEditModel& MaskModel() const { return FModel; }

  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

 protected:
  std::string GetText() override;
  // Asked before the user changes a masked text; false refuses the change.
  virtual bool EditCanModify() { return true; }
  // Esc: the text as it was when the edit was entered.
  virtual void Reset();
  // MessageBeep, then EDBEditError with SMaskEditErr.
  virtual void ValidateError();
  // Moves an empty selection onto an input position.
  void CheckCursor();
  void Dispatch(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 private:
  // Shows the model's edit text in the window (one change) with the caret at Caret.
  void ApplyModel(int Caret);
  bool CanChange();
  void TypeText(const std::string& Text);
  void DeleteKey(bool Backward);
  void SetCaret(int Pos);
  void Selection(int& Start, int& Length);

  TMaskEditModel FModel;
  std::string FOldValue;
  int FOwnMaxLength = 0;
  bool FRaw = false;
};

class TMaskEdit : public TCustomMaskEdit {
 public:
  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};
