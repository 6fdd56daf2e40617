#pragma once
// The item identifier list routines every shell control uses: allocating, copying, joining,
// splitting, comparing and naming lists; special folders and system icons; shortcuts (symbolic
// links here); the start-up probes; the two list classes TFcIdListArray and TFcPidlList; and
// the device-change window TFcDeviceChangeHandler shared by all shell controls.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Lists.h"
#include "platform/classes/Streams.h"
#include "platform/os/Window.h"
#include "platform/rtl/System.h"
#include "platform/shell/DeviceChange.h"
#include "platform/shell/Namespace.h"

// The re-posted device change (the system's broadcast answered at once, handled later).
constexpr UINT CM_FCDEVICECHANGE = WM_USER + 100;

// ---- Allocation and size ----------------------------------------------------------------------
void* ShellMemAlloc(size_t Bytes);
void ShellMemFree(void* Block);
IMalloc* ShellMalloc();
// Bytes including the terminator; 0 for nullptr.
UINT IdListSize(LPCITEMIDLIST List);
// A copy through Allocator (nullptr: the shell allocator); nullptr gives an empty list.
LPITEMIDLIST CopyIdList(IMalloc* Allocator, LPCITEMIDLIST List);
LPITEMIDLIST ConcatIdLists(IMalloc* Allocator, LPCITEMIDLIST First, LPCITEMIDLIST Second);

// ---- Folders, paths and names ------------------------------------------------------------------
HRESULT ShellGetDesktopFolder(std::shared_ptr<IShellFolder>& Folder);
// The desktop for nullptr or an empty list, else the desktop's binding of the list.
HRESULT ShellGetFolder(LPCITEMIDLIST AbsIdList, std::shared_ptr<IShellFolder>& Folder);
HRESULT ShellParsePath(const std::string& Path, LPITEMIDLIST& AbsIdList);
// "" when the list has no file-system path (nullptr is the desktop).
std::string ShellGetPathFromIdList(LPCITEMIDLIST List);
HRESULT ShellGetSpecialFolderIdList(HWND Owner, int Csidl, LPITEMIDLIST& List);
std::string ShellGetSpecialFolderPath(HWND Owner, int Csidl);
// The first CSIDL 0..50 whose location is the list; 50 when none.
int ShellFindCsidl(LPCITEMIDLIST AbsIdList);
// Kind 0 normal, 1 in its folder, 2 parsing, 3 in its folder for editing; "" on failure.
std::string ShellGetDisplayName(IShellFolder* Folder, LPCITEMIDLIST RelIdList, int Kind);
// The in-folder name of the list's last item; a failure to bind the parent raises EOleError.
std::string ShellGetItemName(LPCITEMIDLIST AbsIdList);
// The text of a returned name (a heap text is freed).
std::string StrRetToString(LPCITEMIDLIST List, STRRET& Name);
// 0, -1/1, or the desktop's order; MaxInt when the comparison fails.
int CompareIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second);

// ---- Icons and image lists -------------------------------------------------------------------
int ShellGetIconIndex(LPCITEMIDLIST List, UINT Flags);
int ShellGetIconIndexFromPath(const std::string& Path, UINT Flags);
// Raises EOleError when the folder does not exist.
int ShellGetSpecialFolderIconIndex(int Csidl, UINT Flags);
// Size 0 small (16 px), 1 large (32 px).
HIMAGELIST ShellGetSystemImageList(int Size);

// ---- Other routines ----------------------------------------------------------------------------
// The text plus C unless empty or already ending in C.
std::string EnsureTrailingChar(const std::string& S, char C);
// Without the trailing run of bytes 0..32 (a multi-byte character ends the run).
std::string TrimTrailingChars(const std::string& S);
// Appends the character at Pos (1-based; a whole UTF-8 sequence) to Target and moves Pos past it.
void AppendCharAt(int& Pos, const std::string& Source, std::string& Target);
// "%1", "%2" ... replaced; more than 50 texts raise "FormatStrPos: Too many substitution strings".
std::string FormatStrPos(const std::string& Pattern, const std::vector<std::string>& Args);
int HResultCode(HRESULT Result);

// What a shortcut (a symbolic link here) leads to.
struct TFcShortcutInfo {
  std::string Path;
  DWORD ValidFields = 0;  // 63 when every step succeeded
  std::string Description;
  std::string Arguments;
  std::string IconLocation;
  int IconIndex = 0;
  std::string WorkingDirectory;
  int ShowCmd = 1;
  WORD HotKey = 0;
  BYTE ResolveMode = 0;
  LPITEMIDLIST IdList = nullptr;  // the caller's, when asked for
};
HRESULT ResolveShortcut(const std::string& Path, TFcShortcutInfo& Info, bool WantIdList);

void ValidateDriveCache();
void BeginNoDriveValidate();
void EndNoDriveValidate();
bool IsWinNT();
struct TFcModuleVersion {
  DWORD MS = 0;
  DWORD LS = 0;
};
bool ReadModuleVersion(const std::string& Module, TFcModuleVersion& Version);
TFcModuleVersion ComCtlVersion();
TFcModuleVersion Shell32Version();
bool NetApiAvailable();
bool IsNetDriveConnected(char Drive);

