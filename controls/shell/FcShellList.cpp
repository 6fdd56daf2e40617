// The shell list.
#include <algorithm>
#include <filesystem>

#include "controls/shell/FcShellCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/os/Input.h"
#include "platform/os/MenuTracking.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Strings.h"
#include "platform/shell/Registry.h"

namespace {


constexpr SFGAOF kListAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE |
                                   SFGAO_STREAM | SFGAO_GHOSTED | SFGAO_SHARE | SFGAO_LINK;
constexpr int kDirectoryColsSize = 22;

// The last "DirectoryCols" value read, kept for the run of the program.
std::string& LastDirectoryCols() {
  static std::string value;
  return value;
}

// The "DirectoryCols" value (at most 22 bytes); "" when there is none or it cannot be read.
std::string ReadDirectoryCols() {
  try {
    TRegistry reg;
    if (!reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", false)) return {};
    if (reg.GetDataSize("DirectoryCols") < 0) return {};
    char buffer[kDirectoryColsSize];
    const int n = reg.ReadBinaryData("DirectoryCols", buffer, kDirectoryColsSize);
    return std::string(buffer, static_cast<size_t>(n));
  } catch (const Exception&) {
    return {};
  }
}

std::vector<int> StreamWidths() {
  TMemoryStream* stream = ShellColumnWidthStream();
  std::vector<int> widths;
  if (stream->Size() < 4) return widths;
  stream->SetPosition(0);
  int32_t count = 0;
  stream->ReadBuffer(&count, 4);
  for (int i = 0; i < count && stream->Position() + 4 <= stream->Size(); ++i) {
    int32_t w = 0;
    stream->ReadBuffer(&w, 4);
    widths.push_back(w);
  }
  return widths;
}

}  // namespace

const classes::TEnumInfo& EnumInfo(TFcShellListOption) {
  static const classes::TEnumInfo info{
      "TFcShellListOption",
      {"sloAutoFill", "sloNonFilesystemAncestors", "sloDesignInteractive", "sloDefaultKeyHandling", "sloContextMenus",
       "sloDontChangeFolder", "sloDontGoBelowBase", "sloDynamicRefresh", "sloHideFoldersWhenLinkedToTree",
       "sloOleDrag", "sloOleDrop", "sloFolderContextMenu", "sloShowHidden", "sloFilesCanBeFolders"}};
  return info;
}

TFcCustomShellList::TFcCustomShellList(TComponent* AOwner)
    : TFcCustomListView(AOwner),
      FFolder(std::make_unique<TFcShellLocator>()),
      FTimer(std::make_unique<TTimer>(nullptr)),
      FSmall(std::make_unique<TCustomImageList>(nullptr, 16, 16)),
      FLarge(std::make_unique<TCustomImageList>(nullptr, 32, 32)) {
  SetStretchLastColumn(false);
  FSmall->SetShareImages(true);
  FSmall->SetHandle(ShellGetSystemImageList(0));
  FLarge->SetShareImages(true);
  FLarge->SetHandle(ShellGetSystemImageList(1));
  SetSmallImages(FSmall.get());
  SetLargeImages(FLarge.get());
  IconOptions()->SetAutoArrange(true);
  SetAllocBy(256);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = [this](TObject*) { TimerTick(); };
  FFolder->OnLocationChange = [this](TObject* Sender) { FolderChanged(Sender); };
  GetDeviceChangeHandler()->Register(this, [this](TObject*, TMessage& M) { HandleDeviceChange(M.WParam); });
}

TFcCustomShellList::~TFcCustomShellList() {
  GetDeviceChangeHandler()->Unregister(this);
  FTimer->OnTimer = nullptr;
  FWatcher.reset();
  FFolder->OnLocationChange = nullptr;
  FDeletingItems = true;
  Items()->Clear();
  SetSmallImages(nullptr);
  SetLargeImages(nullptr);
}

TFcShellListData* TFcCustomShellList::ItemData(TListItem* Item) const {
  return Item ? dynamic_cast<TFcShellListData*>(static_cast<TObject*>(Item->Data())) : nullptr;
}

LPCITEMIDLIST TFcCustomShellList::ShownIdList() const { return FShown ? FShown->AbsIdList.get() : nullptr; }

DWORD TFcCustomShellList::EnumFlags() const {
  return SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (FOptions.Contains(sloShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0);
}

// ---- properties ----

void TFcCustomShellList::SetFileFilter(const std::string& Value) {
  if (FFileFilter == Value) {
    if (Value.empty()) FMasks.clear();
    return;
  }
  FFileFilter = Value;
  FMasks.clear();
  size_t start = 0;
  while (start <= Value.size()) {
    const size_t end = Value.find(';', start);
    std::string mask = Trim(Value.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (!mask.empty()) FMasks.push_back(mask);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (!HasState(csLoading) && FOptions.Contains(sloAutoFill) && HandleAllocated()) FillList();
}

void TFcCustomShellList::SetOptions(TFcShellListOptions Value) {
  const TFcShellListOptions old = FOptions;
  FOptions = Value;
  if (HasState(csLoading) || !HandleAllocated()) return;
  if (old.Contains(sloOleDrop) != Value.Contains(sloOleDrop)) RegisterDropTarget(Value.Contains(sloOleDrop));
  if (old.Contains(sloDynamicRefresh) != Value.Contains(sloDynamicRefresh) && !HasState(csDesigning)) {
    if (Value.Contains(sloDynamicRefresh)) WatchFolder();
    else if (FWatcher) FWatcher->RemoveAllWatches();
  }
  if (old.Contains(sloHideFoldersWhenLinkedToTree) != Value.Contains(sloHideFoldersWhenLinkedToTree) ||
      old.Contains(sloShowHidden) != Value.Contains(sloShowHidden))
    RefreshList();
}

void TFcCustomShellList::SetLinkedTree(TFcCustomShellTree* Value) {
  FLinkedTree = Value;
  if (Value) Value->FreeNotification(this);
}

void TFcCustomShellList::SetLinkedCombo(TFcCustomShellCombo* Value) {
  FLinkedCombo = Value;
  if (Value) Value->FreeNotification(this);
}

void TFcCustomShellList::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomListView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FLinkedTree) FLinkedTree = nullptr;
  if (AComponent == FLinkedCombo) FLinkedCombo = nullptr;
}

// ---- sorting ----

void TFcCustomShellList::SetSortColumn(int Column) {
  SetSortedColumn(std::abs(Column) - 1);
  SetSortedDescending(Column < 0);
  if (Column == FCurrentSortColumn) return;
  FCurrentSortColumn = Column;
  SortItems();
}

int TFcCustomShellList::CompareItems(TListItem* A, TListItem* B) {
  TFcShellListData* a = ItemData(A);
  TFcShellListData* b = ItemData(B);
  if (!a || !b || !FShown || !FShown->Folder) return 0;
  const HRESULT r = FShown->Folder->CompareIDs(std::abs(FCurrentSortColumn) - 1, a->RelIdList(), b->RelIdList());
  if (FAILED(r)) return 0;
  const int code = static_cast<int16_t>(HRESULT_CODE(r));
  return FCurrentSortColumn < 0 ? -code : code;
}

void TFcCustomShellList::SortItems() {
  if (FCurrentSortColumn == 0) {
    AlphaSort();
    return;
  }
  CustomSort([this](TListItem* A, TListItem* B, LPARAM) { return CompareItems(A, B); }, 0);
}

void TFcCustomShellList::ColClick(TListColumn* Column) {
  const int before = FCurrentSortColumn;
  TFcCustomListView::ColClick(Column);
  if (FCurrentSortColumn != before) return;  // the handler sorted
  if (Column->Index() + 1 == FCurrentSortColumn) SetSortColumn(-FCurrentSortColumn);
  else SetSortColumn(Column->Index() + 1);
}

// ---- columns ----

void TFcCustomShellList::SaveColumnWidths() {
  TMemoryStream* stream = ShellColumnWidthStream();
  stream->Clear();
  const int32_t count = Columns()->Count();
  stream->WriteBuffer(&count, 4);
  for (int i = 0; i < count; ++i) {
    const int32_t w = Column(i)->Width();
    stream->WriteBuffer(&w, 4);
  }
}

void TFcCustomShellList::SetupColumns() {
  if (FHasColumns && Columns()->Count() > 0 && FLastWasFileSystem) SaveColumnWidths();
  int widths[5] = {200, 60, 100, 120, 50};
  const std::string cols = ReadDirectoryCols();
  if (!cols.empty()) {
    for (size_t i = 0; i < 5 && 2 * i + 1 < cols.size(); ++i)
      widths[i] = static_cast<uint8_t>(cols[2 * i]) | (static_cast<uint8_t>(cols[2 * i + 1]) << 8);
  }
  std::vector<int> kept = StreamWidths();
  const bool sameValue = cols == LastDirectoryCols();
  LastDirectoryCols() = cols;
  Columns()->BeginUpdate();
  Columns()->Clear();
  static const char* kCaptions[] = {"Name", "Size", "Type", "Modified"};
  for (int i = 0; i < 4; ++i) {
    TListColumn* c = Columns()->Add();
    c->SetCaption(kCaptions[i]);
    c->SetWidth(sameValue && i < static_cast<int>(kept.size()) ? kept[static_cast<size_t>(i)] : widths[i]);
    if (i == 1) c->SetAlignment(taRightJustify);
  }
  Columns()->EndUpdate();
  FHasColumns = true;
  FLastWasFileSystem = true;
  UpdateHeaderSortDisplay();
  SetSortColumn(std::abs(FCurrentSortColumn) > Columns()->Count() ? 1 : FCurrentSortColumn);
  SetSortedColumn(std::abs(FCurrentSortColumn) - 1);
  SetSortedDescending(FCurrentSortColumn < 0);
}

// ---- filling ----

void TFcCustomShellList::DoFillStart() {
  if (OnFillStart) OnFillStart(this);
}
void TFcCustomShellList::DoFillComplete() {
  if (OnFillComplete) OnFillComplete(this);
}
void TFcCustomShellList::DoFolderChanged() {
  if (OnFolderChanged) OnFolderChanged(this);
}

void TFcCustomShellList::FillList() {
  if (!HandleAllocated()) return;
  if (FPostponeRefresh || IsEditing()) {
    FRefreshPending = true;
    return;
  }
  {
    TFcHourglass hourglass;
    ClearSelection();
    FDeletingItems = true;
    Items()->Clear();
    FDeletingItems = false;
    std::shared_ptr<IShellFolder> folder;
    const HRESULT r = ShellGetFolder(FFolder->GetIdList(), folder);
    if (FAILED(r) || !folder) OleCheck(FAILED(r) ? r : E_FAIL);
    FillFolder(folder, FFolder->GetIdList());
  }
  SortItems();
  if (Items()->Count() > 0) Items()->Item(0)->SetFocused(true);
  if (ViewStyle() == vsIcon || ViewStyle() == vsSmallIcon) {
    SendMessage(Handle(), WM_VSCROLL, 6, 0);
    SendMessage(Handle(), WM_HSCROLL, 6, 0);
  }
  if (FOptions.Contains(sloDynamicRefresh) && !HasState(csDesigning)) WatchFolder();
}

void TFcCustomShellList::FillFolder(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST AbsIdList) {
  Items()->BeginUpdate();
  DoFillStart();
  std::shared_ptr<TFcShellListFolder> previous = FShown;
  try {
    auto shown = std::make_shared<TFcShellListFolder>();
    shown->Folder = Folder;
    shown->AbsIdList.reset(AbsIdList && !shell::ILIsEmpty(AbsIdList) ? ILClone(AbsIdList) : nullptr);
    shown->FilesCanBeFolders = FOptions.Contains(sloFilesCanBeFolders);
    FShown = shown;
    SetupColumns();
    PrepareFileFilter();
    std::shared_ptr<IEnumIDList> items;
    if (SUCCEEDED(Folder->EnumObjects(GetTopFormHandle(this), EnumFlags(), items)) && items) {
      std::vector<std::unique_ptr<TFcShellListData>> collected;
      collected.reserve(500);
      LPITEMIDLIST item = nullptr;
      HRESULT r;
      while ((r = items->Next(1, &item, nullptr)) == S_OK) {
        if (collected.size() == collected.capacity()) collected.reserve(collected.size() + 500);
        collected.push_back(std::make_unique<TFcShellListData>(this, shown, item));
      }
      if (r != S_FALSE && r != HRESULT_FROM_WIN32(259) && r != E_FAIL) OleCheck(r);
      if (r != E_FAIL) AddCollected(collected);
    }
    FreeFileFilter();
  } catch (...) {
    FreeFileFilter();
    FShown = previous;
    Items()->EndUpdate();
    DoFillComplete();
    throw;
  }
  Items()->EndUpdate();
  DoFillComplete();
}

void TFcCustomShellList::AddCollected(std::vector<std::unique_ptr<TFcShellListData>>& Collected) {
  SetAllocBy(static_cast<int>(Collected.size()));
  for (auto& data : Collected) {
    if (!ShouldAddItem(data.get())) continue;
    FPendingData = data.release();
    Items()->Add();
  }
  Collected.clear();
}

bool TFcCustomShellList::ShouldAddItem(TFcShellListData* Data) {
  const SFGAOF attributes = Data->Attributes();
  const bool candidate = FOptions.Contains(sloNonFilesystemAncestors) ||
                         (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR));
  if (!candidate) return false;
  const bool folder = IsShellFolderItem(attributes, FOptions.Contains(sloFilesCanBeFolders));
  if (folder && FLinkedTree && FOptions.Contains(sloHideFoldersWhenLinkedToTree)) return false;
  return DoAddItem(FShown->Folder.get(), ShownIdList(), attributes, Data->RelIdList()) &&
         (folder || !FFilterTable || IsInFileFilter(Data->FileName(), attributes));
}

bool TFcCustomShellList::DoAddItem(IShellFolder* Folder, LPCITEMIDLIST ParentAbsIdList, SFGAOF Attributes,
                                   LPCITEMIDLIST ItemRelIdList) {
  bool allow = true;
  if (OnAddItem) OnAddItem(this, Folder, ParentAbsIdList, ItemRelIdList, Attributes, allow);
  return allow;
}

void TFcCustomShellList::PrepareFileFilter() {
  FreeFileFilter();
  if (!FShown || FMasks.empty()) return;
  const std::string path = ShellGetPathFromIdList(ShownIdList());
  if (path.empty()) return;  // the filter acts in file-system folders only
  for (const std::string& mask : FMasks)
    if (mask == "*" || mask == "*.*") return;
  auto table = std::make_unique<std::vector<std::string>>();
  std::error_code error;
  for (std::filesystem::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    const std::string name = it->path().filename().string();
    for (const std::string& mask : FMasks)
      if (rtl::MatchesMask(name, mask)) {
        table->push_back(AnsiUpperCase(name));
        break;
      }
  }
  std::sort(table->begin(), table->end());
  table->erase(std::unique(table->begin(), table->end()), table->end());
  FFilterTable = std::move(table);
}

bool TFcCustomShellList::IsInFileFilter(const std::string& Name, SFGAOF Attributes) {
  if (!FFilterTable || IsShellFolderItem(Attributes, FOptions.Contains(sloFilesCanBeFolders))) return true;
  return std::binary_search(FFilterTable->begin(), FFilterTable->end(), AnsiUpperCase(Name));
}

void TFcCustomShellList::FreeFileFilter() { FFilterTable.reset(); }

void TFcCustomShellList::InsertItem(TListItem* Item) {
  if (TFcShellListData* data = FPendingData) {
    FPendingData = nullptr;
    Item->SetData(data);
    const SFGAOF attributes = data->Attributes();
    if (attributes & SFGAO_SHARE) Item->SetOverlayIndex(0);
    else if (attributes & SFGAO_LINK) Item->SetOverlayIndex(1);
    if (attributes & SFGAO_GHOSTED) Item->SetCut(true);
    for (int i = 0; i < 3; ++i) Item->SubItems()->Add(LPSTR_TEXTCALLBACK);
    Item->SetImageIndex(ShellGetIconIndex(data->AbsIdList(), SHGFI_SMALLICON));
  }
  Item->SetCaption(LPSTR_TEXTCALLBACK);
  TFcCustomListView::InsertItem(Item);
}

void TFcCustomShellList::Delete(TListItem* Item) {
  TFcShellListData* data = ItemData(Item);
  if (data && OnDeleteItem) OnDeleteItem(this, Item, data);
  Item->SetData(nullptr);
  TFcCustomListView::Delete(Item);
  delete data;
}

void TFcCustomShellList::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  if (hdr && hdr->code == LVN_GETDISPINFO) {
    auto* info = reinterpret_cast<NMLVDISPINFO*>(hdr);
    auto* data = dynamic_cast<TFcShellListData*>(reinterpret_cast<TObject*>(info->item.lParam));
    if (data && (info->item.mask & LVIF_TEXT))
      info->item.pszText = info->item.iSubItem == 0 ? data->CachedName() : data->ColumnText(info->item.iSubItem);
    Message.Result = 0;
    return;
  }
  if (hdr && (hdr->code == LVN_BEGINDRAG || hdr->code == LVN_BEGINRDRAG)) {
    Message.Result = 0;
    // No platform drag: with sloOleDrag the shell's drag runs.
    if (FOptions.Contains(sloOleDrag)) DoOleDrag(hdr->code == LVN_BEGINDRAG ? 0 : 1);
    return;
  }
  TFcCustomListView::CNNotify(Message);
}

