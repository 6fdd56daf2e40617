// Footers and the sum list: counts, sums and averages kept while records are posted and
// deleted, footer texts for each kind of field, the sum list beside the application's own
// dataset handlers, and the category window's count footer.
#include <cstdlib>
#include <vector>

#include "grid/DBGridGd.h"
#include "grid/DBSumLst.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Surface.h"
#include "tests/grid/GridFixture.h"
#include "tests/support/Snapshot.h"

namespace {

using gridtest::GridTest;

class FooterTest : public GridTest {
 protected:
  // Stored columns, as the program's windows have, keep their footers while the data set is
  // closed.
  FooterTest() : GridTest(5) { UseColumns({"id", "name", "use", "price"}); }
  void UseColumns(std::initializer_list<const char*> Names) {
    Grid->Columns()->Clear();
    for (const char* name : Names) Grid->Columns()->Add()->SetFieldName(name);
  }
  // A footer row under column Index showing Type.
  TColumnFooterGd* ShowFooter(int Index, TFooterValueType Type) {
    Grid->SetFooterRowCount(1);
    TColumnFooterGd* footer = Grid->Columns()->Items(Index)->Footer();
    footer->SetValueType(Type);
    return footer;
  }
  std::string FooterText(int Index) { return Grid->FooterValueText(0, Grid->Columns()->Items(Index)); }
};

// The music-category window's list: one footer row, a centred count under the name column.
TEST_F(FooterTest, ACountFooterFollowsAppendPostAndDelete) {
  TColumnFooterGd* footer = ShowFooter(1, fvtCount);
  footer->SetAlignment(taCenter);
  EXPECT_EQ(FooterText(1), "0");  // the sum list is off: the count stays at zero
  Grid->SumList()->SetActive(true);
  EXPECT_EQ(FooterText(1), "5");
  Table.Append();
  Table.FieldByName("id")->SetAsInteger(6);
  Table.Post();
  EXPECT_EQ(FooterText(1), "6");
  Table.Delete();
  EXPECT_EQ(FooterText(1), "5");
  Table.Close();
  EXPECT_EQ(FooterText(1), "0");
  Table.Open();
  EXPECT_EQ(FooterText(1), "5");
  EXPECT_EQ(Grid->Columns()->Items(1)->Footer()->Alignment(), taCenter);
  // Footer texts are drawn: the grid row under the data shows it.
  Grid->SumList()->SetActive(false);
  EXPECT_EQ(FooterText(1), "0");
}

// The category window's look: a black footer row, the count centred in a coloured font.
TEST_F(FooterTest, TheCountIsDrawnCentredInTheFooterRow) {
  Grid->SetFooterColor(clBlack);
  Grid->FooterFont()->SetColor(clYellow);
  ShowFooter(1, fvtCount)->SetAlignment(taCenter);
  Grid->SumList()->SetActive(true);
  App.ProcessMessages();
  const gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
  if (const char* dir = std::getenv("OSTROVEL_GRID_PNGS")) test::SavePng(shot, std::string(dir) + "/count-footer.png");
  const TRect cell = Grid->CellRect(2, Grid->RowCount() - 1);
  const TPoint origin = Grid->ClientToScreen({0, 0});
  const TPoint form = Form->ClientToScreen({0, 0});
  int left = cell.Right, right = cell.Left, yellow = 0;
  for (int y = cell.Top; y < cell.Bottom; ++y)
    for (int x = cell.Left; x < cell.Right; ++x) {
      const COLORREF c = gdi::ColorOfPixel(shot.Get(origin.X - form.X + x, origin.Y - form.Y + y));
      if (GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) < 80) {
        ++yellow;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  EXPECT_GT(yellow, 5);  // the digit "5"
  EXPECT_NEAR((left + right) / 2, (cell.Left + cell.Right) / 2, 3);
  EXPECT_EQ(gdi::ColorOfPixel(shot.Get(origin.X - form.X + cell.Left + 1, origin.Y - form.Y + cell.Bottom - 2)),
            static_cast<COLORREF>(RGB(0, 0, 0)));
}

TEST_F(FooterTest, SumsAndAveragesFollowEditsIncludingNulls) {
  Grid->SumList()->SetActive(true);
  ShowFooter(0, fvtSum);
  ShowFooter(3, fvtAvg);
  EXPECT_EQ(FooterText(0), "15");     // 1 + ... + 5
  EXPECT_EQ(FooterText(3), "4.5");    // (1.5 + ... + 7.5) / 5
  EXPECT_EQ(Table.RecNo(), 1);        // a recalculation leaves the first record current
  Table.Edit();
  Table.FieldByName("price")->Clear();
  Table.Post();
  EXPECT_EQ(FooterText(3), "5.25");   // (3 + 4.5 + 6 + 7.5) / 4
  Table.Edit();
  Table.FieldByName("price")->SetAsFloat(5);
  Table.FieldByName("id")->SetAsInteger(11);
  Table.Post();
  EXPECT_EQ(FooterText(3), "5.2");    // (5 + 3 + 4.5 + 6 + 7.5) / 5
  EXPECT_EQ(FooterText(0), "25");
}

TEST_F(FooterTest, AFilterChangeRecalculatesAtTheNextScrollOnlyWhileFiltered) {
  Grid->SumList()->SetActive(true);
  ShowFooter(0, fvtCount);
  Table.SetFilter("id > 2");
  Table.Next();
  EXPECT_EQ(FooterText(0), "5");  // not filtered: the text does not count
  Table.SetFiltered(true);
  Table.First();
  EXPECT_EQ(FooterText(0), "3");
  Table.SetFilter("id > 3");
  Table.Next();
  EXPECT_EQ(FooterText(0), "2");
}

TEST_F(FooterTest, FooterTextsByKindOfValueAndField) {
  TMemoryDataSet money(nullptr);
  money.FieldDefs()->Add("qty", ftInteger);
  money.FieldDefs()->Add("cost", ftCurrency);
  money.FieldDefs()->Add("rate", ftFloat);
  money.FieldDefs()->Add("note", ftString, 10);
  money.CreateDataSet();
  for (int i = 1; i <= 3; ++i) {
    money.Append();
    money.FieldByName("qty")->SetAsInteger(i * 1000);
    money.FieldByName("cost")->SetAsFloat(i * 0.5);
    money.FieldByName("rate")->SetAsFloat(i / 3.0);
    money.FieldByName("note")->SetAsString("n");
    money.Post();
  }
  const TFormatSettings saved = FormatSettings();
  FormatSettings().CurrencyString = "¥";
  FormatSettings().CurrencyFormat = 0;
  FormatSettings().CurrencyDecimals = 2;
  FormatSettings().ThousandSeparator = ",";
  FormatSettings().DecimalSeparator = ".";
  Source->SetDataSet(&money);
  UseColumns({"qty", "cost", "rate", "note"});
  Grid->SumList()->SetActive(true);
  Grid->SetFooterRowCount(1);
  struct Case {
    int Column;
    TFooterValueType Type;
    const char* FieldName;
    const char* DisplayFormat;
    const char* Expected;
  };
  const Case cases[] = {
      {0, fvtSum, "", "", "6000"},          {0, fvtSum, "", "#,##0", "6,000"},  {0, fvtAvg, "", "", "2000"},
      {1, fvtSum, "", "", "¥3.00"},         {2, fvtSum, "", "", "2"},           {2, fvtAvg, "", "0.000", "0.667"},
      {3, fvtSum, "", "", "0"},             {3, fvtSum, "missing", "", "0"},   {3, fvtCount, "", "", "3"},
      {0, fvtCount, "", "#,##0.0", "3.0"},  {3, fvtStaticText, "", "", "合计"}, {3, fvtFieldValue, "qty", "", "1000"},
      {3, fvtNon, "", "", ""},
  };
  for (const Case& c : cases) {
    TColumnFooterGd* footer = Grid->Columns()->Items(c.Column)->Footer();
    footer->SetValue("合计");
    footer->SetFieldName(c.FieldName);
    footer->SetDisplayFormat(c.DisplayFormat);
    footer->SetValueType(c.Type);
    EXPECT_EQ(FooterText(c.Column), c.Expected) << c.Column << " " << c.Type << " " << c.DisplayFormat;
    footer->SetValueType(fvtNon);
  }
  Source->SetDataSet(&Table);
  FormatSettings() = saved;
}

TEST_F(FooterTest, FootersOfSeveralRowsComeFromTheFootersCollection) {
  Grid->SumList()->SetActive(true);
  Grid->SetFooterRowCount(2);
  TColumnGd* column = Grid->Columns()->Items(0);
  column->Footers()->Add()->SetValueType(fvtSum);
  column->Footers()->Add()->SetValueType(fvtCount);
  EXPECT_EQ(Grid->FooterValueText(0, column), "15");
  EXPECT_EQ(Grid->FooterValueText(1, column), "5");
  EXPECT_EQ(column->FooterForRow(2), column->Footer());
  EXPECT_EQ(Grid->SumList()->SumCollection()->Count(), 2);
  column->Footers()->Delete(0);
  EXPECT_EQ(Grid->SumList()->SumCollection()->Count(), 1);
}

// ---- the sum list beside the application's handlers ----

class SumListTest : public ::testing::Test {
 protected:
  SumListTest() {
    Table.FieldDefs()->Add("id", ftInteger);
    Table.CreateDataSet();
    for (int i = 1; i <= 4; ++i) {
      Table.Append();
      Table.FieldByName("id")->SetAsInteger(i);
      Table.Post();
    }
    Table.AfterPost = [this](TDataSet*) { ++AppPosts; };
  }
  static std::unique_ptr<TDBSumListProducer> CountingList(TDataSet* DataSet) {
    auto list = std::make_unique<TDBSumListProducer>(nullptr);
    list->SumCollection()->Add()->SetGroupOperation(goCount);
    list->SetDataSet(DataSet);
    return list;
  }
  static int64_t Count(TDBSumListProducer* List) { return List->SumCollection()->Items(0)->SumValue().Value / 10000; }
  void AppendOne() {
    Table.Append();
    Table.FieldByName("id")->SetAsInteger(99);
    Table.Post();
  }
  TMemoryDataSet Table{nullptr};
  int AppPosts = 0;
};

TEST_F(SumListTest, TwoListsLeaveInEitherOrderAndTheApplicationsHandlerRunsOnce) {
  for (bool firstLeavesFirst : {true, false}) {
    SCOPED_TRACE(firstLeavesFirst);
    auto first = CountingList(&Table);
    auto second = CountingList(&Table);
    EXPECT_EQ(Count(first.get()), Table.RecordCount());
    std::unique_ptr<TDBSumListProducer>& leaving = firstLeavesFirst ? first : second;
    std::unique_ptr<TDBSumListProducer>& staying = firstLeavesFirst ? second : first;
    leaving.reset();  // freed: its hooks must go with it
    AppPosts = 0;
    AppendOne();
    EXPECT_EQ(AppPosts, 1);
    EXPECT_EQ(Count(staying.get()), Table.RecordCount());
    staying->SetActive(false);
    AppendOne();
    EXPECT_EQ(AppPosts, 2);
    EXPECT_EQ(Count(staying.get()), 0);
    EXPECT_EQ(Table.EventHookCount(dekAfterPost), 0);
  }
}

TEST_F(SumListTest, HandlersRunInTheirOrderAndAfterScrollForEveryRecordWalked) {
  std::vector<std::string> log;
  auto list = std::make_unique<TDBSumListProducer>(nullptr);
  list->SumCollection()->Add()->SetGroupOperation(goCount);
  Table.AfterPost = [&](TDataSet*) { log.push_back("app post, count " + std::to_string(Count(list.get()))); };
  Table.AfterScroll = [&](TDataSet*) { log.push_back("app scroll"); };
  list->SetDataSet(&Table);
  EXPECT_GE(std::count(log.begin(), log.end(), "app scroll"), 4 + 1);  // each record, then First again
  log.clear();
  AppendOne();
  // The sum list counts before the application's AfterPost runs.
  EXPECT_NE(std::find(log.begin(), log.end(), "app post, count 5"), log.end());
}

TEST_F(SumListTest, ExternalRecalcLeavesTheValuesToTheApplication) {
  auto list = CountingList(&Table);
  int recalcs = 0;
  list->OnRecalcAll = [&](TObject*) { ++recalcs; };
  list->SetExternalRecalc(true);
  EXPECT_EQ(recalcs, 1);
  EXPECT_EQ(Count(list.get()), 0);
  list->SumCollection()->Items(0)->SetSumValue(Currency::FromInt64(7));
  EXPECT_EQ(Count(list.get()), 7);
}

}  // namespace
