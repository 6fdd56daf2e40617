#pragma once
// The control library's common ground: the shared enumerations (frame styles, sides, text
// styles, orientation, visual style...) with the names window definitions use; the frame
// painters every framed control draws its border with; the frame controller that pushes one
// set of frame settings to many controls; the shared blink timer, the legacy property readers,
// the version tests and small string, geometry and monitor routines; the glyph painters
// (arrows, close cross, check and radio glyphs, highlight ring, corner marks, focus frame).
//
// Also the plain caption and glyph routines (namespace fc) the buttons, labels, tabs and input
// controls draw with.
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/base/FcGrafx.h"
#include "platform/classes/Alignment.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Interfaces.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Sets.h"

// ---------------------------------------------------------------------------------------------
// Enumerations (fixed ordinals: window definitions store them by name)

enum TFrameStyleEx {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold,
  fsFlatRounded
};
// The styles fsNone .. fsFlatBold (no rounded frame). It shares the values of TFrameStyleEx;
// painters that take a TFrameStyle treat fsFlatRounded as fsFlat.
using TFrameStyle = TFrameStyleEx;
inline constexpr TFrameStyleEx fsLastFrameStyle = fsFlatBold;
// The names of the subrange, for properties that must not take fsFlatRounded.
const classes::TEnumInfo& FrameStyleInfo();

enum TSide { sdLeft, sdTop, sdRight, sdBottom };
// Bits 1 left, 2 top, 4 right, 8 bottom.
using TSides = TSet<TSide>;
inline constexpr TSides AllSides{sdLeft, sdTop, sdRight, sdBottom};
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TOrientation { orHorizontal, orVertical };
enum TFcVisualStyle { vsClassic, vsWinXP, vsGradient };
enum TFramingPreference { fpCustomFraming, fpXPThemes };
enum TFcHotTrackColorType { htctComplement, htctActual };
enum TFcButtonHotTrackStyle { htsInterior, htsFrame };
enum TFcScrollStyle { scsNone, scsLeft, scsUp, scsRight, scsDown };

const classes::TEnumInfo& EnumInfo(TFrameStyleEx);
const classes::TEnumInfo& EnumInfo(TSide);
const classes::TEnumInfo& EnumInfo(TTextStyle);
const classes::TEnumInfo& EnumInfo(TAlignmentVertical);
const classes::TEnumInfo& EnumInfo(TOrientation);
const classes::TEnumInfo& EnumInfo(TFcVisualStyle);
const classes::TEnumInfo& EnumInfo(TFramingPreference);
const classes::TEnumInfo& EnumInfo(TFcHotTrackColorType);
const classes::TEnumInfo& EnumInfo(TFcButtonHotTrackStyle);
const classes::TEnumInfo& EnumInfo(TFcScrollStyle);

// ---------------------------------------------------------------------------------------------
// Frames. Every painter takes a rectangle with exclusive right and bottom and returns the
// rectangle left inside what it drew.

// Width of a style's border: fsNone 0, fsFlat 1, fsStatus and fsPopup BevelWidth, others 2.
int FrameWidth(TFrameStyleEx Style, int BevelWidth = 1);

