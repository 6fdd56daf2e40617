#pragma once
// The library's owner-painted buttons.
//
// Windowed: TFcCustomButton holds what every such button shares (mouse tracking with the
// pressed look while the left button is dragged inside, the Space key, hot-track repaint, the
// visual-style test, the styled caption); TFcButton is the push button (Default, Cancel,
// ModalResult, groups with a down state, the hot-track face and the down pattern); TFcBitBtn
// adds a glyph from a bitmap strip or an image list and the standard kinds of dialog buttons.
//
// Window-less: TFcToolButton is a tool-bar button with an image from an image list, an optional
// caption, four face styles, groups and a drop-down menu (plain or split); TFcControlButton is
// the small painted button other controls embed (a glyph, an arrow or a drop-down arrow), which
// can repeat its click while held.
#include <cstdint>
#include <memory>

#include "controls/base/FcCommon.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"

// The layout and kind enumerations are the platform's (TButtonLayout, TBitBtnKind); older code
// names them through fc.
namespace fc {
using ::TBitBtnKind;
using ::TButtonLayout;
using ::blGlyphBottom;
using ::blGlyphLeft;
using ::blGlyphRight;
using ::blGlyphTop;

// The cells of a glyph strip of Width x Height: Width div Height when that is whole and lies in
// 1..4, 1 when it lies outside; Current when the width is no whole multiple of the height.
int GlyphStripCells(int Width, int Height, int Current);
// Visual styles are on for the session and for this program.
bool VisualStylesOn();
// Tells the controls of Sender's parent that Sender, of Group, went down or changed its group
// settings (WParam the group, LParam the sender).
void BroadcastGroupMessage(TControl* Sender, UINT Msg, int Group);
// What a button of the group does on hearing from another member: it goes up when both are
// down (answering true) and takes the other's AllowAllUp.
bool HearGroupMember(bool& Down, bool& AllowAllUp, bool SenderDown, bool SenderAllowAllUp);
// Moves Link from the image list in Field to Value and asks Value to tell Client when it is
// freed; false when Field already is Value.
bool RelinkImages(TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link, TComponent* Client);
}  // namespace fc

// The message a TFcButton broadcasts to its parent's controls when it goes down in a group or
// its GroupIndex or AllowAllUp changes: WParam the group index, LParam the sender.
inline constexpr UINT FCM_BUTTONGROUP = 0x2421;

