#pragma once
// The shell controls' unit. Its parts, each in its own block:
//   shared helpers   the clipboard-format list and its enumerator, the drop source, the
//                    builders of the two drag formats, the command-key texts, the item data
//                    of tree, list and combo, new folders, size, date and type texts, context
//                    menus with verbs and the built-in Send To sub-menu, and the
//                    folder-change watcher thread TChangeHandlerThread.
//   folder locator   TFcShellLocator, a folder by id list or special-folder number.
//   shell tree, shell list, shell combo, shell drag and drop   the controls and their data
//                    objects and drop targets (FcShellTree.cpp, FcShellList.cpp,
//                    FcShellCombo.cpp, FcShellDragDrop.cpp).
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
#include "controls/input/FcCmboBx.h"
#include "controls/shell/FcListVw.h"
#include "controls/shell/FcTreeVw.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/shell/DeviceChange.h"

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

// ============================================================================================
// folder locator
// ============================================================================================

// The hourglass while long shell work runs; the cursor before comes back at the scope's end.
class TFcHourglass {
 public:
  TFcHourglass();
  ~TFcHourglass();
  TFcHourglass(const TFcHourglass&) = delete;
  TFcHourglass& operator=(const TFcHourglass&) = delete;

 private:
  int FOld;
};

// No special folder: the Csidl of a locator that holds an id list.
constexpr BYTE kNoCsidl = 50;

// Names one folder, by its absolute id list (Kind 0) or by special-folder number (Kind 1),
// whose location is fetched once and kept. An empty locator (an id list locator without a
// list) names the desktop. Stored as the binary property "Pidl": the kind byte, then the CSIDL
// byte (kind 1) or a 4-byte little-endian length and the list's bytes (kind 0).
class TFcShellLocator : public TPersistent {
 public:
  TFcShellLocator();
  ~TFcShellLocator() override;

  BYTE Kind() const { return FKind; }
  BYTE Csidl() const { return FCsidl; }
  bool IsEmpty() const { return FKind == 0 && !FIdList; }
  // The list (nullptr for an empty locator); a CSIDL locator looks its folder up once.
  LPCITEMIDLIST GetIdList();
  // Becomes an id list locator holding a copy (the desktop's list is held as none).
  void SetIdList(LPCITEMIDLIST List);
  void SetCsidl(BYTE Value);
  // Parses Path in the desktop; a path that names nothing empties the locator.
  void SetPathName(const std::string& Path);
  std::string GetPathName();
  void Clear() { SetIdList(nullptr); }
  bool SameLocation(TFcShellLocator* Other);
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnLocationChange;

  // The stored record ("Pidl"); ReadData raises EReadError for a record whose list is cut
  // short or whose item sizes do not lead to the terminator.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

 protected:
  virtual void Changed();
  void DefineProperties(TFiler* Filer) override;

 private:
  BYTE FKind = 0;
  BYTE FCsidl = kNoCsidl;
  shell::TIdListPtr FIdList;
};

// ============================================================================================
// shell tree
// ============================================================================================

class TFcCustomShellList;
class TFcCustomShellCombo;

// Private messages of the shell tree, list and combo (the watcher's is CM_FCFOLDERCHANGE).
constexpr UINT CM_FCRENAMENEWFOLDER = WM_USER + 102;
constexpr UINT CM_FCFILLEMPTY = WM_USER + 103;

enum TFcShellTreeOption {
  stoAutoFill, stoVirtualFolders, stoDesignInteractive, stoDefaultKeyHandling, stoContextMenus, stoDynamicRefresh,
  stoIncludeNonFolders, stoOleDrag, stoOleDrop, stoShowHidden
};
const classes::TEnumInfo& EnumInfo(TFcShellTreeOption);
using TFcShellTreeOptions = TSet<TFcShellTreeOption>;
inline constexpr TFcShellTreeOptions kDefaultShellTreeOptions = TFcShellTreeOptions::FromBits(955);

using TFcShAddItemEvent = std::function<void(TObject* Sender, IShellFolder* ParentFolder, LPCITEMIDLIST ParentAbsIdList,
                                             LPCITEMIDLIST ItemRelIdList, SFGAOF Attribs, bool& AllowAdd)>;
