#pragma once
// Glyph buttons: TFcCustomGlyphButton, a button showing a small state glyph beside its caption
// (from a custom strip of cells, an image list, the library's flat glyph or the platform's
// classic drawing), painted double-buffered, sized to its caption and glyph; on it the check
// box TFcCustomCheckBox with the states unchecked, checked and grayed, and the published
// TFcCheckBox. A click, Space or the caption's accelerator changes the state once (unless
// ReadOnly); every change of State, also from code, fires OnClick once.
#include <memory>

#include "controls/base/FcButton.h"
#include "controls/base/FcCommon.h"
#include "controls/base/FcPanel.h"
#include "platform/controls/ButtonCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"

namespace fc {
using ::TCheckBoxState;
using ::cbUnchecked;
using ::cbChecked;
using ::cbGrayed;
}  // namespace fc

class TFcCustomGlyphButton : public TFcCustomButton, public IFrameControllerClient {
 public:
  explicit TFcCustomGlyphButton(TComponent* AOwner);
  ~TFcCustomGlyphButton() override;

  bool QueryInterface(const TGUID& IID, void** Obj) override;
  // Takes the colours and hot tracking of a visible frame controller (switching HotTrack on).
  void ApplyFrameController() override;
  void Loaded() override;
  void SetAutoSize(bool Value) override;

  // taRightJustify: the caption right of the glyph; taLeftJustify: left of it.
  TLeftRight Alignment() const { return FAlignment; }
  virtual void SetAlignment(TLeftRight Value);
  virtual bool Checked() const { return false; }
  virtual void SetChecked(bool) {}

  // A strip of cells of equal width (owned; assigned by copy).
  TBitmap* CustomGlyphs() const { return FCustomGlyphs.get(); }
  virtual void SetCustomGlyphs(TBitmap* Value);
  TCustomImageList* CustomGlyphImages() const { return FCustomGlyphImages; }
  virtual void SetCustomGlyphImages(TCustomImageList* Value);
  // Set by itself when an image list with images or a non-empty strip is assigned.
  bool UseCustomGlyphs() const { return FUseCustomGlyphs; }
  virtual void SetUseCustomGlyphs(bool Value);
  TColor FillColor() const { return FFillColor; }
  virtual void SetFillColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor Value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor Value);
  // The user cannot change the value; code still can.
  bool ReadOnly() const { return FReadOnly; }
  virtual void SetReadOnly(bool Value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  virtual void SetReadOnlyColor(TColor Value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool Value);
  // The colour of a glyph's pixels that show the background.
  TColor TransparentColor() const { return FTransparentColor; }
  virtual void SetTransparentColor(TColor Value);
  // The colour of a custom glyph's pixels that show clWindow.
  TColor WinMaskColor() const { return FWinMaskColor; }
  virtual void SetWinMaskColor(TColor Value);
  // Enter moves the focus on as Tab does.
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool Value) { FTabOnEnter = Value; }
  TFcButtonHotTrackStyle HotTrackStyle() const { return FHotTrackStyle; }
  void SetHotTrackStyle(TFcButtonHotTrackStyle Value);
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameControllerNotifications = Value;
  }

  int GlyphWidth() const { return FGlyphWidth; }
  int GlyphHeight() const { return FGlyphHeight; }
  // Where the glyph is drawn (also what a hot-track change repaints).
  TRect GlyphRect();
  // The glyph stands right of the caption.
  bool GlyphOnRight() const;
  // Drawn pressed: the left button is held inside the control, or Space is held.
  using TFcCustomButton::ShownDown;

 protected:
  // Draws the glyph of the current state into Bitmap (sized here to the glyph).
  virtual void PrepareGlyph(TBitmap* Bitmap) = 0;
  // A transparent classic glyph's last touch (nothing here).
  virtual void AdjustTransparentGlyph(TBitmap*) {}
  // Draws the glyph at GlyphRect onto Canvas, its transparent pixels showing what lies below.
  virtual void DrawGlyph(TCanvas* Canvas);
  // Target becomes cell Index (Width x Height) of Strip.
  virtual void CopyGlyphCell(int Index, TBitmap* Target, int Height, int Width, TBitmap* Strip);
  // Shows the current state at once.
  void RepaintState() override { Repaint(); }
  // With Transparent, the parent's picture under the control.
  void EraseButtonBackground(HDC DC) override;
  // Raised while the mouse button that went down on the control is held.
  bool UsingMouse() const { return FUsingMouse; }
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
  void SetGlyphCells(int Value) { FGlyphCells = Value; }

  void Paint() override;
  void AdjustSize() override;
  void CreateWnd() override;
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

 private:
  // Decides UseCustomGlyphs from the image list and the strip.
  void CustomGlyphsChanged();
  void StoreColor(TColor& Field, TColor Value);
  // Repaints the glyph (without erasing) when the mouse over it changes its look.
  void InvalidateHotTrack();
  TRect CaptionRect();
  void DrawCaption(TCanvas* Canvas, TRect R, UINT Flags);

  TLeftRight FAlignment = taRightJustify;
  std::unique_ptr<TBitmap> FCustomGlyphs;
  TCustomImageList* FCustomGlyphImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  bool FUseCustomGlyphs = false;
  TColor FFillColor = clWindow;
  TColor FFocusColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FDisabledColor = clBtnFace;
  bool FReadOnly = false;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  TColor FTransparentColor = clOlive;
  TColor FWinMaskColor = clLime;
  bool FTabOnEnter = false;
  TFcButtonHotTrackStyle FHotTrackStyle = htsInterior;
  fc::TFrameControllerLink FFrameController;
  TFcFrameControllerNotifications FFrameControllerNotifications = AllFrameControllerNotifications;

  int FGlyphCells = 2;
  int FGlyphWidth = 13;
  int FGlyphHeight = 13;
  // The background under glyph and caption, kept between paints until something changes it.
  std::unique_ptr<TBitmap> FBackground;
  bool FUpdateBackground = true;
  bool FBackgroundTransparent = false;
  bool FUsingMouse = false;
  bool FClicksDisabled = false;
};

class TFcCustomCheckBox : public TFcCustomGlyphButton {
 public:
  explicit TFcCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return FState; }
  // Stores, repaints and clicks (unless clicks are disabled) when the state changes.
  virtual void SetState(TCheckBoxState Value);
  bool Checked() const override { return FState == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  // A user's change of an unchecked box goes to grayed first.
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }

 protected:
  // unchecked -> grayed (AllowGrayed) or checked; checked -> unchecked; grayed -> checked.
  // Nothing when the mouse asks it of a read-only box.
  void ChangeState() override;
  // Shows Value without a click (a state that comes from elsewhere, such as a field).
  void ShowState(TCheckBoxState Value);
  void PrepareGlyph(TBitmap* Bitmap) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  bool FKeyToggle = false;
};

class TFcCheckBox : public TFcCustomCheckBox {
 public:
  explicit TFcCheckBox(TComponent* AOwner) : TFcCustomCheckBox(AOwner) {}
};
