#include "platform/os/GlobalMemory.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "platform/os/Kernel.h"

namespace {

struct TBlock {
  std::unique_ptr<unsigned char[]> Data;
  size_t Size = 0;
  int Locks = 0;
};

std::mutex gLock;
std::map<HGLOBAL, TBlock>& Blocks() {
  // Never destroyed: blocks may be freed by other objects' static destructors.
  static auto* blocks = new std::map<HGLOBAL, TBlock>;
  return *blocks;
}

HGLOBAL HandleOf(const TBlock& b) { return reinterpret_cast<HGLOBAL>(b.Data.get()); }

bool Make(TBlock& b, size_t bytes, bool zero) {
  // At least one byte, so every block has its own address.
  b.Data.reset(new (std::nothrow) unsigned char[bytes ? bytes : 1]);
  if (!b.Data) return false;
  if (zero) std::memset(b.Data.get(), 0, bytes ? bytes : 1);
  b.Size = bytes;
  return true;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  TBlock b;
  if (!Make(b, bytes, flags & GMEM_ZEROINIT)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HGLOBAL h = HandleOf(b);
  std::lock_guard<std::mutex> lock(gLock);
  Blocks().emplace(h, std::move(b));
  return h;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags) {
  std::lock_guard<std::mutex> lock(gLock);
  auto it = Blocks().find(mem);
  if (it == Blocks().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  TBlock b;
  if (!Make(b, bytes, flags & GMEM_ZEROINIT)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::memcpy(b.Data.get(), it->second.Data.get(), std::min(bytes, it->second.Size));
  b.Locks = it->second.Locks;
  Blocks().erase(it);
  HGLOBAL h = HandleOf(b);
  Blocks().emplace(h, std::move(b));
  return h;
}

void* GlobalLock(HGLOBAL mem) {
  std::lock_guard<std::mutex> lock(gLock);
  auto it = Blocks().find(mem);
  if (it == Blocks().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++it->second.Locks;
  return it->second.Data.get();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  std::lock_guard<std::mutex> lock(gLock);
  auto it = Blocks().find(mem);
  if (it == Blocks().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (it->second.Locks > 0) --it->second.Locks;
  if (it->second.Locks > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

size_t GlobalSize(HGLOBAL mem) {
  std::lock_guard<std::mutex> lock(gLock);
  auto it = Blocks().find(mem);
  return it == Blocks().end() ? 0 : it->second.Size;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  std::lock_guard<std::mutex> lock(gLock);
  auto it = Blocks().find(mem);
  if (it == Blocks().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return mem;
  }
  Blocks().erase(it);
  return nullptr;
}
