#include "grid/DBGridGd.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/Frames.h"
#include "platform/os/Input.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"

namespace gd {

namespace {
// The grid's link: every notice of the dataset repaints the grid.
class TGridDataLinkGd : public TDataLink {
 public:
  explicit TGridDataLinkGd(TCustomDBGridGd* Grid) : FGrid(Grid) {}

 protected:
  void ActiveChanged() override { FGrid->LayoutChanged(); }
  void DataSetChanged() override { FGrid->LayoutChanged(); }
  void DataSetScrolled(int) override { FGrid->Invalidate(); }
  void RecordChanged(TField*) override { FGrid->Invalidate(); }
  void LayoutChanged() override { FGrid->LayoutChanged(); }

 private:
  TCustomDBGridGd* FGrid;
};

// Draws Text in R with a 2-pixel inset.
void CellText(TCanvas* Canvas, TRect R, const std::string& Text, TAlignment Alignment, bool WordWrap,
              bool EndEllipsis) {
  TRect inner{R.Left + 2, R.Top + 1, R.Right - 2, R.Bottom - 1};
  std::string text = Text;
  TTextFormat format{tfNoPrefix};
  format.Include(Alignment == taCenter ? tfCenter : Alignment == taRightJustify ? tfRight : tfLeft);
  if (WordWrap) format.Include(tfWordBreak);
  else format += TTextFormat{tfSingleLine, tfVerticalCenter};
  if (EndEllipsis) format.Include(tfEndEllipsis);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextRect(inner, text, format);
}
}  // namespace
}  // namespace gd

