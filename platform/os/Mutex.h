#pragma once
// Named mutexes as the single-instance lock: the name is an advisory lock (flock) on a file in
// the user's runtime folder ($XDG_RUNTIME_DIR when it exists, else /tmp/ostrovel-<uid>). The
// kernel releases it when the holding process ends, however it ends. The file records the
// holder's process id.
#include <string>

#include "platform/os/Kernel.h"
#include "platform/rtl/Types.h"

// Opens the named mutex. GetLastError() is ERROR_ALREADY_EXISTS when the name is already
// taken (by another process, or by another open handle of this one): the handle is still
// valid but holds nothing. nullptr (with the error) when the lock file cannot be made.
// An empty or null name makes a private mutex that never conflicts.
HANDLE CreateMutex(void* SecurityAttributes, BOOL InitialOwner, const char* Name);
// Gives up ownership; the name stays taken until the handle is closed.
BOOL ReleaseMutex(HANDLE Mutex);
// Closes a handle; closing the handle that holds a name frees the name.
BOOL CloseHandle(HANDLE Object);

namespace os {
// The lock file behind a mutex name.
std::string MutexLockPath(const std::string& Name);
// The process id recorded by the live holder of the name, or 0 when no one holds it.
int MutexHolderPid(const std::string& Name);
}  // namespace os
