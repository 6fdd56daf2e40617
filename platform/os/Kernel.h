#pragma once
// Process and thread services: identifiers, the tick count and the per-thread last error.
#include "platform/rtl/Types.h"

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_NOT_OWNER = 288;

// The kernel's identifier of the calling thread (never 0).
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
// Milliseconds of the program's monotonic clock (the virtual one in tests), wrapping at 2^32.
DWORD GetTickCount();
// The calling thread's last error code, set by the services that fail.
DWORD GetLastError();
void SetLastError(DWORD code);

// Copies Src into Dst (Size bytes, terminating zero included) with each %NAME% replaced by the
// process environment's value of NAME; a name that is not set, and a lone "%", stay as written.
// Answers the size the whole expansion needs, zero included; when Size is smaller, Dst gets
// nothing and the answer tells the size to ask again with. 0 for a null Src.
DWORD ExpandEnvironmentStrings(const char* Src, char* Dst, DWORD Size);

// The platform's version numbers: the NT family (2), version 6.1. Tests may pretend another
// version with os::SetPlatformVersion.
constexpr int VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr int VER_PLATFORM_WIN32_NT = 2;
int Win32Platform();
int Win32MajorVersion();
int Win32MinorVersion();
namespace os {
void SetPlatformVersion(int Platform, int Major, int Minor);
}  // namespace os
