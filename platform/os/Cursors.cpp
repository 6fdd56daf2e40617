#include "platform/os/Cursors.h"

#include <array>
#include <atomic>
#include <map>
#include <mutex>

#include "platform/classes/Resources.h"
#include "platform/gdi/Icon.h"
#include "platform/graphics/Icon.h"
#include "platform/os/Presenter.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowManager.h"

namespace {

constexpr std::array<int, 16> kStandardIds = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                              32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
// The standard cursors' handles are the addresses of these tokens: no other object can have
// them.
std::array<char, kStandardIds.size()> gTokens;

std::mutex gLock;
std::map<std::string, HCURSOR, os::TNoCaseLess> gResources;
std::atomic<int> gShowCount{0};

HCURSOR Standard(const char* id) { return LoadCursor(nullptr, id); }

// The cursor file built into the program under Name, decoded at the system's cursor size;
// nullptr when there is none or its data is damaged. Called with gLock held.
HCURSOR FromResourceFile(const std::string& name) {
  const TResourceData file = FindResourceData(name, RT_CURSOR);
  if (!file) return nullptr;
  try {
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.Data);
    gdi::TImage image = gdi::DecodeIcon(bytes, file.Size, GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR));
    // A picture without alpha of its own is drawn through its masks, so that masked coloured
    // pixels invert the screen as cursors do; an opaque picture keeps it from being blended.
    if (image.BitDepth < 32 && image.Mask.size() == image.Pixels.size())
      for (uint32_t& pixel : image.Pixels) pixel |= 0xFF000000u;
    return graphics::CreateIconFromImage(image, false);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  }
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE instance, const char* name) {
  if (!name) return nullptr;
  std::string key, fileName;
  if (IS_INTRESOURCE(name)) {
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    for (size_t i = 0; i < kStandardIds.size(); ++i)
      if (kStandardIds[i] == id && !instance) return reinterpret_cast<HCURSOR>(&gTokens[i]);
    key = "#" + std::to_string(id);
    fileName = std::to_string(id);  // a numbered cursor's file is "cursors/12.cur"
  } else {
    key = fileName = name;
  }
  std::lock_guard<std::mutex> lock(gLock);
  auto it = gResources.find(key);
  if (it != gResources.end()) return it->second;
  // A cursor file under resources/ is decoded once and then shared, as a loaded resource is.
  if (HCURSOR loaded = FromResourceFile(fileName)) {
    gResources[key] = loaded;
    return loaded;
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto& m = os::Manager();
  HCURSOR old;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    old = m.Cursor;
    m.Cursor = cursor;
  }
  if (old != cursor)
    if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->CursorChanged(cursor);
  return old;
}

HCURSOR GetCursor() {
  auto& m = os::Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.Cursor;
}

int ShowCursor(BOOL show) { return show ? ++gShowCount : --gShowCount; }

namespace os {

void RegisterCursorResource(const std::string& name, HCURSOR cursor) {
  std::lock_guard<std::mutex> lock(gLock);
  gResources[name] = cursor;
}

int StandardCursorId(HCURSOR cursor) {
  const char* p = reinterpret_cast<const char*>(cursor);
  if (p < gTokens.data() || p >= gTokens.data() + gTokens.size()) return 0;
  return kStandardIds[static_cast<size_t>(p - gTokens.data())];
}

LRESULT DefSetCursor(HWND wnd, WPARAM cursorWnd, LPARAM hitAndMessage) {
  const LRESULT hit = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(hitAndMessage)));
  const UINT message = HIWORD(static_cast<uintptr_t>(hitAndMessage));
  HWND parent = nullptr;
  HCURSOR classCursor = nullptr;
  if (!WithWindow(wnd, [&](TWindow& w) {
        if (w.Style & WS_CHILD) parent = w.Parent;
        classCursor = w.Class->Info.hCursor;
      }))
    return FALSE;
  // The parent decides first, except over a sizing border.
  if (parent && (hit < HTLEFT || hit > HTBOTTOMRIGHT) && SendMessage(parent, WM_SETCURSOR, cursorWnd, hitAndMessage))
    return TRUE;
  switch (hit) {
    case HTERROR:
      if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) MessageBeep(0);
      return FALSE;
    case HTCLIENT:
      if (classCursor) SetCursor(classCursor);
      return FALSE;
    case HTLEFT:
    case HTRIGHT:
      SetCursor(Standard(IDC_SIZEWE));
      return FALSE;
    case HTTOP:
    case HTBOTTOM:
      SetCursor(Standard(IDC_SIZENS));
      return FALSE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      SetCursor(Standard(IDC_SIZENWSE));
      return FALSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      SetCursor(Standard(IDC_SIZENESW));
      return FALSE;
    default:
      SetCursor(Standard(IDC_ARROW));
      return FALSE;
  }
}

}  // namespace os
