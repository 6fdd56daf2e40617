#include "controls/shell/FcShellUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "platform/rtl/Strings.h"
#include "platform/shell/ShellFolders.h"

namespace {

constexpr int kNoCsidl = 50;
constexpr int kMaxSubstitutions = 50;

int gNoDriveValidate = 0;
std::function<void(const std::exception&)> gDeviceChangeExceptionHandler;

// The shell allocator, asked for once.
IMalloc* Allocator() {
  static std::shared_ptr<IMalloc> malloc = [] {
    std::shared_ptr<IMalloc> m;
    SHGetMalloc(m);
    return m;
  }();
  return malloc.get();
}

IMalloc* OrShell(IMalloc* Given) { return Given ? Given : Allocator(); }

LPITEMIDLIST AllocCopy(IMalloc* Allocator, const void* Bytes, size_t Size) {
  auto* list = static_cast<LPITEMIDLIST>(Allocator->Alloc(Size));
  if (list) std::memcpy(list, Bytes, Size);
  return list;
}

// A UTF-8 lead byte's sequence length (1 for anything else).
size_t SequenceLength(unsigned char Lead) {
  if (Lead >= 0xF0 && Lead <= 0xF4) return 4;
  if (Lead >= 0xE0) return Lead <= 0xEF ? 3 : 1;
  if (Lead >= 0xC2) return 2;
  return 1;
}

// The shared handler. It is freed by FreeDeviceChangeHandler, not at exit: its window
// belongs to the window manager, which may be gone by then.
TFcDeviceChangeHandler* gSharedHandler = nullptr;

}  // namespace

// ---- Allocation and size ------------------------------------------------------------------------

void* ShellMemAlloc(size_t Bytes) { return Allocator()->Alloc(Bytes); }
void ShellMemFree(void* Block) {
  if (Block) Allocator()->Free(Block);
}
IMalloc* ShellMalloc() { return Allocator(); }

UINT IdListSize(LPCITEMIDLIST List) { return ILGetSize(List); }

LPITEMIDLIST CopyIdList(IMalloc* Allocator, LPCITEMIDLIST List) {
  static const BYTE kEmpty[2] = {0, 0};
  if (!List) return AllocCopy(OrShell(Allocator), kEmpty, 2);
  return AllocCopy(OrShell(Allocator), List, ILGetSize(List));
}

LPITEMIDLIST ConcatIdLists(IMalloc* Allocator, LPCITEMIDLIST First, LPCITEMIDLIST Second) {
  size_t a = First ? ILGetSize(First) - 2 : 0, b = Second ? ILGetSize(Second) - 2 : 0;
  auto* list = static_cast<BYTE*>(OrShell(Allocator)->Alloc(a + b + 2));
  if (!list) return nullptr;
  if (a) std::memcpy(list, First, a);
  if (b) std::memcpy(list + a, Second, b);
  list[a + b] = list[a + b + 1] = 0;
  return reinterpret_cast<LPITEMIDLIST>(list);
}

// ---- Folders, paths and names ---------------------------------------------------------------------

HRESULT ShellGetDesktopFolder(std::shared_ptr<IShellFolder>& Folder) { return SHGetDesktopFolder(Folder); }

HRESULT ShellGetFolder(LPCITEMIDLIST AbsIdList, std::shared_ptr<IShellFolder>& Folder) {
  Folder.reset();
  std::shared_ptr<IShellFolder> desktop;
  HRESULT result = SHGetDesktopFolder(desktop);
  if (FAILED(result)) return result;
  if (shell::ILIsEmpty(AbsIdList)) {
    Folder = desktop;
    return S_OK;
  }
  std::shared_ptr<IInterface> bound;
  result = desktop->BindToObject(AbsIdList, nullptr, IShellFolder::IID, bound);
  if (SUCCEEDED(result)) Folder = std::dynamic_pointer_cast<IShellFolder>(bound);
  return SUCCEEDED(result) && !Folder ? E_NOINTERFACE : result;
}