void TFcCustomShellList::RefreshList() {
  if (FPostponeRefresh || IsEditing()) {
    FRefreshPending = true;
    return;
  }
  if (Items()->Count() == 0 || !FShown) {
    FillList();
    return;
  }
  TFcHourglass hourglass;
  DoFillStart();
  PrepareFileFilter();
  std::shared_ptr<IEnumIDList> items;
  Items()->BeginUpdate();
  if (SUCCEEDED(FShown->Folder->EnumObjects(nullptr, EnumFlags(), items)) && items) {
    std::vector<shell::TIdListPtr> fresh;
    LPITEMIDLIST item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) fresh.emplace_back(item);
    const bool fileSystem = !ShellGetPathFromIdList(ShownIdList()).empty();
    auto same = [&](LPCITEMIDLIST A, LPCITEMIDLIST B) {
      if (fileSystem) return ILIsEqual(A, B) != FALSE;
      const HRESULT r = FShown->Folder->CompareIDs(0, A, B);
      return SUCCEEDED(r) && HRESULT_CODE(r) == 0;
    };
    for (int i = Items()->Count() - 1; i >= 0; --i) {
      TFcShellListData* data = ItemData(Items()->Item(i));
      if (!data) continue;
      auto it = std::find_if(fresh.begin(), fresh.end(), [&](const shell::TIdListPtr& f) { return same(f.get(), data->RelIdList()); });
      if (it != fresh.end()) fresh.erase(it);
      else Items()->Delete(i);
    }
    std::vector<std::unique_ptr<TFcShellListData>> collected;
    for (auto& f : fresh) collected.push_back(std::make_unique<TFcShellListData>(this, FShown, f.release()));
    AddCollected(collected);
  }
  FreeFileFilter();
  Items()->EndUpdate();
  SortItems();
  DoFillComplete();
  SetAllocBy(256);
}

