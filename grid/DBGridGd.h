#pragma once
// The data grid: TCustomDBGridGd shows the rows of its data source's dataset, one column
// object per shown field, with a title row, footer rows and multiple row selection kept as
// bookmarks (SelectedRows, a TBookmarkListGd). TDBGridGd publishes it. It keeps what window
// definitions set and paints its cells plainly as text from the dataset; a click or the
// arrow keys move the dataset, Ctrl and Shift clicks change the selection.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/data/DataLink.h"

class TCustomDBGridGd;
class TColumnGd;

enum TDBGridOption {
  dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
  dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;
enum TDBGridGdOption {
  dghFixed3D, dghFrozen3D, dghFooter3D, dghData3D, dghResizeWholeRightPart, dghHighlightFocus, dghClearSelection,
  dghFitRowHeightToText, dghAutoSortMarking, dghMultiSortMarking, dghEnterAsTab, dghTraceColSizing, dghIncSearch,
  dghPreferIncSearch, dghRowHighlight, dghDblClickOptimizeColWidth, dghDialogFind, dghRecordMoving
};
using TDBGridGdOptions = TSet<TDBGridGdOption>;
enum TFooterValueType { fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText };
enum TScrollBarVisibleModeGd { sbAlwaysShowGd, sbNeverShowGd, sbAutoShowGd };
const classes::TEnumInfo& EnumInfo(TDBGridOption);
const classes::TEnumInfo& EnumInfo(TDBGridGdOption);
const classes::TEnumInfo& EnumInfo(TFooterValueType);
const classes::TEnumInfo& EnumInfo(TScrollBarVisibleModeGd);

using TDrawColumnCellEventGd =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State)>;

// ---- column parts ----

class TColumnTitleGd : public TPersistent {
 public:
  explicit TColumnTitleGd(TColumnGd* Column);
  ~TColumnTitleGd() override;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

 private:
  TColumnGd* FColumn;
  std::string FCaption;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clBtnFace;
  std::unique_ptr<TFont> FFont;
};

class TColumnFooterGd : public TPersistent {
 public:
  explicit TColumnFooterGd(TColumnGd* Column);
  ~TColumnFooterGd() override;
  TFooterValueType ValueType() const { return FValueType; }
  void SetValueType(TFooterValueType Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  const std::string& Value() const { return FValue; }
  void SetValue(const std::string& Value);
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);

 private:
  TColumnGd* FColumn;
  TFooterValueType FValueType = fvtNon;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  std::string FFieldName;
  std::string FValue;
  std::string FDisplayFormat;
};

// ---- columns ----

class TColumnGd : public TCollectionItem {
 public:
  explicit TColumnGd(TCollection* Collection);
  ~TColumnGd() override;

  TCustomDBGridGd* Grid() const;
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  // The field of the grid's dataset this column shows, or nil.
  TField* Field() const;
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value) { FEndEllipsis = Value; }
  TColumnTitleGd* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleGd* Value) { FTitle->Assign(Value); }
  TColumnFooterGd* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterGd* Value) { FFooter->Assign(Value); }
  // The text the cell of the current row shows.
  std::string DisplayText() const;
  // Repaints the grid after a change of the column.
  void ChangedInGrid();

 private:
  std::string FFieldName;
  int FWidth = 64;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentSet = false;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  std::string FDisplayFormat;
  bool FVisible = true;
  bool FReadOnly = false;
  bool FWordWrap = false;
  bool FEndEllipsis = false;
  std::unique_ptr<TColumnTitleGd> FTitle;
  std::unique_ptr<TColumnFooterGd> FFooter;
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
  TPersistent* GetOwner() const override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomDBGridGd* FGrid;
};

// ---- the selected rows ----

class TBookmarkListGd {
 public:
  explicit TBookmarkListGd(TCustomDBGridGd* Grid) : FGrid(Grid) {}

  int Count() const { return static_cast<int>(FList.size()); }
  int GetCount() const { return Count(); }
  // The bookmark of selected row Index (0-based), in dataset order.
  const TBookmark& Items(int Index) const { return FList.at(Index); }
  const TBookmark& GetItem(int Index) const { return Items(Index); }
  bool CurrentRowSelected() const;
  void SetCurrentRowSelected(bool Value);
  // Whether the row of Bookmark is selected.
  bool Find(const TBookmark& Bookmark, int& Index) const;
  void Clear();
  // Deletes every selected row from the dataset, last first; the dataset's controls are
  // disabled meanwhile (and enabled again when a deletion fails, which then reaches the caller).
  void Delete();
  // Selects every row of the dataset and returns to the current one.
  void SelectAll();
  // Drops bookmarks of rows that no longer exist.
  void Refresh();

 private:
  TDataSet* DataSet() const;
  TCustomDBGridGd* FGrid;
  std::vector<TBookmark> FList;
};

// ---- settings objects ----

class TDBGridGdSumList : public TPersistent {
 public:
  explicit TDBGridGdSumList(TCustomDBGridGd* Grid) : FGrid(Grid) {}
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool VirtualRecords() const { return FVirtualRecords; }
  void SetVirtualRecords(bool Value) { FVirtualRecords = Value; }

 private:
  TCustomDBGridGd* FGrid;
  bool FActive = false;
  bool FVirtualRecords = false;
};

