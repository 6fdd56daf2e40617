// The shell controls on a small home folder with an injected mount table: the folder
// locator's stored record, the tree's nodes and refreshes, the list's filter, sort, keys and
// failed fills, and the combo's entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/shell/FcShellCtrls.h"
#include "platform/classes/Streams.h"
#include "platform/os/Clipboard.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"
#include "platform/backends/HeadlessPresenter.h"

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& Path, size_t Bytes = 0) {
  std::ofstream out(Path, std::ios::binary);
  out << std::string(Bytes, 'x');
}

class ShellControlsTest : public test::HeadlessTest {
 protected:
  ShellControlsTest() : Form(std::make_unique<TForm>(nullptr)) {
    Home = fs::path(App.ExeDir()) / "home";
    fs::create_directories(Home / "Music" / "Albums");
    fs::create_directories(Home / "Documents");
    fs::create_directories(Home / "Desktop");
    Touch(Home / "Music" / "A.MP3", 3000);
    Touch(Home / "Music" / "b.mp3", 1000);
    Touch(Home / "Music" / "c.txt", 2000);
    Touch(Home / "Music" / "d.wav", 10);
    shell::NamespaceEnvironment env;
    env.home = Home.string();
    env.desktop = (Home / "Desktop").string();
    env.documents = (Home / "Documents").string();
    env.music = (Home / "Music").string();
    env.sendTo = (Home / "SendTo").string();
    env.user = "user";
    env.mounts = std::vector<shell::MountEntry>{{"/", "ext4", "/dev/sda1", false}};
    shell::SetNamespaceEnvironment(env);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(50, 50, 640, 400);
  }
  ~ShellControlsTest() override {
    Form.reset();
    shell::SetNamespaceEnvironment({});
  }
  shell::TIdListPtr Parse(const fs::path& Path) {
    LPITEMIDLIST list = nullptr;
    ShellParsePath(Path.string(), list);
    return shell::TIdListPtr(list);
  }
  TFcShellList* MakeList() {
    auto* list = new TFcShellList(Form.get());
    list->SetParent(Form.get());
    list->SetBounds(8, 8, 500, 300);
    list->SetViewStyle(vsReport);
    list->SetOptions(list->Options() - TFcShellListOptions{sloDynamicRefresh});
    return list;
  }
  void Show() {
    Form->Show();
    App.RunFor(50);
  }
  static std::vector<std::string> Names(TFcCustomShellList* List) {
    std::vector<std::string> names;
    for (int i = 0; i < List->Items()->Count(); ++i) names.push_back(List->ItemText(i, 0));
    return names;
  }

  fs::path Home;
  std::unique_ptr<TForm> Form;
  test::TInputDriver Input;
};

// ---- the locator ----

std::string Record(TFcShellLocator& Locator) {
  TMemoryStream stream;
  Locator.WriteData(&stream);
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  stream.ReadBuffer(bytes.data(), stream.Size());
  return bytes;
}

void Load(TFcShellLocator& Locator, const std::string& Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  stream.SetPosition(0);
  Locator.ReadData(&stream);
}

TEST_F(ShellControlsTest, TheLocatorRecordRoundTripsAndALengthOfZeroIsTheDesktop) {
  TFcShellLocator locator;
  shell::TIdListPtr music = Parse(Home / "Music");
  ASSERT_TRUE(music);
  locator.SetIdList(music.get());
  const std::string record = Record(locator);
  TFcShellLocator copy;
  Load(copy, record);
  EXPECT_TRUE(copy.SameLocation(&locator));
  EXPECT_EQ(copy.GetPathName(), (Home / "Music").string());

  Load(copy, std::string("\x01\x05", 2));  // the documents of whoever runs it
  EXPECT_EQ(copy.Kind(), 1);
  EXPECT_EQ(copy.GetPathName(), (Home / "Documents").string());

  Load(copy, std::string("\0\0\0\0\0", 5));
  EXPECT_EQ(copy.Kind(), 1);
  EXPECT_EQ(copy.Csidl(), 0);

  // The desktop's empty list is held as nothing.
  TFcShellLocator desktop;
  shell::TIdListPtr empty(shell::ILCreateEmpty());
  desktop.SetIdList(empty.get());
  EXPECT_TRUE(desktop.IsEmpty());
}

TEST_F(ShellControlsTest, ADamagedOrShortLocatorRecordRaisesReadError) {
  TFcShellLocator locator;
  // The length says 40 bytes, 4 follow.
  EXPECT_THROW(Load(locator, std::string("\0\x28\0\0\0\x04\0\x41\x42", 9)), EReadError);
  // An item size that runs past the end, and no terminator.
  EXPECT_THROW(Load(locator, std::string("\0\x06\0\0\0\x09\0\x05\x41\0\0", 11)), EReadError);
  EXPECT_TRUE(locator.IsEmpty());
}

