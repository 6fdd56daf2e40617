#include "platform/shell/Namespace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "NamespaceTestTree.h"
#include "ShellTestDir.h"
#include "platform/shell/IdLists.h"

namespace {

using shell::ItemKind;
using shell::TIdListPtr;

class Namespace : public shelltest::NamespaceTree {
 protected:
  std::shared_ptr<IShellFolder> Desktop() {
    std::shared_ptr<IShellFolder> desktop;
    EXPECT_EQ(SHGetDesktopFolder(desktop), S_OK);
    return desktop;
  }
  TIdListPtr Parse(const std::string& Path) {
    LPITEMIDLIST list = nullptr;
    Desktop()->ParseDisplayName(nullptr, nullptr, Path, nullptr, &list, nullptr);
    return TIdListPtr(list);
  }
  std::shared_ptr<IShellFolder> Bind(LPCITEMIDLIST AbsIdList) {
    if (shell::ILIsEmpty(AbsIdList)) return Desktop();
    std::shared_ptr<IInterface> object;
    if (FAILED(Desktop()->BindToObject(AbsIdList, nullptr, IShellFolder::IID, object))) return nullptr;
    return std::dynamic_pointer_cast<IShellFolder>(object);
  }
  static std::string Name(IShellFolder* Folder, LPCITEMIDLIST Item, DWORD Flags = SHGDN_INFOLDER) {
    STRRET name;
    if (FAILED(Folder->GetDisplayNameOf(Item, Flags, &name))) return "<failed>";
    std::string text = name.pOleStr;
    CoTaskMemFree(name.pOleStr);
    return text;
  }
  // The in-folder names of a folder's items, in enumeration order.
  static std::vector<std::string> Names(IShellFolder* Folder, DWORD Flags) {
    std::vector<std::string> names;
    std::shared_ptr<IEnumIDList> items;
    if (FAILED(Folder->EnumObjects(nullptr, Flags, items))) return {"<failed>"};
    LPITEMIDLIST item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) {
      names.push_back(Name(Folder, item));
      ILFree(item);
    }
    return names;
  }
  static SFGAOF Attributes(IShellFolder* Folder, LPCITEMIDLIST Item, SFGAOF Asked = 0xFFFFFFFFu) {
    LPCITEMIDLIST items[] = {Item};
    EXPECT_EQ(Folder->GetAttributesOf(1, items, &Asked), S_OK);
    return Asked;
  }
  SFGAOF AttributesOfPath(const std::string& Path, SFGAOF Asked = 0xFFFFFFFFu) {
    TIdListPtr list = Parse(Path);
    if (!list) return 0;
    TIdListPtr parent(ILClone(list.get()));
    ILRemoveLastID(parent.get());
    return Attributes(Bind(parent.get()).get(), ILFindLastID(list.get()), Asked);
  }
  static std::string PathOf(LPCITEMIDLIST List) {
    std::string path;
    return shell::PathFromIdList(List, path) ? path : "<none>";
  }
  static int Compare(IShellFolder* Folder, LPCITEMIDLIST A, LPCITEMIDLIST B, LPARAM Column = 0) {
    HRESULT result = Folder->CompareIDs(Column, A, B);
    EXPECT_TRUE(SUCCEEDED(result));
    return static_cast<int16_t>(HRESULT_CODE(result));
  }
};