class TFcCustomButton : public TCustomControl {
 public:
  explicit TFcCustomButton(TComponent* AOwner);

  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  virtual void SetAlignmentVertical(TAlignmentVertical Value) { Store(FAlignmentVertical, Value); }
  bool HotTrack() const { return FHotTrack; }
  virtual void SetHotTrack(bool Value) { Store(FHotTrack, Value); }
  TColor HighlightColor() const { return FHighlightColor; }
  virtual void SetHighlightColor(TColor Value) { Store(FHighlightColor, Value); }
  TColor HotTrackColor() const { return FHotTrackColor; }
  void SetHotTrackColor(TColor Value) { Store(FHotTrackColor, Value); }
  TFcHotTrackColorType HotTrackColorType() const { return FHotTrackColorType; }
  void SetHotTrackColorType(TFcHotTrackColorType Value) { Store(FHotTrackColorType, Value); }
  TTextStyle TextStyle() const { return FTextStyle; }
  virtual void SetTextStyle(TTextStyle Value) { Store(FTextStyle, Value); }
  // tsRaised without its shadow copy, tsRecessed without its highlight... the lighter look.
  bool LightTextStyle() const { return FLightTextStyle; }
  virtual void SetLightTextStyle(bool Value) { Store(FLightTextStyle, Value); }
  TColor TextHighlightColor() const { return FTextHighlightColor; }
  virtual void SetTextHighlightColor(TColor Value) { Store(FTextHighlightColor, Value); }
  TColor TextShadowColor() const { return FTextShadowColor; }
  virtual void SetTextShadowColor(TColor Value) { Store(FTextShadowColor, Value); }
  int TextShadowDepth() const { return FTextShadowDepth; }
  virtual void SetTextShadowDepth(int Value) { Store(FTextShadowDepth, Value); }
  bool ThemeAware() const { return FThemeAware; }
  virtual void SetThemeAware(bool Value) { Store(FThemeAware, Value); }
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value) { Store(FTransparent, Value); }
  // True while the pointer is over the button.
  bool MouseInControl() const { return FMouseIn; }
  // True while the button is shown pressed: the left button held inside it, or Space held.
  bool Pressed() const { return FShownDown; }
  // ThemeAware, and the platform's visual styles are on.
  virtual bool ThemesActive() const;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Space (without Alt) shows the button pressed; its release runs ChangeState.
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;

  // Paints what lies behind a transparent button (nothing here).
  virtual void EraseButtonBackground(HDC DC);
  // Shows a change of the pressed state (nothing here).
  virtual void RepaintState() {}
  virtual void FocusChanged() { Repaint(); }
  // The part repainted when the pointer enters or leaves.
  virtual TRect GetHotTrackRect() { return ClientRect(); }
  // The caption in Rect with the text style, placed by AlignmentVertical; Flags are DrawText's.
  virtual void DrawStyledCaption(TCanvas* Canvas, TRect Rect, UINT Flags);
  // What a click of the user does (a release inside, or Space).
  virtual void ChangeState() = 0;

  bool ShownDown() const { return FShownDown; }
  void SetShownDown(bool Value) { FShownDown = Value; }
  bool KeyToggle() const { return FKeyToggle; }
  void SetKeyToggle(bool Value) { FKeyToggle = Value; }
  bool DraggingMouse() const { return FDragging; }

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
  bool FLightTextStyle = false;
  TColor FTextHighlightColor = clBtnHighlight;
  TColor FTextShadowColor = clBtnShadow;
  int FTextShadowDepth = 2;
  bool FThemeAware = true;
  bool FTransparent = false;
  bool FMouseIn = false;
  bool FDragging = false;
  bool FShownDown = false;
  bool FKeyToggle = false;
};

