#pragma once
// The list view: TListColumn / TListColumns (the columns of the report view), TListItem /
// TListItems (captions, sub-items, images and data) and TCustomListView / TListView, the
// windowed control that shows the items as large icons, small icons, a list or a report with
// a header, with single or multiple selection, keyboard navigation, sorting, virtual items
// (OwnerData) and the window's own scroll bars.
//
// The report view's header is a child window of the header class (CommCtrl.h): its clicks
// come back as WM_NOTIFY and become OnColumnClick, dragging a divider sizes the column, and
// descendants may set the sort-arrow format bits of its items with HDM_SETITEM.
//
// As the platform's window class does, the control reports to itself as CN_NOTIFY:
// LVN_ITEMCHANGING (nonzero refuses) and LVN_ITEMCHANGED around every state change,
// LVN_COLUMNCLICK, LVN_BEGINDRAG / LVN_BEGINRDRAG, LVN_BEGINLABELEDIT (nonzero refuses; the
// editor already holds the caption, LVM_GETEDITCONTROL answers it), LVN_ENDLABELEDIT (the new
// caption with LVIF_TEXT in the mask, no LVIF_TEXT when the editing was cancelled),
// LVN_GETINFOTIP, NM_CLICK, NM_DBLCLK and NM_RCLICK (nonzero: no context menu).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Collection.h"
#include "platform/classes/StringList.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/ImgList.h"

class TCustomListView;
class TListItems;
class TListItem;
class TCustomEdit;

// ---- the list messages and notifications ----

constexpr UINT LVM_FIRST = 0x1000;
// lParam the colour (COLORREF) of the background / of the text background.
constexpr UINT LVM_SETBKCOLOR = LVM_FIRST + 1;
// The caption editor's window while a caption is being edited, else 0.
constexpr UINT LVM_GETEDITCONTROL = LVM_FIRST + 24;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_SETTEXTBKCOLOR = LVM_FIRST + 38;

constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_CUT = 0x0004;
constexpr UINT LVIS_DROPHILITED = 0x0008;

// The state image of an item (bits 12-15): with Checkboxes 1 unchecked, 2 checked.
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT IndexToStateImageMask(UINT Index) { return Index << 12; }

// A caption or sub-item text of this value is asked of the list's handler each time it is
// shown, measured, sorted or edited (LVN_GETDISPINFO with LVIF_TEXT); no real text is this
// value (0xFF is no byte of UTF-8).
inline const std::string LPSTR_TEXTCALLBACK{"\xFF\xFE<text callback>"};

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;

constexpr UINT LVN_FIRST = 0u - 100u;
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
constexpr UINT LVN_BEGINDRAG = LVN_FIRST - 9;
constexpr UINT LVN_BEGINRDRAG = LVN_FIRST - 11;
constexpr UINT LVN_BEGINLABELEDIT = LVN_FIRST - 5;
constexpr UINT LVN_ENDLABELEDIT = LVN_FIRST - 6;
constexpr UINT LVN_GETINFOTIP = LVN_FIRST - 57;
// The text of an item's column (LVIF_TEXT; iItem, iSubItem, lParam the item's Data): the
// handler puts it into item.pszText.
constexpr UINT LVN_GETDISPINFO = LVN_FIRST - 50;

struct NMLISTVIEW {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  TPoint ptAction;
  LPARAM lParam = 0;
};
struct LVITEM {
  UINT mask = 0;
  int iItem = -1;
  int iSubItem = 0;
  UINT state = 0;
  UINT stateMask = 0;
  std::string pszText;
  int iImage = -1;
  LPARAM lParam = 0;
};
struct NMLVDISPINFO {
  NMHDR hdr;
  LVITEM item;
};
struct NMLVGETINFOTIP {
  NMHDR hdr;
  std::string pszText;
  int iItem = -1;
  int iSubItem = 0;
};

// ---- enumerations and events ----

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
const classes::TEnumInfo& EnumInfo(TViewStyle);
enum TItemState { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using TItemStates = TSet<TItemState>;
enum TItemChange { ctText, ctImage, ctState };
// Scoped: the grid's scroll directions use the same names.
enum class TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
// Parts of an item a virtual list's OnData is asked for.
enum TItemRequestFlag { irText, irImage, irParam, irState, irIndent };
using TItemRequest = TSet<TItemRequestFlag>;

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, class TListColumn* Column)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, std::string& S)>;
using TLVOwnerDataEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVInfoTipEvent = std::function<void(TObject* Sender, TListItem* Item, std::string& InfoTip)>;
using TLVCustomDrawEvent = std::function<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent =
    std::function<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent = std::function<void(TCustomListView* Sender, TListItem* Item, int SubItem,
                                                     TCustomDrawState State, bool& DefaultDraw)>;
