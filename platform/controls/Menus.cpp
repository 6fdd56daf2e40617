#include "platform/controls/Menus.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImgList.h"
#include "platform/os/Input.h"
#include "platform/os/Menu.h"
#include "platform/os/MenuBar.h"
#include "platform/os/MenuTracking.h"
#include "platform/rtl/Strings.h"

namespace {

// ---- command identifiers ----

// WM_COMMAND carries 16 bits: identifiers 1..0xFFFF, the lowest free one first.
std::vector<bool>& CommandsInUse() {
  static std::vector<bool> used(0x10000, false);
  return used;
}

UINT AllocateCommand() {
  auto& used = CommandsInUse();
  for (UINT id = 1; id < used.size(); ++id)
    if (!used[id]) {
      used[id] = true;
      return id;
    }
  throw EMenuError("Too many menu items");
}

void FreeCommand(UINT id) {
  if (id != 0 && id < CommandsInUse().size()) CommandsInUse()[id] = false;
}

// ---- shortcut names ----

std::string KeyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  if (key >= VK_F1 && key <= VK_F1 + 23) return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num .";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_1: return ";";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_PERIOD: return ".";
    case VK_OEM_2: return "/";
    case VK_OEM_3: return "`";
    case VK_OEM_4: return "[";
    case VK_OEM_5: return "\\";
    case VK_OEM_6: return "]";
    case VK_OEM_7: return "'";
    default: return {};
  }
}

// The pop-up menu being shown, which hears of its submenus opening.
TPopupMenu* gShowing = nullptr;

// The hidden window that owns the pop-up menus while they run.
HWND PopupListWindow() {
  static HWND window = nullptr;
  if (!IsWindow(window))
    window = AllocateHWnd([](TMessage& Message) {
      if (Message.Msg == WM_INITMENUPOPUP && gShowing)
        gShowing->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam));
      Message.Result = DefWindowProc(window, Message.Msg, Message.WParam, Message.LParam);
    });
  return window;
}

}  // namespace

// ---- shortcuts ----

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key > 0xFF) return 0;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift) {
  Key = Value & 0xFF;
  Shift = {};
  if (Value & scShift) Shift.Include(ssShift);
  if (Value & scCtrl) Shift.Include(ssCtrl);
  if (Value & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut Value) {
  const std::string name = KeyName(Value & 0xFF);
  if (name.empty()) return {};
  std::string text;
  if (Value & scShift) text += "Shift+";
  if (Value & scCtrl) text += "Ctrl+";
  if (Value & scAlt) text += "Alt+";
  return text + name;
}

std::string StripHotkey(const std::string& Text) {
  std::string out;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&' && i + 1 < Text.size()) ++i;
    else if (Text[i] == '&') continue;
    out += Text[i];
  }
  return out;
}

TShortCut TextToShortCut(const std::string& Text) {
  std::string rest = Trim(Text);
  TShortCut shift = 0;
  auto take = [&](const std::string& prefix) {
    if (rest.size() <= prefix.size() || !SameText(rest.substr(0, prefix.size()), prefix)) return false;
    rest.erase(0, prefix.size());
    return true;
  };
  for (;;) {
    if (take("Shift+")) shift |= scShift;
    else if (take("Ctrl+") || take("^")) shift |= scCtrl;
    else if (take("Alt+")) shift |= scAlt;
    else break;
  }
  if (rest.empty()) return 0;
  for (WORD key = VK_BACK; key <= 0xFF; ++key)
    if (const std::string name = KeyName(key); !name.empty() && SameText(name, rest))
      return static_cast<TShortCut>(key | shift);
  return 0;
}

const classes::TEnumInfo& EnumInfo(TPopupAlignment) {
  static const classes::TEnumInfo info{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TTrackButton) {
  static const classes::TEnumInfo info{"TTrackButton", {"tbRightButton", "tbLeftButton"}};
  return info;
}

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  while (!FItems.empty()) delete FItems.back();  // each leaves this item (and its handle) as it goes
  if (FHandle) DestroyMenu(FHandle);
  FreePicture();
  FreeCommand(FCommand);
}

void TMenuItem::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(uint8_t Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* item : FParent->FItems)
    if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex) item->FChecked = false;
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  MenuChanged(true);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError("A menu item cannot be put inside itself");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  item->FParent = nullptr;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
  const int index = IndexOf(Item);
  if (index < 0) throw EMenuError("Menu item not found");
  Delete(index);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* parent = FParent;
  const int current = parent->IndexOf(this);
  Value = std::clamp(Value, 0, parent->Count() - 1);
  if (Value == current) return;
  parent->FItems.erase(parent->FItems.begin() + current);
  parent->FItems.insert(parent->FItems.begin() + Value, this);
  MenuChanged(true);
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  for (TMenuItem* item : FItems)
    if (AnsiSameText(StripHotkey(item->FCaption), ACaption)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
  if (OnClick) {
    TNotifyEvent handler = OnClick;  // the handler may free the item
    handler(this);
  }
}

