#pragma once
// README-namespace: the shell namespace over the Linux file system.
//
// The namespace is a tree of folders named by item identifier lists (IdLists.h):
//   Desktop (the empty list; its files are XDG_DESKTOP_DIR's, else $HOME's)
//     Home         a junction to $HOME
//     Computer     virtual: "File System" ("/") and the mounts under /media, /run/media/$USER,
//                  /mnt and $HOME (from /proc/self/mountinfo), each with its drive type
//     the entries of the desktop folder
// A control uses it as it would the platform shell:
//   std::shared_ptr<IShellFolder> desktop;  SHGetDesktopFolder(desktop);
//   LPITEMIDLIST pidl = nullptr;  desktop->ParseDisplayName(nullptr, nullptr, "/home/u", nullptr, &pidl, nullptr);
//   std::shared_ptr<IShellFolder> folder;  desktop->BindToObject(pidl, nullptr, IShellFolder::IID, folder);
//   std::shared_ptr<IEnumIDList> items;  folder->EnumObjects(hwnd, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items);
//   while (items->Next(1, &child, nullptr) == S_OK) { folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &name); ... ILFree(child); }
// Every list a call returns is the caller's (ILFree); folders, enumerators, context menus,
// drop targets and data objects are shared_ptr and live while someone holds them. Icons are
// indexes into the two system image lists (SHGetFileInfoA with SHGFI_SYSICONINDEX, 16 and 32
// px); index 0 is the plain file, and overlays 1 (shared) and 2 (link) are set on both lists.
// Context menus (GetUIObjectOf with IContextMenu) offer the verbs "open", "cut", "copy",
// "paste", "delete", "rename" (command offset 18), "properties" and a "Send To" sub-menu
// holding one grayed item, for ordinary files and folders; mounts, junctions, Computer and
// the desktop offer none. Folders have no detail columns (CreateViewObject fails).
//
// Tests and pictures replace the user's folders and the mount table with
// shell::SetNamespaceEnvironment, so the tree is the same on every machine.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/Interfaces.h"
#include "platform/graphics/ImageLists.h"
#include "platform/shell/Com.h"
#include "platform/shell/IdLists.h"

// ---- Attributes (GetAttributesOf) -----------------------------------------------------------
using SFGAOF = ULONG;
constexpr SFGAOF SFGAO_CANCOPY = 0x00000001;
constexpr SFGAOF SFGAO_CANMOVE = 0x00000002;
constexpr SFGAOF SFGAO_CANLINK = 0x00000004;
constexpr SFGAOF SFGAO_STORAGE = 0x00000008;
constexpr SFGAOF SFGAO_CANRENAME = 0x00000010;
constexpr SFGAOF SFGAO_CANDELETE = 0x00000020;
constexpr SFGAOF SFGAO_HASPROPSHEET = 0x00000040;
constexpr SFGAOF SFGAO_DROPTARGET = 0x00000100;
constexpr SFGAOF SFGAO_CAPABILITYMASK = 0x00000177;
constexpr SFGAOF SFGAO_GHOSTED = 0x00008000;
constexpr SFGAOF SFGAO_LINK = 0x00010000;
constexpr SFGAOF SFGAO_SHARE = 0x00020000;
constexpr SFGAOF SFGAO_READONLY = 0x00040000;
constexpr SFGAOF SFGAO_HIDDEN = 0x00080000;
constexpr SFGAOF SFGAO_STREAM = 0x00400000;
constexpr SFGAOF SFGAO_STORAGEANCESTOR = 0x00800000;
constexpr SFGAOF SFGAO_VALIDATE = 0x01000000;
constexpr SFGAOF SFGAO_REMOVABLE = 0x02000000;
constexpr SFGAOF SFGAO_COMPRESSED = 0x04000000;
constexpr SFGAOF SFGAO_BROWSABLE = 0x08000000;
constexpr SFGAOF SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr SFGAOF SFGAO_FOLDER = 0x20000000;
constexpr SFGAOF SFGAO_FILESYSTEM = 0x40000000;
constexpr SFGAOF SFGAO_HASSUBFOLDER = 0x80000000;
constexpr SFGAOF SFGAO_CONTENTSMASK = 0x80000000;

// ---- Display names (GetDisplayNameOf, SetNameOf) --------------------------------------------
constexpr DWORD SHGDN_NORMAL = 0x0000;
constexpr DWORD SHGDN_INFOLDER = 0x0001;
constexpr DWORD SHGDN_FOREDITING = 0x1000;
constexpr DWORD SHGDN_FORADDRESSBAR = 0x4000;
constexpr DWORD SHGDN_FORPARSING = 0x8000;

