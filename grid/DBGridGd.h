#pragma once
// The data grid: TCustomDBGridGd shows the records of its data source's dataset on the
// platform's TCustomGrid, one column object (TColumnGd) per data column. The grid follows the
// dataset through its own data link (TGridDataLinkGd): the link's buffer window holds exactly
// the records that fit, every structural change runs through one layout pass, and a move of
// the dataset scrolls the window contents. Cells are painted with the application's row
// colours and handed to OnDrawColumnCell; selected records are kept as bookmarks
// (SelectedRows, a TBookmarkListGd) and the grid keeps one multi-selection at a time
// (TDBGridGdSelection: rows, a cell rectangle, columns or everything). TDBGridGd publishes it.
//
// The source is split by concern: DBGridGd.cpp (construction, options, properties),
// DBGridGdColumns.cpp (the column model), DBGridGdLayout.cpp (the data link and the layout
// pass), DBGridGdPaint.cpp (cell painting), DBGridGdSelection.cpp (selected rows and the
// grid selection), DBGridGdInput.cpp (keys and mouse), DBGridGdScroll.cpp (scroll bars, the
// wheel and the auto-scroll), DBGridGdTips.cpp (tool-tips, the incremental search and the
// screen position), DBGridGdTitles.cpp (sort markers and the header tree of multi-line
// titles), DBGridGdFooters.cpp (footers, their aggregates and the sum list) and
// DBGridGdTitlePaint.cpp (raised cells, pressed and grouped titles).
#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/DBSumLst.h"
#include "platform/classes/Collection.h"
#include "platform/classes/StringList.h"
#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/StdLabels.h"
#include "platform/data/DataLink.h"
#include "platform/graphics/ImgList.h"

class TCustomDBGridGd;
class TDBGridGdStyle;
class TColumnGd;
class TDBGridColumnGd;

enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;
inline constexpr TDBGridOptions DBGridOptionsDefault{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                                                     dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
enum TDBGridGdOption {
  dghFixed3D,
  dghFrozen3D,
  dghFooter3D,
  dghData3D,
  dghResizeWholeRightPart,
  dghHighlightFocus,
  dghClearSelection,
  dghFitRowHeightToText,
  dghAutoSortMarking,
  dghMultiSortMarking,
  dghEnterAsTab,
  dghTraceColSizing,
  dghIncSearch,
  dghPreferIncSearch,
  dghRowHighlight,
  dghDblClickOptimizeColWidth,
  dghDialogFind,
  dghRecordMoving
};
using TDBGridGdOptions = TSet<TDBGridGdOption>;
inline constexpr TDBGridGdOptions DBGridGdOptionsDefault{dghFixed3D, dghHighlightFocus, dghClearSelection,
                                                         dghDialogFind};
enum TFooterValueType { fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText };
enum TScrollBarVisibleModeGd { sbAlwaysShowGd, sbNeverShowGd, sbAutoShowGd };
enum TSortMarkerGd { smNoneGd, smDownGd, smUpGd };
enum TTextOrientationGd { tohHorizontal, tohVertical };
enum TColumnCellKind { ckPlain, ckPickList, ckLookupField, ckKeyPickList, ckImage, ckCheckbox };
enum TColumnsStateGd { cstDefaultColumns, cstCustomColumns };
enum TDBGridGdSelectionType { gstNon, gstRecordBookmarks, gstRectangle, gstColumns, gstAll };
using TDBGridGdAllowedSelections = TSet<TDBGridGdSelectionType>;
inline constexpr TDBGridGdAllowedSelections AllowedSelectionsDefault{gstRecordBookmarks, gstRectangle, gstColumns,
                                                                     gstAll};
const classes::TEnumInfo& EnumInfo(TDBGridOption);
const classes::TEnumInfo& EnumInfo(TDBGridGdOption);
const classes::TEnumInfo& EnumInfo(TFooterValueType);
const classes::TEnumInfo& EnumInfo(TScrollBarVisibleModeGd);
const classes::TEnumInfo& EnumInfo(TSortMarkerGd);
const classes::TEnumInfo& EnumInfo(TTextOrientationGd);
const classes::TEnumInfo& EnumInfo(TDBGridGdSelectionType);

// The grid's own message: run the layout pass that was put off (at most one is queued).
inline constexpr UINT WM_DEFERREDLAYOUTGD = WM_USER + 100;
// The width of the indicator column.
inline constexpr int IndicatorWidthGd = 11;

using TDrawColumnCellEventGd =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State)>;
using TDrawDataCellEventGd =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TGetCellParamsEventGd =
    std::function<void(TObject* Sender, TColumnGd* Column, TFont* AFont, TColor& Background, TGridDrawState State)>;
using TDBGridClickEventGd = std::function<void(TColumnGd* Column)>;
using TMovedEventGd = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TDBSumListEventGd = std::function<void(TObject* Sender)>;
class THeadTreeNode;

// The values a cell is painted with; the grid keeps one and reuses it for every cell.
struct TColCellParamsGd {
  int Col = -1;
  int Row = -1;
  TGridDrawState State;
  TFont* Font = nullptr;
  TColor Background = clWindow;
  TAlignment Alignment = taLeftJustify;
  int ImageIndex = -1;
  std::string Text;
  TCheckBoxState CheckboxState = cbUnchecked;
  bool ReadOnly = false;
};
using TGetColCellParamsEventGd = std::function<void(TObject* Sender, bool EditMode, TColCellParamsGd* Params)>;

// ---- grid-wide column defaults ----

class TColumnTitleDefValuesGd : public TPersistent {
 public:
  explicit TColumnTitleDefValuesGd(TCustomDBGridGd* Grid) : FGrid(Grid) {}
  void Assign(TPersistent* Source) override;
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const { return FAlignmentAssigned; }
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const { return FColorAssigned; }
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value) { Store(FEndEllipsis, Value); }
  bool TitleButton() const { return FTitleButton; }
  void SetTitleButton(bool Value) { Store(FTitleButton, Value); }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }

 private:
  void Store(bool& Field, bool Value);
  TCustomDBGridGd* FGrid;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clBtnFace;
  bool FAlignmentAssigned = false;
  bool FColorAssigned = false;
  bool FEndEllipsis = false;
  bool FTitleButton = false;
  bool FToolTips = false;
};

// The footers' grid-wide defaults.
class TColumnFooterDefValuesGd : public TPersistent {
 public:
  void Assign(TPersistent* Source) override;
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }

 private:
  bool FToolTips = false;
};

class TDBGridGdColumnDefValuesGd : public TPersistent {
 public:
  explicit TDBGridGdColumnDefValuesGd(TCustomDBGridGd* Grid);
  ~TDBGridGdColumnDefValuesGd() override;
  // Copies all but Layout, HighlightRequired and Footer.
  void Assign(TPersistent* Source) override;
  bool AlwaysShowEditButton() const { return FAlwaysShowEditButton; }
  void SetAlwaysShowEditButton(bool Value) { Store(FAlwaysShowEditButton, Value); }
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  bool DblClickNextVal() const { return FDblClickNextVal; }
  void SetDblClickNextVal(bool Value) { FDblClickNextVal = Value; }
  bool DropDownShowTitles() const { return FDropDownShowTitles; }
  void SetDropDownShowTitles(bool Value) { FDropDownShowTitles = Value; }
  bool DropDownSizing() const { return FDropDownSizing; }
  void SetDropDownSizing(bool Value) { FDropDownSizing = Value; }
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value) { Store(FEndEllipsis, Value); }
  bool HighlightRequired() const { return FHighlightRequired; }
  void SetHighlightRequired(bool Value) { Store(FHighlightRequired, Value); }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  TColumnTitleDefValuesGd* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleDefValuesGd* Value) { FTitle->Assign(Value); }
  // the footer defaults
  TColumnFooterDefValuesGd* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterDefValuesGd* Value) { FFooter->Assign(Value); }

 private:
  void Store(bool& Field, bool Value);
  std::unique_ptr<TColumnFooterDefValuesGd> FFooter = std::make_unique<TColumnFooterDefValuesGd>();
  TCustomDBGridGd* FGrid;
  bool FAlwaysShowEditButton = false;
  bool FAutoDropDown = false;
  bool FDblClickNextVal = false;
  bool FDropDownShowTitles = false;
  bool FDropDownSizing = false;
  bool FEndEllipsis = false;
  bool FHighlightRequired = false;
  bool FToolTips = false;
  TTextLayout FLayout = tlTop;
  std::unique_ptr<TColumnTitleDefValuesGd> FTitle;
};

