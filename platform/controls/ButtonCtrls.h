#pragma once
// Button controls: push buttons, check boxes, radio buttons and group boxes, drawn in the
// classic look (raised 3-D faces, sunken white check and radio boxes, etched group frames).
//
// TButtonControl behaves as the platform's button window does: a left press takes the focus
// and the capture and shows the button pushed while the pointer stays inside; releasing inside
// (or releasing Space after pressing it) sends BN_CLICKED to the parent as WM_COMMAND, which the
// parent reflects back as CN_COMMAND, where the control reacts (TButton: Click; TCheckBox:
// Toggle; TRadioButton: Checked). BM_GETCHECK / BM_SETCHECK / BM_GETSTATE / BM_SETSTATE / BM_CLICK
// work on the window. While ClicksDisabled is set, BN_CLICKED does nothing.
//
// TButton: Default (Enter clicks it unless another button has the focus), Cancel (Esc clicks
// it), ModalResult (copied into the parent form's ModalResult on every click, which ends a
// modal form), and the accelerator "&x" of its caption (Alt+X, or X alone when the focused
// control takes no characters). The default (or focused) button has a dark frame.
#include <string>

#include "platform/classes/Alignment.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

// Button window messages and notifications.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_DOUBLECLICKED = 5;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;
constexpr LRESULT BST_PUSHED = 4;
constexpr LRESULT BST_FOCUS = 8;

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const classes::TEnumInfo& EnumInfo(TCheckBoxState);
using TLeftRight = TAlignment;  // taLeftJustify or taRightJustify

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* AOwner);
  ~TButtonControl() override;

  bool Checked() const { return GetChecked(); }
  void SetChecked(bool Value) { DoSetChecked(Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // The button is shown pushed (the mouse held inside it, Space held, or BM_SETSTATE).
  bool Pushed() const { return FPushed; }

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

 protected:
  virtual bool GetChecked() const { return false; }
  virtual void DoSetChecked(bool) {}
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The answer to WM_GETDLGCODE (DLGC_BUTTON unless overridden).
  virtual LRESULT DialogCode();
  // BN_CLICKED reached the control (through CN_COMMAND).
  virtual void CNCommand(TMessage& Message);
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void WMPaint(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  // Draws Text in R as a button caption: "&" underlines the next character, grey and embossed
  // when the control is disabled. Format: DT_* flags (DT_CALCRECT measures into R).
  void DrawCaption(TCanvas* ACanvas, TRect& R, const std::string& Text, UINT Format);
  // Paints a check box (DFCS_BUTTONCHECK) or radio (DFCS_BUTTONRADIO) glyph and the caption:
  // the 13-pixel box at the left (taRightJustify) or right edge, the caption vertically
  // centred beside it with a focus rectangle around it while focused.
  void PaintCheckControl(UINT Kind, UINT GlyphState, TLeftRight Alignment);

 private:
  void SetPushed(bool Value);
  void NotifyClicked();

  std::unique_ptr<TControlCanvas> FCanvas;
  bool FWordWrap = false;
  bool FClicksDisabled = false;
  bool FPushed = false;
  bool FTracking = false;   // a left press inside is being followed
  bool FSpaceDown = false;  // Space went down on the button
  WPARAM FCheckState = BST_UNCHECKED;  // what BM_SETCHECK told the window
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Enter clicks this button now: it has the focus, or it is Default and no other button has.
  bool Active() const { return FActive; }

  // The parent form's ModalResult becomes the button's, then OnClick.
  void Click() override;

 protected:
  LRESULT DialogCode() override;
  void CNCommand(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void Paint() override;
  // The inside of the face (caption area), drawn after the frame; the rectangle is already
  // moved down-right by one pixel while pushed. Buttons with pictures override it.
  virtual void PaintContent(TRect Content);

 private:
  void SetActive(bool Value);

  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
 public:
  explicit TCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return FState; }
  // A new state repaints and fires OnClick (unless clicks are disabled).
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  // taRightJustify: the caption right of the box; taLeftJustify: left of it.
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight Value);

 protected:
  bool GetChecked() const override { return FState == cbChecked; }
  void DoSetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  // The user's toggle: unchecked → grayed (AllowGrayed) or checked, checked → unchecked,
  // grayed → checked.
  virtual void Toggle();
  void CNCommand(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void Paint() override;

 private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TLeftRight FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
 public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button unchecks the other radio buttons of the same parent. Checked radio
// buttons are tab stops, the others not; arrow keys move the focus (and the check) among them.
class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* AOwner);

  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight Value);

 protected:
  bool GetChecked() const override { return FChecked; }
  void DoSetChecked(bool Value) override;
  LRESULT DialogCode() override;
  void CNCommand(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void Paint() override;

 private:
  bool FChecked = false;
  TLeftRight FAlignment = taRightJustify;
};

// A frame around a group of controls with its caption in the top edge.
class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  // Inside the frame, below the caption.
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void Paint() override;
  void CMDialogChar(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};