// ---- Enumeration (EnumObjects) --------------------------------------------------------------
constexpr DWORD SHCONTF_FOLDERS = 0x0020;
constexpr DWORD SHCONTF_NONFOLDERS = 0x0040;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x0080;

// ---- Comparison (CompareIDs's lParam: the column in the low 16 bits) ------------------------
constexpr LPARAM SHCIDS_COLUMNMASK = 0x0000FFFF;

// ---- Special folders (SHGetSpecialFolderLocation) -------------------------------------------
constexpr int CSIDL_DESKTOP = 0x0000;           // the desktop (the empty list)
constexpr int CSIDL_PERSONAL = 0x0005;          // XDG_DOCUMENTS_DIR, else $HOME
constexpr int CSIDL_RECENT = 0x0008;            // none here: fails
constexpr int CSIDL_SENDTO = 0x0009;            // $XDG_DATA_HOME/ostrovel/SendTo
constexpr int CSIDL_MYMUSIC = 0x000D;           // XDG_MUSIC_DIR
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;  // the desktop's folder
constexpr int CSIDL_DRIVES = 0x0011;            // Computer
constexpr int CSIDL_NETWORK = 0x0012;           // none here: fails
constexpr int CSIDL_PROFILE = 0x0028;           // $HOME
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// ---- Returned names --------------------------------------------------------------------------
constexpr UINT STRRET_WSTR = 0;    // pOleStr: UTF-8 text from CoTaskMemAlloc, the caller frees it
constexpr UINT STRRET_OFFSET = 1;  // uOffset: a zero-ended text at that offset in the item
constexpr UINT STRRET_CSTR = 2;    // cStr: the text in place
constexpr size_t MAX_PATH = 260;
struct STRRET {
  UINT uType = STRRET_WSTR;
  union {
    char* pOleStr;
    UINT uOffset;
    char cStr[MAX_PATH];
  };
  STRRET() : pOleStr(nullptr) {}
};

// ---- Interfaces -------------------------------------------------------------------------------
class IEnumIDList : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{000214F2-0000-0000-C000-000000000046}");
  // Hands out up to Count lists (the caller frees each); S_FALSE when fewer were left.
  virtual HRESULT Next(ULONG Count, LPITEMIDLIST* Lists, ULONG* Fetched) = 0;
  virtual HRESULT Skip(ULONG Count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(std::shared_ptr<IEnumIDList>& Copy) = 0;
};

class IShellFolder : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{000214E6-0000-0000-C000-000000000046}");
  // The list of DisplayName relative to this folder (the desktop takes absolute paths, with
  // "/" as separator). Eaten gets the bytes used; Attributes, when given, is asked as in
  // GetAttributesOf. E_INVALIDARG for a name that names nothing.
  virtual HRESULT ParseDisplayName(HWND Owner, void* BindContext, const std::string& DisplayName, ULONG* Eaten,
                                   LPITEMIDLIST* List, ULONG* Attributes) = 0;
  // The folder's items: folders with SHCONTF_FOLDERS, others with SHCONTF_NONFOLDERS, dot
  // names only with SHCONTF_INCLUDEHIDDEN. E_FAIL when the folder cannot be read.
  virtual HRESULT EnumObjects(HWND Owner, DWORD Flags, std::shared_ptr<IEnumIDList>& Items) = 0;
  // The folder of a relative list (IShellFolder::IID); E_NOINTERFACE for another interface,
  // E_INVALIDARG when the list names no folder.
  virtual HRESULT BindToObject(LPCITEMIDLIST List, void* BindContext, const TGUID& Riid,
                               std::shared_ptr<IInterface>& Object) = 0;
  // Orders two relative lists: the code part (HRESULT_CODE as a signed 16-bit number) is
  // negative, 0 or positive. 0 only for the same item: folders come first, then names compared
  // without case, then their bytes.
  virtual HRESULT CompareIDs(LPARAM Column, LPCITEMIDLIST First, LPCITEMIDLIST Second) = 0;
  // The view objects (detail columns): none here, E_NOTIMPL.
  virtual HRESULT CreateViewObject(HWND Owner, const TGUID& Riid, std::shared_ptr<IInterface>& Object) = 0;
  // Attributes common to all Count items, of those asked in *InOut.
  virtual HRESULT GetAttributesOf(UINT Count, PCUITEMID_CHILD_ARRAY Items, SFGAOF* InOut) = 0;
  // An object for the items: IContextMenu (any count), IDropTarget (one folder), IDataObject.
  virtual HRESULT GetUIObjectOf(HWND Owner, UINT Count, PCUITEMID_CHILD_ARRAY Items, const TGUID& Riid,
                                UINT* Reserved, std::shared_ptr<IInterface>& Object) = 0;
  virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST Item, DWORD Flags, STRRET* Name) = 0;
  // Renames an ordinary item; NewItem (when given) gets its new relative list. A name holding
  // "/" or naming an existing item fails (HRESULT_FROM_WIN32 of the system error).
  virtual HRESULT SetNameOf(HWND Owner, LPCITEMIDLIST Item, const std::string& Name, DWORD Flags,
                            LPITEMIDLIST* NewItem) = 0;
};

