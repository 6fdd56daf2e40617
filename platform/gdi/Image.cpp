#include "platform/gdi/Image.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/Jpeg.h"
#include "platform/gdi/Png.h"

namespace gdi {

void CheckImageSize(int64_t Width, int64_t Height, const char* Kind) {
  if (Width <= 0 || Height <= 0)
    throw EInvalidGraphic(std::string(Kind) + " has no pixels (" + std::to_string(Width) + " x " +
                          std::to_string(Height) + ")");
  if (Width > kMaxImageSide || Height > kMaxImageSide || Width * Height > kMaxImagePixels)
    throw EInvalidGraphic(std::string(Kind) + " is too large (" + std::to_string(Width) + " x " +
                          std::to_string(Height) + ")");
}

void TByteReader::Seek(size_t Pos) {
  if (Pos > FSize) Truncated();
  FPos = Pos;
}

uint8_t TByteReader::U8() {
  if (!Has(1)) Truncated();
  return FData[FPos++];
}

uint16_t TByteReader::U16() {
  if (!Has(2)) Truncated();
  uint16_t v = static_cast<uint16_t>(FData[FPos] | (FData[FPos + 1] << 8));
  FPos += 2;
  return v;
}

uint32_t TByteReader::U32() {
  if (!Has(4)) Truncated();
  uint32_t v = uint32_t(FData[FPos]) | (uint32_t(FData[FPos + 1]) << 8) | (uint32_t(FData[FPos + 2]) << 16) |
               (uint32_t(FData[FPos + 3]) << 24);
  FPos += 4;
  return v;
}

const uint8_t* TByteReader::Bytes(size_t Count) {
  if (!Has(Count)) Truncated();
  const uint8_t* p = FData + FPos;
  FPos += Count;
  return p;
}

void TByteReader::Truncated() const { throw EInvalidGraphic(std::string(FKind) + " data truncated"); }

void TByteReader::Fail(const std::string& What) const { throw EInvalidGraphic(std::string(FKind) + ": " + What); }

TImage DecodeImage(const uint8_t* Data, size_t Size) {
  auto starts = [&](const char* Sig, size_t N) { return Size >= N && std::memcmp(Data, Sig, N) == 0; };
  if (starts("BM", 2)) return DecodeBmp(Data, Size);
  if (starts("\x89PNG\r\n\x1a\n", 8)) return DecodePng(Data, Size);
  if (starts("\xFF\xD8", 2)) return DecodeJpeg(Data, Size);
  if (starts("\0\0\1\0", 4) || starts("\0\0\2\0", 4)) return DecodeIcon(Data, Size, 32, 32);
  throw EInvalidGraphic("Unknown picture format");
}

TImage DecodeImage(const std::vector<uint8_t>& Data) { return DecodeImage(Data.data(), Data.size()); }

TImage LoadImageFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw EInvalidGraphic("Cannot open picture file \"" + Path + "\"");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeImage(bytes);
}

}  // namespace gdi
