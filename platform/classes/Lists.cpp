#include "platform/classes/Lists.h"

#include <algorithm>
#include <string>

// ---- TList ----

void TList::IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TList::Notify(void*, TListNotification) {}

int TList::Add(void* Item) {
  FList.push_back(Item);
  if (Item != nullptr) Notify(Item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  FList.insert(FList.begin() + Index, Item);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  void* item = Items(Index);
  FList.erase(FList.begin() + Index);
  if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  int index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

int TList::IndexOf(void* Item) const {
  auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void* TList::Extract(void* Item) {
  int index = IndexOf(Item);
  if (index < 0) return nullptr;
  FList.erase(FList.begin() + index);
  if (Item != nullptr) Notify(Item, lnExtracted);
  return Item;
}

void TList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count()) IndexError(Index1);
  if (Index2 < 0 || Index2 >= Count()) IndexError(Index2);
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= Count()) IndexError(CurIndex);
  if (NewIndex < 0 || NewIndex >= Count()) IndexError(NewIndex);
  void* item = FList[static_cast<size_t>(CurIndex)];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, item);
}

void TList::Clear() {
  SetCount(0);
  FList.shrink_to_fit();
}

void TList::Pack() { FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end()); }

void TList::Sort(const TListSortCompare& Compare) {
  std::stable_sort(FList.begin(), FList.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0) throw EListError("List count out of bounds (" + std::to_string(NewCount) + ")");
  if (NewCount > Count()) {
    FList.resize(static_cast<size_t>(NewCount), nullptr);
    return;
  }
  while (Count() > NewCount) Delete(Count() - 1);
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count())
    throw EListError("List capacity out of bounds (" + std::to_string(NewCapacity) + ")");
  if (NewCapacity > Capacity()) {
    FList.reserve(static_cast<size_t>(NewCapacity));
  } else {
    std::vector<void*> smaller;
    smaller.reserve(static_cast<size_t>(NewCapacity));
    smaller.assign(FList.begin(), FList.end());
    FList.swap(smaller);
  }
}

void* TList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FList[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
  void* old = Items(Index);
  if (old == Item) return;
  FList[static_cast<size_t>(Index)] = Item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (Item != nullptr) Notify(Item, lnAdded);
}

// ---- TObjectList ----

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}
