#include <gtest/gtest.h>

#include <memory>

#include "platform/data/DBError.h"
#include "tests/platform/data/MemFixture.h"

using datatest::CurrentId;
using datatest::FillRows;
using datatest::RecordingLink;
using data::Value;

namespace {

TEST(DataSetNavigation, EmptyAndOneRowEdges) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 0);
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Bof());
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecNo(), 0);
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_EQ(ds.MoveBy(1), 0);
  EXPECT_EQ(ds.MoveBy(-1), 0);
  ds.Last();
  EXPECT_TRUE(ds.Bof() && ds.Eof());
  EXPECT_TRUE(ds.FieldByName("id")->IsNull());
  EXPECT_THROW(ds.Delete(), EDatabaseError);
  ds.Insert();
  ds.Cancel();
  EXPECT_TRUE(ds.Bof() && ds.Eof());

  TMemoryDataSet one(nullptr);
  FillRows(one, 1);
  EXPECT_TRUE(one.Bof());
  EXPECT_FALSE(one.Eof());
  EXPECT_EQ(one.RecNo(), 1);
  one.Next();
  EXPECT_TRUE(one.Eof());
  EXPECT_FALSE(one.Bof());
  EXPECT_EQ(one.RecNo(), 1);
  EXPECT_EQ(one.MoveBy(5), 0);
  one.Prior();
  EXPECT_TRUE(one.Bof());
  EXPECT_EQ(CurrentId(one), 1);
  one.Last();
  EXPECT_TRUE(one.Eof());
  EXPECT_FALSE(one.Bof());
}

TEST(DataSetNavigation, MoveByReturnsTheDistanceMoved) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 5);
  EXPECT_EQ(ds.MoveBy(3), 3);
  EXPECT_EQ(CurrentId(ds), 4);
  EXPECT_EQ(ds.MoveBy(10), 1);
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.MoveBy(-10), -4);
  EXPECT_TRUE(ds.Bof());
  ds.SetRecNo(3);
  EXPECT_EQ(CurrentId(ds), 3);
  EXPECT_EQ(ds.RecNo(), 3);
  int seen = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) ++seen;
  EXPECT_EQ(seen, 5);
  EXPECT_THROW(TMemoryDataSet(nullptr).RecordCount(), EDatabaseError);
}

TEST(DataSetFields, ByNameAndValues) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 2);
  try {
    ds.FieldByName("nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'nope' not found");
  }
  EXPECT_EQ(ds.FindField("NAME"), ds.FieldByName("name"));
  EXPECT_EQ(ds.FindField("nope"), nullptr);
  EXPECT_TRUE(ds.DefaultFields());
  EXPECT_EQ(ds.FieldByName("id")->Index(), 0);
  EXPECT_EQ(ds.FieldByName("amount")->FieldNo(), 3);
  Variant v = ds.FieldValues("id; name");
  ASSERT_EQ(v.Count(), 2);
  EXPECT_EQ(v[0], Variant(1));
  EXPECT_EQ(v[1], Variant("row1"));
  EXPECT_EQ(VarType(ds.FieldValues("id")), varInteger);
  EXPECT_EQ(VarType(ds.FieldValues("amount")), varDouble);
  EXPECT_THROW(ds.SetFieldValues("id;name", VarArrayOf({7, "x"})), EDatabaseError);  // not editing
  ds.Edit();
  ds.SetFieldValues("id;name", VarArrayOf({7, "x"}));
  EXPECT_THROW(ds.SetFieldValues("id;name", Variant(8)), EDatabaseError);  // one value for two fields
  ds.FieldByName("amount")->SetValue(Variant::Null());
  ds.Post();
  EXPECT_EQ(CurrentId(ds), 7);
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "x");
  EXPECT_TRUE(VarIsNull(ds.FieldByName("amount")->Value()));
  // Default fields go with the closed dataset.
  ds.Close();
  EXPECT_EQ(ds.FieldCount(), 0);
}

