#include "platform/shell/Com.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>


namespace {

int gComNesting = 0;
int gOleNesting = 0;

HRESULT Enter(int& Nesting) { return Nesting++ == 0 ? S_OK : S_FALSE; }
void Leave(int& Nesting) {
  if (Nesting > 0) --Nesting;
}

class TaskAllocator : public IMalloc {
 public:
  void* Alloc(size_t Bytes) override { return CoTaskMemAlloc(Bytes); }
  void* Realloc(void* Block, size_t Bytes) override { return CoTaskMemRealloc(Block, Bytes); }
  void Free(void* Block) override { CoTaskMemFree(Block); }
};

}  // namespace

HRESULT CoInitialize(void*) { return Enter(gComNesting); }
void CoUninitialize() { Leave(gComNesting); }
HRESULT OleInitialize(void*) { return Enter(gOleNesting); }
void OleUninitialize() { Leave(gOleNesting); }

void* CoTaskMemAlloc(size_t Bytes) { return std::malloc(Bytes == 0 ? 1 : Bytes); }
void* CoTaskMemRealloc(void* Block, size_t Bytes) { return std::realloc(Block, Bytes == 0 ? 1 : Bytes); }
void CoTaskMemFree(void* Block) { std::free(Block); }

HRESULT SHGetMalloc(std::shared_ptr<IMalloc>& Malloc) {
  static const std::shared_ptr<IMalloc> allocator = std::make_shared<TaskAllocator>();
  Malloc = allocator;
  return S_OK;
}

std::string OleErrorMessage(HRESULT Code) {
  switch (Code) {
    case E_NOTIMPL: return "Not implemented";
    case E_NOINTERFACE: return "No such interface supported";
    case E_POINTER: return "Invalid pointer";
    case E_ABORT: return "Operation aborted";
    case E_FAIL: return "Unspecified error";
    case E_UNEXPECTED: return "Catastrophic failure";
    case E_ACCESSDENIED: return "Access is denied";
    case E_OUTOFMEMORY: return "Not enough storage is available to complete this operation";
    case E_INVALIDARG: return "The parameter is incorrect";
    default: break;
  }
  if ((static_cast<uint32_t>(Code) & 0xFFFF0000u) == 0x80070000u) {
    int error = HRESULT_CODE(Code);
    return std::strerror(error);
  }
  char text[32];
  std::snprintf(text, sizeof text, "OLE error %.8X", static_cast<unsigned>(Code));
  return text;
}

void OleError(HRESULT Code) { throw EOleError(OleErrorMessage(Code), Code); }
