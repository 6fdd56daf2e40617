#include "platform/os/WindowDC.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"

using os::Manager;
using os::TWindow;
using os::TWindowManager;

namespace {

TRect Shifted(TRect r, TPoint d) {
  OffsetRect(&r, d.X, d.Y);
  return r;
}

// A window's own shape in surface coordinates: its rectangle, cut by its region.
gdi::TRegion Shape(TWindowManager& m, TWindow* w) {
  TPoint o = m.OriginInRoot(w);
  gdi::TRegion shape(Bounds(o.X, o.Y, w->WindowRect.Width(), w->WindowRect.Height()));
  if (w->Region) {
    gdi::TRegion r = *w->Region;
    r.Offset(o.X, o.Y);
    shape &= r;
  }
  return shape;
}

// The visible region (Lock held).
gdi::TRegion Visible(TWindowManager& m, TWindow* w, bool whole, bool clipChildren, bool clipSiblings) {
  if (!w || !m.IsShown(w)) return {};
  TPoint o = m.OriginInRoot(w);
  gdi::TRegion area = Shape(m, w);
  if (!whole) area &= Shifted(w->Client, o);
  for (TWindow* c = w; TWindow* p = m.Find(c->Parent); c = p) {
    TPoint po = m.OriginInRoot(p);
    area &= Shifted(p->Client, po);
    area &= Shape(m, p);
    if ((c->Style & WS_CLIPSIBLINGS) || (c == w && clipSiblings)) {
      for (HWND s : p->Children) {
        if (s == c->Handle) break;
        TWindow* sib = m.Find(s);
        if (sib && (sib->Style & WS_VISIBLE)) area -= Shape(m, sib);
      }
    }
    if (area.IsEmpty()) return area;
  }
  if (clipChildren || (w->Style & WS_CLIPCHILDREN))
    for (HWND ch : w->Children) {
      TWindow* c = m.Find(ch);
      if (c && (c->Style & WS_VISIBLE)) area -= Shape(m, c);
    }
  return area;
}

struct TDCPlace {
  std::shared_ptr<gdi::TSurface> Surface;
  TPoint Origin;
  gdi::TRegion Visible;
  TPoint RootScreen;  // the surface's origin on the screen
};

bool Place(HWND wnd, bool whole, bool clipChildren, bool clipSiblings, TDCPlace& place) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w || w->MessageOnly) return false;
  TWindow* root = m.Root(w);
  place.Surface = root->Surface;
  if (!place.Surface) return false;
  place.Origin = m.OriginInRoot(w);
  if (!whole) place.Origin = TPoint(place.Origin.X + w->Client.Left, place.Origin.Y + w->Client.Top);
  place.Visible = Visible(m, w, whole, clipChildren, clipSiblings);
  place.RootScreen = root->WindowRect.TopLeft();
  return true;
}

HDC Register(HWND wnd, const TDCPlace& place) {
  HDC dc = gdi::CreateSurfaceDC(place.Surface, place.Origin, place.Visible);
  if (!dc) return nullptr;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  m.DCs[dc] = wnd;
  return dc;
}

// The DC of the screen: nothing drawn into it is shown (there is no desktop to draw on); it
// serves for measuring, with the screen's bounds as its clip box.
HDC ScreenDC() {
  static auto* surface = new std::shared_ptr<gdi::TSurface>(std::make_shared<gdi::TSurface>(1, 1));
  HDC dc = gdi::CreateSurfaceDC(*surface, TPoint(), gdi::TRegion(os::ScreenBounds()));
  if (!dc) return nullptr;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  m.DCs[dc] = nullptr;
  return dc;
}

DWORD StyleOf(HWND wnd) { return static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_STYLE)); }

}  // namespace

namespace os {

gdi::TRegion VisibleRegion(HWND wnd, bool whole, bool clipChildren, bool clipSiblings) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return Visible(m, m.Find(wnd), whole, clipChildren, clipSiblings);
}

}  // namespace os