// ---- the list ----

TEST_F(ShellControlsTest, TheListShowsFoldersThenTheFilesOfItsMasksWithoutCase) {
  TFcShellList* list = MakeList();
  Show();
  list->SetFileFilter("*.mp3");
  shell::TIdListPtr music = Parse(Home / "Music");
  list->Folder()->SetIdList(music.get());
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Albums", "A.MP3", "b.mp3"}));
  list->SetFileFilter("*.txt;*.wav");
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Albums", "c.txt", "d.wav"}));
  for (const char* all : {"*", "*.*"}) {
    list->SetFileFilter(all);
    EXPECT_EQ(list->Items()->Count(), 5) << all;
  }
}

TEST_F(ShellControlsTest, TheFilterActsOnlyInFileSystemFolders) {
  TFcShellList* list = MakeList();
  Show();
  list->SetFileFilter("*.mp3");
  list->Folder()->SetCsidl(CSIDL_DRIVES);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"File System"}));
}

TEST_F(ShellControlsTest, TheSortColumnIsSignedAndOneBased) {
  TFcShellList* list = MakeList();
  Show();
  list->SetFileFilter("*.mp3;*.txt");
  shell::TIdListPtr music = Parse(Home / "Music");
  list->Folder()->SetIdList(music.get());
  list->SetSortColumn(-1);
  EXPECT_EQ(list->SortedColumn(), 0);
  EXPECT_TRUE(list->SortedDescending());
  EXPECT_EQ(Names(list), (std::vector<std::string>{"c.txt", "b.mp3", "A.MP3", "Albums"}));
  list->SetSortColumn(2);
  EXPECT_EQ(list->SortedColumn(), 1);
  EXPECT_FALSE(list->SortedDescending());
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Albums", "b.mp3", "c.txt", "A.MP3"}));
}

TEST_F(ShellControlsTest, CopyCutAndDeleteWithNothingSelectedDoNothing) {
  TFcShellList* list = MakeList();
  Show();
  shell::TIdListPtr music = Parse(Home / "Music");
  list->Folder()->SetIdList(music.get());
  os::ResetClipboard();
  list->SetFocus();
  App.RunFor(20);
  list->ClearSelection();
  for (UINT key : {UINT('C'), UINT('X')}) {
    Input.KeyDown(VK_CONTROL);
    Input.Key(key);
    Input.KeyUp(VK_CONTROL);
    App.RunFor(50);
  }
  Input.Key(VK_DELETE);
  App.RunFor(50);
  EXPECT_EQ(CountClipboardFormats(), 0);
  EXPECT_TRUE(fs::exists(Home / "Music" / "A.MP3"));
  EXPECT_EQ(list->Items()->Count(), 5);
}

TEST_F(ShellControlsTest, AFailedFillKeepsTheFolderShownBefore) {
  TFcShellList* list = MakeList();
  Show();
  shell::TIdListPtr music = Parse(Home / "Music");
  shell::TIdListPtr docs = Parse(Home / "Documents");
  list->Folder()->SetIdList(music.get());
  fs::remove_all(Home / "Documents");
  EXPECT_THROW(list->Folder()->SetIdList(docs.get()), Exception);
  EXPECT_TRUE(ILIsEqual(list->ShownIdList(), music.get()));
}

// ---- the tree ----

TEST_F(ShellControlsTest, TheTreeShowsTheDesktopWithHomeAndComputerAndFilesOnlyWhenAsked) {
  auto* tree = new TFcShellTree(Form.get());
  tree->SetParent(Form.get());
  tree->SetBounds(8, 8, 250, 300);
  tree->SetOptions(tree->Options() - TFcShellTreeOptions{stoDynamicRefresh});
  Show();
  tree->FillTree();
  TTreeNode* desktop = tree->Items()->GetFirstNode();
  ASSERT_NE(desktop, nullptr);
  std::vector<std::string> children;
  for (TTreeNode* n = desktop->GetFirstChild(); n; n = n->getNextSibling()) children.push_back(n->Text());
  ASSERT_GE(children.size(), 2u);
  EXPECT_EQ(children[0], "Home");
  EXPECT_EQ(children[1], "Computer");

  shell::TIdListPtr music = Parse(Home / "Music");
  tree->SelectedLocation()->SetIdList(music.get());
  ASSERT_NE(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Selected()->Text(), "Music");
  EXPECT_EQ(tree->SelectedPathName(), (Home / "Music").string());
  tree->Selected()->Expand(false);
  std::vector<std::string> inMusic;
  for (TTreeNode* n = tree->Selected()->GetFirstChild(); n; n = n->getNextSibling()) inMusic.push_back(n->Text());
  EXPECT_EQ(inMusic, (std::vector<std::string>{"Albums"}));

  tree->SetOptions(tree->Options() + TFcShellTreeOptions{stoIncludeNonFolders});
  tree->FillTree();
  tree->Selected()->Expand(false);
  EXPECT_EQ(tree->Selected()->Count(), 5);
}

