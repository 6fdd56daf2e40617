#include "platform/shell/ShellMenus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/os/Cursors.h"
#include "platform/os/Menu.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Strings.h"
#include "platform/shell/ShellApi.h"

namespace shell {

namespace {

namespace fs = std::filesystem;

// The message box flags and answers the menus use.
constexpr UINT kBoxOk = 0x00000000;
constexpr UINT kBoxYesNo = 0x00000004;
constexpr UINT kBoxQuestion = 0x00000020;
constexpr UINT kBoxInformation = 0x00000040;
constexpr int kAnswerYes = 6;

struct Verb {
  UINT offset;
  const char* verb;
  const char* caption;
  const char* help;
};

const Verb kVerbs[] = {
    {kShellCmdOpen, "open", "&Open", "Opens the selected items."},
    {kShellCmdSendTo, "sendto", "(none)", "Sends the selected items to another place."},
    {kShellCmdCut, "cut", "Cu&t", "Removes the selected items and copies them onto the Clipboard."},
    {kShellCmdCopy, "copy", "&Copy", "Copies the selected items to the Clipboard."},
    {kShellCmdPaste, "paste", "&Paste", "Inserts the items you have copied or cut into the selected folder."},
    {kShellCmdDelete, "delete", "&Delete", "Moves the selected items to the Trash."},
    {kShellCmdRename, "rename", "Rena&me", "Renames the selected item."},
    {kShellCmdProperties, "properties", "P&roperties", "Shows the properties of the selected items."},
};

const Verb* FindVerb(UINT Offset) {
  for (const Verb& v : kVerbs)
    if (v.offset == Offset) return &v;
  return nullptr;
}

bool IsDir(const std::string& Path) {
  struct stat st{};
  return stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentOf(const std::string& Path) {
  size_t slash = Path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string BaseName(const std::string& Path) {
  size_t slash = Path.find_last_of('/');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string Join(const std::string& Folder, const std::string& Name) {
  return Folder.empty() || Folder.back() == '/' ? Folder + Name : Folder + "/" + Name;
}

bool Exists(const std::string& Path) {
  struct stat st{};
  return lstat(Path.c_str(), &st) == 0;
}

bool SameOrInside(const std::string& Path, const std::string& Folder) {
  std::error_code ec;
  fs::path a = fs::weakly_canonical(Path, ec), b = fs::weakly_canonical(Folder, ec);
  std::string as = a.string(), bs = b.string();
  return bs == as || bs.compare(0, as.size() + 1, as + "/") == 0;
}

// Copies a file, link or folder tree to Target (which does not exist).
bool CopyItem(const std::string& Source, const std::string& Target) {
  std::error_code ec;
  fs::copy(Source, Target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  return !ec;
}

bool MoveItem(const std::string& Source, const std::string& Target) {
  if (std::rename(Source.c_str(), Target.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  // Another file system: a copy, and the source removed only once the copy is whole.
  if (!CopyItem(Source, Target)) {
    std::error_code ec;
    fs::remove_all(Target, ec);
    return false;
  }
  std::error_code ec;
  fs::remove_all(Source, ec);
  return !ec;
}

class ItemContextMenu : public IContextMenu {
 public:
  ItemContextMenu(HWND Owner, LPCITEMIDLIST FolderAbsIdList, PCUITEMID_CHILD_ARRAY Items, std::vector<ItemInfo> Infos)
      : FOwner(Owner), FFolder(FolderAbsIdList ? ILClone(FolderAbsIdList) : ILCreateEmpty()), FInfos(std::move(Infos)) {
    for (size_t i = 0; i < FInfos.size(); ++i) FItems.emplace_back(ILClone(Items[i]));
    FHasVerbs = !FInfos.empty();
    for (const ItemInfo& info : FInfos)
      if (!info.ordinary() || info.location.kind != Location::FileSystem) FHasVerbs = false;
  }

  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IContextMenu>(this, IID, Obj);
  }

  HRESULT QueryContextMenu(HMENU Menu, UINT Index, UINT First, UINT Last, UINT Flags) override {
    if (!IsMenu(Menu)) return E_INVALIDARG;
    if (!FHasVerbs) return MAKE_HRESULT(0, 0, 0);
    UINT at = Index;
    UINT used = 0;
    auto add = [&](UINT Offset, bool Default = false) {
      if (First + Offset > Last) return;
      const Verb* v = FindVerb(Offset);
      MENUITEMINFO info;
      info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
      info.wID = First + Offset;
      info.dwTypeData = v->caption;
      info.fState = Default ? MFS_DEFAULT : MFS_ENABLED;
      InsertMenuItem(Menu, at++, TRUE, &info);
      used = std::max(used, Offset + 1);
    };
    auto separator = [&] {
      MENUITEMINFO info;
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
      InsertMenuItem(Menu, at++, TRUE, &info);
    };
    add(kShellCmdOpen, true);
    if (Flags & CMF_DEFAULTONLY) return MAKE_HRESULT(0, 0, used);
    if (First + kShellCmdSendTo <= Last) {
      // "Send To" holds one grayed item; the controls replace it with the Send To folder's
      // entries when the sub-menu opens.
      HMENU sendTo = CreatePopupMenu();
      AppendMenu(sendTo, MF_STRING | MF_GRAYED, First + kShellCmdSendTo, FindVerb(kShellCmdSendTo)->caption);
      separator();
      MENUITEMINFO info;
      info.fMask = MIIM_STRING | MIIM_SUBMENU;
      info.hSubMenu = sendTo;
      info.dwTypeData = "Se&nd To";
      InsertMenuItem(Menu, at++, TRUE, &info);
      used = std::max(used, kShellCmdSendTo + 1);
    }
    separator();
    add(kShellCmdCut);
    add(kShellCmdCopy);
    if (!PasteFolder().empty()) add(kShellCmdPaste);
    separator();
    add(kShellCmdDelete);
    if (Flags & CMF_CANRENAME) add(kShellCmdRename);
    separator();
    add(kShellCmdProperties);
    return MAKE_HRESULT(0, 0, used);
  }

  HRESULT InvokeCommand(CMINVOKECOMMANDINFO* Info) override {
    if (!Info) return E_INVALIDARG;
    if (!FHasVerbs) return E_INVALIDARG;
    UINT offset = 0;
    if (IS_INTRESOURCE(Info->lpVerb)) {
      offset = static_cast<UINT>(reinterpret_cast<uintptr_t>(Info->lpVerb));
    } else {
      const Verb* found = nullptr;
      for (const Verb& v : kVerbs)
        if (SameText(v.verb, Info->lpVerb)) found = &v;
      if (!found) return E_INVALIDARG;
      offset = found->offset;
    }
    HWND owner = Info->hwnd ? Info->hwnd : FOwner;
    switch (offset) {
      case kShellCmdOpen: return Open(owner, Info);
      case kShellCmdCut: return ToClipboard(owner, true);
      case kShellCmdCopy: return ToClipboard(owner, false);
      case kShellCmdPaste: return Paste(owner);
      case kShellCmdDelete: return Delete(owner);
      // The controls edit the item's label themselves when this command is chosen.
      case kShellCmdRename: return S_OK;
      case kShellCmdProperties: return Properties(owner);
      default: return E_INVALIDARG;
    }
  }

  HRESULT GetCommandString(UINT_PTR Command, UINT Kind, UINT*, char* Name, UINT Size) override {
    const Verb* v = FindVerb(static_cast<UINT>(Command));
    if (!v || !FHasVerbs) return E_INVALIDARG;
    if (Kind == GCS_VALIDATEA) return S_OK;
    const char* text = Kind == GCS_VERBA ? v->verb : Kind == GCS_HELPTEXTA ? v->help : nullptr;
    if (!text || !Name || Size == 0) return E_INVALIDARG;
    std::strncpy(Name, text, Size - 1);
    Name[Size - 1] = '\0';
    return S_OK;
  }

 private:
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const ItemInfo& info : FInfos) paths.push_back(info.location.path);
    return paths;
  }

  // The folder a paste goes into: the one folder selected, else none.
  std::string PasteFolder() const {
    if (FInfos.size() == 1 && IsDir(FInfos[0].location.path)) return FInfos[0].location.path;
    return {};
  }

  HRESULT Open(HWND Owner, CMINVOKECOMMANDINFO* Info) {
    HRESULT result = S_OK;
    for (const ItemInfo& info : FInfos) {
      std::string folder = ParentOf(info.location.path);
      auto code = reinterpret_cast<intptr_t>(
          ShellExecuteA(Owner, "open", info.location.path.c_str(), Info->lpParameters, folder.c_str(), Info->nShow));
      if (code <= 32) result = E_FAIL;
    }
    return result;
  }

  HRESULT ToClipboard(HWND Owner, bool Cut) {
    std::vector<LPCITEMIDLIST> items;
    for (const TIdListPtr& item : FItems) items.push_back(item.get());
    HGLOBAL ids = MakeIdListArray(FFolder.get(), items);
    HGLOBAL files = MakeFileDropList(Paths());
    HGLOBAL effect = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (effect) {
      DWORD value = Cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY | DROPEFFECT_LINK;
      std::memcpy(GlobalLock(effect), &value, sizeof value);
      GlobalUnlock(effect);
    }
    if (!ids || !files || !effect || !OpenClipboard(Owner)) {
      GlobalFree(ids);
      GlobalFree(files);
      GlobalFree(effect);
      return E_FAIL;
    }
    EmptyClipboard();
    SetClipboardData(ShellIdListFormat(), ids);
    SetClipboardData(CF_HDROP, files);
    SetClipboardData(PreferredDropEffectFormat(), effect);
    CloseClipboard();
    return S_OK;
  }

  HRESULT Paste(HWND Owner) {
    std::string folder = PasteFolder();
    if (folder.empty()) return E_INVALIDARG;
    if (!OpenClipboard(Owner)) return E_FAIL;
    std::vector<std::string> sources = ReadFileDropList(GetClipboardData(CF_HDROP));
    DWORD effect = DROPEFFECT_COPY;
    if (HGLOBAL block = GetClipboardData(PreferredDropEffectFormat()); block && GlobalSize(block) >= sizeof(DWORD)) {
      std::memcpy(&effect, GlobalLock(block), sizeof effect);
      GlobalUnlock(block);
    }
    bool move = (effect & DROPEFFECT_MOVE) != 0;
    bool ok = TransferFiles(sources, folder, move);
    // What was cut lives in its new place now; the clipboard no longer names it.
    if (move && ok) EmptyClipboard();
    CloseClipboard();
    return sources.empty() ? S_FALSE : ok ? S_OK : E_FAIL;
  }

  HRESULT Delete(HWND Owner) {
    std::string text =
        FInfos.size() == 1
            ? "Are you sure you want to move '" + ItemDisplayName(FInfos[0]) + "' to the Trash?"
            : "Are you sure you want to move these " + std::to_string(FInfos.size()) + " items to the Trash?";
    std::string caption = FInfos.size() == 1 ? (IsDir(FInfos[0].location.path) ? "Confirm Folder Delete" : "Confirm File Delete")
                                             : "Confirm Multiple File Delete";
    if (ShellMessageBox(Owner, text, caption, kBoxYesNo | kBoxQuestion) != kAnswerYes) return S_FALSE;
    std::string names;
    for (const std::string& path : Paths()) names += path + '\0';
    names += '\0';
    SHFILEOPSTRUCTA op{};
    op.hwnd = Owner;
    op.wFunc = FO_DELETE;
    op.pFrom = names.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    return SHFileOperationA(&op) == 0 ? S_OK : E_FAIL;
  }

  HRESULT Properties(HWND Owner) {
    std::string text;
    if (FInfos.size() == 1) {
      const ItemInfo& info = FInfos[0];
      struct stat st{};
      stat(info.location.path.c_str(), &st);
      text = "Name: " + ItemDisplayName(info) + "\nType: " + ItemTypeName(info) +
             "\nLocation: " + rtl::ToValidUtf8(ParentOf(info.location.path));
      if (!S_ISDIR(st.st_mode)) text += "\nSize: " + std::to_string(static_cast<int64_t>(st.st_size)) + " bytes";
    } else {
      text = std::to_string(FInfos.size()) + " items\nLocation: " + rtl::ToValidUtf8(ParentOf(FInfos[0].location.path));
    }
    ShellMessageBox(Owner, text, "Properties", kBoxOk | kBoxInformation);
    return S_OK;
  }

  HWND FOwner;
  TIdListPtr FFolder;
  std::vector<TIdListPtr> FItems;
  std::vector<ItemInfo> FInfos;
  bool FHasVerbs = false;
};

class FolderDropTarget : public IDropTarget {
 public:
  FolderDropTarget(HWND Owner, std::string Folder) : FOwner(Owner), FFolder(std::move(Folder)) {}

  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IDropTarget>(this, IID, Obj);
  }

  HRESULT DragEnter(IDataObject* Data, DWORD KeyState, POINTL, DWORD* Effect) override {
    if (!Effect) return E_INVALIDARG;
    FSources = DataObjectPaths(Data);
    *Effect = Choose(KeyState, *Effect);
    return S_OK;
  }
  HRESULT DragOver(DWORD KeyState, POINTL, DWORD* Effect) override {
    if (!Effect) return E_INVALIDARG;
    *Effect = Choose(KeyState, *Effect);
    return S_OK;
  }
  HRESULT DragLeave() override {
    FSources.clear();
    return S_OK;
  }
  HRESULT Drop(IDataObject* Data, DWORD KeyState, POINTL, DWORD* Effect) override {
    if (!Effect) return E_INVALIDARG;
    FSources = DataObjectPaths(Data);
    DWORD effect = Choose(KeyState, *Effect);
    bool ok = true;
    if (effect == DROPEFFECT_LINK) {
      for (const std::string& source : FSources)
        ok = symlink(source.c_str(), FreeNameIn(FFolder, BaseName(source)).c_str()) == 0 && ok;
    } else if (effect != DROPEFFECT_NONE) {
      ok = TransferFiles(FSources, FFolder, effect == DROPEFFECT_MOVE);
    }
    FSources.clear();
    *Effect = ok ? effect : DROPEFFECT_NONE;
    return ok ? S_OK : E_FAIL;
  }

 private:
  // Ctrl copies, Shift moves, both link; otherwise a move within one file system and a copy
  // across them, as far as the source allows.
  DWORD Choose(DWORD KeyState, DWORD Allowed) const {
    if (FSources.empty()) return DROPEFFECT_NONE;
    for (const std::string& source : FSources)
      if (IsDir(source) && SameOrInside(source, FFolder)) return DROPEFFECT_NONE;
    DWORD wanted;
    if ((KeyState & MK_CONTROL) && (KeyState & MK_SHIFT))
      wanted = DROPEFFECT_LINK;
    else if (KeyState & MK_CONTROL)
      wanted = DROPEFFECT_COPY;
    else if (KeyState & MK_SHIFT)
      wanted = DROPEFFECT_MOVE;
    else
      wanted = SameDevice(FSources[0]) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    if (wanted == DROPEFFECT_MOVE && AllInFolder()) return DROPEFFECT_NONE;
    if (Allowed & wanted) return wanted;
    if (Allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    if ((Allowed & DROPEFFECT_MOVE) && !AllInFolder()) return DROPEFFECT_MOVE;
    return DROPEFFECT_NONE;
  }

  bool AllInFolder() const {
    for (const std::string& source : FSources)
      if (ParentOf(source) != FFolder) return false;
    return true;
  }

  bool SameDevice(const std::string& Source) const {
    struct stat a{}, b{};
    return lstat(Source.c_str(), &a) == 0 && stat(FFolder.c_str(), &b) == 0 && a.st_dev == b.st_dev;
  }

  HWND FOwner;
  std::string FFolder;
  std::vector<std::string> FSources;
};

class FormatEnumerator : public IEnumFORMATETC {
 public:
  explicit FormatEnumerator(std::vector<FORMATETC> Formats, size_t Position = 0)
      : FFormats(std::move(Formats)), FPosition(Position) {}
  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IEnumFORMATETC>(this, IID, Obj);
  }
  HRESULT Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) override {
    ULONG done = 0;
    while (done < Count && FPosition < FFormats.size()) Formats[done++] = FFormats[FPosition++];
    if (Fetched) *Fetched = done;
    return done == Count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG Count) override {
    FPosition = std::min(FFormats.size(), FPosition + Count);
    return FPosition < FFormats.size() || Count == 0 ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    FPosition = 0;
    return S_OK;
  }
  HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Copy) override {
    Copy = std::make_shared<FormatEnumerator>(FFormats, FPosition);
    return S_OK;
  }

 private:
  std::vector<FORMATETC> FFormats;
  size_t FPosition;
};

}  // namespace

std::shared_ptr<IContextMenu> MakeItemContextMenu(HWND Owner, LPCITEMIDLIST FolderAbsIdList,
                                                  PCUITEMID_CHILD_ARRAY Items, std::vector<ItemInfo> Infos) {
  return std::make_shared<ItemContextMenu>(Owner, FolderAbsIdList, Items, std::move(Infos));
}

std::shared_ptr<IDropTarget> MakeFolderDropTarget(HWND Owner, const std::string& Folder) {
  return std::make_shared<FolderDropTarget>(Owner, Folder);
}

std::shared_ptr<IDataObject> MakeItemsDataObject(LPCITEMIDLIST FolderAbsIdList, UINT Count,
                                                 PCUITEMID_CHILD_ARRAY Items, const std::vector<ItemInfo>& Infos) {
  auto data = std::make_shared<BlockDataObject>();
  std::vector<LPCITEMIDLIST> items(Items, Items + Count);
  std::vector<std::string> paths;
  for (const ItemInfo& info : Infos)
    if (info.location.kind == Location::FileSystem) paths.push_back(info.location.path);
  if (!data->Add(static_cast<CLIPFORMAT>(ShellIdListFormat()), MakeIdListArray(FolderAbsIdList, items))) return nullptr;
  if (!paths.empty() && !data->Add(CF_HDROP, MakeFileDropList(paths))) return nullptr;
  return data;
}

bool BlockDataObject::Add(CLIPFORMAT Format, HGLOBAL Block) {
  void* p = GlobalLock(Block);
  if (!p) return false;
  FBlocks.emplace_back(Format, std::string(static_cast<const char*>(p), GlobalSize(Block)));
  GlobalUnlock(Block);
  GlobalFree(Block);
  return true;
}

bool BlockDataObject::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IDataObject>(this, IID, Obj);
}