// ---- column parts ----

// Which of a column's properties were given a value (the rest follow their defaults).
enum TColumnGdValue {
  cvColor,
  cvWidth,
  cvFont,
  cvAlignment,
  cvReadOnly,
  cvTitleColor,
  cvTitleCaption,
  cvTitleAlignment,
  cvTitleFont,
  cvTitleButton,
  cvTitleEndEllipsis,
  cvTitleToolTips,
  cvTitleOrientation,
  cvImeMode,
  cvImeName,
  cvWordWrap,
  cvLookupDisplayFields,
  cvCheckboxes,
  cvAlwaysShowEditButton,
  cvEndEllipsis,
  cvAutoDropDown,
  cvDblClickNextVal,
  cvToolTips,
  cvDropDownSizing,
  cvDropDownShowTitles,
  cvLayout,
  cvHighlightRequired,
  cvBiDiMode
};
using TColumnGdValues = std::bitset<28>;

class TColumnTitleGd : public TPersistent {
 public:
  explicit TColumnTitleGd(TColumnGd* Column);
  ~TColumnTitleGd() override;
  void Assign(TPersistent* Source) override;
  TColumnGd* Column() const { return FColumn; }
  // The stored caption, else the field's display label.
  std::string Caption() const;
  void SetCaption(const std::string& Value);
  bool IsCaptionStored() const;
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const;
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const;
  // The own font once assigned, else a copy of the grid's TitleFont.
  TFont* Font() const;
  void SetFont(TFont* Value) { Font()->Assign(Value); }
  bool IsFontStored() const;
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  bool TitleButton() const;
  void SetTitleButton(bool Value);
  // sort markers, image, hint and orientation
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TTextOrientationGd Orientation() const;
  void SetOrientation(TTextOrientationGd Value);
  bool ToolTips() const;
  void SetToolTips(bool Value);
  TSortMarkerGd SortMarker() const { return FSortMarker; }
  // Keeps the grid's sort order: with multi-sort marking a new marker joins the order at its
  // end and a removed one closes the gap; without it, one column at a time is marked.
  void SetSortMarker(TSortMarkerGd Value);
  // The column's place in the sort order (1..N), 0 outside it.
  int SortIndex() const { return FSortIndex; }
  // Exchanges places with the marked column that holds Value (none: nothing changes).
  void SetSortIndex(int Value);
  // The next marker in the cycle none, down, up (up goes to none when KeepOthers, else down).
  void ToggleSortMarker(bool KeepOthers);
  // The width the marker (and the index beside it, when several columns are marked) takes.
  int SortMarkerAreaWidth() const;
  // Clears every assigned title property.
  void ResetToDefaults();
  // The font the title follows while its own is not assigned.
  TFont* DefaultFont() const;
  // Copies the default font into the own one when not assigned (no change report).
  void RefreshDefaultFont() const;

 private:
  bool Assigned(TColumnGdValue V) const;
  void Flag(TColumnGdValue V);
  // The own value once assigned, else the grid's title default (Fallback without a grid); and
  // whether an assigned value differs from that default, so that only then it is stored.
  template <typename T>
  T Defaulted(TColumnGdValue V, const T& Own, T (TColumnTitleDefValuesGd::*Default)() const, T Fallback) const;
  template <typename T>
  bool DefaultedStored(TColumnGdValue V, const T& Own, T (TColumnTitleDefValuesGd::*Default)() const) const;
  TColumnGd* FColumn;
  std::string FCaption;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clBtnFace;
  bool FEndEllipsis = false;
  bool FTitleButton = false;
  std::unique_ptr<TFont> FFont;
  bool FRefreshing = false;
  // sort markers, image, hint and orientation
  std::string FHint;
  int FImageIndex = -1;
  TTextOrientationGd FOrientation = tohHorizontal;
  bool FToolTips = false;
  TSortMarkerGd FSortMarker = smNoneGd;
  int FSortIndex = 0;
};

// ---- the header tree of multi-line titles ----

// One node of the header tree: a leaf per column whose caption is split at "|" into levels;
// adjacent columns whose captions start with the same word share a group node above them.
// Siblings form a ring (the last points back to the first); the root has no parent.
class THeadTreeNode {
 public:
  THeadTreeNode() { Next = this; }
  THeadTreeNode(const std::string& AText, int AWidth, int AHeight);
  ~THeadTreeNode();
  THeadTreeNode(const THeadTreeNode&) = delete;
  THeadTreeNode& operator=(const THeadTreeNode&) = delete;
  // Adds a node after After in its ring; "Node not in Tree" when After is not below this.
  THeadTreeNode* AddSibling(THeadTreeNode* After, const std::string& AText, int AWidth, int AHeight);
  // Adds a node at the end of Parent's children; "Node not in Tree" likewise.
  THeadTreeNode* AddLastChild(THeadTreeNode* Parent, const std::string& AText, int AWidth, int AHeight);
  void FreeChildren();
  // Whether Node is this one or below it.
  bool Contains(const THeadTreeNode* Node) const;
  // The depth of Node below this one (a child is 1), -1 when it is not below.
  int NodeLevel(const THeadTreeNode* Node) const;
  // Puts a new node of height H over the run From..To (one ring), shrinking them by H.
  void InsertGroupNode(THeadTreeNode* From, THeadTreeNode* To, int H, const std::string& AText);
  // Every node below this one, depth first, each before its children.
  void ForEachNode(const std::function<void(THeadTreeNode*)>& Proc);
  bool IsLeaf() const { return Child == nullptr; }

  THeadTreeNode* Host = nullptr;   // the parent
  THeadTreeNode* Child = nullptr;  // the first child
  THeadTreeNode* Next = nullptr;   // the next sibling in the ring
  std::string Text;
  int Height = 0;
  int Width = 0;
  int WIndent = 0;  // the line width: 1 with column lines, else 0
  TColumnGd* Column = nullptr;
  int MarkerIndent = 0;
};

// Words of Text separated by any of the single-byte Delims (multi-byte characters never
// split); leading and doubled delimiters make no empty words. 1-based positions, 0 for none.
int WordStartPos(int N, const std::string& Text, const std::string& Delims);
std::string WordAt(int N, const std::string& Text, const std::string& Delims);
std::string WordAndPosAt(int N, const std::string& Text, const std::string& Delims, int& Pos);
// Builds Root's tree from the grid's columns: one leaf per column, then group nodes over runs
// of adjacent leaves whose texts start with the same word, until nothing more groups.
void BuildTitleTree(THeadTreeNode* Root, TCustomDBGridGd* Grid, std::vector<THeadTreeNode*>& Leaves);

// What one footer cell of a column shows and how (a column has one Footer and a Footers
// collection for grids with several footer rows). A sum, average or count footer keeps its
// aggregate (a TDBSum) in the grid's sum list.
class TColumnFooterGd : public TCollectionItem {
 public:
  // An item of a column's Footers.
  explicit TColumnFooterGd(TCollection* Collection);
  // A column's own Footer (in no collection).
  explicit TColumnFooterGd(TColumnGd* Column);
  ~TColumnFooterGd() override;
  // Copies Alignment, Color and Font where the source assigned them, then the rest.
  void Assign(TPersistent* Source) override;
  TColumnGd* Column() const { return FColumn; }
  TFooterValueType ValueType() const { return FValueType; }
  void SetValueType(TFooterValueType Value);
  // The own value once assigned, else the column field's alignment.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const { return Assigned(fvAlignment); }
  // The own value once assigned, else the grid's FooterColor.
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const { return Assigned(fvColor); }
  // The own font once assigned, else a copy of the grid's FooterFont.
  TFont* Font() const;
  void SetFont(TFont* Value) { Font()->Assign(Value); }
  bool IsFontStored() const { return Assigned(fvFont); }
  bool ToolTips() const;
  void SetToolTips(bool Value);
  bool IsToolTipsStored() const { return Assigned(fvToolTips) && FToolTips; }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  const std::string& Value() const { return FValue; }
  void SetValue(const std::string& Value);
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Clears the assigned properties.
  void ResetToDefaults();
  // Makes, updates or frees the aggregate the value type asks for in the grid's sum list.
  void SyncSum();
  // Its aggregate in the grid's sum list, or nil.
  TDBSum* Sum() const;
  // The font the footer follows while its own is not assigned.
  TFont* DefaultFont() const;