void TFcCustomShellList::FolderChanged(TObject*) {
  if (FChangeLock == 0) {
    ++FChangeLock;
    try {
      if (FLinkedTree) FLinkedTree->SetSelectedLocation(FFolder.get());
      else if (FLinkedCombo) FLinkedCombo->SelectedLocation()->Assign(FFolder.get());
      FillList();
    } catch (...) {
      --FChangeLock;
      throw;
    }
    --FChangeLock;
  }
  DoFolderChanged();
}

void TFcCustomShellList::ShowTreeNode(TTreeNode* Node) {
  if (!Node || HasState(csLoading) || !FLinkedTree) return;
  if (TFcShellTreeData* data = FLinkedTree->NodeData(Node)) FFolder->SetIdList(data->AbsIdList());
}

void TFcCustomShellList::SyncPendingChanges(bool Linked) {
  if (Linked) {
    if (FLinkedCombo) FLinkedCombo->FlushChanges(false);
    if (FLinkedTree) FLinkedTree->SyncPendingSelection(false);
  }
  if (FTimer->Enabled()) TimerTick();
}

// ---- navigation ----

void TFcCustomShellList::NavigateTo(LPCITEMIDLIST AbsIdList) {
  if (FOptions.Contains(sloDontChangeFolder)) return;
  ClearSelection();
  FDeletingItems = true;
  Items()->Clear();
  FDeletingItems = false;
  TFcShellLocator target;
  target.SetIdList(AbsIdList);
  if (FLinkedTree) FLinkedTree->SetSelectedLocation(&target);
  else if (FLinkedCombo) FLinkedCombo->SelectedLocation()->Assign(&target);
  else FFolder->Assign(&target);
}

