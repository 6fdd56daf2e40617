#include "platform/controls/TreeView.h"

#include <algorithm>
#include <functional>

#include "platform/rtl/Strings.h"

namespace {

void PostOrder(TTreeNode* Node, const std::function<void(TTreeNode*)>& F) {
  for (int i = Node->Count() - 1; i >= 0; --i) PostOrder(Node->Item(i), F);
  F(Node);
}

}  // namespace

// ---- TTreeNode ----

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

void TTreeNode::Changed() { TreeView()->NodeChanged(this); }

void TTreeNode::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  FTextWidth = -1;
  TreeView()->SortNew(this);
  Changed();
}

void TTreeNode::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed();
}
void TTreeNode::SetSelectedIndex(int Value) {
  if (FSelectedIndex == Value) return;
  FSelectedIndex = Value;
  Changed();
}
void TTreeNode::SetStateIndex(int Value) {
  if (FStateIndex == Value) return;
  FStateIndex = Value;
  Changed();
}
void TTreeNode::SetOverlayIndex(int Value) {
  if (FOverlayIndex == Value) return;
  FOverlayIndex = Value;
  Changed();
}

void TTreeNode::SetHasChildren(bool Value) {
  if (FHasChildren == Value) return;
  FHasChildren = Value;
  Changed();
}

void TTreeNode::SetExpanded(bool Value) { TreeView()->ExpandNode(this, Value); }

void TTreeNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Item(i)->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Item(i)->Collapse(true);
  SetExpanded(false);
}

TTreeNode* TTreeNode::Parent() const { return FParent == FOwner->Root() ? nullptr : FParent; }

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = Parent(); p; p = p->Parent()) ++level;
  return level;
}

int TTreeNode::Index() const {
  if (!FParent) return -1;
  const auto& list = FParent->FChildren;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (TTreeNode* n = FOwner->GetFirstNode(); n; n = n->GetNext(), ++index)
    if (n == this) return index;
  return -1;
}

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FChildren[static_cast<size_t>(Index)].get();
}

bool TTreeNode::HasAsParent(TTreeNode* Value) const {
  if (!Value) return false;
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (p == Value) return true;
  return false;
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (!p->FExpanded) return false;
  return true;
}