HDC GetDCEx(HWND wnd, HRGN region, DWORD flags) {
  if (!wnd || wnd == os::kDesktopWindow) return ScreenDC();
  const DWORD style = StyleOf(wnd);
  TDCPlace place;
  if (!Place(wnd, flags & DCX_WINDOW, (flags & DCX_CLIPCHILDREN) || (style & WS_CLIPCHILDREN),
             (flags & DCX_CLIPSIBLINGS) || (style & WS_CLIPSIBLINGS), place))
    return nullptr;
  if (reinterpret_cast<uintptr_t>(region) > 1 && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    if (const gdi::TRegion* r = gdi::RegionOf(region)) {
      gdi::TRegion limit = *r;
      limit.Offset(-place.RootScreen.X, -place.RootScreen.Y);
      if (flags & DCX_INTERSECTRGN) place.Visible &= limit;
      else place.Visible -= limit;
    }
    DeleteObject(region);
  }
  if (flags & DCX_INTERSECTUPDATE) {
    gdi::TRegion update = os::ClientUpdate(wnd, (flags & DCX_VALIDATE) != 0, nullptr);
    TRect client;
    os::WithWindow(wnd, [&](TWindow& w) { client = w.Client; });
    // Client coordinates to surface coordinates: the client origin on the surface.
    TPoint clientOrigin = (flags & DCX_WINDOW) ? TPoint(place.Origin.X + client.Left, place.Origin.Y + client.Top)
                                               : place.Origin;
    update.Offset(clientOrigin.X, clientOrigin.Y);
    place.Visible &= update;
  }
  return Register(wnd, place);
}

HDC GetDC(HWND wnd) { return GetDCEx(wnd, nullptr, DCX_CACHE); }

HDC GetWindowDC(HWND wnd) { return GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE); }

int ReleaseDC(HWND, HDC dc) {
  auto& m = Manager();
  HWND wnd = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    auto it = m.DCs.find(dc);
    if (it == m.DCs.end()) return 0;
    wnd = it->second;
    m.DCs.erase(it);
  }
  // What the DC could have drawn is shown again.
  if (wnd) {
    std::shared_ptr<gdi::TSurface> surface = gdi::SurfaceOf(dc);
    TRect damage = gdi::SurfaceDCVisible(dc).Box();
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* root = m.Root(m.Find(wnd));
    if (surface && root && root->Surface == surface && !damage.IsEmpty()) {
      surface->AddDamage(damage);
      m.ToPresent.insert(root->Handle);
    }
  }
  DeleteDC(dc);
  return 1;
}

