#include "platform/shell/Namespace.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/shell/ShellFolders.h"
#include "platform/shell/ShellIcons.h"
#include "platform/shell/ShellPaths.h"

namespace shell {

namespace {

NamespaceEnvironment& Replacement() {
  static NamespaceEnvironment environment;
  return environment;
}

TShellMessageBox gMessageBox = nullptr;

std::string EnvOr(const char* Name, const std::string& Fallback) {
  const char* value = std::getenv(Name);
  return value && *value ? std::string(value) : Fallback;
}

std::string ProcessHome() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (passwd* pw = getpwuid(getuid())) return pw->pw_dir;
  return "/";
}

std::string ProcessUser() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  if (passwd* pw = getpwuid(getuid())) return pw->pw_name;
  return {};
}

bool IsDir(const std::string& Path) {
  struct stat st{};
  return !Path.empty() && stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A user folder: XDG_<Key>_DIR from the environment, else from the user-dirs file
// ($XDG_CONFIG_HOME/user-dirs.dirs, lines KEY="$HOME/Folder"); "" when neither names one.
std::string UserDir(const std::string& Key, const std::string& Home) {
  std::string name = "XDG_" + Key + "_DIR";
  std::string value = EnvOr(name.c_str(), "");
  if (value.empty()) {
    std::ifstream in(ConfigHomeDir() + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
      if (line.compare(0, name.size() + 1, name + "=") != 0) continue;
      value = line.substr(name.size() + 1);
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    }
  }
  if (value.compare(0, 5, "$HOME") == 0) value = Home + value.substr(5);
  return value;
}

// Octal escapes of the mount table ("\040" for a blank).
std::string Unescape(const std::string& S) {
  std::string out;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '\\' && i + 3 < S.size() && std::isdigit(static_cast<unsigned char>(S[i + 1]))) {
      out += static_cast<char>(std::strtol(S.substr(i + 1, 3).c_str(), nullptr, 8));
      i += 3;
    } else {
      out += S[i];
    }
  }
  return out;
}

bool RemovableDevice(const std::string& MajorMinor) {
  std::string base = "/sys/dev/block/" + MajorMinor;
  for (const std::string& file : {base + "/removable", base + "/../removable"}) {
    std::ifstream in(file);
    int flag = 0;
    if (in >> flag) return flag == 1;
  }
  return false;
}

std::vector<MountEntry> ReadMountInfo() {
  std::vector<MountEntry> mounts;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    // id parent major:minor root mount-point options [optional fields] - type source super-options
    std::istringstream fields(line);
    std::string id, parent, device, root, point, options, word;
    if (!(fields >> id >> parent >> device >> root >> point >> options)) continue;
    while (fields >> word && word != "-") {
    }
    MountEntry m;
    fields >> m.fstype >> m.source;
    m.path = Unescape(point);
    m.source = Unescape(m.source);
    m.removable = RemovableDevice(device);
    mounts.push_back(std::move(m));
  }
  return mounts;
}

