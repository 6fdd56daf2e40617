#include "platform/shell/ShellIcons.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "NamespaceTestTree.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Png.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/shell/IdLists.h"
#include "platform/shell/Namespace.h"

namespace {

using shell::TIdListPtr;

constexpr uint32_t kBackground = 0xFFE0E8F0;

// Every picture of a list drawn in a row on a light background, then each again with the
// share and the link overlay over the folder.
gdi::TSurface Sheet(int Size) {
  HIMAGELIST list = shell::SystemImageList(Size);
  int count = ImageList_GetImageCount(list);
  int cell = Size + 4;
  graphics::TMemoryDC dc(cell * (count + 2), cell);
  for (int i = 0; i < dc.Width() * dc.Height(); ++i) dc.Bits()[i] = kBackground;
  for (int i = 0; i < count; ++i) ImageList_Draw(list, i, dc.DC(), i * cell + 2, 2, ILD_TRANSPARENT);
  ImageList_Draw(list, shell::kIconFolder, dc.DC(), count * cell + 2, 2, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
  ImageList_Draw(list, shell::kIconFolder, dc.DC(), (count + 1) * cell + 2, 2, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(2));
  gdi::TSurface surface(dc.Width(), dc.Height());
  for (int y = 0; y < dc.Height(); ++y)
    for (int x = 0; x < dc.Width(); ++x) surface.Row(y)[x] = dc.Row(y)[x] | 0xFF000000u;
  return surface;
}

uint32_t At(const gdi::TSurface& S, int Cell, int Size, int X, int Y) { return S.Row(2 + Y)[Cell * (Size + 4) + 2 + X] & 0xFFFFFF; }

TEST(ShellIcons, BothListsHoldEveryPictureAndTheOverlaysAreDrawnOverItems) {
  for (int size : {16, 32}) {
    HIMAGELIST list = shell::SystemImageList(size);
    ASSERT_EQ(ImageList_GetImageCount(list), shell::kSystemIconCount);
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    EXPECT_EQ(w, size);
    EXPECT_EQ(h, size);
    gdi::TSurface sheet = Sheet(size);
    if (const char* dir = std::getenv("OSTROVEL_SHELL_PNG_DIR"))
      gdi::SavePngFile(sheet, std::string(dir) + "/system-icons-" + std::to_string(size) + ".png");
    int s = size / 16;
    EXPECT_EQ(At(sheet, shell::kIconFile, size, 6 * s, 10 * s), 0xFFFFFFu);                 // paper
    EXPECT_EQ(At(sheet, shell::kIconFile, size, 0, 0), kBackground & 0xFFFFFF);          // transparent
    EXPECT_EQ(At(sheet, shell::kIconFolder, size, 8 * s, 10 * s), 0xF5C842u);               // folder front
    EXPECT_EQ(At(sheet, shell::kIconDriveCdrom, size, 8 * s, 8 * s), kBackground & 0xFFFFFF);  // the disc's hole
    EXPECT_EQ(At(sheet, shell::kIconHome, size, 8 * s, 3 * s), 0xC8382Cu);                  // the roof
    // The overlays cover the folder's bottom-left corner and leave the rest of it.
    int shared = shell::kSystemIconCount, linked = shell::kSystemIconCount + 1;
    EXPECT_EQ(At(sheet, linked, size, 3 * s, 10 * s), 0xFFFFFFu);  // the link box
    EXPECT_EQ(At(sheet, linked, size, 12 * s, 10 * s), 0xF5C842u);
    EXPECT_NE(At(sheet, shared, size, 2 * s, 14 * s), At(sheet, shell::kIconFolder, size, 2 * s, 14 * s));
    EXPECT_EQ(At(sheet, shared, size, 12 * s, 10 * s), 0xF5C842u);
  }
}

class ShellIconIndexes : public shelltest::NamespaceTree {};

TEST_F(ShellIconIndexes, ItemsGetTheirKindsPictureAndFailuresThePlainFile) {
  Touch(home + "/Music/a.MP3");
  Touch(home + "/Music/notes.txt");
  Touch(home + "/Music/run");
  chmod((home + "/Music/run").c_str(), 0755);
  struct Case {
    std::string path;
    UINT flags;
    int icon;
  };
  const Case cases[] = {
      {home + "/Music", 0, shell::kIconFolder},
      {home + "/Music", SHGFI_OPENICON, shell::kIconFolderOpen},
      {home + "/Music/a.MP3", 0, shell::kIconAudio},
      {home + "/Music/notes.txt", 0, shell::kIconFile},
      {home + "/Music/run", 0, shell::kIconProgram},
      {home + "/usb", 0, shell::kIconDriveRemovable},
      {home + "/cd", 0, shell::kIconDriveCdrom},
      {home + "/net", 0, shell::kIconDriveRemote},
      {home + "/ram", 0, shell::kIconDriveFixed},
      {"/", 0, shell::kIconDriveFixed},
  };
  for (const Case& c : cases) {
    SHFILEINFOA info;
    uintptr_t list = SHGetFileInfoA(c.path.c_str(), 0, &info, sizeof info, c.flags | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    EXPECT_EQ(list, reinterpret_cast<uintptr_t>(shell::SystemImageList(16))) << c.path;
    EXPECT_EQ(info.iIcon, c.icon) << c.path;
  }
  SHFILEINFOA info;
  TIdListPtr empty(shell::ILCreateEmpty()), computer(shell::MakeItem(shell::ItemKind::Computer, "")),
      home(shell::MakeItem(shell::ItemKind::Junction, "home"));
  struct ListCase {
    LPCITEMIDLIST list;
    int icon;
  };
  for (ListCase c : {ListCase{empty.get(), shell::kIconDesktop}, ListCase{computer.get(), shell::kIconComputer},
                     ListCase{home.get(), shell::kIconHome}}) {
    ASSERT_NE(SHGetFileInfoA(reinterpret_cast<const char*>(c.list), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX), 0u);
    EXPECT_EQ(info.iIcon, c.icon);
  }
  // A name alone is enough with the file attributes.
  ASSERT_NE(SHGetFileInfoA("x/never.wav", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                           SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_TYPENAME),
            0u);
  EXPECT_EQ(info.iIcon, shell::kIconAudio);
  EXPECT_STREQ(info.szTypeName, "WAV File");
  EXPECT_EQ(SHGetFileInfoA((this->home + "/absent").c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX), 0u);
}

}  // namespace