 private:
  enum TFooterValue { fvAlignment = 1, fvFont = 2, fvColor = 4, fvToolTips = 8 };
  bool Assigned(TFooterValue V) const { return (FAssigned & V) != 0; }
  void Flag(TFooterValue V) { FAssigned |= V; }
  void Init();
  void RefreshDefaultFont() const;
  void FreeSum();
  void Changed(bool AllItems = false);
  TCustomDBGridGd* Grid() const;
  TColumnGd* FColumn = nullptr;
  int FAssigned = 0;
  TFooterValueType FValueType = fvtNon;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  bool FFontRefreshing = false;
  bool FToolTips = false;
  std::string FFieldName;
  std::string FValue;
  std::string FDisplayFormat;
  bool FEndEllipsis = false;
  bool FWordWrap = false;
  int FSumID = -1;  // the aggregate's item ID in the grid's sum collection
};

// A column's footers for grids with several footer rows.
class TColumnFootersGd : public TCollection {
 public:
  explicit TColumnFootersGd(TColumnGd* Column);
  ~TColumnFootersGd() override;
  TColumnGd* Column() const { return FColumn; }
  TColumnFooterGd* Items(int Index) const { return static_cast<TColumnFooterGd*>(TCollection::Items(Index)); }
  TColumnFooterGd* Add() { return static_cast<TColumnFooterGd*>(TCollection::Add()); }
  TPersistent* GetOwner() const override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TColumnGd* FColumn;
};

// ---- columns ----

class TColumnGd : public TCollectionItem {
 public:
  explicit TColumnGd(TCollection* Collection);
  ~TColumnGd() override;
  void Assign(TPersistent* Source) override;
  void SetIndex(int Value) override;
  std::string GetDisplayName() const override;

  TCustomDBGridGd* Grid() const;
  const TColumnGdValues& AssignedFlags() const { return FAssigned; }
  bool Assigned(TColumnGdValue V) const { return FAssigned.test(V); }
  // False for a column the grid made from a field.
  bool Stored() const { return FStored; }
  bool IsDefaultColumn() const { return !FStored; }
  // The field a default column of an active grid changes in place of itself (none otherwise).
  TField* FieldOfDefaultColumn() const;
  int InitialWidth() const { return FInitialWidth; }
  void SetInitialWidth(int Value) { FInitialWidth = Value; }

  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  // The field of the grid's dataset this column shows (found by name when first asked), or nil.
  TField* Field() const;
  // Binds the column to F (nil unbinds).
  void BindField(TField* F);

  int Width() const;
  void SetWidth(int Value);
  bool IsWidthStored() const;
  // The width a field's display width asks for in the column font, or the grid's default.
  int DefaultWidth() const;
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value);
  // W within MinWidth and MaxWidth (MinWidth wins).
  int ClampWidth(int W) const;
  bool AutoFitColWidth() const { return FAutoFitColWidth; }
  void SetAutoFitColWidth(bool Value);

  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool IsAlignmentStored() const;
  TColor Color() const;
  void SetColor(TColor Value);
  bool IsColorStored() const;
  TFont* Font() const;
  void SetFont(TFont* Value) { Font()->Assign(Value); }
  bool IsFontStored() const { return Assigned(cvFont); }
  TFont* DefaultFont() const;
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  bool IsReadOnlyStored() const;
  bool WordWrap() const;
  void SetWordWrap(bool Value);
  bool IsWordWrapStored() const;
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  bool IsEndEllipsisStored() const;
  bool Checkboxes() const;
  void SetCheckboxes(bool Value);
  bool IsCheckboxesStored() const { return Assigned(cvCheckboxes); }
  TTextLayout Layout() const;
  void SetLayout(TTextLayout Value);
  bool IsLayoutStored() const;
  bool AlwaysShowEditButton() const;
  void SetAlwaysShowEditButton(bool Value);
  bool IsAlwaysShowEditButtonStored() const;
  bool HighlightRequired() const;
  void SetHighlightRequired(bool Value);
  bool IsHighlightRequiredStored() const;
  bool ToolTips() const;
  void SetToolTips(bool Value);
  bool IsToolTipsStored() const;
  bool DblClickNextVal() const;
  void SetDblClickNextVal(bool Value);
  bool IsDblClickNextValStored() const;
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value);
  bool HideDuplicates() const { return FHideDuplicates; }
  void SetHideDuplicates(bool Value);
  bool ShowImageAndText() const { return FShowImageAndText; }
  void SetShowImageAndText(bool Value);
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  // Created on first read.
  TStrings* KeyList() const;
  void SetKeyList(TStrings* Value);
  TStrings* PickList() const;
  void SetPickList(TStrings* Value);
  int NotInKeyListIndex() const { return FNotInKeyListIndex; }
  void SetNotInKeyListIndex(int Value);
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value) { FIncrement = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  TColumnTitleGd* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleGd* Value) { FTitle->Assign(Value); }
  TColumnFooterGd* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterGd* Value) { FFooter->Assign(Value); }
  // footers
  TColumnFootersGd* Footers() const { return FFooters.get(); }
  void SetFooters(TColumnFootersGd* Value) { FFooters->Assign(Value); }
  // Footers[Row] while there are that many, else Footer.
  TColumnFooterGd* FooterForRow(int Row) const;
  // Brings the aggregates of Footer and every item of Footers in line with their value types.
  void SyncFooterSums();

  // ---- what a cell shows ----
  TColumnCellKind CellKind() const;
  // The text the cell of the dataset's current record shows.
  std::string CellDisplayText() const;
  TCheckBoxState ReadCheckState() const;
  void WriteCheckState(TCheckBoxState Value);
  int CellImageIndex() const;
  // Writes an edited value: as text when UseText, else as a value. OnUpdateData may take over.
  void WriteCellValue(const std::string& Text, const Variant& Value, bool UseText);
  // Steps a check box, image or list cell (or a number) forward (Delta 1) or backward.
  void StepCellValue(int Delta);
  bool CanModifyCell(bool TryEdit);
  // Width taken at the right of the cell by edit buttons (none yet).
  int EditButtonsWidth() const { return 0; }
  void FillCellParams(TColCellParamsGd& Params) const;
  void GetColCellParams(bool EditMode, TColCellParamsGd& Params);
  // Clears every assigned property.
  void ResetToDefaults();
  // Tells the collection that the column changed.
  void ColumnChanged(bool AllItems = false);

  TGetColCellParamsEventGd OnGetCellParams;
  std::function<void(TColumnGd* Sender, std::string& Text, Variant& Value, bool& UseText, bool& Handled)> OnUpdateData;

 protected:
  friend class TDBGridColumnsGd;
  friend class TColumnTitleGd;
  friend class TCustomDBGridGd;
  void Flag(TColumnGdValue V) { FAssigned.set(V); }
  void Unflag(TColumnGdValue V) { FAssigned.reset(V); }
  // Stores and flags a property with a default; false when it was assigned that value already.
  template <class T>
  bool StoreFlagged(T& Field, const T& Value, TColumnGdValue V) {
    if (Assigned(V) && Field == Value) return false;
    Field = Value;
    Flag(V);
    return true;
  }
  void FontChanged();
  void RefreshDefaultFont() const;
  using TDefValue = bool (TDBGridGdColumnDefValuesGd::*)() const;
  bool DefaultedBool(TColumnGdValue V, bool Own, TDefValue Default) const;
  bool DefaultedBoolStored(TColumnGdValue V, bool Own, TDefValue Default) const;
  TDataSet* GridDataSet() const;
  bool GridLoading() const;

 private:
  bool FStored = true;
  TColumnGdValues FAssigned;
  std::string FFieldName;
  mutable TField* FField = nullptr;
  int FWidth = 64;
  int FInitialWidth = 64;
  int FMinWidth = 0;
  int FMaxWidth = 0;
  bool FAutoFitColWidth = true;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  bool FFontRefreshing = false;
  bool FReadOnly = false;
  bool FWordWrap = false;
  bool FEndEllipsis = false;
  bool FCheckboxes = false;
  TTextLayout FLayout = tlTop;
  bool FAlwaysShowEditButton = false;
  bool FHighlightRequired = false;
  bool FToolTips = false;
  bool FDblClickNextVal = false;
  bool FVisible = true;
  std::string FDisplayFormat;
  std::string FEditMask;
  bool FHideDuplicates = false;
  bool FShowImageAndText = false;
  TCustomImageList* FImageList = nullptr;
  mutable std::unique_ptr<TStringList> FKeyList;
  mutable std::unique_ptr<TStringList> FPickList;
  int FNotInKeyListIndex = -1;
  double FIncrement = 1;
  TPopupMenu* FPopupMenu = nullptr;
  int FTag = 0;
  std::unique_ptr<TColumnTitleGd> FTitle;
  std::unique_ptr<TColumnFooterGd> FFooter;
  std::unique_ptr<TColumnFootersGd> FFooters;
};

