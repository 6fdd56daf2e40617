#include "platform/os/Themes.h"

#include "platform/os/Window.h"

namespace {

bool gThemeActive = false;

void SendToTree(HWND Wnd) {
  SendMessage(Wnd, WM_THEMECHANGED, 0, 0);
  for (HWND child = GetWindow(Wnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    SendToTree(child);
}

}  // namespace

bool IsThemeActive() { return gThemeActive; }
bool IsAppThemed() { return gThemeActive; }

namespace os {
void SetThemeActive(bool Active) {
  if (Active == gThemeActive) return;
  gThemeActive = Active;
  for (HWND top = GetTopWindow(nullptr); top != nullptr; top = GetWindow(top, GW_HWNDNEXT)) SendToTree(top);
}
}  // namespace os