const classes::TEnumInfo& EnumInfo(TDBGridOption) {
  static const classes::TEnumInfo info{
      "TDBGridOption", {"dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator", "dgColumnResize", "dgColLines",
                        "dgRowLines", "dgTabs", "dgRowSelect", "dgAlwaysShowSelection", "dgConfirmDelete",
                        "dgCancelOnExit", "dgMultiSelect"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TDBGridGdOption) {
  static const classes::TEnumInfo info{
      "TDBGridGdOption",
      {"dghFixed3D", "dghFrozen3D", "dghFooter3D", "dghData3D", "dghResizeWholeRightPart", "dghHighlightFocus",
       "dghClearSelection", "dghFitRowHeightToText", "dghAutoSortMarking", "dghMultiSortMarking", "dghEnterAsTab",
       "dghTraceColSizing", "dghIncSearch", "dghPreferIncSearch", "dghRowHighlight", "dghDblClickOptimizeColWidth",
       "dghDialogFind", "dghRecordMoving"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFooterValueType) {
  static const classes::TEnumInfo info{
      "TFooterValueType", {"fvtNon", "fvtSum", "fvtAvg", "fvtCount", "fvtFieldValue", "fvtStaticText"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TScrollBarVisibleModeGd) {
  static const classes::TEnumInfo info{"TScrollBarVisibleModeGd", {"sbAlwaysShowGd", "sbNeverShowGd", "sbAutoShowGd"}};
  return info;
}

// ---- title and footer ----

TColumnTitleGd::TColumnTitleGd(TColumnGd* Column) : FColumn(Column), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) { FColumn->ChangedInGrid(); };
}
TColumnTitleGd::~TColumnTitleGd() { FFont->OnChange = nullptr; }
void TColumnTitleGd::SetCaption(const std::string& Value) { FCaption = Value; FColumn->ChangedInGrid(); }
void TColumnTitleGd::SetAlignment(TAlignment Value) { FAlignment = Value; FColumn->ChangedInGrid(); }
void TColumnTitleGd::SetColor(TColor Value) { FColor = Value; FColumn->ChangedInGrid(); }

TColumnFooterGd::TColumnFooterGd(TColumnGd* Column) : FColumn(Column), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) { FColumn->ChangedInGrid(); };
}
TColumnFooterGd::~TColumnFooterGd() { FFont->OnChange = nullptr; }
void TColumnFooterGd::SetValueType(TFooterValueType Value) { FValueType = Value; FColumn->ChangedInGrid(); }
void TColumnFooterGd::SetAlignment(TAlignment Value) { FAlignment = Value; FColumn->ChangedInGrid(); }
void TColumnFooterGd::SetColor(TColor Value) { FColor = Value; FColumn->ChangedInGrid(); }
void TColumnFooterGd::SetFieldName(const std::string& Value) { FFieldName = Value; FColumn->ChangedInGrid(); }
void TColumnFooterGd::SetValue(const std::string& Value) { FValue = Value; FColumn->ChangedInGrid(); }
void TColumnFooterGd::SetDisplayFormat(const std::string& Value) { FDisplayFormat = Value; FColumn->ChangedInGrid(); }

// ---- columns ----

TColumnGd::TColumnGd(TCollection* Collection)
    : TCollectionItem(Collection),
      FFont(std::make_unique<TFont>()),
      FTitle(std::make_unique<TColumnTitleGd>(this)),
      FFooter(std::make_unique<TColumnFooterGd>(this)) {
  if (TCustomDBGridGd* grid = Grid()) {
    FFont->Assign(grid->Font());
    FColor = grid->Color();
  }
  FFont->OnChange = [this](TObject*) { ChangedInGrid(); };
}

TColumnGd::~TColumnGd() { FFont->OnChange = nullptr; }

TCustomDBGridGd* TColumnGd::Grid() const {
  auto* columns = dynamic_cast<TDBGridColumnsGd*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

void TColumnGd::ChangedInGrid() {
  if (TCustomDBGridGd* grid = Grid()) grid->Invalidate();
}

void TColumnGd::SetFieldName(const std::string& Value) { FFieldName = Value; ChangedInGrid(); }
void TColumnGd::SetWidth(int Value) { FWidth = Value; ChangedInGrid(); }
void TColumnGd::SetColor(TColor Value) { FColor = Value; ChangedInGrid(); }
void TColumnGd::SetDisplayFormat(const std::string& Value) { FDisplayFormat = Value; ChangedInGrid(); }
void TColumnGd::SetVisible(bool Value) { FVisible = Value; ChangedInGrid(); }

TAlignment TColumnGd::Alignment() const {
  if (FAlignmentSet) return FAlignment;
  TField* field = Field();
  return field ? field->Alignment() : taLeftJustify;
}

void TColumnGd::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FAlignmentSet = true;
  ChangedInGrid();
}

TField* TColumnGd::Field() const {
  TCustomDBGridGd* grid = Grid();
  TDataSet* dataSet = grid ? grid->DataLink()->DataSet() : nullptr;
  if (!dataSet || FFieldName.empty()) return nullptr;
  return dataSet->FindField(FFieldName);
}

std::string TColumnGd::DisplayText() const {
  TField* field = Field();
  if (!field) return {};
  if (!FDisplayFormat.empty() && !field->IsNull()) {
    switch (field->DataType()) {
      case ftDate:
      case ftTime:
      case ftDateTime: return FormatDateTime(FDisplayFormat, field->AsDateTime());
      default: break;
    }
  }
  return field->DisplayText();
}

TDBGridColumnsGd::TDBGridColumnsGd(TCustomDBGridGd* Grid)
    : TCollection(TCollectionItemClass::Of<TDBGridColumnGd>()), FGrid(Grid) {}

TPersistent* TDBGridColumnsGd::GetOwner() const { return FGrid; }

void TDBGridColumnsGd::Update(TCollectionItem*) {
  if (FGrid) FGrid->LayoutChanged();
}

// ---- selected rows ----

TDataSet* TBookmarkListGd::DataSet() const { return FGrid->DataLink()->DataSet(); }

bool TBookmarkListGd::Find(const TBookmark& Bookmark, int& Index) const {
  TDataSet* dataSet = DataSet();
  auto it = std::lower_bound(FList.begin(), FList.end(), Bookmark, [dataSet](const TBookmark& a, const TBookmark& b) {
    return dataSet ? dataSet->CompareBookmarks(a, b) < 0 : a < b;
  });
  Index = static_cast<int>(it - FList.begin());
  return it != FList.end() && *it == Bookmark;
}

bool TBookmarkListGd::CurrentRowSelected() const {
  TDataSet* dataSet = DataSet();
  if (!FGrid->DataLink()->Active() || !dataSet || dataSet->IsEmpty()) return false;
  int index = 0;
  return Find(dataSet->Bookmark(), index);
}

void TBookmarkListGd::SetCurrentRowSelected(bool Value) {
  TDataSet* dataSet = DataSet();
  if (!FGrid->DataLink()->Active() || !dataSet || dataSet->IsEmpty()) return;
  const TBookmark current = dataSet->Bookmark();
  int index = 0;
  const bool found = Find(current, index);
  if (found == Value) return;
  if (Value) FList.insert(FList.begin() + index, current);
  else FList.erase(FList.begin() + index);
  FGrid->Invalidate();
}

void TBookmarkListGd::Clear() {
  if (FList.empty()) return;
  FList.clear();
  FGrid->Invalidate();
}

void TBookmarkListGd::Delete() {
  TDataSet* dataSet = DataSet();
  if (!dataSet || FList.empty()) return;
  dataSet->DisableControls();
  try {
    while (!FList.empty()) {
      const TBookmark bookmark = FList.back();
      if (dataSet->BookmarkValid(bookmark)) {
        dataSet->GotoBookmark(bookmark);
        dataSet->Delete();
      }
      FList.pop_back();
    }
  } catch (...) {
    dataSet->EnableControls();
    FGrid->Invalidate();
    throw;
  }
  dataSet->EnableControls();
  FGrid->Invalidate();
}

void TBookmarkListGd::SelectAll() {
  TDataSet* dataSet = DataSet();
  if (!FGrid->DataLink()->Active() || !dataSet) return;
  const TBookmark current = dataSet->IsEmpty() ? TBookmark() : dataSet->Bookmark();
  dataSet->DisableControls();
  try {
    FList.clear();
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) FList.push_back(dataSet->Bookmark());
    std::sort(FList.begin(), FList.end(),
              [dataSet](const TBookmark& a, const TBookmark& b) { return dataSet->CompareBookmarks(a, b) < 0; });
    if (!current.empty()) dataSet->GotoBookmark(current);
  } catch (...) {
    dataSet->EnableControls();
    throw;
  }
  dataSet->EnableControls();
  FGrid->Invalidate();
}

void TBookmarkListGd::Refresh() {
  TDataSet* dataSet = DataSet();
  if (!dataSet) return;
  std::erase_if(FList, [dataSet](const TBookmark& b) { return !dataSet->BookmarkValid(b); });
  FGrid->Invalidate();
}

// ---- settings objects ----

void TDBGridGdSumList::SetActive(bool Value) {
  FActive = Value;
  FGrid->Invalidate();
}

void TDBGridGdScrollBar::SetVisibleMode(TScrollBarVisibleModeGd Value) {
  FVisibleMode = Value;
  FGrid->Invalidate();
}

// ---- the grid ----

TCustomDBGridGd::TCustomDBGridGd(TComponent* AOwner)
    : TCustomControl(AOwner),
      FDataLink(std::make_unique<gd::TGridDataLinkGd>(this)),
      FColumns(std::make_unique<TDBGridColumnsGd>(this)),
      FSelectedRows(std::make_unique<TBookmarkListGd>(this)),
      FTitleFont(std::make_unique<TFont>()),
      FFooterFont(std::make_unique<TFont>()),
      FSumList(std::make_unique<TDBGridGdSumList>(this)),
      FVertScrollBar(std::make_unique<TVertDBGridGdScrollBar>(this)),
      FHorzScrollBar(std::make_unique<TDBGridGdScrollBar>(this)) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  FColumns->SetPropName("Columns");
  FTitleFont->OnChange = [this](TObject*) { LayoutChanged(); };
  FFooterFont->OnChange = [this](TObject*) { Invalidate(); };
}

