#include "platform/shell/ShellFolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/rtl/Files.h"
#include "platform/rtl/Strings.h"
#include "platform/shell/DragDrop.h"
#include "platform/shell/ShellMenus.h"

namespace shell {

namespace {

// How many entries the has-subfolders test reads before it answers yes without knowing.
constexpr int kSubfolderScanCap = 256;

std::string JoinPath(const std::string& Folder, const std::string& Name) {
  if (Folder.empty() || Folder.back() == '/') return Folder + Name;
  return Folder + "/" + Name;
}

std::string LastName(const std::string& Path) {
  size_t slash = Path.find_last_of('/');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

bool IsDirectory(const std::string& Path) {
  struct stat st{};
  return stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasSubfolder(const std::string& Path) {
  DIR* dir = opendir(Path.c_str());
  if (!dir) return false;
  bool found = false;
  int read = 0;
  while (dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (++read > kSubfolderScanCap) {
      found = true;
      break;
    }
    if (e->d_type == DT_DIR || ((e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) && IsDirectory(JoinPath(Path, e->d_name)))) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

bool IsFolderKind(ItemKind Kind) { return Kind != ItemKind::File; }

// The order of an item's kind among its siblings: the desktop's Home, then Computer, then
// folders, then files.
int KindRank(ItemKind Kind) {
  switch (Kind) {
    case ItemKind::Junction: return 0;
    case ItemKind::Computer: return 1;
    case ItemKind::Mount: return 2;
    case ItemKind::Dir: return 3;
    case ItemKind::File: return 4;
  }
  return 5;
}

const std::vector<std::string>& AudioExtensions() {
  static const std::vector<std::string> list = {".mp3", ".wav", ".wma", ".ogg", ".oga", ".flac", ".m4a",
                                                ".aac", ".mid",  ".midi", ".opus", ".ape"};
  return list;
}

const std::vector<std::string>& ProgramExtensions() {
  static const std::vector<std::string> list = {".exe", ".sh", ".bat", ".com", ".appimage"};
  return list;
}

bool HasExtension(const std::string& Name, const std::vector<std::string>& List) {
  std::string ext = LowerCase(ExtractFileExt(Name));
  return std::find(List.begin(), List.end(), ext) != List.end();
}

struct FileFacts {
  bool exists = false;
  bool link = false;
  bool dir = false;
  bool executable = false;
  bool readOnly = false;
  int64_t size = 0;
  int64_t modified = 0;
};

FileFacts Facts(const std::string& Path) {
  FileFacts f;
  struct stat st{};
  if (lstat(Path.c_str(), &st) != 0) return f;
  f.exists = true;
  f.link = S_ISLNK(st.st_mode);
  if (f.link && stat(Path.c_str(), &st) != 0) return f;  // a dangling link: a file
  f.dir = S_ISDIR(st.st_mode);
  f.executable = !f.dir && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
  // The mode bits, not access(): the superuser may write anywhere, yet a file nobody may
  // write to is read-only to the user.
  f.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  f.size = static_cast<int64_t>(st.st_size);
  f.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return f;
}

// The drive type of the mount at Path (fixed for a path that is no mount point).
UINT MountDriveType(const std::string& Path) {
  for (const MountEntry& m : MountTable())
    if (m.path == Path) return DriveTypeOf(m);
  return DRIVE_FIXED;
}

int Sign(int64_t V) { return V < 0 ? -1 : V > 0 ? 1 : 0; }

HRESULT CompareResult(int Order) { return MAKE_HRESULT(0, 0, static_cast<uint16_t>(static_cast<int16_t>(Order))); }

// ---- The enumerator ----------------------------------------------------------------------------

class IdListEnumerator : public IEnumIDList {
 public:
  explicit IdListEnumerator(std::vector<std::string> Items, size_t Position = 0)
      : FItems(std::move(Items)), FPosition(Position) {}
  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IEnumIDList>(this, IID, Obj);
  }
  HRESULT Next(ULONG Count, LPITEMIDLIST* Lists, ULONG* Fetched) override {
    if (!Lists) return E_POINTER;
    ULONG done = 0;
    while (done < Count && FPosition < FItems.size()) {
      const std::string& bytes = FItems[FPosition++];
      auto* copy = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(bytes.size()));
      if (!copy) break;
      std::memcpy(copy, bytes.data(), bytes.size());
      Lists[done++] = copy;
    }
    if (Fetched) *Fetched = done;
    return done == Count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG Count) override {
    size_t left = FItems.size() - FPosition;
    if (Count > left) {
      FPosition = FItems.size();
      return S_FALSE;
    }
    FPosition += Count;
    return S_OK;
  }
  HRESULT Reset() override {
    FPosition = 0;
    return S_OK;
  }
  HRESULT Clone(std::shared_ptr<IEnumIDList>& Copy) override {
    Copy = std::make_shared<IdListEnumerator>(FItems, FPosition);
    return S_OK;
  }

 private:
  std::vector<std::string> FItems;
  size_t FPosition;
};

void AddItem(std::vector<std::string>& Items, ItemKind Kind, const std::string& Name) {
  TIdListPtr item(MakeItem(Kind, Name));
  if (item) Items.push_back(Bytes(item.get()));
}

// ---- The folder ----------------------------------------------------------------------------------

class ShellFolder : public IShellFolder, public std::enable_shared_from_this<ShellFolder> {
 public:
  ShellFolder(Location Where, TIdListPtr AbsIdList) : FWhere(std::move(Where)), FAbsIdList(std::move(AbsIdList)) {}

  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IShellFolder>(this, IID, Obj);
  }

  HRESULT ParseDisplayName(HWND, void*, const std::string& DisplayName, ULONG* Eaten, LPITEMIDLIST* List,
                           ULONG* Attributes) override {
    if (!List) return E_POINTER;
    *List = nullptr;
    HRESULT result = S_OK;
    if (FWhere.kind == Location::Desktop) {
      if (DisplayName == kComputerParsingName) {
        *List = MakeItem(ItemKind::Computer, "");
      } else if (!DisplayName.empty() && DisplayName[0] == '/') {
        *List = ParsePath(DisplayName, result);
      } else {
        *List = ParseRelative(CurrentNamespaceEnvironment(false).desktop, DisplayName, result);
      }
    } else if (FWhere.kind == Location::FileSystem) {
      *List = ParseRelative(FWhere.path, DisplayName, result);
    } else {
      result = E_INVALIDARG;
    }
    if (!*List) return FAILED(result) ? result : E_OUTOFMEMORY;
    if (Eaten) *Eaten = static_cast<ULONG>(DisplayName.size());
    if (Attributes) {
      LPCITEMIDLIST item = ILFindLastID(*List);
      TIdListPtr parentList(ILClone(*List));
      ILRemoveLastID(parentList.get());
      Location parent = FWhere.kind == Location::Desktop ? ResolveIdList(parentList.get()) : Resolve(parentList.get());
      *Attributes = ItemAttributes(DescribeItem(parent, item), *Attributes);
    }
    return S_OK;
  }

  HRESULT EnumObjects(HWND, DWORD Flags, std::shared_ptr<IEnumIDList>& Items) override {
    Items.reset();
    std::vector<std::string> items;
    bool folders = Flags & SHCONTF_FOLDERS, files = Flags & SHCONTF_NONFOLDERS;
    bool hidden = Flags & SHCONTF_INCLUDEHIDDEN;
    std::string dirPath;
    if (FWhere.kind == Location::Desktop) {
      if (folders) {
        AddItem(items, ItemKind::Junction, "home");
        AddItem(items, ItemKind::Computer, "");
      }
      dirPath = CurrentNamespaceEnvironment(false).desktop;
    } else if (FWhere.kind == Location::Computer) {
      if (folders)
        for (const MountEntry& m : ComputerMounts()) AddItem(items, ItemKind::Mount, m.path);
    } else if (FWhere.kind == Location::FileSystem) {
      dirPath = FWhere.path;
    } else {
      return E_FAIL;
    }
    if (!dirPath.empty()) {
      DIR* dir = opendir(dirPath.c_str());
      if (!dir) {
        // The desktop still shows Home and Computer when its folder cannot be read.
        if (FWhere.kind != Location::Desktop) return E_FAIL;
      } else {
        std::vector<std::pair<std::string, bool>> entries;
        while (dirent* e = readdir(dir)) {
          std::string name = e->d_name;
          if (name == "." || name == "..") continue;
          if (!hidden && name[0] == '.') continue;
          bool isDir = e->d_type == DT_DIR ||
                       ((e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) && IsDirectory(JoinPath(dirPath, name)));
          entries.emplace_back(std::move(name), isDir);
        }
        closedir(dir);
        // Directory order is the file system's; a stable order makes enumerations repeatable.
        std::sort(entries.begin(), entries.end());
        for (const auto& [name, isDir] : entries)
          if (isDir ? folders : files) AddItem(items, isDir ? ItemKind::Dir : ItemKind::File, name);
      }
    }
    Items = std::make_shared<IdListEnumerator>(std::move(items));
    return S_OK;
  }

  HRESULT BindToObject(LPCITEMIDLIST List, void*, const TGUID& Riid, std::shared_ptr<IInterface>& Object) override {
    Object.reset();
    if (!(Riid == IShellFolder::IID || Riid == IInterface::IID)) return E_NOINTERFACE;
    if (ILIsEmpty(List)) return E_INVALIDARG;
    Location where = Resolve(List);
    if (where.kind == Location::Invalid) return E_INVALIDARG;
    if (where.kind == Location::FileSystem && !IsDirectory(where.path)) return E_INVALIDARG;
    TIdListPtr abs(ILCombine(FAbsIdList.get(), List));
    if (!abs) return E_OUTOFMEMORY;
    Object = std::make_shared<ShellFolder>(std::move(where), std::move(abs));
    return S_OK;
  }

  HRESULT CompareIDs(LPARAM Column, LPCITEMIDLIST First, LPCITEMIDLIST Second) override {
    if (!First || !Second) return E_INVALIDARG;
    if (FWhere.kind == Location::Desktop && !ILIsEqual(First, Second)) {
      // A junction and the path it leads to are the same item.
      Location a = ResolveIdList(First), b = ResolveIdList(Second);
      if (a.kind == Location::FileSystem && b.kind == Location::FileSystem && a.path == b.path) return CompareResult(0);
    }
    return CompareResult(CompareLists(FWhere, static_cast<int>(Column & SHCIDS_COLUMNMASK), First, Second));
  }

  HRESULT CreateViewObject(HWND, const TGUID&, std::shared_ptr<IInterface>& Object) override {
    Object.reset();
    return E_NOTIMPL;
  }

  HRESULT GetAttributesOf(UINT Count, PCUITEMID_CHILD_ARRAY Items, SFGAOF* InOut) override {
    if (!InOut) return E_POINTER;
    if (Count == 0) {
      // Asked with the validate flag to look at the drives again: the mounts are read afresh
      // at every enumeration, so there is nothing to refresh.
      return S_OK;
    }
    if (!Items) return E_POINTER;
    SFGAOF common = *InOut;
    for (UINT i = 0; i < Count; ++i) {
      Location parent = FWhere;
      LPCITEMIDLIST item = Items[i];
      if (!item) return E_INVALIDARG;
      // A list of several items is asked of its last item's folder.
      for (LPCITEMIDLIST next = ILGetNext(item); next && !ILIsEmpty(next); next = ILGetNext(item)) {
        parent = ChildLocation(parent, item);
        item = next;
      }
      ItemInfo info = DescribeItem(parent, item);
      if (info.location.kind == Location::Invalid) return E_INVALIDARG;
      common &= ItemAttributes(info, *InOut);
    }
    *InOut = common;
    return S_OK;
  }

  HRESULT GetUIObjectOf(HWND Owner, UINT Count, PCUITEMID_CHILD_ARRAY Items, const TGUID& Riid, UINT*,
                        std::shared_ptr<IInterface>& Object) override {
    Object.reset();
    if (Count == 0 || !Items) return E_INVALIDARG;
    std::vector<ItemInfo> infos;
    for (UINT i = 0; i < Count; ++i) {
      ItemInfo info = DescribeItem(FWhere, Items[i]);
      if (info.location.kind == Location::Invalid) return E_INVALIDARG;
      infos.push_back(std::move(info));
    }
    if (Riid == IContextMenu::IID || Riid == IInterface::IID) {
      Object = MakeItemContextMenu(Owner, FAbsIdList.get(), Items, std::move(infos));
      return S_OK;
    }
    if (Riid == IDropTarget::IID) {
      if (Count != 1 || infos[0].location.kind != Location::FileSystem || !IsDirectory(infos[0].location.path))
        return E_NOINTERFACE;
      Object = MakeFolderDropTarget(Owner, infos[0].location.path);
      return S_OK;
    }
    if (Riid == IDataObject::IID) {
      Object = MakeItemsDataObject(FAbsIdList.get(), Count, Items, infos);
      return Object ? S_OK : E_OUTOFMEMORY;
    }
    return E_NOINTERFACE;
  }

  HRESULT GetDisplayNameOf(LPCITEMIDLIST Item, DWORD Flags, STRRET* Name) override {
    if (!Name) return E_POINTER;
    if (!Item) return E_INVALIDARG;
    // A list of several items is named by its last item.
    Location parent = FWhere;
    LPCITEMIDLIST last = Item;
    while (!ILIsEmpty(last) && !ILIsEmpty(ILGetNext(last))) {
      parent = ChildLocation(parent, last);
      last = ILGetNext(last);
    }
    bool parsing = Flags & SHGDN_FORPARSING, inFolder = Flags & SHGDN_INFOLDER;
    if (ILIsEmpty(last)) {
      // The folder itself (the desktop is asked so for its own name).
      if (parent.kind == Location::Desktop) {
        SetStrRet(Name, parsing ? CurrentNamespaceEnvironment(false).desktop : kDesktopName);
        return S_OK;
      }
      return E_INVALIDARG;
    }
    ItemInfo info = DescribeItem(parent, last);
    if (info.location.kind == Location::Invalid) return E_INVALIDARG;
    std::string text;
    if (parsing) {
      if (info.location.kind == Location::Computer)
        text = kComputerParsingName;
      else if (inFolder && info.ordinary())
        text = info.name;
      else
        text = info.location.path;
    } else {
      text = ItemDisplayName(info);
    }
    SetStrRet(Name, text);
    return S_OK;
  }

  HRESULT SetNameOf(HWND, LPCITEMIDLIST Item, const std::string& NewName, DWORD, LPITEMIDLIST* NewItem) override {
    if (NewItem) *NewItem = nullptr;
    if (!Item || ILIsEmpty(Item) || !ILIsEmpty(ILGetNext(Item))) return E_INVALIDARG;
    ItemInfo info = DescribeItem(FWhere, Item);
    if (!info.ordinary() || info.location.kind != Location::FileSystem) return E_ACCESSDENIED;
    if (NewName.empty() || NewName == "." || NewName == ".." || NewName.find('/') != std::string::npos ||
        NewName.find('\0') != std::string::npos)
      return HRESULT_FROM_WIN32(EINVAL);
    std::string folder = info.location.path.substr(0, info.location.path.size() - info.name.size());
    std::string target = folder + NewName;
    if (NewName != info.name) {
      // Never replaces another item: the kernel refuses an existing name atomically.
      if (syscall(SYS_renameat2, AT_FDCWD, info.location.path.c_str(), AT_FDCWD, target.c_str(), 1u /*RENAME_NOREPLACE*/) != 0)
        return HRESULT_FROM_WIN32(static_cast<DWORD>(errno));
    }
    if (NewItem) {
      *NewItem = MakeItem(info.kind, NewName);
      if (!*NewItem) return E_OUTOFMEMORY;
    }
    return S_OK;
  }

 private:
  Location Resolve(LPCITEMIDLIST Relative) const {
    Location where = FWhere;
    for (LPCITEMIDLIST p = Relative; !ILIsEmpty(p) && where.kind != Location::Invalid; p = ILGetNext(p))
      where = ChildLocation(where, p);
    return where;
  }

  static LPITEMIDLIST ParseRelative(const std::string& Base, const std::string& Name, HRESULT& Result) {
    std::string path = std::filesystem::path(JoinPath(Base, Name)).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::string base = std::filesystem::path(Base).lexically_normal().string();
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) {
      Result = HRESULT_FROM_WIN32(static_cast<DWORD>(errno));
      return nullptr;
    }
    std::string prefix = base == "/" ? "/" : base + "/";
    if (path.compare(0, prefix.size(), prefix) != 0 || path.size() == prefix.size()) {
      Result = E_INVALIDARG;
      return nullptr;
    }
    LPITEMIDLIST list = ILCreateEmpty();
    std::string rest = path.substr(prefix.size()), sofar = base;
    size_t at = 0;
    while (list && at <= rest.size()) {
      size_t slash = rest.find('/', at);
      std::string name = rest.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
      sofar = JoinPath(sofar, name);
      TIdListPtr item(MakeItem(IsDirectory(sofar) ? ItemKind::Dir : ItemKind::File, name));
      LPITEMIDLIST joined = item ? ILCombine(list, item.get()) : nullptr;
      ILFree(list);
      list = joined;
      if (slash == std::string::npos) break;
      at = slash + 1;
    }
    if (!list) Result = E_OUTOFMEMORY;
    return list;
  }

  static int CompareItems(const Location& Parent, int Column, LPCITEMIDLIST A, LPCITEMIDLIST B) {
    ItemKind ka = KindOf(A), kb = KindOf(B);
    int rank = KindRank(ka) - KindRank(kb);
    // Folders first, then files (Home and Computer ahead of the desktop's own folders).
    if (IsFolderKind(ka) != IsFolderKind(kb)) return IsFolderKind(ka) ? -1 : 1;
    if (rank != 0) return rank < 0 ? -1 : 1;
    if (Column > 0 && Column <= 3) {
      ItemInfo a = DescribeItem(Parent, A), b = DescribeItem(Parent, B);
      int order = 0;
      if (Column == 2) {
        order = AnsiCompareText(ItemTypeName(a), ItemTypeName(b));
      } else if (a.location.kind == Location::FileSystem && b.location.kind == Location::FileSystem) {
        FileFacts fa = Facts(a.location.path), fb = Facts(b.location.path);
        order = Column == 1 ? Sign(fa.size - fb.size) : Sign(fa.modified - fb.modified);
      }
      if (order != 0) return order < 0 ? -1 : 1;
    }
    std::string na = NameOf(A), nb = NameOf(B);
    int order = AnsiCompareText(na, nb);
    if (order == 0) order = na.compare(nb);
    if (order == 0) order = Bytes(A).compare(Bytes(B));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
  }

  static int CompareLists(const Location& Parent, int Column, LPCITEMIDLIST A, LPCITEMIDLIST B) {
    bool ea = ILIsEmpty(A), eb = ILIsEmpty(B);
    if (ea || eb) return ea == eb ? 0 : ea ? -1 : 1;
    int order = CompareItems(Parent, Column, A, B);
    if (order != 0) return order;
    return CompareLists(ChildLocation(Parent, A), Column, ILGetNext(A), ILGetNext(B));
  }

  Location FWhere;
  TIdListPtr FAbsIdList;
};

}  // namespace

Location ChildLocation(const Location& Parent, LPCITEMIDLIST Item) {
  Location child;
  ItemKind kind = KindOf(Item);
  switch (Parent.kind) {
    case Location::Desktop:
      if (kind == ItemKind::Computer) {
        child.kind = Location::Computer;
      } else if (kind == ItemKind::Junction) {
        child = {Location::FileSystem, CurrentNamespaceEnvironment(false).home};
      } else if (kind == ItemKind::Dir || kind == ItemKind::File) {
        child = {Location::FileSystem, JoinPath(CurrentNamespaceEnvironment(false).desktop, NameOf(Item))};
      }
      break;
    case Location::Computer:
      if (kind == ItemKind::Mount) child = {Location::FileSystem, NameOf(Item)};
      break;
    case Location::FileSystem:
      if (kind == ItemKind::Dir || kind == ItemKind::File) child = {Location::FileSystem, JoinPath(Parent.path, NameOf(Item))};
      break;
    case Location::Invalid:
      break;
  }
  return child;
}

Location ResolveIdList(LPCITEMIDLIST AbsIdList) {
  Location where{Location::Desktop, {}};
  for (LPCITEMIDLIST p = AbsIdList; !ILIsEmpty(p) && where.kind != Location::Invalid; p = ILGetNext(p))
    where = ChildLocation(where, p);
  return where;
}

LPITEMIDLIST ParsePath(const std::string& Path, HRESULT& Result) {
  Result = S_OK;
  std::string path = std::filesystem::path(Path).lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty() || path[0] != '/') {
    Result = E_INVALIDARG;
    return nullptr;
  }
  struct stat st{};
  if (lstat(path.c_str(), &st) != 0) {
    Result = HRESULT_FROM_WIN32(static_cast<DWORD>(errno));
    return nullptr;
  }
  // The deepest mount Computer shows that holds the path ("/" holds every one).
  std::string mount = "/";
  for (const MountEntry& m : ComputerMounts()) {
    if (m.path.size() > mount.size() && (path == m.path || path.compare(0, m.path.size() + 1, m.path + "/") == 0))
      mount = m.path;
  }
  TIdListPtr computer(MakeItem(ItemKind::Computer, "")), mountItem(MakeItem(ItemKind::Mount, mount));
  TIdListPtr list(ILCombine(computer.get(), mountItem.get()));
  if (!list) {
    Result = E_OUTOFMEMORY;
    return nullptr;
  }
  if (path == mount) return list.release();
  std::string prefix = mount == "/" ? "/" : mount + "/";
  std::string rest = path.substr(prefix.size()), sofar = mount;
  size_t at = 0;
  for (;;) {
    size_t slash = rest.find('/', at);
    std::string name = rest.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
    sofar = JoinPath(sofar, name);
    TIdListPtr item(MakeItem(IsDirectory(sofar) ? ItemKind::Dir : ItemKind::File, name));
    if (!item) {
      Result = E_OUTOFMEMORY;
      return nullptr;
    }
    list.reset(ILCombine(list.get(), item.get()));
    if (!list) {
      Result = E_OUTOFMEMORY;
      return nullptr;
    }
    if (slash == std::string::npos) break;
    at = slash + 1;
  }
  return list.release();
}