// One 1-pixel ring: left and top in U, right and bottom in W; clNone skips its two sides.
TRect PaintSideLines(TCanvas* Canvas, const TRect& Rect, TColor U, TSides Sides, TColor W);
// Count rings of PaintSideLines, each inside the previous.
TRect PaintBevelRings(TCanvas* Canvas, const TRect& Rect, TColor U, TSides Sides, int Count, TColor W);
// The groove of fsGroove and fsBump: its corner pixels, a ring in W one pixel in, a ring in U.
TRect PaintGrooveSides(TCanvas* Canvas, const TRect& Rect, TColor U, TColor W, TSides Sides);
TRect Paint3DEdgeSides(TCanvas* Canvas, const TRect& Rect, bool Lowered, TSides Sides);
TRect Paint3DEdge(TCanvas* Canvas, const TRect& Rect, bool Lowered);
TRect PaintButtonEdgeSides(TCanvas* Canvas, const TRect& Rect, bool Down, TSides Sides);
TRect PaintButtonEdge(TCanvas* Canvas, const TRect& Rect, bool Down);
TRect PaintColorButtonEdgeSides(TCanvas* Canvas, const TRect& Rect, TColor X, TSides Sides, bool Down);
TRect PaintColorButtonEdge(TCanvas* Canvas, const TRect& Rect, TColor X, bool Down);
// A frame style in system colours. fsFlatRounded has no colours of its own: it paints as fsFlat.
TRect PaintFrameStyleSides(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx Style, TSides Sides);
TRect PaintFrameStyle(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx Style);
// A frame style in shades of the base colour X (fsFlatRounded as fsFlat).
TRect PaintColorFrameStyleSides(TCanvas* Canvas, const TRect& Rect, TColor X, TSides Sides, TFrameStyleEx Style);
TRect PaintColorFrameStyle(TCanvas* Canvas, const TRect& Rect, TColor X, TFrameStyleEx Style);
// Four sides in one colour.
TRect PaintBoxOutline(TCanvas* Canvas, const TRect& Rect, TColor Color);
// A 1-pixel frame with cut corners and one pixel set inside each corner of two chosen sides;
// the result is shrunk by 2 on each chosen side.
TRect PaintRoundedFlatFrame(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides);
// The complete border of a panel or a label: the outer style, BorderWidth rings of BorderColor,
// the inner style; Rect becomes the rectangle inside all three. The flat styles use FlatColor
// adjusted by FlatColorAdjustment.
void PaintInnerOuterBorders(TCanvas* Canvas, TRect& Rect, TFrameStyleEx Outer, bool Transparent, TColor ParentColor,
                            TColor Color, int FlatColorAdjustment, TColor FlatColor, TColor BorderShadow,
                            TColor BorderHighlight, TColor BorderColor, int BevelWidth, TSides BorderSides,
                            int BorderWidth, TFrameStyleEx Inner);
// The 2-pixel non-client frame of a framed input control over (0, 0, Width, Height): unless
// KeepInterior, two rings of ControlColor first; then the style on Sides (fsFlat one ring of
// FrameColor, fsFlatBold two, other styles in system colours when ControlColor is clWindow,
// else in shades of ControlColor).
void PaintControlFrame(TCanvas* Canvas, int Width, int Height, bool KeepInterior, TSides Sides, TColor FrameColor,
                       TColor ControlColor, TFrameStyleEx Style);
// The hot-track rule of framed input controls: whether the hot colour and style apply.
bool FrameIsHot(bool FrameHotTrack, bool Focused, bool MouseOver);
// Whether the control paints its frame itself (FrameVisible, and framing not left to visual styles).
bool PaintsOwnFrame(bool FrameVisible, TFramingPreference Preference);
// Asks the window to repaint its non-client frame over Rect, when its device context shows
// anything; false when nothing was asked.
bool InvalidateNonClientFrame(HWND Window, const TRect& Rect);
// The background of a group bar: the themed element, a vertical gradient, or nothing (classic).
void PaintGroupBarBackground(TCanvas* Canvas, const TRect& Rect, TFcVisualStyle VisualStyle, TColor CustomStop,
                             TColor CustomStart, bool Reverse, TFcGradientColorStyle ColorStyle);

// ---------------------------------------------------------------------------------------------
// Frame controller