void TFcCustomShellList::GoUp(int Levels) {
  if (FOptions.Contains(sloDontChangeFolder)) return;
  if (FLinkedTree) {
    FLinkedTree->GoUp(Levels);
  } else if (FLinkedCombo) {
    FLinkedCombo->UpLevels(Levels);
  } else {
    TFcIdListArray parts(FFolder->GetIdList());
    if (LPCITEMIDLIST up = parts.LeadingItems(std::min(Levels, parts.Count()))) FFolder->SetIdList(up);
  }
}

bool TFcCustomShellList::DoDblClickOpen() {
  bool handled = false;
  if (OnDblClickOpen) OnDblClickOpen(this, handled);
  return !handled;
}

void TFcCustomShellList::OpenItem(TListItem* Item) {
  SyncPendingChanges(true);
  TFcShellListData* data = ItemData(Item);
  if (!data) {
    DoDblClickOpen();
    return;
  }
  if (data->IsFolder()) {
    shell::TIdListPtr target(ILClone(data->AbsIdList()));
    NavigateTo(target.get());
    return;
  }
  if (data->IsShortcut()) {
    TFcShortcutInfo info;
    if (SUCCEEDED(ResolveShortcut(data->PathName(), info, false)) && std::filesystem::is_directory(info.Path)) {
      LPITEMIDLIST target = nullptr;
      if (SUCCEEDED(ShellParsePath(info.Path, target)) && target) {
        shell::TIdListPtr owned(target);
        NavigateTo(owned.get());
        return;
      }
    }
  }
  if (!DoDblClickOpen()) return;
  LPCITEMIDLIST item = data->RelIdList();
  std::shared_ptr<IContextMenu> menu;
  HMENU popup = nullptr;
  if (GetItemContextMenu(GetTopFormHandle(this), FShown->Folder.get(), 1, &item, CMF_EXPLORE, 1000, menu, popup)) {
    InvokeContextCommand(GetTopFormHandle(this), menu.get(), "open");
    DestroyMenu(popup);
  }
}

