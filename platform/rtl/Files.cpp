#include "platform/rtl/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"

namespace rtl {

std::string NormalizePath(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

bool IsPathDelimiter(char c) { return c == '/' || c == '\\'; }

namespace {

std::mutex gExeMutex;
std::string gExeOverride;

// Position just after the last delimiter (0 when there is none).
size_t NameStart(std::string_view fileName) {
  for (size_t i = fileName.size(); i > 0; --i)
    if (IsPathDelimiter(fileName[i - 1])) return i;
  return 0;
}

// Position of the extension's dot, or npos.
size_t ExtensionDot(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos || dot < NameStart(fileName)) return std::string_view::npos;
  return dot;
}

bool MatchFrom(std::string_view name, size_t n, std::string_view mask, size_t m) {
  while (m < mask.size()) {
    const char mc = mask[m];
    if (mc == '*') {
      while (m < mask.size() && mask[m] == '*') ++m;
      if (m == mask.size()) return true;
      for (size_t k = n; k <= name.size(); ++k)
        if (MatchFrom(name, k, mask, m)) return true;
      return false;
    }
    if (n >= name.size()) return false;
    if (mc == '?') {
      NextCodePoint(name, n);  // one character, however many bytes
      ++m;
      continue;
    }
    // Letters match without case (ASCII); other bytes must be equal.
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (fold(mc) != fold(name[n])) return false;
    ++n;
    ++m;
  }
  return n == name.size();
}

TDateTime LocalDateTime(time_t t) {
  struct tm local {};
  localtime_r(&t, &local);
  TDateTime date, time;
  if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date) ||
      !TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0, time))
    return TDateTime();
  return ComposeDateTime(date, time);
}

std::vector<std::string> CommandLine() {
  std::vector<std::string> args;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string arg;
  while (std::getline(in, arg, '\0')) args.push_back(arg);
  return args;
}

}  // namespace