struct EventLog {
  std::vector<std::string> Items;
  void Hook(TDataSet& Ds) {
    auto add = [this](const char* N) { return [this, N](TDataSet*) { Items.push_back(N); }; };
    Ds.BeforeInsert = add("BeforeInsert");
    Ds.AfterInsert = add("AfterInsert");
    Ds.BeforeEdit = add("BeforeEdit");
    Ds.AfterEdit = add("AfterEdit");
    Ds.BeforePost = add("BeforePost");
    Ds.AfterPost = add("AfterPost");
    Ds.BeforeCancel = add("BeforeCancel");
    Ds.AfterCancel = add("AfterCancel");
    Ds.BeforeDelete = add("BeforeDelete");
    Ds.AfterDelete = add("AfterDelete");
    Ds.BeforeScroll = add("BeforeScroll");
    Ds.AfterScroll = add("AfterScroll");
    Ds.OnNewRecord = add("OnNewRecord");
    Ds.BeforeOpen = add("BeforeOpen");
    Ds.AfterOpen = add("AfterOpen");
    Ds.BeforeClose = add("BeforeClose");
    Ds.AfterClose = add("AfterClose");
  }
  std::vector<std::string> Take() { return std::exchange(Items, {}); }
};

using Names = std::vector<std::string>;

TEST(DataSetEditing, StatesAndEventsInOrder) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 3);
  EventLog log;
  log.Hook(ds);

  ds.Edit();
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_FALSE(ds.Modified());
  ds.FieldByName("name")->SetAsString("changed");
  EXPECT_TRUE(ds.Modified());
  ds.Post();
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(log.Take(), (Names{"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost"}));

  ds.Edit();
  ds.FieldByName("name")->SetAsString("dropped");
  ds.Cancel();
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "changed");
  EXPECT_EQ(log.Take(), (Names{"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"}));

  ds.Next();  // on row 2
  ds.Insert();
  EXPECT_EQ(ds.State(), dsInsert);
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_TRUE(ds.FieldByName("id")->IsNull());
  ds.FieldByName("id")->SetAsInteger(10);
  ds.Post();
  EXPECT_EQ(log.Take(), (Names{"BeforeScroll", "AfterScroll", "BeforeInsert", "BeforeScroll", "OnNewRecord",
                               "AfterInsert", "AfterScroll", "BeforePost", "AfterPost"}));
  // Inserted before the row that was current.
  EXPECT_EQ(ds.RecNo(), 2);
  ds.Next();
  EXPECT_EQ(CurrentId(ds), 2);
  log.Take();

  ds.Append();
  ds.Cancel();
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(CurrentId(ds), 2);  // back where it was
  EXPECT_EQ(log.Take(), (Names{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                               "BeforeCancel", "AfterCancel"}));

  ds.Delete();
  EXPECT_EQ(log.Take(), (Names{"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
  EXPECT_EQ(ds.RecordCount(), 3);
  EXPECT_EQ(CurrentId(ds), 3);  // the next row takes the deleted one's place

  // Moving while editing posts a modified row and cancels an unmodified one.
  ds.First();
  ds.Edit();
  ds.FieldByName("name")->SetAsString("posted by scrolling");
  ds.Next();
  ds.First();
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "posted by scrolling");
  ds.Close();
  EXPECT_EQ(log.Take().back(), "AfterClose");
}

TEST(DataSetEditing, ErrorsLeaveTheStateAsItWas) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 2);
  EXPECT_THROW(ds.FieldByName("id")->SetAsInteger(3), EDatabaseError);  // browsing
  EXPECT_THROW(ds.Post(), EDatabaseError);

  ds.FieldByName("name")->SetRequired(true);
  ds.Edit();
  ds.FieldByName("name")->Clear();
  try {
    ds.Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'name' must have a value");
  }
  EXPECT_EQ(ds.State(), dsEdit);
  ds.Cancel();
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "row1");

  // A validation handler that raises keeps the old value.
  ds.FieldByName("id")->OnValidate = [](TField* F) {
    if (F->AsInteger() < 0) throw EDatabaseError("negative");
  };
  ds.Edit();
  EXPECT_THROW(ds.FieldByName("id")->SetAsInteger(-1), EDatabaseError);
  EXPECT_EQ(CurrentId(ds), 1);
  EXPECT_THROW(ds.FieldByName("id")->SetAsString("abc"), EConvertError);
  EXPECT_EQ(CurrentId(ds), 1);
  ds.Cancel();

  ds.FieldByName("name")->SetReadOnly(true);
  ds.Edit();
  try {
    ds.FieldByName("name")->SetAsString("x");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'name' cannot be modified");
  }
  ds.Cancel();
  ds.SetReadOnly(true);
  EXPECT_THROW(ds.Edit(), EDatabaseError);
  EXPECT_THROW(ds.Append(), EDatabaseError);
  EXPECT_THROW(ds.Delete(), EDatabaseError);
  EXPECT_EQ(ds.RecordCount(), 2);
}

