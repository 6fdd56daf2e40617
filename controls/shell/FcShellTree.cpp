// The shell tree.
#include <algorithm>

#include "controls/shell/FcShellCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/os/Input.h"
#include "platform/os/MenuTracking.h"
#include "platform/os/SystemMetrics.h"
#include "platform/rtl/Strings.h"

namespace {

// The hourglass while long shell work runs; the cursor before comes back on leaving.

// Raises a counter for a scope.
class TLock {
 public:
  explicit TLock(int& Counter) : FCounter(Counter) { ++FCounter; }
  ~TLock() { --FCounter; }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

 private:
  int& FCounter;
};

constexpr SFGAOF kTreeAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR |
                                   SFGAO_REMOVABLE | SFGAO_GHOSTED | SFGAO_SHARE | SFGAO_LINK | SFGAO_STREAM;

}  // namespace

const classes::TEnumInfo& EnumInfo(TFcShellTreeOption) {
  static const classes::TEnumInfo info{
      "TFcShellTreeOption",
      {"stoAutoFill", "stoVirtualFolders", "stoDesignInteractive", "stoDefaultKeyHandling", "stoContextMenus",
       "stoDynamicRefresh", "stoIncludeNonFolders", "stoOleDrag", "stoOleDrop", "stoShowHidden"}};
  return info;
}

TFcCustomShellTree::TFcCustomShellTree(TComponent* AOwner)
    : TFcCustomTreeView(AOwner),
      FBaseFolder(std::make_unique<TFcShellLocator>()),
      FSelectedLocation(std::make_unique<TFcShellLocator>()),
      FTimer(std::make_unique<TTimer>(nullptr)),
      FImages(std::make_unique<TCustomImageList>(nullptr, 16, 16)) {
  SetShowRoot(false);
  FImages->SetShareImages(true);
  FImages->SetHandle(ShellGetSystemImageList(0));
  SetImages(FImages.get());
  SetBounds(Left(), Top(), 150, 150);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = [this](TObject* Sender) { TimerTick(Sender); };
  FBaseFolder->OnLocationChange = [this](TObject* Sender) { BaseFolderChanged(Sender); };
  FSelectedLocation->OnLocationChange = [this](TObject* Sender) { SelectedLocationChanged(Sender); };
  GetDeviceChangeHandler()->Register(this, [this](TObject*, TMessage& M) { HandleDeviceChange(M.WParam); });
}

TFcCustomShellTree::~TFcCustomShellTree() {
  // The base frees the nodes after this part is gone: their data goes now.
  for (TTreeNode* node = Items()->GetFirstNode(); node; node = node->GetNext()) {
    delete NodeData(node);
    node->SetData(nullptr);
  }
  GetDeviceChangeHandler()->Unregister(this);
  FTimer->OnTimer = nullptr;
  FWatcher.reset();
  FBaseFolder->OnLocationChange = nullptr;
  FSelectedLocation->OnLocationChange = nullptr;
  SetImages(nullptr);
}

TFcShellTreeData* TFcCustomShellTree::NodeData(TTreeNode* Node) const {
  return Node ? dynamic_cast<TFcShellTreeData*>(static_cast<TObject*>(Node->Data())) : nullptr;
}

// ---- properties ----

void TFcCustomShellTree::SetBaseFolder(TFcShellLocator* Value) {
  if (HasState(csLoading)) return;
  FBaseFolder->Assign(Value);
}

void TFcCustomShellTree::SetSelectedLocation(TFcShellLocator* Value) {
  if (HasState(csLoading) || FChangeLock > 0) {
    if (FShellList) FShellList->Folder()->Assign(FSelectedLocation.get());
    return;
  }
  FSelectedLocation->Assign(Value);
}

void TFcCustomShellTree::SetOptions(TFcShellTreeOptions Value) {
  const TFcShellTreeOptions old = FOptions;
  FOptions = Value;
  if (!HandleAllocated()) return;
  if (old.Contains(stoOleDrop) != Value.Contains(stoOleDrop)) RegisterDropTarget(Value.Contains(stoOleDrop));
  if (old.Contains(stoOleDrag) != Value.Contains(stoOleDrag))
    SetWindowStyleBits(Handle(), TVS_DISABLEDRAGDROP, !Value.Contains(stoOleDrag) && DragMode() != dmAutomatic);
  if (old.Contains(stoDynamicRefresh) != Value.Contains(stoDynamicRefresh) && !HasState(csDesigning)) {
    if (Value.Contains(stoDynamicRefresh)) StartWatching();
    else RemoveWatches();
  }
}

