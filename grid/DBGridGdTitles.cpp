// Column titles beyond their look: the sort markers and the grid's sort order, the title's
// image, hint and orientation, and the header tree of multi-line titles with its word routines
// and heights.
#include <algorithm>

#include "grid/DBGridGd.h"
#include "platform/gdi/Text.h"
#include "platform/os/Painting.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace grid {
namespace {

const char* const SNodeNotInTree = "Node not in Tree";
const char* const SToNotInLevel = "ATo not in level";
// The height of a group cell above its leaves.
constexpr int GroupNodeHeight = 20;

bool IsDelimiter(unsigned char C, const std::string& Delims) {
  return C < 0x80 && Delims.find(static_cast<char>(C)) != std::string::npos;
}

}  // namespace
}  // namespace grid

const classes::TEnumInfo& EnumInfo(TSortMarkerGd) {
  static const classes::TEnumInfo info{"TSortMarkerGd", {"smNoneGd", "smDownGd", "smUpGd"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TTextOrientationGd) {
  static const classes::TEnumInfo info{"TTextOrientationGd", {"tohHorizontal", "tohVertical"}};
  return info;
}

// ---- image, orientation and tips ----

void TColumnTitleGd::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  if (TCustomDBGridGd* grid = FColumn->Grid()) grid->LayoutChanged();
}

TTextOrientationGd TColumnTitleGd::Orientation() const {
  return Assigned(cvTitleOrientation) ? FOrientation : tohHorizontal;
}

void TColumnTitleGd::SetOrientation(TTextOrientationGd Value) {
  if (FColumn->StoreFlagged(FOrientation, Value, cvTitleOrientation)) FColumn->ColumnChanged();
}

bool TColumnTitleGd::ToolTips() const {
  if (Assigned(cvTitleToolTips)) return FToolTips;
  TCustomDBGridGd* grid = FColumn->Grid();
  return grid && grid->ColumnDefValues()->Title()->ToolTips();
}

void TColumnTitleGd::SetToolTips(bool Value) { FColumn->StoreFlagged(FToolTips, Value, cvTitleToolTips); }

// ---- sort markers ----

void TColumnTitleGd::SetSortMarker(TSortMarkerGd Value) {
  if (Value == FSortMarker) return;
  FSortMarker = Value;
  TCustomDBGridGd* grid = FColumn->Grid();
  TDBGridColumnsGd* columns = grid ? grid->Columns() : nullptr;
  if (!columns || columns->UpdateCount() > 0) return;
  TColumnsGdList& sorted = grid->FSortMarkedColumns;
  if (grid->OptionsGd().Contains(dghMultiSortMarking)) {
    if (Value != smNoneGd && FSortIndex == 0) {
      int marked = 0;
      for (int i = 0; i < columns->Count(); ++i)
        if (columns->Items(i)->Title()->FSortIndex != 0) ++marked;
      FSortIndex = marked + 1;
      sorted.push_back(FColumn);
    } else if (Value == smNoneGd && FSortIndex != 0) {
      for (int i = 0; i < columns->Count(); ++i) {
        TColumnTitleGd* other = columns->Items(i)->Title();
        if (other->FSortIndex > FSortIndex) --other->FSortIndex;
      }
      std::erase(sorted, FColumn);
      FSortIndex = 0;
    }
  } else if (Value != smNoneGd) {
    for (int i = 0; i < columns->Count(); ++i) {
      TColumnGd* other = columns->Items(i);
      if (other != FColumn && other->Title()->SortMarker() != smNoneGd) other->Title()->SetSortMarker(smNoneGd);
    }
    FSortIndex = 1;
    sorted.assign(1, FColumn);
  } else {
    FSortIndex = 0;
    sorted.clear();
  }
  FColumn->ColumnChanged();
}

void TColumnTitleGd::SetSortIndex(int Value) {
  Value = std::max(Value, 0);
  if (Value == FSortIndex) return;
  TCustomDBGridGd* grid = FColumn->Grid();
  TDBGridColumnsGd* columns = grid ? grid->Columns() : nullptr;
  if (!columns || columns->UpdateCount() > 0) {
    FSortIndex = Value;
    return;
  }
  if (FSortMarker == smNoneGd) return;
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnGd* other = columns->Items(i);
    if (other == FColumn || other->Title()->FSortIndex != Value) continue;
    TColumnsGdList& sorted = grid->FSortMarkedColumns;
    auto own = std::find(sorted.begin(), sorted.end(), FColumn);
    auto theirs = std::find(sorted.begin(), sorted.end(), other);
    if (own != sorted.end() && theirs != sorted.end()) std::iter_swap(own, theirs);
    other->Title()->FSortIndex = FSortIndex;
    FSortIndex = Value;
    FColumn->ColumnChanged();
    return;
  }
}

