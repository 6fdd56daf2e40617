#include "platform/graphics/Jpeg.h"

#include "platform/gdi/Jpeg.h"

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::LoadFromBytes(std::vector<uint8_t> Bytes) {
  std::unique_ptr<TBitmap> bitmap;
  if (!Bytes.empty()) {
    bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromImage(gdi::DecodeJpeg(Bytes.data(), Bytes.size()));
  }
  FData = std::move(Bytes);
  FBitmap = std::move(bitmap);
  Changed();
}

void TJPEGImage::LoadFromStream(TStream* Stream) { LoadFromBytes(graphics::ReadRest(Stream)); }

void TJPEGImage::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TJPEGImage::ReadData(TStream* Stream) { LoadFromBytes(graphics::ReadSizedBlock(Stream)); }

void TJPEGImage::WriteData(TStream* Stream) { graphics::WriteSizedBlock(Stream, FData); }

void TJPEGImage::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    LoadFromBytes({});
  } else if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
    LoadFromBytes(jpeg->FData);
  } else {
    TGraphic::Assign(Source);
  }
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FBitmap) static_cast<TGraphic*>(FBitmap.get())->Draw(ACanvas, Rect);
}

static const classes::TPublished<TJPEGImage, TGraphic> JpegInfo;