HDC BeginPaint(HWND wnd, PAINTSTRUCT* paint) {
  if (!paint || !IsWindow(wnd)) return nullptr;
  if (os::TakeFrameUpdate(wnd)) SendMessage(wnd, WM_NCPAINT, 1, 0);
  bool erase = false;
  gdi::TRegion update = os::ClientUpdate(wnd, true, &erase);
  const DWORD style = StyleOf(wnd);
  TDCPlace place;
  if (!Place(wnd, false, style & WS_CLIPCHILDREN, style & WS_CLIPSIBLINGS, place)) return nullptr;
  gdi::TRegion limit = update;
  limit.Offset(place.Origin.X, place.Origin.Y);
  place.Visible &= limit;
  HDC dc = Register(wnd, place);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  TRect client;
  GetClientRect(wnd, &client);
  TRect box = update.Box();
  IntersectRect(&paint->rcPaint, &box, &client);
  paint->fErase = erase ? TRUE : FALSE;
  if (erase && dc) paint->fErase = SendMessage(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND wnd, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  ReleaseDC(wnd, paint->hdc);
  return TRUE;
}

namespace os {

LRESULT DefEraseBackground(HWND wnd, HDC dc) {
  HBRUSH brush = nullptr;
  WithWindow(wnd, [&](TWindow& w) { brush = w.Class->Info.hbrBackground; });
  if (!brush || !dc) return 0;
  // A system colour index + 1 stands for that colour's brush.
  const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value <= COLOR_MENUBAR + 1) brush = GetSysColorBrush(static_cast<int>(value) - 1);
  TRect client;
  GetClientRect(wnd, &client);
  FillRect(dc, &client, brush);
  return 1;
}

void DefPaint(HWND wnd) {
  PAINTSTRUCT paint;
  if (BeginPaint(wnd, &paint)) EndPaint(wnd, &paint);
}

void SendPendingErase(HWND wnd) {
  if (!IsWindowVisible(wnd)) return;
  if (TakeFrameUpdate(wnd)) SendMessage(wnd, WM_NCPAINT, 1, 0);
  bool erase = false;
  gdi::TRegion update = ClientUpdate(wnd, false, &erase);
  if (!erase || update.IsEmpty()) return;
  HDC dc = GetDCEx(wnd, nullptr, DCX_INTERSECTUPDATE);
  if (!dc) return;
  if (SendMessage(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) SetErasePending(wnd, false);
  ReleaseDC(wnd, dc);
}

}  // namespace os

namespace {

// Copies the pixels of every rectangle of Dest from where they lie before the move (the
// rectangle less (Dx, Dy)); Source is read whole first, so overlapping parts are not read
// after being written.
void MovePixels(gdi::TSurface& surface, const TRect& source, const gdi::TRegion& dest, int dx, int dy) {
  TRect src;
  const TRect all = surface.Bounds();
  if (!IntersectRect(&src, &source, &all)) return;
  std::vector<uint32_t> copy(static_cast<size_t>(src.Width()) * src.Height());
  for (int y = src.Top; y < src.Bottom; ++y)
    std::memcpy(&copy[static_cast<size_t>(y - src.Top) * src.Width()], surface.Row(y) + src.Left, src.Width() * sizeof(uint32_t));
  for (TRect r : dest.Rects()) {
    TRect from = r;
    OffsetRect(&from, -dx, -dy);
    TRect part;
    if (!IntersectRect(&part, &from, &src)) continue;
    for (int y = part.Top; y < part.Bottom; ++y) {
      const int ty = y + dy;
      if (ty < 0 || ty >= surface.Height()) continue;
      const int left = std::max(part.Left + dx, 0), right = std::min(part.Right + dx, surface.Width());
      if (left >= right) continue;
      std::memcpy(surface.Row(ty) + left, &copy[static_cast<size_t>(y - src.Top) * src.Width() + (left - dx - src.Left)],
                  (right - left) * sizeof(uint32_t));
    }
  }
}

}  // namespace

int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN updateRgn, TRect* updateRect,
                   UINT flags) {
  auto& m = Manager();
  gdi::TRegion update;
  std::vector<HWND> children;
  TRect clientInWindow;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return ERROR;
    clientInWindow = w->Client;
    const TRect client(0, 0, w->Client.Width(), w->Client.Height());
    TRect src = client, cut = client;
    if (scroll) IntersectRect(&src, &src, scroll);
    if (clip) IntersectRect(&cut, &cut, clip);
    TWindow* root = m.Root(w);
    TPoint o = m.OriginInRoot(w);
    o = TPoint(o.X + w->Client.Left, o.Y + w->Client.Top);
    // What of the client area shows, in client coordinates.
    gdi::TRegion visible = Visible(m, w, false, false, false);
    visible.Offset(-o.X, -o.Y);
    gdi::TRegion movable(src);
    movable &= visible;
    // Invalid parts carry no valid pixels to move.
    gdi::TRegion invalid = w->Update;
    invalid &= w->Client;
    invalid.Offset(-w->Client.Left, -w->Client.Top);
    movable -= invalid;
    gdi::TRegion dest = movable;
    dest.Offset(dx, dy);
    dest &= cut;
    dest &= visible;
    if (root->Surface && !dest.IsEmpty()) {
      gdi::TRegion onSurface = dest;
      onSurface.Offset(o.X, o.Y);
      TRect srcOnSurface = src;
      OffsetRect(&srcOnSurface, o.X, o.Y);
      MovePixels(*root->Surface, srcOnSurface, onSurface, dx, dy);
      root->Surface->AddDamage(onSurface.Box());
      m.ToPresent.insert(root->Handle);
    }
    gdi::TRegion affected(src);
    gdi::TRegion moved(src);
    moved.Offset(dx, dy);
    affected |= moved;
    affected &= cut;
    update = affected;
    update -= dest;
    // The invalid part inside the scrolled area moves with the pixels.
    gdi::TRegion carried = invalid;
    carried &= src;
    if (!carried.IsEmpty()) {
      gdi::TRegion left = carried;
      left.Offset(w->Client.Left, w->Client.Top);
      w->Update -= left;
      carried.Offset(dx, dy);
      carried &= cut;
      gdi::TRegion arrived = carried;
      arrived.Offset(w->Client.Left, w->Client.Top);
      w->Update |= arrived;
    }
    if (flags & SW_SCROLLCHILDREN)
      for (HWND ch : w->Children) {
        TWindow* c = m.Find(ch);
        TRect common;
        if (c && (!scroll || IntersectRect(&common, &c->WindowRect, &src))) children.push_back(ch);
      }
  }
  if (flags & SW_INVALIDATE) {
    gdi::TRegion inWindow = update;
    inWindow.Offset(clientInWindow.Left, clientInWindow.Top);
    os::ChangeUpdateRegion(wnd, inWindow, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0));
  }
  for (HWND ch : children) {
    TRect r;
    os::WithWindow(ch, [&](TWindow& c) { r = c.WindowRect; });
    SetWindowPos(ch, nullptr, r.Left + dx, r.Top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (gdi::TRegion* target = gdi::MutableRegionOf(updateRgn)) *target = update;
  if (updateRect) *updateRect = update.Box();
  if (update.IsEmpty()) return NULLREGION;
  return update.IsRect() ? SIMPLEREGION : COMPLEXREGION;
}

BOOL ScrollWindow(HWND wnd, int dx, int dy, const TRect* rect, const TRect* clip) {
  return ScrollWindowEx(wnd, dx, dy, rect, clip, nullptr, nullptr,
                        SW_INVALIDATE | SW_ERASE | (rect ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}
