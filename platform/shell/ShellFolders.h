#pragma once
// The folders of the namespace: the desktop, Computer and the file-system folders, one
// IShellFolder class over a location, with its item enumerator. What an item is (kind, path,
// attributes, names, type, icon) is answered here for the SHGet calls and the menus too.
#include <memory>
#include <string>
#include <sys/stat.h>

#include "platform/shell/Namespace.h"

namespace shell {

// What a list names, seen from the desktop.
struct Location {
  enum Kind { Invalid, Desktop, Computer, FileSystem };
  Kind kind = Invalid;
  std::string path;  // FileSystem: the path
};

// The location of the first item of Item in the folder at Parent.
Location ChildLocation(const Location& Parent, LPCITEMIDLIST Item);
// The location of an absolute list.
Location ResolveIdList(LPCITEMIDLIST AbsIdList);
// The canonical absolute list of an existing path: [Computer][deepest mount][names...];
// nullptr (with the reason in Result) when it does not exist.
LPITEMIDLIST ParsePath(const std::string& Path, HRESULT& Result);

// One item as a folder sees it.
struct ItemInfo {
  ItemKind kind{};
  std::string name;  // the raw name of the item
  Location location;
  bool ordinary() const { return kind == ItemKind::Dir || kind == ItemKind::File; }
};
ItemInfo DescribeItem(const Location& Parent, LPCITEMIDLIST Item);
// The attributes of an item among those asked.
SFGAOF ItemAttributes(const ItemInfo& Item, SFGAOF Asked);
// The normal (in-folder) name shown for an item.
std::string ItemDisplayName(const ItemInfo& Item);
std::string ItemTypeName(const ItemInfo& Item);
int ItemIconIndex(const ItemInfo& Item, bool Open);
// By name only (a file that need not exist): folder or file, audio, program.
int IconIndexForName(const std::string& Name, bool Folder);
std::string TypeNameForName(const std::string& Name, bool Folder);
// The display name of the desktop, and of Computer.
inline constexpr const char* kDesktopName = "Desktop";
inline constexpr const char* kComputerName = "Computer";
inline constexpr const char* kFileSystemName = "File System";
inline constexpr const char* kHomeName = "Home";
inline constexpr const char* kComputerParsingName = "computer:///";

// The folder at an absolute list (copied); nullptr when it names no folder.
std::shared_ptr<IShellFolder> FolderAt(LPCITEMIDLIST AbsIdList);
std::shared_ptr<IShellFolder> DesktopFolder();

// A text returned through STRRET (a heap text).
void SetStrRet(STRRET* Name, const std::string& Text);

}  // namespace shell