class TDBGridColumnGd : public TColumnGd {
 public:
  explicit TDBGridColumnGd(TCollection* Collection) : TColumnGd(Collection) {}
};

class TDBGridColumnsGd : public TCollection {
 public:
  explicit TDBGridColumnsGd(TCustomDBGridGd* Grid);
  TCustomDBGridGd* Grid() const { return FGrid; }
  TDBGridColumnGd* Items(int Index) const { return static_cast<TDBGridColumnGd*>(TCollection::Items(Index)); }
  TDBGridColumnGd* Add() { return static_cast<TDBGridColumnGd*>(TCollection::Add()); }
  // A column the grid makes from a field: not stored, follows the field.
  TDBGridColumnGd* AddDefaultColumn(TField* Field);
  TColumnsStateGd State() const;
  TPersistent* GetOwner() const override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomDBGridGd* FGrid;
};

// A list of columns that does not own them.
using TColumnsGdList = std::vector<TColumnGd*>;

// ---- the data link ----

class TGridDataLinkGd : public TDataLink {
 public:
  explicit TGridDataLinkGd(TCustomDBGridGd* Grid);
  ~TGridDataLinkGd() override;
  TCustomDBGridGd* Grid() const { return FGrid; }
  void ClearMapping();
  bool AppendFieldToMap(const std::string& FieldName);
  // The field shown at map position Index, or nil.
  TField* GetMappedField(int Index) const;
  int FieldMapCount() const { return static_cast<int>(FFieldMap.size()); }
  int FieldMapCapacity() const { return FFieldMapCapacity; }
  bool UsesDefaultFields() const;
  void MarkModified() { FEditorHoldsModification = true; }
  void Reset();
  bool MapFromColumns() const { return FMapFromColumns; }
  void SetMapFromColumns(bool Value) { FMapFromColumns = Value; }
  // The largest number of map entries (the map refuses more).
  static constexpr int MaxMapSize = 0x0FFFFFFF;
  // Lowers the map's limit for a test of the overflow.
  void SetMapLimitForTest(int Value) { FMapLimit = Value; }

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  TCustomDBGridGd* FGrid;
  std::vector<int> FFieldMap;
  int FFieldMapCapacity = 0;
  int FMapLimit = MaxMapSize;
  bool FMapFromColumns = false;
  bool FEditorHoldsModification = false;
  bool FInUpdateData = false;
};

// ---- selected rows and the grid selection ----

class TBookmarkListGd {
 public:
  explicit TBookmarkListGd(TCustomDBGridGd* Grid);
  ~TBookmarkListGd();
  TBookmarkListGd(const TBookmarkListGd&) = delete;
  TBookmarkListGd& operator=(const TBookmarkListGd&) = delete;

  int GetCount() const { return static_cast<int>(FBookmarks.size()); }
  int Count() const { return GetCount(); }
  // The bookmark of selected row Index (0-based), in dataset order.
  const TBookmark& GetItem(int Index) const;
  const TBookmark& Items(int Index) const { return GetItem(Index); }
  // Binary search: whether Bookmark is listed, Index its position (or where it would go).
  bool FindBookmark(const TBookmark& Bookmark, int& Index);
  int IndexOfBookmark(const TBookmark& Bookmark);
  int CompareBookmarks(const TBookmark& A, const TBookmark& B) const;
  TBookmark GetCurrentRowBookmark() const;
  bool GetCurrentRowSelected();
  bool CurrentRowSelected() { return GetCurrentRowSelected(); }
  void SetCurrentRowSelected(bool Value);
  void Clear();
  // Deletes every listed record from the dataset, the last one first.
  void Delete();
  // Lists every record of the dataset and returns to the current one.
  void SelectAll();
  void SetLinkActive(bool Value);
  bool LinkOpen() const { return FLinkOpen; }
  // The grid rows on screen holding selected records; (-1, -1, -1, -1) when none.
  TGridRect SelectedRowsGridRect();
  // How many bookmark comparisons were made (for tests of the look-up cache).
  int ComparisonCount() const { return FComparisons; }

 private:
  void ListChanged();
  TDataSet* DataSet() const;
  TCustomDBGridGd* FGrid;
  std::vector<TBookmark> FBookmarks;
  TBookmark FCachedBookmark;
  bool FCachedFound = false;
  int FCachedIndex = -1;
  bool FLinkOpen = false;
  mutable int FComparisons = 0;
};

class TDBGridGdSelection;

class TDBGridGdSelectionCols {
 public:
  explicit TDBGridGdSelectionCols(TCustomDBGridGd* Grid) : FGrid(Grid) {}
  const TColumnsGdList& Items() const { return FList; }
  int Count() const { return static_cast<int>(FList.size()); }
  bool Contains(TColumnGd* Column) const;
  void Add(TColumnGd* Column);
  void Clear();
  void MarkSelected(TColumnGd* Column, bool KeepOthers);
  void InvertSelect(TColumnGd* Column);
  void SelectShift(TColumnGd* Column);
  void Refresh();
  TGridRect SelectionScreenRect() const;
  TColumnGd* AnchorColumn() const { return FAnchorColumn; }

 private:
  void Remove(TColumnGd* Column);
  void InvalidateColumn(TColumnGd* Column);
  TDBGridGdSelection& Selection() const;
  TCustomDBGridGd* FGrid;
  TColumnsGdList FList;
  TColumnGd* FAnchorColumn = nullptr;
  TColumnGd* FShiftEndColumn = nullptr;
  TColumnsGdList FShiftChangedColumns;
};

class TDBGridGdSelectionRect {
 public:
  explicit TDBGridGdSelectionRect(TCustomDBGridGd* Grid) : FGrid(Grid) {}
  void MarkSelected(int DataCol, const TBookmark& Bookmark, bool Extend);
  void Clear();
  bool CellSelected(int DataCol, const TBookmark& Bookmark) const;
  TBookmark CornerTopRow() const;
  TBookmark GetBottomRow() const;
  int CornerLeftColumn() const;
  int CornerRightColumn() const;
  TGridRect SelectionScreenRect();
  // The client rectangle of the cells between two corners, clipped to the records shown.
  TRect BoxRect(int Col1, const TBookmark& Row1, int Col2, const TBookmark& Row2);
  bool IsValid() const;
  int AnchorCol() const { return FAnchorCol; }

 private:
  void Check(const char* Message) const;
  int Compare(const TBookmark& A, const TBookmark& B) const;
  TCustomDBGridGd* FGrid;
  int FAnchorCol = -1;
  TBookmark FAnchorBookmark;
  int FShiftColumn = -1;
  TBookmark FShiftBookmark;
};

class TDBGridGdSelection {
 public:
  explicit TDBGridGdSelection(TCustomDBGridGd* Grid);
  virtual ~TDBGridGdSelection() = default;
  TDBGridGdSelectionType SelectionType() const { return FSelectionKind; }
  TBookmarkListGd* Rows() const;
  TDBGridGdSelectionCols* Columns() { return &FColumns; }
  TDBGridGdSelectionRect* Rect() { return &FRect; }
  bool DataCellSelected(int DataCol, const TBookmark& Bookmark);
  void Clear();
  void SelectAll();
  void SetSelectionKind(TDBGridGdSelectionType Value);
  void RefreshSelectionKind();
  void DataLinkSwitched(bool Active);
  TGridRect SelectionScreenRect();
  virtual void SelectionChanged();

 private:
  TCustomDBGridGd* FGrid;
  TDBGridGdSelectionCols FColumns;
  TDBGridGdSelectionRect FRect;
  TDBGridGdSelectionType FSelectionKind = gstNon;
};

// ---- settings objects ----