HRESULT ShellParsePath(const std::string& Path, LPITEMIDLIST& AbsIdList) {
  AbsIdList = nullptr;
  std::shared_ptr<IShellFolder> desktop;
  HRESULT result = SHGetDesktopFolder(desktop);
  if (FAILED(result)) return result;
  LPITEMIDLIST list = nullptr;
  try {
    result = desktop->ParseDisplayName(nullptr, nullptr, Path, nullptr, &list, nullptr);
  } catch (...) {
    ILFree(list);
    throw;
  }
  if (SUCCEEDED(result)) AbsIdList = list;
  return result;
}

std::string ShellGetPathFromIdList(LPCITEMIDLIST List) {
  std::string path;
  return shell::PathFromIdList(List, path) ? path : std::string();
}

HRESULT ShellGetSpecialFolderIdList(HWND Owner, int Csidl, LPITEMIDLIST& List) {
  List = nullptr;
  return SHGetSpecialFolderLocation(Owner, Csidl & 0x7F, &List);
}

std::string ShellGetSpecialFolderPath(HWND Owner, int Csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(ShellGetSpecialFolderIdList(Owner, Csidl, list))) return {};
  shell::TIdListPtr owned(list);
  return ShellGetPathFromIdList(list);
}

int ShellFindCsidl(LPCITEMIDLIST AbsIdList) {
  for (int csidl = 0; csidl < kNoCsidl; ++csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) continue;
    shell::TIdListPtr owned(list);
    if (CompareIdLists(list, AbsIdList) == 0) return csidl;
  }
  return kNoCsidl;
}

std::string ShellGetDisplayName(IShellFolder* Folder, LPCITEMIDLIST RelIdList, int Kind) {
  static const DWORD kFlags[4] = {SHGDN_NORMAL, SHGDN_INFOLDER, SHGDN_FORPARSING, SHGDN_INFOLDER | SHGDN_FOREDITING};
  std::shared_ptr<IShellFolder> desktop;
  if (!Folder) {
    if (FAILED(SHGetDesktopFolder(desktop))) return {};
    Folder = desktop.get();
  }
  DWORD flags = kFlags[Kind & 3];
  STRRET name;
  if (SUCCEEDED(Folder->GetDisplayNameOf(RelIdList, flags, &name))) return StrRetToString(RelIdList, name);
  // Asked again with the text expected in place, as some folders only answer so.
  STRRET again;
  again.uType = STRRET_CSTR;
  if (SUCCEEDED(Folder->GetDisplayNameOf(RelIdList, flags, &again))) return StrRetToString(RelIdList, again);
  return {};
}

std::string ShellGetItemName(LPCITEMIDLIST AbsIdList) {
  if (shell::ILCount(AbsIdList) <= 1) return ShellGetDisplayName(nullptr, AbsIdList, 1);
  TFcIdListArray parts(AbsIdList);
  LPITEMIDLIST parentList = CopyIdList(nullptr, parts.LeadingItems(1));
  shell::TIdListPtr parent(parentList);
  std::shared_ptr<IShellFolder> folder;
  OleCheck(ShellGetFolder(parentList, folder));
  return ShellGetDisplayName(folder.get(), ILFindLastID(AbsIdList), 1);
}

std::string StrRetToString(LPCITEMIDLIST List, STRRET& Name) {
  switch (Name.uType) {
    case STRRET_WSTR: {
      std::string text = Name.pOleStr ? Name.pOleStr : "";
      CoTaskMemFree(Name.pOleStr);
      Name.pOleStr = nullptr;
      return text;
    }
    case STRRET_OFFSET: {
      if (!List) return {};
      const char* at = reinterpret_cast<const char*>(List) + Name.uOffset;
      return std::string(at, strnlen(at, ILGetSize(List) > Name.uOffset ? ILGetSize(List) - Name.uOffset : 0));
    }
    case STRRET_CSTR: return std::string(Name.cStr, strnlen(Name.cStr, sizeof Name.cStr));
    default: return {};
  }
}

int CompareIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second) {
  if (!First && !Second) return 0;
  if (!First || !Second) return -1;
  bool emptyA = shell::ILIsEmpty(First), emptyB = shell::ILIsEmpty(Second);
  if (emptyA && emptyB) return 0;
  if (emptyA || emptyB) return -1;
  std::shared_ptr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop))) return INT_MAX;
  HRESULT result = desktop->CompareIDs(0, First, Second);
  if (FAILED(result)) return INT_MAX;
  return static_cast<int16_t>(HRESULT_CODE(result));
}

// ---- Icons and image lists ----------------------------------------------------------------------

int ShellGetIconIndex(LPCITEMIDLIST List, UINT Flags) {
  static const BYTE kEmpty[2] = {0, 0};
  try {
    SHFILEINFOA info;
    LPCITEMIDLIST list = List ? List : reinterpret_cast<LPCITEMIDLIST>(kEmpty);
    if (!SHGetFileInfoA(reinterpret_cast<const char*>(list), 0, &info, sizeof info, Flags | SHGFI_PIDL | SHGFI_SYSICONINDEX))
      return 0;
    return info.iIcon;
  } catch (...) {
    return 0;
  }
}

int ShellGetIconIndexFromPath(const std::string& Path, UINT Flags) {
  SHFILEINFOA info;
  if (!SHGetFileInfoA(Path.c_str(), 0, &info, sizeof info, Flags | SHGFI_SYSICONINDEX)) return 0;
  return info.iIcon;
}

int ShellGetSpecialFolderIconIndex(int Csidl, UINT Flags) {
  LPITEMIDLIST list = nullptr;
  OleCheck(ShellGetSpecialFolderIdList(nullptr, Csidl, list));
  shell::TIdListPtr owned(list);
  return ShellGetIconIndex(list, Flags);
}

HIMAGELIST ShellGetSystemImageList(int Size) {
  // The system lists carry the share and link overlays from the start.
  return shell::SystemImageList((Size & 0x7F) == 0 ? 16 : 32);
}

// ---- Other routines -------------------------------------------------------------------------------

std::string EnsureTrailingChar(const std::string& S, char C) {
  // In UTF-8 no byte of a multi-byte character equals an ASCII character, so the last byte
  // alone tells.
  if (S.empty() || S.back() == C) return S;
  return S + C;
}

std::string TrimTrailingChars(const std::string& S) {
  size_t end = S.size();
  while (end > 0 && static_cast<unsigned char>(S[end - 1]) <= 32) --end;
  return S.substr(0, end);
}

void AppendCharAt(int& Pos, const std::string& Source, std::string& Target) {
  if (Pos < 1 || static_cast<size_t>(Pos) > Source.size()) return;
  size_t at = static_cast<size_t>(Pos - 1);
  size_t length = std::min(SequenceLength(static_cast<unsigned char>(Source[at])), Source.size() - at);
  Target.append(Source, at, length);
  Pos += static_cast<int>(length);
}

