#include "platform/backends/X11TrayHost.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/os/Input.h"
#include "platform/os/Messages.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace backends {

namespace {

constexpr long kRequestDock = 0;
constexpr long kXembedMapped = 1;
constexpr int kDefaultSize = 22;

// The pixel (X, Y) of Image scaled to Width x Height: the average of the source pixels it
// covers (weighted by their alpha), so that a larger picture shrinks without losing its lines.
uint32_t ScaledPixel(const shell::TrayImage& image, int x, int y, int width, int height) {
  const int x0 = x * image.width / width, x1 = std::max(x0 + 1, (x + 1) * image.width / width);
  const int y0 = y * image.height / height, y1 = std::max(y0 + 1, (y + 1) * image.height / height);
  uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
  for (int sy = y0; sy < y1; ++sy)
    for (int sx = x0; sx < x1; ++sx) {
      const uint32_t p = image.argb[static_cast<size_t>(sy) * image.width + sx];
      const uint32_t alpha = p >> 24;
      a += alpha;
      r += alpha * ((p >> 16) & 0xFF);
      g += alpha * ((p >> 8) & 0xFF);
      b += alpha * (p & 0xFF);
      ++n;
    }
  if (a == 0) return 0;
  return static_cast<uint32_t>((a / n) << 24 | (r / a) << 16 | (g / a) << 8 | (b / a));
}

}  // namespace

struct TX11TrayHost::TDock {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Message = 0;
  std::string Tip;
  XWindow Window = 0;
  int Width = kDefaultSize;
  int Height = kDefaultSize;
  std::optional<shell::TrayImage> Image;
  bool Docked = false;
  // The last press, for double clicks.
  unsigned int PressButton = 0;
  unsigned long PressTime = 0;
  TPoint PressPos;
  TPoint LastMove{-1, -1};
};

TX11TrayHost::TX11TrayHost(TX11Display& display) : FDisplay(display), FTips(std::make_unique<TTrayTips>()) {
  FSelection = display.Atom("_NET_SYSTEM_TRAY_S" + std::to_string(display.Screen()));
  FOpcode = display.Atom("_NET_SYSTEM_TRAY_OPCODE");
  FManagerMessage = display.Atom("MANAGER");
  FXembedInfo = display.Atom("_XEMBED_INFO");
  {
    TX11Display::TLock lock(display);
    // The MANAGER announcement goes to the root window's structure listeners.
    display.AddEventMask(display.Root(), StructureNotifyMask);
    FindManager();
  }
  FSink = display.AddSink([this](XEvent& e) { return HandleEvent(e); });
}

TX11TrayHost::~TX11TrayHost() {
  FDisplay.RemoveSink(FSink);
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  for (auto& dock : FDocks) XDestroyWindow(FDisplay.Get(), dock->Window);
}

// Display locked.
void TX11TrayHost::FindManager() {
  FManager = XGetSelectionOwner(FDisplay.Get(), FSelection);
  // Its end must be seen, so icons do not linger on the root window.
  if (FManager) XSelectInput(FDisplay.Get(), FManager, StructureNotifyMask);
}

void TX11TrayHost::IconChanged(const shell::TrayIcon& icon) {
  std::optional<shell::TrayImage> image = shell::ReadTrayImage(icon.icon);
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  Display* d = FDisplay.Get();
  auto it = std::find_if(FDocks.begin(), FDocks.end(),
                         [&](const auto& dock) { return dock->Wnd == icon.wnd && dock->Id == icon.id; });
  TDock* dock = it == FDocks.end() ? nullptr : it->get();
  if (!dock) {
    FDocks.push_back(std::make_unique<TDock>());
    dock = FDocks.back().get();
    dock->Wnd = icon.wnd;
    dock->Id = icon.id;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = ParentRelative;
    attributes.event_mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | ExposureMask | StructureNotifyMask;
    dock->Window = XCreateWindow(d, FDisplay.Root(), 0, 0, kDefaultSize, kDefaultSize, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    long info[2] = {0, kXembedMapped};
    XChangeProperty(d, dock->Window, FXembedInfo, FXembedInfo, 32, PropModeReplace, reinterpret_cast<unsigned char*>(info), 2);
    AskSize(*dock, kDefaultSize);
  }
  dock->Message = icon.callbackMessage;
  dock->Tip = icon.tip;
  if (image) dock->Image = std::move(image);
  // Trays that show a name for their icons show the tip.
  Xutf8SetWMProperties(d, dock->Window, icon.tip.c_str(), nullptr, nullptr, 0, nullptr, nullptr, nullptr);
  if (!dock->Docked) Dock(*dock);
  Paint(*dock);
}

void TX11TrayHost::IconRemoved(const shell::TrayIcon& icon) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  auto it = std::find_if(FDocks.begin(), FDocks.end(),
                         [&](const auto& dock) { return dock->Wnd == icon.wnd && dock->Id == icon.id; });
  if (it == FDocks.end()) return;
  XDestroyWindow(FDisplay.Get(), (*it)->Window);
  FDocks.erase(it);
}

