#include "platform/controls/ListView.h"

#include <algorithm>

#include "platform/rtl/Strings.h"

// ---- columns ----

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

void TListColumn::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed(false);
}
void TListColumn::SetWidth(int Value) {
  Value = std::max(Value, 0);
  if (FWidth == Value) return;
  FWidth = Value;
  Changed(false);
}
void TListColumn::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Changed(false);
}
void TListColumn::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  Changed(false);
}
void TListColumn::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed(false);
}

void TListColumn::Assign(TPersistent* Source) {
  auto* c = dynamic_cast<TListColumn*>(Source);
  if (!c) {
    TCollectionItem::Assign(Source);
    return;
  }
  FCaption = c->FCaption;
  FWidth = c->FWidth;
  FAlignment = c->FAlignment;
  FAutoSize = c->FAutoSize;
  FImageIndex = c->FImageIndex;
  FTag = c->FTag;
  Changed(false);
}

std::string TListColumn::GetDisplayName() const { return FCaption.empty() ? TCollectionItem::GetDisplayName() : FCaption; }

TListColumns::TListColumns(TCustomListView* AOwner)
    : TCollection(TCollectionItemClass::Of<TListColumn>()), FOwner(AOwner) {
  SetPropName("Columns");
}

TPersistent* TListColumns::GetOwner() const { return FOwner; }

void TListColumns::Update(TCollectionItem*) { FOwner->ColumnsChanged(); }

// ---- items ----

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(std::make_unique<TStringList>()) {
  FSubItems->OnChange = [this](TObject*) { Changed(ctText); };
}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const { return FOwner->Owner(); }

void TListItem::Changed(TItemChange Change) {
  TCustomListView* view = ListView();
  if (FIndex < 0 || FOwner->FTemp.get() == this) return;
  view->ItemChanged(FIndex);
  if (FOwner->FUpdateCount == 0) view->Change(this, Change);
}

void TListItem::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed(ctText);
  if (FIndex >= 0 && FOwner->FTemp.get() != this) ListView()->SortNew();
}

void TListItem::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed(ctImage);
}
void TListItem::SetStateIndex(int Value) {
  if (FStateIndex == Value) return;
  FStateIndex = Value;
  Changed(ctImage);
}
void TListItem::SetOverlayIndex(int Value) {
  if (FOverlayIndex == Value) return;
  FOverlayIndex = Value;
  Changed(ctImage);
}

bool TListItem::Selected() const { return (ListView()->StateOf(FIndex) & LVIS_SELECTED) != 0; }
void TListItem::SetSelected(bool Value) {
  TCustomListView* v = ListView();
  if (Value && !v->MultiSelect()) v->SelectOnly(FIndex);
  else v->SetItemState(FIndex, LVIS_SELECTED, Value ? LVIS_SELECTED : 0);
}
bool TListItem::Focused() const { return (ListView()->StateOf(FIndex) & LVIS_FOCUSED) != 0; }
void TListItem::SetFocused(bool Value) {
  if (Value) ListView()->FocusItem(FIndex);
  else ListView()->SetItemState(FIndex, LVIS_FOCUSED, 0);
}
bool TListItem::Cut() const { return (ListView()->StateOf(FIndex) & LVIS_CUT) != 0; }
void TListItem::SetCut(bool Value) { ListView()->SetItemState(FIndex, LVIS_CUT, Value ? LVIS_CUT : 0); }
bool TListItem::DropTarget() const { return (ListView()->StateOf(FIndex) & LVIS_DROPHILITED) != 0; }
void TListItem::SetDropTarget(bool Value) {
  ListView()->SetItemState(FIndex, LVIS_DROPHILITED, Value ? LVIS_DROPHILITED : 0);
}

TPoint TListItem::Position() const {
  TRect r = ListView()->ItemBounds(FIndex);
  return {r.Left, r.Top};
}

void TListItem::SetPosition(TPoint Value) {
  TCustomListView* v = ListView();
  if (FIndex < 0) return;
  if (static_cast<int>(v->FPositions.size()) <= FIndex) v->FPositions.resize(static_cast<size_t>(FIndex) + 1, {-1, -1});
  v->FPositions[static_cast<size_t>(FIndex)] = {Value.X + v->FScrollX, Value.Y + v->FScrollY};
  v->ItemsChanged();
}

void TListItem::Delete() { FOwner->Delete(FIndex); }
void TListItem::MakeVisible(bool PartialOK) { ListView()->EnsureVisible(FIndex, PartialOK); }
TRect TListItem::DisplayRect(TDisplayCode Code) const { return ListView()->ItemRect(FIndex, Code); }

bool TListItem::EditCaption() {
  TCustomListView* v = ListView();
  v->BeginEdit(FIndex);
  return v->FEditItem == FIndex;
}

void TListItem::CancelEdit() {
  TCustomListView* v = ListView();
  if (v->FEditItem == FIndex) v->FinishEdit(true);
}

void TListItem::Assign(TPersistent* Source) {
  auto* i = dynamic_cast<TListItem*>(Source);
  if (!i) {
    TPersistent::Assign(Source);
    return;
  }
  FCaption = i->FCaption;
  FSubItems->Assign(i->FSubItems.get());
  FImageIndex = i->FImageIndex;
  FStateIndex = i->FStateIndex;
  FOverlayIndex = i->FOverlayIndex;
  FData = i->FData;
  Changed(ctText);
}

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner), FTemp(std::make_unique<TListItem>(this)) {}

TListItems::~TListItems() = default;

int TListItems::Count() const { return FOwner->FOwnerData ? FOwner->FVirtualCount : static_cast<int>(FItems.size()); }

