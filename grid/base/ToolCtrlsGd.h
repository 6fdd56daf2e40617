#pragma once
// Painting of the small buttons and check boxes that editors and grid cells show: the kinds of
// button face, the check-box painter with its default size and placement in a cell, and the
// shared cache that paints each distinct face once into a bitmap and then only copies it.
// Linux has no visual styles: every face is drawn in the classic look.
//
// Also here: the edit buttons themselves (their description as collection items and the
// speed-button control an edit shows, with its auto-repeat), the special row of lookup lists
// and the multi-field routines, and the drop-down pop-ups (size grip, calendar, item list, the
// list of recently used texts) with their placement against the monitor's work area.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Interfaces.h"
#include "platform/classes/StringList.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Calendar.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/StdLabels.h"
#include "platform/data/DataSet.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"
#include "platform/rtl/Variant.h"

// The buttons an editor can show at its right edge.
enum TEditButtonStyleGd { ebsDropDownGd, ebsEllipsisGd, ebsGlyphGd, ebsUpDownGd, ebsPlusGd, ebsMinusGd };
const classes::TEnumInfo& EnumInfo(TEditButtonStyleGd);

// The painter of a button face.
enum TEditButtonPainterKind { bpkDropDown = 0, bpkEllipsis = 1, bpkUpDown = 2, bpkCheckBox = 3, bpkPlus = 4, bpkMinus = 5 };

// The painter of each style (the glyph style is never painted through it).
inline constexpr TEditButtonPainterKind EditButtonStyleToPainterKind[] = {bpkDropDown, bpkEllipsis, bpkUpDown,
                                                                          bpkUpDown,   bpkPlus,     bpkMinus};

// Check states of the check-box painter.
constexpr int CheckStateUnchecked = 0;
constexpr int CheckStateChecked = 1;
constexpr int CheckStateGrayed = 2;

// Paints one button face or check box into Rect. Color is the background around it (the flat
// frame). CheckState (0 unchecked, 1 checked, 2 grayed) is the check-box painter's only.
// PressedPart: 0 none, 1 the whole button (or the upper half of an up/down one), 2 the lower
// half.
void PaintEditButtonImage(HDC DC, TRect Rect, TColor Color, int CheckState, bool Enabled, bool Active, bool Flat,
                          int PressedPart, TEditButtonPainterKind PainterKind);

// A check box of the smaller side of Rect, centred in it, in the classic look: pushed when
// Pressed, inactive when not Enabled; Flat draws a one-pixel frame (button face when Active,
// else button shadow) in place of the sunken 3D edge.
void DrawCheckBoxGlyph(HDC DC, const TRect& Rect, int CheckState, bool Enabled, bool Pressed, bool Active, bool Flat);

// The default check-box size: the platform's check-box picture (FrameCheckBoxSize).
int CheckBoxImageWidth();
int CheckBoxImageHeight();

// A rectangle of the default check-box size (each side at most the cell's) placed in CellRect:
// right, centred or left; centred, at the bottom or at the top.
TRect PlaceCheckBoxRect(const TRect& CellRect, TAlignment Alignment, TTextLayout Layout);

// The height of a button from its width: Width * 3 / 2 rounded (ties to even) when Flat.
int EditButtonHeightFor(int Width, bool Flat);
// Two thirds of the screen font's character height, rounded (ties to even), made odd, and at
// most the width of a vertical scroll bar.
int DefaultFlatButtonWidth();
// DefaultFlatButtonWidth, computed once.
int DefaultFlatButtonWidthValue();

// What tells one painted face from another.
struct TButtonBitmapKeyGd {
  int Width = 0;  // negative sizes are kept as 0
  int Height = 0;
  TEditButtonPainterKind Kind = bpkDropDown;
  bool Flat = false;
  bool Pressed = false;
  bool Active = false;
  bool Enabled = false;
  int Half = 0;        // up/down painter: 0 upper, 1 lower
  int CheckState = 0;  // check-box painter
  bool operator==(const TButtonBitmapKeyGd&) const = default;
};

// One painted face: its key and a bitmap of exactly the key's size.
struct TButtonBitmapInfoBitmapGd {
  TButtonBitmapKeyGd Key;
  std::unique_ptr<TBitmap> Bitmap;
};

// The faces painted so far; never evicts, emptied by Clear and when the system colours change.
class TButtonsBitmapCache {
 public:
  // The bitmap of Key's face, painted into (0, 0, Width, Height) on first use.
  TBitmap* GetButtonBitmap(TButtonBitmapKeyGd Key);
  void Clear();
  int Count() const { return static_cast<int>(FEntries.size()); }

