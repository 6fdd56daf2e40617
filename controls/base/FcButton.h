#pragma once
// The library's owner-painted buttons: TFcCustomButton (the shared part: hot tracking and a
// styled caption), the push button TFcButton (default, cancel, modal result, groups) and
// TFcBitBtn with a glyph. They keep what window definitions set and draw a plain classic
// face; a click (mouse, Space or Enter) fires OnClick and sets the form's modal result.
#include <memory>

#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Bitmap.h"

namespace fc {
// The glyph's place beside the caption, and the stock kinds of a glyph button.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
const classes::TEnumInfo& EnumInfo(TButtonLayout);
const classes::TEnumInfo& EnumInfo(TBitBtnKind);
}  // namespace fc

class TFcCustomButton : public TCustomControl {
 public:
  explicit TFcCustomButton(TComponent* AOwner);

  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  void SetAlignmentVertical(TAlignmentVertical Value) { Store(FAlignmentVertical, Value); }
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { Store(FHotTrack, Value); }
  TColor HighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor Value) { Store(FHighlightColor, Value); }
  TColor HotTrackColor() const { return FHotTrackColor; }
  void SetHotTrackColor(TColor Value) { Store(FHotTrackColor, Value); }
  TFcHotTrackColorType HotTrackColorType() const { return FHotTrackColorType; }
  void SetHotTrackColorType(TFcHotTrackColorType Value) { Store(FHotTrackColorType, Value); }
  TTextStyle TextStyle() const { return FTextStyle; }
  void SetTextStyle(TTextStyle Value) { Store(FTextStyle, Value); }
  bool ThemeAware() const { return FThemeAware; }
  void SetThemeAware(bool Value) { Store(FThemeAware, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { Store(FTransparent, Value); }
  // True while the pointer is over the button.
  bool MouseInControl() const { return FMouseIn; }
  // True while the left button is held down on the button.
  bool Pressed() const { return FPressed; }

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  TAlignmentVertical FAlignmentVertical = avCenter;
  bool FHotTrack = false;
  TColor FHighlightColor = clHighlight;
  TColor FHotTrackColor = 0x149BF0;
  TFcHotTrackColorType FHotTrackColorType = htctActual;
  TTextStyle FTextStyle = tsNormal;
  bool FThemeAware = true;
  bool FTransparent = false;
  bool FMouseIn = false;
  bool FPressed = false;
};

class TFcButton : public TFcCustomButton {
 public:
  explicit TFcButton(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Buttons of one GroupIndex (not 0) stay down in turn: a click puts this one down and the
  // others of its group up; AllowAllUp lets a click put the down one up again.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) { Store(FShowFocusRect, Value); }

  void Click() override;

 protected:
  void Paint() override;
  // Draws what lies on the face (the glyph button adds its glyph).
  virtual void PaintContent(TRect R);
  void CMDialogKey(TMessage& Message) override;

 private:
  TAlignment FAlignment = taCenter;
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  TColor FFrameColor = cl3DDkShadow;
  bool FShowFocusRect = true;
};

class TFcBitBtn : public TFcButton {
 public:
  explicit TFcBitBtn(TComponent* AOwner);
  ~TFcBitBtn() override;

  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value) { Store(FNumGlyphs, Value); }
  fc::TBitBtnKind Kind() const { return FKind; }
  void SetKind(fc::TBitBtnKind Value);
  fc::TButtonLayout Layout() const { return FLayout; }
  void SetLayout(fc::TButtonLayout Value) { Store(FLayout, Value); }
  int Margin() const { return FMargin; }
  void SetMargin(int Value) { Store(FMargin, Value); }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) { Store(FSpacing, Value); }

 protected:
  void PaintContent(TRect R) override;

 private:
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  fc::TBitBtnKind FKind = fc::bkCustom;
  fc::TButtonLayout FLayout = fc::blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
};