std::string FormatStrPos(const std::string& Pattern, const std::vector<std::string>& Args) {
  if (Args.size() > kMaxSubstitutions) throw Exception("FormatStrPos: Too many substitution strings");
  std::string out;
  for (size_t i = 0; i < Pattern.size(); ++i) {
    if (Pattern[i] == '%' && i + 1 < Pattern.size() && std::isdigit(static_cast<unsigned char>(Pattern[i + 1]))) {
      size_t j = i + 1;
      int n = 0;
      while (j < Pattern.size() && std::isdigit(static_cast<unsigned char>(Pattern[j])) && n < 100) n = n * 10 + (Pattern[j++] - '0');
      if (n >= 1 && static_cast<size_t>(n) <= Args.size()) {
        out += Args[static_cast<size_t>(n - 1)];
        i = j - 1;
        continue;
      }
    } else if (Pattern[i] == '%' && i + 1 < Pattern.size() && Pattern[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    out += Pattern[i];
  }
  return out;
}

int HResultCode(HRESULT Result) { return HRESULT_CODE(Result); }

HRESULT ResolveShortcut(const std::string& Path, TFcShortcutInfo& Info, bool WantIdList) {
  Info.IdList = nullptr;
  Info.ValidFields = 0;
  struct stat st{};
  if (lstat(Path.c_str(), &st) != 0) return HRESULT_FROM_WIN32(static_cast<DWORD>(errno));
  if (!S_ISLNK(st.st_mode)) return E_FAIL;
  std::vector<char> buffer(static_cast<size_t>(PATH_MAX) + 1);
  ssize_t got = readlink(Path.c_str(), buffer.data(), buffer.size() - 1);
  if (got < 0) return HRESULT_FROM_WIN32(static_cast<DWORD>(errno));
  std::string target(buffer.data(), static_cast<size_t>(got));
  // A relative target is relative to the link's folder.
  if (!target.empty() && target[0] != '/') {
    size_t slash = Path.find_last_of('/');
    target = (slash == std::string::npos ? std::string(".") : Path.substr(0, slash)) + "/" + target;
  }
  Info.Path = target;
  Info.Description.clear();
  Info.Arguments.clear();
  Info.IconLocation.clear();
  Info.IconIndex = 0;
  size_t slash = target.find_last_of('/');
  Info.WorkingDirectory = slash == std::string::npos ? std::string() : target.substr(0, slash);
  Info.ShowCmd = 1;
  Info.HotKey = 0;
  if (WantIdList) {
    HRESULT result = ShellParsePath(target, Info.IdList);
    if (FAILED(result)) return result;
  }
  Info.ValidFields = 63;
  return S_OK;
}

void ValidateDriveCache() {
  if (gNoDriveValidate > 0) return;
  LPITEMIDLIST list = nullptr;
  OleCheck(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &list));
  shell::TIdListPtr owned(list);
  std::shared_ptr<IShellFolder> computer;
  OleCheck(ShellGetFolder(list, computer));
  SFGAOF attributes = SFGAO_VALIDATE;
  computer->GetAttributesOf(0, nullptr, &attributes);
}

void BeginNoDriveValidate() { ++gNoDriveValidate; }
void EndNoDriveValidate() {
  if (gNoDriveValidate > 0) --gNoDriveValidate;
}

bool IsWinNT() { return Win32Platform() == VER_PLATFORM_WIN32_NT; }

// The libraries' versions are those whose newer behaviour the controls follow.
bool ReadModuleVersion(const std::string& Module, TFcModuleVersion& Version) {
  std::string name = LowerCase(Module);
  if (name == "comctl32.dll") {
    Version = ComCtlVersion();
    return true;
  }
  if (name == "shell32.dll") {
    Version = Shell32Version();
    return true;
  }
  Version = {};
  return false;
}

TFcModuleVersion ComCtlVersion() { return {0x00060000u, 0}; }
TFcModuleVersion Shell32Version() { return {0x00060000u, 0}; }

// No network library here: connections are the mounts', always there while mounted.
bool NetApiAvailable() { return false; }
bool IsNetDriveConnected(char) { return true; }

// ---- Locator records -------------------------------------------------------------------------

TFcLocatorRecord ReadLocatorRecord(const std::string& Bytes) {
  TFcLocatorRecord record;
  if (Bytes.empty()) throw EReadError("Invalid folder location: no data");
  if (Bytes[0] != 0) {
    if (Bytes.size() != 2) throw EReadError("Invalid folder location: a special folder takes two bytes");
    record.IsCsidl = true;
    record.Csidl = static_cast<BYTE>(Bytes[1]);
    return record;
  }
  if (Bytes.size() < 5) throw EReadError("Invalid folder location: no length");
  uint32_t length;
  std::memcpy(&length, Bytes.data() + 1, 4);
  if (length != Bytes.size() - 5) throw EReadError("Invalid folder location: the length does not match the data");
  if (length == 0) {
    record.IsCsidl = true;
    record.Csidl = CSIDL_DESKTOP;
    return record;
  }
  if (!shell::IsValidIdList(Bytes.data() + 5, length)) throw EReadError("Invalid folder location: a broken item list");
  auto* list = static_cast<LPITEMIDLIST>(ShellMemAlloc(length));
  if (!list) OleError(E_OUTOFMEMORY);
  std::memcpy(list, Bytes.data() + 5, length);
  record.IdList.reset(list);
  return record;
}

std::string WriteLocatorRecord(bool IsCsidl, BYTE Csidl, LPCITEMIDLIST IdList) {
  if (IsCsidl) return std::string{'\x01', static_cast<char>(Csidl)};
  uint32_t length = ILGetSize(IdList);
  std::string bytes(5, '\0');
  std::memcpy(bytes.data() + 1, &length, 4);
  if (IdList) bytes.append(reinterpret_cast<const char*>(IdList), length);
  return bytes;
}

// ---- TFcIdListArray -------------------------------------------------------------------------------

TFcIdListArray::TFcIdListArray(LPCITEMIDLIST List) : FList(List), FCount(shell::ILCount(List)) {}

TFcIdListArray::~TFcIdListArray() { SetLast(nullptr); }

void TFcIdListArray::SetLast(LPITEMIDLIST List) {
  ShellMemFree(FLast);
  FLast = List;
}

LPITEMIDLIST TFcIdListArray::Items(int I) {
  SetLast(nullptr);
  if (!FList || I < 0 || (I >= FCount && FCount > 0)) return nullptr;
  LPCITEMIDLIST item = FList;
  for (int i = 0; i < I && !shell::ILIsEmpty(item); ++i) item = ILGetNext(item);
  SetLast(ILCloneFirst(item));
  return FLast;
}

LPITEMIDLIST TFcIdListArray::LeadingItems(int N) {
  SetLast(nullptr);
  if (!FList || FCount < N) return nullptr;
  LPCITEMIDLIST end = FList;
  for (int i = 0; i < FCount - N; ++i) end = ILGetNext(end);
  size_t bytes = static_cast<size_t>(reinterpret_cast<const BYTE*>(end) - reinterpret_cast<const BYTE*>(FList));
  auto* list = static_cast<BYTE*>(ShellMemAlloc(bytes + 2));
  if (!list) return nullptr;
  std::memcpy(list, FList, bytes);
  list[bytes] = list[bytes + 1] = 0;
  SetLast(reinterpret_cast<LPITEMIDLIST>(list));
  return FLast;
}

// ---- TFcPidlList ----------------------------------------------------------------------------------

TFcPidlList::~TFcPidlList() { Clear(); }

int TFcPidlList::Compare(LPCITEMIDLIST A, LPCITEMIDLIST B) const {
  if (FCompareFolder) {
    HRESULT result = FCompareFolder->CompareIDs(0, A, B);
    return static_cast<int16_t>(HRESULT_CODE(result));
  }
  UINT sa = ILGetSize(A), sb = ILGetSize(B);
  int order = std::memcmp(A, B, std::min(sa, sb));
  if (order != 0) return order;
  return sa < sb ? -1 : sa > sb ? 1 : 0;
}

void TFcPidlList::FreeEntry(Entry& E) {
  if (FFreeingAllocator && E.List) FFreeingAllocator->Free(E.List);
  E.List = nullptr;
}

bool TFcPidlList::Find(LPCITEMIDLIST List, int& Index) {
  int low = 0, high = Count() - 1;
  bool found = false;
  while (low <= high) {
    int middle = (low + high) / 2;
    int order = Compare(FEntries[static_cast<size_t>(middle)].List, List);
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (order == 0) {
        found = true;
        if (FDuplicateRule != fdrAccept) low = middle;
      }
    }
  }
  Index = low;
  return found;
}