 private:
  std::vector<TButtonBitmapInfoBitmapGd> FEntries;
  std::vector<COLORREF> FColors;  // the system colours of the faces
};

// The one cache of the program, and whether painting goes through it.
TButtonsBitmapCache& ButtonBitmapCache();
extern bool UseButtonBitmapCache;
// Frees every cached face (the look changed: colours or theme).
void FlushButtonBitmapCache();

// The tool-tip window of grid cells and editors: it shows a hint in the font of the text it
// reveals. The hint's data is that font (a TFont*, or none for the hint font); the text is
// always drawn in the window-text colour.
class TToolTipsWindow : public THintWindow {
 public:
  using THintWindow::THintWindow;
  // Makes one: the kind a control names in its hint's HintWindowClass.
  static THintWindow* Make(TComponent* Owner) { return new TToolTipsWindow(Owner); }
  TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
};

// One face of Kind in the classic look (Half: the upper 0 or lower 1 half of an up/down face).
void DrawButtonByKind(HDC DC, TEditButtonPainterKind Kind, TRect Rect, int Half, bool Pressed, bool Active, bool Flat,
                      bool Enabled);

// True when the second click is close enough to the first, in time and place, to make a double
// click (the system's double-click time and size).
bool IsWithinDoubleClick(TPoint FirstPoint, TPoint SecondPoint, int ElapsedMs);

// An image list colour for a canvas colour: clNone and clDefault become the list's own values.
COLORREF ImageListColorOf(TColor Color);
// Draws image ImageIndex of ImageList centred in Rect (clipped to it when it does not fit).
void DrawImageCentered(HDC DC, const TRect& Rect, TCustomImageList* ImageList, bool Selected, int ImageIndex);

// One element of tree lines centred in Rect: codes 0..2 a minus box, 3..5 a plus box, with
// dotted connectors (right always; up for 0, 1, 3, 4; down for 0, 2, 3, 5); codes without a
// box: 6 full vertical line and right, 7 upper half and right, 8 lower half and right, 9 full
// vertical only. Parity (0 or 1) lines the dots of adjacent elements up.
void DrawTreeLineGlyph(TCanvas* Canvas, const TRect& Rect, int Code, int ScaleY, int ScaleX, int Parity);
// A dotted line from (X1, Y1) to (X2, Y2), horizontal or vertical: Width pixels on, Width off;
// the first dot moves by one pixel when (X1 + Y1) mod 2 differs from Parity.
void DrawDottedLine(HDC DC, int X1, int Y1, int X2, int Y2, TColor Color, int Width, int Parity);

// Equality of two values, also of one-dimensional arrays (same bounds, equal elements):
// Unassigned only equals Unassigned, Null equals Null. A comparison that cannot be made (a text
// against a number it does not convert to) answers false. Never raises.
bool VariantsEqual(const Variant& V1, const Variant& V2);

// ---- edit buttons ----

using TButtonClickEventGd = std::function<void(TObject* Sender, bool& Handled)>;
using TButtonDownEventGd = std::function<void(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled)>;

class TEditButtonControlGd;

