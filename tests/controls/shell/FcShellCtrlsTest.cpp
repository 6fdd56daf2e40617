#include "controls/shell/FcShellCtrls.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/os/MessageLoop.h"
#include "platform/shell/ShellMenus.h"
#include "tests/platform/shell/NamespaceTestTree.h"
#include "tests/platform/shell/ShellTestDir.h"
#include "tests/support/ScriptedAnswers.h"

namespace {

using shell::TIdListPtr;
namespace fs = std::filesystem;

class FcShellCtrls : public shelltest::NamespaceTree {
 protected:
  TIdListPtr Parse(const std::string& Path) {
    LPITEMIDLIST list = nullptr;
    EXPECT_EQ(ShellParsePath(Path, list), S_OK) << Path;
    return TIdListPtr(list);
  }
};

TEST(FcShellFormats, FormatListAnswersByAspectFormatAndMedium) {
  TFcFormatEtcList list;
  const CLIPFORMAT formats[] = {static_cast<CLIPFORMAT>(CF_SHELLIDLIST()), CF_HDROP};
  list.Add(formats, 2);
  FORMATETC request;
  request.cfFormat = CF_HDROP;
  EXPECT_EQ(list.QueryFormat(request), S_OK);
  request.tymed = 4;  // a medium the list does not offer
  EXPECT_EQ(list.QueryFormat(request), DV_E_TYMED);
  request.tymed = TYMED_HGLOBAL;
  request.dwAspect = 4;
  EXPECT_EQ(list.QueryFormat(request), DV_E_FORMATETC);
  request.dwAspect = DVASPECT_CONTENT;
  request.cfFormat = CF_TEXT;
  EXPECT_EQ(list.QueryFormat(request), DV_E_FORMATETC);
  // A device description is copied, not shared.
  DVTARGETDEVICE device{sizeof(DVTARGETDEVICE)};
  FORMATETC withDevice;
  withDevice.ptd = &device;
  list.AddFormat(withDevice);
  EXPECT_NE(list.Items(2).ptd, &device);
  EXPECT_EQ(list.Items(2).ptd->tdSize, sizeof(DVTARGETDEVICE));

  TFcFormatEtcList_IEnumFormatEtc formatsOf(&list);
  FORMATETC out[4];
  ULONG fetched = 0;
  EXPECT_EQ(formatsOf.Next(2, out, &fetched), S_OK);
  EXPECT_EQ(out[1].cfFormat, CF_HDROP);
  std::shared_ptr<IEnumFORMATETC> clone;
  formatsOf.Clone(clone);
  EXPECT_EQ(formatsOf.Next(4, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(clone->Skip(5), S_FALSE);
  clone->Reset();
  EXPECT_EQ(clone->Next(1, out, &fetched), S_OK);
  EXPECT_EQ(out[0].cfFormat, CF_SHELLIDLIST());
}

TEST(FcShellFormats, DropSourceFollowsItsButton) {
  TDropSource_shlvtv left(0), right(1);
  EXPECT_EQ(left.QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(left.QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(left.QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(left.QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(right.QueryContinueDrag(FALSE, MK_RBUTTON | MK_CONTROL), S_OK);
  EXPECT_EQ(right.QueryContinueDrag(FALSE, MK_CONTROL), DRAGDROP_S_DROP);
  EXPECT_EQ(left.GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST(FcShellFormats, FileDropDataIsAsLongAsItsNames) {
  // Room for 260 bytes a name would cut off a Linux path (up to 4096 bytes).
  std::vector<std::string> paths = {"/" + std::string(1000, 'a'), "/" + std::string(3000, 'b')};
  HGLOBAL block = BuildFileDropData(paths);
  EXPECT_EQ(GlobalSize(block), 20u + 1002 + 3002 + 1);
  EXPECT_EQ(shell::ReadFileDropList(block), paths);
  HGLOBAL copy = CopyGlobalMemory(block);
  EXPECT_EQ(shell::ReadFileDropList(copy), paths);
  GlobalFree(copy);
  GlobalFree(block);
}

TEST(FcShellTexts, KeyTextsBothWays) {
  struct Case {
    WORD key;
    const char* text;
  };
  const Case cases[] = {{0x4000 | 65, "Ctrl+A"}, {46, "Del"},           {0x2000 | 46, "Shift+Del"}, {116, "F5"},
                        {113, "F2"},             {8, "BkSp"},           {33, "PgUp"},               {0x8000 | 40, "Alt+Down"},
                        {98, "2"},               {0x6000 | 88, "Shift+Ctrl+X"}, {200, "#200"}};
  for (const Case& c : cases) EXPECT_EQ(KeyToText(c.key), c.text);
  EXPECT_EQ(TextToKey("^A"), TextToKey("Ctrl+A"));
  EXPECT_EQ(TextToKey("ctrl+v"), 0x4000 | 86);
  EXPECT_EQ(TextToKey("Shift+Del"), 0x2000 | 46);
  EXPECT_EQ(TextToKey("Nonsense"), 0);
  EXPECT_EQ(ShellCommandKey(sckRefresh), 116);
}

TEST(FcShellTexts, SizesInWholeKilobytesRoundedUp) {
  EXPECT_EQ(FormatSizeKB(0), "0KB");
  EXPECT_EQ(FormatSizeKB(1), "1KB");
  EXPECT_EQ(FormatSizeKB(1024), "1KB");
  EXPECT_EQ(FormatSizeKB(1025), "2KB");
  std::string mega = FormatSizeKB(1048576);
  EXPECT_EQ(mega.substr(0, 1), "1");
  EXPECT_EQ(mega.substr(mega.size() - 5), "024KB");
  EXPECT_EQ(mega.size(), 7u);  // "1,024KB" with the thousands separator in force
}

TEST(FcShellItems, FolderItemsAndStreams) {
  EXPECT_FALSE(IsShellFolderItem(SFGAO_STREAM, true));
  EXPECT_TRUE(IsShellFolderItem(SFGAO_FOLDER | SFGAO_STREAM, true));
  EXPECT_FALSE(IsShellFolderItem(SFGAO_FOLDER | SFGAO_STREAM, false));
  EXPECT_TRUE(IsShellFolderItem(SFGAO_FOLDER, false));
}

TEST_F(FcShellCtrls, NewFoldersTakeTheNextFreeName) {
  MakeDir(home + "/Music/New Folder");
  MakeDir(home + "/Music/New Folder (2)");
  std::string name;
  ASSERT_TRUE(CreateNewFolder(home + "/Music", name));
  EXPECT_EQ(name, "New Folder (3)");
  EXPECT_TRUE(fs::is_directory(home + "/Music/New Folder (3)"));
}

TEST_F(FcShellCtrls, ANewFolderThatCannotBeMadeSaysWhyOnce) {
  // A parent that is a file: a real error, not a taken name, so no other name is tried.
  Touch(home + "/plain.txt");
  test::TScriptedAnswers answers;
  answers.Answer(IDOK, "Not a directory");
  std::string name = "unchanged";
  EXPECT_FALSE(CreateNewFolder(home + "/plain.txt", name));
  EXPECT_EQ(name, "unchanged");
  ASSERT_EQ(answers.Shown().size(), 1u) << answers.ShownTexts();
  EXPECT_NE(answers.Shown()[0].Request.Text.find("'New Folder'"), std::string::npos);
}

TEST_F(FcShellCtrls, SizeDateAndTypeTexts) {
  Touch(home + "/Music/a.mp3", std::string(2000, 'x'));
  TIdListPtr song = Parse(home + "/Music/a.mp3");
  std::string size, modified;
  GetFileSizeAndDate(song.get(), size, modified);
  EXPECT_EQ(size, "2KB");
  EXPECT_FALSE(modified.empty());
  GetFileSizeAndDate(Parse(home + "/Music").get(), size, modified);
  EXPECT_EQ(size, "");  // folders have no size
  GetFileSizeAndDate(Parse("/").get(), size, modified);
  EXPECT_EQ(size + modified, "");  // nor has a drive's root a size or date
  EXPECT_EQ(GetTypeName(song.get(), SFGAO_FILESYSTEM), "MP3 File");
  EXPECT_EQ(GetTypeName(song.get(), 0), "System Folder");
}

TEST_F(FcShellCtrls, ItemDataBuildsTheAbsoluteListsAndAsksTheParentFolder) {
  Touch(home + "/Music/a.mp3");
  TIdListPtr music = Parse(home + "/Music");
  TFcShellTreeData root(nullptr);
  root.Prepare(nullptr, music.get());
  EXPECT_TRUE(ILIsEqual(root.AbsIdList(), music.get()));
  EXPECT_FALSE(root.CanRename());  // a root is never renamed
  TIdListPtr song(shell::MakeItem(shell::ItemKind::File, "a.mp3"));
  TFcShellTreeData child(nullptr);
  child.Prepare(&root, song.get());
  EXPECT_EQ(child.PathName(), home + "/Music/a.mp3");
  EXPECT_TRUE(child.CanRename());
  EXPECT_EQ(child.Folder(), nullptr);  // a file is no folder
  ASSERT_TRUE(root.Folder());

  auto folder = std::make_shared<TFcShellListFolder>();
  folder->Folder = root.Folder();
  folder->AbsIdList.reset(ILClone(music.get()));
  TFcShellListData item(nullptr, folder, ILClone(song.get()));
  EXPECT_EQ(item.PathName(), home + "/Music/a.mp3");
  EXPECT_EQ(item.CachedName(), "a.mp3");
  EXPECT_FALSE(item.IsFolder());
  EXPECT_FALSE(item.IsShortcut());
  EXPECT_EQ(item.ColumnText(0), "");
  EXPECT_EQ(item.ColumnText(1), "1KB");
  EXPECT_EQ(item.ColumnText(2), "MP3 File");

  std::shared_ptr<IShellFolder> parent;
  LPITEMIDLIST parentList = nullptr, rel = nullptr;
  ASSERT_EQ(SplitAbsIdList(Parse(home + "/Music/a.mp3").get(), parent, parentList, rel), S_OK);
  TIdListPtr ownParent(parentList), ownRel(rel);
  EXPECT_TRUE(ILIsEqual(parentList, music.get()));
  EXPECT_EQ(shell::NameOf(rel), "a.mp3");
  // The desktop splits as the folder holding its files.
  ASSERT_EQ(SplitAbsIdList(nullptr, parent, parentList, rel), S_OK);
  TIdListPtr ownParent2(parentList), ownRel2(rel);
  EXPECT_EQ(shell::NameOf(rel), "Desktop");
  EXPECT_TRUE(GetDesktopDropTarget(nullptr));
}

TEST_F(FcShellCtrls, VerbsAreFoundInTheItemsMenu) {
  Touch(home + "/Music/a.mp3");
  TIdListPtr music = Parse(home + "/Music");
  std::shared_ptr<IShellFolder> folder;
  ShellGetFolder(music.get(), folder);
  TIdListPtr song(shell::MakeItem(shell::ItemKind::File, "a.mp3"));
  LPCITEMIDLIST items[] = {song.get()};
  std::shared_ptr<IContextMenu> menu;
  HMENU popup = nullptr;
  ASSERT_TRUE(GetItemContextMenu(nullptr, folder.get(), 1, items, CMF_EXPLORE | CMF_CANRENAME, 1000, menu, popup));
  EXPECT_NE(GetMenuState(popup, 1018, MF_BYCOMMAND), 0xFFFFFFFFu);
  DestroyMenu(popup);
  EXPECT_EQ(FindVerbCommand(menu.get(), "Properties"), static_cast<int>(kShellCmdProperties));
  EXPECT_EQ(FindVerbCommand(menu.get(), "rename"), -1);  // offered only with CMF_CANRENAME
  EXPECT_EQ(InvokeContextCommand(nullptr, menu.get(), "explore"), S_FALSE);
  // The common effects of the items a data object names.
  std::shared_ptr<IInterface> object;
  ASSERT_EQ(folder->GetUIObjectOf(nullptr, 1, items, IDataObject::IID, nullptr, object), S_OK);
  auto data = std::dynamic_pointer_cast<IDataObject>(object);
  EXPECT_EQ(GetCommonDropEffects(data.get()), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  TIdListPtr computer(shell::MakeItem(shell::ItemKind::Computer, ""));
  auto mounts = std::make_shared<shell::BlockDataObject>();
  TIdListPtr root(shell::MakeItem(shell::ItemKind::Mount, "/"));
  mounts->Add(static_cast<CLIPFORMAT>(CF_SHELLIDLIST()), BuildIdListArray(computer.get(), {root.get()}));
  EXPECT_EQ(GetCommonDropEffects(mounts.get()), 0u);
}

TEST_F(FcShellCtrls, SendToDropsOntoAnEntryOfTheSendToFolder) {
  MakeDir(home + "/Backup");
  symlink((home + "/Backup").c_str(), (home + "/SendTo/Backup").c_str());
  Touch(home + "/Music/a.mp3", "a");
  auto data = std::make_shared<shell::BlockDataObject>();
  data->Add(CF_HDROP, BuildFileDropData({home + "/Music/a.mp3"}));
  SendToTarget("Backup", data.get());
  EXPECT_EQ(shelltest::Read(home + "/Backup/a.mp3"), "a");
  EXPECT_TRUE(fs::exists(home + "/Music/a.mp3"));  // sent as a copy
  EXPECT_THROW(SendToTarget("Absent", data.get()), EOleError);
}

// ---- The folder-change watcher, in real time ------------------------------------------------

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

// The folder watches the process holds (the kernel lists each in its descriptor's fdinfo).
int KernelWatches() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fdinfo")) {
    std::string text = shelltest::Read(entry.path().string());
    for (size_t at = text.find("inotify wd:"); at != std::string::npos; at = text.find("inotify wd:", at + 1)) ++count;
  }
  return count;
}

class ChangeWatcher : public FcShellCtrls {
 protected:
  void SetUp() override {
    FcShellCtrls::SetUp();
    window = AllocateHWnd([this](TMessage& Message) {
      if (Message.Msg == CM_FCFOLDERCHANGE) slots.push_back(static_cast<int>(Message.WParam));
    });
  }
  void TearDown() override {
    DeallocateHWnd(window);
    FcShellCtrls::TearDown();
  }
  // Handles posted messages for Ms milliseconds of real time.
  void Pump(int Ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (std::chrono::steady_clock::now() < end) {
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  HWND window = nullptr;
  std::vector<int> slots;
};

TEST_F(ChangeWatcher, AChangeGivesOneMessageAndWatchingGoesOn) {
  MakeDir(home + "/w");
  TChangeHandlerThread watcher(window, CM_FCFOLDERCHANGE);
  int slot = -1;
  ASSERT_TRUE(watcher.AddWatch(home + "/w", FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, slot, false));
  EXPECT_EQ(slot, 0);
  Touch(home + "/w/a.mp3");
  Pump(300);
  EXPECT_EQ(slots, std::vector<int>{0});
  Touch(home + "/w/b.mp3");
  Pump(300);
  EXPECT_EQ(slots, (std::vector<int>{0, 0}));
  // Folders only: a new file says nothing, a new folder does.
  watcher.RemoveAllWatches();
  ASSERT_TRUE(watcher.AddWatch(home + "/w", FILE_NOTIFY_CHANGE_DIR_NAME, slot, false));
  EXPECT_EQ(slot, 0);
  EXPECT_EQ(watcher.WatchCount(), 1);
  Touch(home + "/w/c.mp3");
  Pump(200);
  EXPECT_EQ(slots.size(), 2u);
  MakeDir(home + "/w/sub");
  Pump(300);
  EXPECT_EQ(slots.size(), 3u);
  EXPECT_FALSE(watcher.AddWatch("", 3, slot, false));
  EXPECT_FALSE(watcher.AddWatch(home + "/absent", 3, slot, false));
  EXPECT_EQ(slot, -1);
}

TEST_F(ChangeWatcher, ASixtyFourthWatchFailsAndAFolderThatGoesFreesItsSlot) {
  int before = OpenDescriptors();
  {
    TChangeHandlerThread watcher(window, CM_FCFOLDERCHANGE);
    int during = OpenDescriptors();
    for (int i = 0; i < 64; ++i) MakeDir(home + "/d" + std::to_string(i));
    int slot = -1;
    for (int i = 0; i < 63; ++i) ASSERT_TRUE(watcher.AddWatch(home + "/d" + std::to_string(i), 3, slot, false)) << i;
    EXPECT_EQ(slot, 62);
    int watches = KernelWatches();
    EXPECT_FALSE(watcher.AddWatch(home + "/d63", 3, slot, false));
    EXPECT_EQ(slot, -1);
    EXPECT_EQ(OpenDescriptors(), during);
    EXPECT_EQ(KernelWatches(), watches);
    // The new watch was taken away again: a change in its folder says nothing.
    Touch(home + "/d63/x");
    Pump(200);
    EXPECT_TRUE(slots.empty());
    fs::remove_all(home + "/d5");
    Pump(200);
    EXPECT_EQ(watcher.WatchCount(), 62);
    ASSERT_TRUE(watcher.AddWatch(home + "/d63", 3, slot, false));
    EXPECT_EQ(slot, 5);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
