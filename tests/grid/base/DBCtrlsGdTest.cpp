// The data link of the grid library's data-aware controls: unbound and bound, editing,
// modified, writing back.
#include "grid/base/DBCtrlsGd.h"

#include <gtest/gtest.h>

#include "platform/data/MemoryDataSet.h"

namespace {

class FieldDataLinkGdTest : public ::testing::Test {
 protected:
  FieldDataLinkGdTest() {
    Table.FieldDefs()->Add("name", ftString, 20);
    Table.CreateDataSet();
    Table.Append();
    Table.FieldByName("name")->SetAsString("first");
    Table.Post();
    Source.SetDataSet(&Table);
    Link.OnDataChange = [this](TObject*) { ++DataChanges; };
    Link.OnEditingChange = [this](TObject*) { ++EditingChanges; };
    Link.OnUpdateData = [this](TObject*) { ++Updates; };
  }
  TMemoryDataSet Table{nullptr};
  TDataSource Source{nullptr};
  TFieldDataLinkGd Link;
  int DataChanges = 0, EditingChanges = 0, Updates = 0;
};

TEST_F(FieldDataLinkGdTest, WithoutSourceAndFieldItHoldsItsOwnValue) {
  EXPECT_TRUE(Link.DataIndependent());
  EXPECT_TRUE(Link.Active());
  EXPECT_TRUE(Link.CanModify());
  EXPECT_TRUE(VarIsNull(Link.UnboundValue()));
  EXPECT_TRUE(Link.Edit());
  EXPECT_EQ(EditingChanges, 1);
  Link.Modified();
  Link.SetText("typed");
  EXPECT_EQ(Link.UnboundValue(), Variant("typed"));
  EXPECT_GE(DataChanges, 1);
  Link.Modified();
  Link.UpdateData();
  EXPECT_EQ(Updates, 1);
  EXPECT_FALSE(Link.Editing());
  EXPECT_FALSE(Link.IsModified());
  Link.UpdateData();  // nothing pending: no write
  EXPECT_EQ(Updates, 1);
}

TEST_F(FieldDataLinkGdTest, AReadOnlyUnboundLinkDoesNotStartEditing) {
  Link.SetReadOnly(true);
  EXPECT_FALSE(Link.Edit());
  EXPECT_EQ(EditingChanges, 0);
}

TEST_F(FieldDataLinkGdTest, TheUnboundValueTurnsNullWhenTheLinkIsBoundAndAgainWhenFreed) {
  Link.SetText("kept");
  Link.SetFieldName("name");
  EXPECT_FALSE(Link.DataIndependent());
  EXPECT_TRUE(VarIsNull(Link.UnboundValue()));
  EXPECT_FALSE(Link.Active());  // a field name but no source: nothing to show
  Link.SetDataSource(&Source);
  ASSERT_EQ(Link.Field(), Table.FieldByName("name"));
  EXPECT_TRUE(Link.Active());
  Link.SetDataSource(nullptr);
  Link.SetValue(Variant(3));
  Link.SetFieldName("");
  EXPECT_TRUE(Link.DataIndependent());
  EXPECT_TRUE(VarIsNull(Link.UnboundValue()));
}

TEST_F(FieldDataLinkGdTest, BoundItEditsTheDatasetAndWritesTheFieldsText) {
  Link.SetDataSource(&Source);
  Link.SetFieldName("name");
  EXPECT_FALSE(Link.Editing());
  EXPECT_TRUE(Link.Edit());
  EXPECT_EQ(Table.State(), dsEdit);
  EXPECT_EQ(EditingChanges, 1);
  Link.SetText("second");
  EXPECT_EQ(Table.FieldByName("name")->AsString(), "second");
  Link.Modified();
  Table.Post();
  EXPECT_EQ(Updates, 1);
  EXPECT_FALSE(Link.Editing());
}

TEST_F(FieldDataLinkGdTest, AnUnknownFieldNameRaisesTheDatasetsError) {
  Link.SetDataSource(&Source);
  EXPECT_THROW(Link.SetFieldName("missing"), Exception);
}

}  // namespace
