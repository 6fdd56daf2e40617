#pragma once
// The grid controls: TCustomGrid, a scrollable table of cells drawn by its descendants, with
// fixed rows and columns at the top and left that do not scroll, a current cell and a
// selection, sizing and moving of rows and columns with the mouse, keyboard navigation, and an
// in-place editor (TInplaceEdit) laid over the current cell. TDrawGrid hands the drawing of
// each cell to OnDrawCell; TStringGrid keeps a string per cell and draws and edits it.
//
// Geometry: a cell's extent is its width (height) plus the grid line width; a column of width
// -1 is hidden and takes no room. Fixed cells sit at the top left; the scrolling cells start
// at LeftCol / TopRow. CalcDrawInfo measures both axes for the client area, and everything
// that maps points to cells (MouseCoord, CellRect, the sizing zones) goes through it, so a
// descendant that overrides it changes all of them together.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Mask.h"

class EInvalidGridOperation : public Exception { public: using Exception::Exception; };

struct TGridCoord {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TGridCoord&) const = default;
};

// A block of cells, all four edges inclusive.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TGridCoord TopLeft() const { return {Left, Top}; }
  constexpr TGridCoord BottomRight() const { return {Right, Bottom}; }
  constexpr bool operator==(const TGridRect&) const = default;
};
// The block spanned by two corners, in any order.
TGridRect GridRect(TGridCoord Coord1, TGridCoord Coord2);
bool PointInGridRect(int Col, int Row, const TGridRect& Rect);

enum TGridOption {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected, goRowSizing,
  goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
inline constexpr TGridOptions GridOptionsDefault{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                                 goRangeSelect};
enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
// Scoped: the control library's frame sides use the same names.
enum class TGridScrollDir { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirection = TSet<TGridScrollDir>;

const classes::TEnumInfo& EnumInfo(TGridOption);

// One axis of the grid as it is laid out in the client area (pixels from the client edge).
struct TGridAxisDrawInfo {
  int EffectiveLineWidth = 0;   // the line width when lines are drawn on this axis, else 0
  int FixedBoundary = 0;        // where the fixed cells end (their lines included)
  int GridBoundary = 0;         // where the last visible cell ends, at most GridExtent
  int GridExtent = 0;           // the client width or height
  int LastFullVisibleCell = 0;  // the last cell shown whole
  int FullVisBoundary = 0;      // where that cell ends (its line included)
  int FixedCellCount = 0;
  int FirstGridCell = 0;        // the first scrolling cell shown (LeftCol / TopRow)
  int GridCellCount = 0;
  std::function<int(int)> GetExtent;  // a cell's width or height (-1: hidden)
  // The room a cell takes with its line; 0 for a hidden cell.
  int Extent(int Index) const {
    int size = GetExtent(Index);
    return size < 0 ? 0 : size + EffectiveLineWidth;
  }
};
struct TGridDrawInfo {
  TGridAxisDrawInfo Horz;
  TGridAxisDrawInfo Vert;
};

class TInplaceEdit;

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

class TCustomGrid : public TCustomControl {
 public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  // ---- structure ----
  int ColCount() const { return FColCount; }
  void SetColCount(int Value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  // EInvalidGridOperation when not below ColCount / RowCount.
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  // Every column takes the new width (widths set one by one are dropped).
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  // -1 hides a column. An index outside the grid raises EInvalidGridOperation.
  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  // Whether Tab stops at a column (all do unless told otherwise).
  bool TabStops(int Index) const;
  void SetTabStops(int Index, bool Value);

  // ---- position ----
  // The current cell; setting it moves the selection there and scrolls it into view.
  int Col() const { return FCurrent.X; }
  void SetCol(int Value);
  int Row() const { return FCurrent.Y; }
  void SetRow(int Value);
  // The first scrolling row / column shown; kept within what can be scrolled to.
  int TopRow() const { return FTopLeft.Y; }
  void SetTopRow(int Value);
  int LeftCol() const { return FTopLeft.X; }
  void SetLeftCol(int Value);
  // The scrolling columns / rows shown whole.
  int VisibleColCount();
  int VisibleRowCount();
  // From the current cell to the anchor (whole rows with goRowSelect).
  TGridRect Selection() const;
  void SetSelection(const TGridRect& Value);
  // The width and height the cells take in the client area.
  int GridWidth();
  int GridHeight();

  // ---- look and behaviour ----
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  // bsSingle: a sunken client edge (a thin border without Ctl3D); bsNone: no frame.
  void SetBorderStyle(TBorderStyle Value);
  // The grid fills the cells, raises the fixed ones and draws the focus frame itself.
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  // Whether the in-place editor is (to be) shown over the current cell.
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  // Options the grid behaves as having while it is designed.
  TGridOptions DesignOptionsBoost() const { return FDesignOptionsBoost; }
  void SetDesignOptionsBoost(TGridOptions Value) { FDesignOptionsBoost = Value; }

  // ---- geometry ----
  // The cell's rectangle in the client area; empty when the cell is not shown.
  TRect CellRect(int ACol, int ARow);
  // The cell under a client point; (-1, -1) outside the cells.
  TGridCoord MouseCoord(int X, int Y);
  void MouseToCell(int X, int Y, int& ACol, int& ARow);

  TSelectCellEvent OnSelectCell;
  TNotifyEvent OnTopLeftChanged;

 protected:
  friend class TInplaceEdit;

  // ---- painting ----
  void Paint() override;
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
  virtual void CalcDrawInfo(TGridDrawInfo& DrawInfo);
  // The fixed parts of both axes (line widths, fixed boundaries, first cells, counts).
  virtual void CalcFixedInfo(TGridDrawInfo& DrawInfo);
  // The whole layout for a client area of the given size.
  void CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int UseWidth, int UseHeight);
  // The rectangle covering the cells of a block that are shown (client coordinates).
  TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom);
  void InvalidateCell(int ACol, int ARow);
  void InvalidateRow(int ARow);
  void InvalidateCol(int ACol);
  void InvalidateGrid() { Invalidate(); }
  void InvalidateGridRect(const TGridRect& ARect);

