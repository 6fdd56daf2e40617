// The shell calls as the program makes them, against the recorders.
#include "platform/shell/ShellApi.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "ShellTestDir.h"
#include "platform/os/Window.h"
#include "platform/rtl/Files.h"
#include "platform/shell/Launch.h"
#include "platform/shell/Trash.h"
#include "platform/shell/Tray.h"
#include "tests/support/ServiceRecorders.h"

namespace {

using shelltest::TempHome;

intptr_t Code(HINSTANCE h) { return reinterpret_cast<intptr_t>(h); }

TEST(ShellExecuteA, StartsTheCompanionBesideTheExecutableThroughTheLauncher) {
  TempHome home;
  std::string exeDir = home / "app";
  shelltest::Write(exeDir + "/quorvex", "#!/bin/sh\n");
  chmod((exeDir + "/quorvex").c_str(), 0755);
  rtl::SetExePathOverride(exeDir + "/ostrovel");
  test::LaunchRecorder recorder;
  shell::SetLauncher(&recorder);

  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", (exeDir + "/quorvex.exe").c_str(), nullptr, nullptr, 1)), 32);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "shutdown.exe", "-s -f -t 10", nullptr, 1)), 42);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "nothing.exe", nullptr, nullptr, 1)), 2);
  recorder.FailWith = "no such program";
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "quorvex.exe", "", "", 1)), 2);

  ASSERT_EQ(recorder.Requests().size(), 4u);
  EXPECT_EQ(recorder.Requests()[1], (shell::ShellRequest{"open", "shutdown.exe", "-s -f -t 10", "", 1}));
  ASSERT_EQ(recorder.Commands().size(), 3u);  // the missing program never reached the launcher
  EXPECT_EQ(recorder.Commands()[0].argv, std::vector<std::string>{exeDir + "/quorvex"});
  EXPECT_EQ(recorder.Commands()[2].argv, std::vector<std::string>{exeDir + "/quorvex"});
  shell::SetLauncher(nullptr);
  rtl::SetExePathOverride("");
}

TEST(SHFileOperationA, DeletesToTheTrashOnly) {
  TempHome home;
  shelltest::Write(home / "a.mp3", "a");
  shelltest::Write(home / "b.mp3", "b");
  shell::FreedesktopTrash trash;
  shell::SetTrash(&trash);
  std::string from = home / "a.mp3";
  from.push_back('\0');
  from += home / "b.mp3";
  from.push_back('\0');  // the second zero comes from the string's own terminator
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  EXPECT_EQ(op.fFlags, 0x54);
  EXPECT_EQ(SHFileOperationA(&op), 0);
  EXPECT_EQ(shelltest::Read(home / "data/Trash/files/a.mp3"), "a");
  EXPECT_EQ(shelltest::Read(home / "data/Trash/files/b.mp3"), "b");
  std::string missing = home / "gone.mp3";
  std::string list = missing + std::string(1, '\0');
  op.pFrom = list.c_str();
  EXPECT_NE(SHFileOperationA(&op), 0);
  op.wFunc = FO_COPY;
  EXPECT_NE(SHFileOperationA(&op), 0);
  shell::SetTrash(nullptr);
}

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::SetTrayHost(&recorder);
    wnd = AllocateHWnd([this](TMessage& m) {
      received.push_back(m);
      if (m.Msg == shell::TaskbarCreatedMessage()) Add();
    });
  }
  void TearDown() override {
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_DELETE, &data);
    DeallocateHWnd(wnd);
    shell::SetTrayHost(nullptr);
  }
  NOTIFYICONDATAA Data() {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = wnd;
    data.uID = reinterpret_cast<UINT_PTR>(this);  // a component is its own identifier
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_USER + 0x400;
    std::strcpy(data.szTip, "Ostrovel");
    return data;
  }
  BOOL Add() {
    NOTIFYICONDATAA data = Data();
    return Shell_NotifyIconA(NIM_ADD, &data);
  }
  BOOL Balloon(const char* title, const char* text) {
    NOTIFYICONDATAA data = Data();
    data.uFlags |= NIF_INFO;
    std::strcpy(data.szInfoTitle, title);
    std::strcpy(data.szInfo, text);
    data.uTimeout = 10000;
    data.dwInfoFlags = NIIF_USER;
    return Shell_NotifyIconA(NIM_MODIFY, &data);
  }

  test::TrayRecorder recorder;
  HWND wnd = nullptr;
  std::vector<TMessage> received;
};