std::vector<LPCITEMIDLIST> TFcCustomShellList::SelectedRelIdLists() {
  std::vector<LPCITEMIDLIST> lists;
  for (TListItem* i = GetNextItem(nullptr, TSearchDirection::sdAll, {isSelected}); i;
       i = GetNextItem(i, TSearchDirection::sdAll, {isSelected}))
    if (TFcShellListData* data = ItemData(i)) lists.push_back(data->RelIdList());
  return lists;
}

int TFcCustomShellList::SelectedShellItemCount() { return static_cast<int>(SelectedRelIdLists().size()); }

void TFcCustomShellList::OpenSelectedItems() {
  const std::vector<LPCITEMIDLIST> lists = SelectedRelIdLists();
  if (lists.size() < 2) {
    if (TListItem* item = Selected()) OpenItem(item);
    return;
  }
  if (!DoDblClickOpen()) return;
  HMENU popup = nullptr;
  if (std::shared_ptr<IContextMenu> menu = SelectionMenu(&popup, CMF_EXPLORE)) {
    InvokeContextCommand(GetTopFormHandle(this), menu.get(), "open");
    DestroyMenu(popup);
  }
}

std::shared_ptr<IContextMenu> TFcCustomShellList::SelectionMenu(HMENU* Popup, UINT Flags) {
  const std::vector<LPCITEMIDLIST> lists = SelectedRelIdLists();
  if (lists.empty() || !FShown) return nullptr;
  std::shared_ptr<IContextMenu> menu;
  if (!GetItemContextMenu(GetTopFormHandle(this), FShown->Folder.get(), static_cast<UINT>(lists.size()), lists.data(),
                          Flags, 1000, menu, *Popup))
    return nullptr;
  return menu;
}