TEST_F(ShellControlsTest, AFolderDeletedElsewhereGoesOnRefreshAndItsParentIsSelected) {
  auto* tree = new TFcShellTree(Form.get());
  tree->SetParent(Form.get());
  tree->SetOptions(tree->Options() - TFcShellTreeOptions{stoDynamicRefresh});
  Show();
  tree->FillTree();
  shell::TIdListPtr albums = Parse(Home / "Music" / "Albums");
  tree->SelectedLocation()->SetIdList(albums.get());
  ASSERT_EQ(tree->Selected()->Text(), "Albums");
  fs::remove_all(Home / "Music" / "Albums");
  tree->RefreshNodes();
  ASSERT_NE(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Selected()->Text(), "Music");
  EXPECT_EQ(tree->Selected()->Count(), 0);
}

TEST_F(ShellControlsTest, KeyboardMovesReachTheLinkedListAfterAPauseAClickAtOnce) {
  auto* tree = new TFcShellTree(Form.get());
  tree->SetParent(Form.get());
  tree->SetBounds(8, 8, 200, 300);
  tree->SetOptions(tree->Options() - TFcShellTreeOptions{stoDynamicRefresh});
  TFcShellList* list = MakeList();
  list->SetBounds(220, 8, 400, 300);
  tree->SetShellList(list);
  Show();
  tree->FillTree();
  shell::TIdListPtr music = Parse(Home / "Music");
  tree->SelectedLocation()->SetIdList(music.get());
  App.RunFor(50);
  EXPECT_TRUE(ILIsEqual(list->ShownIdList(), music.get()));
  tree->SetFocus();
  App.RunFor(20);
  Input.Key(VK_DOWN);  // to Music's next sibling
  App.RunFor(100);
  ASSERT_NE(tree->Selected()->Text(), "Music");
  EXPECT_TRUE(ILIsEqual(list->ShownIdList(), music.get()));  // not yet
  App.RunFor(600);
  EXPECT_TRUE(ILIsEqual(list->ShownIdList(), tree->SelectedLocation()->GetIdList()));
  EXPECT_FALSE(ILIsEqual(list->ShownIdList(), music.get()));
}

}  // namespace

namespace {

// Pictures for a look (run with --gtest_also_run_disabled_tests and OSTROVEL_SHELL_PNGS=DIR).
TEST_F(ShellControlsTest, DISABLED_Pictures) {
  const char* dir = std::getenv("OSTROVEL_SHELL_PNGS");
  if (!dir) GTEST_SKIP();
  auto* tree = new TFcShellTree(Form.get());
  tree->SetParent(Form.get());
  tree->SetBounds(8, 8, 200, 300);
  tree->SetHideSelection(false);
  tree->SetOptions(tree->Options() - TFcShellTreeOptions{stoDynamicRefresh});
  TFcShellList* list = MakeList();
  list->SetBounds(216, 40, 416, 268);
  list->SetFileFilter("*.mp3;*.wav");
  auto* combo = new TFcShellCombo(Form.get());
  combo->SetParent(Form.get());
  combo->SetBounds(216, 8, 300, 22);
  combo->SetShellList(list);
  Show();
  tree->FillTree();
  shell::TIdListPtr computer;
  {
    LPITEMIDLIST c = nullptr;
    ShellGetSpecialFolderIdList(nullptr, CSIDL_DRIVES, c);
    computer.reset(c);
  }
  tree->SelectedLocation()->SetIdList(computer.get());
  tree->Selected()->Expand(false);
  shell::TIdListPtr music = Parse(Home / "Music");
  combo->SelectedLocation()->SetIdList(music.get());
  list->SetFocus();
  App.RunFor(100);
  App.Presenter().SaveSnapshot(tree->Handle(), std::string(dir) + "/tree.png");
  App.Presenter().SaveSnapshot(list->Handle(), std::string(dir) + "/report.png");
  list->SetViewStyle(vsList);
  App.RunFor(50);
  App.Presenter().SaveSnapshot(list->Handle(), std::string(dir) + "/list.png");
  list->SetViewStyle(vsReport);
  list->SetEnabled(false);
  App.RunFor(50);
  App.Presenter().SaveSnapshot(list->Handle(), std::string(dir) + "/disabled.png");
  list->SetEnabled(true);
  combo->SetFocus();
  App.RunFor(20);
  combo->SetDroppedDown(true);
  App.RunFor(100);
  App.Presenter().SaveSnapshot(Form->Handle(), std::string(dir) + "/form.png");
  test::SavePng(App.Presenter().ScreenSnapshot(), std::string(dir) + "/combo.png");
}

}  // namespace
