#include "platform/os/Painting.h"

#include <algorithm>

#include "platform/gdi/Objects.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Clock.h"

using os::Manager;
using os::TWindow;
using os::TWindowManager;

namespace {

TRect WholeWindow(const TWindow& w) { return TRect(0, 0, w.WindowRect.Width(), w.WindowRect.Height()); }

void MarkPending(TWindowManager& m, TWindow& w) {
  auto q = m.Queue(w.ThreadId, false);
  if (!q) return;
  if (std::find(q->PaintPending.begin(), q->PaintPending.end(), w.Handle) == q->PaintPending.end())
    q->PaintPending.push_back(w.Handle);
  q->Wake.notify_all();
}

bool HasPaint(const TWindow& w) { return !w.Update.IsEmpty() || w.InternalPaint || w.FramePending; }

// Applies RDW_ flags to a window and, where they reach, its children (Lock held). Area is in
// the window's coordinates.
void Apply(TWindowManager& m, TWindow& w, const std::optional<gdi::TRegion>& area, UINT flags) {
  const bool shown = m.IsShown(&w);
  gdi::TRegion full = area ? *area : gdi::TRegion((flags & RDW_FRAME) ? WholeWindow(w) : w.Client);
  gdi::TRegion clip(WholeWindow(w));
  if (w.Region) clip &= *w.Region;
  full &= clip;
  if (!(flags & RDW_FRAME)) full &= w.Client;
  if ((flags & RDW_INVALIDATE) && shown && !full.IsEmpty()) {
    w.Update |= full;
    ++w.InvalidationCount;
    if (flags & RDW_ERASE) w.Erase = true;
    if (flags & RDW_FRAME) w.FramePending = true;
    MarkPending(m, w);
  }
  if ((flags & RDW_INTERNALPAINT) && shown) {
    w.InternalPaint = true;
    MarkPending(m, w);
  }
  if (flags & RDW_VALIDATE) {
    w.Update -= full;
    if (w.Update.IsEmpty()) w.Erase = false;
    if (flags & RDW_NOINTERNALPAINT) w.InternalPaint = false;
    if ((flags & RDW_NOFRAME) || w.Update.IsEmpty()) w.FramePending = false;
  }
  if (flags & RDW_NOERASE) w.Erase = false;
  // Children over the area: a parent that does not clip them paints over them, so they
  // repaint too (frames included).
  const bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w.Style & WS_CLIPCHILDREN));
  if (!children || !(flags & (RDW_INVALIDATE | RDW_VALIDATE))) return;
  gdi::TRegion inClient = full;
  inClient &= w.Client;
  if (inClient.IsEmpty()) return;
  for (HWND ch : w.Children) {
    TWindow* c = m.Find(ch);
    if (!c) continue;
    gdi::TRegion part = inClient;
    part.Offset(-(w.Client.Left + c->WindowRect.Left), -(w.Client.Top + c->WindowRect.Top));
    part &= WholeWindow(*c);
    if (!part.IsEmpty()) Apply(m, *c, part, (flags | RDW_FRAME) & ~RDW_NOCHILDREN);
  }
}

std::optional<gdi::TRegion> ClientArea(HWND wnd, const TRect* rect, HRGN region) {
  std::optional<gdi::TRegion> area;
  if (region) {
    const gdi::TRegion* r = gdi::RegionOf(region);
    if (r) area = *r;
  } else if (rect) {
    area = gdi::TRegion(*rect);
  }
  if (area) {
    TRect client;
    os::WithWindow(wnd, [&](TWindow& w) { client = w.Client; });
    area->Offset(client.Left, client.Top);
  }
  return area;
}

void SendPaintNow(HWND wnd) {
  bool pending = false;
  os::WithWindow(wnd, [&](TWindow& w) { pending = HasPaint(w); });
  if (!pending) return;
  uint64_t cookie = os::PaintCookie(wnd);
  SendMessage(wnd, WM_PAINT, 0, 0);
  os::AfterPaint(wnd, cookie);
}

// RDW_ERASENOW / RDW_UPDATENOW for a window and the children the flags reach.
void PaintNow(HWND wnd, UINT flags) {
  if (!IsWindowVisible(wnd)) return;
  if (flags & RDW_UPDATENOW) SendPaintNow(wnd);
  else os::SendPendingErase(wnd);
  std::vector<HWND> children;
  bool clipChildren = false;
  os::WithWindow(wnd, [&](TWindow& w) {
    children.assign(w.Children.rbegin(), w.Children.rend());
    clipChildren = (w.Style & WS_CLIPCHILDREN) != 0;
  });
  if ((flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !clipChildren))
    for (HWND ch : children) PaintNow(ch, flags);
}

}  // namespace

namespace os {

void ChangeUpdateRegion(HWND wnd, const std::optional<gdi::TRegion>& area, UINT flags) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  if (TWindow* w = m.Find(wnd)) Apply(m, *w, area, flags);
}