class TFcButton : public TFcCustomButton {
 public:
  explicit TFcButton(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  bool Default() const { return FDefault; }
  virtual void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Buttons of one parent with the same GroupIndex (not 0) are down one at a time; AllowAllUp
  // lets the down one be raised again.
  int GroupIndex() const { return FGroupIndex; }
  virtual void SetGroupIndex(int Value);
  // Always false without a GroupIndex; a down button of a group without AllowAllUp stays down
  // when set false (pressing another button of the group raises it).
  bool Down() const { return FDown; }
  virtual void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  virtual void SetAllowAllUp(bool Value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
  bool ShowDownPattern() const { return FShowDownPattern; }
  virtual void SetShowDownPattern(bool Value) { Store(FShowDownPattern, Value); }
  bool ShowFocusRect() const { return FShowFocusRect; }
  virtual void SetShowFocusRect(bool Value) { Store(FShowFocusRect, Value); }
  bool DropDownOnEnter() const { return FDropDownOnEnter; }
  void SetDropDownOnEnter(bool Value) { FDropDownOnEnter = Value; }
  // The button Enter presses now: the focused button, or the default one while the focus is
  // on something that is no button.
  bool Active() const { return FActive; }

  void SetHotTrack(bool Value) override;
  // The parent form's ModalResult becomes the button's, then OnClick.
  void Click() override;

 protected:
  void Paint() override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void EraseButtonBackground(HDC DC) override;
  void RepaintState() override { Invalidate(); }
  void ChangeState() override;

  // The client inset by 5, moved by one pixel while pressed on a classic face.
  virtual void GetCaptionRect(TRect& Rect);
  virtual void DrawButtonCaption();
  // An 8 x 8 pattern in Color with silver (grey on a silver button) where column and row have
  // the same parity.
  virtual void BuildDownPattern(TBitmap* Bitmap);

  // Pressed: shown down, or down in a group.
  bool IsPressed() const { return FExclusive || ShownDown(); }
  bool Exclusive() const { return FExclusive; }

 private:
  void SendGroupMessage();
  void GroupMessage(int Group, TFcButton* Sender);
  void PaintHotTrackFace(TRect R);
  void PaintFaceFill(TRect R);
  void PaintClassicFace(TRect R);
  void ReadFrameFlat(TReader* Reader);

  TAlignment FAlignment = taCenter;
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  TColor FFrameColor = cl3DDkShadow;
  bool FShowDownPattern = true;
  bool FShowFocusRect = true;
  bool FDropDownOnEnter = true;
  bool FActive = false;
  bool FExclusive = false;
  bool FClicking = false;
};

class TFcBitBtn : public TFcButton {
 public:
  explicit TFcBitBtn(TComponent* AOwner);
  ~TFcBitBtn() override;

  TBitmap* Glyph() const { return FGlyph.get(); }
  // Copies the bitmap; the button's kind becomes bkCustom.
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value) { Store(FNumGlyphs, Value); }
  // A kind other than bkCustom reads bkCustom once Default, Cancel, ModalResult or the glyph
  // no longer are the kind's.
  TBitBtnKind Kind() const;
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value) { Store(FLayout, Value); }
  // Pixels between the edge and the glyph; -1 centres glyph and caption together. Values
  // below -1 are refused (the margin stays).
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) { Store(FSpacing, Value); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { Store(FImageIndex, Value); }
  int DisabledIndex() const { return FDisabledIndex; }
  void SetDisabledIndex(int Value) { Store(FDisabledIndex, Value); }

  // Stored tests of the definition writer.
  bool IsCaptionStored() const;
  bool IsCancelStored() const { return Kind() == bkCustom; }

 protected:
  void GetCaptionRect(TRect& Rect) override;
  void DrawButtonCaption() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual TRect GetGlyphRect();
  virtual void DrawImageListGlyph(const TRect& Rect);
  virtual void DrawBitmapGlyph(const TRect& Rect);
  // The image list's size with an ImageIndex, else one cell of the glyph strip.
  TSize GetGlyphSize();

 private:
  void GlyphChanged();
  // The effective layout: blGlyphRight for blGlyphLeft in right-to-left reading.
  TButtonLayout EffectiveLayout() const;
  int CaptionHeight(const TRect& R);

  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  mutable TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = 2;
  int FSpacing = 4;
  TCustomImageList* FImages = nullptr;
  int FImageIndex = -1;
  int FDisabledIndex = -1;
  bool FGlyphModified = false;
  std::unique_ptr<TChangeLink> FImageChangeLink;
};

// ---------------------------------------------------------------------------------------------
// Tool button

enum TFcToolStyle { tsButton, tsDropDown };
const classes::TEnumInfo& EnumInfo(TFcToolStyle);

// The tool-bar settings a tool button asks its container for: show caption, layout, size,
// visual style. This system has no tool-bar container, so nobody answers them.
inline constexpr UINT FCM_TOOLBAR_SHOWCAPTION = 0xB3EA;
inline constexpr UINT FCM_TOOLBAR_LAYOUT = 0xB3EB;
inline constexpr UINT FCM_TOOLBAR_SIZE = 0xB3EC;
inline constexpr UINT FCM_TOOLBAR_VISUALSTYLE = 0xB3ED;

class TFcToolButton : public TGraphicControl {
 public:
  // The strip of a drop-down button that opens its menu.
  static constexpr int ArrowStripWidth = 14;
  // A press within this time after the menu closed closes it without opening it again.
  static constexpr int64_t ReopenDelayMs = 100;
  enum TState { tbsUp, tbsDisabled, tbsDown, tbsExclusive, tbsDropDownPressed };