  // ---- moving and selecting ----
  // Moves the current cell (MoveAnchor also moves the other corner of the selection there;
  // Show scrolls the cell into view) when SelectCell allows it. EInvalidGridOperation for a
  // cell outside the scrolling area.
  void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
  // MoveColRow with scrolling, then the editor follows and OnClick fires.
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  virtual bool SelectCell(int ACol, int ARow);
  virtual void TopLeftChanged();
  // Scrolls while the mouse is held outside the cells during a selection.
  virtual void TimedScroll(TGridScrollDirection Direction);
  // A key the grid lets through to its navigation (all by default).
  virtual bool CanGridAcceptKey(WORD Key, TShiftState Shift);

  // ---- structure changes ----
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void RowMoved(int FromIndex, int ToIndex);
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  // After ColCount or RowCount changed.
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  void MoveColumn(int FromIndex, int ToIndex);
  void MoveRow(int FromIndex, int ToIndex);
  virtual void DeleteColumn(int ACol);
  virtual void DeleteRow(int ARow);

  // ---- sizing and moving with the mouse ----
  // Whether a point is on a sizing zone of a fixed row's or column's divider: State gets
  // gsColSizing or gsRowSizing with the cell being sized, the divider's position and its
  // offset from the point; otherwise gsNormal.
  virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                               TGridDrawInfo& FixedInfo);
  // The point is on a sizing zone or a sizing is going on.
  bool Sizing(int X, int Y);

  // ---- the in-place editor ----
  virtual TInplaceEdit* CreateEditor();
  void ShowEditor();
  void HideEditor();
  // Loads the editor again for the current cell.
  void InvalidateEditor();
  // Shows, moves or loads the editor as the current cell and EditorMode ask.
  void UpdateEdit();
  // Hands the editor's text to SetEditText.
  void UpdateText();
  void ShowEditorChar(char32_t Ch);
  virtual bool CanEditShow();
  virtual bool CanEditModify();
  virtual bool CanEditAcceptKey(char32_t Key);
  virtual std::string GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const std::string& Value);
  virtual int GetEditLimit();
  virtual std::string GetEditMask(int ACol, int ARow);
  // The grid (or its editor) is the active control of its form.
  bool IsActiveControl();

  // ---- input ----
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

  // ---- window ----
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMCancelMode(TMessage& Message) override;
  void WMCommandReflect(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  virtual void WMVScroll(TMessage& Message);
  virtual void WMHScroll(TMessage& Message);
  virtual void WMTimer(TMessage& Message);
  virtual void WMGetDlgCode(TMessage& Message);
  virtual void CMCancelMode(TMessage& Message);
  // Scroll bars follow the scrollable range and the top-left cell. A descendant whose rows are
  // not all held (a grid over a data set) overrides them to show its own range and position.
  virtual void UpdateScrollRange();
  virtual void UpdateScrollPos();
  // What a scroll bar's code (SB_LINEDOWN, SB_THUMBPOSITION with Pos...) does: scrolls the
  // rows or columns. Scroll messages, the auto-scroll of a drag and moving a row past the
  // edge all come here.
  virtual void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos);

  // ---- state shared with descendants ----
  TGridState FGridState = gsNormal;
  TInplaceEdit* FInplaceEdit = nullptr;  // a child component, freed with the grid
  int FInplaceCol = -1;                  // the cell the editor holds, -1 when none
  int FInplaceRow = -1;
  int FSizingIndex = -1;  // the row or column being sized
  int FSizingPos = 0;     // where the sizing line is
  int FSizingOfs = 0;     // from the mouse to the line
  int FMoveIndex = -1;    // the row or column being moved
  int FMovePos = -1;      // where it would go
  bool FCanEditModify = false;

 private:
  void ChangeSize(int NewColCount, int NewRowCount);
  // The first scrolling cell becomes current and the view starts there.
  void StartAtFirstCell();
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
  void MoveAnchor(TGridCoord NewAnchor);
  void MoveTopLeft(int ALeft, int ATop);
  void ClampInView(TGridCoord Coord);
  TGridCoord CalcMaxTopLeft(TGridCoord Coord, const TGridDrawInfo& DrawInfo);
  TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo);
  void SelectionMoved(const TGridRect& OldSel);
  void HideEdit();
  void DrawSizingLine(const TGridDrawInfo& DrawInfo);
  void DrawMove();
  void MoveAndScroll(int Mouse, int CellHit, TGridDrawInfo& DrawInfo, TGridAxisDrawInfo& Axis, int ScrollBar);
  void StopTimer();
  void CancelMouseMode();
  int ResizeLine(const TGridAxisDrawInfo& Axis);
  void DrawLines(bool DoHorz, bool DoVert, int StartCol, int StartRow, const TRect& Area, TColor LineColor,
                 TColor BackColor, const TGridDrawInfo& DrawInfo);
  void DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor CellColor,
                 TGridDrawState IncludeDrawState, const TGridDrawInfo& DrawInfo);
  void InvalidateScreenRect(TRect R);
  // The editor's window, nullptr when it has none.
  HWND InplaceWindow() const;

  int FColCount = 5;
  int FRowCount = 5;
  int FFixedCols = 1;
  int FFixedRows = 1;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  int FGridLineWidth = 1;
  std::vector<int> FColWidths;  // empty: every column has the default width
  std::vector<int> FRowHeights;
  std::vector<bool> FTabStops;  // empty: every column is a tab stop
  TGridCoord FCurrent{1, 1};
  TGridCoord FAnchor{1, 1};
  TGridCoord FTopLeft{1, 1};
  TGridOptions FOptions = GridOptionsDefault;
  TGridOptions FDesignOptionsBoost{goColSizing, goRowSizing};
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  bool FDefaultDrawing = true;
  TColor FFixedColor = clBtnFace;
  bool FEditorMode = false;
  bool FTimerRunning = false;
  bool FMoveDrawn = false;
  bool FUpdatingScrollBars = false;
};

