#include "platform/os/Kernel.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/rtl/Clock.h"

namespace {

thread_local DWORD tLastError = ERROR_SUCCESS;
// The calling thread's identifier, asked of the kernel once: the message loop asks for it on
// every message. 0 until then.
thread_local DWORD tThreadId = 0;

// A forked child's only thread has a new identifier: forget the one copied from the parent.
const int kForgetThreadIdInChild = pthread_atfork(nullptr, nullptr, [] { tThreadId = 0; });

}  // namespace

DWORD GetCurrentThreadId() {
  if (tThreadId == 0) tThreadId = static_cast<DWORD>(syscall(SYS_gettid));
  return tThreadId;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

DWORD GetTickCount() { return static_cast<DWORD>(rtl::CurrentClock().MonotonicMs()); }

DWORD GetLastError() { return tLastError; }

void SetLastError(DWORD code) { tLastError = code; }
