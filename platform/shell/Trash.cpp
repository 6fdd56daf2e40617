#include "platform/shell/Trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/rtl/Files.h"
#include "platform/shell/ShellPaths.h"

namespace fs = std::filesystem;

namespace shell {

namespace {

std::atomic<Trash*> gTrash{nullptr};

// "NAME", "STEM.2.EXT", "STEM.3.EXT"...: the candidate names of an item in the trash.
std::string Candidate(const std::string& name, int n) {
  if (n == 1) return name;
  auto dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return name + "." + std::to_string(n);
  return name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
}

// Copies a file, link or folder tree; the destination must not exist.
bool CopyTree(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  return !ec;
}

}  // namespace

std::string FreedesktopTrash::HomeTrashDir() { return DataHomeDir() + "/Trash"; }

FreedesktopTrash::FreedesktopTrash(std::string trashDir) : FDir(std::move(trashDir)) {}

bool FreedesktopTrash::MoveToTrash(const std::string& path) {
  struct stat st{};
  if (path.empty() || lstat(path.c_str(), &st) != 0) return false;
  std::error_code ec;
  fs::path original = fs::absolute(fs::path(path), ec).lexically_normal();
  if (ec || !original.has_filename()) return false;
  const std::string filesDir = FDir + "/files";
  const std::string infoDir = FDir + "/info";
  fs::create_directories(filesDir, ec);
  fs::create_directories(infoDir, ec);
  fs::permissions(FDir, fs::perms::owner_all, fs::perm_options::replace, ec);

  const std::string info = "[Trash Info]\nPath=" + UriEscapePath(original.string()) +
                           "\nDeletionDate=" + IsoLocalNow() + "\n";
  std::string name = original.filename().string();
  for (int n = 1; n < 10000; ++n) {
    std::string candidate = Candidate(name, n);
    std::string infoPath = infoDir + "/" + candidate + ".trashinfo";
    std::string target = filesDir + "/" + candidate;
    // The .trashinfo is made first and exclusively: it reserves the name.
    int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    struct stat existing{};
    if (lstat(target.c_str(), &existing) == 0) {
      close(fd);
      unlink(infoPath.c_str());
      continue;
    }
    bool written = rtl::WriteAll(fd, info);
    if (close(fd) != 0) written = false;
    if (!written) {
      unlink(infoPath.c_str());
      return false;
    }
    if (rename(original.c_str(), target.c_str()) == 0) return true;
    if (errno != EXDEV) {
      unlink(infoPath.c_str());
      return false;
    }
    // Another file system: copy into the trash, then remove the original.
    if (!CopyTree(original, target)) {
      fs::remove_all(target, ec);
      unlink(infoPath.c_str());
      return false;
    }
    if (S_ISDIR(st.st_mode)) {
      // A folder that cannot be removed whole keeps its complete copy in the trash.
      return fs::remove_all(original, ec) != static_cast<std::uintmax_t>(-1) && !ec;
    }
    if (unlink(original.c_str()) != 0) {
      fs::remove_all(target, ec);
      unlink(infoPath.c_str());
      return false;
    }
    return true;
  }
  return false;
}

Trash& CurrentTrash() {
  if (Trash* t = gTrash.load()) return *t;
  static FreedesktopTrash home;
  return home;
}

void SetTrash(Trash* trash) { gTrash.store(trash); }

}  // namespace shell
