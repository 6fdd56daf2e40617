// The shell combo.
#include <algorithm>

#include "controls/shell/FcShellCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/os/SystemMetrics.h"

namespace {

constexpr SFGAOF kComboAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR |
                                    SFGAO_HIDDEN | SFGAO_SHARE | SFGAO_LINK;

// Sorting the children of a folder runs once at a time.
bool& SortingPidls() {
  static bool sorting = false;
  return sorting;
}

void SortPidls(IShellFolder* Folder, std::vector<shell::TIdListPtr>& Lists) {
  if (SortingPidls()) throw Exception("Recursive call to SortPidls");
  SortingPidls() = true;
  try {
    std::stable_sort(Lists.begin(), Lists.end(), [Folder](const shell::TIdListPtr& A, const shell::TIdListPtr& B) {
      const HRESULT r = Folder->CompareIDs(0, A.get(), B.get());
      return SUCCEEDED(r) && static_cast<int16_t>(HRESULT_CODE(r)) < 0;
    });
  } catch (...) {
    SortingPidls() = false;
    throw;
  }
  SortingPidls() = false;
}

}  // namespace

const classes::TEnumInfo& EnumInfo(TFcShellComboOption) {
  static const classes::TEnumInfo info{"TFcShellComboOption", {"scoAutofill", "scoNonFilesystemAncestors"}};
  return info;
}

TFcCustomShellCombo::TFcCustomShellCombo(TComponent* AOwner)
    : TFcCustomImageComboBox(AOwner),
      FSelectedLocation(std::make_unique<TFcShellLocator>()),
      FImages(std::make_unique<TCustomImageList>(nullptr, 16, 16)) {
  FImages->SetShareImages(true);
  FImages->SetHandle(ShellGetSystemImageList(0));
  SetImages(FImages.get());
  SetStyle(csOwnerDrawFixed);
  SetDropDownCount(8);
  SetItemIndent(12);
  FSelectedLocation->OnLocationChange = [this](TObject* Sender) { SelectedLocationChanged(Sender); };
}

TFcCustomShellCombo::~TFcCustomShellCombo() {
  FSelectedLocation->OnLocationChange = nullptr;
  ClearItems();
  SetImages(nullptr);
}

TFcShellComboData* TFcCustomShellCombo::EntryData(int Index) const {
  const TFcImageComboBoxItem* item = GetImageItem(Index);
  for (const auto& [key, data] : FEntryData)
    if (key == item) return data.get();
  return nullptr;
}

void TFcCustomShellCombo::SetShellList(TFcCustomShellList* Value) {
  if (FShellTree && Value) return;
  if (FShellList) FShellList->SetLinkedCombo(nullptr);
  FShellList = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  Value->SetLinkedCombo(this);
}

void TFcCustomShellCombo::SetShellTree(TFcCustomShellTree* Value) {
  if (FShellList && Value) return;
  if (FShellTree) FShellTree->SetLinkedCombo(nullptr);
  FShellTree = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  Value->SetLinkedCombo(this);
}

void TFcCustomShellCombo::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomImageComboBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FShellList) FShellList = nullptr;
  if (AComponent == FShellTree) FShellTree = nullptr;
}

// ---- entries ----

void TFcCustomShellCombo::DoDeleteItem(TObject* Item) {
  FEntryData.erase(std::remove_if(FEntryData.begin(), FEntryData.end(), [Item](const auto& E) { return E.first == Item; }),
                   FEntryData.end());
  TFcCustomImageComboBox::DoDeleteItem(Item);
}

void TFcCustomShellCombo::DoGetItemData(TFcImageComboBoxItem* Item) {
  if (Item->Caption().empty() || Item->ImageIndex() == -1) {
    TFcShellComboData* data = EntryData(Item->Index());
    // Supplied once: a setter repaints, and painting asks again.
    if (data && data->RelIdList() && Item->Caption().empty()) {
      const std::string caption = ShellGetDisplayName(data->ParentFolder().get(), data->RelIdList(), 1);
      if (!caption.empty()) Item->SetCaption(caption);
    }
    if (data && Item->ImageIndex() == -1) Item->SetImageIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON));
  }
  TFcCustomImageComboBox::DoGetItemData(Item);
}

bool TFcCustomShellCombo::DoAddItem(IShellFolder*, LPCITEMIDLIST, int, SFGAOF, LPCITEMIDLIST) { return true; }