bool Below(const std::string& Path, const std::string& Folder) {
  std::string prefix = Folder.back() == '/' ? Folder : Folder + "/";
  return Path.size() > prefix.size() && Path.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

void SetNamespaceEnvironment(const NamespaceEnvironment& Environment) { Replacement() = Environment; }

NamespaceEnvironment CurrentNamespaceEnvironment(bool WithMounts) {
  NamespaceEnvironment e = Replacement();
  if (e.home.empty()) e.home = ProcessHome();
  if (e.user.empty()) e.user = ProcessUser();
  if (e.desktop.empty()) {
    std::string desktop = UserDir("DESKTOP", e.home);
    e.desktop = IsDir(desktop) ? desktop : e.home;
  }
  if (e.documents.empty()) {
    std::string documents = UserDir("DOCUMENTS", e.home);
    e.documents = IsDir(documents) ? documents : e.home;
  }
  if (e.music.empty()) e.music = UserDir("MUSIC", e.home);
  if (e.sendTo.empty()) e.sendTo = DataHomeDir() + "/ostrovel/SendTo";
  if (WithMounts && !e.mounts) e.mounts = ReadMountInfo();
  return e;
}

std::vector<MountEntry> MountTable() {
  const NamespaceEnvironment& e = Replacement();
  return e.mounts ? *e.mounts : ReadMountInfo();
}

UINT DriveTypeOf(const MountEntry& Mount) {
  static const char* const ram[] = {"tmpfs", "ramfs"};
  static const char* const remote[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p", "afs"};
  static const char* const optical[] = {"iso9660", "udf"};
  auto in = [&](const auto& List) {
    return std::any_of(std::begin(List), std::end(List), [&](const char* t) { return Mount.fstype == t; });
  };
  if (in(ram)) return DRIVE_RAMDISK;
  if (in(remote)) return DRIVE_REMOTE;
  if (in(optical)) return DRIVE_CDROM;
  if (Mount.removable || Below(Mount.path, "/media") || Below(Mount.path, "/run/media")) return DRIVE_REMOVABLE;
  return DRIVE_FIXED;
}

std::vector<MountEntry> ComputerMounts() {
  NamespaceEnvironment e = CurrentNamespaceEnvironment(false);
  std::vector<MountEntry> table = MountTable();
  std::vector<MountEntry> shown;
  auto add = [&](const MountEntry& m) {
    // A point mounted over again shows its last mount.
    auto same = std::find_if(shown.begin(), shown.end(), [&](const MountEntry& s) { return s.path == m.path; });
    if (same != shown.end())
      *same = m;
    else
      shown.push_back(m);
  };
  MountEntry root{"/", "", "", false};
  for (const MountEntry& m : table)
    if (m.path == "/") root = m;
  add(root);
  for (const MountEntry& m : table) {
    if (Below(m.path, "/media") || (!e.user.empty() && Below(m.path, "/run/media/" + e.user)) || Below(m.path, "/mnt") ||
        Below(m.path, e.home))
      add(m);
  }
  std::sort(shown.begin() + 1, shown.end(), [](const MountEntry& a, const MountEntry& b) { return a.path < b.path; });
  return shown;
}

bool PathFromIdList(LPCITEMIDLIST List, std::string& Path) {
  Location where = ResolveIdList(List);
  if (where.kind == Location::Desktop) {
    Path = CurrentNamespaceEnvironment(false).desktop;
    return true;
  }
  if (where.kind != Location::FileSystem) return false;
  Path = where.path;
  return true;
}

HIMAGELIST SystemImageList(int Size) { return SystemIconList(Size <= 16 ? 16 : 32); }

void SetShellMessageBox(TShellMessageBox Box) { gMessageBox = Box; }

int ShellMessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) {
  constexpr int kAnswerNo = 7;
  return gMessageBox ? gMessageBox(Owner, Text, Caption, Flags) : kAnswerNo;
}

}  // namespace shell

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder>& Folder) {
  Folder = shell::DesktopFolder();
  return Folder ? S_OK : E_OUTOFMEMORY;
}

HRESULT SHGetSpecialFolderLocation(HWND, int Csidl, LPITEMIDLIST* List) {
  if (!List) return E_INVALIDARG;
  *List = nullptr;
  shell::NamespaceEnvironment e = shell::CurrentNamespaceEnvironment(false);
  std::string path;
  switch (Csidl & ~CSIDL_FLAG_CREATE) {
    case CSIDL_DESKTOP:
      *List = shell::ILCreateEmpty();
      return *List ? S_OK : E_OUTOFMEMORY;
    case CSIDL_DRIVES:
      *List = shell::MakeItem(shell::ItemKind::Computer, "");
      return *List ? S_OK : E_OUTOFMEMORY;
    case CSIDL_PERSONAL: path = e.documents; break;
    case CSIDL_SENDTO: path = e.sendTo; break;
    case CSIDL_MYMUSIC: path = e.music; break;
    case CSIDL_DESKTOPDIRECTORY: path = e.desktop; break;
    case CSIDL_PROFILE: path = e.home; break;
    default: return E_INVALIDARG;
  }
  struct stat st{};
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return E_FAIL;
  HRESULT result = S_OK;
  *List = shell::ParsePath(path, result);
  return result;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST List, char* Path) {
  if (!Path) return FALSE;
  Path[0] = '\0';
  std::string path;
  if (!shell::PathFromIdList(List, path) || path.size() >= MAX_PATH) return FALSE;
  std::memcpy(Path, path.c_str(), path.size() + 1);
  return TRUE;
}

