#include "platform/backends/IconPixels.h"

#include <vector>

#include "platform/gdi/DC.h"

namespace backends {

namespace {

// The bitmap's pixels as 32-bit rows from the top; empty when it cannot be read.
std::vector<uint32_t> Rows(HBITMAP Bitmap, int Width, int Height) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Height;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height));
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = GetDIBits(dc, Bitmap, 0, static_cast<UINT>(Height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  if (rows != Height) return {};
  return pixels;
}

}  // namespace

std::optional<shell::TrayImage> IconPixels(HICON Icon) {
  ICONINFO info;
  if (!Icon || !GetIconInfo(Icon, &info)) return std::nullopt;
  struct TFree {
    ICONINFO& Info;
    ~TFree() {
      if (Info.hbmMask) DeleteObject(Info.hbmMask);
      if (Info.hbmColor) DeleteObject(Info.hbmColor);
    }
  } free{info};
  BITMAP mask{};
  if (!info.hbmMask || !GetObject(info.hbmMask, sizeof mask, &mask)) return std::nullopt;
  const int width = mask.bmWidth;
  // A monochrome icon keeps its AND mask above its XOR picture.
  const int height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
  if (width <= 0 || height <= 0) return std::nullopt;
  std::vector<uint32_t> andMask = Rows(info.hbmMask, width, info.hbmColor ? height : 2 * height);
  if (andMask.empty()) return std::nullopt;
  std::vector<uint32_t> colour =
      info.hbmColor ? Rows(info.hbmColor, width, height)
                    : std::vector<uint32_t>(andMask.begin() + static_cast<long>(andMask.size() / 2), andMask.end());
  if (colour.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return std::nullopt;
  // Alpha counts when the picture has some: some pixels opaque, others not.
  bool anyOpaque = false, anyClear = false;
  if (info.hbmColor)
    for (uint32_t p : colour) {
      anyOpaque |= (p >> 24) != 0;
      anyClear |= (p >> 24) != 0xFF;
    }
  const bool anyAlpha = anyOpaque && anyClear;
  shell::TrayImage image{width, height, std::vector<uint32_t>(colour.size())};
  for (size_t i = 0; i < colour.size(); ++i) {
    const uint32_t rgb = colour[i] & 0x00FFFFFFu;
    if (anyAlpha) image.argb[i] = colour[i];
    else image.argb[i] = (andMask[i] & 0x00FFFFFFu) ? 0 : 0xFF000000u | rgb;
  }
  return image;
}

}  // namespace backends
