#include "controls/shell/FcShellCtrls.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/controls/Controls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Text.h"
#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellMenus.h"

// ============================================================================================
// shared helpers
// ============================================================================================

namespace {

constexpr int kNewFolderAttempts = 50;
constexpr UINT kFirstShellCommand = 1000;
constexpr UINT kLastShellCommand = 0x7FFF;
// WM_MENUCHAR answers (high word).
constexpr LRESULT kMenuCharClose = 1;
constexpr LRESULT kMenuCharExecute = 2;
constexpr LRESULT kMenuCharSelect = 3;
constexpr UINT kOwnerDrawMenu = 1;  // DRAWITEMSTRUCT.CtlType of a menu item

int gHoverTime = 400, gHoverWidth = 2, gHoverHeight = 2;

// The built-in Send To entries of the sub-menu filled last: their names, by id - 1.
std::vector<std::string>& SendToEntries() {
  static std::vector<std::string> entries;
  return entries;
}

std::string WithoutExtension(const std::string& Name) {
  std::string ext = ExtractFileExt(Name);
  return ext.size() < Name.size() ? Name.substr(0, Name.size() - ext.size()) : Name;
}

// The messages a shell control shows go through the platform's message box.
int ShowShellMessage(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) {
  return MessageBox(Owner, Text, Caption, Flags);
}

struct UnitStart {
  UnitStart() {
    shell::SetShellMessageBox(ShowShellMessage);
    OleInitialize(nullptr);
    UINT value = 0;
    if (SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, &value, 0)) gHoverTime = static_cast<int>(value);
    if (SystemParametersInfo(SPI_GETMOUSEHOVERWIDTH, 0, &value, 0)) gHoverWidth = static_cast<int>(value);
    if (SystemParametersInfo(SPI_GETMOUSEHOVERHEIGHT, 0, &value, 0)) gHoverHeight = static_cast<int>(value);
  }
  ~UnitStart() { OleUninitialize(); }
} gUnitStart;

}  // namespace

// ---- Format list -------------------------------------------------------------------------------

TFcFormatEtcList::~TFcFormatEtcList() {
  for (FORMATETC& f : FItems) FreeFormat(f);
}

FORMATETC TFcFormatEtcList::CopyFormat(const FORMATETC& Format) {
  FORMATETC copy = Format;
  if (Format.ptd) {
    auto* device = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(Format.ptd->tdSize));
    if (device) std::memcpy(device, Format.ptd, Format.ptd->tdSize);
    copy.ptd = device;
  }
  return copy;
}

void TFcFormatEtcList::FreeFormat(FORMATETC& Format) {
  CoTaskMemFree(Format.ptd);
  Format.ptd = nullptr;
}

void TFcFormatEtcList::Add(const CLIPFORMAT* Formats, int Count) {
  for (int i = 0; i < Count; ++i) {
    FORMATETC f;
    f.cfFormat = Formats[i];
    f.dwAspect = DVASPECT_CONTENT;
    f.lindex = -1;
    f.tymed = TYMED_HGLOBAL;
    FItems.push_back(f);
  }
}

void TFcFormatEtcList::AddFormat(const FORMATETC& Format) { FItems.push_back(CopyFormat(Format)); }

HRESULT TFcFormatEtcList::QueryFormat(const FORMATETC& Request) const {
  if (Request.dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  bool formatSeen = false;
  for (const FORMATETC& f : FItems) {
    if (f.cfFormat != Request.cfFormat) continue;
    if (f.tymed & Request.tymed) return S_OK;
    formatSeen = true;
  }
  return formatSeen ? DV_E_TYMED : DV_E_FORMATETC;
}

bool TFcFormatEtcList_IEnumFormatEtc::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IEnumFORMATETC>(this, IID, Obj);
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) {
  ULONG done = 0;
  while (done < Count && FPosition < FOwner->Count()) Formats[done++] = FOwner->Items(FPosition++);
  if (Fetched) *Fetched = done;
  return done == Count ? S_OK : S_FALSE;
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Skip(ULONG Count) {
  if (FPosition + static_cast<int64_t>(Count) > FOwner->Count()) {
    FPosition = FOwner->Count();
    return S_FALSE;
  }
  FPosition += static_cast<int>(Count);
  return S_OK;
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Reset() {
  FPosition = 0;
  return S_OK;
}

HRESULT TFcFormatEtcList_IEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& Copy) {
  Copy = std::make_shared<TFcFormatEtcList_IEnumFormatEtc>(FOwner, FPosition);
  return S_OK;
}

// ---- Drop source ---------------------------------------------------------------------------------

TDropSource_shlvtv::TDropSource_shlvtv(int Button)
    : FButton(Button == 1 ? MK_RBUTTON : Button == 2 ? MK_MBUTTON : MK_LBUTTON) {}

bool TDropSource_shlvtv::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IDropSource>(this, IID, Obj);
}

HRESULT TDropSource_shlvtv::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) {
  DWORD buttons = KeyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
  if (EscapePressed || (buttons & ~FButton)) return DRAGDROP_S_CANCEL;
  if (!(buttons & FButton)) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT TDropSource_shlvtv::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---- Drag data -------------------------------------------------------------------------------------

UINT CF_SHELLIDLIST() { return shell::ShellIdListFormat(); }

HGLOBAL BuildIdListArray(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items) {
  return shell::MakeIdListArray(Parent, Items);
}

HGLOBAL BuildFileDropData(const std::vector<std::string>& Paths) { return shell::MakeFileDropList(Paths); }

HGLOBAL CopyGlobalMemory(HGLOBAL Block) {
  size_t size = GlobalSize(Block);
  const void* from = GlobalLock(Block);
  if (!from) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy) {
    std::memcpy(GlobalLock(copy), from, size);
    GlobalUnlock(copy);
  }
  GlobalUnlock(Block);
  return copy;
}

DWORD GetCommonDropEffects(IDataObject* Data) {
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  if (!Data) return kAll;
  FORMATETC format;
  format.cfFormat = static_cast<CLIPFORMAT>(CF_SHELLIDLIST());
  STGMEDIUM medium;
  if (FAILED(Data->GetData(&format, &medium))) return kAll;
  shell::TIdListPtr parent;
  std::vector<shell::TIdListPtr> items;
  bool read = shell::ReadIdListArray(medium.hGlobal, parent, items);
  ReleaseStgMedium(&medium);
  if (!read || items.empty()) return kAll;
  std::shared_ptr<IShellFolder> folder;
  if (FAILED(ShellGetFolder(parent.get(), folder))) return kAll;
  std::vector<LPCITEMIDLIST> lists;
  for (auto& item : items) lists.push_back(item.get());
  SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  if (FAILED(folder->GetAttributesOf(static_cast<UINT>(lists.size()), lists.data(), &attributes))) return kAll;
  DWORD effects = 0;
  if (attributes & SFGAO_CANCOPY) effects |= DROPEFFECT_COPY;
  if (attributes & SFGAO_CANMOVE) effects |= DROPEFFECT_MOVE;
  if (attributes & SFGAO_CANLINK) effects |= DROPEFFECT_LINK;
  return effects;
}

void SendToTarget(const std::string& Name, IDataObject* Data) {
  LPITEMIDLIST list = nullptr;
  OleCheck(ShellGetSpecialFolderIdList(nullptr, CSIDL_SENDTO, list));
  shell::TIdListPtr sendTo(list);
  std::shared_ptr<IShellFolder> folder;
  OleCheck(ShellGetFolder(list, folder));
  LPITEMIDLIST item = nullptr;
  OleCheck(folder->ParseDisplayName(nullptr, nullptr, Name, nullptr, &item, nullptr));
  shell::TIdListPtr owned(item);
  std::shared_ptr<IInterface> object;
  LPCITEMIDLIST items[] = {item};
  OleCheck(folder->GetUIObjectOf(nullptr, 1, items, IDropTarget::IID, nullptr, object));
  auto target = std::dynamic_pointer_cast<IDropTarget>(object);
  if (!target) OleError(E_NOINTERFACE);
  DWORD effect = DROPEFFECT_COPY;
  POINTL origin{0, 0};
  OleCheck(target->DragEnter(Data, MK_LBUTTON, origin, &effect));
  OleCheck(target->DragOver(MK_LBUTTON, origin, &effect));
  TCursor old = Screen ? Screen->Cursor() : crDefault;
  if (Screen) Screen->SetCursor(crHourGlass);
  HRESULT result = target->Drop(Data, MK_LBUTTON, origin, &effect);
  if (Screen) Screen->SetCursor(old);
  OleCheck(result);
}

// ---- Command-key texts ---------------------------------------------------------------------------

std::string KeyToText(WORD Key) {
  static const char* const kNames[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};
  int code = Key & 0xFF;
  std::string name;
  switch (code) {
    case 8: name = "BkSp"; break;
    case 9: name = "Tab"; break;
    case 13: name = "Enter"; break;
    case 27: name = "Esc"; break;
    case 45: name = "Ins"; break;
    case 46: name = "Del"; break;
    default:
      if (code >= 32 && code <= 40)
        name = kNames[code - 32];
      else if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90))
        name = std::string(1, static_cast<char>(code));
      else if (code >= 96 && code <= 105)
        name = std::string(1, static_cast<char>('0' + code - 96));
      else if (code >= 112 && code <= 135)
        name = "F" + std::to_string(code - 111);
      else
        name = "#" + std::to_string(Key);
  }
  std::string prefix;
  if (Key & 0x2000) prefix += "Shift+";
  if (Key & 0x4000) prefix += "Ctrl+";
  if (Key & 0x8000) prefix += "Alt+";
  return prefix + name;
}

WORD TextToKey(const std::string& Text) {
  WORD modifiers = 0;
  std::string rest = Text;
  for (bool matched = true; matched;) {
    matched = false;
    auto strip = [&](const std::string& Prefix, WORD Bit) {
      if (rest.size() > Prefix.size() - (Prefix == "^" ? 0 : 0) && SameText(rest.substr(0, Prefix.size()), Prefix)) {
        rest = rest.substr(Prefix.size());
        modifiers |= Bit;
        matched = true;
      }
    };
    strip("Shift+", 0x2000);
    strip("^", 0x4000);
    strip("Ctrl+", 0x4000);
    strip("Alt+", 0x8000);
  }
  for (WORD code = 8; code <= 597; ++code)
    if (SameText(KeyToText(code), rest)) return static_cast<WORD>(code | modifiers);
  return 0;
}

WORD ShellCommandKey(TFcShellCommandKey Key) {
  static const WORD keys[] = {TextToKey("Ctrl+A"), TextToKey("Del"), TextToKey("Ctrl+C"), TextToKey("Ctrl+X"),
                              TextToKey("Ctrl+V"), TextToKey("F5"),  TextToKey("F2")};
  return keys[Key];
}

// ---- Items -------------------------------------------------------------------------------------------

bool CreateNewFolder(const std::string& ParentPath, std::string& Name) {
  std::string parent = ParentPath;
  if (parent.empty()) {
    char cwd[4096];
    parent = getcwd(cwd, sizeof cwd) ? cwd : ".";
  }
  parent = EnsureTrailingChar(parent, '/');
  const std::string message = "Unable to create the folder '%2'\n\n%1";
  // Two series of names; the second is tried only when every name of the first was taken.
  struct Series {
    const char* first;
    const char* next;  // with %d
  };
  const Series series[] = {{"New Folder", "New Folder (%d)"}, {"fldr", "fldr%d"}};
  for (const Series& s : series) {
    for (int i = 1; i <= kNewFolderAttempts; ++i) {
      std::string name = i == 1 ? s.first : Format(s.next, {i});
      if (mkdir((parent + name).c_str(), 0777) == 0) {
        Name = name;
        return true;
      }
      if (errno == EEXIST) continue;
      // A real error (no permission, no such folder): one message giving its reason.
      MessageBox(nullptr, FormatStrPos(message, {std::strerror(errno), name}), "Error", MB_OK | MB_ICONWARNING);
      return false;
    }
  }
  MessageBox(nullptr, FormatStrPos(message, {std::strerror(EEXIST), "New Folder"}), "Error", MB_OK | MB_ICONWARNING);
  return false;
}

bool IsShellFolderItem(SFGAOF Attributes, bool FilesCanBeFolders) {
  if (!(Attributes & SFGAO_FOLDER)) return false;
  if (FilesCanBeFolders) return true;
  return !(Attributes & SFGAO_STREAM);
}

std::string FormatSizeKB(int64_t Size) {
  int64_t kb = Size / 1024 + (Size % 1024 != 0 ? 1 : 0);
  return FormatFloat("#,##0", static_cast<double>(kb)) + "KB";
}

void GetFileSizeAndDate(LPCITEMIDLIST AbsIdList, std::string& SizeText, std::string& ModifiedText) {
  SizeText.clear();
  ModifiedText.clear();
  if (shell::KindOf(ILFindLastID(AbsIdList)) == shell::ItemKind::Mount) return;
  std::string path = ShellGetPathFromIdList(AbsIdList);
  if (path.size() <= 1) return;
  struct stat st{};
  if (stat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) SizeText = FormatSizeKB(static_cast<int64_t>(st.st_size));
  // Local time of the last change.
  struct tm local{};
  time_t seconds = st.st_mtime;
  localtime_r(&seconds, &local);
  TDateTime modified = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                       EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
  ModifiedText = FormatDateTime(FormatSettings().ShortDateFormat + " " + FormatSettings().ShortTimeFormat, modified);
}