std::string ExePath() {
  {
    std::lock_guard<std::mutex> lock(gExeMutex);
    if (!gExeOverride.empty()) return gExeOverride;
  }
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

void SetExePathOverride(std::string path) {
  std::lock_guard<std::mutex> lock(gExeMutex);
  gExeOverride = std::move(path);
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (MatchFrom(name, 0, mask, 0)) return true;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*")
    return MatchFrom(name, 0, mask.substr(0, mask.size() - 2), 0);
  if (!mask.empty() && mask.back() == '.' && name.find('.') == std::string_view::npos)
    return MatchFrom(name, 0, mask.substr(0, mask.size() - 1), 0);
  return false;
}

bool WriteAll(int fd, std::string_view data) {
  size_t written = 0;
  while (written < data.size()) {
    const ssize_t n = write(fd, data.data() + written, data.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return true;
}

struct FindState {
  std::string Directory;  // with a trailing '/', "" for the current directory
  std::vector<std::string> Names;  // the names matching the mask, in the order they are returned
  size_t Next = 0;
  int ExcludeAttr = 0;
};

}  // namespace rtl

bool FileExists(const std::string& fileName) {
  struct stat st {};
  return !fileName.empty() && stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& directory) {
  struct stat st {};
  return !directory.empty() && stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& directory) {
  const std::string dir = ExcludeTrailingPathDelimiter(directory);
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  const std::string parent = ExtractFileDir(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return mkdir(dir.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(dir));
}

bool DeleteFile(const std::string& fileName) {
  return !DirectoryExists(fileName) && unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
  if (renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without no-replace renames: check first.
  struct stat st {};
  if (lstat(newName.c_str(), &st) == 0) return false;
  return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

void AppendTextLine(const std::string& fileName, std::string_view line) {
  // A last line left without its line break is ended first, so lines never run together.
  bool needsBreakFirst = false;
  {
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (in && in.tellg() > 0) {
      in.seekg(-1, std::ios::end);
      char last = '\n';
      in.get(last);
      needsBreakFirst = last != '\n';
    }
  }
  std::string data;
  if (needsBreakFirst) data += "\r\n";
  data.append(line);
  data += "\r\n";
  const int fd = open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) throw EInOutError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
  if (!rtl::WriteAll(fd, data)) {
    const int error = errno;
    close(fd);
    throw EInOutError("Cannot write to file \"" + fileName + "\". " + std::strerror(error));
  }
  if (close(fd) != 0) throw EInOutError("Cannot write to file \"" + fileName + "\". " + std::strerror(errno));
}

std::string ExtractFilePath(std::string_view fileName) {
  return std::string(fileName.substr(0, rtl::NameStart(fileName)));
}

std::string ExtractFileDir(std::string_view fileName) {
  const size_t start = rtl::NameStart(fileName);
  if (start == 0) return {};
  if (start == 1) return std::string(fileName.substr(0, 1));  // the root keeps its delimiter
  return std::string(fileName.substr(0, start - 1));
}

std::string ExtractFileName(std::string_view fileName) {
  return std::string(fileName.substr(rtl::NameStart(fileName)));
}

std::string ExtractFileExt(std::string_view fileName) {
  const size_t dot = rtl::ExtensionDot(fileName);
  return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  const size_t dot = rtl::ExtensionDot(fileName);
  std::string out(fileName.substr(0, dot == std::string_view::npos ? fileName.size() : dot));
  out.append(extension);
  return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || !rtl::IsPathDelimiter(out.back())) out += PathDelim;
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.size() > 1 && rtl::IsPathDelimiter(out.back())) out.pop_back();
  return out;
}

std::string ParamStr(int index) {
  if (index == 0) return rtl::ExePath();
  const std::vector<std::string> args = rtl::CommandLine();
  return (index > 0 && static_cast<size_t>(index) < args.size()) ? args[index] : std::string();
}

int ParamCount() {
  const size_t n = rtl::CommandLine().size();
  return n == 0 ? 0 : static_cast<int>(n - 1);
}

namespace {

// Fills `rec` from the next listed name that still exists and has the wanted attributes;
// false at the end.
bool NextMatch(rtl::FindState& state, TSearchRec& rec) {
  while (state.Next < state.Names.size()) {
    const std::string& name = state.Names[state.Next++];
    struct stat st {};
    const std::string full = state.Directory + name;
    if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) continue;  // vanished meanwhile
    int attr = 0;
    if (S_ISDIR(st.st_mode)) attr |= faDirectory;
    if (name[0] == '.' && name != "." && name != "..") attr |= faHidden;
    // Read-only means a file the owner may not write; folders never carry it.
    if (!S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
    if ((attr & state.ExcludeAttr) != 0) continue;
    rec.Name = name;
    rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
    rec.Attr = attr;
    rec.Time = rtl::LocalDateTime(st.st_mtime);
    return true;
  }
  return false;
}

// The names of the folder that match the mask, in name order without regard to case (then
// byte order), so that a folder is always listed the same way whatever the file system keeps.
bool ListFolder(const std::string& directory, std::string_view mask, std::vector<std::string>& names) {
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return false;
  while (dirent* entry = readdir(dir))
    if (rtl::MatchesMask(entry->d_name, mask)) names.emplace_back(entry->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int order = AnsiCompareText(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return true;
}

constexpr int kErrorFileNotFound = 2;
constexpr int kErrorPathNotFound = 3;
constexpr int kErrorNoMoreFiles = 18;

}  // namespace

int FindFirst(const std::string& pathMask, int attr, TSearchRec& rec) {
  FindClose(rec);
  auto state = std::make_shared<rtl::FindState>();
  state->Directory = rtl::NormalizePath(ExtractFilePath(pathMask));
  if (!ListFolder(state->Directory, ExtractFileName(pathMask), state->Names)) return kErrorPathNotFound;
  state->ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  if (!NextMatch(*state, rec)) return kErrorFileNotFound;
  rec.FindHandle = std::move(state);
  return 0;
}

int FindNext(TSearchRec& rec) {
  if (!rec.FindHandle) return kErrorNoMoreFiles;
  return NextMatch(*rec.FindHandle, rec) ? 0 : kErrorNoMoreFiles;
}

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }
