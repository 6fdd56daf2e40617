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