std::string GetTypeName(LPCITEMIDLIST AbsIdList, SFGAOF Attributes) {
  if (!(Attributes & SFGAO_FILESYSTEM)) return "System Folder";
  SHFILEINFOA info;
  if (!SHGetFileInfoA(reinterpret_cast<const char*>(AbsIdList), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_TYPENAME))
    return {};
  return info.szTypeName;
}

bool GetItemContextMenu(HWND Owner, IShellFolder* Folder, UINT Count, PCUITEMID_CHILD_ARRAY Items, UINT Flags,
                        UINT FirstId, std::shared_ptr<IContextMenu>& Menu, HMENU& Popup) {
  Menu.reset();
  Popup = nullptr;
  if (!Folder) return false;
  std::shared_ptr<IInterface> object;
  if (FAILED(Folder->GetUIObjectOf(Owner, Count, Items, IContextMenu::IID, nullptr, object))) return false;
  auto menu = std::dynamic_pointer_cast<IContextMenu>(object);
  if (!menu) return false;
  HMENU popup = CreatePopupMenu();
  if (FAILED(menu->QueryContextMenu(popup, 0, FirstId, kLastShellCommand, Flags))) {
    DestroyMenu(popup);
    return false;
  }
  Menu = std::move(menu);
  Popup = popup;
  return true;
}

int FindVerbCommand(IContextMenu* Menu, const std::string& Verb) {
  if (!Menu) return -1;
  HMENU popup = CreatePopupMenu();
  int found = -1;
  if (SUCCEEDED(Menu->QueryContextMenu(popup, 0, kFirstShellCommand, kLastShellCommand, CMF_EXPLORE))) {
    // Every command of the menu and its sub-menus, in order.
    std::vector<HMENU> menus = {popup};
    for (size_t m = 0; m < menus.size() && found < 0; ++m) {
      for (int i = 0; i < GetMenuItemCount(menus[m]) && found < 0; ++i) {
        if (HMENU sub = GetSubMenu(menus[m], i)) {
          menus.push_back(sub);
          continue;
        }
        UINT id = GetMenuItemID(menus[m], i);
        if (id == 0xFFFFFFFFu || id < kFirstShellCommand) continue;
        char verb[64] = {};
        if (SUCCEEDED(Menu->GetCommandString(id - kFirstShellCommand, GCS_VERBA, nullptr, verb, sizeof verb)) &&
            SameText(verb, Verb))
          found = static_cast<int>(id - kFirstShellCommand);
      }
    }
  }
  DestroyMenu(popup);
  return found;
}

HRESULT InvokeContextCommand(HWND Owner, IContextMenu* Menu, const char* Verb, UINT Offset) {
  if (!Menu) return E_INVALIDARG;
  if (Verb) {
    int found = FindVerbCommand(Menu, Verb);
    if (found < 0) return S_FALSE;
    Offset = static_cast<UINT>(found);
  }
  CMINVOKECOMMANDINFO info;
  info.hwnd = Owner;
  info.lpVerb = MAKEINTRESOURCE(static_cast<int>(Offset));
  info.nShow = 1;
  return Menu->InvokeCommand(&info);
}

HRESULT SplitAbsIdList(LPCITEMIDLIST AbsIdList, std::shared_ptr<IShellFolder>& ParentFolder,
                       LPITEMIDLIST& ParentIdList, LPITEMIDLIST& RelIdList) {
  ParentFolder.reset();
  ParentIdList = RelIdList = nullptr;
  shell::TIdListPtr desktopPath;
  if (shell::ILIsEmpty(AbsIdList)) {
    // The desktop is split as the folder that holds its files.
    LPITEMIDLIST parsed = nullptr;
    HRESULT result = ShellParsePath(CurrentDesktopDirectory(), parsed);
    if (FAILED(result)) return result;
    desktopPath.reset(parsed);
    AbsIdList = desktopPath.get();
  }
  int count = shell::ILCount(AbsIdList);
  if (count == 1) {
    HRESULT result = ShellGetDesktopFolder(ParentFolder);
    if (FAILED(result)) return result;
    RelIdList = ILClone(AbsIdList);
    return RelIdList ? S_OK : E_OUTOFMEMORY;
  }
  shell::TIdListPtr parent(ILClone(AbsIdList));
  ILRemoveLastID(parent.get());
  HRESULT result = ShellGetFolder(parent.get(), ParentFolder);
  if (FAILED(result)) return result;
  RelIdList = ILClone(ILFindLastID(AbsIdList));
  if (!RelIdList) return E_OUTOFMEMORY;
  ParentIdList = parent.release();
  return S_OK;
}