int TFcPidlList::AddObject(LPITEMIDLIST List, void* Object) {
  int index = Count();
  if (FKeepSorted && Find(List, index)) {
    if (FDuplicateRule == fdrIgnore) return index;
    if (FDuplicateRule == fdrError) throw Exception("TFcPidlList: Duplicate PIDL");
  }
  FEntries.insert(FEntries.begin() + index, Entry{List, Object});
  return index;
}

int TFcPidlList::IndexOf(LPCITEMIDLIST List) {
  if (FKeepSorted) {
    int index = 0;
    return Find(List, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(FEntries[static_cast<size_t>(i)].List, List) == 0) return i;
  return -1;
}

LPITEMIDLIST TFcPidlList::Pidls(int I) const { return FEntries.at(static_cast<size_t>(I)).List; }
void* TFcPidlList::Objects(int I) const { return FEntries.at(static_cast<size_t>(I)).Object; }
void TFcPidlList::SetObjects(int I, void* Object) { FEntries.at(static_cast<size_t>(I)).Object = Object; }

void TFcPidlList::Delete(int I) {
  Entry& e = FEntries.at(static_cast<size_t>(I));
  FreeEntry(e);
  FEntries.erase(FEntries.begin() + I);
}

void TFcPidlList::Clear() {
  for (Entry& e : FEntries) FreeEntry(e);
  FEntries.clear();
}

void TFcPidlList::Sort() {
  std::stable_sort(FEntries.begin(), FEntries.end(),
                   [this](const Entry& a, const Entry& b) { return Compare(a.List, b.List) < 0; });
}

void TFcPidlList::SetCapacity(int Value) {
  if (Value < Count()) throw EListError("List capacity out of bounds (" + std::to_string(Value) + ")");
  FEntries.reserve(static_cast<size_t>(Value));
}

void TFcPidlList::SetKeepSorted(bool Value) {
  if (Value && !FKeepSorted) Sort();
  FKeepSorted = Value;
}

// ---- TFcDeviceChangeHandler -------------------------------------------------------------------

TFcDeviceChangeHandler::TFcDeviceChangeHandler() {
  FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  try {
    FPoller = std::make_unique<shell::MountPoller>(FHandle);
  } catch (const Exception&) {
    // Without a readable mount table no device changes are heard; the controls still work.
  }
}

TFcDeviceChangeHandler::~TFcDeviceChangeHandler() {
  FPoller.reset();
  DeallocateHWnd(FHandle);
}

void TFcDeviceChangeHandler::Register(const void* Owner, TFcDeviceChangeMethod Method) {
  FMethods.emplace_back(Owner, std::move(Method));
}

void TFcDeviceChangeHandler::Unregister(const void* Owner) {
  for (auto it = FMethods.begin(); it != FMethods.end(); ++it)
    if (it->first == Owner) {
      FMethods.erase(it);
      return;
    }
}

void TFcDeviceChangeHandler::WndProc(TMessage& Message) {
  if (Message.Msg == WM_DEVICECHANGE) {
    PostMessage(FHandle, CM_FCDEVICECHANGE, Message.WParam, Message.LParam);
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (Message.Msg == CM_FCDEVICECHANGE) {
    if (!FListening) return;
    // A copy: a method may register or unregister others.
    auto methods = FMethods;
    for (auto& entry : methods) {
      try {
        entry.second(this, Message);
      } catch (const std::exception& e) {
        if (gDeviceChangeExceptionHandler)
          gDeviceChangeExceptionHandler(e);
        else
          std::cerr << "Device change: " << e.what() << '\n';
      }
    }
    return;
  }
  Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

TFcDeviceChangeHandler* GetDeviceChangeHandler() {
  if (!gSharedHandler) gSharedHandler = new TFcDeviceChangeHandler();
  return gSharedHandler;
}

void FreeDeviceChangeHandler() {
  delete gSharedHandler;
  gSharedHandler = nullptr;
}

void SetDeviceChangeExceptionHandler(std::function<void(const std::exception&)> Handler) {
  gDeviceChangeExceptionHandler = std::move(Handler);
}