void TListItems::SetCount(int Value) {
  if (!FOwner->FOwnerData) return;
  Value = std::max(Value, 0);
  FOwner->FVirtualCount = Value;
  FOwner->FVirtualStates.assign(static_cast<size_t>(Value), 0);
  FOwner->FScrollX = FOwner->FScrollY = 0;
  FOwner->ItemsChanged();
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  if (!FOwner->FOwnerData) return FItems[static_cast<size_t>(Index)].get();
  TListItem* t = FTemp.get();
  t->FIndex = Index;
  t->FCaption.clear();
  t->FSubItems->Clear();
  t->FImageIndex = -1;
  t->FStateIndex = -1;
  t->FOverlayIndex = -1;
  t->FData = nullptr;
  FOwner->OwnerDataFetch(t, {irText, irImage, irParam, irState, irIndent});
  return t;
}

void TListItems::Renumber(int From) {
  for (size_t i = static_cast<size_t>(std::max(From, 0)); i < FItems.size(); ++i) FItems[i]->FIndex = static_cast<int>(i);
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index) {
  if (FOwner->FOwnerData) return nullptr;
  Index = std::clamp(Index, 0, Count());
  auto item = std::make_unique<TListItem>(this);
  TListItem* p = item.get();
  FItems.insert(FItems.begin() + Index, std::move(item));
  Renumber(Index);
  FOwner->StatesInserted(Index);
  FOwner->InsertItem(p);
  FOwner->ItemsChanged();
  return p;
}

void TListItems::Delete(int Index) {
  if (FOwner->FOwnerData || Index < 0 || Index >= Count()) return;
  TListItem* item = FItems[static_cast<size_t>(Index)].get();
  FOwner->Delete(item);
  // The item may have gone already in the handler (deleting twice is ignored).
  if (Index >= Count() || FItems[static_cast<size_t>(Index)].get() != item) return;
  FOwner->StatesDeleted(Index);
  FItems.erase(FItems.begin() + Index);
  Renumber(Index);
  FOwner->ItemsChanged();
}

void TListItems::Clear() {
  BeginUpdate();
  if (FOwner->FOwnerData) SetCount(0);
  while (!FItems.empty()) Delete(Count() - 1);
  FOwner->FScrollX = FOwner->FScrollY = 0;
  FOwner->FAnchor = -1;
  EndUpdate();
}

int TListItems::IndexOf(const TListItem* Value) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == Value) return static_cast<int>(i);
  return -1;
}

void TListItems::BeginUpdate() { ++FUpdateCount; }

void TListItems::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) {
    FOwner->SortNew();
    FOwner->ItemsChanged();
  }
}

void TListItems::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TListItems*>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  Clear();
  for (int i = 0; i < other->Count(); ++i) Add()->Assign(other->Item(i));
  EndUpdate();
}

// ---- published properties ----

static const classes::TPublished<TListColumn, TCollectionItem> ListColumnInfo([](classes::TPublisher<TListColumn>& p) {
  p.String("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  p.Int("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
  p.Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment).Default(taLeftJustify);
  p.Bool("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize).Default(false);
  p.Int("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex).Default(-1);
  p.Int("Tag", &TListColumn::Tag, &TListColumn::SetTag).Default(0);
});

// ---- check boxes, icon options and texts on demand ----

bool TListItem::Checked() const {
  TCustomListView* v = ListView();
  return v && (v->StateOf(FIndex) & LVIS_STATEIMAGEMASK) == IndexToStateImageMask(2);
}

void TListItem::SetChecked(bool Value) {
  TCustomListView* v = ListView();
  if (!v || Checked() == Value) return;
  v->SetItemState(FIndex, LVIS_STATEIMAGEMASK, IndexToStateImageMask(Value ? 2 : 1));
}

void TCustomListView::SetCheckboxes(bool Value) {
  if (FCheckboxes == Value) return;
  FCheckboxes = Value;
  ItemsChanged();
}

std::string TCustomListView::ItemText(int Index, int Column) {
  if (Index < 0 || Index >= FListItems->Count()) return {};
  return TextOf(FListItems->Item(Index), Column);
}

std::string TCustomListView::TextOf(TListItem* item, int Column) {
  std::string text;
  if (Column == 0) text = item->Caption();
  else if (Column - 1 < item->SubItems()->Count()) text = item->SubItems()->Strings(Column - 1);
  if (text != LPSTR_TEXTCALLBACK) return text;
  NMLVDISPINFO info;
  info.item.mask = LVIF_TEXT;
  info.item.iItem = item->Index();
  info.item.iSubItem = Column;
  info.item.lParam = reinterpret_cast<LPARAM>(item->Data());
  if (HandleAllocated()) {
    controls::NotifySelf(Handle(), info.hdr, LVN_GETDISPINFO);
  } else {
    info.hdr.code = LVN_GETDISPINFO;
    Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&info.hdr));
  }
  return info.item.pszText;
}

const classes::TEnumInfo& EnumInfo(TIconArrangement) {
  static const classes::TEnumInfo info{"TIconArrangement", {"iaTop", "iaLeft"}};
  return info;
}

void TIconOptions::SetArrangement(TIconArrangement Value) {
  if (FArrangement == Value) return;
  FArrangement = Value;
  Changed();
}

void TIconOptions::SetAutoArrange(bool Value) {
  if (FAutoArrange == Value) return;
  FAutoArrange = Value;
  Changed();
}

void TIconOptions::SetWrapText(bool Value) {
  if (FWrapText == Value) return;
  FWrapText = Value;
  Changed();
}

void TIconOptions::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TIconOptions*>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  FArrangement = other->FArrangement;
  FAutoArrange = other->FAutoArrange;
  FWrapText = other->FWrapText;
  Changed();
}

void TIconOptions::Changed() {
  if (FAutoArrange) FOwner->FPositions.clear();
  FOwner->ItemsChanged();
}
