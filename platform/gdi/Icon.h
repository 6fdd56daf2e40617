#pragma once
// Icon and cursor files: a directory of pictures of several sizes and depths, each stored
// as a bitmap with its AND mask or as a PNG stream. A cursor's entries carry the hot spot.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/Image.h"

namespace gdi {

struct TIconEntry {
  int Width = 0;   // 1..256
  int Height = 0;  // 1..256
  int BitDepth = 0;
  TPoint HotSpot;  // cursors only
  uint32_t Offset = 0;
  uint32_t Size = 0;
};

struct TIconDirectory {
  bool IsCursor = false;
  std::vector<TIconEntry> Entries;
};

TIconDirectory ReadIconDirectory(const uint8_t* Data, size_t Size);

// The index of the entry drawn for a Width x Height request: the same size with the most
// colours, else the nearest size (a larger one before a smaller one at equal distance).
size_t ChooseIconEntry(const TIconDirectory& Dir, int Width, int Height);

// The chosen entry of an icon or cursor file, decoded; a cursor's hot spot is set.
TImage DecodeIcon(const uint8_t* Data, size_t Size, int Width = 32, int Height = 32);
// One entry by its index in the directory.
TImage DecodeIconEntry(const uint8_t* Data, size_t Size, size_t Index);

}  // namespace gdi
