#pragma once
// The shell controls' unit. Its parts, each in its own block:
//   shared helpers   the clipboard-format list and its enumerator, the drop source, the
//                    builders of the two drag formats, the command-key texts, the item data
//                    of tree, list and combo, new folders, size, date and type texts, context
//                    menus with verbs and the built-in Send To sub-menu, and the
//                    folder-change watcher thread TChangeHandlerThread.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls/shell/FcShellUtils.h"
#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"
#include "platform/os/Menu.h"
#include "platform/shell/DragDrop.h"
#include "platform/shell/FolderWatch.h"
#include "platform/shell/Namespace.h"

class TControl;
class TWinControl;
class TScrollBar;

// ============================================================================================
// shared helpers
// ============================================================================================

// The folder change the watcher thread posts (wParam the slot, lParam 0).
constexpr UINT CM_FCFOLDERCHANGE = WM_USER + 101;

// ---- Clipboard formats of the drag data objects ----------------------------------------------
class TFcFormatEtcList : public TObject {
 public:
  TFcFormatEtcList() = default;
  ~TFcFormatEtcList() override;
  TFcFormatEtcList(const TFcFormatEtcList&) = delete;
  TFcFormatEtcList& operator=(const TFcFormatEtcList&) = delete;

  // One entry per format: content aspect, index -1, global memory, no device.
  void Add(const CLIPFORMAT* Formats, int Count);
  // Appends a copy (the device description deep-copied).
  void AddFormat(const FORMATETC& Format);
  // S_OK, DV_E_FORMATETC (another aspect or format) or DV_E_TYMED (no common medium).
  HRESULT QueryFormat(const FORMATETC& Request) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  const FORMATETC& Items(int I) const { return FItems[static_cast<size_t>(I)]; }
  // A deep copy of a format (its device description copied); FreeFormat frees it.
  static FORMATETC CopyFormat(const FORMATETC& Format);
  static void FreeFormat(FORMATETC& Format);

 private:
  std::vector<FORMATETC> FItems;
};

// An enumerator over a format list (the list must outlive it).
class TFcFormatEtcList_IEnumFormatEtc : public TObject, public IEnumFORMATETC {
 public:
  explicit TFcFormatEtcList_IEnumFormatEtc(const TFcFormatEtcList* Owner, int Position = 0)
      : FOwner(Owner), FPosition(Position) {}
  bool QueryInterface(const TGUID& IID, void** Obj) override;
  // Copies are shallow: a device description stays the list's.
  HRESULT Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) override;
  HRESULT Skip(ULONG Count) override;
  HRESULT Reset() override;
  HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Copy) override;

 private:
  const TFcFormatEtcList* FOwner;
  int FPosition;
};

// The drop source of the shell tree and list: the drag follows one mouse button.
class TDropSource_shlvtv : public TObject, public IDropSource {
 public:
  // Button 0 left, 1 right, 2 middle.
  explicit TDropSource_shlvtv(int Button);
  bool QueryInterface(const TGUID& IID, void** Obj) override;
  HRESULT QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
  HRESULT GiveFeedback(DWORD Effect) override;

 private:
  DWORD FButton;
};

// ---- Drag data --------------------------------------------------------------------------------
UINT CF_SHELLIDLIST();
// The "Shell IDList Array" block; nullptr when memory runs out.
HGLOBAL BuildIdListArray(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items);
// The file-drop block of the paths, sized from the names themselves.
HGLOBAL BuildFileDropData(const std::vector<std::string>& Paths);
// A copy of a global block; nullptr when it cannot be made.
HGLOBAL CopyGlobalMemory(HGLOBAL Block);
// The effects (DROPEFFECT_*) every item of the data object's id-list array allows.
DWORD GetCommonDropEffects(IDataObject* Data);
// Drops the data object onto the Send To folder's entry Name; failures raise EOleError.
void SendToTarget(const std::string& Name, IDataObject* Data);

// ---- Command-key texts --------------------------------------------------------------------
std::string KeyToText(WORD Key);
WORD TextToKey(const std::string& Text);
// The controls' command keys, converted from their texts on first use.
enum TFcShellCommandKey { sckSelectAll, sckDelete, sckCopy, sckCut, sckPaste, sckRefresh, sckRename };
WORD ShellCommandKey(TFcShellCommandKey Key);

// ---- Items ----------------------------------------------------------------------------------
// Makes "New Folder", "New Folder (2)" ... (then "fldr", "fldr2" ...) in ParentPath (""
// the current folder); Name gets the name made. A real error (not "already exists") ends at
// once with one message box naming it; false when nothing was made.
bool CreateNewFolder(const std::string& ParentPath, std::string& Name);
bool IsShellFolderItem(SFGAOF Attributes, bool FilesCanBeFolders);
// Whole kilobytes rounded up with thousands separators: "1,024KB".
std::string FormatSizeKB(int64_t Size);
// The size (files only) and modified texts of a file-system item; a mount root gives empty texts.
void GetFileSizeAndDate(LPCITEMIDLIST AbsIdList, std::string& SizeText, std::string& ModifiedText);
// "System Folder" outside the file system, else the shell's type name; "" on failure.
std::string GetTypeName(LPCITEMIDLIST AbsIdList, SFGAOF Attributes);