// The grid's sum list: the aggregates of its sum, average and count footers over the grid's
// dataset. It is made inactive and works at design time too, where it leaves the dataset's
// events alone. The grid repaints its footers whenever the sums change.
class TDBGridGdSumList : public TDBSumListProducer {
 public:
  explicit TDBGridGdSumList(TCustomDBGridGd* Grid);
  TCustomDBGridGd* Grid() const { return FGrid; }
  // What the grid's scroll bar and row colours read: whether record numbers are known, the
  // number of records and the current one's number (with the grid's link active).
  bool IsSequenced() const;
  int RecordCount() const;
  int RecNo() const;

 protected:
  void HookDataSetEvents() override;
  void UnhookDataSetEvents() override;

 private:
  TCustomDBGridGd* FGrid;
};

class TDBGridGdScrollBar : public TPersistent {
 public:
  explicit TDBGridGdScrollBar(TCustomDBGridGd* Grid) : TDBGridGdScrollBar(Grid, sbHorizontal) {}
  TDBGridGdScrollBar(TCustomDBGridGd* Grid, TScrollBarKind Kind) : FGrid(Grid), FKind(Kind) {}
  // Gives an external bar its own window procedure back.
  ~TDBGridGdScrollBar() override;
  TDBGridGdScrollBar(const TDBGridGdScrollBar&) = delete;
  TDBGridGdScrollBar& operator=(const TDBGridGdScrollBar&) = delete;
  // Copies Visible, Tracking and ExtScrollBar.
  void Assign(TPersistent* Source) override;
  TScrollBarKind Kind() const { return FKind; }
  TScrollBarVisibleModeGd VisibleMode() const { return FVisibleMode; }
  void SetVisibleMode(TScrollBarVisibleModeGd Value);
  bool Visible() const { return FVisibleMode != sbNeverShowGd; }
  void SetVisible(bool Value) { SetVisibleMode(Value ? sbAutoShowGd : sbNeverShowGd); }
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // A scroll bar control that scrolls the grid in this direction instead of the grid's own
  // bar. Its scroll messages reach the grid first; a control another grid has hooked already
  // raises Exception "Possible NAME already attached to the other control.".
  TScrollBar* ExtScrollBar() const { return FExtScrollBar; }
  void SetExtScrollBar(TScrollBar* Value);
  // Whether a bar shows: the external one's visibility, else the grid window's own bar.
  bool ScrollBarShown() const;
  // From the external bar (its range, page, position and the thumb's track position), else
  // from the grid window's bar of this direction.
  bool GetScrollInfo(SCROLLINFO& Info) const;
  // The external bar shows the range, page and position the grid gives.
  void SetExtParams(int Min, int Max, int Page, int Pos);
  // The external bar is being freed.
  void ExtScrollBarFreed(TComponent* Component);

 protected:
  TCustomDBGridGd* FGrid;

 private:
  void Release();
  void ExtWndProc(TMessage& Message);
  TScrollBarKind FKind;
  TScrollBarVisibleModeGd FVisibleMode = sbAutoShowGd;
  bool FTracking = false;
  TScrollBar* FExtScrollBar = nullptr;
  TWndMethod FExtOwnWndProc;
  int FExtTrackPos = 0;
};

class TVertDBGridGdScrollBar : public TDBGridGdScrollBar {
 public:
  explicit TVertDBGridGdScrollBar(TCustomDBGridGd* Grid) : TDBGridGdScrollBar(Grid, sbVertical) {}
};

// ---- the grid unit's shared resources ----

namespace grid {
// What every grid of the program shares: the column-selection cursors, the indicator images
// (current record, editing, inserting, multi dot, multi arrow, current and selected, current
// while a search runs) and the sort-marker images (down, up) with the sort-marker font.
struct TGridResources {
  HCURSOR DownCursor = nullptr;
  HCURSOR RightCursor = nullptr;
  HCURSOR LeftCursor = nullptr;
  std::unique_ptr<TCustomImageList> Indicators;
  std::unique_ptr<TCustomImageList> SortMarkers;
  std::unique_ptr<TFont> SortMarkerFont;
};
// How the resources are read (a test gives its own).
struct TGridResourceLoaders {
  std::function<HCURSOR(const std::string& Name)> Cursor;
  std::function<void(TBitmap* Bitmap, const std::string& Name)> Bitmap;
};
TGridResourceLoaders ProgramResourceLoaders();
// Reads every resource first and only then builds from them, so a missing one leaves nothing
// half-made: a cursor raises EOutOfResources "Cannot load cursor resource", a bitmap its own
// error.
std::unique_ptr<TGridResources> LoadGridResources(const TGridResourceLoaders& Loaders);
// The program's, loaded when the first grid is made.
const TGridResources& GridResources();
// The display text of Field under a display format: numbers through FormatFloat, date-times
// through DateTimeToString, other kinds show nothing; no format gives the field's own text.
std::string FormatFieldText(TField* Field, const std::string& DisplayFormat);
// Copies the default font into a part's own font with its change report held back by Guard.
void CopyFontQuietly(TFont& Own, TFont* Default, bool& Guard);
}  // namespace grid

// ---- keyboard and mouse: what the user may do to the records, the edit actions, the keys ----
enum TDBGridGdAllowedOperation { alopInsertGd, alopUpdateGd, alopDeleteGd, alopAppendGd };
using TDBGridGdAllowedOperations = TSet<TDBGridGdAllowedOperation>;
inline constexpr TDBGridGdAllowedOperations AllowedOperationsDefault{alopInsertGd, alopUpdateGd, alopDeleteGd,
                                                                     alopAppendGd};
enum TDBGridGdEditAction { geaCutGd, geaCopyGd, geaPasteGd, geaDeleteGd, geaSelectAllGd };
using TDBGridGdEditActions = TSet<TDBGridGdEditAction>;
const classes::TEnumInfo& EnumInfo(TDBGridGdAllowedOperation);
const classes::TEnumInfo& EnumInfo(TDBGridGdEditAction);
using TTitleBtnClickEventGd = std::function<void(TObject* Sender, int ACol, TColumnGd* Column)>;
using TCheckTitleBtnClickEventGd = std::function<void(TObject* Sender, int ACol, TColumnGd* Column, bool& Enabled)>;
// Opens the find dialog over a grid with a text to look for, modal or not.
using TShowGridFindDialogProcGd = std::function<void(TCustomDBGridGd* Grid, const std::string& Text, bool Modal)>;
namespace grid {
// The grid's shortcuts: start an incremental search, open the find dialog, search on, search
// back, copy the value of the record above (Ctrl+').
extern TShortCut IncSearchShortCut;
extern TShortCut FindDialogShortCut;
extern TShortCut SearchNextShortCut;
extern TShortCut SearchPriorShortCut;
extern TShortCut CopyFromPreviousShortCut;
// How a grid opens its find dialog (nothing while none is set).
inline TShowGridFindDialogProcGd ShowFindDialogProc;
}  // namespace grid

// ---- scrolling: the auto-scroll and search timers of a grid ----
namespace grid {
inline constexpr UINT_PTR AutoScrollTimerId = 1;
inline constexpr UINT_PTR IncSearchTimerId = 2;
// A search started by typing ends after this long without a key.
inline constexpr int IncSearchTimeout = 1500;
}  // namespace grid

// ---- the grid ----

class TCustomDBGridGd : public TCustomGrid {
 public:
  explicit TCustomDBGridGd(TComponent* AOwner);
  ~TCustomDBGridGd() override;

  // ---- data ----
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TGridDataLinkGd* DataLink() const { return FDataLink.get(); }
  // The field at position Index of the field map (one entry per stored column, hidden ones
  // included; else one per visible field), or nil.
  TField* GetFields(int Index) const { return FDataLink->GetMappedField(Index); }
  TField* Fields(int Index) const { return GetFields(Index); }
  int FieldCount() const { return FDataLink->FieldMapCount(); }
  TBookmarkListGd* SelectedRows() const { return FSelectedRows.get(); }
  TDBGridGdSelection* Selection() const { return FSelection.get(); }