// A comparison for CustomSort: negative when Item1 comes first.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2, LPARAM Data)>;

// ---- icon options ----

enum TIconArrangement { iaTop, iaLeft };
const classes::TEnumInfo& EnumInfo(TIconArrangement);

// How the icon views lay their items out: in rows (iaTop) or in columns (iaLeft); with
// AutoArrange the items are laid out again whenever they change (positions set by hand go);
// WrapText lets a caption take two lines under its icon.
class TIconOptions : public TPersistent {
 public:
  explicit TIconOptions(TCustomListView* AOwner) : FOwner(AOwner) {}
  TIconArrangement Arrangement() const { return FArrangement; }
  void SetArrangement(TIconArrangement Value);
  bool AutoArrange() const { return FAutoArrange; }
  void SetAutoArrange(bool Value);
  bool WrapText() const { return FWrapText; }
  void SetWrapText(bool Value);
  void Assign(TPersistent* Source) override;

 private:
  void Changed();
  TCustomListView* FOwner;
  TIconArrangement FArrangement = iaTop;
  bool FAutoArrange = false;
  bool FWrapText = true;
};

// ---- columns ----

class TListColumn : public TCollectionItem {
 public:
  explicit TListColumn(TCollection* Collection);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The column takes the width of its widest text whenever items change.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  void Assign(TPersistent* Source) override;

 protected:
  std::string GetDisplayName() const override;

 private:
  friend class TCustomListView;
  std::string FCaption;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  int FImageIndex = -1;
  int FTag = 0;
};

class TListColumns : public TCollection {
 public:
  explicit TListColumns(TCustomListView* AOwner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TCustomListView* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomListView* FOwner;
};

// ---- items ----

class TListItem : public TPersistent {
 public:
  explicit TListItem(TListItems* AOwner);
  ~TListItem() override;

  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  // The texts of the report view's further columns.
  TStrings* SubItems() const { return FSubItems.get(); }
  void SetSubItems(TStrings* Value) { FSubItems->Assign(Value); }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int Value);
  int OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  int Index() const { return FIndex; }
  // The check box of a list with Checkboxes (the state image 2).
  bool Checked() const;
  void SetChecked(bool Value);

  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);
  bool Cut() const;
  void SetCut(bool Value);
  bool DropTarget() const;
  void SetDropTarget(bool Value);
  // The top-left corner of the item's icon cell in the icon views (client coordinates).
  TPoint Position() const;
  void SetPosition(TPoint Value);

  void Delete();
  void MakeVisible(bool PartialOK = false);
  TRect DisplayRect(TDisplayCode Code) const;
  // Starts label editing; false when the list refused.
  bool EditCaption();
  void CancelEdit();
  void Assign(TPersistent* Source) override;

 private:
  friend class TListItems;
  friend class TCustomListView;
  void Changed(TItemChange Change);

  TListItems* FOwner;
  std::string FCaption;
  std::unique_ptr<TStringList> FSubItems;
  int FImageIndex = -1;
  int FStateIndex = -1;
  int FOverlayIndex = -1;
  void* FData = nullptr;
  int FIndex = -1;
  UINT FState = 0;  // LVIS_* bits (of a stored item; virtual items keep theirs in the list)
};

class TListItems : public TPersistent {
 public:
  explicit TListItems(TCustomListView* AOwner);
  ~TListItems() override;

  TCustomListView* Owner() const { return FOwner; }
  int Count() const;
  // A virtual list (OwnerData) has as many items as it is told.
  void SetCount(int Value);
  // A virtual item is filled by OnData each time it is asked for; the object is reused.
  TListItem* Item(int Index) const;
  TListItem* operator[](int Index) const { return Item(Index); }
  TListItem* Add();
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int IndexOf(const TListItem* Value) const;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  void Assign(TPersistent* Source) override;

 private:
  friend class TListItem;
  friend class TCustomListView;
  void Renumber(int From);

