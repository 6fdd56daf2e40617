#pragma once
// Result codes and the start-up calls of the component model the shell's interfaces follow.
// Objects behind the interfaces live in std::shared_ptr: nothing here counts references, and
// the start-up calls only count their nesting (there is no component service to start).
// Memory that crosses an interface (item identifier lists, returned texts) comes from the task
// allocator: CoTaskMemAlloc / CoTaskMemFree, or the IMalloc object SHGetMalloc hands out.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/rtl/Types.h"

using HRESULT = int32_t;
using SCODE = HRESULT;

constexpr HRESULT MakeResult(uint32_t Code) { return static_cast<HRESULT>(Code); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002u);
constexpr HRESULT E_POINTER = MakeResult(0x80004003u);
constexpr HRESULT E_ABORT = MakeResult(0x80004004u);
constexpr HRESULT E_FAIL = MakeResult(0x80004005u);
constexpr HRESULT E_UNEXPECTED = MakeResult(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = MakeResult(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057u);
constexpr HRESULT RPC_E_CHANGED_MODE = MakeResult(0x80010106u);

constexpr bool SUCCEEDED(HRESULT Result) { return Result >= 0; }
constexpr bool FAILED(HRESULT Result) { return Result < 0; }
constexpr int HRESULT_CODE(HRESULT Result) { return static_cast<int>(static_cast<uint32_t>(Result) & 0xFFFFu); }
// A success code carrying a number in its low 16 bits (CompareIDs answers so).
constexpr HRESULT MAKE_HRESULT(uint32_t Severity, uint32_t Facility, uint32_t Code) {
  return static_cast<HRESULT>((Severity << 31) | (Facility << 16) | (Code & 0xFFFFu));
}
// A system error number (errno, as the file system reports it) as a result code; 0 stays S_OK.
constexpr HRESULT HRESULT_FROM_WIN32(DWORD Code) {
  return Code == 0 ? S_OK : static_cast<HRESULT>((Code & 0xFFFFu) | 0x80070000u);
}

// The component service: every call succeeds (S_OK the first time in a nesting, S_FALSE
// afterwards); the uninitialise calls undo one level.
HRESULT CoInitialize(void* Reserved);
void CoUninitialize();
HRESULT OleInitialize(void* Reserved);
void OleUninitialize();

// The task allocator. CoTaskMemFree ignores nullptr.
void* CoTaskMemAlloc(size_t Bytes);
void* CoTaskMemRealloc(void* Block, size_t Bytes);
void CoTaskMemFree(void* Block);

class IMalloc {
 public:
  virtual ~IMalloc() = default;
  // nullptr when memory runs out.
  virtual void* Alloc(size_t Bytes) = 0;
  virtual void* Realloc(void* Block, size_t Bytes) = 0;
  virtual void Free(void* Block) = 0;
};

// The task allocator as an object (the same blocks as CoTaskMemAlloc); it lives as long as the
// process.
HRESULT SHGetMalloc(std::shared_ptr<IMalloc>& Malloc);

#include "platform/rtl/System.h"

// A failed component or shell call, with its result code.
class EOleError : public Exception {
 public:
  EOleError(const std::string& Message, HRESULT Code) : Exception(Message), FErrorCode(Code) {}
  HRESULT ErrorCode() const { return FErrorCode; }

 private:
  HRESULT FErrorCode;
};
// The message of a result code ("Unspecified error", the system's text of a wrapped error number).
std::string OleErrorMessage(HRESULT Code);
// Raises EOleError for a failed result.
[[noreturn]] void OleError(HRESULT Code);
inline void OleCheck(HRESULT Result) {
  if (FAILED(Result)) OleError(Result);
}