void TFcCustomShellTree::SetShellList(TFcCustomShellList* Value) {
  if (FShellList == Value) return;
  if (FShellList) FShellList->SetLinkedTree(nullptr);
  FShellList = Value;
  if (!Value) return;
  Value->SetLinkedTree(this);
  Value->FreeNotification(this);
  Value->Folder()->Assign(FSelectedLocation.get());
}

void TFcCustomShellTree::SetLinkedCombo(TFcCustomShellCombo* Value) {
  FLinkedCombo = Value;
  if (Value) Value->FreeNotification(this);
}

void TFcCustomShellTree::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FShellList) FShellList = nullptr;
  if (AComponent == FLinkedCombo) FLinkedCombo = nullptr;
}

std::string TFcCustomShellTree::SelectedPathName() {
  TFcShellTreeData* data = NodeData(Selected());
  return data ? data->PathName() : std::string();
}

DWORD TFcCustomShellTree::EnumFlags() const {
  DWORD flags = SHCONTF_FOLDERS;
  if (FOptions.Contains(stoShowHidden)) flags |= SHCONTF_INCLUDEHIDDEN;
  if (FOptions.Contains(stoIncludeNonFolders)) flags |= SHCONTF_NONFOLDERS;
  return flags;
}

// ---- filling ----

void TFcCustomShellTree::DoFillStart() {
  if (OnFillStart) OnFillStart(this);
}
void TFcCustomShellTree::DoFillComplete() {
  if (OnFillComplete) OnFillComplete(this);
}
void TFcCustomShellTree::DoInsertItem(TTreeNode* Node) {
  FLastInsertedNode = Node;
  if (OnInsertItem) OnInsertItem(this, Node);
}

void TFcCustomShellTree::FillTree() {
  if (FPostponeRefresh || IsEditing()) {
    FRefreshPending = true;
    return;
  }
  TFcHourglass hourglass;
  {
    TLock lock(FChangeLock);
    SetSelected(nullptr);
    Items()->Clear();
  }
  FFilledNodes.clear();
  std::shared_ptr<IShellFolder> root;
  const HRESULT r = FBaseFolder->IsEmpty() ? ShellGetDesktopFolder(root) : ShellGetFolder(FBaseFolder->GetIdList(), root);
  if (FAILED(r) || !root) OleCheck(FAILED(r) ? r : E_FAIL);
  FillNode(root, nullptr);
  if (LPCITEMIDLIST selected = FSelectedLocation->GetIdList()) SelectIdList(selected);
  else if (TTreeNode* first = Items()->GetFirstNode()) SetSelected(first);
  SyncPendingSelection(false);
  if (FOptions.Contains(stoDynamicRefresh) && !HasState(csDesigning)) StartWatching();
}