TCustomDBGridGd::~TCustomDBGridGd() {
  FTitleFont->OnChange = nullptr;
  FFooterFont->OnChange = nullptr;
  FColumns->Clear();
  FDataLink->SetDataSource(nullptr);
}

void TCustomDBGridGd::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  FSelectedRows->Clear();
  LayoutChanged();
}

void TCustomDBGridGd::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TCustomDBGridGd::SetOptions(TDBGridOptions Value) {
  if (Value.Contains(dgRowSelect)) Value -= TDBGridOptions{dgEditing, dgAlwaysShowEditor};
  if (FOptions.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect)) FSelectedRows->Clear();
  FOptions = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetFooterRowCount(int Value) {
  if (Value < 0) return;
  FFooterRowCount = Value;
  LayoutChanged();
}

void TCustomDBGridGd::Loaded() {
  TCustomControl::Loaded();
  LayoutChanged();
}

std::vector<TColumnGd*> TCustomDBGridGd::ShownColumns() const {
  std::vector<TColumnGd*> shown;
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Visible()) shown.push_back(FColumns->Items(i));
  return shown;
}

TField* TCustomDBGridGd::GetFields(int Index) const {
  std::vector<TColumnGd*> shown = ShownColumns();
  if (Index < 0 || Index >= static_cast<int>(shown.size())) return nullptr;
  return shown[Index]->Field();
}