void TMenuItem::MenuChanged(bool Rebuild) {
  // The item's own sub-items, and its line in its parent's menu.
  RebuildHandle();
  if (FParent) FParent->RebuildHandle();
  TMenu* menu = GetParentMenu();
  if (menu && !menu->HasState(csDestroying)) menu->MenuChanged(this, Rebuild);
}

HMENU TMenuItem::MakeHandle() { return FMenu && FMenu->IsBar() ? CreateMenu() : CreatePopupMenu(); }

HMENU TMenuItem::Handle() {
  if (!FHandle) {
    FHandle = MakeHandle();
    RebuildHandle();
  }
  return FHandle;
}

void TMenuItem::RebuildHandle() {
  if (!FHandle) return;
  // Taken out, not destroyed: the submenus belong to the sub-items.
  while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
  for (TMenuItem* item : FItems) {
    item->FreePicture();
    if (!item->FVisible) continue;
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA | MIIM_BITMAP;
    info.wID = item->FCommand;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    if (item->IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      info.fType = item->FRadioItem ? MFT_RADIOCHECK : MFT_STRING;
      info.fState = (item->FEnabled ? 0 : MFS_GRAYED) | (item->FChecked ? MFS_CHECKED : 0) |
                    (item->FDefault ? MFS_DEFAULT : 0);
      info.dwTypeData = item->FCaption;
      if (item->FShortCut) info.dwTypeData += "\t" + ShortCutToText(item->FShortCut);
      if (item->Count() > 0) info.hSubMenu = item->Handle();
      info.hbmpItem = item->Picture();
    }
    InsertMenuItem(FHandle, 0xFFFFFFFFu, TRUE, &info);
  }
}

void TMenuItem::RefreshHandles() {
  RebuildHandle();
  for (TMenuItem* item : FItems) item->RefreshHandles();
}

void TMenuItem::FreePicture() {
  if (FPicture) DeleteObject(FPicture);
  FPicture = nullptr;
}

HBITMAP TMenuItem::Picture() {
  if (FPicture) return FPicture;
  TMenu* menu = GetParentMenu();
  TCustomImageList* images = menu ? menu->Images() : nullptr;
  if (!images || FImageIndex < 0 || FImageIndex >= images->Count()) return nullptr;
  // Drawn on the menu colour, as the menu shows it, greyed for a disabled item.
  TBitmap bitmap(images->Width(), images->Height());
  bitmap.Canvas()->Brush()->SetColor(clMenu);
  bitmap.Canvas()->FillRect(TRect(0, 0, images->Width(), images->Height()));
  images->Draw(bitmap.Canvas(), 0, 0, FImageIndex, FEnabled);
  FPicture = bitmap.ReleaseHandle();
  return FPicture;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(Value)) menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(Value)) item->Add(this);
  else if (Value) throw EMenuError("Menu item " + Name() + " is not inside a menu");
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TMenuItem* item : FItems)
    if (item->Owner() == Root) Proc(item);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
  if (auto* item = dynamic_cast<TMenuItem*>(Child); item && item->FParent == this) item->SetMenuIndex(Order);
}

static const classes::TPublished<TMenuItem, TComponent> MenuItemInfo([](classes::TPublisher<TMenuItem>& p) {
  p.Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
  p.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  p.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  p.Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
  p.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  p.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  p.String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  p.Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  p.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  p.Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  p.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  p.Event("OnClick", &TMenuItem::OnClick);
});

// ---- TMenu ----

TMenu::TMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(new TMenuItem(this)), FImageChangeLink(std::make_unique<TChangeLink>()) {
  FItems->FMenu = this;
  FImageChangeLink->OnChange = [this](TObject*) { ImagesChanged(); };
}

TMenu::~TMenu() {
  SetImages(nullptr);
  TMenuItem* root = FItems;
  root->FMenu = nullptr;
  delete root;  // frees every item
  FItems = nullptr;
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  ImagesChanged();
}