// A dataset whose storage refuses writes while Fail is set.
class FailingDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  int Failures = 0;

 protected:
  void InternalPostEdit(data::Record& Rec, const std::vector<Value>& Old) override {
    if (Failures > 0) {
      --Failures;
      throw EDatabaseError("disk full");
    }
    TMemoryDataSet::InternalPostEdit(Rec, Old);
  }
};

TEST(DataSetEditing, PostErrorActions) {
  FailingDataSet ds(nullptr);
  FillRows(ds, 1);
  ds.Edit();
  ds.FieldByName("name")->SetAsString("new");
  ds.Failures = 1;
  EXPECT_THROW(ds.Post(), EDatabaseError);
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "new");

  std::vector<std::string> seen;
  ds.OnPostError = [&](TDataSet*, EDatabaseError& E, TDataAction& Action) {
    seen.push_back(E.what());
    Action = daRetry;
  };
  ds.Failures = 2;
  ds.Post();
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(ds.State(), dsBrowse);

  ds.OnPostError = [](TDataSet*, EDatabaseError&, TDataAction& Action) { Action = daAbort; };
  ds.Edit();
  ds.Failures = 1;
  EXPECT_THROW(ds.Post(), EAbort);
  EXPECT_EQ(ds.State(), dsEdit);
  ds.Cancel();
  // Reopening shows what was stored.
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "new");
}

