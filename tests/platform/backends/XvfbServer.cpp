#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/backends/X11Display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace test {

namespace {
constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr int kStartLimitMs = 10000;
}  // namespace

bool TXvfbServer::Installed() { return access(kXvfb, X_OK) == 0; }

TXvfbServer::TXvfbServer() {
  if (!Installed()) {
    FError = "Xvfb is not installed";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    FError = "no pipe";
    return;
  }
  FPid = fork();
  if (FPid == 0) {
    // The server ends with the test program, even one that crashed.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The server writes its display number to the pipe once it accepts clients.
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 0);
    dup2(devnull, 1);
    dup2(devnull, 2);
    close(fds[0]);
    std::string fd = std::to_string(fds[1]);
    execl(kXvfb, "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
    if (poll(&p, 1, std::max(1, left)) <= 0) break;
    char c = 0;
    if (read(fds[0], &c, 1) != 1) break;
    if (c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    FError = "Xvfb did not start";
    return;
  }
  FName = ":" + number;
}

TXvfbServer::~TXvfbServer() {
  if (FPid <= 0) return;
  kill(FPid, SIGTERM);
  int status = 0;
  waitpid(FPid, &status, 0);
}

TXClient::TXClient(const std::string& display) {
  backends::InitXThreads();
  FDisplay = XOpenDisplay(display.c_str());
  if (!FDisplay) throw std::runtime_error("cannot open " + display);
}

TXClient::~TXClient() { XCloseDisplay(FDisplay); }

unsigned long TXClient::Root() const { return DefaultRootWindow(FDisplay); }

gdi::TSurface TXClient::Capture(unsigned long window) {
  XWindowAttributes a;
  XGetWindowAttributes(FDisplay, window, &a);
  gdi::TSurface surface(a.width, a.height, 0);
  XImage* image = XGetImage(FDisplay, window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!image) return surface;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) surface.Set(x, y, 0xFF000000u | (XGetPixel(image, x, y) & 0xFFFFFFu));
  XDestroyImage(image);
  return surface;
}

void TXClient::MoveTo(int x, int y) {
  XTestFakeMotionEvent(FDisplay, DefaultScreen(FDisplay), x, y, CurrentTime);
  XFlush(FDisplay);
}

void TXClient::Button(unsigned int button, bool down) {
  XTestFakeButtonEvent(FDisplay, button, down ? True : False, CurrentTime);
  XFlush(FDisplay);
}

void TXClient::Click(int x, int y, unsigned int button) {
  MoveTo(x, y);
  Button(button, true);
  Button(button, false);
}

void TXClient::Key(unsigned long keysym, bool down) {
  XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, keysym), down ? True : False, CurrentTime);
  XFlush(FDisplay);
}

void TXClient::Sync() { XSync(FDisplay, False); }

bool WaitFor(const std::function<bool()>& check, const std::function<void()>& pump, int limitMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  for (;;) {
    if (pump) pump();
    if (check()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace test
