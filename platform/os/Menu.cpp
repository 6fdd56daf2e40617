#include "platform/os/Menu.h"

#include <map>
#include <memory>

#include "platform/os/Kernel.h"
#include "platform/rtl/Strings.h"

using os::TMenuItemRecord;
using os::TMenuRecord;

namespace {

// Menu handles are numbers that are never given out twice, so a stale handle is simply not
// found.
std::map<uintptr_t, std::unique_ptr<TMenuRecord>>& Menus() {
  static std::map<uintptr_t, std::unique_ptr<TMenuRecord>> menus;
  return menus;
}
uintptr_t gNextMenu = 0x4D000;

HMENU NewMenu(bool popup) {
  auto record = std::make_unique<TMenuRecord>();
  record->Popup = popup;
  const uintptr_t handle = gNextMenu++;
  Menus().emplace(handle, std::move(record));
  return reinterpret_cast<HMENU>(handle);
}

// The menu holding the item and the item's position in it; by command the submenus are
// searched depth first, as the platform does.
struct TFound {
  TMenuRecord* Menu = nullptr;
  int Position = -1;
  TMenuItemRecord* Item() const { return Menu ? &Menu->Items[static_cast<size_t>(Position)] : nullptr; }
};

TFound FindByCommand(TMenuRecord* menu, UINT id, int depth) {
  if (!menu || depth > 32) return {};
  for (size_t i = 0; i < menu->Items.size(); ++i) {
    TMenuItemRecord& item = menu->Items[i];
    if (item.SubMenu) {
      TFound inner = FindByCommand(os::FindMenu(item.SubMenu), id, depth + 1);
      if (inner.Menu) return inner;
    } else if (item.Id == id && !item.Separator()) {
      return {menu, static_cast<int>(i)};
    }
  }
  return {};
}

TFound FindItem(HMENU handle, UINT item, bool byPosition) {
  TMenuRecord* menu = os::FindMenu(handle);
  if (!menu) return {};
  TFound found;
  if (byPosition) {
    if (item < menu->Items.size()) found = {menu, static_cast<int>(item)};
  } else {
    found = FindByCommand(menu, item, 0);
  }
  if (!found.Menu) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
  return found;
}

void Apply(TMenuItemRecord& item, const MENUITEMINFO& info) {
  if (info.fMask & (MIIM_FTYPE | MIIM_TYPE)) item.Type = info.fType;
  if (info.fMask & (MIIM_STRING | MIIM_TYPE)) item.Text = info.dwTypeData;
  if (info.fMask & MIIM_STATE) item.State = info.fState;
  if (info.fMask & MIIM_ID) item.Id = info.wID;
  if (info.fMask & MIIM_SUBMENU) item.SubMenu = info.hSubMenu;
  if (info.fMask & MIIM_DATA) item.Data = info.dwItemData;
  if (info.fMask & MIIM_BITMAP) item.Bitmap = info.hbmpItem;
}

UINT StateFlags(const TMenuRecord& menu, int position) {
  const TMenuItemRecord& item = menu.Items[static_cast<size_t>(position)];
  UINT flags = item.State & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
  if (menu.Selected == position) flags |= MF_HILITE;
  if (item.Separator()) flags |= MF_SEPARATOR;
  if (item.Bitmap) flags |= MF_BITMAP;
  if (item.SubMenu) {
    flags |= MF_POPUP;
    if (TMenuRecord* sub = os::FindMenu(item.SubMenu)) flags |= static_cast<UINT>(sub->Items.size() & 0xFF) << 8;
  }
  return flags;
}

}  // namespace