TEST(DataSetBuffers, LinkWindowFollowsTheCursor) {
  datatest::GridSetup grid(30, 10);
  TMemoryDataSet& ds = grid.Ds;
  RecordingLink& link = grid.Link;
  TDataSource& src = grid.Src;
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(link.RecordCount(), 10);
  EXPECT_EQ(link.ActiveRecord(), 0);
  auto visible = [&] { return datatest::VisibleIds(link); };
  EXPECT_EQ(visible(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  for (int i = 0; i < 9; ++i) ds.Next();
  EXPECT_EQ(link.ActiveRecord(), 9);
  EXPECT_EQ(link.Scrolls, std::vector<int>(9, 0));
  link.Scrolls.clear();
  ds.Next();
  EXPECT_EQ(link.Scrolls, std::vector<int>{1});
  EXPECT_EQ(link.ActiveRecord(), 9);
  EXPECT_EQ(visible(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(CurrentId(ds), 11);

  link.Scrolls.clear();
  ds.MoveBy(3);
  EXPECT_EQ(link.Scrolls, std::vector<int>{3});
  EXPECT_EQ(visible().front(), 5);
  ds.MoveBy(-12);  // to row 2: the window scrolls up by 3
  EXPECT_EQ(CurrentId(ds), 2);
  EXPECT_EQ(link.Scrolls.back(), -3);
  EXPECT_EQ(link.ActiveRecord(), 0);
  EXPECT_EQ(visible().front(), 2);

  ds.Last();
  EXPECT_EQ(visible(), (std::vector<int>{21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
  EXPECT_EQ(link.ActiveRecord(), 9);
  link.Log.clear();
  ds.MoveBy(-25);  // farther than the window: one data-set-changed notice
  EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "changed"}));
  EXPECT_EQ(CurrentId(ds), 5);
  EXPECT_EQ(link.ActiveRecord(), 0);
  EXPECT_EQ(visible().front(), 5);

  // A one-row link on the same dataset always has the current row.
  RecordingLink single;
  single.SetDataSource(&src);
  EXPECT_EQ(single.RecordCount(), 1);
  EXPECT_EQ(single.ActiveRecord(), 0);
  ds.Next();
  EXPECT_EQ(single.ActiveRecord(), 0);
  EXPECT_EQ(CurrentId(ds), 6);

  // A shift of exactly the window still scrolls; one row more is a data-set-changed notice.
  ds.MoveBy(8);
  link.Scrolls.clear();
  ds.MoveBy(10);
  EXPECT_EQ(link.Scrolls, std::vector<int>{10});
  EXPECT_EQ(CurrentId(ds), 24);
  link.Log.clear();
  ds.MoveBy(-20);
  EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "changed"}));
  EXPECT_EQ(CurrentId(ds), 4);

  // Fewer rows than the window.
  datatest::GridSetup small(3, 10);
  EXPECT_EQ(small.Link.RecordCount(), 3);
  small.Ds.Last();
  EXPECT_EQ(small.Link.ActiveRecord(), 2);
}

TEST(DataSetBuffers, InsertedRowTakesItsPlaceInTheWindow) {
  datatest::GridSetup grid(30, 10);
  TMemoryDataSet& ds = grid.Ds;
  RecordingLink& link = grid.Link;
  auto visible = [&] { return datatest::VisibleIds(link); };
  EXPECT_FALSE(ds.InsertingAtEnd());
  ds.MoveBy(4);
  ds.Insert();
  EXPECT_EQ(link.ActiveRecord(), 4);
  EXPECT_EQ(visible(), (std::vector<int>{1, 2, 3, 4, 0, 5, 6, 7, 8, 9}));
  EXPECT_FALSE(ds.InsertingAtEnd());
  ds.Cancel();
  EXPECT_EQ(visible(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(CurrentId(ds), 5);
  ds.Append();
  EXPECT_TRUE(ds.InsertingAtEnd());
  EXPECT_EQ(link.ActiveRecord(), 9);
  EXPECT_EQ(visible(), (std::vector<int>{22, 23, 24, 25, 26, 27, 28, 29, 30, 0}));
  ds.FieldByName("id")->SetAsInteger(31);
  ds.Post();
  EXPECT_EQ(visible().back(), 31);
  EXPECT_EQ(ds.RecNo(), 31);

  // A grid painting other rows while a row is edited does not change which row is posted.
  ds.First();
  ds.Edit();
  ds.FieldByName("name")->SetAsString("edited");
  link.SetActiveRecord(5);
  ds.Post();
  EXPECT_EQ(ds.Lookup("id", 1, "name"), Variant("edited"));
  EXPECT_EQ(ds.Lookup("id", 6, "name"), Variant("row6"));
}

TEST(DataSetBuffers, RowLeavingTheFilterWhileAGridShowsAnotherRow) {
  datatest::GridSetup grid(10, 5);
  TMemoryDataSet& ds = grid.Ds;
  ds.OnFilterRecord = [](TDataSet* D, bool& Accept) { Accept = D->FieldByName("id")->AsInteger() < 50; };
  ds.SetFiltered(true);
  std::vector<TBookmark> marks;
  for (ds.First(); !ds.Eof(); ds.Next()) marks.push_back(ds.Bookmark());
  ds.First();
  ds.Edit();
  ds.FieldByName("id")->SetAsInteger(99);
  grid.Link.SetActiveRecord(3);
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 9);
  EXPECT_FALSE(ds.BookmarkValid(marks[0]));
  for (size_t i = 1; i < marks.size(); ++i) {
    ds.GotoBookmark(marks[i]);
    EXPECT_EQ(CurrentId(ds), static_cast<int>(i) + 1);
    EXPECT_EQ(ds.RecNo(), static_cast<int>(i));
  }
}

TEST(DataSetBuffers, LinkNotices) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 3);
  TDataSource src(nullptr);
  RecordingLink link;
  link.SetDataSource(&src);
  src.SetDataSet(&ds);
  EXPECT_EQ(link.Log, (std::vector<std::string>{"active"}));
  std::vector<std::string> source;
  src.OnStateChange = [&](TObject*) { source.push_back("state " + std::to_string(src.State())); };
  src.OnDataChange = [&](TObject*, TField* F) { source.push_back(F ? "data " + F->FieldName() : "data"); };
  src.OnUpdateData = [&](TObject*) { source.push_back("update"); };
  link.Log.clear();
  ds.Edit();
  ds.FieldByName("name")->SetAsString("a");
  ds.Post();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"editing", "record", "record name", "update", "check", "not editing",
                                                 "changed"}));
  EXPECT_EQ(source, (std::vector<std::string>{"state 2", "data", "data name", "update", "state 1", "data"}));
  src.OnStateChange = nullptr;
  link.Log.clear();
  src.SetEnabled(false);
  ds.Next();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
  src.SetEnabled(true);
  ds.Close();
  EXPECT_EQ(link.Log.back(), "inactive");
}