void TFcCustomShellTree::FillNode(std::shared_ptr<IShellFolder> Folder, TTreeNode* Node) {
  DoFillStart();
  shell::TIdListPtr abs;
  TTreeNode* parent = Node;
  if (Node) {
    abs.reset(ILClone(NodeData(Node)->AbsIdList()));
  } else {
    abs.reset(FBaseFolder->IsEmpty() ? shell::ILCreateEmpty() : ILClone(FBaseFolder->GetIdList()));
    std::shared_ptr<IShellFolder> desktop;
    ShellGetDesktopFolder(desktop);
    std::string name = shell::ILIsEmpty(abs.get()) ? ShellGetDisplayName(desktop.get(), abs.get(), 0)
                                                   : ShellGetItemName(abs.get());
    parent = Items()->AddChild(nullptr, name);
    parent->SetImageIndex(ShellGetIconIndex(abs.get(), SHGFI_SMALLICON));
    parent->SetSelectedIndex(ShellGetIconIndex(abs.get(), SHGFI_SMALLICON | SHGFI_OPENICON));
    auto* data = new TFcShellTreeData(this);
    data->Prepare(nullptr, abs.get());
    data->SetFolder(Folder);
    parent->SetData(data);
    DoInsertItem(parent);
  }
  struct TFillEnd {
    TFcCustomShellTree* Tree;
    ~TFillEnd() { Tree->DoFillComplete(); }
  } fillEnd{this};
  if (std::find(FFilledNodes.begin(), FFilledNodes.end(), parent) == FFilledNodes.end()) FFilledNodes.push_back(parent);
  std::shared_ptr<IEnumIDList> items;
  if (FAILED(Folder->EnumObjects(GetTopFormHandle(this), EnumFlags(), items)) || !items) {
    parent->SetHasChildren(true);
    return;
  }
  Items()->BeginUpdate();
  try {
    LPITEMIDLIST item = nullptr;
    HRESULT r;
    while ((r = items->Next(1, &item, nullptr)) == S_OK) {
      shell::TIdListPtr owned(item);
      const HRESULT added = AddShellNode(Folder.get(), abs.get(), owned.get(), parent);
      if (FAILED(added)) OleCheck(added);
    }
    if (parent->Count() == 0) parent->SetHasChildren(false);
    if (r != S_FALSE && r != E_FAIL) OleCheck(r);
    SortChildren(parent);
    if (!Node) parent->Expand(false);
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

bool TFcCustomShellTree::DoAddItem(IShellFolder* ParentFolder, LPCITEMIDLIST ParentAbsIdList, LPCITEMIDLIST ItemRelIdList,
                                   SFGAOF Attributes) {
  bool allow = true;
  if (OnAddItem) OnAddItem(this, ParentFolder, ParentAbsIdList, ItemRelIdList, Attributes, allow);
  return allow;
}

HRESULT TFcCustomShellTree::AddShellNode(IShellFolder* ParentFolder, LPCITEMIDLIST ParentAbsIdList,
                                         LPCITEMIDLIST ItemRelIdList, TTreeNode* ParentNode) {
  if (!ItemRelIdList) return S_OK;
  SFGAOF attributes = kTreeAttributes;
  const HRESULT r = ParentFolder->GetAttributesOf(1, &ItemRelIdList, &attributes);
  if (FAILED(r)) return r;
  const bool candidate = FOptions.Contains(stoVirtualFolders) || (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR));
  if (!candidate || !DoAddItem(ParentFolder, ParentAbsIdList, ItemRelIdList, attributes)) return S_OK;
  TTreeNode* node = Items()->AddChild(ParentNode, ShellGetDisplayName(ParentFolder, ItemRelIdList, 1));
  const bool folder = attributes & SFGAO_FOLDER;
  const bool subfolders = attributes & SFGAO_HASSUBFOLDER;
  node->SetHasChildren(FOptions.Contains(stoIncludeNonFolders) ? folder || subfolders : folder && subfolders);
  if (attributes & SFGAO_SHARE) node->SetOverlayIndex(0);
  else if (attributes & SFGAO_LINK) node->SetOverlayIndex(1);
  if (attributes & SFGAO_GHOSTED) node->SetCut(true);
  auto* data = new TFcShellTreeData(this);
  data->Prepare(NodeData(ParentNode), ItemRelIdList);
  node->SetData(data);
  DoInsertItem(node);
  return S_OK;
}

void TFcCustomShellTree::SortChildren(TTreeNode* Node) {
  auto compare = [this](TTreeNode* A, TTreeNode* B, LPARAM) -> int {
    TFcShellTreeData* a = NodeData(A);
    TFcShellTreeData* b = NodeData(B);
    if (!a || !b) return 0;
    std::shared_ptr<IShellFolder> folder = a->ParentFolder();
    if (!folder) return 0;
    const HRESULT r = folder->CompareIDs(0, a->RelIdList(), b->RelIdList());
    return FAILED(r) ? 0 : static_cast<int16_t>(HRESULT_CODE(r));
  };
  if (Node) Node->CustomSort(compare, 0, false);
  else Items()->CustomSort(compare, 0, false);
}

void TFcCustomShellTree::FillOnExpand(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data || !Node->HasChildren() || Node->Count() > 0) return;
  std::shared_ptr<IShellFolder> folder = data->Folder();
  if (!folder) {
    Node->SetHasChildren(false);
    return;
  }
  TFcHourglass hourglass;
  FillNode(folder, Node);
  if (FOptions.Contains(stoDynamicRefresh) && !HasState(csDesigning) && FWatcher) WatchNode(Node);
}