class TDBGridGdScrollBar : public TPersistent {
 public:
  explicit TDBGridGdScrollBar(TCustomDBGridGd* Grid) : FGrid(Grid) {}
  TScrollBarVisibleModeGd VisibleMode() const { return FVisibleMode; }
  void SetVisibleMode(TScrollBarVisibleModeGd Value);
  bool Visible() const { return FVisibleMode != sbNeverShowGd; }
  void SetVisible(bool Value) { SetVisibleMode(Value ? sbAutoShowGd : sbNeverShowGd); }
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }

 private:
  TCustomDBGridGd* FGrid;
  TScrollBarVisibleModeGd FVisibleMode = sbAutoShowGd;
  bool FTracking = false;
};

class TVertDBGridGdScrollBar : public TDBGridGdScrollBar {
 public:
  using TDBGridGdScrollBar::TDBGridGdScrollBar;
};

// ---- the grid ----

class TCustomDBGridGd : public TCustomControl {
 public:
  explicit TCustomDBGridGd(TComponent* AOwner);
  ~TCustomDBGridGd() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDataLink* DataLink() const { return FDataLink.get(); }
  TDBGridColumnsGd* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumnsGd* Value) { FColumns->Assign(Value); }
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  TDBGridGdOptions OptionsGd() const { return FOptionsGd; }
  void SetOptionsGd(TDBGridGdOptions Value) { Store(FOptionsGd, Value); }
  int FooterRowCount() const { return FFooterRowCount; }
  void SetFooterRowCount(int Value);
  TColor FooterColor() const { return FFooterColor; }
  void SetFooterColor(TColor Value) { Store(FFooterColor, Value); }
  TFont* FooterFont() const { return FFooterFont.get(); }
  void SetFooterFont(TFont* Value) { FFooterFont->Assign(Value); }
  TFont* TitleFont() const { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value) { FTitleFont->Assign(Value); }
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value) { Store(FFixedColor, Value); }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) { Store(FFlat, Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
  bool AutoFitColWidths() const { return FAutoFitColWidths; }
  void SetAutoFitColWidths(bool Value) { Store(FAutoFitColWidths, Value); }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { Store(FBorderStyle, Value); }
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int Value) { Store(FRowHeight, Value); }
  TDBGridGdSumList* SumList() const { return FSumList.get(); }
  void SetSumList(TDBGridGdSumList* Value) { FSumList->SetActive(Value->Active()); }
  TVertDBGridGdScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  void SetVertScrollBar(TVertDBGridGdScrollBar* Value) { FVertScrollBar->SetVisibleMode(Value->VisibleMode()); }
  TDBGridGdScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  void SetHorzScrollBar(TDBGridGdScrollBar* Value) { FHorzScrollBar->SetVisibleMode(Value->VisibleMode()); }
  TBookmarkListGd* SelectedRows() const { return FSelectedRows.get(); }
  // The canvas the cell handlers draw on.
  using TCustomControl::Canvas;

  // The field of shown column Index (in column order), or nil.
  TField* GetFields(int Index) const;
  int FieldCount() const;
  // Draws a cell's content in Rect with the canvas's font and brush: a check box for a
  // Boolean field, else the column's display text with its alignment.
  void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State);

  // The data row (0 = first shown) at a client point, or -1.
  int RowAtPos(TPoint Pos);
  // The rectangle of a data row's cell of shown column Col.
  TRect CellRect(int Col, int Row);
  // The number of data rows that fit.
  int VisibleRowCount();

  // The layout or the data changed: repaint.
  void LayoutChanged();

  TDrawColumnCellEventGd OnDrawColumnCell;
  TNotifyEvent OnCellClick;

  void Loaded() override;

 protected:
  void Paint() override;
  // Keeps the arrow keys (and typed characters) for itself rather than for dialog navigation.
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  int TitleHeight();
  int DataRowHeight();
  std::vector<TColumnGd*> ShownColumns() const;
  std::string FooterText(TColumnGd* Column);
  void UpdateBufferCount();
  // Moves the dataset by Distance rows.
  void MoveBy(int Distance);

  std::unique_ptr<TDataLink> FDataLink;
  std::unique_ptr<TDBGridColumnsGd> FColumns;
  std::unique_ptr<TBookmarkListGd> FSelectedRows;
  std::unique_ptr<TFont> FTitleFont;
  std::unique_ptr<TFont> FFooterFont;
  std::unique_ptr<TDBGridGdSumList> FSumList;
  std::unique_ptr<TVertDBGridGdScrollBar> FVertScrollBar;
  std::unique_ptr<TDBGridGdScrollBar> FHorzScrollBar;
  TDBGridOptions FOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                          dgConfirmDelete, dgCancelOnExit};
  TDBGridGdOptions FOptionsGd{dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind};
  int FFooterRowCount = 0;
  TColor FFooterColor = clWindow;
  TColor FFixedColor = clBtnFace;
  bool FFlat = false;
  bool FReadOnly = false;
  bool FDefaultDrawing = true;
  bool FAutoFitColWidths = false;
  TFormBorderStyle FBorderStyle = bsSingle;
  int FRowHeight = 0;
  TBookmark FAnchor;  // where a Shift click extends the selection from
};

class TDBGridGd : public TCustomDBGridGd {
 public:
  explicit TDBGridGd(TComponent* AOwner) : TCustomDBGridGd(AOwner) {}
};
