#include "platform/os/Mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

struct TMutexObject {
  int Fd = -1;        // the open lock file; -1 for a private mutex
  bool Holds = false;  // this handle holds the name's lock
  ~TMutexObject() {
    if (Fd >= 0) close(Fd);
  }
};

std::mutex gHandlesLock;
std::map<uintptr_t, std::unique_ptr<TMutexObject>> gHandles;
uintptr_t gNextHandle = 0x1000;

// The runtime folder: $XDG_RUNTIME_DIR when it exists, else a private folder under /tmp. A
// folder under /tmp must be ours, a real folder and closed to others; another user could have
// prepared it.
std::string RuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (xdg && *xdg && stat(xdg, &st) == 0 && S_ISDIR(st.st_mode)) return xdg;
  std::string dir = "/tmp/ostrovel-" + std::to_string(getuid());
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0)
    return {};
  return dir;
}

// A mutex name as a file name: path separators and control characters become '_'.
std::string FileNameFor(const std::string& name) {
  std::string safe;
  for (unsigned char c : name) safe += (c == '/' || c == '\\' || c < 0x20) ? '_' : static_cast<char>(c);
  return "ostrovel-mutex-" + safe + ".lock";
}

void RecordPid(int fd) {
  std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) == 0) {
    ssize_t written = pwrite(fd, pid.data(), pid.size(), 0);
    (void)written;  // the pid is informative; the lock alone decides
  }
}

HANDLE AddHandle(std::unique_ptr<TMutexObject> object) {
  std::lock_guard<std::mutex> lock(gHandlesLock);
  uintptr_t id = gNextHandle++;
  gHandles.emplace(id, std::move(object));
  return reinterpret_cast<HANDLE>(id);
}

}  // namespace

namespace os {

std::string MutexLockPath(const std::string& name) {
  std::string dir = RuntimeFolder();
  return dir.empty() ? std::string() : dir + "/" + FileNameFor(name);
}

int MutexHolderPid(const std::string& name) {
  std::string path = MutexLockPath(name);
  if (path.empty()) return 0;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return 0;
  int pid = 0;
  // A lock we can take means no one holds the name.
  if (flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    char buffer[32] = {};
    ssize_t n = pread(fd, buffer, sizeof buffer - 1, 0);
    if (n > 0) pid = std::atoi(buffer);
  }
  close(fd);
  return pid;
}

}  // namespace os

HANDLE CreateMutex(void*, BOOL, const char* name) {
  auto object = std::make_unique<TMutexObject>();
  if (!name || !*name) {
    SetLastError(ERROR_SUCCESS);
    return AddHandle(std::move(object));
  }
  std::string path = os::MutexLockPath(name);
  if (path.empty()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  object->Fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (object->Fd < 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  DWORD error = ERROR_SUCCESS;
  if (flock(object->Fd, LOCK_EX | LOCK_NB) == 0) {
    object->Holds = true;
    RecordPid(object->Fd);
  } else if (errno == EWOULDBLOCK) {
    error = ERROR_ALREADY_EXISTS;
    close(object->Fd);
    object->Fd = -1;
  } else {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  HANDLE handle = AddHandle(std::move(object));
  SetLastError(error);
  return handle;
}

BOOL ReleaseMutex(HANDLE mutex) {
  std::lock_guard<std::mutex> lock(gHandlesLock);
  if (!gHandles.count(reinterpret_cast<uintptr_t>(mutex))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  std::unique_ptr<TMutexObject> closing;
  {
    std::lock_guard<std::mutex> lock(gHandlesLock);
    auto it = gHandles.find(reinterpret_cast<uintptr_t>(object));
    if (it == gHandles.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    closing = std::move(it->second);
    gHandles.erase(it);
  }
  // The file stays (removing it would race with a process opening it); only the pid goes.
  if (closing->Holds && ftruncate(closing->Fd, 0) != 0) SetLastError(ERROR_ACCESS_DENIED);
  return TRUE;
}