enum TFcFrameControllerProperty {
  fcpColor, fcpFocusColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpParentColor,
  fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack, fcpFrameHotStyle,
  fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference, fcpAll
};
const classes::TEnumInfo& EnumInfo(TFcFrameControllerProperty);
// The values fcpColor .. fcpFramingPreference.
using TFcFrameControllerPropertyConnection = TFcFrameControllerProperty;
// A 16-bit mask, bit n for ordinal n.
using TFcFrameControllerNotifications = TSet<TFcFrameControllerProperty>;
inline constexpr TFcFrameControllerNotifications AllFrameControllerNotifications =
    TFcFrameControllerNotifications::FromBits(0xFFFF);

// A control that takes the controller's settings itself instead of having them written into
// its published properties.
class IFrameControllerClient : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}");
  virtual void ApplyFrameController() = 0;

 protected:
  ~IFrameControllerClient() = default;
};

enum TFcPathType { ptIniFile, ptRegistry };
enum TFcRegKey {
  hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData, hkeyCurrentConfig, hkeyDynData
};
enum TFcRegAccessKey {
  keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink, keyRead, keyWrite,
  keyExecute, keyAllAccess
};
using TFcRegAccess = TSet<TFcRegAccessKey>;
enum TFcSpecialFolder { sfNone, sfUserAppDataRoaming, sfUserAppDataLocal, sfUserDocuments, sfProgramData };
enum TFcIniFileEncoding { feDefault, feUTF8, feUnicode };
const classes::TEnumInfo& EnumInfo(TFcPathType);
const classes::TEnumInfo& EnumInfo(TFcRegKey);
const classes::TEnumInfo& EnumInfo(TFcRegAccessKey);
const classes::TEnumInfo& EnumInfo(TFcSpecialFolder);
const classes::TEnumInfo& EnumInfo(TFcIniFileEncoding);

// A settings-store description (an INI file or a registry key). Only its settings are kept:
// the frame controller can name one.
class TFcRegIniFile : public TComponent {
 public:
  explicit TFcRegIniFile(TComponent* AOwner);
  ~TFcRegIniFile() override;

  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& Value);
  TFcPathType PathType() const { return FPathType; }
  void SetPathType(TFcPathType Value);
  TFcRegKey RegKey() const { return FRegKey; }
  void SetRegKey(TFcRegKey Value);
  TFcRegAccess RegAccess() const { return FRegAccess; }
  void SetRegAccess(TFcRegAccess Value);
  TFcSpecialFolder SpecialFolder() const { return FSpecialFolder; }
  void SetSpecialFolder(TFcSpecialFolder Value);
  TFcIniFileEncoding FileEncoding() const { return FFileEncoding; }
  void SetFileEncoding(TFcIniFileEncoding Value);
  // True at creation and after every change of a setting.
  bool SettingsChanged() const { return FSettingsChanged; }
  void SetSettingsChanged(bool Value) { FSettingsChanged = Value; }

 private:
  std::string FPath;
  TFcPathType FPathType = ptIniFile;
  TFcRegKey FRegKey = hkeyCurrentUser;
  TFcRegAccess FRegAccess{keyAllAccess};
  TFcSpecialFolder FSpecialFolder = sfNone;
  TFcIniFileEncoding FFileEncoding = feDefault;
  bool FSettingsChanged = true;
};

// Holds one set of frame and colour settings and pushes them to every registered control:
// through IFrameControllerClient when the control implements it, else by writing its published
// properties of the same names, as the control's FrameControllerNotifications allow.
class TFcFrameController : public TComponent {
 public:
  explicit TFcFrameController(TComponent* AOwner);
  ~TFcFrameController() override;

  // Appends Control (once) and pushes all settings to it.
  void RegisterControl(TComponent* Control);
  // Removes Control when listed; nothing otherwise.
  void UnregisterControl(TComponent* Control);
  int RegisteredCount() const { return static_cast<int>(FControls.size()); }
  bool IsRegistered(const TComponent* Control) const;

  // Changes between BeginUpdate and the closing EndUpdate reach the controls as one full push.
  void BeginUpdate();
  void EndUpdate();
  void UpdateControls();
  virtual void PushSettingsToAll(TFcFrameControllerProperty Property);
  virtual void PushSettingsToControl(TComponent* Control, TFcFrameControllerProperty Property);

