#pragma once
// Resources built into the program: every file under resources/ becomes data of the executable
// at build time (cmake/Resources.cmake), found again by name and type or by its path.
//
// A file's name is its file name without the extension ("forms/TForm1.txt" is "TForm1"), its
// type comes from the extension:
//   .bmp  RT_BITMAP     .cur  RT_CURSOR     .ico  RT_ICON     anything else  RT_RCDATA
// so a window definition is found as FindResourceData("TForm1", RT_RCDATA), and the schema as
// FindResourceFile("schema/VN.sql"). Names compare without regard to ASCII case, as resource
// names do. Two files of one type and name would hide each other: the resource tests reject it.
//
// Tests build their own folders into their binaries the same way and register the tables,
// which are searched before the program's (the last registered first).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/classes/Streams.h"

// Kinds of resource, with the platform's values.
using TResourceType = int;
constexpr TResourceType RT_CURSOR = 1;
constexpr TResourceType RT_BITMAP = 2;
constexpr TResourceType RT_ICON = 3;
constexpr TResourceType RT_RCDATA = 10;

// Raised when a resource the program needs is missing: "Resource X not found".
class EResNotFound : public Exception { public: using Exception::Exception; };

namespace classes {

// One built-in file: its path relative to the folder it came from and its bytes (followed by a
// zero byte that Size does not count).
struct TResourceEntry {
  const char* Path;
  const char* Data;
  size_t Size;
};
struct TResourceTable {
  const TResourceEntry* Entries;
  size_t Count;
};

// The files under resources/ (generated at build time).
const TResourceTable& ProgramResources();
// Adds a table searched before the program's; Table must live until it is unregistered.
void RegisterResources(const TResourceTable& Table);
void UnregisterResources(const TResourceTable& Table);

// The type and the name a file under resources/ is found by.
TResourceType ResourceTypeOf(const std::string& Path);
std::string ResourceNameOf(const std::string& Path);

}  // namespace classes

// A resource that was found (Data is nil when none was).
struct TResourceData {
  const char* Data = nullptr;
  size_t Size = 0;
  const char* Path = nullptr;  // relative to the folder it came from ("forms/TForm1.txt")
  explicit operator bool() const { return Data != nullptr; }
  std::string_view View() const { return {Data, Size}; }
};

TResourceData FindResourceData(const std::string& Name, TResourceType Type);
// By the path relative to resources/ ("schema/VN.sql"); the same case rule as for names.
TResourceData FindResourceFile(const std::string& Path);

// A read-only stream over a resource.
class TResourceStream : public TStream {
 public:
  // Raises EResNotFound "Resource Name not found".
  TResourceStream(const std::string& Name, TResourceType Type);
  int64_t Read(void* Buffer, int64_t Count) override;
  // Raises EStreamError: resources cannot be changed.
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.Size); }
  const void* Memory() const { return FData.Data; }

 private:
  TResourceData FData;
  int64_t FPosition = 0;
};
