#include "platform/shell/IdLists.h"

#include <cstring>

namespace {

constexpr BYTE kItemMark = 0x4F;  // the second byte of our items, after the kind
constexpr size_t kItemHeader = 4;  // size (2), kind (1), mark (1)

WORD ReadWord(const void* At) {
  WORD value;
  std::memcpy(&value, At, sizeof value);
  return value;
}

void WriteWord(void* At, WORD Value) { std::memcpy(At, &Value, sizeof Value); }

const BYTE* Raw(LPCITEMIDLIST List) { return reinterpret_cast<const BYTE*>(List); }

// Bytes of the items, without the terminator.
size_t ItemBytes(LPCITEMIDLIST List) {
  if (!List) return 0;
  size_t total = 0;
  for (const BYTE* p = Raw(List);; ) {
    WORD cb = ReadWord(p);
    if (cb == 0) return total;
    total += cb;
    p += cb;
  }
}

LPITEMIDLIST Allocate(size_t Bytes) { return static_cast<LPITEMIDLIST>(CoTaskMemAlloc(Bytes)); }

}  // namespace

UINT ILGetSize(LPCITEMIDLIST List) { return List ? static_cast<UINT>(ItemBytes(List) + 2) : 0; }

LPITEMIDLIST ILGetNext(LPCITEMIDLIST List) {
  if (!List) return nullptr;
  WORD cb = ReadWord(List);
  if (cb == 0) return nullptr;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(Raw(List) + cb));
}

LPITEMIDLIST ILFindLastID(LPCITEMIDLIST List) {
  if (!List) return nullptr;
  const BYTE* last = Raw(List);
  for (const BYTE* p = Raw(List); ReadWord(p) != 0; p += ReadWord(p)) last = p;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(last));
}

BOOL ILRemoveLastID(LPITEMIDLIST List) {
  if (shell::ILIsEmpty(List)) return FALSE;
  WriteWord(ILFindLastID(List), 0);
  return TRUE;
}

LPITEMIDLIST ILClone(LPCITEMIDLIST List) {
  if (!List) return nullptr;
  UINT size = ILGetSize(List);
  LPITEMIDLIST copy = Allocate(size);
  if (copy) std::memcpy(copy, List, size);
  return copy;
}

LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST List) {
  if (!List) return nullptr;
  WORD cb = ReadWord(List);
  LPITEMIDLIST copy = Allocate(cb + 2u);
  if (!copy) return nullptr;
  std::memcpy(copy, List, cb);
  WriteWord(reinterpret_cast<BYTE*>(copy) + cb, 0);
  return copy;
}

LPITEMIDLIST ILCombine(LPCITEMIDLIST First, LPCITEMIDLIST Second) {
  if (!First && !Second) return nullptr;
  size_t a = ItemBytes(First), b = ItemBytes(Second);
  LPITEMIDLIST list = Allocate(a + b + 2);
  if (!list) return nullptr;
  BYTE* out = reinterpret_cast<BYTE*>(list);
  if (a) std::memcpy(out, First, a);
  if (b) std::memcpy(out + a, Second, b);
  WriteWord(out + a + b, 0);
  return list;
}

void ILFree(LPITEMIDLIST List) { CoTaskMemFree(List); }

BOOL ILIsEqual(LPCITEMIDLIST First, LPCITEMIDLIST Second) {
  if (!First || !Second) return First == Second;
  UINT size = ILGetSize(First);
  return size == ILGetSize(Second) && std::memcmp(First, Second, size) == 0;
}

LPITEMIDLIST ILFindChild(LPCITEMIDLIST Parent, LPCITEMIDLIST Child) {
  if (!Parent || !Child) return nullptr;
  size_t a = ItemBytes(Parent);
  if (a > ItemBytes(Child) || std::memcmp(Parent, Child, a) != 0) return nullptr;
  // The parent's items must end on an item boundary of the child.
  const BYTE* p = Raw(Child);
  size_t walked = 0;
  while (walked < a) {
    walked += ReadWord(p + walked);
  }
  if (walked != a) return nullptr;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(p + a));
}

BOOL ILIsParent(LPCITEMIDLIST Parent, LPCITEMIDLIST Child, BOOL Immediate) {
  LPCITEMIDLIST rest = ILFindChild(Parent, Child);
  if (!rest || shell::ILIsEmpty(rest)) return FALSE;
  return !Immediate || shell::ILIsEmpty(ILGetNext(rest));
}

namespace shell {

int ILCount(LPCITEMIDLIST List) {
  int count = 0;
  for (LPCITEMIDLIST p = List; p && ReadWord(p) != 0; p = ILGetNext(p)) ++count;
  return count;
}

bool ILIsEmpty(LPCITEMIDLIST List) { return !List || ReadWord(List) == 0; }

bool IsValidIdList(const void* Data, size_t Length) {
  if (!Data || Length < 2) return false;
  const BYTE* p = static_cast<const BYTE*>(Data);
  size_t at = 0;
  while (at + 2 <= Length) {
    WORD cb = ReadWord(p + at);
    if (cb == 0) return at + 2 == Length;
    if (cb < 3 || cb > Length - at - 2) return false;
    at += cb;
  }
  return false;
}

LPITEMIDLIST ILCreateEmpty() {
  LPITEMIDLIST list = Allocate(2);
  if (list) WriteWord(list, 0);
  return list;
}

LPITEMIDLIST MakeItem(ItemKind Kind, std::string_view Name) {
  size_t cb = kItemHeader + Name.size();
  if (cb > 0xFFFF - 2) return nullptr;
  LPITEMIDLIST list = Allocate(cb + 2);
  if (!list) return nullptr;
  BYTE* out = reinterpret_cast<BYTE*>(list);
  WriteWord(out, static_cast<WORD>(cb));
  out[2] = static_cast<BYTE>(Kind);
  out[3] = kItemMark;
  if (!Name.empty()) std::memcpy(out + kItemHeader, Name.data(), Name.size());
  WriteWord(out + cb, 0);
  return list;
}

bool IsOurItem(LPCITEMIDLIST Item) {
  if (ILIsEmpty(Item)) return false;
  WORD cb = ReadWord(Item);
  const BYTE* p = Raw(Item);
  return cb >= kItemHeader && p[3] == kItemMark && p[2] >= static_cast<BYTE>(ItemKind::Computer) &&
         p[2] <= static_cast<BYTE>(ItemKind::File);
}

ItemKind KindOf(LPCITEMIDLIST Item) { return IsOurItem(Item) ? static_cast<ItemKind>(Raw(Item)[2]) : ItemKind{}; }

std::string NameOf(LPCITEMIDLIST Item) {
  if (!IsOurItem(Item)) return {};
  WORD cb = ReadWord(Item);
  return std::string(reinterpret_cast<const char*>(Raw(Item) + kItemHeader), cb - kItemHeader);
}

std::string Bytes(LPCITEMIDLIST List) {
  if (!List) return {};
  return std::string(reinterpret_cast<const char*>(List), ILGetSize(List));
}

}  // namespace shell
