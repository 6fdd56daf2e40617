#pragma once
// File and path routines. File names are bytes: a name that is not valid UTF-8 is found,
// opened and returned unchanged. The path separator is '/'; when splitting paths a
// backslash counts as a separator too, because the system's code sometimes joins a folder
// and a file name with one.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/System.h"

inline constexpr const char PathDelim[] = "/";

namespace rtl {

// Backslashes become '/'.
std::string NormalizePath(std::string_view path);
bool IsPathDelimiter(char c);

// The executable's full path: /proc/self/exe unless a test set an override.
std::string ExePath();
// Makes ExePath() (and ParamStr(0)) return `path`; "" restores the real one.
void SetExePathOverride(std::string path);

// Windows-style mask matching: '*' any run, '?' one character, letters compared without
// case, a trailing ".*" also matches names without an extension ("*.*" matches everything)
// and a trailing "." matches names without one.
bool MatchesMask(std::string_view name, std::string_view mask);

// Writes all of `data` to the descriptor, retrying after interruptions; false on failure
// (errno tells why).
bool WriteAll(int fd, std::string_view data);

struct FindState;

}  // namespace rtl

// ---- Existence and changes ----
// True for an existing file that is not a directory.
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& directory);
// Creates the directory and its missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& directory);
bool DeleteFile(const std::string& fileName);
// Fails (false) when the new name exists already, so no file is replaced by accident.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Appends `line` and "\r\n" to the file, creating it when missing; a last line without a
// line break is ended first. Raises EInOutError when the file cannot be written.
void AppendTextLine(const std::string& fileName, std::string_view line);

// ---- Path pieces ----
// "dir/sub/name.ext": path "dir/sub/", dir "dir/sub", name "name.ext", ext ".ext".
std::string ExtractFilePath(std::string_view fileName);
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);
// Replaces the extension (or appends `extension` when there is none); "" removes it.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view path);
// Removes one trailing delimiter, but keeps the root "/".
std::string ExcludeTrailingPathDelimiter(std::string_view path);

// ---- Command line ----
// ParamStr(0) is the executable's full path; ParamStr(i) the i-th argument ("" past the end).
std::string ParamStr(int index);
int ParamCount();

// ---- Directory search ----
enum : int {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faAnyFile = 0x3F,
};

struct TSearchRec {
  std::string Name;   // the name alone, bytes as on disk
  int64_t Size = 0;
  int Attr = 0;       // faDirectory, faHidden (names starting with '.'), faReadOnly (a file without owner write)
  TDateTime Time;     // last modification, local time
  std::shared_ptr<rtl::FindState> FindHandle;  // open while a search runs
};

// Starts a search for `pathMask` ("dir/*.mp3"). Normal files are always included;
// directories and hidden files only when `attr` includes faDirectory / faHidden.
// Matches come in name order, without regard to case, whatever order the disk keeps.
// Returns 0 and fills `rec` with the first match, else a non-zero error code
// (2 = no file matches, 3 = no such directory).
int FindFirst(const std::string& pathMask, int attr, TSearchRec& rec);
// The next match: 0, or 18 when there are no more files.
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);
