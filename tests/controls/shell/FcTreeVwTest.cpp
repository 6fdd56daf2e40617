// The framed tree view: nodes as tab-indented lines, the row height, colours by state, the
// frame, the unfocused outline, the wheel and the node context menu.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/shell/FcTreeVw.h"
#include "platform/backends/HeadlessPresenter.h"
#include "platform/gdi/Surface.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace {

class TTestTree : public TFcCustomTreeView {
 public:
  using TFcCustomTreeView::TFcCustomTreeView;
};

class FcTreeViewTest : public test::HeadlessTest {
 protected:
  FcTreeViewTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 320, 240);
    Tree = new TTestTree(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(8, 8, 200, 150);
    Other = new TTestTree(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(220, 8, 90, 50);
  }
  void Show() {
    Form->Show();
    App.RunFor(50);
  }
  void Lines(const std::vector<std::string>& Texts) {
    TStringList list;
    for (const auto& t : Texts) list.Add(t);
    Tree->LoadNodesFromStrings(&list);
  }
  std::vector<std::string> Saved() {
    TStringList list;
    Tree->SaveNodesToStrings(&list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
    return out;
  }
  COLORREF Pixel(int X, int Y) { return gdi::ColorOfPixel(App.Presenter().Snapshot(Tree->Handle()).Get(X, Y)); }

  std::unique_ptr<TForm> Form;
  TTestTree* Tree = nullptr;
  TTestTree* Other = nullptr;
  test::TInputDriver Input;
};

TEST_F(FcTreeViewTest, TabIndentedLinesLoadAsLevelsAndSaveBack) {
  Lines({"A", "\tB", "\t\tC", "D", "\tE", "\t\tF", "\tG"});
  TTreeNode* a = Tree->Items()->GetFirstNode();
  ASSERT_EQ(a->Text(), "A");
  ASSERT_EQ(a->Count(), 1);
  EXPECT_EQ(a->Item(0)->Text(), "B");
  EXPECT_EQ(a->Item(0)->Item(0)->Text(), "C");
  TTreeNode* d = a->getNextSibling();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Text(), "D");
  EXPECT_EQ(d->Level(), 0);
  ASSERT_EQ(d->Count(), 2);  // G went back up from F's level to E's
  EXPECT_EQ(d->Item(1)->Text(), "G");
  EXPECT_EQ(Saved(), (std::vector<std::string>{"A", "\tB", "\t\tC", "D", "\tE", "\t\tF", "\tG"}));
}

TEST_F(FcTreeViewTest, ALineTwoLevelsDeeperRaisesAndKeepsTheNodesBuilt) {
  try {
    Lines({"A", "\tB", "\t\t\tX", "C"});
    FAIL() << "no error";
  } catch (const ETreeViewError& e) {
    EXPECT_EQ(e.Message(), "Invalid level (3) for item \"X\"");
  }
  EXPECT_EQ(Saved(), (std::vector<std::string>{"A", "\tB"}));
}

TEST_F(FcTreeViewTest, ItemHeightZeroOrNegativeIsTheDefault) {
  Show();
  const auto defaultHeight = SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0);
  Tree->SetItemHeight(24);
  EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0), 24);
  Tree->SetItemHeight(-3);
  EXPECT_EQ(Tree->ItemHeight(), 0);
  EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0), defaultHeight);
}

TEST_F(FcTreeViewTest, ColourFollowsFocusAndEnabledAndOutsideColourMovesTheFocusColour) {
  Show();
  Tree->SetFocusColor(clYellow);
  Tree->SetDisabledColor(clGray);
  Tree->SetFocus();
  App.RunFor(20);
  EXPECT_EQ(Tree->Color(), clYellow);
  Other->SetFocus();
  App.RunFor(20);
  EXPECT_EQ(Tree->Color(), clWindow);
  Tree->SetEnabled(false);
  EXPECT_EQ(Tree->Color(), clGray);
  Tree->SetEnabled(true);
  EXPECT_EQ(Tree->Color(), clWindow);

  // A colour set from outside is the new normal colour; a focus colour equal to the old
  // normal colour goes along.
  TTestTree plain(nullptr);
  plain.SetColor(clAqua);
  EXPECT_EQ(plain.NormalColor(), clAqua);
  EXPECT_EQ(plain.FocusColor(), clAqua);
}

