// TCustomTreeView and TCustomListView as the framed views and the shell controls derive from
// them, sending the messages those send and taking the notifications they take: the tree's row
// height (TVM_SETITEMHEIGHT, -1 for the default), clearing every node (TVM_DELETEITEM with
// TVI_ROOT) under a lock of the descendant's, images asked for through TVN_GETDISPINFO; the
// list's colours (LVM_SETBKCOLOR, LVM_SETTEXTBKCOLOR), header sections the list draws itself
// (HDF_OWNERDRAW and WM_DRAWITEM) and a header window procedure of its own.
#include <string>
#include <vector>

#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Painting.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

constexpr COLORREF kSection = RGB(0, 160, 0);
constexpr COLORREF kSorted = RGB(255, 0, 0);

// ---- the tree ----

class TShellLikeTree : public TCustomTreeView {
 public:
  explicit TShellLikeTree(TComponent* AOwner) : TCustomTreeView(AOwner) {}
  int ItemHeight = 0;  // 0: the control's default
  int ChangeLock = 0;
  std::vector<std::string> Log;

  void UpdateItemHeight() {
    if (HandleAllocated()) SendMessage(Handle(), TVM_SETITEMHEIGHT, ItemHeight > 0 ? ItemHeight : -1, 0);
  }

 protected:
  void CreateWnd() override {
    TCustomTreeView::CreateWnd();
    UpdateItemHeight();
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == TVM_DELETEITEM && reinterpret_cast<HTREEITEM>(Message.LParam) == TVI_ROOT) {
      ++ChangeLock;
      TCustomTreeView::WndProc(Message);
      --ChangeLock;
      return;
    }
    TCustomTreeView::WndProc(Message);
  }
  void Change(TTreeNode* Node) override {
    if (ChangeLock == 0) Log.push_back("change " + (Node ? Node->Text() : std::string("none")));
    TCustomTreeView::Change(Node);
  }
  void Delete(TTreeNode* Node) override {
    Log.push_back("delete " + Node->Text() + (ChangeLock ? " locked" : ""));
    TCustomTreeView::Delete(Node);
  }
  // The icon of a node is found on demand, the first time it is drawn.
  void GetImageIndex(TTreeNode* Node) override {
    if (Node->ImageIndex() == 0) Node->SetImageIndex(static_cast<int>(Node->Text().size()));
    TCustomTreeView::GetImageIndex(Node);
  }
  // Each request fires the event once: the base's handling runs without it.
  void CNNotify(TMessage& Message) override {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (!hdr || hdr->code != TVN_GETDISPINFO) {
      TCustomTreeView::CNNotify(Message);
      return;
    }
    auto* info = reinterpret_cast<NMTVDISPINFO*>(hdr);
    TTreeNode* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
    ASSERT_NE(node, nullptr) << "the notification names its node";
    if (info->item.mask & TVIF_IMAGE) {
      GetImageIndex(node);
      Images.push_back(node->Text() + " " + std::to_string(node->ImageIndex()));
    }
    const TTVExpandedEvent saved = OnGetImageIndex;
    OnGetImageIndex = nullptr;
    TCustomTreeView::CNNotify(Message);
    OnGetImageIndex = saved;
  }

 public:
  std::vector<std::string> Images;
};

class TreeViewAsBaseTest : public ControlTest {
 protected:
  TreeViewAsBaseTest() {
    Tree = Make<TShellLikeTree>(Form, "Tree", Bounds(10, 10, 200, 150));
    Tree->SetImages(new TCustomImageList(Form, 16, 16));
    TTreeNode* desktop = Tree->Items()->AddChild(nullptr, "Desktop");
    Tree->Items()->AddChild(desktop, "Home");
    Tree->Items()->AddChild(desktop, "Computer");
    desktop->Expand(false);
  }
  TShellLikeTree* Tree;
};

TEST_F(TreeViewAsBaseTest, TheRowHeightComesFromTheDescendantAndMinusOneGivesTheDefault) {
  Tree->ItemHeight = 30;
  ShowForm();
  TTreeNode* first = Tree->Items()->GetFirstNode();
  EXPECT_EQ(first->DisplayRect(false).Height(), 30);
  const int standard = static_cast<int>(SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0));
  Tree->ItemHeight = 0;
  Tree->UpdateItemHeight();
  EXPECT_LT(first->DisplayRect(false).Height(), 30);
  EXPECT_LT(SendMessage(Tree->Handle(), TVM_GETITEMHEIGHT, 0, 0), standard);
}

TEST_F(TreeViewAsBaseTest, ImagesAreAskedForOncePerNodeDrawnWithTheNodeInTheNotification) {
  int events = 0;
  Tree->OnGetImageIndex = [&](TObject*, TTreeNode*) { ++events; };
  ShowForm();
  Tree->Images.clear();
  events = 0;
  Tree->Invalidate();
  Pump();
  EXPECT_EQ(Tree->Images, (std::vector<std::string>{"Desktop 7", "Home 4", "Computer 8"}));
  EXPECT_EQ(events, 3) << "once a node, not once by the descendant and again by the base";
}

TEST_F(TreeViewAsBaseTest, ClearingSendsOneDeleteOfTheRootThatTheDescendantCanLock) {
  ShowForm();
  Tree->SetSelected(Tree->Items()->Item(1));
  Tree->Log.clear();
  Tree->Items()->Clear();
  EXPECT_EQ(Tree->Items()->Count(), 0);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"delete Computer locked", "delete Home locked",
                                                  "delete Desktop locked"}))
      << "children first, and no selection change reported while the lock is held";
}