HRESULT GetItemUIObject(HWND Owner, LPCITEMIDLIST AbsIdList, const TGUID& Riid, std::shared_ptr<IInterface>& Object) {
  Object.reset();
  std::shared_ptr<IShellFolder> folder;
  LPITEMIDLIST parent = nullptr, item = nullptr;
  HRESULT result = SplitAbsIdList(AbsIdList, folder, parent, item);
  shell::TIdListPtr ownParent(parent), ownItem(item);
  if (FAILED(result)) return result;
  LPCITEMIDLIST items[] = {item};
  return folder->GetUIObjectOf(Owner, 1, items, Riid, nullptr, Object);
}

std::shared_ptr<IDropTarget> GetDesktopDropTarget(HWND Owner) {
  std::shared_ptr<IInterface> object;
  if (FAILED(GetItemUIObject(Owner, nullptr, IDropTarget::IID, object))) return nullptr;
  return std::dynamic_pointer_cast<IDropTarget>(object);
}

std::string CurrentDesktopDirectory() { return shell::CurrentNamespaceEnvironment(false).desktop; }

void SetWindowStyleBits(HWND Wnd, LONG Bits, bool On) {
  LONG_PTR style = GetWindowLongPtr(Wnd, GWL_STYLE);
  LONG_PTR wanted = On ? (style | Bits) : (style & ~static_cast<LONG_PTR>(Bits));
  if (wanted != style) SetWindowLongPtr(Wnd, GWL_STYLE, wanted);
}

HWND GetTopFormHandle(TControl* Control) {
  if (!Control) return nullptr;
  TControl* top = Control;
  while (top->Parent()) top = top->Parent();
  auto* form = dynamic_cast<TCustomForm*>(top);
  return form ? form->Handle() : nullptr;
}

void WaitWithHourglass(int Ms) {
  TCursor old = Screen ? Screen->Cursor() : crDefault;
  if (Screen) Screen->SetCursor(crHourGlass);
  Sleep(static_cast<uint32_t>(std::max(0, Ms)));
  if (Screen) Screen->SetCursor(old);
}

void RaiseSysError(DWORD Code) { OleError(HRESULT_FROM_WIN32(Code)); }

int ShellHoverTime() { return gHoverTime; }
int ShellHoverWidth() { return gHoverWidth; }
int ShellHoverHeight() { return gHoverHeight; }

TMemoryStream* ShellColumnWidthStream() {
  static TMemoryStream* stream = new TMemoryStream();
  return stream;
}

// ---- Menu messages ---------------------------------------------------------------------------------