// The description of a button an edit or a grid column shows.
class TEditButtonGd : public TCollectionItem {
 public:
  explicit TEditButtonGd(TCollection* Collection);
  // The main button of an edit: no collection, EditControl owns and shows it.
  explicit TEditButtonGd(TWinControl* EditControl);
  ~TEditButtonGd() override;

  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  // Owned; the setter copies Value.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  int NumGlyphs() const { return FNumGlyphs; }
  // Clamped to 1..4.
  void SetNumGlyphs(int Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  TEditButtonStyleGd Style() const { return FStyle; }
  void SetStyle(TEditButtonStyleGd Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // 0 lets the owner choose.
  int Width() const { return FWidth; }
  void SetWidth(int Value);

  TButtonClickEventGd OnClick;
  TButtonDownEventGd OnDown;
  // Set by an owner that wants to hear of every change (instead of the collection).
  TNotifyEvent OnButtonChanged;

  // The edit that shows the button; nullptr for a grid column's.
  TWinControl* OwnerEdit() const { return FOwnerEdit; }
  void SetOwnerEdit(TWinControl* Value) { FOwnerEdit = Value; }

  void Assign(TPersistent* Source) override;
  // The button control of an edit: owner and parent the edit, 10 x 17, visible.
  virtual TEditButtonControlGd* MakeButtonControl(TWinControl* Edit);

 protected:
  // OnButtonChanged when set, else the collection hears of it.
  void Changed();

  TShortCut FShortCut = 0;
  bool FVisible = false;

 private:
  TPopupMenu* FDropdownMenu = nullptr;
  std::unique_ptr<TBitmap> FGlyph;
  std::string FHint;
  int FNumGlyphs = 1;
  TEditButtonStyleGd FStyle = ebsDropDownGd;
  int FWidth = 0;
  TWinControl* FOwnerEdit = nullptr;
};

// The main button of an edit: visible, Alt+Down clicks it.
class TVisibleEditButtonGd : public TEditButtonGd {
 public:
  static constexpr TShortCut DefaultShortCut = 32808;  // Alt+Down
  explicit TVisibleEditButtonGd(TCollection* Collection);
  explicit TVisibleEditButtonGd(TWinControl* EditControl);
};

// The extra buttons of an edit or a grid column.
class TEditButtonsGd : public TCollection {
 public:
  TEditButtonsGd(TPersistent* Owner, TCollectionItemClass ItemClass = TCollectionItemClass::Of<TEditButtonGd>());
  TEditButtonGd* ButtonAt(int Index) const;
  TEditButtonGd* Add() { return static_cast<TEditButtonGd*>(TCollection::Add()); }
  TPersistent* GetOwner() const override { return FOwner; }

  // The owner's change handler: receives the changed item (nullptr: the whole collection).
  std::function<void(TCollectionItem* Item)> OnChanged;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TPersistent* FOwner;
};

// The button control an edit shows at its right edge.
class TEditButtonControlGd : public TSpeedButton {
 public:
  explicit TEditButtonControlGd(TComponent* AOwner);
  ~TEditButtonControlGd() override;

  TEditButtonStyleGd Style() const { return FStyle; }
  void SetStyle(TEditButtonStyleGd Value);
  // The edit is hot or focused: a flat button looks raised.
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // 0 none, 1 the whole button or the upper half of an up/down button, 2 the lower half.
  int PressedPart() const { return FPressedPart; }
  // Keeps a drop-down button pressed while its list is open.
  void SetHeldDown(bool On);
  bool HeldDown() const { return FHeldDown; }

  TButtonDownEventGd OnDown;

  void Click() override;

  static constexpr UINT FirstRepeatDelay = 400;
  static constexpr UINT RepeatInterval = 100;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  // The half of an up/down button under Y (0 between the halves, or when not down).
  void UpdatePressedPart(int Y);

 private:
  void TimerTick(TObject* Sender);
  TTimer* RepeatTimer();

  TEditButtonStyleGd FStyle = ebsDropDownGd;
  bool FActive = false;
  int FPressedPart = 0;
  bool FSuppressClick = false;
  bool FHeldDown = false;
  TTimer* FRepeatTimer = nullptr;  // owned as a component
};

// The button control as window definitions name it.
class TSpeedButtonGd : public TEditButtonControlGd {
 public:
  explicit TSpeedButtonGd(TComponent* AOwner) : TEditButtonControlGd(AOwner) {}
};

// ---- special row and multi-field routines ----

// One extra row above the data rows of a lookup list: its cell texts, colour, font and value.
class TSpecRowGd : public TPersistent {
 public:
  static constexpr TShortCut DefaultShortCut = 32814;  // Alt+Del
  explicit TSpecRowGd(TPersistent* Owner);
  ~TSpecRowGd() override;

  const std::string& CellsText() const { return FCellsText; }
  void SetCellsText(const std::string& Value);
  // The owner's colour until assigned.
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const { return FColorAssigned; }
  // The owner's font until assigned.
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool IsFontStored() const { return FFontAssigned; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  bool ShowIfNotInKeyList() const { return FShowIfNotInKeyList; }
  void SetShowIfNotInKeyList(bool Value);
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& Value);
  bool IsValueStored() const;
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // The cells split from CellsText.
  TStrings* Cells() const { return FCells.get(); }
  // The text of cell Index; empty outside the list.
  std::string CellTextAt(int Index) const;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  TNotifyEvent OnChanged;

 protected:
  void Changed();

 private:
  TFont* DefaultFont() const;
  TColor DefaultColor() const;
  void FontChanged(TObject* Sender);

  TPersistent* FOwner;
  std::string FCellsText;
  std::unique_ptr<TStringList> FCells;
  std::unique_ptr<TFont> FFont;
  TColor FColor = clWindow;
  bool FColorAssigned = false;
  bool FFontAssigned = false;
  bool FCopyingFont = false;
  TShortCut FShortCut = DefaultShortCut;
  bool FShowIfNotInKeyList = true;
  Variant FValue = Variant::Null();
  bool FVisible = false;
  int FUpdateCount = 0;
};

// Splits cell texts separated by ";" into Cells (quoted items may hold ";", a doubled quote
// stands for one).
void SplitCellsText(const std::string& Text, TStrings* Cells);
// The fields named in a ";"-separated list, in list order; a missing name raises the data-set
// error "Field '%s' not found" attributed to Component.
void FieldNamesToArray(TDataSet* DataSet, TComponent* Component, const std::string& FieldNames,
                       std::vector<TField*>& Fields);
// Sets the listed fields from Value (a value array for two or more); Null clears them all.
void AssignFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value);

// ---- drop-down pop-ups ----

// Moves the size grip of a drop-down to a side: wParam 0 left, 1 right, 2 top, 3 bottom.
constexpr UINT CM_SIZEGRIPSIDE_GD = WM_USER + 100;
// Posted by the calendar to itself: close without accepting.
constexpr UINT CM_CLOSEUP_GD = WM_USER + 101;

// The owner of a pop-up, which the pop-up asks to close it.
class IPopupHostGd : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{B64255B5-386A-4524-8BC7-7F49DDB410F4}");
  virtual void CloseUp(bool Accept) = 0;
};

