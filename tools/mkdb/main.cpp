// mkdb FOLDER: makes the schedule database "VN.dll" in FOLDER from the schema when the
// folder has none. An existing file is never opened or changed.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "platform/data/Sqlite.h"

extern const char* const kSchemaSql;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkdb FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "mkdb: '%s' is not a folder\n", folder.c_str());
    return 1;
  }
  if (folder.back() != '/') folder += '/';
  std::string path = folder + "VN.dll";
  try {
    if (data::CreateDatabase(path, kSchemaSql))
      std::printf("mkdb: created %s\n", path.c_str());
    else
      std::printf("mkdb: %s exists, left unchanged\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkdb: %s\n", e.what());
    return 1;
  }
  return 0;
}
