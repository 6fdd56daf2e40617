#include "platform/shell/DeviceChange.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <set>
#include <sstream>
#include <thread>

#include "platform/os/Messages.h"
#include "platform/os/Window.h"
#include "platform/rtl/System.h"

namespace shell {

namespace {

// The mount points of a table in the mounts format.
std::set<std::string> ReadPoints(int Fd) {
  std::string text;
  char buffer[8192];
  lseek(Fd, 0, SEEK_SET);
  for (;;) {
    ssize_t got = read(Fd, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  std::set<std::string> points;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string source, point;
    if (fields >> source >> point) points.insert(point);
  }
  return points;
}

}  // namespace

struct MountPoller::State {
  HWND window = nullptr;
  int file = -1;
  int wake = -1;
  std::atomic<bool> stop{false};
  std::thread worker;
  std::set<std::string> known;  // the worker's after the start

  void Run() {
    while (!stop.load()) {
      pollfd fds[2] = {{file, POLLPRI, 0}, {wake, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (fds[1].revents & POLLIN) {
        uint64_t count;
        ssize_t got = read(wake, &count, sizeof count);
        (void)got;
      }
      if (stop.load()) break;
      std::set<std::string> now = ReadPoints(file);
      for (const std::string& p : now)
        if (!known.count(p)) PostMessage(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
      for (const std::string& p : known)
        if (!now.count(p)) PostMessage(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
      known = std::move(now);
    }
  }
};

MountPoller::MountPoller(HWND Window, std::string MountsFile) : FState(std::make_unique<State>()) {
  FState->window = Window;
  FState->file = open(MountsFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (FState->file < 0) throw Exception("Cannot watch the mount table " + MountsFile + ": " + std::strerror(errno));
  FState->wake = eventfd(0, EFD_CLOEXEC);
  if (FState->wake < 0) {
    close(FState->file);
    throw Exception(std::string("Cannot watch the mount table: ") + std::strerror(errno));
  }
  // The table as it is now: changes from here on are reported, none made before.
  FState->known = ReadPoints(FState->file);
  FState->worker = std::thread([state = FState.get()] { state->Run(); });
}

MountPoller::~MountPoller() {
  FState->stop.store(true);
  Rescan();
  FState->worker.join();
  close(FState->file);
  close(FState->wake);
}

void MountPoller::Rescan() {
  uint64_t one = 1;
  ssize_t written = write(FState->wake, &one, sizeof one);
  (void)written;
}

}  // namespace shell