enum TSizeGripCorner { sgcTopLeft, sgcTopRight, sgcBottomRight, sgcBottomLeft };
enum TSizeGripSide { sgsLeft, sgsRight, sgsTop, sgsBottom };

// A small square in one corner of a drop-down with which the user resizes it.
class TSizeGripGd : public TCustomControl {
 public:
  explicit TSizeGripGd(TComponent* AOwner);

  TSizeGripCorner Corner() const { return FCorner; }
  void SetCorner(TSizeGripCorner Value);
  bool TriangleShaped() const { return FTriangleShaped; }
  void SetTriangleShaped(bool Value);
  // Snaps the grip into its corner of the parent's client area.
  void MoveToCorner();
  void MoveToSide(TSizeGripSide Side);
  // Shows the window or takes it off the screen, without changing Visible.
  void ShowGrip(bool Visible);

  TNotifyEvent OnParentResized;

 protected:
  void CreateWnd() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;

 private:
  void UpdateRegion();

  TSizeGripCorner FCorner = sgcBottomRight;
  bool FTriangleShaped = true;
  TPoint FDownPoint;
  TPoint FLastPoint;
  TSize FDownSize;
  TSize FDownClientSize;
  bool FDragging = false;
  bool FInternalMove = false;
};

// The month calendar of a date edit's drop-down: a pop-up window that closes through its
// owner's IPopupHostGd.
class TPopupMonthCalendarGd : public TMonthCalendar {
 public:
  explicit TPopupMonthCalendarGd(TComponent* AOwner);
  // The raised frame around the calendar (0 without Ctl3D, when the window has a border).
  int BorderWidth() const;
  // True when a release on a part with this hit code accepts the date.
  static bool HitAccepts(UINT HitCode);

  void Dispatch(TMessage& Message) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  bool MsgSetDateTime(const SYSTEMTIME& Value) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void WMKillFocus(TMessage& Message) override;
  void WMNCCalcSize(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;
  // The owner's CloseUp, when the owner is a pop-up host.
  void PostCloseUp(bool Accept);
};

// The item list of a drop-down: never focused (its editor keeps the focus) but painted as
// focused, rows of whole heights, type-ahead search, optional images.
class TPopupListboxGd : public TCustomListBox {
 public:
  explicit TPopupListboxGd(TComponent* AOwner);
  ~TPopupListboxGd() override;

  static constexpr int IncrementalSearchTimeout = 2000;
  static constexpr int IncrementalSearchMaxLength = 32;

  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  // The texts of virtual mode (nullptr: the list's own items).
  TStrings* SourceItems() const { return FSourceItems; }
  void SetSourceItems(TStrings* Value);
  // Height of max(Rows, 1) rows and the border.
  void FitRowsHeight(int Rows);
  int RowCount() const { return FRowCount; }
  TSizeGripGd* SizeGrip() const { return FSizeGrip; }
  const std::string& SearchText() const { return FSearchText; }
  // The raised frame inside the window (0 without Ctl3D, when the window has a border).
  int PopupBorderWidth() const { return Ctl3D() ? 2 : 0; }
  // The character height of Control's font on the screen.
  static int GetFontTextHeight(TControl* Control);

