#pragma once
// Device-change notices: a poller thread waits on /proc/self/mounts (the kernel marks it with
// POLLPRI when the mount table changes), compares the table with the one before, and posts
// WM_DEVICECHANGE to a window: DBT_DEVICEARRIVAL for each mount that appeared,
// DBT_DEVICEREMOVECOMPLETE for each that went away (lParam 0).
#include <memory>
#include <string>

#include "platform/rtl/Types.h"

constexpr WPARAM DBT_DEVNODES_CHANGED = 0x0007;
constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
constexpr WPARAM DBT_DEVICEQUERYREMOVE = 0x8001;
constexpr WPARAM DBT_DEVICEQUERYREMOVEFAILED = 0x8002;
constexpr WPARAM DBT_DEVICEREMOVEPENDING = 0x8003;
constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;

namespace shell {

class MountPoller {
 public:
  // Starts watching MountsFile (a file in the mount-table format: "source path type ...");
  // the notices go to Window. Raises Exception when the file cannot be opened.
  explicit MountPoller(HWND Window, std::string MountsFile = "/proc/self/mounts");
  ~MountPoller();
  MountPoller(const MountPoller&) = delete;
  MountPoller& operator=(const MountPoller&) = delete;

  // Reads the file again at once, as if the kernel had marked it (for files that are not the
  // kernel's, whose changes poll() does not report).
  void Rescan();

 private:
  struct State;
  std::unique_ptr<State> FState;
};

}  // namespace shell