ItemInfo DescribeItem(const Location& Parent, LPCITEMIDLIST Item) {
  ItemInfo info;
  info.kind = KindOf(Item);
  info.name = NameOf(Item);
  info.location = ChildLocation(Parent, Item);
  return info;
}

SFGAOF ItemAttributes(const ItemInfo& Item, SFGAOF Asked) {
  SFGAOF a = 0;
  const std::string& path = Item.location.path;
  switch (Item.kind) {
    case ItemKind::Computer:
      // A file-system ancestor: the default tree shows it and finds the drives through it.
      a = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_STORAGEANCESTOR;
      break;
    case ItemKind::Junction:
    case ItemKind::Mount: {
      a = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_STORAGEANCESTOR | SFGAO_DROPTARGET |
          SFGAO_HASPROPSHEET;
      if ((Asked & SFGAO_HASSUBFOLDER) && HasSubfolder(path)) a |= SFGAO_HASSUBFOLDER;
      if (Item.kind == ItemKind::Mount) {
        UINT type = MountDriveType(path);
        if (type == DRIVE_REMOVABLE || type == DRIVE_CDROM) a |= SFGAO_REMOVABLE;
      }
      if (Facts(path).readOnly) a |= SFGAO_READONLY;
      break;
    }
    case ItemKind::Dir:
    case ItemKind::File: {
      FileFacts f = Facts(path);
      bool dir = f.exists ? f.dir : Item.kind == ItemKind::Dir;
      a = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
          SFGAO_HASPROPSHEET;
      if (dir) {
        a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_STORAGEANCESTOR | SFGAO_DROPTARGET | SFGAO_STORAGE;
        if ((Asked & SFGAO_HASSUBFOLDER) && HasSubfolder(path)) a |= SFGAO_HASSUBFOLDER;
      } else {
        a |= SFGAO_STREAM;
      }
      if (f.link) a |= SFGAO_LINK;
      if (f.readOnly) a |= SFGAO_READONLY;
      if (!Item.name.empty() && Item.name[0] == '.') a |= SFGAO_HIDDEN | SFGAO_GHOSTED;
      break;
    }
  }
  return a & Asked;
}