  // ---- columns ----
  TDBGridColumnsGd* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumnsGd* Value) { FColumns->Assign(Value); }
  bool IsColumnsStored() const { return FColumns->State() == cstCustomColumns; }
  const TColumnsGdList& VisibleColumns() const { return FVisibleColumns; }
  TDBGridGdColumnDefValuesGd* ColumnDefValues() const { return FColumnDefValues.get(); }
  void SetColumnDefValues(TDBGridGdColumnDefValuesGd* Value) { FColumnDefValues->Assign(Value); }
  // The column of the current cell, or nil.
  TColumnGd* SelectedField() const;
  int SelectedIndex() const { return Col() - FIndicatorOffset; }

  // ---- options and look ----
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  TDBGridGdOptions OptionsGd() const { return FOptionsGd; }
  void SetOptionsGd(TDBGridGdOptions Value);
  TDBGridGdAllowedSelections AllowedSelections() const { return FAllowedSelections; }
  void SetAllowedSelections(TDBGridGdAllowedSelections Value);
  int FooterRowCount() const { return FFooterRowCount; }
  void SetFooterRowCount(int Value);
  TColor FooterColor() const { return FFooterColor; }
  void SetFooterColor(TColor Value);
  TFont* FooterFont() const { return FFooterFont.get(); }
  void SetFooterFont(TFont* Value) { FFooterFont->Assign(Value); }
  TFont* TitleFont() const { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  // The grid's own drawing of cell content (the base grid's is off).
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  bool AutoFitColWidths() const { return FAutoFitColWidths; }
  void SetAutoFitColWidths(bool Value);
  int MinAutoFitWidth() const { return FMinAutoFitWidth; }
  void SetMinAutoFitWidth(int Value);
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int Value);
  int RowLines() const { return FRowLines; }
  void SetRowLines(int Value);
  int TitleHeight() const { return FTitleHeight; }
  void SetTitleHeight(int Value);
  int TitleLines() const { return FTitleLines; }
  void SetTitleLines(int Value);
  // The colours of odd and even records (the first is odd); the grid's Color until set.
  TColor OddRowColor() const { return FOddRowColorSet ? FOddRowColor : Color(); }
  void SetOddRowColor(TColor Value);
  bool IsOddRowColorStored() const { return FOddRowColorSet; }
  TColor EvenRowColor() const { return FEvenRowColorSet ? FEvenRowColor : Color(); }
  void SetEvenRowColor(TColor Value);
  bool IsEvenRowColorStored() const { return FEvenRowColorSet; }
  int FrozenCols() const { return FFrozenCols; }
  // The columns right of the indicator that do not scroll; at most all visible columns but one.
  void SetFrozenCols(int Value);
  bool DrawMemoText() const { return FDrawMemoText; }
  void SetDrawMemoText(bool Value) { FDrawMemoText = Value; }
  TDBGridGdSumList* SumList() const { return FSumList.get(); }
  void SetSumList(TDBGridGdSumList* Value);
  TVertDBGridGdScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  void SetVertScrollBar(TVertDBGridGdScrollBar* Value);
  TDBGridGdScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  void SetHorzScrollBar(TDBGridGdScrollBar* Value);
  using TCustomControl::Canvas;

  // ---- geometry the layout keeps ----
  int IndicatorOffset() const { return FIndicatorOffset; }
  int TitleOffset() const { return FTitleOffset; }
  bool HasTitleRow() const { return FOptions.Contains(dgTitles); }
  bool HasFilterRow() const { return false; }
  bool CanWrapText() const { return FCanWrapText; }
  int TitleTextInset() const { return FTitleTextInset; }
  // The data rows shown whole.
  int VisibleDataRowCount();
  using TCustomGrid::CellRect;
  // The client rectangle of a block of cells (grid coordinates).
  TRect BoxRectOf(int ALeft, int ATop, int ARight, int ABottom) { return BoxRect(ALeft, ATop, ARight, ABottom); }
  using TCustomGrid::LeftCol;
  using TCustomGrid::MouseCoord;

  // ---- the layout pass ----
  int UpdateLock() const { return FUpdateLock; }
  int LayoutLock() const { return FLayoutLock; }
  bool InLayout() const { return FInLayout; }
  void LockUpdate() { ++FUpdateLock; }
  void UnlockUpdate() {
    if (FUpdateLock > 0) --FUpdateLock;
  }
  void BeginLayout();
  bool TryBeginLayout();
  void EndLayout();
  void EndLayoutQuiet();
  virtual void LayoutChanged();
  // Puts the layout pass off to a message of the grid's own (one at most is queued; it is
  // posted again while a lock is held). Releases nothing: a caller holding a layout level ends
  // it through TGridLayoutScope::Defer.
  void RequestDeferredLayout();
  // How many times the layout pass ran (for tests that it runs once).
  int LayoutCount() const { return FLayoutCount; }

  // ---- painting ----
  // Draws the default content of a data cell for Column into Rect with the canvas's current
  // font and brush: text, a centred image or a check box.
  void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State);
  virtual bool GetFixedCellHighlight(int AreaCode, TFont* AFont, TColor& Background, bool Highlighted);
  virtual bool GetDataCellHighlight(int DataCol, int DataRow, TFont* AFont, TColor& Background, TGridDrawState& State,
                                    const std::string& Text);
  bool GridOrEditorFocused();
  // The indicator row (the grid row that last showed the active record).
  int IndicatorRow() const { return FIndicatorRow; }

  // ---- geometry: cell areas, multi-line titles, optimal widths ----
  // What a grid cell is: AreaCode 0 title row, 1 filter row, 2 data row (DataRow counted from
  // the first), 3 the gap row above the footers (DataRow 0), 4 a footer row (DataRow counted
  // from the first footer); IsDataCol tells a data column (DataCol) from the indicator.
  void GetCellType(int ACol, int ARow, int& AreaCode, bool& IsDataCol, int& DataCol, int& DataRow) const;
  // Sets the width of Column (and of the selected columns with it when whole columns or
  // everything are selected) to what its title, cells and footers need.
  void OptimizeColWidth(TColumnGd* Column);
  void FitColumnsWidthToData(const TColumnsGdList& Columns);
  int VTitleMargin() const { return FVTitleMargin; }
  void SetVTitleMargin(int Value);
  bool UseMultiTitle() const { return FUseMultiTitle; }
  void SetUseMultiTitle(bool Value);
  // The header tree of the titles (built while UseMultiTitle is on) and its leaf per column.
  THeadTreeNode* HeadTree() const { return FHeadTree.get(); }
  THeadTreeNode* LeafOfColumn(int Index) const;
  // The columns sorted by their sort markers, in SortIndex order.
  const TColumnsGdList& SortMarkedColumns() const { return FSortMarkedColumns; }

  // The frame of one cell: raised, or sunken when Pressed; its top always, the left with
  // TopLeft, the bottom and right with BottomRight.
  void DrawEdgeGd(TCanvas* Canvas, const TRect& ARect, bool BottomRight, bool TopLeft, bool Pressed);

  // ---- footers ----
  // The text footer row FooterIndex shows under Column (before OnGetFooterParams).
  std::string FooterValueText(int FooterIndex, TColumnGd* Column) { return GetFooterValueText(FooterIndex, Column); }
  TDBSumListEventGd OnSumListRecalcAll;
  TDBSumListEventGd OnSumListAfterRecalcAll;
  // the grid style: the shared colours of selected and focused cells
  // The style the grid asks for its highlights (DefaultGridStyle from creation); none falls back
  // to the grid's own rules.
  TDBGridGdStyle* Style() const { return FStyle; }
  void SetStyle(TDBGridGdStyle* Value);
  // The style is going away: the grid takes DefaultGridStyle (when there is one) and relayouts.
  void StyleDestroyed(TDBGridGdStyle* Style);

  // ---- events ----
  TDrawColumnCellEventGd OnDrawColumnCell;
  TDrawDataCellEventGd OnDrawDataCell;
  TGetCellParamsEventGd OnGetCellParams;
  TDBGridClickEventGd OnCellClick;
  TDBGridClickEventGd OnTitleClick;
  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;
  TMovedEventGd OnColumnMoved;
  TNotifyEvent OnColWidthsChanged;
  TNotifyEvent OnSelectionChanged;

  void Loaded() override;

  // ---- reactions to the data link (also used by its tests) ----
  virtual void DataLinkActiveChanged(bool Active);
  virtual void RefreshAfterDataChange();
  virtual void DataSetScrolled(int Distance);
  virtual void RecordChanged(TField* Field);
  virtual void UpdateVertScrollBar();
  void UpdateRowHeights();
  void SyncCurrentRecord();
  void InvalidateFooters();
  void InvalidateIndicatorRow();
  // Repaints one grid row across the client width.
  void InvalidateGridRow(int ARow) { InvalidateRow(ARow); }
  using TCustomGrid::InvalidateCell;
  using TCustomGrid::InvalidateGridRect;

 protected:
  friend class TGridDataLinkGd;
  friend class TGridLayoutScope;
  friend class TColumnGd;
  friend class TDBGridColumnsGd;
  friend class TBookmarkListGd;

  // ---- painting ----
  void Paint() override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  virtual void DrawColumnCell(const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State);
  virtual void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
  virtual void GetCellParams(TColumnGd* Column, TFont* AFont, TColor& Background, TGridDrawState State);
  virtual bool IsCell3D(int ACol, int ARow, TGridDrawState State) const;
  virtual bool IsCellInSelection(int ACol, int ARow);
  virtual std::string GetFooterValueText(int FooterIndex, TColumnGd* Column);

  // ---- layout ----
  virtual void InternalLayout();
  virtual void BuildFieldMap();
  virtual void ApplyColumnWidthsAndTabStops();
  void SetRowCountKeepingRow(int N);
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void ColWidthsChanged() override;
  // The vertical bar is the grid's own; the base grid keeps only the horizontal one.
  void UpdateScrollRange() override;

  // ---- input (navigation by the dataset; selection by Ctrl and Shift clicks) ----
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void WMVScroll(TMessage& Message) override;
  virtual void CellClick(TColumnGd* Column);
  virtual void TitleClick(TColumnGd* Column);
  virtual void ColEnter();
  virtual void ColExit();
  bool SelectCell(int ACol, int ARow) override;
  bool CanEditShow() override { return false; }

  // ---- window ----
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CMFontChanged(TMessage& Message) override;
  // The titles follow the parent's font too while the grid does.
  void CMParentFontChanged(TMessage& Message) override;

 private:
  void TitleFontChanged();
  void DeferredLayoutMessage();
  // Moves the dataset by Distance records.
  void MoveBy(int Distance);
  void ClearSelectionForNavigation();
  void DrawIndicatorCell(const TRect& ARect, int DataRow);
  void DrawTitleCell(TColumnGd* Column, TRect ARect, TGridDrawState AState, bool Is3D, int TextInset);
  void DrawFooterCell(TColumnGd* Column, int DataCol, int FooterIndex, const TRect& ARect, TGridDrawState AState,
                      int TextInset, int VertInset);
  void DrawRecordCell(TColumnGd* Column, int DataCol, int DataRow, TRect ARect, TGridDrawState AState, int TextInset,
                      int VertInset);
  bool IsDuplicate(TColumnGd* Column, int DataRow, const std::string& Text);
  void DrawGridLines(const TGridDrawInfo& Info);
  int DefaultDataRowHeight() const { return DefaultRowHeight(); }
  void AutoFitWidths();
  bool RecordNumberKnown() const;

  std::unique_ptr<TDBGridGdColumnDefValuesGd> FColumnDefValues;
  std::unique_ptr<TDBGridColumnsGd> FColumns;
  TColumnsGdList FVisibleColumns;
  std::unique_ptr<TGridDataLinkGd> FDataLink;
  std::unique_ptr<TFont> FTitleFont;
  std::unique_ptr<TBookmarkListGd> FSelectedRows;
  std::unique_ptr<TDBGridGdSumList> FSumList;
  std::unique_ptr<TDBGridGdScrollBar> FHorzScrollBar;
  std::unique_ptr<TVertDBGridGdScrollBar> FVertScrollBar;
  std::unique_ptr<TDBGridGdSelection> FSelection;
  std::unique_ptr<TFont> FFooterFont;
  TColCellParamsGd FCellParams;

  TDBGridOptions FOptions = DBGridOptionsDefault;
  TDBGridGdOptions FOptionsGd = DBGridGdOptionsDefault;
  TDBGridGdAllowedSelections FAllowedSelections = AllowedSelectionsDefault;
  int FFooterRowCount = 0;
  TColor FFooterColor = clWindow;
  TColor FOddRowColor = clWindow;
  TColor FEvenRowColor = clWindow;
  bool FOddRowColorSet = false;
  bool FEvenRowColorSet = false;
  TGridCoord FPressedCell{-1, -1};  // where the left button went down
  bool FFlat = false;
  bool FReadOnly = false;
  bool FDefaultDrawing = true;
  bool FAutoFitColWidths = false;
  int FMinAutoFitWidth = 0;
  bool FDrawMemoText = false;
  int FRowHeight = 0;
  int FRowLines = 0;
  int FTitleHeight = 0;
  int FTitleLines = 0;
  int FTitleTextInset = 4;
  int FIndicatorOffset = 1;
  int FTitleOffset = 1;
  bool FCanWrapText = false;
  int FUpdateLock = 0;
  int FLayoutLock = 0;
  bool FInLayout = false;
  bool FLayoutFromDataSet = false;
  int FLayoutCount = 0;
  int FIndicatorRow = -1;
  bool FVertBarShown = false;
  TScrollBarVisibleModeGd FLastVertMode = sbAutoShowGd;
  bool FVertInfoSet = false;
  bool FInRefresh = false;
  bool FTitleFontFromParent = false;  // the title font is being set from the parent's
  TBookmark FAnchor;                  // where a Shift click extends the row selection from
  // geometry, titles and footers
  friend class TColumnTitleGd;
  friend class TColumnFooterGd;
  void SyncSumListDataSet();
  // Whether Column's title button is held down (the press the mouse code keeps).
  bool TitlePressed(TColumnGd* Column) const;
  void DrawTitleText(TColumnGd* Column, const TRect& ARect, const std::string& Text, int TextInset, bool Pressed);
  void DrawMultiTitleCell(TColumnGd* Column, const TRect& ARect, TGridDrawState AState, bool Is3D);
  void BuildHeadTree();
  void MeasureTitleHeights();
  int TitleTextWidth(TColumnGd* Column);
  int FooterTextWidth(TColumnGd* Column);
  int FFrozenCols = 0;
  int FVTitleMargin = 10;
  bool FUseMultiTitle = false;
  std::unique_ptr<THeadTreeNode> FHeadTree;
  std::vector<THeadTreeNode*> FLeaves;
  TColumnsGdList FSortMarkedColumns;

  // ---- keyboard and mouse ----
 public:
  TDBGridGdAllowedOperations AllowedOperations() const { return FAllowedOperations; }
  void SetAllowedOperations(TDBGridGdAllowedOperations Value) { FAllowedOperations = Value; }
  TDBGridGdEditActions EditActions() const { return FEditActions; }
  void SetEditActions(TDBGridGdEditActions Value) { FEditActions = Value; }
  bool FindDialogModal() const { return FFindDialogModal; }
  void SetFindDialogModal(bool Value) { FFindDialogModal = Value; }
  // 0 idle; 1 row tracking, 2 column selection, 3 cell or rectangle tracking, 6 frozen-column
  // sizing, 7 record moving.
  int MouseTrackMode() const { return FMouseTrackMode; }
  // The grid column of the title being pressed (-1 for none), and whether it shows pressed
  // now (the pointer is over it).
  int PressedTitleCol() const { return FPressedCell.X; }
  bool TitlePressed() const { return FTitlePressed; }
  // The press point of the last mouse press (client coordinates).
  TPoint PressPoint() const { return FPressPoint; }
  void ClearSelectionIfAllowed();
  void MoveWithSelection(bool Extend, int Distance, bool RowsMode, bool ToEnd);
  void SelectDataColumn(int Column, int Direction, bool Extend);
  void MoveDownOrAppend(bool Extend);
  void MoveUp(bool Extend);
  void TabToNextColumn(bool Forward);
  // Asks whether the current or the selected records may go (always yes without
  // dgConfirmDelete).
  bool ConfirmDelete();
  void CopyFromPreviousRecord();
  TTitleBtnClickEventGd OnTitleBtnClick;
  TCheckTitleBtnClickEventGd OnCheckButton;

 protected:
  void KeyPress(char32_t& Key) override;
  void WMChar(TMessage& Message) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void TimedScroll(TGridScrollDirection Direction) override;
  void WMCancelMode(TMessage& Message) override;
  void CMCancelMode(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  virtual void TitleBtnClick(int ACol, TColumnGd* Column);
  // Whether the title of Column acts as a button (OnCheckButton may say otherwise).
  virtual bool CheckTitleButton(int ACol, TColumnGd* Column);
  // Takes the focus for a press or a scroll; false when the grid cannot have it.
  bool TryAcquireFocus();

 private:
  void KeyDownPlain(WORD& Key, TShiftState Shift);
  void KeyDownWithCtrl(WORD& Key, TShiftState Shift);
  void DeleteByKey();
  bool CanSelectRows() const;
  bool CanSelectRectangle() const;
  bool CanModifyDataSet() const;
  // Marks or unmarks the current record for a row selection step from the anchor.
  void MarkCurrentRow();
  void SetRowAnchor();
  bool MouseDownOnTitle(TMouseButton Button, TShiftState Shift, TGridCoord Cell);
  void MouseDownOnData(TMouseButton Button, TShiftState Shift, TGridCoord Cell);
  void TrackSelection(TShiftState Shift, int X, int Y);
  void EndTitlePress();
  void CancelTracking();
  // The client rectangle of the data rows and columns on screen.
  TRect DataArea();
  TDBGridGdAllowedOperations FAllowedOperations = AllowedOperationsDefault;
  TDBGridGdEditActions FEditActions;
  bool FFindDialogModal = false;
  int FMouseTrackMode = 0;
  TPoint FPressPoint;
  TPoint FMousePoint;
  TPoint FPrevMousePoint;
  bool FTitlePressed = false;
  bool FRightTitlePressed = false;
  bool FRowTracking = false;
  bool FCellTracking = false;
  bool FAnchorSet = false;
  bool FAnchorWasSelected = false;
  bool FInvertMode = false;
  bool FLiveSizing = false;
  TGridCoord FClickedCheckCell{-1, -1};
  std::string FPressedChars;
  bool FInColExit = false;
  bool FColExitDone = false;

  // ---- scrolling, grid messages and edit actions ----
 protected:
  void WMHScroll(TMessage& Message) override;
  void WMTimer(TMessage& Message) override;
  // Starts, retimes or stops the auto-scroll of a drag selection for the pointer at X, Y.
  void DragSelectAutoScroll(int X, int Y);
  void StopAutoScroll();

 public:
  // The external horizontal bar follows the left column.
  void UpdateExtHorzScrollBar();

 private:
  void AutoScrollTick();
  // The track position of a thumb code: from the external bar, else the grid's own.
  int ScrollTrackPos(int Bar);
  bool FIgnoreThumbRelease = false;
  bool FAutoScrolling = false;
  int FAutoScrollInterval = -1;
  int FAutoScrollRows = 0;
  int FAutoScrollCols = 0;

  // ---- tool-tips and incremental search ----
 public:
  struct TScreenPositionGd {
    TBookmark Bookmark;
    int Offset = 0;
  };
  // Remembers the current record and its place among the buffered records; Restore puts the
  // same record back at the same place.
  TScreenPositionGd SaveScreenPosition();
  void RestoreScreenPosition(const TScreenPositionGd& Position);
  bool IncSearchActive() const { return FIncSearchActive; }
  const std::string& IncSearchText() const { return FIncSearchText; }
  // Adds Text to the search and looks for a record whose display text in the current column
  // begins with it: Mode 0 from the first record (the current one first), 1 the next, 2 the
  // prior one. Timeout (ms, -1 none) ends the search when no key comes.
  void IncSearchStep(const std::string& Text, int Timeout, int Mode);
  void StopIncSearch();
  // The text a data cell of Column shows in its tool-tip (for the current record).
  std::string ColumnToolTipText(TColumnGd* Column);

 protected:
  void CMHintShow(TMessage& Message) override;
  void CMHintShowPause(TMessage& Message);
  bool TypingSearches();
  bool IncSearchKeyDown(WORD Key, TShiftState Shift);
  void PasteIntoIncSearch();
  void OpenFindDialog();
  // A data change or a move of the dataset the search did not make ends it.
  void DataChangedOutsideSearch();

 private:
  bool CellToolTip(THintInfo& Info, TGridCoord Cell);
  bool FIncSearchActive = false;
  std::string FIncSearchText;
  int FIncSearchTimeout = -1;
  bool FIncSearchOwnChange = false;
  // the grid style
  TDBGridGdStyle* FStyle = nullptr;
};

