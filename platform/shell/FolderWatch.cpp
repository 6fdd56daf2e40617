#include "platform/shell/FolderWatch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/rtl/System.h"

namespace shell {

namespace {

constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

void AddOnce(std::vector<int>& List, int Value) {
  if (std::find(List.begin(), List.end(), Value) == List.end()) List.push_back(Value);
}

}  // namespace

FolderWatch::FolderWatch() {
  FNotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (FNotify < 0) throw Exception(std::string("Cannot watch folders: ") + std::strerror(errno));
  FWake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (FWake < 0) {
    int error = errno;
    close(FNotify);
    throw Exception(std::string("Cannot watch folders: ") + std::strerror(error));
  }
}

FolderWatch::~FolderWatch() {
  close(FNotify);
  close(FWake);
}

int FolderWatch::Add(const std::string& Path, DWORD Filter) {
  if (Path.empty() || !(Filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))) return -1;
  int watch = inotify_add_watch(FNotify, Path.c_str(), kNameEvents | IN_ONLYDIR);
  if (watch < 0) return -1;
  // Which names count is kept beside the watch: folders only, or files too.
  FFilters.resize(std::max(FFilters.size(), static_cast<size_t>(watch) + 1), 0);
  FFilters[static_cast<size_t>(watch)] |= Filter;
  return watch;
}

void FolderWatch::Remove(int Watch) {
  if (Watch < 0) return;
  inotify_rm_watch(FNotify, Watch);
  if (static_cast<size_t>(Watch) < FFilters.size()) FFilters[static_cast<size_t>(Watch)] = 0;
}

FolderWatch::Batch FolderWatch::Wait() {
  Batch batch;
  pollfd fds[2] = {{FNotify, POLLIN, 0}, {FWake, POLLIN, 0}};
  while (poll(fds, 2, -1) < 0)
    if (errno != EINTR) return batch;
  if (fds[1].revents & POLLIN) {
    uint64_t count;
    if (read(FWake, &count, sizeof count) == sizeof count) batch.woken = true;
  }
  if (!(fds[0].revents & POLLIN)) return batch;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    ssize_t got = read(FNotify, buffer, sizeof buffer);
    if (got <= 0) break;
    for (char* p = buffer; p < buffer + got;) {
      auto* e = reinterpret_cast<inotify_event*>(p);
      p += sizeof(inotify_event) + e->len;
      if (e->mask & IN_IGNORED) {
        AddOnce(batch.ended, e->wd);
        if (static_cast<size_t>(e->wd) < FFilters.size()) FFilters[static_cast<size_t>(e->wd)] = 0;
        continue;
      }
      DWORD filter = static_cast<size_t>(e->wd) < FFilters.size() ? FFilters[static_cast<size_t>(e->wd)] : 0;
      bool dir = (e->mask & IN_ISDIR) || (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF));
      if ((dir && (filter & FILE_NOTIFY_CHANGE_DIR_NAME)) || (!dir && (filter & FILE_NOTIFY_CHANGE_FILE_NAME)))
        AddOnce(batch.changed, e->wd);
    }
  }
  return batch;
}

void FolderWatch::Wake() {
  uint64_t one = 1;
  ssize_t written = write(FWake, &one, sizeof one);
  (void)written;
}

}  // namespace shell