TEST(DataSetBookmarks, StayValidAndOrderedAcrossDeletes) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 6);
  std::vector<TBookmark> marks;
  for (ds.First(); !ds.Eof(); ds.Next()) marks.push_back(ds.Bookmark());
  EXPECT_LT(ds.CompareBookmarks(marks[1], marks[4]), 0);
  EXPECT_GT(ds.CompareBookmarks(marks[4], marks[1]), 0);
  EXPECT_EQ(ds.CompareBookmarks(marks[2], marks[2]), 0);
  EXPECT_LT(ds.CompareBookmarks(TBookmark(), marks[0]), 0);

  ds.GotoBookmark(marks[1]);
  ds.Delete();  // row 2
  ds.GotoBookmark(marks[3]);
  ds.Delete();  // row 4
  EXPECT_FALSE(ds.BookmarkValid(marks[1]));
  EXPECT_THROW(ds.GotoBookmark(marks[1]), EDatabaseError);
  for (int i : {0, 2, 4, 5}) {
    ASSERT_TRUE(ds.BookmarkValid(marks[static_cast<size_t>(i)]));
    ds.GotoBookmark(marks[static_cast<size_t>(i)]);
    EXPECT_EQ(CurrentId(ds), i + 1);
  }
  EXPECT_LT(ds.CompareBookmarks(marks[2], marks[5]), 0);

  // A row inserted in the middle sorts by its place, not by its age.
  ds.GotoBookmark(marks[2]);
  ds.Insert();
  ds.FieldByName("id")->SetAsInteger(100);
  ds.Post();
  TBookmark inserted = ds.Bookmark();
  EXPECT_LT(ds.CompareBookmarks(marks[0], inserted), 0);
  EXPECT_LT(ds.CompareBookmarks(inserted, marks[2]), 0);
  // The bookmark of a row survives editing it.
  ds.GotoBookmark(marks[4]);
  ds.Edit();
  ds.FieldByName("name")->SetAsString("edited");
  ds.Post();
  EXPECT_EQ(ds.Bookmark(), marks[4]);
}

TEST(DataSetBookmarks, RowOrderHoldsAfterDeletesAtTheStartInTheMiddleAndAtTheEnd) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 10);
  std::vector<TBookmark> marks;
  for (ds.First(); !ds.Eof(); ds.Next()) marks.push_back(ds.Bookmark());
  for (size_t gone : {0, 4, 9}) {
    ds.GotoBookmark(marks[gone]);
    ds.Delete();
  }
  // Every pair of the rows left compares in row order.
  const std::vector<size_t> left = {1, 2, 3, 5, 6, 7, 8};
  for (size_t a : left)
    for (size_t b : left) {
      SCOPED_TRACE(testing::Message() << a << " " << b);
      const int order = ds.CompareBookmarks(marks[a], marks[b]);
      EXPECT_EQ(order < 0, a < b);
      EXPECT_EQ(order == 0, a == b);
    }
  // A row inserted after the deletions takes its place between its neighbours.
  ds.GotoBookmark(marks[6]);
  ds.Insert();
  ds.FieldByName("id")->SetAsInteger(100);
  ds.Post();
  const TBookmark inserted = ds.Bookmark();
  EXPECT_LT(ds.CompareBookmarks(marks[5], inserted), 0);
  EXPECT_LT(ds.CompareBookmarks(inserted, marks[6]), 0);
  std::vector<int> ids;
  for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(CurrentId(ds));
  EXPECT_EQ(ids, (std::vector<int>{2, 3, 4, 6, 100, 7, 8, 9}));
}

TEST(DataSetBookmarks, LookupsHoldAfterManyDeletes) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 1000);
  std::vector<TBookmark> marks;
  for (ds.First(); !ds.Eof(); ds.Next()) marks.push_back(ds.Bookmark());
  // Every second row goes, half of them from the front and half from the back.
  for (size_t k = 0; k < 250; ++k) {
    ds.GotoBookmark(marks[1 + 2 * k]);
    ds.Delete();
    ds.GotoBookmark(marks[999 - 2 * k]);
    ds.Delete();
  }
  EXPECT_EQ(ds.RecordCount(), 500);
  for (size_t i = 0; i < marks.size(); i += 2) {
    ASSERT_TRUE(ds.BookmarkValid(marks[i]));
    ds.GotoBookmark(marks[i]);
    ASSERT_EQ(CurrentId(ds), static_cast<int>(i) + 1);
    if (i + 2 < marks.size()) {
      EXPECT_LT(ds.CompareBookmarks(marks[i], marks[i + 2]), 0);
    }
  }
  EXPECT_FALSE(ds.BookmarkValid(marks[1]));
}

