// mkdb FOLDER: makes the schedule database "VN.dll" in FOLDER from the schema when the
// folder has none, and a starting "config.ini" when it has none: broadcast level 8 and music
// level 5, so that the first announcement can be heard (with no value both levels are 0, and
// the first broadcast would turn the master volume down to nothing). An existing file is
// never opened or changed.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "platform/data/Sqlite.h"
#include "platform/rtl/IniFiles.h"

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
    const std::string config = folder + "config.ini";
    if (::stat(config.c_str(), &st) != 0) {
      TIniFile ini(config);
      ini.WriteString("set", "广播音量", "8");
      ini.WriteString("set", "音乐音量", "5");
      std::printf("mkdb: created %s\n", config.c_str());
    } else {
      std::printf("mkdb: %s exists, left unchanged\n", config.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkdb: %s\n", e.what());
    return 1;
  }
  return 0;
}