TEST(IdLists, SizesCopiesJoinsAndParts) {
  EXPECT_EQ(ILGetSize(nullptr), 0u);
  TIdListPtr empty(shell::ILCreateEmpty());
  EXPECT_EQ(ILGetSize(empty.get()), 2u);
  EXPECT_TRUE(shell::ILIsEmpty(empty.get()));
  EXPECT_FALSE(ILRemoveLastID(empty.get()));
  TIdListPtr a(shell::MakeItem(ItemKind::Dir, "a")), bc(shell::MakeItem(ItemKind::File, "bc"));
  TIdListPtr ab(ILCombine(a.get(), bc.get()));
  EXPECT_EQ(shell::ILCount(ab.get()), 2);
  EXPECT_EQ(ILGetSize(ab.get()), ILGetSize(a.get()) + ILGetSize(bc.get()) - 2);
  EXPECT_EQ(shell::NameOf(ILFindLastID(ab.get())), "bc");
  EXPECT_EQ(shell::KindOf(ILFindLastID(ab.get())), ItemKind::File);
  EXPECT_TRUE(ILIsEqual(TIdListPtr(ILCloneFirst(ab.get())).get(), a.get()));
  EXPECT_TRUE(ILIsParent(a.get(), ab.get(), TRUE));
  EXPECT_FALSE(ILIsParent(ab.get(), a.get(), FALSE));
  EXPECT_TRUE(ILIsEqual(ILFindChild(a.get(), ab.get()), bc.get()));
  TIdListPtr copy(ILClone(ab.get()));
  EXPECT_TRUE(ILRemoveLastID(copy.get()));
  EXPECT_TRUE(ILIsEqual(copy.get(), a.get()));
  EXPECT_EQ(ILCombine(nullptr, nullptr), nullptr);
  EXPECT_EQ(ILClone(nullptr), nullptr);
}

TEST(IdLists, ValidationFollowsTheItemSizesToTheTerminator) {
  struct Case {
    std::vector<uint8_t> bytes;
    bool valid;
  };
  const Case cases[] = {
      {{0, 0}, true},                           // the desktop
      {{4, 0, 'a', 'b', 0, 0}, true},           // one item
      {{4, 0, 'a', 'b', 0, 0, 0}, false},       // a byte after the terminator
      {{4, 0, 'a', 'b'}, false},                // no terminator
      {{9, 0, 'a', 'b', 0, 0}, false},          // an item running past the end
      {{2, 0, 0, 0}, false},                    // an item too small to hold anything
      {{0}, false},                             // not even a terminator
  };
  for (const Case& c : cases) EXPECT_EQ(shell::IsValidIdList(c.bytes.data(), c.bytes.size()), c.valid);
  EXPECT_FALSE(shell::IsValidIdList(nullptr, 2));
}

TEST_F(Namespace, DesktopShowsHomeComputerAndItsFolderHiddenItemsOnlyWhenAsked) {
  MakeDir(home + "/Desktop/Shows");
  Touch(home + "/Desktop/song.mp3");
  Touch(home + "/Desktop/.secret");
  auto desktop = Desktop();
  EXPECT_EQ(Names(desktop.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
            (std::vector<std::string>{"Home", "Computer", "Shows", "song.mp3"}));
  EXPECT_EQ(Names(desktop.get(), SHCONTF_FOLDERS), (std::vector<std::string>{"Home", "Computer", "Shows"}));
  EXPECT_EQ(Names(desktop.get(), SHCONTF_NONFOLDERS), (std::vector<std::string>{"song.mp3"}));
  EXPECT_EQ(Names(desktop.get(), SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN),
            (std::vector<std::string>{".secret", "song.mp3"}));
  EXPECT_EQ(Name(desktop.get(), TIdListPtr(shell::ILCreateEmpty()).get(), SHGDN_NORMAL), "Desktop");
  EXPECT_EQ(Name(desktop.get(), TIdListPtr(shell::ILCreateEmpty()).get(), SHGDN_FORPARSING), home + "/Desktop");
}

TEST_F(Namespace, ComputerListsTheRootFirstThenTheMountsBelowTheHome) {
  LPITEMIDLIST computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  TIdListPtr owned(computer);
  auto folder = Bind(computer);
  ASSERT_TRUE(folder);
  EXPECT_EQ(Names(folder.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
            (std::vector<std::string>{"File System", "cd", "net", "ram", "usb"}));
  // A mount's item holds its path.
  std::shared_ptr<IEnumIDList> items;
  folder->EnumObjects(nullptr, SHCONTF_FOLDERS, items);
  LPITEMIDLIST first = nullptr;
  ASSERT_EQ(items->Next(1, &first, nullptr), S_OK);
  TIdListPtr root(first);
  EXPECT_EQ(shell::KindOf(root.get()), ItemKind::Mount);
  EXPECT_EQ(shell::NameOf(root.get()), "/");
  EXPECT_EQ(Name(folder.get(), root.get(), SHGDN_FORPARSING), "/");
}

TEST_F(Namespace, DriveTypesFollowTheFileSystemAndTheRemovableFlag) {
  struct Case {
    shell::MountEntry mount;
    UINT type;
  };
  const Case cases[] = {
      {{"/", "ext4", "/dev/sda1", false}, DRIVE_FIXED},
      {{"/run/shm", "tmpfs", "tmpfs", false}, DRIVE_RAMDISK},
      {{"/mnt/share", "cifs", "//srv/x", false}, DRIVE_REMOTE},
      {{"/mnt/box", "fuse.sshfs", "u@box:", false}, DRIVE_REMOTE},
      {{"/mnt/disc", "iso9660", "/dev/sr0", true}, DRIVE_CDROM},
      {{"/mnt/dvd", "udf", "/dev/sr1", false}, DRIVE_CDROM},
      {{"/mnt/stick", "vfat", "/dev/sdc1", true}, DRIVE_REMOVABLE},
      {{"/media/u/STICK", "exfat", "/dev/sdd1", false}, DRIVE_REMOVABLE},
      {{"/mnt/data", "xfs", "/dev/sdb1", false}, DRIVE_FIXED},
  };
  for (const Case& c : cases) EXPECT_EQ(shell::DriveTypeOf(c.mount), c.type) << c.mount.path;
  EXPECT_EQ(GetDriveTypeA((home + "/usb").c_str()), DRIVE_REMOVABLE);
  EXPECT_EQ(GetDriveTypeA(home.c_str()), DRIVE_FIXED);
  EXPECT_EQ(GetDriveTypeA((home + "/absent").c_str()), DRIVE_NO_ROOT_DIR);
}

TEST_F(Namespace, PathsParseThroughTheDeepestMountAndBackAndAJunctionIsItsPath) {
  Touch(home + "/usb/a/b.txt");
  TIdListPtr list = Parse(home + "/usb/a/b.txt");
  ASSERT_TRUE(list);
  std::vector<std::pair<ItemKind, std::string>> items;
  for (LPCITEMIDLIST p = list.get(); !shell::ILIsEmpty(p); p = ILGetNext(p)) items.emplace_back(shell::KindOf(p), shell::NameOf(p));
  EXPECT_EQ(items, (std::vector<std::pair<ItemKind, std::string>>{
                       {ItemKind::Computer, ""}, {ItemKind::Mount, home + "/usb"}, {ItemKind::Dir, "a"}, {ItemKind::File, "b.txt"}}));
  EXPECT_EQ(PathOf(list.get()), home + "/usb/a/b.txt");
  EXPECT_EQ(PathOf(Parse(home + "/usb/./a//b.txt/").get()), home + "/usb/a/b.txt");
  // Outside the mounts below the home, the root holds the path.
  TIdListPtr homeList = Parse(home);
  ASSERT_TRUE(homeList);
  EXPECT_EQ(shell::NameOf(ILGetNext(homeList.get())), "/");
  EXPECT_EQ(PathOf(homeList.get()), home);
  // The desktop's Home leads to the same folder.
  TIdListPtr junction(shell::MakeItem(ItemKind::Junction, "home"));
  EXPECT_EQ(PathOf(junction.get()), home);
  EXPECT_EQ(Compare(Desktop().get(), junction.get(), homeList.get()), 0);
  TIdListPtr junctionChild(ILCombine(junction.get(), TIdListPtr(shell::MakeItem(ItemKind::Dir, "usb")).get()));
  EXPECT_EQ(PathOf(junctionChild.get()), home + "/usb");
  EXPECT_EQ(Compare(Desktop().get(), junctionChild.get(), Parse(home + "/usb").get()), 0);
  // Nothing stands for a path that does not exist; Computer has no path.
  EXPECT_FALSE(Parse(home + "/absent"));
  EXPECT_EQ(PathOf(TIdListPtr(shell::MakeItem(ItemKind::Computer, "")).get()), "<none>");
  char buffer[MAX_PATH];
  EXPECT_TRUE(SHGetPathFromIDListA(list.get(), buffer));
  EXPECT_EQ(std::string(buffer), home + "/usb/a/b.txt");
  EXPECT_TRUE(SHGetPathFromIDListA(nullptr, buffer));
  EXPECT_EQ(std::string(buffer), home + "/Desktop");
}

TEST_F(Namespace, AttributesTellFoldersFilesLinksHiddenAndReadOnlyItems) {
  MakeDir(home + "/Music/Album/Disc");
  MakeDir(home + "/Music/Empty");
  Touch(home + "/Music/a.mp3");
  Touch(home + "/Music/.hidden");
  Touch(home + "/Music/locked.mp3");
  chmod((home + "/Music/locked.mp3").c_str(), 0444);
  symlink((home + "/Music/Album").c_str(), (home + "/Music/to-album").c_str());
  const SFGAOF kind = SFGAO_FOLDER | SFGAO_STREAM | SFGAO_FILESYSTEM | SFGAO_LINK | SFGAO_HIDDEN | SFGAO_READONLY |
                      SFGAO_HASSUBFOLDER | SFGAO_CANRENAME | SFGAO_CANDELETE;
  const SFGAOF ordinary = SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE;
  struct Case {
    const char* name;
    SFGAOF expected;
  };
  const Case cases[] = {
      {"Album", ordinary | SFGAO_FOLDER | SFGAO_HASSUBFOLDER},
      {"Empty", ordinary | SFGAO_FOLDER},
      {"a.mp3", ordinary | SFGAO_STREAM},
      {".hidden", ordinary | SFGAO_STREAM | SFGAO_HIDDEN},
      {"locked.mp3", ordinary | SFGAO_STREAM | SFGAO_READONLY},
      {"to-album", ordinary | SFGAO_FOLDER | SFGAO_LINK | SFGAO_HASSUBFOLDER},
  };
  for (const Case& c : cases) EXPECT_EQ(AttributesOfPath(home + "/Music/" + c.name, kind), c.expected) << c.name;
  // Computer is a file-system ancestor, so the trees show it; mounts and the Home junction
  // are folders of the file system that cannot be renamed, deleted, copied or moved.
  auto desktop = Desktop();
  const SFGAOF capabilities = SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANCOPY | SFGAO_CANMOVE;
  TIdListPtr computer(shell::MakeItem(ItemKind::Computer, "")), junction(shell::MakeItem(ItemKind::Junction, "home"));
  EXPECT_EQ(Attributes(desktop.get(), computer.get(), SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM | capabilities),
            SFGAO_FILESYSANCESTOR);
  EXPECT_EQ(Attributes(desktop.get(), junction.get(), SFGAO_FOLDER | SFGAO_FILESYSTEM | capabilities),
            SFGAO_FOLDER | SFGAO_FILESYSTEM);
  TIdListPtr usb(shell::MakeItem(ItemKind::Mount, home + "/usb"));
  EXPECT_EQ(Attributes(Bind(computer.get()).get(), usb.get(), SFGAO_FOLDER | SFGAO_REMOVABLE | capabilities),
            SFGAO_FOLDER | SFGAO_REMOVABLE);
  // Several items answer what they have in common.
  TIdListPtr a(shell::MakeItem(ItemKind::File, "a.mp3")), album(shell::MakeItem(ItemKind::Dir, "Album"));
  LPCITEMIDLIST both[] = {a.get(), album.get()};
  SFGAOF common = SFGAO_FOLDER | SFGAO_CANDELETE;
  auto music = Bind(Parse(home + "/Music").get());
  ASSERT_EQ(music->GetAttributesOf(2, both, &common), S_OK);
  EXPECT_EQ(common, SFGAO_CANDELETE);
}

TEST_F(Namespace, CompareIdsPutsFoldersFirstAndKeepsNamesDifferingInCaseApart) {
  MakeDir(home + "/Music/zeta");
  Touch(home + "/Music/A");
  Touch(home + "/Music/a");
  Touch(home + "/Music/b");
  auto music = Bind(Parse(home + "/Music").get());
  ASSERT_TRUE(music);
  TIdListPtr upper(shell::MakeItem(ItemKind::File, "A")), lower(shell::MakeItem(ItemKind::File, "a")),
      b(shell::MakeItem(ItemKind::File, "b")), zeta(shell::MakeItem(ItemKind::Dir, "zeta"));
  EXPECT_NE(Compare(music.get(), upper.get(), lower.get()), 0);
  EXPECT_EQ(Compare(music.get(), upper.get(), lower.get()), -Compare(music.get(), lower.get(), upper.get()));
  EXPECT_EQ(Compare(music.get(), lower.get(), TIdListPtr(ILClone(lower.get())).get()), 0);
  EXPECT_LT(Compare(music.get(), lower.get(), b.get()), 0);  // names without case before bytes
  EXPECT_LT(Compare(music.get(), upper.get(), b.get()), 0);
  EXPECT_LT(Compare(music.get(), zeta.get(), upper.get()), 0);  // folders first
  // By size (column 1): folders still first, then the smaller file.
  Touch(home + "/Music/b", "a longer text");
  EXPECT_GT(Compare(music.get(), b.get(), upper.get(), 1), 0);
  EXPECT_LT(Compare(music.get(), zeta.get(), b.get(), 1), 0);
  // Lists of several items compare item by item; a parent comes before its children.
  TIdListPtr zetaA(ILCombine(zeta.get(), upper.get()));
  EXPECT_LT(Compare(music.get(), zeta.get(), zetaA.get()), 0);
}

TEST_F(Namespace, NamesAndTypeNames) {
  Touch(home + "/Music/song.mp3");
  Touch(home + "/Music/README");
  Touch(home + "/Music/bad\xff.wav");
  SHFILEINFOA info;
  struct Case {
    std::string path;
    std::string display;
    std::string type;
  };
  const Case cases[] = {
      {home + "/Music", "Music", "File Folder"},
      {home + "/Music/song.mp3", "song.mp3", "MP3 File"},
      {home + "/Music/README", "README", "File"},
      {home + "/Music/bad\xff.wav", "bad\xEF\xBF\xBD.wav", "WAV File"},
      {home + "/usb", "usb", "Removable Disk"},
      {"/", "File System", "Local Disk"},
  };
  for (const Case& c : cases) {
    ASSERT_NE(SHGetFileInfoA(c.path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME | SHGFI_TYPENAME), 0u) << c.path;
    EXPECT_EQ(std::string(info.szDisplayName), c.display);
    EXPECT_EQ(std::string(info.szTypeName), c.type);
  }
  TIdListPtr computer(shell::MakeItem(ItemKind::Computer, ""));
  ASSERT_NE(SHGetFileInfoA(reinterpret_cast<const char*>(computer.get()), 0, &info, sizeof info,
                           SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_TYPENAME), 0u);
  EXPECT_EQ(std::string(info.szDisplayName), "Computer");
  EXPECT_EQ(std::string(info.szTypeName), "System Folder");
  // The parsing name keeps the file's own bytes.
  TIdListPtr bad = Parse(home + "/Music/bad\xff.wav");
  ASSERT_TRUE(bad);
  EXPECT_EQ(Name(Desktop().get(), bad.get(), SHGDN_FORPARSING), home + "/Music/bad\xff.wav");
  EXPECT_EQ(SHGetFileInfoA((home + "/absent").c_str(), 0, &info, sizeof info, SHGFI_TYPENAME), 0u);
}

TEST_F(Namespace, SpecialFoldersOfTheUserAndThoseThatDoNotExistHere) {
  struct Case {
    int csidl;
    std::string path;  // "" for a folder outside the file system
  };
  const Case cases[] = {
      {CSIDL_PERSONAL, home + "/Documents"}, {CSIDL_SENDTO, home + "/SendTo"}, {CSIDL_MYMUSIC, home + "/Music"},
      {CSIDL_DESKTOPDIRECTORY, home + "/Desktop"}, {CSIDL_PROFILE, home}, {CSIDL_DESKTOP, home + "/Desktop"},
  };
  for (const Case& c : cases) {
    LPITEMIDLIST list = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, c.csidl, &list), S_OK) << c.csidl;
    TIdListPtr owned(list);
    EXPECT_EQ(PathOf(list), c.path) << c.csidl;
  }
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES | CSIDL_FLAG_CREATE, &list), S_OK);
  EXPECT_EQ(shell::KindOf(list), ItemKind::Computer);
  ILFree(list);
  for (int csidl : {CSIDL_RECENT, CSIDL_NETWORK, 2, 0x1A}) {
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, csidl, &list), E_INVALIDARG) << csidl;
    EXPECT_EQ(list, nullptr);
  }
  std::filesystem::remove(home + "/SendTo");
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_SENDTO, &list), E_FAIL);
}