using TFcShTreeDeleteItemEvent = std::function<void(TObject* Sender, TTreeNode* Node, TFcShellTreeData* TreeData)>;
using TFcShTreeInsertItemEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TFcShPopupHintEvent = std::function<void(TObject* Sender, const std::string& Hint)>;

// The shell namespace as a tree: a root node for BaseFolder (the desktop by default) and below
// it each folder's folders, filled when a node is first expanded. The selected node and
// SelectedLocation go together; a linked list and combo follow the selection. The tree watches
// the folders of its filled nodes and refreshes them after a change.
class TFcCustomShellTree : public TFcCustomTreeView {
 public:
  explicit TFcCustomShellTree(TComponent* AOwner);
  ~TFcCustomShellTree() override;

  TFcShellLocator* BaseFolder() const { return FBaseFolder.get(); }
  void SetBaseFolder(TFcShellLocator* Value);
  TFcShellLocator* SelectedLocation() const { return FSelectedLocation.get(); }
  void SetSelectedLocation(TFcShellLocator* Value);
  TFcShellTreeOptions Options() const { return FOptions; }
  void SetOptions(TFcShellTreeOptions Value);
  TFcCustomShellList* ShellList() const { return FShellList; }
  void SetShellList(TFcCustomShellList* Value);
  void SetLinkedCombo(TFcCustomShellCombo* Value);
  TFcCustomShellCombo* LinkedCombo() const { return FLinkedCombo; }

  // The file-system path of the selected node ("" for a virtual item or without a node).
  std::string SelectedPathName();
  void FillTree();
  void RefreshNodes();
  void GoUp(int Levels);
  bool NewFolder();
  int DoCommandForNode(TTreeNode* Node, const std::string& Verb);
  void SelectIdList(LPCITEMIDLIST AbsoluteIdList);
  void SyncPendingSelection(bool Linked);
  void SortChildren(TTreeNode* Node);
  TFcShellTreeData* NodeData(TTreeNode* Node) const;
  // The folders being watched now (their paths), for the refresh after a change.
  int WatchCount() const;

  TFcShAddItemEvent OnAddItem;
  TFcShTreeDeleteItemEvent OnDeleteItem;
  TFcShTreeInsertItemEvent OnInsertItem;
  TNotifyEvent OnFillStart;
  TNotifyEvent OnFillComplete;
  TFcShPopupHintEvent OnPopupHint;

  void Loaded() override;

