#include "platform/classes/Lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/classes/Counted.h"

namespace {

int a = 1, b = 2, c = 3;

std::vector<void*> Items(const TList& l) { return l.List(); }

TEST(List, AddInsertMoveExchangeRemove) {
  TList l;
  EXPECT_EQ(l.Add(&a), 0);
  EXPECT_EQ(l.Add(&c), 1);
  l.Insert(1, &b);
  EXPECT_EQ(Items(l), (std::vector<void*>{&a, &b, &c}));
  l.Move(0, 2);
  EXPECT_EQ(Items(l), (std::vector<void*>{&b, &c, &a}));
  l.Exchange(0, 2);
  EXPECT_EQ(Items(l), (std::vector<void*>{&a, &c, &b}));
  EXPECT_EQ(l.First(), &a);
  EXPECT_EQ(l.Last(), &b);
  EXPECT_EQ(l.Remove(&c), 1);
  EXPECT_EQ(l.Remove(&c), -1);
  EXPECT_EQ(l.Extract(&a), &a);
  EXPECT_EQ(l.Extract(&a), nullptr);
  EXPECT_EQ(Items(l), (std::vector<void*>{&b}));
}

TEST(List, ErrorsNameTheBadValue) {
  TList l;
  l.Add(&a);
  struct Case {
    std::function<void()> op;
    std::string message;
  } cases[] = {
      {[&] { l.Items(1); }, "List index out of bounds (1)"},
      {[&] { l.Delete(-1); }, "List index out of bounds (-1)"},
      {[&] { l.Insert(2, &b); }, "List index out of bounds (2)"},
      {[&] { l.Exchange(0, 3); }, "List index out of bounds (3)"},
      {[&] { l.Move(4, 0); }, "List index out of bounds (4)"},
      {[&] { l.SetCapacity(0); }, "List capacity out of bounds (0)"},
      {[&] { l.SetCount(-2); }, "List count out of bounds (-2)"},
  };
  for (auto& k : cases) {
    try {
      k.op();
      ADD_FAILURE() << k.message;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), k.message);
    }
  }
  EXPECT_EQ(l.Count(), 1);
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(List, SortPackCountCapacity) {
  TList l;
  l.Add(&c);
  l.Add(nullptr);
  l.Add(&a);
  l.Add(nullptr);
  l.Add(&b);
  l.Pack();
  EXPECT_EQ(l.Count(), 3);
  l.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  EXPECT_EQ(Items(l), (std::vector<void*>{&a, &b, &c}));
  l.SetCount(5);
  EXPECT_EQ(l.Items(4), nullptr);
  l.SetCapacity(100);
  EXPECT_GE(l.Capacity(), 100);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST(ObjectList, OwnedObjectsFreedOnDeleteReplaceClearAndDestruction) {
  int alive = 0;
  {
    TObjectList l;
    auto* first = new TCounted(alive);
    l.Add(first);
    l.Add(new TCounted(alive));
    l.Add(new TCounted(alive));
    l.Add(new TCounted(alive));
    l.Delete(1);
    EXPECT_EQ(alive, 3);
    l.Remove(l.Last());
    EXPECT_EQ(alive, 2);
    TObject* kept = l.Extract(first);  // extracting hands the object back
    EXPECT_EQ(alive, 2);
    delete kept;
    l.SetItems(0, new TCounted(alive));  // replacing frees the old one
    EXPECT_EQ(alive, 1);
    l.Clear();
    EXPECT_EQ(alive, 0);
    l.Add(new TCounted(alive));
    l.Add(nullptr);
  }
  EXPECT_EQ(alive, 0);
}

TEST(ObjectList, NotOwningLeavesObjectsAlone) {
  int alive = 0;
  TCounted x(alive), y(alive);
  {
    TObjectList l(false);
    l.Add(&x);
    l.Insert(0, &y);
    EXPECT_EQ(l.IndexOf(&x), 1);
    EXPECT_EQ(l[0], &y);
    l.Delete(0);
    l.Clear();
    l.Add(&x);
  }
  EXPECT_EQ(alive, 2);
}

}  // namespace
