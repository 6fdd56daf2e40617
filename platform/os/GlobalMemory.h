#pragma once
// Global memory blocks (GlobalAlloc and friends), as the clipboard and data transfer use them.
// A handle is the block's address, so GMEM_FIXED code that uses the handle as a pointer works;
// every call checks the handle against the live blocks, so a stale or foreign one fails
// instead of touching memory.
#include <cstddef>

#include "platform/rtl/Types.h"

using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GMEM_DDESHARE = GMEM_SHARE;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// A new block of Bytes (zeroed with GMEM_ZEROINIT); nullptr when memory runs out.
HGLOBAL GlobalAlloc(UINT Flags, size_t Bytes);
// The block with a new size (the common part kept; GMEM_ZEROINIT zeroes what is new); the
// handle may change. nullptr (the old block kept) on failure.
HGLOBAL GlobalReAlloc(HGLOBAL Mem, size_t Bytes, UINT Flags);
// The block's memory; each lock needs an unlock. nullptr for a handle that is not a block.
void* GlobalLock(HGLOBAL Mem);
// FALSE once the lock count reaches 0 (ERROR_SUCCESS then), or for a bad handle.
BOOL GlobalUnlock(HGLOBAL Mem);
size_t GlobalSize(HGLOBAL Mem);
// nullptr when freed, the handle itself when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL Mem);