// One layout level of a grid, released exactly once: End runs the layout pass (when it is the
// outermost level), Defer puts the pass off to the grid's message, and leaving the scope
// otherwise (an exception) releases the level quietly.
class TGridLayoutScope {
 public:
  enum TAdopt { Adopt };
  explicit TGridLayoutScope(TCustomDBGridGd& Grid);
  // Takes over a level the caller already took (TryBeginLayout).
  TGridLayoutScope(TCustomDBGridGd& Grid, TAdopt) : FGrid(Grid) {}
  ~TGridLayoutScope();
  TGridLayoutScope(const TGridLayoutScope&) = delete;
  TGridLayoutScope& operator=(const TGridLayoutScope&) = delete;
  void End();
  void Defer();

 private:
  TCustomDBGridGd& FGrid;
  bool FDone = false;
};

// Makes another buffered record the active one for a scope (to read or paint that row) and
// puts the active record back at the end, also on failure.
class TActiveRecordScope {
 public:
  TActiveRecordScope(TGridDataLinkGd& Link, int Record) : FLink(Link), FSaved(Link.ActiveRecord()) {
    FLink.SetActiveRecord(Record);
  }
  ~TActiveRecordScope() { FLink.SetActiveRecord(FSaved); }
  TActiveRecordScope(const TActiveRecordScope&) = delete;
  TActiveRecordScope& operator=(const TActiveRecordScope&) = delete;
  // The record that was active before.
  int Saved() const { return FSaved; }

