#include "platform/gdi/Png.h"

#include <png.h>

#include <cstring>
#include <fstream>

namespace gdi {
namespace {

// The simplified libpng interface owns its error handling (no longjmp through our frames)
// and frees its state on failure; this guard frees it on every other path.
struct TPngImage {
  png_image Image;
  TPngImage() {
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
  }
  ~TPngImage() { png_image_free(&Image); }
  std::string Error() const { return Image.message[0] ? Image.message : "unknown error"; }
};

}  // namespace

TImage DecodePng(const uint8_t* Data, size_t Size) {
  TPngImage png;
  if (!png_image_begin_read_from_memory(&png.Image, Data, Size))
    throw EInvalidGraphic("PNG: " + png.Error());
  CheckImageSize(png.Image.width, png.Image.height, "PNG picture");
  const png_uint_32 sourceFormat = png.Image.format;
  TImage img;
  img.Width = static_cast<int>(png.Image.width);
  img.Height = static_cast<int>(png.Image.height);
  img.HasAlpha = (sourceFormat & PNG_FORMAT_FLAG_ALPHA) != 0;
  img.BitDepth = (sourceFormat & PNG_FORMAT_FLAG_COLORMAP) ? 8 : img.HasAlpha ? 32 : 24;
  // BGRA bytes in memory are the 0xAARRGGBB words of a little-endian machine.
  png.Image.format = PNG_FORMAT_BGRA;
  img.Pixels.resize(static_cast<size_t>(img.Width) * img.Height);
  if (!png_image_finish_read(&png.Image, nullptr, img.Pixels.data(), img.Width * 4, nullptr))
    throw EInvalidGraphic("PNG: " + png.Error());
  return img;
}

std::vector<uint8_t> EncodePng(const TSurface& Surface) {
  if (Surface.Width() <= 0 || Surface.Height() <= 0) throw EInvalidGraphic("PNG: the surface is empty");
  std::vector<uint8_t> rgb(static_cast<size_t>(Surface.Width()) * Surface.Height() * 3);
  uint8_t* o = rgb.data();
  for (int y = 0; y < Surface.Height(); ++y) {
    const uint32_t* row = Surface.Row(y);
    for (int x = 0; x < Surface.Width(); ++x) {
      *o++ = static_cast<uint8_t>(row[x] >> 16);
      *o++ = static_cast<uint8_t>(row[x] >> 8);
      *o++ = static_cast<uint8_t>(row[x]);
    }
  }
  TPngImage png;
  png.Image.width = static_cast<png_uint_32>(Surface.Width());
  png.Image.height = static_cast<png_uint_32>(Surface.Height());
  png.Image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png.Image, nullptr, &size, 0, rgb.data(), 0, nullptr))
    throw EInvalidGraphic("PNG: " + png.Error());
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&png.Image, out.data(), &size, 0, rgb.data(), 0, nullptr))
    throw EInvalidGraphic("PNG: " + png.Error());
  out.resize(size);
  return out;
}

void SavePngFile(const TSurface& Surface, const std::string& Path) {
  const std::vector<uint8_t> bytes = EncodePng(Surface);
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw EInOutError("Cannot write \"" + Path + "\"");
}

}  // namespace gdi
