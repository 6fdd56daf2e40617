#include "platform/classes/Collection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

class TSumItem : public TCollectionItem {
 public:
  explicit TSumItem(TCollection* c) : TCollectionItem(c) {}
  std::string FieldName;
  int Value = 0;
  void SetFieldName(const std::string& v) {
    if (v == FieldName) return;
    FieldName = v;
    Changed(false);
  }
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TSumItem*>(Source)) {
      FieldName = s->FieldName;
      Value = s->Value;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(Source);
  }

 protected:
  std::string GetDisplayName() const override { return FieldName.empty() ? TCollectionItem::GetDisplayName() : FieldName; }
};

// Records every Update and Notify; reads the items in Update to prove they are complete.
class TSums : public TCollection {
 public:
  TSums() : TCollection(TCollectionItemClass::Of<TSumItem>()) {}
  TSumItem* Items(int i) const { return static_cast<TSumItem*>(TCollection::Items(i)); }
  TSumItem* Add() { return static_cast<TSumItem*>(TCollection::Add()); }
  V Log;

 protected:
  void Update(TCollectionItem* Item) override {
    std::string entry = "update " + (Item ? static_cast<TSumItem*>(Item)->FieldName : std::string("all"));
    if (!Item)
      for (int i = 0; i < Count(); ++i) entry += " " + std::to_string(Items(i)->Value);
    Log.push_back(entry);
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    const char* names[] = {"added", "extracting", "deleting"};
    Log.push_back(std::string(names[Action]) + " " + std::to_string(Item->ID()));
  }
};

TEST(Collection, AddInsertDeleteIndexesAndIDs) {
  TSums sums;
  auto* a = sums.Add();
  auto* b = sums.Add();
  auto* c = static_cast<TSumItem*>(sums.Insert(0));
  EXPECT_EQ(sums.Count(), 3);
  EXPECT_EQ(c->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(b->ID(), 1);
  EXPECT_EQ(c->ID(), 2);
  EXPECT_EQ(sums.FindItemID(1), b);
  EXPECT_EQ(sums.FindItemID(7), nullptr);
  EXPECT_EQ(c->Collection(), &sums);
  sums.Delete(1);  // frees a
  EXPECT_EQ(sums.Count(), 2);
  EXPECT_EQ(sums.Items(1), b);
  auto* d = sums.Add();
  EXPECT_EQ(d->ID(), 3);  // IDs are never reused
  EXPECT_EQ(sums.ItemClass().Is<TSumItem>(), true);
}

TEST(Collection, IndexErrors) {
  TSums sums;
  sums.Add();
  try {
    sums.Items(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
  EXPECT_THROW(sums.Delete(-1), EListError);
  EXPECT_THROW(sums.Insert(2), EListError);
  EXPECT_EQ(sums.Count(), 1);  // a refused insert adds nothing
  EXPECT_THROW(sums.Items(0)->SetIndex(3), EListError);
}

TEST(Collection, SetIndexMovesAndReportsWholeChange) {
  TSums sums;
  for (int i = 0; i < 3; ++i) sums.Add()->Value = i;
  sums.Log.clear();
  sums.Items(0)->SetIndex(2);
  EXPECT_EQ(sums.Items(2)->Value, 0);
  EXPECT_EQ(sums.Items(0)->Value, 1);
  EXPECT_EQ(sums.Log, (V{"update all 1 2 0"}));
}

TEST(Collection, UpdateNotificationsAreBatched) {
  TSums sums;
  auto* a = sums.Add();
  EXPECT_EQ(sums.Log, (V{"added 0", "update all 0"}));
  sums.Log.clear();
  a->SetFieldName("Price");
  EXPECT_EQ(sums.Log, (V{"update Price"}));  // an item change names the item
  sums.Log.clear();

  sums.BeginUpdate();
  sums.BeginUpdate();
  sums.Add()->Value = 5;
  a->SetFieldName("Qty");
  sums.Delete(0);
  sums.EndUpdate();
  EXPECT_EQ(sums.UpdateCount(), 1);
  EXPECT_EQ(sums.Log, (V{"added 1", "deleting 0", "extracting 0"}));
  sums.EndUpdate();
  EXPECT_EQ(sums.Log.back(), "update all 5");  // once, at the final EndUpdate
  EXPECT_EQ(sums.Log.size(), 4u);

  sums.Log.clear();
  sums.Add();
  sums.Add();
  sums.Log.clear();
  sums.Clear();
  EXPECT_EQ(sums.Log.back(), "update all");
  EXPECT_EQ(std::count(sums.Log.begin(), sums.Log.end(), "update all"), 1);
}

TEST(Collection, ItemDestructionLeavesTheCollection) {
  TSums sums;
  auto* a = sums.Add();
  sums.Add()->Value = 9;
  sums.Log.clear();
  delete a;
  EXPECT_EQ(sums.Count(), 1);
  EXPECT_EQ(sums.Log, (V{"extracting 0", "update all 9"}));
  // Moving an item between collections.
  TSums other;
  auto* b = sums.Items(0);
  b->SetCollection(&other);
  EXPECT_EQ(sums.Count(), 0);
  EXPECT_EQ(other.Items(0), b);
  EXPECT_EQ(b->ID(), 0);  // a fresh ID in the new collection
  b->SetCollection(nullptr);
  EXPECT_EQ(b->Index(), -1);
  delete b;
}

TEST(Collection, AssignCopiesItemByItem) {
  TSums source, dest;
  for (const char* f : {"A", "B"}) {
    auto* it = source.Add();
    it->FieldName = f;
    it->Value = static_cast<int>(f[0]);
  }
  dest.Add();
  dest.Log.clear();
  dest.Assign(&source);
  ASSERT_EQ(dest.Count(), 2);
  EXPECT_EQ(dest.Items(1)->FieldName, "B");
  EXPECT_EQ(dest.Items(1)->Value, 'B');
  EXPECT_NE(dest.Items(0), source.Items(0));
  EXPECT_EQ(std::count(dest.Log.begin(), dest.Log.end(), "update all 65 66"), 1);
  dest.Assign(&dest);  // self-assignment keeps the items
  EXPECT_EQ(dest.Count(), 2);

  TCollection plain(TCollectionItemClass::Of<TCollectionItem>());
  plain.Add();
  EXPECT_THROW(plain.Items(0)->Assign(source.Items(0)), EConvertError);
}

TEST(Collection, NamesAndOwner) {
  TComponent form(nullptr);
  form.SetName("Form1");
  TOwnedCollection columns(&form, TCollectionItemClass::Of<TSumItem>());
  auto* item = static_cast<TSumItem*>(columns.Add());
  EXPECT_EQ(columns.Owner(), &form);
  EXPECT_EQ(item->DisplayName(), "TSumItem");  // the class name unless overridden
  item->FieldName = "Total";
  EXPECT_EQ(item->DisplayName(), "Total");
  EXPECT_EQ(item->GetNamePath(), "TOwnedCollection[0]");
  columns.SetPropName("Columns");
  EXPECT_EQ(item->GetNamePath(), "Form1.Columns[0]");
  TSums bare;
  EXPECT_EQ(bare.Owner(), nullptr);
}

TEST(Collection, FactoryMayBeAnyFunction) {
  int made = 0;
  TCollection c(TCollectionItemClass{[&](TCollection* owner) -> TCollectionItem* {
    ++made;
    return new TSumItem(owner);
  }});
  c.Add();
  c.Insert(0);
  EXPECT_EQ(made, 2);
  EXPECT_EQ(c.Count(), 2);
}

}  // namespace