// ---- the list ----

class TSortArrowList : public TCustomListView {
 public:
  explicit TSortArrowList(TComponent* AOwner) : TCustomListView(AOwner) {
    FHeaderInstance = MakeObjectInstance([this](TMessage& M) { HeaderWndProc(M); });
  }
  ~TSortArrowList() override {
    if (FHookedHeader && IsWindow(FHookedHeader)) SetWindowProc(FHookedHeader, FOldHeaderProc);
    FreeObjectInstance(FHeaderInstance);
  }
  int SortedColumn = 0;
  int HotSection = -1;
  std::vector<int> DrawnSections;
  LRESULT ColourAnswers = 0;

 protected:
  void CreateWnd() override {
    TCustomListView::CreateWnd();
    const COLORREF rgb = ColorToRGB(Color());
    ColourAnswers = SendMessage(Handle(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(rgb)) +
                    SendMessage(Handle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(rgb));
    OwnerDrawSections();
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE) {
      TCustomListView::WndProc(Message);
      HookHeader();
      return;
    }
    if (Message.Msg == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (dis->CtlType == ODT_HEADER) {
        DrawnSections.push_back(static_cast<int>(dis->itemID));
        HBRUSH brush = CreateSolidBrush(static_cast<int>(dis->itemID) == SortedColumn ? kSorted : kSection);
        FillRect(dis->hDC, &dis->rcItem, brush);
        DeleteObject(brush);
        Message.Result = 1;
        return;
      }
    }
    TCustomListView::WndProc(Message);
  }

 private:
  void OwnerDrawSections() {
    HWND header = reinterpret_cast<HWND>(SendMessage(Handle(), LVM_GETHEADER, 0, 0));
    if (!header) return;
    for (int i = Columns()->Count() - 1; i >= 0; --i) {
      HDITEM item;
      item.mask = HDI_FORMAT;
      SendMessage(header, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      item.fmt = (item.fmt & HDF_JUSTIFYMASK) | HDF_OWNERDRAW;
      SendMessage(header, HDM_SETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    InvalidateRect(header, nullptr, TRUE);
  }
  void HookHeader() {
    HWND header = reinterpret_cast<HWND>(SendMessage(Handle(), LVM_GETHEADER, 0, 0));
    if (!header || header == FHookedHeader) return;
    FHookedHeader = header;
    FOldHeaderProc = WndProcFromLong(SetWindowLongPtr(header, GWLP_WNDPROC, WndProcToLong(FHeaderInstance)));
  }
  void HeaderWndProc(TMessage& M) {
    if (M.Msg == WM_MOUSEMOVE) {
      HDHITTESTINFO hit;
      hit.pt = LParamToPoint(M.LParam);
      HotSection = static_cast<int>(SendMessage(FHookedHeader, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    M.Result = CallWindowProc(FOldHeaderProc, FHookedHeader, M.Msg, M.WParam, M.LParam);
  }

  WNDPROC FHeaderInstance;
  WNDPROC FOldHeaderProc;
  HWND FHookedHeader = nullptr;
};

class ListViewAsBaseTest : public ControlTest {
 protected:
  ListViewAsBaseTest() {
    List = Make<TSortArrowList>(Form, "List", Bounds(10, 10, 260, 150));
    List->SetViewStyle(vsReport);
    for (const char* caption : {"Name", "Size", "Type"}) {
      TListColumn* c = List->Columns()->Add();
      c->SetCaption(caption);
      c->SetWidth(80);
    }
    List->Items()->Add()->SetCaption("song.mp3");
    ShowForm();
  }
  // A pixel of a header section, in the form's coordinates.
  COLORREF SectionPixel(int Column) {
    TRect r;
    SendMessage(List->HeaderHandle(), HDM_GETITEMRECT, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&r));
    TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    MapWindowPoints(List->HeaderHandle(), Form->Handle(), &p, 1);
    return Pixel(p.X, p.Y);
  }
  TSortArrowList* List;
};

TEST_F(ListViewAsBaseTest, TheColourMessagesAreAnswered) { EXPECT_EQ(List->ColourAnswers, 2); }

TEST_F(ListViewAsBaseTest, TheListDrawsTheHeaderSectionsItMadeOwnerDrawn) {
  EXPECT_EQ(SectionPixel(0), kSorted);
  EXPECT_EQ(SectionPixel(1), kSection);
  EXPECT_EQ(SectionPixel(2), kSection);
  List->SortedColumn = 2;
  InvalidateRect(List->HeaderHandle(), nullptr, TRUE);
  Pump();
  EXPECT_EQ(SectionPixel(0), kSection);
  EXPECT_EQ(SectionPixel(2), kSorted);
}

TEST_F(ListViewAsBaseTest, ItsOwnHeaderProcedureSeesThePointerOverTheSections) {
  TRect r;
  SendMessage(List->HeaderHandle(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  Input.MoveTo(List->HeaderHandle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  Pump();
  EXPECT_EQ(List->HotSection, 1);
  // The header still does its own work under the hook: a click on a section is a column click.
  TListColumn* clicked = nullptr;
  List->OnColumnClick = [&](TObject*, TListColumn* Column) { clicked = Column; };
  Input.Click(List->HeaderHandle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  Pump();
  EXPECT_EQ(clicked, List->Column(1));
}

}  // namespace