void TColumnTitleGd::ToggleSortMarker(bool KeepOthers) {
  if (!KeepOthers)
    if (TCustomDBGridGd* grid = FColumn->Grid())
      for (int i = 0; i < grid->Columns()->Count(); ++i) {
        TColumnGd* other = grid->Columns()->Items(i);
        if (other != FColumn) other->Title()->SetSortMarker(smNoneGd);
      }
  switch (FSortMarker) {
    case smNoneGd: SetSortMarker(smDownGd); break;
    case smDownGd: SetSortMarker(smUpGd); break;
    case smUpGd: SetSortMarker(KeepOthers ? smNoneGd : smDownGd); break;
  }
}

int TColumnTitleGd::SortMarkerAreaWidth() const {
  if (FSortIndex == 0) return 0;
  int w = 16;
  TCustomDBGridGd* grid = FColumn->Grid();
  if (grid && grid->SortMarkedColumns().size() >= 2) {
    TCanvas* canvas = grid->Canvas();
    canvas->SetFont(grid::GridResources().SortMarkerFont.get());
    w += canvas->TextWidth(IntToStr(FSortIndex));
  }
  const int room = FColumn->Width() - 4;
  if (w <= room) return w;
  if (w - 14 <= room) return w - 14;
  return 0;
}

// ---- words ----

int WordStartPos(int N, const std::string& Text, const std::string& Delims) {
  size_t i = 0;
  int count = 0;
  while (i < Text.size() && count != N) {
    while (i < Text.size() && grid::IsDelimiter(static_cast<unsigned char>(Text[i]), Delims)) ++i;
    if (i >= Text.size()) break;
    if (++count == N) return static_cast<int>(i) + 1;
    while (i < Text.size() && !grid::IsDelimiter(static_cast<unsigned char>(Text[i]), Delims)) ++i;
  }
  return 0;
}

std::string WordAndPosAt(int N, const std::string& Text, const std::string& Delims, int& Pos) {
  Pos = WordStartPos(N, Text, Delims);
  if (Pos == 0) return {};
  size_t end = static_cast<size_t>(Pos) - 1;
  while (end < Text.size() && !grid::IsDelimiter(static_cast<unsigned char>(Text[end]), Delims)) ++end;
  return Text.substr(static_cast<size_t>(Pos) - 1, end - (static_cast<size_t>(Pos) - 1));
}

std::string WordAt(int N, const std::string& Text, const std::string& Delims) {
  int pos = 0;
  return WordAndPosAt(N, Text, Delims, pos);
}

// ---- the header tree ----

THeadTreeNode::THeadTreeNode(const std::string& AText, int AWidth, int AHeight)
    : Next(this), Text(AText), Height(AHeight), Width(AWidth) {}

THeadTreeNode::~THeadTreeNode() { FreeChildren(); }

void THeadTreeNode::FreeChildren() {
  THeadTreeNode* first = Child;
  Child = nullptr;
  if (!first) return;
  THeadTreeNode* node = first;
  do {
    THeadTreeNode* next = node->Next;
    delete node;
    node = next;
  } while (node != first);
}

bool THeadTreeNode::Contains(const THeadTreeNode* Node) const { return NodeLevel(Node) >= 0; }

int THeadTreeNode::NodeLevel(const THeadTreeNode* Node) const {
  int level = 0;
  for (const THeadTreeNode* n = Node; n; n = n->Host, ++level)
    if (n == this) return level;
  return -1;
}

THeadTreeNode* THeadTreeNode::AddSibling(THeadTreeNode* After, const std::string& AText, int AWidth, int AHeight) {
  if (!After || !Contains(After) || After == this) throw Exception(grid::SNodeNotInTree);
  auto* node = new THeadTreeNode(AText, AWidth, AHeight);
  node->Host = After->Host;
  node->Next = After->Next;
  After->Next = node;
  return node;
}

THeadTreeNode* THeadTreeNode::AddLastChild(THeadTreeNode* Parent, const std::string& AText, int AWidth,
                                           int AHeight) {
  if (!Parent || !Contains(Parent)) throw Exception(grid::SNodeNotInTree);
  if (!Parent->Child) {
    auto* node = new THeadTreeNode(AText, AWidth, AHeight);
    node->Host = Parent;
    Parent->Child = node;
    return node;
  }
  THeadTreeNode* last = Parent->Child;
  while (last->Next != Parent->Child) last = last->Next;
  return AddSibling(last, AText, AWidth, AHeight);
}

void THeadTreeNode::InsertGroupNode(THeadTreeNode* From, THeadTreeNode* To, int H, const std::string& AText) {
  if (!From || !Contains(From) || From == this) throw Exception(grid::SNodeNotInTree);
  THeadTreeNode* host = From->Host;
  for (THeadTreeNode* n = From; n != To; n = n->Next)
    if (n->Next == host->Child || n->Next == From) throw Exception(grid::SToNotInLevel);
  THeadTreeNode* before = From;
  while (before->Next != From) before = before->Next;
  auto* group = new THeadTreeNode(AText, 0, H);
  group->Host = host;
  group->WIndent = To->WIndent;
  const bool wholeRing = To->Next == From;
  group->Next = wholeRing ? group : To->Next;
  if (!wholeRing) before->Next = group;
  if (host->Child == From || wholeRing) host->Child = group;
  group->Child = From;
  int sum = 0;
  for (THeadTreeNode* n = From;; n = n->Next) {
    n->Height -= H;
    n->Host = group;
    sum += n->Width + n->WIndent;
    if (n == To) break;
  }
  To->Next = From;
  group->Width = group->WIndent >= 1 ? sum - group->WIndent : sum;
}

