#include "platform/os/Kernel.h"

#include <pthread.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
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

DWORD ExpandEnvironmentStrings(const char* Src, char* Dst, DWORD Size) {
  if (Src == nullptr) return 0;
  std::string out;
  const std::string_view src(Src);
  size_t i = 0;
  while (i < src.size()) {
    if (src[i] == '%') {
      const size_t close = src.find('%', i + 1);
      if (close != std::string_view::npos && close > i + 1) {
        const std::string name(src.substr(i + 1, close - i - 1));
        if (const char* value = std::getenv(name.c_str())) {
          out += value;
          i = close + 1;
          continue;
        }
        // An unknown name stays as written, both marks included.
        out.append(src.substr(i, close - i + 1));
        i = close + 1;
        continue;
      }
    }
    out += src[i++];
  }
  const DWORD needed = static_cast<DWORD>(out.size() + 1);
  if (Dst != nullptr && Size >= needed) std::memcpy(Dst, out.c_str(), needed);
  return needed;
}

namespace {
struct TPlatformVersion {
  int Platform = VER_PLATFORM_WIN32_NT;
  int Major = 6;
  int Minor = 1;
};
TPlatformVersion& PlatformVersion() {
  static TPlatformVersion version;
  return version;
}
}  // namespace

int Win32Platform() { return PlatformVersion().Platform; }
int Win32MajorVersion() { return PlatformVersion().Major; }
int Win32MinorVersion() { return PlatformVersion().Minor; }

namespace os {
void SetPlatformVersion(int Platform, int Major, int Minor) { PlatformVersion() = {Platform, Major, Minor}; }
}  // namespace os