 protected:
  virtual HRESULT AddShellNode(IShellFolder* ParentFolder, LPCITEMIDLIST ParentAbsIdList, LPCITEMIDLIST ItemRelIdList,
                               TTreeNode* ParentNode);
  virtual bool DoAddItem(IShellFolder* ParentFolder, LPCITEMIDLIST ParentAbsIdList, LPCITEMIDLIST ItemRelIdList,
                         SFGAOF Attributes);
  virtual void HandleDeviceChange(WPARAM Event);
  virtual void FillNode(std::shared_ptr<IShellFolder> Folder, TTreeNode* Node);
  virtual void DoInsertItem(TTreeNode* Node);
  virtual void FillOnExpand(TTreeNode* Node);
  virtual void DoFillStart();
  virtual void DoFillComplete();
  virtual void ShowShellContextMenu(TTreeNode* Node, TPoint Pos);
  virtual void StartWatching();
  // Drag and drop (FcShellDragDrop.cpp).
  virtual std::shared_ptr<IDropSource> CreateDropSource(int Button);
  virtual HRESULT OleDragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect);
  virtual HRESULT OleDragOver(DWORD KeyState, POINTL Point, DWORD* Effect);
  virtual HRESULT OleDragLeave();
  virtual HRESULT OleDrop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect);
  virtual void DragAutoScroll(TPoint Point);
  void DoOleDrag(int Button);
  DWORD GetDragEffects();
  void CNNotify(TMessage& Message) override;

  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool CanExpand(TTreeNode* Node) override;
  bool CanEdit(TTreeNode* Node) override;
  void Edit(TTreeNode* Node, const std::optional<std::string>& Text) override;
  void Change(TTreeNode* Node) override;
  void Delete(TTreeNode* Node) override;
  void GetImageIndex(TTreeNode* Node) override;
  void GetSelectedIndex(TTreeNode* Node) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void DoNodeContextMenu(TTreeNode* Node, TPoint Pos, TPopupMenu*& Menu) override;

 private:
  friend class TFcCustomShellList;
  template <class> friend class TShellDropTarget;
  std::shared_ptr<IDropTarget> NodeDropTarget(TTreeNode* Node);
  void RegisterDropTarget(bool On);
  void BaseFolderChanged(TObject* Sender);
  void SelectedLocationChanged(TObject* Sender);
  void TimerTick(TObject* Sender);
  void PropagateSelection(TTreeNode* Node);
  void FolderChangeMessage();
  TTreeNode* FindChildNode(TTreeNode* Node, LPCITEMIDLIST Item);
  void RefreshNode(TTreeNode* Node, TTreeNode*& Remembered);
  void WatchNode(TTreeNode* Node);
  DWORD EnumFlags() const;
  void RemoveWatches();

  std::unique_ptr<TFcShellLocator> FBaseFolder;
  std::unique_ptr<TFcShellLocator> FSelectedLocation;
  TFcShellTreeOptions FOptions = kDefaultShellTreeOptions;
  TFcCustomShellList* FShellList = nullptr;
  TFcCustomShellCombo* FLinkedCombo = nullptr;
  std::unique_ptr<TChangeHandlerThread> FWatcher;
  std::unique_ptr<TTimer> FTimer;
  std::unique_ptr<TCustomImageList> FImages;
  std::shared_ptr<IContextMenu> FActiveMenu;
  std::vector<TTreeNode*> FFilledNodes;
  TTreeNode* FLastInsertedNode = nullptr;
  bool FSelectAtOnce = false;
  int FChangeLock = 0;
  bool FSkipNextChangeMessage = false;
  bool FPostponeRefresh = false;
  bool FRefreshPending = false;
  bool FExpandBlocked = false;
  bool FDeletingNodes = false;
  std::shared_ptr<IDropTarget> FRegisteredTarget;
  IDataObject* FDropData = nullptr;
  DWORD FDropKeyState = 0;
  TTreeNode* FDragNode = nullptr;
  TTreeNode* FDropNode = nullptr;
  int64_t FLastScroll = 0;
  TPoint FHoverPos;
  int64_t FHoverTime = 0;
};

class TFcShellTree : public TFcCustomShellTree {
 public:
  using TFcCustomShellTree::TFcCustomShellTree;
};

// ============================================================================================
// shell list
// ============================================================================================

enum TFcShellListOption {
  sloAutoFill, sloNonFilesystemAncestors, sloDesignInteractive, sloDefaultKeyHandling, sloContextMenus,
  sloDontChangeFolder, sloDontGoBelowBase, sloDynamicRefresh, sloHideFoldersWhenLinkedToTree, sloOleDrag,
  sloOleDrop, sloFolderContextMenu, sloShowHidden, sloFilesCanBeFolders
};
const classes::TEnumInfo& EnumInfo(TFcShellListOption);
using TFcShellListOptions = TSet<TFcShellListOption>;
inline constexpr TFcShellListOptions kDefaultShellListOptions = TFcShellListOptions::FromBits(16027);

using TFcShDblClickOpenEvent = std::function<void(TObject* Sender, bool& Handled)>;
using TFcShListDeleteItemEvent = std::function<void(TObject* Sender, TListItem* Node, TFcShellListData* ListData)>;

// The contents of one shell folder: an item per enumerated item with its icon, name and the
// columns Name, Size, Type and Modified, sorted by the folder's own comparison of a column.
// Files are filtered by FileFilter's masks; folders and folder shortcuts open in place, files
// run the shell's default command. A linked tree or combo names the folder shown.
class TFcCustomShellList : public TFcCustomListView {
 public:
  explicit TFcCustomShellList(TComponent* AOwner);
  ~TFcCustomShellList() override;