// The details interfaces a folder may offer (the folders here offer neither).
struct SHELLDETAILS {
  int fmt = 0;
  int cxChar = 0;
  STRRET str;
};
constexpr DWORD SHCOLSTATE_ONBYDEFAULT = 0x0010;
class IShellDetails : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{000214EC-0000-0000-C000-000000000046}");
  virtual HRESULT GetDetailsOf(LPCITEMIDLIST Item, UINT Column, SHELLDETAILS* Details) = 0;
  virtual HRESULT ColumnClick(UINT Column) = 0;
};
class IShellFolder2 : public virtual IShellFolder {
 public:
  static constexpr TGUID IID = TGUID::Parse("{93F2F68C-1D1B-11D3-A30E-00C04F79ABD1}");
  virtual HRESULT GetDefaultColumnState(UINT Column, DWORD* State) = 0;
  virtual HRESULT GetDetailsOf(LPCITEMIDLIST Item, UINT Column, SHELLDETAILS* Details) = 0;
};

// ---- Context menus ----------------------------------------------------------------------------
constexpr UINT CMF_NORMAL = 0x0000;
constexpr UINT CMF_DEFAULTONLY = 0x0001;
constexpr UINT CMF_VERBSONLY = 0x0002;
constexpr UINT CMF_EXPLORE = 0x0004;
constexpr UINT CMF_NOVERBS = 0x0008;
constexpr UINT CMF_CANRENAME = 0x0010;
// GetCommandString kinds.
constexpr UINT GCS_VERBA = 0x0000;
constexpr UINT GCS_HELPTEXTA = 0x0001;
constexpr UINT GCS_VALIDATEA = 0x0002;
// The command offsets of the verbs (added to the first command identifier).
constexpr UINT kShellCmdOpen = 0;
constexpr UINT kShellCmdDelete = 17;
constexpr UINT kShellCmdRename = 18;
constexpr UINT kShellCmdProperties = 19;
constexpr UINT kShellCmdCut = 24;
constexpr UINT kShellCmdCopy = 25;
constexpr UINT kShellCmdPaste = 26;
constexpr UINT kShellCmdSendTo = 27;  // the grayed item of the "Send To" sub-menu

struct CMINVOKECOMMANDINFO {
  DWORD cbSize = sizeof(CMINVOKECOMMANDINFO);
  DWORD fMask = 0;
  HWND hwnd = nullptr;
  // A verb text, or a command offset made with MAKEINTRESOURCE (the high bits zero).
  const char* lpVerb = nullptr;
  const char* lpParameters = nullptr;
  const char* lpDirectory = nullptr;
  int nShow = 1;
  DWORD dwHotKey = 0;
  HANDLE hIcon = nullptr;
};

class IContextMenu : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{000214E4-0000-0000-C000-000000000046}");
  // Inserts the verbs at position Index of Menu with identifiers First + offset (only those
  // up to Last); the answer's code is the largest offset used plus 1.
  virtual HRESULT QueryContextMenu(HMENU Menu, UINT Index, UINT First, UINT Last, UINT Flags) = 0;
  virtual HRESULT InvokeCommand(CMINVOKECOMMANDINFO* Info) = 0;
  // The verb (GCS_VERBA) or help text (GCS_HELPTEXTA) of a command offset, into Name.
  virtual HRESULT GetCommandString(UINT_PTR Command, UINT Kind, UINT* Reserved, char* Name, UINT Size) = 0;
};
class IContextMenu2 : public virtual IContextMenu {
 public:
  static constexpr TGUID IID = TGUID::Parse("{000214F4-0000-0000-C000-000000000046}");
  virtual HRESULT HandleMenuMsg(UINT Msg, WPARAM WParam, LPARAM LParam) = 0;
};

// ---- The SHGet calls ------------------------------------------------------------------------
HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder>& Folder);
// The absolute list of a special folder (CSIDL_*; CSIDL_FLAG_CREATE is ignored); E_INVALIDARG
// for a number not offered here, E_FAIL when its folder does not exist.
HRESULT SHGetSpecialFolderLocation(HWND Owner, int Csidl, LPITEMIDLIST* List);
// The file-system path of an absolute list into Path (MAX_PATH bytes); FALSE for an item
// outside the file system (Computer) or a longer path.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST List, char* Path);