int TCustomDBGridGd::FieldCount() const { return static_cast<int>(ShownColumns().size()); }

int TCustomDBGridGd::TitleHeight() {
  return FOptions.Contains(dgTitles) ? std::abs(FTitleFont->Height()) + 6 : 0;
}

int TCustomDBGridGd::DataRowHeight() { return FRowHeight > 0 ? FRowHeight : std::abs(Font()->Height()) + 6; }

int TCustomDBGridGd::VisibleRowCount() {
  const int frame = FBorderStyle == bsSingle ? 2 : 0;
  const int room = Height() - 2 * frame - TitleHeight() - FFooterRowCount * DataRowHeight();
  return std::max(1, room / DataRowHeight());
}

void TCustomDBGridGd::UpdateBufferCount() {
  if (FDataLink->BufferCount() != VisibleRowCount()) FDataLink->SetBufferCount(VisibleRowCount());
}

void TCustomDBGridGd::LayoutChanged() {
  if (HasState(csLoading) || HasState(csDestroying)) return;
  UpdateBufferCount();
  Invalidate();
}

void TCustomDBGridGd::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  LayoutChanged();
}

TRect TCustomDBGridGd::CellRect(int Col, int Row) {
  const int frame = FBorderStyle == bsSingle ? 2 : 0;
  int x = frame + (FOptions.Contains(dgIndicator) ? 11 : 0);
  std::vector<TColumnGd*> shown = ShownColumns();
  for (int i = 0; i < Col && i < static_cast<int>(shown.size()); ++i) x += shown[i]->Width() + 1;
  const int width = Col < static_cast<int>(shown.size()) ? shown[Col]->Width() : 0;
  const int y = frame + TitleHeight() + Row * DataRowHeight();
  return {x, y, x + width, y + DataRowHeight()};
}

int TCustomDBGridGd::RowAtPos(TPoint Pos) {
  const int frame = FBorderStyle == bsSingle ? 2 : 0;
  const int top = frame + TitleHeight();
  if (Pos.Y < top) return -1;
  const int row = (Pos.Y - top) / DataRowHeight();
  return row < FDataLink->RecordCount() ? row : -1;
}

void TCustomDBGridGd::DefaultDrawColumnCell(const TRect& Rect, int, TColumnGd* Column, TGridDrawState) {
  TCanvas* canvas = Canvas();
  TField* field = Column ? Column->Field() : nullptr;
  if (field && field->DataType() == ftBoolean) {
    const int size = 13;
    TRect box{Rect.Left + (Rect.Width() - size) / 2, Rect.Top + (Rect.Height() - size) / 2, 0, 0};
    box.Right = box.Left + size;
    box.Bottom = box.Top + size;
    canvas->RequiredState(TCanvasState{csHandleValid});
    DrawFrameControl(canvas->Handle(), &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | (!field->IsNull() && field->AsBoolean() ? UINT(DFCS_CHECKED) : 0u));
    return;
  }
  gd::CellText(canvas, Rect, Column ? Column->DisplayText() : std::string(), Column ? Column->Alignment() : taLeftJustify,
               Column && Column->WordWrap(), Column && Column->EndEllipsis());
}

std::string TCustomDBGridGd::FooterText(TColumnGd* Column) {
  TColumnFooterGd* footer = Column->Footer();
  TDataSet* dataSet = FDataLink->DataSet();
  switch (footer->ValueType()) {
    case fvtCount: return dataSet && FDataLink->Active() ? IntToStr(dataSet->RecordCount()) : "0";
    case fvtStaticText: return footer->Value();
    case fvtFieldValue: {
      TField* field = dataSet ? dataSet->FindField(footer->FieldName()) : nullptr;
      return field ? field->DisplayText() : std::string();
    }
    default: return {};
  }
}

