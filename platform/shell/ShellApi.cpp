#include "platform/shell/ShellApi.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "platform/rtl/Files.h"
#include "platform/shell/Launch.h"
#include "platform/shell/Trash.h"

namespace {

constexpr int kNotImplemented = 120;
constexpr int kFileNotFound = 2;
constexpr int kAccessDenied = 5;

std::string OrEmpty(const char* s) { return s ? s : ""; }

HINSTANCE ResultCode(int code) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(code)); }

}  // namespace

HINSTANCE ShellExecuteA(HWND, const char* lpOperation, const char* lpFile, const char* lpParameters,
                        const char* lpDirectory, int nShowCmd) {
  shell::ShellRequest request{OrEmpty(lpOperation), OrEmpty(lpFile), OrEmpty(lpParameters), OrEmpty(lpDirectory),
                              nShowCmd};
  shell::Launcher& launcher = shell::CurrentLauncher();
  launcher.Requested(request);
  shell::ShellAction action = shell::MapShellExecute(request.verb, request.file, request.params, request.dir,
                                                     ExtractFileDir(rtl::ExePath()));
  std::string error;
  if (!action.command) {
    std::fprintf(stderr, "ShellExecute: cannot %s \"%s\" (error %d)\n", request.verb.empty() ? "open" : request.verb.c_str(),
                 request.file.c_str(), action.error);
    return ResultCode(action.error);
  }
  if (!launcher.Start(*action.command, error)) {
    std::fprintf(stderr, "ShellExecute: cannot start \"%s\": %s\n", action.command->argv[0].c_str(), error.c_str());
    return ResultCode(shell::kShellFileNotFound);
  }
  return ResultCode(shell::kShellSuccess);
}

int SHFileOperationA(SHFILEOPSTRUCTA* lpFileOp) {
  if (!lpFileOp || !lpFileOp->pFrom) return kFileNotFound;
  lpFileOp->fAnyOperationsAborted = FALSE;
  if (lpFileOp->wFunc != FO_DELETE) return kNotImplemented;
  int result = 0;
  // The names follow each other, each ended by a zero; an empty name ends the list.
  for (const char* p = lpFileOp->pFrom; *p; p += std::char_traits<char>::length(p) + 1) {
    std::string path = p;
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) {
      result = kFileNotFound;
      continue;
    }
    if ((lpFileOp->fFlags & FOF_FILESONLY) && S_ISDIR(st.st_mode)) continue;
    if (!shell::CurrentTrash().MoveToTrash(path)) result = kAccessDenied;
  }
  return result;
}