namespace os {

std::string TMenuItemRecord::Caption() const { return Text.substr(0, Text.find('\t')); }

std::string TMenuItemRecord::ShortCutText() const {
  const size_t tab = Text.find('\t');
  return tab == std::string::npos ? std::string() : Text.substr(tab + 1);
}

TMenuRecord* FindMenu(HMENU menu) {
  auto& menus = Menus();
  auto it = menus.find(reinterpret_cast<uintptr_t>(menu));
  if (it == menus.end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

char32_t AccessKeyOf(const std::string& caption) {
  for (size_t pos = 0; pos < caption.size();) {
    char32_t c = rtl::NextCodePoint(caption, pos);
    if (c != U'&' || pos >= caption.size()) continue;
    char32_t next = rtl::NextCodePoint(caption, pos);
    if (next != U'&') return rtl::UpperCodePoint(next);
  }
  return 0;
}

}  // namespace os

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu) {
  auto& menus = Menus();
  auto it = menus.find(reinterpret_cast<uintptr_t>(menu));
  if (it == menus.end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  std::unique_ptr<TMenuRecord> record = std::move(it->second);
  menus.erase(it);
  for (const TMenuItemRecord& item : record->Items)
    if (item.SubMenu) DestroyMenu(item.SubMenu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return Menus().count(reinterpret_cast<uintptr_t>(menu)) != 0; }

BOOL InsertMenuItem(HMENU handle, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  TMenuRecord* menu = os::FindMenu(handle);
  if (!menu || !info) return FALSE;
  size_t at = menu->Items.size();
  if (byPosition) {
    at = std::min<size_t>(item, at);
  } else {
    for (size_t i = 0; i < menu->Items.size(); ++i)
      if (menu->Items[i].Id == item && !menu->Items[i].SubMenu) {
        at = i;
        break;
      }
  }
  TMenuItemRecord record;
  Apply(record, *info);
  menu->Items.insert(menu->Items.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
  if (menu->Selected >= static_cast<int>(at)) ++menu->Selected;
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  TFound found = FindItem(menu, item, byPosition);
  if (!found.Menu || !info) return FALSE;
  Apply(*found.Item(), *info);
  return TRUE;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info) {
  TFound found = FindItem(menu, item, byPosition);
  if (!found.Menu || !info) return FALSE;
  const TMenuItemRecord& r = *found.Item();
  if (info->fMask & (MIIM_FTYPE | MIIM_TYPE)) info->fType = r.Type;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) info->dwTypeData = r.Text;
  if (info->fMask & MIIM_STATE) info->fState = r.State | (found.Menu->Selected == found.Position ? MFS_HILITE : 0);
  if (info->fMask & MIIM_ID) info->wID = r.Id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = r.SubMenu;
  if (info->fMask & MIIM_DATA) info->dwItemData = r.Data;
  if (info->fMask & MIIM_BITMAP) info->hbmpItem = r.Bitmap;
  return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, const std::string& newItem) {
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_ID | MIIM_SUBMENU;
  info.fType = flags & (MF_SEPARATOR | MF_RIGHTJUSTIFY);
  info.fState = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
  if (flags & MF_POPUP) info.hSubMenu = reinterpret_cast<HMENU>(idNewItem);
  else info.wID = static_cast<UINT>(idNewItem);
  if (!(flags & MF_SEPARATOR)) info.dwTypeData = newItem;
  return InsertMenuItem(menu, 0xFFFFFFFFu, TRUE, &info);
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  TFound found = FindItem(menu, position, (flags & MF_BYPOSITION) != 0);
  if (!found.Menu) return FALSE;
  auto& items = found.Menu->Items;
  items.erase(items.begin() + found.Position);
  if (found.Menu->Selected == found.Position) found.Menu->Selected = -1;
  else if (found.Menu->Selected > found.Position) --found.Menu->Selected;
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  TFound found = FindItem(menu, position, (flags & MF_BYPOSITION) != 0);
  if (!found.Menu) return FALSE;
  HMENU sub = found.Item()->SubMenu;
  RemoveMenu(menu, position, flags);
  if (sub) DestroyMenu(sub);
  return TRUE;
}

int GetMenuItemCount(HMENU handle) {
  TMenuRecord* menu = os::FindMenu(handle);
  return menu ? static_cast<int>(menu->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU handle, int position) {
  TFound found = position < 0 ? TFound{} : FindItem(handle, static_cast<UINT>(position), true);
  if (!found.Menu || found.Item()->SubMenu) return 0xFFFFFFFFu;
  return found.Item()->Id;
}

HMENU GetSubMenu(HMENU handle, int position) {
  TFound found = position < 0 ? TFound{} : FindItem(handle, static_cast<UINT>(position), true);
  return found.Menu ? found.Item()->SubMenu : nullptr;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
  TFound found = FindItem(menu, id, (flags & MF_BYPOSITION) != 0);
  return found.Menu ? StateFlags(*found.Menu, found.Position) : 0xFFFFFFFFu;
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
  TFound found = FindItem(menu, id, (check & MF_BYPOSITION) != 0);
  if (!found.Menu) return 0xFFFFFFFFu;
  TMenuItemRecord& item = *found.Item();
  const DWORD old = item.State & MFS_CHECKED;
  item.State = (item.State & ~MFS_CHECKED) | (check & MF_CHECKED);
  return old;
}

BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable) {
  TFound found = FindItem(menu, id, (enable & MF_BYPOSITION) != 0);
  if (!found.Menu) return -1;
  TMenuItemRecord& item = *found.Item();
  const BOOL old = static_cast<BOOL>(item.State & MFS_GRAYED);
  item.State = (item.State & ~MFS_GRAYED) | (enable & (MF_GRAYED | MF_DISABLED));
  return old;
}
