#pragma once
// Menus as the window manager keeps them: a menu handle names a list of items (text, command
// identifier, state, an optional submenu and bitmap). A menu bar is a menu given to a top-level
// window with SetMenu (MenuBar.h); a pop-up menu is shown and run by TrackPopupMenu
// (MenuTracking.h). Menus belong to the GUI thread.
//
// An item's text is "Caption" or "Caption\tShortcut": the caption may mark its access key
// with "&" ("&&" is a plain ampersand), the part after the tab is shown right-aligned.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

using ULONG_PTR = uintptr_t;

constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

// AppendMenu / CheckMenuItem / EnableMenuItem / GetMenuState flags.
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_RIGHTJUSTIFY = 0x4000;

// MENUITEMINFO.fType.
constexpr UINT MFT_STRING = 0x0000;
constexpr UINT MFT_BITMAP = 0x0004;
constexpr UINT MFT_OWNERDRAW = 0x0100;
constexpr UINT MFT_RADIOCHECK = 0x0200;
constexpr UINT MFT_SEPARATOR = 0x0800;
constexpr UINT MFT_RIGHTJUSTIFY = 0x4000;
// MENUITEMINFO.fState.
constexpr UINT MFS_ENABLED = 0x0000;
constexpr UINT MFS_UNCHECKED = 0x0000;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = 0x0008;
constexpr UINT MFS_HILITE = 0x0080;
constexpr UINT MFS_DEFAULT = 0x1000;
// MENUITEMINFO.fMask: which members a call reads or fills.
constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_TYPE = 0x0010;  // fType and the text
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_BITMAP = 0x0080;
constexpr UINT MIIM_FTYPE = 0x0100;

struct MENUITEMINFO {
  UINT cbSize = sizeof(MENUITEMINFO);
  UINT fMask = 0;
  UINT fType = MFT_STRING;
  UINT fState = MFS_ENABLED;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  ULONG_PTR dwItemData = 0;
  std::string dwTypeData;  // the text (UTF-8)
  // A picture shown in the check-mark column (not owned by the menu).
  HBITMAP hbmpItem = nullptr;
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, as the platform does, the submenus of its items.
BOOL DestroyMenu(HMENU Menu);
BOOL IsMenu(HMENU Menu);

// Item inserts before the item Item (a position with ByPosition, else a command identifier;
// past the end: appends).
BOOL InsertMenuItem(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFO* Info);
BOOL SetMenuItemInfo(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFO* Info);
BOOL GetMenuItemInfo(HMENU Menu, UINT Item, BOOL ByPosition, MENUITEMINFO* Info);
// MF_STRING / MF_SEPARATOR / MF_POPUP (IdNewItem is then the submenu) with MF_CHECKED,
// MF_GRAYED, MF_DISABLED.
BOOL AppendMenu(HMENU Menu, UINT Flags, UINT_PTR IdNewItem, const std::string& NewItem);
// RemoveMenu takes the item out (its submenu survives); DeleteMenu also destroys the submenu.
BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags);
BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags);

// -1 for an invalid menu.
int GetMenuItemCount(HMENU Menu);
// 0xFFFFFFFF for an item that opens a submenu or does not exist.
UINT GetMenuItemID(HMENU Menu, int Position);
HMENU GetSubMenu(HMENU Menu, int Position);
// The MF_* flags of the item (MF_HILITE while it is the selected item of an open menu); for an
// item with a submenu the high byte holds the submenu's item count. 0xFFFFFFFF when not found.
// By command, the submenus are searched too.
UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags);
// Return the previous state (MF_CHECKED / MF_ENABLED, MF_GRAYED...), 0xFFFFFFFF when not found.
DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check);
BOOL EnableMenuItem(HMENU Menu, UINT Id, UINT Enable);

namespace os {

// An item as the menu keeps it.
struct TMenuItemRecord {
  UINT Type = MFT_STRING;
  UINT State = MFS_ENABLED;
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  ULONG_PTR Data = 0;
  std::string Text;
  HBITMAP Bitmap = nullptr;

  bool Separator() const { return (Type & MFT_SEPARATOR) != 0; }
  bool Disabled() const { return (State & MFS_GRAYED) != 0; }
  // The caption before the tab and the shortcut text after it.
  std::string Caption() const;
  std::string ShortCutText() const;
};

struct TMenuRecord {
  bool Popup = false;
  std::vector<TMenuItemRecord> Items;
  // The window whose menu bar this menu is (SetMenu), if any.
  HWND BarWindow = nullptr;
  // The position of the selected item while the menu is shown (-1: none).
  int Selected = -1;
};

// The record behind a handle, or nullptr (ERROR_INVALID_MENU_HANDLE).
TMenuRecord* FindMenu(HMENU Menu);

// The access key of a caption (the character after a single "&"), upper-cased for ASCII
// letters; 0 when it has none.
char32_t AccessKeyOf(const std::string& Caption);

}  // namespace os