TTreeNode* TTreeNode::getNextSibling() const {
  if (!FParent) return nullptr;
  const int i = Index();
  return i + 1 < FParent->Count() ? FParent->FChildren[static_cast<size_t>(i + 1)].get() : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  if (!FParent) return nullptr;
  const int i = Index();
  return i > 0 ? FParent->FChildren[static_cast<size_t>(i - 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (TTreeNode* c = GetFirstChild()) return c;
  for (const TTreeNode* n = this; n; n = n->Parent())
    if (TTreeNode* s = n->getNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* s = getPrevSibling();
  if (!s) return Parent();
  while (TTreeNode* last = s->GetLastChild()) s = last;
  return s;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (!IsVisible()) return nullptr;
  if (FExpanded && GetFirstChild()) return GetFirstChild();
  for (const TTreeNode* n = this; n; n = n->Parent())
    if (TTreeNode* s = n->getNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  if (!IsVisible()) return nullptr;
  TTreeNode* s = getPrevSibling();
  if (!s) return Parent();
  while (s->FExpanded && s->GetLastChild()) s = s->GetLastChild();
  return s;
}

void TTreeNode::SortChildren(const std::function<int(TTreeNode*, TTreeNode*)>& Compare, bool Recurse) {
  std::stable_sort(FChildren.begin(), FChildren.end(),
                   [&](const std::unique_ptr<TTreeNode>& a, const std::unique_ptr<TTreeNode>& b) {
                     return Compare(a.get(), b.get()) < 0;
                   });
  if (Recurse)
    for (auto& c : FChildren) c->SortChildren(Compare, true);
}

bool TTreeNode::AlphaSort(bool Recurse) { return CustomSort(nullptr, 0, Recurse); }

bool TTreeNode::CustomSort(const TTVCompare& SortProc, LPARAM Data, bool Recurse) {
  TCustomTreeView* tree = TreeView();
  if (SortProc) SortChildren([&](TTreeNode* a, TTreeNode* b) { return SortProc(a, b, Data); }, Recurse);
  else SortChildren([&](TTreeNode* a, TTreeNode* b) { return tree->CompareForSort(a, b); }, Recurse);
  tree->NodesSorted(this);
  return true;
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  if (Destination == this || (Destination && Destination->HasAsParent(this))) return;
  TTreeNode* newParent;
  int index;
  TTreeNode* root = FOwner->Root();
  switch (Mode) {
    case naAdd:
      newParent = Destination ? Destination->FParent : root;
      index = -1;
      break;
    case naAddFirst:
      newParent = Destination ? Destination->FParent : root;
      index = 0;
      break;
    case naAddChild:
      newParent = Destination ? Destination : root;
      index = -1;
      break;
    case naAddChildFirst:
      newParent = Destination ? Destination : root;
      index = 0;
      break;
    default:
      newParent = Destination ? Destination->FParent : root;
      index = Destination ? Destination->Index() : -1;
      break;
  }
  auto& from = FParent->FChildren;
  auto it = std::find_if(from.begin(), from.end(), [this](const auto& p) { return p.get() == this; });
  std::unique_ptr<TTreeNode> self = std::move(*it);
  from.erase(it);
  if (FParent != root && FParent->FChildren.empty()) FParent->FExpanded = false;
  auto& to = newParent->FChildren;
  if (Mode == naInsert && Destination) index = Destination->Index();
  if (index < 0 || index > static_cast<int>(to.size())) index = static_cast<int>(to.size());
  to.insert(to.begin() + index, std::move(self));
  FParent = newParent;
  TreeView()->Invalidated();
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
  TCustomTreeView* tree = TreeView();
  FOwner->BeginUpdate();
  while (!FChildren.empty()) FOwner->Remove(FChildren.back().get());
  FExpanded = false;
  FHasChildren = false;
  FOwner->EndUpdate();
  tree->Invalidated();
}

void TTreeNode::MakeVisible() {
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (!p->FExpanded) p->SetExpanded(true);
  TreeView()->EnsureVisible(this);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView* tree = TreeView();
  const int row = tree->RowOf(this);
  if (row < 0) return {};
  auto l = tree->Layout(const_cast<TTreeNode*>(this), row);
  return TextOnly ? l.Label : l.Row;
}

bool TTreeNode::EditText() {
  TCustomTreeView* tree = TreeView();
  tree->BeginEdit(this);
  return tree->FEditNode == this;
}

void TTreeNode::EndEdit(bool Cancel) {
  TCustomTreeView* tree = TreeView();
  if (tree->FEditNode == this) tree->FinishEdit(Cancel);
}

void TTreeNode::SetFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  Changed();
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
  TCustomTreeView* tree = TreeView();
  if (Value) tree->SetSelected(this);
  else if (tree->Selected() == this) tree->SetSelected(nullptr);
}

bool TTreeNode::DropTarget() const { return TreeView()->DropTarget() == this; }

void TTreeNode::SetDropTarget(bool Value) {
  TCustomTreeView* tree = TreeView();
  if (Value) tree->SetDropTarget(this);
  else if (tree->DropTarget() == this) tree->SetDropTarget(nullptr);
}

void TTreeNode::SetCut(bool Value) {
  if (FCut == Value) return;
  FCut = Value;
  Changed();
}

void TTreeNode::Assign(TPersistent* Source) {
  auto* n = dynamic_cast<TTreeNode*>(Source);
  if (!n) {
    TPersistent::Assign(Source);
    return;
  }
  SetText(n->FText);
  FData = n->FData;
  FImageIndex = n->FImageIndex;
  FSelectedIndex = n->FSelectedIndex;
  FStateIndex = n->FStateIndex;
  FOverlayIndex = n->FOverlayIndex;
  FHasChildren = n->FHasChildren;
  FCut = n->FCut;
  Changed();
}

// ---- TTreeNodes ----

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner), FRoot(std::make_unique<TTreeNode>(this)) {}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoot->GetFirstChild(); }

TTreeNode* TTreeNodes::Item(int Index) const {
  if (Index < 0 || Index >= FCount) throw EListError(Format("List index out of bounds (%d)", {Index}));
  TTreeNode* n = GetFirstNode();
  for (int i = 0; i < Index && n; ++i) n = n->GetNext();
  return n;
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Index, const std::string& S, void* Ptr) {
  auto node = std::make_unique<TTreeNode>(this);
  TTreeNode* n = node.get();
  n->FText = S;
  n->FData = Ptr;
  n->FParent = Parent;
  auto& list = Parent->FChildren;
  if (Index < 0 || Index > static_cast<int>(list.size())) Index = static_cast<int>(list.size());
  list.insert(list.begin() + Index, std::move(node));
  ++FCount;
  FOwner->SortNew(n);
  FOwner->Invalidated();
  return n;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  return InternalAdd(Sibling ? Sibling->FParent : Root(), -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  return InternalAdd(Sibling ? Sibling->FParent : Root(), 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
  return InternalAdd(Parent ? Parent : Root(), -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
  return InternalAdd(Parent ? Parent : Root(), 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
  if (!Sibling) return InternalAdd(Root(), -1, S, Ptr);
  return InternalAdd(Sibling->FParent, Sibling->Index(), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node->FDeleting) return;
  FOwner->Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->ItemId()));
}

void TTreeNodes::Remove(TTreeNode* Node) {
  // The tree hears about every node going away before any is freed, children first.
  PostOrder(Node, [this](TTreeNode* n) {
    n->FDeleting = true;
    FOwner->NodeRemoving(n);
  });
  PostOrder(Node, [this](TTreeNode*) { --FCount; });
  TTreeNode* parent = Node->FParent;
  auto& list = parent->FChildren;
  auto it = std::find_if(list.begin(), list.end(), [Node](const auto& p) { return p.get() == Node; });
  if (it != list.end()) list.erase(it);
  if (parent != Root() && parent->FChildren.empty()) {
    parent->FExpanded = false;
    parent->FHasChildren = false;
  }
  FOwner->Invalidated();
}

void TTreeNodes::Clear() { FOwner->Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

void TTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) {
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
    FOwner->EndUpdateNodes();
  }
}

bool TTreeNodes::AlphaSort(bool Recurse) { return FRoot->AlphaSort(Recurse); }

bool TTreeNodes::CustomSort(const TTVCompare& SortProc, LPARAM Data, bool Recurse) {
  return FRoot->CustomSort(SortProc, Data, Recurse);
}

void TTreeNodes::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TTreeNodes*>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  Clear();
  std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* from, TTreeNode* parent) {
    for (int i = 0; i < from->Count(); ++i) {
      TTreeNode* src = from->Item(i);
      TTreeNode* n = AddChildObject(parent, src->Text(), src->Data());
      n->Assign(src);
      copy(src, n);
    }
  };
  copy(other->Root(), nullptr);
  EndUpdate();
}