TEST_F(Namespace, RenamingNeverReplacesAnotherItem) {
  Touch(home + "/Music/old.mp3", "old");
  Touch(home + "/Music/taken.mp3", "taken");
  auto music = Bind(Parse(home + "/Music").get());
  TIdListPtr old(shell::MakeItem(ItemKind::File, "old.mp3"));
  LPITEMIDLIST renamed = nullptr;
  EXPECT_FALSE(SUCCEEDED(music->SetNameOf(nullptr, old.get(), "taken.mp3", 0, &renamed)));
  EXPECT_FALSE(SUCCEEDED(music->SetNameOf(nullptr, old.get(), "a/b", 0, &renamed)));
  EXPECT_FALSE(SUCCEEDED(music->SetNameOf(nullptr, old.get(), "", 0, &renamed)));
  EXPECT_EQ(renamed, nullptr);
  EXPECT_EQ(shelltest::Read(home + "/Music/taken.mp3"), "taken");
  ASSERT_EQ(music->SetNameOf(nullptr, old.get(), "new.mp3", 0, &renamed), S_OK);
  TIdListPtr owned(renamed);
  EXPECT_EQ(shell::NameOf(renamed), "new.mp3");
  EXPECT_EQ(shelltest::Read(home + "/Music/new.mp3"), "old");
  // A mount cannot be renamed.
  TIdListPtr computer(shell::MakeItem(ItemKind::Computer, "")), usb(shell::MakeItem(ItemKind::Mount, home + "/usb"));
  EXPECT_FALSE(SUCCEEDED(Bind(computer.get())->SetNameOf(nullptr, usb.get(), "x", 0, nullptr)));
}

TEST_F(Namespace, FoldersBindAndFilesDoNot) {
  Touch(home + "/Music/a.mp3");
  auto desktop = Desktop();
  std::shared_ptr<IInterface> object;
  EXPECT_EQ(desktop->BindToObject(Parse(home + "/Music/a.mp3").get(), nullptr, IShellFolder::IID, object), E_INVALIDARG);
  EXPECT_EQ(desktop->BindToObject(Parse(home + "/Music").get(), nullptr, IContextMenu::IID, object), E_NOINTERFACE);
  std::filesystem::permissions(home + "/Music", std::filesystem::perms::none);
  auto music = Bind(Parse(home + "/Music").get());
  ASSERT_TRUE(music);
  std::shared_ptr<IEnumIDList> items;
  if (geteuid() != 0) {
    EXPECT_EQ(music->EnumObjects(nullptr, SHCONTF_FOLDERS, items), E_FAIL);
  }
  std::filesystem::permissions(home + "/Music", std::filesystem::perms::owner_all);
}

}  // namespace