  std::function<void(TObject* Owner, int Index, int& ImageIndex)> OnGetImageIndex;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;
  bool CanFocus() override { return false; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  std::string DoGetData(int Index) override;
  virtual void PaintNonClientBorder();
  virtual std::string SupplyItemText(int Index);
  void KeyPress(char32_t& Key) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void WMMouseWheel(TMessage& Message) override;
  void WMNCCalcSize(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;

 private:
  friend int ListBorderHeight(TWinControl* Control);
  TCustomImageList* FImageList = nullptr;
  TStrings* FSourceItems = nullptr;
  TSizeGripGd* FSizeGrip = nullptr;  // owned as a component
  TPoint FMousePos{-1, -1};
  std::string FSearchText;
  int64_t FSearchTickCount = 0;
  int FRowCount = 0;
  bool FGripMoved = false;
};

// The drop-down of recently used texts: a pop-up list with its own scroll bar (the window's
// own scroll bar is not shown).
class TMRUListboxGd : public TPopupListboxGd {
 public:
  explicit TMRUListboxGd(TComponent* AOwner);
  TScrollBar* ScrollBar() const { return FScrollBar; }
  // Places the scroll bar beside the grip and sets its range from the items and rows.
  void UpdateScrollBar();

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void ItemsChanged() override;

 private:
  TScrollBar* FScrollBar = nullptr;  // owned as a component
  bool FScrollBarLocked = false;
};

// The recently used texts of an edit or a grid column, oldest first.
class TMRUListGd : public TPersistent {
 public:
  explicit TMRUListGd(TPersistent* Owner);
  ~TMRUListGd() override;

  bool AutoAdd() const { return FAutoAdd; }
  void SetAutoAdd(bool Value) { FAutoAdd = Value; }
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value);
  int Limit() const { return FLimit; }
  // Trims at once; a negative value is stored as 0.
  void SetLimit(int Value);
  int Rows() const { return FRows; }
  void SetRows(int Value) { FRows = Value; }
  // Stop collecting when a key-down message waits (so typing is not held up).
  bool StopOnPendingKey() const { return FStopOnPendingKey; }
  void SetStopOnPendingKey(bool Value) { FStopOnPendingKey = Value; }

  // Adds Text as the newest item (moves it there when it is already in the list).
  void RememberText(const std::string& Text);
  // Fills Target with the items that begin with Text; false when stopped at a waiting key.
  bool CollectMatches(TStrings* Target, const std::string& Text);

  void Assign(TPersistent* Source) override;
  virtual void CloseUp(bool Accept);
  virtual void DropDown();
  TPersistent* GetOwner() const override { return FOwner; }

  TNotifyEvent OnSetDropDown;
  std::function<void(TObject* Sender, bool Accept)> OnSetCloseUp;
  TNotifyEvent OnActiveChange;
  std::function<void(TObject* Sender, bool& Accept)> OnItemFilter;

 private:
  void Trim();

  TPersistent* FOwner;
  bool FAutoAdd = true;
  bool FActive = false;
  bool FCaseSensitive = false;
  std::unique_ptr<TStringList> FItems;
  int FLimit = 100;
  int FRows = 7;
  bool FStopOnPendingKey = true;
};

enum TDropDownAlign { daLeft, daRight, daCenter };

// Where a drop-down of DropDown's size opens next to HostRect (screen coordinates) within the
// work area of the nearest monitor: below, or above when only there it fits (or has more room);
// its height may shrink to the room and its width to the work area. Sends DropDown the grip's
// sides (CM_SIZEGRIPSIDE_GD, vertical first). TopLeft receives the screen point.
void PlaceDropDownNearRect(const TRect& HostRect, TWinControl* DropDown, TDropDownAlign Align, TPoint& TopLeft);
// As PlaceDropDownNearRect, for Control's bounds on the screen.
void PlaceDropDownNearControl(TControl* Control, TWinControl* DropDown, TDropDownAlign Align, TPoint& TopLeft);
// The height the window frame of Control's creation parameters adds, plus twice its border.
int ListBorderHeight(TWinControl* Control);
