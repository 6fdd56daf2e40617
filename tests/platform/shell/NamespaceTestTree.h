#pragma once
// A temporary user for the namespace: a home with a desktop, documents, music and Send To
// folders, and an injected mount table (the root, four drives below the home and /proc, which
// Computer leaves out).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shell/Namespace.h"

namespace shelltest {

class NamespaceTree : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrovel-ns-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    root = mkdtemp(buf.data());
    home = root + "/home/u";
    for (const char* dir : {"", "/Desktop", "/Documents", "/Music", "/SendTo", "/usb", "/cd", "/net", "/ram"})
      std::filesystem::create_directories(home + dir);
    shell::NamespaceEnvironment e;
    e.home = home;
    e.desktop = home + "/Desktop";
    e.documents = home + "/Documents";
    e.music = home + "/Music";
    e.sendTo = home + "/SendTo";
    e.user = "u";
    e.mounts = std::vector<shell::MountEntry>{{"/", "ext4", "/dev/sda1", false},
                                              {home + "/usb", "vfat", "/dev/sdb1", true},
                                              {home + "/cd", "iso9660", "/dev/sr0", false},
                                              {home + "/net", "nfs4", "srv:/share", false},
                                              {home + "/ram", "tmpfs", "tmpfs", false},
                                              {"/proc", "proc", "proc", false}};
    shell::SetNamespaceEnvironment(e);
  }
  void TearDown() override {
    shell::SetNamespaceEnvironment({});
    std::error_code ec;
    std::filesystem::permissions(root, std::filesystem::perms::all, ec);
    std::filesystem::remove_all(root, ec);
  }

  static void Touch(const std::string& Path, const std::string& Text = "x") {
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream(Path, std::ios::binary) << Text;
  }
  static void MakeDir(const std::string& Path) { std::filesystem::create_directories(Path); }

  std::string root, home;
};

}  // namespace shelltest
