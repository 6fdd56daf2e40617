#include "platform/controls/TreeView.h"

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/System.h"

#include "platform/os/Focus.h"
#include "platform/rtl/Strings.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

class TreeViewTest : public ControlTest {
 protected:
  TreeViewTest() {
    Tree = Make<TTreeView>(Form, "Tree", Bounds(10, 10, 200, 150));
    // A
    //   A1
    //     A1a
    //   A2
    // B
    TTreeNodes* n = Tree->Items();
    A = n->Add(nullptr, "A");
    A1 = n->AddChild(A, "A1");
    A1a = n->AddChild(A1, "A1a");
    A2 = n->AddChild(A, "A2");
    B = n->Add(nullptr, "B");
    Tree->OnChange = [this](TObject*, TTreeNode* Node) { Events.push_back("change " + (Node ? Node->Text() : "-")); };
    Tree->OnExpanded = [this](TObject*, TTreeNode* Node) { Events.push_back("expanded " + Node->Text()); };
    Tree->OnCollapsed = [this](TObject*, TTreeNode* Node) { Events.push_back("collapsed " + Node->Text()); };
  }
  // The client point in the middle of a node's label, and of its button.
  TPoint LabelOf(TTreeNode* Node) {
    TRect r = Node->DisplayRect(true);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TPoint ButtonOf(TTreeNode* Node) {
    TRect r = Node->DisplayRect(true);
    const int indentRight = r.Left - (Tree->Images() ? Tree->Images()->Width() + 1 : 0);
    return {indentRight - Tree->Indent() / 2 - 3, (r.Top + r.Bottom) / 2};
  }
  void Show(TWinControl* Focus = nullptr) {
    ShowForm();
    (Focus ? Focus : Tree)->SetFocus();
    Pump();
    Events.clear();
  }

  TTreeView* Tree = nullptr;
  TTreeNode *A, *A1, *A1a, *A2, *B;
  std::vector<std::string> Events;
};

TEST_F(TreeViewTest, NodesKeepTheirPlaceInTheTree) {
  EXPECT_EQ(Tree->Items()->Count(), 5);
  EXPECT_EQ(Tree->Items()->GetFirstNode(), A);
  EXPECT_EQ(A1a->Level(), 2);
  EXPECT_EQ(A1a->Parent(), A1);
  EXPECT_EQ(A->Parent(), nullptr);
  EXPECT_EQ(A2->Index(), 1);
  EXPECT_EQ(A->Count(), 2);
  EXPECT_EQ(A->Item(1), A2);
  EXPECT_EQ(A->GetLastChild(), A2);
  EXPECT_EQ(A1->getNextSibling(), A2);
  EXPECT_EQ(A2->getPrevSibling(), A1);
  EXPECT_EQ(A1a->GetNext(), A2) << "tree order goes back up after the last child";
  EXPECT_EQ(A2->GetPrev(), A1a);
  EXPECT_EQ(Tree->Items()->Item(4), B);
  EXPECT_EQ(B->AbsoluteIndex(), 4);
  EXPECT_THROW(A->Item(2), EListError);

  TTreeNode* first = Tree->Items()->AddFirst(A, "First");
  TTreeNode* before = Tree->Items()->Insert(B, "BeforeB");
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(before->getNextSibling(), B);
  EXPECT_EQ(Tree->Items()->Count(), 7);

  std::vector<std::string> deleted;
  Tree->OnDeletion = [&](TObject*, TTreeNode* Node) { deleted.push_back(Node->Text()); };
  A1->Delete();
  EXPECT_EQ(deleted, (std::vector<std::string>{"A1a", "A1"})) << "children go first";
  EXPECT_EQ(Tree->Items()->Count(), 5);
  A->DeleteChildren();
  EXPECT_FALSE(A->HasChildren());
  Tree->Items()->Clear();
  EXPECT_EQ(Tree->Items()->Count(), 0);
  EXPECT_EQ(Tree->Items()->GetFirstNode(), nullptr);
}

TEST_F(TreeViewTest, ButtonsAndDoubleClicksExpandAndCollapse) {
  Show();
  EXPECT_EQ(Tree->GetHitTestInfoAt(ButtonOf(A).X, ButtonOf(A).Y), THitTests{htOnButton});
  Input.Click(Tree->Handle(), ButtonOf(A));
  Pump();
  EXPECT_TRUE(A->Expanded());
  EXPECT_EQ(Tree->Selected(), nullptr) << "the button does not select";
  Input.DoubleClick(Tree->Handle(), LabelOf(A1));
  App.RunFor(100);
  EXPECT_TRUE(A1->Expanded());
  EXPECT_EQ(Tree->Selected(), A1);
  Input.Click(Tree->Handle(), ButtonOf(A));
  Pump();
  EXPECT_FALSE(A->Expanded());
  EXPECT_EQ(Events, (std::vector<std::string>{"expanded A", "change A1", "expanded A1", "change A", "collapsed A"}))
      << "collapsing the selected node's parent moves the selection up";
}

TEST_F(TreeViewTest, KeysMoveExpandAndCollapse) {
  Show();
  struct TStep {
    UINT Key;
    TTreeNode* Selected;
    bool AExpanded;
  };
  const TStep steps[] = {
      {VK_DOWN, A, false},     // nothing selected: the first node
      {VK_RIGHT, A, true},     // expands
      {VK_RIGHT, A1, true},    // into the first child
      {VK_DOWN, A2, true},     // A1 is collapsed: its child is skipped
      {VK_LEFT, A, true},      // a leaf goes to its parent
      {VK_LEFT, A, false},     // an expanded node collapses
      {VK_ADD, A, true},       // "+" expands
      {VK_SUBTRACT, A, false}, // "-" collapses
      {VK_END, B, false},
      {VK_HOME, A, false},
  };
  for (const TStep& s : steps) {
    Input.Key(s.Key);
    Pump();
    EXPECT_EQ(Tree->Selected(), s.Selected) << "after key " << s.Key;
    EXPECT_EQ(A->Expanded(), s.AExpanded) << "after key " << s.Key;
  }
  Input.Key(VK_MULTIPLY);
  Pump();
  EXPECT_TRUE(A->Expanded() && A1->Expanded()) << "\"*\" expands everything below";
  Input.Type("a2");
  Pump();
  EXPECT_EQ(Tree->Selected(), A2) << "typing selects by the start of the text";
}

TEST_F(TreeViewTest, HandlersCanRefuseExpandingAndChanging) {
  Show();
  Tree->OnExpanding = [](TObject*, TTreeNode* Node, bool& Allow) { Allow = Node->Text() != "A"; };
  Tree->OnChanging = [this](TObject*, TTreeNode* Node, bool& Allow) { Allow = Node != B; };
  Input.Click(Tree->Handle(), ButtonOf(A));
  Pump();
  EXPECT_FALSE(A->Expanded());
  Input.Click(Tree->Handle(), LabelOf(B));
  Pump();
  EXPECT_EQ(Tree->Selected(), nullptr);
  Tree->SetSelected(A);
  EXPECT_EQ(Tree->Selected(), A);
  EXPECT_EQ(Events, (std::vector<std::string>{"change A"}));
}

TEST_F(TreeViewTest, ANodeFilledOnExpandingShowsItsChildrenOrLosesItsButton) {
  TTreeNode* lazy = Tree->Items()->Add(nullptr, "Lazy");
  TTreeNode* empty = Tree->Items()->Add(nullptr, "Empty");
  lazy->SetHasChildren(true);
  empty->SetHasChildren(true);
  Tree->OnExpanding = [&](TObject*, TTreeNode* Node, bool&) {
    if (Node == lazy && Node->Count() == 0) Tree->Items()->AddChild(Node, "Filled");
  };
  Show();
  EXPECT_TRUE(lazy->HasChildren());
  EXPECT_EQ(lazy->Count(), 0);
  Input.Click(Tree->Handle(), ButtonOf(lazy));
  Pump();
  EXPECT_TRUE(lazy->Expanded());
  EXPECT_EQ(lazy->Count(), 1);
  empty->Expand(false);
  EXPECT_FALSE(empty->Expanded());
  EXPECT_FALSE(empty->HasChildren()) << "nothing to show: the button goes";
}

TEST_F(TreeViewTest, AClickIsToldBeforeItSelects) {
  // A descendant reading the reflected notifications sees NM_CLICK with the old selection.
  struct TProbe : TTreeView {
    using TTreeView::TTreeView;
    std::vector<std::string>* Events = nullptr;
    void CNNotify(TMessage& M) override {
      auto* h = reinterpret_cast<NMHDR*>(M.LParam);
      if (h->code == NM_CLICK) Events->push_back("click, selected " + (Selected() ? Selected()->Text() : "-"));
      if (h->code == NM_RCLICK) Events->push_back("right click");
      TTreeView::CNNotify(M);
    }
  };
  auto* probe = Make<TProbe>(Form, "Probe", Bounds(10, 10, 200, 150));
  probe->Events = &Events;
  TTreeNode* x = probe->Items()->Add(nullptr, "X");
  probe->OnChange = [this](TObject*, TTreeNode* Node) { Events.push_back("change " + Node->Text()); };
  Tree->SetVisible(false);
  Show(probe);
  TRect r = x->DisplayRect(true);
  Input.Click(probe->Handle(), {r.Left + 3, r.Top + 3});
  Input.Click(probe->Handle(), {r.Left + 3, r.Top + 3}, test::TInputDriver::TButton::Right);
  Pump();
  EXPECT_EQ(Events, (std::vector<std::string>{"click, selected -", "change X", "right click"}));
}

TEST_F(TreeViewTest, HitTestsNameThePartsOfARow) {
  auto* images = new TCustomImageList(Form, 16, 16);
  Tree->SetImages(images);
  Show();
  TRect label = A->DisplayRect(true);
  const int y = (label.Top + label.Bottom) / 2;
  struct TCase {
    int X;
    int Y;
    THitTests Expected;
  };
  const TCase cases[] = {
      {1, y, {htOnIndent}},
      {ButtonOf(A).X, y, {htOnButton}},
      {label.Left - 8, y, {htOnItem, htOnIcon}},
      {label.Left + 2, y, {htOnItem, htOnLabel}},
      {label.Right + 5, y, {htOnRight}},
      {5, 140, {htNowhere}},
      {5, -1, {htAbove}},
      {-1, 5, {htToLeft}},
  };
  for (const TCase& c : cases) EXPECT_EQ(Tree->GetHitTestInfoAt(c.X, c.Y), c.Expected) << c.X << ", " << c.Y;
  EXPECT_EQ(Tree->GetNodeAt(label.Right + 5, y), A) << "the whole row belongs to the node";
  EXPECT_EQ(Tree->GetNodeAt(5, 140), nullptr);
  EXPECT_EQ(B->DisplayRect(false).Top, label.Bottom);
  EXPECT_TRUE(A1->DisplayRect(true).IsEmpty()) << "a hidden node has no place";
}

TEST_F(TreeViewTest, SortingByTextByDataAndByHandler) {
  TTreeNodes* n = Tree->Items();
  n->Clear();
  for (const char* s : {"pear", "Apple", "fig"}) n->Add(nullptr, s);
  auto texts = [&] {
    std::vector<std::string> r;
    for (TTreeNode* x = n->GetFirstNode(); x; x = x->getNextSibling()) r.push_back(x->Text());
    return r;
  };
  Tree->AlphaSort();
  EXPECT_EQ(texts(), (std::vector<std::string>{"Apple", "fig", "pear"})) << "case does not count";
  Tree->CustomSort([](TTreeNode* a, TTreeNode* b, LPARAM) { return b->Text().size() < a->Text().size() ? -1 : 0; }, 0);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Apple", "pear", "fig"}));
  Tree->SetSortType(stText);
  n->Add(nullptr, "banana");
  EXPECT_EQ(texts(), (std::vector<std::string>{"Apple", "banana", "fig", "pear"})) << "sorted as added";
  n->GetFirstNode()->SetText("zucchini");
  EXPECT_EQ(texts().back(), "zucchini") << "and when renamed";
  Tree->OnCompare = [](TObject*, TTreeNode* a, TTreeNode* b, int, int& c) { c = -AnsiCompareText(a->Text(), b->Text()); };
  Tree->AlphaSort();
  EXPECT_EQ(texts().front(), "zucchini");
}

TEST_F(TreeViewTest, DeletingTheSelectedNodeSelectsANeighbour) {
  Show();
  A->Expand(false);
  Tree->SetSelected(A1);
  Events.clear();
  A1->Delete();
  EXPECT_EQ(Tree->Selected(), A2);
  A2->Delete();
  EXPECT_EQ(Tree->Selected(), A) << "no sibling left: the parent";
  EXPECT_EQ(Events, (std::vector<std::string>{"change A2", "change A"}));
  Tree->Items()->Clear();
  EXPECT_EQ(Tree->Selected(), nullptr);
}

TEST_F(TreeViewTest, ALongTreeScrollsByBarWheelAndKeys) {
  Tree->Items()->Clear();
  for (int i = 0; i < 40; ++i) Tree->Items()->Add(nullptr, "Node " + std::to_string(i));
  Show();
  EXPECT_TRUE(GetWindowLongPtr(Tree->Handle(), GWL_STYLE) & WS_VSCROLL) << "the bar shows";
  const int page = Tree->VisibleCount();
  EXPECT_GT(page, 3);
  EXPECT_EQ(Tree->TopItem(), Tree->Items()->Item(0));
  Input.MoveTo(Tree->Handle());
  Input.Wheel(-1);
  Pump();
  EXPECT_EQ(Tree->TopItem(), Tree->Items()->Item(3)) << "a notch is three lines";
  SendMessage(Tree->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Tree->TopItem(), Tree->Items()->Item(3 + page));
  EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), 3 + page);
  Input.Key(VK_END);
  Pump();
  EXPECT_EQ(Tree->Selected(), Tree->Items()->Item(39));
  EXPECT_EQ(Tree->TopItem(), Tree->Items()->Item(40 - page)) << "the selection is kept in view";
  Tree->SetTopItem(Tree->Items()->Item(0));
  Tree->Items()->Item(20)->MakeVisible();
  EXPECT_FALSE(Tree->Items()->Item(20)->DisplayRect(false).IsEmpty());
  // A tree that fits gets no bar, and its wheel moves nothing.
  Tree->Items()->Clear();
  Tree->Items()->Add(nullptr, "One");
  Pump();
  EXPECT_FALSE(GetWindowLongPtr(Tree->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(TreeViewTest, TreeMessagesOfDescendants) {
  Show();
  const LRESULT standard = SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0);
  EXPECT_GE(standard, 16);
  SendMessage(Tree->Handle(), TVM_SETITEMHEIGHT, 30, 0);
  EXPECT_EQ(A->DisplayRect(false).Height(), 30);
  SendMessage(Tree->Handle(), TVM_SETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0), standard);
  // Images come through TVN_GETDISPINFO, so OnGetImageIndex decides while painting.
  auto* images = new TCustomImageList(Form, 16, 16);
  Tree->SetImages(images);
  int asked = 0;
  Tree->OnGetImageIndex = [&](TObject*, TTreeNode* Node) {
    ++asked;
    Node->SetImageIndex(0);
  };
  Tree->Invalidate();
  Pump();
  EXPECT_EQ(asked, 2) << "once per root node shown";
}