bool TFcCustomShellTree::CanExpand(TTreeNode* Node) {
  if (FExpandBlocked) return false;
  if (!TFcCustomTreeView::CanExpand(Node)) return false;
  FillOnExpand(Node);
  return true;
}

TTreeNode* TFcCustomShellTree::FindChildNode(TTreeNode* Node, LPCITEMIDLIST Item) {
  TFcShellTreeData* parent = NodeData(Node);
  std::shared_ptr<IShellFolder> folder = parent ? parent->Folder() : nullptr;
  for (TTreeNode* child = Node->GetFirstChild(); child; child = child->getNextSibling()) {
    TFcShellTreeData* data = NodeData(child);
    if (!data) continue;
    if (ILIsEqual(data->RelIdList(), Item)) return child;
    if (folder && SUCCEEDED(folder->CompareIDs(0, data->RelIdList(), Item)) &&
        HRESULT_CODE(folder->CompareIDs(0, data->RelIdList(), Item)) == 0)
      return child;
  }
  return nullptr;
}

void TFcCustomShellTree::SelectIdList(LPCITEMIDLIST AbsoluteIdList) {
  if (FChangeLock > 0) return;
  FSelectAtOnce = true;
  TTreeNode* root = Items()->GetFirstNode();
  if (!root) return;
  TFcIdListArray base(FBaseFolder->IsEmpty() ? nullptr : FBaseFolder->GetIdList());
  TFcIdListArray target(AbsoluteIdList);
  TTreeNode* found = root;
  Items()->BeginUpdate();
  try {
    if (target.Count() > base.Count()) {
      root->Expand(false);
      for (int level = base.Count(); level < target.Count(); ++level) {
        shell::TIdListPtr item(ILClone(target.Items(level)));
        TTreeNode* child = FindChildNode(found, item.get());
        if (!child) {
          TFcShellTreeData* data = NodeData(found);
          std::shared_ptr<IShellFolder> folder = data ? data->Folder() : nullptr;
          FLastInsertedNode = nullptr;
          if (folder && SUCCEEDED(AddShellNode(folder.get(), data->AbsIdList(), item.get(), found)))
            child = FLastInsertedNode;
          if (!child) {
            MessageBeep(static_cast<UINT>(-1));
            break;
          }
        }
        found = child;
        const bool last = level == target.Count() - 1;
        const bool hideFolders = FShellList && FShellList->Options().Contains(sloHideFoldersWhenLinkedToTree);
        if (!last || hideFolders) found->Expand(false);
      }
    } else {
      root->Expand(false);
    }
    SetSelected(found);
  } catch (...) {
    Items()->EndUpdate();
    if (Selected()) Selected()->MakeVisible();
    throw;
  }
  Items()->EndUpdate();
  if (Selected()) Selected()->MakeVisible();
}

// ---- selection ----

void TFcCustomShellTree::PropagateSelection(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data) return;
  TLock lock(FChangeLock);
  FSelectedLocation->SetIdList(data->AbsIdList());
  if (FShellList) FShellList->ShowTreeNode(Node);
  if (FLinkedCombo) FLinkedCombo->TreeSelectionChanged(Node);
}

void TFcCustomShellTree::Change(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (FChangeLock > 0 || HasState(csLoading)) {
    if (data) {
      TLock lock(FChangeLock);
      FSelectedLocation->SetIdList(data->AbsIdList());
    }
    return;
  }
  TFcCustomTreeView::Change(Node);
  if (!data) return;
  if (FSelectAtOnce || !FShellList) {
    PropagateSelection(Node);
    FSelectAtOnce = false;
    return;
  }
  // Keyboard moves with a linked list: the list follows once the moves pause.
  FTimer->SetEnabled(false);
  FTimer->SetTag(1);
  FTimer->SetInterval(500);
  FTimer->SetEnabled(true);
}

void TFcCustomShellTree::TimerTick(TObject*) {
  FTimer->SetEnabled(false);
  const int tag = FTimer->Tag();
  FTimer->SetTag(0);
  if (tag == 1) {
    if (NodeData(Selected())) PropagateSelection(Selected());
  } else if (tag == 2) {
    RefreshNodes();
  }
}