  TCustomListView* FOwner;
  std::vector<std::unique_ptr<TListItem>> FItems;
  std::unique_ptr<TListItem> FTemp;  // the virtual item handed out
  int FUpdateCount = 0;
};

// ---- TCustomListView ----

class TCustomListView : public TWinControl {
 public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListItems* Items() const { return FListItems.get(); }
  void SetItems(TListItems* Value) { FListItems->Assign(Value); }
  TListColumns* Columns() const { return FListColumns.get(); }
  void SetColumns(TListColumns* Value) { FListColumns->Assign(Value); }
  TListColumn* Column(int Index) const { return FListColumns->Items(Index); }
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The header window of the report view (nullptr without a window).
  HWND HeaderHandle() const { return FHeader; }

  TViewStyle ViewStyle() const { return FViewStyle; }
  virtual void SetViewStyle(TViewStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool ColumnClick() const { return FColumnClick; }
  void SetColumnClick(bool Value) { FColumnClick = Value; }
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool Value);
  bool GridLines() const { return FGridLines; }
  void SetGridLines(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool OwnerData() const { return FOwnerData; }
  void SetOwnerData(bool Value);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int Value) { FAllocBy = Value; }
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);
  // A check box before each item (not in the icon view's large icons): a click on it or Space
  // toggles the focused item's state image between 1 and 2.
  bool Checkboxes() const { return FCheckboxes; }
  void SetCheckboxes(bool Value);
  TIconOptions* IconOptions() const { return FIconOptions.get(); }
  void SetIconOptions(TIconOptions* Value) { FIconOptions->Assign(Value); }

  // The text shown in a column of item Index (0 the caption): the stored text, or the
  // handler's answer for LPSTR_TEXTCALLBACK.
  std::string ItemText(int Index, int Column);

  // ---- selection ----
  // The first selected item.
  TListItem* Selected();
  void SetSelected(TListItem* Value);
  TListItem* ItemFocused();
  void SetItemFocused(TListItem* Value);
  int SelCount();
  void SelectAll();
  void ClearSelection();
  // The next item after StartItem (nullptr: from the start) in the direction that has all
  // of States.
  TListItem* GetNextItem(TListItem* StartItem, TSearchDirection Direction, TItemStates States);
  TListItem* GetItemAt(int X, int Y);
  TListItem* GetNearestItem(TPoint Point, TSearchDirection Direction);
  TListItem* TopItem();
  int VisibleRowCount();
  // Scrolls by DX, DY pixels (rows for the report view's vertical direction are whole rows).
  void Scroll(int DX, int DY);
  // Lays the items of the icon views out in rows again.
  void Arrange();
  bool IsEditing() const { return FEditItem >= 0; }
  // The caption editor while a caption is being edited (from LVN_BEGINLABELEDIT on), else nullptr.
  TCustomEdit* EditControl() const;
  bool AlphaSort();
  bool CustomSort(const TLVCompare& SortProc, LPARAM Data);
  void UpdateItems(int FirstIndex, int LastIndex);

  // ---- events ----
  TLVSelectItemEvent OnSelectItem;
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVOwnerDataEvent OnData;
  TLVInfoTipEvent OnInfoTip;
  TLVCustomDrawEvent OnCustomDraw;
  TLVCustomDrawItemEvent OnCustomDrawItem;
  TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

 protected:
  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void WMPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  // The reflected notifications (see the top of this file).
  virtual void CNNotify(TMessage& Message);
  // WM_NOTIFY from the header.
  virtual void HeaderNotify(TMessage& Message);

  virtual bool CanChange(TListItem* Item, TItemChange Change);
  virtual void Change(TListItem* Item, TItemChange Change);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void ColClick(TListColumn* Column);
  virtual bool CanEdit(TListItem* Item);
  // The end of caption editing: Text is the new caption, none when it was cancelled.
  virtual void Edit(TListItem* Item, const std::optional<std::string>& Text);
  virtual void Delete(TListItem* Item);
  virtual void InsertItem(TListItem* Item);
  // Fills a virtual item (OnData); false when nothing filled it.
  virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
  virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
  virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
  virtual bool CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage);
  virtual bool CustomDrawSubItem(TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage);

 private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  friend class TIconOptions;

  // The state bits of an item by index, and changing them through the notifications.
  UINT StateOf(int Index) const;
  bool SetItemState(int Index, UINT Mask, UINT State);
  void SelectOnly(int Index);
  void SelectRange(int From, int To, bool Keep);
  void FocusItem(int Index);
  void StatesInserted(int Index);
  void StatesDeleted(int Index);

  // Layout.
  void ItemsChanged();
  void ItemChanged(int Index);
  int RowHeight();
  int TextHeight();
  int MeasureText(const std::string& S);
  TSize IconCell();
  int ListColumnWidth();
  int RowsPerColumn();
  int PerRow();
  int HeaderHeight();
  TRect ItemArea();
  TRect ItemBounds(int Index);
  TRect ItemRect(int Index, TDisplayCode Code);
  TRect IconRect(int Index);
  int ItemAt(TPoint P, bool OnItemOnly);
  TSize ContentSize();
  void UpdateScrollBars();
  void SetScroll(int X, int Y);
  void EnsureVisible(int Index, bool PartialOK);
  void LayoutHeader();
  void SyncHeader();
  void ColumnsChanged();
  void SizeColumnToFit(int Column);
  int ColumnLeft(int Column);
  int TotalColumnWidth();
  void ColumnWidthFromHeader(int Column, int Width);
  void SortNow(const std::function<int(TListItem*, TListItem*)>& Compare);
  int CompareForSort(TListItem* A, TListItem* B);
  void SortNew();
  void ImageListChange(TObject* Sender);
  TCustomImageList* ViewImages() const;

  // Behaviour.
  void HandleKey(TMessage& Message);
  void HandleChar(TMessage& Message);
  void HandleScroll(TMessage& Message, int Bar);
  void HandleLButtonDown(TMessage& Message, bool Double);
  void HandleRButtonDown(TMessage& Message);
  void HandleMouseMove(TMessage& Message);
  void HandleLButtonUp(TMessage& Message);
  void HandleRButtonUp(TMessage& Message);
  void MoveFocusTo(int Index, TShiftState Shift);
  int Neighbour(int Index, TSearchDirection Direction);
  void BeginEdit(int Index);
  void FinishEdit(bool Cancel);
  // Keeps the editor over its item's label.
  void PlaceEditor();
  LRESULT Notify(UINT Code, int Item, int SubItem = 0);

  // Painting.
  TCustomDrawState ItemDrawState(int Index);
  void DrawItem(int Index, const TRect& Client);
  void DrawText(const std::string& S, TRect R, TAlignment Alignment);

  std::unique_ptr<TListItems> FListItems;
  std::unique_ptr<TListColumns> FListColumns;
  std::unique_ptr<TIconOptions> FIconOptions;
  bool FCheckboxes = false;
  TRect CheckRect(int Index);
  // ItemText of an item in hand (while sorting, the places are not yet renumbered).
  std::string TextOf(TListItem* Item, int Column);
  void ToggleCheck(int Index);
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TChangeLink> FLargeChangeLink;
  std::unique_ptr<TChangeLink> FSmallChangeLink;
  std::unique_ptr<TChangeLink> FStateChangeLink;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FSmallImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  HWND FHeader = nullptr;
  HDC FMeasureDC = nullptr;
  std::vector<UINT> FVirtualStates;  // the state bits of a virtual list's items
  int FVirtualCount = 0;
  std::vector<TPoint> FPositions;     // positions set by hand in the icon views (x < 0: none)
  int FScrollX = 0;
  int FScrollY = 0;  // rows in the report and list views' vertical direction, pixels else
  bool FUpdatingScrollBars = false;
  bool FSyncingHeader = false;
  int FAnchor = -1;
  int FPressItem = -1;
  TPoint FPressPos;
  bool FPressRight = false;
  bool FEditPending = false;
  int FHotItem = -1;
  int FEditItem = -1;
  controls::TLabelEdit* FEditor = nullptr;  // made on first use; a child, freed with the list
  controls::TTypeAhead FSearch;

  TViewStyle FViewStyle = vsIcon;
  TBorderStyle FBorderStyle = bsSingle;
  bool FMultiSelect = false;
  bool FRowSelect = false;
  bool FHideSelection = true;
  bool FReadOnly = false;
  bool FColumnClick = true;
  bool FShowColumnHeaders = true;
  bool FGridLines = false;
  bool FHotTrack = false;
  bool FOwnerData = false;
  TSortType FSortType = stNone;
  int FAllocBy = 0;
};

class TListView : public TCustomListView {
 public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};