// A context menu of Count items of Folder and a pop-up menu it filled from FirstId up to
// 32767; false (nothing kept) on failure.
bool GetItemContextMenu(HWND Owner, IShellFolder* Folder, UINT Count, PCUITEMID_CHILD_ARRAY Items, UINT Flags,
                        UINT FirstId, std::shared_ptr<IContextMenu>& Menu, HMENU& Popup);
// The command offset of a verb in a menu filled from 1000 with CMF_EXPLORE; -1 when none.
int FindVerbCommand(IContextMenu* Menu, const std::string& Verb);
// Runs a verb text (looked up) or a command offset (Verb nullptr); nothing when the verb is
// not offered. Answers the command's result (S_FALSE when nothing ran).
HRESULT InvokeContextCommand(HWND Owner, IContextMenu* Menu, const char* Verb, UINT Offset = 0);
// Parent folder, parent list (nullptr for the desktop) and the last item of an absolute list
// (copies, the caller frees them); the desktop itself is split as its folder's parsed path.
HRESULT SplitAbsIdList(LPCITEMIDLIST AbsIdList, std::shared_ptr<IShellFolder>& ParentFolder,
                       LPITEMIDLIST& ParentIdList, LPITEMIDLIST& RelIdList);
HRESULT GetItemUIObject(HWND Owner, LPCITEMIDLIST AbsIdList, const TGUID& Riid, std::shared_ptr<IInterface>& Object);
std::shared_ptr<IDropTarget> GetDesktopDropTarget(HWND Owner);
// The folder that holds the desktop's files.
std::string CurrentDesktopDirectory();
void SetWindowStyleBits(HWND Wnd, LONG Bits, bool On);
HWND GetTopFormHandle(TControl* Control);
// Sleeps Ms milliseconds of the program's clock under the hourglass.
void WaitWithHourglass(int Ms);
[[noreturn]] void RaiseSysError(DWORD Code);

// The mouse-hover rectangle and time read at start (defaults 2, 2 and 400 ms).
int ShellHoverTime();
int ShellHoverWidth();
int ShellHoverHeight();
// The widths of the list's columns carried from folder to folder for the run of the program.
TMemoryStream* ShellColumnWidthStream();

// ---- Menu messages of an open shell context menu ------------------------------------------
// Each swallows exceptions; true when it handled the message.
bool HandleMenuInitPopup(IContextMenu* Menu, TMessage& Message);
bool HandleMenuMeasureItem(IContextMenu* Menu, TMessage& Message);
bool HandleMenuDrawItem(IContextMenu* Menu, TMessage& Message);
bool HandleMenuChar(IContextMenu* Menu, TMessage& Message);
// The help text of a shell command (1000 up), "" otherwise.
std::string HandleMenuSelect(IContextMenu* Menu, TMessage& Message);
// The name of built-in Send To entry Id (1, 2 ...) of the last filled sub-menu; "" when none.
std::string SendToEntryName(int Id);

// ---- Item data of tree nodes, list items and combo entries --------------------------------
class TFcShellTreeData : public TObject {
 public:
  explicit TFcShellTreeData(TComponent* Owner) : FOwner(Owner) {}
  ~TFcShellTreeData() override;
  TFcShellTreeData(const TFcShellTreeData&) = delete;
  TFcShellTreeData& operator=(const TFcShellTreeData&) = delete;

  // With a parent: RelIdList is copied. Without: the last item of the absolute list is the
  // relative list and the absolute list a copy.
  void Prepare(TFcShellTreeData* Parent, LPCITEMIDLIST IdList);
  TComponent* Owner() const { return FOwner; }
  TFcShellTreeData* Parent() const { return FParent; }
  LPCITEMIDLIST RelIdList() const { return FRelIdList.get(); }
  LPCITEMIDLIST AbsIdList();
  std::string PathName();
  bool CanRename();
  // The folder of the node's parent (the desktop for a root whose list has one item).
  std::shared_ptr<IShellFolder> ParentFolder();
  // The node's own folder (the desktop for the desktop node); nullptr when it is no folder.
  std::shared_ptr<IShellFolder> Folder();
  void SetFolder(std::shared_ptr<IShellFolder> Value) { FFolder = std::move(Value); }
  // After a rename: the relative list replaced (taken over), the absolute list rebuilt.
  void SetRelIdList(LPITEMIDLIST List);
  // Drops the cached absolute list and folders.
  void Invalidate();
  HRESULT GetUIObject(HWND Owner, const TGUID& Riid, std::shared_ptr<IInterface>& Object);

