#pragma once
// The system image lists' pictures, drawn in code at 16 and 32 pixels: the plain file (index
// 0, which callers get when asking fails), folders closed and open, the desktop, Computer,
// four drive kinds (fixed, removable, optical, network), home, audio and program files, and
// two overlays: a sharing hand (overlay 1) and a link arrow (overlay 2).
#include <cstdint>
#include <vector>

#include "platform/graphics/ImageLists.h"

namespace shell {

// The pixels (0xAARRGGBB, rows from the top, transparent 0) of picture Index at Size (16 or 32).
std::vector<uint32_t> DrawSystemIcon(int Index, int Size);
// The list of Size pixels (16 or 32), made on first use and never destroyed.
HIMAGELIST SystemIconList(int Size);

}  // namespace shell