void TFcCustomShellTree::SyncPendingSelection(bool Linked) {
  if (Linked) {
    if (FShellList) FShellList->SyncPendingChanges(false);
    if (FLinkedCombo) FLinkedCombo->FlushChanges(false);
  }
  if (FTimer->Enabled()) TimerTick(FTimer.get());
}

void TFcCustomShellTree::BaseFolderChanged(TObject*) {
  if (HasState(csLoading)) return;
  FSelectedLocation->Clear();
  if (FOptions.Contains(stoAutoFill)) {
    FSelectAtOnce = true;
    FillTree();
  }
}

void TFcCustomShellTree::SelectedLocationChanged(TObject*) {
  if (Items()->Count() > 0) SelectIdList(FSelectedLocation->GetIdList());
}

void TFcCustomShellTree::GoUp(int Levels) {
  TTreeNode* node = Selected();
  if (!node || !node->Parent()) return;
  for (int i = 0; i < Levels && node->Parent(); ++i) node = node->Parent();
  FSelectAtOnce = true;
  SetSelected(node);
}

// ---- refreshing ----

void TFcCustomShellTree::RefreshNodes() {
  if (FPostponeRefresh || IsEditing()) {
    FRefreshPending = true;
    return;
  }
  if (Items()->Count() == 0) {
    FillTree();
    return;
  }
  TFcHourglass hourglass;
  DoFillStart();
  TTreeNode* remembered = Selected();
  {
    TLock lock(FChangeLock);
    SetSelected(nullptr);
    Items()->BeginUpdate();
    try {
      for (TTreeNode* root = Items()->GetFirstNode(); root; root = root->getNextSibling()) RefreshNode(root, remembered);
    } catch (...) {
      Items()->EndUpdate();
      throw;
    }
    Items()->EndUpdate();
  }
  if (remembered) {
    FSelectAtOnce = true;
    SetSelected(remembered);
  }
  DoFillComplete();
  if (FOptions.Contains(stoDynamicRefresh) && !HasState(csDesigning)) StartWatching();
}

void TFcCustomShellTree::RefreshNode(TTreeNode* Node, TTreeNode*& Remembered) {
  if (std::find(FFilledNodes.begin(), FFilledNodes.end(), Node) == FFilledNodes.end()) return;
  TFcShellTreeData* data = NodeData(Node);
  std::shared_ptr<IShellFolder> folder = data ? data->Folder() : nullptr;
  if (!folder) return;
  std::shared_ptr<IEnumIDList> items;
  if (SUCCEEDED(folder->EnumObjects(nullptr, EnumFlags(), items)) && items) {
    std::vector<shell::TIdListPtr> fresh;
    LPITEMIDLIST item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) fresh.emplace_back(item);
    auto same = [&](LPCITEMIDLIST A, LPCITEMIDLIST B) {
      const HRESULT r = folder->CompareIDs(0, A, B);
      return SUCCEEDED(r) && HRESULT_CODE(r) == 0;
    };
    // Children no longer enumerated are gone; enumerated items without a child are new.
    for (TTreeNode* child = Node->GetFirstChild(); child;) {
      TTreeNode* next = child->getNextSibling();
      TFcShellTreeData* c = NodeData(child);
      auto it = c ? std::find_if(fresh.begin(), fresh.end(), [&](const shell::TIdListPtr& f) { return same(f.get(), c->RelIdList()); })
                  : fresh.end();
      if (it != fresh.end()) {
        fresh.erase(it);
      } else if (c) {
        if (Remembered && (Remembered == child || Remembered->HasAsParent(child))) Remembered = Node;
        child->Delete();
      }
      child = next;
    }
    for (const auto& f : fresh) AddShellNode(folder.get(), data->AbsIdList(), f.get(), Node);
    if (!fresh.empty()) SortChildren(Node);
    Node->SetHasChildren(Node->Count() > 0);
  }
  for (TTreeNode* child = Node->GetFirstChild(); child; child = child->getNextSibling()) RefreshNode(child, Remembered);
}

// ---- watching ----

int TFcCustomShellTree::WatchCount() const { return FWatcher ? FWatcher->WatchCount() : 0; }

void TFcCustomShellTree::RemoveWatches() {
  if (FWatcher) FWatcher->RemoveAllWatches();
}

