#include "grid/base/GdPlatform.h"

#include <gtest/gtest.h>

#include "platform/classes/Resources.h"
#include "platform/classes/TypeInfo.h"
#include "platform/data/DataLink.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/os/Cursors.h"

namespace {

// The capacity a stream with HalfGrowthStep Half reaches when set to each size in turn.
struct TGrowthCase {
  int Half;
  std::vector<int64_t> Sizes;
  std::vector<int64_t> Capacities;
};

TEST(MemoryStreamGdTest, CapacityGrowsToTheNextMultipleOfTwiceTheHalfStep) {
  const TGrowthCase cases[] = {
      {4096, {1, 8192, 8193, 20000}, {8192, 8192, 16384, 24576}},
      {65536, {1, 131073}, {131072, 262144}},
      // Not a power of two: 6000-byte steps, where clearing low bits would go wrong.
      {3000, {1, 6000, 6001, 8193, 17999}, {6000, 6000, 12000, 12000, 18000}},
  };
  for (const TGrowthCase& c : cases) {
    SCOPED_TRACE(c.Half);
    TMemoryStreamGd stream;
    stream.SetHalfGrowthStep(c.Half);
    for (size_t i = 0; i < c.Sizes.size(); ++i) {
      stream.SetSize(c.Sizes[i]);
      EXPECT_EQ(stream.Capacity(), c.Capacities[i]) << "size " << c.Sizes[i];
      EXPECT_EQ(stream.Size(), c.Sizes[i]);
    }
  }
}

TEST(MemoryStreamGdTest, WritesKeepTheirBytesAndAnExactSizeKeepsItsCapacity) {
  TMemoryStreamGd stream;
  std::string text(10000, 'x');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  EXPECT_EQ(stream.Capacity(), 16384);
  // Set to the size it has: that exact capacity, the contents kept.
  stream.SetSize(10000);
  EXPECT_EQ(stream.Capacity(), 10000);
  EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 10000), text);
  stream.Clear();
  EXPECT_EQ(stream.Capacity(), 0);
  EXPECT_EQ(stream.Memory(), nullptr);
  EXPECT_THROW(stream.SetHalfGrowthStep(0), EStreamError);
}

}  // namespace

namespace {

// A detail data set with a published master-source reference that may hold anything, and whose
// reading can be made to fail.
class TDetailDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  TComponent* MasterSource() const {
    if (FailReading) throw Exception("cannot read");
    return FMaster;
  }
  void SetMasterSource(TComponent* Value) { FMaster = Value; }
  bool FailReading = false;

 private:
  TComponent* FMaster = nullptr;
};

const classes::TPublished<TDetailDataSet, TMemoryDataSet> DetailInfo([](auto& p) {
  p.Component("MasterSource", &TDetailDataSet::MasterSource, &TDetailDataSet::SetMasterSource);
});

TEST(GdPlatformTest, TheMasterSourcePropertyGivesItsDataSetOrNothing) {
  TMemoryDataSet master(nullptr);
  TDataSource source(nullptr);
  TDetailDataSet detail(nullptr);
  EXPECT_EQ(DataSetFromSourceProp(&detail, "MasterSource"), nullptr) << "holds nothing";
  detail.SetMasterSource(&source);
  EXPECT_EQ(DataSetFromSourceProp(&detail, "MasterSource"), nullptr) << "a source without a data set";
  source.SetDataSet(&master);
  EXPECT_EQ(DataSetFromSourceProp(&detail, "MasterSource"), &master);
  EXPECT_EQ(DataSetFromSourceProp(&detail, "NoSuchProperty"), nullptr);
  EXPECT_EQ(DataSetFromSourceProp(&master, "MasterSource"), nullptr) << "a class without the property";
  EXPECT_EQ(DataSetFromSourceProp(nullptr, "MasterSource"), nullptr);
  detail.SetMasterSource(&master);
  EXPECT_EQ(DataSetFromSourceProp(&detail, "MasterSource"), nullptr) << "not a data source";
  detail.SetMasterSource(&source);
  detail.FailReading = true;
  EXPECT_EQ(DataSetFromSourceProp(&detail, "MasterSource"), nullptr) << "a failing read";
}

TEST(GdPlatformTest, BookmarksOfTheSameRecordCompareEqual) {
  TMemoryDataSet ds(nullptr);
  ds.FieldDefs()->Add("id", ftInteger);
  ds.Open();
  for (int i = 0; i < 3; ++i) {
    ds.Append();
    ds.FieldByName("id")->SetAsInteger(i);
    ds.Post();
  }
  ds.First();
  const TBookmark first = ds.Bookmark();
  ds.Last();
  const TBookmark last = ds.Bookmark();
  ds.First();
  EXPECT_EQ(CompareDataSetBookmarks(&ds, first, ds.Bookmark()), 0);
  EXPECT_LT(CompareDataSetBookmarks(&ds, first, last), 0);
  EXPECT_GT(CompareDataSetBookmarks(&ds, last, first), 0);
}

TEST(GdPlatformTest, TheGridsCursorsAndBitmapsAreBuiltIn) {
  struct TCursorCase { const char* Name; TPoint HotSpot; };
  for (const TCursorCase& c : {TCursorCase{"DOWNCURGD", {8, 15}}, TCursorCase{"RIGHTCURGD", {15, 8}},
                               TCursorCase{"LEFTCURGD", {0, 8}}}) {
    SCOPED_TRACE(c.Name);
    HCURSOR cursor = LoadCursorFromResource(nullptr, c.Name);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(TPoint(static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot)), c.HotSpot);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  try {
    LoadCursorFromResource(nullptr, "NOSUCHCURGD");
    ADD_FAILURE() << "a missing cursor raises";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Cannot load cursor resource");
  }
  // The indicator images are masked with white, the selected arrow with teal, the sort markers
  // with magenta: their corners show that colour.
  struct TBitmapCase { const char* Name; TColor Mask; };
  for (const TBitmapCase& c : {TBitmapCase{"DBGARROWGD", clWhite}, TBitmapCase{"DBEDITGD", clWhite},
                               TBitmapCase{"DBINSERTGD", clWhite}, TBitmapCase{"DBMULTIDOTGD", clWhite},
                               TBitmapCase{"DBMULTIARROWGD", clWhite}, TBitmapCase{"DBGARROWGDW", TColor{0x808000}},
                               TBitmapCase{"DBSMDOWNGD", TColor{0xFF00FF}}, TBitmapCase{"DBSMUPGD", TColor{0xFF00FF}}}) {
    SCOPED_TRACE(c.Name);
    TBitmap bitmap;
    LoadBitmapFromResource(&bitmap, nullptr, c.Name);
    EXPECT_GT(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), c.Mask);
    EXPECT_EQ(bitmap.Canvas()->Pixels(bitmap.Width() - 1, bitmap.Height() - 1), c.Mask);
  }
  TBitmap missing;
  EXPECT_THROW(LoadBitmapFromResource(&missing, nullptr, "NOSUCHBITMAPGD"), EResNotFound);
}

}  // namespace
