#include "controls/shell/FcShellUtils.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/os/MessageLoop.h"
#include "tests/platform/shell/NamespaceTestTree.h"

namespace {

using shell::TIdListPtr;

class FcShellUtils : public shelltest::NamespaceTree {
 protected:
  TIdListPtr Parse(const std::string& Path) {
    LPITEMIDLIST list = nullptr;
    EXPECT_EQ(ShellParsePath(Path, list), S_OK) << Path;
    return TIdListPtr(list);
  }
};

TEST(FcShellUtilsLists, SizesCopiesAndComparisonsOfEmptyAndMissingLists) {
  EXPECT_EQ(IdListSize(nullptr), 0u);
  TIdListPtr empty(CopyIdList(nullptr, nullptr));
  EXPECT_EQ(IdListSize(empty.get()), 2u);
  TIdListPtr item(shell::MakeItem(shell::ItemKind::Computer, ""));
  EXPECT_EQ(CompareIdLists(nullptr, nullptr), 0);
  EXPECT_EQ(CompareIdLists(empty.get(), TIdListPtr(CopyIdList(nullptr, nullptr)).get()), 0);
  EXPECT_EQ(CompareIdLists(empty.get(), item.get()), -1);
  EXPECT_EQ(CompareIdLists(item.get(), empty.get()), -1);
  EXPECT_EQ(CompareIdLists(nullptr, item.get()), -1);
  TIdListPtr joined(ConcatIdLists(nullptr, item.get(), item.get()));
  EXPECT_EQ(IdListSize(joined.get()), 2 * IdListSize(item.get()) - 2);
}

TEST(FcShellUtilsLists, IdListArrayHandsOutItemsAndLeadingParts) {
  TIdListPtr a(shell::MakeItem(shell::ItemKind::Computer, "")), b(shell::MakeItem(shell::ItemKind::Mount, "/"));
  TIdListPtr ab(ILCombine(a.get(), b.get()));
  TFcIdListArray one(a.get());
  EXPECT_EQ(one.Count(), 1);
  EXPECT_TRUE(ILIsEqual(one.Items(0), a.get()));
  EXPECT_EQ(IdListSize(one.LeadingItems(1)), 2u);  // the desktop
  EXPECT_EQ(one.Items(1), nullptr);
  EXPECT_EQ(one.Items(-1), nullptr);
  EXPECT_EQ(one.LeadingItems(2), nullptr);
  TFcIdListArray two(ab.get());
  EXPECT_TRUE(ILIsEqual(two.Items(1), b.get()));
  EXPECT_TRUE(ILIsEqual(two.LeadingItems(1), a.get()));
  TFcIdListArray none(nullptr);
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.Items(0), nullptr);
  EXPECT_EQ(none.LeadingItems(0), nullptr);
}

TEST(FcShellUtilsLists, SortedPidlListFollowsItsDuplicateRule) {
  std::vector<TIdListPtr> lists;
  for (const char* name : {"b", "a", "c", "a"}) lists.emplace_back(shell::MakeItem(shell::ItemKind::File, name));
  TFcPidlList list;
  list.SetKeepSorted(true);
  list.SetDuplicateRule(fdrIgnore);
  EXPECT_EQ(list.Add(lists[0].get()), 0);
  EXPECT_EQ(list.Add(lists[1].get()), 0);
  EXPECT_EQ(list.Add(lists[2].get()), 2);
  EXPECT_EQ(list.Add(lists[3].get()), 0);  // the existing "a"
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.IndexOf(lists[2].get()), 2);
  list.SetDuplicateRule(fdrError);
  EXPECT_THROW(list.Add(lists[3].get()), Exception);
  EXPECT_EQ(list.Count(), 3);
  list.SetDuplicateRule(fdrAccept);
  list.Add(lists[3].get());
  EXPECT_EQ(list.Count(), 4);
  // An owning list frees what it removes (the sanitizers watch for a leak or a double free).
  TFcPidlList owning;
  owning.SetFreeingAllocator(ShellMalloc());
  owning.AddObject(ILClone(lists[0].get()), &owning);
  owning.Add(ILClone(lists[1].get()));
  EXPECT_EQ(owning.Objects(0), &owning);
  owning.Delete(0);
  EXPECT_EQ(owning.Count(), 1);
}