TEST(DataSetSearch, LocateAndLookup) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 5);
  ds.Edit();
  ds.FieldByName("name")->SetAsString("Apple pie");
  ds.Post();
  struct Case { const char* Fields; Variant Keys; TLocateOptions Options; int Id; };
  std::vector<Case> cases = {
      {"id", 4, 0, 4},
      {"id", "3", 0, 3},
      {"name", "ROW2", loCaseInsensitive, 2},
      {"name", "ROW2", 0, 0},
      {"name", "App", loPartialKey, 1},
      {"name", "app", loPartialKey, 0},
      {"name", "app", loPartialKey | loCaseInsensitive, 1},
      {"name", "row", 0, 0},
      {"id;name", VarArrayOf({5, "row5"}), 0, 5},
      {"id;name", VarArrayOf({5, "row4"}), 0, 0},
      {"amount", 7.5, 0, 5},
      {"id", "x", 0, 0},
      {"amount", Variant::Null(), 0, 0},
  };
  for (const Case& c : cases) {
    ds.SetRecNo(3);
    bool found = ds.Locate(c.Fields, c.Keys, c.Options);
    EXPECT_EQ(found, c.Id != 0) << c.Fields;
    EXPECT_EQ(CurrentId(ds), c.Id ? c.Id : 3) << c.Fields;
  }
  EXPECT_THROW(ds.Locate("nope", 1, 0), EDatabaseError);
  EXPECT_THROW(ds.Locate("id;name", 1, 0), EDatabaseError);
  ds.SetRecNo(2);
  Variant r = ds.Lookup("id", 4, "name;amount");
  ASSERT_EQ(r.Count(), 2);
  EXPECT_EQ(r[0], Variant("row4"));
  EXPECT_EQ(r[1], Variant(6.0));
  EXPECT_EQ(ds.Lookup("name", "row3", "id"), Variant(3));
  EXPECT_EQ(CurrentId(ds), 2);
  EXPECT_TRUE(VarIsNull(ds.Lookup("id", 42, "name")));
}

TEST(DataSetFilter, ExpressionLanguage) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 6);
  ds.Last();
  ds.Edit();
  ds.FieldByName("name")->SetAsString("it's O'Neil");
  ds.FieldByName("amount")->Clear();
  ds.Post();
  struct Case { const char* Filter; TFilterOptions Options; std::vector<int> Ids; };
  std::vector<Case> cases = {
      {"id > 3", 0, {4, 5, 6}},
      {"id >= 2 and id <= 3", 0, {2, 3}},
      {"id = 1 or id = 6", 0, {1, 6}},
      {"not (id < 5)", 0, {5, 6}},
      {"name = 'row2'", 0, {2}},
      {"name = 'ROW2'", 0, {}},
      {"name = 'ROW2'", foCaseInsensitive, {2}},
      {"name = 'row*'", 0, {1, 2, 3, 4, 5}},
      {"name = 'row*'", foNoPartialCompare, {}},
      {"name <> 'row*'", 0, {6}},
      {"name = 'it''s O''Neil'", 0, {6}},
      {"name like '%O''N%'", 0, {6}},
      {"name like 'row_'", 0, {1, 2, 3, 4, 5}},
      {"amount is null", 0, {6}},
      {"amount is not null and amount > 6", 0, {5}},
      {"[amount] = 3", 0, {2}},
      {"id * 2 = 8", 0, {4}},
      {"amount < 0", 0, {}},
  };
  for (const Case& c : cases) {
    ds.SetFilterOptions(c.Options);
    ds.SetFilter(c.Filter);
    ds.SetFiltered(true);
    std::vector<int> ids;
    for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(CurrentId(ds));
    EXPECT_EQ(ids, c.Ids) << c.Filter;
    EXPECT_EQ(ds.RecordCount(), static_cast<int>(c.Ids.size())) << c.Filter;
    ds.SetFiltered(false);
  }
  EXPECT_EQ(ds.RecordCount(), 6);
  ds.SetFilter("id >");
  EXPECT_THROW(ds.SetFiltered(true), EDatabaseError);
  EXPECT_FALSE(ds.Filtered());
  ds.SetFilter("nosuch = 1");
  EXPECT_THROW(ds.SetFiltered(true), EDatabaseError);
  ds.SetFilter("");

  // OnFilterRecord alone, and a posted row that stops matching leaves the view.
  ds.OnFilterRecord = [](TDataSet* D, bool& Accept) { Accept = D->FieldByName("id")->AsInteger() % 2 == 0; };
  ds.SetFiltered(true);
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.Edit();
  ds.FieldByName("id")->SetAsInteger(7);
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 2);
  EXPECT_EQ(CurrentId(ds), 4);
}