std::string ItemDisplayName(const ItemInfo& Item) {
  switch (Item.kind) {
    case ItemKind::Computer: return kComputerName;
    case ItemKind::Junction: return kHomeName;
    case ItemKind::Mount: return Item.name == "/" ? std::string(kFileSystemName) : rtl::ToValidUtf8(LastName(Item.name));
    case ItemKind::Dir:
    case ItemKind::File: return rtl::ToValidUtf8(Item.name);
  }
  return {};
}

std::string TypeNameForName(const std::string& Name, bool Folder) {
  if (Folder) return "File Folder";
  std::string ext = ExtractFileExt(Name);
  if (ext.size() <= 1) return "File";
  return UpperCase(rtl::ToValidUtf8(ext.substr(1))) + " File";
}

std::string ItemTypeName(const ItemInfo& Item) {
  switch (Item.kind) {
    case ItemKind::Computer:
    case ItemKind::Junction: return "System Folder";
    case ItemKind::Mount: {
      switch (MountDriveType(Item.location.path)) {
        case DRIVE_REMOVABLE: return "Removable Disk";
        case DRIVE_CDROM: return "CD Drive";
        case DRIVE_REMOTE: return "Network Drive";
        case DRIVE_RAMDISK: return "RAM Disk";
        default: return "Local Disk";
      }
    }
    case ItemKind::Dir:
    case ItemKind::File: return TypeNameForName(Item.name, IsDirectory(Item.location.path));
  }
  return {};
}