  TFcShellLocator* Folder() const { return FFolder.get(); }
  void SetFolder(TFcShellLocator* Value) { FFolder->Assign(Value); }
  const std::string& FileFilter() const { return FFileFilter; }
  void SetFileFilter(const std::string& Value);
  TFcShellListOptions Options() const { return FOptions; }
  void SetOptions(TFcShellListOptions Value);
  int CurrentSortColumn() const { return FCurrentSortColumn; }
  // Signed and 1-based: the arrow goes to column |Column| - 1, descending for a negative one.
  void SetSortColumn(int Column);

  void FillList();
  void RefreshList();
  void GoUp(int Levels);
  bool NewFolder(bool StartRename);
  void OpenItem(TListItem* Item);
  void OpenSelectedItems();
  void DoCommandForSelection(const std::string& Verb);
  void DoCommandForFolder(const std::string& Verb);
  int SelectedShellItemCount();
  void SyncPendingChanges(bool Linked);
  void ShowTreeNode(TTreeNode* Node);
  void SetLinkedTree(TFcCustomShellTree* Value);
  void SetLinkedCombo(TFcCustomShellCombo* Value);
  TFcCustomShellTree* LinkedTree() const { return FLinkedTree; }
  TFcCustomShellCombo* LinkedCombo() const { return FLinkedCombo; }
  void SelectAll();
  TFcShellListData* ItemData(TListItem* Item) const;
  // The absolute list of the folder shown (nullptr: the desktop).
  LPCITEMIDLIST ShownIdList() const;
  int WatchCount() const;

  TFcShAddItemEvent OnAddItem;
  TFcShDblClickOpenEvent OnDblClickOpen;
  TFcShListDeleteItemEvent OnDeleteItem;
  TNotifyEvent OnFillStart;
  TNotifyEvent OnFillComplete;
  TNotifyEvent OnFolderChanged;
  TFcShPopupHintEvent OnPopupHint;

  void Loaded() override;

 protected:
  virtual bool DoAddItem(IShellFolder* Folder, LPCITEMIDLIST ParentAbsIdList, SFGAOF Attributes,
                         LPCITEMIDLIST ItemRelIdList);
  virtual void HandleDeviceChange(WPARAM Event);
  // Shows Folder's items; the folder shown before comes back when it fails.
  virtual void FillFolder(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST AbsIdList);
  virtual void PrepareFileFilter();
  virtual bool IsInFileFilter(const std::string& Name, SFGAOF Attributes);
  virtual void FreeFileFilter();
  virtual bool DoDblClickOpen();
  virtual void DoFillStart();
  virtual void DoFillComplete();
  virtual void DoFolderChanged();
  virtual void WatchFolder();
  virtual void ShowItemsShellMenu(TPoint Pos);
  // Drag and drop (FcShellDragDrop.cpp).
  virtual std::shared_ptr<IDropSource> CreateDropSource(int Button);
  virtual HRESULT OleDragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect);
  virtual HRESULT OleDragOver(DWORD KeyState, POINTL Point, DWORD* Effect);
  virtual HRESULT OleDragLeave();
  virtual HRESULT OleDrop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect);
  void DoOleDrag(int Button);
  DWORD GetDragEffects();

  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void InsertItem(TListItem* Item) override;
  void Delete(TListItem* Item) override;
  bool CanEdit(TListItem* Item) override;
  void Edit(TListItem* Item, const std::optional<std::string>& Text) override;
  void ColClick(TListColumn* Column) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DblClick() override;
  void CNNotify(TMessage& Message) override;
  void DoItemContextMenu(TListItem* Item, TPoint Pos, TPopupMenu*& Menu) override;

 private:
  template <class> friend class TShellDropTarget;
  friend class TDataObject_shlv;
  std::shared_ptr<IDropTarget> TargetAt(TPoint Client, TListItem*& Item);
  void RegisterDropTarget(bool On);
  void FolderChanged(TObject* Sender);
  void NavigateTo(LPCITEMIDLIST AbsIdList);
  void SetupColumns();
  void SaveColumnWidths();
  bool ShouldAddItem(TFcShellListData* Data);
  void AddCollected(std::vector<std::unique_ptr<TFcShellListData>>& Collected);
  void SortItems();
  int CompareItems(TListItem* A, TListItem* B);
  void TimerTick();
  std::shared_ptr<IContextMenu> SelectionMenu(HMENU* Popup, UINT Flags);
  DWORD EnumFlags() const;
  std::vector<LPCITEMIDLIST> SelectedRelIdLists();

  std::unique_ptr<TFcShellLocator> FFolder;
  std::string FFileFilter;
  std::vector<std::string> FMasks;
  std::unique_ptr<std::vector<std::string>> FFilterTable;  // upper-cased names; none: no filter
  TFcShellListOptions FOptions = kDefaultShellListOptions;
  std::shared_ptr<TFcShellListFolder> FShown;
  TFcCustomShellTree* FLinkedTree = nullptr;
  TFcCustomShellCombo* FLinkedCombo = nullptr;
  std::unique_ptr<TChangeHandlerThread> FWatcher;
  std::unique_ptr<TTimer> FTimer;
  std::unique_ptr<TCustomImageList> FSmall;
  std::unique_ptr<TCustomImageList> FLarge;
  std::shared_ptr<IContextMenu> FActiveMenu;
  TFcShellListData* FPendingData = nullptr;
  std::string FNewFolderName;
  int FCurrentSortColumn = 1;
  bool FLastWasFileSystem = false;
  bool FHasColumns = false;
  bool FPostponeRefresh = false;
  bool FRefreshPending = false;
  bool FSkipNextChangeMessage = false;
  int FChangeLock = 0;
  bool FInCreateWnd = false;
  bool FDeletingItems = false;
  bool FSkipRightButtonUp = false;
  int FDragButton = -1;
  std::shared_ptr<IDropTarget> FRegisteredTarget;
  IDataObject* FDropData = nullptr;
  DWORD FDropKeyState = 0;
  TListItem* FDropItem = nullptr;
  int64_t FLastScroll = 0;
};

