#include "platform/backends/X11Display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <stdexcept>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace backends {

namespace {

// Requests on windows that are going away (a destroyed pop-up, focus given to a window being
// unmapped) fail harmlessly; they must not end the program as Xlib's default handler does.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// The server time an event carries, 0 for kinds without one.
unsigned long EventTime(const XEvent& e) {
  switch (e.type) {
    case KeyPress:
    case KeyRelease: return e.xkey.time;
    case ButtonPress:
    case ButtonRelease: return e.xbutton.time;
    case MotionNotify: return e.xmotion.time;
    case EnterNotify:
    case LeaveNotify: return e.xcrossing.time;
    case PropertyNotify: return e.xproperty.time;
    case SelectionClear: return e.xselectionclear.time;
    case SelectionRequest: return e.xselectionrequest.time;
    case SelectionNotify: return e.xselection.time;
    default: return 0;
  }
}

}  // namespace

void InitXThreads() {
  static const bool done = [] {
    XInitThreads();
    XSetErrorHandler(IgnoreError);
    return true;
  }();
  (void)done;
}

std::unique_ptr<TX11Display> TX11Display::Open(const std::string& name) {
  InitXThreads();
  Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
  if (!display) return nullptr;
  return std::unique_ptr<TX11Display>(new TX11Display(display));
}

TX11Display::TX11Display(Display* display) : FDisplay(display) {
  FScreen = DefaultScreen(display);
  FRoot = RootWindow(display, FScreen);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    throw std::runtime_error("cannot make the X reader's wake-up pipe");
  }
  FWakeRead = fds[0];
  FWakeWrite = fds[1];
  FReader = std::thread([this] { Run(); });
}

TX11Display::~TX11Display() {
  FStopping = true;
  Wake();
  if (FReader.joinable()) FReader.join();
  XCloseDisplay(FDisplay);
  close(FWakeRead);
  close(FWakeWrite);
}

XAtom TX11Display::Atom(const std::string& name) {
  {
    std::lock_guard<std::mutex> g(FAtomLock);
    auto it = FAtoms.find(name);
    if (it != FAtoms.end()) return it->second;
  }
  XAtom atom;
  {
    TLock lock(*this);
    atom = XInternAtom(FDisplay, name.c_str(), False);
  }
  std::lock_guard<std::mutex> g(FAtomLock);
  FAtoms[name] = atom;
  return atom;
}

TX11Display::TLock::TLock(TX11Display& owner) : FOwner(owner) { XLockDisplay(owner.FDisplay); }

TX11Display::TLock::~TLock() {
  XFlush(FOwner.FDisplay);
  const bool queued = XEventsQueued(FOwner.FDisplay, QueuedAlready) > 0;
  XUnlockDisplay(FOwner.FDisplay);
  if (queued) FOwner.Wake();
}

int TX11Display::AddSink(TSink sink) {
  TLock lock(*this);
  int id = FNextSink++;
  FSinks[id] = std::move(sink);
  return id;
}

void TX11Display::RemoveSink(int id) {
  TLock lock(*this);
  FSinks.erase(id);
}

void TX11Display::AddEventMask(XWindow window, long mask) {
  XWindowAttributes attributes;
  long current = XGetWindowAttributes(FDisplay, window, &attributes) ? attributes.your_event_mask : 0;
  XSelectInput(FDisplay, window, current | mask);
}

void TX11Display::PutPixels(XWindow drawable, void* gc, const uint32_t* pixels, int stride, int width, int height,
                            int x, int y) {
  if (width <= 0 || height <= 0) return;
  Visual* visual = DefaultVisual(FDisplay, FScreen);
  const int depth = DefaultDepth(FDisplay, FScreen);
  XImage* image = XCreateImage(FDisplay, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (!image) return;
  const bool direct = image->bits_per_pixel == 32 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
                      visual->blue_mask == 0xFF && image->byte_order == (ImageByteOrder(FDisplay));
  std::vector<uint32_t> copy;
  if (direct && image->byte_order == LSBFirst && std::endian::native == std::endian::little) {
    // The surface's words are the server's pixels: send the rows as they are.
    image->data = const_cast<char*>(reinterpret_cast<const char*>(pixels));
    image->bytes_per_line = stride * 4;
  } else {
    copy.resize(static_cast<size_t>(image->bytes_per_line) * height / 4 + 1);
    image->data = reinterpret_cast<char*>(copy.data());
    auto channel = [](uint32_t value, unsigned long mask) {
      if (!mask) return 0ul;
      int shift = 0, bits = 0;
      while (!((mask >> shift) & 1)) ++shift;
      while ((mask >> (shift + bits)) & 1) ++bits;
      return (static_cast<unsigned long>(value) >> (8 - std::min(bits, 8))) << shift & mask;
    };
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col) {
        uint32_t p = pixels[static_cast<size_t>(row) * stride + col];
        XPutPixel(image, col, row,
                  channel((p >> 16) & 0xFF, visual->red_mask) | channel((p >> 8) & 0xFF, visual->green_mask) |
                      channel(p & 0xFF, visual->blue_mask));
      }
  }
  XPutImage(FDisplay, drawable, static_cast<GC>(gc), image, 0, 0, x, y, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  image->data = nullptr;
  XDestroyImage(image);
}

void TX11Display::Wake() {
  const char byte = 1;
  // A full pipe already wakes the reader.
  while (write(FWakeWrite, &byte, 1) < 0 && errno == EINTR) {
  }
}

void TX11Display::Dispatch(XEvent& event) {
  if (unsigned long t = EventTime(event)) FLastTime = t;
  // A new keyboard layout: key lookups must use it from now on.
  if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
  // An input method may take key events for itself (composing a character).
  if (XFilterEvent(&event, 0)) return;
  std::vector<TSink> sinks;
  sinks.reserve(FSinks.size());
  for (auto& [id, sink] : FSinks) sinks.push_back(sink);
  for (auto& sink : sinks)
    if (sink(event)) return;
}

void TX11Display::Run() {
  const int xfd = ConnectionNumber(FDisplay);
  while (!FStopping) {
    pollfd fds[2] = {{xfd, POLLIN, 0}, {FWakeRead, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
    char buffer[64];
    while (read(FWakeRead, buffer, sizeof buffer) > 0) {
    }
    if (FStopping) break;
    XLockDisplay(FDisplay);
    while (!FStopping && XPending(FDisplay) > 0) {
      XEvent event;
      XNextEvent(FDisplay, &event);
      Dispatch(event);
    }
    XUnlockDisplay(FDisplay);
  }
}

}  // namespace backends
