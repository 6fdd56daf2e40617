#pragma once
// Folder-change notification over inotify: one descriptor holds every watch, and a second one
// (an eventfd) wakes a waiting thread. A watch reports names created, deleted and moved in one
// folder; of directories only (FILE_NOTIFY_CHANGE_DIR_NAME) or of files too
// (FILE_NOTIFY_CHANGE_FILE_NAME). inotify does not descend: a watch covers one folder.
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

constexpr DWORD FILE_NOTIFY_CHANGE_FILE_NAME = 0x0001;
constexpr DWORD FILE_NOTIFY_CHANGE_DIR_NAME = 0x0002;

namespace shell {

class FolderWatch {
 public:
  // Raises Exception when the descriptors cannot be made.
  FolderWatch();
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // A watch of Path with the FILE_NOTIFY_CHANGE_* Filter: its number (>= 0), or -1 when the
  // folder cannot be watched. Adding a folder watched already answers the same number.
  int Add(const std::string& Path, DWORD Filter);
  void Remove(int Watch);

  struct Batch {
    bool woken = false;           // Wake() was called
    std::vector<int> changed;     // watches with changes (each once, in the order first seen)
    std::vector<int> ended;       // watches the kernel dropped (folder deleted, unmounted)
  };
  // Blocks until changes arrive or Wake() is called, and reads what is there.
  Batch Wait();
  // Ends a Wait() from any thread (the only call another thread may make; Add, Remove and
  // Wait belong to one thread at a time).
  void Wake();

 private:
  int FNotify = -1;
  int FWake = -1;
  // The filter of each watch, by its number (0: none).
  std::vector<DWORD> FFilters;
};

}  // namespace shell
