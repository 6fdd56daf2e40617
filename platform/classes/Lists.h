#pragma once
// TList, a list of untyped pointers, and TObjectList, a list of objects it may own.
#include <functional>
#include <vector>

#include "platform/rtl/System.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Compares two items: <0, 0 or >0.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
 public:
  TList() = default;
  // Does not call Notify: a derived list must clear itself in its own destructor.
  ~TList() override = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  int Add(void* Item);
  // Index may be Count (append).
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // Deletes the first occurrence; returns its former index or -1.
  int Remove(void* Item);
  int IndexOf(void* Item) const;
  // Removes the first occurrence without deleting it (lnExtracted); returns it or nullptr.
  void* Extract(void* Item);
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  // Deletes every item.
  virtual void Clear();
  // Removes nullptr items.
  void Pack();
  void Sort(const TListSortCompare& Compare);

  int Count() const { return static_cast<int>(FList.size()); }
  // Growing adds nullptr items; shrinking deletes from the end.
  void SetCount(int NewCount);
  int Capacity() const { return static_cast<int>(FList.capacity()); }
  // Raises EListError "List capacity out of bounds (N)" below Count.
  void SetCapacity(int NewCapacity);
  // Raise EListError "List index out of bounds (N)".
  void* Items(int Index) const;
  void SetItems(int Index, void* Item);
  void* operator[](int Index) const { return Items(Index); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  const std::vector<void*>& List() const { return FList; }

 protected:
  // Called after an item was added, and after one was extracted or deleted.
  virtual void Notify(void* Ptr, TListNotification Action);
  [[noreturn]] static void IndexError(int Index);

 private:
  std::vector<void*> FList;
};

class TObjectList : public TList {
 public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  // Frees the owned objects.
  ~TObjectList() override;

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  // Replacing an owned object frees the old one.
  void SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }
  TObject* operator[](int Index) const { return Items(Index); }
  TObject* First() const { return Items(0); }
  TObject* Last() const { return Items(Count() - 1); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool FOwnsObjects;
};
