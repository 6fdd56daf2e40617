#include "platform/shell/Notifications.h"

#include <gio/gio.h>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "platform/os/Window.h"
#include "platform/rtl/Files.h"

namespace shell {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr int kCallTimeoutMs = 5000;

// The notification text may be read as markup; it is shown as written.
std::string EscapeMarkup(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

const char* IconName(DWORD infoFlags) {
  switch (infoFlags & 0x0F) {
    case NIIF_INFO: return "dialog-information";
    case NIIF_WARNING: return "dialog-warning";
    case NIIF_ERROR: return "dialog-error";
    default: return "";
  }
}

}  // namespace

struct DesktopNotifications::Impl {
  struct Target {
    HWND wnd = nullptr;
    UINT_PTR id = 0;
    UINT message = 0;
  };
  using IconKey = std::pair<HWND, UINT_PTR>;

  TrayHost* inner = nullptr;
  GDBusConnection* connection = nullptr;
  GMainContext* context = nullptr;
  GMainLoop* loop = nullptr;
  std::thread worker;
  std::mutex postedMutex;
  std::deque<std::function<void()>> posted;
  std::string appName;
  // Touched by the worker thread only.
  std::map<uint32_t, Target> targets;
  std::map<IconKey, uint32_t> current;
  std::set<uint32_t> clicked;

  ~Impl() {
    if (loop) g_main_loop_quit(loop);
    if (worker.joinable()) worker.join();
    if (subscription) g_dbus_connection_signal_unsubscribe(connection, subscription);
    if (loop) g_main_loop_unref(loop);
    if (context) g_main_context_unref(context);
    if (connection) {
      g_dbus_connection_flush_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
    }
  }

  // Runs fn on the worker thread. The work goes through a queue under a mutex, so what fn
  // captured on this thread is visibly handed over to the worker (glib's own locking is not
  // seen by the thread checker).
  void Post(std::function<void()> fn) {
    {
      std::lock_guard<std::mutex> lock(postedMutex);
      posted.push_back(std::move(fn));
    }
    g_main_context_invoke(
        context,
        [](gpointer data) -> gboolean {
          static_cast<Impl*>(data)->RunPosted();
          return G_SOURCE_REMOVE;
        },
        this);
  }

  // Runs the oldest posted work (one per invocation, so the order of posting holds).
  void RunPosted() {
    std::function<void()> fn;
    {
      std::lock_guard<std::mutex> lock(postedMutex);
      if (posted.empty()) return;
      fn = std::move(posted.front());
      posted.pop_front();
    }
    fn();
  }

  static void Notice(const Target& t, UINT notice) {
    PostMessage(t.wnd, t.message, t.id, static_cast<LPARAM>(notice));
  }

  void Show(const TrayIcon& icon, const TrayBalloon& balloon, const std::optional<TrayImage>& image) {
    IconKey key{icon.wnd, icon.id};
    uint32_t replaces = current.count(key) ? current[key] : 0;
    GVariantBuilder actions;
    g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&actions, "s", "default");
    g_variant_builder_add(&actions, "s", "");
    GVariantBuilder hints;
    g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
    if (image) AddImage(&hints, *image);
    int timeout = balloon.timeoutMs > 0 ? static_cast<int>(balloon.timeoutMs) : -1;
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection, kService, kPath, kInterface, "Notify",
        g_variant_new("(susssasa{sv}i)", appName.c_str(), replaces, IconName(balloon.infoFlags),
                      balloon.title.c_str(), EscapeMarkup(balloon.text).c_str(), &actions, &hints, timeout),
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
    if (!reply) {
      if (error) g_error_free(error);
      return;  // a balloon that cannot be shown simply does not appear
    }
    uint32_t id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    if (replaces && replaces != id) targets.erase(replaces);
    Target target{icon.wnd, icon.id, icon.callbackMessage};
    targets[id] = target;
    current[key] = id;
    Notice(target, NIN_BALLOONSHOW);
  }

