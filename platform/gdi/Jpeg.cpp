#include "platform/gdi/Jpeg.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h expects FILE and size_t to be declared before it.
#include <jpeglib.h>
#include <jerror.h>

namespace gdi {
namespace {

// libjpeg reports errors through a callback that must not return; it jumps back to the
// decoder, which raises the exception once no libjpeg frame is on the stack. A warning that
// the data ended early is an error too: the rest of the picture would be invented grey.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr Info) {
  auto* err = reinterpret_cast<TJpegError*>(Info->err);
  Info->err->format_message(Info, err->Message);
  std::longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr Info, int Level) {
  if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF) OnError(Info);
}

// Decodes into Out; answers false with Err.Message set on failure. Kept free of objects with
// destructors between setjmp and longjmp.
bool Decompress(const uint8_t* Data, size_t Size, TImage& Out, TJpegError& Err) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&Err.Manager);
  Err.Manager.error_exit = OnError;
  Err.Manager.emit_message = OnMessage;
  Err.Message[0] = 0;
  jpeg_create_decompress(&info);
  if (setjmp(Err.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_mem_src(&info, Data, static_cast<unsigned long>(Size));
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  const int64_t w = info.output_width, h = info.output_height;
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels) {
    std::snprintf(Err.Message, sizeof Err.Message, "unsupported picture size %lld x %lld",
                  static_cast<long long>(w), static_cast<long long>(h));
    jpeg_destroy_decompress(&info);
    return false;
  }
  Out.Width = static_cast<int>(w);
  Out.Height = static_cast<int>(h);
  Out.BitDepth = info.num_components == 1 ? 8 : 24;
  Out.Pixels.resize(static_cast<size_t>(w) * h);
  // One scan line of components, from libjpeg's pool (freed with the decoder).
  JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                              static_cast<JDIMENSION>(w * info.output_components), 1);
  const bool adobe = info.saw_Adobe_marker;
  while (info.output_scanline < info.output_height) {
    const JDIMENSION y = info.output_scanline;
    jpeg_read_scanlines(&info, line, 1);
    uint32_t* dst = Out.Pixels.data() + static_cast<size_t>(y) * w;
    const JSAMPLE* s = line[0];
    for (int64_t x = 0; x < w; ++x) {
      uint32_t r, g, b;
      if (cmyk) {
        // Adobe's writers store CMYK inverted; the others as they are.
        uint32_t c = s[0], m = s[1], yy = s[2], k = s[3];
        if (!adobe) c = 255 - c, m = 255 - m, yy = 255 - yy, k = 255 - k;
        r = c * k / 255, g = m * k / 255, b = yy * k / 255;
        s += 4;
      } else {
        r = s[0], g = s[1], b = s[2];
        s += 3;
      }
      dst[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

TImage DecodeJpeg(const uint8_t* Data, size_t Size) {
  if (Size < 2 || Data[0] != 0xFF || Data[1] != 0xD8) throw EInvalidGraphic("JPEG: not a JPEG picture");
  TImage img;
  TJpegError err;
  if (!Decompress(Data, Size, img, err)) throw EInvalidGraphic(std::string("JPEG: ") + err.Message);
  return img;
}

}  // namespace gdi
