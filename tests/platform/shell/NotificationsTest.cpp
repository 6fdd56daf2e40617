// Balloons as desktop notifications, against a notification service of the test's own on a
// private bus.
#include "platform/shell/Notifications.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "ShellTestDir.h"
#include "platform/os/Window.h"
#include "tests/support/HeadlessLoop.h"
#include "tests/support/ServiceRecorders.h"

namespace {

const char* kIntrospection = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
  </interface>
</node>)";

// A bus of the test's own: a dbus-daemon listening in a temporary folder.
class PrivateBus {
 public:
  explicit PrivateBus(const std::string& dir) {
    std::string socket = dir + "/bus";
    Address = "unix:path=" + socket;
    FPid = fork();
    if (FPid == 0) {
      execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", ("--address=" + Address).c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 500 && !std::filesystem::exists(socket); ++i) usleep(10000);
    Running = std::filesystem::exists(socket);
  }
  ~PrivateBus() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      waitpid(FPid, nullptr, 0);
    }
  }
  std::string Address;
  bool Running = false;

 private:
  pid_t FPid = -1;
};

// A notification service that records what it is asked and answers like a desktop's.
class FakeService {
 public:
  struct Shown {
    std::string app, icon, summary, body;
    uint32_t replaces = 0;
    int timeout = 0;
    bool image = false;
  };

  explicit FakeService(const std::string& address) {
    FConnection = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    FContext = g_main_context_new();
    FLoop = g_main_loop_new(FContext, FALSE);
    FNode = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable vtable = {&FakeService::OnCall, nullptr, nullptr, {}};
    g_main_context_push_thread_default(FContext);
    g_dbus_connection_register_object(FConnection, "/org/freedesktop/Notifications", FNode->interfaces[0], &vtable,
                                      this, nullptr, nullptr);
    g_main_context_pop_thread_default(FContext);
    GVariant* r = g_dbus_connection_call_sync(FConnection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "RequestName",
                                              g_variant_new("(su)", "org.freedesktop.Notifications", 4u),
                                              G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (r) g_variant_unref(r);
    FThread = std::thread([this] {
      g_main_context_push_thread_default(FContext);
      g_main_loop_run(FLoop);
      g_main_context_pop_thread_default(FContext);
    });
  }
  ~FakeService() {
    g_main_loop_quit(FLoop);
    FThread.join();
    g_main_loop_unref(FLoop);
    g_main_context_unref(FContext);
    g_dbus_node_info_unref(FNode);
    g_dbus_connection_flush_sync(FConnection, nullptr, nullptr);
    g_object_unref(FConnection);
  }

  std::vector<Shown> ShownList() {
    std::lock_guard<std::mutex> g(FLock);
    return FShown;
  }
  std::vector<uint32_t> ClosedByCall() {
    std::lock_guard<std::mutex> g(FLock);
    return FClosed;
  }
  void Emit(const char* signal, GVariant* parameters) {
    g_dbus_connection_emit_signal(FConnection, nullptr, "/org/freedesktop/Notifications",
                                  "org.freedesktop.Notifications", signal, parameters, nullptr);
    g_dbus_connection_flush_sync(FConnection, nullptr, nullptr);
  }

 private:
  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<FakeService*>(data);
    if (g_strcmp0(method, "GetServerInformation") == 0) {
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(ssss)", "fake", "test", "1", "1.2"));
    } else if (g_strcmp0(method, "Notify") == 0) {
      const gchar *app, *icon, *summary, *body;
      guint32 replaces;
      gint32 timeout;
      GVariant *actions, *hints;
      g_variant_get(parameters, "(&su&s&s&s@as@a{sv}i)", &app, &replaces, &icon, &summary, &body, &actions, &hints,
                    &timeout);
      GVariant* image = g_variant_lookup_value(hints, "image-data", nullptr);
      std::lock_guard<std::mutex> g(self->FLock);
      self->FShown.push_back(Shown{app, icon, summary, body, replaces, timeout, image != nullptr});
      if (image) g_variant_unref(image);
      g_variant_unref(actions);
      g_variant_unref(hints);
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", ++self->FNextId));
    } else if (g_strcmp0(method, "CloseNotification") == 0) {
      guint32 id = 0;
      g_variant_get(parameters, "(u)", &id);
      {
        std::lock_guard<std::mutex> g(self->FLock);
        self->FClosed.push_back(id);
      }
      g_dbus_method_invocation_return_value(invocation, nullptr);
      self->Emit("NotificationClosed", g_variant_new("(uu)", id, 3u));
    }
  }