std::optional<TRect> TX11TrayHost::IconRect(HWND wnd, UINT_PTR id) {
  TX11Display::TLock lock(FDisplay);
  std::lock_guard<std::mutex> g(FLock);
  for (auto& dock : FDocks)
    if (dock->Wnd == wnd && dock->Id == id) return ScreenRect(*dock);
  return std::nullopt;
}

// Both locks held. Trays read the normal size hints of the icon's window when they make its
// slot; one that gave it less than a square of its own height is asked again.
void TX11TrayHost::AskSize(TDock& dock, int side) {
  XSizeHints* size = XAllocSizeHints();
  size->flags = PSize | PMinSize | PBaseSize;
  size->width = size->min_width = size->base_width = side;
  size->height = size->min_height = size->base_height = side;
  XSetWMNormalHints(FDisplay.Get(), dock.Window, size);
  XFree(size);
}

// Both locks held.
std::optional<TRect> TX11TrayHost::ScreenRect(TDock& dock) {
  int x = 0, y = 0;
  Window child = 0;
  if (!dock.Docked || !XTranslateCoordinates(FDisplay.Get(), dock.Window, FDisplay.Root(), 0, 0, &x, &y, &child))
    return std::nullopt;
  return TRect(x, y, x + dock.Width, y + dock.Height);
}

// Both locks held.
void TX11TrayHost::Dock(TDock& dock) {
  if (!FManager) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = FManager;
  e.xclient.message_type = FOpcode;
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(FDisplay.LastEventTime());
  e.xclient.data.l[1] = kRequestDock;
  e.xclient.data.l[2] = static_cast<long>(dock.Window);
  XSendEvent(FDisplay.Get(), FManager, False, NoEventMask, &e);
  dock.Docked = true;
}

