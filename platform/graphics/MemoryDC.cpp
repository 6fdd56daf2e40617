#include "platform/graphics/MemoryDC.h"

#include <algorithm>

#include "platform/rtl/System.h"

namespace graphics {

namespace {

BITMAPINFO ColorInfo(int Width, int Height) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Height;  // rows from the top
  info.bmiHeader.biBitCount = 32;
  return info;
}

}  // namespace

HBITMAP CreateColorBitmap(int Width, int Height, uint32_t** Bits) {
  if (Bits) *Bits = nullptr;
  if (Width <= 0 || Height <= 0) return nullptr;
  const BITMAPINFO info = ColorInfo(Width, Height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw EOutOfResources("Out of system resources");
  if (Bits) *Bits = static_cast<uint32_t*>(bits);
  return bitmap;
}

TMemoryDC::TMemoryDC(int Width, int Height, bool Mono)
    : FWidth(std::max(0, Width)), FHeight(std::max(0, Height)) {
  FDC = CreateCompatibleDC(nullptr);
  if (FWidth > 0 && FHeight > 0) {
    FBitmap = Mono ? CreateBitmap(FWidth, FHeight, 1, 1, nullptr) : CreateColorBitmap(FWidth, FHeight, &FBits);
    FOld = SelectObject(FDC, FBitmap);
  }
}

TMemoryDC::~TMemoryDC() {
  if (FOld) SelectObject(FDC, FOld);
  DeleteDC(FDC);
  if (FBitmap) DeleteObject(FBitmap);
}

HBITMAP TMemoryDC::Release() {
  if (FOld) SelectObject(FDC, FOld);
  FOld = nullptr;
  FBits = nullptr;
  HBITMAP b = FBitmap;
  FBitmap = nullptr;
  return b;
}

TSelectedBitmap::TSelectedBitmap(HBITMAP Bitmap) {
  FDC = CreateCompatibleDC(nullptr);
  if (Bitmap) FOld = SelectObject(FDC, Bitmap);
}

TSelectedBitmap::~TSelectedBitmap() {
  if (FOld) SelectObject(FDC, FOld);
  DeleteDC(FDC);
}

TSize BitmapSize(HBITMAP Bitmap) {
  BITMAP bm;
  if (!Bitmap || !GetObject(Bitmap, sizeof bm, &bm)) return {};
  return {bm.bmWidth, bm.bmHeight};
}

bool IsMonochrome(HBITMAP Bitmap) {
  BITMAP bm;
  return Bitmap && GetObject(Bitmap, sizeof bm, &bm) && bm.bmBitsPixel == 1;
}

std::vector<uint32_t> ReadPixels(HBITMAP Bitmap) {
  const TSize size = BitmapSize(Bitmap);
  std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
  if (pixels.empty()) return pixels;
  BITMAPINFO info = ColorInfo(size.cx, size.cy);
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, Bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return pixels;
}

void WritePixels(HBITMAP Bitmap, const std::vector<uint32_t>& Pixels) {
  const TSize size = BitmapSize(Bitmap);
  if (Pixels.size() != static_cast<size_t>(size.cx) * size.cy || Pixels.empty()) return;
  const BITMAPINFO info = ColorInfo(size.cx, size.cy);
  SetDIBits(nullptr, Bitmap, 0, static_cast<UINT>(size.cy), Pixels.data(), &info, DIB_RGB_COLORS);
}

HBITMAP CreateMaskBitmap(int Width, int Height, const std::vector<uint8_t>& Bits) {
  HBITMAP mask = CreateBitmap(Width, Height, 1, 1, nullptr);
  std::vector<uint32_t> pixels(Bits.size());
  std::transform(Bits.begin(), Bits.end(), pixels.begin(),
                 [](uint8_t b) { return b ? 0xFFFFFFFFu : 0xFF000000u; });
  WritePixels(mask, pixels);
  return mask;
}

}  // namespace graphics