void TCustomDBGridGd::Paint() {
  TCanvas* canvas = Canvas();
  TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  if (FBorderStyle == bsSingle) {
      TRect edge = client;
      DrawEdge(canvas->Handle(), &edge, EDGE_SUNKEN, BF_RECT);
    }
  const int frame = FBorderStyle == bsSingle ? 2 : 0;
  std::vector<TColumnGd*> shown = ShownColumns();
  // Titles.
  if (FOptions.Contains(dgTitles)) {
    for (int c = 0; c < static_cast<int>(shown.size()); ++c) {
      TRect cell = CellRect(c, 0);
      cell = {cell.Left, frame, cell.Right + 1, frame + TitleHeight()};
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(shown[c]->Title()->Color());
      canvas->FillRect(cell);
      TRect edge = cell;
      if (FOptionsGd.Contains(dghFixed3D) && !FFlat) DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
      canvas->SetFont(shown[c]->Title()->Font());
      gd::CellText(canvas, cell, shown[c]->Title()->Caption(), shown[c]->Title()->Alignment(), false, true);
    }
  }
  // Rows of the link's buffer window.
  const int rows = FDataLink->Active() ? FDataLink->RecordCount() : 0;
  const int active = rows ? FDataLink->ActiveRecord() : -1;
  for (int r = 0; r < rows; ++r) {
    FDataLink->SetActiveRecord(r);
    const bool current = r == active;
    const bool selected = FOptions.Contains(dgMultiSelect) && FSelectedRows->CurrentRowSelected();
    for (int c = 0; c < static_cast<int>(shown.size()); ++c) {
      TRect cell = CellRect(c, r);
      TGridDrawState state;
      const bool highlight = selected || (current && FOptions.Contains(dgRowSelect) && (Focused() || FOptions.Contains(dgAlwaysShowSelection)));
      if (highlight) state.Include(gdSelected);
      if (current && Focused()) state.Include(gdFocused);
      canvas->SetFont(shown[c]->Font());
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(highlight ? clHighlight : shown[c]->Color());
      if (highlight) canvas->Font()->SetColor(clHighlightText);
      canvas->FillRect(cell);
      if (OnDrawColumnCell) OnDrawColumnCell(this, cell, c, shown[c], state);
      else DefaultDrawColumnCell(cell, c, shown[c], state);
      if (FOptions.Contains(dgColLines)) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clBtnFace);
        canvas->FillRect({cell.Right, cell.Top, cell.Right + 1, cell.Bottom});
      }
    }
    if (FOptions.Contains(dgRowLines) && !shown.empty()) {
      TRect last = CellRect(static_cast<int>(shown.size()) - 1, r);
      canvas->Brush()->SetColor(clBtnFace);
      canvas->FillRect({frame, last.Bottom - 1, last.Right + 1, last.Bottom});
    }
    if (FOptions.Contains(dgIndicator)) {
      TRect indicator{frame, CellRect(0, r).Top, frame + 11, CellRect(0, r).Bottom};
      canvas->Brush()->SetColor(FFixedColor);
      canvas->FillRect(indicator);
      if (current) {
        canvas->Brush()->SetColor(clBtnText);
        const int cy = indicator.Top + indicator.Height() / 2;
        for (int i = 0; i < 4; ++i) canvas->FillRect({indicator.Left + 3 + i, cy - 3 + i, indicator.Left + 4 + i, cy + 4 - i});
      }
    }
  }
  if (rows) FDataLink->SetActiveRecord(active);
  // Footer rows, at the bottom of the client area.
  for (int f = 0; f < FFooterRowCount; ++f) {
    const int bottom = client.Bottom - frame - (FFooterRowCount - 1 - f) * DataRowHeight();
    for (int c = 0; c < static_cast<int>(shown.size()); ++c) {
      TRect cell = CellRect(c, 0);
      cell = {cell.Left, bottom - DataRowHeight(), cell.Right + 1, bottom};
      TColumnFooterGd* footer = shown[c]->Footer();
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(footer->Color() == clWindow ? FFooterColor : footer->Color());
      canvas->FillRect(cell);
      canvas->SetFont(footer->Font());
      gd::CellText(canvas, cell, FooterText(shown[c]), footer->Alignment(), false, true);
    }
  }
}

void TCustomDBGridGd::MoveBy(int Distance) {
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet || Distance == 0) return;
  dataSet->MoveBy(Distance);
}

void TCustomDBGridGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus()) SetFocus();
  const int row = RowAtPos({X, Y});
  if (row >= 0 && (Button == mbLeft || Button == mbRight)) {
    MoveBy(row - FDataLink->ActiveRecord());
    TDataSet* dataSet = FDataLink->DataSet();
    if (Button == mbLeft && FOptions.Contains(dgMultiSelect) && dataSet && !dataSet->IsEmpty()) {
      if (Shift.Contains(ssCtrl)) {
        FSelectedRows->SetCurrentRowSelected(!FSelectedRows->CurrentRowSelected());
        FAnchor = dataSet->Bookmark();
      } else if (Shift.Contains(ssShift) && !FAnchor.empty() && dataSet->BookmarkValid(FAnchor)) {
        // Every row between the anchor and this one becomes selected.
        const TBookmark target = dataSet->Bookmark();
        const bool forward = dataSet->CompareBookmarks(FAnchor, target) <= 0;
        dataSet->DisableControls();
        dataSet->GotoBookmark(FAnchor);
        while (true) {
          FSelectedRows->SetCurrentRowSelected(true);
          if (dataSet->Bookmark() == target) break;
          dataSet->MoveBy(forward ? 1 : -1);
        }
        dataSet->EnableControls();
      } else {
        FSelectedRows->Clear();
        FSelectedRows->SetCurrentRowSelected(true);
        FAnchor = dataSet->Bookmark();
      }
    }
    if (Button == mbLeft && OnCellClick) OnCellClick(this);
  }
  Invalidate();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomDBGridGd::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  TDataSet* dataSet = FDataLink->DataSet();
  if (!FDataLink->Active() || !dataSet) return;
  switch (Key) {
    case VK_DOWN: MoveBy(1); break;
    case VK_UP: MoveBy(-1); break;
    case VK_NEXT: MoveBy(VisibleRowCount()); break;
    case VK_PRIOR: MoveBy(-VisibleRowCount()); break;
    case VK_HOME: if (Shift.Contains(ssCtrl)) dataSet->First(); break;
    case VK_END: if (Shift.Contains(ssCtrl)) dataSet->Last(); break;
    case VK_SPACE:
      if (FOptions.Contains(dgMultiSelect)) FSelectedRows->SetCurrentRowSelected(!FSelectedRows->CurrentRowSelected());
      break;
    default: return;
  }
  Key = 0;
}

bool TCustomDBGridGd::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  MoveBy(WheelDelta > 0 ? -1 : 1);
  return true;
}

void TCustomDBGridGd::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
}

void TCustomDBGridGd::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  Invalidate();
}

void TCustomDBGridGd::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---- published properties ----

