#include "platform/shell/Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "ShellTestDir.h"

namespace {

using shelltest::Read;
using shelltest::TempHome;
namespace fs = std::filesystem;

const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(Registry, ValuesPersistAcrossObjectsAndKeysAreCaseInsensitive) {
  TempHome home;
  {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey("Software\\Shop\\Player", false));
    EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
    ASSERT_TRUE(reg.OpenKey("Software\\Shop\\Player", true));
    reg.WriteString("Title", "line one\n\"quoted\" \\ back");
    reg.WriteInteger("Count", -3);
    EXPECT_TRUE(reg.OpenKey("Sub", true));  // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\Shop\\Player\\Sub");
  }
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("\\software\\SHOP"));  // a parent of a key exists
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\shop\\player", false));
  EXPECT_EQ(reg.ReadString("title"), "line one\n\"quoted\" \\ back");
  EXPECT_EQ(reg.ReadInteger("COUNT"), -3);
  EXPECT_THROW(reg.ReadInteger("Title"), ERegistryException);
  EXPECT_EQ(reg.ReadString("absent"), "");
  EXPECT_TRUE(reg.ValueExists("Title"));
  EXPECT_TRUE(reg.DeleteValue("Title"));
  EXPECT_FALSE(reg.DeleteValue("Title"));
  EXPECT_FALSE(reg.ValueExists("Title"));
  reg.CloseKey();
  EXPECT_FALSE(reg.ValueExists("Count"));
  EXPECT_TRUE(fs::exists(shell::RegistryFilePath()));
  EXPECT_EQ(shell::RegistryFilePath(), home / "config/ostrovel/registry");
}

TEST(Registry, TheRunValueIsAnAutostartEntry) {
  TempHome home;
  std::string exe = home / "bin dir/ostrovel";
  shelltest::Write(exe, "#!/bin/sh\n");
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(kRun, true));
  reg.WriteString("Ostrovel", exe);
  reg.CloseKey();
  std::string entry = shell::AutostartEntryPath("Ostrovel");
  EXPECT_EQ(entry, home / "config/autostart/Ostrovel.desktop");
  EXPECT_EQ(Read(entry),
            "[Desktop Entry]\nType=Application\nName=Ostrovel\nExec=\"" + exe +
                "\"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
  ASSERT_TRUE(reg.OpenKey(kRun, false));
  EXPECT_EQ(reg.ReadString("Ostrovel"), exe);
  EXPECT_TRUE(reg.DeleteValue("Ostrovel"));
  EXPECT_FALSE(fs::exists(entry));
  // Deleting a value that is not there is no error, and other keys make no entries.
  EXPECT_FALSE(reg.DeleteValue("Ostrovel"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Other", true));
  reg.WriteString("Ostrovel", exe);
  EXPECT_FALSE(fs::exists(entry));
}

}  // namespace

namespace {

TEST(Registry, BinaryValuesKeepTheirBytesAndRefuseSmallBuffers) {
  shelltest::TempHome home;
  const unsigned char data[] = {0x00, 0xC8, 0x00, 0x3C, 0xFF, 0x0A, 0x22, 0x5C};
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Shop\\Columns", true));
    reg.WriteBinaryData("DirectoryCols", data, sizeof data);
    reg.WriteBinaryData("Empty", nullptr, 0);
    reg.WriteString("Text", "abc");
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Shop\\Columns", false));
  EXPECT_EQ(reg.GetDataSize("DirectoryCols"), 8);
  EXPECT_EQ(reg.GetDataSize("Text"), 4);
  EXPECT_EQ(reg.GetDataSize("Absent"), -1);
  unsigned char buffer[22] = {};
  EXPECT_EQ(reg.ReadBinaryData("DirectoryCols", buffer, sizeof buffer), 8);
  EXPECT_EQ(std::memcmp(buffer, data, sizeof data), 0);
  EXPECT_EQ(reg.ReadBinaryData("Empty", buffer, sizeof buffer), 0);
  unsigned char small[4] = {1, 2, 3, 4};
  EXPECT_THROW(reg.ReadBinaryData("DirectoryCols", small, sizeof small), ERegistryException);
  EXPECT_EQ(small[0], 1);
  EXPECT_THROW(reg.ReadBinaryData("Text", buffer, sizeof buffer), ERegistryException);
  EXPECT_THROW(reg.ReadBinaryData("Absent", buffer, sizeof buffer), ERegistryException);
  EXPECT_EQ(reg.ReadString("Text"), "abc");
}

}  // namespace