void InvalidateUncovered(HWND parent, const gdi::TRegion& areaInClient) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* p = m.Find(parent);
  if (!p || !m.IsShown(p)) return;
  gdi::TRegion area = areaInClient;
  area.Offset(p->Client.Left, p->Client.Top);
  Apply(m, *p, area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool PaintPendingLocked(TWindowManager& m, TThreadQueue& q, HWND wnd) {
  std::erase_if(q.PaintPending, [&](HWND h) {
    TWindow* w = m.Find(h);
    return !w || !HasPaint(*w) || !m.IsShown(w);
  });
  if (!wnd) return !q.PaintPending.empty();
  return std::find(q.PaintPending.begin(), q.PaintPending.end(), wnd) != q.PaintPending.end();
}

bool PeekPaintMessage(MSG* msg, HWND filterWnd, UINT filterMin, UINT filterMax) {
  if ((filterMin || filterMax) && (WM_PAINT < filterMin || WM_PAINT > filterMax)) return false;
  if (filterWnd == HWND_THREAD_ONLY) return false;
  auto q = CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  if (!PaintPendingLocked(m, *q)) return false;
  HWND target = nullptr;
  for (HWND h : q->PaintPending) {
    TWindow* w = m.Find(h);
    if (filterWnd) {
      if (h == filterWnd) target = h;
      if (target) break;
      continue;
    }
    // Parents paint before their children.
    for (TWindow* a = m.Find(w->Parent); a; a = m.Find(a->Parent))
      if (HasPaint(*a)) w = a;
    target = w->Handle;
    break;
  }
  if (!target) return false;
  *msg = MSG{};
  msg->hwnd = target;
  msg->message = WM_PAINT;
  msg->time = static_cast<DWORD>(rtl::CurrentClock().MonotonicMs());
  msg->pt = m.CursorPos;
  return true;
}

uint64_t PaintCookie(HWND wnd) {
  uint64_t cookie = 0;
  WithWindow(wnd, [&](TWindow& w) { cookie = w.InvalidationCount; });
  return cookie;
}

void AfterPaint(HWND wnd, uint64_t cookie) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.Find(wnd);
  if (!w || w->InvalidationCount != cookie || !HasPaint(*w)) return;
  w->Update = gdi::TRegion();
  w->Erase = false;
  w->InternalPaint = false;
  w->FramePending = false;
}

bool TakeFrameUpdate(HWND wnd) {
  bool frame = false;
  WithWindow(wnd, [&](TWindow& w) {
    gdi::TRegion outside = w.Update;
    outside -= w.Client;
    frame = w.FramePending || !outside.IsEmpty();
    w.FramePending = false;
    w.Update &= w.Client;
  });
  return frame;
}

gdi::TRegion ClientUpdate(HWND wnd, bool validate, bool* erase) {
  gdi::TRegion result;
  WithWindow(wnd, [&](TWindow& w) {
    result = w.Update;
    result &= w.Client;
    result.Offset(-w.Client.Left, -w.Client.Top);
    if (erase) *erase = w.Erase;
    if (validate) {
      w.Update -= w.Client;
      w.InternalPaint = false;
      if (w.Update.IsEmpty()) w.Erase = false;
    }
  });
  return result;
}

void SetErasePending(HWND wnd, bool pending) {
  WithWindow(wnd, [&](TWindow& w) { w.Erase = pending; });
}

}  // namespace os

BOOL InvalidateRect(HWND wnd, const TRect* rect, BOOL erase) {
  if (!IsWindow(wnd) || wnd == os::kDesktopWindow) return FALSE;
  os::ChangeUpdateRegion(wnd, ClientArea(wnd, rect, nullptr), RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
  return TRUE;
}

BOOL InvalidateRgn(HWND wnd, HRGN region, BOOL erase) {
  if (!IsWindow(wnd) || wnd == os::kDesktopWindow) return FALSE;
  os::ChangeUpdateRegion(wnd, ClientArea(wnd, nullptr, region), RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
  return TRUE;
}

BOOL ValidateRect(HWND wnd, const TRect* rect) {
  if (!IsWindow(wnd) || wnd == os::kDesktopWindow) return FALSE;
  os::ChangeUpdateRegion(wnd, ClientArea(wnd, rect, nullptr), RDW_VALIDATE);
  return TRUE;
}

BOOL ValidateRgn(HWND wnd, HRGN region) {
  if (!IsWindow(wnd) || wnd == os::kDesktopWindow) return FALSE;
  os::ChangeUpdateRegion(wnd, ClientArea(wnd, nullptr, region), RDW_VALIDATE);
  return TRUE;
}

BOOL RedrawWindow(HWND wnd, const TRect* rect, HRGN region, UINT flags) {
  if (!IsWindow(wnd) || wnd == os::kDesktopWindow) return FALSE;
  os::ChangeUpdateRegion(wnd, ClientArea(wnd, rect, region), flags);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) PaintNow(wnd, flags);
  return TRUE;
}

BOOL UpdateWindow(HWND wnd) {
  if (!IsWindow(wnd)) return FALSE;
  SendPaintNow(wnd);
  return TRUE;
}

BOOL GetUpdateRect(HWND wnd, TRect* rect, BOOL erase) {
  if (!IsWindow(wnd)) return FALSE;
  if (erase) os::SendPendingErase(wnd);
  TRect box = os::ClientUpdate(wnd, false, nullptr).Box();
  if (rect) *rect = box;
  return box.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND wnd, HRGN region, BOOL erase) {
  gdi::TRegion* target = gdi::MutableRegionOf(region);
  if (!target || !IsWindow(wnd)) return ERROR;
  if (erase) os::SendPendingErase(wnd);
  *target = os::ClientUpdate(wnd, false, nullptr);
  if (target->IsEmpty()) return NULLREGION;
  return target->IsRect() ? SIMPLEREGION : COMPLEXREGION;
}
