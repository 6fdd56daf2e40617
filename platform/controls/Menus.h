#pragma once
// Menus of the class library: TMenuItem (a caption, a command, check marks and radio groups,
// a shortcut, an image, sub-items), TMenu with its tree of items, TMainMenu (a window's menu
// bar) and TPopupMenu (shown at a point), and the shortcut routines.
//
// Items are components: a definition nests them inside their menu and inside other items
// ("object N1: TMenuItem" within "object PopupMenu1: TPopupMenu"); the form owns them all and
// the tree is kept through SetParentComponent / GetChildren. A menu shows its items through
// the window manager's menus (platform/os/Menu.h): each item with sub-items has a menu
// handle, rebuilt after any change. A caption "-" makes a separator; "&" marks the access key.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/ShiftState.h"
#include "platform/classes/TypeInfo.h"
#include "platform/os/Window.h"
#include "platform/rtl/Types.h"

class TCustomImageList;
class TChangeLink;
class TMenu;

class EMenuError : public Exception { public: using Exception::Exception; };

// ---- shortcuts ----

// A key with its modifiers: the virtual key code in the low byte, scShift, scCtrl and scAlt
// above it; 0 is none.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Del", "F5", "Shift+Ctrl+Alt+Enter"; "" for none or an unnamed key.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse, case-insensitive, modifiers in any order; 0 when the text names no key.
TShortCut TextToShortCut(const std::string& Text);
// The text without its hotkey marks: each "&" that marks the next character is removed and a
// doubled "&&" becomes one "&".
std::string StripHotkey(const std::string& Text);

// ---- items ----

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
const classes::TEnumInfo& EnumInfo(TPopupAlignment);
const classes::TEnumInfo& EnumInfo(TTrackButton);

// A menu item caption that makes a separator.
inline const char* const cLineCaption = "-";

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  // Frees the sub-items and leaves the parent.
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return FChecked; }
  // Checking a radio item unchecks the other radio items of its group among its siblings.
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  uint8_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(uint8_t Value);
  // Clicking toggles Checked (a radio item is checked).
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Drawn bold; the item a double click on a tray icon chooses.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // The picture of the menu's Images shown beside the caption (-1: none).
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }

  // The sub-items.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  int IndexOf(const TMenuItem* Item) const;
  // Raise EMenuError "Menu inserted twice" for an item that has a parent already, and
  // "Menu index out of range" for a bad index.
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Takes the item out without freeing it.
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  // The sub-item whose caption, without its access-key marks, is ACaption (case-insensitive).
  TMenuItem* Find(const std::string& ACaption) const;
  bool IsLine() const { return FCaption == cLineCaption; }
  // The menu this item belongs to (through its parents), if any.
  TMenu* GetParentMenu() const;

  // The identifier of the item's command in the window manager's menus (unique while the item
  // lives).
  UINT Command() const { return FCommand; }
  // The menu handle of the sub-items (made when first asked for, kept up to date afterwards).
  HMENU Handle();

  // Runs OnClick when the item is enabled (AutoCheck first).
  virtual void Click();
  TNotifyEvent OnClick;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

 protected:
  // Something shown changed: the menu handles follow and the menu is told.
  void MenuChanged(bool Rebuild);

 private:
  friend class TMenu;
  void TurnSiblingsOff();
  // Fills the menu handle (when made) with the visible sub-items again, in place, so a menu
  // being shown keeps its handle; their pictures are drawn anew.
  void RebuildHandle();
  // The same for this item and every sub-item below it.
  void RefreshHandles();
  // The menu handle kind: a menu bar for the root item of a main menu.
  HMENU MakeHandle();
  HBITMAP Picture();
  void FreePicture();

  std::string FCaption;
  bool FChecked = false;
  bool FRadioItem = false;
  uint8_t FGroupIndex = 0;
  bool FAutoCheck = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  TShortCut FShortCut = 0;
  int FImageIndex = -1;
  std::string FHint;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on a menu's root item
  UINT FCommand = 0;
  HMENU FHandle = nullptr;
  HBITMAP FPicture = nullptr;
};

// ---- menus ----

using TMenuChangeEvent = std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item: the menu's items are its sub-items.
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // The menu handle of the items.
  HMENU Handle() const { return FItems->Handle(); }

  // The item (at any depth) with the command identifier, the submenu handle, or the shortcut.
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
  // A key-down message (WM_KEYDOWN / WM_SYSKEYDOWN: the key in WParam; Shift and Ctrl from
  // the key states, Alt from the message): when it is the shortcut of an item, the item's
  // parents are clicked (so their handlers can update it), then the item when it is enabled.
  // True when an enabled item took the key.
  bool IsShortCut(const TMessage& Message);
  // Clicks the item with the command identifier; false when there is none.
  bool DispatchCommand(UINT ACommand);
  // A submenu is about to be shown (WM_INITMENUPOPUP): clicks the item it belongs to, so its
  // handler can update the sub-items first. False when the handle is not of this menu.
  bool DispatchPopup(HMENU AMenu);

  // An item changed (Source; nullptr: the whole menu).
  TMenuChangeEvent OnChange;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  virtual void MenuChanged(TMenuItem* Source, bool Rebuild);
  // Whether the root item's handle is a menu bar.
  virtual bool IsBar() const { return false; }
  // Fills every menu handle made so far again (pictures follow the current menu colour).
  void RefreshHandles();
  // The images changed: the pictures are drawn anew.
  void ImagesChanged();

 private:
  friend class TMenuItem;
  TMenuItem* FItems = nullptr;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
};

// The menu bar of a top-level window.
class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  // Shows the items as the menu bar of a top-level window (nullptr: of none). Commands chosen
  // on the bar reach the window as WM_COMMAND; the menu takes them (its window procedure is
  // subclassed while attached) and clicks their items.
  void SetWindowHandle(HWND Value);
  HWND WindowHandle() const { return FWindowHandle; }

 protected:
  void MenuChanged(TMenuItem* Source, bool Rebuild) override;
  bool IsBar() const override { return true; }

 private:
  void Detach();
  HWND FWindowHandle = nullptr;
  // The window's procedure before ours, ours, and the menu ours calls (cleared when detached,
  // so a procedure still chained by someone else does nothing of ours).
  WNDPROC FOldProc;
  WNDPROC FProc;
  std::shared_ptr<TMainMenu*> FSelf;
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner);

  // Fires OnPopup, shows the menu at the screen point (placed by Alignment), runs it until it
  // closes, then clicks the chosen item.
  virtual void Popup(int X, int Y);
  // The component the menu was shown for (set by whoever shows it).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  // The point of the last Popup.
  TPoint PopupPoint() const { return FPopupPoint; }

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // Whether the controls showing the menu open it on a right click themselves.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // The button that chooses items besides the left one.
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }

  TNotifyEvent OnPopup;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  virtual void DoPopup(TObject* Sender);

 private:
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TTrackButton FTrackButton = tbRightButton;
};
