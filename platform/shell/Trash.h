#pragma once
// The user's trash as the freedesktop trash specification lays it out: a moved item lives in
// "files/NAME" and is described by "info/NAME.trashinfo" (its original path and the deletion
// date). Items on another file system are copied into the trash and then removed. Nothing is
// ever deleted without a copy in the trash. Tests install a recorder (tests/support).
#include <string>

namespace shell {

class Trash {
 public:
  virtual ~Trash() = default;
  // Moves the file, link or folder into the trash; false (and the item untouched) on failure.
  virtual bool MoveToTrash(const std::string& path) = 0;
};

class FreedesktopTrash : public Trash {
 public:
  // The trash folder: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
  static std::string HomeTrashDir();
  explicit FreedesktopTrash(std::string trashDir = HomeTrashDir());
  bool MoveToTrash(const std::string& path) override;
  const std::string& Dir() const { return FDir; }

 private:
  std::string FDir;
};

// The trash in use: the one installed by SetTrash, else the home trash.
Trash& CurrentTrash();
void SetTrash(Trash* trash);

}  // namespace shell