  explicit TFcToolButton(TComponent* AOwner);
  ~TFcToolButton() override;

  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int Value);
  int DownIndex() const { return FDownIndex; }
  virtual void SetDownIndex(int Value);
  int HotIndex() const { return FHotIndex; }
  virtual void SetHotIndex(int Value);
  int DisabledIndex() const { return FDisabledIndex; }
  virtual void SetDisabledIndex(int Value);
  TCustomImageList* Images() const { return FImages; }
  virtual void SetImages(TCustomImageList* Value);
  bool ShowCaption() const { return FShowCaption; }
  virtual void SetShowCaption(bool Value);
  TButtonLayout Layout() const { return FLayout; }
  virtual void SetLayout(TButtonLayout Value);
  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);
  TFcToolStyle ToolStyle() const { return FToolStyle; }
  // Resets GroupIndex; switching to tsDropDown widens the button by the arrow strip, back
  // narrows it (not while loading).
  virtual void SetToolStyle(TFcToolStyle Value);
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  virtual void SetDropDownMenu(TPopupMenu* Value);
  int GroupIndex() const { return FGroupIndex; }
  // Stays 0 on a tsDropDown button.
  virtual void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  virtual void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  virtual void SetAllowAllUp(bool Value);
  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool Value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  TFcVisualStyle VisualStyle() const { return FVisualStyle; }
  virtual void SetVisualStyle(TFcVisualStyle Value);
  TFcGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
  virtual void SetGradientColorStyle(TFcGradientColorStyle Value);
  TColor SelectionColorStart() const { return FSelectionColorStart; }
  virtual void SetSelectionColorStart(TColor Value);
  TColor SelectionColorStop() const { return FSelectionColorStop; }
  virtual void SetSelectionColorStop(TColor Value);
  TColor SelectionFrameColor() const { return FSelectionFrameColor; }
  virtual void SetSelectionFrameColor(TColor Value);
  bool UseToolbarButtonLayout() const { return FUseToolbarButtonLayout; }
  virtual void SetUseToolbarButtonLayout(bool Value);
  bool UseToolbarButtonSize() const { return FUseToolbarButtonSize; }
  virtual void SetUseToolbarButtonSize(bool Value);
  bool UseToolbarShowCaption() const { return FUseToolbarShowCaption; }
  virtual void SetUseToolbarShowCaption(bool Value);
  bool UseToolbarVisualStyle() const { return FUseToolbarVisualStyle; }
  virtual void SetUseToolbarVisualStyle(bool Value);
  // Width and Height set by the program (not while loading) stop following the tool bar.
  virtual void SetWidthValue(int Value);
  virtual void SetHeightValue(int Value);

  TState State() const { return FState; }
  bool MouseInControl() const { return FMouseIn; }
  // A tsDropDown button with an OnClick: its arrow strip opens the menu, the rest clicks.
  bool IsSplit() const;
  // Stored tests of the definition writer.
  bool IsShowCaptionStored() const { return !FUseToolbarShowCaption; }
  bool IsGradientColorStyleStored() const { return !FUseToolbarVisualStyle; }

  // Called before the menu drops down; the sender is the menu.
  TNotifyEvent OnDropDown;

  void Click() override;
  void Loaded() override;
  void SetParent(TWinControl* AParent) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  virtual void FetchToolbarSettings();
  // Draws the face in Rect and shrinks Rect to what lies inside it.
  virtual void DrawButtonFace(TRect& Rect);
  virtual void DrawButtonImage(const TRect& Rect);
  virtual void DrawDropDownPart();
  virtual void DrawCaptionText(const TRect& Rect);
  virtual void DoDropDown();
  virtual TSize GetImageSize();
  virtual void CalcLayout(TRect& ImageRect, TRect& TextRect);

 private:
  bool TracksHot() const { return FVisualStyle != vsClassic || FFlat; }
  bool IsPressed() const;
  bool InArrowStrip(int X) const;
  void SetState(TState Value);
  void SendGroupMessage();
  void ButtonPressed(int Group, TFcToolButton* Sender);
  void HotRecheck();
  void ImagesChanged();
  void SendToolbarMessage(UINT Msg);
  void PaintGradientFace(const TRect& Rect);
  void DropDownMouseUp(int X, int Y);
  void ReadSelectionColor(TReader* Reader, TColor& Target);
  void ReadUseGradients(TReader* Reader);

  int FImageIndex = -1;
  int FDownIndex = -1;
  int FHotIndex = -1;
  int FDisabledIndex = -1;
  TCustomImageList* FImages = nullptr;
  bool FShowCaption = false;
  TButtonLayout FLayout = blGlyphLeft;
  TAlignment FAlignment = taCenter;
  TFcToolStyle FToolStyle = tsButton;
  TPopupMenu* FDropDownMenu = nullptr;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FFlat = true;
  bool FTransparent = true;
  TFcVisualStyle FVisualStyle = vsWinXP;
  TFcGradientColorStyle FGradientColorStyle = gcsSystem;
  TColor FSelectionColorStart = clBtnFace;
  TColor FSelectionColorStop = clBtnShadow;
  TColor FSelectionFrameColor = cl3DDkShadow;
  bool FUseToolbarButtonLayout = true;
  bool FUseToolbarButtonSize = true;
  bool FUseToolbarShowCaption = true;
  bool FUseToolbarVisualStyle = true;
  TState FState = tbsUp;
  bool FMouseIn = false;
  bool FDragging = false;
  bool FInDropDown = false;
  bool FTreatAsNormal = true;
  // When the last drop-down ended, on the monotonic clock; FDroppedDown tells whether there
  // was one (a time of 0 is an ordinary instant, not "none").
  bool FDroppedDown = false;
  int64_t FDropDownTime = 0;
  std::unique_ptr<TChangeLink> FImageChangeLink;
};