void TMenu::ImagesChanged() {
  if (!FItems || !FItems->FMenu) return;
  FItems->RefreshHandles();
  MenuChanged(nullptr, false);
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const {
  auto matches = [&](const TMenuItem* item) {
    switch (Kind) {
      case fkCommand: return item->FCommand == Value;
      case fkHandle: return item->FHandle != nullptr && reinterpret_cast<UINT_PTR>(item->FHandle) == Value;
      case fkShortCut: return item->FShortCut != 0 && item->FShortCut == Value;
    }
    return false;
  };
  std::function<TMenuItem*(TMenuItem*)> search = [&](TMenuItem* parent) -> TMenuItem* {
    for (TMenuItem* item : parent->FItems) {
      if (matches(item)) return item;
      if (TMenuItem* inner = search(item)) return inner;
    }
    return nullptr;
  };
  if (Kind == fkHandle && matches(FItems)) return FItems;
  return search(FItems);
}

bool TMenu::IsShortCut(const TMessage& Message) {
  constexpr LPARAM kAltDown = 0x20000000;
  TShortCut shortCut = static_cast<TShortCut>(Message.WParam & 0xFF);
  if (shortCut == 0) return false;
  if (GetKeyState(VK_SHIFT) < 0) shortCut |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) shortCut |= scCtrl;
  if ((Message.LParam & kAltDown) || GetKeyState(VK_MENU) < 0) shortCut |= scAlt;
  TMenuItem* item = FindItem(shortCut, fkShortCut);
  if (!item) return false;
  // The parents' handlers run first, as when their menus open: they may update the item.
  std::vector<TMenuItem*> parents;
  for (TMenuItem* p = item->Parent(); p && p != FItems; p = p->Parent()) parents.push_back(p);
  for (auto it = parents.rbegin(); it != parents.rend(); ++it) (*it)->Click();
  item = FindItem(shortCut, fkShortCut);  // a handler may have changed the menu
  if (!item || !item->Enabled()) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchCommand(UINT ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

void TMenu::RefreshHandles() { FItems->RefreshHandles(); }

bool TMenu::DispatchPopup(HMENU AMenu) {
  TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AMenu), fkHandle);
  if (!item) return false;
  item->Click();
  return true;
}

void TMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
  if (OnChange) OnChange(this, Source, Rebuild);
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  FItems->GetChildren(Proc, Root);
}

void TMenu::SetChildOrder(TComponent* Child, int Order) { FItems->SetChildOrder(Child, Order); }

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    ImagesChanged();
  }
}

static const classes::TPublished<TMenu, TComponent> MenuInfo;

// ---- TMainMenu ----

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() { Detach(); }

void TMainMenu::SetWindowHandle(HWND Value) {
  if (Value == FWindowHandle) return;
  Detach();
  if (!Value) return;
  if (!SetMenu(Value, Handle())) throw EMenuError("A menu bar needs a top-level window");
  FWindowHandle = Value;
  FSelf = std::make_shared<TMainMenu*>(this);
  FOldProc = GetWindowProc(Value);
  FProc = MakeWndProc([self = FSelf, old = FOldProc](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    TMainMenu* menu = *self;
    if (menu && msg == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0 && menu->DispatchCommand(LOWORD(wParam)))
      return 0;
    if (menu && msg == WM_INITMENUPOPUP) menu->DispatchPopup(reinterpret_cast<HMENU>(wParam));
    if (menu && msg == WM_NCDESTROY) {
      menu->FWindowHandle = nullptr;
      *self = nullptr;
    }
    return CallWindowProc(old, wnd, msg, wParam, lParam);
  });
  SetWindowProc(Value, FProc);
}

void TMainMenu::Detach() {
  if (FSelf) *FSelf = nullptr;
  if (FWindowHandle && IsWindow(FWindowHandle)) {
    SetMenu(FWindowHandle, nullptr);
    if (GetWindowProc(FWindowHandle) == FProc) SetWindowProc(FWindowHandle, FOldProc);
  }
  FWindowHandle = nullptr;
  FSelf.reset();
  FProc.reset();
  FOldProc.reset();
}

void TMainMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
  TMenu::MenuChanged(Source, Rebuild);
  if (FWindowHandle && IsWindow(FWindowHandle)) DrawMenuBar(FWindowHandle);
}

static const classes::TPublished<TMainMenu, TMenu> MainMenuInfo([](classes::TPublisher<TMainMenu>& p) {
  p.Component("Images", &TMainMenu::Images, &TMainMenu::SetImages);
  p.Event("OnChange", &TMainMenu::OnChange);
});

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
  static constexpr UINT kAlignments[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  FPopupPoint = TPoint(X, Y);
  DoPopup(this);
  // The pictures follow the current menu colour.
  RefreshHandles();
  const UINT flags = kAlignments[FAlignment] | (FTrackButton == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON) |
                     TPM_RETURNCMD;
  UINT command = 0;
  {
    TPopupMenu* outer = gShowing;
    gShowing = this;
    struct TRestore {
      TPopupMenu* Outer;
      ~TRestore() { gShowing = Outer; }
    } restore{outer};
    command = static_cast<UINT>(TrackPopupMenu(Handle(), flags, X, Y, 0, PopupListWindow(), nullptr));
  }
  if (command != 0) DispatchCommand(command);
}

static const classes::TPublished<TPopupMenu, TMenu> PopupMenuInfo([](classes::TPublisher<TPopupMenu>& p) {
  p.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  p.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  p.Component("Images", &TPopupMenu::Images, &TPopupMenu::SetImages);
  p.Enum("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
  p.Event("OnChange", &TPopupMenu::OnChange);
  p.Event("OnPopup", &TPopupMenu::OnPopup);
});