void TFcCustomShellList::DoCommandForSelection(const std::string& Verb) {
  HMENU popup = nullptr;
  std::shared_ptr<IContextMenu> menu = SelectionMenu(&popup, CMF_EXPLORE);
  if (!menu) return;
  InvokeContextCommand(GetTopFormHandle(this), menu.get(), Verb.c_str());
  DestroyMenu(popup);
  if (ShellGetPathFromIdList(ShownIdList()).rfind("\\\\", 0) == 0) RefreshList();
}

void TFcCustomShellList::DoCommandForFolder(const std::string& Verb) {
  std::shared_ptr<IInterface> object;
  const HRESULT r = GetItemUIObject(GetTopFormHandle(this), ShownIdList(), IContextMenu::IID, object);
  auto menu = std::dynamic_pointer_cast<IContextMenu>(object);
  if (FAILED(r) || !menu) OleCheck(FAILED(r) ? r : E_NOINTERFACE);
  const HRESULT done = InvokeContextCommand(GetTopFormHandle(this), menu.get(), Verb.c_str());
  if (FAILED(done)) OleCheck(done);
}

void TFcCustomShellList::SelectAll() {
  Items()->BeginUpdate();
  TFcCustomListView::SelectAll();
  Items()->EndUpdate();
}

bool TFcCustomShellList::NewFolder(bool StartRename) {
  const std::string path = ShellGetPathFromIdList(ShownIdList());
  if (path.empty()) return false;
  FSkipNextChangeMessage = true;
  std::string name;
  if (!CreateNewFolder(path, name)) return false;
  if (!FShown || shell::ILIsEmpty(ShownIdList())) WaitWithHourglass(2100);
  RefreshList();
  if (StartRename && HandleAllocated()) {
    FNewFolderName = name;
    PostMessage(Handle(), CM_FCRENAMENEWFOLDER, 0, 0);
  }
  return true;
}

// ---- renaming ----

bool TFcCustomShellList::CanEdit(TListItem* Item) {
  TFcShellListData* data = ItemData(Item);
  if (!data) return TFcCustomListView::CanEdit(Item);
  if (!data->CanRename() || HasState(csDesigning) || !TFcCustomListView::CanEdit(Item)) return false;
  if (TCustomEdit* editor = EditControl()) editor->SetText(ShellGetDisplayName(FShown->Folder.get(), data->RelIdList(), 3));
  return true;
}