class TFcShellList : public TFcCustomShellList {
 public:
  using TFcCustomShellList::TFcCustomShellList;
};

// ============================================================================================
// shell combo
// ============================================================================================

enum TFcShellComboOption { scoAutofill, scoNonFilesystemAncestors };
const classes::TEnumInfo& EnumInfo(TFcShellComboOption);
using TFcShellComboOptions = TSet<TFcShellComboOption>;

// The look-in box: the desktop, its folders, Computer's drives and the chain of folders down to
// SelectedLocation, indented by depth with their small icons, in the desktop's order. Linked to
// a shell list or a shell tree (one of them), it shows their folder and moves them.
class TFcCustomShellCombo : public TFcCustomImageComboBox {
 public:
  explicit TFcCustomShellCombo(TComponent* AOwner);
  ~TFcCustomShellCombo() override;

  TFcShellLocator* SelectedLocation() const { return FSelectedLocation.get(); }
  void SetSelectedLocation(TFcShellLocator* Value) { FSelectedLocation->Assign(Value); }
  TFcShellComboOptions Options() const { return FOptions; }
  void SetOptions(TFcShellComboOptions Value) { FOptions = Value; }
  bool AutoDropDownCount() const { return FAutoDropDownCount; }
  void SetAutoDropDownCount(bool Value) { FAutoDropDownCount = Value; }
  TFcCustomShellList* ShellList() const { return FShellList; }
  void SetShellList(TFcCustomShellList* Value);
  TFcCustomShellTree* ShellTree() const { return FShellTree; }
  void SetShellTree(TFcCustomShellTree* Value);

  void Fill();
  void UpLevels(int Levels);
  void FlushChanges(bool Propagate);
  virtual void TreeSelectionChanged(TTreeNode* Node);
  TFcShellComboData* EntryData(int Index) const;

  void Loaded() override;
  void SelEndOk() override;
  void DropDown() override;

 protected:
  virtual bool DoAddItem(IShellFolder* Folder, LPCITEMIDLIST ParentIdList, int Level, SFGAOF Attributes,
                         LPCITEMIDLIST Item);
  virtual void SelectedLocationChanged(TObject* Sender);
  virtual void FillLevel(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST ParentIdList, TFcIdListArray& Path,
                         int Level);
  void CreateWnd() override;
  void DestroyWnd() override;
  void DoDeleteItem(TObject* Item) override;
  void DoGetItemData(TFcImageComboBoxItem* Item) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void AddAncestorEntries(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST FolderIdList, TFcIdListArray& Path,
                          int From);
  TFcImageComboBoxItem* AddEntry(std::shared_ptr<IShellFolder> Folder, LPCITEMIDLIST ParentIdList, LPCITEMIDLIST Item,
                                 int Level, SFGAOF Attributes, bool Named);
  void PushLocation();

