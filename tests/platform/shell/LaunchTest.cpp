#include "platform/shell/Launch.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ShellTestDir.h"
#include "platform/shell/ShellPaths.h"

namespace {

using shell::Command;
using shell::MapShellExecute;
using shelltest::TempHome;

void MakeExecutable(const std::string& path) {
  shelltest::Write(path, "#!/bin/sh\n");
  chmod(path.c_str(), 0755);
}

TEST(ShellExecuteMapping, ProgramsBesideTheExecutable) {
  TempHome home;
  std::string exeDir = home / "app";
  MakeExecutable(exeDir + "/quorvex");
  auto a = MapShellExecute("open", exeDir + "/quorvex.exe", "", "", exeDir);
  ASSERT_TRUE(a.command);
  EXPECT_EQ(*a.command, (Command{{exeDir + "/quorvex"}, exeDir}));
  auto b = MapShellExecute("open", "quorvex.exe", "-x \"two words\"", "", exeDir);
  ASSERT_TRUE(b.command);
  EXPECT_EQ(b.command->argv, (std::vector<std::string>{exeDir + "/quorvex", "-x", "two words"}));
  EXPECT_EQ(MapShellExecute("open", exeDir + "/absent.exe", "", "", exeDir).error, shell::kShellFileNotFound);
  EXPECT_EQ(MapShellExecute("open", home / "nowhere/absent.exe", "", "", exeDir).error, shell::kShellPathNotFound);
  EXPECT_EQ(MapShellExecute("open", "", "", "", exeDir).error, shell::kShellFileNotFound);
}

TEST(ShellExecuteMapping, ShutdownPowersOffAfterTheDelay) {
  auto a = MapShellExecute("open", "shutdown.exe", "-s -f -t 10", "", "/x");
  ASSERT_TRUE(a.command);
  const auto& argv = a.command->argv;
  ASSERT_EQ(argv.size(), 5u);
  EXPECT_EQ(argv[0], "/bin/sh");
  EXPECT_EQ(argv[2], "sleep \"$1\"; systemctl poweroff -i || shutdown -h now");
  EXPECT_EQ(argv[4], "10");
  auto r = MapShellExecute("open", "SHUTDOWN.EXE", "-r", "", "/x");
  ASSERT_TRUE(r.command);
  EXPECT_EQ(r.command->argv[2], "sleep \"$1\"; systemctl reboot || shutdown -r now");
  EXPECT_EQ(r.command->argv[4], "30");
  EXPECT_EQ(MapShellExecute("open", "shutdown.exe", "-a", "", "/x").error, shell::kShellNoAssociation);
}

TEST(ShellExecuteMapping, ExplorerShowsTheFileInItsFolder) {
  TempHome home;
  std::string file = home / "music/a b,c.mp3";
  shelltest::Write(file, "x");
  auto a = MapShellExecute("open", "explorer.exe", "/e,/select," + file, "", "/x");
  ASSERT_TRUE(a.command);
  const auto& argv = a.command->argv;
  ASSERT_EQ(argv.size(), 6u);
  EXPECT_NE(argv[2].find("org.freedesktop.FileManager1.ShowItems"), std::string::npos);
  EXPECT_NE(argv[2].find("|| exec xdg-open \"$2\""), std::string::npos);
  EXPECT_EQ(argv[4], "file://" + shell::UriEscapePath(home / "music") + "/a%20b%2Cc.mp3");
  EXPECT_EQ(argv[5], home / "music");
  auto folder = MapShellExecute("open", "explorer.exe", home / "music", "", "/x");
  ASSERT_TRUE(folder.command);
  EXPECT_EQ(folder.command->argv, (std::vector<std::string>{"xdg-open", home / "music"}));
  EXPECT_EQ(MapShellExecute("open", "explorer.exe", "/e,/select," + home / "gone.mp3", "", "/x").error,
            shell::kShellFileNotFound);
}

TEST(ShellExecuteMapping, DocumentsOpenWithTheDesktopsChoice) {
  TempHome home;
  shelltest::Write(home / "doc.txt", "x");
  auto a = MapShellExecute("", home / "doc.txt", "", "", "/x");
  ASSERT_TRUE(a.command);
  EXPECT_EQ(a.command->argv, (std::vector<std::string>{"xdg-open", home / "doc.txt"}));
  EXPECT_EQ(MapShellExecute("print", home / "doc.txt", "", "", "/x").error, shell::kShellNoAssociation);
  EXPECT_EQ(MapShellExecute("open", home / "nothing.txt", "", "", "/x").error, shell::kShellFileNotFound);
}

TEST(SpawnLauncher, StartsDetachedWithoutOurDescriptors) {
  TempHome home;
  std::string out = home / "out.txt";
  int leaked = fcntl(1, F_DUPFD, 50);  // a descriptor the child must not see
  std::string script = "echo \"$(ps -o sid= -p $$ | tr -d ' ') $(ls /proc/$$/fd | sort -n | tr '\\n' ' ')\" > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"";
  shell::SpawnLauncher launcher;
  std::string error;
  ASSERT_TRUE(launcher.Start(Command{{"/bin/sh", "-c", script, "sh", out}, home / ""}, error)) << error;
  for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::string text = shelltest::Read(out);
  close(leaked);
  ASSERT_FALSE(text.empty());
  // A session of its own, and only the standard descriptors (plus the one ls reads with).
  EXPECT_NE(text.substr(0, text.find(' ')), std::to_string(getsid(0)));
  EXPECT_EQ(text.find(" " + std::to_string(leaked) + " "), std::string::npos) << text;
  EXPECT_FALSE(launcher.Start(Command{{"/no/such/program"}, ""}, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