// SHGetFileInfoA flags.
constexpr UINT SHGFI_LARGEICON = 0x000000;
constexpr UINT SHGFI_SMALLICON = 0x000001;
constexpr UINT SHGFI_OPENICON = 0x000002;
constexpr UINT SHGFI_PIDL = 0x000008;
constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x000010;
constexpr UINT SHGFI_ICON = 0x000100;
constexpr UINT SHGFI_DISPLAYNAME = 0x000200;
constexpr UINT SHGFI_TYPENAME = 0x000400;
constexpr UINT SHGFI_ATTRIBUTES = 0x000800;
constexpr UINT SHGFI_SYSICONINDEX = 0x004000;
constexpr UINT SHGFI_LINKOVERLAY = 0x008000;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct SHFILEINFOA {
  HICON hIcon = nullptr;
  int iIcon = 0;
  DWORD dwAttributes = 0;
  char szDisplayName[MAX_PATH] = {};
  char szTypeName[80] = {};
};

// Information on a path, or with SHGFI_PIDL on an absolute list (Path is then the list).
// With SHGFI_SYSICONINDEX the answer is the system image list of the size asked (small or
// large) and iIcon the item's index; otherwise non-zero on success. With
// SHGFI_USEFILEATTRIBUTES the path need not exist: FileAttributes tells folder or file.
// 0 for an item that does not exist.
uintptr_t SHGetFileInfoA(const char* Path, DWORD FileAttributes, SHFILEINFOA* Info, UINT InfoSize, UINT Flags);

// Drive types (GetDriveTypeA): of the mount that holds a path.
constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;
// The type of the deepest mount holding Path; DRIVE_NO_ROOT_DIR when Path does not exist.
UINT GetDriveTypeA(const char* Path);

namespace shell {

// A mounted file system as Computer lists it.
struct MountEntry {
  std::string path;    // the mount point
  std::string fstype;  // "ext4", "vfat", ...
  std::string source;  // the device or remote name
  bool removable = false;
  friend bool operator==(const MountEntry&, const MountEntry&) = default;
};

// The user's folders and the mounts the namespace shows. Empty members are taken from the
// process (HOME, XDG_*_DIR from the environment or the user-dirs file, /proc/self/mountinfo).
struct NamespaceEnvironment {
  std::string home;
  std::string desktop;    // the desktop's folder
  std::string documents;  // CSIDL_PERSONAL
  std::string music;      // CSIDL_MYMUSIC
  std::string sendTo;     // CSIDL_SENDTO
  std::string user;       // for /run/media/USER
  // The mount table; nullopt reads /proc/self/mountinfo each time.
  std::optional<std::vector<MountEntry>> mounts;
};
// Installs a replacement for the process's folders and mounts (tests and pictures); a default
// NamespaceEnvironment goes back to the process's.
void SetNamespaceEnvironment(const NamespaceEnvironment& Environment);
// The folders in force, every member filled; the mounts are read (when not replaced) only
// with WithMounts, else left as they are.
NamespaceEnvironment CurrentNamespaceEnvironment(bool WithMounts = true);
// The full mount table in force (replaced or read), in the table's order.
std::vector<MountEntry> MountTable();

// The drive type of a mount (the rules Computer uses).
UINT DriveTypeOf(const MountEntry& Mount);
// The mounts Computer shows, "/" first, then by path.
std::vector<MountEntry> ComputerMounts();

// The file-system path of an absolute list; false outside the file system.
bool PathFromIdList(LPCITEMIDLIST List, std::string& Path);
// The system image list of icons Size pixels wide (16 or 32), made on first use, never freed.
HIMAGELIST SystemImageList(int Size);

// The system image list's pictures.
enum SystemIcon : int {
  kIconFile = 0,
  kIconFolder,
  kIconFolderOpen,
  kIconDesktop,
  kIconComputer,
  kIconDriveFixed,
  kIconDriveRemovable,
  kIconDriveCdrom,
  kIconDriveRemote,
  kIconHome,
  kIconAudio,
  kIconProgram,
  kIconShareOverlay,  // overlay 1
  kIconLinkOverlay,   // overlay 2
  kSystemIconCount
};

// What the context menus ask the user and show: a message box (MB_* flags, the answer IDYES
// and so on). The controls install one that shows the platform's message box; without one
// every question is answered IDNO and messages are not shown.
using TShellMessageBox = int (*)(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);
void SetShellMessageBox(TShellMessageBox Box);
int ShellMessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);

}  // namespace shell
