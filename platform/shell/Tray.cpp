#include "platform/shell/Tray.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/os/Window.h"

namespace shell {

namespace {

std::atomic<TrayHost*> gHost{nullptr};

struct Area {
  std::mutex lock;
  std::vector<TrayIcon> icons;
};

Area& TheArea() {
  static Area area;
  return area;
}

// A fixed-size text member: up to its first zero, at most size - 1 bytes.
std::string Text(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size - 1));
}

std::vector<TrayIcon>::iterator Find(std::vector<TrayIcon>& icons, HWND wnd, UINT_PTR id) {
  return std::find_if(icons.begin(), icons.end(), [&](const TrayIcon& i) { return i.wnd == wnd && i.id == id; });
}

}  // namespace

TrayHost& CurrentTrayHost() {
  if (TrayHost* h = gHost.load()) return *h;
  static TrayHost headless;
  return headless;
}

void SetTrayHost(TrayHost* host) { gHost.store(host); }

std::vector<TrayIcon> TrayIcons() {
  std::lock_guard<std::mutex> g(TheArea().lock);
  return TheArea().icons;
}

std::optional<TrayIcon> FindTrayIcon(HWND wnd, UINT_PTR id) {
  std::lock_guard<std::mutex> g(TheArea().lock);
  auto it = Find(TheArea().icons, wnd, id);
  if (it == TheArea().icons.end()) return std::nullopt;
  return *it;
}

bool SendTrayCallback(HWND wnd, UINT_PTR id, UINT event) {
  auto icon = FindTrayIcon(wnd, id);
  if (!icon || icon->callbackMessage == 0) return false;
  SendMessage(icon->wnd, icon->callbackMessage, icon->id, static_cast<LPARAM>(event));
  return true;
}

void RecreateTaskbar() {
  std::vector<TrayIcon> gone;
  {
    std::lock_guard<std::mutex> g(TheArea().lock);
    gone.swap(TheArea().icons);
  }
  for (const auto& icon : gone) CurrentTrayHost().IconRemoved(icon);
  os::SendToTopLevelWindows(TaskbarCreatedMessage(), 0, 0);
}

UINT TaskbarCreatedMessage() { return RegisterWindowMessage("TaskbarCreated"); }

namespace {
std::mutex gImageLock;
std::function<std::optional<TrayImage>(HICON)> gImageReader;
}  // namespace

void SetTrayImageReader(std::function<std::optional<TrayImage>(HICON)> reader) {
  std::lock_guard<std::mutex> g(gImageLock);
  gImageReader = std::move(reader);
}

std::optional<TrayImage> ReadTrayImage(HICON icon) {
  std::function<std::optional<TrayImage>(HICON)> reader;
  {
    std::lock_guard<std::mutex> g(gImageLock);
    reader = gImageReader;
  }
  if (!reader || !icon) return std::nullopt;
  std::optional<TrayImage> image = reader(icon);
  if (image && (image->width <= 0 || image->height <= 0 ||
                image->argb.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)))
    return std::nullopt;
  return image;
}

}  // namespace shell

using shell::TrayBalloon;
using shell::TrayIcon;

BOOL Shell_NotifyIconA(DWORD dwMessage, NOTIFYICONDATAA* lpData) {
  if (!lpData) return FALSE;
  shell::TrayHost& host = shell::CurrentTrayHost();
  auto& area = shell::TheArea();
  std::unique_lock<std::mutex> lock(area.lock);
  auto it = shell::Find(area.icons, lpData->hWnd, lpData->uID);
  bool exists = it != area.icons.end();
  switch (dwMessage) {
    case NIM_ADD:
    case NIM_MODIFY: {
      if ((dwMessage == NIM_ADD) == exists) return FALSE;
      if (!exists) {
        area.icons.push_back(TrayIcon{lpData->hWnd, lpData->uID, 0, nullptr, {}, 0, std::nullopt});
        it = area.icons.end() - 1;
      }
      UINT flags = lpData->uFlags;
      if (flags & NIF_MESSAGE) it->callbackMessage = lpData->uCallbackMessage;
      if (flags & NIF_ICON) it->icon = lpData->hIcon;
      if (flags & NIF_TIP) it->tip = shell::Text(lpData->szTip, sizeof lpData->szTip);
      std::optional<TrayBalloon> shown;
      bool hidden = false;
      if (flags & NIF_INFO) {
        std::string text = shell::Text(lpData->szInfo, sizeof lpData->szInfo);
        hidden = it->balloon.has_value();
        it->balloon.reset();
        if (!text.empty()) {
          shown = TrayBalloon{shell::Text(lpData->szInfoTitle, sizeof lpData->szInfoTitle), text,
                              lpData->uTimeout, lpData->dwInfoFlags};
          it->balloon = shown;
        }
      }
      TrayIcon copy = *it;
      lock.unlock();
      host.IconChanged(copy);
      if (hidden) host.BalloonHidden(copy);
      if (shown) host.BalloonShown(copy, *shown);
      return TRUE;
    }
    case NIM_DELETE: {
      if (!exists) return FALSE;
      TrayIcon copy = *it;
      area.icons.erase(it);
      lock.unlock();
      host.IconRemoved(copy);
      return TRUE;
    }
    case NIM_SETVERSION:
      if (!exists) return FALSE;
      it->version = lpData->uVersion;
      return TRUE;
    case NIM_SETFOCUS:
      return exists ? TRUE : FALSE;
    default:
      return FALSE;
  }
}