// Both locks held. The image scaled to the window; pixels under half opacity are left out, so
// the tray's background shows there.
void TX11TrayHost::Paint(TDock& dock) {
  Display* d = FDisplay.Get();
  XClearWindow(d, dock.Window);
  if (!dock.Image || dock.Width <= 0 || dock.Height <= 0) return;
  const shell::TrayImage& image = *dock.Image;
  const int w = dock.Width, h = dock.Height;
  std::vector<uint32_t> scaled(static_cast<size_t>(w) * h);
  const int rowBytes = (w + 7) / 8;
  std::vector<char> mask(static_cast<size_t>(rowBytes) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = ScaledPixel(image, x, y, w, h);
      scaled[static_cast<size_t>(y) * w + x] = p;
      if ((p >> 24) >= 0x80) mask[static_cast<size_t>(y) * rowBytes + x / 8] |= static_cast<char>(1 << (x % 8));
    }
  Pixmap clip = XCreateBitmapFromData(d, dock.Window, mask.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
  XGCValues values{};
  values.clip_mask = clip;
  GC gc = XCreateGC(d, dock.Window, GCClipMask, &values);
  FDisplay.PutPixels(dock.Window, gc, scaled.data(), w, w, h, 0, 0);
  XFreeGC(d, gc);
  XFreePixmap(d, clip);
}

TX11TrayHost::TDock* TX11TrayHost::DockOf(XWindow window) {
  for (auto& dock : FDocks)
    if (dock->Window == window) return dock.get();
  return nullptr;
}

// Reader thread, display locked: the host's lock is taken second.
bool TX11TrayHost::HandleEvent(XEvent& e) {
  if (e.type == ClientMessage && e.xclient.window == FDisplay.Root() && e.xclient.message_type == FManagerMessage &&
      static_cast<XAtom>(e.xclient.data.l[1]) == FSelection) {
    FindManager();
    FGui.Post([] { shell::RecreateTaskbar(); });
    return true;
  }
  if (e.type == DestroyNotify && FManager && e.xdestroywindow.window == FManager) {
    FManager = 0;
    std::lock_guard<std::mutex> g(FLock);
    for (auto& dock : FDocks) {
      dock->Docked = false;
      XUnmapWindow(FDisplay.Get(), dock->Window);
    }
    return true;
  }
  std::lock_guard<std::mutex> g(FLock);
  TDock* dock = DockOf(e.xany.window);
  if (!dock) return false;
  switch (e.type) {
    case Expose:
      if (e.xexpose.count == 0) Paint(*dock);
      break;
    case ConfigureNotify:
      if (e.xconfigure.width != dock->Width || e.xconfigure.height != dock->Height) {
        dock->Width = e.xconfigure.width;
        dock->Height = e.xconfigure.height;
        // A slot narrower than it is high: the icon asks for a square at the tray's height.
        if (dock->Docked && dock->Width < dock->Height) {
          AskSize(*dock, dock->Height);
          XResizeWindow(FDisplay.Get(), dock->Window, static_cast<unsigned>(dock->Height),
                        static_cast<unsigned>(dock->Height));
        }
        Paint(*dock);
      }
      break;
    case EnterNotify:
      if (!dock->Tip.empty()) {
        std::optional<TRect> at = ScreenRect(*dock);
        FGui.Post([this, tip = dock->Tip, at] { FTips->Enter(tip, at); });
      }
      break;
    case LeaveNotify:
      FGui.Post([this] { FTips->Leave(); });
      break;
    case ReparentNotify:
      // Back on the root window: the tray let go of the icon.
      if (e.xreparent.parent == FDisplay.Root()) {
        dock->Docked = false;
        XUnmapWindow(FDisplay.Get(), dock->Window);
      }
      break;
    case ButtonPress:
      FGui.Post([this] { FTips->Leave(); });
      Pointer(*dock, e);
      break;
    case ButtonRelease:
    case MotionNotify:
      Pointer(*dock, e);
      break;
    default:
      break;
  }
  return true;
}

void TX11TrayHost::Pointer(TDock& dock, XEvent& e) {
  if (!dock.Message) return;
  TPoint pos;
  UINT message = 0;
  if (e.type == MotionNotify) {
    pos = TPoint(e.xmotion.x_root, e.xmotion.y_root);
    if (pos == dock.LastMove) return;
    dock.LastMove = pos;
    message = WM_MOUSEMOVE;
  } else {
    const XButtonEvent& b = e.xbutton;
    pos = TPoint(b.x_root, b.y_root);
    UINT down = 0, up = 0, dbl = 0;
    switch (b.button) {
      case Button1: down = WM_LBUTTONDOWN, up = WM_LBUTTONUP, dbl = WM_LBUTTONDBLCLK; break;
      case Button2: down = WM_MBUTTONDOWN, up = WM_MBUTTONUP, dbl = WM_MBUTTONDBLCLK; break;
      case Button3: down = WM_RBUTTONDOWN, up = WM_RBUTTONUP, dbl = WM_RBUTTONDBLCLK; break;
      default: return;  // the wheel means nothing to a tray icon
    }
    if (e.type == ButtonRelease) {
      message = up;
    } else {
      const bool second = dock.PressButton == b.button && b.time - dock.PressTime <= GetDoubleClickTime() &&
                          std::abs(pos.X - dock.PressPos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                          std::abs(pos.Y - dock.PressPos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
      message = second ? dbl : down;
      // A third press starts a new click.
      dock.PressButton = second ? 0 : b.button;
      dock.PressTime = b.time;
      dock.PressPos = pos;
    }
  }
  SetCursorPos(pos.X, pos.Y);
  PostMessage(dock.Wnd, dock.Message, dock.Id, static_cast<LPARAM>(message));
}

}  // namespace backends
