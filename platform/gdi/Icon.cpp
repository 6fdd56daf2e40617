#include "platform/gdi/Icon.h"

#include <cstdlib>
#include <cstring>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Png.h"

namespace gdi {

TIconDirectory ReadIconDirectory(const uint8_t* Data, size_t Size) {
  TByteReader r(Data, Size, "Icon");
  TIconDirectory dir;
  const uint16_t reserved = r.U16();
  const uint16_t type = r.U16();
  if (reserved != 0 || (type != 1 && type != 2)) r.Fail("not an icon or cursor file");
  dir.IsCursor = type == 2;
  const uint16_t count = r.U16();
  if (count == 0) r.Fail("the file holds no picture");
  for (uint16_t i = 0; i < count; ++i) {
    TIconEntry e;
    e.Width = r.U8();
    e.Height = r.U8();
    if (e.Width == 0) e.Width = 256;
    if (e.Height == 0) e.Height = 256;
    const uint8_t colours = r.U8();
    r.U8();  // reserved
    const uint16_t a = r.U16(), b = r.U16();
    if (dir.IsCursor) {
      e.HotSpot = {a, b};
    } else {
      e.BitDepth = b;
    }
    if (e.BitDepth == 0 && colours) e.BitDepth = colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    e.Size = r.U32();
    e.Offset = r.U32();
    if (e.Offset > Size || e.Size > Size - e.Offset)
      r.Fail("entry " + std::to_string(i) + " lies outside the file");
    dir.Entries.push_back(e);
  }
  return dir;
}

size_t ChooseIconEntry(const TIconDirectory& Dir, int Width, int Height) {
  size_t best = 0;
  long bestScore = -1;
  for (size_t i = 0; i < Dir.Entries.size(); ++i) {
    const TIconEntry& e = Dir.Entries[i];
    const long dw = e.Width - Width, dh = e.Height - Height;
    const long distance = std::labs(dw) + std::labs(dh);
    // Lower is better: distance first; at equal distance a smaller entry loses, then one with
    // fewer colours.
    const long score = distance * 4096 + (dw < 0 || dh < 0 ? 2048 : 0) + (64 - std::min(e.BitDepth, 64));
    if (bestScore < 0 || score < bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

TImage DecodeIconEntry(const uint8_t* Data, size_t Size, size_t Index) {
  const TIconDirectory dir = ReadIconDirectory(Data, Size);
  if (Index >= dir.Entries.size()) throw EInvalidGraphic("Icon: no entry " + std::to_string(Index));
  const TIconEntry& e = dir.Entries[Index];
  const uint8_t* p = Data + e.Offset;
  TImage img;
  if (e.Size >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) {
    img = DecodePng(p, e.Size);
  } else {
    img = DecodeDib(p, e.Size, true);
  }
  img.HotSpot = dir.IsCursor ? e.HotSpot : TPoint{};
  return img;
}

TImage DecodeIcon(const uint8_t* Data, size_t Size, int Width, int Height) {
  const TIconDirectory dir = ReadIconDirectory(Data, Size);
  return DecodeIconEntry(Data, Size, ChooseIconEntry(dir, Width, Height));
}

}  // namespace gdi