 private:
  TComponent* FOwner;
  TFcShellTreeData* FParent = nullptr;
  shell::TIdListPtr FRelIdList;
  shell::TIdListPtr FAbsIdList;
  std::shared_ptr<IShellFolder> FFolder;
  std::shared_ptr<IShellFolder> FParentFolder;
};

// The folder a shell list shows, shared by its items.
struct TFcShellListFolder {
  std::shared_ptr<IShellFolder> Folder;
  shell::TIdListPtr AbsIdList;  // nullptr: the desktop
  bool FilesCanBeFolders = true;
};

class TFcShellListData : public TObject {
 public:
  // RelIdList is taken over.
  TFcShellListData(TComponent* Owner, std::shared_ptr<TFcShellListFolder> ListFolder, LPITEMIDLIST RelIdList);
  ~TFcShellListData() override;
  TFcShellListData(const TFcShellListData&) = delete;
  TFcShellListData& operator=(const TFcShellListData&) = delete;

  TComponent* Owner() const { return FOwner; }
  LPCITEMIDLIST RelIdList() const { return FRelIdList.get(); }
  LPCITEMIDLIST AbsIdList();
  SFGAOF Attributes();
  bool IsFolder();
  // A symbolic link stands for a shortcut file.
  bool IsShortcut();
  bool CanRename();
  const std::string& CachedName();
  std::string FileName();
  std::string PathName();
  void SetRelIdList(LPITEMIDLIST List);
  void Invalidate();
  // Column 0 "", 1 size, 2 type, 3 modified, others "".
  std::string ColumnText(int Column);
  void LoadDetails();

 private:
  TComponent* FOwner;
  std::shared_ptr<TFcShellListFolder> FListFolder;
  shell::TIdListPtr FRelIdList;
  shell::TIdListPtr FAbsIdList;
  std::string FName;
  bool FNameValid = false;
  bool FAttributesValid = false;
  SFGAOF FAttributes = 0;
  bool FDetailsValid = false;
  std::string FSize, FType, FModified;
};

class TFcShellComboData : public TObject {
 public:
  explicit TFcShellComboData(TComponent* Owner) : FOwner(Owner) {}
  ~TFcShellComboData() override = default;
  TFcShellComboData(const TFcShellComboData&) = delete;
  TFcShellComboData& operator=(const TFcShellComboData&) = delete;

  // Copies of the lists; ParentIdList nullptr for an entry of the desktop, RelIdList nullptr
  // for the desktop entry itself.
  void Prepare(std::shared_ptr<IShellFolder> ParentFolder, LPCITEMIDLIST ParentIdList, LPCITEMIDLIST RelIdList);
  TComponent* Owner() const { return FOwner; }
  const std::shared_ptr<IShellFolder>& ParentFolder() const { return FParentFolder; }
  LPCITEMIDLIST ParentIdList() const { return FParentIdList.get(); }
  LPCITEMIDLIST RelIdList() const { return FRelIdList.get(); }
  LPCITEMIDLIST AbsIdList() const { return FAbsIdList.get(); }
  std::shared_ptr<IShellFolder> Folder();
  intptr_t Data = 0;

 private:
  TComponent* FOwner;
  std::shared_ptr<IShellFolder> FParentFolder;
  shell::TIdListPtr FParentIdList, FRelIdList, FAbsIdList;
  std::shared_ptr<IShellFolder> FFolder;
};

// ---- Folder-change watcher ------------------------------------------------------------------
// A worker thread that waits on the watched folders and posts NotifyMessage (wParam the slot,
// lParam 0) to NotifyWindow once per read batch and slot with changes. 63 slots; a folder the
// kernel stops watching (deleted, unmounted) frees its slot.
class TChangeHandlerThread : public TObject {
 public:
  static constexpr int kSlotCount = 63;
  TChangeHandlerThread(HWND NotifyWindow, UINT NotifyMessage);
  // Ends the worker and closes every watch and descriptor.
  ~TChangeHandlerThread() override;
  TChangeHandlerThread(const TChangeHandlerThread&) = delete;
  TChangeHandlerThread& operator=(const TChangeHandlerThread&) = delete;

  // Filter: FILE_NOTIFY_CHANGE_DIR_NAME (2) folders created, deleted or moved, plus
  // FILE_NOTIFY_CHANGE_FILE_NAME (3) files. WatchSubtree cannot be had (one folder is
  // watched). False for an empty path, a folder that cannot be watched or no free slot (the
  // new watch is removed again).
  bool AddWatch(const std::string& Path, DWORD NotifyFilter, int& Slot, bool WatchSubtree);
  void RemoveAllWatches();
  // The number of armed slots (for tests).
  int WatchCount();

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};