void TFcCustomShellTree::WatchNode(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data || !FWatcher) return;
  const std::string path = data->PathName();
  if (path.empty()) return;
  int slot = -1;
  const DWORD filter = FOptions.Contains(stoIncludeNonFolders)
                           ? FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME
                           : FILE_NOTIFY_CHANGE_DIR_NAME;
  FWatcher->AddWatch(path, filter, slot, false);
}

void TFcCustomShellTree::StartWatching() {
  if (!HandleAllocated()) return;
  if (!FWatcher) FWatcher = std::make_unique<TChangeHandlerThread>(Handle(), CM_FCFOLDERCHANGE);
  FWatcher->RemoveAllWatches();
  // Only filled folders are refreshed, so only they are watched.
  for (TTreeNode* node : FFilledNodes) WatchNode(node);
}

void TFcCustomShellTree::FolderChangeMessage() {
  if (FSkipNextChangeMessage || FPostponeRefresh) {
    FSkipNextChangeMessage = false;
    return;
  }
  FTimer->SetEnabled(false);
  FTimer->SetTag(2);
  FTimer->SetInterval(HasFocusNow() ? 400 : 2000);
  FTimer->SetEnabled(true);
}

void TFcCustomShellTree::HandleDeviceChange(WPARAM Event) {
  if (Event != DBT_DEVICEARRIVAL && Event != DBT_DEVICEREMOVECOMPLETE) return;
  ValidateDriveCache();
  BeginNoDriveValidate();
  try {
    RefreshNodes();
  } catch (...) {
    EndNoDriveValidate();
    throw;
  }
  EndNoDriveValidate();
}

// ---- nodes ----

void TFcCustomShellTree::Delete(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (data && OnDeleteItem) OnDeleteItem(this, Node, data);
  FFilledNodes.erase(std::remove(FFilledNodes.begin(), FFilledNodes.end(), Node), FFilledNodes.end());
  if (FLastInsertedNode == Node) FLastInsertedNode = nullptr;
  Node->SetData(nullptr);
  delete data;
  TFcCustomTreeView::Delete(Node);
}

void TFcCustomShellTree::GetImageIndex(TTreeNode* Node) {
  if (TFcShellTreeData* data = NodeData(Node); data && Node->ImageIndex() == 0)
    Node->SetImageIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON));
  TFcCustomTreeView::GetImageIndex(Node);
}

void TFcCustomShellTree::GetSelectedIndex(TTreeNode* Node) {
  if (TFcShellTreeData* data = NodeData(Node); data && Node->SelectedIndex() == 0)
    Node->SetSelectedIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON | SHGFI_OPENICON));
  TFcCustomTreeView::GetSelectedIndex(Node);
}

bool TFcCustomShellTree::CanEdit(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data) return TFcCustomTreeView::CanEdit(Node);
  if (!Node->Parent() || !data->CanRename() || HasState(csDesigning) || !TFcCustomTreeView::CanEdit(Node)) return false;
  if (TCustomEdit* editor = EditControl()) {
    std::shared_ptr<IShellFolder> parent = data->ParentFolder();
    if (parent) editor->SetText(ShellGetDisplayName(parent.get(), data->RelIdList(), 3));
  }
  return true;
}

void TFcCustomShellTree::Edit(TTreeNode* Node, const std::optional<std::string>& Text) {
  if (!Text) return;
  TFcShellTreeData* data = NodeData(Node);
  if (!data) {
    TFcCustomTreeView::Edit(Node, Text);
    return;
  }
  std::string name = Trim(*Text);
  if (OnEdited) OnEdited(this, Node, name);
  {
    TFcHourglass hourglass;
    FSkipNextChangeMessage = true;
    TLock lock(FChangeLock);
    std::shared_ptr<IShellFolder> parent = data->ParentFolder();
    LPITEMIDLIST renamed = nullptr;
    if (parent && name.size() <= MAX_PATH &&
        SUCCEEDED(parent->SetNameOf(GetTopFormHandle(this), data->RelIdList(), name, 32, &renamed))) {
      if (renamed) {
        for (TTreeNode* n = Node->GetNext(); n && n->HasAsParent(Node); n = n->GetNext())
          if (TFcShellTreeData* d = NodeData(n)) d->Invalidate();
        Node->SetText(ShellGetDisplayName(parent.get(), renamed, 1));
        data->SetRelIdList(renamed);
        FSelectedLocation->SetIdList(data->AbsIdList());
        if (FShellList) FShellList->Folder()->SetIdList(data->AbsIdList());
        if (FLinkedCombo) FLinkedCombo->SelectedLocation()->SetIdList(data->AbsIdList());
      } else {
        Node->SetText(ShellGetDisplayName(parent.get(), data->RelIdList(), 1));
      }
      SortChildren(Node->Parent());
    }
  }
  if (FRefreshPending) {
    FRefreshPending = false;
    RefreshNodes();
  }
}

