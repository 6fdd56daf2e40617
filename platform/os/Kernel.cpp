#include "platform/os/Kernel.h"

#include <sys/syscall.h>
#include <unistd.h>

#include "platform/rtl/Clock.h"

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}  // namespace

// Not cached: a forked child's thread has a new identifier.
DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

DWORD GetTickCount() { return static_cast<DWORD>(rtl::CurrentClock().MonotonicMs()); }

DWORD GetLastError() { return tLastError; }

void SetLastError(DWORD code) { tLastError = code; }
