#include "platform/backends/HeadlessPresenter.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"

namespace backends {

THeadlessPresenter::THeadlessPresenter() { os::SetPresenter(this); }

THeadlessPresenter::~THeadlessPresenter() {
  if (os::CurrentPresenter() == this) os::SetPresenter(nullptr);
}

void THeadlessPresenter::WindowCreated(HWND wnd) {
  TShown& s = FWindows[wnd];
  GetWindowRect(wnd, &s.Place);
}

void THeadlessPresenter::WindowDestroyed(HWND wnd) {
  FWindows.erase(wnd);
  if (FCapture == wnd) FCapture = nullptr;
}

void THeadlessPresenter::WindowShown(HWND wnd, bool activate) {
  TShown& s = FWindows[wnd];
  s.Visible = true;
  s.Activated = activate;
  GetWindowRect(wnd, &s.Place);
}

void THeadlessPresenter::WindowHidden(HWND wnd) { FWindows[wnd].Visible = false; }

void THeadlessPresenter::WindowMoved(HWND wnd, const TRect& rect) { FWindows[wnd].Place = rect; }

void THeadlessPresenter::Present(HWND wnd, gdi::TSurface& surface) {
  surface.TakeDamage();
  ++FWindows[wnd].Presents;
}

void THeadlessPresenter::CaptureChanged(HWND capture) { FCapture = capture; }

void THeadlessPresenter::CursorChanged(HCURSOR cursor) { FCursor = cursor; }

void THeadlessPresenter::Beep(UINT type) { FBeeps.push_back(type); }

gdi::TSurface THeadlessPresenter::Snapshot(HWND wnd) {
  HWND root = GetAncestor(wnd, GA_ROOT);
  if (!root) return {};
  RedrawWindow(root, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  std::shared_ptr<gdi::TSurface> surface = os::SurfaceOf(root);
  if (!surface || !IsWindow(wnd)) return {};
  TRect rootRect, rect;
  GetWindowRect(root, &rootRect);
  GetWindowRect(wnd, &rect);
  OffsetRect(&rect, -rootRect.Left, -rootRect.Top);
  gdi::TSurface picture(rect.Width(), rect.Height());
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) picture.Set(x, y, surface->Get(rect.Left + x, rect.Top + y));
  return picture;
}

std::vector<uint8_t> THeadlessPresenter::SnapshotPng(HWND wnd) { return gdi::EncodePng(Snapshot(wnd)); }

void THeadlessPresenter::SaveSnapshot(HWND wnd, const std::string& path) { gdi::SavePngFile(Snapshot(wnd), path); }

gdi::TSurface THeadlessPresenter::ScreenSnapshot() {
  const TRect screen = os::ScreenBounds();
  gdi::TSurface picture(screen.Width(), screen.Height(), gdi::PixelOf(GetSysColor(COLOR_DESKTOP)));
  std::vector<HWND> order;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) order.push_back(w);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    HWND w = *it;
    if (!IsWindowVisible(w) || IsIconic(w)) continue;
    RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::shared_ptr<gdi::TSurface> surface = os::SurfaceOf(w);
    if (!surface) continue;
    TRect place;
    GetWindowRect(w, &place);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(w, region) != ERROR;
    for (int y = 0; y < surface->Height(); ++y)
      for (int x = 0; x < surface->Width(); ++x)
        if (!shaped || PtInRegion(region, x, y))
          picture.Set(place.Left - screen.Left + x, place.Top - screen.Top + y, surface->Get(x, y));
    DeleteObject(region);
  }
  return picture;
}

bool THeadlessPresenter::IsShown(HWND wnd) const {
  auto it = FWindows.find(wnd);
  return it != FWindows.end() && it->second.Visible;
}

TRect THeadlessPresenter::PlaceOf(HWND wnd) const {
  auto it = FWindows.find(wnd);
  return it == FWindows.end() ? TRect() : it->second.Place;
}

int THeadlessPresenter::PresentCount(HWND wnd) const {
  auto it = FWindows.find(wnd);
  return it == FWindows.end() ? 0 : it->second.Presents;
}

}  // namespace backends