  static void AddImage(GVariantBuilder* hints, const TrayImage& image) {
    std::vector<uint8_t> rgba;
    rgba.reserve(image.argb.size() * 4);
    for (uint32_t p : image.argb) {
      rgba.push_back(static_cast<uint8_t>(p >> 16));
      rgba.push_back(static_cast<uint8_t>(p >> 8));
      rgba.push_back(static_cast<uint8_t>(p));
      rgba.push_back(static_cast<uint8_t>(p >> 24));
    }
    GVariant* bytes = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, rgba.data(), rgba.size(), 1);
    g_variant_builder_add(hints, "{sv}", "image-data",
                          g_variant_new("(iiibii@ay)", image.width, image.height, image.width * 4, TRUE, 8, 4,
                                        bytes));
  }

  void Close(const IconKey& key) {
    auto it = current.find(key);
    if (it == current.end()) return;
    g_dbus_connection_call(connection, kService, kPath, kInterface, "CloseNotification",
                           g_variant_new("(u)", it->second), nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
                           nullptr, nullptr, nullptr);
    current.erase(it);
  }

  void Closed(uint32_t id, uint32_t reason) {
    auto it = targets.find(id);
    if (it == targets.end()) return;
    Target target = it->second;
    targets.erase(it);
    for (auto c = current.begin(); c != current.end(); ++c)
      if (c->second == id) {
        current.erase(c);
        break;
      }
    // After a click only the click is reported.
    if (clicked.erase(id)) return;
    Notice(target, reason == 3 ? NIN_BALLOONHIDE : NIN_BALLOONTIMEOUT);
  }

  void Clicked(uint32_t id) {
    auto it = targets.find(id);
    if (it == targets.end()) return;
    clicked.insert(id);
    Notice(it->second, NIN_BALLOONUSERCLICK);
  }

  static void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
                       GVariant* parameters, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (g_strcmp0(signal, "NotificationClosed") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(uu)"))) {
      uint32_t id = 0, reason = 0;
      g_variant_get(parameters, "(uu)", &id, &reason);
      self->Closed(id, reason);
    } else if (g_strcmp0(signal, "ActionInvoked") == 0 &&
               g_variant_is_of_type(parameters, G_VARIANT_TYPE("(us)"))) {
      uint32_t id = 0;
      const gchar* action = nullptr;
      g_variant_get(parameters, "(u&s)", &id, &action);
      self->Clicked(id);
    }
  }

  // Signals are dispatched in the worker's context: they are subscribed with it as the
  // thread-default context, before the worker starts.
  void Subscribe() {
    g_main_context_push_thread_default(context);
    subscription = g_dbus_connection_signal_subscribe(connection, nullptr, kInterface, nullptr, kPath, nullptr,
                                                      G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, this, nullptr);
    g_main_context_pop_thread_default(context);
  }

  void Run() {
    g_main_context_push_thread_default(context);
    g_main_loop_run(loop);
    g_main_context_pop_thread_default(context);
  }

  guint subscription = 0;
};

std::unique_ptr<DesktopNotifications> DesktopNotifications::Connect(TrayHost& inner, const std::string& busAddress) {
  GError* error = nullptr;
  gchar* address = busAddress.empty() ? g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error)
                                      : g_strdup(busAddress.c_str());
  if (!address) {
    if (error) g_error_free(error);
    return nullptr;
  }
  GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  g_free(address);
  if (!connection) {
    if (error) g_error_free(error);
    return nullptr;
  }
  g_dbus_connection_set_exit_on_close(connection, FALSE);
  auto impl = std::make_unique<Impl>();
  impl->connection = connection;
  // A service must answer (or be started by the bus) for balloons to go this way.
  GVariant* info = g_dbus_connection_call_sync(connection, kService, kPath, kInterface, "GetServerInformation",
                                               nullptr, G_VARIANT_TYPE("(ssss)"), G_DBUS_CALL_FLAGS_NONE,
                                               kCallTimeoutMs, nullptr, &error);
  if (!info) {
    if (error) g_error_free(error);
    return nullptr;
  }
  g_variant_unref(info);
  impl->inner = &inner;
  impl->appName = ExtractFileName(rtl::ExePath());
  impl->context = g_main_context_new();
  impl->loop = g_main_loop_new(impl->context, FALSE);
  impl->Subscribe();
  Impl* raw = impl.get();
  impl->worker = std::thread([raw] { raw->Run(); });
  return std::unique_ptr<DesktopNotifications>(new DesktopNotifications(std::move(impl)));
}

bool UseDesktopNotifications() {
  static std::unique_ptr<DesktopNotifications> desktop;
  if (desktop) return true;
  desktop = DesktopNotifications::Connect(CurrentTrayHost());
  if (desktop) SetTrayHost(desktop.get());
  return desktop != nullptr;
}

DesktopNotifications::DesktopNotifications(std::unique_ptr<Impl> impl) : FImpl(std::move(impl)) {}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::IconChanged(const TrayIcon& icon) { FImpl->inner->IconChanged(icon); }

void DesktopNotifications::IconRemoved(const TrayIcon& icon) {
  FImpl->inner->IconRemoved(icon);
  Impl* impl = FImpl.get();
  Impl::IconKey key{icon.wnd, icon.id};
  impl->Post([impl, key] { impl->Close(key); });
}

void DesktopNotifications::BalloonShown(const TrayIcon& icon, const TrayBalloon& balloon) {
  FImpl->inner->BalloonShown(icon, balloon);
  Impl* impl = FImpl.get();
  // The icon's pixels are read here, on the thread that owns the icon.
  std::optional<TrayImage> image;
  if ((balloon.infoFlags & 0x0F) == NIIF_USER) image = ReadTrayImage(icon.icon);
  impl->Post([impl, icon, balloon, image] { impl->Show(icon, balloon, image); });
}

void DesktopNotifications::BalloonHidden(const TrayIcon& icon) {
  FImpl->inner->BalloonHidden(icon);
  Impl* impl = FImpl.get();
  Impl::IconKey key{icon.wnd, icon.id};
  impl->Post([impl, key] { impl->Close(key); });
}

}  // namespace shell