TFcImageComboBoxItem* TFcCustomShellCombo::AddEntry(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST ParentIdList,
                                                    LPCITEMIDLIST Item, int Level, SFGAOF Attributes, bool Named) {
  auto data = std::make_unique<TFcShellComboData>(this);
  data->Prepare(Folder, ParentIdList, Item);
  std::string caption;
  int image = -1;
  if (Named) {
    shell::TIdListPtr empty(shell::ILCreateEmpty());
    caption = Item ? ShellGetDisplayName(Folder.get(), Item, 1) : ShellGetDisplayName(Folder.get(), empty.get(), 0);
    image = ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON | SHGFI_OPENICON);
  }
  TFcImageComboBoxItem* entry = AddItem(caption, image, Level);
  if (Attributes & SFGAO_SHARE) entry->SetOverlayIndex(0);
  else if (Attributes & SFGAO_LINK) entry->SetOverlayIndex(1);
  FEntryData.emplace_back(entry, std::move(data));
  return entry;
}

void TFcCustomShellCombo::Fill() {
  if (!HandleAllocated()) return;
  BeginUpdate();
  try {
    ++FIgnoreChanges;
    SetItemIndex(-1);
    ClearItems();
    --FIgnoreChanges;
    FSelectedEntry = -1;
    TFcIdListArray path(FSelectedLocation->GetIdList());
    std::shared_ptr<IShellFolder> desktop;
    const HRESULT r = ShellGetDesktopFolder(desktop);
    if (FAILED(r)) OleCheck(r);
    FillLevel(desktop, nullptr, path, -1);
    ++FIgnoreChanges;
    SetItemIndex(FSelectedEntry >= 0 ? FSelectedEntry : 0);
    --FIgnoreChanges;
  } catch (...) {
    FIgnoreChanges = 0;
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TFcCustomShellCombo::FillLevel(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST ParentIdList,
                                    TFcIdListArray& Path, int Level) {
  LPITEMIDLIST computerList = nullptr;
  const HRESULT located = ShellGetSpecialFolderIdList(GetTopFormHandle(this), CSIDL_DRIVES, computerList);
  if (FAILED(located)) OleCheck(located);
  shell::TIdListPtr computer(computerList);
  if (Level == -1) {
    TFcImageComboBoxItem* entry = AddEntry(Folder, nullptr, nullptr, 0, 0, true);
    if (Path.Count() == 0) FSelectedEntry = entry->Index();
    Level = 1;
  }
  std::shared_ptr<IEnumIDList> items;
  const HRESULT r = Folder->EnumObjects(GetTopFormHandle(this), SHCONTF_FOLDERS, items);
  if (FAILED(r) || !items) OleCheck(FAILED(r) ? r : E_FAIL);
  std::vector<shell::TIdListPtr> children;
  LPITEMIDLIST item = nullptr;
  while (items->Next(1, &item, nullptr) == S_OK) children.emplace_back(item);
  SortPidls(Folder.get(), children);
  const int depth = Level - 1;  // the place of this level's item in the selected path
  bool matching = depth < Path.Count();
  for (const auto& child : children) {
    LPCITEMIDLIST rel = child.get();
    SFGAOF attributes = kComboAttributes;
    if (FAILED(Folder->GetAttributesOf(1, &rel, &attributes))) continue;
    if (!FOptions.Contains(scoNonFilesystemAncestors) && !(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
      continue;
    if (!DoAddItem(Folder.get(), ParentIdList, Level, attributes, rel)) continue;
    bool onPath = false;
    if (matching) {
      const HRESULT same = Folder->CompareIDs(0, rel, Path.Items(depth));
      onPath = SUCCEEDED(same) && HRESULT_CODE(same) == 0;
    }
    const bool selectedItself = onPath && depth == Path.Count() - 1;
    TFcImageComboBoxItem* entry = AddEntry(Folder, ParentIdList, rel, Level, attributes, selectedItself);
    shell::TIdListPtr abs(ILCombine(ParentIdList, rel));
    const bool isComputer = Level == 1 && ILIsEqual(abs.get(), computer.get());
    if (onPath) {
      matching = false;
      if (selectedItself) FSelectedEntry = entry->Index();
      else if (!isComputer) {
        std::shared_ptr<IShellFolder> sub;
        if (SUCCEEDED(ShellGetFolder(abs.get(), sub)) && sub) AddAncestorEntries(sub, abs.get(), Path, depth + 1);
      }
    }
    if (isComputer) {
      std::shared_ptr<IShellFolder> drives;
      if (SUCCEEDED(ShellGetFolder(abs.get(), drives)) && drives) FillLevel(drives, abs.get(), Path, 2);
    }
  }
}

void TFcCustomShellCombo::AddAncestorEntries(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST FolderIdList,
                                             TFcIdListArray& Path, int From) {
  shell::TIdListPtr parent(ILClone(FolderIdList));
  for (int i = From; i < Path.Count(); ++i) {
    shell::TIdListPtr rel(ILClone(Path.Items(i)));
    const bool last = i == Path.Count() - 1;
    TFcImageComboBoxItem* entry = AddEntry(Folder, parent.get(), rel.get(), i + 1, 0, last);
    if (last) {
      FSelectedEntry = entry->Index();
      break;
    }
    shell::TIdListPtr abs(ILCombine(parent.get(), rel.get()));
    std::shared_ptr<IShellFolder> sub;
    if (FAILED(ShellGetFolder(abs.get(), sub)) || !sub) break;
    Folder = sub;
    parent = std::move(abs);
  }
}

// ---- location ----

void TFcCustomShellCombo::PushLocation() {
  ++FIgnoreChanges;
  try {
    if (FShellTree) FShellTree->SetSelectedLocation(FSelectedLocation.get());
    else if (FShellList) FShellList->Folder()->Assign(FSelectedLocation.get());
  } catch (...) {
    --FIgnoreChanges;
    throw;
  }
  --FIgnoreChanges;
}

void TFcCustomShellCombo::SelectedLocationChanged(TObject*) {
  if (FIgnoreChanges > 0) return;
  PushLocation();
  Fill();
}

void TFcCustomShellCombo::SelEndOk() {
  TFcCustomImageComboBox::SelEndOk();
  if (TFcShellComboData* data = EntryData(ItemIndex())) {
    shell::TIdListPtr abs(data->AbsIdList() ? ILClone(data->AbsIdList()) : nullptr);
    FSelectedLocation->SetIdList(abs.get());
  }
}

void TFcCustomShellCombo::TreeSelectionChanged(TTreeNode* Node) {
  if (!Node || !FShellTree) return;
  if (TFcShellTreeData* data = FShellTree->NodeData(Node)) FSelectedLocation->SetIdList(data->AbsIdList());
}

void TFcCustomShellCombo::UpLevels(int Levels) {
  const int current = ItemIndex();
  TFcImageComboBoxItem* item = GetImageItem(current);
  if (!item) return;
  const int indent = item->IndentLevel() - Levels;
  int target = 0;
  for (int i = current - 1; i >= 0; --i)
    if (GetImageItem(i)->IndentLevel() <= indent) {
      target = i;
      break;
    }
  if (TFcShellComboData* data = EntryData(target)) FSelectedLocation->SetIdList(data->AbsIdList());
}

void TFcCustomShellCombo::FlushChanges(bool Propagate) {
  if (!Propagate) return;
  if (FShellTree) FShellTree->SyncPendingSelection(false);
  if (FShellList) FShellList->SyncPendingChanges(false);
}

// ---- the window ----

void TFcCustomShellCombo::CreateWnd() {
  TFcCustomImageComboBox::CreateWnd();
  if (!HasState(csLoading) && FOptions.Contains(scoAutofill)) Fill();
}

void TFcCustomShellCombo::DestroyWnd() {
  ClearItems();
  TFcCustomImageComboBox::DestroyWnd();
}

void TFcCustomShellCombo::Loaded() {
  TFcCustomImageComboBox::Loaded();
  if (!FOptions.Contains(scoAutofill)) return;
  ++FIgnoreChanges;
  Fill();
  --FIgnoreChanges;
  PushLocation();
  if (FShellTree) FShellTree->RefreshNodes();
}

void TFcCustomShellCombo::DropDown() {
  if (FAutoDropDownCount && HandleAllocated()) {
    const TPoint bottom = ClientToScreen(TPoint{0, Height()});
    const int rows = (GetSystemMetrics(SM_CYSCREEN) - bottom.Y - 1) / std::max(ItemHeight(), 1);
    SetDropDownCount(std::max(rows, 1));
  }
  TFcCustomImageComboBox::DropDown();
}
