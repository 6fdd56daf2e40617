#pragma once
// TCollection: an ordered list of TCollectionItem objects of one item class, which it owns.
// Items report their changes to the collection, which tells its Update (batched by BeginUpdate).
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/classes/Component.h"

class TCollection;

// What a collection makes when it is asked for a new item: the platform's item class.
// TCollectionItemClass::Of<TMyItem>() makes TMyItem(Collection) objects.
struct TCollectionItemClass {
  std::function<class TCollectionItem*(TCollection*)> Create;
  const std::type_info* Type = nullptr;

  template <class T>
  static TCollectionItemClass Of() {
    return {[](TCollection* c) -> TCollectionItem* { return new T(c); }, &typeid(T)};
  }
  // True when this class makes T objects exactly.
  template <class T>
  bool Is() const { return Type != nullptr && *Type == typeid(T); }
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
 public:
  // Joins Collection (when given) at its end. Create items through TCollection::Add so that the
  // collection hears of them once they are complete; an item made directly is announced
  // (Update(nullptr)) while its own constructor has not run yet.
  explicit TCollectionItem(TCollection* Collection);
  // Leaves its collection, which then reports the change.
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (or none).
  virtual void SetCollection(TCollection* Value);
  // Unique within the collection, never reused; -1 when the item has no collection.
  int ID() const { return FID; }
  int Index() const;
  // Moves the item to Value within its collection; raises EListError for a bad index.
  virtual void SetIndex(int Value);
  std::string DisplayName() const { return GetDisplayName(); }
  virtual void SetDisplayName(const std::string& Value);
  // "Collection path[Index]".
  std::string GetNamePath() const override;

  // Tells the collection this item (or, with AllItems, the whole collection) changed.
  void Changed(bool AllItems);

 protected:
  // The name shown in editors and messages; the class name unless overridden.
  virtual std::string GetDisplayName() const;
  TPersistent* GetOwner() const override;

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = -1;
};

class TCollection : public TPersistent {
 public:
  explicit TCollection(TCollectionItemClass ItemClass);
  // Frees every item without telling Update. A derived collection whose items use it while
  // they go away clears itself in its own destructor.
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  // Makes a new item of the item class at the end.
  TCollectionItem* Add();
  // Makes a new item and moves it to Index (0..Count).
  TCollectionItem* Insert(int Index);
  // Frees the item at Index.
  void Delete(int Index);
  // Frees every item; one Update at the end.
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (N)".
  TCollectionItem* Items(int Index) const;
  // Assigns Value to the item at Index.
  void SetItems(int Index, TCollectionItem* Value);
  TCollectionItem* FindItemID(int ID) const;
  const TCollectionItemClass& ItemClass() const { return FItemClass; }

  // Clears this collection and adds one item per item of Source, each assigned from its model.
  void Assign(TPersistent* Source) override;

  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // The object the collection belongs to (a component, a column...); none for a bare collection.
  TPersistent* GetOwner() const override { return nullptr; }
  TPersistent* Owner() const { return GetOwner(); }
  // "OwnerPath.PropName" when owned and named, else the class name.
  std::string GetNamePath() const override;
  // The owner's property that holds this collection ("Columns"), for name paths.
  const std::string& PropName() const { return FPropName; }
  void SetPropName(const std::string& Value) { FPropName = Value; }

 protected:
  // Called after a change of Item, or of the whole collection when Item is nullptr;
  // not while updating; once at the final EndUpdate.
  virtual void Update(TCollectionItem* Item);
  // Called when an item joins, is about to leave, or is about to be freed.
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  // Reports a change of the whole collection unless updating.
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  std::string FPropName;
  bool FAdding = false;
};

// A collection that knows its owner (for name paths and streaming).
class TOwnedCollection : public TCollection {
 public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
      : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};
