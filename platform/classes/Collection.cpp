#include "platform/classes/Collection.h"

#include <algorithm>

#include "platform/classes/UpdateGuard.h"

namespace {

[[noreturn]] void IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection != nullptr) FCollection->RemoveItem(this);
  if (Value != nullptr) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (FCollection == nullptr) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int current = Index();
  if (current < 0 || current == Value) return;
  auto& items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<int>(items.size())) IndexError(Value);
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

std::string TCollectionItem::GetNamePath() const {
  if (FCollection == nullptr) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection != nullptr && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no Update calls while going away
  while (!FItems.empty()) delete FItems.back();
}

void TCollection::InsertItem(TCollectionItem* Item) {
  Item->FID = FNextID++;
  FItems.push_back(Item);
  Item->FCollection = this;
  if (FAdding) {
    FAdding = false;  // Add announces the item once it is complete
    return;
  }
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
  Item->FCollection = nullptr;
  Changed();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass.Create) throw EListError("Collection has no item class");
  FAdding = true;
  TCollectionItem* item;
  try {
    item = FItemClass.Create(this);
  } catch (...) {
    FAdding = false;
    throw;
  }
  FAdding = false;
  if (item->FCollection != this) {  // a factory that made the item without this collection
    FAdding = true;
    item->SetCollection(this);
    FAdding = false;
  }
  Notify(item, cnAdded);
  Changed();
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  classes::TUpdateGuard update(*this);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  classes::TUpdateGuard update(*this);
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (auto* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TCollection*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  classes::TUpdateGuard update(*this);
  Clear();
  for (auto* model : src->FItems) Add()->Assign(model);
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount == 0) return;  // unbalanced: ignore rather than go negative
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

std::string TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (owner == nullptr || FPropName.empty()) return ClassName();
  std::string path = owner->GetNamePath();
  if (path.empty()) return ClassName();
  return path + "." + FPropName;
}
