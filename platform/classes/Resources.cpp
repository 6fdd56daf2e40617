#include "platform/classes/Resources.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/classes/DefinitionParser.h"

namespace classes {

namespace {

struct TRegistered {
  std::mutex Lock;
  std::vector<const TResourceTable*> Tables;  // searched from the back
};

TRegistered& Registered() {
  static TRegistered r;
  return r;
}

// The tables in search order: the registered ones, the last first, then the program's.
std::vector<const TResourceTable*> SearchOrder() {
  TRegistered& r = Registered();
  std::lock_guard<std::mutex> guard(r.Lock);
  std::vector<const TResourceTable*> order(r.Tables.rbegin(), r.Tables.rend());
  order.push_back(&ProgramResources());
  return order;
}

template <class Match>
TResourceData Find(Match Matches) {
  for (const TResourceTable* t : SearchOrder())
    for (size_t i = 0; i < t->Count; ++i)
      if (Matches(t->Entries[i])) return {t->Entries[i].Data, t->Entries[i].Size, t->Entries[i].Path};
  return {};
}

// The extension with its dot ("" when the file name has none).
std::string Extension(const std::string& Path) {
  size_t slash = Path.rfind('/');
  size_t dot = Path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return Path.substr(dot);
}

}  // namespace

void RegisterResources(const TResourceTable& Table) {
  TRegistered& r = Registered();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.Tables.push_back(&Table);
}

void UnregisterResources(const TResourceTable& Table) {
  TRegistered& r = Registered();
  std::lock_guard<std::mutex> guard(r.Lock);
  std::erase(r.Tables, &Table);
}

TResourceType ResourceTypeOf(const std::string& Path) {
  const std::string ext = Extension(Path);
  if (SameIdent(ext, ".bmp")) return RT_BITMAP;
  if (SameIdent(ext, ".cur")) return RT_CURSOR;
  if (SameIdent(ext, ".ico")) return RT_ICON;
  return RT_RCDATA;
}

std::string ResourceNameOf(const std::string& Path) {
  size_t slash = Path.rfind('/');
  std::string file = slash == std::string::npos ? Path : Path.substr(slash + 1);
  return file.substr(0, file.size() - Extension(file).size());
}

}  // namespace classes

TResourceData FindResourceData(const std::string& Name, TResourceType Type) {
  return classes::Find([&](const classes::TResourceEntry& e) {
    return classes::ResourceTypeOf(e.Path) == Type && classes::SameIdent(classes::ResourceNameOf(e.Path), Name);
  });
}

TResourceData FindResourceFile(const std::string& Path) {
  return classes::Find([&](const classes::TResourceEntry& e) { return classes::SameIdent(e.Path, Path); });
}

// ---- TResourceStream ----

TResourceStream::TResourceStream(const std::string& Name, TResourceType Type) : FData(FindResourceData(Name, Type)) {
  if (!FData) throw EResNotFound("Resource " + Name + " not found");
}

int64_t TResourceStream::Read(void* Buffer, int64_t Count) {
  int64_t n = std::min(Count, Size() - FPosition);
  if (n <= 0) return 0;
  std::memcpy(Buffer, FData.Data + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TResourceStream::Write(const void*, int64_t) { throw EStreamError("A resource stream cannot be written"); }

int64_t TResourceStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
  if (base + Offset < 0) throw EStreamError("Seek before the start of the stream");
  FPosition = base + Offset;
  return FPosition;
}
