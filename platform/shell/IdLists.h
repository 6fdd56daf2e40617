#pragma once
// Item identifier lists: a namespace item is named by a run of items, each a 2-byte
// little-endian size (counting the size field) followed by its bytes, the run ended by a 2-byte
// zero. An absolute list starts at the desktop, a relative one at its parent folder; the empty
// list (the terminator alone) is the desktop. Lists are allocated with CoTaskMemAlloc and freed
// with ILFree (or CoTaskMemFree). Items need not be aligned: read them through these routines.
//
// The items this namespace makes hold, after the size, a kind byte and a mark byte (telling
// them from items of other makers), then the raw name bytes:
//   computer   the Computer folder (no name)
//   junction   a shortcut folder on the desktop leading elsewhere: Home (name "home")
//   mount      a mounted file system shown in Computer; the name is its mount path
//   dir, file  an entry of a folder; the name is the file name as the file system keeps it
// so "/home/u/x" under the mounts "/" and "/home" parses to [computer][mount "/home"][dir "u"][x].
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/shell/Com.h"

#pragma pack(push, 1)
struct SHITEMID {
  WORD cb;
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;
using PITEMID_CHILD = ITEMIDLIST*;
using PCUITEMID_CHILD = const ITEMIDLIST*;
using PCUITEMID_CHILD_ARRAY = const ITEMIDLIST* const*;

// Bytes of the whole list, terminator included; 0 for nullptr.
UINT ILGetSize(LPCITEMIDLIST List);
// The item after the first one; nullptr at (or for) the terminator and for nullptr.
LPITEMIDLIST ILGetNext(LPCITEMIDLIST List);
// The last item (the terminator for an empty list); nullptr for nullptr.
LPITEMIDLIST ILFindLastID(LPCITEMIDLIST List);
// Cuts the last item off in place; FALSE for nullptr or an empty list.
BOOL ILRemoveLastID(LPITEMIDLIST List);
// Copies; nullptr for nullptr or when memory runs out.
LPITEMIDLIST ILClone(LPCITEMIDLIST List);
// A list of the first item only (an empty list for an empty one).
LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST List);
// The items of First, then those of Second; either may be nullptr (both: nullptr).
LPITEMIDLIST ILCombine(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void ILFree(LPITEMIDLIST List);
// The same bytes (two nulls are equal, a null and a list are not).
BOOL ILIsEqual(LPCITEMIDLIST First, LPCITEMIDLIST Second);
// Parent's items lead Child's (the item bytes compared); with Immediate, exactly one more follows.
BOOL ILIsParent(LPCITEMIDLIST Parent, LPCITEMIDLIST Child, BOOL Immediate);
// The part of Child after Parent's items, inside Child; nullptr when Parent does not lead it.
LPITEMIDLIST ILFindChild(LPCITEMIDLIST Parent, LPCITEMIDLIST Child);
// The absolute list of a file-system path (as the desktop parses it); nullptr when it does not exist.
LPITEMIDLIST ILCreateFromPathA(const char* Path);

namespace shell {

// Frees a list on leaving scope.
struct IdListFree {
  void operator()(ITEMIDLIST* List) const { ILFree(List); }
};
using TIdListPtr = std::unique_ptr<ITEMIDLIST, IdListFree>;

// Number of items (0 for nullptr and for the empty list).
int ILCount(LPCITEMIDLIST List);
// True for nullptr and for the empty list.
bool ILIsEmpty(LPCITEMIDLIST List);
// True when Length bytes hold exactly one list: every item size at least 3 and inside the
// bytes, and the terminator in the last two bytes.
bool IsValidIdList(const void* Data, size_t Length);
// A new empty list (the desktop).
LPITEMIDLIST ILCreateEmpty();

enum class ItemKind : BYTE { Computer = 1, Junction = 2, Mount = 3, Dir = 4, File = 5 };
// A one-item list of that kind and name; nullptr when the name is too long for an item.
LPITEMIDLIST MakeItem(ItemKind Kind, std::string_view Name);
// The kind of a list's first item; 0 (no kind) for an empty list or an item that is not ours.
ItemKind KindOf(LPCITEMIDLIST Item);
bool IsOurItem(LPCITEMIDLIST Item);
// The name bytes of a list's first item ("" for an item that is not ours).
std::string NameOf(LPCITEMIDLIST Item);
// The bytes of a list, terminator included (for comparing and for tests).
std::string Bytes(LPCITEMIDLIST List);

}  // namespace shell