  void Assign(TPersistent* Source) override;
  void Loaded() override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor Value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  void SetReadOnlyColor(TColor Value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool Value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor Value);
  bool FlatButtons() const { return FFlatButtons; }
  void SetFlatButtons(bool Value);
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor Value);
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  void SetFrameHotColor(TColor Value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  void SetFrameHotStyle(TFrameStyle Value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  void SetFrameHotTrack(bool Value);
  TSides FrameSides() const { return FFrameSides; }
  void SetFrameSides(TSides Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value);
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool Value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  void SetFramingPreference(TFramingPreference Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFcRegIniFile* RegIniFile() const { return FRegIniFile; }
  void SetRegIniFile(TFcRegIniFile* Value);
  // Color is stored only while the controls do not follow their parents' colour.
  bool IsColorStored() const { return !FParentColor; }

 protected:
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  int64_t SettingValue(TFcFrameControllerProperty Property) const;
  void WriteSetting(TComponent* Control, TFcFrameControllerProperty Property);
  void ReadFrameFlat(TReader* Reader);
  void ReadFrameFocusStyle(TReader* Reader);

  std::vector<TComponent*> FControls;
  int FUpdateCount = 0;
  TColor FColor = clWindow;
  TColor FDisabledColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  TColor FFlatButtonColor = clBtnFace;
  bool FFlatButtons = true;
  TColor FFocusColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  bool FFrameHotTrack = false;
  TSides FFrameSides = AllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  bool FParentColor = false;
  TFcRegIniFile* FRegIniFile = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Blinking: one shared timer makes every blinking control flash in step.

// Asked of each registered control: 1 when its Blinking property is set.
inline constexpr UINT FCM_BLINKQUERY = 0xB3E8;
// WParam 1: show the blink colour; 0: show the normal colour.
inline constexpr UINT FCM_BLINK = 0xB3E9;

class TFcBlinkingControlsList : public TObject {
 public:
  TFcBlinkingControlsList();
  ~TFcBlinkingControlsList() override;

  void Add(TControl* Control);
  // Nothing when Control is not listed.
  void Remove(TControl* Control);
  int RegisteredCount() const { return static_cast<int>(FControls.size()); }
  // 1 while the blink colour shows.
  uint8_t BlinkState() const { return FBlinkState; }
  uint16_t IntervalOn() const { return FIntervalOn; }
  void SetIntervalOn(uint16_t Value) { FIntervalOn = Value; }
  uint16_t IntervalOff() const { return FIntervalOff; }
  void SetIntervalOff(uint16_t Value) { FIntervalOff = Value; }
  TTimer* Timer() const { return FTimer.get(); }

 private:
  void Tick(TObject* Sender);

  uint8_t FBlinkState = 1;
  uint16_t FIntervalOn = 500;
  uint16_t FIntervalOff = 500;
  std::unique_ptr<TTimer> FTimer;
  std::vector<TControl*> FControls;
};

// The program's one list, or nullptr when no control that can blink exists.
TFcBlinkingControlsList* BlinkingControlsList();
// The list, made when it does not exist yet.
TFcBlinkingControlsList* EnsureBlinkingControlsList();
// Frees the list when no control is registered in it.
void ReleaseBlinkingListIfEmpty();

// ---------------------------------------------------------------------------------------------
// Readers of property values stored by earlier versions of the library: each reads one value
// and drops it. Handed to the filer as the readers of legacy property names.
class TFcOldPropReader : public TObject {
 public:
  static void ReadOldBooleanProp(TReader* Reader);
  static void ReadOldIntegerProp(TReader* Reader);
  static void ReadOldStringProp(TReader* Reader);
  static void ReadOldEnumProp(TReader* Reader);
  static void ReadOldSetProp(TReader* Reader);
  // The reader of a legacy property of enumeration type (the same as ReadOldEnumProp).
  static void SkipLegacyEnum(TReader* Reader);
};

// The frame properties of a framed control's earlier versions, read and never written:
// "FrameFlat" (FrameHotTrack; true also gives the status style with the lowered hot style),
// "FrameFocusStyle" (the hot style by name) and "FrameFlatStyle" (read and dropped).
template <class C>
void DefineOldFrameProperties(TFiler* Filer, C* Control) {
  Filer->DefineProperty("FrameFlat", [Control](TReader* Reader) {
    const bool flat = Reader->ReadBoolean();
    Control->SetFrameHotTrack(flat);
    if (flat) {
      Control->SetFrameStyle(fsStatus);
      Control->SetFrameHotStyle(fsLowered);
    }
  }, nullptr, false);
  Filer->DefineProperty("FrameFocusStyle", [Control](TReader* Reader) {
    const int value = classes::GetEnumValue(EnumInfo(TFrameStyle{}), Reader->ReadIdent());
    if (value >= 0) Control->SetFrameHotStyle(static_cast<TFrameStyle>(value));
  }, nullptr, false);
  Filer->DefineProperty("FrameFlatStyle", &TFcOldPropReader::ReadOldEnumProp, nullptr, false);
}

// ---------------------------------------------------------------------------------------------
// Common services

// Version tests over the platform's version numbers; Index is taken modulo 128 (0 Windows 95,
// 1 NT 4, 2 Windows 98, 3 Me, 4 2000, 5 XP, 6 Server 2003, 7 Vista).
bool IsOSVersion(int Index);
bool IsOSVersionOrLater(int Index);

// Removes the "&" marks of accelerators; a doubled "&&" becomes one "&".
std::string StripAccelerators(const std::string& Caption);
// Deletes the first occurrence of Ch; true when found.
bool RemoveFirstOccurrence(std::string& Text, char Ch);
// %NAME% references expanded from the environment; the input unchanged when that fails.
std::string ExpandEnvironmentText(const std::string& Text);
bool IsDBCSLeadChar(uint8_t Ch);
bool CharIsInSet(uint8_t Ch, const std::bitset<256>& Set);
LRESULT SendTextMessage(HWND Window, UINT Msg, WPARAM WParam, const std::string& Text);
// A W x H rectangle centred in Rect.
TRect CenteredRect(const TRect& Rect, int W, int H);
int IntMin(int A, int B);
int IntMax(int A, int B);
void SwapWords(uint16_t& A, uint16_t& B);

// The work area of the monitor nearest to the control's window.
TRect GetWindowWorkArea(TControl* Control);
int GetWindowWorkAreaWidth(TControl* Control);
TRect GetMonitorWorkRect(TMonitor* Monitor);
TRect GetMonitorRect(TMonitor* Monitor);
// The first monitor whose full rectangle holds Point, or nullptr.
TMonitor* FindMonitorAtPoint(const TPoint& Point);

// Tells the form designer that the control's form was modified (no designer runs here: nothing).
void NotifyDesignerModified(TControl* Control);
// Invalidates each child with a published Boolean "Transparent" that is true.
void InvalidateTransparentChildren(TWinControl* Container);

// ---------------------------------------------------------------------------------------------
// Glyph painters. Each restores the pen style and brush colour it changed.

// Arrow and glyph looks: 1 the XP look, any other value the classic look.
inline constexpr int GlyphStyleXP = 1;
// Directions of PaintDirectionalArrow.
inline constexpr int ArrowUp = 0, ArrowDown = 1, ArrowLeft = 2, ArrowRight = 3;
// Check glyph states and the draw states of the check and radio glyphs.
inline constexpr int CheckUnchecked = 0, CheckChecked = 1, CheckGrayed = 2;
inline constexpr int GlyphNormal = 0, GlyphPressed = 1, GlyphHot = 2, GlyphDisabled = 3;

// The colour the arrows and the themed cross are drawn in.
TColor ArrowColor(TCanvas* Canvas, int Style, bool Enabled);
void PaintDropDownArrow(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled);
void PaintDirectionalArrow(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled, int Direction);
void PaintCloseCross(TCanvas* Canvas, const TRect& Rect, TColor Color);
void PaintThemedCloseCross(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled);
void PaintCheckGlyph(TCanvas* Canvas, const TRect& Rect, int State, TColor ReadOnlyColor, bool ReadOnlyColorOnFocus,
                     bool ReadOnly, TColor HotColor, TColor HotColor2, TColor DisabledColor, TColor FocusColor,
                     TColor FillColor, TColor CheckColor, TColor FrameColor, TFcButtonHotTrackStyle HotTrackStyle,
                     bool Focused, int DrawState);
// A 13 x 13 round glyph at the rectangle's top-left corner. BackColor (FocusBackColor when
// focused) shows outside the circle.
void PaintRadioGlyph(TCanvas* Canvas, const TRect& Rect, bool Checked, TColor ReadOnlyColor, bool ReadOnlyColorOnFocus,
                     bool ReadOnly, TColor HotColor, TColor HotColor2, TColor DisabledColor, TColor FocusColor,
                     TColor FillColor, TColor DotColor, TColor FrameColor, TColor BackColor, TColor FocusBackColor,
                     TFcButtonHotTrackStyle HotTrackStyle, bool Focused, int DrawState);
// A 2-pixel gradient ring inside Rect (full-colour displays only).
void PaintHighlightRing(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction, TColor Color1,
                        TColor Color2);
// Four L-shaped corner marks with legs of Length pixels.
TRect PaintBoxCorners(TCanvas* Canvas, const TRect& Rect, TColor Color, int Length);
// Every second pixel of the four sides in black.
TRect PaintDottedFocusFrame(TCanvas* Canvas, const TRect& Rect);

// ---------------------------------------------------------------------------------------------
namespace fc {

// Fills R with a solid brush of the colour (the background of an opaque control).
void FillSolid(TCanvas* Canvas, const TRect& R, TColor Colour);
using ::FrameWidth;
// Draws a frame of Style on the chosen sides of R and shrinks R to what lies inside.
// Colour is the ring colour of the flat styles (clNone: the style's system colour).
void DrawFrame(TCanvas* Canvas, TRect& R, TFrameStyleEx Style, TSides Sides = AllSides, TColor Colour = clNone);
// Draws Text in R on the canvas's font, aligned both ways; WordWrap breaks long lines.
// The canvas brush is left clear afterwards.
void DrawCaption(TCanvas* Canvas, TRect R, const std::string& Text, TAlignment Alignment = taLeftJustify,
                 TAlignmentVertical Vertical = avCenter, bool WordWrap = false);
// The same text drawn raised or recessed: once offset in the highlight or shadow colour, then
// in the font's colour.
void DrawStyledCaption(TCanvas* Canvas, TRect R, const std::string& Text, TTextStyle Style, TColor Highlight,
                       TColor Shadow, TAlignment Alignment, TAlignmentVertical Vertical, bool WordWrap);
// A button face: filled with Face, raised (or sunken when Down), optionally flat.
void DrawButtonFace(TCanvas* Canvas, TRect& R, TColor Face, bool Down, bool Flat);

// Draws cell Index of a glyph strip of NumGlyphs cells at (X, Y); the strip's transparent
// colour (its bottom-left pixel) shows Background.
void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y, TColor Background);
// A glyph (when it has one) and a caption side by side, centred as a group in R.
void DrawGlyphAndCaption(TCanvas* Canvas, TRect R, TBitmap* Glyph, int NumGlyphs, int GlyphIndex,
                         const std::string& Caption, TColor Background, int Spacing = 4);

}  // namespace fc