 private:
  TGridDataLinkGd& FLink;
  int FSaved;
};

class TDBGridGd : public TCustomDBGridGd {
 public:
  explicit TDBGridGd(TComponent* AOwner) : TCustomDBGridGd(AOwner) {}
};

// ---- the grid style ----

// The colours of selected and focused cells, shared by the grids that join it. A hidden utility
// window follows system colour changes to re-read how many colours the display shows.
class TDBGridGdStyle : public TPersistent {
 public:
  TDBGridGdStyle();
  ~TDBGridGdStyle() override;
  TDBGridGdStyle(const TDBGridGdStyle&) = delete;
  TDBGridGdStyle& operator=(const TDBGridGdStyle&) = delete;

  void AddGrid(TCustomDBGridGd* Grid);
  bool HasGrid(TCustomDBGridGd* Grid) const;
  void RemoveGrid(TCustomDBGridGd* Grid);

  // Decides whether a data cell is drawn highlighted and with which colours.
  virtual bool DataCellHighlight(TCustomDBGridGd* Grid, int ACol, int DataCol, int DataRow, int ARow,
                                 TGridDrawState& State, TFont* AFont, TColor& Background);
  // Highlights a fixed cell; AreaCode tells which part of the fixed area the cell lies in.
  virtual bool FixedCellHighlight(TCustomDBGridGd* Grid, TFont* AFont, TColor& Background, bool Highlight,
                                  int AreaCode);
  // A light mix of C and Glass, channel by channel, for selected cells that are not current.
  static TColor BlendSelectionColor(TColor C, TColor Glass, bool Ungray);

  bool LuminateSelection() const { return FLuminateSelection; }
  void SetLuminateSelection(bool Value) { FLuminateSelection = Value; }
  bool CloseUpAppliesFilter() const { return FCloseUpAppliesFilter; }
  void SetCloseUpAppliesFilter(bool Value) { FCloseUpAppliesFilter = Value; }
  bool FocusFrameWanted() const { return FFocusFrameWanted; }
  void SetFocusFrameWanted(bool Value) { FFocusFrameWanted = Value; }
  // The display's colour count as last read (-1 on a display with more than 256 colours).
  int ScreenNumColors() const { return FScreenNumColors; }
  bool TrueColorDisplay() const { return FScreenNumColors == -1; }

 protected:
  virtual void WndProc(TMessage& Message);
  virtual void ReadScreenColors();

 private:
  std::vector<TCustomDBGridGd*> FGrids;
  HWND FUtilityWindow = nullptr;
  bool FLuminateSelection = true;
  bool FCloseUpAppliesFilter = false;
  bool FFocusFrameWanted = true;
  int FScreenNumColors = -1;
};

// The style every grid joins when it is made; none once it has been freed.
TDBGridGdStyle* DefaultGridStyle();

// A variant's text for a filter: a plain value as its text, an array as its elements' texts in
// single quotes (a quote inside doubled), joined by commas.
std::string VariantToQuotedList(const Variant& V);