bool TFcCustomShellTree::NewFolder() {
  TTreeNode* node = Selected();
  TFcShellTreeData* data = NodeData(node);
  if (!data) return false;
  const std::string path = data->PathName();
  if (path.empty()) return false;
  FSkipNextChangeMessage = true;
  std::string name;
  if (!CreateNewFolder(path, name)) return false;
  WaitWithHourglass(FSelectedLocation->IsEmpty() ? 2100 : 1000);
  RefreshNodes();
  node = Selected();
  if (!node) return true;
  FillOnExpand(node);
  node->Expand(false);
  for (TTreeNode* child = node->GetFirstChild(); child; child = child->getNextSibling())
    if (child->Text() == name) {
      child->EditText();
      break;
    }
  return true;
}

int TFcCustomShellTree::DoCommandForNode(TTreeNode* Node, const std::string& Verb) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data || !Node->Parent()) return 1;
  std::shared_ptr<IShellFolder> parent = data->ParentFolder();
  std::shared_ptr<IInterface> object;
  LPCITEMIDLIST item = data->RelIdList();
  const HRESULT r = parent ? parent->GetUIObjectOf(GetTopFormHandle(this), 1, &item, IContextMenu::IID, nullptr, object)
                           : E_FAIL;
  auto menu = std::dynamic_pointer_cast<IContextMenu>(object);
  if (FAILED(r) || !menu) OleCheck(FAILED(r) ? r : E_NOINTERFACE);
  const HRESULT result = InvokeContextCommand(GetTopFormHandle(this), menu.get(), Verb.c_str());
  RefreshNodes();
  return result;
}

// ---- keys and menus ----

void TFcCustomShellTree::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomTreeView::KeyDown(Key, Shift);
  if (!FOptions.Contains(stoDefaultKeyHandling) || IsEditing() || HasState(csDesigning) || Key == 0) return;
  const WORD shortcut = static_cast<WORD>(Key | (Shift.Contains(ssShift) ? 0x2000 : 0) |
                                          (Shift.Contains(ssCtrl) ? 0x4000 : 0) | (Shift.Contains(ssAlt) ? 0x8000 : 0));
  TTreeNode* node = Selected();
  auto is = [shortcut](TFcShellCommandKey K) { return shortcut == ShellCommandKey(K); };
  if (is(sckRename)) {
    if (node) node->EditText();
  } else if (is(sckRefresh)) {
    RefreshNodes();
  } else if (is(sckCut)) {
    if (node) DoCommandForNode(node, "cut");
  } else if (is(sckCopy)) {
    if (node) DoCommandForNode(node, "copy");
  } else if (is(sckPaste)) {
    if (node) DoCommandForNode(node, "paste");
    RefreshNodes();
  } else if (is(sckDelete) || shortcut == (ShellCommandKey(sckDelete) | 0x2000)) {
    if (node) DoCommandForNode(node, "delete");
    RefreshNodes();
  } else {
    return;
  }
  Key = 0;
}

void TFcCustomShellTree::DoNodeContextMenu(TTreeNode* Node, TPoint Pos, TPopupMenu*& Menu) {
  TFcCustomTreeView::DoNodeContextMenu(Node, Pos, Menu);
  if (FOptions.Contains(stoContextMenus) && !HasState(csDesigning) && Node) {
    ShowShellContextMenu(Node, Pos);
    Menu = nullptr;
  }
}