TEST(FcShellUtilsTexts, TrailingCharactersSubstitutionsAndCharacters) {
  EXPECT_EQ(EnsureTrailingChar("", '/'), "");
  EXPECT_EQ(EnsureTrailingChar("/a", '/'), "/a/");
  EXPECT_EQ(EnsureTrailingChar("/a/", '/'), "/a/");
  EXPECT_EQ(EnsureTrailingChar("/目录", '/'), "/目录/");
  EXPECT_EQ(TrimTrailingChars("name \t\r\n"), "name");
  EXPECT_EQ(TrimTrailingChars("名 "), "名");
  EXPECT_EQ(FormatStrPos("Unable to create the folder '%2'\n\n%1", {"Permission denied", "New Folder"}),
            "Unable to create the folder 'New Folder'\n\nPermission denied");
  EXPECT_EQ(FormatStrPos("", {"x"}), "");
  EXPECT_THROW(FormatStrPos("%1", std::vector<std::string>(51, "x")), Exception);
  std::string source = "a名b", target;
  int pos = 2;
  AppendCharAt(pos, source, target);
  EXPECT_EQ(target, "名");
  EXPECT_EQ(pos, 5);
  AppendCharAt(pos, source, target);
  EXPECT_EQ(target, "名b");
  EXPECT_EQ(HResultCode(MAKE_HRESULT(0, 0, 0xFFFF)), 0xFFFF);
}

TEST_F(FcShellUtils, SpecialFoldersAreFoundByTheirLocation) {
  EXPECT_EQ(ShellGetSpecialFolderPath(nullptr, CSIDL_MYMUSIC), home + "/Music");
  EXPECT_EQ(ShellGetSpecialFolderPath(nullptr, CSIDL_RECENT), "");
  TIdListPtr music = Parse(home + "/Music");
  EXPECT_EQ(ShellFindCsidl(music.get()), CSIDL_MYMUSIC);
  MakeDir(home + "/plain");
  EXPECT_EQ(ShellFindCsidl(Parse(home + "/plain").get()), 50);
  EXPECT_EQ(ShellFindCsidl(TIdListPtr(CopyIdList(nullptr, nullptr)).get()), CSIDL_DESKTOP);
  EXPECT_EQ(ShellGetSpecialFolderIconIndex(CSIDL_DRIVES, SHGFI_SMALLICON), shell::kIconComputer);
  EXPECT_THROW(ShellGetSpecialFolderIconIndex(CSIDL_NETWORK, 0), EOleError);
}

TEST_F(FcShellUtils, NamesOfItemsInTheirFolders) {
  Touch(home + "/Music/a.mp3");
  TIdListPtr song = Parse(home + "/Music/a.mp3");
  EXPECT_EQ(ShellGetItemName(song.get()), "a.mp3");
  EXPECT_EQ(ShellGetPathFromIdList(song.get()), home + "/Music/a.mp3");
  EXPECT_EQ(ShellGetDisplayName(nullptr, song.get(), 2), home + "/Music/a.mp3");
  TIdListPtr computer(shell::MakeItem(shell::ItemKind::Computer, ""));
  EXPECT_EQ(ShellGetItemName(computer.get()), "Computer");
  EXPECT_EQ(ShellGetPathFromIdList(computer.get()), "");
  std::shared_ptr<IShellFolder> folder;
  EXPECT_EQ(ShellGetFolder(nullptr, folder), S_OK);
  EXPECT_NE(ShellGetFolder(song.get(), folder), S_OK);
  EXPECT_EQ(folder, nullptr);
  STRRET inPlace;
  inPlace.uType = STRRET_CSTR;
  std::strcpy(inPlace.cStr, "text");
  EXPECT_EQ(StrRetToString(nullptr, inPlace), "text");
}

