#pragma once
// Buttons with pictures: TBitBtn, a push button with a glyph beside its caption and the
// standard kinds of dialog buttons (OK, Cancel, Yes, No... with their captions, glyphs and
// modal results); and TSpeedButton, a window-less button of a tool bar (it never takes the
// focus) that shows a glyph and a caption, can stay down in a group of buttons (GroupIndex,
// Down, AllowAllUp) and looks flat until the mouse is over it (Flat).
//
// A glyph is a bitmap strip of NumGlyphs cells of equal width: the picture when up, when
// disabled, when pressed and when down in its group. Missing cells fall back to the first;
// a missing disabled cell is made from the first as an embossed silhouette. The glyph's
// bottom-left pixel is its transparent colour.
#include <memory>
#include <string>

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Bitmap.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
const classes::TEnumInfo& EnumInfo(TBitBtnKind);
using TNumGlyphs = int;
const classes::TEnumInfo& EnumInfo(TButtonLayout);

// What a kind of dialog button brings: its caption, modal result, Default and Cancel.
struct TBitBtnKindInfo {
  const char* Caption;
  TModalResult Result;
  bool Default;
  bool Cancel;
};
const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind Kind);
// The picture of a kind: two 18 x 18 cells side by side, enabled and disabled, on clOlive
// (the transparent colour). Empty for bkCustom.
std::unique_ptr<TBitmap> BitBtnKindGlyph(TBitBtnKind Kind);

namespace controls {

// The glyph and caption drawing shared by the picture buttons.
class TButtonGlyph {
 public:
  TButtonGlyph();
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  // 1 to 4; other values are taken as 1.
  void SetNumGlyphs(TNumGlyphs Value);
  // The size of one cell (0 × 0 without a glyph).
  TSize CellSize() const;
  // Places the glyph and the caption in Client as Layout, Margin (-1: centred together) and
  // Spacing (-1: spread evenly) say, draws them for State moved by Offset, and answers the
  // caption's rectangle.
  TRect Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption, TButtonLayout Layout,
             int Margin, int Spacing, TButtonState State, UINT BiDiFlags);
  // Where the glyph and the caption go (without drawing).
  void CalcLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                  TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                  UINT BiDiFlags);
  void DrawGlyph(TCanvas* Canvas, TPoint Pos, TButtonState State);
  // The caption, embossed when disabled.
  static void DrawCaption(TCanvas* Canvas, const std::string& Caption, TRect TextBounds, TButtonState State,
                          UINT BiDiFlags);

  // Raised when the glyph or the number of cells changes.
  TNotifyEvent OnChange;

 private:
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
};

}  // namespace controls

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  // Buttons of a parent with the same nonzero index form a group: at most one is down.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  // Only buttons of a group stay down; a down button of a group without AllowAllUp is raised
  // only by pressing another.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* Value) { FGlyph.SetGlyph(Value); }
  TNumGlyphs NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value) { FGlyph.SetNumGlyphs(Value); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  // At least -1.
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  // A flat button lets its parent show through.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // How the button shows: up, disabled, pressed or down in its group.
  TButtonState State() const { return FState; }
  // The mouse is over the button (a flat button is raised then).
  bool MouseInControl() const { return FMouseInControl; }

  void Click() override;

 protected:
  void Paint() override;
  void Loaded() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  // Tells the other buttons of the group that this one went down (CM_BUTTONPRESSED).
  void UpdateExclusive();

  TButtonState FState = bsUp;
  bool FDragging = false;

 private:
  void ButtonPressed(int Group, TSpeedButton* Sender);
  void UpdateOpacity();

  controls::TButtonGlyph FGlyph;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FFlat = false;
  bool FTransparent = true;
  bool FMouseInControl = false;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
};

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  // A kind other than bkCustom sets the caption, glyph, ModalResult, Default and Cancel of
  // that kind of button; changing any of them afterwards makes the kind read bkCustom.
  TBitBtnKind Kind() const;
  void SetKind(TBitBtnKind Value);
  TBitmap* Glyph() const { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* Value) { FGlyph.SetGlyph(Value); }
  TNumGlyphs NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value) { FGlyph.SetNumGlyphs(Value); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  // At least -1.
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  // bkClose closes the parent form.
  void Click() override;
  bool IsCustom() const { return Kind() == bkCustom; }
  bool IsCustomCaption() const;

 protected:
  void PaintContent(TRect Content) override;

 private:
  controls::TButtonGlyph FGlyph;
  mutable TBitBtnKind FKind = bkCustom;
  bool FModifiedGlyph = false;
  bool FSettingKind = false;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
};
