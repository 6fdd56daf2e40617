#include "platform/shell/ShellMenus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "NamespaceTestTree.h"
#include "ShellTestDir.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Cursors.h"
#include "platform/os/Menu.h"
#include "tests/support/ServiceRecorders.h"

namespace {

using shell::TIdListPtr;
namespace fs = std::filesystem;

int gAnswer = 7;
std::vector<std::string> gQuestions;
int RecordBox(HWND, const std::string& Text, const std::string&, UINT) {
  gQuestions.push_back(Text);
  return gAnswer;
}

class ShellMenus : public shelltest::NamespaceTree {
 protected:
  void SetUp() override {
    NamespaceTree::SetUp();
    shell::SetShellMessageBox(RecordBox);
    shell::SetTrash(&trash);
    shell::SetLauncher(&launcher);
    gQuestions.clear();
    gAnswer = 7;
  }
  void TearDown() override {
    shell::SetShellMessageBox(nullptr);
    shell::SetTrash(nullptr);
    shell::SetLauncher(nullptr);
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    NamespaceTree::TearDown();
  }
  // The context menu of items (absolute paths) of one folder.
  std::shared_ptr<IContextMenu> MenuOf(const std::vector<std::string>& Paths) {
    std::shared_ptr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop);
    std::vector<TIdListPtr> lists;
    TIdListPtr parent;
    for (const std::string& path : Paths) {
      LPITEMIDLIST list = ILCreateFromPathA(path.c_str());
      EXPECT_NE(list, nullptr) << path;
      parent.reset(ILClone(list));
      ILRemoveLastID(parent.get());
      lists.emplace_back(ILClone(ILFindLastID(list)));
      ILFree(list);
    }
    return MenuIn(parent.get(), lists);
  }
  std::shared_ptr<IContextMenu> MenuIn(LPCITEMIDLIST Parent, const std::vector<TIdListPtr>& Items) {
    std::shared_ptr<IShellFolder> folder;
    SHGetDesktopFolder(folder);
    if (!shell::ILIsEmpty(Parent)) {
      std::shared_ptr<IInterface> object;
      folder->BindToObject(Parent, nullptr, IShellFolder::IID, object);
      folder = std::dynamic_pointer_cast<IShellFolder>(object);
    }
    std::vector<LPCITEMIDLIST> items;
    for (const auto& item : Items) items.push_back(item.get());
    std::shared_ptr<IInterface> object;
    EXPECT_EQ(folder->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()), items.data(), IContextMenu::IID, nullptr,
                                    object),
              S_OK);
    return std::dynamic_pointer_cast<IContextMenu>(object);
  }
  // The menu's items as "id caption" lines (sub-menus indented).
  static std::vector<std::string> Items(HMENU Menu, const std::string& Indent = "") {
    std::vector<std::string> lines;
    for (int i = 0; i < GetMenuItemCount(Menu); ++i) {
      MENUITEMINFO info;
      info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
      GetMenuItemInfo(Menu, static_cast<UINT>(i), TRUE, &info);
      if (info.fType & MFT_SEPARATOR) {
        lines.push_back(Indent + "-");
        continue;
      }
      std::string state = (info.fState & MFS_GRAYED) ? " grayed" : (info.fState & MFS_DEFAULT) ? " default" : "";
      lines.push_back(Indent + (info.hSubMenu ? std::string("popup") : std::to_string(info.wID)) + " " + info.dwTypeData + state);
      if (info.hSubMenu)
        for (const std::string& line : Items(info.hSubMenu, Indent + "  ")) lines.push_back(line);
    }
    return lines;
  }
  static HRESULT Invoke(IContextMenu* Menu, const char* Verb) {
    CMINVOKECOMMANDINFO info;
    info.lpVerb = Verb;
    return Menu->InvokeCommand(&info);
  }

  test::TrashRecorder trash;
  test::LaunchRecorder launcher;
};