// The editor a grid lays over its current cell: a masked edit without a border that the grid
// shows, moves and hides (its window's visibility, not Visible, tells whether it shows). The
// keys that move between cells go on to the grid; Esc gives the cell its text back.
class TInplaceEdit : public TCustomMaskEdit {
 public:
  explicit TInplaceEdit(TComponent* AOwner);

  TCustomGrid* Grid() const { return FGrid; }
  // The caret to the end of the text, nothing selected.
  void Deselect();
  // Hides the window; the grid takes the focus back when the editor had it.
  void Hide();
  // Repaints the editor and the grid's cell under it.
  void Invalidate() override;
  // Shows the editor over Loc (the grid's client coordinates) and repaints it; an empty Loc
  // hides it.
  void Move(const TRect& Loc);
  // The editor lies exactly over Rect.
  bool PosEqual(const TRect& Rect);
  // Only while shown.
  void SetFocus() override;
  // As Move, repainting only what the move needs.
  void UpdateLoc(const TRect& Loc);
  // Whether the window shows.
  bool Visible();
  // Keys that move between cells go to the grid; Esc gives the cell its text back first.
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

 protected:
  friend class TCustomGrid;
  void SetGrid(TCustomGrid* Value) { FGrid = Value; }
  // After the bounds changed: the text area and the caret follow.
  virtual void BoundsChanged();
  // Loads the text, the mask and the limit of the grid's current cell.
  virtual void UpdateContents();
  virtual void InternalMove(const TRect& Loc, bool Redraw);
  void CreateParams(TCreateParams& Params) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  bool EditCanModify() override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  // The grid shows and hides the window itself.
  void CMShowingChanged(TMessage& Message) override;

 private:
  TCustomGrid* FGrid = nullptr;
  std::string FLoadedText;  // what the cell held when the editor took it
};

// A grid whose cells are drawn by OnDrawCell.
class TDrawGrid : public TCustomGrid {
 public:
  explicit TDrawGrid(TComponent* AOwner);

  TDrawCellEvent OnDrawCell;
  TGetEditEvent OnGetEditMask;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;
  TMovedEvent OnColumnMoved;
  TMovedEvent OnRowMoved;

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  std::string GetEditMask(int ACol, int ARow) override;
  std::string GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;
};

// A grid holding a string per cell, drawn 2 pixels in from the cell's top left and edited in
// place; the strings move with their rows and columns.
class TStringGrid : public TDrawGrid {
 public:
  explicit TStringGrid(TComponent* AOwner);

  // An index outside the grid raises EInvalidGridOperation.
  std::string Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const std::string& Value);

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  void SizeChanged(int OldColCount, int OldRowCount) override;
  std::string GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;

 private:
  void CheckCell(int ACol, int ARow) const;
  std::vector<std::vector<std::string>> FCells;  // [row][col]
};