  GDBusConnection* FConnection = nullptr;
  GMainContext* FContext = nullptr;
  GMainLoop* FLoop = nullptr;
  GDBusNodeInfo* FNode = nullptr;
  std::thread FThread;
  std::mutex FLock;
  std::vector<Shown> FShown;
  std::vector<uint32_t> FClosed;
  uint32_t FNextId = 0;
};

TEST(DesktopNotifications, BalloonsBecomeNotificationsAndTheirFateComesBack) {
  shelltest::TempHome home;
  PrivateBus bus(home / "");
  if (!bus.Running) GTEST_SKIP() << "no dbus-daemon on this machine";
  test::THeadlessLoop app(test::LocalDateTime(2026, 1, 5, 8), test::THeadlessLoop::RealTime);
  test::TrayRecorder recorder;
  // No service yet: no notifications.
  EXPECT_EQ(shell::DesktopNotifications::Connect(recorder, bus.Address), nullptr);
  FakeService service(bus.Address);
  auto host = shell::DesktopNotifications::Connect(recorder, bus.Address);
  ASSERT_NE(host, nullptr);
  shell::SetTrayHost(host.get());
  shell::SetTrayImageReader([](HICON) {
    return shell::TrayImage{2, 1, {0xFF0000FFu, 0x8000FF00u}};
  });

  std::vector<LPARAM> notices;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_USER + 0x400) notices.push_back(m.LParam);
  });
  NOTIFYICONDATAA data{};
  data.hWnd = wnd;
  data.uID = 7;
  data.uFlags = NIF_MESSAGE | NIF_TIP | NIF_ICON;
  data.uCallbackMessage = WM_USER + 0x400;
  data.hIcon = reinterpret_cast<HICON>(&data);  // any icon: the reader above gives its pixels
  std::strcpy(data.szTip, "Ostrovel");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  data.uFlags = NIF_INFO;
  std::strcpy(data.szInfoTitle, "Ostrovel");
  std::strcpy(data.szInfo, "正在后台运行... <b>&");
  data.uTimeout = 10000;
  data.dwInfoFlags = NIIF_USER;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  ASSERT_TRUE(app.RunUntil([&] { return !notices.empty(); }, 5000));
  EXPECT_EQ(notices, std::vector<LPARAM>{NIN_BALLOONSHOW});
  auto shown = service.ShownList();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].summary, "Ostrovel");
  EXPECT_EQ(shown[0].body, "正在后台运行... &lt;b&gt;&amp;");
  EXPECT_EQ(shown[0].timeout, 10000);
  EXPECT_TRUE(shown[0].image);
  EXPECT_EQ(shown[0].app, "ostrovel");

  // The service lets it expire.
  service.Emit("NotificationClosed", g_variant_new("(uu)", 1u, 1u));
  ASSERT_TRUE(app.RunUntil([&] { return notices.size() == 2; }, 5000));
  EXPECT_EQ(notices[1], static_cast<LPARAM>(NIN_BALLOONTIMEOUT));

  // A warning balloon the user clicks: only the click is reported.
  data.dwInfoFlags = NIIF_WARNING;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  ASSERT_TRUE(app.RunUntil([&] { return notices.size() == 3; }, 5000));
  EXPECT_EQ(service.ShownList().back().icon, "dialog-warning");
  service.Emit("ActionInvoked", g_variant_new("(us)", 2u, "default"));
  service.Emit("NotificationClosed", g_variant_new("(uu)", 2u, 2u));
  ASSERT_TRUE(app.RunUntil([&] { return notices.size() == 4; }, 5000));
  app.RunFor(200);
  EXPECT_EQ(notices.size(), 4u);
  EXPECT_EQ(notices[3], static_cast<LPARAM>(NIN_BALLOONUSERCLICK));

  // A balloon taken away by the program.
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  ASSERT_TRUE(app.RunUntil([&] { return notices.size() == 5; }, 5000));
  data.szInfo[0] = '\0';
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  ASSERT_TRUE(app.RunUntil([&] { return notices.size() == 6; }, 5000));
  EXPECT_EQ(notices[5], static_cast<LPARAM>(NIN_BALLOONHIDE));
  EXPECT_EQ(service.ClosedByCall(), std::vector<uint32_t>{3});

  // The inner host kept the icon's state.
  EXPECT_EQ(recorder.Balloons().size(), 3u);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  DeallocateHWnd(wnd);
  shell::SetTrayHost(nullptr);
  shell::SetTrayImageReader(nullptr);
  host.reset();
}

}  // namespace