static const classes::TPublished<TColumnTitleGd, TPersistent> ColumnTitleGdInfo([](auto& p) {
  using T = TColumnTitleGd;
  p.String("Caption", &T::Caption, &T::SetCaption);
  p.Enum("Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify);
  p.Int("Color", &T::Color, &T::SetColor).Default(clBtnFace).Idents(ColorIdents());
  p.Object("Font", &T::Font, &T::SetFont);
});
static const classes::TPublished<TColumnFooterGd, TPersistent> ColumnFooterGdInfo([](auto& p) {
  using F = TColumnFooterGd;
  p.Enum("ValueType", &F::ValueType, &F::SetValueType).Default(fvtNon);
  p.Enum("Alignment", &F::Alignment, &F::SetAlignment).Default(taLeftJustify);
  p.Int("Color", &F::Color, &F::SetColor).Default(clWindow).Idents(ColorIdents());
  p.Object("Font", &F::Font, &F::SetFont);
  p.String("FieldName", &F::FieldName, &F::SetFieldName);
  p.String("Value", &F::Value, &F::SetValue);
  p.String("DisplayFormat", &F::DisplayFormat, &F::SetDisplayFormat);
});
static const classes::TPublished<TColumnGd, TCollectionItem> ColumnGdInfo([](auto& p) {
  using C = TColumnGd;
  p.String("FieldName", &C::FieldName, &C::SetFieldName);
  p.Int("Width", &C::Width, &C::SetWidth).Default(64);
  p.Enum("Alignment", &C::Alignment, &C::SetAlignment).Default(taLeftJustify);
  p.Int("Color", &C::Color, &C::SetColor).Default(clWindow).Idents(ColorIdents());
  p.Object("Font", &C::Font, &C::SetFont);
  p.String("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
  p.Bool("Visible", &C::Visible, &C::SetVisible).Default(true);
  p.Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  p.Bool("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
  p.Bool("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
  p.Object("Title", &C::Title, &C::SetTitle);
  p.Object("Footer", &C::Footer, &C::SetFooter);
});
static const classes::TPublished<TDBGridColumnGd, TColumnGd> DBGridColumnGdInfo;
static const classes::TPublished<TDBGridColumnsGd, TCollection> DBGridColumnsGdInfo;
static const classes::TPublished<TDBGridGdSumList, TPersistent> DBGridGdSumListInfo([](auto& p) {
  p.Bool("Active", &TDBGridGdSumList::Active, &TDBGridGdSumList::SetActive).Default(false);
  p.Bool("VirtualRecords", &TDBGridGdSumList::VirtualRecords, &TDBGridGdSumList::SetVirtualRecords).Default(false);
});
static const classes::TPublished<TDBGridGdScrollBar, TPersistent> DBGridGdScrollBarInfo([](auto& p) {
  p.Bool("Tracking", &TDBGridGdScrollBar::Tracking, &TDBGridGdScrollBar::SetTracking).Default(false);
  p.Bool("Visible", &TDBGridGdScrollBar::Visible, &TDBGridGdScrollBar::SetVisible).Default(true);
});
static const classes::TPublished<TVertDBGridGdScrollBar, TDBGridGdScrollBar> VertDBGridGdScrollBarInfo([](auto& p) {
  p.Enum("VisibleMode", &TVertDBGridGdScrollBar::VisibleMode, &TVertDBGridGdScrollBar::SetVisibleMode)
      .Default(sbAutoShowGd);
});
static const classes::TPublished<TCustomDBGridGd, TCustomControl> CustomDBGridGdInfo([](auto& p) {
  using G = TCustomDBGridGd;
  p.Int("Color", &G::Color, &G::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&G::IsColorStored);
  p.Bool("ParentColor", &G::ParentColor, &G::SetParentColor).Default(false);
  p.Bool("TabStop", &G::TabStop, &G::SetTabStop).Default(true);
  p.Component("DataSource", &G::DataSource, &G::SetDataSource);
  p.Object("Columns", &G::Columns, &G::SetColumns);
  p.template Set<TDBGridOption>("Options", &G::Options, &G::SetOptions)
      .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                              dgConfirmDelete, dgCancelOnExit});
  p.template Set<TDBGridGdOption>("OptionsGd", &G::OptionsGd, &G::SetOptionsGd)
      .Default(TDBGridGdOptions{dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind});
  p.Int("FooterRowCount", &G::FooterRowCount, &G::SetFooterRowCount).Default(0);
  p.Int("FooterColor", &G::FooterColor, &G::SetFooterColor).Default(clWindow).Idents(ColorIdents());
  p.Object("FooterFont", &G::FooterFont, &G::SetFooterFont);
  p.Object("TitleFont", &G::TitleFont, &G::SetTitleFont);
  p.Int("FixedColor", &G::FixedColor, &G::SetFixedColor).Default(clBtnFace).Idents(ColorIdents());
  p.Bool("Flat", &G::Flat, &G::SetFlat).Default(false);
  p.Bool("ReadOnly", &G::ReadOnly, &G::SetReadOnly).Default(false);
  p.Bool("DefaultDrawing", &G::DefaultDrawing, &G::SetDefaultDrawing).Default(true);
  p.Bool("AutoFitColWidths", &G::AutoFitColWidths, &G::SetAutoFitColWidths).Default(false);
  p.Enum("BorderStyle", &G::BorderStyle, &G::SetBorderStyle).Default(bsSingle);
  p.Int("RowHeight", &G::RowHeight, &G::SetRowHeight).Default(0);
  p.Object("SumList", &G::SumList, &G::SetSumList);
  p.Object("VertScrollBar", &G::VertScrollBar, &G::SetVertScrollBar);
  p.Object("HorzScrollBar", &G::HorzScrollBar, &G::SetHorzScrollBar);
  p.Event("OnDrawColumnCell", &G::OnDrawColumnCell);
  p.Event("OnCellClick", &G::OnCellClick);
});
static const classes::TPublished<TDBGridGd, TCustomDBGridGd> DBGridGdInfo;