TEST(DataSetFields, CalculatedAndLookupFields) {
  TMemoryDataSet types(nullptr);
  types.FieldDefs()->Add("tid", ftInteger);
  types.FieldDefs()->Add("tname", ftWideString, 20);
  types.Open();
  for (auto [id, name] : {std::pair{1, "all"}, std::pair{2, "pop"}}) {
    types.Append();
    types.FieldByName("tid")->SetAsInteger(id);
    types.FieldByName("tname")->SetAsString(name);
    types.Post();
  }

  // Persistent fields as a window definition declares them.
  TComponent owner(nullptr);
  TMemoryDataSet songs(&owner);
  auto* id = new TIntegerField(&owner);
  id->SetFieldName("id");
  id->SetDataSet(&songs);
  auto* status = new TIntegerField(&owner);
  status->SetFieldName("status");
  status->SetDataSet(&songs);
  auto* noer = new TIntegerField(&owner);
  noer->SetFieldName("noer");
  noer->SetFieldKind(fkCalculated);
  noer->SetDataSet(&songs);
  auto* typeName = new TWideStringField(&owner);
  typeName->SetFieldName("typename");
  typeName->SetFieldKind(fkLookup);
  typeName->SetKeyFields("status");
  typeName->SetLookupDataSet(&types);
  typeName->SetLookupKeyFields("tid");
  typeName->SetLookupResultField("tname");
  typeName->SetDataSet(&songs);
  songs.OnCalcFields = [](TDataSet* D) { D->FieldByName("noer")->SetAsInteger(D->RecNo()); };
  songs.Open();
  EXPECT_FALSE(songs.DefaultFields());
  for (int i = 1; i <= 4; ++i) {
    songs.Append();
    id->SetAsInteger(i * 10);
    status->SetAsInteger(i % 2 + 1);
    songs.Post();
  }
  std::vector<std::pair<int, std::string>> rows;
  for (songs.First(); !songs.Eof(); songs.Next()) rows.push_back({noer->AsInteger(), typeName->AsString()});
  EXPECT_EQ(rows, (std::vector<std::pair<int, std::string>>{{1, "pop"}, {2, "all"}, {3, "pop"}, {4, "all"}}));

  // After a delete the row numbers follow.
  songs.First();
  songs.Delete();
  EXPECT_EQ(noer->AsInteger(), 1);
  EXPECT_EQ(id->AsInteger(), 20);
  EXPECT_FALSE(noer->CanModify());
  EXPECT_THROW({ songs.Edit(); noer->SetAsInteger(5); }, EDatabaseError);
  songs.Cancel();

  // Editing the key updates the lookup at once; writing the lookup writes the key.
  songs.Edit();
  status->SetAsInteger(2);
  EXPECT_EQ(typeName->AsString(), "pop");
  typeName->SetAsString("all");
  EXPECT_EQ(status->AsInteger(), 1);
  songs.Post();
  EXPECT_TRUE(songs.Locate("typename", "pop", 0));
  EXPECT_EQ(id->AsInteger(), 30);

  // A missing persistent field's column fails the open.
  TMemoryDataSet other(nullptr);
  other.FieldDefs()->Add("a", ftInteger);
  auto* b = new TIntegerField(&other);
  b->SetFieldName("b");
  b->SetDataSet(&other);
  EXPECT_THROW(other.Open(), EDatabaseError);
  EXPECT_FALSE(other.Active());
}

TEST(DataSetControls, NestedDisableSendsOneNoticeWhenSomethingChanged) {
  datatest::GridSetup grid(5, 1);
  TMemoryDataSet& ds = grid.Ds;
  TDataSource& src = grid.Src;
  RecordingLink& link = grid.Link;
  int dataChanges = 0;
  src.OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
  // Requests to finish editing (check, update) still reach the links; display notices wait.
  auto notices = [&] {
    std::vector<std::string> out;
    for (auto& s : link.Log)
      if (s != "check" && s != "update") out.push_back(s);
    return out;
  };
  link.Log.clear();

  ds.DisableControls();
  ds.DisableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  ds.Next();
  ds.Next();
  ds.Edit();
  ds.FieldByName("name")->SetAsString("quiet");
  ds.Post();
  ds.EnableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  EXPECT_TRUE(notices().empty());
  EXPECT_EQ(dataChanges, 0);
  ds.EnableControls();
  EXPECT_FALSE(ds.ControlsDisabled());
  EXPECT_EQ(notices(), (std::vector<std::string>{"changed"}));
  EXPECT_EQ(dataChanges, 1);

  link.Log.clear();
  ds.DisableControls();
  ds.EnableControls();
  EXPECT_TRUE(notices().empty());
  ds.EnableControls();  // unbalanced: ignored
  EXPECT_FALSE(ds.ControlsDisabled());

  // A state change while disabled is reported when enabled.
  ds.DisableControls();
  ds.Edit();
  ds.EnableControls();
  EXPECT_EQ(notices(), (std::vector<std::string>{"editing", "changed"}));
  ds.Cancel();
}