HRESULT BlockDataObject::GetData(FORMATETC* Format, STGMEDIUM* Medium) {
  if (!Format || !Medium) return E_INVALIDARG;
  HRESULT ok = QueryGetData(Format);
  if (FAILED(ok)) return ok;
  for (const auto& [format, bytes] : FBlocks) {
    if (format != Format->cfFormat) continue;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    Medium->tymed = TYMED_HGLOBAL;
    Medium->hGlobal = block;
    Medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  return DV_E_FORMATETC;
}

HRESULT BlockDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT BlockDataObject::QueryGetData(FORMATETC* Format) {
  if (!Format) return E_INVALIDARG;
  if (Format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  for (const auto& block : FBlocks)
    if (block.first == Format->cfFormat) return (Format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
  return DV_E_FORMATETC;
}

HRESULT BlockDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) {
  if (Out) Out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT BlockDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT BlockDataObject::EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Formats) {
  Formats.reset();
  if (Direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> list;
  for (const auto& block : FBlocks) {
    FORMATETC f;
    f.cfFormat = block.first;
    list.push_back(f);
  }
  Formats = std::make_shared<FormatEnumerator>(std::move(list));
  return S_OK;
}

HRESULT BlockDataObject::DAdvise(FORMATETC*, DWORD, void*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT BlockDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT BlockDataObject::EnumDAdvise(void**) { return OLE_E_ADVISENOTSUPPORTED; }

std::vector<std::string> DataObjectPaths(IDataObject* Data) {
  if (!Data) return {};
  FORMATETC format;
  format.cfFormat = CF_HDROP;
  STGMEDIUM medium;
  if (FAILED(Data->GetData(&format, &medium))) return {};
  std::vector<std::string> paths = ReadFileDropList(medium.hGlobal);
  ReleaseStgMedium(&medium);
  return paths;
}

std::string FreeNameIn(const std::string& Folder, const std::string& Name) {
  std::string candidate = Join(Folder, Name);
  if (!Exists(candidate)) return candidate;
  std::string ext = ExtractFileExt(Name);
  // A name that starts with its only dot (".profile") has no extension.
  if (ext.size() == Name.size()) ext.clear();
  std::string stem = Name.substr(0, Name.size() - ext.size());
  for (int i = 2;; ++i) {
    candidate = Join(Folder, stem + " (" + std::to_string(i) + ")" + ext);
    if (!Exists(candidate)) return candidate;
  }
}

bool TransferFiles(const std::vector<std::string>& Sources, const std::string& Folder, bool Move,
                   std::vector<std::string>* Made) {
  bool ok = true;
  for (const std::string& source : Sources) {
    if (!Exists(source)) {
      ok = false;
      continue;
    }
    if (IsDir(source) && SameOrInside(source, Folder)) {
      ok = false;
      continue;
    }
    if (Move && ParentOf(source) == Folder) continue;
    std::string target = FreeNameIn(Folder, BaseName(source));
    bool done = Move ? MoveItem(source, target) : CopyItem(source, target);
    if (done && Made) Made->push_back(target);
    ok = ok && done;
  }
  return ok;
}

}  // namespace shell