// ---------------------------------------------------------------------------------------------
// Control button

enum TFcControlButtonStyle { cbsNone, cbsLeft, cbsUp, cbsRight, cbsDown, cbsDropDown };
const classes::TEnumInfo& EnumInfo(TFcControlButtonStyle);

class TFcControlButton : public TGraphicControl {
 public:
  explicit TFcControlButton(TComponent* AOwner);
  ~TFcControlButton() override;

  TFcControlButtonStyle Style() const { return FStyle; }
  virtual void SetStyle(TFcControlButtonStyle Value);
  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  virtual void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  virtual void SetNumGlyphs(int Value);
  // Held down, the button clicks after InitialDelay ms, then every Delay ms, until released.
  bool RepeatClicks() const { return FRepeatClicks; }
  void SetRepeatClicks(bool Value) { FRepeatClicks = Value; }
  uint16_t InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(uint16_t Value) { FInitialDelay = Value; }
  uint16_t Delay() const { return FDelay; }
  void SetDelay(uint16_t Value) { FDelay = Value; }

  // Pressed by the mouse now.
  bool IsDown() const { return FDown; }
  bool MouseInControl() const { return FMouseIn; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

  // Draws the face in Rect and shrinks Rect to what lies inside it.
  virtual void DrawButtonFace(TRect& Rect);
  virtual void DrawArrowButton(TRect Rect);
  virtual void DrawDropButtonFace(TRect Rect);
  virtual void DrawGlyphButton(const TRect& Rect);
  virtual TSize GetGlyphCellSize();

 private:
  bool Active() const;
  void RepeatTimerTick(TObject* Sender);
  void GlyphChanged();
  void HotRecheck();

  TFcControlButtonStyle FStyle = cbsNone;
  bool FFlat = false;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  bool FRepeatClicks = false;
  uint16_t FInitialDelay = 400;
  uint16_t FDelay = 100;
  bool FDown = false;
  bool FDragging = false;
  bool FMouseIn = false;
  std::unique_ptr<TTimer> FRepeatTimer;
};