int IconIndexForName(const std::string& Name, bool Folder) {
  if (Folder) return kIconFolder;
  if (HasExtension(Name, AudioExtensions())) return kIconAudio;
  if (HasExtension(Name, ProgramExtensions())) return kIconProgram;
  return kIconFile;
}

int ItemIconIndex(const ItemInfo& Item, bool Open) {
  switch (Item.kind) {
    case ItemKind::Computer: return kIconComputer;
    case ItemKind::Junction: return kIconHome;
    case ItemKind::Mount: {
      switch (MountDriveType(Item.location.path)) {
        case DRIVE_REMOVABLE: return kIconDriveRemovable;
        case DRIVE_CDROM: return kIconDriveCdrom;
        case DRIVE_REMOTE: return kIconDriveRemote;
        default: return kIconDriveFixed;
      }
    }
    case ItemKind::Dir:
    case ItemKind::File: {
      FileFacts f = Facts(Item.location.path);
      if (f.exists ? f.dir : Item.kind == ItemKind::Dir) return Open ? kIconFolderOpen : kIconFolder;
      int index = IconIndexForName(Item.name, false);
      return index == kIconFile && f.executable ? kIconProgram : index;
    }
  }
  return kIconFile;
}

std::shared_ptr<IShellFolder> FolderAt(LPCITEMIDLIST AbsIdList) {
  Location where = ResolveIdList(AbsIdList);
  if (where.kind == Location::Invalid) return nullptr;
  if (where.kind == Location::FileSystem && !IsDirectory(where.path)) return nullptr;
  TIdListPtr abs(AbsIdList ? ILClone(AbsIdList) : ILCreateEmpty());
  if (!abs) return nullptr;
  return std::make_shared<ShellFolder>(std::move(where), std::move(abs));
}

std::shared_ptr<IShellFolder> DesktopFolder() { return FolderAt(nullptr); }

void SetStrRet(STRRET* Name, const std::string& Text) {
  Name->uType = STRRET_WSTR;
  Name->pOleStr = static_cast<char*>(CoTaskMemAlloc(Text.size() + 1));
  if (Name->pOleStr) std::memcpy(Name->pOleStr, Text.c_str(), Text.size() + 1);
}

}  // namespace shell
