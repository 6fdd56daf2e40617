#include "platform/shell/DragDrop.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/os/Window.h"
#include "platform/shell/IdLists.h"

namespace {

using shell::TIdListPtr;

std::string BlockBytes(HGLOBAL Block) {
  std::string bytes(static_cast<const char*>(GlobalLock(Block)), GlobalSize(Block));
  GlobalUnlock(Block);
  return bytes;
}

uint32_t Word32(const std::string& Bytes, size_t At) {
  uint32_t v;
  std::memcpy(&v, Bytes.data() + At, 4);
  return v;
}

TEST(DragFormats, IdListArrayLayoutAndReadingBack) {
  TIdListPtr parent(shell::MakeItem(shell::ItemKind::Computer, ""));
  TIdListPtr a(shell::MakeItem(shell::ItemKind::File, "a")), bc(shell::MakeItem(shell::ItemKind::Dir, "bc"));
  HGLOBAL block = shell::MakeIdListArray(parent.get(), {a.get(), bc.get()});
  std::string bytes = BlockBytes(block);
  // Count, three offsets, then the lists one after the other.
  const size_t header = 4 + 4 * 3;
  EXPECT_EQ(bytes.size(), ILGetSize(parent.get()) + 4 * 2 + 8 + ILGetSize(a.get()) + ILGetSize(bc.get()));
  EXPECT_EQ(Word32(bytes, 0), 2u);
  EXPECT_EQ(Word32(bytes, 4), header);
  EXPECT_EQ(Word32(bytes, 8), header + ILGetSize(parent.get()));
  EXPECT_EQ(Word32(bytes, 12), header + ILGetSize(parent.get()) + ILGetSize(a.get()));
  EXPECT_EQ(bytes.substr(Word32(bytes, 8), ILGetSize(a.get())), shell::Bytes(a.get()));
  TIdListPtr readParent;
  std::vector<TIdListPtr> items;
  ASSERT_TRUE(shell::ReadIdListArray(block, readParent, items));
  EXPECT_TRUE(ILIsEqual(readParent.get(), parent.get()));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_TRUE(ILIsEqual(items[1].get(), bc.get()));
  GlobalFree(block);
  // No parent is the desktop's empty list.
  block = shell::MakeIdListArray(nullptr, {a.get()});
  ASSERT_TRUE(shell::ReadIdListArray(block, readParent, items));
  EXPECT_TRUE(shell::ILIsEmpty(readParent.get()));
  GlobalFree(block);
}

TEST(DragFormats, BrokenIdListArraysAreRefused) {
  TIdListPtr a(shell::MakeItem(shell::ItemKind::File, "a"));
  HGLOBAL good = shell::MakeIdListArray(nullptr, {a.get()});
  std::string bytes = BlockBytes(good);
  GlobalFree(good);
  auto blockOf = [](const std::string& Bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
    std::memcpy(GlobalLock(block), Bytes.data(), Bytes.size());
    GlobalUnlock(block);
    return block;
  };
  std::string countTooLarge = bytes, offsetOutside = bytes, cut = bytes.substr(0, bytes.size() - 1);
  countTooLarge[0] = 100;
  offsetOutside[8] = static_cast<char>(0xF0);
  for (const std::string& broken : {countTooLarge, offsetOutside, cut}) {
    HGLOBAL block = blockOf(broken);
    TIdListPtr parent;
    std::vector<TIdListPtr> items;
    EXPECT_FALSE(shell::ReadIdListArray(block, parent, items));
    GlobalFree(block);
  }
}

TEST(DragFormats, FileDropListIsSizedFromTheNamesEvenForLongPaths) {
  std::string longPath = "/" + std::string(4094, 'x');
  std::vector<std::string> paths = {"/a/b.mp3", longPath, "/c"};
  HGLOBAL block = shell::MakeFileDropList(paths);
  std::string bytes = BlockBytes(block);
  EXPECT_EQ(bytes.size(), 20 + (8 + 1) + (4095 + 1) + (2 + 1) + 1);
  EXPECT_EQ(Word32(bytes, 0), 20u);       // the names' offset
  EXPECT_EQ(Word32(bytes, 4), 0u);        // point (0, 0)
  EXPECT_EQ(Word32(bytes, 8), 0u);
  EXPECT_EQ(Word32(bytes, 12), 0u);       // not in the non-client area
  EXPECT_EQ(Word32(bytes, 16), 0u);       // 8-bit names
  EXPECT_EQ(bytes.substr(20, 9), std::string("/a/b.mp3\0", 9));
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("/c\0\0", 4));
  EXPECT_EQ(shell::ReadFileDropList(block), paths);
  GlobalFree(block);
  EXPECT_TRUE(shell::ReadFileDropList(nullptr).empty());
}

class NoTarget : public IDropTarget {
 public:
  bool QueryInterface(const TGUID& IID, void** Obj) override { return classes::QueryInterfaces<IDropTarget>(this, IID, Obj); }
  HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD* Effect) override { return *Effect = 0, S_OK; }
  HRESULT DragOver(DWORD, POINTL, DWORD* Effect) override { return *Effect = 0, S_OK; }
  HRESULT DragLeave() override { return S_OK; }
  HRESULT Drop(IDataObject*, DWORD, POINTL, DWORD* Effect) override { return *Effect = 0, S_OK; }
};

TEST(DragDrop, RegistrationIsOnePerLiveWindow) {
  HWND wnd = AllocateHWnd([](TMessage&) {});
  auto target = std::make_shared<NoTarget>();
  EXPECT_EQ(RegisterDragDrop(wnd, target), S_OK);
  EXPECT_EQ(RegisterDragDrop(wnd, target), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(shell::RegisteredDropTarget(wnd), target);
  EXPECT_EQ(RevokeDragDrop(wnd), S_OK);
  EXPECT_EQ(RevokeDragDrop(wnd), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(RegisterDragDrop(wnd, target), S_OK);
  DeallocateHWnd(wnd);
  // The registration goes with the window.
  EXPECT_EQ(shell::RegisteredDropTarget(wnd), nullptr);
  EXPECT_EQ(target.use_count(), 1);
  EXPECT_EQ(RegisterDragDrop(wnd, target), DRAGDROP_E_INVALIDHWND);
  DWORD effect = 5;
  EXPECT_EQ(DoDragDrop(nullptr, nullptr, DROPEFFECT_COPY, &effect), E_INVALIDARG);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
}

}  // namespace