TEST_F(TrayTest, IconsBalloonsAndTheirRules) {
  NOTIFYICONDATAA data = Data();
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));
  EXPECT_TRUE(Add());
  EXPECT_FALSE(Add());
  data.uVersion = 0;
  EXPECT_TRUE(Shell_NotifyIconA(NIM_SETVERSION, &data));
  EXPECT_TRUE(Balloon("Ostrovel", "数据加载中..."));
  EXPECT_TRUE(Balloon("", ""));  // an empty text takes the balloon away
  EXPECT_TRUE(Balloon("Ostrovel", "正在后台运行..."));
  auto icon = shell::FindTrayIcon(wnd, data.uID);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->tip, "Ostrovel");
  ASSERT_TRUE(icon->balloon);
  EXPECT_EQ(*icon->balloon, (shell::TrayBalloon{"Ostrovel", "正在后台运行...", 10000, NIIF_USER}));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_EQ(recorder.Events(), (std::vector<std::string>{
                                   "add Ostrovel", "modify Ostrovel", "balloon Ostrovel|数据加载中...|10000|4",
                                   "modify Ostrovel", "hide balloon", "modify Ostrovel",
                                   "balloon Ostrovel|正在后台运行...|10000|4", "delete Ostrovel"}));
  EXPECT_TRUE(shell::TrayIcons().empty());
}

TEST_F(TrayTest, MouseCallbacksAndTaskbarRecreation) {
  ASSERT_TRUE(Add());
  UINT_PTR id = Data().uID;
  EXPECT_TRUE(shell::SendTrayCallback(wnd, id, WM_LBUTTONDBLCLK));
  EXPECT_TRUE(shell::SendTrayCallback(wnd, id, NIN_BALLOONTIMEOUT));
  EXPECT_FALSE(shell::SendTrayCallback(wnd, id + 1, WM_LBUTTONDOWN));
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].Msg, WM_USER + 0x400u);
  EXPECT_EQ(received[0].WParam, id);
  EXPECT_EQ(received[0].LParam, static_cast<LPARAM>(WM_LBUTTONDBLCLK));
  EXPECT_EQ(received[1].LParam, static_cast<LPARAM>(NIN_BALLOONTIMEOUT));

  // "TaskbarCreated" is broadcast, as the desktop does, to every top-level window, also to one
  // without an icon: the application's hidden window, where the tray component listens.
  int appHeard = 0;
  HWND appWnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == shell::TaskbarCreatedMessage()) ++appHeard;
  });
  recorder.Clear();
  shell::RecreateTaskbar();
  // The window heard "TaskbarCreated" and added its icon again.
  EXPECT_NE(shell::TaskbarCreatedMessage(), 0u);
  EXPECT_EQ(received.back().Msg, shell::TaskbarCreatedMessage());
  EXPECT_EQ(appHeard, 1);
  EXPECT_EQ(recorder.Events(), (std::vector<std::string>{"delete Ostrovel", "add Ostrovel"}));
  EXPECT_EQ(shell::TrayIcons().size(), 1u);
  DeallocateHWnd(appWnd);
}

}  // namespace

#include "platform/media/MMSystem.h"
#include "platform/shell/Registry.h"
#include "tests/support/HeadlessLoop.h"
#include "tests/support/SystemServices.h"

namespace {

// The fixture application tests use: every service is a recorder and nothing leaves the
// temporary home.
TEST(SystemServices, EveryServiceIsRecordedAndStaysInTheTemporaryHome) {
  test::THeadlessLoop app;
  test::TSystemServices services;
  MIXERCONTROLDETAILS_UNSIGNED values[2] = {{6553}, {6553}};
  MIXERCONTROLDETAILS details{};
  details.cbStruct = 24;
  details.cChannels = 2;
  details.cbDetails = 4;
  details.paDetails = values;
  EXPECT_EQ(mixerSetControlDetails(0, &details, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(services.Mixer.Last(), 6553);
  ShellExecuteA(nullptr, "open", (app.ExeDir() + "quorvex.exe").c_str(), nullptr, nullptr, 1);
  EXPECT_EQ(services.Launcher.Requests().size(), 1u);
  std::string from = app.PathInExeDir("song.mp3");
  shelltest::Write(from, "x");
  std::string list = from + std::string(1, '\0');  // the string's terminator ends the list
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  EXPECT_EQ(SHFileOperationA(&op), 0);
  EXPECT_EQ(services.Trash.Paths(), std::vector<std::string>{from});
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run", true));
  reg.WriteString("Ostrovel", app.ExePath());
  EXPECT_EQ(shell::AutostartEntryPath("Ostrovel"), services.Home + "/config/autostart/Ostrovel.desktop");
  EXPECT_TRUE(std::filesystem::exists(services.Home + "/config/autostart/Ostrovel.desktop"));
}

}  // namespace