// ---- The stored form of a folder locator ("Pidl") ------------------------------------------
// Byte 0 the kind: 0 an id list, any other a special folder; kind 1 holds the CSIDL in byte 1;
// kind 0 holds a 4-byte little-endian length n and then the n bytes of the list (its
// terminator included). A length of 0 is the desktop, read as CSIDL 0.
struct TFcLocatorRecord {
  bool IsCsidl = false;
  BYTE Csidl = 50;
  shell::TIdListPtr IdList;  // the caller's (kind 0)
};
// Raises EReadError for bytes that are no such record: too short, a length other than what
// follows, or items whose sizes do not lead to the terminator in the last two bytes.
TFcLocatorRecord ReadLocatorRecord(const std::string& Bytes);
std::string WriteLocatorRecord(bool IsCsidl, BYTE Csidl, LPCITEMIDLIST IdList);

// ---- TFcIdListArray -------------------------------------------------------------------------
// A read-only view of one absolute list handing out copies of its parts; each result lives
// until the next Items or LeadingItems call or the view's end.
class TFcIdListArray : public TObject {
 public:
  explicit TFcIdListArray(LPCITEMIDLIST List);
  ~TFcIdListArray() override;
  TFcIdListArray(const TFcIdListArray&) = delete;
  TFcIdListArray& operator=(const TFcIdListArray&) = delete;

  int Count() const { return FCount; }
  LPCITEMIDLIST ViewedList() const { return FList; }
  // A one-item list of item I; nullptr out of range.
  LPITEMIDLIST Items(int I);
  // The first Count - N items; nullptr with fewer than N.
  LPITEMIDLIST LeadingItems(int N);

 private:
  void SetLast(LPITEMIDLIST List);
  LPCITEMIDLIST FList;
  int FCount;
  LPITEMIDLIST FLast = nullptr;
};

// ---- TFcPidlList ----------------------------------------------------------------------------
enum TFcDuplicateRule { fdrIgnore, fdrAccept, fdrError };

class TFcPidlList : public TObject {
 public:
  TFcPidlList() = default;
  ~TFcPidlList() override;
  TFcPidlList(const TFcPidlList&) = delete;
  TFcPidlList& operator=(const TFcPidlList&) = delete;

  int Add(LPITEMIDLIST List) { return AddObject(List, nullptr); }
  // Raises Exception "TFcPidlList: Duplicate PIDL" for an equal list in a sorted list whose rule is fdrError.
  int AddObject(LPITEMIDLIST List, void* Object);
  int IndexOf(LPCITEMIDLIST List);
  // The first equal entry or the insertion point in Index; true when found.
  bool Find(LPCITEMIDLIST List, int& Index);
  LPITEMIDLIST Pidls(int I) const;
  void* Objects(int I) const;
  void SetObjects(int I, void* Object);
  void Delete(int I);
  void Clear();
  void Sort();
  int Count() const { return static_cast<int>(FEntries.size()); }
  int Capacity() const { return static_cast<int>(FEntries.capacity()); }
  void SetCapacity(int Value);

  bool KeepSorted() const { return FKeepSorted; }
  void SetKeepSorted(bool Value);
  TFcDuplicateRule DuplicateRule() const { return FDuplicateRule; }
  void SetDuplicateRule(TFcDuplicateRule Value) { FDuplicateRule = Value; }
  IShellFolder* CompareFolder() const { return FCompareFolder; }
  void SetCompareFolder(IShellFolder* Value) { FCompareFolder = Value; }
  IMalloc* FreeingAllocator() const { return FFreeingAllocator; }
  void SetFreeingAllocator(IMalloc* Value) { FFreeingAllocator = Value; }

 private:
  struct Entry {
    LPITEMIDLIST List;
    void* Object;
  };
  int Compare(LPCITEMIDLIST A, LPCITEMIDLIST B) const;
  void FreeEntry(Entry& E);
  std::vector<Entry> FEntries;
  bool FKeepSorted = false;
  TFcDuplicateRule FDuplicateRule = fdrError;
  IShellFolder* FCompareFolder = nullptr;
  IMalloc* FFreeingAllocator = nullptr;
};

// ---- TFcDeviceChangeHandler -------------------------------------------------------------------
// One hidden window shared by the shell controls: WM_DEVICECHANGE (posted by the mount
// poller) is answered at once and re-posted as CM_FCDEVICECHANGE, which calls every
// registered handler in order; an exception from one goes to the application's handler and
// the others still run.
using TFcDeviceChangeMethod = std::function<void(TObject* Sender, TMessage& Message)>;

class TFcDeviceChangeHandler : public TObject {
 public:
  TFcDeviceChangeHandler();
  ~TFcDeviceChangeHandler() override;
  TFcDeviceChangeHandler(const TFcDeviceChangeHandler&) = delete;
  TFcDeviceChangeHandler& operator=(const TFcDeviceChangeHandler&) = delete;

  // Owner names the registration (a control registers one method under its own address).
  void Register(const void* Owner, TFcDeviceChangeMethod Method);
  // Removes the first registration of Owner.
  void Unregister(const void* Owner);
  int Count() const { return static_cast<int>(FMethods.size()); }
  HWND Handle() const { return FHandle; }
  bool Listening() const { return FListening; }
  void SetListening(bool Value) { FListening = Value; }

 protected:
  virtual void WndProc(TMessage& Message);

 private:
  std::vector<std::pair<const void*, TFcDeviceChangeMethod>> FMethods;
  HWND FHandle = nullptr;
  bool FListening = true;
  std::unique_ptr<shell::MountPoller> FPoller;
};

// The shared handler, made on first call.
TFcDeviceChangeHandler* GetDeviceChangeHandler();
// Frees the shared handler (the program's end; tests).
void FreeDeviceChangeHandler();
// How exceptions of device-change methods are shown (the controls install the application's
// handler); without one they are written to stderr.
void SetDeviceChangeExceptionHandler(std::function<void(const std::exception&)> Handler);