TEST_F(ShellMenus, OrdinaryItemsOfferTheVerbsAndRenameOnlyWhenAllowed) {
  Touch(home + "/Music/a.mp3");
  auto menu = MenuOf({home + "/Music/a.mp3"});
  HMENU popup = CreatePopupMenu();
  HRESULT result = menu->QueryContextMenu(popup, 0, 1000, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
  EXPECT_EQ(HRESULT_CODE(result), static_cast<int>(kShellCmdSendTo + 1));
  EXPECT_EQ(Items(popup), (std::vector<std::string>{"1000 &Open default", "-", "popup Se&nd To", "  1027 (none) grayed",
                                                    "-", "1024 Cu&t", "1025 &Copy", "-", "1017 &Delete",
                                                    "1018 Rena&me", "-", "1019 P&roperties"}));
  DestroyMenu(popup);
  popup = CreatePopupMenu();
  menu->QueryContextMenu(popup, 0, 1000, 0x7FFF, CMF_EXPLORE);
  for (const std::string& line : Items(popup)) EXPECT_EQ(line.find("Rena&me"), std::string::npos);
  DestroyMenu(popup);
  char verb[32];
  ASSERT_EQ(menu->GetCommandString(kShellCmdRename, GCS_VERBA, nullptr, verb, sizeof verb), S_OK);
  EXPECT_STREQ(verb, "rename");
  // A folder can take a paste.
  MakeDir(home + "/Music/Album");
  popup = CreatePopupMenu();
  MenuOf({home + "/Music/Album"})->QueryContextMenu(popup, 0, 1000, 0x7FFF, CMF_EXPLORE);
  EXPECT_EQ(GetMenuState(popup, 1000 + kShellCmdPaste, MF_BYCOMMAND) & MF_GRAYED, 0u);
  DestroyMenu(popup);
}

TEST_F(ShellMenus, MountsJunctionsAndComputerHaveNoVerbs) {
  TIdListPtr computer(shell::MakeItem(shell::ItemKind::Computer, ""));
  std::vector<TIdListPtr> rootItem;
  rootItem.emplace_back(shell::MakeItem(shell::ItemKind::Mount, "/"));
  std::vector<TIdListPtr> desktopItems;
  desktopItems.emplace_back(shell::MakeItem(shell::ItemKind::Junction, "home"));
  desktopItems.emplace_back(shell::MakeItem(shell::ItemKind::Computer, ""));
  for (auto menu : {MenuIn(computer.get(), rootItem), MenuIn(nullptr, desktopItems)}) {
    HMENU popup = CreatePopupMenu();
    EXPECT_EQ(HRESULT_CODE(menu->QueryContextMenu(popup, 0, 1000, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME)), 0);
    EXPECT_EQ(GetMenuItemCount(popup), 0);
    DestroyMenu(popup);
    EXPECT_FALSE(SUCCEEDED(Invoke(menu.get(), "delete")));
  }
  EXPECT_TRUE(trash.Paths().empty());
  EXPECT_TRUE(gQuestions.empty());
}

TEST_F(ShellMenus, DeleteAsksFirstAndMovesToTheTrashOnlyOnYes) {
  Touch(home + "/Music/a.mp3");
  Touch(home + "/Music/b.mp3");
  auto one = MenuOf({home + "/Music/a.mp3"});
  EXPECT_EQ(Invoke(one.get(), "delete"), S_FALSE);
  EXPECT_EQ(gQuestions, (std::vector<std::string>{"Are you sure you want to move 'a.mp3' to the Trash?"}));
  EXPECT_TRUE(trash.Paths().empty());
  gAnswer = 6;
  auto both = MenuOf({home + "/Music/a.mp3", home + "/Music/b.mp3"});
  EXPECT_EQ(Invoke(both.get(), "DELETE"), S_OK);
  EXPECT_EQ(gQuestions.back(), "Are you sure you want to move these 2 items to the Trash?");
  EXPECT_EQ(trash.Paths(), (std::vector<std::string>{home + "/Music/a.mp3", home + "/Music/b.mp3"}));
}

TEST_F(ShellMenus, OpenStartsTheItemThroughShellExecute) {
  Touch(home + "/Music/a.mp3");
  auto menu = MenuOf({home + "/Music/a.mp3"});
  CMINVOKECOMMANDINFO info;
  info.lpVerb = MAKEINTRESOURCE(kShellCmdOpen);
  menu->InvokeCommand(&info);
  ASSERT_EQ(launcher.Requests().size(), 1u);
  EXPECT_EQ(launcher.Requests()[0].verb, "open");
  EXPECT_EQ(launcher.Requests()[0].file, home + "/Music/a.mp3");
}

TEST_F(ShellMenus, CopyAndPasteNeverReplaceAndCutAndPasteMoves) {
  Touch(home + "/Music/a.mp3", "new");
  Touch(home + "/Music/b.txt", "b");
  MakeDir(home + "/Music/Album");
  Touch(home + "/Music/Album/a.mp3", "kept");
  ASSERT_EQ(Invoke(MenuOf({home + "/Music/a.mp3"}).get(), "copy"), S_OK);
  auto album = MenuOf({home + "/Music/Album"});
  ASSERT_EQ(Invoke(album.get(), "paste"), S_OK);
  ASSERT_EQ(Invoke(album.get(), "paste"), S_OK);
  EXPECT_EQ(shelltest::Read(home + "/Music/Album/a.mp3"), "kept");
  EXPECT_EQ(shelltest::Read(home + "/Music/Album/a (2).mp3"), "new");
  EXPECT_EQ(shelltest::Read(home + "/Music/Album/a (3).mp3"), "new");
  EXPECT_TRUE(fs::exists(home + "/Music/a.mp3"));
  ASSERT_EQ(Invoke(MenuOf({home + "/Music/b.txt"}).get(), "cut"), S_OK);
  ASSERT_EQ(Invoke(album.get(), "paste"), S_OK);
  EXPECT_FALSE(fs::exists(home + "/Music/b.txt"));
  EXPECT_EQ(shelltest::Read(home + "/Music/Album/b.txt"), "b");
  // What was cut is gone from the clipboard once it was pasted.
  EXPECT_EQ(Invoke(album.get(), "paste"), S_FALSE);
}

TEST_F(ShellMenus, TransferKeepsFoldersOutOfThemselvesAndFindsFreeNames) {
  MakeDir(home + "/a/inner");
  Touch(home + "/b/.profile");
  EXPECT_FALSE(shell::TransferFiles({home + "/a"}, home + "/a/inner", true));
  EXPECT_TRUE(fs::exists(home + "/a/inner"));
  EXPECT_EQ(shell::FreeNameIn(home + "/b", ".profile"), home + "/b/.profile (2)");
  EXPECT_EQ(shell::FreeNameIn(home + "/b", "x.tar"), home + "/b/x.tar");
  std::vector<std::string> made;
  EXPECT_TRUE(shell::TransferFiles({home + "/a"}, home + "/b", false, &made));
  EXPECT_EQ(made, (std::vector<std::string>{home + "/b/a"}));
  EXPECT_TRUE(fs::is_directory(home + "/b/a/inner"));
}

TEST_F(ShellMenus, AFolderDropTargetMovesWithinADeviceAndCopiesWithControl) {
  Touch(home + "/Music/a.mp3", "a");
  Touch(home + "/Music/b.mp3", "b");
  MakeDir(home + "/Music/Album");
  auto target = shell::MakeFolderDropTarget(nullptr, home + "/Music/Album");
  auto data = std::make_shared<shell::BlockDataObject>();
  data->Add(CF_HDROP, shell::MakeFileDropList({home + "/Music/a.mp3"}));
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, {}, &effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->Drop(data.get(), 0, {}, &effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_FALSE(fs::exists(home + "/Music/a.mp3"));
  EXPECT_TRUE(fs::exists(home + "/Music/Album/a.mp3"));
  auto copy = std::make_shared<shell::BlockDataObject>();
  copy->Add(CF_HDROP, shell::MakeFileDropList({home + "/Music/b.mp3"}));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->Drop(copy.get(), MK_CONTROL, {}, &effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_TRUE(fs::exists(home + "/Music/b.mp3"));
  EXPECT_TRUE(fs::exists(home + "/Music/Album/b.mp3"));
  // A folder dropped onto itself is refused.
  auto self = std::make_shared<shell::BlockDataObject>();
  self->Add(CF_HDROP, shell::MakeFileDropList({home + "/Music/Album"}));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(self.get(), MK_LBUTTON, {}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
}

}  // namespace