bool HandleMenuInitPopup(IContextMenu* Menu, TMessage& Message) {
  try {
    if (!Menu) return false;
    if (auto* menu2 = dynamic_cast<IContextMenu2*>(Menu)) {
      menu2->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
      return true;
    }
    auto popup = reinterpret_cast<HMENU>(Message.WParam);
    if (GetMenuItemCount(popup) != 1 || !(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED)) return false;
    // The Send To sub-menu: its one grayed item gives way to the Send To folder's files.
    std::string folder = ShellGetSpecialFolderPath(nullptr, CSIDL_SENDTO);
    std::vector<std::string> names;
    if (DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str())) {
      while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        struct stat st{};
        if (name[0] == '.' || stat((folder + "/" + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        names.push_back(name);
      }
      closedir(dir);
    }
    if (names.empty()) return false;
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
    DeleteMenu(popup, 0, MF_BYPOSITION);
    SendToEntries() = names;
    for (size_t i = 0; i < names.size(); ++i)
      AppendMenu(popup, MF_OWNERDRAW, i + 1, WithoutExtension(names[i]));
    return true;
  } catch (...) {
    return false;
  }
}

std::string SendToEntryName(int Id) {
  const auto& entries = SendToEntries();
  return Id >= 1 && static_cast<size_t>(Id) <= entries.size() ? entries[static_cast<size_t>(Id - 1)] : std::string();
}

bool HandleMenuMeasureItem(IContextMenu* Menu, TMessage& Message) {
  try {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (!Menu || !measure || measure->CtlType != kOwnerDrawMenu) return false;
    std::string name = SendToEntryName(static_cast<int>(measure->itemID));
    if (name.empty()) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TSize size;
    std::string text = WithoutExtension(name);
    GetTextExtentPoint32(dc, text, &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    measure->itemWidth = static_cast<UINT>(size.cx + 32);
    measure->itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2);
    Message.Result = 1;
    return true;
  } catch (...) {
    return false;
  }
}

bool HandleMenuDrawItem(IContextMenu* Menu, TMessage& Message) {
  try {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (!Menu || !draw || draw->CtlType != kOwnerDrawMenu) return false;
    std::string name = SendToEntryName(static_cast<int>(draw->itemID));
    if (name.empty()) return false;
    bool selected = draw->itemState & ODS_SELECTED;
    HDC dc = draw->hDC;
    HBRUSH brush = GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    FillRect(dc, &draw->rcItem, brush);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    TRect text = draw->rcItem;
    text.Left += 32;
    std::string caption = WithoutExtension(name);
    DrawText(dc, caption, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(dc, old);
    std::string path = ShellGetSpecialFolderPath(nullptr, CSIDL_SENDTO) + "/" + name;
    ImageList_Draw(ShellGetSystemImageList(0), ShellGetIconIndexFromPath(path, SHGFI_SMALLICON), dc,
                   draw->rcItem.Left + 8, draw->rcItem.Top + 2, ILD_TRANSPARENT);
    Message.Result = 1;
    return true;
  } catch (...) {
    return false;
  }
}

bool HandleMenuChar(IContextMenu* Menu, TMessage& Message) {
  try {
    if (!Menu || SendToEntries().empty()) return false;
    auto popup = reinterpret_cast<HMENU>(Message.LParam);
    char32_t key = rtl::UpperCodePoint(static_cast<char32_t>(Message.WParam & 0xFFFF));
    int count = GetMenuItemCount(popup);
    int highlighted = -1;
    for (int i = 0; i < count; ++i)
      if (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) highlighted = i;
    std::vector<int> matches;
    for (int k = 1; k <= count; ++k) {
      int i = (highlighted + k) % count;
      std::string name = SendToEntryName(static_cast<int>(GetMenuItemID(popup, i)));
      if (name.empty()) continue;
      size_t at = 0;
      if (rtl::UpperCodePoint(rtl::NextCodePoint(name, at)) == key) matches.push_back(i);
    }
    if (matches.empty())
      Message.Result = kMenuCharClose << 16;
    else
      Message.Result = ((matches.size() == 1 ? kMenuCharExecute : kMenuCharSelect) << 16) | matches[0];
    return true;
  } catch (...) {
    return false;
  }
}

std::string HandleMenuSelect(IContextMenu* Menu, TMessage& Message) {
  try {
    UINT id = static_cast<UINT>(Message.WParam & 0xFFFF);
    UINT flags = static_cast<UINT>((Message.WParam >> 16) & 0xFFFF);
    if (!Menu || id < kFirstShellCommand || (flags & (MF_POPUP | 0x2000 /*MF_SYSMENU*/))) return {};
    char help[256] = {};
    if (FAILED(Menu->GetCommandString(id - kFirstShellCommand, GCS_HELPTEXTA, nullptr, help, sizeof help))) return {};
    return help;
  } catch (...) {
    return {};
  }
}

// ---- Item data --------------------------------------------------------------------------------------

TFcShellTreeData::~TFcShellTreeData() = default;

void TFcShellTreeData::Prepare(TFcShellTreeData* Parent, LPCITEMIDLIST IdList) {
  FParent = Parent;
  Invalidate();
  if (Parent) {
    FRelIdList.reset(CopyIdList(nullptr, IdList));
  } else {
    FAbsIdList.reset(CopyIdList(nullptr, IdList));
    FRelIdList.reset(ILCloneFirst(ILFindLastID(IdList ? IdList : FAbsIdList.get())));
  }
}

LPCITEMIDLIST TFcShellTreeData::AbsIdList() {
  if (!FAbsIdList) {
    if (FParent)
      FAbsIdList.reset(ConcatIdLists(nullptr, FParent->AbsIdList(), FRelIdList.get()));
    else
      FAbsIdList.reset(CopyIdList(nullptr, FRelIdList.get()));
  }
  return FAbsIdList.get();
}

std::string TFcShellTreeData::PathName() { return ShellGetPathFromIdList(AbsIdList()); }

bool TFcShellTreeData::CanRename() {
  if (!FParent || shell::ILIsEmpty(FRelIdList.get())) return false;
  std::shared_ptr<IShellFolder> parent = ParentFolder();
  if (!parent) return false;
  SFGAOF attributes = SFGAO_CANRENAME;
  LPCITEMIDLIST items[] = {FRelIdList.get()};
  return SUCCEEDED(parent->GetAttributesOf(1, items, &attributes)) && (attributes & SFGAO_CANRENAME);
}

std::shared_ptr<IShellFolder> TFcShellTreeData::ParentFolder() {
  if (FParent) return FParent->Folder();
  if (!FParentFolder) {
    LPCITEMIDLIST abs = AbsIdList();
    if (shell::ILIsEmpty(abs)) return nullptr;
    shell::TIdListPtr parent(ILClone(abs));
    ILRemoveLastID(parent.get());
    ShellGetFolder(parent.get(), FParentFolder);
  }
  return FParentFolder;
}

std::shared_ptr<IShellFolder> TFcShellTreeData::Folder() {
  if (!FFolder) ShellGetFolder(AbsIdList(), FFolder);
  return FFolder;
}

void TFcShellTreeData::SetRelIdList(LPITEMIDLIST List) {
  FRelIdList.reset(List);
  FAbsIdList.reset();
  FFolder.reset();
  if (!FParent) FAbsIdList.reset(CopyIdList(nullptr, List));
}

void TFcShellTreeData::Invalidate() {
  if (FParent) FAbsIdList.reset();
  FFolder.reset();
  FParentFolder.reset();
}

HRESULT TFcShellTreeData::GetUIObject(HWND Owner, const TGUID& Riid, std::shared_ptr<IInterface>& Object) {
  Object.reset();
  if (!FParent) {
    if (shell::ILIsEmpty(AbsIdList()) && Riid == IDropTarget::IID) {
      Object = GetDesktopDropTarget(Owner);
      return Object ? S_OK : E_FAIL;
    }
    return GetItemUIObject(Owner, AbsIdList(), Riid, Object);
  }
  std::shared_ptr<IShellFolder> parent = ParentFolder();
  if (!parent) return E_FAIL;
  LPCITEMIDLIST items[] = {FRelIdList.get()};
  return parent->GetUIObjectOf(Owner, 1, items, Riid, nullptr, Object);
}

TFcShellListData::TFcShellListData(TComponent* Owner, std::shared_ptr<TFcShellListFolder> ListFolder,
                                   LPITEMIDLIST RelIdList)
    : FOwner(Owner), FListFolder(std::move(ListFolder)), FRelIdList(RelIdList) {}

TFcShellListData::~TFcShellListData() = default;

LPCITEMIDLIST TFcShellListData::AbsIdList() {
  if (!FAbsIdList) FAbsIdList.reset(ConcatIdLists(nullptr, FListFolder->AbsIdList.get(), FRelIdList.get()));
  return FAbsIdList.get();
}

SFGAOF TFcShellListData::Attributes() {
  if (!FAttributesValid && FListFolder->Folder) {
    SFGAOF asked = 0x704F0037u;
    // Removable media are not asked whether they are read-only (that would wake the drive).
    std::string path = PathName();
    if (path.size() > 3 && GetDriveTypeA(path.c_str()) == DRIVE_REMOVABLE) asked &= ~SFGAO_READONLY;
    LPCITEMIDLIST items[] = {FRelIdList.get()};
    if (SUCCEEDED(FListFolder->Folder->GetAttributesOf(1, items, &asked))) {
      FAttributes = asked;
      FAttributesValid = true;
    }
  }
  return FAttributes;
}

bool TFcShellListData::IsFolder() { return IsShellFolderItem(Attributes(), FListFolder->FilesCanBeFolders); }

bool TFcShellListData::IsShortcut() {
  struct stat st{};
  std::string path = PathName();
  return !path.empty() && lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool TFcShellListData::CanRename() { return (Attributes() & SFGAO_CANRENAME) != 0; }

const std::string& TFcShellListData::CachedName() {
  if (!FNameValid) {
    FName = ShellGetDisplayName(FListFolder->Folder.get(), FRelIdList.get(), 0);
    FNameValid = true;
  }
  return FName;
}

std::string TFcShellListData::FileName() { return ShellGetDisplayName(FListFolder->Folder.get(), FRelIdList.get(), 1); }

std::string TFcShellListData::PathName() { return ShellGetPathFromIdList(AbsIdList()); }

void TFcShellListData::SetRelIdList(LPITEMIDLIST List) {
  FRelIdList.reset(List);
  Invalidate();
}

void TFcShellListData::Invalidate() {
  FAbsIdList.reset();
  FNameValid = false;
  FAttributesValid = false;
  FDetailsValid = false;
}

void TFcShellListData::LoadDetails() {
  if (FDetailsValid) return;
  GetFileSizeAndDate(AbsIdList(), FSize, FModified);
  FType = GetTypeName(AbsIdList(), Attributes());
  FDetailsValid = true;
}

std::string TFcShellListData::ColumnText(int Column) {
  if (Column < 1 || Column > 3) return {};
  LoadDetails();
  return Column == 1 ? FSize : Column == 2 ? FType : FModified;
}

void TFcShellComboData::Prepare(std::shared_ptr<IShellFolder> ParentFolder, LPCITEMIDLIST ParentIdList,
                                LPCITEMIDLIST RelIdList) {
  FParentFolder = std::move(ParentFolder);
  FParentIdList.reset(ParentIdList ? CopyIdList(nullptr, ParentIdList) : nullptr);
  FRelIdList.reset(RelIdList ? CopyIdList(nullptr, RelIdList) : nullptr);
  FAbsIdList.reset(ConcatIdLists(nullptr, ParentIdList, RelIdList));
  FFolder.reset();
}

std::shared_ptr<IShellFolder> TFcShellComboData::Folder() {
  if (!FFolder) ShellGetFolder(FAbsIdList.get(), FFolder);
  return FFolder;
}

// ---- Folder-change watcher ----------------------------------------------------------------------

// The worker owns the watches: the GUI thread asks for an action and waits (at most 2 s) for
// the worker to have carried it out; the worker wakes from its wait on the watch descriptor
// through the watcher's wake-up descriptor.
struct TChangeHandlerThread::Impl {
  enum Action { None, Add, RemoveAll, Quit };

  HWND window;
  UINT message;
  shell::FolderWatch watch;
  std::thread worker;

  std::mutex mutex;
  std::condition_variable done;
  Action action = None;
  uint64_t requested = 0, finished = 0;
  std::string path;
  DWORD filter = 0;
  int newSlot = -1;
  int armed = 0;

  // Worker only.
  std::vector<int> slots = std::vector<int>(kSlotCount, -1);

  void Run() {
    for (;;) {
      shell::FolderWatch::Batch batch = watch.Wait();
      for (int ended : batch.ended)
        for (int& s : slots)
          if (s == ended) s = -1;
      for (int changed : batch.changed)
        for (int i = 0; i < kSlotCount; ++i)
          if (slots[static_cast<size_t>(i)] == changed && window)
            PostMessage(window, message, static_cast<WPARAM>(i), 0);
      std::unique_lock lock(mutex);
      if (requested == finished) {
        armed = Armed();
        continue;
      }
      if (action == Quit) return;
      if (action == Add) {
        newSlot = -1;
        int w = watch.Add(path, filter);
        if (w >= 0) {
          auto free = std::find(slots.begin(), slots.end(), -1);
          if (free != slots.end()) {
            *free = w;
            newSlot = static_cast<int>(free - slots.begin());
          } else if (std::find(slots.begin(), slots.end(), w) == slots.end()) {
            // No free slot: the new watch goes again at once.
            watch.Remove(w);
          }
        }
      } else if (action == RemoveAll) {
        for (int& s : slots) {
          if (s >= 0) watch.Remove(s);
          s = -1;
        }
      }
      armed = Armed();
      finished = requested;
      done.notify_all();
    }
  }

  int Armed() const { return static_cast<int>(std::count_if(slots.begin(), slots.end(), [](int s) { return s >= 0; })); }

  // Hands an action to the worker; false when it did not answer in time.
  bool Request(Action A, std::unique_lock<std::mutex>& Lock) {
    action = A;
    uint64_t ticket = ++requested;
    watch.Wake();
    return done.wait_for(Lock, std::chrono::milliseconds(2000), [&] { return finished >= ticket; });
  }
};

TChangeHandlerThread::TChangeHandlerThread(HWND NotifyWindow, UINT NotifyMessage) : FImpl(std::make_unique<Impl>()) {
  FImpl->window = NotifyWindow;
  FImpl->message = NotifyMessage;
  FImpl->worker = std::thread([impl = FImpl.get()] { impl->Run(); });
}

TChangeHandlerThread::~TChangeHandlerThread() {
  {
    std::unique_lock lock(FImpl->mutex);
    FImpl->action = Impl::Quit;
    ++FImpl->requested;
    FImpl->watch.Wake();
  }
  FImpl->worker.join();
  // The watch descriptor holds every watch; closing it (with FImpl) ends them all.
}

bool TChangeHandlerThread::AddWatch(const std::string& Path, DWORD NotifyFilter, int& Slot, bool) {
  Slot = -1;
  if (Path.empty()) return false;
  std::unique_lock lock(FImpl->mutex);
  FImpl->path = Path;
  FImpl->filter = NotifyFilter;
  if (!FImpl->Request(Impl::Add, lock)) return false;
  Slot = FImpl->newSlot;
  return Slot >= 0;
}

void TChangeHandlerThread::RemoveAllWatches() {
  std::unique_lock lock(FImpl->mutex);
  FImpl->Request(Impl::RemoveAll, lock);
}

int TChangeHandlerThread::WatchCount() {
  std::unique_lock lock(FImpl->mutex);
  return FImpl->armed;
}