TEST_F(FcShellUtils, ShortcutsAreSymbolicLinks) {
  MakeDir(home + "/Music/Album");
  symlink("Album", (home + "/Music/Album.lnk").c_str());
  TFcShortcutInfo info;
  ASSERT_EQ(ResolveShortcut(home + "/Music/Album.lnk", info, true), S_OK);
  EXPECT_EQ(info.Path, home + "/Music/Album");
  EXPECT_EQ(info.ValidFields, 63u);
  EXPECT_EQ(ShellGetPathFromIdList(info.IdList), home + "/Music/Album");
  ILFree(info.IdList);
  Touch(home + "/Music/plain.lnk");
  EXPECT_FALSE(SUCCEEDED(ResolveShortcut(home + "/Music/plain.lnk", info, false)));
}

TEST_F(FcShellUtils, DeviceChangesReachEveryMethodInOrderEvenAfterOneFails) {
  TFcDeviceChangeHandler handler;
  std::vector<std::string> calls;
  std::vector<std::string> errors;
  SetDeviceChangeExceptionHandler([&](const std::exception& e) { errors.push_back(e.what()); });
  int a = 0, b = 0, c = 0;
  handler.Register(&a, [&](TObject*, TMessage& m) { calls.push_back("a " + std::to_string(m.WParam)); });
  handler.Register(&b, [&](TObject*, TMessage&) { throw Exception("b failed"); });
  handler.Register(&c, [&](TObject*, TMessage&) { calls.push_back("c"); });
  handler.Unregister(&a);
  handler.Register(&a, [&](TObject*, TMessage&) { calls.push_back("a again"); });
  // The broadcast is answered at once; the methods run when the re-posted message comes.
  SendMessage(handler.Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  EXPECT_TRUE(calls.empty());
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_EQ(calls, (std::vector<std::string>{"c", "a again"}));
  EXPECT_EQ(errors, std::vector<std::string>{"b failed"});
  handler.SetListening(false);
  SendMessage(handler.Handle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_EQ(calls.size(), 2u);
  SetDeviceChangeExceptionHandler(nullptr);
}

}  // namespace

namespace {

TEST(FcShellLocatorRecords, WellFormedRecordsReadBackAndBrokenOnesRaise) {
  TIdListPtr a(shell::MakeItem(shell::ItemKind::Computer, "")), b(shell::MakeItem(shell::ItemKind::Mount, "/"));
  TIdListPtr ab(ILCombine(a.get(), b.get()));
  std::string stored = WriteLocatorRecord(false, 50, ab.get());
  EXPECT_EQ(stored.size(), 5 + IdListSize(ab.get()));
  TFcLocatorRecord record = ReadLocatorRecord(stored);
  EXPECT_FALSE(record.IsCsidl);
  EXPECT_TRUE(ILIsEqual(record.IdList.get(), ab.get()));
  record = ReadLocatorRecord(WriteLocatorRecord(true, CSIDL_PERSONAL, nullptr));
  EXPECT_TRUE(record.IsCsidl);
  EXPECT_EQ(record.Csidl, CSIDL_PERSONAL);
  record = ReadLocatorRecord(std::string(5, '\0'));  // length 0: the desktop
  EXPECT_TRUE(record.IsCsidl);
  EXPECT_EQ(record.Csidl, CSIDL_DESKTOP);
  std::string lengthTooLarge = stored, itemPastTheEnd = stored, noTerminator = stored;
  lengthTooLarge[1] = static_cast<char>(lengthTooLarge[1] + 1);
  itemPastTheEnd[5] = static_cast<char>(0x7F);  // the first item claims more than there is
  noTerminator[noTerminator.size() - 2] = 1;
  for (const std::string& broken : {std::string(), std::string(3, '\0'), lengthTooLarge, itemPastTheEnd, noTerminator,
                                    std::string("\x01", 1), stored.substr(0, stored.size() - 1)})
    EXPECT_THROW(ReadLocatorRecord(broken), EReadError) << broken.size();
}

}  // namespace