TEST(DataSetRefresh, StaysOnTheSameRow) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 4);
  ds.SetRecNo(3);
  TBookmark b = ds.Bookmark();
  ds.Refresh();
  EXPECT_EQ(CurrentId(ds), 3);
  EXPECT_TRUE(ds.BookmarkValid(b));
}

TEST(DatabaseErrorTest, AnErrorOfANamedComponentLeadsWithItsName) {
  TComponent named(nullptr), unnamed(nullptr);
  named.SetName("Orders");
  auto message = [](const TComponent* C) {
    try {
      DatabaseError("Field 'x' not found", C);
    } catch (const EDatabaseError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(&named), "Orders: Field 'x' not found");
  EXPECT_EQ(message(&unnamed), "Field 'x' not found");
  EXPECT_EQ(message(nullptr), "Field 'x' not found");
}

}  // namespace

namespace {

// Two subscribers hook AfterPost on each side of the application's handler, as two wrappers
// of the handler would run; either may leave first and the others keep their places.
TEST(DataSetEventHooks, RunAroundTheHandlerInWrappingOrderAndLeaveOneByOne) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 2);
  std::vector<std::string> log;
  ds.AfterPost = [&](TDataSet*) { log.push_back("app"); };
  const int a1 = ds.AddEventHook(dekAfterPost, dhpBeforeHandler, [&](TDataSet*) { log.push_back("a-before"); });
  const int a2 = ds.AddEventHook(dekAfterPost, dhpAfterHandler, [&](TDataSet*) { log.push_back("a-after"); });
  const int b1 = ds.AddEventHook(dekAfterPost, dhpBeforeHandler, [&](TDataSet*) { log.push_back("b-before"); });
  const int b2 = ds.AddEventHook(dekAfterPost, dhpAfterHandler, [&](TDataSet*) { log.push_back("b-after"); });
  auto post = [&] {
    log.clear();
    ds.Edit();
    ds.Post();
    return log;
  };
  using L = std::vector<std::string>;
  EXPECT_EQ(post(), (L{"b-before", "a-before", "app", "a-after", "b-after"}));
  ds.RemoveEventHook(a1);
  ds.RemoveEventHook(a2);
  EXPECT_EQ(post(), (L{"b-before", "app", "b-after"}));
  ds.RemoveEventHook(b1);
  ds.RemoveEventHook(b2);
  EXPECT_EQ(post(), (L{"app"}));
  EXPECT_EQ(ds.EventHookCount(dekAfterPost), 0);
}

TEST(DataSetEventHooks, AHookRemovingAnotherWhileRunningStopsItFromRunning) {
  TMemoryDataSet ds(nullptr);
  FillRows(ds, 3);
  int runs = 0;
  int second = 0;
  ds.AddEventHook(dekAfterScroll, dhpAfterHandler, [&](TDataSet* D) { D->RemoveEventHook(second); });
  second = ds.AddEventHook(dekAfterScroll, dhpAfterHandler, [&](TDataSet*) { ++runs; });
  ds.Next();
  ds.Next();
  EXPECT_EQ(runs, 0);
}

}  // namespace

namespace {

TEST(DataSetBuffers, LinksLeaveTheOldOpenDataSetBeforeJoiningTheNewOne) {
  TMemoryDataSet first(nullptr), second(nullptr);
  FillRows(first, 2);
  FillRows(second, 3);
  TDataSource src(nullptr);
  RecordingLink link;
  link.SetDataSource(&src);
  src.SetDataSet(&first);
  link.Log.clear();
  src.SetDataSet(&second);
  EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive", "active"}));
  EXPECT_EQ(link.DataSet(), &second);
}

}  // namespace