void TFcCustomShellList::Edit(TListItem* Item, const std::optional<std::string>& Text) {
  if (!Text) return;
  TFcShellListData* data = ItemData(Item);
  if (!data || !FShown) {
    TFcCustomListView::Edit(Item, Text);
    return;
  }
  std::string name = Trim(*Text);
  if (OnEdited) OnEdited(this, Item, name);
  {
    TFcHourglass hourglass;
    FSkipNextChangeMessage = true;
    LPITEMIDLIST renamed = nullptr;
    if (name.size() <= MAX_PATH &&
        SUCCEEDED(FShown->Folder->SetNameOf(GetTopFormHandle(this), data->RelIdList(), name, 32, &renamed)) && renamed)
      data->SetRelIdList(renamed);
    data->Invalidate();
    Item->SetCaption(LPSTR_TEXTCALLBACK);
    Invalidate();
  }
  if (FRefreshPending) {
    FRefreshPending = false;
    RefreshList();
  }
}

// ---- keys and mouse ----

void TFcCustomShellList::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomListView::KeyDown(Key, Shift);
  if (!FOptions.Contains(sloDefaultKeyHandling) || IsEditing() || HasState(csDesigning) || Key == 0) return;
  const WORD shortcut = static_cast<WORD>(Key | (Shift.Contains(ssShift) ? 0x2000 : 0) |
                                          (Shift.Contains(ssCtrl) ? 0x4000 : 0) | (Shift.Contains(ssAlt) ? 0x8000 : 0));
  auto is = [shortcut](TFcShellCommandKey K) { return shortcut == ShellCommandKey(K); };
  // The commands on the selection do nothing without one.
  const bool selection = SelectedShellItemCount() > 0;
  if (is(sckSelectAll)) {
    SelectAll();
  } else if (is(sckRefresh)) {
    FillList();
  } else if (is(sckCopy)) {
    if (selection) DoCommandForSelection("copy");
  } else if (is(sckCut)) {
    if (selection) DoCommandForSelection("cut");
  } else if (is(sckPaste)) {
    DoCommandForFolder("paste");
    RefreshList();
  } else if (is(sckRename)) {
    if (TListItem* item = ItemFocused()) item->EditCaption();
  } else if (is(sckDelete) || shortcut == (ShellCommandKey(sckDelete) | 0x2000)) {
    if (selection) {
      DoCommandForSelection("delete");
      RefreshList();
    }
  } else {
    return;
  }
  Key = 0;
}

void TFcCustomShellList::KeyPress(char32_t& Key) {
  TFcCustomListView::KeyPress(Key);
  if (!FOptions.Contains(sloDefaultKeyHandling) || IsEditing() || HasState(csDesigning)) return;
  if (Key == U'\b') {
    Key = 0;
    GoUp(1);
  } else if (Key == U'\r') {
    Key = 0;
    OpenSelectedItems();
  }
}

void TFcCustomShellList::DblClick() {
  TFcCustomListView::DblClick();
  OpenSelectedItems();
}

void TFcCustomShellList::DoItemContextMenu(TListItem* Item, TPoint Pos, TPopupMenu*& Menu) {
  TFcCustomListView::DoItemContextMenu(Item, Pos, Menu);
  if (FOptions.Contains(sloContextMenus) && !HasState(csDesigning) && !DragStarted()) {
    ShowItemsShellMenu(Pos);
    Menu = nullptr;
  }
}

void TFcCustomShellList::ShowItemsShellMenu(TPoint Pos) {
  TFcShellListData* focused = ItemData(ItemFocused());
  UINT flags = CMF_EXPLORE;
  if (focused && !focused->PathName().empty() && !ReadOnly()) flags |= CMF_CANRENAME;
  HMENU popup = nullptr;
  std::shared_ptr<IContextMenu> menu = SelectionMenu(&popup, flags);
  if (!menu) return;
  FActiveMenu = menu;
  FPostponeRefresh = true;
  const TPoint screen = ClientToScreen(Pos);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.X, screen.Y, 0, Handle(), nullptr));
  FPostponeRefresh = false;
  FActiveMenu.reset();
  DestroyMenu(popup);
  if (command == 1000 + kShellCmdRename) {
    if (TListItem* item = ItemFocused()) item->EditCaption();
  } else if (command >= 1000) {
    InvokeContextCommand(GetTopFormHandle(this), menu.get(), nullptr, command - 1000);
    RefreshList();
  }
  if (FRefreshPending) {
    FRefreshPending = false;
    RefreshList();
  }
}

// ---- watching ----

int TFcCustomShellList::WatchCount() const { return FWatcher ? FWatcher->WatchCount() : 0; }