TEST_F(FcTreeViewTest, HotTrackShowsTheFrameOnAllSidesAndSelectOnExpandExcludesAutoExpand) {
  Tree->SetFrameSides(TSides{sdLeft});
  Tree->SetFrameHotTrack(true);
  EXPECT_TRUE(Tree->FrameVisible());
  EXPECT_EQ(Tree->FrameSides(), AllSides);

  Tree->SetAutoExpand(true);
  Tree->SetSelectOnExpand(true);
  EXPECT_FALSE(Tree->AutoExpand());
  Tree->SetAutoExpand(true);
  EXPECT_FALSE(Tree->SelectOnExpand());
}

TEST_F(FcTreeViewTest, TheFramePaintsInTheNonClientRingUnlessTheThemedBorderIsUsed) {
  Tree->SetFramingPreference(fpCustomFraming);
  Tree->SetFrameVisible(true);
  Tree->SetFrameColor(clRed);
  Show();
  EXPECT_EQ(Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(Pixel(1, 1), ColorToRGB(clWindow));  // fsFlat: one line, the control colour inside

  Tree->SetFrameHotTrack(true);
  Tree->SetFrameHotColor(clBlue);
  Tree->SetFocus();
  App.RunFor(50);
  EXPECT_EQ(Pixel(1, 1), RGB(0, 0, 255));  // hot: fsFlatBold, two lines
}

TEST_F(FcTreeViewTest, AnUnfocusedTreeOutlinesItsSelectedNode) {
  Lines({"Alpha", "Beta"});
  Tree->SetHideSelection(false);
  Tree->UnfocusedSelectionPen()->SetColor(clRed);
  Show();
  TTreeNode* beta = Tree->Items()->GetFirstNode()->getNextSibling();
  Tree->SetSelected(beta);
  Other->SetFocus();
  App.RunFor(50);
  const TRect r = beta->DisplayRect(true);
  const int border = 2;  // the client edge
  EXPECT_EQ(Pixel(r.Left + border, r.Top + border + 2), RGB(255, 0, 0));
  Tree->SetFocus();
  App.RunFor(50);
  EXPECT_NE(Pixel(r.Left + border, r.Top + border + 2), RGB(255, 0, 0));
}

TEST_F(FcTreeViewTest, TheWheelScrollsOnlyALongTreeAndNeverFiresTheDirectionEvents) {
  int directionEvents = 0;
  Tree->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { ++directionEvents; };
  Lines({"A", "B"});
  Show();
  Tree->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Tree->TopItem(), Tree->Items()->GetFirstNode());

  std::vector<std::string> many;
  for (int i = 0; i < 40; ++i) many.push_back("Node " + std::to_string(i));
  Lines(many);
  App.RunFor(20);
  Tree->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Tree->TopItem()->Text(), "Node 3");
  EXPECT_EQ(directionEvents, 0);
}

class FcTreeMenuTest : public FcTreeViewTest {
 protected:
  FcTreeMenuTest() {
    Menu = new TPopupMenu(Form.get());
    auto* item = new TMenuItem(Menu);
    item->SetCaption("Open");
    Menu->Items()->Add(item);
    Menu->OnPopup = [this](TObject*) { ++Popups; };
    Tree->SetPopupMenu(Menu);
    Tree->OnNodeContextMenu = [this](TObject*, TTreeNode* Node, TPoint, TPopupMenu*& M) {
      Asked.push_back(Node ? Node->Text() : "none");
      if (Cancel) M = nullptr;
    };
    Lines({"Alpha", "Beta"});
    Show();
  }
  void RightClickThenEsc(TPoint Client) {
    Input.Click(Tree->Handle(), Client, test::TInputDriver::TButton::Right);
    Input.Wait(50);
    Input.Key(VK_ESCAPE);
    App.RunFor(500);
  }
  TPopupMenu* Menu = nullptr;
  std::vector<std::string> Asked;
  int Popups = 0;
  bool Cancel = false;
};

TEST_F(FcTreeMenuTest, ARightClickOnEmptySpaceAsksForTheSelectedNode) {
  Tree->SetSelected(Tree->Items()->GetFirstNode()->getNextSibling());
  RightClickThenEsc({100, 130});
  EXPECT_EQ(Asked, (std::vector<std::string>{"Beta"}));
  EXPECT_EQ(Popups, 1);  // once: the platform's own menu is not opened again
}

TEST_F(FcTreeMenuTest, AHandlerThatCancelsTheMenuShowsNothing) {
  Cancel = true;
  const TRect alpha = Tree->Items()->GetFirstNode()->DisplayRect(true);
  RightClickThenEsc({alpha.Left + 3, alpha.Top + 3});
  EXPECT_EQ(Asked, (std::vector<std::string>{"Alpha"}));
  EXPECT_EQ(Popups, 0);
}

}  // namespace