void THeadTreeNode::ForEachNode(const std::function<void(THeadTreeNode*)>& Proc) {
  if (!Child) return;
  THeadTreeNode* node = Child;
  do {
    THeadTreeNode* next = node->Next;
    Proc(node);
    node->ForEachNode(Proc);
    node = next;
  } while (node != Child);
}

void BuildTitleTree(THeadTreeNode* Root, TCustomDBGridGd* Grid, std::vector<THeadTreeNode*>& Leaves) {
  const std::string delims = "|";
  Root->FreeChildren();
  Leaves.clear();
  const bool colLines = Grid->Options().Contains(dgColLines);
  TDBGridColumnsGd* columns = Grid->Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnGd* column = columns->Items(i);
    const int width = column->Visible() ? column->Width() : (colLines ? -1 : 0);
    THeadTreeNode* leaf = Root->AddLastChild(Root, column->Title()->Caption(), width, Grid->RowHeights(0));
    leaf->Column = column;
    leaf->MarkerIndent = column->Title()->SortMarker() != smNoneGd ? 16 : 0;
    leaf->WIndent = colLines ? 1 : 0;
    Leaves.push_back(leaf);
  }
  // A run is the adjacent leaves of one ring whose texts start with the same word: the word
  // becomes their group and leaves their texts. Runs are taken within one parent, so the
  // first and last leaf always stand on the same level and no caption loses words unless
  // its group is made.
  bool changed = true;
  while (changed) {
    changed = false;
    for (size_t i = 0; i < Leaves.size() && !changed; ++i) {
      int second = WordStartPos(2, Leaves[i]->Text, delims);
      if (second == 0) continue;
      int firstPos = 0;
      const std::string word = WordAndPosAt(1, Leaves[i]->Text, delims, firstPos);
      size_t last = i;
      while (last + 1 < Leaves.size() && Leaves[last + 1]->Host == Leaves[i]->Host &&
             WordAt(1, Leaves[last + 1]->Text, delims) == word && WordStartPos(2, Leaves[last + 1]->Text, delims) != 0)
        ++last;
      if (Root->NodeLevel(Leaves[i]) != Root->NodeLevel(Leaves[last])) continue;
      for (size_t j = i; j <= last; ++j) {
        THeadTreeNode* leaf = Leaves[j];
        leaf->Text.erase(0, static_cast<size_t>(WordStartPos(2, leaf->Text, delims)) - 1);
      }
      Root->InsertGroupNode(Leaves[i], Leaves[last], grid::GroupNodeHeight, word);
      changed = true;
    }
  }
}

// ---- the grid's side ----

void TCustomDBGridGd::SetVTitleMargin(int Value) {
  FVTitleMargin = Value;
  LayoutChanged();
}

void TCustomDBGridGd::SetUseMultiTitle(bool Value) {
  FUseMultiTitle = Value;
  LayoutChanged();
}

THeadTreeNode* TCustomDBGridGd::LeafOfColumn(int Index) const {
  return Index >= 0 && Index < static_cast<int>(FLeaves.size()) ? FLeaves[Index] : nullptr;
}

void TCustomDBGridGd::BuildHeadTree() {
  if (!FUseMultiTitle) {
    FHeadTree.reset();
    FLeaves.clear();
    return;
  }
  if (!FHeadTree) FHeadTree = std::make_unique<THeadTreeNode>();
  BuildTitleTree(FHeadTree.get(), this, FLeaves);
}

void TCustomDBGridGd::MeasureTitleHeights() {
  if (!FHeadTree || !FOptions.Contains(dgTitles)) return;
  TCanvas* canvas = Canvas();
  // The height of the levels below Node, and each child's own cell height.
  std::function<int(THeadTreeNode*)> measure = [&](THeadTreeNode* Node) -> int {
    if (!Node->Child) return 0;
    int height = 0;
    std::vector<std::pair<THeadTreeNode*, int>> below;
    THeadTreeNode* child = Node->Child;
    do {
      const int sub = measure(child);
      canvas->SetFont(child->Column ? child->Column->Title()->Font() : FTitleFont.get());
      int own = 0;
      if (child->Width > 0) {
        TRect r{0, 0, std::max(1, child->Width - child->MarkerIndent - 4), 0};
        const std::string text = child->Text.empty() ? std::string(" ") : child->Text;
        canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
        DrawText(canvas->Handle(), text, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        own = r.Height() + FVTitleMargin;
      }
      height = std::max(height, sub + own);
      below.emplace_back(child, sub);
      child = child->Next;
    } while (child != Node->Child);
    for (auto& [node, sub] : below) node->Height = node->IsLeaf() ? height : height - sub;
    return height;
  };
  FHeadTree->Height = measure(FHeadTree.get());
  if (FHeadTree->Height > 0) SetRowHeights(0, FHeadTree->Height);
}