void TFcCustomShellList::WatchFolder() {
  if (!HandleAllocated()) return;
  FTimer->SetEnabled(false);
  if (!FWatcher) FWatcher = std::make_unique<TChangeHandlerThread>(Handle(), CM_FCFOLDERCHANGE);
  FWatcher->RemoveAllWatches();
  const std::string path = ShellGetPathFromIdList(ShownIdList());
  int slot = -1;
  if (!path.empty())
    FWatcher->AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, slot, false);
}

void TFcCustomShellList::TimerTick() {
  FTimer->SetEnabled(false);
  ++FChangeLock;
  try {
    SyncPendingChanges(true);
  } catch (...) {
    --FChangeLock;
    throw;
  }
  --FChangeLock;
  RefreshList();
}

void TFcCustomShellList::HandleDeviceChange(WPARAM Event) {
  if (Event != DBT_DEVICEARRIVAL && Event != DBT_DEVICEREMOVECOMPLETE) return;
  ValidateDriveCache();
  BeginNoDriveValidate();
  try {
    if (ShellFindCsidl(ShownIdList()) == CSIDL_DRIVES) FillList();
  } catch (...) {
    EndNoDriveValidate();
    throw;
  }
  EndNoDriveValidate();
}

// ---- the window ----

void TFcCustomShellList::CreateWnd() {
  FInCreateWnd = true;
  try {
    TFcCustomListView::CreateWnd();
  } catch (...) {
    FInCreateWnd = false;
    throw;
  }
  FInCreateWnd = false;
  if (!HasState(csDesigning) && FOptions.Contains(sloOleDrop)) RegisterDropTarget(true);
  if (FOptions.Contains(sloAutoFill) && Items()->Count() == 0) PostMessage(Handle(), CM_FCFILLEMPTY, 0, 0);
}

void TFcCustomShellList::DestroyWnd() {
  FDeletingItems = true;
  if (FHasColumns && Columns()->Count() > 0 && FLastWasFileSystem) SaveColumnWidths();
  FWatcher.reset();
  RegisterDropTarget(false);
  ++FChangeLock;
  ClearSelection();
  Items()->Clear();
  --FChangeLock;
  FDeletingItems = false;
  TFcCustomListView::DestroyWnd();
}

void TFcCustomShellList::Loaded() {
  if (HasState(csLoading) && !FInCreateWnd && FOptions.Contains(sloAutoFill) && Items()->Count() == 0 &&
      HandleAllocated())
    PostMessage(Handle(), CM_FCFILLEMPTY, 0, 0);
  TFcCustomListView::Loaded();
}

void TFcCustomShellList::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FCFOLDERCHANGE:
      if (FSkipNextChangeMessage || FPostponeRefresh) {
        FSkipNextChangeMessage = false;
        return;
      }
      FTimer->SetEnabled(false);
      FTimer->SetInterval(HasFocusNow() ? 400 : 2000);
      FTimer->SetEnabled(true);
      return;
    case CM_FCRENAMENEWFOLDER:
      for (int i = 0; i < Items()->Count(); ++i) {
        TListItem* item = Items()->Item(i);
        TFcShellListData* data = ItemData(item);
        if (data && data->CachedName() == FNewFolderName) {
          item->SetFocused(true);
          item->EditCaption();
          break;
        }
      }
      return;
    case CM_FCFILLEMPTY:
      if (Items()->Count() == 0) FillList();
      return;
    case WM_WINDOWPOSCHANGED:
      if (FDeletingItems) return;
      break;
    case WM_RBUTTONUP:
      // After the list's first drag its right-button releases go to the default handling.
      if (FSkipRightButtonUp) {
        DefaultHandler(Message);
        return;
      }
      break;
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
      TFcCustomListView::WndProc(Message);
      if (FActiveMenu) {
        if (Message.Msg == WM_INITMENUPOPUP) HandleMenuInitPopup(FActiveMenu.get(), Message);
        else if (Message.Msg == WM_MEASUREITEM) HandleMenuMeasureItem(FActiveMenu.get(), Message);
        else HandleMenuChar(FActiveMenu.get(), Message);
      }
      return;
    case WM_DRAWITEM:
      TFcCustomListView::WndProc(Message);
      if (FActiveMenu && Message.Result == 0) HandleMenuDrawItem(FActiveMenu.get(), Message);
      return;
    case WM_MENUSELECT:
      TFcCustomListView::WndProc(Message);
      if (FActiveMenu && OnPopupHint) OnPopupHint(this, HandleMenuSelect(FActiveMenu.get(), Message));
      return;
    default: break;
  }
  TFcCustomListView::WndProc(Message);
}