  std::unique_ptr<TFcShellLocator> FSelectedLocation;
  TFcShellComboOptions FOptions = TFcShellComboOptions::FromBits(3);
  bool FAutoDropDownCount = true;
  TFcCustomShellList* FShellList = nullptr;
  TFcCustomShellTree* FShellTree = nullptr;
  int FIgnoreChanges = 0;
  int FSelectedEntry = -1;
  std::unique_ptr<TCustomImageList> FImages;
  std::vector<std::pair<const TFcImageComboBoxItem*, std::unique_ptr<TFcShellComboData>>> FEntryData;
};

class TFcShellCombo : public TFcCustomShellCombo {
 public:
  using TFcCustomShellCombo::TFcCustomShellCombo;
};

// ============================================================================================
// shell drag and drop
// ============================================================================================

// The data of a drag from a shell control: the "Shell IDList Array" of the items (the folder's
// absolute list, then each item's relative list) and the file-drop list of their paths.
class TFcShellDataObject : public TObject, public IDataObject {
 public:
  TFcShellDataObject(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items,
                     const std::vector<std::string>& Paths);
  ~TFcShellDataObject() override;
  TFcShellDataObject(const TFcShellDataObject&) = delete;
  TFcShellDataObject& operator=(const TFcShellDataObject&) = delete;

  bool QueryInterface(const TGUID& IID, void** Obj) override;
  HRESULT GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
  HRESULT GetDataHere(FORMATETC* Format, STGMEDIUM* Medium) override;
  HRESULT QueryGetData(FORMATETC* Format) override;
  HRESULT GetCanonicalFormatEtc(FORMATETC* In, FORMATETC* Out) override;
  HRESULT SetData(FORMATETC* Format, STGMEDIUM* Medium, BOOL Release) override;
  HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Formats) override;
  HRESULT DAdvise(FORMATETC* Format, DWORD Flags, void* Sink, DWORD* Connection) override;
  HRESULT DUnadvise(DWORD Connection) override;
  HRESULT EnumDAdvise(void** Advisers) override;

 private:
  TFcFormatEtcList FFormats;
  HGLOBAL FIdListBlock = nullptr;
  HGLOBAL FDropBlock = nullptr;
};

// The dragged node of a shell tree.
class TDataObject_shtv : public TFcShellDataObject {
 public:
  TDataObject_shtv(TFcCustomShellTree* Tree, TTreeNode* Node);
};

// The selected items of a shell list.
class TDataObject_shlv : public TFcShellDataObject {
 public:
  explicit TDataObject_shlv(TFcCustomShellList* List);
};

// The drop targets hand every call to their control.
// The drop target a shell tree or list registers: it hands every drag event to its control.
template <class TOwnerControl>
class TShellDropTarget : public TObject, public IDropTarget {
 public:
  explicit TShellDropTarget(TOwnerControl* Owner) : FOwner(Owner) {}
  bool QueryInterface(const TGUID& IID, void** Obj) override {
    const bool known = IID == IDropTarget::IID || IID == IInterface::IID;
    *Obj = known ? static_cast<IDropTarget*>(this) : nullptr;
    return known;
  }
  HRESULT DragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) override {
    return FOwner->OleDragEnter(Data, KeyState, Point, Effect);
  }
  HRESULT DragOver(DWORD KeyState, POINTL Point, DWORD* Effect) override {
    return FOwner->OleDragOver(KeyState, Point, Effect);
  }
  HRESULT DragLeave() override { return FOwner->OleDragLeave(); }
  HRESULT Drop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) override {
    return FOwner->OleDrop(Data, KeyState, Point, Effect);
  }

 private:
  TOwnerControl* FOwner;
};
using TDropTarget_shtv = TShellDropTarget<TFcCustomShellTree>;
using TDropTarget_shlv = TShellDropTarget<TFcCustomShellList>;