void TFcCustomShellTree::ShowShellContextMenu(TTreeNode* Node, TPoint Pos) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data || shell::ILIsEmpty(data->AbsIdList())) return;
  std::shared_ptr<IShellFolder> parent = data->ParentFolder();
  if (!parent) return;
  LPCITEMIDLIST item = data->RelIdList();
  std::shared_ptr<IContextMenu> menu;
  HMENU popup = nullptr;
  UINT flags = CMF_EXPLORE | (ReadOnly() ? 0 : CMF_CANRENAME);
  if (!GetItemContextMenu(GetTopFormHandle(this), parent.get(), 1, &item, flags, 1000, menu, popup)) return;
  FPostponeRefresh = true;
  FActiveMenu = menu;
  struct TMenuEnd {
    TFcCustomShellTree* Tree;
    HMENU Popup;
    ~TMenuEnd() {
      Tree->FPostponeRefresh = false;
      Tree->FActiveMenu.reset();
      DestroyMenu(Popup);
    }
  } menuEnd{this, popup};
  const TPoint screen = ClientToScreen(Pos);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.X, screen.Y, 0, Handle(), nullptr));
  if (command == 1000 + kShellCmdRename) {
    Node->EditText();
  } else if (command >= 1000) {
    InvokeContextCommand(GetTopFormHandle(this), menu.get(), nullptr, command - 1000);
    FPostponeRefresh = false;
    RefreshNodes();
  } else if (command >= 1) {
    std::shared_ptr<IInterface> object;
    if (SUCCEEDED(data->GetUIObject(GetTopFormHandle(this), IDataObject::IID, object)))
      if (auto dataObject = std::dynamic_pointer_cast<IDataObject>(object))
        SendToTarget(SendToEntryName(static_cast<int>(command)), dataObject.get());
  }
}

// ---- the window ----

void TFcCustomShellTree::CreateParams(TCreateParams& Params) {
  TFcCustomTreeView::CreateParams(Params);
  if (!FOptions.Contains(stoOleDrag) && DragMode() != dmAutomatic) Params.Style |= TVS_DISABLEDRAGDROP;
  else Params.Style &= ~TVS_DISABLEDRAGDROP;
}

void TFcCustomShellTree::CreateWnd() {
  TFcCustomTreeView::CreateWnd();
  if (!HasState(csDesigning) && FOptions.Contains(stoOleDrop)) RegisterDropTarget(true);
  if (!HasState(csLoading)) {
    if (FOptions.Contains(stoAutoFill) && Items()->Count() == 0) PostMessage(Handle(), CM_FCFILLEMPTY, 0, 0);
    if (FShellList) FShellList->Folder()->Assign(FSelectedLocation.get());
  }
}

void TFcCustomShellTree::DestroyWnd() {
  FDeletingNodes = true;
  FWatcher.reset();
  RegisterDropTarget(false);
  {
    TLock lock(FChangeLock);
    SetSelected(nullptr);
    Items()->Clear();
  }
  FFilledNodes.clear();
  FDeletingNodes = false;
  TFcCustomTreeView::DestroyWnd();
}

void TFcCustomShellTree::Loaded() {
  const bool loading = HasState(csLoading);
  if (loading && FOptions.Contains(stoAutoFill) && !FLinkedCombo && HandleAllocated() && Items()->Count() == 0) {
    FillTree();
    if (FShellList) FShellList->Folder()->Assign(FSelectedLocation.get());
  }
  FExpandBlocked = true;
  try {
    TFcCustomTreeView::Loaded();
  } catch (...) {
    FExpandBlocked = false;
    throw;
  }
  FExpandBlocked = false;
}

void TFcCustomShellTree::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FCFOLDERCHANGE:
      FolderChangeMessage();
      return;
    case CM_FCFILLEMPTY:
      if (Items()->Count() == 0) FillTree();
      return;
    case WM_WINDOWPOSCHANGED:
      if (FDeletingNodes) return;
      break;
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
      TFcCustomTreeView::WndProc(Message);
      if (FActiveMenu) {
        if (Message.Msg == WM_INITMENUPOPUP) HandleMenuInitPopup(FActiveMenu.get(), Message);
        else if (Message.Msg == WM_DRAWITEM) HandleMenuDrawItem(FActiveMenu.get(), Message);
        else if (Message.Msg == WM_MEASUREITEM) HandleMenuMeasureItem(FActiveMenu.get(), Message);
        else HandleMenuChar(FActiveMenu.get(), Message);
      }
      return;
    case WM_MENUSELECT:
      TFcCustomTreeView::WndProc(Message);
      if (FActiveMenu && OnPopupHint) OnPopupHint(this, HandleMenuSelect(FActiveMenu.get(), Message));
      return;
    default: break;
  }
  TFcCustomTreeView::WndProc(Message);
}