// ---- label editing ----

class TreeEditTest : public TreeViewTest {
 protected:
  TreeEditTest() {
    Tree->OnEdited = [this](TObject*, TTreeNode* Node, std::string& S) {
      Edited.push_back(Node->Text() + " -> " + S);
      if (EditedHandler) EditedHandler(S);
    };
  }
  HWND EditWindow() { return reinterpret_cast<HWND>(SendMessage(Tree->Handle(), TVM_GETEDITCONTROL, 0, 0)); }
  // Selects the node and opens its editor with F2.
  void StartEditing(TTreeNode* Node) {
    Tree->SetSelected(Node);
    Input.Key(VK_F2);
    Pump();
  }

  std::vector<std::string> Edited;
  std::function<void(std::string&)> EditedHandler;
};

TEST_F(TreeEditTest, TypingANewNameAcceptsWithEnterAndCancelsWithEsc) {
  // A default button must not take the Enter meant for the editor, nor a cancel button the Esc.
  auto* ok = Make<TButton>(Form, "Ok", Bounds(220, 10, 60, 24));
  ok->SetDefault(true);
  ok->SetCancel(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  Show();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(EditWindow(), nullptr);

  StartEditing(B);
  ASSERT_TRUE(Tree->IsEditing());
  ASSERT_NE(Tree->EditControl(), nullptr);
  EXPECT_EQ(EditWindow(), Tree->EditControl()->Handle());
  EXPECT_EQ(GetFocus(), EditWindow()) << "the editor takes the keys";
  EXPECT_EQ(Form->ActiveControl(), Tree) << "the tree stays the form's focused control";
  EXPECT_EQ(Tree->EditControl()->Text(), "B");
  EXPECT_EQ(Tree->EditControl()->SelLength(), 1) << "the whole label is selected, so typing replaces it";
  Input.Type("Bravo");
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(EditWindow(), nullptr);
  EXPECT_EQ(B->Text(), "Bravo");
  EXPECT_EQ(GetFocus(), Tree->Handle());

  StartEditing(B);
  Input.Type("Zulu");
  Input.Key(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(B->Text(), "Bravo");
  EXPECT_EQ(Edited, (std::vector<std::string>{"B -> Bravo"})) << "a cancelled edit is not told to OnEdited";
  EXPECT_EQ(clicks, 0);
}

TEST_F(TreeEditTest, OnEditedMayChangeOrRefuseTheText) {
  Show();
  EditedHandler = [](std::string& S) { S += "!"; };
  StartEditing(B);
  Input.Type("Bee");
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(B->Text(), "Bee!");

  // A handler refuses by raising (Abort is silent): the old text stays, the editing is over.
  EditedHandler = [](std::string& S) {
    if (S.empty()) Abort();
  };
  StartEditing(B);
  Input.Key(VK_BACK);
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(B->Text(), "Bee!");
  EXPECT_EQ(Edited.back(), "Bee! -> ");
}

TEST_F(TreeEditTest, OnEditingRefusesAndTheBeginningHandlerMayGiveTheEditorItsText) {
  Show();
  Tree->OnEditing = [this](TObject*, TTreeNode* Node, bool& AllowEdit) {
    AllowEdit = Node != A;
    // What a descendant does for an item whose name for editing differs from its label.
    HWND edit = EditWindow();
    EXPECT_NE(edit, nullptr) << "the editor exists while the tree asks";
    if (edit && Node == B) SetWindowText(edit, "b.txt");
  };
  EXPECT_FALSE(A->EditText());
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_TRUE(B->EditText());
  EXPECT_EQ(Tree->EditControl()->Text(), "b.txt");
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(B->Text(), "b.txt");
  // A read-only tree edits nothing.
  Tree->SetReadOnly(true);
  EXPECT_FALSE(B->EditText());
}

TEST_F(TreeEditTest, ASlowSecondClickEditsAndLeavingTheTreeAccepts) {
  auto* other = Make<TEdit>(Form, "Other", Bounds(220, 10, 80, 24));
  Show();
  Input.Click(Tree->Handle(), LabelOf(B));
  Pump();
  ASSERT_EQ(Tree->Selected(), B);
  Input.Wait(GetDoubleClickTime() + 10);
  Input.Click(Tree->Handle(), LabelOf(B));
  App.RunFor(2 * GetDoubleClickTime() + 50);
  ASSERT_TRUE(Tree->IsEditing()) << "a click on the selected label edits once no double click follows";
  Input.Type("Be");
  Pump();
  other->SetFocus();
  Pump();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(B->Text(), "Be");
  EXPECT_EQ(GetFocus(), other->Handle()) << "the editor does not take the focus back";

  // A double click on the selected label expands instead of editing.
  Tree->SetFocus();
  Tree->SetSelected(A);
  Pump();
  Input.DoubleClick(Tree->Handle(), LabelOf(A));
  App.RunFor(GetDoubleClickTime() + 50);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_TRUE(A->Expanded());
}

TEST_F(TreeEditTest, ScrollingOrCollapsingEndsTheEditKeepingTheText) {
  A->Expand(false);
  Show();
  StartEditing(A2);
  Input.Type("Two");
  Pump();
  A->Collapse(false);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(A2->Text(), "Two");
  EXPECT_FALSE(IsWindowVisible(Tree->EditControl() ? Tree->EditControl()->Handle() : nullptr));

  for (int i = 0; i < 30; ++i) Tree->Items()->Add(nullptr, "Node " + std::to_string(i));
  Pump();
  StartEditing(B);
  Input.Type("Bx");
  Pump();
  SendMessage(Tree->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(B->Text(), "Bx");
  // Deleting the node being edited cancels.
  StartEditing(B);
  B->Delete();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Edited, (std::vector<std::string>{"A2 -> Two", "B -> Bx"}));
}

TEST_F(TreeEditTest, ATreeRebuiltOrFreedWhileEditingCancelsQuietly) {
  Show();
  StartEditing(B);
  Input.Type("Bx");
  Pump();
  Tree->SetBorderStyle(bsNone);  // a new window
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(B->Text(), "B");
  StartEditing(B);
  ASSERT_TRUE(Tree->IsEditing());
  Input.Type("By");
  Pump();
  delete Tree;
  Tree = nullptr;
  Pump();
  EXPECT_TRUE(Edited.empty());
}

TEST_F(TreeEditTest, TheEditorLiesOverTheLabelInTheTreesFontAndGrowsAsTyped) {
  Tree->Font()->SetSize(12);
  A->Expand(false);
  Show();
  StartEditing(A1);
  TCustomEdit* edit = Tree->EditControl();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->Font()->Size(), 12);
  const TRect label = A1->DisplayRect(true);
  EXPECT_EQ(edit->Left(), label.Left);
  EXPECT_GE(edit->Width(), label.Width());
  EXPECT_LE(edit->Top(), label.Top + 1);
  EXPECT_GE(edit->Top() + edit->Height(), label.Bottom - 1);
  const int before = edit->Width();
  Input.Type("A much longer name");
  Pump();
  EXPECT_GT(edit->Width(), before + 40);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-tree-view-editing", 24, 100));
  Input.Type(" that goes on and on past the right edge of the tree");
  Pump();
  EXPECT_EQ(edit->Left() + edit->Width(), Tree->ClientWidth()) << "no wider than the tree";
}

TEST_F(TreeViewTest, Snapshot) {
  auto* images = new TCustomImageList(Form, 16, 16);
  auto* bmp = new TBitmap;
  bmp->SetWidth(16);
  bmp->SetHeight(16);
  bmp->Canvas()->Brush()->SetColor(clYellow);
  bmp->Canvas()->FillRect({0, 0, 16, 16});
  bmp->Canvas()->Brush()->SetColor(clOlive);
  bmp->Canvas()->FillRect({1, 4, 15, 14});
  images->AddMasked(bmp, clFuchsia);
  delete bmp;
  Tree->SetImages(images);
  A->Expand(true);
  Show();
  Tree->SetSelected(A1a);
  Pump();
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-tree-view", 24, 100));
}

}  // namespace