uintptr_t SHGetFileInfoA(const char* Path, DWORD FileAttributes, SHFILEINFOA* Info, UINT, UINT Flags) {
  if (!Path) return 0;
  SHFILEINFOA scratch;
  SHFILEINFOA& out = Info ? *Info : scratch;
  bool open = Flags & SHGFI_OPENICON;
  int icon = 0;
  std::string display, type;
  SFGAOF attributes = 0;
  if ((Flags & SHGFI_USEFILEATTRIBUTES) && !(Flags & SHGFI_PIDL)) {
    // A name only: the file need not exist.
    bool folder = FileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    std::string name = Path;
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    icon = shell::IconIndexForName(name, folder);
    if (folder && open) icon = shell::kIconFolderOpen;
    display = name;
    type = shell::TypeNameForName(name, folder);
    attributes = folder ? SFGAO_FOLDER | SFGAO_FILESYSTEM : SFGAO_FILESYSTEM | SFGAO_STREAM;
  } else {
    shell::TIdListPtr parsed;
    LPCITEMIDLIST list;
    if (Flags & SHGFI_PIDL) {
      list = reinterpret_cast<LPCITEMIDLIST>(Path);
    } else {
      HRESULT result = S_OK;
      parsed.reset(shell::ParsePath(Path, result));
      if (!parsed) return 0;
      list = parsed.get();
    }
    if (shell::ILIsEmpty(list)) {
      icon = shell::kIconDesktop;
      display = shell::kDesktopName;
      type = "System Folder";
      attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM;
    } else {
      shell::TIdListPtr parentList(ILClone(list));
      ILRemoveLastID(parentList.get());
      shell::Location parent = shell::ResolveIdList(parentList.get());
      shell::ItemInfo item = shell::DescribeItem(parent, ILFindLastID(list));
      if (item.location.kind == shell::Location::Invalid) return 0;
      if (item.location.kind == shell::Location::FileSystem) {
        struct stat st{};
        if (lstat(item.location.path.c_str(), &st) != 0) return 0;
      }
      icon = shell::ItemIconIndex(item, open);
      display = shell::ItemDisplayName(item);
      type = shell::ItemTypeName(item);
      attributes = shell::ItemAttributes(item, 0xFFFFFFFFu);
    }
  }
  out.iIcon = icon;
  if (Flags & SHGFI_DISPLAYNAME) {
    std::strncpy(out.szDisplayName, display.c_str(), sizeof out.szDisplayName - 1);
    out.szDisplayName[sizeof out.szDisplayName - 1] = '\0';
  }
  if (Flags & SHGFI_TYPENAME) {
    std::strncpy(out.szTypeName, type.c_str(), sizeof out.szTypeName - 1);
    out.szTypeName[sizeof out.szTypeName - 1] = '\0';
  }
  if (Flags & SHGFI_ATTRIBUTES) out.dwAttributes = attributes;
  if (Flags & SHGFI_ICON) out.hIcon = ImageList_GetIcon(shell::SystemImageList((Flags & SHGFI_SMALLICON) ? 16 : 32), icon, 0);
  if (Flags & SHGFI_SYSICONINDEX)
    return reinterpret_cast<uintptr_t>(shell::SystemImageList((Flags & SHGFI_SMALLICON) ? 16 : 32));
  return 1;
}

UINT GetDriveTypeA(const char* Path) {
  if (!Path) return DRIVE_NO_ROOT_DIR;
  struct stat st{};
  if (stat(Path, &st) != 0) return DRIVE_NO_ROOT_DIR;
  std::string path = Path;
  const shell::MountEntry* best = nullptr;
  std::vector<shell::MountEntry> table = shell::MountTable();
  for (const shell::MountEntry& m : table) {
    bool holds = m.path == "/" || path == m.path || path.compare(0, m.path.size() + 1, m.path + "/") == 0;
    if (holds && (!best || m.path.size() >= best->path.size())) best = &m;
  }
  return best ? shell::DriveTypeOf(*best) : DRIVE_FIXED;
}

LPITEMIDLIST ILCreateFromPathA(const char* Path) {
  if (!Path) return nullptr;
  HRESULT result = S_OK;
  return shell::ParsePath(Path, result);
}
