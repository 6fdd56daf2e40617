// Column titles: captions from the fields, the sort markers' dense order, the word routines
// and the header tree of multi-line titles.
#include <string>
#include <vector>

#include "grid/DBGridGd.h"
#include "tests/grid/GridFixture.h"

namespace {

using gridtest::GridTest;

class TitleTest : public GridTest {
 protected:
  TitleTest() : GridTest(3) {}
  void UseCaptions(const std::vector<std::string>& Captions) {
    Grid->Columns()->Clear();
    for (const std::string& caption : Captions) {
      TColumnGd* column = Grid->Columns()->Add();
      column->SetFieldName("id");
      column->SetWidth(40);
      column->Title()->SetCaption(caption);
    }
    Grid->SetUseMultiTitle(true);
  }
  // The tree as text: each node's text, its children in brackets.
  static std::string Shape(THeadTreeNode* Node) {
    std::string out;
    THeadTreeNode* child = Node->Child;
    if (!child) return out;
    do {
      if (!out.empty()) out += " ";
      out += child->Text;
      if (child->Child) out += "[" + Shape(child) + "]";
      child = child->Next;
    } while (child != Node->Child);
    return out;
  }
  TColumnTitleGd* Title(int Index) { return Grid->Columns()->Items(Index)->Title(); }
};

TEST_F(TitleTest, CaptionsComeFromTheFieldAndADefaultColumnWritesTheLabel) {
  EXPECT_EQ(Title(1)->Caption(), "name");
  Table.FieldByName("name")->SetDisplayLabel("歌名");
  EXPECT_EQ(Title(1)->Caption(), "歌名");
  Title(1)->SetCaption("名称");  // a default column keeps nothing of its own
  EXPECT_EQ(Table.FieldByName("name")->DisplayLabel(), "名称");
  EXPECT_FALSE(Title(1)->IsCaptionStored());
}

TEST_F(TitleTest, WordsSkipLeadingAndDoubledSeparators) {
  struct Case {
    const char* Text;
    int N;
    const char* Word;
    int Pos;
  };
  const Case cases[] = {{"A|B", 2, "B", 3}, {"|A", 1, "A", 2}, {"|A", 2, "", 0}, {"A||B", 2, "B", 4},
                        {"", 1, "", 0},     {"播放|时间", 2, "时间", 8}};
  for (const Case& c : cases) {
    int pos = -1;
    EXPECT_EQ(WordAndPosAt(c.N, c.Text, "|", pos), c.Word) << c.Text;
    EXPECT_EQ(pos, c.Pos) << c.Text;
  }
}

TEST_F(TitleTest, TheHeaderTreeGroupsAdjacentCaptionsByTheirFirstWords) {
  struct Case {
    std::vector<std::string> Captions;
    const char* Shape;
  };
  const Case cases[] = {
      {{"A|X|1", "A|X|2", "A|Y"}, "A[X[1 2] Y]"},
      {{"A|B", "C", "A|B"}, "A[B] C A[B]"},
      {{"|A", "A||B"}, "|A A[B]"},
      // Regrouping across a group's edge: the third caption's first word B is no part of
      // group A; it keeps its words and gets a group of its own.
      {{"A|B|1", "A|B|2", "B|C"}, "A[B[1 2]] B[C]"},
  };
  for (const Case& c : cases) {
    UseCaptions(c.Captions);
    EXPECT_EQ(Shape(Grid->HeadTree()), c.Shape);
  }
}

TEST_F(TitleTest, GroupsAreTwentyHighAndAsWideAsTheirLeaves) {
  UseCaptions({"A|X|1", "A|X|2", "A|Y"});
  Grid->Columns()->Items(1)->SetVisible(false);
  THeadTreeNode root;
  std::vector<THeadTreeNode*> leaves;
  BuildTitleTree(&root, Grid, leaves);
  const int title = Grid->RowHeights(0);
  THeadTreeNode* a = root.Child;
  THeadTreeNode* x = a->Child;
  EXPECT_EQ(a->Height, 20);
  EXPECT_EQ(x->Height, 20);
  EXPECT_EQ(leaves[0]->Height, title - 40);
  EXPECT_EQ(leaves[2]->Height, title - 20);
  // The hidden column adds -1 and its line 1: nothing.
  EXPECT_EQ(x->Width, 40);
  EXPECT_EQ(a->Width, 40 + 1 + 40);
  EXPECT_EQ(root.NodeLevel(leaves[0]), 3);
  EXPECT_EQ(root.NodeLevel(leaves[2]), 2);
  // The grid's own tree gets its heights from the texts: each level's cells fill the title row.
  THeadTreeNode* ga = Grid->HeadTree()->Child;
  EXPECT_EQ(ga->Height + ga->Child->Height + Grid->LeafOfColumn(0)->Height, title);
  EXPECT_EQ(ga->Height + Grid->LeafOfColumn(2)->Height, title);
  EXPECT_GT(title, 3 * 10);
}

TEST_F(TitleTest, TheTreeRefusesNodesOutsideIt) {
  THeadTreeNode root;
  THeadTreeNode* a = root.AddLastChild(&root, "a", 10, 10);
  THeadTreeNode* b = root.AddLastChild(&root, "b", 10, 10);
  THeadTreeNode stranger;
  EXPECT_THROW(root.AddSibling(&stranger, "x", 1, 1), Exception);
  EXPECT_THROW(root.InsertGroupNode(b, a, 5, "g"), Exception);  // a lies before b: not in the run
  root.InsertGroupNode(a, b, 5, "g");
  EXPECT_EQ(root.Child->Text, "g");
  EXPECT_EQ(root.Child->Next, root.Child);
  EXPECT_EQ(a->Height, 5);
}

TEST_F(TitleTest, SortIndexesStayDenseWithMultiSortMarking) {
  Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghMultiSortMarking});
  for (int i = 0; i < 4; ++i) Title(i)->SetSortMarker(i % 2 ? smUpGd : smDownGd);
  Title(1)->SetSortMarker(smNoneGd);
  EXPECT_EQ(Title(0)->SortIndex(), 1);
  EXPECT_EQ(Title(1)->SortIndex(), 0);
  EXPECT_EQ(Title(2)->SortIndex(), 2);
  EXPECT_EQ(Title(3)->SortIndex(), 3);
  Title(3)->SetSortIndex(1);  // exchanges with the first
  EXPECT_EQ(Title(0)->SortIndex(), 3);
  EXPECT_EQ(Grid->SortMarkedColumns().front(), Grid->Columns()->Items(3));
  Title(2)->SetSortIndex(7);  // no column holds 7
  EXPECT_EQ(Title(2)->SortIndex(), 2);
  // Without multi-sort marking one column is marked at a time: the first in the order stays.
  Grid->SetOptionsGd(Grid->OptionsGd() - TDBGridGdOptions{dghMultiSortMarking});
  EXPECT_EQ(Title(3)->SortMarker(), smUpGd);
  EXPECT_EQ(Title(0)->SortMarker(), smNoneGd);
  EXPECT_EQ(Title(2)->SortMarker(), smNoneGd);
  Title(1)->SetSortMarker(smDownGd);
  for (int i : {0, 2, 3}) EXPECT_EQ(Title(i)->SortMarker(), smNoneGd) << i;
  EXPECT_EQ(Title(1)->SortIndex(), 1);
  Title(1)->ToggleSortMarker(false);
  EXPECT_EQ(Title(1)->SortMarker(), smUpGd);
  Title(1)->ToggleSortMarker(false);
  EXPECT_EQ(Title(1)->SortMarker(), smDownGd);
}

}  // namespace
